// A window with a menu on SDL's screen: the screen shows the bar above the client area, a
// press on the bar arrives as a non-client press with HTMENU in screen coordinates, and client
// coordinates start below it. Runs SDL's dummy video driver, so no display is needed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef MOXPLAT_HAVE_SDL2
#include <SDL.h>

namespace {

const bool kDummyVideo = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    return true;
}();

SDL_Window* SdlWindowTitled(const char* title)
{
    for (Uint32 id = 1; id < 256; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id))
            if (std::strcmp(SDL_GetWindowTitle(w), title) == 0)
                return w;
    return nullptr;
}

SDL_Event Press(Uint32 window, int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = window;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    return e;
}

TEST(MenuOnSdl, BarIsShownAboveTheClientAndTakesItsOwnPresses)
{
    ASSERT_TRUE(kDummyVideo);
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "&Go");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "MoxMenuOnSdl";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "MoxMenuOnSdl", "menu on SDL", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 50, 300, 200,
                                nullptr, bar, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    SDL_Window* sdl = SdlWindowTitled("menu on SDL");
    if (!sdl)
        GTEST_SKIP() << "SDL's dummy video driver is not available";
    RECT client{};
    GetClientRect(hwnd, &client);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    EXPECT_EQ(w, client.right);
    EXPECT_EQ(h, client.bottom + GetSystemMetrics(SM_CYMENU));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);

    // One press on the bar, one in the client area's top-left pixel.
    const Uint32 id = SDL_GetWindowID(sdl);
    SDL_Event onBar = Press(id, 10, 5), inClient = Press(id, 3, GetSystemMetrics(SM_CYMENU) + 2);
    SDL_PushEvent(&onBar);
    SDL_PushEvent(&inClient);
    std::vector<MSG> got;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_NCLBUTTONDOWN || msg.message == WM_LBUTTONDOWN)
            got.push_back(msg);
    ASSERT_EQ(got.size(), 2u);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(HTMENU));
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), origin.x + 10);
    EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), origin.y - GetSystemMetrics(SM_CYMENU) + 5);
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(got[1].lParam, MAKELPARAM(3, 2));
    DestroyWindow(hwnd);
}

} // namespace

#else

TEST(MenuOnSdl, BarIsShownAboveTheClientAndTakesItsOwnPresses)
{
    GTEST_SKIP() << "built without SDL2";
}

#endif
