#include "gdiplus_image_support.h"

#include <stdexcept>
#include <vector>

using namespace Gdiplus;

namespace moxtest {

BitmapPtr MakeBitmap(int width, int height, PixelFormat format, const std::function<ARGB(int, int)>& argb)
{
    // The bitmap owns its memory; the pixels are written through a lock in its own format.
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap) != Ok)
        throw std::runtime_error("GdipCreateBitmapFromScan0 failed");
    BitmapPtr owned(bitmap);
    BitmapData data{};
    if (DllExports::GdipBitmapLockBits(bitmap, nullptr, ImageLockModeWrite, format, &data) != Ok)
        throw std::runtime_error("GdipBitmapLockBits failed");
    const int bpp = int(GetPixelFormatSize(format) / 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const ARGB c = argb(x, y);
            BYTE* p = static_cast<BYTE*>(data.Scan0) + std::ptrdiff_t(y) * data.Stride + std::ptrdiff_t(x) * bpp;
            p[0] = BYTE(c);
            p[1] = BYTE(c >> 8);
            p[2] = BYTE(c >> 16);
            if (bpp == 4)
                p[3] = BYTE(c >> 24);
        }
    DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return owned;
}

AttributesPtr MakeKey(ARGB low, ARGB high)
{
    GpImageAttributes* attributes = nullptr;
    if (DllExports::GdipCreateImageAttributes(&attributes) != Ok ||
        DllExports::GdipSetImageAttributesColorKeys(attributes, ColorAdjustTypeDefault, TRUE, low, high) != Ok)
        throw std::runtime_error("colour key set-up failed");
    return AttributesPtr(attributes);
}

Section::Section(int width, int height, bool bottomUp) : width_(width), height_(height), bottomUp_(bottomUp)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !bits || !dc_)
        throw std::runtime_error("DIB section set-up failed");
    bits_ = static_cast<std::uint8_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    if (DllExports::GdipCreateFromHDC(dc_, &graphics_) != Ok)
        throw std::runtime_error("GdipCreateFromHDC failed");
}

Section::~Section()
{
    DllExports::GdipDeleteGraphics(graphics_);
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

std::uint8_t* Section::Row(int y) const
{
    const int stride = (width_ * 3 + 3) & ~3;
    return bits_ + std::size_t(bottomUp_ ? height_ - 1 - y : y) * stride;
}

std::uint32_t Section::At(int x, int y) const
{
    const std::uint8_t* p = Row(y) + 3 * x;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

void Section::Fill(std::uint32_t rgb)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            std::uint8_t* p = Row(y) + 3 * x;
            p[0] = std::uint8_t(rgb);
            p[1] = std::uint8_t(rgb >> 8);
            p[2] = std::uint8_t(rgb >> 16);
        }
}

} // namespace moxtest
