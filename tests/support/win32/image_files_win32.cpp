// The test image writers that use gdk-pixbuf elsewhere, written through GDI+'s own encoders.
#include <windows.h>

#include <gdiplus.h>

#include "gdiplus_image_files.h"
#include "test_support.h"

#include <memory>
#include <stdexcept>
#include <vector>

namespace moxtest {
namespace {

std::wstring WidePath(const std::string& path)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

bool EncoderFor(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<unsigned char> storage(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

// Encodes a 32-bit ARGB picture (pixel(x, y) as 0xAARRGGBB) in the given format.
bool Save(const std::string& path, int width, int height, const wchar_t* mimeType, Gdiplus::PixelFormat format,
          const std::function<Gdiplus::ARGB(int, int)>& pixel)
{
    static ULONG_PTR token = 0;
    if (!token) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
            return false;
    }
    CLSID clsid;
    if (!EncoderFor(mimeType, &clsid))
        return false;
    std::vector<Gdiplus::ARGB> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = pixel(x, y);
    Gdiplus::GpBitmap* argb = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                                       reinterpret_cast<BYTE*>(pixels.data()), &argb) != Gdiplus::Ok)
        return false;
    Gdiplus::GpBitmap* converted = nullptr;
    Gdiplus::GpStatus status = Gdiplus::DllExports::GdipCloneBitmapAreaI(0, 0, width, height, format, argb, &converted);
    if (status == Gdiplus::Ok)
        status = Gdiplus::DllExports::GdipSaveImageToFile(converted, WidePath(path).c_str(), &clsid, nullptr);
    if (converted)
        Gdiplus::DllExports::GdipDisposeImage(converted);
    Gdiplus::DllExports::GdipDisposeImage(argb);
    return status == Gdiplus::Ok;
}

} // namespace

void WritePng(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& pixel,
              bool withAlpha)
{
    const bool saved = Save(path, width, height, L"image/png", withAlpha ? PixelFormat32bppARGB : PixelFormat24bppRGB,
                            [&](int x, int y) {
                                const Rgba c = pixel(x, y);
                                const unsigned a = withAlpha ? c.a : 255;
                                return static_cast<Gdiplus::ARGB>(a << 24 | c.r << 16 | c.g << 8 | c.b);
                            });
    if (!saved)
        throw std::runtime_error("cannot write " + path);
}

bool WriteSolidJpeg(const std::string& path, int width, int height, std::uint32_t rgb)
{
    return Save(path, width, height, L"image/jpeg", PixelFormat24bppRGB,
                [&](int, int) { return static_cast<Gdiplus::ARGB>(0xFF000000u | rgb); });
}

} // namespace moxtest
