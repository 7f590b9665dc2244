// Painting: window DCs, the update area (one rectangle a window), WM_PAINT's BeginPaint and
// EndPaint, erasing with the class brush, and composing a top-level window with its children.
#include <algorithm>
#include <cstring>

#include "user_internal.h"

using namespace moxplat;

namespace {

RECT Clip(const RECT& r, int width, int height)
{
    RECT out{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width),
             std::min<LONG>(r.bottom, height)};
    if (out.right <= out.left || out.bottom <= out.top)
        out = RECT{0, 0, 0, 0};
    return out;
}

bool EmptyRect(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

HDC NewWindowDCLocked(Registry& reg, HWND hwnd, bool whole, bool kept)
{
    const std::uintptr_t key = reg.NewHandle();
    DCObject& d = reg.dcs[key];
    d.kind = DCKind::Window;
    d.hwnd = hwnd;
    d.wholeWindow = whole;
    d.kept = kept;
    return HandleOf<HDC>(key);
}

// Copies a window's pixels, and its visible children's over them, into `out` at (ox, oy),
// clipped to `clip` (coordinates of `out`).
void DrawTreeLocked(Registry& reg, HWND hwnd, const WindowObject& w, std::uint8_t* out, std::int64_t outStride, int ox,
                    int oy, RECT clip)
{
    const int outerW = w.width + w.frame.left + w.frame.right;
    const int outerH = w.height + w.frame.top + w.frame.bottom;
    const RECT mine{ox, oy, ox + outerW, oy + outerH};
    RECT r;
    if (!w.pixels || !IntersectRect(&r, &mine, &clip))
        return;
    for (LONG y = r.top; y < r.bottom; ++y)
        std::memcpy(out + y * outStride + r.left * 3, w.pixels.get() + (y - oy) * w.rowBytes + (r.left - ox) * 3,
                    static_cast<std::size_t>(r.right - r.left) * 3);
    // Children show only inside the client area; the lowest first, so the top one ends up over.
    const int cx = ox + w.frame.left, cy = oy + w.frame.top;
    const RECT client{cx, cy, cx + w.width, cy + w.height};
    RECT childClip;
    if (!IntersectRect(&childClip, &client, &clip))
        return;
    std::vector<std::pair<std::uint64_t, std::uintptr_t>> children;
    for (const auto& [key, c] : reg.windows)
        if ((c.style & WS_CHILD) && c.parent == hwnd && (c.style & WS_VISIBLE))
            children.emplace_back(c.zOrder, key);
    std::sort(children.begin(), children.end());
    for (const auto& [z, key] : children) {
        const WindowObject& c = reg.windows[key];
        DrawTreeLocked(reg, HandleOf<HWND>(key), c, out, outStride, cx + c.x - c.frame.left, cy + c.y - c.frame.top,
                       childClip);
    }
}

} // namespace

namespace moxplat {

HDC WindowDCLocked(Registry& reg, HWND hwnd, WindowObject& w)
{
    if (w.classStyle & CS_OWNDC) {
        if (!reg.DC(w.ownDC))
            w.ownDC = NewWindowDCLocked(reg, hwnd, false, true);
        return w.ownDC;
    }
    if (w.classStyle & CS_CLASSDC) {
        WindowClass* c = FindClassLocked(reg, reinterpret_cast<const char*>(std::uintptr_t{w.classAtom}));
        if (c) {
            if (!reg.DC(c->classDC))
                c->classDC = NewWindowDCLocked(reg, hwnd, false, true);
            reg.DC(c->classDC)->hwnd = hwnd; // the class's one DC now draws on this window
            return c->classDC;
        }
    }
    return NewWindowDCLocked(reg, hwnd, false, false);
}

void InvalidateLocked(Registry& reg, HWND hwnd, const RECT* rect, bool erase)
{
    WindowObject* w = reg.Window(hwnd);
    if (!w)
        return;
    const RECT r = Clip(rect ? *rect : RECT{0, 0, w->width, w->height}, w->width, w->height);
    if (!EmptyRect(r)) {
        if (w->needsPaint)
            UnionRect(&w->update, &w->update, &r);
        else
            w->update = r;
        w->needsPaint = true;
        w->eraseNeeded = w->eraseNeeded || erase;
    }
    // A parent that does not clip its children paints over them, so they are painted again
    // (Microsoft's RedrawWindow documentation).
    if (!(w->style & WS_CLIPCHILDREN) && !EmptyRect(r)) {
        std::vector<std::pair<HWND, RECT>> children;
        for (const auto& [key, c] : reg.windows)
            if ((c.style & WS_CHILD) && c.parent == hwnd) {
                RECT inChild = r;
                OffsetRect(&inChild, -c.x, -c.y);
                children.emplace_back(HandleOf<HWND>(key), inChild);
            }
        for (const auto& [child, inChild] : children)
            InvalidateLocked(reg, child, &inChild, erase);
    }
    reg.wake.notify_all();
}

bool ComposeLocked(Registry& reg, HWND top, std::vector<std::uint8_t>* out, int* width, int* height,
                   std::int64_t* stride)
{
    WindowObject* w = reg.Window(top);
    if (!w || w->width <= 0 || w->height <= 0 || !w->pixels)
        return false;
    // The client area, with the menu bar above it when the window has one: the rest of the
    // frame is the screen's business.
    const int bar = MenuBarHeightLocked(*w);
    *width = w->width;
    *height = w->height + bar;
    *stride = Stride24(w->width);
    out->assign(static_cast<std::size_t>(*stride * *height), 0);
    DrawTreeLocked(reg, top, *w, out->data(), *stride, -w->frame.left, bar - w->frame.top, RECT{0, 0, w->width, *height});
    return true;
}

LRESULT EraseWithClassBrush(HWND hwnd, HDC dc)
{
    HBRUSH brush = nullptr;
    RECT area{};
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        const WindowClass* c =
            w ? FindClassLocked(reg, reinterpret_cast<const char*>(std::uintptr_t{w->classAtom})) : nullptr;
        if (!c || !c->background || !dc)
            return 0; // nothing erased: the window paints its own background
        brush = c->background;
        area = RECT{0, 0, w->width, w->height};
    }
    // FillRect takes both brushes and (HBRUSH)(COLOR_x + 1) values, as a class brush may be.
    return FillRect(dc, &area, brush) ? 1 : 0;
}

} // namespace moxplat

