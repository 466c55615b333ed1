#pragma once
// Only one copy of the program runs per program folder. The claim is a lock
// file in the program folder, held (flock) for the whole run: the kernel
// lets one process at a time hold it, and lets it go when that process ends,
// however it ends, so a lock file left behind by a crash is simply taken
// over. A start that cannot take the lock asks the running copy, through a
// local socket, to bring its window forward, and then ends.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace ui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the program copy (the local socket); `lockFile` is the
    // lock file, by default one named after the key in the temporary folder.
    explicit SingleInstance(const QString& key, const QString& lockFile = QString(), QObject* parent = nullptr);
    // The one copy of a program folder: its key and "<folder>/PrjMURV.lock".
    static SingleInstance* ForFolder(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process now holds the lock: it is the one running copy,
    // and it calls `onActivate` whenever a later start asks for the window.
    // False when another copy holds it: that copy has been asked to come
    // forward (when it answers within a few seconds).
    bool Claim(std::function<void()> onActivate);
    bool HoldsLock() const { return lockFd_ >= 0; }

    // The name of the local socket for a program folder.
    static QString KeyForFolder(const QString& folder);
    static QString LockFileForFolder(const QString& folder);

private:
    bool TakeLock();
    void AskRunningCopy();
    void Listen();

    QString key_;
    QString lockFile_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    std::function<void()> onActivate_;
};

}  // namespace ui
