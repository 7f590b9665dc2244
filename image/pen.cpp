#include "MoxImage2.h"

CMoxPen::CMoxPen() : m_pPen(nullptr) {}

CMoxPen::CMoxPen(int r, int g, int b, float width, Gdiplus::DashStyle dashStyle) : m_pPen(nullptr)
{
    Init(r, g, b, width, dashStyle);
}

CMoxPen::CMoxPen(const CMoxPen& other) : m_pPen(other.m_pPen), m_PenOwner(other.m_PenOwner) {}

// Copies share the pen; the share this object held before is dropped, so the last owner of
// either pen deletes it exactly once.
CMoxPen& CMoxPen::operator=(const CMoxPen& other)
{
    if (this != &other) {
        m_pPen = other.m_pPen;
        m_PenOwner = other.m_PenOwner;
    }
    return *this;
}

CMoxPen::~CMoxPen() = default;

void CMoxPen::Init(int r, int g, int b, float width, Gdiplus::DashStyle dashStyle)
{
    m_PenOwner.reset();
    m_pPen = nullptr;

    // Opaque; only the low byte of each component counts.
    const Gdiplus::ARGB argb =
        0xFF000000u | (Gdiplus::ARGB(r) & 0xFF) << 16 | (Gdiplus::ARGB(g) & 0xFF) << 8 | (Gdiplus::ARGB(b) & 0xFF);
    Gdiplus::Pen* pen = new Gdiplus::Pen(Gdiplus::Color(argb), width);
    if (!pen)
        return;
    m_PenOwner = std::shared_ptr<void>(pen, [](void* p) { delete static_cast<Gdiplus::Pen*>(p); });
    m_pPen = pen;
    pen->SetDashStyle(dashStyle);
}

Gdiplus::Pen* CMoxPen::GetPen()
{
    return m_pPen;
}
