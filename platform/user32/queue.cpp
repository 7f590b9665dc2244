// The message queue of the (single) UI thread, and timers.
//
// Retrieval order follows Windows: posted messages (screen input joins them as it arrives) in
// posting order, then SendInput's input, then WM_QUIT once PostQuitMessage has been called, then WM_PAINT for a visible
// window that needs painting, then WM_TIMER for a timer that is due. WM_PAINT and WM_TIMER are
// not queued entries but states, so repeated invalidation yields one WM_PAINT and a slow loop
// sees one WM_TIMER per timer, however many periods passed. Taking a WM_PAINT does not validate
// the window: it comes back until painting (BeginPaint, or DefWindowProc) does, as Microsoft's
// PeekMessage documentation says.
#include <algorithm>
#include <chrono>
#include <thread>

#include "user_internal.h"

using namespace moxplat;

namespace {

// Windows' bounds on a timer's period.
constexpr UINT kMinTimerMs = 10;
constexpr UINT kMaxTimerMs = 0x7FFFFFFF;
// How often the loop looks for screen input while it waits.
constexpr std::uint64_t kScreenPollMs = 10;
// A thread's queue holds at most this many posted messages (Microsoft's PostMessage
// documentation); further posts fail.
constexpr std::size_t kMaxPosted = 10000;
// Timers are USER objects, of which a process may have 10,000 (Microsoft's SetTimer and
// "User Objects" documentation).
constexpr std::size_t kMaxTimers = 10000;

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(-1);

bool InRange(UINT message, UINT lo, UINT hi)
{
    return (lo == 0 && hi == 0) || (message >= lo && message <= hi);
}

bool ForFilter(HWND target, HWND filter)
{
    if (filter == kThreadMessagesOnly)
        return target == nullptr;
    return !filter || target == filter;
}

MSG MakeMsg(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m{};
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = static_cast<DWORD>(NowMs());
    return m;
}

// Screen key-downs whose characters TranslateMessage has not asked for yet; older ones are
// dropped (a loop that never translates would otherwise grow the list without end).
constexpr std::size_t kMaxKeyTexts = 64;

bool IsKeyDown(UINT message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

// Under the lock: the deepest visible, enabled window under a point of a top-level window's
// client area, and the point in that window's client coordinates.
HWND HitTestLocked(Registry& reg, HWND hwnd, POINT* pt)
{
    for (bool descend = true; descend;) {
        descend = false;
        std::vector<std::pair<std::uint64_t, std::uintptr_t>> children;
        for (const auto& [key, c] : reg.windows)
            if ((c.style & WS_CHILD) && c.parent == hwnd && (c.style & WS_VISIBLE) && !(c.style & WS_DISABLED))
                children.emplace_back(c.zOrder, key);
        std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (const auto& [z, key] : children) {
            const WindowObject& c = reg.windows[key];
            const RECT r{c.x - c.frame.left, c.y - c.frame.top, c.x + c.width + c.frame.right,
                         c.y + c.height + c.frame.bottom};
            if (pt->x >= r.left && pt->x < r.right && pt->y >= r.top && pt->y < r.bottom) {
                pt->x -= c.x;
                pt->y -= c.y;
                hwnd = HandleOf<HWND>(key);
                descend = true;
                break;
            }
        }
    }
    return hwnd;
}

// Under the lock: the point of `from`'s client area in `to`'s client coordinates.
POINT MapLocked(Registry& reg, HWND from, HWND to, POINT pt)
{
    auto origin = [&](HWND h) {
        POINT o{0, 0};
        for (const WindowObject* w = reg.Window(h); w; w = (w->style & WS_CHILD) ? reg.Window(w->parent) : nullptr) {
            o.x += w->x;
            o.y += w->y;
        }
        return o;
    };
    const POINT a = origin(from), b = origin(to);
    return POINT{pt.x + a.x - b.x, pt.y + a.y - b.y};
}

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

// Under the lock: bring in screen input and show windows whose pixels changed. Mouse input goes
// to the window under the pointer, or the one that captured the mouse; keys go to the focused
// window when it belongs to the window they came to.
void PumpScreenLocked(Registry& reg)
{
    std::vector<BackendEvent> events;
    PollScreenEvents(&events);
    for (const BackendEvent& e : events) {
        for (auto& [key, w] : reg.windows) {
            if (!w.backend || w.backend->NativeId() != e.nativeId)
                continue;
            if (e.message == WM_PAINT) {
                InvalidateLocked(reg, HandleOf<HWND>(key), nullptr, false);
                w.dirty = true;
                break;
            }
            if (e.message == WM_SIZE) {
                // The user resized, minimised or restored the window on screen.
                if (e.wParam == SIZE_MINIMIZED) {
                    w.style |= WS_MINIMIZE;
                } else {
                    w.style &= ~static_cast<DWORD>(WS_MINIMIZE | WS_MAXIMIZE);
                    if (e.wParam == SIZE_MAXIMIZED)
                        w.style |= WS_MAXIMIZE;
                    ResizeClientLocked(reg, HandleOf<HWND>(key), GET_X_LPARAM(e.lParam),
                                       std::max(0, GET_Y_LPARAM(e.lParam) - MenuBarHeightLocked(w)));
                }
            }
            HWND target = HandleOf<HWND>(key);
            LPARAM lParam = e.lParam;
            if (e.message == WM_SIZE && e.wParam != SIZE_MINIMIZED)
                lParam = MAKELPARAM(w.width, w.height); // the client area, below any menu bar
            if (IsMouseMessage(e.message)) {
                // The screen shows the menu bar above the client area: a pointer over it is in
                // the frame, reported in screen coordinates with HTMENU.
                const int bar = MenuBarHeightLocked(w);
                POINT pt{GET_X_LPARAM(e.lParam), GET_Y_LPARAM(e.lParam) - bar};
                if (pt.y < 0 && !reg.capture && e.message <= WM_RBUTTONDOWN) {
                    int sx = 0, sy = 0;
                    w.backend->ScreenPosition(&sx, &sy);
                    const MSG msg = MakeMsg(target, e.message - (WM_MOUSEMOVE - WM_NCMOUSEMOVE), HTMENU,
                                            MAKELPARAM(sx + GET_X_LPARAM(e.lParam), sy + GET_Y_LPARAM(e.lParam)));
                    if (reg.queue.size() < kMaxPosted)
                        reg.queue.push_back(msg);
                    break;
                }
                if (reg.capture && reg.Window(reg.capture)) {
                    pt = MapLocked(reg, target, reg.capture, pt);
                    target = reg.capture;
                } else {
                    target = HitTestLocked(reg, target, &pt);
                }
                lParam = MAKELPARAM(pt.x, pt.y);
            } else if (((e.message >= WM_KEYFIRST && e.message <= WM_KEYLAST) || e.message == WM_MOUSEWHEEL) &&
                       reg.focus && TopLevelLocked(reg, reg.focus) == target) {
                target = reg.focus; // keys and the wheel
            }
            const WindowObject* t = reg.Window(target);
            // Only windows whose class asks for double clicks get them; others see a press.
            UINT message = e.message;
            if (!(t->classStyle & CS_DBLCLKS) &&
                (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK))
                message -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
            const MSG msg = MakeMsg(target, message, e.wParam, lParam);
            if (reg.queue.size() < kMaxPosted)
                reg.queue.push_back(msg);
            ApplyKeyMessage(reg.asyncKeyState, msg, false);
            if (IsKeyDown(e.message)) {
                reg.keyTexts.push_back({msg, e.text});
                if (reg.keyTexts.size() > kMaxKeyTexts)
                    reg.keyTexts.pop_front();
            }
            break;
        }
    }
    // A top-level window drawn since the last look is presented: shown when on screen, counted
    // either way (captures may be taken every so many presents).
    std::vector<std::uint8_t> composed;
    for (auto& [key, w] : reg.windows) {
        if (!w.dirty || (w.style & WS_CHILD))
            continue;
        w.dirty = false;
        ++w.presents;
        if (!w.backend || !w.backend->OnScreen())
            continue;
        PixelSurface s;
        std::int64_t stride = 0;
        if (!ComposeLocked(reg, HandleOf<HWND>(key), &composed, &s.width, &s.height, &stride))
            continue;
        s.bits = composed.data();
        s.stride = static_cast<std::ptrdiff_t>(stride);
        w.backend->Present(s);
    }
    HeadlessChoresLocked(reg);
}

bool AnyScreenWindowLocked(const Registry& reg)
{
    return std::any_of(reg.windows.begin(), reg.windows.end(),
                       [](const auto& e) { return e.second.backend && e.second.backend->OnScreen(); });
}

// Under the lock: the next message for the filter, removed from the queue when asked.
bool NextMessageLocked(Registry& reg, MSG* out, HWND filter, UINT lo, UINT hi, bool remove)
{
    for (auto it = reg.queue.begin(); it != reg.queue.end(); ++it) {
        if (ForFilter(it->hwnd, filter) && (InRange(it->message, lo, hi) || it->message == WM_QUIT)) {
            *out = *it;
            if (remove) {
                reg.queue.erase(it);
                // The queue's key state moves on as input messages are taken from it.
                ApplyKeyMessage(reg.keyState, *out, true);
                ApplyKeyMessage(reg.asyncKeyState, *out, false);
            }
            return true;
        }
    }
    // Input after the posted messages (Microsoft's GetMessage: posted messages, then input), so
    // the characters TranslateMessage posts for a key come before the keys typed after it.
    for (auto it = reg.input.begin(); it != reg.input.end(); ++it) {
        if (ForFilter(it->hwnd, filter) && InRange(it->message, lo, hi)) {
            *out = *it;
            if (remove) {
                reg.input.erase(it);
                ApplyKeyMessage(reg.keyState, *out, true);
            }
            return true;
        }
    }
    if (reg.quitPending) {
        *out = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(reg.quitCode), 0);
        if (remove)
            reg.quitPending = false;
        return true;
    }
    if (InRange(WM_PAINT, lo, hi)) {
        // Parents before their children: they are created first.
        const WindowObject* best = nullptr;
        HWND bestHwnd = nullptr;
        for (auto& [key, w] : reg.windows) {
            const HWND hwnd = HandleOf<HWND>(key);
            if (w.needsPaint && !w.destroying && ReallyVisibleLocked(reg, w) && ForFilter(hwnd, filter) &&
                (!best || w.createdOrder < best->createdOrder)) {
                best = &w;
                bestHwnd = hwnd;
            }
        }
        if (best) {
            *out = MakeMsg(bestHwnd, WM_PAINT, 0, 0);
            return true;
        }
    }
    if (InRange(WM_TIMER, lo, hi)) {
        const std::uint64_t now = NowMs();
        TimerEntry* due = nullptr;
        for (TimerEntry& t : reg.timers)
            if (t.due <= now && ForFilter(t.hwnd, filter) && (!due || t.due < due->due))
                due = &t;
        if (due) {
            *out = MakeMsg(due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc));
            if (remove)
                due->due = now + due->elapse;
            return true;
        }
    }
    return false;
}

