// A grid and its data control: the columns bound to its fields, the layout
// they give the view, and what a refresh or a written value does to the grid.
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <algorithm>

#include "platform/ui/Grid.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/GridView.h"
#include "platform/ui/Twips.h"

namespace ui {

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
    EndRebind();
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

// The fields are bound anew, the cursor goes to the first row (and to an
// enterable column), and the view shows the rows.
void DataGrid::EndRebind() {
    ResolveFields();
    row_ = 0;
    if (!Enterable(col_)) col_ = std::max(0, NextEnterable(-1, 1));
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
    EndRebind();
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

}  // namespace ui
