// Lines, outlined rectangles and filled rectangles, not anti-aliased. A shape is first turned
// into a coverage mask over the part of the target it can reach, then composited once in the
// pen's colour, so overlapping pieces (corners, wide joins) never blend twice.
//
// Pixel rules: a line includes both end points; DrawRectangle(x, y, w, h) covers columns x..x+w
// and rows y..y+h; FillRectangle(x, y, w, h) covers w x h pixels. Pens up to one pixel wide are
// stepped pixel by pixel; wider ones are stroked by cairo into the mask.
#include "gdiplus_tools.h"

#include <cairo.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace Gdiplus;

namespace moxplat {

namespace {

// On and off lengths, in multiples of the pen width; none for a solid line.
struct DashPattern {
    std::vector<double> lengths;
    double Period() const
    {
        double sum = 0;
        for (double l : lengths)
            sum += l;
        return sum;
    }
};

DashPattern PatternOf(const PenImpl* pen)
{
    DashPattern out;
    switch (pen->dash) {
    case DashStyleDash:
        out.lengths = {3, 1};
        break;
    case DashStyleDot:
        out.lengths = {1, 1};
        break;
    case DashStyleDashDot:
        out.lengths = {3, 1, 1, 1};
        break;
    case DashStyleDashDotDot:
        out.lengths = {3, 1, 1, 1, 1, 1};
        break;
    case DashStyleCustom:
        out.lengths.assign(pen->dashArray.begin(), pen->dashArray.end());
        // An odd count repeats with on and off swapped, as a pattern twice as long.
        if (out.lengths.size() % 2)
            out.lengths.insert(out.lengths.end(), pen->dashArray.begin(), pen->dashArray.end());
        break;
    default:
        break;
    }
    return out;
}

// Whether the pixel `index` steps along a one-pixel stroke is drawn.
bool DashOn(const DashPattern& dash, long long index)
{
    if (dash.lengths.empty())
        return true;
    const double period = dash.Period();
    double pos = std::fmod(double(index), period);
    if (pos < 0)
        pos += period;
    for (std::size_t i = 0; i < dash.lengths.size(); ++i) {
        if (pos < dash.lengths[i])
            return i % 2 == 0;
        pos -= dash.lengths[i];
    }
    return false;
}

// The target's pixels clipped to the box spanning [lo, hi] (inclusive, 64-bit) grown by `margin`.
PixelBox ClipToSurface(const PixelSurface& s, long long xlo, long long ylo, long long xhi, long long yhi,
                       long long margin)
{
    PixelBox box;
    box.x0 = int(std::max<long long>(0, xlo - margin));
    box.y0 = int(std::max<long long>(0, ylo - margin));
    box.x1 = int(std::min<long long>(s.width, xhi + margin + 1));
    box.y1 = int(std::min<long long>(s.height, yhi + margin + 1));
    return box;
}

// An A8 coverage mask over `box`, laid out as cairo wants it.
class Coverage {
public:
    explicit Coverage(const PixelBox& box)
        : box_(box), stride_(cairo_format_stride_for_width(CAIRO_FORMAT_A8, box.Width())),
          data_(std::size_t(stride_) * box.Height(), 0)
    {
    }

    const PixelBox& Box() const { return box_; }
    int Stride() const { return stride_; }
    std::uint8_t* Data() { return data_.data(); }

