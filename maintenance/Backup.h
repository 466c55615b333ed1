#pragma once
// The backup procedures of the maintenance screen: the floppy-style backup
// and restore over a drive (a folder standing for a disk; disks are swapped
// at the same place), and the copies of the data file to and from a file
// the user picks. The screen only calls them with what it holds.

#include <QString>
#include <functional>

#include "core/DataFile.h"

class QWidget;

namespace maintenance {

// The progress label (FddMsg): a caption to show, or an empty text to hide it.
using ProgressLabel = std::function<void(const QString& caption)>;

// Packs folder/fileName into a new archive folder/archiveName, stored under
// its bare name. Shows the archiver's report ("[書庫ファイル ＯＫ]") or its
// failure's reason ("[書庫ファイル　作成エラー]"), in Japanese. True when the
// archive was made.
bool CreateLzhFile(const QString& folder, const QString& fileName, const QString& archiveName);

// Unpacks the member fileName of folder/archiveName (its name compared
// without regard to case; a member in a folder does not count) into the
// folder `into` (ending with "/"); nothing else of the archive is unpacked.
// Shows the archiver's report ("[書庫解凍 ＯＫ]") or its failure's reason
// ("[書庫解凍　エラー]"), followed by damagedNote when the archive is damaged.
// True when the member was unpacked.
bool DefrostMV(const QString& folder, const QString& fileName, const QString& archiveName, const QString& into,
               const QString& damagedNote = QString());

// cmdFD書込: a snapshot of the data file in use is packed and written onto
// as many disks in drive as it needs, with the control file on disk 1.
void FDDBuckUp(const QString& drive, const ProgressLabel& progress);

// cmdFD読込: the set is read back from its disks in drive and joined; its
// data file alone is unpacked, into a work folder of its own, checked, and
// then put in place of the data file in use. True when it was put in place.
bool RestoreMV(const QString& drive, const ProgressLabel& progress);

// cmdHD書込: a consistent copy of the data file in use goes to a file the
// user names in the save dialog.
void SaveDataFileToHdd(QWidget* owner);

// cmdHD読込: a data file the user picks in the open dialog takes the place
// of the data file in use. True when it did.
bool ReadDataFileFromHdd(QWidget* owner);

// What the user is told when a file (subject: "読み込んだファイル") could not
// take the place of the data file: a folder that cannot be written, a file
// that cannot be read, or one that is not a data file.
QString ReplaceFailureText(core::ReplaceFailure why, const QString& subject);

}  // namespace maintenance
