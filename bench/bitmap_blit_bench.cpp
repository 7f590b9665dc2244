// The bitmap blitter over a whole canvas, each path against what a user would otherwise call,
// interleaved in the same repetitions on the same destination memory (blit_bench.h):
//   opaque copy, raw and file form        memcpy of the same rows
//   colour key                            SDL2 keyed blit, BGR24 to BGR24
//   constant opacity 128, with and       SDL2 alpha-modulated blit (with the key), and pixman
//   without key                           OVER through a solid a8 mask, r8g8b8 to r8g8b8
// Pictures: "blobs" (40% keyed, in round patches, smooth colours elsewhere) and "noise" (each
// pixel keyed with probability 0.4, random colours).
//
// BitmapKeyedSprites draws sprites instead: 1,000 keyed squares of 2 to 48 pixels a side at
// spread places on a 1024 x 768 canvas, through the public Draw call against SDL_BlitSurface of
// the same squares, so that each side pays its own per-call costs. Pictures: "disc" (keyed
// outside the inscribed circle, as a round sprite is) and "noise".
#include "blit_bench.h"

#include <MoxImage2.h>

#include <pixman.h>
#ifdef MOX_BENCH_HAVE_SDL2
#include <SDL.h>
#endif

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

enum class Picture { Blobs, Noise, Disc };
const unsigned char kKeyR = 255, kKeyG = 0, kKeyB = 255;

// Top row first, rows of exactly w x 3 bytes, blue green red.
std::vector<unsigned char> MakePicture(int w, int h, Picture picture)
{
    std::mt19937 rng(5);
    std::vector<unsigned char> px(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &px[(std::size_t(y) * w + x) * 3];
            bool key;
            if (picture == Picture::Disc) {
                const double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0;
                key = dx * dx + dy * dy > w * h / 4.0;
                p[0] = std::uint8_t(x * 255 / w);
                p[1] = std::uint8_t(y * 255 / h);
                p[2] = std::uint8_t((x + y) & 0x7F);
            } else if (picture == Picture::Noise) {
                key = rng() % 5 < 2;
                p[0] = std::uint8_t(rng());
                p[1] = std::uint8_t(rng());
                p[2] = std::uint8_t(rng());
            } else {
                // Discs of radius 36 on a 64-pixel grid: 1 - pi * 36^2 / 64^2 = 0.006 outside,
                // so key the discs' inside: about 40% of the area in round patches.
                const int dx = x % 64 - 32, dy = y % 64 - 32;
                key = dx * dx + dy * dy < 23 * 23;
                p[0] = std::uint8_t(x * 255 / w);
                p[1] = std::uint8_t(y * 255 / h);
                p[2] = std::uint8_t((x + y) & 0x7F);
            }
            if (key) {
                p[0] = kKeyB;
                p[1] = kKeyG;
                p[2] = kKeyR;
            }
        }
    return px;
}

// The same rows bottom row first, as a raw-form CMoxBitmap holds them.
std::vector<unsigned char> BottomUp(const std::vector<unsigned char>& topDown, int w, int h)
{
    const std::size_t rowBytes = std::size_t(w) * 3;
    std::vector<unsigned char> rows(topDown.size());
    for (int y = 0; y < h; ++y)
        std::memcpy(&rows[std::size_t(h - 1 - y) * rowBytes], &topDown[std::size_t(y) * rowBytes], rowBytes);
    return rows;
}

// The header of a bottom-up 24-bit DIB of w x h pixels.
BITMAPINFO Header24(int w, int h)
{
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = w;
    header.bmiHeader.biHeight = h;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    return header;
}

std::string WriteBmp(int w, int h, const std::vector<unsigned char>& topDown)
{
    const std::string path = "/tmp/bitmap_blit_bench-" + std::to_string(::getpid()) + ".bmp";
    const std::uint32_t rowBytes = std::uint32_t(w) * 3; // every size here is a multiple of 4
    const std::uint32_t imageBytes = rowBytes * std::uint32_t(h);
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = std::uint8_t(v >> (8 * i));
    };
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(w));
    put32(22, std::uint32_t(h));
    header[26] = 1;
    header[28] = 24;
    put32(34, imageBytes);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return path;
    std::fwrite(header, 1, sizeof header, f);
    for (int y = h - 1; y >= 0; --y)
        std::fwrite(&topDown[std::size_t(y) * rowBytes], 1, rowBytes, f);
    std::fclose(f);
    return path;
}

