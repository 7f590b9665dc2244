// Linear gradient and texture brushes, brush types and copies, and the pixman sources that
// paint with a brush through a Graphics' transform.
#include "gdiplus_tools.h"

#include <pixman.h>

#include <cmath>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

void Translation(double dx, double dy, double out[6])
{
    const double m[6] = {1, 0, 0, 1, dx, dy};
    for (int i = 0; i < 6; ++i)
        out[i] = m[i];
}

// pixman samples a source at each destination pixel's centre (x + 0.5, y + 0.5); this is the
// world point there, as a matrix from pixman's destination space to world space. False when
// the Graphics' transform cannot be inverted.
bool PixmanToWorld(GpGraphics* graphics, double out[6])
{
    double device[6], inverse[6], shift[6];
    DeviceTransform(graphics, device);
    if (!InvertAffine(device, inverse))
        return false;
    const double centre = ToImpl(graphics)->state.pixelOffset == PixelOffsetModeHalf ? 0.0 : 0.5;
    Translation(-centre, -centre, shift);
    MultiplyAffine(shift, inverse, out);
    return true;
}

void SetTransform(pixman_image_t* image, const double k[6])
{
    pixman_f_transform_t f;
    f.m[0][0] = k[0];
    f.m[0][1] = k[2];
    f.m[0][2] = k[4];
    f.m[1][0] = k[1];
    f.m[1][1] = k[3];
    f.m[1][2] = k[5];
    f.m[2][0] = 0;
    f.m[2][1] = 0;
    f.m[2][2] = 1;
    pixman_transform_t t;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(image, &t);
}

pixman_repeat_t RepeatOf(WrapMode wrap)
{
    switch (wrap) {
    case WrapModeClamp:
        return PIXMAN_REPEAT_NONE;
    case WrapModeTileFlipX:
    case WrapModeTileFlipY:
    case WrapModeTileFlipXY:
        return PIXMAN_REPEAT_REFLECT;
    default:
        return PIXMAN_REPEAT_NORMAL;
    }
}

pixman_color_t Straight(ARGB argb)
{
    auto wide = [](std::uint32_t c) { return std::uint16_t(c << 8 | c); };
    return pixman_color_t{wide((argb >> 16) & 0xff), wide((argb >> 8) & 0xff), wide(argb & 0xff), wide(argb >> 24)};
}

pixman_image_t* LineSource(const LineGradientImpl& line, GpGraphics* graphics)
{
    double toWorld[6];
    if (!PixmanToWorld(graphics, toWorld))
        return nullptr;
    // t at a pixman point: the world point's t, a linear function again.
    const double a = line.t[0], b = line.t[1], c = line.t[2];
    const double A = a * toWorld[0] + b * toWorld[1], B = a * toWorld[2] + b * toWorld[3];
    const double C = a * toWorld[4] + b * toWorld[5] + c;
    const pixman_point_fixed_t p1 = {0, 0}, p2 = {pixman_fixed_1, 0};
    const pixman_gradient_stop_t stops[2] = {{0, Straight(line.colors[0])}, {pixman_fixed_1, Straight(line.colors[1])}};
    pixman_image_t* image = pixman_image_create_linear_gradient(&p1, &p2, stops, 2);
    if (!image)
        return nullptr;
    // The second row only keeps the matrix invertible; the gradient reads the first.
    const double k[6] = {A, -B, B, A, C, 0};
    SetTransform(image, k);
    pixman_image_set_repeat(image, RepeatOf(line.wrap));
    return image;
}

pixman_image_t* TextureSource(const TextureImpl& texture, GpGraphics* graphics)
{
    double toWorld[6], inverse[6], k[6], centre[6];
    if (!PixmanToWorld(graphics, toWorld) || !InvertAffine(texture.transform, inverse))
        return nullptr;
    // Texel centres lie on whole world coordinates, as image pixels do when drawn.
    Translation(0.5, 0.5, centre);
    MultiplyAffine(toWorld, inverse, k);
    MultiplyAffine(k, centre, k);
    pixman_image_t* image =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, texture.width, texture.height,
                                 const_cast<std::uint32_t*>(texture.pixels.data()), texture.width * 4);
    if (!image)
        return nullptr;
    SetTransform(image, k);
    pixman_image_set_repeat(image, RepeatOf(texture.wrap));
    const bool whole = k[0] == 1 && k[1] == 0 && k[2] == 0 && k[3] == 1 && k[4] == std::floor(k[4]) &&
                       k[5] == std::floor(k[5]);
    const bool nearest = whole || ToImpl(graphics)->state.interpolation == InterpolationModeNearestNeighbor;
    pixman_image_set_filter(image, nearest ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR, nullptr, 0);
    return image;
}

