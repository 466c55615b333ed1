#include "platform/ui/Grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/GridFormat.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/Twips.h"

namespace ui {

namespace {

constexpr int kButtonWidth = 16;

std::vector<DataGrid*>& LiveGrids() {
    static std::vector<DataGrid*> grids;
    return grids;
}

bool IsFunctionKey(int key) { return key >= Qt::Key_F1 && key <= Qt::Key_F35; }

int KeyCodeOf(const QKeyEvent* e) {
    using namespace grid_keys;
    const int k = e->key();
    switch (k) {
    case Qt::Key_Backspace: return kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kReturn;
    case Qt::Key_Shift: return kShift;
    case Qt::Key_Control: return kControl;
    case Qt::Key_Alt: return kMenu;
    case Qt::Key_Escape: return kEscape;
    case Qt::Key_Space: return kSpace;
    case Qt::Key_PageUp: return kPageUp;
    case Qt::Key_PageDown: return kPageDown;
    case Qt::Key_End: return kEnd;
    case Qt::Key_Home: return kHome;
    case Qt::Key_Left: return kLeft;
    case Qt::Key_Up: return kUp;
    case Qt::Key_Right: return kRight;
    case Qt::Key_Down: return kDown;
    case Qt::Key_Insert: return kInsert;
    case Qt::Key_Delete: return kDelete;
    default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return kF1 + (k - Qt::Key_F1);
    if (k >= Qt::Key_0 && k <= Qt::Key_9 && (e->modifiers() & Qt::KeypadModifier)) return 96 + (k - Qt::Key_0);
    if (k == 0 || k == Qt::Key_unknown) return e->text().isEmpty() ? 0xFFFF : e->text().at(0).unicode();
    return k;  // letters and digits: their upper-case character codes, as the platform's
}

int ShiftOf(Qt::KeyboardModifiers m) {
    using namespace grid_keys;
    return ((m & Qt::ShiftModifier) ? kShiftMask : 0) | ((m & Qt::ControlModifier) ? kCtrlMask : 0) |
           ((m & Qt::AltModifier) ? kAltMask : 0);
}

}  // namespace

// ---------------------------------------------------------------- the inner view

// A table view that never edits or selects by itself: keys, clicks and input
// method events go to the grid, which moves the cursor and opens its editor.
class GridView : public QTableView {
public:
    explicit GridView(DataGrid* grid) : QTableView(grid), grid_(grid) {}

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(e);
            if (key == fromEditor_) {
                // The open editor did not want it: pass it on to the form.
                fromEditor_ = nullptr;
                key->ignore();
                return false;
            }
            if (grid_->HandleKey(key, false)) {
                key->accept();
                return true;
            }
            key->ignore();
            return false;
        }
        return QTableView::event(e);
    }
    bool viewportEvent(QEvent* e) override {
        // Keys reach the viewport only on their way up from the cell editor.
        if (e->type() == QEvent::KeyPress) fromEditor_ = e;
        return QTableView::viewportEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override { grid_->ViewMousePress(e); }
    void mouseMoveEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { grid_->ViewDoubleClick(e); }
    void inputMethodEvent(QInputMethodEvent* e) override { grid_->ViewInputMethod(e); }
    void focusInEvent(QFocusEvent* e) override {
        // Not QAbstractItemView's: it would make the first cell current on its own.
        QWidget::focusInEvent(e);
        viewport()->update();
    }
    bool edit(const QModelIndex&, EditTrigger, QEvent*) override { return false; }
    void scrollContentsBy(int dx, int dy) override {
        QTableView::scrollContentsBy(dx, dy);
        grid_->PlaceEditor();
    }
    void updateGeometries() override {
        QTableView::updateGeometries();
        grid_->PlaceEditor();
    }

private:
    DataGrid* grid_;
    QEvent* fromEditor_ = nullptr;
};

// The row selectors: a marker on the current row, painted rather than asked of
// the model, so that moving the cursor never makes the header measure its rows.
class GridRowHeader : public QHeaderView {
public:
    explicit GridRowHeader(DataGrid* grid) : QHeaderView(Qt::Vertical), grid_(grid) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        if (logicalIndex == grid_->Row()) painter->drawText(rect, Qt::AlignCenter, QStringLiteral("\u25B8"));
    }
    QSize sectionSizeFromContents(int) const override { return QSize(width(), defaultSectionSize()); }

private:
    DataGrid* grid_;
};

