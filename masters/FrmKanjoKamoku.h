#pragma once
// The account-title catalogue (勘定科目): standard titles with a reading and
// an explanation. One title at a time is registered or deleted through the
// detail panel; ticked titles are copied into the expense-item master.
// Opened from the maintenance screen.

#include "platform/ui/Buttons.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/TextControls.h"

namespace masters {

// Its form name, the one the hint texts are stored under, is "Frm勘定科目".
class FrmKanjoKamoku : public ui::Form {
    Q_OBJECT

public:
    FrmKanjoKamoku();

    // Columns of Grid明細.
    enum Column { kColCheck = 0, kColName = 1, kColReading = 2, kColNote = 3 };

    void FormInit();
    void Read勘定科目();
    void Clear勘定科目詳細();
    void Entry勘定科目();
    void Delete勘定科目();
    void Copy勘定科目();
    // Finds the title typed in txt科目名検索 from the current row on, then
    // from the top; the first row when there is none.
    void Search();

    ui::Label Lbl検索{QStringLiteral("科目名　検索"), this};
    ui::TextBox txt科目名検索{this};
    ui::CommandButton cmd検索{QStringLiteral("検索"), this};
    ui::DataControl dat明細{this};
    ui::DataGrid Grid明細{this};
    ui::ProgressBar PBar{this};
    ui::CommandButton cmd読込{QStringLiteral("読込"), this};
    ui::CommandButton cmd詳細{QStringLiteral("詳細"), this};
    ui::CommandButton cmd転記{QStringLiteral("転記"), this};
    ui::CommandButton cmdHint{QStringLiteral("ヒント"), this};
    ui::CommandButton cmdメニュー{QStringLiteral("メイン"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};

    // The detail panel (made last: it pops up over the grid).
    ui::Panel Cn科目詳細{this, ui::Panel::Style::Raised};
    ui::Label Lbl科目名{QStringLiteral("科目名"), &Cn科目詳細};
    ui::TextBox txt科目名{&Cn科目詳細};
    ui::Label Lblふりがな{QStringLiteral("ふりがな"), &Cn科目詳細};
    ui::TextBox txtふりがな{&Cn科目詳細};
    ui::Label Lbl説明{QStringLiteral("説　　明"), &Cn科目詳細};
    ui::TextBox txt説明{&Cn科目詳細, ui::TextBox::Lines::Multi};
    ui::CommandButton cmd登録{QStringLiteral("登録"), &Cn科目詳細};
    ui::CommandButton cmd削除{QStringLiteral("削除"), &Cn科目詳細};
    ui::CommandButton cmd詳細クリア{QStringLiteral("クリア"), &Cn科目詳細};
    ui::CommandButton cmd詳細閉じる{QStringLiteral("閉じる"), &Cn科目詳細};

protected:
    void OnLoad() override;

private:
    void LayOut();
    void cmd詳細_Click();
    void cmdHint_Click();
};

}  // namespace masters
