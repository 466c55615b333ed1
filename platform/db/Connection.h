#pragma once
// One open SQLite connection and the files attached to it, shared by a
// Database and the recordsets opened on it. Inside the database layer only.

#include <sqlite3.h>

#include <QHash>
#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/JetSql.h"
#include "platform/db/Statement.h"

namespace db {

struct Reader;

// Which file a path names right now: a file copied over the path is
// another file, even under the same name.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const QString& path);

// Another file read through the external-database clause.
struct AttachedFile {
    QString alias;
    FileIdentity identity;
};

// The kind of failure a SQLite result code names.
ErrorKind KindOf(int code);

// Selects stepped and not yet at their end, on any connection.
extern std::atomic<int> g_pendingReaders;

// One open SQLite connection, shared by a Database and the recordsets opened on it.
struct Connection {
    sqlite3* handle = nullptr;
    QString path;
    QString canonical;
    QStringList ownFiles;                   // the canonical path alone: what a select of this file alone reads
    QHash<QString, AttachedFile> attached;  // canonical path -> the attached file
    QHash<QString, QString> aliasNames;     // canonical path -> the name it is attached under
    int nextAlias = 1;
    bool inTransaction = false;
    int lastCode = SQLITE_OK;
    QHash<QString, sqlite3_stmt*> writes;        // prepared writes of recordsets, by SQL
    QHash<QString, CachedStatement> statements;  // translated statements, by shape
    // The shape and values of Jet texts met before, by their exact text: a
    // text run again finds its statement without being read again.
    struct Shape {
        QString key;
        std::vector<QVariant> values;
    };
    QHash<QString, Shape> shapes;
    // Texts that end in a whole number in their where clause ("... where
    // rowid = 12"), by the text before that number: the shape and the values
    // but the last, which is that number.
    QHash<QString, Shape> numbered;
    QHash<QString, QHash<QString, FieldType>> columnTypes;  // "alias.table" -> folded column -> type
    std::vector<Reader*> readers;                           // pending selects

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

    // Before this connection writes: its own pending selects read the rest of
    // their rows (they keep the rows as they were), and so do the pending
    // selects of other connections on the same files, whose read locks would
    // otherwise hold the write up until it times out.
    void BeforeWrite();
    void FinishOwnReaders();
};

// What the translation of a statement learns of the connection: the external
// files it names are attached here.
class ConnectionContext : public SqlContext {
public:
    explicit ConnectionContext(Connection* c) : c_(c) {}

    QStringList paths, aliases;  // every external file the statement named

    bool ExternalAlias(const QString& path, QString* alias, QString* error) override;
    // The name under which the file at `path` is read on this connection,
    // attaching it when it is not attached (or is another file now).
    bool Resolve(const QString& path, QString* alias, QString* error);
    bool SelectColumnNames(const QString& select, QStringList* names, QString* error) override;
    bool IsTextColumn(const QString& alias, const QString& table, const QString& column) override;

private:
    Connection* c_;
};

// Sets what every connection opens with: SQLite's defensive configuration
// (no writable schema, no journal switched off, no writes to SQLite's own
// pages) and an untrusted schema (a trigger, view or index of a file may call
// no function with side effects). False when SQLite refuses either.
bool MakeDefensive(sqlite3* handle);

// Opens a connection on the file at path with SQLite's open flags. Returns
// nullptr with a message and a code.
std::shared_ptr<Connection> OpenConnection(const QString& path, int flags, QString* error, int* code);

}  // namespace db
