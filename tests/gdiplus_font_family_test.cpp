// GDI+ font families: one object per family however it is reached, the names read back, the
// installed collection, and what a font tells of its family and unit. Written against the flat
// API alone, so that the Windows build checks the same against real GDI+.
#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

std::wstring NameOf(GpFontFamily* family)
{
    WCHAR name[LF_FACESIZE] = {};
    EXPECT_EQ(GdipGetFamilyName(family, name, LANG_NEUTRAL), Ok);
    return name;
}

} // namespace

// Windows: asking for a family again, cloning it and asking a font for its family all give the
// same object, which reads back the name it was asked by; deleting it leaves it usable
// (gdiplus tests/font.c test_createfont, test_fontfamily). A font keeps the unit it was made in.
TEST(GdiplusFontFamily, OneObjectPerFamily)
{
    GpFontFamily *first = nullptr, *second = nullptr, *clone = nullptr, *ofFont = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(L"Arial", nullptr, &first), Ok);
    ASSERT_EQ(GdipCreateFontFamilyFromName(L"Arial", nullptr, &second), Ok);
    EXPECT_EQ(first, second);
    ASSERT_EQ(GdipCloneFontFamily(first, &clone), Ok);
    EXPECT_EQ(clone, first);
    EXPECT_EQ(NameOf(first), L"Arial");
    EXPECT_EQ(GdipGetFamilyName(first, nullptr, LANG_NEUTRAL), Ok);
    EXPECT_EQ(GdipGetFamilyName(nullptr, nullptr, LANG_NEUTRAL), InvalidParameter);

    for (Unit unit : {UnitWorld, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter}) {
        GpFont* font = nullptr;
        ASSERT_EQ(GdipCreateFont(first, 12, FontStyleRegular, unit, &font), Ok);
        Unit got = UnitDisplay;
        EXPECT_EQ(GdipGetFontUnit(font, &got), Ok);
        EXPECT_EQ(got, unit);
        ASSERT_EQ(GdipGetFamily(font, &ofFont), Ok);
        EXPECT_EQ(ofFont, first);
        GdipDeleteFont(font);
    }
    EXPECT_EQ(GdipDeleteFontFamily(second), Ok);
    EXPECT_EQ(NameOf(first), L"Arial"); // still there
    GdipDeleteFontFamily(clone);
    GdipDeleteFontFamily(first);
}

// Windows: the installed collection lists at least one family, hands out the same objects on
// every call, and refuses a missing list or count (font.c test_GdipGetFontCollectionFamilyList,
// test_GdipGetFontCollectionFamilyCount). Its families can make fonts.
TEST(GdiplusFontFamily, InstalledCollectionListsSharedFamilies)
{
    GpFontCollection* collection = nullptr;
    EXPECT_EQ(GdipNewInstalledFontCollection(nullptr), InvalidParameter);
    ASSERT_EQ(GdipNewInstalledFontCollection(&collection), Ok);
    INT count = 0;
    ASSERT_EQ(GdipGetFontCollectionFamilyCount(collection, &count), Ok);
    ASSERT_GT(count, 0);
    INT found = 123;
    EXPECT_EQ(GdipGetFontCollectionFamilyList(collection, 1, nullptr, &found), InvalidParameter);
    EXPECT_EQ(found, 123);

    std::vector<GpFontFamily*> list(std::size_t(count) + 1);
    std::vector<GpFontFamily*> again(static_cast<std::size_t>(count));
    ASSERT_EQ(GdipGetFontCollectionFamilyList(collection, count + 1, list.data(), &found), Ok);
    EXPECT_EQ(found, count);
    ASSERT_EQ(GdipGetFontCollectionFamilyList(collection, count, again.data(), &found), Ok);
    for (INT i = 0; i < count; ++i) {
        EXPECT_EQ(again[std::size_t(i)], list[std::size_t(i)]) << i;
        EXPECT_FALSE(NameOf(list[std::size_t(i)]).empty()) << i;
    }
    GpFont* font = nullptr;
    EXPECT_EQ(GdipCreateFont(list[0], 10, FontStyleRegular, UnitPixel, &font), Ok);
    GdipDeleteFont(font);
}

// Windows: the generic sans-serif, serif and monospace families are three different families
// (font.c test_getgenerics).
TEST(GdiplusFontFamily, GenericFamiliesDiffer)
{
    GpFontFamily *sans = nullptr, *serif = nullptr, *mono = nullptr;
    ASSERT_EQ(GdipGetGenericFontFamilySansSerif(&sans), Ok);
    ASSERT_EQ(GdipGetGenericFontFamilySerif(&serif), Ok);
    ASSERT_EQ(GdipGetGenericFontFamilyMonospace(&mono), Ok);
    EXPECT_NE(NameOf(sans), NameOf(serif));
    EXPECT_NE(NameOf(sans), NameOf(mono));
    EXPECT_NE(NameOf(serif), NameOf(mono));
    EXPECT_EQ(GdipGetGenericFontFamilySerif(nullptr), InvalidParameter);
}

// Windows: the interface faces every Windows installs are found, and read back by their own
// names; the bitmap-only faces are not (gdiplus tests/font.c test_createfont, test_fontfamily).
TEST(GdiplusFontFamily, WindowsInterfaceFacesAreFoundBitmapFacesAreNot)
{
    struct Case {
        const WCHAR* name;
        Status status;
    } cases[] = {{L"Tahoma", Ok}, {L"Microsoft Sans Serif", Ok}, {L"MS Sans Serif", FontFamilyNotFound},
                 {L"ThisFontShouldNotExist", FontFamilyNotFound}};
    for (const Case& c : cases) {
        GpFontFamily* family = nullptr;
        EXPECT_EQ(GdipCreateFontFamilyFromName(c.name, nullptr, &family), c.status) << c.name;
        if (family) {
            EXPECT_EQ(NameOf(family), std::wstring(c.name));
            GdipDeleteFontFamily(family);
        }
    }
}
