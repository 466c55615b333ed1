#pragma once
// A database file and what the screens do with it: statements in the Jet
// dialect executed directly, and updatable recordsets opened on a select.
// Every call on a closed or never-opened database fails softly: it returns
// failure and records an error, it never crashes.

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "platform/db/StoredForms.h"

struct sqlite3;
struct sqlite3_stmt;

namespace db {

struct Connection;
class Recordset;
struct WriteShape;
struct WriteShapes;

// What kind of failure the last failed call met, so that a screen can tell a
// damaged file from an ordinary refusal:
//   Corrupt       the file is damaged (SQLITE_CORRUPT)
//   NotADatabase  the file is not a database file, or is encrypted (SQLITE_NOTADB)
//   IoError       the disk or file system failed a read or a write (SQLITE_IOERR, SQLITE_CANTOPEN)
//   ReadOnly      the file or its folder cannot be written (SQLITE_READONLY, SQLITE_PERM)
//   Full          the disk is full (SQLITE_FULL)
//   Busy          another connection holds the file (SQLITE_BUSY, SQLITE_LOCKED)
//   Other         anything else: a statement refused, a missing table, a value that does not fit
enum class ErrorKind { None, Corrupt, NotADatabase, IoError, ReadOnly, Full, Busy, Other };

// One failure as the layer hands it on: its kind and SQLite's text (with the
// path, for an open). The statement is never part of it; it is in the log.
struct Failure {
    ErrorKind kind = ErrorKind::None;
    QString text;
    // Whether there is a failure at all.
    explicit operator bool() const { return kind != ErrorKind::None; }
};

// Why a failure of this kind happened, in Japanese for the user; empty for
// None and Other, whose text is the engine's own.
QString Reason(ErrorKind kind);

// The first of two failures that is one (of two steps, the one that failed).
inline Failure FirstOf(const Failure& a, const Failure& b) { return a ? a : b; }

class Database {
public:
    Database();
    ~Database();
    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file for reading and writing, shared with other
    // connections. A missing file is never created: the open fails, and
    // LastError() names the path and the reason.
    [[nodiscard]] bool Open(const QString& path);
    // Makes a new, empty database file and opens it. Fails when the file exists.
    [[nodiscard]] bool Create(const QString& path);
    bool IsOpen() const;
    QString Path() const;
    void Close();

    // Runs one statement of the Jet dialect; RecordsAffected() then tells how
    // many rows it changed.
    [[nodiscard]] bool Execute(const QString& jetSql);
    qint64 RecordsAffected() const;
    // Runs SQLite statements as they are (table definitions).
    [[nodiscard]] bool ExecuteNative(const QString& sqliteSql);

    // An updatable recordset over a select of the Jet dialect. On failure the
    // recordset is closed, and is both at BOF and at EOF.
    //
    // Rows are read as the caller moves onto them, in the select's order: a
    // walk that stops early reads no more, and a walk over many rows keeps
    // only a bounded window of them. RecordCount(), MoveLast() and every
    // write through the recordset read the rest first. A read that fails
    // part-way (a damaged page) ends the rows there; LastError() and
    // LastErrorKind() of the recordset then say why.
    Recordset OpenRecordset(const QString& jetSql);

    // Attaches the database file at `path` to this connection. Statements then
    // reach its tables through the external-database clause (" in '<path>'"),
    // inside a transaction too, and one transaction covers both files: its
    // commit is atomic across them. Attaching the connection's own file or a
    // file already attached does nothing. Fails inside a transaction.
    [[nodiscard]] bool Attach(const QString& path);
    // Detaches a file attached by Attach or by the external-database clause.
    // Fails inside a transaction; a file not attached is no failure.
    [[nodiscard]] bool Detach(const QString& path);

    // One transaction at a time; a file must be attached before it begins.
    // Screens hold one through db::Transaction. A rollback that succeeds
    // leaves LastError() as it was.
    [[nodiscard]] bool BeginTrans();
    [[nodiscard]] bool CommitTrans();
    [[nodiscard]] bool Rollback();
    bool InTransaction() const;

    // What went wrong in the last call that failed: SQLite's message (and the
    // path, for an open). The statement itself is in the log (murv.db), never here.
    QString LastError() const;
    // The kind of the last failure; None after a call that succeeded.
    ErrorKind LastErrorKind() const { return errorKind_; }
    // The last failure, as one value; none after a call that succeeded.
    Failure LastFailure() const { return {errorKind_, error_}; }

    // Writes a consistent copy of the open database (as last committed on
    // this connection) as a new file at path, through SQLite's online
    // backup. Fails when path exists; a failed copy leaves no file.
    [[nodiscard]] bool SnapshotTo(const QString& path);

    // The declared types of a table's fields, in order (empty when unknown).
    std::vector<std::pair<QString, FieldType>> TableFields(const QString& table);

private:
    // Records a failed statement: LastError() gets SQLite's message, the log
    // both. Returns false.
    bool Fail(const QString& statement, const QString& message, int sqliteCode = 0);
    void Succeed();
    bool Native(const QString& sqliteSql, bool mayChangeTables);

    std::shared_ptr<Connection> conn_;
    qint64 affected_ = 0;
    QString error_;
    ErrorKind errorKind_ = ErrorKind::None;
};

class Recordset {
public:
    // A proxy for one field of the current record: read with Value(), write
    // (between Edit/AddNew and Update) by assignment.
    class FieldRef {
    public:
        FieldRef(Recordset* rs, int index) : rs_(rs), index_(index) {}
        QVariant Value() const { return rs_->Value(index_); }
        operator QVariant() const { return Value(); }
        FieldRef& operator=(const QVariant& v) {
            // An assignment cannot answer: a refused value stays in
            // LastError(), and a writer that must know calls SetValue.
            (void)rs_->SetValue(index_, v);
            return *this;
        }
        QString Name() const { return rs_->FieldName(index_); }

