#include "platform/db/Scratch.h"

namespace db {

bool OpenScratch(Database& database, const QString& path) {
    if (!database.Open(path)) return false;
    database.ExecuteNative(QStringLiteral("PRAGMA synchronous = OFF"));
    return true;
}

}  // namespace db
