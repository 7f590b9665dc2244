// Region trees: building, transforming, bounds, hit tests and rasterising. Bounds and area
// questions are answered on the grid the rectangles' edges (and the paths' boxes) make: inside one
// grid cell a rectangle-only region is either wholly in or wholly out, so the answers are exact
// for rectangles; a cell a path's box reaches counts as partly covered.
#include "region.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

// GDI+'s infinite region reaches this far each way (its bounds: -4194304, -4194304, 8388608,
// 8388608; MSDN Region::GetBounds, gdiplus tests/region.c).
constexpr double kInfinite = 4194304.0;
// Grid work (cells times nodes) beyond which bounds fall back to the boxes of the operands.
constexpr double kGridBudget = 4e6;
// The largest pixel area a path region is rasterised over to list its pixels.
constexpr double kPixelBudget = double(1 << 26);

using Kind = RegionNode::Kind;

RegionTree Leaf(Kind kind)
{
    auto n = std::make_shared<RegionNode>();
    n->kind = kind;
    return n;
}

void PathBox(const RegionNode& n, double box[4])
{
    box[0] = box[1] = INFINITY;
    box[2] = box[3] = -INFINITY;
    for (const PointF& p : n.points) {
        box[0] = std::min(box[0], double(p.X));
        box[1] = std::min(box[1], double(p.Y));
        box[2] = std::max(box[2], double(p.X));
        box[3] = std::max(box[3], double(p.Y));
    }
}

// Coverage of one grid cell.
enum Cover : std::uint8_t { Out = 0, In = 1, Part = 2 };

Cover Not(Cover c)
{
    return c == Part ? Part : c == In ? Out : In;
}

Cover Both(Cover a, Cover b)
{
    if (a == Out || b == Out)
        return Out;
    return a == In && b == In ? In : Part;
}

Cover Combine(CombineMode op, Cover a, Cover b)
{
    switch (op) {
    case CombineModeIntersect:
        return Both(a, b);
    case CombineModeUnion:
        if (a == In || b == In)
            return In;
        return a == Out && b == Out ? Out : Part;
    case CombineModeXor:
        if (a == Part || b == Part)
            return Part;
        return a != b ? In : Out;
    case CombineModeExclude:
        return Both(a, Not(b));
    case CombineModeComplement:
        return Both(b, Not(a));
    default:
        return b;
    }
}

bool Apply(CombineMode op, bool a, bool b)
{
    switch (op) {
    case CombineModeIntersect:
        return a && b;
    case CombineModeUnion:
        return a || b;
    case CombineModeXor:
        return a != b;
    case CombineModeExclude:
        return a && !b;
    case CombineModeComplement:
        return b && !a;
    default:
        return b;
    }
}

Cover CellCover(const RegionNode& n, double cx, double cy)
{
    switch (n.kind) {
    case Kind::Empty:
        return Out;
    case Kind::Infinite:
        return In;
    case Kind::Rect:
        return cx >= n.x && cx < n.x + n.w && cy >= n.y && cy < n.y + n.h ? In : Out;
    case Kind::Path: {
        double box[4];
        PathBox(n, box);
        return cx > box[0] && cx < box[2] && cy > box[1] && cy < box[3] ? Part : Out;
    }
    case Kind::Combine:
        return Combine(n.op, CellCover(*n.a, cx, cy), CellCover(*n.b, cx, cy));
    }
    return Out;
}

void GridLines(const RegionNode& n, std::vector<double>& xs, std::vector<double>& ys, std::size_t& nodes)
{
    ++nodes;
    switch (n.kind) {
    case Kind::Empty:
        break;
    case Kind::Infinite:
        xs.insert(xs.end(), {-kInfinite, kInfinite});
        ys.insert(ys.end(), {-kInfinite, kInfinite});
        break;
    case Kind::Rect:
        xs.insert(xs.end(), {n.x, n.x + n.w});
        ys.insert(ys.end(), {n.y, n.y + n.h});
        break;
    case Kind::Path: {
        double box[4];
        PathBox(n, box);
        if (std::isfinite(box[0]) && std::isfinite(box[1]) && std::isfinite(box[2]) && std::isfinite(box[3])) {
            xs.insert(xs.end(), {box[0], box[2]});
            ys.insert(ys.end(), {box[1], box[3]});
        }
        break;
    }
    case Kind::Combine:
        GridLines(*n.a, xs, ys, nodes);
        GridLines(*n.b, xs, ys, nodes);
        break;
    }
}

