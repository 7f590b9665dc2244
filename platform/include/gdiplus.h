// GDI+ for systems other than Windows: the flat functions, with GDI+'s names, signatures and
// status codes, and the thin header-only class interface over them. Each class holds its native
// handle and the status of its last failed call, and is allocated through GdipAlloc/GdipFree.
#pragma once

#include <windows.h>
// As the SDK's gdiplus.h does: programs use sin, cos and atan2 with GDI+ (or CImage) alone.
#include <math.h>

#define WINGDIPAPI
#define GDIPCONST const

namespace Gdiplus {

// Native objects are opaque; the platform library defines what lies behind them. They live in
// namespace Gdiplus, as in the Windows headers.
class GpGraphics {};
class GpImage {};
class GpBitmap : public GpImage {};
class GpImageAttributes {};
class GpPen {};
class GpBrush {};
class GpSolidFill : public GpBrush {};
class GpHatch : public GpBrush {};
class GpFont {};
class GpFontFamily {};
class GpFontCollection {};
class GpStringFormat {};

typedef float REAL;

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20
};
typedef Status GpStatus;

enum Unit {
    UnitWorld = 0,
    UnitDisplay = 1,
    UnitPixel = 2,
    UnitPoint = 3,
    UnitInch = 4,
    UnitDocument = 5,
    UnitMillimeter = 6
};
typedef Unit GpUnit;

enum DashStyle {
    DashStyleSolid = 0,
    DashStyleDash = 1,
    DashStyleDot = 2,
    DashStyleDashDot = 3,
    DashStyleDashDotDot = 4,
    DashStyleCustom = 5
};
typedef DashStyle GpDashStyle;

enum HatchStyle {
    HatchStyleHorizontal = 0,
    HatchStyleVertical = 1,
    HatchStyleForwardDiagonal = 2,
    HatchStyleBackwardDiagonal = 3,
    HatchStyleCross = 4,
    HatchStyleDiagonalCross = 5,
    HatchStyle05Percent = 6,
    HatchStyle10Percent = 7,
    HatchStyle20Percent = 8,
    HatchStyle25Percent = 9,
    HatchStyle30Percent = 10,
    HatchStyle40Percent = 11,
    HatchStyle50Percent = 12,
    HatchStyle60Percent = 13,
    HatchStyle70Percent = 14,
    HatchStyle75Percent = 15,
    HatchStyle80Percent = 16,
    HatchStyle90Percent = 17,
    HatchStyleLightDownwardDiagonal = 18,
    HatchStyleLightUpwardDiagonal = 19,
    HatchStyleDarkDownwardDiagonal = 20,
    HatchStyleDarkUpwardDiagonal = 21,
    HatchStyleWideDownwardDiagonal = 22,
    HatchStyleWideUpwardDiagonal = 23,
    HatchStyleLightVertical = 24,
    HatchStyleLightHorizontal = 25,
    HatchStyleNarrowVertical = 26,
    HatchStyleNarrowHorizontal = 27,
    HatchStyleDarkVertical = 28,
    HatchStyleDarkHorizontal = 29,
    HatchStyleDashedDownwardDiagonal = 30,
    HatchStyleDashedUpwardDiagonal = 31,
    HatchStyleDashedHorizontal = 32,
    HatchStyleDashedVertical = 33,
    HatchStyleSmallConfetti = 34,
    HatchStyleLargeConfetti = 35,
    HatchStyleZigZag = 36,
    HatchStyleWave = 37,
    HatchStyleDiagonalBrick = 38,
    HatchStyleHorizontalBrick = 39,
    HatchStyleWeave = 40,
    HatchStylePlaid = 41,
    HatchStyleDivot = 42,
    HatchStyleDottedGrid = 43,
    HatchStyleDottedDiamond = 44,
    HatchStyleShingle = 45,
    HatchStyleTrellis = 46,
    HatchStyleSphere = 47,
    HatchStyleSmallGrid = 48,
    HatchStyleSmallCheckerBoard = 49,
    HatchStyleLargeCheckerBoard = 50,
    HatchStyleOutlinedDiamond = 51,
    HatchStyleSolidDiamond = 52,
    HatchStyleTotal = 53,
    HatchStyleLargeGrid = HatchStyleCross,
    HatchStyleMin = HatchStyleHorizontal,
    HatchStyleMax = HatchStyleTotal - 1
};
typedef HatchStyle GpHatchStyle;

enum FontStyle {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};

enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };

enum ColorAdjustType {
    ColorAdjustTypeDefault = 0,
    ColorAdjustTypeBitmap = 1,
    ColorAdjustTypeBrush = 2,
    ColorAdjustTypePen = 3,
    ColorAdjustTypeText = 4,
    ColorAdjustTypeCount = 5,
    ColorAdjustTypeAny = 6
};

enum ImageLockMode { ImageLockModeRead = 1, ImageLockModeWrite = 2, ImageLockModeUserInputBuf = 4 };

typedef INT PixelFormat;
#define PixelFormatIndexed 0x00010000
#define PixelFormatGDI 0x00020000
#define PixelFormatAlpha 0x00040000
#define PixelFormatPAlpha 0x00080000
#define PixelFormatCanonical 0x00200000
#define PixelFormatUndefined 0
#define PixelFormatDontCare 0
#define PixelFormat8bppIndexed (3 | (8 << 8) | PixelFormatIndexed | PixelFormatGDI)
#define PixelFormat24bppRGB (8 | (24 << 8) | PixelFormatGDI)
#define PixelFormat32bppRGB (9 | (32 << 8) | PixelFormatGDI)
#define PixelFormat32bppARGB (10 | (32 << 8) | PixelFormatAlpha | PixelFormatGDI | PixelFormatCanonical)
#define PixelFormat32bppPARGB (11 | (32 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatGDI)

inline UINT GetPixelFormatSize(PixelFormat pixfmt) { return (pixfmt >> 8) & 0xff; }

typedef DWORD ARGB;

/// A colour as one 32-bit value 0xAARRGGBB (alpha 255 opaque, 0 transparent).
class Color {
public:
    enum : ARGB { Black = 0xFF000000, White = 0xFFFFFFFF, Red = 0xFFFF0000, Green = 0xFF008000, Blue = 0xFF0000FF,
                  Magenta = 0xFFFF00FF, Transparent = 0x00FFFFFF,
                  AliceBlue = 0xFFF0F8FF,
                  AntiqueWhite = 0xFFFAEBD7,
                  Aqua = 0xFF00FFFF,
                  Aquamarine = 0xFF7FFFD4,
                  Azure = 0xFFF0FFFF,
                  Beige = 0xFFF5F5DC,
                  Bisque = 0xFFFFE4C4,
                  BlanchedAlmond = 0xFFFFEBCD,
                  BlueViolet = 0xFF8A2BE2,
                  Brown = 0xFFA52A2A,
                  BurlyWood = 0xFFDEB887,
                  CadetBlue = 0xFF5F9EA0,
                  Chartreuse = 0xFF7FFF00,
                  Chocolate = 0xFFD2691E,
                  Coral = 0xFFFF7F50,
                  CornflowerBlue = 0xFF6495ED,
                  Cornsilk = 0xFFFFF8DC,
                  Crimson = 0xFFDC143C,
                  Cyan = 0xFF00FFFF,
                  DarkBlue = 0xFF00008B,
                  DarkCyan = 0xFF008B8B,
                  DarkGoldenrod = 0xFFB8860B,
                  DarkGray = 0xFFA9A9A9,
                  DarkGreen = 0xFF006400,
                  DarkKhaki = 0xFFBDB76B,
                  DarkMagenta = 0xFF8B008B,
                  DarkOliveGreen = 0xFF556B2F,
                  DarkOrange = 0xFFFF8C00,
                  DarkOrchid = 0xFF9932CC,
                  DarkRed = 0xFF8B0000,
                  DarkSalmon = 0xFFE9967A,
                  DarkSeaGreen = 0xFF8FBC8B,
                  DarkSlateBlue = 0xFF483D8B,
                  DarkSlateGray = 0xFF2F4F4F,
                  DarkTurquoise = 0xFF00CED1,
                  DarkViolet = 0xFF9400D3,
                  DeepPink = 0xFFFF1493,
                  DeepSkyBlue = 0xFF00BFFF,
                  DimGray = 0xFF696969,
                  DodgerBlue = 0xFF1E90FF,
                  Firebrick = 0xFFB22222,
                  FloralWhite = 0xFFFFFAF0,
                  ForestGreen = 0xFF228B22,
                  Fuchsia = 0xFFFF00FF,
                  Gainsboro = 0xFFDCDCDC,
                  GhostWhite = 0xFFF8F8FF,
                  Gold = 0xFFFFD700,
                  Goldenrod = 0xFFDAA520,
                  Gray = 0xFF808080,
                  GreenYellow = 0xFFADFF2F,
                  Honeydew = 0xFFF0FFF0,
                  HotPink = 0xFFFF69B4,
                  IndianRed = 0xFFCD5C5C,
                  Indigo = 0xFF4B0082,
                  Ivory = 0xFFFFFFF0,
                  Khaki = 0xFFF0E68C,
                  Lavender = 0xFFE6E6FA,
                  LavenderBlush = 0xFFFFF0F5,
                  LawnGreen = 0xFF7CFC00,
                  LemonChiffon = 0xFFFFFACD,
                  LightBlue = 0xFFADD8E6,
                  LightCoral = 0xFFF08080,
                  LightCyan = 0xFFE0FFFF,
                  LightGoldenrodYellow = 0xFFFAFAD2,
                  LightGray = 0xFFD3D3D3,
                  LightGreen = 0xFF90EE90,
                  LightPink = 0xFFFFB6C1,
                  LightSalmon = 0xFFFFA07A,
                  LightSeaGreen = 0xFF20B2AA,
                  LightSkyBlue = 0xFF87CEFA,
                  LightSlateGray = 0xFF778899,
                  LightSteelBlue = 0xFFB0C4DE,
                  LightYellow = 0xFFFFFFE0,
                  Lime = 0xFF00FF00,
                  LimeGreen = 0xFF32CD32,
                  Linen = 0xFFFAF0E6,
                  Maroon = 0xFF800000,
                  MediumAquamarine = 0xFF66CDAA,
                  MediumBlue = 0xFF0000CD,
                  MediumOrchid = 0xFFBA55D3,
                  MediumPurple = 0xFF9370DB,
                  MediumSeaGreen = 0xFF3CB371,
                  MediumSlateBlue = 0xFF7B68EE,
                  MediumSpringGreen = 0xFF00FA9A,
                  MediumTurquoise = 0xFF48D1CC,
                  MediumVioletRed = 0xFFC71585,
                  MidnightBlue = 0xFF191970,
                  MintCream = 0xFFF5FFFA,
                  MistyRose = 0xFFFFE4E1,
                  Moccasin = 0xFFFFE4B5,
                  NavajoWhite = 0xFFFFDEAD,
                  Navy = 0xFF000080,
                  OldLace = 0xFFFDF5E6,
                  Olive = 0xFF808000,
                  OliveDrab = 0xFF6B8E23,
                  Orange = 0xFFFFA500,
                  OrangeRed = 0xFFFF4500,
                  Orchid = 0xFFDA70D6,
                  PaleGoldenrod = 0xFFEEE8AA,
                  PaleGreen = 0xFF98FB98,
                  PaleTurquoise = 0xFFAFEEEE,
                  PaleVioletRed = 0xFFDB7093,
                  PapayaWhip = 0xFFFFEFD5,
                  PeachPuff = 0xFFFFDAB9,
                  Peru = 0xFFCD853F,
                  Pink = 0xFFFFC0CB,
                  Plum = 0xFFDDA0DD,
                  PowderBlue = 0xFFB0E0E6,
                  Purple = 0xFF800080,
                  RosyBrown = 0xFFBC8F8F,
                  RoyalBlue = 0xFF4169E1,
                  SaddleBrown = 0xFF8B4513,
                  Salmon = 0xFFFA8072,
                  SandyBrown = 0xFFF4A460,
                  SeaGreen = 0xFF2E8B57,
                  SeaShell = 0xFFFFF5EE,
                  Sienna = 0xFFA0522D,
                  Silver = 0xFFC0C0C0,
                  SkyBlue = 0xFF87CEEB,
                  SlateBlue = 0xFF6A5ACD,
                  SlateGray = 0xFF708090,
                  Snow = 0xFFFFFAFA,
                  SpringGreen = 0xFF00FF7F,
                  SteelBlue = 0xFF4682B4,
                  Tan = 0xFFD2B48C,
                  Teal = 0xFF008080,
                  Thistle = 0xFFD8BFD8,
                  Tomato = 0xFFFF6347,
                  Turquoise = 0xFF40E0D0,
                  Violet = 0xFFEE82EE,
                  Wheat = 0xFFF5DEB3,
                  WhiteSmoke = 0xFFF5F5F5,
                  Yellow = 0xFFFFFF00,
                  YellowGreen = 0xFF9ACD32 };
    enum { AlphaShift = 24, RedShift = 16, GreenShift = 8, BlueShift = 0 };

    /// Opaque black.
    Color() : Argb(Black) {}
    /// An opaque colour.
    Color(BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(255, r, g, b)) {}
    /// A colour with alpha a.
    Color(BYTE a, BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(a, r, g, b)) {}
    /// The colour 0xAARRGGBB.
    Color(ARGB argb) : Argb(argb) {}

    /// Alpha, 0-255.
    BYTE GetAlpha() const { return BYTE(Argb >> AlphaShift); }
    /// Alpha, 0-255.
    BYTE GetA() const { return GetAlpha(); }
    /// Red, 0-255.
    BYTE GetRed() const { return BYTE(Argb >> RedShift); }
    /// Red, 0-255.
    BYTE GetR() const { return GetRed(); }
    /// Green, 0-255.
    BYTE GetGreen() const { return BYTE(Argb >> GreenShift); }
    /// Green, 0-255.
    BYTE GetG() const { return GetGreen(); }
    /// Blue, 0-255.
    BYTE GetBlue() const { return BYTE(Argb >> BlueShift); }
    /// Blue, 0-255.
    BYTE GetB() const { return GetBlue(); }
    /// The colour as 0xAARRGGBB.
    ARGB GetValue() const { return Argb; }
    /// Replaces the colour by 0xAARRGGBB.
    void SetValue(ARGB argb) { Argb = argb; }

    /// 0xAARRGGBB of the four components.
    static ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b)
    {
        return (ARGB(a) << AlphaShift) | (ARGB(r) << RedShift) | (ARGB(g) << GreenShift) | (ARGB(b) << BlueShift);
    }

protected:
    /// The colour, 0xAARRGGBB.
    ARGB Argb;
};

class Size;
class SizeF;

/// An integer point.
class Point {
public:
    Point() : X(0), Y(0) {}
    /// The point (x, y).
    Point(INT x, INT y) : X(x), Y(y) {}
    /// The point (size.Width, size.Height).
    inline Point(const Size& size);
    Point operator+(const Point& p) const { return Point(X + p.X, Y + p.Y); }
    Point operator-(const Point& p) const { return Point(X - p.X, Y - p.Y); }
    BOOL Equals(const Point& p) const { return X == p.X && Y == p.Y; }
    /// Coordinates.
    ///@{
    INT X, Y;
    ///@}
};

/// A floating-point point, in the unit of the call (pixels here).
class PointF {
public:
    PointF() : X(0), Y(0) {}
    /// The point (x, y).
    PointF(REAL x, REAL y) : X(x), Y(y) {}
    /// The point (size.Width, size.Height).
    inline PointF(const SizeF& size);
    PointF operator+(const PointF& p) const { return PointF(X + p.X, Y + p.Y); }
    PointF operator-(const PointF& p) const { return PointF(X - p.X, Y - p.Y); }
    BOOL Equals(const PointF& p) const { return X == p.X && Y == p.Y; }
    /// Coordinates.
    ///@{
    REAL X, Y;
    ///@}
};

/// An integer size.
class Size {
public:
    Size() : Width(0), Height(0) {}
    Size(INT width, INT height) : Width(width), Height(height) {}
    /// TRUE when both sides are 0 (not when one is negative).
    BOOL Empty() const { return Width == 0 && Height == 0; }
    BOOL Equals(const Size& s) const { return Width == s.Width && Height == s.Height; }
    Size operator+(const Size& s) const { return Size(Width + s.Width, Height + s.Height); }
    Size operator-(const Size& s) const { return Size(Width - s.Width, Height - s.Height); }
    INT Width, Height;
};

inline Point::Point(const Size& size) : X(size.Width), Y(size.Height) {}

