// The maintenance screen's heavy steps over the shared generated data file:
// 50,000 expense lines over the three years 2024 to 2026 (a third of them in
// the ending period, 2025), 300 partners, 40 items and 600 pairs, opened
// through the main menu as the program does:
//  - the year-end update: the archive built and checked, the period's lines
//    removed, the next period made current;
//  - each of the five bulk deletes.
// Every run starts from a fresh copy of the file.
#include <QFile>
#include <QTemporaryDir>
#include <map>

#include "maintenance/FrmHosyu.h"
#include "tests/bench/BenchData.h"
#include "tests/bench/BenchProgram.h"
#include "tests/bench/SmokeRun.h"
#include "tests/bench/SqliteTwin.h"

namespace {

using maintenance::BulkDelete;
using maintenance::FrmHosyu;

constexpr int kLines = 50000;

// The generated file of `lines` lines, made once per run.
QString BenchFile(int lines = kLines) {
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    QString& path = files[lines];
    if (path.isEmpty()) {
        const QString file = QDir(dir.path()).filePath(QStringLiteral("lines%1.mdb").arg(lines));
        if (bench::MakeBenchDataFile(file, bench::BookLines(lines), 300, 40, 600)) path = file;
    }
    return path;
}

class Program : public bench::Program {
public:
    FrmHosyu& Screen() { return Show<FrmHosyu>(QStringLiteral("FrmHosyu")); }

    // The data file in use becomes a fresh copy of the generated one.
    static bool FreshData(int lines = kLines) {
        using namespace ModMurv;
        DbData.Close();
        QFile::remove(DataFilePath);
        const bool copied = !BenchFile(lines).isEmpty() && QFile::copy(BenchFile(lines), DataFilePath);
        return DbData.Open(DataFilePath) && copied;
    }

    static qint64 Count(const QString& sql) {
        db::Recordset rs = ModMurv::DbData.OpenRecordset(sql);
        return rs.IsEOF() ? -1 : rs.Value(0).toLongLong();
    }
};

// At 50,000 and 500,000 stored lines, with the disk syncs it asks for.
void BM_YearEndUpdate(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    Program program;
    FrmHosyu& screen = program.Screen();
    const QString archive = ModMurv::DataFolder + QStringLiteral("2025年.mdb");
    qint64 period = 0;
    const auto prepare = [&] {
        if (!Program::FreshData(lines)) state.SkipWithError("no data file");
        QFile::remove(archive);
        period = Program::Count(
            QStringLiteral("select count(*) from 取引明細 where 日付 >= #2025/01/01# and 日付 <= #2025/12/31#"));
        screen.dt今期開始.SetDate(QDate(2025, 1, 1));
        screen.dt今期終了.SetDate(QDate(2025, 12, 31));
        screen.txt今期タイトル.SetText(QStringLiteral("2025年"));
        screen.dt次期開始.SetDate(QDate(2026, 1, 1));
        screen.dt次期終了.SetDate(QDate(2026, 12, 31));
        screen.txt次期タイトル.SetText(QStringLiteral("2026年"));
        program.boxes_.Clear();  // the question's preselected answer is Yes
    };
    bench::Measure(state, false, prepare, [&] {
        if (!screen.Chk年次更新() || !screen.Exec更新()) state.SkipWithError("the year-end update failed");
    });
    if (Program::Count(QStringLiteral("select count(*) from 取引明細")) != bench::BookLines(lines) - period)
        state.SkipWithError("the period's lines did not all go");
    state.counters["lines"] = lines;
    state.counters["archived"] = double(period);
}
BENCHMARK(BM_YearEndUpdate)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);

void BM_BulkDelete(benchmark::State& state) {
    const auto which = BulkDelete(state.range(0));
    Program program;
    FrmHosyu& screen = program.Screen();
    for (auto _ : state) {
        state.PauseTiming();
        if (!Program::FreshData()) state.SkipWithError("no data file");
        screen.txt取引先名.SetText(bench::BenchPartner(7));
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
