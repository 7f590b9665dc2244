// Font families, fonts, string formats and GdipDrawString: where the ink lands (at a point, in a
// box, aligned, wrapped, clipped), its colour, sizes in points at 96 DPI, styles, and refusals.
// Checks are about pixels and their extent, never about glyph shapes.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "canvas_support.h"
#include "gdiplus_image_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

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

FontPtr MakeFont(const wchar_t* family, REAL size, INT style = FontStyleRegular, Unit unit = UnitPoint)
{
    GpFontFamily* fam = nullptr;
    EXPECT_EQ(GdipCreateFontFamilyFromName(family, nullptr, &fam), Ok);
    GpFont* font = nullptr;
    EXPECT_EQ(GdipCreateFont(fam, size, style, unit, &font), Ok);
    GdipDeleteFontFamily(fam);
    return FontPtr(font);
}

BrushPtr Solid(ARGB colour)
{
    GpSolidFill* brush = nullptr;
    EXPECT_EQ(GdipCreateSolidFill(colour, &brush), Ok);
    return BrushPtr(brush);
}

FormatPtr Format(StringAlignment align)
{
    GpStringFormat* format = nullptr;
    EXPECT_EQ(GdipCreateStringFormat(0, LANG_NEUTRAL, &format), Ok);
    EXPECT_EQ(GdipSetStringFormatAlign(format, align), Ok);
    return FormatPtr(format);
}

// The pixels that differ from the background: how many, and their bounding box [x0, x1) x [y0, y1).
struct Ink {
    int count = 0;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
};

Ink InkOf(const moxtest::Section& s, std::uint32_t background = kWhite)
{
    Ink ink;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.At(x, y) != background) {
                ++ink.count;
                ink.x0 = std::min(ink.x0, x);
                ink.y0 = std::min(ink.y0, y);
                ink.x1 = std::max(ink.x1, x + 1);
                ink.y1 = std::max(ink.y1, y + 1);
            }
    return ink;
}

class Text : public ::testing::Test {
protected:
    void SetUp() override
    {
        moxcanvas::StartGdiplus();
        font_ = MakeFont(L"DejaVu Sans", 12);
        black_ = Solid(0xFF000000);
    }

    // Draws into a fresh white section and returns its ink.
    Ink Draw(const wchar_t* text, RectF rect, const GpStringFormat* format = nullptr, int width = 240, int height = 120,
             INT length = -1, const GpFont* font = nullptr, const GpBrush* brush = nullptr)
    {
        moxtest::Section s(width, height);
        s.Fill(kWhite);
        EXPECT_EQ(GdipDrawString(s.graphics(), text, length, font ? font : font_.get(), &rect, format,
                                 brush ? brush : black_.get()),
                  Ok);
        return InkOf(s);
    }

    FontPtr font_;
    BrushPtr black_;
};

} // namespace

TEST_F(Text, AtAPointTheTextStartsThereUnwrappedAndUnclipped)
{
    const Ink ink = Draw(L"Hello, world", RectF(20, 10, 0, 0));
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.x0, 22); // past the line's padding, 16 / 6 pixels
    EXPECT_LE(ink.x0, 26);
    EXPECT_GE(ink.y0, 10);
    EXPECT_LE(ink.y1, 10 + 20);
    EXPECT_GT(ink.Width(), 60); // one line, not wrapped at a zero width

    // Text that starts left of and above the surface still shows its visible part.
    const Ink clipped = Draw(L"Hello, world", RectF(-30, -5, 0, 0));
    EXPECT_GT(clipped.count, 0);
    EXPECT_EQ(clipped.x0, 0);
    EXPECT_EQ(clipped.y0, 0);
}

TEST_F(Text, InABoxInkStaysInsideTheBox)
{
    // Text outside the layout rectangle is clipped unless StringFormatFlagsNoClip is set
    // (Microsoft's StringFormatFlags documentation).
    const RectF box(30, 20, 70, 28);
    const Ink ink = Draw(L"A line of text far too long to fit in this little box at all", box);
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.x0, 30);
    EXPECT_LE(ink.x1, 100);
    EXPECT_GE(ink.y0, 20);
    EXPECT_EQ(ink.y1, 48); // the second line shows, cut at the box's bottom
}

