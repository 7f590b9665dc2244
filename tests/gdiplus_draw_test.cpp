// The canvas's GDI+ drawing members: they paint the back buffer itself through the canvas's
// Graphics (scaled and keyed images, text, lines, outlines, hatch fills), and do nothing, safely,
// before InitGraphics or with a missing tool.
#include <MoxImage2.h>

#include <gtest/gtest.h>

#include <climits>

#include "canvas_support.h"

using moxcanvas::Form;
using moxtest::PixelAt;
using moxtest::Rgb;
using namespace Gdiplus;

namespace {

const Rgb kGrey{90, 90, 90};
const Rgb kRed{255, 0, 0};
const Rgb kGreen{0, 255, 0};
const Rgb kBlue{0, 0, 255};
const Rgb kMagenta{255, 0, 255};

std::unique_ptr<CMoxGraphics> BoundCanvas(int width, int height, Rgb colour = kGrey)
{
    auto canvas = moxcanvas::MakeCanvas(width, height, colour);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    return canvas;
}

int InkCount(CMoxGraphics& canvas, Rgb background, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += PixelAt(canvas, x, y) != background;
    return n;
}

// 8 x 8 in four 4 x 4 quarters: red, green / blue, magenta.
Rgb Quarters(int x, int y)
{
    if (y < 4)
        return x < 4 ? kRed : kGreen;
    return x < 4 ? kBlue : kMagenta;
}

std::unique_ptr<CMoxBitmap> QuartersFile(bool keyed)
{
    auto image = moxcanvas::MakeImage(Form::File, 8, 8, Quarters);
    if (keyed)
        image->SetColorKey(255, 0, 255);
    return image;
}

} // namespace

TEST(GdiplusDraw, LinesAndOutlinesLandInTheBackBuffer)
{
    // Lines include both end points (Microsoft's Graphics::DrawLine; see the platform's
    // Shapes.ThinLinesIncludeBothEndPoints).
    auto canvas = BoundCanvas(16, 12);
    CMoxPen pen(255, 0, 0, 1.0f, DashStyleSolid);
    canvas->DrawLine(&pen, 1, 1, 9, 1);
    canvas->DrawRectangle(&pen, 3, 4, 6, 5);
    for (int x = 1; x <= 9; ++x)
        EXPECT_EQ(PixelAt(*canvas, x, 1), kRed) << x;
    EXPECT_EQ(PixelAt(*canvas, 10, 1), kGrey);
    for (int x = 3; x <= 9; ++x) {
        EXPECT_EQ(PixelAt(*canvas, x, 4), kRed);
        EXPECT_EQ(PixelAt(*canvas, x, 9), kRed);
    }
    for (int y = 4; y <= 9; ++y) {
        EXPECT_EQ(PixelAt(*canvas, 3, y), kRed);
        EXPECT_EQ(PixelAt(*canvas, 9, y), kRed);
    }
    EXPECT_EQ(InkCount(*canvas, kGrey, 4, 5, 9, 9), 0);
    EXPECT_EQ(PixelAt(*canvas, 10, 4), kGrey);
    EXPECT_EQ(PixelAt(*canvas, 3, 10), kGrey);
}

TEST(GdiplusDraw, HatchFillsAreAnchoredAtTheCanvasOrigin)
{
    // Which column of the 8 x 8 tile holds the line is the platform's; that the tile repeats from
    // the canvas origin, not from the filled rectangle's corner, is what is checked here.
    CMoxBrush brush(HatchStyleVertical, Color(0xFF0000FF), Color(0xFF00FF00));
    auto whole = BoundCanvas(20, 20);
    whole->FillRectangle(&brush, 0, 0, 20, 20);
    int lineColumn = -1;
    for (int x = 0; x < 8; ++x)
        if (PixelAt(*whole, x, 0) == kBlue) {
            ASSERT_EQ(lineColumn, -1) << "one line per tile";
            lineColumn = x;
        }
    ASSERT_NE(lineColumn, -1);

    auto canvas = BoundCanvas(20, 20);
    canvas->FillRectangle(&brush, 3, 2, 12, 10);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 3 && x < 15 && y >= 2 && y < 12;
            const Rgb want = !inside ? kGrey : (x % 8 == lineColumn ? kBlue : kGreen);
            ASSERT_EQ(PixelAt(*whole, x, y), x % 8 == lineColumn ? kBlue : kGreen) << x << "," << y;
            ASSERT_EQ(PixelAt(*canvas, x, y), want) << x << "," << y;
        }
    // The software fill of the same name still paints plain colour.
    canvas->FillRectangle(0, 0, 2, 2, 1, 2, 3);
    EXPECT_EQ(PixelAt(*canvas, 1, 1), (Rgb{1, 2, 3}));
}