void Unique(std::vector<double>& v)
{
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

// The region's grid, with each cell's coverage; false when it would take too long.
struct Grid {
    std::vector<double> xs, ys;
    std::vector<Cover> cells; // (ys.size() - 1) rows of (xs.size() - 1)
    Cover At(std::size_t i, std::size_t j) const { return cells[j * (xs.size() - 1) + i]; }
};

bool MakeGrid(const RegionNode& n, Grid* g, const double* extra = nullptr)
{
    std::size_t nodes = 0;
    GridLines(n, g->xs, g->ys, nodes);
    if (extra) {
        g->xs.insert(g->xs.end(), {extra[0], extra[2]});
        g->ys.insert(g->ys.end(), {extra[1], extra[3]});
    }
    Unique(g->xs);
    Unique(g->ys);
    if (g->xs.size() < 2 || g->ys.size() < 2)
        return true;
    const double cells = double(g->xs.size() - 1) * double(g->ys.size() - 1);
    if (cells * double(nodes) > kGridBudget)
        return false;
    g->cells.resize(std::size_t(cells));
    for (std::size_t j = 0; j + 1 < g->ys.size(); ++j)
        for (std::size_t i = 0; i + 1 < g->xs.size(); ++i)
            g->cells[j * (g->xs.size() - 1) + i] =
                CellCover(n, (g->xs[i] + g->xs[i + 1]) / 2, (g->ys[j] + g->ys[j + 1]) / 2);
    return true;
}

// A box holding the region, from its operands' boxes alone: x0 y0 x1 y1; false when empty.
bool LooseBounds(const RegionNode& n, double b[4])
{
    switch (n.kind) {
    case Kind::Empty:
        return false;
    case Kind::Infinite:
        b[0] = b[1] = -kInfinite;
        b[2] = b[3] = kInfinite;
        return true;
    case Kind::Rect:
        b[0] = n.x, b[1] = n.y, b[2] = n.x + n.w, b[3] = n.y + n.h;
        return n.w > 0 && n.h > 0;
    case Kind::Path:
        PathBox(n, b);
        return b[0] < b[2] && b[1] < b[3];
    case Kind::Combine: {
        double l[4], r[4];
        const bool hasL = LooseBounds(*n.a, l), hasR = LooseBounds(*n.b, r);
        switch (n.op) {
        case CombineModeIntersect:
            if (!hasL || !hasR)
                return false;
            b[0] = std::max(l[0], r[0]), b[1] = std::max(l[1], r[1]);
            b[2] = std::min(l[2], r[2]), b[3] = std::min(l[3], r[3]);
            return b[0] < b[2] && b[1] < b[3];
        case CombineModeExclude:
            std::copy(l, l + 4, b);
            return hasL;
        case CombineModeComplement:
        case CombineModeReplace:
            std::copy(r, r + 4, b);
            return hasR;
        default:
            if (!hasL || !hasR) {
                std::copy(hasL ? l : r, (hasL ? l : r) + 4, b);
                return hasL || hasR;
            }
            b[0] = std::min(l[0], r[0]), b[1] = std::min(l[1], r[1]);
            b[2] = std::max(l[2], r[2]), b[3] = std::max(l[3], r[3]);
            return true;
        }
    }
    }
    return false;
}

bool HasPath(const RegionNode& n)
{
    if (n.kind == Kind::Path)
        return true;
    return n.kind == Kind::Combine && (HasPath(*n.a) || HasPath(*n.b));
}

void TraceFigures(cairo_t* cr, const RegionNode& n, double dx, double dy)
{
    const std::size_t count = n.points.size();
    bool open = false;
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE type = n.types[i];
        const double x = n.points[i].X + dx, y = n.points[i].Y + dy;
        if ((type & PathPointTypePathTypeMask) == PathPointTypeStart || !open) {
            cairo_move_to(cr, x, y);
            open = true;
        } else if ((type & PathPointTypePathTypeMask) == PathPointTypeBezier && i + 2 < count) {
            cairo_curve_to(cr, x, y, n.points[i + 1].X + dx, n.points[i + 1].Y + dy, n.points[i + 2].X + dx,
                           n.points[i + 2].Y + dy);
            i += 2;
        } else {
            cairo_line_to(cr, x, y);
        }
        if (n.types[i] & PathPointTypeCloseSubpath) {
            cairo_close_path(cr);
            open = false;
        }
    }
}

