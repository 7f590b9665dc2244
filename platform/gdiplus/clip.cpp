// Graphics clipping. The clip is kept on the device, where the world transform of the moment put
// it (MSDN Graphics::SetClip; gdiplus tests/graphics.c test_clipping): later transforms move the
// world under it, so the getters report it through the inverse of the current transform.
//
// Every drawing call finds its target through TargetOf, which makes the clip the clip of the
// call: the pixman images of the target carry it as a region, so fills, strokes, images, text
// and Clear honour it where they composite, and the few paths that copy pixels themselves narrow
// their box to it or step aside for pixman. A call without a clip pays nothing.
#include "region.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

// The DC's GDI clip region in device coordinates; false when it has none. The region handle
// it is read into is kept by the Graphics: asking costs next to nothing when there is none.
bool DcClipRects(GraphicsImpl* g, std::vector<RECT>* rects)
{
    rects->clear();
    if (!g->hdc || g->image)
        return false;
    // The DC's clip region with what its window lets it reach (children it clips, siblings above
    // it, BeginPaint's update area), as GDI draws through it.
    return DrawableBoxesOfDC(g->hdc, rects);
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const RECT& x, const RECT& y) {
               return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
           });
}

// The pixels the clip and the DC's region let through, as rectangles in bands.
void BuildRects(GraphicsImpl* g, const PixelSurface& s, double shift, bool dcClipped, ClipWork& w)
{
    PixelBox box;
    box.x1 = s.width;
    box.y1 = s.height;
    const double c = 0.5 - shift;
    if (g->state.clip) {
        RectF b;
        if (!RegionBounds(g->state.clip, &b)) {
            box = PixelBox();
        } else {
            auto edge = [c](double v, int hi) { return int(std::clamp(std::ceil(v - c), 0.0, double(hi))); };
            box.x0 = std::max(box.x0, edge(b.X, s.width));
            box.y0 = std::max(box.y0, edge(b.Y, s.height));
            box.x1 = std::min(box.x1, edge(double(b.X) + b.Width, s.width));
            box.y1 = std::min(box.y1, edge(double(b.Y) + b.Height, s.height));
        }
    }
    w.rects.clear();
    std::vector<std::uint8_t> mask;
    if (!box.Empty()) {
        if (g->state.clip) {
            if (!RasteriseRegion(g->state.clip, box, shift, &mask))
                mask.assign(std::size_t(box.Width()) * box.Height(), 0);
        } else {
            mask.assign(std::size_t(box.Width()) * box.Height(), 255);
        }
    }
    if (dcClipped && !box.Empty()) {
        std::vector<std::uint8_t> dc(mask.size(), 0);
        for (const RECT& r : w.dcRects) {
            const int x0 = std::clamp<int>(r.left, box.x0, box.x1), x1 = std::clamp<int>(r.right, box.x0, box.x1);
            const int y0 = std::clamp<int>(r.top, box.y0, box.y1), y1 = std::clamp<int>(r.bottom, box.y0, box.y1);
            for (int y = y0; y < y1; ++y)
                std::fill_n(dc.begin() + std::ptrdiff_t(y - box.y0) * box.Width() + (x0 - box.x0),
                            std::max(0, x1 - x0), 255);
        }
        for (std::size_t k = 0; k < dc.size(); ++k)
            mask[k] &= dc[k];
    }
    // Rows of spans, a row with the same spans as the one above joining its band.
    std::vector<std::pair<int, int>> above, spans;
    std::size_t bandStart = 0;
    for (int j = 0; j < box.Height(); ++j) {
        spans.clear();
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
        if (j > 0 && spans == above && !spans.empty()) {
            for (std::size_t r = bandStart; r < w.rects.size(); ++r)
                w.rects[r].bottom = box.y0 + j + 1;
            continue;
        }
        bandStart = w.rects.size();
        for (const auto& span : spans)
            w.rects.push_back(RECT{span.first, box.y0 + j, span.second, box.y0 + j + 1});
        above = spans;
    }
    w.x0 = w.y0 = w.x1 = w.y1 = 0;
    if (!w.rects.empty()) {
        w.x0 = w.x1 = w.rects[0].left;
        w.y0 = w.rects[0].top;
        w.y1 = w.rects.back().bottom;
        for (const RECT& r : w.rects) {
            w.x0 = std::min<int>(w.x0, r.left);
            w.x1 = std::max<int>(w.x1, r.right);
        }
    }
    w.everything = w.rects.size() == 1 && w.x0 == 0 && w.y0 == 0 && w.x1 == s.width && w.y1 == s.height;
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(w.rects.size());
    for (const RECT& r : w.rects)
        boxes.push_back(pixman_box32_t{r.left, r.top, r.right, r.bottom});
    auto* region = new pixman_region32_t;
    pixman_region32_init_rects(region, boxes.data(), int(boxes.size()));
    w.region.reset(region, [](pixman_region32_t* r) {
        pixman_region32_fini(r);
        delete r;
    });
}

