// Windows: creation and destruction, window procedures and DefWindowProc, the frame a style
// implies, positions and sizes, text, the window tree, focus and mouse capture.
//
// A top-level window's pixels are a 24-bit top-down surface covering the whole window, frame
// included (rows padded to four bytes, like a DIB section). The client area is the part inside
// the frame: GetDC draws there, GetWindowDC on the whole. A child window has no pixels of its
// own: as on Windows, its DC draws into its top-level window's, where the child lies.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "user_internal.h"

using namespace moxplat;

namespace {

// CW_USEDEFAULT gives an overlapped window this outer size; no side may exceed kMaxSide (mouse
// coordinates travel as 16-bit values, so nothing larger could be addressed).
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kMaxSide = 32767;
// Windows' limit on USER handles per process.
constexpr std::size_t kMaxWindows = 10000;

// The frame a window is shaded with where its frame shows (COLOR_BTNFACE of Windows' defaults).
constexpr std::uint8_t kFrameGrey = 0xF0;

// Under the lock: the client area's place as the screen has it (below the menu bar the screen
// shows with it); false when the window is not on a screen and its own record holds.
bool ScreenClientOrigin(WindowObject& w)
{
    if (!w.backend || !w.backend->ScreenPosition(&w.x, &w.y))
        return false;
    w.y += MenuBarHeightLocked(w);
    return true;
}

// The window's backend, for what it needs now. Only top-level windows reach the screen.
void AttachBackendLocked(WindowObject& w, bool visible)
{
    if (visible && !(w.style & WS_CHILD) && (!w.backend || !w.backend->OnScreen())) {
        const int x = w.defaultPosition ? CW_USEDEFAULT : w.x;
        // The screen shows the menu bar above the client area.
        const int bar = MenuBarHeightLocked(w);
        if (auto screen = CreateScreenBackend(w.title.c_str(), x, w.y - bar, w.width, w.height + bar,
                                              (w.style & WS_THICKFRAME) != 0)) {
            w.backend = std::move(screen);
            w.dirty = true;
            ShowWindowIconLocked(TheRegistry(), w);
            w.defaultPosition = !ScreenClientOrigin(w);
        }
    }
    if (!w.backend)
        w.backend = CreateHeadlessBackend();
    w.backend->SetVisible(visible);
}

// Under the lock: new pixels for the window's current size, keeping what the old ones showed of
// the client area; the frame shaded grey, new client pixels black. False when out of memory.
bool ResizePixelsLocked(WindowObject& w, int newWidth, int newHeight)
{
    const int outerW = newWidth + w.frame.left + w.frame.right;
    const int outerH = newHeight + w.frame.top + w.frame.bottom;
    const bool child = (w.style & WS_CHILD) != 0;
    const std::int64_t rowBytes = child ? 0 : Stride24(outerW);
    PixelBuffer pixels;
    if (outerW > 0 && outerH > 0 && !child) {
        pixels.reset(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(rowBytes * outerH), 1)));
        if (!pixels)
            return false;
        for (int y = 0; y < outerH; ++y) {
            std::uint8_t* row = pixels.get() + y * rowBytes;
            if (y < w.frame.top || y >= outerH - w.frame.bottom) {
                std::memset(row, kFrameGrey, static_cast<std::size_t>(outerW) * 3);
            } else {
                std::memset(row, kFrameGrey, static_cast<std::size_t>(w.frame.left) * 3);
                std::memset(row + (outerW - w.frame.right) * 3, kFrameGrey,
                            static_cast<std::size_t>(w.frame.right) * 3);
            }
        }
        if (w.pixels) {
            const PixelSurface old = ClientSurfaceLocked(w);
            const int copyW = std::min(old.width, newWidth), copyH = std::min(old.height, newHeight);
            for (int y = 0; y < copyH; ++y)
                std::memcpy(pixels.get() + (y + w.frame.top) * rowBytes + w.frame.left * 3, old.bits + y * old.stride,
                            static_cast<std::size_t>(copyW) * 3);
        }
    }
    w.pixels = std::move(pixels);
    w.menuBarStale = !(w.style & WS_CHILD) && w.id;
    w.rowBytes = rowBytes;
    w.width = newWidth;
    w.height = newHeight;
    w.dirty = true;
    return true;
}

