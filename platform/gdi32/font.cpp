// Font objects and the text calls: CreateFont, TextOut, ExtTextOut, GetTextExtentPoint32,
// GetTextMetrics and USER's DrawText.
#include <algorithm>
#include <cstring>

#include "text.h"

using namespace moxplat;

namespace {

HFONT AddFont(const LOGFONTW& lf)
{
    GdiObject o;
    o.type = OBJ_FONT;
    o.font = lf;
    o.font.lfFaceName[LF_FACESIZE - 1] = 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const std::uintptr_t key = reg.NewHandle();
    reg.objects.emplace(key, std::move(o));
    return HandleOf<HFONT>(key);
}

// UTF-8 face name into LOGFONTW's, cut to fit.
void FaceFromUtf8(const char* in, WCHAR* out)
{
    int n = 0;
    if (in) {
        const int len = static_cast<int>(strnlen(in, 4 * LF_FACESIZE));
        n = MultiByteToWideChar(CP_UTF8, 0, in, len, out, LF_FACESIZE - 1);
        n = std::max(n, 0);
    }
    out[n] = 0;
}

LOGFONTW WideOf(const LOGFONTA& a)
{
    LOGFONTW w{};
    std::memcpy(&w, &a, offsetof(LOGFONTA, lfFaceName));
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, a.lfFaceName, LF_FACESIZE);
    FaceFromUtf8(face, w.lfFaceName);
    return w;
}

std::string TextOf(LPCSTR s, std::int64_t n)
{
    return std::string(s, static_cast<std::size_t>(n));
}
std::string TextOf(LPCWSTR s, std::int64_t n)
{
    return Utf8Of(s, static_cast<std::size_t>(n));
}

// Characters of a UTF-8 string, each as its byte range.
std::vector<std::pair<std::size_t, std::size_t>> Characters(const std::string& s)
{
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t n = 1;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0xF0)
            n = 4;
        else if (c >= 0xE0)
            n = 3;
        else if (c >= 0xC0)
            n = 2;
        n = std::min(n, s.size() - i);
        out.push_back({i, n});
        i += n;
    }
    return out;
}

// The shared body of TextOut and ExtTextOut, in UTF-8.
BOOL TextOutUtf8(HDC hdc, int x, int y, UINT options, const RECT* rect, const std::string& text, const INT* dx)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    Target t;
    if (!d || !TargetLocked(reg, hdc, &t))
        return FALSE;
    DrawState& st = d->draw;
    const FontFace face = FaceOfLocked(reg, st);
    const FontMetrics m = MetricsOf(face);
    const Label* whole = LabelOf(face, text);
    if (!whole)
        return FALSE;
    // With per-character advances, the characters are placed one by one.
    const auto chars = dx ? Characters(text) : std::vector<std::pair<std::size_t, std::size_t>>{};
    std::int64_t width = whole->advance;
    if (dx) {
        width = 0;
        for (std::size_t i = 0; i < chars.size(); ++i)
            width += dx[i];
    }
    const bool updateCP = (st.textAlign & TA_UPDATECP) != 0;
    std::int64_t ox = updateCP ? st.position.x : x;
    std::int64_t oy = updateCP ? st.position.y : y;
    const UINT horizontal = st.textAlign & TA_CENTER;
    if (horizontal == TA_CENTER)
        ox -= width / 2;
    else if (horizontal == TA_RIGHT)
        ox -= width;
    const UINT vertical = st.textAlign & TA_BASELINE;
    if (vertical == TA_BASELINE)
        oy -= m.ascent;
    else if (vertical == TA_BOTTOM)
        oy -= m.ascent + m.descent;
    if (updateCP) {
        if (horizontal == TA_LEFT)
            st.position.x = static_cast<LONG>(std::clamp<std::int64_t>(st.position.x + width, INT32_MIN, INT32_MAX));
        else if (horizontal == TA_RIGHT)
            st.position.x = static_cast<LONG>(std::clamp<std::int64_t>(st.position.x - width, INT32_MIN, INT32_MAX));
    }
    ox += t.offsetX;
    oy += t.offsetY;

    // The rectangle is taken with its corners in either order.
    RECT deviceRect{};
    if (rect) {
        auto fit = [](std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
        deviceRect = {fit(std::int64_t{std::min(rect->left, rect->right)} + t.offsetX),
                      fit(std::int64_t{std::min(rect->top, rect->bottom)} + t.offsetY),
                      fit(std::int64_t{std::max(rect->left, rect->right)} + t.offsetX),
                      fit(std::int64_t{std::max(rect->top, rect->bottom)} + t.offsetY)};
    }
    const RECT* clip = (rect && (options & ETO_CLIPPED)) ? &deviceRect : nullptr;
    Paint back;
    back.kind = Paint::Solid;
    back.solid = PixelOf(st.bkColor);
    if (rect && (options & ETO_OPAQUE))
        FillDeviceRect(t, deviceRect.left, deviceRect.top, deviceRect.right, deviceRect.bottom, back, R2_COPYPEN);
    if (st.bkMode == OPAQUE) {
        std::int64_t bx0 = ox, by0 = oy, bx1 = ox + width, by1 = oy + m.ascent + m.descent;
        if (clip) {
            bx0 = std::max<std::int64_t>(bx0, clip->left);
            by0 = std::max<std::int64_t>(by0, clip->top);
            bx1 = std::min<std::int64_t>(bx1, clip->right);
            by1 = std::min<std::int64_t>(by1, clip->bottom);
        }
        FillDeviceRect(t, bx0, by0, bx1, by1, back, R2_COPYPEN);
    }
    if (!dx) {
        DrawLabel(t, *whole, ox, oy, st.textColor, clip);
    } else {
        std::int64_t cx = ox;
        for (std::size_t i = 0; i < chars.size(); ++i) {
            const Label* one = LabelOf(face, text.substr(chars[i].first, chars[i].second));
            if (one)
                DrawLabel(t, *one, cx, oy, st.textColor, clip);
            cx += dx[i];
        }
    }
    MarkDrawnLocked(reg, hdc);
    return TRUE;
}

