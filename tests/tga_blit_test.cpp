// The TGA blitter: clipping order, the per-pixel alpha rule with its rounding, the constant
// opacity, images without pixels, and a randomized comparison with a plain model of all of it.
#include <MoxImage2.h>

#include "tga_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

using moxtest::PixelAt;
using moxtest::Rgb;
using moxtest::Rgba;
using moxtest::TgaLayout;

namespace {

std::unique_ptr<CMoxTga> MakeTga(int width, int height, const moxtest::TgaPixel& pixel)
{
    auto tga = std::make_unique<CMoxTga>();
    EXPECT_TRUE(tga->Init(moxtest::WriteTga("blit.tga", TgaLayout{width, height}, pixel).c_str()));
    return tga;
}

// Image pixel (x, y) of the "coordinates" picture: red and green name the pixel, fully opaque.
Rgba Coordinates(int x, int y)
{
    return Rgba{std::uint8_t(x + 1), std::uint8_t(y + 1), 77, 255};
}

// A picture of one colour and alpha.
moxtest::TgaPixel Flat(Rgba c)
{
    return [c](int, int) { return c; };
}

const Rgb kBack{9, 8, 7};

struct Canvas {
    CMoxGraphics g;
    Canvas(int width, int height)
    {
        EXPECT_TRUE(g.Init(width, height));
        moxtest::Fill(g, kBack);
    }
};

// Checks that canvas pixel (x, y) shows image pixel (x - dx, y - dy) of Coordinates inside
// [x0, x1) x [y0, y1), and the background elsewhere.
void ExpectCoordinatesIn(CMoxGraphics& g, int x0, int y0, int x1, int y1, int dx, int dy)
{
    for (int y = 0; y < int(g.GetHeight()); ++y)
        for (int x = 0; x < int(g.GetWidth()); ++x) {
            const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
            Rgb want = kBack;
            if (inside) {
                const Rgba c = Coordinates(x - dx, y - dy);
                want = Rgb{c.r, c.g, c.b};
            }
            ASSERT_EQ(PixelAt(g, x, y), want) << "canvas pixel " << x << "," << y;
        }
}

void ExpectUntouched(CMoxGraphics& g)
{
    ExpectCoordinatesIn(g, 0, 0, 0, 0, 0, 0);
}

} // namespace

TEST(TgaBlitClip, WholeImageAtNegativePosition)
{
    Canvas c(20, 15);
    auto tga = MakeTga(10, 10, Coordinates);
    c.g.Draw(tga.get(), -3, -4);
    // Canvas (0..6, 0..5) from image (3..9, 4..9).
    ExpectCoordinatesIn(c.g, 0, 0, 7, 6, -3, -4);
}

TEST(TgaBlitClip, WholeImageAtTheRightAndBottomEdges)
{
    auto tga = MakeTga(10, 10, Coordinates);
    {
        Canvas c(20, 12);
        c.g.Draw(tga.get(), 18, 0);
        ExpectCoordinatesIn(c.g, 18, 0, 20, 10, 18, 0);
    }
    {
        Canvas c(20, 12);
        c.g.Draw(tga.get(), 5, 9);
        ExpectCoordinatesIn(c.g, 5, 9, 15, 12, 5, 9);
    }
    {
        Canvas c(20, 12);
        c.g.Draw(tga.get(), 20, 0);
        c.g.Draw(tga.get(), 0, 12);
        c.g.Draw(tga.get(), -10, 0);
        c.g.Draw(tga.get(), 0, -10);
        ExpectUntouched(c.g);
    }
}

TEST(TgaBlitClip, RegionSizes)
{
    auto tga = MakeTga(10, 10, Coordinates);
    {
        SCOPED_TRACE("-1 means to the image's edges");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), 2, 3, 4, 6, -1, -1);
        ExpectCoordinatesIn(c.g, 2, 3, 8, 7, -2, -3);
    }
    {
        SCOPED_TRACE("larger than the image is cut at its edges");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), 0, 0, 7, 8, 9, 500);
        ExpectCoordinatesIn(c.g, 0, 0, 3, 2, -7, -8);
    }
    {
        SCOPED_TRACE("an inner region");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), 11, 12, 2, 1, 3, 4, 255);
        ExpectCoordinatesIn(c.g, 11, 12, 14, 16, 9, 11);
    }
    {
        SCOPED_TRACE("zero size");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), 1, 1, 0, 0, 0, 5);
        c.g.Draw(tga.get(), 1, 1, 0, 0, 5, 0);
        ExpectUntouched(c.g);
    }
}

