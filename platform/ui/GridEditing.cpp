// Editing in a grid: the cells of the current row and of any row, the
// pending edit and its commit, the cell editor, check boxes, cell buttons and
// drop-down lists.
#include <QLineEdit>
#include <algorithm>

#include "platform/ui/Grid.h"
#include "platform/ui/GridFormat.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/GridView.h"

namespace ui {

namespace {

constexpr int kButtonWidth = 16;

}  // namespace

// ---------------------------------------------------------------- cells

QVariant DataGrid::CellValue(int row, int col) const {
    if (!source_ || col < 0 || col >= ColumnCount()) return QVariant();
    return source_->Value(row, Columns(col).fieldIndex_);
}

QString DataGrid::CellText(int row, int col) const {
    return FormatCellText(CellValue(row, col), Columns(col).NumberFormat());
}

QVariant DataGrid::PendingValue() const {
    if (!pending_.active) return QVariant();
    if (pending_.fromCode || !editorOpen_) return pending_.value;
    return editor_->text();
}

bool DataGrid::HasPendingEdit() const { return pending_.active; }

QVariant DataGrid::CurrentValue(int col) const {
    if (pending_.active && pending_.row == row_ && pending_.col == col) return PendingValue();
    return CellValue(row_, col);
}

QString DataGrid::CurrentText(int col) const {
    if (pending_.active && pending_.row == row_ && pending_.col == col)
        return editorOpen_ && !pending_.fromCode ? editor_->text() : CellEditText(pending_.value);
    return CellText(row_, col);
}

bool DataGrid::SetCurrentValue(int col, const QVariant& value) {
    if (col < 0 || col >= ColumnCount()) return false;
    if (!IsRealRow(row_)) {
        error_ = QStringLiteral("no current row");
        return false;
    }
    if (pending_.active && pending_.row == row_ && pending_.col == col) {
        if (committing_) {
            // The before-update handler rewrites the value being committed.
            pending_.value = value;
            pending_.fromCode = true;
            if (editorOpen_) editor_->setText(CellEditText(value));
            InvalidateCell(row_, col);
            return true;
        }
        DiscardPendingEdit();
    } else if (editorOpen_ && col == col_) {
        CloseEditor();
    }
    return StoreCell(row_, col, value);
}

bool DataGrid::StoreCell(int row, int col, const QVariant& value) {
    const GridColumn& column = Columns(col);
    if (!source_ || column.fieldIndex_ < 0) {
        error_ = QStringLiteral("the column %1 is not bound").arg(column.DataField());
        return false;
    }
    if (!source_->SetValue(row, column.fieldIndex_, value)) {
        error_ = source_->LastError();
        return false;
    }
    error_.clear();
    return true;
}

void DataGrid::InvalidateCell(int row, int col) { model_->CellChanged(row, col); }

// ---------------------------------------------------------------- editing

void DataGrid::BeginPending(const QVariant& value) {
    CloseEditor();
    pending_ = Pending{true, row_, col_, value, false};
    InvalidateCell(row_, col_);
    if (onChange) onChange();
}

bool DataGrid::CommitPendingEdit() {
    if (!pending_.active) {
        CloseEditor();
        return true;
    }
    if (committing_) return false;
    committing_ = true;
    const int row = pending_.row;
    const int col = pending_.col;
    int cancel = 0;
    if (onBeforeColUpdate) onBeforeColUpdate(col, CellValue(row, col), cancel);
    if (!pending_.active) {  // the handler dropped it (a refresh)
        committing_ = false;
        return cancel == 0;
    }
    if (cancel != 0) {
        committing_ = false;
        InvalidateCell(row, col);
        // Back in the cell with the refused text: typing replaces it.
        pending_.refused = pending_.clickSelects = true;
        if (editorOpen_) editor_->selectAll();
        return false;
    }
    if (!StoreCell(row, col, PendingValue())) {
        committing_ = false;
        if (onError) onError(col, error_);
        return false;
    }
    pending_ = Pending{};
    CloseEditor();
    InvalidateCell(row, col);
    committing_ = false;
    if (onAfterColUpdate) onAfterColUpdate(col);
    return true;
}

void DataGrid::DiscardPendingEdit() {
    const bool had = pending_.active;
    const int row = pending_.row;
    const int col = pending_.col;
    pending_ = Pending{};
    CloseEditor();
    if (had) InvalidateCell(row, col);
}

void DataGrid::OpenEditor(const QString& text, bool changed) {
    if (!CanEdit(col_)) return;
    const GridColumn& column = Columns(col_);
    QFont editorFont = font();
    if (column.FontSize() > 0) editorFont.setPointSize(column.FontSize());
    editor_->setFont(editorFont);
    editor_->setMaxLength(column.MaxLength() > 0 ? column.MaxLength() : 32767);
    const QVariant alignment = model_->data(model_->index(row_, col_), Qt::TextAlignmentRole);
    editor_->setAlignment(alignment.value<Qt::Alignment>());
    editor_->setText(text);
    editorOpen_ = true;
    if (changed) {
        pending_ = Pending{true, row_, col_, QVariant(), false};
        if (onChange) onChange();
    }
    PlaceEditor();
    editor_->show();
    editor_->setFocus();
}

void DataGrid::CloseEditor() {
    if (!editorOpen_) return;
    const bool hadFocus = editor_->hasFocus();
    editorOpen_ = false;
    composing_ = false;
    if (hadFocus) view_->setFocus();
    editor_->hide();
}

void DataGrid::PlaceEditor() {
    if (!editorOpen_ || !view_) return;
    QRect cell = CellRect(row_, col_);
    if (HasCellButton(col_) && cell.width() > 2 * kButtonWidth) cell.setRight(ButtonRect(cell).left() - 1);
    editor_->setGeometry(cell);
}

QRect DataGrid::CellRect(int row, int col) const { return view_->visualRect(model_->index(row, col)); }

QRect DataGrid::ButtonRect(const QRect& cell) const {
    const int w = std::min(cell.width(), kButtonWidth);
    return QRect(cell.right() - w + 1, cell.top(), w, cell.height());
}

bool DataGrid::HasCellButton(int col) const { return Columns(col).DropDown() || Columns(col).Button(); }

void DataGrid::ToggleCheck() {
    if (!CanEdit(col_) || !Columns(col_).CheckBox()) return;
    BeginPending(!CurrentValue(col_).toBool());
    CommitPendingEdit();
}

void DataGrid::PressButton() {
    const int col = col_;
    GridColumn& column = Columns(col);
    if (!Enterable(col)) return;
    if (column.DropDown()) {
        OpenDropDown();
        return;
    }
    if (!column.Button()) return;
    if (onButtonClick) onButtonClick(col);
    if (!column.buttonEditor_ || !CanEdit(col) || col_ != col) return;
    const int row = row_;
    const QRect cell = CellRect(row, col);
    const QRect onScreen(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    const std::optional<QVariant> result = column.buttonEditor_(onScreen, CurrentValue(col));
    if (!result || row_ != row || col_ != col) return;
    BeginPending(*result);
    CommitPendingEdit();
}

void DataGrid::OpenDropDown() {
    const int col = col_;
    GridDropDown* list = Columns(col).DropDown();
    if (!list || !CanEdit(col)) return;
    const QRect cell = CellRect(row_, col);
    const QRect onScreen(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    const int row = row_;
    list->Open(this, onScreen, CurrentValue(col), [this, row, col](int listRow) { DropDownPicked(row, col, listRow); });
}

void DataGrid::DropDownPicked(int row, int col, int listRow) {
    GridDropDown* list = Columns(col).DropDown();
    if (!list || row != row_ || col != col_ || !CanEdit(col)) return;
    OpenEditor(CellEditText(list->PickedValue(listRow)), true);
    editor_->selectAll();
    if (onDropDownChoice) onDropDownChoice(col);
}

void DataGrid::SetReadOnly(bool readOnly) {
    if (readOnly) CommitPendingEdit();
    readOnly_ = readOnly;
}

void DataGrid::SetFocus() {
    if (editorOpen_) editor_->setFocus();
    else view_->setFocus();
}

}  // namespace ui
