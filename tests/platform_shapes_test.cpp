// Pens and the non-anti-aliased shapes: line and outline pixel coverage, wide pens, dash runs,
// colour composition, clipping and refusals.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "canvas_support.h"
#include "gdiplus_image_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kRed = 0xFF0000;

struct PenDelete {
    void operator()(GpPen* p) const { GdipDeletePen(p); }
};
using PenPtr = std::unique_ptr<GpPen, PenDelete>;

PenPtr MakePen(ARGB colour, REAL width, DashStyle dash = DashStyleSolid)
{
    GpPen* pen = nullptr;
    EXPECT_EQ(GdipCreatePen1(colour, width, UnitWorld, &pen), Ok);
    EXPECT_EQ(GdipSetPenDashStyle(pen, dash), Ok);
    return PenPtr(pen);
}

class Shapes : public ::testing::Test {
protected:
    void SetUp() override { moxcanvas::StartGdiplus(); }
};

// Which pixels of the section differ from the background, as a picture ('#' drawn, '.' not).
std::vector<std::string> Picture(const moxtest::Section& s, std::uint32_t background = kGrey)
{
    std::vector<std::string> rows;
    for (int y = 0; y < s.height(); ++y) {
        std::string row;
        for (int x = 0; x < s.width(); ++x)
            row += s.At(x, y) == background ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

// On/off pattern of a row as a string of '#' and '.'.
std::string Row(const moxtest::Section& s, int y)
{
    return Picture(s)[y];
}

} // namespace

TEST_F(Shapes, ThinLinesIncludeBothEndPoints)
{
    // GDI+ draws a line that connects both points (Microsoft's Graphics::DrawLine), unlike
    // GDI's LineTo, which leaves the last one out; Wine's gdiplus strokes through GDI and so does too.
    moxtest::Section s(12, 10);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 1);
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), 2, 1, 8, 1), Ok); // left to right
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), 8, 3, 2, 3), Ok); // right to left
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), 10, 2, 10, 7), Ok);
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), 5, 8, 5, 8), Ok); // a point
    // clang-format off
    const std::vector<std::string> want = {
        "............",
        "..#######...",
        "..........#.",
        "..#######.#.",
        "..........#.",
        "..........#.",
        "..........#.",
        "..........#.",
        ".....#......",
        "............",
    };
    // clang-format on
    EXPECT_EQ(Picture(s), want);
    EXPECT_EQ(s.At(2, 1), kRed);
}

TEST_F(Shapes, ThinSlopedLinesStepOnePixelAtATime)
{
    // Neither line passes exactly between two pixels on any row or column: which one such a tie
    // picks is nowhere documented (Wine's gdiplus and the stand-in pick differently).
    for (bool reversed : {false, true}) {
        moxtest::Section s(14, 14);
        s.Fill(kGrey);
        PenPtr pen = MakePen(0xFFFF0000, 1);
        if (reversed) {
            GdipDrawLineI(s.graphics(), pen.get(), 10, 4, 1, 1);
            GdipDrawLineI(s.graphics(), pen.get(), 12, 13, 9, 2);
        } else {
            GdipDrawLineI(s.graphics(), pen.get(), 1, 1, 10, 4);
            GdipDrawLineI(s.graphics(), pen.get(), 9, 2, 12, 13);
        }
        // clang-format off
        const std::vector<std::string> want = {
            "..............",
            ".##...........",
            "...###...#....",
            "......####....",
            ".........##...",
            "..........#...",
            "..........#...",
            "..........#...",
            "...........#..",
            "...........#..",
            "...........#..",
            "...........#..",
            "............#.",
            "............#.",
        };
        // clang-format on
        EXPECT_EQ(Picture(s), want) << (reversed ? "reversed" : "forward");
    }
}

TEST_F(Shapes, FarEndPointsAreClippedNotWalked)
{
    moxtest::Section s(16, 16);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 1);
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), -2000000000, 3, 2000000000, 3), Ok);
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX), Ok);
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), INT_MAX, INT_MIN, INT_MAX, INT_MAX), Ok); // all outside
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(s.At(x, 3), kRed) << x;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(s.At(i, i), kRed) << i;
    EXPECT_EQ(s.At(1, 0), kGrey);

    // The same for a wide pen, which cairo strokes.
    moxtest::Section w(16, 16);
    w.Fill(kGrey);
    PenPtr wide = MakePen(0xFFFF0000, 3);
    EXPECT_EQ(GdipDrawLineI(w.graphics(), wide.get(), INT_MIN, 8, INT_MAX, 8), Ok);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(w.At(x, 7), kRed);
        EXPECT_EQ(w.At(x, 9), kRed);
        EXPECT_EQ(w.At(x, 10), kGrey);
    }
}

