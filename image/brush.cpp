#include "MoxImage2.h"

CMoxBrush::CMoxBrush() : m_pHatchBrush(nullptr) {}

CMoxBrush::CMoxBrush(Gdiplus::HatchStyle hatchStyle, const Gdiplus::Color& foreColor, const Gdiplus::Color& backColor)
    : m_pHatchBrush(nullptr)
{
    Init(hatchStyle, foreColor, backColor);
}

CMoxBrush::CMoxBrush(const CMoxBrush& other) : m_pHatchBrush(other.m_pHatchBrush), m_BrushOwner(other.m_BrushOwner) {}

// Copies share the brush; the last owner deletes it.
CMoxBrush& CMoxBrush::operator=(const CMoxBrush& other)
{
    if (this != &other) {
        m_pHatchBrush = other.m_pHatchBrush;
        m_BrushOwner = other.m_BrushOwner;
    }
    return *this;
}

CMoxBrush::~CMoxBrush() = default;

void CMoxBrush::Init(Gdiplus::HatchStyle hatchStyle, const Gdiplus::Color& foreColor, const Gdiplus::Color& backColor)
{
    m_BrushOwner.reset();
    m_pHatchBrush = nullptr;

    Gdiplus::HatchBrush* brush = new Gdiplus::HatchBrush(hatchStyle, foreColor, backColor);
    if (!brush)
        return;
    // Deleted through the base so the brush's own virtual destruction runs.
    m_BrushOwner = std::shared_ptr<void>(
        brush, [](void* p) { delete static_cast<Gdiplus::Brush*>(static_cast<Gdiplus::HatchBrush*>(p)); });
    m_pHatchBrush = brush;
}

Gdiplus::HatchBrush* CMoxBrush::GetHatchBrush()
{
    return m_pHatchBrush;
}
