// The TGA blitter: composites a CMoxTga onto the 24-bit back buffer with the image's per-pixel
// alpha, optionally scaled by a constant opacity. The region is clipped once per call; the
// pixel loop then runs without bounds tests.
#include "MoxImage2.h"

#include "graphics/blend.h"

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

// One pixel by the blend rule, without branches: alpha 255 is taken as 256, which turns the
// blend into an exact copy, and alpha 0 leaves every channel as it was.
template <bool kScaled> inline void BlendPixel(unsigned char* d, ULONG p, unsigned opacity)
{
    unsigned a = p >> 24;
    if (kScaled)
        a = (a * opacity) >> 8; // at most 253: never a copy
    else
        a += (a == 255);
    d[0] = mox::BlendChannel(d[0], static_cast<unsigned char>(p), int(a));
    d[1] = mox::BlendChannel(d[1], static_cast<unsigned char>(p >> 8), int(a));
    d[2] = mox::BlendChannel(d[2], static_cast<unsigned char>(p >> 16), int(a));
}

// Pixels go four at a time: four opaque ones are a copy and four transparent ones are skipped,
// so the uniform stretches of a sprite cost little, and mixed groups blend without a branch per
// pixel (alpha that changes from pixel to pixel would defeat branch prediction).
template <bool kScaled>
void BlendRows(const ULONG* image, size_t imageWidth, unsigned char* bits, size_t stride, const TgaRegion& r,
               unsigned opacity)
{
    for (int j = 0; j < r.h; ++j) {
        const ULONG* s = image + size_t(r.sy + j) * imageWidth + size_t(r.sx);
        unsigned char* d = bits + size_t(r.y + j) * stride + size_t(r.x) * 3;
        int i = 0;
        for (; i + 4 <= r.w; i += 4, s += 4, d += 12) {
            const ULONG any = s[0] | s[1] | s[2] | s[3];
            if ((any >> 24) == 0)
                continue;
            const ULONG all = s[0] & s[1] & s[2] & s[3];
            if (!kScaled && (all >> 24) == 0xFF) {
                for (int k = 0; k < 4; ++k) {
                    d[3 * k] = static_cast<unsigned char>(s[k]);
                    d[3 * k + 1] = static_cast<unsigned char>(s[k] >> 8);
                    d[3 * k + 2] = static_cast<unsigned char>(s[k] >> 16);
                }
                continue;
            }
            for (int k = 0; k < 4; ++k)
                BlendPixel<kScaled>(d + 3 * k, s[k], opacity);
        }
        for (; i < r.w; ++i, ++s, d += 3)
            BlendPixel<kScaled>(d, *s, opacity);
    }
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

    const size_t stride = size_t(canvas.m_nStride);
    if (scaled && opacity != 255)
        BlendRows<true>(image, W, canvas.m_pDIBBits, stride, r, opacity);
    else
        BlendRows<false>(image, W, canvas.m_pDIBBits, stride, r, 0);
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
