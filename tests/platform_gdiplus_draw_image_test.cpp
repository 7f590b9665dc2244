// Drawing GDI+ bitmaps into a DIB section: exact copies, colour keys, scaling, source regions,
// alpha, clipping and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "gdiplus_image_support.h"
#include "test_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using moxtest::BitmapPtr;
using moxtest::MakeBitmap;
using moxtest::Section;

namespace {

constexpr std::uint32_t kBackground = 0x204060;
constexpr ARGB kMagenta = 0xFFFF00FF;

// A distinct opaque colour per pixel, so that misplaced pixels show.
ARGB Distinct(int x, int y)
{
    return Color::MakeARGB(255, BYTE(17 * x + 3), BYTE(29 * y + 5), BYTE(x ^ (y << 3)));
}
std::uint32_t Rgb(ARGB c)
{
    return c & 0xFFFFFF;
}

// Expects every pixel of the section to be expected(x, y).
void ExpectPixels(const Section& s, const std::function<std::uint32_t(int, int)>& expected)
{
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            ASSERT_EQ(s.At(x, y), expected(x, y)) << "at " << x << "," << y;
}

int Channel(std::uint32_t rgb, int shift)
{
    return int((rgb >> shift) & 0xff);
}

// How much of the image covers a destination pixel whose centre maps to source coordinate u,
// along one axis whose last source pixel is `last`: pixel centres sit on whole coordinates, and
// past the last one the bilinear filter blends toward the transparency outside the image.
// pixman weighs bilinear samples in 1/128ths, hence the tolerance of 2 where the edge fades.
constexpr double kFilterTolerance = 2.01;
double FarEdgeCoverage(double u, double last)
{
    return u <= last ? 1.0 : std::max(0.0, last + 1 - u);
}

} // namespace

TEST(GdiplusDrawImageTest, UnscaledDrawCopiesPixelsExactly)
{
    BitmapPtr bitmap = MakeBitmap(5, 4, PixelFormat24bppRGB, Distinct);
    for (bool bottomUp : {false, true}) {
        Section s(12, 10, bottomUp);
        s.Fill(kBackground);
        ASSERT_EQ(GdipDrawImageI(s.graphics(), bitmap.get(), 3, 2), Ok);
        ExpectPixels(s, [](int x, int y) {
            return x >= 3 && x < 8 && y >= 2 && y < 6 ? Rgb(Distinct(x - 3, y - 2)) : kBackground;
        });
    }
}

TEST(GdiplusDrawImageTest, ClipsAtEveryEdge)
{
    BitmapPtr bitmap = MakeBitmap(6, 5, PixelFormat24bppRGB, Distinct);
    BitmapPtr argb = MakeBitmap(6, 5, PixelFormat32bppARGB, Distinct);
    const struct {
        int x, y;
    } places[] = {{-2, 1}, {1, -3}, {7, 2}, {3, 6}, {-4, -3}, {7, 6}, {-6, 0}, {10, 0}, {0, 8}, {-100, -100}};
    for (GpBitmap* image : {bitmap.get(), argb.get()})
        for (const auto& at : places) {
            Section s(10, 8);
            s.Fill(kBackground);
            ASSERT_EQ(GdipDrawImageI(s.graphics(), image, at.x, at.y), Ok);
            ExpectPixels(s, [&](int x, int y) {
                const int u = x - at.x, v = y - at.y;
                return u >= 0 && u < 6 && v >= 0 && v < 5 ? Rgb(Distinct(u, v)) : kBackground;
            });
        }
    // Coordinates near the limits of int neither wrap around nor crash.
    Section s(10, 8);
    s.Fill(kBackground);
    EXPECT_EQ(GdipDrawImageRectI(s.graphics(), bitmap.get(), INT_MAX - 2, INT_MIN + 1, INT_MAX, INT_MAX), Ok);
    EXPECT_EQ(GdipDrawImageRectI(s.graphics(), bitmap.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX), Ok);
    EXPECT_EQ(GdipDrawImageRectRect(s.graphics(), bitmap.get(), -1e30f, 0, 1e30f, 1e30f, 0, 0, 6, 5, UnitPixel, nullptr,
                                    nullptr, nullptr),
              Ok);
}

