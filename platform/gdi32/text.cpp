// Fonts and text for GDI. Text is anti-aliased in grey levels (Windows' standard font smoothing
// without ClearType), or not at all for fonts made with NONANTIALIASED_QUALITY; glyph advances
// are whole pixels, as GDI's are. Each label, a font and a line of text, is laid out and
// rendered once into a coverage mask kept in a bounded cache: drawing it again only blends the
// mask, and gives the same pixels as laying it out afresh, since origins are whole pixels.
#include "text.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>
#include <unordered_map>

#include "pixels.h"
#include "text_stack.h"

namespace moxplat {

namespace {

constexpr int kMaxEm = 1024;
constexpr std::size_t kMaxLabels = 2048;
constexpr std::size_t kMaxLabelBytes = 32u << 20;
constexpr std::size_t kMaxTextBytes = 4096; // longer lines are laid out but not kept
// A label's mask is at most this many pixels, and each side within cairo's image limit; a
// larger one (a very long line in a huge font) is measured but drawn as nothing.
constexpr std::int64_t kMaxMaskPixels = std::int64_t{1} << 26;
constexpr int kMaxMaskSide = 32767;
constexpr std::size_t kMaxAdvances = 8192;

void AppendUtf8(std::string& out, std::uint32_t c)
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

struct Engine {
    PangoFontMap* map = nullptr;
    PangoContext* gray = nullptr;
    PangoContext* mono = nullptr;
    std::unordered_map<std::string, FontMetrics> metrics;
    // Labels by key, most recently used first.
    std::list<std::pair<std::string, Label>> order;
    std::unordered_map<std::string, std::list<std::pair<std::string, Label>>::iterator> labels;
    std::size_t bytes = 0;
    Label scratch;
    std::unordered_map<std::string, int> advances; // measured lines, for DrawText's breaking
};

PangoContext* NewContext(PangoFontMap* map, cairo_antialias_t antialias)
{
    PangoContext* context = pango_font_map_create_context(map);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(context, 96);
    return context;
}

// Created on first use and kept: the registry's lock serialises all GDI text.
Engine& TheEngine()
{
    static Engine* engine = [] {
        auto* e = new Engine;
        e->map = pango_cairo_font_map_new();
        e->gray = NewContext(e->map, CAIRO_ANTIALIAS_GRAY);
        e->mono = NewContext(e->map, CAIRO_ANTIALIAS_NONE);
        NoteTextLayoutsMade(); // the text stack stays up while GDI text may be drawn
        return e;
    }();
    return *engine;
}

std::string FaceKey(const FontFace& f)
{
    return f.family + '\n' + std::to_string(f.em) + '\n' + std::to_string(f.weight) + (f.italic ? "i" : "") +
           (f.underline ? "u" : "") + (f.strikeOut ? "s" : "") + (f.aliased ? "a" : "");
}

PangoFontDescription* Describe(const FontFace& f)
{
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, f.family.c_str());
    pango_font_description_set_absolute_size(d, f.em * PANGO_SCALE);
    pango_font_description_set_weight(d, static_cast<PangoWeight>(std::clamp(f.weight, 100, 1000)));
    pango_font_description_set_style(d, f.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

PangoLayout* NewLayout(const FontFace& f, const std::string& text)
{
    Engine& e = TheEngine();
    PangoLayout* layout = pango_layout_new(f.aliased ? e.mono : e.gray);
    PangoFontDescription* d = Describe(f);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    if (f.underline || f.strikeOut) {
        PangoAttrList* attributes = pango_attr_list_new();
        if (f.underline)
            pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (f.strikeOut)
            pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attributes);
        pango_attr_list_unref(attributes);
    }
    // One line: TextOut shows line breaks as characters, it never breaks.
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
    return layout;
}

void Render(const FontFace& f, const std::string& text, Label* out)
{
    const FontMetrics m = MetricsOf(f);
    PangoLayout* layout = NewLayout(f, text);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    // The cell's top is the origin: the layout's baseline goes to the font's ascent.
    const int baseline = PANGO_PIXELS(pango_layout_get_baseline(layout));
    const int shiftY = m.ascent - baseline;
    out->advance = logical.width;
    const int x0 = std::min(ink.x, 0), x1 = std::max(ink.x + ink.width, logical.width);
    const int y0 = std::min(ink.y + shiftY, 0), y1 = std::max(ink.y + shiftY + ink.height, m.ascent + m.descent);
    out->maskX = x0;
    out->maskY = y0;
    out->maskW = std::max(x1 - x0, 0);
    out->maskH = std::max(y1 - y0, 0);
    out->charX.assign(text.size() + 1, logical.width);
    for (std::size_t i = 0; i < text.size(); ++i) {
        PangoRectangle pos;
        pango_layout_index_to_pos(layout, static_cast<int>(i), &pos);
        out->charX[i] = PANGO_PIXELS(pos.x);
    }
    if (out->maskW > kMaxMaskSide || out->maskH > kMaxMaskSide ||
        std::int64_t{out->maskW} * out->maskH > kMaxMaskPixels)
        out->maskW = out->maskH = 0;
    out->mask.assign(static_cast<std::size_t>(out->maskW) * static_cast<std::size_t>(out->maskH), 0);
    if (out->maskW > 0 && out->maskH > 0) {
        const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, out->maskW);
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(stride) * static_cast<std::size_t>(out->maskH), 0);
        cairo_surface_t* surface =
            cairo_image_surface_create_for_data(buffer.data(), CAIRO_FORMAT_A8, out->maskW, out->maskH, stride);
        cairo_t* cr = cairo_create(surface);
        if (cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
            cairo_move_to(cr, -x0, shiftY - y0);
            pango_cairo_show_layout(cr, layout);
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
        for (int y = 0; y < out->maskH; ++y)
            std::memcpy(&out->mask[static_cast<std::size_t>(y) * out->maskW],
                        &buffer[static_cast<std::size_t>(y) * stride], static_cast<std::size_t>(out->maskW));
    }
    g_object_unref(layout);
}

// Windows' own face names for which fontconfig knows no family go to the generic families.
std::string FamilyFor(const std::string& face, BYTE pitchAndFamily)
{
    static const char* const kSans[] = {"System",        "MS Shell Dlg", "MS Shell Dlg 2",
                                        "MS Sans Serif", "Tahoma",       "Segoe UI"};
    static const char* const kMono[] = {"Fixedsys", "Terminal", "Courier"};
    for (const char* n : kSans)
        if (face == n)
            return "sans-serif";
    for (const char* n : kMono)
        if (face == n)
            return "monospace";
    if (!face.empty())
        return face;
    if ((pitchAndFamily & 0x0f) == FIXED_PITCH || (pitchAndFamily & 0xf0) == FF_MODERN)
        return "monospace";
    if ((pitchAndFamily & 0xf0) == FF_ROMAN)
        return "serif";
    return "sans-serif";
}

} // namespace

