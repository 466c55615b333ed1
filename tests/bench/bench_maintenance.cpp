// The maintenance screen's heavy steps over the shared generated data file:
// 50,000 expense lines over the three years 2024 to 2026 (a third of them in
// the ending period, 2025), 300 partners, 40 items and 600 pairs, opened
// through the main menu as the program does:
//  - the year-end update: the archive built and checked, the period's lines
//    removed, the next period made current;
//  - each of the five bulk deletes.
// Every run starts from a fresh copy of the file. Each runs beside its raw
// twin ("raw"): the replay of the SQLite calls the screen made (recorded once),
// on raw connections opened again, untimed, on the fresh copy. The year-end's
// twin also does the update's file work at the points where the update does
// it, directly through Qt and POSIX: before the archive's connection opens,
// the template copied in blocks of 1 MiB into a fresh temporary file beside
// the archive; once it is closed, the data file's permissions given to the
// copy and the copy renamed over the archive. The twins leave out only what
// no SQLite call or file step is: the screen's checks, questions, busy panel
// and the fields it sets afterwards.
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdio>
#include <map>
#include <memory>

#include "core/DataFile.h"
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

    static qint64 Count(const QString& sql, db::Database& data = ModMurv::DbData) {
        db::Recordset rs = data.OpenRecordset(sql);
        return rs.IsEOF() ? -1 : rs.Value(0).toLongLong();
    }
};

// The year-end's file work around its archive's connection (see the top of the file).
bench::FileSteps YearEndFileSteps(const QString& archive) {
    const std::string marker = core::kYearEndWorkPattern.section(QStringLiteral("XXXXXX"), 0, 0).toStdString();
    auto copy = std::make_shared<std::unique_ptr<QTemporaryFile>>();
    bench::FileSteps steps;
    steps.opening = [copy, marker, archive](const std::string& file) {
        if (file.find(marker) == std::string::npos) return file;
        QFile source(ModMurv::OrgDataFilePath);
        *copy = std::make_unique<QTemporaryFile>(QFileInfo(archive).dir().filePath(core::kYearEndWorkPattern));
        if (!source.open(QIODevice::ReadOnly) || !(*copy)->open()) return file;
        while (!source.atEnd()) (*copy)->write(source.read(1 << 20));
        (*copy)->flush();
        (*copy)->close();
        return QFile::encodeName((*copy)->fileName()).toStdString();
    };
    steps.closed = [copy, archive](const std::string& file) {
        if (!*copy || QFile::encodeName((*copy)->fileName()).toStdString() != file) return;
        QFile::setPermissions((*copy)->fileName(), QFile::permissions(ModMurv::DataFilePath));
        if (std::rename(file.c_str(), QFile::encodeName(archive).constData()) == 0) (*copy)->setAutoRemove(false);
        copy->reset();
    };
    return steps;
}

// At 50,000 and 500,000 stored lines, with the disk syncs it asks for.
void BM_YearEndUpdate(benchmark::State& state, bool raw) {
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
    bench::Measure(
        state, raw, prepare,
        [&] {
            if (!screen.Chk年次更新() || !screen.Exec更新()) state.SkipWithError("the year-end update failed");
        },
        YearEndFileSteps(archive));
    if (Program::Count(QStringLiteral("select count(*) from 取引明細")) != bench::BookLines(lines) - period)
        state.SkipWithError("the period's lines did not all go");
    db::Database made;
    if (!made.Open(archive) || Program::Count(QStringLiteral("select count(*) from 取引明細"), made) != period)
        state.SkipWithError("the archive does not hold the period's lines");
    state.counters["lines"] = lines;
    state.counters["archived"] = double(period);
}
BENCHMARK_CAPTURE(BM_YearEndUpdate, layer, false)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_YearEndUpdate, raw, true)->Arg(50000)->Arg(500000)->Unit(benchmark::kMillisecond);

// With the partner of the last button typed; beside its raw twin.
void BM_BulkDelete(benchmark::State& state, bool raw) {
    const auto which = BulkDelete(state.range(0));
    Program program;
    FrmHosyu& screen = program.Screen();
    const auto prepare = [&] {
        if (!Program::FreshData()) state.SkipWithError("no data file");
        screen.txt取引先名.SetText(bench::BenchPartner(7));
        program.boxes_.Clear();
        program.boxes_.QueueAnswer(ui::Answer::Yes);
    };
    bench::Measure(state, raw, prepare, [&] {
        screen.RunBulkDelete(which);
        const QString completion = program.boxes_.Shown().isEmpty() ? QString() : program.boxes_.Shown().last().title;
        if (completion != QStringLiteral("削除の完了")) state.SkipWithError("the delete failed");
    });
}
void Buttons(benchmark::internal::Benchmark* b) {
    b->ArgName("button")
        ->Arg(int(BulkDelete::Partners))
        ->Arg(int(BulkDelete::Items))
        ->Arg(int(BulkDelete::Lines))
        ->Arg(int(BulkDelete::Everything))
        ->Arg(int(BulkDelete::OnePartner))
        ->Unit(benchmark::kMillisecond);
}
BENCHMARK_CAPTURE(BM_BulkDelete, layer, false)->Apply(Buttons);
BENCHMARK_CAPTURE(BM_BulkDelete, raw, true)->Apply(Buttons);

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