// t from the line p1 -> p2: 0 at p1, 1 at p2, constant across the line.
void LineFunction(double x1, double y1, double x2, double y2, double t[3])
{
    const double dx = x2 - x1, dy = y2 - y1, len2 = dx * dx + dy * dy;
    t[0] = dx / len2;
    t[1] = dy / len2;
    t[2] = -(x1 * dx + y1 * dy) / len2;
}

Status NewLine(ARGB color1, ARGB color2, WrapMode wrap, GpLineGradient** out, LineGradientImpl** impl)
{
    if (!GdiplusReady())
        return NotInitialized(out);
    if (!out)
        return InvalidParameter;
    *out = nullptr;
    if (wrap < WrapModeTile || wrap > WrapModeClamp)
        return InvalidParameter;
    *impl = new (std::nothrow) LineGradientImpl;
    if (!*impl)
        return OutOfMemory;
    (*impl)->colors[0] = color1;
    (*impl)->colors[1] = color2;
    (*impl)->wrap = wrap;
    *out = *impl;
    return Ok;
}

LineGradientImpl* Line(GpLineGradient* brush)
{
    return brush && KindOf(brush) == BrushKind::Line ? static_cast<LineGradientImpl*>(brush) : nullptr;
}

TextureImpl* Texture(GpTexture* brush)
{
    return brush && KindOf(brush) == BrushKind::Texture ? static_cast<TextureImpl*>(brush) : nullptr;
}

void RotationOf(double angle, double out[6])
{
    const double r = std::fmod(angle, 360.0) * (M_PI / 180.0);
    double c = std::cos(r), s = std::sin(r);
    if (std::fmod(angle, 90.0) == 0) {
        c = std::round(c);
        s = std::round(s);
    }
    const double m[6] = {c, s, -s, c, 0, 0};
    for (int i = 0; i < 6; ++i)
        out[i] = m[i];
}

Status ApplyTexture(GpTexture* brush, const double op[6], MatrixOrder order)
{
    TextureImpl* t = Texture(brush);
    if (!t || (order != MatrixOrderPrepend && order != MatrixOrderAppend))
        return InvalidParameter;
    ApplyOrder(t->transform, op, order);
    return Ok;
}

} // namespace

pixman_image_t* BrushSource(const GpBrush* brush, GpGraphics* graphics)
{
    if (const LineGradientImpl* line = AsLine(brush))
        return LineSource(*line, graphics);
    if (const TextureImpl* texture = AsTexture(brush))
        return TextureSource(*texture, graphics);
    return BrushSource(brush);
}

} // namespace moxplat

