// Start-up, the main menu and shut-down.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>

#include "core/Hint.h"
#include "core/MainMenu.h"
#include "core/Screens.h"
#include "platform/ui/SingleInstance.h"
#include "tests/support/ScreenFixture.h"

namespace {

using core::MainMenu;

class MainMenuTest : public test::ScreenTest {
protected:
    MainMenu& Start() {
        auto& menu = ui::Forms::Get<MainMenu>(QStringLiteral("MainMenu"));
        menu.Show();
        return menu;
    }
    void SetCompany(const QString& assignments) { ExecData(QStringLiteral("update 自社情報 set ") + assignments); }
    static QString Period(const QString& start, const QString& end) {
        return start + QStringLiteral(" ～\r\n") + QString(11, u' ') + end;
    }
};

TEST_F(MainMenuTest, StartUpWithNoPeriodShowsTheCalendarYearAndThePrompt) {
    MainMenu& menu = Start();
    EXPECT_EQ(menu.Caption(), QStringLiteral("MURV経費帳 Pro Ver 2.40"));
    EXPECT_EQ(menu.LblTitle.Caption(), QStringLiteral("保守で会計期間とタイトルを記入してください"));
    EXPECT_EQ(menu.Lbl期間.Caption(), Period(QStringLiteral("2026年01月01日"), QStringLiteral("2026年12月31日")));
    EXPECT_EQ(ModMurv::PeriodStart, QDate(2026, 1, 1));
    EXPECT_EQ(ModMurv::PeriodEnd, QDate(2026, 12, 31));
    EXPECT_TRUE(ModMurv::DbData.IsOpen());
    EXPECT_TRUE(ModMurv::DbWork.IsOpen());
    EXPECT_TRUE(boxes_.Shown().isEmpty());
    // Nothing was written back to the settings.
    EXPECT_EQ(CountData(QStringLiteral("select * from 自社情報 where isnull(開始日)")), 1);
}

TEST_F(MainMenuTest, ASetPeriodAndTitleAreShown) {
    SetCompany(QStringLiteral("タイトル = '山田商店 経費帳', 開始日 = #2026/04/01#, 終了日 = #2027/03/31#"));
    MainMenu& menu = Start();
    EXPECT_EQ(menu.LblTitle.Caption(), QStringLiteral("山田商店 経費帳"));
    EXPECT_EQ(menu.Lbl期間.Caption(), Period(QStringLiteral("2026年04月01日"), QStringLiteral("2027年03月31日")));
}

TEST_F(MainMenuTest, OneDateOnlyCountsAsNoPeriod) {
    SetCompany(QStringLiteral("タイトル = '山田商店', 開始日 = #2026/04/01#"));
    MainMenu& menu = Start();
    EXPECT_EQ(menu.LblTitle.Caption(), QStringLiteral("保守で会計期間とタイトルを記入してください"));
    EXPECT_EQ(ModMurv::PeriodStart, QDate(2026, 1, 1));
}

TEST_F(MainMenuTest, EraDatesUseTheFullNameForAStoredPeriodAndTheInitialForTheDefault) {
    SetCompany(QStringLiteral("年号 = '和暦', 開始日 = #2019/04/30#, 終了日 = #2019/05/01#"));
    EXPECT_EQ(Start().Lbl期間.Caption(),
              Period(QStringLiteral("平成31年04月30日"), QStringLiteral("令和01年05月01日")));
    ui::Forms::UnloadAll();
    ModMurv::ResetState();

    SetCompany(QStringLiteral("開始日 = null, 終了日 = null"));
    core::SetToday(QDate(2019, 3, 1));
    EXPECT_EQ(Start().Lbl期間.Caption(), Period(QStringLiteral("H31年01月01日"), QStringLiteral("R01年12月31日")));
}

TEST_F(MainMenuTest, TheTaxRateIsChosenOnceAtStartUp) {
    SetCompany(QStringLiteral("税率 = 0.08, 税率2 = 0.10, 税実施 = #2026/12/10#"));
    Start();
    EXPECT_DOUBLE_EQ(ModMurv::TaxRate, 0.08);  // today is the day before the change
}

TEST_F(MainMenuTest, AMissingDataFileIsNamedOnceAndNotCreated) {
    ASSERT_TRUE(QFile::remove(DataFile()));
    MainMenu& menu = Start();
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_TRUE(boxes_.Shown()[0].text.contains(DataFile()));
    EXPECT_EQ(boxes_.Shown()[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(boxes_.Shown()[0].icon, ui::MessageIcon::Warning);
    EXPECT_FALSE(QFile::exists(DataFile()));
    EXPECT_FALSE(ModMurv::DbData.IsOpen());
    EXPECT_TRUE(ModMurv::DbWork.IsOpen());
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(menu.cmd閉じる.isEnabled());
}

TEST_F(MainMenuTest, ScreensNotBuiltAreDisabledAndBuiltOnesOpenOnceWithTheMenuPushed) {
    core::RegisterScreen(QStringLiteral("FrmTestScreen"),
                         []() -> ui::Form& { return ui::Forms::Get<ui::Form>(QStringLiteral("FrmTestScreen")); });
    MainMenu& menu = Start();
    EXPECT_FALSE(menu.cmd保守.isEnabled());
    EXPECT_EQ(menu.cmd保守.ToolTipText(), core::kScreenNotAvailable);

    ui::Form* screen = core::ShowScreen(QStringLiteral("FrmTestScreen"), &menu);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ModMurv::FormNameStack[0], QStringLiteral("MainMenu"));
    EXPECT_EQ(core::ShowScreen(QStringLiteral("FrmTestScreen"), &menu), screen);
    EXPECT_EQ(ui::Forms::Count(), 2);
}

TEST_F(MainMenuTest, TheHintButtonOpensTheHintOnceAndThePictureOpensTheWebPage) {
    MainMenu& menu = Start();
    QTest::mouseClick(&menu.cmdヒント, Qt::LeftButton);
    auto* hint = qobject_cast<core::Hint*>(ui::Forms::Find(QStringLiteral("Hint")));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->lblFormName.Caption(), QStringLiteral("MainMenu"));
    EXPECT_EQ(hint->lblCtlName.Caption(), QStringLiteral("cmdヒント"));
    EXPECT_EQ(hint->lblFormTitle.Caption(), QStringLiteral("MURV経費帳 Pro Ver 2.40"));

    int loads = 0;
    QObject::connect(hint, &ui::Form::Loaded, [&] { ++loads; });
    QTest::mouseClick(&menu.cmdヒント, Qt::LeftButton);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("Hint")), hint);
    EXPECT_EQ(loads, 0);

    QTest::mouseClick(&menu.Image1, Qt::LeftButton);
    ASSERT_EQ(openedUrls_.size(), 1);
    EXPECT_EQ(openedUrls_[0].host(), QStringLiteral("www.example.com"));
}

