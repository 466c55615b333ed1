#include "core/DataFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>

#include "core/Clock.h"
#include "core/CompanyInfo.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/Schema.h"
#include "core/ScreenKit.h"
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

// A pattern's XXXXXX as the wildcard of exactly six letters or digits.
QString Shape(const QString& pattern) {
    return QString(pattern).replace(QStringLiteral("XXXXXX"), QStringLiteral("[A-Za-z0-9]").repeated(6));
}

// The name of a file while QSaveFile writes it, for a name's pattern.
QString WhileWritten(const QString& name) { return name + Shape(QStringLiteral(".XXXXXX")); }

// The staged new data file of a replacement, with its journal, while each is written.
QStringList StagedPatterns() {
    const QString staged = kDataFileName + QStringLiteral(".new");
    const QString journal = staged + QStringLiteral("-journal");
    return {staged, journal, WhileWritten(staged), WhileWritten(journal)};
}

}  // namespace

QStringList WorkFilePatterns() {
    const QString piece = kSetPiecePrefix + QStringLiteral("[0-9][0-9][0-9]");
    const QString safetyPart = kDataFileName + QStringLiteral(".old.part");
    const QString journal = QStringLiteral("-journal");
    return QStringList{kSetDataFileName,
                       kSetDataFileName + journal,
                       kSetArchiveName,
                       kSetControlName,
                       WhileWritten(kSetArchiveName),
                       WhileWritten(kSetControlName),
                       WhileWritten(piece),  // a piece of a set cut short (the pieces of a finished set stay)
                       Shape(QStringLiteral(".unpack-XXXXXX")),
                       safetyPart,
                       WhileWritten(safetyPart),
                       Shape(kYearEndWorkPattern),
                       Shape(kYearEndWorkPattern) + journal,
                       Shape(kFreshFilePattern),
                       Shape(kFreshFilePattern) + journal} +
           StagedPatterns();
}

bool IsWorkFileName(const QString& fileName) {
    for (const QString& pattern : WorkFilePatterns()) {
        const QRegularExpression work(QRegularExpression::wildcardToRegularExpression(pattern),
                                      QRegularExpression::CaseInsensitiveOption);
        if (work.match(fileName).hasMatch()) return true;
    }
    return false;
}

bool SnapshotDataFile(const QString& target, db::Failure* why) {
    if (!ModMurv::DbData.IsOpen()) {
        *why = {db::ErrorKind::Other, kNoBookOpen};
        return false;
    }
    if (ModMurv::DbData.SnapshotTo(target)) return true;
    *why = ModMurv::DbData.LastFailure();  // said and logged once by the caller
    return false;
}

bool ReplaceDataFile(const QString& newFile, QString* error, ReplaceFailure* kind) {
    const QString live = ModMurv::DataFilePath;
    const QString folder = QFileInfo(live).absolutePath();
    const QString staged = live + QStringLiteral(".new");
    const QString stagedJournal = staged + QStringLiteral("-journal");
    const QString safety = live + QStringLiteral(".old");
    ReplaceFailure ignoredKind = ReplaceFailure::None;
    if (!kind) kind = &ignoredKind;
    *kind = ReplaceFailure::None;
    auto fail = [&](ReplaceFailure what, const QString& why) {
        *kind = what;
        // Said and logged once by the caller, with the file it read.
        *error = why + QStringLiteral("\nthe data file was not replaced by ") + newFile;
        QString ignored;
        disk::RemoveFile(staged, &ignored);
        disk::RemoveFile(stagedJournal, &ignored);
        return false;
    };
    if (disk::SameFile(newFile, live))
        return fail(ReplaceFailure::NotDataFile, QStringLiteral("%1 is the data file in use").arg(newFile));

    // The new file, whole and checked beside the data file, before anything changes.
    QString why;
    bool unreadable = false;
    if (!disk::RemoveFile(staged, &why) || !disk::RemoveFile(stagedJournal, &why))
        return fail(ReplaceFailure::CannotWrite, why);
    if (!disk::CopyVerified(newFile, staged, &why, &unreadable))
        return fail(unreadable ? ReplaceFailure::CannotRead : ReplaceFailure::CannotWrite, why);
    // A commit cut short in newFile: its journal goes with the copy, and the check rolls the copy back.
    const QString journal = newFile + QStringLiteral("-journal");
    if (QFileInfo(journal).isFile() && !disk::CopyVerified(journal, stagedJournal, &why, &unreadable))
        return fail(unreadable ? ReplaceFailure::CannotRead : ReplaceFailure::CannotWrite, why);
    if (!db::CheckDatabaseFile(staged, SchemaStatements(DataFileKind::Data), &why))
        return fail(ReplaceFailure::NotDataFile, why);
    if (!disk::SyncFile(staged, &why)) return fail(ReplaceFailure::CannotWrite, why);

    // A data file refused at start-up (or missing) is not opened again, and
    // has no safety copy to keep.
    const bool wasOpen = ModMurv::DbData.IsOpen();
    const bool hadFile = QFileInfo::exists(live);
    ModMurv::DbData.Close();
    auto reopenOld = [&] {
        if (wasOpen && !ModMurv::DbData.Open(live))
            qCWarning(lcDataFile) << "the old data file could not be opened again:" << ModMurv::DbData.LastError();
    };
    // The safety copy is a second name of the old file; then the new file
    // takes the data file's name in one step.
    if (!disk::RemoveFile(safety, &why) || (hadFile && !disk::KeepSecondName(live, safety, &why)) ||
        !disk::SyncFolder(folder, &why) || !disk::RenameOver(staged, live, &why)) {
        reopenOld();
        return fail(ReplaceFailure::CannotWrite, why);
    }
    if (!disk::SyncFolder(folder, &why)) qCWarning(lcDataFile) << "the data folder was not synced:" << why;
    if (!ModMurv::DbData.Open(live)) {
        why = ModMurv::DbData.LastError();
        QString ignored;
        if (hadFile) disk::RenameOver(safety, live, &ignored);
        reopenOld();
        return fail(ReplaceFailure::CannotWrite, why);
    }
    ReloadSettings();
    qCInfo(lcDataFile) << "the data file was replaced by a copy of" << newFile << "; the old one is kept as" << safety;
    return true;
}

