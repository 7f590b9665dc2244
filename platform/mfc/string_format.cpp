// CString's Format and its conversions between narrow and wide text.
//
// Programs written for Windows format with Microsoft's C runtime rules, which differ from the C
// standard's where text of two widths meets (%s in a wide format is wide text) and in the size
// modifiers (l is 32 bits, I64 is 64). Each conversion is parsed here and only numbers go to the
// system's snprintf, one at a time, so the result is the same on every system.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

#include <cstringt.h>

namespace {

// Appends narrow ASCII text (a formatted number) to either kind of string.
void AppendAscii(std::string& out, const char* s, int n)
{
    out.append(s, n);
}
void AppendAscii(std::wstring& out, const char* s, int n)
{
    for (int i = 0; i < n; ++i)
        out.push_back(static_cast<unsigned char>(s[i]));
}

// Text of either width as the output's width.
std::string AsOutput(const char* s, std::size_t n, char*)
{
    return std::string(s, n);
}
std::string AsOutput(const wchar_t* s, std::size_t n, char*)
{
    return afx_detail::Convert(s, n);
}
std::wstring AsOutput(const char* s, std::size_t n, wchar_t*)
{
    return afx_detail::Convert(s, n);
}
std::wstring AsOutput(const wchar_t* s, std::size_t n, wchar_t*)
{
    return std::wstring(s, n);
}

// One number through the system's snprintf, however long it comes out.
template <class S, class T> void PutNumber(S& out, const char* pattern, int width, int precision, T value)
{
    char small[128];
    const int n = std::snprintf(small, sizeof small, pattern, width, precision, value);
    if (n <= 0)
        return;
    if (n < static_cast<int>(sizeof small)) {
        AppendAscii(out, small, n);
        return;
    }
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(&big[0], big.size(), pattern, width, precision, value);
    AppendAscii(out, big.data(), n);
}

template <class S> void Pad(S& out, int count)
{
    if (count > 0)
        out.append(static_cast<std::size_t>(count), ' ');
}

// Text argument of width C: at most `precision` units of it (all when negative), padded to
// `width` on the left, or on the right with '-'.
template <class C, class S> void PutText(S& out, const C* text, int precision, int width, bool leftAlign)
{
    static const C kNull[] = {'(', 'n', 'u', 'l', 'l', ')', 0}; // what Microsoft's runtime prints
    if (!text)
        text = kNull;
    std::size_t n = 0;
    while ((precision < 0 || n < static_cast<std::size_t>(precision)) && text[n])
        ++n;
    const auto converted = AsOutput(text, n, static_cast<typename S::value_type*>(nullptr));
    const int padding = width - static_cast<int>(converted.size());
    if (!leftAlign)
        Pad(out, padding);
    out.append(converted);
    if (leftAlign)
        Pad(out, padding);
}

template <class C> bool IsDigit(C c)
{
    return c >= '0' && c <= '9';
}

enum class Size { Default, Char, Short, Long32, Long64, Pointer, Max, LongDouble, Narrow, Wide };

template <class C> void Format(std::basic_string<C>& out, const C* f, va_list args)
{
    const bool wideOutput = std::is_same<C, wchar_t>::value;
    while (*f) {
        if (*f != '%') {
            out.push_back(*f++);
            continue;
        }
        const C* const start = f++;
        std::string pattern = "%"; // the conversion as the system's snprintf takes it
        bool leftAlign = false;
        for (; *f == '-' || *f == '+' || *f == ' ' || *f == '#' || *f == '0'; ++f) {
            leftAlign = leftAlign || *f == '-';
            pattern.push_back(static_cast<char>(*f));
        }
        int width = -1, precision = -1;
        if (*f == '*') {
            width = va_arg(args, int);
            if (width < 0) {
                leftAlign = true;
                width = width < -100000 ? 100000 : -width;
            }
            width = width > 100000 ? 100000 : width;
            ++f;
        } else {
            for (width = 0; IsDigit(*f); ++f)
                width = width < 100000 ? width * 10 + (*f - '0') : width;
        }
        if (*f == '.') {
            ++f;
            if (*f == '*') {
                precision = va_arg(args, int);
                precision = precision > 100000 ? 100000 : precision;
                ++f;
            } else {
                for (precision = 0; IsDigit(*f); ++f)
                    precision = precision < 100000 ? precision * 10 + (*f - '0') : precision;
            }
        }
        Size size = Size::Default;
        if (f[0] == 'h' && f[1] == 'h') {
            size = Size::Char;
            f += 2;
        } else if (f[0] == 'l' && f[1] == 'l') {
            size = Size::Long64;
            f += 2;
        } else if (f[0] == 'I' && f[1] == '6' && f[2] == '4') {
            size = Size::Long64;
            f += 3;
        } else if (f[0] == 'I' && f[1] == '3' && f[2] == '2') {
            size = Size::Long32;
            f += 3;
        } else if (*f == 'h') {
            size = Size::Short;
            ++f;
        } else if (*f == 'l' || *f == 'w') {
            size = *f == 'w' ? Size::Wide : Size::Long32;
            ++f;
        } else if (*f == 'I' || *f == 'z' || *f == 't') {
            size = Size::Pointer;
            ++f;
        } else if (*f == 'j') {
            size = Size::Max;
            ++f;
        } else if (*f == 'L') {
            size = Size::LongDouble;
            ++f;
        }
        const C conv = *f;
        if (conv)
            ++f;
        switch (conv) {
        case '%':
            out.push_back('%');
            continue;
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            const bool isSigned = conv == 'd' || conv == 'i';
            long long value;
            switch (size) {
            case Size::Long64: value = va_arg(args, long long); break;
            case Size::Pointer: value = static_cast<long long>(va_arg(args, std::intptr_t)); break;
            case Size::Max: value = static_cast<long long>(va_arg(args, std::intmax_t)); break;
            default: value = va_arg(args, int); break;
            }
            if (size == Size::Char)
                value = isSigned ? static_cast<long long>(static_cast<signed char>(value))
                                 : static_cast<long long>(static_cast<unsigned char>(value));
            else if (size == Size::Short)
                value = isSigned ? static_cast<long long>(static_cast<short>(value))
                                 : static_cast<long long>(static_cast<unsigned short>(value));
            else if (size == Size::Default || size == Size::Long32 || size == Size::Wide || size == Size::LongDouble)
                value = isSigned ? static_cast<long long>(static_cast<std::int32_t>(value))
                                 : static_cast<long long>(static_cast<std::uint32_t>(value));
            else if (size == Size::Pointer && !isSigned)
                value = static_cast<long long>(static_cast<std::uintptr_t>(value));
            pattern += "*.*ll";
            pattern.push_back(static_cast<char>(conv));
            if (isSigned)
                PutNumber(out, pattern.c_str(), leftAlign ? -width : width, precision, value);
            else
                PutNumber(out, pattern.c_str(), leftAlign ? -width : width, precision,
                          static_cast<unsigned long long>(value));
            break;
        }
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            // Formatted as a double: Microsoft's long double is one.
            const double value =
                size == Size::LongDouble ? static_cast<double>(va_arg(args, long double)) : va_arg(args, double);
            pattern += "*.*";
            pattern.push_back(static_cast<char>(conv));
            // Without a precision the default of 6 applies, as a negative one asks.
            PutNumber(out, pattern.c_str(), leftAlign ? -width : width, precision, value);
            break;
        }
        case 'p': {
            // Microsoft's runtime writes an address as all its hex digits, upper case, no prefix.
            const auto value = reinterpret_cast<std::uintptr_t>(va_arg(args, void*));
            PutNumber(out, "%*.*llX", leftAlign ? -width : width, static_cast<int>(2 * sizeof(void*)),
                      static_cast<unsigned long long>(value));
            break;
        }
        case 'c':
        case 'C': {
            // %c is a character of the format's own width, %C of the other; h and l/w say outright.
            const bool wideArg = size == Size::Short ? false
                                 : (size == Size::Long32 || size == Size::Wide) ? true
                                                                               : (conv == 'c') == wideOutput;
            const int value = va_arg(args, int);
            if (wideArg) {
                const wchar_t ch[2] = {static_cast<wchar_t>(value), 0};
                PutText(out, ch, -1, width, leftAlign);
            } else {
                const char ch[2] = {static_cast<char>(value), 0};
                PutText(out, ch, -1, width, leftAlign);
            }
            continue;
        }
        case 's':
        case 'S': {
            const bool wideArg = size == Size::Short ? false
                                 : (size == Size::Long32 || size == Size::Wide) ? true
                                                                               : (conv == 's') == wideOutput;
            if (wideArg)
                PutText(out, va_arg(args, const wchar_t*), precision, width, leftAlign);
            else
                PutText(out, va_arg(args, const char*), precision, width, leftAlign);
            continue;
        }
        case 'n':
            // Microsoft's runtime refuses %n by default; nothing is written through the pointer.
            (void)va_arg(args, void*);
            continue;
        default:
            // Not a conversion: the text stays as written and no argument is taken.
            out.append(start, f);
            continue;
        }
    }
}

} // namespace

namespace afx_detail {

void FormatV(std::string& out, const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    Format(out, format, copy);
    va_end(copy);
}

void FormatV(std::wstring& out, const wchar_t* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    Format(out, format, copy);
    va_end(copy);
}

std::wstring Convert(const char* text, std::size_t length)
{
    std::wstring out;
    if (!text || length == 0 || length > 0x7fffffff)
        return out;
    const int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (n <= 0)
        return out;
    out.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &out[0], n);
    return out;
}

std::string Convert(const wchar_t* text, std::size_t length)
{
    std::string out;
    if (!text || length == 0 || length > 0x7fffffff)
        return out;
#ifdef _WIN32
    const int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return out;
    out.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
#else
    // UTF-8 from whole code points; surrogates and values beyond U+10FFFF become U+FFFD.
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
#endif
    return out;
}

} // namespace afx_detail
