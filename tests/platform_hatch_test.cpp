// Hatch brushes: every style's 8 x 8 tile as FillRectangle paints it, checked for the property
// that defines the style, its anchoring at the surface origin, and the colour composition.
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <set>

#include "canvas_support.h"
#include "gdiplus_image_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr ARGB kFore = 0xFFFFFFFF;
constexpr ARGB kBack = 0xFF000000;

// tile[y][x]: true where the foreground shows.
using Tile = std::array<std::array<bool, 8>, 8>;

struct HatchDelete {
    void operator()(GpHatch* b) const { GdipDeleteBrush(b); }
};
using HatchPtr = std::unique_ptr<GpHatch, HatchDelete>;

HatchPtr MakeHatch(int style, ARGB fore = kFore, ARGB back = kBack)
{
    GpHatch* brush = nullptr;
    EXPECT_EQ(GdipCreateHatchBrush(HatchStyle(style), fore, back, &brush), Ok);
    return HatchPtr(brush);
}

class Hatch : public ::testing::Test {
protected:
    void SetUp() override { moxcanvas::StartGdiplus(); }

    // The style's tile as painted from the surface origin.
    static Tile TileOf(int style)
    {
        moxtest::Section section(8, 8);
        section.Fill(0x808080);
        HatchPtr brush = MakeHatch(style);
        EXPECT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 0, 0, 8, 8), Ok);
        Tile tile{};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const std::uint32_t p = section.At(x, y);
                EXPECT_TRUE(p == 0xFFFFFF || p == 0) << "style " << style << " at " << x << "," << y;
                tile[y][x] = p == 0xFFFFFF;
            }
        return tile;
    }
};

bool At(const Tile& t, int x, int y)
{
    return t[(y % 8 + 8) % 8][(x % 8 + 8) % 8];
}

int Count(const Tile& t)
{
    int n = 0;
    for (const auto& row : t)
        for (bool b : row)
            n += b;
    return n;
}

bool Invariant(const Tile& t, int dx, int dy)
{
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (At(t, x, y) != At(t, x + dx, y + dy))
                return false;
    return true;
}

int RowCount(const Tile& t, int y)
{
    int n = 0;
    for (int x = 0; x < 8; ++x)
        n += At(t, x, y);
    return n;
}

Tile Transposed(const Tile& t)
{
    Tile out{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            out[y][x] = t[x][y];
    return out;
}

// Rows that are wholly foreground; every other row must be wholly background.
std::vector<int> FullRows(const Tile& t)
{
    std::vector<int> rows;
    for (int y = 0; y < 8; ++y) {
        const int n = RowCount(t, y);
        EXPECT_TRUE(n == 0 || n == 8) << "row " << y << " is neither line nor gap";
        if (n == 8)
            rows.push_back(y);
    }
    return rows;
}

// No foreground pixel has a foreground neighbour among its eight (tiles repeat).
bool Isolated(const Tile& t)
{
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            if (!At(t, x, y))
                continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx || dy) && At(t, x + dx, y + dy))
                        return false;
        }
    return true;
}

// One foreground pixel per column, neighbouring columns at most one row apart (tiles repeat):
// a continuous horizontal curve. Returns the row of each column.
std::vector<int> Curve(const Tile& t)
{
    std::vector<int> rows;
    for (int x = 0; x < 8; ++x) {
        int row = -1, n = 0;
        for (int y = 0; y < 8; ++y)
            if (At(t, x, y)) {
                row = y;
                ++n;
            }
        EXPECT_EQ(n, 1) << "column " << x;
        rows.push_back(row);
    }
    for (int x = 0; x < 8; ++x)
        EXPECT_LE(std::abs(rows[x] - rows[(x + 1) % 8]), 1) << "break after column " << x;
    return rows;
}

} // namespace

TEST_F(Hatch, EveryStyleIsATwoColourTileRepeatedFromTheSurfaceOrigin)
{
    std::set<Tile> seen;
    for (int style = HatchStyleMin; style <= HatchStyleMax; ++style) {
        const Tile tile = TileOf(style);
        const int n = Count(tile);
        EXPECT_GT(n, 0) << "style " << style;
        EXPECT_LT(n, 64) << "style " << style;
        EXPECT_TRUE(seen.insert(tile).second) << "style " << style << " repeats an earlier one";

        // A fill that starts off the tile grid still shows the tile of the surface's origin, and
        // leaves everything outside its rectangle alone.
        moxtest::Section section(29, 23);
        section.Fill(0x808080);
        HatchPtr brush = MakeHatch(style);
        ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 3, 5, 21, 13), Ok);
        for (int y = 0; y < section.height(); ++y)
            for (int x = 0; x < section.width(); ++x) {
                const bool inside = x >= 3 && x < 24 && y >= 5 && y < 18;
                const std::uint32_t want = !inside ? 0x808080 : At(tile, x, y) ? 0xFFFFFF : 0;
                ASSERT_EQ(section.At(x, y), want) << "style " << style << " at " << x << "," << y;
            }
    }
}

