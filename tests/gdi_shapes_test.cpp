// GDI lines and shapes pixel by pixel: end points, pen styles and widths, right and bottom
// edges, raster operations, hatches and origins. Written with Windows names only, so the same
// table runs against real GDI under Wine; the expected pictures are those GDI draws (Wine's
// drawing of each was checked to be identical).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dib_canvas.h"

namespace {

constexpr COLORREF kGround = RGB(0x20, 0x20, 0x20);

// Objects a scene creates, deleted after its DC.
struct Keeper {
    std::vector<HGDIOBJ> objects;
    template <class H> H Keep(H h)
    {
        objects.push_back(h);
        return h;
    }
    ~Keeper()
    {
        for (HGDIOBJ h : objects)
            DeleteObject(h);
    }
};

// The picture as characters: '.' ground, P red (pens), B blue (brushes), g green (background
// colour), w white, k black, ? anything else.
std::string Picture(const DibCanvas& c, int rows)
{
    std::string s;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const COLORREF p = c.Pixel(x, y);
            s += p == kGround              ? '.'
                 : p == RGB(255, 0, 0)     ? 'P'
                 : p == RGB(0, 0, 255)     ? 'B'
                 : p == RGB(0, 255, 0)     ? 'g'
                 : p == RGB(255, 255, 255) ? 'w'
                 : p == RGB(0, 0, 0)       ? 'k'
                                           : '?';
        }
        s += '\n';
    }
    return s;
}

struct Scene {
    const char* name;
    const char* evidence;
    std::function<void(HDC, Keeper&)> draw;
    std::vector<const char*> rows;
};

} // namespace

