// Median timing shared by the benchmark programs.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace bench {

// One timing of `work`, in milliseconds.
inline double timeMs(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The median of `runs` timings of `work`, in milliseconds.
inline double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(timeMs(work));
    return median(std::move(times));
}

// Medians of `runs` timings of two pieces of work taken in turns, so that both meet the same
// load from whatever else runs meanwhile.
inline std::pair<double, double> alternatingMediansMs(int runs, const std::function<void()>& first,
                                                     const std::function<void()>& second) {
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(timeMs(first));
        b.push_back(timeMs(second));
    }
    return {median(std::move(a)), median(std::move(b))};
}

// As above, each timing after `warm` untimed runs of the same work, so that each meets the
// caches as its own previous run left them.
inline std::pair<double, double> alternatingWarmMediansMs(int runs, int warm, const std::function<void()>& first,
                                                         const std::function<void()>& second) {
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        for (int w = 0; w < warm; ++w) first();
        a.push_back(timeMs(first));
        for (int w = 0; w < warm; ++w) second();
        b.push_back(timeMs(second));
    }
    return {median(std::move(a)), median(std::move(b))};
}

// One figure as a JSON line: our median, the reference's median from the same run, their ratio.
inline void report(const char* name, double ours, const char* reference, double theirs, const char* unit) {
    std::printf("{\"name\": \"%s\", \"median\": %.3f, \"unit\": \"%s\", \"reference\": \"%s\", "
                "\"reference_median\": %.3f, \"ratio\": %.3f}\n",
                name, ours, unit, reference, theirs, ours / theirs);
    std::fflush(stdout);
}

}  // namespace bench
