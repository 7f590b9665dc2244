// MoxImage2: a 2-D sprite graphics library.
//
// A canvas (CMoxGraphics) owns a 24-bit top-down back buffer. Hosts draw into it immediately
// (software blitters for colour-keyed bitmaps and alpha TGA images, solid fills, GDI+ text,
// lines, outlines, hatch fills and scaled images) or describe a retained scene of sprites that
// the canvas redraws only where something changed, presenting the dirty areas to a window.
#pragma once

#include "MoxImage2Platform.h"

#include <list>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#if defined(_WIN32)
#if defined(MOXIMAGE2_BUILD)
#define MOXIMAGE2_API __declspec(dllexport)
#else
#define MOXIMAGE2_API __declspec(dllimport)
#endif
#else
#define MOXIMAGE2_API __attribute__((visibility("default")))
#endif

class CMoxGraphics;
class CMoxSprite;
class CMoxButton;
namespace mox {
class DirtyIndex;
struct BitmapPixels;
}

// --- Images and drawing tools ---------------------------------------------------------------

/// An opaque 24-bit picture with an optional exact-match colour key.
///
/// It holds one of two forms: a GDI+ bitmap loaded from an image file (file form), or a private
/// copy of raw bottom-up 24-bit DIB bytes with their header (raw form). The software blitters
/// (CMoxGraphics::Draw) read either form; the GDI+ calls (CMoxGraphics::DrawImage) draw only the
/// file form. Copies share the picture, the key and the GDI+ objects; the last owner releases them.
/// A file that does not load gives an image of width and height 0 that draws nothing.
class MOXIMAGE2_API CMoxBitmap {
public:
    /// An empty image: no form, no key, width and height 0.
    CMoxBitmap();
    /// An image in raw form; see Init(const unsigned char*, int, BITMAPINFO&, int).
    CMoxBitmap(const unsigned char* pBits, int nBytes, BITMAPINFO& header, int bZoom);
    /// An image loaded from a file; see Init(const wchar_t*).
    CMoxBitmap(const wchar_t* path);
    /// An image in raw form with a colour key; see the keyed raw Init.
    CMoxBitmap(const unsigned char* pBits, int nBytes, BITMAPINFO& header, unsigned char keyR, unsigned char keyG,
               unsigned char keyB);
    /// An image loaded from a file with a colour key; see the keyed file Init.
    CMoxBitmap(const wchar_t* path, unsigned char keyR, unsigned char keyG, unsigned char keyB);
    /// A copy that shares the picture, the key and the GDI+ objects of other.
    CMoxBitmap(const CMoxBitmap& other);
    /// Gives up this image's share and shares other's picture, key and GDI+ objects.
    CMoxBitmap& operator=(const CMoxBitmap& other);
    /// Gives up this image's share; the last owner releases the picture and the key.
    ~CMoxBitmap();

    /// Replaces the picture by a private copy of raw pixel bytes (raw form).
    ///
    /// @param pBits   24-bit pixels, blue, green, red; rows of exactly width x 3 bytes (not padded),
    ///                bottom row first. Copied: the caller may free them on return.
    /// @param nBytes  how many bytes to copy. Null bytes or a count of 0 or less keep none: the image
    ///                then draws nothing (with MOXIMAGE2_LOG=1 this is reported).
    /// @param header  width (biWidth) and height (biHeight) of the pixels; copied.
    /// @param bZoom   non-zero marks the image to be stretched: the region Draw(image, x, y, srcX,
    ///                srcY, width, height) then scales it to width x height with StretchDIBits
    ///                (nearest pixel, no colour key; needs InitGraphics(CPaintDC*)) instead of copying.
    /// A colour key set earlier is kept.
    void Init(const unsigned char* pBits, int nBytes, BITMAPINFO& header, int bZoom);
    /// Replaces the picture by one loaded from an image file through GDI+ (file form).
    ///
    /// @param path  the file, as a wide string (UTF-8 conversion happens inside on Linux). BMP, PNG,
    ///              JPEG, GIF, TIFF and ICO files load. A missing or undecodable file leaves an image of
    ///              width 0 that draws nothing; its GDI+ bitmap's last status says why, and
    ///              MOXIMAGE2_LOG=1 reports it. A null path is refused the same way.
    /// A colour key set earlier is kept.
    void Init(const wchar_t* path);
    /// The raw-form Init, then SetColorKey(keyR, keyG, keyB). The zoom flag keeps its value.
    void Init(const unsigned char* pBits, int nBytes, BITMAPINFO& header, unsigned char keyR, unsigned char keyG,
              unsigned char keyB);
    /// The file-form Init, then SetColorKey(keyR, keyG, keyB).
    void Init(const wchar_t* path, unsigned char keyR, unsigned char keyG, unsigned char keyB);
    /// Makes exactly the colour (keyR, keyG, keyB) transparent, for the software blitters and for
    /// GDI+ drawing alike. A key can be replaced but not removed.
    void SetColorKey(unsigned char keyR, unsigned char keyG, unsigned char keyB);

    /// Width in pixels: the header's biWidth in raw form, the file's width in file form, 0 when empty.
    int GetWidth();
    /// Height in pixels: the header's biHeight in raw form (as given, negative included), the file's height in file
    /// form, 0 when empty.
    int GetHeight();
    /// Red of the colour key (0 when none was set).
    unsigned char GetKeyR();
    /// Green of the colour key.
    unsigned char GetKeyG();
    /// Blue of the colour key.
    unsigned char GetKeyB();
    /// The colour key as 0x00RRGGBB.
    unsigned long GetKeyRGB();
    /// 1 once a colour key has been set, else 0.
    int IsColorKey();
    /// The zoom flag given to the raw-form Init (non-zero: stretched by the region Draw).
    int IsZoom();
    /// The raw form's bytes (owned by the image); null in file form or when empty.
    unsigned char* GetMemBitmap();
    /// The raw form's copy of its header (owned by the image).
    BITMAPINFO* GetBitmapHeader();
    /// The file form's GDI+ bitmap (owned by the image); null in raw form or when empty.
    Gdiplus::Bitmap* GetBitmap();
    /// The GDI+ attributes carrying the colour key (owned by the image); null without a key.
    Gdiplus::ImageAttributes* GetImageAttributes();

