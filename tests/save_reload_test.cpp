// Images saved by every encoder reload with the pixels they were saved with: each source pixel
// format, each alpha from 0 to 255 on colours near the ends of their range. Lossless files come
// back exactly (alpha where the file keeps it); JPEG within its quantisation.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "gdiplus_image_support.h"
#include "test_support.h"

using namespace Gdiplus;
using moxtest::BitmapPtr;
using moxtest::MakeBitmap;

namespace {

bool EncoderClsid(const wchar_t* mime, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (GetImageEncodersSize(&count, &size) != Ok || size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    auto* list = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GetImageEncoders(count, size, list) != Ok)
        return false;
    for (UINT k = 0; k < count; ++k)
        if (std::wcscmp(list[k].MimeType, mime) == 0) {
            *clsid = list[k].Clsid;
            return true;
        }
    return false;
}

ARGB PixelOf(GpBitmap* bitmap, int x, int y)
{
    ARGB c = 0;
    EXPECT_EQ(DllExports::GdipBitmapGetPixel(bitmap, x, y, &c), Ok);
    return c;
}

int ChannelDistance(ARGB a, ARGB b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff));
        worst = d > worst ? d : worst;
    }
    return worst;
}

// 16 x 16 blocks, one a combination of alpha and colour: JPEG's blocks (and its chroma, halved)
// then each hold one colour. 0x2C over white is how premultiplying loaders showed.
constexpr int kBlock = 16;
constexpr ARGB kAlphas[] = {0x00, 0x01, 0x2C, 0x7F, 0x80, 0xFE, 0xFF};
constexpr ARGB kColours[] = {0xFFFFFF, 0x000000, 0x010203, 0xFF8040, 0x2C2C2C, 0x7FFF00};
constexpr int kWidth = kBlock * int(sizeof kAlphas / sizeof kAlphas[0]);
constexpr int kHeight = kBlock * int(sizeof kColours / sizeof kColours[0]);

ARGB Picture(int x, int y)
{
    return (kAlphas[x / kBlock] << 24) | kColours[y / kBlock];
}

} // namespace

TEST(SaveReload, EveryEncoderFormatAndAlphaComesBackAsSaved)
{
    const struct {
        const wchar_t* mime;
        const char* extension;
        bool keepsAlpha;
        int tolerance; // per channel
    } encoders[] = {
        {L"image/png", "png", true, 0},
        {L"image/tiff", "tiff", true, 0},
        {L"image/bmp", "bmp", false, 0},
        {L"image/jpeg", "jpg", false, 8},
    };
    const struct {
        PixelFormat format;
        const char* name;
    } sources[] = {
        {PixelFormat24bppRGB, "24bppRGB"},
        {PixelFormat32bppRGB, "32bppRGB"},
        {PixelFormat32bppARGB, "32bppARGB"},
        {PixelFormat32bppPARGB, "32bppPARGB"},
    };
    for (const auto& e : encoders) {
        CLSID clsid{};
        ASSERT_TRUE(EncoderClsid(e.mime, &clsid)) << e.extension;
        for (const auto& s : sources) {
            SCOPED_TRACE(std::string(e.extension) + " from " + s.name);
            BitmapPtr source = MakeBitmap(kWidth, kHeight, s.format, Picture);
            ASSERT_TRUE(source);
            const std::string path = moxtest::TempPath(std::string("reload-") + s.name + "." + e.extension);
            std::remove(path.c_str());
            ASSERT_EQ(DllExports::GdipSaveImageToFile(source.get(), moxtest::Widen(path).c_str(), &clsid, nullptr),
                      Ok);
            GpBitmap* loaded = nullptr;
            ASSERT_EQ(DllExports::GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &loaded), Ok);
            BitmapPtr back(loaded);
            UINT width = 0, height = 0;
            DllExports::GdipGetImageWidth(back.get(), &width);
            DllExports::GdipGetImageHeight(back.get(), &height);
            ASSERT_EQ(width, UINT(kWidth));
            ASSERT_EQ(height, UINT(kHeight));
            const bool alpha = e.keepsAlpha && (s.format & PixelFormatAlpha);
            int failures = 0;
            // Block centres, away from JPEG's chroma edges.
            for (int y = kBlock / 2; y < kHeight; y += kBlock)
                for (int x = kBlock / 2; x < kWidth; x += kBlock) {
                    // What the source holds (a premultiplied source has already lost precision
                    // at low alpha, an opaque one its alpha), then what the file keeps of it.
                    ARGB want = PixelOf(source.get(), x, y);
                    if (!alpha)
                        want |= 0xFF000000u;
                    const ARGB got = PixelOf(back.get(), x, y);
                    if (ChannelDistance(got, want) > e.tolerance && ++failures <= 5)
                        ADD_FAILURE() << std::hex << "at " << std::dec << x << "," << y << std::hex << ": saved "
                                      << want << ", reloaded " << got;
                }
        }
    }
}