/// An integer rectangle: left X, top Y, Width, Height. Contains and IntersectsWith treat it as
/// half-open: the column X + Width and the row Y + Height lie outside.
class Rect {
public:
    Rect() : X(0), Y(0), Width(0), Height(0) {}
    /// The rectangle at (x, y) of the given size.
    Rect(INT x, INT y, INT width, INT height) : X(x), Y(y), Width(width), Height(height) {}
    /// The rectangle at location of the given size.
    Rect(const Point& location, const Size& size)
        : X(location.X), Y(location.Y), Width(size.Width), Height(size.Height)
    {
    }
    /// A copy on the heap; the caller deletes it.
    Rect* Clone() const { return new Rect(X, Y, Width, Height); }
    void GetLocation(Point* point) const
    {
        if (point)
            *point = Point(X, Y);
    }
    void GetSize(Size* size) const
    {
        if (size)
            *size = Size(Width, Height);
    }
    void GetBounds(Rect* rect) const
    {
        if (rect)
            *rect = *this;
    }
    BOOL Contains(const Point& p) const { return Contains(p.X, p.Y); }
    /// Grows every side outwards by dx across and dy down (shrinks for negative values).
    void Inflate(INT dx, INT dy)
    {
        X -= dx;
        Y -= dy;
        Width += 2 * dx;
        Height += 2 * dy;
    }
    void Inflate(const Point& p) { Inflate(p.X, p.Y); }
    void Offset(const Point& p) { Offset(p.X, p.Y); }
    /// c becomes the overlap of a and b. Without one, FALSE, and c keeps the (non-positive) size
    /// the overlap's edges give.
    static BOOL Intersect(Rect& c, const Rect& a, const Rect& b)
    {
        const INT left = a.X > b.X ? a.X : b.X, top = a.Y > b.Y ? a.Y : b.Y;
        const INT right = a.GetRight() < b.GetRight() ? a.GetRight() : b.GetRight();
        const INT bottom = a.GetBottom() < b.GetBottom() ? a.GetBottom() : b.GetBottom();
        c = Rect(left, top, right - left, bottom - top);
        return !c.IsEmptyArea();
    }
    BOOL Intersect(const Rect& r) { return Intersect(*this, *this, r); }
    /// c becomes the smallest rectangle holding a and b; FALSE when that has no area.
    static BOOL Union(Rect& c, const Rect& a, const Rect& b)
    {
        const INT left = a.X < b.X ? a.X : b.X, top = a.Y < b.Y ? a.Y : b.Y;
        const INT right = a.GetRight() > b.GetRight() ? a.GetRight() : b.GetRight();
        const INT bottom = a.GetBottom() > b.GetBottom() ? a.GetBottom() : b.GetBottom();
        c = Rect(left, top, right - left, bottom - top);
        return !c.IsEmptyArea();
    }

    /// X.
    INT GetLeft() const { return X; }
    /// Y.
    INT GetTop() const { return Y; }
    /// X + Width (the first column outside).
    INT GetRight() const { return X + Width; }
    /// Y + Height (the first row outside).
    INT GetBottom() const { return Y + Height; }
    /// TRUE when Width or Height is 0 or less.
    BOOL IsEmptyArea() const { return Width <= 0 || Height <= 0; }
    /// TRUE when all four fields are equal.
    BOOL Equals(const Rect& r) const { return X == r.X && Y == r.Y && Width == r.Width && Height == r.Height; }
    /// TRUE when the point lies inside (right column and bottom row excluded).
    BOOL Contains(INT x, INT y) const { return x >= X && x < X + Width && y >= Y && y < Y + Height; }
    /// TRUE when r lies wholly inside.
    BOOL Contains(const Rect& r) const
    {
        return X <= r.X && r.GetRight() <= GetRight() && Y <= r.Y && r.GetBottom() <= GetBottom();
    }
    /// TRUE when the two share an inside point (touching edges do not).
    BOOL IntersectsWith(const Rect& r) const
    {
        return GetLeft() < r.GetRight() && GetTop() < r.GetBottom() && GetRight() > r.GetLeft() &&
               GetBottom() > r.GetTop();
    }
    /// Moves the rectangle by (dx, dy).
    void Offset(INT dx, INT dy)
    {
        X += dx;
        Y += dy;
    }

    /// Left, top, width and height.
    ///@{
    INT X, Y, Width, Height;
    ///@}
};
typedef Rect GpRect;

/// A floating-point rectangle: left X, top Y, Width, Height.
class RectF {
public:
    RectF() : X(0), Y(0), Width(0), Height(0) {}
    /// The rectangle at (x, y) of the given size.
    RectF(REAL x, REAL y, REAL width, REAL height) : X(x), Y(y), Width(width), Height(height) {}
    /// The rectangle at location of the given size.
    inline RectF(const PointF& location, const SizeF& size);

    /// X.
    REAL GetLeft() const { return X; }
    /// Y.
    REAL GetTop() const { return Y; }
    /// X + Width.
    REAL GetRight() const { return X + Width; }
    /// Y + Height.
    REAL GetBottom() const { return Y + Height; }
    /// A copy on the heap; the caller deletes it.
    RectF* Clone() const { return new RectF(X, Y, Width, Height); }
    void GetLocation(PointF* point) const
    {
        if (point)
            *point = PointF(X, Y);
    }
    inline void GetSize(SizeF* size) const;
    void GetBounds(RectF* rect) const
    {
        if (rect)
            *rect = *this;
    }
    /// TRUE when Width or Height is 0 or less.
    BOOL IsEmptyArea() const { return Width <= 0 || Height <= 0; }
    BOOL Equals(const RectF& r) const { return X == r.X && Y == r.Y && Width == r.Width && Height == r.Height; }
    /// Right and bottom edges lie outside, as for Rect.
    BOOL Contains(REAL x, REAL y) const { return x >= X && x < X + Width && y >= Y && y < Y + Height; }
    BOOL Contains(const PointF& p) const { return Contains(p.X, p.Y); }
    BOOL Contains(const RectF& r) const
    {
        return X <= r.X && r.GetRight() <= GetRight() && Y <= r.Y && r.GetBottom() <= GetBottom();
    }
    BOOL IntersectsWith(const RectF& r) const
    {
        return GetLeft() < r.GetRight() && GetTop() < r.GetBottom() && GetRight() > r.GetLeft() &&
               GetBottom() > r.GetTop();
    }
    void Offset(REAL dx, REAL dy)
    {
        X += dx;
        Y += dy;
    }
    void Offset(const PointF& p) { Offset(p.X, p.Y); }
    void Inflate(REAL dx, REAL dy)
    {
        X -= dx;
        Y -= dy;
        Width += 2 * dx;
        Height += 2 * dy;
    }
    void Inflate(const PointF& p) { Inflate(p.X, p.Y); }
    /// As Rect::Intersect: FALSE without an overlap, c keeping the size its edges give.
    static BOOL Intersect(RectF& c, const RectF& a, const RectF& b)
    {
        const REAL left = a.X > b.X ? a.X : b.X, top = a.Y > b.Y ? a.Y : b.Y;
        const REAL right = a.GetRight() < b.GetRight() ? a.GetRight() : b.GetRight();
        const REAL bottom = a.GetBottom() < b.GetBottom() ? a.GetBottom() : b.GetBottom();
        c = RectF(left, top, right - left, bottom - top);
        return !c.IsEmptyArea();
    }
    BOOL Intersect(const RectF& r) { return Intersect(*this, *this, r); }
    static BOOL Union(RectF& c, const RectF& a, const RectF& b)
    {
        const REAL left = a.X < b.X ? a.X : b.X, top = a.Y < b.Y ? a.Y : b.Y;
        const REAL right = a.GetRight() > b.GetRight() ? a.GetRight() : b.GetRight();
        const REAL bottom = a.GetBottom() > b.GetBottom() ? a.GetBottom() : b.GetBottom();
        c = RectF(left, top, right - left, bottom - top);
        return !c.IsEmptyArea();
    }

    /// Left, top, width and height.
    ///@{
    REAL X, Y, Width, Height;
    ///@}
};
typedef RectF GpRectF;

/// Describes a locked block of bitmap pixels (Bitmap::LockBits): Width x Height pixels in
/// PixelFormat, row y starting at Scan0 + y x Stride.
class BitmapData {
public:
    /// Width of the locked block, pixels.
    UINT Width;
    /// Height of the locked block, pixels.
    UINT Height;
    /// Bytes from one row to the next (negative for rows stored bottom-up).
    INT Stride;
    /// Format of the locked pixels.
    Gdiplus::PixelFormat PixelFormat;
    /// First byte of the top row.
    VOID* Scan0;
    /// Reserved.
    UINT_PTR Reserved;
};

// --- Image encoders ----------------------------------------------------------------------------

enum ImageCodecFlags {
    ImageCodecFlagsEncoder = 0x00000001,
    ImageCodecFlagsDecoder = 0x00000002,
    ImageCodecFlagsSupportBitmap = 0x00000004,
    ImageCodecFlagsSupportVector = 0x00000008,
    ImageCodecFlagsSeekableEncode = 0x00000010,
    ImageCodecFlagsBlockingDecode = 0x00000020,
    ImageCodecFlagsBuiltin = 0x00010000,
    ImageCodecFlagsSystem = 0x00020000,
    ImageCodecFlagsUser = 0x00040000
};

/// One image encoder as GetImageEncoders lists it. The strings and signature bytes belong to the
/// platform and stay valid for the life of the process.
class ImageCodecInfo {
public:
    /// The encoder's identifier, as Image::Save takes it.
    CLSID Clsid;
    /// The file format (ImageFormatPNG, ...).
    GUID FormatID;
    /// Name, for example L"Built-in PNG Codec".
    const WCHAR* CodecName;
    /// Null for built-in encoders.
    const WCHAR* DllName;
    /// Short format name, for example L"PNG".
    const WCHAR* FormatDescription;
    /// File name patterns, for example L"*.PNG".
    const WCHAR* FilenameExtension;
    /// MIME type, for example L"image/png"; the usual way to look an encoder up.
    const WCHAR* MimeType;
    /// ImageCodecFlags bits.
    DWORD Flags;
    /// Version of the codec.
    DWORD Version;
    /// Number of file signatures.
    DWORD SigCount;
    /// Bytes in each signature.
    DWORD SigSize;
    /// SigCount signatures of SigSize bytes.
    const BYTE* SigPattern;
    /// Masks of the signatures.
    const BYTE* SigMask;
};

enum EncoderParameterValueType {
    EncoderParameterValueTypeByte = 1,
    EncoderParameterValueTypeASCII = 2,
    EncoderParameterValueTypeShort = 3,
    EncoderParameterValueTypeLong = 4,
    EncoderParameterValueTypeRational = 5,
    EncoderParameterValueTypeLongRange = 6,
    EncoderParameterValueTypeUndefined = 7,
    EncoderParameterValueTypeRationalRange = 8,
    EncoderParameterValueTypePointer = 9
};

/// One encoder parameter: which (Guid), and NumberOfValues values of Type at Value.
class EncoderParameter {
public:
    /// Which parameter, for example EncoderQuality.
    GUID Guid;
    /// How many values Value points to.
    ULONG NumberOfValues;
    /// An EncoderParameterValueType: EncoderParameterValueTypeLong for EncoderQuality.
    ULONG Type;
    /// The values (the caller's memory, read during Save).
    VOID* Value;
};

/// Parameters handed to Image::Save: Count entries of Parameter (the array is declared with
/// one element; allocate room for more when passing more).
class EncoderParameters {
public:
    /// Number of entries in Parameter.
    UINT Count;
    /// The parameters.
    EncoderParameter Parameter[1];
};

// The JPEG encoder's quality: one EncoderParameterValueTypeLong from 0 (smallest file) to 100
// (best picture).
static const GUID EncoderQuality = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

// File formats, as ImageCodecInfo::FormatID names them.
static const GUID ImageFormatBMP = {0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
static const GUID ImageFormatJPEG = {0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
static const GUID ImageFormatPNG = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
static const GUID ImageFormatGIF = {0xb96b3cb0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
static const GUID ImageFormatTIFF = {0xb96b3cb1, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

typedef BOOL(CALLBACK* ImageAbort)(VOID*);
typedef ImageAbort DrawImageAbort;
typedef VOID(WINAPI* DebugEventProc)(INT level, CHAR* message);
typedef Status(WINAPI* NotificationHookProc)(ULONG_PTR* token);
typedef VOID(WINAPI* NotificationUnhookProc)(ULONG_PTR token);

/// What GdiplusStartup is asked for: the version (1 or 2) and optional hooks.
struct GdiplusStartupInput {
    /// 1 or 2; others fail with UnsupportedGdiplusVersion.
    UINT32 GdiplusVersion;
    /// Debug hook; not called here.
    DebugEventProc DebugEventCallback;
    /// TRUE: the host takes the notification hooks (GdiplusStartupOutput must then be passed).
    BOOL SuppressBackgroundThread;
    /// TRUE: only built-in codecs (here there are no others).
    BOOL SuppressExternalCodecs;

    /// Version 1 and the given options.
    GdiplusStartupInput(DebugEventProc debugEventCallback = nullptr, BOOL suppressBackgroundThread = FALSE,
                        BOOL suppressExternalCodecs = FALSE)
        : GdiplusVersion(1), DebugEventCallback(debugEventCallback),
          SuppressBackgroundThread(suppressBackgroundThread), SuppressExternalCodecs(suppressExternalCodecs)
    {
    }
};

/// The notification hooks GdiplusStartup hands back when the background thread is suppressed.
struct GdiplusStartupOutput {
    /// Set when the background thread is suppressed; null otherwise.
    NotificationHookProc NotificationHook;
    /// Set when the background thread is suppressed; null otherwise.
    NotificationUnhookProc NotificationUnhook;
};

extern "C" {
MOXPLAT_API Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                                         GdiplusStartupOutput* output);
MOXPLAT_API VOID WINAPI GdiplusShutdown(ULONG_PTR token);
}

namespace DllExports {
extern "C" {
MOXPLAT_API void* WINGDIPAPI GdipAlloc(size_t size);
MOXPLAT_API void WINGDIPAPI GdipFree(void* ptr);

// Images
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateBitmapFromFile(GDIPCONST WCHAR* filename, GpBitmap** bitmap);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format,
                                                          BYTE* scan0, GpBitmap** bitmap);
MOXPLAT_API GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
MOXPLAT_API GpStatus WINGDIPAPI GdipBitmapLockBits(GpBitmap* bitmap, GDIPCONST GpRect* rect, UINT flags,
                                                   PixelFormat format, BitmapData* lockedBitmapData);
MOXPLAT_API GpStatus WINGDIPAPI GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedBitmapData);
MOXPLAT_API GpStatus WINGDIPAPI GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE hpal, GpBitmap** bitmap);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);
MOXPLAT_API GpStatus WINGDIPAPI GdipSaveImageToFile(GpImage* image, GDIPCONST WCHAR* filename,
                                                    GDIPCONST CLSID* clsidEncoder,
                                                    GDIPCONST EncoderParameters* encoderParams);

// Image attributes
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateImageAttributes(GpImageAttributes** imageattr);
MOXPLAT_API GpStatus WINGDIPAPI GdipDisposeImageAttributes(GpImageAttributes* imageattr);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetImageAttributesColorKeys(GpImageAttributes* imageattr, ColorAdjustType type,
                                                                BOOL enableFlag, ARGB colorLow, ARGB colorHigh);

// Graphics
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeleteGraphics(GpGraphics* graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width,
                                                   INT height);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty,
                                                       INT dstwidth, INT dstheight, INT srcx, INT srcy,
                                                       INT srcwidth, INT srcheight, GpUnit srcUnit,
                                                       GDIPCONST GpImageAttributes* imageAttributes,
                                                       DrawImageAbort callback, VOID* callbackData);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty,
                                                      REAL dstwidth, REAL dstheight, REAL srcx, REAL srcy,
                                                      REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                                                      GDIPCONST GpImageAttributes* imageAttributes,
                                                      DrawImageAbort callback, VOID* callbackData);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width,
                                                   INT height);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width,
                                                   INT height);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawString(GpGraphics* graphics, GDIPCONST WCHAR* string, INT length,
                                               GDIPCONST GpFont* font, GDIPCONST RectF* layoutRect,
                                               GDIPCONST GpStringFormat* stringFormat, GDIPCONST GpBrush* brush);

// Pens
MOXPLAT_API GpStatus WINGDIPAPI GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeletePen(GpPen* pen);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenDashStyle(GpPen* pen, GpDashStyle dashstyle);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenDashStyle(GpPen* pen, GpDashStyle* dashstyle);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenColor(GpPen* pen, ARGB* argb);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenWidth(GpPen* pen, REAL* width);

// Brushes
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateHatchBrush(GpHatchStyle hatchstyle, ARGB forecol, ARGB backcol,
                                                     GpHatch** brush);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetHatchStyle(GpHatch* brush, GpHatchStyle* hatchstyle);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetHatchForegroundColor(GpHatch* brush, ARGB* forecol);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* backcol);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeleteBrush(GpBrush* brush);

// Fonts and text layout
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateFontFamilyFromName(GDIPCONST WCHAR* name,
                                                             GpFontCollection* fontCollection,
                                                             GpFontFamily** fontFamily);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeleteFontFamily(GpFontFamily* fontFamily);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateFont(GDIPCONST GpFontFamily* fontFamily, REAL emSize, INT style, Unit unit,
                                               GpFont** font);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeleteFont(GpFont* font);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetFontSize(GpFont* font, REAL* size);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetFontStyle(GpFont* font, INT* style);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateStringFormat(INT formatAttributes, LANGID language,
                                                       GpStringFormat** format);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeleteStringFormat(GpStringFormat* format);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatAlign(GpStringFormat* format, StringAlignment* align);
}
}  // namespace DllExports

// --- Paths, matrices, gradient and texture brushes, graphics state --------------------------

class GpPath {};
class GpRegion {};

/// How a region or clip is combined with another shape.
enum CombineMode {
    CombineModeReplace = 0,
    CombineModeIntersect = 1,
    CombineModeUnion = 2,
    CombineModeXor = 3,
    CombineModeExclude = 4,
    CombineModeComplement = 5
};
class GpMatrix {};
class GpLineGradient : public GpBrush {};
class GpTexture : public GpBrush {};

