// Widening, the third step of a composition pass. A text or vector sprite cannot be drawn in
// part, so one that a dirty rectangle touches becomes dirty whole: its rectangle joins the dirty
// list, where it may touch further sprites. The walk that does this restarts from the first
// sprite after every widening, so the next sprite widened is always the first, in list order,
// that touches the list as it is then.
//
// Why the shortcut below widens the same sprites in the same order. When every rectangle
// involved has a non-negative size and lies where the list's merges are exact bounding boxes,
// touching means sharing a point, and a rectangle that leaves the list lies inside the one that
// replaced it. A sprite then touches the list as it is now exactly when it touches the list the
// step began with or a rectangle some widening added. The first list is indexed once and each
// sprite is tested against it once; each added rectangle finds the sprites it touches through a
// grid of the open sprites. Touched sprites behind the walk's position wait in list order: the
// next one widened is the first of them, else the next sprite ahead that touches. The walk
// instead meets the whole list again on every restart. Anything else takes the walk itself.
#pragma once

#include <MoxImage2.h>

#include "scene/dirty_grid.h"
#include "scene/dirty_index.h"
#include "scene/listed_sprite.h"
#include "scene/rect_geometry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <vector>

namespace mox {

// Calls f with the closed strips of `outer` that lie outside `inner` (which it contains): a
// rectangle touches outer but not inner exactly when it touches one of them.
template <typename F> void ForEachStrip(const Gdiplus::Rect& outer, const Gdiplus::Rect& inner, F f)
{
    const std::int64_t ol = outer.X, ot = outer.Y, orr = RightOf(outer), ob = BottomOf(outer);
    const std::int64_t il = inner.X, it = inner.Y, ir = RightOf(inner), ib = BottomOf(inner);
    auto strip = [&f](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        if (l <= r && t <= b)
            f(Gdiplus::Rect(int(l), int(t), int(r - l), int(b - t)));
    };
    strip(ol, ot, orr, it - 1); // above
    strip(ol, ib + 1, orr, ob); // below
    strip(ol, it, il - 1, ib);  // left
    strip(ir + 1, it, orr, ib); // right
}

// The open sprites of one widening step in buckets of at least 32 pixels, at most 64 a side,
// each bucket a slice of one array. A sprite that stops being open is dropped from the slices
// it is met in, and a row's bit of a bucket is cleared once the bucket is empty, so every added
// rectangle visits only what may still be touched.
class OpenSprites {
public:
    // Indexes `rects` (which must outlive the next Build) over a canvas, reusing the storage of
    // the previous Build.
    void Build(const std::vector<Gdiplus::Rect>& rects, int canvasWidth, int canvasHeight)
    {
        m_rects = &rects;
        const int longest = std::max(std::max(canvasWidth, canvasHeight), 1);
        m_shift = 5;
        while ((longest >> m_shift) >= 64)
            ++m_shift;
        m_cols = std::max(1, (std::max(canvasWidth, 1) + (1 << m_shift) - 1) >> m_shift);
        m_rows = std::max(1, (std::max(canvasHeight, 1) + (1 << m_shift) - 1) >> m_shift);
        m_start.assign(std::size_t(m_cols) * m_rows + 1, 0);
        for (const Gdiplus::Rect& r : rects)
            ForCells(r, [&](std::size_t c) { ++m_start[c + 1]; });
        for (std::size_t c = 1; c < m_start.size(); ++c)
            m_start[c] += m_start[c - 1];
        m_end.assign(m_start.begin(), m_start.end() - 1);
        m_entries.resize(m_start.back());
        for (std::size_t j = 0; j < rects.size(); ++j)
            ForCells(rects[j], [&](std::size_t c) { m_entries[m_end[c]++] = std::uint32_t(j); });
        m_occupied.assign(std::size_t(m_rows), 0);
        for (std::size_t c = 0; c + 1 < m_start.size(); ++c)
            if (m_end[c] != m_start[c])
                m_occupied[c / m_cols] |= std::uint64_t(1) << (c % m_cols);
    }

