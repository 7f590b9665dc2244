// Bitmaps of every depth: device-dependent bitmaps (CreateBitmap, CreateCompatibleBitmap), their
// bits, and conversions to and from packed DIBs (GetDIBits, SetDIBits, SetDIBitsToDevice).
#include <algorithm>
#include <cstring>
#include <limits>

#include "bitmap_store.h"
#include "gdi_registry.h"
#include "pixels.h"
#include "stretch.h"

using namespace moxplat;

namespace moxplat {
namespace gdi {

std::vector<RGBQUAD> MonochromeTable()
{
    return {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
}

// The 16 colours of the default palette, in the order 4-bit device bitmaps use them.
std::vector<RGBQUAD> SixteenColorTable()
{
    static const BYTE c[16][3] = {{0, 0, 0},       {0x80, 0, 0},    {0, 0x80, 0},    {0x80, 0x80, 0},
                                  {0, 0, 0x80},    {0x80, 0, 0x80}, {0, 0x80, 0x80}, {0xc0, 0xc0, 0xc0},
                                  {0x80, 0x80, 0x80}, {0xff, 0, 0},  {0, 0xff, 0},    {0xff, 0xff, 0},
                                  {0, 0, 0xff},    {0xff, 0, 0xff}, {0, 0xff, 0xff}, {0xff, 0xff, 0xff}};
    std::vector<RGBQUAD> t(16);
    for (int i = 0; i < 16; ++i)
        t[i] = RGBQUAD{c[i][2], c[i][1], c[i][0], 0};
    return t;
}

// 256 colours for 8-bit device bitmaps: the 16 above, then a 6x6x6 cube and a grey ramp.
std::vector<RGBQUAD> EightBitTable()
{
    std::vector<RGBQUAD> t = SixteenColorTable();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                t.push_back(RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0});
    while (t.size() < 256) {
        const BYTE v = BYTE((t.size() - 232) * 255 / 23);
        t.push_back(RGBQUAD{v, v, v, 0});
    }
    return t;
}

HBITMAP NewBitmapLocked(Registry& reg, const NewBitmapDesc& desc, std::uint8_t** bitsOut)
{
    if (bitsOut)
        *bitsOut = nullptr;
    if (desc.width <= 0 || desc.height <= 0 || !SupportedDepth(desc.bitsPerPixel))
        return nullptr;
    const std::int64_t stride =
        desc.dibSection ? DibStride(desc.width, desc.bitsPerPixel) : DdbStride(desc.width, desc.bitsPerPixel);
    const std::int64_t bytes = stride * desc.height;
    if (bytes > std::numeric_limits<std::int32_t>::max())
        return nullptr;
    // calloc: zero-filled, suitably aligned, and cheap for large bitmaps. A section's bits are
    // whole 4 KB pages, as Windows commits them: programs written there touch the rest of the
    // last page unharmed (gdi32 tests/bitmap.c test_SetDIBits clears 1 KB of a 256-byte section).
    const std::int64_t allocated = desc.dibSection ? (bytes + 4095) & ~std::int64_t{4095} : bytes;
    PixelBuffer bits(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(allocated), 1)));
    if (!bits)
        return nullptr;
    const std::uintptr_t key = reg.NewHandle();
    BitmapObject& b = reg.bitmaps[key];
    b.width = desc.width;
    b.height = desc.height;
    b.topDown = desc.topDown;
    b.rowBytes = stride;
    b.bits = std::move(bits);
    b.bitsPerPixel = desc.bitsPerPixel;
    b.dibSection = desc.dibSection;
    b.colors = desc.colors;
    for (int i = 0; i < 3; ++i)
        b.masks[i] = desc.masks[i];
    BITMAPINFOHEADER& h = b.header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = desc.width;
    // Windows describes a top-down section with a positive height too.
    h.biHeight = desc.height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(desc.bitsPerPixel);
    h.biCompression = desc.compression;
    h.biSizeImage = static_cast<DWORD>(bytes);
    h.biClrUsed = desc.bitsPerPixel <= 8 ? static_cast<DWORD>(desc.colors.size()) : 0;
    if (bitsOut)
        *bitsOut = b.bits.get();
    return HandleOf<HBITMAP>(key);
}

