// CMoxRect: closed geometry, the ordered meeting tests and the overlap cases.
#include <MoxImage2.h>

#include "scene/rect_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ostream>
#include <random>

void PrintTo(const CMoxRect& r, std::ostream* os)
{
    *os << "(" << r.X << ", " << r.Y << ", " << r.Width << ", " << r.Height << ")";
}

namespace {

// The overlap rule stated independently for non-negative sizes: the intersection of the two
// closed areas relative to a's top-left corner, or all zero when they do not meet.
bool Meet(const CMoxRect& t, const CMoxRect& a)
{
    const std::int64_t ix = std::max<std::int64_t>(t.X, a.X), iy = std::max<std::int64_t>(t.Y, a.Y);
    const std::int64_t ir = std::min(std::int64_t(t.X) + t.Width, std::int64_t(a.X) + a.Width);
    const std::int64_t ib = std::min(std::int64_t(t.Y) + t.Height, std::int64_t(a.Y) + a.Height);
    return ix <= ir && iy <= ib;
}

CMoxRect Overlap(const CMoxRect& t, const CMoxRect& a)
{
    if (!Meet(t, a))
        return CMoxRect();
    const int ix = std::max(t.X, a.X), iy = std::max(t.Y, a.Y);
    const int ir = std::min(t.X + t.Width, a.X + a.Width), ib = std::min(t.Y + t.Height, a.Y + a.Height);
    return CMoxRect(ix - a.X, iy - a.Y, ir - ix, ib - iy);
}

} // namespace

TEST(RectValue, DefaultIsZeroAndInequalityNegatesEquality)
{
    EXPECT_EQ(CMoxRect(), CMoxRect(0, 0, 0, 0));
    const CMoxRect base(1, 2, 3, 4);
    const CMoxRect differing[] = {CMoxRect(9, 2, 3, 4), CMoxRect(1, 9, 3, 4), CMoxRect(1, 2, 9, 4),
                                  CMoxRect(1, 2, 3, 9)};
    EXPECT_EQ(1, base == CMoxRect(1, 2, 3, 4));
    EXPECT_EQ(0, base != CMoxRect(1, 2, 3, 4));
    for (const CMoxRect& other : differing) {
        EXPECT_EQ(0, base == other);
        EXPECT_EQ(1, base != other);
    }
}

TEST(RectValue, AssignmentCopiesEveryFieldAndChains)
{
    CMoxRect a, b(7, 7, 7, 7);
    const CMoxRect source(-3, 4, -5, 6);
    CMoxRect& result = (a = b = source);
    EXPECT_EQ(&a, &result);
    EXPECT_EQ(source, a);
    EXPECT_EQ(source, b);
}

TEST(RectContains, PointTestIncludesRightColumnAndBottomRow)
{
    const CMoxRect r(0, 0, 10, 10);
    EXPECT_EQ(1, r.MyContains(10, 10));
    EXPECT_EQ(1, r.MyContains(0, 0));
    EXPECT_EQ(1, r.MyContains(10, 0));
    EXPECT_EQ(1, r.MyContains(0, 10));
    EXPECT_EQ(0, r.MyContains(11, 5));
    EXPECT_EQ(0, r.MyContains(5, -1));
    EXPECT_EQ(0, r.MyContains(5, 11));
    EXPECT_EQ(1, CMoxRect(4, 4, 0, 0).MyContains(4, 4)); // a point holds itself
    // Sizes are not normalised: a negative width has right < X and holds no point.
    EXPECT_EQ(0, CMoxRect(0, 0, -5, 5).MyContains(-2, 2));
}

TEST(RectContains, RectTestCountsEqualEdgesAsInside)
{
    const CMoxRect r(0, 0, 10, 10);
    EXPECT_EQ(1, r.MyContains(r));
    EXPECT_EQ(1, r.MyContains(CMoxRect(0, 0, 10, 10)));
    EXPECT_EQ(1, r.MyContains(CMoxRect(10, 10, 0, 0)));
    EXPECT_EQ(0, r.MyContains(CMoxRect(0, 0, 11, 10)));
    EXPECT_EQ(0, r.MyContains(CMoxRect(-1, 0, 5, 5)));
    EXPECT_EQ(0, r.MyContains(CMoxRect(5, 5, 5, 6)));
    // Accepts the base type, as callers holding a Gdiplus::Rect do.
    const Gdiplus::Rect base(2, 2, 3, 3);
    EXPECT_EQ(1, r.MyContains(base));
}

