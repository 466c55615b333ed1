// The expense book's program. Until the main menu exists it opens the data
// folder's two databases, says whether they opened, and ends.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "core/Schema.h"
#include "platform/db/Database.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QDir dataFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/data/"));
    int rc = 0;
    for (const QString& name : {core::kDataFileName, core::kWorkFileName}) {
        db::Database d;
        if (d.Open(dataFolder.filePath(name))) {
            std::printf("opened %s\n", qPrintable(d.Path()));
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(d.LastError()));
            rc = 1;
        }
    }
    return rc;
}
