// CMoxGraphics: the canvas object, its 24-bit top-down back buffer (a DIB section), the
// background buffer, the binding to device contexts and the software solid fill.
#include <MoxImage2.h>

#include "scene/listed_sprite.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/log.h"

namespace {

void DeleteGraphicsObject(void* p)
{
    delete static_cast<Gdiplus::Graphics*>(p);
}

// A memory DC with a share of the section selected into it. A section is not deleted while
// selected, so the DC keeps it until the DC itself is gone: deleting the CDC deletes its device
// context, and only then is the section's share let go.
struct MemDC {
    CDC* dc = nullptr;
    std::shared_ptr<void> selected;
};

void DeleteMemDC(void* p)
{
    auto* memDC = static_cast<MemDC*>(p);
    delete memDC->dc;
    memDC->dc = nullptr;
    delete memDC;
}

void SelectSection(const std::shared_ptr<void>& memDCOwner, CDC* dc, HBITMAP section,
                   const std::shared_ptr<void>& sectionOwner)
{
    SelectObject(dc->GetSafeHdc(), section);
    static_cast<MemDC*>(memDCOwner.get())->selected = sectionOwner;
}

void FreeBlock(void* p)
{
    std::free(p);
}

void DeleteSection(void* p)
{
    DeleteObject(static_cast<HGDIOBJ>(p));
}

// Bytes per row of a 24-bit top-down buffer: width x 3 rounded up to a multiple of 4.
std::int64_t StrideOf(std::int64_t width)
{
    return (width * 3 + 3) & ~std::int64_t(3);
}

} // namespace

CMoxGraphics::CMoxGraphics()
    : m_gdiplusToken(0), m_pGraphics(nullptr), m_hBitmap(nullptr), m_pMemDC(nullptr), m_pPaintDC(nullptr),
      m_pDIBBits(nullptr), m_pBackground(nullptr), m_pBitmapInfo(nullptr), m_nStride(0), m_nWidth(0), m_nHeight(0),
      m_nBitCount(24), m_NextSort(0), m_NowFont(nullptr)
{
}

CMoxGraphics::CMoxGraphics(HDC hdc) : CMoxGraphics()
{
    InitGraphics(hdc);
}

// A copy shares the Graphics, memory DC, header, background and section with its source and
// gets its own copies of the sprite list, its index and the dirty list.
CMoxGraphics::CMoxGraphics(const CMoxGraphics& other) = default;
CMoxGraphics& CMoxGraphics::operator=(const CMoxGraphics& other) = default;

CMoxGraphics::~CMoxGraphics()
{
    // The section goes last, once no memory DC of this canvas can still hold it selected.
    m_GraphicsOwner.reset();
    m_pGraphics = nullptr;
    m_MemDCOwner.reset();
    m_pMemDC = nullptr;
    m_BitmapInfoOwner.reset();
    m_pBitmapInfo = nullptr;
    m_BackgroundOwner.reset();
    m_pBackground = nullptr;
    m_SectionOwner.reset();
    m_hBitmap = nullptr;
    m_pDIBBits = nullptr;
    // The sprite list and its storage go before the dirty list; the sprites are the host's.
    std::vector<CMoxSprite*>().swap(m_SpriteList);
    m_ListedSprites.clear();
}

void CMoxGraphics::GdiInit()
{
    Gdiplus::GdiplusStartupInput input; // version 1, no debug callback, nothing suppressed
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr);
}

bool CMoxGraphics::Init(int width, int height)
{
    m_BitmapInfoOwner.reset();
    m_pBitmapInfo = nullptr;
    m_BackgroundOwner.reset();
    m_pBackground = nullptr;
    // The old section stays alive until the new one has taken its place in the memory DC, so
    // that a section is never deleted while selected.
    std::shared_ptr<void> oldSection = std::move(m_SectionOwner);
    m_SectionOwner.reset();
    m_hBitmap = nullptr;
    m_pDIBBits = nullptr;
    m_nBitCount = 24;

    // Without a new section the old one would stay selected into the memory DC, which keeps a
    // selected section from being deleted; the DC and its Graphics go with it.
    auto dropMemDC = [this] {
        if (m_pMemDC)
            DeleteGraphics();
    };

    // Negative sizes, and sizes whose byte count does not fit the header's 32-bit fields, are
    // refused before anything is allocated.
    const std::int64_t stride = StrideOf(width);
    if (width < 0 || height < 0 || stride > INT_MAX || stride * height > INT_MAX) {
        moximage2::Log("CMoxGraphics::Init: refused size %d x %d", width, height);
        m_nWidth = m_nHeight = m_nStride = 0;
        dropMemDC();
        return false;
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = static_cast<int>(stride);
    const std::size_t bytes = std::size_t(stride) * std::size_t(height);

    auto* info = static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFO)));
    if (!info) {
        dropMemDC();
        return false;
    }
    m_BitmapInfoOwner.reset(info, FreeBlock);
    m_pBitmapInfo = info;
    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height; // top-down rows
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(bytes);

    // Cleared, so that a DrawBack before any SetBackBitmap shows black rather than old memory.
    if (auto* background = static_cast<unsigned char*>(std::calloc(bytes ? bytes : 1, 1))) {
        m_BackgroundOwner.reset(background, FreeBlock);
        m_pBackground = background;
    }

    HWND active = GetActiveWindow();
    HDC screen = GetDC(active);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(active, screen);
    if (section) {
        m_SectionOwner.reset(section, DeleteSection);
        m_hBitmap = section;
        m_pDIBBits = static_cast<unsigned char*>(bits);
        // A memory DC this canvas alone holds takes the new section at once (which frees the
        // old one for deletion); one shared with copies keeps showing theirs.
        if (m_pMemDC && m_pMemDC->GetSafeHdc() && m_MemDCOwner.use_count() == 1)
            SelectSection(m_MemDCOwner, m_pMemDC, section, m_SectionOwner);
    } else {
        dropMemDC();
    }
    return true;
}

