#pragma once
// What the benchmarks measure beside the time of an action:
//  - the disk syncs it asks for, per file (a VFS under SQLite that counts
//    each file's xSync; a journal's syncs count for its database file);
//  - its raw twin: the same SQLite statements, with the same bound values,
//    on the same files and connections, in the same order, stepping the same
//    rows and reading their columns, with no layer and no widgets. The calls
//    are recorded once (SQLite's statement trace on every connection) and
//    replayed on raw connections, each statement prepared once.
//
//   bench::InstallSqliteCounters();  // in main, before any connection opens
//   bench::Measure(state, raw, prepare, action);

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace bench {

// Registers the counting VFS as the default and the trace hook on every new
// connection. Call once, before the first connection opens.
void InstallSqliteCounters();

struct SyncCount {
    long long data = 0;  // every file but the work file
    long long work = 0;  // the work file (MurvWork2K.mdb)
};
SyncCount Syncs();

struct Recording;

// Records the SQLite calls that `action` makes.
std::shared_ptr<Recording> Record(const std::function<void()>& action);

// Replays a recording on raw connections of its own (opened at the first
// replay, kept for the next).
class Replay {
public:
    explicit Replay(std::shared_ptr<Recording> recording);
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;
    // False with a message on stderr when a call failed differently than when recorded.
    bool Run();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Times `action` (after an untimed `prepare` on every iteration) and counts
// its syncs; with `raw`, times the replay of the action's SQLite calls instead
// (recorded once, after a `prepare`). Sets the counters syncs_data and syncs_work.
void Measure(benchmark::State& state, bool raw, const std::function<void()>& prepare,
             const std::function<void()>& action);

}  // namespace bench
