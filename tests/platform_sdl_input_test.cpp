// The SDL2 window backend's input: SDL key, text, button, wheel and window events become the
// messages Windows sends. No display is needed: SDL's dummy video driver, asked for by name,
// runs the same backend without showing anything, and the events are pushed into SDL's queue
// the way its drivers would put them there.
#include <gtest/gtest.h>

#include <afxwin.h>

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

// The SDL window behind a window shown through the backend, found by its title.
SDL_Window* SdlWindowTitled(const char* title)
{
    for (Uint32 id = 1; id < 256; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id))
            if (std::strcmp(SDL_GetWindowTitle(w), title) == 0)
                return w;
    return nullptr;
}

class ShownWnd : public CWnd {
public:
    // A 200 x 100 client area at (x, y): CreateEx takes the outer rectangle.
    BOOL Create(const char* title, UINT classStyle, int x, int y)
    {
        RECT outer{x, y, x + 200, y + 100};
        AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
        return CreateEx(0, AfxRegisterWndClass(classStyle), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, outer.left,
                        outer.top, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr);
    }
};

Uint32 g_windowId = 0;

SDL_Event KeyEvent(bool down, SDL_Scancode scancode, SDL_Keycode sym, Uint8 repeat = 0)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = g_windowId;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    return e;
}

SDL_Event TextEvent(const char* utf8)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = g_windowId;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event ButtonEvent(bool down, Uint8 button, int x, int y, Uint8 clicks = 1)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = g_windowId;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event MotionEvent(Uint32 buttons, int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = g_windowId;
    e.motion.state = buttons;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event WheelEvent(float notches, int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = g_windowId;
    e.wheel.y = static_cast<Sint32>(notches);
    e.wheel.preciseY = notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    return e;
}

SDL_Event WindowEvent(SDL_WindowEventID event)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = g_windowId;
    e.window.event = event;
    return e;
}

struct Expected {
    UINT message;
    WPARAM wParam;
    DWORD lParam;
};

// Pushes the events, then retrieves and translates everything queued (not dispatching it).
std::vector<Expected> Deliver(const std::vector<SDL_Event>& events)
{
    for (SDL_Event e : events)
        EXPECT_EQ(SDL_PushEvent(&e), 1);
    std::vector<Expected> got;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT) {
            DispatchMessage(&msg);
            continue;
        }
        got.push_back({msg.message, msg.wParam, static_cast<DWORD>(msg.lParam)});
        TranslateMessage(&msg);
    }
    return got;
}

bool operator==(const Expected& a, const Expected& b)
{
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

std::ostream& operator<<(std::ostream& os, const Expected& e)
{
    return os << "{" << std::hex << e.message << ", " << e.wParam << ", " << e.lParam << std::dec << "}";
}

} // namespace

