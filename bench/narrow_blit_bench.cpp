// The blit kernels on narrow regions: 4,000 squares 1 to 48 pixels on a side at random places on
// a 1024 x 768 canvas, each from a random place in a 256 x 256 source, as the retained scene
// draws tiny sprites and the slivers of sprites cut by dirty rectangles. Each vector level the
// CPU runs is timed against the scalar kernels, interleaved in the same repetitions on the same
// destination memory (blit_bench.h); `speed_vs_scalar` above 1 means the level is faster. The
// blitters send a region to a vector level only from the width where it wins (blit_kernels.h).
//
// Paths: TGA (per-pixel alpha: soft-edged discs, so opaque, clear and partial pixels), TGA at
// opacity 128, keyed copy and keyed blend at 128 (a quarter of the pixels keyed, at random),
// blend at 128 and opaque copy.
#include "blit_bench.h"

#include "graphics/blit_kernels.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using mox::blit::Kernels;
using mox::blit::Level;

constexpr int kCanvasW = 1024, kCanvasH = 768, kSourceSide = 256, kRegions = 4000;
const mox::blit::Key kKey{255, 0, 255};

enum class Path { Tga, TgaOpacity, KeyedCopy, KeyedBlend, Blend, Copy };

struct Scene {
    std::vector<std::uint8_t> canvas = std::vector<std::uint8_t>(std::size_t(kCanvasW) * kCanvasH * 3);
    std::vector<std::uint8_t> bgr;  // 24-bit source, a quarter of it keyed
    std::vector<std::uint8_t> bgra; // 32-bit source
    struct Place {
        int x, y, sx, sy;
    };
    std::vector<Place> places;

    explicit Scene(int side)
    {
        std::mt19937 rng(9);
        for (auto& b : canvas)
            b = std::uint8_t(rng());
        bgr.resize(std::size_t(kSourceSide) * kSourceSide * 3);
        bgra.resize(std::size_t(kSourceSide) * kSourceSide * 4);
        for (int y = 0; y < kSourceSide; ++y)
            for (int x = 0; x < kSourceSide; ++x) {
                const std::size_t i = std::size_t(y) * kSourceSide + std::size_t(x);
                const bool hole = rng() % 4 == 0;
                bgr[3 * i] = hole ? kKey.b : std::uint8_t(rng());
                bgr[3 * i + 1] = hole ? kKey.g : std::uint8_t(rng());
                bgr[3 * i + 2] = hole ? kKey.r : std::uint8_t(rng() & 0x7F);
                for (int c = 0; c < 3; ++c)
                    bgra[4 * i + std::size_t(c)] = std::uint8_t(rng());
                // Discs on a 32-pixel grid: opaque inside, a soft ring, clear outside.
                const double dx = x % 32 - 15.5, dy = y % 32 - 15.5;
                const double t = (14.0 - std::sqrt(dx * dx + dy * dy)) / 4.0;
                bgra[4 * i + 3] = t >= 1 ? 255 : t <= 0 ? 0 : std::uint8_t(1 + t * 253);
            }
        for (int k = 0; k < kRegions; ++k)
            places.push_back({int(rng() % unsigned(kCanvasW - side)), int(rng() % unsigned(kCanvasH - side)),
                              int(rng() % unsigned(kSourceSide - side)), int(rng() % unsigned(kSourceSide - side))});
    }

    void Draw(const Kernels& kernels, Path path, int side)
    {
        for (const Place& p : places) {
            std::uint8_t* dst = canvas.data() + (std::size_t(p.y) * kCanvasW + std::size_t(p.x)) * 3;
            const std::size_t at = std::size_t(p.sy) * kSourceSide + std::size_t(p.sx);
            if (path == Path::Tga || path == Path::TgaOpacity) {
                mox::blit::TgaJob job{dst,  kCanvasW * 3, bgra.data() + 4 * at,           kSourceSide,
                                      side, side,         path == Path::Tga ? 255u : 128u};
                kernels.tga(job);
            } else {
                mox::blit::BgrJob job{dst,
                                      kCanvasW * 3,
                                      bgr.data() + 3 * at,
                                      kSourceSide * 3,
                                      side,
                                      side,
                                      path == Path::KeyedCopy || path == Path::KeyedBlend,
                                      kKey,
                                      path == Path::KeyedCopy || path == Path::Copy ? 255 : 128};
                kernels.bgr(job);
            }
        }
    }
};

void Run(benchmark::State& state, const Kernels& ours, Path path, int side)
{
    Scene scene(side);
    const Kernels& scalar = *mox::blit::ForLevel(Level::Scalar);
    moxbench::Interleaved(
        state, [&] { scene.Draw(ours, path, side); }, {{"scalar", [&] { scene.Draw(scalar, path, side); }}},
        double(kRegions) * side * side * (path == Path::Tga || path == Path::TgaOpacity ? 4 : 3));
}

void RegisterAll()
{
    const std::pair<const char*, Path> paths[] = {{"Tga", Path::Tga},
                                                  {"TgaOpacity128", Path::TgaOpacity},
                                                  {"KeyedCopy", Path::KeyedCopy},
                                                  {"KeyedBlend128", Path::KeyedBlend},
                                                  {"Blend128", Path::Blend},
                                                  {"Copy", Path::Copy}};
    const std::pair<const char*, Level> levels[] = {
        {"avx512", Level::Avx512}, {"avx2", Level::Avx2}, {"sse2", Level::Sse2}};
    for (const auto& [pathName, path] : paths)
        for (int side : {1, 2, 3, 4, 6, 8, 12, 15, 16, 24, 48})
            for (const auto& [levelName, level] : levels) {
                const Kernels* kernels = mox::blit::ForLevel(level);
                if (!kernels)
                    continue;
                const std::string name =
                    std::string(pathName) + "/" + std::to_string(side) + "x" + std::to_string(side) + "/" + levelName;
                const Path p = path;
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) { Run(st, *kernels, p, side); })
                    ->UseManualTime()
                    ->Unit(benchmark::kMicrosecond)
                    ->Iterations(61);
            }
}

} // namespace

int main(int argc, char** argv)
{
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
