// The limit on the size of a loaded image, shared by the TGA loader and, where this library
// brings its own platform layer, that layer's image-file decoder.
#include "MoxImage2.h"

#include <atomic>
#include <cstdlib>

namespace {

// 16384 x 16384: a 1 GiB TGA buffer at four bytes a pixel. Far beyond any sprite sheet, yet an
// amount a desktop process can still commit; beyond it a file is most likely hostile, since an
// 18-byte header can declare 65535 x 65535 pixels (16 GiB).
constexpr unsigned long long kDefaultMaxPixels = 1ull << 28;

unsigned long long InitialLimit()
{
    const char* value = std::getenv("MOXIMAGE2_MAX_PIXELS");
    if (!value || *value < '0' || *value > '9')
        return kDefaultMaxPixels;
    char* end = nullptr;
    const unsigned long long pixels = std::strtoull(value, &end, 10);
    return *end == '\0' && pixels > 0 ? pixels : kDefaultMaxPixels;
}

std::atomic<unsigned long long>& Limit()
{
    static std::atomic<unsigned long long> limit{InitialLimit()};
    return limit;
}

} // namespace

void MoxSetMaxImagePixels(unsigned long long pixels)
{
    Limit().store(pixels, std::memory_order_relaxed);
#ifdef MOXPLAT_HAS_IMAGE_PIXEL_LIMIT
    moxplat::SetMaxImagePixels(pixels);
#endif
}

unsigned long long MoxGetMaxImagePixels()
{
    return Limit().load(std::memory_order_relaxed);
}
