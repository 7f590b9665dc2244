// The TGA blitter: composites a CMoxTga onto the 24-bit back buffer with the image's per-pixel
// alpha, optionally scaled by a constant opacity. The region is clipped once per call; the
// pixel loops (blit_kernels.h) then run without bounds tests.
#include "MoxImage2.h"

#include "graphics/blit_kernels.h"

#include <cstdint>

namespace {

struct TgaRegion {
    int x, y;   // destination, canvas pixels
    int sx, sy; // source origin, image pixels
    int w, h;
};

// Clips (x, y, sx, sy, w, h) against the image (W x H) and the canvas (CW x CH) in the blitter's
// fixed order. Sizes arrive already limited to the image (step 1), so 0 <= w <= W, 0 <= h <= H.
// The sums are formed in 64 bits: a position near the int limits must clip, not wrap.
bool ClipRegion(std::int64_t x, std::int64_t y, std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h,
                std::int64_t W, std::int64_t H, std::int64_t CW, std::int64_t CH, TgaRegion& out)
{
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    if (x + w > CW)
        w = CW - x;
    if (y + h > CH)
        h = CH - y;
    // The origin is tested as an unsigned value: one still negative here draws nothing.
    if (sx < 0 || sx >= W || sy < 0 || sy >= H || w <= 0 || h <= 0)
        return false;
    if (sx + w >= W)
        w = W - sx;
    if (sy + h >= H)
        h = H - sy;
    out = TgaRegion{int(x), int(y), int(sx), int(sy), int(w), int(h)};
    return true;
}

enum class Extent { WholeImage, Region };

// A region's requested size is first capped at the image size, compared as unsigned, so a
// negative width or height means "to the image's edge".
void DrawTga(CMoxGraphics& canvas, CMoxTga* pTga, int x, int y, int srcX, int srcY, int width, int height,
             Extent extent, bool scaled, unsigned char opacity)
{
    if (!pTga || canvas.m_nBitCount != 24 || !canvas.m_pDIBBits)
        return;
    // An image whose load failed has no pixels, whatever size it still reports.
    const ULONG* image = pTga->GetBuffer();
    if (!image)
        return;
    if (canvas.m_nWidth <= 0 || canvas.m_nHeight <= 0 ||
        std::int64_t(canvas.m_nStride) < std::int64_t(canvas.m_nWidth) * 3)
        return;
    if (scaled && opacity == 0)
        return; // every pixel fully transparent

    const std::uint32_t W = static_cast<std::uint32_t>(pTga->GetWidth());
    const std::uint32_t H = static_cast<std::uint32_t>(pTga->GetHeight());
    std::int64_t w = W;
    std::int64_t h = H;
    if (extent == Extent::Region) {
        w = static_cast<std::uint32_t>(width) > W ? std::int64_t(W) : std::int64_t(width);
        h = static_cast<std::uint32_t>(height) > H ? std::int64_t(H) : std::int64_t(height);
    }

    TgaRegion r;
    if (!ClipRegion(x, y, srcX, srcY, w, h, W, H, canvas.m_nWidth, canvas.m_nHeight, r))
        return;

    // The pixel loops are the blit kernels of this CPU; opacity 255 leaves each pixel's alpha.
    mox::blit::TgaJob job;
    job.dst = canvas.m_pDIBBits + std::ptrdiff_t(r.y) * canvas.m_nStride + 3 * std::ptrdiff_t(r.x);
    job.dstStride = canvas.m_nStride;
    job.src = reinterpret_cast<const std::uint8_t*>(image + std::ptrdiff_t(r.sy) * W + r.sx);
    job.srcStride = W;
    job.w = r.w;
    job.h = r.h;
    job.opacity = scaled ? opacity : 255;
    mox::blit::For(job.w).tga(job);
}

} // namespace

void CMoxGraphics::Draw(CMoxTga* pTga, int x, int y)
{
    DrawTga(*this, pTga, x, y, 0, 0, 0, 0, Extent::WholeImage, false, 255);
}

void CMoxGraphics::Draw(CMoxTga* pTga, int x, int y, int srcX, int srcY, int width, int height)
{
    DrawTga(*this, pTga, x, y, srcX, srcY, width, height, Extent::Region, false, 255);
}

void CMoxGraphics::Draw(CMoxTga* pTga, int x, int y, int srcX, int srcY, int width, int height, unsigned char alpha)
{
    DrawTga(*this, pTga, x, y, srcX, srcY, width, height, Extent::Region, true, alpha);
}
