// The report engine over a small table: bands and page breaks, page
// numbering, events and persistent properties, fitting amounts, restart,
// a missing table, PDF output and the print seams.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/db/Database.h"
#include "platform/report/Fonts.h"
#include "platform/report/Paint.h"
#include "platform/report/PrintService.h"
#include "platform/report/Report.h"
#include "tests/QtPrint.h"

namespace {

using namespace report;

const FontSpec kFont{QStringLiteral("ＭＳ Ｐ明朝"), 12, false};

// Header: title, page n / N, a line; detail: name, amount and a rule; the
// header event counts pages, the detail event marks large amounts.
class SmallReport : public Report {
public:
    explicit SmallReport(QString path) : Report(QStringLiteral("テスト")), path_(std::move(path)) {
        AddLabel(Band::PageHeader, QStringLiteral("Title"), QStringLiteral("一覧"), QRect(100, 100, 2000, 300), kFont);
        AddPageNumber(Band::PageHeader, QStringLiteral("Cp"), QRect(5000, 100, 400, 250), kFont, Align::Right);
        AddPageCount(Band::PageHeader, QStringLiteral("Field1"), QRect(5600, 100, 400, 250), kFont, Align::Left);
        header_ = &AddField(Band::PageHeader, QStringLiteral("Calls"), QString(), QRect(100, 400, 2000, 250), kFont);
        name_ =
            &AddField(Band::Detail, QStringLiteral("txtName"), QStringLiteral("名前"), QRect(100, 0, 3000, 250), kFont);
        amount_ = &AddField(Band::Detail, QStringLiteral("txtAmount"), QStringLiteral("金額"),
                            QRect(3200, 0, 1000, 250), kFont, Align::Right, QStringLiteral("#,##0"));
        AddLine(Band::Detail, QStringLiteral("Rule"), 100, 260, 4200, 260);
        AddShape(Band::PageHeader, QStringLiteral("Frame"), QRect(50, 50, 6000, 700));
    }
    int headerCalls = 0;
    QStringList detailSaw;

protected:
    void ReportStart() override {
        SetMargins(1000, 1000, 1000, 1000);
        BindData(path_, QStringLiteral("明細"));
        SetBandHeight(Band::PageHeader, 800);
        SetBandHeight(Band::Detail, 300);
    }
    void PageHeaderFormat() override {
        header_->text = QString::number(++headerCalls);
        amount_->text = QStringLiteral("見出し");  // a header that writes a detail field
    }
    void DetailFormat() override {
        detailSaw << name_->text;
        // Bold only from a row over 1000 on; the font then stays as it was
        // until a row changes it again.
        if (amount_->value.toDouble() > 1000) name_->font.bold = true;
        if (amount_->value.toDouble() < 0) name_->font.bold = false;
    }

private:
    QString path_;
    Control* header_ = nullptr;
    Control* name_ = nullptr;
    Control* amount_ = nullptr;
};

class ReportEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("work.db"));
        ASSERT_TRUE(db_.Create(path_));
        ASSERT_TRUE(db_.ExecuteNative(QStringLiteral("CREATE TABLE 明細 (名前 TEXT(255), 金額 DOUBLE);")));
    }
    void Fill(int rows) {
        ASSERT_TRUE(db_.BeginTrans());
        for (int i = 1; i <= rows; ++i)
            ASSERT_TRUE(
                db_.Execute(QStringLiteral("insert into 明細 (名前, 金額) values ('行%1', %2)").arg(i).arg(i * 10)));
        ASSERT_TRUE(db_.CommitTrans());
    }
    static QStringList Texts(const Page& page, const QString& control) { return TextsOf(page, control); }

    QTemporaryDir dir_;
    QString path_;
    db::Database db_;
};