    // Calls f(j) once for every open sprite j (state Unseen or Passed) that r touches.
    template <typename State, typename F>
    void ForEachTouching(const Gdiplus::Rect& r, const std::vector<State>& state, F f)
    {
        const int x0 = CellOf(r.X, m_cols), x1 = CellOf(std::int64_t(r.X) + r.Width, m_cols);
        const int y0 = CellOf(r.Y, m_rows), y1 = CellOf(std::int64_t(r.Y) + r.Height, m_rows);
        const std::uint64_t span = (x1 - x0 == 63 ? ~std::uint64_t(0) : ((std::uint64_t(1) << (x1 - x0 + 1)) - 1))
                                   << x0;
        Gdiplus::Rect unused;
        for (int cy = y0; cy <= y1; ++cy) {
            for (std::uint64_t bits = m_occupied[std::size_t(cy)] & span; bits; bits &= bits - 1) {
                const int cx = Lowest(bits);
                const std::size_t c = std::size_t(cy) * m_cols + std::size_t(cx);
                for (std::uint32_t k = m_start[c]; k < m_end[c];) {
                    const std::uint32_t j = m_entries[k];
                    if (state[j] != State::Unseen && state[j] != State::Passed) {
                        m_entries[k] = m_entries[--m_end[c]]; // no longer open: forget it here
                        continue;
                    }
                    ++k;
                    if (ClosedOverlap(r, (*m_rects)[j], &unused))
                        f(j); // the caller marks it, so later cells forget it
                }
                if (m_end[c] == m_start[c])
                    m_occupied[std::size_t(cy)] &= ~(std::uint64_t(1) << cx);
            }
        }
    }

private:
    int CellOf(std::int64_t v, int count) const
    {
        if (v < 0)
            return 0;
        const std::int64_t c = v >> m_shift;
        return c >= count ? count - 1 : int(c);
    }
    template <typename F> void ForCells(const Gdiplus::Rect& r, F f) const
    {
        const int x0 = CellOf(r.X, m_cols), x1 = CellOf(std::int64_t(r.X) + r.Width, m_cols);
        const int y0 = CellOf(r.Y, m_rows), y1 = CellOf(std::int64_t(r.Y) + r.Height, m_rows);
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx)
                f(std::size_t(cy) * m_cols + std::size_t(cx));
    }
    static int Lowest(std::uint64_t bits)
    {
#if defined(__GNUC__) || defined(__clang__)
        return __builtin_ctzll(bits);
#else
        int n = 0;
        while (!(bits & 1)) {
            bits >>= 1;
            ++n;
        }
        return n;
#endif
    }

    const std::vector<Gdiplus::Rect>* m_rects = nullptr;
    int m_shift = 5, m_cols = 1, m_rows = 1;
    std::vector<std::uint32_t> m_start, m_end, m_entries;
    std::vector<std::uint64_t> m_occupied; // per row of buckets: which are not empty
};

// Where an open sprite stands in the step: not looked at yet, looked at and touching nothing,
// found touching a rectangle, or widened.
enum class WidenState : unsigned char { Unseen, Passed, Touched, Widened };

// The working memory of the step, kept from one pass to the next so that a steady scene does
// not allocate it every frame.
struct WideningScratch {
    std::vector<std::size_t> open; // text and vector entries not yet dirty, in list order
    std::vector<CMoxRect> first;   // the dirty list as the step found it
    DirtyGrid grid;                // over `first`
    std::vector<CMoxRect*> nearby;
    std::vector<WidenState> state; // by open entry
    std::vector<Gdiplus::Rect> rects;
    OpenSprites sprites;           // over `rects`
    std::vector<std::size_t> ready; // a min-heap: touched entries behind the scan
};