TEST(GdiplusDrawImageTest, ColourKeyLeavesKeyedPixelsUnchanged)
{
    // Left half magenta, right half a distinct pattern; one near-magenta pixel at (3, 0).
    const auto picture = [](int x, int y) -> ARGB {
        if (x == 3 && y == 0)
            return 0xFFFE00FF;
        return x < 2 ? kMagenta : Distinct(x, y);
    };
    BitmapPtr bitmap = MakeBitmap(4, 3, PixelFormat24bppRGB, picture);
    moxtest::AttributesPtr key = moxtest::MakeKey(kMagenta, kMagenta);

    Section keyed(6, 5);
    keyed.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(keyed.graphics(), bitmap.get(), 1, 1, 4, 3, 0, 0, 4, 3, UnitPixel, key.get(),
                                     nullptr, nullptr),
              Ok);
    ExpectPixels(keyed, [&](int x, int y) {
        const int u = x - 1, v = y - 1;
        if (u < 0 || u >= 4 || v < 0 || v >= 3 || u < 2)
            return kBackground;
        return Rgb(picture(u, v)); // near-magenta is not the key: drawn
    });

    Section plain(6, 5);
    plain.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(plain.graphics(), bitmap.get(), 1, 1, 4, 3, 0, 0, 4, 3, UnitPixel, nullptr,
                                     nullptr, nullptr),
              Ok);
    EXPECT_EQ(plain.At(1, 1), 0xFF00FFu);
    EXPECT_EQ(plain.At(2, 3), 0xFF00FFu);

    // Clearing the key draws everything again.
    ASSERT_EQ(GdipSetImageAttributesColorKeys(key.get(), ColorAdjustTypeDefault, FALSE, 0, 0), Ok);
    keyed.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(keyed.graphics(), bitmap.get(), 1, 1, 4, 3, 0, 0, 4, 3, UnitPixel, key.get(),
                                     nullptr, nullptr),
              Ok);
    EXPECT_EQ(keyed.At(1, 1), 0xFF00FFu);
}

TEST(GdiplusDrawImageTest, KeyRangeComparesEachChannelAndIgnoresAlpha)
{
    const ARGB colours[] = {0xFF102030, 0xFF0F2030, 0xFF1A2A3A, 0xFF1B2030, 0xFF10202F, 0x00152535};
    BitmapPtr bitmap = MakeBitmap(6, 1, PixelFormat32bppARGB, [&](int x, int) { return colours[x] | 0xFF000000; });
    // Low/high alphas differ from the pixels' and must not matter.
    moxtest::AttributesPtr key = moxtest::MakeKey(0x00102030, 0x801A2A3A);
    Section s(6, 1);
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 6, 1, 0, 0, 6, 1, UnitPixel, key.get(), nullptr,
                                     nullptr),
              Ok);
    EXPECT_EQ(s.At(0, 0), kBackground); // the low end
    EXPECT_EQ(s.At(1, 0), 0x0F2030u);   // red below range
    EXPECT_EQ(s.At(2, 0), kBackground); // the high end
    EXPECT_EQ(s.At(3, 0), 0x1B2030u);   // red above range
    EXPECT_EQ(s.At(4, 0), 0x10202Fu);   // blue below range
    EXPECT_EQ(s.At(5, 0), kBackground); // inside
}

TEST(GdiplusDrawImageTest, BitmapCategoryKeyWinsOverDefault)
{
    BitmapPtr bitmap = MakeBitmap(2, 1, PixelFormat24bppRGB, [](int x, int) { return x ? 0xFF00FF00u : 0xFFFF0000u; });
    moxtest::AttributesPtr key = moxtest::MakeKey(0xFFFF0000, 0xFFFF0000);
    ASSERT_EQ(GdipSetImageAttributesColorKeys(key.get(), ColorAdjustTypeBitmap, TRUE, 0xFF00FF00, 0xFF00FF00), Ok);
    Section s(2, 1);
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 2, 1, 0, 0, 2, 1, UnitPixel, key.get(), nullptr,
                                     nullptr),
              Ok);
    EXPECT_EQ(s.At(0, 0), 0xFF0000u);
    EXPECT_EQ(s.At(1, 0), kBackground);
}

