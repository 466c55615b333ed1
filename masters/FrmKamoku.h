#pragma once
// The expense-item master (科目): the whole of 科目マスタ edited in one grid
// as a sheet of work rows (w科目マスタ). Registration writes what the user
// changed on the sheet: items read and then removed or renamed go, edited
// items are updated, new names are added, and an item the sheet shows that
// is no longer stored is stored again; items that another screen stored or
// changed after the sheet read the master stay as they are. Ticked rows are deleted
// at once.
//
// The sheet holds at least kSheetRows rows, and reading makes room for every
// stored item plus kSpareRows blank rows, so registration never drops an item
// that was not on the sheet.

#include <QSet>

#include "masters/MasterSupport.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/TextControls.h"

namespace masters {

class FrmKamoku : public ui::Form {
    Q_OBJECT

public:
    FrmKamoku();

    // Columns of Grid科目マスタ.
    enum Column { kColCheck = 0, kColName = 1, kColReading = 2, kColExempt = 3, kColNote = 4 };
    static constexpr int kSheetRows = 200;
    static constexpr int kSpareRows = 50;

    void FormInit();
    // False (said) when the blank sheet could not be made.
    bool Clear科目マスタ();
    void Read科目マスタ();
    void Entry科目();
    void LineDelete科目マスタ();

    ui::DataControl dat明細{this};
    ui::DataGrid Grid科目マスタ{this};
    ui::ProgressBar PBar{this};
    ui::CommandButton cmdメニュー{QStringLiteral("メイン"), this};
    ui::CommandButton cmd登録{QStringLiteral("登録"), this};
    ui::CommandButton cmd読込{QStringLiteral("読込"), this};
    ui::CommandButton cmd印刷{QStringLiteral("印刷"), this};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), this};
    ui::CommandButton cmd行削除{QStringLiteral("削除"), this};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), this};
    ui::Label LblF1{QStringLiteral("F1"), this};
    ui::Label LblF5{QStringLiteral("F5"), this};
    ui::Label LblF7{QStringLiteral("F7"), this};
    ui::Label LblF9{QStringLiteral("F9"), this};
    ui::Label LblF10{QStringLiteral("F10"), this};
    ui::Label LblEsc{QStringLiteral("ESC"), this};

    // The print panel (made last: it pops up over the grid).
    ui::Panel Cn印刷{this, ui::Panel::Style::Raised};
    ui::ButtonArray cmd印刷サブ{this};

protected:
    void OnLoad() override;
    void OnKeyDown(ui::KeyArgs& key) override;

private:
    void LayOut();
    // False (said) when the rows could not be made.
    bool AddSheetRows(qint64 rows);
    void cmd印刷サブ_Click(int index);
    void Grid科目マスタ_BlankToNull();
    void Grid科目マスタ_EnterNextRow(int& keyAscii);
    void Grid科目マスタ_SetIme();

    // The items as the sheet last read or registered them.
    SheetBaseline baseline_;
    // Deleted items whose rows the work file kept on the sheet: they are
    // never registered again, until the sheet is made anew.
    QSet<QString> deletedRows_;
    SheetWholeness sheet_;
};

}  // namespace masters