struct Scene {
    int w, h;
    CMoxGraphics canvas;
    std::vector<unsigned char> topDown, bottomUp;
    CMoxBitmap plain, keyed, file;
    pixman_image_t* pixDst = nullptr;
    pixman_image_t* pixSrc = nullptr;
    pixman_image_t* pixMask = nullptr;
#ifdef MOX_BENCH_HAVE_SDL2
    SDL_Surface* sdlDst = nullptr;
    SDL_Surface* sdlSrc = nullptr;
#endif

    Scene(int width, int height, Picture picture, bool withFile) : w(width), h(height)
    {
        canvas.GdiInit();
        canvas.Init(w, h);
        canvas.FillRectangle(0, 0, w, h, 30, 60, 90);
        topDown = MakePicture(w, h, picture);
        const std::size_t rowBytes = std::size_t(w) * 3;
        bottomUp = BottomUp(topDown, w, h);
        BITMAPINFO header = Header24(w, h);
        plain.Init(bottomUp.data(), int(bottomUp.size()), header, 0);
        keyed.Init(bottomUp.data(), int(bottomUp.size()), header, kKeyR, kKeyG, kKeyB);
        if (withFile) {
            const std::string path = WriteBmp(w, h, topDown);
            file.Init(std::wstring(path.begin(), path.end()).c_str());
            std::remove(path.c_str());
        }

        // The baselines draw into the canvas's own memory, from the same pixels.
        pixDst = pixman_image_create_bits(PIXMAN_r8g8b8, w, h, reinterpret_cast<uint32_t*>(canvas.m_pDIBBits),
                                          canvas.m_nStride);
        pixSrc =
            pixman_image_create_bits(PIXMAN_r8g8b8, w, h, reinterpret_cast<uint32_t*>(topDown.data()), int(rowBytes));
        pixman_color_t half = {0, 0, 0, 128 * 257};
        pixMask = pixman_image_create_solid_fill(&half);
#ifdef MOX_BENCH_HAVE_SDL2
        sdlDst =
            SDL_CreateRGBSurfaceWithFormatFrom(canvas.m_pDIBBits, w, h, 24, canvas.m_nStride, SDL_PIXELFORMAT_BGR24);
        sdlSrc = SDL_CreateRGBSurfaceWithFormatFrom(topDown.data(), w, h, 24, int(rowBytes), SDL_PIXELFORMAT_BGR24);
#endif
    }
    ~Scene()
    {
        pixman_image_unref(pixMask);
        pixman_image_unref(pixSrc);
        pixman_image_unref(pixDst);
#ifdef MOX_BENCH_HAVE_SDL2
        SDL_FreeSurface(sdlSrc);
        SDL_FreeSurface(sdlDst);
#endif
    }

