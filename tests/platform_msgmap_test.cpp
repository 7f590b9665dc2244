// Message maps, the handlers' argument unpacking, keyboard state and characters, and the
// application object. Headless: no window reaches a screen.
//
// The lParam layouts used below are Microsoft's (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_CHAR):
// bits 0-15 repeat count, 16-23 scan code, 24 extended key, 29 Alt held (context code), 30 the
// key was down before, 31 released. MFC hands key handlers the low word as nRepCnt and the high
// word as nFlags; mouse handlers get wParam as nFlags and the signed 16-bit coordinates of
// lParam; OnMouseWheel gets the low word of wParam as nFlags and the high word as zDelta.
#include <gtest/gtest.h>

#include <MoxImage2.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#else
const bool kHeadless = true;     // windows are created hidden
#endif

std::string Format(const char* format, long a = 0, long b = 0, long c = 0, long d = 0)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

// clang-format off
// Every handler records its name and arguments. MapWnd lists its handlers in a message map, as an
// MFC host does; OverrideWnd overrides CWnd's virtual handlers and has no map.
#define MOX_RECORDING_HANDLERS(qualifier)                                                                              \
    std::vector<std::string> calls;                                                                              \
    BOOL wheelResult = TRUE;                                                                                     \
                                                                                                                  \
protected:                                                                                                       \
    afx_msg void OnKeyDown(UINT c, UINT n, UINT f) qualifier { calls.push_back(Format("KeyDown %ld %ld %#lx", c, n, f)); } \
    afx_msg void OnKeyUp(UINT c, UINT n, UINT f) qualifier { calls.push_back(Format("KeyUp %ld %ld %#lx", c, n, f)); }     \
    afx_msg void OnSysKeyDown(UINT c, UINT n, UINT f) qualifier                                                      \
    {                                                                                                            \
        calls.push_back(Format("SysKeyDown %ld %ld %#lx", c, n, f));                                             \
    }                                                                                                            \
    afx_msg void OnSysKeyUp(UINT c, UINT n, UINT f) qualifier { calls.push_back(Format("SysKeyUp %ld %ld %#lx", c, n, f)); } \
    afx_msg void OnChar(UINT c, UINT n, UINT f) qualifier { calls.push_back(Format("Char %ld %ld %#lx", c, n, f)); }       \
    afx_msg void OnSysChar(UINT c, UINT n, UINT f) qualifier { calls.push_back(Format("SysChar %ld %ld %#lx", c, n, f)); } \
    afx_msg void OnMouseMove(UINT f, CPoint p) qualifier { calls.push_back(Format("MouseMove %ld %ld %ld", f, p.x, p.y)); } \
    afx_msg void OnLButtonDown(UINT f, CPoint p) qualifier { calls.push_back(Format("LDown %ld %ld %ld", f, p.x, p.y)); } \
    afx_msg void OnLButtonUp(UINT f, CPoint p) qualifier { calls.push_back(Format("LUp %ld %ld %ld", f, p.x, p.y)); }     \
    afx_msg void OnLButtonDblClk(UINT f, CPoint p) qualifier { calls.push_back(Format("LDbl %ld %ld %ld", f, p.x, p.y)); } \
    afx_msg void OnRButtonDown(UINT f, CPoint p) qualifier { calls.push_back(Format("RDown %ld %ld %ld", f, p.x, p.y)); } \
    afx_msg void OnRButtonUp(UINT f, CPoint p) qualifier { calls.push_back(Format("RUp %ld %ld %ld", f, p.x, p.y)); }     \
    afx_msg void OnRButtonDblClk(UINT f, CPoint p) qualifier { calls.push_back(Format("RDbl %ld %ld %ld", f, p.x, p.y)); } \
    afx_msg void OnMButtonDown(UINT f, CPoint p) qualifier { calls.push_back(Format("MDown %ld %ld %ld", f, p.x, p.y)); } \
    afx_msg void OnMButtonUp(UINT f, CPoint p) qualifier { calls.push_back(Format("MUp %ld %ld %ld", f, p.x, p.y)); }     \
    afx_msg void OnMButtonDblClk(UINT f, CPoint p) qualifier { calls.push_back(Format("MDbl %ld %ld %ld", f, p.x, p.y)); } \
    afx_msg BOOL OnMouseWheel(UINT f, short z, CPoint p) qualifier                                                   \
    {                                                                                                            \
        calls.push_back(Format("Wheel %ld %ld %ld %ld", f, z, p.x, p.y));                                        \
        return wheelResult;                                                                                      \
    }                                                                                                            \
    afx_msg void OnSize(UINT t, int cx, int cy) qualifier { calls.push_back(Format("Size %ld %ld %ld", t, cx, cy)); }   \
    afx_msg void OnSetFocus(CWnd* w) qualifier { calls.push_back(w == this ? "SetFocus self" : "SetFocus other"); }  \
    afx_msg void OnKillFocus(CWnd* w) qualifier { calls.push_back(w ? "KillFocus window" : "KillFocus none"); }     \
    afx_msg void OnTimer(UINT_PTR id) qualifier { calls.push_back(Format("Timer %ld", static_cast<long>(id))); }      \
    afx_msg BOOL OnEraseBkgnd(CDC* dc) qualifier                                                                     \
    {                                                                                                            \
        calls.push_back(dc && dc->m_hDC ? "Erase dc" : "Erase none");                                           \
        return TRUE;                                                                                             \
    }
