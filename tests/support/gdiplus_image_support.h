// Helpers for the tests of the GDI+ image functions: owned native bitmaps made from a pixel
// function, and a 24-bit DIB section selected into a memory DC with a Graphics on it.
#pragma once

#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "gdiplus_session.h"

namespace moxtest {

// The SDK declares the native types (GpBitmap, ...) inside Gdiplus; the stand-in declares them
// globally. Either way they are found here.
using namespace Gdiplus;

struct GpBitmapDelete {
    void operator()(GpBitmap* b) const { Gdiplus::DllExports::GdipDisposeImage(b); }
};
using BitmapPtr = std::unique_ptr<GpBitmap, GpBitmapDelete>;

struct GpAttributesDelete {
    void operator()(GpImageAttributes* a) const { Gdiplus::DllExports::GdipDisposeImageAttributes(a); }
};
using AttributesPtr = std::unique_ptr<GpImageAttributes, GpAttributesDelete>;

// A bitmap of the given format whose pixel (x, y) is argb(x, y) (non-premultiplied 0xAARRGGBB;
// opaque formats drop the alpha).
BitmapPtr MakeBitmap(int width, int height, Gdiplus::PixelFormat format,
                     const std::function<Gdiplus::ARGB(int, int)>& argb);

// Attributes whose default colour key is [low, high].
AttributesPtr MakeKey(Gdiplus::ARGB low, Gdiplus::ARGB high);

// A 24-bit DIB section (top-down unless bottomUp) in a memory DC, with a Graphics drawing on it.
class Section {
public:
    Section(int width, int height, bool bottomUp = false);
    ~Section();
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    GpGraphics* graphics() const { return graphics_; }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Pixel (x, y), y from the top, as 0xRRGGBB.
    std::uint32_t At(int x, int y) const;
    void Fill(std::uint32_t rgb);

private:
    std::uint8_t* Row(int y) const;

    int width_, height_;
    bool bottomUp_;
    std::uint8_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    GpGraphics* graphics_ = nullptr;
};

} // namespace moxtest
