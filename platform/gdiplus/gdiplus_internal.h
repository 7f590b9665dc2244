// What lies behind the opaque GDI+ handles. Shared by the GDI+ source files of the platform.
#pragma once

#include <gdiplus.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "surface.h"

// The stand-in's own sources name the native types without their namespace.
using Gdiplus::GpBitmap;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontCollection;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpHatch;
using Gdiplus::GpImage;
using Gdiplus::GpImageAttributes;
using Gdiplus::GpPen;
using Gdiplus::GpSolidFill;
using Gdiplus::GpStringFormat;
using Gdiplus::GpLineGradient;
using Gdiplus::GpMatrix;
using Gdiplus::GpPath;
using Gdiplus::GpTexture;

// pixman's image type, declared here so that users of this header need not see pixman.h.
typedef union pixman_image pixman_image_t;
struct pixman_region32;

namespace moxplat {

// True while a GdiplusStartup is active; object-making calls answer GdiplusNotInitialized otherwise.
bool GdiplusReady();

// The answer of an object-making call made while GDI+ is not started: a null object.
template <typename T> Gdiplus::Status NotInitialized(T** out)
{
    if (out)
        *out = nullptr;
    return Gdiplus::GdiplusNotInitialized;
}

struct BitmapImpl;
struct RegionNode;

// The pixels a Graphics' clip (and its DC's clip region) lets drawing reach on its target, as
// rectangles in bands, kept between calls while the clip stays the same.
struct ClipWork {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // the rectangles' bounding box
    std::vector<RECT> rects;
    std::shared_ptr<pixman_region32> region; // the same rectangles, for pixman
    // What the mask was made for, so that calls under an unchanged clip reuse it.
    std::shared_ptr<const RegionNode> madeFor;
    double shift = -1;
    int width = -1, height = -1;
    std::vector<RECT> dcRects;
    bool dcClipped = false;
    bool everything = false; // the rectangles are the whole surface
    HRGN dcProbe = nullptr;  // kept for reading the DC's clip region; deleted with the Graphics
};

// A Graphics draws into whatever its device context shows at the time of each call, or into a
// bitmap. It carries the drawing state programs set: world transform, page unit and scale, and
// the quality modes.
struct GraphicsImpl : GpGraphics {
    HDC hdc = nullptr;
    HWND hwnd = nullptr;         // the window whose DC this Graphics got, released with it
    BitmapImpl* image = nullptr; // a bitmap target instead of a DC

    struct State {
        double world[6] = {1, 0, 0, 1, 0, 0}; // m11 m12 m21 m22 dx dy
        Gdiplus::Unit pageUnit = Gdiplus::UnitDisplay;
        Gdiplus::REAL pageScale = 1;
        Gdiplus::SmoothingMode smoothing = Gdiplus::SmoothingModeNone;
        Gdiplus::InterpolationMode interpolation = Gdiplus::InterpolationModeBilinear;
        Gdiplus::PixelOffsetMode pixelOffset = Gdiplus::PixelOffsetModeNone;
        Gdiplus::CompositingMode compositing = Gdiplus::CompositingModeSourceOver;
        Gdiplus::CompositingQuality compositingQuality = Gdiplus::CompositingQualityDefault;
        Gdiplus::TextRenderingHint textHint = Gdiplus::TextRenderingHintSystemDefault;
        std::shared_ptr<const RegionNode> clip; // in device coordinates; null when there is none
    } state;
    std::vector<std::pair<UINT, State>> saved; // GdipSaveGraphics, oldest first

    // A 32-bit ARGB bitmap target is drawn premultiplied in `scratch` and converted back when
    // the call ends (TargetLock).
    std::vector<std::uint8_t> scratch;
    bool scratchActive = false;
    ClipWork clipWork;

