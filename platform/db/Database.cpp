#include "platform/db/Database.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <cerrno>

#include "platform/db/Connection.h"
#include "platform/db/Log.h"
#include "platform/db/Reader.h"
#include "platform/db/SchemaUpgrade.h"
#include "platform/db/Statement.h"
#include "platform/disk/FileOps.h"

namespace db {

namespace {

bool ChangesSchema(const QString& jet) {
    const QString head = jet.trimmed().section(u' ', 0, 0);
    return head.compare(u"create", Qt::CaseInsensitive) == 0 || head.compare(u"drop", Qt::CaseInsensitive) == 0 ||
           head.compare(u"alter", Qt::CaseInsensitive) == 0;
}

}  // namespace

QString Reason(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Corrupt: return QStringLiteral("データベースのファイルが壊れています。");
    case ErrorKind::NotADatabase: return QStringLiteral("ファイルがデータベースの形式ではありません。");
    // The engine's kinds are said in the words of the system's reasons.
    case ErrorKind::IoError: return disk::SystemReason(EIO);
    case ErrorKind::ReadOnly: return disk::SystemReason(EROFS);
    case ErrorKind::Full: return disk::SystemReason(ENOSPC);
    case ErrorKind::Busy:
        return QStringLiteral("ほかのプログラムがファイルを使用中です。しばらくしてからやり直してください。");
    case ErrorKind::None:
    case ErrorKind::Other: break;
    }
    return QString();
}

Database::Database() = default;
Database::~Database() { Close(); }
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        conn_ = std::move(other.conn_);
        affected_ = other.affected_;
        error_ = std::move(other.error_);
        errorKind_ = other.errorKind_;
    }
    return *this;
}

bool Database::Open(const QString& path) {
    Close();
    Succeed();
    const QString statement = QStringLiteral("open ") + path;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return Fail(statement, QStringLiteral("%1: no such database file").arg(path), SQLITE_CANTOPEN);
    QString message;
    int code = SQLITE_OK;
    conn_ = OpenConnection(path, SQLITE_OPEN_READWRITE, &message, &code);
    if (!conn_) return Fail(statement, message, code);
    // Make sure it is a database: a file of another kind fails here, not later.
    sqlite3_stmt* stmt = conn_->Prepare(QStringLiteral("select count(*) from sqlite_master"), &message);
    const int rc = stmt ? sqlite3_step(stmt) : conn_->lastCode;
    if (stmt && rc != SQLITE_ROW) message = conn_->Message();
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) {
        conn_.reset();
        return Fail(statement, QStringLiteral("%1: %2").arg(path, message), rc);
    }
    // A file made with the program's own collation on its columns is brought
    // to the form every SQLite tool reads. One that cannot be converted now
    // (a read-only file or folder) is unchanged and still serves: the
    // program has the collation.
    if (!UpgradeCollation(conn_->handle, path, &message))
        LogFailure(QStringLiteral("convert ") + path, message + QStringLiteral(" (opened as it is)"));
    return true;
}

bool Database::Create(const QString& path) {
    Close();
    Succeed();
    if (QFileInfo::exists(path))
        return Fail(QStringLiteral("create ") + path, QStringLiteral("%1: the file already exists").arg(path));
    QString message;
    int code = SQLITE_OK;
    conn_ = OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &message, &code);
    if (!conn_) return Fail(QStringLiteral("create ") + path, message, code);
    return true;
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

bool Database::Fail(const QString& statement, const QString& message, int sqliteCode) {
    error_ = message;
    errorKind_ = sqliteCode == SQLITE_OK ? ErrorKind::Other : KindOf(sqliteCode);
    LogFailure(statement, message);
    return false;
}

void Database::Succeed() {
    error_.clear();
    errorKind_ = ErrorKind::None;
}

bool Database::ExecuteNative(const QString& sqliteSql) { return Native(sqliteSql, true); }

bool Database::Native(const QString& sqliteSql, bool mayChangeTables) {
    affected_ = 0;
    Succeed();
    if (!IsOpen()) return Fail(sqliteSql, QStringLiteral("database is not open"));
    conn_->BeforeWrite();
    if (mayChangeTables) conn_->ForgetStatements();
    char* message = nullptr;
    const int rc = sqlite3_exec(conn_->handle, sqliteSql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : "error");
        sqlite3_free(message);
        return Fail(sqliteSql, text, sqlite3_extended_errcode(conn_->handle));
    }
    affected_ = sqlite3_changes64(conn_->handle);
    return true;
}

bool Database::Execute(const QString& jetSql) {
    affected_ = 0;
    Succeed();
    if (!IsOpen()) return Fail(jetSql, QStringLiteral("database is not open"));
    conn_->BeforeWrite();
    if (ChangesSchema(jetSql)) conn_->ForgetStatements();
    PreparedJet prepared = PrepareJet(conn_.get(), jetSql, false);
    sqlite3_stmt* stmt = prepared.stmt;
    if (!stmt) return Fail(jetSql, prepared.message, prepared.code);
    QString message;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE) message = conn_->Message();
    affected_ = rc == SQLITE_DONE ? sqlite3_changes64(conn_->handle) : 0;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (auto it = conn_->statements.find(prepared.key); it != conn_->statements.end() && !it->idle) it->idle = stmt;
    else sqlite3_finalize(stmt);
    if (ChangesSchema(jetSql)) conn_->ForgetStatements();
    if (rc != SQLITE_DONE) return Fail(jetSql, message, rc);
    return true;
}

