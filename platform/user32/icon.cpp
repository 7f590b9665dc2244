// Icons and cursors: made from the program's RT_GROUP_ICON / RT_GROUP_CURSOR resources, from
// .ico and .cur files, or from bitmaps; drawn with DrawIcon(Ex).
//
// An icon is kept as straight-alpha 0xAARRGGBB colour and a one-byte-a-pixel AND mask, both
// top-down, and is never changed after it is made, so copies share it. Every field of an image
// is checked against the bytes that hold it before a pixel is read.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "diagnostics.h"
#include "resource_registry.h"
#include "user_internal.h"
#include "windows_path.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

using namespace moxplat;

namespace moxplat {

struct IconImage {
    int width = 0, height = 0;
    bool isIcon = true;
    int hotX = 0, hotY = 0;
    bool monochrome = false; // black-and-white: GetIconInfo gives a double-height mask and no colour
    bool alpha = false;      // some pixel has alpha: drawn blended, the mask unused
    bool shared = false;     // LR_SHARED: lives as long as the process
    std::vector<std::uint32_t> color;
    std::vector<std::uint8_t> mask; // 1: the screen shows through
};

} // namespace moxplat

namespace {

using IconPtr = std::shared_ptr<const IconImage>;

// Under the registry's lock.
std::unordered_map<std::uintptr_t, IconPtr>& Icons()
{
    static auto* table = new std::unordered_map<std::uintptr_t, IconPtr>;
    return *table;
}

// LR_SHARED images by module, group kind and the image chosen from the group.
using SharedKey = std::tuple<std::uintptr_t, bool, WORD>;
std::map<SharedKey, std::uintptr_t>& SharedIcons()
{
    static auto* table = new std::map<SharedKey, std::uintptr_t>;
    return *table;
}

std::uint32_t Le16(const std::uint8_t* p)
{
    return std::uint32_t(p[0] | p[1] << 8);
}
std::uint32_t Le32(const std::uint8_t* p)
{
    return Le16(p) | Le16(p + 2) << 16;
}

HICON Register(IconImage image)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const std::uintptr_t key = reg.NewHandle();
    Icons().emplace(key, std::make_shared<const IconImage>(std::move(image)));
    return HandleOf<HICON>(key);
}

IconPtr FindLocked(HICON icon)
{
    auto it = Icons().find(Key(icon));
    return it == Icons().end() ? nullptr : it->second;
}

IconPtr Find(HICON icon)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return FindLocked(icon);
}

bool SizeAllowed(std::int64_t w, std::int64_t h)
{
    return w > 0 && h > 0 && w <= 0x10000 && h <= 0x10000 && std::uint64_t(w) * std::uint64_t(h) <= GetMaxImagePixels();
}

// Alpha is used only when some pixel has it; otherwise the AND mask decides (Wine's user32
// cursoricon tests: "if a single pixel's alpha channel is non-zero, the icon will be alpha
// blended").
void FinishAlpha(IconImage* im)
{
    im->alpha = std::any_of(im->color.begin(), im->color.end(), [](std::uint32_t c) { return (c >> 24) != 0; });
}

bool DecodePng(const std::uint8_t* p, std::size_t size, IconImage* out)
{
    // The header's size is checked before the decoder reserves memory for it.
    if (size < 33 || std::memcmp(p + 12, "IHDR", 4) != 0)
        return false;
    const std::uint32_t w = std::uint32_t(p[16]) << 24 | p[17] << 16 | p[18] << 8 | p[19];
    const std::uint32_t h = std::uint32_t(p[20]) << 24 | p[21] << 16 | p[22] << 8 | p[23];
    if (!SizeAllowed(w, h))
        return false;
    // The decoder shows what it got of a cut file; a whole one ends with its IEND chunk.
    std::size_t at = 8;
    bool ended = false;
    while (!ended && at + 12 <= size) {
        const std::uint32_t length = std::uint32_t(p[at]) << 24 | p[at + 1] << 16 | p[at + 2] << 8 | p[at + 3];
        if (length > size - at - 12)
            return false;
        ended = std::memcmp(p + at + 4, "IEND", 4) == 0;
        at += 12 + std::size_t(length);
    }
    if (!ended)
        return false;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
    if (!loader)
        return false;
    bool ok = gdk_pixbuf_loader_write(loader, p, size, nullptr);
    ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
    GdkPixbuf* pb = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (pb && gdk_pixbuf_get_width(pb) == int(w) && gdk_pixbuf_get_height(pb) == int(h) &&
        gdk_pixbuf_get_bits_per_sample(pb) == 8) {
        const int channels = gdk_pixbuf_get_n_channels(pb);
        const bool hasAlpha = gdk_pixbuf_get_has_alpha(pb);
        const int stride = gdk_pixbuf_get_rowstride(pb);
        const guchar* px = gdk_pixbuf_read_pixels(pb);
        out->width = int(w);
        out->height = int(h);
        out->color.resize(std::size_t(w) * h);
        out->mask.resize(std::size_t(w) * h);
        for (std::uint32_t y = 0; y < h; ++y)
            for (std::uint32_t x = 0; x < w; ++x) {
                const guchar* s = px + std::size_t(stride) * y + std::size_t(channels) * x;
                const std::uint32_t a = hasAlpha ? s[3] : 255;
                out->color[std::size_t(y) * w + x] = a << 24 | std::uint32_t(s[0]) << 16 | s[1] << 8 | s[2];
                out->mask[std::size_t(y) * w + x] = a == 0;
            }
        FinishAlpha(out);
    } else {
        ok = false;
    }
    g_object_unref(loader);
    return ok;
}

