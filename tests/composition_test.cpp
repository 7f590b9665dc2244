// Frame composition: scenes composed frame after frame must match the same scene drawn from
// scratch, and the window must show what the back buffer holds.
#include <MoxImage2.h>

#include "test_support.h"
#include "tga_files.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int W = 64;
constexpr int H = 48;

using moxtest::Rgb;
using moxtest::Rgba;

Rgb Gradient(int x, int y)
{
    return Rgb{std::uint8_t(x * 4), std::uint8_t(y * 5), std::uint8_t(200 - x - y)};
}

// A raw-form bitmap whose pixels come from a function.
struct Picture {
    std::vector<unsigned char> bytes;
    BITMAPINFO header;
    CMoxBitmap bitmap;
    Picture(int w, int h, const std::function<Rgb(int, int)>& pixel)
        : bytes(moxtest::RawBottomUp(w, h, pixel)), header(moxtest::RawHeader(w, h)),
          bitmap(bytes.data(), int(bytes.size()), header, 0)
    {
    }
};

std::unique_ptr<CMoxTga> MakeTga(const std::string& name, int w, int h, const moxtest::TgaPixel& pixel)
{
    moxtest::TgaLayout layout;
    layout.width = w;
    layout.height = h;
    std::string path = moxtest::WriteTga(name, layout, pixel);
    auto tga = std::make_unique<CMoxTga>();
    EXPECT_TRUE(tga->Init(path.c_str()));
    return tga;
}

// What one sprite looks like drawn whole, through the canvas's own drawing calls.
void DrawWhole(CMoxGraphics& g, CMoxSprite& s)
{
    CMoxRect r = *s.GetNewRect();
    if (s.GetFont()) {
        g.Draw(s.GetStringW(), r.X, r.Y, r.Width, r.Height, s.GetFont(), s.GetSolidBrush(), s.GetStringAlignment());
    } else if (s.GetPen()) {
        if (s.GetBox())
            g.DrawRectangle(s.GetPen(), s.GetPenX(), s.GetPenY(), s.GetPenWidth(), s.GetPenHeight());
        else
            g.DrawLine(s.GetPen(), s.GetPenX(), s.GetPenY(), s.GetPenX() + s.GetPenWidth(),
                       s.GetPenY() + s.GetPenHeight());
    } else if (s.GetBrush()) {
        g.FillRectangle(s.GetBrush(), s.GetPenX(), s.GetPenY(), s.GetPenWidth(), s.GetPenHeight());
    } else if (s.GetColor()) {
        g.FillRectangle(s.GetPenX(), s.GetPenY(), s.GetPenWidth(), s.GetPenHeight(), s.GetColor()->GetR(),
                        s.GetColor()->GetG(), s.GetColor()->GetB());
    } else if (s.GetTga()) {
        if (s.GetAlpha() == 255)
            g.Draw(s.GetTga(), r.X, r.Y, s.GetSrcX(), s.GetSrcY(), r.Width, r.Height);
        else
            g.Draw(s.GetTga(), r.X, r.Y, s.GetSrcX(), s.GetSrcY(), r.Width, r.Height, s.GetAlpha());
    } else if (s.GetBitmap()) {
        if (s.GetAlpha() == 255)
            g.Draw(s.GetBitmap(), r.X, r.Y, s.GetSrcX(), s.GetSrcY(), r.Width, r.Height);
        else
            g.Draw(s.GetBitmap(), r.X, r.Y, s.GetSrcX(), s.GetSrcY(), r.Width, r.Height, s.GetAlpha());
    }
}

class CompositionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CMoxGraphics starter;
        starter.GdiInit();
    }

    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "composition", WS_POPUP | moxtest::kShownForPixels, 0, 0, W,
                                 H, nullptr, nullptr));
        dc = std::make_unique<CPaintDC>(&wnd);
        ASSERT_TRUE(canvas.Init(W, H));
        canvas.InitGraphics(dc.get());
        moxtest::Fill(canvas, Rgb{1, 2, 3});
        ASSERT_TRUE(reference.Init(W, H));
        reference.InitGraphics(static_cast<CPaintDC*>(nullptr));
        background.Init(&backdrop.bitmap);
    }

    void TearDown() override
    {
        canvas.ClearSprite();
        dc.reset();
        wnd.DestroyWindow();
    }

    // One frame: the background sprite, then whatever `add` adds, back to front. Afterwards the
    // canvas must equal the same scene drawn whole from scratch, the window must equal the canvas,
    // and the list must hold exactly the sprites of the frame in drawing order.
    void Frame(const std::function<void()>& add, const std::vector<CMoxSprite*>& order)
    {
        canvas.InitSprite();
        canvas.AddSprite(&background, 0, 0, 255);
        add();
        canvas.DrawSprite(true);

        moxtest::Fill(reference, Rgb{1, 2, 3});
        DrawWhole(reference, background);
        for (CMoxSprite* s : order)
            DrawWhole(reference, *s);
        ExpectCanvasEquals(reference);
        ExpectWindowShowsCanvas();

        std::vector<CMoxSprite*> expected{&background};
        expected.insert(expected.end(), order.begin(), order.end());
        EXPECT_EQ(canvas.m_SpriteList, expected);
        for (CMoxSprite* s : canvas.m_SpriteList)
            EXPECT_EQ(s->IsZang(), 0);
        ++frame;
    }

    void ExpectCanvasEquals(CMoxGraphics& other)
    {
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (moxtest::PixelAt(canvas, x, y) != moxtest::PixelAt(other, x, y) && ++wrong <= 3)
                    ADD_FAILURE() << "frame " << frame << ": pixel (" << x << ", " << y << ") differs";
        EXPECT_EQ(wrong, 0) << "frame " << frame;
    }

    Rgb WindowAt(int x, int y) { return Unpack(GetPixel(dc->GetSafeHdc(), x, y)); }

    static Rgb Unpack(COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; }

    void ExpectWindowShowsCanvas()
    {
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (WindowAt(x, y) != moxtest::PixelAt(canvas, x, y) && ++wrong <= 3)
                    ADD_FAILURE() << "frame " << frame << ": window (" << x << ", " << y << ") not presented";
        EXPECT_EQ(wrong, 0) << "frame " << frame;
    }

    CWnd wnd;
    std::unique_ptr<CPaintDC> dc;
    CMoxGraphics canvas;
    CMoxGraphics reference;
    Picture backdrop{W, H, Gradient};
    CMoxSprite background;
    int frame = 0;
};

TEST_F(CompositionTest, MovesRemovalsAndReAddsMatchAFreshDrawing)
{
    Picture red(10, 8, [](int x, int y) { return Rgb{255, std::uint8_t(x * 20), std::uint8_t(y * 30)}; });
    Picture blue(12, 12, [](int x, int y) { return Rgb{std::uint8_t(x * 9), 40, 255}; });
    CMoxSprite a, b;
    a.Init(&red.bitmap);
    b.Init(&blue.bitmap);

    Frame(
        [&] {
            canvas.AddSprite(&a, 5, 5, 255);
            canvas.AddSprite(&b, 10, 8, 255);
        },
        {&a, &b});
    // a slides under b; b stays and is redrawn only in part.
    Frame(
        [&] {
            canvas.AddSprite(&a, 14, 10, 255);
            canvas.AddSprite(&b, 10, 8, 255);
        },
        {&a, &b});
    // Sub-image placement: source offset and clipping at the right edge.
    Frame(
        [&] {
            canvas.AddSprite(&a, 58, 10, 6, 5, 3, 2, 255);
            canvas.AddSprite(&b, 10, 8, 255);
        },
        {&a, &b});
    // a is dropped: its area is redrawn from the background.
    Frame([&] { canvas.AddSprite(&b, 10, 8, 255); }, {&b});
    // a returns, now above b.
    Frame(
        [&] {
            canvas.AddSprite(&b, 10, 8, 255);
            canvas.AddSprite(&a, 12, 12, 255);
        },
        {&b, &a});
    // Nothing changes: nothing is dirty, nothing drawn.
    Frame(
        [&] {
            canvas.AddSprite(&b, 10, 8, 255);
            canvas.AddSprite(&a, 12, 12, 255);
        },
        {&b, &a});
    EXPECT_TRUE(canvas.m_ZangList.m_RectList.empty());
}

