#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <limits>

#include "core/DataFile.h"
#include "core/Failure.h"
#include "core/Helpers.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupBoxes.h"
#include "maintenance/BackupRules.h"
#include "platform/disk/Drives.h"
#include "platform/disk/FileOps.h"
#include "platform/lzh/Archive.h"
#include "platform/lzh/Unlha.h"

Q_LOGGING_CATEGORY(lcBackup, "murv.backup")

namespace maintenance {

namespace {

const QString kNoDisk = QStringLiteral("フロッピーディスクがセットされていません。確認してください。");
const QString kNotWritable = QStringLiteral("フロッピーディスクが書き込み可能ではありません。確認してください。");
const QString kWrongDisk = QStringLiteral("フロッピーディスクが違います。確認してください。");
const QString kNoDrive = QStringLiteral("フロッピーディスクドライブ（または保存先のフォルダ）を指定してください。");

QString NotDiskK(int k) {
    return QStringLiteral("これは %1 枚目のフロッピーディスクではありません。確認してください。").arg(k);
}
QString NotSavedK(int k) {
    return QStringLiteral("%1 枚目のフロッピーディスクに保存できませんでした。確認してください。").arg(k);
}
QString NotReadK(int k) {
    return QStringLiteral("%1 枚目のフロッピーディスクを読み込めませんでした。確認してください。").arg(k);
}

// Runs the archiver: the command and its switches as one text, the paths
// as words of their own, so that any character of a folder's name stays in it.
int RunArchiver(const QString& command, const QStringList& paths, QString* report) {
    char output[lzh::kOutputSize] = {};
    const int rc = lzh::Unlha(0, command, paths, output, lzh::kOutputSize);
    *report = lzh::OutputText(output, lzh::kOutputSize);
    return rc;
}

// The archiver failed: its reason in Japanese under `title` (`reason` when
// given, else the report's own), and the report in the log.
void TellArchiverFailure(const QString& title, const QString& what, const QString& report,
                         const QString& reason = QString()) {
    core::LogFailure(what, report);
    QString said = reason.isEmpty() ? core::JapaneseReason(report) : reason;
    if (said.isEmpty()) said = what;
    TellWithAppTitle(title + QStringLiteral("\r\n") + said, true);
}

// The file of that name in the disk's root folder, found without regard to case.
QString FindOnDisk(const QString& drive, const QString& name) {
    const QDir root(drive);
    for (const QString& entry : root.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return root.filePath(entry);
    return QString();
}

void ShowProgress(const ProgressLabel& progress, const QString& caption) {
    if (!progress) return;
    progress(caption);
    // The label is painted; what the user clicks or types meanwhile waits until the operation is done.
    if (!caption.isEmpty()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool ReadWhole(const QString& path, QByteArray* bytes, QString* error) {
    QFile f(path);
    errno = 0;
    if (f.open(QIODevice::ReadOnly)) {
        *bytes = f.readAll();
        if (f.error() == QFileDevice::NoError) return true;
    }
    *error = disk::FailureText(path, errno != 0 ? errno : EIO);
    return false;
}

void WorkFileFailure(const QString& title, const QString& detail) {
    TellFailure(title, QStringLiteral("データフォルダの作業ファイルを作れませんでした。データは変わっていません。"),
                detail);
}

// Cuts the archive into its pieces in the data folder.
bool CutPieces(const QString& archive, int disks, qint64 size, QString* error) {
    QFile in(archive);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly)) {
        *error = disk::FailureText(archive, errno != 0 ? errno : EIO);
        return false;
    }
    for (int k = 1; k <= disks; ++k) {
        const PieceSpan span = PieceOf(k, disks, size);
        const QByteArray block = in.read(span.length);
        if (block.size() != span.length) {
            *error = disk::FailureText(archive, errno != 0 ? errno : EIO);
            return false;
        }
        if (!disk::WriteWholeFile(ModMurv::DataFolder + PieceName(k), block, error)) return false;
    }
    return true;
}

// The name a file of the set is written under on a disk before it is whole
// and read back; a backup that was cut short may leave one.
QString TemporaryName(const QString& name) { return name + QStringLiteral(".tmp"); }
bool IsSetTemporary(const QString& entry) {
    return entry.endsWith(QStringLiteral(".tmp"), Qt::CaseInsensitive) && IsSetFile(entry.chopped(4));
}

// The files of backup sets in a disk's root folder (the control files first,
// so that none is ever left without its archive), and what they take up.
struct SetOnDisk {
    QStringList files;
    qint64 bytes = 0;
};

qint64 BlocksOf(qint64 size, qint64 block) { return (size + block - 1) / block * block; }

SetOnDisk SetFilesOn(const QString& drive, qint64 block) {
    SetOnDisk set;
    const QDir root(drive);
    for (const QFileInfo& entry : root.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!IsSetFile(entry.fileName())) continue;
        if (entry.fileName().compare(kControlName, Qt::CaseInsensitive) == 0) set.files.prepend(entry.fileName());
        else set.files << entry.fileName();
        set.bytes += BlocksOf(entry.size(), block);
    }
    return set;
}

// Removes the given files from the disk's root folder, in their order, and syncs the folder.
bool RemoveFromDisk(const QString& drive, const QStringList& names, QString* error) {
    for (const QString& name : names)
        if (!disk::RemoveFile(disk::OnDrive(drive, name), error)) return false;
    return names.isEmpty() || disk::SyncFolder(drive, error);
}

// Removes the temporaries an earlier backup that was cut short left; every other file stays.
bool RemoveTemporaries(const QString& drive, QString* error) {
    QStringList stale;
    for (const QString& entry : QDir(drive).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (IsSetTemporary(entry)) stale << entry;
    return RemoveFromDisk(drive, stale, error);
}

// Writes the files of the set (in the data folder) onto the disk: each whole
// and read back under its temporary name, then renamed into place in the
// order given, the folder synced after each; the older set's files that
// remain go last. Until the last rename the disk holds the older set, after
// it the new one; renamed tells whether a file of the older set may be gone.
bool PutOnDisk(const QString& drive, const QStringList& names, bool* renamed, QString* error) {
    const QString folder = ModMurv::DataFolder;
    for (const QString& name : names)
        if (!disk::CopyVerified(folder + name, disk::OnDrive(drive, TemporaryName(name)), error)) return false;
    for (const QString& name : names) {
        // A file of the older set keeps its letter case, so that no second one is found.
        const QString existing = FindOnDisk(drive, name);
        const QString target = existing.isEmpty() ? disk::OnDrive(drive, name) : existing;
        *renamed = true;
        if (!disk::RenameOver(disk::OnDrive(drive, TemporaryName(name)), target, error) ||
            !disk::SyncFolder(drive, error))
            return false;
    }
    QStringList obsolete;
    const QDir root(drive);
    for (const QString& old : SetFilesOn(drive, 1).files) {
        bool kept = false;
        for (const QString& name : names) kept = kept || FindOnDisk(drive, name) == root.filePath(old);
        if (!kept) obsolete << old;
    }
    return RemoveFromDisk(drive, obsolete, error);
}

enum class DiskStep { Done, Retry, Cancel };

// One disk of the backup: checks it, makes sure the new files fit and writes them;
// changed is set once a file of a set on the disk was replaced or removed.
DiskStep WriteDisk(const QString& drive, int k, int disks, const ProgressLabel& progress, bool* changed) {
    if (!AskOkCancel(kSaveTitle, SetDiskPrompt(k, disks))) return DiskStep::Cancel;
    if (disk::GoodDrive(drive) == 0) return AskOkCancel(kCheckTitle, kNoDisk) ? DiskStep::Retry : DiskStep::Cancel;
    if (disk::WriteTest(drive) == 0) return AskOkCancel(kCheckTitle, kNotWritable) ? DiskStep::Retry : DiskStep::Cancel;
    // Disk 1 receives the control file after its archive or piece.
    QStringList names{disks == 1 ? kArchiveName : PieceName(k)};
    if (k == 1) names << kControlName;

    QString error;
    bool ok = RemoveTemporaries(drive, &error);
    // Whether the new files fit beside the older set, only in its place, or not at all.
    const QStorageInfo space(drive);
    const qint64 block = space.isValid() && space.blockSize() > 0 ? space.blockSize() : 512;
    const SetOnDisk older = SetFilesOn(drive, block);
    qint64 files = 0;
    for (const QString& name : names) files += BlocksOf(core::GetFileSizeByName(ModMurv::DataFolder + name), block);
    const qint64 need = files + block;  // beside the older set, a block more for the folder
    const qint64 free = space.isValid() ? space.bytesAvailable() : std::numeric_limits<qint64>::max();
    bool olderKept = !older.files.isEmpty();
    if (ok && need > free) {
        // In the older set's place the new files take the room (and the names) its files leave.
        if (files > free + older.bytes) {
            ok = false;
            error = disk::SystemReason(ENOSPC) +
                    QStringLiteral("\n%1: %2 bytes needed, %3 free").arg(drive).arg(need).arg(free);
        } else {
            const QString replace =
                QStringLiteral(
                    "%1 枚目のフロッピーディスクには、前回保存したデータと新しいデータの両方を置く空きが"
                    "ありません。\n前回保存したデータを削除して保存します。よろしいですか。")
                    .arg(k);
            if (!AskOkCancel(kSaveTitle, replace)) return DiskStep::Cancel;
            *changed = true;
            ok = RemoveFromDisk(drive, older.files, &error);
            olderKept = false;
        }
    }
    if (ok) {
        ShowProgress(progress, SavingCaption(k, disks));
        bool renamed = false;
        ok = PutOnDisk(drive, names, &renamed, &error);
        olderKept = olderKept && !renamed;
        *changed = *changed || renamed;
        ShowProgress(progress, QString());
    }
    if (ok) return DiskStep::Done;
    QString ignored;
    RemoveTemporaries(drive, &ignored);
    // Why the disk was not written (full, read-only…) goes with the question.
    core::LogFailure(NotSavedK(k), error);
    const QString reason = core::JapaneseReason(error);
    QString text = reason.isEmpty() ? NotSavedK(k) : NotSavedK(k) + u'\n' + reason;
    if (olderKept) text += QStringLiteral("\n前回保存したデータはこのフロッピーディスクに残っています。");
    return AskOkCancel(kCheckTitle, text) ? DiskStep::Retry : DiskStep::Cancel;
}

// One disk of the restore: checks it and appends its part to the joined archive.
DiskStep ReadDisk(const QString& drive, int k, int disks, QFile& joined, const ProgressLabel& progress) {
    if (!AskOkCancel(kReadTitle, SetDiskPrompt(k, disks))) return DiskStep::Cancel;
    if (disk::GoodDrive(drive) == 0) return AskOkCancel(kCheckTitle, kNoDisk) ? DiskStep::Retry : DiskStep::Cancel;
    const QString file = FindOnDisk(drive, disks == 1 ? kArchiveName : PieceName(k));
    if (file.isEmpty()) return AskOkCancel(kCheckTitle, NotDiskK(k)) ? DiskStep::Retry : DiskStep::Cancel;
    ShowProgress(progress, ReadingCaption(k, disks));
    QByteArray piece;
    QString error;
    const bool read = ReadWhole(file, &piece, &error);
    ShowProgress(progress, QString());
    if (!read) {
        qCWarning(lcBackup) << "disk" << k << "of" << disks << "could not be read:" << error;
        return AskOkCancel(kCheckTitle, NotReadK(k)) ? DiskStep::Retry : DiskStep::Cancel;
    }
    // Every piece but the last counts for exactly its full size.
    if (k < disks) {
        piece = piece.left(kPieceSize);
        if (piece.size() < kPieceSize) piece.append(QByteArray(kPieceSize - piece.size(), '\0'));
    }
    errno = 0;
    if (joined.write(piece) != piece.size() || !joined.flush()) {
        WorkFileFailure(kReadTitle, disk::FailureText(joined.fileName(), errno != 0 ? errno : ENOSPC));
        return DiskStep::Cancel;
    }
    return DiskStep::Done;
}

// Disk 1 of the restore: the count from its control file, or nothing when the user gave up.
std::optional<int> FirstDiskCount(const QString& drive) {
    for (;;) {
        while (disk::GoodDrive(drive) == 0)
            if (!AskOkCancel(kCheckTitle, kNoDisk)) return std::nullopt;
        const QString control = FindOnDisk(drive, kControlName);
        QByteArray text;
        QString error;
        if (!control.isEmpty() && !ReadWhole(control, &text, &error)) {
            qCWarning(lcBackup) << "the control file could not be read:" << error;
            if (!AskOkCancel(kCheckTitle, NotReadK(1))) return std::nullopt;
            continue;
        }
        if (const std::optional<int> n = control.isEmpty() ? std::nullopt : DiskCountFromControl(text)) return n;
        if (!control.isEmpty()) qCWarning(lcBackup) << "the control file does not give a disk count:" << text.left(100);
        if (!AskOkCancel(kCheckTitle, kWrongDisk)) return std::nullopt;
    }
}

}  // namespace

bool CreateLzhFile(const QString& folder, const QString& fileName, const QString& archiveName) {
    const QString archive = folder + archiveName;
    QString error;
    if (!disk::RemoveFile(archive, &error)) qCWarning(lcBackup) << error;
    QString report;
    const int rc = RunArchiver(QStringLiteral("a -+ -a1 -d0 -f0 -n0 -jm4"),
                               {archive, ModMurv::DataFolder, folder + fileName}, &report);
    // The packed archive counts only once every member reads back with a good CRC.
    if (rc == 0 && lzh::TestArchive(archive, &error) == lzh::Status::Ok) {
        TellWithAppTitle(QStringLiteral("[書庫ファイル ＯＫ]") + QStringLiteral("\r\n") + report, false);
        return true;
    }
    if (rc == 0) report = error;
    disk::RemoveFile(archive, &error);
    TellArchiverFailure(QStringLiteral("[書庫ファイル　作成エラー]"),
                        QStringLiteral("書庫ファイルを作成できませんでした。"), report);
    return false;
}

bool DefrostMV(const QString& folder, const QString& fileName, const QString& archiveName, const QString& into,
               const QString& damagedNote) {
    const QString archive = folder + archiveName;
    if (!QFileInfo::exists(archive)) {
        qCWarning(lcBackup) << archive << "is missing; nothing was unpacked";
        return false;
    }
    // The set's data file alone, in whatever case its name is written.
    QString report;
    const int rc = RunArchiver(QStringLiteral("x -+ -a2 -d1 -f0 -n1 -jyc0 -jyd0 -jyk0 -jyn0 -jyo0"),
                               {archive, into, fileName}, &report);
    if (rc == 0) {
        TellWithAppTitle(QStringLiteral("[書庫解凍 ＯＫ]") + QStringLiteral("\r\n") + report, false);
        return true;
    }
    QString reason = rc == static_cast<int>(lzh::Status::NothingMatched)
                         ? QStringLiteral("書庫にデータファイル %1 が入っていません。").arg(fileName)
                         : QString();
    if (!damagedNote.isEmpty() &&
        (rc == static_cast<int>(lzh::Status::Damaged) || rc == static_cast<int>(lzh::Status::NotArchive)))
        reason = core::JapaneseReason(report) + u'\n' + damagedNote;
    TellArchiverFailure(QStringLiteral("[書庫解凍　エラー]"), QStringLiteral("書庫を解凍できませんでした。"), report,
                        reason);
    return false;
}

void FDDBuckUp(const QString& drive, const ProgressLabel& progress) {
    if (drive.trimmed().isEmpty()) {
        core::MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), kNoDrive);
        return;
    }
    const QString folder = ModMurv::DataFolder;
    const QString snapshot = folder + kSetDataFile;
    const QString archive = folder + kArchiveName;
    QString error;
    // The work files go on every way out; the pieces of a finished set stay.
    int pieces = 0;
    bool finished = false;
    const auto cleanUp = qScopeGuard([&] {
        QString ignored;
        for (const QString& name :
             {kSetDataFile, kSetDataFile + QStringLiteral("-journal"), kArchiveName, kControlName})
            disk::RemoveFile(folder + name, &ignored);
        for (int k = 1; !finished && k <= pieces; ++k) disk::RemoveFile(folder + PieceName(k), &ignored);
    });

