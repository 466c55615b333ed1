// The ranking and the twelve-month table reports: their heads from the
// report parameters, grouping, era captions, font tiers, amounts that keep
// their digits, and parameters that never leak from one print into another.
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "tests/reports/ReportsFixture.h"

namespace {

using namespace reports;

class AnalysisReportsTest : public test::ReportsTest {
protected:
    void Rank(const QVariant& rank, const QString& item, const QString& partner, qint64 amount) {
        Work(QStringLiteral("insert into w経費順位 (順位, 科目, 取引先名, 金額) values (%1, '%2', '%3', %4)")
                 .arg(rank.isNull() ? QStringLiteral("Null") : rank.toString(), item, partner)
                 .arg(amount));
    }
    // A row of the monthly table: its name, its total and twelve months.
    void MonthRow(const QString& item, const QString& partner, double total, std::initializer_list<double> months) {
        QStringList values;
        for (double m : months) values << QString::number(m, 'f', 0);
        while (values.size() < 12) values << QStringLiteral("0");
        QStringList fields;
        for (int k = 1; k <= 12; ++k) fields << QStringLiteral("金額%1").arg(k);
        Work(QStringLiteral("insert into w月別経費 (科目, 取引先名, 合計, %1) values ('%2', '%3', %4, %5)")
                 .arg(fields.join(u','), item, partner, QString::number(total, 'f', 0), values.join(u',')));
    }
    static MonthListPrint Table(const QVariant& start) {
        MonthListPrint p;
        p.dateFrom = start;
        p.total = 123456789;
        p.taxTotal = 9876;
        for (size_t k = 0; k < 12; ++k) {
            p.monthTotals[k] = 1000.0 * double(k + 1);
            p.monthTaxes[k] = 50.0 * double(k + 1);
        }
        return p;
    }
};

TEST_F(AnalysisReportsTest, TheRankingShowsItsGroupingPeriodAndTotal) {
    Rank(1, QStringLiteral("通信費"), QStringLiteral("電話会社"), 50000);
    Rank(2, QStringLiteral("消耗品費"), QStringLiteral("文具店"), 0);
    Rank(QVariant(), QStringLiteral("その他"), QStringLiteral("その他"), 1200);
    ExecPrn経費順位(kPrint, QDate(2006, 4, 1), QDate(2007, 3, 31), true, 51200);
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_TRUE(printer_.Jobs()[0].dialogShown);
    EXPECT_EQ(Text(0, 0, QStringLiteral("Label1")), QStringLiteral("経費順位"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt期間")), QStringLiteral("2006/04/01 ～ 2007/03/31"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt合計")), QStringLiteral("51,200"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("lbl科目")), QStringLiteral("科　　　目"));
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt順位")), (QStringList{"1", "2", ""}));
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt科目")), (QStringList{"通信費", "消耗品費", "その他"}));
    EXPECT_TRUE(Texts(0, 0, QStringLiteral("txt取引先名")).isEmpty());
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt金額")), (QStringList{"50,000", "0", "1,200"}));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt金額"), 1).rect, QRect(6810, 1200 + 310, 1665, 285));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Line1")).lineWeight, 3);

    // Per partner, era years, empty period and total: nothing of the last print shows.
    ModMurv::EraSetting = QStringLiteral("和暦");
    ExecPrn経費順位(kPreview, QVariant(), QVariant(), false, QVariant());
    ASSERT_EQ(printer_.Jobs().size(), 2u);
    EXPECT_EQ(Text(1, 0, QStringLiteral("lbl科目")), QStringLiteral("取引先名"));
    EXPECT_EQ(Texts(1, 0, QStringLiteral("txt取引先名")), (QStringList{"電話会社", "文具店", "その他"}));
    EXPECT_EQ(Item(1, 0, QStringLiteral("txt取引先名")).rect.left(), 1701);
    EXPECT_TRUE(Texts(1, 0, QStringLiteral("txt科目")).isEmpty());
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt期間")), QString());
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt合計")), QString());
    ExecPrn経費順位(kPreview, QDate(2006, 4, 1), QDate(2007, 3, 31), true, 0);
    EXPECT_EQ(Text(2, 0, QStringLiteral("txt期間")), QStringLiteral("H18/04/01 ～ H19/03/31"));

    // Pages 9 to 12 of the one-page ranking, through the system's printer
    // and through the preview's print button: no sheet, no file, and a word.
    report::QtPrintService qt;
    report::ScopedPrintService system(qt);
    const QString pdf = QDir(DataFolder()).filePath(QStringLiteral("range.pdf"));
    const auto pagesNineToTwelve = [&pdf](QPrinter& printer) {
        printer.setOutputFileName(pdf);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(9, 12);
    };
    pagesNineToTwelve(qt.Printer());
    rpt経費順位 ranking;
    boxes_.Clear();
    EXPECT_EQ(PrintReport(ranking, false), report::PrintOutcome::NoPage);
    ASSERT_TRUE(PreviewReport(ranking));
    QPrintPreviewWidget* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible())
            pagesNineToTwelve(*d->printer()), preview = d->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    preview->print();
    preview->window()->close();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(BoxTexts(), QStringList(2, QStringLiteral("経費順位 の指定されたページ範囲には印刷するページがないため、"
                                                        "何も印刷しませんでした。")));
}