TEST_F(CompositionTest, AlphaSpritesUnderMovingOnesAreBlendedOnce)
{
    auto glass = MakeTga("composition_glass.tga", 30, 20, [](int x, int y) {
        return Rgba{200, std::uint8_t(x * 8), 50, std::uint8_t(60 + y * 5)};
    });
    Picture mover(6, 6, [](int, int) { return Rgb{0, 255, 0}; });
    CMoxSprite g1, g2, m;
    g1.Init(glass.get());
    g2.Init(glass.get());
    m.Init(&mover.bitmap);

    // Two translucent layers (the second with constant opacity too) and a sprite crossing them
    // in steps that leave several dirty rectangles on the glass each frame.
    auto scene = [&](int mx, int my) {
        Frame(
            [&] {
                canvas.AddSprite(&g1, 10, 10, 255);
                canvas.AddSprite(&g2, 20, 15, 0, 0, 0, 0, 140);
                canvas.AddSprite(&m, mx, my, 255);
            },
            {&g1, &g2, &m});
    };
    scene(0, 0);
    for (int step = 1; step < 8; ++step)
        scene(step * 6, step * 4);
    scene(40, 0);
    scene(2, 40);
}

TEST_F(CompositionTest, TextTouchedByAMovingSpriteIsRedrawnWholeOverFreshPixels)
{
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    canvas.SetNowFont(&font);
    Picture tile(20, 20, [](int x, int y) { return Rgb{std::uint8_t(100 + x), 100, std::uint8_t(100 + y)}; });
    Picture mover(5, 5, [](int, int) { return Rgb{250, 250, 0}; });
    CMoxSprite under, text, m;
    under.Init(&tile.bitmap);
    m.Init(&mover.bitmap);

    auto scene = [&](int mx, int my) {
        Frame(
            [&] {
                canvas.AddSprite(&under, 8, 6, 255);
                canvas.AddSprite(&text, 4, 4, 50, 20, "Mox", Gdiplus::Color(10, 10, 10), Gdiplus::StringAlignmentNear);
                canvas.AddSprite(&m, mx, my, 255);
            },
            {&under, &text, &m});
    };
    scene(55, 40);
    scene(50, 22); // touches the text's rectangle only at its lower right
    scene(9, 9);   // over the glyphs
    scene(14, 11);
    scene(30, 35); // leaves them again
    scene(0, 0);
}

TEST_F(CompositionTest, WideningReachesTextEarlierInTheList)
{
    // The mover touches only the second text; the area that text adds then touches the first,
    // whose glyphs lie partly under the second text's rectangle.
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    canvas.SetNowFont(&font);
    Picture mover(5, 5, [](int, int) { return Rgb{250, 0, 250}; });
    CMoxSprite first, second, m;
    m.Init(&mover.bitmap);
    auto scene = [&](int mx, int my) {
        Frame(
            [&] {
                canvas.AddSprite(&first, 4, 4, 50, 20, "Mox", Gdiplus::Color(0, 0, 90), Gdiplus::StringAlignmentNear);
                canvas.AddSprite(&second, 10, 14, 40, 20, "ab", Gdiplus::Color(90, 0, 0), Gdiplus::StringAlignmentFar);
                canvas.AddSprite(&m, mx, my, 255);
            },
            {&first, &second, &m});
    };
    scene(58, 42);
    scene(45, 33);
    scene(58, 42);
}

