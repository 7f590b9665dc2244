// conio.h when standard input is not a terminal (a pipe or a file, as under a test runner or a
// script): no key is ever waiting, keys come from standard input's bytes, and one key put back
// is read first.
#include <gtest/gtest.h>

#include <conio.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "test_support.h"

namespace {

TEST(Conio, KeysComeFromStandardInputWhenItIsNoTerminal)
{
    const std::string path = moxtest::TempPath("conio_keys"); // its folder is made if missing
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("ab\xC3", f);
        std::fclose(f);
    }
    ASSERT_NE(std::freopen(path.c_str(), "rb", stdin), nullptr);
    ASSERT_FALSE(isatty(STDIN_FILENO));
    EXPECT_EQ(_kbhit(), 0); // only a terminal has keys waiting
    EXPECT_EQ(_getch(), 'a');
    EXPECT_EQ(_ungetch('z'), 'z');
    EXPECT_EQ(_ungetch('y'), EOF); // one key at most
    EXPECT_NE(_kbhit(), 0);        // the key put back
    EXPECT_EQ(_getch(), 'z');
    EXPECT_EQ(_getch(), 'b');
    EXPECT_EQ(_getch(), 0xC3); // bytes, not signed chars
    EXPECT_EQ(_getch(), EOF);
    EXPECT_EQ(_cputs(nullptr), -1);
    std::remove(path.c_str());
}

} // namespace
