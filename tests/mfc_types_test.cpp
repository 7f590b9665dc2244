// CPoint, CSize and CRect against the rules MFC documents for them and USER documents for RECT.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <ostream>

void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

// Windows: IntersectRect leaves an all-zero rectangle and returns FALSE when the two do not
// overlap, touching edges included; UnionRect ignores an empty operand and gives all zeros
// when both are empty (MSDN IntersectRect, UnionRect; user32 tests/uitools.c).
TEST(CRectSetOperations, IntersectAndUnionFollowUser)
{
    struct Case {
        CRect a, b;
        BOOL meets;
        CRect intersection;
        BOOL anyArea;
        CRect unionRect;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, TRUE, {5, 5, 10, 10}, TRUE, {0, 0, 15, 15}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {}, TRUE, {0, 0, 20, 10}}, // touching edges
        {{0, 0, 10, 10}, {2, 2, 4, 4}, TRUE, {2, 2, 4, 4}, TRUE, {0, 0, 10, 10}},
        {{0, 0, 10, 10}, {3, 3, 3, 8}, FALSE, {}, TRUE, {0, 0, 10, 10}},  // empty operand
        {{5, 5, 5, 5}, {-4, 2, -1, 9}, FALSE, {}, TRUE, {-4, 2, -1, 9}},  // empty first
        {{10, 10, 0, 0}, {20, 20, 1, 1}, FALSE, {}, FALSE, {}},           // both inverted
        {{-20, -20, -10, -10}, {-15, -30, 0, -12}, TRUE, {-15, -20, -10, -12}, TRUE, {-20, -30, 0, -10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.a) + " and " + testing::PrintToString(c.b));
        CRect i(1, 2, 3, 4), u(1, 2, 3, 4);
        EXPECT_EQ(c.meets, i.IntersectRect(c.a, c.b));
        EXPECT_EQ(c.intersection, i);
        EXPECT_EQ(c.anyArea, u.UnionRect(c.a, c.b));
        EXPECT_EQ(c.unionRect, u);
        EXPECT_EQ(c.intersection, c.a & c.b);
        EXPECT_EQ(c.unionRect, c.a | c.b);
        CRect inPlace = c.a; // the result may be one of the operands
        inPlace &= c.b;
        EXPECT_EQ(c.intersection, inPlace);
        inPlace = c.a;
        inPlace |= c.b;
        EXPECT_EQ(c.unionRect, inPlace);
    }
}

// Windows: a point is inside when left <= x < right and top <= y < bottom; a rectangle is empty
// when its width or height is not positive, null only when all four edges are zero (MSDN
// PtInRect, IsRectEmpty, CRect::IsRectNull).
TEST(CRectQueries, InsideEmptyAndNull)
{
    const CRect r(2, 3, 6, 8);
    struct {
        CPoint p;
        BOOL inside;
    } points[] = {{{2, 3}, TRUE}, {{5, 7}, TRUE}, {{6, 7}, FALSE}, {{5, 8}, FALSE}, {{1, 4}, FALSE}, {{3, 2}, FALSE}};
    for (const auto& pt : points)
        EXPECT_EQ(pt.inside, r.PtInRect(pt.p)) << pt.p.x << ", " << pt.p.y;

    struct {
        CRect r;
        BOOL empty, null;
    } shapes[] = {
        {{0, 0, 0, 0}, TRUE, TRUE},   {{0, 0, 1, 1}, FALSE, FALSE}, {{0, 0, 0, 5}, TRUE, FALSE},
        {{5, 0, 0, 5}, TRUE, FALSE},  {{0, 5, 5, 0}, TRUE, FALSE},  {{-3, -3, -1, -1}, FALSE, FALSE},
    };
    for (const auto& s : shapes) {
        EXPECT_EQ(s.empty, s.r.IsRectEmpty()) << testing::PrintToString(s.r);
        EXPECT_EQ(s.null, s.r.IsRectNull()) << testing::PrintToString(s.r);
    }
}

