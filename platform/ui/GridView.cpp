// The widgets inside a DataGrid: the view hands its input to the grid, the
// row header marks the current row, the delegate paints the cells.
#include "platform/ui/GridView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/Formats.h"
#include "platform/ui/Grid.h"

namespace ui {

// ---------------------------------------------------------------- the inner view

GridView::GridView(DataGrid* grid) : QTableView(grid), grid_(grid) {}

bool GridView::event(QEvent* e) {
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

bool GridView::viewportEvent(QEvent* e) {
    // Keys reach the viewport only on their way up from the cell editor.
    if (e->type() == QEvent::KeyPress) fromEditor_ = e;
    return QTableView::viewportEvent(e);
}

void GridView::mousePressEvent(QMouseEvent* e) { grid_->ViewMousePress(e); }
void GridView::mouseMoveEvent(QMouseEvent* e) { e->accept(); }
void GridView::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }
void GridView::mouseDoubleClickEvent(QMouseEvent* e) { grid_->ViewDoubleClick(e); }
void GridView::inputMethodEvent(QInputMethodEvent* e) { grid_->ViewInputMethod(e); }

void GridView::focusInEvent(QFocusEvent* e) {
    // Not QAbstractItemView's: it would make the first cell current on its own.
    QWidget::focusInEvent(e);
    viewport()->update();
}

void GridView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    grid_->PlaceEditor();
}

void GridView::updateGeometries() {
    QTableView::updateGeometries();
    grid_->PlaceEditor();
}

// ---------------------------------------------------------------- the row selectors

GridRowHeader::GridRowHeader(DataGrid* grid) : QHeaderView(Qt::Vertical), grid_(grid) {}

void GridRowHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (logicalIndex == grid_->Row()) painter->drawText(rect, Qt::AlignCenter, QStringLiteral("\u25B8"));
}

// ---------------------------------------------------------------- the cells

GridDelegate::GridDelegate(DataGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
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
        // A number wider than its cell is drawn smaller, never cut.
        const int type = grid_->CellValue(index.row(), index.column()).typeId();
        if (type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int) {
            const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
            const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
            opt.font = FittedFont(opt.font, opt.text, room.width() - 2 * margin);
            opt.fontMetrics = QFontMetrics(opt.font);
        }
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

}  // namespace ui
