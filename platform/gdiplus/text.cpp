// GdipDrawString: pango lays the text out, cairo renders its anti-aliased glyphs as coverage
// into an A8 mask over the visible part of the layout, and the brush is composited through it.
#include "gdiplus_tools.h"
#include "text_stack.h"

#include <cairo.h>
#include <pango/pangocairo.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <list>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

using namespace Gdiplus;

namespace moxplat {

namespace {

// Glyphs larger than this are drawn at this size: a glyph is rasterised whole before clipping,
// and an absurd size would cost gigabytes.
constexpr double kMaxPixelSize = 1024;
// Wrap widths beyond any surface behave like no wrap; this keeps them within pango's range.
constexpr double kMaxLayoutWidth = 1 << 20;

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

// A layout set up for the font: family, pixel size at 96 DPI, weight, slant and the underline
// and strikeout decorations, which never change for a font.
PangoLayout* NewFontLayout(const FontImpl* font, PangoFontMap* map)
{
    PangoContext* context = map ? pango_font_map_create_context(map) : nullptr;
    if (!context)
        return nullptr;
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(context, 96);
    PangoLayout* layout = pango_layout_new(context);
    g_object_unref(context);
    if (!layout)
        return nullptr;

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font->family.c_str());
    const double pixels = std::min(font->pixelSize, kMaxPixelSize);
    pango_font_description_set_absolute_size(description, std::max(1.0, pixels * PANGO_SCALE));
    pango_font_description_set_weight(description,
                                      (font->style & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description,
                                     (font->style & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);

    if (font->style & (FontStyleUnderline | FontStyleStrikeout)) {
        PangoAttrList* attributes = pango_attr_list_new();
        if (font->style & FontStyleUnderline)
            pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (font->style & FontStyleStrikeout)
            pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attributes);
        pango_attr_list_unref(attributes);
    }
    return layout;
}

// Pango's font map keeps what it learns about every font description it is asked for (fontsets,
// matched patterns, fonts loaded at each size) for as long as the map lives, and some of it is
// never released while it does. A host that animates a text size asks for a new description
// each frame, so the text code lays out with a font map of its own and starts a fresh one after
// kDistinctFonts new descriptions; the old map goes when the last layout made with it goes.
// Hosts that keep to fewer fonts never change maps. (Clearing a live map's caches instead is
// not safe: fonts still in use refer to what the clear frees.) Font maps are not thread-safe,
// so each thread has its own, as pango's default map is per thread too.
constexpr std::size_t kDistinctFonts = 256;

struct ThreadFontMap {
    PangoFontMap* map = nullptr;
    std::unordered_set<std::string> seen; // descriptions laid out with `map`

    ~ThreadFontMap()
    {
        if (map)
            g_object_unref(map);
    }
};

thread_local ThreadFontMap threadFontMap;

// The map to lay the font out with, a fresh one when it would be one description too many.
PangoFontMap* FontMapFor(const FontImpl* font)
{
    ThreadFontMap& current = threadFontMap;
    char size[32];
    std::snprintf(size, sizeof size, "%a", font->pixelSize);
    std::string key = font->family + '\n' + size + '\n' + std::to_string(font->style);
    const bool known = current.seen.count(key) != 0;
    if (!current.map || (!known && current.seen.size() >= kDistinctFonts)) {
        if (current.map)
            g_object_unref(current.map);
        current.map = pango_cairo_font_map_new();
        current.seen.clear();
    }
    if (!known)
        current.seen.insert(std::move(key));
    return current.map;
}

} // namespace

// At shut-down (text_stack.h): gives up this thread's font map. True when the map is gone, or
// there was none; pango's fontconfig start-up thread may hold it a moment longer, so this waits
// up to half a second for it.
bool ReleaseThreadFontMap()
{
    ThreadFontMap& current = threadFontMap;
    current.seen.clear();
    if (!current.map)
        return true;
    PangoFontMap* map = current.map;
    current.map = nullptr;
    gpointer watch = map;
    g_object_add_weak_pointer(G_OBJECT(map), &watch);
    g_object_unref(map);
    for (int waited = 0; watch && waited < 500; ++waited)
        g_usleep(1000);
    if (!watch)
        return true;
    g_object_remove_weak_pointer(G_OBJECT(map), &watch);
    return false;
}

namespace {

// A frame usually redraws the texts of the one before, so each font keeps the layouts of its
// most recently drawn short texts: drawing one again skips shaping and, when the box width and
// alignment are unchanged too, line breaking. Long texts share one uncached layout.
constexpr std::size_t kCachedTexts = 64;
constexpr std::size_t kCachedTextBytes = 256;

} // namespace

struct TextLayouts {
    struct Entry {
        std::string text;
        PangoLayout* layout = nullptr;
        std::uint64_t used = 0;
    };
    PangoFontMap* map = nullptr; // every layout of the font is made with this one
    PangoLayout* scratch = nullptr;
    std::vector<Entry> entries;
    std::uint64_t clock = 0;

