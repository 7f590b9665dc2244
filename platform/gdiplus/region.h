// Regions as GDI+ keeps them: rectangles and paths combined by set operations, evaluated lazily.
// Used by the region calls and by Graphics clipping, which keeps its clip as a region in device
// coordinates.
#pragma once

#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gdiplus_tools.h"

using Gdiplus::GpRegion;

namespace moxplat {

// An immutable node; combining and transforming build new trees that share unchanged parts.
struct RegionNode {
    enum class Kind { Empty, Infinite, Rect, Path, Combine };
    Kind kind = Kind::Empty;
    double x = 0, y = 0, w = 0, h = 0; // Rect: width and height never negative
    std::vector<Gdiplus::PointF> points; // Path
    std::vector<BYTE> types;
    Gdiplus::FillMode fill = Gdiplus::FillModeAlternate;
    Gdiplus::CombineMode op = Gdiplus::CombineModeReplace; // Combine: a op b
    std::shared_ptr<const RegionNode> a, b;
};
using RegionTree = std::shared_ptr<const RegionNode>;

RegionTree EmptyRegion();
RegionTree InfiniteRegion();
// A rectangle; negative sizes are turned round so that it covers the same edges.
RegionTree RectRegion(double x, double y, double w, double h);
RegionTree PathRegion(const PathImpl& path);
// Rectangles, as GDI regions hold them (left, top, right, bottom), in one tree.
RegionTree RectsRegion(const std::vector<RECT>& rects);
RegionTree CombineRegions(const RegionTree& a, const RegionTree& b, Gdiplus::CombineMode mode);
// Points mapped as [x y 1] * m (m11 m12 m21 m22 dx dy).
RegionTree TransformRegion(const RegionTree& tree, const double m[6]);

bool IsInfiniteRegion(const RegionTree& tree);
// The smallest rectangle around the region: false for an empty one. Paths count with the box
// around their points.
bool RegionBounds(const RegionTree& tree, Gdiplus::RectF* bounds);
bool RegionContains(const RegionTree& tree, double x, double y);
// Whether any part of the rectangle lies in the region.
bool RegionTouches(const RegionTree& tree, double x, double y, double w, double h);

// The pixels of the device box the region covers, one byte each (255 in, 0 out), rows of
// box.Width(). Pixel (i, j) is in when its centre, at device point (i + c, j + c) with
// c = 0.5 - shift, is: shift 0.5 puts centres on whole coordinates (GDI+'s default pixel offset),
// 0 on halves. Clipping is never anti-aliased, as in GDI+. False when memory runs out.
bool RasteriseRegion(const RegionTree& tree, const PixelBox& box, double shift, std::vector<std::uint8_t>* mask);

// The whole pixels the region covers (centres on whole coordinates) as bands of rectangles,
// top to bottom. False when the region is too large to list (an infinite one) or memory runs out.
bool RegionPixelRects(const RegionTree& tree, std::vector<RECT>* rects);

struct RegionImpl : GpRegion {
    static constexpr std::uint32_t kTag = 0x5247494f;
    std::uint32_t tag = kTag;
    RegionTree tree;
};

inline RegionImpl* ToImpl(GpRegion* r)
{
    return r && static_cast<RegionImpl*>(r)->tag == RegionImpl::kTag ? static_cast<RegionImpl*>(r) : nullptr;
}

// The Graphics' clip in world coordinates (infinite when it has none).
RegionTree WorldClip(GpGraphics* graphics);

} // namespace moxplat
