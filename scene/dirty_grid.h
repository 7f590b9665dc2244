// A bucket grid over the dirty rectangles of one composition pass, so that drawing an unchanged
// image sprite in part looks only at the dirty rectangles near it instead of at all of them.
#pragma once

#include <MoxImage2.h>

#include <algorithm>
#include <cstdint>
#include <list>
#include <vector>

namespace mox {

class DirtyGrid {
public:
    // Below this many rectangles a plain walk of the list is cheaper than the grid.
    static constexpr size_t kMinRects = 8;

    // Indexes the rectangles, a list or a vector of them, which must stay in place and unchanged
    // until the next Build, over a canvas. A grid built again reuses its storage.
    template <typename Rects> void Build(Rects& rects, int canvasWidth, int canvasHeight)
    {
        m_rects.clear();
        m_always.clear();
        for (CMoxRect& r : rects)
            m_rects.push_back(&r);
        m_useGrid = m_rects.size() >= kMinRects;
        if (!m_useGrid)
            return;

        const int longest = std::max(std::max(canvasWidth, canvasHeight), 1);
        m_buckets = Layout::Over(canvasWidth, canvasHeight, ShiftFor(longest, kMinBucketShift, kMaxBucketsPerSide));
        m_marks = Layout::Over(canvasWidth, canvasHeight, ShiftFor(longest, kMinMarkShift, kMaxMarksPerSide));
        m_markWords = (m_marks.cols + 63) / 64;
        m_marked.assign(size_t(m_markWords) * m_marks.rows, 0);
        m_useOwners = m_rects.size() >= kMinOwnerRects;
        if (m_useOwners)
            m_owner.assign(size_t(m_marks.cols) * m_marks.rows, kNobody);

        // Two passes over the rectangles: count per bucket, then fill (compressed rows). The
        // first pass also marks the cells of the occupancy mask.
        m_start.assign(size_t(m_buckets.cols) * m_buckets.rows + 1, 0);
        m_first.resize(m_rects.size());
        for (size_t i = 0; i < m_rects.size(); ++i) {
            const Gdiplus::Rect& r = *m_rects[i];
            if (r.Width < 0 || r.Height < 0) {
                m_always.push_back(std::uint32_t(i)); // other rules of meeting: never bucketed
                continue;
            }
            const Box b = BoxOf(r);
            const Span s = m_buckets.SpanOf(b);
            m_first[i] = Entry::Of(b, std::uint32_t(i), s);
            for (int cy = s.y0; cy <= s.y1; ++cy)
                for (int cx = s.x0; cx <= s.x1; ++cx)
                    ++m_start[size_t(cy) * m_buckets.cols + cx + 1];
            Mark(m_marks.SpanOf(b), std::uint32_t(i));
        }
        for (size_t c = 1; c < m_start.size(); ++c)
            m_start[c] += m_start[c - 1];
        m_entries.resize(m_start.back());
        std::vector<std::uint32_t> fill(m_start.begin(), m_start.end() - 1);
        for (size_t i = 0; i < m_rects.size(); ++i) {
            if (m_rects[i]->Width < 0 || m_rects[i]->Height < 0)
                continue;
            const Span s = m_buckets.SpanOf(BoxOf(*m_rects[i]));
            for (int cy = s.y0; cy <= s.y1; ++cy)
                for (int cx = s.x0; cx <= s.x1; ++cx)
                    m_entries[fill[size_t(cy) * m_buckets.cols + cx]++] = m_first[i];
        }
    }

    // False when no indexed rectangle can meet r: a few bits of the occupancy mask decide it,
    // so a sprite far from every dirty area costs next to nothing.
    bool MayMeetAny(const Gdiplus::Rect& r) const
    {
        if (!m_useGrid || r.Width < 0 || r.Height < 0 || !m_always.empty())
            return !m_rects.empty();
        const Span s = m_marks.SpanOf(BoxOf(r));
        const int w0 = s.x0 >> 6, w1 = s.x1 >> 6;
        const std::uint64_t first = ~std::uint64_t(0) << (s.x0 & 63);
        const std::uint64_t last = ~std::uint64_t(0) >> (63 - (s.x1 & 63));
        for (int cy = s.y0; cy <= s.y1; ++cy) {
            const std::uint64_t* row = &m_marked[size_t(cy) * m_markWords];
            if (w0 == w1) {
                if (row[w0] & first & last)
                    return true;
                continue;
            }
            if ((row[w0] & first) || (row[w1] & last))
                return true;
            for (int w = w0 + 1; w < w1; ++w)
                if (row[w])
                    return true;
        }
        return false;
    }

