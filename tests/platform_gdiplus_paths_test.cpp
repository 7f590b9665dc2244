// GDI+ as programs draw with it beyond the library's own calls: paths, matrices and the world
// transform, shapes on 32-bit bitmaps, gradient and texture brushes, compositing and quality
// modes, saved states. Written against GDI+'s flat API and classes only, so that the Windows
// build checks the same expectations against the real thing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct PathDeleter {
    void operator()(GpPath* p) const { GdipDeletePath(p); }
};
using PathPtr = std::unique_ptr<GpPath, PathDeleter>;

PathPtr NewPath()
{
    GpPath* path = nullptr;
    EXPECT_EQ(GdipCreatePath(FillModeAlternate, &path), Ok);
    return PathPtr(path);
}

std::vector<PointF> PointsOf(GpPath* path)
{
    INT count = 0;
    GdipGetPointCount(path, &count);
    std::vector<PointF> points(std::size_t(count > 0 ? count : 1));
    if (count > 0) {
        EXPECT_EQ(GdipGetPathPoints(path, points.data(), count), Ok);
    }
    points.resize(std::size_t(count));
    return points;
}

std::vector<BYTE> TypesOf(GpPath* path)
{
    INT count = 0;
    GdipGetPointCount(path, &count);
    std::vector<BYTE> types(std::size_t(count > 0 ? count : 1));
    if (count > 0) {
        EXPECT_EQ(GdipGetPathTypes(path, types.data(), count), Ok);
    }
    types.resize(std::size_t(count));
    return types;
}

// A 32-bit bitmap with a Graphics drawing on it.
struct Canvas {
    explicit Canvas(int w, int h, PixelFormat format = PixelFormat32bppARGB)
        : bitmap(w, h, format), graphics(&bitmap)
    {
    }
    ARGB At(int x, int y)
    {
        Color c;
        bitmap.GetPixel(x, y, &c);
        return c.GetValue();
    }
    Bitmap bitmap;
    Graphics graphics;
};

int Channel(ARGB c, int shift)
{
    return int((c >> shift) & 0xFF);
}

} // namespace

// Windows: a rectangle and an ellipse are closed figures of their own; an ellipse is four
// Bézier curves from its rightmost point, clockwise on screen; lines added after a closed
// figure start a new one (MSDN GraphicsPath::AddEllipse; gdiplus tests/graphicspath.c
// test_ellipse, test_rect, test_line2).
TEST(GdiplusPath, FiguresAreTypedAndPlacedAsGdiplusBuildsThem)
{
    PathPtr path = NewPath();
    ASSERT_EQ(GdipAddPathEllipse(path.get(), 10, 100, 20, 50.5f), Ok);
    ASSERT_EQ(GdipAddPathLineI(path.get(), 7, 11, 13, 17), Ok);
    ASSERT_EQ(GdipAddPathLineI(path.get(), 20, 20, 30, 20), Ok); // continues the open figure
    ASSERT_EQ(GdipAddPathRectangleI(path.get(), 1, 2, 3, 4), Ok);
    const struct {
        float x, y;
        BYTE type;
    } expected[] = {
        {30, 125.25f, PathPointTypeStart},  {30, 139.20f, PathPointTypeBezier},  {25.52f, 150.5f, PathPointTypeBezier},
        {20, 150.5f, PathPointTypeBezier},  {14.48f, 150.5f, PathPointTypeBezier}, {10, 139.20f, PathPointTypeBezier},
        {10, 125.25f, PathPointTypeBezier}, {10, 111.30f, PathPointTypeBezier},  {14.48f, 100, PathPointTypeBezier},
        {20, 100, PathPointTypeBezier},     {25.52f, 100, PathPointTypeBezier},  {30, 111.30f, PathPointTypeBezier},
        {30, 125.25f, PathPointTypeBezier | PathPointTypeCloseSubpath},
        {7, 11, PathPointTypeStart},        {13, 17, PathPointTypeLine},
        {20, 20, PathPointTypeLine},        {30, 20, PathPointTypeLine},
        {1, 2, PathPointTypeStart},         {4, 2, PathPointTypeLine},           {4, 6, PathPointTypeLine},
        {1, 6, PathPointTypeLine | PathPointTypeCloseSubpath},
    };
    const std::vector<PointF> points = PointsOf(path.get());
    const std::vector<BYTE> types = TypesOf(path.get());
    ASSERT_EQ(points.size(), std::size(expected));
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].X, expected[i].x, 0.01) << "point " << i;
        EXPECT_NEAR(points[i].Y, expected[i].y, 0.01) << "point " << i;
        EXPECT_EQ(types[i], expected[i].type) << "point " << i;
    }

    // Too small a buffer is refused whole.
    PointF few[3];
    EXPECT_EQ(GdipGetPathPoints(path.get(), few, 3), InsufficientBuffer);
}

