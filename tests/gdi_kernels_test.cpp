// The vector row kernels of the 32-bit blits give exactly the scalar kernels' words, for every
// raster operation, at every row length around the vector width, on pixel mixes sprites have.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "kernels.h"

using namespace moxplat::gdi;

namespace {

// Pixels with the alphas sprite sheets have: runs of transparent zeros, opaque runs and partial
// alphas, premultiplied (no channel above alpha), plus arbitrary words.
std::vector<std::uint32_t> SpritePixels(std::mt19937& rng, std::size_t n, bool premultiplied)
{
    std::vector<std::uint32_t> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned kind = (i / 5 + rng()) % 4;
        std::uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256;
        std::uint32_t px = a << 24;
        for (int c = 0; c < 3; ++c)
            px |= (premultiplied ? (a ? rng() % (a + 1) : 0) : rng() % 256) << (8 * c);
        v[i] = kind == 3 && !premultiplied ? std::uint32_t(rng()) : px;
        if (!premultiplied && (i / 4) % 3 == 0)
            v[i] = 0; // whole groups of zeros, which some kernels skip

    }
    return v;
}

} // namespace

// Every level this CPU runs (SSE2, AVX2) against the scalar kernels, at row lengths around each
// vector width, so that both the vector steps and the rows' ends are compared.
TEST(BlitKernels32, VectorRowsMatchTheScalarRows)
{
    std::size_t levelCount = 0;
    const RowKernels32* const* levels = RowKernelLevels(&levelCount);
    ASSERT_GE(levelCount, 1u);
    EXPECT_STREQ(levels[0]->name, "scalar");
    std::mt19937 rng(77);
    for (std::size_t level = 1; level < levelCount; ++level) {
        const RowKernels32& v = *levels[level];
        for (std::size_t n : {0u, 1u, 3u, 4u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 64u, 67u}) {
            const auto src = SpritePixels(rng, n, false);
            const auto dst = SpritePixels(rng, n, false);
            for (int rop = 0; rop < 256; ++rop) {
                const std::uint32_t pattern = rng();
                for (bool withSource : {true, false}) {
                    auto a = dst, b = dst;
                    v.rop(std::uint8_t(rop), pattern, withSource ? src.data() : nullptr, a.data(), n);
                    RopRow32Scalar(std::uint8_t(rop), pattern, withSource ? src.data() : nullptr, b.data(), n);
                    ASSERT_EQ(a, b) << v.name << " rop " << rop << " n " << n;
                }
            }
            // The mask pair's masks: runs of all-ones, zeros, colour without the fourth byte (a
            // monochrome mask's white), mixed runs of those, which SRCAND and SRCPAINT may write
            // without reading the destination, and arbitrary words, which they may not.
            auto mask = src;
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint32_t pure[] = {0xffffffffu, 0u, 0x00ffffffu, i % 3 ? 0u : 0x00ffffffu, 0xff0000ffu};
                const std::size_t kind = (i / 8 + n) % 6;
                mask[i] = kind < 5 ? pure[kind] : mask[i];
            }
            for (std::uint8_t rop : {std::uint8_t(0x88), std::uint8_t(0xEE)}) {
                auto a = dst, b = dst;
                v.rop(rop, 0, mask.data(), a.data(), n);
                RopRow32Scalar(rop, 0, mask.data(), b.data(), n);
                ASSERT_EQ(a, b) << v.name << " mask rop " << int(rop) << " n " << n;
            }
            const std::uint32_t key = src.empty() ? 0 : src[n / 2] & 0xffffff;
            auto a = dst, b = dst;
            v.keyedCopy(src.data(), a.data(), n, key);
            KeyedCopy32Scalar(src.data(), b.data(), n, key);
            EXPECT_EQ(a, b) << v.name << " keyed, n " << n;

            const auto pre = SpritePixels(rng, n, true);
            for (std::uint32_t alpha : {0u, 1u, 128u, 254u, 255u}) {
                auto c = dst, d = dst;
                v.blendPremultiplied(pre.data(), c.data(), n, alpha);
                BlendPremultiplied32Scalar(pre.data(), d.data(), n, alpha);
                EXPECT_EQ(c, d) << v.name << " premultiplied, alpha " << alpha << " n " << n;
                auto e = dst, f = dst;
                v.blendConstant(src.data(), e.data(), n, alpha);
                BlendConstant32Scalar(src.data(), f.data(), n, alpha);
                EXPECT_EQ(e, f) << v.name << " constant, alpha " << alpha << " n " << n;
            }
        }
    }
}

