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

// Frames are shaded with COLOR_BTNFACE of Windows' defaults, as top-level windows' are.
constexpr std::uint8_t kFrameGrey = 0xF0;

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

// Where a window lies in its top-level window's pixels (whose origin is the top-level window's
// outer corner): its client and outer rectangles, the part of it its ancestors' client areas
// let show, and whether it and its ancestors below the top-level window are all visible.
struct Placement {
    HWND top = nullptr;
    RECT client{};
    RECT outer{};
    RECT shown{}; // the ancestors' client areas (the whole pixels for a top-level window)
    bool visible = true;
};

bool PlaceLocked(Registry& reg, HWND hwnd, Placement* p)
{
    const WindowObject* w = reg.Window(hwnd);
    if (!w)
        return false;
    // The chain from the window up to its top-level window.
    std::vector<const WindowObject*> chain;
    HWND h = hwnd;
    for (const WindowObject* c = w; c; c = reg.Window(c->parent)) {
        chain.push_back(c);
        if (!(c->style & WS_CHILD)) {
            p->top = h;
            break;
        }
        if (chain.size() > reg.windows.size())
            return false; // a cycle cannot happen, but must not hang
        h = c->parent;
    }
    if (!p->top)
        return false;
    const WindowObject& top = *chain.back();
    LONG x = top.frame.left, y = top.frame.top;
    p->shown = RECT{0, 0, top.width + top.frame.left + top.frame.right, top.height + top.frame.top + top.frame.bottom};
    for (std::size_t i = chain.size() - 1; i-- > 0;) {
        const WindowObject& c = *chain[i];
        const WindowObject& parent = *chain[i + 1];
        const RECT parentClient{x, y, x + parent.width, y + parent.height};
        IntersectRect(&p->shown, &p->shown, &parentClient);
        x += c.x;
        y += c.y;
        if (!(c.style & WS_VISIBLE))
            p->visible = false;
    }
    p->client = RECT{x, y, x + w->width, y + w->height};
    p->outer = RECT{x - w->frame.left, y - w->frame.top, x + w->width + w->frame.right, y + w->height + w->frame.bottom};
    return true;
}

// The parts of `boxes` outside `r`.
void Subtract(std::vector<RECT>* boxes, const RECT& r)
{
    if (EmptyRect(r))
        return;
    std::vector<RECT> out;
    for (const RECT& b : *boxes) {
        RECT in;
        if (!IntersectRect(&in, &b, &r)) {
            out.push_back(b);
            continue;
        }
        if (b.top < in.top)
            out.push_back(RECT{b.left, b.top, b.right, in.top});
        if (b.left < in.left)
            out.push_back(RECT{b.left, in.top, in.left, in.bottom});
        if (in.right < b.right)
            out.push_back(RECT{in.right, in.top, b.right, in.bottom});
        if (in.bottom < b.bottom)
            out.push_back(RECT{b.left, in.bottom, b.right, b.bottom});
    }
    boxes->swap(out);
}

// The outer rectangle of a child in its parent's client coordinates.
RECT OuterInParent(const WindowObject& c)
{
    return RECT{c.x - c.frame.left, c.y - c.frame.top, c.x + c.width + c.frame.right, c.y + c.height + c.frame.bottom};
}

} // namespace

namespace moxplat {

HDC WindowDCLocked(Registry& reg, HWND hwnd, WindowObject& w)
{
    // A kept DC handed out again covers the whole client area, whatever BeginPaint left.
    if (DCObject* own = reg.DC(w.ownDC))
        own->paintClipped = false;
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
            DCObject* d = reg.DC(c->classDC);
            d->hwnd = hwnd; // the class's one DC now draws on this window
            d->paintClipped = false;
            return c->classDC;
        }
    }
    return NewWindowDCLocked(reg, hwnd, false, false);
}

