// Pens, regions, clipping, object errors and drawing on indexed pixels as Windows reports them,
// written against the Windows API alone so that the same checks run against real GDI under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace {

// Windows: PS_NULL gives the stock null pen, which reads back as a LOGPEN one pixel wide in
// black, and, asked for exactly an EXTLOGPEN, as one of width 0 without entries (gdi32
// tests/pen.c test_logpen).
TEST(NullPen, IsTheStockPenAndReadsBackAsWindowsDescribesIt)
{
    HPEN pen = CreatePen(PS_NULL, 123, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(pen, GetStockObject(NULL_PEN));
    LOGPEN lp;
    std::memset(&lp, 0xb0, sizeof lp);
    ASSERT_EQ(GetObjectW(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_NULL));
    EXPECT_EQ(lp.lopnWidth.x, 1);
    EXPECT_EQ(lp.lopnWidth.y, 0);
    EXPECT_EQ(lp.lopnColor, 0u);
    EXPECT_EQ(GetObjectW(pen, 4 * sizeof lp, &lp), int(sizeof lp));

    EXTLOGPEN elp;
    std::memset(&elp, 0xb0, sizeof elp);
    ASSERT_EQ(GetObjectW(pen, sizeof elp, &elp), int(sizeof elp));
    EXPECT_EQ(elp.elpPenStyle, DWORD(PS_NULL));
    EXPECT_EQ(elp.elpWidth, 0u);
    EXPECT_EQ(elp.elpColor, 0u);
    EXPECT_EQ(elp.elpBrushStyle, UINT(BS_SOLID));
    EXPECT_EQ(elp.elpHatch, ULONG_PTR(0));
    EXPECT_EQ(elp.elpNumEntries, 0u);

    // Deleting it leaves the stock object alive.
    DeleteObject(pen);
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), DWORD(OBJ_PEN));
}

// Windows: the combinations ExtCreatePen refuses, with ERROR_INVALID_PARAMETER except for a
// negative entry count, which leaves the error alone (gdi32 tests/pen.c test_logpen,
// test_ps_userstyle).
TEST(ExtCreatePen, RefusesWhatWindowsRefusesWithItsErrorCodes)
{
    static const DWORD two[2] = {0xabc, 0xdef};
    static const DWORD seventeen[17] = {0, 2, 0, 4, 5, 0, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 17};
    static const DWORD zeros[5] = {0, 0, 0, 0, 0};
    static const DWORD negative[5] = {4, 7, 8, 3, DWORD(-1)};
    const struct {
        DWORD style;
        DWORD width;
        DWORD count;
        const DWORD* entries;
        DWORD error;
    } cases[] = {
        {PS_COSMETIC | PS_SOLID, 123, 0, nullptr, ERROR_INVALID_PARAMETER},      // cosmetic, not 1 wide
        {PS_COSMETIC | PS_SOLID, 1, 2, two, ERROR_INVALID_PARAMETER},            // entries without a user style
        {PS_COSMETIC | PS_INSIDEFRAME, 123, 0, nullptr, ERROR_INVALID_PARAMETER},
        {PS_COSMETIC | 9, 1, 0, nullptr, ERROR_INVALID_PARAMETER},               // no such style
        {PS_GEOMETRIC | 13, 123, 0, nullptr, ERROR_INVALID_PARAMETER},
        {PS_GEOMETRIC | PS_USERSTYLE, 50, 3, nullptr, ERROR_INVALID_PARAMETER},  // no entries to read
        {PS_GEOMETRIC | PS_USERSTYLE, 50, 17, seventeen, ERROR_INVALID_PARAMETER},
        {PS_GEOMETRIC | PS_USERSTYLE, 50, 5, zeros, ERROR_INVALID_PARAMETER},
        {PS_GEOMETRIC | PS_USERSTYLE, 50, 5, negative, ERROR_INVALID_PARAMETER},
        {PS_GEOMETRIC | PS_USERSTYLE, 50, DWORD(-1), seventeen, 0xdeadbeef},
    };
    LOGBRUSH lb{BS_SOLID, RGB(0x12, 0x34, 0x56), 0};
    for (const auto& c : cases) {
        SetLastError(0xdeadbeef);
        HPEN pen = ExtCreatePen(c.style, c.width, &lb, c.count, c.entries);
        EXPECT_EQ(pen, nullptr) << std::hex << c.style << " count " << c.count;
        EXPECT_EQ(GetLastError(), c.error) << std::hex << c.style << " count " << c.count;
        if (pen)
            DeleteObject(pen);
    }
}

