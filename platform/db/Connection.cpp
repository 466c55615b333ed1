#include "platform/db/Connection.h"

#include <sys/stat.h>

#include <algorithm>
#include <mutex>

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "platform/db/Collation.h"
#include "platform/db/Reader.h"

namespace db {

FileIdentity IdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

ErrorKind KindOf(int code) {
    switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return ErrorKind::None;
    case SQLITE_CORRUPT: return ErrorKind::Corrupt;
    case SQLITE_NOTADB: return ErrorKind::NotADatabase;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN: return ErrorKind::IoError;
    case SQLITE_READONLY:
    case SQLITE_PERM: return ErrorKind::ReadOnly;
    case SQLITE_FULL: return ErrorKind::Full;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ErrorKind::Busy;
    default: return ErrorKind::Other;
    }
}

std::atomic<int> g_pendingReaders{0};

namespace {

std::mutex g_connectionsLock;
std::vector<Connection*> g_connections;

}  // namespace

Connection::Connection() {
    std::lock_guard lock(g_connectionsLock);
    g_connections.push_back(this);
}

Connection::~Connection() {
    Close();
    std::lock_guard lock(g_connectionsLock);
    g_connections.erase(std::remove(g_connections.begin(), g_connections.end(), this), g_connections.end());
}

void Connection::BeforeWrite() {
    if (g_pendingReaders.load(std::memory_order_relaxed) == 0) return;
    FinishOwnReaders();
    std::vector<Reader*> others;
    {
        // This connection's files: its own and those attached to it.
        const auto mine = [this](const QString& f) { return f == canonical || attached.contains(f); };
        std::lock_guard lock(g_connectionsLock);
        for (Connection* c : g_connections) {
            if (c == this) continue;
            for (Reader* r : c->readers) {
                if (std::any_of(r->files.cbegin(), r->files.cend(), mine)) others.push_back(r);
            }
        }
    }
    for (Reader* r : others)
        if (r->owner) r->owner->ReadAll();
}

void Connection::FinishOwnReaders() {
    if (readers.empty()) return;
    const std::vector<Reader*> pending = readers;
    for (Reader* r : pending)
        if (r->owner) r->owner->ReadAll();
}

void Connection::ForgetStatements() {
    for (auto& s : statements) sqlite3_finalize(s.idle);
    statements.clear();
    shapes.clear();
    numbered.clear();
    columnTypes.clear();
}

void Connection::Close() {
    FinishOwnReaders();
    const std::vector<Reader*> left = readers;
    for (Reader* r : left) {
        r->SetPending(false);
        sqlite3_finalize(r->stmt);
        r->stmt = nullptr;
        r->done = true;
    }
    ForgetStatements();
    for (auto* s : std::as_const(writes)) sqlite3_finalize(s);
    writes.clear();
    if (handle) sqlite3_close_v2(handle);
    handle = nullptr;
    attached.clear();
    inTransaction = false;
}

bool ConnectionContext::ExternalAlias(const QString& path, QString* alias, QString* error) {
    if (!Resolve(path, alias, error)) return false;
    paths << path;
    aliases << *alias;
    return true;
}

bool ConnectionContext::Resolve(const QString& path, QString* alias, QString* error) {
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
        c_->FinishOwnReaders();
        if (!c_->Run(QStringLiteral("DETACH DATABASE ") + name, error)) return false;
        c_->attached.remove(canonical);
    }
    if (c_->inTransaction) {
        *error = QStringLiteral("cannot attach %1 inside a transaction").arg(path);
        return false;
    }
    // A file attached again keeps its name, so statements made for it stay valid.
    if (name.isEmpty()) name = c_->aliasNames.value(canonical);
    if (name.isEmpty()) name = QStringLiteral("ext%1").arg(c_->nextAlias++);
    const QString uri = QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(canonical, "/")) +
                        QStringLiteral("?mode=rw");
    sqlite3_stmt* stmt = c_->Prepare(QStringLiteral("ATTACH DATABASE ? AS ") + name, error);
    if (!stmt) return false;
    const QByteArray u = uri.toUtf8();
    sqlite3_bind_text(stmt, 1, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        c_->lastCode = rc;
        *error = c_->Message();
        return false;
    }
    c_->attached.insert(canonical, AttachedFile{name, identity});
    c_->aliasNames.insert(canonical, name);
    *alias = name;
    return true;
}

bool ConnectionContext::SelectColumnNames(const QString& select, QStringList* names, QString* error) {
    sqlite3_stmt* stmt = c_->Prepare(select, error);
    if (!stmt) return false;
    names->clear();
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) names->append(QString::fromUtf8(sqlite3_column_name(stmt, i)));
    sqlite3_finalize(stmt);
    return true;
}

bool ConnectionContext::IsTextColumn(const QString& alias, const QString& table, const QString& column) {
    const QString schema = alias.isEmpty() ? QStringLiteral("main") : alias;
    const QString key = schema + u'.' + table;
    auto it = c_->columnTypes.find(key);
    if (it == c_->columnTypes.end()) {
        QHash<QString, FieldType> types;
        QString ignored;
        if (sqlite3_stmt* stmt =
                c_->Prepare(QStringLiteral("select name, type from pragma_table_info(?1, ?2)"), &ignored)) {
            const QByteArray t = table.toUtf8(), s = schema.toUtf8();
            sqlite3_bind_text(stmt, 1, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 2, s.constData(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
                const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
                types.insert(name.toCaseFolded(), FieldTypeFromDeclared(type));
            }
            sqlite3_finalize(stmt);
        }
        it = c_->columnTypes.insert(key, types);
    }
    const FieldType type = it->value(column.toCaseFolded(), FieldType::Unknown);
    return type == FieldType::Text || type == FieldType::Memo;
}

bool MakeDefensive(sqlite3* handle) {
    int defensive = 0, trusted = 1;
    return sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, &defensive) == SQLITE_OK && defensive == 1 &&
           sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, &trusted) == SQLITE_OK && trusted == 0;
}

std::shared_ptr<Connection> OpenConnection(const QString& path, int flags, QString* error, int* code) {
    auto c = std::make_shared<Connection>();
    const QByteArray utf8 = path.toUtf8();
    const int rc = sqlite3_open_v2(utf8.constData(), &c->handle, flags | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        *code = rc;
        *error = QStringLiteral("%1: %2").arg(path, c->Message());
        return nullptr;
    }
    if (!MakeDefensive(c->handle)) {
        *code = SQLITE_ERROR;
        *error = QStringLiteral("%1: SQLite's defensive settings cannot be made").arg(path);
        return nullptr;
    }
    sqlite3_extended_result_codes(c->handle, 1);
    sqlite3_busy_timeout(c->handle, 5000);
    // A page cache that holds a book's lines (64 MiB at most, taken as pages are read): a year-end or a
    // long list reads each page once.
    sqlite3_exec(c->handle, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    // A commit is on the disk when it returns: the folder is synced after the
    // journal's removal too, so that a power loss cannot bring the journal
    // back and roll the commit back. The work file's connections turn syncs
    // off (Scratch.h).
    sqlite3_exec(c->handle, "PRAGMA synchronous = EXTRA", nullptr, nullptr, nullptr);
    if (!RegisterJapaneseCollation(c->handle)) {
        *code = SQLITE_ERROR;
        *error = QStringLiteral("%1: the Japanese text order is not available").arg(path);
        return nullptr;
    }
    c->path = path;
    c->canonical = QFileInfo(path).canonicalFilePath();
    c->ownFiles = QStringList{c->canonical};
    return c;
}

}  // namespace db
