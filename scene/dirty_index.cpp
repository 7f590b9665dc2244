#include "scene/dirty_index.h"

#include <algorithm>
#include <iterator>

namespace mox {

int DirtyIndex::CellOf(int v)
{
    if (v < 0)
        return 0;
    const int c = v >> kCellShift;
    return c >= kCellsPerSide ? kCellsPerSide - 1 : c;
}

DirtyIndex::Span DirtyIndex::SpanOf(int left, int top, int right, int bottom)
{
    return Span{CellOf(left), CellOf(top), CellOf(right), CellOf(bottom)};
}

void DirtyIndex::Reset()
{
    for (std::uint32_t cell : m_touched)
        m_head[cell] = kNone;
    m_touched.clear();
    m_nodes.clear();
    m_entries.clear();
    m_alive.clear();
    m_far.clear();
    m_widest = m_tallest = {0, 0};
    m_anyNotBox = false;
    m_big.clear();
    m_liveEntries = 0;
    m_liveNodes = 0;
    m_backEntry = 0;
    m_valid = true;
}

bool DirtyIndex::InSync(const RectList& list) const
{
    if (!m_valid || list.size() != m_liveEntries)
        return false;
    if (list.empty())
        return true;
    const Entry& e = m_entries[m_backEntry];
    const CMoxRect& back = list.back();
    return &*e.it == &back && back.X == e.left && back.Y == e.top && back.X + back.Width == e.right &&
           back.Y + back.Height == e.bottom;
}

bool DirtyIndex::Follows(const RectList& list)
{
    if (list.empty()) {
        if (!m_valid || !m_entries.empty())
            Reset();
        return true;
    }
    if (!InSync(list))
        m_valid = false;
    return m_valid;
}

void DirtyIndex::Allocate()
{
    // Room for a busy frame up front, so that adding a rectangle rarely allocates anything but
    // its list node.
    m_head.assign(std::size_t(kCellsPerSide) * kCellsPerSide, kNone);
    m_nodes.reserve(4096);
    m_entries.reserve(1024);
    m_alive.reserve(1024);
    m_far.reserve(1024);
    m_touched.reserve(1024);
    m_absorbed.reserve(64);
}

void DirtyIndex::Insert(RectList::iterator it)
{
    if (m_head.empty())
        Allocate();
    const CMoxRect& r = *it;
    const auto id = std::uint32_t(m_entries.size());
    m_entries.push_back(Entry{it, r.X, r.Y, r.X + r.Width, r.Y + r.Height, 0});
    m_alive.push_back(1);
    const std::pair<int, int> corner(r.X + r.Width, r.Y + r.Height); // ("far" is a macro on Windows)
    m_far.push_back(corner);
    if (corner.first > 0 && corner.second > 0) {
        m_widest = std::max(m_widest, corner);
        if (Taller(corner, m_tallest))
            m_tallest = corner;
    } else {
        m_anyNotBox = true;
    }
    Entry& e = m_entries.back();
    ++m_liveEntries;
    m_backEntry = id;
    const Span s = SpanOf(e.left, e.top, e.right, e.bottom);
    if (std::int64_t(s.x1 - s.x0 + 1) * (s.y1 - s.y0 + 1) > kBigCells) {
        m_big.push_back(id);
        return;
    }
    for (int cy = s.y0; cy <= s.y1; ++cy) {
        for (int cx = s.x0; cx <= s.x1; ++cx) {
            const std::uint32_t cell = std::uint32_t(cy) * kCellsPerSide + std::uint32_t(cx);
            if (m_head[cell] == kNone)
                m_touched.push_back(cell);
            m_nodes.push_back(Node{id, m_head[cell], e.left, e.top, e.right, e.bottom});
            m_head[cell] = std::uint32_t(m_nodes.size() - 1);
            ++e.cells;
        }
    }
    m_liveNodes += e.cells;
}

void DirtyIndex::Adopt(RectList& list)
{
    Reset();
    for (auto it = list.begin(); it != list.end(); ++it)
        Insert(it);
}

bool DirtyIndex::HasContainer(const CMoxRect& r)
{
    if (m_head.empty())
        return false;
    const int right = r.X + r.Width, bottom = r.Y + r.Height;
    // A rectangle holding r holds its top-left corner, so it is registered in that corner's cell.
    std::uint32_t* link = &m_head[std::uint32_t(CellOf(r.Y)) * kCellsPerSide + std::uint32_t(CellOf(r.X))];
    while (*link != kNone) {
        Node& n = m_nodes[*link];
        if (!m_alive[n.entry]) {
            *link = n.next; // drop nodes of erased rectangles as they are met
            continue;
        }
        link = &n.next;
        if (n.left <= r.X && right <= n.right && n.top <= r.Y && bottom <= n.bottom)
            return true;
    }
    for (std::uint32_t id : m_big) {
        const Entry& e = m_entries[id];
        if (m_alive[id] && e.left <= r.X && right <= e.right && e.top <= r.Y && bottom <= e.bottom)
            return true;
    }
    return false;
}

void DirtyIndex::Add(RectList& list, const CMoxRect& r)
{
    if (HasContainer(r))
        return; // already covered: the list is unchanged
    if (m_head.empty())
        Allocate();

    // Grow the new rectangle by every listed one it meets until none is left to meet.
    int left = r.X, top = r.Y, right = r.X + r.Width, bottom = r.Y + r.Height;
    m_absorbed.clear();
    for (bool grew = true; grew;) {
        grew = false;
        const Span s = SpanOf(left, top, right, bottom);
        for (int cy = s.y0; cy <= s.y1; ++cy) {
            for (int cx = s.x0; cx <= s.x1; ++cx) {
                std::uint32_t* link = &m_head[std::uint32_t(cy) * kCellsPerSide + std::uint32_t(cx)];
                while (*link != kNone) {
                    Node& n = m_nodes[*link];
                    if (!m_alive[n.entry]) {
                        *link = n.next;
                        continue;
                    }
                    link = &n.next;
                    if (n.left > right || left > n.right || n.top > bottom || top > n.bottom)
                        continue; // closed areas share no point
                    m_alive[n.entry] = 0;
                    m_far[n.entry] = {0, 0};
                    --m_liveEntries;
                    m_liveNodes -= m_entries[n.entry].cells;
                    m_absorbed.push_back(n.entry);
                    left = std::min(left, n.left);
                    top = std::min(top, n.top);
                    right = std::max(right, n.right);
                    bottom = std::max(bottom, n.bottom);
                    grew = true;
                }
            }
        }
        for (std::size_t k = 0; k < m_big.size();) {
            const std::uint32_t id = m_big[k];
            if (!m_alive[id]) {
                m_big[k] = m_big.back(); // erased: drop it (the list's order is kept elsewhere)
                m_big.pop_back();
                continue;
            }
            ++k;
            const Entry& e = m_entries[id];
            if (e.left > right || left > e.right || e.top > bottom || top > e.bottom)
                continue;
            m_alive[id] = 0;
            m_far[id] = {0, 0};
            --m_liveEntries;
            m_absorbed.push_back(id);
            left = std::min(left, e.left);
            top = std::min(top, e.top);
            right = std::max(right, e.right);
            bottom = std::max(bottom, e.bottom);
            grew = true;
        }
    }

    // The absorbed rectangles leave, the others keep their order, the result goes to the back.
    for (std::uint32_t id : m_absorbed)
        list.erase(m_entries[id].it);
    list.push_back(CMoxRect(left, top, right - left, bottom - top));
    Insert(std::prev(list.end()));

    // Erased rectangles leave their nodes behind until a query passes them; rebuild when they
    // outnumber the live ones, so a list that is never emptied keeps a bounded index.
    if (m_nodes.size() > 4096 && m_nodes.size() > 3 * m_liveNodes)
        Adopt(list);
}

} // namespace mox
