// GDI+ image drawing into a 1024 x 768 section, each against a baseline measured in the same
// run: a memcpy of the same rows for the unscaled draw, and one bare pixman bilinear composite
// of the same pixels (no key, no source conversion) for the scaled draws. The "ratio" counter is
// draw time over baseline time (lower is better).
#include <gdiplus.h>
#include <windows.h>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstring>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const int kCanvasW = 1024, kCanvasH = 768, kImageW = 512, kImageH = 384;

struct Scene {
    HDC dc = nullptr;
    HBITMAP section = nullptr;
    std::uint8_t* bits = nullptr;
    int stride = (kCanvasW * 3 + 3) & ~3;
    GpGraphics* graphics = nullptr;
    std::vector<BYTE> pixels; // the image, top-down 24-bit rows
    GpBitmap* image = nullptr;
    GpImageAttributes* key = nullptr;

    Scene()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kCanvasW;
        info.bmiHeader.biHeight = -kCanvasH;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* p = nullptr;
        section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<std::uint8_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, section);
        GdipCreateFromHDC(dc, &graphics);
        const int imageStride = kImageW * 3;
        pixels.resize(std::size_t(imageStride) * kImageH);
        for (int y = 0; y < kImageH; ++y)
            for (int x = 0; x < kImageW; ++x) {
                BYTE* q = &pixels[std::size_t(y) * imageStride + 3 * x];
                const bool keyed = ((x / 16) + (y / 16)) % 4 == 0; // a quarter keyed out
                q[0] = keyed ? 255 : BYTE(x);
                q[1] = keyed ? 0 : BYTE(y);
                q[2] = keyed ? 255 : BYTE(x ^ y);
            }
        GdipCreateBitmapFromScan0(kImageW, kImageH, imageStride, PixelFormat24bppRGB, pixels.data(), &image);
        GdipCreateImageAttributes(&key);
        GdipSetImageAttributesColorKeys(key, ColorAdjustTypeDefault, TRUE, 0xFFFF00FF, 0xFFFF00FF);
    }
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

using Clock = std::chrono::steady_clock;

template <class F> double SecondsPerCall(F&& f)
{
    long calls = 0;
    const auto start = Clock::now();
    Clock::duration elapsed{};
    do {
        for (int i = 0; i < 4; ++i)
            f();
        calls += 4;
        elapsed = Clock::now() - start;
    } while (elapsed < std::chrono::milliseconds(200));
    return std::chrono::duration<double>(elapsed).count() / calls;
}

double MemcpyBaseline(Scene& s)
{
    return SecondsPerCall([&] {
        for (int y = 0; y < kImageH; ++y)
            std::memcpy(s.bits + std::size_t(100 + y) * s.stride + 3 * 200, &s.pixels[std::size_t(y) * kImageW * 3],
                        std::size_t(kImageW) * 3);
        benchmark::ClobberMemory();
    });
}

// pixman straight from the image's rows to the section: bilinear, PAD, 2x.
double PixmanBaseline(Scene& s)
{
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_r8g8b8, kImageW, kImageH,
                                                   reinterpret_cast<uint32_t*>(s.pixels.data()), kImageW * 3);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_r8g8b8, kCanvasW, kCanvasH, reinterpret_cast<uint32_t*>(s.bits), s.stride);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(src, PIXMAN_REPEAT_PAD);
    const double seconds = SecondsPerCall([&] {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, 2 * kImageW, 2 * kImageH - 1);
        benchmark::ClobberMemory();
    });
    pixman_image_unref(src);
    pixman_image_unref(dst);
    return seconds;
}

void Report(benchmark::State& state, double subject, double baseline)
{
    state.counters["ratio"] = subject / baseline;
    state.counters["baseline_us"] = baseline * 1e6;
    state.counters["draw_us"] = subject * 1e6;
}

void BM_DrawUnscaled(benchmark::State& state)
{
    Scene& s = TheScene();
    double subject = 0;
    for (auto _ : state)
        subject = SecondsPerCall([&] { GdipDrawImageI(s.graphics, s.image, 200, 100); });
    Report(state, subject, MemcpyBaseline(s));
}
BENCHMARK(BM_DrawUnscaled)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DrawScaled2x(benchmark::State& state)
{
    Scene& s = TheScene();
    double subject = 0;
    for (auto _ : state)
        subject = SecondsPerCall([&] { GdipDrawImageRectI(s.graphics, s.image, 0, 0, 2 * kImageW, 2 * kImageH - 1); });
    Report(state, subject, PixmanBaseline(s));
}
BENCHMARK(BM_DrawScaled2x)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DrawScaled2xKeyed(benchmark::State& state)
{
    Scene& s = TheScene();
    double subject = 0;
    for (auto _ : state)
        subject = SecondsPerCall([&] {
            GdipDrawImageRectRectI(s.graphics, s.image, 0, 0, 2 * kImageW, 2 * kImageH - 1, 0, 0, kImageW, kImageH,
                                   UnitPixel, s.key, nullptr, nullptr);
        });
    Report(state, subject, PixmanBaseline(s));
}
BENCHMARK(BM_DrawScaled2xKeyed)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
