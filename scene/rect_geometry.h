// Edge arithmetic shared by CMoxRect and the dirty-rectangle list.
#pragma once

#include "MoxImage2.h"

#include <cstdint>
#include <limits>

namespace mox {

// X + Width and Y + Height overflow a 32-bit int for rectangles near the ends of the range, so
// edges are computed in 64 bits: the closed tests then stay exact for every stored value.
inline std::int64_t RightOf(const Gdiplus::Rect& r)
{
    return std::int64_t(r.X) + r.Width;
}
inline std::int64_t BottomOf(const Gdiplus::Rect& r)
{
    return std::int64_t(r.Y) + r.Height;
}

// Closed point test on 64-bit coordinates; corners of a rectangle may lie outside the int range.
inline bool Holds(const Gdiplus::Rect& r, std::int64_t x, std::int64_t y)
{
    return r.X <= x && x <= RightOf(r) && r.Y <= y && y <= BottomOf(r);
}

// Fields are 32-bit; a derived offset or size that does not fit is pinned to the nearest end of
// the range rather than wrapped, so a huge extent never turns into a negative one.
inline int ClampToInt(std::int64_t v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(v);
}

// Corner tests of the ordered classifications, named by which corners of `of` `r` holds.
inline bool HoldsTopLeft(const Gdiplus::Rect& r, const Gdiplus::Rect& of)
{
    return Holds(r, of.X, of.Y);
}
inline bool HoldsTopRight(const Gdiplus::Rect& r, const Gdiplus::Rect& of)
{
    return Holds(r, RightOf(of), of.Y);
}
inline bool HoldsBottomLeft(const Gdiplus::Rect& r, const Gdiplus::Rect& of)
{
    return Holds(r, of.X, BottomOf(of));
}
inline bool HoldsBottomRight(const Gdiplus::Rect& r, const Gdiplus::Rect& of)
{
    return Holds(r, RightOf(of), BottomOf(of));
}

// Closed containment and the vertical-band cross, as free functions so both sides of a pair can
// be tested without copying into CMoxRect.
inline bool ContainsRect(const Gdiplus::Rect& t, const Gdiplus::Rect& a)
{
    return t.X <= a.X && RightOf(a) <= RightOf(t) && t.Y <= a.Y && BottomOf(a) <= BottomOf(t);
}
inline bool CrossesAsBand(const Gdiplus::Rect& t, const Gdiplus::Rect& a)
{
    return a.X >= t.X && RightOf(a) <= RightOf(t) && a.Y <= t.Y && BottomOf(a) >= BottomOf(t);
}

// For rectangles of non-negative size the ordered meeting and overlap tests come down to the
// intersection of the closed areas: false when they share no point, else the overlap relative
// to a's top-left corner (its fields always fit: it lies within a).
inline bool ClosedOverlap(const Gdiplus::Rect& t, const Gdiplus::Rect& a, Gdiplus::Rect* overlap)
{
    const std::int64_t left = t.X > a.X ? t.X : a.X, top = t.Y > a.Y ? t.Y : a.Y;
    const std::int64_t right = RightOf(t) < RightOf(a) ? RightOf(t) : RightOf(a);
    const std::int64_t bottom = BottomOf(t) < BottomOf(a) ? BottomOf(t) : BottomOf(a);
    if (left > right || top > bottom)
        return false;
    *overlap = Gdiplus::Rect(int(left - a.X), int(top - a.Y), int(right - left), int(bottom - top));
    return true;
}

} // namespace mox
