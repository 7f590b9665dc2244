// GDI+ bitmaps: loading files, creating from memory, size and format queries, and the lock.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <type_traits>
#include <vector>

#include "gdiplus_image_files.h"
#include "gdiplus_image_support.h"
#include "test_support.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// The native handle types belong to namespace Gdiplus, as in the Windows headers.
static_assert(std::is_base_of<::Gdiplus::GpImage, ::Gdiplus::GpBitmap>::value, "a bitmap is an image");
using moxtest::BitmapPtr;
using moxtest::MakeBitmap;

namespace {

moxtest::Rgb Pattern(int x, int y)
{
    return {std::uint8_t(x * 10), std::uint8_t(y * 20), std::uint8_t(x + y)};
}

BitmapPtr Load(const std::string& path, Status* status)
{
    GpBitmap* const junk = reinterpret_cast<GpBitmap*>(&status); // a failure must overwrite it
    GpBitmap* bitmap = junk;
    *status = GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &bitmap);
    if (bitmap == junk) {
        ADD_FAILURE() << "handle left unset for " << path;
        return nullptr;
    }
    return BitmapPtr(bitmap);
}

void ExpectFormat(GpBitmap* bitmap, UINT width, UINT height, PixelFormat format)
{
    UINT w = 0, h = 0;
    PixelFormat f = 0;
    ASSERT_EQ(GdipGetImageWidth(bitmap, &w), Ok);
    ASSERT_EQ(GdipGetImageHeight(bitmap, &h), Ok);
    ASSERT_EQ(GdipGetImagePixelFormat(bitmap, &f), Ok);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_EQ(f, format);
}

const BYTE* At(const BitmapData& d, int x, int y)
{
    return static_cast<const BYTE*>(d.Scan0) + std::ptrdiff_t(y) * d.Stride +
           x * int(GetPixelFormatSize(d.PixelFormat) / 8);
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace

TEST(GdiplusStartupTest, HandsOutTokensAndRefusesBadInput)
{
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
    EXPECT_NE(token, 0u);
    GdiplusShutdown(token);

    EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), InvalidParameter);
    EXPECT_EQ(GdiplusStartup(&token, nullptr, nullptr), InvalidParameter);
    input.GdiplusVersion = 3;
    EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), UnsupportedGdiplusVersion);

    // Without the background thread the host must take the notification hooks.
    GdiplusStartupInput quiet(nullptr, TRUE);
    EXPECT_EQ(GdiplusStartup(&token, &quiet, nullptr), InvalidParameter);
    GdiplusStartupOutput output = {};
    ASSERT_EQ(GdiplusStartup(&token, &quiet, &output), Ok);
    ASSERT_NE(output.NotificationHook, nullptr);
    ULONG_PTR hookToken = 0;
    EXPECT_EQ(output.NotificationHook(&hookToken), Ok);
    output.NotificationUnhook(hookToken);
    GdiplusShutdown(token);

    GdipFree(nullptr);
    void* block = GdipAlloc(64);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xab, 64);
    GdipFree(block);
}

TEST(GdiplusLoadTest, Bmp24KeepsPixelsAsOpaqueRgbTopRowFirst)
{
    const std::string path = moxtest::TempPath("load.bmp");
    moxtest::WriteBmp24(path, 5, 3, Pattern);
    Status status;
    BitmapPtr bitmap = Load(path, &status);
    ASSERT_EQ(status, Ok);
    ASSERT_TRUE(bitmap);
    ExpectFormat(bitmap.get(), 5, 3, PixelFormat24bppRGB);

    BitmapData data = {};
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(data.Width, 5u);
    EXPECT_EQ(data.Height, 3u);
    EXPECT_EQ(data.Stride, 16); // 15 bytes rounded up to whole 32-bit words
    EXPECT_EQ(data.PixelFormat, PixelFormat24bppRGB);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const moxtest::Rgb c = Pattern(x, y);
            const BYTE* p = At(data, x, y);
            ASSERT_EQ(p[0], c.b) << x << "," << y;
            ASSERT_EQ(p[1], c.g) << x << "," << y;
            ASSERT_EQ(p[2], c.r) << x << "," << y;
        }
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);

    ARGB pixel = 0;
    ASSERT_EQ(GdipBitmapGetPixel(bitmap.get(), 4, 2, &pixel), Ok);
    EXPECT_EQ(pixel, Color::MakeARGB(255, Pattern(4, 2).r, Pattern(4, 2).g, Pattern(4, 2).b));
}