TEST(RectSuperpose, VerticalBandCrossIsNotSymmetric)
{
    CMoxRect box(0, 0, 10, 10), band(2, -5, 3, 20);
    EXPECT_EQ(1, box.Superpose(band));
    EXPECT_EQ(0, band.Superpose(box));
    EXPECT_EQ(1, box.CheckSuperpose(band));
    EXPECT_EQ(1, band.CheckSuperpose(box));
    EXPECT_EQ(CMoxRect(0, 5, 3, 10), box.GetSuperpose(band));
    EXPECT_EQ(CMoxRect(2, 0, 3, 10), band.GetSuperpose(box));
}

TEST(RectOverlap, ResultIsRelativeToTheArgument)
{
    CMoxRect a(0, 0, 10, 10), b(5, 5, 10, 10);
    EXPECT_EQ(1, a.CheckSuperpose(b));
    EXPECT_EQ(CMoxRect(0, 0, 5, 5), a.GetSuperpose(b));
    EXPECT_EQ(CMoxRect(5, 5, 5, 5), b.GetSuperpose(a));
    // Neither rectangle is changed by the non-const members.
    EXPECT_EQ(CMoxRect(0, 0, 10, 10), a);
    EXPECT_EQ(CMoxRect(5, 5, 10, 10), b);
}

TEST(RectOverlap, TouchingRectanglesMeetWithAnEmptyOverlap)
{
    CMoxRect r(0, 0, 10, 10), edge(10, 0, 5, 5), apart(11, 0, 5, 5);
    EXPECT_EQ(1, r.CheckSuperpose(edge));
    EXPECT_EQ(CMoxRect(0, 0, 0, 5), r.GetSuperpose(edge));
    EXPECT_EQ(0, r.CheckSuperpose(apart));
    EXPECT_EQ(CMoxRect(0, 0, 0, 0), r.GetSuperpose(apart));

    CMoxRect small(0, 0, 5, 5), corner(5, 5, 0, 0);
    EXPECT_EQ(1, small.CheckSuperpose(corner));
    EXPECT_EQ(CMoxRect(0, 0, 0, 0), small.GetSuperpose(corner));
    EXPECT_EQ(1, corner.CheckSuperpose(small));
    EXPECT_EQ(CMoxRect(5, 5, 0, 0), corner.GetSuperpose(small));
}

TEST(RectOverlap, NegativeSizesAreDecidedByTheOrderedTests)
{
    // A runs leftward from x = 20 to right = 5: its bottom-right corner lies in T, and T passes
    // the containment test because only A.X and A.right are compared. A normalising shortcut
    // would see no contact at all.
    CMoxRect t(0, 0, 10, 10), a(20, 0, -15, 5);
    EXPECT_EQ(1, t.CheckSuperpose(a));
    EXPECT_EQ(CMoxRect(0, 0, -15, 5), t.GetSuperpose(a));

    // T holds no point (right < X), yet A holds both corners of T's left edge.
    CMoxRect back(10, 0, -10, 10), box(0, 0, 10, 10);
    EXPECT_EQ(1, back.CheckSuperpose(box));
    EXPECT_EQ(CMoxRect(10, 0, -10, 10), back.GetSuperpose(box));

    // Only A's top-left corner (5, 5) lies in T; the single-corner case measures to T's edges.
    CMoxRect cornerOnly(5, 5, -10, 8);
    EXPECT_EQ(1, t.CheckSuperpose(cornerOnly));
    EXPECT_EQ(CMoxRect(0, 0, 5, 5), t.GetSuperpose(cornerOnly));
}