    ~TextLayouts()
    {
        if (scratch)
            g_object_unref(scratch);
        for (Entry& e : entries)
            g_object_unref(e.layout);
        if (map)
            g_object_unref(map);
    }
};

void ReleaseTextLayouts(const FontImpl* font)
{
    if (font->layouts)
        NoteTextLayoutsReleased();
    delete font->layouts;
    font->layouts = nullptr;
}

namespace {

// The font's layout holding `text`.
PangoLayout* LayoutFor(const FontImpl* font, const std::string& text)
{
    if (!font->layouts) {
        auto* layouts = new (std::nothrow) TextLayouts;
        if (!layouts)
            return nullptr;
        layouts->map = FontMapFor(font);
        g_object_ref(layouts->map);
        layouts->scratch = NewFontLayout(font, layouts->map);
        if (!layouts->scratch) {
            delete layouts;
            return nullptr;
        }
        font->layouts = layouts;
        NoteTextLayoutsMade();
    }
    TextLayouts& cache = *font->layouts;
    const int length = int(std::min<std::size_t>(text.size(), 0x7fffffff));
    if (text.size() > kCachedTextBytes) {
        pango_layout_set_text(cache.scratch, text.data(), length);
        return cache.scratch;
    }
    ++cache.clock;
    for (TextLayouts::Entry& e : cache.entries)
        if (e.text == text) {
            e.used = cache.clock;
            return e.layout;
        }
    TextLayouts::Entry* slot = nullptr;
    if (cache.entries.size() < kCachedTexts) {
        PangoLayout* layout = NewFontLayout(font, cache.map);
        if (!layout)
            return nullptr;
        cache.entries.push_back({std::string(), layout, 0});
        slot = &cache.entries.back();
    } else {
        slot = &*std::min_element(cache.entries.begin(), cache.entries.end(),
                                  [](const auto& a, const auto& b) { return a.used < b.used; });
    }
    slot->text = text;
    slot->used = cache.clock;
    pango_layout_set_text(slot->layout, text.data(), length);
    return slot->layout;
}

// Text is drawn far more often than it changes: each thread keeps the coverage of the strings it
// drew last, keyed by everything the coverage is made from (the font, the text, the line width
// and alignment the layout was given, the sub-pixel place of the layout in the mask and the
// mask's size), so that drawing a string again only composites its mask. The mask is the one
// rendering it afresh would make, so a kept string and a fresh one have the same pixels; the
// brush is not part of the mask and is applied at every draw.
constexpr std::size_t kCachedMasks = 512;
constexpr std::size_t kCachedMaskBytes = 16u << 20; // with their colour planes
constexpr std::size_t kMaxKeptMaskBytes = 1u << 20; // larger masks are rendered every time
constexpr std::size_t kCachedExtents = 4096;

struct StringMask {
    std::vector<std::uint8_t> bits;
    int stride = 0;
    // The mask as SolidMaskPlanes makes it for a solid colour, kept for the last colour used.
    std::vector<std::uint8_t> planes;
    Gdiplus::ARGB planesColour = 0;
    bool hasPlanes = false;
};

struct StringMasks {
    using Order = std::list<std::pair<std::string, StringMask>>;
    Order order; // most recently drawn first
    std::unordered_map<std::string, Order::iterator> byKey;
    std::size_t bytes = 0;
    std::unordered_map<std::string, std::pair<PangoRectangle, PangoRectangle>> extents; // ink, logical

    StringMask* Find(const std::string& key)
    {
        auto it = byKey.find(key);
        if (it == byKey.end())
            return nullptr;
        order.splice(order.begin(), order, it->second);
        return &it->second->second;
    }

