// GDI+ coordinate spaces and argument rules beyond the drawing itself: matrix operations in both
// orders, points moved between world, page and device space (page units at the target's
// resolution), images drawn through scales and at their resolution, path construction from
// arrays, curve arguments, text measuring. Windows-API only, so the Windows build checks the
// same expectations against the real thing.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

ARGB PixelOf(Bitmap& b, int x, int y)
{
    Color c;
    b.GetPixel(x, y, &c);
    return c.GetValue();
}

} // namespace

// Windows: each operation maps (1, 2) as the composition says: prepend applies it before the
// matrix, append after (MSDN Matrix::Translate, Scale, Rotate, Shear; MatrixOrder).
TEST(GdiplusTransforms, MatrixOperationsComposeInTheirOrder)
{
    const struct {
        const char* name;
        void (*apply)(Matrix&, MatrixOrder);
        PointF prepend, append; // starting from a translation by (10, 0)
    } cases[] = {
        {"scale", [](Matrix& m, MatrixOrder o) { m.Scale(2, 3, o); }, PointF(12, 6), PointF(22, 6)},
        {"rotate", [](Matrix& m, MatrixOrder o) { m.Rotate(90, o); }, PointF(8, 1), PointF(-2, 11)},
        {"translate", [](Matrix& m, MatrixOrder o) { m.Translate(0, 5, o); }, PointF(11, 7), PointF(11, 7)},
        {"shear", [](Matrix& m, MatrixOrder o) { m.Shear(1, 0, o); }, PointF(13, 2), PointF(13, 2)},
    };
    for (const auto& c : cases) {
        for (MatrixOrder order : {MatrixOrderPrepend, MatrixOrderAppend}) {
            Matrix m;
            m.Translate(10, 0);
            c.apply(m, order);
            PointF p(1, 2);
            ASSERT_EQ(m.TransformPoints(&p), Ok);
            const PointF& want = order == MatrixOrderPrepend ? c.prepend : c.append;
            EXPECT_NEAR(p.X, want.X, 1e-4) << c.name << " order " << order;
            EXPECT_NEAR(p.Y, want.Y, 1e-4) << c.name << " order " << order;
        }
    }
    Matrix m;
    EXPECT_EQ(m.Scale(2, 2, MatrixOrder(7)), InvalidParameter);
    EXPECT_EQ(GdipTransformMatrixPoints(nullptr, nullptr, 1), InvalidParameter);
}

// Windows: a bitmap's Graphics has the bitmap's resolution, and page units are lengths at that
// resolution across and down; device space is pixels (gdiplus tests/graphics.c test_transform;
// MSDN Graphics::TransformPoints).
TEST(GdiplusTransforms, PagePointsBecomePixelsAtTheTargetsResolution)
{
    Bitmap bitmap(10, 10, PixelFormat32bppARGB);
    ASSERT_EQ(bitmap.SetResolution(144, 48), Ok);
    Graphics g(&bitmap);
    EXPECT_EQ(g.GetDpiX(), 144.0f);
    EXPECT_EQ(g.GetDpiY(), 48.0f);
    const struct {
        Unit unit;
        REAL scale;
        REAL x, y; // device position of the page point (1, 1)
    } cases[] = {
        {UnitPixel, 1, 1, 1}, {UnitInch, 1, 144, 48}, {UnitPoint, 2, 4, 4.0f / 3.0f}, {UnitMillimeter, 1, 144 / 25.4f, 48 / 25.4f},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(g.SetPageUnit(c.unit), Ok);
        ASSERT_EQ(g.SetPageScale(c.scale), Ok);
        PointF p(1, 1);
        ASSERT_EQ(g.TransformPoints(CoordinateSpaceDevice, CoordinateSpacePage, &p, 1), Ok);
        EXPECT_NEAR(p.X, c.x, 1e-3) << "unit " << c.unit;
        EXPECT_NEAR(p.Y, c.y, 1e-3) << "unit " << c.unit;
        // And back.
        ASSERT_EQ(g.TransformPoints(CoordinateSpacePage, CoordinateSpaceDevice, &p, 1), Ok);
        EXPECT_NEAR(p.X, 1, 1e-4);
        EXPECT_NEAR(p.Y, 1, 1e-4);
    }
    g.SetPageUnit(UnitPixel);
    g.SetPageScale(1);
    g.TranslateTransform(5, 6);
    PointF p(1, 1);
    g.TransformPoints(CoordinateSpaceDevice, CoordinateSpaceWorld, &p, 1);
    EXPECT_NEAR(p.X, 6, 1e-4);
    EXPECT_NEAR(p.Y, 7, 1e-4);
}

// Windows: an image drawn without a size is drawn at its resolution's size, and a world scale
// enlarges what DrawImage draws (MSDN Graphics::DrawImage(Image*, INT, INT), Image resolution).
TEST(GdiplusTransforms, ImagesFollowTheirResolutionAndTheWorldScale)
{
    Bitmap red(4, 4, PixelFormat32bppARGB);
    {
        Graphics g(&red);
        g.Clear(Color(255, 255, 0, 0));
    }
    const struct {
        REAL dpi, scale;
        int inside, outside; // a pixel that must be red and one that must stay clear, on the diagonal
    } cases[] = {{96, 1, 3, 5}, {48, 1, 7, 9}, {96, 2, 7, 9}, {192, 1, 1, 3}};
    for (const auto& c : cases) {
        red.SetResolution(c.dpi, c.dpi);
        Bitmap target(12, 12, PixelFormat32bppARGB);
        Graphics g(&target);
        g.SetInterpolationMode(InterpolationModeNearestNeighbor);
        g.ScaleTransform(c.scale, c.scale);
        ASSERT_EQ(g.DrawImage(&red, 0, 0), Ok);
        EXPECT_EQ(PixelOf(target, c.inside, c.inside), 0xFFFF0000u) << "dpi " << c.dpi << " scale " << c.scale;
        EXPECT_EQ(PixelOf(target, c.outside, c.outside), 0u) << "dpi " << c.dpi << " scale " << c.scale;
    }
}

