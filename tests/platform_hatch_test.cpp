// Hatch brushes: every style's 8 x 8 tile as FillRectangle paints it, pinned pixel for pixel to
// GDI+'s; its anchoring at the surface origin, and the colour composition.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <memory>
#include <set>

#include "canvas_support.h"
#include "gdiplus_image_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr ARGB kFore = 0xFFFFFFFF;
constexpr ARGB kBack = 0xFF000000;

// tile[y][x]: the grey level painted with a white foreground over a black background, that is the
// foreground's coverage of the pixel.
using Tile = std::array<std::array<int, 8>, 8>;

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
                EXPECT_EQ(p, (p & 0xFF) * 0x010101u) << "style " << style << " at " << x << "," << y;
                tile[y][x] = int(p & 0xFF);
            }
        return tile;
    }
};

int At(const Tile& t, int x, int y)
{
    return t[(y % 8 + 8) % 8][(x % 8 + 8) % 8];
}

} // namespace

TEST_F(Hatch, EveryStyleIsGdiplusTile)
{
    // GDI+'s tiles, in the order Wine's gdiplus keeps them (brush.c, HatchBrushes): each row a
    // byte with column x at bit 0x80 >> x, but the rows stored bottom to top, so painted row y is
    // entry 7 - y. Read that way, Wine's table agrees for all 53 styles with the masks an
    // open-source System.Drawing port read back from GDI+'s fills on Windows ("extracted from
    // real GDI+ output"). Older Wine tables held the line styles shifted to row 3 (painted on
    // row 4).
    //
    // Microsoft's HatchStyle page calls only ForwardDiagonal, BackwardDiagonal and
    // DiagonalCross anti-aliased. Their exact grey levels are not published; like Wine, a
    // one-pixel line at 45 degrees through the pixel centres gives the pixels it passes through
    // sqrt(2) - 1/2 of the foreground and a quarter to their neighbours on the row.
    struct Stored {
        int style;
        std::uint8_t rowsBottomUp[8];
    };
    const Stored table[] = {
        {HatchStyleHorizontal, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}},
        {HatchStyleVertical, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}},
        {HatchStyleForwardDiagonal, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}},
        {HatchStyleBackwardDiagonal, {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}},
        {HatchStyleCross, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFF}},
        {HatchStyleDiagonalCross, {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}},
        {HatchStyle05Percent, {0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x80}},
        {HatchStyle10Percent, {0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00, 0x80}},
        {HatchStyle20Percent, {0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00, 0x88}},
        {HatchStyle25Percent, {0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88}},
        {HatchStyle30Percent, {0x11, 0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x44, 0xAA}},
        {HatchStyle40Percent, {0x15, 0xAA, 0x55, 0xAA, 0x51, 0xAA, 0x55, 0xAA}},
        {HatchStyle50Percent, {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}},
        {HatchStyle60Percent, {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE}},
        {HatchStyle70Percent, {0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77}},
        {HatchStyle75Percent, {0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF, 0x77}},
        {HatchStyle80Percent, {0xFF, 0xFE, 0xFF, 0xEF, 0xFF, 0xFE, 0xFF, 0xEF}},
        {HatchStyle90Percent, {0x7F, 0xFF, 0xFF, 0xFF, 0xF7, 0xFF, 0xFF, 0xFF}},
        {HatchStyleLightDownwardDiagonal, {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88}},
        {HatchStyleLightUpwardDiagonal, {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11}},
        {HatchStyleDarkDownwardDiagonal, {0x99, 0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC}},
        {HatchStyleDarkUpwardDiagonal, {0x99, 0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33}},
        {HatchStyleWideDownwardDiagonal, {0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0, 0xC1}},
        {HatchStyleWideUpwardDiagonal, {0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E, 0x07, 0x83}},
        {HatchStyleLightVertical, {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88}},
        {HatchStyleLightHorizontal, {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF}},
        {HatchStyleNarrowVertical, {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}},
        {HatchStyleNarrowHorizontal, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF}},
        {HatchStyleDarkVertical, {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}},
        {HatchStyleDarkHorizontal, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}},
        {HatchStyleDashedDownwardDiagonal, {0x00, 0x00, 0x11, 0x22, 0x44, 0x88, 0x00, 0x00}},
        {HatchStyleDashedUpwardDiagonal, {0x00, 0x00, 0x88, 0x44, 0x22, 0x11, 0x00, 0x00}},
        {HatchStyleDashedHorizontal, {0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0xF0}},
        {HatchStyleDashedVertical, {0x08, 0x08, 0x08, 0x08, 0x80, 0x80, 0x80, 0x80}},
        {HatchStyleSmallConfetti, {0x04, 0x20, 0x01, 0x10, 0x02, 0x40, 0x08, 0x80}},
        {HatchStyleLargeConfetti, {0x8D, 0x0C, 0xC0, 0xD8, 0x1B, 0x03, 0x30, 0xB1}},
        {HatchStyleZigZag, {0x18, 0x24, 0x42, 0x81, 0x18, 0x24, 0x42, 0x81}},
        {HatchStyleWave, {0xC0, 0x25, 0x18, 0x00, 0xC0, 0x25, 0x18, 0x00}},
        {HatchStyleDiagonalBrick, {0x81, 0x42, 0x24, 0x18, 0x08, 0x04, 0x02, 0x01}},
        {HatchStyleHorizontalBrick, {0x08, 0x08, 0x08, 0xFF, 0x80, 0x80, 0x80, 0xFF}},
        {HatchStyleWeave, {0x51, 0x22, 0x14, 0x88, 0x45, 0x22, 0x54, 0x88}},
        {HatchStylePlaid, {0xF0, 0xF0, 0xF0, 0xF0, 0x55, 0xAA, 0x55, 0xAA}},
        {HatchStyleDivot, {0x80, 0x01, 0x80, 0x00, 0x10, 0x08, 0x10, 0x00}},
        {HatchStyleDottedGrid, {0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0xAA}},
        {HatchStyleDottedDiamond, {0x00, 0x22, 0x00, 0x08, 0x00, 0x22, 0x00, 0x80}},
        {HatchStyleShingle, {0x01, 0x01, 0x02, 0x0C, 0x30, 0x48, 0x84, 0x03}},
        {HatchStyleTrellis, {0x99, 0xFF, 0x66, 0xFF, 0x99, 0xFF, 0x66, 0xFF}},
        {HatchStyleSphere, {0xF8, 0xF8, 0x98, 0x77, 0x8F, 0x8F, 0x89, 0x77}},
        {HatchStyleSmallGrid, {0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88, 0xFF}},
        {HatchStyleSmallCheckerBoard, {0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99}},
        {HatchStyleLargeCheckerBoard, {0x0F, 0x0F, 0x0F, 0x0F, 0xF0, 0xF0, 0xF0, 0xF0}},
        {HatchStyleOutlinedDiamond, {0x01, 0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82}},
        {HatchStyleSolidDiamond, {0x00, 0x10, 0x38, 0x7C, 0xFE, 0x7C, 0x38, 0x10}},
    };
    static_assert(sizeof(table) / sizeof(table[0]) == HatchStyleTotal, "every style is pinned");
    const int onLine = int(std::lround((std::sqrt(2.0) - 0.5) * 255)), beside = 64;
    for (const Stored& entry : table) {
        const bool antiAliased = entry.style == HatchStyleForwardDiagonal ||
                                 entry.style == HatchStyleBackwardDiagonal || entry.style == HatchStyleDiagonalCross;
        auto lit = [&](int x, int y) { return (entry.rowsBottomUp[7 - y] & (0x80 >> ((x + 8) % 8))) != 0; };
        const Tile tile = TileOf(entry.style);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                int want = lit(x, y) ? 255 : 0;
                if (antiAliased)
                    want = lit(x, y) ? onLine : (lit(x - 1, y) || lit(x + 1, y)) ? beside : 0;
                EXPECT_NEAR(tile[y][x], want, 1) << "style " << entry.style << " at " << x << "," << y;
            }
    }
}

