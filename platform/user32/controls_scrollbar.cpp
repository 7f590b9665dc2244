// The SCROLLBAR class (SBS_VERT or SBS_HORZ): range, page and position with the clamping
// SetScrollInfo documents, arrows and track drawn in the classic style, and the mouse and keys
// that send WM_VSCROLL/WM_HSCROLL to the parent with the control's handle in lParam. The control
// never moves itself on a click: the parent answers the notification with SetScrollPos.

#include <windows.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <unordered_map>

#include "diagnostics.h"

namespace {

enum class Part { None, ArrowUp, PageUp, Thumb, PageDown, ArrowDown };

struct BarState {
    int min = 0; // a control starts with an empty range (Microsoft's "About Scroll Bars")
    int max = 0;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT disabledArrows = ESB_ENABLE_BOTH;
    Part pressed = Part::None; // the part the mouse holds down
    bool inside = true;        // whether the mouse is still over the part it pressed
    int grab = 0;              // thumb drag: where in the thumb it was taken
    bool repeating = false;    // the auto-repeat timer runs at its short interval
    POINT mouse{};             // where the mouse was last seen while pressed
};

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 250; // ms before a held arrow or page press repeats
constexpr UINT kRepeatDelay = 50;
constexpr int kMinThumb = 8;
constexpr long long kMaxLong = 0x7FFFFFFF; // Windows' MAXLONG: its LONG is 32 bits

std::mutex g_mutex;
std::unordered_map<HWND, BarState> g_bars;

template <class F> auto With(HWND hwnd, F f)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return f(g_bars[hwnd]);
}

bool Vertical(HWND hwnd)
{
    return (GetWindowLongW(hwnd, GWL_STYLE) & SBS_VERT) != 0;
}

// The highest position the thumb can reach: a page shows max - pos + 1 units at the end.
int MaxPos(const BarState& s)
{
    const long long top = static_cast<long long>(s.max) - std::max<long long>(static_cast<long long>(s.page) - 1, 0);
    return static_cast<int>(std::max<long long>(s.min, top));
}

int Clamp(const BarState& s, int pos)
{
    return std::clamp(pos, s.min, MaxPos(s));
}

// SetScrollInfo's rules: a reversed range or one wider than MAXLONG is ignored, the page is cut
// to the range's size, and the position kept where a page still fits. Returns the position.
int Apply(BarState& s, const SCROLLINFO& si)
{
    if (si.fMask & SIF_RANGE) {
        if (si.nMin <= si.nMax && static_cast<long long>(si.nMax) - si.nMin <= kMaxLong) {
            s.min = si.nMin;
            s.max = si.nMax;
        }
    }
    if (si.fMask & SIF_PAGE)
        s.page = si.nPage;
    const auto span = static_cast<unsigned long long>(static_cast<long long>(s.max) - s.min + 1);
    if (s.page > span)
        s.page = static_cast<UINT>(span);
    if (si.fMask & SIF_POS)
        s.pos = si.nPos;
    s.pos = Clamp(s, s.pos);
    if (s.pressed != Part::Thumb)
        s.trackPos = s.pos;
    return s.pos;
}

// Where the parts lie along the bar (pixels from its start): the arrows take a square at each
// end, and the thumb's length shows the page's share of the range.
struct Layout {
    int length = 0;
    int arrow = 0;
    int thumbStart = 0;
    int thumbLength = 0; // 0: no thumb (empty range, or no room for one)
};

Layout LayoutOf(HWND hwnd, const BarState& s, int trackPos)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    const bool vertical = Vertical(hwnd);
    Layout l;
    l.length = vertical ? rc.bottom : rc.right;
    const int thickness = vertical ? rc.right : rc.bottom;
    l.arrow = std::min(thickness, l.length / 2);
    const int track = l.length - 2 * l.arrow;
    const long long span = static_cast<long long>(s.max) - s.min + 1;
    if (s.max <= s.min || track <= 0)
        return l;
    int thumb = l.arrow;
    if (s.page > 0)
        thumb = static_cast<int>(std::max<long long>(kMinThumb, track * static_cast<long long>(s.page) / span));
    if (thumb > track)
        return l;
    const long long travel = static_cast<long long>(MaxPos(s)) - s.min;
    l.thumbLength = thumb;
    l.thumbStart = l.arrow + (travel > 0 ? static_cast<int>((track - thumb) * (trackPos - s.min) / travel) : 0);
    return l;
}

