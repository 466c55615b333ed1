#pragma once
// Putting another file in place of the data file in use, and copying the
// data file while it is open. Both keep the shared connection DbData sound:
// the copy is taken through the connection, and a replacement closes it,
// swaps the files and opens it again.

#include <QString>
#include <QStringList>
#include <functional>

#include "core/Schema.h"
#include "platform/db/Database.h"

namespace core {

// Work files of the data folder's operations (the backup set's files, the
// year-end archive while it is made). One that is still there at start-up
// was left by an operation that failed or was killed. In the patterns,
// XXXXXX stands for the six letters or digits of QTemporaryFile's and
// QTemporaryDir's names.
inline const QString kSetDataFileName = QStringLiteral("Murvdata.mdb");
inline const QString kSetArchiveName = QStringLiteral("murvdata.lzh");
inline const QString kSetControlName = QStringLiteral("Murvctl");
// A piece of a set of several disks: this and the disk number in three digits.
inline const QString kSetPiecePrefix = QStringLiteral("murv_d");
inline const QString kYearEndWorkPattern = QStringLiteral(".year-end-XXXXXX.tmp");
// A file made afresh (MakeFileAfresh) before it takes its name.
inline const QString kFreshFilePattern = QStringLiteral(".fresh-XXXXXX.mdb");
// The folder a restore unpacks the set's data file into.
inline const QString kRestoreWorkFolderPattern = QStringLiteral(".restore-XXXXXX");

// Why a replacement of the data file failed.
enum class ReplaceFailure { None, NotDataFile, CannotRead, CannotWrite };

// Replaces the data file in use (ModMurv::DataFilePath) by a copy of
// newFile. The copy is staged beside the data file (DataFilePath + ".new",
// with a copy of the journal of a commit cut short beside newFile, which
// the check rolls back), synced and verified (a database whose schema is the program's own, see
// db::CompareSchema, and that passes the integrity check) before the connection is closed; the old file
// keeps a second name as a safety copy (DataFilePath + ".old", a hard link
// or a copy), and the staged one is renamed over the data file in one step,
// so a data file is under its name at every moment; the connection is
// opened again and the company settings, the tax rate in force and the
// main menu's title and period are reloaded. Any failure leaves the old file
// in use; error then says why and kind (when given) what kind of failure it
// was (when newFile is no data file because its schema differs, the first
// line of error says how, in Japanese). newFile itself is never changed;
// naming the data file itself fails.
bool ReplaceDataFile(const QString& newFile, QString* error, ReplaceFailure* kind = nullptr);

// At start-up, before the data file is opened: a replacement that was cut
// short is finished (a missing data file beside a sound ".new", else an
// ".old", is put back under its name, and the user is told once), and the
// work files and folders that failed or killed operations left in the data
// folder are removed.
void RecoverDataFolder();

// The names of the work files that start-up removes from the data folder
// (wildcard patterns, matched in any case): each the exact shape of a
// file the program's operations make, so that no file of the user's is one.
QStringList WorkFilePatterns();
// True when start-up would take a file of the data folder of that name for a
// work file an operation left, and remove it: a name the user gives a file
// of the data folder must not be one.
bool IsWorkFileName(const QString& fileName);

// Puts a file of the given kind made afresh from the program's own
// statements in the place of the file at path, in one step: made beside it
// under a work name (and given what `fill`, when set, writes into it), then
// renamed over it, the folder synced. On failure (error says why) the file
// at path is as it was.
bool MakeFileAfresh(const QString& path, DataFileKind kind, QString* error,
                    const std::function<bool(db::Database& fresh)>& fill = {});

// Writes a consistent copy of the open data file as a new file at target
// (which must not exist); why says why it failed.
bool SnapshotDataFile(const QString& target, db::Failure* why);

}  // namespace core
