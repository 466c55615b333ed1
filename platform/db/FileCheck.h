#pragma once
// Whether a file is a sound database of ours before it is put in use: the
// SQLite header, a schema that is the program's own, and SQLite's integrity
// check.

#include <QString>

namespace db {

// How the schema of a file compares with the program's own.
enum class SchemaMatch { Same, Differs, Unreadable };

// Compares the schema of the database at path (opened read-only, never
// changed) with the one `statements` make (the program's own CREATE
// statements). The file must hold the same tables with the same columns
// (names, declared types, order, constraints: the definition as a whole),
// its indexes and triggers must be those of the statements, definition for
// definition, and it must hold nothing else: no view, and no table, index or
// trigger the statements do not make. Shapes the program itself wrote
// before stay accepted: text columns with the program's own collation
// (converted when the file is opened, see SchemaUpgrade.h), and fewer of
// its indexes. On Differs, difference says what differs in Japanese (one
// sentence, the names in 「」); error says why for the log (Differs or
// Unreadable).
SchemaMatch CompareSchema(const QString& path, const QString& statements, QString* difference, QString* error);

// True when path is an SQLite database whose schema is the one `statements`
// make (see CompareSchema) and that passes the integrity check. The file is
// opened read-only and never changed. error says what is wrong: when the
// schema differs, its first line is that difference in Japanese.
bool CheckDatabaseFile(const QString& path, const QString& statements, QString* error);

}  // namespace db
