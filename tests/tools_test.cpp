// Colours, pens, hatch brushes and fonts: what each builds on the platform, and shared ownership
// (copies share the GDI+ object, re-initialising drops only one share, the last owner frees it).
#include <MoxImage2.h>

#include <gtest/gtest.h>

#include "canvas_support.h"

using namespace Gdiplus;

namespace {

class Tools : public ::testing::Test {
protected:
    void SetUp() override { moxcanvas::StartGdiplus(); }
};

ARGB PenColour(CMoxPen& pen)
{
    Color colour(0);
    EXPECT_EQ(pen.GetPen()->GetColor(&colour), Ok);
    return colour.GetValue();
}

} // namespace

TEST_F(Tools, ColourHoldsItsComponentsInOrder)
{
    CMoxColor black;
    EXPECT_EQ(black.GetR(), 0);
    EXPECT_EQ(black.GetG(), 0);
    EXPECT_EQ(black.GetB(), 0);
    black.Init(1, 2, 3);
    EXPECT_EQ(black.GetR(), 1);
    EXPECT_EQ(black.GetG(), 2);
    EXPECT_EQ(black.GetB(), 3);
    CMoxColor copy(9, 9, 9);
    copy = black;
    EXPECT_EQ(copy.GetB(), 3);
    CMoxColor made(200, 100, 50);
    EXPECT_EQ(made.m_r, 200);
    EXPECT_EQ(made.m_g, 100);
    EXPECT_EQ(made.m_b, 50);
}

TEST_F(Tools, PenTakesTheLowByteOfEachComponentAndIsOpaque)
{
    CMoxPen pen(266, -1, 0x1234, 1.0f, DashStyleSolid);
    EXPECT_EQ(PenColour(pen), 0xFF0AFF34u);

    CMoxPen red(255, 0, 0, 2.0f, DashStyleDash);
    EXPECT_EQ(PenColour(red), 0xFFFF0000u);
    EXPECT_EQ(red.GetPen()->GetWidth(), 2.0f);
    EXPECT_EQ(red.GetPen()->GetDashStyle(), DashStyleDash);
}

TEST_F(Tools, PenTakesACustomDashStyle)
{
    // GDI+ takes a custom style (Wine's gdiplus conformance test test_dasharray, pen.c).
    CMoxPen pen(1, 2, 3, 1.0f, DashStyleCustom);
    ASSERT_NE(pen.GetPen(), nullptr);
    EXPECT_EQ(pen.GetPen()->GetLastStatus(), Ok);
    EXPECT_EQ(pen.GetPen()->GetDashStyle(), DashStyleCustom);
}

TEST_F(Tools, EmptyToolsHoldNothing)
{
    CMoxPen pen;
    CMoxBrush brush;
    CMoxFont font;
    EXPECT_EQ(pen.GetPen(), nullptr);
    EXPECT_EQ(brush.GetHatchBrush(), nullptr);
    EXPECT_EQ(font.GetFont(), nullptr);
    EXPECT_EQ(font.GetSize(), 0.0f);
}

TEST_F(Tools, BrushPassesStyleAndColoursThrough)
{
    CMoxBrush brush(HatchStyleDiagonalCross, Color(0x80112233), Color(0x40445566));
    ASSERT_NE(brush.GetHatchBrush(), nullptr);
    EXPECT_EQ(brush.GetHatchBrush()->GetHatchStyle(), HatchStyleDiagonalCross);
    Color fore, back;
    EXPECT_EQ(brush.GetHatchBrush()->GetForegroundColor(&fore), Ok);
    EXPECT_EQ(brush.GetHatchBrush()->GetBackgroundColor(&back), Ok);
    EXPECT_EQ(fore.GetValue(), 0x80112233u);
    EXPECT_EQ(back.GetValue(), 0x40445566u);
}

