// GDI of the platform layer: DIB sections, memory DCs, BitBlt and StretchDIBits, checked pixel
// by pixel against what Windows does.
#include <gtest/gtest.h>

#include <windows.h>

#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <climits>
#include <cstring>
#include <vector>

#ifndef _WIN32
#include "surface.h" // the stand-in's own view of a DC's pixels
#endif

namespace {

BITMAPINFO Header24(LONG width, LONG height)
{
    BITMAPINFO bmi;
    std::memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

// A DIB section selected into its own memory DC; both released at the end of the scope.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ stock = nullptr;
    BYTE* bits = nullptr;

    Canvas(int width, int height) // height < 0: top-down
    {
        BITMAPINFO bmi = Header24(width, height);
        bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        stock = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, stock);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void FillWith(COLORREF c, int width, int height)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(dc, x, y, c);
    }
};

// A colour that names its own position, so a misplaced copy shows.
COLORREF Tag(int x, int y)
{
    return RGB(x * 10 + 1, y * 10 + 2, 99);
}

constexpr COLORREF kSentinel = RGB(250, 0, 250);

} // namespace

TEST(DibSection, StrideAndHeaderFollowWidthAndOrientation)
{
    struct Case {
        LONG width, height;
        LONG stride;
    } cases[] = {{1, 2, 4}, {3, 2, 12}, {5, 2, 16}, {5, -3, 16}, {4, 1, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        BITMAPINFO bmi = Header24(c.width, c.height);
        void* bits = nullptr;
        HBITMAP h = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(h, nullptr);
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bits) % 4, 0u);
        const LONG rows = c.height < 0 ? -c.height : c.height;

        BITMAP bm;
        ASSERT_EQ(GetObject(h, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmType, 0);
        EXPECT_EQ(bm.bmWidth, c.width);
        EXPECT_EQ(bm.bmHeight, rows);
        EXPECT_EQ(bm.bmWidthBytes, c.stride);
        EXPECT_EQ(bm.bmPlanes, 1);
        EXPECT_EQ(bm.bmBitsPixel, 24);
        EXPECT_EQ(bm.bmBits, bits);

        DIBSECTION ds;
        std::memset(&ds, 0xCD, sizeof ds);
        ASSERT_EQ(GetObject(h, sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidthBytes, c.stride);
        EXPECT_EQ(ds.dsBm.bmBits, bits);
        EXPECT_EQ(ds.dsBmih.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(ds.dsBmih.biWidth, c.width);
        // Always the number of rows: Wine's gdi32 conformance tests (bitmap.c, test_dib_info),
        // which pass on Windows, expect abs(biHeight) for a top-down section as well.
        EXPECT_EQ(ds.dsBmih.biHeight, rows);
        EXPECT_EQ(ds.dsBmih.biBitCount, 24);
        EXPECT_EQ(ds.dsBmih.biSizeImage, static_cast<DWORD>(c.stride * rows));
        EXPECT_EQ(ds.dsBitfields[0] | ds.dsBitfields[1] | ds.dsBitfields[2], 0u);
        EXPECT_EQ(ds.dshSection, nullptr);
        EXPECT_EQ(ds.dsOffset, 0u);

        const auto* p = static_cast<const BYTE*>(bits);
        for (LONG i = 0; i < c.stride * rows; ++i)
            ASSERT_EQ(p[i], 0) << "byte " << i;
        EXPECT_TRUE(DeleteObject(h));
    }
}

TEST(DibSection, GetObjectSizesAndRefusals)
{
    // The buffer sizes Wine's gdi32 conformance tests (bitmap.c, test_dib_info) try on Windows:
    // too small for a BITMAP gives 0 and writes nothing, anything from a BITMAP up to just short
    // of a DIBSECTION gives the BITMAP alone, and a DIBSECTION or more gives the DIBSECTION.
    const int bitmapSize = sizeof(BITMAP), sectionSize = sizeof(DIBSECTION);
    const struct {
        int bytes, returned;
    } sizes[] = {{0, 0},
                 {1, 0},
                 {bitmapSize / 2, 0},
                 {bitmapSize - 1, 0},
                 {bitmapSize, bitmapSize},
                 {2 * bitmapSize, bitmapSize},
                 {sectionSize - 4, bitmapSize},
                 {sectionSize, sectionSize},
                 {2 * sectionSize, sectionSize}};
    for (LONG height : {3, -3}) {
        BITMAPINFO bmi = Header24(5, height);
        void* bits = nullptr;
        HBITMAP h = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(h, nullptr);
        for (const auto& size : sizes) {
            SCOPED_TRACE(testing::Message() << "height " << height << ", " << size.bytes << " bytes");
            std::vector<unsigned char> buffer(2 * sizeof(DIBSECTION), 0xCD);
            ASSERT_EQ(GetObject(h, size.bytes, buffer.data()), size.returned);
            for (std::size_t i = std::size_t(size.returned); i < buffer.size(); ++i)
                ASSERT_EQ(buffer[i], 0xCD) << "byte " << i << " written";
            if (size.returned > 0) {
                BITMAP bm;
                std::memcpy(&bm, buffer.data(), sizeof bm);
                EXPECT_EQ(bm.bmHeight, 3);
                EXPECT_EQ(bm.bmBits, bits);
            }
            if (size.returned == sectionSize) {
                DIBSECTION ds;
                std::memcpy(&ds, buffer.data(), sizeof ds);
                EXPECT_EQ(ds.dsBmih.biHeight, 3);
            }
        }
        EXPECT_EQ(GetObject(h, 0, nullptr), bitmapSize); // no buffer: the size of a BITMAP
        EXPECT_TRUE(DeleteObject(h));
    }

    BITMAPINFO bmi = Header24(2, 2);
    void* bits = nullptr;
    HBITMAP h = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAP bm;
    EXPECT_EQ(GetObject(dc, sizeof bm, &bm), 0); // DCs are not GDI objects with a description
    DeleteDC(dc);
    DeleteObject(h);
    EXPECT_EQ(GetObject(h, sizeof bm, &bm), 0);
    EXPECT_EQ(GetObject(reinterpret_cast<HANDLE>(0x1234), sizeof bm, &bm), 0);
    EXPECT_EQ(GetObject(nullptr, sizeof bm, &bm), 0);
}

TEST(DibSection, UnsupportedOrOversizedHeadersAreRefused)
{
    auto refused = [](BITMAPINFO bmi, HANDLE section = nullptr) {
        void* bits = reinterpret_cast<void*>(0x1);
        HBITMAP h = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, section, 0);
        const bool ok = h == nullptr && bits == nullptr;
        if (h)
            DeleteObject(h);
        return ok;
    };
    BITMAPINFO bmi = Header24(4, 4);
    bmi.bmiHeader.biCompression = 3; // bit fields are for 16 and 32 bits
    EXPECT_TRUE(refused(bmi));
    EXPECT_TRUE(refused(Header24(0, 4)));
    EXPECT_TRUE(refused(Header24(-4, 4)));
    EXPECT_TRUE(refused(Header24(4, 0)));
    EXPECT_TRUE(refused(Header24(4, INT_MIN)));
    EXPECT_TRUE(refused(Header24(INT_MAX, 2)));                           // stride overflows 32 bits
    EXPECT_TRUE(refused(Header24(65536, 65536)));                         // byte count overflows 32 bits
    EXPECT_TRUE(refused(Header24(4, 4), reinterpret_cast<HANDLE>(0x10))); // file mappings unsupported
    void* bits = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    // The DC only matters to DIB_PAL_COLORS (Microsoft's CreateDIBSection documentation).
    BITMAPINFO ok = Header24(4, 4);
    HBITMAP withAnyDC = CreateDIBSection(reinterpret_cast<HDC>(0x4321), &ok, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(withAnyDC, nullptr);
    EXPECT_NE(bits, nullptr);
    DeleteObject(withAnyDC);
}

// The stand-in makes 24-bit sections only; Windows makes 1- to 32-bit ones.
// Windows: depths other than 1, 4, 8, 16, 24 and 32, and bit fields at 24 bits, are refused
// (gdi32 tests/bitmap.c test_bitmapinfoheadersize, test_dib_formats).
TEST(DibSection, RefusesDepthsWindowsDoesNotHave)
{
    for (WORD bpp : {WORD(0), WORD(2), WORD(3), WORD(15), WORD(33), WORD(64)}) {
        BITMAPINFO bmi = Header24(4, 4);
        bmi.bmiHeader.biBitCount = bpp;
        void* bits = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << bpp;
        EXPECT_EQ(bits, nullptr);
    }
    BITMAPINFO bmi = Header24(4, 4);
    bmi.bmiHeader.biCompression = BI_BITFIELDS;
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

#ifndef _WIN32
TEST(SurfaceOfDC, RowAddressesFollowOrientation)
{
    {
        Canvas top(3, -4);
        moxplat::PixelSurface s;
        ASSERT_TRUE(moxplat::SurfaceOfDC(top.dc, &s));
        EXPECT_EQ(s.bits, top.bits);
        EXPECT_EQ(s.stride, 12);
        EXPECT_EQ(s.width, 3);
        EXPECT_EQ(s.height, 4);
        SetPixel(top.dc, 1, 0, RGB(10, 20, 30));
        EXPECT_EQ(top.bits[3], 30); // blue, green, red
        EXPECT_EQ(top.bits[4], 20);
        EXPECT_EQ(top.bits[5], 10);
    }
    {
        Canvas bottom(3, 4);
        moxplat::PixelSurface s;
        ASSERT_TRUE(moxplat::SurfaceOfDC(bottom.dc, &s));
        EXPECT_EQ(s.bits, bottom.bits + 3 * 12); // the top row is stored last
        EXPECT_EQ(s.stride, -12);
        SetPixel(bottom.dc, 0, 3, RGB(7, 8, 9)); // bottom row: first in memory
        EXPECT_EQ(bottom.bits[0], 9);
        EXPECT_EQ(GetPixel(bottom.dc, 0, 3), RGB(7, 8, 9));
    }
    HDC bare = CreateCompatibleDC(nullptr);
    moxplat::PixelSurface s;
    EXPECT_FALSE(moxplat::SurfaceOfDC(bare, &s)); // only the 1x1 stock bitmap
    DeleteDC(bare);
    EXPECT_FALSE(moxplat::SurfaceOfDC(bare, &s));
    EXPECT_FALSE(moxplat::SurfaceOfDC(nullptr, &s));
}
#endif

TEST(SelectObject, SelectionRulesMatchWindows)
{
    BITMAPINFO bmi = Header24(2, 2);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(a);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);

    HGDIOBJ stock = SelectObject(a, section);
    ASSERT_NE(stock, nullptr);
    BITMAP bm;
    ASSERT_EQ(GetObject(stock, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmBits, nullptr);
    DIBSECTION ds;
    EXPECT_EQ(GetObject(stock, sizeof ds, &ds), static_cast<int>(sizeof(BITMAP))); // not a DIB section

    EXPECT_EQ(SelectObject(b, section), nullptr); // already in a
    EXPECT_FALSE(DeleteObject(section));          // still selected
    EXPECT_EQ(SetPixel(a, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(a, section), section); // reselecting is harmless

    EXPECT_EQ(SelectObject(a, stock), section);
    EXPECT_EQ(SelectObject(b, section), stock); // free again: b takes it
    EXPECT_EQ(GetPixel(b, 1, 1), RGB(1, 2, 3));
    EXPECT_TRUE(DeleteDC(b)); // deleting a DC lets go of its bitmap
    EXPECT_TRUE(DeleteObject(section));
    EXPECT_FALSE(DeleteObject(section));
    EXPECT_EQ(SelectObject(a, section), nullptr); // deleted
    EXPECT_EQ(SelectObject(a, a), nullptr);       // not a bitmap
    EXPECT_FALSE(DeleteObject(a));                // DCs go through DeleteDC
    EXPECT_TRUE(DeleteObject(stock));             // stock objects survive deletion
    EXPECT_EQ(GetObject(stock, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_TRUE(DeleteDC(a));
    EXPECT_FALSE(DeleteDC(a));
    EXPECT_EQ(SelectObject(a, stock), nullptr);
    EXPECT_EQ(CreateCompatibleDC(a), nullptr);
}

TEST(StretchBltMode, IsKeptPerDC)
{
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetStretchBltMode(a), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(a, COLORONCOLOR), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(a, HALFTONE), COLORONCOLOR);
    EXPECT_EQ(GetStretchBltMode(a), HALFTONE);
    EXPECT_EQ(GetStretchBltMode(b), BLACKONWHITE);
    EXPECT_EQ(SetStretchBltMode(a, 99), 0);
    EXPECT_EQ(GetStretchBltMode(a), HALFTONE);
    DeleteDC(a);
    DeleteDC(b);
    EXPECT_EQ(GetStretchBltMode(a), 0);
    EXPECT_EQ(SetStretchBltMode(a, COLORONCOLOR), 0);
}

TEST(PixelAccess, OutsideTheSurfaceIsInvalid)
{
    Canvas c(3, -2);
    EXPECT_EQ(SetPixel(c.dc, 2, 1, RGB(200, 100, 50)), RGB(200, 100, 50));
    EXPECT_EQ(GetPixel(c.dc, 2, 1), RGB(200, 100, 50));
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(0, 0, 0));
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT_MIN, INT_MIN}, {INT_MAX, 0}}) {
        EXPECT_EQ(GetPixel(c.dc, x, y), CLR_INVALID) << x << "," << y;
        EXPECT_EQ(SetPixel(c.dc, x, y, RGB(1, 1, 1)), CLR_INVALID);
    }
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

// Every combination of edges: each case is checked against the same per-pixel model of a
// clipped copy, over the whole destination.
TEST(BitBlt, ClipsAgainstBothSurfacesOnEveryEdge)
{
    constexpr int SW = 5, SH = 4, DW = 6, DH = 5;
    struct Case {
        int x, y, cx, cy, x1, y1;
    } cases[] = {
        {0, 0, SW, SH, 0, 0},                     // whole source
        {-2, 1, 4, 2, 0, 0},                      // left edge of the destination
        {4, 1, 4, 2, 0, 0},                       // right edge of the destination
        {1, -3, 3, 4, 0, 0},                      // top edge of the destination
        {1, 3, 3, 4, 0, 0},                       // bottom edge of the destination
        {1, 1, 4, 3, -2, 0},                      // left edge of the source
        {0, 0, 4, 3, 3, 0},                       // right edge of the source
        {2, 2, 3, 3, 1, -2},                      // top edge of the source
        {0, 0, 3, 4, 1, 2},                       // bottom edge of the source
        {-1, -1, 20, 20, -1, -1},                 // larger than both
        {DW, 0, 3, 3, 0, 0},                      // entirely right of the destination
        {0, 0, 3, 3, SW, 0},                      // entirely right of the source
        {0, 0, 0, 3, 0, 0},                       // empty
        {INT_MAX - 1, 0, INT_MAX, 2, INT_MIN, 0}, // no overflow
    };
    for (int orientation = 0; orientation < 4; ++orientation) {
        const int srcSign = (orientation & 1) ? -1 : 1;
        const int dstSign = (orientation & 2) ? -1 : 1;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "orientation " << orientation << " case " << c.x << "," << c.y << " "
                                            << c.cx << "x" << c.cy << " from " << c.x1 << "," << c.y1);
            Canvas src(SW, srcSign * SH);
            Canvas dst(DW, dstSign * DH);
            for (int y = 0; y < SH; ++y)
                for (int x = 0; x < SW; ++x)
                    SetPixel(src.dc, x, y, Tag(x, y));
            dst.FillWith(kSentinel, DW, DH);

            EXPECT_TRUE(BitBlt(dst.dc, c.x, c.y, c.cx, c.cy, src.dc, c.x1, c.y1, SRCCOPY));
            for (int y = 0; y < DH; ++y)
                for (int x = 0; x < DW; ++x) {
                    const long long sx = static_cast<long long>(x) - c.x + c.x1;
                    const long long sy = static_cast<long long>(y) - c.y + c.y1;
                    const bool copied = x >= c.x && static_cast<long long>(x) < static_cast<long long>(c.x) + c.cx &&
                                        y >= c.y && static_cast<long long>(y) < static_cast<long long>(c.y) + c.cy &&
                                        sx >= 0 && sx < SW && sy >= 0 && sy < SH;
                    const COLORREF want = copied ? Tag(static_cast<int>(sx), static_cast<int>(sy)) : kSentinel;
                    ASSERT_EQ(GetPixel(dst.dc, x, y), want) << "at " << x << "," << y;
                }
        }
    }
}

