#include "platform/ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace ui {
namespace {

QtFileDialogPresenter& QtPresenter() {
    static QtFileDialogPresenter presenter;
    return presenter;
}

FileDialogPresenter*& Installed() {
    static FileDialogPresenter* presenter = nullptr;
    return presenter;
}

FileDialogRequest MakeRequest(FileDialogRequest::Kind kind, QWidget* owner, const FileDialogInfo& info) {
    FileDialogRequest request;
    request.kind = kind;
    request.owner = owner;
    request.title = info.Title;
    request.nameFilters = NameFiltersFromFilter(info.Filter);
    if (request.nameFilters.isEmpty()) request.selectedFilter = -1;
    else if (info.FilterIndex >= 1 && info.FilterIndex <= request.nameFilters.size())
        request.selectedFilter = info.FilterIndex - 1;
    else request.selectedFilter = 0;
    request.directory = StartFolder(info.InitialDir);
    request.initialName = kind == FileDialogRequest::Kind::Save ? info.DefaultName : QString();
    request.fileMustExist = kind == FileDialogRequest::Kind::Open;
    request.confirmOverwrite = false;
    return request;
}

int Run(FileDialogRequest::Kind kind, QWidget* owner, FileDialogInfo& info) {
    const FileDialogRequest request = MakeRequest(kind, owner, info);
    const std::optional<QString> chosen = CurrentFileDialogPresenter().Present(request);
    if (chosen && !chosen->isEmpty()) {
        info.FileName = QDir::toNativeSeparators(*chosen);
        info.FileTitle = QFileInfo(*chosen).fileName();
        return 1;
    }
    // The name buffers keep what they started with.
    info.FileName = request.initialName;
    info.FileTitle = request.initialName;
    return 0;
}

}  // namespace

int ShowOpenDialog(QWidget* owner, FileDialogInfo& info) { return Run(FileDialogRequest::Kind::Open, owner, info); }

int ShowSaveDialog(QWidget* owner, FileDialogInfo& info) { return Run(FileDialogRequest::Kind::Save, owner, info); }

QStringList NameFiltersFromFilter(const QString& filter) {
    QStringList pieces = filter.split(QLatin1Char('|'));
    if (filter.endsWith(QLatin1Char('|'))) pieces.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        const QString description = pieces[i].trimmed();
        QStringList patterns = pieces[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) p = p.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty()) continue;
        filters.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

QString StartFolder(const QString& initialDir) {
    if (!initialDir.isEmpty()) {
        const QFileInfo folder(initialDir);
        if (folder.isDir()) return folder.absoluteFilePath();
    }
    return QDir::homePath();
}

FileDialogPresenter& CurrentFileDialogPresenter() {
    return Installed() ? *Installed() : static_cast<FileDialogPresenter&>(QtPresenter());
}

FileDialogPresenter* SetFileDialogPresenter(FileDialogPresenter* presenter) {
    return std::exchange(Installed(), presenter);
}

std::optional<QString> QtFileDialogPresenter::Present(const FileDialogRequest& request) {
    QFileDialog dialog(request.owner, request.title, request.directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (request.kind == FileDialogRequest::Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    }
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        if (request.selectedFilter >= 0) dialog.selectNameFilter(request.nameFilters.at(request.selectedFilter));
    }
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

std::optional<QString> ScriptedFileDialogPresenter::Present(const FileDialogRequest& request) {
    requests_.append(request);
    if (answers_.empty()) return std::nullopt;
    const bool chosen = answers_.front().has_value();
    const QString path = chosen ? *answers_.front() : QString();
    answers_.pop_front();
    if (!chosen) return std::nullopt;
    return path;
}

}  // namespace ui
