// What lies behind the GDI+ drawing-tool handles (pens, brushes, fonts, string formats), and the
// compositing shared by the shape, fill and text calls.
#pragma once

#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "gdiplus_internal.h"

typedef struct pixman_color pixman_color_t;

namespace moxplat {

struct PenImpl : GpPen {
    Gdiplus::ARGB color = 0;
    Gdiplus::REAL width = 1.0f;
    Gdiplus::Unit unit = Gdiplus::UnitWorld;
    Gdiplus::DashStyle dash = Gdiplus::DashStyleSolid;
    Gdiplus::LineJoin join = Gdiplus::LineJoinMiter;
    Gdiplus::LineCap startCap = Gdiplus::LineCapFlat;
    Gdiplus::LineCap endCap = Gdiplus::LineCapFlat;
    GpBrush* brush = nullptr; // the pen's own copy of a brush it paints with, when not one colour
    std::vector<Gdiplus::REAL> dashArray; // GdipSetPenDashArray's on and off lengths, in pen widths
};

// An affine matrix as GDI+ keeps it: m11 m12 m21 m22 dx dy, points mapping as [x y 1] * M.
struct MatrixImpl : GpMatrix {
    Gdiplus::REAL m[6] = {1, 0, 0, 1, 0, 0};
};

inline MatrixImpl* ToImpl(GpMatrix* m)
{
    return static_cast<MatrixImpl*>(m);
}
inline const MatrixImpl* ToImpl(const GpMatrix* m)
{
    return static_cast<const MatrixImpl*>(m);
}

// out = a * b (a applied first), in double precision.
void MultiplyAffine(const double a[6], const double b[6], double out[6]);
// False for a singular matrix.
bool InvertAffine(const double m[6], double out[6]);
// m becomes op * m (prepend: op applied first) or m * op (append).
void ApplyOrder(double m[6], const double op[6], Gdiplus::MatrixOrder order);

// A path as GDI+ keeps it: points with their PathPointType bytes.
struct PathImpl : GpPath {
    std::vector<Gdiplus::PointF> points;
    std::vector<BYTE> types;
    Gdiplus::FillMode fill = Gdiplus::FillModeAlternate;
    bool newFigure = true; // the next point starts a figure
};

inline PathImpl* ToImpl(GpPath* p)
{
    return static_cast<PathImpl*>(p);
}
inline const PathImpl* ToImpl(const GpPath* p)
{
    return static_cast<const PathImpl*>(p);
}

// Fills the path's figures (each closed) with the brush, or outlines them with the pen, through
// the Graphics' transform, smoothing, pixel offset and compositing modes.
Gdiplus::Status FillPathWith(GpGraphics* graphics, const GpBrush* brush, const PathImpl& path);
Gdiplus::Status StrokePathWith(GpGraphics* graphics, const PenImpl* pen, const PathImpl& path);

// True when a Graphics maps world coordinates 1:1 onto pixels, composites OVER and does not
// anti-alias: the integer calls then keep their exact pixel rules; otherwise they go through the
// path calls below.
bool PlainTarget(GpGraphics* graphics);
bool PlainTarget(GpGraphics* graphics, const GpPen* pen);
Gdiplus::Status StrokeLine(GpGraphics* graphics, GpPen* pen, double x1, double y1, double x2, double y2);
Gdiplus::Status StrokeRectangle(GpGraphics* graphics, GpPen* pen, double x, double y, double w, double h);
Gdiplus::Status FillRectangleShape(GpGraphics* graphics, GpBrush* brush, double x, double y, double w, double h);

// Path building shared by the path and shape calls: arcs as GDI+ places them (angles measured
// on the ellipse's bounding box), ellipses as four Bézier curves from the rightmost point.
void AppendArc(PathImpl& path, double x, double y, double w, double h, double start, double sweep);
void AppendEllipse(PathImpl& path, double x, double y, double w, double h);
void AppendPie(PathImpl& path, double x, double y, double w, double h, double start, double sweep);
void AppendLines(PathImpl& path, const Gdiplus::PointF* points, int count);
void AppendPolygon(PathImpl& path, const Gdiplus::PointF* points, int count);
void AppendRectangle(PathImpl& path, double x, double y, double w, double h);

inline const PenImpl* ToImpl(const GpPen* p)
{
    return static_cast<const PenImpl*>(p);
}
inline PenImpl* ToImpl(GpPen* p)
{
    return static_cast<PenImpl*>(p);
}

// Every brush kind starts with its kind, so a GpBrush handle tells which one it is.
enum class BrushKind : std::uint32_t { Solid = 0x53464c4c, Hatch = 0x48415443, Line = 0x4c494e45, Texture = 0x54455854 };

struct SolidFillImpl : GpSolidFill {
    BrushKind kind = BrushKind::Solid;
    Gdiplus::ARGB color = 0;
};

// Colours blend from color1 where t = 0 to color2 where t = 1, t being a linear function of the
// world position: t = a * x + b * y + c.
struct LineGradientImpl : GpLineGradient {
    BrushKind kind = BrushKind::Line;
    Gdiplus::ARGB colors[2] = {};
    Gdiplus::RectF rect;
    Gdiplus::WrapMode wrap = Gdiplus::WrapModeTile;
    double t[3] = {1, 0, 0};
};

// A premultiplied copy of an image, repeated by its wrap mode and placed by its transform.
struct TextureImpl : GpTexture {
    BrushKind kind = BrushKind::Texture;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // premultiplied a8r8g8b8, rows of width
    Gdiplus::WrapMode wrap = Gdiplus::WrapModeTile;
    double transform[6] = {1, 0, 0, 1, 0, 0};
};

struct HatchImpl : GpHatch {
    BrushKind kind = BrushKind::Hatch;
    Gdiplus::HatchStyle style = Gdiplus::HatchStyleHorizontal;
    Gdiplus::ARGB fore = 0;
    Gdiplus::ARGB back = 0;
};

static_assert(std::is_standard_layout<SolidFillImpl>::value && std::is_standard_layout<HatchImpl>::value &&
                  std::is_standard_layout<LineGradientImpl>::value,
              "a brush's kind must sit at the start of the object");

inline BrushKind KindOf(const GpBrush* b)
{
    return *reinterpret_cast<const BrushKind*>(b);
}
inline const SolidFillImpl* AsSolid(const GpBrush* b)
{
    return b && KindOf(b) == BrushKind::Solid ? static_cast<const SolidFillImpl*>(static_cast<const GpSolidFill*>(b))
                                              : nullptr;
}
inline const HatchImpl* AsHatch(const GpBrush* b)
{
    return b && KindOf(b) == BrushKind::Hatch ? static_cast<const HatchImpl*>(static_cast<const GpHatch*>(b)) : nullptr;
}
inline const LineGradientImpl* AsLine(const GpBrush* b)
{
    return b && KindOf(b) == BrushKind::Line
               ? static_cast<const LineGradientImpl*>(static_cast<const GpLineGradient*>(b))
               : nullptr;
}
inline const TextureImpl* AsTexture(const GpBrush* b)
{
    return b && KindOf(b) == BrushKind::Texture ? static_cast<const TextureImpl*>(static_cast<const GpTexture*>(b))
                                                : nullptr;
}
inline bool IsBrush(const GpBrush* b)
{
    if (!b)
        return false;
    const BrushKind k = KindOf(b);
    return k == BrushKind::Solid || k == BrushKind::Hatch || k == BrushKind::Line || k == BrushKind::Texture;
}

// pixman's colour for a GDI+ one (premultiplied, 16 bits a channel).
pixman_color_t PixmanColorOf(Gdiplus::ARGB argb);

struct TextLayouts;

struct FontFamilyImpl : GpFontFamily {
    std::string name;        // an installed family, as fontconfig names it
    std::string displayName; // the name programs read back: as they asked for it, or as installed
};

// The one family object for a name (families are shared and live as long as the process, as
// GDI+ hands out the same family for the same name); null when no installed font provides it.
FontFamilyImpl* SharedFamily(const std::string& name);
// Whether the pointer is one of those families, so that anything else is refused unread.
bool IsFamily(const GpFontFamily* family);

struct FontImpl : GpFont {
    std::string family;
    FontFamilyImpl* familyRef = nullptr; // the shared family it was made from
    Gdiplus::REAL emSize = 0; // in `unit`
    Gdiplus::Unit unit = Gdiplus::UnitPoint;
    INT style = Gdiplus::FontStyleRegular;
    double pixelSize = 0; // em size in pixels at 96 DPI
    // Laid-out texts kept by the text code for this font; null until the font first draws.
    mutable TextLayouts* layouts = nullptr;
};

// Frees what the text code keeps for a font; the font is being deleted.
void ReleaseTextLayouts(const FontImpl* font);

inline const FontImpl* ToImpl(const GpFont* f)
{
    return static_cast<const FontImpl*>(f);
}
inline FontImpl* ToImpl(GpFont* f)
{
    return static_cast<FontImpl*>(f);
}

struct StringFormatImpl : GpStringFormat {
    INT flags = 0;
    LANGID language = 0;
    Gdiplus::StringAlignment align = Gdiplus::StringAlignmentNear;
    Gdiplus::StringAlignment lineAlign = Gdiplus::StringAlignmentNear;
    Gdiplus::StringTrimming trimming = Gdiplus::StringTrimmingCharacter;
    INT hotkeyPrefix = Gdiplus::HotkeyPrefixNone;
    LANGID digitLanguage = LANG_NEUTRAL;
    Gdiplus::StringDigitSubstitute digitSubstitute = Gdiplus::StringDigitSubstituteUser;
    Gdiplus::REAL firstTab = 0;
    std::vector<Gdiplus::REAL> tabs;
    std::vector<Gdiplus::CharacterRange> ranges;
    bool typographic = false; // lines laid out without the sixth-of-an-em padding
    bool shared = false;      // one of the two generic formats, which deleting leaves alive
};

inline const StringFormatImpl* ToImpl(const GpStringFormat* f)
{
    return static_cast<const StringFormatImpl*>(f);
}
inline StringFormatImpl* ToImpl(GpStringFormat* f)
{
    return static_cast<StringFormatImpl*>(f);
}

// The 8 x 8 tile of a hatch style as foreground coverage, row by row: tile[y * 8 + x] is 0 where
// the background shows, 255 where the foreground does, and in between on the anti-aliased
// diagonals. Null for a style out of range.
const std::uint8_t* HatchTile(Gdiplus::HatchStyle style);

// A hatch pixel as premultiplied a8r8g8b8: the foreground covering `coverage` / 255 of it over
// the background.
std::uint32_t HatchPixel(Gdiplus::ARGB fore, Gdiplus::ARGB back, std::uint8_t coverage);

// A pixman source painting with the brush: a solid colour, or the hatch tile repeated from the
// surface origin. Null for an unknown brush. Release with pixman_image_unref.
pixman_image_t* BrushSource(const GpBrush* brush);
// The same for a Graphics: gradient and texture brushes follow its transform and pixel offset.
pixman_image_t* BrushSource(const GpBrush* brush, GpGraphics* graphics);

// Drops the coverage of the strings this thread has drawn (GdiplusShutdown).
void ForgetStringMasks();

// UTF-8 of `count` wide characters (UTF-32 on this platform). Characters that are not Unicode
// scalar values become U+FFFD; NULs are dropped.
std::string WideToUtf8(const WCHAR* text, std::size_t count);

// Pixels per unit at 96 DPI, with the world and page units both pixels.
double UnitPixels(Gdiplus::Unit unit);

// A pixel rectangle, half-open: [x0, x1) x [y0, y1).
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
};