TEST_F(Hatch, TranslucentFillsShowTheSameTilesAsOpaqueOnes)
{
    // Opaque colours are copied row by row, translucent ones composited by pixman: both must put
    // the foreground on the same pixels.
    for (int style = HatchStyleMin; style <= HatchStyleMax; ++style) {
        const Tile tile = TileOf(style);
        moxtest::Section section(21, 19);
        section.Fill(0x808080);
        HatchPtr brush = MakeHatch(style, 0x80FFFFFF, 0x80000000);
        ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 5, 3, 13, 14), Ok);
        for (int y = 3; y < 17; ++y)
            for (int x = 5; x < 18; ++x) {
                const std::uint32_t want = At(tile, x, y) ? 0xBFBFBF : 0x404040;
                const std::uint32_t got = section.At(x, y);
                ASSERT_NEAR(int(got & 0xFF), int(want & 0xFF), 1) << "style " << style << " at " << x << "," << y;
                ASSERT_EQ(got, (got & 0xFF) * 0x010101u);
            }
        EXPECT_EQ(section.At(4, 3), 0x808080u);
        EXPECT_EQ(section.At(18, 16), 0x808080u);
    }
}

TEST_F(Hatch, BottomUpSurfacesAnchorAtTheirTopLeftToo)
{
    const Tile tile = TileOf(HatchStyleDiagonalBrick);
    moxtest::Section section(13, 11, true);
    section.Fill(0x808080);
    HatchPtr brush = MakeHatch(HatchStyleDiagonalBrick);
    ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 0, 0, 13, 11), Ok);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(section.At(x, y), At(tile, x, y) ? 0xFFFFFFu : 0u) << x << "," << y;
}

TEST_F(Hatch, LineStylesHaveTheirDirectionAndSpacing)
{
    // Horizontal families: whole rows, spaced and thick as named; vertical ones are the same
    // tiles turned.
    struct Lines {
        int horizontal, vertical;
        std::vector<int> rows;
    };
    const Lines lines[] = {
        {HatchStyleHorizontal, HatchStyleVertical, {0}},
        {HatchStyleLightHorizontal, HatchStyleLightVertical, {0, 4}},
        {HatchStyleNarrowHorizontal, HatchStyleNarrowVertical, {0, 2, 4, 6}},
        {HatchStyleDarkHorizontal, HatchStyleDarkVertical, {0, 1, 4, 5}},
    };
    for (const Lines& l : lines) {
        EXPECT_EQ(FullRows(TileOf(l.horizontal)), l.rows) << "style " << l.horizontal;
        EXPECT_EQ(FullRows(Transposed(TileOf(l.vertical))), l.rows) << "style " << l.vertical;
    }

    // Diagonals: unchanged by a step along their direction; per row, as many pixels as lines
    // times thickness, in runs of the thickness.
    struct Diagonal {
        int style;
        int dy; // +1 downward (top left to bottom right), -1 upward
        int perRow, run;
    };
    const Diagonal diagonals[] = {
        {HatchStyleForwardDiagonal, +1, 1, 1},       {HatchStyleBackwardDiagonal, -1, 1, 1},
        {HatchStyleLightDownwardDiagonal, +1, 2, 1}, {HatchStyleLightUpwardDiagonal, -1, 2, 1},
        {HatchStyleDarkDownwardDiagonal, +1, 4, 2},  {HatchStyleDarkUpwardDiagonal, -1, 4, 2},
        {HatchStyleWideDownwardDiagonal, +1, 3, 3},  {HatchStyleWideUpwardDiagonal, -1, 3, 3},
    };
    for (const Diagonal& d : diagonals) {
        const Tile t = TileOf(d.style);
        EXPECT_TRUE(Invariant(t, 1, d.dy)) << "style " << d.style;
        EXPECT_FALSE(Invariant(t, 1, -d.dy)) << "style " << d.style;
        for (int y = 0; y < 8; ++y) {
            EXPECT_EQ(RowCount(t, y), d.perRow) << "style " << d.style << " row " << y;
            for (int x = 0; x < 8; ++x)
                if (At(t, x, y) && !At(t, x - 1, y)) {
                    int run = 0;
                    while (At(t, x + run, y) && run < 8)
                        ++run;
                    EXPECT_EQ(run, d.run) << "style " << d.style << " row " << y;
                }
        }
    }
}

