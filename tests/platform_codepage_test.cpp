// Narrow (UTF-8) to wide text with the Windows calling contract.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// Converts with the usual two calls: ask for the size, then convert.
std::wstring Convert(const std::string& bytes, int cb, DWORD flags = 0)
{
    const int needed = MultiByteToWideChar(CP_ACP, flags, bytes.data(), cb, nullptr, 0);
    if (needed <= 0)
        return L"<fail>";
    std::wstring out(static_cast<size_t>(needed), L'#');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, flags, bytes.data(), cb, &out[0], needed), needed);
    return out;
}

std::wstring Whole(const std::string& bytes)
{
    return Convert(bytes, static_cast<int>(bytes.size()));
}

} // namespace

TEST(MultiByteToWideChar, CountsTheTerminatorOnlyForMinusOne)
{
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);
    EXPECT_EQ(Convert("abc", -1), std::wstring(L"abc", 4));
    EXPECT_EQ(Convert("abc", 2), L"ab");
    EXPECT_EQ(Convert(std::string("a\0b", 3), 3), std::wstring(L"a\0b", 3)); // explicit length passes zeros
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "", -1, nullptr, 0), 1);
}

TEST(MultiByteToWideChar, DecodesMultiByteCharacters)
{
    EXPECT_EQ(Whole("caf\xC3\xA9"), L"caf\u00E9");
    EXPECT_EQ(Whole("\xE2\x82\xAC 1"), L"\u20AC 1");
    EXPECT_EQ(Whole("\xED\x9F\xBF"), L"\uD7FF");         // last before the surrogates
    EXPECT_EQ(Whole("\xF0\x9F\x98\x80"), L"\U0001F600"); // one wide unit: wchar_t holds it whole
    EXPECT_EQ(Whole("\xF4\x8F\xBF\xBF"), L"\U0010FFFF");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xC3\xA9", -1, nullptr, 0), 2);
}

TEST(MultiByteToWideChar, IllFormedSequencesBecomeReplacementCharacters)
{
    const std::wstring R = L"\uFFFD";
    EXPECT_EQ(Whole("a\x80z"), L"a" + R + L"z");         // lone continuation byte
    EXPECT_EQ(Whole("\xC0\xAF"), R + R);                 // overlong two-byte form
    EXPECT_EQ(Whole("\xE0\x80\xAF"), R + R + R);         // overlong three-byte form
    EXPECT_EQ(Whole("\xED\xA0\x80"), R + R + R);         // a surrogate
    EXPECT_EQ(Whole("\xF4\x90\x80\x80"), R + R + R + R); // above U+10FFFF
    EXPECT_EQ(Whole("\xF5\xFF"), R + R);
    EXPECT_EQ(Whole("\xE2\x82z"), R + L"z");       // cut short: one U+FFFD, z kept
    EXPECT_EQ(Whole("ok\xF0\x9F\x98"), L"ok" + R); // truncated at the end
    // The length bounds the read even when the bytes after it would complete the character.
    EXPECT_EQ(Convert("\xE2\x82\xAC", 2), R);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "a\x80", 2, nullptr, 0), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "a\xC3\xA9", 3, nullptr, 0), 2);
}

TEST(MultiByteToWideChar, TooSmallBufferFailsWithoutOverrun)
{
    wchar_t buf[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "hello", -1, buf, 5), 0); // six units needed
    EXPECT_EQ(buf[5], L'#');
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "hello", -1, buf, 6), 6);
    EXPECT_EQ(std::wstring(buf), L"hello");
}

TEST(MultiByteToWideChar, RefusesBadArguments)
{
    wchar_t buf[4];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, buf, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", 0, buf, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -2, buf, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", 2, buf, -1), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", 2, nullptr, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab", 2, buf, 4), 0);      // no other code pages here
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0x1, "ab", 2, buf, 4), 0); // UTF-8 takes no such flags
}