PixelSurface SurfaceOfBitmap(const BitmapObject& b)
{
    PixelSurface s;
    s.bits = b.bits.get();
    s.width = b.width;
    s.height = b.height;
    s.stride = static_cast<std::ptrdiff_t>(b.rowBytes);
    if (!b.topDown) {
        s.bits += (b.height - 1) * b.rowBytes;
        s.stride = -s.stride;
    }
    s.bitsPerPixel = b.bitsPerPixel;
    s.colors = b.colors.empty() ? nullptr : b.colors.data();
    s.colorCount = static_cast<int>(b.colors.size());
    for (int i = 0; i < 3; ++i)
        s.masks[i] = b.masks[i];
    s.monochromeDDB = !b.dibSection && b.bitsPerPixel == 1;
    return s;
}

HBITMAP NewDeviceBitmapLocked(Registry& reg, int width, int height, int bitsPerPixel)
{
    NewBitmapDesc d;
    d.width = width;
    d.height = height;
    d.bitsPerPixel = bitsPerPixel;
    d.dibSection = false;
    d.topDown = true;
    if (bitsPerPixel == 1)
        d.colors = MonochromeTable();
    else if (bitsPerPixel == 4)
        d.colors = SixteenColorTable();
    else if (bitsPerPixel == 8)
        d.colors = EightBitTable();
    else if (bitsPerPixel == 16) {
        d.masks[0] = 0x7c00u;
        d.masks[1] = 0x03e0u;
        d.masks[2] = 0x001fu;
    }
    return NewBitmapLocked(reg, d, nullptr);
}

} // namespace gdi
} // namespace moxplat

