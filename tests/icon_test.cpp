// Icons and cursors: which image of a group is chosen, how DrawIconEx combines mask, colour and
// alpha, GetIconInfo of what CreateIconIndirect was given, the program's own icon and cursor
// from tests/resources/game.rc, and damaged image data refused. Written against Windows' API
// only, so the Windows build checks the same cases against Windows' USER.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "resources/resource.h"

namespace {

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

// A group directory (GRPICONDIR) as the resource compiler writes it: members of the given
// sizes and depths, numbered 1, 2, ...
std::vector<BYTE> Group(bool icon, std::initializer_list<std::pair<int, int>> members)
{
    std::vector<BYTE> d = {0, 0, BYTE(icon ? 1 : 2), 0, BYTE(members.size()), 0};
    WORD id = 1;
    for (auto [size, bits] : members) {
        const int height = icon ? size : size * 2;
        if (icon) {
            d.insert(d.end(), {BYTE(size & 255), BYTE(size & 255), 0, 0, 1, 0});
        } else {
            d.insert(d.end(), {BYTE(size), BYTE(size >> 8), BYTE(height), BYTE(height >> 8), 1, 0});
        }
        d.insert(d.end(), {BYTE(bits), BYTE(bits >> 8), 0x28, 0, 0, 0, BYTE(id), BYTE(id >> 8)});
        ++id;
    }
    return d;
}

TEST(Icons, LookupChoosesTheClosestSizeNotLargerThenTheDisplayDepth)
{
    // Windows: the image closest to the size without exceeding it; of that size the display's
    // depth (32 here), else the deepest not deeper, else the shallowest (MSDN
    // LookupIconIdFromDirectoryEx). 0 means the system size, SM_CXICON (32).
    struct Case {
        const char* what;
        bool icon;
        std::vector<BYTE> dir;
        int cx, cy;
        UINT flags;
        int expected;
    };
    const Case cases[] = {
        {"exact size", true, Group(true, {{16, 32}, {32, 32}, {48, 32}}), 32, 32, 0, 2},
        {"exact small size", true, Group(true, {{16, 32}, {32, 32}, {48, 32}}), 16, 16, 0, 1},
        {"zero is the system size", true, Group(true, {{16, 32}, {32, 32}, {48, 32}}), 0, 0, 0, 2},
        {"between two: the smaller", true, Group(true, {{16, 32}, {32, 32}, {48, 32}}), 40, 40, 0, 2},
        {"larger than all: the largest", true, Group(true, {{16, 32}, {32, 32}}), 64, 64, 0, 2},
        {"display depth among equal sizes", true, Group(true, {{32, 4}, {32, 32}, {32, 8}}), 32, 32, 0, 2},
        {"deepest below the display", true, Group(true, {{32, 4}, {32, 8}, {16, 32}}), 32, 32, 0, 2},
        {"size before depth", true, Group(true, {{16, 32}, {32, 4}}), 32, 32, 0, 2},
        {"monochrome asks for one bit", true, Group(true, {{32, 8}, {32, 1}}), 32, 32, LR_MONOCHROME, 2},
        {"cursor groups give twice the height", false, Group(false, {{16, 1}, {32, 1}}), 32, 32, 0, 2},
        {"cursor of the system size", false, Group(false, {{32, 1}, {48, 1}}), 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> dir = c.dir;
        EXPECT_EQ(c.expected, LookupIconIdFromDirectoryEx(dir.data(), c.icon, c.cx, c.cy, c.flags)) << c.what;
    }
}

// A 1 x 1 icon of one colour (0xAARRGGBB, 32 bits) and mask bit, drawn as Wine's tests do.
HICON OnePixelIcon(UINT32 color, bool maskBit)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 1;
    bi.bmiHeader.biHeight = 1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP colorBm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!colorBm)
        return nullptr;
    std::memcpy(bits, &color, 4);
    const BYTE maskRow[2] = {BYTE(maskBit ? 0x80 : 0), 0};
    ICONINFO info = {TRUE, 0, 0, CreateBitmap(1, 1, 1, 1, maskRow), colorBm};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(colorBm);
    return icon;
}

