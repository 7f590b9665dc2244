// The canvas: back-buffer layout, sizing, the software fill, the background buffer, device
// contexts, and copies that share the buffers.
#include "canvas_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using moxcanvas::Form;
using moxcanvas::MakeCanvas;
using moxcanvas::MakeImage;
using moxcanvas::Pattern;
using moxcanvas::Snapshot;
using moxtest::PixelAt;
using moxtest::Rgb;

namespace {

const Rgb kGrey{90, 90, 90};

DIBSECTION SectionOf(CMoxGraphics& canvas)
{
    DIBSECTION ds;
    std::memset(&ds, 0, sizeof ds);
    EXPECT_EQ(GetObject(canvas.GetBitmap(), sizeof ds, &ds), int(sizeof ds));
    return ds;
}

TEST(CanvasInit, StrideIsWidthTimesThreeRoundedUpToFourBytes)
{
    moxcanvas::StartGdiplus();
    const struct {
        int width, height, stride;
    } cases[] = {{1, 1, 4}, {3, 2, 12}, {5, 2, 16}, {4, 3, 12}};
    for (const auto& c : cases) {
        CMoxGraphics canvas;
        ASSERT_TRUE(canvas.Init(c.width, c.height));
        EXPECT_EQ(canvas.m_nStride, c.stride) << c.width;
        EXPECT_EQ(canvas.GetWidth(), unsigned(c.width));
        EXPECT_EQ(canvas.GetHeight(), unsigned(c.height));
        const BITMAPINFOHEADER& h = canvas.m_pBitmapInfo->bmiHeader;
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, c.width);
        EXPECT_EQ(h.biHeight, -c.height); // top-down
        EXPECT_EQ(h.biBitCount, 24);
        EXPECT_EQ(h.biCompression, DWORD(BI_RGB));
        EXPECT_EQ(h.biSizeImage, DWORD(c.stride * c.height));
        // The section the platform made has the same layout, so the library's pixel writes land
        // where GDI and GDI+ read.
        DIBSECTION ds = SectionOf(canvas);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, c.stride);
        EXPECT_EQ(ds.dsBm.bmBits, canvas.m_pDIBBits);
        EXPECT_EQ(ds.dsBmih.biSizeImage, DWORD(c.stride * c.height));
    }
}

TEST(CanvasInit, AbsurdSizesAreRefusedWithNothingAllocated)
{
    moxcanvas::StartGdiplus();
    const struct {
        int width, height;
    } cases[] = {{-1, 5}, {5, -1}, {INT_MAX, 1}, {1 << 20, 1 << 20}, {INT_MIN, INT_MIN}, {715827883, 1}};
    for (const auto& c : cases) {
        CMoxGraphics canvas;
        EXPECT_FALSE(canvas.Init(c.width, c.height)) << c.width << "x" << c.height;
        EXPECT_EQ(canvas.GetBitmap(), nullptr);
        EXPECT_EQ(canvas.m_pBackground, nullptr);
        EXPECT_EQ(canvas.m_pBitmapInfo, nullptr);
        EXPECT_EQ(canvas.GetWidth(), 0u);
        auto image = MakeImage(Form::Raw, 2, 2);
        canvas.FillRectangle(0, 0, 10, 10, 1, 2, 3);
        canvas.SetBackBitmap(image.get());
        canvas.DrawBack();
        canvas.Draw(image.get(), 0, 0);
    }
    // A refused size releases what an earlier size had built.
    CMoxGraphics canvas;
    ASSERT_TRUE(canvas.Init(4, 4));
    EXPECT_FALSE(canvas.Init(-4, 4));
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    canvas.FillRectangle(0, 0, 4, 4, 1, 2, 3);
}

TEST(CanvasInit, EmptyCanvasDrawsNothing)
{
    moxcanvas::StartGdiplus();
    CMoxGraphics before; // never sized
    before.FillRectangle(0, 0, 5, 5, 1, 2, 3);
    before.DrawBack();
    CMoxGraphics zero;
    EXPECT_TRUE(zero.Init(0, 0));
    zero.FillRectangle(0, 0, 5, 5, 1, 2, 3);
    zero.DrawBack();
    auto image = MakeImage(Form::Raw, 2, 2);
    zero.SetBackBitmap(image.get());
    zero.Draw(image.get(), 0, 0, 0, 0, 2, 2, 100);
    EXPECT_EQ(zero.GetWidth(), 0u);
}

