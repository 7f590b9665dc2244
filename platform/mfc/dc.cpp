// CDC and CPaintDC: thin owners of a device-context handle.
#include "gdi_registry.h"

CDC::~CDC()
{
    if (m_hDC)
        ::DeleteDC(Detach());
}

BOOL CDC::Attach(HDC hDC)
{
    // Attaching over a held handle would lose it.
    if (!hDC || m_hDC)
        return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (m_hDC)
        return FALSE;
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC()
{
    return m_hDC ? ::DeleteDC(Detach()) : FALSE;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    return ::GetPixel(m_hDC, x, y);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF crColor)
{
    return ::SetPixel(m_hDC, x, y, crColor);
}

CPaintDC::CPaintDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->m_hWnd : nullptr;
    Attach(::GetDC(m_hWnd));
    m_ps.hdc = m_hDC;
    if (m_hWnd) {
        ::GetClientRect(m_hWnd, &m_ps.rcPaint);
        moxplat::ValidateWindow(m_hWnd); // painting has begun
    }
}

CPaintDC::~CPaintDC()
{
    // The window's DC is released, never deleted.
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach());
}
