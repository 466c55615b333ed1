#pragma once
// What the master screens share: statements that note their text in
// ModMurv::SqlText, the external-database clause, blank work rows, writes
// that succeed or fail as a whole, the use-count rule and the way back to
// the main menu.

#include <QString>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <utility>

#include "platform/db/Database.h"

namespace ui {
class Form;
class Panel;
}

namespace masters {

// Run or open a statement, noting it in ModMurv::SqlText first.
bool Exec(db::Database& database, const QString& sql);
db::Recordset Open(db::Database& database, const QString& sql);

// " in '<path>'": names the table of another database file in a statement.
QString InFile(const QString& path);

// "'<text>'" with the text's quotes doubled.
QString Quoted(const QString& text);

// The number a "select count(*) as total ..." gives, 0 when it fails.
qint64 CountOf(db::Database& database, const QString& sql);

// Adds blank rows to a work table on DbWork until it holds at least
// `rows` rows; each new row gets the given field values.
using FieldValues = std::initializer_list<std::pair<QString, QVariant>>;
void AddBlankRows(const QString& table, FieldValues values, qint64 count);
void FillToRows(const QString& table, FieldValues values, qint64 rows);

// Runs the writes in one transaction on DbData: all of them are kept, or
// none is. On failure it tells the user "<failure>。" and returns false.
bool WriteAll(const QString& failure, const std::function<bool(db::Database&)>& writes);

// A use count: a whole number from 0 to 2147483647, written in digits
// (full-width digits and surrounding blanks are allowed). Anything else,
// an empty cell included, is no count.
bool IsUseCount(const QVariant& value, qint32* count = nullptr);

// A panel that comes up over the screen's other controls, opaque, and
// starts hidden.
void MakePopUp(ui::Panel& panel);

// The menu button: notes the screen on the form stack and brings the main
// menu forward; the screen stays loaded behind it.
void BackToMenu(const ui::Form& from);

}  // namespace masters