// Monochrome sources (a mask bitmap's rows) at every bit offset within a byte, in the colour
// pairs masks are drawn with, through every raster operation.
TEST(BlitKernels32, MonochromeRowsMatchTheScalarRows)
{
    std::size_t levelCount = 0;
    const RowKernels32* const* levels = RowKernelLevels(&levelCount);
    std::mt19937 rng(5);
    std::vector<std::uint8_t> bits(16);
    for (auto& b : bits)
        b = std::uint8_t(rng());
    bits[3] = 0x00;
    bits[4] = 0xff;
    const std::pair<std::uint32_t, std::uint32_t> colours[] = {
        {0x00000000u, 0x00ffffffu}, {0x00ffffffu, 0x00000000u}, {0x00000000u, 0xffffffffu}, {rng(), rng()}};
    for (std::size_t level = 0; level < levelCount; ++level)
        for (std::size_t first : {0u, 1u, 5u, 7u, 8u, 13u}) {
            for (std::size_t n : {0u, 1u, 7u, 8u, 9u, 16u, 23u, 64u, 75u}) {
                const auto dst = SpritePixels(rng, n, false);
                for (const auto& c : colours)
                    for (int rop = 0; rop < 256; ++rop) {
                        auto a = dst, b = dst;
                        const std::uint32_t pattern = rng();
                        levels[level]->ropMono(std::uint8_t(rop), pattern, bits.data(), first, c.first, c.second,
                                               a.data(), n);
                        // The reference: the row's words made one by one, through the scalar row.
                        std::vector<std::uint32_t> words(n);
                        for (std::size_t k = 0; k < n; ++k)
                            words[k] = (bits[(first + k) / 8] >> (7 - (first + k) % 8)) & 1 ? c.second : c.first;
                        RopRow32Scalar(std::uint8_t(rop), pattern, words.data(), b.data(), n);
                        ASSERT_EQ(a, b) << levels[level]->name << " rop " << rop << " first " << first << " n " << n;
                    }
            }
        }
}

