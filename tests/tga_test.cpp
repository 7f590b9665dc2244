// CMoxTga: loading TGA files into the top-down 0xAARRGGBB buffer, refusing what it cannot read,
// and sharing the buffer between copies.
#include <MoxImage2.h>

#include "tga_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <vector>

using moxtest::Rgba;
using moxtest::TgaElement;
using moxtest::TgaLayout;
using moxtest::WriteTga;

namespace {

// A pixel that differs in every channel from every other of a small picture.
Rgba Distinct(int x, int y)
{
    const int n = y * 97 + x;
    return Rgba{std::uint8_t(n * 3 + 1), std::uint8_t(n * 5 + 2), std::uint8_t(n * 7 + 3), std::uint8_t(n * 11 + 4)};
}

std::vector<std::uint32_t> Elements(CMoxTga& tga)
{
    const ULONG* p = tga.GetBuffer();
    if (!p)
        return {};
    return std::vector<std::uint32_t>(p, p + tga.GetWidth() * tga.GetHeight());
}

std::vector<std::uint32_t> Expected(int width, int height, const moxtest::TgaPixel& pixel, bool opaque = false)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgba c = pixel(x, y);
            if (opaque)
                c.a = 255;
            out.push_back(TgaElement(c));
        }
    return out;
}

std::string WriteRaw(const std::string& name, const std::vector<unsigned char>& bytes)
{
    const std::string path = moxtest::TempPath(name);
    moxtest::WriteFile(path, bytes);
    return path;
}

// Header of a 32-bit bottom-up type-2 image followed by the given pixel bytes.
std::vector<unsigned char> PlainFile(int width, int height, const std::vector<unsigned char>& pixelBytes)
{
    TgaLayout layout;
    layout.width = width;
    layout.height = height;
    std::vector<unsigned char> file = moxtest::TgaHeader(layout);
    file.insert(file.end(), pixelBytes.begin(), pixelBytes.end());
    return file;
}

} // namespace

TEST(TgaLoad, BottomUpRowsBecomeTopDownBuffer)
{
    // File order P0 P1 P2 P3: the file's first row is the picture's bottom row.
    const std::vector<unsigned char> bytes{0, 0, 0, 10, 1, 1, 1, 11, 2, 2, 2, 12, 3, 3, 3, 13};
    CMoxTga tga;
    ASSERT_TRUE(tga.Init(WriteRaw("2x2.tga", PlainFile(2, 2, bytes)).c_str()));
    EXPECT_EQ(tga.GetWidth(), 2u);
    EXPECT_EQ(tga.GetHeight(), 2u);
    const std::vector<std::uint32_t> expect{0x0C020202, 0x0D030303, 0x0A000000, 0x0B010101};
    EXPECT_EQ(Elements(tga), expect);
}

TEST(TgaLoad, ElementsHoldFileBytesLittleEndian)
{
    const std::vector<unsigned char> bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    CMoxTga tga(WriteRaw("3x1.tga", PlainFile(3, 1, bytes)).c_str());
    const std::vector<std::uint32_t> expect{0x04030201, 0x08070605, 0x0C0B0A09};
    EXPECT_EQ(Elements(tga), expect);
    // The same bytes, in memory, in file order.
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(tga.GetBuffer());
    EXPECT_EQ(std::vector<unsigned char>(raw, raw + 12), bytes);
}

TEST(TgaLoad, TrailingBytesAfterThePixelsAreIgnored)
{
    std::vector<unsigned char> file = moxtest::EncodeTga(TgaLayout{5, 3}, Distinct);
    const std::string footer = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.\0";
    file.insert(file.end(), footer.begin(), footer.end());
    CMoxTga tga(WriteRaw("footer.tga", file).c_str());
    EXPECT_EQ(Elements(tga), Expected(5, 3, Distinct));
}

TEST(TgaLoad, HeaderFieldsWithoutMeaningHereAreIgnored)
{
    // Colour-map type 0: the map's length and entry size are leftovers, not a map to skip.
    // Origins and the first map index never move pixels either.
    std::vector<unsigned char> file = moxtest::EncodeTga(TgaLayout{3, 2}, Distinct);
    file[3] = 0x34; // first colour-map entry
    file[4] = 0x12;
    file[5] = 16; // colour-map length
    file[7] = 24; // colour-map entry size
    file[8] = 5;  // X origin
    file[10] = 7; // Y origin
    CMoxTga tga(WriteRaw("leftovers.tga", file).c_str());
    EXPECT_EQ(Elements(tga), Expected(3, 2, Distinct));
}

