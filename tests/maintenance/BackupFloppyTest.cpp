#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QRegularExpression>

#include "maintenance/Backup.h"
#include "maintenance/BackupRules.h"
#include "platform/lzh/Archive.h"
#include "platform/lzh/Unlha.h"
#include "tests/maintenance/BackupFixture.h"

namespace {

using test::BackupTest;
using ui::Answer;

const QString kNoDisk = QStringLiteral("フロッピーディスクがセットされていません。確認してください。");

class FloppyTest : public BackupTest {
protected:
    void SetUp() override {
        BackupTest::SetUp();
        ASSERT_TRUE(test::FillExpenseLines(ModMurv::DbData, 3000));
        lines_ = LineCount();
        sum_ = AmountSum();
    }

    // Random bytes, in a table of the book's own (a restore takes no other), make the archive need several disks.
    void AddIncompressible(qsizetype bytes) {
        ASSERT_TRUE(ModMurv::DbData.ExecuteNative(
            QStringLiteral("insert into MvHint (FormName, Contents) select '添付', hex(randomblob(%1)) "
                           "from (select 1 union all select 2 union all select 3)")
                .arg(bytes / 3)));
    }

    void Backup() {
        captions_.clear();
        maintenance::FDDBuckUp(drive_, [this](const QString& caption) { captions_ << caption; });
    }
    void Restore() {
        captions_.clear();
        maintenance::RestoreMV(drive_, [this](const QString& caption) { captions_ << caption; });
    }
    void LoseEveryLine() {
        ASSERT_TRUE(ModMurv::DbData.Execute(QStringLiteral("delete * from 取引明細")));
        ASSERT_EQ(LineCount(), 0);
    }

    // A one-disk set as another program may name its files, of the file packed under each name.
    void MakeSet(const QStringList& names, const QString& file) {
        QByteArray bytes;
        QString error;
        const QString part = folder_.path() + QStringLiteral("/part.lzh");
        for (const QString& name : names) {
            QFile::remove(part);
            EXPECT_EQ(lzh::WriteArchive(part, file, name, nullptr, &error), lzh::Status::Ok);
            bytes += Bytes(part).chopped(1);  // without its end marker
        }
        WriteFile(Floppy(1) + QStringLiteral("/MURVDATA.LZH"), bytes + '\0');
        WriteFile(Floppy(1) + QStringLiteral("/MURVCTL"), "MurvFddNum= 1");
    }