struct PixelTarget {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = nullptr, old = nullptr;
    PixelTarget(int w, int h)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bm = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = static_cast<HBITMAP>(SelectObject(dc, bm));
    }
    ~PixelTarget()
    {
        SelectObject(dc, old);
        DeleteObject(bm);
        DeleteDC(dc);
    }
};

bool Near(COLORREF a, COLORREF b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = int((a >> shift) & 255) - int((b >> shift) & 255);
        if (d > 2 || d < -2)
            return false;
    }
    return true;
}

TEST(Icons, DrawIconExCombinesMaskColourAndAlpha)
{
    // Windows (Wine's user32 cursoricon tests, test_DrawIconEx): no flags draw nothing; DI_MASK
    // ANDs the mask; DI_IMAGE copies the colour; DI_NORMAL ANDs the mask then XORs the colour;
    // any alpha in the image blends it and leaves the mask out. Colours here are COLORREFs.
    struct Case {
        UINT32 color;
        bool mask;
        UINT flags;
        COLORREF background, expected;
    };
    const Case cases[] = {
        {0x00A0B0C0, false, 0, 0x00102030, 0x00102030},
        {0x80A0B0C0, false, DI_MASK, 0x00FFFFFF, 0x00000000},
        {0x80A0B0C0, true, DI_MASK, 0x00FFFFFF, 0x00FFFFFF},
        {0x00A0B0C0, false, DI_NORMAL, 0x00FFFFFF, 0x00C0B0A0},
        {0x00A0B0C0, true, DI_NORMAL, 0x00FFFFFF, 0x003F4F5F},
        {0xFFA0B0C0, true, DI_NORMAL, 0x00FFFFFF, 0x00C0B0A0},
        {0x80A0B0C0, false, DI_NORMAL, 0x00000000, 0x00605850},
        {0x80A0B0C0, true, DI_NORMAL, 0x00FFFFFF, 0x00DFD7CF},
        {0x01FFFFFF, false, DI_NORMAL, 0x00000000, 0x00010101},
    };
    PixelTarget t(1, 1);
    for (const Case& c : cases) {
        HICON icon = OnePixelIcon(c.color, c.mask);
        ASSERT_NE(nullptr, icon);
        SetPixelV(t.dc, 0, 0, c.background);
        DrawIconEx(t.dc, 0, 0, icon, 1, 1, 0, nullptr, c.flags);
        const COLORREF got = GetPixel(t.dc, 0, 0);
        EXPECT_TRUE(Near(got, c.expected)) << std::hex << "colour " << c.color << " mask " << c.mask << " flags "
                                           << c.flags << ": got " << got << ", expected " << c.expected;
        EXPECT_TRUE(DestroyIcon(icon));
    }
}

TEST(Icons, DrawIconExSizesAndFlickerFreeBrush)
{
    // Windows: sizes of 0 draw the icon's own size, or the system's with DI_DEFAULTSIZE; DrawIcon
    // draws at the system size (MSDN DrawIconEx, DrawIcon). A brush fills the drawn box first.
    HICON icon = OnePixelIcon(0x000000FF, false); // blue, opaque through the mask
    ASSERT_NE(nullptr, icon);
    PixelTarget t(40, 40);
    const RECT all = {0, 0, 40, 40};
    struct Case {
        const char* what;
        int cx, cy;
        UINT flags;
        bool drawIcon;
        int extent; // blue from (0,0) up to here on the diagonal
    };
    const Case cases[] = {
        {"own size", 0, 0, DI_NORMAL, false, 1},
        {"stretched", 5, 5, DI_NORMAL, false, 5},
        {"system size", 0, 0, DI_NORMAL | DI_DEFAULTSIZE, false, GetSystemMetrics(SM_CXICON)},
        {"DrawIcon", 0, 0, 0, true, GetSystemMetrics(SM_CXICON)},
    };
    for (const Case& c : cases) {
        FillRect(t.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (c.drawIcon)
            EXPECT_TRUE(DrawIcon(t.dc, 0, 0, icon)) << c.what;
        else
            EXPECT_TRUE(DrawIconEx(t.dc, 0, 0, icon, c.cx, c.cy, 0, nullptr, c.flags)) << c.what;
        EXPECT_EQ(RGB(0, 0, 255), GetPixel(t.dc, c.extent - 1, c.extent - 1)) << c.what;
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(t.dc, c.extent, c.extent)) << c.what;
    }

    HICON clear = OnePixelIcon(0x00000000, true); // screen shows through
    ASSERT_NE(nullptr, clear);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(t.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(DrawIconEx(t.dc, 2, 2, clear, 3, 3, 0, red, DI_NORMAL));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(t.dc, 4, 4));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(t.dc, 5, 5));
    DeleteObject(red);
    DestroyIcon(clear);
    DestroyIcon(icon);
}

