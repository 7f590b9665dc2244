// GDI text: where TextOut, ExtTextOut and DrawText put their text and background, how fonts
// are sized, and what the text metrics say. Glyph shapes differ between systems' fonts, so the
// checks are about boxes, colours and measures, which Windows documents; written with Windows
// names only, they run against real GDI under Wine too.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dib_canvas.h"

namespace {

constexpr COLORREF kGround = RGB(10, 20, 30);
constexpr COLORREF kInk = RGB(250, 240, 0);
constexpr COLORREF kBack = RGB(0, 0, 200);

// The smallest rectangle holding every pixel that is not the ground; empty when none.
RECT Changed(const DibCanvas& c)
{
    RECT r{c.width, c.height, 0, 0};
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.Pixel(x, y) != kGround) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

struct Fixture {
    DibCanvas c{160, 60};
    HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = nullptr;
    Fixture()
    {
        old = SelectObject(c.dc, font);
        c.Clear(kGround);
        SetTextColor(c.dc, kInk);
        SetBkColor(c.dc, kBack);
    }
    ~Fixture()
    {
        SelectObject(c.dc, old);
        DeleteObject(font);
    }
    SIZE Extent(const char* s)
    {
        SIZE size{};
        GetTextExtentPoint32A(c.dc, s, static_cast<int>(strlen(s)), &size);
        return size;
    }
};

} // namespace

// Windows: in OPAQUE mode TextOut fills the text's cell, GetTextExtentPoint32's size, with the
// background colour, placed by the text alignment: the reference point is the cell's left, right
// or centre, and its top, bottom or baseline (MSDN SetTextAlign, SetBkMode, TextOut).
TEST(GdiTextOut, OpaqueCellFollowsTextAlignment)
{
    Fixture f;
    ASSERT_TRUE(f.c.Ok());
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(f.c.dc, &tm));
    const SIZE s = f.Extent("Label");
    ASSERT_GT(s.cx, 0);
    EXPECT_EQ(s.cy, tm.tmHeight);
    const LONG x = 80, y = 30;
    struct Case {
        UINT align;
        RECT cell;
    } cases[] = {
        {TA_LEFT | TA_TOP, {x, y, x + s.cx, y + s.cy}},
        {TA_RIGHT | TA_TOP, {x - s.cx, y, x, y + s.cy}},
        {TA_CENTER | TA_TOP, {x - s.cx / 2, y, x - s.cx / 2 + s.cx, y + s.cy}},
        {TA_LEFT | TA_BOTTOM, {x, y - s.cy, x + s.cx, y}},
        {TA_LEFT | TA_BASELINE, {x, y - tm.tmAscent, x + s.cx, y - tm.tmAscent + s.cy}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.align);
        f.c.Clear(kGround);
        SetTextAlign(f.c.dc, k.align);
        SetBkMode(f.c.dc, OPAQUE);
        ASSERT_TRUE(TextOutA(f.c.dc, x, y, "Label", 5));
        EXPECT_PRED2(Same, Changed(f.c), k.cell) << Show(Changed(f.c));
        // In TRANSPARENT mode only ink, all of it inside the cell.
        f.c.Clear(kGround);
        SetBkMode(f.c.dc, TRANSPARENT);
        ASSERT_TRUE(TextOutA(f.c.dc, x, y, "Label", 5));
        const RECT ink = Changed(f.c);
        EXPECT_LT(ink.left, ink.right);
        EXPECT_GE(ink.left, k.cell.left);
        EXPECT_LE(ink.right, k.cell.right);
        EXPECT_GE(ink.top, k.cell.top);
        EXPECT_LE(ink.bottom, k.cell.bottom);
        bool inkSeen = false;
        for (int py = 0; py < f.c.height; ++py)
            for (int px = 0; px < f.c.width; ++px)
                inkSeen = inkSeen || f.c.Pixel(px, py) == kInk;
        EXPECT_TRUE(inkSeen) << "text in the text colour";
    }
    SetTextAlign(f.c.dc, TA_LEFT | TA_TOP);
}

// Windows: with TA_UPDATECP TextOut starts at the current position and moves it past the text
// (MSDN SetTextAlign).
TEST(GdiTextOut, UpdateCurrentPositionAdvancesByTheExtent)
{
    Fixture f;
    ASSERT_TRUE(f.c.Ok());
    const SIZE ab = f.Extent("ab");
    MoveToEx(f.c.dc, 7, 3, nullptr);
    SetTextAlign(f.c.dc, TA_UPDATECP);
    EXPECT_TRUE(TextOutW(f.c.dc, 100, 100, L"ab", 2));
    POINT p;
    GetCurrentPositionEx(f.c.dc, &p);
    EXPECT_EQ(p.x, 7 + ab.cx);
    EXPECT_EQ(p.y, 3);
    SetTextAlign(f.c.dc, TA_LEFT);
    // Nothing was drawn at (100, 100): it is outside the canvas anyway, but the text went to (7, 3).
    EXPECT_EQ(Changed(f.c).left, 7);
}

