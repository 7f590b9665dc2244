// UTF-8 and wide text in std::string form, for the platform's W functions that hand their text
// to the narrow ones. Ill-formed input becomes U+FFFD, as the code-page functions do.
#pragma once

#include <windows.h>

#include <locale.h>
#include <wctype.h>

#include <string>

namespace moxplat {

inline std::string ToUtf8(const wchar_t* text)
{
    if (!text)
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

inline std::wstring ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// The lower case of a code point by Unicode's simple mapping, whatever the program's locale
// (Windows' case-blind comparisons are not locale-bound either).
inline wchar_t FoldCase(wchar_t c)
{
    if (c < 0x80)
        return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return utf8 ? static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), utf8)) : c;
}

} // namespace moxplat
