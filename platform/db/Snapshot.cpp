#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include "platform/db/Connection.h"
#include "platform/db/Database.h"

namespace db {

bool Database::SnapshotTo(const QString& path) {
    Succeed();
    if (!IsOpen()) {
        error_ = QStringLiteral("database is not open");
        errorKind_ = ErrorKind::Other;
        return false;
    }
    if (QFileInfo::exists(path)) {
        error_ = QStringLiteral("%1: the file already exists").arg(path);
        errorKind_ = ErrorKind::Other;
        return false;
    }
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK && !MakeDefensive(target)) rc = SQLITE_ERROR;
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(target, "main", conn_->handle, "main");
        if (backup) {
            rc = sqlite3_backup_step(backup, -1);
            const int finish = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE) rc = finish;
        } else {
            rc = sqlite3_errcode(target);
        }
    }
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        errorKind_ = KindOf(rc);
        error_ = QStringLiteral("%1: the copy failed (%2)")
                     .arg(path, QString::fromUtf8(target ? sqlite3_errmsg(target) : sqlite3_errstr(rc)));
    }
    if (target && (rc = sqlite3_close(target)) != SQLITE_OK && error_.isEmpty()) {
        errorKind_ = KindOf(rc);
        error_ = QStringLiteral("%1: the copy could not be closed").arg(path);
    }
    if (!error_.isEmpty()) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        return false;
    }
    return true;
}

}  // namespace db