TEST_F(CompositionTest, VectorSpritesRedrawWholeWhenTouched)
{
    CMoxPen pen(200, 0, 0, 1.0f, Gdiplus::DashStyleSolid);
    CMoxBrush hatch(Gdiplus::HatchStyleDiagonalCross, Gdiplus::Color(0, 0, 0), Gdiplus::Color(255, 255, 255));
    CMoxColor solid(30, 160, 90);
    Picture mover(4, 4, [](int, int) { return Rgb{0, 0, 0}; });
    CMoxSprite outline, line, hatched, fill, m;
    outline.Init(&pen, 1);
    line.Init(&pen, 0);
    hatched.Init(&hatch);
    fill.Init(&solid);
    m.Init(&mover.bitmap);

    auto scene = [&](int mx) {
        Frame(
            [&] {
                canvas.AddSprite(&fill, 2, 2, 20, 12, 0, 0, 255);
                canvas.AddSprite(&hatched, 30, 2, 16, 16, 0, 0, 255);
                canvas.AddSprite(&outline, 5, 20, 30, 20, 0, 0, 255);
                canvas.AddSprite(&line, 40, 30, 20, 15, 0, 0, 255);
                canvas.AddSprite(&m, mx, 10, 255);
            },
            {&fill, &hatched, &outline, &line, &m});
    };
    for (int mx = 0; mx < W; mx += 7)
        scene(mx);
}

TEST_F(CompositionTest, VectorSpritesDrawnUpAndLeftAreErasedAndPresented)
{
    // Negative deltas are how a line runs up or left; its claimed area must still cover it, or
    // a moved line leaves a trail and is never fully presented.
    CMoxPen pen(0, 0, 250, 1.0f, Gdiplus::DashStyleSolid);
    CMoxBrush hatch(Gdiplus::HatchStyleCross, Gdiplus::Color(250, 0, 0), Gdiplus::Color(0, 250, 0));
    CMoxColor solid(250, 250, 0);
    CMoxSprite line, outline, hatched, fill;
    line.Init(&pen, 0);
    outline.Init(&pen, 1);
    hatched.Init(&hatch);
    fill.Init(&solid);
    auto scene = [&](int dx) {
        Frame(
            [&] {
                canvas.AddSprite(&line, 30 + dx, 40, -12, -20, 0, 0, 255);
                canvas.AddSprite(&outline, 20 + dx, 20, -8, -6, 0, 0, 255);
                canvas.AddSprite(&hatched, 50 + dx, 30, -6, -9, 0, 0, 255);
                canvas.AddSprite(&fill, 60 + dx, 45, -5, -5, 0, 0, 255);
            },
            {&line, &outline, &hatched, &fill});
    };
    for (int dx = 0; dx > -18; dx -= 6)
        scene(dx);
    // A line that starts past the right edge and runs back onto the canvas is shown.
    Frame([&] { canvas.AddSprite(&line, W + 4, 10, -10, 5, 0, 0, 255); }, {&line});
}

TEST_F(CompositionTest, ImageSpritesOfNegativeSizeDrawNothingInPartEither)
{
    // Drawn whole such a placement shows nothing; the dirty rectangles that cross it must not
    // make parts of the image appear.
    Picture red(30, 30, [](int, int) { return Rgb{255, 0, 0}; });
    Picture mover(20, 10, [](int, int) { return Rgb{0, 0, 255}; });
    CMoxSprite odd, m;
    odd.Init(&red.bitmap);
    m.Init(&mover.bitmap);
    auto scene = [&](int mx, int my) {
        Frame(
            [&] {
                canvas.AddSprite(&odd, 30, 10, -10, 10, 0, 0, 255);
                canvas.AddSprite(&m, mx, my, 255);
            },
            {&odd, &m});
    };
    scene(44, 38);
    scene(25, 5); // holds the placement's top-left corner (30, 10) only
    scene(44, 38);
    scene(15, 15);
    scene(44, 38);
}

