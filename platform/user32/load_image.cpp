// LoadImage of bitmaps, icons and cursors from files and from the program's resources. BMP files: The file is read whole (it is bounded by its own length and by the
// pixel limit), every header field is checked against the bytes actually there, and only then
// is a bitmap made.
#include <gdiplus.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "bitmap_store.h"
#include "gdi_registry.h"
#include "resource_registry.h"
#include "user_internal.h"
#include "windows_path.h"
#include "pixels.h"
#include "stretch.h"

using namespace moxplat;

namespace {

std::uint32_t Le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// The name as Windows takes it ('\\' separates, case is ignored where the exact name is missing);
// a file that cannot be opened sets the last error as LoadImage documents.
bool ReadWholeFile(const char* path, std::vector<std::uint8_t>* out)
{
    std::FILE* f = std::fopen(moxplat::ResolveWindowsPath(path).c_str(), "rb");
    if (!f) {
        SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        return false;
    }
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    // A BMP file's offsets are 32-bit; anything longer is not one.
    ok = ok && size >= 0 && size <= std::numeric_limits<std::int32_t>::max() && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out->resize(static_cast<std::size_t>(size));
        ok = size == 0 || std::fread(out->data(), 1, out->size(), f) == out->size();
    }
    std::fclose(f);
    return ok;
}

// The packed DIB inside a BMP file: its BITMAPINFO (header, masks, colour table) copied out, and
// where its pixels start. False for anything this loader does not read or the file cannot hold.
struct BmpFile {
    std::vector<std::uint8_t> info; // a BITMAPINFO with room for masks and 256 colours
    std::size_t pixelsAt = 0;
};

bool ParseBmp(const std::vector<std::uint8_t>& file, BmpFile* out)
{
    constexpr std::size_t kFileHeader = 14;
    if (file.size() < kFileHeader + 4 || file[0] != 'B' || file[1] != 'M')
        return false;
    const std::uint32_t offBits = Le32(&file[10]);
    const std::uint32_t headerSize = Le32(&file[kFileHeader]);
    // BITMAPINFOHEADER and its later forms (V2, V3, V4, V5); the 12-byte OS/2 header is not read.
    if (headerSize < 40 || headerSize > 124 || kFileHeader + headerSize > file.size())
        return false;
    const std::uint8_t* h = &file[kFileHeader];
    const std::int32_t width = static_cast<std::int32_t>(Le32(h + 4));
    const std::int32_t height = static_cast<std::int32_t>(Le32(h + 8));
    const std::uint16_t bpp = Le16(h + 14);
    const std::uint32_t compression = Le32(h + 16);
    const std::uint32_t clrUsed = Le32(h + 32);
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min() ||
        !gdi::SupportedDepth(bpp))
        return false;
    const std::uint64_t rows = height < 0 ? std::uint64_t(-std::int64_t{height}) : std::uint64_t(height);
    if (std::uint64_t(width) * rows > GetMaxImagePixels())
        return false;

    out->info.assign(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    std::memcpy(out->info.data(), h, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, out->info.data(), sizeof bih);
    bih.biSize = sizeof(BITMAPINFOHEADER);
    std::size_t next = kFileHeader + headerSize;
    if (compression == BI_BITFIELDS) {
        // Masks inside a V2+ header (52 bytes or more), or after any shorter header.
        std::size_t at = kFileHeader + 40;
        if (headerSize < 52) {
            at = next;
            if (next + 12 > file.size())
                return false;
            next += 12;
        }
        std::memcpy(out->info.data() + sizeof(BITMAPINFOHEADER), &file[at], 12);
    } else if (compression != BI_RGB) {
        return false; // run-length and embedded JPEG/PNG bitmaps are not read here
    }
    if (bpp <= 8) {
        const std::uint32_t full = 1u << bpp;
        const std::uint32_t count = clrUsed && clrUsed < full ? clrUsed : full;
        if (next + std::size_t{count} * 4 > file.size())
            return false;
        std::memcpy(out->info.data() + sizeof(BITMAPINFOHEADER), &file[next], count * 4);
        bih.biClrUsed = count;
    }
    std::memcpy(out->info.data(), &bih, sizeof bih);
    const std::uint64_t stride = std::uint64_t(gdi::DibStride(width, bpp));
    if (offBits < next || offBits > file.size() || stride * rows > file.size() - offBits)
        return false;
    out->pixelsAt = offBits;
    return true;
}

