// The monthly table by clicks and keys over a worked example: a fiscal year
// from April, the month totals and taxes, a second reading from another
// month, the cut into "その他", lines without an item, a name with a quote
// and the grouping switches.
#include "core/EraDate.h"
#include "lists/FrmMonthList.h"
#include "platform/ui/AppLook.h"
#include "tests/lists/ListsFixture.h"

namespace {

using lists::FrmMonthList;
using F = FrmMonthList;

class FrmMonthListTest : public test::ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        AddLine(1, QStringLiteral("2026/04/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 1000, 47);
        AddLine(1, QStringLiteral("2026/05/10"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 2000, 95);
        AddLine(1, QStringLiteral("2026/05/20"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 300, 14);
        AddLine(1, QStringLiteral("2026/05/25"), QStringLiteral("高橋工務店"), QStringLiteral("会議費"), 200, 9);
        AddLine(1, QStringLiteral("2026/06/01"), QStringLiteral("佐藤電機"), QVariant(), 400, 19);
        AddLine(1, QStringLiteral("2026/12/31"), QStringLiteral("O'Hara商会"), QStringLiteral("Tom's文具"), 123456,
                5878);
        AddLine(1, QStringLiteral("2027/03/31"), QStringLiteral("田中屋"), QStringLiteral("通信費"), 50000, 2380);
        AddLine(1, QStringLiteral("2027/04/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 7);
    }
    F& Open() { return OpenFromMenu<F>(&core::MainMenu::cmd月別一覧, QStringLiteral("FrmMonthList")); }
    QStringList Table() {
        return Rows(
            QStringLiteral("select 取引先名, 科目, 合計, 金額1, 金額2, 金額3, 金額9, 金額12, 順位 from w月別経費"));
    }
    static QStringList Boxes(const ui::ControlArray<ui::NumberBox>& boxes) {
        QStringList out;
        for (int k = 0; k < 12; ++k) out << Shown(boxes[k].Value());
        return out;
    }
    static QStringList Captions(const F& f) {
        QStringList out;
        for (int k = 0; k < 12; ++k) out << f.Grid明細.Columns(F::kColMonth1 + k).Caption();
        return out;
    }
};

TEST_F(FrmMonthListTest, AFiscalYearFromAprilPerItemWithMonthTotalsTaxesAndFonts) {
    F& f = Open();
    EXPECT_EQ(f.Caption(), QStringLiteral("月別経費一覧"));
    EXPECT_TRUE(f.Opt科目別.Value());
    EXPECT_EQ(f.cmb表示順位.Text(), QString());
    EXPECT_EQ(Captions(f).join(u' '), QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12"));
    EXPECT_NEAR(f.num月計[0].Left() - f.Grid明細.x() * 15, 2900, 15) << "the boxes lie under the month columns";

    Choose(f.cmb表示順位, QStringLiteral("すべて"));
    Click(f.cmd読込);
    EXPECT_EQ(f.txt開始.Date(), QDate(2026, 4, 1));
    EXPECT_EQ(Captions(f).join(u' '),
              QStringLiteral("26/04 26/05 26/06 26/07 26/08 26/09 26/10 26/11 26/12 27/01 27/02 27/03"));
    EXPECT_EQ(Table(),
              (QStringList{QStringLiteral("-/Tom's文具/123456/-/-/-/123456/-/1"),
                           QStringLiteral("-/通信費/50300/-/300/-/-/50000/2"),
                           QStringLiteral("-/雑費/3000/1000/2000/-/-/-/3"), QStringLiteral("-/-/400/-/-/400/-/-/4"),
                           QStringLiteral("-/会議費/200/-/200/-/-/-/5")}));
    EXPECT_EQ(Boxes(f.num月計).join(u' '), QStringLiteral("1000 2500 400 - - - - - 123456 - - 50000"));
    EXPECT_EQ(Boxes(f.num月税計).join(u' '), QStringLiteral("47 118 19 - - - - - 5878 - - 2380"));
    EXPECT_EQ(f.num合計.Value(), QVariant(177356.0)) << "the rows add up to the month boxes";
    EXPECT_EQ(f.num税合計.Value(), QVariant(8442.0));
    // Fonts by the largest line of each month, and of the total column.
    EXPECT_EQ(f.num月計[0].FontSize(), 11);
    EXPECT_EQ(f.Grid明細.Columns(F::kColMonth1 + 8).FontSize(), 9);
    EXPECT_EQ(f.num月計[11].FontSize(), 10);
    EXPECT_EQ(f.num月計[6].FontSize(), 8);
    EXPECT_EQ(f.Grid明細.Columns(F::kCol合計).FontSize(), 11);
    EXPECT_TRUE(Texts().isEmpty()) << Texts().join(u'|').toStdString();
}

TEST_F(FrmMonthListTest, ASecondReadingFromAnotherMonthShowsNoStaleMonths) {
    F& f = Open();
    Click(f.cmd読込);
    ASSERT_EQ(f.num月計[0].Value(), QVariant(1000.0));
    TypeInto(&f.txt開始, QStringLiteral("2026/07/01"));
    Click(f.cmd読込);
    EXPECT_EQ(Captions(f).first(), QStringLiteral("26/07"));
    EXPECT_EQ(Captions(f).last(), QStringLiteral("27/06"));
    EXPECT_EQ(Boxes(f.num月計).join(u' '), QStringLiteral("- - - - - 123456 - - 50000 7 - -"));
    EXPECT_EQ(Boxes(f.num月税計).join(u' '), QStringLiteral("- - - - - 5878 - - 2380 - - -"));
    EXPECT_EQ(f.num合計.Value(), QVariant(173463.0));
    EXPECT_EQ(f.num税合計.Value(), QVariant(8258.0));

    // An empty window: no rows, but its months are captioned and every box is empty.
    TypeInto(&f.txt開始, QStringLiteral("2030/01/01"));
    Click(f.cmd読込);
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_EQ(Captions(f).first(), QStringLiteral("30/01"));
    EXPECT_EQ(Boxes(f.num月計).join(u' '), QStringLiteral("- - - - - - - - - - - -"));
    EXPECT_TRUE(f.num合計.IsNull());
    EXPECT_EQ(f.num税合計.Value(), QVariant(0.0));
    EXPECT_EQ(f.Grid明細.Columns(F::kCol合計).FontSize(), 9);
}

TEST_F(FrmMonthListTest, TheStartMonthTakesAMonthAsItShowsItAndSaysWhatItCannotRead) {
    F& f = Open();
    f.txt開始.setFont(ui::DefaultFont());  // the program's
    const std::pair<const char*, const char*> months[] = {{"2026年07月", "26/07"}, {"26年08月", "26/08"}};
    for (const auto& [typed, caption] : months) {
        TypeInto(&f.txt開始, QString::fromUtf8(typed));
        Click(f.cmd読込);
        EXPECT_EQ(Captions(f).first(), QString::fromUtf8(caption)) << typed;
    }
    EXPECT_EQ(core::ParseDate(QStringLiteral("平成 18年07月"), QStringLiteral("ggg ee年mm月")), QDate(2006, 7, 1));
    // Focused, the month shows whole: its end lies past the 2-pixel margin.
    f.txt開始.setFocus();
    f.txt開始.end(false);
    EXPECT_GE(f.txt開始.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(),
              2 + f.txt開始.fontMetrics().horizontalAdvance(f.txt開始.Text()));
    TypeInto(&f.txt開始, QStringLiteral("2026年13月"));
    ASSERT_EQ(boxes_.Shown().size(), 1);
    EXPECT_EQ(boxes_.Shown().first().title, QStringLiteral("入力注意"));
    EXPECT_EQ(f.txt開始.Text(), QStringLiteral("2026年13月"));
}

TEST_F(FrmMonthListTest, PerPartnerALimitOfFiveSumsTheRestIntoOneOtherRow) {
    F& f = Open();
    Click(f.Opt取引先別);
    Choose(f.cmb表示順位, QStringLiteral("5"));
    Click(f.cmd読込);
    EXPECT_EQ(
        Table(),
        (QStringList{
            QStringLiteral("O'Hara商会/-/123456/-/-/-/123456/-/1"), QStringLiteral("田中屋/-/50000/-/-/-/-/50000/2"),
            QStringLiteral("山田商店/-/3000/1000/2000/-/-/-/3"), QStringLiteral("佐藤電機/-/400/-/-/400/-/-/4"),
            QStringLiteral("鈴木商会/-/300/-/300/-/-/-/5"), QStringLiteral("その他/その他/200/-/200/-/-/-/-")}));
    EXPECT_EQ(f.num合計.Value(), QVariant(177356.0));
    EXPECT_TRUE(f.Grid明細.Columns(F::kCol取引先名).Visible());
    EXPECT_FALSE(f.Grid明細.Columns(F::kCol科目).Visible());

    Choose(f.cmb表示順位, QStringLiteral("10"));
    Click(f.cmd読込);
    EXPECT_EQ(f.Grid明細.RowCount(), 6);
    EXPECT_EQ(Rows(QStringLiteral("select count(*) from w月別経費 where 順位 is null")),
              QStringList{QStringLiteral("0")});
}

TEST_F(FrmMonthListTest, EitherGroupingSwitchEmptiesTheTableTheTotalsAndBothRowsOfBoxes) {
    F& f = Open();
    Click(f.cmd読込);
    ASSERT_FALSE(f.num月税計[0].IsNull());
    Click(f.Opt取引先別);
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_TRUE(f.num合計.IsNull());
    EXPECT_TRUE(f.num税合計.IsNull());
    EXPECT_EQ(Boxes(f.num月税計).join(u' '), QStringLiteral("- - - - - - - - - - - -"));

    Click(f.cmd読込);
    ASSERT_FALSE(f.num税合計.IsNull());
    Click(f.Opt科目別);
    EXPECT_TRUE(f.num税合計.IsNull()) << "no tax of the old reading stays to be printed";
    EXPECT_EQ(Boxes(f.num月税計).join(u' '), QStringLiteral("- - - - - - - - - - - -"));
    EXPECT_EQ(Boxes(f.num月計).join(u' '), QStringLiteral("- - - - - - - - - - - -"));
}

TEST_F(FrmMonthListTest, EraYearsInTheCaptionsTheMonthCellFontAndTheKeys) {
    SetCompany(QStringLiteral("年号 = '和暦'"));
    F& f = Open();
    EXPECT_EQ(f.txt開始.Width(), 1890);
    Choose(f.cmb表示順位, QStringLiteral("すべて"));
    Click(f.cmd読込);
    EXPECT_EQ(Captions(f).first(), QStringLiteral("08/04"));
    // The current row's value in a month column sets that column's font.
    ClickCell(f.Grid明細, 0, F::kColMonth1 + 8);
    EXPECT_EQ(f.Grid明細.Columns(F::kColMonth1 + 8).FontSize(), 10);
    ClickCell(f.Grid明細, 2, F::kColMonth1 + 1);
    EXPECT_EQ(f.Grid明細.Columns(F::kColMonth1 + 1).FontSize(), 12);

    Key(Qt::Key_F9);
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_TRUE(f.txt開始.IsNull());
    Key(Qt::Key_F7);
    EXPECT_TRUE(f.Cn印刷.isVisible());
    Click(f.cmd印刷サブ[2]);
    Key(Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmMonthList")), nullptr);
}

}  // namespace
