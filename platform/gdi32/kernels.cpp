#include "kernels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(_M_X64)
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace moxplat {
namespace gdi {

namespace {

inline std::uint32_t Div255(std::uint32_t v)
{
    // Exact rounding of v / 255 for v <= 255 * 255 + 127.
    return (v + 128 + ((v + 128) >> 8)) >> 8;
}

inline std::uint32_t ScaleAll(std::uint32_t s, std::uint32_t alpha)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= Div255(((s >> shift) & 0xff) * alpha) << shift;
    return out;
}

inline std::uint32_t Over(std::uint32_t s, std::uint32_t d)
{
    const std::uint32_t inv = 255 - (s >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t v = ((s >> shift) & 0xff) + Div255(((d >> shift) & 0xff) * inv);
        out |= std::min<std::uint32_t>(v, 255) << shift;
    }
    return out;
}

inline std::uint32_t Mix(std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= Div255(((s >> shift) & 0xff) * a + ((d >> shift) & 0xff) * (255 - a)) << shift;
    return out;
}

#if defined(__SSE2__)
// Rounded division by 255 of eight 16-bit products.
inline __m128i Div255x8(__m128i v)
{
    const __m128i t = _mm_add_epi16(v, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Each pixel's alpha in all four of its 16-bit lanes.
inline __m128i AlphaLanes(__m128i px16)
{
    const __m128i a = _mm_shufflelo_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3));
    return _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
}

// Four premultiplied pixels over four.
inline __m128i Over4(__m128i s, __m128i d)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i ff = _mm_set1_epi16(255);
    const __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
    const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
    const __m128i invLo = _mm_sub_epi16(ff, AlphaLanes(sLo)), invHi = _mm_sub_epi16(ff, AlphaLanes(sHi));
    const __m128i lo = Div255x8(_mm_mullo_epi16(dLo, invLo));
    const __m128i hi = Div255x8(_mm_mullo_epi16(dHi, invHi));
    return _mm_adds_epu8(s, _mm_packus_epi16(lo, hi));
}

inline __m128i Scale4(__m128i s, __m128i alpha16)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), alpha16));
    const __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), alpha16));
    return _mm_packus_epi16(lo, hi);
}
#endif

} // namespace

void RopRow32Scalar(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst,
                    std::size_t n)
{
    std::uint32_t m[8];
    for (int i = 0; i < 8; ++i)
        m[i] = ((rop3 >> i) & 1u) ? 0xffffffffu : 0u;
    const std::uint32_t p = pattern;
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t d = dst[k];
        const std::uint32_t s = src ? src[k] : 0;
        const std::uint32_t f0 = (s & ((d & m[3]) | (~d & m[2]))) | (~s & ((d & m[1]) | (~d & m[0])));
        const std::uint32_t f1 = (s & ((d & m[7]) | (~d & m[6]))) | (~s & ((d & m[5]) | (~d & m[4])));
        dst[k] = (p & f1) | (~p & f0);
    }
}

namespace {

void RopRow32Sse2(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n)
{
    std::size_t k = 0;
#if defined(__SSE2__)
    // The pattern is one word for the whole row, so the pattern's selection folds into the
    // constants: per destination/source bit pair, the result bit is c[s][d] where each c mixes
    // the P = 0 and P = 1 halves of the operation by the pattern's bits.
    std::uint32_t m[8];
    for (int i = 0; i < 8; ++i)
        m[i] = ((rop3 >> i) & 1u) ? 0xffffffffu : 0u;
    const std::uint32_t p = pattern;
    const __m128i c00 = _mm_set1_epi32(int((p & m[4]) | (~p & m[0])));
    const __m128i c01 = _mm_set1_epi32(int((p & m[5]) | (~p & m[1])));
    const __m128i c10 = _mm_set1_epi32(int((p & m[6]) | (~p & m[2])));
    const __m128i c11 = _mm_set1_epi32(int((p & m[7]) | (~p & m[3])));
    if (src && (rop3 == 0x88 || rop3 == 0xEE)) {
        // SRCAND and SRCPAINT, the mask-sprite pair: where four source words are all zero, SRCAND
        // stores zeros without reading the destination and SRCPAINT leaves it alone.
        const bool andOp = rop3 == 0x88;
        for (; k + 4 <= n; k += 4) {
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) == 0xffff) {
                if (andOp)
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), s);
                continue;
            }
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), andOp ? _mm_and_si128(d, s) : _mm_or_si128(d, s));
        }
    } else if (src) {
        for (; k + 4 <= n; k += 4) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
            const __m128i g0 = _mm_or_si128(_mm_and_si128(d, c01), _mm_andnot_si128(d, c00));
            const __m128i g1 = _mm_or_si128(_mm_and_si128(d, c11), _mm_andnot_si128(d, c10));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k),
                             _mm_or_si128(_mm_and_si128(s, g1), _mm_andnot_si128(s, g0)));
        }
    } else {
        for (; k + 4 <= n; k += 4) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k),
                             _mm_or_si128(_mm_and_si128(d, c01), _mm_andnot_si128(d, c00)));
        }
    }
