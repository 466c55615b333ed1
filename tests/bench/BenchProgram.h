#pragma once
// What the screen benchmarks share: a temporary program folder with a fresh
// data folder and the main menu loaded, message boxes answered by script
// (each question's preselected answer unless one is queued), and the main
// that runs the benchmarks offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "platform/ui/MessagePresenter.h"

namespace bench {

class Program {
public:
    Program() {
        QString error;
        core::MakeDataFolder(QDir(dir_.path()).filePath(QStringLiteral("data")), nullptr, &error);
        core::SetProgramFolder(dir_.path());
        previous_ = ui::SetPresenter(&boxes_);
        ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    }
    ~Program() {
        ui::Forms::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ModMurv::ResetState();
        ui::SetPresenter(previous_);
        core::SetProgramFolder(QString());
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The screen's shared instance, shown (loaded on its first showing).
    template <class T>
    static T& Show(const QString& name) {
        auto& screen = ui::Forms::Get<T>(name);
        screen.Show();
        return screen;
    }

    ui::ScriptedPresenter boxes_;

private:
    QTemporaryDir dir_;
    ui::MessagePresenter* previous_ = nullptr;
};

inline int RunScreenBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
