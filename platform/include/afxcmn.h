// MFC's common-control classes: CImageList and CProgressCtrl here; the rest of this platform's
// MFC is in afxwin.h, and a class it lacks fails where the program uses it, under its own name.
#pragma once

#include <afxwin.h>
#include <commctrl.h>

/// An image list (see ImageList_Create): destroyed with the object unless detached.
class CImageList : public CObject {
public:
    /// The list; null when none.
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() override { DeleteImageList(); }

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
    {
        return Attach(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
    }
    /// From a bitmap resource of the resource module, cut into images cx wide, masked by crMask
    /// (CLR_NONE: no masks).
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
    {
        return Attach(::ImageList_LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nBitmapID), cx, nGrow, crMask,
                                             IMAGE_BITMAP, 0));
    }
    BOOL Attach(HIMAGELIST hImageList)
    {
        if (!hImageList || m_hImageList)
            return FALSE;
        m_hImageList = hImageList;
        return TRUE;
    }
    HIMAGELIST Detach()
    {
        HIMAGELIST list = m_hImageList;
        m_hImageList = nullptr;
        return list;
    }
    BOOL DeleteImageList() { return m_hImageList ? ::ImageList_Destroy(Detach()) : FALSE; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
    BOOL SetImageCount(UINT uNewCount) { return ::ImageList_SetImageCount(m_hImageList, uNewCount); }
    int Add(CBitmap* pbmImage, CBitmap* pbmMask)
    {
        return ::ImageList_Add(m_hImageList, pbmImage ? static_cast<HBITMAP>(pbmImage->m_hObject) : nullptr,
                               pbmMask ? static_cast<HBITMAP>(pbmMask->m_hObject) : nullptr);
    }
    int Add(CBitmap* pbmImage, COLORREF crMask)
    {
        return ::ImageList_AddMasked(m_hImageList, pbmImage ? static_cast<HBITMAP>(pbmImage->m_hObject) : nullptr,
                                     crMask);
    }
    BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
    {
        return ::ImageList_Replace(m_hImageList, nImage,
                                   pbmImage ? static_cast<HBITMAP>(pbmImage->m_hObject) : nullptr,
                                   pbmMask ? static_cast<HBITMAP>(pbmMask->m_hObject) : nullptr);
    }
    BOOL Remove(int nImage) { return ::ImageList_Remove(m_hImageList, nImage); }
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
    {
        return pDC && ::ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
    }
    COLORREF SetBkColor(COLORREF cr) { return ::ImageList_SetBkColor(m_hImageList, cr); }
    COLORREF GetBkColor() const { return ::ImageList_GetBkColor(m_hImageList); }
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const
    {
        return ::ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
    }
};

/// A progress bar (PROGRESS_CLASS). It adds no data to CWnd.
class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(TEXT("msctls_progress32"), static_cast<LPCTSTR>(nullptr), dwStyle, rect, pParentWnd, nID);
    }
    void SetRange(short nLower, short nUpper)
    {
        Send(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(nLower), static_cast<WORD>(nUpper)));
    }
    void SetRange32(int nLower, int nUpper) { Send(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
    void GetRange(int& nLower, int& nUpper) const
    {
        PBRANGE range{};
        Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        nLower = range.iLow;
        nUpper = range.iHigh;
    }
    /// Each of these answers the position it replaced.
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS, 0, 0)); }
    int SetPos(int nPos) { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(nPos), 0)); }
    int OffsetPos(int nPos) { return static_cast<int>(Send(PBM_DELTAPOS, static_cast<WPARAM>(nPos), 0)); }
    int StepIt() { return static_cast<int>(Send(PBM_STEPIT, 0, 0)); }
    /// Answers the step it replaced.
    int SetStep(int nStep) { return static_cast<int>(Send(PBM_SETSTEP, static_cast<WPARAM>(nStep), 0)); }
    COLORREF SetBarColor(COLORREF clrBar) { return static_cast<COLORREF>(Send(PBM_SETBARCOLOR, 0, clrBar)); }
    COLORREF SetBkColor(COLORREF clrNew) { return static_cast<COLORREF>(Send(PBM_SETBKCOLOR, 0, clrNew)); }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
};
