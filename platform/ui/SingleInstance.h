#pragma once
// Only one copy of the program runs per program folder. A second start asks
// the running copy to bring its window forward, and then ends.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace ui {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the program copy (for instance derived from its folder).
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one running copy; it then calls
    // `onActivate` whenever a later start asks for the window. False when
    // another copy answered: that copy has been asked to come forward.
    bool Claim(std::function<void()> onActivate);

    // The name of the local socket for a program folder.
    static QString KeyForFolder(const QString& folder);

private:
    QString key_;
    QLocalServer* server_ = nullptr;
    std::function<void()> onActivate_;
};

}  // namespace ui
