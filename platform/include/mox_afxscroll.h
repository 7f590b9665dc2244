// MFC's scroll bar control (CScrollBar) and the WM_VSCROLL/WM_HSCROLL map entries. Included by
// afxwin.h; written over Win32 calls alone, so it is the same on every system.
#pragma once

// Handler kind of the entries below (see AfxSig in afxwin.h).
constexpr UINT_PTR AfxSig_vwwW = 0x1D0; // void (UINT nSBCode, UINT nPos, CScrollBar*)

#define ON_WM_VSCROLL() AFX_WND_ENTRY(WM_VSCROLL, AfxSig_vwwW, void(UINT, UINT, CScrollBar*), OnVScroll)
#define ON_WM_HSCROLL() AFX_WND_ENTRY(WM_HSCROLL, AfxSig_vwwW, void(UINT, UINT, CScrollBar*), OnHScroll)

/// A scroll bar control (the SCROLLBAR class, SBS_VERT or SBS_HORZ). It adds no data to CWnd, so
/// the CWnd* GetDlgItem answers may be cast to it.
class CScrollBar : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(TEXT("SCROLLBAR"), static_cast<LPCTSTR>(nullptr), dwStyle, rect, pParentWnd, nID);
    }
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    /// Moves the thumb (clamped to the range); answers the previous position.
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
    void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const
    {
        ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
    }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE)
    {
        ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
    }
    // For a control, showing its scroll bar is showing the window (MSDN ShowScrollBar, SB_CTL).
    void ShowScrollBar(BOOL bShow = TRUE) { ::ShowWindow(m_hWnd, bShow ? SW_SHOW : SW_HIDE); }
    BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH) { return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags); }
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE)
    {
        if (!lpScrollInfo)
            return FALSE;
        lpScrollInfo->cbSize = sizeof(SCROLLINFO);
        ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
        return TRUE;
    }
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL)
    {
        if (!lpScrollInfo)
            return FALSE;
        lpScrollInfo->cbSize = sizeof(SCROLLINFO);
        lpScrollInfo->fMask = nMask;
        return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
    }
    /// The highest position the thumb can reach: the range's end less a page.
    int GetScrollLimit()
    {
        SCROLLINFO info{};
        if (!GetScrollInfo(&info, SIF_RANGE | SIF_PAGE))
            return 0;
        const int page = info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0;
        return info.nMax - page > info.nMin ? info.nMax - page : info.nMin;
    }
};