// Windows: a negative LOGFONT height is the em (cell less internal leading), a positive one the
// cell (MSDN LOGFONT lfHeight); text extents grow with the text, and the A and W forms agree.
TEST(Fonts, HeightsAndExtents)
{
    DibCanvas c(8, 8);
    ASSERT_TRUE(c.Ok());
    for (int em : {8, 12, 16, 24, 40}) {
        SCOPED_TRACE(em);
        HFONT byEm = CreateFontW(-em, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
        HGDIOBJ old = SelectObject(c.dc, byEm);
        TEXTMETRICW tm;
        ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, em, 1);
        EXPECT_EQ(tm.tmWeight, FW_BOLD);
        SIZE a{}, b{}, w{};
        EXPECT_TRUE(GetTextExtentPoint32A(c.dc, "Hello", 5, &a));
        EXPECT_TRUE(GetTextExtentPoint32A(c.dc, "Hello, world", 12, &b));
        EXPECT_TRUE(GetTextExtentPoint32W(c.dc, L"Hello", 5, &w));
        EXPECT_GT(a.cx, 0);
        EXPECT_GT(b.cx, a.cx);
        EXPECT_EQ(w.cx, a.cx);
        EXPECT_EQ(a.cy, tm.tmHeight);
        SIZE none{1, 1};
        EXPECT_TRUE(GetTextExtentPoint32A(c.dc, "", 0, &none));
        EXPECT_EQ(none.cx, 0);

        HFONT byCell = CreateFontA(em * 2, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
        SelectObject(c.dc, byCell);
        ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
        EXPECT_NEAR(tm.tmHeight, em * 2, 2);
        SelectObject(c.dc, old);
        DeleteObject(byEm);
        DeleteObject(byCell);
    }
    // The font's description comes back from GetObject in both forms.
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfItalic = 1;
    strcpy(lf.lfFaceName, "Courier New");
    HFONT font = CreateFontIndirectA(&lf);
    LOGFONTW back{};
    ASSERT_EQ(GetObjectW(font, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, -13);
    EXPECT_EQ(back.lfItalic, 1);
    EXPECT_EQ(std::wstring(back.lfFaceName), L"Courier New");
    LOGFONTA narrow{};
    ASSERT_EQ(GetObjectA(font, sizeof narrow, &narrow), static_cast<int>(sizeof narrow));
    EXPECT_STREQ(narrow.lfFaceName, "Courier New");
    DeleteObject(font);
}

// Windows: DT_CALCRECT measures without drawing: the widest line and the lines' height; '&'
// marks a prefix unless DT_NOPREFIX, "&&" shows one '&'; DT_WORDBREAK breaks between words
// (MSDN DrawText).
TEST(GdiDrawText, CalcRectMeasuresLinesPrefixesAndBreaks)
{
    Fixture f;
    ASSERT_TRUE(f.c.Ok());
    TEXTMETRICA tm;
    GetTextMetricsA(f.c.dc, &tm);
    const LONG h = tm.tmHeight;
    struct Case {
        const char* text;
        UINT format;
        LONG width; // of the box given; 0 for none
        const char* widest;
        int lines;
    } cases[] = {
        {"File", DT_SINGLELINE, 0, "File", 1},
        {"&File", DT_SINGLELINE, 0, "File", 1},
        {"&File", DT_SINGLELINE | DT_NOPREFIX, 0, "&File", 1},
        {"A&&B", DT_SINGLELINE, 0, "A&B", 1},
        {"one\ntwo words", 0, 0, "two words", 2},
        {"one\r\ntwo", 0, 0, "one", 2},
        {"one\ntwo", DT_SINGLELINE, 0, "one\ntwo", 1}, // a line break is one more character
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        RECT r{5, 7, 5 + k.width, 7};
        const int height = DrawTextA(f.c.dc, k.text, -1, &r, k.format | DT_CALCRECT);
        EXPECT_EQ(height, k.lines * h);
        EXPECT_EQ(r.left, 5);
        EXPECT_EQ(r.top, 7);
        EXPECT_EQ(r.bottom, 7 + k.lines * h);
        EXPECT_EQ(r.right - r.left, f.Extent(k.widest).cx);
    }
    EXPECT_EQ(Changed(f.c).right, 0) << "DT_CALCRECT draws nothing";

    // Word breaking: a box as wide as the longer word holds one word a line.
    const LONG word = std::max(f.Extent("alpha").cx, f.Extent("beta").cx);
    RECT r{0, 0, word, 0};
    EXPECT_EQ(DrawTextA(f.c.dc, "alpha beta", -1, &r, DT_WORDBREAK | DT_CALCRECT), 2 * h);
    RECT wide{0, 0, 1000, 0};
    EXPECT_EQ(DrawTextA(f.c.dc, "alpha beta", -1, &wide, DT_WORDBREAK | DT_CALCRECT), h);
}

// Windows: DrawText places a single line left, centred or right, and top, centred or at the
// bottom of its box, and clips it to the box unless DT_NOCLIP (MSDN DrawText; the half-pixel
// rounding as Wine's user32 does it); the opaque cell shows where the line went.
TEST(GdiDrawText, PlacesASingleLineInItsBox)
{
    Fixture f;
    ASSERT_TRUE(f.c.Ok());
    TEXTMETRICA tm;
    GetTextMetricsA(f.c.dc, &tm);
    const SIZE s = f.Extent("Go");
    SetBkMode(f.c.dc, OPAQUE);
    const RECT box{20, 10, 120, 50};
    const LONG bw = box.right - box.left, bh = box.bottom - box.top;
    struct Case {
        UINT format;
        LONG x, y;
    } cases[] = {
        {DT_SINGLELINE, box.left, box.top},
        {DT_SINGLELINE | DT_RIGHT, box.right - s.cx, box.top},
        // Centring rounds a half pixel left, and down the page (Wine draws it so).
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, box.left + (bw - s.cx) / 2, box.top + (bh - tm.tmHeight + 1) / 2},
        {DT_SINGLELINE | DT_BOTTOM, box.left, box.bottom - tm.tmHeight},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.format);
        f.c.Clear(kGround);
        RECT r = box;
        EXPECT_GT(DrawTextA(f.c.dc, "Go", 2, &r, k.format), 0);
        EXPECT_PRED2(Same, Changed(f.c), (RECT{k.x, k.y, k.x + s.cx, k.y + tm.tmHeight})) << Show(Changed(f.c));
    }
    // A box smaller than the text cuts it.
    f.c.Clear(kGround);
    RECT tiny{30, 30, 34, 33};
    DrawTextA(f.c.dc, "Go", 2, &tiny, DT_SINGLELINE);
    EXPECT_PRED2(Same, Changed(f.c), tiny) << Show(Changed(f.c));
}