TEST(GdiplusDrawImageTest, DoubledKeyedImageKeepsBlockColoursAndKey)
{
    // 8x8: a magenta left half and a 2x2-blocked right half.
    const auto picture = [](int x, int y) -> ARGB {
        if (x < 4)
            return kMagenta;
        return (((x / 2) + (y / 2)) & 1) ? 0xFF0000FF : 0xFFFFFF00;
    };
    BitmapPtr bitmap = MakeBitmap(8, 8, PixelFormat24bppRGB, picture);
    moxtest::AttributesPtr key = moxtest::MakeKey(kMagenta, kMagenta);
    Section s(20, 20);
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 16, 16, 0, 0, 8, 8, UnitPixel, key.get(),
                                     nullptr, nullptr),
              Ok);
    // Keyed area away from its edge: untouched. Block centres: the block's colour, exactly.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(s.At(x, y), kBackground) << x << "," << y;
    for (int by = 0; by < 4; ++by)
        for (int bx = 2; bx < 4; ++bx) {
            const std::uint32_t expected = Rgb(picture(bx * 2, by * 2));
            // The 2x2 centre of each 4x4 destination block sees only that block's source pixels.
            for (int y = by * 4 + 1; y < by * 4 + 3; ++y)
                for (int x = std::max(bx * 4 + 1, 10); x < bx * 4 + 3; ++x)
                    ASSERT_EQ(s.At(x, y), expected) << x << "," << y;
        }
    // Nothing beyond 16 x 16.
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(s.At(16, i), kBackground);
        EXPECT_EQ(s.At(i, 16), kBackground);
    }
    // Bilinear filtering blends a keyed neighbour as transparency, never as magenta.
    for (int y = 0; y < 16; ++y)
        for (int x = 6; x < 10; ++x) {
            const std::uint32_t c = s.At(x, y);
            EXPECT_FALSE(Channel(c, 16) > 0xC0 && Channel(c, 0) > 0xC0 && Channel(c, 8) < 0x40) << x << "," << y;
        }
}

TEST(GdiplusDrawImageTest, ScalingPutsPixelCentresOnWholeCoordinatesAndFadesTheFarEdges)
{
    // GDI+'s default pixel offset mode, PixelOffsetModeNone, "indicates that pixel centers have
    // integer coordinates" (Microsoft's PixelOffsetMode page). Wine's gdiplus conformance test
    // test_DrawImage_scale (image.c), which passes on Windows, draws a 2 x 1 grey image at x = 1
    // under a horizontal scale into an 8 x 1 row with nearest-neighbour sampling; these are the
    // pixels it finds drawn. The same geometry with the default bilinear filter covers those
    // pixels more than half and any other at most half: the first destination pixel is exactly
    // source pixel 0, and past the last source pixel's centre the image fades out. How far the
    // fade reaches is the filter's own business (Wine's stops at the rounded destination edge),
    // so only the stand-in's exact weights are pinned, on the stand-in.
    const struct {
        float scale;
        std::vector<int> drawnByWindows;
    } cases[] = {{0.8f, {1}},       {1.0f, {1, 2}},    {1.2f, {2}},         {1.5f, {2, 3}},
                 {1.8f, {2, 3, 4}}, {2.0f, {2, 3, 4}}, {2.5f, {3, 4, 5, 6}}};
    BitmapPtr grey = MakeBitmap(2, 1, PixelFormat24bppRGB, [](int, int) { return 0xFF808080u; });
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale);
        Section s(8, 1);
        s.Fill(0x404040);
        ASSERT_EQ(GdipDrawImageRectRect(s.graphics(), grey.get(), c.scale, 0, 2 * c.scale, 1, 0, 0, 2, 1, UnitPixel,
                                        nullptr, nullptr, nullptr),
                  Ok);
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= c.scale && x < 3 * c.scale;
            const double coverage = inside ? FarEdgeCoverage((x - c.scale) / c.scale, 1) : 0;
            const int green = Channel(s.At(x, 0), 8);
            const bool windows =
                std::find(c.drawnByWindows.begin(), c.drawnByWindows.end(), x) != c.drawnByWindows.end();
            EXPECT_EQ(coverage > 0.5 + 1e-4, windows) << "at " << x; // float scales land a hair off 1.5
            EXPECT_EQ(green > 0x60 + kFilterTolerance, windows) << "at " << x;
            if (coverage == 1 || coverage == 0) {
                EXPECT_EQ(green, coverage ? 0x80 : 0x40) << "at " << x;
            }
            EXPECT_TRUE(green >= 0x40 && green <= 0x80) << "at " << x;
