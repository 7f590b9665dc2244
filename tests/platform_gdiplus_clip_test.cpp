// GDI+ clipping and regions: which pixels each combine mode lets through for every kind of
// drawing, the clip under world transforms set before and after it, region algebra and its
// answers (bounds, hit tests, GDI regions, scans), the DC's own clip region, and the Rect, Point
// and Size helpers. Windows-API only, so the Windows build checks the same expectations against
// the real thing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr ARGB kWhite = 0xffffffff;
constexpr ARGB kBlack = 0xff000000;

ARGB PixelOf(Bitmap& b, int x, int y)
{
    Color c;
    b.GetPixel(x, y, &c);
    return c.GetValue();
}

void ExpectRect(const RectF& r, REAL x, REAL y, REAL w, REAL h, const std::string& what)
{
    EXPECT_NEAR(r.X, x, 1e-3) << what;
    EXPECT_NEAR(r.Y, y, 1e-3) << what;
    EXPECT_NEAR(r.Width, w, 1e-3) << what;
    EXPECT_NEAR(r.Height, h, 1e-3) << what;
}

} // namespace

// Windows: the clip combines with the new shape as its mode says (MSDN CombineMode,
// Graphics::SetClip), and every drawing call honours it, Clear included (MSDN Graphics::Clear:
// "the clipping region"). A is 2..9 square, B 6..13.
TEST(GdiplusClip, EachCombineModeLetsThroughItsPixelsForEveryKindOfDrawing)
{
    const struct {
        CombineMode mode;
        bool aOnly, bOnly, both; // whether (3, 3), (12, 12) and (7, 7) are drawn
    } modes[] = {
        {CombineModeReplace, false, true, true},   {CombineModeIntersect, false, false, true},
        {CombineModeUnion, true, true, true},      {CombineModeXor, true, true, false},
        {CombineModeExclude, true, false, false},  {CombineModeComplement, false, true, false},
    };
    Bitmap sprite(20, 20, PixelFormat32bppARGB), opaqueSprite(20, 20, PixelFormat24bppRGB);
    for (Bitmap* b : {&sprite, &opaqueSprite}) {
        Graphics s(b);
        s.Clear(Color(kBlack));
    }
    const struct {
        const char* name;
        void (*draw)(Graphics&, Image*, Image*);
    } drawers[] = {
        {"FillRectangle", [](Graphics& g, Image*, Image*) { SolidBrush b{Color(kBlack)}; g.FillRectangle(&b, 0, 0, 20, 20); }},
        {"FillRectangle REAL", [](Graphics& g, Image*, Image*) { SolidBrush b{Color(kBlack)}; g.FillRectangle(&b, 0.0f, 0.0f, 20.0f, 20.0f); }},
        {"Clear", [](Graphics& g, Image*, Image*) { g.Clear(Color(kBlack)); }},
        {"DrawImage", [](Graphics& g, Image* sprite, Image*) { g.DrawImage(sprite, 0, 0); }},
        {"DrawImage 24-bit", [](Graphics& g, Image*, Image* opaque) { g.DrawImage(opaque, 0, 0); }},
        {"translucent FillRectangle",
         [](Graphics& g, Image*, Image*) {
             SolidBrush b{Color(0x80000000)};
             for (int i = 0; i < 12; ++i) // opaque in the end
                 g.FillRectangle(&b, 0, 0, 20, 20);
         }},
        {"FillEllipse", [](Graphics& g, Image*, Image*) { SolidBrush b{Color(kBlack)}; g.FillEllipse(&b, -20, -20, 60, 60); }},
        {"wide DrawLine", [](Graphics& g, Image*, Image*) { Pen p(Color(kBlack), 40); g.DrawLine(&p, 0, 10, 20, 10); }},
    };
    for (const auto& d : drawers) {
        for (const auto& m : modes) {
          for (PixelFormat format : {PixelFormat32bppARGB, PixelFormat24bppRGB}) {
            Bitmap target(20, 20, format);
            Graphics g(&target);
            g.Clear(Color(kWhite));
            ASSERT_EQ(g.SetClip(Rect(2, 2, 8, 8)), Ok);
            ASSERT_EQ(g.SetClip(Rect(6, 6, 8, 8), m.mode), Ok);
            d.draw(g, &sprite, &opaqueSprite);
            const std::string what =
                std::string(d.name) + " mode " + std::to_string(m.mode) + " format " + std::to_string(format);
            EXPECT_EQ(PixelOf(target, 3, 3), m.aOnly ? kBlack : kWhite) << what;
            EXPECT_EQ(PixelOf(target, 12, 12), m.bOnly ? kBlack : kWhite) << what;
            EXPECT_EQ(PixelOf(target, 7, 7), m.both ? kBlack : kWhite) << what;
            EXPECT_EQ(PixelOf(target, 17, 2), kWhite) << what;
            EXPECT_EQ(PixelOf(target, 0, 0), kWhite) << what;
          }
        }
    }
}

