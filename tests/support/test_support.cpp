#include "test_support.h"

#ifndef _WIN32
#include <gdk-pixbuf/gdk-pixbuf.h> // Windows builds write PNG files through GDI+ (support/win32)
#include <unistd.h>
#else
#include <process.h>
#define getpid _getpid
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace moxtest {

std::string TempPath(const std::string& name)
{
    static std::atomic<int> counter{0};
    const char* base = std::getenv("MOX_TEST_TMP");
    std::string dir = base ? base : (std::filesystem::temp_directory_path() / "moximage2-tests").string();
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir + "/" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" + name;
}

std::wstring Widen(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

static void Put16(std::vector<unsigned char>& v, unsigned x)
{
    v.push_back(x & 0xff);
    v.push_back((x >> 8) & 0xff);
}
static void Put32(std::vector<unsigned char>& v, unsigned x)
{
    Put16(v, x & 0xffff);
    Put16(v, x >> 16);
}

void WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& pixel)
{
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> file;
    Put16(file, 0x4D42);
    Put32(file, 54 + stride * height);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, width);
    Put32(file, height);
    Put16(file, 1);
    Put16(file, 24);
    for (int i = 0; i < 6; ++i)
        Put32(file, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            Rgb c = pixel(x, y);
            file.push_back(c.b);
            file.push_back(c.g);
            file.push_back(c.r);
        }
        for (int pad = width * 3; pad < stride; ++pad)
            file.push_back(0);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
}

#ifndef _WIN32
void WritePng(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& pixel,
              bool withAlpha)
{
    GdkPixbuf* pb = gdk_pixbuf_new(GDK_COLORSPACE_RGB, withAlpha, 8, width, height);
    const int channels = withAlpha ? 4 : 3;
    const int rowstride = gdk_pixbuf_get_rowstride(pb);
    guchar* bits = gdk_pixbuf_get_pixels(pb);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgba c = pixel(x, y);
            guchar* p = bits + y * rowstride + x * channels;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            if (withAlpha)
                p[3] = c.a;
        }
    GError* error = nullptr;
    gboolean ok = gdk_pixbuf_save(pb, path.c_str(), "png", &error, NULL);
    g_object_unref(pb);
    if (!ok) {
        std::string message = error ? error->message : "unknown error";
        if (error)
            g_error_free(error);
        throw std::runtime_error("cannot write " + path + ": " + message);
    }
}

#endif

std::vector<unsigned char> RawBottomUp(int width, int height, const std::function<Rgb(int, int)>& pixel)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(std::size_t(width) * height * 3);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            Rgb c = pixel(x, y);
            bytes.push_back(c.b);
            bytes.push_back(c.g);
            bytes.push_back(c.r);
        }
    return bytes;
}

BITMAPINFO RawHeader(int width, int height)
{
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = width * height * 3;
    return info;
}

} // namespace moxtest
