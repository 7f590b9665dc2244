// GDI bitmaps of every depth, raster operations, colour and monochrome conversions,
// TransparentBlt and AlphaBlend, written against the Windows API alone so that the same checks
// run against real GDI under Wine.
#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

// A BITMAPINFO with room for 256 colours or three masks.
struct Info {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];

    Info(int width, int height, int bpp, DWORD compression = BI_RGB)
    {
        std::memset(this, 0, sizeof *this);
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = static_cast<WORD>(bpp);
        header.biCompression = compression;
    }
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
    void SetMasks(DWORD r, DWORD g, DWORD b)
    {
        DWORD masks[3] = {r, g, b};
        std::memcpy(colors, masks, sizeof masks);
    }
};

// A bitmap selected into its own memory DC; both released at the end of the scope.
struct Dc {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    BYTE* bits = nullptr;
    int stride = 0;

    explicit Dc(HBITMAP bm, BYTE* b = nullptr, int rowBytes = 0) : bitmap(bm), bits(b), stride(rowBytes)
    {
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    static Dc Section(Info& info, BITMAPINFO* forCreate = nullptr)
    {
        void* b = nullptr;
        HBITMAP bm = CreateDIBSection(nullptr, forCreate ? forCreate : info.get(), DIB_RGB_COLORS, &b, nullptr, 0);
        const int stride = ((info.header.biWidth * info.header.biBitCount + 31) / 32) * 4;
        return Dc(bm, static_cast<BYTE*>(b), stride);
    }
    Dc(Dc&& o) noexcept : dc(o.dc), bitmap(o.bitmap), old(o.old), bits(o.bits), stride(o.stride)
    {
        o.dc = nullptr;
        o.bitmap = nullptr;
    }
    ~Dc()
    {
        if (!dc)
            return;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
const COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kMagenta = RGB(255, 0, 255);

DWORD Word32(const Dc& d, int x, int y) // a 32-bit top-down section's pixel as stored
{
    DWORD v;
    std::memcpy(&v, d.bits + y * d.stride + x * 4, 4);
    return v;
}

// --- Device-dependent bitmaps ------------------------------------------------------------------

// Windows: CreateBitmap rounds the depth up to 1, 4, 8, 16, 24 or 32, rows of the bits are
// 16-bit aligned and a DDB has no bits address (gdi32 tests/bitmap.c test_CreateBitmap,
// test_bitmap_info, test_bmBits).
TEST(CreateBitmap, RoundsDepthsAndDescribesRowsAs16BitAligned)
{
    const struct {
        UINT asked;
        WORD depth;
        LONG widthBytes; // for 5 pixels
    } cases[] = {{1, 1, 2}, {2, 4, 4}, {4, 4, 4}, {7, 8, 6}, {8, 8, 6}, {15, 16, 10}, {16, 16, 10}, {24, 24, 16}, {32, 32, 20}};
    for (const auto& c : cases) {
        HBITMAP bm = CreateBitmap(5, 3, 1, c.asked, nullptr);
        ASSERT_NE(bm, nullptr) << c.asked;
        BITMAP info;
        ASSERT_EQ(GetObject(bm, sizeof info, &info), int(sizeof info));
        EXPECT_EQ(info.bmBitsPixel, c.depth) << c.asked;
        EXPECT_EQ(info.bmWidthBytes, c.widthBytes) << c.asked;
        EXPECT_EQ(info.bmWidth, 5);
        EXPECT_EQ(info.bmHeight, 3);
        EXPECT_EQ(info.bmBits, nullptr);
        DIBSECTION ds;
        EXPECT_EQ(GetObject(bm, sizeof ds, &ds), int(sizeof(BITMAP))) << "a DDB is not a DIB section";
        DeleteObject(bm);
    }
    EXPECT_EQ(CreateBitmap(1, 1, 1, 33, nullptr), nullptr);
}

// Windows: an empty bitmap is the stock 1x1 monochrome one; a new memory DC makes monochrome
// compatible bitmaps, the screen 32-bit ones (gdi32 tests/bitmap.c test_CreateBitmap; MSDN
// CreateCompatibleBitmap).
TEST(CreateCompatibleBitmap, FollowsTheDCsBitmap)
{
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP empty = CreateCompatibleBitmap(mem, 0, 0);
    HGDIOBJ stock = SelectObject(mem, CreateBitmap(1, 1, 1, 1, nullptr));
    EXPECT_EQ(empty, stock);
    EXPECT_EQ(CreateBitmap(0, 1, 1, 1, nullptr), stock);
    DeleteObject(SelectObject(mem, stock));

    struct {
        HDC dc;
        WORD depth;
    } cases[] = {{mem, 1}, {screen, 32}};
    for (const auto& c : cases) {
        HBITMAP bm = CreateCompatibleBitmap(c.dc, 7, 2);
        ASSERT_NE(bm, nullptr);
        BITMAP info;
        GetObject(bm, sizeof info, &info);
        EXPECT_EQ(info.bmBitsPixel, c.depth);
        EXPECT_EQ(info.bmWidth, 7);
        DeleteObject(bm);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

// GetBitmapBits hands out rows top-down and 16-bit aligned; SetBitmapBits takes them back.
TEST(BitmapBits, RoundTripOnAMonochromeBitmap)
{
    const WORD pattern[3] = {0x55aa, 0xff00, 0x0f0f};
    HBITMAP bm = CreateBitmap(12, 3, 1, 1, pattern);
    WORD back[3] = {};
    EXPECT_EQ(GetBitmapBits(bm, sizeof back, back), LONG(sizeof back));
    for (int row = 0; row < 3; ++row) // 12 of 16 bits: the low nibble of the second byte is padding
        EXPECT_EQ(back[row] & 0xf0ff, pattern[row] & 0xf0ff) << row;
    Dc d(bm);
    // Bit 7 of the first byte is the leftmost pixel; 1 is white.
    EXPECT_EQ(GetPixel(d.dc, 0, 0), kWhite); // first byte 0xaa: 1010...
    EXPECT_EQ(GetPixel(d.dc, 1, 0), kBlack);
    EXPECT_EQ(GetPixel(d.dc, 0, 1), kBlack); // 0x00 then 0xff
    EXPECT_EQ(GetPixel(d.dc, 8, 1), kWhite);
    const WORD cleared[3] = {};
    EXPECT_EQ(SetBitmapBits(bm, sizeof cleared, cleared), LONG(sizeof cleared));
    EXPECT_EQ(GetPixel(d.dc, 0, 0), kBlack);
}

// Windows: without a buffer GetBitmapBits answers the whole size whatever the count; with one, a
// negative count means the whole bitmap and 0 copies nothing; a device bitmap made without bits
// reads as zeros (gdi32 bitmap.c test_bitmap_info, run on Windows).
TEST(BitmapBits, CountsAndAnUninitialisedDeviceBitmap)
{
    HDC screen = GetDC(nullptr);
    BITMAPINFOHEADER bih{sizeof(BITMAPINFOHEADER), 10, 10, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP bm = CreateDIBitmap(screen, &bih, 0, nullptr, nullptr, 0);
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObject(bm, sizeof info, &info), int(sizeof info));
    const LONG total = info.bmWidthBytes * info.bmHeight;
    for (LONG count : {total, LONG(0), LONG(-1), LONG(-1000)})
        EXPECT_EQ(GetBitmapBits(bm, count, nullptr), total) << count;
    std::vector<BYTE> buffer(static_cast<std::size_t>(total) + 8, 0xAA);
    for (LONG count : {total, LONG(-1), LONG(-1000)}) {
        std::fill(buffer.begin(), buffer.end(), BYTE(0xAA));
        EXPECT_EQ(GetBitmapBits(bm, count, buffer.data()), total) << count;
        EXPECT_EQ(std::count(buffer.begin(), buffer.begin() + total, BYTE(0)), total) << count;
        EXPECT_EQ(buffer[static_cast<std::size_t>(total)], 0xAA) << count;
    }
    EXPECT_EQ(GetBitmapBits(bm, 0, buffer.data()), 0);
    DeleteObject(bm);
    ReleaseDC(nullptr, screen);
}

// --- Pixels at every depth ---------------------------------------------------------------------

// Windows: 16-bit pixels widen 5-bit channels by repeating their top bits, indexed pixels take
// the nearest colour-table entry, monochrome DDBs the nearer of black and white (gdi32
// tests/bitmap.c test_mono_bitmap get_nearest; tests/dib.c).
TEST(SetPixel, StoresTheNearestColourEachDepthHolds)
{
    const struct {
        int bpp;
        DWORD compression;
        COLORREF set, got;
    } cases[] = {
        {32, BI_RGB, RGB(1, 2, 3), RGB(1, 2, 3)},
        {24, BI_RGB, RGB(1, 2, 3), RGB(1, 2, 3)},
        {16, BI_RGB, RGB(0x87, 0x44, 0xff), RGB(0x84, 0x42, 0xff)},
        {16, BI_BITFIELDS, RGB(0x87, 0x46, 0x0f), RGB(0x84, 0x45, 0x08)},
        {8, BI_RGB, RGB(200, 30, 20), RGB(255, 0, 0)},
        {4, BI_RGB, RGB(10, 10, 200), RGB(0, 0, 255)},
        {1, BI_RGB, RGB(100, 100, 100), RGB(0, 0, 0)},
        {1, BI_RGB, RGB(160, 160, 160), RGB(255, 255, 255)},
    };
    for (const auto& c : cases) {
        Info info(4, -2, c.bpp, c.compression);
        const COLORREF table[4] = {kBlack, kRed, kBlue, kWhite};
        for (int i = 0; i < 4; ++i)
            info.colors[i] = RGBQUAD{GetBValue(table[i]), GetGValue(table[i]), GetRValue(table[i]), 0};
        if (c.compression == BI_BITFIELDS)
            info.SetMasks(0xf800, 0x07e0, 0x001f);
        info.header.biClrUsed = c.bpp <= 8 ? 4 : 0;
        if (c.bpp == 1) {
            info.colors[1] = RGBQUAD{255, 255, 255, 0};
            info.header.biClrUsed = 2;
        }
        Dc d = Dc::Section(info);
        ASSERT_NE(d.bits, nullptr) << c.bpp;
        EXPECT_EQ(GetNearestColor(d.dc, c.set), c.got) << c.bpp;
        EXPECT_EQ(SetPixel(d.dc, 3, 1, c.set), c.got) << c.bpp;
        EXPECT_EQ(GetPixel(d.dc, 3, 1), c.got) << c.bpp;
        EXPECT_EQ(GetPixel(d.dc, 2, 1), kBlack) << c.bpp;
        EXPECT_EQ(GetPixel(d.dc, 4, 1), CLR_INVALID);
        EXPECT_TRUE(SetPixelV(d.dc, 0, 0, c.set));
        EXPECT_EQ(GetPixel(d.dc, 0, 0), c.got);
    }
}

// Where each depth keeps a pixel: leftmost pixel in the highest bits, 555 words, 24-bit BGR.
TEST(DibSection, PixelLayoutsOfEachDepth)
{
    const struct {
        int bpp;
        int x;
        int byte;     // the byte of row 0 that holds pixel x
        BYTE expected; // its value after SetPixel(x, 0, white), the rest being 0
    } cases[] = {{1, 1, 0, 0x40}, {1, 9, 1, 0x40}, {4, 1, 0, 0x0f}, {4, 2, 1, 0xf0}, {8, 2, 2, 0x01},
                 {16, 1, 3, 0x7f}, {24, 1, 5, 0xff}, {32, 1, 7, 0x00}};
    for (const auto& c : cases) {
        Info info(16, -1, c.bpp);
        info.colors[c.bpp == 4 ? 15 : 1] = RGBQUAD{255, 255, 255, 0};
        info.header.biClrUsed = c.bpp == 4 ? 16 : (c.bpp <= 8 ? 2 : 0);
        Dc d = Dc::Section(info);
        ASSERT_NE(d.bits, nullptr);
        SetPixel(d.dc, c.x, 0, kWhite);
        EXPECT_EQ(d.bits[c.byte], c.expected) << c.bpp << " bpp, x " << c.x;
        DIBSECTION ds;
        ASSERT_EQ(GetObject(d.bitmap, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmBitsPixel, c.bpp);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, (16 * c.bpp + 31) / 32 * 4);
        EXPECT_EQ(ds.dsBm.bmBits, d.bits);
    }
}

// --- Colour and monochrome ---------------------------------------------------------------------

// Windows: into a monochrome bitmap, source pixels equal to the source DC's background colour
// become 1 (white), all others 0; from a monochrome bitmap, 0 takes the destination DC's text
// colour and 1 its background colour; a 1-bit DIB section gives its colour table instead
// (MSDN BitBlt remarks; gdi32 tests/bitmap.c test_StretchBlt, test_bitmap_colors).
TEST(BitBlt, ConvertsBetweenColourAndMonochromeAsDocumented)
{
    Info colourInfo(4, -1, 32);
    Dc colour = Dc::Section(colourInfo);
    const COLORREF row[4] = {kMagenta, kRed, kMagenta, kWhite};
    for (int x = 0; x < 4; ++x)
        SetPixel(colour.dc, x, 0, row[x]);

    Dc mono(CreateBitmap(4, 1, 1, 1, nullptr));
    SetBkColor(colour.dc, kMagenta);
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 4, 1, colour.dc, 0, 0, SRCCOPY));
    const COLORREF monoExpected[4] = {kWhite, kBlack, kWhite, kBlack};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(mono.dc, x, 0), monoExpected[x]) << x;

    Info backInfo(4, -1, 32);
    Dc back = Dc::Section(backInfo);
    SetTextColor(back.dc, kGreen);
    SetBkColor(back.dc, kBlue);
    ASSERT_TRUE(BitBlt(back.dc, 0, 0, 4, 1, mono.dc, 0, 0, SRCCOPY));
    const COLORREF backExpected[4] = {kBlue, kGreen, kBlue, kGreen};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(back.dc, x, 0), backExpected[x]) << x;

    Info dibInfo(4, -1, 1);
    dibInfo.colors[0] = RGBQUAD{0x56, 0x34, 0x12, 0};
    dibInfo.colors[1] = RGBQUAD{0x77, 0x55, 0x33, 0};
    Dc dib = Dc::Section(dibInfo);
    dib.bits[0] = 0x50; // 0101
    ASSERT_TRUE(BitBlt(back.dc, 0, 0, 4, 1, dib.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(Word32(back, 0, 0), 0x123456u);
    EXPECT_EQ(Word32(back, 1, 0), 0x335577u);
}

// The classic sprite: a mask made from the sprite with the key as background colour, then the
// mask ANDed in and the sprite (key painted black) ORed or XORed on top.
TEST(BitBlt, MaskSpriteLeavesTheBackgroundWhereTheKeyWas)
{
    for (DWORD paint : {SRCPAINT, SRCINVERT}) {
        Info info(3, -1, 32);
        Dc sprite = Dc::Section(info);
        SetPixel(sprite.dc, 0, 0, kMagenta);
        SetPixel(sprite.dc, 1, 0, kRed);
        SetPixel(sprite.dc, 2, 0, kBlue);
        Dc mask(CreateBitmap(3, 1, 1, 1, nullptr));
        SetBkColor(sprite.dc, kMagenta);
        ASSERT_TRUE(BitBlt(mask.dc, 0, 0, 3, 1, sprite.dc, 0, 0, SRCCOPY));
        // Key pixels of the sprite to black: the mask's 1s become the background colour, black.
        SetTextColor(sprite.dc, kWhite);
        SetBkColor(sprite.dc, kBlack);
        ASSERT_TRUE(BitBlt(sprite.dc, 0, 0, 3, 1, mask.dc, 0, 0, SRCAND));
        EXPECT_EQ(GetPixel(sprite.dc, 0, 0), kBlack);
        EXPECT_EQ(GetPixel(sprite.dc, 1, 0), kRed);

        Info screenInfo(3, -1, 32);
        Dc screen = Dc::Section(screenInfo);
        for (int x = 0; x < 3; ++x)
            SetPixel(screen.dc, x, 0, kGreen);
        SetTextColor(screen.dc, kBlack);
        SetBkColor(screen.dc, kWhite);
        ASSERT_TRUE(BitBlt(screen.dc, 0, 0, 3, 1, mask.dc, 0, 0, SRCAND));
        ASSERT_TRUE(BitBlt(screen.dc, 0, 0, 3, 1, sprite.dc, 0, 0, paint));
        EXPECT_EQ(GetPixel(screen.dc, 0, 0), kGreen);
        EXPECT_EQ(GetPixel(screen.dc, 1, 0), kRed);
        EXPECT_EQ(GetPixel(screen.dc, 2, 0), kBlue);
    }
}

// --- Raster operations -------------------------------------------------------------------------

// Windows: PatBlt paints with the DC's brush, WHITE_BRUSH in a new DC, and refuses operations
// that read a source (MSDN CreateCompatibleDC, PatBlt; gdi32 tests/dib.c draw_graphics).
TEST(PatBlt, NamedOperationsWithTheDefaultBrush)
{
    const struct {
        DWORD rop;
        COLORREF expected; // over RGB(0x12, 0x34, 0x56)
    } cases[] = {{PATCOPY, kWhite},      {PATINVERT, RGB(0xed, 0xcb, 0xa9)}, {DSTINVERT, RGB(0xed, 0xcb, 0xa9)},
                 {BLACKNESS, kBlack},    {WHITENESS, kWhite},               {0x00AA0029 /* D */, RGB(0x12, 0x34, 0x56)},
                 {0x000A0329 /* PDna */, RGB(0, 0, 0)}};
    for (const auto& c : cases) {
        Info info(2, -2, 24);
        Dc d = Dc::Section(info);
        SetPixel(d.dc, 1, 1, RGB(0x12, 0x34, 0x56));
        ASSERT_TRUE(PatBlt(d.dc, 1, 1, 5, 5, c.rop)) << std::hex << c.rop;
        EXPECT_EQ(GetPixel(d.dc, 1, 1), c.expected) << std::hex << c.rop;
        EXPECT_EQ(GetPixel(d.dc, 0, 0), kBlack) << "outside the rectangle";
    }
    Info info(2, 2, 24);
    Dc d = Dc::Section(info);
    EXPECT_FALSE(PatBlt(d.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(PatBlt(d.dc, 0, 0, 2, 2, SRCAND));
}

// One ROP3 bit at a time over a 32-bit image, checked against its truth table: the operation's
// index byte holds the result for each combination of pattern (white brush: all ones in the
// colour bits), source and destination bits.
TEST(BitBlt, EveryRasterOperationFollowsItsTruthTable)
{
    std::mt19937 rng(1234);
    const int w = 9;
    Info info(w, -1, 32);
    Dc src = Dc::Section(info);
    Dc dst = Dc::Section(info);
    std::vector<DWORD> s(w), d(w);
    for (int rop = 0; rop < 256; ++rop) {
        for (int x = 0; x < w; ++x) {
            s[x] = rng() & 0xffffff;
            d[x] = rng() & 0xffffff;
        }
        std::memcpy(src.bits, s.data(), w * 4);
        std::memcpy(dst.bits, d.data(), w * 4);
        const DWORD code = DWORD(rop) << 16;
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, w, 1, src.dc, 0, 0, code)) << rop;
        for (int x = 0; x < w; ++x) {
            DWORD expected = 0;
            for (int bit = 0; bit < 24; ++bit) {
                const int index = 4 * 1 + 2 * ((s[x] >> bit) & 1) + ((d[x] >> bit) & 1);
                expected |= DWORD((rop >> index) & 1) << bit;
            }
            EXPECT_EQ(Word32(dst, x, 0) & 0xffffff, expected) << "rop " << rop << " x " << x;
        }
    }
}

// Windows: a blit within one image reads every source pixel before writing over it (MSDN BitBlt;
// gdi32 tests/bitmap.c test_BitBlt overlaps).
TEST(BitBlt, OverlappingCopyWithinOneImage)
{
    for (int bpp : {1, 8, 24, 32}) {
        Info info(8, -8, bpp);
        for (int i = 0; i < 256; ++i)
            info.colors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
        Dc d = Dc::Section(info);
        std::vector<COLORREF> before(64);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                SetPixel(d.dc, x, y, RGB(x * 30, y * 30, (x + y) % 2 ? 255 : 0));
                before[y * 8 + x] = GetPixel(d.dc, x, y);
            }
        ASSERT_TRUE(BitBlt(d.dc, 1, 2, 6, 5, d.dc, 0, 0, SRCCOPY));
        for (int y = 2; y < 7; ++y)
            for (int x = 1; x < 7; ++x)
                EXPECT_EQ(GetPixel(d.dc, x, y), before[(y - 2) * 8 + (x - 1)]) << bpp << ": " << x << "," << y;
    }
}

// --- StretchBlt --------------------------------------------------------------------------------

// Windows: x = 1, width -2 covers pixels 1 and 0 mirrored; doubling repeats pixels (gdi32
// tests/bitmap.c test_StretchBlt).
TEST(StretchBlt, MirrorsAndEnlarges)
{
    Info info(2, -2, 32);
    Dc src = Dc::Section(info);
    const DWORD px[4] = {0xCAFED00D, 0xFEEDFACE, 0xFEDCBA98, 0x76543210};
    std::memcpy(src.bits, px, 8);
    std::memcpy(src.bits + src.stride, px + 2, 8);
    Info big(4, -4, 32);
    Dc dst = Dc::Section(big);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 2, 2, src.dc, 1, 1, -2, -2, SRCCOPY));
    EXPECT_EQ(Word32(dst, 0, 0), 0x76543210u);
    EXPECT_EQ(Word32(dst, 1, 0), 0xFEDCBA98u);
    EXPECT_EQ(Word32(dst, 0, 1), 0xFEEDFACEu);
    EXPECT_EQ(Word32(dst, 1, 1), 0xCAFED00Du);
    SetStretchBltMode(dst.dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Word32(dst, x, y), px[(y / 2) * 2 + x / 2]) << x << "," << y;
}

