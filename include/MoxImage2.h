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
struct ListedSprite;
}

// --- Images and drawing tools ---------------------------------------------------------------

// An opaque 24-bit picture: either a GDI+ bitmap loaded from an image file (file form) or a
// private copy of raw bottom-up DIB bytes with their header (raw form); optionally with an
// exact-match colour key. Copies share the picture; the last owner releases it.
class MOXIMAGE2_API CMoxBitmap {
public:
    CMoxBitmap();
    CMoxBitmap(const unsigned char* pBits, int nBytes, BITMAPINFO& header, int bZoom);
    CMoxBitmap(const wchar_t* path);
    CMoxBitmap(const unsigned char* pBits, int nBytes, BITMAPINFO& header, unsigned char keyR, unsigned char keyG,
               unsigned char keyB);
    CMoxBitmap(const wchar_t* path, unsigned char keyR, unsigned char keyG, unsigned char keyB);
    CMoxBitmap(const CMoxBitmap& other);
    CMoxBitmap& operator=(const CMoxBitmap& other);
    ~CMoxBitmap();

    void Init(const unsigned char* pBits, int nBytes, BITMAPINFO& header, int bZoom);
    void Init(const wchar_t* path);
    void Init(const unsigned char* pBits, int nBytes, BITMAPINFO& header, unsigned char keyR, unsigned char keyG,
              unsigned char keyB);
    void Init(const wchar_t* path, unsigned char keyR, unsigned char keyG, unsigned char keyB);
    void SetColorKey(unsigned char keyR, unsigned char keyG, unsigned char keyB);

    int GetWidth();
    int GetHeight();
    unsigned char GetKeyR();
    unsigned char GetKeyG();
    unsigned char GetKeyB();
    unsigned long GetKeyRGB();
    int IsColorKey();
    int IsZoom();
    unsigned char* GetMemBitmap();
    BITMAPINFO* GetBitmapHeader();
    Gdiplus::Bitmap* GetBitmap();
    Gdiplus::ImageAttributes* GetImageAttributes();

    Gdiplus::ImageAttributes* m_pImageAttributes;
    Gdiplus::Bitmap* m_pBitmap;
    unsigned char m_keyR;
    unsigned char m_keyG;
    unsigned char m_keyB;
    ULONG m_keyRGB;
    int m_bColorKey;
    unsigned char* m_pMemBitmap;
    int m_nWidth;
    int m_nHeight;
    BITMAPINFO m_bitmapHeader;
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

// The largest image, in pixels (width times height), that a load accepts: CMoxTga::Init and,
// on systems where this library brings its own platform layer, the image files that
// CMoxBitmap::Init reads. A larger image fails to load before any memory is reserved for it.
// The default is 268435456 (16384 x 16384); the environment variable MOXIMAGE2_MAX_PIXELS,
// a positive decimal number, sets another at start-up, and these functions at any time.
MOXIMAGE2_API void MoxSetMaxImagePixels(unsigned long long pixels);
MOXIMAGE2_API unsigned long long MoxGetMaxImagePixels();

// A 32-bit picture with per-pixel alpha, loaded from a TGA file. The buffer holds width x height
// pixels, top row first, each read little-endian as 0xAARRGGBB. Copies share the buffer.
class MOXIMAGE2_API CMoxTga {
public:
    CMoxTga();
    CMoxTga(const char* path);
    CMoxTga(const CMoxTga& other);
    CMoxTga& operator=(const CMoxTga& other);
    ~CMoxTga();

    bool Init(const char* path);
    ULONG* GetBuffer();
    unsigned long GetWidth();
    unsigned long GetHeight();

    ULONG* m_pBuffer;
    ULONG m_nWidth;
    ULONG m_nHeight;

private:
    std::shared_ptr<void> m_BufferOwner;
};

// A plain RGB colour for the software solid fill.
class MOXIMAGE2_API CMoxColor {
public:
    CMoxColor();
    CMoxColor(unsigned char r, unsigned char g, unsigned char b);
    ~CMoxColor();
    CMoxColor& operator=(const CMoxColor& other);
    CMoxColor(const CMoxColor& other) = default;

    void Init(unsigned char r, unsigned char g, unsigned char b);
    unsigned char GetR();
    unsigned char GetG();
    unsigned char GetB();

