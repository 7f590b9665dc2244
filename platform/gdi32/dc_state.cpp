// The drawing state of a device context: colours, modes, origins, current objects, and
// SaveDC/RestoreDC. Every setter answers the previous value, or the documented failure value
// for an unknown DC.
#include "paint.h"

using namespace moxplat;

namespace {

// Runs f on the DC's state under the lock; `failure` for an unknown DC.
template <class R, class F> R WithState(HDC hdc, R failure, F f)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    return d ? f(d->draw) : failure;
}

template <class T> T Exchange(T& slot, T value)
{
    T previous = slot;
    slot = value;
    return previous;
}

void PutPoint(LPPOINT out, POINT p)
{
    if (out)
        *out = p;
}

void Retain(Registry& reg, HGDIOBJ h)
{
    if (GdiObject* o = reg.Object(h))
        ++o->selections;
}

// The viewport, window and brush origins: set, read and offset alike, each answering the
// previous origin through lppt when it is not null.
BOOL SetOrigin(HDC hdc, POINT DrawState::*origin, int x, int y, LPPOINT lppt)
{
    return WithState(hdc, BOOL{FALSE}, [&](DrawState& s) {
        PutPoint(lppt, Exchange(s.*origin, POINT{x, y}));
        return TRUE;
    });
}
BOOL GetOrigin(HDC hdc, POINT DrawState::*origin, LPPOINT lppt)
{
    return WithState(hdc, BOOL{FALSE}, [&](DrawState& s) {
        PutPoint(lppt, s.*origin);
        return TRUE;
    });
}
BOOL OffsetOrigin(HDC hdc, POINT DrawState::*origin, int x, int y, LPPOINT lppt)
{
    return WithState(hdc, BOOL{FALSE}, [&](DrawState& s) {
        PutPoint(lppt, s.*origin);
        (s.*origin).x += x;
        (s.*origin).y += y;
        return TRUE;
    });
}

} // namespace

extern "C" {

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [&](DrawState& s) { return Exchange(s.textColor, color); });
}
COLORREF WINAPI GetTextColor(HDC hdc)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [](DrawState& s) { return s.textColor; });
}
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [&](DrawState& s) { return Exchange(s.bkColor, color); });
}
COLORREF WINAPI GetBkColor(HDC hdc)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [](DrawState& s) { return s.bkColor; });
}
int WINAPI SetBkMode(HDC hdc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return WithState(hdc, 0, [&](DrawState& s) { return Exchange(s.bkMode, mode); });
}
int WINAPI GetBkMode(HDC hdc)
{
    return WithState(hdc, 0, [](DrawState& s) { return s.bkMode; });
}
int WINAPI SetROP2(HDC hdc, int rop2)
{
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        return 0;
    return WithState(hdc, 0, [&](DrawState& s) { return Exchange(s.rop2, rop2); });
}
int WINAPI GetROP2(HDC hdc)
{
    return WithState(hdc, 0, [](DrawState& s) { return s.rop2; });
}
int WINAPI SetPolyFillMode(HDC hdc, int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return WithState(hdc, 0, [&](DrawState& s) { return Exchange(s.polyFillMode, mode); });
}
int WINAPI GetPolyFillMode(HDC hdc)
{
    return WithState(hdc, 0, [](DrawState& s) { return s.polyFillMode; });
}
UINT WINAPI SetTextAlign(HDC hdc, UINT align)
{
    return WithState(hdc, UINT{GDI_ERROR}, [&](DrawState& s) { return Exchange(s.textAlign, align); });
}
UINT WINAPI GetTextAlign(HDC hdc)
{
    return WithState(hdc, UINT{GDI_ERROR}, [](DrawState& s) { return s.textAlign; });
}
int WINAPI SetArcDirection(HDC hdc, int dir)
{
    if (dir != AD_COUNTERCLOCKWISE && dir != AD_CLOCKWISE)
        return 0;
    return WithState(hdc, 0, [&](DrawState& s) { return Exchange(s.arcDirection, dir); });
}
int WINAPI GetArcDirection(HDC hdc)
{
    return WithState(hdc, 0, [](DrawState& s) { return s.arcDirection; });
}
COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [&](DrawState& s) { return Exchange(s.dcBrushColor, color); });
}
COLORREF WINAPI GetDCBrushColor(HDC hdc)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [](DrawState& s) { return s.dcBrushColor; });
}
COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [&](DrawState& s) { return Exchange(s.dcPenColor, color); });
}
COLORREF WINAPI GetDCPenColor(HDC hdc)
{
    return WithState(hdc, COLORREF{CLR_INVALID}, [](DrawState& s) { return s.dcPenColor; });
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return SetOrigin(hdc, &DrawState::viewportOrg, x, y, lppt);
}
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppt)
{
    return GetOrigin(hdc, &DrawState::viewportOrg, lppt);
}
BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return OffsetOrigin(hdc, &DrawState::viewportOrg, x, y, lppt);
}
BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return SetOrigin(hdc, &DrawState::windowOrg, x, y, lppt);
}
BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppt)
{
    return GetOrigin(hdc, &DrawState::windowOrg, lppt);
}
BOOL WINAPI OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return OffsetOrigin(hdc, &DrawState::windowOrg, x, y, lppt);
}
BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return SetOrigin(hdc, &DrawState::brushOrg, x, y, lppt);
}
BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT lppt)
{
    return GetOrigin(hdc, &DrawState::brushOrg, lppt);
}
BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt)
{
    return WithState(hdc, BOOL{FALSE}, [&](DrawState& s) {
        PutPoint(lppt, s.position);
        return TRUE;
    });
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d)
        return nullptr;
    EnsureStockObjectsLocked(reg);
    switch (type) {
    case OBJ_BRUSH:
        return d->draw.brush ? d->draw.brush : reg.stockObjects[WHITE_BRUSH];
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return d->draw.pen ? d->draw.pen : reg.stockObjects[BLACK_PEN];
    case OBJ_FONT:
        return d->draw.font ? d->draw.font : reg.stockObjects[SYSTEM_FONT];
    case OBJ_PAL:
        return d->draw.palette ? d->draw.palette : reg.stockObjects[DEFAULT_PALETTE];
    case OBJ_BITMAP:
        return d->kind == DCKind::Memory ? static_cast<HGDIOBJ>(d->bitmap) : nullptr;
    default:
        return nullptr;
    }
}

