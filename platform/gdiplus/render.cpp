// Paths and the shapes built on them, filled or outlined through a Graphics' world transform:
// cairo turns the figures into a coverage mask over the part of the target they reach (aliased
// unless the smoothing mode asks for anti-aliasing), and the brush or pen colour is composited
// through it, OVER or, in SourceCopy mode, replacing what is covered.
//
// Coordinates: with PixelOffsetModeNone (GDI+'s default) pixel centres lie on whole coordinates,
// so a world point p lands at device point D(p) + 0.5 in cairo's space, where centres lie on
// halves; PixelOffsetModeHalf drops the half.
#include "gdiplus_tools.h"

#include <cairo.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

using namespace Gdiplus;

namespace moxplat {

namespace {

// Beyond this, cairo's 24.8 fixed point cannot hold a coordinate; such shapes are refused.
constexpr double kCoordinateLimit = 1 << 22;

double CentreShift(GpGraphics* g)
{
    return ToImpl(g)->state.pixelOffset == PixelOffsetModeHalf ? 0.0 : 0.5;
}

bool AntiAliased(GpGraphics* g)
{
    const SmoothingMode mode = ToImpl(g)->state.smoothing;
    return mode == SmoothingModeAntiAlias || mode == SmoothingModeAntiAlias8x8;
}

// The figures into cairo, each point mapped by m (cairo space). Fill closes every figure.
void TracePath(cairo_t* cr, const PathImpl& path, const double m[6], bool closeAll)
{
    const std::size_t n = path.points.size();
    auto at = [&](std::size_t i, double* x, double* y) {
        const double px = path.points[i].X, py = path.points[i].Y;
        *x = px * m[0] + py * m[2] + m[4];
        *y = px * m[1] + py * m[3] + m[5];
    };
    bool open = false;
    for (std::size_t i = 0; i < n; ++i) {
        const BYTE type = path.types[i];
        double x, y;
        at(i, &x, &y);
        switch (type & PathPointTypePathTypeMask) {
        case PathPointTypeStart:
            if (open && closeAll)
                cairo_close_path(cr);
            cairo_move_to(cr, x, y);
            open = true;
            break;
        case PathPointTypeBezier:
            if (i + 2 < n) {
                double x2, y2, x3, y3;
                at(i + 1, &x2, &y2);
                at(i + 2, &x3, &y3);
                if (!open)
                    cairo_move_to(cr, x, y);
                cairo_curve_to(cr, x, y, x2, y2, x3, y3);
                i += 2;
                open = true;
                if (path.types[i] & PathPointTypeCloseSubpath) {
                    cairo_close_path(cr);
                    open = false;
                }
                continue;
            }
            [[fallthrough]];
        default:
            if (open)
                cairo_line_to(cr, x, y);
            else
                cairo_move_to(cr, x, y);
            open = true;
            break;
        }
        if (type & PathPointTypeCloseSubpath) {
            cairo_close_path(cr);
            open = false;
        }
    }
    if (open && closeAll)
        cairo_close_path(cr);
}

// The device box the points reach (grown by `margin` pixels), clipped to the surface; false
// when a point is not finite or too far out to rasterise.
bool DeviceBox(const PathImpl& path, const double m[6], double margin, const PixelSurface& s, PixelBox* box)
{
    double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
    for (const PointF& p : path.points) {
        const double x = p.X * m[0] + p.Y * m[2] + m[4], y = p.X * m[1] + p.Y * m[3] + m[5];
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > kCoordinateLimit ||
            std::fabs(y) > kCoordinateLimit)
            return false;
        lo[0] = std::min(lo[0], x);
        lo[1] = std::min(lo[1], y);
        hi[0] = std::max(hi[0], x);
        hi[1] = std::max(hi[1], y);
    }
    box->x0 = int(std::clamp(std::floor(lo[0] - margin) - 1, 0.0, double(s.width)));
    box->y0 = int(std::clamp(std::floor(lo[1] - margin) - 1, 0.0, double(s.height)));
    box->x1 = int(std::clamp(std::ceil(hi[0] + margin) + 1, 0.0, double(s.width)));
    box->y1 = int(std::clamp(std::ceil(hi[1] + margin) + 1, 0.0, double(s.height)));
    return true;
}

// An A8 mask over a box with a cairo context drawing into it in surface coordinates.
class MaskCanvas {
public:
    explicit MaskCanvas(const PixelBox& box, bool antialias)
        : box_(box), stride_(cairo_format_stride_for_width(CAIRO_FORMAT_A8, box.Width())),
          data_(std::size_t(stride_) * std::size_t(box.Height()), 0)
    {
        surface_ = cairo_image_surface_create_for_data(data_.data(), CAIRO_FORMAT_A8, box.Width(), box.Height(),
                                                       stride_);
        cr_ = cairo_create(surface_);
        cairo_set_antialias(cr_, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        cairo_set_source_rgba(cr_, 0, 0, 0, 1);
    }
    ~MaskCanvas()
    {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    MaskCanvas(const MaskCanvas&) = delete;
    MaskCanvas& operator=(const MaskCanvas&) = delete;

    bool Ok() const { return cairo_status(cr_) == CAIRO_STATUS_SUCCESS; }
    cairo_t* Context() { return cr_; }
    void Finish() { cairo_surface_flush(surface_); }
    std::uint8_t* Data() { return data_.data(); }
    int Stride() const { return stride_; }

private:
    PixelBox box_;
    int stride_;
    std::vector<std::uint8_t> data_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Composites the source through the mask: OVER, or in SourceCopy mode a replacement of the
// covered part (what was there fades out by the coverage, the source comes in by it).
void PaintThrough(GpGraphics* g, const PixelSurface& surface, pixman_image_t* source, const PixelBox& box,
                  std::uint8_t* mask, int stride)
{
    if (ToImpl(g)->state.compositing != CompositingModeSourceCopy) {
        CompositeOver(surface, source, box, mask, stride);
        return;
    }
    pixman_image_t* target = WrapSurface(surface);
    pixman_image_t* maskImage =
        pixman_image_create_bits(PIXMAN_a8, box.Width(), box.Height(), reinterpret_cast<std::uint32_t*>(mask), stride);
    const pixman_color_t white = {0xffff, 0xffff, 0xffff, 0xffff};
    pixman_image_t* opaque = pixman_image_create_solid_fill(&white);
    if (target && maskImage && opaque) {
        pixman_image_composite32(PIXMAN_OP_OUT_REVERSE, opaque, maskImage, target, 0, 0, 0, 0, box.x0, box.y0,
                                 box.Width(), box.Height());
        pixman_image_composite32(PIXMAN_OP_ADD, source, maskImage, target, box.x0, box.y0, 0, 0, box.x0, box.y0,
                                 box.Width(), box.Height());
    }
    for (pixman_image_t* image : {target, maskImage, opaque})
        if (image)
            pixman_image_unref(image);
}

cairo_line_cap_t CapOf(LineCap cap)
{
    switch (cap) {
    case LineCapRound:
    case LineCapRoundAnchor:
        return CAIRO_LINE_CAP_ROUND;
    case LineCapSquare:
    case LineCapSquareAnchor:
        return CAIRO_LINE_CAP_SQUARE;
    default:
        return CAIRO_LINE_CAP_BUTT;
    }
}

cairo_line_join_t JoinOf(LineJoin join)
{
    switch (join) {
    case LineJoinBevel:
        return CAIRO_LINE_JOIN_BEVEL;
    case LineJoinRound:
        return CAIRO_LINE_JOIN_ROUND;
    default:
        return CAIRO_LINE_JOIN_MITER;
    }
}

} // namespace

Status FillPathWith(GpGraphics* graphics, const GpBrush* brush, const PathImpl& path)
{
    if (!graphics || !IsBrush(brush))
        return InvalidParameter;
    TargetLock lock(graphics);
    PixelSurface surface;
    if (!TargetOf(graphics, &surface) || surface.width <= 0 || surface.height <= 0 || path.points.empty())
        return Ok;
    double m[6];
    DeviceTransform(graphics, m);
    const double shift = CentreShift(graphics);
    m[4] += shift;
    m[5] += shift;
    PixelBox box;
    if (!DeviceBox(path, m, 0, surface, &box))
        return ValueOverflow;
    if (box.Empty())
        return Ok;
    MaskCanvas canvas(box, AntiAliased(graphics));
    if (!canvas.Ok())
        return OutOfMemory;
    m[4] -= box.x0;
    m[5] -= box.y0;
    cairo_t* cr = canvas.Context();
    cairo_set_fill_rule(cr, path.fill == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    TracePath(cr, path, m, true);
    cairo_fill(cr);
    canvas.Finish();
    pixman_image_t* source = BrushSource(brush, graphics);
    if (!source)
        return OutOfMemory;
    PaintThrough(graphics, surface, source, box, canvas.Data(), canvas.Stride());
    pixman_image_unref(source);
    return Ok;
}

Status StrokePathWith(GpGraphics* graphics, const PenImpl* pen, const PathImpl& path)
{
    if (!graphics || !pen)
        return InvalidParameter;
    TargetLock lock(graphics);
    PixelSurface surface;
    if (!TargetOf(graphics, &surface) || surface.width <= 0 || surface.height <= 0 || path.points.empty())
        return Ok;
    double d[6];
    DeviceTransform(graphics, d);
    const double scale = std::sqrt(std::fabs(d[0] * d[3] - d[1] * d[2]));
    // The pen's width in device pixels; at least one pixel is always drawn.
    const double devicePixels =
        pen->unit == UnitWorld ? pen->width * scale : pen->width * UnitPixels(pen->unit);
    const bool inWorld = pen->unit == UnitWorld && devicePixels >= 1 && scale > 0;
    const double deviceWidth = std::min(std::max(1.0, devicePixels), 2.0 * (surface.width + surface.height) + 8);
    const double shift = CentreShift(graphics);
    double m[6] = {d[0], d[1], d[2], d[3], d[4] + shift, d[5] + shift};
    PixelBox box;
    // Mitred joins reach further than half the width; GDI+'s miter limit is 10.
    const double reach = deviceWidth * (pen->join == LineJoinMiter ? 5.0 : 1.0) + 2;
    if (!DeviceBox(path, m, reach, surface, &box))
        return ValueOverflow;
    if (box.Empty())
        return Ok;
    MaskCanvas canvas(box, AntiAliased(graphics));
    if (!canvas.Ok())
        return OutOfMemory;
    cairo_t* cr = canvas.Context();
    m[4] -= box.x0;
    m[5] -= box.y0;
    double lineWidth = deviceWidth;
    if (inWorld) {
        // Strokes in world units follow the transform (a scaled-up pen is wider one way).
        cairo_matrix_t cm;
        cairo_matrix_init(&cm, m[0], m[1], m[2], m[3], m[4], m[5]);
        cairo_set_matrix(cr, &cm);
        const double identity[6] = {1, 0, 0, 1, 0, 0};
        TracePath(cr, path, identity, false);
        lineWidth = pen->width;
    } else {
        TracePath(cr, path, m, false);
    }
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_join(cr, JoinOf(pen->join));
    cairo_set_miter_limit(cr, 10);
    // A one-pixel aliased line covers both its end points, as GDI+ draws it.
    const bool thin = !inWorld && deviceWidth <= 1 && !AntiAliased(graphics);
    cairo_set_line_cap(cr, thin && pen->startCap == LineCapFlat ? CAIRO_LINE_CAP_SQUARE : CapOf(pen->startCap));
    const double unitDash[][6] = {{0}, {3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
    const int dashCount[] = {0, 2, 2, 4, 6};
    if (pen->dash > DashStyleSolid && pen->dash < DashStyleCustom) {
        double lengths[6];
        for (int i = 0; i < dashCount[pen->dash]; ++i)
            lengths[i] = unitDash[pen->dash][i] * lineWidth;
        cairo_set_dash(cr, lengths, dashCount[pen->dash], 0);
    } else if (pen->dash == DashStyleCustom && !pen->dashArray.empty()) {
        std::vector<double> lengths(pen->dashArray.begin(), pen->dashArray.end());
        for (double& l : lengths)
            l *= lineWidth;
        cairo_set_dash(cr, lengths.data(), int(lengths.size()), 0);
    }
    cairo_stroke(cr);
    canvas.Finish();
    const pixman_color_t colour = PixmanColorOf(pen->color);
    pixman_image_t* source =
        pen->brush ? BrushSource(pen->brush, graphics) : pixman_image_create_solid_fill(&colour);
    if (!source)
        return OutOfMemory;
    PaintThrough(graphics, surface, source, box, canvas.Data(), canvas.Stride());
    pixman_image_unref(source);
    return Ok;
}

} // namespace moxplat

using moxplat::PathImpl;

namespace {

bool Finite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

template <typename Build> GpStatus Fill(GpGraphics* graphics, GpBrush* brush, Build build)
{
    if (!graphics || !brush)
        return InvalidParameter;
    try {
        PathImpl path;
        build(path);
        return moxplat::FillPathWith(graphics, brush, path);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

template <typename Build> GpStatus Stroke(GpGraphics* graphics, GpPen* pen, Build build)
{
    if (!graphics || !pen)
        return InvalidParameter;
    try {
        PathImpl path;
        build(path);
        return moxplat::StrokePathWith(graphics, moxplat::ToImpl(pen), path);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

std::vector<PointF> ToFloat(const GpPoint* points, INT count)
{
    std::vector<PointF> out;
    for (INT i = 0; i < count; ++i)
        out.push_back(PointF(REAL(points[i].X), REAL(points[i].Y)));
    return out;
}

bool Whole(std::initializer_list<double> values)
{
    for (double v : values)
        if (v != std::floor(v) || std::fabs(v) > 0x3fffffff)
            return false;
    return true;
}

} // namespace

namespace moxplat {

// The integer calls keep their exact pixel rules when nothing changes where pixels land.
bool PlainTarget(GpGraphics* g, const GpPen* pen)
{
    // The integer pen calls paint one colour.
    if (pen && ToImpl(pen)->brush)
        return false;
    return PlainTarget(g);
}

bool PlainTarget(GpGraphics* g)
{
    const GraphicsImpl::State& s = ToImpl(g)->state;
    return IsIdentityDevice(g) && s.compositing == CompositingModeSourceOver && s.pixelOffset != PixelOffsetModeHalf &&
           s.smoothing != SmoothingModeAntiAlias && s.smoothing != SmoothingModeAntiAlias8x8;
}

Status StrokeLine(GpGraphics* graphics, GpPen* pen, double x1, double y1, double x2, double y2)
{
    return Stroke(graphics, pen, [&](PathImpl& p) {
        const PointF pts[2] = {PointF(REAL(x1), REAL(y1)), PointF(REAL(x2), REAL(y2))};
        AppendLines(p, pts, 2);
    });
}

Status StrokeRectangle(GpGraphics* graphics, GpPen* pen, double x, double y, double w, double h)
{
    return Stroke(graphics, pen, [&](PathImpl& p) { AppendRectangle(p, x, y, w, h); });
}

Status FillRectangleShape(GpGraphics* graphics, GpBrush* brush, double x, double y, double w, double h)
{
    return Fill(graphics, brush, [&](PathImpl& p) { AppendRectangle(p, x, y, w, h); });
}

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path)
{
    if (!graphics || !brush || !path)
        return InvalidParameter;
    return moxplat::FillPathWith(graphics, brush, *moxplat::ToImpl(path));
}

GpStatus WINGDIPAPI GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path)
{
    if (!graphics || !pen || !path)
        return InvalidParameter;
    return moxplat::StrokePathWith(graphics, moxplat::ToImpl(pen), *moxplat::ToImpl(path));
}

GpStatus WINGDIPAPI GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    if (!graphics || !pen || !Finite({x1, y1, x2, y2}))
        return InvalidParameter;
    if (Whole({x1, y1, x2, y2}) && moxplat::PlainTarget(graphics, pen))
        return GdipDrawLineI(graphics, pen, INT(x1), INT(y1), INT(x2), INT(y2));
    return moxplat::StrokeLine(graphics, pen, x1, y1, x2, y2);
}

GpStatus WINGDIPAPI GdipDrawLines(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count)
{
    if (!graphics || !pen || !points || count < 2)
        return InvalidParameter;
    return Stroke(graphics, pen, [&](PathImpl& p) { moxplat::AppendLines(p, points, count); });
}

GpStatus WINGDIPAPI GdipDrawLinesI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count)
{
    if (!graphics || !pen || !points || count < 2)
        return InvalidParameter;
    return Stroke(graphics, pen, [&](PathImpl& p) {
        const std::vector<PointF> f = ToFloat(points, count);
        moxplat::AppendLines(p, f.data(), count);
    });
}

GpStatus WINGDIPAPI GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height)
{
    if (!graphics || !pen || !Finite({x, y, width, height}))
        return InvalidParameter;
    if (Whole({x, y, width, height}) && moxplat::PlainTarget(graphics, pen))
        return GdipDrawRectangleI(graphics, pen, INT(x), INT(y), INT(width), INT(height));
    if (width < 0 || height < 0)
        return Ok;
    return moxplat::StrokeRectangle(graphics, pen, x, y, width, height);
}

GpStatus WINGDIPAPI GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (!graphics || !brush || !Finite({x, y, width, height}))
        return InvalidParameter;
    if (Whole({x, y, width, height}) && moxplat::PlainTarget(graphics) &&
        (moxplat::AsSolid(brush) || moxplat::AsHatch(brush)))
        return GdipFillRectangleI(graphics, brush, INT(x), INT(y), INT(width), INT(height));
    if (width <= 0 || height <= 0)
        return Ok;
    return moxplat::FillRectangleShape(graphics, brush, x, y, width, height);
}

GpStatus WINGDIPAPI GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height)
{
    if (!Finite({x, y, width, height}))
        return InvalidParameter;
    return Stroke(graphics, pen, [&](PathImpl& p) { moxplat::AppendEllipse(p, x, y, width, height); });
}

GpStatus WINGDIPAPI GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height)
{
    return GdipDrawEllipse(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus WINGDIPAPI GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (!Finite({x, y, width, height}))
        return InvalidParameter;
    return Fill(graphics, brush, [&](PathImpl& p) { moxplat::AppendEllipse(p, x, y, width, height); });
}

GpStatus WINGDIPAPI GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height)
{
    return GdipFillEllipse(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height));
}

GpStatus WINGDIPAPI GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height,
                                REAL startAngle, REAL sweepAngle)
{
    if (!Finite({x, y, width, height, startAngle, sweepAngle}))
        return InvalidParameter;
    // An arc of an empty box is refused (MSDN Graphics::DrawArc; gdiplus tests/graphics.c).
    if (width <= 0 || height <= 0)
        return InvalidParameter;
    return Stroke(graphics, pen,
                  [&](PathImpl& p) { moxplat::AppendArc(p, x, y, width, height, startAngle, sweepAngle); });
}

