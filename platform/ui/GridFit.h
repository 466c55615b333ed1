#pragma once
// Columns that fit their content, for list grids whose names and readings
// vary in length (the lookup windows):
//
//   ui::GridFit fit(&Grid参照);   // every column, from now on
//
// After every refresh of the grid's data control and every change of the
// grid's size, each fitted column gets the width its caption and its
// longest cell need. When they do not all fit into the grid, the narrower
// columns keep what they need and the wider ones share the rest equally;
// when there is room to spare, the last column takes it. A cell whose text
// is cut shows the whole text as its tooltip.
//
// A grid drop-down list is sized likewise, each time its data control is
// refreshed, and a cut cell of the open list shows its whole text as its
// tooltip too:
//
//   ui::FitDropDownToContent(DD科目参照, &Grid科目);   // the grid's font

#include <QObject>
#include <QPointer>
#include <vector>

class QAbstractItemView;

namespace ui {

class DataGrid;
class GridDropDown;

class GridFit : public QObject {
public:
    explicit GridFit(DataGrid* grid);

    // Fits the columns now.
    void Fit();

    // Widths (pixels) for columns that need `needs` within `room`.
    static std::vector<int> ShareOut(const std::vector<int>& needs, int room);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<DataGrid> grid_;
    // What the filter watches, only compared: while the grid is destroyed,
    // its events come from a half-destroyed grid and view.
    const QObject* gridObject_;
    const QObject* viewport_;
    bool fitting_ = false;
};

// From now on a cell of the view whose text is cut shows the whole text as
// its tooltip (the mouse resting over it); other cells show none.
void ShowCutCellsAsTooltips(QAbstractItemView* view);

// The columns of the list get the width of their longest text, each at
// most half the screen, from now on after every refresh of its data control.
void FitDropDownToContent(GridDropDown& list, QWidget* fontOf);

}  // namespace ui
