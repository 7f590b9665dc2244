// The blit kernels for AVX-512 (F and BW). This unit alone is compiled for AVX-512; the
// dispatcher calls it only on CPUs that report it.
//
// A row's last pixels, and a whole row a register wide or narrower, go through masked loads and
// stores: a byte masked off is neither read nor written, and cannot fault even where its
// address lies outside the buffer, so one register op takes any row end and the kernels still
// touch nothing outside their region. That makes narrow regions (tiny sprites, slivers of a
// sprite drawn in part) as cheap per pixel as wide ones.
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

// p + offset as an address only: offset may reach before the buffer when every byte there is
// masked off.
inline const std::uint8_t* At(const std::uint8_t* p, std::ptrdiff_t offset)
{
    return reinterpret_cast<const std::uint8_t*>(reinterpret_cast<std::uintptr_t>(p) + std::uintptr_t(offset));
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

// n TGA pixels, 1 to 16: 3n destination bytes spread four pixels to each 128-bit quarter and
// packed back the same way, through masked loads and stores of exactly 4n and 3n bytes.
// Measured on an AMD EPYC (Zen 4): whole steps of 16 pixels through one masked 48-byte load and
// store ran as fast as through 32- and 16-byte plain ones (tga_blit_bench, within noise), so
// every step takes the same masked path.
inline void TgaPixels(std::uint8_t* d, const std::uint8_t* s, int n, const TgaConsts& k)
{
    const __mmask16 pixels = __mmask16((1u << n) - 1);
    const Mask bytes = Bits(0, 3 * n);
    const Vec px = _mm512_maskz_loadu_epi32(pixels, s);
    const Vec alpha = _mm512_and_si512(px, k.alphaBits);
    if (_mm512_test_epi32_mask(alpha, alpha) == 0)
        return;
    Vec out;
    if (k.opacity == 255 && _mm512_cmpeq_epi32_mask(alpha, k.alphaBits) == pixels) {
        out = px;
    } else {
        const Vec dv = _mm512_shuffle_epi8(_mm512_permutexvar_epi32(k.spread, _mm512_maskz_loadu_epi8(bytes, d)),
                                           k.expand);
        Vec a = _mm512_srli_epi32(px, 24);
        if (k.opacity == 255) // 255 weighs 256: a copy
            a = _mm512_mask_add_epi32(a, _mm512_cmpeq_epi32_mask(a, _mm512_set1_epi32(255)), a, _mm512_set1_epi32(1));
        else
            a = _mm512_srli_epi32(_mm512_mullo_epi16(a, k.scale), 8); // A * opacity < 2^16
        a = _mm512_or_si512(a, _mm512_slli_epi32(a, 16));
        out = V512::BlendWide(dv, px, _mm512_unpacklo_epi32(a, a), _mm512_unpackhi_epi32(a, a));
    }
    _mm512_mask_storeu_epi8(d, bytes, _mm512_permutexvar_epi32(k.gather, _mm512_shuffle_epi8(out, k.compact)));
}

void Tga(const TgaJob& job)
{
    const TgaConsts k(job.opacity);
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    for (int r = 0; r < job.h; ++r, d += job.dstStride, s += 4 * job.srcStride) {
        int p = 0;
        for (; p + 16 <= job.w; p += 16)
            TgaPixels(d + 3 * std::ptrdiff_t(p), s + 4 * std::ptrdiff_t(p), 16, k);
        if (p < job.w)
            TgaPixels(d + 3 * std::ptrdiff_t(p), s + 4 * std::ptrdiff_t(p), job.w - p, k);
    }
}

// --- 24-bit rows --------------------------------------------------------------------------------

// The key's patterns come from one byte shuffle and the phase masks are constants: a job of a
// few pixels pays little to set them up.
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
        constexpr Mask kEveryThird = 0x9249249249249249ull; // bits 0, 3, ..., 63
        for (int c = 0; c < 3; ++c) {
            pattern[c] = _mm512_shuffle_epi8(keys, _mm512_loadu_si512(kPhase + c));
            first[c] = c == 0 ? kEveryThird : kEveryThird << (3 - c); // (c + l) % 3 == 0
            notFirst[c] = ~first[c];
        }
    }
};

