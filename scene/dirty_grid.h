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

    // Indexes the rectangles (which must not change until the next Build) over a canvas.
    void Build(std::list<CMoxRect>& rects, int canvasWidth, int canvasHeight)
    {
        m_rects.clear();
        m_always.clear();
        for (CMoxRect& r : rects)
            m_rects.push_back(&r);
        m_stamp.assign(m_rects.size(), 0);
        m_now = 0;
        m_useGrid = m_rects.size() >= kMinRects;
        if (!m_useGrid)
            return;

        const int longest = std::max(std::max(canvasWidth, canvasHeight), 1);
        m_cell = std::max(16, (longest + kMaxCellsPerSide - 1) / kMaxCellsPerSide);
        m_cols = std::max(1, (std::max(canvasWidth, 1) + m_cell - 1) / m_cell);
        m_rows = std::max(1, (std::max(canvasHeight, 1) + m_cell - 1) / m_cell);

        // Two passes over the rectangles: count per cell, then fill (compressed rows).
        m_start.assign(size_t(m_cols) * m_rows + 1, 0);
        for (size_t i = 0; i < m_rects.size(); ++i) {
            Span s;
            if (!SpanOf(*m_rects[i], &s)) {
                m_always.push_back(std::uint32_t(i));
                continue;
            }
            for (int cy = s.y0; cy <= s.y1; ++cy)
                for (int cx = s.x0; cx <= s.x1; ++cx)
                    ++m_start[size_t(cy) * m_cols + cx + 1];
        }
        for (size_t c = 1; c < m_start.size(); ++c)
            m_start[c] += m_start[c - 1];
        m_entries.assign(m_start.back(), 0);
        std::vector<std::uint32_t> fill(m_start.begin(), m_start.end() - 1);
        for (size_t i = 0; i < m_rects.size(); ++i) {
            Span s;
            if (!SpanOf(*m_rects[i], &s))
                continue;
            for (int cy = s.y0; cy <= s.y1; ++cy)
                for (int cx = s.x0; cx <= s.x1; ++cx)
                    m_entries[fill[size_t(cy) * m_cols + cx]++] = std::uint32_t(i);
        }
    }

    // Every indexed rectangle whose closed area may meet r, each once, in list order. Exact
    // tests are the caller's: this only leaves out rectangles that cannot meet r.
    void Candidates(const Gdiplus::Rect& r, std::vector<CMoxRect*>* out)
    {
        out->clear();
        Span s;
        if (!m_useGrid || !SpanOf(r, &s)) {
            out->assign(m_rects.begin(), m_rects.end());
            return;
        }
        if (m_always.empty() && !AnyIn(s))
            return; // the usual case: nothing dirty near r
        if (++m_now == 0) {
            std::fill(m_stamp.begin(), m_stamp.end(), 0);
            m_now = 1;
        }
        m_found.clear();
        for (int cy = s.y0; cy <= s.y1; ++cy)
            for (int cx = s.x0; cx <= s.x1; ++cx) {
                const size_t c = size_t(cy) * m_cols + cx;
                for (std::uint32_t k = m_start[c]; k < m_start[c + 1]; ++k)
                    Take(m_entries[k]);
            }
        for (std::uint32_t i : m_always)
            Take(i);
        if (m_found.size() > 1)
            std::sort(m_found.begin(), m_found.end());
        for (std::uint32_t i : m_found)
            out->push_back(m_rects[i]);
    }

private:
    static constexpr int kMaxCellsPerSide = 64;

    struct Span {
        int x0, y0, x1, y1; // inclusive cell range
    };

    // Cells covered by the closed area of r, pinned to the grid's border. Rectangles with a
    // negative size follow other rules of meeting; they are never bucketed.
    bool SpanOf(const Gdiplus::Rect& r, Span* s) const
    {
        if (r.Width < 0 || r.Height < 0)
            return false;
        const std::int64_t right = std::int64_t(r.X) + r.Width;
        const std::int64_t bottom = std::int64_t(r.Y) + r.Height;
        s->x0 = CellOf(r.X, m_cols);
        s->x1 = CellOf(right, m_cols);
        s->y0 = CellOf(r.Y, m_rows);
        s->y1 = CellOf(bottom, m_rows);
        return true;
    }

    bool AnyIn(const Span& s) const
    {
        for (int cy = s.y0; cy <= s.y1; ++cy) {
            const size_t row = size_t(cy) * m_cols;
            if (m_start[row + s.x1 + 1] != m_start[row + s.x0])
                return true;
        }
        return false;
    }

    int CellOf(std::int64_t v, int count) const
    {
        if (v < 0)
            return 0;
        const std::int64_t c = v / m_cell;
        return c >= count ? count - 1 : int(c);
    }

    void Take(std::uint32_t i)
    {
        if (m_stamp[i] == m_now)
            return;
        m_stamp[i] = m_now;
        m_found.push_back(i);
    }

    std::vector<CMoxRect*> m_rects;
    std::vector<std::uint32_t> m_always;
    std::vector<std::uint32_t> m_start;
    std::vector<std::uint32_t> m_entries;
    std::vector<std::uint32_t> m_stamp;
    std::vector<std::uint32_t> m_found;
    std::uint32_t m_now = 0;
    bool m_useGrid = false;
    int m_cell = 16;
    int m_cols = 1;
    int m_rows = 1;
};

} // namespace mox