// Windows: a geometric pen's width is read as signed, so -123 makes a pen 123 wide, and its
// user style reads back whole (gdi32 tests/pen.c test_logpen, test_ps_userstyle).
TEST(ExtCreatePen, GeometricPensReadBackTheirWidthAndEntries)
{
    static const DWORD entries[16] = {0, 2, 0, 4, 5, 0, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0};
    LOGBRUSH lb{BS_SOLID, RGB(0x12, 0x34, 0x56), HS_CROSS};
    const struct {
        DWORD style;
        DWORD width;
        DWORD count;
        DWORD readWidth;
    } cases[] = {{PS_GEOMETRIC | PS_SOLID, DWORD(-123), 0, 123}, {PS_GEOMETRIC | PS_USERSTYLE, 50, 16, 50}};
    for (const auto& c : cases) {
        HPEN pen = ExtCreatePen(c.style, c.width, &lb, c.count, c.count ? entries : nullptr);
        ASSERT_NE(pen, nullptr);
        EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_EXTPEN));
        alignas(EXTLOGPEN) unsigned char buffer[offsetof(EXTLOGPEN, elpStyleEntry) + 16 * sizeof(DWORD)];
        const int size = int(offsetof(EXTLOGPEN, elpStyleEntry) + c.count * sizeof(DWORD));
        ASSERT_EQ(GetObjectW(pen, sizeof buffer, buffer), size);
        const auto* elp = reinterpret_cast<const EXTLOGPEN*>(buffer);
        EXPECT_EQ(elp->elpWidth, c.readWidth);
        EXPECT_EQ(elp->elpNumEntries, c.count);
        for (DWORD i = 0; i < c.count; ++i)
            EXPECT_EQ(elp->elpStyleEntry[i], entries[i]) << i;
        DeleteObject(pen);
    }
}

// Windows: a PS_ALTERNATE pen sets every other pixel from the line's first, the last pixel left
// out as for any line (gdi32 tests/pen.c test_ps_alternate, on a 1-bit bitmap).
TEST(ExtCreatePen, AlternatePenSetsEveryOtherPixel)
{
    LOGBRUSH lb{BS_SOLID, RGB(0xff, 0xff, 0xff), 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    ASSERT_NE(pen, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(8, 1, 1, 1, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bmp);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    SetBkMode(dc, TRANSPARENT);
    const struct {
        int x1, x2;
        BYTE bits;
    } cases[] = {{0, 1, 0x80}, {0, 2, 0x80}, {0, 3, 0xa0}, {0, 4, 0xa0}, {1, 4, 0x50}, {1, 5, 0x50}, {4, 8, 0x0a}};
    for (const auto& c : cases) {
        BYTE row[2] = {0, 0};
        SetBitmapBits(bmp, sizeof row, row);
        MoveToEx(dc, c.x1, 0, nullptr);
        LineTo(dc, c.x2, 0);
        GetBitmapBits(bmp, sizeof row, row);
        EXPECT_EQ(row[0], c.bits) << c.x1 << ".." << c.x2;
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBitmap);
    DeleteObject(bmp);
    DeleteObject(pen);
    DeleteDC(dc);
}

// Windows: shapes on a 1-bit DIB section take each colour's nearest table entry, whichever
// index holds black (gdi32 tests/bitmap.c test_mono_dibsection: a black-bordered white square).
TEST(IndexedPixels, RectangleOnAOneBitSectionUsesTheNearestEntries)
{
    const struct {
        RGBQUAD entry0, entry1;
        BYTE top, inside; // first byte of the top row, and of the second row
    } cases[] = {
        {{0, 0, 0, 0}, {0xff, 0xff, 0xff, 0}, 0x00, 0x7f},   // 0 black, 1 white
        {{0xff, 0xff, 0xff, 0}, {0, 0, 0, 0}, 0xff, 0x80},   // inverted
        {{0, 0, 0xff, 0}, {0, 0, 0xfe, 0}, 0xff, 0x80},      // two reds: black nearer entry 1
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : cases) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[2];
        } info{};
        info.header = {sizeof(BITMAPINFOHEADER), 10, 10, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
        info.colors[0] = c.entry0;
        info.colors[1] = c.entry1;
        BYTE* bits = nullptr;
        HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                           reinterpret_cast<void**>(&bits), nullptr, 0);
        ASSERT_NE(section, nullptr);
        HGDIOBJ old = SelectObject(dc, section);
        Rectangle(dc, 0, 0, 10, 10);
        GdiFlush();
        // Bottom-up: the first row in memory is the bottom edge, the second inside.
        EXPECT_EQ(bits[0], c.top);
        EXPECT_EQ(bits[4], c.inside);
        SelectObject(dc, old);
        DeleteObject(section);
    }
    DeleteDC(dc);
}

