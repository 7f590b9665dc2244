// DIB sections, memory device contexts and object selection.
#include <cstring>
#include <vector>
#include <limits>

#include "bitmap_store.h"
#include "gdi_registry.h"
#include "pixels.h"

using namespace moxplat;

namespace {


void FillBitmap(const BitmapObject& b, BITMAP* bm)
{
    *bm = BITMAP{};
    bm->bmType = 0;
    bm->bmWidth = b.width;
    bm->bmHeight = b.height;
    bm->bmPlanes = 1;
    bm->bmBitsPixel = static_cast<WORD>(b.bitsPerPixel);
    // Device-dependent bitmaps give rows 16-bit aligned and no address (gdi32 tests/bitmap.c
    // test_bitmap_info, test_bmBits); DIB sections their own 32-bit aligned rows.
    if (b.stock || !b.dibSection) {
        bm->bmWidthBytes = static_cast<LONG>(gdi::DdbStride(b.width, b.bitsPerPixel));
        bm->bmBits = nullptr;
    } else {
        bm->bmWidthBytes = static_cast<LONG>(b.rowBytes);
        bm->bmBits = b.bits.get();
    }
}

} // namespace

extern "C" {

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, VOID** ppvBits, HANDLE hSection,
                                DWORD offset)
{
    if (ppvBits)
        *ppvBits = nullptr;
    // File-mapping sections are not supported here; the bits are always owned by the section.
    if (!pbmi || hSection || offset != 0 || usage > 1)
        return nullptr;
    gdi::DibFormat f;
    std::vector<std::uint8_t> withColors;
    if (usage == DIB_PAL_COLORS && pbmi->bmiHeader.biBitCount <= 8) {
        // The table holds indices into the DC's logical palette (Microsoft's CreateDIBSection
        // documentation); indices past the palette wrap round it (gdi32 tests/palette.c
        // test_DIB_PAL_COLORS).
        const BITMAPINFOHEADER& h = pbmi->bmiHeader;
        if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 4096 || h.biBitCount == 0)
            return nullptr;
        const std::size_t n = h.biClrUsed && h.biClrUsed < (1u << h.biBitCount) ? h.biClrUsed : (1u << h.biBitCount);
        std::vector<PALETTEENTRY> palette;
        {
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            EnsureStockObjectsLocked(reg);
            const DCObject* d = reg.DC(hdc);
            if (!d)
                return nullptr;
            const GdiObject* p = reg.Object(d->draw.palette ? d->draw.palette : reg.stockObjects[DEFAULT_PALETTE]);
            if (!p || p->type != OBJ_PAL || p->paletteEntries.empty())
                return nullptr;
            palette = p->paletteEntries;
        }
        withColors.resize(h.biSize + n * sizeof(RGBQUAD));
        std::memcpy(withColors.data(), pbmi, h.biSize);
        const auto* indices = reinterpret_cast<const std::uint8_t*>(pbmi) + h.biSize;
        for (std::size_t i = 0; i < n; ++i) {
            WORD index;
            std::memcpy(&index, indices + i * sizeof(WORD), sizeof index);
            const PALETTEENTRY& e = palette[index % palette.size()];
            const RGBQUAD q{e.peBlue, e.peGreen, e.peRed, 0};
            std::memcpy(withColors.data() + h.biSize + i * sizeof(RGBQUAD), &q, sizeof q);
        }
        pbmi = reinterpret_cast<const BITMAPINFO*>(withColors.data());
        usage = DIB_RGB_COLORS;
    }
    if (!gdi::ReadDibFormat(pbmi, usage, &f))
        return nullptr;
    gdi::NewBitmapDesc desc;
    desc.width = f.width;
    desc.height = f.height;
    desc.bitsPerPixel = f.bitsPerPixel;
    desc.topDown = f.topDown;
    desc.compression = f.compression;
    desc.colors = std::move(f.colors);
    for (int i = 0; i < 3; ++i)
        desc.masks[i] = f.masks[i];
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    std::uint8_t* bits = nullptr;
    HBITMAP h = gdi::NewBitmapLocked(reg, desc, &bits);
    if (h && ppvBits)
        *ppvBits = bits;
    return h;
}

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (hdc && !reg.DC(hdc))
        return nullptr;
    const std::uintptr_t key = reg.NewHandle();
    DCObject& d = reg.dcs[key];
    d.kind = DCKind::Memory;
    d.bitmap = reg.stockBitmap;
    return HandleOf<HDC>(key);
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    // A window's cache DC may be deleted instead of released; a CS_OWNDC or CS_CLASSDC DC lives
    // on all the same. The screen's DC is shared here and stays.
    if (!d || d->kind == DCKind::Screen)
        return FALSE;
    if (d->kind == DCKind::Window && d->kept)
        return TRUE;
    if (BitmapObject* b = reg.Bitmap(d->bitmap))
        if (b->selectedInto == hdc)
            b->selectedInto = nullptr;
    ReleaseDrawStateLocked(reg, *d);
    reg.dcs.erase(Key(hdc));
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (reg.Object(h))
        return SelectDrawObjectLocked(reg, hdc, h);
    DCObject* d = reg.DC(hdc);
    BitmapObject* b = reg.Bitmap(h);
    if (!d) {
        SetLastError(ERROR_INVALID_HANDLE); // gdi32 tests/gdiobj.c test_gdi_objects
        return nullptr;
    }
    if (!b || d->kind != DCKind::Memory)
        return nullptr;
    if (h == d->bitmap)
        return h;
    // A device-dependent bitmap goes only into a DC of its own depth, the screen's 32 bits, or
    // is monochrome (gdi32 tests/bitmap.c test_select_object).
    if (!b->stock && !b->dibSection && b->bitsPerPixel != 1 && b->bitsPerPixel != 32)
        return nullptr;
    // A bitmap can be selected into one DC at a time; the stock bitmap into any number.
    if (!b->stock && b->selectedInto)
        return nullptr;
    HGDIOBJ previous = d->bitmap;
    if (BitmapObject* old = reg.Bitmap(previous))
        if (old->selectedInto == hdc)
            old->selectedInto = nullptr;
    if (!b->stock)
        b->selectedInto = hdc;
    d->bitmap = static_cast<HBITMAP>(h);
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (reg.Object(ho))
        return DeleteDrawObjectLocked(reg, ho);
    BitmapObject* b = reg.Bitmap(ho);
    if (!b)
        return FALSE;
    if (b->stock)
        return TRUE; // deleting a stock object is allowed and does nothing
    if (b->selectedInto)
        return FALSE;
    reg.bitmaps.erase(Key(ho));
    return TRUE;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (reg.Object(h))
        return GetDrawObjectLocked(reg, h, c, pv, false);
    const BitmapObject* b = reg.Bitmap(h);
    if (!b)
        return 0;
    if (!pv)
        return static_cast<int>(sizeof(BITMAP));
    if (c < static_cast<int>(sizeof(BITMAP)))
        return 0;
    if (b->stock || c < static_cast<int>(sizeof(DIBSECTION))) {
        BITMAP bm;
        FillBitmap(*b, &bm);
        std::memcpy(pv, &bm, sizeof bm);
        return static_cast<int>(sizeof(BITMAP));
    }
    if (!b->dibSection) {
        // A device-dependent bitmap has only a BITMAP to give.
        BITMAP bm;
        FillBitmap(*b, &bm);
        std::memcpy(pv, &bm, sizeof bm);
        return static_cast<int>(sizeof(BITMAP));
    }
    DIBSECTION ds{};
    FillBitmap(*b, &ds.dsBm);
    ds.dsBmih = b->header;
    if (b->header.biCompression == BI_BITFIELDS)
        for (int i = 0; i < 3; ++i)
            ds.dsBitfields[i] = b->masks[i];
    std::memcpy(pv, &ds, sizeof ds);
    return static_cast<int>(sizeof(DIBSECTION));
}

// Bitmaps hold no text: both forms answer alike.
int WINAPI SetStretchBltMode(HDC hdc, int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d)
        return 0;
    const int previous = d->stretchMode;
    d->stretchMode = mode;
    return previous;
}

int WINAPI GetStretchBltMode(HDC hdc)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hdc);
    return d ? d->stretchMode : 0;
}

// Drawing here is never batched, so there is nothing to flush.
BOOL WINAPI GdiFlush(void)
{
    return TRUE;
}

} // extern "C"
