// The kernel basics Windows programs call: the last error, module handle, clocks, the lstr
// functions, MulDiv, wsprintf and WideCharToMultiByte. Written against the Windows API only, so
// the same cases run against Windows' own under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>

namespace {

TEST(KernelBasics, LastErrorIsPerThread)
{
    // Windows: a new thread starts with 0 and each thread keeps its own (MSDN GetLastError).
    // The two threads set theirs in turn, each checking its own after the other has set.
    std::atomic<int> step{0};
    DWORD first = 99, own = 0;
    std::thread other([&] {
        first = GetLastError();
        SetLastError(77);
        step = 1;
        while (step != 2)
            std::this_thread::yield();
        own = GetLastError();
    });
    while (step != 1)
        std::this_thread::yield();
    SetLastError(1234);
    step = 2;
    const DWORD mine = GetLastError();
    other.join();
    EXPECT_EQ(0u, first);
    EXPECT_EQ(77u, own);
    EXPECT_EQ(1234u, mine);
}

TEST(KernelBasics, ModuleHandles)
{
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(nullptr, self);
    EXPECT_EQ(self, GetModuleHandleW(nullptr));
    // Windows: an unknown module gives NULL and ERROR_MOD_NOT_FOUND (MSDN GetModuleHandle).
    SetLastError(0);
    EXPECT_EQ(nullptr, GetModuleHandleA("no-such-module-here.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());

    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n, std::strlen(path));
    // Windows: a short buffer gets the name cut, the size returned and ERROR_INSUFFICIENT_BUFFER;
    // since Vista the cut name is terminated, XP (and Wine) leave it unterminated (MSDN
    // GetModuleFileName). Nothing is written past the size either way.
    char small[5] = {'x', 'x', 'x', 'x', '#'};
    EXPECT_EQ(4u, GetModuleFileNameA(nullptr, small, 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(0, std::strncmp(path, small, 3));
    EXPECT_EQ('#', small[4]);
#ifndef _WIN32
    EXPECT_EQ(0, small[3]);
#endif
}

TEST(KernelBasics, ClocksAdvanceAndAgree)
{
    LARGE_INTEGER f1, f2, c1, c2;
    ASSERT_TRUE(QueryPerformanceFrequency(&f1));
    ASSERT_TRUE(QueryPerformanceCounter(&c1));
    const ULONGLONG t1 = GetTickCount64();
    Sleep(20);
    ASSERT_TRUE(QueryPerformanceCounter(&c2));
    ASSERT_TRUE(QueryPerformanceFrequency(&f2));
    const ULONGLONG t2 = GetTickCount64();
    // Windows: the frequency is fixed at boot (MSDN QueryPerformanceFrequency).
    EXPECT_EQ(f1.QuadPart, f2.QuadPart);
    EXPECT_GT(f1.QuadPart, 0);
    // At least the 20 ms slept on both clocks (loose upper bounds: a loaded machine).
    const double counted = double(c2.QuadPart - c1.QuadPart) / double(f1.QuadPart);
    EXPECT_GE(counted, 0.015);
    EXPECT_LT(counted, 10.0);
    EXPECT_GE(t2 - t1, 15u);
    EXPECT_LT(t2 - t1, 10000u);
    // GetTickCount is GetTickCount64's low 32 bits.
    EXPECT_LT(static_cast<DWORD>(GetTickCount() - static_cast<DWORD>(GetTickCount64())) + 1000u, 2000u);
}

TEST(KernelBasics, CalendarTimeFieldsAreConsistent)
{
    for (bool local : {false, true}) {
        SYSTEMTIME st;
        std::memset(&st, 0xff, sizeof st);
        local ? GetLocalTime(&st) : GetSystemTime(&st);
        EXPECT_GE(st.wYear, 2020);
        EXPECT_TRUE(st.wMonth >= 1 && st.wMonth <= 12);
        EXPECT_TRUE(st.wDay >= 1 && st.wDay <= 31);
        EXPECT_LE(st.wHour, 23);
        EXPECT_LE(st.wMinute, 59);
        EXPECT_LE(st.wSecond, 59);
        EXPECT_LE(st.wMilliseconds, 999);
        // wDayOfWeek (0 = Sunday) agrees with the date (Sakamoto's method).
        static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
        int y = st.wYear - (st.wMonth < 3);
        const int weekday = (y + y / 4 - y / 100 + y / 400 + offsets[st.wMonth - 1] + st.wDay) % 7;
        EXPECT_EQ(weekday, st.wDayOfWeek) << (local ? "local" : "system");
    }
}

TEST(KernelBasics, MulDivRoundsAndRefuses)
{
    // Windows: a 64-bit intermediate product, rounded to the nearest integer with halves away
    // from zero; -1 for a zero denominator or a result outside int (MSDN MulDiv).
    struct Case {
        int number, numerator, denominator, expected;
    } cases[] = {
        {10, 3, 2, 15},
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {5, -1, 2, -3},
        {5, 1, -2, -3},
        {-5, -1, -2, -3},
        {7, 1, 3, 2},
        {8, 1, 3, 3},
        {-8, 1, 3, -3},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {-INT_MAX, 1, 1, -INT_MAX},
        {INT_MIN, 1, 1, -1}, // refused: Windows' MulDiv run under Wine gives -1
        {2, 3, 0, -1},
        {INT_MAX, 2, 1, -1},
        {INT_MIN, -1, 1, -1},
        {0, 5, 7, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MulDiv(c.number, c.numerator, c.denominator))
            << c.number << " * " << c.numerator << " / " << c.denominator;
}

TEST(KernelBasics, LstrFunctions)
{
    char buffer[16];
    EXPECT_EQ(5, lstrlenA("hello"));
    EXPECT_EQ(3, lstrlenW(L"w\u00e9!"));
    EXPECT_EQ(0, lstrlenA(nullptr));
    EXPECT_EQ(buffer, lstrcpyA(buffer, "abc"));
    EXPECT_EQ(buffer, lstrcatA(buffer, "def"));
    EXPECT_STREQ("abcdef", buffer);

    // lstrcpyn: at most n - 1 characters and always a terminating zero.
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(buffer, lstrcpynA(buffer, "hello", 3));
    EXPECT_STREQ("he", buffer);
    EXPECT_EQ('x', buffer[3]);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(buffer, lstrcpynA(buffer, "hello", 0));
    EXPECT_EQ('x', buffer[0]);
    wchar_t wide[8];
    EXPECT_EQ(wide, lstrcpynW(wide, L"wide text", 5));
    EXPECT_STREQ(L"wide", wide);

    // Windows: null pointers give NULL instead of a fault (MSDN lstrcpy, lstrcat).
    EXPECT_EQ(nullptr, lstrcpyA(buffer, nullptr));
    EXPECT_EQ(nullptr, lstrcatA(nullptr, "a"));
    EXPECT_EQ(nullptr, lstrcpynA(nullptr, "a", 4));
}

TEST(KernelBasics, LstrcmpSortsLikeWords)
{
    // Windows: lstrcmp compares as CompareString does (not by code unit): letters case-blind
    // first, then lower case before upper case; results are exactly -1, 0, 1; NULL sorts first
    // (MSDN lstrcmp).
    struct Case {
        const char* a;
        const char* b;
        int cmp, cmpi;
    } cases[] = {
        {"abc", "abc", 0, 0},     {"abc", "abd", -1, -1}, {"a", "B", -1, -1},    {"B", "a", 1, 1},
        {"abc", "ABC", -1, 0},    {"ABC", "abc", 1, 0},   {"ab", "abc", -1, -1}, {"Zebra", "apple", 1, 1},
        {nullptr, nullptr, 0, 0}, {nullptr, "a", -1, -1}, {"a", nullptr, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.cmp, lstrcmpA(c.a, c.b)) << (c.a ? c.a : "NULL") << " vs " << (c.b ? c.b : "NULL");
        EXPECT_EQ(c.cmpi, lstrcmpiA(c.a, c.b)) << (c.a ? c.a : "NULL") << " vs " << (c.b ? c.b : "NULL");
    }
    EXPECT_EQ(-1, lstrcmpW(L"a", L"B"));
    EXPECT_EQ(0, lstrcmpiW(L"Tahoma", L"TAHOMA"));
    EXPECT_EQ(0, lstrcmpiW(L"\u00e9t\u00e9", L"\u00c9T\u00c9"));
    EXPECT_EQ(-1, lstrcmpW(L"\u00e9", L"\u00c9"));
#ifndef _WIN32
    // Narrow text is UTF-8 here: compared as the code points it encodes.
    EXPECT_EQ(0, lstrcmpiA("\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"));
    EXPECT_EQ(-1, lstrcmpA("\xC3\xA9", "\xC3\x89"));
#endif
}

TEST(KernelBasics, WsprintfFollowsWindowsFormats)
{
    char a[1100];
    // Windows: in the A form %s and %c are narrow and %S wide; %I64d is 64-bit; %lu is 32-bit
    // (MSDN wsprintf and format specification syntax).
    const DWORD big = 4000000000u;
    int n = wsprintfA(a, "%s|%S|%d|%I64d|%5.2s|%c|%lu|%-3d|%04X", "ab", L"wide", -3, 1099511627776LL, "xyz", 'q', big,
                      7, 0xbeefu);
    EXPECT_STREQ("ab|wide|-3|1099511627776|   xy|q|4000000000|7  |BEEF", a);
    EXPECT_EQ(static_cast<int>(std::strlen(a)), n);

    // In the W form the other way round: %s and %c wide, %S, %hs and %hc narrow.
    wchar_t w[64];
    n = wsprintfW(w, L"%s|%S|%hs|%ls|%c|%C|%hc", L"w", "n", "h", L"l", L'c', 'C', 'h');
    EXPECT_STREQ(L"w|n|h|l|c|C|h", w);
    EXPECT_EQ(13, n);

    // At most 1024 characters, the zero included; nothing beyond.
    std::string longText(2000, 'z');
    std::memset(a, '#', sizeof a);
    n = wsprintfA(a, "%s", longText.c_str());
    EXPECT_LE(n, 1024);
    EXPECT_LE(std::strlen(a), 1023u);
    EXPECT_EQ('#', a[1024]);
}

TEST(KernelBasics, WideCharToMultiByteUtf8)
{
    // Windows: UTF-8 of each code point; -1 counts the terminating zero; a zero-size buffer asks
    // for the size; a short one fails with ERROR_INSUFFICIENT_BUFFER (MSDN WideCharToMultiByte).
    const wchar_t* text = L"A\u00e9\u20ac\U0001F600";
    const char expected[] = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(11, WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr));
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(11, WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr));
    EXPECT_STREQ(expected, out);
    EXPECT_EQ(1, WideCharToMultiByte(CP_UTF8, 0, text, 1, out, sizeof out, nullptr, nullptr));
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, text, -1, out, 5, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());

    // A lone surrogate becomes U+FFFD, or fails under WC_ERR_INVALID_CHARS.
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    EXPECT_EQ(6, WideCharToMultiByte(CP_UTF8, 0, lone, -1, out, sizeof out, nullptr, nullptr));
    EXPECT_STREQ("a\xEF\xBF\xBD"
                 "b",
                 out);
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, out, sizeof out, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());

    // The round trip through MultiByteToWideChar gives the text back.
    wchar_t back[16];
    EXPECT_EQ(static_cast<int>(std::wcslen(text)) + 1, MultiByteToWideChar(CP_UTF8, 0, expected, -1, back, 16));
    EXPECT_STREQ(text, back);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, nullptr, -1, out, sizeof out, nullptr, nullptr));
}

