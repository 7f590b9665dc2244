// Any bytes as an icon or cursor: as one image of a resource (CreateIconFromResourceEx, both
// kinds, at its own size and scaled) and as an .ico / .cur file (LoadImage with
// LR_LOADFROMFILE). Whatever is made is drawn every way DrawIconEx draws and taken apart with
// GetIconInfo, so every pixel the reader claims to have is touched. The pixel limit is lowered
// to a megapixel so that every run stays fast.
#include <MoxImage2.h>
#include <windows.h>

#include "gdi_fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string& ScratchPath()
{
    static const std::string path = FuzzScratchPath("icon_fuzz", ".ico");
    return path;
}

void Exercise(HICON icon, HDC target)
{
    static const UINT kFlags[] = {DI_NORMAL, DI_MASK, DI_IMAGE, DI_NORMAL | DI_DEFAULTSIZE};
    for (UINT flags : kFlags)
        DrawIconEx(target, -2, 3, icon, 0, 0, 0, nullptr, flags);
    DrawIconEx(target, 1, 1, icon, 7, 5, 0, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), DI_NORMAL);
    ICONINFO info{};
    if (!GetIconInfo(icon, &info) || !info.hbmMask)
        __builtin_trap(); // an icon that was made describes itself
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DestroyIcon(icon);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MoxSetMaxImagePixels(1u << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static HDC target = FuzzTargetDC(40, 40);
    std::vector<BYTE> bytes(data, data + size); // the reader takes a non-const pointer
    for (BOOL isIcon : {TRUE, FALSE}) {
        if (HICON icon = CreateIconFromResourceEx(bytes.data(), DWORD(bytes.size()), isIcon, 0x00030000, 0, 0, 0))
            Exercise(icon, target);
        if (HICON icon = CreateIconFromResourceEx(bytes.data(), DWORD(bytes.size()), isIcon, 0x00030000, 9, 13, 0))
            Exercise(icon, target);
    }

    FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    for (UINT type : {UINT(IMAGE_ICON), UINT(IMAGE_CURSOR)})
        if (HANDLE h = LoadImageA(nullptr, ScratchPath().c_str(), type, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE))
            Exercise(static_cast<HICON>(h), target);
    std::remove(ScratchPath().c_str());
    return 0;
}
