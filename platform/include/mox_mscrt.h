// The parts of Windows' C runtime that Windows programs use beside the C standard: the secure
// forms (strcpy_s, sprintf_s ...), the underscore names (_stricmp, _itoa, _wtoi ...) and the
// wide functions with Windows' format rules. tchar.h maps its _t names onto these; windows.h
// includes this header so that programs which got them through the SDK's headers compile too.
//
// Where Windows' default invalid-parameter handler would end the process (a buffer too small,
// a null pointer), these refuse cleanly instead: they return the documented error code and
// leave an empty string in the buffer when there is one.
//
// Formats follow Windows: in wide functions %s and %c take wide text and %S, %hs, %hc narrow;
// in narrow functions %S and %ls take wide text; %I64d, %I32d and %Id are 64-bit, 32-bit and
// pointer-sized integers.
#pragma once

#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <strings.h>
#include <utility>

#include "windef.h"

typedef int errno_t;
#ifndef _TRUNCATE
#define _TRUNCATE ((std::size_t)-1)
#endif
#ifndef _countof
#define _countof(array) (sizeof(array) / sizeof((array)[0]))
#endif
#ifndef _MAX_PATH
#define _MAX_PATH 260
#endif

extern "C" {
// vsnprintf and vswprintf with Windows' format rules (above). They return the length the
// whole text needs, without its zero, or -1 for a format they cannot read; at most count
// units are written, always ending in a zero when count > 0.
MOXPLAT_API int MoxWinVsnprintf(char* buffer, std::size_t count, const char* format, va_list args);
MOXPLAT_API int MoxWinVsnwprintf(wchar_t* buffer, std::size_t count, const wchar_t* format, va_list args);
// fopen for a wide name (UTF-8 on disk), with Windows' path rules: backslashes separate and,
// when the exact name does not exist, each part matches case-blind.
MOXPLAT_API FILE* MoxWfopen(const wchar_t* name, const wchar_t* mode);
// fopen with the same path rules, behind fopen_s and a narrow build's _tfopen.
MOXPLAT_API FILE* MoxFopen(const char* name, const char* mode);
}

