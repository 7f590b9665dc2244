// The bitmap blitter: placement, clipping, colour key, constant opacity and the zoom path, for
// raw-form and file-form images alike.
#include "canvas_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using moxcanvas::Form;
using moxcanvas::MakeCanvas;
using moxcanvas::MakeImage;
using moxcanvas::Pattern;
using moxcanvas::Snapshot;
using moxtest::PixelAt;
using moxtest::Rgb;

namespace {

const Rgb kGrey{90, 90, 90};

class BlitForms : public ::testing::TestWithParam<Form> {
protected:
    void SetUp() override
    {
        canvas = MakeCanvas(20, 16, kGrey);
        image = MakeImage(GetParam(), 10, 10);
    }
    std::unique_ptr<CMoxGraphics> canvas;
    std::unique_ptr<CMoxBitmap> image;
};

INSTANTIATE_TEST_SUITE_P(BothForms, BlitForms, ::testing::Values(Form::Raw, Form::File),
                         [](const auto& info) { return info.param == Form::Raw ? "Raw" : "File"; });

// (x0, y0) shows image pixel (sx0, sy0); checks the w x h block and that its surround is untouched.
void ExpectBlock(CMoxGraphics& canvas, int x0, int y0, int sx0, int sy0, int w, int h)
{
    for (int y = 0; y < int(canvas.GetHeight()); ++y)
        for (int x = 0; x < int(canvas.GetWidth()); ++x) {
            const bool inside = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
            const Rgb want = inside ? Pattern(sx0 + x - x0, sy0 + y - y0) : kGrey;
            ASSERT_EQ(PixelAt(canvas, x, y), want) << "at " << x << "," << y;
        }
}

TEST_P(BlitForms, EveryOverloadPlacesTheImageTopRowFirst)
{
    canvas->Draw(image.get(), 2, 3);
    ExpectBlock(*canvas, 2, 3, 0, 0, 10, 10);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), 2, 3, 255);
    ExpectBlock(*canvas, 2, 3, 0, 0, 10, 10);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), 5, 1, 2, 4, 3, 5);
    ExpectBlock(*canvas, 5, 1, 2, 4, 3, 5);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), 5, 1, 2, 4, 3, 5, 255);
    ExpectBlock(*canvas, 5, 1, 2, 4, 3, 5);
}

TEST_P(BlitForms, CanvasEdgesClipWithoutShiftingTheImage)
{
    canvas->Draw(image.get(), -3, 0); // columns 0-6 show image columns 3-9
    ExpectBlock(*canvas, 0, 0, 3, 0, 7, 10);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), 0, -3); // rows 0-6 show image rows 3-9
    ExpectBlock(*canvas, 0, 0, 0, 3, 10, 7);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), 1, 16 - 4); // the last four rows show image rows 0-3
    ExpectBlock(*canvas, 1, 12, 0, 0, 10, 4);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), 14, 2, 0, 0, 10, 10, 255); // right edge
    ExpectBlock(*canvas, 14, 2, 0, 0, 6, 10);
}

TEST_P(BlitForms, ImagesEntirelyOutsideDrawNothing)
{
    const std::vector<unsigned char> before = Snapshot(*canvas);
    canvas->Draw(image.get(), 20, 0);
    canvas->Draw(image.get(), -10, 0);
    canvas->Draw(image.get(), 0, 16, 100);
    canvas->Draw(image.get(), 0, -10, 0, 0, 10, 10);
    canvas->Draw(image.get(), INT_MAX, INT_MAX, 0, 0, 10, 10, 7);
    canvas->Draw(image.get(), INT_MIN, INT_MIN, 0, 0, 10, 10);
    EXPECT_EQ(Snapshot(*canvas), before);
}

TEST_P(BlitForms, SourceRegionIsClippedToTheImage)
{
    const std::vector<unsigned char> before = Snapshot(*canvas);
    canvas->Draw(image.get(), 0, 0, 10, 0, 5, 5); // srcX = width
    canvas->Draw(image.get(), 0, 0, 0, 10, 5, 5, 200);
    canvas->Draw(image.get(), 0, 0, 0, 0, -1, 5); // negative sizes
    canvas->Draw(image.get(), 0, 0, 0, 0, 5, -1, 100);
    canvas->Draw(image.get(), 0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(Snapshot(*canvas), before);

    canvas->Draw(image.get(), 1, 1, 6, 7, 8, 8); // runs off the image's right and bottom edges
    ExpectBlock(*canvas, 1, 1, 6, 7, 4, 3);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), 0, 0, 0, 0, 1000, 1000); // reduced to the image first
    ExpectBlock(*canvas, 0, 0, 0, 0, 10, 10);
}

