// The reference kernels: the blitters' pixel rules written out one pixel at a time. Every
// vector kernel is tested against these, byte for byte.
#include "graphics/blit_kernels.h"

#include "graphics/blend.h"

#include <cstring>

namespace mox::blit {

void ScalarBgrPixels(std::uint8_t* d, const std::uint8_t* s, int w, bool keyed, Key key, int alpha)
{
    // A loop for each case, so that the pixel loop tests nothing but the key: tiny sprites and
    // the last pixels of the vector kernels' rows come here.
    if (alpha == 255) {
        if (!keyed) {
            if (w > 0)
                std::memcpy(d, s, std::size_t(w) * 3);
            return;
        }
        for (int j = 0; j < w; ++j, s += 3, d += 3) {
            std::uint8_t px[3]; // read once: d may alias s as far as the compiler knows
            std::memcpy(px, s, 3);
            if (px[0] == key.b && px[1] == key.g && px[2] == key.r)
                continue;
            std::memcpy(d, px, 3);
        }
        return;
    }
    for (int j = 0; j < w; ++j, s += 3, d += 3) {
        if (keyed && s[0] == key.b && s[1] == key.g && s[2] == key.r)
            continue;
        d[0] = BlendChannel(d[0], s[0], unsigned(alpha));
        d[1] = BlendChannel(d[1], s[1], unsigned(alpha));
        d[2] = BlendChannel(d[2], s[2], unsigned(alpha));
    }
}

void ScalarTgaPixels(std::uint8_t* d, const std::uint8_t* s, int w, unsigned opacity)
{
    for (int j = 0; j < w; ++j, s += 4, d += 3) {
        std::uint32_t p;
        std::memcpy(&p, s, 4);
        // Without a branch on alpha, which changes from pixel to pixel: 256 is the exact copy
        // and 0 leaves the pixel as it was.
        unsigned a = p >> 24;
        if (opacity != 255)
            a = (a * opacity) >> 8; // at most 253: never a copy
        else
            a += a == 255;
        d[0] = BlendChannel(d[0], p & 0xFF, a);
        d[1] = BlendChannel(d[1], (p >> 8) & 0xFF, a);
        d[2] = BlendChannel(d[2], (p >> 16) & 0xFF, a);
    }
}

namespace {

inline bool IsKey(const std::uint8_t* p, Key key)
{
    return p[0] == key.b && p[1] == key.g && p[2] == key.r;
}

// A keyed copy in runs: the pixels between keyed ones are block copies.
void KeyedCopyRow(std::uint8_t* d, const std::uint8_t* s, int w, Key key)
{
    int j = 0;
    while (j < w) {
        while (j < w && IsKey(s + 3 * j, key))
            ++j;
        const int start = j;
        while (j < w && !IsKey(s + 3 * j, key))
            ++j;
        std::memcpy(d + 3 * start, s + 3 * start, std::size_t(j - start) * 3);
    }
}

// Narrower keyed copies go pixel by pixel: the runs between keyed pixels are too short for
// their block copies to pay for the calls (on 16-pixel sprites keyed at random, pixel by pixel
// takes half the time).
constexpr int kRunMinWidth = 64;

void BgrRows(const BgrJob& job)
{
    if (job.w <= 0)
        return;
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    for (int k = 0; k < job.h; ++k, d += job.dstStride, s += job.srcStep) {
        if (!job.keyed && job.alpha == 255)
            std::memcpy(d, s, std::size_t(job.w) * 3);
        else if (job.alpha == 255 && job.w >= kRunMinWidth)
            KeyedCopyRow(d, s, job.w, job.key);
        else
            ScalarBgrPixels(d, s, job.w, job.keyed, job.key, job.alpha);
    }
}

void TgaRows(const TgaJob& job)
{
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    for (int k = 0; k < job.h; ++k, d += job.dstStride, s += 4 * job.srcStride)
        ScalarTgaPixels(d, s, job.w, job.opacity);
}

} // namespace

const Kernels kScalarKernels = {"scalar", BgrRows, TgaRows, 0};

} // namespace mox::blit