TEST(Icons, GetIconInfoGivesBackWhatCreateIconIndirectTook)
{
    // Windows: GetIconInfo makes new bitmaps the caller deletes; an icon's hot spot is its
    // centre, a cursor's the one given (MSDN ICONINFO); a monochrome cursor (no colour bitmap)
    // keeps a mask of twice the height.
    const BYTE maskRows[16 * 2 * 2] = {0xF0, 0x0F}; // row 0: left half transparent
    std::vector<BYTE> both(maskRows, maskRows + sizeof maskRows);
    struct Case {
        const char* what;
        BOOL icon;
        bool color;
        DWORD hotX, hotY;
        DWORD expectHotX, expectHotY;
        LONG maskHeight;
    };
    const Case cases[] = {
        {"colour icon", TRUE, true, 3, 4, 8, 8, 16},
        {"colour cursor", FALSE, true, 3, 4, 3, 4, 16},
        {"monochrome cursor", FALSE, false, 1, 2, 1, 2, 32},
    };
    for (const Case& c : cases) {
        ICONINFO in = {c.icon, c.hotX, c.hotY, CreateBitmap(16, c.color ? 16 : 32, 1, 1, both.data()), nullptr};
        if (c.color) {
            HDC screen = GetDC(nullptr);
            in.hbmColor = CreateCompatibleBitmap(screen, 16, 16);
            ReleaseDC(nullptr, screen);
        }
        HICON icon = CreateIconIndirect(&in);
        ASSERT_NE(nullptr, icon) << c.what;
        ICONINFO out{};
        ASSERT_TRUE(GetIconInfo(icon, &out)) << c.what;
        EXPECT_EQ(c.icon, out.fIcon) << c.what;
        EXPECT_EQ(c.expectHotX, out.xHotspot) << c.what;
        EXPECT_EQ(c.expectHotY, out.yHotspot) << c.what;
        EXPECT_EQ(c.color, out.hbmColor != nullptr) << c.what;
        BITMAP bm{};
        ASSERT_EQ(int(sizeof bm), GetObjectA(out.hbmMask, sizeof bm, &bm)) << c.what;
        EXPECT_EQ(16, bm.bmWidth) << c.what;
        EXPECT_EQ(c.maskHeight, bm.bmHeight) << c.what;
        EXPECT_EQ(1, bm.bmBitsPixel) << c.what;
        BYTE row[2] = {};
        EXPECT_EQ(2, GetBitmapBits(out.hbmMask, 2, row)) << c.what;
        EXPECT_EQ(0xF0, row[0]) << c.what;
        EXPECT_NE(out.hbmMask, in.hbmMask) << c.what;
        DeleteObject(out.hbmMask);
        if (out.hbmColor)
            DeleteObject(out.hbmColor);
        DeleteObject(in.hbmMask);
        if (in.hbmColor)
            DeleteObject(in.hbmColor);
        EXPECT_TRUE(DestroyIcon(icon)) << c.what;
    }
    ICONINFO none{};
    EXPECT_FALSE(GetIconInfo(nullptr, &none));
}

LONG MaskWidth(HICON icon, LONG* height, DWORD* hotX, DWORD* hotY)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return 0;
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    *height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    *hotX = info.xHotspot;
    *hotY = info.yHotspot;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return bm.bmWidth;
}