// Under the lock: forget everything that refers to a window that is gone.
void ForgetWindowLocked(Registry& reg, HWND hwnd)
{
    for (auto it = reg.dcs.begin(); it != reg.dcs.end();) {
        if (it->second.kind == DCKind::Window && it->second.hwnd == hwnd) {
            // A class DC outlives the window: it goes back to no window.
            bool classDC = false;
            for (WindowClass& c : reg.classes)
                if (c.classDC == HandleOf<HDC>(it->first))
                    classDC = true;
            if (classDC) {
                it->second.hwnd = nullptr;
                ++it;
                continue;
            }
            ReleaseDrawStateLocked(reg, it->second);
            it = reg.dcs.erase(it);
        } else {
            ++it;
        }
    }
    reg.timers.erase(
        std::remove_if(reg.timers.begin(), reg.timers.end(), [&](const TimerEntry& t) { return t.hwnd == hwnd; }),
        reg.timers.end());
    reg.queue.erase(std::remove_if(reg.queue.begin(), reg.queue.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                    reg.queue.end());
    reg.input.erase(std::remove_if(reg.input.begin(), reg.input.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                    reg.input.end());
    reg.keyTexts.erase(std::remove_if(reg.keyTexts.begin(), reg.keyTexts.end(),
                                      [&](const Registry::KeyText& k) { return k.keyDown.hwnd == hwnd; }),
                       reg.keyTexts.end());
    if (WindowObject* w = reg.Window(hwnd))
        if (WindowClass* c = FindClassLocked(reg, reinterpret_cast<const char*>(std::uintptr_t{w->classAtom})))
            --c->windows;
    if (reg.focus == hwnd)
        reg.focus = nullptr;
    if (reg.capture == hwnd)
        reg.capture = nullptr;
    if (WindowObject* w = reg.Window(hwnd))
        ForgetWindowMenus(hwnd, (w->style & WS_CHILD) ? nullptr : reinterpret_cast<HMENU>(w->id));
    reg.windows.erase(Key(hwnd));
}

// Under the lock: the window's client origin on screen, asking the screen when it has one (the
// user may have moved the window). A child's position is relative to its parent's client area.
POINT ClientOriginLocked(Registry& reg, WindowObject& w)
{
    ScreenClientOrigin(w);
    POINT origin{w.x, w.y};
    // Parents are created before their children, so this walk ends.
    for (WindowObject* p = (w.style & WS_CHILD) ? reg.Window(w.parent) : nullptr; p;
         p = (p->style & WS_CHILD) ? reg.Window(p->parent) : nullptr) {
        ScreenClientOrigin(*p);
        origin.x += p->x;
        origin.y += p->y;
    }
    return origin;
}

// Under the lock: the children of a window (top-level windows for null), nearest the top first.
std::vector<HWND> ChildrenLocked(Registry& reg, HWND parent)
{
    std::vector<std::pair<std::uint64_t, std::uintptr_t>> found;
    for (const auto& [key, w] : reg.windows) {
        const bool child = (w.style & WS_CHILD) != 0;
        if (parent ? (child && w.parent == parent) : !child)
            found.emplace_back(w.zOrder, key);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<HWND> out;
    for (const auto& f : found)
        out.push_back(HandleOf<HWND>(f.second));
    return out;
}

// Z-order values: windows brought to the top count up from the middle, windows sent to the
// bottom count down from it, so neither end ever needs renumbering.
std::uint64_t g_nextZ = std::uint64_t{1} << 62;
std::uint64_t g_lowZ = (std::uint64_t{1} << 62) - 1;

HWND CreateWindowCommon(DWORD exStyle, const char* className, const std::string& title, const wchar_t* wideTitle,
                        const wchar_t* wideClass, DWORD style, int x, int y, int width, int height, HWND parent,
                        HMENU menu, HINSTANCE instance, LPVOID param, bool wide)
{
    Registry& reg = TheRegistry();
    HWND hwnd = nullptr;
    bool askMinMax = false;
    // A top-level window without a menu of its own gets its class's (Microsoft's WNDCLASS).
    if (!menu && !(style & WS_CHILD)) {
        std::string menuName;
        {
            std::lock_guard<std::mutex> lock(reg.mutex);
            if (WindowClass* c = FindClassLocked(reg, className))
                menuName = c->menuName;
        }
        if (!menuName.empty())
            menu = menuName[0] == '#' ? LoadMenuA(instance, MAKEINTRESOURCEA(std::atoi(menuName.c_str() + 1)))
                                      : LoadMenuA(instance, menuName.c_str());
    }
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowClass* c = FindClassLocked(reg, className);
        if (!c || reg.windows.size() >= kMaxWindows)
            return nullptr;
        if (parent == HWND_MESSAGE)
            parent = nullptr; // a message-only window: never shown
        if (parent && !reg.Window(parent))
            return nullptr;
        if ((style & WS_CHILD) && !parent)
            return nullptr; // ERROR_TLW_WITH_WSCHILD
        // An overlapped window always has a caption, and top-level windows clip their siblings
        // (Wine's user32 win.c tests, which run on Windows).
        if (!(style & (WS_CHILD | WS_POPUP)))
            style |= WS_CAPTION;
        if (!(style & WS_CHILD))
            style |= WS_CLIPSIBLINGS;
        const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
        // CW_USEDEFAULT: the system's place and size for an overlapped window; zero for others
        // (Microsoft's CreateWindowEx documentation). y means nothing when x asks for the default.
        const bool defaultPos = x == CW_USEDEFAULT;
        if (defaultPos)
            x = y = 0;
        if (width == CW_USEDEFAULT) {
            width = overlapped ? kDefaultWidth : 0;
            height = overlapped ? kDefaultHeight : 0;
        }
        const std::uintptr_t key = reg.NewHandle();
        WindowObject& w = reg.windows[key];
        w.parent = parent;
        w.style = style & ~static_cast<DWORD>(WS_VISIBLE); // shown after WM_CREATE
        w.exStyle = exStyle;
        w.classAtom = c->atom;
        w.classStyle = c->style;
        w.proc = c->proc;
        w.unicode = c->unicode;
        w.instance = instance;
        w.id = reinterpret_cast<LONG_PTR>(menu);
        w.extra.assign(static_cast<std::size_t>(c->wndExtra), 0);
        w.frame = FrameOf(style, exStyle, menu && !(style & WS_CHILD));
        w.defaultPosition = defaultPos && overlapped;
        w.x = std::clamp(x, -kMaxSide, kMaxSide) + w.frame.left;
        w.y = std::clamp(y, -kMaxSide, kMaxSide) + w.frame.top;
        w.width = std::clamp(width, 0, kMaxSide); // the outer size until WM_GETMINMAXINFO is answered
        w.height = std::clamp(height, 0, kMaxSide);
        w.createdOrder = reg.nextOrder++;
        // A new top-level window goes on top; a new child below its siblings, so the first
        // child made is the first GetWindow(GW_CHILD) finds (Wine's user32 tests, on Windows).
        w.zOrder = (style & WS_CHILD) ? g_lowZ-- : g_nextZ++;
        ++c->windows;
        hwnd = HandleOf<HWND>(key);
        askMinMax = overlapped || (style & WS_THICKFRAME);
    }

    // Overlapped and sizable windows are kept within their tracking sizes (Wine's user32, whose
    // win.c tests find Windows doing the same).
    int outerW = 0, outerH = 0;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        outerW = w->width;
        outerH = w->height;
    }
    if (askMinMax) {
        MINMAXINFO mmi{};
        mmi.ptMaxSize = POINT{kScreenWidth, kScreenHeight};
        mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        SendThroughProc(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi), wide);
        outerW = std::clamp<int>(outerW, std::max<int>(mmi.ptMinTrackSize.x, 0),
                                 std::max<int>(mmi.ptMinTrackSize.x, std::min<int>(mmi.ptMaxTrackSize.x, kMaxSide)));
        outerH = std::clamp<int>(outerH, std::max<int>(mmi.ptMinTrackSize.y, 0),
                                 std::max<int>(mmi.ptMinTrackSize.y, std::min<int>(mmi.ptMaxTrackSize.y, kMaxSide)));
    }
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hwnd);
        if (!w)
            return nullptr; // destroyed by its own WM_GETMINMAXINFO handler
        const int clientW = std::max(0, outerW - static_cast<int>(w->frame.left + w->frame.right));
        const int clientH = std::max(0, outerH - static_cast<int>(w->frame.top + w->frame.bottom));
        if (!ResizePixelsLocked(*w, clientW, clientH)) {
            ForgetWindowLocked(reg, hwnd);
            return nullptr;
        }
        w->dirty = false;
        w->backend = CreateHeadlessBackend();
    }

    // WM_NCCREATE and WM_CREATE see the arguments in the form the window's procedure takes.
    CREATESTRUCTA csA{param,
                      instance,
                      menu,
                      parent,
                      outerH,
                      outerW,
                      y,
                      x,
                      static_cast<LONG>(style),
                      title.c_str(),
                      IS_INTRESOURCE(className) ? className : className,
                      exStyle};
    std::wstring wideTitleStore = wideTitle ? std::wstring(wideTitle) : WideFromUtf8(title.c_str());
    std::wstring wideClassStore;
    const wchar_t* wideClassName = wideClass;
    if (!wideClassName) {
        if (IS_INTRESOURCE(className)) {
            wideClassName = reinterpret_cast<const wchar_t*>(className);
        } else {
            wideClassStore = WideFromUtf8(className);
            wideClassName = wideClassStore.c_str();
        }
    }
    CREATESTRUCTW csW{
        param,         instance, menu, parent, outerH, outerW, y, x, static_cast<LONG>(style), wideTitleStore.c_str(),
        wideClassName, exStyle};
    bool windowWide = false;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        windowWide = reg.Window(hwnd)->unicode;
    }
    const LPARAM cs = windowWide ? reinterpret_cast<LPARAM>(&csW) : reinterpret_cast<LPARAM>(&csA);
    if (!SendThroughProc(hwnd, WM_NCCREATE, 0, cs, windowWide)) {
        DestroyWindowOf(hwnd, false);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (WindowObject* w = reg.Window(hwnd))
            w->created = true;
        else
            return nullptr;
    }
    if (SendThroughProc(hwnd, WM_CREATE, 0, cs, windowWide) == -1) {
        // "The window is destroyed" (Microsoft's WM_CREATE documentation) without a WM_DESTROY
        // for the handler that just refused it, as Wine's user32 does.
        DestroyWindowOf(hwnd, false);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;
    // As on Windows, a new window learns its size and place before its creator goes on.
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{};
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (WindowObject* w = reg.Window(hwnd))
            origin = POINT{w->x, w->y};
    }
    SendThroughProc(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom), windowWide);
    SendThroughProc(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y), windowWide);
    if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY) && IsWindow(parent)) {
        const LONG_PTR id = reinterpret_cast<LONG_PTR>(menu);
        SendThroughProc(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, id), reinterpret_cast<LPARAM>(hwnd), false);
    }
    if ((style & WS_VISIBLE) && IsWindow(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

// Under the lock: a window procedure's text, copied in the caller's form. Returns the length copied.
template <class Char> LRESULT CopyText(const std::string& text, Char* out, std::size_t room);

template <> LRESULT CopyText<char>(const std::string& text, char* out, std::size_t room)
{
    if (!out || room == 0)
        return 0;
    std::size_t n = std::min(text.size(), room - 1);
    // Never cut a character in two.
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

template <> LRESULT CopyText<wchar_t>(const std::string& text, wchar_t* out, std::size_t room)
{
    if (!out || room == 0)
        return 0;
    const std::wstring wide = WideFromUtf8(text.c_str());
    const std::size_t n = std::min(wide.size(), room - 1);
    std::wmemcpy(out, wide.data(), n);
    out[n] = L'\0';
    return static_cast<LRESULT>(n);
}

LRESULT DefWindowProcCommon(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wide)
{
    if (LRESULT r = 0; MenuDefWindowProc(hwnd, message, wParam, lParam, wide, &r))
        return r;
    Registry& reg = TheRegistry();
    switch (message) {
    case WM_NCCREATE: {
        // The title comes from the creation arguments.
        if (lParam) {
            std::lock_guard<std::mutex> lock(reg.mutex);
            if (WindowObject* w = reg.Window(hwnd)) {
                if (wide) {
                    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
                    w->title = cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? Utf8FromWide(cs->lpszName) : "";
                } else {
                    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
                    w->title = cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : "";
                }
            }
        }
        return TRUE;
    }
    case WM_SETTEXT: {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hwnd);
        if (!w)
            return FALSE;
        if (!lParam)
            w->title.clear();
        else
            w->title =
                wide ? Utf8FromWide(reinterpret_cast<const wchar_t*>(lParam)) : reinterpret_cast<const char*>(lParam);
        if (w->backend)
            w->backend->SetTitle(w->title.c_str());
        return TRUE;
    }
    case WM_GETTEXT: {
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        if (!w)
            return 0;
        return wide ? CopyText(w->title, reinterpret_cast<wchar_t*>(lParam), wParam)
                    : CopyText(w->title, reinterpret_cast<char*>(lParam), wParam);
    }
    case WM_GETTEXTLENGTH: {
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        if (!w)
            return 0;
        return static_cast<LRESULT>(wide ? WideFromUtf8(w->title.c_str()).size() : w->title.size());
    }
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        // What changed for the client area, as WM_MOVE and WM_SIZE (MSDN WM_WINDOWPOSCHANGED).
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!wp)
            return 0;
        POINT origin{};
        int width = 0, height = 0;
        DWORD style = 0;
        {
            std::lock_guard<std::mutex> lock(reg.mutex);
            const WindowObject* w = reg.Window(hwnd);
            if (!w)
                return 0;
            origin = POINT{w->x, w->y};
            width = w->width;
            height = w->height;
            style = w->style;
        }
        if (!(wp->flags & kSwpNoClientMove))
            SendThroughProc(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y), wide);
        if (!(wp->flags & kSwpNoClientSize))
            SendThroughProc(hwnd, WM_SIZE,
                            (style & WS_MAXIMIZE)   ? SIZE_MAXIMIZED
                            : (style & WS_MINIMIZE) ? SIZE_MINIMIZED
                                                    : SIZE_RESTORED,
                            MAKELPARAM(width, height), wide);
        return 0;
    }
    case WM_SETICON: {
        // Windows: the window keeps the icon and WM_SETICON returns the one it replaces (MSDN
        // WM_SETICON); the screen shows the big one, else the small one.
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hwnd);
        if (!w || (wParam != ICON_BIG && wParam != ICON_SMALL))
            return 0;
        HICON& slot = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
        const HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        ShowWindowIconLocked(reg, *w);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON: {
        // Only icons WM_SETICON gave; ICON_SMALL2 is the small one (MSDN WM_GETICON).
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        if (!w)
            return 0;
        if (wParam == ICON_BIG)
            return reinterpret_cast<LRESULT>(w->iconBig);
        if (wParam == ICON_SMALL || wParam == ICON_SMALL2)
            return reinterpret_cast<LRESULT>(w->iconSmall);
        return 0;
    }
    case WM_PAINT: {
        // Painting nothing still validates, or WM_PAINT would come back at once.
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps))
            EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
    case WM_ICONERASEBKGND:
        return EraseWithClassBrush(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_SYSKEYDOWN:
        // Alt+F4 asks the top-level window to close: the system command is posted, as on Windows.
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN)) {
            HWND top = nullptr;
            {
                std::lock_guard<std::mutex> lock(reg.mutex);
                top = TopLevelLocked(reg, hwnd);
            }
            PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            SendThroughProc(hwnd, WM_CLOSE, 0, 0, wide);
        else if ((wParam & 0xFFF0) == SC_MINIMIZE)
            ShowWindow(hwnd, SW_MINIMIZE);
        else if ((wParam & 0xFFF0) == SC_MAXIMIZE)
            ShowWindow(hwnd, SW_MAXIMIZE);
        else if ((wParam & 0xFFF0) == SC_RESTORE)
            ShowWindow(hwnd, SW_RESTORE);
        return 0;
    case WM_MOUSEWHEEL:
    case WM_SETCURSOR: {
        // Unhandled wheel turns and cursor requests go up to the parent first.
        HWND parent = nullptr;
        {
            std::lock_guard<std::mutex> lock(reg.mutex);
            const WindowObject* w = reg.Window(hwnd);
            if (w && (w->style & WS_CHILD))
                parent = w->parent;
        }
        if (parent && SendThroughProc(parent, message, wParam, lParam, wide))
            return TRUE;
        if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
            HCURSOR cursor = nullptr;
            {
                std::lock_guard<std::mutex> lock(reg.mutex);
                const WindowObject* w = reg.Window(hwnd);
                const WindowClass* c =
                    w ? FindClassLocked(reg, reinterpret_cast<const char*>(std::uintptr_t{w->classAtom})) : nullptr;
                cursor = c ? c->cursor : nullptr;
            }
            SetCursor(cursor);
            return TRUE;
        }
        return 0;
    }
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_MOUSEACTIVATE:
        return 1; // MA_ACTIVATE
    case WM_ACTIVATE:
        // An activated window takes the focus (Microsoft's WM_ACTIVATE documentation).
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(hwnd);
        return 0;
    case WM_QUERYOPEN:
    case WM_QUERYENDSESSION:
        return TRUE;
    default:
        return 0;
    }
}

} // namespace

