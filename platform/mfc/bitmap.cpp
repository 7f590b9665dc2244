// CBitmap and the blit members of CDC: thin owners of and callers over the Win32 functions.
#include "afxwin.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

// Temporary CBitmaps for handles no CBitmap owns (what SelectObject hands back): one per handle,
// kept for the process's life and never destroyed, so never deleting their bitmap by themselves.
struct TemporaryBitmaps {
    std::mutex mutex;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CBitmap>> byHandle;
};
TemporaryBitmaps& Temporaries()
{
    static TemporaryBitmaps* t = new TemporaryBitmaps; // outlives static destructors of hosts
    return *t;
}
// Owning CBitmaps by handle, so that FromHandle finds the object a host made.
std::unordered_map<HGDIOBJ, CBitmap*>& Owners()
{
    static auto* owners = new std::unordered_map<HGDIOBJ, CBitmap*>;
    return *owners;
}

} // namespace

CBitmap::~CBitmap()
{
    DeleteObject();
}

CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap)
{
    if (!hBitmap)
        return nullptr;
    TemporaryBitmaps& t = Temporaries();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto owner = Owners().find(hBitmap);
    if (owner != Owners().end())
        return owner->second;
    std::unique_ptr<CBitmap>& slot = t.byHandle[hBitmap];
    if (!slot) {
        slot.reset(new CBitmap);
        slot->m_hObject = hBitmap; // not registered as an owner: it never deletes the bitmap
    }
    return slot.get();
}

BOOL CBitmap::Attach(HGDIOBJ hObject)
{
    if (!hObject || m_hObject)
        return FALSE;
    m_hObject = hObject;
    std::lock_guard<std::mutex> lock(Temporaries().mutex);
    Owners()[hObject] = this;
    return TRUE;
}

HGDIOBJ CBitmap::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    if (h) {
        std::lock_guard<std::mutex> lock(Temporaries().mutex);
        auto it = Owners().find(h);
        if (it != Owners().end() && it->second == this)
            Owners().erase(it);
    }
    return h;
}

BOOL CBitmap::DeleteObject()
{
    // As MFC: whatever is attached is deleted, a temporary object's handle too.
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CBitmap::GetObjectA(int nCount, LPVOID lpObject) const
{
    return ::GetObject(m_hObject, nCount, lpObject);
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return !m_hObject && Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap)
{
    return !m_hObject && Attach(::CreateBitmapIndirect(lpBitmap));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return !m_hObject && pDC && Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return CreateCompatibleBitmap(pDC, nWidth, nHeight);
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const
{
    return ::GetObject(m_hObject, sizeof(BITMAP), pBitMap);
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(dwCount), lpBits));
}

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits)
{
    return static_cast<DWORD>(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), dwCount, lpBits));
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
}

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
{
    return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
}

BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         int nSrcWidth, int nSrcHeight, UINT clrTransparent)
{
    return ::TransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc,
                            ySrc, nSrcWidth, nSrcHeight, clrTransparent);
}

BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend)
{
    return ::AlphaBlend(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, blend);
}

int CDC::SetStretchBltMode(int nStretchMode)
{
    return ::SetStretchBltMode(m_hDC, nStretchMode);
}

int CDC::GetStretchBltMode() const
{
    return ::GetStretchBltMode(m_hDC);
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    if (!pBitmap)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, pBitmap->m_hObject);
    return previous ? CBitmap::FromHandle(static_cast<HBITMAP>(previous)) : nullptr;
}