TEST(GdiplusLoadTest, PngWithAndWithoutAlpha)
{
    const auto rgba = [](int x, int y) {
        return moxtest::Rgba{std::uint8_t(200 - x), std::uint8_t(100 + y), std::uint8_t(50), std::uint8_t(x * 60)};
    };
    const std::string opaque = moxtest::TempPath("opaque.png");
    const std::string alpha = moxtest::TempPath("alpha.png");
    moxtest::WritePng(opaque, 4, 2, rgba, false);
    moxtest::WritePng(alpha, 4, 2, rgba, true);

    Status status;
    BitmapPtr plain = Load(opaque, &status);
    ASSERT_EQ(status, Ok);
    ExpectFormat(plain.get(), 4, 2, PixelFormat24bppRGB);
    ARGB pixel = 0;
    ASSERT_EQ(GdipBitmapGetPixel(plain.get(), 1, 1, &pixel), Ok);
    EXPECT_EQ(pixel, Color::MakeARGB(255, 199, 101, 50));

    BitmapPtr translucent = Load(alpha, &status);
    ASSERT_EQ(status, Ok);
    ExpectFormat(translucent.get(), 4, 2, PixelFormat32bppARGB);
    // Stored as blue, green, red, alpha and not premultiplied.
    BitmapData data = {};
    ASSERT_EQ(GdipBitmapLockBits(translucent.get(), nullptr, ImageLockModeRead, PixelFormat32bppARGB, &data), Ok);
    EXPECT_EQ(data.Stride, 16);
    const BYTE* p = At(data, 2, 1);
    EXPECT_EQ(p[0], 50);
    EXPECT_EQ(p[1], 101);
    EXPECT_EQ(p[2], 198);
    EXPECT_EQ(p[3], 120);
    EXPECT_EQ(At(data, 0, 0)[3], 0);
    EXPECT_EQ(At(data, 0, 0)[2], 200); // colour of a fully transparent pixel survives
    EXPECT_EQ(GdipBitmapUnlockBits(translucent.get(), &data), Ok);
}

TEST(GdiplusLoadTest, FailuresGiveStatusAndNullHandle)
{
    // A file that cannot be opened is InvalidParameter (Wine's gdiplus conformance test
    // test_LoadingImages, image.c; todo_wine there).
    Status status;
    BitmapPtr missing = Load(moxtest::TempPath("does-not-exist.png"), &status);
    EXPECT_EQ(status, InvalidParameter);
    EXPECT_FALSE(missing);
    const std::string dir = moxtest::TempPath("a-directory");
    ASSERT_TRUE(std::filesystem::create_directory(dir));
    BitmapPtr none = Load(dir, &status);
    EXPECT_EQ(status, InvalidParameter);
    EXPECT_FALSE(none);

    const std::string garbage = moxtest::TempPath("garbage.png");
    WriteBytes(garbage, std::vector<char>(300, 'x'));
    BitmapPtr junk = Load(garbage, &status);
    EXPECT_EQ(status, OutOfMemory);
    EXPECT_FALSE(junk);

    // A PNG cut off in the middle of its pixel data.
    const std::string whole = moxtest::TempPath("whole.png");
    moxtest::WritePng(
        whole, 64, 64,
        [](int x, int y) {
            return moxtest::Rgba{std::uint8_t(x * 3), std::uint8_t(y * 7), 9, 255};
        },
        false);
    std::ifstream in(whole, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100u);
    bytes.resize(bytes.size() / 2);
    const std::string truncated = moxtest::TempPath("truncated.png");
    WriteBytes(truncated, bytes);
    BitmapPtr cut = Load(truncated, &status);
    EXPECT_NE(status, Ok);
    EXPECT_FALSE(cut);

    const std::string empty = moxtest::TempPath("empty.bmp");
    WriteBytes(empty, {});
    BitmapPtr nothing = Load(empty, &status);
    EXPECT_NE(status, Ok);
    EXPECT_FALSE(nothing);

    // Windows: without a name the out-pointer is left as it was (image.c test_LoadingImages).
    GpBitmap* untouched = reinterpret_cast<GpBitmap*>(0x1);
    EXPECT_EQ(GdipCreateBitmapFromFile(nullptr, &untouched), InvalidParameter);
    EXPECT_EQ(untouched, reinterpret_cast<GpBitmap*>(0x1));
    GpBitmap* out = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromFile(nullptr, &out), InvalidParameter);
    EXPECT_EQ(GdipCreateBitmapFromFile(L"", &out), InvalidParameter);
    EXPECT_EQ(GdipCreateBitmapFromFile(moxtest::Widen(whole).c_str(), nullptr), InvalidParameter);
    const wchar_t notText[] = {L'/', wchar_t(0xD800), 0};
    EXPECT_EQ(GdipCreateBitmapFromFile(notText, &out), InvalidParameter);
    EXPECT_EQ(out, nullptr);
}

