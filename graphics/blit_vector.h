// Vector building blocks of the blit kernels, for 16-, 32- and 64-byte registers. Included only
// by blit_sse2.cpp, blit_avx2.cpp and blit_avx512.cpp; each unit gets the widths its compiler
// flags allow. Everything here has internal linkage, so no function compiled for a wide
// instruction set can stand in for one that must run on any x86-64 CPU.
//
// The 24-bit kernels treat a row as a stream of bytes. The blend acts on each byte alone; the
// colour key is found by comparing each byte, and its neighbours up to two bytes either side,
// with the key laid out in the byte's phase within its pixel, so no pixel is ever unpacked.
#pragma once

#include "graphics/blend.h"
#include "graphics/blit_kernels.h"

#include <array>
#include <cstring>
#include <tuple>

#include <immintrin.h>

namespace mox::blit {
namespace {

// --- 16 bytes (SSE2) ----------------------------------------------------------------------------

struct V128 {
    using Vec = __m128i;
    using Mask = __m128i; // a byte of 0xFF where set
    static constexpr int kBytes = 16;

    static Vec Load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(std::uint8_t* p, Vec v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static Vec Splat(std::uint8_t b) { return _mm_set1_epi8(static_cast<char>(b)); }
    static Mask MaskFromBytes(const std::uint8_t* bytes) { return Load(bytes); }
    static Mask Eq(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
    static Mask And(Mask a, Mask b) { return _mm_and_si128(a, b); }
    static Mask Or(Mask a, Mask b) { return _mm_or_si128(a, b); }
    static bool All(Mask m) { return _mm_movemask_epi8(m) == 0xFFFF; }
    static bool None(Mask m) { return _mm_movemask_epi8(m) == 0; }
    static Vec Select(Mask m, Vec ifSet, Vec ifClear)
    {
        return _mm_or_si128(_mm_and_si128(m, ifSet), _mm_andnot_si128(m, ifClear));
    }
    static Vec ZeroWhere(Mask m, Vec v) { return _mm_andnot_si128(m, v); }

    // BlendChannel on every byte; alo and ahi hold the weights (0 to 256) of the low and high
    // eight bytes as 16-bit lanes.
    static Vec BlendWide(Vec d, Vec s, Vec alo, Vec ahi)
    {
        const Vec z = _mm_setzero_si128();
        const Vec dlo = _mm_unpacklo_epi8(d, z), dhi = _mm_unpackhi_epi8(d, z);
        Vec lo = _mm_mullo_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(s, z), dlo), alo);
        Vec hi = _mm_mullo_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(s, z), dhi), ahi);
        lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_slli_epi16(dlo, 8)), 8);
        hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_slli_epi16(dhi, 8)), 8);
        return _mm_packus_epi16(lo, hi);
    }
    static Vec Blend(Vec d, Vec s, Vec a8)
    {
        const Vec z = _mm_setzero_si128();
        return BlendWide(d, s, _mm_unpacklo_epi8(a8, z), _mm_unpackhi_epi8(a8, z));
    }
    static Vec Weight16(int a) { return _mm_set1_epi16(static_cast<short>(a)); }

    // Four TGA pixels at a time. Twelve destination bytes are gathered into 32-bit lanes by
    // shifting each pixel up by its index, and scattered back the same way.
    static Vec Lane3Mask(int k)
    {
        alignas(16) std::uint8_t m[16] = {};
        m[4 * k] = m[4 * k + 1] = m[4 * k + 2] = 0xFF;
        return Load(m);
    }
    static Vec Expand12(const std::uint8_t* d, const Vec lane[4])
    {
        std::uint32_t last;
        std::memcpy(&last, d + 8, 4);
        const Vec v = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)),
                                         _mm_cvtsi32_si128(static_cast<int>(last)));
        return _mm_or_si128(
            _mm_or_si128(_mm_and_si128(v, lane[0]), _mm_and_si128(_mm_slli_si128(v, 1), lane[1])),
            _mm_or_si128(_mm_and_si128(_mm_slli_si128(v, 2), lane[2]), _mm_and_si128(_mm_slli_si128(v, 3), lane[3])));
    }
    static void Compact12(std::uint8_t* d, Vec v, const Vec lane[4])
    {
        const Vec c = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(v, lane[0]), _mm_srli_si128(_mm_and_si128(v, lane[1]), 1)),
            _mm_or_si128(_mm_srli_si128(_mm_and_si128(v, lane[2]), 2), _mm_srli_si128(_mm_and_si128(v, lane[3]), 3)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), c);
        const std::uint32_t last = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(c, 8)));
        std::memcpy(d + 8, &last, 4);
    }

    static int Tga(std::uint8_t* d, const std::uint8_t* s, int w, unsigned opacity)
    {
        const Vec lane[4] = {Lane3Mask(0), Lane3Mask(1), Lane3Mask(2), Lane3Mask(3)};
        const Vec alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        const Vec zero = _mm_setzero_si128();
        const Vec scale = _mm_set1_epi32(static_cast<int>(opacity));
        int p = 0;
        for (; p + 4 <= w; p += 4) {
            const Vec px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * p));
            const Vec alpha = _mm_and_si128(px, alphaBits);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF)
                continue;
            std::uint8_t* dp = d + 3 * p;
            if (opacity == 255 && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaBits)) == 0xFFFF) {
                Compact12(dp, px, lane);
                continue;
            }
            Vec a = _mm_srli_epi32(px, 24);
            if (opacity == 255)
                a = _mm_sub_epi32(a, _mm_cmpeq_epi32(a, _mm_set1_epi32(255))); // 255 weighs 256: a copy
            else
                a = _mm_srli_epi32(_mm_mullo_epi16(a, scale), 8); // A * opacity < 2^16
            a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
            const Vec out = BlendWide(Expand12(dp, lane), px, _mm_unpacklo_epi32(a, a), _mm_unpackhi_epi32(a, a));
            Compact12(dp, out, lane);
        }
        return p;
    }
};

