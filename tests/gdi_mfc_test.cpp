// MFC's GDI classes over the device context: pens, brushes, fonts and regions owned by their
// objects, SelectObject handing back what was selected, and CDC's drawing members drawing what
// the Win32 calls they stand for draw.
#include <gtest/gtest.h>

#include <afxwin.h>

#include "dib_canvas.h"

namespace {

constexpr COLORREF kGround = RGB(10, 20, 30);

// A CDC over a DIB canvas's DC, given back (not deleted) at the end.
struct AttachedDC : CDC {
    explicit AttachedDC(HDC dc) { Attach(dc); }
    ~AttachedDC() override { Detach(); }
};

} // namespace

// MFC: SelectObject answers the previously selected object as a temporary wrapper, which can be
// selected back; owning objects delete their handles, wrappers never do.
TEST(MfcGdi, SelectObjectHandsBackWhatWasSelected)
{
    DibCanvas canvas(10, 10);
    ASSERT_TRUE(canvas.Ok());
    AttachedDC dc(canvas.dc);
    HGDIOBJ penHandle;
    {
        CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
        CBrush brush(RGB(0, 0, 255));
        penHandle = pen.m_hObject;
        ASSERT_NE(penHandle, nullptr);
        CPen* oldPen = dc.SelectObject(&pen);
        CBrush* oldBrush = dc.SelectObject(&brush);
        ASSERT_NE(oldPen, nullptr);
        ASSERT_NE(oldBrush, nullptr);
        EXPECT_EQ(oldPen->m_hObject, GetStockObject(BLACK_PEN));
        EXPECT_EQ(oldBrush->m_hObject, GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(dc.GetCurrentPen()->m_hObject, penHandle);
        EXPECT_EQ(CPen::FromHandle(static_cast<HPEN>(penHandle)), dc.GetCurrentPen()) << "one wrapper a handle";
        canvas.Clear(kGround);
        EXPECT_TRUE(dc.Rectangle(1, 1, 6, 6));
        EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 0, 0));
        EXPECT_EQ(canvas.Pixel(3, 3), RGB(0, 0, 255));
        EXPECT_EQ(canvas.Pixel(6, 6), kGround);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
        EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    }
    EXPECT_EQ(GetObjectType(penHandle), 0u) << "the pen went with its CPen";
    // A wrapper's destruction leaves a stock object alone.
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
}

// MFC: FillSolidRect fills through the background colour and leaves it set; Draw3dRect draws
// the top and left edges in one colour, the bottom and right in the other, one pixel wide.
TEST(MfcGdi, FillSolidRectAndDraw3dRect)
{
    DibCanvas canvas(8, 6);
    ASSERT_TRUE(canvas.Ok());
    AttachedDC dc(canvas.dc);
    canvas.Clear(kGround);
    dc.FillSolidRect(1, 1, 3, 2, RGB(0, 255, 0));
    EXPECT_EQ(canvas.Map(RGB(0, 255, 0)), "........\n"
                                          ".###....\n"
                                          ".###....\n"
                                          "........\n"
                                          "........\n"
                                          "........\n");
    EXPECT_EQ(dc.GetBkColor(), RGB(0, 255, 0));
    canvas.Clear(kGround);
    const RECT r{1, 1, 7, 5};
    dc.Draw3dRect(&r, RGB(255, 255, 255), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Map(RGB(255, 255, 255)), "........\n"
                                              ".#####..\n"
                                              ".#......\n"
                                              ".#......\n"
                                              "........\n"
                                              "........\n");
    EXPECT_EQ(canvas.Map(RGB(0, 0, 0)), "........\n"
                                        "......#.\n"
                                        "......#.\n"
                                        "......#.\n"
                                        ".######.\n"
                                        "........\n");
}

// MFC: CreatePointFont takes tenths of a point: 120 is 12 points, 16 pixels at 96 DPI.
TEST(MfcGdi, PointFontsAndRegions)
{
    DibCanvas canvas(8, 8);
    ASSERT_TRUE(canvas.Ok());
    AttachedDC dc(canvas.dc);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Arial", &dc));
    LOGFONT lf;
    ASSERT_EQ(font.GetLogFont(&lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    CFont* old = dc.SelectObject(&font);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, 16, 1);
    dc.SelectObject(old);

    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 4, 4));
    ASSERT_TRUE(b.CreateRectRgn(2, 2, 8, 8));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
    EXPECT_TRUE(both.PtInRegion(3, 3));
    EXPECT_FALSE(both.PtInRegion(1, 1));
    EXPECT_EQ(dc.SelectClipRgn(&both), SIMPLEREGION);
    canvas.Clear(kGround);
    CBrush red(RGB(255, 0, 0));
    const RECT all{0, 0, 8, 8};
    dc.FillRect(&all, &red);
    EXPECT_EQ(canvas.Map(RGB(255, 0, 0)), "........\n"
                                          "........\n"
                                          "..##....\n"
                                          "..##....\n"
                                          "........\n"
                                          "........\n"
                                          "........\n"
                                          "........\n");
    dc.SelectClipRgn(nullptr);
}
