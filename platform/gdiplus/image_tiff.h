// TIFF files read straight through libtiff, so that their samples arrive as stored.
#pragma once

#include <gdiplus.h>

#include <string>

namespace moxplat {

struct BitmapImpl;

enum class TiffRead {
    Done,      // *bitmap holds the image
    Failed,    // the file is corrupt or memory ran out; *status says which status to give
    NotHandled // a layout this reader leaves to the general decoder
};

// Reads an 8-bit RGB or RGB-plus-alpha TIFF in strips: 24bppRGB without alpha, 32bppARGB with
// it (an associated alpha is divided out).
TiffRead ReadTiff(const std::string& path, BitmapImpl** bitmap, Gdiplus::Status* status);

// Turns premultiplied 32bppARGB pixels into straight ones, in place.
void Unpremultiply(BitmapImpl* bitmap);

} // namespace moxplat