// Composites `source` OVER the surface through an optional A8 coverage mask covering `box`
// (mask pixel (0, 0) lies at box.x0, box.y0; its rows are `maskStride` bytes). The source is
// sampled at surface coordinates, which keeps hatch tiles anchored at the surface origin.
void CompositeOver(const PixelSurface& surface, pixman_image_t* source, const PixelBox& box, std::uint8_t* mask,
                   int maskStride);

// A solid brush composited OVER through a coverage mask, as two planes of bytes laid out as a
// 24-bit surface's rows: each destination byte d becomes d * inverse / 255 + add (rounded and
// saturated, as pixman rounds), which gives pixman's OVER byte for byte. Text keeps the planes
// of its masks for the colour it last drew them in. False for a brush that is not solid.
bool SolidMaskPlanes(const GpBrush* brush, const std::uint8_t* mask, int maskStride, int width, int height,
                     std::vector<std::uint8_t>* planes);
// Applies planes `planeWidth` pixels wide to `box` of a 24-bit surface (plane pixel (0, 0) at
// box.x0, box.y0).
void CompositeSolidPlanes(const PixelSurface& surface, const PixelBox& box, int planeWidth, const std::uint8_t* planes);

// Fills `box` with the brush OVER the surface, byte for byte as CompositeOver without a mask
// would, in one pass. False, drawing nothing, for a brush whose source does not repeat every 8
// pixels both ways.
bool FillTranslucent(const PixelSurface& surface, const GpBrush* brush, const PixelBox& box);

} // namespace moxplat