enum FillMode { FillModeAlternate = 0, FillModeWinding = 1 };
typedef FillMode GpFillMode;

enum MatrixOrder { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };

enum WrapMode { WrapModeTile = 0, WrapModeTileFlipX = 1, WrapModeTileFlipY = 2, WrapModeTileFlipXY = 3, WrapModeClamp = 4 };
typedef WrapMode GpWrapMode;

enum LinearGradientMode {
    LinearGradientModeHorizontal = 0,
    LinearGradientModeVertical = 1,
    LinearGradientModeForwardDiagonal = 2,
    LinearGradientModeBackwardDiagonal = 3
};

enum BrushType {
    BrushTypeSolidColor = 0,
    BrushTypeHatchFill = 1,
    BrushTypeTextureFill = 2,
    BrushTypePathGradient = 3,
    BrushTypeLinearGradient = 4
};
typedef BrushType GpBrushType;

enum ImageType { ImageTypeUnknown = 0, ImageTypeBitmap = 1, ImageTypeMetafile = 2 };

enum QualityMode { QualityModeInvalid = -1, QualityModeDefault = 0, QualityModeLow = 1, QualityModeHigh = 2 };

enum SmoothingMode {
    SmoothingModeInvalid = QualityModeInvalid,
    SmoothingModeDefault = QualityModeDefault,
    SmoothingModeHighSpeed = QualityModeLow,
    SmoothingModeHighQuality = QualityModeHigh,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
    SmoothingModeAntiAlias8x4 = SmoothingModeAntiAlias,
    SmoothingModeAntiAlias8x8 = 5
};

enum InterpolationMode {
    InterpolationModeInvalid = QualityModeInvalid,
    InterpolationModeDefault = QualityModeDefault,
    InterpolationModeLowQuality = QualityModeLow,
    InterpolationModeHighQuality = QualityModeHigh,
    InterpolationModeBilinear = 3,
    InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5,
    InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7
};

enum PixelOffsetMode {
    PixelOffsetModeInvalid = QualityModeInvalid,
    PixelOffsetModeDefault = QualityModeDefault,
    PixelOffsetModeHighSpeed = QualityModeLow,
    PixelOffsetModeHighQuality = QualityModeHigh,
    PixelOffsetModeNone = 3,
    PixelOffsetModeHalf = 4
};

enum CompositingMode { CompositingModeSourceOver = 0, CompositingModeSourceCopy = 1 };

enum CompositingQuality {
    CompositingQualityInvalid = QualityModeInvalid,
    CompositingQualityDefault = QualityModeDefault,
    CompositingQualityHighSpeed = QualityModeLow,
    CompositingQualityHighQuality = QualityModeHigh,
    CompositingQualityGammaCorrected = 3,
    CompositingQualityAssumeLinear = 4
};

enum TextRenderingHint {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5
};

enum LineCap {
    LineCapFlat = 0,
    LineCapSquare = 1,
    LineCapRound = 2,
    LineCapTriangle = 3,
    LineCapNoAnchor = 0x10,
    LineCapSquareAnchor = 0x11,
    LineCapRoundAnchor = 0x12,
    LineCapDiamondAnchor = 0x13,
    LineCapArrowAnchor = 0x14,
    LineCapCustom = 0xff,
    LineCapAnchorMask = 0xf0
};
typedef LineCap GpLineCap;

enum LineJoin { LineJoinMiter = 0, LineJoinBevel = 1, LineJoinRound = 2, LineJoinMiterClipped = 3 };
typedef LineJoin GpLineJoin;

enum PenAlignment { PenAlignmentCenter = 0, PenAlignmentInset = 1 };

enum PenType {
    PenTypeSolidColor = BrushTypeSolidColor,
    PenTypeHatchFill = BrushTypeHatchFill,
    PenTypeTextureFill = BrushTypeTextureFill,
    PenTypePathGradient = BrushTypePathGradient,
    PenTypeLinearGradient = BrushTypeLinearGradient,
    PenTypeUnknown = -1
};
typedef PenType GpPenType;

enum PathPointType {
    PathPointTypeStart = 0,
    PathPointTypeLine = 1,
    PathPointTypeBezier = 3,
    PathPointTypePathTypeMask = 0x07,
    PathPointTypeDashMode = 0x10,
    PathPointTypePathMarker = 0x20,
    PathPointTypeCloseSubpath = 0x80,
    PathPointTypeBezier3 = 3
};

enum CoordinateSpace { CoordinateSpaceWorld = 0, CoordinateSpacePage = 1, CoordinateSpaceDevice = 2 };
typedef CoordinateSpace GpCoordinateSpace;

enum ImageFlags {
    ImageFlagsNone = 0,
    ImageFlagsScalable = 0x0001,
    ImageFlagsHasAlpha = 0x0002,
    ImageFlagsHasTranslucent = 0x0004,
    ImageFlagsPartiallyScalable = 0x0008,
    ImageFlagsColorSpaceRGB = 0x0010,
    ImageFlagsColorSpaceCMYK = 0x0020,
    ImageFlagsColorSpaceGRAY = 0x0040,
    ImageFlagsColorSpaceYCBCR = 0x0080,
    ImageFlagsColorSpaceYCCK = 0x0100,
    ImageFlagsHasRealDPI = 0x1000,
    ImageFlagsHasRealPixelSize = 0x2000,
    ImageFlagsReadOnly = 0x00010000,
    ImageFlagsCaching = 0x00020000
};

enum RotateFlipType {
    RotateNoneFlipNone = 0,
    Rotate90FlipNone = 1,
    Rotate180FlipNone = 2,
    Rotate270FlipNone = 3,
    RotateNoneFlipX = 4,
    Rotate90FlipX = 5,
    Rotate180FlipX = 6,
    Rotate270FlipX = 7,
    RotateNoneFlipY = Rotate180FlipX,
    Rotate90FlipY = Rotate270FlipX,
    Rotate180FlipY = RotateNoneFlipX,
    Rotate270FlipY = Rotate90FlipX,
    RotateNoneFlipXY = Rotate180FlipNone,
    Rotate90FlipXY = Rotate270FlipNone,
    Rotate180FlipXY = RotateNoneFlipNone,
    Rotate270FlipXY = Rotate90FlipNone
};

typedef UINT GraphicsState;
typedef UINT GraphicsContainer;

class SizeF {
public:
    SizeF() : Width(0), Height(0) {}
    SizeF(REAL width, REAL height) : Width(width), Height(height) {}
    /// TRUE when both sides are 0.
    BOOL Empty() const { return Width == 0 && Height == 0; }
    BOOL Equals(const SizeF& s) const { return Width == s.Width && Height == s.Height; }
    SizeF operator+(const SizeF& s) const { return SizeF(Width + s.Width, Height + s.Height); }
    SizeF operator-(const SizeF& s) const { return SizeF(Width - s.Width, Height - s.Height); }
    REAL Width, Height;
};

inline PointF::PointF(const SizeF& size) : X(size.Width), Y(size.Height) {}
inline RectF::RectF(const PointF& location, const SizeF& size)
    : X(location.X), Y(location.Y), Width(size.Width), Height(size.Height)
{
}
inline void RectF::GetSize(SizeF* size) const
{
    if (size)
        *size = SizeF(Width, Height);
}

typedef PointF GpPointF;
typedef Point GpPoint;

/// A path's points and their types, as GdipGetPathData fills them into the caller's arrays
/// (which the caller allocates and frees).
class PathData {
public:
    PathData() : Count(0), Points(nullptr), Types(nullptr) {}
    INT Count;
    PointF* Points;
    BYTE* Types;
};
typedef PathData GpPathData;

namespace DllExports {
extern "C" {

// Images.
MOXPLAT_API GpStatus WINGDIPAPI GdipLoadImageFromFile(GDIPCONST WCHAR* filename, GpImage** image);
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneImage(GpImage* image, GpImage** cloneImage);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageType(GpImage* image, ImageType* type);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageBounds(GpImage* image, GpRectF* srcRect, GpUnit* srcUnit);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageDimension(GpImage* image, REAL* width, REAL* height);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageVerticalResolution(GpImage* image, REAL* resolution);
MOXPLAT_API GpStatus WINGDIPAPI GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color);
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format,
                                                    GpBitmap* srcBitmap, GpBitmap** dstBitmap);
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format,
                                                     GpBitmap* srcBitmap, GpBitmap** dstBitmap);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target,
                                                             GpBitmap** bitmap);

// Graphics objects and their state.
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateFromHWND(HWND hwnd, GpGraphics** graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipGraphicsClear(GpGraphics* graphics, ARGB color);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipResetWorldTransform(GpGraphics* graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipMultiplyWorldTransform(GpGraphics* graphics, GDIPCONST GpMatrix* matrix,
                                                           MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetTextRenderingHint(GpGraphics* graphics, TextRenderingHint* mode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPageUnit(GpGraphics* graphics, GpUnit unit);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPageUnit(GpGraphics* graphics, GpUnit* unit);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPageScale(GpGraphics* graphics, REAL scale);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPageScale(GpGraphics* graphics, REAL* scale);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetDpiX(GpGraphics* graphics, REAL* dpi);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetDpiY(GpGraphics* graphics, REAL* dpi);
MOXPLAT_API GpStatus WINGDIPAPI GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state);
MOXPLAT_API GpStatus WINGDIPAPI GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state);

// Shapes.
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawLines(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawLinesI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width,
                                                  REAL height);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width,
                                                  REAL height);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width,
                                                REAL height);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width,
                                                REAL height);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width,
                                                 INT height);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height,
                                            REAL startAngle, REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height,
                                             REAL startAngle, REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height,
                                            REAL startAngle, REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawPieI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height,
                                             REAL startAngle, REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width,
                                            REAL height, REAL startAngle, REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillPieI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height,
                                             REAL startAngle, REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points,
                                                INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points,
                                                 INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points,
                                                INT count, GpFillMode fillMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points,
                                                 INT count, GpFillMode fillMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillPolygon2(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points,
                                                 INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillPolygon2I(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points,
                                                  INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2,
                                               REAL x3, REAL y3, REAL x4, REAL y4);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width,
                                                  REAL height);
MOXPLAT_API GpStatus WINGDIPAPI GdipMeasureString(GpGraphics* graphics, GDIPCONST WCHAR* string, INT length,
                                                  GDIPCONST GpFont* font, GDIPCONST RectF* layoutRect,
                                                  GDIPCONST GpStringFormat* stringFormat, RectF* boundingBox,
                                                  INT* codepointsFitted, INT* linesFilled);

// Paths.
MOXPLAT_API GpStatus WINGDIPAPI GdipCreatePath(GpFillMode brushMode, GpPath** path);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreatePath2(GDIPCONST GpPointF* points, GDIPCONST BYTE* types, INT count,
                                                GpFillMode fillMode, GpPath** path);