namespace moxplat {

std::string Utf8FromWide(const wchar_t* text)
{
    std::string out;
    if (!text)
        return out;
    for (; *text; ++text) {
        auto c = static_cast<char32_t>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring WideFromUtf8(const char* text)
{
    std::wstring out;
    if (!text)
        return out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        char32_t c = *s;
        int more = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (more < 0) {
            out += L'\uFFFD';
            ++s;
            continue;
        }
        c &= more == 0 ? 0x7F : (0x3F >> more);
        int i = 1;
        for (; i <= more; ++i) {
            if ((s[i] & 0xC0) != 0x80)
                break;
            c = (c << 6) | (s[i] & 0x3F);
        }
        if (i <= more || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += L'\uFFFD';
            s += i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        s += i;
    }
    return out;
}

// The rule Wine's user32 win.c conformance tests check AdjustWindowRectEx against on Windows:
// an outer edge of 2 for a thick or dialog frame, the sizing border, one more for a border,
// the caption plus one, the menu bar plus one, client edges, and scroll bars.
RECT FrameOf(DWORD style, DWORD exStyle, bool menu)
{
    int adjust = 0;
    if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
        adjust = 1;
    else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
        adjust = 2;
    if (style & WS_THICKFRAME)
        adjust += kBorderWidth;
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
        ++adjust;
    RECT f{adjust, adjust, adjust, adjust};
    if ((style & WS_CAPTION) == WS_CAPTION)
        f.top += kCaptionHeight + 1;
    if (menu)
        f.top += kMenuHeight + 1;
    if (exStyle & WS_EX_CLIENTEDGE) {
        f.left += kEdge;
        f.top += kEdge;
        f.right += kEdge;
        f.bottom += kEdge;
    }
    if (style & WS_VSCROLL)
        (exStyle & WS_EX_LEFTSCROLLBAR ? f.left : f.right) += kScrollBar;
    if (style & WS_HSCROLL)
        f.bottom += kScrollBar;
    return f;
}

// The form each procedure was given in (see NoteProcForm). Made on first use: classes may be
// registered while other files' statics are being made.
struct ProcForms {
    std::mutex mutex;
    std::unordered_map<WNDPROC, bool> forms;
};
ProcForms& TheProcForms()
{
    static ProcForms forms;
    return forms;
}

// Calls a procedure of form procWide with a message in form `wide`, converting its text.
LRESULT CallInForm(WNDPROC proc, bool procWide, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wide);

LRESULT SendThroughProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wide)
{
    WNDPROC proc = nullptr;
    bool procWide = false;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        if (!w)
            return 0;
        proc = w->proc;
        procWide = w->unicode;
    }
    if (!proc)
        return 0;
    return CallInForm(proc, procWide, hwnd, message, wParam, lParam, wide);
}

void NoteProcForm(WNDPROC proc, bool wide)
{
    ProcForms& p = TheProcForms();
    std::lock_guard<std::mutex> lock(p.mutex);
    p.forms[proc] = wide;
}

// A procedure's form, when USER was told it.
bool KnownProcForm(WNDPROC proc, bool* wide)
{
    ProcForms& p = TheProcForms();
    std::lock_guard<std::mutex> lock(p.mutex);
    const auto it = p.forms.find(proc);
    if (it == p.forms.end())
        return false;
    *wide = it->second;
    return true;
}

LRESULT CallInForm(WNDPROC proc, bool procWide, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wide)
{
    if (procWide == wide)
        return proc(hwnd, message, wParam, lParam);
    // Text crosses between the forms.
    switch (message) {
    case WM_SETTEXT:
        if (lParam) {
            if (procWide) {
                const std::wstring t = WideFromUtf8(reinterpret_cast<const char*>(lParam));
                return proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(t.c_str()));
            }
            const std::string t = Utf8FromWide(reinterpret_cast<const wchar_t*>(lParam));
            return proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(t.c_str()));
        }
        break;
    case WM_GETTEXT: {
        if (!lParam || wParam == 0)
            return 0;
        // The go-between buffer is bounded, whatever size the caller claims for its own.
        const std::size_t room = std::min<std::size_t>(wParam, std::size_t{1} << 20);
        if (procWide) {
            std::vector<wchar_t> buf(room + 1, L'\0');
            proc(hwnd, message, room, reinterpret_cast<LPARAM>(buf.data()));
            return CopyText(Utf8FromWide(buf.data()), reinterpret_cast<char*>(lParam), room);
        }
        std::vector<char> buf(room * 4 + 1, '\0');
        proc(hwnd, message, room * 4 + 1, reinterpret_cast<LPARAM>(buf.data()));
        return CopyText(std::string(buf.data()), reinterpret_cast<wchar_t*>(lParam), room);
    }
    default:
        if (LRESULT r = 0; SendControlTextAcross(proc, hwnd, message, wParam, lParam, procWide, &r))
            return r;
        break;
    }
    return proc(hwnd, message, wParam, lParam);
}

