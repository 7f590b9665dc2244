// Image files cost what their bytes justify: a small file that declares a huge image is refused
// before any decoder reserves it, while files whose data really can fill a large image (long
// runs compress well) still load. The generators below write the shapes an outside fuzzing
// campaign found.
#include <MoxImage2.h>

#include "gdiplus_image_files.h"
#include "test_support.h"
#include "tga_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using Bytes = std::vector<unsigned char>;

namespace {

// Peak virtual size of the process in KiB: it counts memory reserved but never touched, which
// is how a decoder's oversized buffer shows before it fails.
long long PeakVirtualKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmPeak:", 0) == 0)
            return std::atoll(line.c_str() + 7);
    return 0;
}

Status LoadFile(const std::string& path)
{
    GpBitmap* bitmap = nullptr;
    const Status status = GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &bitmap);
    if (bitmap)
        GdipDisposeImage(bitmap);
    return status;
}

void Put16(Bytes& b, size_t at, unsigned v)
{
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void Put32(Bytes& b, size_t at, unsigned v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

void PutBe32(Bytes& b, size_t at, unsigned v)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<unsigned char>(v >> (24 - 8 * k));
}

// A BMP with an info header, a palette for depths up to 8, and `dataBytes` bytes of pixel data
// (a repeating pattern; RLE data is rows of one run of 255 pixels each, then the end of the
// bitmap).
Bytes Bmp(int width, int height, unsigned depth, size_t dataBytes, unsigned compression = 0)
{
    const size_t palette = depth <= 8 ? (size_t(4) << depth) : 0;
    Bytes b(54 + palette, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, unsigned(54 + palette));
    Put32(b, 14, 40);
    Put32(b, 18, unsigned(width));
    Put32(b, 22, unsigned(height));
    Put16(b, 26, 1);
    Put16(b, 28, depth);
    Put32(b, 30, compression);
    for (size_t k = 0; k < dataBytes; ++k)
        b.push_back(compression ? "\xFF\x01\x00\x00"[k % 4] : static_cast<unsigned char>(k * 7));
    if (compression)
        b.insert(b.end(), {0, 1});
    Put32(b, 2, unsigned(b.size()));
    return b;
}

// A PNG signature, its IHDR (8-bit RGB) and one IDAT chunk declaring `declaredData` bytes of
// which the file holds `presentData`.
Bytes Png(unsigned width, unsigned height, unsigned declaredData, size_t presentData)
{
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b.resize(33, 0);
    PutBe32(b, 16, width);
    PutBe32(b, 20, height);
    b[24] = 8;
    b[25] = 2;
    Bytes idat = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x78, 0x9C};
    PutBe32(idat, 0, declaredData);
    idat.resize(8 + presentData, 0);
    b.insert(b.end(), idat.begin(), idat.end());
    return b;
}

// A baseline JPEG's start, frame header (one component) and scan header, then `data` bytes.
Bytes Jpeg(unsigned width, unsigned height, size_t data)
{
    Bytes b = {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 0, 0, 0, 1, 1, 0x11, 0,
               0xFF, 0xDA, 0,    8,    1, 1, 0, 0, 63, 0};
    b[7] = static_cast<unsigned char>(height >> 8);
    b[8] = static_cast<unsigned char>(height);
    b[9] = static_cast<unsigned char>(width >> 8);
    b[10] = static_cast<unsigned char>(width);
    b.resize(b.size() + data, 0x55);
    return b;
}

// A little-endian TIFF of 8-bit greyscale, uncompressed, one strip of `data` bytes.
Bytes Tiff(unsigned width, unsigned height, size_t data)
{
    Bytes b = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const unsigned tags[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, 8}, {259, 3, 1},
                                {262, 3, 1},     {273, 4, 0},      {277, 3, 1}, {279, 4, unsigned(data)}};
    const size_t count = sizeof tags / sizeof tags[0];
    b.resize(8 + 2 + 12 * count + 4, 0);
    Put16(b, 8, unsigned(count));
    for (size_t k = 0; k < count; ++k) {
        const size_t at = 10 + 12 * k;
        Put16(b, at, tags[k][0]);
        Put16(b, at + 2, tags[k][1]);
        Put32(b, at + 4, 1);
        Put32(b, at + 8, tags[k][0] == 273 ? unsigned(b.size()) : tags[k][2]);
    }
    b.resize(b.size() + data, 0x80);
    return b;
}