TEST_F(AnalysisReportsTest, TheMonthlyTableHeadCountsItsMonthsFromTheStartInEitherYears) {
    MonthRow(QStringLiteral("通信費"), QString(), 78000, {6500, 6500});
    ExecPrn月別経費一覧(kPreview, Table(QStringLiteral("2024/04/01")));
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    const report::Pages& pages = JobPages(0);
    EXPECT_EQ(pages.orientation, report::Orientation::Landscape);
    EXPECT_EQ(pages.marginLeft + 16005 + pages.marginRight, 16835) << "just fits A4 landscape";
    EXPECT_EQ(Text(0, 0, QStringLiteral("Label1")), QStringLiteral("月別経費一覧"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt期間")), QStringLiteral("2024年04月～2025年03月"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("cday")), QStringLiteral("2026年12月09日"));
    QStringList captions;
    for (int k = 1; k <= 12; ++k) captions << Text(0, 0, QStringLiteral("Lbl月%1").arg(k));
    EXPECT_EQ(captions, (QStringList{"24/04", "24/05", "24/06", "24/07", "24/08", "24/09", "24/10", "24/11", "24/12",
                                     "25/01", "25/02", "25/03"}));
    // The yen sign, not a backslash.
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt合計金額")), QStringLiteral("¥123,456,789"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt税合計")), QStringLiteral("¥9,876"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("Lbl科目")), QStringLiteral("科　目"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt月計3")), QStringLiteral("3,000"));
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt月税計12")), QStringLiteral("600"));
    // The head's grid: captions over the months, the two-row box, its rules.
    EXPECT_EQ(Item(0, 0, QStringLiteral("Lbl月2")).rect, QRect(4200, 1130, 780, 283));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt月計2")).rect, QRect(4040, 1420, 1040, 283));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt月税計5")).rect, QRect(7160, 1720, 1040, 284));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Shape1")).rect, QRect(0, 1400, 15500, 600));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Shape2")).rect, QRect(3000, 1100, 12500, 305));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Line30")).rect.bottomRight(), QPoint(15500, 1700));
    EXPECT_EQ(Item(0, 0, QStringLiteral("Line29")).rect.topLeft(), QPoint(14440, 1100));
    // The row under it: the total column and the month columns.
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt科目")).rect, QRect(20, 2040, 1800, 284));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt合計")).text, QStringLiteral("78,000"));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt金額1")).rect, QRect(3000, 2040, 1040, 283));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt金額3")).text, QString()) << "0 prints nothing";
    EXPECT_EQ(Item(0, 0, QStringLiteral("Line16")).rect.topLeft(), QPoint(15490, 2000));

    // Era years across the change of era: 平成 to 令和 in May 2019.
    ModMurv::EraSetting = QStringLiteral("和暦");
    ExecPrn月別経費一覧(kPreview, Table(QDate(2019, 1, 31)));
    captions.clear();
    for (int k = 1; k <= 12; ++k) captions << Text(1, 0, QStringLiteral("Lbl月%1").arg(k));
    EXPECT_EQ(captions, (QStringList{"H31/01", "H31/02", "H31/03", "H31/04", "R01/05", "R01/06", "R01/07", "R01/08",
                                     "R01/09", "R01/10", "R01/11", "R01/12"}));
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt期間")), QStringLiteral("H31年01月～R01年12月"));
    EXPECT_EQ(Text(1, 0, QStringLiteral("cday")), QStringLiteral("R08年12月09日"));
}

