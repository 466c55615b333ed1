// The expense list report and its print hand-off: the whole list, one
// report per selected month with its own period, count and total, the
// print dialog of the first month only, cancelling, and previews that keep
// their month.
#include <QFontMetricsF>
#include <QPrinter>
#include <QTimer>

#include "platform/report/Fonts.h"
#include "tests/reports/ReportsFixture.h"

namespace {

using namespace reports;

class ExpenseListReportTest : public test::ReportsTest {
protected:
    void SetUp() override {
        ReportsTest::SetUp();
        ModMurv::PeriodStart = QDate(2026, 4, 1);
        ModMurv::PeriodEnd = QDate(2027, 3, 31);
    }
    void Line(const char* date, const QString& partner, qint64 amount, const QString& item) {
        Work(QStringLiteral(
                 "insert into w経費一覧 (行番号, 日付, 取引先名, 金額, 科目) values (1, #%1#, '%2', %3, '%4')")
                 .arg(QLatin1String(date), partner)
                 .arg(amount)
                 .arg(item));
    }
    static ExpenseListPrint WholeYear() {
        ExpenseListPrint p;
        p.dateFrom = QDate(2026, 4, 1);
        p.dateTo = QDate(2027, 3, 31);
        p.total = 1234567;
        p.count = 1234;
        return p;
    }
    // Months of the reading, counted from April 2026.
    static std::vector<std::pair<QDate, QDate>> Months(std::initializer_list<int> months) {
        std::vector<std::pair<QDate, QDate>> windows;
        for (const int i : months)
            windows.emplace_back(QDate(2026, 4, 1).addMonths(i), QDate(2026, 5, 1).addMonths(i).addDays(-1));
        return windows;
    }
};

TEST_F(ExpenseListReportTest, TheWholeListPrintsTheScreensPeriodCountAndTotalOverItsLines) {
    Line("2026/04/03", QStringLiteral("青葉商店"), 1080, QStringLiteral("消耗品費"));
    Line("2026/04/05", QStringLiteral("無料の店"), 0, QStringLiteral("雑費"));
    for (int i = 0; i < 60; ++i) Line("2026/06/10", QStringLiteral("まとめ"), 1000 + i, QStringLiteral("通信費"));
    ExecPrn経費一覧(kPrint, WholeYear());
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_TRUE(printer_.Jobs()[0].dialogShown);
    ASSERT_EQ(JobPages(0).pages.size(), 2u) << "49 lines a page";
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt日付")).size(), 49);

    EXPECT_EQ(Text(0, 0, QStringLiteral("Label1")), QStringLiteral("経費一覧"));
    EXPECT_EQ(Text(0, 1, QStringLiteral("txt期間")), QStringLiteral("2026/04/01 ～ 2027/03/31"));
    EXPECT_EQ(Text(0, 1, QStringLiteral("txt件数")), QStringLiteral("1,234"));
    EXPECT_EQ(Text(0, 1, QStringLiteral("txt合計")), QStringLiteral("1,234,567"));
    EXPECT_EQ(Text(0, 1, QStringLiteral("Field1")), QStringLiteral("2"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("Label23")), QStringLiteral("金　額"));
    EXPECT_TRUE(Item(0, 0, QStringLiteral("Shape1")).rounded);
    // A line: date, partner, amount ("#,##0": 0 prints "0"), item, under a rule.
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt日付")).mid(0, 2), (QStringList{"2026/04/03", "2026/04/05"}));
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt金額")).mid(0, 2), (QStringList{"1,080", "0"}));
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt科目")).mid(0, 2), (QStringList{"消耗品費", "雑費"}));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt金額"), 1).rect, QRect(5580, 1335 + 285 + 20, 1440, 270));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Line1"), 1).rect.topLeft(), QPoint(165, 1335 + 285 + 270));
    EXPECT_EQ(WorkRows(QStringLiteral("select count(*) from w経費一覧印刷")), QStringList{QStringLiteral("62")});

    // Era years, and a list without a start: no period; 0 prints nothing.
    ModMurv::EraSetting = QStringLiteral("和暦");
    ExpenseListPrint noStart;
    noStart.total = 0;
    noStart.count = 0;
    ExecPrn経費一覧(kPreview, noStart);
    ASSERT_EQ(printer_.Jobs().size(), 2u);
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt期間")), QString());
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt件数")), QString());
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt合計")), QString());
    EXPECT_EQ(Texts(1, 0, QStringLiteral("txt日付")).front(), QStringLiteral("R08/04/03"));
    EXPECT_EQ(Text(1, 0, QStringLiteral("cday")), QStringLiteral("R08/12/09"));

    // "Page n / N" over a hundred pages: number and count have room for five
    // digits at their size, in the cell of "Page".
    ASSERT_TRUE(ModMurv::DbWork.ExecuteNative(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 63 UNION ALL SELECT i + 1 FROM n WHERE i < 4901) "
        "INSERT INTO w経費一覧 (行番号, 日付, 取引先名, 金額, 科目) SELECT i, '2026-07-01', '店', i, '雑費' FROM n;")));
    ExecPrn経費一覧(kPreview, WholeYear());
    ASSERT_EQ(JobPages(2).pages.size(), 101u);
    for (const auto& [job, page] : {std::pair<size_t, size_t>{1, 0}, {2, 0}, {2, 100}}) {
        const report::DrawnItem& word = Item(job, page, QStringLiteral("Label19"));
        for (const char16_t* name : {u"Cp", u"Label20", u"Field1"}) {
            const report::DrawnItem& field = Item(job, page, QString::fromUtf16(name));
            EXPECT_EQ(field.cell.top(), word.cell.top()) << job << page;
            EXPECT_EQ(field.cell.height(), word.cell.height()) << job << page;
            EXPECT_EQ(field.printPoints, word.font.size) << job << page;
        }
    }
    const report::DrawnItem& count = Item(2, 100, QStringLiteral("Field1"));
    const double five = QFontMetricsF(report::TwipFont(count.font)).horizontalAdvance(QStringLiteral("99999"));
    EXPECT_LE(five, count.cell.width());
    EXPECT_LE(five + report::kRightInsetTwips, Item(2, 100, QStringLiteral("Cp")).rect.width());
    EXPECT_LE(count.rect.right(), 10485) << "inside the printable width";
}

