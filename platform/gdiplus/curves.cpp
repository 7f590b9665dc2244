// Cardinal splines (DrawCurve, DrawClosedCurve, FillClosedCurve) as Bézier curves, several
// rectangles at once, and the smaller Graphics calls: nearest colour, page transform reset,
// transforming points between coordinate spaces.
#include "gdiplus_tools.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

using namespace Gdiplus;

namespace moxplat {

namespace {

// The curve through points[first .. first + segments], each segment a Bézier curve whose
// control points follow the neighbours' direction scaled by tension / 3; a closed curve wraps
// its neighbours around.
void AppendCurve(PathImpl& path, const PointF* points, int count, int first, int segments, double tension, bool closed)
{
    const double k = tension / 3;
    auto at = [&](int i) -> const PointF& {
        if (closed)
            return points[((i % count) + count) % count];
        return points[i < 0 ? 0 : (i >= count ? count - 1 : i)];
    };
    path.newFigure = closed ? true : path.newFigure;
    const PointF start = at(first);
    AppendLines(path, &start, 1);
    for (int s = 0; s < segments; ++s) {
        const int i = first + s;
        const PointF &p0 = at(i - 1), &p1 = at(i), &p2 = at(i + 1), &p3 = at(i + 2);
        const PointF c1(REAL(p1.X + k * (p2.X - p0.X)), REAL(p1.Y + k * (p2.Y - p0.Y)));
        const PointF c2(REAL(p2.X - k * (p3.X - p1.X)), REAL(p2.Y - k * (p3.Y - p1.Y)));
        for (const PointF& p : {c1, c2, p2}) {
            path.points.push_back(p);
            path.types.push_back(PathPointTypeBezier);
        }
    }
    if (closed) {
        path.types.back() |= PathPointTypeCloseSubpath;
        path.newFigure = true;
    }
}

std::vector<PointF> ToFloat(const GpPoint* points, INT count)
{
    std::vector<PointF> out;
    for (INT i = 0; i < count; ++i)
        out.push_back(PointF(REAL(points[i].X), REAL(points[i].Y)));
    return out;
}

bool FinitePoints(const PointF* points, INT count)
{
    for (INT i = 0; i < count; ++i)
        if (!std::isfinite(points[i].X) || !std::isfinite(points[i].Y))
            return false;
    return true;
}

} // namespace

} // namespace moxplat

using moxplat::PathImpl;