TEST_F(CompositionTest, EqualKeysEndInTheShellSortOrder)
{
    std::vector<std::unique_ptr<Picture>> colours;
    CMoxSprite sa, sb, sc, sd;
    CMoxSprite* sprites[] = {&sa, &sb, &sc, &sd};
    for (int i = 0; i < 4; ++i) {
        colours.push_back(std::make_unique<Picture>(8, 8, [i](int, int) { return Rgb{std::uint8_t(60 * i), 0, 0}; }));
        sprites[i]->Init(&colours.back()->bitmap);
    }
    canvas.InitSprite();
    for (CMoxSprite* s : sprites)
        canvas.AddSprite(s, 20, 20, 255);
    // Keys set after AddSprite count for this pass.
    sa.SetSort(2);
    sb.SetSort(1);
    sc.SetSort(1);
    sd.SetSort(0);
    canvas.DrawSprite(true);
    std::vector<CMoxSprite*> expected{&sd, &sc, &sb, &sa};
    EXPECT_EQ(canvas.m_SpriteList, expected);
    EXPECT_EQ(moxtest::PixelAt(canvas, 20, 20), (Rgb{0, 0, 0})) << "a, drawn last, is on top";

    // A key set before AddSprite is overwritten by it.
    canvas.InitSprite();
    sa.SetSort(100);
    for (CMoxSprite* s : sprites)
        canvas.AddSprite(s, 20, 20, 255);
    EXPECT_EQ(sa.GetSort(), 0);
    EXPECT_EQ(sd.GetSort(), 3);
    canvas.DrawSprite(true);
    expected = {&sa, &sb, &sc, &sd};
    EXPECT_EQ(canvas.m_SpriteList, expected);
}

TEST_F(CompositionTest, ASpriteAddedTwiceIsListedOnceWithTheLaterKey)
{
    Picture red(10, 10, [](int, int) { return Rgb{255, 0, 0}; });
    Picture blue(10, 10, [](int, int) { return Rgb{0, 0, 255}; });
    CMoxSprite a, b;
    a.Init(&red.bitmap);
    b.Init(&blue.bitmap);
    Frame(
        [&] {
            canvas.AddSprite(&a, 10, 10, 255);
            canvas.AddSprite(&b, 12, 12, 255);
            canvas.AddSprite(&a, 10, 10, 255);
        },
        {&b, &a});
    EXPECT_EQ(a.GetSort(), 3);
    EXPECT_EQ(moxtest::PixelAt(canvas, 15, 15), (Rgb{255, 0, 0}));
}

TEST_F(CompositionTest, OffCanvasAcceptanceAtTheEdges)
{
    Picture p(4, 4, [](int, int) { return Rgb{9, 9, 9}; });
    struct Case {
        int x, y, w, h;
        bool listed;
    } cases[] = {
        {-10, 0, 10, 4, true},
        {-10, 0, 9, 4, false},
        {W, 0, 4, 4, false},
        {W - 1, 0, 4, 4, true},
        {0, -10, 4, 10, true},
        {0, -10, 4, 9, false},
        {0, H, 4, 4, false},
        {0, H - 1, 4, 4, true},
        // Wrapped 32-bit sums must not let these in.
        {INT_MIN + 1, 0, -10, 4, false},
        {0, INT_MIN + 1, 4, -10, false},
    };
    for (const Case& c : cases) {
        CMoxSprite s;
        s.Init(&p.bitmap);
        canvas.InitSprite();
        canvas.AddSprite(&s, c.x, c.y, c.w, c.h, 0, 0, 255);
        EXPECT_EQ(canvas.m_SpriteList.size(), c.listed ? 1u : 0u) << c.x << "," << c.y << " " << c.w << "x" << c.h;
        EXPECT_EQ(s.GetUpdate(), c.listed ? 1 : 0);
        EXPECT_EQ(canvas.m_NextSort, c.listed ? 1 : 0);
        canvas.ClearSprite();
    }
}

