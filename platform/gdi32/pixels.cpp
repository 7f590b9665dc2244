#include "pixels.h"

#include <cstring>
#include <limits>

namespace moxplat {
namespace gdi {

namespace {

int ShiftOf(std::uint32_t mask)
{
    int shift = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int WidthOf(std::uint32_t mask)
{
    mask >>= ShiftOf(mask);
    int bits = 0;
    while (mask & 1u) {
        mask >>= 1;
        ++bits;
    }
    return bits;
}

// An 8-bit channel into a field of the mask, keeping its top bits.
std::uint32_t Pack(std::uint32_t channel, std::uint32_t mask)
{
    const int bits = WidthOf(mask);
    if (bits == 0)
        return 0;
    const std::uint32_t v = bits >= 8 ? channel << (bits - 8) : channel >> (8 - bits);
    return (v << ShiftOf(mask)) & mask;
}

// A field of the mask widened to 8 bits by repeating its top bits (5 bits abcde: abcdeabc).
std::uint32_t Unpack(std::uint32_t raw, std::uint32_t mask)
{
    const int bits = WidthOf(mask);
    if (bits == 0)
        return 0;
    std::uint32_t v = (raw & mask) >> ShiftOf(mask);
    if (bits >= 8)
        return v >> (bits - 8);
    std::uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << bits) | v;
        filled += bits;
    }
    return out >> (filled - 8);
}

bool StandardMasks(const PixelSurface& s)
{
    return s.masks[0] == 0xff0000u && s.masks[1] == 0x00ff00u && s.masks[2] == 0x0000ffu;
}

} // namespace

std::uint32_t RawFromColor(const PixelSurface& s, COLORREF color)
{
    // DIBINDEX(n): index n of an indexed surface's colour table, taken as it is (gdi32
    // tests/palette.c test_DIB_PAL_COLORS: an index past the table reads back black); on a
    // monochrome bitmap index 1 is white and every other black (tests/bitmap.c
    // test_mono_bitmap).
    if ((color >> 16) == 0x10ff && s.bitsPerPixel <= 8)
        return s.monochromeDDB ? ((color & 0xffff) == 1 ? 1u : 0u) : color & RawMask(s.bitsPerPixel);
    const std::uint32_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (s.bitsPerPixel) {
    case 24: return (r << 16) | (g << 8) | b;
    case 16:
    case 32:
        if (s.bitsPerPixel == 32 && StandardMasks(s))
            return (r << 16) | (g << 8) | b;
        return Pack(r, s.masks[0]) | Pack(g, s.masks[1]) | Pack(b, s.masks[2]);
    default: break;
    }
    if (s.monochromeDDB) {
        const int dark = int(r * r + g * g + b * b);
        const int light = int((255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b));
        return dark < light ? 0u : 1u;
    }
    std::uint32_t best = 0;
    std::int64_t bestDistance = -1;
    const int count = s.colors ? s.colorCount : 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t dr = std::int64_t(s.colors[i].rgbRed) - r;
        const std::int64_t dg = std::int64_t(s.colors[i].rgbGreen) - g;
        const std::int64_t db = std::int64_t(s.colors[i].rgbBlue) - b;
        const std::int64_t d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<std::uint32_t>(i);
        }
    }
    return best;
}

COLORREF ColorFromRaw(const PixelSurface& s, std::uint32_t raw)
{
    switch (s.bitsPerPixel) {
    case 24: return RGB((raw >> 16) & 0xff, (raw >> 8) & 0xff, raw & 0xff);
    case 16:
    case 32:
        if (s.bitsPerPixel == 32 && StandardMasks(s))
            return RGB((raw >> 16) & 0xff, (raw >> 8) & 0xff, raw & 0xff);
        return RGB(Unpack(raw, s.masks[0]), Unpack(raw, s.masks[1]), Unpack(raw, s.masks[2]));
    default: break;
    }
    if (s.monochromeDDB)
        return (raw & 1u) ? RGB(255, 255, 255) : RGB(0, 0, 0);
    if (!s.colors || raw >= static_cast<std::uint32_t>(s.colorCount))
        return RGB(0, 0, 0);
    const RGBQUAD& q = s.colors[raw];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

std::uint32_t GetRaw(const PixelSurface& s, std::int64_t x, std::int64_t y)
{
    const std::uint8_t* row = s.bits + y * s.stride;
    switch (s.bitsPerPixel) {
    case 32: {
        std::uint32_t v;
        std::memcpy(&v, row + x * 4, 4);
        return v;
    }
    case 24: {
        const std::uint8_t* p = row + x * 3;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    }
    case 16: {
        const std::uint8_t* p = row + x * 2;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
    }
    case 8: return row[x];
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xfu;
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    default: return 0;
    }
}

void SetRaw(const PixelSurface& s, std::int64_t x, std::int64_t y, std::uint32_t raw)
{
    std::uint8_t* row = s.bits + y * s.stride;
    switch (s.bitsPerPixel) {
    case 32: std::memcpy(row + x * 4, &raw, 4); break;
    case 24: {
        std::uint8_t* p = row + x * 3;
        p[0] = std::uint8_t(raw);
        p[1] = std::uint8_t(raw >> 8);
        p[2] = std::uint8_t(raw >> 16);
        break;
    }
    case 16: {
        std::uint8_t* p = row + x * 2;
        p[0] = std::uint8_t(raw);
        p[1] = std::uint8_t(raw >> 8);
        break;
    }
    case 8: row[x] = std::uint8_t(raw); break;
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        std::uint8_t& b = row[x >> 1];
        b = std::uint8_t((b & ~(0xf << shift)) | ((raw & 0xfu) << shift));
        break;
    }
    case 1: {
        const int shift = 7 - int(x & 7);
        std::uint8_t& b = row[x >> 3];
        b = std::uint8_t((b & ~(1 << shift)) | ((raw & 1u) << shift));
        break;
    }
    default: break;
    }
}