#ifndef _WIN32
            EXPECT_NEAR(green, 0x40 + 0x40 * coverage, kFilterTolerance) << "at " << x;
#endif
        }
    }
}

TEST(GdiplusDrawImageTest, ScalingASolidImageDoesNotDarkenItsNearEdges)
{
    // Enlarged, a solid image stays exact up to its last source pixel's centre and fades out
    // beyond it (GDI+'s default clamp to transparency); the near edges stay sharp.
    BitmapPtr bitmap = MakeBitmap(2, 3, PixelFormat24bppRGB, [](int, int) { return 0xFFC08040u; });
    Section s(15, 13);
    s.Fill(0);
    ASSERT_EQ(GdipDrawImageRectI(s.graphics(), bitmap.get(), 1, 2, 11, 9), Ok);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 15; ++x) {
            const bool inside = x >= 1 && x < 12 && y >= 2 && y < 11;
            const double a =
                inside ? FarEdgeCoverage((x - 1) * 2 / 11.0, 1) * FarEdgeCoverage((y - 2) * 3 / 9.0, 2) : 0;
            const std::uint32_t p = s.At(x, y);
            ASSERT_NEAR(Channel(p, 16), 0xC0 * a, kFilterTolerance) << x << "," << y;
            ASSERT_NEAR(Channel(p, 8), 0x80 * a, kFilterTolerance) << x << "," << y;
            ASSERT_NEAR(Channel(p, 0), 0x40 * a, kFilterTolerance) << x << "," << y;
            if (inside && x < 7 && y < 8) {
                ASSERT_EQ(p, 0xC08040u) << x << "," << y; // up to the last centres: exact
            }
        }

    // Shrinking too.
    BitmapPtr large = MakeBitmap(40, 30, PixelFormat24bppRGB, [](int, int) { return 0xFF336699u; });
    s.Fill(0);
    ASSERT_EQ(GdipDrawImageRectI(s.graphics(), large.get(), 0, 0, 7, 5), Ok);
    ExpectPixels(s, [](int x, int y) { return x < 7 && y < 5 ? 0x336699u : 0u; });
}

TEST(GdiplusDrawImageTest, SourceRegionIsScaledWithoutBleedingNeighbours)
{
    // Inside (10, 10, 20, 20): four solid quadrants. Everything else: white.
    const auto picture = [](int x, int y) -> ARGB {
        if (x < 10 || x >= 30 || y < 10 || y >= 30)
            return 0xFFFFFFFF;
        const int q = (x >= 20 ? 1 : 0) + (y >= 20 ? 2 : 0);
        const ARGB colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
        return colours[q];
    };
    BitmapPtr bitmap = MakeBitmap(40, 40, PixelFormat24bppRGB, picture);
    Section s(50, 50);
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 40, 40, 10, 10, 20, 20, UnitPixel, nullptr,
                                     nullptr, nullptr),
              Ok);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            if (x >= 40 || y >= 40) {
                ASSERT_EQ(s.At(x, y), kBackground) << x << "," << y;
                continue;
            }
            // Away from the quadrant seams, the quadrant's colour. Along the far edges the stand-in
            // blends half of it over the background, as beyond the source rectangle it puts
            // transparency, never the white around it in the image. Microsoft's documentation
            // does not say what the filter reads there, and Wine's gdiplus reads the white.
            if (std::abs(x - 20) <= 1 || std::abs(y - 20) <= 1)
                continue;
            const int q = (x >= 20 ? 1 : 0) + (y >= 20 ? 2 : 0);
            const std::uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000};
#ifndef _WIN32
            const double a = FarEdgeCoverage(10 + x / 2.0, 29) * FarEdgeCoverage(10 + y / 2.0, 29);
            for (int shift : {0, 8, 16})
                ASSERT_NEAR(Channel(s.At(x, y), shift),
                            Channel(colours[q], shift) * a + Channel(kBackground, shift) * (1 - a), kFilterTolerance)
                    << x << "," << y;