TEST_F(Hatch, CrossesAndGridsJoinTheirLines)
{
    for (int style : {HatchStyleCross, HatchStyleSmallGrid}) {
        const int spacing = style == HatchStyleCross ? 8 : 4;
        const Tile t = TileOf(style);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(At(t, x, y), x % spacing == 0 || y % spacing == 0) << style << " " << x << "," << y;
    }
    // Both diagonals whole; outlined diamonds cross on a pixel, the diagonal cross between four.
    for (int style : {HatchStyleDiagonalCross, HatchStyleOutlinedDiamond}) {
        const Tile t = TileOf(style);
        bool down = false, up = false, shared = false;
        for (int c = 0; c < 8; ++c) {
            bool wholeDown = true, wholeUp = true;
            for (int i = 0; i < 8; ++i) {
                wholeDown &= At(t, c + i, i);
                wholeUp &= At(t, c - i, i);
            }
            down |= wholeDown;
            up |= wholeUp;
        }
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                shared |= At(t, x - 1, y - 1) && At(t, x + 1, y + 1) && At(t, x + 1, y - 1) && At(t, x - 1, y + 1) &&
                          At(t, x, y);
        EXPECT_TRUE(down && up) << "style " << style;
        EXPECT_EQ(shared, style == HatchStyleOutlinedDiamond);
        EXPECT_EQ(Count(t), style == HatchStyleDiagonalCross ? 16 : 14);
    }
}

TEST_F(Hatch, PercentStylesCoverTheirShareAndNest)
{
    const int percents[] = {5, 10, 20, 25, 30, 40, 50, 60, 70, 75, 80, 90};
    Tile lighter{};
    for (int i = 0; i < 12; ++i) {
        const Tile t = TileOf(HatchStyle05Percent + i);
        EXPECT_NEAR(Count(t) * 100.0 / 64, percents[i], 100.0 / 128 + 1e-9) << percents[i] << "%";
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_TRUE(!lighter[y][x] || t[y][x]) << percents[i] << "% drops a pixel of the lighter style";
        // Spread out: every 4 x 4 quarter holds a quarter of the pixels, give or take one.
        for (int q = 0; q < 4; ++q) {
            int n = 0;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    n += At(t, x + 4 * (q % 2), y + 4 * (q / 2));
            EXPECT_NEAR(n * 4, Count(t), 4) << percents[i] << "% quarter " << q;
        }
        lighter = t;
    }
}

TEST_F(Hatch, CheckerboardsAlternateSquaresOfTheirSize)
{
    const std::pair<int, int> boards[] = {
        {HatchStyle50Percent, 1}, {HatchStyleSmallCheckerBoard, 2}, {HatchStyleLargeCheckerBoard, 4}};
    for (const auto& [style, size] : boards) {
        const Tile t = TileOf(style);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(At(t, x, y), At(t, 0, 0) == ((x / size + y / size) % 2 == 0))
                    << style << " " << x << "," << y;
    }
}

TEST_F(Hatch, DashedStylesBreakTheirLines)
{
    // Dashed horizontals: two runs of four in different rows; verticals are the same turned.
    for (const auto& t : {TileOf(HatchStyleDashedHorizontal), Transposed(TileOf(HatchStyleDashedVertical))}) {
        std::vector<int> starts;
        for (int y = 0; y < 8; ++y) {
            const int n = RowCount(t, y);
            if (n == 0)
                continue;
            EXPECT_EQ(n, 4) << "row " << y;
            int first = 0;
            while (!(At(t, first, y) && !At(t, first - 1, y)) && first < 8)
                ++first;
            for (int i = 0; i < n; ++i)
                EXPECT_TRUE(At(t, first + i, y)) << "row " << y << " is not one dash";
            starts.push_back(first);
        }
        ASSERT_EQ(starts.size(), 2u);
        EXPECT_EQ((starts[1] - starts[0] + 8) % 8, 4); // the dashes of the two rows interleave
    }
    // Dashed diagonals lie on the light diagonals of their direction, with half the rows empty.
    const std::pair<int, int> dashed[] = {{HatchStyleDashedDownwardDiagonal, HatchStyleLightDownwardDiagonal},
                                          {HatchStyleDashedUpwardDiagonal, HatchStyleLightUpwardDiagonal}};
    for (const auto& [style, solid] : dashed) {
        const Tile t = TileOf(style), line = TileOf(solid);
        int emptyRows = 0;
        for (int y = 0; y < 8; ++y) {
            emptyRows += RowCount(t, y) == 0;
            for (int x = 0; x < 8; ++x)
                EXPECT_TRUE(!At(t, x, y) || At(line, x, y)) << style;
        }
        EXPECT_EQ(emptyRows, 4) << style;
    }
}

