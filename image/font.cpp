#include "MoxImage2.h"

#include "image/log.h"

CMoxFont::CMoxFont() : m_pFont(nullptr) {}

CMoxFont::CMoxFont(int size, const wchar_t* familyName, Gdiplus::FontStyle style) : m_pFont(nullptr)
{
    Init(size, familyName, style);
}

CMoxFont::CMoxFont(const CMoxFont& other) : m_pFont(other.m_pFont), m_FontOwner(other.m_FontOwner) {}

// Copies share the font; the last owner deletes it.
CMoxFont& CMoxFont::operator=(const CMoxFont& other)
{
    if (this != &other) {
        m_pFont = other.m_pFont;
        m_FontOwner = other.m_FontOwner;
    }
    return *this;
}

CMoxFont::~CMoxFont() = default;

void CMoxFont::Init(int size, const wchar_t* familyName, Gdiplus::FontStyle style)
{
    m_FontOwner.reset();
    m_pFont = nullptr;

    // A family that cannot be found still yields a font object: its native handle is null, its
    // last status says why, and drawing with it changes nothing.
    Gdiplus::FontFamily family(familyName);
    if (moximage2::LogEnabled()) {
        const Gdiplus::Status status = family.GetLastStatus();
        if (status != Gdiplus::Ok)
            moximage2::Log("font family %s: %s; text in this font draws nothing", moximage2::Utf8(familyName).c_str(),
                           moximage2::StatusName(status).c_str());
    }
    Gdiplus::Font* font = new Gdiplus::Font(&family, static_cast<Gdiplus::REAL>(size), style, Gdiplus::UnitPoint);
    if (!font)
        return;
    m_FontOwner = std::shared_ptr<void>(font, [](void* p) { delete static_cast<Gdiplus::Font*>(p); });
    m_pFont = font;
}

Gdiplus::Font* CMoxFont::GetFont()
{
    return m_pFont;
}

float CMoxFont::GetSize()
{
    if (!m_pFont || !m_pFont->IsAvailable())
        return 0.0f;
    return m_pFont->GetSize();
}