    // Every indexed rectangle whose closed area may meet r, each once, in list order. Exact
    // tests are the caller's: this only leaves out rectangles that cannot meet r. Callers ask
    // MayMeetAny first, which turns most sprites away for less.
    void Candidates(const Gdiplus::Rect& r, std::vector<CMoxRect*>* out)
    {
        out->clear();
        if (!m_useGrid || r.Width < 0 || r.Height < 0) {
            out->assign(m_rects.begin(), m_rects.end());
            return;
        }
        const Box q = BoxOf(r);
        m_found.clear();
        if (m_useOwners && m_always.empty() && FromOwners(m_marks.SpanOf(q))) {
            for (std::uint32_t i : m_found)
                out->push_back(m_rects[i]);
            return;
        }
        m_found.clear();
        const Span s = m_buckets.SpanOf(q);
        if (std::int64_t(s.x1 - s.x0 + 1) * (s.y1 - s.y0 + 1) >= std::int64_t(m_rects.size())) {
            // A query as large as a background: testing every rectangle in list order costs less
            // than visiting its buckets and sorting what they hold.
            for (CMoxRect* d : m_rects) {
                const Box b = BoxOf(*d);
                if (d->Width < 0 || d->Height < 0 ||
                    (b.left <= q.right && q.left <= b.right && b.top <= q.bottom && q.top <= b.bottom))
                    out->push_back(d);
            }
            return;
        }
        for (int cy = s.y0; cy <= s.y1; ++cy)
            for (int cx = s.x0; cx <= s.x1; ++cx) {
                const size_t c = size_t(cy) * m_buckets.cols + cx;
                for (std::uint32_t k = m_start[c]; k < m_start[c + 1]; ++k) {
                    const Entry& e = m_entries[k];
                    // Taken only in the first bucket both spans share, so once per query.
                    if (e.left <= q.right && q.left <= e.right && e.top <= q.bottom && q.top <= e.bottom &&
                        cx == std::max<int>(e.cx0, s.x0) && cy == std::max<int>(e.cy0, s.y0))
                        m_found.push_back(e.index);
                }
            }
        m_found.insert(m_found.end(), m_always.begin(), m_always.end());
        if (m_found.size() > 16)
            std::sort(m_found.begin(), m_found.end());
        else
            SortFew(m_found);
        for (std::uint32_t i : m_found)
            out->push_back(m_rects[i]);
    }

private:
    // Buckets of 16 pixels or more, at most 64 a side; mask cells of 4 pixels or more, at most
    // 1,024 a side. Sizes are powers of two, so that a coordinate's cell is a shift away.
    static constexpr int kMinBucketShift = 4;
    static constexpr int kMaxBucketsPerSide = 64;
    static constexpr int kMinMarkShift = 2;
    static constexpr int kMaxMarksPerSide = 1024;
    // The owner map pays for its set-up only when there are many rectangles to sort through.
    static constexpr size_t kMinOwnerRects = 512;
    static constexpr int kMaxOwnerCells = 16;
    static constexpr std::uint32_t kNobody = 0xFFFFFFFFu;
    static constexpr std::uint32_t kSeveral = 0xFFFFFFFEu;

    struct Span {
        int x0, y0, x1, y1; // inclusive cell range
    };
    // A rectangle's closed edges.
    struct Box {
        std::int64_t left, top, right, bottom;
    };
    // A bucket's copy of a rectangle, so that a query need not visit the list: its edges, with
    // right and bottom pinned to the int range (which leaves every meeting test as it was, since
    // no left or top edge lies past it), its place in the list and the first bucket of its span.
    struct Entry {
        int left, top, right, bottom;
        std::uint32_t index;
        std::uint16_t cx0, cy0;

        static Entry Of(const Box& b, std::uint32_t index, const Span& s)
        {
            constexpr std::int64_t kMax = 0x7FFFFFFF;
            return Entry{int(b.left), int(b.top),          int(std::min(b.right, kMax)), int(std::min(b.bottom, kMax)),
                         index,       std::uint16_t(s.x0), std::uint16_t(s.y0)};
        }
    };
    // Cells of 2^shift pixels over the canvas. Coordinates outside it are pinned to the border
    // cells: such rectangles are found more slowly, never missed.
    struct Layout {
        int shift = 4, cols = 1, rows = 1;