void InvalidateTreeLocked(Registry& reg, HWND hwnd, const RECT* rect, bool erase, Children children)
{
    WindowObject* w = reg.Window(hwnd);
    if (!w)
        return;
    const RECT r = Clip(rect ? *rect : RECT{0, 0, w->width, w->height}, w->width, w->height);
    if (!EmptyRect(r)) {
        if (w->needsPaint && !EmptyRect(w->update))
            UnionRect(&w->update, &w->update, &r);
        else
            w->update = r;
        w->needsPaint = true;
        w->eraseNeeded = w->eraseNeeded || erase;
    }
    // A parent that does not clip its children paints over them, so they are painted again
    // (Microsoft's RedrawWindow documentation).
    const bool spread = children == Children::All || (children == Children::Unclipped && !(w->style & WS_CLIPCHILDREN));
    if (spread && !EmptyRect(r)) {
        std::vector<std::pair<HWND, RECT>> inside;
        for (const auto& [key, c] : reg.windows)
            if ((c.style & WS_CHILD) && c.parent == hwnd) {
                RECT inChild = r;
                OffsetRect(&inChild, -c.x, -c.y);
                inside.emplace_back(HandleOf<HWND>(key), inChild);
            }
        for (const auto& [child, inChild] : inside)
            InvalidateTreeLocked(reg, child, &inChild, erase, children == Children::All ? children : Children::Unclipped);
    }
    reg.wake.notify_all();
}

void InvalidateLocked(Registry& reg, HWND hwnd, const RECT* rect, bool erase)
{
    InvalidateTreeLocked(reg, hwnd, rect, erase, Children::Unclipped);
}

void InvalidateUncoveredLocked(Registry& reg, HWND hwnd, const RECT& outer)
{
    const WindowObject* w = reg.Window(hwnd);
    if (!w || !(w->style & WS_CHILD) || EmptyRect(outer))
        return;
    const HWND parent = w->parent;
    InvalidateLocked(reg, parent, &outer, true);
    // A parent that clips its children leaves them alone above: the siblings the window
    // covered are painted again themselves.
    const WindowObject* p = reg.Window(parent);
    if (!p || !(p->style & WS_CLIPCHILDREN))
        return;
    std::vector<std::pair<HWND, RECT>> under;
    for (const auto& [key, c] : reg.windows)
        if ((c.style & WS_CHILD) && c.parent == parent && HandleOf<HWND>(key) != hwnd) {
            RECT in = outer;
            OffsetRect(&in, -c.x, -c.y);
            under.emplace_back(HandleOf<HWND>(key), in);
        }
    for (const auto& [sibling, in] : under)
        InvalidateLocked(reg, sibling, &in, true);
}

RECT OuterRectInParentLocked(const WindowObject& w)
{
    return OuterInParent(w);
}

void PaintChildFrameLocked(Registry& reg, HWND hwnd)
{
    const WindowObject* w = reg.Window(hwnd);
    if (!w || !(w->style & WS_CHILD) || (!w->frame.left && !w->frame.top && !w->frame.right && !w->frame.bottom))
        return;
    PixelSurface s;
    std::vector<RECT> boxes;
    if (!WindowSurfaceLocked(reg, hwnd, true, &s))
        return;
    WindowVisibleBoxesLocked(reg, hwnd, true, s, &boxes);
    Subtract(&boxes, RECT{w->frame.left, w->frame.top, w->frame.left + w->width, w->frame.top + w->height});
    for (const RECT& b : boxes)
        for (LONG y = b.top; y < b.bottom; ++y)
            std::memset(s.bits + y * s.stride + b.left * 3, kFrameGrey, static_cast<std::size_t>(b.right - b.left) * 3);
    if (!boxes.empty())
        if (WindowObject* top = reg.Window(TopLevelLocked(reg, hwnd)))
            top->dirty = true;
}

bool WindowSurfaceLocked(Registry& reg, HWND hwnd, bool whole, PixelSurface* out)
{
    Placement p;
    if (!PlaceLocked(reg, hwnd, &p))
        return false;
    const WindowObject* top = reg.Window(p.top);
    if (!top || !top->pixels)
        return false;
    const RECT area = whole ? p.outer : p.client;
    RECT reach = area;
    if (p.top != hwnd || !whole)
        IntersectRect(&reach, &reach, &p.shown);
    // The view starts at the window's corner, so that the DC's coordinates need no offset; a
    // part cut off on the left or top by an ancestor is left out by the visible boxes. A window
    // whose corner lies outside its top-level window's pixels reaches nothing (a zero-sized
    // surface: its DC stays good).
    *out = PixelSurface{};
    out->bits = top->pixels.get();
    out->stride = static_cast<std::ptrdiff_t>(top->rowBytes);
    if (area.left < 0 || area.top < 0 || EmptyRect(reach))
        return true;
    out->bits += area.top * top->rowBytes + area.left * 3;
    out->width = reach.right - area.left;
    out->height = reach.bottom - area.top;
    return true;
}

