// Limits on loaded images: a header that declares more pixels than the host allows is refused
// before anything is reserved (TGA images and image files alike), and an image file's header is
// checked for sanity before any decoder sees it.
#include <MoxImage2.h>

#include "diagnostics.h"
#include "gdiplus_image_files.h"
#include "test_support.h"
#include "tga_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using Bytes = std::vector<unsigned char>;

namespace {

// Restores the default limit when a test ends, whatever it set.
struct LimitScope {
    unsigned long long saved = MoxGetMaxImagePixels();
    ~LimitScope() { MoxSetMaxImagePixels(saved); }
};

// Peak virtual size of the process in KiB: it counts memory reserved but never touched, which
// is how a decoder's oversized buffer shows before it fails.
long long PeakVirtualKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmPeak:", 0) == 0)
            return std::atoll(line.c_str() + 7);
    return 0;
}

Status LoadFile(const std::string& path)
{
    GpBitmap* bitmap = nullptr;
    const Status status = GdipCreateBitmapFromFile(moxtest::Widen(path).c_str(), &bitmap);
    if (bitmap)
        GdipDisposeImage(bitmap);
    return status;
}

void Put16(Bytes& b, size_t at, unsigned v, bool big = false)
{
    b[at + (big ? 1 : 0)] = static_cast<unsigned char>(v);
    b[at + (big ? 0 : 1)] = static_cast<unsigned char>(v >> 8);
}

void Put32(Bytes& b, size_t at, unsigned v, bool big = false)
{
    Put16(b, at + (big ? 2 : 0), v & 0xFFFF, big);
    Put16(b, at + (big ? 0 : 2), v >> 16, big);
}

Bytes BmpHeader(unsigned headerSize, int width, int height, unsigned depth)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, 54);
    Put32(b, 10, 54);
    Put32(b, 14, headerSize);
    Put32(b, 18, static_cast<unsigned>(width));
    Put32(b, 22, static_cast<unsigned>(height));
    Put16(b, 26, 1);
    Put16(b, 28, depth);
    return b;
}

Bytes PngHeader(unsigned width, unsigned height)
{
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b.resize(33, 0);
    Put32(b, 16, width, true);
    Put32(b, 20, height, true);
    b[24] = 8;
    b[25] = 2;
    return b;
}

// A GIF with the given screen and one frame of the given size, no colour table, empty data.
Bytes Gif(unsigned screenW, unsigned screenH, unsigned frameW, unsigned frameH)
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0x3B};
    Put16(b, 6, screenW);
    Put16(b, 8, screenH);
    Put16(b, 18, frameW);
    Put16(b, 20, frameH);
    return b;
}

Bytes JpegFrame(unsigned width, unsigned height)
{
    Bytes b = {0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 0, 0, 0, 1, 1, 0x11, 0};
    Put16(b, 7, height, true);
    Put16(b, 9, width, true);
    return b;
}

Bytes Tiff(unsigned width, unsigned height)
{
    Bytes b = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0};
    b.resize(10 + 2 * 12 + 4, 0);
    Put16(b, 10, 256);
    Put16(b, 12, 4);
    Put32(b, 14, 1);
    Put32(b, 18, width);
    Put16(b, 22, 257);
    Put16(b, 24, 4);
    Put32(b, 26, 1);
    Put32(b, 30, height);
    return b;
}

Bytes IcoPointingAt(unsigned offset)
{
    Bytes b(6 + 16 + 40, 0);
    Put16(b, 2, 1);
    Put16(b, 4, 1);
    Put32(b, 6 + 8, 40);
    Put32(b, 6 + 12, offset);
    return b;
}

Bytes Text(const char* s)
{
    return Bytes(s, s + std::strlen(s));
}

} // namespace