// --- 32 bytes (AVX2) ----------------------------------------------------------------------------

#if defined(__AVX2__)
struct V256 {
    using Vec = __m256i;
    using Mask = __m256i;
    static constexpr int kBytes = 32;

    static Vec Load(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(std::uint8_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static Vec Splat(std::uint8_t b) { return _mm256_set1_epi8(static_cast<char>(b)); }
    static Mask MaskFromBytes(const std::uint8_t* bytes) { return Load(bytes); }
    static Mask Eq(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
    static Mask And(Mask a, Mask b) { return _mm256_and_si256(a, b); }
    static Mask Or(Mask a, Mask b) { return _mm256_or_si256(a, b); }
    static bool All(Mask m) { return _mm256_movemask_epi8(m) == -1; }
    static bool None(Mask m) { return _mm256_testz_si256(m, m) != 0; }
    static Vec Select(Mask m, Vec ifSet, Vec ifClear) { return _mm256_blendv_epi8(ifClear, ifSet, m); }
    static Vec ZeroWhere(Mask m, Vec v) { return _mm256_andnot_si256(m, v); }

    // Unpacking and packing both stay within 128-bit halves, so bytes come back in order.
    static Vec BlendWide(Vec d, Vec s, Vec alo, Vec ahi)
    {
        const Vec z = _mm256_setzero_si256();
        const Vec dlo = _mm256_unpacklo_epi8(d, z), dhi = _mm256_unpackhi_epi8(d, z);
        Vec lo = _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_unpacklo_epi8(s, z), dlo), alo);
        Vec hi = _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_unpackhi_epi8(s, z), dhi), ahi);
        lo = _mm256_srli_epi16(_mm256_add_epi16(lo, _mm256_slli_epi16(dlo, 8)), 8);
        hi = _mm256_srli_epi16(_mm256_add_epi16(hi, _mm256_slli_epi16(dhi, 8)), 8);
        return _mm256_packus_epi16(lo, hi);
    }
    static Vec Blend(Vec d, Vec s, Vec a8)
    {
        const Vec z = _mm256_setzero_si256();
        return BlendWide(d, s, _mm256_unpacklo_epi8(a8, z), _mm256_unpackhi_epi8(a8, z));
    }
    static Vec Weight16(int a) { return _mm256_set1_epi16(static_cast<short>(a)); }

    // Eight TGA pixels: 24 destination bytes, loaded as 16 + 8 and spread four pixels to each
    // 128-bit half, then one byte shuffle per half.
    static int Tga(std::uint8_t* d, const std::uint8_t* s, int w, unsigned opacity)
    {
        const Vec spread = _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6);
        const Vec gather = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
        const Vec expand = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, //
                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
        const Vec compact = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, //
                                             0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
        const Vec alphaBits = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
        const Vec scale = _mm256_set1_epi32(static_cast<int>(opacity));
        int p = 0;
        for (; p + 8 <= w; p += 8) {
            const Vec px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * p));
            const Vec alpha = _mm256_and_si256(px, alphaBits);
            if (_mm256_testz_si256(alpha, alpha))
                continue;
            std::uint8_t* dp = d + 3 * p;
            Vec out;
            if (opacity == 255 && _mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, alphaBits)) == -1) {
                out = px;
            } else {
                const Vec dv =
                    _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(
                                            _mm256_set_m128i(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(dp + 16)),
                                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(dp))),
                                            spread),
                                        expand);
                Vec a = _mm256_srli_epi32(px, 24);
                if (opacity == 255)
                    a = _mm256_sub_epi32(a, _mm256_cmpeq_epi32(a, _mm256_set1_epi32(255)));
                else
                    a = _mm256_srli_epi32(_mm256_mullo_epi16(a, scale), 8);
                a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
                out = BlendWide(dv, px, _mm256_unpacklo_epi32(a, a), _mm256_unpackhi_epi32(a, a));
            }
            out = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(out, compact), gather);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dp), _mm256_castsi256_si128(out));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dp + 16), _mm256_extracti128_si256(out, 1));
        }
        return p;
    }
};
#endif

