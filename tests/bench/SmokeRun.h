#pragma once
// The benchmarks' smoke run: ctest runs each benchmark program once, one
// iteration per benchmark, with MURV_BENCH_SMOKE set, to check that every
// benchmark still runs rather than how fast. The books the benchmarks make
// then hold a tenth of their lines, so that making them does not outweigh
// the run; the benchmarks keep the names of their full sizes.

#include <QtGlobal>

namespace bench {

inline bool SmokeRun() {
    static const bool smoke = qEnvironmentVariableIsSet("MURV_BENCH_SMOKE");
    return smoke;
}

// The lines of a book of `lines` lines: a tenth of them in the smoke run.
inline int BookLines(int lines) { return SmokeRun() ? lines / 10 : lines; }

}  // namespace bench