TEST(GdiplusLoadTest, NonAsciiPathIsPassedAsUtf8)
{
    const std::string prefix = moxtest::TempPath("u-"); // ASCII
    moxtest::WriteBmp24(prefix + "caf\xc3\xa9-\xe2\x98\x83.bmp", 2, 2, Pattern);
    const std::wstring wide = moxtest::Widen(prefix) + L"caf\u00e9-\u2603.bmp";
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromFile(wide.c_str(), &bitmap), Ok);
    BitmapPtr owned(bitmap);
    ExpectFormat(bitmap, 2, 2, PixelFormat24bppRGB);
}

// A 2 x 1 GIF: palette red, blue; pixels index 0, 1; index 0 transparent when asked.
std::vector<char> TinyGif(bool transparent)
{
    const unsigned char bytes[] = {'G',  'I',  'F',  '8',
                                   '9',  'a',  2,    0,
                                   1,    0,    0x80, 0,
                                   0,    0xFF, 0,    0,
                                   0,    0,    0xFF, // palette
                                   0x21, 0xF9, 4,    BYTE(transparent ? 1 : 0),
                                   0,    0,    0,    0, // control
                                   0x2C, 0,    0,    0,
                                   0,    2,    0,    1,
                                   0,    0, // descriptor
                                   2,    2,    0x44, 0x0A,
                                   0, // LZW: clear 0 1 end
                                   0x3B};
    return std::vector<char>(bytes, bytes + sizeof bytes);
}

TEST(GdiplusLoadTest, GifIsOpaqueRgbUnlessItHasTransparentPixels)
{
    const std::string opaquePath = moxtest::TempPath("opaque.gif");
    const std::string keyedPath = moxtest::TempPath("keyed.gif");
    WriteBytes(opaquePath, TinyGif(false));
    WriteBytes(keyedPath, TinyGif(true));
    Status status;
    // The stand-in decodes GIFs to 24-bit RGB, or 32-bit ARGB when a colour is transparent;
    // GDI+ keeps them PixelFormat8bppIndexed (as Wine's gdiplus does). The pixels agree.
    BitmapPtr opaque = Load(opaquePath, &status);
    ASSERT_EQ(status, Ok);
#ifndef _WIN32
    ExpectFormat(opaque.get(), 2, 1, PixelFormat24bppRGB);
#endif
    ARGB pixel = 0;
    ASSERT_EQ(GdipBitmapGetPixel(opaque.get(), 1, 0, &pixel), Ok);
    EXPECT_EQ(pixel, 0xFF0000FFu);

    BitmapPtr keyed = Load(keyedPath, &status);
    ASSERT_EQ(status, Ok);
#ifndef _WIN32
    ExpectFormat(keyed.get(), 2, 1, PixelFormat32bppARGB);
#endif
    ASSERT_EQ(GdipBitmapGetPixel(keyed.get(), 0, 0, &pixel), Ok);
    EXPECT_EQ(pixel >> 24, 0u);
    ASSERT_EQ(GdipBitmapGetPixel(keyed.get(), 1, 0, &pixel), Ok);
    EXPECT_EQ(pixel, 0xFF0000FFu);
}

TEST(GdiplusLoadTest, JpegIsOpaqueRgb)
{
    const std::string path = moxtest::TempPath("solid.jpg");
    ASSERT_TRUE(moxtest::WriteSolidJpeg(path, 16, 8, 0x3070B0));
    Status status;
    BitmapPtr jpeg = Load(path, &status);
    ASSERT_EQ(status, Ok);
    ExpectFormat(jpeg.get(), 16, 8, PixelFormat24bppRGB);
    ARGB pixel = 0;
    ASSERT_EQ(GdipBitmapGetPixel(jpeg.get(), 7, 3, &pixel), Ok);
    EXPECT_NEAR(int((pixel >> 16) & 0xff), 0x30, 3);
    EXPECT_NEAR(int((pixel >> 8) & 0xff), 0x70, 3);
    EXPECT_NEAR(int(pixel & 0xff), 0xB0, 3);
}

