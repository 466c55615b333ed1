#include "core/ScreenKit.h"

#include <QTabWidget>
#include <optional>
#include <vector>

#include "core/Failure.h"

#include "core/Helpers.h"
#include "core/Hint.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "platform/db/Quote.h"
#include "platform/db/Transaction.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/MessagePresenter.h"
#include "platform/ui/NumberBox.h"

namespace core {

QString TwoDigits(int n) {
    // Months and days, thousands of times in a load: written digit by digit.
    if (n >= 0 && n < 100) {
        const QChar digits[2] = {QChar(u'0' + n / 10), QChar(u'0' + n % 10)};
        return QString(digits, 2);
    }
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString Quoted(const QString& text) { return u'\'' + db::SqlEscape(text) + u'\''; }

QString InFile(const QString& path) { return QStringLiteral(" in ") + Quoted(path); }

namespace {
// The failure of the writes WriteAll runs, while it runs them.
db::Failure* g_writing = nullptr;

// Notes in `why` (when given) why a step failed: the recordset's failure when
// it has one, else the database's. False.
bool Failed(const db::Recordset* rs, const db::Database& database, db::Failure* why) {
    if (!why) return false;
    *why = rs && rs->LastFailure() ? rs->LastFailure() : database.LastFailure();
    if (!*why && !database.IsOpen()) *why = {db::ErrorKind::Other, QStringLiteral("database is not open")};
    return false;
}
}  // namespace

bool NoteFailure(const db::Recordset& rs, const db::Database& database) { return Failed(&rs, database, g_writing); }

bool HasControlCharacters(const QString& text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control) return true;
    return false;
}

bool AcceptTypedNames(std::initializer_list<QString> texts) {
    for (const QString& text : texts) {
        if (!HasControlCharacters(text)) continue;
        SayRefusedInput(
            QStringLiteral("名前に制御文字（改行・タブなど）が含まれています。制御文字を除いて入力してください。"),
            text);
        return false;
    }
    return AcceptTextLengths(texts);
}

bool AcceptTextLengths(std::initializer_list<QString> texts) {
    for (const QString& text : texts) {
        const qsizetype length = db::TextLength(text);
        if (length <= db::kTextFieldCharacters) continue;
        SayRefusedInput(
            QStringLiteral("入力された文字が長すぎます（%1文字）。名前・ふりがな・タイトルなどは%2文字以内で"
                           "入力してください。")
                .arg(length)
                .arg(db::kTextFieldCharacters),
            text);
        return false;
    }
    return true;
}

void SayRefusedInput(const QString& message, const QString& typed) {
    ui::MessageBoxContent box;
    box.title = QStringLiteral("入力注意");
    box.text = message;
    box.buttons = ui::MessageButtons::Ok;
    box.icon = ui::MessageIcon::Warning;
    box.defaultButton = ui::Answer::Ok;
    LogFailure(message, typed.toHtmlEscaped());
    ui::CurrentPresenter().Present(box);
}

void SayUnreadableDate(const QString& typed) {
    SayRefusedInput(QStringLiteral("「%1」は日付として読めません。正しい日付を入力してください。").arg(typed.trimmed()),
                    typed);
}

bool BookOpen() {
    if (ModMurv::DbData.IsOpen()) return true;
    ShowFailure(kNoBookOpen);
    return false;
}

bool DatesReadable(std::initializer_list<ui::DateBox*> boxes) {
    for (ui::DateBox* box : boxes) {
        if (box->Readable()) continue;
        if (!box->RefusalJustSaid()) SayUnreadableDate(box->Text());
        for (QWidget* up = box->parentWidget(); up; up = up->parentWidget()) {
            auto* tabs = qobject_cast<QTabWidget*>(up);
            for (int i = 0; tabs && i < tabs->count(); ++i)
                if (tabs->widget(i)->isAncestorOf(box)) tabs->setCurrentIndex(i);
        }
        box->SetFocus();
        box->selectAll();
        return false;
    }
    return true;
}

bool Exec(db::Database& database, const QString& sql) {
    ModMurv::SqlText = sql;
    return database.Execute(sql) || Failed(nullptr, database, g_writing);
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

bool AddBlankRows(const QString& table, FieldValues values, qint64 count, const QString& numbered, db::Failure* why) {
    db::Database& work = ModMurv::DbWork;
    if (!work.IsOpen()) return Failed(nullptr, work, why);
    // One transaction for the whole batch: the work file is written once,
    // and a batch that fails adds nothing.
    db::Transaction batch(work);
    db::Recordset rs = Open(work, QStringLiteral("select * from ") + table);
    bool ok = rs.IsOpen();
    std::vector<std::pair<int, QVariant>> fields;
    for (const auto& [field, value] : values) fields.emplace_back(rs.FieldIndex(field), value);
    const int number = numbered.isEmpty() ? -1 : rs.FieldIndex(numbered);
    for (qint64 i = 0; i < count && ok; ++i) {
        ok = rs.AddNew();
        for (const auto& [field, value] : fields) ok = ok && rs.SetValue(field, value);
        if (number >= 0) ok = ok && rs.SetValue(number, i + 1);
        ok = ok && rs.Update();
    }
    if (!ok) Failed(&rs, work, why);
    rs.Close();
    if (ok && batch.Began() && !batch.Commit()) ok = Failed(nullptr, work, why);
    return ok;
}

bool FillToRows(const QString& table, FieldValues values, qint64 rows, db::Failure* why) {
    db::Recordset rs = Open(ModMurv::DbWork, QStringLiteral("select count(*) as total from ") + table);
    if (!rs.IsOpen() || rs.IsEOF()) return Failed(&rs, ModMurv::DbWork, why);
    const qint64 have = rs.Value(QStringLiteral("total")).toLongLong();
    return have >= rows || AddBlankRows(table, values, rows - have, QString(), why);
}

bool WriteAll(const QString& failure, const std::function<bool(db::Database&)>& writes) {
    db::Database& data = ModMurv::DbData;
    db::Failure why;
    if (db::Transaction transaction(data); transaction.Began()) {
        g_writing = &why;
        const bool written = writes(data);
        g_writing = nullptr;
        if (written && transaction.Commit()) return true;
        // A write that failed through the kit has noted why already.
        if (written || !why) Failed(nullptr, data, &why);
    } else {
        Failed(nullptr, data, &why);
    }
    ShowFailure(failure + QStringLiteral("。"), why);
    return false;
}

bool AskForTickedRows(const QString& workTable, db::Recordset& ticked) {
    if (!MsgShow(QStringLiteral("削除"), QStringLiteral("伝票確認2"), QStringLiteral("指定されたデータ"))) return false;
    ticked =
        Open(ModMurv::DbWork, QStringLiteral("select * from ") + workTable + QStringLiteral(" where チェック = True"));
    if (ticked.IsBOF() || ticked.IsEOF()) MsgShow(QStringLiteral("行指定"), QStringLiteral("指定なし"), QString());
    return true;
}

bool DeleteNamed(db::Recordset& ticked, const QString& field, const QString& failure,
                 const std::function<bool(db::Database& data, const QString& name)>& deleteOne) {
    return WriteAll(failure, [&](db::Database& data) {
        bool ok = true;
        for (; ok && !ticked.IsEOF(); ticked.MoveNext()) {
            const QString name = ticked.Value(field).toString();
            if (!name.isEmpty()) ok = deleteOne(data, name);
        }
        return ok;
    });
}

bool FillNameList(const QString& workTable, const QString& workField, const QString& dataSelect,
                  std::initializer_list<ui::ComboBox*> combos, db::Failure* why) {
    using namespace ModMurv;
    for (ui::ComboBox* combo : combos) combo->Clear();
    bool ok = Exec(DbWork, QStringLiteral("delete * from ") + workTable) || Failed(nullptr, DbWork, why);
    std::optional<db::Transaction> batch;
    if (ok) batch.emplace(DbWork);
    db::Recordset list = Open(DbWork, QStringLiteral("select * from ") + workTable);
    db::Recordset names = Open(DbData, dataSelect);
    if (ok && !list.IsOpen()) ok = Failed(&list, DbWork, why);
    if (ok && !names.IsOpen()) ok = Failed(&names, DbData, why);
    QStringList shown;  // the names for the lists, added at once
    if (ok && !names.IsBOF() && !names.IsEOF()) {
        const int field = list.FieldIndex(workField);
        for (; ok && !names.IsEOF(); names.MoveNext()) {
            const QString name = names.Value(0).toString();
            if (name.isEmpty()) continue;  // a name list holds no empty name
            ok = (list.AddNew() && list.SetValue(field, name) && list.Update()) || Failed(&list, DbWork, why);
            shown << name;
        }
    }
    for (ui::ComboBox* combo : combos) combo->AddItems(shown);
    names.Close();
    list.Close();
    if (ok && batch && batch->Began() && !batch->Commit()) ok = Failed(nullptr, DbWork, why);
    return ok;
}

std::optional<StoredItem> ReadStoredItem(const QString& name) {
    db::Recordset rs =
        Open(ModMurv::DbData, QStringLiteral("select ふりがな, 非課税 from 科目マスタ where 科目 = ") + Quoted(name));
    if (!rs.IsOpen()) {
        ShowFailure(QStringLiteral("科目の読みと非課税の区分を読めませんでした。"), rs.LastFailure());
        return std::nullopt;
    }
    if (rs.IsEOF()) return std::nullopt;
    return StoredItem{rs.Value(0), rs.Value(1).toBool()};
}

bool ShowTotal(ui::NumberBox& box, db::Database& database, const QString& sql, db::Failure* why) {
    db::Recordset rs = Open(database, sql);
    const QVariant total = rs.IsEOF() ? QVariant() : rs.Value(0);
    if (total.isNull()) box.Clear();
    else box.SetValue(total);
    return rs.IsOpen() || Failed(&rs, database, why);
}

void SetPeriodDatePatterns(ui::DateBox& box, bool eraYears) {
    const QString pattern = eraYears ? QStringLiteral("ggg ee年mm月dd日") : QStringLiteral("yyyy/mm/dd");
    box.SetPatterns(pattern, pattern);
    box.SetYearMonthPattern(eraYears ? QStringLiteral("g ee年mm月") : QStringLiteral("yyyy年mm月"));
}

void SetUpTickColumn(ui::DataGrid& grid, int column) {
    grid.Columns(column).SetCheckBox(true);
    grid.Columns(column).SetCaption(QString());
    grid.Columns(column).SetWidth(340);
    grid.Columns(column).SetAlignment(ui::ColumnAlignment::Center);
}

void SayCellFailures(ui::DataGrid& grid) {
    grid.onError = [&grid](int, const QString& message) {
        // A write the data control refused carries its failure; the grid's own refusals are text.
        const ui::DataControl* source = grid.DataSource();
        const db::Failure failure = source && source->LastFailure().text == message
                                        ? source->LastFailure()
                                        : db::Failure{db::ErrorKind::Other, message};
        ShowFailure(QStringLiteral("入力した内容を保存できませんでした。入力した内容はセルに残っています。"), failure);
    };
    if (ui::DataControl* source = grid.DataSource())
        QObject::connect(source, &ui::DataControl::refreshFailed, &grid, [](const db::Failure& failure) {
            ShowFailure(QStringLiteral("一覧の行を読み込めませんでした。"), failure);
        });
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
