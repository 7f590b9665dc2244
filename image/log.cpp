#include "image/log.h"

#include "platform/core/diagnostics.h"

#include <cstdarg>

namespace moximage2 {

// One log for the library and its platform layer: the switch is read once, there.
bool LogEnabled()
{
    return moxplat::DiagnosticsEnabled();
}

void Log(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    moxplat::DiagnoseV(format, args);
    va_end(args);
}

namespace {

void AppendUtf8(std::string& out, unsigned long c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string Utf8(const wchar_t* text)
{
    if (!text)
        return "(null)";
    std::string out;
    for (const wchar_t* p = text; *p; ++p) {
        unsigned long c = static_cast<unsigned long>(*p) & (sizeof(wchar_t) == 2 ? 0xFFFFul : 0xFFFFFFFFul);
        // A UTF-16 pair joins into one character; a lone half, or any value that is no Unicode
        // scalar, becomes U+FFFD.
        if (c >= 0xD800 && c <= 0xDBFF && sizeof(wchar_t) == 2) {
            const unsigned long low = static_cast<unsigned long>(p[1]) & 0xFFFFul;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++p;
            } else {
                c = 0xFFFD;
            }
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string StatusName(Gdiplus::Status status)
{
    static const char* const names[] = {"Ok",
                                        "GenericError",
                                        "InvalidParameter",
                                        "OutOfMemory",
                                        "ObjectBusy",
                                        "InsufficientBuffer",
                                        "NotImplemented",
                                        "Win32Error",
                                        "WrongState",
                                        "Aborted",
                                        "FileNotFound",
                                        "ValueOverflow",
                                        "AccessDenied",
                                        "UnknownImageFormat",
                                        "FontFamilyNotFound",
                                        "FontStyleNotFound",
                                        "NotTrueTypeFont",
                                        "UnsupportedGdiplusVersion",
                                        "GdiplusNotInitialized",
                                        "PropertyNotFound",
                                        "PropertyNotSupported"};
    const int index = static_cast<int>(status);
    if (index >= 0 && index < static_cast<int>(sizeof names / sizeof names[0]))
        return names[index];
    return "status " + std::to_string(index);
}

} // namespace moximage2
