// GDI+ paths: cardinal splines added to paths, and paths reversed. Written against the flat API
// alone, so that the Windows build checks the same against real GDI+.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <vector>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

std::vector<BYTE> TypesOf(GpPath* path)
{
    INT n = 0;
    GdipGetPointCount(path, &n);
    std::vector<BYTE> types(std::size_t(n > 0 ? n : 0));
    if (n > 0)
        GdipGetPathTypes(path, types.data(), n);
    return types;
}

std::vector<PointF> PointsOf(GpPath* path)
{
    INT n = 0;
    GdipGetPointCount(path, &n);
    std::vector<PointF> points(std::size_t(n > 0 ? n : 0));
    if (n > 0)
        GdipGetPathPoints(path, points.data(), n);
    return points;
}

constexpr BYTE S = PathPointTypeStart, L = PathPointTypeLine, B = PathPointTypeBezier, C = PathPointTypeCloseSubpath;

} // namespace

// Windows: a spline of n points is n - 1 Bézier segments whose inner control points lie a third
// of the tension along the neighbours' chord; one continuing an open figure is joined by a line;
// a closed one is a figure of its own, closed at its start; segments that need a point beyond
// the array are refused (MSDN GraphicsPath::AddCurve, AddClosedCurve; gdiplus
// tests/graphicspath.c test_addcurve, test_addclosedcurve).
TEST(GdiplusPathCurve, SplinesBecomeBezierFigures)
{
    const PointF pts[4] = {PointF(0, 0), PointF(30, 0), PointF(30, 30), PointF(60, 30)};
    struct Case {
        const char* name;
        bool openLineFirst;
        bool closed;
        INT offset, segments;
        REAL tension;
        std::vector<BYTE> types;
    } cases[] = {
        {"whole open curve", false, false, 0, 3, 0.5f, {S, B, B, B, B, B, B, B, B, B}},
        {"middle segment", false, false, 1, 1, 1.0f, {S, B, B, B}},
        {"after an open line", true, false, 0, 3, 0.5f, {S, L, L, B, B, B, B, B, B, B, B, B}},
        {"closed", true, true, 0, 4, 0.5f, {S, L, S, B, B, B, B, B, B, B, B, B, B, B, B | C}},
    };
    for (const Case& c : cases) {
        GpPath* path = nullptr;
        ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
        if (c.openLineFirst)
            GdipAddPathLine(path, 100, 100, 110, 100);
        const Status st = c.closed ? GdipAddPathClosedCurve2(path, pts, 4, c.tension)
                                   : GdipAddPathCurve3(path, pts, 4, c.offset, c.segments, c.tension);
        EXPECT_EQ(st, Ok) << c.name;
        EXPECT_EQ(TypesOf(path), c.types) << c.name;
        GdipDeletePath(path);
    }

    // The first control point of the middle segment: p1 + tension / 3 * (p2 - p0).
    GpPath* path = nullptr;
    ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
    ASSERT_EQ(GdipAddPathCurve3(path, pts, 4, 1, 1, 1.0f), Ok);
    const std::vector<PointF> got = PointsOf(path);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_NEAR(got[1].X, 40, 1e-3);
    EXPECT_NEAR(got[1].Y, 10, 1e-3);
    EXPECT_NEAR(got[3].Y, 30, 1e-3);

    struct Refusal {
        INT count, offset, segments;
    } refusals[] = {{1, 0, 0}, {4, 0, 0}, {4, 0, 4}, {4, 1, 3}, {4, 3, 1}, {4, -1, 1}};
    for (const Refusal& r : refusals)
        EXPECT_EQ(GdipAddPathCurve3(path, pts, r.count, r.offset, r.segments, 0.5f), InvalidParameter)
            << r.count << " " << r.offset << " " << r.segments;
    EXPECT_EQ(GdipAddPathClosedCurve(path, pts, 1), InvalidParameter);
    EXPECT_EQ(GdipAddPathCurve(nullptr, pts, 4), InvalidParameter);
    EXPECT_EQ(TypesOf(path).size(), 4u); // refusals add nothing
    GdipDeletePath(path);
}

// Windows: reversing walks every figure backwards, last figure first; each point takes the kind
// of the segment now leading to it and a closed figure is closed at its new last point
// (graphicspath.c test_reverse).
TEST(GdiplusPathCurve, ReversedFiguresKeepTheirSegments)
{
    GpPath* path = nullptr;
    ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
    EXPECT_EQ(GdipReversePath(path), Ok); // an empty path
    EXPECT_EQ(GdipReversePath(nullptr), InvalidParameter);
    const PointF lines[3] = {PointF(0, 0), PointF(10, 0), PointF(10, 10)};
    GdipAddPathLine2(path, lines, 3);
    GdipClosePathFigure(path);
    GdipAddPathBezier(path, 20, 0, 25, 5, 30, 5, 35, 0);
    GdipAddPathLine(path, 35, 0, 40, 10);
    // Before: S L L|C, S B B B L (the line's first point joins the Bézier's end).
    ASSERT_EQ(TypesOf(path), (std::vector<BYTE>{S, L, BYTE(L | C), S, B, B, B, L}));
    ASSERT_EQ(GdipReversePath(path), Ok);
    EXPECT_EQ(TypesOf(path), (std::vector<BYTE>{S, L, B, B, B, S, L, BYTE(L | C)}));
    const std::vector<PointF> got = PointsOf(path);
    ASSERT_EQ(got.size(), 8u);
    EXPECT_EQ(got[0].X, 40);
    EXPECT_EQ(got[4].X, 20);
    EXPECT_EQ(got[5].X, 10);
    EXPECT_EQ(got[7].X, 0);
    GdipDeletePath(path);
}

