#include "core/Paths.h"

#include <QCoreApplication>

namespace core {

namespace {
QString g_folder;
}

QString ProgramFolder() { return g_folder.isEmpty() ? QCoreApplication::applicationDirPath() : g_folder; }

void SetProgramFolder(const QString& folder) { g_folder = folder; }

}  // namespace core
