// Logical palettes: their entries, and the palette a DC holds. The screen here is a 32-bit
// device without a hardware palette, so a palette changes no colour that is drawn.
#include <algorithm>
#include <cstring>

#include "paint.h"

using namespace moxplat;

namespace {

GdiObject* PaletteLocked(Registry& reg, HGDIOBJ h)
{
    GdiObject* o = reg.Object(h);
    return o && o->type == OBJ_PAL ? o : nullptr;
}

} // namespace

namespace moxplat {

// Windows: PALETTEINDEX(i) past the palette's end reads entry 0 (gdi32 tests/bitmap.c
// test_mono_bitmap).
COLORREF PaletteColorLocked(Registry& reg, HDC hdc, COLORREF color)
{
    if ((color >> 24) != 0x01)
        return color;
    EnsureStockObjectsLocked(reg);
    const DCObject* d = reg.DC(hdc);
    const GdiObject* o = d ? PaletteLocked(reg, d->draw.palette ? d->draw.palette : reg.stockObjects[DEFAULT_PALETTE]) : nullptr;
    if (!o || o->paletteEntries.empty())
        return color & 0xffffff;
    const std::size_t i = color & 0xffff;
    const PALETTEENTRY& e = o->paletteEntries[i < o->paletteEntries.size() ? i : 0];
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

} // namespace moxplat

extern "C" {

// The entries are copied, flags included (gdi32 tests/palette.c test_palette_entries).
HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal)
{
    if (!plpal)
        return nullptr;
    GdiObject o;
    o.type = OBJ_PAL;
    o.paletteEntries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const std::uintptr_t key = reg.NewHandle();
    reg.objects.emplace(key, std::move(o));
    return HandleOf<HPALETTE>(key);
}

// Entries from iStart on, as many as fit in the palette; without a buffer, the palette's size
// (MSDN GetPaletteEntries).
UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    EnsureStockObjectsLocked(reg);
    const GdiObject* o = PaletteLocked(reg, hpal);
    if (!o)
        return 0;
    const auto size = static_cast<UINT>(o->paletteEntries.size());
    if (!pPalEntries)
        return size;
    if (iStart >= size)
        return 0;
    const UINT n = std::min(cEntries, size - iStart);
    std::copy_n(o->paletteEntries.begin() + iStart, n, pPalEntries);
    return n;
}

// Windows: the stock palette cannot be changed (gdi32 tests/palette.c test_palette_entries).
UINT WINAPI SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    GdiObject* o = PaletteLocked(reg, hpal);
    if (!o || o->stock || !pPalEntries)
        return 0;
    const auto size = static_cast<UINT>(o->paletteEntries.size());
    if (iStart >= size)
        return 0;
    const UINT n = std::min(cEntries, size - iStart);
    std::copy_n(pPalEntries, n, o->paletteEntries.begin() + iStart);
    return n;
}

// New entries are black (MSDN ResizePalette: "the additional entries are set to black").
BOOL WINAPI ResizePalette(HPALETTE hpal, UINT n)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    GdiObject* o = PaletteLocked(reg, hpal);
    if (!o || o->stock || n == 0 || n > 1024)
        return FALSE;
    o->paletteEntries.resize(n, PALETTEENTRY{0, 0, 0, 0});
    return TRUE;
}

// The entry nearest the colour (squared distance, first of equals); CLR_INVALID for a handle
// that is not a palette (MSDN GetNearestPaletteIndex).
UINT WINAPI GetNearestPaletteIndex(HPALETTE h, COLORREF color)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    EnsureStockObjectsLocked(reg);
    const GdiObject* o = PaletteLocked(reg, h);
    if (!o)
        return CLR_INVALID;
    UINT best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < o->paletteEntries.size(); ++i) {
        const PALETTEENTRY& e = o->paletteEntries[i];
        const long dr = long(e.peRed) - GetRValue(color), dg = long(e.peGreen) - GetGValue(color),
                   db = long(e.peBlue) - GetBValue(color);
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<UINT>(i);
        }
    }
    return best;
}

// The previously selected palette comes back, DEFAULT_PALETTE at first; null for a bad DC or
// palette (MSDN SelectPalette).
HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd)
{
    (void)bForceBkgd; // foreground and background realisation differ only on palette devices
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    EnsureStockObjectsLocked(reg);
    DCObject* d = reg.DC(hdc);
    if (!d || !PaletteLocked(reg, hPal))
        return nullptr;
    HGDIOBJ previous = d->draw.palette ? d->draw.palette : reg.stockObjects[DEFAULT_PALETTE];
    d->draw.palette = hPal;
    return static_cast<HPALETTE>(previous);
}

} // extern "C"