    /// Colour-key attributes for GDI+ drawing; null until SetColorKey. Shared by copies.
    Gdiplus::ImageAttributes* m_pImageAttributes;
    /// The file form; null in raw form or when empty. Shared by copies.
    Gdiplus::Bitmap* m_pBitmap;
    /// Key red.
    unsigned char m_keyR;
    /// Key green.
    unsigned char m_keyG;
    /// Key blue.
    unsigned char m_keyB;
    /// The key as 0x00RRGGBB.
    ULONG m_keyRGB;
    /// 1 once a key has been set.
    int m_bColorKey;
    /// The raw form's bytes; null in file form or when empty. Shared by copies.
    unsigned char* m_pMemBitmap;
    /// Raw form: biWidth of the header.
    int m_nWidth;
    /// Raw form: biHeight of the header (a negative value stays negative and draws nothing).
    int m_nHeight;
    /// Raw form: a copy of the header.
    BITMAPINFO m_bitmapHeader;
    /// Raw form: the zoom flag.
    int m_bZoom;

private:
    friend class CMoxGraphics;
    friend struct mox::BitmapPixels;

    // A file-form image held in another format than 24-bit RGB, converted once for the blitter.
    struct Pixels24;
    const unsigned char* GetPixels24();

    int m_nMemBytes = 0;  // bytes held at m_pMemBitmap; readers never go past them
    std::shared_ptr<Pixels24> m_Pixels24;
    std::shared_ptr<void> m_AttributesOwner;
    std::shared_ptr<void> m_BitmapOwner;
    std::shared_ptr<void> m_MemBitmapOwner;
};

/// The largest image, in pixels (width times height), that a load accepts: CMoxTga::Init and,
/// on systems where this library brings its own platform layer, the image files that
/// CMoxBitmap::Init reads. A larger image fails to load before any memory is reserved for it.
/// The default is 268435456 (16384 x 16384); the environment variable MOXIMAGE2_MAX_PIXELS,
/// a whole number from 1 to 2^64 - 1 in digits only, sets another at start-up (any other value
/// keeps the default, reported with MOXIMAGE2_LOG=1), and MoxSetMaxImagePixels at any time.
/// @param pixels  the new limit; 0 refuses every image that has pixels.
MOXIMAGE2_API void MoxSetMaxImagePixels(unsigned long long pixels);
/// The largest image, in pixels, that a load accepts now (see MoxSetMaxImagePixels).
MOXIMAGE2_API unsigned long long MoxGetMaxImagePixels();

/// A 32-bit picture with per-pixel alpha, loaded from a TGA file.
///
/// Accepted: true-colour TGA files, uncompressed (type 2) or run-length (type 10), 24 or 32 bits a
/// pixel, either vertical origin. The buffer holds width x height pixels, top row first, each
/// element read little-endian as 0xAARRGGBB (24-bit files are opaque). Copies share the buffer.
class MOXIMAGE2_API CMoxTga {
public:
    /// An empty image: no buffer, size 0 x 0.
    CMoxTga();
    /// An image loaded from a file; see Init.
    CMoxTga(const char* path);
    /// A copy that shares other's buffer.
    CMoxTga(const CMoxTga& other);
    /// Gives up this image's share and shares other's buffer.
    CMoxTga& operator=(const CMoxTga& other);
    /// Gives up this image's share; the last owner frees the buffer.
    ~CMoxTga();

    /// Loads a TGA file.
    ///
    /// @param path  the file, narrow (UTF-8 on Linux, the ANSI code page on Windows).
    /// @return true when the file was read. A file that ends early still loads; what it lacks is
    ///         transparent black. False for a missing file, another TGA type or depth, an image larger
    ///         than MoxGetMaxImagePixels(), or a null path:
    ///         the buffer is then gone (copies keep theirs) and the size keeps its old value; with
    ///         MOXIMAGE2_LOG=1 the reason is reported.
    bool Init(const char* path);
    /// The pixels (owned by the image): width x height elements 0xAARRGGBB, top row first; null when none.
    ULONG* GetBuffer();
    /// Width in pixels.
    unsigned long GetWidth();
    /// Height in pixels.
    unsigned long GetHeight();

    /// The pixels; null when none. Shared by copies.
    ULONG* m_pBuffer;
    /// Width in pixels.
    ULONG m_nWidth;
    /// Height in pixels.
    ULONG m_nHeight;

private:
    std::shared_ptr<void> m_BufferOwner;
};

/// A plain RGB colour, for solid-fill sprites (CMoxSprite::Init(CMoxColor*)).
class MOXIMAGE2_API CMoxColor {
public:
    /// Black.
    CMoxColor();
    /// The colour (r, g, b).
    CMoxColor(unsigned char r, unsigned char g, unsigned char b);
    /// Nothing to release.
    ~CMoxColor();
    /// Copies the three components.
    CMoxColor& operator=(const CMoxColor& other);
    /// Copies the three components.
    CMoxColor(const CMoxColor& other) = default;

    /// Replaces the colour.
    void Init(unsigned char r, unsigned char g, unsigned char b);
    /// Red.
    unsigned char GetR();
    /// Green.
    unsigned char GetG();
    /// Blue.
    unsigned char GetB();

    /// Red.
    unsigned char m_r;
    /// Green.
    unsigned char m_g;
    /// Blue.
    unsigned char m_b;
};

/// Owns one GDI+ pen: an opaque colour, a width in pixels and a dash style.
///
/// Copies share the pen; the last owner deletes it. Used by CMoxGraphics::DrawLine,
/// CMoxGraphics::DrawRectangle and line or outline sprites.
class MOXIMAGE2_API CMoxPen {
public:
    /// No pen yet: drawing with it is refused (reported with MOXIMAGE2_LOG=1).
    CMoxPen();
    /// A pen; see Init.
    CMoxPen(int r, int g, int b, float width, Gdiplus::DashStyle dashStyle);
    /// A copy sharing other's pen.
    CMoxPen(const CMoxPen& other);
    /// Gives up this share and shares other's pen.
    CMoxPen& operator=(const CMoxPen& other);
    /// Gives up this share; the last owner deletes the pen.
    ~CMoxPen();

