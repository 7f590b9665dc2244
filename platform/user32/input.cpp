// Synthesised input: SendInput's key strokes and mouse events join the queue as the screen's
// input does, addressed the way real input is (keys to the focus window, the mouse to the window
// under the pointer or the capture), and move the asynchronous key state and the pointer. A menu's
// modal loop, which reads input from the queue, sees them as real keys and clicks.
#include <windows.h>

#include <algorithm>

#include "user_internal.h"

using namespace moxplat;

namespace {

// Input beyond this many unread events is dropped, as a full hardware queue drops it.
constexpr std::size_t kMaxInput = 10000;

// Whether Alt went down and nothing else since: its release then selects the menu bar, and
// comes as WM_SYSKEYUP (user32 tests input.c: Alt alone gives WM_SYSKEYUP and SC_KEYMENU, Alt
// after another key WM_KEYUP).
bool g_altAlone = false;
// The pointer, in screen coordinates; it starts in the middle of the screen.
bool g_cursorPlaced = false;
POINT g_cursor{};

POINT& CursorLocked()
{
    if (!g_cursorPlaced) {
        g_cursor = POINT{kScreenWidth / 2, kScreenHeight / 2};
        g_cursorPlaced = true;
    }
    return g_cursor;
}

bool Down(const BYTE* state, int vk)
{
    return (state[vk] & 0x80) != 0;
}

// The virtual key of a US keyboard's scan code (set 1); `extended` for the E0-prefixed keys.
UINT KeyOfScanCode(WORD scan, bool extended)
{
    static const BYTE kPlain[0x59] = {
        0,          VK_ESCAPE,   '1',          '2',           '3',         '4',          '5',
        '6',        '7',         '8',          '9',           '0',         VK_OEM_MINUS, VK_OEM_PLUS,
        VK_BACK,    VK_TAB,      'Q',          'W',           'E',         'R',          'T',
        'Y',        'U',         'I',          'O',           'P',         VK_OEM_4,     VK_OEM_6,
        VK_RETURN,  VK_LCONTROL, 'A',          'S',           'D',         'F',          'G',
        'H',        'J',         'K',          'L',           VK_OEM_1,    VK_OEM_7,     VK_OEM_3,
        VK_LSHIFT,  VK_OEM_5,    'Z',          'X',           'C',         'V',          'B',
        'N',        'M',         VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2,    VK_RSHIFT,    VK_MULTIPLY,
        VK_LMENU,   VK_SPACE,    VK_CAPITAL,   VK_F1,         VK_F2,       VK_F3,        VK_F4,
        VK_F5,      VK_F6,       VK_F7,        VK_F8,         VK_F9,       VK_F10,       VK_NUMLOCK,
        VK_SCROLL,  VK_NUMPAD7,  VK_NUMPAD8,   VK_NUMPAD9,    VK_SUBTRACT, VK_NUMPAD4,   VK_NUMPAD5,
        VK_NUMPAD6, VK_ADD,      VK_NUMPAD1,   VK_NUMPAD2,    VK_NUMPAD3,  VK_NUMPAD0,   VK_DECIMAL,
        0,          0,           VK_OEM_102,   VK_F11,        VK_F12};
    if (extended) {
        switch (scan) {
        case 0x1C:
            return VK_RETURN;
        case 0x1D:
            return VK_RCONTROL;
        case 0x35:
            return VK_DIVIDE;
        case 0x38:
            return VK_RMENU;
        case 0x47:
            return VK_HOME;
        case 0x48:
            return VK_UP;
        case 0x49:
            return VK_PRIOR;
        case 0x4B:
            return VK_LEFT;
        case 0x4D:
            return VK_RIGHT;
        case 0x4F:
            return VK_END;
        case 0x50:
            return VK_DOWN;
        case 0x51:
            return VK_NEXT;
        case 0x52:
            return VK_INSERT;
        case 0x53:
            return VK_DELETE;
        case 0x5B:
            return VK_LWIN;
        case 0x5C:
            return VK_RWIN;
        case 0x5D:
            return VK_APPS;
        default:
            return 0;
        }
    }
    return scan < sizeof kPlain ? kPlain[scan] : 0;
}

// Messages carry the generic Shift, Control and Alt codes; the side stays in the scan code or
// the extended bit (user32 tests input.c: VK_LMENU arrives as VK_MENU, VK_LMENU with
// KEYEVENTF_EXTENDEDKEY moves the right Alt's state).
UINT GenericKey(UINT vk)
{
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return vk;
    }
}

