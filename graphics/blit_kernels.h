// The pixel loops of the bitmap and TGA blitters, once per instruction set. The callers clip;
// a kernel gets a region that lies wholly inside both buffers and touches nothing outside it:
// no byte before a row's first pixel or after its last one is read or written, since a 24-bit
// image row has no readable padding and a raw image ends at its last pixel. (The AVX-512
// kernels reach row ends with masked loads and stores: a masked-off byte is neither read nor
// written and cannot fault, so the rule holds there too.)
//
// blit_scalar.cpp is the reference every other kernel must match byte for byte; blit_sse2.cpp,
// blit_avx2.cpp and blit_avx512.cpp are the vector versions, each compiled for its own
// instruction set only; blit_dispatch.cpp picks one, once, from what the CPU reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mox::blit {

struct Key {
    std::uint8_t b, g, r;
};

// w x h 24-bit pixels (blue, green, red) from src to dst. srcStep may be negative (bottom-up
// images). Keyed: source pixels equal to the key leave the destination alone. alpha 255 copies;
// 1 to 254 blend by the rule in blend.h.
struct BgrJob {
    std::uint8_t* dst;
    std::ptrdiff_t dstStride;
    const std::uint8_t* src;
    std::ptrdiff_t srcStep;
    int w, h;
    bool keyed;
    Key key;
    int alpha;
};

// w x h 32-bit pixels (0xAARRGGBB, four bytes each, read as unsigned 32-bit values) composited
// onto 24-bit ones. opacity 255: each pixel's own
// alpha A, where A = 255 copies and A = 0 skips; 1 to 254: (A * opacity) >> 8, always a blend.
struct TgaJob {
    std::uint8_t* dst;
    std::ptrdiff_t dstStride;
    const std::uint8_t* src;
    std::ptrdiff_t srcStride; // in pixels
    int w, h;
    unsigned opacity;
};

struct Kernels {
    const char* name;
    void (*bgr)(const BgrJob&);
    void (*tga)(const TgaJob&);
    // Regions narrower than this many pixels go to the scalar kernels, where this level's set-up
    // and row ends cost more than they save (narrow_blit_bench measures each level against the
    // scalar kernels). A level's kernels may hand some paths to the scalar ones up to a greater
    // width still.
    int minWidth;
};

enum class Level { Scalar, Sse2, Avx2, Avx512 };

extern const Kernels kScalarKernels;

// The kernels the blitters use: the widest the CPU runs, unless MOXIMAGE2_SIMD names a narrower
// one (scalar, sse2, avx2, avx512). Chosen on first use.
const Kernels& Active();

// The kernels for a region `width` pixels wide: tiny sprites and thin slivers of a sprite drawn
// in part may be cheaper in scalar code.
inline const Kernels& For(int width)
{
    const Kernels& active = Active();
    return width < active.minWidth ? kScalarKernels : active;
}

// The kernels of one level, or null when this build or this CPU lacks them.
const Kernels* ForLevel(Level level);

// The level to use on a CPU whose widest is `widest`, given MOXIMAGE2_SIMD (may be null). A
// forced level wider than the CPU's, or a name not listed, leaves the widest.
Level ChooseLevel(Level widest, const char* forced);

// The reference kernels, and their row loops, which the vector kernels use for row ends too
// short for a vector.
void ScalarBgrPixels(std::uint8_t* dst, const std::uint8_t* src, int w, bool keyed, Key key, int alpha);
void ScalarTgaPixels(std::uint8_t* dst, const std::uint8_t* src, int w, unsigned opacity);

// Defined only where the instruction set exists (x86-64).
extern const Kernels kSse2Kernels;
extern const Kernels kAvx2Kernels;
extern const Kernels kAvx512Kernels;
// The SSE2 build of the keyed copy for rows too short for a block, which the AVX2 level uses too
// (it measured faster built for SSE2). Only for jobs IsShortKeyedCopy (blit_vector.h) accepts.
void Sse2KeyedCopyShortRows(const BgrJob& job);

} // namespace mox::blit