void LoadRow(const PixelSurface& s, std::int64_t y, std::int64_t x0, std::int64_t n, std::uint32_t* out)
{
    const std::uint8_t* row = s.bits + y * s.stride;
    if (s.bitsPerPixel == 32) {
        std::memcpy(out, row + x0 * 4, static_cast<std::size_t>(n) * 4);
        return;
    }
    if (s.bitsPerPixel == 24) {
        const std::uint8_t* p = row + x0 * 3;
        for (std::int64_t i = 0; i < n; ++i, p += 3)
            out[i] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
        return;
    }
    if (s.bitsPerPixel == 8) {
        for (std::int64_t i = 0; i < n; ++i)
            out[i] = row[x0 + i];
        return;
    }
    for (std::int64_t i = 0; i < n; ++i)
        out[i] = GetRaw(s, x0 + i, y);
}

void StoreRow(const PixelSurface& s, std::int64_t y, std::int64_t x0, std::int64_t n, const std::uint32_t* in)
{
    std::uint8_t* row = s.bits + y * s.stride;
    if (s.bitsPerPixel == 32) {
        std::memcpy(row + x0 * 4, in, static_cast<std::size_t>(n) * 4);
        return;
    }
    if (s.bitsPerPixel == 24) {
        std::uint8_t* p = row + x0 * 3;
        for (std::int64_t i = 0; i < n; ++i, p += 3) {
            p[0] = std::uint8_t(in[i]);
            p[1] = std::uint8_t(in[i] >> 8);
            p[2] = std::uint8_t(in[i] >> 16);
        }
        return;
    }
    if (s.bitsPerPixel == 8) {
        for (std::int64_t i = 0; i < n; ++i)
            row[x0 + i] = std::uint8_t(in[i]);
        return;
    }
    for (std::int64_t i = 0; i < n; ++i)
        SetRaw(s, x0 + i, y, in[i]);
}

bool SameLayout(const PixelSurface& a, const PixelSurface& b)
{
    if (a.bitsPerPixel != b.bitsPerPixel)
        return false;
    if (a.bitsPerPixel == 24)
        return true;
    if (a.bitsPerPixel >= 16)
        return std::memcmp(a.masks, b.masks, sizeof a.masks) == 0;
    if (a.monochromeDDB != b.monochromeDDB)
        return false;
    if (a.monochromeDDB)
        return true;
    return a.colorCount == b.colorCount &&
           (a.colorCount == 0 || std::memcmp(a.colors, b.colors, sizeof(RGBQUAD) * std::size_t(a.colorCount)) == 0);
}

Converter::Converter(const PixelSurface& src, const PixelSurface& dst, COLORREF srcBk, COLORREF dstText,
                     COLORREF dstBk)
    : src_(&src), dst_(&dst)
{
    if (dst.monochromeDDB && !src.monochromeDDB) {
        kind_ = Kind::ToMono;
        srcMask_ = RawMask(src.bitsPerPixel);
        bkRaw_ = RawFromColor(src, srcBk);
        return;
    }
    if (SameLayout(src, dst)) {
        kind_ = Kind::Same;
        return;
    }
    if (src.bitsPerPixel <= 8) {
        kind_ = Kind::Table;
        const int entries = 1 << src.bitsPerPixel;
        for (int i = 0; i < entries; ++i) {
            COLORREF c;
            if (src.monochromeDDB)
                c = i ? dstBk : dstText;
            else
                c = ColorFromRaw(src, static_cast<std::uint32_t>(i));
            table_[i] = RawFromColor(dst, c);
        }
        return;
    }
    kind_ = Kind::ByColor;
}

