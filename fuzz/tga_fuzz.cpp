// Feeds arbitrary bytes, as a file, to CMoxTga::Init and reads the first and last rows of what it
// loads, so that a buffer smaller than the size the image reports shows up under
// AddressSanitizer, then draws it. The pixel limit is lowered to a megapixel so that runs stay
// fast; an image past it must be refused. (scripts/fuzz.sh builds and runs this.)
#include <MoxImage2.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchPath()
{
    static const std::string path = "/tmp/tga_fuzz-" + std::to_string(::getpid()) + ".tga";
    return path;
}

constexpr unsigned long long kMaxPixels = 1u << 20;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MoxSetMaxImagePixels(kMaxPixels);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    CMoxTga tga;
    if (!tga.Init(ScratchPath().c_str()))
        return 0;
    const ULONG* p = tga.GetBuffer();
    const size_t count = size_t(tga.GetWidth()) * tga.GetHeight();
    if (count != 0 && !p)
        __builtin_trap(); // a size with no pixels behind it after a successful load
    if (count > kMaxPixels)
        __builtin_trap(); // past the limit, yet loaded
    ULONG sum = 0;
    const size_t width = tga.GetWidth();
    for (size_t i = 0; i < width && count; ++i)
        sum += p[i] + p[count - 1 - i];
    volatile ULONG sink = sum;
    (void)sink;

    static CMoxGraphics* canvas = [] {
        auto* c = new CMoxGraphics;
        c->GdiInit();
        c->Init(32, 24);
        return c;
    }();
    canvas->Draw(&tga, -1, -1);
    canvas->Draw(&tga, 2, 2, 1, 1, -1, -1, 200);

    CMoxTga copy(tga); // a shared buffer, released once by whichever goes last
    return 0;
}