TEST(CanvasFill, ClipsToTheCanvas)
{
    auto canvas = MakeCanvas(8, 6, kGrey);
    canvas->FillRectangle(-5, -5, 10, 10, 1, 2, 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(PixelAt(*canvas, x, y), ((x < 5 && y < 5) ? Rgb{1, 2, 3} : kGrey)) << x << "," << y;

    moxtest::Fill(*canvas, kGrey);
    const std::vector<unsigned char> before = Snapshot(*canvas);
    canvas->FillRectangle(8, 0, 4, 4, 1, 2, 3); // right of the canvas
    canvas->FillRectangle(0, 6, 4, 4, 1, 2, 3); // below it
    canvas->FillRectangle(1, 1, 0, 4, 1, 2, 3);
    canvas->FillRectangle(1, 1, 4, -1, 1, 2, 3);
    canvas->FillRectangle(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 1, 2, 3);
    canvas->FillRectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1, 2, 3);
    EXPECT_EQ(Snapshot(*canvas), before);

    canvas->FillRectangle(6, 4, 100, 100, 1, 2, 3); // runs off the right and bottom edges
    EXPECT_EQ(PixelAt(*canvas, 7, 5), (Rgb{1, 2, 3}));
    EXPECT_EQ(PixelAt(*canvas, 5, 5), kGrey);
    EXPECT_EQ(PixelAt(*canvas, 7, 3), kGrey);
}

TEST(CanvasFill, WritesBlueGreenRedInMemoryAndLeavesRowPaddingAlone)
{
    auto canvas = MakeCanvas(3, 2, kGrey); // stride 12: 3 bytes of padding a row
    std::memset(canvas->m_pDIBBits, 0xEE, 24);
    canvas->FillRectangle(0, 0, 3, 2, 0x10, 0x20, 0x30);
    for (int y = 0; y < 2; ++y) {
        const unsigned char* row = canvas->m_pDIBBits + y * 12;
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(row[3 * x], 0x30);
            EXPECT_EQ(row[3 * x + 1], 0x20);
            EXPECT_EQ(row[3 * x + 2], 0x10);
        }
        EXPECT_EQ(row[9], 0xEE);
        EXPECT_EQ(row[11], 0xEE);
    }
}

// --- Background -----------------------------------------------------------------------------

TEST(CanvasBackground, RawBytesAreOneBlockInCanvasRowOrder)
{
    auto canvas = MakeCanvas(4, 3, kGrey); // 12 bytes a row: no padding
    std::vector<unsigned char> bytes(4 * 3 * 3);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 5);
    BITMAPINFO header = moxtest::RawHeader(4, 3);
    CMoxBitmap background(bytes.data(), int(bytes.size()), header, 0);
    canvas->SetBackBitmap(&background);
    EXPECT_EQ(Snapshot(*canvas), Snapshot(*MakeCanvas(4, 3, kGrey))); // only the background changed
    canvas->DrawBack();
    EXPECT_EQ(Snapshot(*canvas), bytes); // first stored row is the top row
}

TEST(CanvasBackground, RawCopyNeverPassesEitherBuffer)
{
    auto canvas = MakeCanvas(4, 2, kGrey);
    // Claims 100 x 100 pixels: the copy stops at the background's 24 bytes.
    std::vector<unsigned char> big(100 * 100 * 3, 7);
    BITMAPINFO header = moxtest::RawHeader(100, 100);
    CMoxBitmap large(big.data(), int(big.size()), header, 0);
    canvas->SetBackBitmap(&large);
    canvas->DrawBack();
    EXPECT_EQ(Snapshot(*canvas), std::vector<unsigned char>(24, 7));

    // Claims 4 x 2 pixels but holds 6 bytes: only those 6 are copied.
    std::vector<unsigned char> few(6, 200);
    BITMAPINFO small = moxtest::RawHeader(4, 2);
    CMoxBitmap shortImage(few.data(), int(few.size()), small, 0);
    canvas->SetBackBitmap(&shortImage);
    canvas->DrawBack();
    std::vector<unsigned char> want(24, 7);
    std::fill(want.begin(), want.begin() + 6, 200);
    EXPECT_EQ(Snapshot(*canvas), want);

    // A header whose byte count overflows: still only what the image holds.
    BITMAPINFO huge = moxtest::RawHeader(4, 2);
    huge.bmiHeader.biWidth = INT_MAX;
    huge.bmiHeader.biHeight = INT_MAX;
    std::vector<unsigned char> nine(3, 9);
    CMoxBitmap hugeImage(nine.data(), 3, huge, 0);
    canvas->SetBackBitmap(&hugeImage);
    canvas->DrawBack();
    std::fill(want.begin(), want.begin() + 3, 9);
    EXPECT_EQ(Snapshot(*canvas), want);
}

