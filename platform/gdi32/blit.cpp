// Pixel access and the two copies the library relies on: BitBlt between device contexts and
// StretchDIBits from client memory. Every rectangle is clipped in 64-bit arithmetic before a
// byte is touched, so no argument can reach outside either image.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "gdi_registry.h"
#include "kernels.h"
#include "pixels.h"
#include "stretch.h"

namespace moxplat {
COLORREF PaletteColorLocked(Registry& reg, HDC hdc, COLORREF color); // palette.cpp
BOOL PatternBlitLocked(Registry& reg, HDC hdc, int x, int y, int w, int h, std::uint8_t rop3); // paint.cpp
} // namespace moxplat

using namespace moxplat;

namespace {

std::uint8_t* PixelAddress(const PixelSurface& s, std::int64_t x, std::int64_t y)
{
    return s.bits + y * s.stride + x * 3;
}

bool Inside(const PixelSurface& s, int x, int y)
{
    return x >= 0 && y >= 0 && x < s.width && y < s.height;
}

// A half-open interval [lo, hi) of 64-bit coordinates.
struct Span {
    std::int64_t lo;
    std::int64_t hi;
    bool Empty() const { return hi <= lo; }
};

Span Intersect(Span a, Span b)
{
    return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
}

// Whether two surfaces share memory (a DC copied onto itself, or two DCs on one section).
bool SameMemory(const PixelSurface& a, const PixelSurface& b)
{
    return a.bits == b.bits && a.stride == b.stride;
}

} // namespace