namespace {

// Depths a device-dependent bitmap can have, as CreateBitmap rounds them up (gdi32 tests/bitmap.c
// test_CreateBitmap: 2..4 -> 4, 5..8 -> 8, 9..16 -> 16, 17..24 -> 24, 25..32 -> 32).
int DeviceDepth(UINT bpp)
{
    if (bpp == 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    if (bpp <= 16)
        return 16;
    if (bpp <= 24)
        return 24;
    return 32;
}

HBITMAP CreateDeviceBitmap(int width, int height, UINT planes, UINT bpp, const void* bits)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    // An empty bitmap is the stock 1x1 monochrome one (gdi32 tests/bitmap.c test_CreateBitmap).
    if (width == 0 || height == 0)
        return reg.stockBitmap;
    // Windows: widths past 2^27 - 1 and depths past 32 fail with ERROR_INVALID_PARAMETER
    // (gdi32 tests/bitmap.c test_bitmap, test_CreateBitmap).
    if (width < 0 || height < 0 || width > 0x7ffffff || planes != 1 || bpp == 0 || bpp > 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HBITMAP h = gdi::NewDeviceBitmapLocked(reg, width, height, DeviceDepth(bpp));
    BitmapObject* b = reg.Bitmap(h);
    if (b && bits)
        std::memcpy(b->bits.get(), bits, static_cast<std::size_t>(b->rowBytes * b->height));
    return h;
}

// The bitmap selected into a DC, or null.
BitmapObject* SelectedBitmapLocked(Registry& reg, HDC hdc)
{
    const DCObject* d = reg.DC(hdc);
    return d && d->kind == DCKind::Memory ? reg.Bitmap(d->bitmap) : nullptr;
}

// Buffer row k of a packed DIB's scans start .. start+count-1 is image row RowOfScan(k) counted
// from the top. Scans count from the image's bottom whatever the DIB's orientation; a top-down
// DIB holds them top row first (gdi32 tests/bitmap.c test_GetDIBits_top_down). The number of
// scans that fall inside the image comes from ScanCount.
std::int64_t ScanCount(int imageHeight, UINT start, UINT lines)
{
    return std::max<std::int64_t>(0, std::min<std::int64_t>(std::int64_t{start} + lines, imageHeight) - start);
}
std::int64_t RowOfScan(int imageHeight, bool topDown, UINT start, std::int64_t count, std::int64_t k)
{
    return topDown ? imageHeight - start - count + k : imageHeight - 1 - (start + k);
}

// A surface over `count` rows of a caller's buffer, row k at bits + k * stride.
PixelSurface BufferRows(const gdi::DibFormat& f, const void* bits, std::int64_t count)
{
    PixelSurface s = f.Over(static_cast<const std::uint8_t*>(bits)); // colours stay f's
    s.bits = static_cast<std::uint8_t*>(const_cast<void*>(bits));
    s.stride = static_cast<std::ptrdiff_t>(f.stride);
    s.height = static_cast<int>(count);
    return s;
}

} // namespace

extern "C" {

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const VOID* lpBits)
{
    return CreateDeviceBitmap(nWidth, nHeight, nPlanes, nBitCount, lpBits);
}

// bmWidthBytes is ignored: rows of the bits are 16-bit aligned, as for CreateBitmap (gdi32
// tests/bitmap.c test_CreateBitmap).
HBITMAP WINAPI CreateBitmapIndirect(const BITMAP* pbm)
{
    if (!pbm)
        return nullptr;
    return CreateDeviceBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

// Windows: a bitmap like the one selected into a memory DC (a monochrome one for a new memory
// DC, a DIB section of the same format for a DIB section), else like the screen, which is 32-bit
// (MSDN CreateCompatibleBitmap; gdi32 tests/bitmap.c test_CreateBitmap, test_dibsections).
HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hdc);
    if (!d || cx < 0 || cy < 0)
        return nullptr;
    if (cx == 0 || cy == 0)
        return reg.stockBitmap;
    const BitmapObject* selected = d->kind == DCKind::Memory ? reg.Bitmap(d->bitmap) : nullptr;
    if (selected && selected->dibSection && !selected->stock) {
        gdi::NewBitmapDesc desc;
        desc.width = cx;
        desc.height = cy;
        desc.bitsPerPixel = selected->bitsPerPixel;
        desc.colors = selected->colors;
        desc.compression = selected->header.biCompression;
        for (int i = 0; i < 3; ++i)
            desc.masks[i] = selected->masks[i];
        return gdi::NewBitmapLocked(reg, desc, nullptr);
    }
    if (selected && (selected->stock || selected->bitsPerPixel == 1))
        return gdi::NewDeviceBitmapLocked(reg, cx, cy, 1);
    return gdi::NewDeviceBitmapLocked(reg, cx, cy, 32);
}

HBITMAP WINAPI CreateDiscardableBitmap(HDC hdc, int cx, int cy)
{
    return CreateCompatibleBitmap(hdc, cx, cy);
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const BitmapObject* b = reg.Bitmap(hbit);
    if (!b)
        return 0;
    const std::int64_t rowBytes = gdi::DdbStride(b->width, b->bitsPerPixel);
    const std::int64_t total = rowBytes * b->height;
    // Without a buffer, or with a negative count, the whole bitmap is meant (gdi32 bitmap.c).
    if (!lpvBits)
        return static_cast<LONG>(total);
    const std::int64_t wanted = cb < 0 ? total : std::min<std::int64_t>(cb, total);
    if (!b->bits) { // never drawn on: all zeros
        std::memset(lpvBits, 0, static_cast<std::size_t>(wanted));
        return static_cast<LONG>(wanted);
    }
    // Rows top-down and 16-bit aligned, whatever the bitmap's own layout.
    const PixelSurface s = gdi::SurfaceOfBitmap(*b);
    std::int64_t left = wanted;
    auto* out = static_cast<std::uint8_t*>(lpvBits);
    for (int y = 0; y < b->height && left > 0; ++y) {
        const std::int64_t n = std::min(left, rowBytes);
        std::memcpy(out, s.bits + y * s.stride, static_cast<std::size_t>(std::min(n, std::abs(std::int64_t(s.stride)))));
        if (n > std::abs(std::int64_t(s.stride)))
            std::memset(out + std::abs(std::int64_t(s.stride)), 0, static_cast<std::size_t>(n - std::abs(std::int64_t(s.stride))));
        out += n;
        left -= n;
    }
    return static_cast<LONG>(wanted);
}

