// The EDIT class, single-line: typing, a caret and a selection moved by keys and set by
// EM_SETSEL, ES_NUMBER, ES_PASSWORD, ES_READONLY, ES_UPPERCASE/LOWERCASE, EM_LIMITTEXT, and the
// EN_UPDATE/EN_CHANGE/EN_MAXTEXT notifications. The text itself is the window's text.

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace {

// The window's bytes.
enum Slot { kAnchor, kCaret, kLimit, kFont, kPasswordChar, kModified, kSlots };

LONG_PTR Get(HWND hwnd, Slot s)
{
    return GetWindowLongPtrW(hwnd, static_cast<int>(s * sizeof(LONG_PTR)));
}

void Put(HWND hwnd, Slot s, LONG_PTR v)
{
    SetWindowLongPtrW(hwnd, static_cast<int>(s * sizeof(LONG_PTR)), v);
}

// Before EM_LIMITTEXT a user may type 32,767 characters; EM_LIMITTEXT 0 means 0x7FFFFFFE
// (Microsoft's EM_LIMITTEXT).
constexpr LONG_PTR kDefaultLimit = 32767;

std::wstring TextOf(HWND hwnd)
{
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(std::max(n, 0)) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, &text[0], n + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void Notify(HWND hwnd, WORD code)
{
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

void Select(HWND hwnd, LONG_PTR anchor, LONG_PTR caret)
{
    const LONG_PTR length = static_cast<LONG_PTR>(GetWindowTextLengthW(hwnd));
    Put(hwnd, kAnchor, std::clamp<LONG_PTR>(anchor, 0, length));
    Put(hwnd, kCaret, std::clamp<LONG_PTR>(caret, 0, length));
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Replaces the selection with `insert` as a user's edit would: within the limit, then EN_UPDATE
// and EN_CHANGE. False when nothing could be inserted.
bool ReplaceSelection(HWND hwnd, std::wstring insert, bool notify)
{
    std::wstring text = TextOf(hwnd);
    const std::size_t a = static_cast<std::size_t>(std::min(Get(hwnd, kAnchor), Get(hwnd, kCaret)));
    const std::size_t b = static_cast<std::size_t>(std::max(Get(hwnd, kAnchor), Get(hwnd, kCaret)));
    const std::size_t start = std::min(a, text.size());
    const std::size_t end = std::min(b, text.size());
    const std::size_t kept = text.size() - (end - start);
    const std::size_t limit = static_cast<std::size_t>(Get(hwnd, kLimit));
    bool truncated = false;
    if (kept + insert.size() > limit) {
        insert.resize(limit > kept ? limit - kept : 0);
        truncated = true;
    }
    if (insert.empty() && start == end) {
        if (truncated)
            Notify(hwnd, EN_MAXTEXT);
        return false;
    }
    text.replace(start, end - start, insert);
    DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const LONG_PTR caret = static_cast<LONG_PTR>(start + insert.size());
    Select(hwnd, caret, caret);
    Put(hwnd, kModified, TRUE);
    if (notify) {
        Notify(hwnd, EN_UPDATE);
        Notify(hwnd, EN_CHANGE);
    }
    if (truncated)
        Notify(hwnd, EN_MAXTEXT);
    return true;
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc)
        return;
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    RECT rc;
    GetClientRect(hwnd, &rc);
    // Read-only and disabled edits ask with WM_CTLCOLORSTATIC, others with WM_CTLCOLOREDIT
    // (Microsoft's WM_CTLCOLOREDIT).
    const bool passive = (style & (ES_READONLY | WS_DISABLED)) != 0;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), passive ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush)
        brush = GetSysColorBrush(passive ? COLOR_3DFACE : COLOR_WINDOW);
    FillRect(dc, &rc, brush);
    auto font = reinterpret_cast<HFONT>(Get(hwnd, kFont));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    std::wstring shown = TextOf(hwnd);
    if (const wchar_t mask = static_cast<wchar_t>(Get(hwnd, kPasswordChar)))
        shown.assign(shown.size(), mask);
    const int margin = 2;
    const std::size_t a = static_cast<std::size_t>(std::min(Get(hwnd, kAnchor), Get(hwnd, kCaret)));
    const std::size_t b = static_cast<std::size_t>(std::max(Get(hwnd, kAnchor), Get(hwnd, kCaret)));
    const auto widthOf = [&](std::size_t n) {
        SIZE s{};
        if (n)
            GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(std::min(n, shown.size())), &s);
        return static_cast<int>(s.cx);
    };
    SetBkMode(dc, TRANSPARENT);
    if (style & WS_DISABLED)
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    TextOutW(dc, margin, margin, shown.c_str(), static_cast<int>(shown.size()));
    const bool focused = GetFocus() == hwnd;
    if (focused && a != b) {
        RECT sel{margin + widthOf(a), rc.top + margin, margin + widthOf(b), rc.bottom - margin};
        FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        TextOutW(dc, sel.left, margin, shown.c_str() + a, static_cast<int>(b - a));
    }
    if (focused) {
        const int x = margin + widthOf(static_cast<std::size_t>(Get(hwnd, kCaret)));
        RECT caret{x, rc.top + margin, x + 1, rc.bottom - margin};
        FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

void Key(HWND hwnd, WPARAM key)
{
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const LONG_PTR caret = Get(hwnd, kCaret);
    const LONG_PTR anchor = Get(hwnd, kAnchor);
    const LONG_PTR length = GetWindowTextLengthW(hwnd);
    LONG_PTR to = caret;
    switch (key) {
    case VK_LEFT:
        to = (!shift && anchor != caret) ? std::min(anchor, caret) : caret - 1;
        break;
    case VK_RIGHT:
        to = (!shift && anchor != caret) ? std::max(anchor, caret) : caret + 1;
        break;
    case VK_HOME:
        to = 0;
        break;
    case VK_END:
        to = length;
        break;
    case VK_DELETE:
        if (GetWindowLongW(hwnd, GWL_STYLE) & ES_READONLY)
            return;
        if (anchor == caret)
            Select(hwnd, caret, caret + 1);
        ReplaceSelection(hwnd, L"", true);
        return;
    default:
        return;
    }
    to = std::clamp<LONG_PTR>(to, 0, length);
    Select(hwnd, shift ? anchor : to, to);
}

void Char(HWND hwnd, wchar_t c)
{
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if (style & ES_READONLY)
        return;
    if (c == L'\b') {
        if (Get(hwnd, kAnchor) == Get(hwnd, kCaret))
            Select(hwnd, Get(hwnd, kCaret) - 1, Get(hwnd, kCaret));
        ReplaceSelection(hwnd, L"", true);
        return;
    }
    if (c < L' ')
        return; // Enter, Tab, Escape and control characters are not text in a single line
    // ES_NUMBER takes digits only; anything else is refused with a beep (Microsoft's Edit
    // Control Styles).
    if ((style & ES_NUMBER) && (c < L'0' || c > L'9')) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    if (style & ES_UPPERCASE)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    else if (style & ES_LOWERCASE)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    ReplaceSelection(hwnd, std::wstring(1, c), true);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCREATE:
        Put(hwnd, kLimit, kDefaultLimit);
        if (GetWindowLongW(hwnd, GWL_STYLE) & ES_PASSWORD)
            Put(hwnd, kPasswordChar, L'*');
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case EM_GETSEL: {
        const LONG_PTR a = std::min(Get(hwnd, kAnchor), Get(hwnd, kCaret));
        const LONG_PTR b = std::max(Get(hwnd, kAnchor), Get(hwnd, kCaret));
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
        return (a > 0xFFFF || b > 0xFFFF) ? -1 : MAKELONG(a, b);
    }
    case EM_SETSEL: {
        // A start of -1 removes the selection; an end of -1 (or past the text) means the end.
        const LONG_PTR length = GetWindowTextLengthW(hwnd);
        const auto start = static_cast<LONG_PTR>(static_cast<int>(wParam));
        const auto end = static_cast<LONG_PTR>(static_cast<int>(lParam));
        if (start < 0)
            Select(hwnd, Get(hwnd, kCaret), Get(hwnd, kCaret));
        else
            Select(hwnd, start, end < 0 ? length : end);
        return 0;
    }
    case EM_REPLACESEL: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        ReplaceSelection(hwnd, text ? text : L"", true);
        return 0;
    }
    case EM_LIMITTEXT:
        Put(hwnd, kLimit, wParam ? static_cast<LONG_PTR>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE);
        return 0;
    case EM_GETLIMITTEXT:
        return Get(hwnd, kLimit);
    case EM_SETPASSWORDCHAR:
        Put(hwnd, kPasswordChar, static_cast<LONG_PTR>(wParam));
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_GETPASSWORDCHAR:
        return Get(hwnd, kPasswordChar);
    case EM_SETREADONLY: {
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        SetWindowLongW(hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_GETMODIFY:
        return Get(hwnd, kModified);
    case EM_SETMODIFY:
        Put(hwnd, kModified, wParam != 0);
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
        Select(hwnd, 0, 0);
        Put(hwnd, kModified, FALSE);
        // A single-line edit announces text set from outside too (Microsoft's EN_CHANGE).
        Notify(hwnd, EN_UPDATE);
        Notify(hwnd, EN_CHANGE);
        return r;
    }
    case WM_CHAR:
        Char(hwnd, static_cast<wchar_t>(wParam));
        return 0;
    case WM_KEYDOWN:
        Key(hwnd, wParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_SETFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        Notify(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        Notify(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_SETFONT:
        Put(hwnd, kFont, static_cast<LONG_PTR>(wParam));
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return Get(hwnd, kFont);
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT fills it with the parent's brush
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

const bool g_registered = [] {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS | CS_PARENTDC;
    wc.lpfnWndProc = EditProc;
    wc.cbWndExtra = kSlots * sizeof(LONG_PTR);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32513)); // IDC_IBEAM
    wc.lpszClassName = L"Edit";
    return RegisterClassW(&wc) != 0;
}();

} // namespace
