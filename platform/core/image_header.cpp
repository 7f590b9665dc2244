// Header checks for the containers the file loader accepts: BMP, PNG, GIF, JPEG, TIFF and ICO,
// the ones GDI+ decodes. Each check reads only the fields that decide how much a decoder will
// reserve (header sizes, dimensions, depths, offsets) and refuses values that are out of range
// or that point past the end of the file.
#include "image_header.h"

#include <cstring>
#include <sys/types.h>

namespace moxplat {

namespace {

// Random access to the file; every read is bounded by the file's size.
class Reader {
public:
    Reader(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}

    std::uint64_t Size() const { return size_; }

    bool Read(std::uint64_t offset, void* out, std::size_t n) const
    {
        if (offset > size_ || n > size_ - offset || offset > std::uint64_t(INT64_MAX))
            return false;
        return fseeko(file_, off_t(offset), SEEK_SET) == 0 && std::fread(out, 1, n, file_) == n;
    }

private:
    std::FILE* file_;
    std::uint64_t size_;
};

std::uint32_t Le16(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}
std::uint32_t Le32(const unsigned char* p)
{
    return Le16(p) | (Le16(p + 2) << 16);
}
std::uint32_t Be16(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 8) | p[1];
}
std::uint32_t Be32(const unsigned char* p)
{
    return (Be16(p) << 16) | Be16(p + 2);
}

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Width and height in pixels as read from a header, checked against the limit.
const char* CheckSize(std::uint64_t width, std::uint64_t height, std::uint64_t maxPixels)
{
    if (width == 0 || height == 0)
        return "the image declares no pixels";
    if (width > maxPixels || height > maxPixels / width)
        return "the image declares more pixels than the limit allows";
    return nullptr;
}

// A PNG stream's IHDR, at offset (the signature already matched).
const char* CheckPngAt(const Reader& in, std::uint64_t offset, std::uint64_t maxPixels)
{
    unsigned char h[8 + 8 + 13];
    if (!in.Read(offset, h, sizeof h))
        return "the PNG header is cut short";
    if (Be32(h + 8) != 13 || std::memcmp(h + 12, "IHDR", 4) != 0)
        return "the PNG does not start with its header chunk";
    const std::uint32_t width = Be32(h + 16), height = Be32(h + 20);
    const unsigned depth = h[24], colourType = h[25];
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return "the PNG declares a size out of range";
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)
        return "the PNG declares an unknown bit depth";
    if (colourType != 0 && colourType != 2 && colourType != 3 && colourType != 4 && colourType != 6)
        return "the PNG declares an unknown colour type";
    return CheckSize(width, height, maxPixels);
}

const char* CheckBmp(const Reader& in, std::uint64_t maxPixels)
{
    unsigned char h[14 + 40] = {};
    if (!in.Read(0, h, 18))
        return "the BMP header is cut short";
    const std::uint32_t pixelOffset = Le32(h + 10);
    const std::uint32_t headerSize = Le32(h + 14);
    // The sizes of the header versions that exist: core, the two OS/2 forms, the info header and
    // its extensions up to version 5. The decoder buffers a whole header before it reads one.
    const std::uint32_t known[] = {12, 16, 40, 52, 56, 64, 108, 124};
    bool isKnown = false;
    for (std::uint32_t size : known)
        isKnown = isKnown || size == headerSize;
    if (!isKnown)
        return "the BMP declares an unknown header size";
    if (14 + std::uint64_t(headerSize) > in.Size() || pixelOffset > in.Size())
        return "the BMP header points past the end of the file";
    const std::size_t wanted = headerSize < 40 ? headerSize : 40;
    if (!in.Read(14, h + 14, wanted))
        return "the BMP header is cut short";

    std::uint64_t width, height;
    unsigned depth;
    std::uint32_t compression = 0, coloursUsed = 0;
    if (headerSize == 12) {
        width = Le16(h + 18);
        height = Le16(h + 20);
        depth = Le16(h + 24);
    } else {
        const std::int32_t w = std::int32_t(Le32(h + 18)), hgt = std::int32_t(Le32(h + 22));
        if (w <= 0 || hgt == 0 || hgt == INT32_MIN)
            return "the BMP declares a size out of range";
        width = std::uint64_t(w);
        height = hgt < 0 ? std::uint64_t(-std::int64_t(hgt)) : std::uint64_t(hgt);
        depth = Le16(h + 28);
        if (headerSize >= 40) {
            compression = Le32(h + 30);
            coloursUsed = Le32(h + 46);
        }
    }
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return "the BMP declares an unknown bit depth";
    if (compression > 3) // plain, RLE8, RLE4, bit fields; embedded JPEG or PNG is not read
        return "the BMP declares an unknown compression";
    if (std::uint64_t(coloursUsed) * 4 > in.Size())
        return "the BMP declares a palette larger than the file";
    return CheckSize(width, height, maxPixels);
}