    qint64 lines_ = 0;
    double sum_ = 0;
    QStringList captions_;
};

TEST_F(FloppyTest, OneDiskBackupAndRestoreBringBackEveryLine) {
    // The disk holds a file of the user's and a piece of an older, longer set.
    QFile photo(Floppy(1) + QStringLiteral("/photo.jpg"));
    ASSERT_TRUE(photo.open(QIODevice::WriteOnly));
    photo.write("not ours");
    photo.close();
    QFile old(Floppy(1) + QStringLiteral("/MURV_D002"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    ASSERT_TRUE(QDir().mkpath(Floppy(1) + QStringLiteral("/folder")));

    Backup();
    QStringList texts = Texts();
    ASSERT_EQ(texts.size(), 4) << texts.join(u'|').toStdString();
    const QRegularExpression figures(QStringLiteral("\\d[\\d.]*"));
    EXPECT_EQ(QString(texts[0]).replace(figures, QStringLiteral("9")),
              QStringLiteral("[書庫ファイル ＯＫ]\r\nMurvdata.mdb  9 バイトを 9 バイト（9%）に圧縮しました\n"));
    EXPECT_EQ(disks_.Shown()[0].title, QStringLiteral("MURV経費帳 Pro Ver 2.40"));
    EXPECT_EQ(texts[1], QStringLiteral("1 枚のフロッピーディスクを準備してださい。"));
    EXPECT_EQ(disks_.Shown()[1].buttons, ui::MessageButtons::OkCancel);
    EXPECT_EQ(disks_.Shown()[1].title, QStringLiteral("フロッピーディスクへの保存"));
    EXPECT_EQ(texts[2], QStringLiteral("1/ 1枚目のフロッピーディスクをセットしてください。"));
    EXPECT_EQ(texts[3], QStringLiteral("保存が終了しました。"));
    EXPECT_EQ(captions_, QStringList({QStringLiteral("1/ 1 枚目のフロッピーディスクに保存中です･･･"), QString()}));

    // Only the set's own files were replaced; the control file is 13 bytes.
    EXPECT_EQ(FilesOn(1),
              QStringList({QStringLiteral("Murvctl"), QStringLiteral("murvdata.lzh"), QStringLiteral("photo.jpg")}));
    EXPECT_TRUE(QDir(Floppy(1) + QStringLiteral("/folder")).exists());
    EXPECT_EQ(Bytes(Floppy(1) + QStringLiteral("/Murvctl")), QByteArray("MurvFddNum= 1"));
    // The archive is one the standard tool reads, and the work files are gone.
    EXPECT_EQ(Lhasa({QStringLiteral("t"), Floppy(1) + QStringLiteral("/murvdata.lzh")}, Floppy(1)), 0);
    EXPECT_FALSE(WorkFiles().contains(QStringLiteral("murvdata.lzh")));
    EXPECT_FALSE(WorkFiles().contains(QStringLiteral("Murvctl")));
    EXPECT_FALSE(WorkFiles().contains(QStringLiteral("Murvdata.mdb")));

    LoseEveryLine();
    disks_.Clear();
    Insert(0);
    Restore();
    texts = Texts();
    ASSERT_EQ(texts.size(), 5) << texts.join(u'|').toStdString();
    EXPECT_EQ(texts[0], QStringLiteral("MuRv経費帳をバックアップしたフロッピーディスクの「1」をセットしてださい。"));
    EXPECT_EQ(texts[1], QStringLiteral("フロッピーディスクは 1 枚です。よろしいですか。"));
    EXPECT_EQ(texts[2], QStringLiteral("1/ 1枚目のフロッピーディスクをセットしてください。"));
    EXPECT_EQ(QString(texts[3]).replace(figures, QStringLiteral("9")),
              QStringLiteral("[書庫解凍 ＯＫ]\r\nMurvdata.mdb  9 バイトを解凍しました\n"));
    EXPECT_EQ(texts[4], QStringLiteral("読込が終了しました。"));
    EXPECT_EQ(captions_, QStringList({QStringLiteral("1/ 1 枚目のフロッピーディスクを読込中です･･･"), QString()}));

    EXPECT_EQ(LineCount(), lines_);
    EXPECT_EQ(AmountSum(), sum_);
    EXPECT_FALSE(WorkFiles().contains(QStringLiteral("murvdata.lzh")));
    EXPECT_FALSE(WorkFiles().contains(QStringLiteral("Murvdata.mdb")));
    // The file the restore replaced is kept once.
    EXPECT_TRUE(WorkFiles().contains(core::kDataFileName + QStringLiteral(".old")));
}

TEST_F(FloppyTest, ThreeDiskBackupAndRestoreWithDisksSwappedBetweenPrompts) {
    AddIncompressible(3600000);
    probe_.writeProtected.insert(QFileInfo(Floppy(2)).canonicalFilePath());
    int protectedPrompts = 0;
    onDisk = [&](int k) {
        // Disk 2 is write-protected the first time it is put in; then the user slides the tab.
        if (k == 2 && !probe_.writeProtected.isEmpty() && ++protectedPrompts == 2) probe_.writeProtected.clear();
        return false;
    };
    Backup();
    QStringList texts = Texts();
    EXPECT_EQ(texts[1], QStringLiteral("3 枚のフロッピーディスクを準備してださい。"));
    EXPECT_EQ(texts.count(QStringLiteral("フロッピーディスクが書き込み可能ではありません。確認してください。")), 1);
    EXPECT_EQ(texts.count(QStringLiteral("2/ 3枚目のフロッピーディスクをセットしてください。")), 2);
    EXPECT_EQ(texts.last(), QStringLiteral("保存が終了しました。"));

    // Disk k holds piece k, disk 1 the control file too; the pieces join to the archive.
    EXPECT_EQ(FilesOn(1), QStringList({QStringLiteral("Murvctl"), QStringLiteral("murv_d001")}));
    EXPECT_EQ(FilesOn(2), QStringList({QStringLiteral("murv_d002")}));
    EXPECT_EQ(FilesOn(3), QStringList({QStringLiteral("murv_d003")}));
    EXPECT_EQ(Bytes(Floppy(1) + QStringLiteral("/Murvctl")), QByteArray("MurvFddNum= 3"));
    const QByteArray p1 = Bytes(Floppy(1) + QStringLiteral("/murv_d001"));
    const QByteArray p2 = Bytes(Floppy(2) + QStringLiteral("/murv_d002"));
    const QByteArray p3 = Bytes(Floppy(3) + QStringLiteral("/murv_d003"));
    EXPECT_EQ(p1.size(), 1440001);
    EXPECT_EQ(p2.size(), 1440001);
    EXPECT_GT(p3.size(), 0);
    EXPECT_LE(p3.size(), 3 * 1440000 - 2 * 1440001);
    // The pieces stay in the data folder; the archive and control file do not.
    EXPECT_EQ(Bytes(DataFolder() + QStringLiteral("/murv_d003")), p3);
    EXPECT_FALSE(WorkFiles().contains(QStringLiteral("murvdata.lzh")));
    const QString joined = folder_.path() + QStringLiteral("/joined.lzh");
    QFile j(joined);
    ASSERT_TRUE(j.open(QIODevice::WriteOnly));
    j.write(p1 + p2 + p3);
    j.close();
    EXPECT_EQ(Lhasa({QStringLiteral("t"), joined}, folder_.path()), 0);

    LoseEveryLine();
    ASSERT_TRUE(ModMurv::DbData.ExecuteNative(QStringLiteral("delete from MvHint where FormName = '添付'")));
    disks_.Clear();
    // Asked for disk 2, the user first puts in disk 3, then takes every disk out.
    int disk2Prompts = 0;
    onDisk = [&](int k) {
        if (k != 2) return false;
        ++disk2Prompts;
        if (disk2Prompts == 1) Insert(3);
        if (disk2Prompts == 2) Insert(0);
        return disk2Prompts <= 2;
    };
    Restore();
    texts = Texts();
    EXPECT_EQ(texts[1], QStringLiteral("フロッピーディスクは 3 枚です。よろしいですか。"));
    EXPECT_EQ(texts.count(QStringLiteral("これは 2 枚目のフロッピーディスクではありません。確認してください。")), 1);
    EXPECT_EQ(texts.count(kNoDisk), 1);
    EXPECT_EQ(texts.count(QStringLiteral("2/ 3枚目のフロッピーディスクをセットしてください。")), 3);
    EXPECT_EQ(texts.last(), QStringLiteral("読込が終了しました。"));
    EXPECT_EQ(LineCount(), lines_);
    EXPECT_EQ(AmountSum(), sum_);
    db::Recordset rs =
        ModMurv::DbData.OpenRecordset(QStringLiteral("select count(*) from MvHint where FormName = '添付'"));
    EXPECT_EQ(rs.Value(0).toLongLong(), 3);
}

// Cancelled at the last disk over an older set: the backup says neither set restores, the restore what to check.
TEST_F(FloppyTest, ASeveralDiskBackupStoppedAfterADiskWasWrittenSaysNeitherSetRestores) {
    for (int disks : {2, 3}) {
        AddIncompressible(disks == 2 ? 2100000 : 1500000);
        Backup();  // the older set
        AddIncompressible(3000);
        disks_.Clear();
        for (int k = 0; k < disks; ++k) disks_.QueueAnswer(Answer::Ok);
        disks_.QueueAnswer(Answer::Cancel);
        Backup();
        EXPECT_TRUE(Texts().last().startsWith(QStringLiteral("保存を中止しました。書き込んだ")));
        Restore();
        EXPECT_TRUE(Texts().join(u'|').contains(QStringLiteral("壊れています。\nフロッピーディスクがすべて同じ保存")));
    }
}

TEST_F(FloppyTest, ACorruptOrWrongSetLeavesTheLiveDataUntouched) {
    Backup();
    ASSERT_EQ(Texts().last(), QStringLiteral("保存が終了しました。"));
    LoseEveryLine();
    const QByteArray live = Bytes(DataFile());

    // A damaged byte in the archive: the CRC check fails, nothing is replaced, no completion.
    const QString archive = Floppy(1) + QStringLiteral("/murvdata.lzh");
    QByteArray bytes = Bytes(archive);
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20);
    QFile f(archive);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    disks_.Clear();
    Restore();
    QStringList texts = Texts();
    EXPECT_TRUE(texts.contains(QStringLiteral("[書庫解凍　エラー]\r\n書庫ファイルが壊れています。")))
        << texts.join(u'|').toStdString();
    EXPECT_FALSE(texts.contains(QStringLiteral("読込が終了しました。")));
    EXPECT_EQ(disks_.Shown().last().icon, ui::MessageIcon::Warning);
    EXPECT_EQ(Bytes(DataFile()), live);
    EXPECT_EQ(LineCount(), 0);
    EXPECT_FALSE(WorkFiles().contains(QStringLiteral("murvdata.lzh")));

    // A sound archive of a file that is not a data file: refused after unpacking.
    const QString text = folder_.path() + QStringLiteral("/Murvdata.mdb");
    QFile t(text);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("just some text, not an expense book");
    t.close();
    QFile::remove(archive);
    char out[1024];
    ASSERT_EQ(
        lzh::Unlha(0, QStringLiteral("a \"%1\" \"%2/\" \"Murvdata.mdb\"").arg(archive, folder_.path()).toLocal8Bit(),
                   out, sizeof out),
        0);
    disks_.Clear();
    Restore();
    texts = Texts();
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("読み込んだファイルはデータファイルとして使えません。")))
        << texts.last().toStdString();
    EXPECT_EQ(Bytes(DataFile()), live);
    EXPECT_TRUE(ModMurv::DbData.IsOpen());