// --- 64 bytes (AVX-512 F and BW) ----------------------------------------------------------------

#if defined(__AVX512F__) && defined(__AVX512BW__)
struct V512 {
    using Vec = __m512i;
    using Mask = __mmask64; // a bit per byte
    static constexpr int kBytes = 64;

    static Vec Load(const std::uint8_t* p) { return _mm512_loadu_si512(p); }
    static void Store(std::uint8_t* p, Vec v) { _mm512_storeu_si512(p, v); }
    static Vec Splat(std::uint8_t b) { return _mm512_set1_epi8(static_cast<char>(b)); }
    static Mask MaskFromBytes(const std::uint8_t* bytes) { return _mm512_movepi8_mask(Load(bytes)); }
    static Mask Eq(Vec a, Vec b) { return _mm512_cmpeq_epi8_mask(a, b); }
    static Mask And(Mask a, Mask b) { return a & b; }
    static Mask Or(Mask a, Mask b) { return a | b; }
    static bool All(Mask m) { return m == ~Mask(0); }
    static bool None(Mask m) { return m == 0; }
    static Vec Select(Mask m, Vec ifSet, Vec ifClear) { return _mm512_mask_blend_epi8(m, ifClear, ifSet); }
    static Vec ZeroWhere(Mask m, Vec v) { return _mm512_maskz_mov_epi8(~m, v); }

    static Vec BlendWide(Vec d, Vec s, Vec alo, Vec ahi)
    {
        const Vec z = _mm512_setzero_si512();
        const Vec dlo = _mm512_unpacklo_epi8(d, z), dhi = _mm512_unpackhi_epi8(d, z);
        Vec lo = _mm512_mullo_epi16(_mm512_sub_epi16(_mm512_unpacklo_epi8(s, z), dlo), alo);
        Vec hi = _mm512_mullo_epi16(_mm512_sub_epi16(_mm512_unpackhi_epi8(s, z), dhi), ahi);
        lo = _mm512_srli_epi16(_mm512_add_epi16(lo, _mm512_slli_epi16(dlo, 8)), 8);
        hi = _mm512_srli_epi16(_mm512_add_epi16(hi, _mm512_slli_epi16(dhi, 8)), 8);
        return _mm512_packus_epi16(lo, hi);
    }
    static Vec Blend(Vec d, Vec s, Vec a8)
    {
        const Vec z = _mm512_setzero_si512();
        return BlendWide(d, s, _mm512_unpacklo_epi8(a8, z), _mm512_unpackhi_epi8(a8, z));
    }
    static Vec Weight16(int a) { return _mm512_set1_epi16(static_cast<short>(a)); }
};
#endif

