#include "platform/ui/DataControl.h"

#include "platform/db/Scratch.h"

namespace ui {

DataControl::DataControl(QObject* parent) : QObject(parent) {}
DataControl::~DataControl() = default;

bool DataControl::Fail(const QString& message) {
    failure_ = {db::ErrorKind::Other, message};
    return false;
}

bool DataControl::Refresh() {
    emit aboutToRefresh();
    failure_ = {};
    rs_.Close();
    rowCount_ = 0;
    fields_.clear();
    types_.clear();

    bool ok = true;
    if (!db_.IsOpen() || db_.Path() != path_) {
        db_.Close();
        ok = db::OpenScratch(db_, path_);  // see the header
        if (!ok) failure_ = db_.LastFailure();
    }
    if (ok) {
        const QString trimmed = source_.trimmed();
        const QString select = trimmed.startsWith(QStringLiteral("select"), Qt::CaseInsensitive)
                                   ? trimmed
                                   : QStringLiteral("select * from ") + trimmed;
        rs_ = db_.OpenRecordset(select);
        ok = rs_.IsOpen();
        if (!ok) failure_ = rs_.LastFailure();
    }
    if (ok) {
        const int fieldCount = rs_.FieldCount();
        for (int f = 0; f < fieldCount; ++f) {
            fields_.push_back(rs_.FieldName(f));
            types_.push_back(rs_.FieldTypeOf(f));
        }
        // Every row read now: no statement stays open on the file, and the
        // recordset's rows are the only copy.
        rs_.ReadAll();
        rowCount_ = static_cast<int>(rs_.RecordCount());
        // A read that broke off (a damaged page) is a failure, not a shorter
        // table.
        if (rs_.LastErrorKind() != db::ErrorKind::None) {
            ok = false;
            failure_ = rs_.LastFailure();
        }
    }
    emit refreshed();
    if (!ok) emit refreshFailed(failure_);
    return ok;
}

QString DataControl::FieldName(int field) const {
    return field >= 0 && field < FieldCount() ? fields_[static_cast<size_t>(field)] : QString();
}

int DataControl::FieldIndex(const QString& name) const { return rs_.FieldIndex(name); }

db::FieldType DataControl::FieldTypeOf(int field) const {
    return field >= 0 && field < FieldCount() ? types_[static_cast<size_t>(field)] : db::FieldType::Unknown;
}

QVariant DataControl::Value(int row, int field) const {
    if (row < 0 || row >= RowCount() || field < 0 || field >= FieldCount()) return QVariant();
    return rs_.ValueAt(row, field);
}

qint64 DataControl::RowId(int row) const { return row >= 0 && row < RowCount() ? rs_.RowIdAt(row) : -1; }

bool DataControl::SetValue(int row, int field, const QVariant& value) {
    if (row < 0 || row >= RowCount()) return Fail(QStringLiteral("no row %1").arg(row));
    if (field < 0 || field >= FieldCount()) return Fail(QStringLiteral("no field %1").arg(field));
    const bool emptyText = (value.typeId() == QMetaType::QString && value.toString().isEmpty());
    rs_.SetAbsolutePosition(row);
    if (!rs_.Edit() || !rs_.SetValue(field, emptyText ? QVariant() : value) || !rs_.Update()) {
        const db::Failure failure = rs_.LastFailure();
        rs_.CancelUpdate();
        failure_ = failure;
        return false;
    }
    failure_ = {};
    emit valueWritten(row, field);
    return true;
}

}  // namespace ui
