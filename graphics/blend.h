// The software blend shared by the bitmap and TGA blitters.
#pragma once

namespace mox {

// Moves destination byte d toward source byte s by a/256: d + floor((s - d) * a / 256). The
// product is signed and the division an arithmetic shift, so the result always lies between d
// and s. a = 255 is deliberately not an exact copy; callers take their opaque path for it.
inline unsigned char BlendChannel(unsigned char d, unsigned char s, int a)
{
    return static_cast<unsigned char>(d + (((int(s) - int(d)) * a) >> 8));
}

}  // namespace mox