TEST(GdiplusScan0Test, WorksOnCallerPixelsAndHonoursNegativeStride)
{
    // GDI+ documents that the caller allocates and frees scan0's block: the bitmap is made over
    // those pixels, not over a copy. Two rows of 2 pixels, stored bottom row first; a negative
    // stride from the last row reads them top-down.
    std::vector<BYTE> rows = {1,  2,  3,  4,  5,  6,  0, 0,  // bottom row
                              11, 12, 13, 14, 15, 16, 0, 0}; // top row
    GpBitmap* raw = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, -8, PixelFormat24bppRGB, rows.data() + 8, &raw), Ok);
    BitmapPtr bitmap(raw);

    ARGB top = 0, bottom = 0;
    ASSERT_EQ(GdipBitmapGetPixel(raw, 1, 0, &top), Ok);
    ASSERT_EQ(GdipBitmapGetPixel(raw, 0, 1, &bottom), Ok);
    EXPECT_EQ(top, 0xFF100F0Eu);
    EXPECT_EQ(bottom, 0xFF030201u);

    // The caller's later changes show, and a write lock lands in the caller's memory.
    rows[0] = 0x21;
    ASSERT_EQ(GdipBitmapGetPixel(raw, 0, 1, &bottom), Ok);
    EXPECT_EQ(bottom, 0xFF030221u);
    BitmapData data{};
    ASSERT_EQ(GdipBitmapLockBits(raw, nullptr, ImageLockModeWrite, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(data.Scan0, rows.data() + 8);
    EXPECT_EQ(data.Stride, -8);
    static_cast<BYTE*>(data.Scan0)[0] = 0x99;
    ASSERT_EQ(GdipBitmapUnlockBits(raw, &data), Ok);
    EXPECT_EQ(rows[8], 0x99);

    GpBitmap* zeroed = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(3, 1, 0, PixelFormat32bppARGB, nullptr, &zeroed), Ok);
    BitmapPtr blank(zeroed);
    ARGB pixel = 1;
    ASSERT_EQ(GdipBitmapGetPixel(zeroed, 2, 0, &pixel), Ok);
    EXPECT_EQ(pixel, 0u);
}

TEST(GdiplusScan0Test, RefusesBadSizesStridesAndFormats)
{
    // Wine's gdiplus conformance test test_Scan0 (image.c) finds these refused on Windows.
    BYTE pixels[64] = {};
    const struct {
        INT w, h, stride;
        PixelFormat format;
        BYTE* scan0;
        Status expected;
    } cases[] = {
        {0, 4, 4, PixelFormat24bppRGB, pixels, InvalidParameter},
        {4, -1, 12, PixelFormat24bppRGB, pixels, InvalidParameter},
        {4, 1, 14, PixelFormat24bppRGB, pixels, InvalidParameter}, // stride not whole words
        {4, 1, -14, PixelFormat24bppRGB, pixels + 14, InvalidParameter},
    };
    for (const auto& c : cases) {
        GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(pixels);
        EXPECT_EQ(GdipCreateBitmapFromScan0(c.w, c.h, c.stride, c.format, c.scan0, &bitmap), c.expected)
            << c.w << "x" << c.h << " stride " << c.stride;
        EXPECT_EQ(bitmap, nullptr);
    }
    EXPECT_EQ(GdipCreateBitmapFromScan0(1, 1, 4, PixelFormat24bppRGB, pixels, nullptr), InvalidParameter);
}

