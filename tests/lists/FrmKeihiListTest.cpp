// The expense list by clicks and keys: the default window and its bounds,
// the month buttons, the filters, the thirteen orders, the month steps,
// deleting ticked lines, and names and paths with quotes.
#include <QClipboard>
#include <QScrollBar>

#include "lists/FrmKeihiList.h"
#include "lists/FrmMonthList.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/Drivers.h"

namespace {

using lists::FrmKeihiList;
using F = FrmKeihiList;

class FrmKeihiListTest : public test::ListsTest {
protected:
    F& Open() { return OpenFromMenu<F>(&core::MainMenu::cmd経費一覧, QStringLiteral("FrmKeihiList")); }
    void Read(F& f) { Click(f.cmd読込); }
    // The stored lines the list shows, in its order (by 明細ID, the rowid).
    QStringList Listed() { return Rows(QStringLiteral("select 明細ID from w経費一覧")); }
    QStringList Stored() { return Rows(QStringLiteral("select 金額 from 取引明細 order by rowid"), false); }
};

TEST_F(FrmKeihiListTest, OpensEmptyAndReadsThePeriodsTwelveMonthsBoundsIncluded) {
    AddLine(1, QStringLiteral("2026/03/31"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 1);
    AddLine(1, QStringLiteral("2026/04/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 20);
    AddLine(1, QStringLiteral("2027/03/31"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 300);
    AddLine(1, QStringLiteral("2027/04/01"), QStringLiteral("鈴木商会"), QStringLiteral("通信費"), 4000);
    F& f = Open();
    EXPECT_EQ(f.Caption(), QStringLiteral("経費一覧"));
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_TRUE(f.txt開始.IsNull());
    EXPECT_TRUE(f.num件数.IsNull());
    EXPECT_TRUE(f.cmb取引先名.hasFocus() || f.cmb取引先名.lineEdit()->hasFocus());
    EXPECT_EQ(f.cmb表示順.ListCount(), 13);
    EXPECT_TRUE(f.cmd印刷サブ[0].isEnabled());

    Read(f);
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2026/04/01"));
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2027/03/31"));
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), (QStringList{QStringLiteral("20"), QStringLiteral("300")}));
    EXPECT_EQ(f.num件数.Value(), QVariant(2.0));
    EXPECT_EQ(f.num合計.Value(), QVariant(320.0));
    EXPECT_EQ(f.Grid明細.CellText(0, F::kCol日付), QStringLiteral("26/04/01"));

    // A typed start keeps its day; the empty end comes from the window.
    TypeInto(&f.txt開始, QStringLiteral("2026/04/02"));
    f.txt終了.Clear();
    Read(f);
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2027/03/31"));
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), QStringList{QStringLiteral("300")});

    // Nothing in the window: an empty list counts 0 and totals 0.
    TypeInto(&f.txt開始, QStringLiteral("2025/01/01"));
    TypeInto(&f.txt終了, QStringLiteral("2025/12/31"));
    Read(f);
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_EQ(f.num件数.Value(), QVariant(0.0));
    EXPECT_EQ(f.num合計.Value(), QVariant(0.0));
    EXPECT_TRUE(Texts().isEmpty()) << Texts().join(u'|').toStdString();

    // A start that is no date stops the reading: no default is put over it.
    Click(f.cmdクリア);
    TypeInto(&f.txt開始, QStringLiteral("2026/05/32"));
    Read(f);
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_EQ(QApplication::focusWidget(), &f.txt開始);
}

TEST_F(FrmKeihiListTest, TheColumnsFitTheGridAndTheTotalsLabelsKeepApartFromTheirBoxes) {
    for (int i = 1; i <= 40; ++i)
        AddLine(i, QStringLiteral("2026/05/01"), QStringLiteral("山田"), QStringLiteral("雑費"), i);
    F& f = Open();
    auto* table = qobject_cast<QTableView*>(f.Grid明細.View());
    for (int read = 0; read < 2; ++read) {  // empty, then with its vertical scroll bar
        if (read) Read(f);
        QApplication::processEvents();
        EXPECT_FALSE(table->horizontalScrollBar()->isVisible());
        EXPECT_LE(table->columnViewportPosition(F::kCol摘要) + table->columnWidth(F::kCol摘要),
                  table->viewport()->width());
    }
    auto& m = OpenFromMenu<lists::FrmMonthList>(&core::MainMenu::cmd月別一覧, QStringLiteral("FrmMonthList"));
    EXPECT_GE(m.num合計.geometry().left() - m.Label5.geometry().right(), 6);
    EXPECT_GE(m.num税合計.geometry().left() - m.Label7.geometry().right(), 6);
}

TEST_F(FrmKeihiListTest, MonthButtonsCountFromThePeriodAndReadTheChosenMonthsAcrossTheYearEnd) {
    AddLine(1, QStringLiteral("2026/04/30"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 1);
    AddLine(1, QStringLiteral("2026/06/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 30);
    AddLine(2, QStringLiteral("2026/06/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 20);
    AddLine(1, QStringLiteral("2026/12/31"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 400);
    AddLine(1, QStringLiteral("2027/01/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 5000);
    AddLine(1, QStringLiteral("2027/02/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 60000);
    F& f = Open();
    QStringList captions;
    for (int i = 0; i < 12; ++i) captions << f.cmd月別[i].Caption();
    EXPECT_EQ(captions.join(u' '), QStringLiteral("04 05 06 07 08 09 10 11 12 01 02 03"));
    EXPECT_EQ(f.cmd月別[0].BackColorBgr(), F::kMonthOff);

    // Clicks toggle; June (2) before April (0) in button order, each month in the chosen order.
    Click(f.cmd月別[2]);
    Click(f.cmd月別[0]);
    EXPECT_EQ(f.cmd月別[2].BackColorBgr(), F::kMonthOn);
    Choose(f.cmb表示順, QStringLiteral("金額降順"));
    Read(f);
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額),
              (QStringList{QStringLiteral("1"), QStringLiteral("30"), QStringLiteral("20")}));
    EXPECT_EQ(f.num件数.Value(), QVariant(3.0));
    EXPECT_EQ(f.num合計.Value(), QVariant(51.0));
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2026/04/01")) << "the fields are still filled";

    // December and January: the turn of the year.
    Click(f.cmd月別[2]);
    Click(f.cmd月別[0]);
    Click(f.cmd月別[8]);
    Click(f.cmd月別[9]);
    Read(f);
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), (QStringList{QStringLiteral("400"), QStringLiteral("5000")}));

    // A clear unselects every month.
    Key(Qt::Key_F9);
    EXPECT_EQ(f.cmd月別[8].BackColorBgr(), F::kMonthOff);
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_TRUE(f.txt開始.IsNull());
}

TEST_F(FrmKeihiListTest, WithoutAPeriodTheMonthButtonsAreCaptionedFromTodaysMonthAsTheyRead) {
    AddLine(1, QStringLiteral("2026/12/20"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 12);
    AddLine(1, QStringLiteral("2027/01/20"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 1);
    ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    ModMurv::PeriodStart = QDate();  // no period at all
    F& f = Open();
    EXPECT_EQ(f.cmd月別[0].Caption(), QStringLiteral("12"));
    EXPECT_EQ(f.cmd月別[1].Caption(), QStringLiteral("01"));
    Click(f.cmd月別[1]);
    Read(f);
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), QStringList{QStringLiteral("1")});
    EXPECT_EQ(f.MonthWindow(1).start, QDate(2027, 1, 1));
}

TEST_F(FrmKeihiListTest, PartnerAndItemFiltersNarrowTheListAndANameWithAQuoteWorks) {
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("O'Hara商会"), QStringLiteral("雑費"), 1);
    AddLine(2, QStringLiteral("2026/05/01"), QStringLiteral("O'Hara商会"), QStringLiteral("通信費"), 20);
    AddLine(3, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 300);
    ExecData(QStringLiteral("insert into 取引先マスタ (取引先名, ふりがな) values ('O''Hara商会', 'おはら')"));
    F& f = Open();
    EXPECT_EQ(f.cmb取引先名.List(0), QStringLiteral("O'Hara商会"));

    TypeInto(&f.cmb取引先名, QStringLiteral("O'Hara商会"));
    Read(f);
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), (QStringList{QStringLiteral("1"), QStringLiteral("20")}));
    TypeInto(&f.cmb科目, QStringLiteral("雑費"));
    Read(f);
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), QStringList{QStringLiteral("1")});
    TypeInto(&f.cmb取引先名, QString());
    Read(f);
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), (QStringList{QStringLiteral("1"), QStringLiteral("300")}));
    EXPECT_TRUE(Texts().isEmpty()) << Texts().join(u'|').toStdString();

