// The canvas's retained scene: the sprite list, one composition pass that redraws only the dirty
// rectangles, and presenting those rectangles to the window.

#include <MoxImage2.h>

#include "scene/dirty_grid.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace {

int WrapAdd(int a, int b)
{
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

bool IsVectorOrText(const CMoxSprite* s)
{
    return s->m_Font || s->m_Pen || s->m_Brush || s->m_Color;
}

// A listed sprite with what sorting and widening read of it.
struct Keyed {
    int key;
    bool vectorOrText;
    CMoxSprite* sprite;
};

} // namespace

void CMoxGraphics::SetNowFont(CMoxFont* pFont)
{
    m_NowFont = pFont;
}

void CMoxGraphics::InitSprite()
{
    for (CMoxSprite* sprite : m_SpriteList)
        sprite->m_Update = 0;
    m_NextSort = 0;
    m_ZangList.ClearRect();
    SyncListedSprites();
}

// The list is public: a host may replace, add or remove entries between frames. Whenever it
// differs from what the index was built from, the index is built again from the list.
void CMoxGraphics::SyncListedSprites()
{
    if (m_IndexedList == m_SpriteList)
        return;
    m_ListedSprites = std::unordered_set<CMoxSprite*>(m_SpriteList.begin(), m_SpriteList.end());
    m_IndexedList = m_SpriteList;
}

void CMoxGraphics::ClearSprite()
{
    std::vector<CMoxSprite*>().swap(m_SpriteList);
    m_ListedSprites.clear();
    m_IndexedList.clear();
}

void CMoxGraphics::AddSprite(CMoxSprite* pSprite)
{
    if (!pSprite)
        return;
    if (pSprite->m_Zang != 0) {
        m_ZangList.AddRect(pSprite->m_NewRect);
        m_ZangList.AddRect(pSprite->m_OldRect);
    }

    // Off the canvas: wholly left of or above it, or starting at or past its right or bottom
    // edge. A right or bottom edge of exactly 0 still counts as on the canvas. 64-bit, so that
    // large coordinates cannot wrap into acceptance.
    const CMoxRect& r = pSprite->m_NewRect;
    if (std::int64_t(r.X) + r.Width < 0 || r.X >= m_nWidth || std::int64_t(r.Y) + r.Height < 0 || r.Y >= m_nHeight)
        return;

    pSprite->m_Sort = m_NextSort;
    m_NextSort = WrapAdd(m_NextSort, 1);
    pSprite->m_Update = 1;

    // A list whose length changed since the last frame was edited mid-frame; InitSprite catches
    // every other edit.
    if (m_IndexedList.size() != m_SpriteList.size())
        SyncListedSprites();
    if (m_ListedSprites.count(pSprite))
        return; // keeps its place in the list, with the new key

    pSprite->m_Zang = 1;
    m_ZangList.AddRect(pSprite->m_NewRect);
    m_ZangList.AddRect(pSprite->m_OldRect);
    m_SpriteList.push_back(pSprite);
    m_ListedSprites.insert(pSprite);
    m_IndexedList.push_back(pSprite);
}

void CMoxGraphics::AddSprite(CMoxSprite* pSprite, int x, int y, int width, int height, int srcX, int srcY,
                             unsigned char alpha)
{
    if (!pSprite)
        return;
    pSprite->SetRect(x, y, width, height, srcX, srcY, alpha);
    AddSprite(pSprite);
}

void CMoxGraphics::AddSprite(CMoxSprite* pSprite, int x, int y, unsigned char alpha)
{
    if (!pSprite)
        return;
    pSprite->SetRect(x, y, alpha);
    AddSprite(pSprite);
}

void CMoxGraphics::AddSprite(CMoxSprite* pSprite, int x, int y, int width, int height, const char* text,
                             const Gdiplus::Color& color, Gdiplus::StringAlignment alignment)
{
    if (!pSprite)
        return;
    pSprite->Init(m_NowFont, text, color, alignment);
    pSprite->SetRect(x, y, width, height, 0, 0, 255);
    AddSprite(pSprite);
}