Part HitTest(HWND hwnd, const BarState& s, POINT pt)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (!PtInRect(&rc, pt))
        return Part::None;
    const Layout l = LayoutOf(hwnd, s, s.trackPos);
    const int at = Vertical(hwnd) ? pt.y : pt.x;
    if (at < l.arrow)
        return Part::ArrowUp;
    if (at >= l.length - l.arrow)
        return Part::ArrowDown;
    if (l.thumbLength == 0)
        return Part::None;
    if (at < l.thumbStart)
        return Part::PageUp;
    if (at < l.thumbStart + l.thumbLength)
        return Part::Thumb;
    return Part::PageDown;
}

// The track position the thumb's leading edge at `thumbStart` stands for.
int PosAt(HWND hwnd, const BarState& s, int thumbStart)
{
    const Layout l = LayoutOf(hwnd, s, s.pos);
    const int room = l.length - 2 * l.arrow - l.thumbLength;
    if (l.thumbLength == 0 || room <= 0)
        return s.pos;
    const long long travel = static_cast<long long>(MaxPos(s)) - s.min;
    const long long offset = std::clamp(thumbStart - l.arrow, 0, room);
    return Clamp(s, static_cast<int>(s.min + (offset * travel + room / 2) / room));
}

void Notify(HWND hwnd, WORD code, int pos = 0)
{
    const UINT message = Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageW(GetParent(hwnd), message, MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(hwnd));
}

WORD CodeOf(Part part)
{
    switch (part) {
    case Part::ArrowUp:
        return SB_LINEUP;
    case Part::ArrowDown:
        return SB_LINEDOWN;
    case Part::PageUp:
        return SB_PAGEUP;
    default:
        return SB_PAGEDOWN;
    }
}

bool ArrowDisabled(const BarState& s, Part part)
{
    return (part == Part::ArrowUp && (s.disabledArrows & ESB_DISABLE_LTUP)) ||
           (part == Part::ArrowDown && (s.disabledArrows & ESB_DISABLE_RTDN));
}

void FillPart(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush);
}

// A classic raised button face (or a flat, shadow-framed one while pressed).
void DrawFace(HDC dc, RECT r, bool pressed)
{
    FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
    if (pressed) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW));
        return;
    }
    const struct {
        int light, dark;
    } rings[] = {{COLOR_3DLIGHT, COLOR_3DDKSHADOW}, {COLOR_3DHIGHLIGHT, COLOR_3DSHADOW}};
    for (const auto& ring : rings) {
        if (r.right - r.left < 2 || r.bottom - r.top < 2)
            break;
        FillPart(dc, r.left, r.top, r.right, r.top + 1, GetSysColorBrush(ring.light));
        FillPart(dc, r.left, r.top, r.left + 1, r.bottom, GetSysColorBrush(ring.light));
        FillPart(dc, r.left, r.bottom - 1, r.right, r.bottom, GetSysColorBrush(ring.dark));
        FillPart(dc, r.right - 1, r.top, r.right, r.bottom, GetSysColorBrush(ring.dark));
        InflateRect(&r, -1, -1);
    }
}

