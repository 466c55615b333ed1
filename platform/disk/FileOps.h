#pragma once
// Whole-file operations the maintenance procedures need: a copy that is
// read back before it counts, a rename that never replaces, telling
// whether two paths name one file, and the user's words for the system's
// reasons. Every error text these give starts with the reason in Japanese
// on a line of its own, followed by the path and the system's own text.

#include <QByteArray>
#include <QString>

namespace disk {

// The user's words (Japanese) for a system error number (errno).
QString SystemReason(int errorNumber);

// An error text: SystemReason(errorNumber), then on a line of its own the
// path and the system's text.
QString FailureText(const QString& path, int errorNumber);

// Copies source to target (replacing target), then reads the target back
// and compares its size and bytes with the source. On failure the target is
// removed and error says why; sourceUnreadable (when given) tells whether
// it was the source that could not be read.
bool CopyVerified(const QString& source, const QString& target, QString* error, bool* sourceUnreadable = nullptr);

// Renames from to to; fails when to exists.
bool RenameNoReplace(const QString& from, const QString& to, QString* error);

// Renames from over to (replacing it) in one step.
bool RenameOver(const QString& from, const QString& to, QString* error);

// Removes a file; a file that is not there counts as removed.
bool RemoveFile(const QString& path, QString* error);

// Writes bytes as a new file that holds exactly them (replacing one that exists).
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error);

// Makes a file's contents durable (fsync).
bool SyncFile(const QString& path, QString* error);

// Makes the names in a folder durable (fsync of the folder).
bool SyncFolder(const QString& folder, QString* error);

// Gives the file `from` a second name `to` (a hard link, or a copy where the
// file system has none); to must not exist.
bool KeepSecondName(const QString& from, const QString& to, QString* error);

// True when both paths exist and name the same file (also through links).
bool SameFile(const QString& a, const QString& b);

}  // namespace disk
