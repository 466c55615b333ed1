#pragma once
// Files made by earlier versions declared every text column with the
// program's own collation, which no other SQLite tool has: such a file could
// not be checked, sorted, changed or dumped outside the program. Opening one
// converts it: its tables are rebuilt with SQLite's own collation in one
// transaction, every row kept, and a copy of the file as it was stays beside
// it ("<file>.before-conversion") until the converted file has been checked.

#include <QString>

struct sqlite3;

namespace db {

// Converts the file open on `connection` when it needs it; true when there was
// nothing to do or the conversion was made and checked. On false the file is
// as it was (or, if the check after the commit failed, the copy is kept and
// named in `error`).
bool UpgradeCollation(sqlite3* connection, const QString& path, QString* error);

// A statement of the schema as the conversion leaves it (without the
// program's own collation).
QString WithoutOwnCollation(QString sql);

}  // namespace db
