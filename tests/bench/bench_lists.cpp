// The list screens over a data file of 50,000 stored lines (three years,
// 300 partners, 40 items), opened through the main menu as the program does:
//  - the expense list reading the twelve months of the period (about 17,000
//    lines) in its slowest order, with and without a partner filter;
//  - deleting 1,000 ticked lines of that list;
//  - a full ranking and a full monthly table, per item and per partner;
// each also at 500,000 lines, beside its raw twin, with its disk syncs.
#include "lists/FrmKeihiJuni.h"
#include "lists/FrmKeihiList.h"
#include "lists/FrmMonthList.h"
#include "tests/bench/BenchProgram.h"
#include "tests/bench/SmokeRun.h"
#include "tests/bench/SqliteTwin.h"

namespace {

using lists::FrmKeihiJuni;
using lists::FrmKeihiList;
using lists::FrmMonthList;

// The data set: the period from April 2026 to March 2027, the lines evenly
// over 2025-01-01 .. 2027-12-31.
bool FillData(const QString& folder, int fullLines) {
    const int lines = bench::BookLines(fullLines);
    db::Database d;
    return d.Open(QDir(folder).filePath(core::kDataFileName)) &&
           d.Execute(QStringLiteral("update 自社情報 set 開始日 = #2026/04/01#, 終了日 = #2027/03/31#")) &&
           d.ExecuteNative(
               QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                              "INSERT INTO 取引明細 (行番号, 日付, 曜日, 取引先名, 科目, 金額, 税額, 非課税) "
                              "SELECT i %% 50 + 1, date('2025-01-01', '+' || (i * 1095 / %2) || ' days'), '月', "
                              "'取引先' || (i * 7 %% 300), '科目' || (i * 13 %% 40), 100 + (i * 37 %% 9900), "
                              "(100 + (i * 37 %% 9900)) / 21, 0 FROM n")
                   .arg(lines - 1)
                   .arg(lines)
                   .replace(QStringLiteral("%%"), QStringLiteral("%")));
}

// A program folder with the data set and the menu loaded; a question gets its
// default answer.
class Program : public bench::Program {
public:
    explicit Program(int lines) : bench::Program([lines](const QString& folder) { return FillData(folder, lines); }) {}

    // No message but the questions answered.
    bool Silent() const {
        for (const auto& box : boxes_.Shown())
            if (box.buttons != ui::MessageButtons::YesNo) return false;
        return true;
    }
    void AnswerYes() { boxes_.QueueAnswer(ui::Answer::Yes); }
};

// Each at 50,000 and 500,000 stored lines (the first argument), beside its raw twin ("raw").
void Sizes(benchmark::internal::Benchmark* b) { b->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond); }
void SizesAndChoice(benchmark::internal::Benchmark* b) {
    b->Args({50000, 0})->Args({50000, 1})->Args({500000, 0})->Args({500000, 1})->Unit(benchmark::kMillisecond);
}

void BM_ListTwelveMonthsSlowestOrder(benchmark::State& state, bool raw) {
    Program program(static_cast<int>(state.range(0)));
    auto& screen = program.Show<FrmKeihiList>(QStringLiteral("FrmKeihiList"));
    screen.cmb表示順.SetText(QStringLiteral("取引先別、金額降順"));
    if (state.range(1)) screen.cmb取引先名.SetText(QStringLiteral("取引先7"));
    bench::Measure(state, raw, nullptr, [&] {
        screen.txt開始.Clear();
        screen.txt終了.Clear();
        if (!screen.Read経費一覧() || !program.Silent()) state.SkipWithError("the list was not read");
    });
    state.counters["lines"] = screen.num件数.Value().toDouble();
}
BENCHMARK_CAPTURE(BM_ListTwelveMonthsSlowestOrder, layer, false)->Apply(SizesAndChoice)->ArgNames({"", "partner"});
BENCHMARK_CAPTURE(BM_ListTwelveMonthsSlowestOrder, raw, true)->Apply(SizesAndChoice)->ArgNames({"", "partner"});

