#pragma once
// How number and date boxes show and read their values.
//
// Number patterns are made of '#', '0', ',' and '.': "#,###" (0 shows as
// empty text), "#,##0", "###,###,###", "##", "0.0". A ',' anywhere in the
// whole part asks for thousands separators; '0' places are always shown,
// '#' places only when needed; the places after '.' give the decimals.
//
// Date patterns use the codes of the program's date formatter (yyyy, yy, mm,
// m, dd, d and the era codes ggg, g, ee, e); everything else is literal text.
// The program installs its formatter and parser at start-up; without them a
// Western-only default handles yyyy, yy, mm, m, dd and d.

#include <QDate>
#include <QFont>
#include <QString>
#include <QVariant>
#include <functional>

namespace ui {

// The number in the pattern; a null value gives the empty text.
QString FormatNumber(const QVariant& value, const QString& pattern);
// The number of decimal places the pattern shows.
int DecimalsOf(const QString& pattern);
// The font in which a text shown in `width` pixels shows whole: the font
// itself when the text fits, else the font at a smaller size (in quarter
// points), as a number that its box or cell is too narrow for is shown.
QFont FittedFont(const QFont& font, const QString& text, int width);

using DateFormatter = std::function<QString(const QDate& date, const QString& pattern)>;
using DateParser = std::function<QDate(const QString& text, const QString& pattern)>;

// The date in the pattern; an invalid date gives the empty text.
QString FormatDate(const QDate& date, const QString& pattern);
// The date a text gives read in the pattern; an invalid date when it gives
// none. The default reads blanks and full-width digits, one- or two-digit
// months and days, and two-digit years (00-29: 2000-2029, 30-99: 1930-1999);
// a pattern without a day gives the first of the month.
QDate ParseDate(const QString& text, const QString& pattern);
// The Western-only defaults.
QString FormatDateWestern(const QDate& date, const QString& pattern);
QDate ParseDateWestern(const QString& text, const QString& pattern);

// Installs the program's formatter and parser (empty: back to the Western
// defaults) and returns the one replaced.
DateFormatter SetDateFormatter(DateFormatter formatter);
DateParser SetDateParser(DateParser parser);

// yyyymmdd numbers, as the date boxes take them: 0 and numbers that are no
// date give an invalid date.
QDate DateFromNumber(qint64 yyyymmdd);
qint64 NumberFromDate(const QDate& date);

}  // namespace ui