    /// Replaces the pen (only this object's share of the old one is given up).
    ///
    /// @param r,g,b      opaque colour; only the low 8 bits of each count.
    /// @param width      line width in pixels; a width of 1 or less covers whole pixels. A width GDI+
    ///                   refuses (negative, not finite) gives a pen object whose last status says so.
    /// @param dashStyle  solid, dash, dot, dash-dot or dash-dot-dot.
    void Init(int r, int g, int b, float width, Gdiplus::DashStyle dashStyle);
    /// The GDI+ pen (owned by the pen object); null before Init.
    Gdiplus::Pen* GetPen();

    /// The GDI+ pen; null before Init. Shared by copies.
    Gdiplus::Pen* m_pPen;

private:
    std::shared_ptr<void> m_PenOwner;
};

/// Owns one GDI+ hatch brush: an 8 x 8 pattern of two colours, anchored at the canvas origin.
///
/// Copies share the brush; the last owner deletes it.
class MOXIMAGE2_API CMoxBrush {
public:
    /// No brush yet: filling with it is refused (reported with MOXIMAGE2_LOG=1).
    CMoxBrush();
    /// A hatch brush; see Init.
    CMoxBrush(Gdiplus::HatchStyle hatchStyle, const Gdiplus::Color& foreColor, const Gdiplus::Color& backColor);
    /// A copy sharing other's brush.
    CMoxBrush(const CMoxBrush& other);
    /// Gives up this share and shares other's brush.
    CMoxBrush& operator=(const CMoxBrush& other);
    /// Gives up this share; the last owner deletes the brush.
    ~CMoxBrush();

    /// Replaces the brush.
    ///
    /// @param hatchStyle  one of GDI+'s 53 patterns (HatchStyleHorizontal ... HatchStyleSolidDiamond);
    ///                    another value gives a brush object whose last status is InvalidParameter.
    /// @param foreColor   colour of the pattern's set pixels, with alpha.
    /// @param backColor   colour of the others, with alpha.
    void Init(Gdiplus::HatchStyle hatchStyle, const Gdiplus::Color& foreColor, const Gdiplus::Color& backColor);
    /// The GDI+ brush (owned by the brush object); null before Init.
    Gdiplus::HatchBrush* GetHatchBrush();

    /// The GDI+ brush; null before Init. Shared by copies.
    Gdiplus::HatchBrush* m_pHatchBrush;

private:
    std::shared_ptr<void> m_BrushOwner;
};

/// Owns one GDI+ font: a family by name, a size in points (96 DPI: n points are n x 4/3 pixels)
/// and a style.
///
/// Copies share the font; the last owner deletes it. A family that no installed font provides
/// gives a font object that draws nothing (GetSize() is then 0).
class MOXIMAGE2_API CMoxFont {
public:
    /// No font yet: text drawn with it draws nothing.
    CMoxFont();
    /// A font; see Init.
    CMoxFont(int size, const wchar_t* familyName, Gdiplus::FontStyle style);
    /// A copy sharing other's font.
    CMoxFont(const CMoxFont& other);
    /// Gives up this share and shares other's font.
    CMoxFont& operator=(const CMoxFont& other);
    /// Gives up this share; the last owner deletes the font.
    ~CMoxFont();

    /// Replaces the font.
    ///
    /// @param size        em size in points (at 96 DPI, 12 points are 16 pixels); must be above 0.
    /// @param familyName  family name, for example L"Arial" (on Linux fontconfig finds it, with
    ///                    Liberation fonts standing in for Arial, Times New Roman and Courier New). A
    ///                    family no installed font provides gives a font that draws nothing
    ///                    (FontFamilyNotFound; reported with MOXIMAGE2_LOG=1).
    /// @param style       regular, bold, italic, bold italic, plus underline and strikeout.
    void Init(int size, const wchar_t* familyName, Gdiplus::FontStyle style);
    /// The GDI+ font (owned by the font object); null before Init.
    Gdiplus::Font* GetFont();
    /// Em size in points; 0 when the font could not be made.
    float GetSize();

    /// The GDI+ font; null before Init. Shared by copies.
    Gdiplus::Font* m_pFont;

private:
    std::shared_ptr<void> m_FontOwner;
};

// --- Sprite scene ---------------------------------------------------------------------------

/// An integer rectangle in canvas pixels whose geometry is closed: the right column (X + Width)
/// and the bottom row (Y + Height) belong to it, unlike Gdiplus::Rect::Contains. Sizes are never
/// normalised; a negative Width or Height is used as stored.
class MOXIMAGE2_API CMoxRect : public Gdiplus::Rect {
public:
    /// The rectangle (0, 0, 0, 0).
    CMoxRect();
    /// The rectangle with left x, top y and the given size, in canvas pixels.
    CMoxRect(int x, int y, int width, int height);
    /// A copy.
    CMoxRect(const CMoxRect& other) = default;
    /// Nothing to release.
    ~CMoxRect();

    /// Copies the four fields.
    CMoxRect& operator=(const CMoxRect& other);
    /// 1 when all four fields are equal, else 0.
    int operator==(const CMoxRect& other) const;
    /// 0 when all four fields are equal, else 1.
    int operator!=(const CMoxRect& other) const;

    /// 1 when the point lies in the closed area: X <= x <= X + Width and Y <= y <= Y + Height.
    int MyContains(int x, int y) const;
    /// 1 when r lies wholly in the closed area (equal edges count as inside).
    int MyContains(const Gdiplus::Rect& r) const;
    /// 1 when r crosses this rectangle as an upright bar: r lies within this rectangle's horizontal
    /// span and covers its whole vertical span. Not symmetric.
    int Superpose(const Gdiplus::Rect& r) const;
    /// 1 when the two closed areas share a point (touching along an edge or at a corner included).
    int CheckSuperpose(CMoxRect& r);
    /// The part of r that this rectangle covers, relative to r's top-left corner: (ix - r.X, iy - r.Y,
    /// width, height) of the intersection. Rectangles that only touch give a width or height of 0;
    /// rectangles that do not meet give (0, 0, 0, 0).
    CMoxRect GetSuperpose(CMoxRect& r);
};