TEST(TgaLoad, ZeroWidthOrHeightLoadsAnEmptyImage)
{
    for (auto [w, h] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{0, 0}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        // Bytes after the header are not pixels of anything and must not matter.
        CMoxTga tga;
        EXPECT_TRUE(tga.Init(WriteRaw("empty.tga", PlainFile(w, h, {1, 2, 3, 4})).c_str()));
        EXPECT_EQ(tga.GetWidth(), unsigned(w));
        EXPECT_EQ(tga.GetHeight(), unsigned(h));
        EXPECT_EQ(tga.GetWidth() * tga.GetHeight(), 0u);
    }
}

TEST(TgaLoad, MissingPathFails)
{
    const std::string missing = moxtest::TempPath("does-not-exist.tga");
    CMoxTga constructed(missing.c_str());
    EXPECT_EQ(constructed.GetBuffer(), nullptr);
    EXPECT_EQ(constructed.GetWidth(), 0u);
    EXPECT_EQ(constructed.GetHeight(), 0u);

    CMoxTga tga;
    EXPECT_FALSE(tga.Init(missing.c_str()));
    EXPECT_FALSE(tga.Init(nullptr));
    EXPECT_EQ(tga.GetBuffer(), nullptr);
}

TEST(TgaLoad, FailedReloadDropsPixelsButKeepsTheOldSize)
{
    CMoxTga tga(WriteTga("a.tga", TgaLayout{4, 3}, Distinct).c_str());
    ASSERT_NE(tga.GetBuffer(), nullptr);
    EXPECT_FALSE(tga.Init(moxtest::TempPath("gone.tga").c_str()));
    EXPECT_EQ(tga.GetBuffer(), nullptr);
    EXPECT_EQ(tga.GetWidth(), 4u);
    EXPECT_EQ(tga.GetHeight(), 3u);

    // A refused file behaves the same way.
    ASSERT_TRUE(tga.Init(WriteTga("b.tga", TgaLayout{4, 3}, Distinct).c_str()));
    TgaLayout bad{2, 2};
    bad.depth = 16;
    EXPECT_FALSE(tga.Init(WriteTga("bad.tga", bad, Distinct).c_str()));
    EXPECT_EQ(tga.GetBuffer(), nullptr);
    EXPECT_EQ(tga.GetWidth(), 4u);

    // And a good file loads again afterwards.
    ASSERT_TRUE(tga.Init(WriteTga("c.tga", TgaLayout{2, 5}, Distinct).c_str()));
    EXPECT_EQ(Elements(tga), Expected(2, 5, Distinct));
}

// Ordinary TGA files that the plain "header then bottom-up 32-bit pixels" reading would garble.
TEST(TgaLoad, ReadsEveryTrueColourVariant)
{
    struct Case {
        const char* name;
        TgaLayout layout;
    };
    std::vector<Case> cases;
    for (int depth : {24, 32})
        for (bool rle : {false, true})
            for (bool top : {false, true}) {
                TgaLayout l{7, 5};
                l.depth = depth;
                l.rle = rle;
                l.topOrigin = top;
                cases.push_back({"variant", l});
            }
    TgaLayout withId{6, 4};
    withId.id = "made by a test";
    cases.push_back({"id field", withId});
    TgaLayout withMap{6, 4};
    withMap.colourMapLength = 5;
    withMap.colourMapEntryBits = 24;
    cases.push_back({"colour map 24", withMap});
    TgaLayout withBoth{6, 4};
    withBoth.id = "x";
    withBoth.colourMapLength = 3;
    withBoth.colourMapEntryBits = 15; // two bytes an entry
    withBoth.rle = true;
    cases.push_back({"id and colour map 15, rle", withBoth});

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " depth " + std::to_string(c.layout.depth) + (c.layout.rle ? " rle" : "") +
                     (c.layout.topOrigin ? " top" : " bottom"));
        CMoxTga tga;
        ASSERT_TRUE(tga.Init(WriteTga("variant.tga", c.layout, Distinct).c_str()));
        EXPECT_EQ(tga.GetWidth(), unsigned(c.layout.width));
        EXPECT_EQ(tga.GetHeight(), unsigned(c.layout.height));
        // 24-bit pixels are opaque.
        EXPECT_EQ(Elements(tga), Expected(c.layout.width, c.layout.height, Distinct, c.layout.depth == 24));
    }
}