// What the stand-in refuses besides: strides shorter than a row (whose rows would overlap and run
// past a buffer of stride x height bytes; Windows takes them, Wine's test_Scan0), indexed
// formats, which it does not offer, and sizes beyond what it can address or hold.
TEST(GdiplusScan0Test, StandInRefusesIndexedFormatsAndHugeSizes)
{
    BYTE pixels[64] = {};
    const struct {
        INT w, h, stride;
        PixelFormat format;
        BYTE* scan0;
        Status expected;
    } cases[] = {
        {4, 4, 16, PixelFormat8bppIndexed, pixels, InvalidParameter},
        {INT_MAX, 1, 0, PixelFormat32bppARGB, nullptr, InvalidParameter}, // a row wider than a stride can say
        {100000, 100000, 0, PixelFormat24bppRGB, nullptr, OutOfMemory},
    };
    for (const auto& c : cases) {
        GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(pixels);
        EXPECT_EQ(GdipCreateBitmapFromScan0(c.w, c.h, c.stride, c.format, c.scan0, &bitmap), c.expected)
            << c.w << "x" << c.h << " stride " << c.stride;
        EXPECT_EQ(bitmap, nullptr);
    }
}

TEST(GdiplusQueryTest, NullHandlesAreRefusedAndResultsUntouched)
{
    UINT width = 77;
    PixelFormat format = 77;
    ARGB colour = 77;
    BitmapData data = {};
    EXPECT_EQ(GdipGetImageWidth(nullptr, &width), InvalidParameter);
    EXPECT_EQ(GdipGetImageHeight(nullptr, &width), InvalidParameter);
    EXPECT_EQ(GdipGetImagePixelFormat(nullptr, &format), InvalidParameter);
    EXPECT_EQ(GdipBitmapGetPixel(nullptr, 0, 0, &colour), InvalidParameter);
    EXPECT_EQ(GdipBitmapLockBits(nullptr, nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), InvalidParameter);
    EXPECT_EQ(GdipBitmapUnlockBits(nullptr, &data), InvalidParameter);
    EXPECT_EQ(GdipDisposeImage(nullptr), InvalidParameter);
    EXPECT_EQ(width, 77u);
    EXPECT_EQ(format, 77);
    EXPECT_EQ(colour, 77u);

    BitmapPtr bitmap = MakeBitmap(3, 2, PixelFormat24bppRGB, [](int, int) { return 0xFF123456u; });
    EXPECT_EQ(GdipGetImageWidth(bitmap.get(), nullptr), InvalidParameter);
    EXPECT_EQ(GdipBitmapGetPixel(bitmap.get(), 3, 0, &colour), InvalidParameter);
    EXPECT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, -1, &colour), InvalidParameter);
    EXPECT_EQ(colour, 77u);
}

TEST(GdiplusLockTest, OwnFormatRegionPointsIntoTheImage)
{
    BitmapPtr bitmap = MakeBitmap(6, 4, PixelFormat24bppRGB,
                                  [](int x, int y) { return Color::MakeARGB(255, BYTE(x), BYTE(y), BYTE(x * y)); });
    const Rect region(2, 1, 3, 2);
    BitmapData data = {};
    ASSERT_EQ(
        GdipBitmapLockBits(bitmap.get(), &region, ImageLockModeRead | ImageLockModeWrite, PixelFormat24bppRGB, &data),
        Ok);
    EXPECT_EQ(data.Width, 3u);
    EXPECT_EQ(data.Height, 2u);
    EXPECT_EQ(data.Stride, 20); // the image's own rows
    EXPECT_EQ(At(data, 0, 0)[2], 2);
    EXPECT_EQ(At(data, 0, 0)[1], 1);
    EXPECT_EQ(At(data, 2, 1)[2], 4);
    EXPECT_EQ(At(data, 2, 1)[1], 2);
    EXPECT_EQ(At(data, 2, 1)[0], 8);
    static_cast<BYTE*>(data.Scan0)[0] = 0x99; // blue of image pixel (2, 1)
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    ARGB pixel = 0;
    ASSERT_EQ(GdipBitmapGetPixel(bitmap.get(), 2, 1, &pixel), Ok);
    EXPECT_EQ(pixel & 0xff, 0x99u);
}

