// TransparentBlt and AlphaBlend: the two blits Windows keeps in msimg32.
#include <algorithm>
#include <cstring>
#include <limits>

#include "gdi_registry.h"
#include "kernels.h"
#include "pixels.h"
#include "stretch.h"

using namespace moxplat;

namespace {

bool SameMemory(const PixelSurface& a, const PixelSurface& b)
{
    return a.bits == b.bits && a.stride == b.stride;
}

bool StandardArgb(const PixelSurface& s)
{
    return s.bitsPerPixel == 32 && s.masks[0] == 0xff0000u && s.masks[1] == 0x00ff00u && s.masks[2] == 0x0000ffu;
}

inline std::uint32_t Div255(std::uint32_t v)
{
    // Exact rounding of v / 255 for v <= 255 * 255 + 127.
    return (v + 128 + ((v + 128) >> 8)) >> 8;
}

// One premultiplied source pixel over a destination pixel, with the source already scaled by
// the constant alpha: dst = src + dst * (255 - srcAlpha) / 255, channel by channel.
inline std::uint32_t OverPremultiplied(std::uint32_t s, std::uint32_t d)
{
    const std::uint32_t inv = 255 - (s >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t v = ((s >> shift) & 0xff) + Div255(((d >> shift) & 0xff) * inv);
        out |= std::min<std::uint32_t>(v, 255) << shift;
    }
    return out;
}

inline std::uint32_t ScaleAll(std::uint32_t s, std::uint32_t alpha)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= Div255(((s >> shift) & 0xff) * alpha) << shift;
    return out;
}

// Constant alpha alone: dst = src * a / 255 + dst * (255 - a) / 255.
inline std::uint32_t Mix(std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= Div255(((s >> shift) & 0xff) * a + ((d >> shift) & 0xff) * (255 - a)) << shift;
    return out;
}

std::uint32_t* Row32(const PixelSurface& s, std::int64_t y, std::int64_t x)
{
    return reinterpret_cast<std::uint32_t*>(s.bits + y * s.stride) + x;
}

bool RectInside(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const PixelSurface& s)
{
    return x >= 0 && y >= 0 && x + w <= s.width && y + h <= s.height;
}

bool Overlap(std::int64_t ax, std::int64_t ay, std::int64_t aw, std::int64_t ah, std::int64_t bx, std::int64_t by,
             std::int64_t bw, std::int64_t bh)
{
    return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

} // namespace

