#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QRegularExpression>
#include <cerrno>

#include "core/DataFiles.h"
#include "core/MainMenu.h"
#include "core/Schema.h"
#include "maintenance/Backup.h"
#include "maintenance/FrmHosyu.h"
#include "platform/disk/FileOps.h"
#include "tests/maintenance/BackupFixture.h"

// While watched, the names each folder held at its last sync in this test program.
bool g_watchSyncs = false;
QHash<QString, QStringList> g_lastSync;

extern "C" int fsync(int fd) {
    struct stat st {};
    if (g_watchSyncs && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        const QString folder = QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget();
        g_lastSync[folder] = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

using test::BackupTest;
using ui::Answer;

class CopiesTest : public BackupTest {
protected:
    void SetUp() override {
        BackupTest::SetUp();
        ASSERT_TRUE(test::FillExpenseLines(ModMurv::DbData, 500));
        target_ = folder_.path() + QStringLiteral("/my backups/copy of data.mdb");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target_).absolutePath()));
    }
    static qint64 LinesIn(const QString& path) {
        db::Database d;
        if (!d.Open(path)) return -1;
        return d.OpenRecordset(QStringLiteral("select count(*) from 取引明細")).Value(0).toLongLong();
    }
    QString target_;
};

TEST_F(CopiesTest, SavingACopyAsksBeforeReplacingAndTakesThePathWhole) {
    dialogs_.QueuePath(target_);
    maintenance::SaveDataFileToHdd(nullptr);
    ASSERT_EQ(dialogs_.Requests().size(), 1);
    const ui::FileDialogRequest& request = dialogs_.Requests().first();
    EXPECT_EQ(request.kind, ui::FileDialogRequest::Kind::Save);
    EXPECT_EQ(request.title, QStringLiteral("ファイルの保存..."));
    EXPECT_EQ(request.initialName, QStringLiteral("Murvdata.mdb"));
    EXPECT_EQ(request.nameFilters, QStringList({QStringLiteral("MDB ファイル(*.mdb) (*.mdb)")}));
    ASSERT_EQ(Texts(), QStringList({target_ + QStringLiteral(" にコピーしました。")}));
    EXPECT_EQ(disks_.Shown().first().title, QStringLiteral("コピー完了"));
    EXPECT_EQ(LinesIn(target_), 500);

    // Declined: nothing changes and nothing is said to be done.
    ASSERT_TRUE(test::FillExpenseLines(ModMurv::DbData, 100, 501));
    disks_.Clear();
    dialogs_.QueuePath(target_);
    disks_.QueueAnswer(Answer::No);
    maintenance::SaveDataFileToHdd(nullptr);
    ASSERT_EQ(Texts(), QStringList({target_ + QStringLiteral(" は既にあります。置き換えますか。")}));
    EXPECT_EQ(disks_.Shown().first().defaultButton, Answer::No);
    EXPECT_EQ(LinesIn(target_), 500);

    // Accepted: the copy is replaced whole, and no temporary file stays beside it.
    disks_.Clear();
    dialogs_.QueuePath(target_);
    disks_.QueueAnswer(Answer::Yes);
    maintenance::SaveDataFileToHdd(nullptr);
    EXPECT_EQ(Texts().last(), target_ + QStringLiteral(" にコピーしました。"));
    EXPECT_EQ(LinesIn(target_), 600);
    EXPECT_EQ(QDir(QFileInfo(target_).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("copy of data.mdb")}));

    // The data file itself, and a folder that cannot be written, are refused without a completion.
    for (const QString& path : {DataFile(), QStringLiteral("/proc/no-such-folder/x.mdb")}) {
        disks_.Clear();
        dialogs_.QueuePath(path);
        maintenance::SaveDataFileToHdd(nullptr);
        ASSERT_EQ(disks_.Shown().size(), 1) << path.toStdString();
        EXPECT_EQ(disks_.Shown().first().icon, ui::MessageIcon::Warning);
        EXPECT_FALSE(Texts().first().contains(QStringLiteral("コピーしました。")));
    }
    EXPECT_EQ(LineCount(), 600);

    // A cancelled dialog does nothing.
    disks_.Clear();
    dialogs_.QueueCancel();
    maintenance::SaveDataFileToHdd(nullptr);
    EXPECT_TRUE(disks_.Shown().isEmpty());
}

