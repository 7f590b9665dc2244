// Pens and the brushes beyond solid ones: hatches and patterns.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "paint.h"

using namespace moxplat;

namespace {

// The 8 x 8 hatches, one byte a row, most significant bit leftmost.
constexpr std::uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00}, // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08}, // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // HS_DIAGCROSS
};

HGDIOBJ Add(GdiObject o)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const std::uintptr_t key = reg.NewHandle();
    reg.objects.emplace(key, std::move(o));
    return HandleOf<HGDIOBJ>(key);
}

GdiObject Hatch(int hatch, COLORREF color)
{
    GdiObject o;
    o.type = OBJ_BRUSH;
    o.brushStyle = BS_HATCHED;
    o.color = color & 0x00ffffff;
    o.hatch = static_cast<ULONG_PTR>(hatch);
    o.patternWidth = o.patternHeight = 8;
    o.pattern.resize(64);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            o.pattern[static_cast<std::size_t>(y * 8 + x)] = (kHatches[hatch][y] >> (7 - x)) & 1;
    return o;
}

HPEN StockNullPen()
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    EnsureStockObjectsLocked(reg);
    return static_cast<HPEN>(reg.stockObjects[NULL_PEN]);
}

HPEN RefusePen()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

} // namespace

extern "C" {

// Windows: a negative width counts as positive, PS_NULL gives the stock NULL_PEN, and styles
// past PS_INSIDEFRAME become PS_SOLID (gdi32 tests/pen.c test_logpen).
HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color)
{
    const int style = iStyle & PS_STYLE_MASK;
    if (style == PS_NULL)
        return StockNullPen();
    GdiObject o;
    o.type = OBJ_PEN;
    o.penStyle = style > PS_INSIDEFRAME ? PS_SOLID : static_cast<UINT>(style);
    o.penWidth = cWidth < 0 ? (cWidth == INT32_MIN ? INT32_MAX : -cWidth) : cWidth;
    o.color = color & 0x00ffffff;
    return static_cast<HPEN>(Add(std::move(o)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen)
{
    if (!plpen)
        return nullptr;
    return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

// Cosmetic pens are one pixel wide and solid-coloured; geometric pens take a width, an end cap
// and a join. Pens drawn with a solid brush only: hatched and pattern pens are refused, as are
// the combinations Windows refuses with ERROR_INVALID_PARAMETER (gdi32 tests/pen.c test_logpen,
// test_ps_userstyle: cosmetic widths other than 1, PS_INSIDEFRAME on cosmetic pens, user styles
// without entries, more than 16 entries, entries all zero or negative, unknown styles). A
// negative entry count fails without an error code, as on Windows.
HPEN WINAPI ExtCreatePen(DWORD iPenStyle, DWORD cWidth, const LOGBRUSH* plbrush, DWORD cStyle, const DWORD* pstyle)
{
    if (static_cast<LONG>(cStyle) < 0)
        return nullptr;
    if (!plbrush)
        return RefusePen();
    const DWORD style = iPenStyle & PS_STYLE_MASK;
    const bool geometric = (iPenStyle & PS_TYPE_MASK) == PS_GEOMETRIC;
    if ((iPenStyle & PS_TYPE_MASK) > PS_GEOMETRIC || style > PS_ALTERNATE)
        return RefusePen();
    if ((style == PS_USERSTYLE) != (cStyle > 0) || cStyle > 16 || (cStyle && !pstyle))
        return RefusePen();
    if (cStyle) {
        bool anyLength = false;
        for (DWORD i = 0; i < cStyle; ++i) {
            if (static_cast<LONG>(pstyle[i]) < 0)
                return RefusePen();
            anyLength = anyLength || pstyle[i] != 0;
        }
        if (!anyLength)
            return RefusePen();
    }
    if (style == PS_NULL)
        return StockNullPen();
    if (!geometric && (cWidth != 1 || style == PS_INSIDEFRAME || (iPenStyle & (PS_ENDCAP_MASK | PS_JOIN_MASK))))
        return RefusePen();
    if (geometric && style == PS_ALTERNATE)
        return RefusePen();
    if (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL)
        return RefusePen();
    if ((iPenStyle & PS_ENDCAP_MASK) > PS_ENDCAP_FLAT || (iPenStyle & PS_JOIN_MASK) > PS_JOIN_MITER)
        return RefusePen();
    GdiObject o;
    o.type = OBJ_EXTPEN;
    o.penStyle = iPenStyle;
    // The width is read as a signed value: -123 gives a pen 123 wide (tests/pen.c test_logpen).
    const LONG width = static_cast<LONG>(cWidth);
    o.penWidth = width < 0 ? (width == INT32_MIN ? INT32_MAX : -width) : width;
    o.penBrushStyle = plbrush->lbStyle;
    o.color = plbrush->lbColor & 0x00ffffff;
    o.hatch = plbrush->lbHatch;
    if (cStyle)
        o.styleEntries.assign(pstyle, pstyle + cStyle);
    return static_cast<HPEN>(Add(std::move(o)));
}

// Windows: hatch indices up to HS_API_MAX are accepted, those past HS_DIAGCROSS making a solid
// brush; others fail (gdi32 tests/brush.c test_hatch_brush).
HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color)
{
    if (iHatch < 0 || iHatch >= HS_API_MAX)
        return nullptr;
    if (iHatch > HS_DIAGCROSS)
        return CreateSolidBrush(color);
    return static_cast<HBRUSH>(Add(Hatch(iHatch, color)));
}

// The brush keeps a copy of the bitmap's pixels, so the bitmap may be deleted afterwards. A
// monochrome bitmap makes a brush whose 0 bits paint the text colour and 1 bits the background
// colour of the DC it is used on (MSDN CreatePatternBrush).
HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const BitmapObject* b = reg.Bitmap(hbm);
    if (!b || b->width <= 0 || b->height <= 0)
        return nullptr;
    GdiObject o;
    o.type = OBJ_BRUSH;
    o.brushStyle = BS_PATTERN;
    o.patternBitmap = hbm;
    o.patternWidth = b->width;
    o.patternHeight = b->height;
    o.pattern.resize(static_cast<std::size_t>(b->width) * static_cast<std::size_t>(b->height));
    if (b->stock || !b->bits) {
        // The stock 1 x 1 monochrome bitmap: one 0 bit.
        o.monoPattern = true;
        std::fill(o.pattern.begin(), o.pattern.end(), 1);
    } else {
        const int bpp = b->header.biBitCount;
        if (bpp != 24 && bpp != 32 && bpp != 1)
            return nullptr;
        o.monoPattern = bpp == 1;
        for (int y = 0; y < b->height; ++y) {
            const int row = b->topDown ? y : b->height - 1 - y;
            const std::uint8_t* line = b->bits.get() + static_cast<std::ptrdiff_t>(row) * b->rowBytes;
            for (int x = 0; x < b->width; ++x) {
                COLORREF& out = o.pattern[static_cast<std::size_t>(y) * b->width + x];
                if (bpp == 1) {
                    // A 0 bit is foreground: "set" in the tile's terms.
                    out = ((line[x >> 3] >> (7 - (x & 7))) & 1) ? 0 : 1;
                } else {
                    const std::uint8_t* p = line + x * (bpp / 8);
                    out = RGB(p[2], p[1], p[0]);
                }
            }
        }
    }
    const std::uintptr_t key = reg.NewHandle();
    reg.objects.emplace(key, std::move(o));
    return HandleOf<HBRUSH>(key);
}

// A packed DIB: the header, its colour table (DIB_RGB_COLORS only), then the rows. 1-bit
// patterns take their two colours from the table; 24- and 32-bit ones their pixels.
HBRUSH WINAPI CreateDIBPatternBrushPt(const VOID* lpPackedDIB, UINT iUsage)
{
    if (!lpPackedDIB || iUsage != DIB_RGB_COLORS)
        return nullptr;
    BITMAPINFOHEADER h;
    std::memcpy(&h, lpPackedDIB, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biWidth > 4096 || h.biHeight == 0 ||
        h.biHeight < -4096 || h.biHeight > 4096 || h.biPlanes != 1 || h.biCompression != BI_RGB ||
        (h.biBitCount != 1 && h.biBitCount != 24 && h.biBitCount != 32))
        return nullptr;
    const int width = h.biWidth;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const std::size_t colours = h.biBitCount == 1 ? (h.biClrUsed && h.biClrUsed < 2 ? h.biClrUsed : 2) : 0;
    const auto* table = static_cast<const std::uint8_t*>(lpPackedDIB) + h.biSize;
    const std::uint8_t* bits = table + colours * sizeof(RGBQUAD);
    const std::size_t stride = ((static_cast<std::size_t>(width) * h.biBitCount + 31) / 32) * 4;
    GdiObject o;
    o.type = OBJ_BRUSH;
    o.brushStyle = BS_DIBPATTERN;
    o.patternWidth = width;
    o.patternHeight = height;
    o.pattern.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = bits + stride * static_cast<std::size_t>(h.biHeight < 0 ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            COLORREF& out = o.pattern[static_cast<std::size_t>(y) * width + x];
            if (h.biBitCount == 1) {
                const std::size_t index = std::min<std::size_t>((line[x >> 3] >> (7 - (x & 7))) & 1, colours - 1);
                const std::uint8_t* q = table + index * sizeof(RGBQUAD);
                out = RGB(q[2], q[1], q[0]);
            } else {
                const std::uint8_t* p = line + x * (h.biBitCount / 8);
                out = RGB(p[2], p[1], p[0]);
            }
        }
    }
    return static_cast<HBRUSH>(Add(std::move(o)));
}

// Brushes need no realising here: patterns follow the DC's brush origin when drawn.
BOOL WINAPI UnrealizeObject(HGDIOBJ h)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return reg.Object(h) != nullptr;
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush)
{
    if (!plbrush)
        return nullptr;
    switch (plbrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL: {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        EnsureStockObjectsLocked(reg);
        return static_cast<HBRUSH>(reg.stockObjects[NULL_BRUSH]);
    }
    case BS_HATCHED:
        return CreateHatchBrush(static_cast<int>(plbrush->lbHatch), plbrush->lbColor);
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
    default:
        return nullptr;
    }
}

} // extern "C"