TEST(SdlInput, EventsBecomeWindowsMessages)
{
    ASSERT_TRUE(kDummyVideo);
    ShownWnd wnd;
    ASSERT_TRUE(wnd.Create("SDL input", CS_DBLCLKS, 50, 60));
    SDL_Window* sdl = SdlWindowTitled("SDL input");
    if (!sdl)
        GTEST_SKIP() << "SDL's dummy video driver is not available";
    g_windowId = SDL_GetWindowID(sdl);
    int x = 0, y = 0;
    SDL_GetWindowPosition(sdl, &x, &y); // CreateEx placed it
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
    Deliver({}); // the first paint
    wnd.SetWindowText("SDL input, renamed");
    EXPECT_EQ(SdlWindowTitled("SDL input, renamed"), sdl); // the title shows on screen

    // lParam: repeat count 1, scan code, bit 24 extended, bit 29 Alt, bit 30 was down, bit 31 up.
    const struct {
        const char* what;
        std::vector<SDL_Event> events;
        std::vector<Expected> messages;
    } kCases[] = {
        {"arrow key, repeated, released (extended)",
         {KeyEvent(true, SDL_SCANCODE_LEFT, SDLK_LEFT), KeyEvent(true, SDL_SCANCODE_LEFT, SDLK_LEFT, 1),
          KeyEvent(false, SDL_SCANCODE_LEFT, SDLK_LEFT)},
         {{WM_KEYDOWN, VK_LEFT, 0x014B0001}, {WM_KEYDOWN, VK_LEFT, 0x414B0001}, {WM_KEYUP, VK_LEFT, 0xC14B0001}}},
        {"shifted letter with its text",
         {KeyEvent(true, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), KeyEvent(true, SDL_SCANCODE_A, SDLK_a), TextEvent("A"),
          KeyEvent(false, SDL_SCANCODE_A, SDLK_a), KeyEvent(false, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT)},
         {{WM_KEYDOWN, VK_SHIFT, 0x002A0001},
          {WM_KEYDOWN, 'A', 0x001E0001},
          {WM_KEYUP, 'A', 0xC01E0001},
          {WM_KEYUP, VK_SHIFT, 0xC02A0001},
          {WM_CHAR, 'A', 0x001E0001}}},
        {"a letter the layout places elsewhere keeps its scan code",
         {KeyEvent(true, SDL_SCANCODE_Y, SDLK_z), TextEvent("z"), KeyEvent(false, SDL_SCANCODE_Y, SDLK_z)},
         {{WM_KEYDOWN, 'Z', 0x00150001}, {WM_KEYUP, 'Z', 0xC0150001}, {WM_CHAR, 'z', 0x00150001}}},
        {"Alt makes system keys",
         {KeyEvent(true, SDL_SCANCODE_LALT, SDLK_LALT), KeyEvent(true, SDL_SCANCODE_F, SDLK_f),
          KeyEvent(false, SDL_SCANCODE_F, SDLK_f), KeyEvent(false, SDL_SCANCODE_LALT, SDLK_LALT)},
         {{WM_SYSKEYDOWN, VK_MENU, 0x20380001},
          {WM_SYSKEYDOWN, 'F', 0x20210001},
          {WM_SYSKEYUP, 'F', 0xE0210001},
          {WM_SYSKEYUP, VK_MENU, 0xC0380001},
          {WM_SYSCHAR, 'f', 0x20210001}}},
        {"F10 alone is a system key; Enter types a carriage return",
         {KeyEvent(true, SDL_SCANCODE_F10, SDLK_F10), KeyEvent(true, SDL_SCANCODE_RETURN, SDLK_RETURN)},
         {{WM_SYSKEYDOWN, VK_F10, 0x00440001}, {WM_KEYDOWN, VK_RETURN, 0x001C0001}, {WM_CHAR, '\r', 0x001C0001}}},
        {"right Control held over a right click",
         {KeyEvent(true, SDL_SCANCODE_RCTRL, SDLK_RCTRL), ButtonEvent(true, SDL_BUTTON_RIGHT, 7, 8),
          ButtonEvent(false, SDL_BUTTON_RIGHT, 7, 8), KeyEvent(false, SDL_SCANCODE_RCTRL, SDLK_RCTRL)},
         {{WM_KEYDOWN, VK_CONTROL, 0x011D0001},
          {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 0x00080007},
          {WM_RBUTTONUP, MK_CONTROL, 0x00080007},
          {WM_KEYUP, VK_CONTROL, 0xC11D0001}}},
        {"click, double click, middle button, drag",
         {ButtonEvent(true, SDL_BUTTON_LEFT, 1, 2), ButtonEvent(false, SDL_BUTTON_LEFT, 1, 2),
          ButtonEvent(true, SDL_BUTTON_LEFT, 1, 2, 2), ButtonEvent(false, SDL_BUTTON_LEFT, 1, 2, 2),
          ButtonEvent(true, SDL_BUTTON_MIDDLE, 3, 4), ButtonEvent(false, SDL_BUTTON_MIDDLE, 3, 4),
          ButtonEvent(true, SDL_BUTTON_X1, 3, 4), MotionEvent(SDL_BUTTON_LMASK, 30, 40)},
         {{WM_LBUTTONDOWN, MK_LBUTTON, 0x00020001},
          {WM_LBUTTONUP, 0, 0x00020001},
          {WM_LBUTTONDBLCLK, MK_LBUTTON, 0x00020001},
          {WM_LBUTTONUP, 0, 0x00020001},
          {WM_MBUTTONDOWN, MK_MBUTTON, 0x00040003},
          {WM_MBUTTONUP, 0, 0x00040003},
          {WM_MOUSEMOVE, MK_LBUTTON, 0x0028001E}}},
        {"wheel turns in WHEEL_DELTA units at the pointer's screen position",
         {WheelEvent(-1, 5, 6), WheelEvent(0.5f, 0, 0), WheelEvent(0, 1, 1)},
         {{WM_MOUSEWHEEL, MAKEWPARAM(0, -120), MAKELPARAM(55, 66)},
          {WM_MOUSEWHEEL, MAKEWPARAM(0, 60), MAKELPARAM(50, 60)}}},
        {"text without a key, one code point per WM_CHAR",
         {TextEvent("\xC3\xA9\xE2\x82\xAC"), TextEvent("\xF0\x9F\x98\x80")},
         {{WM_CHAR, 0xE9, 1}, {WM_CHAR, 0x20AC, 1}, {WM_CHAR, 0x1F600, 1}}},
        {"focus (said once) and close",
         {WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
          WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
          WindowEvent(SDL_WINDOWEVENT_MINIMIZED), WindowEvent(SDL_WINDOWEVENT_RESTORED),
          WindowEvent(SDL_WINDOWEVENT_CLOSE)},
         {{WM_SETFOCUS, 0, 0},
          {WM_KILLFOCUS, 0, 0},
          {WM_SIZE, SIZE_MINIMIZED, 0},
          {WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100)},
          {WM_CLOSE, 0, 0}}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Deliver(c.events), c.messages);
    }
    Deliver({KeyEvent(false, SDL_SCANCODE_F10, SDLK_F10), KeyEvent(false, SDL_SCANCODE_RETURN, SDLK_RETURN)});
}

