#pragma once
// The table model behind a DataGrid: the data control's kept rows under the
// grid's columns, with the pending edit shown in its cell. Internal to the grid.

#include <QAbstractTableModel>

namespace ui {

class DataGrid;

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(DataGrid* grid);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void CellChanged(int row, int col);
    void ColumnChanged(int col);

private:
    DataGrid* grid_;
};

}  // namespace ui
