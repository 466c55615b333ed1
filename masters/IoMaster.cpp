// The partner master's screen: its controls, the list, the detail panel and
// its item grid, the lookups and the keys. Registering and deleting are in
// IoMasterEntry.cpp.
#include "masters/IoMaster.h"

#include "core/Failure.h"
#include "core/Lookup.h"
#include "core/ModMurv.h"
#include "core/ScreenKit.h"
#include "masters/MasterSupport.h"
#include "platform/ui/GridFit.h"
#include "platform/ui/Ime.h"
#include "reports/PrintHandOffs.h"

namespace masters {

using namespace core;

using ModMurv::DbWork;

IoMaster::IoMaster() {
    SetCaption(QStringLiteral("取引先マスタ"));
    SetClientSize(10200, 7440);
    SetKeyPreview(true);
    LayOut();
    ConnectHandlers();
}

void IoMaster::LayOut() {
    // The list.
    Grid明細.setGeometry(ui::TwipsToPixels(120), ui::TwipsToPixels(120), ui::TwipsToPixels(9960),
                         ui::TwipsToPixels(5880));
    Grid明細.SetDataSource(&dat明細);
    Grid明細.SetColumns({QStringLiteral("チェック"), QStringLiteral("取引先名"), QStringLiteral("ふりがな"),
                         QStringLiteral("クイック読込")});
    SetUpTickColumn(Grid明細, kListCheck);
    // Only the tick can be changed here: names and readings are edited in
    // the detail panel, where they are registered.
    for (int col : {kListName, kListReading, kListQuick}) {
        Grid明細.Columns(col).SetWidth(4500);
        Grid明細.Columns(col).SetAllowFocus(false);
    }
    // The list is read without the quick-load mark, so the column would
    // always be empty.
    Grid明細.Columns(kListQuick).SetVisible(false);

    PBar.Move(120, 6090, 3000, 240);
    PBar.SetVisible(false);

    ui::CommandButton* buttons[] = {&cmd読込, &cmdメニュー, &cmd取引先, &cmd印刷,
                                    &cmd詳細, &cmdクリア,   &cmd行削除, &cmd閉じる};
    for (int i = 0; i < 8; ++i) buttons[i]->Move(120 + i * 1245, 6420, 1140, 450);
    const std::pair<ui::Label*, int> keys[] = {{&LblF1, 1}, {&LblF2, 2}, {&LblF7, 3},
                                               {&LblF8, 4}, {&LblF9, 5}, {&LblF10, 6}};
    for (const auto& [label, button] : keys) {
        label->Move(120 + button * 1245, 6900, 1140, 270);
        label->SetAlignment(Qt::AlignCenter);
    }
    // Esc closes the panel that F8 opens.
    LblF8.Move(120 + 4 * 1245, 6900, 570, 270);
    LblEsc.Move(120 + 4 * 1245 + 570, 6900, 570, 270);
    LblEsc.SetAlignment(Qt::AlignCenter);

    // The detail panel.
    Cn取引先詳細.Move(420, 240, 9360, 5880);
    MakePopUp(Cn取引先詳細);
    Lbl詳細.Move(0, 0, 9360, 360);
    Lbl詳細.SetAlignment(Qt::AlignCenter);
    Lbl詳細.SetBackColorBgr(0x8C4E1F);
    Lbl詳細.SetForeColor(Qt::white);
    Lbl詳細.SetFontBold(true);
    Lbl取引先名.Move(240, 585, 960, 300);
    txt取引先名.Move(1260, 540, 4800, 345);
    Lblふりがな.Move(240, 1005, 960, 300);
    txtふりがな.Move(1260, 960, 4800, 345);
    ui::SetImeOpen(&txt取引先名, true);
    ui::SetImeOpen(&txtふりがな, true);
    cmd科目.Move(6300, 960, 1200, 390);

    Grid科目.setGeometry(ui::TwipsToPixels(240), ui::TwipsToPixels(1440), ui::TwipsToPixels(8880),
                         ui::TwipsToPixels(3720));
    Grid科目.SetDataSource(&dat科目);
    Grid科目.SetColumns({QStringLiteral("チェック"), QStringLiteral("科目"), QStringLiteral("非課税"),
                         QStringLiteral("ふりがな"), QStringLiteral("回数")});
    SetUpTickColumn(Grid科目, kItemCheck);
    Grid科目.Columns(kItemName).SetWidth(3300);
    Grid科目.Columns(kItemName).SetDropDown(&DD科目参照);
    Grid科目.Columns(kItemExempt).SetCheckBox(true);
    Grid科目.Columns(kItemExempt).SetWidth(720);
    Grid科目.Columns(kItemExempt).SetAlignment(ui::ColumnAlignment::Center);
    Grid科目.Columns(kItemReading).SetWidth(3000);
    Grid科目.Columns(kItemCount).SetWidth(840);
    Grid科目.Columns(kItemCount).SetMaxLength(11);
    Grid科目.Columns(kItemCount).SetAlignment(ui::ColumnAlignment::Right);
    DD科目参照.SetDataSource(&dat科目参照);
    DD科目参照.SetListFields({QStringLiteral("科目"), QStringLiteral("ふりがな")});
    ui::FitDropDownToContent(DD科目参照, &Grid科目);

    int x = 4320;
    for (ui::CommandButton* b : {&cmd登録, &cmdクリア詳細, &cmd行削除詳細, &cmd閉じる詳細}) {
        b->Move(x, 5310, 1140, 420);
        x += 1230;
    }

    // The print panel.
    SetUpPrintPanel(Cn印刷, cmd印刷サブ, 3180, 2700, true);
}

void IoMaster::ConnectHandlers() {
    connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read取引先(); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] { Clear取引先一覧(); });
    connect(&cmd行削除, &ui::CommandButton::Click, this, [this] { LineDelete取引先(); });
    connect(&cmd詳細, &ui::CommandButton::Click, this, [this] { cmd詳細_Click(); });
    connect(&cmd取引先, &ui::CommandButton::Click, this, [this] { cmd取引先_Click(); });
    connect(&cmd印刷, &ui::CommandButton::Click, this, [this] { Cn印刷.SetVisible(true); });
    connect(&cmd印刷サブ, &ui::ButtonArray::Click, this, [this](int index) {
        // 印刷 and ﾌﾟﾚﾋﾞｭｰ make the partner list from the stored partners; ｷｬﾝｾﾙ only closes.
        if (index == reports::kPrint || index == reports::kPreview) reports::Prn取引先マスタ(index);
        Cn印刷.SetVisible(false);
    });
    connect(&cmdメニュー, &ui::CommandButton::Click, this, [this] { BackToMenu(*this); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { cmd閉じる_Click(); });
    connect(&cmd登録, &ui::CommandButton::Click, this, [this] { Entry取引先マスタ(); });
    connect(&cmd行削除詳細, &ui::CommandButton::Click, this, [this] { LineDelete取引科目(); });
    connect(&cmdクリア詳細, &ui::CommandButton::Click, this, [this] {
        Clear取引先詳細();
        txt取引先名.SetFocus();
    });
    connect(&cmd閉じる詳細, &ui::CommandButton::Click, this, [this] {
        Cn取引先詳細.SetVisible(false);
        Grid明細.SetFocus();
    });
    connect(&cmd科目, &ui::CommandButton::Click, this, [this] { cmd科目_Click(); });

    Grid科目.onBeforeColUpdate = [this](int col, const QVariant&, int& cancel) { Grid科目_CheckCount(col, cancel); };
    Grid科目.onAfterColUpdate = [this](int col) {
        if (col == kItemName) TakeStoredItem();
        Grid科目_BlankToNull();
    };
    Grid科目.onDropDownChoice = [this](int col) { Grid科目_TakeDropDown(col); };
    Grid科目.onKeyPress = [this](int& keyAscii) { Grid科目_EnterNextRow(keyAscii); };
    Grid科目.onRowColChange = [this](const QVariant&, int) { Grid科目_SetIme(); };
    SayCellFailures(Grid科目);
    SayCellFailures(Grid明細);
}