bool PathContains(const RegionNode& n, double x, double y)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    cairo_set_fill_rule(cr, n.fill == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    TraceFigures(cr, n, 0, 0);
    const bool in = cairo_status(cr) == CAIRO_STATUS_SUCCESS && cairo_in_fill(cr, x, y);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return in;
}

bool Rasterise(const RegionNode& n, const PixelBox& box, double shift, std::vector<std::uint8_t>& out)
{
    const int w = box.Width(), h = box.Height();
    out.assign(std::size_t(w) * std::size_t(h), 0);
    switch (n.kind) {
    case Kind::Empty:
        return true;
    case Kind::Infinite:
        std::fill(out.begin(), out.end(), 255);
        return true;
    case Kind::Rect: {
        // Pixel i is in when x <= i + c < x + w, c being where its centre lies.
        const double c = 0.5 - shift;
        auto first = [&](double edge, int lo, int hi) {
            return int(std::clamp(std::ceil(edge - c), double(lo), double(hi)));
        };
        const int i0 = first(n.x, box.x0, box.x1), i1 = first(n.x + n.w, box.x0, box.x1);
        const int j0 = first(n.y, box.y0, box.y1), j1 = first(n.y + n.h, box.y0, box.y1);
        for (int j = j0; j < j1; ++j)
            std::fill_n(out.begin() + std::ptrdiff_t(j - box.y0) * w + (i0 - box.x0), std::max(0, i1 - i0), 255);
        return true;
    }
    case Kind::Path: {
        const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, w);
        std::vector<std::uint8_t> data(std::size_t(stride) * std::size_t(h), 0);
        cairo_surface_t* surface = cairo_image_surface_create_for_data(data.data(), CAIRO_FORMAT_A8, w, h, stride);
        cairo_t* cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr, n.fill == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        TraceFigures(cr, n, shift - box.x0, shift - box.y0);
        cairo_fill(cr);
        cairo_surface_flush(surface);
        const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                out[std::size_t(j) * w + i] = data[std::size_t(j) * stride + i] >= 128 ? 255 : 0;
        return ok;
    }
    case Kind::Combine: {
        std::vector<std::uint8_t> right;
        if (!Rasterise(*n.a, box, shift, out) || !Rasterise(*n.b, box, shift, right))
            return false;
        for (std::size_t k = 0; k < out.size(); ++k)
            out[k] = Apply(n.op, out[k] != 0, right[k] != 0) ? 255 : 0;
        return true;
    }
    }
    return false;
}

bool NodeContains(const RegionNode& n, double x, double y)
{
    switch (n.kind) {
    case Kind::Empty:
        return false;
    case Kind::Infinite:
        return true;
    case Kind::Rect:
        return x >= n.x && x < n.x + n.w && y >= n.y && y < n.y + n.h;
    case Kind::Path:
        return PathContains(n, x, y);
    case Kind::Combine:
        return Apply(n.op, NodeContains(*n.a, x, y), NodeContains(*n.b, x, y));
    }
    return false;
}

RegionTree Balanced(const std::vector<RECT>& rects, std::size_t from, std::size_t to)
{
    if (to - from == 1) {
        const RECT& r = rects[from];
        return RectRegion(r.left, r.top, double(r.right) - r.left, double(r.bottom) - r.top);
    }
    const std::size_t mid = from + (to - from) / 2;
    return CombineRegions(Balanced(rects, from, mid), Balanced(rects, mid, to), CombineModeUnion);
}

// Rows of spans into rectangles, rows with the same spans as the row above joining its band.
void SpansToRects(const std::vector<std::vector<std::pair<LONG, LONG>>>& rows, const std::vector<LONG>& rowTop,
                  const std::vector<LONG>& rowBottom, std::vector<RECT>* rects)
{
    std::size_t j = 0;
    while (j < rows.size()) {
        std::size_t k = j + 1;
        while (k < rows.size() && rows[k] == rows[j] && rowTop[k] == rowBottom[k - 1])
            ++k;
        for (const auto& span : rows[j])
            rects->push_back(RECT{span.first, rowTop[j], span.second, rowBottom[k - 1]});
        j = k;
    }
}

} // namespace

RegionTree EmptyRegion()
{
    static const RegionTree empty = Leaf(Kind::Empty);
    return empty;
}

RegionTree InfiniteRegion()
{
    static const RegionTree infinite = Leaf(Kind::Infinite);
    return infinite;
}

