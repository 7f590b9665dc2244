// Loading bitmaps from image files through gdk-pixbuf (BMP, PNG, JPEG, GIF, TIFF, ICO and
// whatever else its loaders read).
//
// Statuses, as GDI+ gives them: a missing or unreadable file, anything that is not a regular
// file, or a path that is not valid text, is InvalidParameter; data no loader recognises, or
// that a loader cannot decode (a truncated or corrupt file), is OutOfMemory; an image too large
// to hold is OutOfMemory as well.
//
// Before any decoder runs, the file's header is checked (image_header.h): only the containers
// GDI+ reads are accepted, each must be claimed by its own loader (never by another that
// recognises the bytes), and an image larger than moxplat::GetMaxImagePixels() is refused as OutOfMemory.
//
// Pixels keep the file's own shape: an image with an alpha channel is 32bppARGB (not
// premultiplied), any other is 24bppRGB. The TIFF layouts the encoder writes are read by
// image_tiff.cpp, exactly. A GIF, whose only transparency is its palette key, is
// 24bppRGB when no pixel is transparent and 32bppARGB otherwise.
#include "diagnostics.h"
#include "gdiplus_internal.h"
#include "image_header.h"
#include "image_tiff.h"
#include "windows_path.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <sys/stat.h>

using namespace Gdiplus;

namespace {

// UTF-32 (wchar_t) to UTF-8; false for a value that is no Unicode scalar.
bool ToUtf8(const WCHAR* text, std::string* out)
{
    for (; *text; ++text) {
        const std::uint32_t c = std::uint32_t(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c < 0x80) {
            out->push_back(char(c));
        } else if (c < 0x800) {
            out->push_back(char(0xC0 | (c >> 6)));
            out->push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out->push_back(char(0xE0 | (c >> 12)));
            out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(char(0x80 | (c & 0x3F)));
        } else {
            out->push_back(char(0xF0 | (c >> 18)));
            out->push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out->push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out->push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return true;
}

Status StatusOfError(const GError* error)
{
    if (error && error->domain == G_FILE_ERROR)
        return InvalidParameter;
    return OutOfMemory;
}

// The decoder library picks its loader by sniffing the file; this makes sure it picks the one
// for the container whose header was checked.
bool SniffsAs(const std::string& path, const char* loaderName)
{
    GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path.c_str(), nullptr, nullptr);
    if (!format)
        return false;
    gchar* name = gdk_pixbuf_format_get_name(format);
    const bool same = name && std::strcmp(name, loaderName) == 0;
    g_free(name);
    return same;
}

bool AllOpaque(const GdkPixbuf* pixbuf)
{
    const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
    const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
    const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
    for (int y = 0; y < height; ++y) {
        const guint8* row = pixels + std::ptrdiff_t(y) * rowstride;
        for (int x = 0; x < width; ++x)
            if (row[4 * x + 3] != 255)
                return false;
    }
    return true;
}

// Copies an 8-bit RGB or RGBA pixbuf into a new bitmap (blue, green, red[, alpha] bytes).
moxplat::BitmapImpl* BitmapFromPixbuf(const GdkPixbuf* pixbuf, bool dropAlpha, Status* status)
{
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    if (gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 ||
        (channels != 3 && channels != 4)) {
        *status = OutOfMemory;
        return nullptr;
    }
    const bool alpha = channels == 4 && !dropAlpha;
    const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
    moxplat::BitmapImpl* bitmap =
        moxplat::NewBitmap(width, height, alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB, status);
    if (!bitmap)
        return nullptr;
    const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
    const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
    const int outBpp = alpha ? 4 : 3;
    for (int y = 0; y < height; ++y) {
        const guint8* in = pixels + std::ptrdiff_t(y) * rowstride;
        std::uint8_t* out = bitmap->Row(y);
        for (int x = 0; x < width; ++x, in += channels, out += outBpp) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            if (alpha)
                out[3] = in[3];
        }
    }
    return bitmap;
}

} // namespace

namespace Gdiplus {
namespace DllExports {

extern "C" GpStatus WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST WCHAR* filename, GpBitmap** bitmap)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(bitmap);
    // Without a name the out-pointer is left alone (gdiplus tests/image.c test_LoadingImages).
    if (!bitmap || !filename)
        return InvalidParameter;
    *bitmap = nullptr;
    std::string path;
    if (!filename || !*filename || !ToUtf8(filename, &path))
        return InvalidParameter;
    path = moxplat::ResolveWindowsPath(path.c_str());

    // Only regular files: a directory is no image, and a device or pipe might never end.
    if (!g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR))
        return InvalidParameter;

    // The header check reads the file through its own handle, closed before decoding.
    moxplat::ImageHeaderCheck check;
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
        struct stat info;
        if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
            return InvalidParameter;
        check = moxplat::CheckImageHeader(file.get(), std::uint64_t(info.st_size), moxplat::GetMaxImagePixels());
    }
    if (check.refusal) {
        moxplat::Diagnose("%s: refused: %s", path.c_str(), check.refusal);
        return OutOfMemory;
    }
    if (!SniffsAs(path, moxplat::LoaderName(check.container))) {
        moxplat::Diagnose("%s: refused: another decoder claims the file", path.c_str());
        return OutOfMemory;
    }

    const bool tiff = check.container == moxplat::ImageContainer::Tiff;
    if (tiff) {
        moxplat::BitmapImpl* b = nullptr;
        Status status = Ok;
        const moxplat::TiffRead read = moxplat::ReadTiff(path, &b, &status);
        if (read == moxplat::TiffRead::Done)
            *bitmap = b;
        if (read != moxplat::TiffRead::NotHandled)
            return status;
    }

    GError* error = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), &error);
    if (!pixbuf) {
        const Status status = StatusOfError(error);
        if (error)
            g_error_free(error);
        return status;
    }
    if (error)
        g_error_free(error);

    const bool dropAlpha = gdk_pixbuf_get_has_alpha(pixbuf) && gdk_pixbuf_get_n_channels(pixbuf) == 4 &&
                           check.container == moxplat::ImageContainer::Gif && AllOpaque(pixbuf);
    Status status = Ok;
    moxplat::BitmapImpl* b = BitmapFromPixbuf(pixbuf, dropAlpha, &status);
    g_object_unref(pixbuf);
    if (!b)
        return status;
    // The TIFF decoder underneath premultiplies whatever alpha the file holds.
    if (tiff && b->format == PixelFormat32bppARGB)
        moxplat::Unpremultiply(b);
    *bitmap = b;
    return Ok;
}

} // namespace DllExports
} // namespace Gdiplus
