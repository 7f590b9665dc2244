// Where a device context's pixels live. Shared by the GDI and GDI+ parts of the platform.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace moxplat {

// A surface of `bitsPerPixel` bits a pixel; 24 is three bytes a pixel (blue, green, red), 32 four
// (blue, green, red, and a fourth byte that GDI leaves alone). `bits` is the first byte of the
// top row; `stride` is the distance in bytes from one row to the row below it (negative for a
// bottom-up DIB section, whose top row is stored last).
// Depths 1, 4 and 8 are indices into `colors` (`colorCount` entries), leftmost pixel in the
// highest bits of a byte; 16 is a little-endian word split by `masks` (red, green, blue: 555 or
// 565). `monochromeDDB` marks a device-dependent 1-bit bitmap, whose pixels blits turn into the
// text and background colours of the destination instead of looking them up in `colors`.
// Code that handles only some depths must check `bitsPerPixel` and refuse the others.
struct PixelSurface {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    int bitsPerPixel = 24;
    const RGBQUAD* colors = nullptr;
    int colorCount = 0;
    std::uint32_t masks[3] = {0xff0000u, 0x00ff00u, 0x0000ffu};
    bool monochromeDDB = false;
    bool alpha = false; // 32 bits only: the fourth byte is premultiplied alpha (a GDI+ bitmap's)
};

// The surface a device context draws into: the 24-bit DIB section selected into a memory DC, or
// a window's pixels. False for a DC with no such surface (a memory DC with nothing selected, a
// deleted or unknown handle).
MOXPLAT_API bool SurfaceOfDC(HDC dc, PixelSurface* out);

// The boxes of that surface the DC may draw in (its clip region, a window's visible region,
// BeginPaint's update area), in device coordinates. False when nothing restricts it: the whole
// surface, or a DC without one.
MOXPLAT_API bool DrawableBoxesOfDC(HDC dc, std::vector<RECT>* out);

}  // namespace moxplat