// Paints check boxes centred and the button of the current cell.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DataGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const GridColumn& column = grid_->Columns(index.column());
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        if (column.CheckBox()) {
            const bool on = opt.checkState == Qt::Checked;
            opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
            opt.text.clear();
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
            QStyleOptionButton box;
            const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
            const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget);
            QRect r(0, 0, w, h);
            r.moveCenter(option.rect.center());
            if (column.Alignment() == ColumnAlignment::Left) r.moveLeft(option.rect.left() + 2);
            if (column.Alignment() == ColumnAlignment::Right) r.moveRight(option.rect.right() - 2);
            box.rect = r;
            box.state = QStyle::State_Enabled | (on ? QStyle::State_On : QStyle::State_Off);
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
        } else {
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        }
        if (index.row() == grid_->Row() && index.column() == grid_->Col() && grid_->HasCellButton(index.column())) {
            QStyleOptionButton button;
            button.rect = grid_->ButtonRect(option.rect);
            button.state = QStyle::State_Enabled | QStyle::State_Raised;
            button.text = column.DropDown() ? QStringLiteral("\u25BE") : QStringLiteral("\u2026");
            style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
        }
    }

private:
    DataGrid* grid_;
};

// ---------------------------------------------------------------- columns

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

// ---------------------------------------------------------------- the grid

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

// ---- binding

void DataGrid::SetDataSource(DataControl* source) {
    DiscardPendingEdit();
    if (source_) disconnect(source_, nullptr, this, nullptr);
    model_->BeginReset();
    source_ = source;
    if (source_) {
        connect(source_, &DataControl::aboutToRefresh, this, &DataGrid::OnAboutToRefresh);
        connect(source_, &DataControl::refreshed, this, &DataGrid::OnRefreshed);
        connect(source_, &DataControl::valueWritten, this, &DataGrid::OnValueWritten);
        connect(source_, &QObject::destroyed, this, [this] {
            DiscardPendingEdit();
            model_->BeginReset();
            model_->EndReset();
            SyncView();
        });
    }
    ResolveFields();
    row_ = 0;
    if (!Enterable(col_)) col_ = std::max(0, NextEnterable(-1, 1));
    model_->EndReset();
    ApplyLayout();
    SyncView();
}

void DataGrid::SetColumns(const QStringList& fields) {
    DiscardPendingEdit();
    model_->BeginReset();
    columns_.clear();
    for (const QString& field : fields)
        columns_.push_back(std::unique_ptr<GridColumn>(new GridColumn(this, ColumnCount(), field)));
    ResolveFields();
    col_ = std::max(0, NextEnterable(-1, 1));
    model_->EndReset();
    ApplyLayout();
    SyncView();
}

void DataGrid::ResolveFields() {
    if (columns_.empty() && source_) {
        for (int f = 0; f < source_->FieldCount(); ++f)
            columns_.push_back(std::unique_ptr<GridColumn>(new GridColumn(this, f, source_->FieldName(f))));
    }
    for (auto& column : columns_) column->fieldIndex_ = source_ ? source_->FieldIndex(column->field_) : -1;
}

void DataGrid::ApplyLayout() {
    for (int c = 0; c < ColumnCount(); ++c) {
        const GridColumn& column = Columns(c);
        view_->setColumnHidden(c, !column.Visible());
        view_->setColumnWidth(c, TwipsToPixels(column.Width()));
    }
    UpdateRowHeight();
}

