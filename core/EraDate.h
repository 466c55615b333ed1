#pragma once
// Dates shown and typed with Western or Japanese era years. The era names and
// their first days come from ICU's Japanese calendar, so a new era needs only
// newer ICU data.
//
// Format codes (lower case only; anything else is copied as it stands, so
// 年, 月, 日, "/" and blanks pass through):
//   yyyy  four-digit year             yy   last two digits of the year
//   mm    two-digit month             m    month without padding
//   dd    two-digit day               d    day without padding
//   ggg   era name (平成)              gg   first character of the era name (平)
//   g     era initial (H)
//   ee    year within the era, two digits (the first year is "01", never 元)
//   e     year within the era without padding
// These are not Qt's codes (there "mm" means minutes): never hand them to
// QDate::toString.

#include <QDate>
#include <QString>

namespace core {

// The date in the pattern; an invalid date gives the empty text.
QString FormatDate(const QDate& date, const QString& pattern);

// Reads what a date field accepts. Full-width characters are read as their
// ordinary forms and blanks around the parts are allowed.
//   Western: 2006/04/01, 2006/4/1, 2006-04-01, 20060401, 2006年4月1日, and
//            06/04/01 (two-digit years 00-29 are 2000-2029, 30-99 are
//            1930-1999).
//   Era:     H18/04/01, h18/4/1, 平成18年4月1日, 平成 18年04月01日,
//            平成元年4月1日, 平成18/04/01.
// A date that does not exist (2005/02/30), or an era year that lies outside
// its era (H32/01/01, H31/05/01, S64/01/08), gives an invalid date.
QDate ParseDate(const QString& text);

// Reads a text typed into a field that shows the pattern: the field's own
// form first ("yyyy年mm月" takes 2006年07月 and 06年07月; "ggg ee年mm月"
// takes 平成 18年07月, H18年7月 and 平成元年4月), then any full date above.
// A pattern without a day gives the first of the month.
QDate ParseDate(const QString& text, const QString& pattern);

// The general rule for showing a date (reports, the main menu's period):
// the Western pattern only when ModMurv::EraSetting is exactly "西暦",
// otherwise the era pattern.
QString FormatByEra(const QDate& date, const QString& western, const QString& era);

// The rule of the screens' date fields: the era pattern only when
// ModMurv::EraSetting is exactly "和暦", otherwise the Western pattern.
QString FormatForScreen(const QDate& date, const QString& western, const QString& era);

}  // namespace core
