#pragma once
// A bound data control: a database file and a record source, whose rows a
// grid or a grid's drop-down list shows.
//
//   ui::DataControl dat入力明細;
//   dat入力明細.SetDatabaseName(ModMurv::WorkFilePath);
//   dat入力明細.SetRecordSource("w取引明細");
//   dat入力明細.Refresh();
//
// Refresh reads every row once and keeps it in memory (in the recordset), in the table's order
// (work tables have no key; each row keeps its rowid). What others write to the
// table afterwards is seen only at the next Refresh. A value written through
// SetValue goes to the table at once, with the database layer's conversion to
// the field's type, and the kept row takes the stored value.
//
// The control opens its own connection to the file. Its writes are single
// cells of work tables, scratch rows that every screen rebuilds, so that
// connection does not wait for the disk to confirm each one (SQLite's
// synchronous = OFF): a crash of the program loses nothing, a crash of the
// machine may lose or damage the work file. The data file is never bound to
// a data control. Waiting would cost a disk flush, up to a millisecond and
// more, on every cell the user leaves.

#include <QObject>
#include <QString>
#include <QVariant>
#include <vector>

#include "platform/db/Database.h"

namespace ui {

class DataControl : public QObject {
    Q_OBJECT

public:
    explicit DataControl(QObject* parent = nullptr);
    ~DataControl() override;

    // The database file; a change takes effect at the next Refresh.
    QString DatabaseName() const { return path_; }
    void SetDatabaseName(const QString& path) { path_ = path; }
    // A table name ("w取引明細") or a select statement of the Jet dialect.
    QString RecordSource() const { return source_; }
    void SetRecordSource(const QString& source) { source_ = source; }

    // Reads the rows again. On failure (no such file or table) the control
    // holds no rows and no fields, LastError says why, and false is returned.
    [[nodiscard]] bool Refresh();
    QString LastError() const { return failure_.text; }
    db::Failure LastFailure() const { return failure_; }

    int RowCount() const { return rowCount_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    QString FieldName(int field) const;
    // Case-insensitive; -1 when there is no such field.
    int FieldIndex(const QString& name) const;
    db::FieldType FieldTypeOf(int field) const;

    // The value read at the last Refresh or written since; Null outside the rows.
    QVariant Value(int row, int field) const;
    qint64 RowId(int row) const;

    // Writes one field of one row to the table at once. Empty text is stored
    // as Null. Fails (false, LastError) when the row or field does not exist,
    // the record source cannot be updated, or the value does not fit the field.
    [[nodiscard]] bool SetValue(int row, int field, const QVariant& value);

signals:
    void aboutToRefresh();
    void refreshed();
    // After refreshed(), when the rows could not be read (whole or in part).
    void refreshFailed(const db::Failure& failure);
    void valueWritten(int row, int field);

private:
    bool Fail(const QString& message);

    QString path_;
    QString source_;
    db::Failure failure_;
    db::Database db_;
    db::Recordset rs_;  // the rows, and their writer
    int rowCount_ = 0;
    std::vector<QString> fields_;
    std::vector<db::FieldType> types_;
};

}  // namespace ui
