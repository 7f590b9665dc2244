// Resolving brushes into paint and filling boxes of pixels of every DIB depth.
#include "paint.h"

#include <algorithm>
#include <cstring>

#include "pixels.h"

namespace moxplat {

namespace {

template <int Bytes> void StorePixel(std::uint8_t* p, std::uint32_t v)
{
    if constexpr (Bytes == 4) {
        std::memcpy(p, &v, 4);
    } else {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    }
}
template <int Bytes> std::uint32_t LoadPixel(const std::uint8_t* p)
{
    if constexpr (Bytes == 4) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    }
}

// Positive remainder, for tiles anchored anywhere.
inline int Wrap(std::int64_t v, int n)
{
    const std::int64_t r = v % n;
    return static_cast<int>(r < 0 ? r + n : r);
}

template <int Bytes> void SpanOf(const PixelSurface& s, int y, int x0, int x1, const Paint& paint, int rop2)
{
    std::uint8_t* p = s.bits + static_cast<std::ptrdiff_t>(y) * s.stride + static_cast<std::ptrdiff_t>(x0) * Bytes;
    const int n = x1 - x0;
    if (paint.kind == Paint::Solid) {
        // d' = (d & keep) ^ flip for the one pen pixel.
        const std::uint32_t flip = Rop2(rop2, paint.solid, 0);
        const std::uint32_t keep = flip ^ Rop2(rop2, paint.solid, ~0u);
        if (keep == 0 && Bytes == 4) {
            if (flip == 0) {
                std::memset(p, 0, static_cast<std::size_t>(n) * 4);
                return;
            }
            auto* q = reinterpret_cast<std::uint32_t*>(p); // DIB rows are DWORD aligned
            std::fill(q, q + n, flip);
            return;
        }
        if (keep == 0) {
            const std::uint8_t b0 = flip & 0xff, b1 = (flip >> 8) & 0xff, b2 = (flip >> 16) & 0xff;
            if (b0 == b1 && b1 == b2) {
                std::memset(p, b0, static_cast<std::size_t>(n) * 3);
                return;
            }
            for (int i = 0; i < n; ++i, p += 3) {
                p[0] = b0;
                p[1] = b1;
                p[2] = b2;
            }
            return;
        }
        if (keep == ~0u && flip == 0)
            return; // R2_NOP
        for (int i = 0; i < n; ++i, p += Bytes)
            StorePixel<Bytes>(p, (LoadPixel<Bytes>(p) & keep) ^ flip);
        return;
    }
    if (paint.kind != Paint::Tile)
        return;
    const int ty = Wrap(std::int64_t{y} - paint.originY, paint.height);
    const std::uint32_t* row = &paint.tile[static_cast<std::size_t>(ty) * paint.width];
    const std::uint8_t* opaque = &paint.opaque[static_cast<std::size_t>(ty) * paint.width];
    int tx = Wrap(std::int64_t{x0} - paint.originX, paint.width);
    for (int i = 0; i < n; ++i, p += Bytes) {
        if (opaque[tx])
            StorePixel<Bytes>(p, rop2 == R2_COPYPEN ? row[tx] : Rop2(rop2, row[tx], LoadPixel<Bytes>(p)));
        if (++tx == paint.width)
            tx = 0;
    }
}

// Depths other than 24 and 32 bits: the paint's colour becomes the nearest value the surface
// stores (a colour-table index, or 16-bit fields) and the ROP2 acts on those bits, as GDI's
// raster operations act on what a pixel holds (gdi32 tests/bitmap.c test_mono_dibsection: a
// black pen on a 1-bit section whose entry 1 is black sets bits).
void SpanOfRaw(const PixelSurface& s, int y, int x0, int x1, const Paint& paint, int rop2)
{
    const auto n = static_cast<std::size_t>(x1 - x0);
    thread_local std::vector<std::uint32_t> row;
    row.resize(n);
    gdi::LoadRow(s, y, x0, static_cast<std::int64_t>(n), row.data());
    const std::uint32_t mask = gdi::RawMask(s.bitsPerPixel);
    auto raw = [&](std::uint32_t pixel) {
        return gdi::RawFromColor(s, RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff));
    };
    if (paint.kind == Paint::Solid) {
        const std::uint32_t r = raw(paint.solid);
        for (std::uint32_t& d : row)
            d = Rop2(rop2, r, d) & mask;
    } else if (paint.kind == Paint::Tile) {
        const int ty = Wrap(std::int64_t{y} - paint.originY, paint.height);
        const std::uint32_t* tile = &paint.tile[static_cast<std::size_t>(ty) * paint.width];
        const std::uint8_t* opaque = &paint.opaque[static_cast<std::size_t>(ty) * paint.width];
        int tx = Wrap(std::int64_t{x0} - paint.originX, paint.width);
        for (std::uint32_t& d : row) {
            if (opaque[tx])
                d = Rop2(rop2, raw(tile[tx]), d) & mask;
            if (++tx == paint.width)
                tx = 0;
        }
    } else {
        return;
    }
    gdi::StoreRow(s, y, x0, static_cast<std::int64_t>(n), row.data());
}

} // namespace

void FillSpan(const PixelSurface& s, int y, int x0, int x1, const Paint& paint, int rop2)
{
    if (x1 <= x0 || paint.kind == Paint::None)
        return;
    if (s.bitsPerPixel == 32)
        SpanOf<4>(s, y, x0, x1, paint, rop2);
    else if (s.bitsPerPixel == 24)
        SpanOf<3>(s, y, x0, x1, paint, rop2);
    else
        SpanOfRaw(s, y, x0, x1, paint, rop2);
}