// clang-format on

class MapWnd : public CWnd {
public:
    MOX_RECORDING_HANDLERS()
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MapWnd, CWnd)
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_SYSKEYDOWN()
ON_WM_SYSKEYUP()
ON_WM_CHAR()
ON_WM_SYSCHAR()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONUP()
ON_WM_MBUTTONDBLCLK()
ON_WM_MOUSEWHEEL()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_TIMER()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class OverrideWnd : public CWnd {
public:
    MOX_RECORDING_HANDLERS(override)
};

// Popup windows have no frame, so their client area is the size asked for on every system.
BOOL CreateTestWindow(CWnd& wnd, HWND parent = nullptr, DWORD style = WS_POPUP)
{
    return wnd.CreateEx(0, AfxRegisterWndClass(0), "test", style, 0, 0, 32, 16, parent, nullptr);
}

struct Unpacking {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* call;
};

} // namespace

TEST(MessageMap, HandlersGetTheirArgumentsUnpackedThroughMapsAndOverridesAlike)
{
    ASSERT_TRUE(kHeadless);
    const LPARAM keyUp = static_cast<LPARAM>(static_cast<std::int32_t>(0xC01E0001u));
    const Unpacking kCases[] = {
        {WM_KEYDOWN, VK_LEFT, 0x014B0001, "KeyDown 37 1 0x14b"}, // extended, first press
        {WM_KEYDOWN, 'A', 0x401E0003, "KeyDown 65 3 0x401e"},    // auto-repeat, three presses
        {WM_KEYUP, 'A', keyUp, "KeyUp 65 1 0xc01e"},
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001, "SysKeyDown 115 1 0x203e"},
        {WM_SYSKEYUP, VK_MENU, keyUp, "SysKeyUp 18 1 0xc01e"},
        {WM_CHAR, 0x1F600, 0x00100002, "Char 128512 2 0x10"}, // a whole code point in one wchar_t
        {WM_SYSCHAR, 'f', 0x20210001, "SysChar 102 1 0x2021"},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-3, 70), "MouseMove 5 -3 70"},
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2), "LDown 1 1 2"},
        {WM_LBUTTONUP, 0, MAKELPARAM(1, 2), "LUp 0 1 2"},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2), "LDbl 1 1 2"},
        {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(7, -8), "RDown 10 7 -8"},
        {WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(7, 8), "RUp 8 7 8"},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(7, 8), "RDbl 2 7 8"},
        {WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(32767, -32768), "MDown 16 32767 -32768"},
        {WM_MBUTTONUP, 0, MAKELPARAM(0, 0), "MUp 0 0 0"},
        {WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(5, 5), "MDbl 16 5 5"},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -240), MAKELPARAM(1000, -20), "Wheel 8 -240 1000 -20"},
        {WM_SIZE, SIZE_MINIMIZED, 0, "Size 1 0 0"},
        {WM_SIZE, SIZE_RESTORED, MAKELPARAM(65535, 480), "Size 0 65535 480"}, // sizes are unsigned
        {WM_SETFOCUS, 0, 0, "SetFocus other"},
        {WM_KILLFOCUS, 0, 0, "KillFocus none"},
        {WM_TIMER, 77, 0, "Timer 77"},
    };
    MapWnd mapped;
    OverrideWnd overridden;
    ASSERT_TRUE(CreateTestWindow(mapped));
    ASSERT_TRUE(CreateTestWindow(overridden));
    EXPECT_EQ(mapped.calls, std::vector<std::string>{"Size 0 32 16"}); // CreateEx tells the size
    EXPECT_EQ(overridden.calls, std::vector<std::string>{"Size 0 32 16"});
    for (const Unpacking& c : kCases) {
        SCOPED_TRACE(c.call);
        mapped.calls.clear();
        overridden.calls.clear();
        mapped.SendMessage(c.message, c.wParam, c.lParam);
        overridden.SendMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(mapped.calls, std::vector<std::string>{c.call});
        EXPECT_EQ(overridden.calls, std::vector<std::string>{c.call});
    }

    // Results: the wheel handler's BOOL; the erase handler sees the device context passed in.
    mapped.wheelResult = FALSE;
    EXPECT_EQ(mapped.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0), 0);
    mapped.wheelResult = TRUE;
    EXPECT_EQ(mapped.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0), 1);
    HDC dc = GetDC(mapped.m_hWnd);
    mapped.calls.clear();
    EXPECT_EQ(mapped.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    EXPECT_EQ(mapped.calls, std::vector<std::string>{"Erase dc"});
    ReleaseDC(mapped.m_hWnd, dc);
    // The focus handlers are handed the window behind the handle.
    mapped.calls.clear();
    mapped.SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(mapped.m_hWnd), 0);
    mapped.SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(overridden.m_hWnd), 0);
    EXPECT_EQ(mapped.calls, (std::vector<std::string>{"SetFocus self", "KillFocus window"}));
}

