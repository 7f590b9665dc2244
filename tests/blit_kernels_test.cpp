// The blit kernels: the one blend definition against the rule it stands for, and every vector
// level this CPU runs against the scalar reference, byte for byte, over the whole destination
// buffer (so a write outside the region shows too). Buffers end exactly where the region's
// first and last rows do, so the sanitizer build catches a read or write past them.
#include "graphics/blend.h"
#include "graphics/blit_kernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#include <unistd.h>
#define MOX_HAVE_GUARD_PAGES 1
#endif

namespace {

using mox::blit::BgrJob;
using mox::blit::Kernels;
using mox::blit::Key;
using mox::blit::Level;
using mox::blit::TgaJob;

// d + floor((s - d) * a / 256), with the floor spelled out rather than left to a shift.
int DescribedBlend(int d, int s, int a)
{
    const int x = (s - d) * a;
    return d + (x >= 0 ? x / 256 : -((-x + 255) / 256));
}

TEST(Blend, OneDefinitionEqualsTheDescribedRuleForEveryInput)
{
    for (int a = 0; a <= 256; ++a)
        for (int d = 0; d < 256; ++d)
            for (int s = 0; s < 256; ++s)
                ASSERT_EQ(int(mox::BlendChannel(unsigned(d), unsigned(s), unsigned(a))), DescribedBlend(d, s, a))
                    << "d " << d << " s " << s << " a " << a;
}

std::vector<std::pair<std::string, const Kernels*>> VectorLevels()
{
    std::vector<std::pair<std::string, const Kernels*>> levels;
    for (auto [name, level] : {std::pair{"sse2", Level::Sse2}, {"avx2", Level::Avx2}, {"avx512", Level::Avx512}})
        if (const Kernels* k = mox::blit::ForLevel(level))
            levels.emplace_back(name, k);
    return levels;
}

const Kernels& Reference()
{
    return *mox::blit::ForLevel(Level::Scalar);
}

// Source pictures: where the keyed pixels lie, and how close the others come to the key.
enum class Picture { Noise, Blobs, NearKey, KeyedEnds };

const Key kKey{255, 0, 255};
// A key whose three channels differ, so that a kernel reading them in the wrong order fails.
const Key kUnevenKey{40, 90, 200};

std::vector<std::uint8_t> MakeBgrRows(std::mt19937& rng, int w, int h, std::ptrdiff_t stride, Picture picture,
                                      Key key = kKey)
{
    std::vector<std::uint8_t> bytes(h == 0 ? 0 : std::size_t(h - 1) * std::size_t(stride) + 3 * std::size_t(w));
    for (auto& b : bytes)
        b = std::uint8_t(rng());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &bytes[std::size_t(y) * std::size_t(stride) + 3 * std::size_t(x)];
            bool keyed = false;
            if (picture == Picture::Noise)
                keyed = rng() % 5 < 2;
            else if (picture == Picture::Blobs)
                keyed = (x / 7 + y) % 3 == 0;
            else if (picture == Picture::KeyedEnds) // a row's first or last pixels, or all but those
                keyed = ((x < 2 || x >= w - 2) ? y % 3 != 1 : y % 3 == 1);
            else
                keyed = rng() % 2 == 0;
            if (keyed || picture == Picture::NearKey) {
                p[0] = key.b;
                p[1] = key.g;
                p[2] = key.r;
            }
            if (picture == Picture::NearKey && !keyed)
                p[rng() % 3] ^= std::uint8_t(1 << (rng() % 8)); // one channel off by one bit
        }
    return bytes;
}

struct BgrCase {
    int w, h;
    bool keyed;
    int alpha;
    Picture picture;
    bool bottomUp;
    int pad; // bytes of padding after each row, source and destination alike
    Key key = kKey;
};