std::string Utf8Of(const WCHAR* text, std::size_t count)
{
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto c = static_cast<std::uint32_t>(text[i]);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

FontMetrics MetricsOf(const FontFace& face)
{
    Engine& e = TheEngine();
    const std::string key = FaceKey(face);
    auto it = e.metrics.find(key);
    if (it != e.metrics.end())
        return it->second;
    PangoFontDescription* d = Describe(face);
    PangoFontMetrics* pm = pango_context_get_metrics(face.aliased ? e.mono : e.gray, d, nullptr);
    pango_font_description_free(d);
    FontMetrics m;
    m.em = face.em;
    m.ascent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(pm));
    m.descent = PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(pm));
    m.aveCharWidth = std::max(1, PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(pm)));
    pango_font_metrics_unref(pm);
    // The widest of the usual wide letters stands in for the widest glyph.
    PangoLayout* layout = NewLayout(face, "W");
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    m.maxCharWidth = std::max(m.aveCharWidth, logical.width);
    if (e.metrics.size() > 4096)
        e.metrics.clear();
    e.metrics.emplace(key, m);
    return m;
}

const Label* LabelOf(const FontFace& face, const std::string& utf8)
{
    Engine& e = TheEngine();
    if (utf8.size() > kMaxTextBytes) {
        Render(face, utf8, &e.scratch);
        return &e.scratch;
    }
    std::string key = FaceKey(face);
    key += '\0';
    key += utf8;
    auto found = e.labels.find(key);
    if (found != e.labels.end()) {
        e.order.splice(e.order.begin(), e.order, found->second);
        return &found->second->second;
    }
    Label label;
    Render(face, utf8, &label);
    const std::size_t size = label.mask.size() + label.charX.size() * sizeof(int) + key.size();
    while (!e.order.empty() && (e.labels.size() >= kMaxLabels || e.bytes + size > kMaxLabelBytes)) {
        const auto& last = e.order.back();
        e.bytes -= last.second.mask.size() + last.second.charX.size() * sizeof(int) + last.first.size();
        e.labels.erase(last.first);
        e.order.pop_back();
    }
    e.order.emplace_front(key, std::move(label));
    e.labels.emplace(std::move(key), e.order.begin());
    e.bytes += size;
    return &e.order.front().second;
}

int AdvanceOf(const FontFace& face, const std::string& utf8)
{
    if (utf8.empty())
        return 0;
    Engine& e = TheEngine();
    std::string key = FaceKey(face);
    key += '\0';
    key += utf8;
    if (auto found = e.labels.find(key); found != e.labels.end())
        return found->second->second.advance;
    if (auto found = e.advances.find(key); found != e.advances.end())
        return found->second;
    PangoLayout* layout = NewLayout(face, utf8);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    if (e.advances.size() >= kMaxAdvances)
        e.advances.clear();
    if (utf8.size() <= kMaxTextBytes)
        e.advances.emplace(std::move(key), logical.width);
    return logical.width;
}