bool Database::Attach(const QString& path) {
    Succeed();
    const QString statement = QStringLiteral("attach ") + path;
    if (!IsOpen()) return Fail(statement, QStringLiteral("database is not open"));
    ConnectionContext context(conn_.get());
    QString alias, message;
    if (!context.Resolve(path, &alias, &message)) return Fail(statement, message, conn_->lastCode);
    return true;
}

bool Database::Detach(const QString& path) {
    Succeed();
    const QString statement = QStringLiteral("detach ") + path;
    if (!IsOpen()) return Fail(statement, QStringLiteral("database is not open"));
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const auto it = conn_->attached.constFind(canonical);
    if (canonical.isEmpty() || it == conn_->attached.constEnd()) return true;
    if (conn_->inTransaction) return Fail(statement, QStringLiteral("cannot detach a file inside a transaction"));
    conn_->FinishOwnReaders();
    QString message;
    if (!conn_->Run(QStringLiteral("DETACH DATABASE ") + it->alias, &message))
        return Fail(statement, message, conn_->lastCode);
    conn_->attached.remove(canonical);
    return true;
}

bool Database::BeginTrans() {
    if (!IsOpen()) return Fail(QStringLiteral("BEGIN"), QStringLiteral("database is not open"));
    if (conn_->inTransaction) return Fail(QStringLiteral("BEGIN"), QStringLiteral("a transaction is already open"));
    if (!Native(QStringLiteral("BEGIN IMMEDIATE"), false)) return false;
    conn_->inTransaction = true;
    return true;
}

bool Database::CommitTrans() {
    if (!InTransaction()) return Fail(QStringLiteral("COMMIT"), QStringLiteral("no transaction is open"));
    if (!Native(QStringLiteral("COMMIT"), false)) return false;
    conn_->inTransaction = false;
    return true;
}

bool Database::Rollback() {
    if (!InTransaction()) return Fail(QStringLiteral("ROLLBACK"), QStringLiteral("no transaction is open"));
    // A rollback that succeeds leaves the failure that led to it to be said.
    const QString error = error_;
    const ErrorKind kind = errorKind_;
    // SQLite itself rolls back a transaction whose commit met a full disk or
    // an I/O error; there is nothing left to roll back then.
    const bool ok = sqlite3_get_autocommit(conn_->handle) != 0 || Native(QStringLiteral("ROLLBACK"), false);
    conn_->inTransaction = false;
    if (ok) {
        error_ = error;
        errorKind_ = kind;
    }
    return ok;
}

std::vector<std::pair<QString, FieldType>> Database::TableFields(const QString& table) {
    std::vector<std::pair<QString, FieldType>> out;
    if (!IsOpen()) return out;
    const QString sql = QStringLiteral("select name, type from pragma_table_info(?)");
    QString message;
    sqlite3_stmt* stmt = conn_->Prepare(sql, &message);
    if (!stmt) {
        Fail(sql, message, conn_->lastCode);
        return out;
    }
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
    Succeed();
    if (!IsOpen()) {
        Fail(jetSql, QStringLiteral("database is not open"));
        rs.error_ = error_;
        rs.errorKind_ = errorKind_;
        return rs;
    }
    PreparedJet prepared = PrepareJet(conn_.get(), jetSql, true);
    if (!prepared.stmt) {
        Fail(jetSql, prepared.message, prepared.code);
        rs.error_ = error_;
        rs.errorKind_ = errorKind_;
        return rs;
    }
    const CachedStatement* entry = prepared.entry;
    auto reader = std::make_shared<Reader>();
    reader->stmt = prepared.stmt;
    reader->params = std::move(prepared.params);
    reader->key = std::move(prepared.key);
    reader->conn = conn_.get();
    reader->jet = jetSql;
    reader->withRowId = entry->withRowId;
    reader->files = conn_->ownFiles;
    for (const QString& p : entry->paths) reader->files << QFileInfo(p).canonicalFilePath();
    rs.fields_ = entry->fields;
    rs.names_ = entry->names;
    rs.writes_ = entry->writes;
    if (entry->withRowId) rs.table_ = entry->translation.singleTable;
    rs.conn_ = conn_;
    rs.reader_ = reader;
    reader->owner = &rs;
    rs.complete_ = false;
    rs.open_ = true;
    rs.pos_ = 0;
    // The first row is read now: a select that fails, fails here.
    rs.ReadTo(0);
    if (rs.errorKind_ != ErrorKind::None) {
        error_ = rs.error_;
        errorKind_ = rs.errorKind_;
        Recordset failed;
        failed.error_ = rs.error_;
        failed.errorKind_ = rs.errorKind_;
        return failed;
    }
    return rs;
}

}  // namespace db
