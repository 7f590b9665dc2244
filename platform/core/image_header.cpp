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

// The most pixels `bytes` of data can justify at `perByte` pixels a byte, saturating.
std::uint64_t Justified(std::uint64_t bytes, std::uint64_t perByte)
{
    return bytes > UINT64_MAX / perByte ? UINT64_MAX : bytes * perByte;
}

// Decoders reserve the whole image as soon as they have read its header, so a file must hold
// enough data to produce the pixels it declares: what its bytes can decode to bounds them.
const char* CheckJustified(std::uint64_t width, std::uint64_t height, std::uint64_t justifiedPixels)
{
    if (width != 0 && height > justifiedPixels / width)
        return "the file is too short to hold the pixels it declares";
    return nullptr;
}

// Deflate codes at most 258 bytes in two bits and a little: 1032 bytes a byte at the most.
constexpr std::uint64_t kDeflateRatio = 1032;
// LZW codes (GIF, TIFF) are at least 3 bits wide (9 in TIFF) and each yields at most 4096
// values, whichever its dictionary: 4096 x 8 / 12 in a full dictionary, fewer before.
constexpr std::uint64_t kLzwRatio = 2731;

// A PNG stream's IHDR, at offset (the signature already matched), and its image data, which
// must lie within [offset, end).
const char* CheckPngAt(const Reader& in, std::uint64_t offset, std::uint64_t end, std::uint64_t maxPixels)
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
    if (const char* refusal = CheckSize(width, height, maxPixels))
        return refusal;

    // The image data present: every IDAT chunk's bytes that the file really holds.
    std::uint64_t idat = 0;
    for (std::uint64_t at = offset + 8; at < end;) {
        unsigned char c[8];
        if (at + 8 > end || !in.Read(at, c, 8))
            break;
        const std::uint64_t length = Be32(c);
        const std::uint64_t present = end - (at + 8) < length ? end - (at + 8) : length;
        if (std::memcmp(c + 4, "IDAT", 4) == 0)
            idat += present;
        if (std::memcmp(c + 4, "IEND", 4) == 0)
            break;
        at += 8 + present + 4;
    }
    // Filtered rows hold at least width x bits-a-pixel bits each, interlaced or not.
    const unsigned samples = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    const std::uint64_t bitsPerPixel = std::uint64_t(depth) * samples;
    const std::uint64_t decodedBytes = Justified(idat + 16, kDeflateRatio);
    return CheckJustified(width, height, Justified(decodedBytes, 8) / bitsPerPixel);
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
    if (const char* refusal = CheckSize(width, height, maxPixels))
        return refusal;

    // The pixel data starts at its offset (or right after the header when the offset points
    // into the header) and must be in the file. A file cut short is refused rather than loaded
    // with made-up rows: its length cannot justify the memory a full-size image takes.
    const std::uint64_t headerEnd = 14 + std::uint64_t(headerSize);
    const std::uint64_t dataStart = pixelOffset >= headerEnd ? pixelOffset : headerEnd;
    const std::uint64_t data = in.Size() - dataStart;
    if (compression == 1 || compression == 2) {
        // Run-length data: two bytes code at most a run of 255 pixels or the end of a row. Delta
        // moves and an early end of the bitmap leave pixels uncoded, and may not leave more.
        const std::uint64_t perByte = width / 2 > 128 ? width / 2 : 128;
        return CheckJustified(width, height, Justified(data, perByte));
    }
    // Rows are padded to four bytes; the last row's padding may be missing.
    const std::uint64_t rowBytes = (width * depth + 7) / 8, stride = (width * depth + 31) / 32 * 4;
    if (rowBytes > data || height - 1 > (data - rowBytes) / stride)
        return "the file is too short to hold the pixels it declares";
    return nullptr;
}