MOXPLAT_API GpStatus WINGDIPAPI GdipClonePath(GpPath* path, GpPath** clonePath);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeletePath(GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipResetPath(GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPointCount(GpPath* path, INT* count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPathTypes(GpPath* path, BYTE* types, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPathPoints(GpPath* path, GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPathPointsI(GpPath* path, GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPathFillMode(GpPath* path, GpFillMode* fillmode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPathFillMode(GpPath* path, GpFillMode fillmode);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPathLastPoint(GpPath* path, GpPointF* lastPoint);
MOXPLAT_API GpStatus WINGDIPAPI GdipStartPathFigure(GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipClosePathFigure(GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipClosePathFigures(GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathLineI(GpPath* path, INT x1, INT y1, INT x2, INT y2);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathLine2(GpPath* path, GDIPCONST GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathLine2I(GpPath* path, GDIPCONST GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathRectangles(GpPath* path, GDIPCONST GpRectF* rects, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathRectanglesI(GpPath* path, GDIPCONST GpRect* rects, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                                               REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathArcI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle,
                                                REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathPie(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                                               REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathPieI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle,
                                                REAL sweepAngle);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathPolygon(GpPath* path, GDIPCONST GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathPolygonI(GpPath* path, GDIPCONST GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3,
                                                  REAL x4, REAL y4);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathBeziers(GpPath* path, GDIPCONST GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathPath(GpPath* path, GDIPCONST GpPath* addingPath, BOOL connect);
MOXPLAT_API GpStatus WINGDIPAPI GdipTransformPath(GpPath* path, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds, GDIPCONST GpMatrix* matrix,
                                                       GDIPCONST GpPen* pen);

// Matrices.
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateMatrix(GpMatrix** matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy,
                                                  GpMatrix** matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneMatrix(GpMatrix* matrix, GpMatrix** cloneMatrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeleteMatrix(GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22,
                                                      REAL dx, REAL dy);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetMatrixElements(GDIPCONST GpMatrix* matrix, REAL* matrixOut);
MOXPLAT_API GpStatus WINGDIPAPI GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipShearMatrix(GpMatrix* matrix, REAL shearX, REAL shearY, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipInvertMatrix(GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipVectorTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsMatrixIdentity(GDIPCONST GpMatrix* matrix, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsMatrixInvertible(GDIPCONST GpMatrix* matrix, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsMatrixEqual(GDIPCONST GpMatrix* matrix, GDIPCONST GpMatrix* matrix2,
                                                  BOOL* result);

// Brushes.
MOXPLAT_API GpStatus WINGDIPAPI GdipGetBrushType(GpBrush* brush, GpBrushType* type);
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneBrush(GpBrush* brush, GpBrush** cloneBrush);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateLineBrush(GDIPCONST GpPointF* point1, GDIPCONST GpPointF* point2,
                                                    ARGB color1, ARGB color2, GpWrapMode wrapMode,
                                                    GpLineGradient** lineGradient);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateLineBrushI(GDIPCONST GpPoint* point1, GDIPCONST GpPoint* point2,
                                                     ARGB color1, ARGB color2, GpWrapMode wrapMode,
                                                     GpLineGradient** lineGradient);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateLineBrushFromRect(GDIPCONST GpRectF* rect, ARGB color1, ARGB color2,
                                                            LinearGradientMode mode, GpWrapMode wrapMode,
                                                            GpLineGradient** lineGradient);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateLineBrushFromRectI(GDIPCONST GpRect* rect, ARGB color1, ARGB color2,
                                                             LinearGradientMode mode, GpWrapMode wrapMode,
                                                             GpLineGradient** lineGradient);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetLineColors(GpLineGradient* brush, ARGB* colors);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetLineRect(GpLineGradient* brush, GpRectF* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetLineRectI(GpLineGradient* brush, GpRect* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetLineWrapMode(GpLineGradient* brush, GpWrapMode* wrapmode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetLineWrapMode(GpLineGradient* brush, GpWrapMode wrapmode);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateTexture(GpImage* image, GpWrapMode wrapmode, GpTexture** texture);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateTexture2I(GpImage* image, GpWrapMode wrapmode, INT x, INT y, INT width,
                                                    INT height, GpTexture** texture);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetTextureTransform(GpTexture* brush, GDIPCONST GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipResetTextureTransform(GpTexture* brush);
MOXPLAT_API GpStatus WINGDIPAPI GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetTextureWrapMode(GpTexture* brush, GpWrapMode* wrapmode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetTextureWrapMode(GpTexture* brush, GpWrapMode wrapmode);

// Pens.
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenColor(GpPen* pen, ARGB argb);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenWidth(GpPen* pen, REAL width);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenUnit(GpPen* pen, GpUnit* unit);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenLineJoin(GpPen* pen, GpLineJoin lineJoin);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenLineJoin(GpPen* pen, GpLineJoin* lineJoin);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenStartCap(GpPen* pen, GpLineCap startCap);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenStartCap(GpPen* pen, GpLineCap* startCap);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenEndCap(GpPen* pen, GpLineCap endCap);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenEndCap(GpPen* pen, GpLineCap* endCap);
MOXPLAT_API GpStatus WINGDIPAPI GdipClonePen(GpPen* pen, GpPen** clonepen);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenBrushFill(GpPen* pen, GpBrush* brush);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenBrushFill(GpPen* pen, GpBrush** brush);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenFillType(GpPen* pen, GpPenType* type);

// Curves, several rectangles, coordinate spaces.
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawCurve(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawCurveI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count,
                                               REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawCurve2I(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count,
                                                REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawCurve3(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points, INT count,
                                               INT offset, INT numberOfSegments, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawCurve3I(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points, INT count,
                                                INT offset, INT numberOfSegments, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawClosedCurve(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points,
                                                    INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawClosedCurveI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points,
                                                     INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawClosedCurve2(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPointF* points,
                                                     INT count, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawClosedCurve2I(GpGraphics* graphics, GpPen* pen, GDIPCONST GpPoint* points,
                                                      INT count, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillClosedCurve(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points,
                                                    INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillClosedCurveI(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points,
                                                     INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillClosedCurve2(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPointF* points,
                                                     INT count, REAL tension, GpFillMode fill);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillClosedCurve2I(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpPoint* points,
                                                      INT count, REAL tension, GpFillMode fill);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawBezierI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2,
                                                INT x3, INT y3, INT x4, INT y4);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpRectF* rects,
                                                   INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillRectanglesI(GpGraphics* graphics, GpBrush* brush, GDIPCONST GpRect* rects,
                                                    INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, GDIPCONST GpRectF* rects,
                                                   INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipDrawRectanglesI(GpGraphics* graphics, GpPen* pen, GDIPCONST GpRect* rects,
                                                    INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetNearestColor(GpGraphics* graphics, ARGB* argb);
MOXPLAT_API GpStatus WINGDIPAPI GdipResetPageTransform(GpGraphics* graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipTransformPoints(GpGraphics* graphics, GpCoordinateSpace destSpace,
                                                    GpCoordinateSpace srcSpace, GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipTransformPointsI(GpGraphics* graphics, GpCoordinateSpace destSpace,
                                                     GpCoordinateSpace srcSpace, GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPathData(GpPath* path, GpPathData* pathData);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateFromHWNDICM(HWND hwnd, GpGraphics** graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipLoadImageFromFileICM(GDIPCONST WCHAR* filename, GpImage** image);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateBitmapFromFileICM(GDIPCONST WCHAR* filename, GpBitmap** bitmap);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetImageFlags(GpImage* image, UINT* flags);
MOXPLAT_API GpStatus WINGDIPAPI GdipImageRotateFlip(GpImage* image, RotateFlipType type);
MOXPLAT_API GpStatus WINGDIPAPI GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi);
MOXPLAT_API GpStatus WINGDIPAPI GdipResetImageAttributes(GpImageAttributes* imageattr, ColorAdjustType type);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateLineBrushFromRectWithAngle(GDIPCONST GpRectF* rect, ARGB color1, ARGB color2,
                                                                     REAL angle, BOOL isAngleScalable,
                                                                     GpWrapMode wrapMode,
                                                                     GpLineGradient** lineGradient);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateLineBrushFromRectWithAngleI(GDIPCONST GpRect* rect, ARGB color1, ARGB color2,
                                                                      REAL angle, BOOL isAngleScalable,
                                                                      GpWrapMode wrapMode,
                                                                      GpLineGradient** lineGradient);

// Regions and clipping.
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateRegion(GpRegion** region);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateRegionRect(GDIPCONST GpRectF* rect, GpRegion** region);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateRegionRectI(GDIPCONST GpRect* rect, GpRegion** region);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateRegionPath(GpPath* path, GpRegion** region);
MOXPLAT_API GpStatus WINGDIPAPI GdipCreateRegionHrgn(HRGN hRgn, GpRegion** region);
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneRegion(GpRegion* region, GpRegion** cloneRegion);
MOXPLAT_API GpStatus WINGDIPAPI GdipDeleteRegion(GpRegion* region);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetInfinite(GpRegion* region);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetEmpty(GpRegion* region);
MOXPLAT_API GpStatus WINGDIPAPI GdipCombineRegionRect(GpRegion* region, GDIPCONST GpRectF* rect, CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipCombineRegionRectI(GpRegion* region, GDIPCONST GpRect* rect, CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipCombineRegionPath(GpRegion* region, GpPath* path, CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipCombineRegionRegion(GpRegion* region, GpRegion* region2, CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipTranslateRegion(GpRegion* region, REAL dx, REAL dy);
MOXPLAT_API GpStatus WINGDIPAPI GdipTranslateRegionI(GpRegion* region, INT dx, INT dy);
MOXPLAT_API GpStatus WINGDIPAPI GdipTransformRegion(GpRegion* region, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, GpRectF* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetRegionBoundsI(GpRegion* region, GpGraphics* graphics, GpRect* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetRegionHRgn(GpRegion* region, GpGraphics* graphics, HRGN* hRgn);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsEqualRegion(GpRegion* region, GpRegion* region2, GpGraphics* graphics,
                                                  BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisibleRegionPoint(GpRegion* region, REAL x, REAL y, GpGraphics* graphics,
                                                         BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisibleRegionPointI(GpRegion* region, INT x, INT y, GpGraphics* graphics,
                                                          BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisibleRegionRect(GpRegion* region, REAL x, REAL y, REAL width, REAL height,
                                                        GpGraphics* graphics, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisibleRegionRectI(GpRegion* region, INT x, INT y, INT width, INT height,
                                                         GpGraphics* graphics, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetRegionScansCount(GpRegion* region, UINT* count, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetRegionScans(GpRegion* region, GpRectF* rects, INT* count, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetRegionScansI(GpRegion* region, GpRect* rects, INT* count, GpMatrix* matrix);
MOXPLAT_API GpStatus WINGDIPAPI GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* srcgraphics,
                                                    CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height,
                                                CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height,
                                                 CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetClipHrgn(GpGraphics* graphics, HRGN hRgn, CombineMode combineMode);
MOXPLAT_API GpStatus WINGDIPAPI GdipResetClip(GpGraphics* graphics);
MOXPLAT_API GpStatus WINGDIPAPI GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy);
MOXPLAT_API GpStatus WINGDIPAPI GdipTranslateClipI(GpGraphics* graphics, INT dx, INT dy);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetClip(GpGraphics* graphics, GpRegion* region);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetClipBounds(GpGraphics* graphics, GpRectF* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetClipBoundsI(GpGraphics* graphics, GpRect* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetVisibleClipBounds(GpGraphics* graphics, GpRectF* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetVisibleClipBoundsI(GpGraphics* graphics, GpRect* rect);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsClipEmpty(GpGraphics* graphics, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisibleClipEmpty(GpGraphics* graphics, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisiblePointI(GpGraphics* graphics, INT x, INT y, BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height,
                                                  BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisibleRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height,
                                                   BOOL* result);

}  // extern "C"
}  // namespace DllExports

// --- String formats, custom dash patterns, GDI DCs of a Graphics ----------------------------

enum StringFormatFlags {
    StringFormatFlagsDirectionRightToLeft = 0x00000001,
    StringFormatFlagsDirectionVertical = 0x00000002,
    StringFormatFlagsNoFitBlackBox = 0x00000004,
    StringFormatFlagsDisplayFormatControl = 0x00000020,
    StringFormatFlagsNoFontFallback = 0x00000400,
    StringFormatFlagsMeasureTrailingSpaces = 0x00000800,
    StringFormatFlagsNoWrap = 0x00001000,
    StringFormatFlagsLineLimit = 0x00002000,
    StringFormatFlagsNoClip = 0x00004000,
    StringFormatFlagsBypassGDI = 0x80000000
};

enum StringTrimming {
    StringTrimmingNone = 0,
    StringTrimmingCharacter = 1,
    StringTrimmingWord = 2,
    StringTrimmingEllipsisCharacter = 3,
    StringTrimmingEllipsisWord = 4,
    StringTrimmingEllipsisPath = 5
};

enum StringDigitSubstitute {
    StringDigitSubstituteUser = 0,
    StringDigitSubstituteNone = 1,
    StringDigitSubstituteNational = 2,
    StringDigitSubstituteTraditional = 3
};

enum HotkeyPrefix { HotkeyPrefixNone = 0, HotkeyPrefixShow = 1, HotkeyPrefixHide = 2 };

/// A run of characters: the first one's index and how many.
class CharacterRange {
public:
    CharacterRange() : First(0), Length(0) {}
    CharacterRange(INT first, INT length) : First(first), Length(length) {}
    CharacterRange& operator=(const CharacterRange& other) = default;
    INT First;
    INT Length;
};

namespace DllExports {
extern "C" {
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneStringFormat(GDIPCONST GpStringFormat* format, GpStringFormat** newFormat);
MOXPLAT_API GpStatus WINGDIPAPI GdipStringFormatGetGenericDefault(GpStringFormat** format);
MOXPLAT_API GpStatus WINGDIPAPI GdipStringFormatGetGenericTypographic(GpStringFormat** format);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatFlags(GpStringFormat* format, INT flags);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatFlags(GDIPCONST GpStringFormat* format, INT* flags);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatLineAlign(GDIPCONST GpStringFormat* format, StringAlignment* align);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatTrimming(GpStringFormat* format, StringTrimming trimming);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatTrimming(GDIPCONST GpStringFormat* format, StringTrimming* trimming);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, INT hotkeyPrefix);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatHotkeyPrefix(GDIPCONST GpStringFormat* format, INT* hotkeyPrefix);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatDigitSubstitution(GpStringFormat* format, LANGID language,
                                                                     StringDigitSubstitute substitute);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatDigitSubstitution(GDIPCONST GpStringFormat* format,
                                                                     LANGID* language,
                                                                     StringDigitSubstitute* substitute);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatTabStops(GpStringFormat* format, REAL firstTabOffset, INT count,
                                                            GDIPCONST REAL* tabStops);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatTabStopCount(GDIPCONST GpStringFormat* format, INT* count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatTabStops(GDIPCONST GpStringFormat* format, INT count,
                                                            REAL* firstTabOffset, REAL* tabStops);
MOXPLAT_API GpStatus WINGDIPAPI GdipSetStringFormatMeasurableCharacterRanges(GpStringFormat* format, INT rangeCount,
                                                                             GDIPCONST CharacterRange* ranges);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetStringFormatMeasurableCharacterRangeCount(GDIPCONST GpStringFormat* format,
                                                                                 INT* count);

MOXPLAT_API GpStatus WINGDIPAPI GdipSetPenDashArray(GpPen* pen, GDIPCONST REAL* dash, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetPenDashArray(GpPen* pen, REAL* dash, INT count);

// Cardinal splines added to paths (the default tension is 0.5), and paths reversed.
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathCurve(GpPath* path, GDIPCONST GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathCurveI(GpPath* path, GDIPCONST GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathCurve2(GpPath* path, GDIPCONST GpPointF* points, INT count, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathCurve2I(GpPath* path, GDIPCONST GpPoint* points, INT count, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathCurve3(GpPath* path, GDIPCONST GpPointF* points, INT count, INT offset,
                                                  INT numberOfSegments, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathCurve3I(GpPath* path, GDIPCONST GpPoint* points, INT count, INT offset,
                                                   INT numberOfSegments, REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathClosedCurve(GpPath* path, GDIPCONST GpPointF* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathClosedCurveI(GpPath* path, GDIPCONST GpPoint* points, INT count);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathClosedCurve2(GpPath* path, GDIPCONST GpPointF* points, INT count,
                                                        REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipAddPathClosedCurve2I(GpPath* path, GDIPCONST GpPoint* points, INT count,
                                                         REAL tension);
MOXPLAT_API GpStatus WINGDIPAPI GdipReversePath(GpPath* path);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisiblePathPoint(GpPath* path, REAL x, REAL y, GpGraphics* graphics,
                                                       BOOL* result);
MOXPLAT_API GpStatus WINGDIPAPI GdipIsVisiblePathPointI(GpPath* path, INT x, INT y, GpGraphics* graphics,
                                                        BOOL* result);

// Font families read back and listed; families are shared, so deleting one is harmless.
MOXPLAT_API GpStatus WINGDIPAPI GdipNewInstalledFontCollection(GpFontCollection** fontCollection);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetFontCollectionFamilyCount(GpFontCollection* fontCollection, INT* numFound);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetFontCollectionFamilyList(GpFontCollection* fontCollection, INT numSought,
                                                                GpFontFamily* gpfamilies[], INT* numFound);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetFamilyName(GDIPCONST GpFontFamily* family, WCHAR name[LF_FACESIZE],
                                                  LANGID language);
MOXPLAT_API GpStatus WINGDIPAPI GdipCloneFontFamily(GpFontFamily* fontFamily, GpFontFamily** clonedFontFamily);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetFamily(GpFont* font, GpFontFamily** family);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetFontUnit(GpFont* font, Unit* unit);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetGenericFontFamilySansSerif(GpFontFamily** nativeFamily);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetGenericFontFamilySerif(GpFontFamily** nativeFamily);
MOXPLAT_API GpStatus WINGDIPAPI GdipGetGenericFontFamilyMonospace(GpFontFamily** nativeFamily);

// GDI drawing on a Graphics' target, between the two calls.
MOXPLAT_API GpStatus WINGDIPAPI GdipGetDC(GpGraphics* graphics, HDC* hdc);
MOXPLAT_API GpStatus WINGDIPAPI GdipReleaseDC(GpGraphics* graphics, HDC hdc);
}  // extern "C"
}  // namespace DllExports

// --- Class interface ------------------------------------------------------------------------

/// Base of the GDI+ classes: their objects are allocated with GdipAlloc and freed with GdipFree.
/// new returns null instead of throwing when memory runs out.
class GdiplusBase {
public:
    /// Frees with GdipFree.
    void operator delete(void* in_pVoid) { DllExports::GdipFree(in_pVoid); }
    /// Allocates with GdipAlloc; null when memory runs out.
    void* operator new(size_t in_size) noexcept { return DllExports::GdipAlloc(in_size); }
    /// Frees with GdipFree.
    void operator delete[](void* in_pVoid) { DllExports::GdipFree(in_pVoid); }
    /// Allocates with GdipAlloc; null when memory runs out.
    void* operator new[](size_t in_size) noexcept { return DllExports::GdipAlloc(in_size); }
};

class Graphics;
class ImageAttributes;
class Pen;
class Brush;
class Font;
class FontFamily;
class StringFormat;

/// An image held by GDI+ (here always a Bitmap). The object owns its native image and disposes of
/// it when deleted; it cannot be copied.
class Image : public GdiplusBase {
public:
    friend class Graphics;
    friend class TextureBrush;

    /// Loads an image file; a failure leaves no native image (GetLastStatus says why).
    Image(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE) : nativeImage(nullptr), lastResult(Ok)
    {
        (void)useEmbeddedColorManagement;
        lastResult = DllExports::GdipLoadImageFromFile(filename, &nativeImage);
    }
    /// new Image(filename): the caller deletes it.
    static Image* FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE)
    {
        return new Image(filename, useEmbeddedColorManagement);
    }
    /// A copy of the image and its pixels; the caller deletes it. Null on failure.
    virtual Image* Clone()
    {
        GpImage* clone = nullptr;
        if (SetStatus(DllExports::GdipCloneImage(nativeImage, &clone)) != Ok)
            return nullptr;
        Image* image = new Image(clone, Ok);
        if (!image)
            DllExports::GdipDisposeImage(clone);
        return image;
    }
    /// Turns the image by quarter turns clockwise and mirrors it as the type says.
    Status RotateFlip(RotateFlipType rotateFlipType)
    {
        return SetStatus(DllExports::GdipImageRotateFlip(nativeImage, rotateFlipType));
    }
    /// ImageFlagsHasAlpha for formats with alpha, else ImageFlagsNone.
    UINT GetFlags()
    {
        UINT flags = 0;
        SetStatus(DllExports::GdipGetImageFlags(nativeImage, &flags));
        return flags;
    }
    /// ImageTypeBitmap for every image here.
    ImageType GetType() const
    {
        ImageType type = ImageTypeUnknown;
        SetStatus(DllExports::GdipGetImageType(nativeImage, &type));
        return type;
    }
    /// The image's box in srcUnit (pixels).
    Status GetBounds(RectF* srcRect, Unit* srcUnit)
    {
        return SetStatus(DllExports::GdipGetImageBounds(nativeImage, srcRect, srcUnit));
    }
    REAL GetHorizontalResolution()
    {
        REAL resolution = 0;
        SetStatus(DllExports::GdipGetImageHorizontalResolution(nativeImage, &resolution));
        return resolution;
    }
    REAL GetVerticalResolution()
    {
        REAL resolution = 0;
        SetStatus(DllExports::GdipGetImageVerticalResolution(nativeImage, &resolution));
        return resolution;
    }

    virtual ~Image() { DllExports::GdipDisposeImage(nativeImage); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    /// Width in pixels; 0 (and InvalidParameter recorded) without a native image.
    UINT GetWidth()
    {
        UINT width = 0;
        SetStatus(DllExports::GdipGetImageWidth(nativeImage, &width));
        return width;
    }
    /// Height in pixels; 0 without a native image.
    UINT GetHeight()
    {
        UINT height = 0;
        SetStatus(DllExports::GdipGetImageHeight(nativeImage, &height));
        return height;
    }
    /// The pixel format: PixelFormat24bppRGB or PixelFormat32bppARGB for loaded files (alpha only
    /// when the file has it), the given format for bitmaps made from pixels.
    PixelFormat GetPixelFormat()
    {
        PixelFormat format = PixelFormatUndefined;
        SetStatus(DllExports::GdipGetImagePixelFormat(nativeImage, &format));
        return format;
    }
    /// Writes the image to a file with one of the encoders GetImageEncoders lists (BMP, JPEG, TIFF,
    /// PNG here; no GIF writer).
    ///
    /// @param filename       the file, replaced if it exists.
    /// @param clsidEncoder   ImageCodecInfo::Clsid of the encoder.
    /// @param encoderParams  optional; the JPEG encoder reads EncoderQuality (one Long, 0-100);
    ///                       others are ignored.
    /// @return Ok; InvalidParameter for a null argument, an empty or non-Unicode file name or a
    ///         malformed quality; UnknownImageFormat for an encoder not listed (GIF included);
    ///         WrongState while the bitmap is locked; GenericError when the file cannot be written.
    ///         BMP and JPEG drop alpha; PNG and TIFF keep it.
    Status Save(const WCHAR* filename, const CLSID* clsidEncoder, const EncoderParameters* encoderParams = nullptr)
    {
        return SetStatus(DllExports::GdipSaveImageToFile(nativeImage, filename, clsidEncoder, encoderParams));
    }
    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    Image() : nativeImage(nullptr), lastResult(Ok) {}
    Image(GpImage* image, Status status) : nativeImage(image), lastResult(status) {}
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpImage* nativeImage;
    mutable Status lastResult;
};

/// A bitmap in memory: loaded from a file, made over the caller's pixels, or copied from a GDI
/// bitmap. Construction never throws: a failure leaves an object without a native image, whose
/// GetLastStatus says why and whose calls fail with InvalidParameter.
class Bitmap : public Image {
public:
    /// Loads an image file (BMP, PNG, JPEG, GIF, TIFF, ICO). A missing, unreadable or non-regular
    /// file gives InvalidParameter; data no decoder takes, or too large an image, OutOfMemory.
    Bitmap(GDIPCONST WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE)
    {
        (void)useEmbeddedColorManagement;
        GpBitmap* bitmap = nullptr;
        lastResult = DllExports::GdipCreateBitmapFromFile(filename, &bitmap);
        nativeImage = bitmap;
    }
    /// A bitmap over the caller's pixels, as GDI+ makes it: not a copy. Drawing on it and write locks
    /// change those pixels, and the caller keeps them alive until the bitmap is deleted.
    ///
    /// @param width,height  size in pixels, above 0.
    /// @param stride        bytes from one row to the next: a multiple of 4, at least a row; negative
    ///                      for rows stored bottom-up with scan0 at the top row.
    /// @param format        PixelFormat24bppRGB (blue, green, red bytes: a canvas back buffer's own
    ///                      layout), PixelFormat32bppRGB, PixelFormat32bppARGB or PixelFormat32bppPARGB.
    /// @param scan0         the top row; null makes a zeroed bitmap that owns its memory (stride is
    ///                      then ignored). Bad sizes, strides or formats give InvalidParameter.
    Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0)
    {
        GpBitmap* bitmap = nullptr;
        lastResult = DllExports::GdipCreateBitmapFromScan0(width, height, stride, format, scan0, &bitmap);
        nativeImage = bitmap;
    }

    /// A copy of a 24-bit DIB section's pixels (PixelFormat24bppRGB), top row first whichever way
    /// the section is stored. hpal is ignored. Anything else gives InvalidParameter.
    Bitmap(HBITMAP hbm, HPALETTE hpal)
    {
        GpBitmap* bitmap = nullptr;
        lastResult = DllExports::GdipCreateBitmapFromHBITMAP(hbm, hpal, &bitmap);
        nativeImage = bitmap;
    }
    /// new Bitmap(hbm, hpal): the caller deletes it. Null when memory runs out.
    static Bitmap* FromHBITMAP(HBITMAP hbm, HPALETTE hpal) { return new Bitmap(hbm, hpal); }
    /// A new, zeroed bitmap of the size in the format (32-bit ARGB unless given).
    Bitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB)
    {
        GpBitmap* bitmap = nullptr;
        lastResult = DllExports::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap);
        nativeImage = bitmap;
    }
    /// A bitmap of the size for drawing like target (32-bit PARGB).
    Bitmap(INT width, INT height, Graphics* target);
    /// new Bitmap(filename): the caller deletes it.
    static Bitmap* FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE)
    {
        return new Bitmap(filename, useEmbeddedColorManagement);
    }
    /// Sets the pixel at (x, y) from a non-premultiplied colour.
    Status SetPixel(INT x, INT y, const Color& color)
    {
        return SetStatus(DllExports::GdipBitmapSetPixel(static_cast<GpBitmap*>(nativeImage), x, y, color.GetValue()));
    }
    /// The resolution the image is drawn at by the calls that take no size.
    Status SetResolution(REAL xdpi, REAL ydpi)
    {
        return SetStatus(DllExports::GdipBitmapSetResolution(static_cast<GpBitmap*>(nativeImage), xdpi, ydpi));
    }
    using Image::Clone;
    /// A copy of a block of the bitmap in the format; the caller deletes it.
    Bitmap* Clone(INT x, INT y, INT width, INT height, PixelFormat format)
    {
        GpBitmap* clone = nullptr;
        if (SetStatus(DllExports::GdipCloneBitmapAreaI(x, y, width, height, format,
                                                       static_cast<GpBitmap*>(nativeImage), &clone)) != Ok)
            return nullptr;
        Bitmap* bitmap = new Bitmap(clone);
        if (!bitmap)
            DllExports::GdipDisposeImage(clone);
        return bitmap;
    }
    Bitmap* Clone(const Rect& rect, PixelFormat format) { return Clone(rect.X, rect.Y, rect.Width, rect.Height, format); }

protected:
    explicit Bitmap(GpBitmap* native) { nativeImage = native; }

public:

    /// Gives access to a block of pixels until UnlockBits.
    ///
    /// @param rect    the block, inside the bitmap; null for the whole bitmap.
    /// @param flags   ImageLockModeRead and/or ImageLockModeWrite, optionally ImageLockModeUserInputBuf
    ///                (then lockedBitmapData brings the caller's buffer and stride).
    /// @param format  the bitmap's own format gives its own rows; another storable format gives a
    ///                converted copy, written back at UnlockBits for a write lock.
    /// @param lockedBitmapData  receives the block's size, stride, format and first row.
    /// @return Ok; WrongState when already locked; InvalidParameter for a bad block, flags or format.
    Status LockBits(GDIPCONST Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData)
    {
        return SetStatus(
            DllExports::GdipBitmapLockBits(static_cast<GpBitmap*>(nativeImage), rect, flags, format, lockedBitmapData));
    }
    /// Ends the lock; WrongState when not locked.
    Status UnlockBits(BitmapData* lockedBitmapData)
    {
        return SetStatus(DllExports::GdipBitmapUnlockBits(static_cast<GpBitmap*>(nativeImage), lockedBitmapData));
    }
    /// The pixel at (x, y) as a non-premultiplied colour; InvalidParameter outside the bitmap, WrongState while locked.
    Status GetPixel(INT x, INT y, Color* color)
    {
        ARGB argb = 0;
        Status status = SetStatus(DllExports::GdipBitmapGetPixel(static_cast<GpBitmap*>(nativeImage), x, y, &argb));
        if (status == Ok && color)
            color->SetValue(argb);
        return status;
    }
};

inline Status GetImageEncodersSize(UINT* numEncoders, UINT* size)
{
    return DllExports::GdipGetImageEncodersSize(numEncoders, size);
}
inline Status GetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders)
{
    return DllExports::GdipGetImageEncoders(numEncoders, size, encoders);
}

/// How images are drawn: here, the colour key that makes a colour range transparent.
class ImageAttributes : public GdiplusBase {
public:
    friend class Graphics;

    /// No colour key.
    ImageAttributes() : nativeImageAttr(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateImageAttributes(&nativeImageAttr);
    }
    ~ImageAttributes() { DllExports::GdipDisposeImageAttributes(nativeImageAttr); }
    ImageAttributes(const ImageAttributes&) = delete;
    ImageAttributes& operator=(const ImageAttributes&) = delete;

    /// Makes transparent every pixel whose red, green and blue each lie within [colorLow, colorHigh]
    /// (alpha is not compared), before any scaling filter.
    Status SetColorKey(const Color& colorLow, const Color& colorHigh, ColorAdjustType type = ColorAdjustTypeDefault)
    {
        return SetStatus(DllExports::GdipSetImageAttributesColorKeys(nativeImageAttr, type, TRUE,
                                                                      colorLow.GetValue(), colorHigh.GetValue()));
    }
    /// Removes the colour key of that type.
    Status ClearColorKey(ColorAdjustType type = ColorAdjustTypeDefault)
    {
        return SetStatus(DllExports::GdipSetImageAttributesColorKeys(nativeImageAttr, type, FALSE, 0, 0));
    }
    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpImageAttributes* nativeImageAttr;
    mutable Status lastResult;
};

/// A pen: colour, width and dash style of lines and outlines. Owns its native pen.
class Pen : public GdiplusBase {
public:
    friend class Graphics;
    friend class GraphicsPath;

    /// A solid pen of the colour and width in pixels; a negative or non-finite width gives InvalidParameter.
    Pen(const Color& color, REAL width = 1.0f) : nativePen(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreatePen1(color.GetValue(), width, UnitWorld, &nativePen);
    }
    /// A pen painting with the brush (a copy of it), width in pixels.
    Pen(const Brush* brush, REAL width = 1.0f);
    ~Pen() { DllExports::GdipDeletePen(nativePen); }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

    /// Solid, dash, dot, dash-dot, dash-dot-dot or custom (the dash pattern); unknown values give InvalidParameter.
    Status SetDashStyle(DashStyle dashStyle) { return SetStatus(DllExports::GdipSetPenDashStyle(nativePen, dashStyle)); }
    /// On and off lengths in pen widths, each positive; the style becomes DashStyleCustom.
    Status SetDashPattern(const REAL* dashArray, INT count)
    {
        return SetStatus(DllExports::GdipSetPenDashArray(nativePen, dashArray, count));
    }
    /// The first count lengths of a custom pattern.
    Status GetDashPattern(REAL* dashArray, INT count) const
    {
        return SetStatus(DllExports::GdipGetPenDashArray(nativePen, dashArray, count));
    }
    /// The dash style.
    DashStyle GetDashStyle() const
    {
        DashStyle dashStyle = DashStyleSolid;
        SetStatus(DllExports::GdipGetPenDashStyle(nativePen, &dashStyle));
        return dashStyle;
    }
    /// The pen's colour.
    Status GetColor(Color* color) const
    {
        ARGB argb = 0;
        Status status = SetStatus(DllExports::GdipGetPenColor(nativePen, &argb));
        if (status == Ok && color)
            color->SetValue(argb);
        return status;
    }
    /// Width in pixels.
    REAL GetWidth() const
    {
        REAL width = 0;
        SetStatus(DllExports::GdipGetPenWidth(nativePen, &width));
        return width;
    }
    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpPen* nativePen;
    mutable Status lastResult;
};

/// Base of the brushes. Owns its native brush; delete it through this class.
class Brush : public GdiplusBase {
public:
    friend class Graphics;
    friend class Pen;

    virtual ~Brush() { DllExports::GdipDeleteBrush(nativeBrush); }
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;

    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    Brush() : nativeBrush(nullptr), lastResult(Ok) {}
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpBrush* nativeBrush;
    mutable Status lastResult;
};

/// A brush of one colour.
class SolidBrush : public Brush {
public:
    /// A brush of the colour (alpha included).
    SolidBrush(const Color& color)
    {
        GpSolidFill* brush = nullptr;
        lastResult = DllExports::GdipCreateSolidFill(color.GetValue(), &brush);
        nativeBrush = brush;
    }
    /// The brush's colour.
    Status GetColor(Color* color) const
    {
        ARGB argb = 0;
        Status status = SetStatus(DllExports::GdipGetSolidFillColor(static_cast<GpSolidFill*>(nativeBrush), &argb));
        if (status == Ok && color)
            color->SetValue(argb);
        return status;
    }
};

/// A brush of an 8 x 8 two-colour pattern, anchored at the device context's origin.
class HatchBrush : public Brush {
public:
    /// A pattern brush: foreColor on the pattern's set pixels, backColor on the others. A style
    /// outside HatchStyleMin..HatchStyleMax gives InvalidParameter.
    HatchBrush(HatchStyle hatchStyle, const Color& foreColor, const Color& backColor = Color())
    {
        GpHatch* brush = nullptr;
        lastResult =
            DllExports::GdipCreateHatchBrush(hatchStyle, foreColor.GetValue(), backColor.GetValue(), &brush);
        nativeBrush = brush;
    }
    /// The pattern.
    HatchStyle GetHatchStyle() const
    {
        HatchStyle style = HatchStyleHorizontal;
        SetStatus(DllExports::GdipGetHatchStyle(static_cast<GpHatch*>(nativeBrush), &style));
        return style;
    }
    /// Colour of the pattern's set pixels.
    Status GetForegroundColor(Color* color) const
    {
        ARGB argb = 0;
        Status status = SetStatus(DllExports::GdipGetHatchForegroundColor(static_cast<GpHatch*>(nativeBrush), &argb));
        if (status == Ok && color)
            color->SetValue(argb);
        return status;
    }
    /// Colour of the other pixels.
    Status GetBackgroundColor(Color* color) const
    {
        ARGB argb = 0;
        Status status = SetStatus(DllExports::GdipGetHatchBackgroundColor(static_cast<GpHatch*>(nativeBrush), &argb));
        if (status == Ok && color)
            color->SetValue(argb);
        return status;
    }
};

/// A set of fonts; the installed fonts are used whatever collection is passed.
class FontCollection : public GdiplusBase {
public:
    friend class FontFamily;

protected:
    GpFontCollection* nativeFontCollection = nullptr;
};

/// A font family found by name (on Linux through fontconfig, metric-compatible aliases
/// included). A name no installed font provides fails with FontFamilyNotFound.
class FontFamily : public GdiplusBase {
public:
    friend class Font;

    /// Finds the family; FontFamilyNotFound (IsAvailable FALSE) when no installed font provides it.
    FontFamily(GDIPCONST WCHAR* name, GDIPCONST FontCollection* fontCollection = nullptr)
        : nativeFamily(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateFontFamilyFromName(
            name, fontCollection ? fontCollection->nativeFontCollection : nullptr, &nativeFamily);
    }
    ~FontFamily() { DllExports::GdipDeleteFontFamily(nativeFamily); }
    FontFamily(const FontFamily&) = delete;
    FontFamily& operator=(const FontFamily&) = delete;

    /// TRUE when the family was found.
    BOOL IsAvailable() const { return nativeFamily != nullptr; }
    /// The status of the last failed call, reset to Ok by this call.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    GpFontFamily* nativeFamily;
    mutable Status lastResult;
};

/// A font: a family, a size and a style. Owns its native font.
class Font : public GdiplusBase {
public:
    friend class Graphics;

    /// A font of the family.
    ///
    /// @param family  a found family; a missing one gives InvalidParameter and a font that draws nothing.
    /// @param emSize  size in unit, above 0 (in points at 96 DPI, n points are n x 4/3 pixels).
    /// @param style   FontStyleRegular, Bold, Italic, BoldItalic, plus Underline and Strikeout bits.
    /// @param unit    UnitPoint, UnitPixel, UnitInch, UnitDocument, UnitMillimeter or UnitWorld.
    Font(GDIPCONST FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint)
        : nativeFont(nullptr), lastResult(Ok)
    {
        lastResult =
            DllExports::GdipCreateFont(family ? family->nativeFamily : nullptr, emSize, style, unit, &nativeFont);
    }
    ~Font() { DllExports::GdipDeleteFont(nativeFont); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    /// TRUE when the font was made.
    BOOL IsAvailable() const { return nativeFont != nullptr; }
    /// The em size, in the font's unit.
    REAL GetSize() const
    {
        REAL size = 0;
        SetStatus(DllExports::GdipGetFontSize(nativeFont, &size));
        return size;
    }
    /// The style bits.
    INT GetStyle() const
    {
        INT style = FontStyleRegular;
        SetStatus(DllExports::GdipGetFontStyle(nativeFont, &style));
        return style;
    }
    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpFont* nativeFont;
    mutable Status lastResult;
};

/// Layout of text in a box: here the horizontal alignment.
class StringFormat : public GdiplusBase {
public:
    friend class Graphics;

    /// A format aligned near (left), with no flags.
    StringFormat(INT formatFlags = 0, LANGID language = LANG_NEUTRAL) : nativeFormat(nullptr), lastError(Ok)
    {
        lastError = DllExports::GdipCreateStringFormat(formatFlags, language, &nativeFormat);
    }
    ~StringFormat() { DllExports::GdipDeleteStringFormat(nativeFormat); }
    StringFormat(const StringFormat&) = delete;
    StringFormat& operator=(const StringFormat&) = delete;

    /// Horizontal alignment in the box: near, centre or far.
    Status SetAlignment(StringAlignment align)
    {
        return SetStatus(DllExports::GdipSetStringFormatAlign(nativeFormat, align));
    }
    /// The horizontal alignment.
    StringAlignment GetAlignment() const
    {
        StringAlignment align = StringAlignmentNear;
        SetStatus(DllExports::GdipGetStringFormatAlign(nativeFormat, &align));
        return align;
    }
    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastError;
        lastError = Ok;
        return status;
    }

protected:
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastError = status); }

    GpStringFormat* nativeFormat;
    mutable Status lastError;
};

/// A 3 x 2 affine matrix: points map as [x y 1] times the matrix. Owns its native matrix.
class Matrix : public GdiplusBase {
public:
    friend class Graphics;
    friend class GraphicsPath;
    friend class TextureBrush;
    friend class Region;

    /// The identity.
    Matrix() : nativeMatrix(nullptr), lastResult(Ok) { lastResult = DllExports::GdipCreateMatrix(&nativeMatrix); }
    /// The matrix of the six elements.
    Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) : nativeMatrix(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &nativeMatrix);
    }
    ~Matrix() { DllExports::GdipDeleteMatrix(nativeMatrix); }
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;

    /// A copy; the caller deletes it.
    Matrix* Clone() const
    {
        GpMatrix* clone = nullptr;
        if (SetStatus(DllExports::GdipCloneMatrix(nativeMatrix, &clone)) != Ok)
            return nullptr;
        Matrix* m = new Matrix(clone);
        if (!m)
            DllExports::GdipDeleteMatrix(clone);
        return m;
    }
    /// The six elements m11, m12, m21, m22, dx, dy.
    Status GetElements(REAL* m) const { return SetStatus(DllExports::GdipGetMatrixElements(nativeMatrix, m)); }
    Status SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
    {
        return SetStatus(DllExports::GdipSetMatrixElements(nativeMatrix, m11, m12, m21, m22, dx, dy));
    }
    REAL OffsetX() const
    {
        REAL m[6] = {};
        GetElements(m);
        return m[4];
    }
    REAL OffsetY() const
    {
        REAL m[6] = {};
        GetElements(m);
        return m[5];
    }
    Status Reset() { return SetElements(1, 0, 0, 1, 0, 0); }
    Status Multiply(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(
            DllExports::GdipMultiplyMatrix(nativeMatrix, matrix ? matrix->nativeMatrix : nullptr, order));
    }
    Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipTranslateMatrix(nativeMatrix, offsetX, offsetY, order));
    }
    Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipScaleMatrix(nativeMatrix, scaleX, scaleY, order));
    }
    /// Rotates by angle degrees, clockwise on a y-down surface.
    Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipRotateMatrix(nativeMatrix, angle, order));
    }
    Status Shear(REAL shearX, REAL shearY, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipShearMatrix(nativeMatrix, shearX, shearY, order));
    }
    /// InvalidParameter for a matrix that has no inverse.
    Status Invert() { return SetStatus(DllExports::GdipInvertMatrix(nativeMatrix)); }
    Status TransformPoints(PointF* pts, INT count = 1)
    {
        return SetStatus(DllExports::GdipTransformMatrixPoints(nativeMatrix, pts, count));
    }
    Status TransformPoints(Point* pts, INT count = 1)
    {
        return SetStatus(DllExports::GdipTransformMatrixPointsI(nativeMatrix, pts, count));
    }
    Status TransformVectors(PointF* pts, INT count = 1)
    {
        return SetStatus(DllExports::GdipVectorTransformMatrixPoints(nativeMatrix, pts, count));
    }
    BOOL IsIdentity() const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsMatrixIdentity(nativeMatrix, &result));
        return result;
    }
    BOOL IsInvertible() const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsMatrixInvertible(nativeMatrix, &result));
        return result;
    }
    BOOL Equals(const Matrix* matrix) const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsMatrixEqual(nativeMatrix, matrix ? matrix->nativeMatrix : nullptr, &result));
        return result;
    }
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    explicit Matrix(GpMatrix* native) : nativeMatrix(native), lastResult(Ok) {}
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpMatrix* nativeMatrix;
    mutable Status lastResult;
};

/// Figures of lines, Bézier curves, rectangles, ellipses, arcs and pies, filled or outlined as a
/// whole. Owns its native path.
class GraphicsPath : public GdiplusBase {
public:
    friend class Graphics;
    friend class Region;

    GraphicsPath(FillMode fillMode = FillModeAlternate) : nativePath(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreatePath(fillMode, &nativePath);
    }
    ~GraphicsPath() { DllExports::GdipDeletePath(nativePath); }
    GraphicsPath(const GraphicsPath&) = delete;
    GraphicsPath& operator=(const GraphicsPath&) = delete;

    /// A copy; the caller deletes it.
    GraphicsPath* Clone() const
    {
        GpPath* clone = nullptr;
        if (SetStatus(DllExports::GdipClonePath(nativePath, &clone)) != Ok)
            return nullptr;
        GraphicsPath* p = new GraphicsPath(clone);
        if (!p)
            DllExports::GdipDeletePath(clone);
        return p;
    }
    Status Reset() { return SetStatus(DllExports::GdipResetPath(nativePath)); }
    FillMode GetFillMode() const
    {
        FillMode mode = FillModeAlternate;
        SetStatus(DllExports::GdipGetPathFillMode(nativePath, &mode));
        return mode;
    }
    Status SetFillMode(FillMode mode) { return SetStatus(DllExports::GdipSetPathFillMode(nativePath, mode)); }
    INT GetPointCount() const
    {
        INT count = 0;
        SetStatus(DllExports::GdipGetPointCount(nativePath, &count));
        return count;
    }
    Status GetPathPoints(PointF* points, INT count) const
    {
        return SetStatus(DllExports::GdipGetPathPoints(nativePath, points, count));
    }
    Status GetPathPoints(Point* points, INT count) const
    {
        return SetStatus(DllExports::GdipGetPathPointsI(nativePath, points, count));
    }
    Status GetPathTypes(BYTE* types, INT count) const
    {
        return SetStatus(DllExports::GdipGetPathTypes(nativePath, types, count));
    }
    Status GetLastPoint(PointF* lastPoint) const
    {
        return SetStatus(DllExports::GdipGetPathLastPoint(nativePath, lastPoint));
    }
    Status StartFigure() { return SetStatus(DllExports::GdipStartPathFigure(nativePath)); }
    Status CloseFigure() { return SetStatus(DllExports::GdipClosePathFigure(nativePath)); }
    Status CloseAllFigures() { return SetStatus(DllExports::GdipClosePathFigures(nativePath)); }
    Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2)
    {
        return SetStatus(DllExports::GdipAddPathLine(nativePath, x1, y1, x2, y2));
    }
    Status AddLine(INT x1, INT y1, INT x2, INT y2)
    {
        return SetStatus(DllExports::GdipAddPathLineI(nativePath, x1, y1, x2, y2));
    }
    Status AddLine(const PointF& pt1, const PointF& pt2) { return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y); }
    Status AddLine(const Point& pt1, const Point& pt2) { return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y); }
    Status AddLines(const PointF* points, INT count)
    {
        return SetStatus(DllExports::GdipAddPathLine2(nativePath, points, count));
    }
    /// A cardinal spline through the points (tension 0.5 unless given), continuing an open figure.
    Status AddCurve(const PointF* points, INT count)
    {
        return SetStatus(DllExports::GdipAddPathCurve(nativePath, points, count));
    }
    Status AddCurve(const PointF* points, INT count, REAL tension)
    {
        return SetStatus(DllExports::GdipAddPathCurve2(nativePath, points, count, tension));
    }
    Status AddCurve(const PointF* points, INT count, INT offset, INT numberOfSegments, REAL tension)
    {
        return SetStatus(DllExports::GdipAddPathCurve3(nativePath, points, count, offset, numberOfSegments, tension));
    }
    /// A closed cardinal spline through the points, as a figure of its own.
    Status AddClosedCurve(const PointF* points, INT count)
    {
        return SetStatus(DllExports::GdipAddPathClosedCurve(nativePath, points, count));
    }
    Status AddClosedCurve(const PointF* points, INT count, REAL tension)
    {
        return SetStatus(DllExports::GdipAddPathClosedCurve2(nativePath, points, count, tension));
    }
    /// The points in the opposite order, figure by figure.
    Status Reverse() { return SetStatus(DllExports::GdipReversePath(nativePath)); }
    Status AddLines(const Point* points, INT count)
    {
        return SetStatus(DllExports::GdipAddPathLine2I(nativePath, points, count));
    }
    Status AddRectangle(const RectF& rect)
    {
        return SetStatus(DllExports::GdipAddPathRectangle(nativePath, rect.X, rect.Y, rect.Width, rect.Height));
    }
    Status AddRectangle(const Rect& rect)
    {
        return SetStatus(DllExports::GdipAddPathRectangleI(nativePath, rect.X, rect.Y, rect.Width, rect.Height));
    }
    Status AddRectangles(const RectF* rects, INT count)
    {
        return SetStatus(DllExports::GdipAddPathRectangles(nativePath, rects, count));
    }
    Status AddRectangles(const Rect* rects, INT count)
    {
        return SetStatus(DllExports::GdipAddPathRectanglesI(nativePath, rects, count));
    }
    Status AddEllipse(REAL x, REAL y, REAL width, REAL height)
    {
        return SetStatus(DllExports::GdipAddPathEllipse(nativePath, x, y, width, height));
    }
    Status AddEllipse(INT x, INT y, INT width, INT height)
    {
        return SetStatus(DllExports::GdipAddPathEllipseI(nativePath, x, y, width, height));
    }
    Status AddEllipse(const RectF& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }
    Status AddEllipse(const Rect& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }
    Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipAddPathArc(nativePath, x, y, width, height, startAngle, sweepAngle));
    }
    Status AddArc(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipAddPathArcI(nativePath, x, y, width, height, startAngle, sweepAngle));
    }
    Status AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle)
    {
        return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status AddArc(const Rect& rect, REAL startAngle, REAL sweepAngle)
    {
        return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipAddPathPie(nativePath, x, y, width, height, startAngle, sweepAngle));
    }
    Status AddPie(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipAddPathPieI(nativePath, x, y, width, height, startAngle, sweepAngle));
    }
    Status AddPie(const RectF& rect, REAL startAngle, REAL sweepAngle)
    {
        return AddPie(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status AddPie(const Rect& rect, REAL startAngle, REAL sweepAngle)
    {
        return AddPie(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status AddPolygon(const PointF* points, INT count)
    {
        return SetStatus(DllExports::GdipAddPathPolygon(nativePath, points, count));
    }
    Status AddPolygon(const Point* points, INT count)
    {
        return SetStatus(DllExports::GdipAddPathPolygonI(nativePath, points, count));
    }
    Status AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
    {
        return SetStatus(DllExports::GdipAddPathBezier(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
    }
    Status AddBezier(const PointF& pt1, const PointF& pt2, const PointF& pt3, const PointF& pt4)
    {
        return AddBezier(pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
    }
    Status AddBeziers(const PointF* points, INT count)
    {
        return SetStatus(DllExports::GdipAddPathBeziers(nativePath, points, count));
    }
    Status AddPath(const GraphicsPath* addingPath, BOOL connect)
    {
        return SetStatus(
            DllExports::GdipAddPathPath(nativePath, addingPath ? addingPath->nativePath : nullptr, connect));
    }
    Status Transform(const Matrix* matrix)
    {
        return SetStatus(DllExports::GdipTransformPath(nativePath, matrix ? matrix->nativeMatrix : nullptr));
    }
    /// The box of the path's points (transformed by matrix when given).
    Status GetBounds(RectF* bounds, const Matrix* matrix = nullptr, const Pen* pen = nullptr) const
    {
        return SetStatus(DllExports::GdipGetPathWorldBounds(nativePath, bounds, matrix ? matrix->nativeMatrix : nullptr,
                                                            pen ? pen->nativePen : nullptr));
    }
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    explicit GraphicsPath(GpPath* native) : nativePath(native), lastResult(Ok) {}
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpPath* nativePath;
    mutable Status lastResult;
};

/// A brush blending two colours along a line, repeated beyond it by its wrap mode.
class LinearGradientBrush : public Brush {
public:
    LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1, const Color& color2)
    {
        GpLineGradient* brush = nullptr;
        lastResult = DllExports::GdipCreateLineBrush(&point1, &point2, color1.GetValue(), color2.GetValue(),
                                                     WrapModeTile, &brush);
        nativeBrush = brush;
    }
    LinearGradientBrush(const Point& point1, const Point& point2, const Color& color1, const Color& color2)
    {
        GpLineGradient* brush = nullptr;
        lastResult = DllExports::GdipCreateLineBrushI(&point1, &point2, color1.GetValue(), color2.GetValue(),
                                                      WrapModeTile, &brush);
        nativeBrush = brush;
    }
    LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, LinearGradientMode mode)
    {
        GpLineGradient* brush = nullptr;
        lastResult = DllExports::GdipCreateLineBrushFromRect(&rect, color1.GetValue(), color2.GetValue(), mode,
                                                             WrapModeTile, &brush);
        nativeBrush = brush;
    }
    LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2, LinearGradientMode mode)
    {
        GpLineGradient* brush = nullptr;
        lastResult = DllExports::GdipCreateLineBrushFromRectI(&rect, color1.GetValue(), color2.GetValue(), mode,
                                                              WrapModeTile, &brush);
        nativeBrush = brush;
    }
    Status SetLinearColors(const Color& color1, const Color& color2)
    {
        return SetStatus(DllExports::GdipSetLineColors(static_cast<GpLineGradient*>(nativeBrush), color1.GetValue(),
                                                       color2.GetValue()));
    }
    Status GetLinearColors(Color* colors) const
    {
        ARGB argb[2] = {};
        Status status = SetStatus(DllExports::GdipGetLineColors(static_cast<GpLineGradient*>(nativeBrush), argb));
        if (status == Ok && colors) {
            colors[0].SetValue(argb[0]);
            colors[1].SetValue(argb[1]);
        }
        return status;
    }
    Status GetRectangle(RectF* rect) const
    {
        return SetStatus(DllExports::GdipGetLineRect(static_cast<GpLineGradient*>(nativeBrush), rect));
    }
    Status SetWrapMode(WrapMode wrapMode)
    {
        return SetStatus(DllExports::GdipSetLineWrapMode(static_cast<GpLineGradient*>(nativeBrush), wrapMode));
    }
    WrapMode GetWrapMode() const
    {
        WrapMode mode = WrapModeTile;
        SetStatus(DllExports::GdipGetLineWrapMode(static_cast<GpLineGradient*>(nativeBrush), &mode));
        return mode;
    }
};

/// A brush repeating an image, placed by its own transform.
class TextureBrush : public Brush {
public:
    TextureBrush(Image* image, WrapMode wrapMode = WrapModeTile)
    {
        GpTexture* brush = nullptr;
        lastResult = DllExports::GdipCreateTexture(image ? image->nativeImage : nullptr, wrapMode, &brush);
        nativeBrush = brush;
    }
    /// A brush of the block (dstX, dstY, dstWidth, dstHeight) of the image.
    TextureBrush(Image* image, WrapMode wrapMode, INT dstX, INT dstY, INT dstWidth, INT dstHeight)
    {
        GpTexture* brush = nullptr;
        lastResult = DllExports::GdipCreateTexture2I(image ? image->nativeImage : nullptr, wrapMode, dstX, dstY,
                                                     dstWidth, dstHeight, &brush);
        nativeBrush = brush;
    }
    Status SetTransform(const Matrix* matrix)
    {
        return SetStatus(DllExports::GdipSetTextureTransform(static_cast<GpTexture*>(nativeBrush),
                                                             matrix ? matrix->nativeMatrix : nullptr));
    }
    Status GetTransform(Matrix* matrix) const
    {
        return SetStatus(DllExports::GdipGetTextureTransform(static_cast<GpTexture*>(nativeBrush),
                                                             matrix ? matrix->nativeMatrix : nullptr));
    }
    Status ResetTransform() { return SetStatus(DllExports::GdipResetTextureTransform(static_cast<GpTexture*>(nativeBrush))); }
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipTranslateTextureTransform(static_cast<GpTexture*>(nativeBrush), dx, dy, order));
    }
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipScaleTextureTransform(static_cast<GpTexture*>(nativeBrush), sx, sy, order));
    }
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipRotateTextureTransform(static_cast<GpTexture*>(nativeBrush), angle, order));
    }
    Status SetWrapMode(WrapMode wrapMode)
    {
        return SetStatus(DllExports::GdipSetTextureWrapMode(static_cast<GpTexture*>(nativeBrush), wrapMode));
    }
    WrapMode GetWrapMode() const
    {
        WrapMode mode = WrapModeTile;
        SetStatus(DllExports::GdipGetTextureWrapMode(static_cast<GpTexture*>(nativeBrush), &mode));
        return mode;
    }
};

/// Draws on a device context: into whatever the context shows at the time of each call (for a
/// memory context, the selected DIB section). Shapes are not anti-aliased, text is. Every call
/// returns its status and keeps the last failing one for GetLastStatus.
class Region;

class Graphics : public GdiplusBase {
public:
    friend class Bitmap;
    friend class Region;
    /// Draws on hdc (not owned), which must outlive the object.
    Graphics(HDC hdc) : nativeGraphics(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateFromHDC(hdc, &nativeGraphics);
    }
    /// new Graphics(hdc): the caller deletes it.
    static Graphics* FromHDC(HDC hdc) { return new Graphics(hdc); }
    ~Graphics() { DllExports::GdipDeleteGraphics(nativeGraphics); }
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    /// Draws the image at (x, y) at its size, alpha composited.
    Status DrawImage(Image* image, INT x, INT y)
    {
        return SetStatus(DllExports::GdipDrawImageI(nativeGraphics, image ? image->nativeImage : nullptr, x, y));
    }
    /// Draws the image scaled (bilinear) to (x, y, width, height).
    Status DrawImage(Image* image, INT x, INT y, INT width, INT height)
    {
        return SetStatus(DllExports::GdipDrawImageRectI(nativeGraphics, image ? image->nativeImage : nullptr, x, y,
                                                        width, height));
    }
    /// Draws the image scaled to rect.
    Status DrawImage(Image* image, const Rect& rect)
    {
        return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
    }
    /// Draws the part (srcx, srcy, srcwidth, srcheight) of the image scaled to destRect. srcUnit must
    /// be UnitPixel; imageAttributes may carry a colour key; the abort callback is not called.
    Status DrawImage(Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                     Unit srcUnit, const ImageAttributes* imageAttributes = nullptr,
                     DrawImageAbort callback = nullptr, VOID* callbackData = nullptr)
    {
        return SetStatus(DllExports::GdipDrawImageRectRectI(
            nativeGraphics, image ? image->nativeImage : nullptr, destRect.X, destRect.Y, destRect.Width,
            destRect.Height, srcx, srcy, srcwidth, srcheight, srcUnit,
            imageAttributes ? imageAttributes->nativeImageAttr : nullptr, callback, callbackData));
    }
    /// The floating-point form of the call above.
    Status DrawImage(Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight,
                     Unit srcUnit, const ImageAttributes* imageAttributes = nullptr,
                     DrawImageAbort callback = nullptr, VOID* callbackData = nullptr)
    {
        return SetStatus(DllExports::GdipDrawImageRectRect(
            nativeGraphics, image ? image->nativeImage : nullptr, destRect.X, destRect.Y, destRect.Width,
            destRect.Height, srcx, srcy, srcwidth, srcheight, srcUnit,
            imageAttributes ? imageAttributes->nativeImageAttr : nullptr, callback, callbackData));
    }

    /// Draws text from origin, neither wrapped nor clipped. length counts wide characters; -1 means
    /// up to the terminating zero.
    Status DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin, const Brush* brush)
    {
        RectF rect(origin.X, origin.Y, 0.0f, 0.0f);
        return SetStatus(DllExports::GdipDrawString(nativeGraphics, string, length, font ? font->nativeFont : nullptr,
                                                    &rect, nullptr, brush ? brush->nativeBrush : nullptr));
    }
    /// Draws text in layoutRect, wrapped at its width, clipped to it, aligned by stringFormat (null: near).
    Status DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                      const StringFormat* stringFormat, const Brush* brush)
    {
        return SetStatus(DllExports::GdipDrawString(nativeGraphics, string, length, font ? font->nativeFont : nullptr,
                                                    &layoutRect, stringFormat ? stringFormat->nativeFormat : nullptr,
                                                    brush ? brush->nativeBrush : nullptr));
    }

    /// A line from (x1, y1) to (x2, y2), both end points included.
    Status DrawLine(const Pen* pen, INT x1, INT y1, INT x2, INT y2)
    {
        return SetStatus(DllExports::GdipDrawLineI(nativeGraphics, pen ? pen->nativePen : nullptr, x1, y1, x2, y2));
    }
    /// An outline covering columns x to x + width and rows y to y + height.
    Status DrawRectangle(const Pen* pen, INT x, INT y, INT width, INT height)
    {
        return SetStatus(
            DllExports::GdipDrawRectangleI(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height));
    }
    /// Fills width x height pixels at (x, y).
    Status FillRectangle(const Brush* brush, INT x, INT y, INT width, INT height)
    {
        return SetStatus(
            DllExports::GdipFillRectangleI(nativeGraphics, brush ? brush->nativeBrush : nullptr, x, y, width, height));
    }

    /// Draws on the image (a bitmap of 24 or 32 bits a pixel); null image gives InvalidParameter.
    Graphics(Image* image) : nativeGraphics(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipGetImageGraphicsContext(image ? image->nativeImage : nullptr, &nativeGraphics);
    }
    /// Draws on the window through its device context, which the object holds until deleted.
    Graphics(HWND hwnd, BOOL icm = FALSE) : nativeGraphics(nullptr), lastResult(Ok)
    {
        (void)icm;
        lastResult = DllExports::GdipCreateFromHWND(hwnd, &nativeGraphics);
    }
    /// new Graphics(image): the caller deletes it.
    static Graphics* FromImage(Image* image) { return new Graphics(image); }
    /// new Graphics(hwnd): the caller deletes it.
    static Graphics* FromHWND(HWND hwnd, BOOL icm = FALSE) { return new Graphics(hwnd, icm); }

    /// Fills the whole target with the colour, replacing what was there.
    Status Clear(const Color& color) { return SetStatus(DllExports::GdipGraphicsClear(nativeGraphics, color.GetValue())); }
    /// A DC for GDI drawing on the same target, until ReleaseHDC; null when one is already out.
    HDC GetHDC()
    {
        HDC hdc = nullptr;
        SetStatus(DllExports::GdipGetDC(nativeGraphics, &hdc));
        return hdc;
    }
    /// Gives back the DC GetHDC handed out.
    void ReleaseHDC(HDC hdc) { SetStatus(DllExports::GdipReleaseDC(nativeGraphics, hdc)); }

    Status SetSmoothingMode(SmoothingMode mode)
    {
        return SetStatus(DllExports::GdipSetSmoothingMode(nativeGraphics, mode));
    }
    SmoothingMode GetSmoothingMode() const
    {
        SmoothingMode mode = SmoothingModeInvalid;
        SetStatus(DllExports::GdipGetSmoothingMode(nativeGraphics, &mode));
        return mode;
    }
    Status SetInterpolationMode(InterpolationMode mode)
    {
        return SetStatus(DllExports::GdipSetInterpolationMode(nativeGraphics, mode));
    }
    InterpolationMode GetInterpolationMode() const
    {
        InterpolationMode mode = InterpolationModeInvalid;
        SetStatus(DllExports::GdipGetInterpolationMode(nativeGraphics, &mode));
        return mode;
    }
    Status SetPixelOffsetMode(PixelOffsetMode mode)
    {
        return SetStatus(DllExports::GdipSetPixelOffsetMode(nativeGraphics, mode));
    }
    PixelOffsetMode GetPixelOffsetMode() const
    {
        PixelOffsetMode mode = PixelOffsetModeInvalid;
        SetStatus(DllExports::GdipGetPixelOffsetMode(nativeGraphics, &mode));
        return mode;
    }
    Status SetCompositingMode(CompositingMode mode)
    {
        return SetStatus(DllExports::GdipSetCompositingMode(nativeGraphics, mode));
    }
    CompositingMode GetCompositingMode() const
    {
        CompositingMode mode = CompositingModeSourceOver;
        SetStatus(DllExports::GdipGetCompositingMode(nativeGraphics, &mode));
        return mode;
    }
    Status SetCompositingQuality(CompositingQuality quality)
    {
        return SetStatus(DllExports::GdipSetCompositingQuality(nativeGraphics, quality));
    }
    CompositingQuality GetCompositingQuality() const
    {
        CompositingQuality quality = CompositingQualityInvalid;
        SetStatus(DllExports::GdipGetCompositingQuality(nativeGraphics, &quality));
        return quality;
    }
    Status SetTextRenderingHint(TextRenderingHint hint)
    {
        return SetStatus(DllExports::GdipSetTextRenderingHint(nativeGraphics, hint));
    }
    TextRenderingHint GetTextRenderingHint() const
    {
        TextRenderingHint hint = TextRenderingHintSystemDefault;
        SetStatus(DllExports::GdipGetTextRenderingHint(nativeGraphics, &hint));
        return hint;
    }
    Status SetPageUnit(Unit unit) { return SetStatus(DllExports::GdipSetPageUnit(nativeGraphics, unit)); }
    Unit GetPageUnit() const
    {
        Unit unit = UnitDisplay;
        SetStatus(DllExports::GdipGetPageUnit(nativeGraphics, &unit));
        return unit;
    }
    Status SetPageScale(REAL scale) { return SetStatus(DllExports::GdipSetPageScale(nativeGraphics, scale)); }
    REAL GetPageScale() const
    {
        REAL scale = 0;
        SetStatus(DllExports::GdipGetPageScale(nativeGraphics, &scale));
        return scale;
    }
    REAL GetDpiX() const
    {
        REAL dpi = 0;
        SetStatus(DllExports::GdipGetDpiX(nativeGraphics, &dpi));
        return dpi;
    }
    REAL GetDpiY() const
    {
        REAL dpi = 0;
        SetStatus(DllExports::GdipGetDpiY(nativeGraphics, &dpi));
        return dpi;
    }
    GraphicsState Save() const
    {
        GraphicsState state = 0;
        SetStatus(DllExports::GdipSaveGraphics(nativeGraphics, &state));
        return state;
    }
    Status Restore(GraphicsState state) { return SetStatus(DllExports::GdipRestoreGraphics(nativeGraphics, state)); }

    // World transform.
    Status SetTransform(const Matrix* matrix)
    {
        return SetStatus(DllExports::GdipSetWorldTransform(nativeGraphics, matrix ? matrix->nativeMatrix : nullptr));
    }
    Status GetTransform(Matrix* matrix) const
    {
        return SetStatus(DllExports::GdipGetWorldTransform(nativeGraphics, matrix ? matrix->nativeMatrix : nullptr));
    }
    Status ResetTransform() { return SetStatus(DllExports::GdipResetWorldTransform(nativeGraphics)); }
    Status MultiplyTransform(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipMultiplyWorldTransform(nativeGraphics, matrix ? matrix->nativeMatrix : nullptr,
                                                                order));
    }
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipTranslateWorldTransform(nativeGraphics, dx, dy, order));
    }
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipScaleWorldTransform(nativeGraphics, sx, sy, order));
    }
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend)
    {
        return SetStatus(DllExports::GdipRotateWorldTransform(nativeGraphics, angle, order));
    }

    // Shapes in world coordinates.
    Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
    {
        return SetStatus(DllExports::GdipDrawLine(nativeGraphics, pen ? pen->nativePen : nullptr, x1, y1, x2, y2));
    }
    Status DrawLine(const Pen* pen, const PointF& pt1, const PointF& pt2) { return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y); }
    Status DrawLine(const Pen* pen, const Point& pt1, const Point& pt2) { return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y); }
    Status DrawLines(const Pen* pen, const PointF* points, INT count)
    {
        return SetStatus(DllExports::GdipDrawLines(nativeGraphics, pen ? pen->nativePen : nullptr, points, count));
    }
    Status DrawLines(const Pen* pen, const Point* points, INT count)
    {
        return SetStatus(DllExports::GdipDrawLinesI(nativeGraphics, pen ? pen->nativePen : nullptr, points, count));
    }
    Status DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
    {
        return SetStatus(
            DllExports::GdipDrawRectangle(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height));
    }
    Status DrawRectangle(const Pen* pen, const RectF& rect) { return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height); }
    Status DrawRectangle(const Pen* pen, const Rect& rect) { return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height); }
    Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
    {
        return SetStatus(
            DllExports::GdipFillRectangle(nativeGraphics, brush ? brush->nativeBrush : nullptr, x, y, width, height));
    }
    Status FillRectangle(const Brush* brush, const RectF& rect)
    {
        return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
    }
    Status FillRectangle(const Brush* brush, const Rect& rect)
    {
        return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
    }
    Status DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height)
    {
        return SetStatus(DllExports::GdipDrawEllipse(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height));
    }
    Status DrawEllipse(const Pen* pen, INT x, INT y, INT width, INT height)
    {
        return SetStatus(DllExports::GdipDrawEllipseI(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height));
    }
    Status DrawEllipse(const Pen* pen, const RectF& rect) { return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height); }
    Status DrawEllipse(const Pen* pen, const Rect& rect) { return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height); }
    Status FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
    {
        return SetStatus(
            DllExports::GdipFillEllipse(nativeGraphics, brush ? brush->nativeBrush : nullptr, x, y, width, height));
    }
    Status FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height)
    {
        return SetStatus(
            DllExports::GdipFillEllipseI(nativeGraphics, brush ? brush->nativeBrush : nullptr, x, y, width, height));
    }
    Status FillEllipse(const Brush* brush, const RectF& rect) { return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height); }
    Status FillEllipse(const Brush* brush, const Rect& rect) { return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height); }
    Status DrawArc(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipDrawArc(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height,
                                                 startAngle, sweepAngle));
    }
    Status DrawArc(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipDrawArcI(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height,
                                                  startAngle, sweepAngle));
    }
    Status DrawArc(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle)
    {
        return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status DrawArc(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle)
    {
        return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status DrawPie(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipDrawPie(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height,
                                                 startAngle, sweepAngle));
    }
    Status DrawPie(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipDrawPieI(nativeGraphics, pen ? pen->nativePen : nullptr, x, y, width, height,
                                                  startAngle, sweepAngle));
    }
    Status DrawPie(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle)
    {
        return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status DrawPie(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle)
    {
        return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status FillPie(const Brush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipFillPie(nativeGraphics, brush ? brush->nativeBrush : nullptr, x, y, width,
                                                 height, startAngle, sweepAngle));
    }
    Status FillPie(const Brush* brush, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
    {
        return SetStatus(DllExports::GdipFillPieI(nativeGraphics, brush ? brush->nativeBrush : nullptr, x, y, width,
                                                  height, startAngle, sweepAngle));
    }
    Status FillPie(const Brush* brush, const RectF& rect, REAL startAngle, REAL sweepAngle)
    {
        return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status FillPie(const Brush* brush, const Rect& rect, REAL startAngle, REAL sweepAngle)
    {
        return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
    }
    Status DrawPolygon(const Pen* pen, const PointF* points, INT count)
    {
        return SetStatus(DllExports::GdipDrawPolygon(nativeGraphics, pen ? pen->nativePen : nullptr, points, count));
    }
    Status DrawPolygon(const Pen* pen, const Point* points, INT count)
    {
        return SetStatus(DllExports::GdipDrawPolygonI(nativeGraphics, pen ? pen->nativePen : nullptr, points, count));
    }
    Status FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode = FillModeAlternate)
    {
        return SetStatus(DllExports::GdipFillPolygon(nativeGraphics, brush ? brush->nativeBrush : nullptr, points, count,
                                                     fillMode));
    }
    Status FillPolygon(const Brush* brush, const Point* points, INT count, FillMode fillMode = FillModeAlternate)
    {
        return SetStatus(DllExports::GdipFillPolygonI(nativeGraphics, brush ? brush->nativeBrush : nullptr, points,
                                                      count, fillMode));
    }
    Status DrawBezier(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
    {
        return SetStatus(DllExports::GdipDrawBezier(nativeGraphics, pen ? pen->nativePen : nullptr, x1, y1, x2, y2, x3,
                                                    y3, x4, y4));
    }
    Status DrawPath(const Pen* pen, const GraphicsPath* path)
    {
        return SetStatus(DllExports::GdipDrawPath(nativeGraphics, pen ? pen->nativePen : nullptr,
                                                  path ? path->nativePath : nullptr));
    }
    Status FillPath(const Brush* brush, const GraphicsPath* path)
    {
        return SetStatus(DllExports::GdipFillPath(nativeGraphics, brush ? brush->nativeBrush : nullptr,
                                                  path ? path->nativePath : nullptr));
    }
    Status DrawImage(Image* image, REAL x, REAL y)
    {
        return SetStatus(DllExports::GdipDrawImage(nativeGraphics, image ? image->nativeImage : nullptr, x, y));
    }
    Status DrawImage(Image* image, const PointF& point) { return DrawImage(image, point.X, point.Y); }
    Status DrawImage(Image* image, const Point& point) { return DrawImage(image, point.X, point.Y); }
    Status DrawImage(Image* image, REAL x, REAL y, REAL width, REAL height)
    {
        return SetStatus(
            DllExports::GdipDrawImageRect(nativeGraphics, image ? image->nativeImage : nullptr, x, y, width, height));
    }
    Status DrawImage(Image* image, const RectF& rect) { return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height); }
    /// A cardinal spline through the points (tension 0.5 unless given; 0 gives straight lines).
    Status DrawCurve(const Pen* pen, const PointF* points, INT count, REAL tension = 0.5f)
    {
        return SetStatus(DllExports::GdipDrawCurve2(nativeGraphics, pen ? pen->nativePen : nullptr, points, count, tension));
    }
    Status DrawCurve(const Pen* pen, const Point* points, INT count, REAL tension = 0.5f)
    {
        return SetStatus(DllExports::GdipDrawCurve2I(nativeGraphics, pen ? pen->nativePen : nullptr, points, count, tension));
    }
    Status DrawClosedCurve(const Pen* pen, const PointF* points, INT count, REAL tension = 0.5f)
    {
        return SetStatus(
            DllExports::GdipDrawClosedCurve2(nativeGraphics, pen ? pen->nativePen : nullptr, points, count, tension));
    }
    Status DrawClosedCurve(const Pen* pen, const Point* points, INT count, REAL tension = 0.5f)
    {
        return SetStatus(
            DllExports::GdipDrawClosedCurve2I(nativeGraphics, pen ? pen->nativePen : nullptr, points, count, tension));
    }
    Status FillClosedCurve(const Brush* brush, const PointF* points, INT count, FillMode fillMode = FillModeAlternate,
                           REAL tension = 0.5f)
    {
        return SetStatus(DllExports::GdipFillClosedCurve2(nativeGraphics, brush ? brush->nativeBrush : nullptr, points,
                                                          count, tension, fillMode));
    }
    Status FillClosedCurve(const Brush* brush, const Point* points, INT count, FillMode fillMode = FillModeAlternate,
                           REAL tension = 0.5f)
    {
        return SetStatus(DllExports::GdipFillClosedCurve2I(nativeGraphics, brush ? brush->nativeBrush : nullptr, points,
                                                           count, tension, fillMode));
    }
    Status FillRectangles(const Brush* brush, const RectF* rects, INT count)
    {
        return SetStatus(DllExports::GdipFillRectangles(nativeGraphics, brush ? brush->nativeBrush : nullptr, rects, count));
    }
    Status FillRectangles(const Brush* brush, const Rect* rects, INT count)
    {
        return SetStatus(DllExports::GdipFillRectanglesI(nativeGraphics, brush ? brush->nativeBrush : nullptr, rects, count));
    }
    Status DrawRectangles(const Pen* pen, const RectF* rects, INT count)
    {
        return SetStatus(DllExports::GdipDrawRectangles(nativeGraphics, pen ? pen->nativePen : nullptr, rects, count));
    }
    Status DrawRectangles(const Pen* pen, const Rect* rects, INT count)
    {
        return SetStatus(DllExports::GdipDrawRectanglesI(nativeGraphics, pen ? pen->nativePen : nullptr, rects, count));
    }
    Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, PointF* pts, INT count) const
    {
        return SetStatus(DllExports::GdipTransformPoints(nativeGraphics, destSpace, srcSpace, pts, count));
    }
    Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, Point* pts, INT count) const
    {
        return SetStatus(DllExports::GdipTransformPointsI(nativeGraphics, destSpace, srcSpace, pts, count));
    }
    /// The box the text takes when drawn in layoutRect (wrapped at its width when it has one).
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                         const StringFormat* stringFormat, RectF* boundingBox, INT* codepointsFitted = nullptr,
                         INT* linesFilled = nullptr) const
    {
        return SetStatus(DllExports::GdipMeasureString(nativeGraphics, string, length, font ? font->nativeFont : nullptr,
                                                       &layoutRect, stringFormat ? stringFormat->nativeFormat : nullptr,
                                                       boundingBox, codepointsFitted, linesFilled));
    }
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                         RectF* boundingBox) const
    {
        return MeasureString(string, length, font, layoutRect, nullptr, boundingBox);
    }
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                         RectF* boundingBox) const
    {
        return MeasureString(string, length, font, RectF(origin.X, origin.Y, 0.0f, 0.0f), nullptr, boundingBox);
    }
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                         const StringFormat* stringFormat, RectF* boundingBox) const
    {
        return MeasureString(string, length, font, RectF(origin.X, origin.Y, 0.0f, 0.0f), stringFormat, boundingBox);
    }

    /// Clipping. The clip is kept where the world transform of the moment put it on the device;
    /// the getters report it in the current world coordinates.
    Status SetClip(const Graphics* g, CombineMode combineMode = CombineModeReplace)
    {
        return SetStatus(DllExports::GdipSetClipGraphics(nativeGraphics, g ? g->nativeGraphics : nullptr, combineMode));
    }
    Status SetClip(const RectF& rect, CombineMode combineMode = CombineModeReplace)
    {
        return SetStatus(
            DllExports::GdipSetClipRect(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode));
    }
    Status SetClip(const Rect& rect, CombineMode combineMode = CombineModeReplace)
    {
        return SetStatus(
            DllExports::GdipSetClipRectI(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode));
    }
    Status SetClip(const GraphicsPath* path, CombineMode combineMode = CombineModeReplace)
    {
        return SetStatus(
            DllExports::GdipSetClipPath(nativeGraphics, path ? path->nativePath : nullptr, combineMode));
    }
    inline Status SetClip(const Region* region, CombineMode combineMode = CombineModeReplace);
    Status SetClip(HRGN hRgn, CombineMode combineMode = CombineModeReplace)
    {
        return SetStatus(DllExports::GdipSetClipHrgn(nativeGraphics, hRgn, combineMode));
    }
    Status IntersectClip(const RectF& rect) { return SetClip(rect, CombineModeIntersect); }
    Status IntersectClip(const Rect& rect) { return SetClip(rect, CombineModeIntersect); }
    inline Status IntersectClip(const Region* region);
    Status ExcludeClip(const RectF& rect) { return SetClip(rect, CombineModeExclude); }
    Status ExcludeClip(const Rect& rect) { return SetClip(rect, CombineModeExclude); }
    inline Status ExcludeClip(const Region* region);
    Status ResetClip() { return SetStatus(DllExports::GdipResetClip(nativeGraphics)); }
    Status TranslateClip(REAL dx, REAL dy) { return SetStatus(DllExports::GdipTranslateClip(nativeGraphics, dx, dy)); }
    Status TranslateClip(INT dx, INT dy) { return SetStatus(DllExports::GdipTranslateClipI(nativeGraphics, dx, dy)); }
    inline Status GetClip(Region* region) const;
    Status GetClipBounds(RectF* rect) const { return SetStatus(DllExports::GdipGetClipBounds(nativeGraphics, rect)); }
    Status GetClipBounds(Rect* rect) const { return SetStatus(DllExports::GdipGetClipBoundsI(nativeGraphics, rect)); }
    Status GetVisibleClipBounds(RectF* rect) const
    {
        return SetStatus(DllExports::GdipGetVisibleClipBounds(nativeGraphics, rect));
    }
    Status GetVisibleClipBounds(Rect* rect) const
    {
        return SetStatus(DllExports::GdipGetVisibleClipBoundsI(nativeGraphics, rect));
    }
    BOOL IsClipEmpty() const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsClipEmpty(nativeGraphics, &result));
        return result;
    }
    BOOL IsVisibleClipEmpty() const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsVisibleClipEmpty(nativeGraphics, &result));
        return result;
    }
    BOOL IsVisible(INT x, INT y) const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsVisiblePointI(nativeGraphics, x, y, &result));
        return result;
    }
    BOOL IsVisible(const Point& point) const { return IsVisible(point.X, point.Y); }
    BOOL IsVisible(INT x, INT y, INT width, INT height) const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsVisibleRectI(nativeGraphics, x, y, width, height, &result));
        return result;
    }
    BOOL IsVisible(const Rect& rect) const { return IsVisible(rect.X, rect.Y, rect.Width, rect.Height); }
    BOOL IsVisible(REAL x, REAL y) const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsVisiblePoint(nativeGraphics, x, y, &result));
        return result;
    }
    BOOL IsVisible(const PointF& point) const { return IsVisible(point.X, point.Y); }
    BOOL IsVisible(REAL x, REAL y, REAL width, REAL height) const
    {
        BOOL result = FALSE;
        SetStatus(DllExports::GdipIsVisibleRect(nativeGraphics, x, y, width, height, &result));
        return result;
    }
    BOOL IsVisible(const RectF& rect) const { return IsVisible(rect.X, rect.Y, rect.Width, rect.Height); }
    inline Status FillRegion(const Brush* brush, const Region* region);

    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }

    GpGraphics* nativeGraphics;
    mutable Status lastResult;
};

