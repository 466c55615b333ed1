// Registers (or with -u unregisters) the classes of component libraries in
// the registry of their program folder: classes.reg beside each library, or
// $MURV_COM_REGISTRY when that is set.
//   MurvRegSvr [-u] <library>...
#include <dlfcn.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "platform/com/Com.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool unregister = argc >= 2 && std::strcmp(argv[1], "-u") == 0;
    const int first = unregister ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: MurvRegSvr [-u] <library>...\n");
        return 2;
    }
    for (int i = first; i < argc; ++i) {
        const QString path = QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
        void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "%s\n", dlerror());
            return 1;
        }
        using Entry = int (*)();
        auto entry = reinterpret_cast<Entry>(dlsym(handle, unregister ? "DllUnregisterServer" : "DllRegisterServer"));
        if (!entry) {
            std::fprintf(stderr, "%s: not a component library\n", qPrintable(path));
            return 1;
        }
        if (const int rc = entry(); rc != 0) return rc;
        std::printf("%s %s in %s\n", unregister ? "unregistered" : "registered", qPrintable(path),
                    qPrintable(com::RegistryFor(path)));
    }
    return 0;
}