namespace {

constexpr UINT kIdSave = 100, kIdFirstColour = 200, kIdLastColour = 209, kIdButton = 300, kIdOnlyOverride = 400;
constexpr UINT WM_APP_PING = WM_USER + 10, WM_APP_PONG = WM_USER + 11;

// A window that keeps its width at most 50 when it is moved or sized, and says so.
class CappedWnd : public CWnd {
public:
    std::vector<std::string> calls;
    bool swallowChanged = false;

protected:
    afx_msg void OnWindowPosChanging(WINDOWPOS* wp)
    {
        if (!(wp->flags & SWP_NOSIZE) && wp->cx > 50)
            wp->cx = 50;
        CWnd::OnWindowPosChanging(wp);
    }
    afx_msg void OnWindowPosChanged(WINDOWPOS* wp)
    {
        calls.push_back(Format("Changed %ld", wp->cx));
        if (!swallowChanged)
            CWnd::OnWindowPosChanged(wp); // DefWindowProc: WM_MOVE and WM_SIZE
    }
    afx_msg void OnSize(UINT t, int cx, int cy) { calls.push_back(Format("Size %ld %ld %ld", t, cx, cy)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CappedWnd, CWnd)
ON_WM_WINDOWPOSCHANGING()
ON_WM_WINDOWPOSCHANGED()
ON_WM_SIZE()
END_MESSAGE_MAP()

} // namespace

// Windows: the WINDOWPOS a WM_WINDOWPOSCHANGING handler changes is what the window gets, and
// WM_SIZE comes from DefWindowProc's handling of WM_WINDOWPOSCHANGED (MSDN
// WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED; MFC's CWnd::OnWindowPosChanged calls the default).
TEST(MessageMap, PositionHandlersChangeTheWindowPosAndDecideOnWmSize)
{
    for (bool swallow : {false, true}) {
        CappedWnd wnd;
        ASSERT_TRUE(CreateTestWindow(wnd));
        wnd.calls.clear();
        wnd.swallowChanged = swallow;
        wnd.MoveWindow(0, 0, 80, 16);
        CRect r;
        wnd.GetClientRect(&r);
        EXPECT_EQ(r.Width(), 50);
        const std::vector<std::string> expected =
            swallow ? std::vector<std::string>{"Changed 50"} : std::vector<std::string>{"Changed 50", "Size 0 50 16"};
        EXPECT_EQ(wnd.calls, expected);
        wnd.DestroyWindow();
    }
}

namespace {

class BaseWnd : public CWnd {
public:
    std::vector<std::string> calls;

protected:
    afx_msg void OnSave() { calls.push_back("Base::OnSave"); }
    afx_msg void OnColour(UINT nID) { calls.push_back(Format("Base::OnColour %ld", nID)); }
    afx_msg LRESULT OnPing(WPARAM w, LPARAM l)
    {
        calls.push_back(Format("Base::OnPing %ld %ld", static_cast<long>(w), static_cast<long>(l)));
        return 42;
    }
    afx_msg void OnLButtonDown(UINT, CPoint p) { calls.push_back(Format("Base::OnLButtonDown %ld %ld", p.x, p.y)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
ON_COMMAND(kIdSave, OnSave)
ON_COMMAND_RANGE(kIdFirstColour, kIdLastColour, OnColour)
ON_MESSAGE(WM_APP_PING, OnPing)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// Its own entry for kIdSave comes first; the rest of the base map still applies. OnCommand is
// overridden the way the demo does it: one id here, everything else to CWnd.
class DerivedWnd : public BaseWnd {
protected:
    afx_msg void OnSaveHere() { calls.push_back("Derived::OnSaveHere"); }
    afx_msg void OnButton() { calls.push_back("Derived::OnButton"); }
    afx_msg LRESULT OnPong(WPARAM, LPARAM) { return 7; }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == kIdOnlyOverride) {
            calls.push_back("Derived::OnCommand");
            return TRUE;
        }
        return CWnd::OnCommand(wParam, lParam);
    }
    LRESULT DefWindowProc(UINT message, WPARAM w, LPARAM l) override
    {
        if (message == WM_COMMAND)
            calls.push_back(Format("DefWindowProc command %ld", static_cast<long>(LOWORD(w))));
        return CWnd::DefWindowProc(message, w, l);
    }
    DECLARE_MESSAGE_MAP()
};

// Handlers named as today's wizards write them; BaseWnd's map uses the older bare names.
BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
ON_COMMAND(kIdSave, &DerivedWnd::OnSaveHere)
ON_BN_CLICKED(kIdButton, &DerivedWnd::OnButton)
ON_MESSAGE(WM_APP_PONG, &DerivedWnd::OnPong)
END_MESSAGE_MAP()

} // namespace

TEST(MessageMap, DerivedEntriesWinAndBaseEntriesAreStillReached)
{
    DerivedWnd wnd;
    ASSERT_TRUE(CreateTestWindow(wnd));
    const HWND someControl = wnd.m_hWnd; // any non-zero lParam marks a control's notification
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, kIdSave, 0), 1);
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, kIdFirstColour + 3, 0), 1);
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, kIdLastColour, 0), 1);
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kIdButton, BN_CLICKED), reinterpret_cast<LPARAM>(someControl)), 1);
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, kIdButton, 0), 1); // a program's command with the same id
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, kIdOnlyOverride, 0), 1);
    EXPECT_EQ(wnd.SendMessage(WM_APP_PING, 5, 6), 42);
    EXPECT_EQ(wnd.SendMessage(WM_APP_PONG, 0, 0), 7);
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(9, 10));
    EXPECT_EQ(wnd.calls, (std::vector<std::string>{"Derived::OnSaveHere", "Base::OnColour 203", "Base::OnColour 209",
                                                   "Derived::OnButton", "Derived::OnButton", "Derived::OnCommand",
                                                   "Base::OnPing 5 6", "Base::OnLButtonDown 9 10"}));

    // Nothing handles these: an id outside every range, a notification code no entry names, and
    // id 0, which is never a command. They go on to DefWindowProc and SendMessage answers 0.
    wnd.calls.clear();
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, kIdLastColour + 1, 0), 0);
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kIdButton, 5), reinterpret_cast<LPARAM>(someControl)), 0);
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, 0, 0), 0);
    EXPECT_EQ(wnd.calls, (std::vector<std::string>{"DefWindowProc command 210", "DefWindowProc command 300",
                                                   "DefWindowProc command 0"}));

    // Asking who would handle a command calls nothing.
    wnd.calls.clear();
    AFX_CMDHANDLERINFO info{};
    EXPECT_TRUE(wnd.OnCmdMsg(kIdSave, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &wnd);
    EXPECT_FALSE(wnd.OnCmdMsg(kIdLastColour + 1, CN_COMMAND, nullptr, &info));
    EXPECT_TRUE(wnd.calls.empty());
}

