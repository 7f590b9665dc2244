// CWnd's side of messages that does not depend on how windows are made: WindowProc, the default
// handlers, command routing, and thin USER wrappers. Only afxwin.h and USER calls are used here,
// so a Windows build can compile this file as it is.
#include <algorithm>

#include <afxwin.h>

#include "afx_ddx.h"

namespace {

// The message being handled now on this thread, for Default().
struct CurrentMessage {
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;

} // namespace

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

CWnd* CWnd::GetParent() const
{
    return CWnd::FromHandle(::GetParent(m_hWnd));
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

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CurrentMessage outer = t_current; // messages nest: a handler may send another
    t_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProcW(message, wParam, lParam);
    t_current = outer;
    return result; // `this` may be gone (PostNcDestroy)
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::Default()
{
    return DefWindowProcW(t_current.message, t_current.wParam, t_current.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (nID == 0)
        return FALSE; // not a command
    if (lParam != 0 && afx_ddx::NotificationsLockedOut(m_hWnd))
        return TRUE; // a control notifying while UpdateData sets it
    // A control's own class hears its notification first (ON_CONTROL_REFLECT).
    CWnd* control = lParam != 0 ? CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam)) : nullptr;
    if (control && control != this && control->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
        return TRUE;
    const int nCode = lParam == 0 ? CN_COMMAND : HIWORD(wParam);
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return 0;
}

// Painting nothing still answers the request, or WM_PAINT would come back at once.
void CWnd::OnPaint()
{
    DefWindowProcW(WM_PAINT, 0, 0);
}

BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

// The other handlers answer as DefWindowProc would.
void CWnd::OnSize(UINT, int, int)
{
    Default();
}

void CWnd::OnWindowPosChanging(WINDOWPOS*)
{
    Default();
}

void CWnd::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
}

void CWnd::OnGetMinMaxInfo(MINMAXINFO*)
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

void CWnd::OnVScroll(UINT, UINT, CScrollBar*)
{
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar*)
{
    Default();
}

void CWnd::OnClose()
{
    DefWindowProcW(WM_CLOSE, 0, 0);
}

void CWnd::OnDestroy() {}

void CWnd::PostNcDestroy() {}

// The control's own class may colour it (ON_WM_CTLCOLOR_REFLECT); else the window's procedure.
HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    CWnd* control = pWnd && pWnd->m_hWnd != m_hWnd ? CWnd::FromHandlePermanent(pWnd->m_hWnd) : nullptr;
    LRESULT brush = 0;
    if (control && pDC &&
        control->OnChildNotify(WM_CTLCOLORMSGBOX + nCtlColor, reinterpret_cast<WPARAM>(pDC->m_hDC),
                               reinterpret_cast<LPARAM>(control->m_hWnd), &brush))
        return reinterpret_cast<HBRUSH>(brush);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CWnd* control = lpDrawItemStruct ? CWnd::FromHandlePermanent(lpDrawItemStruct->hwndItem) : nullptr;
    if (control && control->OnChildNotify(WM_DRAWITEM, static_cast<WPARAM>(nIDCtl),
                                          reinterpret_cast<LPARAM>(lpDrawItemStruct), nullptr))
        return;
    Default();
}

HCURSOR CWnd::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(Default());
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}