// The visible region as Microsoft's "Window Features" describes it: a window with
// WS_CLIPCHILDREN leaves out its visible children, and a window (or an ancestor) with
// WS_CLIPSIBLINGS leaves out the visible siblings above it in z-order. A window that is hidden,
// or whose parent is, shows nothing.
void WindowVisibleBoxesLocked(Registry& reg, HWND hwnd, bool whole, const PixelSurface& s, std::vector<RECT>* out)
{
    out->clear();
    Placement p;
    if (!PlaceLocked(reg, hwnd, &p) || !p.visible || s.width <= 0 || s.height <= 0)
        return;
    const RECT area = whole ? p.outer : p.client;
    RECT reach = area;
    if (p.top != hwnd || !whole)
        IntersectRect(&reach, &reach, &p.shown);
    // In the top-level window's coordinates, then moved to the surface's.
    out->push_back(reach);
    const WindowObject* w = reg.Window(hwnd);
    if (w->style & WS_CLIPCHILDREN)
        for (const auto& [key, c] : reg.windows)
            if ((c.style & WS_CHILD) && c.parent == hwnd && (c.style & WS_VISIBLE)) {
                RECT r = OuterInParent(c);
                OffsetRect(&r, p.client.left, p.client.top);
                Subtract(out, r);
            }
    // Siblings above each window of the chain that clips them, up to the top-level window.
    LONG ox = p.client.left - w->x, oy = p.client.top - w->y; // the parent's client origin
    for (HWND h = hwnd; h && h != p.top && !out->empty();) {
        const WindowObject* c = reg.Window(h);
        if (!c)
            break;
        if (c->style & WS_CLIPSIBLINGS)
            for (const auto& [key, sib] : reg.windows)
                if ((sib.style & WS_CHILD) && sib.parent == c->parent && HandleOf<HWND>(key) != h &&
                    (sib.style & WS_VISIBLE) && sib.zOrder > c->zOrder) {
                    RECT r = OuterInParent(sib);
                    OffsetRect(&r, ox, oy);
                    Subtract(out, r);
                }
        h = c->parent;
        if (const WindowObject* parent = reg.Window(h)) {
            ox -= parent->x;
            oy -= parent->y;
            if (!(parent->style & WS_CHILD))
                break;
        }
    }
    for (RECT& r : *out) {
        OffsetRect(&r, -area.left, -area.top);
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, s.width);
        r.bottom = std::min<LONG>(r.bottom, s.height);
    }
    out->erase(std::remove_if(out->begin(), out->end(), EmptyRect), out->end());
}

// The top-level window's pixels already hold its children: a copy of the client area, with the
// menu bar above it when the window has one (the rest of the frame is the screen's business).
bool ComposeLocked(Registry& reg, HWND top, std::vector<std::uint8_t>* out, int* width, int* height,
                   std::int64_t* stride)
{
    WindowObject* w = reg.Window(top);
    if (!w || w->width <= 0 || w->height <= 0 || !w->pixels)
        return false;
    const int bar = MenuBarHeightLocked(*w);
    *width = w->width;
    *height = w->height + bar;
    *stride = Stride24(w->width);
    out->assign(static_cast<std::size_t>(*stride * *height), 0);
    const int outerH = w->height + w->frame.top + w->frame.bottom;
    for (int y = 0; y < *height; ++y) {
        const int from = y + w->frame.top - bar;
        if (from >= 0 && from < outerH)
            std::memcpy(out->data() + y * *stride, w->pixels.get() + from * w->rowBytes + w->frame.left * 3,
                        static_cast<std::size_t>(w->width) * 3);
    }
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

namespace {

// The rectangles of a region, or false when the handle is no region.
bool RegionRects(HRGN rgn, std::vector<RECT>* out)
{
    out->clear();
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER))
        return false;
    std::vector<std::uint8_t> data(size);
    auto* rd = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(rgn, size, rd) == 0)
        return false;
    const std::size_t n = std::min<std::size_t>(rd->rdh.nCount, (size - sizeof(RGNDATAHEADER)) / sizeof(RECT));
    out->resize(n);
    if (n)
        std::memcpy(out->data(), data.data() + sizeof(RGNDATAHEADER), n * sizeof(RECT));
    return true;
}

