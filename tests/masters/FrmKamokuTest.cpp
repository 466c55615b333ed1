// The item master over a fresh data folder: the sheet, load, register,
// delete and clear.
#include "platform/report/PrintService.h"
#include "tests/masters/MastersFixture.h"
#include "tests/support/BookFiles.h"

namespace {

using masters::FrmKamoku;
using ui::Answer;

constexpr int kName = FrmKamoku::kColName, kTick = FrmKamoku::kColCheck;

class FrmKamokuTest : public test::MastersTest {
protected:
    void SetUp() override {
        test::MastersTest::SetUp();
        ExecData(QStringLiteral("insert into 科目マスタ values ('消耗品費', 'しょうもうひんひ', 0, '事務用品')"));
        ExecData(QStringLiteral("insert into 科目マスタ values ('Tom''s', 'とむず', -1, 'O''Hara の顧問料')"));
        ExecData(QStringLiteral("insert into 科目マスタ values ('読みなし', null, 0, null)"));
    }
    QStringList Items() { return Rows(QStringLiteral("select * from 科目マスタ order by ふりがな, 科目")); }
    test::FullDisk fullDisk_;  // for the sheets the work file refuses
};

TEST_F(FrmKamokuTest, RegistrationReplacesTheItemsWithTheNamedRowsOfTheSheet) {
    FrmKamoku& k = Open<FrmKamoku>(QStringLiteral("FrmKamoku"));
    ui::DataGrid& g = k.Grid科目マスタ;
    EXPECT_EQ(g.RowCount(), FrmKamoku::kSheetRows);
    EXPECT_EQ(Cells(g, kName, 4), (QStringList{"読みなし", "消耗品費", "Tom's", "-"}));
    GoTo(g, 1, kName);  // blanked: removed
    Key(g, Qt::Key_Delete);
    Key(g, Qt::Key_Return);
    GoTo(g, 3, kName);  // typed: added; Enter in the reading goes to the next row
    Type(g, QStringLiteral("新聞代"));
    Key(g, Qt::Key_Return);
    Type(g, QStringLiteral("しんぶんだい"));
    Key(g, Qt::Key_Return);
    EXPECT_EQ(At(g), 40 + kName);
    // Every button of the print panel fills the feed from the sheet as shown.
    QTest::keyClick(g.View(), Qt::Key_F7);
    ASSERT_TRUE(k.Cn印刷.Visible());
    QTest::mouseClick(&k.cmd印刷サブ[2], Qt::LeftButton);
    EXPECT_FALSE(k.Cn印刷.Visible());
    EXPECT_EQ(Rows(QStringLiteral("select * from w科目マスタ印刷"), WorkFile()),
              (QStringList{"読みなし/-/0", "Tom's/とむず/1", "新聞代/しんぶんだい/0"}));
    {
        // 印刷 prints that feed, the printer dialog first.
        report::ScriptedPrintService printer;
        report::ScopedPrintService installed(printer);
        QTest::keyClick(g.View(), Qt::Key_F7);
        QTest::mouseClick(&k.cmd印刷サブ[0], Qt::LeftButton);
        EXPECT_FALSE(k.Cn印刷.Visible());
        ASSERT_EQ(printer.Jobs().size(), 1u);
        EXPECT_TRUE(printer.Jobs()[0].dialogShown);
        EXPECT_EQ(report::TextsOf(printer.Jobs()[0].pages->pages.at(0), QStringLiteral("txt科目")),
                  (QStringList{"読みなし", "Tom's", "新聞代"}));
    }
    PressKey(g.View(), Qt::Key_F5, Answer::Yes);
    EXPECT_EQ(Texts(), (QStringList{"科目 を登録します。よろしいですか", "科目 を登録しました。"}));
    EXPECT_EQ(Items(), (QStringList{"読みなし/-/0/-", "新聞代/しんぶんだい/0/-", "Tom's/とむず/1/O'Hara の顧問料"}));

    // A copy that fails keeps what was stored and says so.
    db::Database d;
    ASSERT_TRUE(d.Open(DataFile()));
    ASSERT_TRUE(
        d.ExecuteNative(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 科目マスタ WHEN new.科目 = '故障' "
                                       "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    GoTo(g, 5, kName);
    Type(g, QStringLiteral("故障"));
    PressKey(g.View(), Qt::Key_F5, Answer::Yes);
    EXPECT_EQ(Texts().last(), QStringLiteral("科目を登録できませんでした。"));
    EXPECT_EQ(Items().size(), 3);

    // Clearing writes nothing; registering the blank sheet empties the master.
    QTest::keyClick(g.View(), Qt::Key_F9);
    EXPECT_EQ(Cells(g, kName), QStringList(FrmKamoku::kSheetRows, QStringLiteral("-")));
    EXPECT_EQ(Items().size(), 3);
    PressKey(g.View(), Qt::Key_F5, Answer::Yes);
    EXPECT_TRUE(Items().isEmpty());

    QTest::keyClick(g.View(), Qt::Key_F1);  // the menu; the screen stays
    EXPECT_EQ(ModMurv::FormNameStack[0], QStringLiteral("FrmKamoku"));
    QTest::keyClick(g.View(), Qt::Key_Escape);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmKamoku")), nullptr);
}

TEST_F(FrmKamokuTest, EveryItemIsOnTheSheetAndDeletingTickedItemsAsksFirst) {
    db::Database d;
    ASSERT_TRUE(d.Open(DataFile()));
    ASSERT_TRUE(d.ExecuteNative(QStringLiteral(
        "INSERT INTO 科目マスタ (科目, ふりがな, 非課税) WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
        "FROM n WHERE x < 247) SELECT printf('品%03d', x), printf('ひん%03d', x), 0 FROM n")));
    ExecData(QStringLiteral("insert into 取引先科目 (取引先名, 科目) values ('青葉商店', 'Tom''s')"));
    FrmKamoku& k = Open<FrmKamoku>(QStringLiteral("FrmKamoku"));
    ui::DataGrid& g = k.Grid科目マスタ;
    EXPECT_EQ(g.RowCount(), 250 + FrmKamoku::kSpareRows);
    EXPECT_EQ(Shown(g.CellValue(249, kName)), QStringLiteral("品247"));
    PressKey(g.View(), Qt::Key_F5, Answer::Yes);
    EXPECT_EQ(Items().size(), 250);

    boxes_.Clear();
    PressKey(g.View(), Qt::Key_F10, Answer::Yes);
    Click(g, 2, kTick);    // Tom's
    Click(g, 299, kTick);  // a blank row
    PressKey(g.View(), Qt::Key_F10, Answer::No);
    EXPECT_EQ(Items().size(), 250);
    PressKey(g.View(), Qt::Key_F10, Answer::Yes);
    EXPECT_EQ(Texts().size(), 4);
    EXPECT_EQ(Texts()[1], QStringLiteral("行が指定されていません。行指定してください。"));
    EXPECT_TRUE(Rows("select * from 科目マスタ where 科目 = 'Tom''s'").isEmpty());
    EXPECT_EQ(Items().size(), 249);
    EXPECT_EQ(Rows("select 科目 from 取引先科目"), QStringList{"Tom's"}) << "other tables keep the item";
    // The sheet shrank; reading again makes room once more.
    EXPECT_EQ(g.RowCount(), 298);
    QTest::mouseClick(&k.cmd読込, Qt::LeftButton);
    EXPECT_EQ(Shown(g.CellValue(248, kName)), QStringLiteral("品247"));
    EXPECT_GE(g.RowCount(), 249 + FrmKamoku::kSpareRows);
}

}  // namespace

namespace {

TEST_F(FrmKamokuTest, ASheetTheWorkFileRefusesIsSaidNeverRegisteredAndATypedCellKeepsItsText) {
    ASSERT_TRUE(test::FullDisk::Refuse(WorkFile(), QStringLiteral("w科目マスタ"), QStringLiteral("insert")));
    FrmKamoku& k = Open<FrmKamoku>(QStringLiteral("FrmKamoku"));
    ASSERT_EQ(boxes_.Shown().size(), 1) << "said once";
    EXPECT_EQ(boxes_.Shown().first().icon, ui::MessageIcon::Warning);
    EXPECT_TRUE(
        Texts().first().startsWith(QStringLiteral("科目の行を作れませんでした。\nディスクの空き容量が足りません。")))
        << Texts().first().toStdString();
    // 登録 of a sheet that could not be made, or read, says why and stores nothing.
    const QStringList stored = Items();
    const QString notRegistered = QStringLiteral(
        "科目の行を作れなかったため、登録しませんでした。科目は変更されていません。読込み直してください。\n"
        "ディスクの空き容量が足りません。");
    boxes_.Clear();
    QTest::keyClick(k.Grid科目マスタ.View(), Qt::Key_F5);
    ASSERT_EQ(Texts().size(), 1) << "nothing asked";
    EXPECT_TRUE(Texts().first().startsWith(notRegistered)) << Texts().first().toStdString();
    ASSERT_TRUE(test::FullDisk::Heal(WorkFile()));
    ASSERT_TRUE(test::FullDisk::Refuse(WorkFile(), QStringLiteral("w科目マスタ"), QStringLiteral("update")));
    QTest::mouseClick(&k.cmd読込, Qt::LeftButton);
    boxes_.Clear();
    PressKey(k.Grid科目マスタ.View(), Qt::Key_F5, Answer::Yes);
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts().first().startsWith(notRegistered)) << Texts().first().toStdString();
    EXPECT_EQ(Items(), stored);

    // The sheet once it can be made; then a cell the disk refuses.
    boxes_.Clear();
    QTest::mouseClick(&k.cmdクリア, Qt::LeftButton);
    ui::DataGrid& g = k.Grid科目マスタ;
    ASSERT_EQ(g.RowCount(), FrmKamoku::kSheetRows);
    GoTo(g, 0, kName);
    Type(g, QStringLiteral("新聞代"));
    Key(g, Qt::Key_Return);
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_TRUE(Texts().first().contains(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(g.HasPendingEdit());
    EXPECT_EQ(g.Columns(kName).Text(), QStringLiteral("新聞代"));

    // A name with a line break in it is refused before it reaches the sheet.
    Key(g, Qt::Key_Escape);
    ASSERT_TRUE(test::FullDisk::Heal(WorkFile()));
    boxes_.Clear();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("新聞\n代"));
    Type(g, QStringLiteral("x"));
    QApplication::sendEvent(KeyTarget(g), &commit);
    Key(g, Qt::Key_Return);
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_EQ(boxes_.Shown().first().title, QStringLiteral("入力注意"));
    EXPECT_TRUE(g.CellValue(0, kName).isNull());
}

TEST_F(FrmKamokuTest, DeletedItemsWhoseRowsTheWorkFileKeepsAreSaidAndNeverStoredAgain) {
    FrmKamoku& k = Open<FrmKamoku>(QStringLiteral("FrmKamoku"));
    ui::DataGrid& g = k.Grid科目マスタ;
    const auto workFile = [this](const QString& sql) {
        db::Database d;
        ASSERT_TRUE(d.Open(WorkFile()));
        ASSERT_TRUE(d.ExecuteNative(sql)) << d.LastError().toStdString();
    };
    workFile(
        QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON w科目マスタ WHEN OLD.チェック <> 0 BEGIN SELECT "
                       "RAISE(ABORT, 'kept'); END"));
    Click(g, 2, kTick);  // Tom's
    PressKey(g.View(), Qt::Key_F10, Answer::Yes);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(Texts()[1], QStringLiteral("科目を削除しましたが、チェックした行を画面から消せませんでした。"
                                         "この行は登録されません。読込み直してください。"));
    EXPECT_TRUE(Rows("select * from 科目マスタ where 科目 = 'Tom''s'").isEmpty()) << "the item is deleted for good";
    EXPECT_EQ(Shown(g.CellValue(2, kName)), QStringLiteral("Tom's")) << "the row is still on the sheet";

    // Registering the sheet as it stands does not bring the deleted item back.
    workFile(QStringLiteral("DROP TRIGGER keep"));
    boxes_.Clear();
    PressKey(g.View(), Qt::Key_F5, Answer::Yes);
    EXPECT_EQ(Texts().last(), QStringLiteral("科目 を登録しました。"));
    EXPECT_EQ(Items(), (QStringList{"読みなし/-/0/-", "消耗品費/しょうもうひんひ/0/事務用品"}));
}

}  // namespace
