// The maintenance screen's heavy steps over a data file of 50,000 expense
// lines spread over three years (a third of them in the ending period),
// 300 partners with three items each and 40 items, opened through the main
// menu as the program does:
//  - the year-end update: the archive built and checked, the period's lines
//    removed, the next period made current;
//  - each of the five bulk deletes.
#include <QFile>

#include "maintenance/FrmHosyu.h"
#include "tests/bench/BenchProgram.h"

namespace {

using maintenance::BulkDelete;
using maintenance::FrmHosyu;

constexpr int kLines = 50000;

class Program : public bench::Program {
public:
    FrmHosyu& Screen() { return Show<FrmHosyu>(QStringLiteral("FrmHosyu")); }

    // The masters and the lines, from nothing.
    static void MakeData() {
        db::Database& d = ModMurv::DbData;
        d.BeginTrans();
        for (const char* table : {"取引明細", "取引先マスタ", "取引先科目", "科目マスタ"})
            d.ExecuteNative(QStringLiteral("DELETE FROM ") + QString::fromUtf8(table));
        d.ExecuteNative(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO 取引明細 (行番号, 日付, 曜日, 取引先名, 科目, 金額, 税額, 非課税) "
            "SELECT i % 50 + 1, date('2025-04-01', '+' || (i % 1095) || ' days'), '月', '取引先' || (i % 300), "
            "'科目' || (i % 40), 100 + i, (100 + i) / 21, 0 FROM n").arg(kLines - 1));
        d.ExecuteNative(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 299) "
            "INSERT INTO 取引先マスタ (取引先名, ふりがな) SELECT '取引先' || i, 'とりひきさき' || i FROM n"));
        d.ExecuteNative(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 899) "
            "INSERT INTO 取引先科目 (取引先名, 科目, 非課税, 回数) SELECT '取引先' || (i / 3), '科目' || (i % 40), 0, i FROM n"));
        d.ExecuteNative(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39) "
            "INSERT INTO 科目マスタ (科目, ふりがな) SELECT '科目' || i, 'かもく' || i FROM n"));
        d.ExecuteNative(QStringLiteral("UPDATE 自社情報 SET タイトル = '2025年度', 開始日 = '2025-04-01', "
                                       "終了日 = '2026-03-31', 税率 = 0.08, 税率2 = 0.1, 税実施 = '2019-10-01'"));
        d.CommitTrans();
    }

    static qint64 Count(const QString& table) {
        db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select count(*) as n from ") + table);
        return rs.IsEOF() ? -1 : rs.Value(0).toLongLong();
    }
};

void BM_YearEndUpdate50000Lines(benchmark::State& state) {
    Program program;
    FrmHosyu& screen = program.Screen();
    const QString archive = ModMurv::DataFolder + QStringLiteral("2025年度.mdb");
    for (auto _ : state) {
        state.PauseTiming();
        Program::MakeData();
        QFile::remove(archive);
        screen.dt今期開始.SetDate(QDate(2025, 4, 1));
        screen.dt今期終了.SetDate(QDate(2026, 3, 31));
        screen.txt今期タイトル.SetText(QStringLiteral("2025年度"));
        screen.dt次期開始.SetDate(QDate(2026, 4, 1));
        screen.dt次期終了.SetDate(QDate(2027, 3, 31));
        screen.txt次期タイトル.SetText(QStringLiteral("2026年度"));
        program.boxes_.Clear();  // the question's default answer is Yes
        state.ResumeTiming();
        if (!screen.Chk年次更新() || !screen.Exec更新()) state.SkipWithError("the year-end update failed");
        state.PauseTiming();
        // 2025/04/01 to 2026/03/31 is 365 of the 1095 days.
        if (Program::Count(QStringLiteral("取引明細")) != kLines - kLines / 1095 * 365 - qMin(kLines % 1095, 365))
            state.SkipWithError("the period's lines did not all go");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_YearEndUpdate50000Lines)->Unit(benchmark::kMillisecond);

void BM_BulkDelete(benchmark::State& state) {
    const auto which = BulkDelete(state.range(0));
    Program program;
    FrmHosyu& screen = program.Screen();
    for (auto _ : state) {
        state.PauseTiming();
        Program::MakeData();
        screen.txt取引先名.SetText(QStringLiteral("取引先7"));
        program.boxes_.Clear();
        program.boxes_.QueueAnswer(ui::Answer::Yes);
        state.ResumeTiming();
        screen.RunBulkDelete(which);
        state.PauseTiming();
        const QString completion = program.boxes_.Shown().isEmpty() ? QString() : program.boxes_.Shown().last().title;
        if (completion != QStringLiteral("削除の完了")) state.SkipWithError("the delete failed");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BulkDelete)
    ->ArgName("button")
    ->Arg(int(BulkDelete::Partners))
    ->Arg(int(BulkDelete::Items))
    ->Arg(int(BulkDelete::Lines))
    ->Arg(int(BulkDelete::Everything))
    ->Arg(int(BulkDelete::OnePartner))
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
