// pixman views of device-context surfaces, for the GDI+ drawing calls.
#include "gdiplus_internal.h"

#include <pixman.h>

namespace moxplat {

pixman_image_t* WrapSurface(const PixelSurface& surface)
{
    if (!surface.bits || surface.width <= 0 || surface.height <= 0)
        return nullptr;
    if (surface.bitsPerPixel != 24 && surface.bitsPerPixel != 32)
        return nullptr;
    const std::ptrdiff_t rowBytes = std::ptrdiff_t(surface.width) * (surface.bitsPerPixel / 8);
    const std::ptrdiff_t magnitude = surface.stride < 0 ? -surface.stride : surface.stride;
    if (magnitude < rowBytes || magnitude % 4 != 0 || magnitude > 0x7fffffff)
        return nullptr;
    const pixman_format_code_t format = surface.bitsPerPixel == 24 ? PIXMAN_r8g8b8
                                        : surface.alpha            ? PIXMAN_a8r8g8b8
                                                                   : PIXMAN_x8r8g8b8;
    // pixman takes the top row's address and walks rows by a signed stride, so a bottom-up
    // section needs no copy.
    pixman_image_t* image = pixman_image_create_bits(format, surface.width, surface.height,
                                                     reinterpret_cast<std::uint32_t*>(surface.bits),
                                                     int(surface.stride));
    ClipWrappedSurface(surface, image);
    return image;
}

} // namespace moxplat
