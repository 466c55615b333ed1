#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/disk/Drives.h"
#include "platform/disk/FileOps.h"

namespace {

bool SdbIsRemovable(const QString& device) { return device.startsWith(QStringLiteral("sdb")); }

TEST(DrivesTest, TheDriveListHoldsRemovableMediaOnly) {
    const QString table = QStringLiteral(
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /mnt/usb\\040stick vfat rw 0 0\n"
        "/dev/sdc1 /media/taro/FLOPPY vfat rw 0 0\n"
        "/dev/sdb1 /mnt/usb\\040stick vfat rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n");
    EXPECT_EQ(disk::RemovableMountPoints(table, &SdbIsRemovable),
              QStringList({QStringLiteral("/mnt/usb stick"), QStringLiteral("/media/taro/FLOPPY")}));
}

TEST(DrivesTest, ADiskIsAReadableFolderOutsideTheProgramsOwnFolders) {
    QTemporaryDir dir;
    const QString data = dir.path() + QStringLiteral("/program/data");
    const QString stick = dir.path() + QStringLiteral("/stick");
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("/inner")));
    ASSERT_TRUE(QDir().mkpath(stick));
    disk::SetProtectedFolders({data, dir.path() + QStringLiteral("/program")});

    EXPECT_EQ(disk::GoodDrive(stick), 1);
    EXPECT_EQ(disk::WriteTest(stick), 1);
    EXPECT_TRUE(QDir(stick).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    for (const QString& no : {data, data + QStringLiteral("/inner"), dir.path() + QStringLiteral("/program"),
                              dir.path() + QStringLiteral("/missing"), QString()}) {
        EXPECT_EQ(disk::GoodDrive(no), 0) << no.toStdString();
        EXPECT_EQ(disk::WriteTest(no), 0) << no.toStdString();
    }
    // A link to the data folder is the data folder.
    ASSERT_TRUE(QFile::link(data, dir.path() + QStringLiteral("/alias")));
    EXPECT_EQ(disk::GoodDrive(dir.path() + QStringLiteral("/alias")), 0);
    disk::SetProtectedFolders({});
}

TEST(DrivesTest, CopiesAreReadBackAndRenamesNeverReplaceUnlessAsked) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a")), b = dir.filePath(QStringLiteral("b"));
    QString error;
    ASSERT_TRUE(disk::WriteWholeFile(a, "first", &error));
    ASSERT_TRUE(disk::CopyVerified(a, b, &error)) << error.toStdString();
    EXPECT_TRUE(disk::SameFile(a, a));
    EXPECT_FALSE(disk::SameFile(a, b));
    EXPECT_FALSE(disk::RenameNoReplace(a, b, &error));
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(disk::RenameOver(a, b, &error));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_FALSE(disk::CopyVerified(a, b, &error));  // a is gone
    EXPECT_FALSE(disk::CopyVerified(b, QStringLiteral("/proc/none/b"), &error));
    EXPECT_TRUE(disk::RemoveFile(a, &error));  // not there counts as removed
}

}  // namespace