void DataGrid::UpdateRowHeight() {
    int height = fontMetrics().height();
    for (const auto& column : columns_) {
        if (column->FontSize() <= 0) continue;
        QFont larger = font();
        larger.setPointSize(column->FontSize());
        height = std::max(height, QFontMetrics(larger).height());
    }
    QHeaderView* side = view_->verticalHeader();
    if (side->defaultSectionSize() != std::max(18, height + 4)) side->setDefaultSectionSize(std::max(18, height + 4));
}

void DataGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && view_) UpdateRowHeight();
}

void DataGrid::OnAboutToRefresh() {
    DiscardPendingEdit();
    beforeRefresh_ = {row_, col_, IsRealRow(row_)};
    model_->BeginReset();
}

void DataGrid::OnRefreshed() {
    ResolveFields();
    row_ = 0;
    if (!Enterable(col_)) col_ = std::max(0, NextEnterable(-1, 1));
    model_->EndReset();
    ApplyLayout();
    SyncView();
    if ((row_ != beforeRefresh_.row || col_ != beforeRefresh_.col) && onRowColChange)
        onRowColChange(beforeRefresh_.real ? QVariant(beforeRefresh_.row) : QVariant(), beforeRefresh_.col);
}

void DataGrid::OnValueWritten(int row, int field) {
    for (const auto& column : columns_)
        if (column->fieldIndex_ == field) model_->CellChanged(row, column->index_);
}

void DataGrid::ColumnChanged(int col, bool layout) {
    if (layout) {
        const GridColumn& column = Columns(col);
        view_->setColumnHidden(col, !column.Visible());
        view_->setColumnWidth(col, TwipsToPixels(column.Width()));
        UpdateRowHeight();
        if (col == col_ && !column.Visible()) MoveTo(row_, CodeColumn(col_));
    }
    model_->ColumnChanged(col);
    PlaceEditor();
}

// ---- the cursor

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

// ---- cells

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

// ---- editing

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

// ---- input

