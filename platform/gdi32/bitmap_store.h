// Making bitmaps of every depth, shared by the bitmap functions, DIB sections and image loading.
#pragma once

#include <vector>

#include "gdi_registry.h"

namespace moxplat {
namespace gdi {

struct NewBitmapDesc {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    bool dibSection = true;
    bool topDown = false;
    DWORD compression = BI_RGB;
    std::vector<RGBQUAD> colors;
    std::uint32_t masks[3] = {0xff0000u, 0x00ff00u, 0x0000ffu};
};

// Under the lock: a zero-filled bitmap, or null when it is refused or too large (2^31-1 bytes).
HBITMAP NewBitmapLocked(Registry& reg, const NewBitmapDesc& desc, std::uint8_t** bits);
// Under the lock: a device-dependent bitmap with the default colours of its depth.
HBITMAP NewDeviceBitmapLocked(Registry& reg, int width, int height, int bitsPerPixel);
PixelSurface SurfaceOfBitmap(const BitmapObject& b);

std::vector<RGBQUAD> MonochromeTable();
std::vector<RGBQUAD> SixteenColorTable();
std::vector<RGBQUAD> EightBitTable();

} // namespace gdi
} // namespace moxplat
