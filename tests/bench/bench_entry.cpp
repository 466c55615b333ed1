// The entry screen's steps as a user meets them, over a data file of 50,000
// stored lines over three years (300 partners, 40 items, 600 pairs), opened
// through the main menu as the program does:
//  - opening the screen (its 5000 blank work rows and the name lists), and
//    opening the item master;
//  - loading the current year (more lines selected than the 5000 shown), also
//    at 500,000 stored lines, with the memory the load adds;
//  - loading one partner's lines;
//  - registering 5000 typed rows, and 5000 loaded, edited rows;
// each at 50,000 and 500,000 stored lines, beside its raw twin (the same
// SQLite calls replayed without the layer), with the disk syncs of each.
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <map>

#include "entry/FrmInput.h"
#include "masters/FrmKamoku.h"
#include "tests/bench/BenchData.h"
#include "tests/bench/BenchProgram.h"
#include "tests/bench/SmokeRun.h"
#include "tests/bench/SqliteTwin.h"

namespace {

using entry::FrmInput;

// A generated data file of `lines` lines (bench::BookLines), made once per run.
QString BenchFile(int lines) {
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto& path = files[lines];
    if (path.isEmpty()) {
        path = QDir(dir.path()).filePath(QStringLiteral("lines%1.mdb").arg(lines));
        if (!bench::MakeBenchDataFile(path, bench::BookLines(lines), 300, 40, 600)) path.clear();
    }
    return path;
}

double ResidentMegabytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A program folder whose data file holds the generated lines, and the menu
// loaded; the confirmation's default answer is Yes.
class Program : public bench::Program {
public:
    explicit Program(int lines)
        : bench::Program([lines](const QString& data) {
              const QString file = QDir(data).filePath(core::kDataFileName);
              QFile::remove(file);
              return QFile::copy(BenchFile(lines), file);
          }) {}

    FrmInput& Screen() { return Show<FrmInput>(QStringLiteral("FrmInput")); }

    static void FilterCurrentYear(FrmInput& screen) {
        screen.cmb取引先名.SetText(QString());
        screen.txt開始.SetDate(QDate(bench::kBenchLastYear, 1, 1));
        screen.txt終了.SetDate(QDate(bench::kBenchLastYear, 12, 31));
    }

    static qint64 StoredLines() {
        db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select count(*) as total from 取引明細"));
        return rs.IsEOF() ? -1 : rs.Value(0).toLongLong();
    }
    static qint64 LastRowId() {
        db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select max(rowid) from 取引明細"));
        return rs.IsEOF() ? 0 : rs.Value(0).toLongLong();
    }

    // Every work row complete, as if typed: date, partner, item, amount, tax, weekday.
    static void FillWorkRows() {
        // Setup: a step that fails shows in what the run then measures.
        (void)ModMurv::DbWork.ExecuteNative(QStringLiteral(
            "UPDATE w取引明細 SET 日付 = date('2026-01-01', '+' || (lno % 365) || ' days'), "
            "取引先名 = '取引先' || substr('00' || (lno % 300), -3), 科目 = '科目' || substr('0' || (lno % 40), -2), "
            "金額 = 100 + lno, 税額 = (100 + lno) / 11, 曜日 = '月'"));
    }
};

// Each action at 50,000 and 500,000 stored lines, beside its raw twin ("raw").
void Sizes(benchmark::internal::Benchmark* b) { b->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond); }
// A registration takes about 0.1 s: several of them per repetition, so that
// one slow run does not decide a median.
void RegistrationSizes(benchmark::internal::Benchmark* b) {
    Sizes(b);
    if (!bench::SmokeRun()) b->MinTime(0.5);
}

// Opening a screen, as from the menu; it is unloaded again between runs.
template <class Screen>
void OpenScreen(benchmark::State& state, bool raw, const QString& name) {
    Program program(static_cast<int>(state.range(0)));
    if (!program.Ok()) state.SkipWithError("no data file");
    const auto unload = [&] {
        ui::Forms::Get<Screen>(name).Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    bench::Measure(state, raw, unload, [&] { program.Show<Screen>(name); });
    unload();
}

void BM_OpenScreen(benchmark::State& state, bool raw) { OpenScreen<FrmInput>(state, raw, QStringLiteral("FrmInput")); }
BENCHMARK_CAPTURE(BM_OpenScreen, layer, false)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_OpenScreen, raw, true)->Apply(Sizes);

