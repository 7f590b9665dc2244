// Sprites: a placement (old and new rectangle, source offset, zang flag) and the one drawable
// thing a sprite refers to.

#include <MoxImage2.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "image/log.h"

namespace {

// The pixels a vector geometry may touch along one axis, start to start + delta inclusive, as a
// start and a size one larger than the span; beyond the int range the size is pinned.
void ClaimSpan(int* start, int* delta)
{
    std::int64_t from = *start, size = *delta;
    if (size < 0) {
        from += size;
        size = -size;
    }
    size += 1;
    *start = static_cast<int>(from < std::numeric_limits<int>::min() ? std::numeric_limits<int>::min() : from);
    *delta = static_cast<int>(size > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : size);
}

int WrapMul(int a, int b)
{
    return static_cast<int>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// Whole part, toward zero; values beyond int (or NaN) saturate instead of being undefined.
int TruncToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// The brush is taken from GdipAlloc like every GDI+ object; a failed allocation leaves the
// sprite without a brush instead of constructing into a null pointer.
Gdiplus::SolidBrush* NewSolidBrush(const Gdiplus::Color& color)
{
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::SolidBrush));
    if (!memory)
        return nullptr;
    return ::new (memory) Gdiplus::SolidBrush(color);
}

bool IsHighSurrogate(wchar_t c)
{
    return sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF;
}

// Converts text (narrow, zero-terminated) into out, which holds limit units. Text that needs more
// is cut at the last whole character that fits; out is always zero-terminated.
void ConvertText(const char* text, wchar_t* out, int limit)
{
    out[0] = 0;
    int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 0)
        return;
    if (needed <= limit) {
        if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, limit) <= 0)
            out[0] = 0;
        out[limit - 1] = 0;
        return;
    }
    std::vector<wchar_t> whole(static_cast<size_t>(needed));
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, whole.data(), needed) <= 0)
        return;
    int keep = limit - 1;
    // Never keep half of a surrogate pair (only where wchar_t is 16 bits wide).
    if (IsHighSurrogate(whole[static_cast<size_t>(keep) - 1]))
        --keep;
    std::memcpy(out, whole.data(), static_cast<size_t>(keep) * sizeof(wchar_t));
    out[keep] = 0;
}

} // namespace

// --- CMoxSpriteRect -------------------------------------------------------------------------

CMoxSpriteRect::CMoxSpriteRect() : m_OldRect(), m_NewRect(), m_Zang(1), m_SrcX(0), m_SrcY(0) {}

CMoxSpriteRect::~CMoxSpriteRect() {}

CMoxSpriteRect& CMoxSpriteRect::operator=(const CMoxSpriteRect& other)
{
    m_OldRect = other.m_OldRect;
    m_NewRect = other.m_NewRect;
    m_Zang = other.m_Zang;
    m_SrcX = other.m_SrcX;
    m_SrcY = other.m_SrcY;
    return *this;
}

CMoxRect* CMoxSpriteRect::GetOldRect()
{
    return &m_OldRect;
}
CMoxRect* CMoxSpriteRect::GetNewRect()
{
    return &m_NewRect;
}
int CMoxSpriteRect::GetX()
{
    return m_NewRect.X;
}
int CMoxSpriteRect::GetY()
{
    return m_NewRect.Y;
}
int CMoxSpriteRect::GetWidth()
{
    return m_NewRect.Width;
}
int CMoxSpriteRect::GetHeight()
{
    return m_NewRect.Height;
}
int CMoxSpriteRect::GetSrcX()
{
    return m_SrcX;
}
int CMoxSpriteRect::GetSrcY()
{
    return m_SrcY;
}
int CMoxSpriteRect::IsZang()
{
    return m_Zang;
}
void CMoxSpriteRect::SetZang(int zang)
{
    m_Zang = zang;
}

void CMoxSpriteRect::SetNewRect(int x, int y, int width, int height, int srcX, int srcY)
{
    m_Zang = 0;
    if (x != m_NewRect.X || y != m_NewRect.Y || width != m_NewRect.Width || height != m_NewRect.Height ||
        srcX != m_SrcX || srcY != m_SrcY)
        m_Zang = 1;
    if (m_Zang == 1) {
        m_OldRect = m_NewRect;
        m_NewRect = CMoxRect(x, y, width, height);
        m_SrcX = srcX;
        m_SrcY = srcY;
    }
}

// --- CMoxSprite -----------------------------------------------------------------------------