// The clip of the drawing call under way on this thread, and the pixels it is for.
thread_local const ClipWork* t_clip = nullptr;
thread_local const std::uint8_t* t_clipBits = nullptr;

} // namespace

bool ClipTarget(GraphicsImpl* g, const PixelSurface& s)
{
    t_clip = nullptr;
    ClipWork& w = g->clipWork;
    std::vector<RECT> dc;
    const bool dcClipped = DcClipRects(g, &dc);
    if (!g->state.clip && !dcClipped)
        return true;
    const double shift = g->state.pixelOffset == PixelOffsetModeHalf ? 0.0 : 0.5;
    try {
        if (w.madeFor != g->state.clip || w.shift != shift || w.width != s.width || w.height != s.height ||
            w.dcClipped != dcClipped || !SameRects(w.dcRects, dc)) {
            w.madeFor = nullptr;
            w.dcRects = dc;
            w.dcClipped = dcClipped;
            BuildRects(g, s, shift, dcClipped, w);
            w.madeFor = g->state.clip;
            w.shift = shift;
            w.width = s.width;
            w.height = s.height;
        }
    } catch (const std::bad_alloc&) {
        w.madeFor = nullptr;
        w.width = -1;
        return false; // nothing is drawn rather than drawing outside the clip
    }
    if (w.everything)
        return true;
    if (w.rects.empty())
        return false;
    t_clip = &w;
    t_clipBits = s.bits;
    return true;
}

void ReleaseClip(GraphicsImpl* g)
{
    if (t_clip == &g->clipWork)
        t_clip = nullptr;
}

bool ClipBox(const PixelSurface& s, int* x0, int* y0, int* x1, int* y1)
{
    if (!t_clip || t_clipBits != s.bits)
        return true;
    *x0 = std::max(*x0, t_clip->x0);
    *y0 = std::max(*y0, t_clip->y0);
    *x1 = std::min(*x1, t_clip->x1);
    *y1 = std::min(*y1, t_clip->y1);
    return t_clip->rects.size() == 1;
}

void ClipWrappedSurface(const PixelSurface& s, pixman_image_t* image)
{
    if (image && t_clip && t_clipBits == s.bits && t_clip->region)
        pixman_image_set_clip_region32(image, t_clip->region.get());
}

namespace {

RegionTree ToDevice(GpGraphics* graphics, const RegionTree& world)
{
    double m[6];
    DeviceTransform(graphics, m);
    return TransformRegion(world, m);
}

RegionTree ToWorld(GpGraphics* graphics, const RegionTree& device)
{
    double m[6], inverse[6];
    DeviceTransform(graphics, m);
    if (!InvertAffine(m, inverse))
        return EmptyRegion();
    return TransformRegion(device, inverse);
}

RegionTree DeviceClip(GpGraphics* graphics)
{
    const RegionTree& clip = ToImpl(graphics)->state.clip;
    return clip ? clip : InfiniteRegion();
}

// What the Graphics can draw on, in device coordinates: its clip, within the target's pixels and
// its DC's clip region.
RegionTree DeviceVisible(GpGraphics* graphics)
{
    GraphicsImpl* g = ToImpl(graphics);
    RegionTree visible = DeviceClip(graphics);
    PixelSurface s;
    RECT box;
    if (g->image) {
        visible = CombineRegions(visible, RectRegion(0, 0, g->image->width, g->image->height), CombineModeIntersect);
    } else if (const int kind = GetClipBox(g->hdc, &box); kind == SIMPLEREGION || kind == COMPLEXREGION) {
        // What the DC can show, screens and windows included (gdiplus tests/graphics.c
        // test_GdipGetVisibleClipBounds_screen, _window).
        visible = CombineRegions(
            visible, RectRegion(box.left, box.top, double(box.right) - box.left, double(box.bottom) - box.top),
            CombineModeIntersect);
    } else if (SurfaceOfDC(g->hdc, &s)) {
        visible = CombineRegions(visible, RectRegion(0, 0, s.width, s.height), CombineModeIntersect);
    }
    std::vector<RECT> dc;
    if (DcClipRects(g, &dc))
        visible = CombineRegions(visible, RectsRegion(dc), CombineModeIntersect);
    return visible;
}

GpStatus SetDeviceClip(GpGraphics* graphics, const RegionTree& shape, CombineMode mode)
{
    if (mode < CombineModeReplace || mode > CombineModeComplement)
        return InvalidParameter;
    RegionTree result = CombineRegions(DeviceClip(graphics), shape, mode);
    ToImpl(graphics)->state.clip = IsInfiniteRegion(result) ? nullptr : std::move(result);
    return Ok;
}

template <typename F> GpStatus Guarded(F f)
{
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
}

Rect Rounded(const RectF& r)
{
    return Rect(INT(std::lround(r.X)), INT(std::lround(r.Y)), INT(std::lround(r.Width)), INT(std::lround(r.Height)));
}

} // namespace