// --- 24-bit rows, any width ---------------------------------------------------------------------

// Byte l is 0xFF where l % 3 == 0 (kPixelStarts) or where it is not (kPixelRests): a register
// loaded from entry c has byte l set where (c + l) % 3 == 0, or where not.
template <bool kStart> constexpr std::array<std::uint8_t, 66> PhaseBytes()
{
    std::array<std::uint8_t, 66> bytes{};
    for (std::size_t l = 0; l < bytes.size(); ++l)
        bytes[l] = (l % 3 == 0) == kStart ? 0xFF : 0;
    return bytes;
}
constexpr std::array<std::uint8_t, 66> kPixelStarts = PhaseBytes<true>();
constexpr std::array<std::uint8_t, 66> kPixelRests = PhaseBytes<false>();

// The key in each of the three byte phases, and which bytes start a pixel in each phase. Set up
// once per job, so it is cheap: every register is a load from a row of bytes repeating with
// period 3, at the phase's offset.
template <class V> struct KeyConsts {
    typename V::Vec pattern[3]; // byte l holds key channel (c + l) % 3
    typename V::Mask first[3];  // byte l starts a pixel: (c + l) % 3 == 0
    typename V::Mask notFirst[3];
    typename V::Vec alpha;   // the opacity in every byte
    typename V::Vec alpha16; // and in every 16-bit lane

    KeyConsts(Key key, int opacity) : alpha(V::Splat(static_cast<std::uint8_t>(opacity))), alpha16(V::Weight16(opacity))
    {
        const std::uint8_t channel[3] = {key.b, key.g, key.r};
        std::uint8_t keys[V::kBytes + 2];
        for (int l = 0; l < V::kBytes + 2; ++l)
            keys[l] = channel[l % 3];
        for (int c = 0; c < 3; ++c) {
            pattern[c] = V::Load(keys + c);
            first[c] = V::MaskFromBytes(kPixelStarts.data() + c);
            notFirst[c] = V::MaskFromBytes(kPixelRests.data() + c);
        }
    }
};

// Bytes of s[0 .. kBytes) that belong to a keyed pixel; the first byte has phase c and e0 says
// which bytes equal their key channel. Each byte needs the bytes of its own pixel, which lie up
// to two before or after it; comparisons that concern another pixel are masked out by phase.
// Reads s[-2] to s[kBytes + 1].
template <class V>
inline typename V::Mask KeyedBytes(const std::uint8_t* s, typename V::Mask e0, const KeyConsts<V>& k, int c)
{
    const int c1 = (c + 1) % 3, c2 = (c + 2) % 3;
    using M = typename V::Mask;
    const M e1 = V::Or(V::Eq(V::Load(s + 1), k.pattern[c1]), k.first[c1]);    // needed by phases 0, 1
    const M e2 = V::Or(V::Eq(V::Load(s + 2), k.pattern[c2]), k.notFirst[c]);  // phase 0
    const M m1 = V::Or(V::Eq(V::Load(s - 1), k.pattern[c2]), k.first[c]);     // phases 1, 2
    const M m2 = V::Or(V::Eq(V::Load(s - 2), k.pattern[c1]), k.notFirst[c1]); // phase 2
    return V::And(V::And(V::And(e0, e1), V::And(e2, m1)), m2);
}