TEST(TgaBlitClip, SourceOrigin)
{
    auto tga = MakeTga(10, 10, Coordinates);
    {
        SCOPED_TRACE("negative or past-the-end origin draws nothing");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), 0, 0, -1, 0, 5, 5);
        c.g.Draw(tga.get(), 0, 0, 0, -1, 5, 5);
        c.g.Draw(tga.get(), 0, 0, 10, 0, 5, 5);
        c.g.Draw(tga.get(), 0, 0, 0, 10, 5, 5, 200);
        c.g.Draw(tga.get(), 3, 3, -70000, 0, -1, -1);
        ExpectUntouched(c.g);
    }
    {
        SCOPED_TRACE("origin on the last column draws one column");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), 4, 2, 9, 0, 5, 3);
        ExpectCoordinatesIn(c.g, 4, 2, 5, 5, -5, 2);
    }
    {
        SCOPED_TRACE("a negative position moves a negative origin into the image");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), -5, 0, -2, 0, 10, 2);
        // Origin 3, width 5: image columns 3..7 into canvas columns 0..4.
        ExpectCoordinatesIn(c.g, 0, 0, 5, 2, -3, 0);
    }
    {
        SCOPED_TRACE("positions far outside clip instead of wrapping");
        Canvas c(20, 20);
        c.g.Draw(tga.get(), 2147483647, 0, 0, 0, 10, 10);
        c.g.Draw(tga.get(), -2147483647 - 1, 0, 0, 0, 10, 10);
        c.g.Draw(tga.get(), -2147483647 - 1, 0, 2147483647, 0, -1, -1);
        c.g.Draw(tga.get(), 0, 2147483647, 0, 0, -1, -1, 9);
        ExpectUntouched(c.g);
    }
}

TEST(TgaBlitClip, CanvasWithoutPixelsDrawsNothing)
{
    auto tga = MakeTga(4, 4, Coordinates);
    CMoxGraphics empty; // before Init: 0 x 0 and no pixel memory
    empty.Draw(tga.get(), 0, 0);
    empty.Draw(tga.get(), 0, 0, 0, 0, -1, -1);
    empty.Draw(tga.get(), 0, 0, 0, 0, -1, -1, 100);
    EXPECT_EQ(empty.m_pDIBBits, nullptr);

    Canvas c(8, 8);
    c.g.m_nBitCount = 32; // only the 24-bit back buffer is drawn
    c.g.Draw(tga.get(), 0, 0);
    c.g.Draw(tga.get(), 0, 0, 0, 0, 4, 4);
    c.g.Draw(tga.get(), 0, 0, 0, 0, 4, 4, 128);
    c.g.m_nBitCount = 24;
    ExpectUntouched(c.g);
}

TEST(TgaBlitClip, ImageWithoutPixelsDrawsNothing)
{
    auto tga = MakeTga(6, 6, Coordinates);
    // A failed re-load leaves the old size but no pixels.
    EXPECT_FALSE(tga->Init(moxtest::TempPath("missing.tga").c_str()));
    ASSERT_EQ(tga->GetWidth(), 6u);
    Canvas c(8, 8);
    c.g.Draw(tga.get(), 0, 0);
    c.g.Draw(tga.get(), 0, 0, 0, 0, 6, 6);
    c.g.Draw(tga.get(), 0, 0, 0, 0, -1, -1, 100);
    CMoxTga never;
    c.g.Draw(&never, 0, 0);
    c.g.Draw(&never, 0, 0, 0, 0, -1, -1);
    c.g.Draw(static_cast<CMoxTga*>(nullptr), 0, 0);
    c.g.Draw(static_cast<CMoxTga*>(nullptr), 0, 0, 0, 0, 1, 1);
    c.g.Draw(static_cast<CMoxTga*>(nullptr), 0, 0, 0, 0, 1, 1, 1);
    ExpectUntouched(c.g);
}

