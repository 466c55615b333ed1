// The entry screen's heavy steps, over a temporary program folder opened
// through the main menu as the program does:
//  - opening the screen (its 5000 blank work rows and the name lists);
//  - loading 5000 stored lines into the work rows;
//  - registering 5000 complete rows, typed (added) and loaded (edited).
// 300 partners and 40 items, as a busy small business might have.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "entry/FrmInput.h"
#include "platform/ui/MessagePresenter.h"

namespace {

using entry::FrmInput;

// A program folder with a fresh data folder and the menu loaded.
class Program {
public:
    Program() {
        QString error;
        core::MakeDataFolder(QDir(dir_.path()).filePath(QStringLiteral("data")), nullptr, &error);
        core::SetProgramFolder(dir_.path());
        previous_ = ui::SetPresenter(&boxes_);  // the confirmation's default answer is Yes
        ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    }
    ~Program() {
        ui::Forms::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ModMurv::ResetState();
        ui::SetPresenter(previous_);
        core::SetProgramFolder(QString());
    }

    FrmInput& Screen() {
        auto& screen = ui::Forms::Get<FrmInput>(QStringLiteral("FrmInput"));
        screen.Show();
        return screen;
    }

    // n stored lines over the partners and items.
    void AddLines(int n) {
        db::Database& d = ModMurv::DbData;
        d.BeginTrans();
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 取引明細 where rowid = 0"));
        for (int i = 0; i < n; ++i) {
            rs.AddNew();
            rs.SetValue(QStringLiteral("行番号"), i / 365 + 1);
            rs.SetValue(QStringLiteral("日付"), QDate(2026, 1, 1).addDays(i % 365));
            rs.SetValue(QStringLiteral("曜日"), QStringLiteral("月"));
            rs.SetValue(QStringLiteral("取引先名"), QStringLiteral("取引先%1").arg(i % 300));
            rs.SetValue(QStringLiteral("科目"), QStringLiteral("科目%1").arg(i % 40));
            rs.SetValue(QStringLiteral("金額"), 100 + i);
            rs.SetValue(QStringLiteral("税額"), (100 + i) / 21);
            rs.Update();
        }
        d.CommitTrans();
    }

    // Every work row complete, as if typed.
    static void FillWorkRows() {
        ModMurv::DbWork.ExecuteNative(QStringLiteral(
            "UPDATE w取引明細 SET 日付 = date('2026-01-01', '+' || (lno % 365) || ' days'), "
            "取引先名 = '取引先' || (lno % 300), 科目 = '科目' || (lno % 40), 金額 = 100 + lno, "
            "税額 = (100 + lno) / 21, 曜日 = '月'"));
    }

private:
    QTemporaryDir dir_;
    ui::ScriptedPresenter boxes_;
    ui::MessagePresenter* previous_ = nullptr;
};

void BM_OpenScreen(benchmark::State& state) {
    Program program;
    program.AddLines(10);  // a few names in the lists
    for (auto _ : state) {
        FrmInput& screen = program.Screen();
        state.PauseTiming();
        screen.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenScreen)->Unit(benchmark::kMillisecond);

void BM_Load5000Lines(benchmark::State& state) {
    Program program;
    program.AddLines(5000);
    FrmInput& screen = program.Screen();
    for (auto _ : state) {
        screen.Read経費();
        if (screen.num入力件数.Value().toInt() != 5000) state.SkipWithError("not every line was loaded");
    }
}
BENCHMARK(BM_Load5000Lines)->Unit(benchmark::kMillisecond);

void BM_Register5000TypedRows(benchmark::State& state) {
    Program program;
    FrmInput& screen = program.Screen();
    for (auto _ : state) {
        state.PauseTiming();
        ModMurv::DbData.Execute(QStringLiteral("delete * from 取引明細"));
        Program::FillWorkRows();
        state.ResumeTiming();
        if (!screen.Entry経費明細()) state.SkipWithError("registration failed");
    }
}
BENCHMARK(BM_Register5000TypedRows)->Unit(benchmark::kMillisecond);

void BM_Register5000LoadedRows(benchmark::State& state) {
    Program program;
    program.AddLines(5000);
    FrmInput& screen = program.Screen();
    for (auto _ : state) {
        state.PauseTiming();
        screen.Read経費();
        state.ResumeTiming();
        if (!screen.Entry経費明細()) state.SkipWithError("registration failed");
    }
}
BENCHMARK(BM_Register5000LoadedRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
