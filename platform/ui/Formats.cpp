#include "platform/ui/Formats.h"

#include <QFontMetricsF>
#include <cmath>

namespace ui {
namespace {

DateFormatter& Formatter() {
    static DateFormatter formatter;
    return formatter;
}

DateParser& Parser() {
    static DateParser parser;
    return parser;
}

// The next code of a date pattern at position i: a run of one letter among
// y, m, d, g, e (lower case), or nothing.
QString CodeAt(const QString& pattern, qsizetype i) {
    const QChar c = pattern.at(i);
    if (c != u'y' && c != u'm' && c != u'd' && c != u'g' && c != u'e') return {};
    qsizetype j = i;
    while (j < pattern.size() && pattern.at(j) == c) ++j;
    return pattern.mid(i, j - i);
}

QString Padded(int value, int width) { return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0')); }

QChar Narrow(QChar c) {
    if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) return QChar(c.unicode() - 0xFF10 + u'0');
    if (c.unicode() == 0xFF0F) return u'/';
    if (c.unicode() == 0x3000) return u' ';
    return c;
}

}  // namespace

QString FormatNumber(const QVariant& value, const QString& pattern) {
    if (value.isNull() || !value.isValid()) return {};
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) return value.toString();

    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? pattern : pattern.left(point);
    const QString fraction = point < 0 ? QString() : pattern.mid(point + 1);
    const bool grouping = whole.contains(QLatin1Char(','));
    const int minWhole = int(whole.count(QLatin1Char('0')));
    const int decimals = int(fraction.count(QLatin1Char('0')) + fraction.count(QLatin1Char('#')));
    const int minDecimals = int(fraction.count(QLatin1Char('0')));

    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(std::fabs(number) * scale) / scale;  // half away from zero
    QString digits = QString::number(rounded, 'f', decimals);
    QString intPart = digits;
    QString fracPart;
    if (decimals > 0) {
        intPart = digits.left(digits.indexOf(QLatin1Char('.')));
        fracPart = digits.mid(digits.indexOf(QLatin1Char('.')) + 1);
        while (fracPart.size() > minDecimals && fracPart.endsWith(QLatin1Char('0'))) fracPart.chop(1);
    }
    if (intPart == QLatin1String("0") && minWhole == 0) intPart.clear();
    while (intPart.size() < minWhole) intPart.prepend(QLatin1Char('0'));
    if (grouping) {
        for (qsizetype i = intPart.size() - 3; i > 0; i -= 3) intPart.insert(i, QLatin1Char(','));
    }
    QString text = intPart;
    if (!fracPart.isEmpty()) text += QLatin1Char('.') + fracPart;
    if (text.isEmpty()) return {};
    if (number < 0 && rounded != 0) text.prepend(QLatin1Char('-'));
    return text;
}

int DecimalsOf(const QString& pattern) {
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    if (point < 0) return 0;
    const QString fraction = pattern.mid(point + 1);
    return int(fraction.count(QLatin1Char('0')) + fraction.count(QLatin1Char('#')));
}

QFont FittedFont(const QFont& font, const QString& text, int width) {
    const qreal needed = QFontMetricsF(font).horizontalAdvance(text);
    if (needed <= width || width <= 0 || font.pointSizeF() <= 0) return font;
    QFont fitted = font;
    for (qreal points = std::floor(font.pointSizeF() * width / needed * 4) / 4; points > 0.25; points -= 0.25) {
        fitted.setPointSizeF(points);
        if (QFontMetricsF(fitted).horizontalAdvance(text) <= width) break;
    }
    return fitted;
}

QString FormatDate(const QDate& date, const QString& pattern) {
    if (!date.isValid()) return {};
    if (const DateFormatter& f = Formatter()) return f(date, pattern);
    return FormatDateWestern(date, pattern);
}

QDate ParseDate(const QString& text, const QString& pattern) {
    if (const DateParser& p = Parser()) return p(text, pattern);
    return ParseDateWestern(text, pattern);
}

QString FormatDateWestern(const QDate& date, const QString& pattern) {
    if (!date.isValid()) return {};
    QString out;
    for (qsizetype i = 0; i < pattern.size();) {
        const QString code = CodeAt(pattern, i);
        if (code == QLatin1String("yyyy")) out += Padded(date.year(), 4);
        else if (code == QLatin1String("yy")) out += Padded(date.year() % 100, 2);
        else if (code == QLatin1String("mm")) out += Padded(date.month(), 2);
        else if (code == QLatin1String("m")) out += QString::number(date.month());
        else if (code == QLatin1String("dd")) out += Padded(date.day(), 2);
        else if (code == QLatin1String("d")) out += QString::number(date.day());
        else {
            out += pattern.at(i);  // era codes and literal text are copied
            ++i;
            continue;
        }
        i += code.size();
    }
    return out;
}

QDate ParseDateWestern(const QString& input, const QString& pattern) {
    QString text;
    for (const QChar c : input) text += Narrow(c);
    text = text.trimmed();
    if (text.isEmpty()) return {};

    int year = -1, month = 1, day = 1;
    qsizetype t = 0;
    auto skipBlanks = [&] {
        while (t < text.size() && text.at(t).isSpace()) ++t;
    };
    auto readNumber = [&](int maxDigits, int* digitsRead) {
        skipBlanks();
        int value = 0, n = 0;
        while (t < text.size() && n < maxDigits && text.at(t).isDigit()) {
            value = value * 10 + text.at(t).digitValue();
            ++t;
            ++n;
        }
        *digitsRead = n;
        return value;
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QString code = CodeAt(pattern, i);
        int n = 0;
        if (code == QLatin1String("yyyy")) {
            year = readNumber(4, &n);
            if (n == 2) year += year < 30 ? 2000 : 1900;
            else if (n != 4) return {};
        } else if (code == QLatin1String("yy")) {
            year = readNumber(4, &n);
            if (n <= 2 && n > 0) year += year < 30 ? 2000 : 1900;
            else if (n != 4) return {};
        } else if (code == QLatin1String("mm") || code == QLatin1String("m")) {
            month = readNumber(2, &n);
            if (n == 0) return {};
        } else if (code == QLatin1String("dd") || code == QLatin1String("d")) {
            day = readNumber(2, &n);
            if (n == 0) return {};
        } else if (!code.isEmpty()) {
            return {};  // era codes need the program's parser
        } else {
            const QChar literal = Narrow(pattern.at(i));
            ++i;
            if (literal.isSpace()) continue;
            skipBlanks();
            if (t < text.size() && text.at(t) == literal) ++t;
            else if (t < text.size()) return {};
            continue;
        }
        i += code.size();
    }
    skipBlanks();
    if (t != text.size()) return {};
    if (year < 0) year = QDate::currentDate().year();
    return QDate(year, month, day);
}

DateFormatter SetDateFormatter(DateFormatter formatter) { return std::exchange(Formatter(), std::move(formatter)); }

DateParser SetDateParser(DateParser parser) { return std::exchange(Parser(), std::move(parser)); }

QDate DateFromNumber(qint64 yyyymmdd) {
    if (yyyymmdd <= 0) return {};
    return QDate(int(yyyymmdd / 10000), int(yyyymmdd / 100 % 100), int(yyyymmdd % 100));
}

qint64 NumberFromDate(const QDate& date) {
    if (!date.isValid()) return 0;
    return qint64(date.year()) * 10000 + date.month() * 100 + date.day();
}

}  // namespace ui
