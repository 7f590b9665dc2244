// What the fuzz targets that load images through USER share: a scratch file per process for
// loaders that read only files, and a small 32-bit DIB section to draw what loaded into.
#pragma once

#include <windows.h>

#include <string>
#include <unistd.h>

inline std::string FuzzScratchPath(const char* target, const char* extension)
{
    return std::string("/tmp/") + target + "-" + std::to_string(::getpid()) + extension;
}

inline HDC FuzzTargetDC(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    return dc;
}
