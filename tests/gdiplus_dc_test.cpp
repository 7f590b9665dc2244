// GdipGetDC/GdipReleaseDC: GDI drawing on a GDI+ bitmap through the DC a Graphics hands out, and
// the refusals while that DC is out. Written against the Windows API alone, so that the Windows
// build checks the same against real GDI+.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Windows: a second GdipGetDC before the release, and deleting the Graphics while its DC is out,
// answer ObjectBusy; releasing a DC that was not handed out is InvalidParameter (gdiplus
// tests/graphics.c test_Get_Release_DC).
TEST(GdiplusDC, OneDCAtATimeAndTheGraphicsStaysWhileItIsOut)
{
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat24bppRGB, nullptr, &bitmap), Ok);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &graphics), Ok);
    HDC dc = nullptr;
    EXPECT_EQ(GdipGetDC(nullptr, &dc), InvalidParameter);
    EXPECT_EQ(GdipGetDC(graphics, nullptr), InvalidParameter);
    EXPECT_EQ(GdipReleaseDC(graphics, reinterpret_cast<HDC>(0x1234)), InvalidParameter);
    ASSERT_EQ(GdipGetDC(graphics, &dc), Ok);
    ASSERT_NE(dc, nullptr);
    HDC again = nullptr;
    EXPECT_EQ(GdipGetDC(graphics, &again), ObjectBusy);
    EXPECT_EQ(GdipDeleteGraphics(graphics), ObjectBusy);
    EXPECT_EQ(GdipReleaseDC(graphics, dc), Ok);
    EXPECT_EQ(GdipReleaseDC(graphics, dc), InvalidParameter);
    EXPECT_EQ(GdipDeleteGraphics(graphics), Ok);
    GdipDisposeImage(bitmap);
}

// Windows: what GDI draws on the DC lands in the bitmap, opaque on an ARGB bitmap, in device
// pixels whatever the world transform; pixels GDI leaves alone keep what GDI+ drew (graphics.c
// test_gdi_interop_bitmap, test_getdc_scaled, test_fromMemoryBitmap).
TEST(GdiplusDC, GdiDrawingOnABitmapsDCLandsInTheBitmap)
{
    for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB, PixelFormat32bppRGB}) {
        GpBitmap* bitmap = nullptr;
        ASSERT_EQ(GdipCreateBitmapFromScan0(20, 20, 0, format, nullptr, &bitmap), Ok);
        GpGraphics* graphics = nullptr;
        ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &graphics), Ok);
        ASSERT_EQ(GdipGraphicsClear(graphics, 0xFF204060), Ok);
        ASSERT_EQ(GdipScaleWorldTransform(graphics, 3, 3, MatrixOrderPrepend), Ok);
        HDC dc = nullptr;
        ASSERT_EQ(GdipGetDC(graphics, &dc), Ok);
        RECT r = {2, 3, 6, 5};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &r, red);
        DeleteObject(red);
        ASSERT_EQ(GdipReleaseDC(graphics, dc), Ok);
        GdipDeleteGraphics(graphics);

        struct Probe {
            INT x, y;
            ARGB want;
        } probes[] = {{2, 3, 0xFFFF0000}, {5, 4, 0xFFFF0000}, {6, 4, 0xFF204060},
                      {2, 5, 0xFF204060}, {1, 3, 0xFF204060}, {15, 15, 0xFF204060}};
        for (const Probe& p : probes) {
            ARGB got = 0;
            EXPECT_EQ(GdipBitmapGetPixel(bitmap, p.x, p.y, &got), Ok);
            EXPECT_EQ(got, p.want) << "format " << format << " at " << p.x << "," << p.y;
        }
        GdipDisposeImage(bitmap);
    }
}

// Windows: a Graphics over a DC hands out that very DC (graphics.c test_Get_Release_DC).
TEST(GdiplusDC, AGraphicsOverADCHandsOutThatDC)
{
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(memory, nullptr);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(memory, &graphics), Ok);
    HDC dc = nullptr;
    ASSERT_EQ(GdipGetDC(graphics, &dc), Ok);
    EXPECT_EQ(dc, memory);
    EXPECT_EQ(GdipReleaseDC(graphics, dc), Ok);
    GdipDeleteGraphics(graphics);
    DeleteDC(memory);
}
