// The 32-bit row kernels for AVX2: eight pixels a step, the rest of a row through the SSE2
// kernels. This unit alone is compiled for AVX2; the dispatcher in kernels.cpp picks it only on
// CPUs (and operating systems) that run it.
#include "kernels.h"

#include <algorithm>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace moxplat {
namespace gdi {

#if defined(__AVX2__)
namespace {

inline __m256i Load(const std::uint32_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

inline void Store(std::uint32_t* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

inline bool AllOnes(__m256i cmp)
{
    return _mm256_movemask_epi8(cmp) == -1;
}

// Rounded division by 255 of sixteen 16-bit values no greater than 255 * 255 + 127.
inline __m256i Div255(__m256i v)
{
    const __m256i t = _mm256_add_epi16(v, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// Each pixel's alpha in all four of its 16-bit lanes.
inline __m256i AlphaLanes(__m256i px16)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(px16, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// Eight premultiplied pixels over eight (unpacking and packing stay within 128-bit lanes, so the
// pixels come back in their places).
inline __m256i Over8(__m256i s, __m256i d)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ff = _mm256_set1_epi16(255);
    const __m256i sLo = _mm256_unpacklo_epi8(s, zero), sHi = _mm256_unpackhi_epi8(s, zero);
    const __m256i dLo = _mm256_unpacklo_epi8(d, zero), dHi = _mm256_unpackhi_epi8(d, zero);
    const __m256i lo = Div255(_mm256_mullo_epi16(dLo, _mm256_sub_epi16(ff, AlphaLanes(sLo))));
    const __m256i hi = Div255(_mm256_mullo_epi16(dHi, _mm256_sub_epi16(ff, AlphaLanes(sHi))));
    return _mm256_adds_epu8(s, _mm256_packus_epi16(lo, hi));
}

inline __m256i Scale8(__m256i s, __m256i alpha16)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo = Div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), alpha16));
    const __m256i hi = Div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), alpha16));
    return _mm256_packus_epi16(lo, hi);
}

// One raster operation on eight pixels at a time, its constants made once for a row.
class Rop8 {
public:
    Rop8(std::uint8_t rop3, std::uint32_t pattern) : rop3_(rop3)
    {
        // The pattern is one word for the whole row: for each source/destination bit pair the
        // result bit is c[s][d], the pattern's bits choosing between the operation's halves.
        std::uint32_t m[8];
        for (int i = 0; i < 8; ++i)
            m[i] = ((rop3 >> i) & 1u) ? 0xffffffffu : 0u;
        const std::uint32_t p = pattern;
        c00_ = _mm256_set1_epi32(int((p & m[4]) | (~p & m[0])));
        c01_ = _mm256_set1_epi32(int((p & m[5]) | (~p & m[1])));
        c10_ = _mm256_set1_epi32(int((p & m[6]) | (~p & m[2])));
        c11_ = _mm256_set1_epi32(int((p & m[7]) | (~p & m[3])));
    }

    // dst[0..7] from the source pixels s.
    void operator()(__m256i s, std::uint32_t* dst) const
    {
        if (rop3_ == 0x88) {
            // SRCAND: zeros in the source store zeros without reading the destination; a source
            // of all ones leaves it as it is.
            if (_mm256_testz_si256(s, s))
                Store(dst, s);
            else if (!AllOnes(_mm256_cmpeq_epi32(s, _mm256_set1_epi32(-1))))
                Store(dst, _mm256_and_si256(Load(dst), s));
            return;
        }
        if (rop3_ == 0xEE) {
            // SRCPAINT: zeros in the source leave the destination alone.
            if (!_mm256_testz_si256(s, s))
                Store(dst, _mm256_or_si256(Load(dst), s));
            return;
        }
        const __m256i d = Load(dst);
        const __m256i g0 = _mm256_or_si256(_mm256_and_si256(d, c01_), _mm256_andnot_si256(d, c00_));
        const __m256i g1 = _mm256_or_si256(_mm256_and_si256(d, c11_), _mm256_andnot_si256(d, c10_));
        Store(dst, _mm256_or_si256(_mm256_and_si256(s, g1), _mm256_andnot_si256(s, g0)));
    }

    // Without a source.
    void operator()(std::uint32_t* dst) const
    {
        const __m256i d = Load(dst);
        Store(dst, _mm256_or_si256(_mm256_and_si256(d, c01_), _mm256_andnot_si256(d, c00_)));
    }

private:
    std::uint8_t rop3_;
    __m256i c00_, c01_, c10_, c11_;
};

void RopRow32Avx2(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n)
{
    std::size_t k = 0;
    const Rop8 rop(rop3, pattern);
    if (src)
        for (; k + 8 <= n; k += 8)
            rop(Load(src + k), dst + k);
    else
        for (; k + 8 <= n; k += 8)
            rop(dst + k);
    if (k < n)
        kSse2RowKernels.rop(rop3, pattern, src ? src + k : nullptr, dst + k, n - k);
}