// Windows: GetDIBits describes 32-bit bitmaps as BI_BITFIELDS without writing masks, and fills
// in masks left at zero when the bits are read: the bitmap's own, else 8-8-8 (gdi32
// tests/bitmap.c test_GetDIBits_BI_BITFIELDS).
TEST(GetDIBits, ThirtyTwoBitBitmapsAnswerAsBitfields)
{
    HDC screen = GetDC(nullptr);
    const DWORD ownMasks[3] = {0x0000ff, 0x00ff00, 0xff0000};
    const DWORD standard[3] = {0xff0000, 0x00ff00, 0x0000ff};
    struct Info {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    };
    const struct {
        DWORD compression;
        const DWORD* expected;
    } cases[] = {{BI_RGB, standard}, {BI_BITFIELDS, ownMasks}};
    for (const auto& c : cases) {
        Info create{};
        create.header = {sizeof(BITMAPINFOHEADER), 1, 1, 1, 32, c.compression, 0, 0, 0, 0, 0};
        std::memcpy(create.masks, ownMasks, sizeof ownMasks);
        void* bits = nullptr;
        HBITMAP bm = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&create), DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bm, nullptr);
        Info query{};
        query.header.biSize = sizeof(BITMAPINFOHEADER);
        ASSERT_EQ(GetDIBits(screen, bm, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&query), DIB_RGB_COLORS), 1);
        EXPECT_EQ(query.header.biCompression, DWORD(BI_BITFIELDS));
        EXPECT_EQ(query.masks[0] | query.masks[1] | query.masks[2], 0u);
        // With a buffer and no lines the header is described all the same.
        DWORD pixel = 0;
        Info noLines{};
        noLines.header.biSize = sizeof(BITMAPINFOHEADER);
        EXPECT_EQ(GetDIBits(screen, bm, 0, 0, &pixel, reinterpret_cast<BITMAPINFO*>(&noLines), DIB_RGB_COLORS), 1);
        EXPECT_EQ(noLines.header.biBitCount, 32);
        EXPECT_EQ(GetDIBits(screen, bm, 0, 1, &pixel, reinterpret_cast<BITMAPINFO*>(&noLines), DIB_RGB_COLORS), 1);
        ASSERT_EQ(GetDIBits(screen, bm, 0, 1, &pixel, reinterpret_cast<BITMAPINFO*>(&query), DIB_RGB_COLORS), 1);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(query.masks[i], c.expected[i]) << c.compression << " mask " << i;
        DeleteObject(bm);
    }
    ReleaseDC(nullptr, screen);
}

// Windows: GetRegionData answers the bytes it wrote, not the buffer's size (gdi32
// tests/clipping.c verify_region, tests/dc.c test_savedc_2).
TEST(Regions, GetRegionDataAnswersTheBytesWritten)
{
    const struct {
        RECT r;
        DWORD size;
    } cases[] = {{{0, 0, 0, 0}, sizeof(RGNDATAHEADER)}, {{1, 2, 3, 4}, sizeof(RGNDATAHEADER) + sizeof(RECT)}};
    for (const auto& c : cases) {
        HRGN rgn = CreateRectRgnIndirect(&c.r);
        alignas(RGNDATA) unsigned char buffer[100];
        EXPECT_EQ(GetRegionData(rgn, 0, nullptr), c.size);
        EXPECT_EQ(GetRegionData(rgn, sizeof buffer, reinterpret_cast<RGNDATA*>(buffer)), c.size);
        DeleteObject(rgn);
    }
}