    unsigned char m_r;
    unsigned char m_g;
    unsigned char m_b;
};

// Owns one GDI+ pen. Copies share it; the last owner deletes it.
class MOXIMAGE2_API CMoxPen {
public:
    CMoxPen();
    CMoxPen(int r, int g, int b, float width, Gdiplus::DashStyle dashStyle);
    CMoxPen(const CMoxPen& other);
    CMoxPen& operator=(const CMoxPen& other);
    ~CMoxPen();

    void Init(int r, int g, int b, float width, Gdiplus::DashStyle dashStyle);
    Gdiplus::Pen* GetPen();

    Gdiplus::Pen* m_pPen;

private:
    std::shared_ptr<void> m_PenOwner;
};

// Owns one GDI+ hatch brush. Copies share it; the last owner deletes it.
class MOXIMAGE2_API CMoxBrush {
public:
    CMoxBrush();
    CMoxBrush(Gdiplus::HatchStyle hatchStyle, const Gdiplus::Color& foreColor, const Gdiplus::Color& backColor);
    CMoxBrush(const CMoxBrush& other);
    CMoxBrush& operator=(const CMoxBrush& other);
    ~CMoxBrush();

    void Init(Gdiplus::HatchStyle hatchStyle, const Gdiplus::Color& foreColor, const Gdiplus::Color& backColor);
    Gdiplus::HatchBrush* GetHatchBrush();

    Gdiplus::HatchBrush* m_pHatchBrush;

private:
    std::shared_ptr<void> m_BrushOwner;
};

// Owns one GDI+ font. Copies share it; the last owner deletes it.
class MOXIMAGE2_API CMoxFont {
public:
    CMoxFont();
    CMoxFont(int size, const wchar_t* familyName, Gdiplus::FontStyle style);
    CMoxFont(const CMoxFont& other);
    CMoxFont& operator=(const CMoxFont& other);
    ~CMoxFont();

    void Init(int size, const wchar_t* familyName, Gdiplus::FontStyle style);
    Gdiplus::Font* GetFont();
    float GetSize();  // em size in points; 0 when the font could not be made

    Gdiplus::Font* m_pFont;

private:
    std::shared_ptr<void> m_FontOwner;
};

// --- Sprite scene ---------------------------------------------------------------------------

// Integer rectangle whose geometry is closed: the right column and bottom row belong to it.
class MOXIMAGE2_API CMoxRect : public Gdiplus::Rect {
public:
    CMoxRect();
    CMoxRect(int x, int y, int width, int height);
    CMoxRect(const CMoxRect& other) = default;
    ~CMoxRect();

    CMoxRect& operator=(const CMoxRect& other);
    int operator==(const CMoxRect& other) const;
    int operator!=(const CMoxRect& other) const;

    int MyContains(int x, int y) const;
    int MyContains(const Gdiplus::Rect& r) const;
    int Superpose(const Gdiplus::Rect& r) const;
    int CheckSuperpose(CMoxRect& r);
    CMoxRect GetSuperpose(CMoxRect& r);
};

// The dirty-rectangle list: rectangles that never meet, each covering what was added into it.
class MOXIMAGE2_API CMoxZang {
public:
    CMoxZang();
    CMoxZang(const CMoxZang& other);
    CMoxZang& operator=(const CMoxZang& other);
    ~CMoxZang();

    void Init();
    void ClearRect();
    int CheckRect(CMoxRect& r);
    int CheckRect(CMoxRect& r, CMoxRect& out);
    void AddRect(CMoxRect& r);
    void ExtRect(std::list<CMoxRect>::iterator it);

    std::list<CMoxRect> m_RectList;

private:
    friend class CMoxGraphics;

    void Walk(std::list<CMoxRect>::iterator it);

    // Where the listed rectangles lie, so AddRect need not walk the whole list; made on first use.
    std::unique_ptr<mox::DirtyIndex> m_Index;
};

// A sprite's placement: where it is, where it was before its last change, and whether it changed.
class MOXIMAGE2_API CMoxSpriteRect {
public:
    CMoxSpriteRect();
    CMoxSpriteRect(const CMoxSpriteRect& other) = default;
    ~CMoxSpriteRect();
    CMoxSpriteRect& operator=(const CMoxSpriteRect& other);

    CMoxRect* GetOldRect();
    CMoxRect* GetNewRect();
    int GetX();
    int GetY();
    int GetWidth();
    int GetHeight();
    int GetSrcX();
    int GetSrcY();
    int IsZang();
    void SetZang(int zang);
    void SetNewRect(int x, int y, int width, int height, int srcX, int srcY);