TEST_F(CopiesTest, ACopyAndABackupAreOnTheDiskWhenTheySayDone) {
    g_watchSyncs = true;
    dialogs_.QueuePath(target_);
    maintenance::SaveDataFileToHdd(nullptr);
    maintenance::FDDBuckUp(drive_, nullptr);
    // The year-end's archive, before the period's lines leave the data file.
    const QString archive = folder_.path() + QStringLiteral("/year/2005.mdb"), model = archive + QStringLiteral(".org");
    QString error;
    db::Failure why;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(archive).path()) &&
                core::CreateDatabaseFile(model, core::DataFileKind::Template, &error));
    ASSERT_TRUE(
        maintenance::MakeYearEndArchive(DataFile(), model, archive, QDate(2005, 1, 1), QDate(2005, 12, 31), &why))
        << why.text.toStdString();
    g_watchSyncs = false;
    EXPECT_EQ(g_lastSync.value(QFileInfo(target_).canonicalPath()), QStringList({QStringLiteral("copy of data.mdb")}));
    EXPECT_EQ(g_lastSync.value(QDir(Floppy(1)).canonicalPath()),
              QStringList({QStringLiteral("Murvctl"), QStringLiteral("murvdata.lzh")}));
    EXPECT_TRUE(g_lastSync.value(QFileInfo(archive).canonicalPath()).contains(QStringLiteral("2005.mdb")));
}

TEST_F(CopiesTest, ASaveRemovesTheCopiesACutShortSaveLeftInItsFolderAndNoOtherFile) {
    const QDir folder(QFileInfo(target_).absolutePath());
    const QStringList stale{QStringLiteral(".murv-copy-a1B2c3.mdb"), QStringLiteral(".murv-copy-a1B2c3.mdb-journal"),
                            QStringLiteral(".murv-copy-ZZ9zz9.mdb")};
    QStringList others{QStringLiteral(".murv-copy-notes.txt"), QStringLiteral(".murv-copy-abc.mdb"),
                       QStringLiteral("murv-copy-a1B2c3.mdb"), QStringLiteral(".murv-copy-a1B2c3.mdb.bak")};
    for (const QString& name : stale + others) WriteFile(folder.filePath(name), "left");
    dialogs_.QueuePath(target_);
    maintenance::SaveDataFileToHdd(nullptr);
    others << QStringLiteral("copy of data.mdb");
    others.sort();
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), others);
}