TEST(Icons, TheProgramsOwnIconAndCursorLoadAtTheSizesAsked)
{
    // game.ico holds 16 and 32 pixel images; pointer.cur one 32-pixel cursor with its hot spot
    // at (5, 7). Windows: LoadIcon gives the system size and the same handle each time (shared);
    // LoadImage without LR_SHARED gives a new one each time, at the size asked, or with 0 and no
    // LR_DEFAULTSIZE the first image's (MSDN LoadIcon, LoadImage).
    struct Case {
        const char* what;
        HANDLE handle;
        LONG width, height;
        DWORD hotX, hotY;
    };
    HICON icon = LoadIconA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HCURSOR cursor = LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_POINTER));
    const Case cases[] = {
        {"LoadIcon", icon, 32, 32, 16, 16},
        {"LoadCursor", cursor, 32, 32, 5, 7},
        {"small icon", LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0), 16, 16, 8, 8},
        {"first image's size", LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 0, 0, 0), 16, 16, 8, 8},
        {"default size", LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE), 32, 32,
         16, 16},
        {"scaled up", LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 48, 48, 0), 48, 48, 24, 24},
        {"wide name", LoadImageW(Self(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0), 16, 16, 8, 8},
    };
    for (const Case& c : cases) {
        ASSERT_NE(nullptr, c.handle) << c.what;
        LONG height = 0;
        DWORD hotX = 0, hotY = 0;
        EXPECT_EQ(c.width, MaskWidth(static_cast<HICON>(c.handle), &height, &hotX, &hotY)) << c.what;
        EXPECT_EQ(c.height, height) << c.what;
        EXPECT_EQ(c.hotX, hotX) << c.what;
        EXPECT_EQ(c.hotY, hotY) << c.what;
    }
    EXPECT_EQ(icon, LoadIconA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    EXPECT_NE(cases[2].handle, LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    // A shared icon survives DestroyIcon (Wine's user32 cursoricon tests, test_DestroyCursor).
    EXPECT_TRUE(DestroyIcon(icon));
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    EXPECT_EQ(nullptr, LoadIconA(Self(), MAKEINTRESOURCEA(999)));
    EXPECT_EQ(nullptr, LoadCursorA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME))); // an icon, not a cursor
}

TEST(Icons, TheChosenImageOfTheProgramsIconIsTheOneDrawn)
{
    // game.ico's 16-pixel image is opaque red, its 32-pixel one opaque green: the image drawn
    // shows which one a size chose, and that it covers exactly its size.
    struct Case {
        const char* what;
        HANDLE icon;
        int size;
        COLORREF color;
    };
    const Case cases[] = {
        {"LoadIcon", LoadIconA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME)), 32, RGB(0, 255, 0)},
        {"16 pixels", LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0), 16, RGB(255, 0, 0)},
        {"20 pixels: the 16 scaled", LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 20, 20, 0), 20,
         RGB(255, 0, 0)},
    };
    PixelTarget t(40, 40);
    const RECT all = {0, 0, 40, 40};
    for (const Case& c : cases) {
        ASSERT_NE(nullptr, c.icon) << c.what;
        FillRect(t.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ASSERT_TRUE(DrawIconEx(t.dc, 0, 0, static_cast<HICON>(c.icon), 0, 0, 0, nullptr, DI_NORMAL)) << c.what;
        EXPECT_EQ(c.color, GetPixel(t.dc, 0, 0)) << c.what;
        EXPECT_EQ(c.color, GetPixel(t.dc, c.size - 1, c.size - 1)) << c.what;
        EXPECT_EQ(RGB(255, 255, 255), GetPixel(t.dc, c.size, c.size)) << c.what;
    }
}

// A 2 x 2 icon image as resources and files keep it: BITMAPINFOHEADER (height doubled), 32-bit
// XOR rows (opaque blue) and AND rows.
std::vector<BYTE> TwoByTwoImage()
{
    std::vector<BYTE> image(40 + 16 + 8, 0);
    const DWORD header[] = {40, 2, 4};
    std::memcpy(image.data(), header, sizeof header);
    image[12] = 1;  // planes
    image[14] = 32; // bits
    for (int i = 0; i < 4; ++i) {
        image[40 + 4 * i] = 0xFF;
        image[40 + 4 * i + 3] = 0xFF;
    }
    return image;
}

