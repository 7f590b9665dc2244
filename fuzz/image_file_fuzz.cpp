// Any bytes as an image file, loaded through CMoxBitmap::Init(path) (the header checks, then the
// decoder) and, when it loads, drawn by the blitter and the GDI+ image calls. The pixel limit is
// lowered to a megapixel so that every run stays fast; the checks are the same at any limit.
#include <MoxImage2.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const std::wstring& ScratchPath()
{
    static const std::string narrow = "/tmp/image_file_fuzz-" + std::to_string(::getpid()) + ".img";
    static const std::wstring path(narrow.begin(), narrow.end());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MoxSetMaxImagePixels(1u << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static CMoxGraphics* canvas = [] {
        auto* c = new CMoxGraphics;
        c->GdiInit();
        c->Init(32, 24);
        c->InitGraphics(static_cast<CPaintDC*>(nullptr));
        return c;
    }();
    const std::string narrow(ScratchPath().begin(), ScratchPath().end());
    FILE* f = std::fopen(narrow.c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    CMoxBitmap bitmap;
    bitmap.Init(ScratchPath().c_str(), 0xFF, 0x00, 0xFF);
    const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
    if (width < 0 || height < 0 || (width == 0) != (height == 0))
        __builtin_trap(); // a loaded image has both sizes, a failed one neither
    if (width == 0)
        return 0;
    canvas->Draw(&bitmap, -width / 2, -height / 2);
    canvas->Draw(&bitmap, 3, 2, 1, 1, width, height, 100);
    canvas->DrawImage(&bitmap, 1, 1, 20, 10);
    return 0;
}
