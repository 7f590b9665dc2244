// The software blitters and the solid fill against a plain model of what each is documented to
// do: a canvas of any size, a raw-form bitmap and a TGA image of any size and content, then a
// sequence of calls with any arguments (positions, source offsets and sizes far outside both,
// negative sizes, any opacity, colour keys). After every call the whole back buffer must equal
// the model's. Negative source offsets of the bitmap blitter are left to the implementation
// (they must only stay inside the image), so after such a call the model takes the canvas over.
#include <MoxImage2.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Model {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // rows of width * 3 bytes, top down

    std::uint8_t* At(long long x, long long y) { return &pixels[size_t(y * width + x) * 3]; }
};

std::uint8_t Blend(int d, int s, int a)
{
    return std::uint8_t(d + (((s - d) * a) >> 8));
}

void Fill(Model& m, long long x, long long y, long long w, long long h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    if (x < 0)
        w += x, x = 0;
    if (y < 0)
        h += y, y = 0;
    if (x + w > m.width)
        w = m.width - x;
    if (y + h > m.height)
        h = m.height - y;
    for (long long j = 0; j < h; ++j)
        for (long long i = 0; i < w; ++i) {
            std::uint8_t* p = m.At(x + i, y + j);
            p[0] = b, p[1] = g, p[2] = r;
        }
}

struct RawImage {
    int width, height;
    std::vector<std::uint8_t> bytes; // bottom-up rows of exactly width * 3 bytes
    bool keyed;
    std::uint8_t keyR, keyG, keyB;

    const std::uint8_t* Pixel(long long col, long long row) const
    {
        return &bytes[size_t((height - 1 - row) * width + col) * 3];
    }
};

// The bitmap blitter: alpha 256 stands for a copy.
void DrawBitmap(Model& m, const RawImage& img, long long x, long long y, long long sx, long long sy, long long w,
                long long h, int alpha)
{
    if (sx < 0 || sy < 0)
        return; // left to the implementation; the caller takes the canvas over
    if (w > img.width)
        w = img.width;
    if (h > img.height)
        h = img.height;
    if (x < 0)
        w += x, sx -= x, x = 0;
    if (y < 0)
        h += y, sy -= y, y = 0;
    if (x + w > m.width)
        w = m.width - x;
    if (y + h > m.height)
        h = m.height - y;
    if (sx >= img.width || sy >= img.height || w <= 0 || h <= 0)
        return;
    if (sx + w >= img.width)
        w = img.width - sx;
    if (sy + h >= img.height)
        h = img.height - sy;
    for (long long k = 0; k < h; ++k)
        for (long long j = 0; j < w; ++j) {
            const std::uint8_t* s = img.Pixel(sx + j, sy + k);
            if (img.keyed && s[0] == img.keyB && s[1] == img.keyG && s[2] == img.keyR)
                continue;
            std::uint8_t* d = m.At(x + j, y + k);
            for (int c = 0; c < 3; ++c)
                d[c] = alpha == 256 ? s[c] : Blend(d[c], s[c], alpha);
        }
}

// The TGA blitter; opacity < 0 for the overloads without one, region false for the whole image.
void DrawTga(Model& m, const std::vector<std::uint32_t>& buffer, long long imgW, long long imgH, long long x,
             long long y, long long sx, long long sy, long long w, long long h, bool region, int opacity)
{
    if (region) {
        if (std::uint32_t(w) > imgW)
            w = imgW;
        if (std::uint32_t(h) > imgH)
            h = imgH;
    }
    if (x < 0)
        sx -= x, w += x, x = 0;
    if (y < 0)
        sy -= y, h += y, y = 0;
    if (x + w > m.width)
        w = m.width - x;
    if (y + h > m.height)
        h = m.height - y;
    // A source origin still negative after the edges were cut draws nothing.
    if (sx < 0 || sx >= imgW || sy < 0 || sy >= imgH || w <= 0 || h <= 0)
        return;
    if (sx + w >= imgW)
        w = imgW - sx;
    if (sy + h >= imgH)
        h = imgH - sy;
    for (long long j = 0; j < h; ++j)
        for (long long i = 0; i < w; ++i) {
            const std::uint32_t p = buffer[size_t((sy + j) * imgW + sx + i)];
            int a = int(p >> 24);
            if (opacity >= 0 && opacity != 255)
                a = a * opacity / 256;
            if (a == 0)
                continue;
            std::uint8_t* d = m.At(x + i, y + j);
            const int s[3] = {int(p & 0xFF), int((p >> 8) & 0xFF), int((p >> 16) & 0xFF)};
            for (int c = 0; c < 3; ++c)
                d[c] = a == 255 ? std::uint8_t(s[c]) : Blend(d[c], s[c], a);
        }
}

void TakeCanvas(Model& m, CMoxGraphics& canvas)
{
    for (int y = 0; y < m.height; ++y)
        std::memcpy(m.At(0, y), canvas.m_pDIBBits + size_t(y) * canvas.m_nStride, size_t(m.width) * 3);
}

