// The COMBOBOX class as a drop-down list: the items live in a LISTBOX that drops below the
// control when clicked or asked (CB_SHOWDROPDOWN); the CB_ messages are the list's LB_ ones.
// CBS_SIMPLE and CBS_DROPDOWN have no edit field here: they behave as drop-down lists.

#include <windows.h>

#include <string>

namespace {

constexpr int kListIndex = 0;
constexpr int kFontIndex = sizeof(LONG_PTR);
constexpr int kDroppedHeightIndex = 2 * sizeof(LONG_PTR);

HWND ListOf(HWND hwnd)
{
    return reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd, kListIndex));
}

void Notify(HWND hwnd, WORD code)
{
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

UINT ListMessageOf(UINT msg)
{
    switch (msg) {
    case CB_ADDSTRING:
        return LB_ADDSTRING;
    case CB_INSERTSTRING:
        return LB_INSERTSTRING;
    case CB_DELETESTRING:
        return LB_DELETESTRING;
    case CB_RESETCONTENT:
        return LB_RESETCONTENT;
    case CB_GETCOUNT:
        return LB_GETCOUNT;
    case CB_GETCURSEL:
        return LB_GETCURSEL;
    case CB_SETCURSEL:
        return LB_SETCURSEL;
    case CB_GETLBTEXT:
        return LB_GETTEXT;
    case CB_GETLBTEXTLEN:
        return LB_GETTEXTLEN;
    case CB_FINDSTRING:
        return LB_FINDSTRING;
    case CB_FINDSTRINGEXACT:
        return LB_FINDSTRINGEXACT;
    case CB_SELECTSTRING:
        return LB_SELECTSTRING;
    case CB_GETITEMDATA:
        return LB_GETITEMDATA;
    case CB_SETITEMDATA:
        return LB_SETITEMDATA;
    default:
        return 0;
    }
}

void ShowList(HWND hwnd, bool show)
{
    HWND list = ListOf(hwnd);
    if (!list || show == (IsWindowVisible(list) != 0))
        return;
    if (show) {
        Notify(hwnd, CBN_DROPDOWN);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        const int height = static_cast<int>(GetWindowLongPtrW(hwnd, kDroppedHeightIndex));
        SetWindowPos(list, HWND_TOP, rc.left, rc.bottom, rc.right - rc.left, height > 0 ? height : 100,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        ShowWindow(list, SW_HIDE);
        Notify(hwnd, CBN_CLOSEUP);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
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
    FrameRect(dc, &rc, GetSysColorBrush(COLOR_3DSHADOW));
    // The arrow button at the right.
    const int arrow = rc.bottom;
    RECT button{rc.right - arrow, rc.top, rc.right, rc.bottom};
    FillRect(dc, &button, GetSysColorBrush(COLOR_3DFACE));
    FrameRect(dc, &button, GetSysColorBrush(COLOR_3DSHADOW));
    const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        RECT line{cx - 3 + i, cy - 2 + i, cx + 4 - i, cy - 1 + i};
        FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    HWND list = ListOf(hwnd);
    const LRESULT selected = list ? SendMessageW(list, LB_GETCURSEL, 0, 0) : LB_ERR;
    if (selected >= 0) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
        if (length >= 0 && length < 4096) {
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&text[0]));
            text.resize(static_cast<std::size_t>(length));
            auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, kFontIndex));
            HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
            RECT field{rc.left + 3, rc.top, button.left - 1, rc.bottom};
            if (GetFocus() == hwnd) {
                FillRect(dc, &field, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            }
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &field,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (oldFont)
                SelectObject(dc, oldFont);
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (const UINT listMsg = ListMessageOf(msg)) {
        HWND list = ListOf(hwnd);
        if (!list)
            return CB_ERR;
        LRESULT r = SendMessageW(list, listMsg, wParam, lParam);
        // An index past the end clears the selection too (Microsoft's CB_SETCURSEL), where a
        // list box keeps its own.
        if (msg == CB_SETCURSEL && r == LB_ERR)
            r = SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        if (msg == CB_SETCURSEL || msg == CB_SELECTSTRING || msg == CB_RESETCONTENT || msg == CB_DELETESTRING)
            InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    switch (msg) {
    case WM_CREATE: {
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        HWND list = CreateWindowExW(WS_EX_TOOLWINDOW, L"ListBox", L"",
                                    WS_POPUP | WS_BORDER | LBS_NOTIFY | ((style & CBS_SORT) ? LBS_SORT : 0), 0, 0, 10,
                                    10, hwnd, nullptr, nullptr, nullptr);
        if (!list)
            return -1;
        SetWindowLongPtrW(hwnd, kListIndex, reinterpret_cast<LONG_PTR>(list));
        // The height a template gives is the dropped list's; the closed box is one line high.
        RECT rc;
        GetClientRect(hwnd, &rc);
        SetWindowLongPtrW(hwnd, kDroppedHeightIndex, rc.bottom);
        const int line = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)) + 6;
        SetWindowPos(hwnd, nullptr, 0, 0, rc.right, line, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        if (HWND list = ListOf(hwnd)) {
            SetWindowLongPtrW(hwnd, kListIndex, 0);
            DestroyWindow(list);
        }
        return 0;
    case WM_COMMAND:
        // From the dropped list: a choice by mouse closes it; any change is the combo's.
        if (reinterpret_cast<HWND>(lParam) == ListOf(hwnd) && HIWORD(wParam) == LBN_SELCHANGE) {
            InvalidateRect(hwnd, nullptr, TRUE);
            Notify(hwnd, CBN_SELCHANGE);
            if (IsWindowVisible(ListOf(hwnd)) && (GetKeyState(VK_LBUTTON) & 0x8000)) {
                Notify(hwnd, CBN_SELENDOK);
                ShowList(hwnd, false);
            }
        }
        return 0;
    case CB_SHOWDROPDOWN:
        ShowList(hwnd, wParam != 0);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return ListOf(hwnd) && IsWindowVisible(ListOf(hwnd));
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        ShowList(hwnd, !(ListOf(hwnd) && IsWindowVisible(ListOf(hwnd))));
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
            ShowList(hwnd, false);
        } else if (wParam == VK_F4) {
            ShowList(hwnd, !IsWindowVisible(ListOf(hwnd)));
        } else if (HWND list = ListOf(hwnd)) {
            // Arrows, Home and End move the selection, as in the list itself.
            SendMessageW(list, WM_KEYDOWN, wParam, lParam);
        }
        return 0;
    case WM_SETFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        Notify(hwnd, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        ShowList(hwnd, false);
        InvalidateRect(hwnd, nullptr, TRUE);
        Notify(hwnd, CBN_KILLFOCUS);
        return 0;
    case WM_SETFONT:
        SetWindowLongPtrW(hwnd, kFontIndex, static_cast<LONG_PTR>(wParam));
        if (HWND list = ListOf(hwnd))
            SendMessageW(list, WM_SETFONT, wParam, lParam);
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(hwnd, kFontIndex);
    case WM_ERASEBKGND:
        return 1;
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
    wc.lpfnWndProc = ComboProc;
    wc.cbWndExtra = 3 * sizeof(LONG_PTR);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = L"ComboBox";
    return RegisterClassW(&wc) != 0;
}();

} // namespace
