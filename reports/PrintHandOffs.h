#pragma once
// What the screens call to print or preview: each writes the report
// parameters its report reads, fills the report's work table where the
// screen leaves that to printing, and prints (print dialog first) or opens
// the preview. The screen hides its print panel afterwards.
//
// index is the button of the print panel: 0 "印刷", 1 "ﾌﾟﾚﾋﾞｭｰ", anything
// else "ｷｬﾝｾﾙ".

#include <QDate>
#include <QVariant>
#include <array>
#include <utility>
#include <vector>

namespace reports {

enum PrintPanelButton { kPrint = 0, kPreview = 1, kCancel = 2 };

// The item master: w科目マスタ印刷 is filled; prints or previews rpt科目一覧.
void Prn科目一覧(int index);

// The partner master: fills w取引先マスタ印刷 from 取引先マスタ and
// 取引先科目 (a partner without items gets one row with its name and
// reading), then prints or previews rpt取引先一覧. False when the feed
// could not be made (the user has been told).
bool Prn取引先マスタ(int index);

// The expense list screen's values at the moment of printing.
struct ExpenseListPrint {
    QVariant dateFrom;  // txt開始: a date, or null when empty
    QVariant dateTo;    // txt終了
    QVariant total;     // num合計: yen, or null
    QVariant count;     // num件数: lines, or null
    // The months the list was read with, in button order, each as its first
    // and last day; none when the reading chose no month.
    std::vector<std::pair<QDate, QDate>> months;
};

// The expense list: with no month selected, copies w経費一覧 into
// w経費一覧印刷 and prints or previews it once with the screen's period,
// count and total. With months selected, one report per selected month in
// order, each over that month's rows with its own period, count and total
// (the very months of the reading, whatever the period is now); the print
// dialog comes for the first month only, and cancelling it prints no
// month. Each month prints the pages of the range chosen that it has; that
// the range holds no page is said once, when no month printed one.
// "ｷｬﾝｾﾙ" still refills the print table.
void ExecPrn経費一覧(int index, const ExpenseListPrint& screen);

// The ranking: prints or previews w経費順位 as the last reading left it;
// "ｷｬﾝｾﾙ" changes nothing.
// dateFrom, dateTo and byItem are the window and the grouping that reading
// was made with (null dates when there was none), so that the period and the
// column title printed are those of the rows; total is num合計 (null when
// empty, printed as nothing).
void ExecPrn経費順位(int index, const QVariant& dateFrom, const QVariant& dateTo, bool byItem, const QVariant& total);

// The monthly table's values at the moment of printing (null for an empty
// field or box).
struct MonthListPrint {
    QVariant dateFrom;                     // txt開始
    QVariant total;                        // num合計
    QVariant taxTotal;                     // num税合計
    std::array<QVariant, 12> monthTotals;  // num月計(0 .. 11)
    std::array<QVariant, 12> monthTaxes;   // num月税計(0 .. 11)
    bool byItem = true;                    // Opt科目別
};

// The monthly table: prints or previews w月別経費 as the last reading left it.
void ExecPrn月別経費一覧(int index, const MonthListPrint& screen);

}  // namespace reports