using moxplat::LineGradientImpl;
using moxplat::TextureImpl;

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipGetBrushType(GpBrush* brush, GpBrushType* type)
{
    if (!moxplat::IsBrush(brush) || !type)
        return InvalidParameter;
    switch (moxplat::KindOf(brush)) {
    case moxplat::BrushKind::Solid:
        *type = BrushTypeSolidColor;
        break;
    case moxplat::BrushKind::Hatch:
        *type = BrushTypeHatchFill;
        break;
    case moxplat::BrushKind::Line:
        *type = BrushTypeLinearGradient;
        break;
    case moxplat::BrushKind::Texture:
        *type = BrushTypeTextureFill;
        break;
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush)
{
    if (!moxplat::IsBrush(brush) || !cloneBrush)
        return InvalidParameter;
    GpBrush* clone = nullptr;
    try {
        if (const auto* solid = moxplat::AsSolid(brush))
            clone = new moxplat::SolidFillImpl(*solid);
        else if (const auto* hatch = moxplat::AsHatch(brush))
            clone = new moxplat::HatchImpl(*hatch);
        else if (const auto* line = moxplat::AsLine(brush))
            clone = new LineGradientImpl(*line);
        else if (const auto* texture = moxplat::AsTexture(brush))
            clone = new TextureImpl(*texture);
    } catch (const std::bad_alloc&) {
        clone = nullptr;
    }
    *cloneBrush = clone;
    return clone ? Ok : OutOfMemory;
}

GpStatus WINGDIPAPI GdipSetSolidFillColor(GpSolidFill* brush, ARGB color)
{
    if (!moxplat::AsSolid(brush))
        return InvalidParameter;
    static_cast<moxplat::SolidFillImpl*>(brush)->color = color;
    return Ok;
}

// Equal end points give no direction to blend along (GDI+ answers OutOfMemory).
GpStatus WINGDIPAPI GdipCreateLineBrush(GDIPCONST GpPointF* point1, GDIPCONST GpPointF* point2, ARGB color1,
                                        ARGB color2, GpWrapMode wrapMode, GpLineGradient** lineGradient)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(lineGradient);
    if (!point1 || !point2 || !lineGradient)
        return InvalidParameter;
    *lineGradient = nullptr;
    if (!std::isfinite(point1->X) || !std::isfinite(point1->Y) || !std::isfinite(point2->X) ||
        !std::isfinite(point2->Y))
        return InvalidParameter;
    if (point1->X == point2->X && point1->Y == point2->Y)
        return OutOfMemory;
    LineGradientImpl* impl = nullptr;
    const Status status = moxplat::NewLine(color1, color2, wrapMode, lineGradient, &impl);
    if (status != Ok)
        return status;
    moxplat::LineFunction(point1->X, point1->Y, point2->X, point2->Y, impl->t);
    impl->rect = RectF(std::min(point1->X, point2->X), std::min(point1->Y, point2->Y),
                       std::fabs(point2->X - point1->X), std::fabs(point2->Y - point1->Y));
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateLineBrushI(GDIPCONST GpPoint* point1, GDIPCONST GpPoint* point2, ARGB color1, ARGB color2,
                                         GpWrapMode wrapMode, GpLineGradient** lineGradient)
{
    if (!point1 || !point2)
        return InvalidParameter;
    const PointF p1(REAL(point1->X), REAL(point1->Y)), p2(REAL(point2->X), REAL(point2->Y));
    return GdipCreateLineBrush(&p1, &p2, color1, color2, wrapMode, lineGradient);
}

// The colours run across the rectangle: left to right, top to bottom, or corner to corner with
// the lines of equal colour along the other diagonal.
GpStatus WINGDIPAPI GdipCreateLineBrushFromRect(GDIPCONST GpRectF* rect, ARGB color1, ARGB color2,
                                                LinearGradientMode mode, GpWrapMode wrapMode,
                                                GpLineGradient** lineGradient)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(lineGradient);
    if (!rect || !lineGradient)
        return InvalidParameter;
    *lineGradient = nullptr;
    if (mode < LinearGradientModeHorizontal || mode > LinearGradientModeBackwardDiagonal)
        return InvalidParameter;
    if (!std::isfinite(rect->X) || !std::isfinite(rect->Y) || !std::isfinite(rect->Width) ||
        !std::isfinite(rect->Height))
        return InvalidParameter;
    if (rect->Width == 0 || rect->Height == 0)
        return OutOfMemory;
    LineGradientImpl* impl = nullptr;
    const Status status = moxplat::NewLine(color1, color2, wrapMode, lineGradient, &impl);
    if (status != Ok)
        return status;
    const double x = rect->X, y = rect->Y, w = rect->Width, h = rect->Height;
    switch (mode) {
    case LinearGradientModeHorizontal:
        moxplat::LineFunction(x, y, x + w, y, impl->t);
        break;
    case LinearGradientModeVertical:
        moxplat::LineFunction(x, y, x, y + h, impl->t);
        break;
    case LinearGradientModeForwardDiagonal:
        // t = (u + v) / 2 with u, v the position across the rectangle, 0 to 1.
        impl->t[0] = 0.5 / w;
        impl->t[1] = 0.5 / h;
        impl->t[2] = -0.5 * (x / w + y / h);
        break;
    default:
        // t = ((1 - u) + v) / 2: from the top-right corner to the bottom-left one.
        impl->t[0] = -0.5 / w;
        impl->t[1] = 0.5 / h;
        impl->t[2] = 0.5 * (1 + x / w - y / h);
        break;
    }
    impl->rect = *rect;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateLineBrushFromRectI(GDIPCONST GpRect* rect, ARGB color1, ARGB color2,
                                                 LinearGradientMode mode, GpWrapMode wrapMode,
                                                 GpLineGradient** lineGradient)
{
    if (!rect)
        return InvalidParameter;
    const RectF r(REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height));
    return GdipCreateLineBrushFromRect(&r, color1, color2, mode, wrapMode, lineGradient);
}

