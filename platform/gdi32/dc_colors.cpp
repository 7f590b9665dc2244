// The text and background colours of a device context: blits between colour and monochrome
// bitmaps turn pixels into them and compare pixels with them.
#include "gdi_registry.h"

using namespace moxplat;

namespace {

// Windows answers CLR_INVALID for a handle that is not a DC (Microsoft's SetTextColor).
COLORREF Exchange(HDC hdc, COLORREF DCObject::*field, COLORREF color, bool set)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d)
        return CLR_INVALID;
    const COLORREF previous = d->*field;
    if (set)
        d->*field = color;
    return previous;
}

} // namespace

extern "C" {

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color)
{
    return Exchange(hdc, &DCObject::textColor, color, true);
}

COLORREF WINAPI GetTextColor(HDC hdc)
{
    return Exchange(hdc, &DCObject::textColor, 0, false);
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color)
{
    return Exchange(hdc, &DCObject::bkColor, color, true);
}

COLORREF WINAPI GetBkColor(HDC hdc)
{
    return Exchange(hdc, &DCObject::bkColor, 0, false);
}

} // extern "C"
