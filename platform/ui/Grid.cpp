// The grid itself: its widgets, the register of live grids and the cursor.
// Binding, editing and input are in GridBinding.cpp, GridEditing.cpp and
// GridKeys.cpp; the inner widgets in GridView.cpp.
#include "platform/ui/Grid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/GridModel.h"
#include "platform/ui/GridView.h"

namespace ui {

namespace {

std::vector<DataGrid*>& LiveGrids() {
    static std::vector<DataGrid*> grids;
    return grids;
}

}  // namespace

DataGrid::DataGrid(QWidget* parent) : QWidget(parent) {
    LiveGrids().push_back(this);
    detached_.reset(new GridColumn(nullptr, -1, QString()));

    model_ = new GridModel(this);
    view_ = new GridView(this);
    view_->setModel(model_);
    view_->setItemDelegate(new GridDelegate(this));
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    view_->setTabKeyNavigation(false);
    view_->setWordWrap(false);
    view_->setCornerButtonEnabled(false);
    QHeaderView* top = view_->horizontalHeader();
    top->setSectionsMovable(false);
    top->setSectionsClickable(false);
    top->setHighlightSections(false);
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setMinimumSectionSize(1);  // narrow columns (a check box, a cell button) keep their width
    view_->setVerticalHeader(new GridRowHeader(this));
    QHeaderView* side = view_->verticalHeader();
    side->setSectionsClickable(false);
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setMinimumSectionSize(8);
    side->setFixedWidth(16);
    UpdateRowHeight();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);

    editor_ = new QLineEdit(view_->viewport());
    editor_->setFrame(false);
    editor_->hide();
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::textEdited, this, [this] {
        if (!pending_.active) {
            pending_ = Pending{true, row_, col_, QVariant(), false};
        }
        pending_.fromCode = false;
        pending_.refused = pending_.clickSelects = false;
        if (onChange) onChange();
    });
    connect(top, &QHeaderView::sectionResized, this, [this] { PlaceEditor(); });
}

DataGrid::~DataGrid() {
    auto& grids = LiveGrids();
    grids.erase(std::remove(grids.begin(), grids.end(), this), grids.end());
    for (auto& column : columns_)
        if (column->DropDown() && column->DropDown()->IsOpen()) column->DropDown()->Close();
    pending_ = Pending{};
    editorOpen_ = false;
    // The view goes first: closing the window would otherwise let it call back
    // into a grid whose members are gone.
    delete view_;
    view_ = nullptr;
    editor_ = nullptr;
}

QAbstractItemView* DataGrid::View() const { return view_; }

int DataGrid::RowCount() const { return source_ ? source_->RowCount() : 0; }

GridColumn& DataGrid::Columns(int index) {
    if (index < 0 || index >= ColumnCount()) return *detached_;
    return *columns_[static_cast<size_t>(index)];
}

const GridColumn& DataGrid::Columns(int index) const {
    if (index < 0 || index >= ColumnCount()) return *detached_;
    return *columns_[static_cast<size_t>(index)];
}

bool DataGrid::CommitAllPendingEdits(const QWidget* scope) {
    bool ok = true;
    const std::vector<DataGrid*> grids = LiveGrids();  // handlers may make or destroy grids
    for (DataGrid* grid : grids) {
        const auto& live = LiveGrids();
        if (std::find(live.begin(), live.end(), grid) == live.end()) continue;
        if (scope && grid->window() != scope->window()) continue;
        if (!grid->CommitPendingEdit()) ok = false;
    }
    return ok;
}

// ---------------------------------------------------------------- the cursor

bool DataGrid::IsBOF() const { return RowCount() == 0 || row_ < 0; }
bool DataGrid::IsEOF() const { return RowCount() == 0 || row_ >= RowCount(); }

bool DataGrid::Enterable(int col) const {
    return col >= 0 && col < ColumnCount() && Columns(col).Visible() && Columns(col).AllowFocus();
}

bool DataGrid::CanEdit(int col) const {
    return !readOnly_ && IsRealRow(row_) && Enterable(col) && Columns(col).fieldIndex_ >= 0;
}

int DataGrid::NextEnterable(int from, int step) const {
    for (int c = from + step; c >= 0 && c < ColumnCount(); c += step)
        if (Enterable(c)) return c;
    return -1;
}

int DataGrid::CodeColumn(int col) const {
    if (Columns(col).Visible()) return col;
    const int left = NextEnterable(col, -1);
    if (left >= 0) return left;
    const int right = NextEnterable(col, 1);
    return right >= 0 ? right : col;
}

bool DataGrid::MoveTo(int row, int col) {
    const int n = RowCount();
    row = n == 0 ? 0 : std::clamp(row, -1, n);
    if (row == row_ && col == col_) return true;
    if (!CommitPendingEdit()) return false;
    CloseEditor();
    if (row == row_ && col == col_) return true;  // a handler of the commit got there first
    const QVariant lastRow = IsRealRow(row_) ? QVariant(row_) : QVariant();
    const int lastCol = col_;
    row_ = row;
    col_ = col;
    SyncView();
    view_->verticalHeader()->viewport()->update();
    if (onRowColChange) onRowColChange(lastRow, lastCol);
    return true;
}

void DataGrid::SyncView() {
    QItemSelectionModel* selection = view_->selectionModel();
    if (IsRealRow(row_) && col_ >= 0 && col_ < ColumnCount()) {
        const QModelIndex index = model_->index(row_, col_);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        view_->scrollTo(index);
    } else {
        selection->clear();
    }
    view_->viewport()->update();
}

QColor DataGrid::CurrentRowColor() const {
    const QColor base = palette().color(QPalette::Base);
    const QColor mark = palette().color(QPalette::Highlight);
    const auto mix = [](int under, int over) { return (under * 3 + over) / 4; };
    return QColor(mix(base.red(), mark.red()), mix(base.green(), mark.green()), mix(base.blue(), mark.blue()));
}

bool DataGrid::SetRow(int row) {
    if (!IsRealRow(row)) return false;
    return MoveTo(row, col_);
}

bool DataGrid::SetCol(int col) {
    if (col < 0 || col >= ColumnCount()) return false;
    return MoveTo(row_, CodeColumn(col));
}

bool DataGrid::MoveFirst() { return RowCount() > 0 && MoveTo(0, col_); }
bool DataGrid::MoveLast() { return RowCount() > 0 && MoveTo(RowCount() - 1, col_); }
bool DataGrid::MoveNext() { return RowCount() > 0 && row_ < RowCount() && MoveTo(row_ + 1, col_); }
bool DataGrid::MovePrevious() { return RowCount() > 0 && row_ >= 0 && MoveTo(row_ - 1, col_); }

void DataGrid::MoveByTabOrEnter(bool forward) {
    if (!IsRealRow(row_)) return;
    const int step = forward ? 1 : -1;
    const int next = NextEnterable(col_, step);
    if (next >= 0) {
        MoveTo(row_, next);
        return;
    }
    const int wrap = NextEnterable(forward ? -1 : ColumnCount(), step);
    if (IsRealRow(row_ + step) && wrap >= 0) MoveTo(row_ + step, wrap);
    else CommitPendingEdit();  // the last cell: the edit is done, the cursor stays
}

}  // namespace ui