// Keyed copy or blend of row bytes [o, o + n), n at most 64, the first of phase o % 3, in one
// masked register. The neighbours a byte's pixel needs are loaded from up to two bytes either
// side, masked to the row, so this register may start at the row's first byte and end at its
// last. Bytes of keyed pixels are not written at all.
template <bool kBlend>
inline void KeyedBytesMasked(std::uint8_t* d, const std::uint8_t* s, std::ptrdiff_t o, std::ptrdiff_t n,
                             std::ptrdiff_t rowBytes, const KeyConsts<V512>& k)
{
    const auto load = [&](std::ptrdiff_t shift) { // s[o + shift + l] where inside the row, else 0
        return _mm512_maskz_loadu_epi8(Bits(o + shift < 0 ? -(o + shift) : 0, rowBytes - o - shift), At(s, o + shift));
    };
    const int c = int(o % 3), c1 = (c + 1) % 3, c2 = (c + 2) % 3;
    Mask write = Bits(0, n);
    const Vec src = _mm512_maskz_loadu_epi8(write, s + o);
    const Mask e0 = _mm512_mask_cmpeq_epi8_mask(write, src, k.pattern[c]);
    if (e0 != 0) { // some byte may belong to a keyed pixel: look at its neighbours (KeyedBytes)
        const Mask e1 = _mm512_cmpeq_epi8_mask(load(1), k.pattern[c1]) | k.first[c1];
        const Mask e2 = _mm512_cmpeq_epi8_mask(load(2), k.pattern[c2]) | k.notFirst[c];
        const Mask m1 = _mm512_cmpeq_epi8_mask(load(-1), k.pattern[c2]) | k.first[c];
        const Mask m2 = _mm512_cmpeq_epi8_mask(load(-2), k.pattern[c1]) | k.notFirst[c1];
        write &= ~(e0 & e1 & e2 & m1 & m2);
        if (write == 0)
            return;
    }
    if (kBlend)
        _mm512_mask_storeu_epi8(d + o, write,
                                V512::BlendWide(_mm512_maskz_loadu_epi8(write, d + o), src, k.alpha16, k.alpha16));
    else
        _mm512_mask_storeu_epi8(d + o, write, src);
}

// Keyed rows wider than a register: one masked register over the first 21 pixels (so the
// blocks after it may look two bytes back), blocks of Wide registers, masked registers for the
// rest.
template <bool kBlend, class Wide>
void KeyedWideRows(const BgrJob& job, const KeyConsts<V512>& k, const KeyConsts<Wide>& wide)
{
    const std::ptrdiff_t rowBytes = 3 * std::ptrdiff_t(job.w);
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    for (int r = 0; r < job.h; ++r, d += job.dstStride, s += job.srcStep) {
        KeyedBytesMasked<kBlend>(d, s, 0, 63, rowBytes, k);
        const int p = KeyedSpan<Wide, kBlend>(d, s, 21, job.w, wide);
        for (std::ptrdiff_t o = 3 * std::ptrdiff_t(p); o < rowBytes; o += 64)
            KeyedBytesMasked<kBlend>(d, s, o, std::min<std::ptrdiff_t>(64, rowBytes - o), rowBytes, k);
    }
}

template <bool kBlend> void KeyedRows(const BgrJob& job)
{
    const KeyConsts<V512> k(job.key, job.alpha);
    const std::ptrdiff_t rowBytes = 3 * std::ptrdiff_t(job.w);
    if (rowBytes <= 64) {
        std::uint8_t* d = job.dst;
        const std::uint8_t* s = job.src;
        for (int r = 0; r < job.h; ++r, d += job.dstStride, s += job.srcStep)
            KeyedBytesMasked<kBlend>(d, s, 0, rowBytes, rowBytes, k);
    } else if (kBlend) {
        KeyedWideRows<kBlend>(job, k, k);
    } else {
        // Keyed copies step in AVX2 registers: on pictures whose keyed areas come in patches,
        // more of the narrower registers lie wholly on or off the key and take the shortcuts,
        // which measured faster than the wider registers; blends gain from the width.
        KeyedWideRows<kBlend>(job, k, KeyConsts<V256>(job.key, job.alpha));
    }
}

void Bgr(const BgrJob& job)
{
    if (job.w <= 0)
        return;
    if (job.keyed) {
        if (job.alpha == 255)
            KeyedRows<false>(job);
        else
            KeyedRows<true>(job);
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
        _mm512_mask_storeu_epi8(d + i, rest,
                                job.alpha == 255
                                    ? src
                                    : V512::BlendWide(_mm512_maskz_loadu_epi8(rest, d + i), src, a, a));
    }
}

} // namespace

const Kernels kAvx512Kernels = {"avx512", Bgr, Tga};
#else
const Kernels kAvx512Kernels = {"avx512", Rows<V128>::Bgr, Rows<V128>::Tga};
#endif

} // namespace mox::blit
#endif
