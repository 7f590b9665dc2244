// The software blend shared by the bitmap and TGA blitters, scalar and vector alike.
#pragma once

namespace mox {

// Moves destination byte d toward source byte s by a/256. The blitters' rule is
// d + floor((s - d) * a / 256) with a signed product and an arithmetic shift; because 256 * d is
// a whole multiple of 256, floor(d + x / 256) = d + floor(x / 256), so the rule is exactly
//
//     (s * a + d * (256 - a)) >> 8,
//
// whose operand is never negative and never above 255 * 256 for 0 <= a <= 256: it fits unsigned
// 16-bit lanes, which is how the vector kernels compute it ((s - d) * a + (d << 8), wrapping
// modulo 2^16 to that same value). The result lies between d and s. a = 256 gives s exactly and
// a = 0 gives d; a = 255 is not a copy, so callers that want one pass 256 or take a copy path.
//
// static: the vector units include this header too, and an inline function with external
// linkage compiled there could be the copy the linker keeps for code that runs on any CPU.
static inline unsigned char BlendChannel(unsigned d, unsigned s, unsigned a)
{
    return static_cast<unsigned char>((s * a + d * (256 - a)) >> 8);
}

} // namespace mox