bool DataGrid::HandleKey(QKeyEvent* event, bool fromEditor) {
    const int qtKey = event->key();
    int code = KeyCodeOf(event);
    int shift = ShiftOf(event->modifiers());
    if (onKeyDown) {
        onKeyDown(code, shift);
        if (code == 0) return true;
    }
    // When the handler closed the editor the key is no longer the editor's.
    const bool editorGone = fromEditor && !editorOpen_;
    fromEditor = fromEditor && editorOpen_;
    if (IsFunctionKey(qtKey)) return false;

    QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    int ascii = 0;
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: ascii = 13; break;
    case Qt::Key_Escape: ascii = 27; break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: ascii = 9; break;
    case Qt::Key_Backspace: ascii = 8; break;
    default:
        if (printable) ascii = typed.at(0).unicode();
    }
    bool replaced = false;
    if (ascii != 0 && onKeyPress) {
        int keyAscii = ascii;
        onKeyPress(keyAscii);
        if (keyAscii == 0) return true;
        if (printable && keyAscii != ascii) {
            typed = QString(QChar(keyAscii));
            replaced = true;
        }
        fromEditor = fromEditor && editorOpen_;
    }

    const bool alt = event->modifiers() & Qt::AltModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int n = RowCount();
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        MoveByTabOrEnter(true);
        return true;
    case Qt::Key_Tab:
        MoveByTabOrEnter(!(event->modifiers() & Qt::ShiftModifier));
        return true;
    case Qt::Key_Backtab:
        MoveByTabOrEnter(false);
        return true;
    case Qt::Key_Escape:
        if (pending_.active || editorOpen_) {
            DiscardPendingEdit();
            return true;
        }
        return editorGone;
    case Qt::Key_Down:
        if (alt) {
            if (HasCellButton(col_) && IsRealRow(row_)) PressButton();
            return true;
        }
        if (row_ < n - 1) MoveTo(row_ + 1, col_);
        return true;
    case Qt::Key_Up:
        if (n > 0 && row_ > 0) MoveTo(std::min(row_, n) - 1, col_);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (n == 0) return true;
        const int rowHeight = std::max(1, view_->verticalHeader()->defaultSectionSize());
        const int page = std::max(1, view_->viewport()->height() / rowHeight - 1);
        const int target = qtKey == Qt::Key_PageUp ? std::max(0, std::min(row_, n) - page)
                                                   : std::min(n - 1, std::max(row_, 0) + page);
        MoveTo(target, col_);
        return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool left = qtKey == Qt::Key_Left;
        if (fromEditor && !editor_->hasSelectedText() &&
            (left ? editor_->cursorPosition() > 0 : editor_->cursorPosition() < editor_->text().size()))
            return false;  // the caret moves inside the text
        if (!IsRealRow(row_)) return true;
        const int next = NextEnterable(col_, left ? -1 : 1);
        if (next >= 0) MoveTo(row_, next);
        return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End: {
        if (fromEditor) return false;
        const bool home = qtKey == Qt::Key_Home;
        if (ctrl) {
            if (n > 0) MoveTo(home ? 0 : n - 1, col_);
        } else if (IsRealRow(row_)) {
            const int c = home ? NextEnterable(-1, 1) : NextEnterable(ColumnCount(), -1);
            if (c >= 0) MoveTo(row_, c);
        }
        return true;
    }
    case Qt::Key_Space:
        if (!fromEditor && Columns(col_).CheckBox()) {
            ToggleCheck();
            return true;
        }
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (fromEditor) return false;
        if (CanEdit(col_) && !Columns(col_).CheckBox()) OpenEditor(QString(), true);
        return true;
    default: break;
    }
    if (printable) {
        if (fromEditor) {
            if (!replaced) return false;
            editor_->insert(typed);
            return true;
        }
        if (editorOpen_) editor_->insert(typed);  // the editor is open but the view has the key
        else if (CanEdit(col_) && !Columns(col_).CheckBox()) OpenEditor(typed, true);
        return true;
    }
    return editorGone;
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (composing_) return false;  // the input method's key
        const bool ends = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
        if (compositionEnded_ && ends) {
            compositionEnded_ = false;
            return true;
        }
        return HandleKey(key, true);
    }
    if (event->type() == QEvent::InputMethod) {
        auto* ime = static_cast<QInputMethodEvent*>(event);
        if (!ime->preeditString().isEmpty()) {
            composing_ = true;
        } else if (composing_) {
            // Some input methods hand the key that ended the composition on as
            // well: it is theirs, not the grid's.
            composing_ = false;
            compositionEnded_ = true;
            QTimer::singleShot(0, this, [this] { compositionEnded_ = false; });
        }
    }
    return false;
}

void DataGrid::ViewMousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = view_->indexAt(pos);
    if (!index.isValid()) return;
    int col = index.column();
    const bool enterable = Enterable(col);
    const bool onButton = enterable && HasCellButton(col) && ButtonRect(view_->visualRect(index)).contains(pos);
    const bool wasCurrent = index.row() == row_ && col == col_;
    if (!enterable) col = col_;  // the row changes, the column stays
    if (!MoveTo(index.row(), col)) {
        SetFocus();
        return;
    }
    if (enterable && Columns(col).CheckBox()) {
        ToggleCheck();
    } else if (onButton) {
        PressButton();
    } else if (enterable && wasCurrent && !editorOpen_ && CanEdit(col)) {
        OpenEditor(CellEditText(CellValue(row_, col)), false);
    }
    SetFocus();
}

void DataGrid::ViewDoubleClick(QMouseEvent* event) {
    const QModelIndex index = view_->indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        const bool onCurrent = index.row() == row_ && (index.column() == col_ || !Enterable(index.column()));
        if (!onCurrent) ViewMousePress(event);  // a double click whose first click went elsewhere
        else if (index.column() == col_ && Columns(col_).CheckBox()) ToggleCheck();  // its second click
    }
    if (onDblClick) onDblClick();
}

void DataGrid::ViewInputMethod(QInputMethodEvent* event) {
    if (!editorOpen_ && CanEdit(col_) && !Columns(col_).CheckBox()) OpenEditor(QString(), false);
    if (editorOpen_) QCoreApplication::sendEvent(editor_, event);
    else event->ignore();
}

}  // namespace ui
