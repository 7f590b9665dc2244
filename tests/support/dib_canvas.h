// A top-down DIB section of 24 or 32 bits selected into its own memory DC, for pixel tests of
// GDI drawing written with Windows names only (they run against real GDI under Wine too).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

struct DibCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    BYTE* bits = nullptr;
    int width = 0;
    int height = 0;
    int bpp = 24;
    int stride = 0;

    DibCanvas(int w, int h, int bitsPerPixel = 24) : width(w), height(h), bpp(bitsPerPixel)
    {
        BITMAPINFO bmi;
        std::memset(&bmi, 0, sizeof bmi);
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = static_cast<WORD>(bpp);
        bmi.bmiHeader.biCompression = BI_RGB;
        bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        stride = ((w * bpp / 8) + 3) & ~3;
        dc = CreateCompatibleDC(nullptr);
        if (bitmap)
            oldBitmap = SelectObject(dc, bitmap);
    }
    ~DibCanvas()
    {
        if (oldBitmap)
            SelectObject(dc, oldBitmap);
        DeleteDC(dc);
        if (bitmap)
            DeleteObject(bitmap);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool Ok() const { return bitmap && bits && dc; }

    BYTE* At(int x, int y) const { return bits + y * stride + x * (bpp / 8); }
    COLORREF Pixel(int x, int y) const
    {
        const BYTE* p = At(x, y);
        return RGB(p[2], p[1], p[0]);
    }
    // Every pixel (and the fourth byte of 32-bit pixels) set directly in memory.
    void Clear(COLORREF c, BYTE fourth = 0)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                BYTE* p = At(x, y);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
                if (bpp == 32)
                    p[3] = fourth;
            }
    }
    // The image as rows of characters: `on` where the pixel has colour c, '.' elsewhere.
    std::string Map(COLORREF c, char on = '#') const
    {
        std::string s;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                s += Pixel(x, y) == c ? on : '.';
            s += '\n';
        }
        return s;
    }
};
