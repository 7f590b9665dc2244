// CMoxTga: a picture with per-pixel alpha read from a TGA file into a top-down buffer of
// 32-bit elements, each holding the pixel's bytes blue, green, red, alpha (0xAARRGGBB).
//
// Accepted: true-colour images, uncompressed (type 2) or run-length encoded (type 10), 24 or
// 32 bits a pixel, either vertical origin; an image ID field and a colour map are skipped.
// Anything else is refused, and so is an image larger than MoxGetMaxImagePixels(). A file
// that ends early still loads; what it lacks stays zero.
#include "MoxImage2.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "image/log.h"

namespace {

// Why a load of this file fails (defined at the end of this file).
std::string TgaFailure(const char* path);

// With diagnostics on, a load that does not succeed says why when it ends.
struct LoadReport {
    const char* path;
    bool ok = false;
    ~LoadReport()
    {
        if (!ok && moximage2::LogEnabled())
            moximage2::Log("cannot load TGA image %s: %s", path ? path : "(null)", TgaFailure(path).c_str());
    }
};

} // namespace

namespace {

constexpr int kHeaderSize = 18;
constexpr unsigned char kTypeTrueColour = 2;
constexpr unsigned char kTypeTrueColourRle = 10;
constexpr unsigned char kDescriptorTopOrigin = 0x20;

// fopen_s takes file names as Windows does on every system: where file names are
// case-sensitive, backslashes separate as well and each part matches case-blind.
std::FILE* OpenForReading(const char* path)
{
    std::FILE* f = nullptr;
    return fopen_s(&f, path, "rb") == 0 ? f : nullptr;
}

struct FileCloser {
    std::FILE* f;
    ~FileCloser()
    {
        if (f)
            std::fclose(f);
    }
};

unsigned ReadLe16(const unsigned char* p)
{
    return unsigned(p[0]) | (unsigned(p[1]) << 8);
}

// Reads and drops n bytes. A stream that ends first is left at its end: the pixel reads that
// follow then come up short, which is the short-file case.
void Skip(std::FILE* f, unsigned long n)
{
    unsigned char scratch[4096];
    while (n > 0) {
        const size_t chunk = n < sizeof scratch ? size_t(n) : sizeof scratch;
        const size_t got = std::fread(scratch, 1, chunk, f);
        if (got != chunk)
            return;
        n -= chunk;
    }
}

// One file pixel (blue, green, red[, alpha]) as a buffer element; 24-bit pixels are opaque.
inline ULONG PixelValue(const unsigned char* p, unsigned bytesPerPixel)
{
    const ULONG alpha = bytesPerPixel == 4 ? p[3] : 0xFF;
    return ULONG(p[0]) | (ULONG(p[1]) << 8) | (ULONG(p[2]) << 16) | (alpha << 24);
}

// Where the file's n-th pixel (in file order) goes in the top-down buffer.
struct Placement {
    ULONG width;
    ULONG height;
    bool topOrigin;

    size_t RowStart(size_t fileRow) const
    {
        const size_t row = topOrigin ? fileRow : size_t(height) - 1 - fileRow;
        return row * width;
    }
};

void ReadUncompressed(std::FILE* f, ULONG* buffer, const Placement& at, unsigned bytesPerPixel)
{
    const size_t rowBytes = size_t(at.width) * bytesPerPixel;
    unsigned char* row = static_cast<unsigned char*>(std::malloc(rowBytes));
    if (!row)
        return;
    for (size_t fileRow = 0; fileRow < at.height; ++fileRow) {
        const size_t got = std::fread(row, 1, rowBytes, f);
        ULONG* out = buffer + at.RowStart(fileRow);
        const size_t pixels = got / bytesPerPixel;
        for (size_t c = 0; c < pixels; ++c)
            out[c] = PixelValue(row + c * bytesPerPixel, bytesPerPixel);
        if (got != rowBytes)
            break;
    }
    std::free(row);
}

// Packets may run across row ends (older writers do that), so the pixels are taken as one
// stream; a packet longer than what is left of the image is cut at the image's end.
void ReadRunLength(std::FILE* f, ULONG* buffer, const Placement& at, unsigned bytesPerPixel)
{
    const size_t total = size_t(at.width) * at.height;
    size_t done = 0;
    unsigned char packet[1 + 128 * 4];
    while (done < total) {
        if (std::fread(packet, 1, 1, f) != 1)
            return;
        const size_t count = size_t(packet[0] & 0x7F) + 1;
        const bool repeated = (packet[0] & 0x80) != 0;
        const size_t stored = repeated ? 1 : count;
        const size_t want = stored * bytesPerPixel;
        const size_t got = std::fread(packet + 1, 1, want, f);
        const size_t available = repeated ? (got == want ? count : 0) : got / bytesPerPixel;
        for (size_t k = 0; k < available && done < total; ++k, ++done) {
            const size_t fileRow = done / at.width;
            const size_t column = done % at.width;
            const unsigned char* p = packet + 1 + (repeated ? 0 : k * bytesPerPixel);
            buffer[at.RowStart(fileRow) + column] = PixelValue(p, bytesPerPixel);
        }
        if (got != want)
            return;
    }
}

} // namespace

