// CWnd: a window object whose messages arrive at virtual handlers with MFC's names.
#include <cstdio>

#include "gdi_registry.h"

using namespace moxplat;

CWnd::~CWnd()
{
    // By now only CWnd's own handlers remain; the window still gets its WM_DESTROY.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

BOOL CWnd::CreateEx(DWORD, LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, int, int, int nWidth, int nHeight,
                    HWND hWndParent, HMENU, LPVOID lpParam)
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        return FALSE; // one window per object
    HWND hwnd = RegisterWindow(this, dwStyle, lpszWindowName, hWndParent, nWidth, nHeight);
    if (!hwnd)
        return FALSE;
    m_hWnd = hwnd;
    if (::SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(lpParam)) == -1) {
        ::DestroyWindow(hwnd);
        m_hWnd = nullptr;
        return FALSE;
    }
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

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<void*>(lParam));
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 1;
        return DefWindowProc(message, wParam, lParam);
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND: {
        CDC dc;
        dc.m_hDC = reinterpret_cast<HDC>(wParam);
        const BOOL erased = OnEraseBkgnd(&dc);
        dc.m_hDC = nullptr; // borrowed, not ours to delete
        return erased;
    }
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), point);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), point);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), point);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        PostNcDestroy();
        return 0;
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

BOOL CWnd::OnCommand(WPARAM, LPARAM)
{
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
        return 0;
    case WM_PAINT:
        ValidateWindow(m_hWnd);
        return 0;
    default:
        return 0;
    }
}

int CWnd::OnCreate(void*)
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
void CWnd::OnMouseMove(UINT, CPoint) {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnTimer(UINT_PTR) {}
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