// Windows: ExtCreateRegion without data fails with ERROR_INVALID_PARAMETER, and a scaling
// transform rounds the corners half up: 0.5 x (111, 222, 333, 444) + (20, 40) gives
// (76, 151, 187, 262) (gdi32 tests/clipping.c test_ExtCreateRegion).
TEST(Regions, ExtCreateRegionScalesAndRefusesNoData)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(ExtCreateRegion(nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    struct {
        RGNDATAHEADER rdh;
        RECT rect;
    } data{};
    data.rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, 1, 0, {0, 0, 0, 0}};
    data.rect = {111, 222, 333, 444};
    const XFORM half{0.5f, 0, 0, 0.5f, 20, 40};
    HRGN rgn = ExtCreateRegion(&half, sizeof data, reinterpret_cast<const RGNDATA*>(&data));
    ASSERT_NE(rgn, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 76);
    EXPECT_EQ(box.top, 151);
    EXPECT_EQ(box.right, 187);
    EXPECT_EQ(box.bottom, 262);
    DeleteObject(rgn);
}

// Windows: a new memory DC has no clip region (GetClipRgn answers 0 even without a region to
// fill); RGN_DIFF starts from the one pixel of its stock bitmap; with a clip region set, no
// region to fill answers -1; and removing it answers the DC's visible complexity (gdi32
// tests/clipping.c test_memory_dc_clipping, test_GetClipRgn).
TEST(Clipping, ClipRegionOfAMemoryDCFollowsWindows)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    HRGN out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, nullptr), 0);
    EXPECT_EQ(GetClipRgn(dc, out), 0);
    EXPECT_EQ(ExtSelectClipRgn(dc, empty, RGN_DIFF), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dc, nullptr), -1);
    ASSERT_EQ(GetClipRgn(dc, out), 1);
    RECT box;
    EXPECT_EQ(GetRgnBox(out, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 1);
    EXPECT_EQ(box.bottom, 1);
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dc, nullptr), 0);
    DeleteObject(out);
    DeleteObject(empty);
    DeleteDC(dc);
}

