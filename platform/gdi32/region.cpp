// Regions as sets of disjoint rectangles, and clipping: a DC's clip region is kept in device
// coordinates, as SelectClipRgn takes it; IntersectClipRect and ExcludeClipRect take logical
// coordinates (MSDN).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "paint.h"

using namespace moxplat;

namespace {

using Rects = std::vector<RECT>;

bool Inside(const Rects& rs, std::int64_t x, std::int64_t y)
{
    for (const RECT& r : rs)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

// The rectangles of the set { p : op(p in a, p in b) }, in bands from top to bottom and
// left to right within a band; vertically adjacent bands with the same spans are merged.
template <class Op> Rects Combine(const Rects& a, const Rects& b, Op op)
{
    std::vector<LONG> xs, ys;
    for (const Rects* set : {&a, &b})
        for (const RECT& r : *set) {
            xs.push_back(r.left);
            xs.push_back(r.right);
            ys.push_back(r.top);
            ys.push_back(r.bottom);
        }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    Rects out;
    std::vector<std::pair<LONG, LONG>> previous, spans;
    std::size_t previousStart = 0;
    for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
        spans.clear();
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            if (!op(Inside(a, xs[i], ys[j]), Inside(b, xs[i], ys[j])))
                continue;
            if (!spans.empty() && spans.back().second == xs[i])
                spans.back().second = xs[i + 1];
            else
                spans.push_back({xs[i], xs[i + 1]});
        }
        if (!spans.empty() && spans == previous && out.back().bottom == ys[j]) {
            for (std::size_t k = previousStart; k < out.size(); ++k)
                out[k].bottom = ys[j + 1];
            continue;
        }
        previousStart = out.size();
        for (auto& s : spans)
            out.push_back({s.first, ys[j], s.second, ys[j + 1]});
        previous = spans;
    }
    return out;
}

