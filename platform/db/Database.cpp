#include "platform/db/Database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include "platform/db/Collation.h"
#include "platform/db/JetSql.h"

namespace db {

// Which file a path names right now: a file copied over the path is
// another file, even under the same name.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

static FileIdentity IdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

// Another file read through the external-database clause.
struct AttachedFile {
    QString alias;
    FileIdentity identity;
};

// One open SQLite connection, shared by a Database and the recordsets opened on it.
struct Connection {
    sqlite3* handle = nullptr;
    QString path;
    QString canonical;
    QHash<QString, AttachedFile> attached;  // canonical path -> the attached file
    int nextAlias = 1;
    bool inTransaction = false;
    QHash<QString, sqlite3_stmt*> statements;  // prepared writes of recordsets

    ~Connection() { Close(); }

    void Close() {
        for (auto* s : std::as_const(statements)) sqlite3_finalize(s);
        statements.clear();
        if (handle) sqlite3_close_v2(handle);
        handle = nullptr;
        attached.clear();
        inTransaction = false;
    }

    QString Message() const {
        return handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QStringLiteral("database is not open");
    }

    sqlite3_stmt* Prepare(const QString& sql, QString* error) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(handle, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr) !=
            SQLITE_OK) {
            *error = Message() + QStringLiteral(" [") + sql + u']';
            sqlite3_finalize(stmt);
            return nullptr;
        }
        return stmt;
    }

    // Runs a statement without results.
    bool Run(const QString& sql, QString* error) {
        sqlite3_stmt* stmt = Prepare(sql, error);
        if (!stmt) return false;
        const int rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            *error = Message() + QStringLiteral(" [") + sql + u']';
            return false;
        }
        return true;
    }

    // A cached statement, reset and cleared for new bindings.
    sqlite3_stmt* Cached(const QString& sql, QString* error) {
        if (auto* s = statements.value(sql)) {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
            return s;
        }
        sqlite3_stmt* s = Prepare(sql, error);
        if (s) statements.insert(sql, s);
        return s;
    }
};

namespace {

class ConnectionContext : public SqlContext {
public:
    explicit ConnectionContext(Connection* c) : c_(c) {}

    bool ExternalAlias(const QString& path, QString* alias, QString* error) override {
        const QFileInfo info(path);
        const QString canonical = info.canonicalFilePath();
        if (canonical.isEmpty() || !info.isFile()) {
            *error = QStringLiteral("database file not found: %1").arg(path);
            return false;
        }
        if (canonical == c_->canonical) {
            alias->clear();
            return true;
        }
        const FileIdentity identity = IdentityOf(canonical);
        QString name;
        if (auto it = c_->attached.constFind(canonical); it != c_->attached.constEnd()) {
            // Still the file that was attached, or a transaction that must go
            // on with it: the attached file serves.
            if (it->identity == identity || c_->inTransaction) {
                *alias = it->alias;
                return true;
            }
            // A file copied over the path since (a restored backup): read the
            // new file under the same name, so cached statements stay valid.
            name = it->alias;
            if (!c_->Run(QStringLiteral("DETACH DATABASE ") + name, error)) return false;
            c_->attached.remove(canonical);
        }
        if (c_->inTransaction) {
            *error = QStringLiteral("cannot attach %1 inside a transaction").arg(path);
            return false;
        }
        if (name.isEmpty()) name = QStringLiteral("ext%1").arg(c_->nextAlias++);
        const QString uri = QStringLiteral("file:") +
                            QString::fromLatin1(QUrl::toPercentEncoding(canonical, "/")) +
                            QStringLiteral("?mode=rw");
        sqlite3_stmt* stmt = c_->Prepare(QStringLiteral("ATTACH DATABASE ? AS ") + name, error);
        if (!stmt) return false;
        const QByteArray u = uri.toUtf8();
        sqlite3_bind_text(stmt, 1, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            *error = c_->Message();
            return false;
        }
        c_->attached.insert(canonical, AttachedFile{name, identity});
        *alias = name;
        return true;
    }