/// An area of the plane: rectangles and paths combined, or everything (infinite), or nothing.
class Region : public GdiplusBase {
public:
    friend class Graphics;

    /// The infinite region.
    Region() : nativeRegion(nullptr), lastResult(Ok) { lastResult = DllExports::GdipCreateRegion(&nativeRegion); }
    Region(const RectF& rect) : nativeRegion(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateRegionRect(&rect, &nativeRegion);
    }
    Region(const Rect& rect) : nativeRegion(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateRegionRectI(&rect, &nativeRegion);
    }
    Region(const GraphicsPath* path) : nativeRegion(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateRegionPath(path ? path->nativePath : nullptr, &nativeRegion);
    }
    Region(HRGN hRgn) : nativeRegion(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreateRegionHrgn(hRgn, &nativeRegion);
    }
    ~Region() { DllExports::GdipDeleteRegion(nativeRegion); }
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    /// new Region(hRgn), or null when the handle is not a region; the caller deletes it.
    static Region* FromHRGN(HRGN hRgn)
    {
        GpRegion* native = nullptr;
        if (DllExports::GdipCreateRegionHrgn(hRgn, &native) != Ok)
            return nullptr;
        Region* r = new Region(native);
        if (!r)
            DllExports::GdipDeleteRegion(native);
        return r;
    }
    /// A copy; the caller deletes it.
    Region* Clone() const
    {
        GpRegion* native = nullptr;
        if (SetStatus(DllExports::GdipCloneRegion(nativeRegion, &native)) != Ok)
            return nullptr;
        Region* r = new Region(native);
        if (!r)
            DllExports::GdipDeleteRegion(native);
        return r;
    }
    Status MakeInfinite() { return SetStatus(DllExports::GdipSetInfinite(nativeRegion)); }
    Status MakeEmpty() { return SetStatus(DllExports::GdipSetEmpty(nativeRegion)); }