void ExpectCanvas(Model& m, CMoxGraphics& canvas)
{
    for (int y = 0; y < m.height; ++y)
        if (std::memcmp(m.At(0, y), canvas.m_pDIBBits + size_t(y) * canvas.m_nStride, size_t(m.width) * 3) != 0)
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static bool started = [] {
        CMoxGraphics starter;
        starter.GdiInit();
        return true;
    }();
    (void)started;
    FuzzedDataProvider in(data, size);

    Model m;
    m.width = in.ConsumeIntegralInRange(1, 48);
    m.height = in.ConsumeIntegralInRange(1, 48);
    CMoxGraphics canvas;
    if (!canvas.Init(m.width, m.height))
        return 0;
    m.pixels.assign(size_t(m.width) * m.height * 3, 0);
    TakeCanvas(m, canvas);

    RawImage img;
    img.width = in.ConsumeIntegralInRange(1, 24);
    img.height = in.ConsumeIntegralInRange(1, 24);
    img.keyed = in.ConsumeBool();
    img.keyR = in.ConsumeIntegral<std::uint8_t>();
    img.keyG = in.ConsumeIntegral<std::uint8_t>();
    img.keyB = in.ConsumeIntegral<std::uint8_t>();
    img.bytes.resize(size_t(img.width) * img.height * 3);
    // Many pixels are the key colour itself, some differ from it in one channel only.
    for (size_t p = 0; p < img.bytes.size(); p += 3) {
        std::uint8_t* px = &img.bytes[p];
        px[0] = img.keyB, px[1] = img.keyG, px[2] = img.keyR;
        if (in.ConsumeBool())
            px[in.ConsumeIntegralInRange(0, 2)] ^= std::uint8_t(1 + in.ConsumeIntegralInRange(0, 254));
    }
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = img.width;
    header.bmiHeader.biHeight = img.height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    CMoxBitmap bitmap;
    if (img.keyed)
        bitmap.Init(img.bytes.data(), int(img.bytes.size()), header, img.keyR, img.keyG, img.keyB);
    else
        bitmap.Init(img.bytes.data(), int(img.bytes.size()), header, 0);

    const long long tgaW = in.ConsumeIntegralInRange(0, 24), tgaH = in.ConsumeIntegralInRange(0, 24);
    std::vector<std::uint32_t> tgaPixels(size_t(tgaW * tgaH) + 1);
    for (std::uint32_t& p : tgaPixels) {
        const std::uint32_t alpha = in.ConsumeBool()   ? 0xFF000000u
                                    : in.ConsumeBool() ? 0
                                                       : in.ConsumeIntegral<std::uint32_t>();
        p = (in.ConsumeIntegral<std::uint32_t>() & 0x00FFFFFF) | (alpha & 0xFF000000u);
    }
    CMoxTga tga;
    tga.m_pBuffer = tgaW * tgaH ? reinterpret_cast<ULONG*>(tgaPixels.data()) : nullptr;
    tga.m_nWidth = ULONG(tgaW);
    tga.m_nHeight = ULONG(tgaH);

    auto coordinate = [&] {
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:
            return in.ConsumeIntegral<int>();
        case 1:
            return in.ConsumeIntegralInRange(-100000, 100000);
        default:
            return in.ConsumeIntegralInRange(-60, 60);
        }
    };
    while (in.remaining_bytes() > 0) {
        const int op = in.ConsumeIntegralInRange(0, 7);
        const int x = coordinate(), y = coordinate(), sx = coordinate(), sy = coordinate(), w = coordinate(),
                  h = coordinate();
        const std::uint8_t alpha = in.ConsumeBool() ? 255 : in.ConsumeIntegral<std::uint8_t>();
        bool takeOver = false;
        switch (op) {
        case 0: {
            const std::uint8_t r = in.ConsumeIntegral<std::uint8_t>(), g = in.ConsumeIntegral<std::uint8_t>(),
                               b = in.ConsumeIntegral<std::uint8_t>();
            canvas.FillRectangle(x, y, w, h, r, g, b);
            Fill(m, x, y, w, h, r, g, b);
            break;
        }
        case 1:
            canvas.Draw(&bitmap, x, y);
            DrawBitmap(m, img, x, y, 0, 0, img.width, img.height, 256);
            break;
        case 2:
            canvas.Draw(&bitmap, x, y, alpha);
            if (alpha != 0)
                DrawBitmap(m, img, x, y, 0, 0, img.width, img.height, alpha == 255 ? 256 : alpha);
            break;
        case 3:
            canvas.Draw(&bitmap, x, y, sx, sy, w, h);
            DrawBitmap(m, img, x, y, sx, sy, w, h, 256);
            takeOver = sx < 0 || sy < 0;
            break;
        case 4:
            canvas.Draw(&bitmap, x, y, sx, sy, w, h, alpha);
            if (alpha != 0)
                DrawBitmap(m, img, x, y, sx, sy, w, h, alpha == 255 ? 256 : alpha);
            takeOver = sx < 0 || sy < 0;
            break;
        case 5:
            canvas.Draw(&tga, x, y);
            DrawTga(m, tgaPixels, tgaW, tgaH, x, y, 0, 0, tgaW, tgaH, false, -1);
            break;
        case 6:
            canvas.Draw(&tga, x, y, sx, sy, w, h);
            DrawTga(m, tgaPixels, tgaW, tgaH, x, y, sx, sy, w, h, true, -1);
            break;
        default:
            canvas.Draw(&tga, x, y, sx, sy, w, h, alpha);
            DrawTga(m, tgaPixels, tgaW, tgaH, x, y, sx, sy, w, h, true, alpha);
            break;
        }
        if (takeOver)
            TakeCanvas(m, canvas);
        else
            ExpectCanvas(m, canvas);
    }
    return 0;
}
