#pragma once
// The database layer's log: every statement that fails is written here once,
// with its text and SQLite's message, so that a user who reports a problem
// can send it. Filter it with QT_LOGGING_RULES="murv.db.warning=false".

#include <QLoggingCategory>
#include <QString>

namespace db {

Q_DECLARE_LOGGING_CATEGORY(lcDb)

// Logs one failed statement (or open, or step of a transaction).
void LogFailure(const QString& statement, const QString& message);

}  // namespace db
