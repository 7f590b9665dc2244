// Sprite placement, size derivation, text conversion and the shared text brush.
#include <MoxImage2.h>

#include "test_support.h"
#include "tga_files.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

namespace {

class SpriteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CMoxGraphics starter;
        starter.GdiInit();
    }
};

void ExpectRect(const CMoxRect& r, int x, int y, int w, int h)
{
    EXPECT_EQ(r.X, x);
    EXPECT_EQ(r.Y, y);
    EXPECT_EQ(r.Width, w);
    EXPECT_EQ(r.Height, h);
}

Gdiplus::ARGB BrushColour(CMoxSprite& s)
{
    Gdiplus::Color c;
    if (!s.GetSolidBrush() || s.GetSolidBrush()->GetColor(&c) != Gdiplus::Ok)
        return 0;
    return c.GetValue();
}

TEST_F(SpriteTest, FreshSpriteIsChangedUnlistedOpaqueAndKindless)
{
    CMoxSprite s;
    EXPECT_EQ(s.IsZang(), 1);
    EXPECT_EQ(s.GetUpdate(), 0);
    EXPECT_EQ(s.GetAlpha(), 255);
    EXPECT_EQ(s.GetTga(), nullptr);
    EXPECT_EQ(s.GetBitmap(), nullptr);
    EXPECT_EQ(s.GetPen(), nullptr);
    EXPECT_EQ(s.GetBrush(), nullptr);
    EXPECT_EQ(s.GetColor(), nullptr);
    EXPECT_EQ(s.GetFont(), nullptr);
    EXPECT_EQ(s.GetSolidBrush(), nullptr);
    EXPECT_STREQ(s.GetStringA(), "");
    EXPECT_EQ(s.GetStringW()[0], 0);
    ExpectRect(*s.GetOldRect(), 0, 0, 0, 0);
    ExpectRect(*s.GetNewRect(), 0, 0, 0, 0);
}

