#pragma once

// A console reporter that also keeps, for the summary a benchmark prints at
// its end, the fastest time of each benchmark's repetitions: the machine is
// shared, so the fastest is the least disturbed.

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace skarn::bench {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    struct Time {
        double real = 0.0;  // wall clock, in the benchmark's unit
        double cpu = 0.0;   // the process's CPU time, in the benchmark's unit
    };
    // By the whole run name ("rankAllTypes/1/iterations:1/repeats:3/real_time").
    std::map<std::string, Time> byRun;
    // By the name the benchmark was registered under ("exact/Old Tam vs ...").
    std::map<std::string, Time> byFunction;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const Time time{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            keepFastest(byRun, run.run_name.str(), time);
            keepFastest(byFunction, run.run_name.function_name, time);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The fastest wall-clock time of the runs whose name starts with
    // `prefix`; 0 for none.
    double fastest(const std::string& prefix) const {
        double best = 0.0;
        for (const auto& [name, time] : byRun)
            if (name.rfind(prefix, 0) == 0 && (best == 0.0 || time.real < best)) best = time.real;
        return best;
    }

private:
    static void keepFastest(std::map<std::string, Time>& times, const std::string& name,
                            Time time) {
        const auto it = times.find(name);
        if (it == times.end()) {
            times.emplace(name, time);
            return;
        }
        if (time.real < it->second.real) it->second.real = time.real;
        if (time.cpu < it->second.cpu) it->second.cpu = time.cpu;
    }
};

}  // namespace skarn::bench