const char* CheckGif(const Reader& in, std::uint64_t maxPixels)
{
    unsigned char h[13];
    if (!in.Read(0, h, sizeof h))
        return "the GIF header is cut short";
    // Each frame is decoded and composed onto a screen-sized image; neither may be larger
    // than the file's LZW data can fill.
    const std::uint64_t justified = Justified(in.Size(), kLzwRatio);
    if (const char* refusal = CheckSize(Le16(h + 6), Le16(h + 8), maxPixels))
        return refusal;
    if (const char* refusal = CheckJustified(Le16(h + 6), Le16(h + 8), justified))
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
            if (const char* refusal = CheckJustified(Le16(d + 5), Le16(d + 7), justified))
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
            if (const char* refusal = CheckSize(Be16(s + 5), Be16(s + 3), maxPixels))
                return refusal;
            // Every 8 x 8 block of the most finely sampled component costs at least one bit of
            // entropy-coded data; that component covers the image at a (Hmax x Vmax) / (H x V)
            // coarser scale when the sampling factors of no one component are both the largest.
            unsigned char f[3 * 4];
            if (length < 8 + 3 * components || !in.Read(at + 8, f, 3 * components))
                return "the JPEG frame header is cut short";
            unsigned hMax = 1, vMax = 1, finest = 1;
            for (unsigned k = 0; k < components; ++k) {
                const unsigned hk = f[3 * k + 1] >> 4, vk = f[3 * k + 1] & 15;
                if (hk == 0 || vk == 0)
                    return "the JPEG declares a sampling factor of zero";
                hMax = hk > hMax ? hk : hMax;
                vMax = vk > vMax ? vk : vMax;
                finest = hk * vk > finest ? hk * vk : finest;
            }
            const std::uint64_t perByte = 8 * 64 * ((hMax * vMax + finest - 1) / finest);
            return CheckJustified(Be16(s + 5), Be16(s + 3), Justified(in.Size(), perByte));
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
    std::uint64_t width = 0, height = 0, bitsPerSample = 1, samples = 1, compression = 1;
    for (unsigned k = 0; k < entries; ++k) {
        unsigned char e[12];
        if (!in.Read(directory + 2 + 12 * std::uint64_t(k), e, sizeof e))
            return "the TIFF directory is cut short";
        const unsigned tag = u16(e), type = u16(e + 2);
        if (tag == 256 || tag == 257) {
            if (u32(e + 4) != 1 || (type != 3 && type != 4))
                return "the TIFF declares its size in an unusual form";
            const std::uint64_t value = type == 3 ? u16(e + 8) : u32(e + 8);
            (tag == 256 ? width : height) = value;
        } else if ((tag == 258 || tag == 259 || tag == 277) && type == 3 && u32(e + 4) >= 1) {
            // One short, or the first of several: bits a sample are the same for every sample
            // of the images the decoder reads, so the first value (or 1, when it is out of
            // reach) is a lower bound either way.
            std::uint64_t value = u16(e + 8);
            if (tag == 258 && u32(e + 4) > 2) {
                unsigned char v[2];
                value = in.Read(u32(e + 8), v, 2) ? u16(v) : 1;
            }
            (tag == 258 ? bitsPerSample : tag == 259 ? compression : samples) = value ? value : 1;
        }
    }
    if (const char* refusal = CheckSize(width, height, maxPixels))
        return refusal;
    // What the file's bytes can decode to, by the strongest ratio of each compression: none;
    // CCITT fax codes (a blank row can take one bit); LZW; deflate; PackBits (128 bytes in
    // two); JPEG (a bit an 8 x 8 block); anything else is held to deflate's ratio.
    std::uint64_t bytesPerByte;
    switch (compression) {
    case 1:
        bytesPerByte = 1;
        break;
    case 2:
    case 3:
    case 4:
        bytesPerByte = 8 * 16384 / 8;
        break;
    case 5:
        bytesPerByte = kLzwRatio;
        break;
    case 32773:
        bytesPerByte = 64;
        break;
    case 6:
    case 7:
        bytesPerByte = 8 * 64 * 4;
        break;
    default:
        bytesPerByte = kDeflateRatio;
        break;
    }
    const std::uint64_t bitsPerPixel = bitsPerSample * samples;
    return CheckJustified(width, height, Justified(Justified(in.Size(), bytesPerByte), 8) / bitsPerPixel);
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
            if (const char* refusal = CheckPngAt(in, offset, offset + size, maxPixels))
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
        // The colour rows at one bit a pixel at the least, and the mask rows at one, must fit in
        // the entry's bytes.
        if (const char* refusal = CheckJustified(std::uint64_t(w), (std::uint64_t(hgt) + 1) / 2, Justified(size, 4)))
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
        result.refusal = CheckPngAt(in, 0, fileSize, maxPixels);
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
