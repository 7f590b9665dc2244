// GDI+ paths: figures of points typed as GDI+ types them (start, line, Bézier, close), built the
// way GDI+ builds them so that GetPathPoints/GetPathTypes read back what Windows gives.
#include "gdiplus_tools.h"

#include <algorithm>
#include <cmath>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

// 4/3 (sqrt 2 - 1): a quarter ellipse's Bézier control distance, in radii.
constexpr double kQuarter = 0.5522847498307936;

void Add(PathImpl& path, double x, double y, BYTE type)
{
    path.points.push_back(PointF(REAL(x), REAL(y)));
    path.types.push_back(type);
}

// The type of the next figure point: a start, or a line joining the open figure.
BYTE Joining(PathImpl& path)
{
    const BYTE type = path.newFigure ? BYTE(PathPointTypeStart) : BYTE(PathPointTypeLine);
    path.newFigure = false;
    return type;
}

// The first point of something added to the path: it starts a figure, or joins the open one
// with a line, except that a point repeating the figure's last one is not added again
// (gdiplus tests/graphicspath.c test_line2, test_linei, test_bezier).
void AddFirst(PathImpl& path, double x, double y)
{
    if (!path.newFigure && !path.points.empty() && path.points.back().X == REAL(x) &&
        path.points.back().Y == REAL(y))
        return;
    Add(path, x, y, Joining(path));
}

void CloseLast(PathImpl& path)
{
    if (!path.types.empty())
        path.types.back() |= PathPointTypeCloseSubpath;
    path.newFigure = true;
}

// The parameter of the ellipse point on the ray at `degrees` from the centre, unwrapped so that
// it stays next to the angle itself (arcs of more than a turn keep going round).
double ParameterOf(double degrees, double rx, double ry)
{
    const double a = degrees * (M_PI / 180.0);
    double t = std::atan2(rx * std::sin(a), ry * std::cos(a));
    t += 2 * M_PI * std::round((a - t) / (2 * M_PI));
    return t;
}

} // namespace

void AppendArc(PathImpl& path, double x, double y, double w, double h, double start, double sweep)
{
    sweep = std::clamp(sweep, -360.0, 360.0);
    const double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
    // Quarter turns of the ellipse's parameter from the start, then what is left (gdiplus
    // tests/graphicspath.c test_arc, test_linei).
    const double tStart = ParameterOf(start, rx, ry), tEnd = ParameterOf(start + sweep, rx, ry);
    const double span = tEnd - tStart, quarter = M_PI / 2;
    const double step = span < 0 ? -quarter : quarter;
    const int whole = int(std::fabs(span) / quarter + 1e-9);
    const bool rest = std::fabs(span) - whole * quarter > 1e-9;
    const int segments = whole + (rest ? 1 : 0);
    AddFirst(path, cx + rx * std::cos(tStart), cy + ry * std::sin(tStart));
    for (int i = 0; i < segments; ++i) {
        const double t1 = tStart + step * i, t2 = i + 1 == segments ? tEnd : tStart + step * (i + 1);
        const double k = 4.0 / 3.0 * std::tan((t2 - t1) / 4);
        const double x1 = cx + rx * std::cos(t1), y1 = cy + ry * std::sin(t1);
        const double x2 = cx + rx * std::cos(t2), y2 = cy + ry * std::sin(t2);
        Add(path, x1 - k * rx * std::sin(t1), y1 + k * ry * std::cos(t1), PathPointTypeBezier);
        Add(path, x2 + k * rx * std::sin(t2), y2 - k * ry * std::cos(t2), PathPointTypeBezier);
        Add(path, x2, y2, PathPointTypeBezier);
    }
}

void AppendEllipse(PathImpl& path, double x, double y, double w, double h)
{
    const double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry, kx = rx * kQuarter, ky = ry * kQuarter;
    const double pts[13][2] = {{cx + rx, cy},      {cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry},
                               {cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy},      {cx - rx, cy - ky},
                               {cx - kx, cy - ry}, {cx, cy - ry},      {cx + kx, cy - ry}, {cx + rx, cy - ky},
                               {cx + rx, cy}};
    path.newFigure = true;
    Add(path, pts[0][0], pts[0][1], PathPointTypeStart);
    for (int i = 1; i < 13; ++i)
        Add(path, pts[i][0], pts[i][1], PathPointTypeBezier);
    CloseLast(path);
}

