#include "platform/db/Database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include "platform/db/Collation.h"
#include "platform/db/JetSql.h"
#include "platform/db/Log.h"
#include "platform/db/SchemaUpgrade.h"

namespace db {

namespace {

// Which file a path names right now: a file copied over the path is
// another file, even under the same name.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

// Another file read through the external-database clause.
struct AttachedFile {
    QString alias;
    FileIdentity identity;
};

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

constexpr const char* kRowIdColumn = "__murv_rowid__";
// Prepared statements kept per connection, by the shape of their text.
constexpr int kStatementCacheSize = 128;
// Rows kept in memory behind the current one in a long forward walk.
constexpr qsizetype kWindow = 4096;

}  // namespace

// The field names of a select, to find a field's index by name at once.
struct FieldNames {
    QHash<QString, int> exact;   // as the select names them
    QHash<QString, int> folded;  // case-folded
};

// A translated statement, kept by the shape of its Jet text.
struct CachedStatement {
    Translation translation;
    QStringList paths;    // the external files it reads, with the aliases they had
    QStringList aliases;
    bool withRowId = false;
    QString sql;          // what was prepared
    sqlite3_stmt* idle = nullptr;  // a prepared copy no reader uses
    std::vector<Recordset::Field> fields;
    std::shared_ptr<const FieldNames> names;
};

// The pending select of a recordset.
struct Reader {
    Connection* conn = nullptr;
    Recordset* owner = nullptr;
    QString key;             // its statement's place in the cache
    QString jet;             // for the log
    sqlite3_stmt* stmt = nullptr;
    std::vector<QVariant> params;
    QStringList files;       // the files it reads
    bool withRowId = false;
    bool pending = false;    // stepped, not yet at its end
    bool done = false;
    qsizetype stepped = 0;   // rows read so far
    bool keepAll = false;    // keep every row read, with its values

    ~Reader();
    void SetPending(bool on);
    bool Step();
    void Capture(Recordset::Row* row) const;
    bool Rewind();
};

// One open SQLite connection, shared by a Database and the recordsets opened on it.
struct Connection {
    sqlite3* handle = nullptr;
    QString path;
    QString canonical;
    QHash<QString, AttachedFile> attached;  // canonical path -> the attached file
    QHash<QString, QString> aliasNames;     // canonical path -> the name it is attached under
    int nextAlias = 1;
    bool inTransaction = false;
    int lastCode = SQLITE_OK;
    QHash<QString, sqlite3_stmt*> writes;           // prepared writes of recordsets, by SQL
    QHash<QString, CachedStatement> statements;     // translated statements, by shape
    // The shape and values of Jet texts met before, by their exact text: a
    // text run again finds its statement without being read again.
    struct Shape {
        QString key;
        std::vector<QVariant> values;
    };
    QHash<QString, Shape> shapes;
    QHash<QString, QHash<QString, FieldType>> columnTypes;  // "alias.table" -> folded column -> type
    std::vector<Reader*> readers;                   // pending selects

    Connection();
    ~Connection();

    void Close();
    void ForgetStatements();

    QString Message() const {
        return handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QStringLiteral("database is not open");
    }

    sqlite3_stmt* Prepare(const QString& sql, QString* error) {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v3(handle, utf8.constData(), static_cast<int>(utf8.size()),
                                          SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK) {
            lastCode = rc;
            *error = Message();
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
            lastCode = rc;
            *error = Message();
            return false;
        }
        return true;
    }

    // A cached write, reset and cleared for new bindings.
    sqlite3_stmt* Write(const QString& sql, QString* error) {
        if (auto* s = writes.value(sql)) {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
            return s;
        }
        sqlite3_stmt* s = Prepare(sql, error);
        if (s) writes.insert(sql, s);
        return s;
    }

    QStringList Files() const {
        QStringList files{canonical};
        for (auto it = attached.cbegin(); it != attached.cend(); ++it) files << it.key();
        return files;
    }

