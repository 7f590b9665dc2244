// GDI+ pens: colour, width and dash style. Drawing with them lives in shapes.cpp.
#include "gdiplus_tools.h"

#include <cmath>
#include <new>

using namespace Gdiplus;

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen)
{
    if (!pen)
        return InvalidParameter;
    *pen = nullptr;
    if (!std::isfinite(width) || width < 0 || unit < UnitWorld || unit > UnitMillimeter || unit == UnitDisplay)
        return InvalidParameter;
    auto* impl = new (std::nothrow) moxplat::PenImpl;
    if (!impl)
        return OutOfMemory;
    impl->color = color;
    impl->width = width;
    impl->unit = unit;
    *pen = impl;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeletePen(GpPen* pen)
{
    if (!pen)
        return InvalidParameter;
    delete moxplat::ToImpl(pen);
    return Ok;
}

GpStatus WINGDIPAPI GdipSetPenDashStyle(GpPen* pen, GpDashStyle dashstyle)
{
    if (!pen)
        return InvalidParameter;
    // A custom style needs a dash array, which this platform does not offer.
    if (dashstyle < DashStyleSolid || dashstyle > DashStyleDashDotDot)
        return InvalidParameter;
    moxplat::ToImpl(pen)->dash = dashstyle;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPenDashStyle(GpPen* pen, GpDashStyle* dashstyle)
{
    if (!pen || !dashstyle)
        return InvalidParameter;
    *dashstyle = moxplat::ToImpl(pen)->dash;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPenColor(GpPen* pen, ARGB* argb)
{
    if (!pen || !argb)
        return InvalidParameter;
    *argb = moxplat::ToImpl(pen)->color;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPenWidth(GpPen* pen, REAL* width)
{
    if (!pen || !width)
        return InvalidParameter;
    *width = moxplat::ToImpl(pen)->width;
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