// The union of rectangles that may overlap, in the same bands Combine makes, in one sweep down
// the distinct edges: each band takes the merged spans of the rectangles crossing it. Combining
// them one at a time costs far more once there are thousands.
Rects UnionOf(Rects in)
{
    in.erase(std::remove_if(in.begin(), in.end(), [](const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }),
             in.end());
    std::vector<LONG> ys;
    for (const RECT& r : in) {
        ys.push_back(r.top);
        ys.push_back(r.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::sort(in.begin(), in.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
    Rects out;
    std::vector<const RECT*> active;
    std::vector<std::pair<LONG, LONG>> previous, spans;
    std::size_t previousStart = 0, next = 0;
    for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
        while (next < in.size() && in[next].top <= ys[j])
            active.push_back(&in[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [&](const RECT* r) { return r->bottom <= ys[j]; }),
                     active.end());
        spans.clear();
        for (const RECT* r : active)
            spans.push_back({r->left, r->right});
        std::sort(spans.begin(), spans.end());
        std::size_t merged = 0;
        for (std::size_t k = 0; k < spans.size(); ++k) {
            if (merged > 0 && spans[k].first <= spans[merged - 1].second)
                spans[merged - 1].second = std::max(spans[merged - 1].second, spans[k].second);
            else
                spans[merged++] = spans[k];
        }
        spans.resize(merged);
        if (!spans.empty() && spans == previous && out.back().bottom == ys[j]) {
            for (std::size_t k = previousStart; k < out.size(); ++k)
                out[k].bottom = ys[j + 1];
            continue;
        }
        previousStart = out.size();
        for (auto& span : spans)
            out.push_back({span.first, ys[j], span.second, ys[j + 1]});
        previous = spans;
    }
    return out;
}

int Complexity(const Rects& rs)
{
    return rs.empty() ? NULLREGION : rs.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Normalised(int x1, int y1, int x2, int y2)
{
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

Rects OneRect(const RECT& r)
{
    if (r.left >= r.right || r.top >= r.bottom)
        return {};
    return {r};
}

GdiObject* RegionLocked(Registry& reg, HRGN h)
{
    GdiObject* o = reg.Object(h);
    return o && o->type == OBJ_REGION ? o : nullptr;
}

RECT Bounds(const Rects& rs)
{
    if (rs.empty())
        return {0, 0, 0, 0};
    RECT b = rs.front();
    for (const RECT& r : rs) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

// Coordinates beyond GDI's 27-bit range are cut to it so offsets cannot overflow.
LONG Clamp27(std::int64_t v)
{
    return static_cast<LONG>(std::clamp<std::int64_t>(v, -(1 << 27), 1 << 27));
}

Rects Offset(Rects rs, std::int64_t dx, std::int64_t dy)
{
    for (RECT& r : rs)
        r = {Clamp27(r.left + dx), Clamp27(r.top + dy), Clamp27(r.right + dx), Clamp27(r.bottom + dy)};
    return rs;
}

// The DC's clip region, or the whole surface when it has none, in device coordinates.
Rects ClipOrSurfaceLocked(Registry& reg, HDC hdc, const DCObject& d)
{
    if (d.draw.clipped)
        return d.draw.clip;
    PixelSurface s;
    if (SurfaceLocked(reg, hdc, &s))
        return OneRect({0, 0, s.width, s.height});
    // A memory DC still holding its stock bitmap covers that one pixel; the screen DC the
    // screen GetDeviceCaps describes (gdi32 tests/clipping.c test_memory_dc_clipping,
    // test_GetClipRgn).
    if (d.kind == DCKind::Memory) {
        if (const BitmapObject* b = reg.Bitmap(d.bitmap))
            return OneRect({0, 0, b->width, b->height});
        return {};
    }
    if (d.kind == DCKind::Screen)
        return OneRect({0, 0, 1920, 1080});
    return {};
}

int ClipWith(HDC hdc, const Rects& device, int mode)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d)
        return ERROR;
    const Rects current = ClipOrSurfaceLocked(reg, hdc, *d);
    Rects result;
    switch (mode) {
    case RGN_AND:
        result = Combine(current, device, [](bool a, bool b) { return a && b; });
        break;
    case RGN_OR:
        result = Combine(current, device, [](bool a, bool b) { return a || b; });
        break;
    case RGN_XOR:
        result = Combine(current, device, [](bool a, bool b) { return a != b; });
        break;
    case RGN_DIFF:
        result = Combine(current, device, [](bool a, bool b) { return a && !b; });
        break;
    case RGN_COPY:
        result = device;
        break;
    default:
        return ERROR;
    }
    d->draw.clipped = true;
    d->draw.clip = std::move(result);
    return Complexity(d->draw.clip);
}

POINT OffsetOf(const DCObject& d)
{
    return {d.draw.viewportOrg.x - d.draw.windowOrg.x, d.draw.viewportOrg.y - d.draw.windowOrg.y};
}

int ClipWithLogicalRect(HDC hdc, int left, int top, int right, int bottom, int mode)
{
    POINT o;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const DCObject* d = reg.DC(hdc);
        if (!d)
            return ERROR;
        o = OffsetOf(*d);
    }
    const RECT r = Normalised(left, top, right, bottom);
    return ClipWith(hdc, Offset(OneRect(r), o.x, o.y), mode);
}

} // namespace

extern "C" {

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2)
{
    GdiObject o;
    o.type = OBJ_REGION;
    o.rects = OneRect(Normalised(x1, y1, x2, y2));
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const std::uintptr_t key = reg.NewHandle();
    reg.objects.emplace(key, std::move(o));
    return HandleOf<HRGN>(key);
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect)
{
    return lprect ? CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom) : nullptr;
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    GdiObject* o = RegionLocked(reg, hrgn);
    if (!o)
        return FALSE;
    o->rects = OneRect(Normalised(left, top, right, bottom));
    return TRUE;
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    GdiObject* dst = RegionLocked(reg, hrgnDst);
    const GdiObject* a = RegionLocked(reg, hrgnSrc1);
    if (!dst || !a)
        return ERROR;
    if (iMode == RGN_COPY) {
        dst->rects = a->rects;
        return Complexity(dst->rects);
    }
    const GdiObject* b = RegionLocked(reg, hrgnSrc2);
    if (!b)
        return ERROR;
    Rects result;
    switch (iMode) {
    case RGN_AND:
        result = Combine(a->rects, b->rects, [](bool p, bool q) { return p && q; });
        break;
    case RGN_OR:
        result = Combine(a->rects, b->rects, [](bool p, bool q) { return p || q; });
        break;
    case RGN_XOR:
        result = Combine(a->rects, b->rects, [](bool p, bool q) { return p != q; });
        break;
    case RGN_DIFF:
        result = Combine(a->rects, b->rects, [](bool p, bool q) { return p && !q; });
        break;
    default:
        return ERROR;
    }
    dst->rects = std::move(result);
    return Complexity(dst->rects);
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    GdiObject* o = RegionLocked(reg, hrgn);
    if (!o)
        return ERROR;
    o->rects = Offset(o->rects, x, y);
    return Complexity(o->rects);
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const GdiObject* o = RegionLocked(reg, hrgn);
    if (!o || !lprc)
        return ERROR;
    *lprc = Bounds(o->rects);
    return Complexity(o->rects);
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const GdiObject* o = RegionLocked(reg, hrgn);
    return o && Inside(o->rects, x, y);
}

