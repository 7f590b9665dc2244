// The progress bar (PROGRESS_CLASS, Microsoft's Progress Bar reference): a range, a position
// clamped into it, a step that wraps round, and a bar drawn in chunks (or smooth with
// PBS_SMOOTH, upwards with PBS_VERTICAL). Every setter answers the value it replaced.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace {

struct ProgressState {
    int low = 0; // Windows' defaults: 0 to 100, step 10
    int high = 100;
    int pos = 0;
    int step = 10;
    COLORREF bar = CLR_DEFAULT;
    COLORREF background = CLR_DEFAULT;
};

std::mutex g_mutex;
std::unordered_map<HWND, ProgressState> g_bars;

template <class F> auto With(HWND hwnd, F f)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return f(g_bars[hwnd]);
}

int Clamp(const ProgressState& s, long long pos)
{
    return static_cast<int>(std::clamp<long long>(pos, std::min(s.low, s.high), std::max(s.low, s.high)));
}

// A step past the end starts again from the other end, keeping the overshoot.
int Wrap(const ProgressState& s, long long pos)
{
    const long long span = static_cast<long long>(s.high) - s.low;
    if (span <= 0)
        return Clamp(s, pos);
    if (pos > s.high)
        return static_cast<int>(s.low + (pos - s.low) % span);
    if (pos < s.low)
        return static_cast<int>(s.high + (pos - s.low) % span);
    return static_cast<int>(pos);
}

LRESULT PackedRange(const ProgressState& s)
{
    return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s.low), static_cast<WORD>(s.high)));
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc)
        return;
    const ProgressState s = With(hwnd, [](ProgressState& p) { return p; });
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH back = s.background == CLR_DEFAULT ? GetSysColorBrush(COLOR_3DFACE) : CreateSolidBrush(s.background);
    FillRect(dc, &rc, back);
    if (s.background != CLR_DEFAULT)
        DeleteObject(back);
    const bool vertical = (style & PBS_VERTICAL) != 0;
    InflateRect(&rc, -1, -1);
    const int length = vertical ? rc.bottom - rc.top : rc.right - rc.left;
    const long long span = static_cast<long long>(s.high) - s.low;
    if (length <= 0 || span <= 0) {
        EndPaint(hwnd, &ps);
        return;
    }
    const int filled = static_cast<int>(length * (static_cast<long long>(Clamp(s, s.pos)) - s.low) / span);
    HBRUSH bar = s.bar == CLR_DEFAULT ? GetSysColorBrush(COLOR_HIGHLIGHT) : CreateSolidBrush(s.bar);
    // The classic look: blocks about two thirds as long as the bar is thick, two pixels apart.
    const int thickness = vertical ? rc.right - rc.left : rc.bottom - rc.top;
    const int chunk = (style & PBS_SMOOTH) ? length : std::max(2, thickness * 2 / 3);
    const int gap = (style & PBS_SMOOTH) ? 0 : 2;
    for (int at = 0; at < filled; at += chunk + gap) {
        const int end = std::min(filled, at + chunk);
        RECT block = vertical ? RECT{rc.left, rc.bottom - end, rc.right, rc.bottom - at}
                              : RECT{rc.left + at, rc.top, rc.left + end, rc.bottom};
        FillRect(dc, &block, bar);
    }
    if (s.bar != CLR_DEFAULT)
        DeleteObject(bar);
    EndPaint(hwnd, &ps);
}

// Runs a change to the state and redraws when it moved the bar; returns what f answers.
template <class F> LRESULT Change(HWND hwnd, F f)
{
    const LRESULT r = With(hwnd, f);
    InvalidateRect(hwnd, nullptr, TRUE);
    return r;
}

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case PBM_SETRANGE:
        return Change(hwnd, [&](ProgressState& s) {
            const LRESULT previous = PackedRange(s);
            s.low = LOWORD(lParam);
            s.high = HIWORD(lParam);
            return previous;
        });
    case PBM_SETRANGE32:
        return Change(hwnd, [&](ProgressState& s) {
            const LRESULT previous = PackedRange(s);
            s.low = static_cast<int>(wParam);
            s.high = static_cast<int>(lParam);
            return previous;
        });
    case PBM_GETRANGE:
        return With(hwnd, [&](ProgressState& s) -> LRESULT {
            if (lParam) {
                auto* range = reinterpret_cast<PBRANGE*>(lParam);
                range->iLow = s.low;
                range->iHigh = s.high;
            }
            return wParam ? s.low : s.high;
        });
    case PBM_SETPOS:
        return Change(hwnd, [&](ProgressState& s) -> LRESULT {
            const int previous = s.pos;
            s.pos = Clamp(s, static_cast<int>(wParam));
            return previous;
        });
    case PBM_DELTAPOS:
        return Change(hwnd, [&](ProgressState& s) -> LRESULT {
            const int previous = s.pos;
            s.pos = Clamp(s, static_cast<long long>(s.pos) + static_cast<int>(wParam));
            return previous;
        });
    case PBM_GETPOS:
        return With(hwnd, [](ProgressState& s) -> LRESULT { return s.pos; });
    case PBM_SETSTEP:
        return With(hwnd, [&](ProgressState& s) -> LRESULT {
            const int previous = s.step;
            s.step = static_cast<int>(wParam);
            return previous;
        });
    case PBM_GETSTEP:
        return With(hwnd, [](ProgressState& s) -> LRESULT { return s.step; });
    case PBM_STEPIT:
        return Change(hwnd, [](ProgressState& s) -> LRESULT {
            const int previous = s.pos;
            s.pos = Wrap(s, static_cast<long long>(s.pos) + s.step);
            return previous;
        });
    case PBM_SETBARCOLOR:
        return Change(hwnd, [&](ProgressState& s) -> LRESULT {
            const COLORREF previous = s.bar;
            s.bar = static_cast<COLORREF>(lParam);
            return static_cast<LRESULT>(previous);
        });
    case PBM_GETBARCOLOR:
        return With(hwnd, [](ProgressState& s) -> LRESULT { return static_cast<LRESULT>(s.bar); });
    case PBM_SETBKCOLOR:
        return Change(hwnd, [&](ProgressState& s) -> LRESULT {
            const COLORREF previous = s.background;
            s.background = static_cast<COLORREF>(lParam);
            return static_cast<LRESULT>(previous);
        });
    case PBM_GETBKCOLOR:
        return With(hwnd, [](ProgressState& s) -> LRESULT { return static_cast<LRESULT>(s.background); });
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
    wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ProgressProc;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = PROGRESS_CLASSW;
    return RegisterClassW(&wc) != 0;
}();

} // namespace
