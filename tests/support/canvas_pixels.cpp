// Reading and filling the canvas's back buffer through GetObject on its DIB section. Kept apart
// from the other helpers so that tests of the platform alone do not need the canvas.
#include "test_support.h"

#include <cstring>
#include <stdexcept>

namespace moxtest {

static DIBSECTION SectionOf(CMoxGraphics& canvas)
{
    DIBSECTION ds;
    std::memset(&ds, 0, sizeof ds);
    if (GetObject(canvas.GetBitmap(), sizeof ds, &ds) != int(sizeof ds) || !ds.dsBm.bmBits)
        throw std::runtime_error("canvas has no DIB section");
    return ds;
}

Rgb PixelAt(CMoxGraphics& canvas, int x, int y)
{
    DIBSECTION ds = SectionOf(canvas);
    if (x < 0 || y < 0 || x >= ds.dsBm.bmWidth || y >= ds.dsBm.bmHeight)
        throw std::out_of_range("pixel outside the canvas");
    // The canvas section is top-down.
    const unsigned char* p = static_cast<unsigned char*>(ds.dsBm.bmBits) + std::ptrdiff_t(y) * ds.dsBm.bmWidthBytes + 3 * x;
    return Rgb{p[2], p[1], p[0]};
}

void Fill(CMoxGraphics& canvas, Rgb colour)
{
    DIBSECTION ds = SectionOf(canvas);
    for (int y = 0; y < ds.dsBm.bmHeight; ++y) {
        unsigned char* row = static_cast<unsigned char*>(ds.dsBm.bmBits) + std::ptrdiff_t(y) * ds.dsBm.bmWidthBytes;
        for (int x = 0; x < ds.dsBm.bmWidth; ++x) {
            row[3 * x] = colour.b;
            row[3 * x + 1] = colour.g;
            row[3 * x + 2] = colour.r;
        }
    }
}

}  // namespace moxtest
