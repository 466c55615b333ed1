#pragma once
// The pending select of a recordset: it steps the rows as the recordset asks
// for them. Inside the database layer only.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "platform/db/Database.h"

namespace db {

// The pending select of a recordset.
struct Reader {
    Connection* conn = nullptr;
    Recordset* owner = nullptr;
    QString key;  // its statement's place in the cache
    QString jet;  // for the log
    sqlite3_stmt* stmt = nullptr;
    std::vector<QVariant> params;
    QStringList files;  // the files it reads
    bool withRowId = false;
    bool pending = false;  // stepped, not yet at its end
    bool done = false;
    qsizetype stepped = 0;  // rows read so far
    bool keepAll = false;   // keep every row read, with its values

    ~Reader();
    void SetPending(bool on);
    bool Step();
    // Reads the fields of the current row that `row` lacks: all of them, or the one at `index`.
    void Capture(Recordset::Row* row) const;
    void Capture(Recordset::Row* row, int index) const;
    bool Rewind();
};

}  // namespace db
