// CStringA, CStringW and CString: the members' documented results (Microsoft's CStringT and
// CSimpleStringT reference, whose examples several cases repeat), both widths through one table.
#include <gtest/gtest.h>

#include <atlstr.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <type_traits>

static_assert(std::is_same<CString::XCHAR, TCHAR>::value, "CString follows TCHAR");

namespace {

// The same cases in narrow and wide text: W("...") is the text at the string's own width.
template <class S> S W(const char* ascii)
{
    S s;
    for (; *ascii; ++ascii)
        s.AppendChar(static_cast<typename S::XCHAR>(*ascii));
    return s;
}

template <class S> class CStringBoth : public testing::Test {};
using Widths = testing::Types<CStringA, CStringW>;
TYPED_TEST_SUITE(CStringBoth, Widths);

// MFC: Left/Right/Mid clamp their counts to the string: a negative count gives nothing, a count
// past the end gives what there is, a start past the end gives the empty string (MSDN
// CStringT::Left, Mid, Right).
TYPED_TEST(CStringBoth, PiecesClampToTheString)
{
    using S = TypeParam;
    const S s = W<S>("abcdef");
    struct {
        S got;
        const char* want;
    } cases[] = {
        {s.Left(2), "ab"},   {s.Left(0), ""},     {s.Left(-3), ""},     {s.Left(99), "abcdef"},
        {s.Right(2), "ef"},  {s.Right(-1), ""},   {s.Right(99), "abcdef"}, {s.Mid(2), "cdef"},
        {s.Mid(2, 3), "cde"}, {s.Mid(4, 9), "ef"}, {s.Mid(-2, 2), "ab"}, {s.Mid(6), ""},
        {s.Mid(9, 1), ""},    {s.Mid(1, -1), ""},  {s.SpanIncluding(W<S>("cba")), "abc"},
        {s.SpanExcluding(W<S>("dx")), "abc"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(c.got == W<S>(c.want)) << c.want;
}

// MFC: Find returns the zero-based index or -1, from a start index; ReverseFind finds the last
// (MSDN CStringT::Find, ReverseFind, FindOneOf).
TYPED_TEST(CStringBoth, FindGivesIndexOrMinusOne)
{
    using S = TypeParam;
    const S s = W<S>("abcdabcd");
    EXPECT_EQ(2, s.Find(W<S>("cd")));
    EXPECT_EQ(6, s.Find(W<S>("cd"), 3));
    EXPECT_EQ(-1, s.Find(W<S>("cd"), 7));
    EXPECT_EQ(-1, s.Find(W<S>("cd"), 100));
    EXPECT_EQ(-1, s.Find(W<S>("cd"), -1));
    EXPECT_EQ(1, s.Find(static_cast<typename S::XCHAR>('b')));
    EXPECT_EQ(5, s.Find(static_cast<typename S::XCHAR>('b'), 2));
    EXPECT_EQ(-1, s.Find(static_cast<typename S::XCHAR>('z')));
    EXPECT_EQ(7, s.ReverseFind(static_cast<typename S::XCHAR>('d')));
    EXPECT_EQ(-1, s.ReverseFind(static_cast<typename S::XCHAR>('q')));
    EXPECT_EQ(2, s.FindOneOf(W<S>("xdc")));
}

// MSDN's own examples for Replace, Remove, Insert and Delete, with the counts and lengths they
// return, and the clamping of indices beyond the string.
TYPED_TEST(CStringBoth, EditsReturnCountsAndLengths)
{
    using S = TypeParam;
    using C = typename S::XCHAR;
    S s = W<S>("Everybody likes epee fencing");
    EXPECT_EQ(1, s.Replace(W<S>("epee"), W<S>("foil")));
    EXPECT_TRUE(s == W<S>("Everybody likes foil fencing"));
    s = W<S>("aaaa");
    EXPECT_EQ(2, s.Replace(W<S>("aa"), W<S>("b"))); // left to right, not overlapping
    EXPECT_TRUE(s == W<S>("bb"));
    EXPECT_EQ(0, s.Replace(W<S>(""), W<S>("x")));
    EXPECT_EQ(2, s.Replace(C('b'), C('c')));
    EXPECT_TRUE(s == W<S>("cc"));

    s = W<S>("This is a test.");
    EXPECT_EQ(2, s.Remove(C('t')));
    EXPECT_TRUE(s == W<S>("This is a es."));

    s = W<S>("SoccerBest");
    EXPECT_EQ(13, s.Insert(6, W<S>("is ")));
    EXPECT_EQ(14, s.Insert(6, C(' ')));
    EXPECT_TRUE(s == W<S>("Soccer is Best"));
    EXPECT_EQ(15, s.Insert(100, C('!')));
    EXPECT_EQ(16, s.Insert(-5, C('>')));
    EXPECT_TRUE(s == W<S>(">Soccer is Best!"));

    s = W<S>("Soccer is best!");
    EXPECT_EQ(12, s.Delete(6, 3));
    EXPECT_TRUE(s == W<S>("Soccer best!"));
    EXPECT_EQ(6, s.Delete(6, 100));
    EXPECT_EQ(6, s.Delete(50));
    EXPECT_TRUE(s == W<S>("Soccer"));
}

// MFC: Trim removes white space (or the given characters) at both ends only; MakeUpper and
// MakeLower change ASCII letters in the default C locale (MSDN CStringT::Trim, MakeUpper).
TYPED_TEST(CStringBoth, TrimAndCase)
{
    using S = TypeParam;
    using C = typename S::XCHAR;
    S s = W<S>(" \t\r\n mid dle \v\f ");
    EXPECT_TRUE(s.Trim() == W<S>("mid dle"));
    s = W<S>("  x  ");
    EXPECT_TRUE(s.TrimLeft() == W<S>("x  "));
    s = W<S>("  x  ");
    EXPECT_TRUE(s.TrimRight() == W<S>("  x"));
    s = W<S>("****Hello World****");
    EXPECT_TRUE(s.Trim(C('*')) == W<S>("Hello World"));
    s = W<S>("+-+a+-b-+");
    EXPECT_TRUE(s.Trim(W<S>("-+")) == W<S>("a+-b"));
    s = W<S>("   ");
    EXPECT_TRUE(s.Trim().IsEmpty());
    s = W<S>("MiXeD 1[z]");
    EXPECT_TRUE(S(s).MakeUpper() == W<S>("MIXED 1[Z]"));
    EXPECT_TRUE(s.MakeLower() == W<S>("mixed 1[z]"));
    EXPECT_TRUE(s.MakeReverse() == W<S>("]z[1 dexim"));
}

// MFC: Compare and CompareNoCase are ordinal (negative, zero, positive); the operators agree
// with Compare; a null pointer compares as the empty string (MSDN CStringT::Compare).
TYPED_TEST(CStringBoth, ComparisonsAreOrdinal)
{
    using S = TypeParam;
    struct {
        const char *a, *b;
        int sign, signNoCase;
    } cases[] = {
        {"abc", "abc", 0, 0}, {"abc", "abd", -1, -1}, {"abc", "ab", 1, 1}, {"", "a", -1, -1},
        {"ABC", "abc", -1, 0}, {"a", "B", 1, -1},      {"Zebra", "apple", -1, 1},
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const S a = W<S>(c.a), b = W<S>(c.b);
        EXPECT_EQ(c.sign, sign(a.Compare(b)));
        EXPECT_EQ(c.signNoCase, sign(a.CompareNoCase(b)));
        EXPECT_EQ(c.sign == 0, a == b);
        EXPECT_EQ(c.sign != 0, a != b.GetString());
        EXPECT_EQ(c.sign < 0, a < b);
        EXPECT_EQ(c.sign > 0, a.GetString() > b);
        EXPECT_EQ(c.sign <= 0, a <= b);
        EXPECT_EQ(c.sign >= 0, a >= b);
    }
    EXPECT_EQ(0, S().Compare(nullptr));
    EXPECT_TRUE(S(static_cast<typename S::PCXSTR>(nullptr)).IsEmpty());
}

// MSDN's Tokenize example: delimiters are skipped, each token is returned in turn, and the
// position is -1 (with an empty token) once none is left.
TYPED_TEST(CStringBoth, TokenizeWalksTheTokens)
{
    using S = TypeParam;
    const S s = W<S>("%First Second#Third##");
    const S delims = W<S>("% #");
    int pos = 0;
    std::vector<S> tokens;
    for (S t = s.Tokenize(delims, pos); pos != -1; t = s.Tokenize(delims, pos))
        tokens.push_back(t);
    ASSERT_EQ(3u, tokens.size());
    EXPECT_TRUE(tokens[0] == W<S>("First"));
    EXPECT_TRUE(tokens[1] == W<S>("Second"));
    EXPECT_TRUE(tokens[2] == W<S>("Third"));
    pos = 99;
    EXPECT_TRUE(s.Tokenize(delims, pos).IsEmpty());
    EXPECT_EQ(-1, pos);
}

// MFC: GetBuffer hands out room for at least the asked length; ReleaseBuffer(-1) takes the
// length up to the terminator, ReleaseBuffer(n) exactly n; GetBufferSetLength sets the length at
// once (MSDN CSimpleStringT::GetBuffer, ReleaseBuffer, GetBufferSetLength).
TYPED_TEST(CStringBoth, BufferAccessAndRelease)
{
    using S = TypeParam;
    using C = typename S::XCHAR;
    S s = W<S>("xy");
    C* p = s.GetBuffer(10);
    ASSERT_EQ(C('x'), p[0]);
    for (int i = 0; i < 10; ++i)
        p[i] = C('a' + i);
    p[10] = 0;
    p[4] = 0;
    s.ReleaseBuffer();
    EXPECT_TRUE(s == W<S>("abcd"));
    p = s.GetBuffer(8);
    p[5] = C('z');
    s.ReleaseBuffer(6);
    EXPECT_EQ(6, s.GetLength());
    EXPECT_EQ(C('z'), s[5]);
    s.ReleaseBuffer(1000); // never longer than what was handed out
    EXPECT_EQ(6, s.GetLength());
    p = s.GetBufferSetLength(3);
    EXPECT_EQ(3, s.GetLength());
    p[2] = C('!');
    EXPECT_TRUE(s == W<S>("ab!"));

    // Reads outside the string give 0, writes outside change nothing.
    EXPECT_EQ(C(0), s.GetAt(3));
    EXPECT_EQ(C(0), s[-1]);
    s.SetAt(3, C('q'));
    s.SetAt(-1, C('q'));
    s.SetAt(0, C('A'));
    EXPECT_TRUE(s == W<S>("Ab!"));
}

// Joining: + and += with strings, pointers and characters, either side.
TYPED_TEST(CStringBoth, JoiningFromEitherSide)
{
    using S = TypeParam;
    using C = typename S::XCHAR;
    const S a = W<S>("ab"), b = W<S>("cd");
    EXPECT_TRUE(a + b == W<S>("abcd"));
    EXPECT_TRUE(a + b.GetString() == W<S>("abcd"));
    EXPECT_TRUE(a.GetString() + b == W<S>("abcd"));
    EXPECT_TRUE(C('<') + a + C('>') == W<S>("<ab>"));
    S s;
    s += a;
    s += C('-');
    s += b.GetString();
    EXPECT_TRUE(s == W<S>("ab-cd"));
    EXPECT_EQ(5, s.GetLength());
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(S(C('z'), 3) == W<S>("zzz"));
}

// Format follows Microsoft's runtime: in a narrow format %s is narrow text and %S wide, in a
// wide format the other way round; %ls and %hs say outright; l is 32 bits and I64 64; %p is
// every hex digit of the address without a prefix (MSDN "Format specification syntax",
// "Size prefixes", "Type field characters").
TEST(CStringFormat, MicrosoftRuntimeRules)
{
    CStringA a;
    a.Format("%d|%5s|%-4d|%05.1f|%I64d|%x|%c|%S|%ls|%%|%lu|%hs", -7, "ab", 3, 2.25, -5000000000LL, 255U, 'Q',
             L"wide", L"w2", 4294967295U, "n");
    EXPECT_STREQ("-7|   ab|3   |002.2|-5000000000|ff|Q|wide|w2|%|4294967295|n", a.GetString());

    CStringW w;
    w.Format(L"%s,%S,%c,%C,%hs,%ls,%-3c|%.2s|%*d|%Iu", L"wide", "narrow", L'W', 'N', "h", L"l", L'x', L"abc", 4, 7,
             static_cast<size_t>(12));
    EXPECT_STREQ(L"wide,narrow,W,N,h,l,x  |ab|   7|12", w.GetString());

    a.Format("%p", reinterpret_cast<void*>(static_cast<uintptr_t>(0xBEEF)));
    EXPECT_EQ(static_cast<int>(2 * sizeof(void*)), a.GetLength());
    EXPECT_EQ(0, a.Right(4).Compare("BEEF"));
    EXPECT_EQ(0, a.Left(a.GetLength() - 4).SpanIncluding("0").Compare(a.Left(a.GetLength() - 4)));

    a.Format("%s|%.3S", static_cast<const char*>(nullptr), static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ("(null)|(nu", a.GetString());

    // A CString passed for %s is its text, as with Microsoft's compiler.
    const CStringA name("Ada");
    const CStringW wname(L"Wide");
    a.Format("%s/%S/%d", name, wname, 3);
    EXPECT_STREQ("Ada/Wide/3", a.GetString());
    w.Format(L"%s|%S", wname, name);
    EXPECT_STREQ(L"Wide|Ada", w.GetString());

    // AppendFormat adds; Format replaces.
    a = "x=";
    a.AppendFormat("%d", 5);
    EXPECT_STREQ("x=5", a.GetString());

    // A long number comes out whole, and %n writes nothing.
    int untouched = 42;
    a.Format("%.300f%n", 1.0, &untouched);
    EXPECT_EQ(302, a.GetLength());
    EXPECT_EQ(42, untouched);
}

// Narrow text is UTF-8 on this platform, so the two widths convert into each other without loss.
TEST(CStringConversion, NarrowAndWideRoundTrip)
{
    const CStringA ascii("Score: 10");
    const CStringW wide(ascii);
    EXPECT_STREQ(L"Score: 10", wide.GetString());
    CStringA back;
    back = wide;
    EXPECT_TRUE(back == ascii);
    CStringW joined(L"a");
    joined += "b";
    joined += CStringA("c");
    EXPECT_STREQ(L"abc", joined.GetString());
#ifndef _WIN32 // Windows converts through its ANSI code page, which is not UTF-8 there
    const CStringA utf8("h\xC3\xA9llo \xF0\x9F\x98\x80");
    const CStringW w(utf8);
    ASSERT_EQ(7, w.GetLength());
    EXPECT_EQ(L'\u00e9', w[1]);
    EXPECT_EQ(static_cast<wchar_t>(0x1F600), w[6]);
    EXPECT_TRUE(CStringA(w) == utf8);
    CStringA fmt;
    fmt.Format("%S", L"\u00e9");
    EXPECT_STREQ("\xC3\xA9", fmt.GetString());
#endif
}

} // namespace
