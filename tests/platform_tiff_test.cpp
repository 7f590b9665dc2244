// TIFF layouts the stand-in reads: 8-bit RGB and RGBA strips exactly, whatever the alpha's
// kind; other layouts through the general decoder, which premultiplies and is undone. Files are
// written by hand here, since the encoder writes only the straight-alpha strips.
#include <windows.h>

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "test_support.h"
#include "tga_files.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using Bytes = std::vector<unsigned char>;

namespace {

struct TiffLayout {
    unsigned samples = 4;                 // 3: RGB, 4: RGB and one extra sample
    unsigned extraKind = 2;               // 1: associated alpha, 2: unassociated
    bool planar = false;                  // one plane a sample instead of contiguous samples
    std::vector<unsigned char> pixels;    // contiguous samples, rows top first
    unsigned width = 1, height = 1;
    long stripOffsetShift = 0;            // moves the strips' recorded offsets
};

void Put(Bytes& b, size_t at, unsigned v, int n)
{
    for (int k = 0; k < n; ++k)
        b[at + k] = static_cast<unsigned char>(v >> (8 * k));
}

// A little-endian, uncompressed TIFF: one strip, or one strip a plane.
Bytes WriteTiff(const TiffLayout& t)
{
    std::vector<Bytes> planes;
    if (t.planar) {
        planes.resize(t.samples);
        for (size_t k = 0; k < t.pixels.size(); ++k)
            planes[k % t.samples].push_back(t.pixels[k]);
    } else {
        planes.push_back(t.pixels);
    }
    // tag -> (type, values); type 3 is SHORT, 4 LONG.
    std::map<unsigned, std::pair<unsigned, std::vector<unsigned>>> tags;
    tags[256] = {4, {t.width}};
    tags[257] = {4, {t.height}};
    tags[258] = {3, std::vector<unsigned>(t.samples, 8)};
    tags[259] = {3, {1}};
    tags[262] = {3, {2}};
    tags[273] = {4, std::vector<unsigned>(planes.size(), 0)};
    tags[277] = {3, {t.samples}};
    tags[278] = {4, {t.height}};
    tags[279] = {4, {}};
    for (const Bytes& p : planes)
        tags[279].second.push_back(unsigned(p.size()));
    tags[284] = {3, {t.planar ? 2u : 1u}};
    if (t.samples == 4)
        tags[338] = {3, {t.extraKind}};

    const size_t ifd = 8, ifdSize = 2 + 12 * tags.size() + 4;
    Bytes b(ifd + ifdSize, 0);
    b[0] = b[1] = 'I';
    Put(b, 2, 42, 2);
    Put(b, 4, unsigned(ifd), 4);
    Put(b, ifd, unsigned(tags.size()), 2);
    // Values that do not fit in an entry, then the planes.
    std::vector<size_t> arrays;
    size_t entry = ifd + 2;
    std::vector<size_t> stripOffsetSlots;
    for (auto& [tag, value] : tags) {
        const unsigned size = value.first == 3 ? 2 : 4;
        Put(b, entry, tag, 2);
        Put(b, entry + 2, value.first, 2);
        Put(b, entry + 4, unsigned(value.second.size()), 4);
        size_t at = entry + 8;
        if (value.second.size() * size > 4) {
            at = b.size();
            Put(b, entry + 8, unsigned(at), 4);
            b.resize(b.size() + value.second.size() * size, 0);
        }
        for (size_t k = 0; k < value.second.size(); ++k) {
            if (tag == 273)
                stripOffsetSlots.push_back(at + k * size);
            Put(b, at + k * size, value.second[k], int(size));
        }
        entry += 12;
    }
    for (size_t k = 0; k < planes.size(); ++k) {
        Put(b, stripOffsetSlots[k], unsigned(long(b.size()) + t.stripOffsetShift), 4);
        b.insert(b.end(), planes[k].begin(), planes[k].end());
    }
    return b;
}

} // namespace

// Each layout's pixels, as 32bppARGB (straight) or 24bppRGB. GDI+ gives straight ARGB from
// GetPixel whichever alpha the file holds (MSDN Bitmap::GetPixel: the colour is ARGB), and a
// file without alpha back as 24bppRGB (Wine's gdiplus tests, image.c, load TIFF of 24 bits).
TEST(PlatformTiff, EachLayoutLoadsWithStraightAlpha)
{
    const struct {
        const char* what;
        TiffLayout layout;
        PixelFormat format;
        std::vector<ARGB> want;
    } cases[] = {
        {"RGB strips", {3, 0, false, {0x11, 0x22, 0x33, 0xFE, 0x01, 0x80}, 2, 1}, PixelFormat24bppRGB,
         {0xFF112233, 0xFFFE0180}},
        {"unassociated RGBA strips", {4, 2, false, {0xFF, 0xFF, 0xFF, 0x2C, 0x01, 0x02, 0x03, 0x00}, 2, 1},
         PixelFormat32bppARGB, {0x2CFFFFFF, 0x00010203}},
        {"associated RGBA strips (divided out)", {4, 1, false, {0x2C, 0x2C, 0x2C, 0x2C, 0x10, 0x08, 0x00, 0x20}, 2, 1},
         PixelFormat32bppARGB, {0x2CFFFFFF, 0x20804000}},
        {"unassociated RGBA planes (general decoder)", {4, 2, true, {0xFF, 0xFF, 0xFF, 0x2C, 0x80, 0x40, 0x00, 0xFF}, 2, 1},
         PixelFormat32bppARGB, {0x2CFFFFFF, 0xFF804000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = moxtest::TempPath("layout.tiff");
        moxtest::WriteFile(path, WriteTiff(c.layout));
        GpBitmap* bitmap = nullptr;
        ASSERT_EQ(GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &bitmap), Ok);
        PixelFormat format = 0;
        GdipGetImagePixelFormat(bitmap, &format);
        EXPECT_EQ(format, c.format);
        for (size_t x = 0; x < c.want.size(); ++x) {
            ARGB got = 0;
            GdipBitmapGetPixel(bitmap, INT(x), 0, &got);
            EXPECT_EQ(got, c.want[x]) << std::hex << got << " at " << x;
        }
        GdipDisposeImage(bitmap);
    }
}

// A strip recorded past the end of the file (the file is long enough for the pixels it
// declares, so only decoding finds out) fails as a corrupt file does, leaving nothing behind.
TEST(PlatformTiff, AStripOutsideTheFileFails)
{
    TiffLayout layout{4, 2, false, std::vector<unsigned char>(4 * 4 * 4, 0x55), 4, 4};
    layout.stripOffsetShift = 4096;
    const std::string path = moxtest::TempPath("strip-outside.tiff");
    moxtest::WriteFile(path, WriteTiff(layout));
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &bitmap), OutOfMemory);
    EXPECT_EQ(bitmap, nullptr);
}