BOOL ExtentUtf8(HDC hdc, const std::string& text, SIZE* size)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d || !size)
        return FALSE;
    const FontFace face = FaceOfLocked(reg, d->draw);
    const FontMetrics m = MetricsOf(face);
    size->cx = AdvanceOf(face, text);
    size->cy = m.ascent + m.descent;
    return TRUE;
}

template <class TM> BOOL MetricsOfDC(HDC hdc, TM* tm)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d || !tm)
        return FALSE;
    const FontFace face = FaceOfLocked(reg, d->draw);
    const FontMetrics m = MetricsOf(face);
    *tm = TM{};
    tm->tmHeight = m.ascent + m.descent;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = std::max(0, tm->tmHeight - m.em);
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = face.weight;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = sizeof(tm->tmLastChar) == 1 ? 0xFF : 0xFFFC;
    tm->tmDefaultChar = sizeof(tm->tmDefaultChar) == 1 ? 0x1F : 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = face.italic;
    tm->tmUnderlined = face.underline;
    tm->tmStruckOut = face.strikeOut;
    // TMPF_FIXED_PITCH set means variable pitch (MSDN TEXTMETRIC).
    const bool fixed = face.family == "monospace";
    tm->tmPitchAndFamily =
        static_cast<BYTE>((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | (face.pitchAndFamily & 0xf0));
    tm->tmCharSet = face.charSet == DEFAULT_CHARSET ? ANSI_CHARSET : face.charSet;
    return TRUE;
}

// DrawText's lines: the text split at line breaks (unless DT_SINGLELINE), tabs expanded, '&'
// prefixes taken out (unless DT_NOPREFIX) with the position of the character each one marks,
// and long lines broken between words with DT_WORDBREAK.
struct DrawnLine {
    std::string text;
    std::vector<std::size_t> underlined; // byte offsets
};

