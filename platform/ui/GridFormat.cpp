#include "platform/ui/GridFormat.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "platform/db/StoredForms.h"

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

bool IsTextual(const QVariant& v) {
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
}

QString PlainNumber(double d) {
    if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15)
        return QString::number(static_cast<qint64>(d));
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

QString FormatDigits(double number, const QString& format) {
    const qsizetype point = format.indexOf(u'.');
    const QString intPart = point < 0 ? format : format.left(point);
    const QString fracPart = point < 0 ? QString() : format.mid(point + 1);
    const bool grouping = intPart.contains(u',');
    const int minInt = static_cast<int>(intPart.count(u'0'));
    const int maxFrac = static_cast<int>(fracPart.size());
    const int minFrac = static_cast<int>(fracPart.count(u'0'));

    qint64 scale = 1;
    for (int i = 0; i < maxFrac; ++i) scale *= 10;
    const qint64 scaled = std::llround(std::fabs(number) * static_cast<double>(scale));  // half away from zero
    const qint64 whole = scaled / scale;
    const qint64 frac = scaled % scale;

    QString digits = whole == 0 ? QString() : QString::number(whole);
    while (digits.size() < minInt) digits.prepend(u'0');
    if (grouping) {
        for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, u',');
    }
    QString fraction = maxFrac > 0 ? QString::number(frac).rightJustified(maxFrac, u'0') : QString();
    while (fraction.size() > minFrac && fraction.endsWith(u'0')) fraction.chop(1);

    QString text = digits;
    if (!fraction.isEmpty()) text += u'.' + fraction;
    if (text.isEmpty()) return text;
    if (number < 0 && scaled != 0) text.prepend(u'-');
    return text;
}

QString FormatDate(const QDate& date, const QString& format) {
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) ++run;
        if (c == u'y') {
            const bool full = run >= 4;
            out += full ? QString::number(date.year()).rightJustified(4, u'0')
                        : QString::number(date.year() % 100).rightJustified(2, u'0');
            i += full ? 4 : std::min<qsizetype>(run, 2);
        } else if (c == u'm' || c == u'd') {
            const int n = c == u'm' ? date.month() : date.day();
            out += run >= 2 ? QString::number(n).rightJustified(2, u'0') : QString::number(n);
            i += run >= 2 ? 2 : 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
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
    else if (value.typeId() == QMetaType::Bool) { *out = value.toBool() ? -1.0 : 0.0; ok = true; }
    else if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) ok = false;
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
        return AsNumber(value, &d) ? FormatDigits(d, format) : DefaultText(value);
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