    // A control file without a count is the wrong disk.
    QFile c(Floppy(1) + QStringLiteral("/Murvctl"));
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.write("MurvFddNum= x");
    c.close();
    disks_.Clear();
    disks_.QueueAnswer(Answer::Ok);      // disk 1 is in
    disks_.QueueAnswer(Answer::Cancel);  // "the wrong disk": give up
    Restore();
    EXPECT_EQ(Texts().last(), QStringLiteral("フロッピーディスクが違います。確認してください。"));
    EXPECT_EQ(Bytes(DataFile()), live);
}

TEST_F(FloppyTest, NoDiskAndCancelEndTheBackupWithoutACompletionMessage) {
    // No disk: OK asks for the same disk again; Cancel then ends.
    onDisk = [&](int) {
        Insert(0);
        return true;
    };
    disks_.QueueAnswer(Answer::Ok);      // prepare one disk
    disks_.QueueAnswer(Answer::Ok);      // disk 1 is set (it is not)
    disks_.QueueAnswer(Answer::Ok);      // no disk: try again
    disks_.QueueAnswer(Answer::Ok);      // disk 1 is set
    disks_.QueueAnswer(Answer::Cancel);  // no disk: give up
    Backup();
    const QStringList texts = Texts();
    EXPECT_EQ(texts.count(kNoDisk), 2);
    EXPECT_EQ(texts.count(QStringLiteral("1/ 1枚目のフロッピーディスクをセットしてください。")), 2);
    EXPECT_FALSE(texts.contains(QStringLiteral("保存が終了しました。")));

    // The data folder itself is never a disk.
    onDisk = [&](int) {
        QFile::remove(drive_);
        QFile::link(DataFolder(), drive_);
        return true;
    };
    disks_.Clear();
    disks_.QueueAnswer(Answer::Ok);
    disks_.QueueAnswer(Answer::Ok);
    disks_.QueueAnswer(Answer::Cancel);
    Backup();
    EXPECT_EQ(Texts().last(), kNoDisk);
    EXPECT_TRUE(QFileInfo::exists(DataFile()));
}

