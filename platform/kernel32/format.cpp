// printf with Windows' format rules, over the C library's: the %s/%c/%S/%C text widths follow
// the function's own width as on Windows, %I64/%I32/%I name integer sizes, and %ld is the 32-bit
// long of Windows. %n is refused, as Windows' runtime refuses it by default. The text of %s in
// the other width converts as UTF-8, whatever the program's locale.
#include <windows.h>

#include <clocale>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "text_convert.h"

namespace {

// Rewrites one format into the C library's rules. wideFunction: the format belongs to a wide
// function. Returns false for a format the C library cannot be given safely.
template <typename C> bool Translate(const C* format, bool wideFunction, std::basic_string<C>& out)
{
    out.clear();
    for (const C* p = format; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        out += *p++;
        if (*p == '%') {
            out += *p++;
            continue;
        }
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0')
            out += *p++;
        if (*p == '*')
            out += *p++;
        else
            while (*p >= '0' && *p <= '9')
                out += *p++;
        if (*p == '.') {
            out += *p++;
            if (*p == '*')
                out += *p++;
            else
                while (*p >= '0' && *p <= '9')
                    out += *p++;
        }
        // Length: 0 none, 'h', 'l' (Windows' l and w), 'L', or an integer size.
        enum { None, Short, Char, Long, LongLong, LongDouble, Size } length = None;
        if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
            length = LongLong;
            p += 3;
        } else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') {
            length = None;
            p += 3;
        } else if (*p == 'I' || *p == 'z' || *p == 't') {
            length = Size;
            ++p;
        } else if (p[0] == 'h' && p[1] == 'h') {
            length = Char;
            p += 2;
        } else if (*p == 'h') {
            length = Short;
            ++p;
        } else if (p[0] == 'l' && p[1] == 'l') {
            length = LongLong;
            p += 2;
        } else if (*p == 'l' || *p == 'w') {
            length = Long;
            ++p;
        } else if (*p == 'L') {
            length = LongDouble;
            ++p;
        } else if (*p == 'j') {
            length = LongLong;
            ++p;
        }
        const C type = *p;
        if (!type)
            return false;
        ++p;
        switch (type) {
        case 'c':
        case 's':
        case 'C':
        case 'S': {
            // Which width the argument has, by Windows' rules.
            bool wideArg;
            if (length == Short)
                wideArg = false;
            else if (length == Long)
                wideArg = true;
            else
                wideArg = (type == 'c' || type == 's') ? wideFunction : !wideFunction;
            // The C library's: wide with 'l'; narrow without, in both kinds of function.
            if (wideArg)
                out += 'l';
            out += (type == 'c' || type == 'C') ? C('c') : C('s');
            break;
        }
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            if (length == Short)
                out += 'h';
            else if (length == Char)
                out += C('h'), out += C('h');
            else if (length == LongLong)
                out += C('l'), out += C('l');
            else if (length == Size)
                out += 'z';
            // Windows' long is 32 bits: %ld reads an int.
            out += type;
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (length == LongDouble)
                out += 'L';
            out += type;
            break;
        case 'p':
            out += type;
            break;
        default:
            return false; // %n and anything unknown
        }
    }
    return true;
}

// The C library converts %ls in narrow output and %s in wide output by the locale's character
// type; UTF-8 is this platform's narrow text, so formatting runs under a UTF-8 character type.
class Utf8CharacterType {
public:
    Utf8CharacterType()
    {
        static locale_t utf8 = [] {
            locale_t base = duplocale(LC_GLOBAL_LOCALE);
            locale_t made = base ? newlocale(LC_CTYPE_MASK, "C.UTF-8", base) : nullptr;
            if (!made && base)
                freelocale(base);
            return made;
        }();
        previous_ = utf8 ? uselocale(utf8) : nullptr;
    }
    ~Utf8CharacterType()
    {
        if (previous_)
            uselocale(previous_);
    }
    Utf8CharacterType(const Utf8CharacterType&) = delete;
    Utf8CharacterType& operator=(const Utf8CharacterType&) = delete;

private:
    locale_t previous_;
};

} // namespace

extern "C" {

int MoxWinVsnprintf(char* buffer, std::size_t count, const char* format, va_list args)
{
    if (!format || (count > 0 && !buffer))
        return -1;
    std::string translated;
    if (!Translate(format, false, translated)) {
        if (count > 0)
            buffer[0] = 0;
        return -1;
    }
    Utf8CharacterType utf8;
    return std::vsnprintf(buffer, count, translated.c_str(), args);
}

int MoxWinVsnwprintf(wchar_t* buffer, std::size_t count, const wchar_t* format, va_list args)
{
    if (!format || (count > 0 && !buffer))
        return -1;
    std::wstring translated;
    if (!Translate(format, true, translated)) {
        if (count > 0)
            buffer[0] = 0;
        return -1;
    }
    Utf8CharacterType utf8;
    // vswprintf gives no length when the text does not fit: format into scratch space that
    // grows until it does, then hand back what fits.
    if (count > 0) {
        va_list copy;
        va_copy(copy, args);
        const int n = std::vswprintf(buffer, count, translated.c_str(), copy);
        va_end(copy);
        if (n >= 0)
            return n;
    }
    for (std::size_t size = 256; size <= (std::size_t{1} << 28); size *= 4) {
        std::vector<wchar_t> scratch(size);
        va_list copy;
        va_copy(copy, args);
        const int n = std::vswprintf(scratch.data(), size, translated.c_str(), copy);
        va_end(copy);
        if (n >= 0) {
            if (count > 0) {
                const std::size_t kept = std::min(static_cast<std::size_t>(n), count - 1);
                std::wmemcpy(buffer, scratch.data(), kept);
                buffer[kept] = 0;
            }
            return n;
        }
    }
    if (count > 0)
        buffer[0] = 0;
    return -1;
}

int MoxWinVfwprintf(FILE* stream, const wchar_t* format, va_list args)
{
    if (!stream)
        return -1;
    va_list copy;
    va_copy(copy, args);
    const int n = MoxWinVsnwprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0)
        return -1;
    std::vector<wchar_t> text(static_cast<std::size_t>(n) + 1);
    MoxWinVsnwprintf(text.data(), text.size(), format, args);
    return std::fputs(moxplat::ToUtf8(text.data()).c_str(), stream) < 0 ? -1 : n;
}

// wsprintf writes at most 1024 characters, its terminating zero included (MSDN wsprintf).
int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist)
{
    if (!lpOut)
        return -1;
    const int n = MoxWinVsnprintf(lpOut, 1024, lpFmt, arglist);
    return n < 0 ? -1 : std::min(n, 1023);
}

int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist)
{
    if (!lpOut)
        return -1;
    const int n = MoxWinVsnwprintf(lpOut, 1024, lpFmt, arglist);
    return n < 0 ? -1 : std::min(n, 1023);
}

int WINAPIV wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...)
{
    va_list args;
    va_start(args, lpFmt);
    const int n = wvsprintfA(lpOut, lpFmt, args);
    va_end(args);
    return n;
}

int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...)
{
    va_list args;
    va_start(args, lpFmt);
    const int n = wvsprintfW(lpOut, lpFmt, args);
    va_end(args);
    return n;
}

} // extern "C"
