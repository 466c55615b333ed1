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

namespace db {

struct Connection;
class Recordset;

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
    bool Open(const QString& path);
    // Makes a new, empty database file and opens it. Fails when the file exists.
    bool Create(const QString& path);
    bool IsOpen() const;
    QString Path() const;
    void Close();

    // Runs one statement of the Jet dialect; RecordsAffected() then tells how
    // many rows it changed.
    bool Execute(const QString& jetSql);
    qint64 RecordsAffected() const;
    // Runs SQLite statements as they are (table definitions).
    bool ExecuteNative(const QString& sqliteSql);

    // An updatable recordset over a select of the Jet dialect. On failure the
    // recordset is closed, and is both at BOF and at EOF.
    Recordset OpenRecordset(const QString& jetSql);

    // One transaction at a time; statements that attach another file must be
    // run before it begins.
    bool BeginTrans();
    bool CommitTrans();
    bool Rollback();
    bool InTransaction() const;

    QString LastError() const;

    // Writes a consistent copy of the open database (as last committed on
    // this connection) as a new file at path, through SQLite's online
    // backup. Fails when path exists; a failed copy leaves no file.
    bool SnapshotTo(const QString& path);

    // The declared types of a table's fields, in order (empty when unknown).
    std::vector<std::pair<QString, FieldType>> TableFields(const QString& table);

private:
    std::shared_ptr<Connection> conn_;
    qint64 affected_ = 0;
    QString error_;
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
            rs_->SetValue(index_, v);
            return *this;
        }
        QString Name() const { return rs_->FieldName(index_); }

    private:
        Recordset* rs_;
        int index_;
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
    qsizetype RecordCount() const { return static_cast<qsizetype>(rows_.size()); }
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // The position of the current record: 0 for the first, -1 before the
    // first, RecordCount() past the last. Setting it clamps to that range.
    qsizetype AbsolutePosition() const { return pos_; }
    void SetAbsolutePosition(qsizetype position);

    bool AddNew();
    bool Edit();
    bool Update();
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
    bool SetValue(const QString& name, const QVariant& value) { return SetValue(FieldIndex(name), value); }
    bool SetValue(int index, const QVariant& value);

    // The rowid of the current record in its table, or -1.
    qint64 RowId() const;
    QString LastError() const { return error_; }

private:
    friend class Database;
    struct Field {
        QString name;
        QString origin;  // the table's column, empty for computed columns
        FieldType type = FieldType::Unknown;
    };
    struct Row {
        qint64 rowid = -1;
        std::vector<QVariant> values;
    };
    enum class Mode { None, Edit, AddNew };

    bool Fail(const QString& message);

    std::shared_ptr<Connection> conn_;
    bool open_ = false;
    QString table_;  // the one table behind the select, when it is updatable
    std::vector<Field> fields_;
    std::vector<Row> rows_;
    qsizetype pos_ = 0;
    Mode mode_ = Mode::None;
    std::vector<std::pair<int, QVariant>> pending_;
    QString error_;
};

}  // namespace db