    bool SelectColumnNames(const QString& select, QStringList* names, QString* error) override {
        sqlite3_stmt* stmt = c_->Prepare(select, error);
        if (!stmt) return false;
        names->clear();
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            names->append(QString::fromUtf8(sqlite3_column_name(stmt, i)));
        sqlite3_finalize(stmt);
        return true;
    }

private:
    Connection* c_;
};

QVariant ColumnValue(sqlite3_stmt* stmt, int i) {
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER: return static_cast<qint64>(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT: return sqlite3_column_double(stmt, i);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                 sqlite3_column_bytes(stmt, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i));
    default: return QVariant();
    }
}

void Bind(sqlite3_stmt* stmt, int i, const QVariant& v) {
    if (v.isNull() || !v.isValid()) {
        sqlite3_bind_null(stmt, i);
    } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int ||
               v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::Bool) {
        sqlite3_bind_int64(stmt, i, v.toLongLong());
    } else if (v.typeId() == QMetaType::Double) {
        sqlite3_bind_double(stmt, i, v.toDouble());
    } else {
        const QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(stmt, i, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    }
}

constexpr const char* kRowIdColumn = "__murv_rowid__";

}  // namespace

// ---------------------------------------------------------------- Database

Database::Database() = default;
Database::~Database() { Close(); }
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        conn_ = std::move(other.conn_);
        affected_ = other.affected_;
        error_ = std::move(other.error_);
    }
    return *this;
}

namespace {

std::shared_ptr<Connection> OpenConnection(const QString& path, int flags, QString* error) {
    auto c = std::make_shared<Connection>();
    const QByteArray utf8 = path.toUtf8();
    const int rc = sqlite3_open_v2(utf8.constData(), &c->handle, flags | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        *error = QStringLiteral("%1: %2").arg(path, c->Message());
        return nullptr;
    }
    sqlite3_extended_result_codes(c->handle, 1);
    sqlite3_busy_timeout(c->handle, 5000);
    if (!RegisterJapaneseCollation(c->handle)) {
        *error = QStringLiteral("%1: the Japanese text order is not available").arg(path);
        return nullptr;
    }
    c->path = path;
    c->canonical = QFileInfo(path).canonicalFilePath();
    return c;
}

}  // namespace

bool Database::Open(const QString& path) {
    Close();
    error_.clear();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        error_ = QStringLiteral("%1: no such database file").arg(path);
        return false;
    }
    conn_ = OpenConnection(path, SQLITE_OPEN_READWRITE, &error_);
    if (conn_) {
        // Make sure it is a database: a file of another kind fails here, not later.
        sqlite3_stmt* stmt = conn_->Prepare(QStringLiteral("select count(*) from sqlite_master"), &error_);
        const bool ok = stmt && sqlite3_step(stmt) == SQLITE_ROW;
        if (!ok && stmt) error_ = QStringLiteral("%1: %2").arg(path, conn_->Message());
        sqlite3_finalize(stmt);
        if (!ok) {
            if (!error_.startsWith(path)) error_ = path + QStringLiteral(": ") + error_;
            conn_.reset();
        }
    }
    return conn_ != nullptr;
}

bool Database::Create(const QString& path) {
    Close();
    error_.clear();
    if (QFileInfo::exists(path)) {
        error_ = QStringLiteral("%1: the file already exists").arg(path);
        return false;
    }
    conn_ = OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &error_);
    return conn_ != nullptr;
}

bool Database::IsOpen() const { return conn_ && conn_->handle; }
QString Database::Path() const { return conn_ ? conn_->path : QString(); }

void Database::Close() {
    if (conn_) conn_->Close();
    conn_.reset();
}

QString Database::LastError() const { return error_; }
qint64 Database::RecordsAffected() const { return affected_; }
bool Database::InTransaction() const { return IsOpen() && conn_->inTransaction; }

