#pragma once
// The business-partner master (取引先マスタ): the list of partners in reading
// order with a tick column for deleting, and the detail panel where one
// partner's name, reading and usual items (取引先科目) are edited and
// registered. Registering a partner also writes each listed item's reading
// and tax-exempt mark into the item master.
//
// The panel's item rows are blank work rows (w取引先科目): at least
// kPanelRows, and always every stored item of the partner plus kSpareRows
// blank rows. Registration writes what the user changed in the panel: items
// read and then removed or renamed go, edited items are updated, new ones
// added, and an item the panel shows that is no longer stored is stored
// again; pairs and use counts that expense registration stored after the
// panel read them stay (a count raised meanwhile stays raised).

#include <QVariant>

#include "masters/MasterSupport.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/GridDropDown.h"
#include "platform/ui/TextControls.h"

namespace masters {

class IoMaster : public ui::Form {
    Q_OBJECT

public:
    IoMaster();

    // Columns of Grid明細.
    enum ListColumn { kListCheck = 0, kListName = 1, kListReading = 2, kListQuick = 3 };
    // Columns of Grid科目.
    enum ItemColumn { kItemCheck = 0, kItemName = 1, kItemExempt = 2, kItemReading = 3, kItemCount = 4 };
    static constexpr int kPanelRows = 10;
    static constexpr int kSpareRows = 5;

    void FormInit();
    void Clear取引先一覧();
    void Read取引先();
    void SetComb();
    void Clear取引先詳細();
    void Read取引先科目(const QVariant& name);
    void Entry取引先マスタ();
    void LineDelete取引先();
    void LineDelete取引科目();

    // ---- the list
    ui::DataControl dat明細{this};
    ui::DataGrid Grid明細{this};
    ui::ProgressBar PBar{this};
    ui::CommandButton cmd読込{QStringLiteral("読込"), this};
    ui::CommandButton cmdメニュー{QStringLiteral("メイン"), this};
    ui::CommandButton cmd取引先{QStringLiteral("取引先"), this};
    ui::CommandButton cmd印刷{QStringLiteral("印刷"), this};
    ui::CommandButton cmd詳細{QStringLiteral("新規・修正"), this};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), this};
    ui::CommandButton cmd行削除{QStringLiteral("削除"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};
    ui::Label LblF1{QStringLiteral("F1"), this};
    ui::Label LblF2{QStringLiteral("F2"), this};
    ui::Label LblF7{QStringLiteral("F7"), this};
    ui::Label LblF8{QStringLiteral("F8"), this};
    ui::Label LblEsc{QStringLiteral("ESC"), this};
    ui::Label LblF9{QStringLiteral("F9"), this};
    ui::Label LblF10{QStringLiteral("F10"), this};

    // ---- the detail panel (made after the list: it pops up over it)
    ui::Panel Cn取引先詳細{this, ui::Panel::Style::Raised};
    ui::Label Lbl詳細{QStringLiteral("新規・修正"), &Cn取引先詳細};
    ui::Label Lbl取引先名{QStringLiteral("取引先名"), &Cn取引先詳細};
    ui::TextBox txt取引先名{&Cn取引先詳細};
    ui::Label Lblふりがな{QStringLiteral("ふりがな"), &Cn取引先詳細};
    ui::TextBox txtふりがな{&Cn取引先詳細};
    ui::DataControl dat科目{this};
    ui::DataControl dat科目参照{this};
    ui::GridDropDown DD科目参照{this};
    ui::DataGrid Grid科目{&Cn取引先詳細};
    ui::CommandButton cmd科目{QStringLiteral("科目"), &Cn取引先詳細};
    ui::CommandButton cmd登録{QStringLiteral("登録"), &Cn取引先詳細};
    ui::CommandButton cmdクリア詳細{QStringLiteral("クリア"), &Cn取引先詳細};
    ui::CommandButton cmd行削除詳細{QStringLiteral("削除"), &Cn取引先詳細};
    ui::CommandButton cmd閉じる詳細{QStringLiteral("閉じる"), &Cn取引先詳細};

    // ---- the print panel
    ui::Panel Cn印刷{this, ui::Panel::Style::Raised};
    ui::ButtonArray cmd印刷サブ{this};

protected:
    void OnLoad() override;
    void OnKeyDown(ui::KeyArgs& key) override;

private:
    void LayOut();
    void ConnectHandlers();
    void MakeItemRows();

    void cmd詳細_Click();
    void cmd取引先_Click();
    void cmd科目_Click();
    void cmd閉じる_Click();

    void Grid科目_CheckCount(int col, int& cancel);
    void Grid科目_BlankToNull();
    void Grid科目_TakeDropDown(int col);
    void TakeStoredItem();
    void Grid科目_EnterNextRow(int& keyAscii);
    void Grid科目_SetIme();

    // The fields of a panel row beside its item.
    static QStringList PanelItemFields();
    // The items of panelPartner_ as the panel last read or registered them.
    QString panelPartner_;
    SheetBaseline panelItems_;
    SheetWholeness panel_;
};

}  // namespace masters
