// Graphics objects on device contexts.
#include "gdiplus_internal.h"

#include <new>

using namespace Gdiplus;

namespace Gdiplus {
namespace DllExports {

// The device context is kept, not its surface: each drawing call looks the surface up again, so
// a DC that gets another section selected keeps drawing into whatever it shows.
extern "C" GpStatus WINGDIPAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics)
{
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    if (!hdc)
        return OutOfMemory; // what GDI+ answers for a null device context
    moxplat::GraphicsImpl* g = new (std::nothrow) moxplat::GraphicsImpl;
    if (!g)
        return OutOfMemory;
    g->hdc = hdc;
    *graphics = g;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    delete moxplat::ToImpl(graphics);
    return Ok;
}

} // namespace DllExports
} // namespace Gdiplus
