// Graphics objects: on device contexts, windows and bitmaps, with their drawing state (world
// transform, page unit and scale, quality modes) and saved states.
#include "gdiplus_tools.h"

#include <pixman.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

std::atomic<UINT> g_nextState{1};

bool IsDrawableBitmap(const BitmapImpl* b)
{
    if (!b || b->width <= 0 || b->height <= 0)
        return false;
    const int bpp = BytesPerPixel(b->format);
    const std::ptrdiff_t magnitude = b->stride < 0 ? -b->stride : b->stride;
    return (bpp == 3 || bpp == 4) && magnitude >= std::ptrdiff_t(b->width) * bpp;
}

// x * y / 255 rounded, for premultiplying.
inline std::uint8_t Mul255(unsigned x, unsigned y)
{
    const unsigned t = x * y + 0x80;
    return std::uint8_t((t + (t >> 8)) >> 8);
}

} // namespace

void GraphicsDpi(GpGraphics* graphics, double* x, double* y)
{
    // A bitmap's Graphics has the bitmap's resolution (gdiplus tests/graphics.c test_transform);
    // device contexts are 96-DPI screens.
    const GraphicsImpl* g = ToImpl(graphics);
    *x = g->image ? g->image->dpiX : 96.0;
    *y = g->image ? g->image->dpiY : 96.0;
}

void PageFactors(GpGraphics* graphics, double* kx, double* ky)
{
    const GraphicsImpl* g = ToImpl(graphics);
    double dpiX, dpiY;
    GraphicsDpi(graphics, &dpiX, &dpiY);
    // Display and world units are device pixels; the others are lengths at the target's DPI.
    const Unit unit = g->state.pageUnit == UnitDisplay ? UnitPixel : g->state.pageUnit;
    const double perInchAt96 = UnitPixels(unit) / 96.0;
    const bool length = unit != UnitPixel && unit != UnitWorld;
    // The display unit ignores the page scale (gdiplus tests/graphics.c test_clipping: scale 2
    // moves nothing while the unit is UnitDisplay).
    const double scale = g->state.pageUnit == UnitDisplay ? 1.0 : g->state.pageScale;
    *kx = (length ? perInchAt96 * dpiX : 1.0) * scale;
    *ky = (length ? perInchAt96 * dpiY : 1.0) * scale;
}

double PageFactor(GpGraphics* graphics)
{
    double kx, ky;
    PageFactors(graphics, &kx, &ky);
    return kx;
}

