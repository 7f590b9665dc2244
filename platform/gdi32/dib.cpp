// DIB sections, memory device contexts and object selection.
#include <cstring>
#include <limits>

#include "gdi_registry.h"

using namespace moxplat;

namespace {

// A DIB section is one allocation the byte count of which must fit an int.
constexpr std::int64_t kMaxImageBytes = std::numeric_limits<std::int32_t>::max();

bool Supported24BitHeader(const BITMAPINFOHEADER& h)
{
    return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biWidth > 0 && h.biHeight != 0 &&
           h.biHeight != std::numeric_limits<LONG>::min() && h.biPlanes == 1 && h.biBitCount == 24 &&
           h.biCompression == BI_RGB;
}

void FillBitmap(const BitmapObject& b, BITMAP* bm)
{
    *bm = BITMAP{};
    bm->bmType = 0;
    bm->bmWidth = b.width;
    bm->bmHeight = b.height;
    bm->bmPlanes = 1;
    if (b.stock) {
        // Monochrome, rows padded to 16 bits, pixels not reachable.
        bm->bmWidthBytes = 2;
        bm->bmBitsPixel = 1;
        bm->bmBits = nullptr;
    } else {
        bm->bmWidthBytes = static_cast<LONG>(b.rowBytes);
        bm->bmBitsPixel = 24;
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
    BITMAPINFOHEADER header;
    std::memcpy(&header, &pbmi->bmiHeader, sizeof header);
    if (!Supported24BitHeader(header))
        return nullptr;
    const std::int64_t height = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
    const std::int64_t stride = Stride24(header.biWidth);
    if (stride * height > kMaxImageBytes)
        return nullptr;

    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    // The DC is not consulted: it would only lend its palette to DIB_PAL_COLORS colour tables
    // (Microsoft's CreateDIBSection documentation), and 24-bit sections have none.
    static_cast<void>(hdc);
    // calloc: zero-filled, suitably aligned, and cheap for large sections.
    PixelBuffer bits(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(stride * height), 1)));
    if (!bits)
        return nullptr;
    const std::uintptr_t key = reg.NewHandle();
    BitmapObject& b = reg.bitmaps[key];
    b.width = header.biWidth;
    b.height = static_cast<int>(height);
    b.topDown = header.biHeight < 0;
    b.rowBytes = stride;
    b.bits = std::move(bits);
    b.header = header;
    b.header.biSize = sizeof(BITMAPINFOHEADER);
    // Windows describes a top-down section with a positive height too; only the creator's header
    // carries the orientation.
    b.header.biHeight = static_cast<LONG>(height);
    b.header.biSizeImage = static_cast<DWORD>(stride * height);
    if (ppvBits)
        *ppvBits = b.bits.get();
    return HandleOf<HBITMAP>(key);
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
    // Window and screen DCs are given back with ReleaseDC, never deleted.
    if (!d || d->kind != DCKind::Memory)
        return FALSE;
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
    if (!d || !b || d->kind != DCKind::Memory)
        return nullptr;
    if (h == d->bitmap)
        return h;
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
    DIBSECTION ds{};
    FillBitmap(*b, &ds.dsBm);
    ds.dsBmih = b->header;
    std::memcpy(pv, &ds, sizeof ds);
    return static_cast<int>(sizeof(DIBSECTION));
}

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
