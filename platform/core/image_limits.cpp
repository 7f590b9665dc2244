// The limit on the size of a loaded image: one value for the library's TGA loader and the
// platform's image-file decoder.
#include "diagnostics.h"

#include <atomic>

namespace moxplat {

namespace {

// 16384 x 16384. A decoded pixel takes four bytes in the decoder and up to four in the bitmap,
// so the largest accepted image needs about 2 GiB at its peak, which a desktop can still
// commit; a 1 GiB TGA buffer at four bytes a pixel is this many pixels too. Anything larger is
// far beyond a sprite sheet and most likely hostile: a few bytes of header can declare billions
// of pixels.
constexpr unsigned long long kDefaultMaxPixels = 1ull << 28;

std::atomic<unsigned long long>& Limit()
{
    static std::atomic<unsigned long long> limit{CountSetting("MOXIMAGE2_MAX_PIXELS", kDefaultMaxPixels)};
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
