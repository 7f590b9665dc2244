// Any bytes as a BMP file, loaded the two ways Windows programs load files themselves: USER's
// LoadImage (our own BMP reader, every depth, as a DIB section and as a device bitmap, at its own
// size and stretched) and ATL's CImage (the GDI+ decoders). Whatever loads is blitted into a
// 32-bit DIB section, so every pixel the readers claim to have is touched. The pixel limit is
// lowered to a megapixel so that every run stays fast; the checks are the same at any limit.
#include <MoxImage2.h>
#include <atlimage.h>
#include <windows.h>

#include "gdi_fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

const std::string& ScratchPath()
{
    static const std::string path = FuzzScratchPath("load_image_fuzz", ".bmp");
    return path;
}

// Draws the bitmap into a small 32-bit section and checks what GetObject says of it.
void Exercise(HBITMAP bitmap, HDC target)
{
    BITMAP bm{};
    if (GetObject(bitmap, sizeof bm, &bm) != static_cast<int>(sizeof bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        __builtin_trap(); // a bitmap LoadImage hands out describes itself
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(target, -3, -2, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
    StretchBlt(target, 0, 0, 40, 30, source, 0, 0, bm.bmWidth, bm.bmHeight, SRCINVERT);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(bitmap);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MoxSetMaxImagePixels(1u << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static HDC target = FuzzTargetDC(48, 36);
    FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    const UINT flags[] = {LR_LOADFROMFILE | LR_CREATEDIBSECTION, LR_LOADFROMFILE,
                          LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_MONOCHROME,
                          LR_LOADFROMFILE | LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS};
    for (UINT flag : flags)
        if (HANDLE h = LoadImageA(nullptr, ScratchPath().c_str(), IMAGE_BITMAP, 0, 0, flag))
            Exercise(static_cast<HBITMAP>(h), target);
    if (HANDLE h = LoadImageA(nullptr, ScratchPath().c_str(), IMAGE_BITMAP, 17, 9, LR_LOADFROMFILE))
        Exercise(static_cast<HBITMAP>(h), target);

    CImage image;
    if (image.Load(ScratchPath().c_str()) == S_OK) {
        if (image.GetWidth() <= 0 || image.GetHeight() <= 0)
            __builtin_trap();
        image.BitBlt(target, 1, 1, SRCCOPY);
        image.Draw(target, 0, 0, 20, 15);
    }
    return 0;
}
