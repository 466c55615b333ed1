#include "tests/bench/SqliteTwin.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <QtGlobal>

#include "platform/db/Collation.h"

namespace bench {

// ---------------------------------------------------------------- counting VFS

namespace {

std::atomic<long long> g_dataSyncs{0}, g_workSyncs{0};
sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_counting;

struct CountingFile {
    sqlite3_file base;
    bool work;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

CountingFile* C(sqlite3_file* f) { return reinterpret_cast<CountingFile*>(f); }
sqlite3_file* R(sqlite3_file* f) { return C(f)->real(); }

int Close(sqlite3_file* f) { return R(f)->pMethods->xClose(R(f)); }
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return R(f)->pMethods->xRead(R(f), b, n, o); }
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) { return R(f)->pMethods->xWrite(R(f), b, n, o); }
int Truncate(sqlite3_file* f, sqlite3_int64 n) { return R(f)->pMethods->xTruncate(R(f), n); }
int Sync(sqlite3_file* f, int flags) {
    (C(f)->work ? g_workSyncs : g_dataSyncs).fetch_add(1, std::memory_order_relaxed);
    return R(f)->pMethods->xSync(R(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* n) { return R(f)->pMethods->xFileSize(R(f), n); }
int Lock(sqlite3_file* f, int l) { return R(f)->pMethods->xLock(R(f), l); }
int Unlock(sqlite3_file* f, int l) { return R(f)->pMethods->xUnlock(R(f), l); }
int CheckReservedLock(sqlite3_file* f, int* out) { return R(f)->pMethods->xCheckReservedLock(R(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return R(f)->pMethods->xFileControl(R(f), op, arg); }
int SectorSize(sqlite3_file* f) { return R(f)->pMethods->xSectorSize(R(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return R(f)->pMethods->xDeviceCharacteristics(R(f)); }
int ShmMap(sqlite3_file* f, int i, int size, int extend, void volatile** p) {
    return R(f)->pMethods->xShmMap(R(f), i, size, extend, p);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) { return R(f)->pMethods->xShmLock(R(f), offset, n, flags); }
void ShmBarrier(sqlite3_file* f) { R(f)->pMethods->xShmBarrier(R(f)); }
int ShmUnmap(sqlite3_file* f, int deleteFlag) { return R(f)->pMethods->xShmUnmap(R(f), deleteFlag); }
int Fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return R(f)->pMethods->xFetch(R(f), o, n, p); }
int Unfetch(sqlite3_file* f, sqlite3_int64 o, void* p) { return R(f)->pMethods->xUnfetch(R(f), o, p); }

const sqlite3_io_methods kMethods = {3,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Unlock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics,
                                     ShmMap,
                                     ShmLock,
                                     ShmBarrier,
                                     ShmUnmap,
                                     Fetch,
                                     Unfetch};

// A removal that syncs its folder (a journal's at the commit, with synchronous
// EXTRA) counts as a sync of the journal's database file.
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    if (syncDir & 1)
        (name && std::strstr(name, "MurvWork2K.mdb") ? g_workSyncs : g_dataSyncs)
            .fetch_add(1, std::memory_order_relaxed);
    return g_real->xDelete(g_real, name, syncDir);
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    CountingFile* file = C(f);
    file->base.pMethods = nullptr;
    file->work = name && std::strstr(name, "MurvWork2K.mdb") != nullptr;
    const int rc = g_real->xOpen(g_real, name, file->real(), flags, outFlags);
    if (rc == SQLITE_OK && file->real()->pMethods) file->base.pMethods = &kMethods;
    return rc;
}

// ---------------------------------------------------------------- recording

struct Value {
    int type = SQLITE_NULL;
    long long i = 0;
    double d = 0;
    std::string bytes;
};

}  // namespace

struct Recording {
    struct Run {
        int conn;
        std::string sql;
        std::vector<Value> values;
    };
    struct Event {
        enum Kind { Open, Start, Row, End, Close } kind;
        int conn = -1;
        int run = -1;
        bool done = false;
    };
    struct Connection {
        std::string file;
        long long synchronous = 2, cacheSize = -2000;
        std::vector<std::pair<std::string, std::string>> attached;  // name, file
    };
    std::map<int, Connection> existing;  // the connections open when the recording began
    std::map<int, std::string> opened;   // the files of those it opened
    std::vector<Run> runs;
    std::vector<Event> events;
};

namespace {

std::mutex g_lock;
std::map<sqlite3*, int> g_handles;  // every open connection, by id
int g_nextId = 1;
Recording* g_recording = nullptr;
std::map<sqlite3_stmt*, int> g_running;  // statement -> its run while recorded

constexpr unsigned kAlways = SQLITE_TRACE_CLOSE;
constexpr unsigned kRecording = SQLITE_TRACE_CLOSE | SQLITE_TRACE_STMT | SQLITE_TRACE_ROW | SQLITE_TRACE_PROFILE;

// The position just past the parameter at `p` of `sql`, or `p` when none starts there.
const char* SkipParameter(const char* p) {
    if (*p == '?') {
        ++p;
        while (*p >= '0' && *p <= '9') ++p;
        return p;
    }
    if (*p == ':' || *p == '@' || *p == '$') {
        const char* q = p + 1;
        while (*q && (std::isalnum(static_cast<unsigned char>(*q)) || *q == '_' || (*q & 0x80))) ++q;
        return q > p + 1 ? q : p;
    }
    return p;
}

// Reads the literal that sqlite3_expanded_sql put for a parameter.
const char* ParseLiteral(const char* e, Value* v) {
    if (std::strncmp(e, "NULL", 4) == 0) {
        v->type = SQLITE_NULL;
        return e + 4;
    }
    if (*e == '\'') {
        v->type = SQLITE_TEXT;
        for (++e; *e; ++e) {
            if (*e == '\'') {
                if (e[1] != '\'') return e + 1;
                ++e;
            }
            v->bytes.push_back(*e);
        }
        return e;
    }
    if ((*e == 'x' || *e == 'X') && e[1] == '\'') {
        v->type = SQLITE_BLOB;
        for (e += 2; *e && *e != '\''; e += 2)
            v->bytes.push_back(static_cast<char>(std::strtol(std::string(e, 2).c_str(), nullptr, 16)));
        return *e ? e + 1 : e;
    }
    if (std::strncmp(e, "zeroblob(", 9) == 0) {
        v->type = SQLITE_BLOB;
        char* end = nullptr;
        v->bytes.assign(static_cast<size_t>(std::strtol(e + 9, &end, 10)), '\0');
        return *end == ')' ? end + 1 : end;
    }
    const char* start = e;
    bool real = false;
    if (*e == '-' || *e == '+') ++e;
    for (; *e; ++e) {
        if (*e == '.' || *e == 'e' || *e == 'E' || ((*e == '-' || *e == '+') && (e[-1] == 'e' || e[-1] == 'E')))
            real = true;
        else if (!(*e >= '0' && *e <= '9')) break;
    }
    const std::string text(start, e);
    if (real) {
        v->type = SQLITE_FLOAT;
        v->d = std::strtod(text.c_str(), nullptr);
    } else {
        v->type = SQLITE_INTEGER;
        v->i = std::strtoll(text.c_str(), nullptr, 10);
    }
    return e;
}

// The values bound to `stmt`, read back from its expanded text.
std::vector<Value> BoundValues(sqlite3_stmt* stmt) {
    std::vector<Value> values(static_cast<size_t>(sqlite3_bind_parameter_count(stmt)));
    if (values.empty()) return values;
    char* expanded = sqlite3_expanded_sql(stmt);
    const char* t = sqlite3_sql(stmt);
    const char* e = expanded;
    int next = 1;
    while (e && *t && *e) {
        const char c = *t;
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            do {
                ++t;
                ++e;
            } while (*t && *t != close);
            if (*t) ++t, ++e;
            continue;
        }
        if (c == '-' && t[1] == '-') {
            while (*t && *t != '\n') ++t, ++e;
            continue;
        }
        const char* after = SkipParameter(t);
        if (after == t) {
            ++t;
            ++e;
            continue;
        }
        int index;
        if (*t == '?' && after > t + 1) index = std::atoi(t + 1);
        else if (*t == '?') index = next;
        else index = sqlite3_bind_parameter_index(stmt, std::string(t, after).c_str());
        if (index > next - 1) next = index + 1;
        Value v;
        e = ParseLiteral(e, &v);
        if (index >= 1 && index <= static_cast<int>(values.size())) values[static_cast<size_t>(index - 1)] = v;
        t = after;
    }
    sqlite3_free(expanded);
    return values;
}

int Trace(unsigned type, void* context, void* p, void* x) {
    std::lock_guard lock(g_lock);
    auto* handle = static_cast<sqlite3*>(context);
    const auto id = g_handles.find(handle);
    if (type == SQLITE_TRACE_CLOSE) {
        if (g_recording && id != g_handles.end()) g_recording->events.push_back({Recording::Event::Close, id->second});
        if (id != g_handles.end()) g_handles.erase(id);
        return 0;
    }
    if (!g_recording || id == g_handles.end()) return 0;
    auto* stmt = static_cast<sqlite3_stmt*>(p);
    using Event = Recording::Event;
    if (type == SQLITE_TRACE_STMT) {
        const char* text = static_cast<const char*>(x);
        if (text && text[0] == '-' && text[1] == '-') return 0;  // a trigger's program
        g_recording->runs.push_back({id->second, sqlite3_sql(stmt), BoundValues(stmt)});
        const int run = static_cast<int>(g_recording->runs.size()) - 1;
        g_running[stmt] = run;
        g_recording->events.push_back({Event::Start, id->second, run});
    } else if (const auto r = g_running.find(stmt); r != g_running.end()) {
        if (type == SQLITE_TRACE_ROW) {
            g_recording->events.push_back({Event::Row, id->second, r->second});
        } else if (type == SQLITE_TRACE_PROFILE) {
            g_recording->events.push_back({Event::End, id->second, r->second, !sqlite3_stmt_busy(stmt)});
            g_running.erase(r);
        }
    }
    return 0;
}

int OnNewConnection(sqlite3* handle, const char**, const sqlite3_api_routines*) {
    std::lock_guard lock(g_lock);
    const int id = g_nextId++;
    g_handles[handle] = id;
    if (g_recording) {
        const char* file = sqlite3_db_filename(handle, "main");
        g_recording->opened[id] = file ? file : "";
        g_recording->events.push_back({Recording::Event::Open, id});
    }
    sqlite3_trace_v2(handle, g_recording ? kRecording : kAlways, Trace, handle);
    return SQLITE_OK;
}

long long PragmaValue(sqlite3* handle, const char* pragma) {
    sqlite3_stmt* s = nullptr;
    long long value = 0;
    if (sqlite3_prepare_v2(handle, pragma, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        value = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return value;
}

}  // namespace

void InstallSqliteCounters() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    g_real = sqlite3_vfs_find(nullptr);
    g_counting = *g_real;
    g_counting.zName = "murv-counting";
    g_counting.szOsFile = static_cast<int>(sizeof(CountingFile)) + g_real->szOsFile;
    g_counting.xOpen = Open;
    g_counting.xDelete = Delete;
    sqlite3_vfs_register(&g_counting, 1);
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(OnNewConnection));
}

SyncCount Syncs() { return {g_dataSyncs.load(), g_workSyncs.load()}; }

std::shared_ptr<Recording> Record(const std::function<void()>& action) {
    auto recording = std::make_shared<Recording>();
    std::vector<sqlite3*> handles;
    {
        std::lock_guard lock(g_lock);
        for (const auto& [handle, id] : g_handles) handles.push_back(handle);
    }
    for (sqlite3* handle : handles) {
        Recording::Connection c;
        const char* file = sqlite3_db_filename(handle, "main");
        c.file = file ? file : "";
        c.synchronous = PragmaValue(handle, "PRAGMA synchronous");
        c.cacheSize = PragmaValue(handle, "PRAGMA cache_size");
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA database_list", -1, &s, nullptr) == SQLITE_OK) {
            while (sqlite3_step(s) == SQLITE_ROW) {
                const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
                const char* path = reinterpret_cast<const char*>(sqlite3_column_text(s, 2));
                if (name != "main" && name != "temp" && path && *path) c.attached.emplace_back(name, path);
            }
        }
        sqlite3_finalize(s);
        std::lock_guard lock(g_lock);
        recording->existing[g_handles[handle]] = c;
    }
    {
        std::lock_guard lock(g_lock);
        g_recording = recording.get();
        g_running.clear();
    }
    for (sqlite3* handle : handles) sqlite3_trace_v2(handle, kRecording, Trace, handle);
    action();
    std::vector<sqlite3*> live;
    {
        std::lock_guard lock(g_lock);
        g_recording = nullptr;
        g_running.clear();
        for (const auto& [handle, id] : g_handles) live.push_back(handle);
    }
    for (sqlite3* handle : live) sqlite3_trace_v2(handle, kAlways, Trace, handle);
    return recording;
}

// ---------------------------------------------------------------- replay

struct Replay::State {
    std::shared_ptr<Recording> recording;
    FileSteps steps;
    std::map<int, sqlite3*> connections;
    std::map<int, std::string> files;                   // the file each connection has open
    std::map<int, std::pair<dev_t, ino_t>> identities;  // of the files of those open before the action
    std::map<std::pair<int, std::string>, std::vector<sqlite3_stmt*>> idle;
    std::vector<sqlite3_stmt*> running;
    long long sink = 0;
    bool reported = false;

    sqlite3* OpenRaw(const std::string& file) {
        sqlite3* handle = nullptr;
        if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
            Report("open", file.c_str());
        sqlite3_busy_timeout(handle, 5000);
        db::RegisterJapaneseCollation(handle);
        return handle;
    }
    void CloseRaw(int conn) {
        const auto c = connections.find(conn);
        if (c == connections.end()) return;
        for (auto it = idle.begin(); it != idle.end();) {
            if (it->first.first == conn) {
                for (sqlite3_stmt* s : it->second) sqlite3_finalize(s);
                it = idle.erase(it);
            } else {
                ++it;
            }
        }
        sqlite3_close_v2(c->second);
        connections.erase(c);
        files.erase(conn);
    }
    static std::pair<dev_t, ino_t> Identity(const std::string& file) {
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0) return {0, 0};
        return {st.st_dev, st.st_ino};
    }
    // A connection that was open before the action, as it was set.
    void OpenExisting(int id, const Recording::Connection& c) {
        sqlite3* handle = OpenRaw(c.file);
        const std::string pragmas = "PRAGMA synchronous = " + std::to_string(c.synchronous) +
                                    "; PRAGMA cache_size = " + std::to_string(c.cacheSize);
        sqlite3_exec(handle, pragmas.c_str(), nullptr, nullptr, nullptr);
        for (const auto& [name, file] : c.attached) {
            const std::string attach = "ATTACH DATABASE '" + file + "' AS " + name;
            sqlite3_exec(handle, attach.c_str(), nullptr, nullptr, nullptr);
        }
        // The schema read now, as the layer reads it when it opens a file.
        sqlite3_exec(handle, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
        connections[id] = handle;
        files[id] = c.file;
        identities[id] = Identity(c.file);
    }
    void Report(const char* what, const char* detail) {
        if (reported) return;
        reported = true;
        std::fprintf(stderr, "raw twin: %s failed: %s\n", what, detail);
    }
    void ReadColumns(sqlite3_stmt* s) {
        for (int i = 0, n = sqlite3_column_count(s); i < n; ++i) {
            switch (sqlite3_column_type(s, i)) {
            case SQLITE_INTEGER: sink += sqlite3_column_int64(s, i); break;
            case SQLITE_FLOAT: sink += static_cast<long long>(sqlite3_column_double(s, i)); break;
            case SQLITE_TEXT: sink += sqlite3_column_text(s, i)[0] + sqlite3_column_bytes(s, i); break;
            case SQLITE_BLOB: sink += sqlite3_column_bytes(s, i); break;
            default: break;
            }
        }
    }
};

Replay::Replay(std::shared_ptr<Recording> recording, FileSteps steps) : state_(std::make_unique<State>()) {
    state_->recording = std::move(recording);
    state_->steps = std::move(steps);
    state_->running.assign(state_->recording->runs.size(), nullptr);
    for (const auto& [id, c] : state_->recording->existing) {
        bool used = false;
        for (const auto& run : state_->recording->runs) used = used || run.conn == id;
        if (used) state_->OpenExisting(id, c);
    }
}

void Replay::ReopenReplacedFiles() {
    State& s = *state_;
    for (const auto& [id, c] : s.recording->existing) {
        const auto identity = s.identities.find(id);
        if (identity == s.identities.end() || !s.connections.count(id) || State::Identity(c.file) == identity->second)
            continue;
        s.CloseRaw(id);
        s.OpenExisting(id, c);
    }
}

Replay::~Replay() {
    for (sqlite3_stmt* s : state_->running)
        if (s) sqlite3_reset(s);
    std::vector<int> ids;
    for (const auto& [id, handle] : state_->connections) ids.push_back(id);
    for (int id : ids) state_->CloseRaw(id);
}

bool Replay::Run() {
    State& s = *state_;
    const Recording& r = *s.recording;
    using Event = Recording::Event;
    for (const Event& e : r.events) {
        switch (e.kind) {
        case Event::Open: {
            s.CloseRaw(e.conn);
            const std::string& recorded = r.opened.at(e.conn);
            const std::string file = s.steps.opening ? s.steps.opening(recorded) : recorded;
            s.connections[e.conn] = s.OpenRaw(file);
            s.files[e.conn] = file;
            break;
        }
        case Event::Close: {
            const auto file = s.files.find(e.conn);
            const std::string closed = file != s.files.end() ? file->second : std::string();
            const bool opened = r.opened.count(e.conn) != 0;
            s.CloseRaw(e.conn);
            if (opened && s.steps.closed) s.steps.closed(closed);
            break;
        }
        case Event::Start: {
            const Recording::Run& run = r.runs[static_cast<size_t>(e.run)];
            sqlite3* handle = s.connections[run.conn];
            auto& pool = s.idle[{run.conn, run.sql}];
            sqlite3_stmt* stmt = nullptr;
            if (!pool.empty()) {
                stmt = pool.back();
                pool.pop_back();
            } else if (sqlite3_prepare_v3(handle, run.sql.c_str(), static_cast<int>(run.sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
                s.Report("prepare", sqlite3_errmsg(handle));
                break;
            }
            for (size_t i = 0; i < run.values.size(); ++i) {
                const Value& v = run.values[i];
                const int n = static_cast<int>(i) + 1;
                switch (v.type) {
                case SQLITE_INTEGER: sqlite3_bind_int64(stmt, n, v.i); break;
                case SQLITE_FLOAT: sqlite3_bind_double(stmt, n, v.d); break;
                case SQLITE_TEXT:
                    sqlite3_bind_text(stmt, n, v.bytes.data(), static_cast<int>(v.bytes.size()), SQLITE_STATIC);
                    break;
                case SQLITE_BLOB:
                    sqlite3_bind_blob(stmt, n, v.bytes.data(), static_cast<int>(v.bytes.size()), SQLITE_STATIC);
                    break;
                default: sqlite3_bind_null(stmt, n); break;
                }
            }
            s.running[static_cast<size_t>(e.run)] = stmt;
            break;
        }
        case Event::Row:
            if (sqlite3_stmt* stmt = s.running[static_cast<size_t>(e.run)]) {
                if (sqlite3_step(stmt) == SQLITE_ROW) s.ReadColumns(stmt);
            }
            break;
        case Event::End:
            if (sqlite3_stmt* stmt = s.running[static_cast<size_t>(e.run)]) {
                if (e.done) {
                    int rc;
                    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) s.ReadColumns(stmt);
                    if (rc != SQLITE_DONE)
                        s.Report(r.runs[static_cast<size_t>(e.run)].sql.c_str(),
                                 sqlite3_errmsg(sqlite3_db_handle(stmt)));
                }
                sqlite3_reset(stmt);
                sqlite3_clear_bindings(stmt);
                const Recording::Run& run = r.runs[static_cast<size_t>(e.run)];
                s.idle[{run.conn, run.sql}].push_back(stmt);
                s.running[static_cast<size_t>(e.run)] = nullptr;
            }
            break;
        }
    }
    // Statements the layer left unfinished are ended here, as a later call of it would.
    for (size_t i = 0; i < s.running.size(); ++i) {
        if (sqlite3_stmt* stmt = s.running[i]) {
            sqlite3_reset(stmt);
            s.idle[{r.runs[i].conn, r.runs[i].sql}].push_back(stmt);
            s.running[i] = nullptr;
        }
    }
    benchmark::DoNotOptimize(s.sink);
    return !s.reported;
}

// ---------------------------------------------------------------- measuring

void Measure(benchmark::State& state, bool raw, const std::function<void()>& prepare,
             const std::function<void()>& action, const FileSteps& steps) {
    const auto ready = [&] {
        if (prepare) prepare();
    };
    // Once untimed, so that one-time work (first statements, caches) is not counted.
    ready();
    action();
    SyncCount total;
    std::unique_ptr<Replay> replay;
    if (raw) {
        ready();
        const std::shared_ptr<Recording> recording = Record(action);
        state.counters["statements"] = static_cast<double>(recording->runs.size());
        if (qEnvironmentVariableIsSet("MURV_TWIN_DUMP")) {
            std::map<std::string, int> counts;
            for (const auto& run : recording->runs) ++counts[run.sql];
            for (const auto& [sql, n] : counts) std::fprintf(stderr, "%6d  %s\n", n, sql.c_str());
        }
        replay = std::make_unique<Replay>(recording, steps);
        ready();
        replay->ReopenReplacedFiles();
        replay->Run();  // its statements prepared, as the layer's are
    }
    for (auto _ : state) {
        state.PauseTiming();
        ready();
        if (replay) replay->ReopenReplacedFiles();
        state.ResumeTiming();
        const SyncCount before = Syncs();
        if (replay) {
            if (!replay->Run()) state.SkipWithError("the raw twin failed");
        } else {
            action();
        }
        const SyncCount after = Syncs();
        total.data += after.data - before.data;
        total.work += after.work - before.work;
    }
    state.counters["syncs_data"] =
        benchmark::Counter(static_cast<double>(total.data), benchmark::Counter::kAvgIterations);
    state.counters["syncs_work"] =
        benchmark::Counter(static_cast<double>(total.work), benchmark::Counter::kAvgIterations);
}

}  // namespace bench