std::string Utf8Of(const wchar_t* w)
{
    std::string s;
    for (; *w; ++w) {
        std::uint32_t c = static_cast<std::uint32_t>(*w);
        if (c >= 0xd800 && c < 0xdc00 && w[1] >= 0xdc00 && w[1] < 0xe000) { // UTF-16 pairs (Windows)
            c = 0x10000 + ((c - 0xd800) << 10) + (static_cast<std::uint32_t>(w[1]) - 0xdc00);
            ++w;
        }
        if (c < 0x80) {
            s += char(c);
        } else if (c < 0x800) {
            s += char(0xc0 | (c >> 6));
            s += char(0x80 | (c & 0x3f));
        } else if (c < 0x10000) {
            s += char(0xe0 | (c >> 12));
            s += char(0x80 | ((c >> 6) & 0x3f));
            s += char(0x80 | (c & 0x3f));
        } else {
            s += char(0xf0 | (c >> 18));
            s += char(0x80 | ((c >> 12) & 0x3f));
            s += char(0x80 | ((c >> 6) & 0x3f));
            s += char(0x80 | (c & 0x3f));
        }
    }
    return s;
}

// The colour-table changes LoadImage makes for indexed images (MSDN LoadImage), with the system
// colours of Windows 10: LR_LOADTRANSPARENT gives the first pixel's entry (the first stored: the
// bottom-left pixel of a bottom-up file) the window colour, white; LR_LOADMAP3DCOLORS turns the
// three greys into the 3-D shadow, face and light colours.
void RecolourTable(gdi::DibFormat* f, const std::uint8_t* pixels, UINT fuLoad)
{
    if (fuLoad & LR_LOADMAP3DCOLORS) {
        for (RGBQUAD& q : f->colors) {
            const COLORREF c = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
            BYTE v = 0;
            if (c == RGB(128, 128, 128))
                v = 160;
            else if (c == RGB(192, 192, 192))
                v = 240;
            else if (c == RGB(223, 223, 223))
                v = 227;
            if (v)
                q = RGBQUAD{v, v, v, 0};
        }
    }
    if (fuLoad & LR_LOADTRANSPARENT) {
        const std::uint32_t index = pixels[0] >> (8 - f->bitsPerPixel);
        if (index < f->colors.size())
            f->colors[index] = RGBQUAD{255, 255, 255, 0};
    }
}

// Windows: LR_CREATEDIBSECTION keeps the file's depth and colours in a DIB section; otherwise the
// bitmap is made compatible with the screen (32 bits), or monochrome with LR_MONOCHROME. A
// non-zero cx or cy stretches the image to that size (MSDN LoadImage).
HANDLE LoadBitmapBytes(const std::vector<std::uint8_t>& file, int cx, int cy, UINT fuLoad)
{
    BmpFile bmp;
    if (!ParseBmp(file, &bmp))
        return nullptr;
    gdi::DibFormat f;
    if (!gdi::ReadDibFormat(reinterpret_cast<const BITMAPINFO*>(bmp.info.data()), DIB_RGB_COLORS, &f))
        return nullptr;
    if (f.bitsPerPixel <= 8)
        RecolourTable(&f, &file[bmp.pixelsAt], fuLoad);
    const PixelSurface src = f.Over(&file[bmp.pixelsAt]);
    const int width = cx > 0 ? cx : f.width;
    const int height = cy > 0 ? cy : f.height;
    if (cx < 0 || cy < 0 || std::uint64_t(width) * std::uint64_t(height) > GetMaxImagePixels())
        return nullptr;

    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    HBITMAP bm = nullptr;
    if (fuLoad & LR_MONOCHROME) {
        bm = gdi::NewDeviceBitmapLocked(reg, width, height, 1);
    } else if (fuLoad & LR_CREATEDIBSECTION) {
        gdi::NewBitmapDesc desc;
        desc.width = width;
        desc.height = height;
        desc.bitsPerPixel = f.bitsPerPixel;
        desc.compression = f.compression;
        desc.colors = f.colors;
        for (int i = 0; i < 3; ++i)
            desc.masks[i] = f.masks[i];
        bm = gdi::NewBitmapLocked(reg, desc, nullptr);
    } else {
        bm = gdi::NewDeviceBitmapLocked(reg, width, height, 32);
    }
    BitmapObject* b = reg.Bitmap(bm);
    if (!b)
        return nullptr;
    const PixelSurface dst = gdi::SurfaceOfBitmap(*b);
    gdi::AxisMap cols, rows;
    if (gdi::MapAxis(0, width, 0, f.width, width, f.width, &cols) &&
        gdi::MapAxis(0, height, 0, f.height, height, f.height, &rows)) {
        // Colours by colour: a monochrome result takes the nearer of black and white.
        gdi::BlitColors colors;
        if (dst.bitsPerPixel == 1) {
            const std::size_t n = cols.Count();
            for (std::size_t r = 0; r < rows.Count(); ++r)
                for (std::size_t k = 0; k < n; ++k)
                    gdi::SetRaw(dst, cols.lo + std::int64_t(k), rows.lo + std::int64_t(r),
                                gdi::RawFromColor(dst, gdi::ColorFromRaw(src, gdi::GetRaw(src, cols.Src(k), rows.Src(r)))));
        } else {
            gdi::RopStretch(dst, cols, rows, &src, 0xCC, colors);
        }
    }
    return bm;
}

