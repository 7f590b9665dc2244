// A small host: a canvas bound to a (headless) window, a background loaded from a BMP file, a
// magenta-keyed sprite from raw bytes drawn whole, half transparent and in part, a solid fill,
// and the frame copied to the window with BitBlt. The frame is saved as a PNG file through GDI+.
//
// usage: blit_example [output-directory]   (default ./out); prints the path of the PNG.
#include <MoxImage2.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const int kWidth = 320;

// Windows keeps no pixels for a hidden window (GetPixel on its DC answers CLR_INVALID), so there
// the window is shown; elsewhere a hidden window keeps its own pixels and the example needs no
// display.
#ifdef _WIN32
const DWORD kShown = WS_VISIBLE;
#else
const DWORD kShown = 0;
#endif
const int kHeight = 240;

// --- Files ----------------------------------------------------------------------------------

std::wstring Wide(const std::string& s)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &out[0], n);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

// The encoder for a MIME type ("image/png"), found the way a Windows host finds it.
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

// A 24-bit BMP with a diagonal sky-to-sand gradient, written by GDI+'s BMP encoder from rows of
// blue, green, red bytes (PixelFormat24bppRGB, each row padded to a multiple of four bytes).
bool WriteBackgroundBmp(const std::string& path)
{
    const int stride = (kWidth * 3 + 3) & ~3;
    std::vector<BYTE> rows(std::size_t(stride) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int t = (x + 2 * y) * 255 / (kWidth + 2 * kHeight);
            BYTE* p = &rows[std::size_t(y) * stride + 3 * std::size_t(x)];
            p[0] = static_cast<BYTE>(230 - t * 3 / 4); // blue
            p[1] = static_cast<BYTE>(150 + t / 3);     // green
            p[2] = static_cast<BYTE>(60 + t * 2 / 3);  // red
        }
    CLSID bmp;
    if (!EncoderClsid(L"image/bmp", &bmp))
        return false;
    Gdiplus::Bitmap picture(kWidth, kHeight, stride, PixelFormat24bppRGB, rows.data());
    return picture.GetLastStatus() == Gdiplus::Ok && picture.Save(Wide(path).c_str(), &bmp, nullptr) == Gdiplus::Ok;
}

// Saves the canvas's back buffer as a PNG file. The back buffer is a top-down 24-bit DIB
// section: each row is the pixels' blue, green and red bytes, padded to a multiple of four
// bytes, which is exactly GDI+'s PixelFormat24bppRGB; a Bitmap made over those bytes saves them
// without a copy.
bool SavePng(CMoxGraphics& canvas, const std::string& path)
{
    DIBSECTION section{};
    if (GetObject(canvas.GetBitmap(), sizeof section, &section) != int(sizeof section))
        return false;
    CLSID png;
    if (!EncoderClsid(L"image/png", &png))
        return false;
    Gdiplus::Bitmap frame(section.dsBm.bmWidth, section.dsBm.bmHeight, section.dsBm.bmWidthBytes, PixelFormat24bppRGB,
                          static_cast<BYTE*>(section.dsBm.bmBits));
    return frame.GetLastStatus() == Gdiplus::Ok && frame.Save(Wide(path).c_str(), &png, nullptr) == Gdiplus::Ok;
}

// --- The sprite -----------------------------------------------------------------------------

// A 64 x 64 ball on magenta, the colour key. Raw form: rows of 64 x 3 bytes, bottom row first.
std::vector<unsigned char> BallBytes()
{
    const int size = 64;
    std::vector<unsigned char> bytes;
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const int dx = x - 31, dy = y - 31;
            const int d2 = dx * dx + dy * dy;
            if (d2 > 30 * 30) {
                bytes.insert(bytes.end(), {255, 0, 255}); // blue, green, red: the key
                continue;
            }
            const int shade = 255 - d2 * 200 / (30 * 30);
            const bool stripe = ((x + y) / 8) % 2 == 0;
            bytes.push_back(static_cast<unsigned char>(stripe ? shade / 4 : shade / 2));
            bytes.push_back(static_cast<unsigned char>(stripe ? shade / 2 : shade));
            bytes.push_back(static_cast<unsigned char>(shade));
        }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string outDir = argc > 1 ? argv[1] : "./out";
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);

    CMoxGraphics canvas;
    canvas.GdiInit();
    if (!canvas.Init(kWidth, kHeight)) {
        std::fprintf(stderr, "blit_example: cannot size the canvas\n");
        return 1;
    }

    CWnd window;
    if (!window.CreateEx(0, AfxRegisterWndClass(0), "MoxImage2 blit example", WS_POPUP | kShown, 0, 0, kWidth, kHeight,
                         nullptr, nullptr)) {
        std::fprintf(stderr, "blit_example: cannot create the window\n");
        return 1;
    }
    int status = 0;
    {
        CPaintDC dc(&window);
        canvas.InitGraphics(&dc);

        const std::string backgroundPath = outDir + "/background.bmp";
        if (!WriteBackgroundBmp(backgroundPath)) {
            std::fprintf(stderr, "blit_example: cannot write %s\n", backgroundPath.c_str());
            return 1;
        }
        CMoxBitmap background(Wide(backgroundPath).c_str());
        canvas.SetBackBitmap(&background);
        canvas.DrawBack();

        std::vector<unsigned char> ball = BallBytes();
        BITMAPINFO header{};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = 64;
        header.bmiHeader.biHeight = 64; // bottom-up
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        header.bmiHeader.biCompression = BI_RGB;
        CMoxBitmap sprite(ball.data(), int(ball.size()), header, 255, 0, 255);

        canvas.FillRectangle(0, 200, kWidth, 40, 40, 90, 50); // ground
        canvas.Draw(&sprite, 24, 60);                         // keyed
        canvas.Draw(&sprite, 128, 60, 128);                   // keyed, half transparent
        canvas.Draw(&sprite, 232, 76, 16, 16, 32, 32);        // the ball's middle only
        canvas.Draw(&sprite, -32, 170, 160);                  // clipped at the left edge
        canvas.FillRectangle(300, 10, 40, 20, 250, 220, 40);  // clipped at the right edge

        BitBlt(dc.GetSafeHdc(), 0, 0, kWidth, kHeight, canvas.GetMemDC()->GetSafeHdc(), 0, 0, SRCCOPY);

        const std::string pngPath = outDir + "/blit_example.png";
        if (SavePng(canvas, pngPath)) {
            std::printf("%s\n", pngPath.c_str());
        } else {
            std::fprintf(stderr, "blit_example: cannot write %s\n", pngPath.c_str());
            status = 1;
        }
    }
    window.DestroyWindow();
    return status;
}