// The colours run at `angle` degrees (clockwise) across the rectangle, from the corner that
// comes first that way to the one that comes last; a scalable angle is taken in the rectangle's
// own proportions, as if it were a square.
GpStatus WINGDIPAPI GdipCreateLineBrushFromRectWithAngle(GDIPCONST GpRectF* rect, ARGB color1, ARGB color2, REAL angle,
                                                         BOOL isAngleScalable, GpWrapMode wrapMode,
                                                         GpLineGradient** lineGradient)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(lineGradient);
    if (!rect || !lineGradient)
        return InvalidParameter;
    *lineGradient = nullptr;
    if (!std::isfinite(rect->X) || !std::isfinite(rect->Y) || !std::isfinite(rect->Width) ||
        !std::isfinite(rect->Height) || !std::isfinite(angle))
        return InvalidParameter;
    // Clamping is refused before the size is looked at, and wrap values beyond the enumeration
    // are taken (and tile) (gdiplus tests/brush.c test_createLineBrushFromRectWithAngle).
    if (wrapMode == WrapModeClamp)
        return InvalidParameter;
    if (rect->Width == 0 || rect->Height == 0)
        return OutOfMemory;
    LineGradientImpl* impl = nullptr;
    const Status status = moxplat::NewLine(color1, color2, WrapModeTile, lineGradient, &impl);
    if (status != Ok)
        return status;
    impl->wrap = wrapMode;
    const double r = std::fmod(double(angle), 360.0) * (M_PI / 180.0);
    const double x = rect->X, y = rect->Y, w = rect->Width, h = rect->Height;
    // s(p) = a * x + b * y, then stretched so the corners span 0 to 1.
    double a = std::cos(r), b = std::sin(r);
    if (isAngleScalable) {
        a /= w;
        b /= h;
    }
    double lo = INFINITY, hi = -INFINITY;
    for (const double cx : {x, x + w})
        for (const double cy : {y, y + h}) {
            lo = std::min(lo, a * cx + b * cy);
            hi = std::max(hi, a * cx + b * cy);
        }
    impl->t[0] = a / (hi - lo);
    impl->t[1] = b / (hi - lo);
    impl->t[2] = -lo / (hi - lo);
    impl->rect = *rect;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateLineBrushFromRectWithAngleI(GDIPCONST GpRect* rect, ARGB color1, ARGB color2, REAL angle,
                                                          BOOL isAngleScalable, GpWrapMode wrapMode,
                                                          GpLineGradient** lineGradient)
{
    if (!rect)
        return InvalidParameter;
    const RectF r(REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height));
    return GdipCreateLineBrushFromRectWithAngle(&r, color1, color2, angle, isAngleScalable, wrapMode, lineGradient);
}

GpStatus WINGDIPAPI GdipGetLineColors(GpLineGradient* brush, ARGB* colors)
{
    const LineGradientImpl* line = moxplat::Line(brush);
    if (!line || !colors)
        return InvalidParameter;
    colors[0] = line->colors[0];
    colors[1] = line->colors[1];
    return Ok;
}

