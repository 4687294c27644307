#pragma once

// What every benchmark program shares: timing our path against the bare library in the same
// run, and printing the ratios at the end.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace orvel::bench {

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

inline std::map<std::string, double>& ratios() {
    static std::map<std::string, double> all;
    return all;
}

// Times `ours` and `theirs` (each returns the seconds it took) once per iteration, in
// alternating order so that a change in the machine's load hits both alike. Reports both
// medians, their ratio (ours / theirs) and how many times realtime ours ran for `audioSeconds`
// of sound, and keeps the ratio under `name` for the closing lines.
inline void compare(benchmark::State& state, const std::function<double()>& ours,
                    const std::function<double()>& theirs, const std::string& oursLabel,
                    const std::string& theirsLabel, double audioSeconds, const std::string& name) {
    std::vector<double> oursTimes;
    std::vector<double> theirsTimes;
    bool oursFirst = true;
    for (auto _ : state) {
        double a = 0;
        double b = 0;
        if (oursFirst) {
            a = ours();
            b = theirs();
        } else {
            b = theirs();
            a = ours();
        }
        oursFirst = !oursFirst;
        oursTimes.push_back(a);
        theirsTimes.push_back(b);
        state.SetIterationTime(a);
    }
    const double ratio = median(oursTimes) / median(theirsTimes);
    state.counters[oursLabel + "_s"] = median(oursTimes);
    state.counters[theirsLabel + "_s"] = median(theirsTimes);
    state.counters["ratio"] = ratio;
    state.counters["x_realtime"] = audioSeconds / median(oursTimes);
    ratios()[name] = ratio;
}

// The body of every benchmark program's main: Qt's core application (the engine needs its event
// loop), quiet log categories, the benchmarks, then one line per ratio. `ready` may refuse to
// run (returns false after saying why).
inline int run(
    int argc, char** argv, const char* logRules,
    const std::function<bool()>& ready = [] { return true; }) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(logRules);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv) || !ready()) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [name, ratio] : ratios()) {
        std::printf("ratio %s: %.3f\n", name.c_str(), ratio);
    }
    return 0;
}

}  // namespace orvel::bench
