// Every ternary raster operation between DIB sections of every pair of depths, against a
// per-pixel model written here from the documented rules: the operation works on the bits the
// destination stores; the source is first turned into the destination's format (colour to
// a DIB section's nearest colour-table entry, a 1-bit one's included; into a monochrome
// device bitmap by the source DC's background colour; out of one by the destination DC's text
// and background colours); the
// pattern is the DC's brush, WHITE_BRUSH in a new DC. Windows API only, so the same model is
// checked against real GDI under Wine. Depth 0 below stands for a monochrome device bitmap.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

const COLORREF kSet[8] = {RGB(0, 0, 0),     RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                          RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255)};

struct Image {
    bool ddb = false;
    std::vector<BYTE> ddbBits; // a device bitmap's bits, exchanged with GetBitmapBits/SetBitmapBits
    int bpp = 0;
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<RGBQUAD> table;
    HDC dc = nullptr;
    HBITMAP bm = nullptr;
    HGDIOBJ old = nullptr;
    BYTE* bits = nullptr;

    Image(int depth, int w, int h)
        : ddb(depth == 0), bpp(depth == 0 ? 1 : depth), width(w), height(h),
          stride(depth == 0 ? ((w + 15) / 16) * 2 : ((w * depth + 31) / 32) * 4)
    {
        if (ddb) {
            table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
            bm = CreateBitmap(w, h, 1, 1, nullptr);
            ddbBits.assign(std::size_t(stride * h), 0);
            bits = ddbBits.data();
            dc = CreateCompatibleDC(nullptr);
            old = SelectObject(dc, bm);
            return;
        }
        struct {
            BITMAPINFOHEADER h;
            RGBQUAD c[256];
        } info;
        std::memset(&info, 0, sizeof info);
        info.h.biSize = sizeof(BITMAPINFOHEADER);
        info.h.biWidth = w;
        info.h.biHeight = -h;
        info.h.biPlanes = 1;
        info.h.biBitCount = WORD(depth);
        if (depth == 1)
            table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        else if (depth <= 8)
            for (COLORREF c : kSet)
                table.push_back(RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0});
        info.h.biClrUsed = DWORD(table.size());
        if (!table.empty())
            std::memcpy(info.c, table.data(), table.size() * sizeof(RGBQUAD));
        void* p = nullptr;
        bm = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<BYTE*>(p);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bm);
    }
    ~Image()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bm);
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    DWORD Raw(int x, int y) const
    {
        const BYTE* row = bits + y * stride;
        switch (bpp) {
        case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
        case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        case 8: return row[x];
        case 16: return DWORD(row[2 * x] | row[2 * x + 1] << 8);
        case 24: return DWORD(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
        default: {
            DWORD v;
            std::memcpy(&v, row + 4 * x, 4);
            return v;
        }
        }
    }
    void SetRawValue(int x, int y, DWORD v)
    {
        BYTE* row = bits + y * stride;
        switch (bpp) {
        case 1: row[x / 8] = BYTE((row[x / 8] & ~(1 << (7 - x % 8))) | (v & 1) << (7 - x % 8)); break;
        case 4: {
            const int shift = x % 2 ? 0 : 4;
            row[x / 2] = BYTE((row[x / 2] & ~(15 << shift)) | (v & 15) << shift);
            break;
        }
        case 8: row[x] = BYTE(v); break;
        case 16:
            row[2 * x] = BYTE(v);
            row[2 * x + 1] = BYTE(v >> 8);
            break;
        case 24:
            row[3 * x] = BYTE(v);
            row[3 * x + 1] = BYTE(v >> 8);
            row[3 * x + 2] = BYTE(v >> 16);
            break;
        default: std::memcpy(row + 4 * x, &v, 4);
        }
    }
    // The raw value of a colour: the nearest table entry (first of equals), or the colour
    // packed (555 at 16 bits).
    DWORD RawOf(COLORREF c) const
    {
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        if (bpp == 16)
            return DWORD((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
        if (bpp >= 24)
            return DWORD(r << 16 | g << 8 | b);
        DWORD best = 0;
        long bestD = -1;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const long dr = table[i].rgbRed - r, dg = table[i].rgbGreen - g, db = table[i].rgbBlue - b;
            const long d = dr * dr + dg * dg + db * db;
            if (bestD < 0 || d < bestD) {
                bestD = d;
                best = DWORD(i);
            }
        }
        return best;
    }
    COLORREF ColourOf(DWORD raw) const
    {
        if (bpp <= 8)
            return RGB(table[raw].rgbRed, table[raw].rgbGreen, table[raw].rgbBlue);
        if (bpp == 16) {
            const int r = (raw >> 10) & 31, g = (raw >> 5) & 31, b = raw & 31;
            return RGB(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
        }
        return RGB((raw >> 16) & 255, (raw >> 8) & 255, raw & 255);
    }
    void Upload()
    {
        if (ddb)
            SetBitmapBits(bm, DWORD(ddbBits.size()), ddbBits.data());
    }
    void Download()
    {
        if (ddb)
            GetBitmapBits(bm, LONG(ddbBits.size()), ddbBits.data());
    }
    DWORD Mask() const { return bpp == 32 ? 0xffffffffu : bpp == 16 ? 0x7fffu : (1u << bpp) - 1; }
};

DWORD Rop3(int rop, DWORD p, DWORD s, DWORD d, DWORD mask)
{
    DWORD out = 0;
    for (int bit = 0; bit < 32; ++bit) {
        if (!((mask >> bit) & 1))
            continue;
        const int index = int((p >> bit) & 1) * 4 + int((s >> bit) & 1) * 2 + int((d >> bit) & 1);
        out |= DWORD((rop >> index) & 1) << bit;
    }
    return out;
}

TEST(RasterOperations, EveryOperationAtEveryDepthPairMatchesThePerPixelModel)
{
    const int depths[] = {0, 1, 4, 8, 16, 24, 32};
    const int w = 29, h = 2; // from x = 2: a partial byte, whole bytes and a partial byte of 1-bit rows
    std::mt19937 rng(20240611);
    for (int sb : depths)
        for (int db : depths) {
            Image src(sb, w + 2, h);
            Image dst(db, w + 1, h);
            ASSERT_NE(src.bits, nullptr);
            ASSERT_NE(dst.bits, nullptr);
            const COLORREF bk = kSet[rng() % 8];
            const COLORREF dstText = kSet[rng() % 8], dstBk = kSet[rng() % 8];
            SetBkColor(src.dc, bk);
            SetTextColor(dst.dc, dstText);
            SetBkColor(dst.dc, dstBk);
            const DWORD pattern = dst.RawOf(RGB(255, 255, 255));
            int failures = 0;
            for (int rop = 0; rop < 256 && failures < 4; ++rop) {
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w + 2; ++x)
                        src.SetRawValue(x, y, src.RawOf(kSet[rng() % 8]));
                    for (int x = 0; x < w + 1; ++x)
                        dst.SetRawValue(x, y, dst.RawOf(kSet[rng() % 8]));
                }
                std::vector<DWORD> expected;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const DWORD sRaw = src.Raw(x + 2, y);
                        DWORD s;
                        if (dst.ddb && src.ddb)
                            s = sRaw;
                        else if (dst.ddb)
                            s = sRaw == src.RawOf(bk) ? 1 : 0;
                        else if (src.ddb)
                            s = dst.RawOf(sRaw ? dstBk : dstText);
                        else if (sb == db && sb != 1 && (sb > 8 || src.table.size() == dst.table.size()))
                            s = sRaw;
                        else
                            s = dst.RawOf(src.ColourOf(sRaw));
                        expected.push_back(Rop3(rop, pattern, s, dst.Raw(x + 1, y), dst.Mask()));
                    }
                src.Upload();
                dst.Upload();
                ASSERT_TRUE(BitBlt(dst.dc, 1, 0, w, h, src.dc, 2, 0, DWORD(rop) << 16));
                dst.Download();
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const DWORD got = dst.Raw(x + 1, y) & dst.Mask();
                        if (got != expected[std::size_t(y * w + x)]) {
                            ADD_FAILURE() << sb << " -> " << db << " bpp, rop " << rop << " at " << x << "," << y
                                          << ": got " << std::hex << got << " expected "
                                          << expected[std::size_t(y * w + x)];
                            ++failures;
                        }
                    }
            }
        }
}

} // namespace
