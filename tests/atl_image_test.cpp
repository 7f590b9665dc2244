// CImage: creation, pixels, drawing with and without alpha, saving and loading files.
#include <gtest/gtest.h>

#include <atlimage.h>

#include <cstdio>
#include <cstring>

namespace {

struct Target {
    CImage image;
    Target() { image.Create(4, -2, 32); }
    COLORREF At(int x, int y) const { return image.GetPixel(x, y); }
};

} // namespace

// A bottom-up image hands out its top row with a negative pitch; a top-down one a positive one.
TEST(CImage, CreateDescribesItsRows)
{
    const struct {
        int height, bpp, pitch;
    } cases[] = {{3, 24, -12}, {-3, 24, 12}, {3, 32, -16}, {2, 8, -4}};
    for (const auto& c : cases) {
        CImage image;
        ASSERT_TRUE(image.Create(4, c.height, c.bpp)) << c.bpp;
        EXPECT_FALSE(image.IsNull());
        EXPECT_EQ(image.GetWidth(), 4);
        EXPECT_EQ(image.GetHeight(), c.height < 0 ? -c.height : c.height);
        EXPECT_EQ(image.GetBPP(), c.bpp);
        EXPECT_EQ(image.GetPitch(), c.pitch) << c.bpp << " " << c.height;
        image.SetPixel(1, 0, RGB(255, 255, 255));
        EXPECT_EQ(image.GetPixel(1, 0), RGB(255, 255, 255));
        // The top row's second pixel, found through GetBits and GetPitch.
        const BYTE* top = static_cast<const BYTE*>(image.GetBits());
        EXPECT_EQ(top[c.bpp / 8], 0xff) << c.bpp;
        EXPECT_EQ(image.GetPixelAddress(1, 0), static_cast<void*>(const_cast<BYTE*>(top) + c.bpp / 8));
        image.Destroy();
        EXPECT_TRUE(image.IsNull());
    }
}

// Draw uses AlphaBlend for an image with an alpha channel (premultiplied pixels), StretchBlt
// otherwise (Microsoft's CImage::Draw).
TEST(CImage, DrawBlendsOnlyWithAnAlphaChannel)
{
    for (bool alpha : {false, true}) {
        CImage sprite;
        ASSERT_TRUE(sprite.Create(1, 1, 32, alpha ? CImage::createAlphaChannel : 0));
        const DWORD halfRed = 0x80800000; // premultiplied red at alpha 128
        std::memcpy(sprite.GetBits(), &halfRed, 4);
        Target t;
        t.image.SetPixel(0, 0, RGB(0, 0, 255));
        HDC dc = t.image.GetDC();
        EXPECT_TRUE(sprite.Draw(dc, 0, 0));
        EXPECT_TRUE(sprite.Draw(dc, 1, 0, 2, 1)); // stretched
        t.image.ReleaseDC();
        EXPECT_EQ(t.At(0, 0), alpha ? RGB(0x80, 0, 0x7f) : RGB(0x80, 0, 0)) << alpha;
        EXPECT_EQ(t.At(2, 0), alpha ? RGB(0x80, 0, 0) : RGB(0x80, 0, 0)) << alpha;
    }
}

TEST(CImage, TransparentBltLeavesTheKeyOut)
{
    CImage sprite;
    ASSERT_TRUE(sprite.Create(2, 1, 24));
    sprite.SetPixel(0, 0, RGB(255, 0, 255));
    sprite.SetPixel(1, 0, RGB(10, 20, 30));
    Target t;
    t.image.SetPixel(0, 0, RGB(1, 2, 3));
    HDC dc = t.image.GetDC();
    EXPECT_TRUE(sprite.TransparentBlt(dc, 0, 0, 2, 1, RGB(255, 0, 255)));
    t.image.ReleaseDC();
    EXPECT_EQ(t.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(t.At(1, 0), RGB(10, 20, 30));
}

// Saved as PNG and BMP and loaded again, the pixels come back; a PNG keeps its alpha.
TEST(CImage, SaveAndLoadKeepPixels)
{
    for (const char* name : {"atl_image_test.png", "atl_image_test.bmp"}) {
        CImage out;
        ASSERT_TRUE(out.Create(3, 2, 24));
        out.SetPixel(0, 0, RGB(200, 10, 20));
        out.SetPixel(2, 1, RGB(5, 250, 6));
        ASSERT_EQ(out.Save(name), S_OK) << name;
        CImage in;
        ASSERT_EQ(in.Load(name), S_OK) << name;
        EXPECT_EQ(in.GetWidth(), 3);
        EXPECT_EQ(in.GetHeight(), 2);
        EXPECT_EQ(in.GetPixel(0, 0), RGB(200, 10, 20)) << name;
        EXPECT_EQ(in.GetPixel(2, 1), RGB(5, 250, 6)) << name;
        EXPECT_EQ(in.GetPixel(1, 0), RGB(0, 0, 0)) << name;
        std::remove(name);
    }
    CImage missing;
    EXPECT_NE(missing.Load("no_such_image.png"), S_OK);
    EXPECT_TRUE(missing.IsNull());
}
