// The one blit engine behind BitBlt, StretchBlt, PatBlt, StretchDIBits and SetDIBitsToDevice.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi_registry.h"
#include "pixels.h"

namespace moxplat {
namespace gdi {

// Destination positions lo .. hi-1 of one axis, and the source position each one shows: from
// srcFirst on, one by one, for a one-to-one map, else listed in `src`.
struct AxisMap {
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    bool identity = false; // one to one, not mirrored
    std::int64_t srcFirst = 0;
    std::vector<std::int64_t> src;

    std::size_t Count() const { return static_cast<std::size_t>(hi - lo); }
    std::int64_t Src(std::size_t k) const { return identity ? srcFirst + static_cast<std::int64_t>(k) : src[k]; }
};

// Maps a destination extent onto a source extent (negative extents mirror), keeping only the
// destination positions inside [0, dstLimit) whose source lies inside [0, srcLimit). False when
// no position remains.
bool MapAxis(std::int64_t dstPos, std::int64_t dstExt, std::int64_t srcPos, std::int64_t srcExt, std::int64_t dstLimit,
             std::int64_t srcLimit, AxisMap* out);

struct BlitColors {
    COLORREF srcBk = RGB(255, 255, 255);  // the source DC's background colour
    COLORREF dstText = RGB(0, 0, 0);      // the destination DC's text colour
    COLORREF dstBk = RGB(255, 255, 255);  // the destination DC's background colour
    COLORREF pattern = RGB(255, 255, 255); // the destination DC's brush
};

// Applies the raster operation over the mapped rectangle. `src` is null when there is none.
void RopStretch(const PixelSurface& dst, const AxisMap& cols, const AxisMap& rows, const PixelSurface* src,
                std::uint8_t rop3, const BlitColors& colors);

// For a blit within one image: copies the rows `rows` reads and renumbers them into the copy.
PixelSurface StageRows(const PixelSurface& src, AxisMap* rows, std::vector<std::uint8_t>* storage);

// The part of a map whose destination positions lie in [lo, hi); false when none does.
bool RestrictAxis(const AxisMap& in, std::int64_t lo, std::int64_t hi, AxisMap* out);

// Calls f(cols, rows) for the part of a mapped rectangle inside each clip box, so that a blit
// writes only where the DC may draw. One box holding the whole rectangle (the common case) costs
// no copy of the maps.
template <class F> void ForEachClipBox(const std::vector<RECT>& boxes, const AxisMap& cols, const AxisMap& rows, F f)
{
    if (boxes.size() == 1 && boxes[0].left <= cols.lo && cols.hi <= boxes[0].right && boxes[0].top <= rows.lo &&
        rows.hi <= boxes[0].bottom) {
        f(cols, rows);
        return;
    }
    AxisMap c, r;
    for (const RECT& b : boxes)
        if (RestrictAxis(cols, b.left, b.right, &c) && RestrictAxis(rows, b.top, b.bottom, &r))
            f(c, r);
}

// Under the lock: the same over the boxes a DC may draw in. A memory DC without a clip region
// (every sprite blit between bitmaps) draws on its whole surface, which the maps already fit:
// no box list is made.
// `d` is the DC's record, when the caller has looked it up already.
template <class F>
void ForEachDrawableBox(Registry& reg, HDC dc, const PixelSurface& dst, const AxisMap& cols, const AxisMap& rows, F f,
                        const DCObject* d = nullptr)
{
    if (!d)
        d = reg.DC(dc);
    if (d && d->kind == DCKind::Memory && !d->draw.clipped) {
        f(cols, rows);
        return;
    }
    std::vector<RECT> boxes;
    DrawableBoxesLocked(reg, dc, dst, &boxes);
    ForEachClipBox(boxes, cols, rows, f);
}

} // namespace gdi
} // namespace moxplat
