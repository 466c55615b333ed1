// The backup's costs:
//  - packing a data file of 50,000 expense lines into an archive (-lh5-);
//  - the whole one-disk backup (snapshot, pack, control file, writing the disk)
//    and the whole restore (reading the disk, unpacking, checking the file and
//    putting it in place of the data file in use), of the largest book whose
//    archive fits one disk in steps of 5,000 lines: 25,000 lines.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "maintenance/Backup.h"
#include "platform/lzh/Lh5.h"
#include "platform/ui/MessagePresenter.h"
#include "tests/bench/ExpenseLines.h"
#include "tests/bench/SmokeRun.h"

namespace {

constexpr int kPackLines = 50000;
constexpr int kOneDiskLines = 25000;

// A program folder whose data file holds kLines lines, open as the program has it.
struct Book {
    QTemporaryDir dir;
    QString drive;
    ui::ScriptedPresenter boxes;  // every question answered OK
    ui::ScopedPresenter scoped{boxes};
    explicit Book(int lines) {
        QString error;
        const QString data = QDir(dir.path()).filePath(QStringLiteral("data"));
        core::MakeDataFolder(data, nullptr, &error);
        core::SetProgramFolder(dir.path());
        ModMurv::DataFolder = data + u'/';
        ModMurv::DataFilePath = ModMurv::DataFolder + core::kDataFileName;
        ModMurv::WorkFilePath = ModMurv::DataFolder + core::kWorkFileName;
        // Setup: a step that fails shows in what the run then measures.
        (void)ModMurv::DbData.Open(ModMurv::DataFilePath);
        test::FillExpenseLines(ModMurv::DbData, bench::BookLines(lines));
        drive = QDir(dir.path()).filePath(QStringLiteral("disk"));
        QDir().mkpath(drive);
    }
    ~Book() { ModMurv::ResetState(); }
};

void BM_PackDataFile50000Lines(benchmark::State& state) {
    Book book(kPackLines);
    ModMurv::DbData.Close();
    QFile f(ModMurv::DataFilePath);
    f.open(QIODevice::ReadOnly);
    const QByteArray data = f.readAll();
    qint64 packed = 0;
    for (auto _ : state) packed = lzh::PackLh5(data).size();
    state.counters["file_bytes"] = static_cast<double>(data.size());
    state.counters["packed_bytes"] = static_cast<double>(packed);
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_PackDataFile50000Lines)->Unit(benchmark::kMillisecond);

bool OnOneDisk(const Book& book) {
    return !book.boxes.Shown().isEmpty() && book.boxes.Shown().last().text == u"保存が終了しました。" &&
           QFile::exists(QDir(book.drive).filePath(QStringLiteral("murvdata.lzh")));
}

void BM_OneDiskBackup25000Lines(benchmark::State& state) {
    Book book(kOneDiskLines);
    for (auto _ : state) maintenance::FDDBuckUp(book.drive, nullptr);
    if (!OnOneDisk(book)) state.SkipWithError("the backup did not end on one disk");
    state.counters["archive_bytes"] =
        static_cast<double>(QFileInfo(QDir(book.drive).filePath(QStringLiteral("murvdata.lzh"))).size());
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(ModMurv::DataFilePath).size());
}
BENCHMARK(BM_OneDiskBackup25000Lines)->Unit(benchmark::kMillisecond);

void BM_OneDiskRestore25000Lines(benchmark::State& state) {
    Book book(kOneDiskLines);
    maintenance::FDDBuckUp(book.drive, nullptr);
    // Without a one-disk set the restore would ask for the right disk for ever.
    if (!OnOneDisk(book)) {
        state.SkipWithError("the backup did not end on one disk");
        return;
    }
    for (auto _ : state) maintenance::RestoreMV(book.drive, nullptr);
    if (book.boxes.Shown().last().text != u"読込が終了しました。") state.SkipWithError("the restore did not complete");
}
BENCHMARK(BM_OneDiskRestore25000Lines)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