// Windows: ExtTextOut's ETO_OPAQUE fills its rectangle with the background colour whatever the
// background mode, and ETO_CLIPPED keeps the text inside it (MSDN ExtTextOut).
TEST(GdiExtTextOut, OpaqueAndClippedRectangles)
{
    Fixture f;
    ASSERT_TRUE(f.c.Ok());
    SetBkMode(f.c.dc, TRANSPARENT);
    RECT r{10, 10, 50, 40};
    EXPECT_TRUE(ExtTextOutA(f.c.dc, 12, 12, ETO_OPAQUE, &r, "", 0, nullptr));
    EXPECT_PRED2(Same, Changed(f.c), r);
    EXPECT_EQ(f.c.Pixel(10, 10), kBack);
    f.c.Clear(kGround);
    RECT clip{10, 10, 14, 14};
    EXPECT_TRUE(ExtTextOutA(f.c.dc, 8, 5, ETO_CLIPPED, &clip, "MMMM", 4, nullptr));
    const RECT ink = Changed(f.c);
    EXPECT_GE(ink.left, clip.left);
    EXPECT_GE(ink.top, clip.top);
    EXPECT_LE(ink.right, clip.right);
    EXPECT_LE(ink.bottom, clip.bottom);
    // Given advances, the characters are placed by them.
    f.c.Clear(kGround);
    SetBkMode(f.c.dc, OPAQUE);
    const INT dx[3] = {20, 20, 20};
    EXPECT_TRUE(ExtTextOutW(f.c.dc, 10, 10, 0, nullptr, L"iii", 3, dx));
    EXPECT_EQ(Changed(f.c).right, 70);
}

// Drawing a label again, after the text drawn in between has pushed it out of any cache, gives
// the same pixels.
TEST(GdiTextOut, RepeatedLabelsDrawTheSamePixels)
{
    Fixture first, second;
    ASSERT_TRUE(first.c.Ok());
    SetBkMode(first.c.dc, TRANSPARENT);
    SetBkMode(second.c.dc, TRANSPARENT);
    TextOutA(first.c.dc, 3, 4, "Score: 1200", 11);
    for (int i = 0; i < 2500; ++i) {
        const std::string s = std::to_string(i * 7919);
        TextOutA(second.c.dc, 0, 0, s.c_str(), static_cast<int>(s.size()));
    }
    second.c.Clear(kGround);
    TextOutA(second.c.dc, 3, 4, "Score: 1200", 11);
    for (int y = 0; y < first.c.height; ++y)
        for (int x = 0; x < first.c.width; ++x)
            ASSERT_EQ(first.c.Pixel(x, y), second.c.Pixel(x, y)) << x << "," << y;
}
