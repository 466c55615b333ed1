#pragma once
// The benchmarks' own report: after the usual table, one line per action
// with its time, its raw twin's time, their ratio (wall clock and CPU) and
// the disk syncs per run of each (data file / work file); the medians when run
// with repetitions. A twin is named as its action with "_Raw" added
// (BM_X_Raw) or with "raw" for "layer" (BM_X/raw/50000 beside BM_X/layer/50000).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace bench {

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const std::string name = r.run_name.str();
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (median || (r.run_type == Run::RT_Iteration && !medians_.count(name))) {
                const double ms = 1e3 / benchmark::GetTimeUnitMultiplier(r.time_unit);
                Figures& f = figures_[name];
                f.wall = r.GetAdjustedRealTime() * ms;
                f.cpu = r.GetAdjustedCPUTime() * ms;
                const auto data = r.counters.find("syncs_data"), work = r.counters.find("syncs_work");
                f.syncs = data != r.counters.end() && work != r.counters.end();
                if (f.syncs) {
                    f.dataSyncs = data->second.value;
                    f.workSyncs = work->second.value;
                }
                if (!order_.count(name)) order_[name] = next_++;
            }
            if (median) medians_.insert(name);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::map<int, std::string> actions;
        for (const auto& [name, figures] : figures_)
            if (TwinOf(name) == name) actions[order_[name]] = name;
        std::printf("\n%-48s %19s %19s %13s %11s %11s\n", "action", "ms (CPU)", "raw ms (CPU)", "ratio (CPU)",
                    "syncs d/w", "raw d/w");
        for (const auto& [position, name] : actions) {
            const Figures& f = figures_[name];
            std::printf("%-48s %9.2f (%7.2f)", name.c_str(), f.wall, f.cpu);
            const Figures* raw = nullptr;
            for (const auto& [other, figures] : figures_)
                if (other != name && TwinOf(other) == name) raw = &figures;
            if (raw && raw->wall > 0 && raw->cpu > 0)
                std::printf(" %9.2f (%7.2f) %5.2f (%5.2f)", raw->wall, raw->cpu, f.wall / raw->wall, f.cpu / raw->cpu);
            else std::printf(" %19s %13s", "", "");
            std::printf(" %11s %11s\n", Syncs(f).c_str(), raw ? Syncs(*raw).c_str() : "");
        }
        std::fflush(stdout);
    }

private:
    struct Figures {
        double wall = 0, cpu = 0;
        bool syncs = false;
        double dataSyncs = 0, workSyncs = 0;
    };
    static std::string Syncs(const Figures& f) {
        if (!f.syncs) return {};
        char text[32];
        std::snprintf(text, sizeof text, "%.0f/%.0f", f.dataSyncs, f.workSyncs);
        return text;
    }
    // The name of the action a benchmark is the raw twin of, or its own name.
    static std::string TwinOf(std::string name) {
        if (const auto at = name.find("/raw"); at != std::string::npos) return name.replace(at, 4, "/layer");
        if (const auto at = name.find("_Raw");
            at != std::string::npos && (at + 4 == name.size() || name[at + 4] == '/'))
            return name.erase(at, 4);
        return name;
    }

    std::map<std::string, Figures> figures_;
    std::map<std::string, int> order_;
    std::set<std::string> medians_;
    int next_ = 0;
};

}  // namespace bench
