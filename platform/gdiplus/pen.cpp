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
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(pen);
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

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipSetPenColor(GpPen* pen, ARGB argb)
{
    if (!pen)
        return InvalidParameter;
    moxplat::ToImpl(pen)->color = argb;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetPenWidth(GpPen* pen, REAL width)
{
    if (!pen || !std::isfinite(width) || width < 0)
        return InvalidParameter;
    moxplat::ToImpl(pen)->width = width;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPenUnit(GpPen* pen, GpUnit* unit)
{
    if (!pen || !unit)
        return InvalidParameter;
    *unit = moxplat::ToImpl(pen)->unit;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetPenLineJoin(GpPen* pen, GpLineJoin lineJoin)
{
    if (!pen || lineJoin < LineJoinMiter || lineJoin > LineJoinMiterClipped)
        return InvalidParameter;
    moxplat::ToImpl(pen)->join = lineJoin;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPenLineJoin(GpPen* pen, GpLineJoin* lineJoin)
{
    if (!pen || !lineJoin)
        return InvalidParameter;
    *lineJoin = moxplat::ToImpl(pen)->join;
    return Ok;
}

static bool ValidCap(GpLineCap cap)
{
    return (cap >= LineCapFlat && cap <= LineCapTriangle) || (cap >= LineCapNoAnchor && cap <= LineCapArrowAnchor);
}

GpStatus WINGDIPAPI GdipSetPenStartCap(GpPen* pen, GpLineCap startCap)
{
    if (!pen || !ValidCap(startCap))
        return InvalidParameter;
    moxplat::ToImpl(pen)->startCap = startCap;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPenStartCap(GpPen* pen, GpLineCap* startCap)
{
    if (!pen || !startCap)
        return InvalidParameter;
    *startCap = moxplat::ToImpl(pen)->startCap;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetPenEndCap(GpPen* pen, GpLineCap endCap)
{
    if (!pen || !ValidCap(endCap))
        return InvalidParameter;
    moxplat::ToImpl(pen)->endCap = endCap;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPenEndCap(GpPen* pen, GpLineCap* endCap)
{
    if (!pen || !endCap)
        return InvalidParameter;
    *endCap = moxplat::ToImpl(pen)->endCap;
    return Ok;
}

GpStatus WINGDIPAPI GdipClonePen(GpPen* pen, GpPen** clonepen)
{
    if (!pen || !clonepen)
        return InvalidParameter;
    moxplat::PenImpl* clone = new (std::nothrow) moxplat::PenImpl(*moxplat::ToImpl(pen));
    *clonepen = clone;
    return clone ? Ok : OutOfMemory;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
