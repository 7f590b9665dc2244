// A small host: a canvas bound to a (headless) window, a background loaded from a BMP file, a
// magenta-keyed sprite from raw bytes drawn whole, half transparent and in part, a solid fill,
// and the frame copied to the window with BitBlt. The window's pixels are written as a PNG file.
//
// usage: blit_example [output-directory]   (default ./out); prints the path of the PNG.
#include <MoxImage2.h>

#include <cstdint>
#include <cstdio>
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

void Put16(std::vector<unsigned char>& v, unsigned x)
{
    v.push_back(x & 0xff);
    v.push_back((x >> 8) & 0xff);
}

void Put32(std::vector<unsigned char>& v, unsigned x)
{
    Put16(v, x & 0xffff);
    Put16(v, x >> 16);
}

void PutBE32(std::vector<unsigned char>& v, std::uint32_t x)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        v.push_back((x >> shift) & 0xff);
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A 24-bit bottom-up BMP with a diagonal sky-to-sand gradient.
bool WriteBackgroundBmp(const std::string& path)
{
    const int stride = (kWidth * 3 + 3) & ~3;
    std::vector<unsigned char> file;
    Put16(file, 0x4D42);
    Put32(file, 54 + stride * kHeight);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, kWidth);
    Put32(file, kHeight);
    Put16(file, 1);
    Put16(file, 24);
    for (int i = 0; i < 6; ++i)
        Put32(file, 0);
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            const int t = (x + 2 * y) * 255 / (kWidth + 2 * kHeight);
            file.push_back(static_cast<unsigned char>(230 - t * 3 / 4)); // blue
            file.push_back(static_cast<unsigned char>(150 + t / 3));     // green
            file.push_back(static_cast<unsigned char>(60 + t * 2 / 3));  // red
        }
        file.resize(file.size() + (stride - kWidth * 3), 0);
    }
    return WriteFile(path, file);
}

std::uint32_t Crc32(const unsigned char* p, std::size_t n, std::uint32_t crc = 0)
{
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i)
        crc = table[(crc ^ p[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

void PutChunk(std::vector<unsigned char>& png, const char* type, const std::vector<unsigned char>& data)
{
    PutBE32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBE32(png, Crc32(png.data() + start, png.size() - start));
}

// An 8-bit RGB PNG whose zlib stream uses stored (uncompressed) blocks: no codec needed.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb)
{
    std::vector<unsigned char> raw; // each row: filter byte 0, then the pixels
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + std::ptrdiff_t(y) * width * 3,
                   rgb.begin() + std::ptrdiff_t(y + 1) * width * 3);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    for (std::size_t pos = 0; pos < raw.size() || pos == 0;) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        const bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        Put16(z, unsigned(n));
        Put16(z, unsigned(~n & 0xffff));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
        if (last)
            break;
    }
    std::uint32_t a = 1, b = 0; // Adler-32 of the uncompressed data
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBE32(header, width);
    PutBE32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return WriteFile(path, png);
}

std::wstring Wide(const std::string& s)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &out[0], n);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
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

        std::vector<unsigned char> rgb;
        rgb.reserve(std::size_t(kWidth) * kHeight * 3);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const COLORREF c = GetPixel(dc.GetSafeHdc(), x, y);
                rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
            }
        const std::string pngPath = outDir + "/blit_example.png";
        if (WritePng(pngPath, kWidth, kHeight, rgb)) {
            std::printf("%s\n", pngPath.c_str());
        } else {
            std::fprintf(stderr, "blit_example: cannot write %s\n", pngPath.c_str());
            status = 1;
        }
    }
    window.DestroyWindow();
    return status;
}