TEST_F(SpriteTest, SetNewRectMovesOnlyOnChange)
{
    CMoxSpriteRect p;
    p.SetNewRect(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(p.IsZang(), 1);
    ExpectRect(*p.GetOldRect(), 0, 0, 0, 0);
    ExpectRect(*p.GetNewRect(), 1, 2, 3, 4);
    EXPECT_EQ(p.GetSrcX(), 5);
    EXPECT_EQ(p.GetSrcY(), 6);

    // The same values again clear the flag the first call set and keep the old rectangle.
    p.SetNewRect(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(p.IsZang(), 0);
    ExpectRect(*p.GetOldRect(), 0, 0, 0, 0);
    ExpectRect(*p.GetNewRect(), 1, 2, 3, 4);

    // Each field alone counts as a change.
    const int changes[6][6] = {{9, 2, 3, 4, 5, 6}, {9, 9, 3, 4, 5, 6}, {9, 9, 9, 4, 5, 6},
                               {9, 9, 9, 9, 5, 6}, {9, 9, 9, 9, 9, 6}, {9, 9, 9, 9, 9, 9}};
    for (const auto& c : changes) {
        p.SetNewRect(c[0], c[1], c[2], c[3], c[4], c[5]);
        EXPECT_EQ(p.IsZang(), 1) << c[0] << c[1] << c[2] << c[3] << c[4] << c[5];
    }
}

TEST_F(SpriteTest, SourceOffsetAloneCopiesNewIntoOld)
{
    CMoxSpriteRect p;
    p.SetNewRect(10, 20, 30, 40, 0, 0);
    p.SetNewRect(10, 20, 30, 40, 0, 0);
    ASSERT_EQ(p.IsZang(), 0);
    p.SetNewRect(10, 20, 30, 40, 7, 0);
    EXPECT_EQ(p.IsZang(), 1);
    ExpectRect(*p.GetOldRect(), 10, 20, 30, 40);
    ExpectRect(*p.GetNewRect(), 10, 20, 30, 40);
    EXPECT_EQ(p.GetSrcX(), 7);
}

TEST_F(SpriteTest, InitForgetsThePlacement)
{
    CMoxColor colour(1, 2, 3);
    CMoxSprite s;
    s.Init(&colour);
    EXPECT_EQ(s.IsZang(), 0) << "already at the zero placement";
    s.SetRect(5, 6, 7, 8, 0, 0, 100);
    s.Init(&colour);
    EXPECT_EQ(s.IsZang(), 1);
    ExpectRect(*s.GetOldRect(), 5, 6, 8, 9);
    ExpectRect(*s.GetNewRect(), 0, 0, 0, 0);
    EXPECT_EQ(s.GetAlpha(), 255);
    EXPECT_EQ(s.GetPenWidth(), 0);
    s.SetRect(1, 1, 1, 1, 0, 0, 255);
    ExpectRect(*s.GetOldRect(), 0, 0, 0, 0);
}

TEST_F(SpriteTest, EachInitLeavesExactlyOneReference)
{
    CMoxColor colour(1, 2, 3);
    CMoxPen pen(1, 2, 3, 1.0f, Gdiplus::DashStyleSolid);
    CMoxBrush brush(Gdiplus::HatchStyleCross, Gdiplus::Color(255, 0, 0), Gdiplus::Color(0, 0, 255));
    CMoxTga tga;
    CMoxBitmap bitmap;
    CMoxSprite s;
    s.Init(&pen, 1);
    s.Init(&colour);
    EXPECT_EQ(s.GetPen(), nullptr);
    EXPECT_EQ(s.GetColor(), &colour);
    s.Init(&brush);
    EXPECT_EQ(s.GetColor(), nullptr);
    EXPECT_EQ(s.GetBrush(), &brush);
    s.Init(&tga);
    EXPECT_EQ(s.GetBrush(), nullptr);
    EXPECT_EQ(s.GetTga(), &tga);
    s.Init(&bitmap);
    EXPECT_EQ(s.GetTga(), nullptr);
    EXPECT_EQ(s.GetBitmap(), &bitmap);
    s.Init(&pen, 0);
    EXPECT_EQ(s.GetBitmap(), nullptr);
    EXPECT_EQ(s.GetPen(), &pen);
    EXPECT_EQ(s.GetBox(), 0);

    // A null argument gives a sprite of no kind whose size is never derived.
    s.Init(static_cast<CMoxTga*>(nullptr));
    EXPECT_EQ(s.GetPen(), nullptr);
    s.SetRect(3, 4, 9);
    ExpectRect(*s.GetNewRect(), 3, 4, 0, 0);
}

TEST_F(SpriteTest, VectorSpritesClaimOnePixelMoreThanTheirGeometry)
{
    CMoxPen pen(0, 0, 0, 1.0f, Gdiplus::DashStyleSolid);
    CMoxSprite outline;
    outline.Init(&pen, 1);
    outline.SetRect(10, 20, 30, 40, 0, 0, 255);
    EXPECT_EQ(outline.GetBox(), 1);
    EXPECT_EQ(outline.GetPenX(), 10);
    EXPECT_EQ(outline.GetPenY(), 20);
    EXPECT_EQ(outline.GetPenWidth(), 30);
    EXPECT_EQ(outline.GetPenHeight(), 40);
    ExpectRect(*outline.GetNewRect(), 10, 20, 31, 41);

    // Negative deltas of a line are kept as geometry; the claim covers the line from its other
    // end, (45, 54) to (50, 60), with the same extra pixel right and below.
    CMoxSprite line;
    line.Init(&pen, 0);
    line.SetRect(50, 60, -5, -6, 0, 0, 255);
    EXPECT_EQ(line.GetPenX(), 50);
    EXPECT_EQ(line.GetPenWidth(), -5);
    EXPECT_EQ(line.GetPenHeight(), -6);
    ExpectRect(*line.GetNewRect(), 45, 54, 6, 7);
    // Extents past the int range are pinned, never wrapped into a negative size.
    line.SetRect(0, INT_MIN + 2, INT_MAX, -10, 0, 0, 255);
    ExpectRect(*line.GetNewRect(), 0, INT_MIN, INT_MAX, 11);

    CMoxColor colour(9, 9, 9);
    CMoxSprite fill;
    fill.Init(&colour);
    fill.SetRect(4, 5, 0, 0, 0, 0, 255);
    EXPECT_EQ(fill.GetPenWidth(), 0);
    EXPECT_EQ(fill.GetPenHeight(), 0);
    ExpectRect(*fill.GetNewRect(), 4, 5, 1, 1);

    CMoxBrush hatch(Gdiplus::HatchStyleCross, Gdiplus::Color(255, 0, 0), Gdiplus::Color(0, 0, 255));
    CMoxSprite hatched;
    hatched.Init(&hatch);
    hatched.SetRect(1, 2, 3, 4, 0, 0, 255);
    ExpectRect(*hatched.GetNewRect(), 1, 2, 4, 5);

    // A text Init keeps the box flag and geometry of the pen sprite it replaces.
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    outline.Init(&font, "x", Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    EXPECT_EQ(outline.GetBox(), 1);
    EXPECT_EQ(outline.GetPenWidth(), 30);
}

TEST_F(SpriteTest, ImageSpritesTakeTheImageSizeAndClampTheSourceOffset)
{
    std::string path = moxtest::WriteTga("sprite_size.tga", {7, 5}, [](int, int) { return moxtest::Rgba{}; });
    CMoxTga tga(path.c_str());
    ASSERT_EQ(tga.GetWidth(), 7u);

    CMoxSprite s;
    s.Init(&tga);
    s.SetRect(11, 12, 0, 0, -5, 3, 77);
    ExpectRect(*s.GetNewRect(), 11, 12, 7, 5);
    EXPECT_EQ(s.GetSrcX(), 0);
    EXPECT_EQ(s.GetSrcY(), 3);
    EXPECT_EQ(s.GetAlpha(), 77);

    // A given size is kept; only the zero one is derived.
    s.SetRect(0, 0, 3, 0, 0, 0, 255);
    ExpectRect(*s.GetNewRect(), 0, 0, 3, 5);

    auto raw = moxtest::RawBottomUp(4, 9, [](int, int) { return moxtest::Rgb{}; });
    BITMAPINFO header = moxtest::RawHeader(4, 9);
    CMoxBitmap bitmap(raw.data(), int(raw.size()), header, 0);
    CMoxSprite b;
    b.Init(&bitmap);
    b.SetRect(1, 2, 255);
    ExpectRect(*b.GetNewRect(), 1, 2, 4, 9);
}

TEST_F(SpriteTest, TextSizeComesFromFontSizeAndByteCount)
{
    CMoxFont twelve(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    CMoxFont ten(10, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    ASSERT_FLOAT_EQ(twelve.GetSize(), 12.0f);

    CMoxSprite s;
    s.Init(&twelve, "hello", Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    s.SetRect(0, 0, 0, 0, 0, 0, 255);
    EXPECT_EQ(s.GetWidth(), 63);
    EXPECT_EQ(s.GetHeight(), 18);

    s.Init(&ten, "hello", Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    s.SetRect(0, 0, 0, 0, 0, 0, 255);
    EXPECT_EQ(s.GetWidth(), 49);
    EXPECT_EQ(s.GetHeight(), 15);

    // Bytes, not characters: "é" is two bytes of UTF-8.
    s.Init(&ten, "\xC3\xA9", Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    s.SetRect(0, 0, 0, 0, 0, 0, 255);
    EXPECT_EQ(s.GetWidth(), 7 * 4);

    // The whole parts of 0.75 and 1.5 times the size, exactly: 1.5 x 5592409 = 8388613.5 is
    // not a float, and rounding it first would add one to both results.
    CMoxFont huge(5592409, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    if (huge.GetSize() == 5592409.0f) {
        s.Init(&huge, "a", Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
        s.SetRect(0, 0, 0, 0, 0, 0, 255);
        EXPECT_EQ(s.GetWidth(), 4194306 * 3);
        EXPECT_EQ(s.GetHeight(), 8388613);
    } else {
        ADD_FAILURE() << "a font of that size could not be made";
    }
}

TEST_F(SpriteTest, TextInitWithSameFontAndTextChangesNothing)
{
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    CMoxSprite s;
    s.Init(&font, "abc", Gdiplus::Color(10, 20, 30), Gdiplus::StringAlignmentCenter);
    Gdiplus::SolidBrush* first = s.GetSolidBrush();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(BrushColour(s), Gdiplus::Color(10, 20, 30).GetValue());
    s.SetRect(5, 5, 40, 20, 0, 0, 255);

    s.Init(&font, "abc", Gdiplus::Color(200, 0, 0), Gdiplus::StringAlignmentFar);
    EXPECT_EQ(s.GetSolidBrush(), first);
    EXPECT_EQ(BrushColour(s), Gdiplus::Color(10, 20, 30).GetValue());
    EXPECT_EQ(s.GetStringAlignment(), Gdiplus::StringAlignmentCenter);
    ExpectRect(*s.GetNewRect(), 5, 5, 40, 20);

    s.Init(&font, "abd", Gdiplus::Color(200, 0, 0), Gdiplus::StringAlignmentFar);
    EXPECT_EQ(BrushColour(s), Gdiplus::Color(200, 0, 0).GetValue());
    EXPECT_EQ(s.GetStringAlignment(), Gdiplus::StringAlignmentFar);
    ExpectRect(*s.GetNewRect(), 0, 0, 0, 0);
    ExpectRect(*s.GetOldRect(), 5, 5, 40, 20);
    EXPECT_EQ(s.GetString(), s.GetStringW());
    EXPECT_STREQ(s.GetStringA(), "abd");
    EXPECT_EQ(std::wstring(s.GetStringW()), L"abd");

    // An image Init drops the brush.
    CMoxTga tga;
    s.Init(&tga);
    EXPECT_EQ(s.GetSolidBrush(), nullptr);
    EXPECT_EQ(s.GetFont(), nullptr);
}

TEST_F(SpriteTest, NullTextIsEmptyText)
{
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    CMoxSprite s;
    s.Init(&font, nullptr, Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    EXPECT_EQ(s.GetFont(), &font);
    EXPECT_STREQ(s.GetStringA(), "");
    EXPECT_EQ(s.GetStringW()[0], 0);
}

TEST_F(SpriteTest, LongTextIsCutAtTheLastWholeCharacterThatFits)
{
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    const int limit = CMoxSprite::TextLimit;

    // Exactly the limit (1023 characters and the terminator) fits unchanged.
    std::string fits(limit - 1, 'a');
    CMoxSprite s;
    s.Init(&font, fits.c_str(), Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    EXPECT_EQ(std::wstring(s.GetStringW()), std::wstring(limit - 1, L'a'));

    // Far longer: cut to 1023, the narrow text kept whole, nothing written past the array.
    std::string longer(5000, 'b');
    s.Init(&font, longer.c_str(), Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    EXPECT_EQ(s.GetStringW()[limit - 1], 0);
    EXPECT_EQ(std::wstring(s.GetStringW()), std::wstring(limit - 1, L'b'));
    EXPECT_EQ(std::string(s.GetStringA()), longer);
    s.SetRect(0, 0, 0, 0, 0, 0, 255);
    EXPECT_EQ(s.GetWidth(), 9 * 5002) << "the size counts every byte of the narrow text";

    // A multi-byte character that ends exactly at the limit is kept; one past it is cut whole.
    std::string smile = "\xF0\x9F\x98\x80"; // U+1F600, four bytes
    std::string edge = std::string(limit - 2, 'c') + smile + "d";
    s.Init(&font, edge.c_str(), Gdiplus::Color(0, 0, 0), Gdiplus::StringAlignmentNear);
    std::wstring w(s.GetStringW());
    ASSERT_EQ(w.size(), size_t(limit - 1));
    // The narrow text is in the ANSI code page: UTF-8 on the stand-in, on Windows usually a
    // single-byte page (Microsoft's MultiByteToWideChar documentation), where every byte is a
    // whole character.
    wchar_t smileUnits[8] = {};
    const int units = MultiByteToWideChar(CP_ACP, 0, smile.c_str(), -1, smileUnits, 8) - 1;
    const bool utf8 = units >= 1 && (smileUnits[0] == wchar_t(0x1F600) || smileUnits[0] == wchar_t(0xD83D));
    if (units == 4) {
        EXPECT_EQ(w.back(), smileUnits[0]);
    } else if (utf8 && sizeof(wchar_t) == 4) {
        EXPECT_EQ(w.back(), wchar_t(0x1F600));
    } else if (utf8) {
        EXPECT_EQ(w.back(), L'c') << "half a surrogate pair is never kept";
    }
}

TEST_F(SpriteTest, CopiesShareTheTextBrushAndOutliveEachOther)
{
    CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    auto source = std::make_unique<CMoxSprite>();
    source->Init(&font, "shared", Gdiplus::Color(1, 2, 3), Gdiplus::StringAlignmentNear);
    source->SetRect(3, 4, 0, 0, 0, 0, 255);

    CMoxSprite copy(*source);
    EXPECT_EQ(copy.GetSolidBrush(), source->GetSolidBrush());
    EXPECT_EQ(std::wstring(copy.GetStringW()), L"shared");
    EXPECT_STREQ(copy.GetStringA(), "shared");
    ExpectRect(*copy.GetNewRect(), 3, 4, source->GetWidth(), source->GetHeight());

    CMoxSprite assigned;
    assigned.Init(&font, "own", Gdiplus::Color(9, 9, 9), Gdiplus::StringAlignmentNear);
    assigned = *source;
    EXPECT_EQ(assigned.GetSolidBrush(), source->GetSolidBrush());

    // The source goes first; both copies still draw with a live brush.
    source.reset();
    EXPECT_EQ(BrushColour(copy), Gdiplus::Color(1, 2, 3).GetValue());
    EXPECT_EQ(BrushColour(assigned), Gdiplus::Color(1, 2, 3).GetValue());

    // Re-initialising one copy leaves the other's brush alone.
    copy.Init(&font, "changed", Gdiplus::Color(4, 5, 6), Gdiplus::StringAlignmentNear);
    EXPECT_NE(copy.GetSolidBrush(), assigned.GetSolidBrush());
    EXPECT_EQ(BrushColour(assigned), Gdiplus::Color(1, 2, 3).GetValue());
    EXPECT_EQ(BrushColour(copy), Gdiplus::Color(4, 5, 6).GetValue());

    CMoxSprite& alias = assigned;
    assigned = alias; // self-assignment keeps the share
    EXPECT_EQ(BrushColour(assigned), Gdiplus::Color(1, 2, 3).GetValue());
}

} // namespace
