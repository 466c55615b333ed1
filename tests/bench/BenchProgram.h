#pragma once
// What the screen benchmarks share: a temporary program folder with a fresh
// data folder (readied by the benchmark if it needs its own data) and the main
// menu loaded, message boxes answered by script (each question's preselected
// answer unless one is queued), and the main that runs the benchmarks
// offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "platform/ui/MessagePresenter.h"
#include "tests/bench/BenchMain.h"

namespace bench {

class Program {
public:
    // Readies the fresh data folder before the menu opens it; false when the
    // data could not be made.
    using Prepare = std::function<bool(const QString& dataFolder)>;

    explicit Program(const Prepare& prepare = nullptr) {
        QString error;
        const QString data = QDir(dir_.path()).filePath(QStringLiteral("data"));
        core::MakeDataFolder(data, nullptr, &error);
        if (prepare) ok_ = prepare(data);
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

    bool Ok() const { return ok_; }

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
    bool ok_ = true;
};

}  // namespace bench