// Sets zang to 1 for every text or vector entry (zang 0) the dirty rectangles touch, adding its
// rectangle to `zang`, exactly as the restarting walk does. The canvas size only shapes the index.
inline void WidenTouched(std::vector<ListedSprite>& listed, CMoxZang& zang, int canvasWidth, int canvasHeight,
                         WideningScratch& scratch)
{
    std::list<CMoxRect>& dirty = zang.m_RectList;
    if (dirty.empty())
        return;
    std::vector<std::size_t>& open = scratch.open;
    open.clear();
    bool exact = true;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (!listed[i].VectorOrText() || listed[i].zang != 0)
            continue;
        open.push_back(i);
        const Gdiplus::Rect& r = listed[i].rect;
        exact = exact && DirtyIndex::Eligible(CMoxRect(r.X, r.Y, r.Width, r.Height));
    }
    if (open.empty())
        return;
    for (const CMoxRect& d : dirty)
        exact = exact && DirtyIndex::Eligible(d);

    auto widen = [&](ListedSprite& k) {
        CMoxRect rect(k.rect.X, k.rect.Y, k.rect.Width, k.rect.Height);
        zang.AddRect(rect);
        k.zang = 1;
    };

    if (!exact) {
        // The walk itself, over the entries that can widen.
        for (bool widened = true; widened;) {
            widened = false;
            for (std::size_t i : open) {
                ListedSprite& k = listed[i];
                if (k.zang != 0)
                    continue;
                CMoxRect rect(k.rect.X, k.rect.Y, k.rect.Width, k.rect.Height);
                for (CMoxRect& d : dirty) {
                    if (d.CheckSuperpose(rect) == 1) {
                        widen(k);
                        widened = true;
                        break;
                    }
                }
                if (widened)
                    break;
            }
        }
        return;
    }

    // The list as the step found it, indexed once. A sprite that touches nothing in it can touch
    // the list later only through a rectangle a widening adds; each added rectangle finds the
    // sprites it touches through a grid of the open sprites, which forgets a sprite once found.
    scratch.first.assign(dirty.begin(), dirty.end());
    DirtyGrid& grid = scratch.grid;
    grid.Build(scratch.first, canvasWidth, canvasHeight);
    std::vector<CMoxRect*>& nearby = scratch.nearby;
    auto touchesFirst = [&](const Gdiplus::Rect& r) {
        if (!grid.MayMeetAny(r))
            return false;
        grid.Candidates(r, &nearby);
        Gdiplus::Rect unused;
        for (const CMoxRect* d : nearby)
            if (ClosedOverlap(*d, r, &unused))
                return true;
        return false;
    };

    using State = WidenState;
    std::vector<State>& state = scratch.state;
    state.assign(open.size(), State::Unseen);
    std::vector<Gdiplus::Rect>& rects = scratch.rects;
    rects.resize(open.size());
    for (std::size_t j = 0; j < open.size(); ++j)
        rects[j] = listed[open[j]].rect;
    OpenSprites& sprites = scratch.sprites;
    sprites.Build(rects, canvasWidth, canvasHeight);
    std::vector<std::size_t>& ready = scratch.ready; // touched, behind the scan
    ready.clear();

    std::size_t scan = 0; // the walk has looked at every open sprite before this one
    Gdiplus::Rect last;   // the last rectangle whose touching sprites were looked up
    bool lookedUp = false;
    for (;;) {
        std::size_t next = open.size();
        if (!ready.empty()) {
            std::pop_heap(ready.begin(), ready.end(), std::greater<>());
            next = ready.back(); // the first touched sprite: all before it touch nothing
            ready.pop_back();
        } else {
            for (; scan < open.size() && next == open.size(); ++scan) {
                if (state[scan] == State::Widened)
                    continue;
                if (state[scan] == State::Touched || touchesFirst(rects[scan]))
                    next = scan;
                else
                    state[scan] = State::Passed;
            }
        }
        if (next == open.size())
            return;
        state[next] = State::Widened;
        widen(listed[open[next]]);
        // What the widening added (or a rectangle already there). Sprites touching the last
        // rectangle looked up are known, so only the part of this one outside it is looked up.
        const Gdiplus::Rect added = dirty.back();
        auto mark = [&](std::size_t j) {
            state[j] = State::Touched;
            if (j < scan) {
                ready.push_back(j);
                std::push_heap(ready.begin(), ready.end(), std::greater<>());
            }
        };
        if (lookedUp && ContainsRect(added, last)) {
            ForEachStrip(added, last, [&](const Gdiplus::Rect& strip) { sprites.ForEachTouching(strip, state, mark); });
        } else {
            sprites.ForEachTouching(added, state, mark);
        }
        last = added;
        lookedUp = true;
    }
}

} // namespace mox
