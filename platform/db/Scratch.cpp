#include "platform/db/Scratch.h"

namespace db {

bool OpenScratch(Database& database, const QString& path) {
    if (!database.Open(path)) return false;
    // Scratch: a refused pragma is harmless, the work file is only written
    // more slowly.
    (void)database.ExecuteNative(QStringLiteral("PRAGMA synchronous = OFF"));
    return true;
}

}  // namespace db