TEST(SdlInput, AsyncStateLeadsTheQueueState)
{
    ShownWnd wnd;
    ASSERT_TRUE(wnd.Create("SDL state", 0, 0, 0));
    SDL_Window* sdl = SdlWindowTitled("SDL state");
    if (!sdl)
        GTEST_SKIP() << "SDL's dummy video driver is not available";
    g_windowId = SDL_GetWindowID(sdl);
    Deliver({});
    SDL_Event e = KeyEvent(true, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT);
    SDL_PushEvent(&e);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)); // arrived, not yet taken
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_RSHIFT), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_LT(GetKeyState(VK_RSHIFT), 0);

    // This window's class has no CS_DBLCLKS: a second click is a plain press.
    const std::vector<Expected> got =
        Deliver({KeyEvent(false, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT), ButtonEvent(true, SDL_BUTTON_LEFT, 1, 1, 2),
                 ButtonEvent(false, SDL_BUTTON_LEFT, 1, 1, 2)});
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_RSHIFT), 0);
}

// Windows: mouse messages go to the window under the pointer, in its client coordinates, unless
// a window has captured the mouse; key messages go to the window with the focus (Microsoft's
// "Mouse Input" and "Keyboard Input" overviews).
TEST(SdlInput, MouseGoesToTheWindowUnderItKeysToTheFocus)
{
    ShownWnd wnd;
    ASSERT_TRUE(wnd.Create("SDL routing", 0, 0, 0));
    SDL_Window* sdl = SdlWindowTitled("SDL routing");
    if (!sdl)
        GTEST_SKIP() << "SDL's dummy video driver is not available";
    g_windowId = SDL_GetWindowID(sdl);
    CWnd child, hidden;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, 20, 10, 50, 40, wnd.m_hWnd,
                               reinterpret_cast<HMENU>(1)));
    ASSERT_TRUE(hidden.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD, 0, 0, 10, 10, wnd.m_hWnd,
                                reinterpret_cast<HMENU>(2)));
    Deliver({});

    auto next = [](SDL_Event e) {
        SDL_PushEvent(&e);
        MSG msg{};
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_PAINT)
            DispatchMessage(&msg);
        return msg;
    };
    struct Case {
        const char* what;
        HWND capture;
        int x, y;
        HWND target;
        int tx, ty;
    } cases[] = {
        {"over the child", nullptr, 30, 25, child.m_hWnd, 10, 15},
        {"beside it; the hidden child takes nothing", nullptr, 5, 5, wnd.m_hWnd, 5, 5},
        {"captured by the parent", wnd.m_hWnd, 30, 25, wnd.m_hWnd, 30, 25},
        {"captured by the child", child.m_hWnd, 5, 5, child.m_hWnd, -15, -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.capture)
            SetCapture(c.capture);
        const MSG msg = next(ButtonEvent(true, SDL_BUTTON_LEFT, c.x, c.y));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_LBUTTONDOWN));
        EXPECT_EQ(msg.hwnd, c.target);
        EXPECT_EQ(msg.lParam, MAKELPARAM(c.tx, c.ty));
        next(ButtonEvent(false, SDL_BUTTON_LEFT, c.x, c.y));
        ReleaseCapture();
    }

    ::SetFocus(child.m_hWnd);
    MSG msg = next(KeyEvent(true, SDL_SCANCODE_A, SDLK_a));
    EXPECT_EQ(msg.hwnd, child.m_hWnd);
    next(KeyEvent(false, SDL_SCANCODE_A, SDLK_a));
    ::SetFocus(wnd.m_hWnd);
    msg = next(KeyEvent(true, SDL_SCANCODE_A, SDLK_a));
    EXPECT_EQ(msg.hwnd, wnd.m_hWnd);
    next(KeyEvent(false, SDL_SCANCODE_A, SDLK_a));
    Deliver({});
}