bool Down(const BYTE* state, int vk)
{
    return (state[vk] & 0x80) != 0;
}

// The character a key types on a US keyboard layout, 0 for none. `controlOnly` keeps just the
// control characters (Enter, Backspace, Tab, Escape, Control with a letter).
wchar_t CharacterOfKey(UINT vk, const BYTE* state, bool controlOnly)
{
    const bool shift = Down(state, VK_SHIFT);
    const bool control = Down(state, VK_CONTROL) && !Down(state, VK_MENU);
    switch (vk) {
    case VK_BACK:
        return 0x08;
    case VK_TAB:
        return L'\t';
    case VK_RETURN:
        return control ? 0x0A : 0x0D;
    case VK_ESCAPE:
        return 0x1B;
    default:
        break;
    }
    if (vk >= 'A' && vk <= 'Z') {
        if (control)
            return static_cast<wchar_t>(vk - 'A' + 1);
        const bool upper = shift != ((state[VK_CAPITAL] & 0x01) != 0);
        return controlOnly ? 0 : static_cast<wchar_t>(upper ? vk : vk - 'A' + 'a');
    }
    if (controlOnly || control)
        return 0;
    if (vk >= '0' && vk <= '9')
        return shift ? L")!@#$%^&*("[vk - '0'] : static_cast<wchar_t>(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return static_cast<wchar_t>(vk - VK_NUMPAD0 + '0');
    struct Typed {
        UINT vk;
        wchar_t plain, shifted;
    };
    static const Typed kTyped[] = {
        {VK_SPACE, L' ', L' '},     {VK_OEM_1, L';', L':'},      {VK_OEM_PLUS, L'=', L'+'}, {VK_OEM_COMMA, L',', L'<'},
        {VK_OEM_MINUS, L'-', L'_'}, {VK_OEM_PERIOD, L'.', L'>'}, {VK_OEM_2, L'/', L'?'},    {VK_OEM_3, L'`', L'~'},
        {VK_OEM_4, L'[', L'{'},     {VK_OEM_5, L'\\', L'|'},     {VK_OEM_6, L']', L'}'},    {VK_OEM_7, L'\'', L'"'},
        {VK_MULTIPLY, L'*', L'*'},  {VK_ADD, L'+', L'+'},        {VK_SUBTRACT, L'-', L'-'}, {VK_DECIMAL, L'.', L'.'},
        {VK_DIVIDE, L'/', L'/'},
    };
    for (const Typed& t : kTyped)
        if (t.vk == vk)
            return shift ? t.shifted : t.plain;
    return 0;
}

bool FilterWindowValidLocked(Registry& reg, HWND filter)
{
    return !filter || filter == kThreadMessagesOnly || reg.Window(filter);
}

} // namespace

