#include "platform/ui/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace ui {

namespace {
constexpr int kWaitMs = 1000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");
}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), key_(key) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

QString SingleInstance::KeyForFolder(const QString& folder) {
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("PrjMURV-") + QString::fromLatin1(hash);
}

bool SingleInstance::Claim(std::function<void()> onActivate) {
    {
        QLocalSocket probe;
        probe.connectToServer(key_);
        if (probe.waitForConnected(kWaitMs)) {
            probe.write(kActivate);
            probe.waitForBytesWritten(kWaitMs);
            probe.disconnectFromServer();
            return false;
        }
    }
    // No copy answered: a socket left behind by a crash is stale.
    QLocalServer::removeServer(key_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(key_)) return true;  // still the only copy; it just cannot be found by others
    onActivate_ = std::move(onActivate);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, s, [this, s] {
                if (s->readAll().contains("activate") && onActivate_) onActivate_();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace ui
