// The message queue of the (single) UI thread, and timers.
//
// Retrieval order follows Windows: posted messages (screen input joins them as it arrives) in
// posting order, then WM_QUIT once PostQuitMessage has been called, then WM_PAINT for a visible
// window that needs painting, then WM_TIMER for a timer that is due. WM_PAINT and WM_TIMER are
// not queued entries but states, so repeated invalidation yields one WM_PAINT and a slow loop
// sees one WM_TIMER per timer, however many periods passed.
#include <algorithm>
#include <chrono>
#include <thread>

#include "gdi_registry.h"

using namespace moxplat;

namespace {

// Windows' bounds on a timer's period.
constexpr UINT kMinTimerMs = 10;
constexpr UINT kMaxTimerMs = 0x7FFFFFFF;
// How often the loop looks for screen input while it waits.
constexpr std::uint64_t kScreenPollMs = 10;

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

// Under the lock: bring in screen input and show windows whose pixels changed.
void PumpScreenLocked(Registry& reg)
{
    std::vector<BackendEvent> events;
    if (!PollScreenEvents(&events))
        return;
    for (const BackendEvent& e : events) {
        for (auto& [key, w] : reg.windows) {
            if (!w.backend || w.backend->NativeId() != e.nativeId)
                continue;
            if (e.message == WM_PAINT) {
                w.needsPaint = true;
                w.dirty = true;
            } else {
                reg.queue.push_back(MakeMsg(HandleOf<HWND>(key), e.message, e.wParam, e.lParam));
            }
            break;
        }
    }
    for (auto& [key, w] : reg.windows) {
        if (!w.dirty || !w.backend || !w.backend->OnScreen())
            continue;
        w.dirty = false;
        PixelSurface s;
        s.bits = w.pixels.get();
        s.width = w.width;
        s.height = w.height;
        s.stride = static_cast<std::ptrdiff_t>(w.rowBytes);
        w.backend->Present(s);
    }
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
            if (remove)
                reg.queue.erase(it);
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
        for (auto& [key, w] : reg.windows) {
            const HWND hwnd = HandleOf<HWND>(key);
            if (w.needsPaint && !w.destroying && (w.style & WS_VISIBLE) && ForFilter(hwnd, filter)) {
                *out = MakeMsg(hwnd, WM_PAINT, 0, 0);
                if (remove)
                    w.needsPaint = false;
                return true;
            }
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

bool FilterWindowValidLocked(Registry& reg, HWND filter)
{
    return !filter || filter == kThreadMessagesOnly || reg.Window(filter);
}

} // namespace

extern "C" {

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (hWnd && !reg.Window(hWnd))
        return FALSE;
    reg.queue.push_back(MakeMsg(hWnd, Msg, wParam, lParam));
    reg.wake.notify_all();
    return TRUE;
}

// Waits until a message arrives. Returns 0 for WM_QUIT, -1 for a bad argument, else TRUE.
BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (!lpMsg)
        return -1;
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
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!FilterWindowValidLocked(reg, hWnd))
        return FALSE;
    PumpScreenLocked(reg);
    return NextMessageLocked(reg, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE
                                                                                                            : FALSE;
}

// There is no keyboard layout here: letters, digits and the space bar become their unshifted
// characters.
BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_KEYUP))
        return FALSE;
    if (lpMsg->message == WM_KEYDOWN) {
        const WPARAM vk = lpMsg->wParam;
        WPARAM ch = 0;
        if (vk >= 'A' && vk <= 'Z')
            ch = vk - 'A' + 'a';
        else if ((vk >= '0' && vk <= '9') || vk == ' ')
            ch = vk;
        if (ch)
            PostMessageA(lpMsg->hwnd, WM_CHAR, ch, lpMsg->lParam);
    }
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