// The rectangle kernels against the scalar rows, one row at a time: bottom-up rows (a negative
// stride) and rows wider than the rectangle, at widths around each vector width.
TEST(BlitKernels32, RectanglesMatchTheScalarRows)
{
    std::size_t levelCount = 0;
    const RowKernels32* const* levels = RowKernelLevels(&levelCount);
    std::mt19937 rng(11);
    constexpr std::size_t kStride = 80, kRows = 5; // words a row
    const std::vector<std::uint32_t> src = SpritePixels(rng, kStride * kRows, false);
    const auto pre = SpritePixels(rng, kStride * kRows, true);
    const auto dst = SpritePixels(rng, kStride * kRows, false);
    std::vector<std::uint8_t> bits(kRows * 12);
    for (auto& b : bits)
        b = std::uint8_t(rng() % 3 == 0 ? 0 : rng() % 2 ? 0xff : rng());
    // Mask-like sources: whole runs of the colours masks are made of, between arbitrary words.
    std::vector<std::uint32_t> mask = src;
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] = (i / 16) % 3 == 2 ? mask[i] : (i / 16) % 3 ? 0x00ffffffu * (i % 2) : 0u;
    const std::vector<std::uint32_t>* sources[] = {&src, &mask};
    const std::ptrdiff_t strideBytes = kStride * 4;
    for (std::size_t level = 0; level < levelCount; ++level) {
        const RowKernels32& k = *levels[level];
        for (std::size_t w : {1u, 7u, 8u, 15u, 16u, 17u, 33u, 64u, 71u})
            for (bool bottomUp : {false, true}) {
                const std::ptrdiff_t stride = bottomUp ? -strideBytes : strideBytes;
                const std::size_t top = bottomUp ? kStride * (kRows - 1) : 0; // the first row's word
                const auto rowOf = [&](std::size_t r) { return bottomUp ? kStride * (kRows - 1 - r) : kStride * r; };
                const auto bytes = [](auto& v, std::size_t at) { return reinterpret_cast<std::uint8_t*>(&v[at]); };
                const auto check = [&](const char* what, auto rect, auto row) {
                    auto a = dst, b = dst;
                    rect(a, stride);
                    for (std::size_t r = 0; r < kRows; ++r)
                        row(b, rowOf(r), r);
                    ASSERT_EQ(a, b) << k.name << " " << what << " w " << w << (bottomUp ? " bottom-up" : "");
                };
                for (int rop : {0x88, 0xEE, 0xCC, 0x66, 0xB8, 0x55, 0xF0, 0x00})
                    for (const std::vector<std::uint32_t>* s : sources) {
                        auto sc = *s;
                        const std::uint32_t pattern = rng();
                        check(
                            "rop",
                            [&](auto& d, std::ptrdiff_t st) {
                                k.ropRect(std::uint8_t(rop), pattern, bytes(sc, top), st, bytes(d, top), st, w, kRows);
                            },
                            [&](auto& d, std::size_t at, std::size_t) {
                                RopRow32Scalar(std::uint8_t(rop), pattern, &sc[at], &d[at], w);
                            });
                        check(
                            "rop without source",
                            [&](auto& d, std::ptrdiff_t st) {
                                k.ropRect(std::uint8_t(rop), pattern, nullptr, 0, bytes(d, top), st, w, kRows);
                            },
                            [&](auto& d, std::size_t at, std::size_t) {
                                RopRow32Scalar(std::uint8_t(rop), pattern, nullptr, &d[at], w);
                            });
                        for (std::size_t first : {0u, 3u, 8u, 13u})
                            check(
                                "mono",
                                [&](auto& d, std::ptrdiff_t st) {
                                    k.ropMonoRect(std::uint8_t(rop), pattern,
                                                  bits.data() + (bottomUp ? 12 * (kRows - 1) : 0), bottomUp ? -12 : 12,
                                                  first, 0, 0x00ffffffu, bytes(d, top), st, w, kRows);
                                },
                                [&](auto& d, std::size_t at, std::size_t r) {
                                    RopRowMono32Scalar(std::uint8_t(rop), pattern,
                                                       bits.data() + 12 * (bottomUp ? kRows - 1 - r : r), first, 0,
                                                       0x00ffffffu, &d[at], w);
                                });
                    }
                auto sc = src;
                const std::uint32_t key = src[3] & 0xffffff;
                check(
                    "keyed",
                    [&](auto& d, std::ptrdiff_t st) {
                        k.keyedCopyRect(bytes(sc, top), st, bytes(d, top), st, w, kRows, key);
                    },
                    [&](auto& d, std::size_t at, std::size_t) { KeyedCopy32Scalar(&sc[at], &d[at], w, key); });
                auto pc = pre;
                for (std::uint32_t alpha : {255u, 77u}) {
                    check(
                        "premultiplied",
                        [&](auto& d, std::ptrdiff_t st) {
                            k.blendPremultipliedRect(bytes(pc, top), st, bytes(d, top), st, w, kRows, alpha);
                        },
                        [&](auto& d, std::size_t at, std::size_t) {
                            BlendPremultiplied32Scalar(&pc[at], &d[at], w, alpha);
                        });
                    check(
                        "constant",
                        [&](auto& d, std::ptrdiff_t st) {
                            k.blendConstantRect(bytes(sc, top), st, bytes(d, top), st, w, kRows, alpha);
                        },
                        [&](auto& d, std::size_t at, std::size_t) {
                            BlendConstant32Scalar(&sc[at], &d[at], w, alpha);
                        });
                }
            }
    }
}

// The scalar blend against the formula written out for single pixels (MSDN BLENDFUNCTION).
TEST(BlitKernels32, PremultipliedBlendRoundsAsTheFormula)
{
    const struct {
        std::uint32_t s, d, alpha, expected;
    } cases[] = {{0x80800000, 0x000000ff, 255, 0x8080007f},
                 {0x00000000, 0x12345678, 255, 0x12345678},
                 {0xff102030, 0xffffffff, 255, 0xff102030},
                 {0xff00ff00, 0x00ff0000, 128, 0x807f8000},
                 {0x01020304, 0x00000000, 255, 0x01020304}};
    for (const auto& c : cases) {
        std::uint32_t d = c.d;
        BlendPremultiplied32Scalar(&c.s, &d, 1, c.alpha);
        EXPECT_EQ(d, c.expected) << std::hex << c.s << " over " << c.d;
    }
}
