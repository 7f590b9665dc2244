// Lines and shapes as GDI rasterises them, without anti-aliasing: each call marks the pixels it
// covers in a mask over the part of the surface it can reach (pen, pen-style gap, or brush), and
// the mask is then painted span by span under the DC's ROP2 and clip boxes. A pixel is painted
// once per call, so XOR-style raster operations see every pixel once.
//
// Coverage rules: pixel (i, j) is covered by an area when its centre (i + 0.5, j + 0.5) is, with
// shapes' bounding rectangles taken as [left, right) x [top, bottom): a shape drawn with a pen
// covers that rectangle (pen centred on it when wider than one pixel), without one it covers a
// pixel less to the right and bottom (MSDN Rectangle). One-pixel (cosmetic) lines step
// one pixel a step along their longer axis and leave out their last pixel (MSDN LineTo).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "paint.h"

using namespace moxplat;

namespace {

constexpr double kPi = 3.14159265358979323846;

enum : std::uint8_t { kEmpty = 0, kPen = 1, kGap = 2, kBrush = 3 };

struct PenSpec {
    bool none = false;
    bool cosmetic = true; // one pixel wide, stepped
    double width = 1;
    bool insideFrame = false;
    UINT endCap = PS_ENDCAP_ROUND;
    std::uint32_t color = 0;
    std::vector<int> dashes; // on, off, on, off... in pixels; empty: solid
};

bool PenLocked(Registry& reg, const DrawState& state, PenSpec* out)
{
    EnsureStockObjectsLocked(reg);
    const GdiObject* o = reg.Object(state.pen ? state.pen : reg.stockObjects[BLACK_PEN]);
    if (!o || (o->type != OBJ_PEN && o->type != OBJ_EXTPEN))
        return false;
    *out = PenSpec{};
    out->color = PixelOf(o->dcColored ? state.dcPenColor : o->color);
    const UINT style = o->penStyle & PS_STYLE_MASK;
    if (style == PS_NULL || (o->type == OBJ_EXTPEN && o->penBrushStyle == BS_NULL)) {
        out->none = true;
        return true;
    }
    const bool geometric = o->type == OBJ_EXTPEN && (o->penStyle & PS_TYPE_MASK) == PS_GEOMETRIC;
    out->cosmetic = o->penWidth <= 1 && !(geometric && o->penWidth > 1);
    out->width = out->cosmetic ? 1 : o->penWidth;
    out->insideFrame = style == PS_INSIDEFRAME;
    if (o->type == OBJ_EXTPEN)
        out->endCap = o->penStyle & PS_ENDCAP_MASK;
    // Styles are drawn by one-pixel pens; wider pens draw solid (MSDN CreatePen: a width above
    // one allows only PS_SOLID, PS_NULL and PS_INSIDEFRAME).
    if (!out->cosmetic)
        return true;
    switch (style) {
    case PS_DASH:
        out->dashes = {18, 6};
        break;
    case PS_DOT:
        out->dashes = {3, 3};
        break;
    case PS_DASHDOT:
        out->dashes = {9, 6, 3, 6};
        break;
    case PS_DASHDOTDOT:
        out->dashes = {9, 3, 3, 3, 3, 3};
        break;
    case PS_ALTERNATE:
        out->dashes = {1, 1};
        break;
    case PS_USERSTYLE:
        for (DWORD e : o->styleEntries)
            out->dashes.push_back(static_cast<int>(std::min<DWORD>(e, 1u << 20)));
        if (std::all_of(out->dashes.begin(), out->dashes.end(), [](int d) { return d == 0; }))
            out->dashes.clear();
        if (out->dashes.size() % 2)
            out->dashes.insert(out->dashes.end(), out->dashes.begin(), out->dashes.end());
        break;
    default:
        break;
    }
    return true;
}

// The pixels one call can reach: the bounding box of the target's clip boxes.
struct Mask {
    std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0; // [x0, x1) x [y0, y1)
    std::vector<std::uint8_t> v;

    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    bool Contains(std::int64_t x, std::int64_t y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
    std::uint8_t& At(std::int64_t x, std::int64_t y)
    {
        return v[static_cast<std::size_t>((y - y0) * (x1 - x0) + (x - x0))];
    }
    void Set(std::int64_t x, std::int64_t y, std::uint8_t value)
    {
        if (Contains(x, y))
            At(x, y) = value;
    }
};

// A mask over the target's reach, cut down to `limit` (device coordinates, inclusive of x0/y0,
// exclusive of x1/y1).
void InitMask(Mask& m, const Target& t, std::int64_t lx0, std::int64_t ly0, std::int64_t lx1, std::int64_t ly1)
{
    std::int64_t bx0 = INT64_MAX, by0 = INT64_MAX, bx1 = INT64_MIN, by1 = INT64_MIN;
    for (const RECT& b : t.boxes) {
        bx0 = std::min<std::int64_t>(bx0, b.left);
        by0 = std::min<std::int64_t>(by0, b.top);
        bx1 = std::max<std::int64_t>(bx1, b.right);
        by1 = std::max<std::int64_t>(by1, b.bottom);
    }
    m.x0 = std::max(bx0, lx0);
    m.y0 = std::max(by0, ly0);
    m.x1 = std::min(bx1, lx1);
    m.y1 = std::min(by1, ly1);
    if (m.Empty()) {
        m.x1 = m.x0;
        return;
    }
    m.v.assign(static_cast<std::size_t>((m.x1 - m.x0) * (m.y1 - m.y0)), kEmpty);
}

void PaintMask(Mask& m, const Target& t, const DrawState& state, const PenSpec& pen, const Paint* brush)
{
    if (m.Empty())
        return;
    Paint penPaint, gapPaint;
    penPaint.kind = Paint::Solid;
    penPaint.solid = pen.color;
    if (t.surface.monochromeDDB) {
        // A pen on a monochrome bitmap is white only for the colours Windows lets through,
        // not by nearness: with a black text colour or a white background, white and the
        // background colour; otherwise everything but black and the background colour
        // (gdi32 tests/bitmap.c test_mono_bitmap, is_black_pen).
        const COLORREF c = RGB((pen.color >> 16) & 0xff, (pen.color >> 8) & 0xff, pen.color & 0xff);
        // The DC's colours are compared as given: PALETTEINDEX(0) is not black here.
        const COLORREF fg = state.textColor, bg = state.bkColor;
        const bool black = (fg == 0 || bg == 0xffffff) ? (c != 0xffffff && c != bg) : (c == 0 || c == bg);
        penPaint.solid = black ? 0 : 0xffffffu;
    }
    gapPaint.kind = state.bkMode == OPAQUE ? Paint::Solid : Paint::None;
    gapPaint.solid = PixelOf(state.bkColor);
    const Paint* paints[4] = {nullptr, &penPaint, &gapPaint, brush};
    const std::int64_t w = m.x1 - m.x0;
    for (const RECT& b : t.boxes) {
        const std::int64_t bx0 = std::max<std::int64_t>(b.left, m.x0), bx1 = std::min<std::int64_t>(b.right, m.x1);
        const std::int64_t by0 = std::max<std::int64_t>(b.top, m.y0), by1 = std::min<std::int64_t>(b.bottom, m.y1);
        for (std::int64_t y = by0; y < by1; ++y) {
            const std::uint8_t* row = &m.v[static_cast<std::size_t>((y - m.y0) * w)];
            std::int64_t x = bx0;
            while (x < bx1) {
                const std::uint8_t value = row[x - m.x0];
                std::int64_t end = x + 1;
                while (end < bx1 && row[end - m.x0] == value)
                    ++end;
                if (value != kEmpty && paints[value])
                    FillSpan(t.surface, static_cast<int>(y), static_cast<int>(x), static_cast<int>(end), *paints[value],
                             state.rop2);
                x = end;
            }
        }
    }
}

std::int64_t FloorDiv(__int128 a, __int128 b)
{
    __int128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<std::int64_t>(q);
}

// A one-pixel line from (x0, y0) towards (x1, y1), its last pixel left out. `phase` carries
// the pen style's position from one segment to the next.
void CosmeticLine(Mask& m, const PenSpec& pen, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                  std::int64_t& phase, bool opaqueGaps)
{
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const std::int64_t n = std::max(adx, ady);
    if (n == 0 || m.Empty())
        return;
    const bool xMajor = adx >= ady;
    const std::int64_t major0 = xMajor ? x0 : y0;
    const std::int64_t dir = xMajor ? (dx < 0 ? -1 : 1) : (dy < 0 ? -1 : 1);
    const std::int64_t minorD = xMajor ? dy : dx;
    const std::int64_t minor0 = xMajor ? y0 : x0;
    // Steps whose major coordinate lies inside the mask.
    const std::int64_t lo = xMajor ? m.x0 : m.y0, hi = xMajor ? m.x1 : m.y1;
    std::int64_t i0, i1; // [i0, i1)
    if (dir > 0) {
        i0 = std::max<std::int64_t>(0, lo - major0);
        i1 = std::min<std::int64_t>(n, hi - major0);
    } else {
        i0 = std::max<std::int64_t>(0, major0 - (hi - 1));
        i1 = std::min<std::int64_t>(n, major0 - lo + 1);
    }
    std::int64_t total = 0;
    for (int d : pen.dashes)
        total += d;
    for (std::int64_t i = i0; i < i1; ++i) {
        // Nearest pixel to the ideal line; halves round towards the line's start.
        const std::int64_t minor =
            minor0 + FloorDiv(static_cast<__int128>(2) * i * minorD + n - 1, 2 * static_cast<__int128>(n));
        std::uint8_t value = kPen;
        if (total > 0) {
            std::int64_t pos = (phase + i) % total;
            std::size_t k = 0;
            while (pos >= pen.dashes[k]) {
                pos -= pen.dashes[k];
                ++k;
            }
            value = (k % 2 == 0) ? kPen : kGap;
        }
        if (value == kGap && !opaqueGaps)
            continue;
        const std::int64_t major = major0 + dir * i;
        if (xMajor)
            m.Set(major, minor, value);
        else
            m.Set(minor, major, value);
    }
    phase += n;
}

// A wide line: pixels whose centres lie nearer than sqrt(w*w/4 - 1/4) to the segment, which
// runs through pixel centres for odd widths and between pixels for even ones; round, square or
// flat ends. The end point is drawn.
void WideLine(Mask& m, const PenSpec& pen, double x0, double y0, double x1, double y1)
{
    const double shift = (static_cast<std::int64_t>(pen.width) % 2) ? 0.5 : 0;
    x0 += shift;
    y0 += shift;
    x1 += shift;
    y1 += shift;
    const double r2 = std::max(pen.width * pen.width / 4 - 0.25, 0.0);
    const double r = std::sqrt(r2);
    const double dx = x1 - x0, dy = y1 - y0;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double ext = pen.endCap == PS_ENDCAP_SQUARE ? r : 0;
    const std::int64_t bx0 =
        std::max<std::int64_t>(m.x0, static_cast<std::int64_t>(std::floor(std::min(x0, x1) - r - 1)));
    const std::int64_t bx1 =
        std::min<std::int64_t>(m.x1, static_cast<std::int64_t>(std::ceil(std::max(x0, x1) + r + 2)));
    const std::int64_t by0 =
        std::max<std::int64_t>(m.y0, static_cast<std::int64_t>(std::floor(std::min(y0, y1) - r - 1)));
    const std::int64_t by1 =
        std::min<std::int64_t>(m.y1, static_cast<std::int64_t>(std::ceil(std::max(y0, y1) + r + 2)));
    for (std::int64_t y = by0; y < by1; ++y)
        for (std::int64_t x = bx0; x < bx1; ++x) {
            const double px = static_cast<double>(x) + 0.5 - x0, py = static_cast<double>(y) + 0.5 - y0;
            bool in;
            if (len == 0) {
                in =
                    pen.endCap == PS_ENDCAP_ROUND ? px * px + py * py < r2 : std::fabs(px) < ext && std::fabs(py) < ext;
            } else {
                const double along = (px * dx + py * dy) / len;
                const double across = std::fabs(px * dy - py * dx) / len;
                if (pen.endCap == PS_ENDCAP_ROUND) {
                    const double t = std::clamp(along, 0.0, len);
                    const double ex = px - t * dx / len, ey = py - t * dy / len;
                    in = ex * ex + ey * ey < r2;
                } else {
                    in = across < r && along >= -ext && along <= len + ext;
                }
            }
            if (in)
                m.At(x, y) = kPen;
        }
}

void Polyline(Mask& m, const PenSpec& pen, const std::vector<POINT>& pts, bool opaqueGaps)
{
    if (pen.none)
        return;
    std::int64_t phase = 0;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        if (pen.cosmetic)
            CosmeticLine(m, pen, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, phase, opaqueGaps);
        else
            WideLine(m, pen, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y);
    }
}

// Whether a pixel centre lies in a box with elliptic corners: centre (cx, cy), half extents
// (hw, hh), corner radii (rx, ry). Radii equal to the half extents make an ellipse.
inline bool InRounded(double px, double py, double cx, double cy, double hw, double hh, double rx, double ry,
                      bool closed)
{
    const double ax = std::fabs(px - cx), ay = std::fabs(py - cy);
    if (hw <= 0 || hh <= 0)
        return false;
    if (closed ? (ax > hw || ay > hh) : (ax >= hw || ay >= hh))
        return false;
    rx = std::min(rx, hw);
    ry = std::min(ry, hh);
    const double ex = ax - (hw - rx), ey = ay - (hh - ry);
    if (ex <= 0 || ey <= 0 || rx <= 0 || ry <= 0)
        return true;
    const double d = (ex / rx) * (ex / rx) + (ey / ry) * (ey / ry);
    // A little slack so that points exactly on the curve fall the same way whatever rounding
    // the square roots above took.
    return closed ? d <= 1 + 1e-9 : d < 1 - 1e-9;
}

// Where on the pixel plane the angular limits of Arc, Pie and Chord fall.
struct Sweep {
    bool whole = true;
    double start = 0; // visual angle, counter-clockwise from the x axis
    double extent = 2 * kPi;
    bool Contains(double px, double py, double cx, double cy) const
    {
        if (whole)
            return true;
        double a = std::atan2(-(py - cy), px - cx) - start;
        a = std::fmod(a, 2 * kPi);
        if (a < 0)
            a += 2 * kPi;
        return a <= extent;
    }
};

double VisualAngle(double x, double y, double cx, double cy)
{
    return std::atan2(-(y - cy), x - cx);
}

enum class Figure { Rect, Rounded, Ellipse, ArcOnly, Pie, Chord };

struct Box {
    std::int64_t l, t, r, b;
};

Box Normalised(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b)
{
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    return {l, t, r, b};
}

// Draws one closed figure (or an arc) in device coordinates.
BOOL DrawFigure(HDC hdc, Figure figure, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, double ew,
                double eh, const POINT* radials)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    Target target;
    DCObject* d = reg.DC(hdc);
    if (!d || !TargetLocked(reg, hdc, &target))
        return FALSE;
    const DrawState& st = d->draw;
    PenSpec pen;
    Paint brush;
    if (!PenLocked(reg, st, &pen))
        return FALSE;
    const bool filled = figure != Figure::ArcOnly;
    if (filled && !BrushPaintLocked(reg, st, SelectedBrushLocked(reg, hdc), &brush))
        return FALSE;
    const std::int64_t ox = target.offsetX, oy = target.offsetY;
    Box box = Normalised(l + ox, t + oy, r + ox, b + oy);
    if (pen.none) {
        if (figure == Figure::ArcOnly)
            return TRUE;
        // Without a pen a rectangle is a pixel smaller to the right and bottom (MSDN Rectangle);
        // an ellipse keeps its whole box (as Wine draws it).
        if (figure == Figure::Rect || figure == Figure::Rounded) {
            box.r -= 1;
            box.b -= 1;
        }
    }
    // Outer and inner outlines of the pen, as boxes with elliptic corners around (cx, cy). A
    // one-pixel pen covers the rectangle's edge pixels. A wider pen covers the pixels whose
    // centres lie nearer than sqrt(w*w/4 - 1/4) to its path, which runs through the centres of
    // the edge pixels (between two pixels for even widths), and an inside-frame pen's path is
    // moved in so that the pen stays inside the rectangle.
    const double w = pen.none ? 0 : pen.width;
    const bool wide = !pen.none && !pen.cosmetic;
    double cx, cy, outerW, outerH, innerW, innerH, outerRx = 0, outerRy = 0, innerRx = 0, innerRy = 0, pathW, pathH;
    double cornerX = figure == Figure::Rounded ? std::fabs(ew) / 2 : 0;
    double cornerY = figure == Figure::Rounded ? std::fabs(eh) / 2 : 0;
    if (!wide) {
        cx = (static_cast<double>(box.l) + static_cast<double>(box.r)) / 2;
        cy = (static_cast<double>(box.t) + static_cast<double>(box.b)) / 2;
        outerW = (static_cast<double>(box.r) - static_cast<double>(box.l)) / 2;
        outerH = (static_cast<double>(box.b) - static_cast<double>(box.t)) / 2;
        const double inset = pen.none ? 0 : 1;
        innerW = outerW - inset;
        innerH = outerH - inset;
        outerRx = cornerX;
        outerRy = cornerY;
        innerRx = std::max(cornerX - inset, 0.0);
        innerRy = std::max(cornerY - inset, 0.0);
        pathW = outerW - 0.5;
        pathH = outerH - 0.5;
    } else {
        const std::int64_t iw = static_cast<std::int64_t>(w);
        const double shift = (iw % 2) ? 0.5 : 0;
        std::int64_t l = box.l, t = box.t, r = box.r, b = box.b;
        if (pen.insideFrame) {
            l += iw / 2;
            t += iw / 2;
            r -= (iw + 1) / 2 - 1;
            b -= (iw + 1) / 2 - 1;
        }
        const double pl = static_cast<double>(l) + shift, pr = static_cast<double>(r - 1) + shift;
        const double pt = static_cast<double>(t) + shift, pb = static_cast<double>(b - 1) + shift;
        const double h = std::sqrt(std::max(w * w / 4 - 0.25, 0.0));
        cx = (pl + pr) / 2;
        cy = (pt + pb) / 2;
        pathW = std::max((pr - pl) / 2, 0.0);
        pathH = std::max((pb - pt) / 2, 0.0);
        outerW = pathW + h;
        outerH = pathH + h;
        innerW = pathW - h;
        innerH = pathH - h;
        // Rectangles' corners are the pen's round joins.
        outerRx = figure == Figure::Rect ? h : cornerX + h;
        outerRy = figure == Figure::Rect ? h : cornerY + h;
        innerRx = std::max(cornerX - h, 0.0);
        innerRy = std::max(cornerY - h, 0.0);
    }
    if (figure != Figure::Rect && figure != Figure::Rounded) {
        outerRx = outerW;
        outerRy = outerH;
        innerRx = std::max(innerW, 0.0);
        innerRy = std::max(innerH, 0.0);
    }
    Mask m;
    const std::int64_t reach = static_cast<std::int64_t>(std::ceil(w)) + 1;
    InitMask(m, target, box.l - reach, box.t - reach, box.r + reach, box.b + reach);
    if (m.Empty())
        return TRUE;

