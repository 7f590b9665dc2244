// CMoxZang: covered rectangles dropped, meeting ones fused, list order, and the invariants the
// frame composition relies on.
#include <MoxImage2.h>

#include <gtest/gtest.h>

#include "dirty_list_reference.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <new>
#include <ostream>
#include <random>
#include <vector>

// Counts global allocations while armed; the library's list nodes come through here too.
namespace {
bool g_countAllocations = false;
int g_allocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    if (g_countAllocations)
        ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// GCC pairs the malloc above with these frees only after inlining into gtest's new/delete and
// reports a mismatch that is not there.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

void PrintTo(const CMoxRect& r, std::ostream* os)
{
    *os << "(" << r.X << ", " << r.Y << ", " << r.Width << ", " << r.Height << ")";
}

namespace {

using Rects = std::vector<CMoxRect>;

Rects Listed(const CMoxZang& z)
{
    return Rects(z.m_RectList.begin(), z.m_RectList.end());
}

void Add(CMoxZang& z, int x, int y, int w, int h)
{
    CMoxRect r(x, y, w, h);
    z.AddRect(r);
}

void Assign(CMoxZang& z, const Rects& rects)
{
    z.m_RectList.assign(rects.begin(), rects.end());
}

// Independent closed-form geometry for non-negative sizes.
std::int64_t Right(const CMoxRect& r)
{
    return std::int64_t(r.X) + r.Width;
}
std::int64_t Bottom(const CMoxRect& r)
{
    return std::int64_t(r.Y) + r.Height;
}
bool Meet(const CMoxRect& a, const CMoxRect& b)
{
    return std::max<std::int64_t>(a.X, b.X) <= std::min(Right(a), Right(b)) &&
           std::max<std::int64_t>(a.Y, b.Y) <= std::min(Bottom(a), Bottom(b));
}
bool Inside(const CMoxRect& inner, const CMoxRect& outer)
{
    return outer.X <= inner.X && Right(inner) <= Right(outer) && outer.Y <= inner.Y && Bottom(inner) <= Bottom(outer);
}
CMoxRect Bounds(const CMoxRect& a, const CMoxRect& b)
{
    const int x = std::min(a.X, b.X), y = std::min(a.Y, b.Y);
    return CMoxRect(x, y, int(std::max(Right(a), Right(b)) - x), int(std::max(Bottom(a), Bottom(b)) - y));
}

} // namespace

TEST(ZangAddRect, FusesMeetingRectanglesAndDropsCoveredOnes)
{
    CMoxZang z;
    Add(z, 0, 0, 10, 10);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 10, 10)}), Listed(z));
    Add(z, 5, 5, 10, 10);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 15, 15)}), Listed(z));
    Add(z, 20, 0, 5, 5);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 15, 15), CMoxRect(20, 0, 5, 5)}), Listed(z));
    Add(z, 15, 0, 5, 5); // touches both
    EXPECT_EQ(Rects({CMoxRect(0, 0, 25, 15)}), Listed(z));
    Add(z, 2, 2, 3, 3); // already covered
    EXPECT_EQ(Rects({CMoxRect(0, 0, 25, 15)}), Listed(z));
    Add(z, 0, 0, 30, 30); // swallows the listed one
    EXPECT_EQ(Rects({CMoxRect(0, 0, 30, 30)}), Listed(z));
}

TEST(ZangAddRect, EmptyRectanglesArePoints)
{
    CMoxZang z;
    Add(z, 0, 0, 0, 0);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 0, 0)}), Listed(z));
    Add(z, 0, 0, 0, 0);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 0, 0)}), Listed(z));
    Add(z, 3, 3, 0, 0);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 0, 0), CMoxRect(3, 3, 0, 0)}), Listed(z));
    Add(z, 1, 1, 1, 1); // spans 1..2, reaching neither point
    EXPECT_EQ(Rects({CMoxRect(0, 0, 0, 0), CMoxRect(3, 3, 0, 0), CMoxRect(1, 1, 1, 1)}), Listed(z));
    Add(z, 2, 2, 1, 1); // touches (1, 1, 1, 1) at a corner and the point (3, 3)
    EXPECT_EQ(Rects({CMoxRect(0, 0, 0, 0), CMoxRect(1, 1, 2, 2)}), Listed(z));
}

