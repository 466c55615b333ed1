// A grid column's settings: each change shows at once in its grid.
#include "platform/ui/GridColumn.h"

#include <algorithm>

#include "platform/ui/Grid.h"

namespace ui {

void GridColumn::Changed(bool layout) {
    if (grid_ && index_ >= 0) grid_->ColumnChanged(index_, layout);
}
void GridColumn::SetCaption(const QString& caption) {
    caption_ = caption;
    Changed(false);
}
void GridColumn::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed(true);
}
void GridColumn::SetWidth(int twips) {
    width_ = std::max(0, twips);
    Changed(true);
}
void GridColumn::SetAlignment(ColumnAlignment alignment) {
    alignment_ = alignment;
    Changed(false);
}
void GridColumn::SetNumberFormat(const QString& format) {
    format_ = format;
    Changed(false);
}
void GridColumn::SetAllowFocus(bool allow) {
    allowFocus_ = allow;
    Changed(false);
}
void GridColumn::SetForeColor(const QColor& color) {
    foreColor_ = color;
    Changed(false);
}
void GridColumn::SetFontSize(int points) {
    fontSize_ = std::max(0, points);
    Changed(true);
}
void GridColumn::SetCheckBox(bool on) {
    checkBox_ = on;
    Changed(false);
}
void GridColumn::SetDropDown(GridDropDown* dropDown) {
    dropDown_ = dropDown;
    Changed(false);
}
void GridColumn::SetButton(bool on) {
    button_ = on;
    Changed(false);
}
void GridColumn::SetMaxLength(int characters) {
    maxLength_ = std::max(0, characters);
    Changed(false);
}
QVariant GridColumn::Value() const { return grid_ ? grid_->CurrentValue(index_) : QVariant(); }
bool GridColumn::SetValue(const QVariant& value) { return grid_ && grid_->SetCurrentValue(index_, value); }
QString GridColumn::Text() const { return grid_ ? grid_->CurrentText(index_) : QString(); }

}  // namespace ui
