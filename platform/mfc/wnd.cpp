// CWnd: making and destroying the window behind the object, and what DefWindowProc does here.
// The side of messages that does not depend on how windows are made is in wnd_messages.cpp.
#include <cstdio>

#include "gdi_registry.h"

using namespace moxplat;

CWnd::~CWnd()
{
    // By now only CWnd's own handlers remain; the window still gets its WM_DESTROY.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

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
        // "The window is destroyed" (Microsoft's WM_CREATE documentation) without a WM_DESTROY
        // for the handler that just refused it, as Wine's user32 does.
        moxplat::DestroyWindowOf(hwnd, false);
        m_hWnd = nullptr;
        return FALSE;
    }
    // As on Windows, a new window learns its size before its creator goes on.
    ::SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return TRUE;
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

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return m_hWnd ? ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return m_hWnd ? ::KillTimer(m_hWnd, nIDEvent) : FALSE;
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
        // Alt+F4 asks the top-level window to close: the system command is posted, as on Windows.
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN)) {
            HWND top = m_hWnd;
            while (HWND parent = ::GetParent(top))
                top = parent;
            ::PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
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