TEST_F(Shapes, WidePensCoverTheirWidthAndBothEnds)
{
    // Both ends, as for thin lines (see ThinLinesIncludeBothEndPoints).
    moxtest::Section s(16, 16);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 3);
    GdipDrawLineI(s.graphics(), pen.get(), 3, 2, 12, 2);
    GdipDrawLineI(s.graphics(), pen.get(), 7, 6, 7, 13);
    // clang-format off
    const std::vector<std::string> want = {
        "................",
        "...##########...",
        "...##########...",
        "...##########...",
        "................",
        "................",
        "......###.......",
        "......###.......",
        "......###.......",
        "......###.......",
        "......###.......",
        "......###.......",
        "......###.......",
        "......###.......",
        "................",
        "................",
    };
    // clang-format on
    EXPECT_EQ(Picture(s), want);
}

TEST_F(Shapes, DashStylesRunInMultiplesOfThePenWidth)
{
    struct Case {
        DashStyle style;
        const char* period; // one period of the pattern for a one-pixel pen
    };
    const Case cases[] = {{DashStyleSolid, "#"},
                          {DashStyleDash, "###."},
                          {DashStyleDot, "#."},
                          {DashStyleDashDot, "###.#."},
                          {DashStyleDashDotDot, "###.#.#."}};
    for (const Case& c : cases) {
        for (int width : {1, 2}) {
            moxtest::Section s(48, 6);
            s.Fill(kGrey);
            PenPtr pen = MakePen(0xFFFF0000, REAL(width), c.style);
            ASSERT_EQ(GdipDrawLineI(s.graphics(), pen.get(), 0, 2, 47, 2), Ok);
            std::string want;
            while (want.size() < 48)
                for (const char* p = c.period; *p; ++p)
                    want.append(width, *p);
            want.resize(48);
            EXPECT_EQ(Row(s, 2), want) << "style " << c.style << " width " << width;
        }
    }
    // Along a vertical line the pattern runs the same way.
    moxtest::Section v(4, 16);
    v.Fill(kGrey);
    PenPtr dotted = MakePen(0xFFFF0000, 1, DashStyleDot);
    GdipDrawLineI(v.graphics(), dotted.get(), 1, 0, 1, 15);
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(v.At(1, y) == kRed, y % 2 == 0) << y;
}

TEST_F(Shapes, OutlinesCoverColumnsXToXPlusWidthAndRowsYToYPlusHeight)
{
    moxtest::Section s(10, 10);
    s.Fill(kGrey);
    // Half-transparent: a pixel drawn twice (a corner, say) would come out darker than the rest.
    PenPtr pen = MakePen(0x80FF0000, 1);
    ASSERT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), 2, 3, 5, 4), Ok);
    // clang-format off
    const std::vector<std::string> want = {
        "..........",
        "..........",
        "..........",
        "..######..",
        "..#....#..",
        "..#....#..",
        "..#....#..",
        "..######..",
        "..........",
        "..........",
    };
    // clang-format on
    EXPECT_EQ(Picture(s), want);
    const std::uint32_t edge = s.At(4, 3);
    EXPECT_NE(edge, kRed);
    for (auto [x, y] : {std::pair{2, 3}, {7, 3}, {7, 7}, {2, 7}, {2, 5}, {7, 5}, {4, 7}})
        EXPECT_EQ(s.At(x, y), edge) << x << "," << y;
}

TEST_F(Shapes, WideOutlinesFillTheirCorners)
{
    // Every corner, the closing one too (Wine's GDI stroking leaves that one open).
    moxtest::Section s(14, 12);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 3);
    ASSERT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), 2, 2, 9, 7), Ok);
    // clang-format off
    const std::vector<std::string> want = {
        "..............",
        ".############.",
        ".############.",
        ".############.",
        ".###......###.",
        ".###......###.",
        ".###......###.",
        ".###......###.",
        ".############.",
        ".############.",
        ".############.",
        "..............",
    };
    // clang-format on
    EXPECT_EQ(Picture(s), want);
}

TEST_F(Shapes, DashedOutlinesContinueAroundTheCorners)
{
    moxtest::Section s(8, 8);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 1, DashStyleDash);
    ASSERT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), 1, 1, 5, 5), Ok);
    // Clockwise from the top-left corner, 3 on and 1 off over the 20 perimeter pixels.
    // clang-format off
    const std::vector<std::string> want = {
        "........",
        ".###.##.",
        "......#.",
        ".#......",
        ".#....#.",
        ".#....#.",
        "..###.#.",
        "........",
    };
    // clang-format on
    EXPECT_EQ(Picture(s), want);
}

TEST_F(Shapes, DegenerateOutlines)
{
    moxtest::Section s(8, 8);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 1);
    EXPECT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), 1, 1, 0, 3), Ok);   // a vertical line
    EXPECT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), 3, 6, 2, 0), Ok);   // a horizontal one
    EXPECT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), 6, 6, -3, -3), Ok); // inverted: nothing
    EXPECT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), INT_MIN, INT_MIN, INT_MAX, INT_MAX), Ok);
    // clang-format off
    const std::vector<std::string> want = {
        "........",
        ".#......",
        ".#......",
        ".#......",
        ".#......",
        "........",
        "...###..",
        "........",
    };
    // clang-format on
    EXPECT_EQ(Picture(s), want);
}