/// The dirty-rectangle list: the areas of the canvas that changed in this frame.
///
/// Rectangles added with AddRect are merged with every listed rectangle they meet (touching
/// included) into their bounding box, and dropped when one already covers them, so the listed
/// rectangles never meet and each canvas pixel lies in at most one of them.
class MOXIMAGE2_API CMoxZang {
public:
    /// An empty list.
    CMoxZang();
    /// A list with copies of other's rectangles, in order.
    CMoxZang(const CMoxZang& other);
    /// Replaces the rectangles by copies of other's.
    CMoxZang& operator=(const CMoxZang& other);
    /// Releases the list.
    ~CMoxZang();

    /// Empties the list.
    void Init();
    /// Empties the list (the same as Init).
    void ClearRect();
    /// 1 when a listed rectangle contains r (closed), else 0.
    int CheckRect(CMoxRect& r);
    /// Finds the first listed rectangle that meets r; then stores in out the part of r it covers,
    /// relative to r's top-left corner (CMoxRect::GetSuperpose), and returns 1. Returns 0 and leaves
    /// out alone when none meets r.
    int CheckRect(CMoxRect& r, CMoxRect& out);
    /// Adds r: nothing happens when a listed rectangle already contains it; otherwise it is appended
    /// and merged (ExtRect) with every listed rectangle it meets into their bounding box.
    void AddRect(CMoxRect& r);
    /// Merges the rectangle at it with every other listed rectangle it meets, repeatedly, removing
    /// those it absorbs; it stays valid. AddRect calls it on the rectangle it appended.
    void ExtRect(std::list<CMoxRect>::iterator it);

    /// The dirty rectangles, in canvas pixels. Read it freely; change it only through the members
    /// above, which keep the rectangles apart.
    std::list<CMoxRect> m_RectList;

private:
    friend class CMoxGraphics;

    void Walk(std::list<CMoxRect>::iterator it);

    // Where the listed rectangles lie, so AddRect need not walk the whole list; made on first use.
    std::unique_ptr<mox::DirtyIndex> m_Index;
};

/// A sprite's placement: the current rectangle, the rectangle before the last change, the source
/// offset into the image, and the zang flag that marks a changed sprite to be drawn whole.
class MOXIMAGE2_API CMoxSpriteRect {
public:
    /// Both rectangles (0, 0, 0, 0), source offset 0, zang flag 1.
    CMoxSpriteRect();
    /// A copy of all five members.
    CMoxSpriteRect(const CMoxSpriteRect& other) = default;
    /// Nothing to release.
    ~CMoxSpriteRect();
    /// Copies all five members.
    CMoxSpriteRect& operator=(const CMoxSpriteRect& other);

    /// The placement before the last change (the caller may read and write it).
    CMoxRect* GetOldRect();
    /// The current placement (the caller may read and write it).
    CMoxRect* GetNewRect();
    /// Left of the current placement, canvas pixels.
    int GetX();
    /// Top of the current placement.
    int GetY();
    /// Width of the current placement.
    int GetWidth();
    /// Height of the current placement.
    int GetHeight();
    /// Horizontal offset of the shown part inside the image, image pixels.
    int GetSrcX();
    /// Vertical offset of the shown part inside the image.
    int GetSrcY();
    /// The zang flag: 1 when the sprite changed and is drawn whole at the next composition.
    int IsZang();
    /// Stores the zang flag unchanged (only 1 draws an image sprite whole).
    void SetZang(int zang);
    /// Moves the placement: when any value differs from the current one, the current rectangle
    /// becomes the old one, the new values are stored and the zang flag is set to 1; when all are
    /// equal, nothing moves and the zang flag is cleared to 0.
    void SetNewRect(int x, int y, int width, int height, int srcX, int srcY);

    /// Placement before the last change, canvas pixels.
    CMoxRect m_OldRect;
    /// Current placement, canvas pixels.
    CMoxRect m_NewRect;
    /// Zang flag: 1 when changed since the last composition.
    int m_Zang;
    /// Horizontal source offset, image pixels.
    int m_SrcX;
    /// Vertical source offset, image pixels.
    int m_SrcY;
};

/// One item of the retained scene: a reference to one thing to draw and its placement.
///
/// The kind is set by Init: an image (CMoxTga or CMoxBitmap, drawn whole or in part), a pen (a
/// line, or an outline when box is non-zero), a hatch brush or a colour (filled rectangles), or a
/// font with a text. A sprite never owns what it refers to; it owns only a copy of its text and
/// the GDI+ brush of the text colour. The host owns the sprite and keeps it alive while it is in
/// a canvas's sprite list or a button. A sprite with a null reference draws nothing.
class MOXIMAGE2_API CMoxSprite : public CMoxSpriteRect {
public:
    /// Capacity of m_StringW in wide characters, terminating zero included: texts keep 1023 characters.
    enum { TextLimit = 1024 };

    /// A sprite of no kind (draws nothing), zang flag 1, update flag 0, alpha 255.
    CMoxSprite();
    /// A copy: the same references, placement, flags and text; the text brush is shared.
    CMoxSprite(const CMoxSprite& other);
    /// Copies every member; gives up this sprite's share of its text brush and shares other's.
    CMoxSprite& operator=(const CMoxSprite& other);
    /// Releases the sprite's share of its text brush and its text; referenced objects are left alone.
    ~CMoxSprite();