TEST_F(Tools, FontSizeIsThePointSizeGiven)
{
    CMoxFont font(12, L"DejaVu Sans", FontStyleBold);
    ASSERT_NE(font.GetFont(), nullptr);
    EXPECT_EQ(font.GetSize(), 12.0f);
    EXPECT_EQ(font.GetFont()->GetStyle(), FontStyleBold);
    font.Init(30, L"Arial", FontStyleItalic);
    EXPECT_EQ(font.GetSize(), 30.0f);
}

TEST_F(Tools, MissingFamilyLeavesAnEmptyFontOfSizeZero)
{
    CMoxFont font(12, L"No Such Family Anywhere", FontStyleRegular);
    ASSERT_NE(font.GetFont(), nullptr); // the wrapper exists, its native font does not
    EXPECT_FALSE(font.GetFont()->IsAvailable());
    EXPECT_NE(font.GetFont()->GetLastStatus(), Ok);
    EXPECT_EQ(font.GetSize(), 0.0f);

    CMoxFont unnamed(12, nullptr, FontStyleRegular);
    EXPECT_EQ(unnamed.GetSize(), 0.0f);
}

TEST_F(Tools, CopiesShareAndOutliveTheirSource)
{
    auto pen = std::make_unique<CMoxPen>(10, 20, 30, 1.0f, DashStyleDot);
    auto brush = std::make_unique<CMoxBrush>(HatchStyleCross, Color(0xFF010203), Color(0xFF040506));
    auto font = std::make_unique<CMoxFont>(14, L"DejaVu Sans", FontStyleRegular);

    CMoxPen penCopy(*pen);
    CMoxBrush brushCopy;
    brushCopy = *brush;
    CMoxFont fontCopy;
    fontCopy = *font;
    EXPECT_EQ(penCopy.GetPen(), pen->GetPen());
    EXPECT_EQ(brushCopy.GetHatchBrush(), brush->GetHatchBrush());
    EXPECT_EQ(fontCopy.GetFont(), font->GetFont());

    // The source goes; the copies still hold working objects.
    pen.reset();
    brush.reset();
    font.reset();
    EXPECT_EQ(PenColour(penCopy), 0xFF0A141Eu);
    EXPECT_EQ(penCopy.GetPen()->GetDashStyle(), DashStyleDot);
    EXPECT_EQ(brushCopy.GetHatchBrush()->GetHatchStyle(), HatchStyleCross);
    EXPECT_EQ(fontCopy.GetSize(), 14.0f);
}

TEST_F(Tools, ReinitialisingOneCopyLeavesTheOtherAlone)
{
    CMoxPen pen(1, 2, 3, 1.0f, DashStyleSolid);
    CMoxPen copy = pen;
    Pen* shared = pen.GetPen();
    copy.Init(4, 5, 6, 3.0f, DashStyleDash);
    EXPECT_NE(copy.GetPen(), shared);
    EXPECT_EQ(pen.GetPen(), shared);
    EXPECT_EQ(PenColour(pen), 0xFF010203u);
    EXPECT_EQ(PenColour(copy), 0xFF040506u);

    CMoxFont font(10, L"DejaVu Sans", FontStyleRegular);
    CMoxFont fontCopy(font);
    font.Init(20, L"DejaVu Serif", FontStyleRegular);
    EXPECT_EQ(fontCopy.GetSize(), 10.0f);
    EXPECT_EQ(font.GetSize(), 20.0f);

    CMoxBrush brush(HatchStyleWeave, Color(0xFF000000), Color(0xFFFFFFFF));
    CMoxBrush brushCopy(brush);
    brush.Init(HatchStylePlaid, Color(0xFF000000), Color(0xFFFFFFFF));
    EXPECT_EQ(brushCopy.GetHatchBrush()->GetHatchStyle(), HatchStyleWeave);
    EXPECT_EQ(brush.GetHatchBrush()->GetHatchStyle(), HatchStylePlaid);

    // Assigning over a tool drops its old object; self-assignment keeps it.
    brushCopy = brush;
    brushCopy = brushCopy;
    EXPECT_EQ(brushCopy.GetHatchBrush()->GetHatchStyle(), HatchStylePlaid);
}
