// Creating components by class identifier from libraries loaded at run time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/QtPrint.h"
#include "platform/com/Com.h"
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
    int RegSvr(const QStringList& args) {
        return QProcess::execute(QStringLiteral(MURV_REGSVR), args);
    }
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

}  // namespace