namespace {

// An image button's click reaches its owner's ON_COMMAND entry.
class ButtonOwner : public CWnd {
public:
    int clicks = 0;

protected:
    afx_msg void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ButtonOwner, CWnd)
ON_COMMAND(kIdButton, OnClicked)
END_MESSAGE_MAP()

} // namespace

TEST(MessageMap, ImageButtonClickReachesOnCommandEntry)
{
    CMoxGraphics canvas;
    canvas.GdiInit();
    ButtonOwner owner;
    ASSERT_TRUE(CreateTestWindow(owner));
    std::vector<unsigned char> pixels(4 * 4 * 3, 0x80);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    CMoxBitmap look;
    look.Init(pixels.data(), static_cast<int>(pixels.size()), bmi, 0);
    CMoxButton button;
    button.Init(&owner, kIdButton, 0, 0, &look, &look, &look, &look);
    ASSERT_EQ(button.OnMouseDown(1, 1), 1);
    ASSERT_EQ(button.OnMouseUp(1, 1), 1);
    EXPECT_EQ(owner.clicks, 1);
}

TEST(MessageMap, DefaultHandlingClosesOnAltF4AndPassesWheelToParent)
{
    MapWnd parent;
    ASSERT_TRUE(CreateTestWindow(parent));
    CWnd child; // handles nothing itself
    ASSERT_TRUE(CreateTestWindow(child, parent.m_hWnd, WS_CHILD));
    parent.calls.clear();
    child.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(3, 4));
    EXPECT_EQ(parent.calls, std::vector<std::string>{"Wheel 0 -120 3 4"});

    // Alt+F4 in a child closes its top-level window, once the posted system command is
    // dispatched (Wine's default procedure posts it; so does this one).
    CWnd closing, inside;
    ASSERT_TRUE(CreateTestWindow(closing, nullptr, WS_OVERLAPPEDWINDOW));
    ASSERT_TRUE(CreateTestWindow(inside, closing.m_hWnd, WS_CHILD));
    auto dispatchAll = [] {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    };
    inside.SendMessage(WM_SYSKEYDOWN, VK_F4, 0x003E0001); // F4 without Alt: nothing
    dispatchAll();
    EXPECT_TRUE(IsWindow(closing.m_hWnd));
    inside.SendMessage(WM_SYSKEYDOWN, VK_F4, 0x203E0001);
    EXPECT_TRUE(IsWindow(closing.m_hWnd));
    dispatchAll();
    EXPECT_EQ(closing.m_hWnd, nullptr);
    EXPECT_EQ(inside.m_hWnd, nullptr);
}