    CMoxRect m_OldRect;
    CMoxRect m_NewRect;
    int m_Zang;
    int m_SrcX;
    int m_SrcY;
};

// One item of the retained scene: an image, a sub-image, a text, a line, an outline or a fill.
class MOXIMAGE2_API CMoxSprite : public CMoxSpriteRect {
public:
    enum { TextLimit = 1024 };  // wide characters of m_StringW, terminating zero included

    CMoxSprite();
    CMoxSprite(const CMoxSprite& other);
    CMoxSprite& operator=(const CMoxSprite& other);
    ~CMoxSprite();

    void Init(CMoxTga* pTga);
    void Init(CMoxBitmap* pBitmap);
    void Init(CMoxPen* pPen, int box);
    void Init(CMoxColor* pColor);
    void Init(CMoxBrush* pBrush);
    void Init(CMoxFont* pFont, const char* text, const Gdiplus::Color& color, Gdiplus::StringAlignment alignment);
    void SetRect(int x, int y, int width, int height, int srcX, int srcY, unsigned char alpha);
    void SetRect(int x, int y, unsigned char alpha);

    CMoxTga* GetTga();
    CMoxBitmap* GetBitmap();
    CMoxPen* GetPen();
    CMoxBrush* GetBrush();
    CMoxColor* GetColor();
    CMoxFont* GetFont();
    int GetBox();
    int GetPenX();
    int GetPenY();
    int GetPenWidth();
    int GetPenHeight();
    wchar_t* GetString();
    wchar_t* GetStringW();
    const char* GetStringA();
    Gdiplus::SolidBrush* GetSolidBrush();
    Gdiplus::StringAlignment GetStringAlignment();
    unsigned char GetAlpha();
    void SetUpdate(int update);
    int GetUpdate();
    void SetSort(int sort);
    int GetSort();

    CMoxTga* m_Tga;
    CMoxBitmap* m_Bitmap;
    CMoxPen* m_Pen;
    int m_Box;
    int m_PenX;
    int m_PenY;
    int m_PenWidth;
    int m_PenHeight;
    CMoxBrush* m_Brush;
    CMoxColor* m_Color;
    CMoxFont* m_Font;
    wchar_t m_StringW[TextLimit];
    std::string m_StringA;
    Gdiplus::SolidBrush* m_SolidBrush;
    Gdiplus::StringAlignment m_StringAlignment;
    unsigned char m_Alpha;
    int m_Update;
    int m_Sort;

private:
    friend class CMoxGraphics;

    void BeginInit();   // drops this sprite's share of the text brush and all six references
    void FinishInit();  // opaque again, at the zero placement

    std::shared_ptr<void> m_SolidBrushOwner;

    // Where a canvas last listed this sprite, so that AddSprite finds it without a search. Only
    // a hint: the canvas checks its list before trusting it, and copies start without one.
    const CMoxGraphics* m_ListedIn = nullptr;
    std::size_t m_ListedAt = 0;
};

// --- Canvas ---------------------------------------------------------------------------------

// The canvas: a 24-bit top-down back buffer (a DIB section), a background buffer of the same
// layout, the software blitters, GDI+ drawing, and the retained sprite scene. Copies share the
// buffers, section, device context and Graphics; the last owner releases them.
class MOXIMAGE2_API CMoxGraphics {
public:
    CMoxGraphics();
    CMoxGraphics(HDC hdc);
    CMoxGraphics(const CMoxGraphics& other);
    CMoxGraphics& operator=(const CMoxGraphics& other);
    ~CMoxGraphics();

    // Canvas and back buffer
    void GdiInit();
    bool Init(int width, int height);
    void InitGraphics(HDC hdc);
    void InitGraphics(CPaintDC* pDC);
    void DeleteGraphics();
    void SetBackBitmap(CMoxBitmap* pBitmap);
    void DrawBack();
    void FillRectangle(int x, int y, int width, int height, unsigned char r, unsigned char g, unsigned char b);
    Gdiplus::Graphics* GetGraphics();
    HBITMAP GetBitmap();
    CDC* GetMemDC();
    unsigned long GetWidth();
    unsigned long GetHeight();

    // Bitmap blitter: colour key and constant opacity
    void Draw(CMoxBitmap* pBitmap, int x, int y);
    void Draw(CMoxBitmap* pBitmap, int x, int y, unsigned char alpha);
    void Draw(CMoxBitmap* pBitmap, int x, int y, int srcX, int srcY, int width, int height);
    void Draw(CMoxBitmap* pBitmap, int x, int y, int srcX, int srcY, int width, int height, unsigned char alpha);