// An icon image as stored in a resource or file: a PNG, or a BITMAPINFOHEADER of twice the
// image's height, its colour table, the XOR (colour) rows and the AND (mask) rows, bottom-up.
bool DecodeImage(const std::uint8_t* p, std::size_t size, IconImage* out)
{
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && std::memcmp(p, kPng, 8) == 0)
        return DecodePng(p, size, out);
    if (size < 40)
        return false;
    const std::uint32_t headerSize = Le32(p);
    const std::int32_t width = std::int32_t(Le32(p + 4));
    const std::int32_t doubled = std::int32_t(Le32(p + 8));
    const std::uint32_t bpp = Le16(p + 14);
    const std::uint32_t compression = Le32(p + 16);
    const std::uint32_t used = Le32(p + 32);
    if (headerSize < 40 || headerSize > size || compression != 0 /* BI_RGB */ || doubled < 2 ||
        !SizeAllowed(width, doubled / 2))
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    const std::int64_t height = doubled / 2;
    std::size_t at = headerSize;
    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        const std::uint32_t most = 1u << bpp;
        const std::uint32_t n = used && used < most ? used : most;
        if (std::uint64_t(at) + std::uint64_t(n) * 4 > size)
            return false;
        for (std::uint32_t i = 0; i < n; ++i, at += 4)
            palette.push_back(std::uint32_t(p[at + 2]) << 16 | p[at + 1] << 8 | p[at]);
        palette.resize(most, 0);
    }
    const std::int64_t xorStride = ((width * std::int64_t(bpp) + 31) / 32) * 4;
    const std::int64_t andStride = ((width + 31) / 32) * 4;
    if (std::int64_t(size - at) < xorStride * height)
        return false;
    const std::uint8_t* xorBits = p + at;
    at += std::size_t(xorStride * height);
    // A 32-bit image may leave its mask out; its alpha then says what shows through.
    const bool hasMask = std::int64_t(size - at) >= andStride * height;
    if (!hasMask && bpp != 32)
        return false;
    const std::uint8_t* andBits = hasMask ? p + at : nullptr;

    out->width = width;
    out->height = int(height);
    out->color.resize(std::size_t(width) * height);
    out->mask.resize(std::size_t(width) * height);
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = xorBits + xorStride * (height - 1 - y);
        const std::uint8_t* mrow = andBits ? andBits + andStride * (height - 1 - y) : nullptr;
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint32_t c;
            if (bpp <= 8) {
                const std::uint32_t bit = std::uint32_t(x * bpp);
                c = palette[(row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1)];
            } else if (bpp == 16) {
                const std::uint32_t v = Le16(row + 2 * x);
                c = ((v >> 10) & 31) * 255 / 31 << 16 | ((v >> 5) & 31) * 255 / 31 << 8 | (v & 31) * 255 / 31;
            } else if (bpp == 24) {
                c = std::uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
            } else {
                c = Le32(row + 4 * x);
            }
            const std::size_t i = std::size_t(y) * width + x;
            out->color[i] = c;
            out->mask[i] = mrow ? (mrow[x / 8] >> (7 - x % 8)) & 1 : (c >> 24) == 0;
        }
    }
    out->monochrome = bpp == 1 && palette[0] == 0 && palette[1] == 0xFFFFFF;
    FinishAlpha(out);
    return true;
}

// Nearest-pixel scaling to the size asked for.
IconImage Scaled(const IconImage& in, int cx, int cy)
{
    if (cx == in.width && cy == in.height)
        return in;
    IconImage out = in;
    out.width = cx;
    out.height = cy;
    out.color.assign(std::size_t(cx) * cy, 0);
    out.mask.assign(std::size_t(cx) * cy, 0);
    for (int y = 0; y < cy; ++y) {
        const std::size_t sy = std::size_t(std::int64_t(y) * in.height / cy);
        for (int x = 0; x < cx; ++x) {
            const std::size_t sx = std::size_t(std::int64_t(x) * in.width / cx);
            out.color[std::size_t(y) * cx + x] = in.color[sy * in.width + sx];
            out.mask[std::size_t(y) * cx + x] = in.mask[sy * in.width + sx];
        }
    }
    out.hotX = int(std::int64_t(in.hotX) * cx / in.width);
    out.hotY = int(std::int64_t(in.hotY) * cy / in.height);
    return out;
}

int SystemSize(bool isIcon, bool vertical)
{
    return GetSystemMetrics(isIcon ? (vertical ? SM_CYICON : SM_CXICON) : (vertical ? SM_CYCURSOR : SM_CXCURSOR));
}

