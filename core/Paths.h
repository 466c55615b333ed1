#pragma once
// The program folder, whose "data/" folder holds the databases. Tests point
// it at a temporary folder.

#include <QString>

namespace core {

// The folder of the running program (ending without a separator).
QString ProgramFolder();
// Points the program folder elsewhere; an empty text returns to the real one.
void SetProgramFolder(const QString& folder);

}  // namespace core