    /// Makes a TGA sprite of pTga (not owned; null draws nothing). Resets alpha to 255 and the
    /// placement to (0, 0, 0, 0): the area it covered before is forgotten, so call it only when the
    /// content changes and SetRect for every placement.
    void Init(CMoxTga* pTga);
    /// Makes a bitmap sprite of pBitmap (not owned; null draws nothing). Resets as Init(CMoxTga*) does.
    void Init(CMoxBitmap* pBitmap);
    /// Makes a line sprite (box 0) or a rectangle-outline sprite (box non-zero) drawn with pPen (not
    /// owned). SetRect then gives the geometry: a line from (x, y) to (x + width, y + height), or the
    /// outline of (x, y, width, height) as DrawRectangle draws it.
    void Init(CMoxPen* pPen, int box);
    /// Makes a solid-fill sprite of pColor (not owned): SetRect gives the filled rectangle, drawn by the software fill.
    void Init(CMoxColor* pColor);
    /// Makes a hatch-fill sprite of pBrush (not owned): SetRect gives the filled rectangle.
    void Init(CMoxBrush* pBrush);
    /// Makes a text sprite.
    ///
    /// @param pFont      the font (not owned). Null, or a font that could not be made, draws nothing
    ///                   (reported with MOXIMAGE2_LOG=1).
    /// @param text       narrow text in the platform's ANSI code page: UTF-8 on Linux, where bytes
    ///                   that are not UTF-8 (Windows-1252 text, for example) become U+FFFD. Copied;
    ///                   cut at 1023 wide characters. Null counts as empty.
    /// @param color      text colour, with alpha; the sprite makes and owns a GDI+ brush of it.
    /// @param alignment  near, centre or far within the placement, which is the layout box: the text
    ///                   wraps at its width and is clipped to it.
    /// Called again with the same font and text it does nothing at all: a new colour or alignment is
    /// then not taken.
    void Init(CMoxFont* pFont, const char* text, const Gdiplus::Color& color, Gdiplus::StringAlignment alignment);
    /// Places the sprite (canvas pixels) and sets its opacity; the change reaches the screen through
    /// the CMoxGraphics::AddSprite call that follows.
    ///
    /// @param x,y,width,height  image sprites: where the shown part goes and its size; 0 for width or
    ///           height means the image's own. Text sprites: the layout box; 0 estimates it from the
    ///           font size and the text length. Pen, brush and colour sprites: the geometry, and the
    ///           sprite claims one pixel more to the right and below.
    /// @param srcX,srcY  image sprites: top-left of the shown part inside the image (negative becomes 0).
    /// @param alpha      image sprites: 255 opaque, 0 invisible, between blended.
    void SetRect(int x, int y, int width, int height, int srcX, int srcY, unsigned char alpha);
    /// SetRect(x, y, 0, 0, 0, 0, alpha): the whole image (or the estimated text box) at (x, y).
    void SetRect(int x, int y, unsigned char alpha);

    /// The TGA image, or null.
    CMoxTga* GetTga();
    /// The bitmap image, or null.
    CMoxBitmap* GetBitmap();
    /// The pen, or null.
    CMoxPen* GetPen();
    /// The hatch brush, or null.
    CMoxBrush* GetBrush();
    /// The fill colour, or null.
    CMoxColor* GetColor();
    /// The font, or null.
    CMoxFont* GetFont();
    /// Pen sprites: non-zero for an outline, 0 for a line.
    int GetBox();
    /// Vector geometry: left (or line start x), canvas pixels.
    int GetPenX();
    /// Vector geometry: top (or line start y).
    int GetPenY();
    /// Vector geometry: width (or line delta x).
    int GetPenWidth();
    /// Vector geometry: height (or line delta y).
    int GetPenHeight();
    /// The converted text (owned by the sprite); the same as GetStringW.
    wchar_t* GetString();
    /// The converted text (owned by the sprite), zero-terminated.
    wchar_t* GetStringW();
    /// The text exactly as given to Init (owned by the sprite).
    const char* GetStringA();
    /// The brush of the text colour (owned by the sprite); null for other kinds.
    Gdiplus::SolidBrush* GetSolidBrush();
    /// The text's horizontal alignment in its box.
    Gdiplus::StringAlignment GetStringAlignment();
    /// Opacity of an image sprite: 255 opaque.
    unsigned char GetAlpha();
    /// Sets the update flag: non-zero keeps the sprite in the canvas's list at the next
    /// DrawSprite, 0 removes it then (InitSprite clears it for every listed sprite; AddSprite sets it).
    void SetUpdate(int update);
    /// The update flag.
    int GetUpdate();
    /// Sets the sort key: DrawSprite draws listed sprites in ascending key order. AddSprite gives
    /// each sprite the next key of the frame, so call this after AddSprite to change this frame's order.
    void SetSort(int sort);
    /// The sort key.
    int GetSort();

    // Members are laid out by use: a frame reads the first group for every listed sprite, so it
    // shares a cache line or two; what only drawing a vector or text sprite reads comes after,
    // and the 4 KB text buffer last.

    /// Image of a TGA sprite; not owned.
    CMoxTga* m_Tga;
    /// Image of a bitmap sprite; not owned.
    CMoxBitmap* m_Bitmap;
    /// Pen of a line or outline sprite; not owned.
    CMoxPen* m_Pen;
    /// Brush of a hatch-fill sprite; not owned.
    CMoxBrush* m_Brush;
    /// Colour of a solid-fill sprite; not owned.
    CMoxColor* m_Color;
    /// Font of a text sprite; not owned.
    CMoxFont* m_Font;
    /// Opacity of image sprites; 255 opaque.
    unsigned char m_Alpha;
    /// Update flag: 1 while wanted in the canvas's list.
    int m_Update;
    /// Sort key: drawing order, smaller first.
    int m_Sort;

private:
    friend class CMoxGraphics;

    void BeginInit();   // drops this sprite's share of the text brush and all six references
    void FinishInit();  // opaque again, at the zero placement

    // Where a canvas last listed this sprite, so that AddSprite finds it without a search. Only
    // a hint: the canvas checks its list before trusting it, and copies start without one.
    const CMoxGraphics* m_ListedIn = nullptr;
    std::size_t m_ListedAt = 0;

public:
    /// Pen sprites: non-zero draws an outline, 0 a line.
    int m_Box;
    /// Vector geometry: left or line start x, canvas pixels.
    int m_PenX;
    /// Vector geometry: top or line start y.
    int m_PenY;
    /// Vector geometry: width or line delta x.
    int m_PenWidth;
    /// Vector geometry: height or line delta y.
    int m_PenHeight;
    /// Brush of the text colour; owned by the sprite (shared with its copies).
    Gdiplus::SolidBrush* m_SolidBrush;
    /// Horizontal alignment of the text in its box.
    Gdiplus::StringAlignment m_StringAlignment;
    /// The text as given.
    std::string m_StringA;
    /// The converted text, zero-terminated.
    wchar_t m_StringW[TextLimit];

private:
    std::shared_ptr<void> m_SolidBrushOwner;
};

