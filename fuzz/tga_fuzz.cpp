// Feeds arbitrary bytes, as a file, to CMoxTga::Init and reads the first and last rows of what it
// loads, so that a buffer smaller than the size the image reports shows up under
// AddressSanitizer. (Not every element: a tiny file may declare a 16 GiB image, all zeros.)
//
//   clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Iinclude -Iplatform/include \
//       fuzz/tga_fuzz.cpp image/tga.cpp -o tga_fuzz
//   ./tga_fuzz -malloc_limit_mb=512 -rss_limit_mb=1024
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

} // namespace

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
    ULONG sum = 0;
    const size_t width = tga.GetWidth();
    for (size_t i = 0; i < width && count; ++i)
        sum += p[i] + p[count - 1 - i];
    volatile ULONG sink = sum;
    (void)sink;

    CMoxTga copy(tga); // a shared buffer, released once by whichever goes last
    return 0;
}