RegionTree WorldClip(GpGraphics* graphics)
{
    const RegionTree& clip = ToImpl(graphics)->state.clip;
    return clip ? ToWorld(graphics, clip) : InfiniteRegion();
}

} // namespace moxplat

using moxplat::RegionTree;

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height,
                                    CombineMode combineMode)
{
    if (!graphics || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(width) || !std::isfinite(height))
        return InvalidParameter;
    return moxplat::Guarded([&] {
        return moxplat::SetDeviceClip(graphics, moxplat::ToDevice(graphics, moxplat::RectRegion(x, y, width, height)),
                                      combineMode);
    });
}

GpStatus WINGDIPAPI GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height,
                                     CombineMode combineMode)
{
    return GdipSetClipRect(graphics, REAL(x), REAL(y), REAL(width), REAL(height), combineMode);
}

GpStatus WINGDIPAPI GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode combineMode)
{
    if (!graphics || !path)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        return moxplat::SetDeviceClip(
            graphics, moxplat::ToDevice(graphics, moxplat::PathRegion(*moxplat::ToImpl(path))), combineMode);
    });
}

GpStatus WINGDIPAPI GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode combineMode)
{
    moxplat::RegionImpl* r = moxplat::ToImpl(region);
    if (!graphics || !r)
        return InvalidParameter;
    return moxplat::Guarded(
        [&] { return moxplat::SetDeviceClip(graphics, moxplat::ToDevice(graphics, r->tree), combineMode); });
}

// A GDI region is in device pixels already (gdiplus tests/graphics.c test_cliphrgn_transform).
GpStatus WINGDIPAPI GdipSetClipHrgn(GpGraphics* graphics, HRGN hRgn, CombineMode combineMode)
{
    if (!graphics || !hRgn)
        return InvalidParameter;
    return moxplat::Guarded([&]() -> GpStatus {
        GpRegion* region = nullptr;
        const GpStatus status = GdipCreateRegionHrgn(hRgn, &region);
        if (status != Ok)
            return status;
        const RegionTree tree = moxplat::ToImpl(region)->tree;
        GdipDeleteRegion(region);
        return moxplat::SetDeviceClip(graphics, tree, combineMode);
    });
}

// The other Graphics' clip as it lies on its device.
GpStatus WINGDIPAPI GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* srcgraphics, CombineMode combineMode)
{
    if (!graphics || !srcgraphics)
        return InvalidParameter;
    return moxplat::Guarded(
        [&] { return moxplat::SetDeviceClip(graphics, moxplat::DeviceClip(srcgraphics), combineMode); });
}

GpStatus WINGDIPAPI GdipResetClip(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    moxplat::ToImpl(graphics)->state.clip = nullptr;
    return Ok;
}