extern "C" {

// Windows: the source rectangle must lie inside the source, no extent may be negative, and the
// two rectangles may not overlap on one surface; AC_SRC_ALPHA needs a 32-bit source with the
// standard channel order (gdi32 tests/bitmap.c test_GdiAlphaBlend). The source's colours are
// premultiplied by its alpha (Microsoft's BLENDFUNCTION).
BOOL WINAPI GdiAlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                          int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn)
{
    if (ftn.BlendOp != AC_SRC_OVER || wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface dst, src;
    const DCObject* dstDC = SurfaceAndDCLocked(reg, hdcDest, &dst);
    if (!dstDC || !SurfaceAndDCLocked(reg, hdcSrc, &src))
        return FALSE;
    if (!gdi::SupportedDepth(dst.bitsPerPixel) || !gdi::SupportedDepth(src.bitsPerPixel))
        return FALSE;
    if (!RectInside(xoriginSrc, yoriginSrc, wSrc, hSrc, src))
        return FALSE;
    const bool perPixel = (ftn.AlphaFormat & AC_SRC_ALPHA) != 0;
    if (perPixel && !StandardArgb(src))
        return FALSE;
    if (SameMemory(dst, src) &&
        Overlap(xoriginDest, yoriginDest, wDest, hDest, xoriginSrc, yoriginSrc, wSrc, hSrc))
        return FALSE;
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0)
        return TRUE;
    gdi::AxisMap allCols, allRows;
    if (!gdi::MapAxis(xoriginDest, wDest, xoriginSrc, wSrc, dst.width, src.width, &allCols) ||
        !gdi::MapAxis(yoriginDest, hDest, yoriginSrc, hSrc, dst.height, src.height, &allRows))
        return TRUE;
    const std::uint32_t sca = ftn.SourceConstantAlpha;
    const bool dstArgb = StandardArgb(dst);
    const bool dst24 = dst.bitsPerPixel == 24;
    const gdi::RowKernels32& kernels = gdi::ActiveRowKernels();
    std::vector<std::uint32_t> s, d;
    gdi::ForEachDrawableBox(reg, hdcDest, dst, allCols, allRows, [&](const gdi::AxisMap& cols, const gdi::AxisMap& rows) {
        const std::size_t n = cols.Count();
        const bool direct = cols.identity && dstArgb && StandardArgb(src);
        if (direct && rows.identity) {
            // One-to-one: one kernel call for the whole rectangle.
            const auto* s0 = reinterpret_cast<const std::uint8_t*>(Row32(src, rows.srcFirst, cols.srcFirst));
            auto* d0 = reinterpret_cast<std::uint8_t*>(Row32(dst, rows.lo, cols.lo));
            (perPixel ? kernels.blendPremultipliedRect : kernels.blendConstantRect)(s0, src.stride, d0, dst.stride, n,
                                                                                    rows.Count(), sca);
            return;
        }
        s.resize(direct ? 0 : n);
        d.resize(direct ? 0 : n);
        for (std::size_t r = 0; r < rows.Count(); ++r) {
            const std::int64_t dy = rows.lo + static_cast<std::int64_t>(r);
            if (direct) {
                const std::uint32_t* srow = Row32(src, rows.Src(r), cols.Src(0));
                std::uint32_t* drow = Row32(dst, dy, cols.lo);
                if (perPixel)
                    kernels.blendPremultiplied(srow, drow, n, sca);
                else
                    kernels.blendConstant(srow, drow, n, sca);
                continue;
            }
            if (cols.identity)
                gdi::LoadRow(src, rows.Src(r), cols.Src(0), static_cast<std::int64_t>(n), s.data());
            else
                for (std::size_t k = 0; k < n; ++k)
                    s[k] = gdi::GetRaw(src, cols.Src(k), rows.Src(r));
            // Colours as 0x00RRGGBB (alpha on top for a 32-bit source) on both sides.
            if (!StandardArgb(src))
                for (auto& v : s) {
                    const COLORREF c = gdi::ColorFromRaw(src, v);
                    v = std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
                }
            gdi::LoadRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), d.data());
            if (!dstArgb && !dst24)
                for (auto& v : d) {
                    const COLORREF c = gdi::ColorFromRaw(dst, v);
                    v = std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
                }
            if (perPixel) {
                if (sca == 255)
                    for (std::size_t k = 0; k < n; ++k)
                        d[k] = OverPremultiplied(s[k], d[k]);
                else
                    for (std::size_t k = 0; k < n; ++k)
                        d[k] = OverPremultiplied(ScaleAll(s[k], sca), d[k]);
            } else {
                for (std::size_t k = 0; k < n; ++k)
                    d[k] = Mix(s[k], d[k], sca);
            }
            if (!dstArgb && !dst24)
                for (auto& v : d)
                    v = gdi::RawFromColor(dst, RGB((v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff));
            gdi::StoreRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), d.data());
        }
    });
    if (dstDC->kind != DCKind::Memory) // only windows are shown again
        MarkDrawnLocked(reg, hdcDest);
    return TRUE;
}

BOOL WINAPI AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                       int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn)
{
    return GdiAlphaBlend(hdcDest, xoriginDest, yoriginDest, wDest, hDest, hdcSrc, xoriginSrc, yoriginSrc, wSrc, hSrc,
                         ftn);
}

