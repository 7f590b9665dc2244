// The current folder and folders made and removed by Win32 and by the C runtime, with Windows'
// separators. Evidence: MSDN GetCurrentDirectory (characters written without the terminator, or
// the size needed with it), CreateDirectory (ERROR_ALREADY_EXISTS, ERROR_PATH_NOT_FOUND),
// RemoveDirectory (the folder must be empty), SetCurrentDirectory; the CRT's _getcwd (a null
// buffer is allocated, a short one gives ERANGE), _mkdir (EEXIST, ENOENT), _rmdir (ENOTEMPTY).
#include <windows.h>

#include <direct.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Current()
{
    char* p = _getcwd(nullptr, 0); // allocated at the length needed
    EXPECT_NE(p, nullptr);
    std::string s = p ? p : "";
    std::free(p);
    return s;
}

TEST(Folders, CurrentFolderSizesAsDocumented)
{
    const std::string here = Current();
    ASSERT_FALSE(here.empty());
    const DWORD length = static_cast<DWORD>(here.size());
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), length + 1);
    std::string buffer(here.size() + 1, 'x');
    EXPECT_EQ(GetCurrentDirectoryA(length, &buffer[0]), length + 1) << "no room for the terminator";
    EXPECT_EQ(GetCurrentDirectoryA(length + 1, &buffer[0]), length);
    EXPECT_STREQ(buffer.c_str(), here.c_str());

    wchar_t wide[4096];
    const DWORD wideLength = GetCurrentDirectoryW(4096, wide);
    ASSERT_GT(wideLength, 0u);
    EXPECT_EQ(std::wcslen(wide), wideLength);
    wchar_t* viaCrt = _wgetcwd(nullptr, 0);
    ASSERT_NE(viaCrt, nullptr);
    EXPECT_EQ(std::wcscmp(viaCrt, wide), 0);
    std::free(viaCrt);

    char tiny[2];
    errno = 0;
    EXPECT_EQ(_getcwd(tiny, sizeof tiny), nullptr);
    EXPECT_EQ(errno, ERANGE);
    char* big = _getcwd(nullptr, 4096); // at least the size asked
    ASSERT_NE(big, nullptr);
    EXPECT_STREQ(big, here.c_str());
    std::free(big);
}

// One tree, made, entered and removed with '\' separators and a different case when entering.
TEST(Folders, MadeEnteredAndRemovedTheWindowsWay)
{
    const std::string home = Current();
    const std::string root = "folders_test_" + std::to_string(GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((root + "\\Inner").c_str(), nullptr));

    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA(root.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA((root + "\\missing\\deeper").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryA((root + "\\absent").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryA((root + "\\absent\\deeper").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    SetLastError(0);
    EXPECT_FALSE(RemoveDirectoryA(root.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIR_NOT_EMPTY));

    ASSERT_TRUE(SetCurrentDirectoryA((root + "\\INNER").c_str()));
    const std::string inside = Current();
    EXPECT_EQ(inside.size(), home.size() + 1 + root.size() + 1 + 5);
    EXPECT_EQ(_chdir("..\\.."), 0);
    EXPECT_EQ(Current(), home);

    errno = 0;
    EXPECT_EQ(_mkdir(root.c_str()), -1);
    EXPECT_EQ(errno, EEXIST);
    errno = 0;
    EXPECT_EQ(_mkdir((root + "\\missing\\deeper").c_str()), -1);
    EXPECT_EQ(errno, ENOENT);
    errno = 0;
    EXPECT_EQ(_rmdir(root.c_str()), -1);
    EXPECT_EQ(errno, ENOTEMPTY);
    EXPECT_EQ(_wmkdir(L"folders_test_wide"), 0);
    EXPECT_EQ(_wrmdir(L"folders_test_wide"), 0);

    // DeleteFile: a file by a Windows name, then the errors (Microsoft's DeleteFile and
    // system error code pages: a folder is refused with ERROR_ACCESS_DENIED).
    FILE* made = std::fopen((root + "/Inner/Save.DAT").c_str(), "w");
    ASSERT_TRUE(made);
    std::fclose(made);
    const struct {
        std::string name;
        BOOL deleted;
        DWORD error;
    } deletions[] = {
        {root + "\\INNER\\save.dat", TRUE, 0},
        {root + "\\Inner\\Save.DAT", FALSE, ERROR_FILE_NOT_FOUND},
        {root + "\\absent\\Save.DAT", FALSE, ERROR_PATH_NOT_FOUND},
        {root + "\\Inner", FALSE, ERROR_ACCESS_DENIED},
    };
    for (const auto& d : deletions) {
        SCOPED_TRACE(d.name);
        SetLastError(0);
        EXPECT_EQ(DeleteFileA(d.name.c_str()), d.deleted);
        if (!d.deleted) {
            EXPECT_EQ(GetLastError(), d.error);
        }
    }

    EXPECT_TRUE(RemoveDirectoryW(std::wstring(root.begin(), root.end()).append(L"\\inner").c_str()));
    EXPECT_EQ(_rmdir(root.c_str()), 0);
    errno = 0;
    EXPECT_EQ(_chdir(root.c_str()), -1);
    EXPECT_EQ(errno, ENOENT);
}

} // namespace