// The arrow glyph: a small triangle pointing along the bar, grey when disabled.
void DrawArrow(HDC dc, RECT r, bool vertical, bool towardStart, bool pressed, bool disabled)
{
    DrawFace(dc, r, pressed);
    const int size = std::max(2, std::min(r.right - r.left, r.bottom - r.top) / 4);
    const int shift = pressed ? 1 : 0;
    const int cx = (r.left + r.right) / 2 + shift, cy = (r.top + r.bottom) / 2 + shift;
    POINT tri[3];
    if (vertical) {
        const int tip = towardStart ? cy - size / 2 - 1 : cy + size / 2;
        const int base = towardStart ? tip + size : tip - size;
        tri[0] = {cx, tip};
        tri[1] = {cx - size, base};
        tri[2] = {cx + size, base};
    } else {
        const int tip = towardStart ? cx - size / 2 - 1 : cx + size / 2;
        const int base = towardStart ? tip + size : tip - size;
        tri[0] = {tip, cy};
        tri[1] = {base, cy - size};
        tri[2] = {base, cy + size};
    }
    HBRUSH brush = GetSysColorBrush(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, tri, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc)
        return;
    const BarState s = With(hwnd, [](BarState& b) { return b; });
    const bool vertical = Vertical(hwnd);
    const Layout l = LayoutOf(hwnd, s, s.trackPos);
    RECT rc;
    GetClientRect(hwnd, &rc);
    // Along and across the bar: a rectangle from `from` to `to` along it.
    const auto span = [&](int from, int to) {
        return vertical ? RECT{0, from, rc.right, to} : RECT{from, 0, to, rc.bottom};
    };
    auto track = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSCROLLBAR,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!track)
        track = GetSysColorBrush(COLOR_SCROLLBAR);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    RECT middle = span(l.arrow, l.length - l.arrow);
    FillRect(dc, &middle, track);
    if (s.inside && (s.pressed == Part::PageUp || s.pressed == Part::PageDown)) {
        RECT held = s.pressed == Part::PageUp ? span(l.arrow, l.thumbStart)
                                              : span(l.thumbStart + l.thumbLength, l.length - l.arrow);
        FillRect(dc, &held, GetSysColorBrush(COLOR_3DDKSHADOW));
    }
    DrawArrow(dc, span(0, l.arrow), vertical, true, s.inside && s.pressed == Part::ArrowUp,
              !enabled || ArrowDisabled(s, Part::ArrowUp));
    DrawArrow(dc, span(l.length - l.arrow, l.length), vertical, false, s.inside && s.pressed == Part::ArrowDown,
              !enabled || ArrowDisabled(s, Part::ArrowDown));
    if (l.thumbLength > 0 && enabled)
        DrawFace(dc, span(l.thumbStart, l.thumbStart + l.thumbLength), false);
    EndPaint(hwnd, &ps);
}

void Redraw(HWND hwnd, BOOL redraw)
{
    if (redraw)
        InvalidateRect(hwnd, nullptr, FALSE);
}

