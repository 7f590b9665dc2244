// Optional diagnostics: with MOXIMAGE2_LOG=1 each swallowed failure writes exactly one line on
// standard error naming what failed and why; without it nothing is written. This program turns
// the variable on before main (the setting is read once); a child run of itself checks the
// default.
#include <MoxImage2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>

#include "canvas_support.h"

namespace {

const bool kLogOn = [] {
    // A child run (below) keeps the environment its parent gave it.
    if (!std::getenv("MOX_DIAGNOSTICS_CHILD"))
        setenv("MOXIMAGE2_LOG", "1", 1);
    return true;
}();

int CountLines(const std::string& text, const std::string& prefix)
{
    int n = 0;
    for (size_t at = 0; (at = text.find(prefix, at)) != std::string::npos; at += prefix.size())
        if (at == 0 || text[at - 1] == '\n')
            ++n;
    return n;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Failures the silent interface swallows, each with the words its one line must hold.
struct Case {
    const char* what;
    std::function<void()> run;
    std::vector<std::string> words;
    int lines = 1;
};

std::vector<Case> Cases()
{
    const std::string missing = moxtest::TempPath("no-such-picture.png");
    const std::string garbage = moxtest::TempPath("garbage.png");
    WriteBytes(garbage, "not a picture at all");
    const std::string paletted = moxtest::TempPath("paletted.tga");
    WriteBytes(paletted, std::string("\0\1\1\0\0\0\1\30\0\0\0\0\1\0\1\0\10\0", 18));
    return {
        // GDI+ gives InvalidParameter for a file that does not exist (Wine's conformance tests
        // record it from Windows) and OutOfMemory for data no decoder takes.
        {"missing bitmap file",
         [=] { CMoxBitmap b(moxtest::Widen(missing).c_str()); },
         {"cannot load bitmap", missing, "InvalidParameter"}},
        {"undecodable bitmap file",
         [=] { CMoxBitmap b(moxtest::Widen(garbage).c_str(), 255, 0, 255); },
         {"cannot load bitmap", garbage, "OutOfMemory", "refused: the file is none of the image formats"},
         2}, // the Linux platform adds a line of its own saying why it refused the file
        {"missing TGA file", [=] { CMoxTga t(missing.c_str()); }, {"cannot load TGA", missing, "No such file"}},
        {"colour-mapped TGA", [=] { CMoxTga t(paletted.c_str()); }, {"cannot load TGA", paletted, "image type 1"}},
        {"missing font family",
         [] { CMoxFont f(12, L"No Such Family Anywhere", Gdiplus::FontStyleRegular); },
         {"No Such Family Anywhere", "FontFamilyNotFound"}},
        {"text sprite without a font",
         [] {
             CMoxSprite s;
             s.Init(nullptr, "Score", Gdiplus::Color(255, 0, 0), Gdiplus::StringAlignmentNear);
         },
         {"text sprite", "Score", "no usable font"}},
        {"raw bitmap without bytes",
         [] {
             BITMAPINFO header = moxtest::RawHeader(2, 2);
             CMoxBitmap b(nullptr, 12, header, 0);
         },
         {"CMoxBitmap::Init", "no pixel bytes"}},
        {"absurd canvas size",
         [] {
             CMoxGraphics c;
             c.Init(-4, 10);
         },
         {"CMoxGraphics::Init", "-4 x 10"}},
        {"pen never initialised",
         [] {
             auto canvas = moxcanvas::MakeCanvas(4, 4, moxtest::Rgb{});
             canvas->InitGraphics(static_cast<CPaintDC*>(nullptr));
             CMoxPen pen;
             canvas->DrawLine(&pen, 0, 0, 3, 3);
         },
         {"DrawLine", "pen"}},
        {"button looks that cannot be cut",
         [] {
             CMoxBitmap strip = *moxcanvas::MakeImage(moxcanvas::Form::Raw, 2, 2);
             CMoxButton button;
             button.Init(nullptr, 42, 0, 0, &strip, 4);
         },
         {"CMoxButton 42", "4 looks", "2 x 2"}},
    };
}

} // namespace

TEST(Diagnostics, EachSwallowedFailureWritesOneLineSayingWhatAndWhy)
{
    ASSERT_TRUE(kLogOn);
    moxcanvas::StartGdiplus();
    for (const Case& c : Cases()) {
        testing::internal::CaptureStderr();
        c.run();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(CountLines(err, "MoxImage2: "), c.lines) << c.what << ":\n" << err;
        for (const std::string& word : c.words)
            EXPECT_NE(err.find(word), std::string::npos) << c.what << ": no \"" << word << "\" in\n" << err;
    }
}

TEST(Diagnostics, SuccessesWriteNothing)
{
    moxcanvas::StartGdiplus();
    testing::internal::CaptureStderr();
    {
        auto image = moxcanvas::MakeImage(moxcanvas::Form::File, 3, 3);
        CMoxFont font(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
        CMoxSprite text;
        text.Init(&font, "Score", Gdiplus::Color(255, 0, 0), Gdiplus::StringAlignmentNear);
        CMoxGraphics canvas;
        canvas.Init(8, 8);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Run only as the child of the test below.
TEST(DiagnosticsChild, FailuresUnderTheDefaultSetting)
{
    if (!std::getenv("MOX_DIAGNOSTICS_CHILD"))
        GTEST_SKIP() << "run by Diagnostics.AreOffByDefaultAndWithZero";
    moxcanvas::StartGdiplus();
    for (const Case& c : Cases())
        c.run();
}

TEST(Diagnostics, AreOffByDefaultAndWithZero)
{
    std::error_code ec;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    ASSERT_FALSE(ec);
    for (const char* setting : {"env -u MOXIMAGE2_LOG", "env MOXIMAGE2_LOG=0", "env MOXIMAGE2_LOG="}) {
        const std::string command = std::string(setting) + " MOX_DIAGNOSTICS_CHILD=1 '" + self +
                                    "' --gtest_filter=DiagnosticsChild.* 2>&1 >/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string err;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            err.append(buffer, n);
        const int status = pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << setting;
        EXPECT_EQ(err.find("MoxImage2:"), std::string::npos) << setting << ":\n" << err;
    }
}