HWND TopLevelLocked(Registry& reg, HWND hwnd)
{
    for (WindowObject* w = reg.Window(hwnd); w && (w->style & WS_CHILD); w = reg.Window(w->parent))
        hwnd = w->parent;
    return hwnd;
}

bool ReallyVisibleLocked(Registry& reg, const WindowObject& w)
{
    for (const WindowObject* p = &w; p; p = (p->style & WS_CHILD) ? reg.Window(p->parent) : nullptr)
        if (!(p->style & WS_VISIBLE))
            return false;
    return true;
}

PixelSurface ClientSurfaceLocked(const WindowObject& w)
{
    PixelSurface s;
    if (!w.pixels || w.width <= 0 || w.height <= 0)
        return s;
    s.bits = w.pixels.get() + w.frame.top * w.rowBytes + w.frame.left * 3;
    s.width = w.width;
    s.height = w.height;
    s.stride = static_cast<std::ptrdiff_t>(w.rowBytes);
    return s;
}

bool ResizeClientLocked(Registry& reg, HWND hwnd, int width, int height)
{
    WindowObject* w = reg.Window(hwnd);
    if (!w)
        return false;
    width = std::clamp(width, 0, kMaxSide);
    height = std::clamp(height, 0, kMaxSide);
    const int oldW = w->width, oldH = w->height;
    if (width == oldW && height == oldH)
        return true;
    if (!ResizePixelsLocked(*w, width, height))
        return false;
    // CS_HREDRAW and CS_VREDRAW repaint the whole client area when the width or height changes;
    // otherwise only what was uncovered needs painting.
    if (((w->classStyle & CS_HREDRAW) && width != oldW) || ((w->classStyle & CS_VREDRAW) && height != oldH)) {
        InvalidateLocked(reg, hwnd, nullptr, true);
    } else {
        const RECT right{oldW, 0, width, height}, bottom{0, oldH, width, height};
        if (width > oldW)
            InvalidateLocked(reg, hwnd, &right, true);
        if (height > oldH)
            InvalidateLocked(reg, hwnd, &bottom, true);
    }
    if (WindowObject* top = reg.Window(TopLevelLocked(reg, hwnd)))
        top->dirty = true;
    return true;
}