// A press on an arrow or the track: the notification now, again while it is held.
void Press(HWND hwnd, Part part, POINT pt)
{
    const bool vertical = Vertical(hwnd);
    const bool proceed = With(hwnd, [&](BarState& s) {
        if (ArrowDisabled(s, part))
            return false;
        s.pressed = part;
        s.inside = true;
        s.repeating = false;
        s.mouse = pt;
        if (part == Part::Thumb) {
            const Layout l = LayoutOf(hwnd, s, s.pos);
            s.grab = (vertical ? pt.y : pt.x) - l.thumbStart;
            s.trackPos = s.pos;
        }
        return true;
    });
    if (!proceed)
        return;
    SetCapture(hwnd);
    if (GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP)
        SetFocus(hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
    if (part != Part::Thumb) {
        Notify(hwnd, CodeOf(part));
        SetTimer(hwnd, kRepeatTimer, kFirstDelay, nullptr);
    }
}

void Move(HWND hwnd, POINT pt)
{
    const bool vertical = Vertical(hwnd);
    int track = 0;
    bool drag = false;
    With(hwnd, [&](BarState& s) {
        s.mouse = pt;
        if (s.pressed == Part::Thumb) {
            track = PosAt(hwnd, s, (vertical ? pt.y : pt.x) - s.grab);
            drag = track != s.trackPos;
            s.trackPos = track;
        } else if (s.pressed != Part::None) {
            s.inside = HitTest(hwnd, s, pt) == s.pressed;
        }
        return 0;
    });
    if (drag) {
        InvalidateRect(hwnd, nullptr, FALSE);
        Notify(hwnd, SB_THUMBTRACK, track);
    }
}

void Release(HWND hwnd)
{
    Part part = Part::None;
    int track = 0;
    With(hwnd, [&](BarState& s) {
        part = s.pressed;
        track = s.trackPos;
        s.pressed = Part::None;
        s.inside = true;
        return 0;
    });
    if (part == Part::None)
        return;
    KillTimer(hwnd, kRepeatTimer);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    InvalidateRect(hwnd, nullptr, FALSE);
    if (part == Part::Thumb)
        Notify(hwnd, SB_THUMBPOSITION, track);
    Notify(hwnd, SB_ENDSCROLL);
    // Without a SetScrollPos in answer the thumb goes back to the position.
    With(hwnd, [](BarState& s) {
        s.trackPos = s.pos;
        return 0;
    });
}

void Repeat(HWND hwnd)
{
    Part part = Part::None;
    bool first = false;
    With(hwnd, [&](BarState& s) {
        part = s.pressed;
        // The track repeats only while the thumb has not reached the mouse.
        if (part == Part::PageUp || part == Part::PageDown)
            s.inside = HitTest(hwnd, s, s.mouse) == part;
        if (!s.inside)
            part = Part::None;
        first = !s.repeating;
        s.repeating = true;
        return 0;
    });
    if (first)
        SetTimer(hwnd, kRepeatTimer, kRepeatDelay, nullptr);
    if (part != Part::None && part != Part::Thumb) {
        InvalidateRect(hwnd, nullptr, FALSE);
        Notify(hwnd, CodeOf(part));
    }
}

bool KeyCode(WPARAM key, WORD* code)
{
    switch (key) {
    case VK_UP:
    case VK_LEFT:
        *code = SB_LINEUP;
        return true;
    case VK_DOWN:
    case VK_RIGHT:
        *code = SB_LINEDOWN;
        return true;
    case VK_PRIOR:
        *code = SB_PAGEUP;
        return true;
    case VK_NEXT:
        *code = SB_PAGEDOWN;
        return true;
    case VK_HOME:
        *code = SB_TOP;
        return true;
    case VK_END:
        *code = SB_BOTTOM;
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case SBM_SETPOS: {
        // Windows: the previous position, the new one clamped to the range (MSDN SBM_SETPOS).
        int previous = 0;
        With(hwnd, [&](BarState& s) {
            previous = s.pos;
            SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
            return Apply(s, si);
        });
        Redraw(hwnd, static_cast<BOOL>(lParam));
        return previous;
    }
    case SBM_GETPOS:
        return With(hwnd, [](BarState& s) { return s.pos; });
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        // The previous position when the new range moved it, else 0 (MSDN SBM_SETRANGE).
        const LRESULT r = With(hwnd, [&](BarState& s) -> LRESULT {
            const int previous = s.pos;
            SCROLLINFO si{sizeof si, SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
            return Apply(s, si) != previous ? previous : 0;
        });
        Redraw(hwnd, msg == SBM_SETRANGEREDRAW);
        return r;
    }
    case SBM_GETRANGE:
        With(hwnd, [&](BarState& s) {
            if (wParam)
                *reinterpret_cast<LPINT>(wParam) = s.min;
            if (lParam)
                *reinterpret_cast<LPINT>(lParam) = s.max;
            return 0;
        });
        return 0;
    case SBM_ENABLE_ARROWS: {
        const bool changed = With(hwnd, [&](BarState& s) {
            const UINT arrows = static_cast<UINT>(wParam) & ESB_DISABLE_BOTH;
            const bool different = s.disabledArrows != arrows;
            s.disabledArrows = arrows;
            return different;
        });
        if (changed)
            InvalidateRect(hwnd, nullptr, FALSE);
        return changed ? TRUE : FALSE;
    }
    case SBM_SETSCROLLINFO: {
        const auto* si = reinterpret_cast<const SCROLLINFO*>(lParam);
        if (!si)
            return With(hwnd, [](BarState& s) { return s.pos; });
        const SCROLLINFO copy = *si;
        const int pos = With(hwnd, [&](BarState& s) { return Apply(s, copy); });
        Redraw(hwnd, static_cast<BOOL>(wParam));
        return pos;
    }
    case SBM_GETSCROLLINFO: {
        auto* si = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!si || !(si->fMask & SIF_ALL))
            return FALSE;
        With(hwnd, [&](BarState& s) {
            if (si->fMask & SIF_RANGE) {
                si->nMin = s.min;
                si->nMax = s.max;
            }
            if (si->fMask & SIF_PAGE)
                si->nPage = s.page;
            if (si->fMask & SIF_POS)
                si->nPos = s.pos;
            if ((si->fMask & SIF_TRACKPOS) && si->cbSize >= sizeof(SCROLLINFO))
                si->nTrackPos = s.trackPos;
            return 0;
        });
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const Part part = With(hwnd, [&](BarState& s) { return HitTest(hwnd, s, pt); });
        if (part != Part::None)
            Press(hwnd, part, pt);
        return 0;
    }
    case WM_MOUSEMOVE:
        Move(hwnd, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        Release(hwnd);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            Repeat(hwnd);
            return 0;
        }
        break;
    case WM_KEYDOWN: {
        WORD code = 0;
        if (!KeyCode(wParam, &code))
            break;
        // One notification a key press (Wine's scroll bar sends no SB_ENDSCROLL for keys).
        Notify(hwnd, code);
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1; // Paint covers every pixel
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_NCDESTROY: {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_bars.erase(hwnd);
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const bool g_registered = [] {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ScrollBarProc;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = L"ScrollBar";
    return RegisterClassW(&wc) != 0;
}();

// Whether hwnd is a scroll bar control; the calls below support those (SB_CTL) alone.
bool IsControl(HWND hwnd, int bar)
{
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (bar == SB_CTL)
        return true;
    // A window's own scroll bars (WS_HSCROLL/WS_VSCROLL) are not drawn on this platform.
    moxplat::Diagnose("scroll bars: a window's own (SB_HORZ, SB_VERT) are not supported; use a SCROLLBAR control");
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

} // namespace

extern "C" {

int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw)
{
    if (!lpsi || !IsControl(hwnd, nBar))
        return 0;
    return static_cast<int>(SendMessageW(hwnd, SBM_SETSCROLLINFO, static_cast<WPARAM>(redraw),
                                         reinterpret_cast<LPARAM>(lpsi)));
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi)
{
    if (!lpsi || !IsControl(hwnd, nBar))
        return FALSE;
    return static_cast<BOOL>(SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)));
}

int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw)
{
    if (!IsControl(hWnd, nBar))
        return 0;
    return static_cast<int>(SendMessageW(hWnd, SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
}

int WINAPI GetScrollPos(HWND hWnd, int nBar)
{
    if (!IsControl(hWnd, nBar))
        return 0;
    return static_cast<int>(SendMessageW(hWnd, SBM_GETPOS, 0, 0));
}

BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw)
{
    // Windows: a range wider than MAXLONG fails with ERROR_INVALID_SCROLLBAR_RANGE (MSDN SetScrollRange).
    if (static_cast<long long>(nMaxPos) - nMinPos > kMaxLong || static_cast<long long>(nMinPos) - nMaxPos > kMaxLong) {
        SetLastError(1448); // ERROR_INVALID_SCROLLBAR_RANGE
        return FALSE;
    }
    if (!IsControl(hWnd, nBar))
        return FALSE;
    SCROLLINFO si{sizeof si, SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    SendMessageW(hWnd, SBM_SETSCROLLINFO, static_cast<WPARAM>(bRedraw), reinterpret_cast<LPARAM>(&si));
    return TRUE;
}

BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos)
{
    if (!lpMinPos || !lpMaxPos || !IsControl(hWnd, nBar))
        return FALSE;
    SendMessageW(hWnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos), reinterpret_cast<LPARAM>(lpMaxPos));
    return TRUE;
}

BOOL WINAPI EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows)
{
    if (!IsControl(hWnd, static_cast<int>(wSBflags)))
        return FALSE;
    return static_cast<BOOL>(SendMessageW(hWnd, SBM_ENABLE_ARROWS, wArrows, 0));
}

} // extern "C"
