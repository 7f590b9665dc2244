// CMoxRect: the closed integer rectangle of the sprite scene.
//
// Right and bottom are X + Width and Y + Height, taken in 64 bits (rect_geometry.h). Sizes are
// never normalised: the ordered tests below decide every pair, negative sizes included.
#include "MoxImage2.h"

#include "scene/rect_geometry.h"

#include <cstdint>

using mox::BottomOf;
using mox::ClampToInt;
using mox::ContainsRect;
using mox::CrossesAsBand;
using mox::Holds;
using mox::HoldsBottomLeft;
using mox::HoldsBottomRight;
using mox::HoldsTopLeft;
using mox::HoldsTopRight;
using mox::RightOf;

namespace {

CMoxRect MakeRect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
{
    return CMoxRect(ClampToInt(x), ClampToInt(y), ClampToInt(w), ClampToInt(h));
}

} // namespace

CMoxRect::CMoxRect() : Gdiplus::Rect(0, 0, 0, 0) {}

CMoxRect::CMoxRect(int x, int y, int width, int height) : Gdiplus::Rect(x, y, width, height) {}

CMoxRect::~CMoxRect() {}

CMoxRect& CMoxRect::operator=(const CMoxRect& other)
{
    X = other.X;
    Y = other.Y;
    Width = other.Width;
    Height = other.Height;
    return *this;
}

int CMoxRect::operator==(const CMoxRect& other) const
{
    return X == other.X && Y == other.Y && Width == other.Width && Height == other.Height ? 1 : 0;
}

int CMoxRect::operator!=(const CMoxRect& other) const
{
    return *this == other ? 0 : 1;
}

int CMoxRect::MyContains(int x, int y) const
{
    return Holds(*this, x, y) ? 1 : 0;
}

int CMoxRect::MyContains(const Gdiplus::Rect& r) const
{
    return ContainsRect(*this, r) ? 1 : 0;
}

int CMoxRect::Superpose(const Gdiplus::Rect& r) const
{
    return CrossesAsBand(*this, r) ? 1 : 0;
}

int CMoxRect::CheckSuperpose(CMoxRect& r)
{
    const CMoxRect& t = *this;
    const CMoxRect& a = r;
    // One of A's corners inside T.
    if (HoldsTopLeft(t, a) || HoldsBottomRight(t, a) || HoldsBottomLeft(t, a) || HoldsTopRight(t, a))
        return 1;
    // A whole edge of T inside A.
    if ((HoldsTopLeft(a, t) && HoldsBottomLeft(a, t)) || (HoldsTopLeft(a, t) && HoldsTopRight(a, t)) ||
        (HoldsBottomLeft(a, t) && HoldsBottomRight(a, t)) || (HoldsTopRight(a, t) && HoldsBottomRight(a, t)))
        return 1;
    // A cross, where no corner lies inside the other rectangle.
    if (CrossesAsBand(t, a) || CrossesAsBand(a, t))
        return 1;
    if (ContainsRect(t, a) || ContainsRect(a, t))
        return 1;
    return 0;
}

CMoxRect CMoxRect::GetSuperpose(CMoxRect& r)
{
    // The part of A covered by T, relative to A's top-left corner. The first case that holds decides.
    const CMoxRect& t = *this;
    const CMoxRect& a = r;
    const std::int64_t tx = t.X, ty = t.Y, tw = t.Width, th = t.Height;
    const std::int64_t ax = a.X, ay = a.Y, aw = a.Width, ah = a.Height;
    const std::int64_t tr = RightOf(t), tb = BottomOf(t), ar = RightOf(a), ab = BottomOf(a);

    if (ContainsRect(t, a))
        return MakeRect(0, 0, aw, ah);
    if (ContainsRect(a, t))
        return MakeRect(tx - ax, ty - ay, tw, th);
    if (CrossesAsBand(t, a))
        return MakeRect(0, ty - ay, aw, th);
    if (CrossesAsBand(a, t))
        return MakeRect(tx - ax, 0, tw, ah);

    // A holds an edge of T.
    if (HoldsTopLeft(a, t) && HoldsTopRight(a, t))
        return MakeRect(tx - ax, ty - ay, tw, ab - ty);
    if (HoldsTopLeft(a, t) && HoldsBottomLeft(a, t))
        return MakeRect(tx - ax, ty - ay, ar - tx, th);
    if (HoldsBottomLeft(a, t) && HoldsBottomRight(a, t))
        return MakeRect(tx - ax, 0, tw, tb - ay);
    if (HoldsTopRight(a, t) && HoldsBottomRight(a, t))
        return MakeRect(0, ty - ay, tr - ax, th);

    // T holds an edge of A.
    if (HoldsTopLeft(t, a) && HoldsTopRight(t, a))
        return MakeRect(0, 0, aw, tb - ay);
    if (HoldsTopLeft(t, a) && HoldsBottomLeft(t, a))
        return MakeRect(0, 0, tr - ax, ah);
    if (HoldsBottomLeft(t, a) && HoldsBottomRight(t, a))
        return MakeRect(0, ty - ay, aw, ab - ty);
    if (HoldsTopRight(t, a) && HoldsBottomRight(t, a))
        return MakeRect(tx - ax, 0, ar - tx, ah);

    // T holds a single corner of A.
    if (HoldsTopLeft(t, a))
        return MakeRect(0, 0, tr - ax, tb - ay);
    if (HoldsBottomRight(t, a))
        return MakeRect(tx - ax, ty - ay, ar - tx, ab - ty);
    if (HoldsBottomLeft(t, a))
        return MakeRect(0, ty - ay, tr - ax, ab - ty);
    if (HoldsTopRight(t, a))
        return MakeRect(tx - ax, 0, ar - tx, tb - ay);

    return CMoxRect(0, 0, 0, 0);
}