    // GdipGetDC: the DC handed out, until GdipReleaseDC. A bitmap target gets a memory DC over a
    // 32-bit section of its size, kept (with what programs set on it) until the Graphics goes.
    bool dcHeld = false;
    HDC bitmapDC = nullptr;
    HBITMAP bitmapSection = nullptr;
    HGDIOBJ bitmapDCOld = nullptr;
    std::uint32_t* sectionBits = nullptr;
};

// Frees what GdipGetDC made for a bitmap target; the Graphics is being deleted.
void ReleaseBitmapDC(GraphicsImpl* g);

inline GraphicsImpl* ToImpl(GpGraphics* g)
{
    return static_cast<GraphicsImpl*>(g);
}

// The surface a Graphics draws into now; false when it has none (the call then draws nothing).
// A DC's surface, or a bitmap's pixels of 24 or 32 bits; an ARGB bitmap is handed out
// premultiplied, so a call that draws holds a TargetLock around its use.
bool TargetOf(GpGraphics* g, PixelSurface* out);

// Makes the Graphics' clip and its DC's clip region the clip of the drawing call under way on
// this thread, for the surface TargetOf found; false when nothing can be drawn. Every pixman
// image WrapSurface makes of that surface then carries the clip, so composites honour it; code
// that writes pixels itself must narrow its box with ClipBox. ReleaseClip ends it (TargetLock).
bool ClipTarget(GraphicsImpl* g, const PixelSurface& surface);
void ReleaseClip(GraphicsImpl* g);
// Narrows *x0..*x1, *y0..*y1 (half-open) to the clip's bounding box. True when that box is all
// the clip is, so drawing the narrowed box directly stays exact; false when the clip has another
// shape and the drawing must go through pixman.
bool ClipBox(const PixelSurface& surface, int* x0, int* y0, int* x1, int* y1);
// Gives a pixman image of the surface the clip of the call under way (WrapSurface does).
void ClipWrappedSurface(const PixelSurface& surface, pixman_image_t* image);

// Writes a premultiplied ARGB target back into its bitmap when the drawing call ends.
class TargetLock {
public:
    explicit TargetLock(GpGraphics* g) : g_(g ? ToImpl(g) : nullptr) {}
    ~TargetLock();
    TargetLock(const TargetLock&) = delete;
    TargetLock& operator=(const TargetLock&) = delete;

private:
    GraphicsImpl* g_;
};

// The target's resolution: a bitmap's own, 96 DPI for device contexts.
void GraphicsDpi(GpGraphics* g, double* x, double* y);
// Device pixels per page unit across and down (page unit and scale at the target's DPI).
void PageFactors(GpGraphics* g, double* kx, double* ky);
double PageFactor(GpGraphics* g);
// World-to-device transform of a Graphics: world transform, then page unit and scale.
void DeviceTransform(GpGraphics* g, double out[6]);
// True when the device transform is the identity (drawing then keeps its integer pixel rules).
bool IsIdentityDevice(GpGraphics* g);

// A pixman image over the surface's own pixels (PIXMAN_r8g8b8: blue, green, red bytes), so that
// composites land in place. A bottom-up surface is wrapped with a negative row stride. Null when
// the surface is empty or its stride is not a whole number of 32-bit words. Release it with
// pixman_image_unref; the surface must outlive it.
// 32-bit surfaces are wrapped as x8r8g8b8, or a8r8g8b8 when their fourth byte is alpha.
pixman_image_t* WrapSurface(const PixelSurface& surface);

// --- Images ----------------------------------------------------------------------------------

// A bitmap in memory: row y starts at origin + y * stride (a multiple of 4, negative for rows
// stored bottom-up), in `format`, one of the formats IsStorableFormat accepts. The rows are the
// bitmap's own `pixels`, or a caller's block that the bitmap only refers to (a bitmap made over
// existing pixels; the caller keeps that memory alive).
struct BitmapImpl : GpBitmap {
    // First, so that a handle to something else is told apart before anything else is read.
    static constexpr std::uint32_t kTag = 0x42544d50;
    std::uint32_t tag = kTag;
    Gdiplus::REAL dpiX = 96, dpiY = 96; // GdipBitmapSetResolution; sets the size DrawImage gives
    int width = 0;
    int height = 0;
    Gdiplus::PixelFormat format = PixelFormat24bppRGB;
    std::ptrdiff_t stride = 0;
    std::uint8_t* origin = nullptr; // first byte of the top row
    std::vector<std::uint8_t> pixels;

    // The one lock a bitmap may hold at a time.
    struct Lock {
        bool active = false;
        Gdiplus::Rect rect;
        UINT flags = 0;
        Gdiplus::PixelFormat format = PixelFormatUndefined;
        bool direct = false;            // the caller works on `pixels` itself
        std::uint8_t* buffer = nullptr; // first byte of the caller's top row
        std::ptrdiff_t bufferStride = 0;
        std::vector<std::uint8_t> converted; // owned storage of a converted lock
    } lock;

    std::uint8_t* Row(int y) { return origin + y * stride; }
    const std::uint8_t* Row(int y) const { return origin + y * stride; }
};

inline BitmapImpl* ToImpl(GpImage* image)
{
    return static_cast<BitmapImpl*>(image);
}

// Formats a bitmap may be stored in, locked as and created from.
bool IsStorableFormat(Gdiplus::PixelFormat format);
int BytesPerPixel(Gdiplus::PixelFormat format);

// Bytes of one row of `width` pixels, rounded up to 32 bits; 0 when it does not fit an int.
std::ptrdiff_t RowStride(int width, Gdiplus::PixelFormat format);

// A new, zeroed bitmap; null when the size is absurd or memory runs out (`status` says which).
BitmapImpl* NewBitmap(int width, int height, Gdiplus::PixelFormat format, Gdiplus::Status* status);

// One pixel as non-premultiplied 0xAARRGGBB, and back. Opaque formats read alpha 255 and drop it
// on writing; a premultiplied format is converted on the way.
Gdiplus::ARGB ReadPixel(Gdiplus::PixelFormat format, const std::uint8_t* p);
void WritePixel(Gdiplus::PixelFormat format, std::uint8_t* p, Gdiplus::ARGB argb);

// --- Image attributes ------------------------------------------------------------------------

struct ImageAttributesImpl : GpImageAttributes {
    struct ColorKey {
        bool enabled = false;
        Gdiplus::ARGB low = 0;
        Gdiplus::ARGB high = 0;
    };
    ColorKey keys[Gdiplus::ColorAdjustTypeCount];
};

inline const ImageAttributesImpl* ToImpl(const GpImageAttributes* a)
{
    return static_cast<const ImageAttributesImpl*>(a);
}
inline ImageAttributesImpl* ToImpl(GpImageAttributes* a)
{
    return static_cast<ImageAttributesImpl*>(a);
}

// The key that applies to a bitmap drawn with these attributes: the bitmap's own key if one is
// set, else the default one. Null when no key applies.
const ImageAttributesImpl::ColorKey* BitmapColorKey(const GpImageAttributes* attributes);

// True when each of the colour's red, green and blue lies within the key's range (alpha is not
// compared).
bool IsKeyed(const ImageAttributesImpl::ColorKey& key, Gdiplus::ARGB colour);

} // namespace moxplat
