// GdipDrawString drawn again gives the pixels it gave the first time: after the text drawn in
// between has pushed the string out of any cache, and after a draw of the same string under
// other settings, whichever setting changed. Written against the flat API alone, so that the
// Windows build checks the same against real GDI+.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "canvas_support.h"
#include "gdiplus_image_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr int kW = 160, kH = 48;
constexpr std::uint32_t kGround = 0xC8D0E0;

struct FontDelete {
    void operator()(GpFont* f) const { GdipDeleteFont(f); }
};
using FontPtr = std::unique_ptr<GpFont, FontDelete>;
struct BrushDelete {
    void operator()(GpBrush* b) const { GdipDeleteBrush(b); }
};
using BrushPtr = std::unique_ptr<GpBrush, BrushDelete>;
struct FormatDelete {
    void operator()(GpStringFormat* f) const { GdipDeleteStringFormat(f); }
};
using FormatPtr = std::unique_ptr<GpStringFormat, FormatDelete>;

FontPtr MakeFont(const wchar_t* family, REAL size, INT style)
{
    GpFontFamily* fam = nullptr;
    EXPECT_EQ(GdipCreateFontFamilyFromName(family, nullptr, &fam), Ok);
    GpFont* font = nullptr;
    EXPECT_EQ(GdipCreateFont(fam, size, style, UnitPoint, &font), Ok);
    GdipDeleteFontFamily(fam);
    return FontPtr(font);
}

// One draw: every input GdipDrawString and the Graphics' state give it.
struct Label {
    std::wstring text = L"Score 00137";
    const wchar_t* family = L"DejaVu Sans";
    REAL size = 12;
    INT style = FontStyleRegular;
    ARGB colour = 0xFF101010;
    bool hatch = false;
    RectF rect{6.25f, 5.5f, 120, 30};
    StringAlignment align = StringAlignmentNear;
    REAL dx = 0, dy = 0; // a world transform
    TextRenderingHint hint = TextRenderingHintSystemDefault;
};

std::vector<std::uint32_t> Draw(const Label& l)
{
    moxtest::Section s(kW, kH);
    s.Fill(kGround);
    FontPtr font = MakeFont(l.family, l.size, l.style);
    GpBrush* brush = nullptr;
    if (l.hatch) {
        GpHatch* h = nullptr;
        EXPECT_EQ(GdipCreateHatchBrush(HatchStyleDiagonalCross, l.colour, 0xFFFFFFFF, &h), Ok);
        brush = h;
    } else {
        GpSolidFill* f = nullptr;
        EXPECT_EQ(GdipCreateSolidFill(l.colour, &f), Ok);
        brush = f;
    }
    BrushPtr owned(brush);
    GpStringFormat* format = nullptr;
    EXPECT_EQ(GdipCreateStringFormat(0, LANG_NEUTRAL, &format), Ok);
    FormatPtr ownedFormat(format);
    EXPECT_EQ(GdipSetStringFormatAlign(format, l.align), Ok);
    if (l.dx != 0 || l.dy != 0) {
        EXPECT_EQ(GdipTranslateWorldTransform(s.graphics(), l.dx, l.dy, MatrixOrderAppend), Ok);
    }
    EXPECT_EQ(GdipSetTextRenderingHint(s.graphics(), l.hint), Ok);
    EXPECT_EQ(GdipDrawString(s.graphics(), l.text.c_str(), -1, font.get(), &l.rect, format, brush), Ok);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            pixels.push_back(s.At(x, y));
    return pixels;
}

// Enough other strings, in the same font, to push any one string out of a bounded cache.
void DrawManyOthers()
{
    moxtest::Section s(kW, kH);
    FontPtr font = MakeFont(L"DejaVu Sans", 12, FontStyleRegular);
    GpSolidFill* brush = nullptr;
    EXPECT_EQ(GdipCreateSolidFill(0xFF000000, &brush), Ok);
    BrushPtr owned(brush);
    for (int i = 0; i < 2500; ++i) {
        const std::wstring text = std::to_wstring(i * 7919);
        const RectF at(REAL(i % 7), REAL(i % 5), 0, 0);
        ASSERT_EQ(GdipDrawString(s.graphics(), text.c_str(), -1, font.get(), &at, nullptr, brush), Ok);
    }
}

std::size_t Inked(const std::vector<std::uint32_t>& pixels)
{
    std::size_t n = 0;
    for (std::uint32_t p : pixels)
        n += p != kGround;
    return n;
}

class TextRepeat : public ::testing::Test {
protected:
    void SetUp() override { moxcanvas::StartGdiplus(); }
};

TEST_F(TextRepeat, AStringDrawnAgainOrAfterBeingPushedOutHasTheSamePixels)
{
    const Label label;
    const auto first = Draw(label);
    ASSERT_GT(Inked(first), 100u);
    EXPECT_EQ(Draw(label), first);
    DrawManyOthers();
    EXPECT_EQ(Draw(label), first);
}

// A draw right after the same string was drawn under other settings equals that draw made with
// nothing kept from before: no setting may be left out of what identifies a string's pixels.
// Where a setting is known to change the pixels, the two draws must differ too, or the case
// would prove nothing. (The stand-in draws text without the world transform and the rendering
// hint so far; Windows applies both, MSDN Graphics::DrawString and SetTextRenderingHint, so
// those rows check only that no earlier draw is handed back.)
TEST_F(TextRepeat, ADrawUnderOtherSettingsIsNotTheEarlierOne)
{
    const struct {
        const char* what;
        std::function<void(Label&)> change;
        bool changesPixels;
    } cases[] = {
        {"font family", [](Label& l) { l.family = L"DejaVu Serif"; }, true},
        {"size", [](Label& l) { l.size = 14; }, true},
        {"bold", [](Label& l) { l.style = FontStyleBold; }, true},
        {"colour", [](Label& l) { l.colour = 0xFFC02010; }, true},
        {"translucent colour", [](Label& l) { l.colour = 0x80101010; }, true},
        {"hatch brush", [](Label& l) { l.hatch = true; }, true},
        {"string", [](Label& l) { l.text = L"Score 00138"; }, true},
        {"three quarters of a pixel along", [](Label& l) { l.rect.X += 0.75f; }, true},
        {"a whole pixel down", [](Label& l) { l.rect.Y += 1; }, true},
        {"narrower box", [](Label& l) { l.rect.Width = 50; }, true},
        {"centred", [](Label& l) { l.align = StringAlignmentCenter; }, true},
        {"cut by the box's height", [](Label& l) { l.rect.Height = 9; }, true},
        {"transform", [](Label& l) { l.dx = 7, l.dy = 3; }, false},
        {"rendering hint", [](Label& l) { l.hint = TextRenderingHintSingleBitPerPixelGridFit; }, false},
    };
    const Label base;
    for (const auto& c : cases) {
        Label changed = base;
        c.change(changed);
        DrawManyOthers();
        const auto fresh = Draw(changed);
        DrawManyOthers();
        const auto before = Draw(base);
        if (c.changesPixels) {
            EXPECT_NE(fresh, before) << c.what;
        }
        EXPECT_EQ(Draw(changed), fresh) << c.what;
    }
}

} // namespace