TEST_P(BlitForms, NegativeSourceOffsetsKeepDestinationAndSourceAligned)
{
    // Destination (5 + j, 4 + k) shows source (-2 + j, -3 + k): only j >= 2, k >= 3 exist.
    canvas->Draw(image.get(), 5, 4, -2, -3, 6, 6);
    ExpectBlock(*canvas, 7, 7, 0, 0, 4, 3);

    moxtest::Fill(*canvas, kGrey);
    canvas->Draw(image.get(), -1, -1, -2, -2, 10, 10, 255); // both edges at once
    ExpectBlock(*canvas, 1, 1, 0, 0, 8, 8);
}

TEST_P(BlitForms, ColourKeyIsAnExactMatchOnAllThreeChannels)
{
    auto keyed = MakeImage(GetParam(), 3, 1, [](int x, int) {
        if (x == 0)
            return Rgb{255, 0, 255}; // the key
        if (x == 1)
            return Rgb{255, 1, 255}; // one step off in green
        return Rgb{254, 0, 255};     // one step off in red
    });
    keyed->SetColorKey(255, 0, 255);
    canvas->Draw(keyed.get(), 0, 0);
    canvas->Draw(keyed.get(), 0, 1, 0, 0, 3, 1);
    canvas->Draw(keyed.get(), 0, 2, 128);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(PixelAt(*canvas, 0, row), kGrey);
        EXPECT_EQ(PixelAt(*canvas, 1, row), (Rgb{255, 1, 255}));
        EXPECT_EQ(PixelAt(*canvas, 2, row), (Rgb{254, 0, 255}));
    }
    EXPECT_EQ(PixelAt(*canvas, 0, 2), kGrey); // blended draws skip the key too
    EXPECT_EQ(PixelAt(*canvas, 1, 2), (Rgb{172, 45, 172}));
}

TEST_P(BlitForms, BlendMovesTowardTheSourceByAlphaOver256)
{
    auto white = MakeImage(GetParam(), 2, 2, [](int, int) { return Rgb{255, 255, 255}; });
    auto black = MakeImage(GetParam(), 2, 2, [](int, int) { return Rgb{0, 0, 0}; });
    moxtest::Fill(*canvas, Rgb{0, 0, 0});
    canvas->Draw(white.get(), 0, 0, 128);
    canvas->Draw(white.get(), 4, 0, 0, 0, 2, 2, 1);
    EXPECT_EQ(PixelAt(*canvas, 0, 0), (Rgb{127, 127, 127}));
    EXPECT_EQ(PixelAt(*canvas, 4, 0), (Rgb{0, 0, 0}));

    moxtest::Fill(*canvas, Rgb{255, 255, 255});
    canvas->Draw(black.get(), 0, 0, 128);
    canvas->Draw(black.get(), 4, 0, 0, 0, 2, 2, 1);
    EXPECT_EQ(PixelAt(*canvas, 1, 1), (Rgb{127, 127, 127}));
    EXPECT_EQ(PixelAt(*canvas, 5, 1), (Rgb{254, 254, 254}));
}

TEST_P(BlitForms, OpacityExtremesCopyOrDoNothing)
{
    CMoxGraphics& c = *canvas;
    c.Draw(image.get(), 3, 2, 0);
    c.Draw(image.get(), 3, 2, 1, 1, 5, 5, 0);
    EXPECT_EQ(Snapshot(c), Snapshot(*MakeCanvas(20, 16, kGrey)));

    c.Draw(image.get(), 3, 2, 255);
    const std::vector<unsigned char> viaAlpha = Snapshot(c);
    moxtest::Fill(c, kGrey);
    c.Draw(image.get(), 3, 2);
    EXPECT_EQ(Snapshot(c), viaAlpha);
}

