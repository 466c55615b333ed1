#pragma once
// The work file's connections. The work file holds only rows that the
// screens rebuild, so a connection to it does not wait for the disk to
// confirm each commit (SQLite's synchronous = OFF): a crash of the program
// loses nothing, a crash of the machine may lose or damage the work file,
// which start-up then makes afresh. The data file is never opened this way.

#include <QString>

#include "platform/db/Database.h"

namespace db {

// Opens the work file at `path` as Database::Open does, without disk syncs.
bool OpenScratch(Database& database, const QString& path);

}  // namespace db