BOOL DestroyWindowOf(HWND hWnd, bool announce)
{
    Registry& reg = TheRegistry();
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w || w->destroying)
            return FALSE;
        w->destroying = true;
        // Hidden first, so nothing paints it again; a shown child's parent paints where it was.
        const bool shown = (w->style & WS_VISIBLE) != 0;
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        if (shown && (w->style & WS_CHILD)) {
            const WindowObject* parent = reg.Window(w->parent);
            if (parent && !parent->destroying)
                InvalidateUncoveredLocked(reg, hWnd, OuterRectInParentLocked(*w));
            w = reg.Window(hWnd);
        }
        if (w->backend)
            w->backend->SetVisible(false);
    }
    bool wide = false;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        wide = reg.Window(hWnd)->unicode;
    }
    // The window still exists while it handles WM_DESTROY, then its children and owned windows
    // go, then it gets WM_NCDESTROY, its last message.
    if (announce)
        SendThroughProc(hWnd, WM_DESTROY, 0, 0, wide);
    std::vector<HWND> dependents;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        for (const auto& [key, w] : reg.windows)
            if (w.parent == hWnd)
                dependents.push_back(HandleOf<HWND>(key));
    }
    for (HWND child : dependents)
        DestroyWindowOf(child, true);
    SendThroughProc(hWnd, WM_NCDESTROY, 0, 0, wide);
    std::lock_guard<std::mutex> lock(reg.mutex);
    ForgetWindowLocked(reg, hWnd);
    return TRUE;
}

} // namespace moxplat

extern "C" {

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    const std::string title = lpWindowName && !IS_INTRESOURCE(lpWindowName) ? lpWindowName : "";
    return CreateWindowCommon(dwExStyle, lpClassName, title, nullptr, nullptr, dwStyle, X, Y, nWidth, nHeight,
                              hWndParent, hMenu, hInstance, lpParam, false);
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    const std::string title = lpWindowName && !IS_INTRESOURCE(lpWindowName) ? Utf8FromWide(lpWindowName) : "";
    std::string className;
    const char* classArg = reinterpret_cast<const char*>(lpClassName);
    if (lpClassName && !IS_INTRESOURCE(lpClassName)) {
        className = Utf8FromWide(lpClassName);
        classArg = className.c_str();
    }
    return CreateWindowCommon(dwExStyle, classArg, title,
                              lpWindowName && !IS_INTRESOURCE(lpWindowName) ? lpWindowName : L"", lpClassName, dwStyle,
                              X, Y, nWidth, nHeight, hWndParent, hMenu, hInstance, lpParam, true);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcCommon(hWnd, Msg, wParam, lParam, false);
}

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcCommon(hWnd, Msg, wParam, lParam, true);
}

// A subclassing procedure hands messages on in its own form; text is converted for a previous
// procedure of the other form (MSDN CallWindowProc: "converts the message ... to the format
// the window procedure expects").
LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!lpPrevWndFunc)
        return 0;
    bool procWide = false;
    if (KnownProcForm(lpPrevWndFunc, &procWide))
        return CallInForm(lpPrevWndFunc, procWide, hWnd, Msg, wParam, lParam, false);
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!lpPrevWndFunc)
        return 0;
    bool procWide = true;
    if (KnownProcForm(lpPrevWndFunc, &procWide))
        return CallInForm(lpPrevWndFunc, procWide, hWnd, Msg, wParam, lParam, true);
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return SendThroughProc(hWnd, Msg, wParam, lParam, false);
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return SendThroughProc(hWnd, Msg, wParam, lParam, true);
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

// --- Window longs --------------------------------------------------------------------------------

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    if (!w)
        return 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent);
    case GWLP_ID:
        return w->id;
    case GWLP_USERDATA:
        return w->userData;
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    default:
        if (nIndex >= 0 && static_cast<std::size_t>(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
            LONG_PTR v;
            std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
            return v;
        }
        return 0; // ERROR_INVALID_INDEX
    }
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex)
{
    return GetWindowLongPtrA(hWnd, nIndex);
}

} // extern "C"

namespace {

LONG_PTR SetLong(HWND hWnd, int nIndex, LONG_PTR value, std::size_t width, bool wide)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    if (!w)
        return 0;
    LONG_PTR previous = 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        if (width != sizeof(LONG_PTR) || !value)
            return 0; // a procedure needs the pointer-sized call, and must be a procedure
        previous = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        // The new procedure takes text in the form it was first given to USER in (a previous
        // procedure put back keeps its own), else in the form it is set with now.
        if (bool known = false; moxplat::KnownProcForm(w->proc, &known)) {
            w->unicode = known;
        } else {
            w->unicode = wide;
            moxplat::NoteProcForm(w->proc, wide);
        }
        return previous;
    case GWLP_HINSTANCE:
        previous = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return previous;
    case GWLP_ID:
        previous = w->id;
        w->id = value;
        return previous;
    case GWLP_USERDATA:
        previous = w->userData;
        w->userData = value;
        return previous;
    case GWL_STYLE:
        previous = static_cast<LONG>(w->style);
        w->style = static_cast<DWORD>(value);
        // A child made top-level needs pixels of its own from now on.
        if (!(w->style & WS_CHILD) && !w->pixels)
            ResizePixelsLocked(*w, w->width, w->height);
        return previous;
    case GWL_EXSTYLE:
        previous = static_cast<LONG>(w->exStyle);
        w->exStyle = static_cast<DWORD>(value);
        return previous;
    default:
        if (nIndex >= 0 && static_cast<std::size_t>(nIndex) + width <= w->extra.size()) {
            if (width == sizeof(LONG)) {
                LONG old, v = static_cast<LONG>(value);
                std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
                std::memcpy(w->extra.data() + nIndex, &v, sizeof v);
                return old;
            }
            std::memcpy(&previous, w->extra.data() + nIndex, sizeof previous);
            std::memcpy(w->extra.data() + nIndex, &value, sizeof value);
            return previous;
        }
        return 0; // ERROR_INVALID_INDEX
    }
}

LONG GetLong(HWND hWnd, int nIndex)
{
    // A window's procedure does not fit 32 bits: 64-bit Windows has no GWL_WNDPROC.
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT)
        return 0;
    if (nIndex >= 0) {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hWnd);
        if (!w || static_cast<std::size_t>(nIndex) + sizeof(LONG) > w->extra.size())
            return 0;
        LONG v;
        std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
        return v;
    }
    return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

} // namespace

extern "C" {

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    return SetLong(hWnd, nIndex, dwNewLong, sizeof(LONG_PTR), false);
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    return SetLong(hWnd, nIndex, dwNewLong, sizeof(LONG_PTR), true);
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex)
{
    return GetLong(hWnd, nIndex);
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex)
{
    return GetLong(hWnd, nIndex);
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong)
{
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT)
        return 0;
    return static_cast<LONG>(SetLong(hWnd, nIndex, dwNewLong, sizeof(LONG), false));
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong)
{
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT)
        return 0;
    return static_cast<LONG>(SetLong(hWnd, nIndex, dwNewLong, sizeof(LONG), true));
}