// Windows: text is clipped like everything else: no ink outside the clip (MSDN
// Graphics::SetClip). Glyph shapes differ between systems, so only where ink may be is checked.
TEST(GdiplusClip, TextKeepsInsideTheClip)
{
    Bitmap target(60, 40, PixelFormat24bppRGB);
    Graphics g(&target);
    g.Clear(Color(kWhite));
    g.SetClip(Rect(10, 10, 30, 20));
    g.ExcludeClip(Rect(20, 15, 5, 5));
    std::unique_ptr<FontFamily> family;
    for (const WCHAR* name : {L"Arial", L"Liberation Sans", L"DejaVu Sans", L"Tahoma"}) {
        family.reset(new FontFamily(name));
        if (family->IsAvailable())
            break;
    }
    if (!family->IsAvailable())
        GTEST_SKIP() << "no sans-serif font";
    Font font(family.get(), 36, FontStyleBold, UnitPixel);
    SolidBrush black{Color(kBlack)};
    ASSERT_EQ(g.DrawString(L"MWMW", -1, &font, PointF(-5, -5), &black), Ok);
    int inside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool clipped = x >= 10 && x < 40 && y >= 10 && y < 30 && !(x >= 20 && x < 25 && y >= 15 && y < 20);
            if (!clipped)
                ASSERT_EQ(PixelOf(target, x, y), kWhite) << x << "," << y;
            else
                inside += PixelOf(target, x, y) != kWhite;
        }
    EXPECT_GT(inside, 20);
}

// Windows: a rectangle clip on whole pixels covers exactly its pixels (X to X + Width - 1), and
// resetting it lets everything through again (MSDN Graphics::SetClip, ResetClip).
TEST(GdiplusClip, PixelAlignedRectangleIsExactAndResetRemovesIt)
{
    Bitmap target(12, 12, PixelFormat24bppRGB);
    Graphics g(&target);
    g.Clear(Color(kWhite));
    g.SetClip(Rect(3, 4, 5, 2));
    SolidBrush black{Color(kBlack)};
    g.FillRectangle(&black, 0, 0, 12, 12);
    int drawn = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 3 && x < 8 && y >= 4 && y < 6;
            EXPECT_EQ(PixelOf(target, x, y), inside ? kBlack : kWhite) << x << "," << y;
            drawn += inside;
        }
    EXPECT_EQ(drawn, 10);
    ASSERT_EQ(g.ResetClip(), Ok);
    g.FillRectangle(&black, 0, 0, 12, 12);
    EXPECT_EQ(PixelOf(target, 0, 0), kBlack);
    EXPECT_EQ(PixelOf(target, 11, 11), kBlack);
}

// Windows: clipping is not anti-aliased whatever the smoothing mode: a path clip lets whole
// pixels through or none (MSDN forums "GDI+ clipping seems to ignore SmoothingMode"; the
// region is made of whole pixels).
TEST(GdiplusClip, PathClipEdgesAreWholePixelsEvenWhenAntiAliasing)
{
    Bitmap target(40, 40, PixelFormat32bppARGB);
    Graphics g(&target);
    g.Clear(Color(kWhite));
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    GraphicsPath circle;
    circle.AddEllipse(5, 5, 30, 30);
    ASSERT_EQ(g.SetClip(&circle), Ok);
    SolidBrush black{Color(kBlack)};
    g.FillRectangle(&black, 0, 0, 40, 40);
    int drawn = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const ARGB p = PixelOf(target, x, y);
            ASSERT_TRUE(p == kBlack || p == kWhite) << x << "," << y << " " << std::hex << p;
            drawn += p == kBlack;
        }
    EXPECT_EQ(PixelOf(target, 20, 20), kBlack);
    EXPECT_EQ(PixelOf(target, 6, 6), kWhite); // a corner of the box, outside the circle
    // About the circle's area, pi * 15 * 15.
    EXPECT_NEAR(drawn, 707, 40);
}

// A path clip lets through the pixels the path's aliased fill covers, no more and no fewer:
// clipping and filling share one idea of which pixels an outline holds (Wine's GDI+ agrees with
// itself the same way; Windows unverified pixel for pixel).
TEST(GdiplusClip, PathClipCoversWhatTheAliasedFillOfThePathCovers)
{
    const struct {
        const char* name;
        void (*build)(GraphicsPath&);
    } shapes[] = {
        {"ellipse", [](GraphicsPath& p) { p.AddEllipse(2, 2, 20, 14); }},
        {"triangle",
         [](GraphicsPath& p) {
             const PointF pts[] = {PointF(1.3f, 20.7f), PointF(12.1f, 1.6f), PointF(22.5f, 18.2f)};
             p.AddPolygon(pts, 3);
         }},
        {"two rings", [](GraphicsPath& p) {
             p.AddEllipse(1, 1, 22, 22);
             p.AddEllipse(6, 6, 12, 12); // alternate filling leaves the middle out
         }},
    };
    for (const auto& shape : shapes) {
        Bitmap clipped(24, 24, PixelFormat24bppRGB), filled(24, 24, PixelFormat24bppRGB);
        GraphicsPath path;
        shape.build(path);
        SolidBrush black{Color(kBlack)};
        {
            Graphics g(&clipped);
            g.Clear(Color(kWhite));
            g.SetClip(&path);
            g.FillRectangle(&black, 0, 0, 24, 24);
        }
        {
            Graphics g(&filled);
            g.Clear(Color(kWhite));
            g.FillPath(&black, &path);
        }
        int drawn = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                EXPECT_EQ(PixelOf(clipped, x, y), PixelOf(filled, x, y)) << shape.name << " " << x << "," << y;
                drawn += PixelOf(clipped, x, y) == kBlack;
            }
        EXPECT_GT(drawn, 100) << shape.name;
        EXPECT_EQ(PixelOf(clipped, 12, 12), std::string(shape.name) == "two rings" ? kWhite : kBlack) << shape.name;
    }
}