// Posted key messages move the stand-in's key state: headless, it has no other keyboard. Windows
// changes key state only for real input, so these run on the stand-in.
#ifndef _WIN32

// --- Keys: state and characters -------------------------------------------------------------

namespace {

LPARAM KeyParam(UINT scan, bool up, bool extended = false, bool alt = false)
{
    DWORD l = 1 | (scan << 16);
    if (extended)
        l |= 1u << 24;
    if (alt)
        l |= 1u << 29;
    if (up)
        l |= 3u << 30;
    return static_cast<LPARAM>(static_cast<std::int32_t>(l));
}

// Retrieves, translates and dispatches everything queued, and returns the character messages
// TranslateMessage made on the way.
std::vector<MSG> PumpCharacters()
{
    std::vector<MSG> chars;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR)
            chars.push_back(msg);
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return chars;
}

struct Key {
    UINT message;
    WPARAM vk;
    UINT scan;
};

} // namespace

TEST(Keyboard, TranslateMessageTypesWhatAUsLayoutWouldWithTheQueueModifiers)
{
    CWnd wnd;
    ASSERT_TRUE(CreateTestWindow(wnd));
    const HWND h = wnd.m_hWnd;
    struct Case {
        std::vector<Key> before; // pressed first, released after
        Key key;
        UINT charMessage;
        std::wstring typed;
    };
    const Key shift{WM_KEYDOWN, VK_SHIFT, 0x2A}, control{WM_KEYDOWN, VK_CONTROL, 0x1D};
    const Key alt{WM_SYSKEYDOWN, VK_MENU, 0x38};
    const Case kCases[] = {
        {{}, {WM_KEYDOWN, 'A', 0x1E}, WM_CHAR, L"a"},
        {{shift}, {WM_KEYDOWN, 'A', 0x1E}, WM_CHAR, L"A"},
        {{shift}, {WM_KEYDOWN, '1', 0x02}, WM_CHAR, L"!"},
        {{}, {WM_KEYDOWN, VK_OEM_2, 0x35}, WM_CHAR, L"/"},
        {{shift}, {WM_KEYDOWN, VK_OEM_7, 0x28}, WM_CHAR, L"\""},
        {{}, {WM_KEYDOWN, VK_SPACE, 0x39}, WM_CHAR, L" "},
        {{}, {WM_KEYDOWN, VK_RETURN, 0x1C}, WM_CHAR, L"\r"},
        {{}, {WM_KEYDOWN, VK_ESCAPE, 0x01}, WM_CHAR, L"\x1b"},
        {{}, {WM_KEYDOWN, VK_BACK, 0x0E}, WM_CHAR, L"\b"},
        {{control}, {WM_KEYDOWN, 'C', 0x2E}, WM_CHAR, L"\x03"},
        {{}, {WM_KEYDOWN, VK_NUMPAD7, 0x47}, WM_CHAR, L"7"},
        {{}, {WM_KEYDOWN, VK_LEFT, 0x4B}, WM_CHAR, L""},
        {{}, {WM_KEYDOWN, VK_F1, 0x3B}, WM_CHAR, L""},
        {{alt}, {WM_SYSKEYDOWN, 'F', 0x21}, WM_SYSCHAR, L"f"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.key.vk));
        for (const Key& k : c.before)
            PostMessage(h, k.message, k.vk, KeyParam(k.scan, false));
        PostMessage(h, c.key.message, c.key.vk, KeyParam(c.key.scan, false));
        const std::vector<MSG> chars = PumpCharacters();
        std::wstring typed;
        for (const MSG& m : chars) {
            EXPECT_EQ(m.message, c.charMessage);
            EXPECT_EQ(m.lParam, KeyParam(c.key.scan, false)); // the key-down's lParam
            typed += static_cast<wchar_t>(m.wParam);
        }
        EXPECT_EQ(typed, c.typed);
        PostMessage(h, WM_KEYUP, c.key.vk, KeyParam(c.key.scan, true));
        for (const Key& k : c.before)
            PostMessage(h, k.message == WM_SYSKEYDOWN ? WM_SYSKEYUP : WM_KEYUP, k.vk, KeyParam(k.scan, true));
        EXPECT_TRUE(PumpCharacters().empty()); // releases type nothing
    }

    // Caps Lock is a toggle: pressed once it inverts Shift until pressed again.
    for (int round = 0; round < 2; ++round) {
        PostMessage(h, WM_KEYDOWN, VK_CAPITAL, KeyParam(0x3A, false));
        PostMessage(h, WM_KEYUP, VK_CAPITAL, KeyParam(0x3A, true));
        PostMessage(h, WM_KEYDOWN, 'Q', KeyParam(0x10, false));
        PostMessage(h, WM_KEYUP, 'Q', KeyParam(0x10, true));
        const std::vector<MSG> chars = PumpCharacters();
        ASSERT_EQ(chars.size(), 1u);
        EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(round == 0 ? 'Q' : 'q'));
    }
}