    // The quoted partner's line is deleted like any other.
    ClickCell(f.Grid明細, 0, F::kColチェック);
    Press(f.cmd行削除, Answer::Yes);
    EXPECT_EQ(Stored(), (QStringList{QStringLiteral("20"), QStringLiteral("300")}));
}

TEST_F(FrmKeihiListTest, EachOfTheThirteenOrdersWithTiesInStoredOrder) {
    // id: number, date, partner, item, amount
    AddLine(2, QStringLiteral("2026/05/10"), QStringLiteral("か商店"), QStringLiteral("う雑費"), 300);  // 1
    AddLine(1, QStringLiteral("2026/05/10"), QStringLiteral("あ商店"), QStringLiteral("い通信"), 100);  // 2
    AddLine(1, QStringLiteral("2026/04/20"), QStringLiteral("か商店"), QStringLiteral("い通信"), 300);  // 3
    AddLine(3, QStringLiteral("2026/06/01"), QStringLiteral("あ商店"), QStringLiteral("う雑費"), 200);  // 4
    AddLine(2, QStringLiteral("2026/04/20"), QStringLiteral("あ商店"), QStringLiteral("い通信"), 100);  // 5
    const std::pair<const char16_t*, const char*> orders[] = {
        {u"", "2 3 1 5 4"},
        {u"日付昇順", "3 5 1 2 4"},
        {u"日付降順", "4 1 2 3 5"},
        {u"金額昇順", "2 5 4 1 3"},
        {u"金額降順", "1 3 4 2 5"},
        {u"科目別、日付昇順", "3 5 2 1 4"},
        {u"科目別、日付降順", "2 3 5 4 1"},
        {u"科目別、金額昇順", "2 5 3 4 1"},
        {u"科目別、金額降順", "3 2 5 1 4"},
        {u"取引先別、日付昇順", "5 2 4 3 1"},
        {u"取引先別、日付降順", "4 2 5 1 3"},
        {u"取引先別、金額昇順", "2 5 4 1 3"},
        {u"取引先別、金額降順", "4 2 5 1 3"},
    };
    F& f = Open();
    for (const auto& [order, expected] : orders) {
        Choose(f.cmb表示順, QString::fromUtf16(order));
        Read(f);
        EXPECT_EQ(Listed().join(u' ').toStdString(), expected) << QString::fromUtf16(order).toStdString();
        ASSERT_EQ(f.Grid明細.RowCount(), 5);
    }
}