    Status Intersect(const Rect& rect) { return Combine(rect, CombineModeIntersect); }
    Status Intersect(const RectF& rect) { return Combine(rect, CombineModeIntersect); }
    Status Intersect(const GraphicsPath* path) { return Combine(path, CombineModeIntersect); }
    Status Intersect(const Region* region) { return Combine(region, CombineModeIntersect); }
    Status Union(const Rect& rect) { return Combine(rect, CombineModeUnion); }
    Status Union(const RectF& rect) { return Combine(rect, CombineModeUnion); }
    Status Union(const GraphicsPath* path) { return Combine(path, CombineModeUnion); }
    Status Union(const Region* region) { return Combine(region, CombineModeUnion); }
    Status Xor(const Rect& rect) { return Combine(rect, CombineModeXor); }
    Status Xor(const RectF& rect) { return Combine(rect, CombineModeXor); }
    Status Xor(const GraphicsPath* path) { return Combine(path, CombineModeXor); }
    Status Xor(const Region* region) { return Combine(region, CombineModeXor); }
    /// This region less the other shape.
    Status Exclude(const Rect& rect) { return Combine(rect, CombineModeExclude); }
    Status Exclude(const RectF& rect) { return Combine(rect, CombineModeExclude); }
    Status Exclude(const GraphicsPath* path) { return Combine(path, CombineModeExclude); }
    Status Exclude(const Region* region) { return Combine(region, CombineModeExclude); }
    /// The other shape less this region.
    Status Complement(const Rect& rect) { return Combine(rect, CombineModeComplement); }
    Status Complement(const RectF& rect) { return Combine(rect, CombineModeComplement); }
    Status Complement(const GraphicsPath* path) { return Combine(path, CombineModeComplement); }
    Status Complement(const Region* region) { return Combine(region, CombineModeComplement); }

