#pragma once
// Makes a folder read-only for a test: a read-only mount of a copy of it
// when running as root (root writes through permissions), the permissions
// otherwise. Undone when the guard goes.

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

namespace test {

class ReadOnlyFolder {
public:
    ~ReadOnlyFolder() {
        // A file still open in it makes a plain unmount fail: then lazily.
        if (mounted_ && QProcess::execute(QStringLiteral("umount"), {folder_}) != 0)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), folder_});
        if (!folder_.isEmpty() && !mounted_) {
            QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            for (const QString& f : QDir(folder_).entryList(QDir::Files))
                QFile::setPermissions(QDir(folder_).filePath(f), QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    // `scratch` is a folder of the test where the copy may go.
    bool Make(const QString& folder, const QString& scratch) {
        folder_ = folder;
        if (::geteuid() != 0) {
            for (const QString& f : QDir(folder).entryList(QDir::Files))
                QFile::setPermissions(QDir(folder).filePath(f), QFile::ReadOwner);
            return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        }
        const QString copy = QDir(scratch).filePath(QStringLiteral("read-only-copy"));
        if (QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), folder, copy}) != 0) return false;
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=16m"), QStringLiteral("tmpfs"), folder}) != 0)
            return false;
        mounted_ = true;
        const QString fill = QStringLiteral("cp -a '%1'/. '%2'/").arg(copy, folder);
        if (QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), fill}) != 0) return false;
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-o"), QStringLiteral("remount,ro"), folder}) == 0;
    }

private:
    QString folder_;
    bool mounted_ = false;
};

}  // namespace test