TEST_F(ExpenseListReportTest, SelectedMonthsPrintOneReportEachAndOnlyTheFirstAsksForThePrinter) {
    Line("2026/04/03", QStringLiteral("青葉商店"), 1000, QStringLiteral("消耗品費"));
    Line("2026/04/30", QStringLiteral("青葉商店"), 2500, QStringLiteral("消耗品費"));
    Line("2026/06/01", QStringLiteral("緑の店"), 700, QStringLiteral("通信費"));
    Line("2026/07/01", QStringLiteral("緑の店"), 900, QStringLiteral("通信費"));
    ExpenseListPrint p = WholeYear();
    p.months = Months({0, 1, 2});  // April, May, June
    ExecPrn経費一覧(kPrint, p);
    ASSERT_EQ(printer_.Jobs().size(), 3u);
    const QStringList periods{"2026/04/01 ～ 2026/04/30", "2026/05/01 ～ 2026/05/31", "2026/06/01 ～ 2026/06/30"};
    const QStringList counts{"2", "", "1"};
    const QStringList totals{"3,500", "", "700"};
    for (size_t j = 0; j < 3; ++j) {
        EXPECT_EQ(printer_.Jobs()[j].dialogShown, j == 0);
        EXPECT_EQ(printer_.Jobs()[j].request.series, int(j)) << "later jobs are numbered for their files";
        EXPECT_EQ(Text(j, 0, QStringLiteral("txt期間")), periods[qsizetype(j)]);
        EXPECT_EQ(Text(j, 0, QStringLiteral("txt件数")), counts[qsizetype(j)]);
        EXPECT_EQ(Text(j, 0, QStringLiteral("txt合計")), totals[qsizetype(j)]);
    }
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt日付")), (QStringList{"2026/04/03", "2026/04/30"}));
    EXPECT_TRUE(Texts(1, 0, QStringLiteral("txt日付")).isEmpty());
    // The parameters hold the last month's values; its rows stay in the table.
    EXPECT_EQ(ModMurv::PrnDateFrom.toDate(), QDate(2026, 6, 1));
    EXPECT_EQ(ModMurv::PrnCount.toInt(), 1);
    EXPECT_EQ(WorkRows(QStringLiteral("select 取引先名 from w経費一覧印刷")), QStringList{QStringLiteral("緑の店")});
    // A month without rows has a count of 0 and no total.
    printer_.Clear();
    p.months = Months({1});
    ExecPrn経費一覧(kCancel, p);
    EXPECT_TRUE(printer_.Jobs().empty());
    EXPECT_EQ(ModMurv::PrnCount.toInt(), 0);
    EXPECT_TRUE(ModMurv::PrnTotal.isNull());
    EXPECT_EQ(ModMurv::PrnDateTo.toDate(), QDate(2026, 5, 31));
}