TEST(KernelBasics, MultiByteToWideCharSetsTheLastError)
{
    // Windows: ERROR_INSUFFICIENT_BUFFER, ERROR_NO_UNICODE_TRANSLATION (MB_ERR_INVALID_CHARS and
    // an ill-formed sequence), ERROR_INVALID_PARAMETER (MSDN MultiByteToWideChar).
    wchar_t out[8];
    struct Case {
        const char* text;
        DWORD flags;
        int size;
        DWORD error;
    } cases[] = {
        {"abcdefghij", 0, 8, ERROR_INSUFFICIENT_BUFFER},
        {"a\xC3(b", MB_ERR_INVALID_CHARS, 8, ERROR_NO_UNICODE_TRANSLATION},
        {nullptr, 0, 8, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, c.flags, c.text, -1, out, c.size)) << (c.text ? c.text : "NULL");
        EXPECT_EQ(c.error, GetLastError()) << (c.text ? c.text : "NULL");
    }
}

TEST(KernelBasics, WideCharToMultiByteUtf8RefusesOtherFlagsAndDefaultCharacters)
{
    // Windows: with CP_UTF8, dwFlags is 0 or WC_ERR_INVALID_CHARS (else ERROR_INVALID_FLAGS) and
    // lpDefaultChar and lpUsedDefaultChar are NULL (else ERROR_INVALID_PARAMETER) (MSDN
    // WideCharToMultiByte).
    const wchar_t* text = L"abc";
    char out[16];
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, text, -1, out, sizeof out, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
    BOOL used = FALSE;
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, &used));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

} // namespace