// Windows: the clip stays where the transform of the moment put it on the device; the getters
// report it through the current transform (gdiplus tests/graphics.c test_clipping: 100,100 100x100
// under scale 2, 4 then translate 10, 20 reads back as 45, 20, 50 x 25).
TEST(GdiplusClip, ClipStaysOnTheDeviceWhenTheTransformChanges)
{
    Bitmap target(30, 30, PixelFormat32bppARGB);
    Graphics g(&target);
    SolidBrush black{Color(kBlack)};

    // Set, then transform.
    g.Clear(Color(kWhite));
    g.SetClip(Rect(0, 0, 10, 10));
    g.TranslateTransform(5, 5);
    RectF bounds;
    ASSERT_EQ(g.GetClipBounds(&bounds), Ok);
    ExpectRect(bounds, -5, -5, 10, 10, "set then translate");
    g.FillRectangle(&black, 0, 0, 20, 20); // device 5..24, clipped to 0..9
    EXPECT_EQ(PixelOf(target, 7, 7), kBlack);
    EXPECT_EQ(PixelOf(target, 12, 12), kWhite);
    EXPECT_EQ(PixelOf(target, 3, 3), kWhite);

    // Transform, then set: the clip lands where the transform puts the rectangle.
    g.ResetClip();
    g.ResetTransform();
    g.Clear(Color(kWhite)); // Clear is clipped too: clear before clipping
    g.ScaleTransform(2, 2);
    g.SetClip(RectF(1, 1, 3, 3)); // device 2..8
    g.ResetTransform();
    ASSERT_EQ(g.GetClipBounds(&bounds), Ok);
    ExpectRect(bounds, 2, 2, 6, 6, "scale then set");
    g.FillRectangle(&black, 0, 0, 30, 30);
    EXPECT_EQ(PixelOf(target, 2, 2), kBlack);
    EXPECT_EQ(PixelOf(target, 7, 7), kBlack);
    EXPECT_EQ(PixelOf(target, 8, 8), kWhite);
    EXPECT_EQ(PixelOf(target, 1, 1), kWhite);

    g.ResetClip();
    g.SetClip(RectF(100, 100, 100, 100));
    Matrix m;
    m.Scale(2, 4, MatrixOrderAppend);
    m.Translate(10, 20, MatrixOrderAppend);
    g.SetTransform(&m);
    ASSERT_EQ(g.GetClipBounds(&bounds), Ok);
    ExpectRect(bounds, 45, 20, 50, 25, "scale and translate after");
    Rect boundsI;
    ASSERT_EQ(g.GetClipBounds(&boundsI), Ok);
    EXPECT_TRUE(boundsI.Equals(Rect(45, 20, 50, 25)));
    Region clip;
    ASSERT_EQ(g.GetClip(&clip), Ok);
    ASSERT_EQ(clip.GetBounds(&bounds, &g), Ok);
    ExpectRect(bounds, 45, 20, 50, 25, "GetClip");
    // A 90-degree turn maps the device square 0..10 onto world x 0..10, y -10..0.
    g.ResetClip();
    g.ResetTransform();
    g.SetClip(Rect(0, 0, 10, 10));
    g.RotateTransform(90);
    ASSERT_EQ(g.GetClipBounds(&bounds), Ok);
    ExpectRect(bounds, 0, -10, 10, 10, "rotated");
    // TranslateClip moves the clip on the device by the offset as given, under any transform
    // (Microsoft's Graphics::TranslateClip names no unit; Wine's GDI+ does so).
    g.ResetTransform();
    g.ScaleTransform(2, 2);
    ASSERT_EQ(g.TranslateClip(1, 2), Ok);
    g.ResetTransform();
    ASSERT_EQ(g.GetClipBounds(&bounds), Ok);
    ExpectRect(bounds, 1, 2, 10, 10, "translated clip");
}

// Windows: a rotated clip lets through the turned square, not its bounding box.
TEST(GdiplusClip, RotatedRectangleClipsToTheTurnedShape)
{
    Bitmap target(40, 40, PixelFormat32bppARGB);
    Graphics g(&target);
    g.Clear(Color(kWhite));
    g.TranslateTransform(20, 20);
    g.RotateTransform(45);
    g.SetClip(RectF(-10, -10, 20, 20));
    g.ResetTransform();
    SolidBrush black{Color(kBlack)};
    g.FillRectangle(&black, 0, 0, 40, 40);
    EXPECT_EQ(PixelOf(target, 20, 20), kBlack);
    EXPECT_EQ(PixelOf(target, 20, 7), kBlack);  // up the diamond's axis, 13 < 14.1 away
    EXPECT_EQ(PixelOf(target, 11, 11), kWhite); // a corner of the box around it
    EXPECT_EQ(PixelOf(target, 29, 29), kWhite);
}