TEST_F(Shapes, PenColourCompositesOverTheSurface)
{
    moxtest::Section s(6, 3);
    s.Fill(0xFFFFFF);
    PenPtr half = MakePen(0x800000FF, 1);
    PenPtr clear = MakePen(0x00FF0000, 1);
    GdipDrawLineI(s.graphics(), half.get(), 0, 0, 5, 0);
    GdipDrawLineI(s.graphics(), clear.get(), 0, 1, 5, 1);
    const std::uint32_t p = s.At(3, 0);
    EXPECT_NEAR(int(p >> 16), 127, 1);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 127, 1);
    EXPECT_EQ(p & 0xFF, 0xFFu);
    EXPECT_EQ(s.At(3, 1), 0xFFFFFFu);
}

TEST_F(Shapes, BottomUpSurfacesDrawTheRightWayUp)
{
    moxtest::Section s(8, 6, true);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 1);
    GdipDrawLineI(s.graphics(), pen.get(), 1, 1, 6, 1);
    PenPtr wide = MakePen(0xFFFF0000, 2);
    GdipDrawLineI(s.graphics(), wide.get(), 0, 4, 7, 4);
    EXPECT_EQ(Row(s, 1), ".######.");
    EXPECT_EQ(Row(s, 0), "........");
    EXPECT_EQ(Row(s, 4), "########");
}

TEST_F(Shapes, PensKeepWhatTheyWereMadeWith)
{
    PenPtr pen = MakePen(0xFF123456, 2.5f, DashStyleDashDot);
    ARGB colour = 0;
    REAL width = 0;
    DashStyle dash = DashStyleSolid;
    EXPECT_EQ(GdipGetPenColor(pen.get(), &colour), Ok);
    EXPECT_EQ(GdipGetPenWidth(pen.get(), &width), Ok);
    EXPECT_EQ(GdipGetPenDashStyle(pen.get(), &dash), Ok);
    EXPECT_EQ(colour, 0xFF123456u);
    EXPECT_EQ(width, 2.5f);
    EXPECT_EQ(dash, DashStyleDashDot);
}

TEST_F(Shapes, BadArgumentsAreRefusedWithoutDrawing)
{
    // Missing objects (Wine's gdiplus conformance test test_constructor_destructor, pen.c).
    EXPECT_EQ(GdipCreatePen1(0xFF000000, 1, UnitWorld, nullptr), InvalidParameter);
    EXPECT_EQ(GdipSetPenDashStyle(nullptr, DashStyleDash), InvalidParameter);
    EXPECT_EQ(GdipDeletePen(nullptr), InvalidParameter);

    PenPtr good = MakePen(0xFF000000, 1);
    moxtest::Section s(4, 4);
    s.Fill(kGrey);
    EXPECT_EQ(GdipDrawLineI(s.graphics(), nullptr, 0, 0, 3, 3), InvalidParameter);
    EXPECT_EQ(GdipDrawRectangleI(s.graphics(), nullptr, 0, 0, 3, 3), InvalidParameter);
    EXPECT_EQ(GdipDrawLineI(nullptr, good.get(), 0, 0, 3, 3), InvalidParameter);
    EXPECT_EQ(GdipDrawRectangleI(nullptr, good.get(), 0, 0, 3, 3), InvalidParameter);
    for (const std::string& row : Picture(s))
        EXPECT_EQ(row, "....");
}

// The stand-in refuses pens it could not draw: widths that are not a size, and dash styles it
// has no pattern for. A custom style is taken, as GDI+ on Windows takes it (Wine's gdiplus
// conformance test test_dasharray, pen.c); what Windows does with the rest is not documented.
TEST_F(Shapes, StandInRefusesPensItCannotDraw)
{
    GpPen* pen = reinterpret_cast<GpPen*>(1);
    EXPECT_EQ(GdipCreatePen1(0xFF000000, NAN, UnitWorld, &pen), InvalidParameter);
    EXPECT_EQ(pen, nullptr);
    EXPECT_EQ(GdipCreatePen1(0xFF000000, -1, UnitWorld, &pen), InvalidParameter);
    PenPtr good = MakePen(0xFF000000, 1);
    EXPECT_EQ(GdipSetPenDashStyle(good.get(), DashStyle(99)), InvalidParameter);
    DashStyle dash = DashStyleDot;
    EXPECT_EQ(GdipGetPenDashStyle(good.get(), &dash), Ok);
    EXPECT_EQ(dash, DashStyleSolid);
}

TEST_F(Shapes, HugePensStayWithinTheSurface)
{
    moxtest::Section s(6, 5);
    s.Fill(kGrey);
    PenPtr pen = MakePen(0xFFFF0000, 1e30f);
    EXPECT_EQ(GdipDrawLineI(s.graphics(), pen.get(), 2, 2, 3, 2), Ok);
    EXPECT_EQ(GdipDrawRectangleI(s.graphics(), pen.get(), 1, 1, 2, 2), Ok);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(s.At(x, y), kRed) << x << "," << y;
}
