#include "platform/db/StoredForms.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace db {

QString DeclaredTypeName(FieldType type) {
    switch (type) {
    case FieldType::YesNo: return QStringLiteral("YESNO");
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Long: return QStringLiteral("LONG");
    case FieldType::Short: return QStringLiteral("SHORT");
    case FieldType::Double: return QStringLiteral("DOUBLE");
    case FieldType::Currency: return QStringLiteral("CURRENCY");
    case FieldType::Text: return QStringLiteral("TEXT(%1)").arg(kTextFieldCharacters);
    case FieldType::Memo: return QStringLiteral("LONGTEXT");
    case FieldType::Unknown: break;
    }
    return QString();
}

FieldType FieldTypeFromDeclared(const QString& declared) {
    const QString t = declared.trimmed().toUpper();
    if (t.isEmpty()) return FieldType::Unknown;
    if (t.startsWith(u"YESNO") || t.startsWith(u"BOOL")) return FieldType::YesNo;
    if (t.startsWith(u"DATE")) return FieldType::Date;
    if (t.startsWith(u"LONGTEXT") || t.startsWith(u"MEMO")) return FieldType::Memo;
    if (t.startsWith(u"LONG") || t.startsWith(u"INT")) return FieldType::Long;
    if (t.startsWith(u"SHORT") || t.startsWith(u"SMALLINT")) return FieldType::Short;
    if (t.startsWith(u"DOUBLE") || t.startsWith(u"REAL") || t.startsWith(u"FLOAT")) return FieldType::Double;
    if (t.startsWith(u"CURRENCY")) return FieldType::Currency;
    if (t.startsWith(u"TEXT") || t.startsWith(u"VARCHAR") || t.startsWith(u"CHAR")) return FieldType::Text;
    return FieldType::Unknown;
}

int FieldSizeFromDeclared(const QString& declared) {
    if (FieldTypeFromDeclared(declared) != FieldType::Text) return 0;
    const qsizetype open = declared.indexOf(u'('), close = declared.indexOf(u')');
    if (open < 0 || close < open) return 0;
    bool ok = false;
    const int size = declared.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
    return ok && size > 0 ? size : 0;
}

qsizetype TextLength(const QString& text) {
    qsizetype n = text.size();
    for (const QChar c : text)
        if (c.isLowSurrogate()) --n;
    return n;
}

QString DateToStored(const QDate& date) {
    if (!date.isValid()) return QString();
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999) return date.toString(QStringLiteral("yyyy-MM-dd"));
    // Written digit by digit: every date stored goes through here.
    const char16_t text[10] = {char16_t(u'0' + year / 1000),
                               char16_t(u'0' + year / 100 % 10),
                               char16_t(u'0' + year / 10 % 10),
                               char16_t(u'0' + year % 10),
                               u'-',
                               char16_t(u'0' + month / 10),
                               char16_t(u'0' + month % 10),
                               u'-',
                               char16_t(u'0' + day / 10),
                               char16_t(u'0' + day % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

namespace {

// The stored form "yyyy-mm-dd", read without a regular expression: every
// stored date is read this way, once per row and date field.
bool StoredDate(const QString& text, QDate* date) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-') return false;
    int parts[3] = {0, 0, 0};
    const qsizetype starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (qsizetype i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') return false;
            parts[p] = parts[p] * 10 + (c - u'0');
        }
    }
    *date = QDate(parts[0], parts[1], parts[2]);
    return true;
}

}  // namespace

QDate DateFromText(const QString& text) {
    QDate stored;
    if (StoredDate(text, &stored)) return stored;
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})(?:[ T]\\d{1,2}:\\d{2}(?::\\d{2})?)?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return QDate();
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

std::optional<double> NumberFromText(const QString& text) {
    const QString t = text.trimmed();
    const qsizetype sign = !t.isEmpty() && (t.at(0) == u'-' || t.at(0) == u'+') ? 1 : 0;
    const qsizetype point = t.indexOf(u'.');
    const QStringView whole = QStringView(t).mid(sign, point < 0 ? -1 : point - sign);
    const QStringView fraction = point < 0 ? QStringView() : QStringView(t).mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
    const bool grouped = whole.contains(u',');
    QString plain = t.left(sign);
    for (qsizetype k = 0; k < whole.size(); ++k) {
        const QChar c = whole.at(k);
        // In a grouped number a comma stands exactly before each group of
        // three digits counted from the right, and nowhere else.
        const qsizetype fromRight = whole.size() - k;
        if (c == u',') {
            if (k == 0 || fromRight % 4 != 0) return std::nullopt;
            continue;
        }
        if (c.unicode() < u'0' || c.unicode() > u'9') return std::nullopt;
        if (grouped && fromRight % 4 == 0) return std::nullopt;  // a digit where a comma belongs
        plain += c;
    }
    if (grouped && whole.size() > 3 && whole.at(0) == u'0') return std::nullopt;
    if (point >= 0) {
        for (const QChar c : fraction)
            if (c.unicode() < u'0' || c.unicode() > u'9') return std::nullopt;
        plain += u'.' + fraction.toString();
    }
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

namespace {

bool IsTextual(const QVariant& v) { return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray; }

// Text of blanks only, read without a copy when it is a QString.
bool IsBlank(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return QStringView(*static_cast<const QString*>(value.constData())).trimmed().isEmpty();
    return value.toString().trimmed().isEmpty();
}

bool ToNumber(const QVariant& value, double* out) {
    if (IsTextual(value)) {
        const std::optional<double> d = NumberFromText(value.toString());
        if (!d) return false;
        *out = *d;
        return true;
    }
    if (value.typeId() == QMetaType::Bool) {
        *out = value.toBool() ? -1.0 : 0.0;
        return true;
    }
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok) return false;
    *out = d;
    return true;
}

}  // namespace

