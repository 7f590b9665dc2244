// GDI+ solid and hatch brushes, and the pixman sources that paint with them.
#include "gdiplus_tools.h"

#include <pixman.h>

#include <algorithm>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace Gdiplus;

namespace moxplat {

namespace {

// pixman takes premultiplied colours.
std::uint32_t Premultiplied(ARGB argb)
{
    const std::uint32_t a = argb >> 24;
    auto channel = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | channel((argb >> 16) & 0xFF) << 16 | channel((argb >> 8) & 0xFF) << 8 | channel(argb & 0xFF);
}

} // namespace

pixman_color_t PixmanColorOf(ARGB argb)
{
    const std::uint32_t p = Premultiplied(argb);
    auto wide = [](std::uint32_t c) { return std::uint16_t(c << 8 | c); };
    return pixman_color_t{wide((p >> 16) & 0xFF), wide((p >> 8) & 0xFF), wide(p & 0xFF), wide(p >> 24)};
}

pixman_image_t* BrushSource(const GpBrush* brush)
{
    if (const SolidFillImpl* solid = AsSolid(brush)) {
        const pixman_color_t colour = PixmanColorOf(solid->color);
        return pixman_image_create_solid_fill(&colour);
    }
    const HatchImpl* hatch = AsHatch(brush);
    const std::uint8_t* tile = hatch ? HatchTile(hatch->style) : nullptr;
    if (!tile)
        return nullptr;
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, 8, 8, nullptr, 0);
    if (!image)
        return nullptr;
    auto* pixels = pixman_image_get_data(image);
    const int stride = pixman_image_get_stride(image) / 4;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pixels[y * stride + x] = HatchPixel(hatch->fore, hatch->back, tile[y * 8 + x]);
    pixman_image_set_repeat(image, PIXMAN_REPEAT_NORMAL);
    return image;
}

void CompositeOver(const PixelSurface& surface, pixman_image_t* source, const PixelBox& box, std::uint8_t* mask,
                   int maskStride)
{
    if (!source || box.Empty())
        return;
    pixman_image_t* target = WrapSurface(surface);
    if (!target)
        return;
    pixman_image_t* maskImage = nullptr;
    if (mask) {
        maskImage = pixman_image_create_bits(PIXMAN_a8, box.Width(), box.Height(),
                                             reinterpret_cast<std::uint32_t*>(mask), maskStride);
        if (!maskImage) {
            pixman_image_unref(target);
            return;
        }
    }
    pixman_image_composite32(PIXMAN_OP_OVER, source, maskImage, target, box.x0, box.y0, 0, 0, box.x0, box.y0,
                             box.Width(), box.Height());
    if (maskImage)
        pixman_image_unref(maskImage);
    pixman_image_unref(target);
}

namespace {

// pixman's rounded product of two 8-bit values over 255.
inline std::uint32_t MulUn8(std::uint32_t a, std::uint32_t b)
{
    const std::uint32_t t = a * b + 0x80;
    return (t + (t >> 8)) >> 8;
}

} // namespace

bool SolidMaskPlanes(const GpBrush* brush, const std::uint8_t* mask, int maskStride, int width, int height,
                     std::vector<std::uint8_t>* planes)
{
    const SolidFillImpl* solid = AsSolid(brush);
    if (!solid || width <= 0 || height <= 0)
        return false;
    // pixman's OVER of a solid through a mask: the source is scaled by the coverage, and the
    // destination by 255 less the scaled source's alpha (pixman-combine32.h).
    const std::uint32_t src = Premultiplied(solid->color);
    std::uint8_t inverse[256], in[256][3];
    for (std::uint32_t cover = 0; cover < 256; ++cover) {
        inverse[cover] = std::uint8_t(255 - MulUn8(src >> 24, cover));
        for (int c = 0; c < 3; ++c)
            in[cover][c] = std::uint8_t(MulUn8((src >> (8 * c)) & 0xFF, cover));
    }
    const std::size_t rowBytes = std::size_t(width) * 3;
    planes->resize(rowBytes * 2 * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* m = mask + std::ptrdiff_t(y) * maskStride;
        std::uint8_t* inv = planes->data() + std::size_t(y) * rowBytes * 2;
        std::uint8_t* add = inv + rowBytes;
        for (int x = 0; x < width; ++x, inv += 3, add += 3)
            for (int c = 0; c < 3; ++c) {
                inv[c] = inverse[m[x]];
                add[c] = in[m[x]][c];
            }
    }
    return true;
}

