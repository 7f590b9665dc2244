// The blit kernels for AVX-512 (F and BW). This unit alone is compiled for AVX-512; the
// dispatcher calls it only on CPUs that report it.
//
// A row's last pixels, and a whole row a register wide or narrower, go through masked loads and
// stores: a byte masked off is neither read nor written, and cannot fault even where its
// address lies outside the buffer, so one register op takes any row end and the kernels still
// touch nothing outside their region. That makes narrow regions (tiny sprites, slivers of a
// sprite drawn in part) worth a vector kernel from 2 pixels wide.
#include "graphics/blit_kernels.h"

#if defined(__x86_64__) || defined(_M_X64)
#if defined(__GNUC__) && !defined(__clang__)
// GCC's own AVX-512 headers start some intrinsics from a deliberately undefined register.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include "graphics/blit_vector.h"

#include <algorithm>

namespace mox::blit {

#if defined(__AVX512F__) && defined(__AVX512BW__)
namespace {

using Vec = __m512i;
using Mask = __mmask64;

// Bits lo to hi - 1 (0 <= lo < 64); none where hi <= lo, all up to 63 where hi > 64.
inline Mask Bits(std::ptrdiff_t lo, std::ptrdiff_t hi)
{
    if (hi <= lo)
        return 0;
    const Mask below = hi >= 64 ? ~Mask(0) : (Mask(1) << hi) - 1;
    return below & (~Mask(0) << lo);
}

// --- TGA ----------------------------------------------------------------------------------------

struct TgaConsts {
    Vec spread = _mm512_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6, 6, 7, 8, 9, 9, 10, 11, 12);
    Vec gather = _mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15);
    Vec expand = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1));
    Vec compact = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    Vec alphaBits = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    Vec scale;
    unsigned opacity;
    explicit TgaConsts(unsigned o) : scale(_mm512_set1_epi32(static_cast<int>(o))), opacity(o) {}
};

// How a step of up to 16 TGA pixels reaches memory. Measured on an AMD EPYC with AVX-512
// (narrow_blit_bench, same-run ratios): masked loads cost about what plain ones do, but a
// masked store slows the loads that follow it into the same 64 bytes, so whole steps through
// one masked 48-byte store ran 1.5 to 3.4 times as slow as through plain 32- and 16-byte ones
// on 24- to 200-pixel regions. Row ends take the masked step all the same: a last step of 16
// plain pixels overlapping the ones before (those with their alpha cleared) ran 0.6 to 0.8
// times as fast.
enum class Step {
    Whole,  // 16 pixels, plain loads and stores
    Masked, // the first n pixels, masked loads and stores of exactly 4n and 3n bytes
};

// Up to 16 TGA pixels: the destination bytes spread four pixels to each 128-bit quarter and
// packed back the same way.
template <Step kStep> inline void TgaPixels(std::uint8_t* d, const std::uint8_t* s, int n, const TgaConsts& k)
{
    const __mmask16 draw = kStep == Step::Whole ? __mmask16(0xFFFF) : __mmask16((1u << n) - 1);
    const Vec px = kStep == Step::Masked ? _mm512_maskz_loadu_epi32(draw, s) : _mm512_loadu_si512(s);
    const Vec alpha = _mm512_and_si512(px, k.alphaBits);
    if (_mm512_test_epi32_mask(alpha, alpha) == 0)
        return;
    Vec out;
    if (k.opacity == 255 && _mm512_cmpeq_epi32_mask(alpha, k.alphaBits) == draw) {
        out = px;
    } else {
        const Vec loaded =
            kStep == Step::Masked
                ? _mm512_maskz_loadu_epi8(Bits(0, 3 * n), d)
                : _mm512_inserti64x4(_mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(d))),
                                     _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 32))),
                                     1);
        const Vec dv = _mm512_shuffle_epi8(_mm512_permutexvar_epi32(k.spread, loaded), k.expand);
        Vec a = _mm512_srli_epi32(px, 24);
        if (k.opacity == 255) // 255 weighs 256: a copy
            a = _mm512_mask_add_epi32(a, _mm512_cmpeq_epi32_mask(a, _mm512_set1_epi32(255)), a, _mm512_set1_epi32(1));
        else
            a = _mm512_srli_epi32(_mm512_mullo_epi16(a, k.scale), 8); // A * opacity < 2^16
        a = _mm512_or_si512(a, _mm512_slli_epi32(a, 16));
        out = V512::BlendWide(dv, px, _mm512_unpacklo_epi32(a, a), _mm512_unpackhi_epi32(a, a));
    }
    out = _mm512_permutexvar_epi32(k.gather, _mm512_shuffle_epi8(out, k.compact));
    if (kStep == Step::Masked) {
        _mm512_mask_storeu_epi8(d, Bits(0, 3 * n), out);
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm512_castsi512_si256(out));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm512_extracti32x4_epi32(out, 2));
    }
}

