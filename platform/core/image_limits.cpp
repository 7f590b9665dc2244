// The stand-in's limit on the size of a decoded image file.
#include <gdiplus.h>

#include <atomic>
#include <cstdlib>

namespace moxplat {

namespace {

// 16384 x 16384. A decoded pixel takes four bytes in the decoder and up to four in the bitmap,
// so the largest accepted image needs about 2 GiB at its peak, which a desktop can still
// commit; the largest bitmap the stand-in holds is 1 GiB, which at four bytes a pixel is this
// many pixels too. Anything larger is far beyond a sprite sheet and most likely hostile: a few
// bytes of header can declare billions of pixels.
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

void SetMaxImagePixels(unsigned long long pixels)
{
    Limit().store(pixels, std::memory_order_relaxed);
}

unsigned long long GetMaxImagePixels()
{
    return Limit().load(std::memory_order_relaxed);
}

} // namespace moxplat