TEST_F(Hatch, ConfettiIsScatteredPieces)
{
    const Tile small = TileOf(HatchStyleSmallConfetti);
    EXPECT_TRUE(Isolated(small));
    EXPECT_EQ(Count(small), 8);
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(RowCount(small, y), 1);
    EXPECT_FALSE(Invariant(small, 1, 1)); // not a diagonal in disguise

    // Large confetti: 2 x 2 pieces, which shrink to isolated pixels when each is cut to its
    // top-left corner.
    const Tile large = TileOf(HatchStyleLargeConfetti);
    Tile corners{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (At(large, x, y) && !At(large, x - 1, y) && !At(large, x, y - 1)) {
                EXPECT_TRUE(At(large, x + 1, y) && At(large, x, y + 1) && At(large, x + 1, y + 1));
                corners[y][x] = true;
            }
    EXPECT_EQ(Count(corners) * 4, Count(large));
    EXPECT_GE(Count(corners), 3);
}

TEST_F(Hatch, ZigZagAndWaveAreContinuousHorizontalCurves)
{
    const std::vector<int> zig = Curve(TileOf(HatchStyleZigZag));
    const std::vector<int> wave = Curve(TileOf(HatchStyleWave));
    for (const auto& rows : {zig, wave})
        EXPECT_GT(*std::max_element(rows.begin(), rows.end()), *std::min_element(rows.begin(), rows.end()));
    // The zigzag climbs and falls in straight strokes; the wave has flat crests.
    int zigFlat = 0, waveFlat = 0;
    for (int x = 0; x < 7; ++x) {
        zigFlat += zig[x] == zig[x + 1];
        waveFlat += wave[x] == wave[x + 1];
    }
    EXPECT_LE(zigFlat, 1);
    EXPECT_GE(waveFlat, 2);
}

TEST_F(Hatch, BricksAndGridsOfDots)
{
    // Horizontal bricks: mortar rows 0 and 4, joints half a brick apart in alternate courses.
    const Tile bricks = TileOf(HatchStyleHorizontalBrick);
    EXPECT_EQ(RowCount(bricks, 0), 8);
    EXPECT_EQ(RowCount(bricks, 4), 8);
    for (int y : {1, 2, 3})
        EXPECT_TRUE(RowCount(bricks, y) == 1 && At(bricks, 0, y));
    for (int y : {5, 6, 7})
        EXPECT_TRUE(RowCount(bricks, y) == 1 && At(bricks, 4, y));

    // Diagonal bricks: a whole upward diagonal with joints across it.
    const Tile diagonal = TileOf(HatchStyleDiagonalBrick);
    bool wholeUp = false;
    for (int c = 0; c < 8; ++c) {
        bool whole = true;
        for (int i = 0; i < 8; ++i)
            whole &= At(diagonal, c - i, i);
        wholeUp |= whole;
    }
    EXPECT_TRUE(wholeUp);
    EXPECT_GT(Count(diagonal), 8);

    // Dotted grid and dotted diamond: lines of separate dots.
    const Tile grid = TileOf(HatchStyleDottedGrid), diamond = TileOf(HatchStyleDottedDiamond);
    EXPECT_TRUE(Isolated(grid));
    EXPECT_TRUE(Isolated(diamond));
    for (int i = 0; i < 8; i += 2)
        EXPECT_TRUE(At(grid, i, 0) && At(grid, 0, i));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (At(diamond, x, y)) {
                EXPECT_TRUE(At(diamond, x + 2, y + 2) || At(diamond, x + 2, y - 2)) << x << "," << y;
            }
}

TEST_F(Hatch, SolidDiamondIsFilledAndSymmetric)
{
    const Tile t = TileOf(HatchStyleSolidDiamond);
    int widest = 0, centre = -1;
    for (int y = 0; y < 8; ++y) {
        const int n = RowCount(t, y);
        if (n == 0)
            continue;
        // Each row one run, all runs centred on the same column.
        int first = 0;
        while (!At(t, first, y))
            ++first;
        for (int i = 0; i < n; ++i)
            EXPECT_TRUE(At(t, first + i, y)) << "row " << y;
        const int mid2 = 2 * first + n - 1;
        if (centre < 0)
            centre = mid2;
        EXPECT_EQ(mid2, centre) << "row " << y;
        widest = std::max(widest, n);
    }
    EXPECT_GE(widest, 5);
    EXPECT_EQ(t, Transposed(t));
}

TEST_F(Hatch, ColoursCompositeOverWhatIsThere)
{
    moxtest::Section section(8, 8);
    section.Fill(0xFFFFFF);
    // Half-transparent red foreground; fully transparent background leaves the surface as it was.
    HatchPtr brush = MakeHatch(HatchStyleHorizontal, 0x80FF0000, 0x000000FF);
    ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 0, 0, 8, 8), Ok);
    for (int x = 0; x < 8; ++x) {
        const std::uint32_t p = section.At(x, 0);
        EXPECT_EQ(p >> 16, 0xFFu);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 127, 1);
        EXPECT_NEAR(int(p & 0xFF), 127, 1);
        EXPECT_EQ(section.At(x, 1), 0xFFFFFFu);
    }
}

