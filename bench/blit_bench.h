// Shared by the blitter benchmarks: every repetition times our call and each baseline once, in
// a rotating order, on the same destination memory; the counters are the medians of the
// per-repetition speeds (baseline time / our time, so above 1 we are faster). Timing a baseline
// once before the loop would compare against a machine in a different state; on a shared,
// noisy machine only ratios taken side by side mean anything.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#if defined(__linux__)
#include <time.h>
#endif

namespace moxbench {

struct Baseline {
    std::string name; // the counter is "speed_vs_<name>"
    std::function<void()> call;
};

#if defined(__linux__)
// MOXBENCH_CPU_TIME=1 times each call in this thread's CPU time instead of wall-clock time: on
// a machine shared with builds, a call preempted halfway would otherwise count the other
// processes' time slices as its own, and the ratios would mostly measure the scheduler.
inline bool ThreadCpuTime()
{
    static const bool on = [] {
        const char* v = std::getenv("MOXBENCH_CPU_TIME");
        return v && v[0] == '1';
    }();
    return on;
}

inline double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}
#endif

inline double Seconds(const std::function<void()>& f)
{
#if defined(__linux__)
    if (ThreadCpuTime()) {
        const double t0 = ThreadSeconds();
        f();
        benchmark::ClobberMemory();
        return ThreadSeconds() - t0;
    }
#endif
    const auto t0 = std::chrono::steady_clock::now();
    f();
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Use with ->UseManualTime(): the reported time is ours alone.
inline void Interleaved(benchmark::State& state, const std::function<void()>& ours,
                        const std::vector<Baseline>& baselines, double bytesPerCall = 0)
{
    std::vector<std::vector<double>> speeds(baselines.size());
    std::size_t rep = 0;
    for (auto _ : state) {
        // Rotate who goes first, so no one always meets caches the previous call warmed.
        const std::size_t slots = baselines.size() + 1;
        std::vector<double> times(slots);
        for (std::size_t k = 0; k < slots; ++k) {
            const std::size_t who = (k + rep) % slots;
            times[who] = Seconds(who == 0 ? ours : baselines[who - 1].call);
        }
        state.SetIterationTime(times[0]);
        for (std::size_t b = 0; b < baselines.size(); ++b)
            speeds[b].push_back(times[0] > 0 ? times[b + 1] / times[0] : 0);
        ++rep;
    }
    for (std::size_t b = 0; b < baselines.size(); ++b)
        state.counters["speed_vs_" + baselines[b].name] = Median(speeds[b]);
    if (bytesPerCall > 0)
        state.SetBytesProcessed(std::int64_t(double(state.iterations()) * bytesPerCall));
}

struct Size {
    int w, h;
};
// The canvas sizes every blitter benchmark runs at.
inline const std::vector<Size>& Sizes()
{
    static const std::vector<Size> sizes = {{512, 512}, {1024, 768}, {3840, 2160}};
    return sizes;
}

} // namespace moxbench
