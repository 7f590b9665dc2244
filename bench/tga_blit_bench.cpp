// The TGA blitter against pixman compositing the same pixels (OVER, a8r8g8b8 onto r8g8b8) on a
// 1024 x 768 canvas. Each iteration times both; the "ratio" counter is blitter time / pixman
// time (below 1: the blitter is faster).
#include <MoxImage2.h>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kCanvasW = 1024;
constexpr int kCanvasH = 768;

enum class Alpha { Random, Shapes };

// Random: a third of the pixels opaque, a third transparent, a third partial, in no order (the
// worst case for a blitter that branches per pixel). Shapes: opaque discs with soft edges on a
// transparent ground, as sprites usually are.
std::vector<std::uint8_t> MakePixels(int w, int h, Alpha kind)
{
    std::mt19937 rng(7);
    std::vector<std::uint8_t> bgra(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &bgra[(size_t(y) * size_t(w) + size_t(x)) * 4];
            p[0] = std::uint8_t(rng());
            p[1] = std::uint8_t(rng());
            p[2] = std::uint8_t(rng());
            if (kind == Alpha::Random) {
                const unsigned k = rng() % 3;
                p[3] = k == 0 ? 255 : k == 1 ? 0 : std::uint8_t(1 + rng() % 254);
            } else {
                // Discs of radius 40 on a 128-pixel grid, 8 pixels of soft edge.
                const int dx = x % 128 - 64, dy = y % 128 - 64;
                const double r = std::sqrt(double(dx * dx + dy * dy));
                const double t = (48.0 - r) / 8.0;
                p[3] = t >= 1 ? 255 : t <= 0 ? 0 : std::uint8_t(t * 255);
            }
        }
    return bgra;
}

// Type 2, 32-bit, top-left origin, so the rows go out as they are.
std::string WriteTga(int w, int h, const std::vector<std::uint8_t>& bgra)
{
    const std::string path = "/tmp/tga_blit_bench-" + std::to_string(::getpid()) + ".tga";
    unsigned char header[18] = {0, 0, 2};
    header[12] = std::uint8_t(w);
    header[13] = std::uint8_t(w >> 8);
    header[14] = std::uint8_t(h);
    header[15] = std::uint8_t(h >> 8);
    header[16] = 32;
    header[17] = 0x28;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return path;
    std::fwrite(header, 1, sizeof header, f);
    std::fwrite(bgra.data(), 1, bgra.size(), f);
    std::fclose(f);
    return path;
}

struct Fixture {
    CMoxGraphics canvas;
    CMoxTga tga;
    std::vector<std::uint32_t> premultiplied; // pixman's source: a8r8g8b8, premultiplied
    std::vector<std::uint8_t> pixmanBits;     // pixman's destination, laid out as the canvas
    pixman_image_t* src = nullptr;
    pixman_image_t* dst = nullptr;
    bool ok = false;

    explicit Fixture(Alpha kind)
    {
        const std::vector<std::uint8_t> bgra = MakePixels(kCanvasW, kCanvasH, kind);
        const std::string path = WriteTga(kCanvasW, kCanvasH, bgra);
        const bool loaded = tga.Init(path.c_str());
        std::remove(path.c_str());
        if (!loaded || !canvas.Init(kCanvasW, kCanvasH) || !canvas.m_pDIBBits)
            return;
        canvas.FillRectangle(0, 0, kCanvasW, kCanvasH, 40, 90, 160);

        premultiplied.resize(size_t(kCanvasW) * kCanvasH);
        for (size_t i = 0; i < premultiplied.size(); ++i) {
            const std::uint32_t a = bgra[4 * i + 3];
            auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            premultiplied[i] =
                (a << 24) | (mul(bgra[4 * i + 2]) << 16) | (mul(bgra[4 * i + 1]) << 8) | mul(bgra[4 * i]);
        }
        pixmanBits.assign(size_t(canvas.m_nStride) * kCanvasH, 0);
        for (size_t i = 0; i < pixmanBits.size(); ++i)
            pixmanBits[i] = canvas.m_pDIBBits[i];
        src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kCanvasW, kCanvasH, premultiplied.data(), kCanvasW * 4);
        dst = pixman_image_create_bits(PIXMAN_r8g8b8, kCanvasW, kCanvasH,
                                       reinterpret_cast<std::uint32_t*>(pixmanBits.data()), canvas.m_nStride);
        ok = src && dst;
    }
    ~Fixture()
    {
        if (src)
            pixman_image_unref(src);
        if (dst)
            pixman_image_unref(dst);
    }
};

Fixture& Shared(Alpha kind)
{
    static Fixture random(Alpha::Random);
    static Fixture shapes(Alpha::Shapes);
    return kind == Alpha::Random ? random : shapes;
}

struct Blit {
    int x, y, sx, sy, w, h;
};

// Times `draw` (the blitter) and pixman on the same blit, per iteration.
template <typename Draw> void Compare(benchmark::State& state, const std::vector<Blit>& blits, Draw draw)
{
    Fixture& f = Shared(state.range(0) == 0 ? Alpha::Random : Alpha::Shapes);
    state.SetLabel(state.range(0) == 0 ? "random alpha" : "shapes");
    if (!f.ok) {
        state.SkipWithError("canvas or image could not be set up");
        return;
    }
    using Clock = std::chrono::steady_clock;
    double ours = 0, theirs = 0;
    std::int64_t pixels = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const Blit& b : blits)
            draw(f, b);
        const auto t1 = Clock::now();
        for (const Blit& b : blits)
            pixman_image_composite32(PIXMAN_OP_OVER, f.src, nullptr, f.dst, b.sx, b.sy, 0, 0, b.x, b.y, b.w, b.h);
        const auto t2 = Clock::now();
        const double mine = std::chrono::duration<double>(t1 - t0).count();
        ours += mine;
        theirs += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(mine);
        benchmark::DoNotOptimize(f.canvas.m_pDIBBits[0]);
        benchmark::DoNotOptimize(f.pixmanBits[0]);
    }
    for (const Blit& b : blits)
        pixels += std::int64_t(std::min(b.w, kCanvasW - b.x)) * std::min(b.h, kCanvasH - b.y);
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
    state.counters["pixman_ms"] = benchmark::Counter(theirs * 1e3 / double(state.iterations()));
    state.SetItemsProcessed(state.iterations() * pixels);
}

void BM_TgaWholeImage(benchmark::State& state)
{
    Compare(state, {{0, 0, 0, 0, kCanvasW, kCanvasH}},
            [](Fixture& f, const Blit& b) { f.canvas.Draw(&f.tga, b.x, b.y); });
}

// 256 x 256 sprites from different parts of the image, one of them clipped by the canvas edge.
const std::vector<Blit> kRegions = {
    {10, 20, 0, 0, 256, 256},      {300, 100, 256, 0, 256, 256},   {600, 400, 512, 256, 256, 256},
    {50, 480, 700, 500, 256, 256}, {900, 600, 100, 100, 256, 256},
};

void BM_TgaRegions(benchmark::State& state)
{
    Compare(state, kRegions, [](Fixture& f, const Blit& b) { f.canvas.Draw(&f.tga, b.x, b.y, b.sx, b.sy, b.w, b.h); });
}

} // namespace

// Argument 0: random alpha; 1: shapes.
BENCHMARK(BM_TgaWholeImage)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TgaRegions)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