TEST_F(MainMenuTest, ClosingTheMenuUnloadsEveryScreenThenClosesBothConnections) {
    MainMenu& menu = Start();
    QTest::mouseClick(&menu.cmdヒント, Qt::LeftButton);
    ASSERT_EQ(ui::Forms::Count(), 2);
    bool dataOpenWhileHintUnloads = false;
    QObject::connect(ui::Forms::Find(QStringLiteral("Hint")), &ui::Form::Unloaded,
                     [&] { dataOpenWhileHintUnloads = ModMurv::DbData.IsOpen(); });
    QTest::mouseClick(&menu.cmd閉じる, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Forms::Count(), 0);
    EXPECT_TRUE(dataOpenWhileHintUnloads);
    EXPECT_FALSE(ModMurv::DbData.IsOpen());
    EXPECT_FALSE(ModMurv::DbWork.IsOpen());
}

#ifdef MURV_PROGRAM
// A copy of the program in the test's program folder. A copy killed as a crash
// would leaves its socket in the temporary folder: it goes with the copy.
struct ProgramCopy {
    QString path;
    explicit ProgramCopy(const QString& folder) : path(QDir(folder).filePath(QStringLiteral("PrjMURV"))) {}
    ~ProgramCopy() { QLocalServer::removeServer(ui::SingleInstance::KeyForFolder(QFileInfo(path).canonicalPath())); }
    bool Make() const { return QFile::copy(QStringLiteral(MURV_PROGRAM), path); }
};