// Windows: a fresh Graphics has an infinite clip; an empty one is empty until reset; null
// arguments are refused (gdiplus tests/graphics.c test_get_set_clip).
TEST(GdiplusClip, InfiniteByDefaultEmptyWhenSetAndNullArgumentsRefused)
{
    Bitmap target(10, 10, PixelFormat32bppARGB);
    Graphics g(&target);
    Region clip(RectF(0, 0, 100, 100));
    ASSERT_EQ(g.GetClip(&clip), Ok);
    EXPECT_TRUE(clip.IsInfinite(&g));
    EXPECT_FALSE(g.IsClipEmpty());
    clip.MakeEmpty();
    ASSERT_EQ(g.SetClip(&clip), Ok);
    EXPECT_TRUE(g.IsClipEmpty());
    EXPECT_TRUE(g.IsVisibleClipEmpty());
    Region back;
    ASSERT_EQ(g.GetClip(&back), Ok);
    EXPECT_TRUE(back.IsEmpty(&g));
    ASSERT_EQ(g.ResetClip(), Ok);
    ASSERT_EQ(g.GetClip(&back), Ok);
    EXPECT_TRUE(back.IsInfinite(&g));
    // A saved state holds the clip (MSDN Graphics::Save).
    g.SetClip(Rect(1, 2, 3, 4));
    const GraphicsState saved = g.Save();
    g.SetClip(Rect(5, 5, 1, 1), CombineModeUnion);
    g.ResetClip();
    ASSERT_EQ(g.Restore(saved), Ok);
    RectF bounds;
    ASSERT_EQ(g.GetClipBounds(&bounds), Ok);
    ExpectRect(bounds, 1, 2, 3, 4, "restored");

    GpGraphics* og = nullptr;
    GpBitmap* ob = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &ob), Ok);
    ASSERT_EQ(GdipGetImageGraphicsContext(ob, &og), Ok);
    GpRegion* r = nullptr;
    ASSERT_EQ(GdipCreateRegion(&r), Ok);
    EXPECT_EQ(GdipGetClip(nullptr, r), InvalidParameter);
    EXPECT_EQ(GdipGetClip(og, nullptr), InvalidParameter);
    EXPECT_EQ(GdipSetClipRegion(og, nullptr, CombineModeReplace), InvalidParameter);
    EXPECT_EQ(GdipSetClipPath(og, nullptr, CombineModeReplace), InvalidParameter);
    GdipDeleteRegion(r);
    GdipDeleteGraphics(og);
    GdipDisposeImage(ob);
}

// Windows: visibility is the clip within the target: IsVisible and GetVisibleClipBounds leave out
// what lies beyond the bitmap (MSDN Graphics::IsVisible, GetVisibleClipBounds).
TEST(GdiplusClip, VisibilityIsTheClipWithinTheTarget)
{
    Bitmap target(20, 20, PixelFormat32bppARGB);
    Graphics g(&target);
    RectF visible;
    ASSERT_EQ(g.GetVisibleClipBounds(&visible), Ok);
    ExpectRect(visible, 0, 0, 20, 20, "no clip");
    g.SetClip(Rect(15, 5, 10, 10));
    ASSERT_EQ(g.GetVisibleClipBounds(&visible), Ok);
    ExpectRect(visible, 15, 5, 5, 10, "clip past the right edge");
    const struct {
        REAL x, y;
        BOOL visible;
    } points[] = {{16, 6, TRUE}, {14, 6, FALSE}, {21, 6, FALSE}, {19, 14, TRUE}, {19, 15, FALSE}};
    for (const auto& p : points)
        EXPECT_EQ(g.IsVisible(p.x, p.y), p.visible) << p.x << "," << p.y;
    EXPECT_TRUE(g.IsVisible(Rect(0, 0, 16, 6)));
    // A point counts as the pixel it rounds to (gdiplus tests/graphics.c test_GdipIsVisiblePoint).
    g.SetClip(Rect(10, 5, 5, 10));
    const struct {
        REAL x, y;
        BOOL visible;
    } rounded[] = {{9.25f, 5, FALSE}, {9.5f, 5, TRUE}, {14.25f, 14.25f, TRUE}, {14.5f, 10, FALSE}, {12, 4.5f, TRUE}};
    for (const auto& p : rounded)
        EXPECT_EQ(g.IsVisible(p.x, p.y), p.visible) << p.x << "," << p.y;
    g.SetClip(Rect(15, 5, 10, 10));
    EXPECT_FALSE(g.IsVisible(Rect(0, 0, 15, 20)));
    EXPECT_FALSE(g.IsVisible(Rect(20, 5, 5, 5)));
    EXPECT_FALSE(g.IsVisibleClipEmpty());
    g.SetClip(Rect(30, 30, 5, 5));
    EXPECT_FALSE(g.IsClipEmpty());
    EXPECT_TRUE(g.IsVisibleClipEmpty());
}

