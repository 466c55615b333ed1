#pragma once
// The archiver call the maintenance procedures make: one command line, an
// output buffer for the report text, 0 on success.
//
//   a <switches> "<archive>" "<base folder>/" "<file>"...   packs one file into a new archive
//   x <switches> "<archive>" "<target folder>/" "<name>"...  unpacks the members matching the names
//
// Switches (words starting with "-" outside quotes) are accepted and do not
// change what happens. Quoted texts that touch form one word; empty words
// are dropped. A folder is a word ending with "/" or "\". A file named
// relative is taken in the base folder, and it is stored under its path
// relative to the base folder (its bare name when it lies elsewhere). A name
// to unpack is compared with a member's whole name (its folders included)
// without regard to case; "*" and "?" are wildcards within one folder, and
// "*" or "*.*" alone takes every member.
//
// The report is in Japanese (names and figures as they are), one line per
// member packed or unpacked. After a failure it is the reason in Japanese on
// its first line, followed by the detail for the log. It is cut to fit the
// buffer and always ends with a NUL.

#include <QString>
#include <QStringList>

#include "platform/lzh/Archive.h"

namespace lzh {

constexpr int kOutputSize = 1024;

// Texts are in the local 8-bit encoding. The window handle is not used.
int Unlha(int window, const char* command, char* output, int outputSize);

// The same call with the paths kept apart from the command line: `command`
// holds the command and its switches as above ("a -+ -a1 …"), and each of
// `paths` is one word taken as it is written, whatever characters it holds
// (blanks, quotes and "\" are part of the name; a folder ends with "/").
int Unlha(int window, const QString& command, const QStringList& paths, char* output, int outputSize);

// The text of an output buffer up to its first NUL.
QString OutputText(const char* output, int outputSize);

}  // namespace lzh