TEST_F(Text, AlignmentPlacesEachLineInTheBox)
{
    const RectF box(10, 10, 200, 40);
    FormatPtr nearSide = Format(StringAlignmentNear), centre = Format(StringAlignmentCenter),
              farSide = Format(StringAlignmentFar);
    const Ink left = Draw(L"Middle", box, nearSide.get());
    const Ink middle = Draw(L"Middle", box, centre.get());
    const Ink right = Draw(L"Middle", box, farSide.get());
    // Lines are padded by a sixth of an em at both ends, 16 / 6 pixels here.
    EXPECT_LE(std::abs(left.x0 - 13), 2);
    EXPECT_LE(std::abs((middle.x0 + middle.x1) - (10 + 210)), 4); // centred within about a pixel
    EXPECT_LE(std::abs(right.x1 - 207), 3);
    EXPECT_EQ(left.Width(), middle.Width());
    EXPECT_EQ(left.Width(), right.Width());
    // Top-aligned whatever the horizontal alignment.
    EXPECT_EQ(left.y0, middle.y0);
    EXPECT_EQ(left.y0, right.y0);
    EXPECT_LE(left.y0, 10 + 6);

    // With no width to align in, centre and far alignment hang the line around the x given.
    const Ink hungCentre = Draw(L"Middle", RectF(120, 10, 0, 0), centre.get());
    const Ink hungFar = Draw(L"Middle", RectF(120, 10, 0, 0), farSide.get());
    EXPECT_LE(std::abs((hungCentre.x0 + hungCentre.x1) - 240), 4);
    EXPECT_LE(std::abs(hungFar.x1 - 117), 3);

    StringAlignment got = StringAlignmentNear;
    EXPECT_EQ(GdipGetStringFormatAlign(farSide.get(), &got), Ok);
    EXPECT_EQ(got, StringAlignmentFar);
}

TEST_F(Text, LinesArePaddedBySixthOfAnEmAtTheNearAndFarEnds)
{
    // GDI+'s default string format (anything but GenericTypographic) keeps a sixth of the em
    // size clear at both ends of each line; Wine's gdiplus (GdipDrawString, GdipMeasureString)
    // does the same, and its probe against this library showed text starting about 3 pixels
    // further right at 12 points and 5 at 24. Centred text is unaffected, so the padding is
    // measured against it, the glyphs' own side bearings cancelling: with `half` the shift of a
    // centred line when its text is doubled (half its advance), the padding is
    //   near at a point:  near.x0 - centre.x0 - half
    //   far at a point:   centre.x0 - far.x0 - half
    //   near in a box:    near.x0 - centre.x0 + width / 2 - half
    //   far in a box:     centre.x0 - far.x0 + width / 2 - half
    const REAL boxX = 20, boxWidth = 300;
    FormatPtr nearSide = Format(StringAlignmentNear), centre = Format(StringAlignmentCenter),
              farSide = Format(StringAlignmentFar);
    for (REAL points : {12.0f, 24.0f}) {
        SCOPED_TRACE(testing::Message() << points << " pt");
        const FontPtr font = MakeFont(L"DejaVu Sans", points);
        const double expected = points * 96 / 72 / 6;
        auto x0 = [&](const wchar_t* text, RectF rect, const GpStringFormat* format) {
            return Draw(text, rect, format, 400, 80, -1, font.get()).x0;
        };
        for (bool inBox : {false, true}) {
            SCOPED_TRACE(inBox ? "in a box" : "at a point");
            const RectF rect = inBox ? RectF(boxX, 10, boxWidth, 60) : RectF(200, 10, 0, 0);
            const double half = x0(L"Middle", rect, centre.get()) - x0(L"MiddleMiddle", rect, centre.get());
            const double slack = inBox ? boxWidth / 2 : 0;
            const int middle = x0(L"Middle", rect, centre.get());
            EXPECT_NEAR(x0(L"Middle", rect, nearSide.get()) - middle + slack - half, expected, 1.5);
            EXPECT_NEAR(middle - x0(L"Middle", rect, farSide.get()) + slack - half, expected, 1.5);
        }
    }
    // A box no wider than its two paddings has no room for a line (as in Wine's gdiplus).
    EXPECT_EQ(Draw(L"M", RectF(10, 10, 5, 40)).count, 0);
    EXPECT_GT(Draw(L"M", RectF(10, 10, 6, 40)).count, 0);
}

