#include "platform/com/Server.h"

#include <cstdio>

namespace com {

namespace {

using Change = bool (*)(const QString& clsid, const QString& libraryPath, QString* error);

int ChangeRegistration(Change change, const QString& clsid, const void* anchor) {
    const QString path = ModulePathOf(anchor);
    QString error = QStringLiteral("the path of the library serving %1 is unknown").arg(clsid);
    if (!path.isEmpty() && change(clsid, path, &error)) return 0;
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
}

}  // namespace

int RegisterServerOf(const QString& clsid, const void* anchor) { return ChangeRegistration(&Register, clsid, anchor); }

int UnregisterServerOf(const QString& clsid, const void* anchor) {
    return ChangeRegistration(&Unregister, clsid, anchor);
}

}  // namespace com
