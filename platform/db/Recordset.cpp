#include <sqlite3.h>

#include <algorithm>
#include <limits>

#include "platform/db/Connection.h"
#include "platform/db/Database.h"
#include "platform/db/Log.h"
#include "platform/db/Reader.h"
#include "platform/db/Statement.h"

namespace db {

namespace {

// Rows kept in memory behind the current one in a long forward walk.
constexpr qsizetype kWindow = 4096;

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&& other) noexcept { *this = std::move(other); }
Recordset& Recordset::operator=(Recordset&& other) noexcept {
    if (this == &other) return *this;
    reader_ = std::move(other.reader_);
    conn_ = std::move(other.conn_);
    open_ = other.open_;
    table_ = std::move(other.table_);
    fields_ = std::move(other.fields_);
    names_ = std::move(other.names_);
    rows_ = std::move(other.rows_);
    base_ = other.base_;
    complete_ = other.complete_;
    pos_ = other.pos_;
    mode_ = other.mode_;
    pending_ = std::move(other.pending_);
    writes_ = std::move(other.writes_);
    error_ = std::move(other.error_);
    errorKind_ = other.errorKind_;
    if (reader_) reader_->owner = this;
    other.open_ = false;
    other.complete_ = true;
    other.rows_.clear();
    other.base_ = 0;
    other.pos_ = 0;
    return *this;
}

bool Recordset::Fail(const QString& message, ErrorKind kind) {
    error_ = message;
    errorKind_ = kind;
    return false;
}

bool Recordset::FailStatement(const QString& sql, int sqliteCode) {
    const QString message = conn_ && conn_->handle ? conn_->Message() : QStringLiteral("database is not open");
    LogFailure(sql, message);
    return Fail(message, KindOf(sqliteCode));
}

// Rows are read in order; in a long walk only the last kWindow rows stay, and
// a row's values are read only when it is used (or, when every row is kept,
// as it is read).
bool Recordset::ReadTo(qsizetype position) const {
    while (!complete_ && base_ + static_cast<qsizetype>(rows_.size()) <= position) {
        Reader* r = reader_.get();
        if (!r || !r->Step()) {
            complete_ = true;
            if (r && !r->keepAll) {
                // Nothing is left to read, but rows behind the window are gone:
                // the reader stays, to read them again if asked.
                if (base_ == 0 && std::all_of(rows_.begin(), rows_.end(), [this](const Row& w) { return Whole(w); }))
                    const_cast<Recordset*>(this)->reader_.reset();
            } else {
                const_cast<Recordset*>(this)->reader_.reset();
            }
            break;
        }
        Row row;
        if (r->withRowId) {
            // A rowid is never Null in a table; 0 is looked at again.
            row.rowid = sqlite3_column_int64(r->stmt, 0);
            if (row.rowid == 0 && sqlite3_column_type(r->stmt, 0) == SQLITE_NULL) row.rowid = -1;
        }
        if (r->keepAll) r->Capture(&row);
        rows_.push_back(std::move(row));
        if (!r->keepAll && static_cast<qsizetype>(rows_.size()) > 2 * kWindow) {
            rows_.erase(rows_.begin(), rows_.begin() + kWindow);
            base_ += kWindow;
        }
    }
    return position >= base_ && position < base_ + static_cast<qsizetype>(rows_.size());
}

bool Recordset::Has(qsizetype position) const {
    if (position < 0) return false;
    if (ReadTo(position)) return true;
    if (position >= base_ || !reader_ || !reader_->Rewind()) return false;
    // Behind the window: read again from the start.
    rows_.clear();
    base_ = 0;
    complete_ = false;
    return ReadTo(position);
}

bool Recordset::Whole(const Row& row) const {
    return fields_.empty() || (!row.values.empty() && (row.read & AllFields()) == AllFields());
}

bool Recordset::ReadField(qsizetype position, int index) const {
    if (!Has(position)) return false;
    if (rows_[position - base_].added) ReadAdded(&rows_[position - base_]);
    if (index < 64 && (rows_[position - base_].read & (quint64(1) << index))) return true;
    if (index >= 64 && Whole(rows_[position - base_])) return true;
    Reader* r = reader_.get();
    if (!r) return false;
    const qsizetype current = r->stepped - 1;
    if (position != current || r->done) {
        // A row passed over without this field read: read the rows again up to it.
        if (!r->Rewind()) return false;
        rows_.clear();
        base_ = 0;
        complete_ = false;
        if (!ReadTo(position)) return false;
    }
    r->Capture(&rows_[position - base_], index);
    return true;
}

void Recordset::ReadAll() {
    if (complete_ && !reader_) return;
    Reader* r = reader_.get();
    if (!r) {
        complete_ = true;
        return;
    }
    // The current row, when the walk stands on it, is read now.
    if (!r->done && !rows_.empty() && !Whole(rows_.back()) &&
        r->stepped == base_ + static_cast<qsizetype>(rows_.size()))
        r->Capture(&rows_.back());
    const bool whole = base_ == 0 && std::all_of(rows_.begin(), rows_.end(), [this](const Row& w) { return Whole(w); });
    if (whole && r->done) {
        reader_.reset();
        complete_ = true;
        return;
    }
    if (!whole) {
        // Rows passed over or dropped: read them all again, in order.
        if (!r->Rewind()) {
            reader_.reset();
            complete_ = true;
            return;
        }
        rows_.clear();
        base_ = 0;
    }
    r->keepAll = true;
    complete_ = false;
    ReadTo(std::numeric_limits<qsizetype>::max() - 1);
    reader_.reset();
    complete_ = true;
}

qsizetype Recordset::RecordCount() {
    ReadAll();
    return base_ + static_cast<qsizetype>(rows_.size());
}

bool Recordset::IsBOF() const {
    if (pos_ < 0) return true;
    ReadTo(0);
    return base_ + static_cast<qsizetype>(rows_.size()) == 0;
}

bool Recordset::IsEOF() const {
    if (pos_ < 0) return !ReadTo(0) && base_ + static_cast<qsizetype>(rows_.size()) == 0;
    return !Has(pos_);
}

void Recordset::MoveFirst() {
    CancelUpdate();
    pos_ = 0;
}

void Recordset::MoveLast() {
    CancelUpdate();
    ReadTo(std::numeric_limits<qsizetype>::max() - 1);
    const qsizetype count = base_ + static_cast<qsizetype>(rows_.size());
    pos_ = count == 0 ? 0 : count - 1;
}

void Recordset::MoveNext() {
    CancelUpdate();
    if (pos_ < 0 || Has(pos_)) ++pos_;
    ReadTo(pos_);
}

void Recordset::MovePrevious() {
    CancelUpdate();
    if (pos_ >= 0) --pos_;
}

void Recordset::SetAbsolutePosition(qsizetype position) {
    CancelUpdate();
    if (position < 0) {
        pos_ = -1;
        return;
    }
    ReadTo(position);
    pos_ = std::min(position, base_ + static_cast<qsizetype>(rows_.size()));
}

QString Recordset::FieldName(int index) const {
    return index >= 0 && index < FieldCount() ? fields_[index].name : QString();
}

int Recordset::FieldIndex(const QString& name) const {
    if (!names_) return -1;
    // Most callers write the name as the field has it.
    if (const auto it = names_->exact.constFind(name); it != names_->exact.constEnd()) return *it;
    return names_->folded.value(name.toCaseFolded(), -1);
}

FieldType Recordset::FieldTypeOf(int index) const {
    return index >= 0 && index < FieldCount() ? fields_[index].type : FieldType::Unknown;
}

qint64 Recordset::RowId() const { return RowIdAt(pos_); }

qint64 Recordset::RowIdAt(qsizetype position) const {
    if (!Has(position)) return -1;
    return rows_[position - base_].rowid;
}

QVariant Recordset::ValueAt(qsizetype position, int index) const {
    if (index < 0 || index >= FieldCount() || !ReadField(position, index)) return QVariant();
    Row& row = rows_[position - base_];
    if (index < 64 && (row.stored & (quint64(1) << index))) {
        // A value written through the recordset, shown as it reads back.
        row.values[index] = FromStored(fields_[index].type, row.values[index]);
        row.stored &= ~(quint64(1) << index);
    }
    return row.values[index];
}

QVariant Recordset::Value(int index) const {
    if (index < 0 || index >= FieldCount()) return QVariant();
    if (mode_ != Mode::None) {
        for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
            if (it->index == index) return FromStored(fields_[index].type, it->stored);
        if (mode_ == Mode::AddNew) return fields_[index].type == FieldType::YesNo ? QVariant(false) : QVariant();
    }
    return ValueAt(pos_, index);
}

bool Recordset::SetValue(int index, const QVariant& value) {
    if (mode_ == Mode::None) return Fail(QStringLiteral("not in Edit or AddNew"));
    if (index < 0 || index >= FieldCount()) return Fail(QStringLiteral("no such field"));
    if (fields_[index].origin.isEmpty())
        return Fail(QStringLiteral("the field %1 cannot be written").arg(fields_[index].name));
    const Field& field = fields_[index];
    const auto refused = [&] {
        return Fail(QStringLiteral("the value %1 does not fit the field %2").arg(value.toString(), field.name));
    };
    // A text longer than its field is refused whole: it is never cut.
    if (field.size > 0 && Holds<QMetaType::QString>(value)) {
        const qsizetype length = TextLength(value.toString());
        if (length > field.size)
            return Fail(QStringLiteral("a text of %1 characters is longer than the field %2 (%3 characters)")
                            .arg(length)
                            .arg(field.name)
                            .arg(field.size));
    }
    for (auto& p : pending_) {
        if (p.index == index) {
            QVariant stored;
            if (!ToStored(field.type, value, &stored)) return refused();
            p.stored = std::move(stored);
            return true;
        }
    }
    // A field set once: its stored form is made in its place.
    pending_.push_back({index, QVariant()});
    if (!ToStored(field.type, value, &pending_.back().stored)) {
        pending_.pop_back();
        return refused();
    }
    return true;
}

bool Recordset::AddNew() {
    if (!open_ || !conn_ || !conn_->handle) return Fail(QStringLiteral("recordset is not open"));
    if (table_.isEmpty()) return Fail(QStringLiteral("recordset cannot be updated"));
    pending_.clear();
    pending_.reserve(fields_.size());  // once: most writes set several fields
    mode_ = Mode::AddNew;
    return true;
}

bool Recordset::Edit() {
    if (!open_ || !conn_ || !conn_->handle) return Fail(QStringLiteral("recordset is not open"));
    if (table_.isEmpty()) return Fail(QStringLiteral("recordset cannot be updated"));
    if (RowId() < 0) return Fail(QStringLiteral("no current record"));
    pending_.clear();
    pending_.reserve(fields_.size());
    mode_ = Mode::Edit;
    return true;
}

void Recordset::CancelUpdate() {
    mode_ = Mode::None;
    pending_.clear();
}

// The write of the pending fields, made once for each set of fields.
WriteShape& Recordset::WriteFor(Mode mode) {
    if (!writes_) writes_ = std::make_shared<WriteShapes>();
    std::vector<WriteShape>& shapes = mode == Mode::AddNew ? writes_->inserts : writes_->updates;
    for (WriteShape& s : shapes) {
        if (s.fields.size() != pending_.size()) continue;
        bool same = true;
        for (size_t i = 0; same && i < pending_.size(); ++i) same = s.fields[i] == pending_[i].index;
        if (same) return s;
    }
    WriteShape shape;
    QStringList columns;
    for (const auto& p : pending_) {
        shape.fields.push_back(p.index);
        columns << QuoteIdent(fields_[p.index].origin);
    }
    if (mode == Mode::AddNew) {
        if (columns.isEmpty()) {
            shape.sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table_);
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
            shape.sql =
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, columns.join(u','), marks.join(u','));
        }
    } else {
        QStringList sets;
        for (const auto& c : columns) sets << c + QStringLiteral("=?");
        shape.sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table_, sets.join(u','));
    }
    shapes.push_back(std::move(shape));
    return shapes.back();
}