TEST(RectOverlap, MatchesTheClosedIntersectionRuleForNonNegativeSizes)
{
    // Every pair on a small grid, so every touching, crossing and containing arrangement and
    // every overlap case is reached.
    std::vector<CMoxRect> all;
    for (int x = 0; x <= 5; ++x)
        for (int y = 0; y <= 5; ++y)
            for (int w = 0; w <= 3; ++w)
                for (int h = 0; h <= 3; ++h)
                    all.emplace_back(x, y, w, h);
    int failures = 0;
    for (CMoxRect t : all) {
        for (CMoxRect a : all) {
            const int meet = Meet(t, a) ? 1 : 0;
            const CMoxRect want = Overlap(t, a);
            const int gotMeet = t.CheckSuperpose(a);
            const CMoxRect got = t.GetSuperpose(a);
            if (gotMeet != meet || got != want) {
                if (++failures <= 10)
                    ADD_FAILURE() << "T " << testing::PrintToString(t) << " A " << testing::PrintToString(a)
                                  << ": meet " << gotMeet << " want " << meet << ", overlap "
                                  << testing::PrintToString(got) << " want " << testing::PrintToString(want);
            }
        }
    }
    EXPECT_EQ(0, failures);

    // Wider spread with a fixed seed.
    std::mt19937 rng(20261208);
    auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int i = 0; i < 200000; ++i) {
        CMoxRect t(pick(-500, 500), pick(-500, 500), pick(0, 400), pick(0, 400));
        CMoxRect a(pick(-500, 500), pick(-500, 500), pick(0, 400), pick(0, 400));
        ASSERT_EQ(Meet(t, a) ? 1 : 0, t.CheckSuperpose(a)) << testing::PrintToString(t) << testing::PrintToString(a);
        ASSERT_EQ(Overlap(t, a), t.GetSuperpose(a)) << testing::PrintToString(t) << testing::PrintToString(a);
        // The composition pass's shortcut for such rectangles gives the same answers.
        Gdiplus::Rect o;
        ASSERT_EQ(Meet(t, a), mox::ClosedOverlap(t, a, &o)) << testing::PrintToString(t) << testing::PrintToString(a);
        if (Meet(t, a)) {
            ASSERT_EQ(Overlap(t, a), CMoxRect(o.X, o.Y, o.Width, o.Height));
        }
    }
}

TEST(RectExtremes, EdgesPastTheIntRangeStayExact)
{
    // right = INT_MAX + 5 does not fit an int; wrapping would put it far to the left.
    const CMoxRect wide(INT_MAX - 5, 0, 10, 10);
    EXPECT_EQ(1, wide.MyContains(INT_MAX, 5));
    EXPECT_EQ(0, wide.MyContains(INT_MIN, 5));
    EXPECT_EQ(1, wide.MyContains(CMoxRect(INT_MAX - 1, 1, 1, 1)));

    CMoxRect huge(0, 0, INT_MAX, INT_MAX), tail(INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX);
    EXPECT_EQ(1, huge.CheckSuperpose(tail));
    EXPECT_EQ(CMoxRect(0, 0, 1, 1), huge.GetSuperpose(tail));
    EXPECT_EQ(CMoxRect(INT_MAX - 1, INT_MAX - 1, 1, 1), tail.GetSuperpose(huge));

    CMoxRect low(INT_MIN, INT_MIN, 0, 0), high(INT_MAX, INT_MAX, 0, 0);
    EXPECT_EQ(0, low.CheckSuperpose(high));
    EXPECT_EQ(CMoxRect(), low.GetSuperpose(high));

    // An offset that cannot be represented is pinned to the end of the range, not wrapped.
    // Here A contains T (T runs leftward from INT_MAX to -1), and T.X - A.X is 2^32 - 1.
    CMoxRect t(INT_MAX, 0, INT_MIN, 5), a(INT_MIN, 0, INT_MAX, 10);
    EXPECT_EQ(1, t.CheckSuperpose(a));
    EXPECT_EQ(CMoxRect(INT_MAX, 0, INT_MIN, 5), t.GetSuperpose(a));
}
