#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "maintenance/Backup.h"
#include "maintenance/FrmHosyu.h"
#include "tests/maintenance/BackupFixture.h"

namespace {

using test::BackupTest;

// The backup page's buttons run the procedures with the drive typed into the combo.
TEST_F(BackupTest, TheBackupPageButtonsRunTheBackupRestoreAndCopies) {
    ASSERT_TRUE(test::FillExpenseLines(ModMurv::DbData, 200));
    auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
    f.Show();
    disk::SetProtectedFolders(
        {DataFolder()});  // the screen names the program folder too, which holds the floppies here
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

// While a backup or a restore runs, a click on the other button runs nothing, then or later.
TEST_F(BackupTest, AClickDuringABackupOrARestoreRunsNoSecondOperation) {
    auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
    f.Show();
    disk::SetProtectedFolders({DataFolder()});
    f.cmbFDD.SetText(drive_);
    ui::CommandButton* other = &f.cmdFD読込;  // clicked once the operation is under way
    disks_.onBox = [&](const ui::MessageBoxContent& box) {
        if (ui::CommandButton* b = std::exchange(other, nullptr))
            QTimer::singleShot(0, b, [b] { QTest::mouseClick(b, Qt::LeftButton); });
        if (box.text.contains(QStringLiteral("違います"))) disks_.QueueAnswer(ui::Answer::Cancel);
        OnBox(box);
    };
    QTest::mouseClick(&f.cmdFD書込, Qt::LeftButton);
    other = &f.cmdFD書込;
    QTest::mouseClick(&f.cmdFD読込, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(Texts().filter(QRegularExpression(QStringLiteral("「1」をセット|準備して|終了しました"))),
              (QStringList{"1 枚のフロッピーディスクを準備してださい。", "保存が終了しました。",
                           "MuRv経費帳をバックアップしたフロッピーディスクの「1」をセットしてださい。",
                           "読込が終了しました。"}));
}

// After a restore the screen shows the restored book's settings, not the replaced one's.
TEST_F(BackupTest, TheScreenShowsTheRestoredBooksSettings) {
    ASSERT_TRUE(ModMurv::DbData.Execute(
        QStringLiteral("update 自社情報 set タイトル = '復元する帳簿', 開始日 = #2025/04/01#, 終了日 = #2026/03/31#")));
    maintenance::FDDBuckUp(drive_, nullptr);
    ASSERT_TRUE(ModMurv::DbData.Execute(
        QStringLiteral("update 自社情報 set タイトル = '今の帳簿', 開始日 = #2026/04/01#, 終了日 = #2027/03/31#")));
    auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
    f.Show();
    ASSERT_EQ(f.txtタイトル.Text(), QStringLiteral("今の帳簿"));
    disk::SetProtectedFolders({DataFolder()});
    f.cmbFDD.SetText(drive_);
    QTest::mouseClick(&f.cmdFD読込, Qt::LeftButton);
    ASSERT_EQ(Texts().last(), QStringLiteral("読込が終了しました。"));
    EXPECT_EQ(f.txtタイトル.Text(), QStringLiteral("復元する帳簿"));
    EXPECT_EQ(f.txt開始.Date(), QDate(2025, 4, 1));
    EXPECT_EQ(f.txt今期タイトル.Text(), QStringLiteral("復元する帳簿"));
    EXPECT_EQ(f.dt次期終了.Date(), QDate(2027, 3, 31));
}

// With no drive chosen nothing is packed, and the combo says a folder may be typed.
TEST_F(BackupTest, WithNoDriveChosenTheBackupPageSaysSoBeforePacking) {
    auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
    f.Show();
    EXPECT_FALSE(f.cmbFDD.lineEdit()->placeholderText().isEmpty());
    f.cmbFDD.SetText(QString());
    QTest::mouseClick(&f.cmdFD書込, Qt::LeftButton);
    QTest::mouseClick(&f.cmdFD読込, Qt::LeftButton);
    const QString said = QStringLiteral("フロッピーディスクドライブ（または保存先のフォルダ）を指定してください。");
    EXPECT_EQ(Texts().filter(QStringLiteral("フロッピー")), (QStringList{said, said}));
    EXPECT_EQ(WorkFiles(), (QStringList{core::kDataFileName, core::kWorkFileName, core::kTemplateFileName}));
}

}  // namespace
