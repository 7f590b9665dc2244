// CWnd: a window object whose messages reach handlers with MFC's names, through its message map.
#include <algorithm>
#include <cstdio>

#include "gdi_registry.h"

using namespace moxplat;

CWnd::~CWnd()
{
    // By now only CWnd's own handlers remain; the window still gets its WM_DESTROY.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

namespace {

// The message being handled now on this thread, for Default().
struct CurrentMessage {
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;

} // namespace

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        return FALSE; // one window per object
    HWND hwnd = RegisterWindow(this, lpszClassName, dwStyle, lpszWindowName, hWndParent, x, y, nWidth, nHeight);
    if (!hwnd)
        return FALSE;
    m_hWnd = hwnd;
    RECT client{};
    ::GetClientRect(hwnd, &client);
    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hMenu = nIDorHMenu;
    cs.hwndParent = hWndParent;
    cs.x = x;
    cs.y = y;
    cs.cx = client.right;
    cs.cy = client.bottom;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpszWindowName;
    cs.lpszClass = lpszClassName;
    cs.dwExStyle = dwExStyle;
    if (::SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        ::DestroyWindow(hwnd);
        m_hWnd = nullptr;
        return FALSE;
    }
    // As on Windows, a new window learns its size before its creator goes on.
    ::SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    // Widths are formed in 64 bits: CFrameWnd::rectDefault spans from CW_USEDEFAULT to 0.
    const bool byDefault = rect.left == CW_USEDEFAULT;
    const auto width = static_cast<long long>(rect.right) - rect.left;
    const auto height = static_cast<long long>(rect.bottom) - rect.top;
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    byDefault ? CW_USEDEFAULT : static_cast<int>(std::clamp<long long>(width, -1, 0x7FFFFFFF)),
                    byDefault ? CW_USEDEFAULT : static_cast<int>(std::clamp<long long>(height, -1, 0x7FFFFFFF)),
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                    lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext*)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    return w ? w->wnd : nullptr;
}

CWnd* CWnd::GetParent() const
{
    return CWnd::FromHandle(::GetParent(m_hWnd));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? ::PostMessageA(m_hWnd, message, wParam, lParam) : FALSE;
}

void CWnd::Invalidate(BOOL bErase)
{
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    if (lpRect && !::GetClientRect(m_hWnd, lpRect))
        *lpRect = RECT{0, 0, 0, 0};
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    if (lpRect && !::GetWindowRect(m_hWnd, lpRect))
        *lpRect = RECT{0, 0, 0, 0};
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const
{
    ::ClientToScreen(m_hWnd, lpPoint);
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const
{
    ::ScreenToClient(m_hWnd, lpPoint);
}

void CWnd::SetWindowText(LPCTSTR lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return m_hWnd ? ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return m_hWnd ? ::KillTimer(m_hWnd, nIDEvent) : FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CurrentMessage outer = t_current; // messages nest: a handler may send another
    t_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    t_current = outer;
    return result; // `this` may be gone (PostNcDestroy)
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (nID == 0)
        return FALSE; // not a command
    const int nCode = lParam == 0 ? CN_COMMAND : HIWORD(wParam);
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
        return 0;
    case WM_PAINT:
        ValidateWindow(m_hWnd);
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 asks the window to close, through the system command as on Windows.
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN))
            ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_MOUSEWHEEL:
        // Unhandled wheel turns go up to the parent.
        if (HWND parent = ::GetParent(m_hWnd))
            return ::SendMessageA(parent, message, wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return 0;
}

// Painting nothing still answers the request, or WM_PAINT would come back at once.
void CWnd::OnPaint()
{
    DefWindowProc(WM_PAINT, 0, 0);
}

BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return FALSE;
}

// The other handlers answer as DefWindowProc would.
void CWnd::OnSize(UINT, int, int)
{
    Default();
}
void CWnd::OnSetFocus(CWnd*)
{
    Default();
}
void CWnd::OnKillFocus(CWnd*)
{
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint)
{
    Default();
}
void CWnd::OnMButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnMButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnMButtonDblClk(UINT, CPoint)
{
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSysKeyUp(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSysChar(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnTimer(UINT_PTR)
{
    Default();
}
void CWnd::OnClose()
{
    DefWindowProc(WM_CLOSE, 0, 0);
}
void CWnd::OnDestroy() {}
void CWnd::PostNcDestroy() {}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    char name[128];
    std::snprintf(name, sizeof name, "Mox:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    // Set nodes never move, so the returned text stays valid for the life of the process.
    return reg.classNames.insert(name).first->c_str();
}