int DrawTextUtf8(HDC hdc, const std::string& input, LPRECT rc, UINT format)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d || !rc)
        return 0;
    const DrawState& st = d->draw;
    const FontFace face = FaceOfLocked(reg, st);
    const FontMetrics m = MetricsOf(face);
    const int lineHeight = m.ascent + m.descent;

    std::vector<DrawnLine> paragraphs(1);
    for (std::size_t i = 0; i < input.size(); ++i) {
        const char c = input[i];
        if ((c == '\r' || c == '\n') && !(format & DT_SINGLELINE)) {
            if (c == '\r' && i + 1 < input.size() && input[i + 1] == '\n')
                ++i;
            paragraphs.emplace_back();
            continue;
        }
        DrawnLine& line = paragraphs.back();
        if (c == '&' && !(format & DT_NOPREFIX)) {
            if (i + 1 < input.size() && input[i + 1] == '&') {
                line.text += '&';
                ++i;
            } else if (i + 1 < input.size()) {
                line.underlined.push_back(line.text.size());
            }
            continue;
        }
        if (c == '\t' && (format & DT_EXPANDTABS)) {
            do
                line.text += ' ';
            while (line.text.size() % 8);
            continue;
        }
        line.text += c;
    }

    const std::int64_t boxWidth = std::int64_t{rc->right} - rc->left;
    auto widthOf = [&](const std::string& s) -> std::int64_t { return AdvanceOf(face, s); };
    std::vector<DrawnLine> lines;
    for (DrawnLine& p : paragraphs) {
        if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE) || widthOf(p.text) <= boxWidth) {
            lines.push_back(std::move(p));
            continue;
        }
        // Greedy breaking at spaces; a word wider than the box keeps a line of its own.
        std::size_t start = 0;
        while (start < p.text.size()) {
            std::size_t end = start, lastFit = std::string::npos;
            while (end <= p.text.size()) {
                const std::size_t space = p.text.find(' ', end);
                const std::size_t wordEnd = space == std::string::npos ? p.text.size() : space;
                if (widthOf(p.text.substr(start, wordEnd - start)) > boxWidth && lastFit != std::string::npos)
                    break;
                lastFit = wordEnd;
                if (space == std::string::npos)
                    break;
                end = space + 1;
            }
            if (lastFit == std::string::npos)
                lastFit = p.text.size();
            DrawnLine piece;
            piece.text = p.text.substr(start, lastFit - start);
            for (std::size_t u : p.underlined)
                if (u >= start && u < lastFit)
                    piece.underlined.push_back(u - start);
            lines.push_back(std::move(piece));
            start = lastFit;
            while (start < p.text.size() && p.text[start] == ' ')
                ++start;
        }
    }

    const std::int64_t total = static_cast<std::int64_t>(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        std::int64_t widest = 0;
        for (const DrawnLine& l : lines)
            widest = std::max(widest, widthOf(l.text));
        rc->right = static_cast<LONG>(std::clamp<std::int64_t>(rc->left + widest, INT32_MIN, INT32_MAX));
        rc->bottom = static_cast<LONG>(std::clamp<std::int64_t>(rc->top + total, INT32_MIN, INT32_MAX));
        return static_cast<int>(std::min<std::int64_t>(total, INT32_MAX));
    }
    Target t;
    if (!TargetLocked(reg, hdc, &t))
        return 0;
    std::int64_t top = rc->top;
    if (format & DT_SINGLELINE) {
        // Halves round down the page (as Wine's user32 places it).
        if (format & DT_VCENTER)
            top = rc->top + (std::int64_t{rc->bottom} - rc->top - lineHeight + 1) / 2;
        else if (format & DT_BOTTOM)
            top = std::int64_t{rc->bottom} - lineHeight;
    }
    const RECT deviceClip{
        static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rc->left} + t.offsetX, INT32_MIN, INT32_MAX)),
        static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rc->top} + t.offsetY, INT32_MIN, INT32_MAX)),
        static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rc->right} + t.offsetX, INT32_MIN, INT32_MAX)),
        static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rc->bottom} + t.offsetY, INT32_MIN, INT32_MAX))};
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : &deviceClip;
    Paint back, ink;
    back.kind = ink.kind = Paint::Solid;
    back.solid = PixelOf(st.bkColor);
    ink.solid = PixelOf(st.textColor);
    std::int64_t y = top;
    for (const DrawnLine& l : lines) {
        const Label* label = l.text.empty() ? nullptr : LabelOf(face, l.text);
        const std::int64_t w = label ? label->advance : 0;
        std::int64_t x = rc->left;
        if (format & DT_CENTER)
            x = rc->left + (boxWidth - w) / 2;
        else if (format & DT_RIGHT)
            x = std::int64_t{rc->right} - w;
        const std::int64_t dx = x + t.offsetX, dy = y + t.offsetY;
        if (st.bkMode == OPAQUE && label) {
            std::int64_t bx0 = dx, by0 = dy, bx1 = dx + w, by1 = dy + lineHeight;
            if (clip) {
                bx0 = std::max<std::int64_t>(bx0, clip->left);
                by0 = std::max<std::int64_t>(by0, clip->top);
                bx1 = std::min<std::int64_t>(bx1, clip->right);
                by1 = std::min<std::int64_t>(by1, clip->bottom);
            }
            FillDeviceRect(t, bx0, by0, bx1, by1, back, R2_COPYPEN);
        }
        if (label)
            DrawLabel(t, *label, dx, dy, st.textColor, clip);
        // The prefixed character is underlined just below the baseline.
        if (label && !(format & DT_HIDEPREFIX))
            for (std::size_t u : l.underlined) {
                std::size_t next = u + 1;
                while (next < l.text.size() && (static_cast<unsigned char>(l.text[next]) & 0xC0) == 0x80)
                    ++next;
                const std::int64_t ux0 = dx + label->charX[u], ux1 = dx + label->charX[std::min(next, l.text.size())];
                const std::int64_t uy = dy + m.ascent + 1;
                std::int64_t cx0 = ux0, cx1 = ux1, cy0 = uy, cy1 = uy + 1;
                if (clip) {
                    cx0 = std::max<std::int64_t>(cx0, clip->left);
                    cx1 = std::min<std::int64_t>(cx1, clip->right);
                    cy0 = std::max<std::int64_t>(cy0, clip->top);
                    cy1 = std::min<std::int64_t>(cy1, clip->bottom);
                }
                FillDeviceRect(t, cx0, cy0, cx1, cy1, ink, R2_COPYPEN);
            }
        y += lineHeight;
    }
    MarkDrawnLocked(reg, hdc);
    if (format & (DT_VCENTER | DT_BOTTOM))
        return static_cast<int>(std::clamp<std::int64_t>(top + total - rc->top, INT32_MIN, INT32_MAX));
    return static_cast<int>(std::min<std::int64_t>(total, INT32_MAX));
}