// Runs one case through the reference and through `kernels` on the same buffers.
void ExpectSameBgr(const Kernels& kernels, const BgrCase& c, std::mt19937& rng)
{
    const int left = 2, right = c.pad % 2; // the region sits inside a wider canvas, or at its edge
    const std::ptrdiff_t srcStride = 3 * std::ptrdiff_t(c.w) + c.pad;
    const std::ptrdiff_t dstStride = 3 * std::ptrdiff_t(left + c.w + right) + c.pad;
    const std::vector<std::uint8_t> src = MakeBgrRows(rng, c.w, c.h, srcStride, c.picture, c.key);
    std::vector<std::uint8_t> canvas(std::size_t(c.h) * std::size_t(dstStride) - c.pad);
    for (auto& b : canvas)
        b = std::uint8_t(rng());
    std::vector<std::uint8_t> expected = canvas;

    BgrJob job{};
    job.dstStride = dstStride;
    job.src = c.bottomUp ? src.data() + std::ptrdiff_t(c.h - 1) * srcStride : src.data();
    job.srcStep = c.bottomUp ? -srcStride : srcStride;
    job.w = c.w;
    job.h = c.h;
    job.keyed = c.keyed;
    job.key = c.key;
    job.alpha = c.alpha;
    job.dst = expected.data() + 3 * left;
    Reference().bgr(job);
    job.dst = canvas.data() + 3 * left;
    kernels.bgr(job);
    ASSERT_EQ(canvas, expected) << kernels.name << ": w " << c.w << " h " << c.h << " keyed " << c.keyed << " alpha "
                                << c.alpha << " picture " << int(c.picture) << " bottom-up " << c.bottomUp << " pad "
                                << c.pad << " key " << int(c.key.b) << "," << int(c.key.g) << "," << int(c.key.r);
}

// The reference itself copies narrow keyed rows pixel by pixel and wide ones in runs between
// keyed pixels; both must leave exactly the pixels the rule says: every pixel not equal to the
// key copied, every keyed one left as it was.
TEST(BlitKernels, ReferenceKeyedCopyFollowsThePixelRule)
{
    std::mt19937 rng(13);
    for (int w : {1, 2, 17, 63, 64, 65, 130})
        for (Picture picture : {Picture::Noise, Picture::Blobs, Picture::NearKey, Picture::KeyedEnds}) {
            const int h = 3;
            const std::vector<std::uint8_t> src = MakeBgrRows(rng, w, h, 3 * std::ptrdiff_t(w), picture);
            std::vector<std::uint8_t> canvas(src.size());
            for (auto& b : canvas)
                b = std::uint8_t(rng());
            std::vector<std::uint8_t> expected = canvas;
            for (std::size_t i = 0; i < src.size(); i += 3)
                if (src[i] != kKey.b || src[i + 1] != kKey.g || src[i + 2] != kKey.r)
                    std::copy(&src[i], &src[i] + 3, &expected[i]);
            BgrJob job{};
            job.dst = canvas.data();
            job.dstStride = 3 * std::ptrdiff_t(w);
            job.src = src.data();
            job.srcStep = 3 * std::ptrdiff_t(w);
            job.w = w;
            job.h = h;
            job.keyed = true;
            job.key = kKey;
            job.alpha = 255;
            Reference().bgr(job);
            ASSERT_EQ(canvas, expected) << "w " << w << " picture " << int(picture);
        }
}

TEST(BlitKernels, BgrEveryLevelMatchesTheReference)
{
    const auto levels = VectorLevels();
    if (levels.empty())
        GTEST_SKIP() << "no vector level on this CPU";
    std::vector<int> widths;
    for (int w = 0; w <= 67; ++w) // every tail length of every register width
        widths.push_back(w);
    for (int w : {97, 130, 200, 257, 1031})
        widths.push_back(w);
    std::mt19937 rng(11);
    for (const auto& [name, kernels] : levels)
        for (int w : widths)
            for (bool keyed : {false, true})
                for (int alpha : {255, 1, 2, 127, 128, 200, 254})
                    for (Picture picture : {Picture::Noise, Picture::Blobs, Picture::NearKey, Picture::KeyedEnds}) {
                        const BgrCase c{w,       1 + int(rng() % 3), keyed,          alpha,
                                        picture, rng() % 2 == 0,     int(rng() % 6), rng() % 2 ? kKey : kUnevenKey};
                        ExpectSameBgr(*kernels, c, rng);
                        if (HasFatalFailure())
                            return;
                    }
}

TEST(BlitKernels, BgrEveryOpacityMatchesTheReference)
{
    std::mt19937 rng(12);
    for (const auto& [name, kernels] : VectorLevels())
        for (int alpha = 0; alpha <= 255; ++alpha) // 0 never reaches a kernel, but must change nothing
            for (bool keyed : {false, true})
                for (int w : {61 + alpha % 7, 1 + alpha % 22}) { // and a row of one register or less
                    ExpectSameBgr(*kernels, BgrCase{w, 2, keyed, alpha, Picture::Noise, true, 1}, rng);
                    if (HasFatalFailure())
                        return;
                }
}

// Source alpha patterns for the TGA kernels.
enum class Alphas { Clear, Opaque, Partial, Mixed, Runs };

