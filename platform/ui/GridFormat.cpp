#include "platform/ui/GridFormat.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "platform/db/StoredForms.h"
#include "platform/ui/Formats.h"

namespace ui {

namespace {

CellFormatHook& Hook() {
    static CellFormatHook hook;
    return hook;
}

bool IsDigitPattern(const QString& format) {
    bool digit = false;
    int points = 0;
    for (const QChar c : format) {
        if (c == u'#' || c == u'0') digit = true;
        else if (c == u'.') ++points;
        else if (c != u',') return false;
    }
    return digit && points <= 1;
}

bool IsDatePattern(const QString& format) {
    bool code = false;
    for (const QChar c : format) {
        if (c == u'y' || c == u'm' || c == u'd') code = true;
        else if (c.unicode() < 0x80 && c.isLetter()) return false;  // another code (g, e): not ours
    }
    return code;
}

bool IsTextual(const QVariant& v) { return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray; }

QString PlainNumber(double d) {
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15) return QString::number(static_cast<qint64>(d));
    return QString::number(d, 'g', 15);
}

QString DefaultText(const QVariant& value) {
    if (value.isNull() || !value.isValid()) return QString();
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: return PlainNumber(value.toDouble());
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
    case QMetaType::QDateTime: return value.toDateTime().date().toString(QStringLiteral("yyyy/MM/dd"));
    default: return value.toString();
    }
}

QDate AsDate(const QVariant& value) {
    if (value.typeId() == QMetaType::QDate) return value.toDate();
    if (value.typeId() == QMetaType::QDateTime) return value.toDateTime().date();
    if (IsTextual(value)) return db::DateFromText(value.toString());
    return QDate();
}

bool AsNumber(const QVariant& value, double* out) {
    bool ok = false;
    if (IsTextual(value)) *out = value.toString().trimmed().remove(u',').toDouble(&ok);
    else if (value.typeId() == QMetaType::Bool) {
        *out = value.toBool() ? -1.0 : 0.0;
        ok = true;
    } else if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) ok = false;
    else *out = value.toDouble(&ok);
    return ok;
}

}  // namespace

void SetCellFormatHook(CellFormatHook hook) { Hook() = std::move(hook); }

QString FormatCellText(const QVariant& value, const QString& format) {
    if (value.isNull() || !value.isValid()) return QString();
    if (format.isEmpty()) return DefaultText(value);
    if (IsDigitPattern(format)) {
        double d = 0;
        return AsNumber(value, &d) ? FormatNumber(d, format) : DefaultText(value);
    }
    if (IsDatePattern(format)) {
        const QDate date = AsDate(value);
        return date.isValid() ? FormatDate(date, format) : DefaultText(value);
    }
    if (Hook()) {
        if (auto text = Hook()(value, format)) return *text;
    }
    return DefaultText(value);
}

QString CellEditText(const QVariant& value) { return DefaultText(value); }

}  // namespace ui