BOOL WINAPI RectInRegion(HRGN hrgn, const RECT* lprect)
{
    if (!lprect)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const GdiObject* o = RegionLocked(reg, hrgn);
    if (!o)
        return FALSE;
    const RECT q = Normalised(lprect->left, lprect->top, lprect->right, lprect->bottom);
    for (const RECT& r : o->rects)
        if (std::max(r.left, q.left) < std::min(r.right, q.right) &&
            std::max(r.top, q.top) < std::min(r.bottom, q.bottom))
            return TRUE;
    return FALSE;
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const GdiObject* a = RegionLocked(reg, hrgn1);
    const GdiObject* b = RegionLocked(reg, hrgn2);
    if (!a || !b)
        return ERROR;
    return Combine(a->rects, b->rects, [](bool p, bool q) { return p != q; }).empty();
}

// Regions are in logical coordinates for FillRgn and PaintRgn.
BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const GdiObject* o = RegionLocked(reg, hrgn);
    const DCObject* d = reg.DC(hdc);
    Target t;
    Paint paint;
    if (!o || !d || !TargetLocked(reg, hdc, &t) || !BrushPaintLocked(reg, d->draw, hbr, &paint))
        return FALSE;
    for (const RECT& r : o->rects)
        FillDeviceRect(t, std::int64_t{r.left} + t.offsetX, std::int64_t{r.top} + t.offsetY,
                       std::int64_t{r.right} + t.offsetX, std::int64_t{r.bottom} + t.offsetY, paint, d->draw.rop2);
    MarkDrawnLocked(reg, hdc);
    return TRUE;
}

BOOL WINAPI PaintRgn(HDC hdc, HRGN hrgn)
{
    HBRUSH brush;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        brush = SelectedBrushLocked(reg, hdc);
    }
    return brush ? FillRgn(hdc, hrgn, brush) : FALSE;
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn)
{
    return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

// A null region with RGN_COPY removes the clip region (MSDN ExtSelectClipRgn).
int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode)
{
    Rects device;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        DCObject* d = reg.DC(hdc);
        if (!d)
            return ERROR;
        if (!hrgn) {
            if (mode != RGN_COPY)
                return ERROR;
            d->draw.clipped = false;
            d->draw.clip.clear();
            return Complexity(ClipOrSurfaceLocked(reg, hdc, *d));
        }
        const GdiObject* o = RegionLocked(reg, hrgn);
        if (!o)
            return ERROR;
        device = o->rects;
    }
    return ClipWith(hdc, device, mode);
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    return ClipWithLogicalRect(hdc, left, top, right, bottom, RGN_AND);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    return ClipWithLogicalRect(hdc, left, top, right, bottom, RGN_DIFF);
}

