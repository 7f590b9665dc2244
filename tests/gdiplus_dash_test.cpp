// GDI+ custom dash patterns: the rules of GdipSetPenDashArray/GdipGetPenDashArray, and lines
// drawn with a pattern showing its dashes and gaps. Written against the flat API alone, so that
// the Windows build checks the same against real GDI+.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Windows: setting an array makes the style custom; a length of zero or less is refused; the
// array can be read only while the style is custom, and never more lengths than it holds, fewer
// being fine (gdiplus tests/pen.c test_dasharray).
TEST(GdiplusDash, ArrayRulesFollowWindows)
{
    GpPen* pen = nullptr;
    ASSERT_EQ(GdipCreatePen1(0xFF000000, 2, UnitPixel, &pen), Ok);
    const REAL pattern[3] = {4, 2, 1};
    const REAL zero[2] = {1, 0}, negative[2] = {-1, 1};
    EXPECT_EQ(GdipSetPenDashArray(pen, zero, 2), InvalidParameter);
    EXPECT_EQ(GdipSetPenDashArray(pen, negative, 2), InvalidParameter);
    EXPECT_EQ(GdipSetPenDashArray(pen, pattern, -1), InvalidParameter);
    DashStyle style = DashStyleDot;
    GdipGetPenDashStyle(pen, &style);
    EXPECT_EQ(style, DashStyleSolid); // refusals change nothing

    ASSERT_EQ(GdipSetPenDashArray(pen, pattern, 3), Ok);
    GdipGetPenDashStyle(pen, &style);
    EXPECT_EQ(style, DashStyleCustom);
    struct ReadCase {
        INT count;
        Status status;
    } reads[] = {{0, Ok}, {2, Ok}, {3, Ok}, {4, InvalidParameter}};
    for (const ReadCase& c : reads) {
        REAL got[4] = {-1, -1, -1, -1};
        EXPECT_EQ(GdipGetPenDashArray(pen, got, c.count), c.status) << c.count;
        for (INT i = 0; i < 4; ++i)
            EXPECT_EQ(got[i], c.status == Ok && i < c.count ? pattern[i] : -1) << c.count << " " << i;
    }
    ASSERT_EQ(GdipSetPenDashStyle(pen, DashStyleDash), Ok);
    REAL got[2];
    EXPECT_EQ(GdipGetPenDashArray(pen, got, 2), InvalidParameter);
    ASSERT_EQ(GdipSetPenDashStyle(pen, DashStyleCustom), Ok); // the array is still there
    EXPECT_EQ(GdipGetPenDashArray(pen, got, 2), Ok);
    EXPECT_EQ(got[1], 2);
    GdipDeletePen(pen);
}

// A custom pattern scales with the pen's width: a dash of 3 widths and a gap of 1 on a line 1
// and 4 pixels wide leave about a quarter of the line's length undrawn, in runs (MSDN
// Pen::SetDashPattern).
TEST(GdiplusDash, CustomPatternDrawsDashesAndGaps)
{
    for (REAL width : {1.0f, 4.0f}) {
        GpBitmap* bitmap = nullptr;
        ASSERT_EQ(GdipCreateBitmapFromScan0(200, 20, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
        GpGraphics* graphics = nullptr;
        ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &graphics), Ok);
        GdipGraphicsClear(graphics, 0xFFFFFFFF);
        GpPen* pen = nullptr;
        ASSERT_EQ(GdipCreatePen1(0xFF000000, width, UnitPixel, &pen), Ok);
        const REAL pattern[2] = {3, 1};
        ASSERT_EQ(GdipSetPenDashArray(pen, pattern, 2), Ok);
        ASSERT_EQ(GdipDrawLine(graphics, pen, 0, 10, 200, 10), Ok);
        int dark = 0, gaps = 0;
        bool wasDark = false;
        for (INT x = 20; x < 180; ++x) {
            ARGB c = 0;
            GdipBitmapGetPixel(bitmap, x, 10, &c);
            const bool isDark = (c & 0xFF) < 0x80;
            dark += isDark;
            gaps += wasDark && !isDark;
            wasDark = isDark;
        }
        EXPECT_NEAR(dark, 120, 12) << width;
        EXPECT_GE(gaps, width == 1 ? 35 : 8) << width;
        GdipDeletePen(pen);
        GdipDeleteGraphics(graphics);
        GdipDisposeImage(bitmap);
    }
}