void CompositeSolidPlanes(const PixelSurface& surface, const PixelBox& box, int planeWidth, const std::uint8_t* planes)
{
    if (box.Empty() || !surface.bits || surface.bitsPerPixel != 24)
        return;
    const std::size_t planeRow = std::size_t(planeWidth) * 3;
    const std::size_t bytes = std::size_t(box.Width()) * 3;
    for (int y = box.y0; y < box.y1; ++y) {
        const std::uint8_t* inv = planes + std::size_t(y - box.y0) * planeRow * 2;
        const std::uint8_t* add = inv + planeRow;
        std::uint8_t* d = surface.bits + std::ptrdiff_t(y) * surface.stride + std::ptrdiff_t(box.x0) * 3;
        std::size_t k = 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128(), round = _mm_set1_epi16(0x80);
        for (; k + 16 <= bytes; k += 16) {
            const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(inv + k));
            const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k));
            __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(f, zero)), round);
            __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(f, zero)), round);
            lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), 8);
            hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), 8);
            const __m128i sum =
                _mm_adds_epu8(_mm_packus_epi16(lo, hi), _mm_loadu_si128(reinterpret_cast<const __m128i*>(add + k)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), sum);
        }
#endif
        for (; k < bytes; ++k)
            d[k] = std::uint8_t(std::min<std::uint32_t>(MulUn8(d[k], inv[k]) + add[k], 255));
    }
}

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipCreateSolidFill(ARGB color, GpSolidFill** brush)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(brush);
    if (!brush)
        return InvalidParameter;
    auto* impl = new (std::nothrow) moxplat::SolidFillImpl;
    *brush = impl;
    if (!impl)
        return OutOfMemory;
    impl->color = color;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color)
{
    const moxplat::SolidFillImpl* solid = moxplat::AsSolid(brush);
    if (!solid || !color)
        return InvalidParameter;
    *color = solid->color;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateHatchBrush(GpHatchStyle hatchstyle, ARGB forecol, ARGB backcol, GpHatch** brush)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(brush);
    if (!brush)
        return InvalidParameter;
    *brush = nullptr;
    if (hatchstyle < HatchStyleMin || hatchstyle > HatchStyleMax)
        return InvalidParameter;
    auto* impl = new (std::nothrow) moxplat::HatchImpl;
    if (!impl)
        return OutOfMemory;
    impl->style = hatchstyle;
    impl->fore = forecol;
    impl->back = backcol;
    *brush = impl;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetHatchStyle(GpHatch* brush, GpHatchStyle* hatchstyle)
{
    const moxplat::HatchImpl* hatch = moxplat::AsHatch(brush);
    if (!hatch || !hatchstyle)
        return InvalidParameter;
    *hatchstyle = hatch->style;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetHatchForegroundColor(GpHatch* brush, ARGB* forecol)
{
    const moxplat::HatchImpl* hatch = moxplat::AsHatch(brush);
    if (!hatch || !forecol)
        return InvalidParameter;
    *forecol = hatch->fore;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* backcol)
{
    const moxplat::HatchImpl* hatch = moxplat::AsHatch(brush);
    if (!hatch || !backcol)
        return InvalidParameter;
    *backcol = hatch->back;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeleteBrush(GpBrush* brush)
{
    if (const moxplat::SolidFillImpl* solid = moxplat::AsSolid(brush)) {
        delete solid;
        return Ok;
    }
    if (const moxplat::HatchImpl* hatch = moxplat::AsHatch(brush)) {
        delete hatch;
        return Ok;
    }
    if (const moxplat::LineGradientImpl* line = moxplat::AsLine(brush)) {
        delete line;
        return Ok;
    }
    if (const moxplat::TextureImpl* texture = moxplat::AsTexture(brush)) {
        delete texture;
        return Ok;
    }
    return InvalidParameter;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