namespace Gdiplus {
namespace DllExports {
extern "C" {

// numberOfSegments curves from points[offset]; the points they pass through must exist
// (gdiplus tests/graphics.c test_GdipDrawCurve3).
GpStatus WINGDIPAPI GdipDrawCurve3(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count, INT offset,
                                   INT numberOfSegments, REAL tension)
{
    if (!graphics || !pen || !points || count < 2 || offset < 0 || numberOfSegments < 1 ||
        offset + numberOfSegments >= count || !std::isfinite(tension) || !moxplat::FinitePoints(points, count))
        return InvalidParameter;
    try {
        PathImpl path;
        moxplat::AppendCurve(path, points, count, offset, numberOfSegments, tension, false);
        return moxplat::StrokePathWith(graphics, moxplat::ToImpl(pen), path);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipDrawCurve3I(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count, INT offset,
                                    INT numberOfSegments, REAL tension)
{
    // The integer forms copy the points first, and a negative count is taken as a huge
    // allocation (gdiplus tests/graphics.c test_GdipDrawCurveI, test_GdipFillClosedCurveI).
    if (!graphics || !pen || !points || count == 0)
        return InvalidParameter;
    if (count < 0)
        return OutOfMemory;
    try {
        const std::vector<PointF> f = moxplat::ToFloat(points, count);
        return GdipDrawCurve3(graphics, pen, f.data(), count, offset, numberOfSegments, tension);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count,
                                   REAL tension)
{
    if (!graphics || !pen || !points || count < 2)
        return InvalidParameter;
    return GdipDrawCurve3(graphics, pen, points, count, 0, count - 1, tension);
}

GpStatus WINGDIPAPI GdipDrawCurve2I(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count,
                                    REAL tension)
{
    if (graphics && pen && points && count < 0)
        return OutOfMemory;
    if (!graphics || !pen || !points || count < 2)
        return InvalidParameter;
    return GdipDrawCurve3I(graphics, pen, points, count, 0, count - 1, tension);
}

// The default tension is 0.5 (MSDN Graphics::DrawCurve).
GpStatus WINGDIPAPI GdipDrawCurve(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count)
{
    return GdipDrawCurve2(graphics, pen, points, count, 0.5f);
}

GpStatus WINGDIPAPI GdipDrawCurveI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count)
{
    return GdipDrawCurve2I(graphics, pen, points, count, 0.5f);
}

GpStatus WINGDIPAPI GdipDrawClosedCurve2(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count,
                                         REAL tension)
{
    if (!graphics || !pen || !points || count < 3 || !std::isfinite(tension) || !moxplat::FinitePoints(points, count))
        return InvalidParameter;
    try {
        PathImpl path;
        moxplat::AppendCurve(path, points, count, 0, count, tension, true);
        return moxplat::StrokePathWith(graphics, moxplat::ToImpl(pen), path);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipDrawClosedCurve2I(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count,
                                          REAL tension)
{
    // The integer forms copy the points first, and a negative count is taken as a huge
    // allocation (gdiplus tests/graphics.c test_GdipDrawCurveI, test_GdipFillClosedCurveI).
    if (!graphics || !pen || !points || count == 0)
        return InvalidParameter;
    if (count < 0)
        return OutOfMemory;
    try {
        const std::vector<PointF> f = moxplat::ToFloat(points, count);
        return GdipDrawClosedCurve2(graphics, pen, f.data(), count, tension);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipDrawClosedCurve(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count)
{
    return GdipDrawClosedCurve2(graphics, pen, points, count, 0.5f);
}

GpStatus WINGDIPAPI GdipDrawClosedCurveI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count)
{
    return GdipDrawClosedCurve2I(graphics, pen, points, count, 0.5f);
}

GpStatus WINGDIPAPI GdipFillClosedCurve2(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points, INT count,
                                         REAL tension, GpFillMode fill)
{
    if (!graphics || !brush || !points || count <= 0 || !std::isfinite(tension) ||
        !moxplat::FinitePoints(points, count))
        return InvalidParameter;
    if (count == 1)
        return Ok; // a single point encloses nothing
    try {
        PathImpl path;
        path.fill = fill;
        moxplat::AppendCurve(path, points, count, 0, count, tension, true);
        return moxplat::FillPathWith(graphics, brush, path);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipFillClosedCurve2I(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points, INT count,
                                          REAL tension, GpFillMode fill)
{
    // The integer forms copy the points first, and a negative count is taken as a huge
    // allocation (gdiplus tests/graphics.c test_GdipDrawCurveI, test_GdipFillClosedCurveI).
    if (!graphics || !brush || !points || count == 0)
        return InvalidParameter;
    if (count < 0)
        return OutOfMemory;
    try {
        const std::vector<PointF> f = moxplat::ToFloat(points, count);
        return GdipFillClosedCurve2(graphics, brush, f.data(), count, tension, fill);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipFillClosedCurve(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points, INT count)
{
    return GdipFillClosedCurve2(graphics, brush, points, count, 0.5f, FillModeAlternate);
}

GpStatus WINGDIPAPI GdipFillClosedCurveI(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points, INT count)
{
    return GdipFillClosedCurve2I(graphics, brush, points, count, 0.5f, FillModeAlternate);
}

GpStatus WINGDIPAPI GdipDrawBezierI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3,
                                    INT x4, INT y4)
{
    return GdipDrawBezier(graphics, pen, REAL(x1), REAL(y1), REAL(x2), REAL(y2), REAL(x3), REAL(y3), REAL(x4),
                          REAL(y4));
}

GpStatus WINGDIPAPI GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpRectF* rects, INT count)
{
    if (!graphics || !brush || !rects || count <= 0)
        return InvalidParameter;
    try {
        PathImpl path;
        for (INT i = 0; i < count; ++i)
            if (rects[i].Width > 0 && rects[i].Height > 0)
                moxplat::AppendRectangle(path, rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height);
        // One fill for all, so overlaps blend once; winding keeps the overlaps filled.
        path.fill = FillModeWinding;
        return moxplat::FillPathWith(graphics, brush, path);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipFillRectanglesI(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpRect* rects, INT count)
{
    if (!graphics || !brush || !rects || count <= 0)
        return InvalidParameter;
    try {
        std::vector<RectF> f;
        for (INT i = 0; i < count; ++i)
            f.push_back(RectF(REAL(rects[i].X), REAL(rects[i].Y), REAL(rects[i].Width), REAL(rects[i].Height)));
        return GdipFillRectangles(graphics, brush, f.data(), count);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, GDIPCONST GpRectF* rects, INT count)
{
    if (!graphics || !pen || !rects || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i) {
        const Status status =
            GdipDrawRectangle(graphics, pen, rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height);
        if (status != Ok)
            return status;
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipDrawRectanglesI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpRect* rects, INT count)
{
    if (!graphics || !pen || !rects || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i) {
        const Status status =
            GdipDrawRectangleI(graphics, pen, rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height);
        if (status != Ok)
            return status;
    }
    return Ok;
}

// Every target here holds 24 or 32 bits a pixel, where each colour is its own nearest.
GpStatus WINGDIPAPI GdipGetNearestColor(GpGraphics* graphics, ARGB* argb)
{
    if (!graphics || !argb)
        return InvalidParameter;
    return Ok;
}

GpStatus WINGDIPAPI GdipResetPageTransform(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    moxplat::ToImpl(graphics)->state.pageUnit = UnitDisplay;
    moxplat::ToImpl(graphics)->state.pageScale = 1;
    return Ok;
}

// World points go through the world transform to page space, then through the page unit and
// scale to device space; the other way through the inverses.
GpStatus WINGDIPAPI GdipTransformPoints(GpGraphics* graphics, GpCoordinateSpace destSpace, GpCoordinateSpace srcSpace,
                                        GpPointF* points, INT count)
{
    if (!graphics || !points || count <= 0)
        return InvalidParameter;
    auto valid = [](GpCoordinateSpace s) { return s >= CoordinateSpaceWorld && s <= CoordinateSpaceDevice; };
    if (!valid(destSpace) || !valid(srcSpace))
        return InvalidParameter;
    if (destSpace == srcSpace)
        return Ok;
    double device[6];
    moxplat::DeviceTransform(graphics, device);
    double kx, ky;
    moxplat::PageFactors(graphics, &kx, &ky);
    const double toDevice[3][6] = {
        {device[0], device[1], device[2], device[3], device[4], device[5]}, {kx, 0, 0, ky, 0, 0}, {1, 0, 0, 1, 0, 0}};
    double fromDest[6], m[6];
    if (!moxplat::InvertAffine(toDevice[destSpace], fromDest))
        return InvalidParameter;
    moxplat::MultiplyAffine(toDevice[srcSpace], fromDest, m);
    for (INT i = 0; i < count; ++i) {
        const double x = points[i].X, y = points[i].Y;
        points[i].X = REAL(x * m[0] + y * m[2] + m[4]);
        points[i].Y = REAL(x * m[1] + y * m[3] + m[5]);
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipTransformPointsI(GpGraphics* graphics, GpCoordinateSpace destSpace,
                                         GpCoordinateSpace srcSpace, GpPoint* points, INT count)
{
    if (!points || count <= 0)
        return InvalidParameter;
    try {
        std::vector<PointF> f = moxplat::ToFloat(points, count);
        const Status status = GdipTransformPoints(graphics, destSpace, srcSpace, f.data(), count);
        if (status == Ok)
            for (INT i = 0; i < count; ++i)
                points[i] = Point(INT(std::lround(f[i].X)), INT(std::lround(f[i].Y)));
        return status;
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipGetPathData(GpPath* path, GpPathData* pathData)
{
    if (!path || !pathData || !pathData->Points || !pathData->Types)
        return InvalidParameter;
    const PathImpl& p = *moxplat::ToImpl(path);
    if (pathData->Count < INT(p.points.size()))
        return OutOfMemory;
    for (std::size_t i = 0; i < p.points.size(); ++i) {
        pathData->Points[i] = p.points[i];
        pathData->Types[i] = p.types[i];
    }
    pathData->Count = INT(p.points.size());
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateFromHWNDICM(HWND hwnd, GpGraphics** graphics)
{
    return GdipCreateFromHWND(hwnd, graphics);
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus

// --- Curves added to paths, and paths reversed -------------------------------------------------

namespace Gdiplus {
namespace DllExports {
extern "C" {

// numberOfSegments curves from points[offset], continuing an open figure with a line to the
// first point they pass through (gdiplus tests/graphicspath.c test_addcurve).
GpStatus WINGDIPAPI GdipAddPathCurve3(GpPath* path, GDIPCONST GpPointF* points, INT count, INT offset,
                                      INT numberOfSegments, REAL tension)
{
    if (!path || !points || count < 2 || offset < 0 || numberOfSegments < 1 || offset + numberOfSegments >= count ||
        !std::isfinite(tension) || !moxplat::FinitePoints(points, count))
        return InvalidParameter;
    PathImpl& p = *moxplat::ToImpl(path);
    const std::size_t size = p.points.size();
    const bool newFigure = p.newFigure;
    try {
        moxplat::AppendCurve(p, points, count, offset, numberOfSegments, tension, false);
    } catch (const std::bad_alloc&) {
        p.points.resize(size);
        p.types.resize(size);
        p.newFigure = newFigure;
        return OutOfMemory;
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipAddPathCurve2(GpPath* path, GDIPCONST GpPointF* points, INT count, REAL tension)
{
    if (!path || !points || count < 2)
        return InvalidParameter;
    return GdipAddPathCurve3(path, points, count, 0, count - 1, tension);
}

// The default tension of a cardinal spline is 0.5 (MSDN GraphicsPath::AddCurve).
GpStatus WINGDIPAPI GdipAddPathCurve(GpPath* path, GDIPCONST GpPointF* points, INT count)
{
    return GdipAddPathCurve2(path, points, count, 0.5f);
}

// A closed curve is a figure of its own, closed at its first point (graphicspath.c
// test_addclosedcurve).
GpStatus WINGDIPAPI GdipAddPathClosedCurve2(GpPath* path, GDIPCONST GpPointF* points, INT count, REAL tension)
{
    if (!path || !points || count < 3 || !std::isfinite(tension) || !moxplat::FinitePoints(points, count))
        return InvalidParameter;
    PathImpl& p = *moxplat::ToImpl(path);
    const std::size_t size = p.points.size();
    const bool newFigure = p.newFigure;
    try {
        moxplat::AppendCurve(p, points, count, 0, count, tension, true);
    } catch (const std::bad_alloc&) {
        p.points.resize(size);
        p.types.resize(size);
        p.newFigure = newFigure;
        return OutOfMemory;
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipAddPathClosedCurve(GpPath* path, GDIPCONST GpPointF* points, INT count)
{
    return GdipAddPathClosedCurve2(path, points, count, 0.5f);
}

GpStatus WINGDIPAPI GdipAddPathCurve3I(GpPath* path, GDIPCONST GpPoint* points, INT count, INT offset,
                                       INT numberOfSegments, REAL tension)
{
    if (!path || !points || count < 2)
        return InvalidParameter;
    try {
        const std::vector<PointF> f = moxplat::ToFloat(points, count);
        return GdipAddPathCurve3(path, f.data(), count, offset, numberOfSegments, tension);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipAddPathCurve2I(GpPath* path, GDIPCONST GpPoint* points, INT count, REAL tension)
{
    if (!path || !points || count < 2)
        return InvalidParameter;
    return GdipAddPathCurve3I(path, points, count, 0, count - 1, tension);
}

GpStatus WINGDIPAPI GdipAddPathCurveI(GpPath* path, GDIPCONST GpPoint* points, INT count)
{
    return GdipAddPathCurve2I(path, points, count, 0.5f);
}

GpStatus WINGDIPAPI GdipAddPathClosedCurve2I(GpPath* path, GDIPCONST GpPoint* points, INT count, REAL tension)
{
    if (!path || !points || count < 3)
        return InvalidParameter;
    try {
        const std::vector<PointF> f = moxplat::ToFloat(points, count);
        return GdipAddPathClosedCurve2(path, f.data(), count, tension);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipAddPathClosedCurveI(GpPath* path, GDIPCONST GpPoint* points, INT count)
{
    return GdipAddPathClosedCurve2I(path, points, count, 0.5f);
}

// The points in the opposite order, so the figures come last to first and each is walked
// backwards: each point takes the kind of the segment that now leads to it, and a closed figure
// stays closed at its new last point (graphicspath.c test_reverse).
GpStatus WINGDIPAPI GdipReversePath(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    PathImpl& p = *moxplat::ToImpl(path);
    const std::size_t n = p.points.size();
    std::vector<BYTE> types(n);
    std::size_t start = 0;
    while (start < n) {
        std::size_t end = start + 1; // one past the figure's last point
        while (end < n && (p.types[end] & PathPointTypePathTypeMask) != PathPointTypeStart)
            ++end;
        const bool closed = (p.types[end - 1] & PathPointTypeCloseSubpath) != 0;
        // The figure lands at n - end .. n - start - 1, its last point first.
        const std::size_t at = n - end, last = end - 1 - start;
        types[at] = PathPointTypeStart;
        for (std::size_t j = 1; j <= last; ++j)
            types[at + j] = p.types[end - j] & PathPointTypePathTypeMask;
        if (closed)
            types[at + last] |= PathPointTypeCloseSubpath;
        start = end;
    }
    std::reverse(p.points.begin(), p.points.end());
    p.types.swap(types);
    return Ok;
}


// Whether the point lies in the path's interior by its fill mode, in the path's own coordinates:
// the Graphics' transform and clip play no part (graphicspath.c test_isvisible).
GpStatus WINGDIPAPI GdipIsVisiblePathPoint(GpPath* path, REAL x, REAL y, GpGraphics* graphics, BOOL* result)
{
    (void)graphics;
    if (!path || !result)
        return InvalidParameter;
    GpRegion* region = nullptr;
    const GpStatus status = GdipCreateRegionPath(path, &region);
    if (status != Ok)
        return status;
    const GpStatus tested = GdipIsVisibleRegionPoint(region, x, y, nullptr, result);
    GdipDeleteRegion(region);
    return tested;
}

GpStatus WINGDIPAPI GdipIsVisiblePathPointI(GpPath* path, INT x, INT y, GpGraphics* graphics, BOOL* result)
{
    return GdipIsVisiblePathPoint(path, REAL(x), REAL(y), graphics, result);
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
