// Saving bitmaps to files, GDI+'s way: the host picks an encoder by its class identifier from
// GetImageEncoders (usually by MIME type) and hands it to Image::Save. gdk-pixbuf does the
// encoding. The list holds BMP, JPEG, TIFF and PNG when gdk-pixbuf can write them; it has no
// GIF writer, so GIF is never listed and saving with its identifier fails as GDI+ fails for an
// encoder it does not have (UnknownImageFormat).
//
// Also here: a bitmap copied from a GDI bitmap (Bitmap::FromHBITMAP), the usual way to save what
// a device context shows.
#include "diagnostics.h"
#include "gdi_registry.h"
#include "gdiplus_internal.h"
#include "gdiplus_tools.h"
#include "windows_path.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

struct Encoder {
    const char* pixbufType; // gdk-pixbuf's name for the format
    bool keepsAlpha;        // whether the file can carry an alpha channel
    ImageCodecInfo info;
};

// GDI+'s own identifiers and descriptions of its built-in encoders, so that a host looking one
// up by CLSID, format or MIME type finds it here as on Windows.
constexpr GUID Codec(DWORD first)
{
    return {first, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
}
constexpr DWORD kEncoderFlags =
    ImageCodecFlagsEncoder | ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin;
constexpr BYTE kBmpSignature[] = {0x42, 0x4D};
constexpr BYTE kJpegSignature[] = {0xFF, 0xD8};
constexpr BYTE kTiffSignature[] = {0x49, 0x49, 0x2A, 0x00, 0x4D, 0x4D, 0x00, 0x2A};
constexpr BYTE kPngSignature[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr BYTE kMask[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

const Encoder kKnownEncoders[] = {
    {"bmp",
     false,
     {Codec(0x557cf400), ImageFormatBMP, L"Built-in BMP Codec", nullptr, L"BMP", L"*.BMP;*.DIB;*.RLE", L"image/bmp",
      kEncoderFlags, 1, 1, 2, kBmpSignature, kMask}},
    {"jpeg",
     false,
     {Codec(0x557cf401), ImageFormatJPEG, L"Built-in JPEG Codec", nullptr, L"JPEG", L"*.JPG;*.JPEG;*.JPE;*.JFIF",
      L"image/jpeg", kEncoderFlags, 1, 1, 2, kJpegSignature, kMask}},
    {"tiff",
     true,
     {Codec(0x557cf405), ImageFormatTIFF, L"Built-in TIFF Codec", nullptr, L"TIFF", L"*.TIF;*.TIFF", L"image/tiff",
      kEncoderFlags, 1, 2, 4, kTiffSignature, kMask}},
    {"png",
     true,
     {Codec(0x557cf406), ImageFormatPNG, L"Built-in PNG Codec", nullptr, L"PNG", L"*.PNG", L"image/png", kEncoderFlags,
      1, 1, 8, kPngSignature, kMask}},
};

bool PixbufCanWrite(const char* type)
{
    bool writable = false;
    GSList* formats = gdk_pixbuf_get_formats();
    for (GSList* f = formats; f; f = f->next) {
        auto* format = static_cast<GdkPixbufFormat*>(f->data);
        gchar* name = gdk_pixbuf_format_get_name(format);
        if (name && std::strcmp(name, type) == 0)
            writable = gdk_pixbuf_format_is_writable(format);
        g_free(name);
    }
    g_slist_free(formats);
    return writable;
}

// The encoders this machine's gdk-pixbuf can write, worked out once.
const std::vector<const Encoder*>& AvailableEncoders()
{
    static const std::vector<const Encoder*> encoders = [] {
        std::vector<const Encoder*> list;
        for (const Encoder& e : kKnownEncoders)
            if (PixbufCanWrite(e.pixbufType))
                list.push_back(&e);
        return list;
    }();
    return encoders;
}

const Encoder* FindEncoder(const CLSID& clsid)
{
    for (const Encoder* e : AvailableEncoders())
        if (e->info.Clsid == clsid)
            return e;
    return nullptr;
}

// The JPEG quality the parameters ask for (-1 when they name none); false when a parameter this
// encoder understands is malformed or out of range. Parameters it does not understand are
// ignored.
bool ReadQuality(const EncoderParameters* params, int* quality)
{
    *quality = -1;
    if (!params)
        return true;
    for (UINT i = 0; i < params->Count; ++i) {
        const EncoderParameter& p = params->Parameter[i];
        if (p.Guid != EncoderQuality)
            continue;
        if (p.NumberOfValues != 1 || p.Type != EncoderParameterValueTypeLong || !p.Value)
            return false;
        const ULONG value = *static_cast<const ULONG*>(p.Value);
        if (value > 100)
            return false;
        *quality = int(value);
    }
    return true;
}

// A non-premultiplied 8-bit RGB or RGBA copy of the bitmap; null when memory runs out.
GdkPixbuf* PixbufOf(const moxplat::BitmapImpl& b, bool withAlpha)
{
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, withAlpha, 8, b.width, b.height);
    if (!pixbuf)
        return nullptr;
    const int channels = withAlpha ? 4 : 3;
    const int bpp = moxplat::BytesPerPixel(b.format);
    const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
    guint8* pixels = gdk_pixbuf_get_pixels(pixbuf);
    for (int y = 0; y < b.height; ++y) {
        const std::uint8_t* in = b.Row(y);
        guint8* out = pixels + std::ptrdiff_t(y) * rowstride;
        for (int x = 0; x < b.width; ++x, in += bpp, out += channels) {
            const ARGB c = moxplat::ReadPixel(b.format, in);
            out[0] = guint8(c >> 16);
            out[1] = guint8(c >> 8);
            out[2] = guint8(c);
            if (withAlpha)
                out[3] = guint8(c >> 24);
        }
    }
    return pixbuf;
}

bool HasAlpha(PixelFormat format)
{
    return (format & PixelFormatAlpha) != 0;
}

// UTF-8 of a file name; false when it holds a value that is no Unicode scalar.
bool FileNameToUtf8(const WCHAR* name, std::string* out)
{
    const std::size_t length = std::wcslen(name);
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = std::uint32_t(name[i]);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
    }
    *out = moxplat::ResolveWindowsPath(moxplat::WideToUtf8(name, length).c_str());
    return true;
}

} // namespace