    // Before this connection writes: its own pending selects read the rest of
    // their rows (they keep the rows as they were), and so do the pending
    // selects of other connections on the same files, whose read locks would
    // otherwise hold the write up until it times out.
    void BeforeWrite();
    void FinishOwnReaders() {
        const std::vector<Reader*> pending = readers;
        for (Reader* r : pending)
            if (r->owner) r->owner->ReadAll();
    }
};

namespace {

std::mutex g_connectionsLock;
std::vector<Connection*> g_connections;
std::atomic<int> g_pendingReaders{0};  // selects stepped and not yet at their end, on any connection

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
        const QStringList mine = Files();
        std::lock_guard lock(g_connectionsLock);
        for (Connection* c : g_connections) {
            if (c == this) continue;
            for (Reader* r : c->readers) {
                if (std::any_of(r->files.cbegin(), r->files.cend(), [&](const QString& f) { return mine.contains(f); }))
                    others.push_back(r);
            }
        }
    }
    for (Reader* r : others)
        if (r->owner) r->owner->ReadAll();
}

void Connection::ForgetStatements() {
    for (auto& s : statements) sqlite3_finalize(s.idle);
    statements.clear();
    shapes.clear();
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

namespace {

class ConnectionContext : public SqlContext {
public:
    explicit ConnectionContext(Connection* c) : c_(c) {}

    QStringList paths, aliases;  // every external file the statement named

    bool ExternalAlias(const QString& path, QString* alias, QString* error) override {
        if (!Resolve(path, alias, error)) return false;
        paths << path;
        aliases << *alias;
        return true;
    }

    bool Resolve(const QString& path, QString* alias, QString* error) {
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
            c_->lastCode = rc;
            *error = c_->Message();
            return false;
        }
        c_->attached.insert(canonical, AttachedFile{name, identity});
        c_->aliasNames.insert(canonical, name);
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

    bool IsTextColumn(const QString& alias, const QString& table, const QString& column) override {
        const QString schema = alias.isEmpty() ? QStringLiteral("main") : alias;
        const QString key = schema + u'.' + table;
        auto it = c_->columnTypes.find(key);
        if (it == c_->columnTypes.end()) {
            QHash<QString, FieldType> types;
            QString ignored;
            if (sqlite3_stmt* stmt = c_->Prepare(QStringLiteral("select name, type from pragma_table_info(?1, ?2)"),
                                                 &ignored)) {
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

void BindAll(sqlite3_stmt* stmt, const std::vector<QVariant>& values) {
    for (int i = 0; i < static_cast<int>(values.size()); ++i) Bind(stmt, i + 1, values[i]);
}

bool ChangesSchema(const QString& jet) {
    const QString head = jet.trimmed().section(u' ', 0, 0);
    return head.compare(u"create", Qt::CaseInsensitive) == 0 || head.compare(u"drop", Qt::CaseInsensitive) == 0 ||
           head.compare(u"alter", Qt::CaseInsensitive) == 0;
}

}  // namespace

// ---------------------------------------------------------------- Reader

void Reader::SetPending(bool on) {
    if (pending == on) return;
    pending = on;
    if (on) {
        conn->readers.push_back(this);
        g_pendingReaders.fetch_add(1, std::memory_order_relaxed);
    } else {
        conn->readers.erase(std::remove(conn->readers.begin(), conn->readers.end(), this), conn->readers.end());
        g_pendingReaders.fetch_sub(1, std::memory_order_relaxed);
    }
}

Reader::~Reader() {
    if (pending && conn) SetPending(false);
    if (!stmt) return;
    // Back to the cache when its place is free.
    if (conn && conn->handle) {
        auto it = conn->statements.find(key);
        if (it != conn->statements.end() && !it->idle) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            it->idle = stmt;
            return;
        }
    }
    sqlite3_finalize(stmt);
}

bool Reader::Step() {
    if (done || !stmt || !conn || !conn->handle) {
        done = true;
        return false;
    }
    if (!pending) SetPending(true);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        ++stepped;
        return true;
    }
    done = true;
    SetPending(false);
    if (rc != SQLITE_DONE && owner) {
        owner->FailStatement(jet, rc);
    }
    sqlite3_reset(stmt);  // no lock is held once the rows are read
    return false;
}

void Reader::Capture(Recordset::Row* row) const {
    const int first = withRowId ? 1 : 0;
    const int count = sqlite3_column_count(stmt);
    row->values.reserve(count - first);
    for (int i = first; i < count; ++i)
        row->values.push_back(FromStored(owner->fields_[i - first].type, ColumnValue(stmt, i)));
}

bool Reader::Rewind() {
    if (!stmt || !conn || !conn->handle) return false;
    if (pending) SetPending(false);
    sqlite3_reset(stmt);
    stepped = 0;
    done = false;
    return true;
}

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
        errorKind_ = other.errorKind_;
    }
    return *this;
}

namespace {

std::shared_ptr<Connection> OpenConnection(const QString& path, int flags, QString* error, int* code) {
    auto c = std::make_shared<Connection>();
    const QByteArray utf8 = path.toUtf8();
    const int rc = sqlite3_open_v2(utf8.constData(), &c->handle, flags | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        *code = rc;
        *error = QStringLiteral("%1: %2").arg(path, c->Message());
        return nullptr;
    }
    sqlite3_extended_result_codes(c->handle, 1);
    sqlite3_busy_timeout(c->handle, 5000);
    // A page cache that holds a book's lines (64 MiB at most, taken as pages are read): a year-end or a
    // long list reads each page once.
    sqlite3_exec(c->handle, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    if (!RegisterJapaneseCollation(c->handle)) {
        *code = SQLITE_ERROR;
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

// The statement for a Jet text, from the cache or translated and prepared
// now, with the values to bind. Returns nullptr with a message and a code.
sqlite3_stmt* PrepareJet(Connection* c, const QString& jet, bool forRows, CachedStatement** entry,
                         std::vector<QVariant>* params, QString* key, QString* message, int* code) {
    ParameterizedJet p;
    *code = SQLITE_ERROR;
    // A recordset's select carries a rowid column; the same text run as a
    // statement does not.
    const QString kind = forRows ? QStringLiteral("R") : QStringLiteral("X");
    bool read = false;  // p holds the text's tokens
    if (const auto known = c->shapes.constFind(jet);
        known != c->shapes.constEnd() && c->statements.contains(kind + known->key)) {
        *key = kind + known->key;
        *params = known->values;
    } else {
        if (!ParameterizeJet(jet, &p, message)) return nullptr;
        read = true;
        *key = kind + p.key;
        *params = p.values;
        if (c->shapes.size() >= 4 * kStatementCacheSize) c->shapes.clear();
        c->shapes.insert(jet, Connection::Shape{p.key, p.values});
    }
    ConnectionContext context(c);
    auto it = c->statements.find(*key);
    if (it != c->statements.end()) {
        // The files it reads must still be attached under the same names.
        bool same = true;
        for (qsizetype i = 0; same && i < it->paths.size(); ++i) {
            QString alias;
            if (!context.Resolve(it->paths[i], &alias, message)) return nullptr;
            same = alias == it->aliases[i];
        }
        if (!same) {
            sqlite3_finalize(it->idle);
            c->statements.erase(it);
            it = c->statements.end();
        }
    }
    if (it == c->statements.end()) {
        if (!read && !ParameterizeJet(jet, &p, message)) return nullptr;
        CachedStatement s;
        if (!TranslateTokens(std::move(p.tokens), jet, context, &s.translation, message)) return nullptr;
        if (s.translation.sql.isEmpty()) {
            *message = QStringLiteral("empty statement");
            return nullptr;
        }
        s.paths = context.paths;
        s.aliases = context.aliases;
        const Translation& t = s.translation;
        if (forRows && !t.singleTable.isEmpty() && t.selectListOffset >= 0) {
            QString sql = t.sql;
            sql.insert(t.selectListOffset, QStringLiteral(" rowid AS %1,").arg(QLatin1String(kRowIdColumn)));
            QString ignored;
            s.idle = c->Prepare(sql, &ignored);
            s.withRowId = s.idle != nullptr;
            if (s.withRowId) s.sql = sql;
        }
        if (!s.idle) {
            s.sql = t.sql;
            s.idle = c->Prepare(t.sql, message);
            if (!s.idle) {
                *code = c->lastCode;
                return nullptr;
            }
        }
        // What the rows will carry.
        const int first = s.withRowId ? 1 : 0;
        auto names = std::make_shared<FieldNames>();
        for (int i = first; i < sqlite3_column_count(s.idle); ++i) {
            Recordset::Field f;
            f.name = QString::fromUtf8(sqlite3_column_name(s.idle, i));
            if (s.withRowId) {
                if (const char* origin = sqlite3_column_origin_name(s.idle, i)) f.origin = QString::fromUtf8(origin);
            }
            if (const char* decl = sqlite3_column_decltype(s.idle, i))
                f.type = FieldTypeFromDeclared(QString::fromUtf8(decl));
            // The first of equal names wins, as a search from the start would find it.
            const QString folded = f.name.toCaseFolded();
            if (!names->folded.contains(folded)) names->folded.insert(folded, i - first);
            if (!names->exact.contains(f.name)) names->exact.insert(f.name, names->folded.value(folded));
            s.fields.push_back(std::move(f));
        }
        s.names = names;
        if (c->statements.size() >= kStatementCacheSize) c->ForgetStatements();
        it = c->statements.insert(*key, std::move(s));
    }
    *entry = &*it;
    sqlite3_stmt* stmt = it->idle;
    it->idle = nullptr;
    if (!stmt) {
        stmt = c->Prepare(it->sql, message);  // the cached copy is in use by a reader
        if (!stmt) {
            *code = c->lastCode;
            return nullptr;
        }
    }
    BindAll(stmt, *params);
    return stmt;
}

bool Database::Execute(const QString& jetSql) {
    affected_ = 0;
    Succeed();
    if (!IsOpen()) return Fail(jetSql, QStringLiteral("database is not open"));
    conn_->BeforeWrite();
    if (ChangesSchema(jetSql)) conn_->ForgetStatements();
    CachedStatement* entry = nullptr;
    std::vector<QVariant> params;
    QString key, message;
    int code = SQLITE_OK;
    sqlite3_stmt* stmt = PrepareJet(conn_.get(), jetSql, false, &entry, &params, &key, &message, &code);
    if (!stmt) return Fail(jetSql, message, code);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) message = conn_->Message();
    affected_ = rc == SQLITE_DONE ? sqlite3_changes64(conn_->handle) : 0;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    (void)entry;
    if (auto it = conn_->statements.find(key); it != conn_->statements.end() && !it->idle) it->idle = stmt;
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
    const bool ok = Native(QStringLiteral("ROLLBACK"), false);
    conn_->inTransaction = false;
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
        return rs;
    }
    CachedStatement* entry = nullptr;
    auto reader = std::make_shared<Reader>();
    QString message;
    int code = SQLITE_OK;
    reader->stmt = PrepareJet(conn_.get(), jetSql, true, &entry, &reader->params, &reader->key, &message, &code);
    if (!reader->stmt) {
        Fail(jetSql, message, code);
        rs.error_ = error_;
        rs.errorKind_ = errorKind_;
        return rs;
    }
    reader->conn = conn_.get();
    reader->jet = jetSql;
    reader->withRowId = entry->withRowId;
    reader->files = QStringList{conn_->canonical};
    for (const QString& p : entry->paths) reader->files << QFileInfo(p).canonicalFilePath();
    rs.fields_ = entry->fields;
    rs.names_ = entry->names;
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

// ---------------------------------------------------------------- Recordset

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
    inserts_ = std::move(other.inserts_);
    updates_ = std::move(other.updates_);
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
                if (base_ == 0 && std::all_of(rows_.begin(), rows_.end(), [](const Row& w) { return !w.values.empty(); }))
                    const_cast<Recordset*>(this)->reader_.reset();
            } else {
                const_cast<Recordset*>(this)->reader_.reset();
            }
            break;
        }
        Row row;
        row.rowid = r->withRowId && sqlite3_column_type(r->stmt, 0) != SQLITE_NULL ? sqlite3_column_int64(r->stmt, 0) : -1;
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

const Recordset::Row* Recordset::RowAt(qsizetype position) const {
    if (!Has(position)) return nullptr;
    Row& row = rows_[position - base_];
    if (row.values.empty() && !fields_.empty()) {
        Reader* r = reader_.get();
        if (!r) return nullptr;
        const qsizetype current = r->stepped - 1;
        if (position != current || r->done) {
            // A row passed over without being read: read the rows again up to it.
            if (!r->Rewind()) return nullptr;
            rows_.clear();
            base_ = 0;
            complete_ = false;
            if (!ReadTo(position)) return nullptr;
        }
        r->Capture(&rows_[position - base_]);
        return &rows_[position - base_];
    }
    return &row;
}

void Recordset::ReadAll() {
    if (complete_ && !reader_) return;
    Reader* r = reader_.get();
    if (!r) {
        complete_ = true;
        return;
    }
    // The current row, when the walk stands on it, is read now.
    if (!r->done && !rows_.empty() && rows_.back().values.empty() && !fields_.empty() &&
        r->stepped == base_ + static_cast<qsizetype>(rows_.size()))
        r->Capture(&rows_.back());
    const bool whole = base_ == 0 &&
                       std::all_of(rows_.begin(), rows_.end(), [](const Row& w) { return !w.values.empty(); });
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
    if (index < 0 || index >= FieldCount()) return QVariant();
    const Row* row = RowAt(position);
    return row ? row->values[index] : QVariant();
}

QVariant Recordset::Value(int index) const {
    if (index < 0 || index >= FieldCount()) return QVariant();
    if (mode_ != Mode::None) {
        for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
            if (it->index == index) return it->value;
        if (mode_ == Mode::AddNew) return fields_[index].type == FieldType::YesNo ? QVariant(false) : QVariant();
    }
    return ValueAt(pos_, index);
}

bool Recordset::SetValue(int index, const QVariant& value) {
    if (mode_ == Mode::None) return Fail(QStringLiteral("not in Edit or AddNew"));
    if (index < 0 || index >= FieldCount()) return Fail(QStringLiteral("no such field"));
    if (fields_[index].origin.isEmpty()) return Fail(QStringLiteral("the field %1 cannot be written").arg(fields_[index].name));
    QVariant stored;
    if (!ToStored(fields_[index].type, value, &stored))
        return Fail(QStringLiteral("the value %1 does not fit the field %2").arg(value.toString(), fields_[index].name));
    for (auto& p : pending_) {
        if (p.index == index) {
            p.value = FromStored(fields_[index].type, stored);
            p.stored = std::move(stored);
            return true;
        }
    }
    QVariant shown = FromStored(fields_[index].type, stored);
    pending_.push_back({index, std::move(shown), std::move(stored)});
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

// The write of the pending fields, made once for each set of fields.
Recordset::WriteShape& Recordset::WriteFor(Mode mode) {
    std::vector<WriteShape>& shapes = mode == Mode::AddNew ? inserts_ : updates_;
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
            shape.sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, columns.join(u','), marks.join(u','));
        }
    } else {
        QStringList sets;
        for (const auto& c : columns) sets << c + QStringLiteral("=?");
        shape.sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table_, sets.join(u','));
    }
    shapes.push_back(std::move(shape));
    return shapes.back();
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
        Row row;
        row.rowid = sqlite3_last_insert_rowid(conn_->handle);
        row.values.resize(fields_.size());
        for (int f = 0; f < FieldCount(); ++f)
            if (fields_[f].type == FieldType::YesNo) row.values[f] = false;
        for (const auto& p : pending_) row.values[p.index] = p.value;
        rows_.push_back(std::move(row));
        if (wasEOF) pos_ = base_ + static_cast<qsizetype>(rows_.size());
    } else {
        Row& row = rows_[pos_ - base_];
        for (const auto& p : pending_) row.values[p.index] = p.value;
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
    inserts_.clear();
    updates_.clear();
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
