#pragma once
// One transaction on a database, for the scope of a block: it attaches the
// files it is given (no file can be attached inside a transaction), begins,
// and rolls back when it goes out of scope without a commit. A rollback that
// fails is logged; the caller has said its own failure already.

#include <QString>
#include <QStringList>

#include "platform/db/Database.h"

namespace db {

class Transaction {
public:
    explicit Transaction(Database& database, const QStringList& attach = {});
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Whether the files were attached and the transaction began; when not,
    // the database's LastError() says why.
    [[nodiscard]] bool Began() const { return began_; }
    // Commits; false (LastError() says why) when it did not begin or the
    // commit failed, and then it is rolled back at once.
    [[nodiscard]] bool Commit();
    // Rolls back now, before the caller says why (a message must not wait
    // with the file locked); does nothing when it did not begin or has ended.
    void RollBack();

private:
    Database& database_;
    bool began_ = false;
};

}  // namespace db