// Windows: a path made from arrays starts with a start point whatever the first type says,
// refuses missing arrays without touching the out-pointer, and answers OutOfMemory for no
// points (gdiplus tests/graphicspath.c test_createpath2).
TEST(GdiplusTransforms, PathsFromArraysFollowGdiplusRules)
{
    const PointF points[2] = {PointF(1, 1), PointF(2, 2)};
    const BYTE lineFirst[2] = {PathPointTypeLine, PathPointTypeLine};
    GpPath* path = nullptr;
    ASSERT_EQ(GdipCreatePath2(points, lineFirst, 2, FillModeAlternate, &path), Ok);
    BYTE types[2] = {};
    ASSERT_EQ(GdipGetPathTypes(path, types, 2), Ok);
    EXPECT_EQ(types[0], PathPointTypeStart);
    EXPECT_EQ(types[1], PathPointTypeLine);
    GdipDeletePath(path);

    GpPath* untouched = reinterpret_cast<GpPath*>(0x1234);
    EXPECT_EQ(GdipCreatePath2(nullptr, lineFirst, 2, FillModeAlternate, &untouched), InvalidParameter);
    EXPECT_EQ(untouched, reinterpret_cast<GpPath*>(0x1234));
    EXPECT_EQ(GdipCreatePath2(points, lineFirst, 0, FillModeAlternate, &untouched), OutOfMemory);
    EXPECT_EQ(untouched, nullptr);

    // GetPathData fills the caller's arrays.
    ASSERT_EQ(GdipCreatePath2(points, lineFirst, 2, FillModeAlternate, &path), Ok);
    PointF outPoints[2];
    BYTE outTypes[2];
    PathData data;
    data.Count = 2;
    data.Points = outPoints;
    data.Types = outTypes;
    ASSERT_EQ(GdipGetPathData(path, reinterpret_cast<GpPathData*>(&data)), Ok);
    EXPECT_EQ(outPoints[1].X, 2.0f);
    EXPECT_EQ(outTypes[0], PathPointTypeStart);
    data.Points = nullptr; // not ours to free
    data.Types = nullptr;
    GdipDeletePath(path);
}

// Windows: curve calls check their points and segments; the integer forms take a negative
// count as a huge allocation (gdiplus tests/graphics.c test_GdipDrawCurve3, test_GdipDrawCurveI).
TEST(GdiplusTransforms, CurveArgumentsAreChecked)
{
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &graphics), Ok);
    GpPen* pen = nullptr;
    ASSERT_EQ(GdipCreatePen1(0xFF000000, 1, UnitPixel, &pen), Ok);
    const PointF f[3] = {PointF(0, 0), PointF(4, 4), PointF(7, 0)};
    const Point i[3] = {Point(0, 0), Point(4, 4), Point(7, 0)};
    const struct {
        INT count, offset, segments;
        Status expected;
    } curve3[] = {{3, 0, 2, Ok},  {-1, 0, 2, InvalidParameter}, {0, 0, 2, InvalidParameter},
                  {3, 4, 2, InvalidParameter}, {3, 0, -1, InvalidParameter}, {3, 1, 2, InvalidParameter},
                  {2, 0, 2, InvalidParameter}};
    for (const auto& c : curve3)
        EXPECT_EQ(GdipDrawCurve3(graphics, pen, f, c.count, c.offset, c.segments, 1), c.expected)
            << c.count << " " << c.offset << " " << c.segments;
    EXPECT_EQ(GdipDrawCurveI(graphics, pen, i, -1), OutOfMemory);
    EXPECT_EQ(GdipDrawCurveI(graphics, pen, i, 3), Ok);
    EXPECT_EQ(GdipDrawCurveI(nullptr, pen, i, 3), InvalidParameter);
    GdipDeletePen(pen);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(bitmap);
}

// Windows: measured text is wider for longer text and wraps into more lines in a narrow box
// (MSDN Graphics::MeasureString).
TEST(GdiplusTransforms, MeasuredTextGrowsAndWraps)
{
    Bitmap bitmap(10, 10, PixelFormat32bppARGB);
    Graphics g(&bitmap);
    FontFamily family(L"DejaVu Sans");
    if (!family.IsAvailable())
        GTEST_SKIP() << "no DejaVu Sans here";
    Font font(&family, 12, FontStyleRegular, UnitPixel);
    RectF shortBox, longBox, wrapped;
    INT lines = 0, fitted = 0;
    ASSERT_EQ(g.MeasureString(L"ab", -1, &font, PointF(0, 0), &shortBox), Ok);
    ASSERT_EQ(g.MeasureString(L"abab abab", -1, &font, PointF(0, 0), &longBox), Ok);
    EXPECT_GT(longBox.Width, shortBox.Width);
    EXPECT_GT(shortBox.Height, 0);
    ASSERT_EQ(g.MeasureString(L"abab abab abab", -1, &font, RectF(0, 0, 50, 1000), nullptr, &wrapped, &fitted, &lines),
              Ok);
    EXPECT_GT(lines, 1);
    EXPECT_EQ(fitted, 14);
    EXPECT_LE(wrapped.Width, 50);
    EXPECT_GT(wrapped.Height, shortBox.Height);
}