// A GIF whose screen and only frame are width x height, with `data` bytes of LZW data.
Bytes Gif(unsigned width, unsigned height, size_t data)
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF,
               0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    Put16(b, 6, width);
    Put16(b, 8, height);
    Put16(b, 24, width);
    Put16(b, 26, height);
    for (size_t left = data; left > 0;) {
        const size_t n = left < 255 ? left : 255;
        b.push_back(static_cast<unsigned char>(n));
        b.insert(b.end(), n, 0);
        left -= n;
    }
    b.insert(b.end(), {0, 0x3B});
    return b;
}

} // namespace

// Each file declares far more pixels than its length can carry, though fewer than the pixel
// limit. Each is refused as a corrupt file is (OutOfMemory), reserving little on the way.
// A BMP cut short is refused rather than loaded with made-up rows: the missing rows would cost
// the memory of a full-size image that no byte of the file justifies.
TEST(HostileImageFiles, FilesTooShortForTheirPixelsAreRefusedCheaply)
{
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"1,054-byte BMP of 16384 x 16384 (24 bits)", Bmp(16384, 16384, 24, 1000)},
        {"154-byte BMP of 6 x 16,573,956", Bmp(6, 16573956, 24, 100)},
        {"BMP of 16384 x 16384 at one bit a pixel, cut after its palette", Bmp(16384, 16384, 1, 0)},
        {"RLE8 BMP of 16384 x 16384 ending its bitmap at once", Bmp(16384, 16384, 8, 0, 1)},
        {"270-byte PNG of 16384 x 16384 cut inside its data", Png(16384, 16384, 1u << 20, 229)},
        {"PNG of 16384 x 16384 with no data chunk bytes", Png(16384, 16384, 0, 0)},
        {"JPEG of 16384 x 16384 with 200 bytes of scan", Jpeg(16384, 16384, 200)},
        {"TIFF of 16384 x 16384 with 100 bytes of strip", Tiff(16384, 16384, 100)},
        {"GIF of 16384 x 16384 with 100 bytes of data", Gif(16384, 16384, 100)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = moxtest::TempPath("hostile-short.img");
        moxtest::WriteFile(path, c.bytes);
        const long long peakBefore = PeakVirtualKiB();
        EXPECT_EQ(LoadFile(path), OutOfMemory);
        EXPECT_LT(PeakVirtualKiB() - peakBefore, 50 * 1024);
        CMoxBitmap bitmap;
        bitmap.Init(moxtest::Widen(path).c_str());
        EXPECT_EQ(bitmap.GetWidth(), 0);
    }
}

// The bound is what the data can decode to, not what the file happens to be: images of one
// colour, whose data compress far, still load at full size; a BMP missing only its last row's
// padding loads, one missing a pixel does not.
TEST(HostileImageFiles, DataThatCanFillTheImageStillLoads)
{
    const struct {
        const char* what;
        const char* type; // written by the decoder library; null: `bytes`
        int width, height;
        Bytes bytes;
        Status status;
    } cases[] = {
        {"PNG of 4096 x 4096, one colour", "png", 4096, 4096, {}, Ok},
        {"JPEG of 2048 x 2048, one colour", "jpeg", 2048, 2048, {}, Ok},
        {"TIFF of 1024 x 1024, one colour", "tiff", 1024, 1024, {}, Ok},
        {"BMP of 1024 x 1024, one colour", "bmp", 1024, 1024, {}, Ok},
        {"BMP of 5 x 4, all rows", nullptr, 5, 4, Bmp(5, 4, 24, 4 * 16), Ok},
        {"BMP of 5 x 4 without the last row's padding", nullptr, 5, 4, Bmp(5, 4, 24, 4 * 16 - 1), Ok},
        {"BMP of 5 x 4 missing a byte of its last pixel", nullptr, 5, 4, Bmp(5, 4, 24, 4 * 16 - 2), OutOfMemory},
        {"BMP of 5 x 4 missing its last row", nullptr, 5, 4, Bmp(5, 4, 24, 3 * 16), OutOfMemory},
        {"RLE8 BMP of 255 x 4 in runs", nullptr, 255, 4, Bmp(255, 4, 8, 16, 1), Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = moxtest::TempPath("fillable.img");
        if (c.type)
            ASSERT_TRUE(moxtest::WriteSolidImage(path, c.type, c.width, c.height, 0x336699));
        else
            moxtest::WriteFile(path, c.bytes);
        GpBitmap* bitmap = nullptr;
        ASSERT_EQ(GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &bitmap), c.status);
        if (!bitmap)
            continue;
        UINT width = 0, height = 0;
        GdipGetImageWidth(bitmap, &width);
        GdipGetImageHeight(bitmap, &height);
        EXPECT_EQ(width, UINT(c.width));
        EXPECT_EQ(height, UINT(c.height));
        GdipDisposeImage(bitmap);
    }
}