// --- Text ----------------------------------------------------------------------------------------

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    if (!IsWindow(hWnd))
        return FALSE;
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString)
{
    if (!IsWindow(hWnd))
        return FALSE;
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

// Copies at most nMaxCount - 1 characters and a terminator; returns the characters copied.
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = '\0';
    if (!IsWindow(hWnd))
        return 0;
    return static_cast<int>(
        SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = L'\0';
    if (!IsWindow(hWnd))
        return 0;
    return static_cast<int>(
        SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd)
{
    return IsWindow(hWnd) ? static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

int WINAPI GetWindowTextLengthW(HWND hWnd)
{
    return IsWindow(hWnd) ? static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

// --- Geometry ------------------------------------------------------------------------------------

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle)
{
    if (!lpRect)
        return FALSE;
    const RECT f = FrameOf(dwStyle, dwExStyle, bMenu != FALSE);
    lpRect->left -= f.left;
    lpRect->top -= f.top;
    lpRect->right += f.right;
    lpRect->bottom += f.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu)
{
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
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

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    if (!w || !lpRect)
        return FALSE;
    const POINT o = ClientOriginLocked(reg, *w);
    *lpRect = RECT{o.x - w->frame.left, o.y - w->frame.top, o.x + w->width + w->frame.right,
                   o.y + w->height + w->frame.bottom};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    if (!w || !lpPoint)
        return FALSE;
    const POINT o = ClientOriginLocked(reg, *w);
    lpPoint->x += o.x;
    lpPoint->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    if (!w || !lpPoint)
        return FALSE;
    const POINT o = ClientOriginLocked(reg, *w);
    lpPoint->x -= o.x;
    lpPoint->y -= o.y;
    return TRUE;
}

// Null stands for the screen. Returns the horizontal offset in the low word and the vertical in
// the high word; 0 for a bad window.
int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    POINT from{0, 0}, to{0, 0};
    if (hWndFrom) {
        WindowObject* w = reg.Window(hWndFrom);
        if (!w)
            return 0;
        from = ClientOriginLocked(reg, *w);
    }
    if (hWndTo) {
        WindowObject* w = reg.Window(hWndTo);
        if (!w)
            return 0;
        to = ClientOriginLocked(reg, *w);
    }
    const LONG dx = from.x - to.x, dy = from.y - to.y;
    if (lpPoints)
        for (UINT i = 0; i < cPoints; ++i) {
            lpPoints[i].x += dx;
            lpPoints[i].y += dy;
        }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

// The window is asked first (WM_WINDOWPOSCHANGING: it may change the WINDOWPOS, which then
// holds the current place for what SWP_NOMOVE and SWP_NOSIZE keep) and told after
// (WM_WINDOWPOSCHANGED, flagged with what did not change for the client area; DefWindowProc
// turns it into WM_MOVE and WM_SIZE). Wine's msg.c WmSWP_* sequences, recorded on Windows.
BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    Registry& reg = TheRegistry();
    bool moved = false, sized = false, wide = false;
    WINDOWPOS wp{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hWnd);
        if (!w)
            return FALSE;
        wide = w->unicode;
        const RECT outer = OuterRectInParentLocked(*w);
        if (uFlags & SWP_NOMOVE) {
            wp.x = outer.left;
            wp.y = outer.top;
        }
        if (uFlags & SWP_NOSIZE) {
            wp.cx = outer.right - outer.left;
            wp.cy = outer.bottom - outer.top;
        }
    }
    if (!(uFlags & SWP_NOSENDCHANGING)) {
        SendThroughProc(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp), wide);
        hWndInsertAfter = wp.hwndInsertAfter;
        X = wp.x;
        Y = wp.y;
        cx = wp.cx;
        cy = wp.cy;
        uFlags = wp.flags;
    }
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return FALSE; // destroyed by its own WM_WINDOWPOSCHANGING handler
        // Where a shown child was, for painting what it uncovers.
        const bool shownChild = (w->style & WS_CHILD) && (w->style & WS_VISIBLE);
        const RECT before = OuterRectInParentLocked(*w);
        if (uFlags & SWP_FRAMECHANGED) {
            const RECT f = FrameOf(w->style, w->exStyle, w->id && !(w->style & WS_CHILD));
            const int outerW = w->width + w->frame.left + w->frame.right;
            const int outerH = w->height + w->frame.top + w->frame.bottom;
            w->x += f.left - w->frame.left;
            w->y += f.top - w->frame.top;
            w->frame = f;
            if (!ResizePixelsLocked(*w, std::max(0, outerW - static_cast<int>(f.left + f.right)),
                                    std::max(0, outerH - static_cast<int>(f.top + f.bottom))))
                return FALSE;
            sized = true;
        }
        if (!(uFlags & SWP_NOMOVE)) {
            ScreenClientOrigin(*w);
            const int nx = std::clamp(X, -kMaxSide, kMaxSide) + w->frame.left;
            const int ny = std::clamp(Y, -kMaxSide, kMaxSide) + w->frame.top;
            moved = nx != w->x || ny != w->y;
            w->x = nx;
            w->y = ny;
            w->defaultPosition = false;
        }
        const int oldW = w->width, oldH = w->height;
        if (!(uFlags & SWP_NOSIZE)) {
            const int nw = std::max(0, std::clamp(cx, 0, kMaxSide) - static_cast<int>(w->frame.left + w->frame.right));
            const int nh = std::max(0, std::clamp(cy, 0, kMaxSide) - static_cast<int>(w->frame.top + w->frame.bottom));
            if (nw != oldW || nh != oldH) {
                if (uFlags & SWP_NOREDRAW) {
                    if (!ResizePixelsLocked(*w, nw, nh))
                        return FALSE;
                } else if (!ResizeClientLocked(reg, hWnd, nw, nh)) {
                    return FALSE;
                }
                sized = true;
            }
        }
        if (!(uFlags & SWP_NOZORDER)) {
            if (hWndInsertAfter == HWND_BOTTOM) {
                w->zOrder = g_lowZ--;
            } else if (hWndInsertAfter == HWND_TOP || hWndInsertAfter == HWND_TOPMOST ||
                       hWndInsertAfter == HWND_NOTOPMOST) {
                w->zOrder = g_nextZ++;
            } else if (WindowObject* after = reg.Window(hWndInsertAfter)) {
                // Just below hWndInsertAfter: everything at or below it moves down by one.
                const std::uint64_t z = after->zOrder;
                for (auto& e : reg.windows)
                    if (e.second.zOrder < z)
                        --e.second.zOrder;
                w->zOrder = z - 1;
            }
            w->dirty = true;
        }
        // A child moved, resized or restacked: what it uncovered is painted again, and the child
        // in its new place (Microsoft's SetWindowPos; SWP_NOREDRAW leaves both to the program).
        const RECT after = OuterRectInParentLocked(*w);
        if (shownChild && !(uFlags & SWP_NOREDRAW) &&
            (!EqualRect(&before, &after) || !(uFlags & SWP_NOZORDER) || (uFlags & SWP_FRAMECHANGED))) {
            InvalidateUncoveredLocked(reg, hWnd, before);
            InvalidateLocked(reg, hWnd, nullptr, true);
        }
        if (WindowObject* top = reg.Window(TopLevelLocked(reg, hWnd)))
            top->dirty = true;
        w = reg.Window(hWnd);
        const RECT outer = OuterRectInParentLocked(*w);
        wp = WINDOWPOS{hWnd,
                       hWndInsertAfter,
                       static_cast<int>(outer.left),
                       static_cast<int>(outer.top),
                       static_cast<int>(outer.right - outer.left),
                       static_cast<int>(outer.bottom - outer.top),
                       uFlags | (moved ? 0u : kSwpNoClientMove) | (sized ? 0u : kSwpNoClientSize)};
    }
    if (uFlags & SWP_SHOWWINDOW)
        ShowWindow(hWnd, SW_SHOWNA);
    else if (uFlags & SWP_HIDEWINDOW)
        ShowWindow(hWnd, SW_HIDE);
    if (moved || sized || !(uFlags & SWP_NOZORDER) || (uFlags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)))
        SendThroughProc(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp), wide);
    return TRUE;
}

// x, y, width and height are the outer rectangle's, in the parent's client coordinates for a
// child and screen coordinates for a top-level window. Without bRepaint nothing is invalidated.
BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

