// Image buttons: four sprites showing one place on the canvas in four looks, a half-open hit
// area and a small mouse state machine that sends WM_COMMAND to the owner window on a click.
#include <MoxImage2.h>

#include <cstdint>

namespace {

enum { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

// The count overloads cut at least three looks; fewer would divide by zero or cut outside the
// image, and a frame of zero pixels would make SetRect fall back to the whole image.
bool CanCut(int count, long long extent)
{
    return count >= 3 && extent / count >= 1;
}

int Extent(unsigned long v)
{
    // TGA sizes come from 16-bit fields, bitmap sizes are ints; anything else is not an image.
    return v > 0x7FFFFFFFul ? 0 : static_cast<int>(v);
}

} // namespace

CMoxButton::CMoxButton()
    : m_State(kNormal), m_X(0), m_Y(0), m_Width(0), m_Height(0), m_Enable(1), m_ID(0), m_Owner(nullptr), m_Show(1)
{
}

CMoxButton::CMoxButton(const CMoxButton& other)
    : m_State(other.m_State), m_X(other.m_X), m_Y(other.m_Y), m_Width(other.m_Width), m_Height(other.m_Height),
      m_Enable(other.m_Enable), m_ID(other.m_ID), m_Owner(other.m_Owner), m_Show(other.m_Show)
{
    for (int k = 0; k < 4; ++k)
        m_Sprite[k] = other.m_Sprite[k];
}

CMoxButton& CMoxButton::operator=(const CMoxButton& other)
{
    if (this == &other)
        return *this;
    for (int k = 0; k < 4; ++k)
        m_Sprite[k] = other.m_Sprite[k];
    m_State = other.m_State;
    m_X = other.m_X;
    m_Y = other.m_Y;
    m_Width = other.m_Width;
    m_Height = other.m_Height;
    m_Enable = other.m_Enable;
    m_ID = other.m_ID;
    m_Owner = other.m_Owner;
    m_Show = other.m_Show;
    return *this;
}

CMoxButton::~CMoxButton() = default;

// --- Cutting the looks ----------------------------------------------------------------------

void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pNormal, CMoxTga* pHover, CMoxTga* pPressed,
                      CMoxTga* pDisabled)
{
    m_ID = id;
    m_Owner = pOwner;
    CMoxTga* looks[3] = {pNormal, pHover, pPressed};
    for (int k = 0; k < 3; ++k) {
        m_Sprite[k].Init(looks[k]);
        m_Sprite[k].SetRect(x, y, 255);
    }
    if (pDisabled) {
        m_Sprite[kDisabled].Init(pDisabled);
        m_Sprite[kDisabled].SetRect(x, y, 255);
    }
    // Without a normal image there is nothing to hit.
    m_X = x;
    m_Y = y;
    m_Width = pNormal ? Extent(pNormal->GetWidth()) : 0;
    m_Height = pNormal ? Extent(pNormal->GetHeight()) : 0;
}

void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pNormal, CMoxBitmap* pHover, CMoxBitmap* pPressed,
                      CMoxBitmap* pDisabled)
{
    m_ID = id;
    m_Owner = pOwner;
    CMoxBitmap* looks[3] = {pNormal, pHover, pPressed};
    for (int k = 0; k < 3; ++k) {
        m_Sprite[k].Init(looks[k]);
        m_Sprite[k].SetRect(x, y, 255);
    }
    if (pDisabled) {
        m_Sprite[kDisabled].Init(pDisabled);
        m_Sprite[kDisabled].SetRect(x, y, 255);
    }
    m_X = x;
    m_Y = y;
    m_Width = pNormal ? pNormal->GetWidth() : 0;
    m_Height = pNormal ? pNormal->GetHeight() : 0;
}

namespace {

// Looks stacked top to bottom: frames of h / count rows.
template <class Image>
bool CutStacked(CMoxSprite* sprites, int x, int y, Image* image, int w, int h, int count, int* hitW, int* hitH)
{
    if (!image || !CanCut(count, h) || w <= 0)
        return false;
    const int f = h / count;
    for (int k = 0; k < 3; ++k) {
        sprites[k].Init(image);
        sprites[k].SetRect(x, y, w, f, 0, k * f, 255);
    }
    if (count == 4) {
        sprites[kDisabled].Init(image);
        sprites[kDisabled].SetRect(x, y, w, h / 4, 0, 3 * (h / 4), 255);
    }
    *hitW = w;
    *hitH = f;
    return true;
}

// Looks side by side, left to right: frames of w / count columns.
template <class Image>
bool CutSideBySide(CMoxSprite* sprites, int x, int y, Image* image, int w, int h, int count, int* hitW, int* hitH)
{
    if (!image || !CanCut(count, w) || h <= 0)
        return false;
    const int f = w / count;
    for (int k = 0; k < 3; ++k) {
        sprites[k].Init(image);
        sprites[k].SetRect(x, y, f, h, k * f, 0, 255);
    }
    if (count == 4) {
        sprites[kDisabled].Init(image);
        sprites[kDisabled].SetRect(x, y, w / 4, h, 3 * (w / 4), 0, 255);
    }
    *hitW = f;
    *hitH = h;
    return true;
}

} // namespace

