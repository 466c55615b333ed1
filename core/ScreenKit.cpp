#include "core/ScreenKit.h"

#include "core/Helpers.h"
#include "core/Hint.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "platform/db/Quote.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Containers.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"

namespace core {

QString TwoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

QString Quoted(const QString& text) { return u'\'' + db::SqlEscape(text) + u'\''; }

QString InFile(const QString& path) { return QStringLiteral(" in ") + Quoted(path); }

bool Exec(db::Database& database, const QString& sql) {
    ModMurv::SqlText = sql;
    return database.Execute(sql);
}

db::Recordset Open(db::Database& database, const QString& sql) {
    ModMurv::SqlText = sql;
    return database.OpenRecordset(sql);
}

qint64 CountOf(db::Database& database, const QString& sql) {
    db::Recordset rs = Open(database, sql);
    if (rs.IsEOF()) return 0;
    return rs.Value(QStringLiteral("total")).toLongLong();
}

bool AddBlankRows(const QString& table, FieldValues values, qint64 count) {
    db::Database& work = ModMurv::DbWork;
    // One transaction for the whole batch: the work file is written once.
    const bool batch = work.BeginTrans();
    db::Recordset rs = Open(work, QStringLiteral("select * from ") + table);
    bool ok = rs.IsOpen();
    for (qint64 i = 0; i < count && ok; ++i) {
        ok = rs.AddNew();
        for (const auto& [field, value] : values) ok = ok && rs.SetValue(field, value);
        ok = ok && rs.Update();
    }
    rs.Close();
    if (batch) {
        if (ok) ok = work.CommitTrans();
        if (!ok && work.InTransaction()) work.Rollback();
    }
    return ok;
}

bool FillToRows(const QString& table, FieldValues values, qint64 rows) {
    const qint64 have = CountOf(ModMurv::DbWork, QStringLiteral("select count(*) as total from ") + table);
    return have >= rows || AddBlankRows(table, values, rows - have);
}

bool WriteAll(const QString& failure, const std::function<bool(db::Database&)>& writes) {
    db::Database& data = ModMurv::DbData;
    if (data.BeginTrans()) {
        if (writes(data) && data.CommitTrans()) return true;
        if (data.InTransaction()) data.Rollback();
    }
    MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), failure + QStringLiteral("。"));
    return false;
}

bool FillNameList(const QString& workTable, const QString& workField, const QString& dataSelect,
                  std::initializer_list<ui::ComboBox*> combos) {
    using namespace ModMurv;
    for (ui::ComboBox* combo : combos) combo->Clear();
    bool ok = Exec(DbWork, QStringLiteral("delete * from ") + workTable);
    const bool batch = DbWork.BeginTrans();
    db::Recordset list = Open(DbWork, QStringLiteral("select * from ") + workTable);
    db::Recordset names = Open(DbData, dataSelect);
    ok = ok && list.IsOpen() && names.IsOpen();
    if (ok && !names.IsBOF() && !names.IsEOF()) {
        const int field = list.FieldIndex(workField);
        for (; ok && !names.IsEOF(); names.MoveNext()) {
            const QString name = names.Value(0).toString();
            if (name.isEmpty()) continue;  // a name list holds no empty name
            ok = list.AddNew() && list.SetValue(field, name) && list.Update();
            for (ui::ComboBox* combo : combos) combo->AddItem(name);
        }
    }
    names.Close();
    list.Close();
    if (batch) {
        if (ok) ok = DbWork.CommitTrans();
        if (!ok && DbWork.InTransaction()) DbWork.Rollback();
    }
    return ok;
}

void SetUpTickColumn(ui::DataGrid& grid, int column) {
    grid.Columns(column).SetCheckBox(true);
    grid.Columns(column).SetCaption(QString());
    grid.Columns(column).SetWidth(340);
    grid.Columns(column).SetAlignment(ui::ColumnAlignment::Center);
}

void MakePopUp(ui::Panel& panel) {
    panel.SetPopUp(true);
    panel.SetBackColor(panel.palette().color(QPalette::Window));
    panel.SetVisible(false);
}

void SetUpPrintPanel(ui::Panel& panel, ui::ButtonArray& buttons, int left, int top, bool canPrint) {
    panel.Move(left, top, 3840, 900);
    MakePopUp(panel);
    const QString captions[] = {S(u"印刷"), S(u"ﾌﾟﾚﾋﾞｭｰ"), S(u"ｷｬﾝｾﾙ")};
    for (int i = 0; i < 3; ++i) buttons.Add(i, &panel, captions[i]).Move(180 + i * 1200, 225, 1080, 450);
    buttons[0].SetEnabled(canPrint);
    buttons[1].SetEnabled(canPrint);
}

void BackToMenu(const ui::Form& from) {
    FormStack(QStringLiteral("PUSH"), from.Name());
    ui::Forms::Get<MainMenu>(QStringLiteral("MainMenu")).Show();
}

void ShowHintFor(const ui::Form& form, const QString& button) {
    ModMurv::HintFormName = form.Name();
    ModMurv::HintControlKey = button;
    ModMurv::HintCaption = form.Caption();
    ShowHint();
}

}  // namespace core