// Under the lock: takes part of the update area away. The area is one rectangle here: what is
// left is the rectangle SubtractRect leaves, which may still cover some of what was validated
// (never less than what stays invalid).
void ValidateLocked(Registry& reg, HWND hwnd, const RECT* rect, bool children)
{
    WindowObject* w = reg.Window(hwnd);
    if (!w)
        return;
    if (!rect) {
        w->needsPaint = false;
        w->internalPaint = false;
        w->eraseNeeded = false;
        w->update = RECT{};
    } else if (w->needsPaint && !SubtractRect(&w->update, &w->update, rect)) {
        w->update = RECT{};
        w->eraseNeeded = false;
        w->needsPaint = w->internalPaint;
    }
    if (!children)
        return;
    std::vector<std::pair<HWND, RECT>> inside;
    for (const auto& [key, c] : reg.windows)
        if ((c.style & WS_CHILD) && c.parent == hwnd) {
            RECT in = rect ? *rect : RECT{0, 0, w->width, w->height};
            OffsetRect(&in, -c.x, -c.y);
            inside.emplace_back(HandleOf<HWND>(key), in);
        }
    for (const auto& [child, in] : inside)
        ValidateLocked(reg, child, &in, true);
}

// Sends WM_PAINT to the window, then to its children that need it, parents first.
void UpdateTree(HWND hwnd, bool children)
{
    UpdateWindow(hwnd);
    if (!children)
        return;
    std::vector<std::pair<std::uint64_t, HWND>> kids;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        for (const auto& [key, c] : reg.windows)
            if ((c.style & WS_CHILD) && c.parent == hwnd)
                kids.emplace_back(c.createdOrder, HandleOf<HWND>(key));
    }
    std::sort(kids.begin(), kids.end());
    for (const auto& kid : kids)
        UpdateTree(kid.second, true);
}

} // namespace

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
    if (!reg.Window(hWnd))
        return FALSE;
    ValidateLocked(reg, hWnd, lpRect, false);
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
        {
            // Only the update area is erased, as BeginPaint would.
            std::lock_guard<std::mutex> lock(reg.mutex);
            const WindowObject* w = reg.Window(hWnd);
            if (DCObject* d = w && ReallyVisibleLocked(reg, *w) ? reg.DC(dc) : nullptr) {
                d->paintClipped = true;
                d->paintClip = update;
            }
        }
        const LRESULT erased = SendThroughProc(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, wide);
        {
            std::lock_guard<std::mutex> lock(reg.mutex);
            if (DCObject* d = reg.DC(dc))
                d->paintClipped = false;
        }
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

// The update area is kept as the union rectangle of what was invalidated.
BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase)
{
    RECT box{};
    if (hRgn && GetRgnBox(hRgn, &box) == ERROR)
        return FALSE;
    if (hRgn && (box.right <= box.left || box.bottom <= box.top))
        return IsWindow(hWnd);
    return InvalidateRect(hWnd, hRgn ? &box : nullptr, bErase);
}

BOOL WINAPI ValidateRgn(HWND hWnd, HRGN hRgn)
{
    std::vector<RECT> rects;
    if (hRgn && !RegionRects(hRgn, &rects))
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!reg.Window(hWnd))
        return FALSE;
    if (!hRgn)
        ValidateLocked(reg, hWnd, nullptr, false);
    for (const RECT& r : rects)
        ValidateLocked(reg, hWnd, &r, false);
    return TRUE;
}

// The update area as a region in client coordinates; bErase sends WM_ERASEBKGND as
// GetUpdateRect does.
int WINAPI GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase)
{
    RECT box{};
    if (!IsWindow(hWnd) || GetRgnBox(hRgn, &box) == ERROR)
        return ERROR;
    RECT update{};
    GetUpdateRect(hWnd, &update, bErase);
    if (!SetRectRgn(hRgn, update.left, update.top, update.right, update.bottom))
        return ERROR;
    return EmptyRect(update) ? NULLREGION : SIMPLEREGION;
}