TEST(BitmapBlit, FileFormWithAlphaChannelDrawsItsColours)
{
    moxcanvas::StartGdiplus();
    const std::string path = moxtest::TempPath("alpha.png");
    moxtest::WritePng(
        path, 4, 3,
        [](int x, int y) {
            return moxtest::Rgba{std::uint8_t(40 * x), std::uint8_t(50 * y), 200, 255};
        },
        true);
    CMoxBitmap image(moxtest::Widen(path).c_str());
    auto canvas = MakeCanvas(8, 8, kGrey);
    canvas->Draw(&image, 1, 1);
    EXPECT_EQ(PixelAt(*canvas, 1, 1), (Rgb{0, 0, 200}));
    EXPECT_EQ(PixelAt(*canvas, 4, 3), (Rgb{120, 100, 200}));
    EXPECT_EQ(PixelAt(*canvas, 5, 1), kGrey);
}

TEST(BitmapBlit, ImagesWithoutUsablePixelsDrawNothing)
{
    auto canvas = MakeCanvas(8, 8, kGrey);
    const std::vector<unsigned char> before = Snapshot(*canvas);
    std::vector<unsigned char> bytes = moxtest::RawBottomUp(4, 4, Pattern);
    BITMAPINFO header = moxtest::RawHeader(4, 4);

    CMoxBitmap shortBytes(bytes.data(), int(bytes.size()) - 1, header, 0); // one byte short of 4 x 4
    CMoxBitmap negativeCount(bytes.data(), -48, header, 0);
    CMoxBitmap nullBytes(nullptr, 48, header, 0);
    BITMAPINFO topDown = moxtest::RawHeader(4, -4);
    CMoxBitmap negativeHeight(bytes.data(), int(bytes.size()), topDown, 0);
    BITMAPINFO huge = moxtest::RawHeader(4, 4); // sizes whose byte count overflows 64 bits
    huge.bmiHeader.biWidth = INT_MAX;
    huge.bmiHeader.biHeight = INT_MAX;
    CMoxBitmap hugeHeader(bytes.data(), int(bytes.size()), huge, 0);
    CMoxBitmap empty;
    CMoxBitmap missing(moxtest::Widen(moxtest::TempPath("missing.bmp")).c_str());
    for (CMoxBitmap* image :
         {&shortBytes, &negativeCount, &nullBytes, &negativeHeight, &hugeHeader, &empty, &missing}) {
        canvas->Draw(image, 0, 0);
        canvas->Draw(image, 0, 0, 100);
        canvas->Draw(image, 0, 0, 0, 0, 4, 4);
        canvas->Draw(image, 0, 0, 0, 0, 4, 4, 100);
    }
    canvas->Draw(static_cast<CMoxBitmap*>(nullptr), 0, 0);
    canvas->Draw(static_cast<CMoxBitmap*>(nullptr), 0, 0, 0, 0, 4, 4, 255);
    EXPECT_EQ(Snapshot(*canvas), before);
}

// A lock the test holds makes any lock the blitter tries fail with WrongState, which the
// bitmap object records: a draw that clips to nothing must not have tried.
TEST(BitmapBlit, FileFormIsLockedOnlyForDrawsThatReachTheCanvas)
{
    auto canvas = MakeCanvas(8, 8, kGrey);
    auto image = MakeImage(Form::File, 4, 4);
    Gdiplus::Bitmap* bitmap = image->GetBitmap();
    Gdiplus::Rect whole(0, 0, 4, 4);
    Gdiplus::BitmapData held{};
    ASSERT_EQ(bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &held), Gdiplus::Ok);
    bitmap->GetLastStatus();

    canvas->Draw(image.get(), 8, 0);
    canvas->Draw(image.get(), -4, 0, 100);
    canvas->Draw(image.get(), 0, 8, 0, 0, 4, 4);
    canvas->Draw(image.get(), 0, -4, 0, 0, 4, 4, 100);
    canvas->Draw(image.get(), 0, 0, 4, 0, 4, 4);
    EXPECT_EQ(bitmap->GetLastStatus(), Gdiplus::Ok);

    canvas->Draw(image.get(), 7, 7); // one pixel on the canvas: the blitter locks
    EXPECT_EQ(bitmap->GetLastStatus(), Gdiplus::WrongState);
    EXPECT_EQ(PixelAt(*canvas, 7, 7), kGrey); // and draws nothing through the failed lock
    bitmap->UnlockBits(&held);
    canvas->Draw(image.get(), 7, 7);
    EXPECT_EQ(PixelAt(*canvas, 7, 7), Pattern(0, 0));
}

