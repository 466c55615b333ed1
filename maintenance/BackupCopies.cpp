#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryFile>
#include <cerrno>

#include "core/DataFile.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupBoxes.h"
#include "platform/disk/FileOps.h"
#include "platform/ui/FileDialogs.h"

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

// A name for a new file beside path that no file has; empty (error says
// why) when the folder cannot take one.
QString FreshNameBeside(const QString& path, QString* error) {
    QTemporaryFile probe(QFileInfo(path).absolutePath() + QStringLiteral("/.murv-copy-XXXXXX.mdb"));
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
    const QString temporary = FreshNameBeside(target, &error);
    if (temporary.isEmpty() || !core::SnapshotDataFile(temporary, &why) ||
        !disk::RenameOver(temporary, target, &error)) {
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
