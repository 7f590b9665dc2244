// Saving GDI+ bitmaps: the encoder list, Image::Save for each encoder (read back with the
// platform's own loader), the JPEG quality, refusals, and bitmaps copied from DIB sections.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "gdiplus_image_support.h"
#include "test_support.h"

using namespace Gdiplus;
using moxtest::BitmapPtr;
using moxtest::MakeBitmap;

namespace {

std::vector<ImageCodecInfo> Encoders()
{
    UINT count = 0, size = 0;
    EXPECT_EQ(GetImageEncodersSize(&count, &size), Ok);
    std::vector<ImageCodecInfo> list(count);
    EXPECT_EQ(GetImageEncoders(count, size, list.data()), Ok);
    return list;
}

// The identifier of the encoder with this MIME type, the way Windows hosts look it up.
bool EncoderClsid(const wchar_t* mime, CLSID* clsid)
{
    for (const ImageCodecInfo& info : Encoders())
        if (std::wcscmp(info.MimeType, mime) == 0) {
            *clsid = info.Clsid;
            return true;
        }
    return false;
}

ARGB Picture(int x, int y)
{
    return 0xFF000000u | (ARGB(x * 37) << 16) | (ARGB(y * 53 & 0xff) << 8) | ARGB((x ^ y) * 11 & 0xff);
}

long FileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? long(st.st_size) : -1;
}

Status SaveAs(GpImage* image, const std::string& path, const wchar_t* mime, const EncoderParameters* params = nullptr)
{
    CLSID clsid{};
    if (!EncoderClsid(mime, &clsid))
        return UnknownImageFormat;
    return DllExports::GdipSaveImageToFile(image, moxtest::Widen(path).c_str(), &clsid, params);
}

BitmapPtr Load(const std::string& path)
{
    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &bitmap), Ok) << path;
    return BitmapPtr(bitmap);
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

} // namespace

TEST(GdiplusEncodersTest, ListsWhatGdkPixbufWritesUnderGdiplusIdentifiers)
{
    const std::vector<ImageCodecInfo> list = Encoders();
    // Identifiers as GDI+ documents them; GIF has no writer in gdk-pixbuf and is never listed.
    const struct {
        const wchar_t* mime;
        DWORD clsidFirst;
        GUID format;
    } expected[] = {{L"image/bmp", 0x557cf400, ImageFormatBMP},
                    {L"image/jpeg", 0x557cf401, ImageFormatJPEG},
                    {L"image/tiff", 0x557cf405, ImageFormatTIFF},
                    {L"image/png", 0x557cf406, ImageFormatPNG}};
    for (const auto& e : expected) {
        CLSID clsid{};
        ASSERT_TRUE(EncoderClsid(e.mime, &clsid)) << "no encoder for " << std::wstring(e.mime).size();
        EXPECT_EQ(clsid.Data1, e.clsidFirst);
        for (const ImageCodecInfo& info : list)
            if (info.Clsid == clsid) {
                EXPECT_TRUE(info.FormatID == e.format);
                EXPECT_TRUE(info.Flags & ImageCodecFlagsEncoder);
            }
    }
    CLSID gif{};
    EXPECT_FALSE(EncoderClsid(L"image/gif", &gif));

    // Wine's conformance tests: the count and size must be what the size query gave.
    UINT count = 0, size = 0;
    ASSERT_EQ(GetImageEncodersSize(&count, &size), Ok);
    std::vector<ImageCodecInfo> buffer(count + 1);
    EXPECT_EQ(GetImageEncoders(count, size - 1, buffer.data()), GenericError);
    EXPECT_EQ(GetImageEncoders(count + 1, size, buffer.data()), GenericError);
    EXPECT_EQ(GetImageEncoders(count, size, nullptr), GenericError);
    EXPECT_EQ(GetImageEncodersSize(nullptr, &size), InvalidParameter);
}