// The item master's opening: its sheet made and filled from the 40 items.
void BM_OpenItemMaster(benchmark::State& state, bool raw) {
    OpenScreen<masters::FrmKamoku>(state, raw, QStringLiteral("FrmKamoku"));
}
BENCHMARK_CAPTURE(BM_OpenItemMaster, layer, false)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_OpenItemMaster, raw, true)->Apply(Sizes);

void BM_LoadCurrentYear(benchmark::State& state, bool raw) {
    Program program(static_cast<int>(state.range(0)));
    if (!program.Ok()) state.SkipWithError("no data file");
    FrmInput& screen = program.Screen();
    Program::FilterCurrentYear(screen);
    screen.Read経費();  // once, so that the memory counted is what a load adds
    const double before = ResidentMegabytes();
    bench::Measure(state, raw, nullptr, [&] {
        screen.Read経費();
        // The screen shows 5000 lines at most; the smoke run's book holds fewer in the year.
        const int shown = screen.num入力件数.Value().toInt();
        if (bench::SmokeRun() ? shown == 0 : shown != 5000) state.SkipWithError("not 5000 lines shown");
    });
    state.counters["rss_growth_MB"] = ResidentMegabytes() - before;
}
BENCHMARK_CAPTURE(BM_LoadCurrentYear, layer, false)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_LoadCurrentYear, raw, true)->Apply(Sizes);

void BM_LoadPartnerFilter(benchmark::State& state, bool raw) {
    Program program(static_cast<int>(state.range(0)));
    if (!program.Ok()) state.SkipWithError("no data file");
    FrmInput& screen = program.Screen();
    screen.cmb取引先名.SetText(bench::BenchPartner(5));
    bench::Measure(state, raw, nullptr, [&] { screen.Read経費(); });
    if (screen.num入力件数.Value().toInt() == 0) state.SkipWithError("no line loaded");
    state.counters["shown"] = screen.num入力件数.Value().toInt();
}
BENCHMARK_CAPTURE(BM_LoadPartnerFilter, layer, false)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_LoadPartnerFilter, raw, true)->Apply(Sizes);

void BM_Register5000TypedRows(benchmark::State& state, bool raw) {
    const int lines = static_cast<int>(state.range(0));
    Program program(lines);
    if (!program.Ok()) state.SkipWithError("no data file");
    FrmInput& screen = program.Screen();
    const qint64 last = Program::LastRowId();
    const auto prepare = [&] {
        // Setup: a step that fails shows in what the run then measures.
        (void)ModMurv::DbData.Execute(QStringLiteral("delete * from 取引明細 where rowid > %1").arg(last));
        Program::FillWorkRows();
    };
    bench::Measure(state, raw, prepare, [&] {
        if (!screen.Entry経費明細()) state.SkipWithError("registration failed");
    });
    if (Program::StoredLines() != bench::BookLines(lines) + 5000) state.SkipWithError("not every row was registered");
}
BENCHMARK_CAPTURE(BM_Register5000TypedRows, layer, false)->Apply(RegistrationSizes);
BENCHMARK_CAPTURE(BM_Register5000TypedRows, raw, true)->Apply(RegistrationSizes);

void BM_Register5000LoadedRows(benchmark::State& state, bool raw) {
    const int lines = static_cast<int>(state.range(0));
    Program program(lines);
    if (!program.Ok()) state.SkipWithError("no data file");
    FrmInput& screen = program.Screen();
    const auto prepare = [&] {
        Program::FilterCurrentYear(screen);
        screen.Read経費();
        // Setup: a step that fails shows in what the run then measures.
        (void)ModMurv::DbWork.ExecuteNative(
            QStringLiteral("UPDATE w取引明細 SET 金額 = 金額 + 1 WHERE 金額 IS NOT NULL"));
    };
    bench::Measure(state, raw, prepare, [&] {
        if (!screen.Entry経費明細()) state.SkipWithError("registration failed");
    });
    if (Program::StoredLines() != bench::BookLines(lines))
        state.SkipWithError("loaded lines were added instead of changed");
}
BENCHMARK_CAPTURE(BM_Register5000LoadedRows, layer, false)->Apply(RegistrationSizes);
BENCHMARK_CAPTURE(BM_Register5000LoadedRows, raw, true)->Apply(RegistrationSizes);

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