TEST_F(CopiesTest, ReadingACopyReplacesTheDataInUseAndReloadsTheSettings) {
    auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
    menu.Load();
    ASSERT_TRUE(ModMurv::DbData.IsOpen());
    // Another book: 20 lines and a title of its own.
    const QString other = folder_.path() + QStringLiteral("/other book/経費 2025.mdb");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(other).absolutePath()));
    QString error;
    ASSERT_TRUE(core::CreateDatabaseFile(other, core::DataFileKind::Data, &error)) << error.toStdString();
    {
        db::Database d;
        ASSERT_TRUE(d.Open(other));
        ASSERT_TRUE(test::FillExpenseLines(d, 20));
        ASSERT_TRUE(d.Execute(
            QStringLiteral("update 自社情報 set タイトル = '別の会社', 開始日 = #2025/04/01#, 終了日 = #2026/03/31#")));
    }
    const QByteArray otherBytes = Bytes(other);

    // Declining the replace question keeps the data in use.
    dialogs_.QueuePath(other);
    disks_.QueueAnswer(Answer::No);
    maintenance::ReadDataFileFromHdd(nullptr);
    EXPECT_EQ(Texts(), QStringList({DataFile() + QStringLiteral(" は既にあります。置き換えますか。")}));
    EXPECT_EQ(dialogs_.Requests().first().title, QStringLiteral("ファイルの読込..."));
    EXPECT_EQ(dialogs_.Requests().first().kind, ui::FileDialogRequest::Kind::Open);
    EXPECT_EQ(LineCount(), 500);

    disks_.Clear();
    dialogs_.QueuePath(other);
    disks_.QueueAnswer(Answer::Yes);
    maintenance::ReadDataFileFromHdd(nullptr);
    EXPECT_EQ(Texts().last(), DataFile() + QStringLiteral(" に読込みしました。"));
    EXPECT_EQ(disks_.Shown().last().title, QStringLiteral("読込完了"));
    EXPECT_EQ(LineCount(), 20);
    EXPECT_EQ(ModMurv::CompanyTitle.toString(), QStringLiteral("別の会社"));
    EXPECT_EQ(menu.LblTitle.Caption(), QStringLiteral("別の会社"));
    EXPECT_EQ(Bytes(other), otherBytes);  // the chosen file is only read
    EXPECT_EQ(LinesIn(DataFile() + QStringLiteral(".old")), 500);

    // A file that is not a data file, or is damaged, leaves the data in use as it was.
    const QString notData = folder_.path() + QStringLiteral("/notes.mdb");
    QFile n(notData);
    ASSERT_TRUE(n.open(QIODevice::WriteOnly));
    n.write(QByteArray("SQLite format 3\0", 16) + QByteArray(5000, 'x'));
    n.close();
    const QByteArray live = Bytes(DataFile());
    for (const QString& path : {notData, DataFile()}) {
        disks_.Clear();
        dialogs_.QueuePath(path);
        disks_.QueueAnswer(Answer::Yes);
        maintenance::ReadDataFileFromHdd(nullptr);
        ASSERT_FALSE(disks_.Shown().isEmpty());
        EXPECT_EQ(disks_.Shown().last().icon, ui::MessageIcon::Warning) << path.toStdString();
        EXPECT_FALSE(Texts().last().contains(QStringLiteral("読込みしました。")));
        EXPECT_EQ(Bytes(DataFile()), live);
        EXPECT_EQ(LineCount(), 20);
    }
    EXPECT_FALSE(QFileInfo::exists(DataFile() + QStringLiteral(".new")));
}

// A book with a trigger of its own is neither read in nor started with; no connection trusts or rewrites a schema.
TEST_F(CopiesTest, ABookWithATriggerTheProgramDoesNotMakeIsRefusedAndNothingChanges) {
    const QString other = folder_.path() + QStringLiteral("/restored.mdb");
    ASSERT_TRUE(ModMurv::DbData.ExecuteNative(QStringLiteral(
        "create trigger t after insert on 取引明細 begin delete from 取引明細 where rowid <> new.rowid; end")));
    ASSERT_TRUE(ModMurv::DbData.SnapshotTo(other));
    ASSERT_TRUE(ModMurv::DbData.ExecuteNative(QStringLiteral("drop trigger t")));
    const QString reason = QStringLiteral("表「取引明細」に経費帳にないトリガー「t」があります。");
    const QByteArray live = Bytes(DataFile());
    dialogs_.QueuePath(other);
    disks_.QueueAnswer(Answer::Yes);
    EXPECT_FALSE(maintenance::ReadDataFileFromHdd(nullptr));
    EXPECT_TRUE(Texts().last().startsWith(
        QStringLiteral("このファイルはデータファイルとして使えません。現在のデータはそのままです。\n") + reason))
        << Texts().last().toStdString();
    EXPECT_EQ(Bytes(DataFile()), live);

    // The same book as the data file at start-up: refused as it is.
    ModMurv::DbData.Close();
    ASSERT_TRUE(QFile::remove(DataFile()) && QFile::copy(other, DataFile()));
    const core::DataFilesOutcome opened = core::OpenDataFiles(false);
    EXPECT_FALSE(opened.dataOpen);
    EXPECT_TRUE(opened.problems.value(0).contains(QStringLiteral("はデータファイルとして使えません。") + reason))
        << opened.problems.value(0).toStdString();
    EXPECT_EQ(Bytes(DataFile()), Bytes(other));

    db::Database d;
    ASSERT_TRUE(d.Open(other));
    EXPECT_EQ(d.OpenRecordset(QStringLiteral("select * from pragma_trusted_schema")).Value(0).toInt(), 0);
    (void)d.ExecuteNative(QStringLiteral("PRAGMA writable_schema = ON"));
    EXPECT_FALSE(d.ExecuteNative(QStringLiteral("update sqlite_master set sql = 'x' where name = 't'")));
}