TEST(GdiplusSaveTest, EachEncoderWritesAFileThatLoadsBack)
{
    BitmapPtr argb = MakeBitmap(7, 5, PixelFormat32bppARGB,
                                [](int x, int y) { return (Picture(x, y) & 0x00FFFFFF) | (ARGB(x * 40) << 24); });
    BitmapPtr rgb = MakeBitmap(7, 5, PixelFormat24bppRGB, Picture);
    const struct {
        const wchar_t* mime;
        const char* name;
        GpBitmap* source;
        PixelFormat loaded; // what reading the file back gives
        int tolerance;      // per channel
    } cases[] = {
        {L"image/png", "rgb.png", rgb.get(), PixelFormat24bppRGB, 0},
        {L"image/png", "argb.png", argb.get(), PixelFormat32bppARGB, 0},
        {L"image/bmp", "rgb.bmp", rgb.get(), PixelFormat24bppRGB, 0},
        {L"image/bmp", "argb.bmp", argb.get(), PixelFormat24bppRGB, 0}, // alpha is dropped
        // GDI+ (Wine's too) gives back the 24 bits written.
        {L"image/tiff", "rgb.tiff", rgb.get(), PixelFormat24bppRGB, 0},
        {L"image/jpeg", "rgb.jpg", rgb.get(), PixelFormat24bppRGB, 80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = moxtest::TempPath(c.name);
        std::remove(path.c_str());
        ASSERT_EQ(SaveAs(c.source, path, c.mime), Ok);
        BitmapPtr back = Load(path);
        ASSERT_TRUE(back);
        PixelFormat format = 0;
        ASSERT_EQ(DllExports::GdipGetImagePixelFormat(back.get(), &format), Ok);
        EXPECT_EQ(format, c.loaded);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                ARGB want = PixelOf(c.source, x, y);
                if (c.loaded == PixelFormat24bppRGB)
                    want |= 0xFF000000u;
                ASSERT_LE(ChannelDistance(PixelOf(back.get(), x, y), want), c.tolerance) << x << "," << y;
            }
    }
}

namespace {

// A smooth 256 x 256 picture: what a frame looks like more than noise does.
BitmapPtr SmoothFrame()
{
    return MakeBitmap(256, 256, PixelFormat24bppRGB,
                      [](int x, int y) { return 0xFF000000u | (ARGB(x) << 16) | (ARGB(y) << 8) | 0x40; });
}

// One JPEG quality parameter, a Long read from *quality when the image is saved.
EncoderParameters JpegQuality(ULONG* quality)
{
    EncoderParameters params{};
    params.Count = 1;
    params.Parameter[0].Guid = EncoderQuality;
    params.Parameter[0].NumberOfValues = 1;
    params.Parameter[0].Type = EncoderParameterValueTypeLong;
    params.Parameter[0].Value = quality;
    return params;
}

} // namespace

// Microsoft's "Setting JPEG Compression Level" example: the quality parameter, 0 to 100, trades
// the file's size for fidelity.
TEST(GdiplusSaveTest, JpegQualityTradesSizeForFidelity)
{
    BitmapPtr frame = SmoothFrame();
    ULONG quality = 0;
    EncoderParameters params = JpegQuality(&quality);

    const std::string low = moxtest::TempPath("low.jpg"), high = moxtest::TempPath("high.jpg");
    quality = 5;
    ASSERT_EQ(SaveAs(frame.get(), low, L"image/jpeg", &params), Ok);
    quality = 95;
    ASSERT_EQ(SaveAs(frame.get(), high, L"image/jpeg", &params), Ok);
    EXPECT_LT(FileSize(low), FileSize(high));
}

TEST(GdiplusSaveTest, PngIsCompressed)
{
    // How hard the encoder deflates is its own business (Wine's keeps this frame at about 140 KB,
    // the stand-in's under 50 KB); stored rows would take more than the raw pixels.
    BitmapPtr frame = SmoothFrame();
    const std::string png = moxtest::TempPath("frame.png");
    ASSERT_EQ(SaveAs(frame.get(), png, L"image/png"), Ok);
    EXPECT_LT(FileSize(png), 256 * 256 * 3) << "the PNG is deflated, not stored";
#ifndef _WIN32
    EXPECT_LT(FileSize(png), 256 * 256 * 3 / 4);
#endif
}