// The clip moves on the device by (dx, dy), whatever the world transform (Microsoft's
// Graphics::TranslateClip names no unit; Wine's GDI+ moves its device clip by the offset as given).
GpStatus WINGDIPAPI GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy)
{
    if (!graphics || !std::isfinite(dx) || !std::isfinite(dy))
        return InvalidParameter;
    moxplat::GraphicsImpl* g = moxplat::ToImpl(graphics);
    if (!g->state.clip)
        return Ok;
    const double step[6] = {1, 0, 0, 1, dx, dy};
    return moxplat::Guarded([&] {
        g->state.clip = moxplat::TransformRegion(g->state.clip, step);
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipTranslateClipI(GpGraphics* graphics, INT dx, INT dy)
{
    return GdipTranslateClip(graphics, REAL(dx), REAL(dy));
}

GpStatus WINGDIPAPI GdipGetClip(GpGraphics* graphics, GpRegion* region)
{
    moxplat::RegionImpl* r = moxplat::ToImpl(region);
    if (!graphics || !r)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        r->tree = moxplat::WorldClip(graphics);
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipGetClipBounds(GpGraphics* graphics, GpRectF* rect)
{
    if (!graphics || !rect)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        moxplat::RegionBounds(moxplat::WorldClip(graphics), rect);
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipGetClipBoundsI(GpGraphics* graphics, GpRect* rect)
{
    if (!rect)
        return InvalidParameter;
    RectF f;
    const GpStatus status = GdipGetClipBounds(graphics, &f);
    if (status == Ok)
        *rect = moxplat::Rounded(f);
    return status;
}

GpStatus WINGDIPAPI GdipGetVisibleClipBounds(GpGraphics* graphics, GpRectF* rect)
{
    if (!graphics || !rect)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        moxplat::RegionBounds(moxplat::ToWorld(graphics, moxplat::DeviceVisible(graphics)), rect);
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipGetVisibleClipBoundsI(GpGraphics* graphics, GpRect* rect)
{
    if (!rect)
        return InvalidParameter;
    RectF f;
    const GpStatus status = GdipGetVisibleClipBounds(graphics, &f);
    if (status == Ok)
        *rect = moxplat::Rounded(f);
    return status;
}

GpStatus WINGDIPAPI GdipIsClipEmpty(GpGraphics* graphics, BOOL* result)
{
    if (!graphics || !result)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        RectF b;
        *result = moxplat::RegionBounds(moxplat::DeviceClip(graphics), &b) ? FALSE : TRUE;
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipIsVisibleClipEmpty(GpGraphics* graphics, BOOL* result)
{
    if (!graphics || !result)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        RectF b;
        *result = moxplat::RegionBounds(moxplat::DeviceVisible(graphics), &b) ? FALSE : TRUE;
        return Ok;
    });
}

// The point is taken to the pixel it rounds to (gdiplus tests/graphics.c
// test_GdipIsVisiblePoint: 9.5 is in a clip starting at 10, 39.5 out of one ending there).
GpStatus WINGDIPAPI GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result)
{
    if (!graphics || !result)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        double m[6];
        moxplat::DeviceTransform(graphics, m);
        const double dx = std::floor(x * m[0] + y * m[2] + m[4] + 0.5);
        const double dy = std::floor(x * m[1] + y * m[3] + m[5] + 0.5);
        *result = moxplat::RegionContains(moxplat::DeviceVisible(graphics), dx, dy) ? TRUE : FALSE;
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipIsVisiblePointI(GpGraphics* graphics, INT x, INT y, BOOL* result)
{
    return GdipIsVisiblePoint(graphics, REAL(x), REAL(y), result);
}

GpStatus WINGDIPAPI GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, BOOL* result)
{
    if (!graphics || !result)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        const RegionTree visible = moxplat::ToWorld(graphics, moxplat::DeviceVisible(graphics));
        *result = moxplat::RegionTouches(visible, x, y, width, height) ? TRUE : FALSE;
        return Ok;
    });
}

GpStatus WINGDIPAPI GdipIsVisibleRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, BOOL* result)
{
    return GdipIsVisibleRect(graphics, REAL(x), REAL(y), REAL(width), REAL(height), result);
}

// The brush over the region's box, drawn through the region added to the clip.
GpStatus WINGDIPAPI GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region)
{
    moxplat::RegionImpl* r = moxplat::ToImpl(region);
    if (!graphics || !brush || !r)
        return InvalidParameter;
    return moxplat::Guarded([&]() -> GpStatus {
        moxplat::GraphicsImpl* g = moxplat::ToImpl(graphics);
        const RegionTree device = moxplat::ToDevice(graphics, r->tree);
        const RegionTree visible =
            moxplat::CombineRegions(moxplat::DeviceVisible(graphics), device, CombineModeIntersect);
        RectF box;
        if (!moxplat::RegionBounds(visible, &box))
            return Ok;
        // The box grown by a pixel each way, back in world coordinates, so that the rectangle's
        // own edges lie outside what the region lets through.
        const RegionTree world = moxplat::ToWorld(
            graphics, moxplat::RectRegion(box.X - 1.0, box.Y - 1.0, box.Width + 2.0, box.Height + 2.0));
        RectF fill;
        if (!moxplat::RegionBounds(world, &fill))
            return Ok;
        const std::shared_ptr<const moxplat::RegionNode> saved = g->state.clip;
        g->state.clip = visible;
        const GpStatus status = moxplat::FillRectangleShape(graphics, brush, fill.X, fill.Y, fill.Width, fill.Height);
        g->state.clip = saved;
        return status;
    });
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