// Windows: a Graphics on a DC draws only inside the DC's clip region too (gdiplus
// tests/graphics.c test_hdc_caching: FillRectangleI under SelectClipRgn).
TEST(GdiplusClip, DeviceContextClipRegionAlsoLimitsDrawing)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 8;
    info.bmiHeader.biHeight = -8;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HGDIOBJ old = SelectObject(dc, section);
    HRGN rgn = CreateRectRgn(0, 0, 3, 3);
    SelectClipRgn(dc, rgn);
    DeleteObject(rgn);
    auto* px = static_cast<DWORD*>(bits);
    {
        Graphics g(dc);
        SolidBrush brush(Color(0xffaaaaaa));
        g.FillRectangle(&brush, 0, 0, 4, 4);
        EXPECT_EQ(px[0] & 0xffffff, 0xaaaaaau);
        EXPECT_EQ(px[2 * 8 + 2] & 0xffffff, 0xaaaaaau);
        EXPECT_EQ(px[3 * 8 + 3], 0u);
        EXPECT_EQ(px[0 * 8 + 3], 0u);
        // And within both clips when the Graphics has its own.
        g.SetClip(Rect(1, 1, 7, 7));
        g.Clear(Color(0xff0000ff));
        EXPECT_EQ(px[1 * 8 + 1] & 0xffffff, 0x0000ffu);
        EXPECT_EQ(px[0] & 0xffffff, 0xaaaaaau);
        EXPECT_EQ(px[5 * 8 + 5], 0u);
    }
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
}

// Windows: FillRegion paints exactly the region's pixels (MSDN Graphics::FillRegion), and the
// clip still applies.
TEST(GdiplusClip, FillRegionPaintsTheRegionWithinTheClip)
{
    Bitmap target(20, 20, PixelFormat32bppARGB);
    Graphics g(&target);
    g.Clear(Color(kWhite));
    Region region(Rect(2, 2, 6, 6));
    region.Exclude(Rect(4, 4, 2, 2));
    region.Union(Rect(12, 12, 4, 4));
    g.SetClip(Rect(0, 0, 14, 20));
    SolidBrush black{Color(kBlack)};
    ASSERT_EQ(g.FillRegion(&black, &region), Ok);
    const struct {
        int x, y;
        bool drawn;
    } samples[] = {{2, 2, true}, {7, 7, true}, {8, 8, false}, {4, 4, false}, {5, 5, false},
                   {3, 5, true}, {12, 12, true}, {13, 15, true}, {14, 14, false}, {1, 1, false}};
    for (const auto& s : samples)
        EXPECT_EQ(PixelOf(target, s.x, s.y), s.drawn ? kBlack : kWhite) << s.x << "," << s.y;
}

// Windows: each combine mode of the square 0..10 with the square 5..15 gives these bounds and
// these points (MSDN Region::Intersect, Union, Xor, Exclude, Complement; Region::GetBounds).
TEST(GdiplusRegion, CombinationsGiveTheirBoundsAndPoints)
{
    const struct {
        CombineMode mode;
        RectF bounds;
        BOOL at2, at7, at12; // IsVisible at (2, 2), (7, 7), (12, 12)
    } cases[] = {
        {CombineModeReplace, RectF(5, 5, 10, 10), FALSE, TRUE, TRUE},
        {CombineModeIntersect, RectF(5, 5, 5, 5), FALSE, TRUE, FALSE},
        {CombineModeUnion, RectF(0, 0, 15, 15), TRUE, TRUE, TRUE},
        {CombineModeXor, RectF(0, 0, 15, 15), TRUE, FALSE, TRUE},
        {CombineModeExclude, RectF(0, 0, 10, 10), TRUE, FALSE, FALSE},
        {CombineModeComplement, RectF(5, 5, 10, 10), FALSE, FALSE, TRUE},
    };
    Bitmap bitmap(4, 4, PixelFormat32bppARGB);
    Graphics g(&bitmap);
    for (const auto& c : cases) {
        Region r(RectF(0, 0, 10, 10));
        GraphicsPath square; // the same square as a path takes the same answers
        square.AddRectangle(RectF(5, 5, 10, 10));
        Region p(RectF(0, 0, 10, 10));
        switch (c.mode) {
        case CombineModeIntersect: r.Intersect(RectF(5, 5, 10, 10)); p.Intersect(&square); break;
        case CombineModeUnion: r.Union(RectF(5, 5, 10, 10)); p.Union(&square); break;
        case CombineModeXor: r.Xor(RectF(5, 5, 10, 10)); p.Xor(&square); break;
        case CombineModeExclude: r.Exclude(RectF(5, 5, 10, 10)); p.Exclude(&square); break;
        case CombineModeComplement: r.Complement(RectF(5, 5, 10, 10)); p.Complement(&square); break;
        default: { // the class has no Replace; the flat call does
            Region other(RectF(5, 5, 10, 10));
            std::unique_ptr<Region> copy(other.Clone());
            ASSERT_NE(copy, nullptr);
            r.MakeEmpty();
            r.Union(copy.get());
            p.MakeEmpty();
            p.Union(&square);
        }
        }
        const std::string what = "mode " + std::to_string(c.mode);
        RectF b;
        ASSERT_EQ(r.GetBounds(&b, &g), Ok);
        ExpectRect(b, c.bounds.X, c.bounds.Y, c.bounds.Width, c.bounds.Height, what);
        EXPECT_EQ(r.IsVisible(2, 2), c.at2) << what;
        EXPECT_EQ(r.IsVisible(7.5f, 7.5f), c.at7) << what;
        EXPECT_EQ(r.IsVisible(PointF(12, 12)), c.at12) << what;
        EXPECT_EQ(p.IsVisible(2, 2), c.at2) << what << " path";
        EXPECT_EQ(p.IsVisible(7.5f, 7.5f), c.at7) << what << " path";
        EXPECT_EQ(p.IsVisible(PointF(12, 12)), c.at12) << what << " path";
        EXPECT_TRUE(r.Equals(&p, &g)) << what;
    }
}

