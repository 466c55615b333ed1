#pragma once
// The floppy backup set: an LZH archive "murvdata.lzh" of the set's data
// file "Murvdata.mdb"; for more than one disk, pieces "murv_d001"… of
// 1,440,001 bytes (the last holds the rest); on disk 1 the control file
// "Murvctl" holding "MurvFddNum= " and the number of disks.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/DataFile.h"

namespace maintenance {

inline const QString kSetDataFile = core::kSetDataFileName;
inline const QString kArchiveName = core::kSetArchiveName;
inline const QString kControlName = core::kSetControlName;
constexpr qint64 kFddChunkSize = 1440000;
constexpr qint64 kPieceSize = kFddChunkSize + 1;

// The number of disks for an archive of size bytes: size / 1,440,000
// rounded up.
int DiskCount(qint64 archiveSize);

// "murv_d" and the disk number in three digits.
QString PieceName(int disk);

// Where piece `disk` of `disks` starts in the archive and how long it is.
struct PieceSpan {
    qint64 offset;
    qint64 length;
};
PieceSpan PieceOf(int disk, int disks, qint64 archiveSize);

// The control file's bytes: "MurvFddNum= " and the count, nothing else.
QByteArray ControlFileText(int disks);

// The count a control file gives: the text from its 13th character on (of
// its first 100), blanks around it ignored, as a whole number from 1 to 999.
// Anything else gives nothing.
std::optional<int> DiskCountFromControl(const QByteArray& control);

// Whether a file in a disk's root folder belongs to a backup set (the only
// files emptying a disk removes). Names are compared without regard to case.
bool IsSetFile(const QString& fileName);

// The numbers in the prompts: decimal, no leading zeros.
QString SetDiskPrompt(int disk, int disks);  // "k/ N枚目のフロッピーディスクをセットしてください。"
QString SavingCaption(int disk, int disks);   // "k/ N 枚目のフロッピーディスクに保存中です･･･"
QString ReadingCaption(int disk, int disks);  // "k/ N 枚目のフロッピーディスクを読込中です･･･"

}  // namespace maintenance
