// GdipGetDC and GdipReleaseDC: GDI drawing on what a Graphics draws on. A Graphics over a DC hands
// out that DC. A Graphics over a bitmap hands out a memory DC whose section starts filled with one
// marker colour rather than the bitmap's pixels (the bitmap's memory may not even be readable);
// on release every pixel GDI changed from the marker is written into the bitmap, opaque. Device
// coordinates: the Graphics' transform does not apply to GDI.
#include "gdiplus_internal.h"

#include <windows.h>

using namespace Gdiplus;

namespace moxplat {

namespace {

// The colour Windows fills a bitmap's DC with (gdiplus tests/graphics.c test_fromMemoryBitmap).
constexpr std::uint32_t kUntouched = 0x0D0B0C; // as a COLORREF reads it: 0x0c0b0d

bool MakeBitmapDC(GraphicsImpl* g)
{
    if (g->bitmapDC)
        return true;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = g->image->width;
    info.bmiHeader.biHeight = -g->image->height; // top-down, as the bitmap's rows are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section)
            DeleteObject(section);
        return false;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        DeleteObject(section);
        return false;
    }
    g->bitmapDCOld = SelectObject(dc, section);
    g->bitmapDC = dc;
    g->bitmapSection = section;
    g->sectionBits = static_cast<std::uint32_t*>(bits);
    return true;
}

std::size_t SectionPixels(const GraphicsImpl* g)
{
    return std::size_t(g->image->width) * std::size_t(g->image->height);
}

} // namespace

void ReleaseBitmapDC(GraphicsImpl* g)
{
    if (!g->bitmapDC)
        return;
    SelectObject(g->bitmapDC, g->bitmapDCOld);
    DeleteDC(g->bitmapDC);
    DeleteObject(g->bitmapSection);
    g->bitmapDC = nullptr;
    g->bitmapSection = nullptr;
    g->sectionBits = nullptr;
}

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipGetDC(GpGraphics* graphics, HDC* hdc)
{
    if (!graphics || !hdc)
        return InvalidParameter;
    moxplat::GraphicsImpl* g = moxplat::ToImpl(graphics);
    if (g->dcHeld)
        return ObjectBusy;
    if (g->image) {
        if (!moxplat::MakeBitmapDC(g))
            return OutOfMemory;
        GdiFlush();
        const std::size_t n = moxplat::SectionPixels(g);
        for (std::size_t i = 0; i < n; ++i)
            g->sectionBits[i] = moxplat::kUntouched;
        *hdc = g->bitmapDC;
    } else {
        if (!g->hdc)
            return InvalidParameter;
        *hdc = g->hdc;
    }
    g->dcHeld = true;
    return Ok;
}

GpStatus WINGDIPAPI GdipReleaseDC(GpGraphics* graphics, HDC hdc)
{
    if (!graphics || !hdc)
        return InvalidParameter;
    moxplat::GraphicsImpl* g = moxplat::ToImpl(graphics);
    if (!g->dcHeld || hdc != (g->image ? g->bitmapDC : g->hdc))
        return InvalidParameter;
    if (g->image) {
        GdiFlush();
        moxplat::BitmapImpl* b = g->image;
        const int bpp = moxplat::BytesPerPixel(b->format);
        for (int y = 0; y < b->height; ++y) {
            const std::uint32_t* row = g->sectionBits + std::size_t(y) * std::size_t(b->width);
            for (int x = 0; x < b->width; ++x)
                if ((row[x] & 0xFFFFFF) != moxplat::kUntouched)
                    moxplat::WritePixel(b->format, b->Row(y) + std::ptrdiff_t(x) * bpp, 0xFF000000 | row[x]);
        }
    }
    g->dcHeld = false;
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