TEST(GdiplusLockTest, ConvertedLocksCopyAndWriteBackOnlyWhenAskedTo)
{
    BitmapPtr argb = MakeBitmap(3, 2, PixelFormat32bppARGB, [](int x, int y) {
        return Color::MakeARGB(BYTE(x * 100), BYTE(10 + x), BYTE(20 + y), BYTE(30));
    });
    BitmapData data = {};
    ASSERT_EQ(GdipBitmapLockBits(argb.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(data.Stride, 12); // 9 bytes rounded up
    EXPECT_EQ(data.PixelFormat, PixelFormat24bppRGB);
    // Alpha is dropped; the colour channels stay as stored, even under alpha 0.
    EXPECT_EQ(At(data, 0, 0)[0], 30);
    EXPECT_EQ(At(data, 0, 0)[1], 20);
    EXPECT_EQ(At(data, 0, 0)[2], 10);
    EXPECT_EQ(At(data, 2, 1)[1], 21);
    EXPECT_EQ(At(data, 2, 1)[2], 12);
    std::memset(data.Scan0, 0, 3); // a read lock does not write back
    ASSERT_EQ(GdipBitmapUnlockBits(argb.get(), &data), Ok);
    ARGB pixel = 0;
    ASSERT_EQ(GdipBitmapGetPixel(argb.get(), 0, 0, &pixel), Ok);
    EXPECT_EQ(pixel, Color::MakeARGB(0, 10, 20, 30));

    BitmapPtr rgb = MakeBitmap(2, 2, PixelFormat24bppRGB, [](int x, int y) { return 0xFF010203u + ARGB(x + 4 * y); });
    ASSERT_EQ(
        GdipBitmapLockBits(rgb.get(), nullptr, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &data),
        Ok);
    EXPECT_EQ(data.Stride, 8);
    EXPECT_EQ(At(data, 1, 1)[3], 255);
    EXPECT_EQ(At(data, 1, 1)[0], 0x03 + 5);
    BYTE* p = const_cast<BYTE*>(At(data, 1, 0));
    p[0] = 0xAA;
    p[1] = 0xBB;
    p[2] = 0xCC;
    ASSERT_EQ(GdipBitmapUnlockBits(rgb.get(), &data), Ok);
    ASSERT_EQ(GdipBitmapGetPixel(rgb.get(), 1, 0, &pixel), Ok);
    EXPECT_EQ(pixel, 0xFFCCBBAAu);
    ASSERT_EQ(GdipBitmapGetPixel(rgb.get(), 0, 1, &pixel), Ok);
    EXPECT_EQ(pixel, 0xFF010207u);
}

TEST(GdiplusLockTest, UserBufferReceivesAndReturnsPixels)
{
    BitmapPtr bitmap =
        MakeBitmap(2, 2, PixelFormat24bppRGB, [](int x, int y) { return 0xFF000000u | ARGB(x << 8 | y); });
    std::vector<BYTE> mine(2 * 16, 0x55);
    BitmapData data = {};
    data.Stride = 16;
    data.Scan0 = mine.data();
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr,
                                 ImageLockModeRead | ImageLockModeWrite | ImageLockModeUserInputBuf,
                                 PixelFormat32bppARGB, &data),
              Ok);
    EXPECT_EQ(data.Scan0, mine.data());
    EXPECT_EQ(mine[16 + 4 + 1], 1); // green of (1, 1)
    EXPECT_EQ(mine[16 + 4 + 3], 255);
    EXPECT_EQ(mine[8], 0x55); // beyond the row: untouched
    mine[0] = 0x42;
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    ARGB pixel = 0;
    ASSERT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, 0, &pixel), Ok);
    EXPECT_EQ(pixel, 0xFF000042u);
}

// The stand-in refuses a caller's buffer whose stride is shorter than a row (it would write
// past it), empty or negative lock rectangles, a lock that neither reads nor writes, indexed
// formats, which it does not offer, and reading a pixel of a locked bitmap. Microsoft's
// documentation rules on none of these, and Wine's gdiplus takes them all.
TEST(GdiplusLockTest, StandInRefusesNarrowBuffersEmptyRectanglesAndReadsWhileLocked)
{
    BitmapPtr bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, [](int, int) { return 0xFF000000u; });
    std::vector<BYTE> mine(2 * 16, 0x55);
    BitmapData tooNarrow = {};
    tooNarrow.Stride = 4;
    tooNarrow.Scan0 = mine.data();
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead | ImageLockModeUserInputBuf,
                                 PixelFormat32bppARGB, &tooNarrow),
              InvalidParameter);
    BitmapData data = {};
    for (const Rect& r : {Rect(0, 0, 0, 1), Rect(0, 0, 1, -1)})
        EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), &r, ImageLockModeRead, PixelFormat24bppRGB, &data),
                  InvalidParameter);
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, 0, PixelFormat24bppRGB, &data), InvalidParameter);
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat8bppIndexed, &data),
              InvalidParameter);
    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    ARGB pixel = 0;
    EXPECT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, 0, &pixel), WrongState);
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
}