// SaveDC answers the new depth of the DC's stack; RestoreDC takes that number, or a negative
// count back from the top (MSDN SaveDC, RestoreDC). The bitmap selected is not part of it.
int WINAPI SaveDC(HDC hdc)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d)
        return 0;
    d->saved.push_back(d->draw);
    Retain(reg, d->draw.brush);
    Retain(reg, d->draw.pen);
    Retain(reg, d->draw.font);
    return static_cast<int>(d->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d || nSavedDC == 0)
        return FALSE;
    const int depth = static_cast<int>(d->saved.size());
    const int level = nSavedDC < 0 ? depth + nSavedDC + 1 : nSavedDC;
    if (level < 1 || level > depth)
        return FALSE;
    // The states above `level` are dropped; the one at `level` becomes current. The references
    // the current state held go with it; the restored state keeps those its save took.
    DCObject scratch;
    scratch.draw = d->draw;
    scratch.saved.assign(d->saved.begin() + level, d->saved.end());
    d->draw = d->saved[static_cast<std::size_t>(level - 1)];
    d->saved.resize(static_cast<std::size_t>(level - 1));
    ReleaseDrawStateLocked(reg, scratch);
    return TRUE;
}

// A 32-bit, 96-DPI screen of 1920 x 1080 pixels, for every DC.
int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (!reg.DC(hdc))
            return 0;
    }
    constexpr int kWidth = 1920, kHeight = 1080;
    switch (index) {
    case DRIVERVERSION:
        return 0x4000;
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZSIZE:
        return kWidth * 254 / 960; // millimetres at 96 DPI
    case VERTSIZE:
        return kHeight * 254 / 960;
    case HORZRES:
    case DESKTOPHORZRES:
        return kWidth;
    case VERTRES:
    case DESKTOPVERTRES:
        return kHeight;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS:
        return -1; // more than a palette's worth
    case NUMFONTS:
        return 0;
    case ASPECTX:
    case ASPECTY:
        return 36;
    case ASPECTXY:
        return 51;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case SIZEPALETTE:
    case NUMRESERVED:
        return 0;
    case COLORRES:
        return 24;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case VREFRESH:
        return 60;
    case BLTALIGNMENT:
        return 0;
    default:
        return 0;
    }
}

} // extern "C"