GpStatus WINGDIPAPI GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2)
{
    LineGradientImpl* line = moxplat::Line(brush);
    if (!line)
        return InvalidParameter;
    line->colors[0] = color1;
    line->colors[1] = color2;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetLineRect(GpLineGradient* brush, GpRectF* rect)
{
    const LineGradientImpl* line = moxplat::Line(brush);
    if (!line || !rect)
        return InvalidParameter;
    *rect = line->rect;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetLineRectI(GpLineGradient* brush, GpRect* rect)
{
    RectF r;
    const Status status = GdipGetLineRect(brush, rect ? &r : nullptr);
    if (status == Ok)
        *rect = Rect(INT(std::lround(r.X)), INT(std::lround(r.Y)), INT(std::lround(r.Width)),
                     INT(std::lround(r.Height)));
    return status;
}

GpStatus WINGDIPAPI GdipGetLineWrapMode(GpLineGradient* brush, GpWrapMode* wrapmode)
{
    const LineGradientImpl* line = moxplat::Line(brush);
    if (!line || !wrapmode)
        return InvalidParameter;
    *wrapmode = line->wrap;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetLineWrapMode(GpLineGradient* brush, GpWrapMode wrapmode)
{
    LineGradientImpl* line = moxplat::Line(brush);
    if (!line || wrapmode < WrapModeTile || wrapmode > WrapModeClamp)
        return InvalidParameter;
    line->wrap = wrapmode;
    return Ok;
}

// The block of the image the brush repeats; it must lie inside the image.
GpStatus WINGDIPAPI GdipCreateTexture2I(GpImage* image, GpWrapMode wrapmode, INT x, INT y, INT width, INT height,
                                        GpTexture** texture)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(texture);
    if (!image || !texture)
        return InvalidParameter;
    *texture = nullptr;
    const moxplat::BitmapImpl* b = moxplat::ToImpl(image);
    if (b->tag != moxplat::BitmapImpl::kTag || wrapmode < WrapModeTile || wrapmode > WrapModeClamp)
        return InvalidParameter;
    if (b->lock.active)
        return WrongState;
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x > b->width - width || y > b->height - height)
        return OutOfMemory;
    TextureImpl* t = new (std::nothrow) TextureImpl;
    if (!t)
        return OutOfMemory;
    try {
        t->pixels.resize(std::size_t(width) * std::size_t(height));
    } catch (const std::bad_alloc&) {
        delete t;
        return OutOfMemory;
    }
    const int bpp = moxplat::BytesPerPixel(b->format);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            std::uint8_t* out = reinterpret_cast<std::uint8_t*>(&t->pixels[std::size_t(row) * width + col]);
            moxplat::WritePixel(PixelFormat32bppPARGB, out,
                                moxplat::ReadPixel(b->format, b->Row(y + row) + std::ptrdiff_t(x + col) * bpp));
        }
    t->width = width;
    t->height = height;
    t->wrap = wrapmode;
    *texture = t;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateTexture(GpImage* image, GpWrapMode wrapmode, GpTexture** texture)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(texture);
    if (!image || !texture)
        return InvalidParameter;
    const moxplat::BitmapImpl* b = moxplat::ToImpl(image);
    return GdipCreateTexture2I(image, wrapmode, 0, 0, b->width, b->height, texture);
}

GpStatus WINGDIPAPI GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix)
{
    const TextureImpl* t = moxplat::Texture(brush);
    if (!t || !matrix)
        return InvalidParameter;
    for (int i = 0; i < 6; ++i)
        moxplat::ToImpl(matrix)->m[i] = REAL(t->transform[i]);
    return Ok;
}

GpStatus WINGDIPAPI GdipSetTextureTransform(GpTexture* brush, GDIPCONST GpMatrix* matrix)
{
    TextureImpl* t = moxplat::Texture(brush);
    if (!t || !matrix)
        return InvalidParameter;
    for (int i = 0; i < 6; ++i)
        t->transform[i] = moxplat::ToImpl(matrix)->m[i];
    return Ok;
}

GpStatus WINGDIPAPI GdipResetTextureTransform(GpTexture* brush)
{
    TextureImpl* t = moxplat::Texture(brush);
    if (!t)
        return InvalidParameter;
    moxplat::Translation(0, 0, t->transform);
    return Ok;
}

GpStatus WINGDIPAPI GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order)
{
    const double op[6] = {1, 0, 0, 1, dx, dy};
    return moxplat::ApplyTexture(brush, op, order);
}

GpStatus WINGDIPAPI GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order)
{
    const double op[6] = {sx, 0, 0, sy, 0, 0};
    return moxplat::ApplyTexture(brush, op, order);
}

GpStatus WINGDIPAPI GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order)
{
    double op[6];
    moxplat::RotationOf(angle, op);
    return moxplat::ApplyTexture(brush, op, order);
}

GpStatus WINGDIPAPI GdipGetTextureWrapMode(GpTexture* brush, GpWrapMode* wrapmode)
{
    const TextureImpl* t = moxplat::Texture(brush);
    if (!t || !wrapmode)
        return InvalidParameter;
    *wrapmode = t->wrap;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetTextureWrapMode(GpTexture* brush, GpWrapMode wrapmode)
{
    TextureImpl* t = moxplat::Texture(brush);
    if (!t || wrapmode < WrapModeTile || wrapmode > WrapModeClamp)
        return InvalidParameter;
    t->wrap = wrapmode;
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
