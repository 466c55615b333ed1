// The open and save dialogs over the dialog record: the filter list, the
// folder shown first, what each dialog asks of the file and what the record
// holds afterwards.

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "UiTestSupport.h"
#include "platform/ui/AppLook.h"
#include "platform/ui/FileDialogs.h"

namespace {

using Kind = ui::FileDialogRequest::Kind;

TEST(FileDialogFilter, PiecesAlternateDescriptionAndPattern) {
    EXPECT_EQ(ui::NameFiltersFromFilter(QStringLiteral("MDB ファイル(*.mdb)|*.mdb|")),
              QStringList{QStringLiteral("MDB ファイル(*.mdb) (*.mdb)")});
    EXPECT_EQ(ui::NameFiltersFromFilter(QStringLiteral("MDB ファイル(*.mdb)|mvkdata.mdb|")),
              QStringList{QStringLiteral("MDB ファイル(*.mdb) (mvkdata.mdb)")})
        << "a single file name serves as a pattern";
    EXPECT_EQ(ui::NameFiltersFromFilter("Text|*.txt;*.csv|All|*.*|"), (QStringList{"Text (*.txt *.csv)", "All (*.*)"}));
    EXPECT_EQ(ui::NameFiltersFromFilter("Text|*.txt|All|*.*"), (QStringList{"Text (*.txt)", "All (*.*)"}))
        << "without the final bar the last piece is still taken";
}

TEST(FileDialogFolder, MissingFolderFallsBackToHome) {
    EXPECT_EQ(ui::StartFolder("c:\\"), QDir::homePath());
    QTemporaryDir dir;
    EXPECT_EQ(ui::StartFolder(dir.path()), QFileInfo(dir.path()).absoluteFilePath());
}

class FileDialogsTest : public ui_test::UiTest {
protected:
    ui::FileDialogInfo DataPathDialog() {
        ui::FileDialogInfo info;
        info.Filter = QStringLiteral("MDB ファイル(*.mdb)|*.mdb|All|*.*|");
        info.FilterIndex = 2;
        info.Title = QStringLiteral("ファイルの読込...");
        info.DefaultName = QStringLiteral("MurvData2K.mdb");
        info.InitialDir = QStringLiteral("c:\\");
        return info;
    }

    ui::ScriptedFileDialogPresenter scripted;
};

TEST_F(FileDialogsTest, OpenDialogNeedsAnExistingFileAndStartsWithoutAName) {
    ui::ScopedFileDialogPresenter use(scripted);
    scripted.QueuePath("/backup/2006/MurvData2K.mdb");
    ui::FileDialogInfo info = DataPathDialog();
    EXPECT_NE(ui::ShowOpenDialog(nullptr, info), 0);
    EXPECT_EQ(info.FileName, "/backup/2006/MurvData2K.mdb");
    EXPECT_EQ(info.FileTitle, "MurvData2K.mdb");

    ASSERT_EQ(scripted.Requests().size(), 1);
    const ui::FileDialogRequest& asked = scripted.Requests().first();
    EXPECT_EQ(asked.kind, Kind::Open);
    EXPECT_TRUE(asked.fileMustExist);
    EXPECT_EQ(asked.initialName, "") << "the open dialog ignores DefaultName";
    EXPECT_EQ(asked.title, QStringLiteral("ファイルの読込..."));
    EXPECT_EQ(asked.selectedFilter, 1) << "FilterIndex counts from 1";
    EXPECT_EQ(asked.directory, QDir::homePath());
}

TEST_F(FileDialogsTest, SaveDialogProposesTheDefaultNameAndAsksNoOverwriteQuestion) {
    ui::ScopedFileDialogPresenter use(scripted);
    scripted.QueuePath("/media/usb/MurvData2K.mdb");
    ui::FileDialogInfo info = DataPathDialog();
    EXPECT_NE(ui::ShowSaveDialog(nullptr, info), 0);
    EXPECT_EQ(info.FileTitle, "MurvData2K.mdb");
    const ui::FileDialogRequest& asked = scripted.Requests().first();
    EXPECT_EQ(asked.kind, Kind::Save);
    EXPECT_EQ(asked.initialName, "MurvData2K.mdb");
    EXPECT_FALSE(asked.confirmOverwrite);
    EXPECT_FALSE(asked.fileMustExist);
}

TEST_F(FileDialogsTest, CancelLeavesTheNamesTheDialogStartedWith) {
    ui::ScopedFileDialogPresenter use(scripted);
    scripted.QueueCancel();
    scripted.QueueCancel();
    ui::FileDialogInfo open = DataPathDialog();
    open.FileName = "left over";
    EXPECT_EQ(ui::ShowOpenDialog(nullptr, open), 0);
    EXPECT_EQ(open.FileName, "");
    EXPECT_EQ(open.FileTitle, "");

    ui::FileDialogInfo save = DataPathDialog();
    EXPECT_EQ(ui::ShowSaveDialog(nullptr, save), 0);
    EXPECT_EQ(save.FileName, "MurvData2K.mdb");
    EXPECT_EQ(save.FileTitle, "MurvData2K.mdb");
}

// The real presenter, answered by a timer as a person would answer it.
TEST_F(FileDialogsTest, QtPresenterShowsTheRequestAndReturnsTheChosenFile) {
    QTemporaryDir dir;
    QFile existing(dir.filePath("MurvData2K.mdb"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    ui::FileDialogRequest request;
    request.kind = Kind::Open;
    request.title = QStringLiteral("データファイルを指定する");
    request.nameFilters = ui::NameFiltersFromFilter(QStringLiteral("MDB ファイル(*.mdb)|*.mdb|"));
    request.directory = dir.path();
    request.fileMustExist = true;

    struct Seen {
        bool found = false;
        bool native = true;
        QString title;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QString directory;
    } seen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = {true, !dialog->testOption(QFileDialog::DontUseNativeDialog), dialog->windowTitle(), dialog->fileMode(),
                dialog->directory().absolutePath()};
        dialog->selectFile(dir.filePath("MurvData2K.mdb"));
        static_cast<QDialog*>(dialog)->accept();  // as the Open button does
    });
    const std::optional<QString> chosen = ui::QtFileDialogPresenter().Present(request);
    ASSERT_TRUE(seen.found);
    EXPECT_FALSE(seen.native);
    EXPECT_EQ(seen.title, request.title);
    EXPECT_EQ(seen.mode, QFileDialog::ExistingFile);
    EXPECT_EQ(seen.directory, QDir(dir.path()).absolutePath());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QFileInfo(*chosen).fileName(), "MurvData2K.mdb");

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    EXPECT_FALSE(ui::QtFileDialogPresenter().Present(request).has_value());
}

// Qt's own texts (context menus, the file dialogs' standard buttons) are Japanese once loaded.
TEST_F(FileDialogsTest, QtsOwnTextsAreJapaneseWhateverTheLocale) {
    std::unique_ptr<QTranslator> japanese(ui::LoadJapaneseTranslations());
    ASSERT_TRUE(japanese);
    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << action->text();
    QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    for (const QAbstractButton* button : box.buttons()) texts << button->text();
    for (const char* text : {"コピー(&C)", "貼り付け(&P)", "保存", "キャンセル"})
        EXPECT_TRUE(texts.join(u'|').contains(QString::fromUtf8(text))) << texts.join(u'|').toStdString();
}

}  // namespace