// MFC: InflateRect/DeflateRect(x, y) move every side outward/inward; the RECT forms take one
// amount per side; NormalizeRect swaps inverted edges; CenterPoint halves the sums; TopLeft and
// BottomRight are the rectangle's own corners (MSDN CRect members).
TEST(CRectEdits, InflateDeflateOffsetNormalizeAndCorners)
{
    CRect r(10, 20, 30, 60);
    EXPECT_EQ(20, r.Width());
    EXPECT_EQ(40, r.Height());
    EXPECT_EQ(CSize(20, 40), r.Size());
    EXPECT_EQ(CPoint(20, 40), r.CenterPoint());

    r.InflateRect(1, 2);
    EXPECT_EQ(CRect(9, 18, 31, 62), r);
    r.DeflateRect(1, 2, 3, 4);
    EXPECT_EQ(CRect(10, 20, 28, 58), r);
    const RECT sides = {1, 1, 2, 2};
    r.InflateRect(&sides);
    EXPECT_EQ(CRect(9, 19, 30, 60), r);
    EXPECT_EQ(CRect(10, 20, 28, 58), r - &sides);
    EXPECT_EQ(CRect(8, 18, 32, 62), r + &sides);
    r.OffsetRect(-9, CSize(0, 1).cy);
    EXPECT_EQ(CRect(0, 20, 21, 61), r);
    r.MoveToXY(100, 200);
    EXPECT_EQ(CRect(100, 200, 121, 241), r);

    r.TopLeft() = CPoint(90, 190);
    r.BottomRight() += CSize(1, 1);
    EXPECT_EQ(CRect(90, 190, 122, 242), r);

    CRect inverted(30, 40, 10, 20);
    inverted.NormalizeRect();
    EXPECT_EQ(CRect(10, 20, 30, 40), inverted);
    EXPECT_EQ(CPoint(-2, -3), CRect(-5, -7, 0, 0).CenterPoint()); // toward zero, as C divides

    EXPECT_EQ(CRect(4, 6, 14, 16), CRect(CPoint(4, 6), CSize(10, 10)));
    EXPECT_EQ(CRect(1, 1, 3, 3) + CPoint(2, 3), CRect(3, 4, 5, 6));
    EXPECT_EQ(CRect(1, 1, 3, 3) - CSize(1, 1), CRect(0, 0, 2, 2));
}

// Windows: SubtractRect removes the second rectangle only where it covers a whole side of the
// first, and otherwise leaves the first (MSDN SubtractRect).
TEST(CRectSetOperations, SubtractOnlyWhatLeavesARectangle)
{
    const CRect src(0, 0, 10, 10);
    struct {
        CRect cut;
        BOOL left;
        CRect result;
    } cases[] = {
        {{0, 0, 10, 4}, TRUE, {0, 4, 10, 10}}, {{-5, 6, 15, 20}, TRUE, {0, 0, 10, 6}},
        {{0, -1, 3, 11}, TRUE, {3, 0, 10, 10}}, {{2, 2, 4, 4}, TRUE, {0, 0, 10, 10}},
        {{-1, -1, 11, 11}, FALSE, {}},          {{20, 20, 30, 30}, TRUE, {0, 0, 10, 10}},
    };
    for (const auto& c : cases) {
        CRect r;
        EXPECT_EQ(c.left, r.SubtractRect(src, c.cut)) << testing::PrintToString(c.cut);
        EXPECT_EQ(c.result, r) << testing::PrintToString(c.cut);
    }
}

// MFC: a point built from a message's lParam takes signed 16-bit halves; a point minus a point
// is a size, a point plus a size a point; CSize from a DWORD is signed too (MSDN CPoint::CPoint,
// CPoint::operator -, CSize::CSize).
TEST(CPointAndCSize, ArithmeticAndPackedForms)
{
    EXPECT_EQ(CPoint(-2, 300), CPoint(static_cast<LPARAM>(MAKELPARAM(-2, 300))));
    EXPECT_EQ(CSize(-1, 7), CSize(static_cast<DWORD>(MAKELONG(-1, 7))));
    const CSize d = CPoint(10, 4) - CPoint(3, 9);
    EXPECT_EQ(CSize(7, -5), d);
    EXPECT_EQ(CPoint(13, -1), CPoint(6, 4) + d);
    EXPECT_EQ(CPoint(-6, -4), -CPoint(6, 4));
    EXPECT_EQ(CSize(3, 3), CSize(1, 2) + CSize(2, 1));
    CPoint p(1, 1);
    p += CPoint(2, 2);
    p -= CSize(1, 0);
    EXPECT_EQ(CPoint(2, 3), p);
    EXPECT_TRUE(CPoint(1, 2) != CPoint(2, 1));
    const RECT r0 = {0, 0, 4, 4};
    EXPECT_EQ(CRect(1, 2, 5, 6), CPoint(1, 2) + &r0);
    EXPECT_EQ(CRect(-1, -2, 3, 2), CSize(1, 2) - &r0);
}

// A CRect passes where Windows takes LPRECT or LPCRECT, and fills in place.
TEST(CRectConversions, PassesAsRectPointers)
{
    CRect r(1, 2, 3, 4);
    LPRECT writable = r;
    writable->right = 9;
    const CRect& cr = r;
    LPCRECT readable = cr;
    EXPECT_EQ(9, readable->right);
    EXPECT_TRUE(r.EqualRect(CRect(1, 2, 9, 4)));
    EXPECT_FALSE(r.EqualRect(nullptr));
}

} // namespace