#endif
    if (k < n)
        RopRow32Scalar(rop3, pattern, src ? src + k : nullptr, dst + k, n - k);
}

} // namespace

namespace {

// A monochrome row through a row kernel of 32-bit sources, a block of pixels at a time.
template <class Rop>
void MonoThrough(Rop rop, std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                 std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n)
{
    std::uint32_t block[64];
    for (std::size_t k = 0; k < n;) {
        const std::size_t count = std::min<std::size_t>(64, n - k);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t bit = first + k + i;
            block[i] = ((bits[bit >> 3] >> (7 - (bit & 7))) & 1u) ? c1 : c0;
        }
        rop(rop3, pattern, block, dst + k, count);
        k += count;
    }
}

} // namespace

void RopRowMono32Scalar(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                        std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n)
{
    MonoThrough(RopRow32Scalar, rop3, pattern, bits, first, c0, c1, dst, n);
}

namespace {

void RopRowMono32Sse2(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                      std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n)
{
    MonoThrough(RopRow32Sse2, rop3, pattern, bits, first, c0, c1, dst, n);
}

} // namespace

void KeyedCopy32Scalar(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key)
{
    for (std::size_t k = 0; k < n; ++k)
        if ((src[k] & 0xffffffu) != key)
            dst[k] = src[k];
}

namespace {

void KeyedCopy32Sse2(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key)
{
    std::size_t k = 0;
#if defined(__SSE2__)
    const __m128i colour = _mm_set1_epi32(0x00ffffff);
    const __m128i keys = _mm_set1_epi32(int(key));
    for (; k + 4 <= n; k += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(s, colour), keys);
        const int bits = _mm_movemask_epi8(keyed);
        if (bits == 0xffff)
            continue; // all four keyed: nothing to write
        if (bits == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k),
                         _mm_or_si128(_mm_and_si128(keyed, d), _mm_andnot_si128(keyed, s)));
    }
#endif
    if (k < n)
        KeyedCopy32Scalar(src + k, dst + k, n - k, key);
}

} // namespace

void BlendPremultiplied32Scalar(const std::uint32_t* src, std::uint32_t* dst, std::size_t n,
                                std::uint32_t constantAlpha)
{
    if (constantAlpha == 255)
        for (std::size_t k = 0; k < n; ++k)
            dst[k] = Over(src[k], dst[k]);
    else
        for (std::size_t k = 0; k < n; ++k)
            dst[k] = Over(ScaleAll(src[k], constantAlpha), dst[k]);
}

namespace {

void BlendPremultiplied32Sse2(const std::uint32_t* src, std::uint32_t* dst, std::size_t n,
                              std::uint32_t constantAlpha)
{
    std::size_t k = 0;
#if defined(__SSE2__)
    const __m128i alphaMask = _mm_set1_epi32(int(0xff000000u));
    const __m128i sca = _mm_set1_epi16(short(constantAlpha));
    for (; k + 4 <= n; k += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
        const __m128i a = _mm_and_si128(s, alphaMask);
        // Sprite sheets are mostly fully transparent or fully opaque pixels. (A transparent
        // premultiplied pixel with colour in it still adds that colour, so only zeros skip.)
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, _mm_setzero_si128())) == 0xffff)
            continue;
        if (constantAlpha == 255 && _mm_movemask_epi8(_mm_cmpeq_epi32(a, alphaMask)) == 0xffff) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), s);
            continue;
        }
        if (constantAlpha != 255)
            s = Scale4(s, sca);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), Over4(s, d));
    }
#endif
    if (k < n)
        BlendPremultiplied32Scalar(src + k, dst + k, n - k, constantAlpha);
}

} // namespace

void BlendConstant32Scalar(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha)
{
    for (std::size_t k = 0; k < n; ++k)
        dst[k] = Mix(src[k], dst[k], alpha);
}

namespace {

void BlendConstant32Sse2(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha)
{
    std::size_t k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i a = _mm_set1_epi16(short(alpha)), inv = _mm_set1_epi16(short(255 - alpha));
    for (; k + 4 <= n; k += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + k));
        const __m128i lo = Div255x8(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), a),
                                                  _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inv)));
        const __m128i hi = Div255x8(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), a),
                                                  _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inv)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + k), _mm_packus_epi16(lo, hi));
    }
#endif
    if (k < n)
        BlendConstant32Scalar(src + k, dst + k, n - k, alpha);
}

} // namespace

