// Graphics clipping. The clip is kept on the device, where the world transform of the moment put
// it (MSDN Graphics::SetClip; gdiplus tests/graphics.c test_clipping): later transforms move the
// world under it, so the getters report it through the inverse of the current transform.
//
// Every drawing call finds its target through TargetOf, which hands a clipped call a copy of the
// target's clipped part; when the call ends ReleaseClip copies back the pixels the clip lets
// through. So fills, strokes, images, text and Clear all honour the clip without each knowing of
// it, and a call without a clip pays nothing.
#include "region.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

// The DC's GDI clip region in device coordinates; false when it has none.
bool DcClipRects(HDC hdc, std::vector<RECT>* rects)
{
    rects->clear();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (!rgn)
        return false;
    bool clipped = false;
    if (GetClipRgn(hdc, rgn) == 1) {
        clipped = true;
        const DWORD size = GetRegionData(rgn, 0, nullptr);
        if (size >= sizeof(RGNDATAHEADER)) {
            std::vector<std::uint8_t> data(size);
            auto* rgnData = reinterpret_cast<RGNDATA*>(data.data());
            if (GetRegionData(rgn, size, rgnData)) {
                rects->resize(rgnData->rdh.nCount);
                std::memcpy(rects->data(), rgnData->Buffer, rects->size() * sizeof(RECT));
            }
        }
    }
    DeleteObject(rgn);
    return clipped;
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const RECT& x, const RECT& y) {
               return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
           });
}

void BuildMask(GraphicsImpl* g, const PixelSurface& s, double shift, bool dcClipped, ClipWork& w)
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
    if (dcClipped) {
        PixelBox dcBox{s.width, s.height, 0, 0};
        for (const RECT& r : w.dcRects) {
            dcBox.x0 = std::min<int>(dcBox.x0, std::max<LONG>(0, r.left));
            dcBox.y0 = std::min<int>(dcBox.y0, std::max<LONG>(0, r.top));
            dcBox.x1 = std::max<int>(dcBox.x1, std::min<LONG>(s.width, r.right));
            dcBox.y1 = std::max<int>(dcBox.y1, std::min<LONG>(s.height, r.bottom));
        }
        box.x0 = std::max(box.x0, dcBox.x0);
        box.y0 = std::max(box.y0, dcBox.y0);
        box.x1 = std::min(box.x1, dcBox.x1);
        box.y1 = std::min(box.y1, dcBox.y1);
    }
    if (box.Empty())
        box = PixelBox();
    w.x0 = box.x0, w.y0 = box.y0, w.x1 = box.x1, w.y1 = box.y1;
    w.mask.clear();
    if (box.Empty()) {
        w.everything = false;
        return;
    }
    if (g->state.clip) {
        if (!RasteriseRegion(g->state.clip, box, shift, &w.mask))
            w.mask.assign(std::size_t(box.Width()) * box.Height(), 0);
    } else {
        w.mask.assign(std::size_t(box.Width()) * box.Height(), 255);
    }
    if (dcClipped) {
        std::vector<std::uint8_t> dc(w.mask.size(), 0);
        for (const RECT& r : w.dcRects) {
            const int x0 = std::clamp<int>(r.left, box.x0, box.x1), x1 = std::clamp<int>(r.right, box.x0, box.x1);
            const int y0 = std::clamp<int>(r.top, box.y0, box.y1), y1 = std::clamp<int>(r.bottom, box.y0, box.y1);
            for (int y = y0; y < y1; ++y)
                std::fill_n(dc.begin() + std::ptrdiff_t(y - box.y0) * box.Width() + (x0 - box.x0),
                            std::max(0, x1 - x0), 255);
        }
        for (std::size_t k = 0; k < dc.size(); ++k)
            w.mask[k] &= dc[k];
    }
    const bool whole = box.x0 == 0 && box.y0 == 0 && box.x1 == s.width && box.y1 == s.height;
    w.everything = whole && std::all_of(w.mask.begin(), w.mask.end(), [](std::uint8_t m) { return m != 0; });
}

} // namespace

