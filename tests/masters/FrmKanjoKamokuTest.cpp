// The account-title catalogue over the titles a new data file holds.
#include "tests/masters/MastersFixture.h"

namespace {

using masters::FrmKanjoKamoku;
using ui::Answer;

constexpr int kName = FrmKanjoKamoku::kColName;

class FrmKanjoKamokuTest : public test::MastersTest {
protected:
    FrmKanjoKamoku& Screen() { return Open<FrmKanjoKamoku>(QStringLiteral("Frm勘定科目")); }
    QStringList Title(const char* name) {
        return Rows(QStringLiteral("select * from 勘定科目 where 科目名 = '%1'").arg(QString::fromUtf8(name)));
    }
    void Detail(FrmKanjoKamoku& c, int row) {
        c.Grid明細.SetRow(row);
        QTest::mouseClick(&c.cmd詳細, Qt::LeftButton);
    }
};

TEST_F(FrmKanjoKamokuTest, RegisterAndDeleteGoByThePanelsNameAndAnEmptyNameIsRefused) {
    FrmKanjoKamoku& c = Screen();
    const int titles = c.Grid明細.RowCount();
    Detail(c, 0);
    EXPECT_EQ(c.txt科目名.Text() + c.txtふりがな.Text(), QStringLiteral("会議費かいぎひ"));
    c.txt説明.SetText(QStringLiteral("打ち合わせの費用"));
    Press(c.cmd登録, Answer::Yes);
    EXPECT_EQ(Title("会議費"), QStringList{"会議費/かいぎひ/打ち合わせの費用"});

    QTest::mouseClick(&c.cmd詳細クリア, Qt::LeftButton);
    QTest::mouseClick(&c.cmd登録, Qt::LeftButton);
    QTest::keyClicks(c.txt科目名.Editor(), QStringLiteral("O'Hara fee"));
    Press(c.cmd登録, Answer::Yes);
    EXPECT_EQ(Texts(), (QStringList{"会議費 を登録します。よろしいですか", "入力必須項目が空白です。",
                                    "O'Hara fee を登録します。よろしいですか"}));
    EXPECT_EQ(Title("O''Hara fee"), QStringList{"O'Hara fee/-/-"});
    EXPECT_EQ(Shown(c.Grid明細.CellValue(0, kName)), QStringLiteral("O'Hara fee")) << "read again, no reading first";

    // An empty cell empties its box, whatever the row shown before held.
    Detail(c, 1);
    Detail(c, 0);
    EXPECT_EQ(c.txtふりがな.Text() + c.txt説明.Text(), QString());

    Press(c.cmd削除, Answer::No);
    EXPECT_EQ(Title("O''Hara fee").size(), 1);
    Press(c.cmd削除, Answer::Yes);
    EXPECT_TRUE(Title("O''Hara fee").isEmpty());
    EXPECT_EQ(c.Grid明細.RowCount(), titles);
}

TEST_F(FrmKanjoKamokuTest, TheSearchFindsAMatchAboveTheCurrentRowAndLandsOnTheFirstRowWithoutOne) {
    FrmKanjoKamoku& c = Screen();
    ui::DataGrid& g = c.Grid明細;
    const QString third = Shown(g.CellValue(3, kName));
    g.SetRow(10);
    c.txt科目名検索.SetText(third);
    QTest::mouseClick(&c.cmd検索, Qt::LeftButton);
    EXPECT_EQ(g.Row(), 3);
    g.SetRow(10);
    c.txt科目名検索.SetText(third.left(1));  // exact names only
    QTest::mouseClick(&c.cmd検索, Qt::LeftButton);
    EXPECT_EQ(g.Row(), 0);
}

TEST_F(FrmKanjoKamokuTest, CopyingWritesTheTickedTitlesAsShownAndKeepsAnItemsTaxExemptMark) {
    ExecData(QStringLiteral("insert into 科目マスタ values ('雑費', '古い読み', -1, null)"));
    FrmKanjoKamoku& c = Screen();
    ui::DataGrid& g = c.Grid明細;
    const QStringList names = Cells(g, kName);
    const int training = int(names.indexOf(QStringLiteral("研修費")));
    for (int row :
         {int(names.indexOf(QStringLiteral("雑費"))), int(names.indexOf(QStringLiteral("通信費"))), training, 0})
        Click(g, row, FrmKanjoKamoku::kColCheck);
    GoTo(g, training, kName);  // ticked, then its name emptied: skipped
    Key(g, Qt::Key_Delete);
    Key(g, Qt::Key_Return);
    GoTo(g, 0, kName);  // 会議費, renamed in the grid only
    Type(g, QStringLiteral("Tom's会議"));
    Key(g, Qt::Key_Return);

    Press(c.cmd転記, Answer::No);
    EXPECT_EQ(Rows("select * from 科目マスタ").size(), 1);
    Press(c.cmd転記, Answer::Yes);
    EXPECT_EQ(Texts(), QStringList(2, QStringLiteral("勘定科目を転記しますか。")));
    EXPECT_EQ(Rows("select 科目, ふりがな, 非課税, 説明 is null from 科目マスタ order by ふりがな"),
              (QStringList{"Tom's会議/かいぎひ/0/0", "雑費/ざっぴ/1/0", "通信費/つうしんひ/0/0"}));
    EXPECT_EQ(Title("会議費").size(), 1) << "the catalogue keeps its own name";
}

}  // namespace