    void Set(long long x, long long y)
    {
        if (x >= box_.x0 && x < box_.x1 && y >= box_.y0 && y < box_.y1)
            data_[std::size_t(y - box_.y0) * stride_ + std::size_t(x - box_.x0)] = 0xFF;
    }

private:
    PixelBox box_;
    int stride_;
    std::vector<std::uint8_t> data_;
};

// The pixels of a one-pixel line from (x1, y1) towards (x2, y2), the end point included when
// `withEnd`; the n-th pixel from the start is dashed as pixel dashStart + n. Only the steps whose
// major coordinate falls inside the mask are visited, so far-away end points cost nothing.
void ThinLine(Coverage& mask, long long x1, long long y1, long long x2, long long y2, bool withEnd,
              const DashPattern& dash, long long dashStart)
{
    const long long dx = x2 - x1, dy = y2 - y1;
    const long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const long long major = std::max(adx, ady);
    const long long last = withEnd ? major : major - 1;
    if (last < 0)
        return;
    if (major == 0) {
        if (DashOn(dash, dashStart))
            mask.Set(x1, y1);
        return;
    }
    const bool xMajor = adx >= ady;
    const long long start = xMajor ? x1 : y1;
    const long long step = xMajor ? (dx < 0 ? -1 : 1) : (dy < 0 ? -1 : 1);
    const long long minorStart = xMajor ? y1 : x1;
    const long long minorStep = xMajor ? (dy < 0 ? -1 : 1) : (dx < 0 ? -1 : 1);
    const long long minorDelta = xMajor ? ady : adx;
    const PixelBox& box = mask.Box();
    const long long lo = xMajor ? box.x0 : box.y0, hi = (xMajor ? box.x1 : box.y1) - 1;

    // Steps n with start + n * step inside [lo, hi], intersected with [0, last].
    long long nFirst, nLast;
    if (step > 0) {
        nFirst = lo - start;
        nLast = hi - start;
    } else {
        nFirst = start - hi;
        nLast = start - lo;
    }
    nFirst = std::max<long long>(nFirst, 0);
    nLast = std::min(nLast, last);
    for (long long n = nFirst; n <= nLast; ++n) {
        if (!DashOn(dash, dashStart + n))
            continue;
        // The minor coordinate rounded to the nearest pixel, halves towards the larger coordinate
        // whichever way the line runs, so a line and its reverse cover the same pixels. 128 bits
        // because both factors may approach 2^32.
        const __int128 num = __int128(2) * n * minorDelta + major - (minorStep < 0 ? 1 : 0);
        const long long minorOffset = static_cast<long long>(num / (__int128(2) * major));
        const long long a = start + n * step, b = minorStart + minorOffset * minorStep;
        if (xMajor)
            mask.Set(a, b);
        else
            mask.Set(b, a);
    }
}

// A stroke of `width` pixels along the segment from pixel (ax, ay) to pixel (bx, by), both
// stretched by `extend` pixels so that the end pixels (or a rectangle's corners) are covered;
// the dash pattern stands at `dashOffset` pixels where the stretched stroke starts, so a dash
// begins exactly on the first pixel.
void WideSegment(cairo_t* cr, const PixelBox& box, double ax, double ay, double bx, double by, double width,
                 double extend, const DashPattern& dash, double dashOffset)
{
    double dx = bx - ax, dy = by - ay;
    double length = std::hypot(dx, dy);
    double ux = 1, uy = 0;
    if (length > 0) {
        ux = dx / length;
        uy = dy / length;
    }
    ax -= ux * extend;
    ay -= uy * extend;
    bx += ux * extend;
    by += uy * extend;
    dx = bx - ax;
    dy = by - ay;
    length = std::hypot(dx, dy);

    // Keep only the part near the mask, so cairo never sees coordinates it cannot hold; the
    // dash offset moves with the start.
    const double margin = width + 2;
    const double lo[2] = {box.x0 - margin, box.y0 - margin}, hi[2] = {box.x1 + margin, box.y1 + margin};
    const double p0[2] = {ax, ay}, d[2] = {dx, dy};
    double t0 = 0, t1 = 1;
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (p0[k] < lo[k] || p0[k] > hi[k])
                return;
            continue;
        }
        double ta = (lo[k] - p0[k]) / d[k], tb = (hi[k] - p0[k]) / d[k];
        if (ta > tb)
            std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
    }
    if (t0 > t1)
        return;

    if (!dash.lengths.empty()) {
        std::vector<double> lengths(dash.lengths);
        for (double& l : lengths)
            l *= width;
        const double period = dash.Period() * width;
        double offset = std::fmod(dashOffset + t0 * length, period);
        if (offset < 0)
            offset += period;
        cairo_set_dash(cr, lengths.data(), int(lengths.size()), offset);
    } else {
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    // Pixel (x, y) is the unit square whose centre is (x + 0.5, y + 0.5) in the mask's space.
    const double ox = 0.5 - box.x0, oy = 0.5 - box.y0;
    cairo_move_to(cr, ax + t0 * dx + ox, ay + t0 * dy + oy);
    cairo_line_to(cr, ax + t1 * dx + ox, ay + t1 * dy + oy);
    cairo_stroke(cr);
}

class WideStroker {
public:
    WideStroker(Coverage& mask, double width) : width_(width)
    {
        surface_ = cairo_image_surface_create_for_data(mask.Data(), CAIRO_FORMAT_A8, mask.Box().Width(),
                                                       mask.Box().Height(), mask.Stride());
        cr_ = cairo_create(surface_);
        cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(cr_, width);
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
        cairo_set_source_rgba(cr_, 0, 0, 0, 1);
    }
    ~WideStroker()
    {
        cairo_destroy(cr_);
        cairo_surface_flush(surface_);
        cairo_surface_destroy(surface_);
    }
    WideStroker(const WideStroker&) = delete;
    WideStroker& operator=(const WideStroker&) = delete;

