// DrawSprite on scenes of 100, 1,000 and 10,000 sprites of which 1% move each frame, against a
// full redraw of the same scene (every sprite blitted whole, back to front) measured in the same
// run. Counters: microseconds per frame of each path and their ratio (incremental / full).
// Presenting is left out of both: DrawSprite runs on a canvas without a window.
//
// Two kinds of scene: the canvas grows with the sprite count so that sprites overlap about twice
// everywhere (the cost of a frame should then grow linearly), and a fixed 1024 x 768 canvas, where
// more sprites also means deeper overlap under every moving sprite.
#include <MoxImage2.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSprite = 16;

struct RawImage {
    std::vector<unsigned char> bytes;
    BITMAPINFO header{};
    std::unique_ptr<CMoxBitmap> bitmap;
    RawImage(int w, int h, std::uint32_t seed)
    {
        std::mt19937 rng(seed);
        bytes.resize(size_t(w) * h * 3);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = w;
        header.bmiHeader.biHeight = h;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        header.bmiHeader.biCompression = BI_RGB;
        bitmap = std::make_unique<CMoxBitmap>(bytes.data(), int(bytes.size()), header, 0);
    }
};

// A 32-bit TGA with a soft alpha ramp, written once to a scratch file.
std::unique_ptr<CMoxTga> MakeTga(int w, int h)
{
    std::string path = "/tmp/mox_composition_bench_" + std::to_string(std::random_device{}()) + ".tga";
    std::vector<unsigned char> file(18 + size_t(w) * h * 4, 0);
    file[2] = 2;
    file[12] = static_cast<unsigned char>(w);
    file[13] = static_cast<unsigned char>(w >> 8);
    file[14] = static_cast<unsigned char>(h);
    file[15] = static_cast<unsigned char>(h >> 8);
    file[16] = 32;
    file[17] = 8;
    for (int i = 0; i < w * h; ++i) {
        unsigned char* p = &file[18 + size_t(i) * 4];
        p[0] = 40;
        p[1] = static_cast<unsigned char>(i * 7);
        p[2] = 200;
        p[3] = static_cast<unsigned char>((i % w) * 255 / (w - 1));
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
    int width_, height_; // canvas size
    RawImage backdrop{width_, height_, 1};
    RawImage tile{kSprite, kSprite, 2};
    std::unique_ptr<CMoxTga> glass = MakeTga(kSprite, kSprite);
    CMoxSprite background;
    std::vector<CMoxSprite> sprites;
    std::vector<int> x, y, dx, dy;
    std::vector<size_t> moving;

    Scene(int count, int width, int height)
        : width_(width), height_(height), sprites(size_t(count)), x(count), y(count), dx(count, 0), dy(count, 0)
    {
        std::mt19937 rng(7);
        background.Init(backdrop.bitmap.get());
        for (int i = 0; i < count; ++i) {
            if (i % 2)
                sprites[i].Init(glass.get());
            else
                sprites[i].Init(tile.bitmap.get());
            x[i] = int(rng() % (width_ - kSprite));
            y[i] = int(rng() % (height_ - kSprite));
        }
        for (int i = 0; i < count; i += 100) {
            moving.push_back(size_t(i));
            dx[i] = 3;
            dy[i] = 2;
        }
    }

    void Step()
    {
        for (size_t i : moving) {
            if (x[i] + dx[i] < 0 || x[i] + dx[i] > width_ - kSprite)
                dx[i] = -dx[i];
            if (y[i] + dy[i] < 0 || y[i] + dy[i] > height_ - kSprite)
                dy[i] = -dy[i];
            x[i] += dx[i];
            y[i] += dy[i];
        }
    }

    void Compose(CMoxGraphics& canvas)
    {
        canvas.InitSprite();
        canvas.AddSprite(&background, 0, 0, 255);
        for (size_t i = 0; i < sprites.size(); ++i)
            canvas.AddSprite(&sprites[i], x[i], y[i], 255);
        canvas.DrawSprite(true);
    }

    void Redraw(CMoxGraphics& canvas)
    {
        canvas.Draw(backdrop.bitmap.get(), 0, 0, 0, 0, width_, height_);
        for (size_t i = 0; i < sprites.size(); ++i) {
            if (sprites[i].GetTga())
                canvas.Draw(sprites[i].GetTga(), x[i], y[i], 0, 0, kSprite, kSprite);
            else
                canvas.Draw(sprites[i].GetBitmap(), x[i], y[i], 0, 0, kSprite, kSprite);
        }
    }
};

void Measure(benchmark::State& state, int width, int height)
{
    CMoxGraphics starter;
    starter.GdiInit();
    Scene scene(int(state.range(0)), width, height);
    CMoxGraphics incremental, full;
    incremental.Init(width, height);
    full.Init(width, height);
    scene.Compose(incremental); // first frame draws everything; not measured

    using Clock = std::chrono::steady_clock;
    double incrementalSeconds = 0, fullSeconds = 0;
    for (auto _ : state) {
        scene.Step();
        auto t0 = Clock::now();
        scene.Compose(incremental);
        auto t1 = Clock::now();
        scene.Redraw(full);
        auto t2 = Clock::now();
        const double incr = std::chrono::duration<double>(t1 - t0).count();
        incrementalSeconds += incr;
        fullSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(incr);
    }
    const double frames = double(state.iterations());
    state.counters["incremental_us"] = incrementalSeconds / frames * 1e6;
    state.counters["full_redraw_us"] = fullSeconds / frames * 1e6;
    state.counters["ratio"] = fullSeconds > 0 ? incrementalSeconds / fullSeconds : 0;
}

// About two layers of sprites everywhere: side = sqrt(count x 16 x 16 / 2).
void BM_ConstantDensity(benchmark::State& state)
{
    const int side = std::max(kSprite * 2, int(std::sqrt(double(state.range(0)) * kSprite * kSprite / 2)));
    Measure(state, side, side);
}

void BM_FixedCanvas(benchmark::State& state)
{
    Measure(state, 1024, 768);
}

BENCHMARK(BM_ConstantDensity)->Arg(100)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FixedCanvas)->Arg(100)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
