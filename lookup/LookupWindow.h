#pragma once
// The lookup window that both lookup libraries show: the rows of one master
// table in reading order, narrowed by the first kana of the reading through
// fifty index buttons, and a pick by 選択 or a double-click that it records in
// its library's selection before it unloads.
//
// The window can be resized: the list grows with it, its columns fit what
// they show, and a name or reading cut short shows whole as a tooltip.
//
// A list that cannot be emptied, filled or read (a wrong path, a missing
// table) is said in a message of the window's own, and the window goes on.
//
// It lists through a buffer table in the work database: the table is emptied,
// refilled from the master table and read by the bound data control. The
// buffer is the same work table that the program's own drop-down lists use,
// and it keeps the window's last list after the window has closed.

#include <QString>
#include <QVariant>

#include "platform/db/Database.h"
#include "platform/ui/BusyPanel.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/TextControls.h"

namespace lookup {

// What one lookup library keeps while it stays loaded: shared by every
// instance of its class and by its window, and seen by no other library.
struct LookupState {
    QVariant SelectedName;  // the last pick, published by SetRetVal
    QVariant SelectedReading;
    QVariant DataFile;  // the paths given to the last FormShow
    QVariant WorkFile;
    db::Database DbLookupData;  // open only while the window is loaded
    db::Database DbLookupWork;
    QString LookupSqlText;  // the statement being run
};

// What tells the item window from the partner window.
struct LookupSettings {
    QString formName;   // "FrmPelmora"
    QString caption;    // the window caption
    QString nameField;  // the name column of the master and of the buffer
    QString masterTable;
    QString bufferTable;
    QString blankCaption;   // the caption of index button 48
    QString fullList;       // the statement of the whole list
    bool openDataFirst;     // the order of opening (and of closing) the two connections
    bool pickNeedsName;     // a pick is taken only on a row that holds a name
    bool clearEnsuresWork;  // clearing opens the work connection when it is not open
};

const LookupSettings& ItemLookup();     // 科目マスタ into w科目参照
const LookupSettings& PartnerLookup();  // 取引先マスタ into w取引先参照

// The captions of the fifty index buttons, by index.
QString IndexCaption(const LookupSettings& settings, int index);

// The statement that lists the rows of one index button: every row for the
// single ideographic blank "　", otherwise the rows whose reading begins with
// the caption or with its katakana or half-width form (KanaVariants). The
// three texts are quoted as like-patterns, so quotes and pattern characters
// in them match themselves; a form that KanaVariants leaves Null adds only
// the bare "*", which matches every reading that is not Null.
QString IndexStatement(const LookupSettings& settings, const QString& caption);

class LookupWindow : public ui::Form {
    Q_OBJECT

public:
    LookupWindow(const LookupSettings& settings, LookupState& state);

    const LookupSettings& Settings() const { return settings_; }
    LookupState& State() const { return state_; }

    // Layout only.
    ui::Frame Frame索引{this};      // the index buttons
    ui::Frame Frame一覧{this};      // the list
    ui::Frame Frameコマンド{this};  // the command buttons
    ui::ButtonArray cmd50{this};
    ui::CommandButton cmd選択{QStringLiteral("選択"), &Frameコマンド};
    ui::CommandButton cmdクリア{QStringLiteral("クリア"), &Frameコマンド};
    ui::CommandButton cmd閉じる{QStringLiteral("閉じる"), &Frameコマンド};
    ui::DataControl dat参照{this};
    ui::DataGrid Grid参照{&Frame一覧};
    // Shown only while a list is being copied.
    ui::BusyPanel Msg検索中{QStringLiteral("検索中です･･･"), this};

    // Binds the data control to the work database and the buffer.
    void FormInit();
    // Empties the buffer: the grid shows nothing until an index button is pressed.
    void ClearList();
    // Fills the buffer with every row of the master table.
    void ReadList();
    // Fills the buffer with the rows of one index button.
    void ReadSansyo(const QString& caption);
    // Records the current row as the pick and unloads the window.
    void Choose();

protected:
    void OnLoad() override;
    void OnUnload() override;
    void OnKeyDown(ui::KeyArgs& key) override;
    void OnResize() override { LayOut(); }

private:
    // Places the list and the commands for the window's size.
    void LayOut();
    void OpenConnections();
    void CloseConnections();
    void FillBuffer(const QString& source);
    void SayListFailure(const db::Failure& failure);

    const LookupSettings& settings_;
    LookupState& state_;
};

}  // namespace lookup
