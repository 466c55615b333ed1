// Start-up of the program over a book of 50,000 and 225,000 expense lines:
// the menu's load with every check of the data folder (the page check of
// the data file among them) and the company settings.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessagePresenter.h"
#include "tests/bench/SmokeRun.h"
#include "tests/support/BookFiles.h"

namespace {

void BM_StartUpWithPageCheck(benchmark::State& state) {
    QTemporaryDir folder;
    const QString data = QDir(folder.path()).filePath(QStringLiteral("data"));
    QString error;
    if (!core::MakeDataFolder(data, nullptr, &error) ||
        !test::AddBookLines(QDir(data).filePath(core::kDataFileName), bench::BookLines(int(state.range(0))))) {
        state.SkipWithError("the book could not be made");
        return;
    }
    core::SetProgramFolder(folder.path());
    ui::ScriptedPresenter boxes;
    ui::ScopedPresenter presenter(boxes);
    for (auto _ : state) {
        auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
        menu.Show();
        benchmark::DoNotOptimize(ModMurv::DbData.IsOpen());
        state.PauseTiming();
        ui::Forms::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ModMurv::ResetState();
        state.ResumeTiming();
    }
    if (!boxes.Shown().isEmpty()) state.SkipWithError("the start-up said something");
    core::SetProgramFolder(QString());
}
BENCHMARK(BM_StartUpWithPageCheck)->Arg(50000)->Arg(225000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
