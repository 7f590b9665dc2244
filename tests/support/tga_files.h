// TGA files written on the fly for the TGA image and blitter tests: true-colour, uncompressed or
// run-length encoded, 24 or 32 bits, either origin, with an optional ID field and colour map.
#pragma once

#include "test_support.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace moxtest {

struct TgaLayout {
    TgaLayout() = default;
    TgaLayout(int w, int h) : width(w), height(h) {}

    int width = 1;
    int height = 1;
    int depth = 32;          // bits a pixel: 24 or 32 (other values written as 32-bit data)
    bool rle = false;        // image type 10 instead of 2
    bool topOrigin = false;  // descriptor bit 5; rows then run top row first
    std::string id;          // image ID field
    int colourMapLength = 0; // a colour map of this many entries, present when > 0
    int colourMapEntryBits = 24;
    int imageType = -1;        // written instead of 2 / 10 when >= 0
    bool rleAcrossRows = true; // RLE packets may run over the end of a row
};

using TgaPixel = std::function<Rgba(int x, int y)>; // y counted from the top

// The whole file: header, ID, colour map (filled with 0xCC), pixels. Only the pixels' bytes
// follow the chosen layout; a 24-bit file drops the alpha.
std::vector<unsigned char> EncodeTga(const TgaLayout& layout, const TgaPixel& pixel);

// Just the 18-byte header for the layout.
std::vector<unsigned char> TgaHeader(const TgaLayout& layout);

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);
std::string WriteTga(const std::string& name, const TgaLayout& layout, const TgaPixel& pixel);

// A buffer element as the image holds it: bytes blue, green, red, alpha, read little-endian.
inline std::uint32_t TgaElement(const Rgba& c)
{
    return std::uint32_t(c.b) | (std::uint32_t(c.g) << 8) | (std::uint32_t(c.r) << 16) | (std::uint32_t(c.a) << 24);
}

} // namespace moxtest