// --- Showing and state ---------------------------------------------------------------------------

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    Registry& reg = TheRegistry();
    bool wasVisible = false, show = false, wide = false;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return FALSE;
        wide = w->unicode;
        wasVisible = (w->style & WS_VISIBLE) != 0;
        show = nCmdShow != SW_HIDE;
        switch (nCmdShow) {
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE:
            w->style = (w->style | WS_MINIMIZE) & ~static_cast<DWORD>(WS_MAXIMIZE);
            break;
        case SW_SHOWMAXIMIZED:
            w->style = (w->style | WS_MAXIMIZE) & ~static_cast<DWORD>(WS_MINIMIZE);
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
        case SW_SHOWDEFAULT:
            w->style &= ~static_cast<DWORD>(WS_MINIMIZE | WS_MAXIMIZE);
            break;
        default:
            break;
        }
    }
    if (show != wasVisible)
        SendThroughProc(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0, wide);
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return wasVisible ? TRUE : FALSE;
        if (show != wasVisible) {
            if (show)
                w->style |= WS_VISIBLE;
            else
                w->style &= ~static_cast<DWORD>(WS_VISIBLE);
            if (show)
                InvalidateLocked(reg, hWnd, nullptr, true);
            else
                InvalidateUncoveredLocked(reg, hWnd, OuterRectInParentLocked(*w));
            w = reg.Window(hWnd);
            AttachBackendLocked(*w, show);
            if (WindowObject* top = reg.Window(TopLevelLocked(reg, hWnd)))
                top->dirty = true;
            reg.wake.notify_all();
        }
    }
    // A top-level window shown for the first time takes the focus, as an activated one does.
    if (show && !wasVisible && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
        nCmdShow != SW_SHOWMINNOACTIVE) {
        bool topLevel = false, focusElsewhere = false;
        {
            std::lock_guard<std::mutex> lock(reg.mutex);
            const WindowObject* w = reg.Window(hWnd);
            topLevel = w && !(w->style & WS_CHILD);
            focusElsewhere = reg.focus && TopLevelLocked(reg, reg.focus) == hWnd;
        }
        if (topLevel && !focusElsewhere)
            SendThroughProc(hWnd, WM_ACTIVATE, WA_ACTIVE, 0, wide);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    return w && ReallyVisibleLocked(reg, *w);
}

BOOL WINAPI IsIconic(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    return w && (w->style & WS_MINIMIZE);
}

BOOL WINAPI IsZoomed(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    return w && (w->style & WS_MAXIMIZE);
}

// Returns nonzero when the window was disabled before.
BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable)
{
    Registry& reg = TheRegistry();
    bool wasDisabled = false, wide = false, loseFocus = false;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return FALSE;
        wide = w->unicode;
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (bEnable)
            w->style &= ~static_cast<DWORD>(WS_DISABLED);
        else
            w->style |= WS_DISABLED;
        loseFocus = !bEnable && reg.focus && (reg.focus == hWnd || TopLevelLocked(reg, reg.focus) == hWnd);
    }
    if (wasDisabled == !bEnable)
        return wasDisabled;
    if (loseFocus)
        SetFocus(nullptr);
    SendThroughProc(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0, wide);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    return w && !(w->style & WS_DISABLED);
}

// --- The window tree -----------------------------------------------------------------------------

// A child's parent, or a pop-up's owner (Microsoft's GetParent documentation); null otherwise.
HWND WINAPI GetParent(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    if (!w)
        return nullptr;
    return (w->style & (WS_CHILD | WS_POPUP)) ? w->parent : nullptr;
}

// GA_PARENT: a child's parent (a top-level window's is the desktop); GA_ROOT: the top-level
// window above it; GA_ROOTOWNER: that window's last owner (Microsoft's GetAncestor).
HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hwnd);
    if (!w || gaFlags < GA_PARENT || gaFlags > GA_ROOTOWNER)
        return nullptr;
    if (gaFlags == GA_PARENT)
        return (w->style & WS_CHILD) ? w->parent : nullptr;
    HWND at = hwnd;
    for (const WindowObject* p = w; p && (p->style & WS_CHILD) && reg.Window(p->parent); p = reg.Window(at))
        at = p->parent;
    if (gaFlags == GA_ROOTOWNER)
        for (const WindowObject* p = reg.Window(at); p && p->parent && reg.Window(p->parent); p = reg.Window(at))
            at = p->parent;
    return at;
}

HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWndChild);
    if (!w || (hWndNewParent && !reg.Window(hWndNewParent)))
        return nullptr;
    // A window cannot become its own descendant.
    for (HWND p = hWndNewParent; p; p = reg.Window(p) ? reg.Window(p)->parent : nullptr)
        if (p == hWndChild)
            return nullptr;
    HWND previous = w->parent;
    w->parent = hWndNewParent;
    if (!hWndNewParent)
        w->style &= ~static_cast<DWORD>(WS_CHILD);
    // A child made top-level needs pixels of its own from now on.
    if (!(w->style & WS_CHILD) && !w->pixels && !ResizePixelsLocked(*w, w->width, w->height))
        return nullptr;
    w->zOrder = g_nextZ++;
    return previous ? previous : GetDesktopWindow();
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    for (const WindowObject* w = reg.Window(hWnd); w && (w->style & WS_CHILD); w = reg.Window(w->parent))
        if (w->parent == hWndParent)
            return TRUE;
    return FALSE;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    if (!w)
        return nullptr;
    if (uCmd == GW_CHILD) {
        const auto children = ChildrenLocked(reg, hWnd);
        return children.empty() ? nullptr : children.front();
    }
    if (uCmd == GW_OWNER)
        return (w->style & WS_CHILD) ? nullptr : w->parent;
    const auto siblings = ChildrenLocked(reg, (w->style & WS_CHILD) ? w->parent : nullptr);
    const auto at = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return at + 1 < siblings.end() ? *(at + 1) : nullptr;
    case GW_HWNDPREV:
        return at > siblings.begin() ? *(at - 1) : nullptr;
    default:
        return nullptr;
    }
}

HWND WINAPI GetTopWindow(HWND hWnd)
{
    if (!hWnd) {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const auto tops = ChildrenLocked(reg, nullptr);
        return tops.empty() ? nullptr : tops.front();
    }
    return GetWindow(hWnd, GW_CHILD);
}

// The direct child with that id.
HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!reg.Window(hDlg))
        return nullptr;
    for (HWND child : ChildrenLocked(reg, hDlg))
        if (static_cast<int>(reg.Window(child)->id) == nIDDlgItem)
            return child;
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    return w ? static_cast<int>(w->id) : 0;
}

} // extern "C"

namespace {

// Every descendant, parents before their children, nearest the top first.
void DescendantsLocked(Registry& reg, HWND parent, std::vector<HWND>* out)
{
    for (HWND child : ChildrenLocked(reg, parent)) {
        out->push_back(child);
        DescendantsLocked(reg, child, out);
    }
}

} // namespace

extern "C" {

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam)
{
    if (!lpEnumFunc)
        return FALSE;
    std::vector<HWND> all;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (hWndParent && !reg.Window(hWndParent))
            return FALSE;
        if (hWndParent)
            DescendantsLocked(reg, hWndParent, &all);
        else
            all = ChildrenLocked(reg, nullptr);
    }
    for (HWND h : all)
        if (IsWindow(h) && !lpEnumFunc(h, lParam))
            break;
    return TRUE;
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam)
{
    if (!lpEnumFunc)
        return FALSE;
    std::vector<HWND> tops;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        tops = ChildrenLocked(reg, nullptr);
    }
    for (HWND h : tops)
        if (IsWindow(h) && !lpEnumFunc(h, lParam))
            return FALSE;
    return TRUE;
}

