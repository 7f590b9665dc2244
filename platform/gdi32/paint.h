// What the GDI drawing calls share: a DC's target (pixels, clip boxes, origin), the paint a
// brush or pen gives, and filling boxes of pixels under a binary raster operation.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi_registry.h"

namespace moxplat {

// A pixel as GDI computes it: 0x00RRGGBB. On a 32-bit surface the whole DWORD is written, so
// the fourth byte takes part in raster operations like any other.
inline std::uint32_t PixelOf(COLORREF c)
{
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}
inline COLORREF ColorOf(std::uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
}

// A brush or pen resolved against a DC: nothing, one colour, or a tile anchored at the brush
// origin in device coordinates. Tile entries with `opaque` 0 leave the pixel alone (hatches and
// monochrome patterns in TRANSPARENT background mode).
struct Paint {
    enum Kind { None, Solid, Tile } kind = None;
    std::uint32_t solid = 0;
    int width = 0;
    int height = 0;
    int originX = 0;
    int originY = 0;
    std::vector<std::uint32_t> tile;
    std::vector<std::uint8_t> opaque;
};

// The pixels a DC draws into, its clip boxes in device coordinates (each inside the surface),
// and its logical-to-device offset. Every DIB depth (1, 4, 8, 16, 24, 32 bits) is drawn on.
struct Target {
    PixelSurface surface;
    std::vector<RECT> boxes;
    int offsetX = 0; // device = logical + offset
    int offsetY = 0;
};
bool TargetLocked(Registry& reg, HDC dc, Target* out);

// The paint of a brush handle for a DC; a system colour index plus one is its colour's brush.
bool BrushPaintLocked(Registry& reg, const DrawState& state, HBRUSH brush, Paint* out);

// Fills the device rectangle [x0, x1) x [y0, y1), clipped to the target's boxes.
void FillDeviceRect(const Target& t, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                    const Paint& paint, int rop2);
// Fills one run of a row, already clipped to the surface; for rasterised shapes.
void FillSpan(const PixelSurface& s, int y, int x0, int x1, const Paint& paint, int rop2);

// The binary raster operation R2_* applied to a pen or brush pixel p and a destination d.
inline std::uint32_t Rop2(int rop2, std::uint32_t p, std::uint32_t d)
{
    const unsigned code = static_cast<unsigned>(rop2 - 1) & 15;
    std::uint32_t r = 0;
    if (code & 1)
        r |= ~p & ~d;
    if (code & 2)
        r |= ~p & d;
    if (code & 4)
        r |= p & ~d;
    if (code & 8)
        r |= p & d;
    return r;
}

GdiObject* BrushObjectLocked(Registry& reg, HGDIOBJ h);

// Under the lock: PatBlt with the DC's hatched or pattern brush, for a raster operation that
// reads no source.
BOOL PatternBlitLocked(Registry& reg, HDC hdc, int x, int y, int w, int h, std::uint8_t rop3);

// Under the lock: a PALETTEINDEX colour as the entry of the DC's palette it names (entry 0 past
// the palette's end); other colours unchanged.
COLORREF PaletteColorLocked(Registry& reg, HDC hdc, COLORREF color);

} // namespace moxplat