// Windows: calls on a null DC or handle fail with ERROR_INVALID_HANDLE, and CreateBitmap's
// refusals with ERROR_INVALID_PARAMETER (gdi32 tests/gdiobj.c test_gdi_objects, tests/bitmap.c
// test_select_object, test_bitmap, test_CreateBitmap).
TEST(ObjectErrors, NullHandlesAndBadBitmapsSetTheLastError)
{
    HBITMAP bm = CreateBitmap(2, 2, 1, 1, nullptr);
    const struct {
        const char* what;
        bool (*call)(HBITMAP);
        DWORD error;
    } cases[] = {
        {"SelectObject(null DC, pen)", [](HBITMAP) { return !SelectObject(nullptr, GetStockObject(BLACK_PEN)); },
         ERROR_INVALID_HANDLE},
        {"SelectObject(null DC, bitmap)", [](HBITMAP b) { return !SelectObject(nullptr, b); }, ERROR_INVALID_HANDLE},
        {"GetObjectType(null)", [](HBITMAP) { return !GetObjectType(nullptr); }, ERROR_INVALID_HANDLE},
        {"CreateBitmap 2^27 wide", [](HBITMAP) { return !CreateBitmap(0x8000000, 1, 1, 1, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"CreateBitmap 33 bits", [](HBITMAP) { return !CreateBitmap(1, 1, 1, 33, nullptr); }, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_TRUE(c.call(bm)) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    DeleteObject(bm);
}

// Windows: a device-dependent bitmap goes into a memory DC only when it is monochrome or has the
// screen's depth (gdi32 tests/bitmap.c test_select_object).
TEST(ObjectErrors, DeviceBitmapsOfAnotherDepthAreNotSelected)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const int screenDepth = GetDeviceCaps(dc, BITSPIXEL);
    for (int depth : {1, 4, 8, 16, 24, 32}) {
        HBITMAP bm = CreateBitmap(10, 10, 1, UINT(depth), nullptr);
        ASSERT_NE(bm, nullptr);
        HGDIOBJ old = SelectObject(dc, bm);
        EXPECT_EQ(old != nullptr, depth == 1 || depth == screenDepth) << depth;
        if (old)
            SelectObject(dc, old);
        DeleteObject(bm);
    }
    DeleteDC(dc);
}

// Windows: a palette keeps its entries' flags, the stock palette holds the 20 static colours and
// refuses changes, SelectPalette hands back DEFAULT_PALETTE first and then what was selected,
// and ResizePalette adds black entries (gdi32 tests/palette.c test_palette_entries,
// test_halftone_palette; MSDN SelectPalette, ResizePalette, GetNearestPaletteIndex).
TEST(Palettes, EntriesSelectionAndTheStockPalette)
{
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[3];
    } lp{};
    lp.head.palVersion = 0x300;
    lp.head.palNumEntries = 4;
    const PALETTEENTRY entries[4] = {{0x10, 0x20, 0x30, 0}, {0xff, 0, 0, PC_NOCOLLAPSE}, {0, 0xff, 0, 0}, {0, 0, 0xff, 0}};
    std::memcpy(lp.head.palPalEntry, entries, sizeof entries);
    HPALETTE pal = CreatePalette(&lp.head);
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetObjectType(pal), DWORD(OBJ_PAL));
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 4u);

    const PALETTEENTRY flagged = {1, 2, 3, 0xff};
    EXPECT_EQ(SetPaletteEntries(pal, 0, 1, &flagged), 1u);
    PALETTEENTRY got[6];
    EXPECT_EQ(GetPaletteEntries(pal, 0, 4, got), 4u);
    EXPECT_EQ(std::memcmp(&got[0], &flagged, sizeof flagged), 0);
    EXPECT_EQ(got[1].peFlags, BYTE(PC_NOCOLLAPSE));
    EXPECT_EQ(GetPaletteEntries(pal, 2, 10, got), 2u) << "only what the palette holds";

    const struct {
        COLORREF color;
        UINT index;
    } nearest[] = {{RGB(250, 10, 10), 1}, {RGB(0, 200, 40), 2}, {RGB(0, 0, 0), 0}, {RGB(20, 20, 240), 3}};
    for (const auto& c : nearest)
        EXPECT_EQ(GetNearestPaletteIndex(pal, c.color), c.index) << std::hex << c.color;

    HGDIOBJ stock = GetStockObject(DEFAULT_PALETTE);
    EXPECT_EQ(SetPaletteEntries(static_cast<HPALETTE>(stock), 0, 1, &flagged), 0u);
    PALETTEENTRY defaults[20];
    ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(stock), 0, 20, defaults), 20u);
    EXPECT_EQ(RGB(defaults[0].peRed, defaults[0].peGreen, defaults[0].peBlue), RGB(0, 0, 0));
    EXPECT_EQ(RGB(defaults[19].peRed, defaults[19].peGreen, defaults[19].peBlue), RGB(255, 255, 255));

    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectPalette(dc, pal, FALSE), stock);
    EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(stock), FALSE), pal);
    DeleteDC(dc);

    ASSERT_TRUE(ResizePalette(pal, 6));
    EXPECT_EQ(GetPaletteEntries(pal, 0, 6, got), 6u);
    PALETTEENTRY tail[2];
    ASSERT_EQ(GetPaletteEntries(pal, 4, 2, tail), 2u);
    EXPECT_EQ(tail[0].peRed | tail[0].peGreen | tail[0].peBlue | tail[1].peRed | tail[1].peGreen | tail[1].peBlue, 0);
    DeleteObject(pal);
}

// Windows: on 64-bit systems only a handle's lower 32 bits count; other low bits make another,
// unknown handle (gdi32 tests/gdiobj.c test_handles_on_win64).
TEST(ObjectErrors, HandlesIgnoreTheirUpperHalf)
{
    if (sizeof(void*) != 8)
        GTEST_SKIP() << "32-bit handles";
    const struct {
        unsigned long long high;
        unsigned long low;
        bool known;
    } cases[] = {{0, 0, true}, {0xffffffffull, 0, true}, {0xdeadbeefull, 0, true}, {0xffffffffull, 0xffff0000ul, false}};
    for (const auto& c : cases) {
        HRGN rgn = CreateRectRgn(10, 10, 20, 20);
        HRGN alias = reinterpret_cast<HRGN>(reinterpret_cast<ULONG_PTR>(rgn) | (ULONG_PTR(c.high) << 16 << 16) | c.low);
        EXPECT_EQ(GetObjectType(alias), c.known ? DWORD(OBJ_REGION) : 0u) << std::hex << c.high << " " << c.low;
        EXPECT_EQ(DeleteObject(alias) != FALSE, c.known);
        if (!c.known)
            DeleteObject(rgn);
    }
}