TEST_F(MainMenuTest, ASecondStartEndsAtOnceWhileTheFirstRuns) {
    // A program folder of its own: the program and its data folder.
    const ProgramCopy copy(folder_.path());
    ASSERT_TRUE(copy.Make());
    const QString& program = copy.path;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted());
    QTest::qWait(1500);
    ASSERT_EQ(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    EXPECT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

TEST_F(MainMenuTest, TwoStartsAtTheSameMomentLeaveOneCopyRunning) {
    const ProgramCopy copy(folder_.path());
    ASSERT_TRUE(copy.Make());
    const QString& program = copy.path;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (int trial = 0; trial < 20; ++trial) {
        QProcess a, b;
        for (QProcess* p : {&a, &b}) p->setProcessEnvironment(env);
        a.start(program, {});
        b.start(program, {});
        ASSERT_TRUE(a.waitForStarted() && b.waitForStarted());
        // One of the two ends by itself; the other keeps running.
        QElapsedTimer t;
        t.start();
        while (a.state() == QProcess::Running && b.state() == QProcess::Running && t.elapsed() < 10000)
            QTest::qWait(20);
        QTest::qWait(300);
        const int running = int(a.state() == QProcess::Running) + int(b.state() == QProcess::Running);
        EXPECT_EQ(running, 1) << "trial " << trial;
        for (QProcess* p : {&a, &b}) {
            if (p->state() == QProcess::Running) {
                p->kill();  // as a crash would: the next trial takes the lock over
            } else {
                EXPECT_EQ(p->exitCode(), 0) << "trial " << trial;
            }
            p->waitForFinished();
        }
    }
}
#endif

TEST_F(MainMenuTest, AReplacementOfTheDataFileCutShortIsFinishedAtStartUp) {
    // Killed between the two renames of the replacement: only ".old" and ".new" are there.
    SetCompany(QStringLiteral("タイトル = '前の帳簿'"));
    ASSERT_TRUE(QFile::copy(DataFile(), DataFile() + QStringLiteral(".old")));
    SetCompany(QStringLiteral("タイトル = '読み込んだ帳簿'"));
    ASSERT_TRUE(QFile::rename(DataFile(), DataFile() + QStringLiteral(".new")));
    Start();
    EXPECT_EQ(ModMurv::CompanyTitle.toString(), QStringLiteral("読み込んだ帳簿"));
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_TRUE(boxes_.Shown()[0].text.contains(QStringLiteral("置き換えを終え")))
        << boxes_.Shown()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(DataFile() + QStringLiteral(".new")));
    ui::Forms::UnloadAll();

    // Only the safety copy: the book before the replacement comes back.
    ModMurv::DbData.Close();
    ASSERT_TRUE(QFile::remove(DataFile()));
    boxes_.Clear();
    Start();
    EXPECT_EQ(ModMurv::CompanyTitle.toString(), QStringLiteral("前の帳簿"));
    EXPECT_EQ(boxes_.Shown().size(), 1);
}

TEST_F(MainMenuTest, WorkFilesOfOperationsThatDidNotFinishAreRemovedAtStartUp) {
    const QStringList left{".year-end-a1B2c3.tmp", ".year-end-a1B2c3.tmp-journal",
                           "MurvData2K.mdb.new",   "MURVDATA.MDB",
                           "murvdata.lzh",         "Murvctl",
                           ".unpack-Xy12ab"};
    const QStringList kept{"2005年度.mdb", "MurvData2K.mdb.old", "murv_d001"};
    for (const QString& name : left + kept) {
        QFile f(DataFolder() + u'/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // The restore's folder of its exact shape goes; a folder of the user's that starts alike stays whole.
    ASSERT_TRUE(QDir(DataFolder()).mkpath(".restore-aB3xY9/sub") && QDir(DataFolder()).mkpath(".restore-mine/控え"));
    Start();
    QStringList expected = kept + QStringList{core::kDataFileName, core::kWorkFileName, core::kTemplateFileName};
    expected.sort();
    QStringList files = QDir(DataFolder()).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    EXPECT_EQ(files, expected);
    EXPECT_TRUE(QDir(DataFolder()).exists(".restore-mine/控え") && !QDir(DataFolder()).exists(".restore-aB3xY9"));
    EXPECT_TRUE(boxes_.Shown().isEmpty());
}

}  // namespace
