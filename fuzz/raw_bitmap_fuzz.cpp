// Raw-form bitmaps built from any header (width, height, bit count, compression, sizes) and any
// byte count up to the bytes actually passed, drawn through every bitmap overload of the canvas:
// the four blitter overloads (zoomed or not, keyed or not, any opacity), the four GDI+ image
// calls and a bitmap sprite in a composed frame. Nothing may be read outside the bytes kept.
#include <MoxImage2.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static CMoxGraphics* canvas = [] {
        auto* c = new CMoxGraphics;
        c->GdiInit();
        c->Init(40, 30);
        c->InitGraphics(static_cast<CPaintDC*>(nullptr));
        return c;
    }();
    FuzzedDataProvider in(data, size);

    BITMAPINFO header = {};
    BITMAPINFOHEADER& h = header.bmiHeader;
    h.biSize = in.ConsumeBool() ? sizeof(BITMAPINFOHEADER) : in.ConsumeIntegral<DWORD>();
    auto extent = [&] {
        return in.ConsumeBool() ? in.ConsumeIntegralInRange<LONG>(-4, 40) : in.ConsumeIntegral<LONG>();
    };
    h.biWidth = extent();
    h.biHeight = extent();
    h.biPlanes = in.ConsumeBool() ? 1 : in.ConsumeIntegral<WORD>();
    h.biBitCount = in.ConsumeBool() ? 24 : in.ConsumeIntegral<WORD>();
    h.biCompression = in.ConsumeBool() ? BI_RGB : in.ConsumeIntegral<DWORD>();
    h.biSizeImage = in.ConsumeIntegral<DWORD>();
    const bool zoom = in.ConsumeBool();
    const bool keyed = in.ConsumeBool();
    const std::uint8_t key[3] = {in.ConsumeIntegral<std::uint8_t>(), in.ConsumeIntegral<std::uint8_t>(),
                                 in.ConsumeIntegral<std::uint8_t>()};

    const size_t available = in.ConsumeIntegralInRange<size_t>(0, 8192);
    std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(available);
    // Any count the bytes cover, or a negative one.
    const int count = in.ConsumeBool() ? int(bytes.size()) : in.ConsumeIntegralInRange<int>(-8, int(bytes.size()));
    const unsigned char* bits = bytes.empty() && in.ConsumeBool() ? nullptr : bytes.data();

    CMoxBitmap bitmap;
    if (keyed)
        bitmap.Init(bits, count, header, key[0], key[1], key[2]);
    else
        bitmap.Init(bits, count, header, zoom ? 1 : 0);
    if (keyed && zoom)
        bitmap.m_bZoom = 1;

    while (in.remaining_bytes() > 0) {
        auto arg = [&] { return in.ConsumeBool() ? in.ConsumeIntegralInRange(-50, 50) : in.ConsumeIntegral<int>(); };
        const int x = arg(), y = arg(), sx = arg(), sy = arg(), w = arg(), hgt = arg();
        const std::uint8_t alpha = in.ConsumeIntegral<std::uint8_t>();
        switch (in.ConsumeIntegralInRange(0, 8)) {
        case 0:
            canvas->Draw(&bitmap, x, y);
            break;
        case 1:
            canvas->Draw(&bitmap, x, y, alpha);
            break;
        case 2:
            canvas->Draw(&bitmap, x, y, sx, sy, w, hgt);
            break;
        case 3:
            canvas->Draw(&bitmap, x, y, sx, sy, w, hgt, alpha);
            break;
        case 4:
            canvas->DrawImage(&bitmap, x, y);
            break;
        case 5:
            canvas->DrawImage(&bitmap, x, y, w, hgt);
            break;
        case 6:
            canvas->DrawImage(&bitmap, Gdiplus::Rect(x, y, w, hgt));
            break;
        case 7:
            canvas->DrawImage(&bitmap, Gdiplus::RectF(float(x), float(y), float(w), float(hgt)),
                              Gdiplus::RectF(float(sx), float(sy), float(w), float(hgt)));
            break;
        default: {
            CMoxSprite sprite;
            sprite.Init(&bitmap);
            canvas->InitSprite();
            canvas->AddSprite(&sprite, x, y, w, hgt, sx, sy, alpha);
            canvas->DrawSprite(false);
            canvas->ClearSprite();
            canvas->DrawSprite(false);
            break;
        }
        }
    }
    return 0;
}
