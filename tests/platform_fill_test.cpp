// Translucent FillRectangle with solid and hatch brushes gives, byte for byte, what pixman's OVER
// of the brush's repeating tile gives, wherever the rectangle lies and whatever is beneath it.
// The tile is read back from the brush itself (painted over black it shows its premultiplied
// colour, over white that plus 255 - alpha), so this holds for any tile the hatch styles use.
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <pixman.h>

#include <cstring>
#include <random>
#include <vector>

#include "canvas_support.h"
#include "gdiplus_image_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct Rows {
    std::uint8_t* top;
    std::ptrdiff_t stride;
};

// GetObject reports a positive height for both orientations, as Windows does, so the caller
// says which one it made.
Rows RowsOf(const moxtest::Section& section, bool bottomUp)
{
    DIBSECTION ds{};
    GetObject(section.bitmap(), sizeof ds, &ds);
    auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
    const std::ptrdiff_t stride = ds.dsBm.bmWidthBytes;
    if (bottomUp) // the top row is stored last
        return {bits + (section.height() - 1) * stride, -stride};
    return {bits, stride};
}

struct BrushDelete {
    void operator()(GpBrush* b) const { GdipDeleteBrush(b); }
};
using BrushPtr = std::unique_ptr<GpBrush, BrushDelete>;

BrushPtr MakeBrush(int style, ARGB fore, ARGB back)
{
    if (style < 0) {
        GpSolidFill* solid = nullptr;
        EXPECT_EQ(GdipCreateSolidFill(fore, &solid), Ok);
        return BrushPtr(solid);
    }
    GpHatch* hatch = nullptr;
    EXPECT_EQ(GdipCreateHatchBrush(HatchStyle(style), fore, back, &hatch), Ok);
    return BrushPtr(hatch);
}

// The brush's 8 x 8 premultiplied a8r8g8b8 tile, as painted from the surface origin.
std::vector<std::uint32_t> TileOf(GpBrush* brush)
{
    moxtest::Section black(8, 8), white(8, 8);
    black.Fill(0x000000);
    white.Fill(0xFFFFFF);
    EXPECT_EQ(GdipFillRectangleI(black.graphics(), brush, 0, 0, 8, 8), Ok);
    EXPECT_EQ(GdipFillRectangleI(white.graphics(), brush, 0, 0, 8, 8), Ok);
    std::vector<std::uint32_t> tile(64);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t colour = black.At(x, y);
            const std::uint32_t inverse = (white.At(x, y) & 0xFF) - (colour & 0xFF);
            tile[y * 8 + x] = (255 - inverse) << 24 | colour;
        }
    return tile;
}

TEST(TranslucentFill, MatchesPixmanOverOfTheBrushTileAnywhere)
{
    moxcanvas::StartGdiplus();
    std::mt19937 rng(3);
    const int kW = 45, kH = 21;
    const struct {
        int style; // -1: a solid brush
        ARGB fore, back;
    } brushes[] = {
        {-1, 0x80336699, 0},
        {-1, 0x01FFFFFF, 0},
        {-1, 0xFE102030, 0},
        {-1, 0x7FFF00FF, 0},
        {HatchStyleDiagonalCross, 0x80FFFFFF, 0x80000000},
        {HatchStyleForwardDiagonal, 0x803050A0, 0x40E0E0F0},
        {HatchStyleBackwardDiagonal, 0xC0FF0000, 0x00000000},
        {HatchStyleHorizontal, 0x80FFFFFF, 0xFF000000},
        {HatchStyleCross, 0x10ABCDEF, 0xF0123456},
    };
    for (const auto& b : brushes)
        for (bool bottomUp : {false, true}) {
            BrushPtr brush = MakeBrush(b.style, b.fore, b.back);
            std::vector<std::uint32_t> tile = TileOf(brush.get());
            pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, 8, 8, tile.data(), 32);
            pixman_image_set_repeat(source, PIXMAN_REPEAT_NORMAL);

            moxtest::Section section(kW, kH, bottomUp);
            const Rows rows = RowsOf(section, bottomUp);
            for (int round = 0; round < 12; ++round) {
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < 3 * kW; ++x)
                        rows.top[y * rows.stride + x] = std::uint8_t(rng());
                // pixman's answer, in a top-down copy.
                const int stride4 = (3 * kW + 3) & ~3;
                std::vector<std::uint8_t> expected(std::size_t(stride4) * kH);
                for (int y = 0; y < kH; ++y)
                    std::memcpy(&expected[std::size_t(y) * stride4], rows.top + y * rows.stride, 3 * kW);
                const int x = int(rng() % (kW + 8)) - 6, y = int(rng() % (kH + 6)) - 4;
                const int w = int(rng() % 40), h = int(rng() % 16);
                pixman_image_t* target = pixman_image_create_bits(
                    PIXMAN_r8g8b8, kW, kH, reinterpret_cast<std::uint32_t*>(expected.data()), stride4);
                const int x0 = std::max(x, 0), y0 = std::max(y, 0);
                const int x1 = std::min(x + w, kW), y1 = std::min(y + h, kH);
                if (x1 > x0 && y1 > y0)
                    pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, x0, y0, 0, 0, x0, y0, x1 - x0,
                                             y1 - y0);
                pixman_image_unref(target);

                ASSERT_EQ(GdipFillRectangleI(section.graphics(), brush.get(), x, y, w, h), Ok);
                for (int yy = 0; yy < kH; ++yy)
                    ASSERT_EQ(std::memcmp(rows.top + yy * rows.stride, &expected[std::size_t(yy) * stride4], 3 * kW), 0)
                        << "style " << b.style << " fore " << std::hex << b.fore << std::dec << " bottom-up "
                        << bottomUp << " box " << x << "," << y << " " << w << "x" << h << " row " << yy;
            }
            pixman_image_unref(source);
        }
}

} // namespace