HANDLE LoadBitmapFile(const char* path, int cx, int cy, UINT fuLoad)
{
    std::vector<std::uint8_t> file;
    if (!path || !ReadWholeFile(path, &file))
        return nullptr;
    return LoadBitmapBytes(file, cx, cy, fuLoad);
}

// A bitmap resource is a BMP file without its 14-byte file header: the header is put back, with
// the pixels' offset after the header, its masks and its colour table, and read as a file is.
HANDLE LoadBitmapResource(HINSTANCE instance, const ResourceKey& name, int cx, int cy, UINT fuLoad)
{
    ResourceKey type;
    type.id = 2; // RT_BITMAP
    const void* data = nullptr;
    DWORD size = 0;
    if (!FindResourceData(instance, type, name, &data, &size) || size < 40)
        return nullptr;
    const auto* p = static_cast<const std::uint8_t*>(data);
    const std::uint32_t headerSize = Le32(p);
    const std::uint32_t bpp = Le16(p + 14);
    const std::uint32_t used = Le32(p + 32);
    std::uint64_t offBits = 14 + std::uint64_t(headerSize);
    if (Le32(p + 16) == BI_BITFIELDS && headerSize < 52)
        offBits += 12;
    if (bpp <= 8)
        offBits += 4 * std::uint64_t(used && used < (1u << bpp) ? used : (1u << bpp));
    if (offBits > std::uint64_t(size) + 14)
        return nullptr;
    std::vector<std::uint8_t> file(14 + std::size_t(size));
    file[0] = 'B';
    file[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        file[2 + i] = std::uint8_t(file.size() >> (8 * i));
        file[10 + i] = std::uint8_t(offBits >> (8 * i));
    }
    std::memcpy(file.data() + 14, p, size);
    return LoadBitmapBytes(file, cx, cy, fuLoad);
}

HANDLE LoadAny(HINSTANCE hInst, const char* path, const ResourceKey* name, UINT type, int cx, int cy, UINT fuLoad)
{
    if (type != IMAGE_BITMAP && type != IMAGE_ICON && type != IMAGE_CURSOR)
        return nullptr;
    if (fuLoad & LR_LOADFROMFILE) {
        if (!path)
            return nullptr;
        return type == IMAGE_BITMAP ? LoadBitmapFile(path, cx, cy, fuLoad)
                                    : LoadIconOrCursorFile(path, type == IMAGE_ICON, cx, cy, fuLoad);
    }
    if (!hInst) {
        // The system's own images: its icons and cursors by the ids LoadIcon and LoadCursor take
        // (OIC_ and OCR_ values are the IDI_ and IDC_ ones); system bitmaps are not kept here.
        if (!name || !name->isId || type == IMAGE_BITMAP)
            return nullptr;
        return type == IMAGE_ICON ? HANDLE(LoadIconA(nullptr, MAKEINTRESOURCEA(name->id)))
                                  : HANDLE(LoadCursorA(nullptr, MAKEINTRESOURCEA(name->id)));
    }
    if (type == IMAGE_BITMAP)
        return LoadBitmapResource(hInst, *name, cx, cy, fuLoad);
    return LoadIconOrCursorResource(hInst, *name, type == IMAGE_ICON, cx, cy, fuLoad);
}

} // namespace

extern "C" {

// Windows: LR_LOADFROMFILE reads a file (hInst is ignored), else the module's resource, or with
// no module the system's image (MSDN LoadImage).
HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad)
{
    if (!name)
        return nullptr;
    if (fuLoad & LR_LOADFROMFILE)
        return LoadAny(hInst, IS_INTRESOURCE(name) ? nullptr : name, nullptr, type, cx, cy, fuLoad);
    const ResourceKey key = ResourceKeyOf(name);
    return LoadAny(hInst, nullptr, &key, type, cx, cy, fuLoad);
}

HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad)
{
    if (!name)
        return nullptr;
    if (fuLoad & LR_LOADFROMFILE) {
        if (IS_INTRESOURCE(name))
            return nullptr;
        const std::string path = Utf8Of(name);
        return LoadAny(hInst, path.c_str(), nullptr, type, cx, cy, fuLoad);
    }
    const ResourceKey key = ResourceKeyOf(name);
    return LoadAny(hInst, nullptr, &key, type, cx, cy, fuLoad);
}

} // extern "C"
