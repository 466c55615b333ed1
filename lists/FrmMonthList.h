#pragma once
// The monthly table (月別経費一覧): one row per expense item (or partner)
// with its total over twelve months and its total of each month, and under
// the grid each month's total and tax over all lines. A chosen rank limit
// keeps the largest rows and sums the rest into "その他".
//
// Every reading starts from empty month boxes, captions and totals, so a
// month without lines never shows an earlier reading; the month captions
// follow the window even when the table is empty. Lines without an item
// (or partner) are summed into their own row, so the rows add up to the
// month boxes.

#include "lists/ListRules.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"

namespace lists {

class FrmMonthList : public ui::Form {
    Q_OBJECT

public:
    FrmMonthList();
    ~FrmMonthList() override;

    // Columns of Grid明細: the two names, the total, then month k at 3 + k.
    enum Column { kCol取引先名 = 0, kCol科目 = 1, kCol合計 = 2, kColMonth1 = 3 };
    static constexpr int kMonths = 12;

    void FormInit();
    void Clear月別経費();
    void ClearGrid月別経費();
    // Reads the table anew; false when a statement failed (the user was told).
    bool Read月別経費();

    // ---- what the print hand-off reads: the window of the last reading
    Window ReadWindow() const { return window_; }
    bool PerItem() const { return Opt科目別.Value(); }

    // ---- controls
    ui::Frame Frame期間{this, ui::Panel::Style::Sunken};
    ui::Label Label9{QStringLiteral("開始月"), &Frame期間};
    ui::DateBox txt開始{&Frame期間};
    ui::Frame Frame集計{this, ui::Panel::Style::Flat};
    ui::OptionButton Opt科目別{&Frame集計};
    ui::OptionButton Opt取引先別{&Frame集計};
    ui::Label Label2{QStringLiteral("表示順位"), this};
    ui::ComboBox cmb表示順位{this, ui::ComboBox::Style::ListOnly};
    ui::CommandButton cmd読込{QStringLiteral("読込"), this};

    ui::DataControl dat明細{this};
    ui::DataGrid Grid明細{this};
    ui::Label Label1{QStringLiteral("金額計"), this};
    ui::Label Label3{QStringLiteral("税　計"), this};
    ui::ControlArray<ui::NumberBox> num月計;
    ui::ControlArray<ui::NumberBox> num月税計;
    ui::Label Label5{QStringLiteral("合計金額"), this};
    ui::NumberBox num合計{this};
    ui::Label Label7{QStringLiteral("税合計"), this};
    ui::NumberBox num税合計{this};
    ui::ProgressBar PBar{this};

    ui::CommandButton cmdメニュー{QStringLiteral("メイン"), this};
    ui::CommandButton cmd印刷{QStringLiteral("印刷"), this};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), this};
    ui::CommandButton cmdHint{QStringLiteral("ヒント"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};

    ui::Panel Cn印刷{this, ui::Panel::Style::Raised};
    ui::ButtonArray cmd印刷サブ{this};

protected:
    void OnLoad() override;
    void OnKeyDown(ui::KeyArgs& key) override;

private:
    void LayOut();
    void SwitchGrouping(bool perItem);
    void ClearMonthBoxes();
    void Grid明細_SetMonthCellFont();
    // The captions, boxes and fonts of the twelve months of the window.
    bool ReadMonths();
    // Each row's total and month totals.
    bool SumRows(const QString& field);

    Window window_;
};

}  // namespace lists