TEST_F(CompositionTest, ClearSpriteKeepsPixelsAndForgetsTheSprites)
{
    Picture red(10, 10, [](int, int) { return Rgb{255, 0, 0}; });
    CMoxSprite a;
    a.Init(&red.bitmap);
    Frame([&] { canvas.AddSprite(&a, 10, 10, 255); }, {&a});

    canvas.ClearSprite();
    EXPECT_TRUE(canvas.m_SpriteList.empty());
    canvas.InitSprite();
    canvas.DrawSprite(true);
    EXPECT_EQ(moxtest::PixelAt(canvas, 12, 12), (Rgb{255, 0, 0}));

    // After the clear the same sprite is new again: listed, drawn whole.
    moxtest::Fill(canvas, Rgb{0, 0, 0});
    canvas.InitSprite();
    canvas.AddSprite(&a, 10, 10, 255);
    EXPECT_EQ(canvas.m_SpriteList.size(), 1u);
    canvas.DrawSprite(true);
    EXPECT_EQ(moxtest::PixelAt(canvas, 19, 19), (Rgb{255, 0, 0}));
}

TEST_F(CompositionTest, SpritesDroppedWithoutBackgroundLeaveTheirPixels)
{
    Picture red(10, 10, [](int, int) { return Rgb{255, 0, 0}; });
    CMoxSprite a;
    a.Init(&red.bitmap);
    canvas.InitSprite();
    canvas.AddSprite(&a, 10, 10, 255);
    canvas.DrawSprite(true);
    canvas.InitSprite();
    canvas.DrawSprite(true);
    EXPECT_TRUE(canvas.m_SpriteList.empty());
    EXPECT_EQ(moxtest::PixelAt(canvas, 12, 12), (Rgb{255, 0, 0}));
    // Both rectangles of the dropped sprite were dirty and presented.
    bool found = false;
    for (const CMoxRect& r : canvas.m_ZangList.m_RectList)
        found = found || r == CMoxRect(10, 10, 10, 10);
    EXPECT_TRUE(found);
}

TEST_F(CompositionTest, OnlyAZangOfExactlyOneDrawsWhole)
{
    Picture red(10, 10, [](int, int) { return Rgb{255, 0, 0}; });
    CMoxColor green(0, 255, 0);
    CMoxSprite image, fill;
    image.Init(&red.bitmap);
    fill.Init(&green);
    canvas.InitSprite();
    canvas.AddSprite(&image, 0, 0, 255);
    canvas.AddSprite(&fill, 20, 0, 9, 9, 0, 0, 255);
    canvas.DrawSprite(true);

    moxtest::Fill(canvas, Rgb{7, 7, 7});
    canvas.InitSprite();
    canvas.AddSprite(&image, 0, 0, 255);
    canvas.AddSprite(&fill, 20, 0, 9, 9, 0, 0, 255);
    image.SetZang(2);
    fill.SetZang(2);
    canvas.DrawSprite(true);
    EXPECT_EQ(moxtest::PixelAt(canvas, 1, 1), (Rgb{7, 7, 7})) << "no dirty rectangle meets it";
    EXPECT_EQ(moxtest::PixelAt(canvas, 21, 1), (Rgb{7, 7, 7}));
    EXPECT_EQ(image.IsZang(), 0);
    EXPECT_EQ(fill.IsZang(), 0);
}