// The bit count is public; the software paths draw only at 24 bits, the zoom path before that
// test.
TEST(BitmapBlit, SoftwarePathsDrawOnlyAtTwentyFourBitsPerPixel)
{
    auto canvas = MakeCanvas(12, 12, kGrey);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    canvas->m_nBitCount = 32;
    const std::vector<unsigned char> before = Snapshot(*canvas);
    for (Form form : {Form::Raw, Form::File}) {
        auto image = MakeImage(form, 4, 4);
        canvas->Draw(image.get(), 0, 0);
        canvas->Draw(image.get(), 0, 0, 255);
        canvas->Draw(image.get(), 0, 0, 100);
        canvas->Draw(image.get(), 0, 0, 0, 0, 4, 4);
        canvas->Draw(image.get(), 0, 0, 0, 0, 4, 4, 100);
    }
    canvas->FillRectangle(0, 0, 12, 12, 1, 2, 3);
    EXPECT_EQ(Snapshot(*canvas), before);

    std::vector<unsigned char> bytes = moxtest::RawBottomUp(4, 4, Pattern);
    BITMAPINFO header = moxtest::RawHeader(4, 4);
    CMoxBitmap zoomed(bytes.data(), int(bytes.size()), header, 1);
    canvas->Draw(&zoomed, 0, 0, 0, 0, 8, 8);
    EXPECT_EQ(PixelAt(*canvas, 7, 7), Pattern(3, 3));
}

TEST(BitmapBlit, CanvasWithoutBuffersDrawsNothing)
{
    auto image = MakeImage(Form::Raw, 4, 4);
    CMoxGraphics unsized; // width and height 0, no section
    unsized.Draw(image.get(), 0, 0);
    unsized.Draw(image.get(), 0, 0, 0, 0, 4, 4, 50);
    CMoxGraphics refused;
    EXPECT_FALSE(refused.Init(-4, 4));
    refused.Draw(image.get(), 0, 0);
    refused.Draw(image.get(), 0, 0, 9);
    EXPECT_EQ(refused.GetBitmap(), nullptr);
}

TEST(BitmapBlit, CopiedImageOutlivesItsSourceAndStillDraws)
{
    auto canvas = MakeCanvas(12, 12, kGrey);
    CMoxBitmap copy;
    {
        auto raw = MakeImage(Form::Raw, 10, 10);
        raw->SetColorKey(1, 2, 3);
        copy = *raw;
    }
    canvas->Draw(&copy, 1, 1);
    ExpectBlock(*canvas, 1, 1, 0, 0, 10, 10);

    moxtest::Fill(*canvas, kGrey);
    std::unique_ptr<CMoxBitmap> fileCopy;
    {
        auto file = MakeImage(Form::File, 10, 10);
        fileCopy = std::make_unique<CMoxBitmap>(*file);
        file->Init(moxtest::Widen(moxtest::TempPath("gone.bmp")).c_str()); // re-init drops only its share
    }
    canvas->Draw(fileCopy.get(), 1, 1);
    ExpectBlock(*canvas, 1, 1, 0, 0, 10, 10);
}

// --- Zoom path ------------------------------------------------------------------------------

// A 4 x 2 raw image marked for zooming; its 12-byte rows need no padding for the stretch.
const Rgb kZoomPixels[2][4] = {{{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}},
                               {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}}};

std::unique_ptr<CMoxBitmap> ZoomImage()
{
    std::vector<unsigned char> bytes = moxtest::RawBottomUp(4, 2, [](int x, int y) { return kZoomPixels[y][x]; });
    BITMAPINFO header = moxtest::RawHeader(4, 2);
    return std::make_unique<CMoxBitmap>(bytes.data(), int(bytes.size()), header, 1);
}

TEST(BitmapBlitZoom, OpaqueRegionDrawStretchesARawImage)
{
    auto canvas = MakeCanvas(12, 12, kGrey);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    auto image = ZoomImage();
    canvas->Draw(image.get(), 2, 2, 0, 0, 8, 4, 255); // every pixel becomes 2 x 2
    EXPECT_EQ(PixelAt(*canvas, 2, 2), kZoomPixels[0][0]);
    EXPECT_EQ(PixelAt(*canvas, 3, 3), kZoomPixels[0][0]);
    EXPECT_EQ(PixelAt(*canvas, 4, 2), kZoomPixels[0][1]);
    EXPECT_EQ(PixelAt(*canvas, 9, 3), kZoomPixels[0][3]);
    EXPECT_EQ(PixelAt(*canvas, 2, 4), kZoomPixels[1][0]);
    EXPECT_EQ(PixelAt(*canvas, 9, 5), kZoomPixels[1][3]);
    EXPECT_EQ(PixelAt(*canvas, 10, 5), kGrey);
    EXPECT_EQ(PixelAt(*canvas, 2, 6), kGrey);
    EXPECT_EQ(PixelAt(*canvas, 1, 1), kGrey);
}