TEST_F(ReportEngineTest, RowsFlowOverPagesUnderAHeaderThatKnowsThePageCount) {
    Fill(100);
    SmallReport r(path_);
    const Pages& pages = r.Run();
    ASSERT_TRUE(pages.error.isEmpty()) << pages.error.toStdString();
    // A4 portrait less 2000 of margins: 14838 high; 800 of header, then
    // rows of 300: 46 rows a page.
    EXPECT_EQ(pages.paperWidth, 11906);
    EXPECT_EQ(pages.paperHeight, 16838);
    ASSERT_EQ(pages.pages.size(), 3u);
    EXPECT_EQ(Texts(pages.pages[0], QStringLiteral("txtName")).size(), 46);
    EXPECT_EQ(Texts(pages.pages[2], QStringLiteral("txtName")).size(), 8);
    for (size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(Texts(pages.pages[p], QStringLiteral("Cp")), QStringList{QString::number(p + 1)});
        EXPECT_EQ(Texts(pages.pages[p], QStringLiteral("Field1")), QStringList{QStringLiteral("3")});
        EXPECT_EQ(Texts(pages.pages[p], QStringLiteral("Calls")), QStringList{QString::number(p + 1)});
    }
    EXPECT_EQ(r.headerCalls, 3);
    // The second page starts with row 47 right under the header; the rule
    // follows its row.
    const DrawnItem* first = ItemsOf(pages.pages[1], QStringLiteral("txtName")).front();
    EXPECT_EQ(first->text, QStringLiteral("行47"));
    EXPECT_EQ(first->rect, QRect(100, 800, 3000, 250));
    const DrawnItem* rule = ItemsOf(pages.pages[1], QStringLiteral("Rule")).front();
    EXPECT_EQ(rule->rect.topLeft(), QPoint(100, 1060));
    EXPECT_EQ(rule->rect.bottomRight(), QPoint(4200, 1060));
    EXPECT_EQ(Texts(pages.pages[0], QStringLiteral("txtAmount")).mid(0, 2), (QStringList{"10", "20"}));
    // The header's writing never shows in a row laid out after it.
    EXPECT_EQ(Texts(pages.pages[1], QStringLiteral("txtAmount")).front(), QStringLiteral("470"));
    EXPECT_EQ(Texts(pages.pages[2], QStringLiteral("txtAmount")).front(), QStringLiteral("930"));
    // The detail event sees the row's values already bound.
    EXPECT_EQ(r.detailSaw.mid(0, 3), (QStringList{"行1", "行2", "行3"}));
    const QString dump = Dump(pages);
    EXPECT_TRUE(dump.startsWith(QStringLiteral("page 1/3\n"))) << dump.left(200).toStdString();
    EXPECT_TRUE(dump.contains(QStringLiteral("text txtName [100,800 3000x250] ＭＳ Ｐ明朝 12pt left \"行1\"")));
    EXPECT_TRUE(dump.contains(QStringLiteral("shape Frame [50,50 6000x700]")));
}

TEST_F(ReportEngineTest, PropertiesKeepTheirValueUntilWrittenAgainAndRestartReadsTheTableAnew) {
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('小', 5)")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('大', 5000)")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('次', 7)")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('負', -1)")));
    SmallReport r(path_);
    const auto bold = [](const Pages& pages) {
        QList<bool> b;
        for (const DrawnItem* item : ItemsOf(pages.pages[0], QStringLiteral("txtName"))) b << item->font.bold;
        return b;
    };
    EXPECT_EQ(bold(r.Run()), (QList<bool>{false, true, true, false}));

    // Without a restart the report prints what it laid out.
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete from 明細 where 名前 = '小'")));
    EXPECT_EQ(ItemsOf(r.Run().pages[0], QStringLiteral("txtName")).size(), 4u);
    r.Restart();
    EXPECT_EQ(ItemsOf(r.Run().pages[0], QStringLiteral("txtName")).size(), 3u);

    // An empty table gives one page with its header.
    ASSERT_TRUE(db_.Execute(QStringLiteral("delete from 明細")));
    r.Restart();
    const Pages& empty = r.Run();
    ASSERT_EQ(empty.pages.size(), 1u);
    EXPECT_TRUE(ItemsOf(empty.pages[0], QStringLiteral("txtName")).empty());
    EXPECT_EQ(Texts(empty.pages[0], QStringLiteral("Field1")), QStringList{QStringLiteral("1")});
}

TEST_F(ReportEngineTest, AMissingTableIsAnErrorNotAnEmptyReport) {
    ASSERT_TRUE(db_.ExecuteNative(QStringLiteral("DROP TABLE 明細;")));
    SmallReport r(path_);
    const Pages& pages = r.Run();
    EXPECT_FALSE(pages.error.isEmpty());
    EXPECT_TRUE(pages.pages.empty());
}

TEST_F(ReportEngineTest, AmountsTooWideForTheirBoxKeepEveryDigit) {
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('普通', 1234)")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('十億', 1234567890)")));
    ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('兆', 123456789012345)")));
    SmallReport r(path_);
    const auto amounts = ItemsOf(r.Run().pages[0], QStringLiteral("txtAmount"));
    ASSERT_EQ(amounts.size(), 3u);
    EXPECT_EQ(amounts[0]->printPoints, 12);
    EXPECT_EQ(amounts[0]->rect, QRect(3200, 800, 1000, 250));
    // The ten-digit amount is printed smaller in its box, whole.
    EXPECT_EQ(amounts[1]->text, QStringLiteral("1,234,567,890"));
    EXPECT_EQ(amounts[1]->font.size, 12);
    EXPECT_LT(amounts[1]->printPoints, 12);
    EXPECT_EQ(amounts[1]->rect.right(), 4199);
    EXPECT_EQ(amounts[1]->rect.left(), 3200);
    // One that does not fit even small widens to the left, its right edge
    // staying where the column ends.
    EXPECT_EQ(amounts[2]->text, QStringLiteral("123,456,789,012,345"));
    EXPECT_LT(amounts[2]->rect.left(), 3200);
    EXPECT_EQ(amounts[2]->rect.right(), 4199);
}

