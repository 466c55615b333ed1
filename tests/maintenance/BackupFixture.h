#pragma once
// The backup tests' set-up: a program folder with its data file open as the
// program has it, folders standing in for floppy disks behind one drive (a
// link the message boxes re-point when a disk is asked for), and a drive
// probe that can call a disk write-protected.

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QStorageInfo>
#include <functional>

#include "core/ModMurv.h"
#include "platform/disk/Drives.h"
#include "platform/ui/FileDialogs.h"
#include "tests/bench/ExpenseLines.h"
#include "tests/support/ScreenFixture.h"

namespace test {

// Answers like ScriptedPresenter, after letting the test act on each box
// (swap the disk in the drive, say).
class DiskSwapPresenter : public ui::ScriptedPresenter {
public:
    std::function<void(const ui::MessageBoxContent&)> onBox;
    ui::Answer Present(const ui::MessageBoxContent& box) override {
        if (onBox) onBox(box);
        return ScriptedPresenter::Present(box);
    }
};

class ProtectingProbe : public disk::DriveProbe {
public:
    QSet<QString> writeProtected;
    bool DiskWritable(const QString& drive) override {
        return !writeProtected.contains(QFileInfo(drive).canonicalFilePath()) && DriveProbe::DiskWritable(drive);
    }
};

// A small disk (a tmpfs, so root only) mounted on a folder of the test;
// unmounted when the guard goes.
class SmallDisk {
public:
    ~SmallDisk() {
        if (mounted_) QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), folder_});
    }
    bool Mount(const QString& folder) {
        folder_ = folder;
        QDir().mkpath(folder);
        mounted_ =
            ::geteuid() == 0 && QProcess::execute(QStringLiteral("mount"),
                                                  {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                   QStringLiteral("size=16m"), QStringLiteral("tmpfs"), folder}) == 0;
        return mounted_;
    }
    // Fills the disk (with a filler made anew) until about `bytes` are free.
    bool LeaveFree(qint64 bytes) {
        QFile filler(folder_ + QStringLiteral("/filler"));
        filler.remove();
        const qint64 fill = QStorageInfo(folder_).bytesAvailable() - bytes;
        return fill >= 0 && filler.open(QIODevice::WriteOnly) && filler.write(QByteArray(fill, 'f')) == fill;
    }

private:
    QString folder_;
    bool mounted_ = false;
};

class BackupTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ui::SetPresenter(&disks_);
        previousProbe_ = disk::SetDriveProbe(&probe_);
        previousDialogs_ = ui::SetFileDialogPresenter(&dialogs_);
        ModMurv::DataFolder = DataFolder() + u'/';
        ModMurv::DataFilePath = DataFile();
        ModMurv::WorkFilePath = WorkFile();
        ASSERT_TRUE(ModMurv::DbData.Open(DataFile()));
        disk::SetProtectedFolders({DataFolder(), folder_.path() + QStringLiteral("/program")});
        drive_ = folder_.path() + QStringLiteral("/drive");
        disks_.onBox = [this](const ui::MessageBoxContent& box) { OnBox(box); };
    }
    void TearDown() override {
        ui::SetFileDialogPresenter(previousDialogs_);
        disk::SetDriveProbe(previousProbe_);
        disk::SetProtectedFolders({});
        ScreenTest::TearDown();
    }

    // Floppy k: a folder of its own.
    QString Floppy(int k) const {
        const QString path = folder_.path() + QStringLiteral("/floppy%1").arg(k);
        QDir().mkpath(path);
        return path;
    }
    // Puts floppy k in the drive (0: takes the disk out).
    void Insert(int k) {
        QFile::remove(drive_);
        if (k > 0) QFile::link(Floppy(k), drive_);
        inserted_ = k;
    }
    QStringList FilesOn(int k) const { return QDir(Floppy(k)).entryList(QDir::Files, QDir::Name); }
    QStringList WorkFiles() const { return QDir(DataFolder()).entryList(QDir::Files, QDir::Name); }

    // By default the disk asked for in "k/ N枚目…" is put in the drive (disk 1
    // for the restore's first question); a test may act otherwise in onDisk.
    std::function<bool(int k)> onDisk;  // true: the test put a disk in itself
    void OnBox(const ui::MessageBoxContent& box) {
        int k = 0;
        if (box.text.contains(QStringLiteral("「1」をセット"))) k = 1;
        const qsizetype slash = box.text.indexOf(QStringLiteral("/ "));
        if (slash > 0 && box.text.contains(QStringLiteral("枚目のフロッピーディスクをセットしてください。")))
            k = box.text.left(slash).toInt();
        if (k == 0) return;
        if (onDisk && onDisk(k)) return;
        Insert(k);
    }

    // The book in use moves to another data folder (a small disk).
    void UseDataFolder(const QString& folder) {
        ModMurv::DbData.Close();
        ASSERT_TRUE(QFile::copy(DataFile(), folder + u'/' + core::kDataFileName));
        ModMurv::DataFolder = folder + u'/';
        ModMurv::DataFilePath = folder + u'/' + core::kDataFileName;
        ASSERT_TRUE(ModMurv::DbData.Open(ModMurv::DataFilePath));
    }

    QStringList Texts() const {
        QStringList texts;
        for (const ui::MessageBoxContent& b : disks_.Shown()) texts << b.text;
        return texts;
    }

    qint64 LineCount() {
        db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select count(*) as n from 取引明細"));
        return rs.Value(0).toLongLong();
    }
    double AmountSum() {
        db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select sum(金額) as s from 取引明細"));
        return rs.Value(0).toDouble();
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    static int Lhasa(const QStringList& args, const QString& dir) {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("lhasa"));
        if (tool.isEmpty()) return -2;
        QProcess p;
        p.setWorkingDirectory(dir);
        p.start(tool, args);
        if (!p.waitForFinished(60000)) return -1;
        return p.exitCode();
    }

    DiskSwapPresenter disks_;
    ProtectingProbe probe_;
    ui::ScriptedFileDialogPresenter dialogs_;
    QString drive_;
    int inserted_ = 0;

private:
    disk::DriveProbe* previousProbe_ = nullptr;
    ui::FileDialogPresenter* previousDialogs_ = nullptr;
};

}  // namespace test
