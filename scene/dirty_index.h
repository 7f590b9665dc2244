// A spatial index over the dirty-rectangle list, so that adding a rectangle looks only at the
// listed rectangles near it instead of walking the whole list.
//
// Why a uniform grid of 32-pixel cells: dirty rectangles are mostly sprite-sized and spread over
// a canvas of known, bounded extent, so a cell holds a handful of them and a query touches a
// few cells. Cells are chains of nodes in one pool (no allocation per cell), and a frame's
// InitSprite resets only the cells it touched. A rectangle spanning more than kBigCells cells
// (a merged area, a whole background) is kept in a short list every query reads instead, so
// that growing it does not re-register it cell by cell. Coordinates outside the grid's
// 8192 x 8192 pixels are pinned to the border cells: such rectangles are found more slowly,
// never missed.
//
// Why the result equals the described walk. A list built only by adding rectangles of
// non-negative size (within the range where no edge sum is clamped) holds rectangles that
// never meet. For such a list and such a rectangle r, the walk keeps every listed rectangle
// that does not meet its final N, erases every one that does, and leaves N at the back; N is
// the smallest rectangle that holds r and every listed rectangle it meets. That closure does
// not depend on the order in which rectangles are absorbed, so it can be found through the
// grid. Anything else (a negative size, a huge coordinate, a list the host changed) goes
// through the walk itself, and the index waits for the list to be emptied.
#pragma once

#include <MoxImage2.h>

#include <cstdint>
#include <list>
#include <utility>
#include <vector>

namespace mox {

class DirtyIndex {
public:
    using RectList = std::list<CMoxRect>;

    // Whether r may take the indexed path: sizes not negative, edges well inside the int range
    // (up to 2^28 from the origin every sum and bounding box of listed rectangles stays far
    // inside it, where the walk never clamps a field).
    static bool Eligible(const CMoxRect& r)
    {
        constexpr int kLimit = 1 << 28;
        return r.Width >= 0 && r.Height >= 0 && r.Width <= kLimit && r.Height <= kLimit && r.X >= -kLimit &&
               r.X <= kLimit && r.Y >= -kLimit && r.Y <= kLimit;
    }

    // Whether the index still describes `list`. An emptied list always starts a fresh index;
    // a list whose length or last element no longer matches what was indexed was changed
    // from outside, and the index stays off until the list is emptied.
    bool Follows(const RectList& list);

    // The same test without starting afresh, for copying a list together with its index.
    bool InSync(const RectList& list) const;

    // The list was emptied.
    void Clear() { Reset(); }

    // Every listed rectangle's far corner (right, bottom), in no particular order, as one dense
    // array in which an erased rectangle reads (0, 0), which presents nothing; null when the
    // index does not follow `list`.
    const std::vector<std::pair<int, int>>* FarCorners(const RectList& list) const
    {
        return InSync(list) ? &m_far : nullptr;
    }

    // Of the far corners with both coordinates positive, the greatest by right then bottom and
    // the greatest by bottom then right ((0, 0) when there is none), and whether any corner has
    // a coordinate of 0 or less. Kept as rectangles are added: an erased rectangle lies inside a
    // listed one, whose corner is at least as far both ways, so it never holds a maximum alone.
    std::pair<int, int> Widest() const { return m_widest; }
    // Whether corner a is further down than b, or as far down and further right.
    static bool Taller(const std::pair<int, int>& a, const std::pair<int, int>& b)
    {
        return a.second != b.second ? a.second > b.second : a.first > b.first;
    }
    std::pair<int, int> Tallest() const { return m_tallest; }
    bool AnyNotBox() const { return m_anyNotBox; }

    // Adds r to `list` exactly as the described walk does. Requires Follows(list) and Eligible(r).
    void Add(RectList& list, const CMoxRect& r);

    // The list was changed by the walk or by a host: stop using the index until it is emptied.
    void Disown() { m_valid = false; }

    // Indexes a list known to hold rectangles that never meet (a copy of an indexed list).
    void Adopt(RectList& list);

private:
    static constexpr int kCellShift = 5; // 32-pixel cells
    static constexpr int kCellsPerSide = 256;
    static constexpr int kBigCells = 16;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Entry {
        RectList::iterator it;
        int left, top, right, bottom; // closed edges
        std::uint32_t cells;          // nodes registered for it; 0 for a big rectangle
    };
    // A cell's link to a rectangle, with a copy of its edges: a walk along a cell's chain tests
    // them without visiting the rectangle's entry, and the compact alive flags say which links
    // are stale.
    struct Node {
        std::uint32_t entry;
        std::uint32_t next;
        int left, top, right, bottom;
    };
    struct Span {
        int x0, y0, x1, y1; // inclusive cell range
    };

    static int CellOf(int v);
    static Span SpanOf(int left, int top, int right, int bottom);
    void Allocate();
    void Reset();
    void Insert(RectList::iterator it);
    bool HasContainer(const CMoxRect& r);
    void CompactIfNeeded(RectList& list);

    std::vector<std::uint32_t> m_head; // first node of each cell; allocated on first use
    std::vector<std::uint32_t> m_touched;
    std::vector<Node> m_nodes;
    std::vector<Entry> m_entries;
    std::vector<std::uint8_t> m_alive; // by entry: 0 once erased from the list
    std::vector<std::pair<int, int>> m_far; // by entry: right and bottom edges, (0, 0) once erased
    std::pair<int, int> m_widest{0, 0}, m_tallest{0, 0};
    bool m_anyNotBox = false;
    std::vector<std::uint32_t> m_big;  // entries of big rectangles, erased ones dropped lazily
    std::vector<std::uint32_t> m_absorbed;
    std::uint32_t m_backEntry = 0; // the entry of the list's last element
    std::size_t m_liveEntries = 0;
    std::size_t m_liveNodes = 0;
    bool m_valid = true;
};

} // namespace mox
