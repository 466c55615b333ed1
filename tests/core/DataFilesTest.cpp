// Start-up with a data folder whose files are wrong, damaged or read-only:
// each is said at once, named, and left exactly as it was.
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "core/DataFiles.h"
#include "core/MainMenu.h"
#include "core/ScreenKit.h"
#include "tests/support/BookFiles.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/ScreenFixture.h"

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
        EXPECT_TRUE(box.text.contains(QStringLiteral("経費帳のデータファイルではありません")))
            << box.text.toStdString();
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

// The right table names over other columns, or with values not of their
// columns' kind as another tool may write them, are no book of ours; a file
// the program wrote in an earlier shape still is.
TEST_F(DataFilesTest, TablesWithOtherColumnsAreRefusedNamingTheDifferenceAndEarlierShapesOfOursStart) {
    const QString columns = QStringLiteral(
        "(行番号 LONG, 日付 %1, 曜日 TEXT(255), 取引先名 TEXT(255), 科目 TEXT(255), 金額 DOUBLE, 税額 CURRENCY, "
        "非課税 YESNO NOT NULL ON CONFLICT REPLACE DEFAULT 0%2)");
    const QString redefine = QStringLiteral("drop table 取引明細; create table 取引明細 ");
    const QString value = QStringLiteral("表「%1」の列「%2」に%3でない値があります。");
    const std::pair<QString, QString> shapes[] = {
        {QStringLiteral("insert into 取引明細 (金額) values ('1,000')"), value.arg("取引明細", "金額", "数値")},
        {QStringLiteral("update 取引明細 set 金額 = 1, 取引先名 = x'41'"), value.arg("取引明細", "取引先名", "文字列")},
        {QStringLiteral("update 取引明細 set 取引先名 = null, 日付 = '2026-02-30'"),
         value.arg("取引明細", "日付", "日付")},
        {QStringLiteral("delete from 取引明細; insert into 科目マスタ (科目, 非課税) values ('雑費', 'x')"),
         value.arg("科目マスタ", "非課税", "はい・いいえ（-1 か 0）")},
        {redefine + QStringLiteral("(x integer, y blob)"),
         QStringLiteral("表「取引明細」に列「行番号」がありません。")},
        {redefine + columns.arg(QStringLiteral("BLOB"), QString()),
         QStringLiteral("表「取引明細」の列「日付」の型が「BLOB」です（経費帳では「DATE」）。")},
        {redefine + columns.arg(QStringLiteral("DATE"), QStringLiteral(", CHECK (金額 > 0)")),
         QStringLiteral("表「取引明細」の定義が経費帳のものと違います。")}};
    const auto write = [this](bool fresh, const QString& sql) {
        db::Database d;
        ASSERT_TRUE((fresh ? d.Create(DataFile()) : d.Open(DataFile())) && d.ExecuteNative(sql));
    };
    for (const auto& [sql, reason] : shapes) {
        ASSERT_TRUE(test::WriteAsAnotherTool(DataFile(), sql));
        Start();
        ASSERT_EQ(Warnings().size(), 1) << sql.toStdString();
        EXPECT_TRUE(Warnings().first().contains(QStringLiteral("はデータファイルとして使えません。") + reason))
            << Warnings().first().toStdString();
        ui::Forms::UnloadAll();
        ModMurv::ResetState();
        boxes_.Clear();
    }

    // Text in the program's own order, without the index added since, with lines: taken.
    ASSERT_TRUE(QFile::remove(DataFile()));
    QString earlier = core::SchemaStatements(core::DataFileKind::Data);
    earlier.replace(QRegularExpression(QStringLiteral("(TEXT\\(255\\)|LONGTEXT)")), QStringLiteral("\\1 COLLATE JA"))
        .remove(QRegularExpression(QStringLiteral("CREATE INDEX \"ix_取引明細_4\"[^;]*;")));
    write(true, earlier + QStringLiteral("insert into 自社情報 (年号, 開始日) values ('西暦', '2026-01-01');"
                                         "insert into 科目マスタ (科目, 非課税) values ('通信費', -1);"
                                         "insert into 取引明細 values (7, '2026-01-05', '月', '甲', '通信費', 1000.0, "
                                         "47, 0), (8, null, null, null, null, 5.5, null, -1);"));
    Start();
    EXPECT_TRUE(Warnings().isEmpty() && ModMurv::DbData.IsOpen()) << Warnings().join(u'|').toStdString();
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
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("壊れているため、書き込みをしていません")))
        << Warnings().first().toStdString();
    EXPECT_FALSE(Warnings().first().contains(QStringLiteral("insert"))) << "no statement text";
    ui::Forms::UnloadAll();
    ModMurv::ResetState();
    EXPECT_EQ(Bytes(DataFile()), before);
}

QStringList g_logged;
void CaptureLog(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QString::fromLatin1(context.category) == QStringLiteral("murv")) g_logged << message;
}

