#pragma once
// The main of the benchmarks that need widgets: runs them offscreen unless a
// platform is set, counting disk syncs and printing the table of actions,
// raw twins and syncs at the end.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "tests/bench/BenchReport.h"
#include "tests/bench/SqliteTwin.h"

namespace bench {

inline int RunScreenBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    InstallSqliteCounters();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
