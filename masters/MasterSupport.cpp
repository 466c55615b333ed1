#include "masters/MasterSupport.h"

#include "core/Helpers.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "platform/db/Quote.h"
#include "platform/ui/Containers.h"
#include "platform/ui/Form.h"

namespace masters {

bool Exec(db::Database& database, const QString& sql) {
    ModMurv::SqlText = sql;
    return database.Execute(sql);
}

db::Recordset Open(db::Database& database, const QString& sql) {
    ModMurv::SqlText = sql;
    return database.OpenRecordset(sql);
}

QString InFile(const QString& path) { return QStringLiteral(" in '") + db::SqlEscape(path) + u'\''; }

QString Quoted(const QString& text) { return u'\'' + db::SqlEscape(text) + u'\''; }

qint64 CountOf(db::Database& database, const QString& sql) {
    db::Recordset rs = Open(database, sql);
    if (rs.IsEOF()) return 0;
    return rs.Value(QStringLiteral("total")).toLongLong();
}

void AddBlankRows(const QString& table, FieldValues values, qint64 count) {
    db::Database& work = ModMurv::DbWork;
    // One transaction for the whole batch: the work file is written once.
    const bool batch = work.BeginTrans();
    db::Recordset rs = Open(work, QStringLiteral("select * from ") + table);
    for (qint64 i = 0; i < count && rs.IsOpen(); ++i) {
        rs.AddNew();
        for (const auto& [field, value] : values) rs.SetValue(field, value);
        rs.Update();
    }
    rs.Close();
    if (batch) work.CommitTrans();
}

void FillToRows(const QString& table, FieldValues values, qint64 rows) {
    const qint64 have = CountOf(ModMurv::DbWork, QStringLiteral("select count(*) as total from ") + table);
    if (have < rows) AddBlankRows(table, values, rows - have);
}

bool WriteAll(const QString& failure, const std::function<bool(db::Database&)>& writes) {
    db::Database& data = ModMurv::DbData;
    if (data.BeginTrans()) {
        if (writes(data) && data.CommitTrans()) return true;
        if (data.InTransaction()) data.Rollback();
    }
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), failure + QStringLiteral("。"));
    return false;
}

bool IsUseCount(const QVariant& value, qint32* count) {
    if (value.isNull()) return false;
    const QString text = value.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty() || text.size() > 10) return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    const qint64 n = text.toLongLong();
    if (n > 2147483647) return false;
    if (count) *count = qint32(n);
    return true;
}

void MakePopUp(ui::Panel& panel) {
    panel.SetPopUp(true);
    panel.SetBackColor(panel.palette().color(QPalette::Window));
    panel.SetVisible(false);
}

void BackToMenu(const ui::Form& from) {
    core::FormStack(QStringLiteral("PUSH"), from.Name());
    ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
}

}  // namespace masters