TEST_F(CompositionTest, ZeroOpacityAndFailedImagesDrawNothing)
{
    auto opaque = MakeTga("composition_opaque.tga", 6, 6, [](int, int) { return Rgba{255, 255, 255, 255}; });
    Picture white(6, 6, [](int, int) { return Rgb{255, 255, 255}; });
    CMoxTga missingTga;
    EXPECT_FALSE(missingTga.Init(moxtest::TempPath("no_such_file.tga").c_str()));
    CMoxBitmap missingBitmap(moxtest::Widen(moxtest::TempPath("no_such_file.png")).c_str());

    CMoxSprite t, b, mt, mb;
    t.Init(opaque.get());
    b.Init(&white.bitmap);
    mt.Init(&missingTga);
    mb.Init(&missingBitmap);
    canvas.InitSprite();
    canvas.AddSprite(&t, 0, 0, 6, 6, 0, 0, 0);
    canvas.AddSprite(&b, 10, 0, 6, 6, 0, 0, 0);
    canvas.AddSprite(&mt, 20, 0, 6, 6, 0, 0, 255);
    canvas.AddSprite(&mb, 30, 0, 6, 6, 0, 0, 255);
    canvas.DrawSprite(true);
    for (int x : {2, 12, 22, 32})
        EXPECT_EQ(moxtest::PixelAt(canvas, x, 2), (Rgb{1, 2, 3})) << x;
}

TEST_F(CompositionTest, ShadowedTextAddsShadowFirstAndNeedsAShadow)
{
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    canvas.SetNowFont(&font);
    CMoxSprite text, shadow;
    canvas.InitSprite();
    canvas.AddSprite(&text, nullptr, 5, 5, 40, 20, "Hi", Gdiplus::Color(255, 255, 255), Gdiplus::Color(0, 0, 0),
                     Gdiplus::StringAlignmentNear);
    EXPECT_TRUE(canvas.m_SpriteList.empty());
    EXPECT_EQ(text.GetFont(), nullptr);

    canvas.AddSprite(nullptr, &shadow, 5, 5, 40, 20, "Hi", Gdiplus::Color(255, 255, 255), Gdiplus::Color(0, 0, 0),
                     Gdiplus::StringAlignmentNear);
    EXPECT_EQ(canvas.m_SpriteList, std::vector<CMoxSprite*>{&shadow});
    EXPECT_EQ(shadow.GetX(), 6);
    EXPECT_EQ(shadow.GetY(), 6);
    canvas.ClearSprite();

    Frame(
        [&] {
            canvas.AddSprite(&text, &shadow, 5, 5, 40, 20, "Hi", Gdiplus::Color(255, 255, 255), Gdiplus::Color(0, 0, 0),
                             Gdiplus::StringAlignmentNear);
        },
        {&shadow, &text});
    EXPECT_LT(shadow.GetSort(), text.GetSort());
}

TEST_F(CompositionTest, DrawDCCopiesFromTheOriginToEachDirtyRectanglesFarCorner)
{
    moxtest::Fill(canvas, Rgb{90, 80, 70});
    canvas.m_ZangList.ClearRect();
    CMoxRect empty(0, 0, 0, 0);
    canvas.m_ZangList.AddRect(empty);
    canvas.DrawDC();
    EXPECT_NE(WindowAt(0, 0), (Rgb{90, 80, 70})) << "(0, 0, 0, 0) copies nothing";

    CMoxRect r(10, 20, 5, 5);
    canvas.m_ZangList.AddRect(r);
    canvas.DrawDC();
    EXPECT_EQ(WindowAt(0, 0), (Rgb{90, 80, 70}));
    EXPECT_EQ(WindowAt(14, 24), (Rgb{90, 80, 70}));
    EXPECT_NE(WindowAt(15, 10), (Rgb{90, 80, 70}));
    EXPECT_NE(WindowAt(5, 25), (Rgb{90, 80, 70}));
    EXPECT_EQ(canvas.m_ZangList.m_RectList.size(), 2u) << "presenting leaves the dirty list alone";
}

TEST_F(CompositionTest, DrawSpriteWithoutPresentThenDrawDCShowsTheSame)
{
    Picture red(10, 10, [](int, int) { return Rgb{255, 0, 0}; });
    CMoxSprite a;
    a.Init(&red.bitmap);
    canvas.InitSprite();
    canvas.AddSprite(&background, 0, 0, 255);
    canvas.AddSprite(&a, 10, 10, 255);
    canvas.DrawSprite(false);
    EXPECT_NE(WindowAt(12, 12), (Rgb{255, 0, 0}));
    canvas.DrawDC();
    ExpectWindowShowsCanvas();
}