const char* CheckGif(const Reader& in, std::uint64_t maxPixels)
{
    unsigned char h[13];
    if (!in.Read(0, h, sizeof h))
        return "the GIF header is cut short";
    if (const char* refusal = CheckSize(Le16(h + 6), Le16(h + 8), maxPixels))
        return refusal;
    std::uint64_t at = 13;
    if (h[10] & 0x80)
        at += 3u << ((h[10] & 7) + 1);

    // Every frame is decoded into a buffer of its own size, which may exceed the screen's.
    auto skipSubBlocks = [&](std::uint64_t* pos) {
        unsigned char length = 0;
        while (in.Read(*pos, &length, 1)) {
            *pos += 1 + std::uint64_t(length);
            if (length == 0)
                return true;
        }
        return false;
    };
    for (;;) {
        unsigned char tag = 0;
        if (!in.Read(at, &tag, 1) || tag == 0x3B)
            return nullptr; // the decoder decides about a stream that ends early
        if (tag == 0x21) {
            at += 2;
            if (!skipSubBlocks(&at))
                return nullptr;
        } else if (tag == 0x2C) {
            unsigned char d[10];
            if (!in.Read(at, d, sizeof d))
                return nullptr;
            if (const char* refusal = CheckSize(Le16(d + 5), Le16(d + 7), maxPixels))
                return refusal;
            at += sizeof d;
            if (d[9] & 0x80)
                at += 3u << ((d[9] & 7) + 1);
            at += 1; // the code size
            if (!skipSubBlocks(&at))
                return nullptr;
        } else {
            return nullptr; // not a block; the decoder refuses it
        }
    }
}

const char* CheckJpeg(const Reader& in, std::uint64_t maxPixels)
{
    std::uint64_t at = 2;
    for (;;) {
        unsigned char m[2];
        if (!in.Read(at, m, 2))
            return "the JPEG has no frame header";
        if (m[0] != 0xFF)
            return "the JPEG has data where a marker belongs";
        if (m[1] == 0xFF) { // fill byte
            at += 1;
            continue;
        }
        at += 2;
        const unsigned marker = m[1];
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (marker == 0xD9 || marker == 0xDA)
            return "the JPEG has no frame header";
        unsigned char s[8];
        if (!in.Read(at, s, 2))
            return "the JPEG has no frame header";
        const std::uint32_t length = Be16(s);
        if (length < 2)
            return "the JPEG has a segment of impossible length";
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8 || !in.Read(at, s, 8))
                return "the JPEG frame header is cut short";
            const unsigned components = s[7];
            if (components == 0 || components > 4)
                return "the JPEG declares an unusual number of components";
            return CheckSize(Be16(s + 5), Be16(s + 3), maxPixels);
        }
        at += length;
    }
}

const char* CheckTiff(const Reader& in, std::uint64_t maxPixels)
{
    unsigned char h[8];
    if (!in.Read(0, h, sizeof h))
        return "the TIFF header is cut short";
    const bool little = h[0] == 'I';
    auto u16 = [&](const unsigned char* p) { return little ? Le16(p) : Be16(p); };
    auto u32 = [&](const unsigned char* p) { return little ? Le32(p) : Be32(p); };
    if (u16(h + 2) != 42)
        return "the TIFF is not a classic TIFF";
    const std::uint64_t directory = u32(h + 4);
    unsigned char c[2];
    if (!in.Read(directory, c, 2))
        return "the TIFF directory lies outside the file";
    const unsigned entries = u16(c);
    std::uint64_t width = 0, height = 0;
    for (unsigned k = 0; k < entries; ++k) {
        unsigned char e[12];
        if (!in.Read(directory + 2 + 12 * std::uint64_t(k), e, sizeof e))
            return "the TIFF directory is cut short";
        const unsigned tag = u16(e), type = u16(e + 2);
        if (tag != 256 && tag != 257)
            continue;
        if (u32(e + 4) != 1 || (type != 3 && type != 4))
            return "the TIFF declares its size in an unusual form";
        const std::uint64_t value = type == 3 ? u16(e + 8) : u32(e + 8);
        (tag == 256 ? width : height) = value;
    }
    return CheckSize(width, height, maxPixels);
}

