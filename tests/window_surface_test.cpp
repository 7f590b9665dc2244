// One pixel surface per top-level window: a child's DC draws into its top-level window's pixels,
// clipped to the child and to the visible region the window styles give; BeginPaint clips to the
// update area; moving, hiding and destroying a child repaint what it uncovered; blits honour
// the DC's clip region. Only Windows API names, so the same cases pin real Windows under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

const COLORREF kRed = RGB(220, 20, 30);
const COLORREF kBlue = RGB(20, 30, 200);
const COLORREF kGreen = RGB(20, 180, 40);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kYellow = RGB(240, 230, 10);

int g_paints = 0;          // WM_PAINT messages the counting procedure saw
RECT g_lastPaint{};        // rcPaint of the last one
RECT g_paintClipBox{};     // GetClipBox of its DC
COLORREF g_paintColor = 0; // what the painting procedure fills its client area with

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_paints;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Paints its whole client area in g_paintColor, whatever the update area: the clip decides.
LRESULT CALLBACK FillingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        g_lastPaint = ps.rcPaint;
        GetClipBox(dc, &g_paintClipBox);
        RECT all;
        GetClientRect(hwnd, &all);
        HBRUSH b = CreateSolidBrush(g_paintColor);
        FillRect(dc, &all, b);
        DeleteObject(b);
        EndPaint(hwnd, &ps);
        ++g_paints;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A class painting with a solid background of its own.
const char* Class(const char* name, COLORREF background, WNDPROC proc = CountingProc)
{
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &wc))
        return name;
    wc = WNDCLASSA{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(background);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) ? name : nullptr;
}