// Windows: a pie is the centre, a line to where the arc starts, the arc, and back; an arc of a
// quarter turn is one curve from the ray's point on the ellipse (MSDN GraphicsPath::AddPie).
TEST(GdiplusPath, PiesAndArcsStartAndEndOnTheirRays)
{
    PathPtr path = NewPath();
    ASSERT_EQ(GdipAddPathPie(path.get(), 0, 0, 100, 50, 0, 90), Ok);
    const std::vector<PointF> points = PointsOf(path.get());
    const std::vector<BYTE> types = TypesOf(path.get());
    ASSERT_EQ(points.size(), 5u);
    EXPECT_NEAR(points[0].X, 50, 1e-3);
    EXPECT_NEAR(points[0].Y, 25, 1e-3);
    EXPECT_NEAR(points[1].X, 100, 1e-3); // angle 0: the rightmost point
    EXPECT_NEAR(points[1].Y, 25, 1e-3);
    EXPECT_NEAR(points[4].X, 50, 1e-3); // angle 90: straight down
    EXPECT_NEAR(points[4].Y, 50, 1e-3);
    EXPECT_EQ(types[1], PathPointTypeLine);
    EXPECT_EQ(types[4], PathPointTypeBezier | PathPointTypeCloseSubpath);

    // 45 degrees on a wide ellipse is where the ray meets it, not the parameter's point.
    PathPtr arc = NewPath();
    ASSERT_EQ(GdipAddPathArc(arc.get(), 0, 0, 200, 100, 45, 0.001f), Ok);
    const PointF start = PointsOf(arc.get())[0];
    EXPECT_NEAR(start.X - 100, start.Y - 50, 0.05);
}

// Windows: what is added to an open figure joins it with a line unless it starts on the
// figure's last point, which is not repeated; arcs are cut into quarter turns from their start
// with the rest last, and need an ellipse with some size (gdiplus tests/graphicspath.c
// test_line2, test_linei, test_arc).
TEST(GdiplusPath, JoinedPiecesDropRepeatedPointsAndArcsTurnByQuarters)
{
    PathPtr lines = NewPath();
    const PointF zigzag[5] = {PointF(0, 50), PointF(5, 45), PointF(0, 40), PointF(15, 35), PointF(0, 30)};
    ASSERT_EQ(GdipAddPathLine2(lines.get(), zigzag, 3), Ok);
    ASSERT_EQ(GdipAddPathLine2(lines.get(), zigzag + 2, 3), Ok);
    EXPECT_EQ(PointsOf(lines.get()).size(), 5u);

    PathPtr path = NewPath();
    ASSERT_EQ(GdipAddPathLineI(path.get(), 5, 5, 6, 8), Ok);
    ASSERT_EQ(GdipAddPathArc(path.get(), 100, 100, 500, 700, -80, 100), Ok);
    const struct {
        float x, y;
        BYTE type;
    } expected[] = {{409.92f, 110.20f, PathPointTypeLine}, {543.96f, 156.53f, PathPointTypeBezier},
                    {625.80f, 346.22f, PathPointTypeBezier}, {592.71f, 533.88f, PathPointTypeBezier},
                    {592.47f, 535.28f, PathPointTypeBezier}, {592.22f, 536.67f, PathPointTypeBezier},
                    {591.96f, 538.06f, PathPointTypeBezier}};
    const std::vector<PointF> points = PointsOf(path.get());
    const std::vector<BYTE> types = TypesOf(path.get());
    ASSERT_EQ(points.size(), 2 + std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_NEAR(points[i + 2].X, expected[i].x, 0.01) << "point " << i + 2;
        EXPECT_NEAR(points[i + 2].Y, expected[i].y, 0.01) << "point " << i + 2;
        EXPECT_EQ(types[i + 2], expected[i].type) << "point " << i + 2;
    }
    EXPECT_EQ(GdipAddPathArc(path.get(), 100, 100, 1, 0, 0, 90), InvalidParameter);
    EXPECT_EQ(GdipAddPathArc(path.get(), 100, 100, -40, 1, 0, 90), InvalidParameter);
    EXPECT_EQ(GdipAddPathPie(path.get(), 0, 0, 0, 60, -90, 24), InvalidParameter);
}

