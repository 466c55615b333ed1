#pragma once
// The rules of the three list screens that need no screen: the twelve-month
// window and the month steps, the months of the month buttons, the order and
// filter texts of the expense list, the name condition of the sums, the rank
// limit and the font sizes the monthly table picks by the size of its
// amounts.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace lists {

// ---------------------------------------------------------------- windows

// A window of whole days, both ends included.
struct Window {
    QDate start;
    QDate end;
};

// The first day of the month that the month buttons and the default window
// count from: that of the period start when it is set, else today's.
QDate MonthBase(const QDate& periodStart, const QDate& today);

// The default window: twelve whole calendar months from the first day of the
// month of `start` (when it is a date), else of the period start, else of
// today.
Window DefaultWindow(const QDate& start, const QDate& periodStart, const QDate& today);

// One month back (step -1) or forward (+1). A start keeps its day (clamped
// to a shorter month's end); an end lands on the last day of its new month.
// An empty start steps from the first of today's month, an empty end from
// today.
Window StepWindow(const QDate& start, const QDate& end, int step, const QDate& today);

// The calendar month `index` months after the month of `base`.
Window MonthOf(const QDate& base, int index);

// The caption of a month button: the month as two digits ("04").
QString MonthButtonCaption(const QDate& base, int index);

// ---------------------------------------------------------------- the expense list

// The thirteen sort orders of the expense list, the empty text first.
QStringList SortOrders();

// The ORDER BY clause of a sort order; any other text, the empty one
// included, orders by line number. Lines that tie keep the order in which
// they were stored.
QString ListOrder(const QString& sortText);

// " and 科目 = '…'" and " and 取引先名 = '…'" for the filters that are set.
QString ListFilter(const QString& item, const QString& partner);

// ---------------------------------------------------------------- statements

// A date as the statements write it: "yyyy/mm/dd"; and as a literal, #…#.
QString SqlDate(const QDate& date);
QString DateLiteral(const QDate& date);

// " where <field> = '<name>'", or " where <field> is null" for a Null name,
// so that lines without a name are summed too.
QString NameCondition(const QString& field, const QVariant& name);

// "<field> = <value>" with the value as a literal, or "<field> is null".
QString FieldEquals(const QString& field, const QVariant& value);

// ---------------------------------------------------------------- ranking

// The rank that marks a row beyond the limit; also the limit of "すべて".
constexpr int kBeyondLimit = 10000;

// The rank-limit choices of the ranking and the monthly table.
QStringList RankLimits();

// The limit of a rank-limit text: kBeyondLimit for "すべて", the number for
// a number; nothing for the empty text (no ranking) or any other text.
std::optional<int> RankLimit(const QString& text);

// ---------------------------------------------------------------- the monthly table

// The caption of a month column: "yy/mm", or "ee/mm" with era years.
QString MonthColumnCaption(const QDate& month, bool eraYears);

// Font sizes of a month by its largest line (Null: no lines).
struct MonthFonts {
    int box;     // the month-total box
    int column;  // the month's grid column
};
MonthFonts MonthFontsFor(const QVariant& largest);

// Font size of the total column by the largest row total (Null: no rows).
int TotalColumnFontFor(const QVariant& largest);

// Font size of a month column by the current row's value in it; nothing for
// an empty cell.
std::optional<int> MonthCellFontFor(const QVariant& value);

}  // namespace lists
