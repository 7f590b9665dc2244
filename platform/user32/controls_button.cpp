// The BUTTON class: push buttons (default or not), check boxes, radio buttons (manual and automatic,
// two and three states) and group boxes, drawn in a plain classic style.

#include <windows.h>

namespace {

// The window's bytes: its state (BST_* check bits, BST_PUSHED, BST_FOCUS) and its font.
constexpr int kStateIndex = 0;
constexpr int kFontIndex = sizeof(LONG_PTR);

UINT TypeOf(HWND hwnd)
{
    return static_cast<UINT>(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsCheckType(UINT type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
           type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsRadio(UINT type)
{
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

LONG_PTR StateOf(HWND hwnd)
{
    return GetWindowLongPtrW(hwnd, kStateIndex);
}

// An owner-drawn button has its parent draw it through WM_DRAWITEM, after WM_CTLCOLORBTN has set
// the DC's colours; the button fills nothing itself (Microsoft's BS_OWNERDRAW and DRAWITEMSTRUCT).
void DrawOwnerDrawn(HWND hwnd, HDC dc, UINT action)
{
    const LONG_PTR state = GetWindowLongPtrW(hwnd, kStateIndex);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    dis.itemAction = action;
    dis.itemState = ((state & BST_FOCUS) ? ODS_FOCUS : 0) | ((state & BST_PUSHED) ? ODS_SELECTED : 0) |
                    (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    GetClientRect(hwnd, &dis.rcItem);
    auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, kFontIndex));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    HWND parent = GetParent(hwnd);
    SendMessageW(parent ? parent : hwnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    SendMessageW(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    if (oldFont)
        SelectObject(dc, oldFont);
}

void SetState(HWND hwnd, LONG_PTR state)
{
    const LONG_PTR old = StateOf(hwnd);
    if (state == old)
        return;
    SetWindowLongPtrW(hwnd, kStateIndex, state);
    if (TypeOf(hwnd) != BS_OWNERDRAW) {
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    // The owner redraws at once what changed: the pushed look or the focus.
    if (!IsWindowVisible(hwnd))
        return;
    HDC dc = GetDC(hwnd);
    if ((state ^ old) & BST_PUSHED)
        DrawOwnerDrawn(hwnd, dc, ODA_SELECT);
    if ((state ^ old) & BST_FOCUS)
        DrawOwnerDrawn(hwnd, dc, ODA_FOCUS);
    ReleaseDC(hwnd, dc);
}

void Notify(HWND hwnd, WORD code)
{
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

// What a click does before BN_CLICKED: automatic kinds change their own check.
void Click(HWND hwnd)
{
    const UINT type = TypeOf(hwnd);
    const LONG_PTR state = StateOf(hwnd);
    if (type == BS_AUTOCHECKBOX) {
        SetState(hwnd, (state & ~3) | ((state & 3) ? BST_UNCHECKED : BST_CHECKED));
    } else if (type == BS_AUTO3STATE) {
        SetState(hwnd, (state & ~3) | (((state & 3) + 1) % 3));
    } else if (type == BS_AUTORADIOBUTTON) {
        // The automatic radio buttons of its group lose their check (Microsoft's Button Styles).
        HWND parent = GetParent(hwnd);
        HWND start = hwnd;
        for (HWND prev = hwnd; prev && !(GetWindowLongW(prev, GWL_STYLE) & WS_GROUP);) {
            prev = GetWindow(prev, GW_HWNDPREV);
            if (prev)
                start = prev;
        }
        for (HWND c = start; c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (c != start && (GetWindowLongW(c, GWL_STYLE) & WS_GROUP))
                break;
            if (c != hwnd && GetParent(c) == parent && TypeOf(c) == BS_AUTORADIOBUTTON)
                SendMessageW(c, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        SetState(hwnd, (StateOf(hwnd) & ~3) | BST_CHECKED);
    }
    Notify(hwnd, BN_CLICKED);
}

void DrawEdges(HDC dc, RECT r, bool sunken)
{
    HBRUSH light = GetSysColorBrush(sunken ? COLOR_3DDKSHADOW : COLOR_3DHIGHLIGHT);
    HBRUSH dark = GetSysColorBrush(sunken ? COLOR_3DHIGHLIGHT : COLOR_3DDKSHADOW);
    RECT top{r.left, r.top, r.right, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom};
    RECT bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &top, light);
    FillRect(dc, &left, light);
    FillRect(dc, &bottom, dark);
    FillRect(dc, &right, dark);
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc)
        return;
    const UINT type = TypeOf(hwnd);
    if (type == BS_OWNERDRAW) {
        DrawOwnerDrawn(hwnd, dc, ODA_DRAWENTIRE);
        EndPaint(hwnd, &ps);
        return;
    }
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    const LONG_PTR state = StateOf(hwnd);
    const bool push = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_PUSHBOX ||
                      type == BS_USERBUTTON;
    RECT rc;
    GetClientRect(hwnd, &rc);
    auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, kFontIndex));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    // The parent chooses the background: WM_CTLCOLORBTN for push buttons, WM_CTLCOLORSTATIC for
    // the others (Microsoft's WM_CTLCOLORBTN and WM_CTLCOLORSTATIC documentation).
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), push ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush)
        brush = GetSysColorBrush(COLOR_3DFACE);
    FillRect(dc, &rc, brush);
    SetBkMode(dc, TRANSPARENT);
    if (style & WS_DISABLED)
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    wchar_t text[256];
    const int length = GetWindowTextW(hwnd, text, 256);
    if (push) {
        RECT face = rc;
        if (type == BS_DEFPUSHBUTTON) {
            FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&face, -1, -1);
        }
        FillRect(dc, &face, GetSysColorBrush(COLOR_3DFACE));
        DrawEdges(dc, face, (state & BST_PUSHED) != 0);
        RECT label = face;
        if (state & BST_PUSHED)
            OffsetRect(&label, 1, 1);
        DrawTextW(dc, text, length, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else if (type == BS_GROUPBOX) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text, length, &size);
        RECT frame{rc.left, rc.top + size.cy / 2, rc.right, rc.bottom};
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_3DSHADOW));
        RECT label{rc.left + 8, rc.top, rc.left + 12 + size.cx, rc.top + size.cy};
        if (length) {
            FillRect(dc, &label, brush);
            label.left += 2;
            DrawTextW(dc, text, length, &label, DT_LEFT | DT_SINGLELINE);
        }
    } else {
        const int box = 13;
        const int top = rc.top + (rc.bottom - rc.top - box) / 2;
        const bool leftText = (style & BS_LEFTTEXT) != 0;
        RECT mark{leftText ? rc.right - box : rc.left, top, leftText ? rc.right : rc.left + box, top + box};
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        if (IsRadio(type)) {
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
            Ellipse(dc, mark.left, mark.top, mark.right, mark.bottom);
            if (state & BST_CHECKED) {
                SelectObject(dc, GetStockObject(BLACK_BRUSH));
                Ellipse(dc, mark.left + 4, mark.top + 4, mark.right - 4, mark.bottom - 4);
            }
            SelectObject(dc, oldBrush);
        } else {
            const UINT check = static_cast<UINT>(state & 3);
            FillRect(dc, &mark, GetSysColorBrush(check == BST_INDETERMINATE ? COLOR_3DFACE : COLOR_WINDOW));
            FrameRect(dc, &mark, GetSysColorBrush(COLOR_WINDOWTEXT));
            if (check) {
                // A check mark: two strokes, two pixels thick.
                for (int d = 0; d < 2; ++d) {
                    MoveToEx(dc, mark.left + 3, mark.top + 5 + d, nullptr);
                    LineTo(dc, mark.left + 5, mark.top + 7 + d);
                    LineTo(dc, mark.left + 10, mark.top + 2 + d);
                }
            }
        }
        SelectObject(dc, oldPen);
        RECT label = rc;
        if (leftText)
            label.right -= box + 4;
        else
            label.left += box + 4;
        DrawTextW(dc, text, length, &label, (leftText ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_SINGLELINE);
    }
    if (state & BST_FOCUS) {
        RECT f = rc;
        InflateRect(&f, -3, -3);
        FrameRect(dc, &f, GetSysColorBrush(COLOR_3DSHADOW)); // the focus frame
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const UINT type = TypeOf(hwnd);
    switch (msg) {
    case WM_GETDLGCODE:
        // Windows' answers per kind (Wine's user32 button tests, which run on Windows).
        switch (type) {
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
        }
    case BM_GETCHECK:
        return IsCheckType(type) ? (StateOf(hwnd) & 3) : 0;
    case BM_SETCHECK: {
        if (!IsCheckType(type))
            return 0;
        UINT check = static_cast<UINT>(wParam);
        if (check > BST_INDETERMINATE)
            check = BST_CHECKED;
        if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE)
            check = BST_CHECKED;
        SetState(hwnd, (StateOf(hwnd) & ~3) | check);
        return 0;
    }
    case BM_GETSTATE:
        return StateOf(hwnd);
    case BM_SETSTATE:
        SetState(hwnd, wParam ? (StateOf(hwnd) | BST_PUSHED) : (StateOf(hwnd) & ~BST_PUSHED));
        return 0;
    case BM_SETSTYLE:
        SetWindowLongW(hwnd, GWL_STYLE,
                       static_cast<LONG>((GetWindowLongW(hwnd, GWL_STYLE) & ~0xFFFF) | (wParam & 0xFFFF)));
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_CLICK:
        if (IsWindowEnabled(hwnd))
            Click(hwnd);
        return 0;
    case WM_LBUTTONDBLCLK:
        // Radio, user and owner-drawn buttons (and any with BS_NOTIFY) report the double click
        // instead of a second press (Microsoft's BN_DBLCLK).
        if ((GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) || type == BS_RADIOBUTTON || type == BS_USERBUTTON ||
            type == BS_OWNERDRAW) {
            Notify(hwnd, BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        SetFocus(hwnd);
        SetState(hwnd, StateOf(hwnd) | BST_PUSHED);
        return 0;
    case WM_LBUTTONUP: {
        const bool pressed = (StateOf(hwnd) & BST_PUSHED) != 0;
        SetState(hwnd, StateOf(hwnd) & ~BST_PUSHED);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        RECT rc;
        GetClientRect(hwnd, &rc);
        const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (pressed && PtInRect(&rc, pt))
            Click(hwnd);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE)
            SetState(hwnd, StateOf(hwnd) | BST_PUSHED);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && (StateOf(hwnd) & BST_PUSHED)) {
            SetState(hwnd, StateOf(hwnd) & ~BST_PUSHED);
            Click(hwnd);
        }
        return 0;
    case WM_SETFOCUS:
        SetState(hwnd, StateOf(hwnd) | BST_FOCUS);
        return 0;
    case WM_KILLFOCUS:
        SetState(hwnd, StateOf(hwnd) & ~(BST_FOCUS | BST_PUSHED));
        return 0;
    case WM_SETFONT:
        SetWindowLongPtrW(hwnd, kFontIndex, static_cast<LONG_PTR>(wParam));
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(hwnd, kFontIndex);
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_ERASEBKGND:
        return 1; // WM_PAINT fills it with the parent's brush
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// A system class: there before any program registers its own.
const bool g_registered = [] {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS | CS_PARENTDC;
    wc.lpfnWndProc = ButtonProc;
    wc.cbWndExtra = 2 * sizeof(LONG_PTR);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = L"Button";
    return RegisterClassW(&wc) != 0;
}();

} // namespace