    Sweep sweep;
    double sx = 0, sy = 0, exx = 0, eyy = 0; // the arc's end points on the ellipse
    if (radials) {
        const double a0 = VisualAngle(radials[0].x + ox, radials[0].y + oy, cx, cy);
        const double a1 = VisualAngle(radials[1].x + ox, radials[1].y + oy, cx, cy);
        const bool ccw = st.arcDirection == AD_COUNTERCLOCKWISE;
        double extent = ccw ? a1 - a0 : a0 - a1;
        extent = std::fmod(extent, 2 * kPi);
        if (extent <= 0)
            extent += 2 * kPi;
        sweep.whole = false;
        sweep.start = ccw ? a0 : a1;
        sweep.extent = extent;
        // End points where the radials meet the pen's centre line.
        sx = cx + pathW * std::cos(a0);
        sy = cy - pathH * std::sin(a0);
        exx = cx + pathW * std::cos(a1);
        eyy = cy - pathH * std::sin(a1);
    }
    // Which side of the chord the arc lies on.
    const double mid = sweep.start + sweep.extent / 2;
    const double mx = cx + pathW * std::cos(mid), my = cy - pathH * std::sin(mid);
    auto side = [&](double px, double py) { return (exx - sx) * (py - sy) - (eyy - sy) * (px - sx); };
    const double arcSide = side(mx, my);