TEST_F(FrmKeihiListTest, MonthStepsMoveBothEndsAtMonthEndsAndInALeapYearAndRead) {
    AddLine(1, QStringLiteral("2006/03/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 1);
    AddLine(1, QStringLiteral("2027/01/15"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 20);
    F& f = Open();
    TypeInto(&f.txt開始, QStringLiteral("2006/03/31"));
    TypeInto(&f.txt終了, QStringLiteral("2006/04/30"));
    Click(f.cmdMonBef);
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2006/02/28"));
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2006/03/31"));
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), QStringList{QStringLiteral("1")});

    TypeInto(&f.txt開始, QStringLiteral("2008/01/31"));
    TypeInto(&f.txt終了, QStringLiteral("2008/01/31"));
    Click(f.cmdMonNext);
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2008/02/29"));
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2008/02/29"));
    Click(f.cmdMonNext);
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2008/03/31"));

    // From empty fields: the month after today's (2026/12/09).
    f.txt開始.Clear();
    f.txt終了.Clear();
    Click(f.cmdMonNext);
    EXPECT_EQ(Date(f.txt開始), QStringLiteral("2027/01/01"));
    EXPECT_EQ(Date(f.txt終了), QStringLiteral("2027/01/31"));
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), QStringList{QStringLiteral("20")});
}