GpStatus WINGDIPAPI GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height,
                                 REAL startAngle, REAL sweepAngle)
{
    return GdipDrawArc(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus WINGDIPAPI GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height,
                                REAL startAngle, REAL sweepAngle)
{
    if (!Finite({x, y, width, height, startAngle, sweepAngle}))
        return InvalidParameter;
    return Stroke(graphics, pen,
                  [&](PathImpl& p) { moxplat::AppendPie(p, x, y, width, height, startAngle, sweepAngle); });
}

GpStatus WINGDIPAPI GdipDrawPieI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height,
                                 REAL startAngle, REAL sweepAngle)
{
    return GdipDrawPie(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus WINGDIPAPI GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height,
                                REAL startAngle, REAL sweepAngle)
{
    if (!Finite({x, y, width, height, startAngle, sweepAngle}))
        return InvalidParameter;
    return Fill(graphics, brush,
                [&](PathImpl& p) { moxplat::AppendPie(p, x, y, width, height, startAngle, sweepAngle); });
}

GpStatus WINGDIPAPI GdipFillPieI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height,
                                 REAL startAngle, REAL sweepAngle)
{
    return GdipFillPie(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

GpStatus WINGDIPAPI GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count)
{
    if (!graphics || !pen || !points || count < 2)
        return InvalidParameter;
    return Stroke(graphics, pen, [&](PathImpl& p) { moxplat::AppendPolygon(p, points, count); });
}

GpStatus WINGDIPAPI GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count)
{
    if (!graphics || !pen || !points || count < 2)
        return InvalidParameter;
    return Stroke(graphics, pen, [&](PathImpl& p) {
        const std::vector<PointF> f = ToFloat(points, count);
        moxplat::AppendPolygon(p, f.data(), count);
    });
}