std::vector<std::uint8_t> MakeTgaPixels(std::mt19937& rng, std::size_t count, Alphas alphas)
{
    std::vector<std::uint8_t> px(4 * count);
    for (std::size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c)
            px[4 * i + c] = std::uint8_t(rng());
        std::uint8_t a = 0;
        switch (alphas) {
        case Alphas::Clear:
            a = 0;
            break;
        case Alphas::Opaque:
            a = 255;
            break;
        case Alphas::Partial:
            a = std::uint8_t(1 + rng() % 254);
            break;
        case Alphas::Mixed: {
            const unsigned k = rng() % 4;
            a = k == 0 ? 0 : k == 1 ? 255 : k == 2 ? std::uint8_t(rng()) : std::uint8_t(254 + rng() % 2);
            break;
        }
        case Alphas::Runs:
            a = (i / 9) % 3 == 0 ? 0 : (i / 9) % 3 == 1 ? 255 : std::uint8_t(i);
            break;
        }
        px[4 * i + 3] = a;
    }
    return px;
}

void ExpectSameTga(const Kernels& kernels, int w, int h, unsigned opacity, Alphas alphas, int pad, std::mt19937& rng)
{
    const int left = 1;
    const std::ptrdiff_t srcStride = w + pad % 3; // pixels
    const std::ptrdiff_t dstStride = 3 * std::ptrdiff_t(left + w) + pad;
    const std::vector<std::uint8_t> src =
        MakeTgaPixels(rng, h == 0 ? 0 : std::size_t(h - 1) * std::size_t(srcStride) + std::size_t(w), alphas);
    std::vector<std::uint8_t> canvas(std::size_t(h) * std::size_t(dstStride) - pad);
    for (auto& b : canvas)
        b = std::uint8_t(rng());
    std::vector<std::uint8_t> expected = canvas;

    TgaJob job{};
    job.dstStride = dstStride;
    job.src = src.data();
    job.srcStride = srcStride;
    job.w = w;
    job.h = h;
    job.opacity = opacity;
    job.dst = expected.data() + 3 * left;
    Reference().tga(job);
    job.dst = canvas.data() + 3 * left;
    kernels.tga(job);
    ASSERT_EQ(canvas, expected) << kernels.name << ": w " << w << " h " << h << " opacity " << opacity << " alphas "
                                << int(alphas) << " pad " << pad;
}

TEST(BlitKernels, TgaEveryLevelMatchesTheReference)
{
    const auto levels = VectorLevels();
    if (levels.empty())
        GTEST_SKIP() << "no vector level on this CPU";
    std::mt19937 rng(13);
    for (const auto& [name, kernels] : levels) {
        for (int w = 0; w <= 67; ++w)
            for (unsigned opacity : {255u, 0u, 1u, 128u, 254u})
                for (Alphas alphas : {Alphas::Clear, Alphas::Opaque, Alphas::Partial, Alphas::Mixed, Alphas::Runs}) {
                    ExpectSameTga(*kernels, w, 1 + int(rng() % 3), opacity, alphas, int(rng() % 5), rng);
                    if (HasFatalFailure())
                        return;
                }
        for (unsigned opacity = 0; opacity <= 255; ++opacity)
            for (int w : {300 + int(opacity % 17), 1 + int(opacity % 16)}) {
                ExpectSameTga(*kernels, w, 2, opacity, Alphas::Mixed, 3, rng);
                if (HasFatalFailure())
                    return;
            }
    }
}

#ifdef MOX_HAVE_GUARD_PAGES
// A copy of `bytes` placed right after an inaccessible page (atStart) or right before one, so a
// kernel that reads or writes a byte outside faults even where the sanitizer does not look: it
// does not see into the vector kernels' masked loads and stores.
class Guarded {
public:
    Guarded(const std::vector<std::uint8_t>& bytes, bool atStart)
    {
        const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
        m_span = (bytes.size() + page - 1) / page * page + 2 * page;
        void* base = mmap(nullptr, m_span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED)
            return;
        m_base = static_cast<std::uint8_t*>(base);
        mprotect(m_base, page, PROT_NONE);
        mprotect(m_base + m_span - page, page, PROT_NONE);
        m_data = atStart ? m_base + page : m_base + m_span - page - bytes.size();
        if (!bytes.empty())
            std::memcpy(m_data, bytes.data(), bytes.size());
    }
    ~Guarded()
    {
        if (m_base)
            munmap(m_base, m_span);
    }
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;
    std::uint8_t* data() const { return m_data; }
    std::vector<std::uint8_t> Bytes(std::size_t size) const { return {m_data, m_data + size}; }

private:
    std::uint8_t* m_base = nullptr;
    std::uint8_t* m_data = nullptr;
    std::size_t m_span = 0;
};

