// Sequences of scene calls as a host makes them, frame after frame: sprites of every kind (TGA,
// bitmap, pen, colour, hatch brush, text of any bytes and length, text with a shadow) initialised
// again and again, placed anywhere, added through every AddSprite overload with any sort key and
// update flag, dropped from frames (removed), composed and presented; image buttons initialised
// from any image and count, fed mouse events and added; and window messages sent to the owner.
// The composition must never read or write outside its buffers, whatever the order.
#include <MoxImage2.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSprites = 8;

// The fixed cast of a run: canvas, window, images and tools; built once.
struct Stage {
    CWnd wnd;
    std::unique_ptr<CPaintDC> dc;
    CMoxGraphics canvas;
    std::vector<std::uint32_t> tgaPixels;
    CMoxTga tga, emptyTga;
    std::vector<unsigned char> rawBytes;
    CMoxBitmap bitmap, emptyBitmap;
    CMoxPen pen;
    CMoxColor colour;
    CMoxBrush brush;
    CMoxFont font, missingFont;

    Stage()
    {
        canvas.GdiInit();
        wnd.CreateEx(0, AfxRegisterWndClass(0), "scene", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr);
        dc = std::make_unique<CPaintDC>(&wnd);
        canvas.Init(64, 48);
        canvas.InitGraphics(dc.get());

        tgaPixels.resize(12 * 40);
        for (size_t i = 0; i < tgaPixels.size(); ++i)
            tgaPixels[i] = std::uint32_t(i * 2654435761u) | ((i % 3) ? 0xFF000000u : 0);
        tga.m_pBuffer = reinterpret_cast<ULONG*>(tgaPixels.data());
        tga.m_nWidth = 12;
        tga.m_nHeight = 40;

        rawBytes.resize(40 * 12 * 3);
        for (size_t i = 0; i < rawBytes.size(); ++i)
            rawBytes[i] = static_cast<unsigned char>(i * 7);
        BITMAPINFO header = {};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = 40;
        header.bmiHeader.biHeight = 12;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        bitmap.Init(rawBytes.data(), int(rawBytes.size()), header, 0, 7, 14);

        pen.Init(200, 10, 10, 2.0f, Gdiplus::DashStyleDash);
        colour.Init(10, 200, 10);
        brush.Init(Gdiplus::HatchStyleDiagonalCross, Gdiplus::Color(0xFF2040A0), Gdiplus::Color(0x80FFFFFF));
        font.Init(9, L"DejaVu Sans", Gdiplus::FontStyleBold);
        missingFont.Init(9, L"No Such Family Here", Gdiplus::FontStyleRegular);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static Stage* stage = new Stage;
    FuzzedDataProvider in(data, size);
    CMoxGraphics& canvas = stage->canvas;

    // Sprites and buttons live for one input; the canvas must not keep them listed after it.
    CMoxSprite sprites[kSprites];
    CMoxButton buttons[2];
    auto anySprite = [&]() -> CMoxSprite& { return sprites[in.ConsumeIntegralInRange(0, kSprites - 1)]; };
    auto coord = [&] { return in.ConsumeBool() ? in.ConsumeIntegralInRange(-80, 80) : in.ConsumeIntegral<int>(); };
    auto text = [&] { return in.ConsumeRandomLengthString(3000); };
    auto argb = [&] { return Gdiplus::Color(in.ConsumeIntegral<std::uint32_t>()); };
    auto align = [&] { return Gdiplus::StringAlignment(in.ConsumeIntegralInRange(0, 3)); };

    canvas.InitSprite();
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 19)) {
        case 0:
            anySprite().Init(in.ConsumeBool() ? &stage->tga : &stage->emptyTga);
            break;
        case 1:
            anySprite().Init(in.ConsumeBool() ? &stage->bitmap : &stage->emptyBitmap);
            break;
        case 2:
            anySprite().Init(&stage->pen, in.ConsumeIntegral<int>());
            break;
        case 3:
            anySprite().Init(&stage->colour);
            break;
        case 4:
            anySprite().Init(&stage->brush);
            break;
        case 5: {
            const std::string s = text();
            anySprite().Init(in.ConsumeBool() ? &stage->font : &stage->missingFont, s.c_str(), argb(), align());
            break;
        }
        case 6: {
            CMoxSprite& s = anySprite();
            const int x = coord(), y = coord(), w = coord(), h = coord(), sx = coord(), sy = coord();
            s.SetRect(x, y, w, h, sx, sy, in.ConsumeIntegral<std::uint8_t>());
            break;
        }
        case 7: {
            CMoxSprite& s = anySprite();
            const int x = coord(), y = coord();
            s.SetRect(x, y, in.ConsumeIntegral<std::uint8_t>());
            break;
        }
        case 8:
            canvas.AddSprite(&anySprite());
            break;
        case 9: {
            CMoxSprite& s = anySprite();
            const int x = coord(), y = coord(), w = coord(), h = coord(), sx = coord(), sy = coord();
            canvas.AddSprite(&s, x, y, w, h, sx, sy, in.ConsumeIntegral<std::uint8_t>());
            break;
        }
        case 10: {
            CMoxSprite& s = anySprite();
            const int x = coord(), y = coord();
            canvas.AddSprite(&s, x, y, in.ConsumeIntegral<std::uint8_t>());
            break;
        }
        case 11: {
            CMoxSprite& s = anySprite();
            const int x = coord(), y = coord(), w = coord(), h = coord();
            const std::string t = text();
            canvas.AddSprite(&s, x, y, w, h, t.c_str(), argb(), align());
            break;
        }
        case 12: {
            CMoxSprite& s = anySprite();
            CMoxSprite& shadow = anySprite();
            const int x = coord(), y = coord(), w = coord(), h = coord();
            const std::string t = text();
            const Gdiplus::Color c = argb(), sc = argb();
            canvas.AddSprite(&s, &shadow, x, y, w, h, t.c_str(), c, sc, align());
            break;
        }
        case 13:
            anySprite().SetSort(in.ConsumeIntegral<int>());
            anySprite().SetUpdate(in.ConsumeIntegralInRange(-1, 2));
            break;
        case 14:
            canvas.SetNowFont(in.ConsumeBool() ? &stage->font : in.ConsumeBool() ? &stage->missingFont : nullptr);
            break;
        case 15: // end of a frame: compose, maybe present, and start the next
            canvas.DrawSprite(in.ConsumeBool());
            canvas.InitSprite();
            break;
        case 16:
            canvas.ClearSprite();
            break;
        case 17: {
            CMoxButton& b = buttons[in.ConsumeBool()];
            const int id = in.ConsumeIntegral<int>(), x = coord(), y = coord(),
                      count = in.ConsumeIntegralInRange(-2, 6);
            CWnd* owner = in.ConsumeBool() ? &stage->wnd : nullptr;
            CMoxTga* t = in.ConsumeBool() ? &stage->tga : &stage->emptyTga;
            CMoxBitmap* bm = in.ConsumeBool() ? &stage->bitmap : &stage->emptyBitmap;
            switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
                b.Init(owner, id, x, y, t, count);
                break;
            case 1:
                b.InitH(owner, id, x, y, t, count);
                break;
            case 2:
                b.Init(owner, id, x, y, bm, count);
                break;
            case 3:
                b.InitH(owner, id, x, y, bm, count);
                break;
            case 4:
                b.Init(owner, id, x, y, t, t, t, in.ConsumeBool() ? t : nullptr);
                break;
            default:
                b.Init(owner, id, x, y, bm, bm, bm, in.ConsumeBool() ? bm : nullptr);
                break;
            }
            break;
        }
        case 18: {
            CMoxButton& b = buttons[in.ConsumeBool()];
            const int x = coord(), y = coord();
            switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
                b.OnMouseMove(x, y);
                break;
            case 1:
                b.OnMouseDown(x, y);
                break;
            case 2:
                b.OnMouseUp(x, y);
                break;
            case 3:
                b.Enable(in.ConsumeIntegralInRange(-1, 1));
                break;
            case 4:
                b.Show(in.ConsumeIntegralInRange(-1, 1));
                break;
            default:
                canvas.AddSprite(&b);
                break;
            }
            break;
        }
        default: {
            static const UINT kMessages[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_PAINT, WM_COMMAND, WM_SIZE};
            const UINT message = kMessages[in.ConsumeIntegralInRange<size_t>(0, 5)];
            const WPARAM wParam = in.ConsumeIntegral<std::uint32_t>();
            const LPARAM lParam = in.ConsumeIntegral<std::uint32_t>();
            SendMessageA(stage->wnd.m_hWnd, message, wParam, lParam);
            break;
        }
        }
    }
    // The host's last frame: nothing added, so every sprite leaves the canvas before it goes.
    canvas.ClearSprite();
    canvas.InitSprite();
    canvas.DrawSprite(true);
    return 0;
}
