#include "platform/ui/GridModel.h"

#include <QFont>

#include "platform/ui/Grid.h"
#include "platform/ui/GridFormat.h"

namespace ui {

GridModel::GridModel(DataGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_->RowCount(); }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_->ColumnCount(); }

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    const int row = index.row();
    const int col = index.column();
    const GridColumn& column = grid_->Columns(col);
    const bool pending = grid_->pending_.active && grid_->pending_.row == row && grid_->pending_.col == col;
    switch (role) {
    case Qt::DisplayRole:
        if (column.CheckBox()) return QVariant();
        if (pending) return CellEditText(grid_->PendingValue());
        return grid_->CellText(row, col);
    case Qt::CheckStateRole:
        if (!column.CheckBox()) return QVariant();
        return (pending ? grid_->PendingValue() : grid_->CellValue(row, col)).toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole: {
        Qt::Alignment h = Qt::AlignLeft;
        switch (column.Alignment()) {
        case ColumnAlignment::Left: h = Qt::AlignLeft; break;
        case ColumnAlignment::Center: h = Qt::AlignHCenter; break;
        case ColumnAlignment::Right: h = Qt::AlignRight; break;
        case ColumnAlignment::General: {
            const int type = grid_->CellValue(row, col).typeId();
            const bool number = type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int;
            h = number ? Qt::AlignRight : Qt::AlignLeft;
            break;
        }
        }
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    case Qt::ForegroundRole: return column.ForeColor();
    case Qt::BackgroundRole:
        // The current row stands out across the whole grid; its current cell
        // is drawn as the selection on top of it.
        if (row == grid_->Row()) return grid_->CurrentRowColor();
        return QVariant();
    case Qt::FontRole:
        if (column.FontSize() > 0) {
            QFont font = grid_->font();
            font.setPointSize(column.FontSize());
            return font;
        }
        return QVariant();
    default: return QVariant();
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    return orientation == Qt::Horizontal ? QVariant(grid_->Columns(section).Caption()) : QVariant();
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridModel::CellChanged(int row, int col) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i);
}

void GridModel::ColumnChanged(int col) {
    if (col < 0 || col >= columnCount()) return;
    if (rowCount() > 0) emit dataChanged(index(0, col), index(rowCount() - 1, col));
    emit headerDataChanged(Qt::Horizontal, col, col);
}

}  // namespace ui
