#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryFile>

#include "core/DataFile.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupBoxes.h"
#include "platform/disk/FileOps.h"
#include "platform/ui/FileDialogs.h"

Q_DECLARE_LOGGING_CATEGORY(lcBackup)

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

// A name for a new file beside path that no file has.
QString FreshNameBeside(const QString& path) {
    QTemporaryFile probe(QFileInfo(path).absolutePath() + QStringLiteral("/.murv-copy-XXXXXX.mdb"));
    if (!probe.open()) return QString();
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
        qCWarning(lcBackup) << "a copy onto the data file itself was refused:" << target;
        TellFailure(kCopyTitle, QStringLiteral("使用中のデータファイルそのものにはコピーできません。別のファイルを指定してください。"),
                    target);
        return;
    }
    if (QFileInfo(target).isDir()) {
        qCWarning(lcBackup) << "a copy onto a folder was refused:" << target;
        TellFailure(kCopyTitle, QStringLiteral("フォルダにはコピーできません。ファイル名を指定してください。"), target);
        return;
    }
    if (QFileInfo::exists(target) && !AskReplace(target)) return;

    const QString temporary = FreshNameBeside(target);
    QString error = QStringLiteral("%1: the folder cannot be written").arg(QFileInfo(target).absolutePath());
    if (temporary.isEmpty() || !core::SnapshotDataFile(temporary, &error) ||
        !disk::RenameOver(temporary, target, &error)) {
        if (!temporary.isEmpty()) disk::RemoveFile(temporary, &error);
        qCWarning(lcBackup) << "the copy of the data file failed:" << error;
        TellFailure(kCopyTitle, QStringLiteral("データファイルをコピーできませんでした。"), error);
        return;
    }
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("コピー完了"), target + QStringLiteral(" に"));
}

void ReadDataFileFromHdd(QWidget* owner) {
    ui::FileDialogInfo info = DialogInfo(QStringLiteral("ファイルの読込..."));
    if (ui::ShowOpenDialog(owner, info) == 0) return;
    const QString source = info.FileName;
    if (disk::SameFile(source, ModMurv::DataFilePath)) {
        qCWarning(lcBackup) << "reading the data file over itself was refused:" << source;
        TellFailure(QStringLiteral("読込のエラー"),
                    QStringLiteral("使用中のデータファイルそのものは読み込めません。別のファイルを指定してください。"), source);
        return;
    }
    if (!AskReplace(ModMurv::DataFilePath)) return;
    QString error;
    if (!core::ReplaceDataFile(source, &error)) {
        TellFailure(QStringLiteral("読込のエラー"),
                    QStringLiteral("このファイルはデータファイルとして使えません。現在のデータはそのままです。"), error);
        return;
    }
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("読込み完了"), ModMurv::DataFilePath + QStringLiteral(" に"));
}

}  // namespace maintenance