TEST(Keyboard, KeyStateFollowsTheMessagesRetrieved)
{
    CWnd wnd;
    ASSERT_TRUE(CreateTestWindow(wnd));
    const HWND h = wnd.m_hWnd;
    EXPECT_GE(GetKeyState(VK_SPACE), 0);
    const int toggled = GetKeyState(VK_SPACE) & 1;
    PostMessage(h, WM_KEYDOWN, VK_SPACE, KeyParam(0x39, false));
    EXPECT_GE(GetKeyState(VK_SPACE), 0); // posted, not yet retrieved
    PumpCharacters();
    EXPECT_LT(GetKeyState(VK_SPACE), 0);
    EXPECT_LT(GetAsyncKeyState(VK_SPACE), 0);
    EXPECT_EQ(GetKeyState(VK_SPACE) & 1, !toggled); // each press toggles the low bit

    // The right-hand Shift (scan code 0x36) and Control (extended) set their own codes and the
    // generic one, which stays down while either side is.
    PostMessage(h, WM_KEYDOWN, VK_SHIFT, KeyParam(0x36, false));
    PostMessage(h, WM_KEYDOWN, VK_SHIFT, KeyParam(0x2A, false));
    PostMessage(h, WM_KEYDOWN, VK_CONTROL, KeyParam(0x1D, false, true));
    PostMessage(h, WM_KEYUP, VK_SHIFT, KeyParam(0x36, true));
    PostMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PumpCharacters();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
    EXPECT_GE(GetKeyState(VK_RSHIFT), 0);
    EXPECT_LT(GetKeyState(VK_RCONTROL), 0);
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);

    PostMessage(h, WM_KEYUP, VK_SPACE, KeyParam(0x39, true));
    PostMessage(h, WM_KEYUP, VK_SHIFT, KeyParam(0x2A, true));
    PostMessage(h, WM_KEYUP, VK_CONTROL, KeyParam(0x1D, true, true));
    PostMessage(h, WM_LBUTTONUP, 0, 0);
    PumpCharacters();
    for (int vk : {VK_SPACE, VK_SHIFT, VK_LSHIFT, VK_CONTROL, VK_RCONTROL, VK_LBUTTON}) {
        EXPECT_GE(GetKeyState(vk), 0) << vk;
        EXPECT_EQ(GetAsyncKeyState(vk), 0) << vk;
    }
    EXPECT_EQ(GetKeyState(VK_SPACE) & 1, !toggled); // the toggle stays until the next press
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetKeyState(256), 0);
}

