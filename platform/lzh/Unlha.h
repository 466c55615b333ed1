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
// relative to the base folder (its bare name when it lies elsewhere).
//
// The report is one line per member packed or unpacked; after a failure it
// says what failed. It is cut to fit the buffer and always ends with a NUL.

#include <QString>

#include "platform/lzh/Archive.h"

namespace lzh {

constexpr int kOutputSize = 1024;

// Texts are in the local 8-bit encoding. The window handle is not used.
int Unlha(int window, const char* command, char* output, int outputSize);

// The text of an output buffer up to its first NUL.
QString OutputText(const char* output, int outputSize);

}  // namespace lzh