TEST_F(Hatch, BrushKeepsStyleAndColours)
{
    HatchPtr brush = MakeHatch(HatchStyleWeave, 0x11223344, 0x55667788);
    HatchStyle style = HatchStyleHorizontal;
    ARGB fore = 0, back = 0;
    EXPECT_EQ(GdipGetHatchStyle(brush.get(), &style), Ok);
    EXPECT_EQ(GdipGetHatchForegroundColor(brush.get(), &fore), Ok);
    EXPECT_EQ(GdipGetHatchBackgroundColor(brush.get(), &back), Ok);
    EXPECT_EQ(style, HatchStyleWeave);
    EXPECT_EQ(fore, 0x11223344u);
    EXPECT_EQ(back, 0x55667788u);

    // A solid fill is not a hatch: the hatch queries refuse it rather than misread it.
    GpSolidFill* solid = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0xFF00FF00, &solid), Ok);
    EXPECT_EQ(GdipGetHatchStyle(reinterpret_cast<GpHatch*>(static_cast<GpBrush*>(solid)), &style), InvalidParameter);
    EXPECT_EQ(GdipDeleteBrush(solid), Ok);
}

TEST_F(Hatch, BadArgumentsAreRefused)
{
    GpHatch* brush = reinterpret_cast<GpHatch*>(1);
    EXPECT_EQ(GdipCreateHatchBrush(HatchStyle(HatchStyleTotal), kFore, kBack, &brush), InvalidParameter);
    EXPECT_EQ(brush, nullptr);
    EXPECT_EQ(GdipCreateHatchBrush(HatchStyle(-1), kFore, kBack, &brush), InvalidParameter);
    EXPECT_EQ(GdipCreateHatchBrush(HatchStyleCross, kFore, kBack, nullptr), InvalidParameter);
    EXPECT_EQ(GdipDeleteBrush(nullptr), InvalidParameter);

    moxtest::Section section(4, 4);
    EXPECT_EQ(GdipFillRectangleI(section.graphics(), nullptr, 0, 0, 4, 4), InvalidParameter);
    HatchPtr hatch = MakeHatch(HatchStyleCross);
    EXPECT_EQ(GdipFillRectangleI(nullptr, hatch.get(), 0, 0, 4, 4), InvalidParameter);
}

TEST_F(Hatch, FillsClipToTheSurface)
{
    moxtest::Section section(10, 6);
    section.Fill(0x808080);
    GpSolidFill* solid = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0xFF0000FF, &solid), Ok);
    // Partly outside, wholly outside, empty, inverted and overflowing rectangles.
    EXPECT_EQ(GdipFillRectangleI(section.graphics(), solid, -3, -2, 5, 4), Ok);
    EXPECT_EQ(GdipFillRectangleI(section.graphics(), solid, 20, 1, 5, 4), Ok);
    EXPECT_EQ(GdipFillRectangleI(section.graphics(), solid, 4, 4, 0, 3), Ok);
    EXPECT_EQ(GdipFillRectangleI(section.graphics(), solid, 6, 4, -2, -3), Ok);
    EXPECT_EQ(GdipFillRectangleI(section.graphics(), solid, INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX), Ok);
    EXPECT_EQ(GdipFillRectangleI(section.graphics(), solid, INT_MIN, 5, INT_MAX, INT_MAX), Ok);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool blue = x < 2 && y < 2;
            EXPECT_EQ(section.At(x, y), blue ? 0x0000FFu : 0x808080u) << x << "," << y;
        }
    GdipDeleteBrush(solid);
}