    StringMask* Keep(std::string key, StringMask mask)
    {
        const std::size_t size = mask.bits.size() + key.size();
        while (!order.empty() && (order.size() >= kCachedMasks || bytes + size > kCachedMaskBytes)) {
            bytes -= order.back().second.bits.size() + order.back().second.planes.size() + order.back().first.size();
            byKey.erase(order.back().first);
            order.pop_back();
        }
        order.emplace_front(std::move(key), std::move(mask));
        byKey.emplace(order.front().first, order.begin());
        bytes += size;
        return &order.front().second;
    }
};

thread_local StringMasks threadStringMasks;

template <class T> void AppendBytes(std::string& key, const T& value)
{
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// What a layout's lines and extents are made of.
std::string LayoutKey(const FontImpl* font, const std::string& text, int width, PangoAlignment align)
{
    std::string key = font->family;
    key += '\0';
    AppendBytes(key, font->pixelSize);
    AppendBytes(key, font->style);
    AppendBytes(key, width);
    AppendBytes(key, align);
    key += text;
    return key;
}

// Pixel bounds [lo, hi) of the span [a, b), clamped so that later integer work cannot overflow.
void PixelSpan(double a, double b, long long* lo, long long* hi)
{
    constexpr double kLimit = 1e15;
    *lo = static_cast<long long>(std::floor(std::clamp(a, -kLimit, kLimit)));
    *hi = static_cast<long long>(std::ceil(std::clamp(b, -kLimit, kLimit)));
}

} // namespace

void ForgetStringMasks()
{
    StringMasks& kept = threadStringMasks;
    kept.byKey.clear();
    kept.order.clear();
    kept.extents.clear();
    kept.bytes = 0;
}

std::string WideToUtf8(const WCHAR* text, std::size_t count)
{
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        if (c == 0)
            continue;
        const bool scalar = c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        AppendUtf8(out, scalar ? char32_t(c) : char32_t(0xFFFD));
    }
    return out;
}

// GDI+'s string formats other than the typographic one pad each line by a sixth of an em at
// both ends.
double LinePadding(const GpFont* font, const GpStringFormat* format)
{
    if (format && ToImpl(format)->typographic)
        return 0;
    return std::min(ToImpl(font)->pixelSize, kMaxPixelSize) / 6;
}

// The top of text `height` high in the box by the format's line alignment; a box without a height
// places the text from its top.
double LineAlignedTop(const GpStringFormat* format, const Gdiplus::RectF& box, double height)
{
    const StringAlignment lineAlign = format ? ToImpl(format)->lineAlign : StringAlignmentNear;
    if (box.Height <= 0 || lineAlign == StringAlignmentNear)
        return box.Y;
    const double room = double(box.Height) - height;
    return box.Y + (lineAlign == StringAlignmentCenter ? room / 2 : room);
}

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipDrawString(GpGraphics* graphics, GDIPCONST WCHAR* string, INT length, GDIPCONST GpFont* font,
                                   GDIPCONST RectF* layoutRect, GDIPCONST GpStringFormat* stringFormat,
                                   GDIPCONST GpBrush* brush)
{
    if (!graphics || !string || !font || !layoutRect || !brush || length < -1)
        return InvalidParameter;
    const RectF rect = *layoutRect;
    if (!std::isfinite(rect.X) || !std::isfinite(rect.Y) || !std::isfinite(rect.Width) || !std::isfinite(rect.Height))
        return InvalidParameter;
    if (!moxplat::AsSolid(brush) && !moxplat::AsHatch(brush))
        return InvalidParameter;

    const std::size_t count = length == -1 ? std::char_traits<WCHAR>::length(string) : std::size_t(length);
    moxplat::TargetLock lock(graphics);
    moxplat::PixelSurface surface;
    if (count == 0 || rect.Width < 0 || rect.Height < 0 || !moxplat::TargetOf(graphics, &surface) ||
        surface.width <= 0 || surface.height <= 0)
        return Ok;
    const std::string text = moxplat::WideToUtf8(string, count);
    if (text.empty())
        return Ok;

    // Text at a point or near its box's edge starts the padding in, and lines wrap in the box
    // less the padding. A box too narrow for the padding shows nothing.
    const double padding = moxplat::LinePadding(font, stringFormat);
    const bool wrap = rect.Width > 0;
    const double lineWidth = rect.Width - 2 * padding;
    if (wrap && lineWidth < 0.5)
        return Ok;

    const moxplat::FontImpl* fontImpl = moxplat::ToImpl(font);
    const StringAlignment align = stringFormat ? moxplat::ToImpl(stringFormat)->align : StringAlignmentNear;
    const int layoutWidth = wrap ? int(std::min<double>(lineWidth, moxplat::kMaxLayoutWidth) * PANGO_SCALE) : -1;
    const PangoAlignment layoutAlign = !wrap                             ? PANGO_ALIGN_LEFT
                                       : align == StringAlignmentCenter ? PANGO_ALIGN_CENTER
                                       : align == StringAlignmentFar    ? PANGO_ALIGN_RIGHT
                                                                        : PANGO_ALIGN_LEFT;
    PangoLayout* layout = nullptr;
    const auto layOut = [&]() -> PangoLayout* {
        PangoLayout* l = moxplat::LayoutFor(fontImpl, text);
        if (!l)
            return nullptr;
        pango_layout_set_width(l, layoutWidth);
        if (wrap)
            pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
        pango_layout_set_alignment(l, layoutAlign);
        return l;
    };
    moxplat::StringMasks& kept = moxplat::threadStringMasks;
    const bool keep = text.size() <= moxplat::kCachedTextBytes;
    std::string key = keep ? moxplat::LayoutKey(fontImpl, text, layoutWidth, layoutAlign) : std::string();
    PangoRectangle ink, logical;
    if (auto found = keep ? kept.extents.find(key) : kept.extents.end(); found != kept.extents.end()) {
        ink = found->second.first;
        logical = found->second.second;
    } else {
        layout = layOut();
        if (!layout)
            return OutOfMemory;
        pango_layout_get_pixel_extents(layout, &ink, &logical);
        if (keep) {
            if (kept.extents.size() >= moxplat::kCachedExtents)
                kept.extents.clear();
            kept.extents.emplace(key, std::make_pair(ink, logical));
        }
    }

    // Without a width to align in, centre and far alignment hang the text around its origin,
    // the padding still kept at the near and far ends.
    double originX = rect.X + padding;
    const double originY = moxplat::LineAlignedTop(stringFormat, rect, logical.height);
    if (!wrap && align == StringAlignmentCenter)
        originX = rect.X - logical.width / 2.0;
    else if (!wrap && align == StringAlignmentFar)
        originX = rect.X - padding - logical.width;

    // The pixels to render: the ink, inside the box where the box has an extent, on the target.
    long long x0, x1, y0, y1;
    moxplat::PixelSpan(originX + ink.x, originX + ink.x + ink.width, &x0, &x1);
    moxplat::PixelSpan(originY + ink.y, originY + ink.y + ink.height, &y0, &y1);
    long long bx0, bx1, by0, by1;
    if (wrap) {
        moxplat::PixelSpan(rect.X, double(rect.X) + rect.Width, &bx0, &bx1);
        x0 = std::max(x0, bx0);
        x1 = std::min(x1, bx1);
    }
    if (rect.Height > 0) {
        moxplat::PixelSpan(rect.Y, double(rect.Y) + rect.Height, &by0, &by1);
        y0 = std::max(y0, by0);
        y1 = std::min(y1, by1);
    }
    moxplat::PixelBox box;
    box.x0 = int(std::clamp<long long>(x0, 0, surface.width));
    box.y0 = int(std::clamp<long long>(y0, 0, surface.height));
    box.x1 = int(std::clamp<long long>(x1, 0, surface.width));
    box.y1 = int(std::clamp<long long>(y1, 0, surface.height));
    if (box.Empty())
        return Ok;

    // The layout's place in the mask and the mask's size make the rest of the mask's key.
    const double placeX = originX - box.x0, placeY = originY - box.y0;
    moxplat::StringMask* mask = nullptr;
    if (keep) {
        moxplat::AppendBytes(key, placeX);
        moxplat::AppendBytes(key, placeY);
        moxplat::AppendBytes(key, box.Width());
        moxplat::AppendBytes(key, box.Height());
        mask = kept.Find(key);
    }
    moxplat::StringMask fresh;
    if (!mask) {
        if (!layout && !(layout = layOut()))
            return OutOfMemory;
        fresh.stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, box.Width());
        fresh.bits.assign(std::size_t(fresh.stride) * box.Height(), 0);
        cairo_surface_t* target = cairo_image_surface_create_for_data(fresh.bits.data(), CAIRO_FORMAT_A8, box.Width(),
                                                                      box.Height(), fresh.stride);
        cairo_t* cr = cairo_create(target);
        Status status = Ok;
        if (cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
            cairo_move_to(cr, placeX, placeY);
            pango_cairo_show_layout(cr, layout);
        } else {
            status = OutOfMemory;
        }
        cairo_destroy(cr);
        cairo_surface_flush(target);
        cairo_surface_destroy(target);
        if (status != Ok)
            return status;
        mask = keep && fresh.bits.size() <= moxplat::kMaxKeptMaskBytes ? kept.Keep(std::move(key), std::move(fresh))
                                                                        : &fresh;
    }

