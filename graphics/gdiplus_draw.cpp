// The canvas's GDI+ drawing: scaled images, text, lines, outlines and hatch fills. Each member is
// one call on the canvas's Graphics object, which keeps a failing status as its last status.
#include "MoxImage2.h"

#include <cwchar>

#include "image/log.h"

namespace {

// The whole image as the source, so that the colour-key attributes can be passed along.
void DrawKeyed(Gdiplus::Graphics* g, CMoxBitmap* bitmap, const Gdiplus::Rect& dest)
{
    g->DrawImage(bitmap->m_pBitmap, dest, 0, 0, bitmap->GetWidth(), bitmap->GetHeight(), Gdiplus::UnitPixel,
                 bitmap->m_pImageAttributes);
}

int TextLength(const wchar_t* text)
{
    return static_cast<int>(std::wcslen(text));
}

} // namespace

void CMoxGraphics::DrawImage(CMoxBitmap* pBitmap, int x, int y)
{
    if (!m_pGraphics || !pBitmap)
        return;
    if (pBitmap->IsColorKey())
        DrawKeyed(m_pGraphics, pBitmap, Gdiplus::Rect(x, y, pBitmap->GetWidth(), pBitmap->GetHeight()));
    else
        m_pGraphics->DrawImage(pBitmap->m_pBitmap, x, y);
}

void CMoxGraphics::DrawImage(CMoxBitmap* pBitmap, int x, int y, int width, int height)
{
    DrawImage(pBitmap, Gdiplus::Rect(x, y, width, height));
}

void CMoxGraphics::DrawImage(CMoxBitmap* pBitmap, const Gdiplus::Rect& dest)
{
    if (!m_pGraphics || !pBitmap)
        return;
    if (pBitmap->IsColorKey())
        DrawKeyed(m_pGraphics, pBitmap, dest);
    else
        m_pGraphics->DrawImage(pBitmap->m_pBitmap, dest.X, dest.Y, dest.Width, dest.Height);
}

void CMoxGraphics::DrawImage(CMoxBitmap* pBitmap, const Gdiplus::RectF& dest, const Gdiplus::RectF& src)
{
    if (!m_pGraphics || !pBitmap)
        return;
    // The attributes carry the key only when one was set, so they are always passed.
    m_pGraphics->DrawImage(pBitmap->m_pBitmap, dest, src.X, src.Y, src.Width, src.Height, Gdiplus::UnitPixel,
                           pBitmap->m_pImageAttributes);
}

void CMoxGraphics::Draw(const wchar_t* text, int x, int y, CMoxFont* pFont, Gdiplus::SolidBrush* pBrush)
{
    if (!m_pGraphics || !text || !pFont || !pBrush)
        return;
    m_pGraphics->DrawString(text, TextLength(text), pFont->m_pFont,
                            Gdiplus::PointF(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y)), pBrush);
}

void CMoxGraphics::Draw(const wchar_t* text, int x, int y, int width, int height, CMoxFont* pFont,
                        Gdiplus::SolidBrush* pBrush, Gdiplus::StringAlignment alignment)
{
    if (!m_pGraphics || !text || !pFont || !pBrush)
        return;
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetAlignment(alignment);
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                             static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
    m_pGraphics->DrawString(text, TextLength(text), pFont->m_pFont, box, &format, pBrush);
}

// Pens and brushes are dereferenced by the platform's Graphics wrappers, so a tool without its
// GDI+ object (default-constructed, or whose allocation failed) is refused here.
void CMoxGraphics::DrawLine(CMoxPen* pPen, int x1, int y1, int x2, int y2)
{
    if (m_pGraphics && pPen && !pPen->m_pPen)
        moximage2::Log("DrawLine: refused a pen without a GDI+ pen (never initialised)");
    if (!m_pGraphics || !pPen || !pPen->m_pPen)
        return;
    m_pGraphics->DrawLine(pPen->m_pPen, x1, y1, x2, y2);
}

void CMoxGraphics::DrawRectangle(CMoxPen* pPen, int x, int y, int width, int height)
{
    if (m_pGraphics && pPen && !pPen->m_pPen)
        moximage2::Log("DrawRectangle: refused a pen without a GDI+ pen (never initialised)");
    if (!m_pGraphics || !pPen || !pPen->m_pPen)
        return;
    m_pGraphics->DrawRectangle(pPen->m_pPen, x, y, width, height);
}

void CMoxGraphics::FillRectangle(CMoxBrush* pBrush, int x, int y, int width, int height)
{
    if (m_pGraphics && pBrush && !pBrush->m_pHatchBrush)
        moximage2::Log("FillRectangle: refused a brush without a GDI+ brush (never initialised)");
    if (!m_pGraphics || !pBrush || !pBrush->m_pHatchBrush)
        return;
    m_pGraphics->FillRectangle(pBrush->m_pHatchBrush, x, y, width, height);
}