int WINAPI OffsetClipRgn(HDC hdc, int x, int y)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d)
        return ERROR;
    if (!d->draw.clipped)
        return SIMPLEREGION;
    d->draw.clip = Offset(d->draw.clip, x, y);
    return Complexity(d->draw.clip);
}

// The smallest rectangle around what can be drawn, in logical coordinates.
int WINAPI GetClipBox(HDC hdc, LPRECT lprect)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hdc);
    if (!d || !lprect)
        return ERROR;
    Rects visible = ClipOrSurfaceLocked(reg, hdc, *d);
    PixelSurface s;
    // What drawing reaches: the clip region within the surface and, for a window DC, its
    // visible region and BeginPaint's update area (MSDN GetClipBox).
    if (SurfaceLocked(reg, hdc, &s))
        DrawableBoxesLocked(reg, hdc, s, &visible);
    const POINT o = OffsetOf(*d);
    RECT b = Bounds(visible);
    if (!visible.empty())
        b = {Clamp27(std::int64_t{b.left} - o.x), Clamp27(std::int64_t{b.top} - o.y),
             Clamp27(std::int64_t{b.right} - o.x), Clamp27(std::int64_t{b.bottom} - o.y)};
    *lprect = b;
    return Complexity(visible);
}

// 1 with the clip region copied into hrgn, 0 when the DC has none (MSDN GetClipRgn). Windows:
// a DC without a clip region answers 0 even with no region to fill; one with a clip region
// answers -1 then (gdi32 tests/clipping.c test_GetClipRgn).
int WINAPI GetClipRgn(HDC hdc, HRGN hrgn)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hdc);
    if (!d)
        return -1;
    if (!d->draw.clipped)
        return 0;
    GdiObject* o = RegionLocked(reg, hrgn);
    if (!o)
        return -1;
    o->rects = d->draw.clip;
    return 1;
}

BOOL WINAPI PtVisible(HDC hdc, int x, int y)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hdc);
    if (!d)
        return -1;
    const POINT o = OffsetOf(*d);
    const std::int64_t dx = std::int64_t{x} + o.x, dy = std::int64_t{y} + o.y;
    PixelSurface s;
    if (!SurfaceLocked(reg, hdc, &s) || dx < 0 || dy < 0 || dx >= s.width || dy >= s.height)
        return FALSE;
    Rects visible;
    DrawableBoxesLocked(reg, hdc, s, &visible);
    return Inside(visible, dx, dy);
}

// The region's rectangles after a header; the size needed when given no buffer, 0 when the
// buffer is too small (MSDN GetRegionData). Windows answers the size written, not the size of
// a larger buffer (gdi32 tests/clipping.c verify_region, tests/dc.c test_savedc_2).
DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const GdiObject* o = RegionLocked(reg, hrgn);
    if (!o)
        return 0;
    const DWORD rectBytes = static_cast<DWORD>(o->rects.size() * sizeof(RECT));
    const DWORD size = static_cast<DWORD>(sizeof(RGNDATAHEADER)) + rectBytes;
    if (!lpRgnData)
        return size;
    if (nCount < size)
        return 0;
    RGNDATAHEADER h{};
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = static_cast<DWORD>(o->rects.size());
    h.nRgnSize = rectBytes;
    h.rcBound = Bounds(o->rects);
    std::memcpy(lpRgnData, &h, sizeof h);
    if (rectBytes)
        std::memcpy(reinterpret_cast<std::uint8_t*>(lpRgnData) + sizeof h, o->rects.data(), rectBytes);
    return size;
}