TEST(TgaLoad, RunLengthPacketsAcrossAndWithinRows)
{
    // Long horizontal runs and repeats: run packets that end inside a row, at a row's end, and
    // that cross into the next row, mixed with raw packets.
    auto stripes = [](int x, int y) {
        const bool plain = (x + 3 * y) % 11 < 7;
        return plain ? Rgba{200, 100, 50, 128} : Rgba{std::uint8_t(x), std::uint8_t(y), 9, std::uint8_t(x ^ y)};
    };
    for (bool across : {true, false}) {
        SCOPED_TRACE(across ? "packets cross rows" : "packets stop at row ends");
        TgaLayout l{13, 9};
        l.rle = true;
        l.rleAcrossRows = across;
        CMoxTga tga(WriteTga("runs.tga", l, stripes).c_str());
        EXPECT_EQ(Elements(tga), Expected(13, 9, stripes));
    }
    // 300 x 2 of one colour: several 128-pixel packets, the largest the format allows.
    TgaLayout wide{300, 2};
    wide.rle = true;
    auto flat = [](int, int) { return Rgba{1, 2, 3, 4}; };
    CMoxTga tga(WriteTga("wide.tga", wide, flat).c_str());
    EXPECT_EQ(Elements(tga), Expected(300, 2, flat));
}

TEST(TgaLoad, RefusesWhatItCannotRead)
{
    struct Bad {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    std::vector<Bad> cases;
    cases.push_back({"empty file", {}});
    std::vector<unsigned char> header = moxtest::TgaHeader(TgaLayout{2, 2});
    cases.push_back({"17-byte header", std::vector<unsigned char>(header.begin(), header.end() - 1)});
    for (int type : {0, 1, 3, 9, 11, 32}) {
        TgaLayout l{2, 2};
        l.imageType = type;
        cases.push_back({"image type", moxtest::EncodeTga(l, Distinct)});
    }
    for (int depth : {8, 15, 16, 33, 0}) {
        TgaLayout l{2, 2};
        l.depth = depth;
        cases.push_back({"depth", moxtest::EncodeTga(l, Distinct)});
    }
    std::vector<unsigned char> oddMap = moxtest::EncodeTga(TgaLayout{2, 2}, Distinct);
    oddMap[1] = 2; // colour-map types other than 0 and 1 are not defined
    cases.push_back({"colour-map type 2", oddMap});

    for (const Bad& c : cases) {
        SCOPED_TRACE(c.name);
        CMoxTga tga;
        EXPECT_FALSE(tga.Init(WriteRaw("bad.tga", c.bytes).c_str()));
        EXPECT_EQ(tga.GetBuffer(), nullptr);
        EXPECT_EQ(tga.GetWidth(), 0u);
        EXPECT_EQ(tga.GetHeight(), 0u);
    }
}

TEST(TgaLoad, ShortFileLoadsWithTheMissingPixelsZero)
{
    auto opaque = [](int x, int y) {
        Rgba c = Distinct(x, y);
        c.a = 255;
        return c;
    };
    for (bool rle : {false, true})
        for (bool top : {false, true}) {
            SCOPED_TRACE(std::string(rle ? "rle" : "plain") + (top ? " top" : " bottom"));
            TgaLayout l{4, 4};
            l.rle = rle;
            l.topOrigin = top;
            std::vector<unsigned char> file = moxtest::EncodeTga(l, opaque);
            // Cut in the middle of a pixel of the second file row.
            const size_t keep = rle ? file.size() / 2 : 18 + 4 * 6 + 2;
            file.resize(keep);
            CMoxTga tga;
            ASSERT_TRUE(tga.Init(WriteRaw("short.tga", file).c_str()));
            const std::vector<std::uint32_t> got = Elements(tga);
            ASSERT_EQ(got.size(), 16u);
            // Every element is either the right pixel or zero, and the file's first row is there.
            int loaded = 0;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) {
                    const std::uint32_t e = got[size_t(y * 4 + x)];
                    if (e != 0) {
                        EXPECT_EQ(e, TgaElement(opaque(x, y))) << x << "," << y;
                        ++loaded;
                    }
                }
            EXPECT_GE(loaded, 4);
            EXPECT_LT(loaded, 16);
            const int firstFileRow = top ? 0 : 3;
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(got[size_t(firstFileRow * 4 + x)], TgaElement(opaque(x, firstFileRow)));
            if (!rle) {
                // Exactly the 6 whole pixels, the half pixel left out.
                EXPECT_EQ(loaded, 6);
            }
        }
}

