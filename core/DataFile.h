#pragma once
// Putting another file in place of the data file in use, and copying the
// data file while it is open. Both keep the shared connection DbData sound:
// the copy is taken through the connection, and a replacement closes it,
// swaps the files and opens it again.

#include <QString>

namespace core {

// Replaces the data file in use (ModMurv::DataFilePath) by a copy of
// newFile. The copy is staged beside the data file and verified (a database
// with every table of the data schema that passes the integrity check)
// before the connection is closed; the old file is kept as a safety copy
// (DataFilePath + ".old") and the staged one takes its name; the connection
// is opened again and the company settings, the tax rate in force and the
// main menu's title and period are reloaded. Any failure puts the old file
// back and leaves it open; error then says why. newFile itself is never
// changed; naming the data file itself fails.
bool ReplaceDataFile(const QString& newFile, QString* error);

// Writes a consistent copy of the open data file as a new file at target
// (which must not exist).
bool SnapshotDataFile(const QString& target, QString* error);

// The names of the data file in use's tables, as the check wants them.
QStringList DataTableNames();

}  // namespace core