TEST(GdiplusDraw, TextAtAPointAndInABox)
{
    auto canvas = BoundCanvas(200, 80, Rgb{255, 255, 255});
    CMoxFont font(12, L"DejaVu Sans", FontStyleRegular);
    SolidBrush black(Color(0xFF000000));
    canvas->Draw(L"Point", 10, 10, &font, &black);
    EXPECT_GT(InkCount(*canvas, Rgb{255, 255, 255}, 10, 10, 60, 30), 20);
    EXPECT_EQ(InkCount(*canvas, Rgb{255, 255, 255}, 0, 0, 200, 10), 0);
    EXPECT_EQ(InkCount(*canvas, Rgb{255, 255, 255}, 0, 0, 10, 80), 0);

    // Centred in a box: ink around the box's middle, nothing outside the box.
    canvas->Draw(L"Centre", 100, 40, 100, 30, &font, &black, StringAlignmentCenter);
    int left = INT_MAX, right = INT_MIN;
    for (int y = 40; y < 70; ++y)
        for (int x = 100; x < 200; ++x)
            if (PixelAt(*canvas, x, y) != Rgb{255, 255, 255}) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
    ASSERT_LT(left, right);
    EXPECT_LE(std::abs(left + right - 300), 4);
    EXPECT_EQ(InkCount(*canvas, Rgb{255, 255, 255}, 60, 40, 100, 80), 0);
}

TEST(GdiplusDraw, EmptyTextAndMissingFamiliesDrawNothing)
{
    auto canvas = BoundCanvas(120, 40, Rgb{255, 255, 255});
    const std::vector<unsigned char> before = moxcanvas::Snapshot(*canvas);
    CMoxFont missing(12, L"No Such Family Anywhere", FontStyleRegular);
    CMoxFont font(12, L"DejaVu Sans", FontStyleRegular);
    SolidBrush black(Color(0xFF000000));
    canvas->Draw(L"Invisible", 2, 2, &missing, &black);
    canvas->Draw(L"Invisible", 2, 2, 100, 30, &missing, &black, StringAlignmentNear);
    EXPECT_NE(canvas->GetGraphics()->GetLastStatus(), Ok); // recorded, not acted on
    canvas->Draw(L"", 2, 2, &font, &black);
    canvas->Draw(L"", 2, 2, 100, 30, &font, &black, StringAlignmentFar);
    EXPECT_EQ(moxcanvas::Snapshot(*canvas), before);
}

TEST(GdiplusDraw, NothingHappensBeforeInitGraphicsOrWithoutATool)
{
    auto unbound = moxcanvas::MakeCanvas(10, 10, kGrey);
    ASSERT_EQ(unbound->GetGraphics(), nullptr);
    auto bound = BoundCanvas(10, 10);
    CMoxPen pen(255, 0, 0, 1.0f, DashStyleSolid);
    CMoxBrush brush(HatchStyleCross, Color(0xFFFF0000), Color(0xFF00FF00));
    CMoxFont font(12, L"DejaVu Sans", FontStyleRegular);
    SolidBrush black(Color(0xFF000000));
    auto image = QuartersFile(false);
    CMoxPen emptyPen;
    CMoxBrush emptyBrush;
    CMoxFont emptyFont;

    for (CMoxGraphics* canvas : {unbound.get(), bound.get()}) {
        const std::vector<unsigned char> before = moxcanvas::Snapshot(*canvas);
        const bool hasGraphics = canvas->GetGraphics() != nullptr;
        if (!hasGraphics) {
            canvas->DrawLine(&pen, 0, 0, 9, 9);
            canvas->DrawRectangle(&pen, 0, 0, 5, 5);
            canvas->FillRectangle(&brush, 0, 0, 5, 5);
            canvas->Draw(L"x", 0, 0, &font, &black);
            canvas->Draw(L"x", 0, 0, 9, 9, &font, &black, StringAlignmentNear);
            canvas->DrawImage(image.get(), 0, 0);
            canvas->DrawImage(image.get(), 0, 0, 4, 4);
            canvas->DrawImage(image.get(), Rect(0, 0, 4, 4));
            canvas->DrawImage(image.get(), RectF(0, 0, 4, 4), RectF(0, 0, 8, 8));
        }
        canvas->DrawLine(nullptr, 0, 0, 9, 9);
        canvas->DrawRectangle(nullptr, 0, 0, 5, 5);
        canvas->FillRectangle(static_cast<CMoxBrush*>(nullptr), 0, 0, 5, 5);
        canvas->Draw(L"x", 0, 0, nullptr, &black);
        canvas->Draw(L"x", 0, 0, &font, nullptr);
        canvas->Draw(nullptr, 0, 0, &font, &black);
        canvas->Draw(L"x", 0, 0, 9, 9, nullptr, &black, StringAlignmentNear);
        canvas->Draw(nullptr, 0, 0, 9, 9, &font, &black, StringAlignmentNear);
        canvas->DrawImage(nullptr, 0, 0);
        canvas->DrawImage(nullptr, 0, 0, 4, 4);
        canvas->DrawImage(nullptr, Rect(0, 0, 4, 4));
        canvas->DrawImage(nullptr, RectF(0, 0, 4, 4), RectF(0, 0, 8, 8));
        // Tools whose GDI+ object was never made.
        canvas->DrawLine(&emptyPen, 0, 0, 9, 9);
        canvas->DrawRectangle(&emptyPen, 0, 0, 5, 5);
        canvas->FillRectangle(&emptyBrush, 0, 0, 5, 5);
        canvas->Draw(L"x", 0, 0, &emptyFont, &black);
        EXPECT_EQ(moxcanvas::Snapshot(*canvas), before) << (hasGraphics ? "bound" : "unbound");
    }
}