RegionTree RectRegion(double x, double y, double w, double h)
{
    auto n = std::make_shared<RegionNode>();
    n->kind = Kind::Rect;
    n->x = w < 0 ? x + w : x;
    n->y = h < 0 ? y + h : y;
    n->w = std::fabs(w);
    n->h = std::fabs(h);
    return n;
}

RegionTree PathRegion(const PathImpl& path)
{
    auto n = std::make_shared<RegionNode>();
    n->kind = Kind::Path;
    n->points = path.points;
    n->types = path.types;
    n->fill = path.fill;
    return n;
}

RegionTree RectsRegion(const std::vector<RECT>& rects)
{
    return rects.empty() ? EmptyRegion() : Balanced(rects, 0, rects.size());
}

RegionTree CombineRegions(const RegionTree& a, const RegionTree& b, CombineMode mode)
{
    const bool aEmpty = a->kind == Kind::Empty, bEmpty = b->kind == Kind::Empty;
    const bool aAll = a->kind == Kind::Infinite, bAll = b->kind == Kind::Infinite;
    switch (mode) {
    case CombineModeReplace:
        return b;
    case CombineModeIntersect:
        if (aEmpty || bEmpty)
            return EmptyRegion();
        if (aAll || bAll)
            return aAll ? b : a;
        break;
    case CombineModeUnion:
        if (aAll || bAll)
            return InfiniteRegion();
        if (aEmpty || bEmpty)
            return aEmpty ? b : a;
        break;
    case CombineModeXor:
        if (aEmpty || bEmpty)
            return aEmpty ? b : a;
        break;
    case CombineModeExclude:
        if (aEmpty || bAll)
            return EmptyRegion();
        if (bEmpty)
            return a;
        break;
    case CombineModeComplement:
        if (bEmpty || aAll)
            return EmptyRegion();
        if (aEmpty)
            return b;
        break;
    }
    auto n = std::make_shared<RegionNode>();
    n->kind = Kind::Combine;
    n->op = mode;
    n->a = a;
    n->b = b;
    return n;
}

RegionTree TransformRegion(const RegionTree& tree, const double m[6])
{
    const RegionNode& n = *tree;
    auto map = [m](double x, double y) {
        return PointF(REAL(x * m[0] + y * m[2] + m[4]), REAL(x * m[1] + y * m[3] + m[5]));
    };
    switch (n.kind) {
    case Kind::Empty:
    case Kind::Infinite:
        return tree;
    case Kind::Rect: {
        if (m[1] == 0 && m[2] == 0)
            return RectRegion(n.x * m[0] + m[4], n.y * m[3] + m[5], n.w * m[0], n.h * m[3]);
        // Turned or sheared, a rectangle becomes a four-sided figure.
        auto p = std::make_shared<RegionNode>();
        p->kind = Kind::Path;
        p->points = {map(n.x, n.y), map(n.x + n.w, n.y), map(n.x + n.w, n.y + n.h), map(n.x, n.y + n.h)};
        p->types = {PathPointTypeStart, PathPointTypeLine, PathPointTypeLine,
                    BYTE(PathPointTypeLine | PathPointTypeCloseSubpath)};
        return p;
    }
    case Kind::Path: {
        auto p = std::make_shared<RegionNode>(n);
        for (PointF& pt : p->points)
            pt = map(pt.X, pt.Y);
        return p;
    }
    case Kind::Combine: {
        auto c = std::make_shared<RegionNode>(n);
        c->a = TransformRegion(n.a, m);
        c->b = TransformRegion(n.b, m);
        return c;
    }
    }
    return tree;
}

bool IsInfiniteRegion(const RegionTree& tree)
{
    return tree->kind == Kind::Infinite;
}

bool RegionBounds(const RegionTree& tree, RectF* bounds)
{
    double b[4] = {INFINITY, INFINITY, -INFINITY, -INFINITY};
    Grid g;
    bool any = false;
    if (MakeGrid(*tree, &g)) {
        for (std::size_t j = 0; j + 1 < g.ys.size(); ++j)
            for (std::size_t i = 0; i + 1 < g.xs.size(); ++i)
                if (g.At(i, j) != Out) {
                    any = true;
                    b[0] = std::min(b[0], g.xs[i]);
                    b[1] = std::min(b[1], g.ys[j]);
                    b[2] = std::max(b[2], g.xs[i + 1]);
                    b[3] = std::max(b[3], g.ys[j + 1]);
                }
    } else {
        any = LooseBounds(*tree, b);
    }
    if (!any) {
        *bounds = RectF(0, 0, 0, 0);
        return false;
    }
    *bounds = RectF(REAL(b[0]), REAL(b[1]), REAL(b[2] - b[0]), REAL(b[3] - b[1]));
    return true;
}