CMoxSprite::CMoxSprite()
    : CMoxSpriteRect(), m_Tga(nullptr), m_Bitmap(nullptr), m_Pen(nullptr), m_Brush(nullptr), m_Color(nullptr),
      m_Font(nullptr), m_Alpha(255), m_Update(0), m_Sort(0), m_Box(0), m_PenX(0), m_PenY(0), m_PenWidth(0),
      m_PenHeight(0), m_SolidBrush(nullptr), m_StringAlignment(Gdiplus::StringAlignmentNear), m_StringA(), m_StringW{}
{
}

// Member-wise: the copy refers to the same image or tool and shares the text brush.
CMoxSprite::CMoxSprite(const CMoxSprite& other)
    : CMoxSpriteRect(other), m_Tga(other.m_Tga), m_Bitmap(other.m_Bitmap), m_Pen(other.m_Pen), m_Brush(other.m_Brush),
      m_Color(other.m_Color), m_Font(other.m_Font), m_Alpha(other.m_Alpha), m_Update(other.m_Update),
      m_Sort(other.m_Sort), m_Box(other.m_Box), m_PenX(other.m_PenX), m_PenY(other.m_PenY),
      m_PenWidth(other.m_PenWidth), m_PenHeight(other.m_PenHeight), m_SolidBrush(other.m_SolidBrush),
      m_StringAlignment(other.m_StringAlignment), m_StringA(other.m_StringA), m_SolidBrushOwner(other.m_SolidBrushOwner)
{
    std::memcpy(m_StringW, other.m_StringW, sizeof m_StringW);
}

CMoxSprite& CMoxSprite::operator=(const CMoxSprite& other)
{
    if (this == &other)
        return *this;
    CMoxSpriteRect::operator=(other);
    m_Tga = other.m_Tga;
    m_Bitmap = other.m_Bitmap;
    m_Pen = other.m_Pen;
    m_Box = other.m_Box;
    m_PenX = other.m_PenX;
    m_PenY = other.m_PenY;
    m_PenWidth = other.m_PenWidth;
    m_PenHeight = other.m_PenHeight;
    m_Brush = other.m_Brush;
    m_Color = other.m_Color;
    m_Font = other.m_Font;
    std::memcpy(m_StringW, other.m_StringW, sizeof m_StringW);
    m_StringA = other.m_StringA;
    // Overwriting the pointer drops this sprite's share of its old brush; the last owner frees it.
    m_SolidBrush = other.m_SolidBrush;
    m_SolidBrushOwner = other.m_SolidBrushOwner;
    m_StringAlignment = other.m_StringAlignment;
    m_Alpha = other.m_Alpha;
    m_Update = other.m_Update;
    m_Sort = other.m_Sort;
    return *this;
}

CMoxSprite::~CMoxSprite() {}

// Every Init starts by dropping the text brush and the reference it held, and ends opaque at
// the zero placement (the previous placement moves to the old rectangle if it was not zero).
void CMoxSprite::BeginInit()
{
    m_SolidBrushOwner.reset();
    m_SolidBrush = nullptr;
    m_Tga = nullptr;
    m_Bitmap = nullptr;
    m_Pen = nullptr;
    m_Brush = nullptr;
    m_Color = nullptr;
    m_Font = nullptr;
}

void CMoxSprite::FinishInit()
{
    m_Alpha = 255;
    SetNewRect(0, 0, 0, 0, 0, 0);
}

void CMoxSprite::Init(CMoxTga* pTga)
{
    BeginInit();
    m_Tga = pTga;
    FinishInit();
}

void CMoxSprite::Init(CMoxBitmap* pBitmap)
{
    BeginInit();
    m_Bitmap = pBitmap;
    FinishInit();
}

void CMoxSprite::Init(CMoxPen* pPen, int box)
{
    BeginInit();
    m_Pen = pPen;
    m_Box = box;
    m_PenX = m_PenY = m_PenWidth = m_PenHeight = 0;
    FinishInit();
}

void CMoxSprite::Init(CMoxColor* pColor)
{
    BeginInit();
    m_Color = pColor;
    m_PenX = m_PenY = m_PenWidth = m_PenHeight = 0;
    FinishInit();
}

void CMoxSprite::Init(CMoxBrush* pBrush)
{
    BeginInit();
    m_Brush = pBrush;
    m_PenX = m_PenY = m_PenWidth = m_PenHeight = 0;
    FinishInit();
}

