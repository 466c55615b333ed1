// The full-disk sweep's driver: runs one maintenance operation on a data
// folder and a disk folder, answering every question (Yes, OK; Cancel once
// a disk has been asked for too often), and prints each message shown.
//   full_disk_sweep make     <data folder> <lines>
//   full_disk_sweep backup   <data folder> <disk folder>
//   full_disk_sweep restore  <data folder> <disk folder>
//   full_disk_sweep readcopy <data folder> <file>
//   full_disk_sweep savecopy <data folder> <file>
//   full_disk_sweep yearend  <data folder>
//   full_disk_sweep start    <data folder>     (prints START and the lines of the book the next start opens)
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "core/DataFile.h"
#include "core/DataFiles.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "maintenance/Backup.h"
#include "maintenance/FrmHosyu.h"
#include "platform/disk/Drives.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/MessagePresenter.h"
#include "tests/bench/ExpenseLines.h"

namespace {

class Answers : public ui::ScriptedPresenter {
public:
    ui::Answer Present(const ui::MessageBoxContent& box) override {
        std::printf("MSG\t%s\n", QString(box.text).replace(u'\n', u' ').replace(u'\r', u' ').toUtf8().constData());
        if (++shown_ > 12) return ui::Answer::Cancel;
        return box.buttons == ui::MessageButtons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
    }

private:
    int shown_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) return 2;
    const QString op = args[1], data = QDir(args[2]).absolutePath(), other = args.value(3);
    Answers answers;
    ui::ScopedPresenter scoped{answers};
    if (op == u"make") {
        QString error;
        if (!core::MakeDataFolder(data, nullptr, &error)) return 1;
        db::Database d;
        return d.Open(QDir(data).filePath(core::kDataFileName)) && test::FillExpenseLines(d, other.toInt()) ? 0 : 1;
    }
    core::SetProgramFolder(QFileInfo(data).absolutePath());
    ModMurv::DataFolder = data + u'/';
    ModMurv::DataFilePath = ModMurv::DataFolder + core::kDataFileName;
    ModMurv::WorkFilePath = ModMurv::DataFolder + core::kWorkFileName;
    ModMurv::OrgDataFilePath = ModMurv::DataFolder + core::kTemplateFileName;
    ui::ScriptedFileDialogPresenter dialogs;
    ui::SetFileDialogPresenter(&dialogs);
    disk::SetProtectedFolders({data});
    if (op == u"yearend") {
        auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
        menu.Show();
        auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
        f.Show();
        f.dt今期開始.SetDate(QDate(2026, 1, 1));
        f.dt今期終了.SetDate(QDate(2026, 12, 31));
        f.dt次期開始.SetDate(QDate(2027, 1, 1));
        f.dt次期終了.SetDate(QDate(2027, 12, 31));
        f.txt今期タイトル.SetText(QStringLiteral("2026年"));
        f.txt次期タイトル.SetText(QStringLiteral("2027年"));
        f.cmd更新.click();
        ui::Forms::UnloadAll();
        return 0;
    }
    // start: what the next start finds (the book's lines, or -1 when no whole book opens).
    if (op == u"start") core::RecoverDataFolder();
    const core::DataFilesOutcome opened = core::OpenDataFiles(false);
    if (op == u"start") {
        db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select count(*) from 取引明細"));
        std::printf("START\t%lld\n",
                    opened.dataOpen && opened.dataWritable && rs.IsOpen() ? rs.Value(0).toLongLong() : -1LL);
        return 0;
    }
    if (op == u"backup") maintenance::FDDBuckUp(other, nullptr);
    else if (op == u"restore") maintenance::RestoreMV(other, nullptr);
    else if (op == u"readcopy") dialogs.QueuePath(other), maintenance::ReadDataFileFromHdd(nullptr);
    else if (op == u"savecopy") dialogs.QueuePath(other), maintenance::SaveDataFileToHdd(nullptr);
    else return 2;
    ModMurv::DbData.Close();
    ModMurv::DbWork.Close();
    return 0;
}
