// GDI+ before start-up and after shut-down, and the differences from earlier versions of the
// stand-in that Windows shows in Wine's conformance tests: strides, un-premultiplying, disposing
// of something that is not an image. This program starts GDI+ itself (no test session).
#include <windows.h>

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// Object-making calls with GDI+ not started: each fails and leaves a null object.
void ExpectNotInitialized(const char* when)
{
    GpPen* pen = reinterpret_cast<GpPen*>(1);
    EXPECT_EQ(GdipCreatePen1(0xFF000000, 1, UnitPixel, &pen), GdiplusNotInitialized) << when;
    EXPECT_EQ(pen, nullptr) << when;
    GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(1);
    EXPECT_EQ(GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat32bppARGB, nullptr, &bitmap), GdiplusNotInitialized)
        << when;
    EXPECT_EQ(bitmap, nullptr) << when;
    Bitmap loaded(L"no-such-file.png");
    EXPECT_EQ(loaded.GetLastStatus(), GdiplusNotInitialized) << when;
}

} // namespace

// Windows: GDI+ calls before GdiplusStartup or after GdiplusShutdown answer
// GdiplusNotInitialized (MSDN GdiplusStartup; gdiplus tests/pen.c test_startup).
TEST(GdiplusStartup, CallsOutsideAStartedSessionFail)
{
    ExpectNotInitialized("before start-up");
    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
    GpPen* pen = nullptr;
    EXPECT_EQ(GdipCreatePen1(0xFF000000, 1, UnitPixel, &pen), Ok);
    GdipDeletePen(pen);
    GdiplusShutdown(token);
    ExpectNotInitialized("after shut-down");
}

class GdiplusStarted : public ::testing::Test {
protected:
    void SetUp() override
    {
        GdiplusStartupInput input;
        ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
    }
    void TearDown() override { GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

// Windows: over a caller's block any stride that is a whole number of 32-bit words is taken,
// even one shorter than a row or negative; stride 0 fails and leaves the out-pointer as it was
// (gdiplus tests/image.c test_Scan0).
TEST_F(GdiplusStarted, Scan0TakesShortStridesAndLeavesTheOutPointerOnStrideZero)
{
    alignas(4) static BYTE buffer[400];
    const struct {
        INT stride;
        Status expected;
    } cases[] = {{12, Ok}, {10, InvalidParameter}, {-8, Ok}, {-10, InvalidParameter}, {32, Ok}};
    for (const auto& c : cases) {
        GpBitmap* bitmap = nullptr;
        // A negative stride walks up from scan0, so give it room above.
        BYTE* scan0 = c.stride < 0 ? buffer + 200 : buffer;
        EXPECT_EQ(GdipCreateBitmapFromScan0(10, 10, c.stride, PixelFormat24bppRGB, scan0, &bitmap), c.expected)
            << "stride " << c.stride;
        EXPECT_EQ(bitmap != nullptr, c.expected == Ok) << "stride " << c.stride;
        if (bitmap)
            GdipDisposeImage(bitmap);
    }
    GpBitmap* untouched = reinterpret_cast<GpBitmap*>(0x1234);
    EXPECT_EQ(GdipCreateBitmapFromScan0(10, 10, 0, PixelFormat24bppRGB, buffer, &untouched), InvalidParameter);
    EXPECT_EQ(untouched, reinterpret_cast<GpBitmap*>(0x1234));
}

// Windows: PARGB read as ARGB comes out one step below rounding for these values, and a fully
// transparent pixel keeps its colour bytes; ARGB written into PARGB rounds (gdiplus tests/image.c
// test_PARGB_conversion).
TEST_F(GdiplusStarted, PremultipliedPixelsConvertAsWindowsConvertsThem)
{
    BYTE pargb[8] = {0x62, 0x77, 0x99, 0x77, 0x62, 0x77, 0x99, 0};
    const BYTE argb[8] = {0xd1, 0xfe, 0xff, 0x77, 0x62, 0x77, 0x99, 0};
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 1, 8, PixelFormat32bppPARGB, pargb, &bitmap), Ok);
    BitmapData data;
    ASSERT_EQ(GdipBitmapLockBits(bitmap, nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
    EXPECT_EQ(std::memcmp(data.Scan0, argb, sizeof argb), 0);
    GdipBitmapUnlockBits(bitmap, &data);

    const BYTE pargb2[8] = {0x01, 0x01, 0x00, 0x01, 0xfe, 0x7f, 0x7f, 0xfe};
    EXPECT_EQ(GdipBitmapSetPixel(bitmap, 0, 0, 0x017f80ff), Ok);
    EXPECT_EQ(GdipBitmapSetPixel(bitmap, 1, 0, 0xfe7f80ff), Ok);
    EXPECT_EQ(std::memcmp(pargb, pargb2, sizeof pargb2), 0);
    // An opaque pixel reads back unchanged.
    ARGB colour = 0;
    EXPECT_EQ(GdipBitmapSetPixel(bitmap, 0, 0, 0xff336699), Ok);
    EXPECT_EQ(GdipBitmapGetPixel(bitmap, 0, 0, &colour), Ok);
    EXPECT_EQ(colour, 0xff336699u);
    GdipDisposeImage(bitmap);
}

// Windows: disposing of memory that holds no image answers ObjectBusy and frees nothing
// (gdiplus tests/image.c test_dispose).
TEST_F(GdiplusStarted, DisposingOfSomethingElseIsRefused)
{
    alignas(8) char notAnImage[256];
    std::memset(notAnImage, 0, sizeof notAnImage);
    EXPECT_EQ(GdipDisposeImage(reinterpret_cast<GpImage*>(notAnImage)), ObjectBusy);
    EXPECT_EQ(GdipDisposeImage(nullptr), InvalidParameter);
}
