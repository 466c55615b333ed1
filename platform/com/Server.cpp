#include "platform/com/Server.h"

#include <cstdio>

namespace com {

int RegisterServerOf(const QString& clsid, const void* anchor) {
    const QString path = ModulePathOf(anchor);
    QString error;
    if (path.isEmpty() || !Register(clsid, path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

int UnregisterServerOf(const QString& clsid) {
    QString error;
    if (!Unregister(clsid, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

}  // namespace com