// Windows: Replace puts the new shape in place of the region; null shapes are refused (MSDN
// Region::Region, GdipCombineRegionRect; gdiplus tests/graphics.c test_get_set_clip).
TEST(GdiplusRegion, FlatReplaceAndRefusals)
{
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &g), Ok);
    const RectF first(0, 0, 10, 10), second(20, 30, 5, 6);
    GpRegion* r = nullptr;
    ASSERT_EQ(GdipCreateRegionRect(&first, &r), Ok);
    ASSERT_EQ(GdipCombineRegionRect(r, &second, CombineModeReplace), Ok);
    RectF b;
    ASSERT_EQ(GdipGetRegionBounds(r, g, &b), Ok);
    ExpectRect(b, 20, 30, 5, 6, "replaced");
    EXPECT_EQ(GdipCombineRegionRect(r, nullptr, CombineModeUnion), InvalidParameter);
    EXPECT_EQ(GdipCombineRegionPath(r, nullptr, CombineModeUnion), InvalidParameter);
    EXPECT_EQ(GdipCombineRegionRegion(r, nullptr, CombineModeUnion), InvalidParameter);
    EXPECT_EQ(GdipGetRegionBounds(r, g, nullptr), InvalidParameter);
    EXPECT_EQ(GdipDeleteRegion(nullptr), InvalidParameter);
    GdipDeleteRegion(r);
    GdipDeleteGraphics(g);
    GdipDisposeImage(bitmap);
}

// Windows: the infinite region's bounds are -4194304 each way, 8388608 across; an empty region
// has none; disjoint squares intersect to nothing (MSDN Region::MakeInfinite, MakeEmpty,
// IsEmpty, IsInfinite; gdiplus tests/region.c).
TEST(GdiplusRegion, InfiniteAndEmptyRegions)
{
    Bitmap bitmap(4, 4, PixelFormat32bppARGB);
    Graphics g(&bitmap);
    Region r;
    EXPECT_TRUE(r.IsInfinite(&g));
    EXPECT_FALSE(r.IsEmpty(&g));
    RectF b;
    ASSERT_EQ(r.GetBounds(&b, &g), Ok);
    ExpectRect(b, -4194304.0f, -4194304.0f, 8388608.0f, 8388608.0f, "infinite");
    EXPECT_EQ(r.GetHRGN(&g), nullptr); // the infinite region has no GDI region
    EXPECT_TRUE(r.IsVisible(1e6f, -1e6f));
    r.MakeEmpty();
    EXPECT_TRUE(r.IsEmpty(&g));
    EXPECT_FALSE(r.IsInfinite(&g));
    ASSERT_EQ(r.GetBounds(&b, &g), Ok);
    ExpectRect(b, 0, 0, 0, 0, "empty");
    HRGN none = r.GetHRGN(&g); // an empty region has a GDI region with nothing in it
    ASSERT_NE(none, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(none, &box), NULLREGION);
    DeleteObject(none);
    r.MakeInfinite();
    r.Intersect(Rect(0, 0, 5, 5));
    EXPECT_FALSE(r.IsInfinite(&g));
    r.Intersect(Rect(10, 10, 5, 5));
    EXPECT_TRUE(r.IsEmpty(&g));
    Region self(Rect(1, 1, 3, 3));
    Region same(Rect(1, 1, 3, 3));
    self.Exclude(&same);
    EXPECT_TRUE(self.IsEmpty(&g));
    // Two halves joined equal the whole.
    Region halves(Rect(0, 0, 5, 10));
    halves.Union(Rect(5, 0, 5, 10));
    Region whole(Rect(0, 0, 10, 10));
    EXPECT_TRUE(halves.Equals(&whole, &g));
    whole.Exclude(Rect(9, 9, 1, 1));
    EXPECT_FALSE(halves.Equals(&whole, &g));
}