TEST_F(Hatch, TilesRepeatFromTheSurfaceOriginInsideTheFilledRectangleOnly)
{
    std::set<Tile> seen;
    for (int style = HatchStyleMin; style <= HatchStyleMax; ++style) {
        const Tile tile = TileOf(style);
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
                const std::uint32_t want = !inside ? 0x808080 : At(tile, x, y) * 0x010101u;
                ASSERT_EQ(section.At(x, y), want) << "style " << style << " at " << x << "," << y;
            }
    }
}

TEST_F(Hatch, TranslucentFillsShowTheSameTilesAsOpaqueOnes)
{
    // Opaque colours are copied row by row, translucent ones composited by pixman: both must give
    // each pixel the same mix of foreground and background.
    for (int style = HatchStyleMin; style <= HatchStyleMax; ++style) {
        const Tile tile = TileOf(style);
        moxtest::Section section(21, 19);
        section.Fill(0x808080);
        HatchPtr brush = MakeHatch(style, 0x80FFFFFF, 0x80000000);
        ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 5, 3, 13, 14), Ok);
        for (int y = 3; y < 17; ++y)
            for (int x = 5; x < 18; ++x) {
                // Half the tile's grey over half the surface's.
                const double want = (At(tile, x, y) * 128.0 + 0x80 * 127.0) / 255;
                const std::uint32_t got = section.At(x, y);
                ASSERT_NEAR(int(got & 0xFF), want, 1.01) << "style " << style << " at " << x << "," << y;
                ASSERT_EQ(got, (got & 0xFF) * 0x010101u);
            }
        EXPECT_EQ(section.At(4, 3), 0x808080u);
        EXPECT_EQ(section.At(18, 16), 0x808080u);
    }
}

