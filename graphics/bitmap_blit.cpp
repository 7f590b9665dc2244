// The bitmap blitter: copies a CMoxBitmap, whole or a region of it, into the back buffer with
// its colour key and an optional constant opacity; a raw image marked for zooming is stretched
// into the memory DC instead.
#include <MoxImage2.h>

#include "graphics/blit_kernels.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

// A clipped blit: W x H pixels from image pixel (sx, sy) to canvas pixel (x, y).
struct Region {
    int x, y, sx, sy, w, h;
};

// Clips a request to the canvas and the image, once per call. Destination (x + j, y + k) as
// passed always shows source (srcX + j, srcY + k): every edge that moves one side moves the
// other. False when nothing is left to draw.
bool Clip(int x, int y, int srcX, int srcY, int width, int height, int imgW, int imgH, int canvasW, int canvasH,
          Region* out)
{
    std::int64_t dx = x, dy = y, sx = srcX, sy = srcY;
    std::int64_t w = width > imgW ? imgW : width;
    std::int64_t h = height > imgH ? imgH : height;
    if (dx < 0) { // canvas left and top edges
        w += dx;
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    if (sx < 0) { // image left and top edges
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    if (dx + w > canvasW)
        w = canvasW - dx;
    if (dy + h > canvasH)
        h = canvasH - dy;
    if (sx >= imgW || sy >= imgH || w <= 0 || h <= 0)
        return false;
    if (sx + w > imgW)
        w = imgW - sx;
    if (sy + h > imgH)
        h = imgH - sy;
    *out = Region{int(dx), int(dy), int(sx), int(sy), int(w), int(h)};
    return true;
}

// Where image row 0 (the top row) starts and how far apart rows lie; negative for the raw
// form, whose rows are stored bottom row first.
struct Source {
    const unsigned char* top;
    std::ptrdiff_t step;
};

using Key = mox::blit::Key;

// alpha 255 copies; anything lower blends. The pixel loops are the blit kernels of this CPU.
void Blit(unsigned char* canvasBits, int canvasStride, const Region& r, Source src, bool keyed, Key key, int alpha)
{
    mox::blit::BgrJob job;
    job.dst = canvasBits + std::ptrdiff_t(r.y) * canvasStride + 3 * std::ptrdiff_t(r.x);
    job.dstStride = canvasStride;
    job.src = src.top + std::ptrdiff_t(r.sy) * src.step + 3 * std::ptrdiff_t(r.sx);
    job.srcStep = src.step;
    job.w = r.w;
    job.h = r.h;
    job.keyed = keyed;
    job.key = key;
    job.alpha = alpha;
    mox::blit::For(job.w).bgr(job);
}

} // namespace

namespace mox {
// The blitter's view of an image's converted pixels.
struct BitmapPixels {
    static const unsigned char* Converted(CMoxBitmap& image) { return image.GetPixels24(); }
};
} // namespace mox

// The software path shared by the four overloads: clip, then read the raw bytes in place or the
// file form through one read lock of the region drawn (or its pixels converted once).
static void DrawSoftware(CMoxGraphics& canvas, CMoxBitmap& image, int x, int y, int srcX, int srcY, int width,
                         int height, int alpha, unsigned char* canvasBits, int canvasStride, int memBytes)
{
    const int imgW = image.GetWidth();
    const int imgH = image.GetHeight();
    Region r;
    if (!Clip(x, y, srcX, srcY, width, height, imgW, imgH, int(canvas.m_nWidth), int(canvas.m_nHeight), &r))
        return;
    const bool keyed = image.IsColorKey() != 0;
    const Key key{image.GetKeyB(), image.GetKeyG(), image.GetKeyR()};

    // Where the pixels drawn are read from: the raw bytes in place, the file form's pixels
    // converted once, or a read lock of just the region drawn. One blit call for all three,
    // which the compiler then keeps in line with the clipping: a tiny sprite's blit costs little
    // more than its pixels.
    Source src;
    Gdiplus::Bitmap* locked = nullptr;
    Gdiplus::BitmapData data{};
    if (const unsigned char* bytes = image.GetMemBitmap()) {
        // Rows of exactly imgW x 3 bytes, bottom row first. An image holding fewer bytes than its
        // header promises draws nothing rather than reading past them. (Clip left imgW and imgH
        // at least 1, so the product cannot pass 64 bits.)
        const std::int64_t rowBytes = std::int64_t(imgW) * 3;
        if (memBytes < 0 || std::uint64_t(imgH) * std::uint64_t(rowBytes) > std::uint64_t(memBytes))
            return;
        src = Source{bytes + (imgH - 1) * rowBytes, -static_cast<std::ptrdiff_t>(rowBytes)};
    } else {
        Gdiplus::Bitmap* bitmap = image.GetBitmap();
        if (!bitmap)
            return;
        if (const unsigned char* pixels = mox::BitmapPixels::Converted(image)) {
            // Held in another format and converted once: rows of exactly imgW x 3 bytes, top first.
            src = Source{pixels, std::ptrdiff_t(imgW) * 3};
        } else {
            // A 24-bit image is read in place, through a read lock of just the pixels drawn.
            Gdiplus::Rect drawn(r.sx, r.sy, r.w, r.h);
            if (bitmap->LockBits(&drawn, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
                return;
            locked = bitmap;
            if (!data.Scan0 || std::int64_t(data.Width) < r.w || std::int64_t(data.Height) < r.h) {
                bitmap->UnlockBits(&data);
                return;
            }
            src = Source{static_cast<const unsigned char*>(data.Scan0), data.Stride};
            r.sx = r.sy = 0; // the lock starts at the first pixel drawn
        }
    }
    Blit(canvasBits, canvasStride, r, src, keyed, key, alpha);
    if (locked)
        locked->UnlockBits(&data);
}

void CMoxGraphics::Draw(CMoxBitmap* pBitmap, int x, int y)
{
    if (!pBitmap || m_nBitCount != 24 || !m_pDIBBits)
        return;
    DrawSoftware(*this, *pBitmap, x, y, 0, 0, pBitmap->GetWidth(), pBitmap->GetHeight(), 255, m_pDIBBits, m_nStride,
                 pBitmap->m_nMemBytes);
}

void CMoxGraphics::Draw(CMoxBitmap* pBitmap, int x, int y, unsigned char alpha)
{
    if (alpha == 255) {
        Draw(pBitmap, x, y);
        return;
    }
    if (!pBitmap || alpha == 0 || m_nBitCount != 24 || !m_pDIBBits)
        return;
    DrawSoftware(*this, *pBitmap, x, y, 0, 0, pBitmap->GetWidth(), pBitmap->GetHeight(), alpha, m_pDIBBits, m_nStride,
                 pBitmap->m_nMemBytes);
}

void CMoxGraphics::Draw(CMoxBitmap* pBitmap, int x, int y, int srcX, int srcY, int width, int height)
{
    if (!pBitmap)
        return;
    if (pBitmap->GetMemBitmap() && pBitmap->IsZoom()) {
        // Stretched by the platform into the memory DC. It reads rows rounded up to 4 bytes, so
        // the image must hold that many; and there must be a memory DC to draw into.
        const BITMAPINFOHEADER& h = pBitmap->GetBitmapHeader()->bmiHeader;
        if (!m_pMemDC || !m_pMemDC->GetSafeHdc() || h.biBitCount != 24 || h.biCompression != BI_RGB || h.biWidth <= 0 ||
            h.biHeight == 0)
            return;
        const std::int64_t stride4 = (std::int64_t(h.biWidth) * 3 + 3) & ~std::int64_t(3);
        if (std::llabs(std::int64_t(h.biHeight)) > pBitmap->m_nMemBytes / stride4)
            return;
        const std::int64_t srcW = std::int64_t(pBitmap->GetWidth()) - srcX;
        const std::int64_t srcH = std::int64_t(pBitmap->GetHeight()) - srcY;
        if (srcW < INT_MIN || srcW > INT_MAX || srcH < INT_MIN || srcH > INT_MAX)
            return;
        HDC hdc = m_pMemDC->GetSafeHdc();
        SetStretchBltMode(hdc, COLORONCOLOR);
        StretchDIBits(hdc, x, y, width, height, srcX, srcY, int(srcW), int(srcH), pBitmap->GetMemBitmap(),
                      pBitmap->GetBitmapHeader(), DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    if (m_nBitCount != 24 || !m_pDIBBits)
        return;
    DrawSoftware(*this, *pBitmap, x, y, srcX, srcY, width, height, 255, m_pDIBBits, m_nStride, pBitmap->m_nMemBytes);
}

void CMoxGraphics::Draw(CMoxBitmap* pBitmap, int x, int y, int srcX, int srcY, int width, int height,
                        unsigned char alpha)
{
    if (alpha == 255) {
        Draw(pBitmap, x, y, srcX, srcY, width, height); // zoom path included
        return;
    }
    if (!pBitmap || alpha == 0 || m_nBitCount != 24 || !m_pDIBBits)
        return;
    DrawSoftware(*this, *pBitmap, x, y, srcX, srcY, width, height, alpha, m_pDIBBits, m_nStride, pBitmap->m_nMemBytes);
}
