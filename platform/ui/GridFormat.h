#pragma once
// How a grid shows a cell value, and the text its cell editor starts from.
//
// A column's number format is one of:
//   digit patterns of '#', '0', ',' and '.'   "#,###" (0 shows as empty text),
//                                             "#,##0", "###,###,###", "00", "#,##0.00"
//   date patterns of yyyy, yy, mm, m, dd, d   "yyyy/mm/dd", "yy/mm/dd" (lower case
//                                             codes; other characters are copied)
// Any other pattern (the era patterns "gee/mm/dd", ...) goes to the format hook
// that the program installs; without a hook, or when the hook declines, the
// value is shown as if the column had no format.

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace ui {

// Shows a value in a column format. Null shows as the empty text; a text that
// is not a number stays as it is under a digit pattern.
QString FormatCellText(const QVariant& value, const QString& format);

// The text a cell editor opens with: the value itself, never its formatted
// display (an amount of 0 edits as "0", 1234 as "1234", a date as "yyyy/mm/dd").
QString CellEditText(const QVariant& value);

// Formats patterns that the grid does not know. Returning nullopt leaves the
// value to the grid's default display. An empty hook removes it.
using CellFormatHook = std::function<std::optional<QString>(const QVariant& value, const QString& format)>;
void SetCellFormatHook(CellFormatHook hook);

}  // namespace ui
