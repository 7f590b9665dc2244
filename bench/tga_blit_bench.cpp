// The TGA blitter over a whole canvas, with and without a constant opacity, against pixman
// (OVER, premultiplied a8r8g8b8 onto r8g8b8, through a solid a8 mask for the opacity) and SDL2
// (ARGB8888 onto BGR24 with SDL_BLENDMODE_BLEND, alpha-modulated for the opacity), interleaved
// in the same repetitions on the same destination memory (blit_bench.h).
// Pictures: "sprites" (soft-edged discs: 41% opaque, 34% clear, 25% partial), "partial"
// (every pixel partly transparent) and "noise" (opaque, clear and partial in no order).
#include "blit_bench.h"

#include <MoxImage2.h>

#include <pixman.h>
#ifdef MOX_BENCH_HAVE_SDL2
#include <SDL.h>
#endif

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

enum class Picture { Sprites, Partial, Noise };

std::vector<std::uint8_t> MakePixels(int w, int h, Picture picture)
{
    std::mt19937 rng(7);
    std::vector<std::uint8_t> bgra(std::size_t(w) * std::size_t(h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &bgra[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 4];
            p[0] = std::uint8_t(rng());
            p[1] = std::uint8_t(rng());
            p[2] = std::uint8_t(rng());
            if (picture == Picture::Partial) {
                p[3] = std::uint8_t(1 + rng() % 254);
            } else if (picture == Picture::Noise) {
                const unsigned k = rng() % 3;
                p[3] = k == 0 ? 255 : k == 1 ? 0 : std::uint8_t(1 + rng() % 254);
            } else {
                // On a 128-pixel grid: opaque inside radius 46.2 (41% of a cell), a soft ring to
                // radius 58.7 (25%), clear beyond (34%).
                const double dx = x % 128 - 63.5, dy = y % 128 - 63.5;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double t = (58.7 - r) / 12.5;
                p[3] = t >= 1 ? 255 : t <= 0 ? 0 : std::uint8_t(1 + t * 253);
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

struct Scene {
    int w, h;
    CMoxGraphics canvas;
    CMoxTga tga;
    std::vector<std::uint8_t> straight;       // SDL2's source: ARGB8888, not premultiplied
    std::vector<std::uint32_t> premultiplied; // pixman's source
    pixman_image_t* pixSrc = nullptr;
    pixman_image_t* pixDst = nullptr;
    pixman_image_t* pixMask = nullptr;
#ifdef MOX_BENCH_HAVE_SDL2
    SDL_Surface* sdlSrc = nullptr;
    SDL_Surface* sdlDst = nullptr;
#endif
    bool ok = false;

    Scene(int width, int height, Picture picture) : w(width), h(height)
    {
        straight = MakePixels(w, h, picture);
        const std::string path = WriteTga(w, h, straight);
        const bool loaded = tga.Init(path.c_str());
        std::remove(path.c_str());
        if (!loaded || !canvas.Init(w, h) || !canvas.m_pDIBBits)
            return;
        canvas.FillRectangle(0, 0, w, h, 40, 90, 160);
        premultiplied.resize(std::size_t(w) * h);
        for (std::size_t i = 0; i < premultiplied.size(); ++i) {
            const std::uint32_t a = straight[4 * i + 3];
            auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            premultiplied[i] =
                (a << 24) | (mul(straight[4 * i + 2]) << 16) | (mul(straight[4 * i + 1]) << 8) | mul(straight[4 * i]);
        }
        pixSrc = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, premultiplied.data(), w * 4);
        pixDst = pixman_image_create_bits(PIXMAN_r8g8b8, w, h, reinterpret_cast<std::uint32_t*>(canvas.m_pDIBBits),
                                          canvas.m_nStride);
        pixman_color_t half = {0, 0, 0, 128 * 257};
        pixMask = pixman_image_create_solid_fill(&half);
#ifdef MOX_BENCH_HAVE_SDL2
        sdlSrc = SDL_CreateRGBSurfaceWithFormatFrom(straight.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888);
        sdlDst =
            SDL_CreateRGBSurfaceWithFormatFrom(canvas.m_pDIBBits, w, h, 24, canvas.m_nStride, SDL_PIXELFORMAT_BGR24);
        SDL_SetSurfaceBlendMode(sdlSrc, SDL_BLENDMODE_BLEND);
#endif
        ok = pixSrc && pixDst && pixMask;
    }
    ~Scene()
    {
        if (pixMask)
            pixman_image_unref(pixMask);
        if (pixSrc)
            pixman_image_unref(pixSrc);
        if (pixDst)
            pixman_image_unref(pixDst);
#ifdef MOX_BENCH_HAVE_SDL2
        SDL_FreeSurface(sdlSrc);
        SDL_FreeSurface(sdlDst);
#endif
    }
};

void Run(benchmark::State& state, moxbench::Size size, Picture picture, bool withOpacity)
{
    Scene s(size.w, size.h, picture);
    if (!s.ok) {
        state.SkipWithError("canvas or image could not be set up");
        return;
    }
    std::vector<moxbench::Baseline> baselines;
    baselines.push_back({"pixman", [&s, withOpacity] {
                             pixman_image_composite32(PIXMAN_OP_OVER, s.pixSrc, withOpacity ? s.pixMask : nullptr,
                                                      s.pixDst, 0, 0, 0, 0, 0, 0, s.w, s.h);
                         }});
#ifdef MOX_BENCH_HAVE_SDL2
    SDL_SetSurfaceAlphaMod(s.sdlSrc, withOpacity ? 128 : 255);
    baselines.push_back({"sdl2", [&s] {
                             SDL_Rect at{0, 0, s.w, s.h};
                             SDL_BlitSurface(s.sdlSrc, nullptr, s.sdlDst, &at);
                         }});
#endif
    std::function<void()> ours;
    if (withOpacity)
        ours = [&s] { s.canvas.Draw(&s.tga, 0, 0, 0, 0, s.w, s.h, 128); };
    else
        ours = [&s] { s.canvas.Draw(&s.tga, 0, 0); };
    moxbench::Interleaved(state, ours, baselines, double(s.w) * s.h * 4);
}

void RegisterAll()
{
    const std::pair<const char*, Picture> pictures[] = {
        {"sprites", Picture::Sprites}, {"partial", Picture::Partial}, {"noise", Picture::Noise}};
    for (bool withOpacity : {false, true})
        for (const auto& [pictureName, picture] : pictures)
            for (const moxbench::Size& size : moxbench::Sizes()) {
                const std::string name = std::string(withOpacity ? "TgaOpacity128/" : "Tga/") + std::to_string(size.w) +
                                         "x" + std::to_string(size.h) + "/" + pictureName;
                const Picture p = picture;
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& st) { Run(st, size, p, withOpacity); })
                    ->UseManualTime()
                    ->Unit(benchmark::kMicrosecond)
                    ->Iterations(size.w > 2000 ? 31 : 61);
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
