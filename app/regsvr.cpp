// Registers (or with -u unregisters) the classes of a component library.
//   MurvRegSvr [-u] <library>
#include <dlfcn.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool unregister = argc == 3 && std::strcmp(argv[1], "-u") == 0;
    if (argc != 2 && !unregister) {
        std::fprintf(stderr, "usage: MurvRegSvr [-u] <library>\n");
        return 2;
    }
    const QString path = QFileInfo(QString::fromLocal8Bit(argv[argc - 1])).absoluteFilePath();
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
    const int rc = entry();
    if (rc == 0) std::printf("%s %s\n", unregister ? "unregistered" : "registered", qPrintable(path));
    return rc;
}
