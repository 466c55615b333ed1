#pragma once
// The tables of the data database and the work database, defined once, and
// the making of a data folder's three files from those definitions.

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/db/StoredForms.h"

namespace db {
class Database;
}

namespace core {

inline const QString kDataFileName = QStringLiteral("MurvData2K.mdb");
inline const QString kWorkFileName = QStringLiteral("MurvWork2K.mdb");
inline const QString kTemplateFileName = QStringLiteral("OrgMurvData2K.mdb");

struct FieldDef {
    QString name;
    db::FieldType type;
};

struct TableDef {
    QString name;
    std::vector<FieldDef> fields;
    std::vector<QStringList> indexes;  // non-unique indexes, each over these fields
};

// The data database's tables (also the template's).
const std::vector<TableDef>& DataTables();
// The work database's tables.
const std::vector<TableDef>& WorkTables();

// The SQLite statements that make a table with its indexes. Text fields sort
// in Japanese order; yes/no fields hold -1 or 0 and default to 0.
QString TableStatements(const TableDef& table);

// Adds to a work table of an older work file the fields its definition has
// gained since (yes/no fields excepted). False when the table is missing or
// a field cannot be added.
bool AddMissingWorkFields(db::Database& work, const QString& table);

enum class DataFileKind { Data, Template, Work };

// The statements that make the schema of a file of the given kind: its
// tables, their indexes and triggers. A data file is checked against them.
QString SchemaStatements(DataFileKind kind);

// Makes one database file of the given kind. Fails when the file exists.
// The data file gets its default company row and the account-title catalogue.
bool CreateDatabaseFile(const QString& path, DataFileKind kind, QString* error);

// Makes those of the three files of a data folder that are missing (and the
// folder itself); files that exist are never touched.
bool MakeDataFolder(const QString& folder, QStringList* created, QString* error);

}  // namespace core