bool MakeFileAfresh(const QString& path, DataFileKind kind, QString* error,
                    const std::function<bool(db::Database& fresh)>& fill) {
    const QString folder = QFileInfo(path).absolutePath();
    // A name no file has, of a shape start-up removes when a kill leaves it.
    QString fresh;
    {
        QTemporaryFile probe(QDir(folder).filePath(kFreshFilePattern));
        errno = 0;
        if (!probe.open()) {
            *error = disk::FailureText(folder, errno != 0 ? errno : EACCES);
            return false;
        }
        fresh = probe.fileName();
    }
    const auto filled = [&] {
        db::Database d;
        if (d.Open(fresh) && fill(d)) return true;
        *error = d.LastError();
        return false;
    };
    if (!CreateDatabaseFile(fresh, kind, error) || (fill && !filled()) || !disk::SyncFile(fresh, error) ||
        !disk::RenameOver(fresh, path, error)) {
        QString ignored;
        disk::RemoveFile(fresh, &ignored);
        return false;
    }
    QString why;
    if (!disk::SyncFolder(folder, &why)) qCWarning(lcDataFile) << "the data folder was not synced:" << why;
    return true;
}

void RecoverDataFolder() {
    const QString live = ModMurv::DataFilePath;
    const QString folder = QFileInfo(live).absolutePath();
    const QString staged = live + QStringLiteral(".new");
    const QString safety = live + QStringLiteral(".old");
    QString why;
    if (!QFileInfo::exists(live)) {
        QString told;
        const QString name = QStringLiteral("「") + QDir::toNativeSeparators(live) + QStringLiteral("」");
        if (QFileInfo(staged).isFile() && db::CheckDatabaseFile(staged, SchemaStatements(DataFileKind::Data), &why) &&
            disk::RenameNoReplace(staged, live, &why)) {
            told = QStringLiteral("前回、データファイル") + name +
                   QStringLiteral("の置き換えが途中で止まっていました。置き換えを終え、読み込んだデータを使います。");
        } else if (QFileInfo(safety).isFile() && disk::KeepSecondName(safety, live, &why)) {
            told = QStringLiteral("前回、データファイル") + name +
                   QStringLiteral("の置き換えが途中で止まっていました。置き換える前のデータに戻しました。");
        }
        if (!told.isEmpty()) {
            disk::SyncFolder(folder, &why);
            qCWarning(lcDataFile) << "a replacement of the data file that was cut short was finished:" << told;
            MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), told);
        }
    }
    // Work files of operations that failed or were killed; the staged new
    // file only once the data file is under its name.
    QStringList patterns = WorkFilePatterns();
    if (!QFileInfo::exists(live))
        for (const QString& pattern : StagedPatterns()) patterns.removeAll(pattern);
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System)) {
        if (disk::RemoveFile(dir.filePath(entry), &why))
            qCInfo(lcDataFile) << "a work file left by an operation that did not finish was removed:" << entry;
        else qCWarning(lcDataFile) << "a leftover work file could not be removed:" << why;
    }
    // The restore's own folders, by their exact shape: a folder of the user's is never one.
    for (const QString& entry : dir.entryList({Shape(kRestoreWorkFolderPattern)},
                                              QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        if (QDir(dir.filePath(entry)).removeRecursively())
            qCInfo(lcDataFile) << "a work folder left by a restore that did not finish was removed:" << entry;
        else qCWarning(lcDataFile) << "a leftover work folder could not be removed:" << entry;
    }
}

}  // namespace core