#endif // _WIN32

// --- The application object -----------------------------------------------------------------

namespace {

constexpr UINT kIdQuit = 500, kIdAbout = 501;
constexpr DWORD WS_EX_TOOLWINDOW_FOR_TEST = 0x80;
int g_framesAlive = 0;

class TestFrame : public CFrameWnd {
public:
    std::vector<std::string>* log = nullptr;
    TestFrame() { ++g_framesAlive; }
    ~TestFrame() override { --g_framesAlive; }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        // Hosts catch keys here before they are translated; F2 stops here.
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F2) {
            log->push_back("PreTranslate F2");
            return TRUE;
        }
        return FALSE;
    }

protected:
    afx_msg void OnQuit() { DestroyWindow(); }
    afx_msg void OnKeyDown(UINT nChar, UINT, UINT) { log->push_back(Format("KeyDown %ld", nChar)); }
    afx_msg void OnChar(UINT nChar, UINT, UINT) { log->push_back(Format("Char %ld", nChar)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
ON_COMMAND(kIdQuit, OnQuit)
ON_WM_KEYDOWN()
ON_WM_CHAR()
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    std::vector<std::string> log;
    int idleCalls = 0;

    BOOL InitInstance() override
    {
        auto* frame = new TestFrame;
        frame->log = &log;
        m_pMainWnd = frame;
        if (!frame->Create(nullptr, "Frame title", WS_OVERLAPPEDWINDOW, CRect(10, 20, 110, 70)))
            return FALSE;
        frame->ShowWindow(m_nCmdShow);
        PostMessage(frame->m_hWnd, WM_KEYDOWN, 'K', 0x00250001);
        PostMessage(frame->m_hWnd, WM_KEYDOWN, VK_F2, 0x003C0001);
        PostMessage(frame->m_hWnd, WM_COMMAND, kIdAbout, 0);
        return TRUE;
    }
    // Asks for three calls once the queue runs dry; the third closes the main window.
    BOOL OnIdle(LONG lCount) override
    {
        ++idleCalls;
        if (lCount == 2)
            PostMessage(m_pMainWnd->m_hWnd, WM_COMMAND, kIdQuit, 0);
        return lCount < 2;
    }
    int ExitInstance() override
    {
        log.push_back("ExitInstance");
        return CWinApp::ExitInstance() + 5;
    }

protected:
    afx_msg void OnAbout() { log.push_back("App::OnAbout"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(kIdAbout, OnAbout)
END_MESSAGE_MAP()

} // namespace

TEST(Application, RunsItsMainWindowUntilItIsDestroyed)
{
    TestApp app;
    ASSERT_EQ(AfxGetApp(), &app);
    char args[] = "--flag value";
    const int rc = AfxWinMain(nullptr, nullptr, args, SW_SHOW);
    EXPECT_EQ(app.m_lpCmdLine, args);
    // The frame's map takes keys and characters (the character TranslateMessage posted comes
    // after what was queued before it), PreTranslateMessage stops F2 before them, and the app's
    // map takes a command the frame does not handle. Destroying the main window ended the loop
    // with exit code 0, and the frame deleted itself.
    EXPECT_EQ(app.log,
              (std::vector<std::string>{"KeyDown 75", "PreTranslate F2", "App::OnAbout", "Char 107", "ExitInstance"}));
    EXPECT_EQ(rc, 5);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(g_framesAlive, 0);
#ifndef _WIN32
    EXPECT_EQ(app.idleCalls, 3); // only while the queue was empty
#else
    EXPECT_GE(app.idleCalls, 3); // a real window may get messages of its own in between
#endif
}

TEST(Application, FrameWindowHasItsTitleAndPlace)
{
    auto* frame = new TestFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Title", WS_POPUP, CRect(-40, 30, 60, 80)));
    char title[16];
    EXPECT_EQ(frame->GetWindowText(title, sizeof title), 5);
    EXPECT_STREQ(title, "Title");
    EXPECT_EQ(frame->GetWindowText(title, 3), 2); // truncated, still terminated
    EXPECT_STREQ(title, "Ti");
    frame->SetWindowText("Renamed");
    frame->GetWindowText(title, sizeof title);
    EXPECT_STREQ(title, "Renamed");
    CRect rc;
    frame->GetWindowRect(&rc);
    EXPECT_EQ(rc.left, -40);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.Width(), 100);
    EXPECT_EQ(rc.Height(), 50);
    CPoint p(5, 6);
    frame->ClientToScreen(&p);
    EXPECT_EQ(p.x, -35);
    EXPECT_EQ(p.y, 36);
    frame->ScreenToClient(&p);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);
    // A child is placed within its parent's client area.
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(5, 6, 15, 26), frame, 7));
    EXPECT_EQ(child.GetParent(), frame);
    CPoint origin(0, 0), expected(5, 6);
    child.ClientToScreen(&origin);
    frame->ClientToScreen(&expected);
    EXPECT_EQ(origin.x, expected.x);
    EXPECT_EQ(origin.y, expected.y);
    child.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), 10);
    EXPECT_EQ(rc.Height(), 20);

    // The default rectangle gives a window of the default size.
    auto* byDefault = new TestFrame;
    ASSERT_TRUE(byDefault->Create(nullptr, "Default"));
    byDefault->GetClientRect(&rc);
    EXPECT_GT(rc.Width(), 0);
    EXPECT_GT(rc.Height(), 0);
    frame->DestroyWindow();
    byDefault->DestroyWindow();
    EXPECT_EQ(g_framesAlive, 0);
}