// One image of a group or file directory.
struct DirEntry {
    int width = 0, height = 0, bits = 0;
    std::uint32_t bytes = 0;
    std::uint32_t where = 0; // the RT_ICON / RT_CURSOR id, or the file offset
    int hotX = 0, hotY = 0;
};

int BitsOfColorCount(std::uint32_t colors)
{
    int bits = 0;
    while (colors > 1u << bits && bits < 32)
        ++bits;
    return colors ? bits : 8;
}

// A resource group (GRPICONDIR: 6 bytes then 14 a member) or an .ico/.cur file's directory
// (16 bytes a member). Empty when the bytes do not hold one.
std::vector<DirEntry> ReadDirectory(const std::uint8_t* p, std::size_t size, bool isIcon, bool file)
{
    std::vector<DirEntry> out;
    // Either kind of directory is read as the kind asked for, as Wine 8.0 reads them.
    if (!p || size < 6 || Le16(p) != 0 || (Le16(p + 2) != 1 && Le16(p + 2) != 2))
        return out;
    const std::size_t count = Le16(p + 4);
    const std::size_t each = file ? 16 : 14;
    if (count == 0 || 6 + count * each > size)
        return out;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = p + 6 + i * each;
        DirEntry d;
        if (file) {
            d.width = e[0] ? e[0] : 256;
            d.height = e[1] ? e[1] : 256;
            d.bits = isIcon ? int(Le16(e + 6)) : 0;
            if (!d.bits)
                d.bits = BitsOfColorCount(e[2]);
            if (!isIcon) {
                d.hotX = int(Le16(e + 4));
                d.hotY = int(Le16(e + 6));
            }
            d.bytes = Le32(e + 8);
            d.where = Le32(e + 12);
        } else if (isIcon) {
            d.width = e[0] ? e[0] : 256;
            d.height = e[1] ? e[1] : 256;
            d.bits = Le16(e + 6) ? int(Le16(e + 6)) : BitsOfColorCount(e[2]);
            d.bytes = Le32(e + 8);
            d.where = Le16(e + 12);
        } else {
            d.width = int(Le16(e));
            d.height = int(Le16(e + 2) / 2); // cursor groups give the doubled height
            d.bits = int(Le16(e + 6));
            d.bytes = Le32(e + 8);
            d.where = Le16(e + 12);
        }
        out.push_back(d);
    }
    return out;
}

// Windows: the image closest to the size asked for without exceeding it; among images of that
// size, the display's depth, else the deepest not deeper than the display, else the shallowest
// (MSDN LookupIconIdFromDirectoryEx). When every image is larger, the smallest is taken.
int BestEntry(const std::vector<DirEntry>& dir, int cx, int cy, UINT flags)
{
    const int display = (flags & LR_MONOCHROME) ? 1 : 32;
    int best = -1;
    for (std::size_t i = 0; i < dir.size(); ++i) {
        const DirEntry& e = dir[i];
        if (best < 0) {
            best = int(i);
            continue;
        }
        const DirEntry& b = dir[std::size_t(best)];
        const bool fits = e.width <= cx && e.height <= cy;
        const bool bestFits = b.width <= cx && b.height <= cy;
        const int area = e.width * e.height, bestArea = b.width * b.height;
        if (fits != bestFits ? fits : (fits ? area > bestArea : area < bestArea))
            best = int(i);
    }
    if (best < 0)
        return -1;
    const int w = dir[std::size_t(best)].width, h = dir[std::size_t(best)].height;
    int chosen = -1;
    auto rank = [&](int bits) { return bits == display ? 0 : bits < display ? 1 : 2; };
    for (std::size_t i = 0; i < dir.size(); ++i) {
        const DirEntry& e = dir[i];
        if (e.width != w || e.height != h)
            continue;
        if (chosen < 0) {
            chosen = int(i);
            continue;
        }
        const DirEntry& c = dir[std::size_t(chosen)];
        const int re = rank(e.bits), rc = rank(c.bits);
        if (re < rc || (re == rc && re == 1 && e.bits > c.bits) || (re == rc && re == 2 && e.bits < c.bits))
            chosen = int(i);
    }
    return chosen;
}

// The size an image is made at: 0 means the system size with LR_DEFAULTSIZE, else `own`.
void ResolveSize(int* cx, int* cy, int ownX, int ownY, bool isIcon, UINT flags)
{
    if (*cx == 0)
        *cx = (flags & LR_DEFAULTSIZE) ? SystemSize(isIcon, false) : ownX;
    if (*cy == 0)
        *cy = (flags & LR_DEFAULTSIZE) ? SystemSize(isIcon, true) : ownY;
}

HICON FromImageBytes(const std::uint8_t* p, std::size_t size, bool isIcon, int hotX, int hotY, int cx, int cy,
                     UINT flags, bool shared)
{
    IconImage im;
    if (!p || !DecodeImage(p, size, &im))
        return nullptr;
    im.isIcon = isIcon;
    im.hotX = isIcon ? im.width / 2 : std::min(hotX, im.width - 1);
    im.hotY = isIcon ? im.height / 2 : std::min(hotY, im.height - 1);
    ResolveSize(&cx, &cy, im.width, im.height, isIcon, flags);
    if (cx < 0 || cy < 0 || !SizeAllowed(cx, cy))
        return nullptr;
    IconImage out = Scaled(im, cx, cy);
    out.shared = shared;
    return Register(std::move(out));
}