void BM_ListDelete1000TickedLines(benchmark::State& state, bool raw) {
    Program program(static_cast<int>(state.range(0)));
    auto& screen = program.Show<FrmKeihiList>(QStringLiteral("FrmKeihiList"));
    // Every run deletes the same lines: the ones deleted before are put back first.
    QStringList fields;
    for (const auto& [name, type] : ModMurv::DbData.TableFields(QStringLiteral("取引明細"))) fields << name;
    const QString columns = fields.join(u',');
    // Setup: a step that fails shows in what the run then measures.
    (void)ModMurv::DbData.ExecuteNative(
        QStringLiteral("CREATE TABLE bench_keep AS SELECT rowid AS rid, * FROM 取引明細"));
    double before = 0;
    const auto prepare = [&] {
        // Setup: a step that fails shows in what the run then measures.
        (void)ModMurv::DbData.ExecuteNative(
            QStringLiteral("INSERT OR IGNORE INTO 取引明細 (rowid, %1) SELECT rid, %1 FROM bench_keep").arg(columns));
        screen.Read経費一覧();
        // Setup: a step that fails shows in what the run then measures.
        (void)ModMurv::DbWork.ExecuteNative(QStringLiteral(
            "UPDATE w経費一覧 SET チェック = -1 WHERE rowid < (SELECT min(rowid) FROM w経費一覧) + 1000"));
        // Setup: a step that fails shows in what the run then measures.
        (void)screen.dat明細.Refresh();
        before = screen.num件数.Value().toDouble();
        program.AnswerYes();
    };
    bench::Measure(state, raw, prepare, [&] {
        screen.LineDelete経費一覧();
        if (before - screen.num件数.Value().toDouble() != 1000 || !program.Silent())
            state.SkipWithError("not 1000 lines deleted");
    });
}
BENCHMARK_CAPTURE(BM_ListDelete1000TickedLines, layer, false)->Apply(Sizes)->Iterations(bench::SmokeRun() ? 1 : 5);
BENCHMARK_CAPTURE(BM_ListDelete1000TickedLines, raw, true)->Apply(Sizes)->Iterations(bench::SmokeRun() ? 1 : 5);

void BM_RankingFull(benchmark::State& state, bool raw) {
    Program program(static_cast<int>(state.range(0)));
    auto& screen = program.Show<FrmKeihiJuni>(QStringLiteral("FrmKeihiJuni"));
    (state.range(1) ? screen.Opt取引先別 : screen.Opt科目別).SetValue(true);
    bench::Measure(state, raw, nullptr, [&] {
        if (!screen.Read経費順位() || !program.Silent()) state.SkipWithError("the ranking was not read");
    });
    state.counters["rows"] = screen.Grid経費順位.RowCount();
}
BENCHMARK_CAPTURE(BM_RankingFull, layer, false)->Apply(SizesAndChoice)->ArgNames({"", "perPartner"});
BENCHMARK_CAPTURE(BM_RankingFull, raw, true)->Apply(SizesAndChoice)->ArgNames({"", "perPartner"});

void BM_MonthTableFull(benchmark::State& state, bool raw) {
    Program program(static_cast<int>(state.range(0)));
    auto& screen = program.Show<FrmMonthList>(QStringLiteral("FrmMonthList"));
    (state.range(1) ? screen.Opt取引先別 : screen.Opt科目別).SetValue(true);
    screen.cmb表示順位.SetText(QStringLiteral("すべて"));
    bench::Measure(state, raw, nullptr, [&] {
        if (!screen.Read月別経費() || !program.Silent()) state.SkipWithError("the table was not read");
    });
    state.counters["rows"] = screen.Grid明細.RowCount();
}
BENCHMARK_CAPTURE(BM_MonthTableFull, layer, false)->Apply(SizesAndChoice)->ArgNames({"", "perPartner"});
BENCHMARK_CAPTURE(BM_MonthTableFull, raw, true)->Apply(SizesAndChoice)->ArgNames({"", "perPartner"});

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
