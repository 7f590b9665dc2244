// Drawing bitmaps into a device context's surface: unscaled, scaled to a rectangle, or a source
// rectangle into a destination rectangle, with an optional colour key.
//
// Geometry follows GDI+'s default pixel offset mode (PixelOffsetModeNone): pixel centres lie on
// whole coordinates, in the destination and in the source alike. So destination pixel i is drawn
// when i lies in the destination span, and samples the source at the point that i maps to: the
// first destination pixel is exactly the first source pixel. A mirrored destination span keeps
// that: its starting edge, the larger coordinate, is the first pixel drawn (so a 4-pixel span
// from x = 5 leftwards covers pixels 2 to 5, as Wine's gdiplus draws it too). Scaling is bilinear, and outside the
// (image-clipped) source rectangle lies transparency, GDI+'s default clamp: the last half source pixel of an enlarged
// image fades out at the far edges. Keyed pixels become fully transparent before filtering. Images with alpha are
// composited OVER the target.
#include "gdiplus_internal.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

using namespace Gdiplus;

namespace {

using moxplat::BitmapImpl;
using ColorKey = moxplat::ImageAttributesImpl::ColorKey;

struct PixmanUnref {
    void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using PixmanImage = std::unique_ptr<pixman_image_t, PixmanUnref>;

// Source-to-destination mapping along one axis: source coordinate s lands at
// dst + (s - src) * dstSize / srcSize.
struct Axis {
    double dst, dstSize, src, srcSize;

    double ToSource(double d) const { return src + (d - dst) * srcSize / dstSize; }

    // The coordinate of destination pixel i's centre, and the offset from a source coordinate to
    // the position of that point in the source pixels' area, where pixel j spans [j, j + 1).
    // Destination pixel centres sit on whole coordinates whichever way the span runs; a mirrored
    // source span counts its pixels from the side it starts at.
    double CentreOf(int i) const { return i; }
    double SourceAreaShift() const { return srcSize > 0 ? 0.5 : -0.5; }

    // Restricts the source span to [0, limit) and the destination to match. False when nothing
    // of the span is left.
    bool ClipSource(int limit)
    {
        const double lo = std::max(0.0, std::min(src, src + srcSize));
        const double hi = std::min(double(limit), std::max(src, src + srcSize));
        if (!(lo < hi))
            return false;
        const double from = srcSize > 0 ? lo : hi; // where the span starts, in drawing order
        const double size = srcSize > 0 ? hi - lo : lo - hi;
        const double scale = dstSize / srcSize;
        dst += (from - src) * scale;
        dstSize = size * scale;
        src = from;
        srcSize = size;
        return true;
    }

    // Destination pixels whose centres lie in the destination span, half-open in drawing order:
    // [dst, dst + size) or (dst + size, dst], limited to [0, limit).
    void Pixels(int limit, int* first, int* end) const
    {
        const double lo = std::clamp(std::min(dst, dst + dstSize), -2.0, double(limit) + 2);
        const double hi = std::clamp(std::max(dst, dst + dstSize), -2.0, double(limit) + 2);
        if (dstSize > 0) {
            *first = std::max(0, int(std::ceil(lo)));
            *end = std::min(limit, int(std::ceil(hi)));
        } else {
            *first = std::max(0, int(std::floor(lo)) + 1);
            *end = std::min(limit, int(std::floor(hi)) + 1);
        }
    }