std::uintptr_t ModuleKey(HINSTANCE instance)
{
    return instance == GetModuleHandleA(nullptr) ? 0 : Key(instance);
}

std::vector<std::uint8_t> ReadFileBytes(const char* path)
{
    std::vector<std::uint8_t> bytes;
    if (!path)
        return bytes;
    std::FILE* f = std::fopen(ResolveWindowsPath(path).c_str(), "rb");
    if (!f)
        return bytes;
    long size = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    // Icon files hold at most a few megabytes of pixels; a size past the pixel limit is not one.
    if (size >= 0 && std::uint64_t(size) <= GetMaxImagePixels() * 8 + 65536 && std::fseek(f, 0, SEEK_SET) == 0) {
        bytes.resize(std::size_t(size));
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
            bytes.clear();
    }
    std::fclose(f);
    return bytes;
}

} // namespace

namespace moxplat {

HANDLE LoadIconOrCursorFile(const char* path, bool isIcon, int cx, int cy, UINT flags)
{
    const std::vector<std::uint8_t> file = ReadFileBytes(path);
    const std::vector<DirEntry> dir = ReadDirectory(file.data(), file.size(), isIcon, true);
    if (dir.empty())
        return nullptr;
    int wantX = cx, wantY = cy;
    ResolveSize(&wantX, &wantY, dir[0].width, dir[0].height, isIcon, flags);
    const int i = BestEntry(dir, wantX, wantY, flags);
    if (i < 0)
        return nullptr;
    const DirEntry& e = dir[std::size_t(i)];
    if (e.where > file.size() || e.bytes > file.size() - e.where)
        return nullptr;
    return FromImageBytes(file.data() + e.where, e.bytes, isIcon, e.hotX, e.hotY, cx ? cx : wantX, cy ? cy : wantY,
                          flags | LR_DEFAULTSIZE, false);
}

HANDLE LoadIconOrCursorResource(HINSTANCE instance, const ResourceKey& name, bool isIcon, int cx, int cy, UINT flags)
{
    ResourceKey groupType, imageType, imageName;
    groupType.id = isIcon ? 14 : 12; // RT_GROUP_ICON, RT_GROUP_CURSOR
    imageType.id = isIcon ? 3 : 1;   // RT_ICON, RT_CURSOR
    const void* groupData = nullptr;
    DWORD groupSize = 0;
    if (!FindResourceData(instance, groupType, name, &groupData, &groupSize)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const std::vector<DirEntry> dir =
        ReadDirectory(static_cast<const std::uint8_t*>(groupData), groupSize, isIcon, false);
    if (dir.empty())
        return nullptr;
    int wantX = cx, wantY = cy;
    ResolveSize(&wantX, &wantY, dir[0].width, dir[0].height, isIcon, flags);
    const int i = BestEntry(dir, wantX, wantY, flags);
    if (i < 0)
        return nullptr;
    imageName.id = WORD(dir[std::size_t(i)].where);
    const bool shared = (flags & LR_SHARED) != 0;
    const SharedKey key{ModuleKey(instance), isIcon, imageName.id};
    if (shared) {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        auto it = SharedIcons().find(key);
        if (it != SharedIcons().end())
            return HandleOf<HANDLE>(it->second);
    }
    const void* data = nullptr;
    DWORD size = 0;
    if (!FindResourceData(instance, imageType, imageName, &data, &size))
        return nullptr;
    const auto* p = static_cast<const std::uint8_t*>(data);
    int hotX = 0, hotY = 0;
    if (!isIcon) { // a cursor image starts with its hot spot
        if (size < 4)
            return nullptr;
        hotX = int(Le16(p));
        hotY = int(Le16(p + 2));
        p += 4;
        size -= 4;
    }
    HICON icon = FromImageBytes(p, size, isIcon, hotX, hotY, wantX, wantY, flags, shared);
    if (icon && shared) {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        auto inserted = SharedIcons().emplace(key, Key(icon));
        if (!inserted.second) { // another thread loaded it first
            Icons().erase(Key(icon));
            return HandleOf<HANDLE>(inserted.first->second);
        }
    }
    return icon;
}

namespace {

// The system's icons as 32 x 32 pictures: a window for IDI_APPLICATION; a red disc with a cross
// (IDI_HAND), blue discs with '?' (IDI_QUESTION) and 'i' (IDI_ASTERISK), a yellow triangle with
// '!' (IDI_EXCLAMATION), four blue panes (IDI_WINLOGO) and a shield (IDI_SHIELD). Glyphs are 5 x 7
// cells of 3 x 3 pixels.
IconImage StockPicture(std::uintptr_t id)
{
    constexpr int n = 32;
    IconImage im;
    im.width = im.height = n;
    im.hotX = im.hotY = n / 2;
    im.shared = true;
    im.color.assign(n * n, 0);
    im.mask.assign(n * n, 1);
    auto put = [&](int x, int y, std::uint32_t rgb) {
        if (x >= 0 && y >= 0 && x < n && y < n) {
            im.color[std::size_t(y) * n + x] = rgb;
            im.mask[std::size_t(y) * n + x] = 0;
        }
    };
    auto glyph = [&](const char* rows, std::uint32_t rgb) {
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (rows[r * 5 + c] == '#')
                    for (int k = 0; k < 9; ++k)
                        put(8 + c * 3 + k % 3, 5 + r * 3 + k / 3, rgb);
    };
    auto disc = [&](std::uint32_t rgb) {
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int dx = 2 * x - 31, dy = 2 * y - 31;
                if (dx * dx + dy * dy <= 30 * 30)
                    put(x, y, rgb);
            }
    };
    switch (id) {
    case 32513: // IDI_HAND
        disc(0xD32F2F);
        glyph("#...#"
              ".#.#."
              "..#.."
              "..#.."
              "..#.."
              ".#.#."
              "#...#",
              0xFFFFFF);
        break;
    case 32514: // IDI_QUESTION
        disc(0x1E63C8);
        glyph(".###."
              "#...#"
              "....#"
              "..##."
              "..#.."
              "....."
              "..#..",
              0xFFFFFF);
        break;
    case 32515: // IDI_EXCLAMATION
        for (int y = 1; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if (2 * std::abs(2 * x - 31) <= 2 * y + 1)
                    put(x, y, 0xFFC400);
        glyph("....."
              "..#.."
              "..#.."
              "..#.."
              "..#.."
              "....."
              "..#..",
              0x000000);
        break;
    case 32516: // IDI_ASTERISK
        disc(0x1E63C8);
        glyph("..#.."
              "....."
              ".##.."
              "..#.."
              "..#.."
              "..#.."
              ".###.",
              0xFFFFFF);
        break;
    case 32517: // IDI_WINLOGO
        for (int y = 2; y < 30; ++y)
            for (int x = 2; x < 30; ++x)
                if (x != 15 && x != 16 && y != 15 && y != 16)
                    put(x, y, 0x1E63C8);
        break;
    case 32518: // IDI_SHIELD
        for (int y = 2; y < 30; ++y)
            for (int x = 4; x < 28; ++x)
                if (y < 18 || std::abs(2 * x - 31) <= 2 * (30 - y) + 1)
                    put(x, y, x < 16 ? 0x1E63C8 : 0xFFC400);
        break;
    default: // IDI_APPLICATION: a window with a title bar
        for (int y = 3; y < 29; ++y)
            for (int x = 2; x < 30; ++x)
                put(x, y, (x == 2 || x == 29 || y == 3 || y == 28) ? 0x404040 : y < 9 ? 0x1E63C8 : 0xFFFFFF);
        break;
    }
    FinishAlpha(&im);
    return im;
}

} // namespace

std::uintptr_t NewStockIconLocked(Registry& reg, std::uintptr_t id)
{
    const std::uintptr_t key = reg.NewHandle();
    Icons().emplace(key, std::make_shared<const IconImage>(StockPicture(id)));
    return key;
}

bool IsIconLocked(HICON icon)
{
    return Icons().count(Key(icon)) != 0;
}

bool IconPixelsLocked(HICON icon, int* width, int* height, std::vector<std::uint32_t>* argb)
{
    const IconPtr im = FindLocked(icon);
    if (!im)
        return false;
    *width = im->width;
    *height = im->height;
    argb->resize(im->color.size());
    for (std::size_t i = 0; i < im->color.size(); ++i) {
        const std::uint32_t c = im->color[i];
        (*argb)[i] = im->alpha ? c : ((c & 0xFFFFFF) | (im->mask[i] ? 0u : 0xFF000000u));
    }
    return true;
}

void ShowCursorLocked(HCURSOR cursor)
{
    int w = 0, h = 0;
    std::vector<std::uint32_t> argb;
    if (!cursor) {
        ShowScreenCursor(nullptr, 0, 0, 0, 0);
    } else if (IconPixelsLocked(cursor, &w, &h, &argb)) {
        const IconPtr im = FindLocked(cursor);
        ShowScreenCursor(argb.data(), w, h, im->hotX, im->hotY);
    } else {
        Registry& reg = TheRegistry();
        for (const auto& e : reg.stockCursors)
            if (e.second == Key(cursor))
                ShowScreenSystemCursor(int(e.first));
    }
}

void ShowWindowIconLocked(Registry& reg, WindowObject& w)
{
    if (!w.backend)
        return;
    HICON icon = w.iconBig ? w.iconBig : w.iconSmall;
    if (!icon) {
        const WindowClass* c = FindClassLocked(reg, reinterpret_cast<const char*>(std::uintptr_t{w.classAtom}));
        icon = c ? (c->icon ? c->icon : c->iconSmall) : nullptr;
    }
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;
    if (icon && IconPixelsLocked(icon, &width, &height, &argb))
        w.backend->SetIcon(argb.data(), width, height);
}

} // namespace moxplat

namespace {

// A 32-bit top-down DIB section of the pixels, selected into a new memory DC.
struct PixelsDC {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr, old = nullptr;
    std::uint32_t* bits = nullptr;
    PixelsDC(int w, int h)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<std::uint32_t*>(p);
        if (dc && bitmap)
            old = static_cast<HBITMAP>(SelectObject(dc, bitmap));
    }
    ~PixelsDC()
    {
        if (old)
            SelectObject(dc, old);
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
    }
    bool ok() const { return dc && bitmap && bits; }
};

bool Draw(HDC hdc, int x, int y, const IconImage& im, int cx, int cy, UINT flags)
{
    PixelsDC color(im.width, im.height), mask(im.width, im.height);
    if (!color.ok() || !mask.ok())
        return false;
    const std::size_t n = im.color.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t c = im.color[i];
        mask.bits[i] = im.mask[i] ? 0xFFFFFFu : 0u;
        if (im.alpha) { // AlphaBlend takes premultiplied colour
            const std::uint32_t a = c >> 24;
            color.bits[i] = a << 24 | ((c >> 16 & 255) * a + 127) / 255 << 16 | ((c >> 8 & 255) * a + 127) / 255 << 8 |
                            ((c & 255) * a + 127) / 255;
        } else {
            color.bits[i] = c & 0xFFFFFF;
        }
    }
    GdiFlush();
    const int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
    bool ok = true;
    // Windows: DI_IMAGE alone copies the image; with DI_MASK it is XORed over the masked screen;
    // an image with alpha is blended and its mask left out (Wine's user32 cursoricon tests,
    // check_DrawIconEx).
    if (im.alpha && (flags & DI_IMAGE)) {
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ok = AlphaBlend(hdc, x, y, cx, cy, color.dc, 0, 0, im.width, im.height, blend) != FALSE;
    } else {
        if (flags & DI_MASK)
            ok = StretchBlt(hdc, x, y, cx, cy, mask.dc, 0, 0, im.width, im.height, SRCAND) != FALSE;
        if (ok && (flags & DI_IMAGE))
            ok = StretchBlt(hdc, x, y, cx, cy, color.dc, 0, 0, im.width, im.height,
                            (flags & DI_MASK) ? SRCINVERT : SRCCOPY) != FALSE;
    }
    if (oldMode)
        SetStretchBltMode(hdc, oldMode);
    return ok;
}