void CMoxGraphics::AddSprite(CMoxSprite* pSprite, CMoxSprite* pShadow, int x, int y, int width, int height,
                             const char* text, const Gdiplus::Color& color, const Gdiplus::Color& shadowColor,
                             Gdiplus::StringAlignment alignment)
{
    if (!pShadow)
        return;
    // The shadow goes first so that it gets the smaller key and is drawn below the text.
    pShadow->Init(m_NowFont, text, shadowColor, alignment);
    pShadow->SetRect(WrapAdd(x, 1), WrapAdd(y, 1), width, height, 0, 0, 255);
    AddSprite(pShadow);
    if (!pSprite)
        return;
    pSprite->Init(m_NowFont, text, color, alignment);
    pSprite->SetRect(x, y, width, height, 0, 0, 255);
    AddSprite(pSprite);
}

void CMoxGraphics::DrawSprite(bool present)
{
    std::vector<CMoxSprite*>& list = m_SpriteList;
    SyncListedSprites();

    // 1. Sprites not added again leave the list (order of the rest kept, one pass); both of
    //    their rectangles become dirty. The keys of the rest are gathered beside them, so that
    //    sorting and widening below walk one compact array instead of the sprites themselves.
    std::vector<Keyed> keyed;
    keyed.reserve(list.size());
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        CMoxSprite* sprite = list[i];
        if (sprite->m_Update == 0) {
            m_ZangList.AddRect(sprite->m_NewRect);
            m_ZangList.AddRect(sprite->m_OldRect);
            m_ListedSprites.erase(sprite);
        } else {
            list[kept++] = sprite;
            keyed.push_back(Keyed{sprite->m_Sort, IsVectorOrText(sprite), sprite});
        }
    }
    list.resize(kept);
    if (m_ListedSprites.size() != list.size()) // a pointer the host listed twice
        m_ListedSprites = std::unordered_set<CMoxSprite*>(list.begin(), list.end());

    // 2. Sort by key with this exact Shell sort: its handling of equal keys is the drawing order
    //    hosts see. A list already in key order is left as it is, which is what the sort would
    //    do with it (no comparison of it finds a greater key first).
    const int n = static_cast<int>(keyed.size());
    bool ordered = true;
    for (int i = 1; i < n && ordered; ++i)
        ordered = keyed[i - 1].key <= keyed[i].key;
    if (!ordered) {
        for (int gap = n / 2; gap > 0; gap /= 2) {
            for (int i = gap; i < n; ++i) {
                for (int j = i - gap; j >= 0 && keyed[j].key > keyed[j + gap].key; j -= gap)
                    std::swap(keyed[j], keyed[j + gap]);
            }
        }
        for (int i = 0; i < n; ++i)
            list[i] = keyed[i].sprite;
    }
    m_IndexedList = list;

    // 3. Text and vector sprites cannot be drawn in part: one that a dirty rectangle touches
    //    becomes dirty whole, which can touch further sprites, so the walk starts again.
    std::list<CMoxRect>& dirty = m_ZangList.m_RectList;
    bool widened = true;
    while (widened && !dirty.empty()) {
        widened = false;
        for (const Keyed& k : keyed) {
            CMoxSprite* sprite = k.sprite;
            if (!k.vectorOrText || sprite->m_Zang != 0)
                continue;
            for (CMoxRect& d : dirty) {
                if (d.CheckSuperpose(sprite->m_NewRect) == 1) {
                    m_ZangList.AddRect(sprite->m_NewRect);
                    sprite->m_Zang = 1;
                    widened = true;
                    break;
                }
            }
            if (widened)
                break;
        }
    }

    // 4. Back to front: changed sprites whole, unchanged image sprites inside the dirty
    //    rectangles they meet. Only a zang flag of exactly 1 counts as changed here. The dirty
    //    list is fixed from here on, so it is indexed once and each sprite visits only the
    //    rectangles near it, still in list order.
    mox::DirtyGrid grid;
    bool gridBuilt = false;
    std::vector<CMoxRect*> nearby;
    for (CMoxSprite* sprite : list) {
        const bool whole = sprite->m_Zang == 1;
        const CMoxRect& r = sprite->m_NewRect;
        if (sprite->m_Font) {
            if (whole && m_pGraphics && sprite->m_SolidBrush)
                Draw(sprite->m_StringW, r.X, r.Y, r.Width, r.Height, sprite->m_Font, sprite->m_SolidBrush,
                     sprite->m_StringAlignment);
        } else if (sprite->m_Pen) {
            if (whole) {
                if (sprite->m_Box)
                    DrawRectangle(sprite->m_Pen, sprite->m_PenX, sprite->m_PenY, sprite->m_PenWidth,
                                  sprite->m_PenHeight);
                else
                    DrawLine(sprite->m_Pen, sprite->m_PenX, sprite->m_PenY, WrapAdd(sprite->m_PenX, sprite->m_PenWidth),
                             WrapAdd(sprite->m_PenY, sprite->m_PenHeight));
            }
        } else if (sprite->m_Brush) {
            if (whole)
                FillRectangle(sprite->m_Brush, sprite->m_PenX, sprite->m_PenY, sprite->m_PenWidth, sprite->m_PenHeight);
        } else if (sprite->m_Color) {
            if (whole)
                FillRectangle(sprite->m_PenX, sprite->m_PenY, sprite->m_PenWidth, sprite->m_PenHeight,
                              sprite->m_Color->GetR(), sprite->m_Color->GetG(), sprite->m_Color->GetB());
        } else if (sprite->m_Tga || sprite->m_Bitmap) {
            CMoxTga* tga = sprite->m_Tga;
            CMoxBitmap* bitmap = tga ? nullptr : sprite->m_Bitmap;
            const unsigned char alpha = sprite->m_Alpha;
            auto blit = [&](int x, int y, int srcX, int srcY, int width, int height) {
                if (tga) {
                    if (alpha == 255)
                        Draw(tga, x, y, srcX, srcY, width, height);
                    else
                        Draw(tga, x, y, srcX, srcY, width, height, alpha);
                } else {
                    if (alpha == 255)
                        Draw(bitmap, x, y, srcX, srcY, width, height);
                    else
                        Draw(bitmap, x, y, srcX, srcY, width, height, alpha);
                }
            };
            if (whole) {
                blit(r.X, r.Y, sprite->m_SrcX, sprite->m_SrcY, r.Width, r.Height);
            } else if (r.Width >= 0 && r.Height >= 0) {
                // The dirty rectangles never meet, so each pixel is written (and blended) once.
                // A placement of negative size shows nothing whole and so nothing in part, where
                // the overlap rules would otherwise hand out pieces of the image for it.
                if (!gridBuilt) {
                    grid.Build(dirty, m_nWidth, m_nHeight);
                    gridBuilt = true;
                }
                CMoxRect placement = r;
                grid.Candidates(placement, &nearby);
                for (CMoxRect* d : nearby) {
                    if (d->CheckSuperpose(placement) != 1)
                        continue;
                    CMoxRect o = d->GetSuperpose(placement);
                    if (o.Width > 0 && o.Height > 0)
                        blit(WrapAdd(r.X, o.X), WrapAdd(r.Y, o.Y), WrapAdd(sprite->m_SrcX, o.X),
                             WrapAdd(sprite->m_SrcY, o.Y), o.Width, o.Height);
                }
            }
        }
        sprite->m_Zang = 0;
    }

    // 5. Present. The dirty list stays: only InitSprite empties it.
    if (present && GetMemDC())
        DrawDC();
}