// Windows: Prepend applies the new operation first, Append last; a singular matrix cannot be
// inverted and stays as it was; whole quarter turns are exact (MSDN Matrix::Scale,
// Matrix::Invert; gdiplus tests/matrix.c).
TEST(GdiplusMatrix, OrderInversionAndRotation)
{
    struct Case {
        MatrixOrder order;
        REAL x, y;
    } cases[] = {{MatrixOrderPrepend, 12, 2}, {MatrixOrderAppend, 22, 2}};
    for (const Case& c : cases) {
        Matrix m;
        m.Translate(10, 0);
        m.Scale(2, 2, c.order);
        PointF p(1, 1);
        ASSERT_EQ(m.TransformPoints(&p), Ok);
        EXPECT_FLOAT_EQ(p.X, c.x) << "order " << c.order;
        EXPECT_FLOAT_EQ(p.Y, c.y) << "order " << c.order;
    }

    Matrix rotation;
    rotation.Rotate(90);
    PointF p(1, 0);
    rotation.TransformPoints(&p);
    EXPECT_EQ(p.X, 0.0f);
    EXPECT_EQ(p.Y, 1.0f);

    Matrix singular(1, 2, 2, 4, 5, 6);
    EXPECT_FALSE(singular.IsInvertible());
    EXPECT_EQ(singular.Invert(), InvalidParameter);
    REAL e[6];
    singular.GetElements(e);
    EXPECT_EQ(e[1], 2.0f);
    EXPECT_EQ(e[4], 5.0f);

    Matrix m(2, 0, 0, 4, 10, 20);
    ASSERT_EQ(m.Invert(), Ok);
    PointF q(12, 24);
    m.TransformPoints(&q);
    EXPECT_FLOAT_EQ(q.X, 1);
    EXPECT_FLOAT_EQ(q.Y, 1);
}