TEST_F(FrmKeihiListTest, DeleteAsksFirstWarnsWithoutTicksAndNoChangesNothing) {
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    F& f = Open();
    Read(f);
    Press(f.cmd行削除, Answer::Yes);
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("指定されたデータ を削除します。よろしいですか"),
                                    QStringLiteral("行が指定されていません。行指定してください。")}));
    EXPECT_EQ(boxes_.Shown()[0].defaultButton, Answer::No);

    boxes_.Clear();
    ClickCell(f.Grid明細, 0, F::kColチェック);
    boxes_.QueueAnswer(Answer::No);
    Key(Qt::Key_F10);
    EXPECT_EQ(Texts().size(), 1);
    EXPECT_EQ(Stored(), QStringList{QStringLiteral("100")});
    EXPECT_EQ(f.Grid明細.CellValue(0, F::kColチェック), QVariant(true));
}

TEST_F(FrmKeihiListTest, DeleteTakesExactlyTheTickedLineAmongLinesSharingDatePartnerAndNumber) {
    // Two registration batches: the same date, partner and line number.
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 200);
    AddLine(1, QStringLiteral("2026/06/01"), QStringLiteral("鈴木商会"), QStringLiteral("雑費"), 300);
    F& f = Open();
    Choose(f.cmb表示順, QStringLiteral("金額降順"));
    Read(f);
    ASSERT_EQ(Column(f.Grid明細, F::kCol金額),
              (QStringList{QStringLiteral("300"), QStringLiteral("200"), QStringLiteral("100")}));
    ClickCell(f.Grid明細, 1, F::kColチェック);
    Press(f.cmd行削除, Answer::Yes);
    EXPECT_EQ(Texts().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_EQ(Stored(), (QStringList{QStringLiteral("100"), QStringLiteral("300")}));
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), (QStringList{QStringLiteral("300"), QStringLiteral("100")}));
    EXPECT_EQ(f.num件数.Value(), QVariant(2.0)) << "the count and total follow the list";
    EXPECT_EQ(f.num合計.Value(), QVariant(400.0));

    // A line changed since the reading is not the one listed: it stays, and so does its row.
    ExecData(QStringLiteral("update 取引明細 set 行番号 = 7 where 金額 = 100"));
    ClickCell(f.Grid明細, 1, F::kColチェック);
    ClickCell(f.Grid明細, 0, F::kColチェック);
    boxes_.Clear();
    Press(f.cmd行削除, Answer::Yes);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(
        Texts()[1],
        QStringLiteral("読込みの後に変更または削除された明細は削除していません。チェックしたまま一覧に残っています。"));
    EXPECT_EQ(Stored(), QStringList{QStringLiteral("100")});
    EXPECT_EQ(Column(f.Grid明細, F::kCol金額), QStringList{QStringLiteral("100")});
    EXPECT_EQ(f.Grid明細.CellValue(0, F::kColチェック), QVariant(true));
}

TEST_F(FrmKeihiListTest, AFailedDeleteChangesNothingSaysSoAndKeepsTheRows) {
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(2, QStringLiteral("2026/05/02"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 300);
    F& f = Open();
    // Made after start-up, which takes no book with a trigger of its own.
    {
        db::Database d;
        ASSERT_TRUE(d.Open(DataFile()));
        ASSERT_TRUE(
            d.ExecuteNative(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON 取引明細 WHEN OLD.金額 = 300 BEGIN "
                                           "SELECT RAISE(ABORT, 'kept'); END")));
    }
    Read(f);
    ClickCell(f.Grid明細, 0, F::kColチェック);
    ClickCell(f.Grid明細, 1, F::kColチェック);
    Press(f.cmd行削除, Answer::Yes);
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_EQ(Texts()[1],
              QStringLiteral(
                  "明細を削除できませんでした。データは変更されていません。チェックした明細は画面に残っています。"));
    EXPECT_EQ(Stored(), (QStringList{QStringLiteral("100"), QStringLiteral("300")}));
    EXPECT_EQ(f.Grid明細.RowCount(), 2);
    EXPECT_EQ(f.num件数.Value(), QVariant(2.0));
}