    moxbench::Baseline Memcpy()
    {
        return {"memcpy", [this] {
                    const std::size_t rowBytes = std::size_t(w) * 3;
                    for (int k = 0; k < h; ++k)
                        std::memcpy(canvas.m_pDIBBits + std::size_t(k) * canvas.m_nStride,
                                    &bottomUp[std::size_t(h - 1 - k) * rowBytes], rowBytes);
                }};
    }
    moxbench::Baseline PixmanOver()
    {
        return {"pixman",
                [this] { pixman_image_composite32(PIXMAN_OP_OVER, pixSrc, pixMask, pixDst, 0, 0, 0, 0, 0, 0, w, h); }};
    }
#ifdef MOX_BENCH_HAVE_SDL2
    // SDL2 with the key and/or a constant alpha set on the source surface.
    moxbench::Baseline Sdl(bool key, int alpha)
    {
        SDL_SetColorKey(sdlSrc, key ? SDL_TRUE : SDL_FALSE, SDL_MapRGB(sdlSrc->format, kKeyR, kKeyG, kKeyB));
        SDL_SetSurfaceAlphaMod(sdlSrc, std::uint8_t(alpha));
        SDL_SetSurfaceBlendMode(sdlSrc, alpha == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
        return {"sdl2", [this] {
                    SDL_Rect at{0, 0, w, h};
                    SDL_BlitSurface(sdlSrc, nullptr, sdlDst, &at);
                }};
    }
#endif
};

enum class Path { Opaque, OpaqueFile, Keyed, Blended, KeyedBlended };

void Run(benchmark::State& state, moxbench::Size size, Picture picture, Path path)
{
    Scene s(size.w, size.h, picture, path == Path::OpaqueFile);
    std::vector<moxbench::Baseline> baselines;
    std::function<void()> ours;
    switch (path) {
    case Path::Opaque:
        ours = [&] { s.canvas.Draw(&s.plain, 0, 0, 0, 0, s.w, s.h); };
        baselines.push_back(s.Memcpy());
        break;
    case Path::OpaqueFile:
        ours = [&] { s.canvas.Draw(&s.file, 0, 0, 0, 0, s.w, s.h); };
        baselines.push_back(s.Memcpy());
        break;
    case Path::Keyed:
        ours = [&] { s.canvas.Draw(&s.keyed, 0, 0, 0, 0, s.w, s.h); };
#ifdef MOX_BENCH_HAVE_SDL2
        baselines.push_back(s.Sdl(true, 255));
#endif
        break;
    case Path::Blended:
    case Path::KeyedBlended: {
        CMoxBitmap* image = path == Path::Blended ? &s.plain : &s.keyed;
        ours = [&s, image] { s.canvas.Draw(image, 0, 0, 0, 0, s.w, s.h, 128); };
#ifdef MOX_BENCH_HAVE_SDL2
        baselines.push_back(s.Sdl(path == Path::KeyedBlended, 128));
#endif
        baselines.push_back(s.PixmanOver());
        break;
    }
    }
    moxbench::Interleaved(state, ours, baselines, double(s.w) * s.h * 3);
}

#ifdef MOX_BENCH_HAVE_SDL2
void RunSprites(benchmark::State& state, int side, Picture picture)
{
    constexpr int kW = 1024, kH = 768, kDraws = 1000;
    CMoxGraphics canvas;
    canvas.GdiInit();
    canvas.Init(kW, kH);
    canvas.FillRectangle(0, 0, kW, kH, 30, 60, 90);
    const std::vector<unsigned char> topDown = MakePicture(side, side, picture);
    const std::size_t rowBytes = std::size_t(side) * 3;
    std::vector<unsigned char> bottomUp = BottomUp(topDown, side, side);
    BITMAPINFO header = Header24(side, side);
    CMoxBitmap sprite;
    sprite.Init(bottomUp.data(), int(bottomUp.size()), header, kKeyR, kKeyG, kKeyB);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(canvas.m_pDIBBits, kW, kH, 24, canvas.m_nStride,
                                                          SDL_PIXELFORMAT_BGR24);
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<unsigned char*>(topDown.data()), side, side, 24,
                                                          int(rowBytes), SDL_PIXELFORMAT_BGR24);
    SDL_SetColorKey(src, SDL_TRUE, SDL_MapRGB(src->format, kKeyR, kKeyG, kKeyB));
    std::vector<SDL_Rect> places;
    for (int i = 0; i < kDraws; ++i)
        places.push_back(SDL_Rect{(i * 397) % (kW - side), (i * 211) % (kH - side), side, side});
    auto ours = [&] {
        for (const SDL_Rect& at : places)
            canvas.Draw(&sprite, at.x, at.y, 0, 0, side, side);
    };
    auto sdl = [&] {
        for (SDL_Rect at : places)
            SDL_BlitSurface(src, nullptr, dst, &at);
    };
    moxbench::Interleaved(state, ours, {{"sdl2", sdl}}, double(side) * side * 3 * kDraws);
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}
#endif

void RegisterAll()
{
    const struct {
        const char* name;
        Path path;
        std::vector<Picture> pictures;
    } paths[] = {
        {"Opaque", Path::Opaque, {Picture::Blobs}},
        {"OpaqueFileForm", Path::OpaqueFile, {Picture::Blobs}},
        {"Keyed", Path::Keyed, {Picture::Blobs, Picture::Noise}},
        {"Opacity128", Path::Blended, {Picture::Blobs}},
        {"KeyedOpacity128", Path::KeyedBlended, {Picture::Blobs, Picture::Noise}},
    };
    for (const auto& p : paths)
        for (Picture picture : p.pictures)
            for (const moxbench::Size& size : moxbench::Sizes()) {
                const std::string name = std::string("Bitmap") + p.name + "/" + std::to_string(size.w) + "x" +
                                         std::to_string(size.h) + (picture == Picture::Blobs ? "/blobs" : "/noise");
                const Path path = p.path;
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) { Run(st, size, picture, path); })
                    ->UseManualTime()
                    ->Unit(benchmark::kMicrosecond)
                    ->Iterations(size.w > 2000 ? 31 : 61);
            }
#ifdef MOX_BENCH_HAVE_SDL2
    for (Picture picture : {Picture::Disc, Picture::Noise})
        for (int side : {2, 4, 8, 16, 32, 48}) {
            const std::string name = "BitmapKeyedSprites/" + std::to_string(side) + "x" + std::to_string(side) +
                                     (picture == Picture::Disc ? "/disc" : "/noise");
            benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) { RunSprites(st, side, picture); })
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond)
                ->Iterations(61);
        }
#endif
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