    // Interior with the brush, then the outline with the pen over it.
    const bool ringByPolyline = figure == Figure::Rect && pen.cosmetic && !pen.none;
    for (std::int64_t y = m.y0; y < m.y1; ++y)
        for (std::int64_t x = m.x0; x < m.x1; ++x) {
            const double px = static_cast<double>(x) + 0.5, py = static_cast<double>(y) + 0.5;
            const bool outer = InRounded(px, py, cx, cy, outerW, outerH, outerRx, outerRy, !wide);
            if (!outer)
                continue;
            const bool inner = InRounded(px, py, cx, cy, innerW, innerH, innerRx, innerRy, false);
            const bool inSweep = sweep.Contains(px, py, cx, cy);
            if (inner || pen.none) {
                bool in = filled;
                if (figure == Figure::Pie)
                    in = in && inSweep;
                if (figure == Figure::Chord && !sweep.whole)
                    in = in && ((side(px, py) > 0) == (arcSide > 0));
                if (in)
                    m.At(x, y) = kBrush;
            } else if (!pen.none && !ringByPolyline && inSweep) {
                m.At(x, y) = kPen;
            }
        }
    if (ringByPolyline) {
        // The outline runs counter-clockwise from the top right corner, which is where a pen
        // style's pattern starts (as Wine draws it).
        const std::vector<POINT> ring = {
            {static_cast<LONG>(box.r - 1), static_cast<LONG>(box.t)},
            {static_cast<LONG>(box.l), static_cast<LONG>(box.t)},
            {static_cast<LONG>(box.l), static_cast<LONG>(box.b - 1)},
            {static_cast<LONG>(box.r - 1), static_cast<LONG>(box.b - 1)},
            {static_cast<LONG>(box.r - 1), static_cast<LONG>(box.t)},
        };
        if (box.r - box.l >= 1 && box.b - box.t >= 1)
            Polyline(m, pen, ring, st.bkMode == OPAQUE);
    }
    if (radials && !pen.none && (figure == Figure::Pie || figure == Figure::Chord)) {
        auto pt = [](double x, double y) {
            return POINT{static_cast<LONG>(std::floor(x)), static_cast<LONG>(std::floor(y))};
        };
        std::vector<POINT> lines;
        if (figure == Figure::Pie)
            lines = {pt(sx, sy), pt(cx, cy), pt(exx, eyy)};
        else
            lines = {pt(sx, sy), pt(exx, eyy)};
        Polyline(m, pen, lines, st.bkMode == OPAQUE);
        if (pen.cosmetic)
            m.Set(lines.back().x, lines.back().y, kPen);
    }
    PaintMask(m, target, st, pen, &brush);
    MarkDrawnLocked(reg, hdc);
    return TRUE;
}