// --- DIB bits ----------------------------------------------------------------------------------

// GetDIBits at every depth from a 32-bit bitmap of exactly representable colours, then SetDIBits
// of the same bits into a fresh bitmap, gives the same pixels back.
TEST(DIBits, RoundTripAtEveryDepth)
{
    const COLORREF palette[4] = {kBlack, kRed, kBlue, kWhite};
    HDC screen = GetDC(nullptr);
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        Info srcInfo(5, -3, 32);
        Dc src = Dc::Section(srcInfo);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                SetPixel(src.dc, x, y, bpp == 1 ? palette[(x + y) % 2 ? 3 : 0] : palette[(x + 2 * y) % 4]);
        Info out(5, 3, bpp);
        std::vector<BYTE> bits(64 * 3);
        SelectObject(src.dc, src.old); // GetDIBits wants the bitmap unselected
        ASSERT_EQ(GetDIBits(screen, src.bitmap, 0, 3, bits.data(), out.get(), DIB_RGB_COLORS), 3) << bpp;
        if (bpp <= 8) {
            // The default tables hold black, pure red, pure blue and white.
            for (COLORREF c : palette) {
                bool found = false;
                for (int i = 0; i < (1 << bpp); ++i)
                    found |= RGB(out.colors[i].rgbRed, out.colors[i].rgbGreen, out.colors[i].rgbBlue) == c;
                EXPECT_TRUE(found || bpp == 1) << bpp;
            }
        }
        HBITMAP fresh = CreateCompatibleBitmap(screen, 5, 3);
        ASSERT_EQ(SetDIBits(screen, fresh, 0, 3, bits.data(), out.get(), DIB_RGB_COLORS), 3) << bpp;
        Dc check(fresh);
        SelectObject(src.dc, src.bitmap);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(GetPixel(check.dc, x, y), GetPixel(src.dc, x, y)) << bpp << ": " << x << "," << y;
    }
    ReleaseDC(nullptr, screen);
}

