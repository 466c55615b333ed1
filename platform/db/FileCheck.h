#pragma once
// Whether a file is a sound database of ours before it is put in use: the
// SQLite header, a schema that is the program's own, and SQLite's integrity
// check.

#include <QString>

namespace db {

// How the schema of a file compares with the program's own.
enum class SchemaMatch { Same, Differs, Unreadable };

// Compares the schema of the database at path with the one `statements`
// make (the program's own CREATE statements). The file must hold the same
// tables with the same columns (names, declared types, order, constraints:
// the definition as a whole), its indexes and triggers must be those of the
// statements, definition for definition, and it must hold nothing else: no
// view, and no table, index or trigger the statements do not make (SQLite's
// own statistics of ANALYZE, sqlite_stat1 and sqlite_stat4, excepted). Every
// value must be of its column's kind, as the program stores it: numbers in
// number fields, text in text fields, dates as "yyyy-mm-dd", -1 or 0 in
// yes/no fields, Null anywhere but there. Shapes the program itself wrote
// before stay accepted: text columns with the program's own collation
// (converted when the file is opened, see SchemaUpgrade.h), and fewer of
// its indexes. On Differs, difference says what differs in Japanese (one
// sentence, the names in 「」); error says why for the log (Differs or
// Unreadable).
//
// The file is read through a read-only connection and never changed, with
// one exception: a hot journal beside it (a commit cut short by a crash) is
// first rolled back, as SQLite does at every open that may write, through a
// connection with the settings of every connection; rolledBack (when given)
// then tells that the file was changed back to its last commit.
SchemaMatch CompareSchema(const QString& path, const QString& statements, QString* difference, QString* error,
                          bool* rolledBack = nullptr);

// True when path is an SQLite database whose schema is the one `statements`
// make (see CompareSchema) and that passes the integrity check. The file is
// opened read-only and changed only by the rollback of a hot journal beside
// it (see CompareSchema). error says what is wrong: when the schema differs,
// its first line is that difference in Japanese.
bool CheckDatabaseFile(const QString& path, const QString& statements, QString* error);

}  // namespace db
