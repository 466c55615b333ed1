// The entry screen's grid: 5000 work rows of 15 fields.
//  - refreshing the bound data control (every load, reset and input mask);
//  - single-cell commits typed by the user, each written to the table at once;
//  - the same writes made by code (the after-update handlers' derived cells);
//  - moving the cursor down the rows, with the view scrolling along.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Grid.h"
#include "tests/bench/BenchMain.h"

namespace {

constexpr int kRows = 5000;

struct Screen {
    QTemporaryDir dir;
    ui::DataControl data;
    ui::DataGrid grid;

    Screen() {
        const QString path = dir.filePath(QStringLiteral("work.mdb"));
        db::Database db;
        // Setup: a step that fails shows in what the run then measures.
        (void)db.Create(path);
        (void)db.ExecuteNative(QStringLiteral(
            "CREATE TABLE w取引明細 (lno LONG, チェック YESNO NOT NULL ON CONFLICT REPLACE DEFAULT 0, 行番号 LONG, "
            "日付 DATE, 月 SHORT, 日 SHORT, 月日 TEXT(255), 曜日 TEXT(255), DD日付 DATE, 取引先名 TEXT(255), "
            "科目 TEXT(255), 金額 DOUBLE, 税額 DOUBLE, 非課税 YESNO NOT NULL ON CONFLICT REPLACE DEFAULT 0, "
            "摘要 TEXT(255))"));
        // Setup: a step that fails shows in what the run then measures.
        (void)db.ExecuteNative(
            QStringLiteral(
                "INSERT INTO w取引明細 (lno, 行番号, 日付, 月, 日, 月日, 曜日, 取引先名, 科目, 金額, 税額, 摘要) "
                "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < %1) "
                "SELECT x, x, date('2005-04-01', '+' || (x % 365) || ' days'), 4, 1, '0401', '金', "
                "'取引先' || (x % 300), '科目' || (x % 40), 100 + x, 4 + x / 21, 'メモ' FROM n")
                .arg(kRows));
        data.SetDatabaseName(path);
        data.SetRecordSource(QStringLiteral("w取引明細"));
        grid.SetDataSource(&data);
        // Setup: a step that fails shows in what the run then measures.
        (void)data.Refresh();  // one column per field
        grid.Columns(11).SetNumberFormat(QStringLiteral("#,###"));
        grid.Columns(1).SetCheckBox(true);
        grid.Columns(13).SetCheckBox(true);
        grid.resize(1000, 600);
        grid.show();
        QCoreApplication::processEvents();
    }
};

void BM_Refresh5000Rows(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        if (!s.data.Refresh() || s.grid.RowCount() != kRows) state.SkipWithError("refresh failed");
    }
    state.counters["rows"] = kRows;
}
BENCHMARK(BM_Refresh5000Rows)->Unit(benchmark::kMillisecond);

void BM_RefreshAndRepaint(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        // Setup: a step that fails shows in what the run then measures.
        (void)s.data.Refresh();
        s.grid.View()->viewport()->repaint();
    }
}
BENCHMARK(BM_RefreshAndRepaint)->Unit(benchmark::kMillisecond);

// Per iteration: 1000 cells typed into ("7") and committed, each through the
// before-update, the write to the table and the after-update.
void BM_1000TypedCellCommits(benchmark::State& state) {
    Screen s;
    int afterUpdates = 0;
    s.grid.onAfterColUpdate = [&](int) { ++afterUpdates; };
    s.grid.SetCol(11);
    for (auto _ : state) {
        for (int row = 0; row < 1000; ++row) {
            s.grid.SetRow(row);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
            QCoreApplication::sendEvent(s.grid.View(), &press);
            if (!s.grid.CommitPendingEdit()) state.SkipWithError("commit failed");
        }
    }
    if (afterUpdates != 1000 * static_cast<int>(state.iterations())) state.SkipWithError("missing commits");
    state.counters["commits"] = 1000;
}
BENCHMARK(BM_1000TypedCellCommits)->Unit(benchmark::kMillisecond);

// Per iteration: 1000 values written by code into the current row's cells.
void BM_1000CodeWrites(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            s.grid.SetRow(i % kRows);
            s.grid.Columns(12).SetValue(i);
        }
    }
    state.counters["writes"] = 1000;
}
BENCHMARK(BM_1000CodeWrites)->Unit(benchmark::kMillisecond);

// Per iteration: the cursor walks 1000 rows down, the view following, then
// the window is painted.
void BM_Move1000RowsAndPaint(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        s.grid.MoveFirst();
        for (int i = 0; i < 1000; ++i) s.grid.MoveNext();
        s.grid.View()->viewport()->repaint();
    }
}
BENCHMARK(BM_Move1000RowsAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