namespace moxplat {
namespace gdi {

// Columns (or rows) of a stretch: destination positions lo .. hi-1, and for each the source
// position it shows. Sampling is nearest-pixel at the centre of each destination pixel; equal
// extents copy one to one.
bool MapAxis(std::int64_t dstPos, std::int64_t dstExt, std::int64_t srcPos, std::int64_t srcExt, std::int64_t dstLimit,
             std::int64_t srcLimit, AxisMap* out)
{
    // A negative extent runs leftwards (upwards) from its position, which it includes: x = 1,
    // width -2 covers pixels 1 and 0 in that order (gdi32 tests/bitmap.c test_StretchBlt).
    bool mirror = false;
    if (dstExt < 0) {
        dstPos += dstExt + 1;
        dstExt = -dstExt;
        mirror = !mirror;
    }
    if (srcExt < 0) {
        srcPos += srcExt + 1;
        srcExt = -srcExt;
        mirror = !mirror;
    }
    if (dstExt == 0 || srcExt == 0)
        return false;
    out->src.clear();
    out->lo = 0;
    out->hi = 0;
    out->identity = !mirror && dstExt == srcExt;
    if (out->identity) {
        // Positions d with 0 <= d < dstLimit, inside the extent, and a source inside too.
        const std::int64_t lo = std::max({std::int64_t{0}, dstPos, dstPos - srcPos});
        const std::int64_t hi = std::min({dstLimit, dstPos + dstExt, dstPos - srcPos + srcLimit});
        if (hi <= lo)
            return false;
        out->lo = lo;
        out->hi = hi;
        out->srcFirst = srcPos + (lo - dstPos);
        return true;
    }
    const std::int64_t first = std::max<std::int64_t>(dstPos, 0);
    const std::int64_t last = std::min<std::int64_t>(dstPos + dstExt, dstLimit);
    for (std::int64_t d = first; d < last; ++d) {
        const std::int64_t i = d - dstPos;
        std::int64_t off = out->identity ? i : (2 * i + 1) * srcExt / (2 * dstExt);
        if (mirror)
            off = srcExt - 1 - off;
        const std::int64_t sPos = srcPos + off;
        if (sPos < 0 || sPos >= srcLimit) {
            if (out->src.empty())
                continue; // not yet inside the source
            break;        // past it: the mapping is monotonic
        }
        if (out->src.empty())
            out->lo = d;
        out->src.push_back(sPos);
        out->hi = d + 1;
    }
    return !out->src.empty();
}

bool RestrictAxis(const AxisMap& in, std::int64_t lo, std::int64_t hi, AxisMap* out)
{
    lo = std::max(lo, in.lo);
    hi = std::min(hi, in.hi);
    if (hi <= lo)
        return false;
    out->lo = lo;
    out->hi = hi;
    out->identity = in.identity;
    out->src.clear();
    if (in.identity)
        out->srcFirst = in.srcFirst + (lo - in.lo);
    else
        out->src.assign(in.src.begin() + (lo - in.lo), in.src.begin() + (hi - in.lo));
    return true;
}

// Row y of a 32-bit surface from pixel x on, as words (rows of DIBs and device bitmaps are
// 32-bit aligned at this depth).
std::uint32_t* Row32(const PixelSurface& s, std::int64_t y, std::int64_t x)
{
    return reinterpret_cast<std::uint32_t*>(s.bits + y * s.stride) + x;
}

void RopStretch(const PixelSurface& dst, const AxisMap& cols, const AxisMap& rows, const PixelSurface* src,
                std::uint8_t rop3, const BlitColors& colors)
{
    const std::size_t n = cols.Count();
    const bool useSrc = src && RopUsesSource(rop3);
    const RowKernels32& kernels = ActiveRowKernels(); // once, not once a row: sprites are short
    const std::uint32_t pattern = RawFromColor(dst, colors.pattern);
    std::vector<std::uint32_t> drow, srow; // sized on first use: most 32-bit paths work in place
    const auto rowsNeeded = [&] {
        if (drow.empty()) {
            drow.resize(n);
            srow.resize(n);
        }
    };
    const bool srcContiguous = useSrc && cols.identity;
    const std::int64_t sx0 = n ? cols.Src(0) : 0;
    if (useSrc) {
        const Converter convert(*src, dst, colors.srcBk, colors.dstText, colors.dstBk);
        const bool copyBytes = rop3 == 0xCC && convert.Identity() && srcContiguous && dst.bitsPerPixel >= 8;
        const std::size_t rowBytes = n * static_cast<std::size_t>(dst.bitsPerPixel / 8);
        if (!copyBytes && srcContiguous && rows.identity && dst.bitsPerPixel == 32) {
            // A one-to-one rectangle of words (a sprite): one kernel call for all its rows.
            std::uint8_t* d0 = dst.bits + rows.lo * dst.stride + cols.lo * 4;
            const std::uint8_t* s0 = src->bits + rows.srcFirst * src->stride;
            if (convert.Identity()) {
                kernels.ropRect(rop3, pattern, s0 + sx0 * 4, src->stride, d0, dst.stride, n, rows.Count());
                return;
            }
            if (src->bitsPerPixel == 1 && convert.Table()) {
                kernels.ropMonoRect(rop3, pattern, s0, src->stride, static_cast<std::size_t>(sx0), convert.Table()[0],
                                    convert.Table()[1], d0, dst.stride, n, rows.Count());
                return;
            }
        }
        for (std::size_t r = 0; r < rows.Count(); ++r) {
            const std::int64_t dy = rows.lo + static_cast<std::int64_t>(r);
            const std::int64_t sy = rows.Src(r);
            if (copyBytes) {
                std::memmove(dst.bits + dy * dst.stride + cols.lo * (dst.bitsPerPixel / 8),
                             src->bits + sy * src->stride + sx0 * (src->bitsPerPixel / 8), rowBytes);
                continue;
            }
            if (srcContiguous && convert.Identity() && dst.bitsPerPixel == 32) {
                kernels.rop(rop3, pattern, Row32(*src, sy, sx0), Row32(dst, dy, cols.lo), n);
                continue;
            }
            if (srcContiguous && src->bitsPerPixel == 1 && convert.Table() && dst.bitsPerPixel == 32) {
                // A monochrome row through its two colours, straight into the destination.
                kernels.ropMono(rop3, pattern, src->bits + sy * src->stride, static_cast<std::size_t>(sx0),
                             convert.Table()[0], convert.Table()[1], Row32(dst, dy, cols.lo), n);
                continue;
            }
            rowsNeeded();
            if (srcContiguous && src->bitsPerPixel == 1 && convert.Table()) {
                // A monochrome row through its two colours, without a call a pixel.
                const std::uint8_t* bitsRow = src->bits + sy * src->stride;
                const std::uint32_t* table = convert.Table();
                const std::uint32_t c0 = table[0], flip = table[0] ^ table[1];
                std::size_t k = 0;
                std::int64_t x = sx0;
                for (; k < n && (x & 7); ++k, ++x)
                    srow[k] = table[(bitsRow[x >> 3] >> (7 - (x & 7))) & 1];
                for (; k + 8 <= n; k += 8, x += 8) {
                    const std::uint32_t byte = bitsRow[x >> 3];
                    for (int i = 0; i < 8; ++i)
                        srow[k + i] = c0 ^ (flip & (0u - ((byte >> (7 - i)) & 1u)));
                }
                for (; k < n; ++k, ++x)
                    srow[k] = table[(bitsRow[x >> 3] >> (7 - (x & 7))) & 1];
                if (dst.bitsPerPixel == 32) {
                    kernels.rop(rop3, pattern, srow.data(), Row32(dst, dy, cols.lo), n);
                    continue;
                }
                if (RopUsesDest(rop3))
                    LoadRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), drow.data());
                Rop3Row(rop3, pattern, srow.data(), drow.data(), n);
                StoreRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), drow.data());
                continue;
            }
            if (srcContiguous) {
                LoadRow(*src, sy, sx0, static_cast<std::int64_t>(n), srow.data());
            } else {
                for (std::size_t k = 0; k < n; ++k)
                    srow[k] = GetRaw(*src, cols.Src(k), sy);
            }
            if (!convert.Identity())
                for (std::size_t k = 0; k < n; ++k)
                    srow[k] = convert(srow[k]);
            if (rop3 == 0xCC) {
                StoreRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), srow.data());
                continue;
            }
            if (dst.bitsPerPixel == 32) {
                // In place: the destination row is already a row of words.
                kernels.rop(rop3, pattern, srow.data(), Row32(dst, dy, cols.lo), n);
                continue;
            }
            if (RopUsesDest(rop3))
                LoadRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), drow.data());
            Rop3Row(rop3, pattern, srow.data(), drow.data(), n);
            StoreRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), drow.data());
        }
        return;
    }
    if (dst.bitsPerPixel == 32 && rows.identity) {
        kernels.ropRect(rop3, pattern, nullptr, 0, dst.bits + rows.lo * dst.stride + cols.lo * 4, dst.stride, n,
                        rows.Count());
        return;
    }
    for (std::size_t r = 0; r < rows.Count(); ++r) {
        const std::int64_t dy = rows.lo + static_cast<std::int64_t>(r);
        if (dst.bitsPerPixel == 32) {
            kernels.rop(rop3, pattern, nullptr, Row32(dst, dy, cols.lo), n);
            continue;
        }
        rowsNeeded();
        if (RopUsesDest(rop3))
            LoadRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), drow.data());
        Rop3Row(rop3, pattern, nullptr, drow.data(), n);
        StoreRow(dst, dy, cols.lo, static_cast<std::int64_t>(n), drow.data());
    }
}