namespace moxplat {

void ApplyKeyMessage(BYTE* state, const MSG& msg, bool toggles)
{
    auto set = [&](int vk, bool down) {
        if (down && toggles && !(state[vk] & 0x80))
            state[vk] ^= 0x01;
        state[vk] = static_cast<BYTE>((state[vk] & 0x01) | (down ? 0x80 : 0));
    };
    // Shift, Control and Alt come as their generic codes; the scan code or the extended bit says
    // which side. The generic state is down while either side is.
    auto setWithSides = [&](int vk, bool down) {
        const UINT scan = (static_cast<DWORD>(msg.lParam) >> 16) & 0xFF;
        const bool extended = (static_cast<DWORD>(msg.lParam) & 0x01000000) != 0;
        int left = 0, right = 0, generic = vk;
        bool isRight = false;
        switch (vk) {
        case VK_SHIFT:
        case VK_LSHIFT:
        case VK_RSHIFT:
            left = VK_LSHIFT, right = VK_RSHIFT, generic = VK_SHIFT;
            isRight = vk == VK_RSHIFT || (vk == VK_SHIFT && scan == 0x36);
            break;
        case VK_CONTROL:
        case VK_LCONTROL:
        case VK_RCONTROL:
            left = VK_LCONTROL, right = VK_RCONTROL, generic = VK_CONTROL;
            isRight = vk == VK_RCONTROL || (vk == VK_CONTROL && extended);
            break;
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
            left = VK_LMENU, right = VK_RMENU, generic = VK_MENU;
            isRight = vk == VK_RMENU || (vk == VK_MENU && extended);
            break;
        default:
            set(vk, down);
            return;
        }
        set(isRight ? right : left, down);
        set(generic, Down(state, left) || Down(state, right));
    };
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (msg.wParam > 0 && msg.wParam < 256)
            setWithSides(static_cast<int>(msg.wParam), IsKeyDown(msg.message));
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        set(VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP:
        set(VK_LBUTTON, false);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        set(VK_RBUTTON, true);
        break;
    case WM_RBUTTONUP:
        set(VK_RBUTTON, false);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        set(VK_MBUTTON, true);
        break;
    case WM_MBUTTONUP:
        set(VK_MBUTTON, false);
        break;
    default:
        break;
    }
}

} // namespace moxplat