CMoxTga::CMoxTga() : m_pBuffer(nullptr), m_nWidth(0), m_nHeight(0) {}

CMoxTga::CMoxTga(const char* path) : CMoxTga()
{
    Init(path);
}

CMoxTga::CMoxTga(const CMoxTga& other) = default;

CMoxTga& CMoxTga::operator=(const CMoxTga& other) = default;

CMoxTga::~CMoxTga() = default;

bool CMoxTga::Init(const char* path)
{
    // Give up this object's share first: whatever happens below, the old pixels are gone from
    // here (copies keep theirs), while the size stays what it was until a load succeeds.
    m_pBuffer = nullptr;
    m_BufferOwner.reset();
    LoadReport report{path};

    if (!path)
        return false;
    FileCloser file{OpenForReading(path)};
    if (!file.f)
        return false;

    unsigned char header[kHeaderSize];
    if (std::fread(header, 1, kHeaderSize, file.f) != kHeaderSize)
        return false;

    const unsigned idLength = header[0];
    const unsigned char colourMapType = header[1];
    const unsigned char imageType = header[2];
    const unsigned colourMapLength = ReadLe16(header + 5);
    const unsigned colourMapEntryBits = header[7];
    const ULONG width = ReadLe16(header + 12);
    const ULONG height = ReadLe16(header + 14);
    const unsigned depth = header[16];
    const bool topOrigin = (header[17] & kDescriptorTopOrigin) != 0;

    if (imageType != kTypeTrueColour && imageType != kTypeTrueColourRle)
        return false;
    if (depth != 24 && depth != 32)
        return false;
    if (colourMapType > 1)
        return false;

    // The header alone decides the allocation, so a few bytes could ask for 16 GiB.
    const std::uint64_t pixels = std::uint64_t(width) * height;
    if (pixels > MoxGetMaxImagePixels())
        return false;
    ULONG* buffer = nullptr;
    if (pixels > 0) {
        if (pixels > SIZE_MAX / sizeof(ULONG))
            return false;
        // calloc: the count times the size is checked once more, and pixels a short file
        // leaves out read as zero.
        buffer = static_cast<ULONG*>(std::calloc(size_t(pixels), sizeof(ULONG)));
        if (!buffer)
            return false;
    }
    std::shared_ptr<void> owner(buffer, std::free);

    if (buffer) {
        unsigned long skip = idLength;
        if (colourMapType == 1)
            skip += static_cast<unsigned long>(colourMapLength) * ((colourMapEntryBits + 7) / 8);
        Skip(file.f, skip);

        const Placement at{width, height, topOrigin};
        const unsigned bytesPerPixel = depth / 8;
        if (imageType == kTypeTrueColourRle)
            ReadRunLength(file.f, buffer, at, bytesPerPixel);
        else
            ReadUncompressed(file.f, buffer, at, bytesPerPixel);
    }

    m_BufferOwner = std::move(owner);
    m_pBuffer = buffer;
    m_nWidth = width;
    m_nHeight = height;
    report.ok = true;
    return true;
}

ULONG* CMoxTga::GetBuffer()
{
    return m_pBuffer;
}

unsigned long CMoxTga::GetWidth()
{
    return m_nWidth;
}

unsigned long CMoxTga::GetHeight()
{
    return m_nHeight;
}

namespace {

// Reads the header again, only when diagnostics are on and a load has failed.
std::string TgaFailure(const char* path)
{
    if (!path)
        return "no path";
    FileCloser file{OpenForReading(path)};
    if (!file.f)
        return std::strerror(errno);
    unsigned char header[kHeaderSize];
    if (std::fread(header, 1, kHeaderSize, file.f) != kHeaderSize)
        return "shorter than a TGA header";
    if (header[2] != kTypeTrueColour && header[2] != kTypeTrueColourRle)
        return "image type " + std::to_string(header[2]) + " is not true colour (2 or 10)";
    if (header[16] != 24 && header[16] != 32)
        return std::to_string(header[16]) + " bits a pixel, not 24 or 32";
    if (header[1] > 1)
        return "unknown colour map type " + std::to_string(header[1]);
    return "too large to hold";
}

} // namespace
