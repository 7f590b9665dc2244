// Pixel access and the two copies the library relies on: BitBlt between device contexts and
// StretchDIBits from client memory. Every rectangle is clipped in 64-bit arithmetic before a
// byte is touched, so no argument can reach outside either image.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "gdi_registry.h"

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

extern "C" {

COLORREF WINAPI GetPixel(HDC hdc, int x, int y)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface s;
    if (!SurfaceLocked(reg, hdc, &s) || !Inside(s, x, y))
        return CLR_INVALID;
    const std::uint8_t* p = PixelAddress(s, x, y);
    return RGB(p[2], p[1], p[0]);
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface s;
    if (!SurfaceLocked(reg, hdc, &s) || !Inside(s, x, y))
        return CLR_INVALID;
    std::uint8_t* p = PixelAddress(s, x, y);
    p[0] = GetBValue(color);
    p[1] = GetGValue(color);
    p[2] = GetRValue(color);
    MarkDrawnLocked(reg, hdc);
    return RGB(p[2], p[1], p[0]);
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    if (rop != SRCCOPY)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface dst, src;
    if (!SurfaceLocked(reg, hdc, &dst) || !SurfaceLocked(reg, hdcSrc, &src))
        return FALSE;
    if (cx <= 0 || cy <= 0)
        return TRUE; // nothing to copy

    // Clip in destination coordinates; the source is the same rectangle shifted by (x1-x, y1-y).
    const std::int64_t dx = std::int64_t{x1} - x;
    const std::int64_t dy = std::int64_t{y1} - y;
    Span cols = Intersect({x, std::int64_t{x} + cx}, {0, dst.width});
    cols = Intersect(cols, {-dx, src.width - dx});
    Span rows = Intersect({y, std::int64_t{y} + cy}, {0, dst.height});
    rows = Intersect(rows, {-dy, src.height - dy});
    if (cols.Empty() || rows.Empty())
        return TRUE;

    const std::size_t rowBytes = static_cast<std::size_t>(cols.hi - cols.lo) * 3;
    if (SameMemory(dst, src)) {
        // Overlapping copy within one image: stage through a buffer so no source row is
        // overwritten before it is read.
        std::vector<std::uint8_t> staged(rowBytes * static_cast<std::size_t>(rows.hi - rows.lo));
        for (std::int64_t r = rows.lo; r < rows.hi; ++r)
            std::memcpy(&staged[static_cast<std::size_t>(r - rows.lo) * rowBytes],
                        PixelAddress(src, cols.lo + dx, r + dy), rowBytes);
        for (std::int64_t r = rows.lo; r < rows.hi; ++r)
            std::memcpy(PixelAddress(dst, cols.lo, r), &staged[static_cast<std::size_t>(r - rows.lo) * rowBytes],
                        rowBytes);
    } else {
        for (std::int64_t r = rows.lo; r < rows.hi; ++r)
            std::memmove(PixelAddress(dst, cols.lo, r), PixelAddress(src, cols.lo + dx, r + dy), rowBytes);
    }
    MarkDrawnLocked(reg, hdc);
    return TRUE;
}

// Source coordinates are DIB coordinates: x from the left, y from the image's bottom row, for a
// top-down DIB too: Wine's gdi32 conformance test test_StretchDIBits finds Windows stretching
// row 0 of a 2-row top-down DIB from its last row in memory. The top edge of the destination rectangle shows the top
// edge of the source rectangle. Sampling is nearest-pixel at the centre of each destination pixel, in every stretch
// mode. Negative extents (mirroring) are refused. Destination pixels whose sample falls outside the source image, or
// past a non-zero biSizeImage, are left unchanged. Returns the image's number of scan lines when
// the source rectangle reaches into the image, as Windows does (Wine's gdi32 conformance test
// test_StretchDIBits: a 2-line DIB answers 2 whether one line is copied or none lands on the
// surface), or 0 on failure.
int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                         int SrcHeight, const VOID* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop)
{
    if (rop != SRCCOPY || !lpBits || !lpbmi || iUsage > 1)
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
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface dst;
    if (!SurfaceLocked(reg, hdc, &dst))
        return 0;

    const Span cols = Intersect({xDest, std::int64_t{xDest} + DestWidth}, {0, dst.width});
    const Span rows = Intersect({yDest, std::int64_t{yDest} + DestHeight}, {0, dst.height});
    if (cols.Empty() || rows.Empty())
        return lines;

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