// A refused cut changes nothing at all, identifier and owner included, so a button never
// pairs new identity with old looks.
void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count)
{
    int w = 0, h = 0;
    const int iw = pImage ? Extent(pImage->GetWidth()) : 0;
    const int ih = pImage ? Extent(pImage->GetHeight()) : 0;
    if (!CutStacked(m_Sprite, x, y, pImage, iw, ih, count, &w, &h))
        return;
    m_ID = id;
    m_Owner = pOwner;
    m_X = x;
    m_Y = y;
    m_Width = w;
    m_Height = h;
}

void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count)
{
    int w = 0, h = 0;
    const int iw = pImage ? pImage->GetWidth() : 0;
    const int ih = pImage ? pImage->GetHeight() : 0;
    if (!CutStacked(m_Sprite, x, y, pImage, iw, ih, count, &w, &h))
        return;
    m_ID = id;
    m_Owner = pOwner;
    m_X = x;
    m_Y = y;
    m_Width = w;
    m_Height = h;
}

void CMoxButton::InitH(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count)
{
    int w = 0, h = 0;
    const int iw = pImage ? Extent(pImage->GetWidth()) : 0;
    const int ih = pImage ? Extent(pImage->GetHeight()) : 0;
    if (!CutSideBySide(m_Sprite, x, y, pImage, iw, ih, count, &w, &h))
        return;
    m_ID = id;
    m_Owner = pOwner;
    m_X = x;
    m_Y = y;
    m_Width = w;
    m_Height = h;
}

void CMoxButton::InitH(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count)
{
    int w = 0, h = 0;
    const int iw = pImage ? pImage->GetWidth() : 0;
    const int ih = pImage ? pImage->GetHeight() : 0;
    if (!CutSideBySide(m_Sprite, x, y, pImage, iw, ih, count, &w, &h))
        return;
    m_ID = id;
    m_Owner = pOwner;
    m_X = x;
    m_Y = y;
    m_Width = w;
    m_Height = h;
}

// --- Mouse ----------------------------------------------------------------------------------

namespace {

// Half-open: the right column and bottom row are off the button. Sums are formed in 64 bits so
// an area near the edge of the int range cannot overflow.
bool On(int x, int y, int left, int top, int width, int height)
{
    return x >= left && y >= top && static_cast<long long>(x) < static_cast<long long>(left) + width &&
           static_cast<long long>(y) < static_cast<long long>(top) + height;
}

} // namespace

int CMoxButton::OnMouseMove(int x, int y)
{
    if (!m_Enable || !m_Show)
        return 0;
    if (!On(x, y, m_X, m_Y, m_Width, m_Height)) {
        m_State = kNormal;
        return 0;
    }
    if (m_State == kNormal) {
        m_State = kHover;
        return 1;
    }
    return 0;
}

int CMoxButton::OnMouseDown(int x, int y)
{
    if (!m_Enable || !m_Show)
        return 0;
    if (!On(x, y, m_X, m_Y, m_Width, m_Height))
        return 0;
    m_State = kPressed;
    return 1;
}

int CMoxButton::OnMouseUp(int x, int y)
{
    if (!m_Enable || !m_Show)
        return 0;
    if (!On(x, y, m_X, m_Y, m_Width, m_Height) || m_State != kPressed)
        return 0;
    m_State = kNormal;
    // The click still completes without a live owner window; there is just no one to tell.
    if (m_Owner && m_Owner->m_hWnd && IsWindow(m_Owner->m_hWnd)) {
        const WPARAM id = static_cast<WPARAM>(static_cast<std::uint32_t>(m_ID));
        SendMessageA(m_Owner->m_hWnd, WM_COMMAND, id, 0);
    }
    return 1;
}

// --- Flags and looks ------------------------------------------------------------------------

void CMoxButton::Enable(int enable)
{
    m_Enable = enable;
}

void CMoxButton::Show(int show)
{
    m_Show = show;
}

int CMoxButton::GetEnable()
{
    return m_Enable;
}

int CMoxButton::GetShow()
{
    return m_Show;
}

int CMoxButton::GetX()
{
    return m_X;
}

int CMoxButton::GetY()
{
    return m_Y;
}

int CMoxButton::GetWidth()
{
    return m_Width;
}

int CMoxButton::GetHeight()
{
    return m_Height;
}

CMoxSprite* CMoxButton::GetSprite()
{
    if (!m_Show)
        return nullptr;
    if (!m_Enable)
        return &m_Sprite[kDisabled];
    // m_State is public; a value written from outside must not index past the four looks.
    if (m_State < kNormal || m_State > kDisabled)
        return &m_Sprite[kNormal];
    return &m_Sprite[m_State];
}

void CMoxGraphics::AddSprite(CMoxButton* pButton)
{
    if (!pButton)
        return;
    AddSprite(pButton->GetSprite());
}
