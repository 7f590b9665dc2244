// ATL's CImage: a DIB section with the drawing calls programs use on it, loading and saving
// image files through GDI+. Written over the Win32 and GDI+ flat APIs alone, so the same header
// serves the stand-in and real Windows.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

typedef LONG HRESULT;
#ifndef S_OK
#define S_OK ((HRESULT)0L)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005L)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057L)
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#endif

class CImage {
public:
    enum DIBOrientation { DIBOR_DEFAULT, DIBOR_BOTTOMUP, DIBOR_TOPDOWN };
    static const DWORD createAlphaChannel = 0x01;

    CImage() = default;
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;
    ~CImage() { Destroy(); }

    operator HBITMAP() const { return m_hBitmap; }
    bool IsNull() const { return m_hBitmap == nullptr; }

    // A bottom-up DIB section (top-down for a negative height); 32 bits with createAlphaChannel
    // draws with its alpha.
    BOOL Create(int nWidth, int nHeight, int nBPP, DWORD dwFlags = 0)
    {
        if (m_hBitmap || nWidth <= 0 || nHeight == 0)
            return FALSE;
        struct {
            BITMAPINFOHEADER h;
            RGBQUAD colors[256];
        } info;
        std::memset(&info, 0, sizeof info);
        info.h.biSize = sizeof(BITMAPINFOHEADER);
        info.h.biWidth = nWidth;
        info.h.biHeight = nHeight;
        info.h.biPlanes = 1;
        info.h.biBitCount = static_cast<WORD>(nBPP);
        info.h.biCompression = BI_RGB;
        if (nBPP <= 8 && nBPP > 0) {
            // A grey ramp, as a fresh indexed image has no better colours.
            const int n = 1 << nBPP;
            for (int i = 0; i < n; ++i) {
                const BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
                info.colors[i] = RGBQUAD{v, v, v, 0};
            }
        }
        void* bits = nullptr;
        HBITMAP bm = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bm)
            return FALSE;
        Attach(bm, nHeight < 0 ? DIBOR_TOPDOWN : DIBOR_BOTTOMUP);
        m_bHasAlphaChannel = nBPP == 32 && (dwFlags & createAlphaChannel) != 0;
        return TRUE;
    }

    void Attach(HBITMAP hBitmap, DIBOrientation eOrientation = DIBOR_DEFAULT)
    {
        Destroy();
        DIBSECTION ds;
        if (!hBitmap || ::GetObject(hBitmap, sizeof ds, &ds) != static_cast<int>(sizeof ds))
            return; // only DIB sections carry the bits CImage hands out
        m_hBitmap = hBitmap;
        m_nWidth = ds.dsBm.bmWidth;
        m_nHeight = ds.dsBm.bmHeight;
        m_nBPP = ds.dsBm.bmBitsPixel;
        const int rowBytes = ds.dsBm.bmWidthBytes;
        bool topDown = eOrientation == DIBOR_TOPDOWN;
        m_pBits = static_cast<BYTE*>(ds.dsBm.bmBits);
        if (!topDown) {
            m_pBits += (m_nHeight - 1) * rowBytes;
            m_nPitch = -rowBytes;
        } else {
            m_nPitch = rowBytes;
        }
        m_bHasAlphaChannel = false;
        m_iTransparentColor = -1;
    }

    // A BITMAP resource of the module, kept in its own depth as a DIB section (ATL's
    // CImage::LoadFromResource reads bitmap resources only).
    void LoadFromResource(HINSTANCE hInstance, LPCSTR pszResourceName)
    {
        if (HBITMAP bm = static_cast<HBITMAP>(
                ::LoadImageA(hInstance, pszResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)))
            Keep(bm);
    }
    void LoadFromResource(HINSTANCE hInstance, LPCWSTR pszResourceName)
    {
        if (HBITMAP bm = static_cast<HBITMAP>(
                ::LoadImageW(hInstance, pszResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)))
            Keep(bm);
    }
    void LoadFromResource(HINSTANCE hInstance, UINT nIDResource)
    {
        LoadFromResource(hInstance, MAKEINTRESOURCEA(nIDResource));
    }

    HBITMAP Detach()
    {
        HBITMAP bm = m_hBitmap;
        ReleaseAllDCs();
        m_hBitmap = nullptr;
        m_pBits = nullptr;
        m_nWidth = m_nHeight = m_nBPP = m_nPitch = 0;
        return bm;
    }

    void Destroy()
    {
        HBITMAP bm = Detach();
        if (bm)
            ::DeleteObject(bm);
    }

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBPP() const { return m_nBPP; }
    int GetPitch() const { return m_nPitch; }
    // The top row's first byte; rows follow at GetPitch() (negative for a bottom-up image).
    void* GetBits() { return m_pBits; }
    const void* GetBits() const { return m_pBits; }
    void* GetPixelAddress(int x, int y) { return m_pBits + y * m_nPitch + x * m_nBPP / 8; }
    bool IsDIBSection() const { return m_hBitmap != nullptr; }
    bool IsIndexed() const { return m_nBPP > 0 && m_nBPP <= 8; }
    bool HasAlphaChannel() const { return m_bHasAlphaChannel; }
    void SetHasAlphaChannel(bool bHasAlphaChannel) { m_bHasAlphaChannel = bHasAlphaChannel; }
    LONG GetTransparentColor() const { return m_iTransparentColor; }
    // The colour-table index drawn transparent by Draw; -1 for none. Answers the previous one.
    LONG SetTransparentColor(LONG iTransparentColor)
    {
        const LONG previous = m_iTransparentColor;
        m_iTransparentColor = IsIndexed() ? iTransparentColor : -1;
        return previous;
    }

    COLORREF GetPixel(int x, int y) const
    {
        HDC dc = GetDC();
        const COLORREF c = ::GetPixel(dc, x, y);
        ReleaseDC();
        return c;
    }
    void SetPixel(int x, int y, COLORREF color)
    {
        HDC dc = GetDC();
        ::SetPixel(dc, x, y, color);
        ReleaseDC();
    }
    void SetPixelRGB(int x, int y, BYTE r, BYTE g, BYTE b) { SetPixel(x, y, RGB(r, g, b)); }

    // A memory DC with the image selected, shared by nested calls until the last ReleaseDC.
    HDC GetDC() const
    {
        if (!m_hBitmap)
            return nullptr;
        if (m_nDCRefs++ == 0) {
            m_hDC = ::CreateCompatibleDC(nullptr);
            m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
        }
        return m_hDC;
    }
    void ReleaseDC() const
    {
        if (m_nDCRefs > 0 && --m_nDCRefs == 0) {
            ::SelectObject(m_hDC, m_hOldBitmap);
            ::DeleteDC(m_hDC);
            m_hDC = nullptr;
        }
    }

    BOOL BitBlt(HDC hDestDC, int xDest, int yDest, DWORD dwROP = SRCCOPY) const
    {
        return BitBlt(hDestDC, xDest, yDest, m_nWidth, m_nHeight, 0, 0, dwROP);
    }
    BOOL BitBlt(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                DWORD dwROP = SRCCOPY) const
    {
        HDC dc = GetDC();
        const BOOL ok = ::BitBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, dc, xSrc, ySrc, dwROP);
        ReleaseDC();
        return ok;
    }
    BOOL BitBlt(HDC hDestDC, const POINT& pointDest, DWORD dwROP = SRCCOPY) const
    {
        return BitBlt(hDestDC, pointDest.x, pointDest.y, dwROP);
    }

    BOOL StretchBlt(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, DWORD dwROP = SRCCOPY) const
    {
        return StretchBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, 0, 0, m_nWidth, m_nHeight, dwROP);
    }
    BOOL StretchBlt(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwROP = SRCCOPY) const
    {
        HDC dc = GetDC();
        const BOOL ok =
            ::StretchBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, dc, xSrc, ySrc, nSrcWidth, nSrcHeight, dwROP);
        ReleaseDC();
        return ok;
    }

    BOOL AlphaBlend(HDC hDestDC, int xDest, int yDest, BYTE bSrcAlpha = 0xff, BYTE bBlendOp = AC_SRC_OVER) const
    {
        return AlphaBlend(hDestDC, xDest, yDest, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight, bSrcAlpha, bBlendOp);
    }
    BOOL AlphaBlend(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, BYTE bSrcAlpha = 0xff, BYTE bBlendOp = AC_SRC_OVER) const
    {
        BLENDFUNCTION bf = {bBlendOp, 0, bSrcAlpha, static_cast<BYTE>(m_bHasAlphaChannel ? AC_SRC_ALPHA : 0)};
        HDC dc = GetDC();
        const BOOL ok =
            ::AlphaBlend(hDestDC, xDest, yDest, nDestWidth, nDestHeight, dc, xSrc, ySrc, nSrcWidth, nSrcHeight, bf);
        ReleaseDC();
        return ok;
    }

    BOOL TransparentBlt(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight,
                        UINT crTransparent = CLR_INVALID) const
    {
        return TransparentBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, 0, 0, m_nWidth, m_nHeight,
                              crTransparent);
    }
    // CLR_INVALID: the colour of the transparent colour-table index.
    BOOL TransparentBlt(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                        int nSrcWidth, int nSrcHeight, UINT crTransparent = CLR_INVALID) const
    {
        HDC dc = GetDC();
        if (crTransparent == CLR_INVALID)
            crTransparent = TransparentColorRef(dc);
        const BOOL ok = ::TransparentBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, dc, xSrc, ySrc, nSrcWidth,
                                         nSrcHeight, crTransparent);
        ReleaseDC();
        return ok;
    }

    // StretchBlt, or AlphaBlend for an image with an alpha channel, or TransparentBlt for one with
    // a transparent colour (Microsoft's CImage::Draw).
    BOOL Draw(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc, int nSrcWidth,
              int nSrcHeight) const
    {
        if (m_bHasAlphaChannel)
            return AlphaBlend(hDestDC, xDest, yDest, nDestWidth, nDestHeight, xSrc, ySrc, nSrcWidth, nSrcHeight);
        if (m_iTransparentColor >= 0)
            return TransparentBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, xSrc, ySrc, nSrcWidth, nSrcHeight);
        return StretchBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, xSrc, ySrc, nSrcWidth, nSrcHeight);
    }
    BOOL Draw(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight) const
    {
        return Draw(hDestDC, xDest, yDest, nDestWidth, nDestHeight, 0, 0, m_nWidth, m_nHeight);
    }
    BOOL Draw(HDC hDestDC, int xDest, int yDest) const
    {
        return Draw(hDestDC, xDest, yDest, m_nWidth, m_nHeight);
    }
    BOOL Draw(HDC hDestDC, const POINT& pointDest) const { return Draw(hDestDC, pointDest.x, pointDest.y); }
    BOOL Draw(HDC hDestDC, const RECT& rectDest) const
    {
        return Draw(hDestDC, rectDest.left, rectDest.top, rectDest.right - rectDest.left,
                    rectDest.bottom - rectDest.top);
    }
    BOOL Draw(HDC hDestDC, const RECT& rectDest, const RECT& rectSrc) const
    {
        return Draw(hDestDC, rectDest.left, rectDest.top, rectDest.right - rectDest.left,
                    rectDest.bottom - rectDest.top, rectSrc.left, rectSrc.top, rectSrc.right - rectSrc.left,
                    rectSrc.bottom - rectSrc.top);
    }

    // Any file GDI+ decodes. Images with alpha become 32-bit with an alpha channel (colours as the
    // file has them, not premultiplied), others 24-bit.
    HRESULT Load(LPCSTR pszFileName) { return LoadWide(Widen(pszFileName)); }
    HRESULT Load(LPCWSTR pszFileName) { return pszFileName ? LoadWide(pszFileName) : E_INVALIDARG; }

    // By the file name's extension, or by format (Gdiplus::ImageFormatPNG and the others).
    HRESULT Save(LPCSTR pszFileName, const GUID& guidFileType = GUID()) const
    {
        return SaveWide(Widen(pszFileName), guidFileType);
    }
    HRESULT Save(LPCWSTR pszFileName, const GUID& guidFileType = GUID()) const
    {
        return pszFileName ? SaveWide(pszFileName, guidFileType) : E_INVALIDARG;
    }