bool Database::ExecuteNative(const QString& sqliteSql) {
    affected_ = 0;
    if (!IsOpen()) {
        error_ = QStringLiteral("database is not open");
        return false;
    }
    char* message = nullptr;
    if (sqlite3_exec(conn_->handle, sqliteSql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        error_ = QString::fromUtf8(message ? message : "error");
        sqlite3_free(message);
        return false;
    }
    affected_ = sqlite3_changes64(conn_->handle);
    return true;
}

bool Database::Execute(const QString& jetSql) {
    affected_ = 0;
    error_.clear();
    if (!IsOpen()) {
        error_ = QStringLiteral("database is not open");
        return false;
    }
    ConnectionContext context(conn_.get());
    Translation t;
    if (!TranslateJet(jetSql, context, &t, &error_)) return false;
    if (t.sql.isEmpty()) {
        error_ = QStringLiteral("empty statement");
        return false;
    }
    sqlite3_stmt* stmt = conn_->Prepare(t.sql, &error_);
    if (!stmt) return false;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        error_ = conn_->Message() + QStringLiteral(" [") + t.sql + u']';
        return false;
    }
    affected_ = sqlite3_changes64(conn_->handle);
    return true;
}

bool Database::BeginTrans() {
    if (!IsOpen()) {
        error_ = QStringLiteral("database is not open");
        return false;
    }
    if (conn_->inTransaction) {
        error_ = QStringLiteral("a transaction is already open");
        return false;
    }
    if (!ExecuteNative(QStringLiteral("BEGIN IMMEDIATE"))) return false;
    conn_->inTransaction = true;
    return true;
}

bool Database::CommitTrans() {
    if (!InTransaction()) {
        error_ = QStringLiteral("no transaction is open");
        return false;
    }
    if (!ExecuteNative(QStringLiteral("COMMIT"))) return false;
    conn_->inTransaction = false;
    return true;
}

bool Database::Rollback() {
    if (!InTransaction()) {
        error_ = QStringLiteral("no transaction is open");
        return false;
    }
    const bool ok = ExecuteNative(QStringLiteral("ROLLBACK"));
    conn_->inTransaction = false;
    return ok;
}

std::vector<std::pair<QString, FieldType>> Database::TableFields(const QString& table) {
    std::vector<std::pair<QString, FieldType>> out;
    if (!IsOpen()) return out;
    sqlite3_stmt* stmt =
        conn_->Prepare(QStringLiteral("select name, type from pragma_table_info(?)"), &error_);
    if (!stmt) return out;
    const QByteArray u = table.toUtf8();
    sqlite3_bind_text(stmt, 1, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        out.emplace_back(ColumnValue(stmt, 0).toString(), FieldTypeFromDeclared(ColumnValue(stmt, 1).toString()));
    }
    sqlite3_finalize(stmt);
    return out;
}