    private:
        Recordset* rs_;
        int index_;
    };

    // What the recordset knows of a field.
    struct Field {
        QString name;
        QString origin;  // the table's column, empty for computed columns
        FieldType type = FieldType::Unknown;
        int size = 0;  // the characters a text field holds; 0: no limit
    };

    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool IsOpen() const { return open_; }
    bool IsBOF() const;
    bool IsEOF() const;
    // The number of rows; reads them all.
    qsizetype RecordCount();
    // Reads every row now, so that no statement stays open on the file.
    void ReadAll();
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // The position of the current record: 0 for the first, -1 before the
    // first, RecordCount() past the last. Setting it clamps to that range.
    qsizetype AbsolutePosition() const { return pos_; }
    void SetAbsolutePosition(qsizetype position);

    [[nodiscard]] bool AddNew();
    [[nodiscard]] bool Edit();
    [[nodiscard]] bool Update();
    void CancelUpdate();
    void Close();

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    QString FieldName(int index) const;
    // Case-insensitive; -1 when the recordset has no such field.
    int FieldIndex(const QString& name) const;
    FieldType FieldTypeOf(int index) const;

    FieldRef Fields(const QString& name) { return FieldRef(this, FieldIndex(name)); }
    FieldRef Fields(int index) { return FieldRef(this, index); }
    QVariant Value(const QString& name) const { return Value(FieldIndex(name)); }
    QVariant Value(int index) const;
    [[nodiscard]] bool SetValue(const QString& name, const QVariant& value) {
        return SetValue(FieldIndex(name), value);
    }
    [[nodiscard]] bool SetValue(int index, const QVariant& value);

    // The rowid of the current record in its table, or -1.
    qint64 RowId() const;
    // A field of the row at `position` (0 for the first), without moving onto
    // it; Null outside the rows. For rows that ReadAll() has read.
    QVariant ValueAt(qsizetype position, int index) const;
    qint64 RowIdAt(qsizetype position) const;

    QString LastError() const { return error_; }
    ErrorKind LastErrorKind() const { return errorKind_; }
    Failure LastFailure() const { return {errorKind_, error_}; }

private:
    friend class Database;
    friend struct Connection;
    friend struct Reader;
    // A row in memory. Its fields are read from the select one by one, as
    // they are asked for; a value written through the recordset is kept in
    // its stored form until it is read. With more than 64 fields a row is
    // read whole and values are kept as read. A row added through the
    // recordset keeps only its rowid until a field of it is read.
    struct Row {
        qint64 rowid = -1;
        std::vector<QVariant> values;  // empty while no field of the row has been read
        quint64 read = 0;              // the fields in values
        quint64 stored = 0;            // of those, the ones still in their stored form
        bool added = false;            // added through the recordset: read from its table when asked
    };
    enum class Mode { None, Edit, AddNew };

    bool Fail(const QString& message, ErrorKind kind = ErrorKind::Other);
    bool FailStatement(const QString& sql, int sqliteCode);
    // Reads rows until `position` is read (or the rows end). Returns whether it is.
    bool ReadTo(qsizetype position) const;
    // Whether there is a row at `position`, reading it again when it fell behind the window.
    bool Has(qsizetype position) const;
    // Every field of the row is in memory.
    bool Whole(const Row& row) const;
    quint64 AllFields() const { return fields_.size() >= 64 ? ~quint64(0) : (quint64(1) << fields_.size()) - 1; }
    // Whether the row at `position` is there with the field `index` read,
    // reading the rows again when the select has passed it.
    bool ReadField(qsizetype position, int index) const;
    WriteShape& WriteFor(Mode mode);
    struct Pending;
    void Keep(Row* row, Pending& written) const;
    // An added row read whole from its table, the first time a field of it is read.
    void ReadAdded(Row* row) const;

    std::shared_ptr<Connection> conn_;
    std::shared_ptr<struct Reader> reader_;  // the pending select, while rows are left to read
    bool open_ = false;
    QString table_;  // the one table behind the select, when it is updatable
    // The fields of the select, shared by every recordset opened on it.
    class FieldList {
    public:
        FieldList& operator=(std::shared_ptr<const std::vector<Field>> list) {
            list_ = std::move(list);
            return *this;
        }
        const Field& operator[](size_t i) const { return (*list_)[i]; }
        size_t size() const { return list_ ? list_->size() : 0; }
        bool empty() const { return size() == 0; }
        void clear() { list_.reset(); }
        const Field* begin() const { return list_ ? list_->data() : nullptr; }
        const Field* end() const { return list_ ? list_->data() + list_->size() : nullptr; }

    private:
        std::shared_ptr<const std::vector<Field>> list_;
    };
    FieldList fields_;
    std::shared_ptr<const struct FieldNames> names_;  // name -> index, as written and case-folded
    mutable std::vector<Row> rows_;                   // rows [base_, base_ + rows_.size())
    mutable qsizetype base_ = 0;
    mutable bool complete_ = true;  // every row is read: rows_ holds them all
    qsizetype pos_ = 0;
    Mode mode_ = Mode::None;
    struct Pending {
        int index = -1;
        QVariant stored;  // as it is written
    };
    std::vector<Pending> pending_;
    std::shared_ptr<WriteShapes> writes_;  // shared by the recordsets of one select
    mutable QString error_;
    mutable ErrorKind errorKind_ = ErrorKind::None;
};

}  // namespace db