namespace mox_mscrt {

constexpr errno_t STRUNCATE_VALUE = 80; // STRUNCATE: copied, but cut to fit

template <typename C> inline std::size_t Length(const C* s)
{
    std::size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

template <typename C> inline errno_t Copy(C* dest, std::size_t size, const C* src, std::size_t count)
{
    if (!dest || size == 0)
        return EINVAL;
    if (!src) {
        dest[0] = 0;
        return EINVAL;
    }
    std::size_t n = 0;
    while (n < count && src[n])
        ++n;
    if (n >= size) {
        if (count == _TRUNCATE) {
            std::memcpy(dest, src, (size - 1) * sizeof(C));
            dest[size - 1] = 0;
            return STRUNCATE_VALUE;
        }
        dest[0] = 0;
        return ERANGE;
    }
    std::memcpy(dest, src, n * sizeof(C));
    dest[n] = 0;
    return 0;
}

template <typename C> inline errno_t Append(C* dest, std::size_t size, const C* src, std::size_t count)
{
    if (!dest || size == 0)
        return EINVAL;
    std::size_t used = 0;
    while (used < size && dest[used])
        ++used;
    if (used == size || !src) { // unterminated destination, or nothing to append
        dest[0] = 0;
        return EINVAL;
    }
    const errno_t result = Copy(dest + used, size - used, src, count);
    if (result != 0 && result != STRUNCATE_VALUE)
        dest[0] = 0;
    return result;
}

// Digits of value in radix 2..36, '-' first only for a negative value in radix 10.
template <typename C> inline errno_t ToText(long long value, bool isSigned, C* buffer, std::size_t size, int radix)
{
    if (!buffer || size == 0)
        return EINVAL;
    if (radix < 2 || radix > 36) {
        buffer[0] = 0;
        return EINVAL;
    }
    C digits[72];
    std::size_t n = 0;
    const bool negative = isSigned && radix == 10 && value < 0;
    unsigned long long u =
        negative ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    do {
        const int d = static_cast<int>(u % static_cast<unsigned>(radix));
        digits[n++] = static_cast<C>(d < 10 ? '0' + d : 'a' + d - 10);
        u /= static_cast<unsigned>(radix);
    } while (u);
    if (negative)
        digits[n++] = '-';
    if (n + 1 > size) {
        buffer[0] = 0;
        return ERANGE;
    }
    for (std::size_t i = 0; i < n; ++i)
        buffer[i] = digits[n - 1 - i];
    buffer[n] = 0;
    return 0;
}

// Windows' _snprintf: no zero when the text fills the buffer exactly or is cut (then -1).
template <typename C, typename F>
inline int Snprintf(C* buffer, std::size_t count, F vformat, const C* format, va_list args)
{
    if (!buffer || !format)
        return -1;
    C local[1];
    va_list copy;
    va_copy(copy, args);
    const int needed = vformat(local, 0, format, copy);
    va_end(copy);
    if (needed < 0)
        return -1;
    const std::size_t n = static_cast<std::size_t>(needed);
    if (n < count)
        return vformat(buffer, count, format, args);
    // Format into a whole-sized scratch buffer, then copy what fits without the zero.
    C* scratch = static_cast<C*>(std::malloc((n + 1) * sizeof(C)));
    if (!scratch)
        return -1;
    vformat(scratch, n + 1, format, args);
    std::memcpy(buffer, scratch, count * sizeof(C));
    std::free(scratch);
    return n == count ? needed : -1;
}

// sprintf_s: the whole text or, when it does not fit, an empty string and -1.
template <typename C, typename F>
inline int Sprintf(C* buffer, std::size_t size, F vformat, const C* format, va_list args)
{
    if (!buffer || size == 0)
        return -1;
    if (!format) {
        buffer[0] = 0;
        return -1;
    }
    const int n = vformat(buffer, size, format, args);
    if (n < 0 || static_cast<std::size_t>(n) >= size) {
        buffer[0] = 0;
        return -1;
    }
    return n;
}

// _snprintf_s: count is the most characters to write, or _TRUNCATE for as many as fit.
template <typename C, typename F>
inline int SnprintfS(C* buffer, std::size_t size, std::size_t count, F vformat, const C* format, va_list args)
{
    if (!buffer || size == 0)
        return -1;
    if (!format) {
        buffer[0] = 0;
        return -1;
    }
    const std::size_t limit = count == _TRUNCATE || count >= size ? size : count + 1;
    const int n = vformat(buffer, limit, format, args);
    if (n < 0) {
        buffer[0] = 0;
        return -1;
    }
    if (static_cast<std::size_t>(n) < limit)
        return n;
    if (count == _TRUNCATE || count < size)
        return -1; // cut to what was allowed; the buffer holds it, zero-terminated
    buffer[0] = 0;
    return -1;
}

} // namespace mox_mscrt

#ifndef STRUNCATE
#define STRUNCATE 80
#endif

// --- Narrow ----------------------------------------------------------------------------------

inline int _stricmp(const char* a, const char* b)
{
    return strcasecmp(a, b);
}
inline int _strnicmp(const char* a, const char* b, std::size_t n)
{
    return strncasecmp(a, b, n);
}
inline int _strcmpi(const char* a, const char* b)
{
    return strcasecmp(a, b);
}
inline int stricmp(const char* a, const char* b)
{
    return strcasecmp(a, b);
}
inline char* _strdup(const char* s)
{
    return s ? strdup(s) : nullptr;
}
inline char* _strupr(char* s)
{
    for (char* p = s; p && *p; ++p)
        if (*p >= 'a' && *p <= 'z')
            *p = static_cast<char>(*p - 'a' + 'A');
    return s;
}
inline char* _strlwr(char* s)
{
    for (char* p = s; p && *p; ++p)
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<char>(*p - 'A' + 'a');
    return s;
}
inline char* _strrev(char* s)
{
    if (s)
        for (std::size_t i = 0, j = std::strlen(s); i + 1 < j; ++i, --j)
            std::swap(s[i], s[j - 1]);
    return s;
}

inline errno_t strcpy_s(char* dest, std::size_t size, const char* src)
{
    return mox_mscrt::Copy(dest, size, src, _TRUNCATE - 1);
}
inline errno_t strncpy_s(char* dest, std::size_t size, const char* src, std::size_t count)
{
    return mox_mscrt::Copy(dest, size, src, count);
}
inline errno_t strcat_s(char* dest, std::size_t size, const char* src)
{
    return mox_mscrt::Append(dest, size, src, _TRUNCATE - 1);
}
inline errno_t strncat_s(char* dest, std::size_t size, const char* src, std::size_t count)
{
    return mox_mscrt::Append(dest, size, src, count);
}
template <std::size_t N> inline errno_t strcpy_s(char (&dest)[N], const char* src)
{
    return strcpy_s(dest, N, src);
}
template <std::size_t N> inline errno_t strncpy_s(char (&dest)[N], const char* src, std::size_t count)
{
    return strncpy_s(dest, N, src, count);
}
template <std::size_t N> inline errno_t strcat_s(char (&dest)[N], const char* src)
{
    return strcat_s(dest, N, src);
}
inline char* strtok_s(char* s, const char* delimiters, char** context)
{
    return strtok_r(s, delimiters, context);
}

inline int vsprintf_s(char* buffer, std::size_t size, const char* format, va_list args)
{
    return mox_mscrt::Sprintf(buffer, size, MoxWinVsnprintf, format, args);
}
inline int sprintf_s(char* buffer, std::size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = vsprintf_s(buffer, size, format, args);
    va_end(args);
    return n;
}
template <std::size_t N> inline int sprintf_s(char (&buffer)[N], const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = vsprintf_s(buffer, N, format, args);
    va_end(args);
    return n;
}
inline int _vsnprintf(char* buffer, std::size_t count, const char* format, va_list args)
{
    return mox_mscrt::Snprintf(buffer, count, MoxWinVsnprintf, format, args);
}
inline int _snprintf(char* buffer, std::size_t count, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = _vsnprintf(buffer, count, format, args);
    va_end(args);
    return n;
}
inline int _vsnprintf_s(char* buffer, std::size_t size, std::size_t count, const char* format, va_list args)
{
    return mox_mscrt::SnprintfS(buffer, size, count, MoxWinVsnprintf, format, args);
}
inline int _snprintf_s(char* buffer, std::size_t size, std::size_t count, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = _vsnprintf_s(buffer, size, count, format, args);
    va_end(args);
    return n;
}
template <std::size_t N> inline int _snprintf_s(char (&buffer)[N], std::size_t count, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = _vsnprintf_s(buffer, N, count, format, args);
    va_end(args);
    return n;
}

// Radixes other than 10 show the value's 32 bits unsigned, as Windows does.
inline long long MoxRadixValue32(std::int32_t value, int radix)
{
    return radix == 10 ? value : static_cast<long long>(static_cast<std::uint32_t>(value));
}
inline errno_t _itoa_s(int value, char* buffer, std::size_t size, int radix)
{
    return mox_mscrt::ToText<char>(MoxRadixValue32(value, radix), true, buffer, size, radix);
}
inline errno_t _ltoa_s(long value, char* buffer, std::size_t size, int radix)
{
    return mox_mscrt::ToText<char>(MoxRadixValue32(static_cast<std::int32_t>(value), radix), true, buffer, size, radix);
}
inline errno_t _i64toa_s(long long value, char* buffer, std::size_t size, int radix)
{
    return mox_mscrt::ToText<char>(value, true, buffer, size, radix);
}
template <std::size_t N> inline errno_t _itoa_s(int value, char (&buffer)[N], int radix)
{
    return _itoa_s(value, buffer, N, radix);
}
// The unbounded forms: a 32-bit value needs at most 33 characters with its zero ("-2147483648"
// in radix 10, 32 digits in radix 2); the limit passed is only a backstop.
inline char* _itoa(int value, char* buffer, int radix)
{
    mox_mscrt::ToText<char>(MoxRadixValue32(value, radix), true, buffer, 34, radix);
    return buffer;
}
inline char* _ltoa(long value, char* buffer, int radix)
{
    return _itoa(static_cast<int>(value), buffer, radix);
}
inline char* _ultoa(unsigned long value, char* buffer, int radix)
{
    mox_mscrt::ToText<char>(static_cast<long long>(static_cast<std::uint32_t>(value)), false, buffer, 34, radix);
    return buffer;
}
inline char* _i64toa(long long value, char* buffer, int radix)
{
    mox_mscrt::ToText<char>(value, true, buffer, 66, radix);
    return buffer;
}

inline errno_t fopen_s(FILE** file, const char* name, const char* mode)
{
    if (!file)
        return EINVAL;
    *file = (name && mode) ? MoxFopen(name, mode) : nullptr;
    return *file ? 0 : (name && mode ? errno : EINVAL);
}

// --- Wide ------------------------------------------------------------------------------------

inline int _wcsicmp(const wchar_t* a, const wchar_t* b)
{
    return wcscasecmp(a, b);
}
inline int _wcsnicmp(const wchar_t* a, const wchar_t* b, std::size_t n)
{
    return wcsncasecmp(a, b, n);
}
inline wchar_t* _wcsdup(const wchar_t* s)
{
    return s ? wcsdup(s) : nullptr;
}
inline wchar_t* _wcsupr(wchar_t* s)
{
    for (wchar_t* p = s; p && *p; ++p)
        *p = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(*p)));
    return s;
}
inline wchar_t* _wcslwr(wchar_t* s)
{
    for (wchar_t* p = s; p && *p; ++p)
        *p = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(*p)));
    return s;
}
inline int _wtoi(const wchar_t* s)
{
    return s ? static_cast<int>(std::wcstol(s, nullptr, 10)) : 0;
}
inline long _wtol(const wchar_t* s)
{
    return s ? std::wcstol(s, nullptr, 10) : 0;
}
inline long long _wtoi64(const wchar_t* s)
{
    return s ? std::wcstoll(s, nullptr, 10) : 0;
}
inline double _wtof(const wchar_t* s)
{
    return s ? std::wcstod(s, nullptr) : 0.0;
}
inline long long _atoi64(const char* s)
{
    return s ? std::strtoll(s, nullptr, 10) : 0;
}

