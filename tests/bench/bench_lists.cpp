// The list screens over a data file of 50,000 stored lines (three years,
// 300 partners, 40 items), opened through the main menu as the program does:
//  - the expense list reading the twelve months of the period (about 17,000
//    lines) in its slowest order, with and without a partner filter;
//  - deleting 1,000 ticked lines of that list;
//  - a full ranking and a full monthly table, per item and per partner.
#include "lists/FrmKeihiJuni.h"
#include "lists/FrmKeihiList.h"
#include "lists/FrmMonthList.h"
#include "tests/bench/BenchProgram.h"

namespace {

using lists::FrmKeihiJuni;
using lists::FrmKeihiList;
using lists::FrmMonthList;

constexpr int kLines = 50000;

// The data set: the period from April 2026 to March 2027, the lines evenly
// over 2025-01-01 .. 2027-12-31.
bool FillData(const QString& folder) {
    db::Database d;
    d.Open(QDir(folder).filePath(core::kDataFileName));
    d.Execute(QStringLiteral("update 自社情報 set 開始日 = #2026/04/01#, 終了日 = #2027/03/31#"));
    d.ExecuteNative(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO 取引明細 (行番号, 日付, 曜日, 取引先名, 科目, 金額, 税額, 非課税) "
        "SELECT i %% 50 + 1, date('2025-01-01', '+' || (i * 1095 / %2) || ' days'), '月', "
        "'取引先' || (i * 7 %% 300), '科目' || (i * 13 %% 40), 100 + (i * 37 %% 9900), "
        "(100 + (i * 37 %% 9900)) / 21, 0 FROM n")
                        .arg(kLines - 1)
                        .arg(kLines)
                        .replace(QStringLiteral("%%"), QStringLiteral("%")));
    return true;
}

// A program folder with the data set and the menu loaded; a question gets its
// default answer.
class Program : public bench::Program {
public:
    Program() : bench::Program(FillData) {}

    // No message but the questions answered.
    bool Silent() const {
        for (const auto& box : boxes_.Shown())
            if (box.buttons != ui::MessageButtons::YesNo) return false;
        return true;
    }
    void AnswerYes() { boxes_.QueueAnswer(ui::Answer::Yes); }
};

void BM_ListTwelveMonthsSlowestOrder(benchmark::State& state) {
    Program program;
    auto& screen = program.Show<FrmKeihiList>(QStringLiteral("FrmKeihiList"));
    screen.cmb表示順.SetText(QStringLiteral("取引先別、金額降順"));
    if (state.range(0)) screen.cmb取引先名.SetText(QStringLiteral("取引先7"));
    for (auto _ : state) {
        screen.txt開始.Clear();
        screen.txt終了.Clear();
        if (!screen.Read経費一覧() || !program.Silent()) {
            state.SkipWithError("the list was not read");
            break;
        }
    }
    state.counters["lines"] = screen.num件数.Value().toDouble();
}
BENCHMARK(BM_ListTwelveMonthsSlowestOrder)->Arg(0)->Arg(1)->ArgName("partner")->Unit(benchmark::kMillisecond);

void BM_ListDelete1000TickedLines(benchmark::State& state) {
    Program program;
    auto& screen = program.Show<FrmKeihiList>(QStringLiteral("FrmKeihiList"));
    for (auto _ : state) {
        state.PauseTiming();
        screen.Read経費一覧();
        ModMurv::DbWork.ExecuteNative(QStringLiteral(
            "UPDATE w経費一覧 SET チェック = -1 WHERE rowid < (SELECT min(rowid) FROM w経費一覧) + 1000"));
        screen.dat明細.Refresh();
        const double before = screen.num件数.Value().toDouble();
        program.AnswerYes();
        state.ResumeTiming();
        screen.LineDelete経費一覧();
        if (before - screen.num件数.Value().toDouble() != 1000 || !program.Silent()) {
            state.SkipWithError("not 1000 lines deleted");
            break;
        }
    }
}
BENCHMARK(BM_ListDelete1000TickedLines)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RankingFull(benchmark::State& state) {
    Program program;
    auto& screen = program.Show<FrmKeihiJuni>(QStringLiteral("FrmKeihiJuni"));
    (state.range(0) ? screen.Opt取引先別 : screen.Opt科目別).SetValue(true);
    for (auto _ : state) {
        if (!screen.Read経費順位() || !program.Silent()) {
            state.SkipWithError("the ranking was not read");
            break;
        }
    }
    state.counters["rows"] = screen.Grid経費順位.RowCount();
}
BENCHMARK(BM_RankingFull)->Arg(0)->Arg(1)->ArgName("perPartner")->Unit(benchmark::kMillisecond);

void BM_MonthTableFull(benchmark::State& state) {
    Program program;
    auto& screen = program.Show<FrmMonthList>(QStringLiteral("FrmMonthList"));
    (state.range(0) ? screen.Opt取引先別 : screen.Opt科目別).SetValue(true);
    screen.cmb表示順位.SetText(QStringLiteral("すべて"));
    for (auto _ : state) {
        if (!screen.Read月別経費() || !program.Silent()) {
            state.SkipWithError("the table was not read");
            break;
        }
    }
    state.counters["rows"] = screen.Grid明細.RowCount();
}
BENCHMARK(BM_MonthTableFull)->Arg(0)->Arg(1)->ArgName("perPartner")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