// Draws a polyline, optionally closed and filled, in logical coordinates.
BOOL DrawPoly(HDC hdc, const POINT* pts, std::size_t count, bool closed, bool fill, const INT* counts = nullptr,
              std::size_t polygons = 1)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    Target target;
    DCObject* d = reg.DC(hdc);
    if (!d || !TargetLocked(reg, hdc, &target))
        return FALSE;
    const DrawState& st = d->draw;
    PenSpec pen;
    Paint brush;
    if (!PenLocked(reg, st, &pen))
        return FALSE;
    if (fill && !BrushPaintLocked(reg, st, SelectedBrushLocked(reg, hdc), &brush))
        return FALSE;
    std::vector<POINT> dev(count);
    std::int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t x = std::int64_t{pts[i].x} + target.offsetX, y = std::int64_t{pts[i].y} + target.offsetY;
        // Device coordinates stay within GDI's 27-bit range, so no arithmetic below overflows.
        dev[i] = {static_cast<LONG>(std::clamp<std::int64_t>(x, -(1 << 27), 1 << 27)),
                  static_cast<LONG>(std::clamp<std::int64_t>(y, -(1 << 27), 1 << 27))};
        minX = std::min<std::int64_t>(minX, dev[i].x);
        minY = std::min<std::int64_t>(minY, dev[i].y);
        maxX = std::max<std::int64_t>(maxX, dev[i].x);
        maxY = std::max<std::int64_t>(maxY, dev[i].y);
    }
    const std::int64_t reach = pen.cosmetic ? 1 : static_cast<std::int64_t>(std::ceil(pen.width)) + 1;
    Mask m;
    InitMask(m, target, minX - reach, minY - reach, maxX + reach + 1, maxY + reach + 1);
    if (m.Empty())
        return TRUE;
    std::size_t start = 0;
    for (std::size_t p = 0; p < polygons; ++p) {
        const std::size_t n = counts ? static_cast<std::size_t>(counts[p]) : count;
        const std::vector<POINT> poly(dev.begin() + static_cast<std::ptrdiff_t>(start),
                                      dev.begin() + static_cast<std::ptrdiff_t>(start + n));
        start += n;
        if (!fill)
            continue;
        // Scanlines through pixel centres; ALTERNATE fills between odd and even crossings,
        // WINDING where the winding number is not zero.
        struct Crossing {
            double x;
            int dir;
        };
        std::vector<Crossing> xs;
        for (std::int64_t y = m.y0; y < m.y1; ++y) {
            const double yc = static_cast<double>(y) + 0.5;
            xs.clear();
            for (std::size_t i = 0; i < n; ++i) {
                const POINT& a = poly[i];
                const POINT& b = poly[(i + 1) % n];
                if (a.y == b.y)
                    continue;
                const bool down = b.y > a.y;
                const double ya = down ? a.y : b.y, yb = down ? b.y : a.y;
                if (yc < ya || yc >= yb)
                    continue;
                const double x = a.x + (yc - a.y) * static_cast<double>(b.x - a.x) / static_cast<double>(b.y - a.y);
                xs.push_back({x, down ? 1 : -1});
            }
            std::sort(xs.begin(), xs.end(), [](const Crossing& p, const Crossing& q) { return p.x < q.x; });
            int winding = 0;
            for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
                winding += xs[k].dir;
                const bool inside = st.polyFillMode == WINDING ? winding != 0 : (k % 2 == 0);
                if (!inside)
                    continue;
                // Pixels whose centres lie in [xs[k], xs[k+1]).
                const std::int64_t from =
                    std::max<std::int64_t>(m.x0, static_cast<std::int64_t>(std::ceil(xs[k].x - 0.5)));
                const std::int64_t to =
                    std::min<std::int64_t>(m.x1, static_cast<std::int64_t>(std::ceil(xs[k + 1].x - 0.5)));
                for (std::int64_t x = from; x < to; ++x)
                    m.At(x, y) = kBrush;
            }
        }
    }
    start = 0;
    for (std::size_t p = 0; p < polygons; ++p) {
        const std::size_t n = counts ? static_cast<std::size_t>(counts[p]) : count;
        std::vector<POINT> poly(dev.begin() + static_cast<std::ptrdiff_t>(start),
                                dev.begin() + static_cast<std::ptrdiff_t>(start + n));
        start += n;
        if (closed && n > 1)
            poly.push_back(poly.front());
        Polyline(m, pen, poly, st.bkMode == OPAQUE);
    }
    PaintMask(m, target, st, pen, fill ? &brush : nullptr);
    MarkDrawnLocked(reg, hdc);
    return TRUE;
}

} // namespace

