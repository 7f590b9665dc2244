// Row kernels of the 32-bit blits that sprites go through: raster operations, colour-keyed
// copies and premultiplied blending. Vector code where the CPU has it, bit-exact with the
// scalar versions beside it (which the tests compare against).
#pragma once

#include <cstddef>
#include <cstdint>

namespace moxplat {
namespace gdi {

// dst[k] = rop3(pattern, src[k], dst[k]) bit by bit; src may be null when the operation does not
// read it.
void RopRow32(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n);
void RopRow32Scalar(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst,
                    std::size_t n);

// RopRow32 with a row of 1-bit pixels as the source: pixel k is bit (first + k) of `bits`, the
// leftmost pixel in a byte's highest bit, and shows as c0 where the bit is 0 and c1 where it is 1.
void RopRowMono32(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                  std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n);
void RopRowMono32Scalar(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                        std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n);

// dst[k] = src[k] wherever (src[k] & 0xffffff) != key.
void KeyedCopy32(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key);
void KeyedCopy32Scalar(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key);

// Premultiplied source over destination, every channel: dst = s + dst * (255 - s.alpha) / 255,
// with s the source scaled by constantAlpha / 255 first (rounded divisions by 255).
void BlendPremultiplied32(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t constantAlpha);
void BlendPremultiplied32Scalar(const std::uint32_t* src, std::uint32_t* dst, std::size_t n,
                                std::uint32_t constantAlpha);

// Constant alpha alone, every channel: dst = (s * a + dst * (255 - a)) / 255, rounded.
void BlendConstant32(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha);
void BlendConstant32Scalar(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha);

// Whole rectangles: row r of a source or destination starts `stride` bytes after row r - 1
// (negative for bottom-up images). A sprite's rows are short, so the constants of an operation
// are made once for all of them rather than once a row.
using RopRect32Fn = void (*)(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* src,
                             std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride, std::size_t w,
                             std::size_t h);
using RopMonoRect32Fn = void (*)(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits,
                                 std::ptrdiff_t bitsStride, std::size_t first, std::uint32_t c0, std::uint32_t c1,
                                 std::uint8_t* dst, std::ptrdiff_t dstStride, std::size_t w, std::size_t h);
using KeyedRect32Fn = void (*)(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                               std::ptrdiff_t dstStride, std::size_t w, std::size_t h, std::uint32_t key);
using BlendRect32Fn = void (*)(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
                               std::ptrdiff_t dstStride, std::size_t w, std::size_t h, std::uint32_t alpha);

// The row kernels of one instruction set. Every level writes the scalar kernels' words exactly.
struct RowKernels32 {
    const char* name;
    void (*rop)(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n);
    void (*ropMono)(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::size_t first,
                    std::uint32_t c0, std::uint32_t c1, std::uint32_t* dst, std::size_t n);
    void (*keyedCopy)(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t key);
    void (*blendPremultiplied)(const std::uint32_t* src, std::uint32_t* dst, std::size_t n,
                               std::uint32_t constantAlpha);
    void (*blendConstant)(const std::uint32_t* src, std::uint32_t* dst, std::size_t n, std::uint32_t alpha);
    // The same over whole rectangles.
    RopRect32Fn ropRect;
    RopMonoRect32Fn ropMonoRect;
    KeyedRect32Fn keyedCopyRect;
    BlendRect32Fn blendPremultipliedRect;
    BlendRect32Fn blendConstantRect;
};

// A rectangle through a level's row kernels, one row at a time (the levels without rectangle
// kernels of their own).
namespace rows {
template <void (*Row)(std::uint8_t, std::uint32_t, const std::uint32_t*, std::uint32_t*, std::size_t)>
void Rop(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst,
         std::ptrdiff_t dstStride, std::size_t w, std::size_t h)
{
    for (std::size_t y = 0; y < h; ++y, dst += dstStride, src = src ? src + srcStride : nullptr)
        Row(rop3, pattern, reinterpret_cast<const std::uint32_t*>(src), reinterpret_cast<std::uint32_t*>(dst), w);
}
template <void (*Row)(std::uint8_t, std::uint32_t, const std::uint8_t*, std::size_t, std::uint32_t, std::uint32_t,
                      std::uint32_t*, std::size_t)>
void RopMono(std::uint8_t rop3, std::uint32_t pattern, const std::uint8_t* bits, std::ptrdiff_t bitsStride,
             std::size_t first, std::uint32_t c0, std::uint32_t c1, std::uint8_t* dst, std::ptrdiff_t dstStride,
             std::size_t w, std::size_t h)
{
    for (std::size_t y = 0; y < h; ++y, bits += bitsStride, dst += dstStride)
        Row(rop3, pattern, bits, first, c0, c1, reinterpret_cast<std::uint32_t*>(dst), w);
}
template <void (*Row)(const std::uint32_t*, std::uint32_t*, std::size_t, std::uint32_t)>
void Pixels(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
            std::size_t w, std::size_t h, std::uint32_t value)
{
    for (std::size_t y = 0; y < h; ++y, src += srcStride, dst += dstStride)
        Row(reinterpret_cast<const std::uint32_t*>(src), reinterpret_cast<std::uint32_t*>(dst), w, value);
}
} // namespace rows

// The levels this build and this CPU run, narrowest first (the scalar kernels are the first);
// `count` receives how many.
const RowKernels32* const* RowKernelLevels(std::size_t* count);
// The kernels the functions above use: the widest level, unless MOXIMAGE2_SIMD names a narrower
// one (scalar, sse2, avx2), as for the library's own blitters. Chosen on first use.
const RowKernels32& ActiveRowKernels();

// The vector levels, for the dispatcher; each hands what is left of a row to a narrower one.
extern const RowKernels32 kSse2RowKernels;
extern const RowKernels32 kAvx2RowKernels;
extern const RowKernels32 kAvx512RowKernels;

} // namespace gdi
} // namespace moxplat
