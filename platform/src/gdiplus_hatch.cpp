// The 8 x 8 tiles of the 53 hatch styles. Each style is a rule over tile coordinates (x, y),
// evaluated once into a bit table: row y is a byte, column x its bit 0x80 >> x.
#include "gdiplus_tools.h"

#include <array>
#include <cstdlib>

using namespace Gdiplus;

namespace moxplat {

namespace {

// Ordered dither: the percent styles take the n smallest thresholds, so each is spread evenly
// and every denser style contains the lighter ones; n = 32 is the one-pixel checkerboard.
constexpr std::uint8_t kBayer[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                       {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                       {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                       {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

// Pixels of the percent styles 5, 10, 20, 25, 30, 40, 50, 60, 70, 75, 80 and 90: the nearest
// whole number of the tile's 64, except that GDI+'s 5 percent is two dots, (0, 0) and (4, 4).
constexpr int kPercentPixels[12] = {2, 6, 13, 16, 19, 26, 32, 38, 45, 48, 51, 58};

// Styles drawn as pictures rather than rules.
constexpr std::uint8_t kWeave[8] = {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51};
constexpr std::uint8_t kPlaid[8] = {0xAA, 0x55, 0xAA, 0x55, 0xF0, 0xF0, 0xF0, 0xF0};
constexpr std::uint8_t kDivot[8] = {0x00, 0x20, 0x40, 0x20, 0x00, 0x04, 0x02, 0x04};
constexpr std::uint8_t kShingle[8] = {0x84, 0x48, 0x30, 0x20, 0x20, 0x10, 0x0C, 0x03};
constexpr std::uint8_t kTrellis[8] = {0xFF, 0x66, 0xFF, 0x99, 0xFF, 0x66, 0xFF, 0x99};
constexpr std::uint8_t kSphere[8] = {0x77, 0x89, 0x8F, 0x8F, 0x77, 0x98, 0xF8, 0xF8};
constexpr std::uint8_t kSmallConfetti[8] = {0x20, 0x04, 0x40, 0x02, 0x10, 0x80, 0x08, 0x01};
constexpr std::uint8_t kLargeConfetti[8] = {0x30, 0x36, 0xC6, 0xC0, 0x0C, 0x6C, 0x63, 0x03};
// Zigzags and waves are four rows high, two bands to a tile.
constexpr std::uint8_t kZigZag[8] = {0x30, 0x48, 0x84, 0x03, 0x30, 0x48, 0x84, 0x03};
constexpr std::uint8_t kWave[8] = {0x00, 0x06, 0x49, 0x30, 0x00, 0x06, 0x49, 0x30};
constexpr std::uint8_t kDiagonalBrick[8] = {0x01, 0x02, 0x04, 0x08, 0x18, 0x24, 0x42, 0x81};

bool Picture(const std::uint8_t* rows, int x, int y)
{
    return rows[y] & (0x80 >> x);
}

// (x - y) and (x + y) reduced into 0..7: the downward ("\") and upward ("/") diagonal indices.
int Down(int x, int y)
{
    return (x - y + 8) & 7;
}
int Up(int x, int y)
{
    return (x + y) & 7;
}

bool Covers(HatchStyle style, int x, int y)
{
    switch (style) {
    // The single lines cross at (4, 4), not at the tile's corner.
    case HatchStyleHorizontal:
        return y == 4;
    case HatchStyleVertical:
        return x == 4;
    case HatchStyleForwardDiagonal:
        return Down(x, y) == 0;
    case HatchStyleBackwardDiagonal:
        return Up(x, y) == 7;
    case HatchStyleCross:
        return x == 4 || y == 4;
    case HatchStyleDiagonalCross:
        return Down(x, y) == 0 || Up(x, y) == 7;
    case HatchStyle05Percent:
    case HatchStyle10Percent:
    case HatchStyle20Percent:
    case HatchStyle25Percent:
    case HatchStyle30Percent:
    case HatchStyle40Percent:
    case HatchStyle50Percent:
    case HatchStyle60Percent:
    case HatchStyle70Percent:
    case HatchStyle75Percent:
    case HatchStyle80Percent:
    case HatchStyle90Percent:
        return kBayer[y][x] < kPercentPixels[style - HatchStyle05Percent];
    case HatchStyleLightDownwardDiagonal:
        return (Down(x, y) & 3) == 0;
    case HatchStyleLightUpwardDiagonal:
        return (Up(x, y) & 3) == 3;
    case HatchStyleDarkDownwardDiagonal:
        return (Down(x, y) & 3) < 2;
    // Like the downward ones, the upward dark and wide lines grow rightwards from their single
    // diagonal, so they are not the downward tiles mirrored.
    case HatchStyleDarkUpwardDiagonal:
        return ((Up(x, y) + 1) & 3) < 2;
    case HatchStyleWideDownwardDiagonal:
        return Down(x, y) < 3;
    case HatchStyleWideUpwardDiagonal:
        return ((Up(x, y) + 1) & 7) < 3;
    case HatchStyleLightVertical:
        return (x & 3) == 0;
    case HatchStyleLightHorizontal:
        return (y & 3) == 0;
    case HatchStyleNarrowVertical:
        return (x & 1) == 0;
    case HatchStyleNarrowHorizontal:
        return (y & 1) == 0;
    case HatchStyleDarkVertical:
        return (x & 3) < 2;
    case HatchStyleDarkHorizontal:
        return (y & 3) < 2;
    case HatchStyleDashedDownwardDiagonal:
        return y < 4 && (Down(x, y) & 3) == 0;
    case HatchStyleDashedUpwardDiagonal:
        return y < 4 && (Up(x, y) & 3) == 3;
    case HatchStyleDashedHorizontal:
        return (y == 0 && x < 4) || (y == 4 && x >= 4);
    case HatchStyleDashedVertical:
        return (x == 0 && y < 4) || (x == 4 && y >= 4);
    case HatchStyleSmallConfetti:
        return Picture(kSmallConfetti, x, y);
    case HatchStyleLargeConfetti:
        return Picture(kLargeConfetti, x, y);
    case HatchStyleZigZag:
        return Picture(kZigZag, x, y);
    case HatchStyleWave:
        return Picture(kWave, x, y);
    case HatchStyleDiagonalBrick:
        return Picture(kDiagonalBrick, x, y);
    case HatchStyleHorizontalBrick:
        return y == 0 || y == 4 || (x == 0 && y < 4) || (x == 4 && y > 4);
    case HatchStyleWeave:
        return Picture(kWeave, x, y);
    case HatchStylePlaid:
        return Picture(kPlaid, x, y);
    case HatchStyleDivot:
        return Picture(kDivot, x, y);
    case HatchStyleDottedGrid:
        return (y == 0 && x % 2 == 0) || (x == 0 && y % 2 == 0);
    case HatchStyleDottedDiamond:
        return x % 2 == 0 && y % 2 == 0 && (Down(x, y) == 0 || Up(x, y) == 0);
    case HatchStyleShingle:
        return Picture(kShingle, x, y);
    case HatchStyleTrellis:
        return Picture(kTrellis, x, y);
    case HatchStyleSphere:
        return Picture(kSphere, x, y);
    case HatchStyleSmallGrid:
        return (x & 3) == 0 || (y & 3) == 0;
    case HatchStyleSmallCheckerBoard:
        return ((x >> 1) + (y >> 1)) % 2 == 0;
    case HatchStyleLargeCheckerBoard:
        return ((x >> 2) + (y >> 2)) % 2 == 0;
    case HatchStyleOutlinedDiamond:
        return Down(x, y) == 0 || Up(x, y) == 6;
    case HatchStyleSolidDiamond:
        return std::abs(x - 3) + std::abs(y - 3) <= 3;
    default:
        return false;
    }
}

using TileTable = std::array<std::array<std::uint8_t, 8>, HatchStyleTotal>;

TileTable BuildTiles()
{
    TileTable tiles{};
    for (int s = 0; s < HatchStyleTotal; ++s)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (Covers(static_cast<HatchStyle>(s), x, y))
                    tiles[s][y] |= std::uint8_t(0x80 >> x);
    return tiles;
}

} // namespace

const std::uint8_t* HatchTile(HatchStyle style)
{
    static const TileTable tiles = BuildTiles();
    if (style < HatchStyleMin || style > HatchStyleMax)
        return nullptr;
    return tiles[style].data();
}

} // namespace moxplat