TEST_F(Text, NarrowBoxesWrapAtWordsIntoSeveralLines)
{
    const wchar_t* words = L"one two three four five six";
    const Ink wide = Draw(words, RectF(0, 0, 240, 120));
    const Ink narrow = Draw(words, RectF(0, 0, 60, 120));
    ASSERT_GT(wide.count, 0);
    EXPECT_LT(wide.Height(), 20);
    EXPECT_GT(narrow.Height(), 3 * wide.Height());
    EXPECT_LE(narrow.x1, 60);
    // The words are all still there, on more lines.
    EXPECT_NEAR(narrow.count, wide.count, wide.count / 10);
}

TEST_F(Text, InkIsTheBrushColourBlendedByCoverage)
{
    BrushPtr red = Solid(0xFFFF0000);
    moxtest::Section s(120, 30);
    s.Fill(kWhite);
    const RectF at(2, 2, 0, 0);
    ASSERT_EQ(GdipDrawString(s.graphics(), L"Illumination", -1, font_.get(), &at, nullptr, red.get()), Ok);
    int full = 0, partial = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            const std::uint32_t p = s.At(x, y);
            if (p == kWhite)
                continue;
            EXPECT_EQ(p >> 16, 0xFFu);            // red stays full
            EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF); // green and blue fade together
            (p == 0xFF0000 ? full : partial) += 1;
        }
    EXPECT_GT(full, 10);
    EXPECT_GT(partial, 10); // anti-aliased edges

    // A transparent brush draws nothing; a half-transparent one never reaches full colour.
    EXPECT_EQ(Draw(L"Illumination", at, nullptr, 120, 30, -1, nullptr, Solid(0x00FF0000).get()).count, 0);
    moxtest::Section h(120, 30);
    h.Fill(kWhite);
    BrushPtr half = Solid(0x80000000);
    GdipDrawString(h.graphics(), L"Illumination", -1, font_.get(), &at, nullptr, half.get());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            EXPECT_GE(int(h.At(x, y) & 0xFF), 126) << x << "," << y;
}

TEST_F(Text, SizesArePointsAtNinetySixDpi)
{
    const RectF at(4, 4, 0, 0);
    FontPtr points24 = MakeFont(L"DejaVu Sans", 24);
    FontPtr pixels16 = MakeFont(L"DejaVu Sans", 16, FontStyleRegular, UnitPixel);
    const Ink twelve = Draw(L"HHHH", at, nullptr, 240, 60, -1, font_.get());
    const Ink sixteenPixels = Draw(L"HHHH", at, nullptr, 240, 60, -1, pixels16.get());
    const Ink twentyFour = Draw(L"HHHH", at, nullptr, 240, 60, -1, points24.get());
    EXPECT_EQ(twelve.Height(), sixteenPixels.Height());
    EXPECT_EQ(twelve.Width(), sixteenPixels.Width());
    EXPECT_NEAR(twentyFour.Width(), 2 * twelve.Width(), 3);
    // The capital height of this family is about 0.73 em: 12 pt = 16 px gives 11 or 12.
    EXPECT_NEAR(twelve.Height(), 12, 1);

    REAL size = 0;
    INT style = -1;
    EXPECT_EQ(GdipGetFontSize(font_.get(), &size), Ok);
    EXPECT_EQ(GdipGetFontStyle(font_.get(), &style), Ok);
    EXPECT_EQ(size, 12.0f);
    EXPECT_EQ(style, FontStyleRegular);
}

TEST_F(Text, StylesChangeTheInk)
{
    const RectF at(4, 4, 0, 0);
    auto inkWith = [&](INT style) {
        FontPtr font = MakeFont(L"DejaVu Sans", 12, style);
        return Draw(L"Tested hat", at, nullptr, 240, 60, -1, font.get());
    };
    const Ink regular = inkWith(FontStyleRegular);
    const Ink bold = inkWith(FontStyleBold);
    const Ink italic = inkWith(FontStyleItalic);
    const Ink underline = inkWith(FontStyleUnderline);
    const Ink strikeout = inkWith(FontStyleStrikeout);
    EXPECT_GT(bold.count, regular.count * 11 / 10);
    EXPECT_NE(italic.x1, regular.x1);
    EXPECT_GT(underline.y1, regular.y1);       // a rule below the baseline
    EXPECT_GT(strikeout.count, regular.count); // a rule through the letters
    EXPECT_EQ(strikeout.y1, regular.y1);
}

