// GDI+ string formats: what a new format and the two generic ones hold, how the generic ones
// are shared, the refusals of the setters, and the effect of the typographic format and of line
// alignment on measured text. Written against the flat API alone, so that the Windows build
// checks the same against real GDI+.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct FormatState {
    INT flags;
    StringAlignment lineAlign;
    StringTrimming trimming;
    INT hotkey;
    LANGID digitLanguage;
    StringDigitSubstitute digits;
    INT tabCount;
};

FormatState Read(GpStringFormat* format)
{
    FormatState s{};
    EXPECT_EQ(GdipGetStringFormatFlags(format, &s.flags), Ok);
    EXPECT_EQ(GdipGetStringFormatLineAlign(format, &s.lineAlign), Ok);
    EXPECT_EQ(GdipGetStringFormatTrimming(format, &s.trimming), Ok);
    EXPECT_EQ(GdipGetStringFormatHotkeyPrefix(format, &s.hotkey), Ok);
    EXPECT_EQ(GdipGetStringFormatDigitSubstitution(format, &s.digitLanguage, &s.digits), Ok);
    EXPECT_EQ(GdipGetStringFormatTabStopCount(format, &s.tabCount), Ok);
    return s;
}

void ExpectState(const FormatState& got, const FormatState& want, const char* which)
{
    EXPECT_EQ(got.flags, want.flags) << which;
    EXPECT_EQ(got.lineAlign, want.lineAlign) << which;
    EXPECT_EQ(got.trimming, want.trimming) << which;
    EXPECT_EQ(got.hotkey, want.hotkey) << which;
    EXPECT_EQ(got.digitLanguage, want.digitLanguage) << which;
    EXPECT_EQ(got.digits, want.digits) << which;
    EXPECT_EQ(got.tabCount, want.tabCount) << which;
}

} // namespace

// Windows: a new format trims by character and substitutes digits by the user's setting with a
// neutral language whatever language it was made for; the typographic one adds NoFitBlackBox,
// LineLimit and NoClip and trims nothing (gdiplus tests/stringformat.c test_constructor,
// test_getgenerictypographic, test_getgenericdefault).
TEST(GdiplusStringFormat, NewAndGenericFormatsStartAsWindowsMakesThem)
{
    GpStringFormat* made = nullptr;
    ASSERT_EQ(GdipCreateStringFormat(0, LANG_RUSSIAN, &made), Ok);
    GpStringFormat* generic = nullptr;
    ASSERT_EQ(GdipStringFormatGetGenericDefault(&generic), Ok);
    GpStringFormat* typographic = nullptr;
    ASSERT_EQ(GdipStringFormatGetGenericTypographic(&typographic), Ok);

    const FormatState plain{0, StringAlignmentNear, StringTrimmingCharacter, HotkeyPrefixNone, LANG_NEUTRAL,
                            StringDigitSubstituteUser, 0};
    const FormatState typo{StringFormatFlagsNoFitBlackBox | StringFormatFlagsLineLimit | StringFormatFlagsNoClip,
                           StringAlignmentNear,
                           StringTrimmingNone,
                           HotkeyPrefixNone,
                           LANG_NEUTRAL,
                           StringDigitSubstituteUser,
                           0};
    ExpectState(Read(made), plain, "created");
    ExpectState(Read(generic), plain, "generic default");
    ExpectState(Read(typographic), typo, "generic typographic");
    GdipDeleteStringFormat(made);
    GdipDeleteStringFormat(generic);
    GdipDeleteStringFormat(typographic);
}

// Windows: every request for a generic format gives the same object; deleting it leaves it
// usable and a change made through it is seen by the next request (stringformat.c
// test_getgenericdefault). A clone is a format of its own.
TEST(GdiplusStringFormat, GenericFormatsAreSharedAndOutliveDeletion)
{
    for (bool typographic : {false, true}) {
        auto get = typographic ? GdipStringFormatGetGenericTypographic : GdipStringFormatGetGenericDefault;
        GpStringFormat *first = nullptr, *second = nullptr;
        ASSERT_EQ(get(&first), Ok);
        ASSERT_EQ(get(&second), Ok);
        EXPECT_EQ(first, second);
        INT before = 0;
        GdipGetStringFormatFlags(first, &before);
        EXPECT_EQ(GdipDeleteStringFormat(second), Ok);
        EXPECT_EQ(GdipSetStringFormatFlags(first, StringFormatFlagsNoWrap), Ok);

        GpStringFormat* clone = nullptr;
        ASSERT_EQ(GdipCloneStringFormat(first, &clone), Ok);
        EXPECT_NE(clone, first);
        EXPECT_EQ(GdipSetStringFormatFlags(clone, 0), Ok);
        EXPECT_EQ(GdipDeleteStringFormat(clone), Ok);

        GpStringFormat* again = nullptr;
        ASSERT_EQ(get(&again), Ok);
        INT flags = 0;
        EXPECT_EQ(GdipGetStringFormatFlags(again, &flags), Ok);
        EXPECT_EQ(flags, StringFormatFlagsNoWrap) << typographic;
        GdipSetStringFormatFlags(again, before); // other tests see the generic formats too
    }
    EXPECT_EQ(GdipStringFormatGetGenericDefault(nullptr), InvalidParameter);
}

