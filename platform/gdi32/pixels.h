// Pixels of every DIB depth as 32-bit "raw" values: the bits a pixel holds in memory (an index
// for depths 1, 4 and 8, the little-endian word for 16, 24 and 32), and the conversions between
// them and COLORREFs. Blits and raster operations work on rows of raw values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "surface.h"

namespace moxplat {
namespace gdi {

// The bits of a raw value a surface stores.
inline std::uint32_t RawMask(int bpp)
{
    return bpp >= 32 ? 0xffffffffu : (1u << bpp) - 1u;
}

inline bool SupportedDepth(int bpp)
{
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// Bytes in a row of a DIB (rows padded to 32 bits) and of a device-dependent bitmap (16 bits).
inline std::int64_t DibStride(std::int64_t width, int bpp)
{
    return ((width * bpp + 31) >> 3) & ~std::int64_t{3};
}
inline std::int64_t DdbStride(std::int64_t width, int bpp)
{
    return ((width * bpp + 15) >> 3) & ~std::int64_t{1};
}

// The raw value nearest to a colour: the closest colour-table entry (squared distance, first of
// equals; a monochrome DDB turns ties to white), or the colour cut to the channel masks.
std::uint32_t RawFromColor(const PixelSurface& s, COLORREF color);
// The colour of a raw value; channels narrower than 8 bits are widened by repeating their top
// bits. An index past the colour table reads as black.
COLORREF ColorFromRaw(const PixelSurface& s, std::uint32_t raw);

// Raw values of pixels x0 .. x0+n-1 of row y (already clipped by the caller).
void LoadRow(const PixelSurface& s, std::int64_t y, std::int64_t x0, std::int64_t n, std::uint32_t* out);
void StoreRow(const PixelSurface& s, std::int64_t y, std::int64_t x0, std::int64_t n, const std::uint32_t* in);

std::uint32_t GetRaw(const PixelSurface& s, std::int64_t x, std::int64_t y);
void SetRaw(const PixelSurface& s, std::int64_t x, std::int64_t y, std::uint32_t raw);

// Whether raw values mean the same colours on both surfaces, so they can be copied unchanged.
bool SameLayout(const PixelSurface& a, const PixelSurface& b);

// How the source's raw values become the destination's, following GDI's rules between colour and
// monochrome: into a monochrome DDB, source pixels equal to the source DC's background colour
// become 1 and all others 0; from a monochrome DDB into anything else, 0 becomes the destination
// DC's text colour and 1 its background colour; otherwise colour by colour, to the nearest entry
// of a destination's colour table (a 1-bit DIB section included).
class Converter {
public:
    Converter(const PixelSurface& src, const PixelSurface& dst, COLORREF srcBk, COLORREF dstText, COLORREF dstBk);
    std::uint32_t operator()(std::uint32_t raw) const
    {
        switch (kind_) {
        case Kind::Same: return raw;
        case Kind::Table: return table_[raw & 0xff];
        case Kind::ToMono: return (raw & srcMask_) == bkRaw_ ? 1u : 0u;
        default: return RawFromColor(*dst_, ColorFromRaw(*src_, raw));
        }
    }
    bool Identity() const { return kind_ == Kind::Same; }
    // The destination value of each index of an indexed source, or null.
    const std::uint32_t* Table() const { return kind_ == Kind::Table ? table_ : nullptr; }

private:
    enum class Kind { Same, Table, ToMono, ByColor };
    Kind kind_ = Kind::ByColor;
    const PixelSurface* src_;
    const PixelSurface* dst_;
    std::uint32_t srcMask_ = 0;
    std::uint32_t bkRaw_ = 0;
    std::uint32_t table_[256]; // filled for indexed sources only
};

// The ternary raster operation `rop3` (the index byte of a ROP code: bit P*4 + S*2 + D of it is
// the result for pattern, source and destination bits P, S, D) over n words, bit by bit.
// `src` may be null when the operation does not read the source.
void Rop3Row(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n);

inline bool RopUsesSource(std::uint8_t rop3)
{
    return ((rop3 >> 2) ^ rop3) & 0x33;
}
inline bool RopUsesPattern(std::uint8_t rop3)
{
    return ((rop3 >> 4) ^ rop3) & 0x0f;
}
inline bool RopUsesDest(std::uint8_t rop3)
{
    return ((rop3 >> 1) ^ rop3) & 0x55;
}

// A packed DIB's layout as a BITMAPINFO describes it: the checks every DIB function makes.
struct DibFormat {
    int width = 0;
    int height = 0; // always positive
    bool topDown = false;
    int bitsPerPixel = 0;
    DWORD compression = BI_RGB;
    std::int64_t stride = 0;
    std::vector<RGBQUAD> colors;
    std::uint32_t masks[3] = {0xff0000u, 0x00ff00u, 0x0000ffu};

    std::int64_t ImageBytes() const { return stride * height; }
    // A surface over `bits` laid out this way (top row first); `colors` must outlive it.
    PixelSurface Over(const std::uint8_t* bits) const;
};

// Reads and checks a BITMAPINFO: a BITMAPINFOHEADER (or a later, larger header), positive width,
// non-zero height, one plane, depth 1/4/8/16/24/32, BI_RGB or BI_BITFIELDS at 16 and 32 bits, an
// image of at most 2^31-1 bytes. Colour tables (depths up to 8) are read with biClrUsed entries
// (all when 0) only when `usage` is DIB_RGB_COLORS: there are no logical palettes to index.
// `withColors` false skips the table (for callers that only want the layout).
bool ReadDibFormat(const BITMAPINFO* info, UINT usage, DibFormat* out, bool withColors = true);

} // namespace gdi
} // namespace moxplat