// The values written, kept in the row in their stored form until they are read.
void Recordset::Keep(Row* row, Pending& written) const {
    if (written.index < 64) {
        row->values[written.index] = std::move(written.stored);
        row->stored |= quint64(1) << written.index;
    } else {
        row->values[written.index] = FromStored(fields_[written.index].type, written.stored);
    }
}

// An added row is read back as its table holds it; a row that is gone shows
// Null, False for a yes/no field, and a read that fails is in LastFailure().
void Recordset::ReadAdded(Row* row) const {
    row->added = false;
    row->values.assign(fields_.size(), QVariant());
    row->stored = 0;
    for (int f = 0; f < FieldCount(); ++f)
        if (fields_[f].type == FieldType::YesNo) row->values[f] = false;
    if (!conn_ || !conn_->handle || !writes_) return;
    if (writes_->readAdded.isEmpty()) {
        QStringList columns;
        for (const Field& f : fields_) columns << (f.origin.isEmpty() ? QStringLiteral("NULL") : QuoteIdent(f.origin));
        writes_->readAdded = QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(columns.join(u','), table_);
    }
    QString err;
    sqlite3_stmt* stmt = conn_->Write(writes_->readAdded, &err);
    if (!stmt) {
        error_ = err;
        errorKind_ = KindOf(conn_->lastCode);
        LogFailure(writes_->readAdded, err);
        return;
    }
    sqlite3_bind_int64(stmt, 1, row->rowid);
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        // A read that fails is said, as any failed read of the recordset is.
        error_ = conn_->Message();
        errorKind_ = KindOf(rc);
        LogFailure(writes_->readAdded, error_);
    }
    if (rc == SQLITE_ROW) {
        for (int f = 0; f < FieldCount(); ++f) {
            if (fields_[f].origin.isEmpty()) continue;
            if (f < 64) {
                row->values[f] = ColumnValue(stmt, f);
                row->stored |= quint64(1) << f;
            } else {
                row->values[f] = FromStored(fields_[f].type, ColumnValue(stmt, f));
            }
        }
    }
    sqlite3_reset(stmt);
}