TEST_F(ReportEngineTest, PagesWriteAsAPdfOfTheirPageCountAndSeriesFilesGetNumbers) {
    Fill(100);
    SmallReport r(path_);
    const QString pdf = dir_.filePath(QStringLiteral("out.pdf"));
    QString error;
    ASSERT_TRUE(WritePdf(r.Run(), pdf, &error)) << error.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 3);

    EXPECT_FALSE(WritePdf(r.Run(), dir_.filePath(QStringLiteral("no/such/folder/out.pdf")), &error));
    EXPECT_FALSE(error.isEmpty());

    EXPECT_EQ(SeriesFileName(QStringLiteral("/tmp/list.pdf"), 0), QStringLiteral("/tmp/list.pdf"));
    EXPECT_EQ(SeriesFileName(QStringLiteral("/tmp/list.pdf"), 1), QStringLiteral("/tmp/list-2.pdf"));
    EXPECT_EQ(SeriesFileName(QStringLiteral("/tmp/v1.0/list"), 2), QStringLiteral("/tmp/v1.0/list-3"));
    EXPECT_EQ(SeriesFileName(QString(), 2), QString());
}

TEST_F(ReportEngineTest, LaterJobsOfASeriesPrintedToAFileGetFilesOfTheirOwn) {
    Fill(3);
    SmallReport r(path_);
    QtPrintService qt;
    const QString first = dir_.filePath(QStringLiteral("list.pdf"));
    qt.Printer().setOutputFileName(first);
    const auto pdfPages = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().count("/Type /Page\n") : -1;
    };
    for (int series = 0; series < 3; ++series)
        EXPECT_EQ(qt.Print(r.Run(), {false, series}).outcome, PrintOutcome::Printed);
    EXPECT_EQ(pdfPages(first), 1);
    EXPECT_EQ(pdfPages(dir_.filePath(QStringLiteral("list-2.pdf"))), 1);
    EXPECT_EQ(pdfPages(dir_.filePath(QStringLiteral("list-3.pdf"))), 1);
    // The next series starts from the first name again.
    ASSERT_TRUE(QFile::remove(first));
    EXPECT_EQ(qt.Print(r.Run(), {false, 0}).outcome, PrintOutcome::Printed);
    EXPECT_EQ(pdfPages(first), 1);
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("list-4.pdf"))));
}

TEST_F(ReportEngineTest, ThePreviewWindowKeepsItsPagesWhenTheTableIsGone) {
    Fill(60);
    SmallReport r(path_);
    auto pages = std::make_shared<const Pages>(r.Run());
    QString error;
    ASSERT_TRUE(CurrentPrintService().Preview(pages, &error)) << error.toStdString();
    pages.reset();
    ASSERT_TRUE(db_.ExecuteNative(QStringLiteral("DROP TABLE 明細;")));
    QPrintPreviewDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible()) dialog = d;
    ASSERT_NE(dialog, nullptr) << "the preview opens without blocking";
    auto* widget = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    widget->updatePreview();
    QCoreApplication::processEvents();
    EXPECT_EQ(widget->pageCount(), 2);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The text of each page of a PDF, through pdftotext (poppler-utils).
QStringList PdfTexts(const QString& pdf) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(tool.waitForFinished(30000));
    return QString::fromUtf8(tool.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
}

