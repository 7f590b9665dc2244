#include "tga_files.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace moxtest {

namespace {

void Put16(std::vector<unsigned char>& v, unsigned x)
{
    v.push_back(x & 0xff);
    v.push_back((x >> 8) & 0xff);
}

using PixelBytes = std::vector<unsigned char>;

// Pixels in file order: the bottom row first unless the file has the top-left origin.
std::vector<PixelBytes> FileOrder(const TgaLayout& layout, const TgaPixel& pixel)
{
    std::vector<PixelBytes> out;
    for (int fileRow = 0; fileRow < layout.height; ++fileRow) {
        const int y = layout.topOrigin ? fileRow : layout.height - 1 - fileRow;
        for (int x = 0; x < layout.width; ++x) {
            const Rgba c = pixel(x, y);
            PixelBytes p{c.b, c.g, c.r};
            if (layout.depth != 24)
                p.push_back(c.a);
            out.push_back(p);
        }
    }
    return out;
}

void EncodeRle(const TgaLayout& layout, const std::vector<PixelBytes>& pixels, std::vector<unsigned char>& file)
{
    const size_t n = pixels.size();
    const size_t width = size_t(layout.width);
    // A packet ends at 128 pixels, and at the row's end unless packets may cross rows.
    auto limit = [&](size_t k) {
        size_t end = k + 128;
        if (!layout.rleAcrossRows)
            end = std::min(end, (k / width + 1) * width);
        return std::min(end, n);
    };
    auto runAt = [&](size_t k) {
        size_t e = k + 1;
        const size_t end = limit(k);
        while (e < end && pixels[e] == pixels[k])
            ++e;
        return e - k;
    };
    size_t k = 0;
    while (k < n) {
        const size_t run = runAt(k);
        if (run >= 2) {
            file.push_back(static_cast<unsigned char>(0x80 | (run - 1)));
            file.insert(file.end(), pixels[k].begin(), pixels[k].end());
            k += run;
            continue;
        }
        const size_t end = limit(k);
        size_t e = k + 1;
        while (e < end && runAt(e) < 2)
            ++e;
        file.push_back(static_cast<unsigned char>(e - k - 1));
        for (size_t i = k; i < e; ++i)
            file.insert(file.end(), pixels[i].begin(), pixels[i].end());
        k = e;
    }
}

} // namespace

std::vector<unsigned char> TgaHeader(const TgaLayout& layout)
{
    std::vector<unsigned char> h;
    h.push_back(static_cast<unsigned char>(layout.id.size()));
    h.push_back(layout.colourMapLength > 0 ? 1 : 0);
    const int type = layout.imageType >= 0 ? layout.imageType : (layout.rle ? 10 : 2);
    h.push_back(static_cast<unsigned char>(type));
    Put16(h, 0);
    Put16(h, unsigned(layout.colourMapLength));
    h.push_back(layout.colourMapLength > 0 ? static_cast<unsigned char>(layout.colourMapEntryBits) : 0);
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, unsigned(layout.width));
    Put16(h, unsigned(layout.height));
    h.push_back(static_cast<unsigned char>(layout.depth));
    unsigned char descriptor = layout.depth == 32 ? 8 : 0; // alpha bits
    if (layout.topOrigin)
        descriptor |= 0x20;
    h.push_back(descriptor);
    return h;
}

std::vector<unsigned char> EncodeTga(const TgaLayout& layout, const TgaPixel& pixel)
{
    std::vector<unsigned char> file = TgaHeader(layout);
    file.insert(file.end(), layout.id.begin(), layout.id.end());
    if (layout.colourMapLength > 0)
        file.insert(file.end(), size_t(layout.colourMapLength) * size_t((layout.colourMapEntryBits + 7) / 8), 0xCC);
    const std::vector<PixelBytes> pixels = FileOrder(layout, pixel);
    if (layout.rle) {
        EncodeRle(layout, pixels, file);
    } else {
        for (const PixelBytes& p : pixels)
            file.insert(file.end(), p.begin(), p.end());
    }
    return file;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string WriteTga(const std::string& name, const TgaLayout& layout, const TgaPixel& pixel)
{
    const std::string path = TempPath(name);
    WriteFile(path, EncodeTga(layout, pixel));
    return path;
}

} // namespace moxtest