// --- Canvas ---------------------------------------------------------------------------------

/// The canvas: a 24-bit top-down back buffer (a DIB section), a background buffer of the same
/// layout, the software blitters, GDI+ drawing, and the retained sprite scene.
///
/// Back-buffer layout: three bytes per pixel in the order blue, green, red (GDI+'s
/// PixelFormat24bppRGB); row 0 is the top row; each row is m_nStride bytes, width x 3 rounded up
/// to a multiple of 4; pixel (x, y) starts at byte y x stride + 3 x x of m_pDIBBits.
///
/// Order of use: GdiInit once, Init(width, height), InitGraphics(CPaintDC*), SetBackBitmap, then
/// per frame either DrawBack and immediate drawing, or InitSprite, AddSprite..., DrawSprite(true).
/// Copies share the buffers, section, device context and Graphics; the last owner releases them.
/// The canvas never deletes sprites, images or tools. All coordinates are canvas pixels and all
/// drawing is clipped to the canvas.
class MOXIMAGE2_API CMoxGraphics {
public:
    /// An empty canvas: no buffers (drawing does nothing), no Graphics, empty sprite list.
    CMoxGraphics();
    /// An empty canvas, then InitGraphics(hdc).
    CMoxGraphics(HDC hdc);
    /// A canvas drawing into the same pixels as other, with copies of its sprite and dirty lists.
    CMoxGraphics(const CMoxGraphics& other);
    /// Gives up this canvas's shares and becomes a copy of other.
    CMoxGraphics& operator=(const CMoxGraphics& other);
    /// Gives up its shares of the Graphics, device context, buffers and section; never deletes sprites.
    ~CMoxGraphics();

    // Canvas and back buffer
    /// Starts GDI+ (GdiplusStartup, token in m_gdiplusToken). Call it once, before any image, tool or
    /// Graphics exists. The library never shuts GDI+ down; a host may call
    /// GdiplusShutdown(m_gdiplusToken) at the end, after deleting its fonts.
    void GdiInit();
    /// Builds the back buffer and the background buffer, width x height pixels.
    ///
    /// Resizing: call InitGraphics(CPaintDC*) again afterwards. The background buffer's content is
    /// unset until SetBackBitmap.
    /// @return false when the size is refused (negative, or more bytes than a 32-bit header can
    ///         describe) or memory runs out; the canvas is then empty and draws nothing.
    bool Init(int width, int height);
    /// Replaces the GDI+ Graphics by one drawing straight onto hdc (not owned): GDI+ drawing then
    /// bypasses the back buffer. The memory device context is kept.
    void InitGraphics(HDC hdc);
    /// Binds the canvas to a window's paint device context: a new memory device context holding the
    /// back buffer, and a GDI+ Graphics on it, so GDI+ drawing lands in the back buffer.
    ///
    /// @param pDC  where DrawDC copies to; not owned, and it must stay valid while DrawDC or
    ///             DrawSprite(true) may run. Null gives a memory device context compatible with the
    ///             screen and nothing to present to.
    void InitGraphics(CPaintDC* pDC);
    /// Deletes the GDI+ Graphics and the memory device context; the buffers stay.
    void DeleteGraphics();
    /// Copies an image into the background buffer (what DrawBack restores).
    ///
    /// A file-form image is copied row by row to the top-left corner, clipped to the canvas. A
    /// raw-form image is copied as one block in the canvas's own layout (top row first, rows of
    /// exactly stride bytes), clipped to the buffer. An empty image or null changes nothing.
    void SetBackBitmap(CMoxBitmap* pBitmap);
    /// Copies the whole background buffer over the back buffer.
    void DrawBack();
    /// Fills a rectangle of the back buffer with (r, g, b) by software, clipped to the canvas; width or height 0 or
    /// less fills nothing.
    void FillRectangle(int x, int y, int width, int height, unsigned char r, unsigned char g, unsigned char b);
    /// The canvas's GDI+ Graphics (owned by the canvas); null before InitGraphics. Its last status tells why a GDI+
    /// call drew nothing.
    Gdiplus::Graphics* GetGraphics();
    /// The back buffer's DIB section (owned by the canvas): GetObject gives its DIBSECTION with the bits and the row
    /// length.
    HBITMAP GetBitmap();
    /// The memory device context holding the back buffer (owned by the canvas); null before InitGraphics(CPaintDC*).
    CDC* GetMemDC();
    /// Canvas width in pixels.
    unsigned long GetWidth();
    /// Canvas height in pixels.
    unsigned long GetHeight();

    // Bitmap blitter: colour key and constant opacity
    /// Copies the whole image with its top-left at (x, y), the colour key transparent; clipped. Null draws nothing.
    void Draw(CMoxBitmap* pBitmap, int x, int y);
    /// As Draw(pBitmap, x, y), blended with constant opacity alpha (255 opaque, 0 nothing).
    void Draw(CMoxBitmap* pBitmap, int x, int y, unsigned char alpha);
    /// Copies the part of the image at (srcX, srcY) of size width x height (cut to the image) to
    /// (x, y); the colour key transparent; clipped. A raw image marked to zoom is stretched to
    /// width x height instead (see CMoxBitmap::Init).
    void Draw(CMoxBitmap* pBitmap, int x, int y, int srcX, int srcY, int width, int height);
    /// The region Draw blended with constant opacity alpha (255 is the opaque region Draw, zoom included).
    void Draw(CMoxBitmap* pBitmap, int x, int y, int srcX, int srcY, int width, int height, unsigned char alpha);