extern "C" {

HDC WINAPI GetDC(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!hWnd)
        return reg.screenDC; // has no pixels of its own; a reference for compatible DCs
    WindowObject* w = reg.Window(hWnd);
    return w ? WindowDCLocked(reg, hWnd, *w) : nullptr;
}

HDC WINAPI GetWindowDC(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!hWnd)
        return reg.screenDC;
    return reg.Window(hWnd) ? NewWindowDCLocked(reg, hWnd, true, false) : nullptr;
}

// The window argument is not checked: Windows releases a DC given with another window's handle
// (Wine's user32 dce.c tests). A CS_OWNDC or CS_CLASSDC DC stays alive and is released any
// number of times.
int WINAPI ReleaseDC(HWND, HDC hDC)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hDC);
    if (!d)
        return 0;
    if (d->kind == DCKind::Screen || d->kept)
        return 1;
    if (d->kind != DCKind::Window)
        return 0;
    ReleaseDrawStateLocked(reg, *d);
    reg.dcs.erase(Key(hDC));
    return 1;
}

HWND WINAPI WindowFromDC(HDC hDC)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hDC);
    return d && d->kind == DCKind::Window ? d->hwnd : nullptr;
}

// Null: every window.
BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!hWnd) {
        std::vector<HWND> all;
        for (const auto& entry : reg.windows)
            all.push_back(HandleOf<HWND>(entry.first));
        for (HWND h : all)
            InvalidateLocked(reg, h, nullptr, bErase != FALSE);
        return TRUE;
    }
    if (!reg.Window(hWnd))
        return FALSE;
    InvalidateLocked(reg, hWnd, lpRect, bErase != FALSE);
    return TRUE;
}

// The update area is one rectangle here: validating part of it leaves the rectangle that
// SubtractRect leaves, which may still cover some of what was validated.
BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowObject* w = reg.Window(hWnd);
    if (!w)
        return FALSE;
    if (!lpRect) {
        w->needsPaint = false;
        w->eraseNeeded = false;
        w->update = RECT{};
        return TRUE;
    }
    if (w->needsPaint && !SubtractRect(&w->update, &w->update, lpRect)) {
        w->needsPaint = false;
        w->eraseNeeded = false;
        w->update = RECT{};
    }
    return TRUE;
}

// bErase sends WM_ERASEBKGND now when the update area still needs erasing.
BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase)
{
    Registry& reg = TheRegistry();
    bool erase = false, wide = false;
    RECT update{};
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return FALSE;
        if (w->needsPaint)
            update = w->update;
        erase = bErase && w->needsPaint && w->eraseNeeded;
        wide = w->unicode;
    }
    if (lpRect)
        *lpRect = update;
    if (erase) {
        const HDC dc = GetDC(hWnd);
        const LRESULT erased = SendThroughProc(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, wide);
        ReleaseDC(hWnd, dc);
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (WindowObject* w = reg.Window(hWnd))
            if (erased)
                w->eraseNeeded = false;
    }
    return !EmptyRect(update);
}

// Sends WM_PAINT now when the window needs painting and is visible.
BOOL WINAPI UpdateWindow(HWND hWnd)
{
    Registry& reg = TheRegistry();
    bool wide = false;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return FALSE;
        if (!w->needsPaint || !ReallyVisibleLocked(reg, *w))
            return TRUE;
        wide = w->unicode;
    }
    SendThroughProc(hWnd, WM_PAINT, 0, 0, wide);
    return TRUE;
}

// Takes the update area: rcPaint is its rectangle, and the window is valid again. When the area
// was invalidated with erasing, WM_ERASEBKGND is sent first; fErase is TRUE when that left the
// background unerased (Microsoft's PAINTSTRUCT documentation).
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    if (!lpPaint)
        return nullptr;
    *lpPaint = PAINTSTRUCT{};
    Registry& reg = TheRegistry();
    bool erase = false, wide = false;
    HDC dc = nullptr;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        WindowObject* w = reg.Window(hWnd);
        if (!w)
            return nullptr;
        if (w->needsPaint)
            lpPaint->rcPaint = w->update;
        erase = w->needsPaint && w->eraseNeeded;
        w->needsPaint = false;
        w->eraseNeeded = false;
        w->update = RECT{};
        wide = w->unicode;
        dc = WindowDCLocked(reg, hWnd, *w);
    }
    lpPaint->hdc = dc;
    if (erase)
        lpPaint->fErase = SendThroughProc(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, wide) ? FALSE : TRUE;
    return dc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (!lpPaint)
        return FALSE;
    if (lpPaint->hdc)
        ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

} // extern "C"