TEST_F(ReportEngineTest, PrintsAndThePreviewsPrintButtonPrintTheChosenPagesCopiesAndCollation) {
    Fill(100);  // 3 pages, opening with 行1, 行47 and 行93
    SmallReport r(path_);
    QtPrintService qt;
    const QString pdf = dir_.filePath(QStringLiteral("range.pdf"));
    const auto choose = [&](QPrinter& printer, int from, int to, bool collate) {
        printer.setOutputFileName(pdf);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(from, to);
        printer.setCopyCount(2);
        printer.setCollateCopies(collate);
    };
    const auto firstRows = [&] {  // the first row of each page printed
        QStringList first;
        for (const QString& page : PdfTexts(pdf)) first << page.mid(page.indexOf(u'行'), 3);
        return first.join(u' ');
    };
    choose(qt.Printer(), 2, 3, true);
    qt.Print(r.Run(), {false, 0});
    EXPECT_EQ(firstRows(), QStringLiteral("行47 行93 行47 行93"));
    choose(qt.Printer(), 2, 3, false);
    qt.Print(r.Run(), {false, 0});
    EXPECT_EQ(firstRows(), QStringLiteral("行47 行47 行93 行93"));

    // The preview's print button (after its print dialog) prints the same way.
    ASSERT_TRUE(qt.Preview(std::make_shared<const Pages>(r.Run()), nullptr));
    QPrintPreviewWidget* widget = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible())
            choose(*d->printer(), 3, 3, true), widget = d->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    widget->print();
    EXPECT_EQ(firstRows(), QStringLiteral("行93 行93"));
    widget->window()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(ReportFacesTest, FiguresOfEveryFaceHaveOneWidthSoAmountColumnsLineUp) {
    for (const char16_t* name : {u"ＭＳ Ｐ明朝", u"ＭＳ Ｐゴシック"}) {
        const QFontMetricsF metrics(TwipFont({QString::fromUtf16(name), 14.5, false}));
        for (const char* amount : {"2,222,222", "5,555,555", "8,888,888", "9,999,990"})
            EXPECT_EQ(metrics.horizontalAdvance(QString::fromLatin1(amount)),
                      metrics.horizontalAdvance(QStringLiteral("1,111,111")))
                << amount;
    }
}

TEST_F(ReportEngineTest, APdfsTextLayerCarriesTheCharactersPrinted) {
    const QStringList names = {QStringLiteral("経費一覧"), QStringLiteral("金額と日付"), QStringLiteral("一日～月末")};
    for (const QString& name : names)
        ASSERT_TRUE(db_.Execute(QStringLiteral("insert into 明細 values ('%1', 5)").arg(name)));
    SmallReport r(path_);
    const QString pdf = dir_.filePath(QStringLiteral("text.pdf"));
    ASSERT_TRUE(WritePdf(r.Run(), pdf, nullptr));
    const QString text = PdfTexts(pdf).value(0);
    for (const QString& name : names + QStringList{QStringLiteral("一覧")})
        EXPECT_TRUE(text.contains(name)) << text.toStdString();
}

TEST(PrintableAreaTest, APageReachingIntoAPrintersBorderMovesInsideItAndAPdfKeepsItsPlace) {
    Pages pages;  // a frame 30 twips (less its pen) from the left edge, as the monthly table's
    pages.marginLeft = 30;
    pages.pages.resize(1);
    pages.pages[0].items.emplace_back().kind = ItemKind::Shape;
    pages.pages[0].items[0].rect = QRect(0, 1400, 11000, 600);
    const QPoint shift = ShiftIntoPrintable(pages, 0, QMargins(240, 240, 240, 240));
    EXPECT_TRUE(30 - 8 + shift.x() >= 240 && 30 + 11000 + 8 + shift.x() <= kA4ShortTwips - 240) << shift.x();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    EXPECT_EQ(ShiftIntoPrintable(pages, 0, OptionsOf(pdf).unreachable), QPoint());
}

TEST(ScriptedPrintServiceTest, RecordsJobsAndAnswersTheDialogFromItsScript) {
    ScriptedPrintService printer;
    ScopedPrintService installed(printer);
    Pages pages;
    pages.title = QStringLiteral("一覧");
    pages.pages.resize(2);
    printer.QueueDialogAnswer(false);
    EXPECT_EQ(CurrentPrintService().Print(pages, {true, 0}).outcome, PrintOutcome::Cancelled);
    EXPECT_EQ(CurrentPrintService().Print(pages, {true, 0}).outcome, PrintOutcome::Printed);
    EXPECT_EQ(CurrentPrintService().Print(pages, {false, 1}).outcome, PrintOutcome::Printed);
    printer.FailWith(QStringLiteral("paper jam"));
    const PrintResult failed = CurrentPrintService().Print(pages, {false, 2});
    EXPECT_EQ(failed.outcome, PrintOutcome::Failed);
    EXPECT_EQ(failed.error, QStringLiteral("paper jam"));
    ASSERT_EQ(printer.Jobs().size(), 4u);
    EXPECT_TRUE(printer.Jobs()[0].dialogShown);
    EXPECT_FALSE(printer.Jobs()[2].dialogShown);
    EXPECT_EQ(printer.Jobs()[2].request.series, 1);
    EXPECT_EQ(printer.Jobs()[1].pages->pages.size(), 2u);
}

}  // namespace
