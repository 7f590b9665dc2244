// CDC and CPaintDC: thin owners of a device-context handle, over GDI on every system.
#include <afxwin.h>

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

// BeginPaint's device context, clipped to the area that needed painting when it began; it stays
// valid until EndPaint in the destructor. Without a window, the screen's DC, as elsewhere.
CPaintDC::CPaintDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->m_hWnd : nullptr;
    if (m_hWnd)
        Attach(::BeginPaint(m_hWnd, &m_ps));
    else
        Attach(::GetDC(nullptr));
}

CPaintDC::~CPaintDC()
{
    // A paint DC is ended and a screen DC released, never deleted.
    if (!m_hDC)
        return;
    HDC hDC = Detach();
    if (m_hWnd)
        ::EndPaint(m_hWnd, &m_ps);
    else
        ::ReleaseDC(nullptr, hDC);
}