void Tga(const TgaJob& job)
{
    const TgaConsts k(job.opacity);
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    for (int r = 0; r < job.h; ++r, d += job.dstStride, s += 4 * job.srcStride) {
        int p = 0;
        for (; p + 16 <= job.w; p += 16)
            TgaPixels<Step::Whole>(d + 3 * std::ptrdiff_t(p), s + 4 * std::ptrdiff_t(p), 16, k);
        if (p < job.w)
            TgaPixels<Step::Masked>(d + 3 * std::ptrdiff_t(p), s + 4 * std::ptrdiff_t(p), job.w - p, k);
    }
}

// --- 24-bit rows --------------------------------------------------------------------------------

// The key's patterns come from one byte shuffle and the phase masks are constants, so a job of
// a few pixels pays little to set them up.
constexpr Mask kEveryThird = 0x9249249249249249ull; // bits 0, 3, ..., 63: the pixels' first bytes

template <> struct KeyConsts<V512> {
    Vec pattern[3];
    Mask first[3];
    Mask notFirst[3];
    Vec alpha;
    Vec alpha16;

    KeyConsts(Key key, int opacity)
        : alpha(V512::Splat(static_cast<std::uint8_t>(opacity))), alpha16(V512::Weight16(opacity))
    {
        // Byte l of pattern c holds key channel (c + l) % 3: the shuffle picks it from the key's
        // three bytes, which every 16-byte lane holds.
        static const std::uint8_t kPhase[66] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0,
                                                1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1,
                                                2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2};
        const Vec keys = _mm512_broadcast_i32x4(_mm_cvtsi32_si128(key.b | key.g << 8 | key.r << 16));
        for (int c = 0; c < 3; ++c) {
            pattern[c] = _mm512_shuffle_epi8(keys, _mm512_loadu_si512(kPhase + c));
            first[c] = c == 0 ? kEveryThird : kEveryThird << (3 - c); // (c + l) % 3 == 0
            notFirst[c] = ~first[c];
        }
    }
};

// Keyed copy or blend of up to 21 whole pixels (63 bytes; `bytes` selects them) in one
// register, which starts at a pixel. One comparison with the key finds the bytes that match
// their key channel; a pixel is keyed when all three of its bits are set, which shifts of the
// 64-bit mask work out (the chunk starts at a pixel, so bit 3p is pixel p's first byte). Bytes
// of keyed pixels are not written.
template <bool kBlend>
inline void KeyedPixels(std::uint8_t* d, const std::uint8_t* s, Mask bytes, const KeyConsts<V512>& k)
{
    const Vec src = _mm512_maskz_loadu_epi8(bytes, s);
    const std::uint64_t eq = _cvtmask64_u64(_mm512_mask_cmpeq_epi8_mask(bytes, src, k.pattern[0]));
    const std::uint64_t keyed = eq & (eq >> 1) & (eq >> 2) & kEveryThird;
    const Mask write = bytes & ~_cvtu64_mask64(keyed | keyed << 1 | keyed << 2);
    if (write == 0)
        return;
    if (kBlend)
        _mm512_mask_storeu_epi8(d, write,
                                V512::BlendWide(_mm512_maskz_loadu_epi8(write, d), src, k.alpha16, k.alpha16));
    else
        _mm512_mask_storeu_epi8(d, write, src);
}

constexpr int kChunk = 21; // whole pixels in one register