// A window with a sizing frame resized, minimised or restored on screen has that client size
// from then on, and its program hears of it through WM_SIZE.
TEST(SdlInput, ResizingOnScreenResizesTheClientArea)
{
    ShownWnd wnd;
    ASSERT_TRUE(wnd.Create("SDL resize", 0, 0, 0));
    SDL_Window* sdl = SdlWindowTitled("SDL resize");
    if (!sdl)
        GTEST_SKIP() << "SDL's dummy video driver is not available";
    EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_RESIZABLE, 0u);
    g_windowId = SDL_GetWindowID(sdl);
    Deliver({});
    SDL_Event grown = WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
    grown.window.data1 = 150;
    grown.window.data2 = 80;
    const std::vector<Expected> sized = {{WM_SIZE, SIZE_RESTORED, MAKELPARAM(150, 80)}};
    EXPECT_EQ(Deliver({grown}), sized);
    RECT rc;
    wnd.GetClientRect(&rc);
    EXPECT_EQ(rc.right, 150);
    EXPECT_EQ(rc.bottom, 80);
    Deliver({WindowEvent(SDL_WINDOWEVENT_MINIMIZED)});
    EXPECT_TRUE(IsIconic(wnd.m_hWnd));
    Deliver({WindowEvent(SDL_WINDOWEVENT_RESTORED)});
    EXPECT_FALSE(IsIconic(wnd.m_hWnd));
}

#else

TEST(SdlInput, EventsBecomeWindowsMessages)
{
    GTEST_SKIP() << "built without SDL2";
}

#endif