TEST(GdiplusDraw, ColourKeyMakesMagentaTransparentOnlyWhenSet)
{
    for (bool keyed : {false, true}) {
        auto canvas = BoundCanvas(12, 12);
        auto image = QuartersFile(keyed);
        canvas->DrawImage(image.get(), 2, 2);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const Rgb source = Quarters(x, y);
                const Rgb want = keyed && source == kMagenta ? kGrey : source;
                ASSERT_EQ(PixelAt(*canvas, x + 2, y + 2), want) << (keyed ? "keyed " : "") << x << "," << y;
            }
        EXPECT_EQ(PixelAt(*canvas, 1, 1), kGrey);
        EXPECT_EQ(PixelAt(*canvas, 10, 10), kGrey);
    }
}

TEST(GdiplusDraw, SizedImagesScaleTheWholeImage)
{
    for (bool keyed : {false, true}) {
        auto canvas = BoundCanvas(20, 20);
        auto image = QuartersFile(keyed);
        canvas->DrawImage(image.get(), 0, 0, 16, 16);
        auto rectCanvas = BoundCanvas(20, 20);
        rectCanvas->DrawImage(image.get(), Rect(0, 0, 16, 16));
        EXPECT_EQ(moxcanvas::Snapshot(*canvas), moxcanvas::Snapshot(*rectCanvas));
        // Each quarter is now 8 x 8; away from the seams bilinear filtering gives the exact colour.
        for (int y = 1; y < 6; ++y)
            for (int x = 1; x < 6; ++x) {
                EXPECT_EQ(PixelAt(*canvas, x, y), kRed);
                EXPECT_EQ(PixelAt(*canvas, x + 9, y), kGreen);
                EXPECT_EQ(PixelAt(*canvas, x, y + 9), kBlue);
                EXPECT_EQ(PixelAt(*canvas, x + 9, y + 9), keyed ? kGrey : kMagenta);
            }
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(PixelAt(*canvas, 17, i), kGrey);
            EXPECT_EQ(PixelAt(*canvas, i, 17), kGrey);
        }
    }
}

TEST(GdiplusDraw, SourceRegionIsScaledIntoTheDestination)
{
    // A 40 x 40 image whose region (10, 10, 20, 20) is blue and the rest green.
    auto image = moxcanvas::MakeImage(
        Form::File, 40, 40, [](int x, int y) { return x >= 10 && x < 30 && y >= 10 && y < 30 ? kBlue : kGreen; });
    auto canvas = BoundCanvas(48, 48);
    canvas->DrawImage(image.get(), RectF(0, 0, 40, 40), RectF(10, 10, 20, 20));
    for (int y = 2; y < 38; ++y)
        for (int x = 2; x < 38; ++x)
            ASSERT_EQ(PixelAt(*canvas, x, y), kBlue) << x << "," << y;
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(PixelAt(*canvas, 42, i), kGrey);
}

TEST(GdiplusDraw, RawFormImagesDrawNothing)
{
    auto canvas = BoundCanvas(12, 12);
    auto raw = moxcanvas::MakeImage(Form::Raw, 8, 8, Quarters);
    raw->SetColorKey(255, 0, 255);
    auto plain = moxcanvas::MakeImage(Form::Raw, 8, 8, Quarters);
    const std::vector<unsigned char> before = moxcanvas::Snapshot(*canvas);
    for (CMoxBitmap* image : {raw.get(), plain.get()}) {
        canvas->DrawImage(image, 0, 0);
        canvas->DrawImage(image, 0, 0, 8, 8);
        canvas->DrawImage(image, Rect(0, 0, 8, 8));
        canvas->DrawImage(image, RectF(0, 0, 8, 8), RectF(0, 0, 8, 8));
    }
    EXPECT_EQ(moxcanvas::Snapshot(*canvas), before);
}