void CMoxGraphics::InitGraphics(HDC hdc)
{
    m_GraphicsOwner.reset();
    m_pGraphics = nullptr;
    if (auto* graphics = new Gdiplus::Graphics(hdc)) {
        m_GraphicsOwner.reset(graphics, DeleteGraphicsObject);
        m_pGraphics = graphics;
    }
}

void CMoxGraphics::InitGraphics(CPaintDC* pDC)
{
    DeleteGraphics();
    m_pPaintDC = pDC;

    auto* memDC = new CDC;
    memDC->Attach(CreateCompatibleDC(pDC ? pDC->GetSafeHdc() : nullptr));
    m_MemDCOwner.reset(new MemDC{memDC, nullptr}, DeleteMemDC);
    m_pMemDC = memDC;
    if (m_hBitmap && memDC->GetSafeHdc())
        SelectSection(m_MemDCOwner, memDC, m_hBitmap, m_SectionOwner);

    InitGraphics(memDC->GetSafeHdc()); // GDI+ now draws into the back buffer
}

void CMoxGraphics::DeleteGraphics()
{
    m_GraphicsOwner.reset();
    m_pGraphics = nullptr;
    m_MemDCOwner.reset();
    m_pMemDC = nullptr;
}

void CMoxGraphics::SetBackBitmap(CMoxBitmap* pBitmap)
{
    if (!pBitmap || !m_pBackground)
        return;
    const std::size_t capacity = std::size_t(m_nStride) * std::size_t(m_nHeight);

    if (pBitmap->m_pMemBitmap) {
        // Raw bytes are taken as one block already in canvas row order. Never more than the
        // image holds, nor more than the background holds.
        const int width = pBitmap->GetWidth();
        const int height = pBitmap->GetHeight();
        if (width <= 0 || height <= 0)
            return;
        const std::int64_t limit = std::min<std::int64_t>(pBitmap->m_nMemBytes, std::int64_t(capacity));
        const std::int64_t rowBytes = std::int64_t(width) * 3;
        const std::int64_t count = height > limit / rowBytes ? limit : rowBytes * height;
        std::memcpy(m_pBackground, pBitmap->m_pMemBitmap, static_cast<std::size_t>(count));
        return;
    }

    Gdiplus::Bitmap* bitmap = pBitmap->m_pBitmap;
    if (!bitmap || m_nBitCount != 24)
        return;
    const UINT width = bitmap->GetWidth();
    const UINT height = bitmap->GetHeight();
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX)
        return;
    // Locked as 24-bit RGB whatever the file held, so 32-bit and palette images copy correctly.
    Gdiplus::Rect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
        return;
    if (data.Scan0) {
        // Clipped to the canvas; bytes right of and below the image keep their content.
        const int rows = static_cast<int>(std::min<std::int64_t>(std::min(data.Height, height), m_nHeight));
        const std::size_t rowBytes =
            3 * static_cast<std::size_t>(std::min<std::int64_t>(std::min(data.Width, width), m_nWidth));
        const auto* scan = static_cast<const unsigned char*>(data.Scan0);
        for (int i = 0; i < rows; ++i)
            std::memcpy(m_pBackground + std::size_t(i) * m_nStride, scan + std::ptrdiff_t(i) * data.Stride, rowBytes);
    }
    bitmap->UnlockBits(&data);
}

void CMoxGraphics::DrawBack()
{
    if (!m_pDIBBits || !m_pBackground)
        return;
    std::memcpy(m_pDIBBits, m_pBackground, std::size_t(m_nStride) * std::size_t(m_nHeight));
}

void CMoxGraphics::FillRectangle(int x, int y, int width, int height, unsigned char r, unsigned char g, unsigned char b)
{
    if (m_nBitCount != 24 || !m_pDIBBits)
        return;
    // Clipped in 64 bits so that extreme coordinates cannot overflow.
    std::int64_t x0 = x, y0 = y, w = width, h = height;
    if (x0 < 0) {
        w += x0;
        x0 = 0;
    }
    if (y0 < 0) {
        h += y0;
        y0 = 0;
    }
    if (x0 + w > m_nWidth)
        w = m_nWidth - x0;
    if (y0 + h > m_nHeight)
        h = m_nHeight - y0;
    if (w <= 0 || h <= 0)
        return;

    // The first row is built pixel by pixel, the others are copies of it.
    unsigned char* first = m_pDIBBits + std::size_t(y0) * m_nStride + 3 * std::size_t(x0);
    for (std::int64_t j = 0; j < w; ++j) {
        first[3 * j] = b;
        first[3 * j + 1] = g;
        first[3 * j + 2] = r;
    }
    for (std::int64_t k = 1; k < h; ++k)
        std::memcpy(first + k * m_nStride, first, std::size_t(w) * 3);
}

Gdiplus::Graphics* CMoxGraphics::GetGraphics()
{
    return m_pGraphics;
}
HBITMAP CMoxGraphics::GetBitmap()
{
    return m_hBitmap;
}
CDC* CMoxGraphics::GetMemDC()
{
    return m_pMemDC;
}
unsigned long CMoxGraphics::GetWidth()
{
    return static_cast<unsigned long>(m_nWidth);
}
unsigned long CMoxGraphics::GetHeight()
{
    return static_cast<unsigned long>(m_nHeight);
}