    bool Ok() const { return cairo_status(cr_) == CAIRO_STATUS_SUCCESS; }
    cairo_t* Context() { return cr_; }
    double Width() const { return width_; }

private:
    double width_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

struct PenDraw {
    PixelSurface surface;
    const PenImpl* pen = nullptr;
    double width = 1; // pixels
    DashPattern dash;
    bool thin = true;
    long long margin = 0; // how far the stroke reaches beyond its centre line
};

// Checks the arguments of a pen call and finds what it draws into. Returns the status to give back
// when it cannot draw (ok with *draw false when there is nothing to draw into).
Status PreparePen(GpGraphics* graphics, GpPen* pen, PenDraw* out, bool* draw)
{
    *draw = false;
    if (!graphics || !pen)
        return InvalidParameter;
    if (!TargetOf(graphics, &out->surface) || out->surface.width <= 0 || out->surface.height <= 0)
        return Ok;
    out->pen = ToImpl(pen);
    // A pen thinner than a pixel still draws one pixel; a pen wider than the target's size in
    // every direction covers everything it can reach, so wider ones need not be rasterised.
    const double limit = 2.0 * (double(out->surface.width) + out->surface.height) + 8;
    out->width = std::min(limit, std::max(1.0, double(out->pen->width) * UnitPixels(out->pen->unit)));
    out->dash = PatternOf(out->pen);
    out->thin = out->width <= 1.0;
    out->margin = static_cast<long long>(std::ceil(out->width / 2)) + 1;
    *draw = true;
    return Ok;
}

void Paint(const PenDraw& draw, Coverage& mask)
{
    const pixman_color_t colour = [&] {
        const std::uint32_t argb = draw.pen->color, a = argb >> 24;
        auto c = [a](std::uint32_t v) {
            const std::uint32_t p = (v * a + 127) / 255;
            return std::uint16_t(p << 8 | p);
        };
        return pixman_color_t{c((argb >> 16) & 0xFF), c((argb >> 8) & 0xFF), c(argb & 0xFF), std::uint16_t(a << 8 | a)};
    }();
    pixman_image_t* source = pixman_image_create_solid_fill(&colour);
    CompositeOver(draw.surface, source, mask.Box(), mask.Data(), mask.Stride());
    if (source)
        pixman_image_unref(source);
}

// Opaque brushes need no blending: each row of the box is a copy of one of eight prepared rows,
// one per tile row. Returns false for a brush with any transparency, which pixman composites.
bool FillOpaque(const PixelSurface& surface, const GpBrush* brush, const PixelBox& box)
{
    if (surface.bitsPerPixel != 24)
        return false;
    static const std::vector<std::uint8_t> kSolidTile(64, 0xFF);
    ARGB fore = 0, back = 0;
    const std::uint8_t* tile = nullptr;
    if (const SolidFillImpl* solid = AsSolid(brush)) {
        fore = back = solid->color;
        tile = kSolidTile.data();
    } else if (const HatchImpl* hatch = AsHatch(brush)) {
        fore = hatch->fore;
        back = hatch->back;
        tile = HatchTile(hatch->style);
    }
    if (!tile || (fore >> 24) != 0xFF || (back >> 24) != 0xFF)
        return false;

    std::uint32_t colours[64]; // opaque, so premultiplied is plain
    for (int i = 0; i < 64; ++i)
        colours[i] = HatchPixel(fore, back, tile[i]);
    // Rows start on the tile grid so that column x uses tile column x mod 8.
    const int gridX = box.x0 & ~7;
    const std::size_t span = std::size_t(box.x1 - gridX);
    std::vector<std::uint8_t> rows(8 * span * 3);
    for (int r = 0; r < 8; ++r) {
        std::uint8_t* out = rows.data() + r * span * 3;
        for (std::size_t i = 0; i < span; ++i) {
            const std::uint32_t c = colours[r * 8 + (i & 7)];
            out[3 * i] = std::uint8_t(c);
            out[3 * i + 1] = std::uint8_t(c >> 8);
            out[3 * i + 2] = std::uint8_t(c >> 16);
        }
    }
    const std::size_t skip = std::size_t(box.x0 - gridX) * 3, bytes = std::size_t(box.Width()) * 3;
    for (int y = box.y0; y < box.y1; ++y)
        std::memcpy(surface.bits + std::ptrdiff_t(y) * surface.stride + std::ptrdiff_t(box.x0) * 3,
                    rows.data() + (y & 7) * span * 3 + skip, bytes);
    return true;
}

} // namespace

double UnitPixels(Unit unit)
{
    switch (unit) {
    case UnitPoint:
        return 96.0 / 72.0;
    case UnitInch:
        return 96.0;
    case UnitDocument:
        return 96.0 / 300.0;
    case UnitMillimeter:
        return 96.0 / 25.4;
    default:
        return 1.0; // world and pixel units are pixels: the page transform is never changed
    }
}

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2)
{
    if (graphics && pen && !moxplat::PlainTarget(graphics, pen))
        return moxplat::StrokeLine(graphics, pen, x1, y1, x2, y2);
    moxplat::TargetLock lock(graphics);
    moxplat::PenDraw draw;
    bool drawIt = false;
    const Status status = moxplat::PreparePen(graphics, pen, &draw, &drawIt);
    if (!drawIt)
        return status;
    const moxplat::PixelBox box = moxplat::ClipToSurface(draw.surface, std::min(x1, x2), std::min(y1, y2),
                                                         std::max(x1, x2), std::max(y1, y2), draw.margin);
    if (box.Empty())
        return Ok;
    moxplat::Coverage mask(box);
    if (draw.thin) {
        moxplat::ThinLine(mask, x1, y1, x2, y2, true, draw.dash, 0);
    } else {
        moxplat::WideStroker stroker(mask, draw.width);
        if (!stroker.Ok())
            return OutOfMemory;
        moxplat::WideSegment(stroker.Context(), box, x1, y1, x2, y2, draw.width, 0.5, draw.dash, 0);
    }
    moxplat::Paint(draw, mask);
    return Ok;
}