// Windows: a count of zero or less is accepted and changes nothing; a negative first offset is
// refused with NotImplemented only when stops follow it; reading copies at most the count asked
// for (stringformat.c test_tabstops). Out-of-range enumerations are refused (MSDN
// StringFormat::SetLineAlignment, SetTrimming, SetHotkeyPrefix).
TEST(GdiplusStringFormat, SettersKeepOrRefuseAsWindowsDoes)
{
    GpStringFormat* format = nullptr;
    ASSERT_EQ(GdipCreateStringFormat(0, LANG_NEUTRAL, &format), Ok);
    const REAL stops[3] = {4, 10, 2};
    struct TabCase {
        REAL first;
        INT count;
        Status status;
        INT countAfter;
        REAL firstAfter;
    } tabCases[] = {
        {0, -1, Ok, 0, 0},  {-10, 0, Ok, 0, 0},    {-10, 1, NotImplemented, 0, 0},
        {8, 3, Ok, 3, 8},   {5, 0, Ok, 3, 8},      {2, 2, Ok, 2, 2},
    };
    for (const TabCase& c : tabCases) {
        EXPECT_EQ(GdipSetStringFormatTabStops(format, c.first, c.count, stops), c.status) << c.first << " " << c.count;
        INT count = -1;
        GdipGetStringFormatTabStopCount(format, &count);
        EXPECT_EQ(count, c.countAfter) << c.first << " " << c.count;
        REAL first = -1, read[3] = {-1, -1, -1};
        EXPECT_EQ(GdipGetStringFormatTabStops(format, 1, &first, read), Ok);
        EXPECT_EQ(first, c.firstAfter);
        EXPECT_EQ(read[0], c.countAfter ? stops[0] : -1);
        EXPECT_EQ(read[1], -1); // one stop asked for, one written
    }
    EXPECT_EQ(GdipSetStringFormatTabStops(format, 0, 0, nullptr), InvalidParameter);

    EXPECT_EQ(GdipSetStringFormatLineAlign(format, StringAlignment(3)), InvalidParameter);
    EXPECT_EQ(GdipSetStringFormatTrimming(format, StringTrimming(6)), InvalidParameter);
    EXPECT_EQ(GdipSetStringFormatHotkeyPrefix(format, 3), InvalidParameter);
    EXPECT_EQ(GdipSetStringFormatLineAlign(format, StringAlignmentFar), Ok);
    EXPECT_EQ(GdipSetStringFormatTrimming(format, StringTrimmingEllipsisWord), Ok);
    EXPECT_EQ(GdipSetStringFormatHotkeyPrefix(format, HotkeyPrefixShow), Ok);
    const FormatState s = Read(format);
    EXPECT_EQ(s.lineAlign, StringAlignmentFar);
    EXPECT_EQ(s.trimming, StringTrimmingEllipsisWord);
    EXPECT_EQ(s.hotkey, HotkeyPrefixShow);

    CharacterRange ranges[2] = {CharacterRange(0, 1), CharacterRange(2, 3)};
    EXPECT_EQ(GdipSetStringFormatMeasurableCharacterRanges(format, 2, nullptr), InvalidParameter);
    EXPECT_EQ(GdipSetStringFormatMeasurableCharacterRanges(format, 2, ranges), Ok);
    INT rangeCount = 0;
    EXPECT_EQ(GdipGetStringFormatMeasurableCharacterRangeCount(format, &rangeCount), Ok);
    EXPECT_EQ(rangeCount, 2);
    GdipDeleteStringFormat(format);
}

// Windows: the typographic format lays lines out without the padding the other formats add at
// both ends, so the same text measures narrower with it; line alignment places the lines in the
// box's height: centred, or against its bottom (MSDN StringFormat::GenericTypographic,
// StringAlignment).
TEST(GdiplusStringFormat, TypographicFormatAndLineAlignmentShapeMeasuredText)
{
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(64, 64, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &graphics), Ok);
    GpFontFamily* family = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(L"Arial", nullptr, &family), Ok);
    GpFont* font = nullptr;
    ASSERT_EQ(GdipCreateFont(family, 20, FontStyleRegular, UnitPixel, &font), Ok);

    GpStringFormat *generic = nullptr, *typographic = nullptr, *format = nullptr;
    GdipStringFormatGetGenericDefault(&generic);
    GdipStringFormatGetGenericTypographic(&typographic);
    ASSERT_EQ(GdipCreateStringFormat(0, LANG_NEUTRAL, &format), Ok);
    const RectF point(10, 10, 0, 0);
    RectF padded, tight;
    ASSERT_EQ(GdipMeasureString(graphics, L"Mix", -1, font, &point, generic, &padded, nullptr, nullptr), Ok);
    ASSERT_EQ(GdipMeasureString(graphics, L"Mix", -1, font, &point, typographic, &tight, nullptr, nullptr), Ok);
    EXPECT_GT(padded.Width, tight.Width + 4); // a sixth of 20 pixels at each end
    EXPECT_EQ(tight.Height, padded.Height);

    const RectF box(0, 0, 200, 100);
    const StringAlignment aligns[] = {StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar};
    for (StringAlignment a : aligns) {
        GdipSetStringFormatLineAlign(format, a);
        RectF got;
        ASSERT_EQ(GdipMeasureString(graphics, L"Mix", -1, font, &box, format, &got, nullptr, nullptr), Ok);
        const REAL room = box.Height - got.Height;
        const REAL want = a == StringAlignmentNear ? 0 : a == StringAlignmentCenter ? room / 2 : room;
        EXPECT_NEAR(got.Y, want, 0.5) << a;
    }
    GdipDeleteStringFormat(format);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(bitmap);
}
