#pragma once
// The ranking (経費順位): the total of each expense item (or partner) over a
// period, largest first, cut after the chosen number of ranks with the rest
// summed into one row "その他". Lines without an item (or partner) make one
// row of their own, summed like the others, so the total always equals the
// expense list's total of the same period.

#include "lists/ListRules.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"

namespace lists {

class FrmKeihiJuni : public ui::Form {
    Q_OBJECT

public:
    FrmKeihiJuni();

    // Columns of Grid経費順位.
    enum Column { kCol順位 = 0, kCol科目 = 1, kCol取引先名 = 2, kCol金額 = 3 };

    void FormInit();
    void Clear経費順位();
    // Reads the ranking anew; false when a statement failed (the user was told).
    bool Read経費順位();

    // ---- what the print hand-off reads: the window and the grouping of the
    // last reading (the rows of w経費順位), whatever the fields show now
    Window ReadWindow() const { return window_; }
    bool ReadPerItem() const { return readPerItem_; }

    // ---- controls
    ui::Frame Frame期間{this, ui::Panel::Style::Sunken};
    ui::Label Label9{QStringLiteral("期間"), &Frame期間};
    ui::DateBox txt開始{&Frame期間};
    ui::Label LblKara{QStringLiteral("～"), &Frame期間};
    ui::DateBox txt終了{&Frame期間};
    ui::CommandButton cmdMonBef{this};
    ui::CommandButton cmdMonNext{this};
    ui::Frame Frame集計{this, ui::Panel::Style::Flat};
    ui::OptionButton Opt科目別{&Frame集計};
    ui::OptionButton Opt取引先別{&Frame集計};
    ui::Label Label2{QStringLiteral("表示順位"), this};
    ui::ComboBox cmb表示順位{this, ui::ComboBox::Style::ListOnly};
    ui::CommandButton cmd読込{QStringLiteral("読込"), this};

    ui::DataControl dat経費順位{this};
    ui::DataGrid Grid経費順位{this};
    ui::ProgressBar PBar{this};
    ui::Label Label5{QStringLiteral("合計金額"), this};
    ui::NumberBox num合計{this};

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
    void StepMonth(int step);
    void cmd印刷サブ_Click(int index);
    bool SumNames(const QString& field);

    Window window_;
    bool readPerItem_ = true;
};

}  // namespace lists
