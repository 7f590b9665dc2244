// Loading the small hostile files an outside fuzzing campaign found, each of which once cost
// seconds and gigabytes (a 1,054-byte BMP of 16384 x 16384, a 154-byte BMP of 6 x 16,573,956,
// a 270-byte PNG of 16384 x 16384 cut inside its data), against loading an honest 16 x 16 BMP
// of about the same length, interleaved in the same repetitions. The reported time is the
// hostile file's; speed_vs_small_bmp above 1 means it costs less than the honest file.
#include "blit_bench.h"

#include <MoxImage2.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using Bytes = std::vector<unsigned char>;

namespace {

void Put32(Bytes& b, size_t at, unsigned v, bool big = false)
{
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<unsigned char>(v >> (big ? 24 - 8 * k : 8 * k));
}

// A 24-bit BMP declaring width x height with `data` bytes of pixels.
Bytes Bmp(int width, int height, size_t data)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, unsigned(width));
    Put32(b, 22, unsigned(height));
    b[26] = 1;
    b[28] = 24;
    b.resize(54 + data, 0x5A);
    Put32(b, 2, unsigned(b.size()));
    return b;
}

// An 8-bit RGB PNG declaring width x height whose one IDAT chunk is cut after `present` bytes.
Bytes CutPng(unsigned width, unsigned height, size_t present)
{
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b.resize(33, 0);
    Put32(b, 16, width, true);
    Put32(b, 20, height, true);
    b[24] = 8;
    b[25] = 2;
    const size_t at = b.size();
    b.resize(at + 8 + present, 0);
    Put32(b, at, 1u << 20, true);
    b[at + 4] = 'I', b[at + 5] = 'D', b[at + 6] = 'A', b[at + 7] = 'T';
    return b;
}

std::string Write(const char* name, const Bytes& bytes)
{
    const std::string path = "/tmp/hostile_image_bench-" + std::to_string(::getpid()) + "-" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

void Load(const std::wstring& path)
{
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromFile(path.c_str(), &bitmap);
    if (bitmap)
        GdipDisposeImage(bitmap);
}

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

void LoadHostile(benchmark::State& state, const char* name, const Bytes& bytes)
{
    static ULONG_PTR token = [] {
        ULONG_PTR t = 0;
        GdiplusStartupInput input;
        GdiplusStartup(&t, &input, nullptr);
        return t;
    }();
    (void)token;
    const std::wstring hostile = Wide(Write(name, bytes));
    const std::wstring honest = Wide(Write("honest.bmp", Bmp(16, 16, 16 * 16 * 3)));
    moxbench::Interleaved(state, [&] { Load(hostile); }, {{"small_bmp", [&] { Load(honest); }}});
}

} // namespace

BENCHMARK_CAPTURE(LoadHostile, bmp_1054_bytes_16384x16384, "a.bmp", Bmp(16384, 16384, 1000))->UseManualTime();
BENCHMARK_CAPTURE(LoadHostile, bmp_154_bytes_6x16573956, "b.bmp", Bmp(6, 16573956, 100))->UseManualTime();
BENCHMARK_CAPTURE(LoadHostile, png_270_bytes_16384x16384, "c.png", CutPng(16384, 16384, 229))->UseManualTime();

BENCHMARK_MAIN();