TEST(CanvasBackground, FileImageFillsTheTopLeftAndKeepsTheRest)
{
    auto canvas = MakeCanvas(8, 6, kGrey);
    std::vector<unsigned char> sevens(8 * 6 * 3 + 8 * 6, 7); // more than the 8 x 6 background holds
    BITMAPINFO header = moxtest::RawHeader(8, 6);
    CMoxBitmap plain(sevens.data(), int(sevens.size()), header, 0);
    canvas->SetBackBitmap(&plain);

    auto small = MakeImage(Form::File, 3, 2);
    canvas->SetBackBitmap(small.get());
    moxtest::Fill(*canvas, kGrey);
    canvas->DrawBack();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(PixelAt(*canvas, x, y), ((x < 3 && y < 2) ? Pattern(x, y) : Rgb{7, 7, 7})) << x << "," << y;
}

TEST(CanvasBackground, FileImageLargerThanTheCanvasIsClipped)
{
    auto canvas = MakeCanvas(5, 4, kGrey);
    auto large = MakeImage(Form::File, 9, 7);
    canvas->SetBackBitmap(large.get());
    canvas->DrawBack();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(PixelAt(*canvas, x, y), Pattern(x, y)) << x << "," << y;
}

TEST(CanvasBackground, FileImageWithAlphaChannelCopiesItsColours)
{
    auto canvas = MakeCanvas(4, 4, kGrey);
    const std::string path = moxtest::TempPath("background.png");
    moxtest::WritePng(
        path, 4, 4,
        [](int x, int y) {
            return moxtest::Rgba{std::uint8_t(60 * x), std::uint8_t(60 * y), 33, 255};
        },
        true);
    CMoxBitmap image(moxtest::Widen(path).c_str());
    canvas->SetBackBitmap(&image);
    canvas->DrawBack();
    EXPECT_EQ(PixelAt(*canvas, 3, 2), (Rgb{180, 120, 33}));
}

TEST(CanvasBackground, UnusableImagesLeaveTheBackgroundAlone)
{
    auto canvas = MakeCanvas(4, 3, kGrey);
    std::vector<unsigned char> bytes(36, 9);
    BITMAPINFO header = moxtest::RawHeader(4, 3);
    CMoxBitmap nines(bytes.data(), 36, header, 0);
    canvas->SetBackBitmap(&nines);

    BITMAPINFO topDown = moxtest::RawHeader(4, -3);
    CMoxBitmap negative(bytes.data(), 36, topDown, 0);
    CMoxBitmap noBytes(nullptr, 36, header, 0);
    CMoxBitmap missing(moxtest::Widen(moxtest::TempPath("missing.png")).c_str());
    CMoxBitmap empty;
    for (CMoxBitmap* image : {&negative, &noBytes, &missing, &empty})
        canvas->SetBackBitmap(image);
    canvas->SetBackBitmap(nullptr);
    canvas->DrawBack();
    EXPECT_EQ(Snapshot(*canvas), std::vector<unsigned char>(36, 9));
}

TEST(CanvasBackground, OnlyTheFileCopyNeedsTwentyFourBitsPerPixel)
{
    auto canvas = MakeCanvas(4, 3, kGrey);
    canvas->m_nBitCount = 32; // public, so a host can change it
    auto file = MakeImage(Form::File, 4, 3);
    canvas->SetBackBitmap(file.get());
    canvas->DrawBack();
    EXPECT_EQ(Snapshot(*canvas), std::vector<unsigned char>(36, 0)); // the cleared background

    std::vector<unsigned char> bytes(36, 9);
    BITMAPINFO header = moxtest::RawHeader(4, 3);
    CMoxBitmap raw(bytes.data(), 36, header, 0);
    canvas->SetBackBitmap(&raw);
    canvas->DrawBack();
    EXPECT_EQ(Snapshot(*canvas), bytes);
}