#endif
            if (x < 39 && y < 39) {
                ASSERT_EQ(s.At(x, y), colours[q]) << x << "," << y;
            }
        }

    // The same through the floating-point call.
    Section f(50, 50);
    f.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRect(f.graphics(), bitmap.get(), 0, 0, 40, 40, 10, 10, 20, 20, UnitPixel, nullptr,
                                    nullptr, nullptr),
              Ok);
    ExpectPixels(f, [&](int x, int y) { return s.At(x, y); });
}

TEST(GdiplusDrawImageTest, UnscaledSourceRegionIsExact)
{
    BitmapPtr bitmap = MakeBitmap(9, 7, PixelFormat24bppRGB, Distinct);
    Section s(8, 8);
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 2, 3, 4, 3, 5, 1, 4, 3, UnitPixel, nullptr, nullptr,
                                     nullptr),
              Ok);
    ExpectPixels(
        s, [](int x, int y) { return x >= 2 && x < 6 && y >= 3 && y < 6 ? Rgb(Distinct(x + 3, y - 2)) : kBackground; });
    // A source rectangle reaching past the image draws only the part inside it, unscaled.
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 5, 5, 6, 4, 5, 5, UnitPixel, nullptr, nullptr,
                                     nullptr),
              Ok);
    ExpectPixels(s, [](int x, int y) { return x < 3 && y < 3 ? Rgb(Distinct(x + 6, y + 4)) : kBackground; });
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 4, 4, 20, 20, 4, 4, UnitPixel, nullptr, nullptr,
                                     nullptr),
              Ok);
    ExpectPixels(s, [](int, int) { return kBackground; });
}

TEST(GdiplusDrawImageTest, AlphaIsCompositedOverTheTarget)
{
    BitmapPtr bitmap = MakeBitmap(3, 1, PixelFormat32bppARGB, [](int x, int) {
        const ARGB colours[] = {0xFFFF0000, 0x80FF0000, 0x00FF0000};
        return colours[x];
    });
    Section s(3, 1);
    s.Fill(0x0000FF);
    ASSERT_EQ(GdipDrawImageI(s.graphics(), bitmap.get(), 0, 0), Ok);
    EXPECT_EQ(s.At(0, 0), 0xFF0000u);
    EXPECT_NEAR(Channel(s.At(1, 0), 16), 128, 1);
    EXPECT_EQ(Channel(s.At(1, 0), 8), 0);
    EXPECT_NEAR(Channel(s.At(1, 0), 0), 127, 1);
    EXPECT_EQ(s.At(2, 0), 0x0000FFu);
}

TEST(GdiplusDrawImageTest, NegativeSizesMirrorAndZeroSizesDrawNothing)
{
    BitmapPtr bitmap = MakeBitmap(4, 2, PixelFormat24bppRGB, Distinct);
    Section s(6, 4);
    s.Fill(kBackground);
    // Destination from x = 5 leftwards: pixel centres stay on whole coordinates, so column u
    // lands at 5 - u and pixel 1, on the far edge, is left alone (Wine's gdiplus draws the same).
    ASSERT_EQ(GdipDrawImageRectI(s.graphics(), bitmap.get(), 5, 1, -4, 2), Ok);
    ExpectPixels(
        s, [](int x, int y) { return x >= 2 && x < 6 && y >= 1 && y < 3 ? Rgb(Distinct(5 - x, y - 1)) : kBackground; });

    s.Fill(kBackground);
    EXPECT_EQ(GdipDrawImageRectI(s.graphics(), bitmap.get(), 0, 0, 0, 2), Ok);
    EXPECT_EQ(GdipDrawImageRectI(s.graphics(), bitmap.get(), 0, 0, 3, 0), Ok);
    EXPECT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 3, 3, 0, 0, 0, 2, UnitPixel, nullptr, nullptr,
                                     nullptr),
              Ok);
    ExpectPixels(s, [](int, int) { return kBackground; });
}