LONG WINAPI SetBitmapBits(HBITMAP hbm, DWORD cb, const VOID* pvBits)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const BitmapObject* b = reg.Bitmap(hbm);
    if (!b || !b->bits || !pvBits)
        return 0;
    const std::int64_t rowBytes = gdi::DdbStride(b->width, b->bitsPerPixel);
    const std::int64_t total = std::min<std::int64_t>(cb, rowBytes * b->height);
    const PixelSurface s = gdi::SurfaceOfBitmap(*b);
    const auto* in = static_cast<const std::uint8_t*>(pvBits);
    const std::int64_t rowCopy = std::min<std::int64_t>(rowBytes, std::abs(std::int64_t(s.stride)));
    for (std::int64_t y = 0; y * rowBytes < total; ++y) {
        const std::int64_t n = std::min(total - y * rowBytes, rowCopy);
        std::memcpy(s.bits + y * s.stride, in + y * rowBytes, static_cast<std::size_t>(n));
    }
    return static_cast<LONG>(total);
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage)
{
    if (!lpbmi || usage > DIB_PAL_COLORS)
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!reg.DC(hdc))
        return 0;
    const BitmapObject* b = reg.Bitmap(hbm);
    if (!b || !b->bits || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (h.biBitCount == 0) {
        // Only the description is asked for (Microsoft's GetDIBits: biBitCount 0 fills in the
        // header without a colour table). Windows answers so with a buffer too when no lines
        // are asked for, and fails when lines are (gdi32 tests/bitmap.c
        // test_GetDIBits_BI_BITFIELDS, test_dib_formats).
        if (lpvBits && cLines)
            return 0;
        h.biWidth = b->width;
        h.biHeight = b->height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(b->bitsPerPixel);
        // Windows: 16- and 32-bit bitmaps, DDBs and BI_RGB sections alike, describe themselves
        // as BI_BITFIELDS here, the masks left for the call that reads the bits (gdi32
        // tests/bitmap.c test_GetDIBits_BI_BITFIELDS).
        h.biCompression = b->bitsPerPixel == 16 || b->bitsPerPixel == 32 ? BI_BITFIELDS : BI_RGB;
        h.biSizeImage = static_cast<DWORD>(gdi::DibStride(b->width, b->bitsPerPixel) * b->height);
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        return 1;
    }
    if (h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)) {
        // Masks left at zero are filled in: the bitmap's own at its depth, else the standard
        // 8-8-8 and 5-6-5 layouts (same test).
        DWORD* masks = reinterpret_cast<DWORD*>(reinterpret_cast<std::uint8_t*>(lpbmi) + sizeof(BITMAPINFOHEADER));
        if (!masks[0] && !masks[1] && !masks[2]) {
            static const DWORD k32[3] = {0xff0000, 0x00ff00, 0x0000ff}, k16[3] = {0xf800, 0x07e0, 0x001f};
            const bool own = b->bitsPerPixel == h.biBitCount && b->header.biCompression == BI_BITFIELDS;
            const void* from = own ? static_cast<const void*>(b->masks) : h.biBitCount == 32 ? k32 : k16;
            std::memcpy(masks, from, sizeof k32);
        }
    }
    gdi::DibFormat f;
    if (!gdi::ReadDibFormat(lpbmi, usage, &f, false))
        return 0;
    const PixelSurface src = gdi::SurfaceOfBitmap(*b);
    // The colour table of the answer: the bitmap's own at its depth, else the default ones.
    if (f.bitsPerPixel <= 8) {
        if (usage != DIB_RGB_COLORS)
            return 0;
        if (f.bitsPerPixel == b->bitsPerPixel && !b->colors.empty())
            f.colors = b->colors;
        else if (f.bitsPerPixel == 1)
            f.colors = gdi::MonochromeTable();
        else if (f.bitsPerPixel == 4)
            f.colors = gdi::SixteenColorTable();
        else
            f.colors = gdi::EightBitTable();
        f.colors.resize(std::size_t{1} << f.bitsPerPixel);
        std::memcpy(lpbmi->bmiColors, f.colors.data(), f.colors.size() * sizeof(RGBQUAD));
        h.biClrUsed = 0;
    } else if (f.compression == BI_BITFIELDS) {
        std::memcpy(reinterpret_cast<std::uint8_t*>(lpbmi) + sizeof(BITMAPINFOHEADER), f.masks, sizeof f.masks);
    }
    h.biSizeImage = static_cast<DWORD>(f.ImageBytes());
    // No lines asked for is a description, buffer or not (same tests).
    if (!lpvBits || cLines == 0)
        return static_cast<int>(b->height);
    const std::int64_t count = ScanCount(b->height, start, cLines);
    if (count <= 0)
        return 0;
    const PixelSurface out = BufferRows(f, lpvBits, count);
    const std::int64_t n = std::min<std::int64_t>(f.width, b->width);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(n));
    const bool same = gdi::SameLayout(src, out);
    for (std::int64_t k = 0; k < count; ++k) {
        gdi::LoadRow(src, RowOfScan(b->height, f.topDown, start, count, k), 0, n, row.data());
        if (!same)
            for (auto& v : row)
                v = gdi::RawFromColor(out, gdi::ColorFromRaw(src, v));
        gdi::StoreRow(out, k, 0, n, row.data());
    }
    return static_cast<int>(count);
}

