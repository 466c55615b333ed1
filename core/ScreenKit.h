#pragma once
// What every screen shares: statements that note their text in
// ModMurv::SqlText, the external-database clause and the quoting of names,
// blank work rows, writes that succeed or fail as a whole, the delete of
// ticked rows, the name lists behind the partner and item combos, what the
// item master holds of an item, totals in number boxes, the tick column, the date fields' patterns, the pop-up panels
// (the print panel among them), the hint button and the way back to the
// main menu.

#include <QString>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>

#include "platform/db/Database.h"

namespace ui {
class ButtonArray;
class ComboBox;
class DataGrid;
class DateBox;
class Form;
class NumberBox;
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

// True when the text holds a control character (a NUL, a line break, a tab,
// ...). A name that holds one could be stored but never found again by a
// statement, so typed names are refused with it.
bool HasControlCharacters(const QString& text);
// True when every text is free of them and fits a text field
// (db::kTextFieldCharacters); otherwise says so once ("入力注意", warning
// icon) and returns false. A text is never cut to fit.
bool AcceptTypedNames(std::initializer_list<QString> texts);
// True when every text fits a text field; otherwise says so once, as above.
bool AcceptTextLengths(std::initializer_list<QString> texts);

// Says that a typed value cannot be taken ("入力注意", warning icon, the
// message as given) and logs it once with what was typed. The caller leaves
// the typed text where it is, for correction.
void SayRefusedInput(const QString& message, const QString& typed);
// The same for a text that a date field or cell cannot read as a date.
void SayUnreadableDate(const QString& typed);
// The first step of every action that reads date fields: true when each
// field's text reads as a date (or is empty). Otherwise the first field that
// does not is said (unless it said so itself a moment ago, when the click on
// the action's button took the focus from it), it gets the cursor (its tab
// page brought forward) and false is returned: the action stops, and nothing
// is stored or read with the date the text replaced.
bool DatesReadable(std::initializer_list<ui::DateBox*> boxes);

// ---------------------------------------------------------------- the book

// Said by everything that needs the book while no data file is open (the
// one found at start-up was refused): what is missing and the way on.
inline const QString kNoBookOpen = QStringLiteral(
    "経費帳のデータファイルが開かれていないため、保守の「データ保守」でバックアップかデータファイルの"
    "複製を読み込むまで使えません。");
// Added to the start-up's message about a data file it did not open.
inline const QString kRecoverBookAdvice = QStringLiteral(
    "保守の「データ保守」で、バックアップかデータファイルの複製を読み込んでください。"
    "それまで、ほかの画面は使えません。");
// True when the data file is open; otherwise says kNoBookOpen (once, for the
// action that asked) and returns false.
bool BookOpen();

// ---------------------------------------------------------------- statements

// Runs or opens a statement, noting it in ModMurv::SqlText first.
bool Exec(db::Database& database, const QString& sql);
db::Recordset Open(db::Database& database, const QString& sql);

// The number a "select count(*) as total ..." gives, 0 when it fails.
qint64 CountOf(db::Database& database, const QString& sql);

// Adds blank rows to a work table on DbWork; each new row gets the given
// field values, and the field `numbered` (when given) the numbers 1, 2, ...
// FillToRows adds only what the table lacks of `rows`. False when a row could
// not be written: then none was added, and `why` (when given) says why.
using FieldValues = std::initializer_list<std::pair<QString, QVariant>>;
bool AddBlankRows(const QString& table, FieldValues values, qint64 count, const QString& numbered = QString(),
                  db::Failure* why = nullptr);
bool FillToRows(const QString& table, FieldValues values, qint64 rows, db::Failure* why = nullptr);

// Inside the writes of WriteAll: notes why a recordset step failed (the
// recordset's failure, else the database's) as the failure WriteAll says. False.
bool NoteFailure(const db::Recordset& rs, const db::Database& database);

// Runs the writes in one transaction on DbData: all of them are kept, or
// none is. On failure it tells the user "<failure>。" (ShowFailure, with
// the cause) and returns false.
bool WriteAll(const QString& failure, const std::function<bool(db::Database&)>& writes);

// ---------------------------------------------------------------- ticked rows

// The first steps of every delete of ticked rows: asks first ("指定されたデータ
// を削除します。よろしいですか"), then opens the rows of `workTable` (DbWork)
// whose チェック is ticked, and says so when none is. False when the user
// declined; otherwise `ticked` holds the ticked rows, at its end when there
// are none.
bool AskForTickedRows(const QString& workTable, db::Recordset& ticked);

// Deletes what the ticked rows name, in one transaction on DbData:
// `deleteOne` runs the writes for the name in `field` of each ticked row
// (rows without a name are left out). On failure nothing is deleted and the
// user is told "<failure>。".
bool DeleteNamed(db::Recordset& ticked, const QString& field, const QString& failure,
                 const std::function<bool(db::Database& data, const QString& name)>& deleteOne);

// ---------------------------------------------------------------- name lists

// Refills a one-field name list: empties `workTable` on DbWork, then copies
// the first field of `dataSelect` (run on DbData) into its field
// `workField` and into each combo, in the select's order. Empty names are
// left out. Returns false when a statement failed; `why` (when given) says why.
bool FillNameList(const QString& workTable, const QString& workField, const QString& dataSelect,
                  std::initializer_list<ui::ComboBox*> combos, db::Failure* why = nullptr);

// What the item master holds of an item: its reading (Null when it has
// none) and its tax-exempt mark. An item entered into a row, picked or typed,
// brings them, so that registering the row keeps the master's own.
struct StoredItem {
    QVariant reading;
    bool exempt = false;
};
// The item of that name in 科目マスタ; nullopt for a name it does not hold
// (a new item) and when it cannot be read (said once).
std::optional<StoredItem> ReadStoredItem(const QString& name);

// ---------------------------------------------------------------- controls

// Shows the first field of a one-row select on `database` (a count or a
// sum) in a number box; the box is empty when the select gives no value.
// When the select fails the box is emptied and false returned (`why`, when
// given, says why); the caller says so.
bool ShowTotal(ui::NumberBox& box, db::Database& database, const QString& sql, db::Failure* why = nullptr);

// The patterns of a filter's or a period's date field: "ggg ee年mm月dd日"
// typed and shown, with the calendar titled "g ee年mm月", for era years;
// "yyyy/mm/dd" and "yyyy年mm月" for Western years.
void SetPeriodDatePatterns(ui::DateBox& box, bool eraYears);

// The tick column "チェック" of a list grid: a check box without caption,
// centred, 340 twips wide.
void SetUpTickColumn(ui::DataGrid& grid, int column);

// Connects the grid's error hook: a cell that the work file refuses (a full
// disk, a read-only file) is said with the reason, and what was typed stays
// in the cell. Rows of its data source that cannot be read are said too
// (set the data source first).
void SayCellFailures(ui::DataGrid& grid);

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