namespace {

bool UnclippedTarget(GpGraphics* g, PixelSurface* out)
{
    GraphicsImpl* impl = ToImpl(g);
    if (!impl->image) {
        // A DC's bitmap is drawn at 24 bits or as 32-bit x8r8g8b8; other depths and layouts are
        // refused rather than misread.
        if (!SurfaceOfDC(impl->hdc, out))
            return false;
        const bool defaultMasks = out->masks[0] == 0xff0000u && out->masks[1] == 0x00ff00u && out->masks[2] == 0x0000ffu;
        return out->bitsPerPixel == 24 || (out->bitsPerPixel == 32 && defaultMasks);
    }
    BitmapImpl* b = impl->image;
    if (!IsDrawableBitmap(b) || b->lock.active)
        return false;
    PixelSurface s;
    s.width = b->width;
    s.height = b->height;
    s.bitsPerPixel = BytesPerPixel(b->format) * 8;
    s.alpha = b->format == PixelFormat32bppARGB || b->format == PixelFormat32bppPARGB;
    if (b->format != PixelFormat32bppARGB) {
        s.bits = b->origin;
        s.stride = b->stride;
        *out = s;
        return true;
    }
    // Drawn premultiplied, as pixman composites; TargetLock converts back.
    const std::size_t rowBytes = std::size_t(b->width) * 4;
    try {
        impl->scratch.resize(rowBytes * std::size_t(b->height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < b->height; ++y) {
        const std::uint8_t* from = b->Row(y);
        std::uint8_t* to = impl->scratch.data() + rowBytes * std::size_t(y);
        for (int x = 0; x < b->width; ++x, from += 4, to += 4) {
            const unsigned a = from[3];
            to[0] = Mul255(from[0], a);
            to[1] = Mul255(from[1], a);
            to[2] = Mul255(from[2], a);
            to[3] = std::uint8_t(a);
        }
    }
    impl->scratchActive = true;
    s.bits = impl->scratch.data();
    s.stride = std::ptrdiff_t(rowBytes);
    *out = s;
    return true;
}

} // namespace

bool TargetOf(GpGraphics* g, PixelSurface* out)
{
    if (!g)
        return false;
    return UnclippedTarget(g, out) && ClipTarget(ToImpl(g), *out);
}

TargetLock::~TargetLock()
{
    if (g_)
        ReleaseClip(g_);
    if (!g_ || !g_->scratchActive || !g_->image)
        return;
    BitmapImpl* b = g_->image;
    const std::size_t rowBytes = std::size_t(b->width) * 4;
    for (int y = 0; y < b->height; ++y) {
        const std::uint8_t* from = g_->scratch.data() + rowBytes * std::size_t(y);
        std::uint8_t* to = b->Row(y);
        for (int x = 0; x < b->width; ++x, from += 4, to += 4)
            WritePixel(PixelFormat32bppARGB, to, ReadPixel(PixelFormat32bppPARGB, from));
    }
    g_->scratchActive = false;
}

void DeviceTransform(GpGraphics* g, double out[6])
{
    const GraphicsImpl* impl = ToImpl(g);
    double kx, ky;
    PageFactors(g, &kx, &ky);
    for (int i = 0; i < 6; ++i)
        out[i] = impl->state.world[i] * (i % 2 ? ky : kx);
}

bool IsIdentityDevice(GpGraphics* g)
{
    double m[6];
    DeviceTransform(g, m);
    return m[0] == 1 && m[1] == 0 && m[2] == 0 && m[3] == 1 && m[4] == 0 && m[5] == 0;
}

} // namespace moxplat

using moxplat::GraphicsImpl;

namespace Gdiplus {
namespace DllExports {

// The device context is kept, not its surface: each drawing call looks the surface up again, so
// a DC that gets another section selected keeps drawing into whatever it shows.
extern "C" GpStatus WINGDIPAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(graphics);
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    if (!hdc)
        return OutOfMemory; // what GDI+ answers for a null device context
    GraphicsImpl* g = new (std::nothrow) GraphicsImpl;
    if (!g)
        return OutOfMemory;
    g->hdc = hdc;
    *graphics = g;
    return Ok;
}

// A window is drawn through the DC GetDC gives, held until the Graphics is deleted.
extern "C" GpStatus WINGDIPAPI GdipCreateFromHWND(HWND hwnd, GpGraphics** graphics)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(graphics);
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    HDC dc = GetDC(hwnd);
    if (!dc)
        return OutOfMemory;
    GraphicsImpl* g = new (std::nothrow) GraphicsImpl;
    if (!g) {
        ReleaseDC(hwnd, dc);
        return OutOfMemory;
    }
    g->hdc = dc;
    g->hwnd = hwnd;
    *graphics = g;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(graphics);
    if (!image || !graphics)
        return InvalidParameter;
    moxplat::BitmapImpl* b = moxplat::ToImpl(image);
    if (b->tag != moxplat::BitmapImpl::kTag)
        return InvalidParameter;
    // Indexed and other formats cannot be drawn on (GDI+ refuses indexed bitmaps too).
    if (!moxplat::IsDrawableBitmap(b))
        return OutOfMemory;
    GraphicsImpl* g = new (std::nothrow) GraphicsImpl;
    if (!g)
        return OutOfMemory;
    g->image = b;
    *graphics = g;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    GraphicsImpl* g = moxplat::ToImpl(graphics);
    if (g->dcHeld)
        return ObjectBusy; // GdipGetDC's DC is still out
    moxplat::ReleaseBitmapDC(g);
    if (g->hwnd)
        ReleaseDC(g->hwnd, g->hdc);
    moxplat::ReleaseClip(g);
    if (g->clipWork.dcProbe)
        DeleteObject(g->clipWork.dcProbe);
    delete g;
    return Ok;
}

// Replaces every pixel of the target with the colour (premultiplied for an alpha target).
extern "C" GpStatus WINGDIPAPI GdipGraphicsClear(GpGraphics* graphics, ARGB color)
{
    if (!graphics)
        return InvalidParameter;
    moxplat::TargetLock lock(graphics);
    moxplat::PixelSurface surface;
    if (!moxplat::TargetOf(graphics, &surface))
        return Ok;
    pixman_image_t* target = moxplat::WrapSurface(surface);
    if (!target)
        return Ok;
    const pixman_color_t colour = moxplat::PixmanColorOf(color);
    pixman_image_t* source = pixman_image_create_solid_fill(&colour);
    if (source) {
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, surface.width,
                                 surface.height);
        pixman_image_unref(source);
    }
    pixman_image_unref(target);
    return source ? Ok : OutOfMemory;
}

#define MOXPLAT_GRAPHICS_GETTER(Name, Type, field)                                                                      \
    extern "C" GpStatus WINGDIPAPI Gdip##Name(GpGraphics* graphics, Type* out)                                         \
    {                                                                                                                   \
        if (!graphics || !out)                                                                                          \
            return InvalidParameter;                                                                                    \
        *out = moxplat::ToImpl(graphics)->state.field;                                                                 \
        return Ok;                                                                                                      \
    }