// Windows: a BITMAPINFOHEADER with biBitCount 0 asks only for the description (MSDN GetDIBits).
TEST(DIBits, DescriptionOnly)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(screen, 6, 4);
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_NE(GetDIBits(screen, bm, 0, 0, nullptr, &info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.bmiHeader.biWidth, 6);
    EXPECT_EQ(info.bmiHeader.biHeight, 4);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    EXPECT_EQ(info.bmiHeader.biSizeImage, DWORD(6 * 4 * 4));
    DeleteObject(bm);
    ReleaseDC(nullptr, screen);
}

// StretchDIBits from 8-bit and 1-bit packed DIBs looks their pixels up in the colour table.
TEST(StretchDIBits, IndexedSourcesUseTheirColourTables)
{
    Info dstInfo(2, -1, 32);
    Dc dst = Dc::Section(dstInfo);
    for (int bpp : {1, 4, 8}) {
        Info info(2, 1, bpp);
        info.colors[0] = RGBQUAD{0x30, 0x20, 0x10, 0};
        info.colors[1] = RGBQUAD{0x60, 0x50, 0x40, 0};
        info.header.biClrUsed = 2;
        const BYTE bits[4] = {BYTE(bpp == 1 ? 0x40 : bpp == 4 ? 0x01 : 0x00), BYTE(bpp == 8 ? 0x01 : 0), 0, 0};
        EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 1, 0, 0, 2, 1, bits, info.get(), DIB_RGB_COLORS, SRCCOPY), 1) << bpp;
        EXPECT_EQ(Word32(dst, 0, 0), 0x102030u) << bpp;
        EXPECT_EQ(Word32(dst, 1, 0), 0x405060u) << bpp;
    }
}

