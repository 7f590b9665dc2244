// The lstr string functions and MulDiv.
//
// lstrcpy, lstrcpyn and lstrcat return NULL for a null pointer (Windows catches the fault and
// returns NULL); lstrlen of NULL is 0. lstrcmp compares as CompareString does for the user's
// locale: letters case-blind first, then lower case before upper case at the first difference
// in case; the answer is -1, 0 or 1.
#include <windows.h>

#include <limits>

#include "text_convert.h"

namespace {

template <typename C> int Length(const C* s)
{
    if (!s)
        return 0;
    std::size_t n = 0;
    while (s[n])
        ++n;
    return n > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                         : static_cast<int>(n);
}

template <typename C> C* Copy(C* dest, const C* src)
{
    if (!dest || !src)
        return nullptr;
    std::size_t i = 0;
    do
        dest[i] = src[i];
    while (src[i++]);
    return dest;
}

template <typename C> C* CopyN(C* dest, const C* src, int max)
{
    if (!dest || !src)
        return nullptr;
    if (max <= 0)
        return dest; // room for nothing, not even the terminating zero
    int i = 0;
    for (; i < max - 1 && src[i]; ++i)
        dest[i] = src[i];
    dest[i] = 0;
    return dest;
}

template <typename C> C* Cat(C* dest, const C* src)
{
    if (!dest || !src)
        return nullptr;
    std::size_t n = 0;
    while (dest[n])
        ++n;
    Copy(dest + n, src);
    return dest;
}

char32_t Unit(wchar_t c)
{
    return static_cast<char32_t>(c);
}
char32_t Fold(char32_t c)
{
    return static_cast<char32_t>(moxplat::FoldCase(static_cast<wchar_t>(c)));
}

template <typename C> int Compare(const C* a, const C* b, bool ignoreCase)
{
    if (!a || !b)
        return a == b ? 0 : (a ? 1 : -1);
    int caseOrder = 0;
    std::size_t i = 0;
    for (;; ++i) {
        const char32_t x = Unit(a[i]), y = Unit(b[i]);
        const char32_t fx = Fold(x), fy = Fold(y);
        if (fx != fy)
            return fx < fy ? -1 : 1;
        if (!x)
            break;
        if (!caseOrder && x != y)
            caseOrder = x == fx ? -1 : 1; // the lower-case one sorts first
    }
    return ignoreCase ? 0 : caseOrder;
}

// UTF-8 is compared as the code points it encodes.
int CompareUtf8(LPCSTR a, LPCSTR b, bool ignoreCase)
{
    if (!a || !b)
        return Compare(a, b, ignoreCase);
    return Compare(moxplat::ToWide(a).c_str(), moxplat::ToWide(b).c_str(), ignoreCase);
}

} // namespace

extern "C" {

int WINAPI lstrlenA(LPCSTR lpString)
{
    return Length(lpString);
}
int WINAPI lstrlenW(LPCWSTR lpString)
{
    return Length(lpString);
}
LPSTR WINAPI lstrcpyA(LPSTR lpString1, LPCSTR lpString2)
{
    return Copy(lpString1, lpString2);
}
LPWSTR WINAPI lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2)
{
    return Copy(lpString1, lpString2);
}
LPSTR WINAPI lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength)
{
    return CopyN(lpString1, lpString2, iMaxLength);
}
LPWSTR WINAPI lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength)
{
    return CopyN(lpString1, lpString2, iMaxLength);
}
LPSTR WINAPI lstrcatA(LPSTR lpString1, LPCSTR lpString2)
{
    return Cat(lpString1, lpString2);
}
LPWSTR WINAPI lstrcatW(LPWSTR lpString1, LPCWSTR lpString2)
{
    return Cat(lpString1, lpString2);
}
int WINAPI lstrcmpA(LPCSTR lpString1, LPCSTR lpString2)
{
    return CompareUtf8(lpString1, lpString2, false);
}
int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2)
{
    return Compare(lpString1, lpString2, false);
}
int WINAPI lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2)
{
    return CompareUtf8(lpString1, lpString2, true);
}
int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2)
{
    return Compare(lpString1, lpString2, true);
}

// nNumber * nNumerator / nDenominator with a 64-bit product, rounded half away from zero; -1
// when the denominator is zero or the result lies outside -INT_MAX..INT_MAX (INT_MIN too is
// refused, as Windows' MulDiv does when run under Wine).
int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(nNumber) * nNumerator;
    const std::int64_t d = nDenominator;
    const bool negative = (product < 0) != (d < 0);
    const std::uint64_t up =
        product < 0 ? 0ull - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
    const std::uint64_t ud = d < 0 ? static_cast<std::uint64_t>(-d) : static_cast<std::uint64_t>(d);
    const std::uint64_t q = (up + ud / 2) / ud;
    const std::int64_t result = negative ? -static_cast<std::int64_t>(q) : static_cast<std::int64_t>(q);
    if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(result);
}

} // extern "C"