TEST(Icons, IconAndCursorFilesLoadWithLoadFromFile)
{
    // An .ico or .cur file: a 6-byte header, 16 bytes an image (a cursor's hot spot where an
    // icon has planes and depth), then the images (MSDN LoadImage, LR_LOADFROMFILE).
    const std::vector<BYTE> image = TwoByTwoImage();
    auto file = [&](bool icon, std::size_t cut) {
        std::vector<BYTE> f = {0, 0, BYTE(icon ? 1 : 2), 0, 1, 0, 2, 2, 0, 0};
        if (icon)
            f.insert(f.end(), {1, 0, 32, 0});
        else
            f.insert(f.end(), {1, 0, 0, 0}); // hot spot (1, 0)
        const DWORD size = DWORD(image.size()), offset = 22;
        f.insert(f.end(), {BYTE(size), BYTE(size >> 8), 0, 0, BYTE(offset), 0, 0, 0});
        f.insert(f.end(), image.begin(), image.end());
        f.resize(f.size() - cut);
        return f;
    };
    struct Case {
        const char* what;
        bool icon;
        std::size_t cut;
        UINT type;
        bool loads;
        DWORD hotX;
    };
    const Case cases[] = {
        {"icon file", true, 0, IMAGE_ICON, true, 1},
        {"cursor file", false, 0, IMAGE_CURSOR, true, 1},
        {"icon file cut short", true, 10, IMAGE_ICON, false, 0},
    };
    for (const Case& c : cases) {
        const char* name = "icon_test_file.tmp";
        const std::vector<BYTE> bytes = file(c.icon, c.cut);
        std::FILE* out = std::fopen(name, "wb");
        ASSERT_NE(nullptr, out);
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        HANDLE h = LoadImageA(nullptr, name, c.type, 0, 0, LR_LOADFROMFILE);
        std::remove(name);
        EXPECT_EQ(c.loads, h != nullptr) << c.what;
        if (!h)
            continue;
        LONG height = 0;
        DWORD hotX = 0, hotY = 0;
        EXPECT_EQ(2, MaskWidth(static_cast<HICON>(h), &height, &hotX, &hotY)) << c.what;
        EXPECT_EQ(2, height) << c.what;
        EXPECT_EQ(c.hotX, hotX) << c.what;
        EXPECT_EQ(c.icon ? 1u : 0u, hotY) << c.what; // an icon's is its centre
        DestroyIcon(static_cast<HICON>(h));
    }
    EXPECT_EQ(nullptr, LoadImageA(nullptr, "no-such-icon.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}

TEST(Icons, PngImagesAreIconImagesToo)
{
    // Windows Vista and later keep large icon images as PNG files inside the group (MSDN
    // CreateIconFromResourceEx: "the PNG format"). A 2 x 1 PNG: opaque red, then transparent.
    BYTE png[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
                  0x44, 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
                  0x00, 0xf4, 0x22, 0x7f, 0x8a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x44, 0x41, 0x54, 0x78,
                  0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x46, 0x00, 0x0e, 0xfa, 0x02, 0xfe, 0xf5, 0x1e,
                  0x4c, 0xa9, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    HICON icon = CreateIconFromResourceEx(png, sizeof png, TRUE, 0x00030000, 0, 0, 0);
    ASSERT_NE(nullptr, icon);
    PixelTarget t(3, 1);
    for (int x = 0; x < 3; ++x)
        SetPixelV(t.dc, x, 0, RGB(0, 0, 255));
    ASSERT_TRUE(DrawIconEx(t.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(t.dc, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(t.dc, 1, 0));
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(t.dc, 2, 0));
    DestroyIcon(icon);
    // A PNG cut inside its image data is refused.
    EXPECT_EQ(nullptr, CreateIconFromResourceEx(png, 50, TRUE, 0x00030000, 0, 0, 0));
}

TEST(Icons, DamagedImageDataIsRefused)
{
    std::vector<BYTE> good = TwoByTwoImage();
    HICON ok = CreateIconFromResourceEx(good.data(), DWORD(good.size()), TRUE, 0x00030000, 0, 0, 0);
    ASSERT_NE(nullptr, ok);
    DestroyIcon(ok);

    struct Case {
        const char* what;
        std::size_t offset; // byte changed, or the size cut to it
        int value;          // -1: cut the data at offset
        DWORD version;
    };
    const Case cases[] = {
        {"cut inside the header", 20, -1, 0x00030000},
        {"cut inside the colour rows", 50, -1, 0x00030000},
        {"width negative", 7, 0x80, 0x00030000},
        {"absurd height", 11, 0x40, 0x00030000},
        {"unknown depth", 14, 7, 0x00030000},
        {"run-length compressed", 16, 1, 0x00030000},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bad = good;
        if (c.value < 0)
            bad.resize(c.offset);
        else
            bad[c.offset] = BYTE(c.value);
        EXPECT_EQ(nullptr, CreateIconFromResourceEx(bad.data(), DWORD(bad.size()), TRUE, c.version, 0, 0, 0)) << c.what;
    }
}

TEST(Icons, FormatVersionsOutsideTheDocumentedRangeAreRefused)
{
    // Windows: dwVer is from 0x00020000 to 0x00030000 (MSDN CreateIconFromResourceEx).
    std::vector<BYTE> image = TwoByTwoImage();
    const DWORD versions[] = {0, 0x00010000, 0x00030001};
    for (DWORD v : versions)
        EXPECT_EQ(nullptr, CreateIconFromResourceEx(image.data(), DWORD(image.size()), TRUE, v, 0, 0, 0)) << v;
    HICON ok = CreateIconFromResourceEx(image.data(), DWORD(image.size()), TRUE, 0x00020000, 0, 0, 0);
    EXPECT_NE(nullptr, ok);
    DestroyIcon(ok);
}

TEST(Icons, WindowsKeepTheIconsSentThemAndTheirClassHasItsOwn)
{
    // Windows: WM_SETICON returns the icon it replaces; WM_GETICON returns only icons given by
    // WM_SETICON, not the class's; GetClassLongPtr answers with the class's (MSDN WM_SETICON,
    // WM_GETICON, GetClassLongPtr).
    HICON big = LoadIconA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HICON small = static_cast<HICON>(LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(nullptr, big);
    ASSERT_NE(nullptr, small);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = Self();
    wc.hIcon = big;
    wc.hIconSm = small;
    wc.hCursor = LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_POINTER));
    wc.lpszClassName = "IconTestWindow";
    ASSERT_NE(0, RegisterClassExA(&wc));
    HWND hwnd = CreateWindowExA(0, "IconTestWindow", "icons", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                Self(), nullptr);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(ULONG_PTR(big), GetClassLongPtrA(hwnd, GCLP_HICON));
    EXPECT_EQ(ULONG_PTR(small), GetClassLongPtrA(hwnd, GCLP_HICONSM));
    EXPECT_EQ(ULONG_PTR(wc.hCursor), GetClassLongPtrA(hwnd, GCLP_HCURSOR));

    struct Step {
        UINT message;
        WPARAM which;
        HICON icon;
        HICON expected;
    };
    const Step steps[] = {
        {WM_GETICON, ICON_BIG, nullptr, nullptr},
        {WM_GETICON, ICON_SMALL, nullptr, nullptr},
        {WM_SETICON, ICON_BIG, big, nullptr},
        {WM_SETICON, ICON_BIG, small, big},
        {WM_SETICON, ICON_SMALL, big, nullptr},
        {WM_GETICON, ICON_BIG, nullptr, small},
        {WM_GETICON, ICON_SMALL, nullptr, big},
        {WM_GETICON, ICON_SMALL2, nullptr, big},
        {WM_SETICON, ICON_SMALL, nullptr, big},
        {WM_GETICON, ICON_SMALL, nullptr, nullptr},
    };
    int n = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(reinterpret_cast<LRESULT>(s.expected),
                  SendMessageA(hwnd, s.message, s.which, reinterpret_cast<LPARAM>(s.icon)))
            << "step " << n;
        ++n;
    }
    DestroyWindow(hwnd);
    UnregisterClassA("IconTestWindow", Self());
    DestroyIcon(small);
}

TEST(Icons, IconStaticControlsLoadTheIconTheirTextNamesAndTakeItsSize)
{
    // Windows: an SS_ICON control's text names the icon resource and the control takes the
    // icon's size; STM_SETICON returns the icon before (MSDN Static Control Styles, STM_SETICON).
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = Self();
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "IconStaticParent";
    ASSERT_NE(0, RegisterClassA(&wc));
    HWND parent = CreateWindowExA(0, "IconStaticParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  Self(), nullptr);
    ASSERT_NE(nullptr, parent);
    HWND control = CreateWindowExA(0, "STATIC", "#128", WS_CHILD | WS_VISIBLE | SS_ICON, 4, 4, 1, 1, parent,
                                   nullptr, Self(), nullptr);
    ASSERT_NE(nullptr, control);
    const HICON icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
    EXPECT_EQ(LoadIconA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME)), icon);
    RECT rc{};
    GetClientRect(control, &rc);
    EXPECT_EQ(32, rc.right);
    EXPECT_EQ(32, rc.bottom);

    // The icon is drawn: game.ico's 32-pixel image is opaque green.
    UpdateWindow(parent);
    UpdateWindow(control);
    HDC dc = GetDC(control);
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 16, 16));
    ReleaseDC(control, dc);

    HICON small = static_cast<HICON>(LoadImageA(Self(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon), SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(small), 0));
    GetClientRect(control, &rc);
    EXPECT_EQ(16, rc.right);
    EXPECT_EQ(reinterpret_cast<LRESULT>(small), SendMessageA(control, STM_GETIMAGE, IMAGE_ICON, 0));
    DestroyWindow(parent);
    UnregisterClassA("IconStaticParent", Self());
    DestroyIcon(small);
}

