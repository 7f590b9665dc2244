// CMoxBitmap: the two forms, the colour key, and copies that share one picture.
#include "canvas_support.h"
#ifndef _WIN32
#include "gdiplus_internal.h" // the stand-in's native attributes, to read the key GDI+ was given
#endif

#include <gtest/gtest.h>

#include <cstring>

using moxcanvas::Form;
using moxcanvas::MakeCanvas;
using moxcanvas::MakeImage;
using moxcanvas::Pattern;
using moxtest::PixelAt;
using moxtest::Rgb;

namespace {

TEST(BitmapRawForm, KeepsItsOwnCopyOfBytesAndHeader)
{
    moxcanvas::StartGdiplus();
    std::vector<unsigned char> bytes = moxtest::RawBottomUp(3, 2, Pattern);
    BITMAPINFO header = moxtest::RawHeader(3, -20);
    header.bmiColors[0].rgbRed = 0x5A;
    CMoxBitmap image(bytes.data(), int(bytes.size()), header, 0);
    std::fill(bytes.begin(), bytes.end(), 0); // the caller's buffer may be reused at once
    header.bmiHeader.biWidth = 99;

    ASSERT_NE(image.GetMemBitmap(), nullptr);
    EXPECT_NE(image.GetMemBitmap(), bytes.data());
    EXPECT_EQ(image.GetMemBitmap()[0], Pattern(0, 1).b); // bottom row first
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), -20); // a top-down header stays negative
    EXPECT_EQ(image.GetBitmapHeader()->bmiHeader.biWidth, 3);
    EXPECT_EQ(image.GetBitmapHeader()->bmiColors[0].rgbRed, 0x5A); // all 44 bytes copied
    EXPECT_EQ(image.GetBitmap(), nullptr);
    EXPECT_EQ(image.IsColorKey(), 0);
}

TEST(BitmapRawForm, ZoomFlagSurvivesAKeyedReinitOnly)
{
    moxcanvas::StartGdiplus();
    std::vector<unsigned char> bytes(12);
    BITMAPINFO header = moxtest::RawHeader(2, 2);
    CMoxBitmap image(bytes.data(), 12, header, 1);
    image.Init(bytes.data(), 12, header, 255, 0, 255);
    EXPECT_EQ(image.IsZoom(), 1);
    EXPECT_EQ(image.IsColorKey(), 1);

    CMoxBitmap keyed(bytes.data(), 12, header, 255, 0, 255);
    EXPECT_EQ(keyed.IsZoom(), 0);
    image.Init(bytes.data(), 12, header, 0);
    EXPECT_EQ(image.IsZoom(), 0);
    EXPECT_EQ(image.IsColorKey(), 1); // an unkeyed Init never clears the key
}

TEST(BitmapRawForm, ReinitFromItsOwnBytesKeepsThem)
{
    auto image = MakeImage(Form::Raw, 4, 4);
    const std::vector<unsigned char> before(image->GetMemBitmap(), image->GetMemBitmap() + 48);
    image->Init(image->GetMemBitmap(), 48, *image->GetBitmapHeader(), 0);
    ASSERT_NE(image->GetMemBitmap(), nullptr);
    EXPECT_EQ(std::vector<unsigned char>(image->GetMemBitmap(), image->GetMemBitmap() + 48), before);
    EXPECT_EQ(image->GetWidth(), 4);
}

TEST(BitmapRawForm, BadByteArgumentsKeepNoPixels)
{
    moxcanvas::StartGdiplus();
    std::vector<unsigned char> bytes(48, 1);
    BITMAPINFO header = moxtest::RawHeader(4, 4);
    CMoxBitmap negative(bytes.data(), -5, header, 0);
    CMoxBitmap null(nullptr, 48, header, 0);
    for (CMoxBitmap* image : {&negative, &null}) {
        EXPECT_NE(image->GetMemBitmap(), nullptr); // still raw form, described by its header
        EXPECT_EQ(image->GetWidth(), 4);
        auto canvas = MakeCanvas(4, 4, Rgb{0, 0, 0});
        canvas->Draw(image, 0, 0);
        EXPECT_EQ(PixelAt(*canvas, 0, 0), (Rgb{0, 0, 0}));
    }
}

#ifndef _WIN32
// The native attributes behind the class interface; reached through a member pointer, the one
// legal way past its protected handle.
struct AttributesPeek : Gdiplus::ImageAttributes {
    static const moxplat::ImageAttributesImpl::ColorKey& DefaultKey(Gdiplus::ImageAttributes* attributes)
    {
        GpImageAttributes* Gdiplus::ImageAttributes::*native = &AttributesPeek::nativeImageAttr;
        return moxplat::ToImpl(attributes->*native)->keys[Gdiplus::ColorAdjustTypeDefault];
    }
};
#endif