template <class C> std::int64_t Count(const C* s, int c)
{
    if (c >= 0)
        return c;
    std::int64_t n = 0;
    while (s[n])
        ++n;
    return n;
}

} // namespace

extern "C" {

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf)
{
    return lplf ? AddFont(*lplf) : nullptr;
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf)
{
    return lplf ? AddFont(WideOf(*lplf)) : nullptr;
}

HFONT WINAPI CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                         DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName)
{
    LOGFONTW lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName)
        for (int i = 0; i < LF_FACESIZE - 1 && pszFaceName[i]; ++i)
            lf.lfFaceName[i] = pszFaceName[i];
    return AddFont(lf);
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                         DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    WCHAR face[LF_FACESIZE];
    FaceFromUtf8(pszFaceName, face);
    return CreateFontW(cHeight, cWidth, cEscapement, cOrientation, cWeight, bItalic, bUnderline, bStrikeOut, iCharSet,
                       iOutPrecision, iClipPrecision, iQuality, iPitchAndFamily, face);
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c)
{
    if (c < 0 || (!lpString && c > 0))
        return FALSE;
    return TextOutUtf8(hdc, x, y, 0, nullptr, c ? TextOf(lpString, c) : std::string(), nullptr);
}

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c)
{
    if (c < 0 || (!lpString && c > 0))
        return FALSE;
    return TextOutUtf8(hdc, x, y, 0, nullptr, c ? TextOf(lpString, c) : std::string(), nullptr);
}

// lpDx gives one advance a character (a UTF-8 character for the A form, a WCHAR for the W).
BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                        const INT* lpDx)
{
    if (c > 0x7fffffff || (!lpString && c > 0))
        return FALSE;
    return TextOutUtf8(hdc, x, y, options, lprect, c ? TextOf(lpString, c) : std::string(), lpDx);
}

BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c,
                        const INT* lpDx)
{
    if (c > 0x7fffffff || (!lpString && c > 0))
        return FALSE;
    return TextOutUtf8(hdc, x, y, options, lprect, c ? TextOf(lpString, c) : std::string(), lpDx);
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, SIZE* psizl)
{
    if (c < 0 || (!lpString && c > 0))
        return FALSE;
    return ExtentUtf8(hdc, c ? TextOf(lpString, c) : std::string(), psizl);
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE* psizl)
{
    if (c < 0 || (!lpString && c > 0))
        return FALSE;
    return ExtentUtf8(hdc, c ? TextOf(lpString, c) : std::string(), psizl);
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm)
{
    return MetricsOfDC(hdc, lptm);
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm)
{
    return MetricsOfDC(hdc, lptm);
}

// A count of -1 reads up to the terminating null (MSDN DrawText).
int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format)
{
    if (!lpchText || cchText < -1)
        return 0;
    return DrawTextUtf8(hdc, TextOf(lpchText, Count(lpchText, cchText)), lprc, format);
}

int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format)
{
    if (!lpchText || cchText < -1)
        return 0;
    return DrawTextUtf8(hdc, TextOf(lpchText, Count(lpchText, cchText)), lprc, format);
}

} // extern "C"
