// Windows: creation, client pixels, window and screen DCs, synchronous messages, destruction.
//
// A window's client area is a 24-bit top-down pixel surface (rows padded to four bytes, like a
// DIB section), black when the window is created. It is what GetDC's device context draws into
// and reads from, whether or not a screen backend also shows it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gdi_registry.h"

using namespace moxplat;

namespace {

// Sizes used for CW_USEDEFAULT, and the largest client side accepted (mouse coordinates travel
// as 16-bit values, so nothing larger could be addressed anyway).
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kMaxSide = 32767;

int ClientSide(int requested, int fallback)
{
    if (requested == CW_USEDEFAULT)
        return fallback;
    return std::clamp(requested, 0, kMaxSide);
}

// Under the lock: give the window the backend it needs now. Only top-level windows reach the
// screen; a child keeps its own pixels, which are not composed into its parent's.
void AttachBackendLocked(WindowObject& w, bool visible)
{
    if (visible && !(w.style & WS_CHILD) && (!w.backend || !w.backend->OnScreen())) {
        const int x = w.defaultPosition ? CW_USEDEFAULT : w.x;
        if (auto screen = CreateScreenBackend(w.title.c_str(), x, w.y, w.width, w.height)) {
            w.backend = std::move(screen);
            w.dirty = true;
            w.defaultPosition = !w.backend->ScreenPosition(&w.x, &w.y);
        }
    }
    if (!w.backend)
        w.backend = CreateHeadlessBackend();
    w.backend->SetVisible(visible);
}

// Under the lock: forget everything that refers to a window that is gone.
void ForgetWindowLocked(Registry& reg, HWND hwnd)
{
    for (auto it = reg.dcs.begin(); it != reg.dcs.end();)
        it = (it->second.kind == DCKind::Window && it->second.hwnd == hwnd) ? reg.dcs.erase(it) : std::next(it);
    reg.timers.erase(
        std::remove_if(reg.timers.begin(), reg.timers.end(), [&](const TimerEntry& t) { return t.hwnd == hwnd; }),
        reg.timers.end());
    reg.queue.erase(std::remove_if(reg.queue.begin(), reg.queue.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                    reg.queue.end());
    reg.keyTexts.erase(std::remove_if(reg.keyTexts.begin(), reg.keyTexts.end(),
                                      [&](const Registry::KeyText& k) { return k.keyDown.hwnd == hwnd; }),
                       reg.keyTexts.end());
    reg.windows.erase(Key(hwnd));
}

} // namespace

namespace moxplat {

HWND RegisterWindow(CWnd* wnd, LPCTSTR className, DWORD style, LPCTSTR title, HWND parent, int x, int y, int width,
                    int height)
{
    const int w = ClientSide(width, kDefaultWidth);
    const int h = ClientSide(height, kDefaultHeight);
    const std::int64_t rowBytes = Stride24(w);
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (parent && !reg.Window(parent))
        return nullptr;
    PixelBuffer pixels;
    if (w > 0 && h > 0) {
        pixels.reset(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(rowBytes * h), 1)));
        if (!pixels)
            return nullptr;
    }
    const std::uintptr_t key = reg.NewHandle();
    WindowObject& win = reg.windows[key];
    win.wnd = wnd;
    win.parent = parent;
    win.style = style;
    win.classStyle = ClassStyleLocked(reg, className);
    win.title = title ? title : "";
    // A default position is left to the screen; until one shows the window it is the origin.
    // As on Windows, y means nothing when x asks for the default.
    win.defaultPosition = x == CW_USEDEFAULT;
    win.x = win.defaultPosition ? 0 : std::clamp(x, -kMaxSide, kMaxSide);
    win.y = win.defaultPosition ? 0 : std::clamp(y, -kMaxSide, kMaxSide);
    win.width = w;
    win.height = h;
    win.rowBytes = rowBytes;
    win.pixels = std::move(pixels);
    win.createdOrder = reg.nextOrder++;
    win.needsPaint = (style & WS_VISIBLE) != 0;
    AttachBackendLocked(win, (style & WS_VISIBLE) != 0);
    return HandleOf<HWND>(key);
}

UINT ClassStyleLocked(Registry& reg, LPCTSTR className)
{
    if (!className || std::strncmp(className, "Mox:", 4) != 0 || !reg.classNames.count(className))
        return 0;
    return static_cast<UINT>(std::strtoul(className + 4, nullptr, 16));
}

void ValidateWindow(HWND hwnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (WindowObject* w = reg.Window(hwnd))
        w->needsPaint = false;
}

BOOL DestroyWindowOf(HWND hWnd, bool announce)
{
    Registry& reg = TheRegistry();
    CWnd* wnd = nullptr;
    std::vector<HWND> children;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w || w->destroying)
            return FALSE;
        w->destroying = true;
        wnd = w->wnd;
    }
    // The window still exists while it handles WM_DESTROY, then its children go, then it.
    if (wnd && announce)
        wnd->WindowProc(WM_DESTROY, 0, 0);
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        for (const auto& [key, w] : reg.windows)
            if (w.parent == hWnd)
                children.push_back(HandleOf<HWND>(key));
    }
    for (HWND child : children)
        DestroyWindow(child);
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        ForgetWindowLocked(reg, hWnd);
    }
    if (wnd) {
        wnd->m_hWnd = nullptr;
        wnd->WindowProc(WM_NCDESTROY, 0, 0); // last: PostNcDestroy may delete the CWnd
    }
    return TRUE;
}

} // namespace moxplat