// Windows: a DIB_PAL_COLORS section takes its colours from the DC's palette, indices past the
// palette wrapping round it, and DIBINDEX(n) sets table entry n, one past the table reading
// back black (gdi32 tests/palette.c test_DIB_PAL_COLORS).
TEST(Palettes, PaletteIndexedSectionsAndDibIndex)
{
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[3];
    } lp{};
    lp.head.palVersion = 0x300;
    lp.head.palNumEntries = 4;
    const PALETTEENTRY entries[4] = {{0x10, 0x20, 0x30, 0}, {0xff, 0, 0, 0}, {0, 0xff, 0, 0}, {0, 0, 0xff, 0}};
    std::memcpy(lp.head.palPalEntry, entries, sizeof entries);
    HPALETTE pal = CreatePalette(&lp.head);
    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE oldPal = SelectPalette(dc, pal, FALSE);
    struct {
        BITMAPINFOHEADER header;
        WORD indices[6];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), 1, 1, 1, 8, BI_RGB, 0, 0, 0, 6, 0};
    const WORD indices[6] = {3, 2, 1, 0, 5, 10}; // 5 and 10 wrap to 1 and 2
    std::memcpy(info.indices, indices, sizeof indices);
    HBITMAP section =
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_PAL_COLORS, nullptr, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, section);
    const struct {
        COLORREF set, read;
    } cases[] = {
        {DIBINDEX(0), RGB(0, 0, 0xff)}, {DIBINDEX(3), RGB(0x10, 0x20, 0x30)}, {DIBINDEX(4), RGB(0xff, 0, 0)},
        {DIBINDEX(5), RGB(0, 0xff, 0)}, {DIBINDEX(7), RGB(0, 0, 0)},          {RGB(0xfe, 1, 1), RGB(0xff, 0, 0)},
    };
    for (const auto& c : cases) {
        SetPixel(dc, 0, 0, c.set);
        EXPECT_EQ(GetPixel(dc, 0, 0), c.read) << std::hex << c.set;
    }
    SelectObject(dc, oldBitmap);
    SelectPalette(dc, oldPal, FALSE);
    DeleteObject(section);
    DeleteObject(pal);
    DeleteDC(dc);
}

// Windows: CreateDIBitmap on the display checks only the compression: JPEG and PNG bits are
// refused, anything else makes a bitmap (gdi32 tests/bitmap.c test_dib_formats).
TEST(ObjectErrors, CreateDIBitmapRefusesJpegAndPngOnly)
{
    HDC screen = GetDC(nullptr);
    const struct {
        WORD bpp;
        DWORD compression;
        bool made;
    } cases[] = {{24, BI_RGB, true}, {32, BI_BITFIELDS, true}, {8, BI_JPEG, false}, {24, BI_PNG, false}, {0, BI_JPEG, false}};
    for (const auto& c : cases) {
        BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), 2, 2, 1, c.bpp, c.compression, 0, 0, 0, 0, 0};
        HBITMAP bm = CreateDIBitmap(screen, &h, 0, nullptr, nullptr, DIB_RGB_COLORS);
        EXPECT_EQ(bm != nullptr, c.made) << c.bpp << "/" << c.compression;
        if (bm)
            DeleteObject(bm);
    }
    ReleaseDC(nullptr, screen);
}