// Windows: the high bits of a 32-bit DIB pass through StretchDIBits' SRCCOPY, and raster
// operations apply to whole words (gdi32 tests/bitmap.c check_StretchDIBits_pixel).
TEST(StretchDIBits, RasterOperationsOn32BitDibs)
{
    const struct {
        DWORD rop;
        DWORD expected;
    } cases[] = {{SRCCOPY, 0xFEDCBA98}, {SRCAND, 0x88888888}, {SRCPAINT, 0xFFFFFFFF}, {SRCINVERT, 0x77777777},
                 {SRCERASE, 0x76543210}, {NOTSRCCOPY, 0x01234567}, {NOTSRCERASE, 0x00000000},
                 {MERGEPAINT, 0x89ABCDEF}, {DSTINVERT, 0x76543210}, {BLACKNESS, 0x00000000},
                 {WHITENESS, 0xFFFFFFFF}};
    Info dstInfo(1, -1, 32);
    Dc dst = Dc::Section(dstInfo);
    const DWORD buffer[2] = {0xFEDCBA98, 0};
    Info info(2, 1, 32);
    info.header.biSizeImage = sizeof buffer;
    for (const auto& c : cases) {
        const DWORD start = 0x89ABCDEF;
        std::memcpy(dst.bits, &start, 4);
        StretchDIBits(dst.dc, 0, 0, 2, 1, 0, 0, 1, 1, buffer, info.get(), DIB_RGB_COLORS, c.rop);
        EXPECT_EQ(Word32(dst, 0, 0), c.expected) << std::hex << c.rop;
    }
}