// ---------------------------------------------------------------- load and keys

void IoMaster::OnLoad() {
    Show();
    FormInit();
    Clear取引先一覧();
    Read取引先();
}

void IoMaster::FormInit() {
    dat明細.SetDatabaseName(ModMurv::WorkFilePath);
    dat明細.SetRecordSource(QStringLiteral("w取引先マスタ"));
    dat科目.SetDatabaseName(ModMurv::WorkFilePath);
    dat科目.SetRecordSource(QStringLiteral("w取引先科目"));
    dat科目参照.SetDatabaseName(ModMurv::WorkFilePath);
    dat科目参照.SetRecordSource(QStringLiteral("w科目参照"));
}

void IoMaster::OnKeyDown(ui::KeyArgs& key) {
    // The key goes on to the focused control afterwards.
    switch (key.key) {
    case Qt::Key_F1: cmdメニュー.click(); break;
    case Qt::Key_F2: cmd取引先.click(); break;
    case Qt::Key_F7: cmd印刷.click(); break;
    case Qt::Key_F8: cmd詳細.click(); break;
    case Qt::Key_F9: cmdクリア.click(); break;
    case Qt::Key_F10: cmd行削除.click(); break;
    case Qt::Key_Escape: Cn取引先詳細.SetVisible(false); break;
    default: break;
    }
}