TEST_F(CopiesTest, AFullOrUnwritableFolderIsSaidInJapaneseAndNotBlamedOnTheFile) {
    // Every system reason reads in Japanese (the system's English may only follow it).
    for (int e :
         {ENOSPC, EACCES, EROFS, EPERM, ENOENT, EEXIST, EISDIR, ENOTDIR, EIO, EXDEV, EMFILE, ENAMETOOLONG, EBUSY}) {
        const QString reason = disk::SystemReason(e);
        EXPECT_TRUE(reason.endsWith(u'。') && !reason.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))) &&
                    !reason.contains(QStringLiteral("番号")))
            << e;
    }
    dialogs_.QueuePath(QStringLiteral("/proc/x.mdb"));
    maintenance::SaveDataFileToHdd(nullptr);
    EXPECT_EQ(Texts().last().section(u'\n', 1, 1), disk::SystemReason(ENOENT)) << Texts().last().toStdString();

    test::SmallDisk small;
    const QString folder = folder_.path() + QStringLiteral("/small");
    if (!small.Mount(folder)) GTEST_SKIP() << "a small disk needs root";
    const QString sound = folder_.path() + QStringLiteral("/sound.mdb");
    ASSERT_TRUE(ModMurv::DbData.SnapshotTo(sound));
    UseDataFolder(folder);
    maintenance::FDDBuckUp(drive_, nullptr);  // a set to restore
    ModMurv::OrgDataFilePath = QDir(DataFolder()).filePath(core::kTemplateFileName);
    ASSERT_TRUE(ModMurv::DbData.Execute(
        "update 自社情報 set タイトル = '2026年', 開始日 = #2026/01/01#, 終了日 = #2026/12/31#"));
    ASSERT_TRUE(small.LeaveFree(8192));
    disks_.Clear();
    dialogs_.QueuePath(sound);
    disks_.QueueAnswer(Answer::Yes);
    EXPECT_FALSE(maintenance::ReadDataFileFromHdd(nullptr));
    const QString text = Texts().last();
    EXPECT_TRUE(text.startsWith(QStringLiteral("データフォルダに書き込めないため"))) << text.toStdString();
    EXPECT_EQ(text.section(u'\n', 1, 1), disk::SystemReason(ENOSPC));
    EXPECT_FALSE(text.contains(QStringLiteral("Unknown error")) || text.contains(QStringLiteral("使えません")));
    EXPECT_EQ(LineCount(), 500);
    // Each writing action on the full disk: its reason in Japanese, no line of the system's own.
    maintenance::FDDBuckUp(drive_, nullptr);
    maintenance::RestoreMV(drive_, nullptr);
    dialogs_.QueuePath(folder + QStringLiteral("/saved.mdb"));
    maintenance::SaveDataFileToHdd(nullptr);
    auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
    f.Show();
    f.txt次期タイトル.SetText(QStringLiteral("2027年"));
    f.cmd更新.click();
    EXPECT_EQ(Texts().filter(disk::SystemReason(ENOSPC)).size(), 5);
    EXPECT_FALSE(Texts().join(u'|').remove(QRegularExpression("/\\S*|MuRv")).contains(QRegularExpression("[A-Za-z]")));
}

}  // namespace