    // TGA blitter: per-pixel alpha
    /// Composites the whole TGA image at (x, y) with its per-pixel alpha; clipped. Null draws nothing.
    void Draw(CMoxTga* pTga, int x, int y);
    /// Composites the part of the TGA image at (srcX, srcY) of size width x height (cut to the image) at (x, y).
    void Draw(CMoxTga* pTga, int x, int y, int srcX, int srcY, int width, int height);
    /// The region TGA Draw with each pixel's alpha also scaled by the constant alpha (255 unchanged).
    void Draw(CMoxTga* pTga, int x, int y, int srcX, int srcY, int width, int height, unsigned char alpha);

    // GDI+ drawing
    /// GDI+: draws a file-form image at (x, y) at its own size, the colour key applied. Raw-form images draw nothing
    /// here.
    void DrawImage(CMoxBitmap* pBitmap, int x, int y);
    /// GDI+: draws a file-form image scaled (bilinear) to (x, y, width, height), the colour key applied.
    void DrawImage(CMoxBitmap* pBitmap, int x, int y, int width, int height);
    /// GDI+: draws a file-form image scaled to dest.
    void DrawImage(CMoxBitmap* pBitmap, const Gdiplus::Rect& dest);
    /// GDI+: draws the part src (image pixels) of a file-form image scaled to dest (canvas pixels), the colour key
    /// applied.
    void DrawImage(CMoxBitmap* pBitmap, const Gdiplus::RectF& dest, const Gdiplus::RectF& src);
    /// GDI+: draws text starting at (x, y), neither wrapped nor clipped, in pFont with pBrush (both
    /// the caller's). Null text, font or brush draws nothing.
    void Draw(const wchar_t* text, int x, int y, CMoxFont* pFont, Gdiplus::SolidBrush* pBrush);
    /// GDI+: draws text in the box (x, y, width, height), wrapped at its width and clipped to it,
    /// from its top, aligned near, centre or far.
    void Draw(const wchar_t* text, int x, int y, int width, int height, CMoxFont* pFont, Gdiplus::SolidBrush* pBrush,
              Gdiplus::StringAlignment alignment);
    /// GDI+: a line from (x1, y1) to (x2, y2), both end points included. A pen without Init is refused.
    void DrawLine(CMoxPen* pPen, int x1, int y1, int x2, int y2);
    /// GDI+: a rectangle outline covering columns x to x + width and rows y to y + height.
    void DrawRectangle(CMoxPen* pPen, int x, int y, int width, int height);
    /// GDI+: fills width x height pixels at (x, y) with the hatch pattern. A brush without Init is refused.
    void FillRectangle(CMoxBrush* pBrush, int x, int y, int width, int height);

    // Sprite scene
    /// Sets the font (not owned) of the text AddSprite overloads.
    void SetNowFont(CMoxFont* pFont);
    /// Begins a frame: every listed sprite is marked unwanted, the sort counter restarts and the dirty list is emptied.
    void InitSprite();
    /// Adds a sprite at its current placement for this frame (or marks a listed one wanted again),
    /// giving it the next sort key. A changed or new sprite makes its old and new areas dirty. A
    /// placement wholly off the canvas is not added. Null does nothing. The sprite must stay alive
    /// while it is listed.
    void AddSprite(CMoxSprite* pSprite);
    /// CMoxSprite::SetRect with these values, then AddSprite(pSprite).
    void AddSprite(CMoxSprite* pSprite, int x, int y, int width, int height, int srcX, int srcY, unsigned char alpha);
    /// CMoxSprite::SetRect(x, y, alpha), then AddSprite(pSprite).
    void AddSprite(CMoxSprite* pSprite, int x, int y, unsigned char alpha);
    /// Makes pSprite a text sprite in the current font (SetNowFont) with the box (x, y, width, height), then adds it.
    void AddSprite(CMoxSprite* pSprite, int x, int y, int width, int height, const char* text,
                   const Gdiplus::Color& color, Gdiplus::StringAlignment alignment);
    /// Adds a text with a drop shadow: pShadow in shadowColor one pixel right of and below the box,
    /// then pSprite above it. A null shadow adds nothing at all.
    void AddSprite(CMoxSprite* pSprite, CMoxSprite* pShadow, int x, int y, int width, int height, const char* text,
                   const Gdiplus::Color& color, const Gdiplus::Color& shadowColor, Gdiplus::StringAlignment alignment);
    /// Adds the sprite of the button's current look (CMoxButton::GetSprite); a hidden or null button adds nothing.
    void AddSprite(CMoxButton* pButton);
    /// Empties the sprite list without marking anything dirty: what the sprites drew stays in the back buffer.
    void ClearSprite();
    /// One composition pass: removes the sprites not added since InitSprite (their areas become
    /// dirty), sorts by key, redraws every dirty area from the sprites in it (image sprites in part,
    /// others whole), and, when present is true and a memory device context exists, copies the dirty
    /// areas to the window (DrawDC). The dirty list is kept until the next InitSprite.
    void DrawSprite(bool present);
    /// Copies the areas of the dirty list from the memory device context to the paint device context
    /// given to InitGraphics(CPaintDC*). Without one it copies nothing.
    void DrawDC();

    /// GDI+ start-up token written by GdiInit.
    ULONG_PTR m_gdiplusToken;
    /// The GDI+ Graphics; null before InitGraphics.
    Gdiplus::Graphics* m_pGraphics;
    /// The back buffer's DIB section; null before Init.
    HBITMAP m_hBitmap;
    /// Memory device context holding the back buffer; null before InitGraphics(CPaintDC*).
    CDC* m_pMemDC;
    /// The window's paint device context that DrawDC copies to; not owned.
    CPaintDC* m_pPaintDC;
    /// The back buffer's pixels (owned by the section); layout as described for the class.
    unsigned char* m_pDIBBits;
    /// The background buffer: the back buffer's size and layout.
    unsigned char* m_pBackground;
    /// Header the section was made from (biHeight negative: top-down).
    BITMAPINFO* m_pBitmapInfo;
    /// Bytes per row of both buffers: width x 3 rounded up to a multiple of 4.
    int m_nStride;
    /// Canvas width in pixels.
    int m_nWidth;
    /// Canvas height in pixels.
    int m_nHeight;
    /// Bits per pixel of the back buffer: always 24.
    int m_nBitCount;
    /// The scene: listed sprites, not owned, each once; in drawing order after a pass.
    std::vector<CMoxSprite*> m_SpriteList;
    /// The dirty rectangles of the current frame.
    CMoxZang m_ZangList;
    /// The sort key the next AddSprite hands out.
    int m_NextSort;
    /// Font of the text AddSprite overloads; not owned.
    CMoxFont* m_NowFont;

private:
    // Shares of the objects above; each is released when its last owner lets go.
    std::shared_ptr<void> m_GraphicsOwner;
    std::shared_ptr<void> m_MemDCOwner;
    std::shared_ptr<void> m_BitmapInfoOwner;
    std::shared_ptr<void> m_BackgroundOwner;
    std::shared_ptr<void> m_SectionOwner;