    // Source pixels [first, end) that the destination pixels [d0, d1) sample from, with room
    // for the filter, within the clipped source span.
    void SourceNeeded(int d0, int d1, int* first, int* end) const
    {
        const double a = ToSource(CentreOf(d0)), b = ToSource(CentreOf(d1 - 1));
        const double spanLo = std::min(src, src + srcSize), spanHi = std::max(src, src + srcSize);
        *first = int(std::floor(std::max(spanLo, std::min(a, b) - 2)));
        *end = int(std::ceil(std::min(spanHi, std::max(a, b) + 2)));
    }
};

bool IsWhole(double v)
{
    return v == std::floor(v);
}

// Unscaled, unmirrored, pixel-aligned draw of an opaque 24-bit image: a plain row copy.
void CopyRows(const BitmapImpl& b, const moxplat::PixelSurface& s, int x0, int x1, int y0, int y1, int shiftX,
              int shiftY)
{
    // The caller's mapping keeps these inside the image; the clamp only makes sure of it.
    x0 = std::max(x0, -shiftX);
    x1 = std::min(x1, b.width - shiftX);
    y0 = std::max(y0, -shiftY);
    y1 = std::min(y1, b.height - shiftY);
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* from = b.Row(y + shiftY) + std::ptrdiff_t(x0 + shiftX) * 3;
        std::memcpy(s.bits + std::ptrdiff_t(y) * s.stride + std::ptrdiff_t(x0) * 3, from, std::size_t(x1 - x0) * 3);
    }
}

// The source block [sx0, sx1) x [sy0, sy1) as premultiplied a8r8g8b8, keyed pixels cleared.
PixmanImage SourceBlock(const BitmapImpl& b, int sx0, int sx1, int sy0, int sy1, const ColorKey* key,
                        std::unique_ptr<std::uint32_t[]>* storage)
{
    const int w = sx1 - sx0, h = sy1 - sy0;
    storage->reset(new (std::nothrow) std::uint32_t[std::size_t(w) * std::size_t(h)]);
    if (!*storage)
        return nullptr;
    const int bpp = moxplat::BytesPerPixel(b.format);
    std::uint32_t* out = storage->get();
    for (int y = sy0; y < sy1; ++y) {
        const std::uint8_t* in = b.Row(y) + std::ptrdiff_t(sx0) * bpp;
        for (int x = 0; x < w; ++x, in += bpp, ++out) {
            const ARGB c = moxplat::ReadPixel(b.format, in);
            const unsigned a = c >> 24;
            if ((key && moxplat::IsKeyed(*key, c)) || a == 0) {
                *out = 0;
            } else if (a == 255) {
                *out = c;
            } else {
                const auto mul = [a](unsigned v) { return (v * a + 127) / 255; };
                *out = (a << 24) | (mul((c >> 16) & 0xff) << 16) | (mul((c >> 8) & 0xff) << 8) | mul(c & 0xff);
            }
        }
    }
    return PixmanImage(pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, storage->get(), w * 4));
}

