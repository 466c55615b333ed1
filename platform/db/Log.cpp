#include "platform/db/Log.h"

namespace db {

Q_LOGGING_CATEGORY(lcDb, "murv.db")

void LogFailure(const QString& statement, const QString& message) {
    qCWarning(lcDb).noquote() << "failed:" << statement << "--" << message;
}

}  // namespace db
