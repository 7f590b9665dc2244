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

} // namespace gdi
} // namespace moxplat
