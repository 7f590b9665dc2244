// GDI+ solid and hatch brushes, and the pixman sources that paint with them.
#include "gdiplus_tools.h"

#include <pixman.h>

#include <new>

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