HWND Top(const char* cls, DWORD extraStyle, int w = 80, int h = 60)
{
    return CreateWindowExA(0, cls, "", WS_POPUP | WS_VISIBLE | extraStyle, 0, 0, w, h, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND Child(const char* cls, HWND parent, DWORD extraStyle, int x, int y, int w, int h)
{
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | extraStyle, x, y, w, h, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Delivers every message and paint that is waiting.
void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

COLORREF PixelOf(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

void Fill(HDC dc, RECT r, COLORREF color)
{
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void FillWindow(HWND hwnd, RECT r, COLORREF color)
{
    HDC dc = GetDC(hwnd);
    Fill(dc, r, color);
    ReleaseDC(hwnd, dc);
}

} // namespace

// Windows: a child window has no pixels of its own; a parent without WS_CLIPCHILDREN draws over
// its children with its DC, as dialog-based games draw over a picture control, while
// WS_CLIPCHILDREN leaves the children's area out of the parent's DC (Microsoft's "Window
// Features": Clipping; user32 tests/msg.c test_paint_messages and tests/win.c
// test_csparentdc for the parent DC's visible region).
TEST(WindowSurface, ParentDrawsOverItsChildrenUnlessItClipsThem)
{
    const char* parentClass = Class("SurfaceParent", kWhite);
    const char* childClass = Class("SurfaceOpaqueChild", kBlue);
    struct Case {
        DWORD style;
        COLORREF inChild;
    } cases[] = {{0, kRed}, {WS_CLIPCHILDREN, kBlue}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        HWND dlg = Top(parentClass, c.style);
        HWND picture = Child(childClass, dlg, 0, 10, 10, 30, 20);
        ASSERT_NE(picture, nullptr);
        Pump();
        ASSERT_EQ(PixelOf(picture, 5, 5), kBlue);
        // The game draws the picture control's rectangle with the dialog's DC.
        RECT r;
        GetWindowRect(picture, &r);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
        FillWindow(dlg, r, kRed);
        EXPECT_EQ(PixelOf(picture, 5, 5), c.inChild);
        EXPECT_EQ(PixelOf(picture, 29, 19), c.inChild);
        EXPECT_EQ(PixelOf(dlg, 5, 5), kWhite);
        HDC dc = GetDC(dlg);
        EXPECT_EQ(PtVisible(dc, 15, 15) != FALSE, c.inChild == kRed);
        EXPECT_TRUE(PtVisible(dc, 5, 5));
        ReleaseDC(dlg, dc);
        DestroyWindow(dlg);
    }
}

// Windows: a picture frame (a static control with SS_BLACKFRAME) paints only its frame, so a
// game drawn there by the dialog stays when the control is painted again (Microsoft's Static
// Control Styles: SS_BLACKFRAME is a box with a frame, SS_BLACKRECT a filled rectangle).
TEST(WindowSurface, APictureFrameKeepsWhatTheDialogDrewInside)
{
    HWND dlg = Top(Class("SurfaceParent", kWhite), 0);
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 10, 10, 30, 20, dlg, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(frame, nullptr);
    Pump();
    FillWindow(dlg, RECT{10, 10, 40, 30}, kRed);
    InvalidateRect(frame, nullptr, TRUE);
    UpdateWindow(frame);
    EXPECT_EQ(PixelOf(frame, 15, 10), kRed);
    // The frame itself is painted (its shade differs between themes: not pinned here).
    EXPECT_NE(PixelOf(frame, 0, 0), kRed);
    EXPECT_NE(PixelOf(frame, 29, 19), kRed);
    EXPECT_EQ(PixelOf(frame, 1, 1), kRed);
    DestroyWindow(dlg);
}

// Windows: a child with WS_CLIPSIBLINGS leaves out the siblings above it in z-order; without
// it, its drawing lands over them (Microsoft's "Window Features": WS_CLIPSIBLINGS).
TEST(WindowSurface, SiblingsOverlapUnlessTheLowerOneClipsThem)
{
    const char* parentClass = Class("SurfaceParent", kWhite);
    const char* upperClass = Class("SurfaceUpperChild", kGreen);
    const char* lowerClass = Class("SurfaceLowerChild", kBlue);
    struct Case {
        DWORD lowerStyle;
        COLORREF overlap;
    } cases[] = {{0, kYellow}, {WS_CLIPSIBLINGS, kGreen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lowerStyle);
        HWND top = Top(parentClass, WS_CLIPCHILDREN);
        HWND upper = Child(upperClass, top, WS_CLIPSIBLINGS, 10, 10, 20, 20);
        HWND lower = Child(lowerClass, top, c.lowerStyle, 20, 20, 20, 20);
        ASSERT_NE(lower, nullptr);
        SetWindowPos(upper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(lower, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Pump();
        FillWindow(lower, RECT{0, 0, 20, 20}, kYellow);
        EXPECT_EQ(PixelOf(upper, 15, 15), c.overlap); // the lower child's (5, 5)
        EXPECT_EQ(PixelOf(upper, 5, 5), kGreen);
        EXPECT_EQ(PixelOf(lower, 15, 15), kYellow);
        DestroyWindow(top);
    }
}

// Windows: whatever coordinates a child's DC is given, its drawing stays inside the child
// (Microsoft's GetDC: the DC's clipping region is the window's client area).
TEST(WindowSurface, AChildsDCReachesOnlyTheChild)
{
    const char* parentClass = Class("SurfaceParent", kWhite);
    const char* childClass = Class("SurfaceOpaqueChild", kBlue);
    HWND top = Top(parentClass, 0);
    HWND child = Child(childClass, top, 0, 10, 10, 20, 20);
    ASSERT_NE(child, nullptr);
    Pump();
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP red = CreateBitmap(100, 100, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, red);
    Fill(mem, RECT{0, 0, 100, 100}, kRed);
    HDC dc = GetDC(child);
    struct Op {
        const char* name;
        void (*draw)(HDC dc, HDC src);
    } ops[] = {
        {"FillRect", [](HDC d, HDC) { Fill(d, RECT{-50, -50, 100, 100}, kRed); }},
        {"BitBlt", [](HDC d, HDC s) { BitBlt(d, -40, -40, 100, 100, s, 0, 0, SRCCOPY); }},
        {"StretchBlt", [](HDC d, HDC s) { StretchBlt(d, -40, -40, 100, 100, s, 0, 0, 50, 50, SRCCOPY); }},
        {"PatBlt", [](HDC d, HDC) {
             HGDIOBJ b = SelectObject(d, CreateSolidBrush(kRed));
             PatBlt(d, -40, -40, 100, 100, PATCOPY);
             DeleteObject(SelectObject(d, b));
         }},
        {"Rectangle", [](HDC d, HDC) {
             HGDIOBJ b = SelectObject(d, CreateSolidBrush(kRed));
             Rectangle(d, -40, -40, 100, 100);
             DeleteObject(SelectObject(d, b));
         }},
    };
    for (const Op& op : ops) {
        SCOPED_TRACE(op.name);
        Fill(dc, RECT{0, 0, 20, 20}, kBlue);
        FillWindow(top, RECT{0, 0, 10, 10}, kWhite);
        FillWindow(top, RECT{30, 30, 40, 40}, kWhite);
        op.draw(dc, mem);
        EXPECT_EQ(GetPixel(dc, 10, 10), kRed);
        EXPECT_EQ(PixelOf(top, 9, 9), kWhite);
        EXPECT_EQ(PixelOf(top, 30, 30), kWhite);
        EXPECT_EQ(PixelOf(top, 35, 12), kWhite);
    }
    ReleaseDC(child, dc);
    // A grandchild partly outside its parent's left and top edges shows only inside the parent.
    HWND grandchild = Child(Class("SurfaceGreenChild", kGreen), child, 0, -5, -5, 12, 12);
    ASSERT_NE(grandchild, nullptr);
    Pump();
    FillWindow(top, RECT{0, 0, 10, 10}, kWhite);
    FillWindow(child, RECT{0, 0, 20, 20}, kBlue);
    FillWindow(grandchild, RECT{-20, -20, 40, 40}, kYellow);
    EXPECT_EQ(PixelOf(child, 0, 0), kYellow);
    EXPECT_EQ(PixelOf(child, 6, 6), kYellow);
    EXPECT_EQ(PixelOf(child, 7, 7), kBlue);
    EXPECT_EQ(PixelOf(top, 7, 7), kWhite);
    EXPECT_EQ(PixelOf(top, 9, 12), kWhite);
    SelectObject(mem, old);
    DeleteObject(red);
    DeleteDC(mem);
    DestroyWindow(top);
}

// Windows: BeginPaint's DC is clipped to the update region and rcPaint is its bounding
// rectangle (Microsoft's BeginPaint and PAINTSTRUCT; user32 tests/msg.c test_paint_messages).
TEST(WindowSurface, BeginPaintDrawsOnlyTheUpdateArea)
{
    g_paintColor = kBlue;
    const char* cls = Class("SurfaceFilling", kWhite, FillingProc);
    HWND hwnd = Top(cls, 0, 60, 40);
    ASSERT_NE(hwnd, nullptr);
    Pump();
    FillWindow(hwnd, RECT{0, 0, 60, 40}, kWhite);
    const RECT area{10, 5, 20, 15};
    InvalidateRect(hwnd, &area, FALSE);
    g_paints = 0;
    UpdateWindow(hwnd);
    EXPECT_EQ(g_paints, 1);
    EXPECT_TRUE(EqualRect(&g_lastPaint, &area));
    EXPECT_TRUE(EqualRect(&g_paintClipBox, &area));
    EXPECT_EQ(PixelOf(hwnd, 10, 5), kBlue);
    EXPECT_EQ(PixelOf(hwnd, 19, 14), kBlue);
    EXPECT_EQ(PixelOf(hwnd, 9, 5), kWhite);
    EXPECT_EQ(PixelOf(hwnd, 20, 14), kWhite);
    EXPECT_EQ(PixelOf(hwnd, 40, 30), kWhite);
    // After EndPaint, GetDC reaches the whole client area again.
    FillWindow(hwnd, RECT{0, 0, 60, 40}, kGreen);
    EXPECT_EQ(PixelOf(hwnd, 40, 30), kGreen);
    // RDW_ERASENOW erases the update area with the class brush before any WM_PAINT
    // (Microsoft's RedrawWindow; user32 tests/msg.c test_paint_messages).
    InvalidateRect(hwnd, &area, TRUE);
    g_paints = 0;
    EXPECT_TRUE(RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASENOW));
    EXPECT_EQ(g_paints, 0);
    EXPECT_EQ(PixelOf(hwnd, 15, 10), kWhite);
    EXPECT_EQ(PixelOf(hwnd, 9, 10), kGreen);
    EXPECT_EQ(PixelOf(hwnd, 40, 30), kGreen);
    DestroyWindow(hwnd);
}

// Windows: moving, hiding or destroying a child invalidates what it uncovered in its parent,
// which the parent's class brush paints again, and showing it paints it (Microsoft's
// SetWindowPos and ShowWindow; user32 tests/msg.c test_paint_messages, test_swp_paint_regions).
TEST(WindowSurface, WhatAChildUncoversIsPaintedAgain)
{
    const char* parentClass = Class("SurfaceRedParent", kRed);
    const char* childClass = Class("SurfaceOpaqueChild", kBlue);
    struct Step {
        const char* name;
        void (*act)(HWND child);
        COLORREF oldPlace;
        COLORREF newPlace;
    } steps[] = {
        {"hide", [](HWND c) { ShowWindow(c, SW_HIDE); }, kRed, kRed},
        {"move", [](HWND c) { SetWindowPos(c, nullptr, 40, 5, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE); }, kRed, kBlue},
        {"destroy", [](HWND c) { DestroyWindow(c); }, kRed, kRed},
    };
    for (DWORD parentStyle : {DWORD{0}, DWORD{WS_CLIPCHILDREN}})
        for (const Step& s : steps) {
            SCOPED_TRACE(s.name);
            SCOPED_TRACE(parentStyle);
            HWND top = Top(parentClass, parentStyle);
            HWND child = Child(childClass, top, 0, 10, 10, 10, 10);
            ASSERT_NE(child, nullptr);
            Pump();
            ASSERT_EQ(PixelOf(top, 2, 2), kRed);
            s.act(child);
            Pump();
            EXPECT_EQ(PixelOf(top, 15, 15), s.oldPlace);
            if (IsWindow(child) && IsWindowVisible(child))
                EXPECT_EQ(PixelOf(child, 5, 5), s.newPlace);
            else
                EXPECT_EQ(PixelOf(top, 45, 10), s.newPlace);
            DestroyWindow(top);
        }
}

// Windows: RedrawWindow invalidates, validates and paints as its flags say: children that the
// window clips only with RDW_ALLCHILDREN, and RDW_UPDATENOW paints before it returns
// (Microsoft's RedrawWindow; user32 tests/msg.c test_paint_messages, test_redrawwindow).
TEST(WindowSurface, RedrawWindowFollowsItsFlags)
{
    const char* parentClass = Class("SurfaceParent", kWhite);
    const char* childClass = Class("SurfaceOpaqueChild", kBlue);
    HWND top = Top(parentClass, WS_CLIPCHILDREN);
    HWND child = Child(childClass, top, 0, 10, 10, 20, 20);
    ASSERT_NE(child, nullptr);
    Pump();
    struct Case {
        UINT flags;
        bool childPainted;
        bool topStillInvalid;
    } cases[] = {
        {RDW_INVALIDATE | RDW_UPDATENOW, false, false},
        {RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW, true, false},
        {RDW_INVALIDATE | RDW_ALLCHILDREN, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        FillWindow(child, RECT{0, 0, 20, 20}, kYellow);
        EXPECT_TRUE(RedrawWindow(top, nullptr, nullptr, c.flags | RDW_ERASE));
        EXPECT_EQ(GetUpdateRect(top, nullptr, FALSE) != FALSE, c.topStillInvalid);
        EXPECT_EQ(PixelOf(child, 5, 5), c.childPainted ? kBlue : kYellow);
        ValidateRect(top, nullptr);
        ValidateRect(child, nullptr);
    }
    // RDW_VALIDATE takes the update area away, the children's too with RDW_ALLCHILDREN.
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    EXPECT_TRUE(RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN));
    EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));
    // The update region as a region: what was invalidated, then nothing once validated.
    HRGN part = CreateRectRgn(2, 3, 8, 9);
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_TRUE(InvalidateRgn(top, part, FALSE));
    EXPECT_EQ(GetUpdateRgn(top, update, FALSE), SIMPLEREGION);
    RECT box;
    GetRgnBox(update, &box);
    const RECT expected{2, 3, 8, 9};
    EXPECT_TRUE(EqualRect(&box, &expected));
    EXPECT_TRUE(ValidateRgn(top, part));
    EXPECT_EQ(GetUpdateRgn(top, update, FALSE), NULLREGION);
    // RedrawWindow puts swapped edges in order and takes a region as well as a rectangle
    // (user32 tests/msg.c test_paint_messages).
    const RECT swapped{21, 12, 7, 30}, ordered{7, 12, 21, 30};
    EXPECT_TRUE(RedrawWindow(top, &swapped, nullptr, RDW_INVALIDATE));
    EXPECT_EQ(GetUpdateRgn(top, update, FALSE), SIMPLEREGION);
    GetRgnBox(update, &box);
    EXPECT_TRUE(EqualRect(&box, &ordered));
    EXPECT_TRUE(RedrawWindow(top, nullptr, part, RDW_VALIDATE));
    EXPECT_TRUE(RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE));
    EXPECT_EQ(GetUpdateRgn(top, update, FALSE), NULLREGION);
    EXPECT_TRUE(RedrawWindow(top, nullptr, part, RDW_INVALIDATE));
    EXPECT_EQ(GetUpdateRgn(top, update, FALSE), SIMPLEREGION);
    GetRgnBox(update, &box);
    EXPECT_TRUE(EqualRect(&box, &expected));
    DeleteObject(part);
    DeleteObject(update);
    DestroyWindow(top);
}

// Windows: every blit and pixel call keeps to the DC's clip region, however many rectangles it
// has (Microsoft's SelectClipRgn; gdi32 tests/clipping.c, tests/dib.c draw_graphics).
TEST(ClipRegion, EveryBlitKeepsInsideIt)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* srcBits = nullptr;
    HDC src = CreateCompatibleDC(nullptr);
    HBITMAP srcBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &srcBits, nullptr, 0);
    ASSERT_NE(srcBitmap, nullptr);
    SelectObject(src, srcBitmap);
    Fill(src, RECT{0, 0, 16, 16}, kRed);
    std::vector<DWORD> redPixels(16 * 16, 0x00DC141E); // kRed as 0x00RRGGBB

    void* dstBits = nullptr;
    HDC dst = CreateCompatibleDC(nullptr);
    HBITMAP dstBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &dstBits, nullptr, 0);
    ASSERT_NE(dstBitmap, nullptr);
    SelectObject(dst, dstBitmap);
    // Two boxes: the blit is split between them.
    HRGN clip = CreateRectRgn(2, 2, 6, 6);
    HRGN second = CreateRectRgn(10, 9, 14, 13);
    CombineRgn(clip, clip, second, RGN_OR);

    struct Op {
        const char* name;
        void (*draw)(HDC dst, HDC src, const BITMAPINFO* bi, const void* bits);
    } ops[] = {
        {"BitBlt", [](HDC d, HDC s, const BITMAPINFO*, const void*) { BitBlt(d, 0, 0, 16, 16, s, 0, 0, SRCCOPY); }},
        {"StretchBlt",
         [](HDC d, HDC s, const BITMAPINFO*, const void*) { StretchBlt(d, 0, 0, 16, 16, s, 0, 0, 8, 8, SRCCOPY); }},
        {"PatBlt",
         [](HDC d, HDC, const BITMAPINFO*, const void*) {
             HGDIOBJ b = SelectObject(d, CreateSolidBrush(kRed));
             PatBlt(d, 0, 0, 16, 16, PATCOPY);
             DeleteObject(SelectObject(d, b));
         }},
        {"TransparentBlt",
         [](HDC d, HDC s, const BITMAPINFO*, const void*) {
             TransparentBlt(d, 0, 0, 16, 16, s, 0, 0, 16, 16, RGB(1, 2, 3));
         }},
        {"AlphaBlend",
         [](HDC d, HDC s, const BITMAPINFO*, const void*) {
             BLENDFUNCTION f{AC_SRC_OVER, 0, 255, 0};
             AlphaBlend(d, 0, 0, 16, 16, s, 0, 0, 16, 16, f);
         }},
        {"SetDIBitsToDevice",
         [](HDC d, HDC, const BITMAPINFO* b, const void* bits) {
             SetDIBitsToDevice(d, 0, 0, 16, 16, 0, 0, 0, 16, bits, b, DIB_RGB_COLORS);
         }},
        {"StretchDIBits",
         [](HDC d, HDC, const BITMAPINFO* b, const void* bits) {
             StretchDIBits(d, 0, 0, 16, 16, 0, 0, 16, 16, bits, b, DIB_RGB_COLORS, SRCCOPY);
         }},
        {"SetPixel",
         [](HDC d, HDC, const BITMAPINFO*, const void*) {
             for (int y = 0; y < 16; ++y)
                 for (int x = 0; x < 16; ++x)
                     SetPixel(d, x, y, kRed);
         }},
    };
    for (const Op& op : ops) {
        SCOPED_TRACE(op.name);
        SelectClipRgn(dst, nullptr);
        Fill(dst, RECT{0, 0, 16, 16}, kWhite);
        ASSERT_NE(SelectClipRgn(dst, clip), ERROR);
        op.draw(dst, src, &bi, redPixels.data());
        EXPECT_EQ(GetPixel(dst, 2, 2), kRed);
        EXPECT_EQ(GetPixel(dst, 5, 5), kRed);
        EXPECT_EQ(GetPixel(dst, 13, 12), kRed);
        SelectClipRgn(dst, nullptr);
        for (POINT p : {POINT{1, 1}, POINT{6, 5}, POINT{5, 6}, POINT{8, 8}, POINT{14, 12}, POINT{10, 13}, POINT{15, 0}})
            EXPECT_EQ(GetPixel(dst, p.x, p.y), kWhite) << p.x << "," << p.y;
    }
    DeleteObject(clip);
    DeleteObject(second);
    DeleteDC(dst);
    DeleteDC(src);
    DeleteObject(dstBitmap);
    DeleteObject(srcBitmap);
}
