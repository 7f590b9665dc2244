// The STATIC class: text labels (SS_LEFT, SS_CENTER, SS_RIGHT, SS_SIMPLE, SS_LEFTNOWORDWRAP),
// rectangles and frames, bitmaps and icons (SS_BITMAP, SS_ICON, STM_SETIMAGE, STM_SETICON; the
// window text names the resource) and clicks with SS_NOTIFY.

#include <windows.h>

namespace {

// The window's bytes: its font and its image.
constexpr int kFontIndex = 0;
constexpr int kImageIndex = sizeof(LONG_PTR);

UINT TypeOf(HWND hwnd)
{
    return static_cast<UINT>(GetWindowLongW(hwnd, GWL_STYLE)) & SS_TYPEMASK;
}

// SS_BITMAP and SS_ICON controls take their image's size (Microsoft's Static Control Styles).
void FitToBitmap(HWND hwnd, HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
        return;
    SetWindowPos(hwnd, nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// An icon's own size, from its mask (twice the height for a monochrome icon).
bool IconSize(HICON icon, int* width, int* height)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return false;
    BITMAP bm{};
    const bool ok = GetObjectA(info.hbmMask, sizeof bm, &bm) != 0;
    *width = bm.bmWidth;
    *height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return ok;
}

// An SS_ICON control takes its icon's size unless it centres the icon or scales it to itself.
void FitToIcon(HWND hwnd, HICON icon)
{
    int w = 0, h = 0;
    if (GetWindowLongW(hwnd, GWL_STYLE) & (SS_CENTERIMAGE | SS_REALSIZECONTROL) || !IconSize(icon, &w, &h))
        return;
    SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc)
        return;
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    const UINT type = TypeOf(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    // The parent's WM_CTLCOLORSTATIC brush fills the background and its colours draw the text.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush)
        brush = GetSysColorBrush(COLOR_3DFACE);
    switch (type) {
    case SS_OWNERDRAW: {
        // The parent draws it (Microsoft's SS_OWNERDRAW): nothing is filled here.
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_STATIC;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
        dis.hwndItem = hwnd;
        dis.hDC = dc;
        dis.rcItem = rc;
        SendMessageW(GetParent(hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        break;
    }
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT: {
        static const int kColours[] = {COLOR_WINDOWFRAME, COLOR_3DSHADOW, COLOR_WINDOW};
        FillRect(dc, &rc, GetSysColorBrush(kColours[type - SS_BLACKRECT]));
        break;
    }
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME: {
        // Only the frame: the inside shows what the parent drew there, as dialog-based games
        // rely on when they draw into a picture frame (Microsoft's Static Control Styles: a box
        // with a frame, where the ..RECT styles fill a rectangle).
        static const int kColours[] = {COLOR_WINDOWFRAME, COLOR_3DSHADOW, COLOR_WINDOW};
        FrameRect(dc, &rc, GetSysColorBrush(kColours[type - SS_BLACKFRAME]));
        break;
    }
    case SS_BITMAP: {
        FillRect(dc, &rc, brush);
        auto bitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hwnd, kImageIndex));
        BITMAP bm{};
        if (bitmap && GetObjectA(bitmap, sizeof bm, &bm)) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(source, bitmap);
            int x = 0, y = 0;
            if (style & SS_CENTERIMAGE) {
                x = (rc.right - bm.bmWidth) / 2;
                y = (rc.bottom - bm.bmHeight) / 2;
            }
            BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        break;
    }
    case SS_ICON: {
        FillRect(dc, &rc, brush);
        auto icon = reinterpret_cast<HICON>(GetWindowLongPtrW(hwnd, kImageIndex));
        int w = 0, h = 0;
        if (icon && IconSize(icon, &w, &h)) {
            int x = 0, y = 0;
            if (style & SS_REALSIZECONTROL) {
                w = rc.right;
                h = rc.bottom;
            } else if (style & SS_CENTERIMAGE) {
                x = (rc.right - w) / 2;
                y = (rc.bottom - h) / 2;
            }
            DrawIconEx(dc, x, y, icon, w, h, 0, nullptr, DI_NORMAL);
        }
        break;
    }
    default: {
        FillRect(dc, &rc, brush);
        auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, kFontIndex));
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        if (style & WS_DISABLED)
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        switch (type) {
        case SS_CENTER:
            format |= DT_CENTER | DT_WORDBREAK;
            break;
        case SS_RIGHT:
            format |= DT_RIGHT | DT_WORDBREAK;
            break;
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            format |= DT_LEFT | DT_SINGLELINE;
            break;
        default:
            format |= DT_LEFT | DT_WORDBREAK;
            break;
        }
        if (style & SS_CENTERIMAGE)
            format = (format & ~static_cast<UINT>(DT_WORDBREAK)) | DT_SINGLELINE | DT_VCENTER;
        wchar_t text[1024];
        const int length = GetWindowTextW(hwnd, text, 1024);
        DrawTextW(dc, text, length, &rc, format);
        if (oldFont)
            SelectObject(dc, oldFont);
        break;
    }
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_CREATE: {
        // Windows: the window text of an SS_ICON or SS_BITMAP control names its image in the
        // module's resources, "#n" an id (MSDN Static Control Styles, SS_ICON).
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        const UINT type = TypeOf(hwnd);
        if (!cs || !cs->lpszName || !cs->lpszName[0] || (type != SS_ICON && type != SS_BITMAP))
            return 0;
        HINSTANCE module = cs->hInstance ? cs->hInstance : GetModuleHandleW(nullptr);
        if (type == SS_ICON) {
            HICON icon = LoadIconW(module, cs->lpszName);
            if (!icon)
                icon = LoadCursorW(module, cs->lpszName);
            if (icon)
                SendMessageW(hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        } else if (HBITMAP bitmap = LoadBitmapW(module, cs->lpszName)) {
            SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        }
        return 0;
    }
    case STM_SETIMAGE:
    case STM_SETICON: {
        const UINT want = msg == STM_SETICON ? IMAGE_ICON : static_cast<UINT>(wParam);
        const UINT type = TypeOf(hwnd);
        // Only the image kind the style names is taken (Microsoft's STM_SETIMAGE).
        if ((want == IMAGE_BITMAP && type != SS_BITMAP) || (want == IMAGE_ICON && type != SS_ICON) ||
            (want != IMAGE_BITMAP && want != IMAGE_ICON))
            return 0;
        const LPARAM image = msg == STM_SETICON ? static_cast<LPARAM>(wParam) : lParam;
        const LONG_PTR previous = SetWindowLongPtrW(hwnd, kImageIndex, image);
        if (type == SS_BITMAP && !(GetWindowLongW(hwnd, GWL_STYLE) & SS_CENTERIMAGE))
            FitToBitmap(hwnd, reinterpret_cast<HBITMAP>(image));
        if (type == SS_ICON)
            FitToIcon(hwnd, reinterpret_cast<HICON>(image));
        InvalidateRect(hwnd, nullptr, TRUE);
        return previous;
    }
    case STM_GETIMAGE: {
        const UINT type = TypeOf(hwnd);
        if ((wParam == IMAGE_BITMAP && type != SS_BITMAP) || (wParam == IMAGE_ICON && type != SS_ICON))
            return 0;
        return GetWindowLongPtrW(hwnd, kImageIndex);
    }
    case STM_GETICON:
        return TypeOf(hwnd) == SS_ICON ? GetWindowLongPtrW(hwnd, kImageIndex) : 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY)
            SendMessageW(GetParent(hwnd), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(hwnd), msg == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK),
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case WM_SETFONT:
        SetWindowLongPtrW(hwnd, kFontIndex, static_cast<LONG_PTR>(wParam));
        if (lParam)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(hwnd, kFontIndex);
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
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
    wc.lpfnWndProc = StaticProc;
    wc.cbWndExtra = 2 * sizeof(LONG_PTR);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    wc.lpszClassName = L"Static";
    return RegisterClassW(&wc) != 0;
}();

} // namespace
