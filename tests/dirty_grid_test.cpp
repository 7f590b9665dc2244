// The dirty-rectangle grid must never leave out a rectangle that meets the query, nor its
// occupancy mask turn such a query away: checked against a plain walk of the list for many
// random lists and queries.
#include <MoxImage2.h>

#include "scene/dirty_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <list>
#include <random>
#include <vector>

namespace {

std::vector<CMoxRect*> Meeting(std::vector<CMoxRect*> rects, CMoxRect q)
{
    std::vector<CMoxRect*> out;
    for (CMoxRect* d : rects)
        if (d->CheckSuperpose(q) == 1)
            out.push_back(d);
    return out;
}

CMoxRect RandomRect(std::mt19937& rng, int w, int h)
{
    std::uniform_int_distribution<int> kind(0, 19);
    std::uniform_int_distribution<int> px(-20, w + 20), py(-20, h + 20), size(0, 40), neg(-30, 0);
    switch (kind(rng)) {
    case 0:
        return CMoxRect(px(rng), py(rng), neg(rng), size(rng)); // negative sizes follow other rules
    case 4:
        return CMoxRect(px(rng), py(rng), size(rng), neg(rng));
    case 1:
        return CMoxRect(INT_MIN + 5, py(rng), INT_MAX, size(rng)); // beyond every edge
    case 2:
        return CMoxRect(px(rng), py(rng), 0, 0); // a point
    case 3:
        return CMoxRect(INT_MAX - 10, py(rng), INT_MAX, size(rng)); // right edge past the int range
    default:
        return CMoxRect(px(rng), py(rng), size(rng), size(rng));
    }
}

// The grid is the caller's, so that a test can build one grid again and again, as a canvas does
// from frame to frame: nothing of an earlier list may linger.
void CheckAgainstWalk(mox::DirtyGrid& grid, std::list<CMoxRect>& dirty, int w, int h, std::mt19937& rng, int queries)
{
    std::vector<CMoxRect*> all;
    for (CMoxRect& r : dirty)
        all.push_back(&r);
    grid.Build(dirty, w, h);
    std::vector<CMoxRect*> nearby;
    for (int q = 0; q < queries; ++q) {
        // Every tenth query is about the canvas's size, as a background sprite's is.
        std::uniform_int_distribution<int> edge(-8, 8);
        CMoxRect query = q % 10 ? RandomRect(rng, w, h) : CMoxRect(edge(rng), edge(rng), w + edge(rng), h + edge(rng));
        grid.Candidates(query, &nearby);
        // In list order, each once.
        for (size_t i = 1; i < nearby.size(); ++i) {
            auto before = std::find(all.begin(), all.end(), nearby[i - 1]);
            auto after = std::find(all.begin(), all.end(), nearby[i]);
            ASSERT_LT(before, after);
        }
        const std::vector<CMoxRect*> meeting = Meeting(all, query);
        ASSERT_EQ(Meeting(nearby, query), meeting)
            << "query " << query.X << "," << query.Y << " " << query.Width << "x" << query.Height;
        // The occupancy mask may let a query through for nothing, never turn one away wrongly.
        if (!meeting.empty()) {
            ASSERT_TRUE(grid.MayMeetAny(query)) << "query " << query.X << "," << query.Y;
        }
    }
}

TEST(DirtyGrid, FindsEveryMeetingRectangleOfADirtyList)
{
    std::mt19937 rng(1234);
    mox::DirtyGrid grid;
    for (int round = 0; round < 40; ++round) {
        const int w = 40 + round * 37, h = 30 + round * 23;
        CMoxZang zang;
        for (int i = 0; i < 10 + round * 5; ++i) {
            CMoxRect r = RandomRect(rng, w, h);
            zang.AddRect(r);
        }
        CheckAgainstWalk(grid, zang.m_RectList, w, h, rng, 300);
    }
}

TEST(DirtyGrid, FindsEveryMeetingRectangleOfLongLists)
{
    // Lists long enough for the per-cell owner map: small rectangles built up by the dirty list
    // (apart), and the same numbers added raw (meeting each other).
    std::mt19937 rng(4321);
    std::uniform_int_distribution<int> px(-10, 1030), py(-10, 780), size(0, 12);
    CMoxZang zang;
    std::list<CMoxRect> raw;
    for (int i = 0; i < 3000; ++i) {
        CMoxRect r(px(rng), py(rng), size(rng), size(rng));
        zang.AddRect(r);
        if (i < 900)
            raw.push_back(r);
    }
    ASSERT_GE(zang.m_RectList.size(), 600u);
    mox::DirtyGrid grid;
    CheckAgainstWalk(grid, zang.m_RectList, 1024, 768, rng, 1500);
    CheckAgainstWalk(grid, raw, 1024, 768, rng, 1500);
}

TEST(DirtyGrid, FindsEveryMeetingRectangleOfOverlappingLists)
{
    // The grid does not rely on the list's rectangles being apart.
    std::mt19937 rng(99);
    mox::DirtyGrid grid;
    for (int round = 0; round < 20; ++round) {
        std::list<CMoxRect> rects;
        for (int i = 0; i < 60 - 2 * round; ++i)
            rects.push_back(RandomRect(rng, 300, 200));
        CheckAgainstWalk(grid, rects, 300, 200, rng, 300);
    }
}

TEST(DirtyGrid, ShortListsAndEmptyCanvasesGiveEveryRectangle)
{
    std::list<CMoxRect> rects{CMoxRect(0, 0, 5, 5), CMoxRect(100, 100, 5, 5)};
    mox::DirtyGrid grid;
    grid.Build(rects, 0, 0);
    std::vector<CMoxRect*> nearby;
    grid.Candidates(CMoxRect(1, 1, 1, 1), &nearby);
    EXPECT_EQ(nearby.size(), 2u);

    std::mt19937 rng(5);
    for (int i = 0; i < 30; ++i)
        rects.push_back(RandomRect(rng, 50, 50));
    CheckAgainstWalk(grid, rects, 0, 0, rng, 200);
}

} // namespace