// A TGA's 18-byte header alone decides its buffer. Past the limit the load fails as a bad file
// does; within it a short file still loads with zeros where its pixels are missing.
TEST(ImageLimits, TgaHeaderIsCheckedAgainstTheLimit)
{
    LimitScope scope;
    struct Case {
        const char* what;
        int width, height;
        size_t pixelsInFile;
        unsigned long long limit; // 0: the default
        bool loads;
    } cases[] = {
        {"40-byte file declaring 65535 x 65535", 65535, 65535, 5, 0, false},
        {"at the limit", 10, 10, 100, 100, true},
        {"one row past the limit", 10, 11, 110, 100, false},
        {"short file within the limit", 10, 10, 3, 100, true},
        {"no pixels at a limit of one", 0, 65535, 0, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MoxSetMaxImagePixels(c.limit ? c.limit : scope.saved);
        moxtest::TgaLayout layout(c.width, c.height);
        layout.topOrigin = true;
        Bytes bytes = moxtest::TgaHeader(layout);
        for (size_t k = 0; k < c.pixelsInFile; ++k)
            bytes.insert(bytes.end(), {1, 2, 3, 4});
        const std::string path = moxtest::TempPath("limit.tga");
        moxtest::WriteFile(path, bytes);

        const long long peakBefore = PeakVirtualKiB();
        CMoxTga tga;
        ASSERT_EQ(tga.Init(path.c_str()), c.loads);
        EXPECT_LT(PeakVirtualKiB() - peakBefore, 512 * 1024);
        if (!c.loads) {
            EXPECT_EQ(tga.GetBuffer(), nullptr);
            EXPECT_EQ(tga.GetWidth(), 0u);
            continue;
        }
        EXPECT_EQ(tga.GetWidth(), static_cast<unsigned long>(c.width));
        const size_t count = size_t(c.width) * c.height;
        for (size_t k = 0; k < count; ++k)
            ASSERT_EQ(tga.GetBuffer()[k], k < c.pixelsInFile ? 0x04030201u : 0u) << k;
    }
}

// Small hostile files: each declares a huge image or points far past its own end. Each is
// refused as a bad image is, without reserving the memory it asks for.
TEST(ImageLimits, HostileImageFilesAreRefusedBeforeDecoding)
{
    Bytes hugeHeaderBmp = BmpHeader(0xE8E8E8E8, 1, 1, 24);
    hugeHeaderBmp.resize(26);
    Bytes farPixelsBmp = BmpHeader(40, 1, 1, 24);
    Put32(farPixelsBmp, 10, 0xFFFFFFF0);
    Bytes hugePaletteBmp = BmpHeader(40, 1, 1, 8);
    Put32(hugePaletteBmp, 46, 0x40000000);
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"26-byte BMP with header size 0xE8E8E8E8", hugeHeaderBmp},
        {"BMP of 0x7FFFFFFF x 0x7FFFFFFF", BmpHeader(40, 0x7FFFFFFF, 0x7FFFFFFF, 24)},
        {"BMP of 0 x 0", BmpHeader(40, 0, 0, 24)},
        {"BMP of 7 bits a pixel", BmpHeader(40, 1, 1, 7)},
        {"BMP with pixels 4 GiB away", farPixelsBmp},
        {"BMP with a palette of 2^30 colours", hugePaletteBmp},
        {"PNG of 100000 x 100000", PngHeader(100000, 100000)},
        {"GIF screen of 65535 x 65535", Gif(65535, 65535, 1, 1)},
        {"GIF frame of 65535 x 65535 on a small screen", Gif(2, 1, 65535, 65535)},
        {"GIF screen of no rows", Gif(2, 0, 2, 1)},
        {"JPEG frame of 65535 x 65535", JpegFrame(65535, 65535)},
        {"TIFF of 100000 x 100000", Tiff(100000, 100000)},
        {"icon with its image 4 GiB away", IcoPointingAt(0xFFFFFFF0)},
        {"SVG declaring 100000 x 100000",
         Text("<svg xmlns='http://www.w3.org/2000/svg' width='100000' height='100000'/>")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = moxtest::TempPath("hostile.img");
        moxtest::WriteFile(path, c.bytes);
        const long long peakBefore = PeakVirtualKiB();
        EXPECT_EQ(LoadFile(path), OutOfMemory);
        EXPECT_LT(PeakVirtualKiB() - peakBefore, 512 * 1024);
    }
}