// --- Device contexts ------------------------------------------------------------------------

TEST(CanvasDeviceContext, MemoryDCShowsTheBackBuffer)
{
    auto canvas = MakeCanvas(6, 4, kGrey);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    ASSERT_NE(canvas->GetMemDC(), nullptr);
    ASSERT_NE(canvas->GetGraphics(), nullptr);
    EXPECT_EQ(canvas->m_pPaintDC, nullptr);
    canvas->FillRectangle(1, 2, 1, 1, 0x10, 0x20, 0x30);
    EXPECT_EQ(GetPixel(canvas->GetMemDC()->GetSafeHdc(), 1, 2), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(GetPixel(canvas->GetMemDC()->GetSafeHdc(), 0, 0), RGB(90, 90, 90));
}

TEST(CanvasDeviceContext, RebindingReplacesTheMemoryDCAndGraphics)
{
    auto canvas = MakeCanvas(6, 4, kGrey);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    const HDC first = canvas->GetMemDC()->GetSafeHdc();
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    const HDC second = canvas->GetMemDC()->GetSafeHdc();
    ASSERT_NE(second, nullptr);
    canvas->FillRectangle(0, 0, 1, 1, 5, 6, 7);
    EXPECT_EQ(GetPixel(second, 0, 0), RGB(5, 6, 7)); // the section moved to the new DC
    EXPECT_EQ(GetPixel(first, 0, 0), CLR_INVALID);   // and the first DC is gone

    canvas->DeleteGraphics();
    EXPECT_EQ(canvas->GetMemDC(), nullptr);
    EXPECT_EQ(canvas->GetGraphics(), nullptr);
    EXPECT_NE(canvas->GetBitmap(), nullptr); // the section and buffers stay
    canvas->FillRectangle(0, 0, 1, 1, 8, 8, 8);
    EXPECT_EQ(PixelAt(*canvas, 0, 0), (Rgb{8, 8, 8}));
}

bool SectionExists(HBITMAP section)
{
    BITMAP bm;
    return GetObject(section, sizeof bm, &bm) != 0;
}

TEST(CanvasDeviceContext, ResizingSelectsTheNewSectionAndDeletesTheOld)
{
    auto canvas = MakeCanvas(6, 4, kGrey);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    const HBITMAP first = canvas->GetBitmap();
    ASSERT_TRUE(canvas->Init(10, 8));
    EXPECT_FALSE(SectionExists(first)); // not left selected, so really deleted
    canvas->FillRectangle(9, 7, 1, 1, 1, 2, 3);
    EXPECT_EQ(GetPixel(canvas->GetMemDC()->GetSafeHdc(), 9, 7), RGB(1, 2, 3));

    // A refused size leaves no section for the memory DC; DC and Graphics go, the old section too.
    const HBITMAP second = canvas->GetBitmap();
    EXPECT_FALSE(canvas->Init(-1, 8));
    EXPECT_FALSE(SectionExists(second));
    EXPECT_EQ(canvas->GetMemDC(), nullptr);
    EXPECT_EQ(canvas->GetGraphics(), nullptr);
}

TEST(CanvasDeviceContext, GraphicsOnAPlainDCLeavesTheMemoryDCAlone)
{
    moxcanvas::StartGdiplus();
    HDC screen = GetDC(nullptr);
    CMoxGraphics canvas(screen);
    EXPECT_NE(canvas.GetGraphics(), nullptr);
    EXPECT_EQ(canvas.GetMemDC(), nullptr);
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    ReleaseDC(nullptr, screen);
}

TEST(CanvasDeviceContext, FrameReachesTheWindowThroughBitBlt)
{
    moxcanvas::StartGdiplus();
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), "canvas", WS_POPUP | moxtest::kShownForPixels, 0, 0, 16, 12,
                                nullptr, nullptr));
    {
        CPaintDC dc(&window);
        CMoxGraphics canvas;
        ASSERT_TRUE(canvas.Init(16, 12));
        canvas.InitGraphics(&dc);
        EXPECT_EQ(canvas.m_pPaintDC, &dc);
        auto image = MakeImage(Form::Raw, 4, 4);
        canvas.FillRectangle(0, 0, 16, 12, 0, 0, 0);
        canvas.Draw(image.get(), 3, 2);
        BitBlt(dc.GetSafeHdc(), 0, 0, 16, 12, canvas.GetMemDC()->GetSafeHdc(), 0, 0, SRCCOPY);
        const Rgb p = Pattern(1, 2);
        EXPECT_EQ(GetPixel(dc.GetSafeHdc(), 4, 4), RGB(p.r, p.g, p.b));
        EXPECT_EQ(GetPixel(dc.GetSafeHdc(), 0, 0), RGB(0, 0, 0));
    }
    window.DestroyWindow();
}