GpStatus WINGDIPAPI GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points, INT count,
                                    GpFillMode fillMode)
{
    if (!graphics || !brush || !points || count <= 0)
        return InvalidParameter;
    return Fill(graphics, brush, [&](PathImpl& p) {
        p.fill = fillMode;
        moxplat::AppendPolygon(p, points, count);
    });
}

GpStatus WINGDIPAPI GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points, INT count,
                                     GpFillMode fillMode)
{
    if (!graphics || !brush || !points || count <= 0)
        return InvalidParameter;
    return Fill(graphics, brush, [&](PathImpl& p) {
        p.fill = fillMode;
        const std::vector<PointF> f = ToFloat(points, count);
        moxplat::AppendPolygon(p, f.data(), count);
    });
}

GpStatus WINGDIPAPI GdipFillPolygon2(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points, INT count)
{
    return GdipFillPolygon(graphics, brush, points, count, FillModeAlternate);
}

GpStatus WINGDIPAPI GdipFillPolygon2I(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points, INT count)
{
    return GdipFillPolygonI(graphics, brush, points, count, FillModeAlternate);
}

GpStatus WINGDIPAPI GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3,
                                   REAL y3, REAL x4, REAL y4)
{
    if (!Finite({x1, y1, x2, y2, x3, y3, x4, y4}))
        return InvalidParameter;
    return Stroke(graphics, pen, [&](PathImpl& p) {
        const PointF pts[4] = {PointF(x1, y1), PointF(x2, y2), PointF(x3, y3), PointF(x4, y4)};
        moxplat::AppendLines(p, pts, 1);
        for (int i = 1; i < 4; ++i) {
            p.points.push_back(pts[i]);
            p.types.push_back(PathPointTypeBezier);
        }
    });
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