// --- TransparentBlt and AlphaBlend -------------------------------------------------------------

TEST(TransparentBlt, LeavesKeyPixelsOutAtEveryScale)
{
    Info info(2, -1, 24);
    Dc src = Dc::Section(info);
    SetPixel(src.dc, 0, 0, kMagenta);
    SetPixel(src.dc, 1, 0, kRed);
    Info dstInfo(4, -1, 32);
    Dc dst = Dc::Section(dstInfo);
    const struct {
        int w;
        COLORREF expected[4];
    } cases[] = {{2, {kGreen, kRed, kGreen, kGreen}}, {4, {kGreen, kGreen, kRed, kRed}}};
    for (const auto& c : cases) {
        for (int x = 0; x < 4; ++x)
            SetPixel(dst.dc, x, 0, kGreen);
        ASSERT_TRUE(TransparentBlt(dst.dc, 0, 0, c.w, 1, src.dc, 0, 0, 2, 1, kMagenta));
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(GetPixel(dst.dc, x, 0), c.expected[x]) << c.w << ": " << x;
    }
    EXPECT_FALSE(TransparentBlt(dst.dc, 0, 0, -2, 1, src.dc, 0, 0, 2, 1, kMagenta));
}

// Windows: premultiplied source over the destination, dst = src + dst * (255 - alpha) / 255;
// without AC_SRC_ALPHA a constant mix (MSDN BLENDFUNCTION). A source rectangle outside the
// source, overlapping rectangles in one DC and AC_SRC_ALPHA on a 24-bit source are refused
// (gdi32 tests/bitmap.c test_GdiAlphaBlend).
TEST(AlphaBlend, PremultipliedAndConstantAlpha)
{
    Info info(1, -1, 32);
    Dc src = Dc::Section(info);
    Dc dst = Dc::Section(info);
    const struct {
        DWORD s, d;
        BYTE constant;
        BYTE format;
        DWORD expected;
    } cases[] = {
        {0x80800000, 0x000000ff, 255, AC_SRC_ALPHA, 0x8080007f}, // half-transparent red over blue
        {0xff00ff00, 0x00ff0000, 255, AC_SRC_ALPHA, 0xff00ff00}, // opaque
        {0x00000000, 0x00123456, 255, AC_SRC_ALPHA, 0x00123456}, // transparent
        {0xff00ff00, 0x00ff0000, 128, AC_SRC_ALPHA, 0x807f8000}, // constant alpha on top
        {0x00ffffff, 0x00000000, 128, 0, 0x00808080},            // constant alpha alone
    };
    for (const auto& c : cases) {
        std::memcpy(src.bits, &c.s, 4);
        std::memcpy(dst.bits, &c.d, 4);
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, c.constant, c.format};
        ASSERT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, bf));
        EXPECT_EQ(Word32(dst, 0, 0), c.expected) << std::hex << c.s << " over " << c.d;
    }
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 2, 1, bf));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, -1, 0, 1, 1, bf));
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 1, 1, dst.dc, 0, 0, 1, 1, bf));
    Info info24(1, -1, 24);
    Dc src24 = Dc::Section(info24);
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 1, 1, src24.dc, 0, 0, 1, 1, bf));
}

} // namespace

