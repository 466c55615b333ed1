#pragma once
// A drop-down list for a grid column, bound to its own data control: one or
// more columns, no header. It shows the rows its data control read at its
// last Refresh, even when the table has been rewritten since.
//
//   ui::GridDropDown DD科目参照;
//   DD科目参照.SetDataSource(&dat科目参照);
//   DD科目参照.SetListFields({"科目", "ふりがな"});   // the first goes into the cell
//   Grid科目.Columns(1).SetDropDown(&DD科目参照);
//
// When the user picks a row, the grid puts the value of DataField into the
// cell and raises its drop-down choice event; the handler reads the other
// fields of the picked row through ColumnValue.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/ui/DataControl.h"

namespace ui {

class DropDownPopup;

class GridDropDown : public QObject {
    Q_OBJECT

public:
    explicit GridDropDown(QObject* parent = nullptr);
    ~GridDropDown() override;

    DataControl* DataSource() const { return source_; }
    void SetDataSource(DataControl* source) { source_ = source; }
    // The fields shown, in order; empty shows every field of the data source.
    QStringList ListFields() const { return fields_; }
    void SetListFields(const QStringList& fields) { fields_ = fields; }
    // Width of a shown column in twips (0: shared out over the list's width).
    void SetColumnWidth(int column, int twips);
    // The field whose value a pick puts into the cell; empty: the first shown.
    QString DataField() const { return dataField_; }
    void SetDataField(const QString& field) { dataField_ = field; }

    int RowCount() const;
    // A shown column of a row of the list.
    QVariant Value(int row, int column) const;

    // The row picked last, or -1, and its fields (by shown column or by name).
    int SelectedRow() const { return selected_; }
    QVariant ColumnValue(int column) const { return Value(selected_, column); }
    QVariant ColumnValue(const QString& field) const;

    bool IsOpen() const { return popup_ != nullptr; }
    void Close();

private:
    friend class DataGrid;
    friend class DropDownPopup;
    // Shows the list under a cell (screen coordinates), on the row whose value
    // equals current; picked runs with the chosen row.
    void Open(QWidget* owner, const QRect& cellOnScreen, const QVariant& current, std::function<void(int row)> picked);
    QVariant PickedValue(int row) const;
    int FieldOf(int column) const;
    int ShownColumnCount() const;
    void Pick(int row);

    QPointer<DataControl> source_;
    QStringList fields_;
    std::vector<int> widths_;
    QString dataField_;
    int selected_ = -1;
    QPointer<QWidget> popup_;  // a DropDownPopup
    std::function<void(int)> picked_;
};

}  // namespace ui
