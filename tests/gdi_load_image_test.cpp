// LoadImage of BMP files of every depth, written on the fly, through the Windows API alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<BYTE>& v, std::size_t at, unsigned x)
{
    v[at] = BYTE(x);
    v[at + 1] = BYTE(x >> 8);
}
void Put32(std::vector<BYTE>& v, std::size_t at, unsigned x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = BYTE(x >> (8 * i));
}

// The four colours every test image shows, left to right, on each of its two rows (the bottom
// row reversed).
const COLORREF kColours[4] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 255, 255)};

COLORREF Expected(int x, int y) // y from the top
{
    return kColours[y == 0 ? x : 3 - x];
}

// A 4 x 2 BMP file at a depth, with a colour table of the four colours (indices 0-3; at one bit,
// black and white only, the others mapped to them) or pixels in the depth's own layout.
std::vector<BYTE> MakeBmp(int bpp, bool bitfields565, bool topDown)
{
    const int width = 4, height = 2;
    const int stride = ((width * bpp + 31) / 32) * 4;
    const int colours = bpp <= 8 ? (bpp == 1 ? 2 : 4) : 0;
    const int masks = bitfields565 ? 12 : 0;
    const int off = 14 + 40 + masks + colours * 4;
    std::vector<BYTE> f(static_cast<std::size_t>(off + stride * height), 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, unsigned(f.size()));
    Put32(f, 10, unsigned(off));
    Put32(f, 14, 40);
    Put32(f, 18, width);
    Put32(f, 22, unsigned(topDown ? -height : height));
    Put16(f, 26, 1);
    Put16(f, 28, unsigned(bpp));
    Put32(f, 30, bitfields565 ? BI_BITFIELDS : BI_RGB);
    Put32(f, 46, unsigned(colours));
    if (bitfields565) {
        Put32(f, 54, 0xf800);
        Put32(f, 58, 0x07e0);
        Put32(f, 62, 0x001f);
    }
    for (int i = 0; i < colours; ++i) {
        const COLORREF c = bpp == 1 ? (i ? RGB(255, 255, 255) : 0) : kColours[i];
        f[54 + i * 4] = GetBValue(c);
        f[55 + i * 4] = GetGValue(c);
        f[56 + i * 4] = GetRValue(c);
    }
    for (int y = 0; y < height; ++y) {
        const int memRow = topDown ? y : height - 1 - y;
        BYTE* row = &f[static_cast<std::size_t>(off + memRow * stride)];
        for (int x = 0; x < width; ++x) {
            const COLORREF c = Expected(x, y);
            const unsigned r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            int index = x;
            for (int i = 0; i < 4; ++i)
                if (kColours[i] == c)
                    index = i;
            switch (bpp) {
            case 1: row[0] |= BYTE((c == RGB(255, 255, 255) ? 1 : 0) << (7 - x)); break;
            case 4: row[x / 2] |= BYTE(index << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = BYTE(index); break;
            case 16: {
                const unsigned v = bitfields565 ? ((r >> 3) << 11 | (g >> 2) << 5 | b >> 3)
                                                : ((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
                row[x * 2] = BYTE(v);
                row[x * 2 + 1] = BYTE(v >> 8);
                break;
            }
            case 24:
                row[x * 3] = BYTE(b);
                row[x * 3 + 1] = BYTE(g);
                row[x * 3 + 2] = BYTE(r);
                break;
            case 32:
                row[x * 4] = BYTE(b);
                row[x * 4 + 1] = BYTE(g);
                row[x * 4 + 2] = BYTE(r);
                break;
            }
        }
    }
    return f;
}

std::string WriteFile(const std::string& name, const std::vector<BYTE>& bytes)
{
    std::FILE* f = std::fopen(name.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return name;
}

HBITMAP Load(const std::string& path, UINT flags, int cx = 0, int cy = 0)
{
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE | flags));
}

COLORREF PixelOf(HBITMAP bm, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

// Windows: LR_CREATEDIBSECTION keeps the file's depth in a DIB section; without it the bitmap
// is compatible with the screen (MSDN LoadImage).
TEST(LoadImage, BmpFilesOfEveryDepth)
{
    const struct {
        int bpp;
        bool bitfields;
        bool topDown;
    } cases[] = {{1, false, false}, {4, false, false}, {8, false, true}, {16, false, false},
                 {16, true, false}, {24, false, true},  {24, false, false}, {32, false, false}};
    for (const auto& c : cases) {
        const std::string name = "load_image_" + std::to_string(c.bpp) + (c.bitfields ? "bf" : "") +
                                 (c.topDown ? "td" : "") + ".bmp";
        const std::string path = WriteFile(name, MakeBmp(c.bpp, c.bitfields, c.topDown));
        for (UINT flags : {UINT(LR_CREATEDIBSECTION), UINT(0)}) {
            HBITMAP bm = Load(path, flags);
            ASSERT_NE(bm, nullptr) << name;
            DIBSECTION ds;
            const int size = GetObject(bm, sizeof ds, &ds);
            if (flags) {
                EXPECT_EQ(size, int(sizeof ds)) << name;
                EXPECT_EQ(ds.dsBm.bmBitsPixel, c.bpp) << name;
            } else {
                EXPECT_EQ(size, int(sizeof(BITMAP))) << name;
            }
            EXPECT_EQ(ds.dsBm.bmWidth, 4);
            EXPECT_EQ(ds.dsBm.bmHeight, 2);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 4; ++x) {
                    COLORREF want = Expected(x, y);
                    if (c.bpp == 1 && want != RGB(255, 255, 255))
                        want = 0;
                    EXPECT_EQ(PixelOf(bm, x, y), want) << name << " flags " << flags << " at " << x << "," << y;
                }
            DeleteObject(bm);
        }
        std::remove(path.c_str());
    }
}

TEST(LoadImage, StretchesToARequestedSize)
{
    const std::string path = WriteFile("load_image_stretch.bmp", MakeBmp(24, false, false));
    HBITMAP bm = Load(path, LR_CREATEDIBSECTION, 8, 4);
    ASSERT_NE(bm, nullptr);
    BITMAP info;
    GetObject(bm, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(PixelOf(bm, x, y), Expected(x / 2, y / 2)) << x << "," << y;
    DeleteObject(bm);
    std::remove(path.c_str());
}

// Damaged files are refused before any pixel is read: a short pixel array, a pixel offset past
// the end, a colour table past the end, absurd sizes, zero height, run-length data, colour masks
// that would follow an odd-sized header past the end (a fuzzer's find: they were read there).
TEST(LoadImage, RefusesDamagedFiles)
{
    const std::vector<BYTE> good = MakeBmp(8, false, false);
    const std::vector<BYTE> masked = MakeBmp(16, true, false);
    struct Damage {
        const char* what;
        std::size_t at;
        unsigned value; // a 32-bit field
        std::size_t keep; // bytes kept, 0 for all
        bool bitfields;
    } cases[] = {
        {"masks after a 44-byte header, past the end", 14, 44, 14 + 44, true},
        {"masks after a 40-byte header, past the end", 0, 0, 14 + 40 + 8, true},
        {"short pixels", 0, 0, good.size() - 1, false},
        {"header only", 0, 0, 30, false},
        {"offset past the end", 10, unsigned(good.size() + 4), 0, false},
        {"width absurd", 18, 0x7fffffff, 0, false},
        {"height zero", 22, 0, 0, false},
        {"colours past the end", 46, 0, 14 + 40 + 8, false},
        {"run-length", 30, 1 /* BI_RLE8 */, 0, false},
        {"depth 7", 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        std::vector<BYTE> bad = c.bitfields ? masked : good;
        if (c.at)
            Put32(bad, c.at, c.value);
        if (c.keep)
            bad.resize(c.keep);
        if (std::string(c.what) == "depth 7")
            Put16(bad, 28, 7);
        const std::string path = WriteFile("load_image_bad.bmp", bad);
        EXPECT_EQ(Load(path, LR_CREATEDIBSECTION), nullptr) << c.what;
        std::remove(path.c_str());
    }
    EXPECT_EQ(Load("no_such_file.bmp", LR_CREATEDIBSECTION), nullptr);
}

} // namespace