// Windows: a Graphics on an ARGB bitmap draws into it (the colour reads back through GetPixel),
// Clear replaces every pixel, the world transform moves shapes (MSDN Graphics::FromImage,
// Graphics::Clear, Graphics::TranslateTransform).
TEST(GdiplusBitmapGraphics, ShapesLandWhereTheTransformPutsThem)
{
    for (PixelFormat format : {PixelFormat32bppARGB, PixelFormat32bppPARGB, PixelFormat32bppRGB, PixelFormat24bppRGB}) {
        Canvas c(40, 40, format);
        ASSERT_EQ(c.graphics.GetLastStatus(), Ok);
        ASSERT_EQ(c.graphics.Clear(Color(255, 255, 255, 255)), Ok);
        SolidBrush red(Color(255, 255, 0, 0));
        ASSERT_EQ(c.graphics.FillEllipse(&red, 10, 10, 20, 20), Ok);
        EXPECT_EQ(c.At(20, 20), 0xFFFF0000u) << "format " << format;
        EXPECT_EQ(c.At(11, 11), 0xFFFFFFFFu) << "the ellipse's bounding corner stays clear";
        EXPECT_EQ(c.At(35, 20), 0xFFFFFFFFu);

        c.graphics.TranslateTransform(25, 0);
        SolidBrush blue(Color(255, 0, 0, 255));
        ASSERT_EQ(c.graphics.FillRectangle(&blue, 0, 30, 5, 5), Ok);
        EXPECT_EQ(c.At(27, 32), 0xFF0000FFu) << "format " << format;
        EXPECT_EQ(c.At(2, 32), 0xFFFFFFFFu) << "nothing at the untransformed place";
        c.graphics.ResetTransform();
        c.graphics.ScaleTransform(2, 2);
        ASSERT_EQ(c.graphics.FillRectangle(&blue, 0.0f, 0.0f, 2.0f, 2.0f), Ok);
        EXPECT_EQ(c.At(3, 3), 0xFF0000FFu) << "a 2 x 2 square scaled to 4 x 4";
        EXPECT_EQ(c.At(5, 5), 0xFFFFFFFFu);
    }
}

// Windows: polygons fill by their fill mode (alternate leaves the overlap of a pentagram's
// points empty), pies fill the slice only (MSDN Graphics::FillPolygon, FillMode).
TEST(GdiplusBitmapGraphics, PolygonsAndPiesFillTheirInsides)
{
    const PointF star[5] = {PointF(50, 0), PointF(79, 90), PointF(2, 34), PointF(98, 34), PointF(21, 90)};
    const struct {
        FillMode mode;
        ARGB centre;
    } cases[] = {{FillModeAlternate, 0xFFFFFFFF}, {FillModeWinding, 0xFF00FF00}};
    for (const auto& k : cases) {
        Canvas c(100, 100);
        c.graphics.Clear(Color(255, 255, 255, 255));
        SolidBrush green(Color(255, 0, 255, 0));
        ASSERT_EQ(c.graphics.FillPolygon(&green, star, 5, k.mode), Ok);
        EXPECT_EQ(c.At(50, 50), k.centre) << "mode " << k.mode;
        EXPECT_EQ(c.At(50, 10), 0xFF00FF00u) << "a point of the star";
    }

    Canvas c(60, 60);
    SolidBrush red(Color(255, 255, 0, 0));
    ASSERT_EQ(c.graphics.FillPie(&red, 0, 0, 60, 60, 0, 90), Ok);
    EXPECT_EQ(c.At(40, 40), 0xFFFF0000u) << "inside the quarter below and right of the centre";
    EXPECT_EQ(c.At(20, 20), 0u) << "the opposite quarter stays transparent";
}

// Windows: in SourceCopy mode a translucent colour replaces what is under it instead of
// blending, alpha included (MSDN CompositingMode).
TEST(GdiplusBitmapGraphics, SourceCopyReplacesAndSourceOverBlends)
{
    Canvas c(10, 10);
    c.graphics.Clear(Color(255, 0, 0, 255));
    SolidBrush half(Color(128, 255, 0, 0));
    c.graphics.FillRectangle(&half, 0, 0, 5, 10);
    ASSERT_EQ(c.graphics.SetCompositingMode(CompositingModeSourceCopy), Ok);
    c.graphics.FillRectangle(&half, 5, 0, 5, 10);
    const ARGB over = c.At(2, 2), copy = c.At(7, 7);
    EXPECT_EQ(Channel(over, 24), 255);
    EXPECT_NEAR(Channel(over, 16), 128, 2);
    EXPECT_NEAR(Channel(over, 0), 127, 2);
    EXPECT_NEAR(Channel(copy, 24), 128, 1);
    EXPECT_NEAR(Channel(copy, 16), 255, 2);
    EXPECT_EQ(Channel(copy, 0), 0);
}

