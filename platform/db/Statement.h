#pragma once
// The statements of a connection: a Jet text's statement, found in the
// connection's cache by the shape of its text or translated and prepared now,
// and the values bound to it and read from its rows. Inside the database layer only.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/JetSql.h"

namespace db {

struct Connection;

// Prepared statements kept per connection, by the shape of their text.
constexpr int kStatementCacheSize = 128;
// Texts met before, each with its shape and values, per connection: enough
// for a registration's lookups of its partners, pairs and items (a text each),
// so that the next registration finds them without reading them again.
constexpr int kShapeCacheSize = 4096;

// The field names of a select, to find a field's index by name at once.
struct FieldNames {
    QHash<QString, int> exact;   // as the select names them
    QHash<QString, int> folded;  // case-folded
};

// A prepared write of a recordset for one set of fields, in the order they were set.
struct WriteShape {
    std::vector<int> fields;
    QString sql;
    sqlite3_stmt* stmt = nullptr;  // owned by the connection
};

// The writes made so far through the recordsets of one select.
struct WriteShapes {
    std::vector<WriteShape> inserts, updates;
    QString readAdded;  // reads a row added through them back by its rowid
};

// A translated statement, kept by the shape of its Jet text.
struct CachedStatement {
    Translation translation;
    QStringList paths;  // the external files it reads, with the aliases they had
    QStringList aliases;
    bool withRowId = false;
    QString sql;                                                  // what was prepared
    sqlite3_stmt* idle = nullptr;                                 // a prepared copy no reader uses
    std::shared_ptr<const std::vector<Recordset::Field>> fields;  // shared by its recordsets
    std::shared_ptr<const FieldNames> names;
    std::shared_ptr<WriteShapes> writes = std::make_shared<WriteShapes>();
};

QVariant ColumnValue(sqlite3_stmt* stmt, int i);
// Column i as the screens see a field of the given type (FromStored of ColumnValue).
QVariant ColumnAs(FieldType type, sqlite3_stmt* stmt, int i);
void Bind(sqlite3_stmt* stmt, int i, const QVariant& v);
void BindAll(sqlite3_stmt* stmt, const std::vector<QVariant>& values);

// A Jet text's statement, bound and ready to step.
struct PreparedJet {
    sqlite3_stmt* stmt = nullptr;      // nullptr when the text could not be prepared
    CachedStatement* entry = nullptr;  // what the cache knows of it
    std::vector<QVariant> params;      // the values bound to it
    QString key;                       // its place in the cache
    QString message;                   // why it could not be prepared
    int code = 0;                      // SQLite's result code for that
};

// The statement for a Jet text, from the cache or translated and prepared
// now, with the values bound. A recordset's select (forRows) carries a rowid
// column; the same text run as a statement does not.
PreparedJet PrepareJet(Connection* c, const QString& jet, bool forRows);

}  // namespace db