bool ClipTarget(GraphicsImpl* g, PixelSurface* s)
{
    ClipWork& w = g->clipWork;
    if (w.active) {
        *s = w.scratch;
        return true;
    }
    std::vector<RECT> dc;
    const bool dcClipped = g->hdc && !g->image && DcClipRects(g->hdc, &dc);
    if (!g->state.clip && !dcClipped)
        return true;
    const double shift = g->state.pixelOffset == PixelOffsetModeHalf ? 0.0 : 0.5;
    try {
        if (w.madeFor != g->state.clip || w.shift != shift || w.width != s->width || w.height != s->height ||
            w.dcClipped != dcClipped || !SameRects(w.dcRects, dc)) {
            w.madeFor = nullptr;
            w.dcRects = dc;
            w.dcClipped = dcClipped;
            BuildMask(g, *s, shift, dcClipped, w);
            w.madeFor = g->state.clip;
            w.shift = shift;
            w.width = s->width;
            w.height = s->height;
        }
        if (w.everything)
            return true;
        if (w.mask.empty() || std::none_of(w.mask.begin(), w.mask.end(), [](std::uint8_t m) { return m != 0; }))
            return false;
        const int bpp = s->bitsPerPixel / 8;
        const std::ptrdiff_t stride = (std::ptrdiff_t(s->width) * bpp + 3) & ~std::ptrdiff_t(3);
        w.pixels.resize(std::size_t(stride) * std::size_t(s->height));
        PixelSurface scratch = *s;
        scratch.bits = w.pixels.data();
        scratch.stride = stride;
        const std::size_t bytes = std::size_t(w.x1 - w.x0) * bpp;
        for (int y = w.y0; y < w.y1; ++y)
            std::memcpy(scratch.bits + y * stride + std::ptrdiff_t(w.x0) * bpp,
                        s->bits + y * s->stride + std::ptrdiff_t(w.x0) * bpp, bytes);
        w.target = *s;
        w.scratch = scratch;
        w.active = true;
        *s = scratch;
        return true;
    } catch (const std::bad_alloc&) {
        w.madeFor = nullptr;
        w.width = -1;
        return false; // nothing is drawn rather than drawing outside the clip
    }
}

void ReleaseClip(GraphicsImpl* g)
{
    ClipWork& w = g->clipWork;
    if (!w.active)
        return;
    w.active = false;
    const int bpp = w.target.bitsPerPixel / 8, width = w.x1 - w.x0;
    for (int y = w.y0; y < w.y1; ++y) {
        const std::uint8_t* m = w.mask.data() + std::size_t(y - w.y0) * width;
        std::uint8_t* to = w.target.bits + y * w.target.stride;
        const std::uint8_t* from = w.scratch.bits + y * w.scratch.stride;
        for (int i = 0; i < width;) {
            if (!m[i]) {
                ++i;
                continue;
            }
            int k = i;
            while (k < width && m[k])
                ++k;
            const std::ptrdiff_t at = std::ptrdiff_t(w.x0 + i) * bpp;
            std::memcpy(to + at, from + at, std::size_t(k - i) * bpp);
            i = k;
        }
    }
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
    if (g->image)
        visible = CombineRegions(visible, RectRegion(0, 0, g->image->width, g->image->height), CombineModeIntersect);
    else if (SurfaceOfDC(g->hdc, &s))
        visible = CombineRegions(visible, RectRegion(0, 0, s.width, s.height), CombineModeIntersect);
    std::vector<RECT> dc;
    if (g->hdc && !g->image && DcClipRects(g->hdc, &dc))
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

// The offset is in world units: it moves the clip as far as the transform carries that step.
GpStatus WINGDIPAPI GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy)
{
    if (!graphics || !std::isfinite(dx) || !std::isfinite(dy))
        return InvalidParameter;
    moxplat::GraphicsImpl* g = moxplat::ToImpl(graphics);
    if (!g->state.clip)
        return Ok;
    double d[6];
    moxplat::DeviceTransform(graphics, d);
    const double step[6] = {1, 0, 0, 1, dx * d[0] + dy * d[2], dx * d[1] + dy * d[3]};
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

GpStatus WINGDIPAPI GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result)
{
    if (!graphics || !result)
        return InvalidParameter;
    return moxplat::Guarded([&] {
        double m[6];
        moxplat::DeviceTransform(graphics, m);
        const double dx = x * m[0] + y * m[2] + m[4], dy = x * m[1] + y * m[3] + m[5];
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
