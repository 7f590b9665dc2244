// A first look at an image file before any decoder sees it: which container it is, and whether
// its header is sane and declares no more pixels than the host allows. Decoders reserve memory
// from what a header declares, so a few hostile bytes could otherwise cost gigabytes.
#pragma once

#include <cstdint>
#include <cstdio>

namespace moxplat {

enum class ImageContainer { Unknown, Bmp, Png, Gif, Jpeg, Tiff, Ico };

struct ImageHeaderCheck {
    ImageContainer container = ImageContainer::Unknown;
    const char* refusal = nullptr; // why the file is refused; null when it may be decoded
};

// Reads what it needs from file (any position; it seeks) of the given size in bytes.
ImageHeaderCheck CheckImageHeader(std::FILE* file, std::uint64_t fileSize, std::uint64_t maxPixels);

// The gdk-pixbuf loader that decodes a container ("bmp", "png", ...); null for Unknown.
const char* LoaderName(ImageContainer container);

} // namespace moxplat
