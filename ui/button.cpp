// Image buttons: four sprites showing one place on the canvas in four looks, a half-open hit
// area and a small mouse state machine that sends WM_COMMAND to the owner window on a click.
#include <MoxImage2.h>

#include <cstdint>

#include "image/log.h"

namespace {

enum { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

// The count overloads cut at least three looks; fewer would divide by zero or cut outside the
// image. An image of 1 to count - 1 rows (or columns) is refused too: its frames would be 0
// pixels, which SetRect takes as the whole image, so each look would show all of them. An image
// with no pixels at all (one that failed to load) is cut as usual: every look is empty and so
// is the hit area, so the button shows nothing and cannot be clicked.
bool CanCut(int count, long long along, long long across)
{
    if (count < 3)
        return false;
    const bool noPixels = along <= 0 || across <= 0;
    return noPixels || along / count >= 1;
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

namespace {

int WidthOf(CMoxTga* image) { return image ? Extent(image->GetWidth()) : 0; }
int HeightOf(CMoxTga* image) { return image ? Extent(image->GetHeight()) : 0; }
int WidthOf(CMoxBitmap* image) { return image ? image->GetWidth() : 0; }
int HeightOf(CMoxBitmap* image) { return image ? image->GetHeight() : 0; }

// Four separate images, each drawn whole; without a disabled image that look keeps what it had.
// The hit area is the normal image's size (none without a normal image).
template <class Image>
void PlaceLooks(CMoxButton& button, CWnd* owner, int id, int x, int y, Image* normal, Image* hover, Image* pressed,
                Image* disabled)
{
    button.m_ID = id;
    button.m_Owner = owner;
    Image* looks[4] = {normal, hover, pressed, disabled};
    for (int k = 0; k < 4; ++k) {
        if (k == kDisabled && !disabled)
            break;
        button.m_Sprite[k].Init(looks[k]);
        button.m_Sprite[k].SetRect(x, y, 255);
    }
    button.m_X = x;
    button.m_Y = y;
    button.m_Width = WidthOf(normal);
    button.m_Height = HeightOf(normal);
}

// One image holding the looks stacked top to bottom (frames of h / count rows) or side by side
// (frames of w / count columns). A refused cut changes nothing at all, identifier and owner
// included, so a button never pairs a new identity with old looks.
template <class Image>
void CutLooks(CMoxButton& button, CWnd* owner, int id, int x, int y, Image* image, int count, bool sideBySide)
{
    const int w = WidthOf(image);
    const int h = HeightOf(image);
    const int along = sideBySide ? w : h;  // the extent the looks divide
    const int across = sideBySide ? h : w;
    if (!image || !CanCut(count, along, across)) {
        moximage2::Log("CMoxButton %d: cannot cut %d looks from a %d x %d image", id, count, w, h);
        return;
    }

    auto place = [&](int k, int frame, int offset) {
        button.m_Sprite[k].Init(image);
        if (sideBySide)
            button.m_Sprite[k].SetRect(x, y, frame, h, offset, 0, 255);
        else
            button.m_Sprite[k].SetRect(x, y, w, frame, 0, offset, 255);
    };
    const int f = along / count;
    for (int k = 0; k < 3; ++k)
        place(k, f, k * f);
    if (count == 4)
        place(kDisabled, along / 4, 3 * (along / 4));

    button.m_ID = id;
    button.m_Owner = owner;
    button.m_X = x;
    button.m_Y = y;
    button.m_Width = sideBySide ? f : w;
    button.m_Height = sideBySide ? h : f;
}

} // namespace

void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pNormal, CMoxTga* pHover, CMoxTga* pPressed,
                      CMoxTga* pDisabled)
{
    PlaceLooks(*this, pOwner, id, x, y, pNormal, pHover, pPressed, pDisabled);
}

void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pNormal, CMoxBitmap* pHover, CMoxBitmap* pPressed,
                      CMoxBitmap* pDisabled)
{
    PlaceLooks(*this, pOwner, id, x, y, pNormal, pHover, pPressed, pDisabled);
}

void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count)
{
    CutLooks(*this, pOwner, id, x, y, pImage, count, false);
}

void CMoxButton::Init(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count)
{
    CutLooks(*this, pOwner, id, x, y, pImage, count, false);
}

void CMoxButton::InitH(CWnd* pOwner, int id, int x, int y, CMoxTga* pImage, int count)
{
    CutLooks(*this, pOwner, id, x, y, pImage, count, true);
}

void CMoxButton::InitH(CWnd* pOwner, int id, int x, int y, CMoxBitmap* pImage, int count)
{
    CutLooks(*this, pOwner, id, x, y, pImage, count, true);
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