// An icon file is a directory of images, each a PNG stream or a BMP without its file header
// (its height counts the colour rows and the mask rows). Every entry's data must lie inside the
// file: the decoder buffers up to the entry's offset before it reads the image there.
const char* CheckIco(const Reader& in, std::uint64_t maxPixels)
{
    unsigned char h[6];
    if (!in.Read(0, h, sizeof h))
        return "the icon header is cut short";
    const unsigned count = Le16(h + 4);
    if (count == 0)
        return "the icon holds no image";
    for (unsigned k = 0; k < count; ++k) {
        unsigned char e[16];
        if (!in.Read(6 + 16 * std::uint64_t(k), e, sizeof e))
            return "the icon directory is cut short";
        const std::uint64_t size = Le32(e + 8), offset = Le32(e + 12);
        if (offset > in.Size() || size > in.Size() - offset)
            return "an icon image lies outside the file";
        unsigned char sig[8];
        if (!in.Read(offset, sig, sizeof sig))
            return "an icon image is cut short";
        if (std::memcmp(sig, kPngSignature, 8) == 0) {
            if (const char* refusal = CheckPngAt(in, offset, maxPixels))
                return refusal;
            continue;
        }
        unsigned char d[12];
        if (!in.Read(offset, d, sizeof d))
            return "an icon image is cut short";
        const std::int32_t w = std::int32_t(Le32(d + 4)), hgt = std::int32_t(Le32(d + 8));
        if (Le32(d) < 40 || w <= 0 || hgt <= 0)
            return "an icon image declares an unusual header";
        if (const char* refusal = CheckSize(std::uint64_t(w), (std::uint64_t(hgt) + 1) / 2, maxPixels))
            return refusal;
    }
    return nullptr;
}

} // namespace

ImageHeaderCheck CheckImageHeader(std::FILE* file, std::uint64_t fileSize, std::uint64_t maxPixels)
{
    const Reader in(file, fileSize);
    unsigned char magic[8] = {};
    in.Read(0, magic, fileSize < 8 ? std::size_t(fileSize) : 8);

    ImageHeaderCheck result;
    if (magic[0] == 'B' && magic[1] == 'M') {
        result.container = ImageContainer::Bmp;
        result.refusal = CheckBmp(in, maxPixels);
    } else if (std::memcmp(magic, kPngSignature, 8) == 0) {
        result.container = ImageContainer::Png;
        result.refusal = CheckPngAt(in, 0, maxPixels);
    } else if (std::memcmp(magic, "GIF87a", 6) == 0 || std::memcmp(magic, "GIF89a", 6) == 0) {
        result.container = ImageContainer::Gif;
        result.refusal = CheckGif(in, maxPixels);
    } else if (magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF) {
        result.container = ImageContainer::Jpeg;
        result.refusal = CheckJpeg(in, maxPixels);
    } else if (std::memcmp(magic, "II*\0", 4) == 0 || std::memcmp(magic, "MM\0*", 4) == 0) {
        result.container = ImageContainer::Tiff;
        result.refusal = CheckTiff(in, maxPixels);
    } else if (magic[0] == 0 && magic[1] == 0 && (magic[2] == 1 || magic[2] == 2) && magic[3] == 0) {
        result.container = ImageContainer::Ico;
        result.refusal = CheckIco(in, maxPixels);
    } else {
        result.refusal = "the file is none of the image formats read (BMP, PNG, GIF, JPEG, TIFF, ICO)";
    }
    return result;
}

const char* LoaderName(ImageContainer container)
{
    switch (container) {
    case ImageContainer::Bmp:
        return "bmp";
    case ImageContainer::Png:
        return "png";
    case ImageContainer::Gif:
        return "gif";
    case ImageContainer::Jpeg:
        return "jpeg";
    case ImageContainer::Tiff:
        return "tiff";
    case ImageContainer::Ico:
        return "ico";
    case ImageContainer::Unknown:
        break;
    }
    return nullptr;
}

} // namespace moxplat