namespace {

// Draws a 1 x 1 image (B, G, R, A) over one canvas pixel (b, g, r) and returns the result.
Rgb BlendOne(Rgb canvas, Rgba image, int opacity = -1)
{
    Canvas c(1, 1);
    moxtest::Fill(c.g, canvas);
    auto tga = MakeTga(1, 1, Flat(image));
    if (opacity < 0)
        c.g.Draw(tga.get(), 0, 0);
    else
        c.g.Draw(tga.get(), 0, 0, 0, 0, 1, 1, static_cast<unsigned char>(opacity));
    return PixelAt(c.g, 0, 0);
}

} // namespace

TEST(TgaBlitPixel, OpaqueCopiesAndTransparentSkips)
{
    EXPECT_EQ(BlendOne(Rgb{1, 2, 3}, Rgba{250, 128, 0, 255}), (Rgb{250, 128, 0}));
    EXPECT_EQ(BlendOne(Rgb{1, 2, 3}, Rgba{250, 128, 0, 0}), (Rgb{1, 2, 3}));
}

TEST(TgaBlitPixel, BlendRoundsTowardsMinusInfinity)
{
    // The worked example: (b, g, r) (200, 100, 0) under (0, 100, 255) at 128 -> (100, 100, 127).
    EXPECT_EQ(BlendOne(Rgb{0, 100, 200}, Rgba{255, 100, 0, 128}), (Rgb{127, 100, 100}));
    // Canvas 200 towards 0 by 1/256 loses one; 0 towards 200 does not move; 254/256 of 255 is 253.
    EXPECT_EQ(BlendOne(Rgb{200, 0, 0}, Rgba{0, 200, 255, 1}), (Rgb{199, 0, 0}));
    EXPECT_EQ(BlendOne(Rgb{200, 200, 200}, Rgba{0, 0, 0, 1}), (Rgb{199, 199, 199}));
    EXPECT_EQ(BlendOne(Rgb{0, 0, 0}, Rgba{255, 200, 255, 254}), (Rgb{253, 198, 253}));
}

TEST(TgaBlitPixel, ConstantOpacityScalesEveryAlpha)
{
    const Rgb canvas{0, 0, 0};
    const Rgba white{255, 255, 255, 255};
    // 255 x 128 >> 8 = 127; 255 x 254 >> 8 = 253: a blend, not a copy.
    EXPECT_EQ(BlendOne(canvas, white, 128), (Rgb{126, 126, 126}));
    EXPECT_EQ(BlendOne(canvas, white, 254), (Rgb{252, 252, 252}));
    EXPECT_EQ(BlendOne(canvas, white, 0), canvas);
    // Opacity 255 leaves each pixel's own alpha in force, exactly as the overload without it.
    for (int a : {0, 1, 77, 128, 254, 255}) {
        const Rgba px{10, 200, 99, std::uint8_t(a)};
        EXPECT_EQ(BlendOne(Rgb{240, 3, 100}, px, 255), BlendOne(Rgb{240, 3, 100}, px)) << "alpha " << a;
    }
    // Scaled alpha of 0 leaves the canvas alone: 1 x 200 >> 8 = 0.
    EXPECT_EQ(BlendOne(Rgb{5, 5, 5}, Rgba{200, 200, 200, 1}, 200), (Rgb{5, 5, 5}));
}

// --- The whole blitter against a plain model -------------------------------------------------

namespace {

struct Image {
    int w, h;
    std::vector<Rgba> px; // top row first
};

// The model: the clipping steps in order, with exact arithmetic and a bounds test on every
// pixel, and the blend written with floor division.
void ModelDraw(std::vector<unsigned char>& mem, int stride, int cw, int ch, const Image& img, bool region, long long x,
               long long y, long long sx, long long sy, long long w, long long h, int opacity)
{
    const long long W = img.w, H = img.h;
    if (!region) {
        sx = sy = 0;
        w = W;
        h = H;
    } else {
        if (static_cast<std::uint32_t>(w) > std::uint32_t(W))
            w = W;
        if (static_cast<std::uint32_t>(h) > std::uint32_t(H))
            h = H;
    }
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    if (x + w > cw)
        w = cw - x;
    if (y + h > ch)
        h = ch - y;
    if (sx < 0 || sx >= W || sy < 0 || sy >= H || w <= 0 || h <= 0)
        return;
    if (sx + w >= W)
        w = W - sx;
    if (sy + h >= H)
        h = H - sy;
    for (long long j = 0; j < h; ++j)
        for (long long i = 0; i < w; ++i) {
            const long long cx = x + i, cy = y + j;
            ASSERT_TRUE(cx >= 0 && cx < cw && cy >= 0 && cy < ch);
            const Rgba s = img.px[size_t((sy + j) * W + sx + i)];
            int a = s.a;
            if (opacity >= 0 && opacity != 255)
                a = a * opacity / 256;
            unsigned char* d = &mem[size_t(cy * stride + cx * 3)];
            const int src[3] = {s.b, s.g, s.r};
            for (int k = 0; k < 3; ++k) {
                if (a == 255)
                    d[k] = static_cast<unsigned char>(src[k]);
                else
                    d[k] = static_cast<unsigned char>(d[k] + std::floor((src[k] - d[k]) * a / 256.0));
            }
        }
}

DIBSECTION SectionOf(CMoxGraphics& g)
{
    DIBSECTION ds{};
    EXPECT_EQ(GetObject(g.GetBitmap(), sizeof ds, &ds), int(sizeof ds));
    return ds;
}

} // namespace

