#include <gtest/gtest.h>

#include <QTest>

#include "maintenance/FrmHosyu.h"
#include "tests/maintenance/BackupFixture.h"

namespace {

using test::BackupTest;

// The backup page's buttons run the procedures with the drive typed into the combo.
TEST_F(BackupTest, TheBackupPageButtonsRunTheBackupRestoreAndCopies) {
    ASSERT_TRUE(test::FillExpenseLines(ModMurv::DbData, 200));
    auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
    f.Show();
    disk::SetProtectedFolders({DataFolder()});  // the screen names the program folder too, which holds the floppies here
    f.cmbFDD.SetText(drive_);
    QTest::mouseClick(&f.cmdFD書込, Qt::LeftButton);
    EXPECT_EQ(Texts().last(), QStringLiteral("保存が終了しました。"));
    EXPECT_TRUE(QFile::exists(Floppy(1) + QStringLiteral("/murvdata.lzh")));
    EXPECT_FALSE(f.FddMsg.isVisible());
    EXPECT_EQ(f.FddMsg.Caption(), QStringLiteral("1/ 1 枚目のフロッピーディスクに保存中です･･･"));

    ASSERT_TRUE(ModMurv::DbData.Execute(QStringLiteral("delete * from 取引明細")));
    QTest::mouseClick(&f.cmdFD読込, Qt::LeftButton);
    EXPECT_EQ(Texts().last(), QStringLiteral("読込が終了しました。"));
    EXPECT_EQ(LineCount(), 200);

    dialogs_.QueueCancel();
    QTest::mouseClick(&f.cmdHD書込, Qt::LeftButton);
    dialogs_.QueueCancel();
    QTest::mouseClick(&f.cmdHD読込, Qt::LeftButton);
    ASSERT_EQ(dialogs_.Requests().size(), 2);
    EXPECT_EQ(dialogs_.Requests()[0].owner, &f);
    EXPECT_EQ(dialogs_.Requests()[1].title, QStringLiteral("ファイルの読込..."));
}

}  // namespace
