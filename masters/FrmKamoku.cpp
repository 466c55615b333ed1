#include "masters/FrmKamoku.h"

#include "core/Failure.h"
#include "core/Helpers.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "masters/MasterSupport.h"
#include "platform/db/Transaction.h"
#include "platform/ui/Ime.h"
#include "reports/PrintHandOffs.h"

namespace masters {

using namespace core;

using core::MsgShow;
using ModMurv::DbData;
using ModMurv::DbWork;

namespace {

const QString kSheet = QStringLiteral("w科目マスタ");
const QString kItem = QStringLiteral("科目");
// The fields of an item beside its name.
const QStringList kItemFields = {QStringLiteral("ふりがな"), QStringLiteral("非課税"), QStringLiteral("説明")};

QString ItemIs(const QString& item) { return QStringLiteral(" where 科目 = ") + Quoted(item); }

}  // namespace

FrmKamoku::FrmKamoku() {
    SetCaption(QStringLiteral("科目"));
    SetClientSize(10200, 7440);
    SetKeyPreview(true);
    LayOut();

    connect(&cmdメニュー, &ui::CommandButton::Click, this, [this] { BackToMenu(*this); });
    connect(&cmd登録, &ui::CommandButton::Click, this, [this] { Entry科目(); });
    connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read科目マスタ(); });
    connect(&cmd印刷, &ui::CommandButton::Click, this, [this] { Cn印刷.SetVisible(true); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] { Clear科目マスタ(); });
    connect(&cmd行削除, &ui::CommandButton::Click, this, [this] { LineDelete科目マスタ(); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { Unload(); });
    connect(&cmd印刷サブ, &ui::ButtonArray::Click, this, [this](int index) { cmd印刷サブ_Click(index); });

    Grid科目マスタ.onBeforeColUpdate = [this](int col, const QVariant&, int& cancel) {
        if ((col == kColName || col == kColReading || col == kColNote) &&
            !AcceptTypedNames({Grid科目マスタ.Columns(col).Value().toString()}))
            cancel = 1;
    };
    Grid科目マスタ.onAfterColUpdate = [this](int) { Grid科目マスタ_BlankToNull(); };
    Grid科目マスタ.onKeyPress = [this](int& keyAscii) { Grid科目マスタ_EnterNextRow(keyAscii); };
    Grid科目マスタ.onRowColChange = [this](const QVariant&, int) { Grid科目マスタ_SetIme(); };
    SayCellFailures(Grid科目マスタ);
}

void FrmKamoku::LayOut() {
    ui::DataGrid& g = Grid科目マスタ;
    g.setGeometry(ui::TwipsToPixels(120), ui::TwipsToPixels(120), ui::TwipsToPixels(9960), ui::TwipsToPixels(5880));
    g.SetDataSource(&dat明細);
    g.SetColumns({QStringLiteral("チェック"), QStringLiteral("科目"), QStringLiteral("ふりがな"),
                  QStringLiteral("非課税"), QStringLiteral("説明")});
    SetUpTickColumn(g, kColCheck);
    g.Columns(kColName).SetWidth(2700);
    g.Columns(kColReading).SetWidth(2700);
    g.Columns(kColExempt).SetCheckBox(true);
    g.Columns(kColExempt).SetWidth(720);
    g.Columns(kColExempt).SetAlignment(ui::ColumnAlignment::Center);
    g.Columns(kColNote).SetWidth(3000);
    g.Columns(kColNote).SetMaxLength(65535);

    PBar.Move(120, 6090, 3000, 240);
    PBar.SetVisible(false);

    // Buttons, their keys underneath.
    const std::pair<ui::CommandButton*, ui::Label*> buttons[] = {
        {&cmdメニュー, &LblF1}, {&cmd登録, &LblF5},    {&cmd読込, nullptr},  {&cmd印刷, &LblF7},
        {&cmdクリア, &LblF9},   {&cmd行削除, &LblF10}, {&cmd閉じる, &LblEsc}};
    int x = 120;
    for (const auto& [button, key] : buttons) {
        button->Move(x, 6420, 1320, 450);
        if (key) {
            key->Move(x, 6900, 1320, 270);
            key->SetAlignment(Qt::AlignCenter);
        }
        x += 1425;
    }
    QFont bold = cmd登録.font();
    bold.setBold(true);
    cmd登録.setFont(bold);

    // The print panel.
    SetUpPrintPanel(Cn印刷, cmd印刷サブ, 3180, 2700, true);
}