extern "C" {

HWND WINAPI GetActiveWindow(void)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    std::uintptr_t best = 0;
    std::uint64_t bestOrder = 0;
    for (const auto& [key, w] : reg.windows)
        if (!w.destroying && w.createdOrder > bestOrder) {
            best = key;
            bestOrder = w.createdOrder;
        }
    return HandleOf<HWND>(best);
}

HDC WINAPI GetDC(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!hWnd)
        return reg.screenDC; // has no pixels of its own; a reference for compatible DCs
    if (!reg.Window(hWnd))
        return nullptr;
    const std::uintptr_t key = reg.NewHandle();
    DCObject& d = reg.dcs[key];
    d.kind = DCKind::Window;
    d.hwnd = hWnd;
    return HandleOf<HDC>(key);
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hDC);
    if (!d)
        return 0;
    if (d->kind == DCKind::Screen)
        return 1;
    if (d->kind != DCKind::Window || d->hwnd != hWnd)
        return 0;
    reg.dcs.erase(Key(hDC));
    return 1;
}

BOOL WINAPI IsWindow(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return reg.Window(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI DestroyWindow(HWND hWnd)
{
    return moxplat::DestroyWindowOf(hWnd, true);
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    if (!w || !lpRect)
        return FALSE;
    *lpRect = RECT{0, 0, w->width, w->height};
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!hWnd) {
        for (auto& entry : reg.windows)
            entry.second.needsPaint = true;
    } else if (WindowObject* w = reg.Window(hWnd)) {
        w->needsPaint = true;
    } else {
        return FALSE;
    }
    reg.wake.notify_all();
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd)
{
    Registry& reg = TheRegistry();
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return FALSE;
        if (!w->needsPaint)
            return TRUE;
        w->needsPaint = false;
    }
    SendMessageA(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    if (!w)
        return FALSE;
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool show = nCmdShow != SW_HIDE;
    if (show == wasVisible)
        return wasVisible ? TRUE : FALSE;
    if (show) {
        w->style |= WS_VISIBLE;
        w->needsPaint = true;
        reg.wake.notify_all();
    } else {
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    }
    AttachBackendLocked(*w, show);
    return wasVisible ? TRUE : FALSE;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = nullptr;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hWnd);
        if (!w)
            return 0;
        wnd = w->wnd;
    }
    return wnd ? wnd->WindowProc(Msg, wParam, lParam) : 0;
}

namespace {

// Under the lock: the window's client origin on screen, asking the screen when it has one (the
// user may have moved the window). A child's position is relative to its parent's client area.
bool ClientOriginLocked(Registry& reg, WindowObject& w, POINT* origin)
{
    if (w.backend)
        w.backend->ScreenPosition(&w.x, &w.y);
    origin->x = w.x;
    origin->y = w.y;
    // Parents are created before their children, so this walk ends.
    for (WindowObject* p = reg.Window(w.parent); p; p = reg.Window(p->parent)) {
        if (p->backend)
            p->backend->ScreenPosition(&p->x, &p->y);
        origin->x += p->x;
        origin->y += p->y;
    }
    return true;
}

} // namespace

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    POINT origin;
    if (!w || !lpPoint || !ClientOriginLocked(reg, *w, &origin))
        return FALSE;
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    POINT origin;
    if (!w || !lpPoint || !ClientOriginLocked(reg, *w, &origin))
        return FALSE;
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

// Windows here have no frame: the window rectangle is the client area on screen.
BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    POINT origin;
    if (!w || !lpRect || !ClientOriginLocked(reg, *w, &origin))
        return FALSE;
    *lpRect = RECT{origin.x, origin.y, origin.x + w->width, origin.y + w->height};
    return TRUE;
}

HWND WINAPI GetParent(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    return w ? w->parent : nullptr;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    if (!w)
        return FALSE;
    w->title = lpString ? lpString : "";
    if (w->backend)
        w->backend->SetTitle(w->title.c_str());
    return TRUE;
}

// Copies at most nMaxCount - 1 bytes and a terminator; returns the bytes copied.
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = '\0';
    if (!w)
        return 0;
    const std::size_t n = std::min(w->title.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpString, w->title.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

namespace {

// The button a message box without a screen answers with: the one MB_DEFBUTTONn names.
int DefaultAnswer(UINT type)
{
    static const int kButtons[][3] = {
        {IDOK, IDOK, IDOK},                 // MB_OK
        {IDOK, IDCANCEL, IDCANCEL},         // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},       // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},            // MB_YESNOCANCEL
        {IDYES, IDNO, IDNO},                // MB_YESNO
        {IDRETRY, IDCANCEL, IDCANCEL},      // MB_RETRYCANCEL
        {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, // MB_CANCELTRYCONTINUE
    };
    const UINT kind = type & MB_TYPEMASK;
    if (kind >= sizeof kButtons / sizeof kButtons[0])
        return IDOK;
    const UINT which = std::min<UINT>((type & MB_DEFMASK) >> 8, 2);
    return kButtons[kind][which];
}

} // namespace

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    const char* text = lpText ? lpText : "";
    const char* caption = lpCaption ? lpCaption : "Error";
    int answer = 0;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        answer = ShowScreenMessageBox(text, caption, uType);
    }
    if (answer)
        return answer;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    return DefaultAnswer(uType);
}

} // extern "C"
