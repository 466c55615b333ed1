#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>

#include "core/DataFile.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupBoxes.h"
#include "platform/disk/FileOps.h"
#include "platform/ui/FileDialogs.h"

Q_LOGGING_CATEGORY(lcCopies, "murv.copies")

namespace maintenance {

namespace {

const QString kFilter = QStringLiteral("MDB ファイル(*.mdb)|*.mdb|");
const QString kCopyTitle = QStringLiteral("コピーのエラー");

ui::FileDialogInfo DialogInfo(const QString& title) {
    ui::FileDialogInfo info;
    info.Filter = kFilter;
    info.FilterIndex = 1;
    info.Title = title;
    info.InitialDir = QDir::homePath();
    return info;
}

// The copy is made under a hidden name of this pattern beside the file the
// user named (QTemporaryFile's six letters or digits), with SQLite's journal
// beside it while it is written.
const QString kCopyPrefix = QStringLiteral(".murv-copy-");
const QString kCopySuffix = QStringLiteral(".mdb");

// Removes the copies (and their journals) that a save into folder left when
// it was cut short; every other file stays.
void RemoveStaleCopies(const QString& folder) {
    static const QRegularExpression own(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(kCopyPrefix) + QStringLiteral("[A-Za-z0-9]{6}") +
        QRegularExpression::escape(kCopySuffix) + QStringLiteral("(-journal|-wal|-shm)?")));
    const QDir dir(folder);
    for (const QString& entry : dir.entryList({kCopyPrefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (!own.match(entry).hasMatch()) continue;
        QString error;
        if (disk::RemoveFile(dir.filePath(entry), &error))
            qCInfo(lcCopies) << "a copy left by a save that did not finish was removed:" << dir.filePath(entry);
        else qCWarning(lcCopies) << "a copy left by a save that did not finish could not be removed:" << error;
    }
}

// A name for a new file beside path that no file has; empty (error says
// why) when the folder cannot take one.
QString FreshNameBeside(const QString& path, QString* error) {
    QTemporaryFile probe(QFileInfo(path).absolutePath() + u'/' + kCopyPrefix + QStringLiteral("XXXXXX") + kCopySuffix);
    errno = 0;
    if (!probe.open()) {
        *error = disk::FailureText(QFileInfo(path).absolutePath(), errno != 0 ? errno : EACCES);
        return QString();
    }
    const QString name = probe.fileName();
    probe.close();
    probe.remove();
    return name;
}

}  // namespace

void SaveDataFileToHdd(QWidget* owner) {
    ui::FileDialogInfo info = DialogInfo(QStringLiteral("ファイルの保存..."));
    info.DefaultName = QStringLiteral("Murvdata.mdb");
    if (ui::ShowSaveDialog(owner, info) == 0) return;
    const QString target = info.FileName;
    if (disk::SameFile(target, ModMurv::DataFilePath)) {
        TellFailure(
            kCopyTitle,
            QStringLiteral("使用中のデータファイルそのものにはコピーできません。別のファイルを指定してください。"),
            target);
        return;
    }
    // Start-up would take such a copy for an operation's work file and remove it.
    if (disk::SameFile(QFileInfo(target).absolutePath(), ModMurv::DataFolder) &&
        core::IsWorkFileName(QFileInfo(target).fileName())) {
        TellFailure(kCopyTitle,
                    QStringLiteral("この名前はデータフォルダではプログラムの作業ファイルに使うため、コピーできません。"
                                   "別の名前を指定してください。"),
                    target);
        return;
    }
    if (QFileInfo(target).isDir()) {
        TellFailure(kCopyTitle, QStringLiteral("フォルダにはコピーできません。ファイル名を指定してください。"), target);
        return;
    }
    if (QFileInfo::exists(target) && !AskReplace(target)) return;

    QString error;
    db::Failure why;
    const QString folder = QFileInfo(target).absolutePath();
    RemoveStaleCopies(folder);
    // The copy is whole on the disk before it takes its name, and the name is on the disk before it is said done.
    const QString temporary = FreshNameBeside(target, &error);
    if (temporary.isEmpty() || !core::SnapshotDataFile(temporary, &why) || !disk::SyncFile(temporary, &error) ||
        !disk::RenameOver(temporary, target, &error) || !disk::SyncFolder(folder, &error)) {
        QString ignored;
        if (!temporary.isEmpty()) disk::RemoveFile(temporary, &ignored);
        // The copy's own failure is the database's; the others are the file system's.
        const QString notCopied = QStringLiteral("データファイルをコピーできませんでした。");
        if (why) TellFailure(kCopyTitle, notCopied, why);
        else TellFailure(kCopyTitle, notCopied, error);
        return;
    }
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("コピー完了"), target + QStringLiteral(" に"));
}

bool ReadDataFileFromHdd(QWidget* owner) {
    ui::FileDialogInfo info = DialogInfo(QStringLiteral("ファイルの読込..."));
    if (ui::ShowOpenDialog(owner, info) == 0) return false;
    const QString source = info.FileName;
    if (disk::SameFile(source, ModMurv::DataFilePath)) {
        TellFailure(QStringLiteral("読込のエラー"),
                    QStringLiteral("使用中のデータファイルそのものは読み込めません。別のファイルを指定してください。"),
                    source);
        return false;
    }
    if (!AskReplace(ModMurv::DataFilePath)) return false;
    QString error;
    core::ReplaceFailure why = core::ReplaceFailure::None;
    if (!core::ReplaceDataFile(source, &error, &why)) {
        TellFailure(QStringLiteral("読込のエラー"), ReplaceFailureText(why, QStringLiteral("このファイル")), error);
        return false;
    }
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("読込み完了"),
                  ModMurv::DataFilePath + QStringLiteral(" に"));
    return true;
}

}  // namespace maintenance