TEST(GdiplusDrawImageTest, RefusalsDrawNothing)
{
    BitmapPtr bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, Distinct);
    Section s(4, 4);
    s.Fill(kBackground);
    EXPECT_EQ(GdipDrawImageI(nullptr, bitmap.get(), 0, 0), InvalidParameter);
    EXPECT_EQ(GdipDrawImageI(s.graphics(), nullptr, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipDrawImageRectI(s.graphics(), nullptr, 0, 0, 2, 2), InvalidParameter);
    EXPECT_EQ(
        GdipDrawImageRectRectI(nullptr, bitmap.get(), 0, 0, 2, 2, 0, 0, 2, 2, UnitPixel, nullptr, nullptr, nullptr),
        InvalidParameter);
    EXPECT_EQ(
        GdipDrawImageRectRect(s.graphics(), nullptr, 0, 0, 2, 2, 0, 0, 2, 2, UnitPixel, nullptr, nullptr, nullptr),
        InvalidParameter);
    ExpectPixels(s, [](int, int) { return kBackground; });
}

TEST(GdiplusDrawImageTest, AnAbortingCallbackStopsTheDraw)
{
    // Microsoft's Graphics::DrawImage documentation: the callback cancels the drawing in
    // progress, and the call answers Aborted.
    BitmapPtr bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, Distinct);
    Section s(4, 4);
    s.Fill(kBackground);
    // MinGW-w64 declares DrawImageAbort as void*, the SDK as this function pointer type.
    BOOL (*abortAlways)(VOID*) = [](VOID*) -> BOOL { return TRUE; };
    EXPECT_EQ(GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 2, 2, 0, 0, 2, 2, UnitPixel, nullptr,
                                     reinterpret_cast<DrawImageAbort>(abortAlways), nullptr),
              Aborted);
    ExpectPixels(s, [](int, int) { return kBackground; });
}

// What the stand-in refuses where Windows' behaviour is not documented or is beyond it: source
// units other than pixels, coordinates that are not numbers, and a bitmap whose pixels are
// locked (the caller may be writing them).
TEST(GdiplusDrawImageTest, StandInRefusesOtherUnitsNonNumbersAndLockedBitmaps)
{
    BitmapPtr bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, Distinct);
    Section s(4, 4);
    s.Fill(kBackground);
    EXPECT_EQ(
        GdipDrawImageRectRectI(s.graphics(), bitmap.get(), 0, 0, 2, 2, 0, 0, 2, 2, UnitInch, nullptr, nullptr, nullptr),
        NotImplemented);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(GdipDrawImageRectRect(s.graphics(), bitmap.get(), nan, 0, 2, 2, 0, 0, 2, 2, UnitPixel, nullptr, nullptr,
                                    nullptr),
              InvalidParameter);

    BitmapData data = {};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(GdipDrawImageI(s.graphics(), bitmap.get(), 0, 0), WrongState);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    ExpectPixels(s, [](int, int) { return kBackground; });
}

TEST(GdiplusGraphicsTest, FollowsWhatTheDeviceContextShows)
{
    // Wine's gdiplus conformance test test_constructor_destructor (graphics.c): no DC is
    // OutOfMemory. Which refusal wins when the result pointer is missing too is not documented.
    GpGraphics* graphics = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(nullptr, &graphics), OutOfMemory);
    EXPECT_EQ(graphics, nullptr);
    EXPECT_NE(GdipCreateFromHDC(nullptr, nullptr), Ok);
    EXPECT_EQ(GdipDeleteGraphics(nullptr), InvalidParameter);

    BitmapPtr bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, Distinct);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* firstBits = nullptr;
    void* secondBits = nullptr;
    HBITMAP first = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &firstBits, nullptr, 0);
    HBITMAP second = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &secondBits, nullptr, 0);
    ASSERT_TRUE(first && second && firstBits && secondBits);
    std::memset(firstBits, 0x11, 12 * 4); // 4 rows of 12 bytes
    std::memset(secondBits, 0x11, 12 * 4);
    const auto at = [](void* bits, int x, int y) {
        const BYTE* p = static_cast<const BYTE*>(bits) + y * 12 + x * 3;
        return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    };

    // A memory DC with nothing selected has no pixels: the draw succeeds and changes nothing.
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    ASSERT_EQ(GdipCreateFromHDC(dc, &graphics), Ok);
    EXPECT_EQ(GdipDrawImageI(graphics, bitmap.get(), 0, 0), Ok);

    // Sections selected after the Graphics was made receive its drawing, each in turn.
    HGDIOBJ original = SelectObject(dc, first);
    EXPECT_EQ(GdipDrawImageI(graphics, bitmap.get(), 1, 1), Ok);
    SelectObject(dc, second);
    EXPECT_EQ(GdipDrawImageI(graphics, bitmap.get(), 2, 0), Ok);
    EXPECT_EQ(at(firstBits, 1, 1), Rgb(Distinct(0, 0)));
    EXPECT_EQ(at(firstBits, 2, 0), 0x111111u);
    EXPECT_EQ(at(secondBits, 2, 0), Rgb(Distinct(0, 0)));
    EXPECT_EQ(at(secondBits, 1, 1), 0x111111u);

    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
    SelectObject(dc, original);
    DeleteDC(dc);
    DeleteObject(first);
    DeleteObject(second);
}

