// The two lookup libraries as the program meets them: registered, created by
// class identifier, shown modal and asked for the pick.
#include <QFileInfo>
#include <QProcess>

#include "core/Lookup.h"
#include "lookup/LookupClasses.h"
#include "tests/lookup/LookupFixture.h"

#if !defined(MURV_PELMORA) || !defined(MURV_DUNVASEL) || !defined(MURV_REGSVR)
#error "MURV_PELMORA, MURV_DUNVASEL and MURV_REGSVR must name the built libraries and the registration tool"
#endif

namespace {

using lookup::IClsDunvasel;
using lookup::IClsPelmora;
using test::Click;
using test::ClickIndex;
using test::WhenModal;

const QString kPelmora = QString::fromLatin1(lookup::kClsidClsPelmora);
const QString kDunvasel = QString::fromLatin1(lookup::kClsidClsDunvasel);
const QString kPelmoraLib = QStringLiteral(MURV_PELMORA);
const QString kDunvaselLib = QStringLiteral(MURV_DUNVASEL);

class LookupLibraryTest : public test::LookupTest {
protected:
    void SetUp() override {
        test::LookupTest::SetUp();
        ASSERT_EQ(RegSvr({kPelmoraLib}), 0);
        ASSERT_EQ(RegSvr({kDunvaselLib}), 0);
    }
    static int RegSvr(const QStringList& args) { return QProcess::execute(QStringLiteral(MURV_REGSVR), args); }
    template <class Cls>
    com::Ptr<Cls> Create(const QString& clsid) {
        QString error;
        com::Ptr<Cls> cls = com::CreateObjectAs<Cls>(clsid, &error);
        EXPECT_TRUE(cls) << error.toStdString();
        if (cls) cls->pcDataFile(DataFile()), cls->pcWorkFile(WorkFile());
        return cls;
    }
};

TEST_F(LookupLibraryTest, TheBuildRegistersBothLibrariesBesideTheProgram) {
    const QString registry = com::RegistryIn(QFileInfo(kPelmoraLib).absolutePath());
    ASSERT_TRUE(QFile::exists(registry)) << registry.toStdString();
    qputenv("MURV_COM_REGISTRY", QFile::encodeName(registry));
    EXPECT_EQ(com::RegisteredLibrary(kPelmora), kPelmoraLib);
    EXPECT_EQ(com::RegisteredLibrary(kDunvasel), kDunvaselLib);
}

TEST_F(LookupLibraryTest, RegistrationCreationByIdentifierAndCleanFailures) {
    EXPECT_EQ(com::RegisteredLibrary(kPelmora), kPelmoraLib);
    EXPECT_EQ(com::RegisteredLibrary(kDunvasel), kDunvaselLib);
    EXPECT_TRUE(Create<IClsPelmora>(kPelmora));
    EXPECT_TRUE(Create<IClsDunvasel>(kDunvasel));

    QString error;
    EXPECT_FALSE(com::CreateObjectAs<IClsDunvasel>(kPelmora, &error));  // another class's interface
    EXPECT_FALSE(com::CreateObject(QStringLiteral("{00000000-0000-0000-0000-00000000000A}"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("登録されていません")));

    ASSERT_EQ(RegSvr({QStringLiteral("-u"), kDunvaselLib}), 0);
    EXPECT_TRUE(com::RegisteredLibrary(kDunvasel).isEmpty());
    EXPECT_EQ(com::RegisteredLibrary(kPelmora), kPelmoraLib);
    EXPECT_FALSE(com::CreateObjectAs<IClsDunvasel>(kDunvasel, &error));  // loaded before, unregistered now
    EXPECT_TRUE(error.contains(kDunvasel));
}

TEST_F(LookupLibraryTest, AKanaButtonADoubleClickPickThenClosesWithoutAPickGiveNothing) {
    auto items = Create<IClsPelmora>(kPelmora);
    QString caption;
    QStringList underKa;
    QList<qsizetype> counts;
    bool enterKeptItOpen = false;
    WhenModal([&](QWidget* w) {
        caption = w->windowTitle();
        counts << test::ShownRows(w).size();
        ClickIndex(w, 36);  // ゐ: every row with a reading
        counts << test::ShownRows(w).size();
        ClickIndex(w, 5);  // か
        underKa = test::ShownRows(w);
        QTest::keyClick(w->findChild<QPushButton*>(QStringLiteral("cmd選択")), Qt::Key_Return);
        enterKeptItOpen = w->isVisible();
        test::DoubleClickRow(w, QStringLiteral("ｶﾞｿﾘﾝ代/ｶﾞｿﾘﾝだい"));
    });
    items->FormShow();
    EXPECT_EQ(caption, QStringLiteral("科目参照"));
    EXPECT_EQ(counts, (QList<qsizetype>{6, 5}));
    underKa.sort();
    EXPECT_EQ(underKa, (QStringList{QStringLiteral("カード手数料/カードてすうりょう"),
                                    QStringLiteral("会議費/かいぎひ"), QStringLiteral("ｶﾞｿﾘﾝ代/ｶﾞｿﾘﾝだい")}));
    EXPECT_TRUE(enterKeptItOpen);
    EXPECT_TRUE(items->SetRetVal().isNull());
    EXPECT_EQ(items->pc科目名().toString() + u'/' + items->pcふりがな().toString(),
              QStringLiteral("ｶﾞｿﾘﾝ代/ｶﾞｿﾘﾝだい"));

    WhenModal([](QWidget* w) { Click(w, QStringLiteral("cmd閉じる")); });
    items->FormShow();
    items->SetRetVal();
    EXPECT_EQ(items->pc科目名().toString() + items->pcふりがな().toString(), QString());

    items->pc科目名(QStringLiteral("set by the caller"));
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    items->FormShow();
    items->SetRetVal();
    EXPECT_EQ(items->pc科目名().toString(), QString());
}

TEST_F(LookupLibraryTest, ThePartnerWindowTakesAPickOnlyFromARowWithAName) {
    auto partners = Create<IClsDunvasel>(kDunvasel);
    bool stayedOpen = false;
    WhenModal([&](QWidget* w) {
        Click(w, QStringLiteral("cmdクリア"));
        Click(w, QStringLiteral("cmd選択"));
        stayedOpen = w->isVisible();
        ClickIndex(w, 0);  // あ: 青葉商店 and アサヒ運輸
        test::DoubleClickRow(w, QStringLiteral("アサヒ運輸/アサヒうんゆ"));
    });
    partners->FormShow();
    EXPECT_TRUE(stayedOpen);
    partners->SetRetVal();
    EXPECT_EQ(partners->pc取引先名().toString(), QStringLiteral("アサヒ運輸"));
}

TEST_F(LookupLibraryTest, InstancesOfOneLibraryShareThePickTheOtherLibraryDoesNotSeeIt) {
    WhenModal([](QWidget* w) { Click(w, QStringLiteral("cmd閉じる")); });
    Create<IClsDunvasel>(kDunvasel)->FormShow();
    WhenModal([](QWidget* w) {
        ClickIndex(w, 9);  // こ: 交通費 alone
        Click(w, QStringLiteral("cmd選択"));
    });
    Create<IClsPelmora>(kPelmora)->FormShow();  // released at once

    auto again = Create<IClsPelmora>(kPelmora);
    again->SetRetVal();  // without a showing of its own
    EXPECT_EQ(again->pc科目名().toString(), QStringLiteral("交通費"));
    auto partners = Create<IClsDunvasel>(kDunvasel);
    partners->SetRetVal();
    EXPECT_EQ(partners->pc取引先名().toString(), QString());
}

TEST_F(LookupLibraryTest, TheProgramsLookupWritesAPickAndNamesAClassItCannotCreate) {
    QString target = QStringLiteral("前の値");
    const auto write = [&](const QString& name, const QString& reading) { target = name + u'/' + reading; };
    WhenModal([](QWidget* w) { Click(w, QStringLiteral("cmd閉じる")); });
    EXPECT_FALSE(core::LookupItem(write));
    EXPECT_EQ(target, QStringLiteral("前の値"));
    WhenModal([](QWidget* w) {
        ClickIndex(w, 15);  // た: nothing; then こ
        ClickIndex(w, 9);
        Click(w, QStringLiteral("cmd選択"));
    });
    EXPECT_TRUE(core::LookupItem(write));
    EXPECT_EQ(target, QStringLiteral("交通費/こうつうひ"));
    EXPECT_TRUE(boxes_.Shown().isEmpty());

    ASSERT_EQ(RegSvr({QStringLiteral("-u"), kPelmoraLib}), 0);
    EXPECT_FALSE(core::LookupItem(write));
    ASSERT_EQ(boxes_.Shown().size(), 1);
    const QString text = boxes_.Shown().first().text;
    EXPECT_TRUE(text.contains(QStringLiteral("PrjPelmora")) && text.contains(kPelmora)) << text.toStdString();
    EXPECT_EQ(target, QStringLiteral("交通費/こうつうひ"));
}

}  // namespace