TEST(BitBlt, OverlappingCopyWithinOneSurface)
{
    Canvas c(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            SetPixel(c.dc, x, y, Tag(x, y));
    // Down and right by one, overlapping: every pixel must come from the original image.
    ASSERT_TRUE(BitBlt(c.dc, 1, 1, 4, 4, c.dc, 0, 0, SRCCOPY));
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x)
            ASSERT_EQ(GetPixel(c.dc, x, y), Tag(x - 1, y - 1)) << x << "," << y;
    ASSERT_TRUE(BitBlt(c.dc, 0, 0, 4, 4, c.dc, 1, 1, SRCCOPY)); // and back up-left
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(GetPixel(c.dc, x, y), Tag(x, y)) << x << "," << y;
}

// A negative extent covers the pixels before the origin: from x = 0 with a width of -3, none of
// the surface (Wine's gdi32 conformance test test_StretchBlt: Windows copies extents of -2 from
// (1, 1) to (1, 1) into pixel (0, 0) alone; marked todo_wine).
TEST(BitBlt, NegativeExtentsCoverThePixelsBeforeTheOrigin)
{
    Canvas src(4, 4);
    Canvas dst(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            SetPixel(src.dc, x, y, Tag(x, y));
    dst.FillWith(kSentinel, 4, 4);
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, -3, 3, src.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(GetPixel(dst.dc, x, y), kSentinel) << x << "," << y;
}

TEST(BitBlt, RefusesMissingSources)
{
    Canvas dst(2, 2);
    dst.FillWith(kSentinel, 2, 2);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, gone, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), kSentinel);
}

