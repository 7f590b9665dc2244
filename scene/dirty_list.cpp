// CMoxZang: the dirty-rectangle list. Rectangles that meet are fused into their bounding box,
// so the listed rectangles never meet and each canvas pixel lies in at most one of them.
#include "MoxImage2.h"

#include "scene/dirty_index.h"
#include "scene/rect_geometry.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

using mox::BottomOf;
using mox::ClampToInt;
using mox::ContainsRect;
using mox::CrossesAsBand;
using mox::HoldsBottomLeft;
using mox::HoldsBottomRight;
using mox::HoldsTopLeft;
using mox::HoldsTopRight;
using mox::RightOf;

namespace {

void SetFields(CMoxRect& r, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
{
    r.X = ClampToInt(x);
    r.Y = ClampToInt(y);
    r.Width = ClampToInt(w);
    r.Height = ClampToInt(h);
}

enum class Outcome { Keep, Absorbed, Merged };

// Classifies n against p by the first case that holds and reshapes n in place. Containment absorbs
// without asking for another walk; any other contact fuses and does.
Outcome Classify(CMoxRect& n, const CMoxRect& p)
{
    // Most pairs on a walk are far apart. With no negative size the cases below amount to the
    // closed meeting test, so a pair that fails it is kept without trying each corner.
    if ((n.Width | n.Height | p.Width | p.Height) >= 0 &&
        (std::max<std::int64_t>(n.X, p.X) > std::min(RightOf(n), RightOf(p)) ||
         std::max<std::int64_t>(n.Y, p.Y) > std::min(BottomOf(n), BottomOf(p))))
        return Outcome::Keep;
    if (ContainsRect(n, p))
        return Outcome::Absorbed;
    if (ContainsRect(p, n)) {
        n = p;
        return Outcome::Absorbed;
    }

    const std::int64_t nx = n.X, ny = n.Y, nw = n.Width, nh = n.Height;
    const std::int64_t px = p.X, py = p.Y, pw = p.Width, ph = p.Height;
    const std::int64_t nr = RightOf(n), nb = BottomOf(n), pr = RightOf(p), pb = BottomOf(p);

    if (CrossesAsBand(n, p))
        SetFields(n, nx, py, nw, ph);
    else if (CrossesAsBand(p, n))
        SetFields(n, px, ny, pw, nh);
    // n holds an edge of p.
    else if (HoldsTopLeft(n, p) && HoldsTopRight(n, p))
        SetFields(n, nx, ny, nw, pb - ny);
    else if (HoldsTopLeft(n, p) && HoldsBottomLeft(n, p))
        SetFields(n, nx, ny, pr - nx, nh);
    else if (HoldsBottomLeft(n, p) && HoldsBottomRight(n, p))
        SetFields(n, nx, py, nw, nb - py);
    else if (HoldsTopRight(n, p) && HoldsBottomRight(n, p))
        SetFields(n, px, ny, nr - px, nh);
    // p holds an edge of n.
    else if (HoldsTopLeft(p, n) && HoldsTopRight(p, n))
        SetFields(n, px, py, pw, nb - py);
    else if (HoldsTopLeft(p, n) && HoldsBottomLeft(p, n))
        SetFields(n, px, py, nr - px, ph);
    else if (HoldsBottomLeft(p, n) && HoldsBottomRight(p, n))
        SetFields(n, px, ny, pw, pb - ny);
    else if (HoldsTopRight(p, n) && HoldsBottomRight(p, n))
        SetFields(n, nx, py, pr - nx, ph);
    // p holds a single corner of n.
    else if (HoldsTopLeft(p, n))
        SetFields(n, px, py, nr - px, nb - py);
    else if (HoldsBottomRight(p, n))
        SetFields(n, nx, ny, pr - nx, pb - ny);
    else if (HoldsBottomLeft(p, n))
        SetFields(n, px, ny, nr - px, pb - ny);
    else if (HoldsTopRight(p, n))
        SetFields(n, nx, py, pr - nx, nb - py);
    else
        return Outcome::Keep;
    return Outcome::Merged;
}

} // namespace

CMoxZang::CMoxZang() {}

// A copy of an indexed list gets its own index over its own elements.
CMoxZang::CMoxZang(const CMoxZang& other) : m_RectList(other.m_RectList)
{
    if (other.m_Index && other.m_Index->InSync(other.m_RectList)) {
        m_Index = std::make_unique<mox::DirtyIndex>();
        m_Index->Adopt(m_RectList);
    }
}

CMoxZang& CMoxZang::operator=(const CMoxZang& other)
{
    if (this != &other) {
        m_RectList.clear();
        m_RectList.insert(m_RectList.end(), other.m_RectList.begin(), other.m_RectList.end());
        if (other.m_Index && other.m_Index->InSync(other.m_RectList)) {
            if (!m_Index)
                m_Index = std::make_unique<mox::DirtyIndex>();
            m_Index->Adopt(m_RectList);
        } else if (m_Index) {
            m_Index->Disown();
        }
    }
    return *this;
}

CMoxZang::~CMoxZang()
{
    m_RectList.clear();
}

void CMoxZang::Init()
{
    m_RectList.clear();
    if (m_Index)
        m_Index->Clear();
}

void CMoxZang::ClearRect()
{
    Init();
}

int CMoxZang::CheckRect(CMoxRect& r)
{
    for (const CMoxRect& d : m_RectList) {
        if (d.MyContains(r))
            return 1;
    }
    return 0;
}

int CMoxZang::CheckRect(CMoxRect& r, CMoxRect& out)
{
    for (CMoxRect& d : m_RectList) {
        if (d.CheckSuperpose(r)) {
            out = d.GetSuperpose(r);
            return 1;
        }
    }
    return 0;
}

void CMoxZang::AddRect(CMoxRect& r)
{
    if (!m_Index)
        m_Index = std::make_unique<mox::DirtyIndex>();
    if (mox::DirtyIndex::Eligible(r) && m_Index->Follows(m_RectList)) {
        m_Index->Add(m_RectList, r);
        return;
    }
    // The cases the index cannot vouch for take the walk itself.
    if (CheckRect(r))
        return;
    m_Index->Disown();
    m_RectList.push_back(r);
    Walk(std::prev(m_RectList.end()));
}

void CMoxZang::ExtRect(std::list<CMoxRect>::iterator it)
{
    if (m_Index)
        m_Index->Disown();
    Walk(it);
}

void CMoxZang::Walk(std::list<CMoxRect>::iterator it)
{
    // end() names no rectangle; an empty list has nothing else to merge with.
    if (it == m_RectList.end())
        return;
    CMoxRect& n = *it;
    // A fused rectangle may now reach elements the walk already passed, so every merge asks for
    // another walk from the front. Each merge erases an element, which bounds the walks.
    bool merged = true;
    while (merged) {
        merged = false;
        for (auto p = m_RectList.begin(); p != m_RectList.end();) {
            if (p == it) {
                ++p;
                continue;
            }
            const Outcome outcome = Classify(n, *p);
            if (outcome == Outcome::Keep) {
                ++p;
                continue;
            }
            p = m_RectList.erase(p);
            if (outcome == Outcome::Merged)
                merged = true;
        }
    }
}