// Regions with no padding at all, whose first byte follows an inaccessible page or whose last
// byte precedes one, source and destination alike: the narrow widths and row ends the vector
// kernels take in one masked register, every length up to a few registers.
TEST(BlitKernels, RegionsBesideInaccessiblePagesMatchTheReference)
{
    std::mt19937 rng(14);
    for (const auto& [name, kernels] : VectorLevels())
        for (int w = 1; w <= 70; ++w)
            for (int h : {1, 3})
                for (bool atStart : {false, true}) {
                    const std::ptrdiff_t stride = 3 * std::ptrdiff_t(w);
                    const std::vector<std::uint8_t> src = MakeBgrRows(rng, w, h, stride, Picture::Noise);
                    std::vector<std::uint8_t> canvas = MakeBgrRows(rng, w, h, stride, Picture::Noise);
                    for (auto [keyed, alpha] : {std::pair{false, 255}, {false, 128}, {true, 255}, {true, 128}}) {
                        const bool bottomUp = rng() % 2 == 0;
                        const Guarded guardedSrc(src, atStart), guardedDst(canvas, atStart);
                        ASSERT_TRUE(guardedSrc.data() && guardedDst.data());
                        BgrJob job{};
                        job.dstStride = stride;
                        job.srcStep = bottomUp ? -stride : stride;
                        job.w = w;
                        job.h = h;
                        job.keyed = keyed;
                        job.key = kKey;
                        job.alpha = alpha;
                        std::vector<std::uint8_t> expected = canvas;
                        job.src = src.data() + (bottomUp ? std::ptrdiff_t(h - 1) * stride : 0);
                        job.dst = expected.data();
                        Reference().bgr(job);
                        job.src = guardedSrc.data() + (bottomUp ? std::ptrdiff_t(h - 1) * stride : 0);
                        job.dst = guardedDst.data();
                        kernels->bgr(job);
                        ASSERT_EQ(guardedDst.Bytes(canvas.size()), expected)
                            << name << ": w " << w << " h " << h << " keyed " << keyed << " alpha " << alpha;
                    }

                    const std::vector<std::uint8_t> tga =
                        MakeTgaPixels(rng, std::size_t(w) * std::size_t(h), Alphas::Mixed);
                    for (unsigned opacity : {255u, 128u}) {
                        const Guarded guardedSrc(tga, atStart), guardedDst(canvas, atStart);
                        ASSERT_TRUE(guardedSrc.data() && guardedDst.data());
                        TgaJob job{};
                        job.dstStride = stride;
                        job.srcStride = w;
                        job.w = w;
                        job.h = h;
                        job.opacity = opacity;
                        std::vector<std::uint8_t> expected = canvas;
                        job.src = tga.data();
                        job.dst = expected.data();
                        Reference().tga(job);
                        job.src = guardedSrc.data();
                        job.dst = guardedDst.data();
                        kernels->tga(job);
                        ASSERT_EQ(guardedDst.Bytes(canvas.size()), expected)
                            << name << ": TGA w " << w << " h " << h << " opacity " << opacity;
                    }
                }
}
#endif

// Forcing a level never picks one the CPU lacks: that would stop the program on an illegal
// instruction rather than draw more slowly.
TEST(BlitKernels, ForcedLevelIsNeverWiderThanTheCpu)
{
    const struct {
        Level widest;
        const char* forced;
        Level chosen;
    } cases[] = {
        {Level::Avx512, nullptr, Level::Avx512}, {Level::Avx512, "scalar", Level::Scalar},
        {Level::Avx512, "sse2", Level::Sse2},    {Level::Avx512, "avx2", Level::Avx2},
        {Level::Avx2, "avx512", Level::Avx2},    {Level::Sse2, "avx2", Level::Sse2},
        {Level::Scalar, "sse2", Level::Scalar},  {Level::Avx2, "AVX2 ", Level::Avx2},
        {Level::Avx2, "", Level::Avx2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(int(mox::blit::ChooseLevel(c.widest, c.forced)), int(c.chosen)) << (c.forced ? c.forced : "(unset)");
    EXPECT_NE(mox::blit::ForLevel(Level::Scalar), nullptr);
}

} // namespace
