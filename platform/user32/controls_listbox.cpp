// The LISTBOX class with a single selection: strings (sorted with LBS_SORT), item data, the
// selection by LB_SETCURSEL, mouse and keys, LBN_SELCHANGE/LBN_DBLCLK with LBS_NOTIFY.

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct Item {
    std::wstring text;
    LPARAM data = 0;
};

struct ListState {
    std::vector<Item> items;
    int selected = LB_ERR;
    int top = 0;
    HFONT font = nullptr;
};

// A list holds at most this many items; more answer LB_ERRSPACE.
constexpr std::size_t kMaxItems = 1u << 20;

std::mutex g_mutex;
std::unordered_map<HWND, ListState> g_lists;

template <class F> auto With(HWND hwnd, F f)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return f(g_lists[hwnd]);
}

int CompareNoCase(const std::wstring& a, const std::wstring& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = std::towlower(static_cast<wint_t>(a[i])), y = std::towlower(static_cast<wint_t>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int ItemHeight(HWND hwnd, HFONT font)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight > 0 ? static_cast<int>(tm.tmHeight) : 16;
}

void Notify(HWND hwnd, WORD code)
{
    if (GetWindowLongW(hwnd, GWL_STYLE) & LBS_NOTIFY)
        SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

// A user's choice: moves the selection, keeps it in view and tells the parent.
void Choose(HWND hwnd, int index)
{
    const int height = ItemHeight(hwnd, With(hwnd, [](ListState& s) { return s.font; }));
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int visible = std::max(1, static_cast<int>(rc.bottom) / height);
    const bool changed = With(hwnd, [&](ListState& s) {
        if (s.items.empty())
            return false;
        index = std::clamp(index, 0, static_cast<int>(s.items.size()) - 1);
        if (index < s.top)
            s.top = index;
        else if (index >= s.top + visible)
            s.top = index - visible + 1;
        const bool different = s.selected != index;
        s.selected = index;
        return different;
    });
    InvalidateRect(hwnd, nullptr, TRUE);
    if (changed)
        Notify(hwnd, LBN_SELCHANGE);
}

int Find(const ListState& s, int after, const std::wstring& text, bool exact)
{
    const int n = static_cast<int>(s.items.size());
    // The search starts after `after` and wraps (-1: from the top).
    const int start = (after < -1 || after >= n) ? -1 : after;
    for (int k = 1; k <= n; ++k) {
        const int i = (start + k) % n;
        const std::wstring& item = s.items[static_cast<std::size_t>(i)].text;
        if (exact ? CompareNoCase(item, text) == 0
                  : item.size() >= text.size() && CompareNoCase(item.substr(0, text.size()), text) == 0)
            return i;
    }
    return LB_ERR;
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc)
        return;
    RECT rc;
    GetClientRect(hwnd, &rc);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORLISTBOX,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    std::vector<std::wstring> texts;
    int selected = LB_ERR, top = 0;
    HFONT font = nullptr;
    With(hwnd, [&](ListState& s) {
        for (const Item& it : s.items)
            texts.push_back(it.text);
        selected = s.selected;
        top = s.top;
        font = s.font;
        return 0;
    });
    const int height = ItemHeight(hwnd, font);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    const COLORREF normal = GetTextColor(dc);
    for (int i = top, y = 0; i < static_cast<int>(texts.size()) && y < rc.bottom; ++i, y += height) {
        RECT line{0, y, rc.right, y + height};
        if (i == selected) {
            FillRect(dc, &line, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
            SetTextColor(dc, normal);
        }
        line.left += 2;
        const std::wstring& t = texts[static_cast<std::size_t>(i)];
        DrawTextW(dc, t.c_str(), static_cast<int>(t.size()), &line, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const auto text = [&] { return std::wstring(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L""); };
    const auto index = static_cast<int>(wParam);
    switch (msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        const bool sorted = msg == LB_ADDSTRING && (GetWindowLongW(hwnd, GWL_STYLE) & LBS_SORT);
        const std::wstring t = text();
        const LRESULT r = With(hwnd, [&](ListState& s) -> LRESULT {
            if (s.items.size() >= kMaxItems)
                return LB_ERRSPACE;
            int at = static_cast<int>(s.items.size());
            if (sorted) {
                at = static_cast<int>(std::upper_bound(s.items.begin(), s.items.end(), t,
                                                       [](const std::wstring& v, const Item& it) {
                                                           return CompareNoCase(v, it.text) < 0;
                                                       }) -
                                      s.items.begin());
            } else if (msg == LB_INSERTSTRING && index != -1) {
                if (index < 0 || index > static_cast<int>(s.items.size()))
                    return LB_ERR;
                at = index;
            }
            s.items.insert(s.items.begin() + at, Item{t, 0});
            if (s.selected != LB_ERR && s.selected >= at)
                ++s.selected;
            return at;
        });
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case LB_DELETESTRING: {
        const LRESULT r = With(hwnd, [&](ListState& s) -> LRESULT {
            if (index < 0 || index >= static_cast<int>(s.items.size()))
                return LB_ERR;
            s.items.erase(s.items.begin() + index);
            if (s.selected == index)
                s.selected = LB_ERR;
            else if (s.selected > index)
                --s.selected;
            s.top = std::min(s.top, std::max(0, static_cast<int>(s.items.size()) - 1));
            return static_cast<LRESULT>(s.items.size());
        });
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case LB_RESETCONTENT:
        With(hwnd, [](ListState& s) {
            s.items.clear();
            s.selected = LB_ERR;
            s.top = 0;
            return 0;
        });
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETCOUNT:
        return With(hwnd, [](ListState& s) { return static_cast<LRESULT>(s.items.size()); });
    case LB_SETCURSEL: {
        // -1 clears the selection and still answers LB_ERR (Microsoft's LB_SETCURSEL).
        const LRESULT r = With(hwnd, [&](ListState& s) -> LRESULT {
            if (index < 0 || index >= static_cast<int>(s.items.size())) {
                if (index == -1)
                    s.selected = LB_ERR;
                return LB_ERR;
            }
            s.selected = index;
            return index;
        });
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case LB_GETCURSEL:
        return With(hwnd, [](ListState& s) { return static_cast<LRESULT>(s.selected); });
    case LB_GETTEXT:
    case LB_GETTEXTLEN:
        return With(hwnd, [&](ListState& s) -> LRESULT {
            if (index < 0 || index >= static_cast<int>(s.items.size()))
                return LB_ERR;
            const std::wstring& t = s.items[static_cast<std::size_t>(index)].text;
            // LB_GETTEXT's buffer must hold LB_GETTEXTLEN + 1 characters (Microsoft's LB_GETTEXT).
            if (msg == LB_GETTEXT && lParam)
                std::copy(t.c_str(), t.c_str() + t.size() + 1, reinterpret_cast<wchar_t*>(lParam));
            return static_cast<LRESULT>(t.size());
        });
    case LB_GETITEMDATA:
    case LB_SETITEMDATA:
        return With(hwnd, [&](ListState& s) -> LRESULT {
            if (index < 0 || index >= static_cast<int>(s.items.size()))
                return LB_ERR;
            if (msg == LB_GETITEMDATA)
                return s.items[static_cast<std::size_t>(index)].data;
            s.items[static_cast<std::size_t>(index)].data = lParam;
            return TRUE;
        });
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
        const std::wstring t = text();
        return With(hwnd, [&](ListState& s) -> LRESULT { return Find(s, index, t, msg == LB_FINDSTRINGEXACT); });
    }
    case LB_SELECTSTRING: {
        const std::wstring t = text();
        const LRESULT found = With(hwnd, [&](ListState& s) -> LRESULT {
            const int i = Find(s, index, t, false);
            if (i != LB_ERR)
                s.selected = i;
            return i;
        });
        InvalidateRect(hwnd, nullptr, TRUE);
        return found;
    }
    case LB_GETTOPINDEX:
        return With(hwnd, [](ListState& s) { return static_cast<LRESULT>(s.top); });
    case LB_SETTOPINDEX: {
        const LRESULT r = With(hwnd, [&](ListState& s) -> LRESULT {
            if (index < 0 || index >= std::max<int>(1, static_cast<int>(s.items.size())))
                return LB_ERR;
            s.top = index;
            return 0;
        });
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case LB_GETITEMHEIGHT:
        return ItemHeight(hwnd, With(hwnd, [](ListState& s) { return s.font; }));
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd);
        const int y = static_cast<short>(HIWORD(lParam));
        const int height = ItemHeight(hwnd, With(hwnd, [](ListState& s) { return s.font; }));
        const int top = With(hwnd, [](ListState& s) { return s.top; });
        const int count = With(hwnd, [](ListState& s) { return static_cast<int>(s.items.size()); });
        const int at = top + (y >= 0 ? y / height : -1);
        if (at >= 0 && at < count) {
            Choose(hwnd, at);
            if (msg == WM_LBUTTONDBLCLK)
                Notify(hwnd, LBN_DBLCLK);
        }
        return 0;
    }
    case WM_KEYDOWN: {
        const int selected = With(hwnd, [](ListState& s) { return s.selected; });
        const int count = With(hwnd, [](ListState& s) { return static_cast<int>(s.items.size()); });
        switch (wParam) {
        case VK_UP:
            Choose(hwnd, selected == LB_ERR ? 0 : selected - 1);
            break;
        case VK_DOWN:
            Choose(hwnd, selected == LB_ERR ? 0 : selected + 1);
            break;
        case VK_HOME:
            Choose(hwnd, 0);
            break;
        case VK_END:
            Choose(hwnd, count - 1);
            break;
        default:
            break;
        }
        return 0;
    }
    case WM_SETFOCUS:
        Notify(hwnd, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        Notify(hwnd, LBN_KILLFOCUS);
        return 0;
    case WM_SETFONT:
        With(hwnd, [&](ListState& s) { return s.font = reinterpret_cast<HFONT>(wParam); });
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(With(hwnd, [](ListState& s) { return s.font; }));
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_NCDESTROY: {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_lists.erase(hwnd);
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const bool g_registered = [] {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS | CS_PARENTDC;
    wc.lpfnWndProc = ListProc;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = L"ListBox";
    return RegisterClassW(&wc) != 0;
}();

} // namespace