void Rop3Row(std::uint8_t rop3, std::uint32_t pattern, const std::uint32_t* src, std::uint32_t* dst, std::size_t n)
{
    // Bit i of the operation as a whole word, then the operation as three nested selections:
    // by D between result pairs, by S between those, by P at the end.
    std::uint32_t m[8];
    for (int i = 0; i < 8; ++i)
        m[i] = ((rop3 >> i) & 1u) ? 0xffffffffu : 0u;
    const std::uint32_t p = pattern;
    if (!src) {
        // Without a source the S = 0 and S = 1 halves agree, so either will do.
        for (std::size_t k = 0; k < n; ++k) {
            const std::uint32_t d = dst[k];
            const std::uint32_t g0 = (d & m[1]) | (~d & m[0]);
            const std::uint32_t g1 = (d & m[5]) | (~d & m[4]);
            dst[k] = (p & g1) | (~p & g0);
        }
        return;
    }
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t d = dst[k];
        const std::uint32_t s = src[k];
        const std::uint32_t g00 = (d & m[1]) | (~d & m[0]);
        const std::uint32_t g01 = (d & m[3]) | (~d & m[2]);
        const std::uint32_t g10 = (d & m[5]) | (~d & m[4]);
        const std::uint32_t g11 = (d & m[7]) | (~d & m[6]);
        const std::uint32_t f0 = (s & g01) | (~s & g00);
        const std::uint32_t f1 = (s & g11) | (~s & g10);
        dst[k] = (p & f1) | (~p & f0);
    }
}

PixelSurface DibFormat::Over(const std::uint8_t* bits) const
{
    PixelSurface s;
    s.bits = const_cast<std::uint8_t*>(bits);
    s.width = width;
    s.height = height;
    s.stride = static_cast<std::ptrdiff_t>(stride);
    if (!topDown) {
        s.bits += (height - 1) * stride;
        s.stride = -s.stride;
    }
    s.bitsPerPixel = bitsPerPixel;
    s.colors = colors.empty() ? nullptr : colors.data();
    s.colorCount = static_cast<int>(colors.size());
    for (int i = 0; i < 3; ++i)
        s.masks[i] = masks[i];
    return s;
}

bool ReadDibFormat(const BITMAPINFO* info, UINT usage, DibFormat* out, bool withColors)
{
    if (!info || !out || usage > DIB_PAL_COLORS)
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, &info->bmiHeader, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 4096 || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == std::numeric_limits<LONG>::min() || h.biPlanes != 1 || !SupportedDepth(h.biBitCount))
        return false;
    const int bpp = h.biBitCount;
    if (h.biCompression == BI_BITFIELDS) {
        if (bpp != 16 && bpp != 32)
            return false;
    } else if (h.biCompression != BI_RGB) {
        return false;
    }
    DibFormat f;
    f.width = h.biWidth;
    f.topDown = h.biHeight < 0;
    const std::int64_t height = f.topDown ? -std::int64_t{h.biHeight} : h.biHeight;
    f.stride = DibStride(f.width, bpp);
    if (f.stride * height > std::numeric_limits<std::int32_t>::max())
        return false;
    f.height = static_cast<int>(height);
    f.bitsPerPixel = bpp;
    f.compression = h.biCompression;
    const auto* base = reinterpret_cast<const std::uint8_t*>(info);
    if (bpp == 16 && h.biCompression == BI_RGB) {
        f.masks[0] = 0x7c00u;
        f.masks[1] = 0x03e0u;
        f.masks[2] = 0x001fu;
    } else if (h.biCompression == BI_BITFIELDS) {
        // After a BITMAPINFOHEADER the masks take the colour table's place; later headers hold
        // them at the same offset inside the header.
        std::memcpy(f.masks, base + sizeof(BITMAPINFOHEADER), sizeof f.masks);
        if (!f.masks[0] || !f.masks[1] || !f.masks[2] || (f.masks[0] & f.masks[1]) || (f.masks[1] & f.masks[2]) ||
            (f.masks[0] & f.masks[2]) || (bpp == 16 && ((f.masks[0] | f.masks[1] | f.masks[2]) >> 16)))
            return false;
    }
    if (bpp <= 8 && withColors) {
        if (usage != DIB_RGB_COLORS)
            return false;
        const std::uint32_t full = 1u << bpp;
        const std::uint32_t count = h.biClrUsed && h.biClrUsed < full ? h.biClrUsed : full;
        // The table always has 2^depth entries, those past biClrUsed black (gdi32
        // tests/bitmap.c test_dibsections: 256 entries for biClrUsed 142).
        f.colors.assign(full, RGBQUAD{0, 0, 0, 0});
        std::memcpy(f.colors.data(), base + h.biSize, count * sizeof(RGBQUAD));
        for (RGBQUAD& q : f.colors)
            q.rgbReserved = 0;
    }
    *out = std::move(f);
    return true;
}

} // namespace gdi
} // namespace moxplat
