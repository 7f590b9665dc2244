// Helpers shared by the tests: scratch files, image files written on the fly, and reading the
// canvas's back buffer through GetObject on its DIB section.
#pragma once

#include <MoxImage2.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gdiplus_session.h"

namespace moxtest {

// Windows keeps no pixels for a hidden window (GetPixel on its DC answers CLR_INVALID); tests
// that read a window's pixels back show their window there. The stand-in keeps them either way.
#ifdef _WIN32
constexpr DWORD kShownForPixels = WS_VISIBLE;
#else
constexpr DWORD kShownForPixels = 0;
#endif

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

// A fresh path for a scratch file (the directory is made on first use).
std::string TempPath(const std::string& name);
std::wstring Widen(const std::string& s);

// Writes a 24-bit bottom-up BMP file whose pixel (x, y), y from the top, is pixel(x, y).
void WriteBmp24(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& pixel);

// Writes a PNG file, with an alpha channel when withAlpha is true.
void WritePng(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& pixel,
              bool withAlpha);

// Raw-form bytes as CMoxBitmap takes them: rows of exactly width x 3 bytes, bottom row first.
std::vector<unsigned char> RawBottomUp(int width, int height, const std::function<Rgb(int, int)>& pixel);
BITMAPINFO RawHeader(int width, int height);

// The canvas's back buffer, read through GetObject on its section.
Rgb PixelAt(CMoxGraphics& canvas, int x, int y);
void Fill(CMoxGraphics& canvas, Rgb colour); // every pixel of the back buffer

} // namespace moxtest
