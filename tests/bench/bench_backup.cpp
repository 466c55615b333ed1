// The backup's costs:
//  - packing a data file of 50,000 expense lines into an archive (-lh5-);
//  - the whole one-disk backup (snapshot, pack, control file, writing the disk)
//    and the whole restore (reading the disk, unpacking, checking the file and
//    putting it in place of the data file in use), of the largest book whose
//    archive fits one disk in steps of 5,000 lines: 25,000 lines;
//  - the same backup and restore of the 50,000-line book, whose archive takes
//    two disks (each asked for by its message box, which puts it in the
//    drive), each beside its raw twin ("raw").
// The twins are written by hand: the backup's SQLite work is the online backup
// of the data file, which no statement trace records. Each does, directly and
// in the same order, the SQLite work (raw sqlite3 calls on a connection of its
// own to the data file, opened as the layer opens it) and the file work (Qt
// and POSIX) of the procedure, with the system's own packer (platform/lzh):
//  - backup: the snapshot through sqlite3_backup; the archive written and read
//    back whole; the pieces and the control file written (a safe save, synced,
//    renamed); per disk, the disk put in, probed (present, a probe file made
//    and removed), emptied of the set's files, and written with copies read
//    back; the work files removed;
//  - restore: disk 1's control file read; per disk, the disk put in, probed,
//    its piece read and appended to the joined archive; the archive unpacked
//    and removed; the data file replaced as the program replaces it (a copy
//    beside it read back, checked by db::CheckDatabaseFile, which is plain
//    sqlite3 calls, synced; the connection closed, the old file kept under a
//    second name, the folder synced, the copy renamed over the data file, the
//    folder synced), the connection opened again with the statements the
//    layer runs on opening the data file and reading the company settings;
//    the unpacked file removed.
// They leave out the message boxes, the archiver's command line and report,
// the progress captions, the log and the main menu's title.
// The syncs counted are SQLite's; the backup's and restore's own file syncs
// are the same in both and not counted.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <optional>

#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupRules.h"
#include "platform/db/Collation.h"
#include "platform/db/FileCheck.h"
#include "platform/lzh/Archive.h"
#include "platform/lzh/Lh5.h"
#include "platform/ui/MessagePresenter.h"
#include "tests/bench/BenchMain.h"
#include "tests/bench/ExpenseLines.h"
#include "tests/bench/SmokeRun.h"
#include "tests/bench/SqliteTwin.h"

namespace {

constexpr int kPackLines = 50000;
constexpr int kOneDiskLines = 25000;

constexpr int kTwoDiskLines = 50000;

// The disk a message box asks for: k in "k/ N枚目のフロッピーディスクをセットしてください。",
// 1 in the restore's first question; 0 for any other box.
int DiskAskedFor(const QString& text) {
    if (text.contains(QStringLiteral("「1」をセット"))) return 1;
    if (!text.endsWith(QStringLiteral("枚目のフロッピーディスクをセットしてください。"))) return 0;
    return text.section(u'/', 0, 0).toInt();
}

// Answers every question OK, after putting in the drive the disk it asks for.
class DiskDrive : public ui::ScriptedPresenter {
public:
    explicit DiskDrive(const QString& folder) : folder_(folder), path(QDir(folder).filePath(QStringLiteral("drive"))) {
        Insert(1);
    }
    // Floppy k (a folder of its own) goes into the drive (a link).
    void Insert(int k) {
        const QString floppy = QDir(folder_).filePath(QStringLiteral("floppy%1").arg(k));
        QDir().mkpath(floppy);
        QFile::remove(path);
        QFile::link(floppy, path);
    }
    ui::Answer Present(const ui::MessageBoxContent& box) override {
        if (const int k = DiskAskedFor(box.text)) Insert(k);
        return ScriptedPresenter::Present(box);
    }

private:
    QString folder_;

public:
    const QString path;
};

// A program folder whose data file holds `lines` lines, open as the program has it.
struct Book {
    QTemporaryDir dir;
    DiskDrive boxes{dir.path()};  // every question answered OK
    ui::ScopedPresenter scoped{boxes};
    const QString& drive = boxes.path;
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
    }
    ~Book() { ModMurv::ResetState(); }
    QString LastText() const { return boxes.Shown().isEmpty() ? QString() : boxes.Shown().last().text; }
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

// ---------------------------------------------------------------- the two-disk set and its raw twins

// Steps a statement through its rows, reading every column; the number of rows, or -1.
long long Steps(sqlite3* handle, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &stmt, nullptr) != SQLITE_OK) return -1;
    long long rows = 0, sink = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i)
            sink += sqlite3_column_type(stmt, i) == SQLITE_TEXT ? sqlite3_column_bytes(stmt, i)
                                                                : sqlite3_column_int64(stmt, i);
    }
    benchmark::DoNotOptimize(sink);
    return sqlite3_finalize(stmt) == SQLITE_OK ? rows : -1;
}