// The stand-in copies only with SRCCOPY and between DCs that have a bitmap selected. Windows
// has every raster operation (Wine's gdi32 conformance test test_BitBlt) and gives a new memory
// DC a 1 x 1 monochrome bitmap (Microsoft's CreateCompatibleDC documentation).
TEST(BitBlt, StandInRefusesBareDCs)
{
    Canvas dst(2, 2);
    dst.FillWith(kSentinel, 2, 2);
    HDC bare = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetPixel(bare, 0, 0), CLR_INVALID);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, bare, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(bare, 0, 0, 2, 2, dst.dc, 0, 0, SRCCOPY));
    DeleteDC(bare);
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), kSentinel);
}

namespace {

// A 24-bit DIB in client memory, rows padded as Windows reads them.
struct ClientDib {
    int width, height; // height < 0: top-down
    std::vector<BYTE> bytes;
    BITMAPINFO bmi;

    ClientDib(int w, int h) : width(w), height(h), bmi(Header24(w, h))
    {
        const int rows = h < 0 ? -h : h;
        bytes.assign(static_cast<size_t>(Stride() * rows), 0);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < w; ++x) {
                // y counts from the top of the image.
                const int memRow = h < 0 ? y : rows - 1 - y;
                BYTE* p = &bytes[static_cast<size_t>(memRow * Stride() + x * 3)];
                const COLORREF c = Tag(x, y);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
    }
    int Stride() const { return (width * 3 + 3) & ~3; }
};

} // namespace