extern "C" {

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    DCObject* d = reg.DC(hdc);
    if (!d)
        return FALSE;
    if (lppt)
        *lppt = d->draw.position;
    d->draw.position = {x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y)
{
    POINT pts[2];
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        DCObject* d = reg.DC(hdc);
        if (!d)
            return FALSE;
        pts[0] = d->draw.position;
        pts[1] = {x, y};
    }
    const BOOL ok = DrawPoly(hdc, pts, 2, false, false);
    if (ok) {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (DCObject* d = reg.DC(hdc))
            d->draw.position = {x, y};
    }
    return ok;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt)
{
    // Windows: fewer than two points draw nothing and fail (MSDN Polyline needs two).
    if (!apt || cpt < 2)
        return FALSE;
    return DrawPoly(hdc, apt, static_cast<std::size_t>(cpt), false, false);
}

BOOL WINAPI PolylineTo(HDC hdc, const POINT* apt, DWORD cpt)
{
    if (!apt || cpt == 0 || cpt > 0x7fffffff)
        return FALSE;
    std::vector<POINT> pts(cpt + 1);
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        DCObject* d = reg.DC(hdc);
        if (!d)
            return FALSE;
        pts[0] = d->draw.position;
    }
    std::memcpy(&pts[1], apt, cpt * sizeof(POINT));
    const BOOL ok = DrawPoly(hdc, pts.data(), pts.size(), false, false);
    if (ok) {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (DCObject* d = reg.DC(hdc))
            d->draw.position = pts.back();
    }
    return ok;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt)
{
    if (!apt || cpt < 2)
        return FALSE;
    return DrawPoly(hdc, apt, static_cast<std::size_t>(cpt), true, true);
}