void FrmKamoku::OnLoad() {
    Show();
    FormInit();
    // A sheet that cannot be made is said once; nothing is read into it.
    if (Clear科目マスタ()) Read科目マスタ();
}

void FrmKamoku::FormInit() {
    dat明細.SetDatabaseName(ModMurv::WorkFilePath);
    dat明細.SetRecordSource(kSheet);
}

void FrmKamoku::OnKeyDown(ui::KeyArgs& key) {
    // The key goes on to the focused control afterwards.
    switch (key.key) {
    case Qt::Key_F1: cmdメニュー.click(); break;
    case Qt::Key_F5: cmd登録.click(); break;
    case Qt::Key_F7: cmd印刷.click(); break;
    case Qt::Key_F9: cmdクリア.click(); break;
    case Qt::Key_F10: cmd行削除.click(); break;
    case Qt::Key_Escape: cmd閉じる.click(); break;
    default: break;
    }
}

// ---------------------------------------------------------------- the sheet

bool FrmKamoku::AddSheetRows(qint64 rows) {
    db::Failure why;
    if (FillToRows(kSheet, {{S(u"チェック"), false}, {S(u"科目"), QVariant()}, {S(u"ふりがな"), QVariant()}}, rows,
                   &why))
        return true;
    sheet_.NotWhole(S(u"科目の行を作れませんでした。"), why);
    return false;
}

bool FrmKamoku::Clear科目マスタ() {
    bool made = Exec(DbWork, QStringLiteral("delete * from w科目マスタ"));
    if (made) deletedRows_.clear();
    if (made) made = AddSheetRows(kSheetRows);
    else sheet_.NotWhole(S(u"科目の行を作れませんでした。"), DbWork.LastFailure());
    if (made) sheet_.Whole();
    (void)dat明細.Refresh();  // said through refreshFailed
    return made;
}

void FrmKamoku::Read科目マスタ() {
    using namespace ModMurv;
    PBar.SetVisible(true);
    PBar.SetValue(10);
    ProgressTotal = 0;
    ProgressPercent = 10;
    {
        db::Recordset total = Open(DbData, QStringLiteral("select count(*) as total from 科目マスタ"));
        if (!total.IsEOF() && !total.Value(S(u"total")).isNull()) ProgressTotal = total.Value(S(u"total"));
    }
    // Room for every item and some more.
    const bool made = AddSheetRows(ProgressTotal.toLongLong() + kSpareRows);

    // The sheet's rows are written in one transaction, not one commit each.
    db::Transaction batch(DbWork);
    db::Recordset rows = Open(DbWork, QStringLiteral("select * from w科目マスタ"));
    db::Recordset items = Open(DbData, QStringLiteral("select * from 科目マスタ order by ふりがな,科目;"));
    if (made && !items.IsOpen()) sheet_.NotWhole(S(u"科目を読み込めませんでした。"), items.LastFailure());
    qint64 running = 1;
    baseline_.Clear();
    // An item the sheet cannot show is said: registering the sheet would drop it.
    bool written = true;
    for (; written && !items.IsEOF(); items.MoveNext(), ++running) {
        if (!rows.IsEOF()) {
            baseline_.Remember(SheetRowOf(items, kItem, kItemFields));
            written = rows.Edit();
            for (const char16_t* field : {u"科目", u"ふりがな", u"非課税", u"説明"})
                written = written && rows.SetValue(S(field), items.Value(S(field)));
            written = written && rows.Update();
            rows.MoveNext();
        }
        core::ProgressStep(running);
        PBar.SetValue(ProgressPercent.toInt());
    }
    db::Failure why = rows.LastFailure();
    rows.Close();
    if (written && batch.Began()) {
        written = batch.Commit();
        why = DbWork.LastFailure();
    }
    if (!written) sheet_.NotWhole(S(u"科目を読み込めませんでした。"), why);
    else if (made && items.IsOpen()) sheet_.Whole();
    (void)dat明細.Refresh();  // said through refreshFailed
    PBar.SetValue(100);
    PBar.SetVisible(false);
}