    // TGA blitter: per-pixel alpha
    void Draw(CMoxTga* pTga, int x, int y);
    void Draw(CMoxTga* pTga, int x, int y, int srcX, int srcY, int width, int height);
    void Draw(CMoxTga* pTga, int x, int y, int srcX, int srcY, int width, int height, unsigned char alpha);

    // GDI+ drawing
    void DrawImage(CMoxBitmap* pBitmap, int x, int y);
    void DrawImage(CMoxBitmap* pBitmap, int x, int y, int width, int height);
    void DrawImage(CMoxBitmap* pBitmap, const Gdiplus::Rect& dest);
    void DrawImage(CMoxBitmap* pBitmap, const Gdiplus::RectF& dest, const Gdiplus::RectF& src);
    void Draw(const wchar_t* text, int x, int y, CMoxFont* pFont, Gdiplus::SolidBrush* pBrush);
    void Draw(const wchar_t* text, int x, int y, int width, int height, CMoxFont* pFont, Gdiplus::SolidBrush* pBrush,
              Gdiplus::StringAlignment alignment);
    void DrawLine(CMoxPen* pPen, int x1, int y1, int x2, int y2);
    void DrawRectangle(CMoxPen* pPen, int x, int y, int width, int height);
    void FillRectangle(CMoxBrush* pBrush, int x, int y, int width, int height);

    // Sprite scene
    void SetNowFont(CMoxFont* pFont);
    void InitSprite();
    void AddSprite(CMoxSprite* pSprite);
    void AddSprite(CMoxSprite* pSprite, int x, int y, int width, int height, int srcX, int srcY, unsigned char alpha);
    void AddSprite(CMoxSprite* pSprite, int x, int y, unsigned char alpha);
    void AddSprite(CMoxSprite* pSprite, int x, int y, int width, int height, const char* text,
                   const Gdiplus::Color& color, Gdiplus::StringAlignment alignment);
    void AddSprite(CMoxSprite* pSprite, CMoxSprite* pShadow, int x, int y, int width, int height, const char* text,
                   const Gdiplus::Color& color, const Gdiplus::Color& shadowColor, Gdiplus::StringAlignment alignment);
    void AddSprite(CMoxButton* pButton);
    void ClearSprite();
    void DrawSprite(bool present);
    void DrawDC();

    ULONG_PTR m_gdiplusToken;
    Gdiplus::Graphics* m_pGraphics;
    HBITMAP m_hBitmap;
    CDC* m_pMemDC;
    CPaintDC* m_pPaintDC;
    unsigned char* m_pDIBBits;
    unsigned char* m_pBackground;
    BITMAPINFO* m_pBitmapInfo;
    int m_nStride;
    int m_nWidth;
    int m_nHeight;
    int m_nBitCount;
    std::vector<CMoxSprite*> m_SpriteList;
    CMoxZang m_ZangList;
    int m_NextSort;
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

    // Scratch of one composition pass and of presenting, kept to spare their allocation.
    std::vector<mox::ListedSprite> m_Pass;
    std::vector<std::pair<int, int>> m_Corners;
};

// --- Image buttons --------------------------------------------------------------------------

// A push button drawn as one of four sprites (normal, hover, pressed, disabled) that follows
// the mouse and sends WM_COMMAND with its identifier to its owner window when clicked.
class MOXIMAGE2_API CMoxButton {
public:
    CMoxButton();
    CMoxButton(const CMoxButton& other);
    CMoxButton& operator=(const CMoxButton& other);
    ~CMoxButton();

    void Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pNormal, CMoxTga* pHover, CMoxTga* pPressed,
              CMoxTga* pDisabled);
    void Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pNormal, CMoxBitmap* pHover, CMoxBitmap* pPressed,
              CMoxBitmap* pDisabled);
    void Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count);
    void Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count);
    void InitH(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count);
    void InitH(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count);

    int OnMouseMove(int x, int y);
    int OnMouseDown(int x, int y);
    int OnMouseUp(int x, int y);

    void Enable(int enable);
    void Show(int show);
    int GetEnable();
    int GetShow();
    int GetX();
    int GetY();
    int GetWidth();
    int GetHeight();
    CMoxSprite* GetSprite();

    CMoxSprite m_Sprite[4];
    int m_State;
    int m_X;
    int m_Y;
    int m_Width;
    int m_Height;
    int m_Enable;
    int m_ID;
    CWnd* m_Owner;
    int m_Show;
};