void IoMaster::cmd閉じる_Click() {
    ui::Forms::Unload(QStringLiteral("Hint"));
    Unload();
}

// ---------------------------------------------------------------- the list

void IoMaster::Clear取引先一覧() {
    if (!Exec(DbWork, QStringLiteral("delete * from w取引先マスタ")))
        ShowFailure(QStringLiteral("取引先の一覧を空にできませんでした。"), DbWork.LastFailure());
    (void)dat明細.Refresh();  // said through refreshFailed
    SetComb();
}

void IoMaster::Read取引先() {
    PBar.SetVisible(true);
    PBar.SetValue(10);
    if (!Exec(DbWork, QStringLiteral("delete * from w取引先マスタ")) ||
        !Exec(DbWork, QStringLiteral("insert into w取引先マスタ select 取引先名,ふりがな from 取引先マスタ ") +
                          InFile(ModMurv::DataFilePath) + QStringLiteral(" order by ふりがな;")))
        ShowFailure(QStringLiteral("取引先を読み込めませんでした。"), DbWork.LastFailure());
    PBar.SetValue(50);
    (void)dat明細.Refresh();  // said through refreshFailed
    if (!Grid明細.IsBOF() && !Grid明細.IsEOF()) Grid明細.SetFocus();
    PBar.SetValue(100);
    PBar.SetVisible(false);
}

void IoMaster::SetComb() {
    const bool filled = Exec(DbWork, QStringLiteral("delete * from w科目参照")) &&
                        Exec(DbWork, QStringLiteral("insert into w科目参照 select 科目,ふりがな from 科目マスタ") +
                                         InFile(ModMurv::DataFilePath) + QStringLiteral(" order by ふりがな;"));
    if (!filled) ShowFailure(QStringLiteral("科目の一覧を読み込めませんでした。"), DbWork.LastFailure());
    // The drop-down's own rows: a failure to read them is said once, not as an empty list.
    if (!dat科目参照.Refresh() && filled)
        ShowFailure(QStringLiteral("科目の一覧を読み込めませんでした。"), dat科目参照.LastFailure());
}

void IoMaster::cmd取引先_Click() {
    core::LookupPartner([this](const QString& name, const QString&) {
        Grid明細.MoveFirst();
        while (!Grid明細.IsEOF()) {
            if (Grid明細.Columns(kListName).Value().toString() == name) break;
            Grid明細.MoveNext();
        }
        Grid明細.SetFocus();
    });
}

// ---------------------------------------------------------------- the detail panel

void IoMaster::MakeItemRows() {
    db::Failure why;
    if (!Exec(DbWork, QStringLiteral("delete * from w取引先科目"))) why = DbWork.LastFailure();
    else
        AddBlankRows(QStringLiteral("w取引先科目"),
                     {{QStringLiteral("科目"), QVariant()},
                      {QStringLiteral("ふりがな"), QVariant()},
                      {QStringLiteral("回数"), QVariant()}},
                     kPanelRows, QString(), &why);
    if (why) panel_.NotWhole(QStringLiteral("取引先の科目の行を作れませんでした。"), why);
    else panel_.Whole();
    (void)dat科目.Refresh();  // said through refreshFailed
}

void IoMaster::Clear取引先詳細() {
    txtふりがな.SetText(QString());
    txt取引先名.SetText(QString());
    MakeItemRows();
    panelPartner_.clear();
    panelItems_.Clear();
}

void IoMaster::cmd詳細_Click() {
    Cn取引先詳細.SetVisible(true);
    Clear取引先詳細();
    if (!Grid明細.IsBOF() && !Grid明細.IsEOF()) {
        const QString name = Grid明細.Columns(kListName).Value().toString();
        const QString reading = Grid明細.Columns(kListReading).Value().toString();
        if (!name.isEmpty()) txt取引先名.SetText(name);
        if (!reading.isEmpty()) txtふりがな.SetText(reading);
    }
    if (!txt取引先名.Text().isEmpty()) Read取引先科目(txt取引先名.Text());
    txt取引先名.SetFocus();
}

QStringList IoMaster::PanelItemFields() { return {S(u"ふりがな"), S(u"非課税"), S(u"回数")}; }