TEST_F(Hatch, AntiAliasedTilesMixTheTwoColours)
{
    // Coloured, not grey: each channel of a partly covered pixel lies between the background's
    // and the foreground's in proportion to the coverage.
    const Tile coverage = TileOf(HatchStyleDiagonalCross);
    moxtest::Section section(8, 8);
    HatchPtr brush = MakeHatch(HatchStyleDiagonalCross, 0xFFFF8000, 0xFF0020FF);
    ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 0, 0, 8, 8), Ok);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const double c = coverage[y][x] / 255.0;
            const std::uint32_t p = section.At(x, y);
            EXPECT_NEAR(int(p >> 16), 0xFF * c, 1.01) << x << "," << y;
            EXPECT_NEAR(int((p >> 8) & 0xFF), 0x80 * c + 0x20 * (1 - c), 1.01) << x << "," << y;
            EXPECT_NEAR(int(p & 0xFF), 0xFF * (1 - c), 1.01) << x << "," << y;
        }
}

TEST_F(Hatch, PartlyCoveredPixelsTakeNoColourFromATransparentBackground)
{
    // Half-transparent red lines over a fully transparent blue background, on white: a partly
    // covered pixel is that much of the red over white. The invisible blue must not tint it.
    const Tile coverage = TileOf(HatchStyleBackwardDiagonal);
    moxtest::Section section(8, 8);
    section.Fill(0xFFFFFF);
    HatchPtr brush = MakeHatch(HatchStyleBackwardDiagonal, 0x80FF0000, 0x000000FF);
    ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 0, 0, 8, 8), Ok);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const double a = 128.0 / 255 * coverage[y][x] / 255;
            const std::uint32_t p = section.At(x, y);
            EXPECT_EQ(p >> 16, 0xFFu) << x << "," << y;
            EXPECT_NEAR(int((p >> 8) & 0xFF), 255 * (1 - a), 1.01) << x << "," << y;
            EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF) << x << "," << y;
        }
}

TEST_F(Hatch, BottomUpSurfacesAnchorAtTheirTopLeftToo)
{
    for (int style : {HatchStyleDiagonalBrick, HatchStyleBackwardDiagonal}) {
        const Tile tile = TileOf(style);
        moxtest::Section section(13, 11, true);
        section.Fill(0x808080);
        HatchPtr brush = MakeHatch(style);
        ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), 0, 0, 13, 11), Ok);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(section.At(x, y), At(tile, x, y) * 0x010101u) << style << " at " << x << "," << y;
    }
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
}

// A solid fill is not a hatch: the stand-in's hatch queries refuse it rather than misread it.
// Microsoft's documentation does not say what the flat API does with the wrong kind of brush;
// Wine's gdiplus reads it as a hatch.
TEST_F(Hatch, StandInRefusesHatchQueriesOnOtherBrushes)
{
    HatchStyle style = HatchStyleHorizontal;
    GpSolidFill* solid = nullptr;
    ASSERT_EQ(GdipCreateSolidFill(0xFF00FF00, &solid), Ok);
    EXPECT_EQ(GdipGetHatchStyle(reinterpret_cast<GpHatch*>(static_cast<GpBrush*>(solid)), &style), InvalidParameter);
    EXPECT_EQ(GdipDeleteBrush(solid), Ok);
}

TEST_F(Hatch, BadArgumentsAreRefused)
{
    // No half-made brush comes back (whether a failure clears the caller's pointer is not
    // documented: the stand-in does, Wine's gdiplus leaves it alone).
    GpHatch* brush = nullptr;
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