TEST_F(FloppyTest, ABackupThatDoesNotFitTheDataFolderSaysTheDiskIsFullAndIsNotDone) {
    test::SmallDisk small;
    const QString folder = folder_.path() + QStringLiteral("/small");
    if (!small.Mount(folder)) GTEST_SKIP() << "a small disk needs root";
    QString error;
    const QString probe = folder_.path() + QStringLiteral("/probe.lzh");
    ASSERT_EQ(lzh::WriteArchive(probe, DataFile(), maintenance::kSetDataFile, nullptr, &error), lzh::Status::Ok);
    UseDataFolder(folder);
    // Room for the snapshot and half the archive.
    ASSERT_TRUE(small.LeaveFree(QFileInfo(DataFile()).size() + QFileInfo(probe).size() / 2));
    Backup();
    const QString all = Texts().join(u'|');
    EXPECT_TRUE(all.contains(QStringLiteral("[書庫ファイル　作成エラー]\r\nディスクの空き容量が足りません。")))
        << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("ＯＫ")) || all.contains(QStringLiteral("保存が終了しました。")));
    EXPECT_TRUE(FilesOn(1).isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", core::kDataFileName}));
    EXPECT_EQ(LineCount(), lines_);
}

TEST_F(FloppyTest, ASetWhoseMemberIsNamedInCapitalsRestoresAndAFailedRestoreLeavesNothing) {
    const QString member = folder_.path() + QStringLiteral("/MURVDATA.MDB");
    ASSERT_TRUE(ModMurv::DbData.SnapshotTo(member));
    MakeSet({QStringLiteral("MURVDATA.MDB")}, member);
    LoseEveryLine();
    const QStringList files = WorkFiles();
    Restore();
    EXPECT_EQ(Texts().last(), QStringLiteral("読込が終了しました。"));
    EXPECT_EQ(LineCount(), lines_);

    // Not a data file: refused, and what was unpacked is gone again.
    WriteFile(member, "not a book");
    MakeSet({QStringLiteral("MURVDATA.MDB")}, member);
    disks_.Clear();
    Restore();
    EXPECT_TRUE(Texts().last().contains(QStringLiteral("データファイルとして使えません")))
        << Texts().last().toStdString();
    QStringList expected = files + QStringList{core::kDataFileName + QStringLiteral(".old")};
    expected.sort();
    EXPECT_EQ(WorkFiles(), expected);
    EXPECT_EQ(LineCount(), lines_);
}

