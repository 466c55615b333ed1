#pragma once
// Opening the data folder's files at start-up, with the checks that keep a
// wrong, damaged or read-only file from being taken for an empty book:
//   - a file without the database header is not one of ours, nor is a data
//     file whose schema is not the program's own (db::CompareSchema): it is
//     named in a message, with what differs, and not opened (nor changed);
//   - the data file is checked page by page (PRAGMA quick_check); a damaged
//     one is said to be damaged and left as it is: it stays open for
//     reading only, so the menu stays usable for restoring a copy;
//   - a data file or data folder that cannot be written is said at once
//     ("the data can be viewed but not changed"); the data file is then
//     opened for reading only, and the work file, whose rows every screen
//     rebuilds, is used from a copy in a temporary folder when it cannot be
//     written where it is.

#include <QString>
#include <QStringList>

namespace core {

struct DataFilesOutcome {
    bool dataOpen = false;
    bool workOpen = false;
    bool dataWritable = false;  // false: read only this run (damaged or not writable)
    bool damaged = false;
    QStringList problems;  // the user's messages, in the order shown
};

// Opens ModMurv::DataFilePath into DbData and ModMurv::WorkFilePath into
// DbWork (the latter may be moved to a temporary copy) with the checks
// above. Each problem is shown (core::ShowFailure) and logged once, unless
// `show` is false.
DataFilesOutcome OpenDataFiles(bool show = true);

// True when the file starts with SQLite's header ("SQLite format 3").
bool HasDatabaseHeader(const QString& path);

}  // namespace core