TEST(GdiShapes, DrawThePixelsGdiDraws)
{
    const Scene scenes[] = {
        {"line h",
         "MSDN LineTo: the line is drawn up to, not including, its end point",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             MoveToEx(d, 1, 1, 0);
             LineTo(d, 10, 1);
         },
         {"........................", ".PPPPPPPPP.............."}},
        {"line diag",
         "MSDN LineTo",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             MoveToEx(d, 1, 1, 0);
             LineTo(d, 8, 8);
         },
         {"........................", ".P......................", "..P.....................",
          "...P....................", "....P...................", ".....P..................",
          "......P.................", ".......P................"}},
        {"line shallow",
         "MSDN LineTo; the nearest pixel to the ideal line on each column",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             MoveToEx(d, 0, 0, 0);
             LineTo(d, 20, 5);
             MoveToEx(d, 20, 8, 0);
             LineTo(d, 0, 13);
         },
         {"PPP.....................", "...PPPP.................", ".......PPPP.............",
          "...........PPPP.........", "...............PPPP.....", "...................P....",
          "........................", "........................", "..................PPP...",
          "..............PPPP......", "..........PPPP..........", "......PPPP..............",
          "..PPPP..................", ".P......................"}},
        {"line steep back",
         "MSDN LineTo; lines drawn towards the origin",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             MoveToEx(d, 10, 14, 0);
             LineTo(d, 5, 1);
             MoveToEx(d, 12, 1, 0);
             LineTo(d, 16, 14);
         },
         {"........................", "............P...........", ".....P......P...........",
          "......P......P..........", "......P......P..........", ".......P.....P..........",
          ".......P......P.........", ".......P......P.........", "........P.....P.........",
          "........P.....P.........", "........P......P........", ".........P.....P........",
          ".........P.....P........", "..........P.....P.......", "..........P............."}},
        {"line ties",
         "lines through half-pixel ties round towards their start",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             MoveToEx(d, 0, 0, 0);
             LineTo(d, 4, 1);
             MoveToEx(d, 0, 3, 0);
             LineTo(d, 4, 2);
             MoveToEx(d, 10, 1, 0);
             LineTo(d, 6, 0);
             MoveToEx(d, 10, 2, 0);
             LineTo(d, 6, 3);
             MoveToEx(d, 0, 6, 0);
             LineTo(d, 1, 10);
             MoveToEx(d, 3, 6, 0);
             LineTo(d, 2, 10);
             MoveToEx(d, 5, 10, 0);
             LineTo(d, 4, 6);
             MoveToEx(d, 7, 10, 0);
             LineTo(d, 8, 6);
             MoveToEx(d, 12, 6, 0);
             LineTo(d, 18, 9);
             MoveToEx(d, 12, 12, 0);
             LineTo(d, 18, 9);
         },
         {"PPP....PP...............", "...P.....PP.............", "..PP....PPP.............",
          "PP.....P................", "........................", "........................",
          "P..P........PP..........", "P..PP...P.....PP........", "P.P.P..P........PP......",
          ".PP..P.P.........P......", ".....P.P.......PP.......", ".............PP.........",
          "............P..........."}},
        {"dash",
         "PS_DASH is 18 on, 6 off; gaps in the background colour when OPAQUE, left alone when TRANSPARENT (MSDN "
         "SetBkMode)",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_DASH, 1, RGB(255, 0, 0))));
             SetBkColor(d, RGB(0, 255, 0));
             MoveToEx(d, 0, 1, 0);
             LineTo(d, 24, 1);
             SetBkMode(d, TRANSPARENT);
             MoveToEx(d, 0, 3, 0);
             LineTo(d, 24, 3);
         },
         {"........................", "PPPPPPPPPPPPPPPPPPgggggg", "........................",
          "PPPPPPPPPPPPPPPPPP......"}},
        {"dot dashdot",
         "PS_DOT 3/3, PS_DASHDOT 9/6/3/6, PS_DASHDOTDOT 9/3/3/3/3/3; a polyline continues its pattern across vertices",
         [](HDC d, Keeper& k) {
             SetBkColor(d, RGB(0, 255, 0));
             SelectObject(d, k.Keep(CreatePen(PS_DOT, 1, RGB(255, 0, 0))));
             MoveToEx(d, 0, 1, 0);
             LineTo(d, 24, 1);
             SelectObject(d, k.Keep(CreatePen(PS_DASHDOT, 1, RGB(255, 0, 0))));
             MoveToEx(d, 0, 3, 0);
             LineTo(d, 24, 3);
             SelectObject(d, k.Keep(CreatePen(PS_DASHDOTDOT, 1, RGB(255, 0, 0))));
             MoveToEx(d, 0, 5, 0);
             LineTo(d, 24, 5);
             POINT pts[] = {{0, 8}, {5, 8}, {5, 12}, {20, 12}};
             SelectObject(d, k.Keep(CreatePen(PS_DOT, 1, RGB(255, 0, 0))));
             Polyline(d, pts, 4);
         },
         {"........................", "PPPgggPPPgggPPPgggPPPggg", "........................",
          "PPPPPPPPPggggggPPPgggggg", "........................", "PPPPPPPPPgggPPPgggPPPggg",
          "........................", "........................", "PPPggg..................",
          ".....P..................", ".....P..................", ".....P..................",
          ".....gggPPPgggPPPggg...."}},
        {"rect",
         "MSDN Rectangle: outline with the pen, interior with the brush; with PS_NULL a pixel smaller; corners in any "
         "order",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             Rectangle(d, 1, 1, 7, 5);
             SelectObject(d, GetStockObject(NULL_PEN));
             Rectangle(d, 10, 1, 16, 5);
             Rectangle(d, 20, 5, 18, 1);
         },
         {"........................", ".PPPPPP...BBBBB...B.....", ".PBBBBP...BBBBB...B.....",
          ".PBBBBP...BBBBB...B.....", ".PPPPPP................."}},
        {"rect wide",
         "a wide pen is centred on the edge pixels with round joins; PS_INSIDEFRAME keeps it inside",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 3, RGB(255, 0, 0))));
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             Rectangle(d, 2, 2, 10, 10);
             SelectObject(d, k.Keep(CreatePen(PS_INSIDEFRAME, 3, RGB(255, 0, 0))));
             Rectangle(d, 13, 2, 21, 10);
         },
         {"........................", "..PPPPPPPP..............", ".PPPPPPPPPP...PPPPPP....",
          ".PPPPPPPPPP..PPPPPPPP...", ".PPPBBBBPPP..PPPPPPPP...", ".PPPBBBBPPP..PPPBBPPP...",
          ".PPPBBBBPPP..PPPBBPPP...", ".PPPBBBBPPP..PPPPPPPP...", ".PPPPPPPPPP..PPPPPPPP...",
          ".PPPPPPPPPP...PPPPPP....", "..PPPPPPPP.............."}},
        {"rect wide2",
         "even widths reach one pixel further up and left than down and right",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 2, RGB(255, 0, 0))));
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             Rectangle(d, 2, 2, 10, 10);
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 4, RGB(255, 0, 0))));
             Rectangle(d, 13, 2, 21, 10);
         },
         {"............PPPPPPPPP...", ".PPPPPPPPP.PPPPPPPPPPP..", ".PPPPPPPPP.PPPPPPPPPPP..",
          ".PPBBBBBPP.PPPPPPPPPPP..", ".PPBBBBBPP.PPPPBBBPPPP..", ".PPBBBBBPP.PPPPBBBPPPP..",
          ".PPBBBBBPP.PPPPBBBPPPP..", ".PPBBBBBPP.PPPPPPPPPPP..", ".PPPPPPPPP.PPPPPPPPPPP..",
          ".PPPPPPPPP.PPPPPPPPPPP..", "............PPPPPPPPP..."}},
        {"rect dash",
         "a styled outline starts at the top right corner and runs counter-clockwise",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_DOT, 1, RGB(255, 0, 0))));
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             SetBkMode(d, TRANSPARENT);
             Rectangle(d, 1, 1, 12, 8);
         },
         {"........................", "...PPP...PPP............", "..BBBBBBBBBP............",
          ".PBBBBBBBBBP............", ".PBBBBBBBBB.............", ".PBBBBBBBBB.............",
          "..BBBBBBBBB.............", "...PPP...PPP............"}},
        {"polygon",
         "MSDN Polygon: closed outline with the pen over the interior",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             POINT p[] = {{1, 1}, {10, 1}, {10, 8}, {1, 8}};
             Polygon(d, p, 4);
             POINT t[] = {{12, 1}, {22, 14}, {12, 14}};
             Polygon(d, t, 3);
         },
         {"........................", ".PPPPPPPPPP.P...........", ".PBBBBBBBBP.PP..........",
          ".PBBBBBBBBP.PBP.........", ".PBBBBBBBBP.PBP.........", ".PBBBBBBBBP.PBBP........",
          ".PBBBBBBBBP.PBBBP.......", ".PBBBBBBBBP.PBBBBP......", ".PPPPPPPPPP.PBBBBP......",
          "............PBBBBBP.....", "............PBBBBBBP....", "............PBBBBBBBP...",
          "............PBBBBBBBP...", "............PBBBBBBBBP..", "............PPPPPPPPPPP."}},
        {"rop",
         "MSDN SetROP2: R2_XORPEN and R2_NOT; Rectangle paints each pixel once",
         [](HDC d, Keeper& k) {
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             RECT r = {0, 0, 12, 16};
             FillRect(d, &r, (HBRUSH)k.Keep(CreateSolidBrush(RGB(255, 255, 255))));
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             SetROP2(d, R2_XORPEN);
             Rectangle(d, 4, 4, 20, 12);
             SetROP2(d, R2_NOT);
             MoveToEx(d, 0, 14, 0);
             LineTo(d, 24, 14);
         },
         {"wwwwwwwwwwww............", "wwwwwwwwwwww............", "wwwwwwwwwwww............",
          "wwwwwwwwwwww............", "wwww????????????????....", "wwww????????????????....",
          "wwww????????????????....", "wwww????????????????....", "wwww????????????????....",
          "wwww????????????????....", "wwww????????????????....", "wwww????????????????....",
          "wwwwwwwwwwww............", "wwwwwwwwwwww............", "kkkkkkkkkkkk????????????",
          "wwwwwwwwwwww............"}},
        {"hatch",
         "the six hatches, 8 x 8 from the brush origin; hatch gaps are skipped in TRANSPARENT mode",
         [](HDC d, Keeper& k) {
             SetBkColor(d, RGB(0, 255, 0));
             RECT r = {0, 0, 8, 8};
             FillRect(d, &r, k.Keep(CreateHatchBrush(HS_HORIZONTAL, RGB(255, 0, 0))));
             r = {8, 0, 16, 8};
             FillRect(d, &r, k.Keep(CreateHatchBrush(HS_VERTICAL, RGB(255, 0, 0))));
             r = {16, 0, 24, 8};
             FillRect(d, &r, k.Keep(CreateHatchBrush(HS_FDIAGONAL, RGB(255, 0, 0))));
             r = {0, 8, 8, 16};
             FillRect(d, &r, k.Keep(CreateHatchBrush(HS_BDIAGONAL, RGB(255, 0, 0))));
             r = {8, 8, 16, 16};
             FillRect(d, &r, k.Keep(CreateHatchBrush(HS_CROSS, RGB(255, 0, 0))));
             SetBkMode(d, TRANSPARENT);
             SelectObject(d, k.Keep(CreateHatchBrush(HS_DIAGCROSS, RGB(255, 0, 0))));
             SelectObject(d, GetStockObject(NULL_PEN));
             Rectangle(d, 16, 8, 25, 17);
         },
         {"ggggggggggggPgggPggggggg", "ggggggggggggPggggPgggggg", "ggggggggggggPgggggPggggg",
          "PPPPPPPPggggPggggggPgggg", "ggggggggggggPgggggggPggg", "ggggggggggggPggggggggPgg",
          "ggggggggggggPgggggggggPg", "ggggggggggggPggggggggggP", "gggggggPggggPgggP......P",
          "ggggggPgggggPggg.P....P.", "gggggPggggggPggg..P..P..", "ggggPgggPPPPPPPP...PP...",
          "gggPggggggggPggg...PP...", "ggPgggggggggPggg..P..P..", "gPggggggggggPggg.P....P.",
          "PgggggggggggPgggP......P"}},
        {"origin",
         "MSDN SetViewportOrgEx/SetWindowOrgEx: device = logical - window origin + viewport origin",
         [](HDC d, Keeper& k) {
             SetViewportOrgEx(d, 5, 3, 0);
             SetWindowOrgEx(d, 1, 1, 0);
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             SelectObject(d, k.Keep(CreatePen(PS_SOLID, 1, RGB(255, 0, 0))));
             Rectangle(d, 0, 0, 4, 4);
             RECT r = {6, 0, 8, 2};
             FillRect(d, &r, k.Keep(CreateSolidBrush(RGB(0, 255, 0))));
             SetViewportOrgEx(d, 0, 0, 0);
             SetWindowOrgEx(d, 0, 0, 0);
             SetBrushOrgEx(d, 0, 0, 0);
         },
         {"........................", "........................", "....PPPP..gg............",
          "....PBBP..gg............", "....PBBP................", "....PPPP................"}},
        {"clip",
         "MSDN SelectClipRgn, CombineRgn(RGN_XOR), IntersectClipRect and ExcludeClipRect: drawing stays inside the "
         "clip region",
         [](HDC d, Keeper& k) {
             HRGN a = k.Keep(CreateRectRgn(2, 2, 14, 10));
             HRGN b = k.Keep(CreateRectRgn(8, 6, 20, 14));
             CombineRgn(a, a, b, RGN_XOR);
             SelectClipRgn(d, a);
             RECT r = {0, 0, 24, 16};
             FillRect(d, &r, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             SelectClipRgn(d, 0);
             IntersectClipRect(d, 0, 0, 6, 16);
             ExcludeClipRect(d, 1, 12, 3, 14);
             r = {0, 11, 24, 15};
             FillRect(d, &r, k.Keep(CreateSolidBrush(RGB(255, 0, 0))));
         },
         {"........................", "........................", "..BBBBBBBBBBBB..........",
          "..BBBBBBBBBBBB..........", "..BBBBBBBBBBBB..........", "..BBBBBBBBBBBB..........",
          "..BBBBBB......BBBBBB....", "..BBBBBB......BBBBBB....", "..BBBBBB......BBBBBB....",
          "..BBBBBB......BBBBBB....", "........BBBBBBBBBBBB....", "PPPPPP..BBBBBBBBBBBB....",
          "P..PPP..BBBBBBBBBBBB....", "P..PPP..BBBBBBBBBBBB....", "PPPPPP.................."}},
        {"clip origin",
         "MSDN IntersectClipRect: logical coordinates, moved by the viewport origin; RestoreDC(-1) brings the clip "
         "back",
         [](HDC d, Keeper& k) {
             SetViewportOrgEx(d, 4, 2, 0);
             IntersectClipRect(d, 0, 0, 5, 5);
             RECT r = {-5, -5, 30, 30};
             FillRect(d, &r, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             SaveDC(d);
             IntersectClipRect(d, 1, 1, 2, 2);
             RestoreDC(d, -1);
             r = {0, 0, 5, 1};
             FillRect(d, &r, k.Keep(CreateSolidBrush(RGB(255, 0, 0))));
         },
         {"........................", "........................", "....PPPPP...............",
          "....BBBBB...............", "....BBBBB...............", "....BBBBB...............",
          "....BBBBB..............."}},
        {"frame invert",
         "MSDN FrameRect: one pixel inside the rectangle; InvertRect inverts every bit",
         [](HDC d, Keeper& k) {
             RECT r = {1, 1, 8, 6};
             FrameRect(d, &r, k.Keep(CreateSolidBrush(RGB(255, 0, 0))));
             r = {10, 1, 11, 6};
             FrameRect(d, &r, k.Keep(CreateSolidBrush(RGB(255, 0, 0))));
             r = {12, 1, 16, 2};
             FrameRect(d, &r, k.Keep(CreateSolidBrush(RGB(255, 0, 0))));
             r = {0, 8, 24, 16};
             FillRect(d, &r, k.Keep(CreateSolidBrush(RGB(0, 0, 0))));
             r = {4, 10, 12, 14};
             InvertRect(d, &r);
         },
         {"........................", ".PPPPPPP..P.PPPP........", ".P.....P..P.............",
          ".P.....P..P.............", ".P.....P..P.............", ".PPPPPPP..P.............",
          "........................", "........................", "kkkkkkkkkkkkkkkkkkkkkkkk",
          "kkkkkkkkkkkkkkkkkkkkkkkk", "kkkkwwwwwwwwkkkkkkkkkkkk", "kkkkwwwwwwwwkkkkkkkkkkkk",
          "kkkkwwwwwwwwkkkkkkkkkkkk", "kkkkwwwwwwwwkkkkkkkkkkkk", "kkkkkkkkkkkkkkkkkkkkkkkk",
          "kkkkkkkkkkkkkkkkkkkkkkkk"}},
        {"dcbrush",
         "MSDN SetDCBrushColor/SetDCPenColor: DC_BRUSH and DC_PEN take the DC colours",
         [](HDC d, Keeper& k) {
             SelectObject(d, GetStockObject(DC_BRUSH));
             SelectObject(d, GetStockObject(DC_PEN));
             SetDCBrushColor(d, RGB(0, 0, 255));
             SetDCPenColor(d, RGB(255, 0, 0));
             Rectangle(d, 1, 1, 6, 6);
             RECT r = {8, 1, 12, 5};
             FillRect(d, &r, (HBRUSH)GetStockObject(DC_BRUSH));
         },
         {"........................", ".PPPPP..BBBB............", ".PBBBP..BBBB............",
          ".PBBBP..BBBB............", ".PBBBP..BBBB............", ".PPPPP.................."}},
        {"ellipse without a pen",
         "an ellipse drawn with PS_NULL fills its whole box (Wine draws it so)",
         [](HDC d, Keeper& k) {
             SelectObject(d, GetStockObject(NULL_PEN));
             SelectObject(d, k.Keep(CreateSolidBrush(RGB(0, 0, 255))));
             Ellipse(d, 0, 0, 8, 8);
         },
         {"..BBBB..................", ".BBBBBB.................", "BBBBBBBB................",
          "BBBBBBBB................", "BBBBBBBB................", "BBBBBBBB................",
          ".BBBBBB.................", "..BBBB.................."}},
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(std::string(scene.name) + ": " + scene.evidence);
        std::string expected;
        for (const char* row : scene.rows)
            expected += std::string(row) + "\n";
        for (int bpp : {24, 32}) {
            SCOPED_TRACE(bpp);
            Keeper k;
            DibCanvas c(24, 16, bpp);
            if (!c.Ok()) {
                EXPECT_EQ(bpp, 32) << "24-bit sections are always there";
                continue;
            }
            c.Clear(kGround);
            scene.draw(c.dc, k);
            // Put the DC's own objects back before the scene's are deleted.
            SelectObject(c.dc, GetStockObject(BLACK_PEN));
            SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
            EXPECT_EQ(Picture(c, static_cast<int>(scene.rows.size())), expected);
            // Nothing below the picture.
            const std::string whole = Picture(c, 16);
            EXPECT_EQ(whole.find_first_not_of(".\n", expected.size()), std::string::npos);
        }
    }
}

