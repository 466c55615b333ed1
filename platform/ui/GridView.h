#pragma once
// The widgets inside a DataGrid: the table view, the row selectors and the
// cell painter. Internal to the grid; every input they get goes to the grid,
// which moves the cursor and opens its editor.

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

namespace ui {

class DataGrid;

// A table view that never edits or selects by itself: keys, clicks and input
// method events go to the grid.
class GridView : public QTableView {
public:
    explicit GridView(DataGrid* grid);

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    bool edit(const QModelIndex&, EditTrigger, QEvent*) override { return false; }
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    DataGrid* grid_;
    QEvent* fromEditor_ = nullptr;
};

// The row selectors: a marker on the current row, painted rather than asked of
// the model, so that moving the cursor never makes the header measure its rows.
class GridRowHeader : public QHeaderView {
public:
    explicit GridRowHeader(DataGrid* grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int) const override { return QSize(width(), defaultSectionSize()); }

private:
    DataGrid* grid_;
};

// Paints check boxes centred and the button of the current cell.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DataGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    DataGrid* grid_;
};

}  // namespace ui
