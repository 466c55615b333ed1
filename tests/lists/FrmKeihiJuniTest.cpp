// The ranking by clicks and keys over a worked example: ranks, the "その他"
// row at each limit, per item and per partner, lines without an item, a
// name with a quote, and the window of the period fields.
#include "lists/FrmKeihiJuni.h"
#include "tests/lists/ListsFixture.h"

namespace {

using lists::FrmKeihiJuni;
using F = FrmKeihiJuni;

class FrmKeihiJuniTest : public test::ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        // partner, item, amount: 3500 in all, two ties at 300.
        AddLine(1, QStringLiteral("2026/06/15"), QStringLiteral("O'Hara商会"), QStringLiteral("雑費"), 800);
        AddLine(2, QStringLiteral("2026/06/15"), QStringLiteral("山田商店"), QStringLiteral("通信費"), 700);
        AddLine(3, QStringLiteral("2026/07/01"), QStringLiteral("鈴木商会"), QStringLiteral("消耗品費"), 600);
        AddLine(1, QStringLiteral("2026/08/01"), QStringLiteral("佐藤電機"), QStringLiteral("旅費交通費"), 500);
        AddLine(1, QStringLiteral("2026/09/01"), QStringLiteral("田中屋"), QStringLiteral("会議費"), 300);
        AddLine(1, QStringLiteral("2026/10/01"), QStringLiteral("高橋工務店"), QStringLiteral("車両費"), 300);
        AddLine(1, QStringLiteral("2027/03/31"), QStringLiteral("伊藤文具"), QStringLiteral("Tom's文具"), 200);
        AddLine(2, QStringLiteral("2027/03/31"), QStringLiteral("伊藤文具"), QVariant(), 100);
        // Outside the period.
        AddLine(1, QStringLiteral("2026/03/31"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 5000);
        AddLine(1, QStringLiteral("2027/04/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 5000);
    }
    F& Open() { return OpenFromMenu<F>(&core::MainMenu::cmd経費順位, QStringLiteral("FrmKeihiJuni")); }
    QStringList Ranking() { return Rows(QStringLiteral("select 順位, 科目, 取引先名, 金額 from w経費順位")); }
    // Ties are numbered in a stable but unstated order: the two rows of 300
    // are given here as "n/<either>".
    static QStringList Tied(QStringList rows, const QStringList& names) {
        for (QString& row : rows)
            for (const QString& name : names) row.replace(u'/' + name + u'/', QStringLiteral("/<either>/"));
        return rows;
    }
};

TEST_F(FrmKeihiJuniTest, OpensPerItemWithAllRanksAndReadsThePeriodPerItem) {
    F& f = Open();
    EXPECT_TRUE(f.Opt科目別.Value());
    EXPECT_EQ(f.cmb表示順位.Text(), QStringLiteral("すべて"));
    EXPECT_EQ(f.cmb表示順位.ComboStyle(), ui::ComboBox::Style::ListOnly);
    EXPECT_TRUE(f.txt開始.IsNull());
    EXPECT_TRUE(f.num合計.IsNull());
    EXPECT_EQ(f.Grid経費順位.RowCount(), 0);

    Click(f.cmd読込);
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2026/04/01"));
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2027/03/31"));
    EXPECT_EQ(Tied(Ranking(), {QStringLiteral("会議費"), QStringLiteral("車両費")}),
              (QStringList{QStringLiteral("1/雑費/-/800"), QStringLiteral("2/通信費/-/700"),
                           QStringLiteral("3/消耗品費/-/600"), QStringLiteral("4/旅費交通費/-/500"),
                           QStringLiteral("5/<either>/-/300"), QStringLiteral("6/<either>/-/300"),
                           QStringLiteral("7/Tom's文具/-/200"), QStringLiteral("8/-/-/100")}));
    EXPECT_EQ(f.num合計.Value(), QVariant(3500.0)) << "lines without an item count too";
    EXPECT_TRUE(f.Grid経費順位.Columns(F::kCol科目).Visible());
    EXPECT_FALSE(f.Grid経費順位.Columns(F::kCol取引先名).Visible());
    EXPECT_TRUE(Texts().isEmpty()) << Texts().join(u'|').toStdString();
}

TEST_F(FrmKeihiJuniTest, LimitsFiveAndTenPerItemAndPerPartnerCutIntoOneOtherRow) {
    F& f = Open();
    Choose(f.cmb表示順位, QStringLiteral("5"));
    Click(f.cmd読込);
    const QStringList ranks = Ranking();
    ASSERT_EQ(ranks.size(), 6);
    EXPECT_EQ(ranks[4].section(u'/', 3), QStringLiteral("300")) << "one of the tied items is fifth";
    EXPECT_EQ(ranks[5], QStringLiteral("-/その他/その他/600")) << "the other, Tom's文具 and the empty item";
    EXPECT_EQ(f.num合計.Value(), QVariant(3500.0));
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from w経費順位ソート where 順位 = 10000")),
              QStringList{QStringLiteral("3")});

    Choose(f.cmb表示順位, QStringLiteral("10"));
    Click(f.cmd読込);
    EXPECT_EQ(Ranking().size(), 8);
    EXPECT_EQ(Ranking().last(), QStringLiteral("8/-/-/100"));

    // Per partner: 伊藤文具 sums both its lines; the quoted name is summed like any other.
    Click(f.Opt取引先別);
    Choose(f.cmb表示順位, QStringLiteral("5"));
    Click(f.cmd読込);
    EXPECT_EQ(Tied(Ranking(), {QStringLiteral("田中屋"), QStringLiteral("高橋工務店"), QStringLiteral("伊藤文具")}),
              (QStringList{QStringLiteral("1/-/O'Hara商会/800"), QStringLiteral("2/-/山田商店/700"),
                           QStringLiteral("3/-/鈴木商会/600"), QStringLiteral("4/-/佐藤電機/500"),
                           QStringLiteral("5/-/<either>/300"), QStringLiteral("-/その他/その他/600")}));
    EXPECT_FALSE(f.Grid経費順位.Columns(F::kCol科目).Visible());
    EXPECT_TRUE(f.Grid経費順位.Columns(F::kCol取引先名).Visible());

    Choose(f.cmb表示順位, QStringLiteral("すべて"));
    Click(f.cmd読込);
    EXPECT_EQ(Ranking().size(), 7);
    EXPECT_EQ(f.num合計.Value(), QVariant(3500.0));

    // A clear keeps the partner column shown on the empty grid.
    Key(Qt::Key_F9);
    EXPECT_TRUE(f.Opt科目別.Value());
    EXPECT_EQ(f.Grid経費順位.RowCount(), 0);
    EXPECT_TRUE(f.Grid経費順位.Columns(F::kCol取引先名).Visible());
}

TEST_F(FrmKeihiJuniTest, AnEmptyPeriodFieldIsFilledFromTheWindowAndTheStepsRead) {
    F& f = Open();
    TypeInto(&f.txt開始, QStringLiteral("2026/05/01"));
    Click(f.cmd読込);
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2027/04/30"));
    EXPECT_EQ(Ranking().first(), QStringLiteral("1/雑費/-/5800"));
    EXPECT_EQ(f.num合計.Value(), QVariant(8500.0));

    f.txt開始.Clear();
    TypeInto(&f.txt終了, QStringLiteral("2026/06/30"));
    Click(f.cmd読込);
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2026/04/01"));
    EXPECT_EQ(f.num合計.Value(), QVariant(1500.0));

    // One month on: July alone.
    TypeInto(&f.txt開始, QStringLiteral("2026/06/01"));
    Click(f.cmdMonNext);
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2026/07/01"));
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2026/07/31"));
    EXPECT_EQ(Ranking(), QStringList{QStringLiteral("1/消耗品費/-/600")});

    // A start later than the end: nothing, total 0.
    TypeInto(&f.txt開始, QStringLiteral("2027/01/01"));
    Click(f.cmd読込);
    EXPECT_TRUE(Ranking().isEmpty());
    EXPECT_EQ(f.num合計.Value(), QVariant(0.0));
}

TEST_F(FrmKeihiJuniTest, AFailedReadSaysSoKeysActAsTheirButtonsAndCloseOnlyUnloads) {
    F& f = Open();
    ExecData(QStringLiteral("drop table 取引明細"));
    Click(f.cmd読込);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("経費順位を読み込めませんでした。")});

    Key(Qt::Key_F7);
    EXPECT_TRUE(f.Cn印刷.isVisible());
    EXPECT_TRUE(f.cmd印刷サブ[1].isEnabled());
    Click(f.cmd印刷サブ[2]);
    EXPECT_FALSE(f.Cn印刷.isVisible());
    Key(Qt::Key_F1);
    EXPECT_EQ(ModMurv::FormNameStack[0], QStringLiteral("FrmKeihiJuni"));
    Click(f.cmd閉じる);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmKeihiJuni")), nullptr);
}

}  // namespace