    // The kept colour planes are written straight into the surface, so they serve only where the
    // clip leaves the whole box; elsewhere pixman composites through the clip.
    int cx0 = box.x0, cy0 = box.y0, cx1 = box.x1, cy1 = box.y1;
    const bool unclipped = moxplat::ClipBox(surface, &cx0, &cy0, &cx1, &cy1) && cx0 == box.x0 && cy0 == box.y0 &&
                           cx1 == box.x1 && cy1 == box.y1;
    if (surface.bitsPerPixel == 24 && unclipped && moxplat::AsSolid(brush)) {
        const ARGB colour = moxplat::AsSolid(brush)->color;
        if (!mask->hasPlanes || mask->planesColour != colour) {
            const std::size_t before = mask->planes.size();
            if (!moxplat::SolidMaskPlanes(brush, mask->bits.data(), mask->stride, box.Width(), box.Height(),
                                          &mask->planes))
                return InvalidParameter;
            mask->hasPlanes = true;
            mask->planesColour = colour;
            if (mask != &fresh)
                kept.bytes += mask->planes.size() - before;
        }
        moxplat::CompositeSolidPlanes(surface, box, box.Width(), mask->planes.data());
        return Ok;
    }
    pixman_image_t* source = moxplat::BrushSource(brush);
    if (!source)
        return InvalidParameter;
    moxplat::CompositeOver(surface, source, box, mask->bits.data(), mask->stride);
    pixman_image_unref(source);
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus

namespace Gdiplus {
namespace DllExports {
extern "C" {

// The box the text takes laid out as GdipDrawString lays it out: its lines' width plus the
// padding at both ends, and their height; wrapped at the box's width when it has one. With a
// box height, the lines that do not fit are not counted.
GpStatus WINGDIPAPI GdipMeasureString(GpGraphics* graphics, GDIPCONST WCHAR* string, INT length,
                                      GDIPCONST GpFont* font, GDIPCONST RectF* layoutRect,
                                      GDIPCONST GpStringFormat* stringFormat, RectF* boundingBox,
                                      INT* codepointsFitted, INT* linesFilled)
{
    if (!graphics || !string || !font || !layoutRect || !boundingBox || length < -1)
        return InvalidParameter;
    const RectF rect = *layoutRect;
    if (!std::isfinite(rect.X) || !std::isfinite(rect.Y) || !std::isfinite(rect.Width) || !std::isfinite(rect.Height))
        return InvalidParameter;
    const std::size_t count = length == -1 ? std::char_traits<WCHAR>::length(string) : std::size_t(length);
    *boundingBox = RectF(rect.X, rect.Y, 0, 0);
    if (codepointsFitted)
        *codepointsFitted = 0;
    if (linesFilled)
        *linesFilled = 0;
    const std::string text = moxplat::WideToUtf8(string, count);
    if (text.empty())
        return Ok;
    const double padding = moxplat::LinePadding(font, stringFormat);
    const bool wrap = rect.Width > 0;
    const double lineWidth = rect.Width - 2 * padding;
    if (wrap && lineWidth < 0.5)
        return Ok;
    PangoLayout* layout = moxplat::LayoutFor(moxplat::ToImpl(font), text);
    if (!layout)
        return OutOfMemory;
    const StringAlignment align = stringFormat ? moxplat::ToImpl(stringFormat)->align : StringAlignmentNear;
    if (wrap) {
        pango_layout_set_width(layout, int(std::min<double>(lineWidth, moxplat::kMaxLayoutWidth) * PANGO_SCALE));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    } else {
        pango_layout_set_width(layout, -1);
    }
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout, &ink, &logical);
    int lines = pango_layout_get_line_count(layout);
    double height = double(logical.height) / PANGO_SCALE;
    if (rect.Height > 0 && height > rect.Height && lines > 0) {
        // Whole lines only.
        const double lineHeight = height / lines;
        lines = std::max(1, int(rect.Height / lineHeight));
        height = lines * lineHeight;
    }
    const double width = double(logical.width) / PANGO_SCALE + 2 * padding;
    double x = rect.X;
    if (wrap && align == StringAlignmentCenter)
        x = rect.X + (rect.Width - width) / 2;
    else if (wrap && align == StringAlignmentFar)
        x = rect.X + rect.Width - width;
    else if (!wrap && align == StringAlignmentCenter)
        x = rect.X - width / 2;
    else if (!wrap && align == StringAlignmentFar)
        x = rect.X - width;
    *boundingBox = RectF(REAL(x), REAL(moxplat::LineAlignedTop(stringFormat, rect, height)), REAL(width), REAL(height));
    if (codepointsFitted)
        *codepointsFitted = INT(count);
    if (linesFilled)
        *linesFilled = lines;
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