bool RegionContains(const RegionTree& tree, double x, double y)
{
    return NodeContains(*tree, x, y);
}

bool RegionTouches(const RegionTree& tree, double x, double y, double w, double h)
{
    if (!(w > 0) || !(h > 0))
        return false;
    const double r[4] = {x, y, x + w, y + h};
    Grid g;
    if (!MakeGrid(*tree, &g, r)) {
        double b[4];
        return LooseBounds(*tree, b) && b[0] < r[2] && r[0] < b[2] && b[1] < r[3] && r[1] < b[3];
    }
    for (std::size_t j = 0; j + 1 < g.ys.size(); ++j)
        for (std::size_t i = 0; i + 1 < g.xs.size(); ++i)
            if (g.xs[i] >= r[0] && g.xs[i + 1] <= r[2] && g.ys[j] >= r[1] && g.ys[j + 1] <= r[3] &&
                g.At(i, j) != Out)
                return true;
    return false;
}

bool RasteriseRegion(const RegionTree& tree, const PixelBox& box, double shift, std::vector<std::uint8_t>* mask)
{
    if (box.Empty()) {
        mask->clear();
        return true;
    }
    try {
        return Rasterise(*tree, box, shift, *mask);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool RegionPixelRects(const RegionTree& tree, std::vector<RECT>* rects)
{
    rects->clear();
    if (tree->kind == Kind::Infinite)
        return false;
    try {
        std::vector<std::vector<std::pair<LONG, LONG>>> rows;
        std::vector<LONG> tops, bottoms;
        Grid g;
        if (!HasPath(*tree) && MakeGrid(*tree, &g)) {
            // Whole pixels: i is in when x <= i < x + w, so every edge rounds up.
            auto edge = [](double v) { return LONG(std::clamp(std::ceil(v), -kInfinite, kInfinite)); };
            for (std::size_t j = 0; j + 1 < g.ys.size(); ++j) {
                const LONG top = edge(g.ys[j]), bottom = edge(g.ys[j + 1]);
                if (top >= bottom)
                    continue;
                std::vector<std::pair<LONG, LONG>> spans;
                for (std::size_t i = 0; i + 1 < g.xs.size(); ++i) {
                    const LONG left = edge(g.xs[i]), right = edge(g.xs[i + 1]);
                    if (g.At(i, j) != In || left >= right)
                        continue;
                    if (!spans.empty() && spans.back().second == left)
                        spans.back().second = right;
                    else
                        spans.emplace_back(left, right);
                }
                rows.push_back(std::move(spans));
                tops.push_back(top);
                bottoms.push_back(bottom);
            }
        } else {
            RectF b;
            if (!RegionBounds(tree, &b))
                return true;
            PixelBox box;
            box.x0 = int(std::ceil(b.X));
            box.y0 = int(std::ceil(b.Y));
            box.x1 = int(std::ceil(double(b.X) + b.Width));
            box.y1 = int(std::ceil(double(b.Y) + b.Height));
            if (double(box.Width()) * double(box.Height()) > kPixelBudget)
                return false;
            std::vector<std::uint8_t> mask;
            if (!RasteriseRegion(tree, box, 0.5, &mask))
                return false;
            for (int j = 0; j < box.Height(); ++j) {
                std::vector<std::pair<LONG, LONG>> spans;
                const std::uint8_t* row = mask.data() + std::size_t(j) * box.Width();
                for (int i = 0; i < box.Width();) {
                    if (!row[i]) {
                        ++i;
                        continue;
                    }
                    int k = i;
                    while (k < box.Width() && row[k])
                        ++k;
                    spans.emplace_back(box.x0 + i, box.x0 + k);
                    i = k;
                }
                rows.push_back(std::move(spans));
                tops.push_back(box.y0 + j);
                bottoms.push_back(box.y0 + j + 1);
            }
        }
        SpansToRects(rows, tops, bottoms, rects);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace moxplat

// --- The flat region calls ---------------------------------------------------------------------

using moxplat::RegionImpl;
using moxplat::RegionTree;

namespace {

GpStatus NewRegion(RegionTree tree, GpRegion** out)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(out);
    if (!out)
        return InvalidParameter;
    RegionImpl* r = new (std::nothrow) RegionImpl;
    *out = r;
    if (!r)
        return OutOfMemory;
    r->tree = std::move(tree);
    return Ok;
}

bool ValidMode(CombineMode mode)
{
    return mode >= CombineModeReplace && mode <= CombineModeComplement;
}

// Runs f, turning a failed allocation into OutOfMemory.
template <typename F> GpStatus Guarded(F f)
{
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

GpStatus CombineWith(GpRegion* region, const RegionTree& other, CombineMode mode)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !ValidMode(mode))
        return InvalidParameter;
    r->tree = moxplat::CombineRegions(r->tree, other, mode);
    return Ok;
}

// The region as the Graphics shows it on its device: through its world and page transforms.
RegionTree OnDevice(const RegionTree& tree, GpGraphics* graphics)
{
    if (!graphics)
        return tree;
    double m[6];
    moxplat::DeviceTransform(graphics, m);
    return moxplat::TransformRegion(tree, m);
}

GpStatus Scans(GpRegion* region, GpMatrix* matrix, std::vector<RECT>* rects)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r)
        return InvalidParameter;
    RegionTree tree = r->tree;
    if (matrix) {
        const REAL* e = moxplat::ToImpl(matrix)->m;
        const double m[6] = {e[0], e[1], e[2], e[3], e[4], e[5]};
        tree = moxplat::TransformRegion(tree, m);
    }
    if (moxplat::IsInfiniteRegion(tree)) {
        // The infinite region is listed as the one rectangle its bounds make.
        rects->assign(1, RECT{-4194304, -4194304, 4194304, 4194304});
        return Ok;
    }
    return moxplat::RegionPixelRects(tree, rects) ? Ok : OutOfMemory;
}

} // namespace

