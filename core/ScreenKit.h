#pragma once
// What every screen shares: statements that note their text in
// ModMurv::SqlText, the external-database clause and the quoting of names,
// blank work rows, writes that succeed or fail as a whole, the name lists
// behind the partner and item combos, the tick column, the pop-up panels
// (the print panel among them), the hint button and the way back to the
// main menu.

#include <QString>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <utility>

#include "platform/db/Database.h"

namespace ui {
class ButtonArray;
class ComboBox;
class DataGrid;
class Form;
class Panel;
}  // namespace ui

namespace core {

// ---------------------------------------------------------------- text

// A Japanese literal as a QString (u"…").
inline QString S(const char16_t* text) { return QString::fromUtf16(text); }

// "05" for 5: months and days in stored month-day texts.
QString TwoDigits(int n);

// "'<text>'" with the text's quotes doubled: every name spliced into a
// statement goes through it.
QString Quoted(const QString& text);

// " in '<path>'": names the table of another database file in a statement.
QString InFile(const QString& path);

// ---------------------------------------------------------------- statements

// Runs or opens a statement, noting it in ModMurv::SqlText first.
bool Exec(db::Database& database, const QString& sql);
db::Recordset Open(db::Database& database, const QString& sql);

// The number a "select count(*) as total ..." gives, 0 when it fails.
qint64 CountOf(db::Database& database, const QString& sql);

// Adds blank rows to a work table on DbWork; each new row gets the given
// field values. FillToRows adds only what the table lacks of `rows`.
using FieldValues = std::initializer_list<std::pair<QString, QVariant>>;
bool AddBlankRows(const QString& table, FieldValues values, qint64 count);
bool FillToRows(const QString& table, FieldValues values, qint64 rows);

// Runs the writes in one transaction on DbData: all of them are kept, or
// none is. On failure it tells the user "<failure>。" and returns false.
bool WriteAll(const QString& failure, const std::function<bool(db::Database&)>& writes);

// ---------------------------------------------------------------- name lists

// Refills a one-field name list: empties `workTable` on DbWork, then copies
// the first field of `dataSelect` (run on DbData) into its field
// `workField` and into each combo, in the select's order. Empty names are
// left out. Returns false when a statement failed.
bool FillNameList(const QString& workTable, const QString& workField, const QString& dataSelect,
                  std::initializer_list<ui::ComboBox*> combos);

// ---------------------------------------------------------------- controls

// The tick column "チェック" of a list grid: a check box without caption,
// centred, 340 twips wide.
void SetUpTickColumn(ui::DataGrid& grid, int column);

// A panel that comes up over the screen's other controls, opaque, and
// starts hidden.
void MakePopUp(ui::Panel& panel);

// The print panel Cn印刷 at (left, top) with its three buttons
// "印刷", "ﾌﾟﾚﾋﾞｭｰ" and "ｷｬﾝｾﾙ" (indexes 0, 1, 2) in cmd印刷サブ. Printing and
// previewing stay disabled where the screen cannot print.
void SetUpPrintPanel(ui::Panel& panel, ui::ButtonArray& buttons, int left, int top, bool canPrint);

// ---------------------------------------------------------------- navigation

// The menu button: notes the screen on the form stack and brings the main
// menu forward; the screen stays loaded behind it.
void BackToMenu(const ui::Form& from);

// The hint button: notes the form, the button and the caption as the hint
// context and opens the hint editor.
void ShowHintFor(const ui::Form& form, const QString& button = QStringLiteral("cmdHint"));

}  // namespace core
