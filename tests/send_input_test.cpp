// Synthesised input: which calls SendInput refuses, the key messages its strokes become (form,
// virtual key, lParam flags), the key state they move, and where its clicks land. Written against
// Windows' own names only, so it runs against the real USER too.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <vector>

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

// A shown window that has the focus, as input needs.
struct Target {
    HWND hwnd = nullptr;
    Target()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MoxSendInputTarget";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"input", WS_POPUP | WS_VISIBLE, 40, 40, 200, 150, nullptr, nullptr,
                               wc.hInstance, nullptr);
        SetForegroundWindow(hwnd);
        SetFocus(hwnd);
        Drain();
    }
    ~Target() { DestroyWindow(hwnd); }
    // The input queued so far, read without dispatching; anything else (WM_PAINT, which comes
    // back until painted) is dispatched.
    std::vector<MSG> Drain(UINT lo = 0, UINT hi = 0)
    {
        std::vector<MSG> out;
        MSG m;
        while (PeekMessageW(&m, nullptr, lo, hi, PM_REMOVE)) {
            if ((m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
                (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST))
                out.push_back(m);
            else
                DispatchMessageW(&m);
        }
        return out;
    }
};

INPUT Key(WORD vk, DWORD flags = 0, WORD scan = 0)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    return in;
}

TEST(SendInput, RefusesBadSizesAndCountsAndHardwareInput)
{
    // Windows: a size other than sizeof(INPUT), no inputs or no array give 0 and
    // ERROR_INVALID_PARAMETER (a null array may give ERROR_NOACCESS); any INPUT_HARDWARE fails
    // the whole call of a 64-bit program with ERROR_CALL_NOT_IMPLEMENTED; unknown types are
    // counted (user32 tests input.c test_SendInput).
    Target t;
    INPUT inputs[3] = {Key('A'), Key('A', KEYEVENTF_KEYUP), Key('B')};
    struct Case {
        const char* name;
        UINT count;
        INPUT* array;
        int size;
    } refused[] = {{"no inputs", 0, inputs, sizeof(INPUT)},
                   {"a smaller size", 2, inputs, sizeof(INPUT) - 1},
                   {"a larger size", 2, inputs, sizeof(INPUT) + 1},
                   {"no array", 2, nullptr, sizeof(INPUT)}};
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(SendInput(c.count, c.array, c.size), 0u);
        EXPECT_TRUE(GetLastError() == ERROR_INVALID_PARAMETER || GetLastError() == ERROR_NOACCESS);
    }
    t.Drain();
    INPUT mixed[3] = {Key('B'), Key('A'), Key('A', KEYEVENTF_KEYUP)};
    mixed[0].type = INPUT_HARDWARE;
    SetLastError(0);
    EXPECT_EQ(SendInput(3, mixed, sizeof(INPUT)), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_TRUE(t.Drain(WM_KEYFIRST, WM_KEYLAST).empty()); // nor the keys after it

    mixed[0].type = INPUT_HARDWARE + 1;
    EXPECT_EQ(SendInput(3, mixed, sizeof(INPUT)), 3u);
    EXPECT_EQ(t.Drain(WM_KEYFIRST, WM_KEYLAST).size(), 2u);
}

struct Expected {
    UINT message;
    WPARAM vk;
    WORD flags; // lParam's high word
};
struct StrokeCase {
    const char* name;
    std::vector<INPUT> strokes;
    std::vector<Expected> messages;
};

void ExpectMessages(std::vector<StrokeCase>& cases)
{
    Target t;
    for (StrokeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(SendInput(static_cast<UINT>(c.strokes.size()), c.strokes.data(), sizeof(INPUT)), c.strokes.size());
        const std::vector<MSG> got = t.Drain(WM_KEYFIRST, WM_KEYLAST);
        ASSERT_EQ(got.size(), c.messages.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].hwnd, t.hwnd);
            EXPECT_EQ(got[i].message, c.messages[i].message);
            EXPECT_EQ(got[i].wParam, c.messages[i].vk);
            EXPECT_EQ(static_cast<DWORD>(got[i].lParam), static_cast<DWORD>(MAKELONG(1, c.messages[i].flags)));
        }
    }
}