// Every container reads its size from the right fields: a 40 x 30 image loads at a limit of
// 1200 pixels and is refused at 1199, through GDI+ and through CMoxBitmap.
TEST(ImageLimits, EveryContainerHonoursTheLimit)
{
    LimitScope scope;
    struct Case {
        const char* type;
        int width, height;
    } cases[] = {{"png", 40, 30}, {"bmp", 40, 30}, {"jpeg", 40, 30}, {"tiff", 40, 30}, {"ico", 40, 30}, {"gif", 2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const std::string path = moxtest::TempPath(std::string("limit-") + c.type);
        if (std::strcmp(c.type, "gif") == 0) {
            // The decoder library writes no GIF: a 2 x 1 image with its pixel data.
            moxtest::WriteFile(path, {'G',  'I',  'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 0xFF, 0,    0, 0,   0,
                                      0xFF, 0x2C, 0,   0,   0,   0,   2, 0, 1, 0, 0,    2, 2, 0x44, 0x0A, 0, 0x3B});
        } else {
            ASSERT_TRUE(moxtest::WriteSolidImage(path, c.type, c.width, c.height, 0x336699));
        }
        const unsigned long long pixels = static_cast<unsigned long long>(c.width) * c.height;
        MoxSetMaxImagePixels(pixels);
        EXPECT_EQ(LoadFile(path), Ok);
        CMoxBitmap loaded;
        loaded.Init(moxtest::Widen(path).c_str());
        EXPECT_EQ(loaded.GetWidth(), c.width);

        MoxSetMaxImagePixels(pixels - 1);
        EXPECT_EQ(LoadFile(path), OutOfMemory);
        CMoxBitmap refused;
        refused.Init(moxtest::Widen(path).c_str());
        EXPECT_EQ(refused.GetWidth(), 0);
    }
}

// The limit is one setting for the library and its platform layer, read from the environment
// at start-up. The check runs in a child process started with the variable set.
TEST(ImageLimits, EnvironmentSetsTheLimitForBoth)
{
    if (const char* value = std::getenv("MOXIMAGE2_MAX_PIXELS")) {
        EXPECT_STREQ(value, "12345");
        EXPECT_EQ(MoxGetMaxImagePixels(), 12345u);
        EXPECT_EQ(moxplat::GetMaxImagePixels(), 12345u);
        return;
    }
    EXPECT_EQ(MoxGetMaxImagePixels(), 1ull << 28);
    EXPECT_EQ(moxplat::GetMaxImagePixels(), MoxGetMaxImagePixels());
    {
        LimitScope scope;
        MoxSetMaxImagePixels(77);
        EXPECT_EQ(moxplat::GetMaxImagePixels(), 77u);
    }

    std::vector<std::string> env = {"MOXIMAGE2_MAX_PIXELS=12345"};
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(&s[0]);
    envp.push_back(nullptr);
    // The program as started (under valgrind /proc/self/exe is valgrind itself).
    std::string self = program_invocation_name, filter = "--gtest_filter=ImageLimits.EnvironmentSetsTheLimitForBoth";
    char* argv[] = {&self[0], &filter[0], nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, envp.data()), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

// Numeric settings are read strictly: a whole number from 1 to 2^64 - 1 and nothing else.
// strtoull alone takes a sign and leading space, and saturates past 2^64 - 1, which made an
// overflowing limit "no limit".
TEST(Settings, CountsAreParsedStrictly)
{
    const struct {
        const char* text;
        bool ok;
        unsigned long long value;
    } cases[] = {
        {"1", true, 1},
        {"268435456", true, 1ull << 28},
        {"0012", true, 12},
        {"18446744073709551615", true, ~0ull},
        {"18446744073709551616", false, 0},
        {"99999999999999999999999", false, 0},
        {"0", false, 0},
        {"000", false, 0},
        {"-1", false, 0},
        {"+5", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"12abc", false, 0},
        {"0x10", false, 0},
        {"1e6", false, 0},
        {"", false, 0},
        {nullptr, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        unsigned long long value = 7;
        EXPECT_EQ(moxplat::ParsePositiveCount(c.text, &value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : 7u);
    }
}

// Run only as the child of the test below.
TEST(SettingsChild, ReportsTheLimit)
{
    if (!std::getenv("MOX_SETTINGS_CHILD"))
        GTEST_SKIP() << "run by Settings.AnUnreadableLimitFallsBackToTheDefaultAndSaysSo";
    std::printf("limit=%llu\n", MoxGetMaxImagePixels());
}

// Past 2^64 - 1, negative, zero, empty or garbage: the default applies, and the log says so.
TEST(Settings, AnUnreadableLimitFallsBackToTheDefaultAndSaysSo)
{
    const std::string self = program_invocation_name;
    const struct {
        const char* value;
        unsigned long long limit;
        bool logged;
    } cases[] = {
        {"18446744073709551616", 1ull << 28, true},
        {"-1", 1ull << 28, true},
        {"0", 1ull << 28, true},
        {"", 1ull << 28, true},
        {"lots", 1ull << 28, true},
        {"18446744073709551615", ~0ull, false},
        {"4096", 4096, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const std::string command = std::string("env MOXIMAGE2_LOG=1 MOXIMAGE2_MAX_PIXELS='") + c.value +
                                    "' MOX_SETTINGS_CHILD=1 '" + self + "' --gtest_filter=SettingsChild.* 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        const int status = pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
        EXPECT_NE(out.find("limit=" + std::to_string(c.limit) + "\n"), std::string::npos) << out;
        EXPECT_EQ(out.find("MoxImage2: MOXIMAGE2_MAX_PIXELS=") != std::string::npos, c.logged) << out;
    }
}
