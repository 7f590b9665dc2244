// Windows shown on a dense display are drawn at a whole multiple of their size, each pixel a
// sharp block, and the pointer's positions come back in the window's own pixels. MOXIMAGE2_SCALE
// stands in for the display's density here (SDL's dummy driver reports none). Both ways of
// presenting are checked: the window surface and the renderer that waits for vertical sync
// (MOXIMAGE2_VSYNC=1 asks for it on the dummy driver, where SDL's software renderer stands in).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#ifdef MOXPLAT_HAVE_SDL2
#include <SDL.h>

namespace {

const bool kScaledDummyVideo = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("MOXIMAGE2_SCALE", "3", 1);
    return true;
}();

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

TEST(SdlScale, WindowsAreShownAtAWholeMultipleAndInputComesBackInWindowPixels)
{
    ASSERT_TRUE(kScaledDummyVideo);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "ScaleTest";
    ASSERT_TRUE(RegisterClassA(&wc));
    for (const char* vsync : {"0", "1"}) {
        SCOPED_TRACE(std::string("MOXIMAGE2_VSYNC=") + vsync);
        setenv("MOXIMAGE2_VSYNC", vsync, 1);
        HWND hwnd = CreateWindowA("ScaleTest", "scaled", WS_POPUP | WS_VISIBLE, 0, 0, 20, 10, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(hwnd, nullptr);
        SDL_Window* sdl = nullptr;
        for (Uint32 id = 1; id < 256 && !sdl; ++id)
            if (SDL_Window* w = SDL_GetWindowFromID(id))
                if (std::strcmp(SDL_GetWindowTitle(w), "scaled") == 0)
                    sdl = w;
        if (!sdl)
            GTEST_SKIP() << "SDL's dummy video driver is not available";
        EXPECT_EQ(SDL_GetRenderer(sdl) != nullptr, vsync[0] == '1');
        int w = 0, h = 0;
        SDL_GetWindowSize(sdl, &w, &h);
        EXPECT_EQ(w, 60);
        EXPECT_EQ(h, 30);

        HDC dc = GetDC(hwnd);
        SetPixel(dc, 1, 2, RGB(200, 100, 50));
        ReleaseDC(hwnd, dc);
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.windowID = SDL_GetWindowID(sdl);
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = SDL_PRESSED;
        e.button.clicks = 1;
        e.button.x = 7; // window pixel (2, 4)
        e.button.y = 14;
        SDL_PushEvent(&e);
        MSG msg{};
        bool clicked = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_LBUTTONDOWN) {
                clicked = true;
                EXPECT_EQ(msg.lParam, MAKELPARAM(2, 4));
            }
            DispatchMessageA(&msg);
        }
        EXPECT_TRUE(clicked);

        // The pixel (1, 2) fills screen pixels 3..5 x 6..8; its neighbours keep the window's black.
        SDL_Surface* screen = SDL_GetWindowSurface(sdl);
        ASSERT_NE(screen, nullptr);
        auto at = [&](int x, int y) {
            Uint32 value = 0;
            std::memcpy(&value,
                        static_cast<const Uint8*>(screen->pixels) + y * screen->pitch +
                            x * screen->format->BytesPerPixel,
                        screen->format->BytesPerPixel);
            Uint8 r, g, b;
            SDL_GetRGB(value, screen->format, &r, &g, &b);
            return RGB(r, g, b);
        };
        for (int y = 6; y < 9; ++y)
            for (int x = 3; x < 6; ++x)
                EXPECT_EQ(at(x, y), RGB(200, 100, 50)) << x << "," << y;
        EXPECT_EQ(at(2, 6), RGB(0, 0, 0));
        EXPECT_EQ(at(6, 7), RGB(0, 0, 0));
        EXPECT_EQ(at(4, 9), RGB(0, 0, 0));
        DestroyWindow(hwnd);
    }
}

#else

TEST(SdlScale, WindowsAreShownAtAWholeMultipleAndInputComesBackInWindowPixels)
{
    GTEST_SKIP() << "built without SDL2";
}

#endif