TEST(GdiplusDraw, BoxedTextWrapsFromTheTopAlignsAndStaysInTheBox)
{
    const Rgb white{255, 255, 255};
    const int bx = 40, by = 20, bw = 120, bh = 50;
    for (StringAlignment alignment : {StringAlignmentNear, StringAlignmentFar}) {
        auto canvas = BoundCanvas(240, 120, white);
        CMoxFont font(12, L"DejaVu Sans", FontStyleRegular);
        SolidBrush black(Color(0xFF000000));
        canvas->Draw(L"one two three four five six seven eight nine ten", bx, by, bw, bh, &font, &black, alignment);
        SCOPED_TRACE(alignment == StringAlignmentNear ? "near" : "far");

        // Clipped: everything outside the box is untouched (Microsoft's StringFormatFlags
        // documentation: clipped unless NoClip is set).
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 240; ++x)
                if (x < bx || x >= bx + bw || y < by || y >= by + bh) {
                    ASSERT_EQ(PixelAt(*canvas, x, y), white) << x << "," << y;
                }

        // Wrapped: bands of inked rows separated by blank ones, the first at the box's top.
        std::vector<std::pair<int, int>> bands; // [top, bottom) of each line's ink
        for (int y = by; y < by + bh; ++y) {
            const bool ink = InkCount(*canvas, white, bx, y, bx + bw, y + 1) > 0;
            if (ink && (bands.empty() || bands.back().second != y))
                bands.emplace_back(y, y + 1);
            else if (ink)
                bands.back().second = y + 1;
        }
        ASSERT_GE(bands.size(), 2u);
        EXPECT_LT(bands.front().first, by + 6);

        // Each full line hugs the aligned side of the box, a sixth of an em (about 3 pixels at
        // 12 points) in from it as GDI+ pads lines.
        for (size_t i = 0; i + 1 < bands.size(); ++i) {
            int left = INT_MAX, right = INT_MIN;
            for (int y = bands[i].first; y < bands[i].second; ++y)
                for (int x = bx; x < bx + bw; ++x)
                    if (PixelAt(*canvas, x, y) != white) {
                        left = std::min(left, x);
                        right = std::max(right, x + 1);
                    }
            if (alignment == StringAlignmentNear)
                EXPECT_LE(left - bx, 6) << "line " << i;
            else
                EXPECT_LE(bx + bw - right, 6) << "line " << i;
        }
    }
}

TEST(GdiplusDraw, AbsurdCoordinatesAndSizesStayHarmless)
{
    // Everything here lies off the canvas, is inverted or is too large to rasterise whole; the
    // calls must stay within the back buffer (sanitizer builds check) and break nothing.
    auto canvas = BoundCanvas(16, 16);
    CMoxPen pen(255, 0, 0, 1.0f, DashStyleDashDot);
    CMoxPen wide(255, 0, 0, 1e6f, DashStyleSolid);
    CMoxBrush brush(HatchStyleCross, Color(0xFF0000FF), Color(0xFF00FF00));
    CMoxFont font(12, L"DejaVu Sans", FontStyleRegular);
    SolidBrush black(Color(0xFF000000));
    auto image = QuartersFile(true);

    canvas->DrawLine(&pen, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    canvas->DrawLine(&wide, -100, -100, -50, -50);
    canvas->DrawRectangle(&pen, INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX);
    canvas->DrawRectangle(&pen, 100, 100, -50, -50);
    canvas->FillRectangle(&brush, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    canvas->FillRectangle(&brush, 20, 20, -3, -3);
    canvas->DrawImage(image.get(), INT_MAX, INT_MAX);
    canvas->DrawImage(image.get(), INT_MIN, 0, INT_MAX, INT_MAX);
    canvas->DrawImage(image.get(), Rect(0, 0, -8, -8));
    canvas->DrawImage(image.get(), RectF(0, 0, 1e9f, 1e9f), RectF(-1e9f, -1e9f, 1e9f, 1e9f));
    canvas->Draw(L"far away", INT_MAX, INT_MIN, &font, &black);
    canvas->Draw(L"inverted box", 10, 10, -20, -20, &font, &black, StringAlignmentCenter);
    canvas->Draw(L"huge box", INT_MIN, INT_MIN, INT_MAX, INT_MAX, &font, &black, StringAlignment(7));

    // The graphics object is still usable: ordinary drawing lands where it should.
    canvas->FillRectangle(0, 0, 16, 16, kGrey.r, kGrey.g, kGrey.b);
    CMoxPen red(255, 0, 0, 1.0f, DashStyleSolid);
    canvas->DrawLine(&red, 1, 3, 9, 3);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(PixelAt(*canvas, x, 3), x >= 1 && x <= 9 ? kRed : kGrey) << x;
    EXPECT_EQ(InkCount(*canvas, kGrey, 0, 0, 16, 3), 0);
}