TEST(ZangCheckRect, ContainmentAndFirstOverlap)
{
    CMoxZang z;
    CMoxRect same(0, 0, 30, 30), wider(0, 0, 31, 30), out(-1, -2, -3, -4);
    EXPECT_EQ(0, z.CheckRect(same));
    EXPECT_EQ(0, z.CheckRect(same, out));
    EXPECT_EQ(CMoxRect(-1, -2, -3, -4), out);

    Add(z, 0, 0, 30, 30);
    EXPECT_EQ(1, z.CheckRect(same));
    EXPECT_EQ(0, z.CheckRect(wider));
    CMoxRect corner(25, 25, 10, 10), apart(31, 0, 5, 5);
    EXPECT_EQ(1, z.CheckRect(corner, out));
    EXPECT_EQ(CMoxRect(0, 0, 5, 5), out);
    out = CMoxRect(-1, -2, -3, -4);
    EXPECT_EQ(0, z.CheckRect(apart, out));
    EXPECT_EQ(CMoxRect(-1, -2, -3, -4), out);

    // The first listed rectangle that meets r answers, even when a later one meets it too.
    Assign(z, {CMoxRect(0, 0, 10, 10), CMoxRect(20, 0, 10, 10)});
    CMoxRect across(5, 0, 20, 5);
    EXPECT_EQ(1, z.CheckRect(across, out));
    EXPECT_EQ(CMoxRect(0, 0, 5, 5), out);
}

TEST(ZangExtRect, FusedRectangleTakesTheAddedOnesPlaceAtTheBack)
{
    CMoxZang z;
    Assign(z, {CMoxRect(0, 0, 10, 10), CMoxRect(100, 100, 5, 5)});
    Add(z, 5, 5, 10, 10);
    EXPECT_EQ(Rects({CMoxRect(100, 100, 5, 5), CMoxRect(0, 0, 15, 15)}), Listed(z));

    Assign(z, {CMoxRect(0, 0, 10, 10), CMoxRect(100, 100, 5, 5)});
    Add(z, 0, 0, 20, 20);
    EXPECT_EQ(Rects({CMoxRect(100, 100, 5, 5), CMoxRect(0, 0, 20, 20)}), Listed(z));

    // Untouched rectangles keep their relative order around the ones removed.
    Assign(z, {CMoxRect(50, 0, 1, 1), CMoxRect(0, 0, 10, 10), CMoxRect(60, 0, 1, 1), CMoxRect(20, 0, 5, 5),
               CMoxRect(70, 0, 1, 1)});
    Add(z, 8, 0, 14, 2);
    EXPECT_EQ(Rects({CMoxRect(50, 0, 1, 1), CMoxRect(60, 0, 1, 1), CMoxRect(70, 0, 1, 1), CMoxRect(0, 0, 25, 10)}),
              Listed(z));
}

TEST(ZangExtRect, CalledOnAnInnerElementItFusesInPlace)
{
    // ExtRect is public: the element it is given stays where it is and grows; only the others go.
    CMoxZang z;
    Assign(z, {CMoxRect(100, 100, 5, 5), CMoxRect(0, 0, 10, 10), CMoxRect(200, 0, 1, 1), CMoxRect(5, 5, 10, 10),
               CMoxRect(-5, -5, 5, 5)});
    z.ExtRect(std::next(z.m_RectList.begin()));
    EXPECT_EQ(Rects({CMoxRect(100, 100, 5, 5), CMoxRect(-5, -5, 20, 20), CMoxRect(200, 0, 1, 1)}), Listed(z));
}

TEST(ZangExtRect, AFusionRestartsTheWalkToReachEarlierRectangles)
{
    CMoxZang z;
    Add(z, 0, 0, 5, 8);
    Add(z, 5, 10, 4, 4);
    ASSERT_EQ(Rects({CMoxRect(0, 0, 5, 8), CMoxRect(5, 10, 4, 4)}), Listed(z));
    // The first walk passes (0, 0, 5, 8) before the fusion with (5, 10, 4, 4) reaches it.
    Add(z, 6, 6, 6, 6);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 12, 14)}), Listed(z));
}

TEST(ZangExtRect, BridgeFusesEveryRectangleItJoins)
{
    CMoxZang z;
    Add(z, 0, 0, 10, 10);
    Add(z, 20, 0, 10, 10);
    Add(z, 40, 0, 10, 10);
    Add(z, 10, 0, 30, 5);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 50, 10)}), Listed(z));
}

TEST(ZangExtRect, ContainmentDoesNotStartAnotherWalk)
{
    // (10, 0, 10, 10) contains N and touches (0, 0, 10, 10), which the walk has already passed.
    // Taking the container over is not a fusion, so no second walk joins the first rectangle.
    CMoxZang z;
    Assign(z, {CMoxRect(0, 0, 10, 10), CMoxRect(10, 0, 10, 10), CMoxRect(15, 2, 2, 2)});
    z.ExtRect(std::prev(z.m_RectList.end()));
    EXPECT_EQ(Rects({CMoxRect(0, 0, 10, 10), CMoxRect(10, 0, 10, 10)}), Listed(z));
}