// The twins' raw connection to the data file, opened as the layer opens it.
struct RawData {
    sqlite3* handle = nullptr;
    RawData() { Open(); }
    ~RawData() { Close(); }
    bool Open() {
        if (sqlite3_open_v2(QFile::encodeName(ModMurv::DataFilePath).constData(), &handle, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            return false;
        sqlite3_extended_result_codes(handle, 1);
        sqlite3_busy_timeout(handle, 5000);
        sqlite3_exec(handle, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
        db::RegisterJapaneseCollation(handle);
        return Steps(handle, "select count(*) from sqlite_master") == 1 &&
               Steps(handle,
                     "select type, name, tbl_name, sql from sqlite_master where sql is not null "
                     "and name not like 'sqlite_%' order by type = 'table' desc, rowid") > 0;
    }
    void Close() {
        sqlite3_close_v2(handle);
        handle = nullptr;
    }
};

// The file of that name in a folder, found without regard to case.
QString Find(const QString& folder, const QString& name) {
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return QString();
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A safe save: a new file written beside, synced and renamed (written in place where it cannot be).
bool Save(const QString& path, const QByteArray& bytes) {
    QSaveFile out(path);
    out.setDirectWriteFallback(true);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

// A copy that counts once it reads back the same.
bool CopyReadBack(const QString& from, const QString& to) {
    const QByteArray bytes = ReadAll(from);
    return Save(to, bytes) && ReadAll(to) == bytes;
}

bool Fsync(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    return synced;
}

// The drive holds a disk that can be read, and written: a probe file made and removed.
bool DiskReady(const QString& drive, bool write) {
    const QFileInfo info(drive);
    if (!info.isDir() || !info.isReadable() || !QDir(drive).isReadable()) return false;
    if (!write) return true;
    QTemporaryFile probe(QDir(drive).filePath(QStringLiteral(".murv-write-test-XXXXXX")));
    const bool written = probe.open() && probe.write("probe", 5) == 5 && probe.flush();
    probe.close();
    return probe.remove() && written;
}

// The backup's twin (see the top of the file).
bool RawBackup(Book& book, RawData& data) {
    using namespace maintenance;
    const QString folder = ModMurv::DataFolder;
    const QString snapshot = folder + kSetDataFile, archive = folder + kArchiveName;
    QFile::remove(snapshot);
    sqlite3* target = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(snapshot).constData(), &target,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
    if (sqlite3_backup* copy = ok ? sqlite3_backup_init(target, "main", data.handle, "main") : nullptr) {
        ok = sqlite3_backup_step(copy, -1) == SQLITE_DONE;
        ok = sqlite3_backup_finish(copy) == SQLITE_OK && ok;
    }
    ok = sqlite3_close(target) == SQLITE_OK && ok;
    QFile::remove(archive);
    lzh::MemberReport report;
    QString error;
    ok = ok && lzh::WriteArchive(archive, snapshot, kSetDataFile, &report, &error) == lzh::Status::Ok &&
         lzh::TestArchive(archive, &error) == lzh::Status::Ok;
    QFile::remove(snapshot);
    const qint64 size = QFileInfo(archive).size();
    const int disks = DiskCount(size);
    if (ok && disks > 1) {
        QFile in(archive);
        ok = in.open(QIODevice::ReadOnly);
        for (int k = 1; ok && k <= disks; ++k)
            ok = Save(folder + PieceName(k), in.read(PieceOf(k, disks, size).length));
    }
    ok = ok && Save(folder + kControlName, ControlFileText(disks));
    for (int k = 1; ok && k <= disks; ++k) {
        book.boxes.Insert(k);
        ok = DiskReady(book.drive, true);
        const QDir disk(book.drive);
        for (const QString& entry : disk.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (ok && IsSetFile(entry)) ok = QFile::remove(disk.filePath(entry));
        if (ok && k == 1) ok = CopyReadBack(folder + kControlName, disk.filePath(kControlName));
        const QString name = disks == 1 ? kArchiveName : PieceName(k);
        ok = ok && CopyReadBack(folder + name, disk.filePath(name));
    }
    for (const QString& name : {kSetDataFile, kSetDataFile + QStringLiteral("-journal"), kArchiveName, kControlName})
        QFile::remove(folder + name);
    return ok;
}

// The restore's twin (see the top of the file).
bool RawRestore(Book& book, RawData& data) {
    using namespace maintenance;
    const QString folder = ModMurv::DataFolder, archive = folder + kArchiveName;
    book.boxes.Insert(1);
    const std::optional<int> count =
        DiskReady(book.drive, false) ? DiskCountFromControl(ReadAll(Find(book.drive, kControlName))) : std::nullopt;
    if (!count) return false;
    const int disks = *count;
    bool ok = true;
    {
        QFile joined(archive);
        ok = joined.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (int k = 1; ok && k <= disks; ++k) {
            book.boxes.Insert(k);
            const QString file =
                DiskReady(book.drive, false) ? Find(book.drive, disks == 1 ? kArchiveName : PieceName(k)) : QString();
            QByteArray piece = ReadAll(file);
            if (k < disks) {
                piece = piece.left(kPieceSize);
                if (piece.size() < kPieceSize) piece.append(QByteArray(kPieceSize - piece.size(), '\0'));
            }
            ok = !file.isEmpty() && joined.write(piece) == piece.size() && joined.flush();
        }
    }
    for (QString old = Find(folder, kSetDataFile); ok && !old.isEmpty(); old = Find(folder, kSetDataFile))
        ok = QFile::remove(old);
    QList<lzh::MemberReport> reports;
    QString error;
    ok = ok && lzh::ExtractArchive(archive, folder, {QStringLiteral("*.*")}, &reports, &error) == lzh::Status::Ok;
    QFile::remove(archive);
    const QString restored = Find(folder, kSetDataFile);
    // In place of the data file, as the program replaces it.
    const QString live = ModMurv::DataFilePath, staged = live + QStringLiteral(".new"),
                  safety = live + QStringLiteral(".old");
    QFile::remove(staged);
    ok = ok && !restored.isEmpty() && CopyReadBack(restored, staged) &&
         db::CheckDatabaseFile(staged, core::SchemaStatements(core::DataFileKind::Data), &error) &&
         Fsync(staged, O_RDONLY);
    if (ok) {
        data.Close();
        ok = (::unlink(QFile::encodeName(safety).constData()) == 0 || errno == ENOENT) &&
             ::link(QFile::encodeName(live).constData(), QFile::encodeName(safety).constData()) == 0 &&
             Fsync(folder, O_RDONLY | O_DIRECTORY) &&
             std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(live).constData()) == 0 &&
             Fsync(folder, O_RDONLY | O_DIRECTORY);
        ok = data.Open() && ok && Steps(data.handle, "select * from 自社情報") >= 0;
    }
    if (!restored.isEmpty()) QFile::remove(restored);
    return ok;
}

qint64 RawLines(RawData& data) {
    sqlite3_stmt* stmt = nullptr;
    qint64 lines = -1;
    if (sqlite3_prepare_v2(data.handle, "select count(*) from 取引明細", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        lines = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return lines;
}

// The disks of the set on the floppies: the count in disk 1's control file.
int SetDisks(const QString& folder) {
    return maintenance::DiskCountFromControl(
               ReadAll(QDir(folder).filePath(QStringLiteral("floppy1/") + maintenance::kControlName)))
        .value_or(0);
}

// Times the procedure, or with `raw` its twin, each ending as it tells the user it did.
void MeasureOrTwin(benchmark::State& state, Book& book, bool raw, const std::function<void()>& procedure,
                   const QString& completion, const std::function<bool()>& twin) {
    bench::Measure(
        state, false, [&] { book.boxes.Clear(); },
        [&] {
            if (raw ? !twin() : (procedure(), book.LastText() != completion))
                state.SkipWithError("it did not complete");
        });
}

void BM_TwoDiskBackup50000Lines(benchmark::State& state, bool raw) {
    Book book(kTwoDiskLines);
    RawData data;
    MeasureOrTwin(
        state, book, raw, [&] { maintenance::FDDBuckUp(book.drive, nullptr); }, QStringLiteral("保存が終了しました。"),
        [&] { return RawBackup(book, data); });
    state.counters["disks"] = SetDisks(book.dir.path());
    if (!bench::SmokeRun() && SetDisks(book.dir.path()) != 2) state.SkipWithError("the set is not on two disks");
}
BENCHMARK_CAPTURE(BM_TwoDiskBackup50000Lines, layer, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwoDiskBackup50000Lines, raw, true)->Unit(benchmark::kMillisecond);

void BM_TwoDiskRestore50000Lines(benchmark::State& state, bool raw) {
    Book book(kTwoDiskLines);
    maintenance::FDDBuckUp(book.drive, nullptr);
    if (book.LastText() != u"保存が終了しました。") {
        state.SkipWithError("the backup did not complete");
        return;
    }
    RawData data;
    MeasureOrTwin(
        state, book, raw, [&] { maintenance::RestoreMV(book.drive, nullptr); }, QStringLiteral("読込が終了しました。"),
        [&] { return RawRestore(book, data); });
    RawData restored;
    if (RawLines(restored) != bench::BookLines(kTwoDiskLines)) state.SkipWithError("the lines did not all come back");
    state.counters["disks"] = SetDisks(book.dir.path());
}
BENCHMARK_CAPTURE(BM_TwoDiskRestore50000Lines, layer, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TwoDiskRestore50000Lines, raw, true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunScreenBenchmarks(argc, argv); }
