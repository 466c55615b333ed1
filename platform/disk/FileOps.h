#pragma once
// Whole-file operations the maintenance procedures need: a copy that is
// read back before it counts, a rename that never replaces, and telling
// whether two paths name one file.

#include <QByteArray>
#include <QString>

namespace disk {

// Copies source to target (replacing target), then reads the target back
// and compares its size and bytes with the source. On failure the target is
// removed and error says why.
bool CopyVerified(const QString& source, const QString& target, QString* error);

// Renames from to to; fails when to exists.
bool RenameNoReplace(const QString& from, const QString& to, QString* error);

// Renames from over to (replacing it) in one step.
bool RenameOver(const QString& from, const QString& to, QString* error);

// Removes a file; a file that is not there counts as removed.
bool RemoveFile(const QString& path, QString* error);

// Writes bytes as a new file that holds exactly them (replacing one that exists).
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error);

// True when both paths exist and name the same file (also through links).
bool SameFile(const QString& a, const QString& b);

}  // namespace disk
