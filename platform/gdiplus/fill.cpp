// Translucent brush fills of a rectangle in one pass over the 24-bit surface. pixman composites
// a 24-bit destination by converting each row to 32 bits and back around the blend; here the
// brush is first rendered once into its 8 x 8 premultiplied tile (by pixman itself, so solid
// colours and hatch tiles of any kind come out exactly as pixman would sample them), and then
// each destination byte becomes tile + destination * (255 - tile alpha) / 255 with pixman's
// rounding, which gives the bytes pixman's OVER gives.
#include "gdiplus_tools.h"

#include <pixman.h>

#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define MOXPLAT_FILL_SSE2 1
#endif

namespace moxplat {

namespace {

// x * y / 255, rounded as pixman rounds.
inline std::uint8_t MulUn8(unsigned x, unsigned y)
{
    const unsigned t = x * y + 0x80;
    return std::uint8_t((t + (t >> 8)) >> 8);
}

// One tile row laid out along a destination row: 16 pixels (48 bytes, a whole number of both
// 16-byte registers and 3-byte pixels) of premultiplied colour and of 255 - alpha, per byte.
struct RowPattern {
    alignas(16) std::uint8_t colour[48];
    alignas(16) std::uint8_t inverse[48];
};

void FillRow(std::uint8_t* d, std::size_t bytes, const RowPattern& p)
{
    std::size_t i = 0;
#ifdef MOXPLAT_FILL_SSE2
    const __m128i zero = _mm_setzero_si128(), round = _mm_set1_epi16(0x80), div = _mm_set1_epi16(0x101);
    for (std::size_t phase = 0; i + 16 <= bytes; i += 16, phase = phase == 32 ? 0 : phase + 16) {
        const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i inv = _mm_load_si128(reinterpret_cast<const __m128i*>(p.inverse + phase));
        // (t + (t >> 8)) >> 8 equals (t * 257) >> 16 for every t below 2^16.
        __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(dst, zero), _mm_unpacklo_epi8(inv, zero)), round);
        __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(dst, zero), _mm_unpackhi_epi8(inv, zero)), round);
        lo = _mm_mulhi_epu16(lo, div);
        hi = _mm_mulhi_epu16(hi, div);
        const __m128i colour = _mm_load_si128(reinterpret_cast<const __m128i*>(p.colour + phase));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_adds_epu8(_mm_packus_epi16(lo, hi), colour));
    }
#endif
    for (; i < bytes; ++i) {
        const unsigned sum = p.colour[i % 48] + MulUn8(d[i], p.inverse[i % 48]);
        d[i] = std::uint8_t(sum > 255 ? 255 : sum);
    }
}

} // namespace

bool FillTranslucent(const PixelSurface& surface, const GpBrush* brush, const PixelBox& box)
{
    if (box.Empty() || !surface.bits || surface.bitsPerPixel != 24 || !(AsSolid(brush) || AsHatch(brush)))
        return false;
    pixman_image_t* source = BrushSource(brush);
    if (!source)
        return false;
    // Only sources that repeat every 8 pixels: a solid colour, or an 8 x 8 tile.
    const bool periodic = pixman_image_get_data(source) == nullptr ||
                          (pixman_image_get_width(source) == 8 && pixman_image_get_height(source) == 8);
    std::uint32_t tile[64];
    pixman_image_t* tileImage =
        periodic ? pixman_image_create_bits(PIXMAN_a8r8g8b8, 8, 8, tile, 8 * sizeof(std::uint32_t)) : nullptr;
    if (tileImage)
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, tileImage, 0, 0, 0, 0, 0, 0, 8, 8);
    pixman_image_unref(source);
    if (!tileImage)
        return false;
    pixman_image_unref(tileImage);

    // Tile pixel (x mod 8, y mod 8) paints surface pixel (x, y): the tile is anchored at the origin.
    RowPattern rows[8];
    for (int r = 0; r < 8; ++r)
        for (int k = 0; k < 16; ++k) {
            const std::uint32_t px = tile[r * 8 + ((box.x0 + k) & 7)];
            for (int c = 0; c < 3; ++c) {
                rows[r].colour[3 * k + c] = std::uint8_t(px >> (8 * c));
                rows[r].inverse[3 * k + c] = std::uint8_t(255 - (px >> 24));
            }
        }
    const std::size_t bytes = std::size_t(box.Width()) * 3;
    for (int y = box.y0; y < box.y1; ++y)
        FillRow(surface.bits + std::ptrdiff_t(y) * surface.stride + std::ptrdiff_t(box.x0) * 3, bytes, rows[y & 7]);
    return true;
}

} // namespace moxplat