GpStatus WINGDIPAPI GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height)
{
    if (graphics && pen && !moxplat::PlainTarget(graphics, pen))
        return width < 0 || height < 0 ? Ok : moxplat::StrokeRectangle(graphics, pen, x, y, width, height);
    moxplat::TargetLock lock(graphics);
    moxplat::PenDraw draw;
    bool drawIt = false;
    const Status status = moxplat::PreparePen(graphics, pen, &draw, &drawIt);
    if (!drawIt)
        return status;
    if (width < 0 || height < 0)
        return Ok; // an inverted rectangle has no outline
    const long long left = x, top = y, right = left + width, bottom = top + height;
    const moxplat::PixelBox box = moxplat::ClipToSurface(draw.surface, left, top, right, bottom, draw.margin);
    if (box.Empty())
        return Ok;
    moxplat::Coverage mask(box);
    // Clockwise from the top-left corner, the dash pattern running on around the corners.
    const long long corners[5][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    if (draw.thin) {
        if (width == 0 || height == 0) {
            moxplat::ThinLine(mask, left, top, right, bottom, true, draw.dash, 0);
        } else {
            long long along = 0;
            for (int i = 0; i < 4; ++i) {
                const auto* a = corners[i];
                const auto* b = corners[i + 1];
                moxplat::ThinLine(mask, a[0], a[1], b[0], b[1], false, draw.dash, along);
                along += (i % 2 == 0) ? width : height;
            }
        }
    } else {
        moxplat::WideStroker stroker(mask, draw.width);
        if (!stroker.Ok())
            return OutOfMemory;
        // Each side runs half a pen width past its corners, which fills the corner squares the
        // way a mitred join does.
        double along = 0;
        for (int i = 0; i < 4; ++i) {
            const auto* a = corners[i];
            const auto* b = corners[i + 1];
            moxplat::WideSegment(stroker.Context(), box, double(a[0]), double(a[1]), double(b[0]), double(b[1]),
                                 draw.width, draw.width / 2, draw.dash, along);
            along += (i % 2 == 0) ? width : height;
        }
    }
    moxplat::Paint(draw, mask);
    return Ok;
}

GpStatus WINGDIPAPI GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height)
{
    if (!graphics || !brush)
        return InvalidParameter;
    if (!moxplat::PlainTarget(graphics) || !(moxplat::AsSolid(brush) || moxplat::AsHatch(brush)))
        return width <= 0 || height <= 0 ? Ok : moxplat::FillRectangleShape(graphics, brush, x, y, width, height);
    moxplat::TargetLock lock(graphics);
    moxplat::PixelSurface surface;
    if (!moxplat::TargetOf(graphics, &surface) || surface.width <= 0 || surface.height <= 0)
        return Ok;
    if (width <= 0 || height <= 0)
        return Ok;
    moxplat::PixelBox box;
    box.x0 = int(std::max<long long>(0, x));
    box.y0 = int(std::max<long long>(0, y));
    box.x1 = int(std::min<long long>(surface.width, (long long)x + width));
    box.y1 = int(std::min<long long>(surface.height, (long long)y + height));
    // The one-pass fills write the box themselves: within a rectangular clip they keep to it;
    // other clips go through pixman, which carries them.
    const bool direct = moxplat::ClipBox(surface, &box.x0, &box.y0, &box.x1, &box.y1);
    if (box.Empty())
        return Ok;
    if (direct && (moxplat::FillOpaque(surface, brush, box) || moxplat::FillTranslucent(surface, brush, box)))
        return Ok;
    pixman_image_t* source = moxplat::BrushSource(brush);
    if (!source)
        return InvalidParameter;
    moxplat::CompositeOver(surface, source, box, nullptr, 0);
    pixman_image_unref(source);
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