private:
    // Attaches a bitmap this object made; deletes it when it cannot be attached.
    void Keep(HBITMAP bm)
    {
        Attach(bm);
        if (m_hBitmap != bm)
            ::DeleteObject(bm);
    }
    HBITMAP m_hBitmap = nullptr;
    BYTE* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBPP = 0;
    int m_nPitch = 0;
    bool m_bHasAlphaChannel = false;
    LONG m_iTransparentColor = -1;
    mutable HDC m_hDC = nullptr;
    mutable HGDIOBJ m_hOldBitmap = nullptr;
    mutable int m_nDCRefs = 0;

    void ReleaseAllDCs()
    {
        if (m_nDCRefs > 0) {
            m_nDCRefs = 1;
            ReleaseDC();
        }
    }

    COLORREF TransparentColorRef(HDC dc) const
    {
        RGBQUAD q;
        if (m_iTransparentColor < 0 || ::GetDIBColorTable(dc, static_cast<UINT>(m_iTransparentColor), 1, &q) != 1)
            return CLR_INVALID;
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }

    static std::wstring Widen(LPCSTR s)
    {
        if (!s)
            return std::wstring();
        const int n = ::MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
        if (n <= 0)
            return std::wstring();
        std::wstring w(static_cast<std::size_t>(n), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, s, -1, &w[0], n);
        w.resize(static_cast<std::size_t>(n - 1));
        return w;
    }

    // CImage starts GDI+ for itself once, and never shuts it down.
    static bool GdiplusReady()
    {
        static const bool ready = [] {
            ULONG_PTR token = 0;
            Gdiplus::GdiplusStartupInput input;
            return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
        }();
        return ready;
    }

    HRESULT LoadWide(const std::wstring& path)
    {
        if (path.empty() || !GdiplusReady())
            return E_FAIL;
        Gdiplus::GpBitmap* bitmap = nullptr;
        if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok || !bitmap)
            return E_FAIL;
        UINT w = 0, h = 0;
        Gdiplus::PixelFormat format = 0;
        Gdiplus::DllExports::GdipGetImageWidth(bitmap, &w);
        Gdiplus::DllExports::GdipGetImageHeight(bitmap, &h);
        Gdiplus::DllExports::GdipGetImagePixelFormat(bitmap, &format);
        const bool alpha = (format & PixelFormatAlpha) != 0;
        HRESULT result = E_FAIL;
        Destroy();
        if (w > 0 && h > 0 && Create(static_cast<int>(w), static_cast<int>(h), alpha ? 32 : 24, alpha ? createAlphaChannel : 0)) {
            Gdiplus::GpRect rect(0, 0, static_cast<INT>(w), static_cast<INT>(h));
            Gdiplus::BitmapData data;
            data.Width = w;
            data.Height = h;
            data.Stride = m_nPitch;
            data.PixelFormat = alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
            data.Scan0 = m_pBits;
            data.Reserved = 0;
            // The decoder writes straight into the section's rows.
            if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &rect,
                                                        Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                                        data.PixelFormat, &data) == Gdiplus::Ok &&
                Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data) == Gdiplus::Ok)
                result = S_OK;
            else
                Destroy();
        }
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
        return result;
    }

    HRESULT SaveWide(const std::wstring& path, const GUID& format) const
    {
        if (!m_hBitmap || path.empty() || (m_nBPP != 24 && m_nBPP != 32) || !GdiplusReady())
            return E_FAIL;
        UINT count = 0, size = 0;
        Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size);
        std::vector<BYTE> buffer(size);
        auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        if (!size || Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
            return E_FAIL;
        const Gdiplus::ImageCodecInfo* codec = nullptr;
        const std::wstring::size_type dot = path.rfind(L'.');
        std::wstring ext = dot == std::wstring::npos ? std::wstring() : path.substr(dot + 1);
        for (wchar_t& c : ext)
            if (c >= L'a' && c <= L'z')
                c = static_cast<wchar_t>(c - L'a' + L'A');
        for (UINT i = 0; i < count && !codec; ++i) {
            if (format != GUID()) {
                if (codecs[i].FormatID == format)
                    codec = &codecs[i];
                continue;
            }
            // FilenameExtension lists patterns such as "*.BMP;*.DIB;*.RLE".
            const std::wstring patterns = codecs[i].FilenameExtension ? codecs[i].FilenameExtension : L"";
            if (!ext.empty() && patterns.find(L"*." + ext) != std::wstring::npos)
                codec = &codecs[i];
        }
        if (!codec)
            return E_FAIL;
        Gdiplus::GpBitmap* bitmap = nullptr;
        const Gdiplus::PixelFormat pf =
            m_nBPP == 32 ? (m_bHasAlphaChannel ? PixelFormat32bppARGB : PixelFormat32bppRGB) : PixelFormat24bppRGB;
        if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(m_nWidth, m_nHeight, m_nPitch, pf, m_pBits, &bitmap) !=
                Gdiplus::Ok ||
            !bitmap)
            return E_FAIL;
        const bool saved =
            Gdiplus::DllExports::GdipSaveImageToFile(bitmap, path.c_str(), &codec->Clsid, nullptr) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(bitmap);
        return saved ? S_OK : E_FAIL;
    }
};
