// Narrow to wide text. The narrow code page of this platform is UTF-8 and wchar_t holds whole
// code points, so one decoded character is one wide unit.
//
// Ill-formed input is replaced the way Unicode recommends and Windows does: each maximal
// subpart of an ill-formed sequence becomes one U+FFFD, and decoding resumes at the first byte
// that did not fit. No byte beyond the given length is ever read.
#include <cstring>
#include <cwchar>
#include <limits>

#include <windows.h>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character starting at s[i] (i < n), advancing i past what it consumed.
// Returns false for an ill-formed sequence (the character is then U+FFFD).
bool DecodeOne(const unsigned char* s, std::size_t n, std::size_t& i, char32_t* out)
{
    const unsigned char b0 = s[i++];
    if (b0 < 0x80) {
        *out = b0;
        return true;
    }
    int extra;
    char32_t cp;
    // The allowed range of the second byte narrows for E0, ED, F0 and F4 to exclude overlong
    // forms, surrogates and values above U+10FFFF.
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        extra = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0)
            lo = 0xA0;
        else if (b0 == 0xED)
            hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F;
    } else {
        *out = kReplacement;
        return false;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= n || s[i] < lo || s[i] > hi) {
            *out = kReplacement; // the offending byte starts the next character
            return false;
        }
        cp = (cp << 6) | (s[i++] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    *out = cp;
    return true;
}

} // namespace

extern "C" {

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar)
{
    if (CodePage != CP_ACP && CodePage != CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (CodePage == CP_UTF8 && (dwFlags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const bool strict = (dwFlags & MB_ERR_INVALID_CHARS) != 0;
    // -1: through the terminating zero, which is converted and counted too.
    const std::size_t n = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
    const auto* s = reinterpret_cast<const unsigned char*>(lpMultiByteStr);

    std::size_t count = 0;
    std::size_t i = 0;
    while (i < n) {
        char32_t cp;
        if (!DecodeOne(s, n, i, &cp) && strict) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        if (cchWideChar > 0) {
            if (count >= static_cast<std::size_t>(cchWideChar)) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0; // too small: what fitted is written, the call fails
            }
            lpWideCharStr[count] = static_cast<wchar_t>(cp);
        }
        ++count;
        if (count > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
    }
    return static_cast<int>(count);
}

} // extern "C"

extern "C" {

// Wide to UTF-8. A wide unit that is not a Unicode scalar value (a surrogate, or above
// U+10FFFF) becomes U+FFFD, or fails the call under WC_ERR_INVALID_CHARS.
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    if (CodePage != CP_ACP && CodePage != CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // UTF-8 takes no best-fit or default-character options (MSDN WideCharToMultiByte).
    if ((dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (lpDefaultChar || lpUsedDefaultChar || !lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 ||
        cbMultiByte < 0 || (cbMultiByte > 0 && !lpMultiByteStr) ||
        (cbMultiByte > 0 && static_cast<const void*>(lpWideCharStr) == static_cast<const void*>(lpMultiByteStr))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const bool strict = (dwFlags & WC_ERR_INVALID_CHARS) != 0;
    const std::size_t n = cchWideChar == -1 ? std::wcslen(lpWideCharStr) + 1 : static_cast<std::size_t>(cchWideChar);
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char32_t cp = static_cast<char32_t>(lpWideCharStr[i]);
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            if (strict) {
                SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                return 0;
            }
            cp = kReplacement;
        }
        unsigned char bytes[4];
        int len;
        if (cp < 0x80) {
            bytes[0] = static_cast<unsigned char>(cp);
            len = 1;
        } else if (cp < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            len = 2;
        } else if (cp < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            len = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            len = 4;
        }
        if (cbMultiByte > 0) {
            // A character never straddles the end: what fitted is written and the call fails.
            if (count + static_cast<std::size_t>(len) > static_cast<std::size_t>(cbMultiByte)) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            std::memcpy(lpMultiByteStr + count, bytes, static_cast<std::size_t>(len));
        }
        count += static_cast<std::size_t>(len);
        if (count > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
    }
    return static_cast<int>(count);
}

} // extern "C"