// Keyed copy or blend of one register's bytes, the first of phase c. Reads s[-2] to
// s[kBytes + 1].
template <class V, bool kBlend, int c>
inline void KeyedRegister(std::uint8_t* d, const std::uint8_t* s, const KeyConsts<V>& k)
{
    const typename V::Vec src = V::Load(s);
    const typename V::Mask e0 = V::Eq(src, k.pattern[c]);
    if (V::None(e0)) { // no byte could belong to a keyed pixel: the common case off the key
        V::Store(d, kBlend ? V::BlendWide(V::Load(d), src, k.alpha16, k.alpha16) : src);
        return;
    }
    const typename V::Mask keyed = KeyedBytes<V>(s, e0, k, c);
    if (V::All(keyed))
        return;
    if (kBlend)
        V::Store(d, V::Blend(V::Load(d), src, V::ZeroWhere(keyed, k.alpha)));
    else if (V::None(keyed))
        V::Store(d, src);
    else
        V::Store(d, V::Select(keyed, V::Load(d), src));
}

// Keyed copy or blend of kBytes pixels (three registers) from d and s, which point at the
// first byte of a pixel. Reads s[-2] to s[3 * kBytes + 1].
template <class V, bool kBlend> inline void KeyedBlock(std::uint8_t* d, const std::uint8_t* s, const KeyConsts<V>& k)
{
    constexpr int N = V::kBytes;
    KeyedRegister<V, kBlend, 0>(d, s, k);
    KeyedRegister<V, kBlend, N % 3>(d + N, s + N, k);
    KeyedRegister<V, kBlend, 2 * N % 3>(d + 2 * N, s + 2 * N, k);
}

// Keyed blocks from pixel p on, as far as a block's reads stay inside the row. p must be at
// least 1. Returns the next pixel.
template <class V, bool kBlend>
int KeyedSpan(std::uint8_t* d, const std::uint8_t* s, int p, int w, const KeyConsts<V>& k)
{
    for (; 3 * std::ptrdiff_t(p + V::kBytes) + 2 <= 3 * std::ptrdiff_t(w); p += V::kBytes)
        KeyedBlock<V, kBlend>(d + 3 * std::ptrdiff_t(p), s + 3 * std::ptrdiff_t(p), k);
    return p;
}

// What a short keyed copy compares with: the key repeated from a pixel's first byte (blue,
// green, red, blue, ...) and which bytes start a pixel. Only these two: setting up all of
// KeyConsts made a 4 x 4 keyed sprite a third slower.
struct ShortKeyConsts {
    __m128i pattern, first;

    explicit ShortKeyConsts(Key key)
    {
        const std::uint64_t k = key.b | std::uint64_t(key.g) << 8 | std::uint64_t(key.r) << 16;
        // The key at every third byte of 128 bits: bits 0-63, then 64-127.
        const std::uint64_t lo = k | k << 24 | k << 48;
        const std::uint64_t hi = k >> 16 | k << 8 | k << 32 | k << 56;
        pattern = _mm_set_epi64x(static_cast<long long>(hi), static_cast<long long>(lo));
        first = V128::MaskFromBytes(kPixelStarts.data());
    }
};

// A keyed copy of the whole pixels of one register that starts at a pixel: where `pixels` is
// set and the pixel does not match the key, src; elsewhere dst.
inline __m128i KeyedCopyOf(__m128i src, __m128i dst, const ShortKeyConsts& k, __m128i pixels)
{
    const __m128i eq = _mm_cmpeq_epi8(src, k.pattern);
    __m128i keyed = _mm_and_si128(eq, _mm_and_si128(_mm_srli_si128(eq, 1), _mm_srli_si128(eq, 2)));
    keyed = _mm_and_si128(keyed, k.first); // at a pixel's first byte: all three match
    keyed = _mm_or_si128(keyed, _mm_or_si128(_mm_slli_si128(keyed, 1), _mm_slli_si128(keyed, 2)));
    return V128::Select(_mm_andnot_si128(keyed, pixels), src, dst);
}

// Four pixels, bytes 0-11 of a register (the rest zero), read and written as exactly those
// bytes: 8 and then 4.
inline __m128i LoadFourPixels(const std::uint8_t* p)
{
    std::uint32_t last;
    std::memcpy(&last, p + 8, 4);
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)),
                              _mm_cvtsi32_si128(static_cast<int>(last)));
}
inline void StoreFourPixels(std::uint8_t* p, __m128i v)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    const auto last = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
    std::memcpy(p + 8, &last, 4);
}