// --- Copies ---------------------------------------------------------------------------------

TEST(CanvasCopy, CopiesDrawIntoTheSamePixels)
{
    auto canvas = MakeCanvas(6, 4, kGrey);
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    CMoxGraphics copy(*canvas);
    EXPECT_EQ(copy.GetBitmap(), canvas->GetBitmap());
    EXPECT_EQ(copy.GetMemDC(), canvas->GetMemDC());
    copy.FillRectangle(0, 0, 2, 2, 1, 2, 3);
    EXPECT_EQ(PixelAt(*canvas, 1, 1), (Rgb{1, 2, 3}));

    CMoxGraphics assigned;
    assigned = *canvas;
    assigned.FillRectangle(5, 3, 1, 1, 4, 5, 6);
    EXPECT_EQ(PixelAt(*canvas, 5, 3), (Rgb{4, 5, 6}));
}

TEST(CanvasCopy, CopyOutlivesItsSourceAndStillDraws)
{
    std::unique_ptr<CMoxGraphics> copy;
    {
        auto canvas = MakeCanvas(6, 4, kGrey);
        canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
        auto back = MakeImage(Form::Raw, 6, 4, [](int, int) { return Rgb{3, 3, 3}; });
        canvas->SetBackBitmap(back.get());
        copy = std::make_unique<CMoxGraphics>(*canvas);
    }
    copy->DrawBack();
    EXPECT_EQ(PixelAt(*copy, 1, 1), (Rgb{3, 3, 3}));
    copy->FillRectangle(0, 0, 1, 1, 9, 8, 7);
    EXPECT_EQ(GetPixel(copy->GetMemDC()->GetSafeHdc(), 0, 0), RGB(9, 8, 7));
}

// A copy that shares a memory DC keeps the section selected into it; that section must go
// when the DC goes, whichever canvas resized or died first.
TEST(CanvasCopy, SectionsLeftInASharedMemoryDCAreDeletedWithIt)
{
    HBITMAP first = nullptr, second = nullptr;
    {
        auto canvas = MakeCanvas(6, 4, kGrey);
        canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
        first = canvas->GetBitmap();
        {
            CMoxGraphics copy(*canvas);
            ASSERT_TRUE(canvas->Init(5, 5));
            EXPECT_EQ(GetPixel(copy.GetMemDC()->GetSafeHdc(), 5, 3), RGB(90, 90, 90)); // still the first
        }
        EXPECT_TRUE(SectionExists(first)); // selected into the DC the canvas still holds

        CMoxGraphics copy(*canvas);
        second = canvas->GetBitmap();
        ASSERT_TRUE(copy.Init(3, 3));
        ASSERT_TRUE(canvas->Init(2, 2));
    }
    EXPECT_FALSE(SectionExists(first));
    EXPECT_FALSE(SectionExists(second));
}

TEST(CanvasCopy, ReinitialisingOneCopyLeavesTheOtherIntact)
{
    auto canvas = MakeCanvas(6, 4, kGrey);
    CMoxGraphics copy(*canvas);
    ASSERT_TRUE(copy.Init(3, 3));
    EXPECT_NE(copy.GetBitmap(), canvas->GetBitmap());
    canvas->FillRectangle(0, 0, 6, 4, 1, 1, 1);
    EXPECT_EQ(PixelAt(*canvas, 5, 3), (Rgb{1, 1, 1}));
    copy.DeleteGraphics();
    copy = CMoxGraphics();
    canvas->DrawBack();
    EXPECT_EQ(PixelAt(*canvas, 5, 3), (Rgb{0, 0, 0})); // a fresh background is cleared
}

} // namespace