TEST_F(Text, LengthCountsWideCharactersAndMinusOneMeansToTheNull)
{
    const RectF at(4, 4, 0, 0);
    const Ink all = Draw(L"Hello", at, nullptr, 240, 60, -1);
    const Ink five = Draw(L"Hello", at, nullptr, 240, 60, 5);
    const Ink two = Draw(L"Hello", at, nullptr, 240, 60, 2);
    EXPECT_EQ(all.count, five.count);
    EXPECT_LT(two.x1, all.x1 - 15);
    EXPECT_EQ(Draw(L"", at).count, 0);
    EXPECT_EQ(Draw(L"Hello", at, nullptr, 240, 60, 0).count, 0);

    // Characters beyond Unicode or lone surrogates are drawn as replacements, not misread.
    const wchar_t odd[] = {L'A', wchar_t(0xD800), wchar_t(0x7FFFFFFF), L'B', 0};
    EXPECT_GT(Draw(odd, at).count, 0);
}

TEST_F(Text, FamiliesAreFoundByNameOrMetricCompatibleAlias)
{
    for (const wchar_t* name :
         {L"DejaVu Sans", L"dejavu serif", L"Liberation Mono", L"Arial", L"Times New Roman", L"Courier New"}) {
        GpFontFamily* family = nullptr;
        EXPECT_EQ(GdipCreateFontFamilyFromName(name, nullptr, &family), Ok) << name;
        EXPECT_NE(family, nullptr);
        GdipDeleteFontFamily(family);
    }
    // Arial is drawn with its metric twin, not with whatever fallback fontconfig would pick.
    const RectF at(4, 4, 0, 0);
    FontPtr arial = MakeFont(L"Arial", 12), liberation = MakeFont(L"Liberation Sans", 12);
    EXPECT_EQ(Draw(L"Metrics", at, nullptr, 240, 60, -1, arial.get()).Width(),
              Draw(L"Metrics", at, nullptr, 240, 60, -1, liberation.get()).Width());
}

TEST_F(Text, UnknownFamiliesFailAndDrawNothing)
{
    // No half-made object comes back (whether a failure clears the caller's pointer is not
    // documented: the stand-in does, Wine's gdiplus leaves it alone).
    for (const wchar_t* name : {L"No Such Family Anywhere", L"Helvetica Imaginary", L"sans-serif", L""}) {
        GpFontFamily* family = nullptr;
        EXPECT_EQ(GdipCreateFontFamilyFromName(name, nullptr, &family), FontFamilyNotFound) << name;
        EXPECT_EQ(family, nullptr);
    }
    GpFont* font = nullptr;
    EXPECT_EQ(GdipCreateFont(nullptr, 12, FontStyleRegular, UnitPoint, &font), InvalidParameter);
    EXPECT_EQ(font, nullptr);

    moxtest::Section s(60, 30);
    s.Fill(kWhite);
    const RectF at(2, 2, 0, 0);
    EXPECT_EQ(GdipDrawString(s.graphics(), L"Nothing", -1, nullptr, &at, nullptr, black_.get()), InvalidParameter);
    EXPECT_EQ(InkOf(s).count, 0);
}

TEST_F(Text, BadArgumentsAreRefused)
{
    moxtest::Section s(60, 30);
    s.Fill(kWhite);
    const RectF at(2, 2, 0, 0);
    GpGraphics* g = s.graphics();
    EXPECT_EQ(GdipDrawString(nullptr, L"x", -1, font_.get(), &at, nullptr, black_.get()), InvalidParameter);
    EXPECT_EQ(GdipDrawString(g, nullptr, -1, font_.get(), &at, nullptr, black_.get()), InvalidParameter);
    EXPECT_EQ(GdipDrawString(g, L"x", -1, font_.get(), nullptr, nullptr, black_.get()), InvalidParameter);
    EXPECT_EQ(GdipDrawString(g, L"x", -1, font_.get(), &at, nullptr, nullptr), InvalidParameter);
    const RectF farAway(1e30f, -1e30f, 5, 5);
    EXPECT_EQ(GdipDrawString(g, L"x", -1, font_.get(), &farAway, nullptr, black_.get()), Ok);
    EXPECT_EQ(InkOf(s).count, 0);
}