Status DrawBitmap(GpGraphics* graphics, GpImage* image, double dstX, double dstY, double dstW, double dstH, double srcX,
                  double srcY, double srcW, double srcH, const ColorKey* key)
{
    if (!graphics || !image)
        return InvalidParameter;
    for (double v : {dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH})
        if (!std::isfinite(v))
            return InvalidParameter;
    const BitmapImpl& b = *moxplat::ToImpl(image);
    if (b.lock.active)
        return WrongState;
    if (dstW == 0 || dstH == 0 || srcW == 0 || srcH == 0)
        return Ok;

    // Scales and translations of the world move the destination box; rotations and shears
    // of images are not drawn here.
    double m[6];
    moxplat::DeviceTransform(graphics, m);
    if (m[1] != 0 || m[2] != 0)
        return NotImplemented;
    dstX = dstX * m[0] + m[4];
    dstY = dstY * m[3] + m[5];
    dstW *= m[0];
    dstH *= m[3];

    moxplat::TargetLock lock(graphics);
    moxplat::PixelSurface surface;
    if (!moxplat::TargetOf(graphics, &surface))
        return Ok; // a device context without pixels: nothing to draw into

    Axis ax{dstX, dstW, srcX, srcW}, ay{dstY, dstH, srcY, srcH};
    if (!ax.ClipSource(b.width) || !ay.ClipSource(b.height))
        return Ok;
    int x0, x1, y0, y1;
    ax.Pixels(surface.width, &x0, &x1);
    ay.Pixels(surface.height, &y0, &y1);
    if (x0 >= x1 || y0 >= y1)
        return Ok;

    // One source pixel per destination pixel, on pixel centres: no filtering needed.
    const bool unscaled = ax.srcSize == ax.dstSize && ay.srcSize == ay.dstSize;
    const bool aligned = unscaled && IsWhole(ax.src - ax.dst) && IsWhole(ay.src - ay.dst);
    if (aligned && ax.srcSize > 0 && ay.srcSize > 0 && !key && b.format == PixelFormat24bppRGB &&
        surface.bitsPerPixel == 24) {
        // Row copies keep to a rectangular clip; other clips go through pixman below.
        int cx0 = x0, cy0 = y0, cx1 = x1, cy1 = y1;
        if (moxplat::ClipBox(surface, &cx0, &cy0, &cx1, &cy1)) {
            if (cx0 < cx1 && cy0 < cy1)
                CopyRows(b, surface, cx0, cx1, cy0, cy1, int(ax.src - ax.dst), int(ay.src - ay.dst));
            return Ok;
        }
    }

    int sx0, sx1, sy0, sy1;
    ax.SourceNeeded(x0, x1, &sx0, &sx1);
    ay.SourceNeeded(y0, y1, &sy0, &sy1);
    sx0 = std::max(sx0, 0);
    sy0 = std::max(sy0, 0);
    sx1 = std::min(sx1, b.width);
    sy1 = std::min(sy1, b.height);
    if (sx0 >= sx1 || sy0 >= sy1)
        return Ok;

    // pixman asks, for each destination pixel's area centre (x0 + k + 0.5, ...), where to sample
    // in the source block's area; coordinates are kept relative to (x0, y0) so that they stay
    // small. That is where the pixel's centre coordinate maps to, moved into the source's area.
    const double scaleX = ax.srcSize / ax.dstSize, scaleY = ay.srcSize / ay.dstSize;
    const double offsetX = ax.ToSource(ax.CentreOf(x0) - 0.5) + ax.SourceAreaShift() - sx0;
    const double offsetY = ay.ToSource(ay.CentreOf(y0) - 0.5) + ay.SourceAreaShift() - sy0;
    // pixman's 16.16 fixed point cannot say more than this.
    constexpr double kFixedLimit = 30000;
    for (double v :
         {scaleX, scaleY, offsetX, offsetY, double(sx1 - sx0), double(sy1 - sy0), double(x1 - x0), double(y1 - y0)})
        if (std::fabs(v) > kFixedLimit)
            return ValueOverflow;

    std::unique_ptr<std::uint32_t[]> storage;
    PixmanImage source = SourceBlock(b, sx0, sx1, sy0, sy1, key, &storage);
    PixmanImage target(moxplat::WrapSurface(surface));
    if (!source || !target)
        return OutOfMemory;

    pixman_transform_t transform;
    pixman_transform_init_identity(&transform);
    transform.matrix[0][0] = pixman_double_to_fixed(scaleX);
    transform.matrix[0][2] = pixman_double_to_fixed(offsetX);
    transform.matrix[1][1] = pixman_double_to_fixed(scaleY);
    transform.matrix[1][2] = pixman_double_to_fixed(offsetY);
    pixman_image_set_transform(source.get(), &transform);
    pixman_image_set_repeat(source.get(), PIXMAN_REPEAT_NONE);
    // Whole-pixel steps landing on pixel centres: nearest sampling gives the same, exactly.
    const bool exact = std::fabs(scaleX) == 1 && std::fabs(scaleY) == 1 && IsWhole(offsetX) && IsWhole(offsetY);
    // Nearest-neighbour interpolation, when a program asks for it, keeps pixels hard.
    const bool nearest =
        exact || moxplat::ToImpl(graphics)->state.interpolation == InterpolationModeNearestNeighbor;
    pixman_image_set_filter(source.get(), nearest ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR, nullptr, 0);
    // SourceCopy replaces the covered pixels, transparent ones included (gdiplus tests/image.c
    // test_DrawImage_SourceCopy).
    const pixman_op_t op =
        moxplat::ToImpl(graphics)->state.compositing == CompositingModeSourceCopy ? PIXMAN_OP_SRC : PIXMAN_OP_OVER;
    pixman_image_composite32(op, source.get(), nullptr, target.get(), 0, 0, 0, 0, x0, y0, x1 - x0, y1 - y0);
    return Ok;
}

} // namespace

