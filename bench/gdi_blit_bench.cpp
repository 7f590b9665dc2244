// GDI's sprite paths on 32-bit bitmaps against the baselines they stand for, interleaved in the
// same repetitions on the same memory (blit_bench.h): AlphaBlend of a premultiplied sprite sheet
// against pixman OVER a8r8g8b8 -> x8r8g8b8; a SRCAND + SRCPAINT mask-sprite pair and a 1:1
// TransparentBlt against SDL2's colour-keyed blit of the same sprites; a full-frame BitBlt
// SRCCOPY against memcpy; a general raster operation, reported in bytes a second.
// Counters: speed_vs_<baseline> = baseline time / our time, the median over repetitions.
#include "blit_bench.h"

#include <pixman.h>
#include <windows.h>

#include <cstring>
#include <random>
#include <vector>

#ifdef MOX_BENCH_HAVE_SDL2
#include <SDL.h>
#endif

namespace {

constexpr int kFrameW = 1024, kFrameH = 768;
constexpr std::uint32_t kKey = 0x00ff00ff; // magenta

struct Section32 {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    std::uint32_t* bits = nullptr;
    int w, h;
    Section32(int width, int height) : w(width), h(height)
    {
        BITMAPINFO bmi;
        std::memset(&bmi, 0, sizeof bmi);
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<std::uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Section32()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

// A square sprite: a disc of colour on the key (or on transparent zeros), the disc's edge
// half-transparent in the premultiplied version.
std::uint32_t SpritePixel(int x, int y, int size, bool premultiplied)
{
    const double r = size / 2.0, dx = x + 0.5 - r, dy = y + 0.5 - r;
    const double d = dx * dx + dy * dy;
    const std::uint32_t colour = 0x00206090u + std::uint32_t((x * 7 + y * 3) & 0x3f);
    if (d > r * r)
        return premultiplied ? 0u : kKey;
    if (premultiplied && d > (r - 1.5) * (r - 1.5)) {
        const std::uint32_t a = 128;
        return a << 24 | (((colour >> 16) & 0xff) * a / 255) << 16 | (((colour >> 8) & 0xff) * a / 255) << 8 |
               ((colour & 0xff) * a / 255);
    }
    return (premultiplied ? 0xff000000u : 0u) | colour;
}

// Places of 1,000 sprites spread over the frame.
std::vector<std::pair<int, int>> Places(int size)
{
    std::mt19937 rng(5);
    std::vector<std::pair<int, int>> v(1000);
    for (auto& p : v)
        p = {int(rng() % unsigned(kFrameW - size)), int(rng() % unsigned(kFrameH - size))};
    return v;
}

#ifdef MOX_BENCH_HAVE_SDL2
// SDL2's keyed blit of the same sprite onto the same frame memory (XRGB8888 both).
struct SdlKeyed {
    SDL_Surface* src = nullptr;
    SDL_Surface* dst = nullptr;
    SdlKeyed(const Section32& sprite, const Section32& frame)
    {
        src = SDL_CreateRGBSurfaceWithFormatFrom(sprite.bits, sprite.w, sprite.h, 32, sprite.w * 4,
                                                 SDL_PIXELFORMAT_XRGB8888);
        dst = SDL_CreateRGBSurfaceWithFormatFrom(frame.bits, frame.w, frame.h, 32, frame.w * 4,
                                                 SDL_PIXELFORMAT_XRGB8888);
        SDL_SetColorKey(src, SDL_TRUE, SDL_MapRGB(src->format, 255, 0, 255));
    }
    ~SdlKeyed()
    {
        SDL_FreeSurface(src);
        SDL_FreeSurface(dst);
    }
};
#endif

// 1,000 sprites of one size: argument 0 through TransparentBlt, 1 through a monochrome mask
// (SRCAND) and the sprite with its key painted black (SRCPAINT), 2 the same pair with the mask
// kept as a 32-bit bitmap, against SDL2's keyed blit.
void BM_GdiKeyedSprites(benchmark::State& state)
{
    const int size = int(state.range(0));
    const int mode = int(state.range(1));
    Section32 frame(kFrameW, kFrameH), sprite(size, size), black(size, size), mask32(size, size);
    std::memset(frame.bits, 0x40, std::size_t(kFrameW) * kFrameH * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            sprite.bits[y * size + x] = SpritePixel(x, y, size, false);
    // The mask: 1 (white) where the key is, made by GDI from the sprite as programs make it.
    HBITMAP maskBm = CreateBitmap(size, size, 1, 1, nullptr);
    HDC maskDc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldMask = SelectObject(maskDc, maskBm);
    SetBkColor(sprite.dc, RGB(255, 0, 255));
    BitBlt(maskDc, 0, 0, size, size, sprite.dc, 0, 0, SRCCOPY);
    BitBlt(black.dc, 0, 0, size, size, sprite.dc, 0, 0, SRCCOPY);
    SetBkColor(black.dc, RGB(0, 0, 0));
    SetTextColor(black.dc, RGB(255, 255, 255));
    BitBlt(black.dc, 0, 0, size, size, maskDc, 0, 0, SRCAND);
    SetBkColor(mask32.dc, RGB(255, 255, 255));
    SetTextColor(mask32.dc, RGB(0, 0, 0));
    BitBlt(mask32.dc, 0, 0, size, size, maskDc, 0, 0, SRCCOPY);
    SetBkColor(frame.dc, RGB(255, 255, 255));
    SetTextColor(frame.dc, RGB(0, 0, 0));
    const auto places = Places(size);
    std::function<void()> ours;
    if (mode == 0)
        ours = [&] {
            for (const auto& p : places)
                TransparentBlt(frame.dc, p.first, p.second, size, size, sprite.dc, 0, 0, size, size, RGB(255, 0, 255));
        };
    else
        ours = [&, mode] {
            HDC m = mode == 1 ? maskDc : mask32.dc;
            for (const auto& p : places) {
                BitBlt(frame.dc, p.first, p.second, size, size, m, 0, 0, SRCAND);
                BitBlt(frame.dc, p.first, p.second, size, size, black.dc, 0, 0, SRCPAINT);
            }
        };
    std::vector<moxbench::Baseline> baselines;
#ifdef MOX_BENCH_HAVE_SDL2
    SdlKeyed sdl(sprite, frame);
    baselines.push_back({"sdl2", [&] {
                             for (const auto& p : places) {
                                 SDL_Rect at{p.first, p.second, size, size};
                                 SDL_BlitSurface(sdl.src, nullptr, sdl.dst, &at);
                             }
                         }});
#endif
    moxbench::Interleaved(state, ours, baselines);
    SelectObject(maskDc, oldMask);
    DeleteDC(maskDc);
    DeleteObject(maskBm);
}
BENCHMARK(BM_GdiKeyedSprites)
    ->ArgsProduct({{16, 32, 64}, {0, 1, 2}})
    ->ArgNames({"size", "mode"})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// AlphaBlend of a 512 x 512 premultiplied sheet of 64 x 64 disc sprites onto a 32-bit frame,
// against pixman OVER of the same sheet (a8r8g8b8) onto the same pixels (x8r8g8b8).
void BM_GdiAlphaBlendSheet(benchmark::State& state)
{
    constexpr int S = 512, cell = 64;
    Section32 frame(kFrameW, kFrameH), sheet(S, S);
    std::memset(frame.bits, 0x40, std::size_t(kFrameW) * kFrameH * 4);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            sheet.bits[y * S + x] = SpritePixel(x % cell, y % cell, cell, true);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, S, S, sheet.bits, S * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kFrameW, kFrameH, frame.bits, kFrameW * 4);
    const BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    moxbench::Interleaved(
        state, [&] { AlphaBlend(frame.dc, 100, 100, S, S, sheet.dc, 0, 0, S, S, bf); },
        {{"pixman", [&] { pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 100, 100, S, S); }}});
    pixman_image_unref(src);
    pixman_image_unref(dst);
}
BENCHMARK(BM_GdiAlphaBlendSheet)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A full 1024 x 768 32-bit frame: argument 0 BitBlt SRCCOPY against memcpy of its rows;
// 1 a raster operation without a fast path of its own (0xB8: PSDPxax) in bytes a second.
void BM_GdiFrame32(benchmark::State& state)
{
    Section32 src(kFrameW, kFrameH), dst(kFrameW, kFrameH);
    for (int i = 0; i < kFrameW * kFrameH; ++i)
        src.bits[i] = std::uint32_t(i) * 2654435761u;
    const DWORD rop = state.range(0) == 0 ? SRCCOPY : 0x00B8074A;
    const std::size_t rowBytes = std::size_t(kFrameW) * 4;
    moxbench::Interleaved(
        state, [&] { BitBlt(dst.dc, 0, 0, kFrameW, kFrameH, src.dc, 0, 0, rop); },
        {{"memcpy", [&] {
              for (int y = 0; y < kFrameH; ++y)
                  std::memcpy(dst.bits + std::size_t(y) * kFrameW, src.bits + std::size_t(y) * kFrameW, rowBytes);
          }}},
        double(rowBytes) * kFrameH);
}
BENCHMARK(BM_GdiFrame32)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