// A copy of the source rows a blit reads, for a blit within one surface: every source pixel is
// read before any destination pixel of the same memory is written.
PixelSurface StageRows(const PixelSurface& src, AxisMap* rows, std::vector<std::uint8_t>* storage)
{
    const std::int64_t lo = rows->identity ? rows->srcFirst : *std::min_element(rows->src.begin(), rows->src.end());
    const std::int64_t hi = rows->identity ? rows->srcFirst + static_cast<std::int64_t>(rows->Count())
                                           : *std::max_element(rows->src.begin(), rows->src.end()) + 1;
    const std::int64_t rowBytes = src.stride < 0 ? -src.stride : src.stride;
    storage->resize(static_cast<std::size_t>(rowBytes * (hi - lo)));
    for (std::int64_t y = lo; y < hi; ++y)
        std::memcpy(storage->data() + (y - lo) * rowBytes, src.bits + y * src.stride, static_cast<std::size_t>(rowBytes));
    PixelSurface staged = src;
    staged.bits = storage->data();
    staged.stride = static_cast<std::ptrdiff_t>(rowBytes);
    staged.height = static_cast<int>(hi - lo);
    rows->srcFirst -= lo;
    for (std::int64_t& y : rows->src)
        y -= lo;
    return staged;
}

} // namespace gdi
} // namespace moxplat