TEST(TgaLoad, RunPastTheLastPixelIsCutAtTheImageEnd)
{
    // A 3 x 1 image whose only packet repeats one pixel 128 times, then raw packets with more
    // pixels than the image holds: nothing may land outside the 3 elements.
    std::vector<unsigned char> file = moxtest::TgaHeader([] {
        TgaLayout l{3, 1};
        l.rle = true;
        return l;
    }());
    file.insert(file.end(), {0xFF, 1, 2, 3, 4});
    for (int i = 0; i < 4; ++i) {
        file.push_back(0x7F);
        file.insert(file.end(), 128 * 4, 0xEE);
    }
    CMoxTga tga;
    ASSERT_TRUE(tga.Init(WriteRaw("overrun.tga", file).c_str()));
    EXPECT_EQ(Elements(tga), (std::vector<std::uint32_t>(3, 0x04030201)));
}

#if defined(__SANITIZE_ADDRESS__)
#define MOX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOX_ASAN 1
#endif
#endif

#if defined(_WIN32)
#define MOX_NO_ADDRESS_LIMIT 1
#endif

#if !defined(MOX_ASAN) && !defined(MOX_NO_ADDRESS_LIMIT)
// Runs in the death test's child: true when the load is refused cleanly.
static bool LoadUnderMemoryLimit(const std::string& path)
{
    const rlim_t oneGiB = rlim_t(1) << 30;
    const rlimit limit{oneGiB, oneGiB};
    setrlimit(RLIMIT_AS, &limit);
    MoxSetMaxImagePixels(~0ull); // the allocation itself must fail, not the pixel limit
    CMoxTga tga;
    const bool ok = tga.Init(path.c_str());
    return !ok && tga.GetBuffer() == nullptr && tga.GetWidth() == 0;
}
#endif

TEST(TgaLoadDeathTest, BufferThatCannotBeAllocatedIsRefused)
{
#if defined(MOX_ASAN)
    GTEST_SKIP() << "an address-space limit cannot be combined with AddressSanitizer";
#elif defined(MOX_NO_ADDRESS_LIMIT)
    GTEST_SKIP() << "Windows has no per-process address-space limit like setrlimit(RLIMIT_AS)";
#else
    // 65535 x 65535 x 4 bytes is about 16 GiB; with the address space limited to 1 GiB the
    // allocation fails, and Init must say so rather than write through a null buffer.
    const std::string path = WriteRaw("huge.tga", PlainFile(65535, 65535, {1, 2, 3, 4}));
    EXPECT_EXIT(std::exit(LoadUnderMemoryLimit(path) ? 0 : 1), ::testing::ExitedWithCode(0), "");
#endif
}

TEST(TgaCopies, ShareTheBufferAndOutliveEachOther)
{
    const std::string path = WriteTga("shared.tga", TgaLayout{3, 2}, Distinct);
    const std::vector<std::uint32_t> pixels = Expected(3, 2, Distinct);

    auto* source = new CMoxTga(path.c_str());
    CMoxTga copy(*source);
    CMoxTga assigned;
    assigned = *source;
    EXPECT_EQ(copy.GetBuffer(), source->GetBuffer());
    EXPECT_EQ(assigned.GetBuffer(), source->GetBuffer());
    delete source;
    EXPECT_EQ(Elements(copy), pixels);
    EXPECT_EQ(Elements(assigned), pixels);

    // Re-loading or failing to re-load one copy leaves the other's pixels alone.
    EXPECT_FALSE(copy.Init(moxtest::TempPath("missing.tga").c_str()));
    EXPECT_EQ(Elements(assigned), pixels);
    ASSERT_TRUE(copy.Init(WriteTga("other.tga", TgaLayout{1, 1}, Distinct).c_str()));
    EXPECT_EQ(Elements(assigned), pixels);
    EXPECT_NE(copy.GetBuffer(), assigned.GetBuffer());

    // Assigning over a loaded image releases its own pixels, and self-assignment keeps them.
    copy = assigned;
    CMoxTga& alias = copy;
    copy = alias;
    EXPECT_EQ(Elements(copy), pixels);
}
