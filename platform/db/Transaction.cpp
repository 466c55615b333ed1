#include "platform/db/Transaction.h"

#include "platform/db/Log.h"

namespace db {

Transaction::Transaction(Database& database, const QStringList& attach) : database_(database) {
    for (const QString& path : attach)
        if (!database_.Attach(path)) return;
    began_ = database_.BeginTrans();
}

Transaction::~Transaction() { RollBack(); }

bool Transaction::Commit() {
    if (!began_ || !database_.InTransaction()) return false;
    if (database_.CommitTrans()) return true;
    RollBack();
    return false;
}

void Transaction::RollBack() {
    if (!began_ || !database_.InTransaction()) return;
    // The failure that led here is the one the caller says. A rollback that
    // fails too (the disk went away) is logged by Database::Rollback, and
    // SQLite ends the transaction when it next can.
    const bool rolledBack = database_.Rollback();
    if (!rolledBack && database_.InTransaction()) LogFailure(QStringLiteral("ROLLBACK"), QStringLiteral("still open"));
}

}  // namespace db
