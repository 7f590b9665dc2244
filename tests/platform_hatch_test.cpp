// Hatch brushes: every style's 8 x 8 tile as FillRectangle paints it, checked bit for bit where
// GDI+'s tile is known and otherwise for the property that defines the style; its anchoring at
// the surface origin, and the colour composition.
#include <windows.h> // before <gdiplus.h>, which builds on it

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

TEST_F(Hatch, LineStylesAndTheLightestDotsPaintTheirPublishedTiles)
{
    // The line families as GDI+ paints them from the surface origin, row y a byte whose bit
    // 0x80 >> x is column x. The single lines and the cross sit on row and column 4, and the
    // upward dark and wide diagonals are not mirror images of their downward twins.
    struct Published {
        int style;
        std::uint8_t rows[8];
    };
    const Published tiles[] = {
        {HatchStyleHorizontal, {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}},
        {HatchStyleVertical, {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}},
        {HatchStyleForwardDiagonal, {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}},
        {HatchStyleBackwardDiagonal, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}},
        {HatchStyleCross, {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08}},
        {HatchStyleDiagonalCross, {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}},
        {HatchStyle05Percent, {0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00}},
        {HatchStyleLightDownwardDiagonal, {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11}},
        {HatchStyleLightUpwardDiagonal, {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88}},
        {HatchStyleDarkDownwardDiagonal, {0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33, 0x99}},
        {HatchStyleDarkUpwardDiagonal, {0x99, 0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC}},
        {HatchStyleWideDownwardDiagonal, {0xE0, 0x70, 0x38, 0x1C, 0x0E, 0x07, 0x83, 0xC1}},
        {HatchStyleWideUpwardDiagonal, {0xC1, 0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0}},
        {HatchStyleLightVertical, {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88}},
        {HatchStyleLightHorizontal, {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}},
        {HatchStyleNarrowVertical, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}},
        {HatchStyleNarrowHorizontal, {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}},
        {HatchStyleDarkVertical, {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {HatchStyleDarkHorizontal, {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}},
    };
    for (const Published& p : tiles) {
        const Tile t = TileOf(p.style);
        for (int y = 0; y < 8; ++y) {
            std::uint8_t row = 0;
            for (int x = 0; x < 8; ++x)
                row |= t[y][x] ? std::uint8_t(0x80 >> x) : 0;
            EXPECT_EQ(int(row), int(p.rows[y])) << "style " << p.style << " row " << y;
        }
    }
}

TEST_F(Hatch, PictureStylesHaveTheirPublishedShapes)
{
    // Published tiles of the picture styles, rows as above. Where they sit in the tile is not
    // settled, so each painted tile must be its picture moved by some whole step; weave, shingle
    // and sphere are published both ways round, so half a turn is accepted for them.
    struct Published {
        int style;
        std::uint8_t rows[8];
        bool eitherWayRound;
    };
    const Published pictures[] = {
        {HatchStyleDashedDownwardDiagonal, {0x00, 0x00, 0x00, 0x00, 0x88, 0x44, 0x22, 0x11}, false},
        {HatchStyleDashedUpwardDiagonal, {0x00, 0x00, 0x00, 0x00, 0x11, 0x22, 0x44, 0x88}, false},
        {HatchStyleDashedHorizontal, {0x00, 0x00, 0x00, 0xF0, 0x00, 0x00, 0x00, 0x0F}, false},
        {HatchStyleDashedVertical, {0x10, 0x10, 0x10, 0x10, 0x01, 0x01, 0x01, 0x01}, false},
        {HatchStyleSmallConfetti, {0x20, 0x04, 0x40, 0x02, 0x10, 0x80, 0x08, 0x01}, false},
        {HatchStyleLargeConfetti, {0x30, 0x36, 0xC6, 0xC0, 0x0C, 0x6C, 0x63, 0x03}, false},
        {HatchStyleZigZag, {0x30, 0x48, 0x84, 0x03, 0x30, 0x48, 0x84, 0x03}, false},
        {HatchStyleWave, {0x00, 0x06, 0x49, 0x30, 0x00, 0x06, 0x49, 0x30}, false},
        {HatchStyleDiagonalBrick, {0x01, 0x02, 0x04, 0x08, 0x18, 0x24, 0x42, 0x81}, false},
        {HatchStyleHorizontalBrick, {0x10, 0x10, 0x10, 0xFF, 0x01, 0x01, 0x01, 0xFF}, false},
        {HatchStyleWeave, {0x2A, 0x44, 0xA2, 0x11, 0xA8, 0x44, 0x82, 0x11}, true},
        {HatchStylePlaid, {0x0F, 0x0F, 0x0F, 0x0F, 0xAA, 0x55, 0xAA, 0x55}, false},
        {HatchStyleDivot, {0x00, 0x10, 0x20, 0x10, 0x00, 0x02, 0x01, 0x02}, false},
        {HatchStyleDottedGrid, {0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x55}, false},
        {HatchStyleDottedDiamond, {0x00, 0x40, 0x00, 0x11, 0x00, 0x04, 0x00, 0x11}, false},
        {HatchStyleShingle, {0x84, 0x48, 0x30, 0x20, 0x20, 0x10, 0x0C, 0x03}, true},
        {HatchStyleTrellis, {0xCC, 0xFF, 0x33, 0xFF, 0xCC, 0xFF, 0x33, 0xFF}, false},
        {HatchStyleSphere, {0xF1, 0xF1, 0x91, 0xEE, 0x1F, 0x1F, 0x19, 0xEE}, true},
        {HatchStyleSmallGrid, {0x11, 0x11, 0x11, 0xFF, 0x11, 0x11, 0x11, 0xFF}, false},
        {HatchStyleSmallCheckerBoard, {0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33}, false},
        {HatchStyleLargeCheckerBoard, {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F}, false},
        {HatchStyleOutlinedDiamond, {0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82, 0x01}, false},
        {HatchStyleSolidDiamond, {0x00, 0x08, 0x1C, 0x3E, 0x7F, 0x3E, 0x1C, 0x08}, false},
    };
    for (const Published& p : pictures) {
        const Tile t = TileOf(p.style);
        bool found = false;
        for (int turn = 0; turn < (p.eitherWayRound ? 2 : 1) && !found; ++turn)
            for (int dy = 0; dy < 8 && !found; ++dy)
                for (int dx = 0; dx < 8 && !found; ++dx) {
                    bool same = true;
                    for (int y = 0; y < 8 && same; ++y)
                        for (int x = 0; x < 8 && same; ++x) {
                            const int px = turn ? 7 - x : x, py = turn ? 7 - y : y;
                            same = At(t, x + dx, y + dy) == bool(p.rows[py] & (0x80 >> px));
                        }
                    found = same;
                }
        EXPECT_TRUE(found) << "style " << p.style << " is not its published picture";
    }
}

TEST_F(Hatch, CrossesAndGridsJoinTheirLines)
{
    const Tile grid = TileOf(HatchStyleSmallGrid);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(At(grid, x, y), x % 4 == 0 || y % 4 == 0) << x << "," << y;
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
        // The lightest is two dots, pinned above; the others take their share to the nearest pixel.
        if (i > 0) {
            EXPECT_NEAR(Count(t) * 100.0 / 64, percents[i], 100.0 / 128 + 1e-9) << percents[i] << "%";
        }
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
        const std::uint32_t p = section.At(x, 4);
        EXPECT_EQ(p >> 16, 0xFFu);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 127, 1);
        EXPECT_NEAR(int(p & 0xFF), 127, 1);
        EXPECT_EQ(section.At(x, 3), 0xFFFFFFu);
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
