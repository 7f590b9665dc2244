// GDI brushes, stock objects, system colours and FillRect, with Windows names only: under Wine
// the same cases run against real GDI.
#include <gtest/gtest.h>

#include <windows.h>

#include "dib_canvas.h"

namespace {

constexpr COLORREF kBack = RGB(10, 20, 30);

} // namespace

// Windows: stock brush colours (gdi32 tests/brush.c test_solidbrush; MSDN GetStockObject).
TEST(StockObjects, BrushesAndPensDescribeThemselves)
{
    struct Case {
        int index;
        DWORD type;
        UINT style;
        COLORREF color;
    } cases[] = {
        {WHITE_BRUSH, OBJ_BRUSH, BS_SOLID, RGB(255, 255, 255)},
        {LTGRAY_BRUSH, OBJ_BRUSH, BS_SOLID, RGB(192, 192, 192)},
        {GRAY_BRUSH, OBJ_BRUSH, BS_SOLID, RGB(128, 128, 128)},
        {DKGRAY_BRUSH, OBJ_BRUSH, BS_SOLID, RGB(64, 64, 64)},
        {BLACK_BRUSH, OBJ_BRUSH, BS_SOLID, RGB(0, 0, 0)},
        {NULL_BRUSH, OBJ_BRUSH, BS_NULL, 0},
        {WHITE_PEN, OBJ_PEN, PS_SOLID, RGB(255, 255, 255)},
        {BLACK_PEN, OBJ_PEN, PS_SOLID, RGB(0, 0, 0)},
        {NULL_PEN, OBJ_PEN, PS_NULL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        HGDIOBJ h = GetStockObject(c.index);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GetStockObject(c.index), h) << "the same object every time";
        EXPECT_EQ(GetObjectType(h), c.type);
        // Stock objects survive DeleteObject.
        EXPECT_TRUE(DeleteObject(h));
        if (c.type == OBJ_BRUSH) {
            LOGBRUSH lb;
            ASSERT_EQ(GetObjectW(h, sizeof lb, &lb), static_cast<int>(sizeof lb));
            EXPECT_EQ(lb.lbStyle, c.style);
            if (c.style == BS_SOLID) {
                EXPECT_EQ(lb.lbColor, c.color);
            }
        } else {
            LOGPEN lp;
            ASSERT_EQ(GetObjectW(h, sizeof lp, &lp), static_cast<int>(sizeof lp));
            EXPECT_EQ(lp.lopnStyle, c.style);
            if (c.style == PS_SOLID) {
                EXPECT_EQ(lp.lopnColor, c.color);
            }
        }
    }
    for (int index : {SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_VAR_FONT, OEM_FIXED_FONT})
        EXPECT_EQ(GetObjectType(GetStockObject(index)), static_cast<DWORD>(OBJ_FONT)) << index;
    EXPECT_EQ(GetObjectType(GetStockObject(DC_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(GetStockObject(DC_PEN)), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_PALETTE)), static_cast<DWORD>(OBJ_PAL));
    // 9 names nothing; MSDN GetStockObject lists no object for it.
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
}

// Windows: GetObject answers a LOGBRUSH's size when given no buffer and copies no more than it is
// given room for; a deleted brush is gone (gdi32 tests/brush.c; Wine copies a short brush
// buffer's worth).
TEST(SolidBrush, GetObjectAndDeletion)
{
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(brush, nullptr);
    EXPECT_NE(brush, GetStockObject(BLACK_BRUSH));
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectW(brush, 0, nullptr), static_cast<int>(sizeof lb));
    std::memset(&lb, 0xcc, sizeof lb);
    EXPECT_EQ(GetObjectW(brush, sizeof(UINT), &lb), static_cast<int>(sizeof(UINT)));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, 0xccccccccu) << "nothing past the room given";
    ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
    EXPECT_EQ(lb.lbHatch, 0u);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectW(brush, sizeof lb, &lb), 0);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(nullptr));
}

// Windows: a DC starts with WHITE_BRUSH, BLACK_PEN and SYSTEM_FONT, and SelectObject hands back
// the previous object of the same kind (MSDN CreateCompatibleDC, SelectObject).
TEST(SelectObject, ReturnsThePreviousObjectOfEachKind)
{
    DibCanvas c(4, 4);
    ASSERT_TRUE(c.Ok());
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_EQ(SelectObject(c.dc, red), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(c.dc, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT)), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(c.dc, GetStockObject(BLACK_BRUSH)), red);
    EXPECT_EQ(SelectObject(c.dc, GetStockObject(BLACK_PEN)), GetStockObject(WHITE_PEN));
    EXPECT_EQ(SelectObject(nullptr, red), nullptr);
    EXPECT_TRUE(DeleteObject(red));
}