Recordset Database::OpenRecordset(const QString& jetSql) {
    Recordset rs;
    error_.clear();
    if (!IsOpen()) {
        error_ = rs.error_ = QStringLiteral("database is not open");
        return rs;
    }
    ConnectionContext context(conn_.get());
    Translation t;
    if (!TranslateJet(jetSql, context, &t, &error_)) {
        rs.error_ = error_;
        return rs;
    }
    sqlite3_stmt* stmt = nullptr;
    bool withRowId = false;
    if (!t.singleTable.isEmpty() && t.selectListOffset >= 0) {
        QString sql = t.sql;
        sql.insert(t.selectListOffset, QStringLiteral(" rowid AS %1,").arg(QLatin1String(kRowIdColumn)));
        QString ignored;
        stmt = conn_->Prepare(sql, &ignored);
        withRowId = stmt != nullptr;
    }
    if (!stmt) stmt = conn_->Prepare(t.sql, &error_);
    if (!stmt) {
        rs.error_ = error_;
        return rs;
    }
    const int first = withRowId ? 1 : 0;
    const int count = sqlite3_column_count(stmt);
    for (int i = first; i < count; ++i) {
        Recordset::Field f;
        f.name = QString::fromUtf8(sqlite3_column_name(stmt, i));
        if (withRowId) {
            if (const char* origin = sqlite3_column_origin_name(stmt, i)) f.origin = QString::fromUtf8(origin);
        }
        if (const char* decl = sqlite3_column_decltype(stmt, i))
            f.type = FieldTypeFromDeclared(QString::fromUtf8(decl));
        rs.fields_.push_back(f);
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Recordset::Row row;
        row.rowid = withRowId && sqlite3_column_type(stmt, 0) != SQLITE_NULL ? sqlite3_column_int64(stmt, 0) : -1;
        row.values.reserve(count - first);
        for (int i = first; i < count; ++i)
            row.values.push_back(FromStored(rs.fields_[i - first].type, ColumnValue(stmt, i)));
        rs.rows_.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        error_ = rs.error_ = conn_->Message();
        rs.rows_.clear();
        rs.fields_.clear();
        return rs;
    }
    rs.conn_ = conn_;
    rs.open_ = true;
    if (withRowId) rs.table_ = t.singleTable;
    rs.pos_ = 0;
    return rs;
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

bool Recordset::Fail(const QString& message) {
    error_ = message;
    return false;
}

bool Recordset::IsBOF() const { return rows_.empty() || pos_ < 0; }
bool Recordset::IsEOF() const { return rows_.empty() || pos_ >= static_cast<qsizetype>(rows_.size()); }

void Recordset::MoveFirst() {
    CancelUpdate();
    pos_ = 0;
}

void Recordset::MoveLast() {
    CancelUpdate();
    pos_ = rows_.empty() ? 0 : static_cast<qsizetype>(rows_.size()) - 1;
}

void Recordset::MoveNext() {
    CancelUpdate();
    if (pos_ < static_cast<qsizetype>(rows_.size())) ++pos_;
}

void Recordset::MovePrevious() {
    CancelUpdate();
    if (pos_ >= 0) --pos_;
}

void Recordset::SetAbsolutePosition(qsizetype position) {
    CancelUpdate();
    pos_ = std::clamp<qsizetype>(position, -1, static_cast<qsizetype>(rows_.size()));
}

QString Recordset::FieldName(int index) const {
    return index >= 0 && index < FieldCount() ? fields_[index].name : QString();
}

int Recordset::FieldIndex(const QString& name) const {
    for (int i = 0; i < FieldCount(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

FieldType Recordset::FieldTypeOf(int index) const {
    return index >= 0 && index < FieldCount() ? fields_[index].type : FieldType::Unknown;
}

qint64 Recordset::RowId() const {
    return IsBOF() || IsEOF() ? -1 : rows_[pos_].rowid;
}

QVariant Recordset::Value(int index) const {
    if (index < 0 || index >= FieldCount()) return QVariant();
    if (mode_ != Mode::None) {
        for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
            if (it->first == index) return it->second;
        if (mode_ == Mode::AddNew) return fields_[index].type == FieldType::YesNo ? QVariant(false) : QVariant();
    }
    if (IsBOF() || IsEOF()) return QVariant();
    return rows_[pos_].values[index];
}

bool Recordset::SetValue(int index, const QVariant& value) {
    if (mode_ == Mode::None) return Fail(QStringLiteral("not in Edit or AddNew"));
    if (index < 0 || index >= FieldCount()) return Fail(QStringLiteral("no such field"));
    if (fields_[index].origin.isEmpty()) return Fail(QStringLiteral("the field %1 cannot be written").arg(fields_[index].name));
    QVariant stored;
    if (!ToStored(fields_[index].type, value, &stored))
        return Fail(QStringLiteral("the value %1 does not fit the field %2").arg(value.toString(), fields_[index].name));
    for (auto& p : pending_) {
        if (p.first == index) {
            p.second = FromStored(fields_[index].type, stored);
            return true;
        }
    }
    pending_.emplace_back(index, FromStored(fields_[index].type, stored));
    return true;
}

bool Recordset::AddNew() {
    if (!open_ || !conn_ || !conn_->handle) return Fail(QStringLiteral("recordset is not open"));
    if (table_.isEmpty()) return Fail(QStringLiteral("recordset cannot be updated"));
    pending_.clear();
    mode_ = Mode::AddNew;
    return true;
}

bool Recordset::Edit() {
    if (!open_ || !conn_ || !conn_->handle) return Fail(QStringLiteral("recordset is not open"));
    if (table_.isEmpty()) return Fail(QStringLiteral("recordset cannot be updated"));
    if (RowId() < 0) return Fail(QStringLiteral("no current record"));
    pending_.clear();
    mode_ = Mode::Edit;
    return true;
}

void Recordset::CancelUpdate() {
    mode_ = Mode::None;
    pending_.clear();
}

bool Recordset::Update() {
    if (mode_ == Mode::None) return Fail(QStringLiteral("Update without Edit or AddNew"));
    if (!conn_ || !conn_->handle) {
        CancelUpdate();
        return Fail(QStringLiteral("database is not open"));
    }
    std::vector<QVariant> stored;
    QStringList columns;
    for (const auto& [index, value] : pending_) {
        QVariant s;
        ToStored(fields_[index].type, value, &s);
        stored.push_back(s);
        columns << QuoteIdent(fields_[index].origin);
    }
    QString sql;
    if (mode_ == Mode::AddNew) {
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table_);
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, columns.join(u','), marks.join(u','));
        }
    } else {
        if (columns.isEmpty()) {
            CancelUpdate();
            return true;
        }
        QStringList sets;
        for (const auto& c : columns) sets << c + QStringLiteral("=?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table_, sets.join(u','));
    }
    QString err;
    sqlite3_stmt* stmt = conn_->Cached(sql, &err);
    if (!stmt) {
        CancelUpdate();
        return Fail(err);
    }
    for (int i = 0; i < static_cast<int>(stored.size()); ++i) Bind(stmt, i + 1, stored[i]);
    if (mode_ == Mode::Edit) sqlite3_bind_int64(stmt, static_cast<int>(stored.size()) + 1, rows_[pos_].rowid);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        const QString message = conn_->Message();
        CancelUpdate();
        return Fail(message);
    }
    if (mode_ == Mode::AddNew) {
        const bool wasEOF = IsEOF();
        Row row;
        row.rowid = sqlite3_last_insert_rowid(conn_->handle);
        row.values.resize(fields_.size());
        for (int i = 0; i < FieldCount(); ++i)
            if (fields_[i].type == FieldType::YesNo) row.values[i] = false;
        for (const auto& [index, value] : pending_) row.values[index] = value;
        rows_.push_back(std::move(row));
        if (wasEOF) pos_ = static_cast<qsizetype>(rows_.size());
    } else {
        for (const auto& [index, value] : pending_) rows_[pos_].values[index] = value;
    }
    CancelUpdate();
    return true;
}

void Recordset::Close() {
    CancelUpdate();
    rows_.clear();
    fields_.clear();
    conn_.reset();
    open_ = false;
    table_.clear();
    pos_ = 0;
}

}  // namespace db

namespace db {

bool Database::SnapshotTo(const QString& path) {
    error_.clear();
    if (!IsOpen()) {
        error_ = QStringLiteral("database is not open");
        return false;
    }
    if (QFileInfo::exists(path)) {
        error_ = QStringLiteral("%1: the file already exists").arg(path);
        return false;
    }
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(target, "main", conn_->handle, "main");
        if (backup) {
            rc = sqlite3_backup_step(backup, -1);
            const int finish = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE) rc = finish;
        } else {
            rc = sqlite3_errcode(target);
        }
    }
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        error_ = QStringLiteral("%1: the copy failed (%2)")
                     .arg(path, QString::fromUtf8(target ? sqlite3_errmsg(target) : sqlite3_errstr(rc)));
    }
    if (target && sqlite3_close(target) != SQLITE_OK && error_.isEmpty())
        error_ = QStringLiteral("%1: the copy could not be closed").arg(path);
    if (!error_.isEmpty()) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        return false;
    }
    return true;
}

}  // namespace db