TEST(GdiplusDrawImageTest, RandomRectanglesNeverDrawOutsideTheDestination)
{
    BitmapPtr rgb = MakeBitmap(7, 5, PixelFormat24bppRGB, Distinct);
    BitmapPtr argb = MakeBitmap(7, 5, PixelFormat32bppARGB, Distinct);
    moxtest::AttributesPtr key = moxtest::MakeKey(Distinct(1, 1), Distinct(1, 1));
    Section s(16, 12, true);
    std::uint32_t seed = 12345;
    const auto next = [&seed](float lo, float hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * float(seed >> 8) / float(1u << 24);
    };
    for (int round = 0; round < 3000; ++round) {
        s.Fill(kBackground);
        const float dx = next(-20, 30), dy = next(-20, 30), dw = next(-25, 25), dh = next(-25, 25);
        const float sx = next(-4, 10), sy = next(-4, 8), sw = next(-9, 12), sh = next(-9, 12);
        GpBitmap* image = round % 2 ? rgb.get() : argb.get();
        ASSERT_EQ(GdipDrawImageRectRect(s.graphics(), image, dx, dy, dw, dh, sx, sy, sw, sh, UnitPixel,
                                        round % 3 ? key.get() : nullptr, nullptr, nullptr),
                  Ok);
        // A pixel belongs to the destination when its centre, on a whole coordinate, does; the
        // span is half-open in drawing order.
        const auto outside = [](int i, float d, float w) {
            return w > 0 ? (i < d || i >= d + w) : (i > d || i <= d + w);
        };
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (outside(x, dx, dw) || outside(y, dy, dh)) {
                    ASSERT_EQ(s.At(x, y), kBackground) << "round " << round << " at " << x << "," << y;
                }
    }
}

TEST(GdiplusDrawImageTest, RegionsFarIntoAWideStripScaleCorrectly)
{
    // A 40000-pixel strip: only the region drawn is sampled, so its coordinates stay small.
    BitmapPtr strip =
        MakeBitmap(40000, 2, PixelFormat24bppRGB, [](int x, int) { return x >= 39992 ? 0xFF00C000u : 0xFF800000u; });
    Section s(10, 6);
    s.Fill(kBackground);
    ASSERT_EQ(GdipDrawImageRectRectI(s.graphics(), strip.get(), 0, 0, 8, 4, 39994, 0, 4, 2, UnitPixel, nullptr, nullptr,
                                     nullptr),
              Ok);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            const double a = x < 8 && y < 4 ? FarEdgeCoverage(x / 2.0, 3) * FarEdgeCoverage(y / 2.0, 1) : 0;
#ifdef _WIN32
            if (a != 0 && a != 1)
                continue; // the far edges' fade is the stand-in's (see SourceRegionIsScaledWithoutBleedingNeighbours)
#endif
            ASSERT_NEAR(Channel(s.At(x, y), 8), 0xC0 * a + Channel(kBackground, 8) * (1 - a), kFilterTolerance)
                << x << "," << y;
            ASSERT_NEAR(Channel(s.At(x, y), 16), Channel(kBackground, 16) * (1 - a), kFilterTolerance) << x << "," << y;
        }

#ifndef _WIN32
    // Shrinking all of it into one pixel is beyond what the stand-in's rasteriser can say:
    // refused, untouched.
    s.Fill(kBackground);
    EXPECT_EQ(GdipDrawImageRectI(s.graphics(), strip.get(), 0, 0, 1, 1), ValueOverflow);
    ExpectPixels(s, [](int, int) { return kBackground; });
#endif
}