    // The sprites in m_SpriteList, so that AddSprite finds a listed sprite in constant time,
    // and the list as the set was built from, to notice a host's edits of the public list.
    void SyncListedSprites();
    std::unordered_set<CMoxSprite*> m_ListedSprites;
    std::vector<CMoxSprite*> m_IndexedList;

    // Working memory of composition passes and presenting, kept from one pass to the next so
    // that a steady scene's frames do not allocate it again. A copy of the canvas starts without
    // any: two canvases never share it.
    struct PassMemory {
        std::shared_ptr<void> owner;
        PassMemory() = default;
        PassMemory(const PassMemory&) : owner() {}
        PassMemory& operator=(const PassMemory&) { return *this; }
    };
    PassMemory m_PassMemory;
};

// --- Image buttons --------------------------------------------------------------------------

/// A push button drawn as one of four sprites (looks): 0 normal, 1 hover (pointer over it),
/// 2 pressed, 3 disabled.
///
/// The host forwards its window's mouse events in canvas coordinates; a press and a release on the
/// button send WM_COMMAND (wParam = the identifier, lParam = 0) to the owner window before
/// OnMouseUp returns. Each frame the host adds it with CMoxGraphics::AddSprite(CMoxButton*), which
/// adds the sprite of the current state. The button refers to its images and owner; the host
/// keeps them alive. The hit area is half-open: x from GetX() to GetX() + GetWidth() - 1.
class MOXIMAGE2_API CMoxButton {
public:
    /// A button with four empty looks, hit area (0, 0, 0, 0) (never hit), enabled, shown, no owner.
    CMoxButton();
    /// A copy: the four sprites and all fields; the owner is shared.
    CMoxButton(const CMoxButton& other);
    /// Copies the four sprites and all fields.
    CMoxButton& operator=(const CMoxButton& other);
    /// Destroys the four sprites; images and owner are left alone.
    ~CMoxButton();

    /// Four separate TGA looks at (x, y); the hit area is the normal image's size. A null disabled
    /// image keeps the disabled look as it was.
    ///
    /// @param pOwner  receives WM_COMMAND on a click; not owned. Null: clicks send nothing.
    /// @param id      the command identifier sent as wParam.
    /// @param x,y     top-left of the button on the canvas, pixels.
    /// @param pNormal,pHover,pPressed,pDisabled  the looks; not owned, kept alive by the host.
    void Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pNormal, CMoxTga* pHover, CMoxTga* pPressed,
              CMoxTga* pDisabled);
    /// Four separate bitmap looks; as the TGA overload.
    void Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pNormal, CMoxBitmap* pHover, CMoxBitmap* pPressed,
              CMoxBitmap* pDisabled);
    /// One TGA image holding the looks stacked from top to bottom, each height / count pixels high:
    /// normal, hover, pressed and, when count is 4, disabled. The hit area is one look. A count below
    /// 3, or an image too small to cut, is refused and changes nothing.
    void Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count);
    /// One bitmap image holding the looks stacked from top to bottom; as the TGA overload.
    void Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count);
    /// One TGA image holding the looks side by side from left to right, each width / count pixels wide; otherwise as
    /// Init.
    void InitH(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count);
    /// One bitmap image holding the looks side by side; as the TGA overload.
    void InitH(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count);

    /// Pointer moved to (x, y), canvas pixels. Returns 1 when it has just come onto the button (state
    /// normal to hover); moving off sets normal and cancels a press. 0 when disabled or hidden.
    int OnMouseMove(int x, int y);
    /// Left button pressed at (x, y). Returns 1 and sets pressed when on the button.
    int OnMouseDown(int x, int y);
    /// Left button released at (x, y). When pressed and on the button: sets normal, sends WM_COMMAND
    /// to the owner (handled before this returns) and returns 1. A release off the button keeps the
    /// press, so a later release on it still clicks.
    int OnMouseUp(int x, int y);

    /// 0 disables: the disabled look shows and the mouse is ignored (the state is kept).
    void Enable(int enable);
    /// 0 hides: GetSprite is null, so the next frame drops the button; the mouse is ignored.
    void Show(int show);
    /// The enabled flag.
    int GetEnable();
    /// The shown flag.
    int GetShow();
    /// Left of the hit area, canvas pixels.
    int GetX();
    /// Top of the hit area.
    int GetY();
    /// Width of the hit area.
    int GetWidth();
    /// Height of the hit area.
    int GetHeight();
    /// The look to show: null when hidden, the disabled look when disabled, else the look of the state.
    CMoxSprite* GetSprite();

    /// The looks: 0 normal, 1 hover, 2 pressed, 3 disabled.
    CMoxSprite m_Sprite[4];
    /// State: 0 normal, 1 hover, 2 pressed.
    int m_State;
    /// Left of the hit area.
    int m_X;
    /// Top of the hit area.
    int m_Y;
    /// Width of the hit area.
    int m_Width;
    /// Height of the hit area.
    int m_Height;
    /// Enabled flag.
    int m_Enable;
    /// Command identifier sent with WM_COMMAND.
    int m_ID;
    /// Window that receives the click; not owned.
    CWnd* m_Owner;
    /// Shown flag.
    int m_Show;
};
