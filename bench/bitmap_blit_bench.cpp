// Region blits of a 512 x 384 image onto a 1024 x 768 canvas, each against a baseline measured
// in the same run: a memcpy of the same rows for the copies, and pixman compositing the same
// region through a constant-alpha mask for the blends. The "ratio" counter is blit time over
// baseline time (lower is better).
#include <MoxImage2.h>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

const int kCanvasW = 1024, kCanvasH = 768, kImageW = 512, kImageH = 384;

struct Scene {
    CMoxGraphics canvas;
    std::vector<unsigned char> bytes; // raw bottom-up image, rows of exactly width x 3 bytes
    CMoxBitmap plain, keyed;

    Scene()
    {
        canvas.GdiInit();
        canvas.Init(kCanvasW, kCanvasH);
        canvas.FillRectangle(0, 0, kCanvasW, kCanvasH, 30, 60, 90);
        bytes.resize(std::size_t(kImageW) * kImageH * 3);
        for (int y = 0; y < kImageH; ++y)
            for (int x = 0; x < kImageW; ++x) {
                unsigned char* p = &bytes[(std::size_t(y) * kImageW + x) * 3];
                const bool key = ((x / 16) + (y / 16)) % 4 == 0; // a quarter of the pixels keyed out
                p[0] = key ? 255 : static_cast<unsigned char>(x);
                p[1] = key ? 0 : static_cast<unsigned char>(y);
                p[2] = key ? 255 : static_cast<unsigned char>(x ^ y);
            }
        BITMAPINFO header{};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = kImageW;
        header.bmiHeader.biHeight = kImageH;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        plain.Init(bytes.data(), int(bytes.size()), header, 0);
        keyed.Init(bytes.data(), int(bytes.size()), header, 255, 0, 255);
    }
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

using Clock = std::chrono::steady_clock;

// Seconds per call of f, repeated for at least 0.2 s.
template <class F> double SecondsPerCall(F&& f)
{
    long calls = 0;
    const auto start = Clock::now();
    Clock::duration elapsed{};
    do {
        for (int i = 0; i < 16; ++i)
            f();
        calls += 16;
        elapsed = Clock::now() - start;
    } while (elapsed < std::chrono::milliseconds(200));
    return std::chrono::duration<double>(elapsed).count() / calls;
}

// The same rows moved with memcpy: what an opaque blit cannot beat.
double MemcpyBaseline(Scene& s)
{
    const int stride = s.canvas.m_nStride;
    return SecondsPerCall([&] {
        for (int k = 0; k < kImageH; ++k)
            std::memcpy(s.canvas.m_pDIBBits + std::size_t(100 + k) * stride + 3 * 200,
                        s.bytes.data() + std::size_t(kImageH - 1 - k) * kImageW * 3, std::size_t(kImageW) * 3);
        benchmark::ClobberMemory();
    });
}

// pixman OVER with a solid mask of the given alpha, between two r8g8b8 images over the same memory.
double PixmanBlendBaseline(Scene& s, unsigned char alpha)
{
    pixman_image_t* dst = pixman_image_create_bits(
        PIXMAN_r8g8b8, kCanvasW, kCanvasH, reinterpret_cast<uint32_t*>(s.canvas.m_pDIBBits), s.canvas.m_nStride);
    // The raw rows are 1536 bytes, already a multiple of 4, so pixman can read them in place.
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_r8g8b8, kImageW, kImageH,
                                                   reinterpret_cast<uint32_t*>(s.bytes.data()), kImageW * 3);
    pixman_color_t colour = {0, 0, 0, static_cast<uint16_t>(alpha * 257)};
    pixman_image_t* mask = pixman_image_create_solid_fill(&colour);
    const double seconds = SecondsPerCall([&] {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 200, 100, kImageW, kImageH);
        benchmark::ClobberMemory();
    });
    pixman_image_unref(mask);
    pixman_image_unref(src);
    pixman_image_unref(dst);
    return seconds;
}

template <class Blit> void Run(benchmark::State& state, double baseline, Blit&& blit)
{
    const auto start = Clock::now();
    long calls = 0;
    for (auto _ : state) {
        blit();
        benchmark::ClobberMemory();
        ++calls;
    }
    const double perCall = std::chrono::duration<double>(Clock::now() - start).count() / (calls ? calls : 1);
    state.counters["ratio"] = perCall / baseline;
    state.counters["baseline_us"] = baseline * 1e6;
    state.SetBytesProcessed(std::int64_t(calls) * kImageW * kImageH * 3);
}

void BM_OpaqueRegion(benchmark::State& state)
{
    Scene& s = TheScene();
    const double baseline = MemcpyBaseline(s);
    Run(state, baseline, [&] { s.canvas.Draw(&s.plain, 200, 100, 0, 0, kImageW, kImageH); });
}

void BM_KeyedRegion(benchmark::State& state)
{
    Scene& s = TheScene();
    const double baseline = MemcpyBaseline(s);
    Run(state, baseline, [&] { s.canvas.Draw(&s.keyed, 200, 100, 0, 0, kImageW, kImageH); });
}

void BM_BlendedRegion(benchmark::State& state)
{
    Scene& s = TheScene();
    const double baseline = PixmanBlendBaseline(s, 128);
    Run(state, baseline, [&] { s.canvas.Draw(&s.plain, 200, 100, 0, 0, kImageW, kImageH, 128); });
}

void BM_KeyedBlendedRegion(benchmark::State& state)
{
    Scene& s = TheScene();
    const double baseline = PixmanBlendBaseline(s, 128);
    Run(state, baseline, [&] { s.canvas.Draw(&s.keyed, 200, 100, 0, 0, kImageW, kImageH, 128); });
}

BENCHMARK(BM_OpaqueRegion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyedRegion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlendedRegion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyedBlendedRegion)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