// Keyed copy of a row of 4 to 39 pixels through up to kMax 16-byte registers at whole pixels
// (bytes 0, 15, 30, ...), each writing back the five whole pixels it holds and its last byte as
// it was. The 2 to 5 pixels after them go as one or two groups of four ending at the row's end,
// which may cover pixels of the last register again: a keyed copy gives them the same bytes,
// and the groups are stored last. A last single pixel goes alone. Every register is loaded
// before any is stored: a load of bytes just stored by a neighbouring register would wait for
// the store. Up to about 40 pixels this beats the blocks below, which need each register's
// neighbouring bytes and take a row's first and last pixels one at a time; of 48 pixels the
// blocks are as fast. Under 8 pixels it beats the scalar loop (3.3 times as fast on 4- and
// 6-pixel squares of a randomly keyed picture).
template <int kMax>
inline void KeyedCopyRegisters(std::uint8_t* d, const std::uint8_t* s, int w, const ShortKeyConsts& k,
                               const __m128i& whole, const __m128i& four, Key key)
{
    const std::ptrdiff_t end = 3 * std::ptrdiff_t(w);
    __m128i out[kMax];
    int n = 0;
    for (std::ptrdiff_t at = 0; at + 16 <= end && n < kMax; at += 15, ++n)
        out[n] = KeyedCopyOf(V128::Load(s + at), V128::Load(d + at), k, whole);
    const int rest = w - 5 * n; // at most 5: six pixels would fill another register
    const std::ptrdiff_t first = 15 * std::ptrdiff_t(n), last = end - 12;
    __m128i firstFour = four, lastFour = four;
    if (rest > 4)
        firstFour = KeyedCopyOf(LoadFourPixels(s + first), LoadFourPixels(d + first), k, four);
    if (rest > 1)
        lastFour = KeyedCopyOf(LoadFourPixels(s + last), LoadFourPixels(d + last), k, four);
    for (int i = 0; i < n; ++i)
        V128::Store(d + 15 * i, out[i]);
    if (rest > 4)
        StoreFourPixels(d + first, firstFour);
    if (rest > 1)
        StoreFourPixels(d + last, lastFour);
    else if (rest == 1) // one pixel costs less alone
        ScalarBgrPixels(d + first, s + first, 1, true, key, 255);
}

// Keyed copies 4 to 39 pixels wide: few enough registers to hold them all.
constexpr int kShortKeyedMinWidth = 4;
constexpr int kShortKeyedEndWidth = 40;
inline bool IsShortKeyedCopy(const BgrJob& job)
{
    return job.keyed && job.alpha == 255 && job.w >= kShortKeyedMinWidth && job.w < kShortKeyedEndWidth;
}

// Every row of a short keyed copy, out of line so that the row loops below stay as they were.
// Rows under 18 pixels (three registers) get a smaller register file of their own.
[[gnu::noinline]] inline void KeyedCopyShortRows(const BgrJob& job)
{
    const ShortKeyConsts k(job.key);
    const __m128i whole = _mm_srli_si128(_mm_set1_epi8(-1), 1); // bytes 0-14: five pixels
    const __m128i four = _mm_srli_si128(_mm_set1_epi8(-1), 4);  // bytes 0-11: four pixels
    std::uint8_t* d = job.dst;
    const std::uint8_t* s = job.src;
    if (job.w < 18) {
        for (int r = 0; r < job.h; ++r, d += job.dstStride, s += job.srcStep)
            KeyedCopyRegisters<3>(d, s, job.w, k, whole, four, job.key);
    } else {
        for (int r = 0; r < job.h; ++r, d += job.dstStride, s += job.srcStep)
            KeyedCopyRegisters<8>(d, s, job.w, k, whole, four, job.key);
    }
}