// A region from rectangles, which may overlap, each put through the transform when one is
// given. Windows: no data fails with ERROR_INVALID_PARAMETER, a header of the wrong size or
// too few bytes for its rectangles fails leaving the error alone, and a scaled rectangle's
// corners round half up (gdi32 tests/clipping.c test_ExtCreateRegion: 0.5 x (111, 222) +
// (20, 40) gives (76, 151)). Rotating and shearing transforms make polygons, which regions
// of rectangles cannot hold: refused.
HRGN WINAPI ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData)
{
    if (!lpData || nCount < sizeof(RGNDATAHEADER)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (lpx && (lpx->eM12 != 0 || lpx->eM21 != 0))
        return nullptr;
    RGNDATAHEADER h;
    std::memcpy(&h, lpData, sizeof h);
    if (h.dwSize < sizeof(RGNDATAHEADER) || h.dwSize > nCount || h.nCount > (nCount - h.dwSize) / sizeof(RECT))
        return nullptr;
    auto map = [](double v, double scale, double shift) {
        return Clamp27(static_cast<std::int64_t>(std::floor(std::clamp(v * scale + shift, -1e9, 1e9) + 0.5)));
    };
    Rects given;
    given.reserve(h.nCount);
    const auto* p = reinterpret_cast<const std::uint8_t*>(lpData) + h.dwSize;
    for (DWORD i = 0; i < h.nCount; ++i) {
        RECT r;
        std::memcpy(&r, p + i * sizeof(RECT), sizeof r);
        if (lpx)
            r = Normalised(map(r.left, lpx->eM11, lpx->eDx), map(r.top, lpx->eM22, lpx->eDy),
                           map(r.right, lpx->eM11, lpx->eDx), map(r.bottom, lpx->eM22, lpx->eDy));
        if (r.left < r.right && r.top < r.bottom)
            given.push_back(r);
    }
    Rects rects = UnionOf(std::move(given));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (GdiObject* o = RegionLocked(reg, region))
        o->rects = std::move(rects);
    return region;
}

// Whether any part of the rectangle (logical coordinates) can be drawn.
BOOL WINAPI RectVisible(HDC hdc, const RECT* lprect)
{
    if (!lprect)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const DCObject* d = reg.DC(hdc);
    if (!d)
        return FALSE;
    const POINT o = OffsetOf(*d);
    const RECT q = Normalised(lprect->left, lprect->top, lprect->right, lprect->bottom);
    const Rects device = Offset(OneRect(q), o.x, o.y);
    Rects visible = ClipOrSurfaceLocked(reg, hdc, *d);
    PixelSurface s;
    if (SurfaceLocked(reg, hdc, &s))
        DrawableBoxesLocked(reg, hdc, s, &visible);
    return !Combine(visible, device, [](bool a, bool b) { return a && b; }).empty();
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
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
    // Windows draws nothing for an empty or inverted rectangle (MSDN FrameRect: "If the
    // bottom member is less than the top member, or ..., the function does not draw").
    if (lprc->right <= lprc->left || lprc->bottom <= lprc->top)
        return TRUE;
    const std::int64_t l = std::int64_t{lprc->left} + t.offsetX, r = std::int64_t{lprc->right} + t.offsetX;
    const std::int64_t top = std::int64_t{lprc->top} + t.offsetY, b = std::int64_t{lprc->bottom} + t.offsetY;
    FillDeviceRect(t, l, top, r, top + 1, paint, R2_COPYPEN);
    if (b - top > 1)
        FillDeviceRect(t, l, b - 1, r, b, paint, R2_COPYPEN);
    FillDeviceRect(t, l, top + 1, l + 1, b - 1, paint, R2_COPYPEN);
    if (r - l > 1)
        FillDeviceRect(t, r - 1, top + 1, r, b - 1, paint, R2_COPYPEN);
    MarkDrawnLocked(reg, hDC);
    return TRUE;
}

// Every bit of the rectangle's pixels inverted (MSDN InvertRect: a logical NOT).
BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc)
{
    if (!lprc)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    Target t;
    if (!TargetLocked(reg, hDC, &t))
        return FALSE;
    Paint any;
    any.kind = Paint::Solid;
    const RECT r = Normalised(lprc->left, lprc->top, lprc->right, lprc->bottom);
    FillDeviceRect(t, std::int64_t{r.left} + t.offsetX, std::int64_t{r.top} + t.offsetY,
                   std::int64_t{r.right} + t.offsetX, std::int64_t{r.bottom} + t.offsetY, any, R2_NOT);
    MarkDrawnLocked(reg, hDC);
    return TRUE;
}

} // extern "C"