extern "C" {

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (hWnd && !reg.Window(hWnd))
        return FALSE;
    if (reg.queue.size() >= kMaxPosted)
        return FALSE; // ERROR_NOT_ENOUGH_QUOTA
    reg.queue.push_back(MakeMsg(hWnd, Msg, wParam, lParam));
    reg.wake.notify_all();
    return TRUE;
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return PostMessageA(hWnd, Msg, wParam, lParam);
}

// Waits until a message arrives. Returns 0 for WM_QUIT, -1 for a bad argument, else TRUE.
BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (!lpMsg)
        return -1;
    RefreshMenuBars();
    Registry& reg = TheRegistry();
    std::unique_lock<std::mutex> lock(reg.mutex);
    for (;;) {
        if (!FilterWindowValidLocked(reg, hWnd))
            return -1;
        PumpScreenLocked(reg);
        if (NextMessageLocked(reg, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true))
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;

        // Sleep until the next timer is due, something is posted, or it is time to look for
        // screen input.
        std::uint64_t wait = UINT64_MAX;
        const std::uint64_t now = NowMs();
        for (const TimerEntry& t : reg.timers)
            if (ForFilter(t.hwnd, hWnd))
                wait = std::min(wait, t.due > now ? t.due - now : 0);
        if (AnyScreenWindowLocked(reg))
            wait = std::min(wait, kScreenPollMs);
        wait = std::min(wait, HeadlessChoresDueLocked(reg));
        if (wait == UINT64_MAX)
            reg.wake.wait(lock);
        else
            reg.wake.wait_for(lock, std::chrono::milliseconds(wait));
    }
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    if (!lpMsg)
        return FALSE;
    RefreshMenuBars();
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!FilterWindowValidLocked(reg, hWnd))
        return FALSE;
    PumpScreenLocked(reg);
    return NextMessageLocked(reg, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE
                                                                                                            : FALSE;
}

