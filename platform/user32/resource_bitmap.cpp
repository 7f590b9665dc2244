// LoadBitmap: a bitmap resource (a BITMAPINFO and its bits, as in a .bmp file without the file
// header) as a 24-bit bitmap, the stand-in's pixel format, whatever depth it was stored in.
#include <gdiplus.h>

#include <cstring>
#include <vector>

#include "resource_registry.h"

namespace {

std::uint32_t Le16(const std::uint8_t* p)
{
    return std::uint32_t(p[0] | p[1] << 8);
}
std::uint32_t Le32(const std::uint8_t* p)
{
    return Le16(p) | Le16(p + 2) << 16;
}

// The value of `mask`'s bits in `v`, scaled to 0..255.
BYTE Channel(std::uint32_t v, std::uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const std::uint32_t m = mask >> shift;
    return BYTE(((v >> shift) & m) * 255u / m);
}

HBITMAP FromDib(const std::uint8_t* p, DWORD size)
{
    if (size < 12)
        return nullptr;
    const std::uint32_t headerSize = Le32(p);
    if (headerSize != 12 && (headerSize < 40 || headerSize > size))
        return nullptr;
    const bool core = headerSize == 12;
    std::int64_t width, height;
    std::uint32_t bpp, compression = 0, used = 0;
    if (core) {
        width = Le16(p + 4);
        height = Le16(p + 6);
        bpp = Le16(p + 10);
    } else {
        width = std::int32_t(Le32(p + 4));
        height = std::int32_t(Le32(p + 8));
        bpp = Le16(p + 14);
        compression = Le32(p + 16);
        used = Le32(p + 32);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || (unsigned long long)(width * height) > moxplat::GetMaxImagePixels())
        return nullptr;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bpp == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    std::size_t at = headerSize;
    if (compression == 3 /* BI_BITFIELDS */) {
        if (bpp != 16 && bpp != 32)
            return nullptr;
        if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                masks[i] = Le32(p + 40 + 4 * i);
        } else {
            if (at + 12 > size)
                return nullptr;
            for (int i = 0; i < 3; ++i)
                masks[i] = Le32(p + at + 4 * i);
            at += 12;
        }
    } else if (compression != 0 /* BI_RGB */) {
        return nullptr; // run-length and embedded JPEG or PNG bitmaps are not loaded
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return nullptr;
    std::vector<RGBQUAD> palette;
    if (bpp <= 8) {
        const std::uint32_t most = 1u << bpp;
        const std::uint32_t n = used && used < most ? used : most;
        const std::size_t entry = core ? 3 : 4;
        if (at + n * entry > size)
            return nullptr;
        for (std::uint32_t i = 0; i < n; ++i, at += entry)
            palette.push_back(RGBQUAD{p[at], p[at + 1], p[at + 2], 0});
        palette.resize(most, RGBQUAD{0, 0, 0, 0});
    }
    const std::int64_t stride = ((width * bpp + 31) / 32) * 4;
    if (at > size || stride * height > std::int64_t(size - at))
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = LONG(width);
    info.bmiHeader.biHeight = LONG(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    const std::int64_t outStride = (width * 3 + 3) & ~std::int64_t{3};
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* src = p + at + stride * (topDown ? height - 1 - y : y); // bottom-up rows
        auto* dst = static_cast<std::uint8_t*>(bits) + outStride * y;
        for (std::int64_t x = 0; x < width; ++x, dst += 3) {
            if (bpp <= 8) {
                const std::uint32_t bitPos = std::uint32_t(x * bpp);
                const std::uint32_t index = (src[bitPos / 8] >> (8 - bpp - bitPos % 8)) & ((1u << bpp) - 1);
                dst[0] = palette[index].rgbBlue;
                dst[1] = palette[index].rgbGreen;
                dst[2] = palette[index].rgbRed;
            } else if (bpp == 24) {
                std::memcpy(dst, src + 3 * x, 3);
            } else {
                const std::uint32_t v = bpp == 16 ? Le16(src + 2 * x) : Le32(src + 4 * x);
                dst[0] = Channel(v, masks[2]);
                dst[1] = Channel(v, masks[1]);
                dst[2] = Channel(v, masks[0]);
            }
        }
    }
    GdiFlush();
    return bitmap;
}

HBITMAP Load(HINSTANCE instance, const moxplat::ResourceKey& name)
{
    moxplat::ResourceKey type;
    type.id = 2; // RT_BITMAP
    const void* data = nullptr;
    DWORD size = 0;
    if (!moxplat::FindResourceData(instance, type, name, &data, &size))
        return nullptr;
    return FromDib(static_cast<const std::uint8_t*>(data), size);
}

} // namespace

extern "C" {

HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName)
{
    return lpBitmapName ? Load(hInstance, moxplat::ResourceKeyOf(lpBitmapName)) : nullptr;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName)
{
    return lpBitmapName ? Load(hInstance, moxplat::ResourceKeyOf(lpBitmapName)) : nullptr;
}

} // extern "C"
