// The save/reload path: an image saved by an encoder reloads with the pixels it was saved with.
//
// The first byte picks the source. Even: a bitmap built from the bytes that follow (encoder,
// pixel format, width and height, then pixels). Odd: the rest is an image file of any kind,
// loaded through the header checks and the decoders; when it loads it is the source. Either
// way the source is saved by the encoder the next byte picks and read back; lossless encoders
// must give back every pixel (alpha where the file keeps it), and any encoder the same size.
#include <MoxImage2.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>
#include <unistd.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct Bytes {
    const std::uint8_t* data;
    size_t size;
    std::uint8_t Next() { return size ? (--size, *data++) : 0; }
};

struct Encoder {
    const char* extension;
    bool lossless, keepsAlpha;
    CLSID clsid;
};

std::vector<Encoder>& Encoders()
{
    static std::vector<Encoder> encoders = [] {
        std::vector<Encoder> list;
        UINT count = 0, size = 0;
        if (GdipGetImageEncodersSize(&count, &size) != Ok || size == 0)
            return list;
        std::vector<std::uint8_t> buffer(size);
        auto* info = reinterpret_cast<ImageCodecInfo*>(buffer.data());
        if (GdipGetImageEncoders(count, size, info) != Ok)
            return list;
        for (UINT k = 0; k < count; ++k) {
            const std::wstring mime = info[k].MimeType;
            if (mime == L"image/png")
                list.push_back({"png", true, true, info[k].Clsid});
            else if (mime == L"image/tiff")
                list.push_back({"tiff", true, true, info[k].Clsid});
            else if (mime == L"image/bmp")
                list.push_back({"bmp", true, false, info[k].Clsid});
            else if (mime == L"image/jpeg")
                list.push_back({"jpg", false, false, info[k].Clsid});
        }
        return list;
    }();
    return encoders;
}

std::wstring Scratch(const char* extension)
{
    const std::string narrow = "/tmp/save_reload_fuzz-" + std::to_string(::getpid()) + "." + extension;
    return std::wstring(narrow.begin(), narrow.end());
}

bool WriteFile(const std::wstring& path, const std::uint8_t* data, size_t size)
{
    const std::string narrow(path.begin(), path.end());
    FILE* f = std::fopen(narrow.c_str(), "wb");
    if (!f)
        return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

// A bitmap from the fuzzer's bytes over `pixels`: format, size up to 64 x 64, then the pixels'
// bytes as the format stores them (zeros once the bytes run out; a premultiplied pixel may be
// one no straight colour gives, as in any caller's memory).
GpBitmap* BuildSource(Bytes& in, std::vector<std::uint8_t>* pixels)
{
    static const PixelFormat formats[] = {PixelFormat24bppRGB, PixelFormat32bppRGB, PixelFormat32bppARGB,
                                          PixelFormat32bppPARGB};
    const PixelFormat format = formats[in.Next() % 4];
    const int width = 1 + in.Next() % 64, height = 1 + in.Next() % 64;
    const int stride = (width * (format == PixelFormat24bppRGB ? 3 : 4) + 3) / 4 * 4;
    pixels->assign(std::size_t(stride) * std::size_t(height), 0);
    for (std::uint8_t& byte : *pixels)
        byte = in.Next();
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, stride, format, pixels->data(), &bitmap) != Ok)
        return nullptr;
    return bitmap;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static ULONG_PTR token = 0;
    GdiplusStartupInput input;
    GdiplusStartup(&token, &input, nullptr);
    MoxSetMaxImagePixels(1u << 16); // every run stays fast; the checks are the same at any limit
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (Encoders().empty())
        return 0;
    Bytes in{data, size};
    const bool fromFile = in.Next() & 1;
    const Encoder& encoder = Encoders()[in.Next() % Encoders().size()];

    GpBitmap* source = nullptr;
    std::vector<std::uint8_t> pixels;
    if (fromFile) {
        const std::wstring path = Scratch("in");
        if (!WriteFile(path, in.data, in.size) || GdipCreateBitmapFromFile(path.c_str(), &source) != Ok)
            return 0;
    } else {
        source = BuildSource(in, &pixels);
    }
    if (!source)
        return 0;

    const std::wstring saved = Scratch(encoder.extension);
    if (GdipSaveImageToFile(source, saved.c_str(), &encoder.clsid, nullptr) != Ok)
        __builtin_trap(); // a bitmap in memory can always be written to a scratch file
    GpBitmap* back = nullptr;
    if (GdipCreateBitmapFromFile(saved.c_str(), &back) != Ok)
        __builtin_trap(); // what an encoder writes, the loader reads
    UINT w = 0, h = 0, bw = 0, bh = 0;
    PixelFormat format = 0;
    GdipGetImageWidth(source, &w);
    GdipGetImageHeight(source, &h);
    GdipGetImageWidth(back, &bw);
    GdipGetImageHeight(back, &bh);
    GdipGetImagePixelFormat(source, &format);
    if (w != bw || h != bh)
        __builtin_trap();
    const bool alpha = encoder.keepsAlpha && (format & PixelFormatAlpha);
    for (UINT y = 0; encoder.lossless && y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            ARGB want = 0, got = 0;
            GdipBitmapGetPixel(source, INT(x), INT(y), &want);
            GdipBitmapGetPixel(back, INT(x), INT(y), &got);
            if (!alpha)
                want |= 0xFF000000u;
            if (want != got)
                __builtin_trap();
        }
    GdipDisposeImage(back);
    GdipDisposeImage(source);
    return 0;
}
