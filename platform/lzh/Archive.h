#pragma once
// LZH archives as files: writing a new archive of one file packed with
// -lh5- (header level 2), and unpacking an archive's members into a folder
// through liblhasa. Unpacking checks every member's CRC, refuses a member
// whose name would leave the folder or that is a link, never replaces a file
// that exists, and ignores whatever follows the archive's end marker.
// A failure's text gives the reason in Japanese on its first line, then the
// detail (names, the system's words) for the log.

#include <QList>
#include <QString>
#include <QStringList>

namespace lzh {

enum class Status {
    Ok = 0,
    BadCommand,     // the command line names no known command or lacks a name
    Missing,        // the file to pack or the archive to unpack does not exist or cannot be read
    Exists,         // the archive to make, or a member's target file, exists already
    NotArchive,     // no member could be read: not an archive, or damaged in its first header
    Damaged,        // a member's contents do not match its length or CRC
    UnsafeName,     // a member's name leaves the target folder, or it is a link
    WriteFailed,    // a file could not be written
    NothingMatched  // no member matches the names asked for
};

struct MemberReport {
    QString name;       // as stored in the archive
    qint64 size = 0;    // original size
    qint64 packed = 0;  // compressed size
    QString method;     // "-lh5-"
};

// Packs sourcePath into a new archive under memberName. Fails with Exists
// when archivePath exists; the archive appears whole or not at all.
Status WriteArchive(const QString& archivePath, const QString& sourcePath, const QString& memberName,
                    MemberReport* report, QString* error);

// Unpacks into folder every member whose whole name (its folders included)
// matches one of patterns without regard to case (wildcards "*" and "?"
// within one folder; "*.*" and "*" match every name). Members already
// unpacked stay when a later one fails.
Status ExtractArchive(const QString& archivePath, const QString& folder, const QStringList& patterns,
                      QList<MemberReport>* reports, QString* error);

// Reads every member whole and checks its length and CRC, writing nothing.
Status TestArchive(const QString& archivePath, QString* error);

}  // namespace lzh