TEST(BitmapColorKey, StoresTheKeyInEveryForm)
{
    moxcanvas::StartGdiplus();
    CMoxBitmap image;
    EXPECT_EQ(image.GetImageAttributes(), nullptr);
    image.SetColorKey(255, 0, 255);
    EXPECT_EQ(image.GetKeyRGB(), 0x00FF00FFul);
    EXPECT_EQ(image.IsColorKey(), 1);
    ASSERT_NE(image.GetImageAttributes(), nullptr);
#ifndef _WIN32
    // GDI+ gets the key as one opaque colour, low and high alike.
    const auto& key = AttributesPeek::DefaultKey(image.GetImageAttributes());
    EXPECT_TRUE(key.enabled);
    EXPECT_EQ(key.low, 0xFFFF00FFu);
    EXPECT_EQ(key.high, 0xFFFF00FFu);
#endif
    image.SetColorKey(0x12, 0x34, 0x56);
    EXPECT_EQ(image.GetKeyRGB(), 0x00123456ul);
    EXPECT_EQ(image.GetKeyR(), 0x12);
    EXPECT_EQ(image.GetKeyG(), 0x34);
    EXPECT_EQ(image.GetKeyB(), 0x56);

    const std::string path = moxtest::TempPath("keyed.bmp");
    moxtest::WriteBmp24(path, 2, 2, Pattern);
    image.Init(moxtest::Widen(path).c_str()); // an unkeyed file Init keeps the key
    EXPECT_EQ(image.IsColorKey(), 1);
    EXPECT_EQ(image.GetKeyRGB(), 0x00123456ul);
    CMoxBitmap keyedFile(moxtest::Widen(path).c_str(), 1, 2, 3);
    EXPECT_EQ(keyedFile.GetKeyRGB(), 0x00010203ul);
    EXPECT_EQ(keyedFile.GetWidth(), 2);
}

// The attributes carry the key as opaque 0xFFRRGGBB: GDI+ drawing with them leaves exactly that
// colour out.
TEST(BitmapColorKey, GdiplusDrawingWithTheAttributesSkipsTheKey)
{
    auto canvas = MakeCanvas(2, 1, Rgb{9, 9, 9});
    canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
    auto image = MakeImage(Form::File, 2, 1, [](int x, int) { return x == 0 ? Rgb{255, 0, 255} : Rgb{255, 1, 255}; });
    image->SetColorKey(255, 0, 255);
    canvas->GetGraphics()->DrawImage(image->GetBitmap(), Gdiplus::Rect(0, 0, 2, 1), 0, 0, 2, 1, Gdiplus::UnitPixel,
                                     image->GetImageAttributes());
    EXPECT_EQ(PixelAt(*canvas, 0, 0), (Rgb{9, 9, 9}));
    EXPECT_EQ(PixelAt(*canvas, 1, 0), (Rgb{255, 1, 255}));
}

TEST(BitmapFileForm, MissingFileGivesAnEmptyFileForm)
{
    moxcanvas::StartGdiplus();
    CMoxBitmap image(moxtest::Widen(moxtest::TempPath("absent.png")).c_str());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_EQ(image.GetMemBitmap(), nullptr);
    EXPECT_NE(image.GetBitmap(), nullptr);

    CMoxBitmap noPath(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(noPath.GetWidth(), 0);
    auto canvas = MakeCanvas(2, 2, Rgb{4, 4, 4});
    canvas->Draw(&noPath, 0, 0);
    canvas->SetBackBitmap(&noPath);
    EXPECT_EQ(PixelAt(*canvas, 0, 0), (Rgb{4, 4, 4}));
}

TEST(BitmapFileForm, ReplacesARawFormAndTheOtherWayRound)
{
    auto image = MakeImage(Form::Raw, 4, 4);
    const std::string path = moxtest::TempPath("seven.bmp");
    moxtest::WriteBmp24(path, 7, 5, Pattern);
    image->Init(moxtest::Widen(path).c_str());
    EXPECT_EQ(image->GetMemBitmap(), nullptr);
    EXPECT_EQ(image->GetWidth(), 7); // the file's, though the old raw width is still stored
    EXPECT_EQ(image->m_nWidth, 4);
    EXPECT_EQ(image->GetHeight(), 5);

    std::vector<unsigned char> bytes(12);
    BITMAPINFO header = moxtest::RawHeader(2, 2);
    image->Init(bytes.data(), 12, header, 0);
    EXPECT_EQ(image->GetBitmap(), nullptr);
    EXPECT_EQ(image->GetWidth(), 2);
}

TEST(BitmapEmpty, ReportsZeroSize)
{
    CMoxBitmap image;
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_EQ(image.GetMemBitmap(), nullptr);
    EXPECT_EQ(image.GetBitmap(), nullptr);
    EXPECT_EQ(image.IsZoom(), 0);
}

TEST(BitmapCopy, CopiesShareOnePicture)
{
    auto image = MakeImage(Form::File, 3, 3);
    image->SetColorKey(1, 2, 3);
    CMoxBitmap copy(*image);
    CMoxBitmap assigned;
    assigned = *image;
    for (CMoxBitmap* c : {&copy, &assigned}) {
        EXPECT_EQ(c->GetBitmap(), image->GetBitmap());
        EXPECT_EQ(c->GetImageAttributes(), image->GetImageAttributes());
        EXPECT_EQ(c->GetKeyRGB(), 0x00010203ul);
    }
    // Assigning over an image drops its old picture; the others keep theirs.
    auto raw = MakeImage(Form::Raw, 2, 2);
    assigned = *raw;
    EXPECT_EQ(assigned.GetMemBitmap(), raw->GetMemBitmap());
    image.reset();
    raw.reset();
    EXPECT_EQ(copy.GetWidth(), 3);
    EXPECT_EQ(assigned.GetWidth(), 2);
    auto canvas = MakeCanvas(4, 4, Rgb{0, 0, 0});
    canvas->Draw(&assigned, 0, 0);
    canvas->Draw(&copy, 1, 1, 1, 1, 2, 2);
    EXPECT_EQ(PixelAt(*canvas, 0, 0), Pattern(0, 0));
    EXPECT_EQ(PixelAt(*canvas, 2, 2), Pattern(2, 2));
}

} // namespace