void AppendPie(PathImpl& path, double x, double y, double w, double h, double start, double sweep)
{
    path.newFigure = true;
    Add(path, x + w / 2, y + h / 2, Joining(path));
    AppendArc(path, x, y, w, h, start, sweep);
    CloseLast(path);
}

void AppendLines(PathImpl& path, const PointF* points, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i == 0)
            AddFirst(path, points[i].X, points[i].Y);
        else
            Add(path, points[i].X, points[i].Y, PathPointTypeLine);
    }
}

void AppendPolygon(PathImpl& path, const PointF* points, int count)
{
    path.newFigure = true;
    AppendLines(path, points, count);
    CloseLast(path);
}

void AppendRectangle(PathImpl& path, double x, double y, double w, double h)
{
    path.newFigure = true;
    Add(path, x, y, PathPointTypeStart);
    Add(path, x + w, y, PathPointTypeLine);
    Add(path, x + w, y + h, PathPointTypeLine);
    Add(path, x, y + h, PathPointTypeLine);
    CloseLast(path);
}

} // namespace moxplat

using moxplat::PathImpl;

namespace {

bool Finite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

// Runs a building step, turning a failed allocation into OutOfMemory with the path unchanged.
template <typename F> GpStatus Build(GpPath* path, F step)
{
    if (!path)
        return InvalidParameter;
    PathImpl& p = *moxplat::ToImpl(path);
    const std::size_t size = p.points.size();
    const bool newFigure = p.newFigure;
    try {
        step(p);
    } catch (const std::bad_alloc&) {
        p.points.resize(size);
        p.types.resize(size);
        p.newFigure = newFigure;
        return OutOfMemory;
    }
    return Ok;
}

std::vector<PointF> ToFloat(const GpPoint* points, INT count)
{
    std::vector<PointF> out;
    out.reserve(std::size_t(count));
    for (INT i = 0; i < count; ++i)
        out.push_back(PointF(REAL(points[i].X), REAL(points[i].Y)));
    return out;
}

} // namespace

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipCreatePath(GpFillMode brushMode, GpPath** path)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(path);
    if (!path)
        return InvalidParameter;
    PathImpl* p = new (std::nothrow) PathImpl;
    *path = p;
    if (!p)
        return OutOfMemory;
    p->fill = brushMode;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreatePath2(GDIPCONST GpPointF* points, GDIPCONST BYTE* types, INT count, GpFillMode fillMode,
                                    GpPath** path)
{
    // Missing arrays leave the out-pointer alone; no points at all is answered as a failed
    // allocation; the first point always starts a figure, and a path of several points whose
    // last one starts a figure is dropped whole (gdiplus tests/graphicspath.c test_createpath2).
    if (!path || !points || !types)
        return InvalidParameter;
    if (count <= 0) {
        *path = nullptr;
        return OutOfMemory;
    }
    const Status status = GdipCreatePath(fillMode, path);
    if (status != Ok)
        return status;
    PathImpl& p = *moxplat::ToImpl(*path);
    if (count > 1 && (types[count - 1] & PathPointTypePathTypeMask) == PathPointTypeStart)
        return Ok;
    try {
        p.points.assign(points, points + count);
        p.types.assign(types, types + count);
    } catch (const std::bad_alloc&) {
        GdipDeletePath(*path);
        *path = nullptr;
        return OutOfMemory;
    }
    p.types[0] = BYTE((p.types[0] & ~PathPointTypePathTypeMask) | PathPointTypeStart);
    p.newFigure = (types[count - 1] & PathPointTypeCloseSubpath) != 0;
    return Ok;
}

GpStatus WINGDIPAPI GdipClonePath(GpPath* path, GpPath** clonePath)
{
    if (!path || !clonePath)
        return InvalidParameter;
    PathImpl* clone = nullptr;
    try {
        clone = new PathImpl(*moxplat::ToImpl(path));
    } catch (const std::bad_alloc&) {
        clone = nullptr;
    }
    *clonePath = clone;
    return clone ? Ok : OutOfMemory;
}