TEST(BitmapBlitZoom, StretchReadsFromTheSourceOffsetToTheImageEdgeAndIgnoresTheKey)
{
    auto canvas = MakeCanvas(12, 12, kGrey);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    auto image = ZoomImage();
    image->SetColorKey(200, 0, 0); // the colour of the first pixel
    // Image columns 1 to 3 (width minus srcX) across six destination columns, both rows.
    canvas->Draw(image.get(), 2, 2, 1, 0, 6, 2);
    for (int x = 2; x < 8; ++x) {
        EXPECT_EQ(PixelAt(*canvas, x, 2), kZoomPixels[0][1 + (x - 2) / 2]) << x;
        EXPECT_EQ(PixelAt(*canvas, x, 3), kZoomPixels[1][1 + (x - 2) / 2]) << x;
    }
    EXPECT_EQ(PixelAt(*canvas, 8, 2), kGrey);

    canvas->Draw(image.get(), 0, 8, 0, 0, 4, 2); // the keyed pixel is copied like any other
    EXPECT_EQ(PixelAt(*canvas, 0, 8), kZoomPixels[0][0]);
}

TEST(BitmapBlitZoom, BlendedDrawIgnoresTheZoomFlag)
{
    auto canvas = MakeCanvas(12, 12, Rgb{0, 0, 0});
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    auto image = ZoomImage();
    canvas->Draw(image.get(), 2, 2, 0, 0, 8, 4, 200); // natural size, blended
    EXPECT_EQ(PixelAt(*canvas, 2, 2), (Rgb{156, 0, 0}));
    EXPECT_EQ(PixelAt(*canvas, 3, 3), (Rgb{31, 39, 46}));
    EXPECT_EQ(PixelAt(*canvas, 6, 2), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(*canvas, 2, 4), (Rgb{0, 0, 0}));
    // The whole-image overloads never zoom.
    canvas->Draw(image.get(), 6, 6);
    EXPECT_EQ(PixelAt(*canvas, 7, 6), kZoomPixels[0][1]);
    EXPECT_EQ(PixelAt(*canvas, 6, 7), kZoomPixels[1][0]);
    EXPECT_EQ(PixelAt(*canvas, 10, 6), (Rgb{0, 0, 0}));
}

TEST(BitmapBlitZoom, RefusesWhatItCannotDrawSafely)
{
    auto canvas = MakeCanvas(12, 12, kGrey);
    const std::vector<unsigned char> before = Snapshot(*canvas);
    auto image = ZoomImage();
    canvas->Draw(image.get(), 0, 0, 0, 0, 8, 4); // no memory DC yet
    EXPECT_EQ(Snapshot(*canvas), before);

    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    // 2 x 2 pixels in 12 bytes: the stretch reads rows rounded up to 4 bytes, 16 in all.
    std::vector<unsigned char> bytes = moxtest::RawBottomUp(2, 2, Pattern);
    BITMAPINFO header = moxtest::RawHeader(2, 2);
    CMoxBitmap unpadded(bytes.data(), int(bytes.size()), header, 1);
    canvas->Draw(&unpadded, 0, 0, 0, 0, 8, 8);
    // A header the stretch would read a colour table for, beyond the 44 bytes held.
    std::vector<unsigned char> many(256, 1);
    BITMAPINFO eightBit = moxtest::RawHeader(4, 4);
    eightBit.bmiHeader.biBitCount = 8;
    CMoxBitmap palette(many.data(), int(many.size()), eightBit, 1);
    canvas->Draw(&palette, 0, 0, 0, 0, 8, 8);
    BITMAPINFO huge = moxtest::RawHeader(4, 4);
    huge.bmiHeader.biWidth = INT_MAX;
    huge.bmiHeader.biHeight = INT_MIN + 1;
    CMoxBitmap hugeHeader(many.data(), int(many.size()), huge, 1);
    canvas->Draw(&hugeHeader, 0, 0, 0, 0, 8, 8);
    EXPECT_EQ(Snapshot(*canvas), before);
}

