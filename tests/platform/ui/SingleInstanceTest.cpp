// One running copy per program folder.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <QTemporaryDir>
#include <QUuid>
#include <cstring>

#include "platform/ui/SingleInstance.h"

namespace {

void EnsureApp() {
    if (!qApp) {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
}

// A key of its own for each test, and the lock file in a folder that goes
// with the test (not the temporary folder itself).
struct Copy {
    QTemporaryDir folder;
    QString key = QStringLiteral("murv-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    QString lock = ui::SingleInstance::LockFileForFolder(folder.path());
};

TEST(SingleInstance, ASecondClaimAsksTheFirstToComeForward) {
    EnsureApp();
    const Copy c;
    ui::SingleInstance first(c.key, c.lock);
    int activations = 0;
    ASSERT_TRUE(first.Claim([&] { ++activations; }));

    ui::SingleInstance second(c.key, c.lock);
    EXPECT_FALSE(second.Claim([] {}));
    QElapsedTimer t;
    t.start();
    while (activations == 0 && t.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(activations, 1);
}

TEST(SingleInstance, AStaleSocketLeftByACrashIsTakenOver) {
    EnsureApp();
    const Copy c;
    const QString& key = c.key;
    // A copy that crashed leaves its socket file behind with nobody listening.
    const QByteArray path = QFile::encodeName(QDir::tempPath() + u'/' + key);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.constData(), sizeof(addr.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));
    ui::SingleInstance copy(key, c.lock);
    EXPECT_TRUE(copy.Claim([] {}));
}

TEST(SingleInstance, TheLockDecidesEvenBeforeTheFirstCopyListens) {
    EnsureApp();
    const Copy c;
    ASSERT_TRUE(c.folder.isValid());
    const QString &key = c.key, &lock = c.lock;
    {
        ui::SingleInstance first(key, lock);
        ASSERT_TRUE(first.Claim([] {}));
        EXPECT_TRUE(first.HoldsLock());
        // A start that finds the lock held ends, whether or not it reaches the first copy.
        ui::SingleInstance second(key, lock);
        EXPECT_FALSE(second.Claim([] {}));
        EXPECT_FALSE(second.HoldsLock());
    }
    // Once the first copy ended, the lock file it leaves behind is taken over.
    ASSERT_TRUE(QFile::exists(lock));
    ui::SingleInstance later(key, lock);
    EXPECT_TRUE(later.Claim([] {}));
}

TEST(SingleInstance, KeysDifferPerProgramFolder) {
    EXPECT_NE(ui::SingleInstance::KeyForFolder(QStringLiteral("/opt/a")),
              ui::SingleInstance::KeyForFolder(QStringLiteral("/opt/b")));
    EXPECT_EQ(ui::SingleInstance::KeyForFolder(QStringLiteral("/opt/a")),
              ui::SingleInstance::KeyForFolder(QStringLiteral("/opt/a")));
}

}  // namespace
