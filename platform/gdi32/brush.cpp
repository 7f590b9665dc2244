// Brushes, the stock objects, system colours and FillRect; and what every kind of pen, brush,
// font, region and palette shares: selection, deletion and GetObject.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

#include "paint.h"

using namespace moxplat;

namespace {

// The classic colours of Windows 10's default scheme; index 25 has no colour.
constexpr COLORREF kSysColors[COLOR_MENUBAR + 1] = {
    RGB(200, 200, 200), // COLOR_SCROLLBAR
    RGB(0, 0, 0),       // COLOR_BACKGROUND
    RGB(153, 180, 209), // COLOR_ACTIVECAPTION
    RGB(191, 205, 219), // COLOR_INACTIVECAPTION
    RGB(240, 240, 240), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(100, 100, 100), // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(0, 0, 0),       // COLOR_CAPTIONTEXT
    RGB(180, 180, 180), // COLOR_ACTIVEBORDER
    RGB(244, 247, 252), // COLOR_INACTIVEBORDER
    RGB(171, 171, 171), // COLOR_APPWORKSPACE
    RGB(0, 120, 215),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240), // COLOR_BTNFACE
    RGB(160, 160, 160), // COLOR_BTNSHADOW
    RGB(109, 109, 109), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(0, 0, 0),       // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105), // COLOR_3DDKSHADOW
    RGB(227, 227, 227), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0),       // 25: unused
    RGB(0, 102, 204),   // COLOR_HOTLIGHT
    RGB(185, 209, 234), // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 120, 215),   // COLOR_MENUHILIGHT
    RGB(240, 240, 240), // COLOR_MENUBAR
};

HGDIOBJ NewObjectLocked(Registry& reg, GdiObject object)
{
    const std::uintptr_t key = reg.NewHandle();
    reg.objects.emplace(key, std::move(object));
    return HandleOf<HGDIOBJ>(key);
}

GdiObject SolidBrush(COLORREF color)
{
    GdiObject o;
    o.type = OBJ_BRUSH;
    o.brushStyle = BS_SOLID;
    o.color = color & 0x00ffffff;
    return o;
}

GdiObject StockFont(LONG height, LONG weight, BYTE pitchAndFamily, const wchar_t* face)
{
    GdiObject o;
    o.type = OBJ_FONT;
    o.stock = true;
    o.font.lfHeight = height;
    o.font.lfWeight = weight;
    o.font.lfPitchAndFamily = pitchAndFamily;
    std::wcsncpy(o.font.lfFaceName, face, LF_FACESIZE - 1);
    return o;
}

int CopyOut(const void* data, int size, int c, LPVOID pv)
{
    if (!pv)
        return size;
    if (c < size)
        return 0; // Windows: a buffer too small for the whole structure gets nothing (gdi32 tests/pen.c)
    std::memcpy(pv, data, static_cast<std::size_t>(size));
    return size;
}