// Windows: translating and transforming move the region; its GDI region covers its pixels,
// rounded as GDI+ rounds (gdiplus tests/graphics.c test_clipping: with a Graphics the region is
// taken through its transform); regions made from GDI regions cover the same rectangles.
TEST(GdiplusRegion, TransformsGdiRegionsAndScans)
{
    Bitmap bitmap(4, 4, PixelFormat32bppARGB);
    Graphics g(&bitmap);
    Region r(RectF(1, 2, 3, 4));
    r.Translate(10, 20);
    RectF b;
    r.GetBounds(&b, &g);
    ExpectRect(b, 11, 22, 3, 4, "translated");
    Matrix scale(2, 0, 0, 3, 1, 1);
    ASSERT_EQ(r.Transform(&scale), Ok);
    r.GetBounds(&b, &g);
    ExpectRect(b, 23, 67, 6, 12, "transformed");

    Region square(RectF(100, 100, 100, 100));
    Matrix m;
    m.Scale(2, 4, MatrixOrderAppend);
    m.Translate(10, 20, MatrixOrderAppend);
    g.SetTransform(&m);
    HRGN device = square.GetHRGN(&g);
    ASSERT_NE(device, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(device, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 210);
    EXPECT_EQ(box.top, 420);
    EXPECT_EQ(box.right, 410);
    EXPECT_EQ(box.bottom, 820);
    DeleteObject(device);
    g.ResetTransform();

    HRGN ell = CreateRectRgn(0, 0, 10, 5);
    HRGN foot = CreateRectRgn(0, 5, 4, 9);
    CombineRgn(ell, ell, foot, RGN_OR);
    std::unique_ptr<Region> fromGdi(Region::FromHRGN(ell));
    ASSERT_NE(fromGdi, nullptr);
    fromGdi->GetBounds(&b, &g);
    ExpectRect(b, 0, 0, 10, 9, "from HRGN");
    EXPECT_TRUE(fromGdi->IsVisible(3, 8));
    EXPECT_FALSE(fromGdi->IsVisible(5, 8));
    Matrix identity;
    const UINT count = fromGdi->GetRegionScansCount(&identity);
    ASSERT_EQ(count, 2u);
    Rect scans[2];
    INT written = 0;
    ASSERT_EQ(fromGdi->GetRegionScans(&identity, scans, &written), Ok);
    ASSERT_EQ(written, 2);
    EXPECT_TRUE(scans[0].Equals(Rect(0, 0, 10, 5)));
    EXPECT_TRUE(scans[1].Equals(Rect(0, 5, 4, 4)));
    EXPECT_TRUE(fromGdi->IsVisible(Rect(8, 3, 5, 5)));
    EXPECT_FALSE(fromGdi->IsVisible(Rect(5, 6, 5, 5)));
    DeleteObject(ell);
    DeleteObject(foot);
}

// Windows: a region's GDI region holds the pixels whose centres it covers, so every fractional
// edge rounds up (gdiplus tests/graphics.c test_clipping: 13.75, 4.375 - 32.5, 13.75 gives
// 14, 5 - 33, 14).
TEST(GdiplusRegion, GdiRegionEdgesRoundUp)
{
    Region fraction(RectF(13.75f, 4.375f, 18.75f, 9.375f));
    HRGN rounded = fraction.GetHRGN(nullptr);
    ASSERT_NE(rounded, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(rounded, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 14);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.right, 33);
    EXPECT_EQ(box.bottom, 14);
    DeleteObject(rounded);
}

// Windows: a turned square's GDI region is the many-banded shape of its pixels, not its box
// (gdiplus tests/graphics.c test_clipping: COMPLEXREGION under a rotation).
TEST(GdiplusRegion, TurnedRegionGivesItsPixelsAsAGdiRegion)
{
    Region square(RectF(-100, -100, 200, 200));
    Matrix turn;
    turn.Rotate(45);
    turn.Translate(300, 300, MatrixOrderAppend);
    ASSERT_EQ(square.Transform(&turn), Ok);
    HRGN rgn = square.GetHRGN(nullptr);
    ASSERT_NE(rgn, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), COMPLEXREGION);
    EXPECT_NEAR(box.left, 159, 1); // 300 - 100 * sqrt(2)
    EXPECT_NEAR(box.bottom, 442, 1);
    const struct {
        int x, y;
        BOOL in;
    } samples[] = {{300, 300, TRUE}, {300, 162, TRUE}, {162, 300, TRUE}, {180, 180, FALSE}, {420, 420, FALSE},
                   {438, 300, TRUE}, {300, 443, FALSE}};
    for (const auto& p : samples)
        EXPECT_EQ(PtInRegion(rgn, p.x, p.y), p.in) << p.x << "," << p.y;
    DeleteObject(rgn);
}

