// gdk-pixbuf reads TIFF through libtiff's RGBA interface, which always premultiplies alpha: an
// image saved as 0x2CFFFFFF came back as 0x2C2C2C2C. The layouts the encoder writes (8-bit RGB
// and RGBA, contiguous strips) are read here row by row instead, exactly. GDI+ gives a TIFF
// without alpha back as 24bppRGB, and so does this reader.
#include "image_tiff.h"

#include "diagnostics.h"
#include "gdiplus_internal.h"

#include <tiffio.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Gdiplus;

namespace moxplat {

namespace {

// libtiff's messages go to the optional log, as the other decoders' do.
int ToDiagnostics(TIFF*, void*, const char* module, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    Diagnose("libtiff %s: %s", module ? module : "", text);
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

std::uint8_t Straight(unsigned colour, unsigned alpha)
{
    if (alpha == 0)
        return 0;
    const unsigned value = (colour * 255 + alpha / 2) / alpha;
    return std::uint8_t(value > 255 ? 255 : value);
}

} // namespace

TiffRead ReadTiff(const std::string& path, BitmapImpl** bitmap, Status* status)
{
    *bitmap = nullptr;
    *status = OutOfMemory;
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                        TIFFOpenOptionsFree);
    if (!options)
        return TiffRead::Failed;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), ToDiagnostics, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ToDiagnostics, nullptr);
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpenExt(path.c_str(), "r", options.get()));
    if (!tiff)
        return TiffRead::NotHandled;

    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT, extraCount = 0;
    std::uint16_t* extraTypes = nullptr;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
    const bool rgb = TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric) && photometric == PHOTOMETRIC_RGB;
    const bool alpha = samples == 4 && extraCount == 1 && extraTypes;
    if (!rgb || bits != 8 || sampleFormat != SAMPLEFORMAT_UINT || planar != PLANARCONFIG_CONTIG ||
        orientation != ORIENTATION_TOPLEFT || TIFFIsTiled(tiff.get()) || (samples != 3 && !alpha) || width == 0 ||
        height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return TiffRead::NotHandled;
    // An extra sample of unspecified meaning is taken as straight alpha, as GDI+ reads it.
    const bool associated = alpha && extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    if (TIFFScanlineSize64(tiff.get()) != std::uint64_t(width) * samples)
        return TiffRead::NotHandled;

    BitmapImpl* b = NewBitmap(int(width), int(height), alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB, status);
    if (!b)
        return TiffRead::Failed;
    std::unique_ptr<BitmapImpl> owned(b);
    std::vector<std::uint8_t> line(std::size_t(width) * samples);
    for (std::uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff.get(), line.data(), y, 0) != 1) {
            *status = OutOfMemory; // cut short or corrupt, as GDI+ reports a file it cannot decode
            return TiffRead::Failed;
        }
        const std::uint8_t* in = line.data();
        std::uint8_t* out = b->Row(int(y));
        for (std::uint32_t x = 0; x < width; ++x, in += samples) {
            if (!alpha) {
                out[0] = in[2], out[1] = in[1], out[2] = in[0];
                out += 3;
                continue;
            }
            const unsigned a = in[3];
            if (associated)
                out[0] = Straight(in[2], a), out[1] = Straight(in[1], a), out[2] = Straight(in[0], a);
            else
                out[0] = in[2], out[1] = in[1], out[2] = in[0];
            out[3] = std::uint8_t(a);
            out += 4;
        }
    }
    *status = Ok;
    *bitmap = owned.release();
    return TiffRead::Done;
}

void Unpremultiply(BitmapImpl* b)
{
    for (int y = 0; y < b->height; ++y) {
        std::uint8_t* p = b->Row(y);
        for (int x = 0; x < b->width; ++x, p += 4)
            for (int k = 0; k < 3; ++k)
                p[k] = Straight(p[k], p[3]);
    }
}

} // namespace moxplat
