#pragma once
// What the benchmarks measure beside the time of an action:
//  - the disk syncs it asks for, per file (a VFS under SQLite that counts
//    each file's xSync and each folder sync after a removal; a journal's
//    syncs count for its database file);
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

// The file work an action does around the connections it opens, done by its
// twin at the same points: `opening` runs before the twin opens a connection
// that the action opened, with the file the action opened, and gives the file
// to open (a copy made under a fresh name, say); `closed` runs after the twin
// closed such a connection, with the file it had open.
struct FileSteps {
    std::function<std::string(const std::string& file)> opening;
    std::function<void(const std::string& file)> closed;
};

// Replays a recording on raw connections of its own (opened at the first
// replay, kept for the next).
class Replay {
public:
    explicit Replay(std::shared_ptr<Recording> recording, FileSteps steps = {});
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;
    // False with a message on stderr when a call failed differently than when recorded.
    bool Run();
    // Opens again, with their settings, the connections kept from an earlier
    // run whose file was replaced since (another file under the same name), as
    // the layer opens its own again when the file under it is replaced.
    void ReopenReplacedFiles();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Times `action` (after an untimed `prepare` on every iteration) and counts
// its syncs; with `raw`, times the replay of the action's SQLite calls instead
// (recorded once, after a `prepare`; its connections to a file that `prepare`
// replaced are opened again untimed) with `steps` done at their points. Sets
// the counters syncs_data and syncs_work.
void Measure(benchmark::State& state, bool raw, const std::function<void()>& prepare,
             const std::function<void()>& action, const FileSteps& steps = {});

}  // namespace bench