// Keyed rows of at most one register's pixels, and keyed copies up to kSpanMinWidth pixels
// wide: a register of whole pixels at a time, so none needs bytes from its neighbours.
template <bool kBlend> void KeyedChunkRows(const BgrJob& job, const KeyConsts<V512>& k)
{
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    const int whole = (job.w - 1) / kChunk; // chunks before the last
    const Mask last = Bits(0, 3 * std::ptrdiff_t(job.w - whole * kChunk));
    for (int r = 0; r < job.h; ++r, d += job.dstStride, s += job.srcStep) {
        for (int c = 0; c < whole; ++c)
            KeyedPixels<kBlend>(d + 3 * kChunk * c, s + 3 * kChunk * c, Bits(0, 3 * kChunk), k);
        KeyedPixels<kBlend>(d + 3 * kChunk * whole, s + 3 * kChunk * whole, last, k);
    }
}

// Wider keyed rows: one chunk first (so the blocks after it may look two bytes back), blocks of
// three Wide registers, chunks for the rest.
//
// Keyed copies step in AVX2 registers: on pictures whose keyed areas come in patches, more of
// the narrower registers lie wholly on or off the key and take the shortcuts (1.3 times as
// fast as chunks on 64- to 100-pixel regions of such a picture, level from 200 pixels on); up to
// 48 pixels chunks are faster (1.2 to 1.6 times; measured before chunks found keyed pixels by
// shifting their mask, which on 512- and 1,024-pixel rows of such a picture made chunk after
// chunk 0.8 to 1.0 times as fast as the blocks, so the blocks stay). Blends gain from the
// width, and from the blocks' plain stores: chunk after chunk would have each one load
// destination bytes next to the previous one's masked store, which this CPU forwards badly
// (1.6 times as slow on 200-pixel regions; 0.6 times on 512-pixel rows with the mask shifts).
constexpr int kSpanMinWidth = 64;

template <bool kBlend, class Wide>
void KeyedSpanRows(const BgrJob& job, const KeyConsts<V512>& k, const KeyConsts<Wide>& wide)
{
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    for (int r = 0; r < job.h; ++r, d += job.dstStride, s += job.srcStep) {
        KeyedPixels<kBlend>(d, s, Bits(0, 3 * kChunk), k);
        int p = KeyedSpan<Wide, kBlend>(d, s, kChunk, job.w, wide);
        for (; p < job.w; p += kChunk)
            KeyedPixels<kBlend>(d + 3 * std::ptrdiff_t(p), s + 3 * std::ptrdiff_t(p),
                                Bits(0, 3 * std::ptrdiff_t(std::min(kChunk, job.w - p))), k);
    }
}

void Bgr(const BgrJob& job)
{
    if (job.w <= 0)
        return;
    if (job.keyed) {
        const KeyConsts<V512> k(job.key, job.alpha);
        if (job.alpha == 255 && job.w < kSpanMinWidth)
            KeyedChunkRows<false>(job, k);
        else if (job.alpha == 255)
            KeyedSpanRows<false>(job, k, KeyConsts<V256>(job.key, job.alpha));
        else if (job.w <= kChunk)
            KeyedChunkRows<true>(job, k);
        else
            KeyedSpanRows<true>(job, k, k);
        return;
    }
    const std::ptrdiff_t rowBytes = 3 * std::ptrdiff_t(job.w);
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    for (int r = 0; r < job.h; ++r, d += job.dstStride, s += job.srcStep) {
        if (job.alpha == 255 && rowBytes > 64) {
            std::memcpy(d, s, std::size_t(rowBytes));
            continue;
        }
        std::ptrdiff_t i = job.alpha == 255 ? 0 : BlendSpan<V512>(d, s, 0, rowBytes, job.alpha);
        if (i == rowBytes)
            continue;
        const Mask rest = Bits(0, rowBytes - i);
        const Vec src = _mm512_maskz_loadu_epi8(rest, s + i);
        const Vec a = V512::Weight16(job.alpha);
        _mm512_mask_storeu_epi8(
            d + i, rest, job.alpha == 255 ? src : V512::BlendWide(_mm512_maskz_loadu_epi8(rest, d + i), src, a, a));
    }
}

} // namespace

// Every path but the opaque copy wins from 2 pixels wide (the copy breaks even there); 1-pixel
// columns cost less in scalar code.
const Kernels kAvx512Kernels = {"avx512", Bgr, Tga, 2};
#else
const Kernels kAvx512Kernels = {"avx512", Rows<V128>::Bgr, Rows<V128>::Tga, Rows<V128>::kMinWidth};
#endif

} // namespace mox::blit
#endif