FontFace FaceOfLocked(Registry& reg, const DrawState& state)
{
    EnsureStockObjectsLocked(reg);
    const GdiObject* o = reg.Object(state.font ? state.font : reg.stockObjects[SYSTEM_FONT]);
    FontFace f;
    if (!o || o->type != OBJ_FONT)
        return f;
    const LOGFONTW& lf = o->font;
    std::size_t n = 0;
    while (n < LF_FACESIZE && lf.lfFaceName[n])
        ++n;
    f.family = FamilyFor(Utf8Of(lf.lfFaceName, n), lf.lfPitchAndFamily);
    f.requestedWeight = lf.lfWeight;
    f.weight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp<int>(lf.lfWeight, 100, 1000);
    f.italic = lf.lfItalic != 0;
    f.underline = lf.lfUnderline != 0;
    f.strikeOut = lf.lfStrikeOut != 0;
    f.aliased = lf.lfQuality == NONANTIALIASED_QUALITY;
    f.charSet = lf.lfCharSet;
    f.pitchAndFamily = lf.lfPitchAndFamily;
    // A negative height is the em; a positive one the cell (ascent plus descent), scaled to the
    // em that gives it; 0 a default cell of 16 pixels (MSDN LOGFONT lfHeight).
    const std::int64_t h = lf.lfHeight;
    if (h < 0) {
        f.em = static_cast<int>(std::min<std::int64_t>(-h, kMaxEm));
    } else {
        const int cell = h == 0 ? 16 : static_cast<int>(std::min<std::int64_t>(h, kMaxEm));
        FontFace probe = f;
        probe.em = cell;
        const FontMetrics m = MetricsOf(probe);
        const int height = std::max(m.ascent + m.descent, 1);
        f.em = std::clamp(static_cast<int>(std::lround(static_cast<double>(cell) * cell / height)), 1, kMaxEm);
    }
    return f;
}

void DrawLabel(const Target& t, const Label& label, std::int64_t x, std::int64_t y, COLORREF color, const RECT* clip)
{
    const std::uint32_t c = PixelOf(color);
    const int cr = (c >> 16) & 0xff, cg = (c >> 8) & 0xff, cb = c & 0xff;
    const int bytes = t.surface.bitsPerPixel / 8;
    const std::int64_t mx = x + label.maskX, my = y + label.maskY;
    for (const RECT& b : t.boxes) {
        std::int64_t x0 = std::max<std::int64_t>(b.left, mx), x1 = std::min<std::int64_t>(b.right, mx + label.maskW);
        std::int64_t y0 = std::max<std::int64_t>(b.top, my), y1 = std::min<std::int64_t>(b.bottom, my + label.maskH);
        if (clip) {
            x0 = std::max<std::int64_t>(x0, clip->left);
            x1 = std::min<std::int64_t>(x1, clip->right);
            y0 = std::max<std::int64_t>(y0, clip->top);
            y1 = std::min<std::int64_t>(y1, clip->bottom);
        }
        if (x0 >= x1 || y0 >= y1)
            continue; // nothing of the label in this box (an empty label has no mask at all)
        if (bytes != 3 && bytes != 4) {
            // Indexed and 16-bit pixels cannot hold blends: a pixel more than half covered
            // takes the colour's nearest stored value.
            const std::uint32_t raw = gdi::RawFromColor(t.surface, color);
            for (std::int64_t yy = y0; yy < y1; ++yy) {
                const std::uint8_t* cov = &label.mask[static_cast<std::size_t>((yy - my) * label.maskW + (x0 - mx))];
                for (std::int64_t xx = x0; xx < x1; ++xx, ++cov)
                    if (*cov >= 128)
                        gdi::SetRaw(t.surface, xx, yy, raw);
            }
            continue;
        }
        for (std::int64_t yy = y0; yy < y1; ++yy) {
            const std::uint8_t* cov = &label.mask[static_cast<std::size_t>((yy - my) * label.maskW + (x0 - mx))];
            std::uint8_t* p = t.surface.bits + yy * t.surface.stride + x0 * bytes;
            for (std::int64_t xx = x0; xx < x1; ++xx, ++cov, p += bytes) {
                const int a = *cov;
                if (a == 0)
                    continue;
                if (a == 255) {
                    p[0] = static_cast<std::uint8_t>(cb);
                    p[1] = static_cast<std::uint8_t>(cg);
                    p[2] = static_cast<std::uint8_t>(cr);
                } else {
                    p[0] = static_cast<std::uint8_t>((p[0] * (255 - a) + cb * a + 127) / 255);
                    p[1] = static_cast<std::uint8_t>((p[1] * (255 - a) + cg * a + 127) / 255);
                    p[2] = static_cast<std::uint8_t>((p[2] * (255 - a) + cr * a + 127) / 255);
                }
                if (bytes == 4)
                    p[3] = 0; // GDI writes whole 0x00RRGGBB pixels
            }
        }
    }
}

} // namespace moxplat
