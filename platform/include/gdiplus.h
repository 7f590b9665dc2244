// GDI+ for systems other than Windows: the flat functions, with GDI+'s names, signatures and
// status codes, and the thin header-only class interface over them. Each class holds its native
// handle and the status of its last failed call, and is allocated through GdipAlloc/GdipFree.
#pragma once

#include <windows.h>

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
                  Magenta = 0xFFFF00FF, Transparent = 0x00FFFFFF };
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

/// An integer point.
class Point {
public:
    Point() : X(0), Y(0) {}
    /// The point (x, y).
    Point(INT x, INT y) : X(x), Y(y) {}
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
    /// Coordinates.
    ///@{
    REAL X, Y;
    ///@}
};

/// An integer rectangle: left X, top Y, Width, Height. Contains and IntersectsWith treat it as
/// half-open: the column X + Width and the row Y + Height lie outside.
class Rect {
public:
    Rect() : X(0), Y(0), Width(0), Height(0) {}
    /// The rectangle at (x, y) of the given size.
    Rect(INT x, INT y, INT width, INT height) : X(x), Y(y), Width(width), Height(height) {}

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

    /// X.
    REAL GetLeft() const { return X; }
    /// Y.
    REAL GetTop() const { return Y; }
    /// X + Width.
    REAL GetRight() const { return X + Width; }
    /// Y + Height.
    REAL GetBottom() const { return Y + Height; }

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

    /// A solid pen of the colour and width in pixels; a negative or non-finite width gives InvalidParameter.
    Pen(const Color& color, REAL width = 1.0f) : nativePen(nullptr), lastResult(Ok)
    {
        lastResult = DllExports::GdipCreatePen1(color.GetValue(), width, UnitWorld, &nativePen);
    }
    ~Pen() { DllExports::GdipDeletePen(nativePen); }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

    /// Solid, dash, dot, dash-dot or dash-dot-dot; DashStyleCustom and unknown values give InvalidParameter.
    Status SetDashStyle(DashStyle dashStyle) { return SetStatus(DllExports::GdipSetPenDashStyle(nativePen, dashStyle)); }
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

/// Draws on a device context: into whatever the context shows at the time of each call (for a
/// memory context, the selected DIB section). Shapes are not anti-aliased, text is. Every call
/// returns its status and keeps the last failing one for GetLastStatus.
class Graphics : public GdiplusBase {
public:
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