TEST(SendInput, StrokesBecomeTheKeyMessagesWindowsSends)
{
    // Windows: with Alt down (and Control up) keys come as WM_SYSKEY*, with KF_ALTDOWN; Alt
    // released alone is WM_SYSKEYUP, after another key WM_KEYUP; Control with Alt gives WM_KEYDOWN
    // still flagged KF_ALTDOWN; the sided codes arrive as the generic ones; lParam holds a repeat
    // count of 1, wScan as given, KF_EXTENDED, and KF_UP | KF_REPEAT on a release (user32 tests
    // input.c test_SendInput_keyboard_messages; MSDN WM_KEYDOWN, WM_SYSKEYDOWN).
    std::vector<StrokeCase> cases = {
        {"a plain key",
         {Key('F', 0, 0x21), Key('F', KEYEVENTF_KEYUP, 0x21)},
         {{WM_KEYDOWN, 'F', 0x21}, {WM_KEYUP, 'F', 0x21 | KF_UP | KF_REPEAT}}},
        {"Alt and a key",
         {Key(VK_LMENU, 0, 1), Key('F', 0, 2), Key('F', KEYEVENTF_KEYUP, 3), Key(VK_LMENU, KEYEVENTF_KEYUP, 4)},
         {{WM_SYSKEYDOWN, VK_MENU, 1 | KF_ALTDOWN},
          {WM_SYSKEYDOWN, 'F', 2 | KF_ALTDOWN},
          {WM_SYSKEYUP, 'F', 3 | KF_ALTDOWN | KF_UP | KF_REPEAT},
          {WM_KEYUP, VK_MENU, 4 | KF_UP | KF_REPEAT}}},
        {"Alt alone",
         {Key(VK_MENU, 0, 1), Key(VK_MENU, KEYEVENTF_KEYUP, 2)},
         {{WM_SYSKEYDOWN, VK_MENU, 1 | KF_ALTDOWN}, {WM_SYSKEYUP, VK_MENU, 2 | KF_UP | KF_REPEAT}}},
        {"Control and Alt",
         {Key(VK_LMENU, 0, 1), Key(VK_LCONTROL, 0, 2), Key('F', 0, 3), Key('F', KEYEVENTF_KEYUP, 4),
          Key(VK_LCONTROL, KEYEVENTF_KEYUP, 5), Key(VK_LMENU, KEYEVENTF_KEYUP, 6)},
         {{WM_SYSKEYDOWN, VK_MENU, 1 | KF_ALTDOWN},
          {WM_KEYDOWN, VK_CONTROL, 2 | KF_ALTDOWN},
          {WM_KEYDOWN, 'F', 3 | KF_ALTDOWN},
          {WM_KEYUP, 'F', 4 | KF_ALTDOWN | KF_UP | KF_REPEAT},
          {WM_SYSKEYUP, VK_CONTROL, 5 | KF_ALTDOWN | KF_UP | KF_REPEAT},
          {WM_KEYUP, VK_MENU, 6 | KF_UP | KF_REPEAT}}},
        {"an extended key held down",
         {Key(VK_RIGHT, KEYEVENTF_EXTENDEDKEY, 0x4D), Key(VK_RIGHT, KEYEVENTF_EXTENDEDKEY, 0x4D),
          Key(VK_RIGHT, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0x4D)},
         {{WM_KEYDOWN, VK_RIGHT, 0x4D | KF_EXTENDED},
          {WM_KEYDOWN, VK_RIGHT, 0x4D | KF_EXTENDED | KF_REPEAT},
          {WM_KEYUP, VK_RIGHT, 0x4D | KF_EXTENDED | KF_UP | KF_REPEAT}}},
    };
    ExpectMessages(cases);
}