BOOL WINAPI PolyPolygon(HDC hdc, const POINT* apt, const INT* asz, int csz)
{
    if (!apt || !asz || csz <= 0)
        return FALSE;
    std::size_t total = 0;
    for (int i = 0; i < csz; ++i) {
        if (asz[i] < 2)
            return FALSE;
        total += static_cast<std::size_t>(asz[i]);
    }
    return DrawPoly(hdc, apt, total, true, true, asz, static_cast<std::size_t>(csz));
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    return DrawFigure(hdc, Figure::Rect, left, top, right, bottom, 0, 0, nullptr);
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height)
{
    return DrawFigure(hdc, Figure::Rounded, left, top, right, bottom, width, height, nullptr);
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    return DrawFigure(hdc, Figure::Ellipse, left, top, right, bottom, 0, 0, nullptr);
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const POINT radials[2] = {{x3, y3}, {x4, y4}};
    return DrawFigure(hdc, Figure::ArcOnly, x1, y1, x2, y2, 0, 0, radials);
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2)
{
    const POINT radials[2] = {{xr1, yr1}, {xr2, yr2}};
    return DrawFigure(hdc, Figure::Pie, left, top, right, bottom, 0, 0, radials);
}

BOOL WINAPI Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const POINT radials[2] = {{x3, y3}, {x4, y4}};
    return DrawFigure(hdc, Figure::Chord, x1, y1, x2, y2, 0, 0, radials);
}

} // extern "C"