namespace Gdiplus {
namespace DllExports {

extern "C" GpStatus WINGDIPAPI GdipGetImageEncodersSize(UINT* numEncoders, UINT* size)
{
    if (!numEncoders || !size)
        return InvalidParameter;
    const std::size_t count = AvailableEncoders().size();
    *numEncoders = UINT(count);
    *size = UINT(count * sizeof(ImageCodecInfo));
    return Ok;
}

// The count and size must be exactly what GdipGetImageEncodersSize reported.
extern "C" GpStatus WINGDIPAPI GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders)
{
    const std::vector<const Encoder*>& available = AvailableEncoders();
    if (!encoders || numEncoders != available.size() || size != available.size() * sizeof(ImageCodecInfo))
        return GenericError;
    for (std::size_t i = 0; i < available.size(); ++i)
        encoders[i] = available[i]->info;
    return Ok;
}

// Statuses as GDI+ gives them: a missing argument is InvalidParameter, an encoder identifier
// it does not have is UnknownImageFormat, and a file that cannot be written is GenericError.
// BMP and JPEG files are written without alpha; PNG and TIFF keep it when the bitmap has it.
extern "C" GpStatus WINGDIPAPI GdipSaveImageToFile(GpImage* image, GDIPCONST WCHAR* filename,
                                                   GDIPCONST CLSID* clsidEncoder,
                                                   GDIPCONST EncoderParameters* encoderParams)
{
    if (!image || !filename || !clsidEncoder)
        return InvalidParameter;
    const Encoder* encoder = FindEncoder(*clsidEncoder);
    if (!encoder) {
        moxplat::Diagnose("GdipSaveImageToFile: no such encoder");
        return UnknownImageFormat;
    }
    int quality = -1;
    if (!ReadQuality(encoderParams, &quality)) {
        moxplat::Diagnose("GdipSaveImageToFile: bad encoder parameter");
        return InvalidParameter;
    }
    std::string path;
    if (!*filename || !FileNameToUtf8(filename, &path))
        return InvalidParameter;
    const moxplat::BitmapImpl* b = moxplat::ToImpl(image);
    if (b->lock.active)
        return WrongState;

    GdkPixbuf* pixbuf = PixbufOf(*b, encoder->keepsAlpha && HasAlpha(b->format));
    if (!pixbuf)
        return OutOfMemory;
    std::string qualityText = std::to_string(quality);
    char qualityKey[] = "quality";
    char* keys[] = {qualityKey, nullptr};
    char* values[] = {&qualityText[0], nullptr};
    const bool jpegQuality = quality >= 0 && std::strcmp(encoder->pixbufType, "jpeg") == 0;
    GError* error = nullptr;
    const gboolean saved = gdk_pixbuf_savev(pixbuf, path.c_str(), encoder->pixbufType, jpegQuality ? keys : nullptr,
                                            jpegQuality ? values : nullptr, &error);
    g_object_unref(pixbuf);
    if (!saved) {
        moxplat::Diagnose("cannot save %s: %s", path.c_str(), error ? error->message : "unknown error");
        if (error)
            g_error_free(error);
        return GenericError;
    }
    return Ok;
}

// A new bitmap holding a copy of a DIB section's pixels, top row first whichever way the section
// is stored (GetObject reports a positive height either way, as Windows does, so the section's
// own record says). The palette only matters for device-dependent bitmaps, which this platform
// does not have; it is ignored. Anything that is not a 24-bit DIB section is InvalidParameter.
extern "C" GpStatus WINGDIPAPI GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE hpal, GpBitmap** bitmap)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(bitmap);
    (void)hpal;
    if (!hbm || !bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    moxplat::Registry& reg = moxplat::TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const moxplat::BitmapObject* section = reg.Bitmap(hbm);
    if (!section || section->stock || !section->bits || section->width <= 0 || section->height <= 0 ||
        section->bitsPerPixel != 24)
        return InvalidParameter;
    Status status = Ok;
    moxplat::BitmapImpl* b = moxplat::NewBitmap(section->width, section->height, PixelFormat24bppRGB, &status);
    if (!b)
        return status;
    for (int y = 0; y < b->height; ++y) {
        const int row = section->topDown ? y : b->height - 1 - y;
        std::memcpy(b->Row(y), section->bits.get() + std::ptrdiff_t(row) * section->rowBytes, std::size_t(b->width) * 3);
    }
    *bitmap = b;
    return Ok;
}

} // namespace DllExports
} // namespace Gdiplus