TEST(StretchDIBits, DoublesEachPixelFromEitherOrientation)
{
    for (int sign : {1, -1}) {
        SCOPED_TRACE(sign > 0 ? "bottom-up source" : "top-down source");
        ClientDib dib(3, sign * 2);
        Canvas dst(8, -6);
        dst.FillWith(kSentinel, 8, 6);
        SetStretchBltMode(dst.dc, COLORONCOLOR);
        EXPECT_EQ(StretchDIBits(dst.dc, 1, 1, 6, 4, 0, 0, 3, 2, dib.bytes.data(), &dib.bmi, DIB_RGB_COLORS, SRCCOPY),
                  2);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
                const COLORREF want = inside ? Tag((x - 1) / 2, (y - 1) / 2) : kSentinel;
                ASSERT_EQ(GetPixel(dst.dc, x, y), want) << x << "," << y;
            }
    }
}

// ySrc counts from the image's bottom row whichever way its rows are stored, and the
// destination's top shows the source rectangle's top (Wine's gdi32 conformance test
// test_StretchDIBits: a top-down 2-row DIB's row 0 stretches from its last row in memory). The
// answer is the image's number of scan lines (the same test).
TEST(StretchDIBits, SourceRectangleUsesDibCoordinates)
{
    ClientDib bottomUp(4, 4);
    ClientDib topDown(4, -4);
    Canvas dst(2, -2);
    ASSERT_EQ(
        StretchDIBits(dst.dc, 0, 0, 2, 2, 1, 0, 2, 2, bottomUp.bytes.data(), &bottomUp.bmi, DIB_RGB_COLORS, SRCCOPY),
        4);
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), Tag(1, 2)); // the bottom two rows, top one first
    EXPECT_EQ(GetPixel(dst.dc, 1, 1), Tag(2, 3));
    ASSERT_EQ(
        StretchDIBits(dst.dc, 0, 0, 2, 2, 1, 0, 2, 2, topDown.bytes.data(), &topDown.bmi, DIB_RGB_COLORS, SRCCOPY), 4);
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), Tag(1, 2));
    EXPECT_EQ(GetPixel(dst.dc, 1, 1), Tag(2, 3));
    // Stretched the same way: one row, y = 0, is the bottom row.
    ASSERT_EQ(
        StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 1, 1, topDown.bytes.data(), &topDown.bmi, DIB_RGB_COLORS, SRCCOPY), 4);
    EXPECT_EQ(GetPixel(dst.dc, 1, 1), Tag(0, 3));
}