// Under the lock: one key stroke, queued for the focus window (the active one, as a WM_SYS
// message, when nothing has the focus: Microsoft's WM_SYSKEYDOWN).
void KeyLocked(Registry& reg, const KEYBDINPUT& ki, HWND active)
{
    const bool up = (ki.dwFlags & KEYEVENTF_KEYUP) != 0;
    const bool extended = (ki.dwFlags & KEYEVENTF_EXTENDEDKEY) != 0;
    UINT vk = ki.wVk;
    WORD scan = ki.wScan;
    std::wstring text;
    if (ki.dwFlags & KEYEVENTF_UNICODE) {
        // A character with no key: VK_PACKET, which TranslateMessage turns into the character.
        vk = VK_PACKET;
        if (!up)
            text.assign(1, static_cast<wchar_t>(ki.wScan));
        scan = 0;
    } else if (ki.dwFlags & KEYEVENTF_SCANCODE) {
        vk = KeyOfScanCode(scan, extended);
    }
    vk = GenericKey(vk & 0xFF);
    if (ki.wVk == VK_RSHIFT && !(ki.dwFlags & (KEYEVENTF_SCANCODE | KEYEVENTF_UNICODE)))
        scan = 0x36; // the right Shift is told apart by its scan code

    MSG msg{};
    msg.wParam = vk;
    msg.lParam = static_cast<LPARAM>(static_cast<DWORD>(1) |
                                     static_cast<DWORD>((scan & 0xFF) | (extended ? KF_EXTENDED : 0)) << 16);
    const bool wasDown = vk != VK_PACKET && vk != 0 && Down(reg.asyncKeyState, static_cast<int>(vk));
    msg.message = up ? WM_KEYUP : WM_KEYDOWN;
    ApplyKeyMessage(reg.asyncKeyState, msg, false);

    const bool alt = Down(reg.asyncKeyState, VK_MENU), control = Down(reg.asyncKeyState, VK_CONTROL);
    bool sys = alt && !control;
    if (vk == VK_MENU && up)
        sys = g_altAlone && !control;
    if (vk == VK_F10)
        sys = true;
    if (vk == VK_MENU && !up)
        g_altAlone = true;
    else if (!up)
        g_altAlone = false;

    HWND target = reg.focus && reg.Window(reg.focus) ? reg.focus : nullptr;
    if (!target) {
        target = active;
        sys = true;
    }
    WORD flags = HIWORD(msg.lParam);
    if (alt)
        flags |= KF_ALTDOWN;
    if (up)
        flags |= KF_UP | KF_REPEAT;
    else if (wasDown)
        flags |= KF_REPEAT;
    msg.lParam = MAKELPARAM(1, flags);
    msg.message = sys ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    if (!target || !reg.Window(target) || reg.input.size() >= kMaxInput)
        return; // no window of this thread takes keys: the stroke only moves the key state
    msg.hwnd = target;
    msg.time = GetTickCount();
    reg.input.push_back(msg);
    if (!text.empty())
        reg.keyTexts.push_back({msg, text});
    reg.wake.notify_all();
}

struct Press {
    DWORD flag;
    UINT message; // the client-area form; the non-client one is WM_NC...
    int vk;
};
constexpr Press kPresses[] = {
    {MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN, VK_LBUTTON},   {MOUSEEVENTF_LEFTUP, WM_LBUTTONUP, VK_LBUTTON},
    {MOUSEEVENTF_RIGHTDOWN, WM_RBUTTONDOWN, VK_RBUTTON},  {MOUSEEVENTF_RIGHTUP, WM_RBUTTONUP, VK_RBUTTON},
    {MOUSEEVENTF_MIDDLEDOWN, WM_MBUTTONDOWN, VK_MBUTTON}, {MOUSEEVENTF_MIDDLEUP, WM_MBUTTONUP, VK_MBUTTON},
};

// The mouse-key state wParam of client mouse messages.
WPARAM MouseKeys(const BYTE* state)
{
    WPARAM keys = 0;
    if (Down(state, VK_LBUTTON))
        keys |= MK_LBUTTON;
    if (Down(state, VK_RBUTTON))
        keys |= MK_RBUTTON;
    if (Down(state, VK_MBUTTON))
        keys |= MK_MBUTTON;
    if (Down(state, VK_SHIFT))
        keys |= MK_SHIFT;
    if (Down(state, VK_CONTROL))
        keys |= MK_CONTROL;
    return keys;
}