// Windows: a point is in a path when its fill covers it by the path's fill mode, the left and
// top edges included; an empty path contains nothing (MSDN GraphicsPath::IsVisible; gdiplus
// tests/graphicspath.c test_isvisible, test_empty_rect).
TEST(GdiplusPathCurve, PointsInsideAPathFollowItsFillMode)
{
    struct Case {
        FillMode mode;
        REAL x, y;
        BOOL inside;
    } cases[] = {
        {FillModeAlternate, 0, 0, TRUE},    {FillModeAlternate, 9.5f, 5, TRUE}, {FillModeAlternate, 11, 11, FALSE},
        {FillModeAlternate, 15, 15, FALSE}, {FillModeWinding, 15, 15, TRUE},    {FillModeWinding, 25, 25, FALSE},
    };
    for (const Case& c : cases) {
        GpPath* path = nullptr;
        ASSERT_EQ(GdipCreatePath(c.mode, &path), Ok);
        BOOL inside = TRUE;
        EXPECT_EQ(GdipIsVisiblePathPoint(path, 0, 0, nullptr, &inside), Ok);
        EXPECT_FALSE(inside);
        GdipAddPathRectangle(path, 0, 0, 10, 10);
        GdipAddPathRectangle(path, 12, 12, 10, 10);
        GdipAddPathRectangle(path, 12, 12, 5, 5); // overlaps the second, turning the same way
        inside = !c.inside;
        EXPECT_EQ(GdipIsVisiblePathPoint(path, c.x, c.y, nullptr, &inside), Ok);
        EXPECT_EQ(inside, c.inside) << c.mode << " " << c.x << "," << c.y;
        EXPECT_EQ(GdipIsVisiblePathPoint(path, c.x, c.y, nullptr, nullptr), InvalidParameter);
        GdipDeletePath(path);
    }
}

// Windows: with a matrix, a path's world bounds are the box around its untransformed box's four
// corners transformed, wider than the box of its points transformed when the matrix shears
// (graphicspath.c test_worldbounds).
TEST(GdiplusPathCurve, WorldBoundsTransformTheBoxCorners)
{
    GpPath* path = nullptr;
    ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
    const PointF diagonal[2] = {PointF(0, 10), PointF(10, 0)}; // the box is 0..10 both ways
    GdipAddPathLine2(path, diagonal, 2);
    struct Case {
        REAL m[6];
        RectF want;
    } cases[] = {
        {{1, 0, 0, 1, 0, 0}, RectF(0, 0, 10, 10)},
        {{1, 0, 1, 1, 5, 0}, RectF(5, 0, 20, 10)}, // the points alone would give x 15..15
        {{2, 0, 0, -1, 0, 0}, RectF(0, -10, 20, 10)},
    };
    for (const Case& c : cases) {
        GpMatrix* matrix = nullptr;
        ASSERT_EQ(GdipCreateMatrix2(c.m[0], c.m[1], c.m[2], c.m[3], c.m[4], c.m[5], &matrix), Ok);
        RectF got;
        ASSERT_EQ(GdipGetPathWorldBounds(path, &got, matrix, nullptr), Ok);
        EXPECT_FLOAT_EQ(got.X, c.want.X) << c.m[2];
        EXPECT_FLOAT_EQ(got.Y, c.want.Y) << c.m[2];
        EXPECT_FLOAT_EQ(got.Width, c.want.Width) << c.m[2];
        EXPECT_FLOAT_EQ(got.Height, c.want.Height) << c.m[2];
        GdipDeleteMatrix(matrix);
    }
    GdipDeletePath(path);
}

// Windows: a pie with no width or no height is refused, yet its centre stays in the path as a
// closed one-point figure (graphicspath.c test_addpie).
TEST(GdiplusPathCurve, FlatPieLeavesItsCentre)
{
    struct Case {
        REAL w, h;
        PointF centre;
    } cases[] = {{0, 60, PointF(0, 30)}, {60, 0, PointF(30, 0)}};
    for (const Case& c : cases) {
        GpPath* path = nullptr;
        ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
        EXPECT_EQ(GdipAddPathPie(path, 0, 0, c.w, c.h, -90, 24), InvalidParameter);
        EXPECT_EQ(TypesOf(path), (std::vector<BYTE>{BYTE(S | C)}));
        const std::vector<PointF> got = PointsOf(path);
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].X, c.centre.X);
        EXPECT_EQ(got[0].Y, c.centre.Y);
        GdipDeletePath(path);
    }
}

// Windows: a rectangle without area adds nothing to a path, and contains nothing
// (graphicspath.c test_empty_rect).
TEST(GdiplusPathCurve, RectanglesWithoutAreaAddNothing)
{
    GpPath* path = nullptr;
    ASSERT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
    const RectF rects[] = {RectF(0, 0, -5, 5), RectF(0, 0, 5, -5), RectF(0, 0, 0, 5), RectF(0, 0, 5, 0)};
    for (const RectF& r : rects)
        EXPECT_EQ(GdipAddPathRectangle(path, r.X, r.Y, r.Width, r.Height), Ok);
    EXPECT_EQ(GdipAddPathRectangles(path, rects, 4), Ok);
    EXPECT_TRUE(TypesOf(path).empty());
    BOOL inside = TRUE;
    EXPECT_EQ(GdipIsVisiblePathPoint(path, -2, 2, nullptr, &inside), Ok);
    EXPECT_FALSE(inside);
    EXPECT_EQ(GdipAddPathRectangle(path, 0, 0, 5, 0.1f), Ok);
    EXPECT_EQ(TypesOf(path).size(), 4u);
    GdipDeletePath(path);
}