// Unkeyed blend of bytes i, i + 1, ... a register at a time. Returns the next byte.
template <class V>
std::ptrdiff_t BlendSpan(std::uint8_t* d, const std::uint8_t* s, std::ptrdiff_t i, std::ptrdiff_t end, int alpha)
{
    const typename V::Vec a = V::Weight16(alpha);
    for (; i + V::kBytes <= end; i += V::kBytes)
        V::Store(d + i, V::BlendWide(V::Load(d + i), V::Load(s + i), a, a));
    return i;
}

// The row loops shared by the vector levels: the widest register first, then each narrower
// one on what is left, then the scalar loop for the last few pixels.
template <class... Vs> struct Rows {
    // Measured against the scalar kernels on square regions (narrow_blit_bench): TGA wins from
    // 4 pixels wide, an unkeyed blend from 6. A keyed row takes its first pixel alone and then
    // whole blocks of three registers, so below 18 pixels not even one block of the narrowest
    // register fits and the row would be the scalar loop plus the set-up. (Keyed copies of 4 to
    // 39 pixels take KeyedCopyShortRows instead.)
    static constexpr int kMinWidth = 4;
    static constexpr int kBlendMinWidth = 6;
    static constexpr int kKeyedMinWidth = 18;

    static void Bgr(const BgrJob& job)
    {
        if (job.w <= 0)
            return;
        if (sizeof...(Vs) == 1 && IsShortKeyedCopy(job)) { // the AVX2 level calls the SSE2 build
            KeyedCopyShortRows(job);
            return;
        }
        if (job.w < (job.keyed ? kKeyedMinWidth : kBlendMinWidth)) {
            kScalarKernels.bgr(job);
            return;
        }
        std::uint8_t* d = job.dst;
        const std::uint8_t* s = job.src;
        const std::size_t rowBytes = std::size_t(job.w) * 3;
        if (!job.keyed) {
            for (int k = 0; k < job.h; ++k, d += job.dstStride, s += job.srcStep) {
                if (job.alpha == 255) {
                    std::memcpy(d, s, rowBytes);
                    continue;
                }
                std::ptrdiff_t i = 0;
                ((i = BlendSpan<Vs>(d, s, i, std::ptrdiff_t(rowBytes), job.alpha)), ...);
                for (; i < std::ptrdiff_t(rowBytes); ++i)
                    d[i] = BlendChannel(d[i], s[i], unsigned(job.alpha));
            }
            return;
        }
        const std::tuple<KeyConsts<Vs>...> consts{KeyConsts<Vs>(job.key, job.alpha)...};
        for (int k = 0; k < job.h; ++k, d += job.dstStride, s += job.srcStep) {
            // The first pixel alone, so the registers may look two bytes back.
            ScalarBgrPixels(d, s, 1, true, job.key, job.alpha);
            int p = 1;
            if (job.alpha == 255)
                ((p = KeyedSpan<Vs, false>(d, s, p, job.w, std::get<KeyConsts<Vs>>(consts))), ...);
            else
                ((p = KeyedSpan<Vs, true>(d, s, p, job.w, std::get<KeyConsts<Vs>>(consts))), ...);
            // The last pixels, fewer than a block, one at a time: copying them into a padded
            // block instead stalled every register load on the bytes just stored (twice as slow
            // as this on rows of 16 pixels).
            ScalarBgrPixels(d + 3 * std::ptrdiff_t(p), s + 3 * std::ptrdiff_t(p), job.w - p, true, job.key,
                            job.alpha);
        }
    }

    static void Tga(const TgaJob& job)
    {
        std::uint8_t* d = job.dst;
        const std::uint8_t* s = job.src;
        for (int k = 0; k < job.h; ++k, d += job.dstStride, s += 4 * job.srcStride) {
            int p = 0;
            ((p += Vs::Tga(d + 3 * std::ptrdiff_t(p), s + 4 * std::ptrdiff_t(p), job.w - p, job.opacity)), ...);
            ScalarTgaPixels(d + 3 * std::ptrdiff_t(p), s + 4 * std::ptrdiff_t(p), job.w - p, job.opacity);
        }
    }
};

} // namespace
} // namespace mox::blit