// Windows: a linear gradient has the first colour at its first point and the second at its
// second, blending between; the rectangle modes run across the rectangle (MSDN
// LinearGradientBrush, LinearGradientMode).
TEST(GdiplusBrushes, GradientsRunFromTheFirstColourToTheSecond)
{
    const Color red(255, 255, 0, 0), blue(255, 0, 0, 255);
    LinearGradientBrush horizontal(PointF(0, 0), PointF(100, 0), red, blue);
    LinearGradientBrush vertical(RectF(0, 0, 100, 100), red, blue, LinearGradientModeVertical);
    const struct {
        Brush* brush;
        int nearX, nearY, farX, farY;
    } cases[] = {{&horizontal, 1, 50, 98, 50}, {&vertical, 50, 1, 50, 98}};
    for (const auto& k : cases) {
        Canvas c(100, 100);
        ASSERT_EQ(c.graphics.FillRectangle(k.brush, 0, 0, 100, 100), Ok);
        const ARGB nearEnd = c.At(k.nearX, k.nearY), farEnd = c.At(k.farX, k.farY), middle = c.At(50, 50);
        EXPECT_GT(Channel(nearEnd, 16), 240);
        EXPECT_LT(Channel(nearEnd, 0), 15);
        EXPECT_LT(Channel(farEnd, 16), 15);
        EXPECT_GT(Channel(farEnd, 0), 240);
        EXPECT_NEAR(Channel(middle, 16), 128, 20);
        EXPECT_NEAR(Channel(middle, 0), 128, 20);
    }
    BrushType type;
    EXPECT_EQ(GdipGetBrushType(static_cast<GpBrush*>(nullptr), &type), InvalidParameter);
}

// Windows: a texture brush repeats its image from the world origin, one texel a pixel when
// nothing is scaled (MSDN TextureBrush, WrapModeTile).
TEST(GdiplusBrushes, TexturesTileFromTheOrigin)
{
    Bitmap tile(2, 2, PixelFormat32bppARGB);
    const ARGB colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
    for (int i = 0; i < 4; ++i)
        tile.SetPixel(i % 2, i / 2, Color(colours[i]));
    TextureBrush brush(&tile);
    ASSERT_EQ(brush.GetLastStatus(), Ok);
    Canvas c(8, 8);
    ASSERT_EQ(c.graphics.FillRectangle(&brush, 1, 1, 6, 6), Ok);
    for (int y = 1; y < 7; ++y)
        for (int x = 1; x < 7; ++x)
            EXPECT_EQ(c.At(x, y), colours[(y % 2) * 2 + x % 2]) << x << "," << y;
    EXPECT_EQ(c.At(0, 0), 0u);
}

// Windows: a saved state comes back with the settings it had; restoring an older state drops
// the newer saves, and an unknown one changes nothing (gdiplus tests/graphics.c test_save_restore).
TEST(GdiplusBitmapGraphics, SavedStatesRestoreAndNewerOnesAreDropped)
{
    Canvas c(4, 4);
    Graphics& g = c.graphics;
    g.SetInterpolationMode(InterpolationModeBilinear);
    const GraphicsState a = g.Save();
    g.SetInterpolationMode(InterpolationModeBicubic);
    g.TranslateTransform(5, 5);
    const GraphicsState b = g.Save();
    g.SetInterpolationMode(InterpolationModeNearestNeighbor);
    EXPECT_EQ(g.Restore(0xdeadbeef), Ok);
    EXPECT_EQ(g.GetInterpolationMode(), InterpolationModeNearestNeighbor);
    g.Restore(a);
    EXPECT_EQ(g.GetInterpolationMode(), InterpolationModeBilinear);
    Matrix world;
    g.GetTransform(&world);
    EXPECT_TRUE(world.IsIdentity());
    g.Restore(b); // dropped with a
    EXPECT_EQ(g.GetInterpolationMode(), InterpolationModeBilinear);

    // Quality presets read back as the mode they stand for (MSDN SmoothingMode).
    const struct {
        SmoothingMode set, get;
    } smoothing[] = {{SmoothingModeDefault, SmoothingModeNone},
                     {SmoothingModeHighSpeed, SmoothingModeNone},
                     {SmoothingModeHighQuality, SmoothingModeAntiAlias},
                     {SmoothingModeAntiAlias, SmoothingModeAntiAlias}};
    for (const auto& s : smoothing) {
        ASSERT_EQ(g.SetSmoothingMode(s.set), Ok);
        EXPECT_EQ(g.GetSmoothingMode(), s.get) << "set " << s.set;
    }
    EXPECT_EQ(g.SetSmoothingMode(SmoothingModeInvalid), InvalidParameter);
    EXPECT_EQ(g.SetPageUnit(UnitWorld), InvalidParameter);
}

