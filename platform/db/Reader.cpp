#include "platform/db/Reader.h"

#include <sqlite3.h>

#include <algorithm>

#include "platform/db/Connection.h"
#include "platform/db/Statement.h"

namespace db {

void Reader::SetPending(bool on) {
    if (pending == on) return;
    pending = on;
    if (on) {
        conn->readers.push_back(this);
        g_pendingReaders.fetch_add(1, std::memory_order_relaxed);
    } else {
        conn->readers.erase(std::remove(conn->readers.begin(), conn->readers.end(), this), conn->readers.end());
        g_pendingReaders.fetch_sub(1, std::memory_order_relaxed);
    }
}

Reader::~Reader() {
    if (pending && conn) SetPending(false);
    if (!stmt) return;
    // Back to the cache when its place is free.
    if (conn && conn->handle) {
        auto it = conn->statements.find(key);
        if (it != conn->statements.end() && !it->idle) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            it->idle = stmt;
            return;
        }
    }
    sqlite3_finalize(stmt);
}

bool Reader::Step() {
    if (done || !stmt || !conn || !conn->handle) {
        done = true;
        return false;
    }
    if (!pending) SetPending(true);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        ++stepped;
        return true;
    }
    done = true;
    SetPending(false);
    if (rc != SQLITE_DONE && owner) {
        owner->FailStatement(jet, rc);
    }
    sqlite3_reset(stmt);  // no lock is held once the rows are read
    return false;
}

void Reader::Capture(Recordset::Row* row) const {
    const int first = withRowId ? 1 : 0;
    const int count = static_cast<int>(owner->fields_.size());
    row->values.resize(owner->fields_.size());
    // Values are kept as stored and converted when read, unless a row has
    // more fields than the bits that tell which are converted.
    const bool wide = count > 64;
    for (int i = 0; i < count; ++i) {
        if (!wide && (row->read & (quint64(1) << i))) continue;
        if (!wide && sqlite3_column_type(stmt, i + first) == SQLITE_NULL) {
            // Null, as the value in its place already is.
            row->stored |= quint64(1) << i;
            continue;
        }
        if (wide) {
            row->values[i] = ColumnAs(owner->fields_[i].type, stmt, i + first);
        } else {
            row->values[i] = ColumnValue(stmt, i + first);
            row->stored |= quint64(1) << i;
        }
    }
    row->read = owner->AllFields();
}

void Reader::Capture(Recordset::Row* row, int index) const {
    if (owner->fields_.size() > 64) {
        Capture(row);
        return;
    }
    row->values.resize(owner->fields_.size());
    row->values[index] = ColumnAs(owner->fields_[index].type, stmt, index + (withRowId ? 1 : 0));
    row->read |= quint64(1) << index;
}

bool Reader::Rewind() {
    if (!stmt || !conn || !conn->handle) return false;
    if (pending) SetPending(false);
    sqlite3_reset(stmt);
    stepped = 0;
    done = false;
    return true;
}

}  // namespace db
