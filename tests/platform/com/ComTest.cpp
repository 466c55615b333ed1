// Creating components by class identifier from libraries loaded at run time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/com/Com.h"
#include "tests/QtPrint.h"
#include "tests/platform/com/TestComponent.h"

#ifndef MURV_TEST_COMPONENT
#error "MURV_TEST_COMPONENT must name the test component library"
#endif
#ifndef MURV_REGSVR
#error "MURV_REGSVR must name the registration tool"
#endif

namespace {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        qputenv("MURV_COM_REGISTRY", QFile::encodeName(dir_.filePath(QStringLiteral("classes.reg"))));
    }
    int RegSvr(const QStringList& args) { return QProcess::execute(QStringLiteral(MURV_REGSVR), args); }
    QTemporaryDir dir_;
};

TEST_F(ComTest, RegistrationRoundTripThroughTheTool) {
    const QString lib = QStringLiteral(MURV_TEST_COMPONENT);
    ASSERT_EQ(RegSvr({lib}), 0);
    EXPECT_EQ(com::RegisteredLibrary(QString::fromLatin1(kTestCounterClsid)), lib);
    ASSERT_EQ(RegSvr({QStringLiteral("-u"), lib}), 0);
    EXPECT_TRUE(com::RegisteredLibrary(QString::fromLatin1(kTestCounterClsid)).isEmpty());
}

TEST_F(ComTest, InstancesShareTheirLibrarysState) {
    QString error;
    ASSERT_TRUE(com::Register(QString::fromLatin1(kTestCounterClsid), QStringLiteral(MURV_TEST_COMPONENT), &error));
    int first = 0;
    {
        auto a = com::CreateObjectAs<ITestCounter>(QString::fromLatin1(kTestCounterClsid), &error);
        ASSERT_TRUE(a) << error.toStdString();
        first = a->Next();
    }  // released; the library stays loaded
    auto b = com::CreateObjectAs<ITestCounter>(QString::fromLatin1(kTestCounterClsid).toLower(), &error);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Next(), first + 1);
}

TEST_F(ComTest, UnknownUnregisteredOrMissingClassesFailWithAMessage) {
    QString error;
    EXPECT_FALSE(com::CreateObject(QStringLiteral("{00000000-0000-0000-0000-000000000000}"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("登録されていません")));

    const QString gone = dir_.filePath(QStringLiteral("libgone.so"));
    ASSERT_TRUE(com::Register(QString::fromLatin1(kTestCounterClsid), gone, &error));
    error.clear();
    EXPECT_FALSE(com::CreateObject(QString::fromLatin1(kTestCounterClsid), &error));
    EXPECT_TRUE(error.contains(gone));
}

TEST_F(ComTest, EachProgramFolderKeepsARegistryOfItsOwn) {
    qunsetenv("MURV_COM_REGISTRY");
    EXPECT_EQ(com::RegistryPath(), com::RegistryIn(QCoreApplication::applicationDirPath()));
    const QString clsid = QString::fromLatin1(kTestCounterClsid);
    const auto readAll = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    // Two program folders, each with its copy of the library, each built in turn.
    QTemporaryDir first, second;
    const QString firstLib = first.filePath(QStringLiteral("libcounter.so"));
    const QString secondLib = second.filePath(QStringLiteral("libcounter.so"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MURV_TEST_COMPONENT), firstLib));
    ASSERT_TRUE(QFile::copy(QStringLiteral(MURV_TEST_COMPONENT), secondLib));
    ASSERT_EQ(RegSvr({firstLib}), 0);
    const QByteArray firstRegistry = readAll(com::RegistryIn(first.path()));
    EXPECT_TRUE(firstRegistry.contains("\tlibcounter.so\n")) << "the library beside it is named alone";
    ASSERT_EQ(RegSvr({secondLib}), 0);
    EXPECT_EQ(readAll(com::RegistryIn(first.path())), firstRegistry)
        << "the second folder's build left the first alone";
    EXPECT_FALSE(readAll(com::RegistryIn(second.path())).isEmpty());

    // A program reads the registry it is given and finds the library of that folder.
    qputenv("MURV_COM_REGISTRY", QFile::encodeName(com::RegistryIn(first.path())));
    EXPECT_EQ(com::RegisteredLibrary(clsid), firstLib);
    // A folder copied whole still names its own library.
    QTemporaryDir copy;
    ASSERT_TRUE(QFile::copy(com::RegistryIn(first.path()), com::RegistryIn(copy.path())));
    qputenv("MURV_COM_REGISTRY", QFile::encodeName(com::RegistryIn(copy.path())));
    EXPECT_EQ(com::RegisteredLibrary(clsid), copy.filePath(QStringLiteral("libcounter.so")));

    // Unregistering goes to the library's own folder too.
    qunsetenv("MURV_COM_REGISTRY");
    ASSERT_EQ(RegSvr({QStringLiteral("-u"), secondLib}), 0);
    EXPECT_FALSE(readAll(com::RegistryIn(second.path())).contains("libcounter.so"));
    EXPECT_EQ(readAll(com::RegistryIn(first.path())), firstRegistry);

    // No registry at all: the class is not registered, and the message says so.
    qputenv("MURV_COM_REGISTRY", QFile::encodeName(dir_.filePath(QStringLiteral("none/classes.reg"))));
    QString error;
    EXPECT_FALSE(com::CreateObject(clsid, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("登録されていません"))) << error.toStdString();
}

}  // namespace
