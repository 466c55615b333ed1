#include "platform/disk/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace disk {

namespace {

QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

}  // namespace

bool CopyVerified(const QString& source, const QString& target, QString* error) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: cannot be read (%2)").arg(source, in.errorString());
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: cannot be read (%2)").arg(source, in.errorString());
        return false;
    }
    if (!WriteWholeFile(target, bytes, error)) return false;
    QFile back(target);
    QByteArray read;
    if (back.open(QIODevice::ReadOnly)) read = back.readAll();
    if (!back.isOpen() || back.error() != QFileDevice::NoError || read.size() != bytes.size() || read != bytes) {
        *error = QStringLiteral("%1: the copy does not match %2 (%3 of %4 bytes read back)")
                     .arg(target, source)
                     .arg(read.size())
                     .arg(bytes.size());
        QFile::remove(target);
        return false;
    }
    return true;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile out(path);
    // A removable disk may not allow the rename a safe save needs.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = QStringLiteral("%1: cannot be written (%2)").arg(path, out.errorString());
        return false;
    }
    return true;
}

bool RenameNoReplace(const QString& from, const QString& to, QString* error) {
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // The file system cannot rename without replacing: check first.
        if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
            errno = EEXIST;
        } else if (::rename(f.constData(), t.constData()) == 0) {
            return true;
        }
    }
    *error = QStringLiteral("%1 -> %2: %3").arg(from, to, SystemError());
    return false;
}

bool RenameOver(const QString& from, const QString& to, QString* error) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    *error = QStringLiteral("%1 -> %2: %3").arg(from, to, SystemError());
    return false;
}

bool RemoveFile(const QString& path, QString* error) {
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT) return true;
    *error = QStringLiteral("%1: cannot be deleted (%2)").arg(path, SystemError());
    return false;
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace disk