// Microsoft's RedrawWindow: hrgnUpdate, when given, is used instead of lprcUpdate; neither
// means the whole client area. Children are included as RDW_ALLCHILDREN and RDW_NOCHILDREN say,
// else those the window does not clip. A null window is every window.
BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags)
{
    RECT box{};
    std::vector<RECT> rects;
    if (hrgnUpdate) {
        if (!RegionRects(hrgnUpdate, &rects))
            return FALSE;
        GetRgnBox(hrgnUpdate, &box);
    } else if (lprcUpdate) {
        // Swapped edges are put in order (user32 tests/msg.c test_paint_messages).
        box = RECT{std::min(lprcUpdate->left, lprcUpdate->right), std::min(lprcUpdate->top, lprcUpdate->bottom),
                   std::max(lprcUpdate->left, lprcUpdate->right), std::max(lprcUpdate->top, lprcUpdate->bottom)};
        rects.push_back(box);
    }
    const bool whole = !hrgnUpdate && !lprcUpdate;
    std::vector<HWND> targets;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (hWnd && !reg.Window(hWnd))
            return FALSE;
        if (hWnd)
            targets.push_back(hWnd);
        else
            for (const auto& [key, w] : reg.windows)
                if (!(w.style & WS_CHILD))
                    targets.push_back(HandleOf<HWND>(key));
        const Children children = (flags & RDW_ALLCHILDREN)  ? Children::All
                                  : (flags & RDW_NOCHILDREN) ? Children::None
                                                             : Children::Unclipped;
        for (HWND h : targets) {
            WindowObject* w = reg.Window(h);
            if (!w)
                continue;
            if ((flags & RDW_INVALIDATE) && (whole || !EmptyRect(box)))
                InvalidateTreeLocked(reg, h, whole ? nullptr : &box, (flags & RDW_ERASE) != 0, children);
            if ((flags & RDW_INVALIDATE) && (flags & RDW_FRAME) && (w->style & WS_CHILD))
                PaintChildFrameLocked(reg, h);
            if (flags & RDW_INTERNALPAINT) {
                w->internalPaint = true;
                w->needsPaint = true;
                reg.wake.notify_all();
            }
            if (flags & RDW_NOINTERNALPAINT) {
                w->internalPaint = false;
                if (EmptyRect(w->update))
                    w->needsPaint = false;
            }
            if (flags & RDW_VALIDATE) {
                if (whole)
                    ValidateLocked(reg, h, nullptr, children == Children::All);
                for (const RECT& r : rects)
                    ValidateLocked(reg, h, &r, children == Children::All);
            }
            if (flags & RDW_NOERASE)
                w->eraseNeeded = false;
        }
    }
    for (HWND h : targets) {
        if (flags & RDW_UPDATENOW) {
            UpdateTree(h, !(flags & RDW_NOCHILDREN));
        } else if (flags & RDW_ERASENOW) {
            RECT ignored;
            GetUpdateRect(h, &ignored, TRUE);
        }
    }
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
        w->internalPaint = false;
        w->eraseNeeded = false;
        w->update = RECT{};
        wide = w->unicode;
        dc = WindowDCLocked(reg, hWnd, *w);
        // Drawing stays inside the update area (Microsoft's BeginPaint: the clipping region is
        // the update region), which is the union rectangle here, so no invalid pixel is left out.
        // A hidden window has no pixels on Windows and is painted whole when shown; here its
        // pixels stay drawable, so that a program may draw before showing it.
        if (DCObject* d = ReallyVisibleLocked(reg, *w) ? reg.DC(dc) : nullptr) {
            d->paintClipped = true;
            d->paintClip = lpPaint->rcPaint;
        }
        PaintChildFrameLocked(reg, hWnd);
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
    if (lpPaint->hdc) {
        {
            // A kept DC (CS_OWNDC, CS_CLASSDC) draws on the whole client area again.
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            if (DCObject* d = reg.DC(lpPaint->hdc))
                if (d->kind == DCKind::Window)
                    d->paintClipped = false;
        }
        ReleaseDC(hWnd, lpPaint->hdc);
    }
    return TRUE;
}

} // extern "C"