TEST(CompositionWithoutWindow, ComposesButPresentsNothing)
{
    CMoxGraphics starter;
    starter.GdiInit();
    Picture red(10, 10, [](int, int) { return Rgb{255, 0, 0}; });
    CMoxSprite a;
    a.Init(&red.bitmap);

    CMoxGraphics unbound;
    ASSERT_TRUE(unbound.Init(W, H));
    unbound.InitSprite();
    unbound.AddSprite(&a, 3, 3, 255);
    unbound.DrawSprite(true);
    unbound.DrawDC();
    EXPECT_EQ(moxtest::PixelAt(unbound, 5, 5), (Rgb{255, 0, 0}));

    // A canvas with a memory DC but no paint DC skips the copy as well.
    CMoxGraphics screenBound;
    ASSERT_TRUE(screenBound.Init(W, H));
    screenBound.InitGraphics(static_cast<CPaintDC*>(nullptr));
    screenBound.InitSprite();
    screenBound.AddSprite(&a, 3, 3, 255);
    screenBound.DrawSprite(true);
    EXPECT_EQ(moxtest::PixelAt(screenBound, 5, 5), (Rgb{255, 0, 0}));

    // A copy of the canvas keeps its own index of listed sprites.
    CMoxGraphics copy(unbound);
    copy.InitSprite();
    copy.AddSprite(&a, 3, 3, 255);
    EXPECT_EQ(copy.m_SpriteList.size(), 1u);
    copy.ClearSprite();
    copy.AddSprite(&a, 3, 3, 255);
    EXPECT_EQ(copy.m_SpriteList.size(), 1u);
    EXPECT_EQ(unbound.m_SpriteList.size(), 1u);
}

} // namespace

// The sprite list is public. A host that swaps one listed sprite for another between frames
// (same length) must not get the new one listed twice, nor the old one kept.
TEST_F(CompositionTest, AnEntryTheHostReplacesBetweenFramesIsSeen)
{
    Picture red(10, 10, [](int, int) { return Rgb{255, 0, 0}; });
    Picture blue(8, 8, [](int, int) { return Rgb{0, 0, 255}; });
    Picture green(8, 8, [](int, int) { return Rgb{0, 255, 0}; });
    CMoxSprite a, b, c;
    a.Init(&red.bitmap);
    b.Init(&blue.bitmap);
    c.Init(&green.bitmap);
    Frame(
        [&] {
            canvas.AddSprite(&a, 5, 5, 255);
            canvas.AddSprite(&b, 20, 20, 255);
        },
        {&a, &b});

    ASSERT_EQ(canvas.m_SpriteList.back(), &b);
    canvas.m_SpriteList.back() = &c;
    Frame(
        [&] {
            canvas.AddSprite(&a, 5, 5, 255);
            canvas.AddSprite(&c, 20, 20, 255);
        },
        {&a, &c});
    EXPECT_EQ(moxtest::PixelAt(canvas, 22, 22), (Rgb{0, 255, 0}));

    // Swapped back after the AddSprite calls, before the pass: the next InitSprite finds the list
    // as the pass left it, so the pass itself must notice, or c would never be listed again.
    Frame(
        [&] {
            canvas.AddSprite(&a, 5, 5, 255);
            canvas.AddSprite(&c, 21, 21, 255); // moved: b's area becomes dirty
            canvas.m_SpriteList.back() = &b;   // b still has its update flag from the first frame
        },
        {&a, &b});
    Frame(
        [&] {
            canvas.AddSprite(&a, 5, 5, 255);
            canvas.AddSprite(&c, 21, 21, 255);
        },
        {&a, &c});
}