TEST_F(FrmKeihiListTest, AFailedReadSaysSoAndShowsNoList) {
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    F& f = Open();
    Read(f);
    ExecData(QStringLiteral("drop table 取引明細"));
    Read(f);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("経費一覧を読み込めませんでした。")});
    EXPECT_EQ(f.Grid明細.RowCount(), 0);
    EXPECT_TRUE(f.num件数.IsNull());
    EXPECT_TRUE(f.num合計.IsNull());
}

TEST_F(FrmKeihiListTest, AnOlderWorkFileGetsTheListsNewFieldAndDeletesWork) {
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    AddLine(1, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 200);
    {
        db::Database d;
        ASSERT_TRUE(d.Open(WorkFile()));
        for (const char* table : {"w経費一覧", "w経費一覧印刷"})
            ASSERT_TRUE(
                d.ExecuteNative(QStringLiteral("ALTER TABLE %1 DROP COLUMN 明細ID").arg(QString::fromUtf8(table))));
    }
    F& f = Open();
    Read(f);
    ClickCell(f.Grid明細, 0, F::kColチェック);
    Press(f.cmd行削除, Answer::Yes);
    EXPECT_EQ(Texts().size(), 1) << Texts().join(u'|').toStdString();
    EXPECT_EQ(Stored(), QStringList{QStringLiteral("200")});
}

TEST_F(FrmKeihiListTest, OnlyTheTickAndTheNoteCanBeEdited) {
    AddLine(4, QStringLiteral("2026/05/01"), QStringLiteral("山田商店"), QStringLiteral("雑費"), 100);
    F& f = Open();
    Read(f);
    ui::DataGrid& g = f.Grid明細;
    for (int col : {F::kCol行番号, F::kCol日付, F::kCol取引先名, F::kCol金額, F::kCol科目}) {
        ClickCell(g, 0, col);
        ClickCell(g, 0, col);
        EXPECT_NE(g.Col(), col) << "the cursor never enters column " << col;
        EXPECT_FALSE(g.IsEditing());
    }
    EXPECT_EQ(Rows(QStringLiteral("select 行番号,日付,取引先名,金額,科目 from w経費一覧")),
              QStringList{QStringLiteral("4/2026/05/01/山田商店/100/雑費")});
    ClickCell(g, 0, F::kCol摘要);
    TypeInGrid(g, QStringLiteral("memo"));
    EXPECT_EQ(Rows(QStringLiteral("select 摘要 from w経費一覧")), QStringList{QStringLiteral("memo")});

    // Pasted: a note longer than its field is said, never cut; 255 characters beyond the BMP fit whole.
    const test::GridDriver driver(g);
    const QString wide = QString::fromUcs4(U"\U0002000B").repeated(255);
    for (const QString& note : {QString(256, QChar(u'あ')), wide}) {
        QGuiApplication::clipboard()->setText(note);
        driver.Click(0, F::kCol摘要);
        driver.Click(0, F::kCol摘要);  // into its editor
        driver.Key(Qt::Key_A, Qt::ControlModifier);
        driver.Key(Qt::Key_V, Qt::ControlModifier);
        driver.Key(Qt::Key_Return);
    }
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("入力された文字が長すぎます（256文字）。")))
        << Texts()[0].toStdString();
    EXPECT_EQ(Rows(QStringLiteral("select 摘要 from w経費一覧")), QStringList{wide});
}

TEST_F(FrmKeihiListTest, KeysActAsTheirButtonsAndCloseGoesBackToTheMenuWhenAlone) {
    F& f = Open();
    Key(Qt::Key_F7);
    EXPECT_TRUE(f.Cn印刷.isVisible());
    Click(f.cmd印刷サブ[2]);
    EXPECT_FALSE(f.Cn印刷.isVisible());
    Key(Qt::Key_F1);
    EXPECT_EQ(ModMurv::FormNameStack[0], QStringLiteral("FrmKeihiList"));
    EXPECT_TRUE(f.IsLoaded());
    f.Show();
    Key(Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmKeihiList")), nullptr);
}

}  // namespace