bool Recordset::Update() {
    if (mode_ == Mode::None) return Fail(QStringLiteral("Update without Edit or AddNew"));
    if (!conn_ || !conn_->handle) {
        CancelUpdate();
        return Fail(QStringLiteral("database is not open"));
    }
    if (mode_ == Mode::Edit && pending_.empty()) {
        CancelUpdate();
        return true;
    }
    // The rows read so far stay as they were read; writing under a pending
    // select would let it meet the rows it writes.
    const qint64 editedRow = mode_ == Mode::Edit ? RowId() : -1;
    ReadAll();
    conn_->BeforeWrite();
    WriteShape& shape = WriteFor(mode_);
    const QString& sql = shape.sql;
    QString err;
    sqlite3_stmt* stmt = shape.stmt;
    if (stmt) {
        sqlite3_reset(stmt);
    } else {
        stmt = shape.stmt = conn_->Write(sql, &err);
    }
    if (!stmt) {
        const int code = conn_->lastCode;
        CancelUpdate();
        LogFailure(sql, err);
        return Fail(err, KindOf(code));
    }
    int i = 1;
    for (const auto& p : pending_) Bind(stmt, i++, p.stored);
    if (mode_ == Mode::Edit) sqlite3_bind_int64(stmt, i, editedRow);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        CancelUpdate();
        return FailStatement(sql, rc);
    }
    if (mode_ == Mode::Edit && sqlite3_changes(conn_->handle) == 0) {
        // The row was deleted underneath (by another connection, or another
        // copy of the program): nothing was written, and saying so is the
        // only way the caller learns it.
        CancelUpdate();
        const QString message = QStringLiteral("the record no longer exists (rowid %1)").arg(editedRow);
        LogFailure(sql, message);
        return Fail(message);
    }
    if (mode_ == Mode::AddNew) {
        const bool wasEOF = IsEOF();
        // Most added rows are never read back: the row keeps its rowid, and
        // is read from the table the first time a field of it is read.
        Row row;
        row.rowid = sqlite3_last_insert_rowid(conn_->handle);
        row.read = AllFields();
        row.added = true;
        rows_.push_back(std::move(row));
        if (wasEOF) pos_ = base_ + static_cast<qsizetype>(rows_.size());
    } else {
        Row& row = rows_[pos_ - base_];
        if (row.added) ReadAdded(&row);
        for (auto& p : pending_) Keep(&row, p);
    }
    CancelUpdate();
    Fail(QString(), ErrorKind::None);
    return true;
}

void Recordset::Close() {
    CancelUpdate();
    reader_.reset();
    rows_.clear();
    base_ = 0;
    complete_ = true;
    fields_.clear();
    names_.reset();
    writes_.reset();
    conn_.reset();
    open_ = false;
    table_.clear();
    pos_ = 0;
}

}  // namespace db