TEST_F(FloppyTest, ABackupKeepsTheOlderSetUnlessTheNewOneFitsAndSaysSoBeforeReplacingIt) {
    test::SmallDisk disk;
    if (!disk.Mount(Floppy(1))) GTEST_SKIP() << "a small disk needs root";
    const QString set = Floppy(1) + QStringLiteral("/murvdata.lzh");
    const QStringList withFiller{QStringLiteral("Murvctl"), QStringLiteral("filler"), QStringLiteral("murvdata.lzh")};
    const QString full = QStringLiteral(
        "1 枚目のフロッピーディスクに保存できませんでした。確認してください。\n"
        "ディスクの空き容量が足りません。");
    const auto backUp = [&](std::initializer_list<Answer> answers) {
        disks_.Clear();
        for (Answer a : answers) disks_.QueueAnswer(a);
        Backup();
    };

    // An empty disk without room: said before anything is written; no control file without its archive.
    ASSERT_TRUE(disk.LeaveFree(64 * 1024));
    backUp({Answer::Ok, Answer::Ok, Answer::Cancel});
    EXPECT_EQ(Texts().last(), full);
    EXPECT_EQ(FilesOn(1), QStringList({QStringLiteral("filler")}));

    // No room even in place of the older set: it stays, and the user is told so.
    ASSERT_TRUE(disk.LeaveFree(8 * 1024 * 1024));
    backUp({});
    ASSERT_EQ(Texts().last(), QStringLiteral("保存が終了しました。"));
    const QByteArray oldSet = Bytes(set);
    AddIncompressible(150000);  // the new set is some 150 KB larger
    ASSERT_TRUE(disk.LeaveFree(16 * 1024));
    backUp({Answer::Ok, Answer::Ok, Answer::Cancel});
    EXPECT_EQ(Texts().last(), full + QStringLiteral("\n前回保存したデータはこのフロッピーディスクに残っています。"));
    EXPECT_EQ(FilesOn(1), withFiller);
    EXPECT_EQ(Bytes(set), oldSet);

    // Room only in its place: asked first; Cancel keeps the older set, OK replaces it.
    ASSERT_TRUE(disk.LeaveFree(150000 + oldSet.size() / 2));
    const QString replace = QStringLiteral(
        "1 枚目のフロッピーディスクには、前回保存したデータと新しいデータの両方を置く空き"
        "がありません。\n前回保存したデータを削除して保存します。よろしいですか。");
    backUp({Answer::Ok, Answer::Ok, Answer::Cancel});
    EXPECT_EQ(Texts().last(), replace);
    EXPECT_EQ(Bytes(set), oldSet);
    backUp({Answer::Ok, Answer::Ok, Answer::Ok, Answer::Cancel});
    EXPECT_EQ(Texts().last(), QStringLiteral("保存が終了しました。"));
    EXPECT_EQ(FilesOn(1), withFiller);
    // Not a byte free: asked the same, and the set of the same size takes the older one's place.
    ASSERT_TRUE(disk.LeaveFree(0));
    backUp({Answer::Ok, Answer::Ok, Answer::Ok, Answer::Cancel});
    EXPECT_EQ(Texts().mid(3), QStringList({replace, QStringLiteral("保存が終了しました。")}));
    disks_.Clear();
    Restore();  // the new set, with the added rows
    EXPECT_EQ(Texts().last(), QStringLiteral("読込が終了しました。"));
    db::Recordset rs =
        ModMurv::DbData.OpenRecordset(QStringLiteral("select count(*) from MvHint where FormName = '添付'"));
    EXPECT_EQ(rs.Value(0).toLongLong(), 3);
}