// The work file is written without disk syncs: one that a crash of the
// machine left damaged is made afresh at start-up, said once in the log only.
TEST_F(DataFilesTest, ADamagedWorkFileIsMadeAfreshAtStartUp) {
    {
        db::Database work;
        ASSERT_TRUE(work.Open(WorkFile()));
        ASSERT_TRUE(work.ExecuteNative(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                           "INSERT INTO w取引明細 (lno, 取引先名, 金額) SELECT i, '取引先' || i, i FROM n")));
    }
    qint64 root = 0, pageSize = 0;
    ASSERT_TRUE(test::TablePages(WorkFile(), QStringLiteral("w取引明細"), root, pageSize));
    {
        QFile f(WorkFile());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek((root - 1) * pageSize);
        f.write(QByteArray(int(pageSize), char(0x5A)));
    }
    g_logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(CaptureLog);
    Start();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(boxes_.Shown().isEmpty());
    ASSERT_EQ(g_logged.size(), 1);
    EXPECT_TRUE(g_logged.first().contains(QStringLiteral("作業ファイル"))) << g_logged.first().toStdString();
    // A fresh, sound work file whose rows can be made and read.
    ASSERT_TRUE(ModMurv::DbWork.IsOpen());
    EXPECT_EQ(core::CountOf(ModMurv::DbWork, QStringLiteral("select count(*) as total from w取引明細")), 0);
    EXPECT_TRUE(core::AddBlankRows(QStringLiteral("w取引明細"), {{QStringLiteral("チェック"), false}}, 10,
                                   QStringLiteral("lno")));
    db::Recordset check = ModMurv::DbWork.OpenRecordset(QStringLiteral("select * from pragma_quick_check"));
    ASSERT_FALSE(check.IsEOF());
    EXPECT_EQ(check.Value(0).toString(), QStringLiteral("ok"));
}

// A commit of the data file is on the disk, its journal's removal included,
// when it returns; the work file is scratch.
TEST_F(DataFilesTest, ASoundFolderStartsWithoutAWordAndCommitsTheDataFileDurably) {
    ASSERT_TRUE(test::AddBookLines(DataFile(), 500));
    const core::DataFilesOutcome out = [&] {
        ModMurv::DataFilePath = DataFile();
        ModMurv::WorkFilePath = WorkFile();
        return core::OpenDataFiles();
    }();
    EXPECT_TRUE(out.dataOpen && out.workOpen && out.dataWritable);
    EXPECT_FALSE(out.damaged);
    EXPECT_TRUE(boxes_.Shown().isEmpty());
    const QString level = QStringLiteral("select * from pragma_synchronous");
    EXPECT_EQ(ModMurv::DbData.OpenRecordset(level).Value(0), QVariant(3));
    EXPECT_EQ(ModMurv::DbWork.OpenRecordset(level).Value(0), QVariant(0));
}

TEST_F(DataFilesTest, AReadOnlyDataFolderIsSaidAtStartUpAndTheWorkRowsStillWork) {
    test::ReadOnlyFolder readOnly;
    if (!readOnly.Make(DataFolder(), folder_.path())) GTEST_SKIP() << "no read-only folder can be made here";
    const QByteArray before = Bytes(DataFile());
    Start();
    ASSERT_EQ(Warnings().size(), 1);
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("データは表示できますが、変更はできません")))
        << Warnings().first().toStdString();
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

// SQLite's own statistics, as a database tool's ANALYZE writes them, are part of a book.
TEST_F(DataFilesTest, ABookAnalyzedByADatabaseToolStartsWithoutAWord) {
    ASSERT_TRUE(test::AddBookLines(DataFile(), 500) && test::WriteAsAnotherTool(DataFile(), QStringLiteral("ANALYZE")));
    Start();
    EXPECT_TRUE(boxes_.Shown().isEmpty() && ModMurv::DbData.IsOpen()) << Warnings().join(u'|').toStdString();
}

// A crash in a commit leaves its journal beside the book: start-up rolls the commit back, as every
// open does, and opens the book as before it without a word; a file it then refuses is not said unchanged.
TEST_F(DataFilesTest, ABookWhoseCommitWasCutShortStartsAsBeforeTheCommit) {
    ASSERT_TRUE(test::AddBookLines(DataFile(), 3000));
    ASSERT_TRUE(test::CutCommitShort(DataFile(), QStringLiteral("delete from 取引明細 where 行番号 > 100")));
    Start();
    EXPECT_TRUE(boxes_.Shown().isEmpty()) << Warnings().join(u'|').toStdString();
    EXPECT_EQ(core::CountOf(ModMurv::DbData, QStringLiteral("select count(*) as total from 取引明細")), 3000);
    ui::Forms::UnloadAll();
    ModMurv::ResetState();
    ASSERT_TRUE(test::WriteAsAnotherTool(DataFile(), QStringLiteral("create view 一覧 as select 1")) &&
                test::CutCommitShort(DataFile(), QStringLiteral("delete from 取引明細")));
    Start();
    ASSERT_EQ(Warnings().size(), 1);
    EXPECT_TRUE(Warnings().first().contains(QStringLiteral("ビュー「一覧」")) &&
                !Warnings().first().contains(QStringLiteral("変更")))
        << Warnings().first().toStdString();
}

}  // namespace