// What the stand-in refuses where Microsoft's documentation says nothing (Wine's gdiplus takes
// all of it): lengths below -1, coordinates that are not numbers, font sizes that are not a
// size, UnitDisplay for a font (which Wine's font conformance test leaves out as it crashed
// Windows XP) and alignments beyond far.
TEST_F(Text, StandInRefusesWhatItCannotLayOut)
{
    moxtest::Section s(60, 30);
    s.Fill(kWhite);
    const RectF at(2, 2, 0, 0);
    GpGraphics* g = s.graphics();
    EXPECT_EQ(GdipDrawString(g, L"x", -2, font_.get(), &at, nullptr, black_.get()), InvalidParameter);
    const RectF nan(NAN, 2, 0, 0);
    EXPECT_EQ(GdipDrawString(g, L"x", -1, font_.get(), &nan, nullptr, black_.get()), InvalidParameter);
    EXPECT_EQ(InkOf(s).count, 0);

    GpFontFamily* family = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(L"DejaVu Sans", nullptr, &family), Ok);
    GpFont* font = nullptr;
    EXPECT_EQ(GdipCreateFont(family, 0, FontStyleRegular, UnitPoint, &font), InvalidParameter);
    EXPECT_EQ(GdipCreateFont(family, -3, FontStyleRegular, UnitPoint, &font), InvalidParameter);
    EXPECT_EQ(GdipCreateFont(family, NAN, FontStyleRegular, UnitPoint, &font), InvalidParameter);
    EXPECT_EQ(GdipCreateFont(family, 12, FontStyleRegular, UnitDisplay, &font), InvalidParameter);
    EXPECT_EQ(font, nullptr);
    GdipDeleteFontFamily(family);

    GpStringFormat* format = nullptr;
    ASSERT_EQ(GdipCreateStringFormat(0, LANG_NEUTRAL, &format), Ok);
    EXPECT_EQ(GdipSetStringFormatAlign(format, StringAlignment(3)), InvalidParameter);
    GdipDeleteStringFormat(format);
}

TEST_F(Text, RedrawingATextGivesTheSamePixelsWhateverCameBetween)
{
    // Fonts keep the layouts of recent texts; what was drawn before must never show through.
    const std::wstring label = L"Same label", longText(300, L'w');
    auto pixels = [](const GpFont* font, const std::wstring& text, RectF rect, const GpStringFormat* format) {
        moxtest::Section s(200, 200);
        s.Fill(kWhite);
        BrushPtr black = Solid(0xFF000000);
        EXPECT_EQ(GdipDrawString(s.graphics(), text.c_str(), -1, font, &rect, format, black.get()), Ok);
        std::vector<std::uint32_t> out;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                out.push_back(s.At(x, y));
        return out;
    };
    const RectF at(3, 3, 0, 0), box(3, 3, 60, 150);
    FontPtr fresh = MakeFont(L"DejaVu Sans", 10), used = MakeFont(L"DejaVu Sans", 10);
    FormatPtr centre = Format(StringAlignmentCenter);
    const auto wanted = pixels(fresh.get(), label, at, nullptr);
    const auto wantedLong = pixels(fresh.get(), longText, box, nullptr);

    pixels(used.get(), label, box, centre.get()); // wrapped and centred first
    for (int i = 0; i < 100; ++i)
        pixels(used.get(), L"Filler " + std::to_wstring(i), box, centre.get());
    pixels(used.get(), std::wstring(290, L'm'), at, nullptr);
    EXPECT_EQ(pixels(used.get(), label, at, nullptr), wanted);
    EXPECT_EQ(pixels(used.get(), longText, box, nullptr), wantedLong);
    EXPECT_EQ(pixels(used.get(), label, at, nullptr), wanted);
}

TEST_F(Text, HugeFontsAreHarmless)
{
    GpFontFamily* family = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(L"DejaVu Sans", nullptr, &family), Ok);
    GpFont* font = nullptr;
    ASSERT_EQ(GdipCreateFont(family, 1e9f, FontStyleRegular, UnitPoint, &font), Ok);
    GdipDeleteFontFamily(family);
    moxtest::Section s(40, 40);
    s.Fill(kWhite);
    const RectF at(0, 0, 0, 0);
    EXPECT_EQ(GdipDrawString(s.graphics(), L"W", -1, font, &at, nullptr, black_.get()), Ok);
    REAL size = 0;
    GdipGetFontSize(font, &size);
    EXPECT_EQ(size, 1e9f);
    GdipDeleteFont(font);
}