namespace Gdiplus {
namespace DllExports {

extern "C" GpStatus WINGDIPAPI GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y)
{
    if (!graphics || !image)
        return InvalidParameter;
    const BitmapImpl& b = *moxplat::ToImpl(image);
    // The natural size: pixels at the image's resolution, on a 96-DPI target.
    return DrawBitmap(graphics, image, x, y, b.width * 96.0 / b.dpiX, b.height * 96.0 / b.dpiY, 0, 0, b.width,
                      b.height, nullptr);
}

extern "C" GpStatus WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                                                  INT height)
{
    if (!graphics || !image)
        return InvalidParameter;
    const BitmapImpl& b = *moxplat::ToImpl(image);
    return DrawBitmap(graphics, image, x, y, width, height, 0, 0, b.width, b.height, nullptr);
}

extern "C" GpStatus WINGDIPAPI GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y)
{
    if (!graphics || !image)
        return InvalidParameter;
    const BitmapImpl& b = *moxplat::ToImpl(image);
    return DrawBitmap(graphics, image, x, y, b.width * 96.0 / b.dpiX, b.height * 96.0 / b.dpiY, 0, 0, b.width,
                      b.height, nullptr);
}

extern "C" GpStatus WINGDIPAPI GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width,
                                                 REAL height)
{
    if (!graphics || !image)
        return InvalidParameter;
    const BitmapImpl& b = *moxplat::ToImpl(image);
    return DrawBitmap(graphics, image, x, y, width, height, 0, 0, b.width, b.height, nullptr);
}

// Source rectangle into destination rectangle, shared by the float and integer calls.
static GpStatus DrawRegion(GpGraphics* graphics, GpImage* image, double dstx, double dsty, double dstwidth,
                           double dstheight, double srcx, double srcy, double srcwidth, double srcheight,
                           GpUnit srcUnit, const GpImageAttributes* imageAttributes, DrawImageAbort callback,
                           VOID* callbackData)
{
    if (!graphics || !image)
        return InvalidParameter;
    if (srcUnit != UnitPixel)
        return NotImplemented;
    // The abort callback is asked once, before any pixel is touched.
    if (callback && callback(callbackData))
        return Aborted;
    return DrawBitmap(graphics, image, dstx, dsty, dstwidth, dstheight, srcx, srcy, srcwidth, srcheight,
                      moxplat::BitmapColorKey(imageAttributes));
}

extern "C" GpStatus WINGDIPAPI GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty,
                                                     REAL dstwidth, REAL dstheight, REAL srcx, REAL srcy, REAL srcwidth,
                                                     REAL srcheight, GpUnit srcUnit,
                                                     GDIPCONST GpImageAttributes* imageAttributes,
                                                     DrawImageAbort callback, VOID* callbackData)
{
    return DrawRegion(graphics, image, dstx, dsty, dstwidth, dstheight, srcx, srcy, srcwidth, srcheight, srcUnit,
                      imageAttributes, callback, callbackData);
}

extern "C" GpStatus WINGDIPAPI GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty,
                                                      INT dstwidth, INT dstheight, INT srcx, INT srcy, INT srcwidth,
                                                      INT srcheight, GpUnit srcUnit,
                                                      GDIPCONST GpImageAttributes* imageAttributes,
                                                      DrawImageAbort callback, VOID* callbackData)
{
    return DrawRegion(graphics, image, dstx, dsty, dstwidth, dstheight, srcx, srcy, srcwidth, srcheight, srcUnit,
                      imageAttributes, callback, callbackData);
}

} // namespace DllExports
} // namespace Gdiplus