// A monochrome source made into eight words per byte in registers, without a row of words.
void RopRowMono32Avx2(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                      std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n)
{
    // Up to the first whole byte of the source, and the last pixels, through the scalar rows.
    std::size_t k = std::min(n, (8 - (first & 7)) & 7);
    if (k)
        RopRowMono32Scalar(rop3, pattern, bits, first, c0, c1, dst, k);
    const Rop8 rop(rop3, pattern);
    const __m256i bit = _mm256_setr_epi32(0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01);
    const __m256i low = _mm256_set1_epi32(int(c0)), flip = _mm256_set1_epi32(int(c0 ^ c1));
    const std::uint8_t* byte = bits + ((first + k) >> 3);
    for (; k + 8 <= n; k += 8, ++byte) {
        const __m256i set = _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(*byte), bit), bit);
        rop(_mm256_xor_si256(low, _mm256_and_si256(flip, set)), dst + k);
    }
    if (k < n)
        RopRowMono32Scalar(rop3, pattern, bits, first + k, c0, c1, dst + k, n - k);
}

void KeyedCopy32Avx2(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key)
{
    std::size_t k = 0;
    const __m256i colour = _mm256_set1_epi32(0x00ffffff);
    const __m256i keys = _mm256_set1_epi32(int(key));
    for (; k + 8 <= n; k += 8) {
        const __m256i s = Load(src + k);
        const __m256i keyed = _mm256_cmpeq_epi32(_mm256_and_si256(s, colour), keys);
        const int bits = _mm256_movemask_epi8(keyed);
        if (bits == -1)
            continue; // all eight keyed: nothing to write
        if (bits == 0) {
            Store(dst + k, s);
            continue;
        }
        // Only the pixels that are not keyed are written.
        _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + k), _mm256_xor_si256(keyed, _mm256_set1_epi32(-1)), s);
    }
    if (k < n)
        kSse2RowKernels.keyedCopy(src + k, dst + k, n - k, key);
}

void BlendPremultiplied32Avx2(const std::uint32_t* src, std::uint32_t* dst, std::size_t n,
                              std::uint32_t constantAlpha)
{
    std::size_t k = 0;
    const __m256i alphaMask = _mm256_set1_epi32(int(0xff000000u));
    const __m256i sca = _mm256_set1_epi16(short(constantAlpha));
    for (; k + 8 <= n; k += 8) {
        __m256i s = Load(src + k);
        // Sprite sheets are mostly fully transparent or fully opaque pixels. (A transparent
        // premultiplied pixel with colour in it still adds that colour, so only zeros skip.)
        if (_mm256_testz_si256(s, s))
            continue;
        if (constantAlpha == 255) {
            if (AllOnes(_mm256_cmpeq_epi32(_mm256_and_si256(s, alphaMask), alphaMask))) {
                Store(dst + k, s);
                continue;
            }
        } else {
            s = Scale8(s, sca);
        }
        Store(dst + k, Over8(s, Load(dst + k)));
    }
    if (k < n)
        kSse2RowKernels.blendPremultiplied(src + k, dst + k, n - k, constantAlpha);
}

void BlendConstant32Avx2(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha)
{
    std::size_t k = 0;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i a = _mm256_set1_epi16(short(alpha)), inv = _mm256_set1_epi16(short(255 - alpha));
    for (; k + 8 <= n; k += 8) {
        const __m256i s = Load(src + k), d = Load(dst + k);
        const __m256i lo = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), a),
                                                   _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), inv)));
        const __m256i hi = Div255(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), a),
                                                   _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), inv)));
        Store(dst + k, _mm256_packus_epi16(lo, hi));
    }
    if (k < n)
        kSse2RowKernels.blendConstant(src + k, dst + k, n - k, alpha);
}

} // namespace

const RowKernels32 kAvx2RowKernels = {"avx2",
                                      RopRow32Avx2,
                                      RopRowMono32Avx2,
                                      KeyedCopy32Avx2,
                                      BlendPremultiplied32Avx2,
                                      BlendConstant32Avx2,
                                      rows::Rop<RopRow32Avx2>,
                                      rows::RopMono<RopRowMono32Avx2>,
                                      rows::Pixels<KeyedCopy32Avx2>,
                                      rows::Pixels<BlendPremultiplied32Avx2>,
                                      rows::Pixels<BlendConstant32Avx2>};
#else
// A compiler that cannot target AVX2 here: the level runs the SSE2 kernels.
namespace {
void Rop(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n)
{
    kSse2RowKernels.rop(rop3, pattern, src, dst, n);
}
void RopMono(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first, std::uint32_t c0,
             std::uint32_t c1, std::uint32_t* dst, std::size_t n)
{
    kSse2RowKernels.ropMono(rop3, pattern, bits, first, c0, c1, dst, n);
}
void Keyed(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key)
{
    kSse2RowKernels.keyedCopy(src, dst, n, key);
}
void Premultiplied(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t constantAlpha)
{
    kSse2RowKernels.blendPremultiplied(src, dst, n, constantAlpha);
}
void Constant(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha)
{
    kSse2RowKernels.blendConstant(src, dst, n, alpha);
}
} // namespace
const RowKernels32 kAvx2RowKernels = {"avx2",
                                      Rop,
                                      RopMono,
                                      Keyed,
                                      Premultiplied,
                                      Constant,
                                      rows::Rop<Rop>,
                                      rows::RopMono<RopMono>,
                                      rows::Pixels<Keyed>,
                                      rows::Pixels<Premultiplied>,
                                      rows::Pixels<Constant>};
#endif

} // namespace gdi
} // namespace moxplat