void FrmKamoku::Entry科目() {
    if (!sheet_.MayRegister(S(u"科目の行を作れなかったため、登録しませんでした。科目は変更されていません。"
                              u"読込み直してください。")))
        return;
    if (!MsgShow(S(u"登録"), S(u"確認"), S(u"科目"))) return;
    QList<SheetRow> sheet;
    const bool written = WriteAll(S(u"科目を登録できませんでした"), [&](db::Database& data) {
        db::Recordset rows = Open(DbWork, QStringLiteral("select * from w科目マスタ where not isnull(科目)"));
        if (!rows.IsOpen()) return false;
        for (; !rows.IsEOF(); rows.MoveNext()) {
            SheetRow row = SheetRowOf(rows, kItem, kItemFields);
            if (!deletedRows_.contains(row.name)) sheet << std::move(row);
        }
        const SheetChanges changes = baseline_.Compare(sheet);
        for (const QString& item : changes.removed)
            if (!Exec(data, QStringLiteral("delete * from 科目マスタ") + ItemIs(item))) return false;
        for (const SheetWrite& w : changes.writes)
            if (!StoreSheetRow(data, QStringLiteral("科目マスタ"), ItemIs(w.row.name), {{kItem, w.row.name}},
                               w.row.fields, w.changed))
                return false;
        return true;
    });
    if (!written) return;
    baseline_.Adopt(sheet);
    MsgShow(S(u"登録"), S(u"標準完了"), S(u"科目"));
}

void FrmKamoku::LineDelete科目マスタ() {
    db::Recordset ticked;
    if (!AskForTickedRows(kSheet, ticked)) return;
    if (!ticked.IsEOF()) {
        QStringList gone;
        const bool deleted = DeleteNamed(
            ticked, S(u"科目"), S(u"科目を削除できませんでした"), [&](db::Database& data, const QString& item) {
                gone << item;
                return Exec(data, QStringLiteral("delete * from 科目マスタ") + ItemIs(item));
            });
        if (deleted) {
            for (const QString& item : gone) baseline_.Forget(item);
            // Rows that stay on the sheet no longer name a stored item.
            if (!Exec(DbWork, QStringLiteral("delete * from w科目マスタ where チェック = True"))) {
                for (const QString& item : gone) deletedRows_.insert(item);
                ShowFailure(S(u"科目を削除しましたが、チェックした行を画面から消せませんでした。"
                              u"この行は登録されません。読込み直してください。"),
                            DbWork.LastFailure());
            }
        }
    }
    ticked.Close();
    (void)dat明細.Refresh();  // said through refreshFailed
}

// ---------------------------------------------------------------- printing

void FrmKamoku::cmd印刷サブ_Click(int index) {
    // The feed is the sheet as it stands, registered or not, for every
    // button of the panel, "ｷｬﾝｾﾙ" included.
    Exec(DbWork, QStringLiteral("delete * from w科目マスタ印刷"));
    Exec(DbWork, QStringLiteral("insert into w科目マスタ印刷 select 科目,ふりがな,非課税 from w科目マスタ") +
                     QStringLiteral(" where not isnull([科目])"));
    reports::Prn科目一覧(index);
    Cn印刷.SetVisible(false);
}

// ---------------------------------------------------------------- the grid's events

void FrmKamoku::Grid科目マスタ_BlankToNull() {
    for (int col : {kColCheck, kColName, kColReading}) {
        const QVariant v = Grid科目マスタ.Columns(col).Value();
        if (!v.isNull() && v.toString().isEmpty()) Grid科目マスタ.Columns(col).SetValue(QVariant());
    }
}

void FrmKamoku::Grid科目マスタ_EnterNextRow(int& keyAscii) {
    ui::DataGrid& g = Grid科目マスタ;
    if (keyAscii != 13 || g.Col() != kColReading || g.IsEOF()) return;
    keyAscii = 0;
    if (!g.MoveNext()) return;
    if (g.IsEOF()) g.MovePrevious();
    g.SetCol(kColName);
}

void FrmKamoku::Grid科目マスタ_SetIme() {
    const int col = Grid科目マスタ.Col();
    ui::SetImeOpen(&Grid科目マスタ, col == kColName || col == kColReading);
}

}  // namespace masters
