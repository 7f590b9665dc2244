// Widening of text and vector sprites during a composition pass, compared with the walk that
// restarts from the first sprite after every widening, over the literal dirty-list reference.
#include <MoxImage2.h>

#include "scene/widening.h"
#include "support/dirty_list_reference.h"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <random>
#include <vector>

namespace {

using Listed = mox::ListedSprite;

void WidenByTheWalk(std::vector<Listed>& listed, moxtest::ReferenceZang& zang)
{
    for (bool widened = true; widened && !zang.rects.empty();) {
        widened = false;
        for (Listed& k : listed) {
            if (!k.VectorOrText() || k.zang != 0)
                continue;
            CMoxRect rect(k.rect.X, k.rect.Y, k.rect.Width, k.rect.Height);
            for (CMoxRect& d : zang.rects) {
                if (d.CheckSuperpose(rect) == 1) {
                    zang.AddRect(rect);
                    k.zang = 1;
                    widened = true;
                    break;
                }
            }
            if (widened)
                break;
        }
    }
}

CMoxRect RandomRect(std::mt19937& rng, bool unusual)
{
    auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    if (unusual) {
        switch (pick(0, 2)) {
        case 0:
            return CMoxRect(pick(-20, 300), pick(-20, 200), pick(-40, -1), pick(0, 40)); // negative size
        case 1:
            return CMoxRect(INT_MAX - pick(0, 50), pick(0, 200), pick(0, 100), pick(0, 40)); // far off
        default:
            return CMoxRect(pick(-20, 300), pick(-20, 200), pick(0, 40), pick(-40, -1));
        }
    }
    return CMoxRect(pick(-20, 300), pick(-20, 200), pick(0, 60), pick(0, 60));
}

TEST(Widening, WidensWhatTheRestartingWalkWidensInTheSameOrder)
{
    std::mt19937 rng(20261208);
    auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    // One scratch for every scene, over canvases of changing shape: what a pass leaves in it
    // must not leak into the next.
    mox::WideningScratch scratch;
    const int canvases[3][2] = {{300, 200}, {64, 900}, {2000, 50}};
    for (int round = 0; round < 600; ++round) {
        // Every twentieth scene has a rectangle the shortcut cannot reason about.
        const bool unusual = round % 20 == 19;
        std::vector<Listed> listed(size_t(pick(0, 90)));
        for (Listed& k : listed) {
            const CMoxRect r = RandomRect(rng, unusual && pick(0, 30) == 0);
            k = Listed{nullptr,
                       0,
                       pick(0, 9) == 0 ? pick(1, 2) : 0,
                       Listed::Kind(pick(0, 6)),
                       255,
                       Gdiplus::Rect(r.X, r.Y, r.Width, r.Height),
                       0,
                       0,
                       nullptr,
                       nullptr};
        }
        CMoxZang zang;
        moxtest::ReferenceZang reference;
        for (int i = pick(0, 12); i > 0; --i) {
            CMoxRect r = RandomRect(rng, unusual && pick(0, 5) == 0);
            zang.AddRect(r);
            reference.AddRect(r);
        }
        std::vector<Listed> expected = listed;
        WidenByTheWalk(expected, reference);
        const int* canvas = canvases[round % 3];
        mox::WidenTouched(listed, zang, canvas[0], canvas[1], scratch);

        for (size_t i = 0; i < listed.size(); ++i)
            ASSERT_EQ(expected[i].zang, listed[i].zang) << "round " << round << ", entry " << i;
        ASSERT_EQ(reference.rects.size(), zang.m_RectList.size()) << "round " << round;
        auto want = reference.rects.begin();
        for (const CMoxRect& got : zang.m_RectList) {
            ASSERT_TRUE(got == *want) << "round " << round << ", dirty rectangle "
                                      << std::distance(reference.rects.begin(), want);
            ++want;
        }
    }
}

} // namespace
