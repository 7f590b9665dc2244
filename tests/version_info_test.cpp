// The program's own version information (tests/resources/game.rc's VERSIONINFO), read by its
// file name as installers and About boxes read it. The Windows build reads the same script
// through Windows' version library.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string SelfPath()
{
    char path[4096] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

TEST(VersionInfo, TheProgramsOwnVersionIsReadByItsFileName)
{
    DWORD handle = 123;
    const std::string self = SelfPath();
    const DWORD size = GetFileVersionInfoSizeA(self.c_str(), &handle);
    ASSERT_GT(size, 0u);
    EXPECT_EQ(0u, handle); // Windows: the handle is set to zero (MSDN GetFileVersionInfoSize)
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(self.c_str(), 0, size, block.data()));

    // Windows: "\\" is the fixed part, its length in bytes (MSDN VerQueryValue, VS_FIXEDFILEINFO).
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &len));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), len);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00010002u, fixed->dwFileVersionMS); // FILEVERSION 1,2,3,4
    EXPECT_EQ(0x00030004u, fixed->dwFileVersionLS);
    EXPECT_EQ(DWORD(VFT_APP), fixed->dwFileType);

    // The translations: pairs of language and code page, their size in bytes.
    WORD* pairs = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<LPVOID*>(&pairs), &len));
    ASSERT_EQ(4u, len);
    EXPECT_EQ(0x409, pairs[0]);
    EXPECT_EQ(1200, pairs[1]);

    // Strings: their length in characters with the terminating null, which the resource
    // compiler counts in the value's length; keys in any case.
    struct Case {
        const char* path;
        const char* expected; // null: absent
    };
    const Case cases[] = {
        {"\\StringFileInfo\\040904b0\\ProductName", "Sprite Game"},
        {"\\StringFileInfo\\040904B0\\productname", "Sprite Game"},
        {"\\StringFileInfo\\040904b0\\CompanyName", nullptr},
        {"\\StringFileInfo\\04070000\\ProductName", nullptr},
        {"\\NoSuchBlock", nullptr},
    };
    for (const Case& c : cases) {
        char* text = nullptr;
        const BOOL found = VerQueryValueA(block.data(), c.path, reinterpret_cast<LPVOID*>(&text), &len);
        EXPECT_EQ(c.expected != nullptr, found != FALSE) << c.path;
        if (found && c.expected) {
            EXPECT_STREQ(c.expected, text) << c.path;
            EXPECT_EQ(std::strlen(c.expected) + 1, len) << c.path;
        }
    }
}

TEST(VersionInfo, TheWideFormsReadTheSameStrings)
{
    std::wstring self(4096, L'\0');
    self.resize(GetModuleFileNameW(nullptr, &self[0], DWORD(self.size())));
    const DWORD size = GetFileVersionInfoSizeW(self.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(self.c_str(), 0, size, block.data()));
    wchar_t* text = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\ProductName",
                               reinterpret_cast<LPVOID*>(&text), &len));
    EXPECT_EQ(std::wstring(L"Sprite Game"), text);
    EXPECT_EQ(12u, len);
}

TEST(VersionInfo, FilesWithoutVersionInformationAreRefused)
{
    DWORD handle = 0;
    EXPECT_EQ(0u, GetFileVersionInfoSizeA("no-such-file-here.exe", &handle));
    EXPECT_EQ(0u, GetFileVersionInfoSizeA("", &handle));
    BYTE block[64] = {};
    EXPECT_FALSE(GetFileVersionInfoA("no-such-file-here.exe", 0, sizeof block, block));
}

} // namespace
