// Text conversions for the resource compiler: UTF-8, UTF-16 and Windows-1252.
#include "rc_compiler.h"

namespace moxrc {

namespace {

void AppendUtf8(std::string& out, char32_t c)
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

std::string Utf16UnitsToUtf8(const std::vector<std::uint8_t>& b, std::size_t start, bool bigEndian)
{
    std::u16string s;
    for (std::size_t i = start; i + 1 < b.size(); i += 2)
        s += bigEndian ? char16_t(b[i] << 8 | b[i + 1]) : char16_t(b[i] | b[i + 1] << 8);
    return Utf16ToUtf8(s);
}

} // namespace

std::string Utf16ToUtf8(const std::u16string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD; // an unpaired surrogate
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& s, bool* valid)
{
    std::u16string out;
    bool ok = true;
    std::size_t i = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    while (i < s.size()) {
        const unsigned char b0 = p[i];
        int extra = b0 < 0x80 ? 0 : (b0 >= 0xC2 && b0 <= 0xDF) ? 1 : (b0 >= 0xE0 && b0 <= 0xEF) ? 2 : (b0 >= 0xF0 && b0 <= 0xF4) ? 3 : -1;
        if (extra < 0) {
            ok = false;
            out += u'\xFFFD';
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? b0 : extra == 1 ? (b0 & 0x1F) : extra == 2 ? (b0 & 0x0F) : (b0 & 0x07);
        bool good = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (p[i + k] & 0xC0) != 0x80) {
                good = false;
                break;
            }
            c = c << 6 | (p[i + k] & 0x3F);
        }
        if (good && ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF))))
            good = false;
        if (!good) {
            ok = false;
            out += u'\xFFFD';
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    if (valid)
        *valid = ok;
    return out;
}

std::string DecodeFileText(const std::vector<std::uint8_t>& b, bool* unicode)
{
    *unicode = true;
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return Utf16UnitsToUtf8(b, 2, false);
    if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return Utf16UnitsToUtf8(b, 2, true);
    if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return std::string(b.begin() + 3, b.end());
    // UTF-16 saved without a mark still starts with an ASCII character and a zero byte.
    if (b.size() >= 4 && b[0] != 0 && b[1] == 0 && b[2] != 0 && b[3] == 0)
        return Utf16UnitsToUtf8(b, 0, false);
    *unicode = false;
    return std::string(b.begin(), b.end());
}

} // namespace moxrc
