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
    if (moxplat::ToImpl(pen)->brush)
        GdipDeleteBrush(moxplat::ToImpl(pen)->brush);
    delete moxplat::ToImpl(pen);
    return Ok;
}

GpStatus WINGDIPAPI GdipSetPenDashStyle(GpPen* pen, GpDashStyle dashstyle)
{
    if (!pen)
        return InvalidParameter;
    // Custom draws the pen's dash array (solid while it has none).
    if (dashstyle < DashStyleSolid || dashstyle > DashStyleCustom)
        return InvalidParameter;
    moxplat::ToImpl(pen)->dash = dashstyle;
    return Ok;
}

// Every length must be positive; the pen's style becomes custom.
GpStatus WINGDIPAPI GdipSetPenDashArray(GpPen* pen, GDIPCONST REAL* dash, INT count)
{
    if (!pen || !dash || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        if (!(dash[i] > 0) || !std::isfinite(dash[i]))
            return InvalidParameter;
    try {
        moxplat::ToImpl(pen)->dashArray.assign(dash, dash + count);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    moxplat::ToImpl(pen)->dash = DashStyleCustom;
    return Ok;
}

// Fewer lengths than the array holds may be read; more may not, nor any from a pen whose style
// is not custom (pen.c test_dasharray).
GpStatus WINGDIPAPI GdipGetPenDashArray(GpPen* pen, REAL* dash, INT count)
{
    if (!pen || !dash || count < 0)
        return InvalidParameter;
    const moxplat::PenImpl* impl = moxplat::ToImpl(pen);
    if (count == 0)
        return Ok;
    if (impl->dash != DashStyleCustom || std::size_t(count) > impl->dashArray.size())
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        dash[i] = impl->dashArray[i];
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

// A colour replaces whatever brush the pen painted with.
GpStatus WINGDIPAPI GdipSetPenColor(GpPen* pen, ARGB argb)
{
    if (!pen)
        return InvalidParameter;
    moxplat::PenImpl* p = moxplat::ToImpl(pen);
    if (p->brush)
        GdipDeleteBrush(p->brush);
    p->brush = nullptr;
    p->color = argb;
    return Ok;
}

// A pen painting with a copy of the brush; a solid brush gives a pen of its colour.
GpStatus WINGDIPAPI GdipSetPenBrushFill(GpPen* pen, GpBrush* brush)
{
    if (!pen || !moxplat::IsBrush(brush))
        return InvalidParameter;
    moxplat::PenImpl* p = moxplat::ToImpl(pen);
    GpBrush* copy = nullptr;
    if (!moxplat::AsSolid(brush)) {
        const Status status = GdipCloneBrush(brush, &copy);
        if (status != Ok)
            return status;
    }
    if (p->brush)
        GdipDeleteBrush(p->brush);
    p->brush = copy;
    if (const moxplat::SolidFillImpl* solid = moxplat::AsSolid(brush))
        p->color = solid->color;
    return Ok;
}

// A new brush the caller deletes: a copy of the pen's brush, or a solid one of its colour.
GpStatus WINGDIPAPI GdipGetPenBrushFill(GpPen* pen, GpBrush** brush)
{
    if (!pen || !brush)
        return InvalidParameter;
    const moxplat::PenImpl* p = moxplat::ToImpl(pen);
    if (p->brush)
        return GdipCloneBrush(p->brush, brush);
    GpSolidFill* solid = nullptr;
    const Status status = GdipCreateSolidFill(p->color, &solid);
    *brush = solid;
    return status;
}

GpStatus WINGDIPAPI GdipGetPenFillType(GpPen* pen, GpPenType* type)
{
    if (!pen || !type)
        return InvalidParameter;
    const moxplat::PenImpl* p = moxplat::ToImpl(pen);
    GpBrushType brushType = BrushTypeSolidColor;
    if (p->brush)
        GdipGetBrushType(p->brush, &brushType);
    *type = GpPenType(brushType);
    return Ok;
}

GpStatus WINGDIPAPI GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(pen);
    if (!pen || !moxplat::IsBrush(brush))
        return InvalidParameter;
    const moxplat::SolidFillImpl* solid = moxplat::AsSolid(brush);
    Status status = GdipCreatePen1(solid ? solid->color : 0xFF000000, width, unit, pen);
    if (status == Ok && !solid) {
        status = GdipSetPenBrushFill(*pen, brush);
        if (status != Ok) {
            GdipDeletePen(*pen);
            *pen = nullptr;
        }
    }
    return status;
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
    if (!clone)
        return OutOfMemory;
    clone->brush = nullptr;
    if (moxplat::ToImpl(pen)->brush && GdipCloneBrush(moxplat::ToImpl(pen)->brush, &clone->brush) != Ok) {
        delete clone;
        *clonepen = nullptr;
        return OutOfMemory;
    }
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
