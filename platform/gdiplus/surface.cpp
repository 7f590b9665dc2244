// pixman views of device-context surfaces, for the GDI+ drawing calls.
#include "gdiplus_internal.h"

#include <pixman.h>

namespace moxplat {

pixman_image_t* WrapSurface(const PixelSurface& surface)
{
    if (!surface.bits || surface.width <= 0 || surface.height <= 0)
        return nullptr;
    const std::ptrdiff_t rowBytes = std::ptrdiff_t(surface.width) * 3;
    const std::ptrdiff_t magnitude = surface.stride < 0 ? -surface.stride : surface.stride;
    if (magnitude < rowBytes || magnitude % 4 != 0 || magnitude > 0x7fffffff)
        return nullptr;
    // pixman takes the top row's address and walks rows by a signed stride, so a bottom-up
    // section needs no copy.
    return pixman_image_create_bits(PIXMAN_r8g8b8, surface.width, surface.height,
                                    reinterpret_cast<std::uint32_t*>(surface.bits), int(surface.stride));
}

} // namespace moxplat