TEST_F(AnalysisReportsTest, MonthlyRowsSizeNamesAndAmountsByTheirSizeAndKeepEveryDigit) {
    MonthRow(QString(), QStringLiteral("七文字の取引先"), 99999999, {999999, 1000000, -5000000, 1000000000});
    MonthRow(QString(), QStringLiteral("八文字の取引先名"), 100000000, {0, 5});
    MonthRow(QString(), QStringLiteral("十文字ある取引先の名"), -200000000, {});
    MonthListPrint p = Table(QDate(2026, 4, 1));
    p.byItem = false;
    p.monthTotals[0] = 999999;
    p.monthTotals[1] = 1000000;
    p.monthTotals[2] = QVariant();  // an empty box prints empty
    p.monthTaxes[3] = 1000000000;
    ExecPrn月別経費一覧(kPrint, p);
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_EQ(Text(0, 0, QStringLiteral("Lbl科目")), QStringLiteral("取引先"));
    EXPECT_TRUE(Texts(0, 0, QStringLiteral("txt科目")).isEmpty());
    const auto sizes = [&](const QString& control) {
        QList<double> s;
        for (const report::DrawnItem* item : report::ItemsOf(JobPages(0).pages[0], control)) s << item->font.size;
        return s;
    };
    EXPECT_EQ(sizes(QStringLiteral("txt取引先名")), (QList<double>{12, 9, 7}));
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt取引先名")).rect.top(), 2020);
    EXPECT_EQ(sizes(QStringLiteral("txt合計")), (QList<double>{12, 10, 12}));
    EXPECT_EQ(sizes(QStringLiteral("txt金額1")), (QList<double>{12, 12, 12})) << "an empty cell keeps the last size";
    EXPECT_EQ(sizes(QStringLiteral("txt金額2")), (QList<double>{10, 12, 12}));
    EXPECT_EQ(sizes(QStringLiteral("txt金額3")), (QList<double>{12, 12, 12})) << "negative amounts stay at 12 pt";
    EXPECT_EQ(Texts(0, 0, QStringLiteral("txt金額3")).front(), QStringLiteral("-5,000,000"));
    // A billion yen in a month column keeps its leading digits.
    const report::DrawnItem& billion = Item(0, 0, QStringLiteral("txt金額4"));
    EXPECT_EQ(billion.text, QStringLiteral("1,000,000,000"));
    EXPECT_EQ(billion.font.size, 10);
    EXPECT_LT(billion.printPoints, 10);
    EXPECT_EQ(billion.rect.right(), 3000 + 4 * 1040 - 1);
    // The head: 999,999 at 12 pt, 1,000,000 at 10 pt, the empty box empty.
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt月計1")).font.size, 12);
    EXPECT_EQ(Item(0, 0, QStringLiteral("txt月計2")).font.size, 10);
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt月計3")), QString());
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt月税計4")), QStringLiteral("1,000,000,000"));
}

TEST_F(AnalysisReportsTest, NoPrintShowsWhatAnEarlierPrintOfAnotherScreenWrote) {
    // A monthly print with every box filled...
    ExecPrn月別経費一覧(kCancel, Table(QDate(2026, 4, 1)));
    EXPECT_TRUE(printer_.Jobs().empty());
    EXPECT_EQ(ModMurv::PrnDateFrom.toDate(), QDate(2026, 4, 1)) << "cancel still writes the parameters";
    // ...then an expense list without a start or a count: no period, no count.
    ExpenseListPrint list;
    list.total = 500;
    ExecPrn経費一覧(kPreview, list);
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt期間")), QString());
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt件数")), QString());
    EXPECT_EQ(Text(0, 0, QStringLiteral("txt合計")), QStringLiteral("500"));

    // A monthly print after a clear: no captions, no period, empty boxes,
    // the yen sign alone.
    ExecPrn月別経費一覧(kPreview, MonthListPrint{});
    ASSERT_EQ(printer_.Jobs().size(), 2u);
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt期間")), QString());
    EXPECT_EQ(Text(1, 0, QStringLiteral("Lbl月1")), QString());
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt月計1")), QString());
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt月税計12")), QString());
    EXPECT_EQ(Text(1, 0, QStringLiteral("txt合計金額")), QStringLiteral("¥"));

    // A ranking after an expense list with a period: its own empty period.
    ExpenseListPrint dated;
    dated.dateFrom = QDate(2026, 4, 1);
    dated.dateTo = QDate(2026, 4, 30);
    ExecPrn経費一覧(kCancel, dated);
    ExecPrn経費順位(kCancel, QVariant(), QVariant(), false, QVariant());
    EXPECT_EQ(ModMurv::PrnDateTo.toDate(), QDate(2026, 4, 30)) << "the ranking's ｷｬﾝｾﾙ writes nothing";
    ExecPrn経費順位(kPreview, QVariant(), QVariant(), true, QVariant());
    ASSERT_EQ(printer_.Jobs().size(), 3u);
    EXPECT_EQ(Text(2, 0, QStringLiteral("txt期間")), QString());
}

TEST_F(AnalysisReportsTest, EveryRowOfAMonthlyTableOverThreePagesPrintsItsOwnTotal) {
    for (int i = 1; i <= 60; ++i) MonthRow(QStringLiteral("科目%1").arg(i), QString(), 1000.0 * i, {1000.0 * i});
    MonthListPrint p = Table(QDate(2026, 4, 1));
    p.total = 1830000;
    ExecPrn月別経費一覧(kPrint, p);
    ASSERT_EQ(JobPages(0).pages.size(), 3u);
    EXPECT_EQ(AllTexts(0, QStringLiteral("txt合計")), AllTexts(0, QStringLiteral("txt金額1")))
        << "a row's total is its month";
    EXPECT_EQ(Texts(0, 1, QStringLiteral("txt合計")).front(), QStringLiteral("29,000"));
    EXPECT_EQ(Text(0, 2, QStringLiteral("txt合計金額")), QStringLiteral("¥1,830,000"));
}

}  // namespace
