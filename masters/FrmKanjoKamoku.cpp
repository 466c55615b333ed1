#include "masters/FrmKanjoKamoku.h"

#include "core/Failure.h"
#include "core/Hint.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "masters/MasterSupport.h"
#include "platform/ui/Ime.h"

namespace masters {

using namespace core;

using core::MsgShow;
using ModMurv::DbWork;

namespace {
// An empty box is stored as no value.
QVariant TextOrNull(const ui::TextBox& box) { return box.Text().isEmpty() ? QVariant() : QVariant(box.Text()); }
}  // namespace

FrmKanjoKamoku::FrmKanjoKamoku() {
    SetCaption(QStringLiteral("勘定科目"));
    SetClientSize(10200, 7440);
    LayOut();

    connect(&cmd読込, &ui::CommandButton::Click, this, [this] { Read勘定科目(); });
    connect(&cmd詳細, &ui::CommandButton::Click, this, [this] { cmd詳細_Click(); });
    connect(&cmd詳細クリア, &ui::CommandButton::Click, this, [this] { Clear勘定科目詳細(); });
    connect(&cmd詳細閉じる, &ui::CommandButton::Click, this, [this] { Cn科目詳細.SetVisible(false); });
    connect(&cmd登録, &ui::CommandButton::Click, this, [this] {
        Entry勘定科目();
        Read勘定科目();
    });
    connect(&cmd削除, &ui::CommandButton::Click, this, [this] { Delete勘定科目(); });
    connect(&cmd転記, &ui::CommandButton::Click, this, [this] { Copy勘定科目(); });
    connect(&cmd検索, &ui::CommandButton::Click, this, [this] { Search(); });
    connect(&cmdHint, &ui::CommandButton::Click, this, [this] { cmdHint_Click(); });
    connect(&cmdメニュー, &ui::CommandButton::Click, this, [this] { BackToMenu(*this); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { Unload(); });
}

void FrmKanjoKamoku::LayOut() {
    Lbl検索.Move(120, 165, 1320, 300);
    txt科目名検索.Move(1440, 120, 3300, 345);
    ui::SetImeOpen(&txt科目名検索, true);
    cmd検索.Move(4860, 105, 1080, 390);

    Grid明細.setGeometry(ui::TwipsToPixels(120), ui::TwipsToPixels(600), ui::TwipsToPixels(9960),
                         ui::TwipsToPixels(5400));
    Grid明細.SetColumns(
        {QStringLiteral("チェック"), QStringLiteral("科目名"), QStringLiteral("ふりがな"), QStringLiteral("説明")});
    SetUpTickColumn(Grid明細, kColCheck);
    Grid明細.Columns(kColName).SetWidth(2100);
    Grid明細.Columns(kColReading).SetWidth(2400);
    Grid明細.Columns(kColNote).SetWidth(4320);
    Grid明細.Columns(kColNote).SetMaxLength(65535);

    PBar.Move(120, 6090, 3000, 240);
    PBar.SetVisible(false);
    int x = 120;
    for (ui::CommandButton* b : {&cmd読込, &cmd詳細, &cmd転記, &cmdHint, &cmdメニュー, &cmd閉じる}) {
        b->Move(x, 6420, 1320, 450);
        x += b == &cmd転記 ? 2865 : 1425;  // the navigation buttons apart
    }

    Cn科目詳細.Move(1200, 960, 7800, 4260);
    MakePopUp(Cn科目詳細);
    Lbl科目名.Move(240, 285, 960, 300);
    txt科目名.Move(1260, 240, 4200, 345);
    Lblふりがな.Move(240, 705, 960, 300);
    txtふりがな.Move(1260, 660, 4200, 345);
    Lbl説明.Move(240, 1125, 960, 300);
    txt説明.Move(1260, 1080, 6300, 2340);
    for (ui::TextBox* box : {&txt科目名, &txtふりがな, &txt説明}) ui::SetImeOpen(box, true);
    x = 2460;
    for (ui::CommandButton* b : {&cmd登録, &cmd削除, &cmd詳細クリア, &cmd詳細閉じる}) {
        b->Move(x, 3630, 1200, 420);
        x += 1290;
    }
}

void FrmKanjoKamoku::OnLoad() {
    FormInit();
    Read勘定科目();
}

void FrmKanjoKamoku::FormInit() {
    dat明細.SetDatabaseName(ModMurv::WorkFilePath);
    dat明細.SetRecordSource(QStringLiteral("w勘定科目"));
    Grid明細.SetDataSource(&dat明細);
    SayCellFailures(Grid明細);
}

void FrmKanjoKamoku::Read勘定科目() {
    PBar.SetVisible(true);
    PBar.SetValue(10);
    const bool emptied = Exec(DbWork, QStringLiteral("delete * from w勘定科目"));
    PBar.SetValue(50);
    if (!emptied || !Exec(DbWork, QStringLiteral("insert into w勘定科目 select 科目名,ふりがな,説明 from 勘定科目") +
                                      InFile(ModMurv::DataFilePath) + QStringLiteral(" order by ふりがな;")))
        ShowFailure(S(u"勘定科目を読み込めませんでした。"), DbWork.LastFailure());
    (void)dat明細.Refresh();  // said through refreshFailed
    PBar.SetValue(100);
    PBar.SetVisible(false);
}

void FrmKanjoKamoku::Clear勘定科目詳細() {
    txt科目名.SetText(QString());
    txtふりがな.SetText(QString());
    txt説明.SetText(QString());
}

void FrmKanjoKamoku::cmd詳細_Click() {
    Cn科目詳細.SetVisible(true);
    // An empty cell empties its box.
    txt科目名.SetText(Grid明細.Columns(kColName).Value().toString());
    txtふりがな.SetText(Grid明細.Columns(kColReading).Value().toString());
    txt説明.SetText(Grid明細.Columns(kColNote).Value().toString());
    txt科目名.SetFocus();
}

void FrmKanjoKamoku::cmdHint_Click() { ShowHintFor(*this); }

void FrmKanjoKamoku::Entry勘定科目() {
    const QString name = txt科目名.Text();
    if (name.isEmpty()) {
        MsgShow(S(u"登録"), S(u"チェック"), QString());
        return;
    }
    if (!AcceptTypedNames({name, txtふりがな.Text()})) return;
    if (!MsgShow(S(u"登録"), S(u"確認"), name)) return;
    WriteAll(S(u"勘定科目を登録できませんでした"), [&](db::Database& data) {
        db::Recordset rs = Open(data, QStringLiteral("select * from 勘定科目 where 科目名 = ") + Quoted(name));
        return rs.IsOpen() && ((rs.IsBOF() || rs.IsEOF()) ? rs.AddNew() : rs.Edit()) &&
               rs.SetValue(S(u"科目名"), name) && rs.SetValue(S(u"ふりがな"), TextOrNull(txtふりがな)) &&
               rs.SetValue(S(u"説明"), TextOrNull(txt説明)) && rs.Update();
    });
}

void FrmKanjoKamoku::Delete勘定科目() {
    const QString name = txt科目名.Text();
    if (!MsgShow(S(u"削除"), S(u"伝票確認2"), name)) return;
    const bool deleted = WriteAll(S(u"勘定科目を削除できませんでした"), [&](db::Database& data) {
        return Exec(data, QStringLiteral("delete * from 勘定科目 where 科目名 = ") + Quoted(name));
    });
    if (!deleted) return;
    Clear勘定科目詳細();
    Read勘定科目();
    txt科目名.SetFocus();
}

void FrmKanjoKamoku::Copy勘定科目() {
    if (!MsgShow(S(u"その他"), S(u"確認"), S(u"勘定科目を転記しますか。"))) return;
    db::Recordset ticked = Open(DbWork, QStringLiteral("select * from w勘定科目 where チェック = True"));
    if (ticked.IsBOF() || ticked.IsEOF()) return;
    // The tax-exempt mark is not the catalogue's: a new item gets none, an
    // existing one keeps its own.
    WriteAll(S(u"勘定科目を転記できませんでした"), [&](db::Database& data) {
        bool ok = true;
        for (; ok && !ticked.IsEOF(); ticked.MoveNext()) {
            const QString name = ticked.Value(S(u"科目名")).toString();
            if (name.isEmpty()) continue;  // a title without a name is no item
            db::Recordset item = Open(data, QStringLiteral("select * from 科目マスタ where 科目 =") + Quoted(name));
            ok = item.IsOpen() && ((item.IsBOF() || item.IsEOF()) ? item.AddNew() : item.Edit()) &&
                 item.SetValue(S(u"科目"), name) && item.SetValue(S(u"ふりがな"), ticked.Value(S(u"ふりがな"))) &&
                 item.SetValue(S(u"説明"), ticked.Value(S(u"説明"))) && item.Update();
        }
        return ok;
    });
}

void FrmKanjoKamoku::Search() {
    ui::DataGrid& g = Grid明細;
    const QString wanted = txt科目名検索.Text();
    const int rows = g.RowCount();
    const int start = g.IsEOF() || g.IsBOF() ? 0 : g.Row();
    int found = -1;
    for (int i = 0; i < rows && found < 0; ++i) {
        const QVariant name = g.CellValue((start + i) % rows, kColName);
        if (!name.isNull() && name.toString() == wanted) found = (start + i) % rows;
    }
    // Moving brings the row into view.
    if (found >= 0) g.SetRow(found);
    else g.MoveFirst();
    g.SetFocus();
}

}  // namespace masters