// Windows: copies own their pixels, and a clone of a block keeps it in the asked format
// (MSDN Image::Clone, Bitmap::Clone).
TEST(GdiplusBitmapGraphics, ClonesAreIndependentCopies)
{
    Bitmap original(3, 3, PixelFormat32bppARGB);
    original.SetPixel(1, 1, Color(0xFF102030));
    // Image::Clone makes an Image object (not a Bitmap) over a copy of the bitmap.
    std::unique_ptr<Image> copy(static_cast<Image&>(original).Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetType(), ImageTypeBitmap);
    std::unique_ptr<Bitmap> whole(original.Clone(0, 0, 3, 3, PixelFormat32bppARGB));
    ASSERT_NE(whole, nullptr);
    original.SetPixel(1, 1, Color(0xFF000000));
    Color c;
    whole->GetPixel(1, 1, &c);
    EXPECT_EQ(c.GetValue(), 0xFF102030u);

    std::unique_ptr<Bitmap> block(original.Clone(1, 1, 2, 2, PixelFormat24bppRGB));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->GetWidth(), 2u);
    EXPECT_EQ(block->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_EQ(original.Clone(2, 2, 2, 2, PixelFormat24bppRGB), nullptr); // reaches past the bitmap
}

// Windows: a curve passes through its points, a closed one fills the shape they enclose, and a
// pen made from a brush paints with that brush (MSDN Graphics::DrawCurve, FillClosedCurve,
// Pen::Pen(const Brush*, REAL)).
TEST(GdiplusBitmapGraphics, CurvesPassThroughTheirPointsAndPensPaintWithTheirBrush)
{
    Canvas c(60, 60);
    Pen black(Color(255, 0, 0, 0), 3);
    const PointF wave[3] = {PointF(5, 30), PointF(30, 10), PointF(55, 30)};
    ASSERT_EQ(c.graphics.DrawCurve(&black, wave, 3), Ok);
    EXPECT_EQ(c.At(30, 10), 0xFF000000u) << "through the middle point";
    EXPECT_EQ(c.At(30, 25), 0u) << "a curve, not the chord between the ends";
    EXPECT_EQ(c.At(30, 40), 0u);

    Canvas d(60, 60);
    SolidBrush red(Color(255, 255, 0, 0));
    const Point square[4] = {Point(10, 10), Point(50, 10), Point(50, 50), Point(10, 50)};
    ASSERT_EQ(d.graphics.FillClosedCurve(&red, square, 4), Ok);
    EXPECT_EQ(d.At(30, 30), 0xFFFF0000u);
    EXPECT_EQ(d.At(1, 58), 0u);

    LinearGradientBrush gradient(PointF(0, 0), PointF(60, 0), Color(255, 255, 0, 0), Color(255, 0, 0, 255));
    Pen painted(&gradient, 5);
    ASSERT_EQ(painted.GetLastStatus(), Ok);
    Canvas e(60, 10);
    ASSERT_EQ(e.graphics.DrawLine(&painted, 0, 5, 59, 5), Ok);
    EXPECT_GT(Channel(e.At(2, 5), 16), 200);
    EXPECT_GT(Channel(e.At(57, 5), 0), 200);
}

