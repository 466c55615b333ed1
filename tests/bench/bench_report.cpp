// The printed reports over full work tables:
//  - laying out the year's expense list of a 50,000-line book, 16,651 lines
//    (reading the table included), with its raw twin (the table's select);
//  - writing it as a PDF;
//  - opening its preview until the first page is shown;
//  - the monthly table of 300 rows as a PDF.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>

#include "core/ModMurv.h"
#include "core/Schema.h"
#include "platform/report/Paint.h"
#include "platform/report/PrintService.h"
#include "reports/Reports.h"
#include "tests/bench/BenchMain.h"
#include "tests/bench/SmokeRun.h"
#include "tests/bench/SqliteTwin.h"

namespace {

// The year's lines of a book of 50,000 lines over three years.
const int kListLines = bench::BookLines(16651);

struct Folder {
    QTemporaryDir dir;
    Folder() {
        QString error;
        core::MakeDataFolder(dir.path(), nullptr, &error);
        ModMurv::WorkFilePath = dir.filePath(core::kWorkFileName);
        db::Database work;
        // Setup: a step that fails shows in what the run then measures.
        (void)work.Open(ModMurv::WorkFilePath);
        (void)work.ExecuteNative(
            QStringLiteral("INSERT INTO w経費一覧印刷 (チェック, 行番号, 日付, 取引先名, 金額, 科目) "
                           "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < %1) "
                           "SELECT 0, x, date('2026-04-01', '+' || (x % 365) || ' days'), '取引先' || (x % 300), "
                           "1000 + x * 37, '科目' || (x % 40) FROM n")
                .arg(kListLines));
        // Setup: a step that fails shows in what the run then measures.
        (void)work.ExecuteNative(QStringLiteral(
            "INSERT INTO w月別経費 (取引先名, 科目, 合計, 金額1, 金額2, 金額3, 金額4, 金額5, 金額6, 金額7, 金額8, "
            "金額9, 金額10, 金額11, 金額12, 順位) "
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 300) "
            "SELECT '取引先' || x, '科目の名前' || x, x * 120000, x * 10000, x * 10000, 0, x * 10000, x * 10000, "
            "x * 10000, x * 10000, x * 10000, x * 10000, x * 10000, x * 10000, x * 10000, x FROM n"));
        ModMurv::PrnDateFrom = QDate(2026, 4, 1);
        ModMurv::PrnDateTo = QDate(2027, 3, 31);
        ModMurv::PrnTotal = 123456789;
        ModMurv::PrnCount = kListLines;
        ModMurv::PrnRankKind = QStringLiteral("科目別");
    }
    QString Pdf() const { return dir.filePath(QStringLiteral("out.pdf")); }
};

Folder& Data() {
    static Folder folder;
    return folder;
}

void BM_ExpenseListLayout(benchmark::State& state, bool raw) {
    Data();
    bench::Measure(state, raw, nullptr, [] {
        reports::rpt経費一覧 r;
        benchmark::DoNotOptimize(r.Run().pages.size());
    });
}
BENCHMARK_CAPTURE(BM_ExpenseListLayout, layer, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExpenseListLayout, raw, true)->Unit(benchmark::kMillisecond);

void BM_ExpenseListPdf(benchmark::State& state) {
    for (auto _ : state) {
        reports::rpt経費一覧 r;
        QString error;
        if (!report::WritePdf(r.Run(), Data().Pdf(), &error)) state.SkipWithError(error.toStdString().c_str());
    }
}
BENCHMARK(BM_ExpenseListPdf)->Unit(benchmark::kMillisecond);

void BM_ExpenseListPreviewFirstPage(benchmark::State& state) {
    Data();
    report::QtPrintService qt;
    for (auto _ : state) {
        reports::rpt経費一覧 r;
        QString error;
        qt.Preview(std::make_shared<const report::Pages>(r.Run()), &error);
        QPrintPreviewDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible()) dialog = d;
        auto* widget = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
        while (widget && widget->pageCount() == 0) QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (!widget) state.SkipWithError("no preview");
        if (dialog) dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExpenseListPreviewFirstPage)->Unit(benchmark::kMillisecond);

void BM_MonthTablePdf300(benchmark::State& state) {
    for (auto _ : state) {
        reports::rpt月別経費一覧 r;
        QString error;
        if (!report::WritePdf(r.Run(), Data().Pdf(), &error)) state.SkipWithError(error.toStdString().c_str());
    }
}
BENCHMARK(BM_MonthTablePdf300)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