namespace {

// A 4 x 4 bottom-up 32-bit packed DIB whose pixel at (x, y from the top) is 0x00yyxx11.
struct PackedDib {
    Info info{4, 4, 32};
    DWORD bits[16];
    PackedDib()
    {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                bits[(3 - y) * 4 + x] = DWORD(y << 16 | x << 8 | 0x11);
    }
    static COLORREF At(int x, int y) { return RGB(y, x, 0x11); }
};

// Windows: source coordinates count from the DIB's bottom row; the answer is the number of scans
// (MSDN SetDIBitsToDevice).
TEST(SetDIBitsToDevice, CopiesARectangleInDibCoordinates)
{
    PackedDib dib;
    Info dstInfo(4, -4, 32);
    Dc dst = Dc::Section(dstInfo);
    EXPECT_EQ(SetDIBitsToDevice(dst.dc, 0, 0, 4, 4, 0, 0, 0, 4, dib.bits, dib.info.get(), DIB_RGB_COLORS), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(GetPixel(dst.dc, x, y), PackedDib::At(x, y)) << x << "," << y;
    std::memset(dst.bits, 0, 64);
    // Columns 1-2 and the rows 1-2 counted from the bottom: rows 1-2 from the top of a 4-row image.
    SetDIBitsToDevice(dst.dc, 0, 0, 2, 2, 1, 1, 0, 4, dib.bits, dib.info.get(), DIB_RGB_COLORS);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(GetPixel(dst.dc, x, y), PackedDib::At(1 + x, 1 + y)) << x << "," << y;
    EXPECT_EQ(GetPixel(dst.dc, 2, 0), kBlack);
}

TEST(CreateDIBitmap, InitialisesAScreenCompatibleBitmap)
{
    PackedDib dib;
    HDC screen = GetDC(nullptr);
    HBITMAP bm = CreateDIBitmap(screen, &dib.info.header, CBM_INIT, dib.bits, dib.info.get(), DIB_RGB_COLORS);
    ASSERT_NE(bm, nullptr);
    BITMAP info;
    GetObject(bm, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, nullptr) << "a device-dependent bitmap";
    {
        Dc d(bm);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(GetPixel(d.dc, x, y), PackedDib::At(x, y)) << x << "," << y;
    }
    ReleaseDC(nullptr, screen);
}

// The colour table of a selected 8-bit section changes what its indices show; it has all 256
// entries whatever biClrUsed says (gdi32 tests/bitmap.c test_dibsections).
TEST(DIBColorTable, ReadAndReplaceEntries)
{
    Info info(2, -1, 8);
    info.header.biClrUsed = 4;
    info.colors[1] = RGBQUAD{0, 0, 255, 0}; // red
    Dc d = Dc::Section(info);
    d.bits[0] = 1;
    EXPECT_EQ(GetPixel(d.dc, 0, 0), kRed);
    RGBQUAD table[8];
    EXPECT_EQ(GetDIBColorTable(d.dc, 0, 8, table), 8u);
    EXPECT_EQ(table[1].rgbRed, 255);
    EXPECT_EQ(GetDIBColorTable(d.dc, 250, 8, table), 6u);
    const RGBQUAD blue = {255, 0, 0, 0};
    EXPECT_EQ(SetDIBColorTable(d.dc, 1, 1, &blue), 1u);
    EXPECT_EQ(GetPixel(d.dc, 0, 0), kBlue);
    EXPECT_EQ(SetDIBColorTable(d.dc, 256, 1, &blue), 0u) << "past the table";
}

} // namespace

namespace {

// Windows: scans count from the image's bottom row whatever the orientation asked for; a
// top-down answer holds its scans top row first (gdi32 tests/bitmap.c test_GetDIBits_top_down).
TEST(DIBits, ScansCountFromTheBottomInBothOrientations)
{
    Info info(1, -2, 32);
    Dc d = Dc::Section(info);
    SetPixel(d.dc, 0, 0, kRed);  // top
    SetPixel(d.dc, 0, 1, kBlue); // bottom
    SelectObject(d.dc, d.old);
    HDC screen = GetDC(nullptr);
    const DWORD red = 0xff0000, blue = 0x0000ff;
    const struct {
        LONG height;
        UINT start, lines;
        DWORD first, second;
    } cases[] = {{2, 0, 1, blue, 0}, {2, 1, 1, red, 0},  {2, 0, 2, blue, red},
                 {-2, 0, 1, blue, 0}, {-2, 1, 1, red, 0}, {-2, 0, 2, red, blue}};
    for (const auto& c : cases) {
        Info out(1, c.height, 32);
        DWORD bits[2] = {0, 0};
        EXPECT_EQ(GetDIBits(screen, d.bitmap, c.start, c.lines, bits, out.get(), DIB_RGB_COLORS), int(c.lines));
        EXPECT_EQ(bits[0], c.first) << c.height << " " << c.start << " " << c.lines;
        EXPECT_EQ(bits[1], c.second) << c.height << " " << c.start << " " << c.lines;
    }
    SelectObject(d.dc, d.bitmap);
    ReleaseDC(nullptr, screen);
}

} // namespace
