// Printing from the three list screens: the print panel hands what the
// screen shows to its report, and an earlier reading of another screen
// never shows in a later print.
#include "lists/FrmKeihiJuni.h"
#include "lists/FrmKeihiList.h"
#include "lists/FrmMonthList.h"
#include "platform/report/PrintService.h"
#include "platform/report/Report.h"
#include "tests/lists/ListsFixture.h"

namespace {

class ListPrintTest : public test::ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        previous_ = report::SetPrintService(&printer_);
        AddLine(1, QStringLiteral("2026/04/03"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 1080);
        AddLine(2, QStringLiteral("2026/05/10"), QStringLiteral("O'Hara商会"), QStringLiteral("通信費"), 2200);
        AddLine(1, QStringLiteral("2026/05/11"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 500);
    }
    void TearDown() override {
        report::SetPrintService(previous_);
        ListsTest::TearDown();
    }
    // The texts of one control on the first page of a recorded job.
    QStringList Printed(size_t job, const QString& control) const {
        return report::TextsOf(printer_.Jobs().at(job).pages->pages.at(0), control);
    }

    report::ScriptedPrintService printer_;
    report::PrintService* previous_ = nullptr;
};

TEST_F(ListPrintTest, TheExpenseListPrintsWhatItShowsAndOneReportPerChosenMonth) {
    auto& f = OpenFromMenu<lists::FrmKeihiList>(&core::MainMenu::cmd経費一覧, QStringLiteral("FrmKeihiList"));
    Click(f.cmd読込);
    Key(Qt::Key_F7);
    ASSERT_TRUE(f.Cn印刷.Visible());
    Click(f.cmd印刷サブ[1]);
    EXPECT_FALSE(f.Cn印刷.Visible());
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_TRUE(printer_.Jobs()[0].preview);
    // In the list's own order.
    EXPECT_EQ(Column(f.Grid明細, lists::FrmKeihiList::kCol金額), (QStringList{"1080", "500", "2200"}));
    EXPECT_EQ(Printed(0, QStringLiteral("txt金額")), (QStringList{"1,080", "500", "2,200"}));
    EXPECT_EQ(Printed(0, QStringLiteral("txt取引先名")).at(2), QStringLiteral("O'Hara商会"));
    EXPECT_EQ(Printed(0, QStringLiteral("txt件数")), QStringList{"3"});
    EXPECT_EQ(Printed(0, QStringLiteral("txt合計")), QStringList{"3,780"});

    // April and May chosen: one report each, the printer dialog only once.
    Click(f.cmd月別[0]);
    Click(f.cmd月別[1]);
    Click(f.cmd読込);
    Click(f.cmd印刷);
    Click(f.cmd印刷サブ[0]);
    ASSERT_EQ(printer_.Jobs().size(), 3u);
    EXPECT_TRUE(printer_.Jobs()[1].dialogShown);
    EXPECT_FALSE(printer_.Jobs()[2].dialogShown);
    EXPECT_EQ(Printed(1, QStringLiteral("txt金額")), QStringList{"1,080"});
    EXPECT_EQ(Printed(2, QStringLiteral("txt金額")), (QStringList{"500", "2,200"}));
    EXPECT_TRUE(Texts().isEmpty()) << Texts().join(u'|').toStdString();
}

TEST_F(ListPrintTest, AMonthPrintsTheMonthItWasReadWithAfterThePeriodChanged) {
    auto& f = OpenFromMenu<lists::FrmKeihiList>(&core::MainMenu::cmd経費一覧, QStringLiteral("FrmKeihiList"));
    Click(f.cmd月別[0]);
    Click(f.cmd読込);
    ModMurv::PeriodStart = QDate(2027, 4, 1);  // a save on 保守 while the list stays open
    Click(f.cmd印刷);
    Click(f.cmd印刷サブ[1]);
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_EQ(Printed(0, QStringLiteral("txt期間")), QStringList{"2026/04/01 ～ 2026/04/30"});
    EXPECT_EQ(Printed(0, QStringLiteral("txt金額")), QStringList{"1,080"});
    EXPECT_EQ(Printed(0, QStringLiteral("txt件数")), QStringList{"1"});
}

TEST_F(ListPrintTest, TheRankingAndTheMonthlyTablePrintTheirReadingWithItsTotals) {
    auto& r = OpenFromMenu<lists::FrmKeihiJuni>(&core::MainMenu::cmd経費順位, QStringLiteral("FrmKeihiJuni"));
    Click(r.cmd読込);
    Click(r.cmd印刷);
    Click(r.cmd印刷サブ[1]);
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_EQ(Printed(0, QStringLiteral("txt科目")), (QStringList{"通信費", "雑費"}));
    EXPECT_EQ(Printed(0, QStringLiteral("txt合計")), QStringList{"3,780"});
    Click(r.cmd印刷);
    Click(r.cmd印刷サブ[2]);
    EXPECT_EQ(printer_.Jobs().size(), 1u) << "ｷｬﾝｾﾙ prints nothing";
    EXPECT_FALSE(r.Cn印刷.Visible());

    // Another grouping and period chosen but not read: the print is still
    // that of the rows, under their own words; once read, the partners'.
    Click(r.Opt取引先別);
    TypeInto(&r.txt開始, QStringLiteral("2026/05/01"));
    Click(r.cmd印刷);
    Click(r.cmd印刷サブ[1]);
    ASSERT_EQ(printer_.Jobs().size(), 2u);
    EXPECT_EQ(Printed(1, QStringLiteral("lbl科目")), QStringList{"科　　　目"});
    EXPECT_EQ(Printed(1, QStringLiteral("txt科目")), (QStringList{"通信費", "雑費"}));
    EXPECT_EQ(Printed(1, QStringLiteral("txt期間")), QStringList{"2026/04/01 ～ 2027/03/31"});
    Click(r.cmd読込);
    Click(r.cmd印刷);
    Click(r.cmd印刷サブ[1]);
    ASSERT_EQ(printer_.Jobs().size(), 3u);
    EXPECT_EQ(Printed(2, QStringLiteral("txt取引先名")), (QStringList{"O'Hara商会", "山田商店"}));

    auto& m = OpenFromMenu<lists::FrmMonthList>(&core::MainMenu::cmd月別一覧, QStringLiteral("FrmMonthList"));
    Click(m.cmd読込);
    Click(m.cmd印刷);
    Click(m.cmd印刷サブ[1]);
    ASSERT_EQ(printer_.Jobs().size(), 4u);
    const QString all = report::Dump(*printer_.Jobs()[3].pages);
    EXPECT_TRUE(all.contains(QStringLiteral("通信費"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("3,780"))) << all.toStdString();
    EXPECT_TRUE(Texts().isEmpty()) << Texts().join(u'|').toStdString();
}

TEST_F(ListPrintTest, SevenAndNineDigitAmountsPrintToTheYen) {
    AddLine(3, QStringLiteral("2026/06/01"), QStringLiteral("大口商事"), QStringLiteral("外注工賃"), 1234567);
    AddLine(4, QStringLiteral("2026/06/02"), QStringLiteral("大口商事"), QStringLiteral("外注工賃"), 123456789);
    auto& r = OpenFromMenu<lists::FrmKeihiJuni>(&core::MainMenu::cmd経費順位, QStringLiteral("FrmKeihiJuni"));
    Click(r.cmd読込);
    Click(r.cmd印刷);
    Click(r.cmd印刷サブ[1]);
    EXPECT_EQ(Printed(0, QStringLiteral("txt金額")).value(0), QStringLiteral("124,691,356"));
    EXPECT_EQ(Printed(0, QStringLiteral("txt合計")), QStringList{"124,695,136"});
}

TEST_F(ListPrintTest, TotalsBeyondTwelveDigitsShowAndPrintWhole) {
    for (int i = 0; i < 101; ++i)  // the largest amount a line holds
        AddLine(10 + i, QStringLiteral("2026/06/15"), QStringLiteral("大口"), QStringLiteral("外注"), 9999999999);
    auto& f = OpenFromMenu<lists::FrmKeihiList>(&core::MainMenu::cmd経費一覧, QStringLiteral("FrmKeihiList"));
    auto& r = OpenFromMenu<lists::FrmKeihiJuni>(&core::MainMenu::cmd経費順位, QStringLiteral("FrmKeihiJuni"));
    auto& m = OpenFromMenu<lists::FrmMonthList>(&core::MainMenu::cmd月別一覧, QStringLiteral("FrmMonthList"));
    for (ui::CommandButton* b : {&f.cmd読込, &f.cmd印刷, &f.cmd印刷サブ[1], &r.cmd読込, &r.cmd印刷, &r.cmd印刷サブ[1],
                                 &m.cmd読込, &m.cmd印刷, &m.cmd印刷サブ[1]})
        Click(*b);
    const QString all = QStringLiteral("1,010,000,003,679"), june = QStringLiteral("1,009,999,999,899");
    EXPECT_EQ(QStringList({f.num合計.Text(), r.num合計.Text(), m.num合計.Text(), m.num月計[2].Text()}) +
                  Printed(0, QStringLiteral("txt合計")) + Printed(1, QStringLiteral("txt合計")) +
                  Printed(2, QStringLiteral("txt合計金額")) + Printed(2, QStringLiteral("txt月計3")),
              (QStringList{all, all, all, june, all, all, u'¥' + all, june}));
}

}  // namespace