TEST(SendInput, ScanCodesNameTheirKeys)
{
    // Windows: with KEYEVENTF_SCANCODE wScan identifies the key and wVk is ignored (MSDN
    // KEYBDINPUT); the messages name the key the US layout puts there, E0-prefixed ones with
    // KEYEVENTF_EXTENDEDKEY.
    std::vector<StrokeCase> cases = {
        {"F, then the cursor key Up",
         {Key(0, KEYEVENTF_SCANCODE, 0x21), Key(0, KEYEVENTF_SCANCODE | KEYEVENTF_KEYUP, 0x21),
          Key(0, KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY, 0x48),
          Key(0, KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0x48)},
         {{WM_KEYDOWN, 'F', 0x21},
          {WM_KEYUP, 'F', 0x21 | KF_UP | KF_REPEAT},
          {WM_KEYDOWN, VK_UP, 0x48 | KF_EXTENDED},
          {WM_KEYUP, VK_UP, 0x48 | KF_EXTENDED | KF_UP | KF_REPEAT}}},
    };
    ExpectMessages(cases);
}

TEST(SendInput, KeyStateMovesAtOnceForTheAsyncReadAndAsMessagesAreReadForTheQueue)
{
    // Windows: GetAsyncKeyState follows input as it arrives; GetKeyState follows the messages the
    // thread has read (MSDN GetKeyState, GetAsyncKeyState).
    Target t;
    INPUT down = Key(VK_SHIFT), up = Key(VK_SHIFT, KEYEVENTF_KEYUP);
    ASSERT_EQ(SendInput(1, &down, sizeof(INPUT)), 1u);
    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    EXPECT_TRUE(GetAsyncKeyState(VK_LSHIFT) & 0x8000);
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    t.Drain();
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
    ASSERT_EQ(SendInput(1, &up, sizeof(INPUT)), 1u);
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    t.Drain();
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
}

TEST(SendInput, UnicodeStrokesTypeTheirCharacter)
{
    // Windows: KEYEVENTF_UNICODE sends VK_PACKET, which TranslateMessage makes into WM_CHAR with
    // the character in wScan (MSDN KEYBDINPUT).
    Target t;
    INPUT strokes[2] = {Key(0, KEYEVENTF_UNICODE, 0xE9), Key(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, 0xE9)};
    ASSERT_EQ(SendInput(2, strokes, sizeof(INPUT)), 2u);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(VK_PACKET));
    TranslateMessage(&m);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(0xE9));
    t.Drain();
}

TEST(SendInput, ClicksLandInTheWindowUnderThePointerInClientCoordinates)
{
    // Windows: absolute coordinates span the primary screen from 0 to 65535; the press and
    // release go to the window under the pointer with client coordinates and MK_LBUTTON held
    // during the press (MSDN MOUSEINPUT, WM_LBUTTONDOWN).
    Target t;
    POINT at{30, 20};
    ClientToScreen(t.hwnd, &at);
    INPUT in[2]{};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = static_cast<LONG>((at.x * 65536LL + 32768) / GetSystemMetrics(SM_CXSCREEN));
        i.mi.dy = static_cast<LONG>((at.y * 65536LL + 32768) / GetSystemMetrics(SM_CYSCREEN));
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
    POINT cursor{};
    ASSERT_TRUE(GetCursorPos(&cursor));
    EXPECT_EQ(cursor.x, at.x);
    EXPECT_EQ(cursor.y, at.y);
    const std::vector<MSG> got = t.Drain(WM_LBUTTONDOWN, WM_LBUTTONUP);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(got[0].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(got[1].message, static_cast<UINT>(WM_LBUTTONUP));
    for (const MSG& m : got) {
        EXPECT_EQ(m.hwnd, t.hwnd);
        EXPECT_EQ(m.lParam, MAKELPARAM(30, 20));
    }
}

} // namespace