    Status Translate(REAL dx, REAL dy) { return SetStatus(DllExports::GdipTranslateRegion(nativeRegion, dx, dy)); }
    Status Translate(INT dx, INT dy) { return SetStatus(DllExports::GdipTranslateRegionI(nativeRegion, dx, dy)); }
    Status Transform(const Matrix* matrix)
    {
        return SetStatus(DllExports::GdipTransformRegion(nativeRegion, matrix ? matrix->nativeMatrix : nullptr));
    }

    inline Status GetBounds(Rect* rect, const Graphics* g) const;
    inline Status GetBounds(RectF* rect, const Graphics* g) const;
    /// A new GDI region of the pixels this one covers; the caller deletes it.
    inline HRGN GetHRGN(const Graphics* g) const;
    inline BOOL IsEmpty(const Graphics* g) const;
    inline BOOL IsInfinite(const Graphics* g) const;
    inline BOOL Equals(const Region* region, const Graphics* g) const;
    inline BOOL IsVisible(INT x, INT y, const Graphics* g = nullptr) const;
    BOOL IsVisible(const Point& point, const Graphics* g = nullptr) const { return IsVisible(point.X, point.Y, g); }
    inline BOOL IsVisible(REAL x, REAL y, const Graphics* g = nullptr) const;
    BOOL IsVisible(const PointF& point, const Graphics* g = nullptr) const { return IsVisible(point.X, point.Y, g); }
    inline BOOL IsVisible(INT x, INT y, INT width, INT height, const Graphics* g = nullptr) const;
    BOOL IsVisible(const Rect& rect, const Graphics* g = nullptr) const
    {
        return IsVisible(rect.X, rect.Y, rect.Width, rect.Height, g);
    }
    inline BOOL IsVisible(REAL x, REAL y, REAL width, REAL height, const Graphics* g = nullptr) const;
    BOOL IsVisible(const RectF& rect, const Graphics* g = nullptr) const
    {
        return IsVisible(rect.X, rect.Y, rect.Width, rect.Height, g);
    }