// Windows: deleting a brush that a DC still holds succeeds; the DC keeps painting with it and
// the handle goes when the DC lets go of it.
TEST(SelectObject, DeletingASelectedBrushWaitsForItsRelease)
{
    DibCanvas c(4, 4);
    ASSERT_TRUE(c.Ok());
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(c.dc, blue);
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_EQ(SelectObject(c.dc, old), blue);
    EXPECT_EQ(GetObjectType(blue), 0u);
}

// Windows: FillRect fills left and top edges but not right and bottom ones (MSDN FillRect), in
// any brush, including a system colour index plus one and GetSysColorBrush's brushes.
TEST(FillRect, CoversRightAndBottomExclusiveWithEveryKindOfBrush)
{
    DibCanvas c(6, 5);
    ASSERT_TRUE(c.Ok());
    HBRUSH solid = CreateSolidBrush(RGB(200, 100, 50));
    struct Case {
        const char* name;
        HBRUSH brush;
        COLORREF expected;
    } cases[] = {
        {"solid", solid, RGB(200, 100, 50)},
        {"stock", static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), RGB(128, 128, 128)},
        {"COLOR_BTNFACE + 1", reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
         GetSysColor(COLOR_BTNFACE)},
        {"GetSysColorBrush", GetSysColorBrush(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHT)},
        {"DC brush, white by default", static_cast<HBRUSH>(GetStockObject(DC_BRUSH)), RGB(255, 255, 255)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c.Clear(kBack);
        RECT r{1, 1, 4, 3};
        EXPECT_TRUE(FillRect(c.dc, &r, k.brush));
        EXPECT_EQ(c.Map(k.expected), "......\n"
                                     ".###..\n"
                                     ".###..\n"
                                     "......\n"
                                     "......\n");
    }
    // The hollow brush paints nothing; a rectangle reaching outside is cut at the edges.
    c.Clear(kBack);
    RECT all{-100, -100, 100, 100};
    EXPECT_TRUE(FillRect(c.dc, &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
    EXPECT_EQ(c.Pixel(0, 0), kBack);
    RECT corner{4, 3, 1000, 1000};
    EXPECT_TRUE(FillRect(c.dc, &corner, solid));
    EXPECT_EQ(c.Map(RGB(200, 100, 50)), "......\n"
                                        "......\n"
                                        "......\n"
                                        "....##\n"
                                        "....##\n");
    DeleteObject(solid);
#ifndef _WIN32
    // Here a brush that does not exist is refused and paints nothing (Wine paints with the DC's
    // brush instead).
    c.Clear(kBack);
    EXPECT_FALSE(FillRect(c.dc, &all, solid));
    EXPECT_EQ(c.Pixel(2, 2), kBack);
#endif
}

// Windows: GDI computes 32-bit pixels as 0x00RRGGBB, so copying a colour clears the fourth byte
// (FillRect into a 32-bit DIB section leaves an alpha of 0, the familiar loss of alpha to GDI).
TEST(FillRect, WritesWholePixelsOfA32BitSection)
{
    DibCanvas c(3, 2, 32);
    if (!c.Ok())
        GTEST_SKIP() << "no 32-bit DIB sections here";
    c.Clear(kBack, 0xff);
    RECT r{0, 0, 2, 1};
    EXPECT_TRUE(FillRect(c.dc, &r, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1))));
    EXPECT_EQ(c.Pixel(0, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(c.At(0, 0)[3], 0);
    EXPECT_EQ(c.At(1, 0)[3], 0);
    EXPECT_EQ(c.At(2, 0)[3], 0xff) << "outside the rectangle";
    EXPECT_EQ(c.Pixel(2, 0), kBack);
}

// GetSysColorBrush's brush has GetSysColor's colour for every index; an index with no colour
// has no brush (MSDN GetSysColorBrush).
TEST(SysColors, BrushesMatchColours)
{
    for (int i = COLOR_SCROLLBAR; i <= COLOR_MENUBAR; ++i) {
        if (i == 25)
            continue;
        SCOPED_TRACE(i);
        HBRUSH b = GetSysColorBrush(i);
        ASSERT_NE(b, nullptr);
        LOGBRUSH lb;
        ASSERT_EQ(GetObjectW(b, sizeof lb, &lb), static_cast<int>(sizeof lb));
        EXPECT_EQ(lb.lbColor, GetSysColor(i));
        EXPECT_TRUE(DeleteObject(b));
        EXPECT_EQ(GetObjectW(b, sizeof lb, &lb), static_cast<int>(sizeof lb)) << "system brushes survive";
    }
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
    EXPECT_EQ(GetSysColorBrush(1000), nullptr);
#ifndef _WIN32
    // The classic colours of Windows 10's default scheme (Wine has a scheme of its own).
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 120, 215));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(160, 160, 160));
#endif
}