// The stand-in refuses a JPEG quality beyond 100, or one given in another type than Long, and
// writes nothing. Microsoft documents the quality as a Long from 0 to 100 without saying what
// happens to others; Wine's gdiplus takes them.
TEST(GdiplusSaveTest, StandInRefusesQualitiesOutOfRangeOrOfAnotherType)
{
    BitmapPtr frame = SmoothFrame();
    ULONG quality = 0;
    EncoderParameters params = JpegQuality(&quality);
    const std::string bad = moxtest::TempPath("bad.jpg");
    std::remove(bad.c_str());
    quality = 101;
    EXPECT_EQ(SaveAs(frame.get(), bad, L"image/jpeg", &params), InvalidParameter);
    quality = 50;
    params.Parameter[0].Type = EncoderParameterValueTypeShort;
    EXPECT_EQ(SaveAs(frame.get(), bad, L"image/jpeg", &params), InvalidParameter);
    EXPECT_EQ(FileSize(bad), -1);
}

TEST(GdiplusSaveTest, RefusalsFollowGdiplusStatuses)
{
    BitmapPtr bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, Picture);
    CLSID png{};
    ASSERT_TRUE(EncoderClsid(L"image/png", &png));
    const CLSID unknown = {0x12345678, 0x1a04, 0x11d3, {0, 0, 0, 0, 0, 0, 0, 0}};
    const std::wstring path = moxtest::Widen(moxtest::TempPath("refused.png"));
    const std::wstring unwritable = moxtest::Widen(moxtest::TempPath("no-such-dir/frame.png"));

    // Evidence: Wine's conformance tests (null arguments are InvalidParameter) and its encoder
    // lookup (an identifier without an encoder is UnknownImageFormat; a file that cannot be
    // created is GenericError).
    const struct {
        const char* what;
        GpImage* image;
        const wchar_t* file;
        const CLSID* clsid;
        Status expected;
    } cases[] = {
        {"no image", nullptr, path.c_str(), &png, InvalidParameter},
        {"no file name", bitmap.get(), nullptr, &png, InvalidParameter},
        {"no encoder", bitmap.get(), path.c_str(), nullptr, InvalidParameter},
        {"unknown encoder", bitmap.get(), path.c_str(), &unknown, UnknownImageFormat},
        {"missing directory", bitmap.get(), unwritable.c_str(), &png, GenericError},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DllExports::GdipSaveImageToFile(c.image, c.file, c.clsid, nullptr), c.expected) << c.what;
}