inline errno_t wcscpy_s(wchar_t* dest, std::size_t size, const wchar_t* src)
{
    return mox_mscrt::Copy(dest, size, src, _TRUNCATE - 1);
}
inline errno_t wcsncpy_s(wchar_t* dest, std::size_t size, const wchar_t* src, std::size_t count)
{
    return mox_mscrt::Copy(dest, size, src, count);
}
inline errno_t wcscat_s(wchar_t* dest, std::size_t size, const wchar_t* src)
{
    return mox_mscrt::Append(dest, size, src, _TRUNCATE - 1);
}
inline errno_t wcsncat_s(wchar_t* dest, std::size_t size, const wchar_t* src, std::size_t count)
{
    return mox_mscrt::Append(dest, size, src, count);
}
template <std::size_t N> inline errno_t wcscpy_s(wchar_t (&dest)[N], const wchar_t* src)
{
    return wcscpy_s(dest, N, src);
}
template <std::size_t N> inline errno_t wcsncpy_s(wchar_t (&dest)[N], const wchar_t* src, std::size_t count)
{
    return wcsncpy_s(dest, N, src, count);
}
template <std::size_t N> inline errno_t wcscat_s(wchar_t (&dest)[N], const wchar_t* src)
{
    return wcscat_s(dest, N, src);
}
inline wchar_t* wcstok_s(wchar_t* s, const wchar_t* delimiters, wchar_t** context)
{
    return std::wcstok(s, delimiters, context);
}