// One mouse message at the pointer: to the capture, else to the window under it; client
// coordinates inside its client area, else the non-client form with the hit-test code and
// screen coordinates (Microsoft's WM_NCLBUTTONDOWN).
void MouseMessage(UINT clientMessage, WPARAM keys)
{
    POINT at{};
    HWND capture = nullptr;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        at = CursorLocked();
        capture = reg.capture && reg.Window(reg.capture) ? reg.capture : nullptr;
    }
    HWND target = capture ? capture : WindowFromPoint(at);
    if (!target)
        return;
    LRESULT hit = HTCLIENT;
    if (!capture)
        hit = SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    UINT message = clientMessage;
    WPARAM wParam = keys;
    POINT pt = at;
    if (hit == HTCLIENT) {
        ScreenToClient(target, &pt);
    } else {
        message = clientMessage - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        wParam = static_cast<WPARAM>(hit);
    }
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!reg.Window(target) || reg.input.size() >= kMaxInput)
        return;
    MSG msg{};
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = MAKELPARAM(pt.x, pt.y);
    msg.time = GetTickCount();
    msg.pt = at;
    reg.input.push_back(msg);
    reg.wake.notify_all();
}

void Mouse(const MOUSEINPUT& mi)
{
    if (mi.dwFlags & MOUSEEVENTF_MOVE) {
        {
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            POINT& c = CursorLocked();
            if (mi.dwFlags & MOUSEEVENTF_ABSOLUTE) {
                // 0 to 65535 across the primary screen (Microsoft's MOUSEINPUT).
                c.x = static_cast<LONG>(static_cast<long long>(mi.dx) * kScreenWidth / 65536);
                c.y = static_cast<LONG>(static_cast<long long>(mi.dy) * kScreenHeight / 65536);
            } else {
                c.x += mi.dx;
                c.y += mi.dy;
            }
            c.x = std::clamp<LONG>(c.x, 0, kScreenWidth - 1);
            c.y = std::clamp<LONG>(c.y, 0, kScreenHeight - 1);
        }
        BYTE state[256];
        {
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            std::copy(std::begin(reg.asyncKeyState), std::end(reg.asyncKeyState), state);
        }
        MouseMessage(WM_MOUSEMOVE, MouseKeys(state));
    }
    for (const Press& p : kPresses) {
        if (!(mi.dwFlags & p.flag))
            continue;
        BYTE state[256];
        {
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            MSG m{};
            m.message = p.message;
            ApplyKeyMessage(reg.asyncKeyState, m, false);
            std::copy(std::begin(reg.asyncKeyState), std::end(reg.asyncKeyState), state);
        }
        MouseMessage(p.message, MouseKeys(state));
    }
    if (mi.dwFlags & MOUSEEVENTF_WHEEL) {
        // The wheel goes to the focus window, with screen coordinates (Microsoft's WM_MOUSEWHEEL).
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (reg.focus && reg.Window(reg.focus) && reg.input.size() < kMaxInput) {
            const POINT at = CursorLocked();
            MSG msg{};
            msg.hwnd = reg.focus;
            msg.message = WM_MOUSEWHEEL;
            msg.wParam = MAKEWPARAM(MouseKeys(reg.asyncKeyState), static_cast<WORD>(mi.mouseData));
            msg.lParam = MAKELPARAM(at.x, at.y);
            msg.time = GetTickCount();
            msg.pt = at;
            reg.input.push_back(msg);
            reg.wake.notify_all();
        }
    }
}

} // namespace

extern "C" {

UINT WINAPI SendInput(UINT cInputs, LPINPUT pInputs, int cbSize)
{
    // Windows: a size other than INPUT's, no inputs or no array fail with
    // ERROR_INVALID_PARAMETER; hardware input is not for 64-bit programs and fails the whole
    // call (user32 tests input.c test_SendInput).
    if (cbSize != static_cast<int>(sizeof(INPUT)) || cInputs == 0 || !pInputs) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    for (UINT i = 0; i < cInputs; ++i) {
        if (pInputs[i].type == INPUT_HARDWARE) {
            SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
            return 0;
        }
    }
    const HWND active = GetActiveWindow();
    for (UINT i = 0; i < cInputs; ++i) {
        const INPUT& in = pInputs[i];
        if (in.type == INPUT_KEYBOARD) {
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            KeyLocked(reg, in.ki, active);
        } else if (in.type == INPUT_MOUSE) {
            Mouse(in.mi);
        }
        // Other types are counted and ignored, as Windows does.
    }
    return cInputs;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    *lpPoint = CursorLocked();
    return TRUE;
}

BOOL WINAPI SetCursorPos(int X, int Y)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    POINT& c = CursorLocked();
    c.x = std::clamp(X, 0, kScreenWidth - 1);
    c.y = std::clamp(Y, 0, kScreenHeight - 1);
    return TRUE;
}

} // extern "C"