void CMoxSprite::Init(CMoxFont* pFont, const char* text, const Gdiplus::Color& color,
                      Gdiplus::StringAlignment alignment)
{
    if (!text)
        text = "";
    // Same font and text: colour and alignment changes are deliberately not taken.
    if (pFont == m_Font && m_StringA == text)
        return;

    BeginInit();
    m_Font = pFont;
    if (!pFont || !pFont->GetFont() || !pFont->GetFont()->IsAvailable())
        moximage2::Log("text sprite \"%.60s\" has no usable font; it draws nothing", text);

    Gdiplus::SolidBrush* brush = NewSolidBrush(color);
    if (brush)
        m_SolidBrushOwner = std::shared_ptr<void>(brush, [](void* p) { delete static_cast<Gdiplus::SolidBrush*>(p); });
    m_StringAlignment = alignment;
    m_SolidBrush = brush;

    ConvertText(text, m_StringW, TextLimit);
    m_StringA.assign(text, std::strlen(text));
    FinishInit();
}

void CMoxSprite::SetRect(int x, int y, int width, int height, int srcX, int srcY, unsigned char alpha)
{
    // Vector sprites draw their geometry and claim one more pixel right and below. A negative
    // delta (a line running up or left) claims the same span taken from its other end: the
    // claim must cover what is drawn, or a moved line is never erased nor fully presented.
    if (m_Pen || m_Brush || m_Color) {
        m_PenX = x;
        m_PenY = y;
        m_PenWidth = width;
        m_PenHeight = height;
        ClaimSpan(&x, &width);
        ClaimSpan(&y, &height);
    }
    if (width == 0) {
        if (m_Tga)
            width = static_cast<int>(m_Tga->GetWidth());
        else if (m_Bitmap)
            width = m_Bitmap->GetWidth();
        else if (m_Font) {
            // In double, where 1.5 and 0.75 times any float size are exact: a float sum could
            // round up to the next whole number.
            double s = m_Font->GetSize();
            int perChar = TruncToInt((s + s * 0.5) * 0.5);
            width = WrapMul(perChar, static_cast<int>(static_cast<std::uint32_t>(m_StringA.size() + 2)));
        }
    }
    if (height == 0) {
        if (m_Tga)
            height = static_cast<int>(m_Tga->GetHeight());
        else if (m_Bitmap)
            height = m_Bitmap->GetHeight();
        else if (m_Font) {
            double s = m_Font->GetSize();
            height = TruncToInt(s + s * 0.5);
        }
    }
    if (srcX < 0)
        srcX = 0;
    if (srcY < 0)
        srcY = 0;
    SetNewRect(x, y, width, height, srcX, srcY);
    m_Alpha = alpha;
}

void CMoxSprite::SetRect(int x, int y, unsigned char alpha)
{
    SetRect(x, y, 0, 0, 0, 0, alpha);
}

CMoxTga* CMoxSprite::GetTga()
{
    return m_Tga;
}
CMoxBitmap* CMoxSprite::GetBitmap()
{
    return m_Bitmap;
}
CMoxPen* CMoxSprite::GetPen()
{
    return m_Pen;
}
CMoxBrush* CMoxSprite::GetBrush()
{
    return m_Brush;
}
CMoxColor* CMoxSprite::GetColor()
{
    return m_Color;
}
CMoxFont* CMoxSprite::GetFont()
{
    return m_Font;
}
int CMoxSprite::GetBox()
{
    return m_Box;
}
int CMoxSprite::GetPenX()
{
    return m_PenX;
}
int CMoxSprite::GetPenY()
{
    return m_PenY;
}
int CMoxSprite::GetPenWidth()
{
    return m_PenWidth;
}
int CMoxSprite::GetPenHeight()
{
    return m_PenHeight;
}
wchar_t* CMoxSprite::GetString()
{
    return m_StringW;
}
wchar_t* CMoxSprite::GetStringW()
{
    return m_StringW;
}
const char* CMoxSprite::GetStringA()
{
    return m_StringA.c_str();
}
Gdiplus::SolidBrush* CMoxSprite::GetSolidBrush()
{
    return m_SolidBrush;
}
Gdiplus::StringAlignment CMoxSprite::GetStringAlignment()
{
    return m_StringAlignment;
}
unsigned char CMoxSprite::GetAlpha()
{
    return m_Alpha;
}
void CMoxSprite::SetUpdate(int update)
{
    m_Update = update;
}
int CMoxSprite::GetUpdate()
{
    return m_Update;
}
void CMoxSprite::SetSort(int sort)
{
    m_Sort = sort;
}
int CMoxSprite::GetSort()
{
    return m_Sort;
}