// The bitmap's pixels as 32-bit top-down rows; false when it is no bitmap.
bool ReadBitmap(HBITMAP bm, int* w, int* h, int* bpp, std::vector<std::uint32_t>* out)
{
    BITMAP info{};
    if (!bm || GetObjectA(bm, sizeof info, &info) != sizeof info || !SizeAllowed(info.bmWidth, info.bmHeight))
        return false;
    *w = info.bmWidth;
    *h = info.bmHeight;
    *bpp = info.bmBitsPixel * info.bmPlanes;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = *w;
    bi.bmiHeader.biHeight = -*h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    out->assign(std::size_t(*w) * *h, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    const int lines = dc ? GetDIBits(dc, bm, 0, UINT(*h), out->data(), &bi, DIB_RGB_COLORS) : 0;
    if (dc)
        DeleteDC(dc);
    return lines == *h;
}

// Rows of 1-bit pixels, WORD-aligned as CreateBitmap takes them: bit set where `set` says.
template <class Pred> std::vector<BYTE> MonoRows(int w, int h, Pred set)
{
    const int stride = ((w + 15) / 16) * 2;
    std::vector<BYTE> rows(std::size_t(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (set(x, y))
                rows[std::size_t(y) * stride + x / 8] |= BYTE(0x80 >> (x % 8));
    return rows;
}

} // namespace

extern "C" {

int WINAPI LookupIconIdFromDirectoryEx(PBYTE presbits, BOOL fIcon, int cxDesired, int cyDesired, UINT Flags)
{
    // The directory has no stated size (MSDN: the function does not validate it); read only as
    // far as its own count says.
    if (!presbits || Le16(presbits) != 0 || (Le16(presbits + 2) != 1 && Le16(presbits + 2) != 2))
        return 0;
    const std::size_t size = 6 + std::size_t(Le16(presbits + 4)) * 14;
    const std::vector<DirEntry> dir = ReadDirectory(presbits, size, fIcon != FALSE, false);
    if (dir.empty())
        return 0;
    const bool isIcon = fIcon != FALSE;
    if (cxDesired == 0)
        cxDesired = SystemSize(isIcon, false);
    if (cyDesired == 0)
        cyDesired = SystemSize(isIcon, true);
    const int i = BestEntry(dir, cxDesired, cyDesired, Flags);
    return i < 0 ? 0 : int(dir[std::size_t(i)].where);
}

int WINAPI LookupIconIdFromDirectory(PBYTE presbits, BOOL fIcon)
{
    return LookupIconIdFromDirectoryEx(presbits, fIcon, 0, 0, LR_DEFAULTCOLOR);
}

HICON WINAPI CreateIconFromResourceEx(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD dwVer, int cxDesired,
                                      int cyDesired, UINT Flags)
{
    // Windows: dwVer is 0x00020000 or 0x00030000 (MSDN CreateIconFromResourceEx).
    if (!presbits || dwVer < 0x00020000 || dwVer > 0x00030000)
        return nullptr;
    int hotX = 0, hotY = 0;
    if (!fIcon) {
        if (dwResSize < 4)
            return nullptr;
        hotX = int(Le16(presbits));
        hotY = int(Le16(presbits + 2));
        presbits += 4;
        dwResSize -= 4;
    }
    return FromImageBytes(presbits, dwResSize, fIcon != FALSE, hotX, hotY, cxDesired, cyDesired, Flags, false);
}

HICON WINAPI CreateIconFromResource(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD dwVer)
{
    return CreateIconFromResourceEx(presbits, dwResSize, fIcon, dwVer, 0, 0, LR_DEFAULTSIZE);
}

HICON WINAPI CreateIconIndirect(PICONINFO piconinfo)
{
    if (!piconinfo || !piconinfo->hbmMask)
        return nullptr;
    int mw = 0, mh = 0, mbpp = 0;
    std::vector<std::uint32_t> maskPixels;
    if (!ReadBitmap(piconinfo->hbmMask, &mw, &mh, &mbpp, &maskPixels))
        return nullptr;
    IconImage im;
    im.isIcon = piconinfo->fIcon != FALSE;
    if (piconinfo->hbmColor) {
        int cw = 0, ch = 0, cbpp = 0;
        if (!ReadBitmap(piconinfo->hbmColor, &cw, &ch, &cbpp, &im.color))
            return nullptr;
        im.width = cw;
        im.height = ch;
        im.mask.assign(im.color.size(), 1);
        for (int y = 0; y < std::min(ch, mh); ++y)
            for (int x = 0; x < std::min(cw, mw); ++x)
                im.mask[std::size_t(y) * cw + x] = (maskPixels[std::size_t(y) * mw + x] & 0xFFFFFF) != 0;
        if (cbpp != 32)
            for (auto& c : im.color)
                c &= 0xFFFFFF;
        FinishAlpha(&im);
    } else {
        // A monochrome icon: the mask's top half is the AND mask, its bottom half the XOR image.
        if (mh < 2)
            return nullptr;
        im.width = mw;
        im.height = mh / 2;
        im.monochrome = true;
        const std::size_t half = std::size_t(mw) * im.height;
        im.mask.resize(half);
        im.color.resize(half);
        for (std::size_t i = 0; i < half; ++i) {
            im.mask[i] = (maskPixels[i] & 0xFFFFFF) != 0;
            im.color[i] = (maskPixels[half + i] & 0xFFFFFF) ? 0xFFFFFFu : 0u;
        }
    }
    // Windows: an icon's hot spot is its centre (MSDN ICONINFO).
    im.hotX = im.isIcon ? im.width / 2 : int(std::min<DWORD>(piconinfo->xHotspot, DWORD(im.width - 1)));
    im.hotY = im.isIcon ? im.height / 2 : int(std::min<DWORD>(piconinfo->yHotspot, DWORD(im.height - 1)));
    return Register(std::move(im));
}

HICON WINAPI CreateIcon(HINSTANCE, int nWidth, int nHeight, BYTE cPlanes, BYTE cBitsPixel, const BYTE* lpbANDbits,
                        const BYTE* lpbXORbits)
{
    if (!lpbANDbits || !lpbXORbits || !SizeAllowed(nWidth, nHeight))
        return nullptr;
    ICONINFO info{TRUE, 0, 0, nullptr, nullptr};
    if (cPlanes * cBitsPixel == 1) {
        // Both planes in one double-height mask, as a monochrome icon is kept.
        const std::size_t plane = std::size_t((nWidth + 15) / 16 * 2) * nHeight;
        std::vector<BYTE> both(lpbANDbits, lpbANDbits + plane);
        both.insert(both.end(), lpbXORbits, lpbXORbits + plane);
        info.hbmMask = CreateBitmap(nWidth, nHeight * 2, 1, 1, both.data());
    } else {
        info.hbmMask = CreateBitmap(nWidth, nHeight, 1, 1, lpbANDbits);
        info.hbmColor = CreateBitmap(nWidth, nHeight, cPlanes, cBitsPixel, lpbXORbits);
    }
    HICON icon = (info.hbmMask && (info.hbmColor || cPlanes * cBitsPixel == 1)) ? CreateIconIndirect(&info) : nullptr;
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return icon;
}

HCURSOR WINAPI CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int nWidth, int nHeight, const void* pvANDPlane,
                            const void* pvXORPlane)
{
    if (!pvANDPlane || !pvXORPlane || !SizeAllowed(nWidth, nHeight))
        return nullptr;
    const std::size_t plane = std::size_t((nWidth + 15) / 16 * 2) * nHeight;
    std::vector<BYTE> both(static_cast<const BYTE*>(pvANDPlane), static_cast<const BYTE*>(pvANDPlane) + plane);
    both.insert(both.end(), static_cast<const BYTE*>(pvXORPlane), static_cast<const BYTE*>(pvXORPlane) + plane);
    ICONINFO info{FALSE, DWORD(std::max(xHotSpot, 0)), DWORD(std::max(yHotSpot, 0)),
                  CreateBitmap(nWidth, nHeight * 2, 1, 1, both.data()), nullptr};
    HCURSOR cursor = info.hbmMask ? CreateIconIndirect(&info) : nullptr;
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return cursor;
}

BOOL WINAPI GetIconInfo(HICON hIcon, PICONINFO piconinfo)
{
    const IconPtr im = Find(hIcon);
    if (!im || !piconinfo)
        return FALSE;
    const int w = im->width, h = im->height;
    piconinfo->fIcon = im->isIcon;
    piconinfo->xHotspot = DWORD(im->hotX);
    piconinfo->yHotspot = DWORD(im->hotY);
    piconinfo->hbmColor = nullptr;
    if (im->monochrome) {
        const auto rows = MonoRows(w, h * 2, [&](int x, int y) {
            return y < h ? im->mask[std::size_t(y) * w + x] != 0
                         : (im->color[std::size_t(y - h) * w + x] & 0xFFFFFF) != 0;
        });
        piconinfo->hbmMask = CreateBitmap(w, h * 2, 1, 1, rows.data());
        return piconinfo->hbmMask ? TRUE : FALSE;
    }
    const auto rows = MonoRows(w, h, [&](int x, int y) { return im->mask[std::size_t(y) * w + x] != 0; });
    piconinfo->hbmMask = CreateBitmap(w, h, 1, 1, rows.data());
    piconinfo->hbmColor = CreateBitmap(w, h, 1, 32, im->color.data());
    if (!piconinfo->hbmMask || !piconinfo->hbmColor) {
        if (piconinfo->hbmMask)
            DeleteObject(piconinfo->hbmMask);
        if (piconinfo->hbmColor)
            DeleteObject(piconinfo->hbmColor);
        piconinfo->hbmMask = piconinfo->hbmColor = nullptr;
        return FALSE;
    }
    return TRUE;
}

HICON WINAPI CopyIcon(HICON hIcon)
{
    const IconPtr im = Find(hIcon);
    if (!im)
        return nullptr;
    IconImage copy = *im;
    copy.shared = false;
    return Register(std::move(copy));
}

// Windows: a shared icon (LoadIcon, LR_SHARED) is not destroyed; the call still succeeds (Wine's
// user32 cursoricon tests, test_DestroyCursor: LoadCursor's cursor stays valid).
BOOL WINAPI DestroyIcon(HICON hIcon)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const auto key = Key(hIcon);
    auto it = Icons().find(key);
    if (it == Icons().end()) {
        const auto stock = [&](const auto& e) { return e.second == key; };
        return std::any_of(reg.stockIcons.begin(), reg.stockIcons.end(), stock) ||
               std::any_of(reg.stockCursors.begin(), reg.stockCursors.end(), stock);
    }
    if (!it->second->shared) {
        if (Key(reg.cursor) == key)
            return FALSE; // Windows keeps the cursor in use (Wine's test_DestroyCursor)
        Icons().erase(it);
    }
    return TRUE;
}

BOOL WINAPI DestroyCursor(HCURSOR hCursor)
{
    return DestroyIcon(HICON(hCursor));
}

BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT,
                       HBRUSH hbrFlickerFreeDraw, UINT diFlags)
{
    const IconPtr im = Find(hIcon);
    if (!im || !hdc || cxWidth < 0 || cyWidth < 0)
        return FALSE;
    // Windows: 0 is the icon's own size, or the system's with DI_DEFAULTSIZE (MSDN DrawIconEx).
    if (cxWidth == 0)
        cxWidth = (diFlags & DI_DEFAULTSIZE) ? SystemSize(im->isIcon, false) : im->width;
    if (cyWidth == 0)
        cyWidth = (diFlags & DI_DEFAULTSIZE) ? SystemSize(im->isIcon, true) : im->height;
    if (!SizeAllowed(cxWidth, cyWidth))
        return FALSE;
    if (!(diFlags & DI_NORMAL))
        return TRUE; // nothing asked for, nothing drawn (Wine's check_DrawIconEx with no flags)
    if (!hbrFlickerFreeDraw)
        return Draw(hdc, xLeft, yTop, *im, cxWidth, cyWidth, diFlags) ? TRUE : FALSE;
    // Windows: with a brush, the icon is drawn over that brush off screen, then copied whole.
    PixelsDC off(cxWidth, cyWidth);
    if (!off.ok())
        return FALSE;
    const RECT all = {0, 0, cxWidth, cyWidth};
    FillRect(off.dc, &all, hbrFlickerFreeDraw);
    return Draw(off.dc, 0, 0, *im, cxWidth, cyWidth, diFlags) &&
                   BitBlt(hdc, xLeft, yTop, cxWidth, cyWidth, off.dc, 0, 0, SRCCOPY)
               ? TRUE
               : FALSE;
}

// Windows: at the system's icon size (MSDN DrawIcon).
BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon)
{
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}

} // extern "C"