// Refusals of the stand-in's own: names that are empty or not Unicode (Wine's gdiplus answers
// GenericError, as for any file it cannot create), GIF, which gdk-pixbuf cannot write (GDI+ has
// a GIF encoder), and a locked bitmap (Wine answers GenericError). Microsoft's documentation
// names no status for these.
TEST(GdiplusSaveTest, StandInRefusesBadNamesGifAndLockedBitmaps)
{
    BitmapPtr bitmap = MakeBitmap(2, 2, PixelFormat24bppRGB, Picture);
    CLSID png{};
    ASSERT_TRUE(EncoderClsid(L"image/png", &png));
    const CLSID gif = {0x557cf402, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const std::wstring path = moxtest::Widen(moxtest::TempPath("refused.png"));
    const wchar_t surrogate[] = {L'a', wchar_t(0xD800), L'\0'};
    EXPECT_EQ(DllExports::GdipSaveImageToFile(bitmap.get(), L"", &png, nullptr), InvalidParameter);
    EXPECT_EQ(DllExports::GdipSaveImageToFile(bitmap.get(), surrogate, &png, nullptr), InvalidParameter);
    EXPECT_EQ(DllExports::GdipSaveImageToFile(bitmap.get(), path.c_str(), &gif, nullptr), UnknownImageFormat);

    // A locked bitmap cannot be saved until it is unlocked.
    BitmapData data{};
    ASSERT_EQ(DllExports::GdipBitmapLockBits(bitmap.get(), nullptr, ImageLockModeRead, PixelFormat24bppRGB, &data), Ok);
    EXPECT_EQ(DllExports::GdipSaveImageToFile(bitmap.get(), path.c_str(), &png, nullptr), WrongState);
    ASSERT_EQ(DllExports::GdipBitmapUnlockBits(bitmap.get(), &data), Ok);
    EXPECT_EQ(DllExports::GdipSaveImageToFile(bitmap.get(), path.c_str(), &png, nullptr), Ok);
}

TEST(GdiplusFromHbitmapTest, CopiesSectionsTopRowFirstEitherWayUp)
{
    for (const bool bottomUp : {false, true}) {
        SCOPED_TRACE(bottomUp ? "bottom-up" : "top-down");
        moxtest::Section section(5, 3, bottomUp);
        section.Fill(0x102030);
        // Mark the top-left and bottom-right pixels through a Graphics on the section's DC.
        BitmapPtr marks = MakeBitmap(1, 1, PixelFormat24bppRGB, [](int, int) { return 0xFFFF0000u; });
        ASSERT_EQ(DllExports::GdipDrawImageI(section.graphics(), marks.get(), 0, 0), Ok);
        ASSERT_EQ(section.At(0, 0), 0xFF0000u);

        Bitmap* copy = Bitmap::FromHBITMAP(section.bitmap(), nullptr);
        ASSERT_NE(copy, nullptr);
        ASSERT_EQ(copy->GetLastStatus(), Ok);
        EXPECT_EQ(copy->GetWidth(), 5u);
        EXPECT_EQ(copy->GetHeight(), 3u);
        EXPECT_EQ(copy->GetPixelFormat(), PixelFormat24bppRGB);
        Color c;
        ASSERT_EQ(copy->GetPixel(0, 0, &c), Ok);
        EXPECT_EQ(c.GetValue(), 0xFFFF0000u);
        ASSERT_EQ(copy->GetPixel(4, 2, &c), Ok);
        EXPECT_EQ(c.GetValue(), 0xFF102030u);

        // A copy: later drawing on the section does not reach it.
        section.Fill(0);
        ASSERT_EQ(copy->GetPixel(0, 0, &c), Ok);
        EXPECT_EQ(c.GetValue(), 0xFFFF0000u);
        delete copy;
    }

    GpBitmap* bitmap = nullptr;
    EXPECT_EQ(DllExports::GdipCreateBitmapFromHBITMAP(nullptr, nullptr, &bitmap), InvalidParameter);
    EXPECT_EQ(DllExports::GdipCreateBitmapFromHBITMAP(reinterpret_cast<HBITMAP>(&bitmap), nullptr, &bitmap),
              InvalidParameter);
    EXPECT_EQ(bitmap, nullptr);
}

TEST(GdiplusSaveTest, ClassInterfaceSavesABitmapMadeOverABackBuffer)
{
    // The way a host saves its canvas: a Bitmap over the section's own bytes (blue, green, red;
    // rows top first), saved as PNG.
    moxtest::Section section(4, 2);
    section.Fill(0x3366CC);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(section.bitmap(), sizeof ds, &ds), int(sizeof ds));
    Bitmap frame(4, 2, ds.dsBm.bmWidthBytes, PixelFormat24bppRGB, static_cast<BYTE*>(ds.dsBm.bmBits));
    ASSERT_EQ(frame.GetLastStatus(), Ok);
    CLSID png{};
    ASSERT_TRUE(EncoderClsid(L"image/png", &png));
    const std::string path = moxtest::TempPath("backbuffer.png");
    ASSERT_EQ(frame.Save(moxtest::Widen(path).c_str(), &png, nullptr), Ok);
    BitmapPtr back = Load(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(PixelOf(back.get(), 3, 1), 0xFF3366CCu);
}