// Windows: region operations answer the complexity of their result, and GetClipBox answers the
// clip's bounds in logical coordinates (MSDN CombineRgn, GetClipBox; Wine draws the same).
TEST(GdiRegions, CombineAndClipBox)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        int complexity;
        RECT box;
        POINT in, out;
    } cases[] = {
        {RGN_AND, SIMPLEREGION, {5, 5, 10, 10}, {5, 5}, {4, 4}},
        {RGN_OR, COMPLEXREGION, {0, 0, 15, 15}, {14, 14}, {14, 0}},
        {RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}, {0, 0}, {7, 7}},
        {RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, {9, 4}, {9, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(CombineRgn(r, a, b, c.mode), c.complexity);
        RECT box;
        EXPECT_EQ(GetRgnBox(r, &box), c.complexity);
        EXPECT_EQ(box.left, c.box.left);
        EXPECT_EQ(box.top, c.box.top);
        EXPECT_EQ(box.right, c.box.right);
        EXPECT_EQ(box.bottom, c.box.bottom);
        EXPECT_TRUE(PtInRegion(r, c.in.x, c.in.y));
        EXPECT_FALSE(PtInRegion(r, c.out.x, c.out.y));
    }
    EXPECT_EQ(CombineRgn(r, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_AND), ERROR);

    DibCanvas c(20, 10);
    ASSERT_TRUE(c.Ok());
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 10);
    EXPECT_EQ(SelectObject(c.dc, b), reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(SIMPLEREGION)));
    EXPECT_EQ(ExcludeClipRect(c.dc, 5, 5, 8, 8), COMPLEXREGION);
    SetWindowOrgEx(c.dc, 2, 1, nullptr);
    EXPECT_EQ(GetClipBox(c.dc, &box), COMPLEXREGION);
    // The clip (5, 5)-(15, 15) less (5, 5)-(8, 8), cut to the 20 x 10 surface, seen from a
    // window origin of (2, 1).
    EXPECT_EQ(box.left, 7);
    EXPECT_EQ(box.top, 6);
    EXPECT_EQ(box.right, 17);
    EXPECT_EQ(box.bottom, 11);
    EXPECT_EQ(SelectClipRgn(c.dc, nullptr), SIMPLEREGION);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(r);
}