// There is no desktop window here that programs could draw on; its handle stands for the screen
// as a parent of top-level windows.
HWND WINAPI GetDesktopWindow(void)
{
    return nullptr;
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* p = reg.Window(hWndParent);
    if (!p || Point.x < 0 || Point.y < 0 || Point.x >= p->width || Point.y >= p->height)
        return nullptr;
    for (HWND child : ChildrenLocked(reg, hWndParent)) {
        const WindowObject* c = reg.Window(child);
        const RECT r{c->x - c->frame.left, c->y - c->frame.top, c->x + c->width + c->frame.right,
                     c->y + c->height + c->frame.bottom};
        if (PtInRect(&r, Point))
            return child;
    }
    return hWndParent;
}

HWND WINAPI WindowFromPoint(POINT Point)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    HWND found = nullptr;
    std::vector<HWND> level = ChildrenLocked(reg, nullptr);
    for (bool descend = true; descend;) {
        descend = false;
        for (HWND h : level) {
            WindowObject* w = reg.Window(h);
            if (!(w->style & WS_VISIBLE))
                continue;
            const POINT o = ClientOriginLocked(reg, *w);
            const RECT r{o.x - w->frame.left, o.y - w->frame.top, o.x + w->width + w->frame.right,
                         o.y + w->height + w->frame.bottom};
            if (PtInRect(&r, Point)) {
                found = h;
                level = ChildrenLocked(reg, h);
                descend = true;
                break;
            }
        }
    }
    return found;
}

} // extern "C"

namespace {

template <class Char> HWND Find(const Char* className, const Char* title)
{
    std::vector<HWND> tops;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        tops = ChildrenLocked(reg, nullptr);
    }
    for (HWND h : tops) {
        if (className) {
            Char name[256];
            if constexpr (sizeof(Char) == 1) {
                if (IS_INTRESOURCE(className)) {
                    if (static_cast<ATOM>(GetClassLongPtrA(h, GCW_ATOM)) != reinterpret_cast<std::uintptr_t>(className))
                        continue;
                } else if (!GetClassNameA(h, name, 256) || strcasecmp(name, className) != 0) {
                    continue;
                }
            } else {
                if (IS_INTRESOURCE(className)) {
                    if (static_cast<ATOM>(GetClassLongPtrW(h, GCW_ATOM)) != reinterpret_cast<std::uintptr_t>(className))
                        continue;
                } else if (!GetClassNameW(h, name, 256) || wcscasecmp(name, className) != 0) {
                    continue;
                }
            }
        }
        if (title) {
            std::basic_string<Char> text(1024, Char(0));
            if constexpr (sizeof(Char) == 1)
                text.resize(static_cast<std::size_t>(GetWindowTextA(h, text.data(), 1024)));
            else
                text.resize(static_cast<std::size_t>(GetWindowTextW(h, text.data(), 1024)));
            if (text != title)
                continue;
        }
        return h;
    }
    return nullptr;
}

} // namespace

extern "C" {

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName)
{
    return Find(lpClassName, lpWindowName);
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName)
{
    return Find(lpClassName, lpWindowName);
}

HWND WINAPI GetActiveWindow(void)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    std::uintptr_t best = 0;
    std::uint64_t bestOrder = 0;
    for (const auto& [key, w] : reg.windows)
        if (!w.destroying && !(w.style & WS_CHILD) && w.createdOrder > bestOrder) {
            best = key;
            bestOrder = w.createdOrder;
        }
    return HandleOf<HWND>(best);
}

HWND WINAPI SetActiveWindow(HWND hWnd)
{
    HWND previous = GetActiveWindow();
    if (!IsWindow(hWnd))
        return nullptr;
    SetFocus(hWnd);
    return previous;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd)
{
    return SetActiveWindow(hWnd) || IsWindow(hWnd);
}

HWND WINAPI GetForegroundWindow(void)
{
    return GetActiveWindow();
}

// --- Focus and capture ---------------------------------------------------------------------------

// WM_KILLFOCUS goes to the window losing the focus, then WM_SETFOCUS to the one gaining it.
HWND WINAPI SetFocus(HWND hWnd)
{
    Registry& reg = TheRegistry();
    HWND previous = nullptr;
    bool oldWide = false, newWide = false;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        previous = reg.focus;
        if (hWnd) {
            const WindowObject* w = reg.Window(hWnd);
            if (!w || (w->style & WS_DISABLED))
                return nullptr;
            newWide = w->unicode;
        }
        if (previous == hWnd)
            return previous;
        if (const WindowObject* old = reg.Window(previous))
            oldWide = old->unicode;
        reg.focus = hWnd;
    }
    if (previous)
        SendThroughProc(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0, oldWide);
    if (hWnd && IsWindow(hWnd))
        SendThroughProc(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0, newWide);
    return previous;
}

HWND WINAPI GetFocus(void)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return reg.focus;
}

HWND WINAPI SetCapture(HWND hWnd)
{
    Registry& reg = TheRegistry();
    HWND previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (!reg.Window(hWnd))
            return nullptr;
        previous = reg.capture;
        reg.capture = hWnd;
    }
    if (previous && previous != hWnd)
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return previous;
}

BOOL WINAPI ReleaseCapture(void)
{
    Registry& reg = TheRegistry();
    HWND previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        previous = reg.capture;
        reg.capture = nullptr;
    }
    if (previous)
        SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return reg.capture;
}

} // extern "C"

// --- The menu bar's place in the frame -----------------------------------------------------------

extern "C" {

HMENU WINAPI GetMenu(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    // A child window's GWLP_ID is its id, not a menu.
    return w && !(w->style & WS_CHILD) ? reinterpret_cast<HMENU>(w->id) : nullptr;
}

// The window keeps its outer rectangle; the client area gives up or takes back the bar's height,
// and hears of it through WM_SIZE (Microsoft's SetMenu; Wine's user32 menu.c tests).
BOOL WINAPI SetMenu(HWND hWnd, HMENU hMenu)
{
    if (hMenu && !IsMenu(hMenu))
        return FALSE; // ERROR_INVALID_MENU_HANDLE
    Registry& reg = TheRegistry();
    bool wide = false, sized = false;
    int clientW = 0, clientH = 0;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w || (w->style & WS_CHILD))
            return FALSE;
        wide = w->unicode;
        const RECT f = FrameOf(w->style, w->exStyle, hMenu != nullptr);
        w->id = reinterpret_cast<LONG_PTR>(hMenu);
        if (f.top != w->frame.top) {
            const int outerW = w->width + w->frame.left + w->frame.right;
            const int outerH = w->height + w->frame.top + w->frame.bottom;
            w->x += f.left - w->frame.left;
            w->y += f.top - w->frame.top;
            w->frame = f;
            if (!ResizeClientLocked(reg, hWnd, std::max(0, outerW - static_cast<int>(f.left + f.right)),
                                    std::max(0, outerH - static_cast<int>(f.top + f.bottom))))
                return FALSE;
            sized = true;
        }
        w->menuBarStale = hMenu != nullptr;
        clientW = w->width;
        clientH = w->height;
    }
    if (sized)
        SendThroughProc(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(clientW, clientH), wide);
    if (hMenu)
        DrawMenuBar(hWnd);
    return TRUE;
}

} // extern "C"