// Windows: on a monochrome bitmap a pen is white only for white or the background colour when
// the text colour is black or the background white, and otherwise for anything but black and
// the background; DIBINDEX(1) is white and other indices black; PALETTEINDEX(i) is the DC
// palette's entry i, entry 0 past its end (gdi32 tests/bitmap.c test_mono_bitmap).
TEST(IndexedPixels, PensAndIndicesOnAMonochromeBitmap)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(16, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    const struct {
        COLORREF fg, bg, pen;
        bool white;
    } pens[] = {
        {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), true},
        {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0xfe, 0xfe, 0xfe), false},
        {RGB(0, 0, 0), RGB(0x80, 0x80, 0x80), RGB(0x80, 0x80, 0x80), true},
        {RGB(0x30, 0x40, 0x50), RGB(0x60, 0x70, 0x80), RGB(0x10, 0x10, 0x10), true},
        {RGB(0x30, 0x40, 0x50), RGB(0x60, 0x70, 0x80), RGB(0x60, 0x70, 0x80), false},
        {RGB(0x30, 0x40, 0x50), RGB(0x60, 0x70, 0x80), RGB(0, 0, 0), false},
        {PALETTEINDEX(0), PALETTEINDEX(255), RGB(0, 0, 0x0f), true},
    };
    for (const auto& c : pens) {
        SetTextColor(dc, c.fg);
        SetBkColor(dc, c.bg);
        HGDIOBJ oldPen = SelectObject(dc, CreatePen(PS_SOLID, 1, c.pen));
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, 16, 0);
        EXPECT_EQ(GetPixel(dc, 5, 0), c.white ? RGB(255, 255, 255) : RGB(0, 0, 0)) << std::hex << c.pen;
        DeleteObject(SelectObject(dc, oldPen));
    }
    const struct {
        COLORREF set, read;
    } indices[] = {{DIBINDEX(1), RGB(255, 255, 255)},        {DIBINDEX(2), RGB(0, 0, 0)},
                   {DIBINDEX(0), RGB(0, 0, 0)},              {PALETTEINDEX(19), RGB(255, 255, 255)},
                   {PALETTEINDEX(300), RGB(0, 0, 0)},        {PALETTEINDEX(15), RGB(255, 255, 255)}};
    for (const auto& c : indices) {
        EXPECT_EQ(SetPixel(dc, 0, 0, c.set), c.read) << std::hex << c.set;
        EXPECT_EQ(GetPixel(dc, 0, 0), c.read) << std::hex << c.set;
        EXPECT_EQ(GetNearestColor(dc, c.set), c.read) << std::hex << c.set;
    }
    SelectObject(dc, old);
    DeleteObject(bm);
    DeleteDC(dc);
}

// Windows: PatBlt paints pattern brushes; a monochrome pattern keeps its bits on a monochrome
// bitmap whatever the text and background colours, and PATINVERT XORs the pattern in (gdi32
// tests/bitmap.c test_mono_bitmap; MSDN PatBlt).
TEST(PatBlt, PatternBrushesOnAMonochromeBitmap)
{
    static const WORD rows[8] = {0x5555, 0xaaaa, 0x5555, 0xaaaa, 0x5555, 0xaaaa, 0x5555, 0xaaaa};
    HBITMAP pattern = CreateBitmap(16, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(pattern);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateBitmap(16, 16, 1, 1, nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, target);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    const struct {
        COLORREF fg, bg;
        DWORD rop;
        WORD before, after;
    } cases[] = {
        {RGB(0, 0, 0), RGB(255, 255, 255), PATCOPY, 0x0000, 0x5555},
        {RGB(255, 255, 255), RGB(0, 0, 0), PATCOPY, 0xffff, 0x5555},
        {RGB(0x30, 0x40, 0x50), RGB(0x60, 0x70, 0x80), PATCOPY, 0x0000, 0x5555},
        {RGB(0, 0, 0), RGB(255, 255, 255), PATINVERT, 0xffff, 0xaaaa},
    };
    for (const auto& c : cases) {
        SetTextColor(dc, c.fg);
        SetBkColor(dc, c.bg);
        WORD bits[16];
        for (WORD& b : bits)
            b = c.before;
        SetBitmapBits(target, sizeof bits, bits);
        EXPECT_TRUE(PatBlt(dc, 0, 0, 16, 16, c.rop));
        GetBitmapBits(target, sizeof bits, bits);
        EXPECT_EQ(bits[0], c.after) << std::hex << c.fg << " " << c.rop;
        EXPECT_EQ(bits[1], WORD(c.after ^ 0xffff)) << std::hex << c.fg << " " << c.rop;
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBitmap);
    DeleteObject(target);
    DeleteObject(brush);
    DeleteObject(pattern);
    DeleteDC(dc);
}

} // namespace