void IoMaster::Read取引先科目(const QVariant& name) {
    if (name.isNull()) return;
    const QString where = QStringLiteral(" where 取引先名 = ") + Quoted(name.toString());
    // Room for every stored item and a few more.
    const qint64 items = CountOf(ModMurv::DbData, QStringLiteral("select count(*) as total from 取引先科目") + where);
    if (db::Failure why; !FillToRows(QStringLiteral("w取引先科目"),
                                     {{QStringLiteral("科目"), QVariant()},
                                      {QStringLiteral("ふりがな"), QVariant()},
                                      {QStringLiteral("回数"), QVariant()}},
                                     items + kSpareRows, &why)) {
        panel_.NotWhole(QStringLiteral("取引先の科目の行を作れませんでした。"), why);
        (void)dat科目.Refresh();  // said through refreshFailed
        return;
    }

    db::Recordset rows = Open(DbWork, QStringLiteral("select * from w取引先科目"));
    db::Recordset stored = Open(
        ModMurv::DbData, QStringLiteral("select * from 取引先科目") + where + QStringLiteral(" order by ふりがな;"));
    if (!stored.IsOpen()) panel_.NotWhole(QStringLiteral("取引先の科目を読み込めませんでした。"), stored.LastFailure());
    panelPartner_ = name.toString();
    panelItems_.Clear();
    // An item the panel cannot show is said: registering the panel would drop it.
    bool written = true;
    for (; written && !stored.IsEOF() && !rows.IsEOF(); stored.MoveNext(), rows.MoveNext()) {
        panelItems_.Remember(SheetRowOf(stored, S(u"科目"), PanelItemFields()));
        written = rows.Edit();
        for (const char16_t* field : {u"科目", u"ふりがな", u"非課税", u"回数"}) {
            const QString f = QString::fromUtf16(field);
            written = written && rows.SetValue(f, stored.Value(f));
        }
        written = written && rows.Update();
    }
    if (!written) panel_.NotWhole(QStringLiteral("取引先の科目を読み込めませんでした。"), rows.LastFailure());
    rows.Close();
    (void)dat科目.Refresh();  // said through refreshFailed
}

void IoMaster::cmd科目_Click() {
    core::LookupItem([this](const QString& name, const QString& reading) {
        Grid科目.Columns(kItemName).SetValue(name);
        Grid科目.Columns(kItemReading).SetValue(reading);
        TakeStoredItem();
        Grid科目.SetFocus();
    });
}

// ---------------------------------------------------------------- the item grid

void IoMaster::Grid科目_CheckCount(int col, int& cancel) {
    if ((col == kItemName || col == kItemReading) && !AcceptTypedNames({Grid科目.Columns(col).Value().toString()}))
        cancel = 1;
    if (col != kItemCount) return;
    qint32 count = 0;
    if (IsUseCount(Grid科目.Columns(kItemCount).Value(), &count)) {
        Grid科目.Columns(kItemCount).SetValue(count);
    } else {
        Grid科目.Columns(kItemCount).SetValue(QVariant());
        cancel = 1;
    }
}

void IoMaster::Grid科目_BlankToNull() {
    for (int col = kItemCheck; col <= kItemCount; ++col) {
        const QVariant v = Grid科目.Columns(col).Value();
        if (!v.isNull() && v.toString().isEmpty()) Grid科目.Columns(col).SetValue(QVariant());
    }
}

void IoMaster::Grid科目_TakeDropDown(int) {
    Grid科目.Columns(kItemReading).SetValue(DD科目参照.ColumnValue(1));
    TakeStoredItem();
}

// An item entered into a row, picked, looked up or typed, shows what the
// item master holds of it, so that registering the row keeps the item's own
// reading and mark unless the user changes them on the row. A new item
// leaves the row's reading and mark as they are.
void IoMaster::TakeStoredItem() {
    const QString name = Grid科目.Columns(kItemName).Value().toString();
    if (name.isEmpty()) return;
    const std::optional<StoredItem> item = ReadStoredItem(name);
    if (!item) return;
    Grid科目.Columns(kItemReading).SetValue(item->reading);
    Grid科目.Columns(kItemExempt).SetValue(item->exempt);
}

void IoMaster::Grid科目_EnterNextRow(int& keyAscii) {
    if (keyAscii != 13 || Grid科目.Col() != kItemCount || Grid科目.IsEOF()) return;
    keyAscii = 0;
    if (!Grid科目.MoveNext()) return;  // the count was refused: stay in its cell
    if (Grid科目.IsEOF()) Grid科目.MovePrevious();
    Grid科目.SetCol(kItemName);
}

void IoMaster::Grid科目_SetIme() {
    const int col = Grid科目.Col();
    ui::SetImeOpen(&Grid科目, col == kItemName || col == kItemReading);
}

}  // namespace masters
