// How the stand-in draws menus: the bar in the window's frame and a popup's items, read back
// through GetPixel. The pixels are the stand-in's own classic look, so this runs on Linux only.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>

namespace {

const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();

std::function<void(HWND)> g_onIdle;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && g_onIdle) {
        auto act = g_onIdle;
        act(reinterpret_cast<HWND>(lParam));
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(HMENU bar)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = L"MoxMenuPixels";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    return CreateWindowExW(0, L"MoxMenuPixels", L"pixels", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr, bar, nullptr,
                           nullptr);
}

void Pump()
{
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
}

// Counts of the kinds of pixel inside a rectangle of a DC.
struct Ink {
    int dark = 0;      // text in COLOR_MENUTEXT (black)
    int grey = 0;      // text in COLOR_GRAYTEXT
    int highlight = 0; // COLOR_HIGHLIGHT background
    int background = 0;
};

Ink Read(HDC dc, RECT r)
{
    Ink ink;
    const COLORREF menu = GetSysColor(COLOR_MENU), hi = GetSysColor(COLOR_HIGHLIGHT);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            const int v = GetRValue(c) + GetGValue(c) + GetBValue(c);
            if (c == menu)
                ++ink.background;
            else if (c == hi)
                ++ink.highlight;
            else if (v < 120)
                ++ink.dark;
            else if (v > 3 * 90 && v < 3 * 130 && GetRValue(c) == GetGValue(c))
                ++ink.grey;
        }
    return ink;
}

TEST(MenuPixels, BarShowsItsTitlesDarkAndADisabledOneGrey)
{
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1, L"&Open");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_STRING | MF_GRAYED, 2, L"&Help");
    HWND hwnd = MakeWindow(bar);
    Pump(); // the bar is painted from the message loop
    RECT window{}, item0{}, item1{};
    GetWindowRect(hwnd, &window);
    ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 0, &item0));
    ASSERT_TRUE(GetMenuItemRect(hwnd, bar, 1, &item1));
    OffsetRect(&item0, -window.left, -window.top);
    OffsetRect(&item1, -window.left, -window.top);
    HDC dc = GetWindowDC(hwnd);
    const Ink title = Read(dc, item0), disabled = Read(dc, item1);
    EXPECT_GT(title.dark, 10);
    EXPECT_GT(title.background, title.dark);
    EXPECT_EQ(disabled.dark, 0);
    EXPECT_GT(disabled.grey, 5);
    // The bar stays put after the client area is painted over.
    RECT client{};
    GetClientRect(hwnd, &client);
    HDC cdc = GetDC(hwnd);
    FillRect(cdc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(hwnd, cdc);
    EXPECT_EQ(Read(dc, item0).dark, title.dark);
    ReleaseDC(hwnd, dc);
    DestroyWindow(hwnd);
}

TEST(MenuPixels, PopupDrawsCheckMarksGreyItemsAndTheSelection)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 1, L"&Checked\tCtrl+K");
    AppendMenuW(menu, MF_STRING, 2, L"&Plain");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 3, L"&Grey");
    HWND owner = MakeWindow(nullptr);
    Ink checkColumn[2], grey, selected;
    bool seen = false;
    int idles = 0;
    g_onIdle = [&](HWND popup) {
        if (idles++ == 0) {
            PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 1); // select the first item, then look
            return;
        }
        HDC dc = GetDC(popup);
        RECT r[4];
        for (UINT i = 0; i < 4; ++i) {
            GetMenuItemRect(owner, menu, i, &r[i]);
            MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&r[i]), 2);
        }
        for (int i = 0; i < 2; ++i)
            checkColumn[i] = Read(dc, RECT{r[i + 0].left, r[i].top, r[i].left + 16, r[i].bottom});
        grey = Read(dc, r[3]);
        selected = Read(dc, r[0]);
        ReleaseDC(popup, dc);
        seen = true;
        EndMenu();
    };
    TrackPopupMenu(menu, TPM_RETURNCMD, 20, 20, 0, owner, nullptr);
    g_onIdle = nullptr;
    Pump();
    ASSERT_TRUE(seen);
    // The selected first item: highlight behind white text and a white tick.
    EXPECT_GT(selected.highlight, selected.background);
    EXPECT_LT(checkColumn[0].highlight, 16 * 19); // the tick is drawn over it
    // The plain item's check column is empty; the grey item has no black.
    EXPECT_EQ(checkColumn[1].dark, 0);
    EXPECT_EQ(grey.dark, 0);
    EXPECT_GT(grey.grey, 5);
    DestroyWindow(owner);
    DestroyMenu(menu);
}

} // namespace