TEST(ZangExtRect, EndIteratorChangesNothing)
{
    CMoxZang z;
    z.ExtRect(z.m_RectList.end());
    EXPECT_TRUE(z.m_RectList.empty());
    Assign(z, {CMoxRect(0, 0, 10, 10), CMoxRect(5, 5, 10, 10)});
    z.ExtRect(z.m_RectList.end());
    EXPECT_EQ(Rects({CMoxRect(0, 0, 10, 10), CMoxRect(5, 5, 10, 10)}), Listed(z));
}

TEST(ZangAddRect, NegativeSizesAreNotNormalised)
{
    // Containment compares X with X and right with right only, so (20, 0, -15, 5), which runs
    // leftward from 20 to 5, counts as covered.
    CMoxZang z;
    Add(z, 0, 0, 10, 10);
    Add(z, 20, 0, -15, 5);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 10, 10)}), Listed(z));

    // Only N's top-left corner lies in P: N becomes (P.X, P.Y, N.right - P.X, N.bottom - P.Y),
    // not the normalised bounding box (-5, 0, 15, 13).
    Add(z, 5, 5, -10, 8);
    EXPECT_EQ(Rects({CMoxRect(0, 0, -5, 13)}), Listed(z));
}

TEST(ZangLifecycle, CopiesAreIndependentAndClearingEmpties)
{
    CMoxZang z;
    Add(z, 0, 0, 1, 1);
    Add(z, 10, 0, 1, 1);
    Add(z, 20, 0, 1, 1);
    const Rects three = Listed(z);

    CMoxZang copy(z);
    EXPECT_EQ(three, Listed(copy));
    Add(copy, 0, 0, 30, 30);
    EXPECT_EQ(three, Listed(z));

    CMoxZang other;
    Add(other, 100, 100, 5, 5);
    CMoxZang& result = (other = z);
    EXPECT_EQ(&other, &result);
    EXPECT_EQ(three, Listed(other)); // previous content replaced, order kept

    CMoxZang& alias = other;
    other = alias;
    EXPECT_EQ(three, Listed(other));

    z.ClearRect();
    EXPECT_TRUE(z.m_RectList.empty());
    other.Init();
    EXPECT_TRUE(other.m_RectList.empty());
    other.Init();
    EXPECT_TRUE(other.m_RectList.empty());
}

TEST(ZangAddRect, AllocatesOnlyTheNodeItAdds)
{
    CMoxZang z;
    Add(z, 0, 0, 10, 10);
    Add(z, 20, 0, 10, 10);
    Add(z, 40, 0, 10, 10);
    CMoxRect covered(2, 2, 3, 3), bridge(10, 0, 30, 5), apart(100, 100, 1, 1);

    g_allocations = 0;
    g_countAllocations = true;
    z.AddRect(covered);
    const int forCovered = g_allocations;
    z.AddRect(bridge);
    const int forBridge = g_allocations - forCovered;
    z.AddRect(apart);
    const int forApart = g_allocations - forCovered - forBridge;
    z.ExtRect(z.m_RectList.begin());
    const int forExt = g_allocations - forCovered - forBridge - forApart;
    g_countAllocations = false;

    EXPECT_EQ(0, forCovered);
    EXPECT_EQ(1, forBridge);
    EXPECT_EQ(1, forApart);
    EXPECT_EQ(0, forExt);
    EXPECT_EQ(Rects({CMoxRect(0, 0, 50, 10), CMoxRect(100, 100, 1, 1)}), Listed(z));
}

TEST(ZangAddRect, RandomSequencesKeepTheInvariants)
{
    std::mt19937 rng(3);
    auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int sequence = 0; sequence < 300; ++sequence) {
        CMoxZang z;
        Rects added;
        const int canvas = pick(40, 400), largest = pick(0, 40);
        for (int step = 0; step < 80; ++step) {
            CMoxRect r(pick(-10, canvas), pick(-10, canvas), pick(0, largest), pick(0, largest));
            const Rects before = Listed(z);
            const bool covered =
                std::any_of(before.begin(), before.end(), [&](const CMoxRect& d) { return Inside(r, d); });
            z.AddRect(r);
            added.push_back(r);
            const Rects after = Listed(z);
            SCOPED_TRACE(testing::Message()
                         << "sequence " << sequence << " step " << step << " adding " << testing::PrintToString(r));

            for (size_t i = 0; i < after.size(); ++i)
                for (size_t j = i + 1; j < after.size(); ++j) {
                    ASSERT_FALSE(Meet(after[i], after[j]))
                        << testing::PrintToString(after[i]) << " meets " << testing::PrintToString(after[j]);
                    ASSERT_NE(after[i], after[j]);
                }
            for (const CMoxRect& a : added)
                ASSERT_TRUE(std::any_of(after.begin(), after.end(), [&](const CMoxRect& d) { return Inside(a, d); }))
                    << testing::PrintToString(a) << " is not covered";

            if (covered) {
                ASSERT_EQ(before, after);
                continue;
            }
            // The rest keep their order, and the back is the bounding box of r and what it took in.
            ASSERT_FALSE(after.empty());
            const Rects kept(after.begin(), after.end() - 1);
            CMoxRect box = r;
            size_t k = 0;
            for (const CMoxRect& b : before) {
                if (k < kept.size() && kept[k] == b)
                    ++k;
                else
                    box = Bounds(box, b);
            }
            ASSERT_EQ(kept.size(), k) << "untouched rectangles reordered or changed";
            ASSERT_EQ(box, after.back());
        }
    }
}