// Windows: a pen made from a brush reports the brush's kind and hands back a copy of it; a
// colour set later makes it a solid pen again (MSDN Pen::GetPenType, Pen::GetBrush,
// Pen::SetColor; gdiplus tests/pen.c test_brushfill).
TEST(GdiplusBrushes, PensKeepACopyOfTheirBrush)
{
    const PointF a(0, 0), b(10, 0);
    GpLineGradient* line = nullptr;
    ASSERT_EQ(GdipCreateLineBrush(&a, &b, 0xFFFF0000, 0xFF0000FF, WrapModeTile, &line), Ok);
    GpPen* pen = nullptr;
    ASSERT_EQ(GdipCreatePen2(line, 2, UnitPixel, &pen), Ok);
    GdipDeleteBrush(line); // the pen holds its own copy
    PenType type = PenTypeUnknown;
    ASSERT_EQ(GdipGetPenFillType(pen, &type), Ok);
    EXPECT_EQ(type, PenTypeLinearGradient);
    GpBrush* copy = nullptr;
    ASSERT_EQ(GdipGetPenBrushFill(pen, &copy), Ok);
    BrushType brushType = BrushTypeSolidColor;
    EXPECT_EQ(GdipGetBrushType(copy, &brushType), Ok);
    EXPECT_EQ(brushType, BrushTypeLinearGradient);
    GdipDeleteBrush(copy);
    ASSERT_EQ(GdipSetPenColor(pen, 0xFF00FF00), Ok);
    GdipGetPenFillType(pen, &type);
    EXPECT_EQ(type, PenTypeSolidColor);
    GdipDeletePen(pen);
}

// Windows: RotateFlip turns clockwise by quarter turns, then mirrors left to right; a turn of
// 90 or 270 degrees swaps the sizes (MSDN Image::RotateFlip, RotateFlipType; gdiplus
// tests/image.c test_rotateflip).
TEST(GdiplusBitmapGraphics, RotateFlipMovesEveryPixel)
{
    // A 3 x 2 image whose pixels are all different: value 10 * y + x.
    const struct {
        RotateFlipType type;
        UINT width, height;
        int rows[3][3]; // expected values, row by row
    } cases[] = {
        {RotateNoneFlipNone, 3, 2, {{0, 1, 2}, {10, 11, 12}}},
        {Rotate90FlipNone, 2, 3, {{10, 0}, {11, 1}, {12, 2}}},
        {Rotate180FlipNone, 3, 2, {{12, 11, 10}, {2, 1, 0}}},
        {Rotate270FlipNone, 2, 3, {{2, 12}, {1, 11}, {0, 10}}},
        {RotateNoneFlipX, 3, 2, {{2, 1, 0}, {12, 11, 10}}},
        {RotateNoneFlipY, 3, 2, {{10, 11, 12}, {0, 1, 2}}},
        {Rotate90FlipX, 2, 3, {{0, 10}, {1, 11}, {2, 12}}},
    };
    for (const auto& c : cases) {
        Bitmap b(3, 2, PixelFormat24bppRGB);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                b.SetPixel(x, y, Color(255, BYTE(10 * y + x), 0, 0));
        ASSERT_EQ(b.RotateFlip(c.type), Ok) << "type " << c.type;
        ASSERT_EQ(b.GetWidth(), c.width) << "type " << c.type;
        ASSERT_EQ(b.GetHeight(), c.height) << "type " << c.type;
        for (UINT y = 0; y < c.height; ++y)
            for (UINT x = 0; x < c.width; ++x) {
                Color got;
                b.GetPixel(INT(x), INT(y), &got);
                EXPECT_EQ(got.GetRed(), c.rows[y][x]) << "type " << c.type << " at " << x << "," << y;
            }
    }
}