// A face name in UTF-8, cut at a character boundary to fit LF_FACESIZE with its terminator.
void FaceNameToUtf8(const WCHAR* in, CHAR* out)
{
    std::size_t n = 0;
    for (int i = 0; i < LF_FACESIZE && in[i]; ++i) {
        const std::uint32_t c = static_cast<std::uint32_t>(in[i]);
        char buf[4];
        std::size_t len;
        if (c < 0x80) {
            buf[0] = static_cast<char>(c);
            len = 1;
        } else if (c < 0x800) {
            buf[0] = static_cast<char>(0xC0 | (c >> 6));
            buf[1] = static_cast<char>(0x80 | (c & 0x3F));
            len = 2;
        } else if (c < 0x10000) {
            buf[0] = static_cast<char>(0xE0 | (c >> 12));
            buf[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            buf[2] = static_cast<char>(0x80 | (c & 0x3F));
            len = 3;
        } else if (c < 0x110000) {
            buf[0] = static_cast<char>(0xF0 | (c >> 18));
            buf[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            buf[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            buf[3] = static_cast<char>(0x80 | (c & 0x3F));
            len = 4;
        } else {
            continue;
        }
        if (n + len > LF_FACESIZE - 1)
            break;
        std::memcpy(out + n, buf, len);
        n += len;
    }
    out[n] = 0;
}

void Retain(Registry& reg, HGDIOBJ h)
{
    if (GdiObject* o = reg.Object(h))
        ++o->selections;
}

void Release(Registry& reg, HGDIOBJ h)
{
    GdiObject* o = reg.Object(h);
    if (!o || o->selections <= 0)
        return;
    if (--o->selections == 0 && o->deletePending)
        reg.objects.erase(Key(h));
}

} // namespace

namespace moxplat {

void EnsureStockObjectsLocked(Registry& reg)
{
    if (reg.stockObjects[WHITE_BRUSH])
        return;
    auto stock = [&](int index, GdiObject o) {
        o.stock = true;
        reg.stockObjects[index] = NewObjectLocked(reg, std::move(o));
    };
    stock(WHITE_BRUSH, SolidBrush(RGB(255, 255, 255)));
    stock(LTGRAY_BRUSH, SolidBrush(RGB(192, 192, 192)));
    stock(GRAY_BRUSH, SolidBrush(RGB(128, 128, 128)));
    stock(DKGRAY_BRUSH, SolidBrush(RGB(64, 64, 64)));
    stock(BLACK_BRUSH, SolidBrush(RGB(0, 0, 0)));
    GdiObject hollow;
    hollow.type = OBJ_BRUSH;
    hollow.brushStyle = BS_NULL;
    stock(NULL_BRUSH, hollow);
    GdiObject pen;
    pen.type = OBJ_PEN;
    pen.penStyle = 0; // PS_SOLID
    pen.penWidth = 0;
    pen.color = RGB(255, 255, 255);
    stock(WHITE_PEN, pen);
    pen.color = RGB(0, 0, 0);
    stock(BLACK_PEN, pen);
    // The null pen reads back one pixel wide in black (gdi32 tests/pen.c test_logpen).
    pen.penStyle = 5; // PS_NULL
    pen.penWidth = 1;
    pen.color = 0;
    stock(NULL_PEN, pen);
    // Face names and sizes as Windows reports them; drawing maps them to installed families.
    stock(OEM_FIXED_FONT, StockFont(12, 400, 0x31, L"Terminal"));
    stock(ANSI_FIXED_FONT, StockFont(12, 400, 0x31, L"Courier"));
    stock(ANSI_VAR_FONT, StockFont(12, 400, 0x22, L"MS Sans Serif"));
    stock(SYSTEM_FONT, StockFont(16, 700, 0x22, L"System"));
    stock(DEVICE_DEFAULT_FONT, StockFont(16, 700, 0x22, L"System"));
    stock(SYSTEM_FIXED_FONT, StockFont(16, 400, 0x31, L"Fixedsys"));
    stock(DEFAULT_GUI_FONT, StockFont(-11, 400, 0, L"MS Shell Dlg"));
    // The default palette: the 20 static colours (MSDN "Default Palette").
    static const BYTE kDefaultPalette[20][3] = {
        {0, 0, 0},          {0x80, 0, 0},       {0, 0x80, 0},       {0x80, 0x80, 0},    {0, 0, 0x80},
        {0x80, 0, 0x80},    {0, 0x80, 0x80},    {0xc0, 0xc0, 0xc0}, {0xc0, 0xdc, 0xc0}, {0xa6, 0xca, 0xf0},
        {0xff, 0xfb, 0xf0}, {0xa0, 0xa0, 0xa4}, {0x80, 0x80, 0x80}, {0xff, 0, 0},       {0, 0xff, 0},
        {0xff, 0xff, 0},    {0, 0, 0xff},       {0xff, 0, 0xff},    {0, 0xff, 0xff},    {0xff, 0xff, 0xff}};
    GdiObject palette;
    palette.type = OBJ_PAL;
    for (const auto& c : kDefaultPalette)
        palette.paletteEntries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
    stock(DEFAULT_PALETTE, palette);
    GdiObject dcBrush = SolidBrush(RGB(255, 255, 255));
    dcBrush.dcColored = true;
    stock(DC_BRUSH, dcBrush);
    GdiObject dcPen;
    dcPen.type = OBJ_PEN;
    dcPen.dcColored = true;
    stock(DC_PEN, dcPen);
    for (int i = 0; i <= COLOR_MENUBAR; ++i) {
        if (i == 25)
            continue;
        GdiObject b = SolidBrush(kSysColors[i]);
        b.stock = true;
        reg.sysColorBrushes[i] = static_cast<HBRUSH>(NewObjectLocked(reg, b));
    }
}

HBRUSH SelectedBrushLocked(Registry& reg, HDC dc)
{
    const DCObject* d = reg.DC(dc);
    if (!d)
        return nullptr;
    EnsureStockObjectsLocked(reg);
    return static_cast<HBRUSH>(d->draw.brush ? d->draw.brush : reg.stockObjects[WHITE_BRUSH]);
}

void ReleaseDrawStateLocked(Registry& reg, DCObject& dc)
{
    auto releaseState = [&](DrawState& s) {
        Release(reg, s.brush);
        Release(reg, s.pen);
        Release(reg, s.font);
        s.brush = s.pen = s.font = nullptr;
    };
    releaseState(dc.draw);
    for (DrawState& s : dc.saved)
        releaseState(s);
    dc.saved.clear();
}

// Selection of a pen, brush or font: the previous object of the same kind comes back. Regions
// select as clip regions (region.cpp). Under the lock.
HGDIOBJ SelectDrawObjectLocked(Registry& reg, HDC hdc, HGDIOBJ h)
{
    DCObject* d = reg.DC(hdc);
    GdiObject* o = reg.Object(h);
    if (!d)
        SetLastError(ERROR_INVALID_HANDLE); // gdi32 tests/gdiobj.c test_gdi_objects
    if (!d || !o)
        return nullptr;
    EnsureStockObjectsLocked(reg);
    HGDIOBJ* slot = nullptr;
    int fallback = 0;
    switch (o->type) {
    case OBJ_BRUSH:
        slot = &d->draw.brush;
        fallback = WHITE_BRUSH;
        break;
    case OBJ_PEN:
    case OBJ_EXTPEN:
        slot = &d->draw.pen;
        fallback = BLACK_PEN;
        break;
    case OBJ_FONT:
        slot = &d->draw.font;
        fallback = SYSTEM_FONT;
        break;
    case OBJ_REGION:
        // Selecting a region sets the clip region to a copy of it and answers its complexity
        // (MSDN SelectObject).
        d->draw.clipped = true;
        d->draw.clip = o->rects;
        return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(o->rects.empty()       ? NULLREGION
                                                              : o->rects.size() == 1 ? SIMPLEREGION
                                                                                     : COMPLEXREGION));
    default:
        return nullptr;
    }
    HGDIOBJ previous = *slot ? *slot : reg.stockObjects[fallback];
    if (previous == h)
        return previous;
    Retain(reg, h);
    *slot = h;
    Release(reg, previous);
    return previous;
}

BOOL DeleteDrawObjectLocked(Registry& reg, HGDIOBJ h)
{
    GdiObject* o = reg.Object(h);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE; // stock objects survive DeleteObject
    if (o->selections > 0) {
        o->deletePending = true;
        return TRUE;
    }
    reg.objects.erase(Key(h));
    return TRUE;
}

int GetDrawObjectLocked(Registry& reg, HGDIOBJ h, int c, LPVOID pv, bool wide)
{
    const GdiObject* o = reg.Object(h);
    if (!o || c < 0)
        return 0;
    switch (o->type) {
    case OBJ_BRUSH: {
        LOGBRUSH lb{};
        lb.lbStyle = o->brushStyle;
        lb.lbColor = o->color;
        lb.lbHatch = o->brushStyle == BS_HATCHED   ? o->hatch
                     : o->brushStyle == BS_PATTERN ? reinterpret_cast<ULONG_PTR>(o->patternBitmap)
                                                   : 0;
        if (o->brushStyle == BS_PATTERN)
            lb.lbColor = 0;
        // A short buffer gets what fits (as Wine's gdi32 does for brushes).
        if (!pv)
            return sizeof lb;
        const int n = std::min(c, static_cast<int>(sizeof lb));
        std::memcpy(pv, &lb, static_cast<std::size_t>(n));
        return n;
    }
    case OBJ_PAL: {
        const auto entries = static_cast<WORD>(o->paletteEntries.size());
        if (!pv)
            return sizeof entries;
        if (c < static_cast<int>(sizeof entries))
            return 0;
        std::memcpy(pv, &entries, sizeof entries);
        return sizeof entries;
    }
    case OBJ_PEN: {
        // Windows: the null pen asked for exactly an EXTLOGPEN answers as one, width 0, no
        // entries (gdi32 tests/pen.c test_logpen); any other size gets the LOGPEN.
        if (pv && o->penStyle == PS_NULL && c == static_cast<int>(sizeof(EXTLOGPEN))) {
            EXTLOGPEN e{};
            e.elpPenStyle = PS_NULL;
            e.elpBrushStyle = BS_SOLID;
            e.elpColor = o->color;
            std::memcpy(pv, &e, sizeof e);
            return sizeof e;
        }
        LOGPEN lp{};
        lp.lopnStyle = o->penStyle;
        lp.lopnWidth.x = o->penWidth;
        lp.lopnColor = o->color;
        return CopyOut(&lp, sizeof lp, c, pv);
    }
    case OBJ_EXTPEN: {
        // The structure up to its style entries, then the entries themselves.
        const std::size_t head = offsetof(EXTLOGPEN, elpStyleEntry);
        const std::size_t size = head + o->styleEntries.size() * sizeof(DWORD);
        if (!pv)
            return static_cast<int>(size);
        if (static_cast<std::size_t>(c) < size)
            return 0;
        EXTLOGPEN e{};
        e.elpPenStyle = o->penStyle;
        e.elpWidth = static_cast<DWORD>(o->penWidth);
        e.elpBrushStyle = o->penBrushStyle;
        e.elpColor = o->color;
        e.elpHatch = o->hatch;
        e.elpNumEntries = static_cast<DWORD>(o->styleEntries.size());
        std::memcpy(pv, &e, head);
        if (!o->styleEntries.empty())
            std::memcpy(static_cast<std::uint8_t*>(pv) + head, o->styleEntries.data(),
                        o->styleEntries.size() * sizeof(DWORD));
        return static_cast<int>(size);
    }
    case OBJ_FONT: {
        if (wide)
            return CopyOut(&o->font, sizeof o->font, c, pv);
        LOGFONTA a{};
        std::memcpy(&a, &o->font, offsetof(LOGFONTA, lfFaceName));
        FaceNameToUtf8(o->font.lfFaceName, a.lfFaceName);
        return CopyOut(&a, sizeof a, c, pv);
    }
    default:
        return 0;
    }
}

} // namespace moxplat

extern "C" {

HGDIOBJ WINAPI GetStockObject(int i)
{
    if (i < 0 || i > STOCK_LAST)
        return nullptr;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    EnsureStockObjectsLocked(reg);
    return reg.stockObjects[i]; // null for 9, which names nothing
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return static_cast<HBRUSH>(NewObjectLocked(reg, SolidBrush(color)));
}

DWORD WINAPI GetObjectType(HGDIOBJ h)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (const GdiObject* o = reg.Object(h))
        return o->type;
    if (reg.Bitmap(h))
        return OBJ_BITMAP;
    if (const DCObject* d = reg.DC(h))
        return d->kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
    SetLastError(ERROR_INVALID_HANDLE); // gdi32 tests/gdiobj.c test_gdi_objects
    return 0;
}

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv)
{
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (reg.Object(h))
            return GetDrawObjectLocked(reg, h, c, pv, true);
    }
    // Bitmaps are described the same way by both forms.
    return GetObjectA(h, c, pv);
}

