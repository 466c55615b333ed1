#pragma once
// The open and save file dialogs over one dialog record. The dialog itself
// is shown by a presenter: the running program's shows a QFileDialog (Qt's
// own, so it looks the same everywhere); tests install a scripted one that
// records the request and answers with a path or a cancel.

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <optional>

namespace ui {

// One dialog call; the caller owns it and reads the two out fields after.
struct FileDialogInfo {
    QString Filter;          // in: "description|pattern|" pieces, e.g. "MDB ファイル(*.mdb)|*.mdb|"
    qint32 FilterIndex = 1;  // in: the filter shown first, from 1
    QString Title;           // in: the dialog's title
    QString DefaultName;     // in: the name the save dialog proposes (the open dialog ignores it)
    QString FileName;        // out: the chosen path
    QString FileTitle;       // out: the chosen file's name without its folder
    QString InitialDir;      // in: the folder shown first
};

// Shows the open dialog: the chosen file must exist, the name starts empty.
// Nonzero when the user chose a file. After a cancel FileName and FileTitle
// are empty.
int ShowOpenDialog(QWidget* owner, FileDialogInfo& info);

// Shows the save dialog: the name starts as DefaultName and an existing file
// is taken without asking. Nonzero when the user chose a file. After a
// cancel FileName and FileTitle hold DefaultName.
int ShowSaveDialog(QWidget* owner, FileDialogInfo& info);

// What a presenter is asked to show.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QWidget* owner = nullptr;
    QString title;
    QStringList nameFilters;  // "description (patterns)", in order
    int selectedFilter = 0;   // index into nameFilters, or -1 when there is none
    QString directory;        // an existing folder
    QString initialName;      // empty for the open dialog
    bool fileMustExist = false;
    bool confirmOverwrite = false;
};

// The filter text as Qt name filters: pieces alternate a description and its
// patterns (separated by ";"); a text without a final "|" still gives its
// last piece, and a description without a pattern is dropped.
QStringList NameFiltersFromFilter(const QString& filter);
// The folder a dialog starts in: InitialDir when it is an existing folder,
// otherwise the home folder.
QString StartFolder(const QString& initialDir);

class FileDialogPresenter {
public:
    virtual ~FileDialogPresenter() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> Present(const FileDialogRequest& request) = 0;
};

// The presenter in use; the QFileDialog one unless another was installed.
FileDialogPresenter& CurrentFileDialogPresenter();
// Installs a presenter (nullptr: back to the QFileDialog one) and returns the
// one it replaces. The caller keeps ownership.
FileDialogPresenter* SetFileDialogPresenter(FileDialogPresenter* presenter);

class ScopedFileDialogPresenter {
public:
    explicit ScopedFileDialogPresenter(FileDialogPresenter& presenter)
        : previous_(SetFileDialogPresenter(&presenter)) {}
    ~ScopedFileDialogPresenter() { SetFileDialogPresenter(previous_); }
    ScopedFileDialogPresenter(const ScopedFileDialogPresenter&) = delete;
    ScopedFileDialogPresenter& operator=(const ScopedFileDialogPresenter&) = delete;

private:
    FileDialogPresenter* previous_;
};

// A non-native QFileDialog, modal over the owner.
class QtFileDialogPresenter : public FileDialogPresenter {
public:
    std::optional<QString> Present(const FileDialogRequest& request) override;
};

// For tests: records every request and answers from a queue; with the queue
// empty it answers cancel.
class ScriptedFileDialogPresenter : public FileDialogPresenter {
public:
    std::optional<QString> Present(const FileDialogRequest& request) override;

    void QueuePath(const QString& path) { answers_.push_back(path); }
    void QueueCancel() { answers_.push_back(std::nullopt); }
    const QList<FileDialogRequest>& Requests() const { return requests_; }

private:
    std::deque<std::optional<QString>> answers_;
    QList<FileDialogRequest> requests_;
};

}  // namespace ui
