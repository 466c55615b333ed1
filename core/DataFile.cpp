#include "core/DataFile.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include "core/Clock.h"
#include "core/CompanyInfo.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/Schema.h"
#include "platform/db/FileCheck.h"
#include "platform/disk/FileOps.h"
#include "platform/ui/Form.h"

Q_LOGGING_CATEGORY(lcDataFile, "murv.datafile")

namespace core {

namespace {

void ReloadSettings() {
    ModMurv::ResetCompanySettings();
    LoadCompanyInfo();
    ModMurv::TaxRate = ChooseTaxRate(Today());
    if (auto* menu = dynamic_cast<MainMenu*>(ui::Forms::Find(QStringLiteral("MainMenu")))) menu->ShowTitleAndPeriod();
}

}  // namespace

QStringList DataTableNames() {
    QStringList names;
    for (const TableDef& t : DataTables()) names << t.name;
    return names;
}

bool SnapshotDataFile(const QString& target, QString* error) {
    if (ModMurv::DbData.SnapshotTo(target)) return true;
    *error = ModMurv::DbData.LastError();
    qCWarning(lcDataFile) << "copy of the data file failed:" << *error;
    return false;
}

bool ReplaceDataFile(const QString& newFile, QString* error) {
    const QString live = ModMurv::DataFilePath;
    const QString staged = live + QStringLiteral(".new");
    const QString safety = live + QStringLiteral(".old");
    auto fail = [&](const QString& why) {
        *error = why;
        qCWarning(lcDataFile) << "the data file was not replaced by" << newFile << ":" << why;
        QString ignored;
        disk::RemoveFile(staged, &ignored);
        return false;
    };
    if (disk::SameFile(newFile, live)) return fail(QStringLiteral("%1 is the data file in use").arg(newFile));

    QString why;
    if (!disk::RemoveFile(staged, &why) || !disk::CopyVerified(newFile, staged, &why)) return fail(why);
    if (!db::CheckDatabaseFile(staged, DataTableNames(), &why)) return fail(why);

    ModMurv::DbData.Close();
    auto reopenOld = [&] {
        QString ignored;
        if (!QFileInfo::exists(live)) disk::RenameOver(safety, live, &ignored);
        if (!ModMurv::DbData.Open(live))
            qCWarning(lcDataFile) << "the old data file could not be opened again:" << ModMurv::DbData.LastError();
    };
    if (!disk::RemoveFile(safety, &why) || (QFileInfo::exists(live) && !disk::RenameOver(live, safety, &why))) {
        reopenOld();
        return fail(why);
    }
    if (!disk::RenameNoReplace(staged, live, &why)) {
        reopenOld();
        return fail(why);
    }
    if (!ModMurv::DbData.Open(live)) {
        why = ModMurv::DbData.LastError();
        QString ignored;
        disk::RenameOver(live, staged, &ignored);
        reopenOld();
        return fail(why);
    }
    ReloadSettings();
    qCInfo(lcDataFile) << "the data file was replaced by a copy of" << newFile << "; the old one is kept as" << safety;
    return true;
}

}  // namespace core
