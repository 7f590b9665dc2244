// Picks the blit kernels once, from what the CPU and the operating system support. Every level
// draws the same bytes; MOXIMAGE2_SIMD only forces a narrower one, for tests and measurements.
#include "graphics/blit_kernels.h"

#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#define MOX_BLIT_X86 1
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

namespace mox::blit {

namespace {

#ifdef MOX_BLIT_X86

struct CpuFeatures {
    bool avx2 = false;
    bool avx512bw = false;
};

void Cpuid(int leaf, int sub, unsigned regs[4])
{
#if defined(_MSC_VER) && !defined(__clang__)
    int r[4];
    __cpuidex(r, leaf, sub);
    for (int i = 0; i < 4; ++i)
        regs[i] = unsigned(r[i]);
#else
    __cpuid_count(leaf, sub, regs[0], regs[1], regs[2], regs[3]);
#endif
}

// Which register states the operating system saves on a context switch (XCR0).
unsigned long long SavedStates()
{
#if defined(_MSC_VER) && !defined(__clang__)
    return _xgetbv(0);
#else
    unsigned lo, hi;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (static_cast<unsigned long long>(hi) << 32) | lo;
#endif
}

CpuFeatures Detect()
{
    CpuFeatures f;
    unsigned r[4];
    Cpuid(0, 0, r);
    if (r[0] < 7)
        return f;
    Cpuid(1, 0, r);
    const bool osxsave = (r[2] >> 27) & 1;
    const bool avx = (r[2] >> 28) & 1;
    if (!osxsave || !avx)
        return f;
    const unsigned long long xcr0 = SavedStates();
    const bool ymmSaved = (xcr0 & 0x6) == 0x6;   // SSE and AVX state
    const bool zmmSaved = (xcr0 & 0xE6) == 0xE6; // plus opmask and both halves of the zmm file
    Cpuid(7, 0, r);
    f.avx2 = ymmSaved && ((r[1] >> 5) & 1);
    f.avx512bw = f.avx2 && zmmSaved && ((r[1] >> 16) & 1) && ((r[1] >> 30) & 1); // AVX-512F and BW
    return f;
}

const CpuFeatures& Features()
{
    static const CpuFeatures features = Detect();
    return features;
}

#endif

const Kernels& Choose()
{
    Level widest = Level::Scalar;
#ifdef MOX_BLIT_X86
    widest = Level::Sse2;
    if (Features().avx2)
        widest = Level::Avx2;
    if (Features().avx512bw)
        widest = Level::Avx512;
#endif
    return *ForLevel(ChooseLevel(widest, std::getenv("MOXIMAGE2_SIMD")));
}

} // namespace

Level ChooseLevel(Level widest, const char* forced)
{
    static const struct {
        const char* name;
        Level level;
    } kNames[] = {{"scalar", Level::Scalar}, {"sse2", Level::Sse2}, {"avx2", Level::Avx2}, {"avx512", Level::Avx512}};
    if (forced)
        for (const auto& n : kNames)
            if (std::strcmp(forced, n.name) == 0 && n.level < widest)
                return n.level;
    return widest;
}

const Kernels* ForLevel(Level level)
{
    switch (level) {
    case Level::Scalar:
        return &kScalarKernels;
#ifdef MOX_BLIT_X86
    case Level::Sse2:
        return &kSse2Kernels;
    case Level::Avx2:
        return Features().avx2 ? &kAvx2Kernels : nullptr;
    case Level::Avx512:
        return Features().avx512bw ? &kAvx512Kernels : nullptr;
#else
    default:
        return nullptr;
#endif
    }
    return nullptr;
}

const Kernels& Active()
{
    static const Kernels& active = Choose();
    return active;
}

} // namespace mox::blit
