#pragma once
// Tax rounding and the date helpers of the entry, list and maintenance
// screens: month-day completion inside the accounting period, the length of
// a month, and the one-month window around a closing day.

#include <QDate>
#include <QString>

namespace core {

// Rounds a computed tax to whole yen by the rounding mode of the company
// settings: "切り捨て" truncates, "四捨五入" rounds half away from zero, any
// other text (empty included) rounds up. The caller's amount receives the
// adjusted value that was truncated (for example 10.2 becomes 10.7 when
// rounding half away from zero). Amounts outside ±9,999,999,999.99 (bounds
// included in the range) give 0 and are left alone.
qint64 RoundTax(double& amount, const QString& mode);

// Completes the month and day typed into ModMurv::InputMMDD ("MMDD") to a
// date of the accounting period (ModMurv::PeriodStart/PeriodEnd; today
// stands in for an unset bound). The first existing date inside the period
// is taken. When there is none, the typed day of the first month with that
// number, met stepping a month at a time from the start, is taken as long as
// it exists (a period from 15 April with 0410 gives 10 April). On success the
// date and its parts are written to ModMurv::ResolvedDate/Year/Month/Day and
// the result is true; on failure nothing is written.
bool ResolveMonthDay();

// The number of days of the month of a date text ("yyyy/mm/dd", "yy/mm/dd"
// or any other text a date field accepts). The text is rewritten as
// "yy/mm/dd". Empty text, or text that is not a date, gives 0 and is left
// as it is.
int DaysInMonth(QString& dateText);

// The one-month window that contains date for closing day N: it starts the
// day after the closing day of one month and ends on the closing day of the
// next. N = 0 (and N of 31 or more) is the calendar month. A closing day
// that a month lacks (the 30th in February) closes that month on its last
// day. An invalid date leaves start and end alone; date itself is not
// changed.
void GetClosingPeriod(QDate& date, QDate& start, QDate& end, int closingDay);

}  // namespace core