TEST_F(ExpenseListReportTest, CancellingThePrinterDialogOfTheFirstMonthPrintsNoMonth) {
    Line("2026/04/03", QStringLiteral("青葉商店"), 1000, QStringLiteral("消耗品費"));
    ExpenseListPrint p = WholeYear();
    p.months = Months({0, 3, 11});
    printer_.QueueDialogAnswer(false);
    ExecPrn経費一覧(kPrint, p);
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_EQ(printer_.Jobs()[0].outcome, report::PrintOutcome::Cancelled);
    EXPECT_TRUE(boxes_.Shown().isEmpty());

    // A printer failing on the second month stops there and says so once.
    printer_.Clear();
    ExecPrn経費一覧(kPrint, p);
    ASSERT_EQ(printer_.Jobs().size(), 3u);
    printer_.Clear();
    printer_.FailWith(QStringLiteral("out of paper"), 1);
    ExecPrn経費一覧(kPrint, p);
    EXPECT_EQ(printer_.Jobs().size(), 2u);
    EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("経費一覧 を印刷できませんでした。")});
}

TEST_F(ExpenseListReportTest, EachMonthPrintsThePagesOfTheRangeItHas) {
    for (int i = 0; i < 61; ++i) Line(i ? "2026/05/10" : "2026/04/03", QStringLiteral("店"), i, QStringLiteral("雑費"));
    report::QtPrintService qt;
    report::ScopedPrintService system(qt);
    qt.Printer().setOutputFileName(QDir(DataFolder()).filePath(QStringLiteral("months.pdf")));
    qt.Printer().setPrintRange(QPrinter::PageRange);
    reports::ExpenseListPrint list;
    list.months = Months({0, 1});  // April: one page; May: two
    for (const int page : {3, 2}) {
        qt.Printer().setFromTo(page, page);  // kept by the print dialog, answered at once
        QTimer::singleShot(0, [] { QMetaObject::invokeMethod(QApplication::activeModalWidget(), "accept"); });
        ExecPrn経費一覧(kPrint, list);
        EXPECT_EQ(BoxTexts().size(), 1) << "said once, when no month has the page";
    }
    QFile file(qt.Printer().outputFileName());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll().count("/Type /Page\n") == 1) << "May's page 2";
}

TEST_F(ExpenseListReportTest, APreviewKeepsItsMonthAfterTheNextMonthWasRun) {
    Line("2026/04/03", QStringLiteral("四月の店"), 1000, QStringLiteral("消耗品費"));
    Line("2026/05/03", QStringLiteral("五月の店"), 2000, QStringLiteral("通信費"));
    ExpenseListPrint p = WholeYear();
    p.months = Months({0, 1});
    ExecPrn経費一覧(kPreview, p);
    ASSERT_EQ(printer_.Jobs().size(), 2u);
    EXPECT_TRUE(printer_.Jobs()[0].preview && printer_.Jobs()[1].preview);
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt取引先名")), QStringList{QStringLiteral("四月の店")});
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt期間")), QStringLiteral("2026/04/01 ～ 2026/04/30"));
    EXPECT_EQ(Texts(1, 0, QStringLiteral("txt取引先名")), QStringList{QStringLiteral("五月の店")});

    // The first preview still shows April after a print of May.
    p.months = Months({1});
    ExecPrn経費一覧(kPrint, p);
    ASSERT_EQ(printer_.Jobs().size(), 3u);
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt取引先名")), QStringList{QStringLiteral("四月の店")});
    EXPECT_EQ(Text(2, 0, QStringLiteral("txt期間")), QStringLiteral("2026/05/01 ～ 2026/05/31"));
}

}  // namespace
