// Image lists: a strip cut into images, masks from a colour or a mask strip, each drawing style,
// removal, and MFC's CImageList over them. Windows API names only, so the same cases run
// against the real comctl32 under Wine.
#include <afxcmn.h>
#include <afxwin.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kGround = RGB(90, 90, 90);
const COLORREF kColours[] = {RGB(200, 0, 0), RGB(0, 180, 0), RGB(0, 0, 160)};

// A top-down 32-bit DIB section and its pixels.
struct Surface {
    HBITMAP bitmap = nullptr;
    std::uint32_t* bits = nullptr;
    int width = 0;
    Surface(int w, int h) : width(w)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<std::uint32_t*>(p);
    }
    ~Surface() { DeleteObject(bitmap); }
    void Set(int x, int y, COLORREF c) { bits[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
    COLORREF At(int x, int y) const
    {
        const std::uint32_t p = bits[y * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

// Three 4 x 4 images side by side, each of its colour with the key in its top-left pixel.
void PaintStrip(Surface& strip)
{
    for (int i = 0; i < 3; ++i)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                strip.Set(i * 4 + x, y, x == 0 && y == 0 ? kKey : kColours[i]);
}

// Draws image i at (2, 2) of a grey 8 x 8 surface; answers the pixels at the image's key corner
// and inside it.
struct Drawn {
    COLORREF corner;
    COLORREF inside;
    COLORREF outside;
};
Drawn DrawOnGrey(HIMAGELIST list, int i, UINT style)
{
    Surface dst(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            dst.Set(x, y, kGround);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dst.bitmap);
    EXPECT_TRUE(ImageList_Draw(list, i, dc, 2, 2, style));
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
    return {dst.At(2, 2), dst.At(4, 4), dst.At(6, 6)};
}

// Windows: AddMasked cuts the strip into images of the list's width, masks the key colour's
// pixels and turns them black in the images; ILD_TRANSPARENT (or ILD_NORMAL with the background
// colour CLR_NONE) leaves the destination under the mask, ILD_NORMAL with a background colour
// paints that colour there, ILD_MASK draws the mask (white where transparent) and ILD_IMAGE the
// image alone (Microsoft's ImageList_AddMasked, ImageList_Draw, ImageList_SetBkColor).
TEST(ImageList, MaskedStripDrawsInEachStyle)
{
    Surface strip(12, 4);
    PaintStrip(strip);
    HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 3, 1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_AddMasked(list, strip.bitmap, kKey), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 4);
    EXPECT_EQ(cy, 4);
    EXPECT_EQ(ImageList_GetBkColor(list), CLR_NONE);

    const struct {
        const char* name;
        COLORREF background;
        UINT style;
        Drawn expected;
    } cases[] = {
        {"transparent", CLR_NONE, ILD_TRANSPARENT, {kGround, kColours[1], kGround}},
        {"normal without background", CLR_NONE, ILD_NORMAL, {kGround, kColours[1], kGround}},
        {"normal on blue", RGB(0, 0, 255), ILD_NORMAL, {RGB(0, 0, 255), kColours[1], kGround}},
        {"transparent despite blue", RGB(0, 0, 255), ILD_TRANSPARENT, {kGround, kColours[1], kGround}},
        {"mask", CLR_NONE, ILD_MASK, {RGB(255, 255, 255), RGB(0, 0, 0), kGround}},
        {"image alone", CLR_NONE, ILD_IMAGE, {RGB(0, 0, 0), kColours[1], kGround}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImageList_SetBkColor(list, c.background);
        const Drawn d = DrawOnGrey(list, 1, c.style);
        EXPECT_EQ(d.corner, c.expected.corner);
        EXPECT_EQ(d.inside, c.expected.inside);
        EXPECT_EQ(d.outside, c.expected.outside);
    }
    // The key colour's pixels turn black in the program's strip too (Microsoft's
    // ImageList_AddMasked; Wine does the same).
    GdiFlush();
    EXPECT_EQ(strip.At(4, 0), RGB(0, 0, 0));
    EXPECT_EQ(strip.At(5, 0), kColours[1]);

    // Removing shifts the later images down; -1 removes them all (Microsoft's ImageList_Remove).
    EXPECT_TRUE(ImageList_Remove(list, 1));
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    ImageList_SetBkColor(list, CLR_NONE);
    EXPECT_EQ(DrawOnGrey(list, 1, ILD_NORMAL).inside, kColours[2]);
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_TRUE(ImageList_Destroy(list));
}

// Windows: a mask strip given to ImageList_Add masks where it is white (1); the image keeps its
// colours under the mask (Microsoft's ImageList_Add).
TEST(ImageList, MaskStripMasksWhereSet)
{
    Surface strip(8, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            strip.Set(x, y, kColours[x / 4]);
    // One mask bit set per image: the top-left pixel. Monochrome rows are whole WORDs.
    const BYTE maskBits[4][2] = {{0x88, 0}, {0, 0}, {0, 0}, {0, 0}};
    HBITMAP mask = CreateBitmap(8, 4, 1, 1, maskBits);
    HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR32 | ILC_MASK, 2, 1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_Add(list, strip.bitmap, mask), 0);
    const Drawn d = DrawOnGrey(list, 1, ILD_TRANSPARENT);
    EXPECT_EQ(d.corner, kGround);
    EXPECT_EQ(d.inside, kColours[1]);
    EXPECT_EQ(DrawOnGrey(list, 1, ILD_IMAGE).corner, kColours[1]);
    // Out-of-range images draw nothing and fail.
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(ImageList_Draw(list, 2, dc, 0, 0, ILD_NORMAL));
    DeleteDC(dc);
    EXPECT_TRUE(ImageList_Destroy(list));
    DeleteObject(mask);
}

// MFC: CImageList wraps the same calls and destroys its list with the object.
TEST(ImageList, CImageListAddsAndDraws)
{
    Surface strip(12, 4);
    PaintStrip(strip);
    CBitmap bitmap;
    bitmap.Attach(strip.bitmap);
    {
        CImageList images;
        ASSERT_TRUE(images.Create(4, 4, ILC_COLOR32 | ILC_MASK, 3, 1));
        EXPECT_EQ(images.Add(&bitmap, kKey), 0);
        EXPECT_EQ(images.GetImageCount(), 3);
        const Drawn d = DrawOnGrey(images.GetSafeHandle(), 2, ILD_TRANSPARENT);
        EXPECT_EQ(d.corner, kGround);
        EXPECT_EQ(d.inside, kColours[2]);
    }
    bitmap.Detach();
}

} // namespace