bool ToStored(FieldType type, const QVariant& value, QVariant* stored) {
    // Null, or a value of the field's own kind, as nearly every write has
    // it, is stored without the general conversion below.
    if (HoldsNothing(value)) {
        if (type == FieldType::YesNo) *stored = kStoredFalse;
        else if (!HoldsNothing(*stored)) *stored = QVariant();
        return true;
    }
    switch (type) {
    case FieldType::YesNo:
        if (!Holds<QMetaType::Bool>(value)) break;
        *stored = *static_cast<const bool*>(value.constData()) ? kStoredTrue : kStoredFalse;
        return true;
    case FieldType::Double:
    case FieldType::Currency:
        if (!Holds<QMetaType::Double>(value)) break;
        if (!std::isfinite(*static_cast<const double*>(value.constData()))) return false;
        *stored = value;
        return true;
    case FieldType::Text:
    case FieldType::Memo:
        if (!Holds<QMetaType::QString>(value)) break;
        *stored = value;
        return true;
    default: break;
    }
    if (!value.isValid()) {
        *stored = type == FieldType::YesNo ? QVariant(kStoredFalse) : QVariant();
        return true;
    }
    const bool null = value.isNull();
    // Only a field that is not text reads blank text as Null; a text written
    // to a text field is looked at no further.
    const bool textField = type == FieldType::Text || type == FieldType::Memo || type == FieldType::Unknown;
    const bool emptyText = !null && !textField && IsTextual(value) && IsBlank(value);
    const int id = value.typeId();

    switch (type) {
    case FieldType::YesNo: {
        if (null || emptyText) {
            *stored = kStoredFalse;
            return true;
        }
        if (id == QMetaType::Bool) {
            *stored = value.toBool() ? kStoredTrue : kStoredFalse;
            return true;
        }
        if (IsTextual(value)) {
            const QString t = value.toString().trimmed();
            if (t.compare(u"True", Qt::CaseInsensitive) == 0 || t == u"Yes") {
                *stored = kStoredTrue;
                return true;
            }
            if (t.compare(u"False", Qt::CaseInsensitive) == 0 || t == u"No") {
                *stored = kStoredFalse;
                return true;
            }
        }
        double d = 0;
        if (!ToNumber(value, &d)) return false;
        *stored = (d != 0.0) ? kStoredTrue : kStoredFalse;
        return true;
    }
    case FieldType::Date: {
        if (null || emptyText) {
            *stored = QVariant();
            return true;
        }
        QDate d;
        if (value.typeId() == QMetaType::QDate) d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime) d = value.toDateTime().date();
        else if (IsTextual(value)) d = DateFromText(value.toString());
        if (!d.isValid()) return false;
        *stored = DateToStored(d);
        return true;
    }
    case FieldType::Long:
    case FieldType::Short: {
        if (null || emptyText) {
            *stored = QVariant();
            return true;
        }
        if (id == QMetaType::Int || id == QMetaType::LongLong) {
            const qint64 n = id == QMetaType::Int ? *static_cast<const int*>(value.constData())
                                                  : *static_cast<const qlonglong*>(value.constData());
            const qint64 limit = (type == FieldType::Short) ? 32767 : 2147483647;
            if (n > limit || n < -limit - 1) return false;
            *stored = n;
            return true;
        }
        double d = 0;
        if (!ToNumber(value, &d) || !std::isfinite(d)) return false;
        const double r = std::nearbyint(d);  // banker's rounding, as the platform did
        const double limit = (type == FieldType::Short) ? 32767.0 : 2147483647.0;
        if (r > limit || r < -limit - 1) return false;
        *stored = static_cast<qint64>(r);
        return true;
    }
    case FieldType::Double:
    case FieldType::Currency: {
        if (null || emptyText) {
            *stored = QVariant();
            return true;
        }
        double d = 0;
        if (id == QMetaType::Double) d = value.toDouble();
        else if (!ToNumber(value, &d)) return false;
        if (!std::isfinite(d)) return false;
        *stored = d;
        return true;
    }
    case FieldType::Text:
    case FieldType::Memo: {
        if (null) {
            *stored = QVariant();
            return true;
        }
        if (value.typeId() == QMetaType::QDate) {
            *stored = value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
        } else if (value.typeId() == QMetaType::Bool) {
            *stored = value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        } else {
            *stored = value.toString();
        }
        return true;
    }
    case FieldType::Unknown: break;
    }
    if (null) {
        *stored = QVariant();
        return true;
    }
    if (value.typeId() == QMetaType::QDate) {
        *stored = DateToStored(value.toDate());
        return true;
    }
    if (value.typeId() == QMetaType::Bool) {
        *stored = value.toBool() ? kStoredTrue : kStoredFalse;
        return true;
    }
    *stored = value;
    return true;
}

QVariant FromStored(FieldType type, const QVariant& stored) {
    if (stored.isNull() || !stored.isValid()) {
        if (type == FieldType::YesNo) return false;
        return QVariant();
    }
    switch (type) {
    case FieldType::YesNo: return stored.toDouble() != 0.0;
    case FieldType::Date: {
        const QDate d = DateFromText(stored.toString());
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::Long:
    case FieldType::Short: return static_cast<qint64>(std::llround(stored.toDouble()));
    case FieldType::Double:
    case FieldType::Currency: return stored.toDouble();
    case FieldType::Text:
    case FieldType::Memo: return stored.toString();
    case FieldType::Unknown: break;
    }
    return stored;
}

}  // namespace db