        static Layout Over(int width, int height, int shift)
        {
            const int cell = 1 << shift;
            return Layout{shift, std::max(1, (std::max(width, 1) + cell - 1) >> shift),
                          std::max(1, (std::max(height, 1) + cell - 1) >> shift)};
        }
        int CellOf(std::int64_t v, int count) const
        {
            if (v < 0)
                return 0;
            const std::int64_t c = v >> shift;
            return c >= count ? count - 1 : int(c);
        }
        Span SpanOf(const Box& b) const
        {
            return Span{CellOf(b.left, cols), CellOf(b.top, rows), CellOf(b.right, cols), CellOf(b.bottom, rows)};
        }
    };

    // A query finds a handful of rectangles at most: an insertion sort puts them in list order
    // for less than a general sort's set-up.
    static void SortFew(std::vector<std::uint32_t>& v)
    {
        for (size_t i = 1; i < v.size(); ++i) {
            const std::uint32_t x = v[i];
            size_t j = i;
            for (; j > 0 && v[j - 1] > x; --j)
                v[j] = v[j - 1];
            v[j] = x;
        }
    }

    static int ShiftFor(int longest, int minShift, int maxCells)
    {
        int shift = minShift;
        while ((longest >> shift) >= maxCells)
            ++shift;
        return shift;
    }
    static Box BoxOf(const Gdiplus::Rect& r)
    {
        return Box{r.X, r.Y, std::int64_t(r.X) + r.Width, std::int64_t(r.Y) + r.Height};
    }

    // A small query reads the owners of the mask cells it covers: each names the one rectangle
    // that covers the cell, which is most of them since listed rectangles rarely meet. False
    // (and the buckets decide) when the query is larger or a cell has several rectangles.
    bool FromOwners(const Span& s)
    {
        if ((s.x1 - s.x0 + 1) * (s.y1 - s.y0 + 1) > kMaxOwnerCells)
            return false;
        for (int cy = s.y0; cy <= s.y1; ++cy) {
            const std::uint32_t* row = &m_owner[size_t(cy) * m_marks.cols];
            for (int cx = s.x0; cx <= s.x1; ++cx) {
                const std::uint32_t owner = row[cx];
                if (owner == kSeveral)
                    return false;
                if (owner != kNobody && std::find(m_found.begin(), m_found.end(), owner) == m_found.end())
                    m_found.push_back(owner);
            }
        }
        SortFew(m_found); // at most kMaxOwnerCells
        return true;
    }

    void Mark(const Span& s, std::uint32_t index)
    {
        for (int cy = s.y0; cy <= s.y1 && m_useOwners; ++cy) {
            std::uint32_t* owners = &m_owner[size_t(cy) * m_marks.cols];
            for (int cx = s.x0; cx <= s.x1; ++cx)
                owners[cx] = owners[cx] == kNobody || owners[cx] == index ? index : kSeveral;
        }
        for (int cy = s.y0; cy <= s.y1; ++cy) {
            std::uint64_t* row = &m_marked[size_t(cy) * m_markWords];
            for (int cx = s.x0; cx <= s.x1;) {
                if ((cx & 63) == 0 && cx + 63 <= s.x1) {
                    row[cx >> 6] = ~std::uint64_t(0);
                    cx += 64;
                } else {
                    row[cx >> 6] |= std::uint64_t(1) << (cx & 63);
                    ++cx;
                }
            }
        }
    }

    std::vector<CMoxRect*> m_rects;
    std::vector<std::uint32_t> m_always;
    std::vector<std::uint32_t> m_start;
    std::vector<Entry> m_entries;
    std::vector<Entry> m_first; // each rectangle's entry, by place in the list
    std::vector<std::uint32_t> m_found;
    std::vector<std::uint64_t> m_marked; // one bit per mask cell that some rectangle covers
    std::vector<std::uint32_t> m_owner;  // per mask cell: the rectangle covering it, kNobody or kSeveral
    Layout m_buckets, m_marks;
    int m_markWords = 1;
    bool m_useGrid = false;
    bool m_useOwners = false;
};

} // namespace mox