    // The set's data file is a consistent copy of the data file in use.
    const QString notCopied = QStringLiteral("データファイルをコピーできませんでした。保存は行われていません。");
    if (!disk::RemoveFile(snapshot, &error)) {
        TellFailure(kSaveTitle, notCopied, error);
        return;
    }
    if (db::Failure why; !core::SnapshotDataFile(snapshot, &why)) {
        TellFailure(kSaveTitle, notCopied, why);
        return;
    }
    const bool made = CreateLzhFile(folder, kSetDataFile, kArchiveName);
    disk::RemoveFile(snapshot, &error);
    if (!made) return;

    const qint64 size = core::GetFileSizeByName(archive);
    if (size < 0) {
        WorkFileFailure(kSaveTitle, disk::FailureText(archive, ENOENT));
        return;
    }
    const int disks = DiskCount(size);
    pieces = disks > 1 ? disks : 0;
    if (disks > 1 && !CutPieces(archive, disks, size, &error)) {
        WorkFileFailure(kSaveTitle, error);
        return;
    }
    if (!disk::WriteWholeFile(folder + kControlName, ControlFileText(disks), &error)) {
        WorkFileFailure(kSaveTitle, error);
        return;
    }
    if (!AskOkCancel(kSaveTitle, QStringLiteral("%1 枚のフロッピーディスクを準備してださい。").arg(disks))) return;