// --- Differential test against a per-pixel model of the clipping rules ----------------------

struct Request {
    int x, y, srcX, srcY, width, height, alpha;
    bool region;
};

// Destination (x + j, y + k) shows source (srcX + j, srcY + k) for j < min(width, imgW) and
// k < min(height, imgH), wherever both pixels exist.
void Model(std::vector<unsigned char>& canvas, int cw, int ch, const std::vector<Rgb>& img, int iw, int ih, bool keyed,
           Rgb key, const Request& q)
{
    if (q.alpha == 0)
        return;
    const int w = std::min(q.width, iw), h = std::min(q.height, ih);
    for (int k = 0; k < h; ++k)
        for (int j = 0; j < w; ++j) {
            const long dx = long(q.x) + j, dy = long(q.y) + k, sx = long(q.srcX) + j, sy = long(q.srcY) + k;
            if (dx < 0 || dy < 0 || dx >= cw || dy >= ch || sx < 0 || sy < 0 || sx >= iw || sy >= ih)
                continue;
            const Rgb s = img[sy * iw + sx];
            if (keyed && s == key)
                continue;
            unsigned char* d = &canvas[(dy * cw + dx) * 3];
            const unsigned char src[3] = {s.b, s.g, s.r};
            for (int c = 0; c < 3; ++c)
                d[c] = q.alpha == 255 ? src[c] : static_cast<unsigned char>(d[c] + (((src[c] - d[c]) * q.alpha) >> 8));
        }
}

TEST(BitmapBlitDifferential, RandomRequestsMatchThePerPixelModel)
{
    std::mt19937 rng(20261208);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        const int cw = uniform(1, 24), ch = uniform(1, 24), iw = uniform(1, 16), ih = uniform(1, 16);
        std::vector<Rgb> img(iw * ih);
        for (Rgb& p : img)
            p = Rgb{std::uint8_t(uniform(0, 3) * 85), std::uint8_t(uniform(0, 255)), std::uint8_t(uniform(0, 1) * 255)};
        const Form form = round % 10 == 0 ? Form::File : round % 10 == 5 ? Form::File32 : Form::Raw;
        auto image = MakeImage(form, iw, ih, [&](int x, int y) { return img[y * iw + x]; });
        if (form == Form::File32) {
            ASSERT_EQ(image->GetBitmap()->GetPixelFormat(), PixelFormat32bppARGB) << "the 32-bit path is not taken";
        }
        const bool keyed = uniform(0, 1) == 1;
        const Rgb key = img[uniform(0, iw * ih - 1)];
        if (keyed)
            image->SetColorKey(key.r, key.g, key.b);

        auto canvas = MakeCanvas(cw, ch, Rgb{std::uint8_t(uniform(0, 255)), 77, 200});
        for (int draw = 0; draw < 8; ++draw) {
            Request q{uniform(-20, 28),
                      uniform(-20, 28),
                      uniform(-20, 20),
                      uniform(-20, 20),
                      uniform(-3, 24),
                      uniform(-3, 24),
                      0,
                      uniform(0, 1) == 1};
            const int alphaPick = uniform(0, 3);
            q.alpha = alphaPick == 0 ? 255 : alphaPick == 1 ? 0 : uniform(1, 254);
            if (!q.region) {
                q.srcX = q.srcY = 0;
                q.width = iw;
                q.height = ih;
            }
            std::vector<unsigned char> expected = Snapshot(*canvas);
            Model(expected, cw, ch, img, iw, ih, keyed, key, q);
            if (q.region)
                canvas->Draw(image.get(), q.x, q.y, q.srcX, q.srcY, q.width, q.height, (unsigned char)q.alpha);
            else
                canvas->Draw(image.get(), q.x, q.y, (unsigned char)q.alpha);
            ASSERT_EQ(Snapshot(*canvas), expected)
                << "round " << round << " form " << int(form) << " canvas " << cw << "x" << ch << " image " << iw << "x" << ih << " at " << q.x
                << "," << q.y << " src " << q.srcX << "," << q.srcY << " size " << q.width << "x" << q.height
                << " alpha " << q.alpha << (keyed ? " keyed" : "");
        }
    }
}

} // namespace