namespace Gdiplus {
namespace DllExports {
extern "C" {

// A new region is infinite (MSDN Region::Region).
GpStatus WINGDIPAPI GdipCreateRegion(GpRegion** region)
{
    return Guarded([&] { return NewRegion(moxplat::InfiniteRegion(), region); });
}

GpStatus WINGDIPAPI GdipCreateRegionRect(GDIPCONST GpRectF* rect, GpRegion** region)
{
    if (!rect)
        return InvalidParameter;
    return Guarded([&] { return NewRegion(moxplat::RectRegion(rect->X, rect->Y, rect->Width, rect->Height), region); });
}

GpStatus WINGDIPAPI GdipCreateRegionRectI(GDIPCONST GpRect* rect, GpRegion** region)
{
    if (!rect)
        return InvalidParameter;
    const RectF f(REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height));
    return GdipCreateRegionRect(&f, region);
}

GpStatus WINGDIPAPI GdipCreateRegionPath(GpPath* path, GpRegion** region)
{
    if (!path)
        return InvalidParameter;
    return Guarded([&] { return NewRegion(moxplat::PathRegion(*moxplat::ToImpl(path)), region); });
}

// The GDI region's rectangles, in the same coordinates.
GpStatus WINGDIPAPI GdipCreateRegionHrgn(HRGN hRgn, GpRegion** region)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(region);
    if (!hRgn || !region)
        return InvalidParameter;
    return Guarded([&]() -> GpStatus {
        const DWORD size = GetRegionData(hRgn, 0, nullptr);
        if (size < sizeof(RGNDATAHEADER))
            return InvalidParameter;
        std::vector<std::uint8_t> data(size);
        auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
        if (GetRegionData(hRgn, size, rgn) == 0)
            return InvalidParameter;
        std::vector<RECT> rects(rgn->rdh.nCount);
        std::memcpy(rects.data(), rgn->Buffer, rects.size() * sizeof(RECT));
        return NewRegion(moxplat::RectsRegion(rects), region);
    });
}

GpStatus WINGDIPAPI GdipCloneRegion(GpRegion* region, GpRegion** cloneRegion)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !cloneRegion)
        return InvalidParameter;
    return Guarded([&] { return NewRegion(r->tree, cloneRegion); });
}

GpStatus WINGDIPAPI GdipDeleteRegion(GpRegion* region)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r)
        return InvalidParameter;
    r->tag = 0;
    delete r;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetInfinite(GpRegion* region)
{
    return CombineWith(region, moxplat::InfiniteRegion(), CombineModeReplace);
}

GpStatus WINGDIPAPI GdipSetEmpty(GpRegion* region)
{
    return CombineWith(region, moxplat::EmptyRegion(), CombineModeReplace);
}

