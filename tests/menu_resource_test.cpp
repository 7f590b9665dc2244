// A program's menu from its resources: the one its window class names, and the one an MFC frame
// loads with the frame's resource id. The Windows build runs the same cases against Windows.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>

#include "resources/resource.h"

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

// The IDR_MAINFRAME menu of game.rc: Game > New, separator, Pause (checked).
void ExpectGameMenu(HMENU bar)
{
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    char title[16] = {};
    GetMenuStringA(bar, 0, title, sizeof title, MF_BYPOSITION);
    EXPECT_STREQ(title, "&Game");
    HMENU game = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(game), 3);
    EXPECT_EQ(GetMenuItemID(game, 0), static_cast<UINT>(ID_GAME_NEW));
    EXPECT_EQ(GetMenuItemID(game, 2), static_cast<UINT>(ID_GAME_PAUSE));
    EXPECT_NE(GetMenuState(game, ID_GAME_PAUSE, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST(MenuResource, WindowClassMenuIsLoadedForTopLevelWindows)
{
    // Windows: a top-level window created without a menu gets the one its class's
    // lpszMenuName names, from the creating module (MSDN WNDCLASS, CreateWindowEx hMenu).
    struct Case {
        const char* className;
        LPCSTR menuName;
    } cases[] = {{"MoxMenuByNumber", MAKEINTRESOURCEA(IDR_MAINFRAME)}, {"MoxMenuByPoundName", "#128"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = Self();
        wc.lpszClassName = c.className;
        wc.lpszMenuName = c.menuName;
        ASSERT_NE(RegisterClassA(&wc), 0);
        HWND hwnd = CreateWindowExA(0, c.className, "class menu", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                    Self(), nullptr);
        ASSERT_NE(hwnd, nullptr);
        ExpectGameMenu(GetMenu(hwnd));
        DestroyWindow(hwnd);
    }
}

TEST(MenuResource, LoadFrameGivesTheFrameTheMenuOfItsId)
{
    // MFC: LoadFrame creates the frame with the menu resource of nIDResource (MSDN
    // CFrameWnd::LoadFrame).
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
    ExpectGameMenu(::GetMenu(frame->m_hWnd));
    frame->DestroyWindow();
}

} // namespace
