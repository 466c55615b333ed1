// Makes the missing files of a data folder; existing files are never touched.
#include <QCoreApplication>
#include <cstdio>

#include "core/Schema.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: MurvMakeData <data folder>\n");
        return 2;
    }
    QStringList created;
    QString error;
    if (!core::MakeDataFolder(QString::fromLocal8Bit(argv[1]), &created, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    for (const auto& f : created) std::printf("made %s\n", qPrintable(f));
    return 0;
}