MOXPLAT_GRAPHICS_GETTER(GetSmoothingMode, SmoothingMode, smoothing)
MOXPLAT_GRAPHICS_GETTER(GetInterpolationMode, InterpolationMode, interpolation)
MOXPLAT_GRAPHICS_GETTER(GetPixelOffsetMode, PixelOffsetMode, pixelOffset)
MOXPLAT_GRAPHICS_GETTER(GetCompositingMode, CompositingMode, compositing)
MOXPLAT_GRAPHICS_GETTER(GetCompositingQuality, CompositingQuality, compositingQuality)
MOXPLAT_GRAPHICS_GETTER(GetTextRenderingHint, TextRenderingHint, textHint)
MOXPLAT_GRAPHICS_GETTER(GetPageUnit, Unit, pageUnit)
MOXPLAT_GRAPHICS_GETTER(GetPageScale, REAL, pageScale)

// The quality presets read back as the mode they stand for: Default and HighSpeed as the fast
// mode, HighQuality as the good one (MSDN SmoothingMode, InterpolationMode, PixelOffsetMode).
extern "C" GpStatus WINGDIPAPI GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode)
{
    if (!graphics || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8)
        return InvalidParameter;
    if (mode == SmoothingModeDefault || mode == SmoothingModeHighSpeed)
        mode = SmoothingModeNone;
    else if (mode == SmoothingModeHighQuality)
        mode = SmoothingModeAntiAlias;
    moxplat::ToImpl(graphics)->state.smoothing = mode;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode)
{
    if (!graphics || mode < InterpolationModeDefault || mode > InterpolationModeHighQualityBicubic)
        return InvalidParameter;
    if (mode == InterpolationModeDefault || mode == InterpolationModeLowQuality)
        mode = InterpolationModeBilinear;
    else if (mode == InterpolationModeHighQuality)
        mode = InterpolationModeHighQualityBicubic;
    moxplat::ToImpl(graphics)->state.interpolation = mode;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode)
{
    if (!graphics || mode < PixelOffsetModeDefault || mode > PixelOffsetModeHalf)
        return InvalidParameter;
    if (mode == PixelOffsetModeDefault || mode == PixelOffsetModeHighSpeed)
        mode = PixelOffsetModeNone;
    else if (mode == PixelOffsetModeHighQuality)
        mode = PixelOffsetModeHalf;
    moxplat::ToImpl(graphics)->state.pixelOffset = mode;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode)
{
    if (!graphics || (mode != CompositingModeSourceOver && mode != CompositingModeSourceCopy))
        return InvalidParameter;
    moxplat::ToImpl(graphics)->state.compositing = mode;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality)
{
    if (!graphics || quality < CompositingQualityDefault || quality > CompositingQualityAssumeLinear)
        return InvalidParameter;
    moxplat::ToImpl(graphics)->state.compositingQuality = quality;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint mode)
{
    if (!graphics || mode < TextRenderingHintSystemDefault || mode > TextRenderingHintClearTypeGridFit)
        return InvalidParameter;
    moxplat::ToImpl(graphics)->state.textHint = mode;
    return Ok;
}

// UnitWorld is not a page unit (MSDN Graphics::SetPageUnit; gdiplus tests/graphics.c).
extern "C" GpStatus WINGDIPAPI GdipSetPageUnit(GpGraphics* graphics, GpUnit unit)
{
    if (!graphics || unit <= UnitWorld || unit > UnitMillimeter)
        return InvalidParameter;
    moxplat::ToImpl(graphics)->state.pageUnit = unit;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipSetPageScale(GpGraphics* graphics, REAL scale)
{
    if (!graphics || !(scale > 0) || !std::isfinite(scale))
        return InvalidParameter;
    moxplat::ToImpl(graphics)->state.pageScale = scale;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipGetDpiX(GpGraphics* graphics, REAL* dpi)
{
    if (!graphics || !dpi)
        return InvalidParameter;
    double x, y;
    moxplat::GraphicsDpi(graphics, &x, &y);
    *dpi = REAL(x);
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipGetDpiY(GpGraphics* graphics, REAL* dpi)
{
    if (!graphics || !dpi)
        return InvalidParameter;
    double x, y;
    moxplat::GraphicsDpi(graphics, &x, &y);
    *dpi = REAL(y);
    return Ok;
}

// States are numbered across all Graphics, so one Graphics never restores another's.
// Restoring one drops it and every newer save; an unknown number changes nothing.
extern "C" GpStatus WINGDIPAPI GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state)
{
    if (!graphics || !state)
        return InvalidParameter;
    GraphicsImpl* g = moxplat::ToImpl(graphics);
    const UINT id = moxplat::g_nextState++;
    try {
        g->saved.emplace_back(id, g->state);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    *state = id;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state)
{
    if (!graphics)
        return InvalidParameter;
    GraphicsImpl* g = moxplat::ToImpl(graphics);
    for (std::size_t i = g->saved.size(); i-- > 0;)
        if (g->saved[i].first == state) {
            g->state = g->saved[i].second;
            g->saved.resize(i);
            break;
        }
    return Ok;
}

} // namespace DllExports
} // namespace Gdiplus