// Only the set's data file leaves the archive, into a folder of its own; a set without it says so.
TEST_F(FloppyTest, ARestoreTakesOnlyTheSetsDataFileFromTheArchive) {
    const QString book = folder_.path() + QStringLiteral("/book.mdb");
    ASSERT_TRUE(ModMurv::DbData.SnapshotTo(book));
    MakeSet({QStringLiteral("sub/dir/x.mdb"), core::kDataFileName + QStringLiteral("-journal"), "MURVDATA.MDB"}, book);
    LoseEveryLine();
    Restore();
    EXPECT_EQ(LineCount(), lines_);
    MakeSet({QStringLiteral("sub/Murvdata.mdb")}, book);
    Restore();
    EXPECT_TRUE(Texts().contains("[書庫解凍　エラー]\r\n書庫にデータファイル Murvdata.mdb が入っていません。"));
    EXPECT_EQ(QDir(DataFolder()).entryList({"sub", "*-journal", ".restore-*"}, QDir::AllEntries | QDir::Hidden),
              QStringList());
}

// A backup killed while it cut its pieces leaves them half-written under
// their names while written: the next start removes them, and no other file.
TEST_F(FloppyTest, PiecesOfABackupKilledWhileCuttingThemGoAtTheNextStart) {
    for (const char* name : {"murv_d001.aB3xY9", "murv_d002.Qw12eR", "murvdata.lzh.k9LmN0", "murv_d001.bak"})
        WriteFile(DataFolder() + u'/' + QString::fromUtf8(name), QByteArray(maintenance::kPieceSize, 'p'));
    core::RecoverDataFolder();
    EXPECT_EQ(WorkFiles(), (QStringList{"MurvData2K.mdb", "MurvWork2K.mdb", "OrgMurvData2K.mdb", "murv_d001.bak"}));
}

TEST_F(FloppyTest, ABookInAFolderNamedWithQuotesBacksUpAndRestores) {
    const QString folder = folder_.path() + QStringLiteral("/my \"books\" \\ 'a'\t");
    ASSERT_TRUE(QDir().mkpath(folder));
    UseDataFolder(folder);
    Backup();
    LoseEveryLine();
    Restore();
    EXPECT_EQ(LineCount(), lines_);
}

}  // namespace
