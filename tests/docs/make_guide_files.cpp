// Writes the sample files the guide's programs open into the current folder: background.bmp,
// ball.bmp (a red disc on the magenta key), ball.tga (a disc with soft alpha edges) and
// looks.tga (four 40 x 20 button looks stacked top to bottom).
#include <MoxImage2.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

bool EncoderClsid(const WCHAR* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (std::wcscmp(encoders[i].MimeType, mimeType) == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    return false;
}

// pixel(x, y) gives 0xAARRGGBB.
template <class F> bool WriteBmp(const wchar_t* path, int width, int height, F pixel)
{
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> rows(std::size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned c = pixel(x, y);
            BYTE* p = &rows[std::size_t(y) * stride + 3 * std::size_t(x)];
            p[0] = BYTE(c);
            p[1] = BYTE(c >> 8);
            p[2] = BYTE(c >> 16);
        }
    CLSID bmp;
    Gdiplus::Bitmap bitmap(width, height, stride, PixelFormat24bppRGB, rows.data());
    return EncoderClsid(L"image/bmp", &bmp) && bitmap.Save(path, &bmp, nullptr) == Gdiplus::Ok;
}

// An uncompressed 32-bit TGA, top row first.
template <class F> bool WriteTga(const char* path, int width, int height, F pixel)
{
    std::vector<unsigned char> v(18, 0);
    v[2] = 2;
    v[12] = BYTE(width);
    v[13] = BYTE(width >> 8);
    v[14] = BYTE(height);
    v[15] = BYTE(height >> 8);
    v[16] = 32;
    v[17] = 0x28; // top-left origin, 8 alpha bits
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned c = pixel(x, y);
            v.insert(v.end(), {BYTE(c), BYTE(c >> 8), BYTE(c >> 16), BYTE(c >> 24)});
        }
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(v.data(), 1, v.size(), f) == v.size();
    return std::fclose(f) == 0 && ok;
}

unsigned Disc(int x, int y, unsigned inside, unsigned outside)
{
    const double d = std::hypot(x - 15.5, y - 15.5);
    return d < 14 ? inside : outside;
}

} // namespace

int main()
{
    CMoxGraphics canvas;
    canvas.GdiInit();
    bool ok = WriteBmp(L"background.bmp", 320, 200, [](int x, int y) {
        return 0xFF000000u | unsigned(60 + y / 2) << 16 | unsigned(120 + x / 4) << 8 | 200u;
    });
    ok &= WriteBmp(L"ball.bmp", 32, 32, [](int x, int y) { return Disc(x, y, 0xFFE02020u, 0xFFFF00FFu); });
    ok &= WriteTga("ball.tga", 32, 32, [](int x, int y) {
        const double d = std::hypot(x - 15.5, y - 15.5);
        const double a = d < 12 ? 1.0 : d > 15 ? 0.0 : (15 - d) / 3;
        return unsigned(a * 255 + 0.5) << 24 | 0x00F0C020u;
    });
    ok &= WriteTga("looks.tga", 40, 80, [](int, int y) {
        static const unsigned look[4] = {0xFF3060C0u, 0xFF4080E0u, 0xFF203880u, 0xFF808080u};
        return look[y / 20];
    });
    std::puts(ok ? "guide files written" : "could not write the guide files");
    return ok ? 0 : 1;
}