namespace {

// False when the operation reads a pattern and the destination's brush is not one colour.
bool ColorsOf(Registry& reg, HDC dst, const DCObject* d, const DCObject* s, std::uint8_t rop3, gdi::BlitColors* c)
{
    if (d) {
        c->dstText = d->draw.textColor;
        c->dstBk = d->draw.bkColor;
    }
    if (s)
        c->srcBk = s->draw.bkColor;
    return !gdi::RopUsesPattern(rop3) || PatternColorOfDCLocked(reg, dst, &c->pattern);
}

bool ColorsOf(Registry& reg, HDC dst, HDC src, std::uint8_t rop3, gdi::BlitColors* c)
{
    return ColorsOf(reg, dst, reg.DC(dst), reg.DC(src), rop3, c);
}

// BitBlt, StretchBlt and PatBlt: the rectangle of the source (when the operation reads one) is
// mapped onto the destination's, both clipped to their surfaces in 64-bit arithmetic.
BOOL Blit(HDC hdc, int x, int y, int w, int h, HDC hdcSrc, int xs, int ys, int ws, int hs, DWORD rop, bool stretch)
{
    const std::uint8_t rop3 = static_cast<std::uint8_t>(rop >> 16);
    const bool useSrc = gdi::RopUsesSource(rop3);
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface dst, src;
    // One lookup a DC: the surface and the colours come from the same record.
    const DCObject* dstDC = SurfaceAndDCLocked(reg, hdc, &dst);
    if (!dstDC)
        return FALSE;
    const DCObject* srcDC = useSrc ? SurfaceAndDCLocked(reg, hdcSrc, &src) : nullptr;
    if (useSrc && !srcDC)
        return FALSE;
    if (!gdi::SupportedDepth(dst.bitsPerPixel) || (useSrc && !gdi::SupportedDepth(src.bitsPerPixel)))
        return FALSE;
    if (!stretch && (w <= 0 || h <= 0))
        return TRUE; // nothing to copy
    if (!useSrc) {
        ws = w;
        hs = h;
    }
    gdi::AxisMap cols, rows;
    const std::int64_t srcW = useSrc ? src.width : std::numeric_limits<std::int32_t>::max();
    const std::int64_t srcH = useSrc ? src.height : std::numeric_limits<std::int32_t>::max();
    const std::int64_t sx = useSrc ? xs : 0, sy = useSrc ? ys : 0;
    if (!useSrc) {
        // The pattern covers the whole destination rectangle.
        if (!gdi::MapAxis(x, w, 0, w, dst.width, srcW, &cols) || !gdi::MapAxis(y, h, 0, h, dst.height, srcH, &rows))
            return TRUE;
    } else if (!gdi::MapAxis(x, w, sx, ws, dst.width, srcW, &cols) ||
               !gdi::MapAxis(y, h, sy, hs, dst.height, srcH, &rows)) {
        return TRUE;
    }
    gdi::BlitColors colors;
    if (!ColorsOf(reg, hdc, dstDC, useSrc ? srcDC : reg.DC(hdcSrc), rop3, &colors))
        return FALSE;
    std::vector<std::uint8_t> staged;
    if (useSrc && SameMemory(dst, src))
        src = gdi::StageRows(src, &rows, &staged);
    gdi::ForEachDrawableBox(reg, hdc, dst, cols, rows, [&](const gdi::AxisMap& c, const gdi::AxisMap& r) {
        gdi::RopStretch(dst, c, r, useSrc ? &src : nullptr, rop3, colors);
    });
    if (dstDC->kind != DCKind::Memory) // only windows are shown again
        MarkDrawnLocked(reg, hdc);
    return TRUE;
}

// Every depth and raster operation: the packed DIB is a source surface like any other. Source
// coordinates count rows from the image's bottom, as for the 24-bit copy below. The caller's
// buffer must hold the whole image (biSizeImage, when given, at least stride x height).
int StretchDIBitsAnyDepth(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc,
                          int SrcWidth, int SrcHeight, const VOID* lpBits, const BITMAPINFO* lpbmi, UINT iUsage,
                          DWORD rop)
{
    const std::uint8_t rop3 = static_cast<std::uint8_t>(rop >> 16);
    const bool useSrc = gdi::RopUsesSource(rop3);
    gdi::DibFormat f;
    if (!gdi::ReadDibFormat(lpbmi, iUsage, &f))
        return 0;
    if (useSrc && !lpBits)
        return 0;
    if (lpbmi->bmiHeader.biSizeImage != 0 && lpbmi->bmiHeader.biSizeImage < f.ImageBytes())
        return 0;
    if (DestWidth == 0 || DestHeight == 0 || SrcWidth == 0 || SrcHeight == 0)
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface dst;
    if (!SurfaceLocked(reg, hdc, &dst) || !gdi::SupportedDepth(dst.bitsPerPixel))
        return 0;
    const PixelSurface src = f.Over(static_cast<const std::uint8_t*>(lpBits));
    // From the bottom-left corner in DIB coordinates to the top-left corner counted downwards.
    const std::int64_t srcTop = std::int64_t{f.height} - ySrc - SrcHeight;
    gdi::AxisMap cols, rows;
    if (gdi::MapAxis(xDest, DestWidth, xSrc, SrcWidth, dst.width, f.width, &cols) &&
        gdi::MapAxis(yDest, DestHeight, srcTop, SrcHeight, dst.height, f.height, &rows)) {
        gdi::BlitColors colors;
        if (!ColorsOf(reg, hdc, nullptr, rop3, &colors))
            return 0;
        // A packed DIB has no DC: its pixels are compared with the destination's background.
        colors.srcBk = colors.dstBk;
        gdi::ForEachDrawableBox(reg, hdc, dst, cols, rows, [&](const gdi::AxisMap& c, const gdi::AxisMap& r) {
            gdi::RopStretch(dst, c, r, useSrc ? &src : nullptr, rop3, colors);
        });
        MarkDrawnLocked(reg, hdc);
    }
    return f.height;
}

} // namespace

