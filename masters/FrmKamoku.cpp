#include "masters/FrmKamoku.h"

#include "core/Helpers.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "masters/MasterSupport.h"
#include "reports/PrintHandOffs.h"
#include "platform/ui/Ime.h"

namespace masters {

using core::MsgShow;
using ModMurv::DbData;
using ModMurv::DbWork;

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }

const QString kSheet = QStringLiteral("w科目マスタ");

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

    Grid科目マスタ.onAfterColUpdate = [this](int) { Grid科目マスタ_BlankToNull(); };
    Grid科目マスタ.onKeyPress = [this](int& keyAscii) { Grid科目マスタ_EnterNextRow(keyAscii); };
    Grid科目マスタ.onRowColChange = [this](const QVariant&, int) { Grid科目マスタ_SetIme(); };
}

void FrmKamoku::LayOut() {
    ui::DataGrid& g = Grid科目マスタ;
    g.setGeometry(ui::TwipsToPixels(120), ui::TwipsToPixels(120), ui::TwipsToPixels(9960), ui::TwipsToPixels(5880));
    g.SetDataSource(&dat明細);
    g.SetColumns({QStringLiteral("チェック"), QStringLiteral("科目"), QStringLiteral("ふりがな"),
                  QStringLiteral("非課税"), QStringLiteral("説明")});
    g.Columns(kColCheck).SetCheckBox(true);
    g.Columns(kColCheck).SetCaption(QString());
    g.Columns(kColCheck).SetWidth(340);
    g.Columns(kColCheck).SetAlignment(ui::ColumnAlignment::Center);
    g.Columns(kColName).SetWidth(2700);
    g.Columns(kColName).SetMaxLength(255);
    g.Columns(kColReading).SetWidth(2700);
    g.Columns(kColReading).SetMaxLength(255);
    g.Columns(kColExempt).SetCheckBox(true);
    g.Columns(kColExempt).SetWidth(720);
    g.Columns(kColExempt).SetAlignment(ui::ColumnAlignment::Center);
    g.Columns(kColNote).SetWidth(3000);
    g.Columns(kColNote).SetMaxLength(65535);

    PBar.Move(120, 6090, 3000, 240);
    PBar.SetVisible(false);

    // Buttons, their keys underneath.
    const std::pair<ui::CommandButton*, ui::Label*> buttons[] = {
        {&cmdメニュー, &LblF1}, {&cmd登録, &LblF5},    {&cmd読込, nullptr}, {&cmd印刷, &LblF7},
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

    // The print panel: printing comes with the reports.
    Cn印刷.Move(3180, 2700, 3840, 900);
    MakePopUp(Cn印刷);
    const QString captions[] = {S(u"印刷"), S(u"ﾌﾟﾚﾋﾞｭｰ"), S(u"ｷｬﾝｾﾙ")};
    for (int i = 0; i < 3; ++i) cmd印刷サブ.Add(i, &Cn印刷, captions[i]).Move(180 + i * 1200, 225, 1080, 450);
}

void FrmKamoku::OnLoad() {
    Show();
    FormInit();
    Clear科目マスタ();
    Read科目マスタ();
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

void FrmKamoku::AddSheetRows(qint64 rows) {
    FillToRows(kSheet,
               {{S(u"チェック"), false}, {S(u"科目"), QVariant()}, {S(u"ふりがな"), QVariant()}}, rows);
}

void FrmKamoku::Clear科目マスタ() {
    Exec(DbWork, QStringLiteral("delete * from w科目マスタ"));
    AddSheetRows(kSheetRows);
    dat明細.Refresh();
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
    AddSheetRows(ProgressTotal.toLongLong() + kSpareRows);

    db::Recordset rows = Open(DbWork, QStringLiteral("select * from w科目マスタ"));
    db::Recordset items = Open(DbData, QStringLiteral("select * from 科目マスタ order by ふりがな,科目;"));
    qint64 running = 1;
    for (; !items.IsEOF(); items.MoveNext(), ++running) {
        if (!rows.IsEOF()) {
            rows.Edit();
            for (const char16_t* field : {u"科目", u"ふりがな", u"非課税", u"説明"}) rows.SetValue(S(field), items.Value(S(field)));
            rows.Update();
            rows.MoveNext();
        }
        core::ProgressStep(running);
        PBar.SetValue(ProgressPercent.toInt());
    }
    rows.Close();
    dat明細.Refresh();
    PBar.SetValue(100);
    PBar.SetVisible(false);
}

void FrmKamoku::Entry科目() {
    if (!MsgShow(S(u"登録"), S(u"確認"), S(u"科目"))) return;
    const QString sheet = InFile(ModMurv::WorkFilePath);
    // The work file is attached to the data connection here, before the
    // transaction: no file can be attached inside one.
    Open(DbData, QStringLiteral("select count(*) as total from w科目マスタ") + sheet);
    const bool written = WriteAll(S(u"科目を登録できませんでした"), [&](db::Database& data) {
        return Exec(data, QStringLiteral("delete * from 科目マスタ")) &&
               Exec(data, QStringLiteral("insert into 科目マスタ select 科目,ふりがな,非課税,説明 from w科目マスタ ") +
                              sheet + QStringLiteral(" where not isnull(科目)"));
    });
    if (written) MsgShow(S(u"登録"), S(u"標準完了"), S(u"科目"));
}

void FrmKamoku::LineDelete科目マスタ() {
    if (!MsgShow(S(u"削除"), S(u"伝票確認2"), S(u"指定されたデータ"))) return;
    db::Recordset ticked = Open(DbWork, QStringLiteral("select * from w科目マスタ where チェック = True"));
    if (ticked.IsBOF() || ticked.IsEOF()) {
        MsgShow(S(u"行指定"), S(u"指定なし"), QString());
    } else {
        const bool deleted = WriteAll(S(u"科目を削除できませんでした"), [&](db::Database& data) {
            bool ok = true;
            for (; ok && !ticked.IsEOF(); ticked.MoveNext()) {
                const QString item = ticked.Value(S(u"科目")).toString();
                if (!item.isEmpty())
                    ok = Exec(data, QStringLiteral("delete * from 科目マスタ where 科目 = ") + Quoted(item));
            }
            return ok;
        });
        if (deleted) Exec(DbWork, QStringLiteral("delete * from w科目マスタ where チェック = True"));
    }
    ticked.Close();
    dat明細.Refresh();
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