TEST(Icons, TheSystemsIconsArePicturesOfTheSystemSize)
{
    // Windows: LoadIcon(NULL, IDI_...) gives the system's icons at SM_CXICON (MSDN LoadIcon),
    // drawable and described like the program's own; destroying one leaves it usable.
    const WORD ids[] = {32512, 32513, 32514, 32515, 32516, 32517, 32518};
    PixelTarget t(32, 32);
    const RECT all = {0, 0, 32, 32};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    for (WORD id : ids) {
        HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, icon) << id;
        EXPECT_EQ(icon, LoadIconA(nullptr, MAKEINTRESOURCEA(id))) << id;
        LONG height = 0;
        DWORD hotX = 0, hotY = 0;
        EXPECT_EQ(GetSystemMetrics(SM_CXICON), MaskWidth(icon, &height, &hotX, &hotY)) << id;
        FillRect(t.dc, &all, magenta);
        EXPECT_TRUE(DrawIcon(t.dc, 0, 0, icon)) << id;
        int changed = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                changed += GetPixel(t.dc, x, y) != RGB(255, 0, 255);
        EXPECT_GT(changed, 100) << id;
        EXPECT_TRUE(DestroyIcon(icon)) << id;
        EXPECT_TRUE(DrawIcon(t.dc, 0, 0, icon)) << id;
    }
    DeleteObject(magenta);
}

TEST(Icons, SetCursorTakesTheProgramsCursorAndGivesBackThePrevious)
{
    // Windows: SetCursor returns the cursor before; GetCursor the one set (MSDN SetCursor).
    HCURSOR own = LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_POINTER));
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    ASSERT_NE(nullptr, own);
    const HCURSOR before = SetCursor(own);
    EXPECT_EQ(own, GetCursor());
    EXPECT_EQ(own, SetCursor(arrow));
    EXPECT_EQ(arrow, GetCursor());
    SetCursor(before);
}

} // namespace
