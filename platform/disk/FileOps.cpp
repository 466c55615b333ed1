#include "platform/disk/FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace disk {

namespace {

// The reason of a failed write that set no error number: a write cut short
// by the file system is a full disk.
int WriteErrno(int saved) { return saved != 0 ? saved : ENOSPC; }

}  // namespace

QString SystemReason(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EFBIG: return QStringLiteral("ファイルが大きすぎて書き込めません。");
    case EACCES: return QStringLiteral("ファイルまたはフォルダへのアクセスが許可されていません。");
    case EPERM: return QStringLiteral("この操作は許可されていません。");
    case EROFS: return QStringLiteral("ファイルまたはフォルダが読み取り専用のため、書き込めません。");
    case ENOENT: return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case EEXIST: return QStringLiteral("同じ名前のファイルが既にあります。");
    case EISDIR: return QStringLiteral("指定された名前はフォルダです。");
    case ENOTDIR: return QStringLiteral("パスの途中にフォルダではないものがあります。");
    case ENOTEMPTY: return QStringLiteral("フォルダが空ではありません。");
    case EIO: return QStringLiteral("ディスクの読み書きに失敗しました。");
    case EXDEV: return QStringLiteral("別のディスクへは名前の変更で移せません。");
    case EMFILE:
    case ENFILE: return QStringLiteral("開いているファイルが多すぎます。");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます。");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("ファイルまたはディスクが使用中です。");
    case ELOOP: return QStringLiteral("リンクのたどり先が多すぎます。");
    case EINVAL: return QStringLiteral("このディスクではその操作ができません。");
    case ENOMEM: return QStringLiteral("メモリが足りません。");
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
        return QStringLiteral("ディスクが装置にありません。");
    default: break;
    }
    return QStringLiteral("システムのエラー（番号 %1）が起きました。").arg(errorNumber);
}

QString FailureText(const QString& path, int errorNumber) {
    return SystemReason(errorNumber) + u'\n' + path + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errorNumber));
}

bool CopyVerified(const QString& source, const QString& target, QString* error, bool* sourceUnreadable) {
    if (sourceUnreadable) *sourceUnreadable = false;
    QFile in(source);
    errno = 0;
    QByteArray bytes;
    if (in.open(QIODevice::ReadOnly)) bytes = in.readAll();
    if (!in.isOpen() || in.error() != QFileDevice::NoError) {
        *error = FailureText(source, errno != 0 ? errno : EIO);
        if (sourceUnreadable) *sourceUnreadable = true;
        return false;
    }
    if (!WriteWholeFile(target, bytes, error)) return false;
    QFile back(target);
    QByteArray read;
    if (back.open(QIODevice::ReadOnly)) read = back.readAll();
    if (!back.isOpen() || back.error() != QFileDevice::NoError || read.size() != bytes.size() || read != bytes) {
        *error = SystemReason(EIO) + QStringLiteral("\n%1: the copy does not match %2 (%3 of %4 bytes read back)")
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
    errno = 0;
    if (!out.open(QIODevice::WriteOnly)) {
        *error = FailureText(path, errno != 0 ? errno : EACCES);
        return false;
    }
    // A write the file system cuts short sets no error of the file's own.
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        const int saved = WriteErrno(errno);
        out.cancelWriting();
        *error = FailureText(path, saved);
        return false;
    }
    errno = 0;
    if (!out.commit()) {
        *error = FailureText(path, WriteErrno(errno));
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
    *error = FailureText(from + QStringLiteral(" -> ") + to, errno);
    return false;
}

bool RenameOver(const QString& from, const QString& to, QString* error) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    *error = FailureText(from + QStringLiteral(" -> ") + to, errno);
    return false;
}

bool RemoveFile(const QString& path, QString* error) {
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT) return true;
    *error = FailureText(path, errno);
    return false;
}

namespace {

bool Sync(const QString& path, int flags, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        // A folder some file systems cannot sync is not a failure.
        const int saved = errno;
        if (fd >= 0) ::close(fd);
        if ((flags & O_DIRECTORY) && (saved == EINVAL || saved == EBADF)) return true;
        *error = FailureText(path, saved);
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace

bool SyncFile(const QString& path, QString* error) { return Sync(path, O_RDONLY, error); }

bool SyncFolder(const QString& folder, QString* error) { return Sync(folder, O_RDONLY | O_DIRECTORY, error); }

bool KeepSecondName(const QString& from, const QString& to, QString* error) {
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
    const int saved = errno;
    if (saved != EPERM && saved != ENOTSUP && saved != EXDEV && saved != EMLINK) {
        *error = FailureText(to, saved);
        return false;
    }
    // No hard links here (a FAT disk): a copy, written whole before it is named.
    QFile in(from);
    errno = 0;
    QByteArray bytes;
    if (in.open(QIODevice::ReadOnly)) bytes = in.readAll();
    if (!in.isOpen() || in.error() != QFileDevice::NoError) {
        *error = FailureText(from, errno != 0 ? errno : EIO);
        return false;
    }
    const QString part = to + QStringLiteral(".part");
    if (!WriteWholeFile(part, bytes, error) || !SyncFile(part, error) || !RenameNoReplace(part, to, error)) {
        QFile::remove(part);
        return false;
    }
    return true;
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace disk