namespace {

// Keeps what WM_CREATE's CREATESTRUCT said.
class CreateWatcher : public CWnd {
public:
    CREATESTRUCT seen{};
    std::string name;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        seen = *cs;
        name = cs->lpszName;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CreateWatcher, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

} // namespace

TEST(Application, CreateStructCarriesTheCreationArguments)
{
    CreateWatcher wnd;
    int cookie = 0;
    ASSERT_TRUE(
        wnd.CreateEx(WS_EX_TOOLWINDOW_FOR_TEST, nullptr, "named", WS_POPUP, 3, 4, 30, 40, nullptr, nullptr, &cookie));
    EXPECT_EQ(wnd.seen.lpCreateParams, &cookie);
    EXPECT_EQ(wnd.seen.x, 3);
    EXPECT_EQ(wnd.seen.y, 4);
    EXPECT_EQ(wnd.seen.cx, 30);
    EXPECT_EQ(wnd.seen.cy, 40);
    EXPECT_EQ(wnd.seen.dwExStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW_FOR_TEST));
    EXPECT_EQ(wnd.name, "named");
}

#ifndef _WIN32 // Windows shows the box and waits
TEST(Application, MessageBoxWithoutADisplayPrintsAndAnswersTheDefaultButton)
{
    const struct {
        UINT type;
        int answer;
    } kCases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_RETRYCANCEL, IDRETRY},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
        {0x0F, IDOK}, // no such set of buttons
    };
    for (const auto& c : kCases) {
        testing::internal::CaptureStderr();
        const int answer = MessageBox(nullptr, "Saved.", "Host", c.type);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, c.answer) << c.type;
        EXPECT_EQ(printed, "Host: Saved.\n");
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox(nullptr), IDOK); // no app object here, no text: still answered
    testing::internal::GetCapturedStderr();
}
#endif