inline int vswprintf_s(wchar_t* buffer, std::size_t size, const wchar_t* format, va_list args)
{
    return mox_mscrt::Sprintf(buffer, size, MoxWinVsnwprintf, format, args);
}
inline int swprintf_s(wchar_t* buffer, std::size_t size, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = vswprintf_s(buffer, size, format, args);
    va_end(args);
    return n;
}
template <std::size_t N> inline int swprintf_s(wchar_t (&buffer)[N], const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = vswprintf_s(buffer, N, format, args);
    va_end(args);
    return n;
}
inline int _vsnwprintf(wchar_t* buffer, std::size_t count, const wchar_t* format, va_list args)
{
    return mox_mscrt::Snprintf(buffer, count, MoxWinVsnwprintf, format, args);
}
inline int _snwprintf(wchar_t* buffer, std::size_t count, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = _vsnwprintf(buffer, count, format, args);
    va_end(args);
    return n;
}
inline int _vsnwprintf_s(wchar_t* buffer, std::size_t size, std::size_t count, const wchar_t* format, va_list args)
{
    return mox_mscrt::SnprintfS(buffer, size, count, MoxWinVsnwprintf, format, args);
}
inline int _snwprintf_s(wchar_t* buffer, std::size_t size, std::size_t count, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = _vsnwprintf_s(buffer, size, count, format, args);
    va_end(args);
    return n;
}
template <std::size_t N> inline int _snwprintf_s(wchar_t (&buffer)[N], std::size_t count, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = _vsnwprintf_s(buffer, N, count, format, args);
    va_end(args);
    return n;
}
// Windows' swprintf without a count (_stprintf in Unicode builds): the buffer is trusted to be
// large enough, as on Windows.
inline int _vswprintf(wchar_t* buffer, const wchar_t* format, va_list args)
{
    return MoxWinVsnwprintf(buffer, static_cast<std::size_t>(INT32_MAX), format, args);
}
inline int _swprintf(wchar_t* buffer, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = _vswprintf(buffer, format, args);
    va_end(args);
    return n;
}

