#pragma once
// What the three list screens share beyond the screen kit: the period fields
// and their month steps, single values of sums and counts, the ranking of a
// work table with its cut into "その他", the close button, and saying a
// failure to the user once with its detail in the log.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <utility>

#include "lists/ListRules.h"
#include "platform/db/Database.h"

class QWidget;

namespace ui {
class ComboBox;
class CommandButton;
class DateBox;
class NumberBox;
class OptionButton;
class Form;
class Label;
class Panel;
struct KeyArgs;
}  // namespace ui

namespace lists {

// The work file on a connection of the list screens' own, for the
// statements that read the data file through " in '<path>'": the data file
// is attached there, never to the shared work connection. (A transaction
// reserves every file attached to its connection, and the entry screen runs
// one on each shared connection at the same time.) Opened on first use and
// again whenever the work file's path changes.
db::Database& ListWork();

// The first field of the first row of a select (a sum, a count, a maximum),
// Null when there is none. `ok` turns false when the select failed.
QVariant SingleValue(db::Database& database, const QString& sql, bool& ok);

// The window the two date fields show, the window's default filling each
// field that is empty, and the empty fields written with their defaults.
Window FillPeriod(ui::DateBox& start, ui::DateBox& end);

// Moves the two fields one month back (-1) or forward (+1); false (nothing
// moved) when a field holds a text that is no date (said).
bool StepPeriod(ui::DateBox& start, ui::DateBox& end, int step);

// Printing or previewing (not ｷｬﾝｾﾙ, index 2) from the print panel reads the
// period fields: false when one holds a text that is no date (said).
bool PrintPeriodReadable(int index, std::initializer_list<ui::DateBox*> period);

// A row of command buttons from (left, top), 1200 twips wide and 480 high,
// each with the name of its function key (if it has one) under it.
using KeyedButton = std::pair<ui::CommandButton*, const char16_t*>;
void PlaceButtonRow(QWidget& form, std::initializer_list<KeyedButton> buttons, int left, int top);

// A count or total field: right-aligned "#,##0", shown only.
void SetUpTotalBox(ui::NumberBox& box);

// The per-item / per-partner options in their frame at (left, top), and the
// rank-limit combo with its label beside them, filled with the limits.
void SetUpGrouping(ui::Panel& frame, ui::OptionButton& perItem, ui::OptionButton& perPartner, ui::Label& label,
                   ui::ComboBox& limits, int left, int top);

// The formats, widths and places of a start and end field by the era
// setting (the expense list and the ranking lay them out alike).
void SetUpPeriodFields(ui::DateBox& start, ui::DateBox& end, ui::Label& between, ui::Panel& frame);

// Numbers the rows of `table` from the largest `amount` down, through its
// copy `sortTable`, keeps the first `limit` rows in rank order and adds one
// row "その他" (科目 and 取引先名) with 順位 Null that sums `amount` and each
// of `sums` over the rest. Rows with equal amounts keep the table's order.
// One transaction on the work database; false (nothing changed) when a
// statement failed.
bool RankAndCut(const QString& table, const QString& sortTable, const QString& amount, const QStringList& sums,
                int limit);

// The function keys of a list screen's legend: the key's button is clicked
// and the key consumed; any other key goes on.
using KeyButton = std::pair<int, ui::CommandButton*>;  // a Qt::Key and its button
void ClickKeyButton(ui::KeyArgs& key, std::initializer_list<KeyButton> buttons);

// The close button of the expense list and the monthly table: the hint
// window goes, the main menu comes forward when this is the last screen,
// and the screen unloads.
void CloseScreen(ui::Form& screen);

}  // namespace lists