int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const VOID* lpBits, const BITMAPINFO* lpbmi,
                     UINT ColorUse)
{
    static_cast<void>(hdc); // lends its palette to DIB_PAL_COLORS only, which is refused
    gdi::DibFormat f;
    if (!lpBits || !gdi::ReadDibFormat(lpbmi, ColorUse, &f))
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const BitmapObject* b = reg.Bitmap(hbm);
    if (!b || !b->bits)
        return 0;
    const PixelSurface dst = gdi::SurfaceOfBitmap(*b);
    const std::int64_t count = ScanCount(std::min(f.height, b->height), start, cLines);
    if (count <= 0)
        return 0;
    const PixelSurface src = BufferRows(f, lpBits, count);
    const std::int64_t n = std::min<std::int64_t>(f.width, b->width);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(n));
    const bool same = gdi::SameLayout(src, dst);
    for (std::int64_t k = 0; k < count; ++k) {
        gdi::LoadRow(src, k, 0, n, row.data());
        if (!same)
            for (auto& v : row)
                v = gdi::RawFromColor(dst, gdi::ColorFromRaw(src, v));
        gdi::StoreRow(dst, RowOfScan(b->height, f.topDown, start, count, k), 0, n, row.data());
    }
    return static_cast<int>(count);
}

// Source coordinates count from the DIB's bottom row; the bits hold scans StartScan ..
// StartScan + cLines - 1 (Microsoft's SetDIBitsToDevice). Answers the number of scans given.
int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan,
                             UINT cLines, const VOID* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse)
{
    gdi::DibFormat f;
    if (!lpvBits || !gdi::ReadDibFormat(lpbmi, ColorUse, &f))
        return 0;
    if (w > static_cast<DWORD>(std::numeric_limits<int>::max()) || h > static_cast<DWORD>(std::numeric_limits<int>::max()))
        return 0;
    const std::int64_t lines = std::min<std::int64_t>(cLines, f.height);
    if (lines <= 0)
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    PixelSurface dst;
    if (!SurfaceLocked(reg, hdc, &dst) || !gdi::SupportedDepth(dst.bitsPerPixel))
        return 0;
    // The band of scans given, as an image of its own.
    gdi::DibFormat band = f;
    band.height = static_cast<int>(lines);
    const PixelSurface src = band.Over(static_cast<const std::uint8_t*>(lpvBits));
    // From DIB coordinates (rows from the bottom of the whole image) to the band's top-down rows.
    const std::int64_t srcTop = f.topDown ? std::int64_t{f.height} - ySrc - std::int64_t{h} - StartScan
                                          : std::int64_t{StartScan} + lines - ySrc - std::int64_t{h};
    gdi::AxisMap cols, rows;
    if (gdi::MapAxis(xDest, w, xSrc, w, dst.width, band.width, &cols) &&
        gdi::MapAxis(yDest, h, srcTop, h, dst.height, band.height, &rows)) {
        gdi::BlitColors colors;
        if (const DCObject* d = reg.DC(hdc)) {
            colors.dstText = d->draw.textColor;
            colors.dstBk = colors.srcBk = d->draw.bkColor;
        }
        gdi::ForEachDrawableBox(reg, hdc, dst, cols, rows, [&](const gdi::AxisMap& c, const gdi::AxisMap& r) {
            gdi::RopStretch(dst, c, r, &src, 0xCC, colors);
        });
        MarkDrawnLocked(reg, hdc);
    }
    return static_cast<int>(lines);
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const BitmapObject* b = SelectedBitmapLocked(reg, hdc);
    if (!b || !b->dibSection || b->bitsPerPixel > 8 || !prgbq || iStart >= b->colors.size())
        return 0;
    const UINT n = std::min<UINT>(cEntries, static_cast<UINT>(b->colors.size()) - iStart);
    std::memcpy(prgbq, b->colors.data() + iStart, n * sizeof(RGBQUAD));
    return n;
}