namespace {

// Text in a translucent or opaque solid colour over any background is pixman's OVER of the
// colour through the text's coverage, byte for byte. The coverage is read back from the same
// text drawn in opaque white on black.
TEST(TranslucentText, MatchesPixmanOverOfItsCoverage)
{
    moxcanvas::StartGdiplus();
    std::mt19937 rng(11);
    const int kW = 150, kH = 30;
    GpFontFamily* family = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(L"DejaVu Sans", nullptr, &family), Ok);
    GpFont* font = nullptr;
    ASSERT_EQ(GdipCreateFont(family, 13, FontStyleBold, UnitPoint, &font), Ok);
    GdipDeleteFontFamily(family);
    const RectF at(3.5f, 2.25f, 0, 0);
    const wchar_t* text = L"Bonus x3 @ 92%";

    moxtest::Section coverage(kW, kH);
    coverage.Fill(0x000000);
    BrushPtr white = MakeBrush(-1, 0xFFFFFFFF, 0);
    ASSERT_EQ(GdipDrawString(coverage.graphics(), text, -1, font, &at, nullptr, white.get()), Ok);
    const int maskStride = (kW + 3) & ~3;
    std::vector<std::uint8_t> mask(std::size_t(maskStride) * kH);
    std::size_t inked = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            mask[std::size_t(y) * maskStride + x] = std::uint8_t(coverage.At(x, y) & 0xFF);
            inked += mask[std::size_t(y) * maskStride + x] != 0;
        }
    ASSERT_GT(inked, 200u);
    pixman_image_t* maskImage =
        pixman_image_create_bits(PIXMAN_a8, kW, kH, reinterpret_cast<std::uint32_t*>(mask.data()), maskStride);
    ASSERT_NE(maskImage, nullptr);

    for (ARGB colour : {0xFF102030u, 0x80336699u, 0x01FFFFFFu, 0xFE00FF80u, 0x7F000000u, 0x00FFFFFFu})
        for (bool bottomUp : {false, true}) {
            BrushPtr brush = MakeBrush(-1, colour, 0);
            const std::uint32_t premultiplied = TileOf(brush.get())[0];
            const pixman_color_t solidColour = {std::uint16_t(((premultiplied >> 16) & 0xFF) * 0x101),
                                                std::uint16_t(((premultiplied >> 8) & 0xFF) * 0x101),
                                                std::uint16_t((premultiplied & 0xFF) * 0x101),
                                                std::uint16_t((premultiplied >> 24) * 0x101)};
            pixman_image_t* solid = pixman_image_create_solid_fill(&solidColour);
            moxtest::Section section(kW, kH, bottomUp);
            const Rows rows = RowsOf(section, bottomUp);
            for (int round = 0; round < 3; ++round) { // drawn again: the kept coverage is used
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < 3 * kW; ++x)
                        rows.top[y * rows.stride + x] = std::uint8_t(rng());
                const int stride4 = (3 * kW + 3) & ~3;
                std::vector<std::uint8_t> expected(std::size_t(stride4) * kH);
                for (int y = 0; y < kH; ++y)
                    std::memcpy(&expected[std::size_t(y) * stride4], rows.top + y * rows.stride, 3 * kW);
                pixman_image_t* target = pixman_image_create_bits(
                    PIXMAN_r8g8b8, kW, kH, reinterpret_cast<std::uint32_t*>(expected.data()), stride4);
                pixman_image_composite32(PIXMAN_OP_OVER, solid, maskImage, target, 0, 0, 0, 0, 0, 0, kW, kH);
                pixman_image_unref(target);
                ASSERT_EQ(GdipDrawString(section.graphics(), text, -1, font, &at, nullptr, brush.get()), Ok);
                for (int yy = 0; yy < kH; ++yy)
                    ASSERT_EQ(std::memcmp(rows.top + yy * rows.stride, &expected[std::size_t(yy) * stride4], 3 * kW), 0)
                        << "colour " << std::hex << colour << std::dec << " bottom-up " << bottomUp << " row " << yy;
            }
            pixman_image_unref(solid);
        }
    pixman_image_unref(maskImage);
    GdipDeleteFont(font);
}

} // namespace
