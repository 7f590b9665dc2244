// Cost of one frame's worth of CMoxZang::AddRect calls: every moving sprite adds its new and its
// old placement. The baseline appends the same rectangles to a plain std::list (the same node
// allocation, no geometry), so the "vs_list_append" counter is the price of covering and fusing.
#include <MoxImage2.h>

#include <benchmark/benchmark.h>

#include <list>
#include <random>
#include <vector>

#include <time.h>

namespace {

constexpr int kCanvasWidth = 1024;
constexpr int kCanvasHeight = 768;

// Thread CPU time: the machine may be shared, and wall time would charge other processes' work
// to whichever side of the comparison they happened to interrupt.
double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// New and old placement of `sprites` sprites of sides minSide..maxSide on the canvas, each moved
// by up to 4 pixels since the last frame. Fixed seed: every run measures the same frame.
std::vector<CMoxRect> FrameRects(int sprites, int minSide, int maxSide)
{
    std::mt19937 rng(1234);
    auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    std::vector<CMoxRect> rects;
    rects.reserve(size_t(sprites) * 2);
    for (int i = 0; i < sprites; ++i) {
        const int w = pick(minSide, maxSide), h = pick(minSide, maxSide);
        const int x = pick(0, kCanvasWidth - w - 1), y = pick(0, kCanvasHeight - h - 1);
        rects.emplace_back(x, y, w, h);
        rects.emplace_back(x - pick(-4, 4), y - pick(-4, 4), w, h);
    }
    return rects;
}

void Frame(benchmark::State& state)
{
    std::vector<CMoxRect> rects = FrameRects(int(state.range(0)), int(state.range(1)), int(state.range(2)));
    CMoxZang zang;
    std::list<CMoxRect> plain;
    double zangSeconds = 0, plainSeconds = 0;
    for (auto _ : state) {
        const double t0 = CpuSeconds();
        zang.ClearRect();
        for (CMoxRect& r : rects)
            zang.AddRect(r);
        benchmark::DoNotOptimize(zang.m_RectList.size());
        const double t1 = CpuSeconds();
        plain.clear();
        for (const CMoxRect& r : rects)
            plain.push_back(r);
        benchmark::DoNotOptimize(plain.size());
        const double t2 = CpuSeconds();

        const double zangTime = t1 - t0;
        zangSeconds += zangTime;
        plainSeconds += t2 - t1;
        state.SetIterationTime(zangTime);
    }
    state.counters["rects_added"] = double(rects.size());
    state.counters["rects_listed"] = double(zang.m_RectList.size());
    state.counters["ns_per_AddRect"] = zangSeconds * 1e9 / (double(state.iterations()) * double(rects.size()));
    state.counters["vs_list_append"] = plainSeconds > 0 ? zangSeconds / plainSeconds : 0;
}

} // namespace

// Sprites of 16..48 pixels: most placements meet, the list stays short.
BENCHMARK(Frame)
    ->ArgNames({"sprites", "min", "max"})
    ->Args({100, 16, 48})
    ->Args({1000, 16, 48})
    ->Args({10000, 16, 48})
    // Sprites of 2..6 pixels: few placements meet, the list grows long and each call walks it.
    ->Args({100, 2, 6})
    ->Args({1000, 2, 6})
    ->Args({10000, 2, 6})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
