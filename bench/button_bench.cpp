// A pointer moving on and off one of three image buttons over a full-canvas background: each
// frame the button's look changes and the scene is composed again. Measured against a full
// redraw of the same frame (background and the three current looks blitted whole) in the same
// run. Counters: microseconds per frame of each path and their ratio (buttons / full).
#include <MoxImage2.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr int kButtonW = 108;
constexpr int kButtonH = 34;

struct Backdrop {
    std::vector<unsigned char> bytes;
    BITMAPINFO header{};
    std::unique_ptr<CMoxBitmap> bitmap;
    Backdrop()
    {
        std::mt19937 rng(3);
        bytes.resize(size_t(kWidth) * kHeight * 3);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = kWidth;
        header.bmiHeader.biHeight = kHeight;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        header.bmiHeader.biCompression = BI_RGB;
        bitmap = std::make_unique<CMoxBitmap>(bytes.data(), int(bytes.size()), header, 0);
    }
};

// Four looks stacked in one TGA with soft alpha edges, as button strips usually are.
std::unique_ptr<CMoxTga> MakeStrip()
{
    const int w = kButtonW, h = 4 * kButtonH;
    const std::string path = "/tmp/mox_button_bench_" + std::to_string(std::random_device{}()) + ".tga";
    std::vector<unsigned char> file(18 + size_t(w) * h * 4, 0);
    file[2] = 2;
    file[12] = static_cast<unsigned char>(w);
    file[14] = static_cast<unsigned char>(h);
    file[16] = 32;
    file[17] = 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &file[18 + (size_t(y) * w + x) * 4];
            const int edge = std::min(std::min(x, w - 1 - x), std::min(y % kButtonH, kButtonH - 1 - y % kButtonH));
            p[0] = static_cast<unsigned char>(60 + 40 * (y / kButtonH));
            p[1] = 120;
            p[2] = 200;
            p[3] = static_cast<unsigned char>(edge >= 3 ? 255 : 80 * edge);
        }
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    auto tga = std::make_unique<CMoxTga>(path.c_str());
    std::remove(path.c_str());
    return tga;
}

struct Scene {
    Backdrop backdrop;
    std::unique_ptr<CMoxTga> strip = MakeStrip();
    CMoxSprite background;
    CMoxButton buttons[3];

    Scene()
    {
        background.Init(backdrop.bitmap.get());
        for (int i = 0; i < 3; ++i)
            buttons[i].Init(nullptr, 100 + i, 280 + 114 * i, 340, strip.get(), 4);
    }

    void Pointer(int frame)
    {
        const int x = frame % 2 ? 330 : 330 - kButtonW; // on the first button, then just off it
        for (auto& b : buttons)
            b.OnMouseMove(x, 350);
    }

    void Compose(CMoxGraphics& canvas)
    {
        canvas.InitSprite();
        canvas.AddSprite(&background, 0, 0, 255);
        for (auto& b : buttons)
            canvas.AddSprite(&b);
        canvas.DrawSprite(true);
    }

    void Redraw(CMoxGraphics& canvas)
    {
        canvas.Draw(backdrop.bitmap.get(), 0, 0, 0, 0, kWidth, kHeight);
        for (auto& b : buttons) {
            CMoxSprite* s = b.GetSprite();
            canvas.Draw(s->GetTga(), s->GetX(), s->GetY(), s->GetSrcX(), s->GetSrcY(), s->GetWidth(), s->GetHeight());
        }
    }
};

void BM_ButtonLookChangeAgainstFullRedraw(benchmark::State& state)
{
    CMoxGraphics starter;
    starter.GdiInit();
    Scene scene;
    CMoxGraphics composed, full;
    composed.Init(kWidth, kHeight);
    full.Init(kWidth, kHeight);
    scene.Compose(composed); // the first frame draws everything; not measured

    using Clock = std::chrono::steady_clock;
    double composedSeconds = 0, fullSeconds = 0;
    int frame = 0;
    for (auto _ : state) {
        scene.Pointer(++frame);
        const auto t0 = Clock::now();
        scene.Compose(composed);
        const auto t1 = Clock::now();
        scene.Redraw(full);
        const auto t2 = Clock::now();
        const double c = std::chrono::duration<double>(t1 - t0).count();
        composedSeconds += c;
        fullSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(c);
    }
    const double frames = double(state.iterations());
    state.counters["buttons_us"] = composedSeconds / frames * 1e6;
    state.counters["full_redraw_us"] = fullSeconds / frames * 1e6;
    state.counters["ratio"] = fullSeconds > 0 ? composedSeconds / fullSeconds : 0;
}

BENCHMARK(BM_ButtonLookChangeAgainstFullRedraw)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
