#include "platform/db/FileCheck.h"

#include <sqlite3.h>

#include <QFile>
#include <QUrl>

#include "platform/db/Collation.h"

namespace db {

bool CheckDatabaseFile(const QString& path, const QStringList& tables, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString());
        return false;
    }
    if (file.read(16) != QByteArray("SQLite format 3", 16)) {
        *error = QStringLiteral("%1: not a database file").arg(path);
        return false;
    }
    file.close();

    sqlite3* handle = nullptr;
    const QString uri =
        QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")) + QStringLiteral("?mode=ro");
    bool ok = sqlite3_open_v2(uri.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
              SQLITE_OK;
    // Indexes of text fields may name the Japanese order.
    if (ok) RegisterJapaneseCollation(handle);
    auto fail = [&](const QString& why) {
        *error = QStringLiteral("%1: %2").arg(path, why);
        ok = false;
    };
    if (!ok) fail(QString::fromUtf8(handle ? sqlite3_errmsg(handle) : "cannot be opened"));

    for (const QString& table : tables) {
        if (!ok) break;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, "select count(*) from sqlite_master where type = 'table' and name = ?", -1,
                               &stmt, nullptr) != SQLITE_OK) {
            fail(QString::fromUtf8(sqlite3_errmsg(handle)));
            break;
        }
        const QByteArray name = table.toUtf8();
        sqlite3_bind_text(stmt, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) != SQLITE_ROW) fail(QString::fromUtf8(sqlite3_errmsg(handle)));
        else if (sqlite3_column_int(stmt, 0) == 0) fail(QStringLiteral("the table %1 is missing").arg(table));
        sqlite3_finalize(stmt);
    }

    if (ok) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA integrity_check(1)", -1, &stmt, nullptr) != SQLITE_OK) {
            fail(QString::fromUtf8(sqlite3_errmsg(handle)));
        } else {
            const int rc = sqlite3_step(stmt);
            const QString result = rc == SQLITE_ROW
                                       ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))
                                       : QString::fromUtf8(sqlite3_errmsg(handle));
            if (result != u"ok") fail(QStringLiteral("the integrity check failed: %1").arg(result));
            sqlite3_finalize(stmt);
        }
    }
    sqlite3_close(handle);
    return ok;
}

}  // namespace db