void FillDeviceRect(const Target& t, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                    const Paint& paint, int rop2)
{
    if (paint.kind == Paint::None)
        return;
    for (const RECT& b : t.boxes) {
        const std::int64_t l = std::max<std::int64_t>(x0, b.left), r = std::min<std::int64_t>(x1, b.right);
        const std::int64_t top = std::max<std::int64_t>(y0, b.top), bottom = std::min<std::int64_t>(y1, b.bottom);
        if (l >= r || top >= bottom)
            continue;
        for (std::int64_t y = top; y < bottom; ++y)
            FillSpan(t.surface, static_cast<int>(y), static_cast<int>(l), static_cast<int>(r), paint, rop2);
    }
}

bool TargetLocked(Registry& reg, HDC dc, Target* out)
{
    DCObject* d = reg.DC(dc);
    if (!d || !SurfaceLocked(reg, dc, &out->surface))
        return false;
    if (!gdi::SupportedDepth(out->surface.bitsPerPixel))
        return false;
    const DrawState& st = d->draw;
    out->offsetX = st.viewportOrg.x - st.windowOrg.x;
    out->offsetY = st.viewportOrg.y - st.windowOrg.y;
    DrawableBoxesLocked(reg, dc, out->surface, &out->boxes);
    return true;
}

GdiObject* BrushObjectLocked(Registry& reg, HGDIOBJ h)
{
    const std::uintptr_t key = Key(h);
    // (HBRUSH)(COLOR_x + 1): the system colour's brush, wherever a brush is taken.
    if (key >= 1 && key <= COLOR_MENUBAR + 1) {
        EnsureStockObjectsLocked(reg);
        h = reg.sysColorBrushes[key - 1];
    }
    GdiObject* o = reg.Object(h);
    return o && o->type == OBJ_BRUSH ? o : nullptr;
}

BOOL PatternBlitLocked(Registry& reg, HDC hdc, int x, int y, int w, int h, std::uint8_t rop3)
{
    const DCObject* d = reg.DC(hdc);
    const HBRUSH brush = SelectedBrushLocked(reg, hdc);
    Target t;
    Paint paint;
    if (!d || !brush || !TargetLocked(reg, hdc, &t) || !BrushPaintLocked(reg, d->draw, brush, &paint))
        return FALSE;
    // A monochrome pattern on a monochrome bitmap keeps its bits whatever the DC's colours
    // (gdi32 tests/bitmap.c test_mono_bitmap: 0x5555 for every text and background colour).
    const GdiObject* o = BrushObjectLocked(reg, brush);
    if (t.surface.monochromeDDB && o && o->monoPattern && paint.kind == Paint::Tile)
        for (std::size_t i = 0; i < paint.tile.size(); ++i)
            paint.tile[i] = o->pattern[i] ? 0u : 0xffffffu;
    // Without a source the ternary operation is a binary one of pattern and destination.
    const int rop2 = 1 + ((rop3 & 1) | (((rop3 >> 1) & 1) << 1) | (((rop3 >> 4) & 1) << 2) | (((rop3 >> 5) & 1) << 3));
    std::int64_t x0 = std::int64_t{x} + t.offsetX, y0 = std::int64_t{y} + t.offsetY;
    std::int64_t x1 = x0 + w, y1 = y0 + h;
    if (x1 < x0)
        std::swap(x0, x1);
    if (y1 < y0)
        std::swap(y0, y1);
    FillDeviceRect(t, x0, y0, x1, y1, paint, rop2);
    MarkDrawnLocked(reg, hdc);
    return TRUE;
}

bool BrushPaintLocked(Registry& reg, const DrawState& state, HBRUSH brush, Paint* out)
{
    const GdiObject* o = BrushObjectLocked(reg, brush);
    if (!o)
        return false;
    *out = Paint{};
    out->originX = state.brushOrg.x;
    out->originY = state.brushOrg.y;
    switch (o->brushStyle) {
    case BS_NULL:
        out->kind = Paint::None;
        return true;
    case BS_SOLID:
        out->kind = Paint::Solid;
        out->solid = PixelOf(o->dcColored ? state.dcBrushColor : o->color);
        return true;
    case BS_HATCHED:
    case BS_PATTERN:
    case BS_DIBPATTERN: {
        out->kind = Paint::Tile;
        out->width = o->patternWidth;
        out->height = o->patternHeight;
        const std::size_t n = o->pattern.size();
        out->tile.resize(n);
        out->opaque.assign(n, 1);
        if (o->brushStyle == BS_HATCHED || o->monoPattern) {
            // Set bits take the hatch colour (or the text colour for a monochrome pattern); the
            // others the background colour, or nothing in TRANSPARENT mode.
            const std::uint32_t fore = PixelOf(o->brushStyle == BS_HATCHED ? o->color : state.textColor);
            const std::uint32_t back = PixelOf(state.bkColor);
            const bool transparent = state.bkMode == TRANSPARENT && o->brushStyle == BS_HATCHED;
            for (std::size_t i = 0; i < n; ++i) {
                const bool set = o->pattern[i] != 0;
                out->tile[i] = set ? fore : back;
                out->opaque[i] = set || !transparent;
            }
        } else {
            for (std::size_t i = 0; i < n; ++i)
                out->tile[i] = PixelOf(o->pattern[i]);
        }
        return out->width > 0 && out->height > 0;
    }
    default:
        return false;
    }
}

} // namespace moxplat
