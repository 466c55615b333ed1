// The full-disk sweep's driver: runs one maintenance operation on a data
// folder and a disk folder, answering every question (Yes, OK; Cancel once
// a disk has been asked for too often), and prints each message shown.
//   full_disk_sweep make     <data folder> <lines>
//   full_disk_sweep backup   <data folder> <disk folder>
//   full_disk_sweep restore  <data folder> <disk folder>
//   full_disk_sweep readcopy <data folder> <file>
//   full_disk_sweep savecopy <data folder> <file>
//   full_disk_sweep yearend  <data folder>
//   full_disk_sweep register <data folder>     (5000 typed rows of the entry screen registered)
//   full_disk_sweep start    <data folder>     (the program's start-up: prints what it says, then START
//                                               and the lines of the book it opened, -1 when none)
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "core/DataFile.h"
#include "core/DataFiles.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "entry/FrmInput.h"
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
    // The screens' operations start as the program does, through the menu
    // (whose data folder is the program folder's "data").
    if (op == u"yearend" || op == u"register") ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    if (op == u"yearend") {
        auto& f = ui::Forms::Get<maintenance::FrmHosyu>(QStringLiteral("FrmHosyu"));
        f.Show();
        f.dt今期開始.SetDate(QDate(2026, 1, 1));
        f.dt今期終了.SetDate(QDate(2026, 12, 31));
        f.dt次期開始.SetDate(QDate(2027, 1, 1));
        f.dt次期終了.SetDate(QDate(2027, 12, 31));
        f.txt今期タイトル.SetText(QStringLiteral("2026年"));
        f.txt次期タイトル.SetText(QStringLiteral("2027年"));
        f.cmd更新.click();
    } else if (op == u"register") {
        auto& f = ui::Forms::Get<entry::FrmInput>(QStringLiteral("FrmInput"));
        f.Show();
        if (!ModMurv::DbWork.ExecuteNative(
                QStringLiteral("UPDATE w取引明細 SET 日付 = date('2026-01-01', '+' || (lno % 365) || ' days'), "
                               "取引先名 = '取引先' || (lno % 50), 科目 = '科目' || (lno % 20), "
                               "金額 = 100 + lno, 税額 = (100 + lno) / 11, 曜日 = '月'")))
            return 1;
        (void)f.Entry経費明細();
    } else if (op == u"start") {
        // The start-up's own steps on this folder, its messages said.
        core::RecoverDataFolder();
        const core::DataFilesOutcome opened = core::OpenDataFiles();
        db::Recordset rs = ModMurv::DbData.OpenRecordset(QStringLiteral("select count(*) from 取引明細"));
        std::printf("START\t%lld\n",
                    opened.dataOpen && opened.dataWritable && rs.IsOpen() ? rs.Value(0).toLongLong() : -1LL);
    }
    if (op == u"yearend" || op == u"register" || op == u"start") {
        ui::Forms::UnloadAll();
        return 0;
    }
    core::OpenDataFiles(false);
    if (op == u"backup") maintenance::FDDBuckUp(other, nullptr);
    else if (op == u"restore") maintenance::RestoreMV(other, nullptr);
    else if (op == u"readcopy") dialogs.QueuePath(other), maintenance::ReadDataFileFromHdd(nullptr);
    else if (op == u"savecopy") dialogs.QueuePath(other), maintenance::SaveDataFileToHdd(nullptr);
    else return 2;
    ModMurv::DbData.Close();
    ModMurv::DbWork.Close();
    return 0;
}