extern "C" {

COLORREF WINAPI GetPixel(HDC hdc, int x, int y)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface s;
    if (!SurfaceLocked(reg, hdc, &s) || !Inside(s, x, y))
        return CLR_INVALID;
    return gdi::ColorFromRaw(s, gdi::GetRaw(s, x, y));
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface s;
    if (!SurfaceLocked(reg, hdc, &s) || !Inside(s, x, y))
        return CLR_INVALID;
    // Outside the clip region nothing is set (MSDN SetPixel: -1 when the point is outside it).
    thread_local std::vector<RECT> boxes;
    DrawableBoxesLocked(reg, hdc, s, &boxes);
    if (std::none_of(boxes.begin(), boxes.end(),
                     [&](const RECT& b) { return x >= b.left && x < b.right && y >= b.top && y < b.bottom; }))
        return CLR_INVALID;
    color = PaletteColorLocked(reg, hdc, color);
    const std::uint32_t raw = gdi::RawFromColor(s, (color >> 16) == 0x10ff ? color : color & 0xffffff);
    gdi::SetRaw(s, x, y, raw);
    MarkDrawnLocked(reg, hdc);
    return gdi::ColorFromRaw(s, raw);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color)
{
    return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

// The colour a DC's pixels would hold for `color`: the nearest its bitmap can store.
COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface s;
    if (!reg.DC(hdc))
        return CLR_INVALID;
    if (!SurfaceLocked(reg, hdc, &s)) {
        // A new memory DC holds the 1 x 1 monochrome bitmap; the screen is 32-bit.
        const DCObject* d = reg.DC(hdc);
        if (d->kind != DCKind::Memory)
            return color & 0xffffff;
        s.bitsPerPixel = 1;
        s.monochromeDDB = true;
    }
    color = PaletteColorLocked(reg, hdc, color);
    return gdi::ColorFromRaw(s, gdi::RawFromColor(s, (color >> 16) == 0x10ff ? color : color & 0xffffff));
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    return Blit(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop, false);
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop)
{
    return Blit(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop, true);
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    const std::uint8_t rop3 = static_cast<std::uint8_t>(rop >> 16);
    // Operations that read a source are not patterns (Microsoft's PatBlt: PATCOPY, PATINVERT,
    // DSTINVERT, BLACKNESS, WHITENESS; gdi32 tests/dib.c draw_graphics: FALSE for every operation that reads a source).
    if (gdi::RopUsesSource(rop3))
        return FALSE;
    // Hatched and pattern brushes are painted as tiles, at every depth.
    const bool usesPattern = (rop3 >> 4) != (rop3 & 0x0f);
    if (usesPattern) {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const GdiObject* brush = reg.DC(hdc) ? reg.Object(SelectedBrushLocked(reg, hdc)) : nullptr;
        if (brush && brush->type == OBJ_BRUSH && brush->brushStyle != BS_SOLID && brush->brushStyle != BS_NULL)
            return PatternBlitLocked(reg, hdc, x, y, w, h, rop3);
    }
    return Blit(hdc, x, y, w, h, nullptr, 0, 0, w, h, rop, true);
}

