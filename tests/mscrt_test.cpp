// The C runtime's Windows forms that programs use beside the C standard: the secure copies and
// formats, _snprintf's unterminated cut, the integer-to-text functions and Windows' format
// rules in the wide functions. The cases that stay inside the documented behaviour run against
// Windows' runtime under Wine too; the refusals (where Windows' default handler would end the
// program) are this platform's own.
#include <gtest/gtest.h>

#include <tchar.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

TEST(WindowsRuntime, SecureCopiesAndFormatsThatFit)
{
    // Windows: strcpy_s/strcat_s copy with the terminator and return 0; sprintf_s returns the
    // characters written (MSDN strcpy_s, strcat_s, sprintf_s).
    char buffer[8];
    EXPECT_EQ(0, strcpy_s(buffer, sizeof buffer, "abc"));
    EXPECT_EQ(0, strcat_s(buffer, sizeof buffer, "defg"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ(0, strncpy_s(buffer, sizeof buffer, "xyz123", 3));
    EXPECT_STREQ("xyz", buffer);
    EXPECT_EQ(5, sprintf_s(buffer, sizeof buffer, "%d-%s", 12, "ab"));
    EXPECT_STREQ("12-ab", buffer);

    wchar_t wide[8];
    EXPECT_EQ(0, wcscpy_s(wide, 8, L"w\u00e9"));
    EXPECT_EQ(0, wcscat_s(wide, 8, L"!"));
    EXPECT_STREQ(L"w\u00e9!", wide);
    // In wide functions %s is wide text and %S narrow (MSDN format specification syntax).
    EXPECT_EQ(5, swprintf_s(wide, 8, L"%s|%S", L"ab", "cd"));
    EXPECT_STREQ(L"ab|cd", wide);
}

TEST(WindowsRuntime, SnprintfCutsWithoutATerminator)
{
    // Windows: _snprintf writes count characters and no terminator when the text is as long as
    // the buffer (returning the length) or longer (returning -1) (MSDN _snprintf).
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(3, _snprintf(buffer, 5, "%s", "abc"));
    EXPECT_STREQ("abc", buffer);
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(5, _snprintf(buffer, 5, "%s", "abcde"));
    EXPECT_EQ(0, std::memcmp(buffer, "abcde#", 6));
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(-1, _snprintf(buffer, 5, "%s", "abcdefg"));
    EXPECT_EQ(0, std::memcmp(buffer, "abcde#", 6));

    wchar_t wide[8];
    wmemset(wide, L'#', 8);
    EXPECT_EQ(-1, _snwprintf(wide, 3, L"%d", 12345));
    EXPECT_EQ(0, std::wmemcmp(wide, L"123#", 4));

    // _snprintf_s with _TRUNCATE: as much as fits, terminated, and -1 (MSDN _snprintf_s).
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(-1, _snprintf_s(buffer, 5, _TRUNCATE, "%s", "abcdefg"));
    EXPECT_STREQ("abcd", buffer);
    EXPECT_EQ(3, _snprintf_s(buffer, 5, _TRUNCATE, "%s", "abc"));
    EXPECT_STREQ("abc", buffer);
}

TEST(WindowsRuntime, IntegersToText)
{
    // Windows: radix 10 shows a sign; other radixes show the 32 bits unsigned (MSDN _itoa).
    struct Case {
        int value;
        int radix;
        const char* text;
    } cases[] = {
        {0, 10, "0"},         {-255, 10, "-255"}, {255, 16, "ff"},
        {-1, 16, "ffffffff"}, {5, 2, "101"},      {-2147483647 - 1, 10, "-2147483648"},
        {35, 36, "z"},
    };
    for (const Case& c : cases) {
        char buffer[40];
        EXPECT_STREQ(c.text, _itoa(c.value, buffer, c.radix)) << c.value << " radix " << c.radix;
        EXPECT_EQ(0, _itoa_s(c.value, buffer, sizeof buffer, c.radix));
        EXPECT_STREQ(c.text, buffer);
        wchar_t wide[40];
        EXPECT_EQ(0, _itow_s(c.value, wide, 40, c.radix));
        EXPECT_EQ(std::strlen(c.text), std::wcslen(wide));
    }
    EXPECT_EQ(300, _wtoi(L"300x"));
    EXPECT_EQ(0, _stricmp("Tahoma", "TAHOMA"));
    EXPECT_EQ(0, _wcsicmp(L"Tahoma", L"tahoma"));
}

TEST(WindowsRuntime, GenericTextNamesFollowTheBuild)
{
    TCHAR buffer[16];
    EXPECT_EQ(0, _tcscpy_s(buffer, 16, _T("abc")));
    EXPECT_EQ(3u, _tcslen(buffer));
    EXPECT_EQ(6, _stprintf_s(buffer, 16, _T("%s=%d"), _T("abc"), 42));
    EXPECT_EQ(0, _tcscmp(buffer, _T("abc=42")));
    EXPECT_EQ(42, _ttoi(_tcschr(buffer, _T('=')) + 1));
    EXPECT_EQ(sizeof(TCHAR), sizeof(_TCHAR));
}

#ifndef _WIN32
TEST(WindowsRuntime, RefusalsLeaveAnEmptyString)
{
    // Where Windows' default invalid-parameter handler ends the program, these return the
    // documented code (EINVAL, ERANGE) and leave an empty string (MSDN strcpy_s: "dest[0] is
    // set to 0").
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(ERANGE, strcpy_s(buffer, sizeof buffer, "long text"));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(0, strcpy_s(buffer, "abc"));
    EXPECT_EQ(ERANGE, strcat_s(buffer, "d"));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(EINVAL, strcpy_s(buffer, sizeof buffer, nullptr));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(EINVAL, strcpy_s(nullptr, 4, "a"));
    EXPECT_EQ(-1, sprintf_s(buffer, "%s", "toolong"));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(ERANGE, _itoa_s(-1000, buffer, 10));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(EINVAL, _itoa_s(1, buffer, 1));
    // %n writes through an argument: refused, as Windows' runtime refuses it by default.
    int n = 0;
    EXPECT_EQ(-1, sprintf_s(buffer, "%n", &n));
    FILE* f = reinterpret_cast<FILE*>(1);
    EXPECT_EQ(EINVAL, fopen_s(&f, nullptr, "rb"));
    EXPECT_EQ(nullptr, f);
}
#endif

} // namespace