// TranslateMessage posts, for a key-down, the characters it types, as WM_CHAR (WM_SYSCHAR while
// Alt is held) with the key-down's lParam. wParam is one wchar_t: here that is a whole UTF-32
// code point, so a character beyond U+FFFF comes as one WM_CHAR, where Windows (whose wchar_t
// holds UTF-16 units) sends two, one per surrogate.
//
// A key-down from the screen carries the text the screen's keyboard layout and input method made
// of it. A key-down posted by a program has none; its characters follow a US keyboard layout and
// the queue's Shift, Control and Caps Lock state.
BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg)
        return FALSE;
    const UINT message = lpMsg->message;
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return FALSE;
    if (!IsKeyDown(message))
        return TRUE;
    std::wstring text;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        auto found = std::find_if(reg.keyTexts.begin(), reg.keyTexts.end(), [&](const Registry::KeyText& k) {
            return k.keyDown.hwnd == lpMsg->hwnd && k.keyDown.message == message && k.keyDown.wParam == lpMsg->wParam &&
                   k.keyDown.lParam == lpMsg->lParam && k.keyDown.time == lpMsg->time;
        });
        const bool fromScreen = found != reg.keyTexts.end();
        if (fromScreen) {
            text = found->text;
            reg.keyTexts.erase(found);
        }
        // Keys that type control characters have no text on screen, nor do letters with Alt;
        // they follow the table too.
        if (text.empty()) {
            const bool controlOnly = fromScreen && message == WM_KEYDOWN;
            const wchar_t ch = CharacterOfKey(static_cast<UINT>(lpMsg->wParam), reg.keyState, controlOnly);
            if (ch)
                text.assign(1, ch);
        }
    }
    const UINT charMessage = message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    for (const wchar_t ch : text)
        PostMessageA(lpMsg->hwnd, charMessage, static_cast<WPARAM>(ch), lpMsg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg)
        return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        // Only a callback that belongs to a live timer is called, never an arbitrary address.
        TIMERPROC proc = nullptr;
        {
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            for (const TimerEntry& t : reg.timers)
                if (t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam && reinterpret_cast<LPARAM>(t.proc) == lpMsg->lParam)
                    proc = t.proc;
        }
        if (proc)
            proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, static_cast<DWORD>(NowMs()));
        return 0;
    }
    return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

// Messages carry the same values in both forms here (a WM_CHAR is one wchar_t either way); only
// text a window procedure is sent crosses between the forms.
BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    return GetMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    return PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg)
{
    if (lpMsg && !(lpMsg->message == WM_TIMER && lpMsg->lParam))
        return SendMessageW(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
    return DispatchMessageA(lpMsg);
}

void WINAPI PostQuitMessage(int nExitCode)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    reg.quitPending = true;
    reg.quitCode = nExitCode;
    reg.wake.notify_all();
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (hWnd && !reg.Window(hWnd))
        return 0;
    const UINT elapse = std::clamp(uElapse, kMinTimerMs, kMaxTimerMs);
    auto existing = std::find_if(reg.timers.begin(), reg.timers.end(),
                                 [&](const TimerEntry& t) { return t.hwnd == hWnd && t.id == nIDEvent; });
    UINT_PTR id = nIDEvent;
    if (existing == reg.timers.end()) {
        if (reg.timers.size() >= kMaxTimers)
            return 0;
        if (!hWnd) {
            // Thread timers get a fresh identifier unless they name one of their own.
            auto taken = [&](UINT_PTR candidate) {
                return std::any_of(reg.timers.begin(), reg.timers.end(),
                                   [&](const TimerEntry& t) { return !t.hwnd && t.id == candidate; });
            };
            do
                id = reg.nextTimerId++;
            while (id == 0 || taken(id));
        }
        reg.timers.push_back(TimerEntry{});
        existing = std::prev(reg.timers.end());
    }
    existing->hwnd = hWnd;
    existing->id = id;
    existing->elapse = elapse;
    existing->proc = lpTimerFunc;
    existing->due = NowMs() + elapse;
    reg.wake.notify_all();
    return hWnd && id == 0 ? 1 : id;
}

SHORT WINAPI GetKeyState(int nVirtKey)
{
    if (nVirtKey < 0 || nVirtKey > 255)
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const BYTE state = reg.keyState[nVirtKey];
    return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 0x01));
}

SHORT WINAPI GetAsyncKeyState(int vKey)
{
    if (vKey < 0 || vKey > 255)
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return static_cast<SHORT>((reg.asyncKeyState[vKey] & 0x80) ? 0x8000 : 0);
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto it = std::find_if(reg.timers.begin(), reg.timers.end(),
                           [&](const TimerEntry& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
    if (it == reg.timers.end())
        return FALSE;
    reg.timers.erase(it);
    return TRUE;
}

DWORD WINAPI GetTickCount(void)
{
    return static_cast<DWORD>(NowMs());
}

void WINAPI Sleep(DWORD dwMilliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

} // extern "C"