TEST(StretchDIBits, ClipsToDestinationAndSourceImage)
{
    ClientDib dib(3, -3);
    Canvas dst(4, -4);
    dst.FillWith(kSentinel, 4, 4);
    // 2x zoom starting left of and above the surface: only the lower-right part lands.
    EXPECT_EQ(StretchDIBits(dst.dc, -2, -2, 6, 6, 0, 0, 3, 3, dib.bytes.data(), &dib.bmi, DIB_RGB_COLORS, SRCCOPY), 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(GetPixel(dst.dc, x, y), Tag((x + 2) / 2, (y + 2) / 2)) << x << "," << y;

    // A source rectangle hanging past the image's right and top edges (y counts from the bottom
    // row): those samples are not read and their destination pixels keep their colour.
    dst.FillWith(kSentinel, 4, 4);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 1, 1, 4, 4, dib.bytes.data(), &dib.bmi, DIB_RGB_COLORS, SRCCOPY), 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const COLORREF want = (x < 2 && y >= 2) ? Tag(x + 1, y - 2) : kSentinel;
            ASSERT_EQ(GetPixel(dst.dc, x, y), want) << x << "," << y;
        }
    // Entirely outside the image: nothing.
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 0, 3, 3, 3, dib.bytes.data(), &dib.bmi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 0, -9, 3, 3, dib.bytes.data(), &dib.bmi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(GetPixel(dst.dc, 3, 3), kSentinel);
    // Far off the surface, with extents that would overflow 32 bits.
    EXPECT_EQ(StretchDIBits(dst.dc, INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, 0, 0, 3, 3, dib.bytes.data(), &dib.bmi,
                            DIB_RGB_COLORS, SRCCOPY),
              3);
    EXPECT_EQ(GetPixel(dst.dc, 3, 3), kSentinel);
}