TEST(TgaBlitModel, RandomDrawsMatchThePlainModelByteForByte)
{
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Alpha mostly at its two special values, the rest anywhere.
    auto alpha = [&]() -> std::uint8_t {
        const int k = pick(0, 3);
        return k == 0 ? 0 : k == 1 ? 255 : std::uint8_t(pick(0, 255));
    };

    // Widths whose rows leave 1, 2 and 3 bytes of stride padding, which must never be written.
    for (auto [cw, ch] : {std::pair{13, 9}, std::pair{22, 7}, std::pair{31, 12}}) {
        SCOPED_TRACE("canvas " + std::to_string(cw) + "x" + std::to_string(ch));
        CMoxGraphics g;
        ASSERT_TRUE(g.Init(cw, ch));
        DIBSECTION ds = SectionOf(g);
        const int stride = ds.dsBm.bmWidthBytes;
        ASSERT_GT(stride, cw * 3);
        unsigned char* bits = static_cast<unsigned char*>(ds.dsBm.bmBits);
        const size_t size = size_t(stride) * size_t(ch);
        for (size_t i = 0; i < size; ++i)
            bits[i] = std::uint8_t(pick(0, 255));
        std::vector<unsigned char> model(bits, bits + size);

        for (int round = 0; round < 12; ++round) {
            Image img{pick(1, 17), pick(1, 17), {}};
            for (int i = 0; i < img.w * img.h; ++i)
                img.px.push_back(
                    Rgba{std::uint8_t(pick(0, 255)), std::uint8_t(pick(0, 255)), std::uint8_t(pick(0, 255)), alpha()});
            auto tga = MakeTga(img.w, img.h, [&img](int x, int y) { return img.px[size_t(y * img.w + x)]; });
            ASSERT_EQ(tga->GetWidth(), unsigned(img.w));

            for (int draw = 0; draw < 150; ++draw) {
                const int kind = pick(0, 2);
                const int x = pick(-img.w - 3, cw + 2), y = pick(-img.h - 3, ch + 2);
                const int sx = pick(-4, img.w + 1), sy = pick(-4, img.h + 1);
                const int w = pick(0, 4) == 0 ? -pick(1, 3) : pick(0, img.w + 4);
                const int h = pick(0, 4) == 0 ? -pick(1, 3) : pick(0, img.h + 4);
                const int opacity = pick(0, 3) == 0 ? 255 * pick(0, 1) : pick(0, 255);
                if (kind == 0) {
                    g.Draw(tga.get(), x, y);
                    ModelDraw(model, stride, cw, ch, img, false, x, y, 0, 0, 0, 0, -1);
                } else if (kind == 1) {
                    g.Draw(tga.get(), x, y, sx, sy, w, h);
                    ModelDraw(model, stride, cw, ch, img, true, x, y, sx, sy, w, h, -1);
                } else {
                    g.Draw(tga.get(), x, y, sx, sy, w, h, static_cast<unsigned char>(opacity));
                    ModelDraw(model, stride, cw, ch, img, true, x, y, sx, sy, w, h, opacity);
                }
                for (size_t i = 0; i < size; ++i)
                    ASSERT_EQ(bits[i], model[i])
                        << "byte " << i << " (row " << i / size_t(stride) << ", offset " << i % size_t(stride)
                        << ") after overload " << kind << " at " << x << "," << y << " src " << sx << "," << sy
                        << " size " << w << "x" << h << " opacity " << opacity << " image " << img.w << "x" << img.h;
            }
        }
    }
}