    // Once a disk of several holds the new set's piece, neither set is whole until the last disk is written.
    bool changed = false;
    for (int k = 1; k <= disks;) {
        switch (WriteDisk(drive, k, disks, progress, &changed)) {
        case DiskStep::Done: ++k; break;
        case DiskStep::Retry: break;
        case DiskStep::Cancel:
            if (disks > 1 && changed)
                TellFailure(kSaveTitle,
                            QStringLiteral("保存を中止しました。書き込んだフロッピーディスクには前回の保存データの一部"
                                           "が残っていないため、前回の保存データも今回の保存データも読み込めません。"
                                           "もう一度保存してください。"),
                            QString());
            return;
        }
    }
    finished = true;
    qCInfo(lcBackup) << "backup of" << size << "bytes written on" << disks << "disk(s) in" << drive;
    Tell(kSaveTitle, QStringLiteral("保存が終了しました。"));
}

bool RestoreMV(const QString& drive, const ProgressLabel& progress) {
    if (drive.trimmed().isEmpty()) {
        core::MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), kNoDrive);
        return false;
    }
    const QString folder = ModMurv::DataFolder;
    const QString archive = folder + kArchiveName;
    if (!AskOkCancel(kReadTitle, QStringLiteral("MuRv経費帳") +
                                     QStringLiteral("をバックアップしたフロッピーディスクの「1」をセットしてださい。")))
        return false;
    const std::optional<int> count = FirstDiskCount(drive);
    if (!count) return false;
    const int disks = *count;
    if (!AskOkCancel(kCheckTitle, QStringLiteral("フロッピーディスクは %1 枚です。よろしいですか。").arg(disks)))
        return false;

    // The joined archive goes again on every way out.
    const auto cleanUp = qScopeGuard([&] {
        QString ignored;
        disk::RemoveFile(archive, &ignored);
    });
    {
        QFile joined(archive);
        errno = 0;
        if (!joined.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            WorkFileFailure(kReadTitle, disk::FailureText(archive, errno != 0 ? errno : EACCES));
            return false;
        }
        for (int k = 1; k <= disks;) {
            switch (ReadDisk(drive, k, disks, joined, progress)) {
            case DiskStep::Done: ++k; break;
            case DiskStep::Retry: break;
            case DiskStep::Cancel: return false;
            }
        }
        errno = 0;
        if (!joined.flush()) {
            WorkFileFailure(kReadTitle, disk::FailureText(archive, errno != 0 ? errno : ENOSPC));
            return false;
        }
    }

    // The set's data file is unpacked into a work folder of its own, which goes again with all it holds.
    errno = 0;
    const QTemporaryDir unpackFolder(folder + core::kRestoreWorkFolderPattern);
    if (!unpackFolder.isValid()) {
        WorkFileFailure(kReadTitle, disk::FailureText(folder, errno != 0 ? errno : EACCES));
        return false;
    }
    const QString into = unpackFolder.path() + u'/';
    // Disks of several sets join to an archive that fails its check.
    const bool unpacked = DefrostMV(
        folder, kSetDataFile, kArchiveName, into,
        disks > 1 ? QStringLiteral("フロッピーディスクがすべて同じ保存のものか確認してください。") : QString());
    QString error;
    disk::RemoveFile(archive, &error);
    const QString restored = unpacked ? FindOnDisk(into, kSetDataFile) : QString();
    if (restored.isEmpty()) {
        TellFailure(kReadTitle,
                    QStringLiteral("フロッピーディスクのデータを読み込めませんでした。現在のデータはそのままです。"),
                    QString());
        return false;
    }
    core::ReplaceFailure why = core::ReplaceFailure::None;
    if (!core::ReplaceDataFile(restored, &error, &why)) {
        TellFailure(kReadTitle, ReplaceFailureText(why, QStringLiteral("読み込んだファイル")), error);
        return false;
    }
    Tell(kReadTitle, QStringLiteral("読込が終了しました。"));
    return true;
}

QString ReplaceFailureText(core::ReplaceFailure why, const QString& subject) {
    const QString kept = QStringLiteral("現在のデータはそのままです。");
    switch (why) {
    case core::ReplaceFailure::CannotWrite:
        return QStringLiteral("データフォルダに書き込めないため、") + subject +
               QStringLiteral("をデータファイルにできませんでした。") + kept;
    case core::ReplaceFailure::CannotRead: return subject + QStringLiteral("を読めませんでした。") + kept;
    case core::ReplaceFailure::NotDataFile:
    case core::ReplaceFailure::None: break;
    }
    return subject + QStringLiteral("はデータファイルとして使えません。") + kept;
}

}  // namespace maintenance