DWORD WINAPI GetSysColor(int nIndex)
{
    // Out of range: 0, as for the unused index 25 (MSDN GetSysColor).
    if (nIndex < 0 || nIndex > COLOR_MENUBAR)
        return 0;
    return kSysColors[nIndex];
}

HBRUSH WINAPI GetSysColorBrush(int nIndex)
{
    if (nIndex < 0 || nIndex > COLOR_MENUBAR)
        return nullptr;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    EnsureStockObjectsLocked(reg);
    return reg.sysColorBrushes[nIndex];
}

// The rectangle's right and bottom edges are not filled (MSDN FillRect). The DC's ROP2 does
// not apply: FillRect copies the brush.
int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    if (!lprc)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    Target t;
    Paint paint;
    const DCObject* d = reg.DC(hDC);
    if (!d || !TargetLocked(reg, hDC, &t) || !BrushPaintLocked(reg, d->draw, hbr, &paint))
        return FALSE;
    std::int64_t l = lprc->left, r = lprc->right, top = lprc->top, bottom = lprc->bottom;
    if (l > r)
        std::swap(l, r);
    if (top > bottom)
        std::swap(top, bottom);
    FillDeviceRect(t, l + t.offsetX, top + t.offsetY, r + t.offsetX, bottom + t.offsetY, paint, R2_COPYPEN);
    MarkDrawnLocked(reg, hDC);
    return TRUE;
}

} // extern "C"
