// Start-up with a data folder whose files are wrong, damaged or read-only:
// each is said at once, named, and left exactly as it was.
#include <QFile>
#include <QRandomGenerator>

#include "core/DataFiles.h"
#include "core/MainMenu.h"
#include "core/ScreenKit.h"
#include "tests/support/ScreenFixture.h"
#include "tests/support/BookFiles.h"
#include "tests/support/ReadOnlyFolder.h"

namespace {

using core::MainMenu;

class DataFilesTest : public test::ScreenTest {
protected:
    MainMenu& Start() {
        auto& menu = ui::Forms::Get<MainMenu>(QStringLiteral("MainMenu"));
        menu.Show();
        return menu;
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QStringList Warnings() const {
        QStringList out;
        for (const auto& box : boxes_.Shown())
            if (box.icon == ui::MessageIcon::Warning) out << box.text;
        return out;
    }
};

TEST_F(DataFilesTest, AnEmptyOrForeignDataFileIsRefusedByNameAndLeftAsItWas) {
    QByteArray random(8192, '\0');
    QRandomGenerator gen(7);
    for (char& c : random) c = char(gen.bounded(256));
    for (const QByteArray& content : {QByteArray(), random}) {
        Write(DataFile(), content);
        MainMenu& menu = Start();
        ASSERT_EQ(boxes_.Shown().size(), 1);
        const auto box = boxes_.Shown().first();
        EXPECT_EQ(box.icon, ui::MessageIcon::Warning);
        EXPECT_EQ(box.title, QStringLiteral("エラー"));
        EXPECT_TRUE(box.text.contains(core::kDataFileName)) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("経費帳のデータファイルではありません"))) << box.text.toStdString();
        EXPECT_FALSE(ModMurv::DbData.IsOpen());
        // The menu stays usable; the file is as it was.
        EXPECT_TRUE(menu.cmd閉じる.isEnabled());
        ui::Forms::UnloadAll();
        ModMurv::ResetState();
        EXPECT_EQ(Bytes(DataFile()), content);
        boxes_.Clear();
    }
}

TEST_F(DataFilesTest, ADatabaseWithoutOurTablesIsRefusedNamingWhatIsMissing) {
    ExecData(QStringLiteral("drop table MvHint"));
    const QByteArray before = Bytes(DataFile());
    Start();
    ASSERT_EQ(Warnings().size(), 1);
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("MvHint"))) << Warnings().first().toStdString();
    EXPECT_FALSE(ModMurv::DbData.IsOpen());
    ui::Forms::UnloadAll();
    EXPECT_EQ(Bytes(DataFile()), before);
}

TEST_F(DataFilesTest, ADamagedDataFileIsSaidToBeDamagedAndIsNeverWritten) {
    ASSERT_TRUE(test::AddBookLines(DataFile(), 3000));
    ASSERT_TRUE(test::DamagePages(DataFile(), 3));
    const QByteArray before = Bytes(DataFile());
    Start();
    ASSERT_EQ(Warnings().size(), 1);
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("壊れています"))) << Warnings().first().toStdString();
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("変更していません")));
    // Open for reading, closed to writing: a registration fails and says why.
    EXPECT_TRUE(ModMurv::DbData.IsOpen());
    boxes_.Clear();
    EXPECT_FALSE(core::WriteAll(QStringLiteral("経費を登録できませんでした"), [](db::Database& data) {
        return core::Exec(data, QStringLiteral("insert into 科目マスタ (科目) values ('交通費')"));
    }));
    ASSERT_EQ(Warnings().size(), 1);
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("壊れているため、書き込みをしていません"))) << Warnings().first().toStdString();
    EXPECT_FALSE(Warnings().first().contains(QStringLiteral("insert"))) << "no statement text";
    ui::Forms::UnloadAll();
    ModMurv::ResetState();
    EXPECT_EQ(Bytes(DataFile()), before);
}

TEST_F(DataFilesTest, ASoundFolderStartsWithoutAWord) {
    ASSERT_TRUE(test::AddBookLines(DataFile(), 500));
    const core::DataFilesOutcome out = [&] {
        ModMurv::DataFilePath = DataFile();
        ModMurv::WorkFilePath = WorkFile();
        return core::OpenDataFiles();
    }();
    EXPECT_TRUE(out.dataOpen && out.workOpen && out.dataWritable);
    EXPECT_FALSE(out.damaged);
    EXPECT_TRUE(boxes_.Shown().isEmpty());
}

TEST_F(DataFilesTest, AReadOnlyDataFolderIsSaidAtStartUpAndTheWorkRowsStillWork) {
    test::ReadOnlyFolder readOnly;
    if (!readOnly.Make(DataFolder(), folder_.path())) GTEST_SKIP() << "no read-only folder can be made here";
    const QByteArray before = Bytes(DataFile());
    Start();
    ASSERT_EQ(Warnings().size(), 1);
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("データは表示できますが、変更はできません"))) << Warnings().first().toStdString();
    EXPECT_TRUE(ModMurv::DbData.IsOpen());
    // The work rows live in a copy of the work file that can be written.
    EXPECT_TRUE(ModMurv::DbWork.IsOpen());
    EXPECT_NE(ModMurv::WorkFilePath, WorkFile());
    EXPECT_TRUE(core::AddBlankRows(QStringLiteral("w科目マスタ"), {{QStringLiteral("チェック"), false}}, 3));
    EXPECT_EQ(core::CountOf(ModMurv::DbWork, QStringLiteral("select count(*) as total from w科目マスタ")), 3);
    ui::Forms::UnloadAll();
    ModMurv::ResetState();
    EXPECT_EQ(Bytes(DataFile()), before);
}

}  // namespace
