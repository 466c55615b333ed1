#include "platform/ui/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace ui {

namespace {
constexpr int kWaitMs = 1000;
// How long a start that lost the lock keeps trying to reach the winner,
// which may still be setting up its socket.
constexpr int kAskForMs = 3000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");

int OpenForLock(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A program folder the user may not write to: the folder itself is
    // locked instead (flock works on a folder opened for reading).
    if (fd < 0) fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    return fd;
}
}  // namespace

SingleInstance::SingleInstance(const QString& key, const QString& lockFile, QObject* parent)
    : QObject(parent),
      key_(key),
      lockFile_(lockFile.isEmpty() ? QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock")) : lockFile) {}

SingleInstance* SingleInstance::ForFolder(const QString& folder, QObject* parent) {
    return new SingleInstance(KeyForFolder(folder), LockFileForFolder(folder), parent);
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lockFd_ >= 0) ::close(lockFd_);  // lets the lock go
}

QString SingleInstance::KeyForFolder(const QString& folder) {
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("PrjMURV-") + QString::fromLatin1(hash);
}

QString SingleInstance::LockFileForFolder(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("PrjMURV.lock"));
}

bool SingleInstance::TakeLock() {
    if (lockFd_ >= 0) return true;
    const int fd = OpenForLock(lockFile_);
    if (fd < 0) return true;  // nothing to lock with: this copy runs unguarded rather than not at all
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool SingleInstance::Claim(std::function<void()> onActivate) {
    if (!TakeLock()) {
        AskRunningCopy();
        return false;
    }
    onActivate_ = std::move(onActivate);
    Listen();
    return true;
}

void SingleInstance::AskRunningCopy() {
    const QDeadlineTimer deadline(kAskForMs);
    while (!deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(key_);
        if (probe.waitForConnected(kWaitMs)) {
            probe.write(kActivate);
            probe.waitForBytesWritten(kWaitMs);
            probe.disconnectFromServer();
            return;
        }
        QThread::msleep(50);
    }
}

void SingleInstance::Listen() {
    // Holding the lock, this copy owns the socket name: a socket file that
    // is still there was left by a copy that ended.
    QLocalServer::removeServer(key_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(key_)) return;  // still the only copy; it just cannot be brought forward
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, s, [this, s] {
                if (s->readAll().contains("activate") && onActivate_) onActivate_();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
}

}  // namespace ui