GpStatus WINGDIPAPI GdipCombineRegionRect(GpRegion* region, GDIPCONST GpRectF* rect, CombineMode combineMode)
{
    if (!rect)
        return InvalidParameter;
    return Guarded([&] {
        return CombineWith(region, moxplat::RectRegion(rect->X, rect->Y, rect->Width, rect->Height), combineMode);
    });
}

GpStatus WINGDIPAPI GdipCombineRegionRectI(GpRegion* region, GDIPCONST GpRect* rect, CombineMode combineMode)
{
    if (!rect)
        return InvalidParameter;
    const RectF f(REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height));
    return GdipCombineRegionRect(region, &f, combineMode);
}

GpStatus WINGDIPAPI GdipCombineRegionPath(GpRegion* region, GpPath* path, CombineMode combineMode)
{
    if (!path)
        return InvalidParameter;
    return Guarded([&] { return CombineWith(region, moxplat::PathRegion(*moxplat::ToImpl(path)), combineMode); });
}

GpStatus WINGDIPAPI GdipCombineRegionRegion(GpRegion* region, GpRegion* region2, CombineMode combineMode)
{
    RegionImpl* other = moxplat::ToImpl(region2);
    if (!other)
        return InvalidParameter;
    return Guarded([&] { return CombineWith(region, other->tree, combineMode); });
}

GpStatus WINGDIPAPI GdipTranslateRegion(GpRegion* region, REAL dx, REAL dy)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !std::isfinite(dx) || !std::isfinite(dy))
        return InvalidParameter;
    const double m[6] = {1, 0, 0, 1, dx, dy};
    return Guarded([&] {
        r->tree = moxplat::TransformRegion(r->tree, m);
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipTranslateRegionI(GpRegion* region, INT dx, INT dy)
{
    return GdipTranslateRegion(region, REAL(dx), REAL(dy));
}

GpStatus WINGDIPAPI GdipTransformRegion(GpRegion* region, GpMatrix* matrix)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !matrix)
        return InvalidParameter;
    const REAL* e = moxplat::ToImpl(matrix)->m;
    const double m[6] = {e[0], e[1], e[2], e[3], e[4], e[5]};
    return Guarded([&] {
        r->tree = moxplat::TransformRegion(r->tree, m);
        return Ok;
    });
}

// Bounds in the region's own coordinates: the Graphics plays no part (gdiplus tests/graphics.c
// test_clipping: a region's bounds stay put under any world transform).
GpStatus WINGDIPAPI GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, GpRectF* rect)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !graphics || !rect)
        return InvalidParameter;
    return Guarded([&] {
        moxplat::RegionBounds(r->tree, rect);
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipGetRegionBoundsI(GpRegion* region, GpGraphics* graphics, GpRect* rect)
{
    if (!rect)
        return InvalidParameter;
    RectF f;
    const GpStatus status = GdipGetRegionBounds(region, graphics, &f);
    if (status == Ok)
        *rect = Rect(INT(std::lround(f.X)), INT(std::lround(f.Y)), INT(std::lround(f.Width)), INT(std::lround(f.Height)));
    return status;
}

// The pixels the region covers, on the Graphics' device when one is given (gdiplus
// tests/graphics.c test_clipping); null for the infinite region (MSDN Region::GetHRGN).
GpStatus WINGDIPAPI GdipGetRegionHRgn(GpRegion* region, GpGraphics* graphics, HRGN* hRgn)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !hRgn)
        return InvalidParameter;
    return Guarded([&]() -> GpStatus {
        *hRgn = nullptr;
        const RegionTree tree = OnDevice(r->tree, graphics);
        if (moxplat::IsInfiniteRegion(tree))
            return Ok;
        std::vector<RECT> rects;
        if (!moxplat::RegionPixelRects(tree, &rects))
            return OutOfMemory;
        std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
        auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
        rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
        rgn->rdh.iType = RDH_RECTANGLES;
        rgn->rdh.nCount = DWORD(rects.size());
        rgn->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
        rgn->rdh.rcBound = RECT{0, 0, 0, 0};
        if (!rects.empty())
            std::memcpy(rgn->Buffer, rects.data(), rects.size() * sizeof(RECT));
        *hRgn = ExtCreateRegion(nullptr, DWORD(data.size()), rgn);
        return *hRgn ? Ok : OutOfMemory;
    });
}

