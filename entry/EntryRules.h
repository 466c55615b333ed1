#pragma once
// The rules of the entry screen that need no screen: the weekday character,
// the tax contained in an amount, reading what is typed into the amount,
// month-day and day cells, and the condition and order of a load.

#include <QDate>
#include <QString>
#include <optional>

namespace entry {

// The largest amount a line may carry, either way.
constexpr double kAmountLimit = 9999999999.0;

// One character of "日月火水木金土" for the date's weekday (Sunday "日");
// empty for an invalid date.
QString WeekdayChar(const QDate& date);

// The month-day cell of a date: "0305" for 5 March.
QString MonthDayText(const QDate& date);

// The consumption tax contained in a tax-inclusive amount at the rate (a
// fraction such as 0.05), rounded to whole yen by the rounding mode of the
// company settings ("切り捨て", "四捨五入", anything else rounds up).
qint64 ContainedTax(double amount, double rate, const QString& mode);

// Full-width digits, signs, commas and points read as their ordinary forms;
// blanks around the text dropped.
QString Narrowed(const QString& text);

// An amount as typed, the one reading of every amount field and cell:
// whole yen in digits (full-width too) with an optional leading sign, either
// plain ("1234567") or grouped by threes throughout ("1,234,567"). Nothing
// for any other text ("1,2,3", a fraction such as "1000.5") or an amount
// beyond ±kAmountLimit.
std::optional<double> ParseAmount(const QString& text);
// The same rule for a number that is no text: whole and within the limit.
std::optional<double> AmountOf(double value);

// A day typed into the day cell: a whole number 1 to 31, or nothing.
std::optional<int> ParseDay(const QString& text);

// The condition of a load for the four filters (an empty name and an
// invalid date mean no filter). Names are quoted through the database
// layer; dates are written as #yyyy/mm/dd#.
QString LoadFilter(const QString& partner, const QString& item, const QDate& from, const QDate& to);

// The order of a load for the text of the sort-order combo; any text other
// than the five orders gives date, then line number.
QString LoadOrder(const QString& sortText);

// A date as the statements write it: "yyyy/mm/dd".
QString SqlDateText(const QDate& date);

}  // namespace entry