TEST(StretchDIBits, RefusesBadArguments)
{
    ClientDib dib(2, 2);
    Canvas dst(4, 4);
    dst.FillWith(kSentinel, 4, 4);
    const void* bits = dib.bytes.data();
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 0, 0, 0, 2, bits, &dib.bmi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 0, 0, 2, 2, nullptr, &dib.bmi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 4, 4, 0, 0, 2, 2, bits, &dib.bmi, DIB_RGB_COLORS, SRCCOPY), 0);
    BITMAPINFO wrong = Header24(INT_MAX, 1000);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, &wrong, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), kSentinel);
}

// The stand-in stretches 24-bit DIBs with SRCCOPY and without mirroring. Windows mirrors a
// negative destination extent and has every depth and raster operation (Wine's gdi32
// conformance test test_StretchDIBits).
// Windows: a negative destination width runs leftwards from x, which it includes, and mirrors
// the image (gdi32 tests/bitmap.c test_StretchDIBits, x = 1, width -2).
TEST(StretchDIBits, NegativeDestinationWidthMirrors)
{
    ClientDib dib(2, 2);
    Canvas dst(2, 2);
    dst.FillWith(kSentinel, 2, 2);
    EXPECT_EQ(StretchDIBits(dst.dc, 1, 0, -2, 2, 0, 0, 2, 2, dib.bytes.data(), &dib.bmi, DIB_RGB_COLORS, SRCCOPY),
              2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(GetPixel(dst.dc, x, y), Tag(1 - x, y)) << x << "," << y;
}

// Rows of width x 3 bytes with no padding, buffer exactly that long and its size stated in
// biSizeImage: the copy must not read past it. The buffer ends at an inaccessible page, so a
// single byte too far would fault.
TEST(StretchDIBits, NeverReadsPastAStatedImageSize)
{
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const long page = static_cast<long>(info.dwPageSize);
    void* map = VirtualAlloc(nullptr, static_cast<size_t>(page * 2), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(map, nullptr);
    DWORD previous = 0;
    ASSERT_TRUE(VirtualProtect(static_cast<char*>(map) + page, static_cast<size_t>(page), PAGE_NOACCESS, &previous));
#else
    const long page = sysconf(_SC_PAGESIZE);
    void* map =
        mmap(nullptr, static_cast<size_t>(page * 2), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    ASSERT_EQ(mprotect(static_cast<char*>(map) + page, static_cast<size_t>(page), PROT_NONE), 0);
#endif
    constexpr int W = 5, H = 2;
    BYTE* bytes = static_cast<BYTE*>(map) + page - W * 3 * H;
    for (int i = 0; i < W * 3 * H; ++i)
        bytes[i] = static_cast<BYTE>(i + 1);
    BITMAPINFO bmi = Header24(W, -H);
    bmi.bmiHeader.biSizeImage = W * 3 * H;

    Canvas dst(W, -H);
    dst.FillWith(kSentinel, W, H);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, W, H, 0, 0, W, H, bytes, &bmi, DIB_RGB_COLORS, SRCCOPY), H);
    // The first row is read where Windows reads it; the padded second row would start at byte 16
    // and end at byte 31, past the 30 bytes given, so its last pixel is not read.
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(3, 2, 1));
    EXPECT_EQ(GetPixel(dst.dc, 3, 1), RGB(16 + 9 + 3, 16 + 9 + 2, 16 + 9 + 1));
    EXPECT_EQ(GetPixel(dst.dc, 4, 1), kSentinel);
#ifdef _WIN32
    VirtualFree(map, 0, MEM_RELEASE);
#else
    munmap(map, static_cast<size_t>(page * 2));
#endif
}