const RowKernels32 kSse2RowKernels = {"sse2",
                                      RopRow32Sse2,
                                      RopRowMono32Sse2,
                                      KeyedCopy32Sse2,
                                      BlendPremultiplied32Sse2,
                                      BlendConstant32Sse2,
                                      rows::Rop<RopRow32Sse2>,
                                      rows::RopMono<RopRowMono32Sse2>,
                                      rows::Pixels<KeyedCopy32Sse2>,
                                      rows::Pixels<BlendPremultiplied32Sse2>,
                                      rows::Pixels<BlendConstant32Sse2>};

namespace {

const RowKernels32 kScalarRowKernels = {"scalar",
                                        RopRow32Scalar,
                                        RopRowMono32Scalar,
                                        KeyedCopy32Scalar,
                                        BlendPremultiplied32Scalar,
                                        BlendConstant32Scalar,
                                        rows::Rop<RopRow32Scalar>,
                                        rows::RopMono<RopRowMono32Scalar>,
                                        rows::Pixels<KeyedCopy32Scalar>,
                                        rows::Pixels<BlendPremultiplied32Scalar>,
                                        rows::Pixels<BlendConstant32Scalar>};

#if defined(__x86_64__) || defined(_M_X64)
void Cpuid(int leaf, int sub, unsigned regs[4])
{
#if defined(_MSC_VER) && !defined(__clang__)
    int r[4];
    __cpuidex(r, leaf, sub);
    for (int i = 0; i < 4; ++i)
        regs[i] = unsigned(r[i]);
#else
    __cpuid_count(leaf, sub, regs[0], regs[1], regs[2], regs[3]);
#endif
}

std::uint64_t Xcr0()
{
#if defined(_MSC_VER) && !defined(__clang__)
    return _xgetbv(0);
#else
    unsigned lo, hi;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (static_cast<std::uint64_t>(hi) << 32) | lo;
#endif
}

// AVX2 reported by the CPU, with its register state saved by the operating system (XCR0).
bool HaveAvx2()
{
    unsigned r[4];
    Cpuid(0, 0, r);
    if (r[0] < 7)
        return false;
    Cpuid(1, 0, r);
    if (!((r[2] >> 27) & 1) || !((r[2] >> 28) & 1)) // OSXSAVE, AVX
        return false;
    if ((Xcr0() & 0x6) != 0x6)
        return false;
    Cpuid(7, 0, r);
    return (r[1] >> 5) & 1;
}

// AVX-512 F and BW, with the mask and upper register state saved too.
bool HaveAvx512()
{
    if (!HaveAvx2() || (Xcr0() & 0xe6) != 0xe6)
        return false;
    unsigned r[4];
    Cpuid(7, 0, r);
    return ((r[1] >> 16) & 1) && ((r[1] >> 30) & 1);
}
#endif

struct Levels {
    const RowKernels32* level[4];
    std::size_t count = 0;
    Levels()
    {
        level[count++] = &kScalarRowKernels;
#if defined(__x86_64__) || defined(_M_X64)
        level[count++] = &kSse2RowKernels;
        if (HaveAvx2())
            level[count++] = &kAvx2RowKernels;
        if (kAvx512RowKernels.rop && HaveAvx512())
            level[count++] = &kAvx512RowKernels;
#endif
    }
};

const Levels& TheLevels()
{
    static const Levels levels;
    return levels;
}

const RowKernels32& Choose()
{
    const Levels& l = TheLevels();
    const RowKernels32* chosen = l.level[l.count - 1];
    if (const char* forced = std::getenv("MOXIMAGE2_SIMD"))
        for (std::size_t i = 0; i + 1 < l.count; ++i)
            if (std::strcmp(forced, l.level[i]->name) == 0)
                chosen = l.level[i];
    return *chosen;
}

} // namespace

const RowKernels32* const* RowKernelLevels(std::size_t* count)
{
    *count = TheLevels().count;
    return TheLevels().level;
}

const RowKernels32& ActiveRowKernels()
{
    static const RowKernels32& active = Choose();
    return active;
}

void RopRow32(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n)
{
    ActiveRowKernels().rop(rop3, pattern, src, dst, n);
}

void RopRowMono32(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                  std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n)
{
    ActiveRowKernels().ropMono(rop3, pattern, bits, first, c0, c1, dst, n);
}

void KeyedCopy32(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key)
{
    ActiveRowKernels().keyedCopy(src, dst, n, key);
}

void BlendPremultiplied32(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t constantAlpha)
{
    ActiveRowKernels().blendPremultiplied(src, dst, n, constantAlpha);
}

void BlendConstant32(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha)
{
    ActiveRowKernels().blendConstant(src, dst, n, alpha);
}

} // namespace gdi
} // namespace moxplat