UINT WINAPI SetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, const RGBQUAD* prgbq)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    BitmapObject* b = SelectedBitmapLocked(reg, hdc);
    if (!b || !b->dibSection || b->bitsPerPixel > 8 || !prgbq || iStart >= b->colors.size())
        return 0;
    const UINT n = std::min<UINT>(cEntries, static_cast<UINT>(b->colors.size()) - iStart);
    std::memcpy(b->colors.data() + iStart, prgbq, n * sizeof(RGBQUAD));
    for (UINT i = 0; i < n; ++i)
        b->colors[iStart + i].rgbReserved = 0;
    return n;
}

// CBM_INIT fills the new bitmap from the DIB; the bitmap is like the DC's (CreateCompatibleBitmap),
// or monochrome without a DC.
HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const VOID* pjBits,
                              const BITMAPINFO* pbmi, UINT iUsage)
{
    // Windows: a display refuses JPEG and PNG bits whatever else the header says (gdi32
    // tests/bitmap.c test_dib_formats).
    if (!pbmih || pbmih->biSize < sizeof(BITMAPINFOHEADER) || pbmih->biCompression == BI_JPEG ||
        pbmih->biCompression == BI_PNG)
        return nullptr;
    const LONG width = pbmih->biWidth;
    const LONG height = pbmih->biHeight == std::numeric_limits<LONG>::min() ? 0 : std::abs(pbmih->biHeight);
    if (width <= 0 || height <= 0)
        return nullptr;
    HBITMAP bm = nullptr;
    if (hdc)
        bm = CreateCompatibleBitmap(hdc, width, height);
    else
        bm = CreateBitmap(width, height, 1, 1, nullptr);
    if (!bm)
        return nullptr;
    if ((flInit & CBM_INIT) && pjBits && pbmi) {
        if (!SetDIBits(hdc, bm, 0, static_cast<UINT>(height), pjBits, pbmi, iUsage)) {
            DeleteObject(bm);
            return nullptr;
        }
    }
    return bm;
}

} // extern "C"