TEST(ZangAddRect, ExtremeCoordinatesNeitherWrapNorOverflow)
{
    // The right edge INT_MAX + 5 does not fit an int; exact 64-bit edges see these meet.
    CMoxZang z;
    Add(z, INT_MAX - 5, 0, 10, 10);
    Add(z, INT_MAX, 10, 3, 3);
    EXPECT_EQ(Rects({CMoxRect(INT_MAX - 5, 0, 10, 13)}), Listed(z));

    // A bounding box wider than the int range keeps the largest width, not a wrapped negative.
    z.ClearRect();
    Add(z, INT_MIN, 0, 10, 10);
    Add(z, INT_MIN + 10, 0, INT_MAX, 10);
    EXPECT_EQ(Rects({CMoxRect(INT_MIN, 0, INT_MAX, 10)}), Listed(z));
}

// The list is indexed to find the rectangles near an added one; the result must stay exactly
// the literal walk's, rectangle for rectangle and in order, after every call. Sequences mix
// clustered and scattered rectangles, negative sizes, copies, and lists the host edits itself.
TEST(ZangAddRect, MatchesTheLiteralWalkAfterEveryCall)
{
    struct Kind {
        const char* name;
        bool clustered;
        int negativeEvery; // one size in this many is negative; 0: none
        int editEvery;     // one call in this many edits the public list directly; 0: none
    };
    const Kind kinds[] = {
        {"scattered", false, 0, 0},         {"clustered", true, 0, 0},
        {"scattered, negative", false, 25, 0}, {"clustered, negative", true, 40, 0},
        {"clustered, host edits", true, 0, 30}, {"scattered, everything", false, 60, 45},
    };
    std::mt19937 rng(11);
    auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (const Kind& kind : kinds) {
        for (int sequence = 0; sequence < 12; ++sequence) {
            CMoxZang z;
            moxtest::ReferenceZang ref;
            int cx = 0, cy = 0;
            for (int step = 0; step < 600; ++step) {
                SCOPED_TRACE(testing::Message() << kind.name << ", sequence " << sequence << ", step " << step);
                if (kind.editEvery && pick(1, kind.editEvery) == 1) {
                    // The host's own changes: a removal, an append, or a new last element.
                    const int what = pick(0, 2);
                    if (what == 0 && !ref.rects.empty()) {
                        const int at = pick(0, int(ref.rects.size()) - 1);
                        z.m_RectList.erase(std::next(z.m_RectList.begin(), at));
                        ref.rects.erase(std::next(ref.rects.begin(), at));
                    } else if (what == 1) {
                        const CMoxRect r(pick(0, 1000), pick(0, 700), pick(0, 30), pick(0, 30));
                        z.m_RectList.push_back(r);
                        ref.rects.push_back(r);
                    } else if (!ref.rects.empty()) {
                        const CMoxRect r(pick(0, 1000), pick(0, 700), pick(0, 30), pick(0, 30));
                        z.m_RectList.back() = r;
                        ref.rects.back() = r;
                    }
                } else if (pick(1, 400) == 1) {
                    z.ClearRect();
                    ref.rects.clear();
                } else if (pick(1, 200) == 1) {
                    CMoxZang copy(z);
                    z = copy; // continues on an index rebuilt from a copied list
                } else {
                    if (!kind.clustered || pick(1, 20) == 1) {
                        cx = pick(-40, 1060);
                        cy = pick(-40, 800);
                    }
                    const int spread = kind.clustered ? 40 : 1100;
                    auto size = [&] { return kind.negativeEvery && pick(1, kind.negativeEvery) == 1 ? pick(-64, -1) : pick(0, 64); };
                    CMoxRect r(cx + pick(-spread / 2, spread / 2), cy + pick(-spread / 2, spread / 2), size(), size());
                    z.AddRect(r);
                    ref.AddRect(r);
                }
                ASSERT_EQ(Rects(ref.rects.begin(), ref.rects.end()), Listed(z));
            }
        }
    }
}