// Windows (gdiplustypes.h as MSDN documents Rect and RectF): Intersect of disjoint rectangles
// answers FALSE and leaves the edges' difference (a size of zero or less); Union spans both;
// Inflate grows each side; right and bottom edges lie outside.
TEST(GdiplusRectHelpers, RectOperationsAndTheirEmptyResults)
{
    const struct {
        Rect a, b;
        BOOL intersects;
        Rect intersection, unionRect;
    } cases[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 10, 10), TRUE, Rect(5, 5, 5, 5), Rect(0, 0, 15, 15)},
        {Rect(0, 0, 4, 4), Rect(10, 2, 4, 4), FALSE, Rect(10, 2, -6, 2), Rect(0, 0, 14, 6)},
        {Rect(0, 0, 4, 4), Rect(4, 0, 4, 4), FALSE, Rect(4, 0, 0, 4), Rect(0, 0, 8, 4)},
        {Rect(2, 2, 2, 2), Rect(0, 0, 8, 8), TRUE, Rect(2, 2, 2, 2), Rect(0, 0, 8, 8)},
    };
    for (const auto& c : cases) {
        Rect out;
        EXPECT_EQ(Rect::Intersect(out, c.a, c.b), c.intersects);
        EXPECT_TRUE(out.Equals(c.intersection)) << out.X << "," << out.Y << " " << out.Width << "x" << out.Height;
        EXPECT_EQ(c.a.IntersectsWith(c.b), c.intersects);
        Rect self = c.a;
        EXPECT_EQ(self.Intersect(c.b), c.intersects);
        EXPECT_TRUE(self.Equals(c.intersection));
        Rect u;
        EXPECT_TRUE(Rect::Union(u, c.a, c.b));
        EXPECT_TRUE(u.Equals(c.unionRect));

        RectF fa(REAL(c.a.X), REAL(c.a.Y), REAL(c.a.Width), REAL(c.a.Height));
        RectF fb(REAL(c.b.X), REAL(c.b.Y), REAL(c.b.Width), REAL(c.b.Height));
        RectF fo;
        EXPECT_EQ(RectF::Intersect(fo, fa, fb), c.intersects);
        EXPECT_EQ(fo.Width, REAL(c.intersection.Width));
        EXPECT_EQ(fo.IsEmptyArea(), !c.intersects);
    }
    Rect r(10, 10, 4, 6);
    r.Inflate(2, 1);
    EXPECT_TRUE(r.Equals(Rect(8, 9, 8, 8)));
    r.Inflate(Point(-4, -4));
    EXPECT_TRUE(r.IsEmptyArea());
    EXPECT_TRUE(r.Equals(Rect(12, 13, 0, 0)));
    Rect probe(0, 0, 10, 10);
    EXPECT_TRUE(probe.Contains(Point(9, 9)));
    EXPECT_FALSE(probe.Contains(Point(10, 9)));
    EXPECT_TRUE(probe.Contains(Rect(0, 0, 10, 10)));
    EXPECT_FALSE(probe.Contains(Rect(1, 1, 10, 1)));
    probe.Offset(Point(3, -2));
    Point at;
    Size size;
    probe.GetLocation(&at);
    probe.GetSize(&size);
    EXPECT_TRUE(at.Equals(Point(3, -2)));
    EXPECT_TRUE(size.Equals(Size(10, 10)));
    EXPECT_EQ(probe.GetRight(), 13);
    EXPECT_EQ(probe.GetBottom(), 8);
    std::unique_ptr<Rect> copy(probe.Clone());
    EXPECT_TRUE(copy->Equals(probe));
    EXPECT_TRUE(Rect(at, size).Equals(probe));

    RectF f(1.5f, 2.5f, 3, 4);
    f.Inflate(PointF(0.5f, 0.5f));
    EXPECT_TRUE(f.Equals(RectF(1, 2, 4, 5)));
    EXPECT_TRUE(f.Contains(PointF(4.9f, 6.9f)));
    EXPECT_FALSE(f.Contains(5, 3));
    SizeF fs;
    f.GetSize(&fs);
    EXPECT_TRUE(fs.Equals(SizeF(4, 5)));
}

// Windows (gdiplustypes.h): points and sizes add and subtract field by field; Empty is both
// sides zero, not a negative side.
TEST(GdiplusRectHelpers, PointAndSizeArithmetic)
{
    EXPECT_TRUE((Point(1, 2) + Point(10, 20)).Equals(Point(11, 22)));
    EXPECT_TRUE((Point(1, 2) - Point(10, 20)).Equals(Point(-9, -18)));
    EXPECT_TRUE((PointF(1.5f, 2) + PointF(1, 1)).Equals(PointF(2.5f, 3)));
    EXPECT_TRUE((PointF(1.5f, 2) - PointF(1, 1)).Equals(PointF(0.5f, 1)));
    EXPECT_TRUE((Size(3, 4) + Size(1, 1)).Equals(Size(4, 5)));
    EXPECT_TRUE((SizeF(3, 4) - SizeF(3, 4)).Empty());
    EXPECT_TRUE(Size().Empty());
    EXPECT_FALSE(Size(0, -1).Empty());
    EXPECT_TRUE(Point(Size(7, 8)).Equals(Point(7, 8)));
    EXPECT_TRUE(PointF(SizeF(7, 8)).Equals(PointF(7, 8)));
}