// Wide output with Windows' format rules, written to the stream as UTF-8 (the stream stays
// byte-oriented, so narrow and wide output may be mixed as on Windows).
extern "C" MOXPLAT_API int MoxWinVfwprintf(FILE* stream, const wchar_t* format, va_list args);
inline int MoxWinFwprintf(FILE* stream, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = MoxWinVfwprintf(stream, format, args);
    va_end(args);
    return n;
}
inline int MoxWinWprintf(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = MoxWinVfwprintf(stdout, format, args);
    va_end(args);
    return n;
}

inline errno_t _itow_s(int value, wchar_t* buffer, std::size_t size, int radix)
{
    return mox_mscrt::ToText<wchar_t>(MoxRadixValue32(value, radix), true, buffer, size, radix);
}
template <std::size_t N> inline errno_t _itow_s(int value, wchar_t (&buffer)[N], int radix)
{
    return _itow_s(value, buffer, N, radix);
}
inline wchar_t* _itow(int value, wchar_t* buffer, int radix)
{
    mox_mscrt::ToText<wchar_t>(MoxRadixValue32(value, radix), true, buffer, 34, radix);
    return buffer;
}
inline wchar_t* _ltow(long value, wchar_t* buffer, int radix)
{
    return _itow(static_cast<int>(value), buffer, radix);
}

inline FILE* _wfopen(const wchar_t* name, const wchar_t* mode)
{
    return MoxWfopen(name, mode);
}
inline errno_t _wfopen_s(FILE** file, const wchar_t* name, const wchar_t* mode)
{
    if (!file)
        return EINVAL;
    *file = (name && mode) ? MoxWfopen(name, mode) : nullptr;
    return *file ? 0 : (name && mode ? errno : EINVAL);
}