GpStatus WINGDIPAPI GdipDeletePath(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    delete moxplat::ToImpl(path);
    return Ok;
}

GpStatus WINGDIPAPI GdipResetPath(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    PathImpl& p = *moxplat::ToImpl(path);
    p.points.clear();
    p.types.clear();
    p.newFigure = true;
    p.fill = FillModeAlternate;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPointCount(GpPath* path, INT* count)
{
    if (!path || !count)
        return InvalidParameter;
    *count = INT(moxplat::ToImpl(path)->points.size());
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPathTypes(GpPath* path, BYTE* types, INT count)
{
    if (!path || !types || count <= 0)
        return InvalidParameter;
    const PathImpl& p = *moxplat::ToImpl(path);
    if (std::size_t(count) < p.types.size())
        return InsufficientBuffer;
    std::copy(p.types.begin(), p.types.end(), types);
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPathPoints(GpPath* path, GpPointF* points, INT count)
{
    if (!path || !points || count <= 0)
        return InvalidParameter;
    const PathImpl& p = *moxplat::ToImpl(path);
    if (std::size_t(count) < p.points.size())
        return InsufficientBuffer;
    std::copy(p.points.begin(), p.points.end(), points);
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPathPointsI(GpPath* path, GpPoint* points, INT count)
{
    if (!path || !points || count <= 0)
        return InvalidParameter;
    const PathImpl& p = *moxplat::ToImpl(path);
    if (std::size_t(count) < p.points.size())
        return InsufficientBuffer;
    for (std::size_t i = 0; i < p.points.size(); ++i)
        points[i] = Point(INT(std::lround(p.points[i].X)), INT(std::lround(p.points[i].Y)));
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPathFillMode(GpPath* path, GpFillMode* fillmode)
{
    if (!path || !fillmode)
        return InvalidParameter;
    *fillmode = moxplat::ToImpl(path)->fill;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetPathFillMode(GpPath* path, GpFillMode fillmode)
{
    if (!path)
        return InvalidParameter;
    moxplat::ToImpl(path)->fill = fillmode;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetPathLastPoint(GpPath* path, GpPointF* lastPoint)
{
    if (!path || !lastPoint)
        return InvalidParameter;
    const PathImpl& p = *moxplat::ToImpl(path);
    if (p.points.empty())
        return InvalidParameter;
    *lastPoint = p.points.back();
    return Ok;
}

GpStatus WINGDIPAPI GdipStartPathFigure(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    moxplat::ToImpl(path)->newFigure = true;
    return Ok;
}

GpStatus WINGDIPAPI GdipClosePathFigure(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    PathImpl& p = *moxplat::ToImpl(path);
    if (!p.types.empty())
        p.types.back() |= PathPointTypeCloseSubpath;
    p.newFigure = true;
    return Ok;
}

GpStatus WINGDIPAPI GdipClosePathFigures(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    PathImpl& p = *moxplat::ToImpl(path);
    for (std::size_t i = 0; i < p.types.size(); ++i)
        if (i + 1 == p.types.size() || (p.types[i + 1] & PathPointTypePathTypeMask) == PathPointTypeStart)
            p.types[i] |= PathPointTypeCloseSubpath;
    p.newFigure = true;
    return Ok;
}

GpStatus WINGDIPAPI GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2)
{
    if (!Finite({x1, y1, x2, y2}))
        return InvalidParameter;
    const PointF points[2] = {PointF(x1, y1), PointF(x2, y2)};
    return Build(path, [&](PathImpl& p) { moxplat::AppendLines(p, points, 2); });
}

GpStatus WINGDIPAPI GdipAddPathLineI(GpPath* path, INT x1, INT y1, INT x2, INT y2)
{
    return GdipAddPathLine(path, REAL(x1), REAL(y1), REAL(x2), REAL(y2));
}

GpStatus WINGDIPAPI GdipAddPathLine2(GpPath* path, GDIPCONST GpPointF* points, INT count)
{
    if (!points || count < 1)
        return InvalidParameter;
    return Build(path, [&](PathImpl& p) { moxplat::AppendLines(p, points, count); });
}

GpStatus WINGDIPAPI GdipAddPathLine2I(GpPath* path, GDIPCONST GpPoint* points, INT count)
{
    if (!path || !points || count < 1)
        return InvalidParameter;
    try {
        const std::vector<PointF> f = ToFloat(points, count);
        return GdipAddPathLine2(path, f.data(), count);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height)
{
    if (!Finite({x, y, width, height}))
        return InvalidParameter;
    // A rectangle without area adds nothing (gdiplus tests/graphicspath.c test_empty_rect).
    if (width <= 0 || height <= 0)
        return path ? Ok : InvalidParameter;
    return Build(path, [&](PathImpl& p) { moxplat::AppendRectangle(p, x, y, width, height); });
}

GpStatus WINGDIPAPI GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height)
{
    return GdipAddPathRectangle(path, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus WINGDIPAPI GdipAddPathRectangles(GpPath* path, GDIPCONST GpRectF* rects, INT count)
{
    if (!path || !rects || count < 1)
        return InvalidParameter;
    return Build(path, [&](PathImpl& p) {
        for (INT i = 0; i < count; ++i)
            if (rects[i].Width > 0 && rects[i].Height > 0)
                moxplat::AppendRectangle(p, rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height);
    });
}

GpStatus WINGDIPAPI GdipAddPathRectanglesI(GpPath* path, GDIPCONST GpRect* rects, INT count)
{
    if (!path || !rects || count < 1)
        return InvalidParameter;
    return Build(path, [&](PathImpl& p) {
        for (INT i = 0; i < count; ++i)
            if (rects[i].Width > 0 && rects[i].Height > 0)
                moxplat::AppendRectangle(p, rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height);
    });
}

GpStatus WINGDIPAPI GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height)
{
    if (!Finite({x, y, width, height}))
        return InvalidParameter;
    return Build(path, [&](PathImpl& p) { moxplat::AppendEllipse(p, x, y, width, height); });
}

GpStatus WINGDIPAPI GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height)
{
    return GdipAddPathEllipse(path, REAL(x), REAL(y), REAL(width), REAL(height));
}

// An arc needs an ellipse with some size (gdiplus tests/graphicspath.c test_arc).
GpStatus WINGDIPAPI GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                                   REAL sweepAngle)
{
    if (!Finite({x, y, width, height, startAngle, sweepAngle}) || width <= 0 || height <= 0)
        return InvalidParameter;
    return Build(path, [&](PathImpl& p) { moxplat::AppendArc(p, x, y, width, height, startAngle, sweepAngle); });
}

GpStatus WINGDIPAPI GdipAddPathArcI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle,
                                    REAL sweepAngle)
{
    return GdipAddPathArc(path, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

// A pie, like an arc, needs an ellipse with some size (gdiplus tests/graphicspath.c test_addpie).
GpStatus WINGDIPAPI GdipAddPathPie(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                                   REAL sweepAngle)
{
    if (!Finite({x, y, width, height, startAngle, sweepAngle}) || width < 0 || height < 0)
        return InvalidParameter;
    if (width == 0 || height == 0) {
        // Windows refuses a flat pie yet leaves its centre in the path as a closed figure of one
        // point (gdiplus tests/graphicspath.c test_addpie).
        const GpStatus added = Build(path, [&](PathImpl& p) {
            p.newFigure = true;
            moxplat::Add(p, x + width / 2, y + height / 2, moxplat::Joining(p));
            moxplat::CloseLast(p);
        });
        return added == Ok ? InvalidParameter : added;
    }
    return Build(path, [&](PathImpl& p) { moxplat::AppendPie(p, x, y, width, height, startAngle, sweepAngle); });
}

GpStatus WINGDIPAPI GdipAddPathPieI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle,
                                    REAL sweepAngle)
{
    return GdipAddPathPie(path, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

// A polygon needs three points (MSDN GraphicsPath::AddPolygon).
GpStatus WINGDIPAPI GdipAddPathPolygon(GpPath* path, GDIPCONST GpPointF* points, INT count)
{
    if (!points || count < 3)
        return InvalidParameter;
    return Build(path, [&](PathImpl& p) { moxplat::AppendPolygon(p, points, count); });
}

GpStatus WINGDIPAPI GdipAddPathPolygonI(GpPath* path, GDIPCONST GpPoint* points, INT count)
{
    if (!path || !points || count < 3)
        return InvalidParameter;
    try {
        const std::vector<PointF> f = ToFloat(points, count);
        return GdipAddPathPolygon(path, f.data(), count);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus WINGDIPAPI GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                                      REAL y4)
{
    const PointF points[4] = {PointF(x1, y1), PointF(x2, y2), PointF(x3, y3), PointF(x4, y4)};
    return GdipAddPathBeziers(path, points, 4);
}

// One start point and three more per curve.
GpStatus WINGDIPAPI GdipAddPathBeziers(GpPath* path, GDIPCONST GpPointF* points, INT count)
{
    if (!points || count < 4 || (count - 1) % 3 != 0)
        return InvalidParameter;
    return Build(path, [&](PathImpl& p) {
        moxplat::AppendLines(p, points, 1);
        for (INT i = 1; i < count; ++i) {
            p.points.push_back(points[i]);
            p.types.push_back(PathPointTypeBezier);
        }
    });
}

// With `connect`, the added path's first figure continues this path's open figure.
GpStatus WINGDIPAPI GdipAddPathPath(GpPath* path, GDIPCONST GpPath* addingPath, BOOL connect)
{
    if (!path || !addingPath)
        return InvalidParameter;
    const PathImpl adding = *moxplat::ToImpl(addingPath); // the same path may be added to itself
    return Build(path, [&](PathImpl& p) {
        const bool join = connect && !p.newFigure;
        for (std::size_t i = 0; i < adding.points.size(); ++i) {
            BYTE type = adding.types[i];
            if (i == 0 && join && (type & PathPointTypePathTypeMask) == PathPointTypeStart)
                type = BYTE((type & ~PathPointTypePathTypeMask) | PathPointTypeLine);
            p.points.push_back(adding.points[i]);
            p.types.push_back(type);
        }
        if (!adding.points.empty())
            p.newFigure = adding.newFigure;
    });
}

GpStatus WINGDIPAPI GdipTransformPath(GpPath* path, GpMatrix* matrix)
{
    if (!path)
        return InvalidParameter;
    if (!matrix)
        return Ok;
    PathImpl& p = *moxplat::ToImpl(path);
    if (p.points.empty())
        return Ok;
    return GdipTransformMatrixPoints(matrix, p.points.data(), INT(p.points.size()));
}

// The box of the points (control points included), grown by half the pen's width when a pen is
// given; with a matrix, the box of that box's corners transformed, not of the points transformed
// (gdiplus tests/graphicspath.c test_worldbounds).
GpStatus WINGDIPAPI GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds, GDIPCONST GpMatrix* matrix,
                                           GDIPCONST GpPen* pen)
{
    if (!path || !bounds)
        return InvalidParameter;
    const PathImpl& p = *moxplat::ToImpl(path);
    if (p.points.empty()) {
        *bounds = RectF();
        return Ok;
    }
    double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
    for (const PointF& pt : p.points) {
        lo[0] = std::min(lo[0], double(pt.X));
        lo[1] = std::min(lo[1], double(pt.Y));
        hi[0] = std::max(hi[0], double(pt.X));
        hi[1] = std::max(hi[1], double(pt.Y));
    }
    if (matrix) {
        const REAL* m = moxplat::ToImpl(matrix)->m;
        const double xs[2] = {lo[0], hi[0]}, ys[2] = {lo[1], hi[1]};
        lo[0] = lo[1] = INFINITY;
        hi[0] = hi[1] = -INFINITY;
        for (double x : xs)
            for (double y : ys) {
                const double tx = x * m[0] + y * m[2] + m[4], ty = x * m[1] + y * m[3] + m[5];
                lo[0] = std::min(lo[0], tx);
                lo[1] = std::min(lo[1], ty);
                hi[0] = std::max(hi[0], tx);
                hi[1] = std::max(hi[1], ty);
            }
    }
    const double grow = pen ? moxplat::ToImpl(pen)->width / 2.0 : 0.0;
    *bounds = RectF(REAL(lo[0] - grow), REAL(lo[1] - grow), REAL(hi[0] - lo[0] + 2 * grow),
                    REAL(hi[1] - lo[1] + 2 * grow));
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