    /// How many rectangles GetRegionScans gives for the region transformed by matrix.
    UINT GetRegionScansCount(const Matrix* matrix) const
    {
        UINT count = 0;
        SetStatus(DllExports::GdipGetRegionScansCount(nativeRegion, &count,
                                                      matrix ? matrix->nativeMatrix : nullptr));
        return count;
    }
    Status GetRegionScans(const Matrix* matrix, RectF* rects, INT* count) const
    {
        return SetStatus(
            DllExports::GdipGetRegionScans(nativeRegion, rects, count, matrix ? matrix->nativeMatrix : nullptr));
    }
    Status GetRegionScans(const Matrix* matrix, Rect* rects, INT* count) const
    {
        return SetStatus(
            DllExports::GdipGetRegionScansI(nativeRegion, rects, count, matrix ? matrix->nativeMatrix : nullptr));
    }

    /// The status of the last call that failed since the last GetLastStatus, which this call resets to Ok.
    Status GetLastStatus() const
    {
        Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    explicit Region(GpRegion* native) : nativeRegion(native), lastResult(Ok) {}
    Status SetStatus(Status status) const { return status == Ok ? Ok : (lastResult = status); }
    Status Combine(const Rect& rect, CombineMode mode)
    {
        return SetStatus(DllExports::GdipCombineRegionRectI(nativeRegion, &rect, mode));
    }
    Status Combine(const RectF& rect, CombineMode mode)
    {
        return SetStatus(DllExports::GdipCombineRegionRect(nativeRegion, &rect, mode));
    }
    Status Combine(const GraphicsPath* path, CombineMode mode)
    {
        return SetStatus(DllExports::GdipCombineRegionPath(nativeRegion, path ? path->nativePath : nullptr, mode));
    }
    Status Combine(const Region* region, CombineMode mode)
    {
        return SetStatus(
            DllExports::GdipCombineRegionRegion(nativeRegion, region ? region->nativeRegion : nullptr, mode));
    }
    static GpGraphics* NativeOf(const Graphics* g) { return g ? g->nativeGraphics : nullptr; }

    GpRegion* nativeRegion;
    mutable Status lastResult;
};

inline Status Region::GetBounds(Rect* rect, const Graphics* g) const
{
    return SetStatus(DllExports::GdipGetRegionBoundsI(nativeRegion, NativeOf(g), rect));
}
inline Status Region::GetBounds(RectF* rect, const Graphics* g) const
{
    return SetStatus(DllExports::GdipGetRegionBounds(nativeRegion, NativeOf(g), rect));
}
inline HRGN Region::GetHRGN(const Graphics* g) const
{
    HRGN hRgn = nullptr;
    SetStatus(DllExports::GdipGetRegionHRgn(nativeRegion, NativeOf(g), &hRgn));
    return hRgn;
}
inline BOOL Region::IsEmpty(const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsEmptyRegion(nativeRegion, NativeOf(g), &result));
    return result;
}
inline BOOL Region::IsInfinite(const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsInfiniteRegion(nativeRegion, NativeOf(g), &result));
    return result;
}
inline BOOL Region::Equals(const Region* region, const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsEqualRegion(nativeRegion, region ? region->nativeRegion : nullptr, NativeOf(g),
                                            &result));
    return result;
}
inline BOOL Region::IsVisible(INT x, INT y, const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleRegionPointI(nativeRegion, x, y, NativeOf(g), &result));
    return result;
}
inline BOOL Region::IsVisible(REAL x, REAL y, const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleRegionPoint(nativeRegion, x, y, NativeOf(g), &result));
    return result;
}
inline BOOL Region::IsVisible(INT x, INT y, INT width, INT height, const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleRegionRectI(nativeRegion, x, y, width, height, NativeOf(g), &result));
    return result;
}
inline BOOL Region::IsVisible(REAL x, REAL y, REAL width, REAL height, const Graphics* g) const
{
    BOOL result = FALSE;
    SetStatus(DllExports::GdipIsVisibleRegionRect(nativeRegion, x, y, width, height, NativeOf(g), &result));
    return result;
}

inline Status Graphics::SetClip(const Region* region, CombineMode combineMode)
{
    return SetStatus(
        DllExports::GdipSetClipRegion(nativeGraphics, region ? region->nativeRegion : nullptr, combineMode));
}
inline Status Graphics::IntersectClip(const Region* region)
{
    return SetClip(region, CombineModeIntersect);
}
inline Status Graphics::ExcludeClip(const Region* region)
{
    return SetClip(region, CombineModeExclude);
}
inline Status Graphics::GetClip(Region* region) const
{
    return SetStatus(DllExports::GdipGetClip(nativeGraphics, region ? region->nativeRegion : nullptr));
}
inline Status Graphics::FillRegion(const Brush* brush, const Region* region)
{
    return SetStatus(DllExports::GdipFillRegion(nativeGraphics, brush ? brush->nativeBrush : nullptr,
                                                region ? region->nativeRegion : nullptr));
}

inline Pen::Pen(const Brush* brush, REAL width) : nativePen(nullptr), lastResult(Ok)
{
    lastResult = DllExports::GdipCreatePen2(brush ? brush->nativeBrush : nullptr, width, UnitWorld, &nativePen);
}

inline Bitmap::Bitmap(INT width, INT height, Graphics* target)
{
    GpBitmap* bitmap = nullptr;
    lastResult = DllExports::GdipCreateBitmapFromGraphics(width, height, target ? target->nativeGraphics : nullptr,
                                                          &bitmap);
    nativeImage = bitmap;
}

}  // namespace Gdiplus


// --- Not part of GDI+: the stand-in's limit on decoded images ------------------------------
// The largest image, in pixels (width times height), that GdipCreateBitmapFromFile decodes;
// larger ones fail with OutOfMemory before anything is allocated. The default is 1 << 28
// (16384 x 16384); MOXIMAGE2_MAX_PIXELS in the environment (a positive decimal number) sets
// another at start-up. MoxSetMaxImagePixels in MoxImage2.h sets this one and the library's.
#define MOXPLAT_HAS_IMAGE_PIXEL_LIMIT 1
namespace moxplat {
MOXPLAT_API void SetMaxImagePixels(unsigned long long pixels);
MOXPLAT_API unsigned long long GetMaxImagePixels();
}  // namespace moxplat