TEST(GdiplusLockTest, StateAndRectangleChecks)
{
    BitmapPtr bitmap = MakeBitmap(4, 3, PixelFormat24bppRGB, [](int, int) { return 0xFF000000u; });
    BitmapData data = {};
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), WrongState);

    const Rect outside[] = {{-1, 0, 2, 2}, {0, -1, 2, 2}, {3, 0, 2, 1}, {0, 2, 1, 2}};
    for (const Rect& r : outside)
        EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), &r, ImageLockModeRead, PixelFormat24bppRGB, &data), InvalidParameter)
            << r.X << "," << r.Y << " " << r.Width << "x" << r.Height;

    ASSERT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    BitmapData second = {};
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat32bppARGB, &second), WrongState);
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), WrongState);
    // Free again after the unlock.
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat32bppARGB, &second), Ok);
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &second), Ok);
}

// Rectangles whose far edge is beyond int's range reach past the bitmap as surely as those
// above: refused, and nothing stays locked.
TEST(GdiplusLockTest, RectanglesBeyondIntsRangeAreRefused)
{
    BitmapPtr bitmap = MakeBitmap(4, 3, PixelFormat24bppRGB, [](int, int) { return 0xFF000000u; });
    BitmapData data = {};
    for (const Rect& r : {Rect(1, 1, INT_MAX, 1), Rect(INT_MAX, 0, 1, 1), Rect(0, 1, 1, INT_MAX)}) {
        const Status status = GdipBitmapLockBits(bitmap.get(), &r, ImageLockModeRead, PixelFormat24bppRGB, &data);
        EXPECT_EQ(status, InvalidParameter) << r.X << "," << r.Y << " " << r.Width << "x" << r.Height;
        if (status == Ok)
            GdipBitmapUnlockBits(bitmap.get(), &data);
    }
    EXPECT_EQ(GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
}

TEST(GdiplusLockTest, PremultipliedFormatsConvertBothWays)
{
    BitmapPtr bitmap =
        MakeBitmap(1, 1, PixelFormat32bppARGB, [](int, int) { return Color::MakeARGB(128, 255, 100, 0); });
    BitmapData data = {};
    ASSERT_EQ(
        GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppPARGB, &data),
        Ok);
    BYTE* p = static_cast<BYTE*>(data.Scan0);
    EXPECT_EQ(p[3], 128);
    EXPECT_EQ(p[2], 128); // 255 x 128 / 255
    EXPECT_EQ(p[1], 50);
    EXPECT_EQ(p[0], 0);
    ASSERT_EQ(GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    ARGB pixel = 0;
    // Back from premultiplied, a channel may land one step off: how GDI+ rounds is not documented
    // (Wine's gdiplus gives 99 for the green here).
    ASSERT_EQ(GdipBitmapGetPixel(bitmap.get(), 0, 0, &pixel), Ok);
    EXPECT_EQ(pixel >> 24, 128u);
    EXPECT_NEAR(int((pixel >> 16) & 0xff), 255, 1);
    EXPECT_NEAR(int((pixel >> 8) & 0xff), 100, 1);
    EXPECT_NEAR(int(pixel & 0xff), 0, 1);
}

TEST(GdiplusAttributesTest, ColorKeysRefuseBadArguments)
{
    GpImageAttributes* attributes = nullptr;
    ASSERT_EQ(GdipCreateImageAttributes(&attributes), Ok);
    moxtest::AttributesPtr owned(attributes);
    EXPECT_EQ(GdipSetImageAttributesColorKeys(attributes, ColorAdjustTypeDefault, TRUE, 0xFFFF00FF, 0xFFFF00FF), Ok);
    EXPECT_EQ(GdipSetImageAttributesColorKeys(attributes, ColorAdjustTypeDefault, FALSE, 0, 0), Ok);
    EXPECT_EQ(GdipSetImageAttributesColorKeys(attributes, ColorAdjustTypeCount, TRUE, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipSetImageAttributesColorKeys(attributes, ColorAdjustTypeAny, TRUE, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipSetImageAttributesColorKeys(nullptr, ColorAdjustTypeDefault, TRUE, 0, 0), InvalidParameter);
    EXPECT_EQ(GdipCreateImageAttributes(nullptr), InvalidParameter);
    EXPECT_EQ(GdipDisposeImageAttributes(nullptr), InvalidParameter);
}