void CMoxGraphics::DrawDC()
{
    // Before a paint device context was bound there is nothing to copy to.
    if (!m_pPaintDC || !m_pPaintDC->GetSafeHdc())
        return;
    HDC target = m_pPaintDC->GetSafeHdc();
    HDC source = m_pMemDC ? m_pMemDC->GetSafeHdc() : nullptr;

    // Each dirty rectangle asks for the area from the canvas origin to its right and bottom
    // edges. All those boxes start at the origin, so together they form a staircase: sorted by
    // right edge, widest first, each box adds only the rows below what the wider ones covered.
    // Copying those steps leaves the window exactly as copying every box would, with each
    // window pixel copied once instead of once per rectangle.
    std::vector<std::pair<int, int>> corners;
    corners.reserve(m_ZangList.m_RectList.size());
    for (const CMoxRect& r : m_ZangList.m_RectList) {
        const int cx = WrapAdd(r.X, r.Width);
        const int cy = WrapAdd(r.Y, r.Height);
        if (cx == 0 && cy == 0)
            continue;
        if (cx > 0 && cy > 0)
            corners.emplace_back(cx, cy);
        else
            BitBlt(target, 0, 0, cx, cy, source, 0, 0, SRCCOPY); // not a box: passed on as it is
    }
    std::sort(corners.begin(), corners.end(), std::greater<>());
    int covered = 0; // rows above this are copied as wide as every box still to come
    for (const auto& [cx, cy] : corners) {
        if (cy <= covered)
            continue;
        BitBlt(target, 0, covered, cx, cy - covered, source, 0, covered, SRCCOPY);
        covered = cy;
    }
}