// Source pixels of the colour crTransparent (as the source stores it: the nearest colour-table
// entry, or the colour cut to the source's channel widths) are left out; the others are copied
// as BitBlt copies them, stretched when the extents differ. Negative extents are refused
// (Microsoft's TransparentBlt).
BOOL WINAPI GdiTransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                              int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent)
{
    if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface dst, src;
    const DCObject* dstDC = SurfaceAndDCLocked(reg, hdcDest, &dst);
    const DCObject* srcDC = dstDC ? SurfaceAndDCLocked(reg, hdcSrc, &src) : nullptr;
    if (!srcDC)
        return FALSE;
    if (!gdi::SupportedDepth(dst.bitsPerPixel) || !gdi::SupportedDepth(src.bitsPerPixel))
        return FALSE;
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0)
        return TRUE;
    gdi::AxisMap allCols, allRows;
    if (!gdi::MapAxis(xoriginDest, wDest, xoriginSrc, wSrc, dst.width, src.width, &allCols) ||
        !gdi::MapAxis(yoriginDest, hDest, yoriginSrc, hSrc, dst.height, src.height, &allRows))
        return TRUE;
    std::vector<std::uint8_t> staged;
    if (SameMemory(dst, src))
        src = gdi::StageRows(src, &allRows, &staged);
    const std::uint32_t key = gdi::RawFromColor(src, crTransparent & 0xffffff);
    // A 32-bit source's fourth byte is not part of its colour.
    const std::uint32_t keyMask = src.bitsPerPixel == 32 ? 0x00ffffffu : gdi::RawMask(src.bitsPerPixel);
    const COLORREF dstText = dstDC->draw.textColor, dstBk = dstDC->draw.bkColor, srcBk = srcDC->draw.bkColor;
    const gdi::Converter convert(src, dst, srcBk, dstText, dstBk);
    const gdi::RowKernels32& kernels = gdi::ActiveRowKernels();
    std::vector<std::uint32_t> s, d;
    gdi::ForEachDrawableBox(reg, hdcDest, dst, allCols, allRows, [&](const gdi::AxisMap& cols, const gdi::AxisMap& rows) {
        const std::size_t n = cols.Count();
        const bool direct = cols.identity && convert.Identity() && src.bitsPerPixel == 32;
        if (direct && rows.identity) {
            // One-to-one: one kernel call for the whole rectangle.
            kernels.keyedCopyRect(reinterpret_cast<const std::uint8_t*>(Row32(src, rows.srcFirst, cols.srcFirst)),
                                  src.stride, reinterpret_cast<std::uint8_t*>(Row32(dst, rows.lo, cols.lo)),
                                  dst.stride, n, rows.Count(), key);
            return;
        }
        s.resize(direct ? 0 : n);
        d.resize(direct ? 0 : n);
        for (std::size_t r = 0; r < rows.Count(); ++r) {
            const std::int64_t dy = rows.lo + static_cast<std::int64_t>(r);
            if (direct) {
                kernels.keyedCopy(Row32(src, rows.Src(r), cols.Src(0)), Row32(dst, dy, cols.lo), n, key);
                continue;
            }
            if (cols.identity)
                gdi::LoadRow(src, rows.Src(r), cols.Src(0), static_cast<std::int64_t>(n), s.data());
            else
                for (std::size_t k = 0; k < n; ++k)
                    s[k] = gdi::GetRaw(src, cols.Src(k), rows.Src(r));
            gdi::LoadRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), d.data());
            for (std::size_t k = 0; k < n; ++k)
                if ((s[k] & keyMask) != key)
                    d[k] = convert(s[k]);
            gdi::StoreRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), d.data());
        }
    }, dstDC);
    if (dstDC->kind != DCKind::Memory) // only windows are shown again
        MarkDrawnLocked(reg, hdcDest);
    return TRUE;
}

BOOL WINAPI TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                           int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent)
{
    return GdiTransparentBlt(hdcDest, xoriginDest, yoriginDest, wDest, hDest, hdcSrc, xoriginSrc, yoriginSrc, wSrc,
                             hSrc, crTransparent);
}

} // extern "C"
