// File names written the Windows way: backslashes, and any case for each part of the path.
// Windows: its file systems ignore case and take '\' as the separator (MSDN "Naming Files,
// Paths, and Namespaces"). Linux-only: on Windows the file system does this itself.
#include <gtest/gtest.h>

#include <gdiplus.h>
#include <tchar.h>
#include <windows.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "MoxImage2.h"
#include "test_support.h"
#include "tga_files.h"
#include "windows_path.h"

namespace {

class WindowsPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("MOX_TEST_TMP");
        // One folder a test: CTest runs the tests of this file side by side.
        root_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/windows_path_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "'").c_str());
        Make(root_ + "/Sprites");
        Make(root_ + "/Sprites/Hero");
        Write(root_ + "/Sprites/Hero/Walk.BMP", "walk");
        Write(root_ + "/Sprites/a.txt", "lower");
        Write(root_ + "/Sprites/A.txt", "upper");
        Write(root_ + "/Sprites/\xC3\x89t\xC3\xA9.txt", "accents"); // "Été.txt"
    }
    void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }

    static void Make(const std::string& dir) { ::mkdir(dir.c_str(), 0755); }
    static void Write(const std::string& path, const char* text)
    {
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fputs(text, f);
            std::fclose(f);
        }
    }
    static std::string Read(FILE* f)
    {
        if (!f)
            return "<not opened>";
        char buffer[32] = {};
        const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
        std::fclose(f);
        return std::string(buffer, n);
    }

    std::string root_;
};

TEST_F(WindowsPath, ResolvesSeparatorsAndCasePartByPart)
{
    struct Case {
        const char* written;
        const char* resolved; // under root_
    } cases[] = {
        {"\\Sprites\\Hero\\Walk.BMP", "/Sprites/Hero/Walk.BMP"}, // separators only
        {"\\sprites\\HERO\\walk.bmp", "/Sprites/Hero/Walk.BMP"}, // every part's case
        {"/SPRITES/hero/Walk.bmp", "/Sprites/Hero/Walk.BMP"},    // forward slashes too
        {"\\Sprites\\.\\Hero\\..\\Hero\\WALK.BMP", "/Sprites/./Hero/../Hero/Walk.BMP"},
        {"\\Sprites\\a.txt", "/Sprites/a.txt"},                                 // an exact name wins
        {"\\Sprites\\A.TXT", "/Sprites/A.txt"},                                 // several match: first by name
        {"\\sprites\\\xC3\xA9T\xC3\x89.TXT", "/Sprites/\xC3\x89t\xC3\xA9.txt"}, // beyond ASCII
        {"\\sprites\\New File.png", "/Sprites/New File.png"},                   // a file still to be made
        {"\\Nowhere\\Walk.bmp", "/Nowhere/Walk.bmp"},                           // a missing folder: as written
    };
    for (const Case& c : cases)
        EXPECT_EQ(root_ + c.resolved, moxplat::ResolveWindowsPath((root_ + c.written).c_str())) << c.written;
    EXPECT_EQ("", moxplat::ResolveWindowsPath(nullptr));
}

TEST_F(WindowsPath, RuntimeOpenersTakeWindowsNames)
{
    const std::string narrow = root_ + "\\SPRITES\\hero\\walk.bmp";
    FILE* f = nullptr;
    EXPECT_EQ(0, fopen_s(&f, narrow.c_str(), "rb"));
    EXPECT_EQ("walk", Read(f));
    EXPECT_EQ("walk", Read(MoxFopen(narrow.c_str(), "rb")));
    const std::wstring wide(narrow.begin(), narrow.end());
    EXPECT_EQ("walk", Read(_wfopen(wide.c_str(), L"rb")));
    f = nullptr;
    EXPECT_NE(0, fopen_s(&f, (root_ + "\\Sprites\\none.bmp").c_str(), "rb"));
    EXPECT_EQ(nullptr, f);
}

TEST_F(WindowsPath, ImagesLoadAndSaveByWindowsNames)
{
    // A PNG, a copy of it saved by GDI+ and a TGA, each opened through other spellings of their
    // names: GDI+ loading and saving, and the library's own loaders.
    moxtest::WritePng(
        root_ + "/Sprites/Hero/Source.png", 2, 1,
        [](int x, int) {
            return moxtest::Rgba{std::uint8_t(x ? 200 : 10), 20, 30, 255};
        },
        false);
    moxtest::WriteFile(root_ + "/Sprites/Hero/Shadow.tga", moxtest::EncodeTga(moxtest::TgaLayout(3, 2), [](int, int) {
                           return moxtest::Rgba{1, 2, 3, 4};
                       }));

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    {
        Gdiplus::Bitmap source(moxtest::Widen(root_ + "\\SPRITES\\hero\\source.PNG").c_str());
        ASSERT_EQ(Gdiplus::Ok, source.GetLastStatus());
        Gdiplus::Color pixel;
        source.GetPixel(1, 0, &pixel);
        EXPECT_EQ(200, pixel.GetR());

        UINT count = 0, size = 0;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GetImageEncodersSize(&count, &size));
        std::string buffer(size, '\0');
        auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GetImageEncoders(count, size, codecs));
        const CLSID* png = nullptr;
        for (UINT i = 0; i < count; ++i)
            if (std::wstring(codecs[i].MimeType) == L"image/png")
                png = &codecs[i].Clsid;
        ASSERT_NE(nullptr, png);
        ASSERT_EQ(Gdiplus::Ok, source.Save(moxtest::Widen(root_ + "\\sprites\\HERO\\Saved.png").c_str(), png));
        struct stat st;
        EXPECT_EQ(0, ::stat((root_ + "/Sprites/Hero/Saved.png").c_str(), &st)); // in the folder that exists

        CMoxBitmap bitmap(moxtest::Widen(root_ + "\\Sprites\\Hero\\SAVED.png").c_str());
        EXPECT_EQ(2, bitmap.GetWidth());
        CMoxTga tga;
        EXPECT_TRUE(tga.Init((root_ + "\\sprites\\hero\\SHADOW.TGA").c_str()));
        EXPECT_EQ(3u, static_cast<unsigned>(tga.GetWidth()));
    }
    Gdiplus::GdiplusShutdown(token);
}

// LoadImage with LR_LOADFROMFILE too; a file that is nowhere sets ERROR_FILE_NOT_FOUND
// (Microsoft's LoadImage: extended error information through GetLastError).
TEST_F(WindowsPath, LoadImageFromFileTakesWindowsNames)
{
    ASSERT_EQ(0, ::mkdir((root_ + "/Res").c_str(), 0777));
    moxtest::WriteBmp24(root_ + "/Res/Start.bmp", 3, 2, [](int, int) { return moxtest::Rgb{1, 2, 3}; });
    HANDLE bitmap = LoadImageA(nullptr, (root_ + "\\res\\START.BMP").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 3);
    DeleteObject(bitmap);
    SetLastError(0);
    EXPECT_EQ(LoadImageA(nullptr, (root_ + "\\res\\absent.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

} // namespace