GpStatus WINGDIPAPI GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !graphics || !result)
        return InvalidParameter;
    return Guarded([&] {
        RectF b;
        *result = moxplat::RegionBounds(r->tree, &b) ? FALSE : TRUE;
        return Ok;
    });
}

// Equal when their exclusive-or covers nothing: compared as areas, pixel by pixel where paths
// take part.
GpStatus WINGDIPAPI GdipIsEqualRegion(GpRegion* region, GpRegion* region2, GpGraphics* graphics, BOOL* result)
{
    RegionImpl* a = moxplat::ToImpl(region);
    RegionImpl* b = moxplat::ToImpl(region2);
    if (!a || !b || !graphics || !result)
        return InvalidParameter;
    return Guarded([&]() -> GpStatus {
        if (a->tree == b->tree) {
            *result = TRUE;
            return Ok;
        }
        const RegionTree difference = moxplat::CombineRegions(a->tree, b->tree, CombineModeXor);
        RectF bounds;
        if (!moxplat::RegionBounds(difference, &bounds)) {
            *result = TRUE;
            return Ok;
        }
        std::vector<RECT> rects;
        if (!moxplat::RegionPixelRects(OnDevice(difference, graphics), &rects))
            return OutOfMemory;
        *result = rects.empty() ? TRUE : FALSE;
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result)
{
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !graphics || !result)
        return InvalidParameter;
    *result = moxplat::IsInfiniteRegion(r->tree) ? TRUE : FALSE;
    return Ok;
}

// The Graphics, when given, is not needed: points are in the region's own coordinates.
GpStatus WINGDIPAPI GdipIsVisibleRegionPoint(GpRegion* region, REAL x, REAL y, GpGraphics* graphics, BOOL* result)
{
    (void)graphics;
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !result)
        return InvalidParameter;
    *result = moxplat::RegionContains(r->tree, x, y) ? TRUE : FALSE;
    return Ok;
}

GpStatus WINGDIPAPI GdipIsVisibleRegionPointI(GpRegion* region, INT x, INT y, GpGraphics* graphics, BOOL* result)
{
    return GdipIsVisibleRegionPoint(region, REAL(x), REAL(y), graphics, result);
}

GpStatus WINGDIPAPI GdipIsVisibleRegionRect(GpRegion* region, REAL x, REAL y, REAL width, REAL height,
                                            GpGraphics* graphics, BOOL* result)
{
    (void)graphics;
    RegionImpl* r = moxplat::ToImpl(region);
    if (!r || !result)
        return InvalidParameter;
    return Guarded([&] {
        *result = moxplat::RegionTouches(r->tree, x, y, width, height) ? TRUE : FALSE;
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipIsVisibleRegionRectI(GpRegion* region, INT x, INT y, INT width, INT height,
                                             GpGraphics* graphics, BOOL* result)
{
    return GdipIsVisibleRegionRect(region, REAL(x), REAL(y), REAL(width), REAL(height), graphics, result);
}

GpStatus WINGDIPAPI GdipGetRegionScansCount(GpRegion* region, UINT* count, GpMatrix* matrix)
{
    if (!count)
        return InvalidParameter;
    return Guarded([&]() -> GpStatus {
        std::vector<RECT> rects;
        const GpStatus status = Scans(region, matrix, &rects);
        if (status == Ok)
            *count = UINT(rects.size());
        return status;
    });
}

// As many rectangles as GdipGetRegionScansCount gives; *count says how many were written.
GpStatus WINGDIPAPI GdipGetRegionScans(GpRegion* region, GpRectF* rects, INT* count, GpMatrix* matrix)
{
    if (!rects || !count)
        return InvalidParameter;
    return Guarded([&]() -> GpStatus {
        std::vector<RECT> list;
        const GpStatus status = Scans(region, matrix, &list);
        if (status != Ok)
            return status;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const RECT& r = list[i];
            rects[i] = RectF(REAL(r.left), REAL(r.top), REAL(r.right - r.left), REAL(r.bottom - r.top));
        }
        *count = INT(list.size());
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipGetRegionScansI(GpRegion* region, GpRect* rects, INT* count, GpMatrix* matrix)
{
    if (!rects || !count)
        return InvalidParameter;
    return Guarded([&]() -> GpStatus {
        std::vector<RECT> list;
        const GpStatus status = Scans(region, matrix, &list);
        if (status != Ok)
            return status;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const RECT& r = list[i];
            rects[i] = Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        *count = INT(list.size());
        return Ok;
    });
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