// Source coordinates are DIB coordinates: x from the left, y from the image's bottom row, for a
// top-down DIB too: Wine's gdi32 conformance test test_StretchDIBits finds Windows stretching
// row 0 of a 2-row top-down DIB from its last row in memory. The top edge of the destination rectangle shows the top
// edge of the source rectangle. Sampling is nearest-pixel at the centre of each destination pixel, in every stretch
// mode. Negative extents (mirrors) and other depths take the general path. Destination pixels whose sample falls outside the source image, or
// past a non-zero biSizeImage, are left unchanged. Returns the image's number of scan lines when
// the source rectangle reaches into the image, as Windows does (Wine's gdi32 conformance test
// test_StretchDIBits: a 2-line DIB answers 2 whether one line is copied or none lands on the
// surface), or 0 on failure.
int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                         int SrcHeight, const VOID* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop)
{
    if (!lpbmi || iUsage > 1)
        return 0;
    if (rop != SRCCOPY || lpbmi->bmiHeader.biBitCount != 24 || DestWidth < 0 || DestHeight < 0 || SrcWidth < 0 ||
        SrcHeight < 0)
        return StretchDIBitsAnyDepth(hdc, xDest, yDest, DestWidth, DestHeight, xSrc, ySrc, SrcWidth, SrcHeight,
                                     lpBits, lpbmi, iUsage, rop);
    if (!lpBits)
        return 0;
    if (DestWidth <= 0 || DestHeight <= 0 || SrcWidth <= 0 || SrcHeight <= 0)
        return 0;
    BITMAPINFOHEADER h;
    std::memcpy(&h, &lpbmi->bmiHeader, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == std::numeric_limits<LONG>::min() || h.biPlanes != 1 || h.biBitCount != 24 ||
        h.biCompression != BI_RGB)
        return 0;
    const std::int64_t imageW = h.biWidth;
    const bool topDown = h.biHeight < 0;
    const std::int64_t imageH = topDown ? -std::int64_t{h.biHeight} : h.biHeight;
    const std::int64_t stride = Stride24(imageW);
    if (stride * imageH > std::numeric_limits<std::int32_t>::max())
        return 0;
    // Windows reads stride x height bytes whatever biSizeImage says. A caller that states a
    // smaller size has a smaller buffer (rows not padded, say): nothing past it is read.
    const std::int64_t available =
        h.biSizeImage != 0 ? std::min<std::int64_t>(h.biSizeImage, stride * imageH) : stride * imageH;

    // Source rows of the rectangle that lie inside the image, in DIB coordinates.
    const Span srcRowsInImage = Intersect({ySrc, std::int64_t{ySrc} + SrcHeight}, {0, imageH});
    if (srcRowsInImage.Empty())
        return 0;
    const int lines = static_cast<int>(imageH);

    Registry& reg = TheRegistry();
    std::unique_lock<std::mutex> lock(reg.mutex);
    PixelSurface dst;
    if (!SurfaceLocked(reg, hdc, &dst))
        return 0;

    const Span cols = Intersect({xDest, std::int64_t{xDest} + DestWidth}, {0, dst.width});
    const Span rows = Intersect({yDest, std::int64_t{yDest} + DestHeight}, {0, dst.height});
    if (cols.Empty() || rows.Empty())
        return lines;
    // A clipped destination goes through the engine, which splits the copy by clip box.
    thread_local std::vector<RECT> boxes; // kept: no allocation a call
    DrawableBoxesLocked(reg, hdc, dst, &boxes);
    if (boxes.size() != 1 || boxes[0].left > cols.lo || boxes[0].right < cols.hi || boxes[0].top > rows.lo ||
        boxes[0].bottom < rows.hi) {
        lock.unlock();
        return StretchDIBitsAnyDepth(hdc, xDest, yDest, DestWidth, DestHeight, xSrc, ySrc, SrcWidth, SrcHeight, lpBits,
                                     lpbmi, iUsage, rop);
    }

    // Source column of each visible destination column, or -1 outside the image.
    std::vector<std::int64_t> srcCol(static_cast<std::size_t>(cols.hi - cols.lo));
    for (std::int64_t c = cols.lo; c < cols.hi; ++c) {
        const std::int64_t i = c - xDest;
        const std::int64_t sx = xSrc + (2 * i + 1) * SrcWidth / (2 * std::int64_t{DestWidth});
        srcCol[static_cast<std::size_t>(c - cols.lo)] = (sx >= 0 && sx < imageW) ? sx : -1;
    }
    const bool everyColumnInside = std::none_of(srcCol.begin(), srcCol.end(), [](std::int64_t sx) { return sx < 0; });
    const std::int64_t lastCol = *std::max_element(srcCol.begin(), srcCol.end());
    const std::size_t spanBytes = srcCol.size() * 3;

    const auto* bits = static_cast<const std::uint8_t*>(lpBits);
    std::int64_t previousRow = -1; // memory row of the last destination row written in full
    for (std::int64_t r = rows.lo; r < rows.hi; ++r) {
        const std::int64_t j = r - yDest;
        const std::int64_t down = (2 * j + 1) * SrcHeight / (2 * std::int64_t{DestHeight}); // from the rect's top
        // The rectangle's rows counted from the image's bottom, then as stored: top-down images
        // store the top row first, bottom-up images the bottom row.
        const std::int64_t fromBottom = std::int64_t{ySrc} + (SrcHeight - 1 - down);
        const std::int64_t memRow = topDown ? imageH - 1 - fromBottom : fromBottom;
        if (memRow < 0 || memRow >= imageH) {
            previousRow = -1;
            continue;
        }
        const std::uint8_t* srcRow = bits + memRow * stride;
        const std::int64_t rowAvail = available - memRow * stride;
        std::uint8_t* out = PixelAddress(dst, cols.lo, r);
        const bool wholeRow = everyColumnInside && lastCol * 3 + 3 <= rowAvail;
        if (wholeRow && memRow == previousRow) {
            // Enlarging repeats source rows: copy the row just made.
            std::memcpy(out, PixelAddress(dst, cols.lo, r - 1), spanBytes);
            continue;
        }
        previousRow = wholeRow ? memRow : -1;
        for (std::size_t k = 0; k < srcCol.size(); ++k, out += 3) {
            if (srcCol[k] < 0 || srcCol[k] * 3 + 3 > rowAvail)
                continue;
            const std::uint8_t* p = srcRow + srcCol[k] * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
    MarkDrawnLocked(reg, hdc);
    return lines;
}

} // extern "C"
