// The canvas's retained scene: the sprite list, one composition pass that redraws only the dirty
// rectangles, and presenting those rectangles to the window.

#include <MoxImage2.h>

#include "scene/dirty_grid.h"
#include "scene/dirty_index.h"
#include "scene/listed_sprite.h"
#include "scene/rect_geometry.h"
#include "scene/widening.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using mox::KindOf;
using Listed = mox::ListedSprite;

namespace {

// Sprites are large and scattered, so the passes over the list ask for the sprites a few
// places ahead while working on the current one.
constexpr size_t kAhead = 8;

inline void Prefetch(const void* p)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p, 1);
#else
    (void)p;
#endif
}

// The fields a frame reads of a sprite span its first two cache lines.
inline void PrefetchSprite(const CMoxSprite* sprite)
{
    const char* p = reinterpret_cast<const char*>(sprite);
    Prefetch(p);
    Prefetch(p + 64);
}

int WrapAdd(int a, int b)
{
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// What a composition pass and presenting keep for the next pass.
struct PassScratch {
    std::vector<Listed> listed;   // the listed sprites as the pass read them
    mox::WideningScratch widening;
    mox::DirtyGrid grid;          // over the dirty list, for drawing in part
    std::vector<CMoxRect*> nearby;
    std::vector<std::pair<int, int>> corners, steps;
};

} // namespace

// The canvas's pass memory, made on first use.
static PassScratch& ScratchOf(std::shared_ptr<void>& owner)
{
    if (!owner)
        owner = std::make_shared<PassScratch>();
    return *static_cast<PassScratch*>(owner.get());
}

void CMoxGraphics::SetNowFont(CMoxFont* pFont)
{
    m_NowFont = pFont;
}

void CMoxGraphics::InitSprite()
{
    const size_t count = m_SpriteList.size();
    for (size_t i = 0; i < count; ++i) {
        if (i + kAhead < count)
            Prefetch(&m_SpriteList[i + kAhead]->m_Update);
        m_SpriteList[i]->m_Update = 0;
    }
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

    // A listed sprite remembers where it was listed, which spares a search in the usual frame;
    // the set answers for the rest. A list whose length changed since the last frame was edited
    // mid-frame; InitSprite catches every other edit.
    const size_t at = pSprite->m_ListedAt;
    if (pSprite->m_ListedIn == this && at < m_SpriteList.size() && m_SpriteList[at] == pSprite &&
        m_IndexedList.size() == m_SpriteList.size()) {
        // Hosts mostly add their sprites in list order: ask for the one likely to come a few
        // calls later, which the processor cannot guess (each sprite lies on its own page).
        if (at + 2 * kAhead < m_SpriteList.size())
            PrefetchSprite(m_SpriteList[at + 2 * kAhead]);
        return; // keeps its place in the list, with the new key
    }
    if (m_IndexedList.size() != m_SpriteList.size())
        SyncListedSprites();
    if (m_ListedSprites.count(pSprite))
        return;

    pSprite->m_Zang = 1;
    m_ZangList.AddRect(pSprite->m_NewRect);
    m_ZangList.AddRect(pSprite->m_OldRect);
    pSprite->m_ListedIn = this;
    pSprite->m_ListedAt = m_SpriteList.size();
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

    // 1. Sprites not added again leave the list (order of the rest kept, one pass); both of
    //    their rectangles become dirty. What the later steps need of the rest is gathered here.
    //    The same walk checks the list against the copy the set of listed sprites was built
    //    from, and leaves that copy equal to the list.
    PassScratch& scratch = ScratchOf(m_PassMemory.owner);
    std::vector<Listed>& listed = scratch.listed;
    listed.clear();
    listed.reserve(list.size());
    std::vector<CMoxSprite*>& indexed = m_IndexedList;
    const size_t indexedCount = indexed.size();
    bool edited = indexedCount != list.size();
    indexed.resize(list.size());
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i + kAhead < list.size()) {
            Prefetch(&list[i + kAhead]->m_NewRect);
            Prefetch(&list[i + kAhead]->m_Update);
        }
        CMoxSprite* sprite = list[i];
        if (i < indexedCount && indexed[i] != sprite)
            edited = true;
        if (sprite->m_Update == 0) {
            m_ZangList.AddRect(sprite->m_NewRect);
            m_ZangList.AddRect(sprite->m_OldRect);
            m_ListedSprites.erase(sprite);
            continue;
        }
        if (sprite->m_ListedAt != kept || sprite->m_ListedIn != this) { // unchanged: the line stays clean
            sprite->m_ListedIn = this;
            sprite->m_ListedAt = kept;
        }
        indexed[kept] = sprite; // read above before this write: kept <= i
        list[kept++] = sprite;
        listed.push_back(Listed{sprite, sprite->m_Sort, sprite->m_Zang, KindOf(*sprite), sprite->m_Alpha,
                                sprite->m_NewRect, sprite->m_SrcX, sprite->m_SrcY, sprite->m_Tga, sprite->m_Bitmap});
    }
    list.resize(kept);
    indexed.resize(kept);
    // An edited list, or a pointer the host listed twice: the set is built again from the list.
    if (edited || m_ListedSprites.size() != list.size())
        m_ListedSprites = std::unordered_set<CMoxSprite*>(list.begin(), list.end());

    // 2. Sort by key with this exact Shell sort: its handling of equal keys is the drawing order
    //    hosts see. A list already in key order is left as it is, which is what the sort would
    //    do with it (no comparison of it finds a greater key first).
    const int n = static_cast<int>(listed.size());
    bool ordered = true;
    for (int i = 1; i < n && ordered; ++i)
        ordered = listed[i - 1].key <= listed[i].key;
    if (!ordered) {
        for (int gap = n / 2; gap > 0; gap /= 2) {
            for (int i = gap; i < n; ++i) {
                for (int j = i - gap; j >= 0 && listed[j].key > listed[j + gap].key; j -= gap)
                    std::swap(listed[j], listed[j + gap]);
            }
        }
        for (int i = 0; i < n; ++i) {
            list[i] = indexed[i] = listed[i].sprite;
            list[i]->m_ListedAt = size_t(i);
        }
    }

    // 3. Text and vector sprites cannot be drawn in part: one that a dirty rectangle touches
    //    becomes dirty whole, which can touch further sprites (scene/widening.h).
    mox::WidenTouched(listed, m_ZangList, m_nWidth, m_nHeight, scratch.widening);
    std::list<CMoxRect>& dirty = m_ZangList.m_RectList;

    // 4. Back to front: changed sprites whole, unchanged image sprites inside the dirty
    //    rectangles they meet. Only a zang flag of exactly 1 counts as changed here. The dirty
    //    list is fixed from here on, so it is indexed once and each sprite visits only the
    //    rectangles near it, still in list order.
    mox::DirtyGrid& grid = scratch.grid;
    bool gridBuilt = false;
    std::vector<CMoxRect*>& nearby = scratch.nearby;
    for (Listed& k : listed) {
        CMoxSprite* sprite = k.sprite;
        const bool whole = k.zang == 1;
        const Gdiplus::Rect& r = k.rect;
        switch (k.kind) {
        case Listed::Text:
            if (whole && m_pGraphics && sprite->m_SolidBrush)
                Draw(sprite->m_StringW, r.X, r.Y, r.Width, r.Height, sprite->m_Font, sprite->m_SolidBrush,
                     sprite->m_StringAlignment);
            break;
        case Listed::Pen:
            if (whole) {
                if (sprite->m_Box)
                    DrawRectangle(sprite->m_Pen, sprite->m_PenX, sprite->m_PenY, sprite->m_PenWidth,
                                  sprite->m_PenHeight);
                else
                    DrawLine(sprite->m_Pen, sprite->m_PenX, sprite->m_PenY, WrapAdd(sprite->m_PenX, sprite->m_PenWidth),
                             WrapAdd(sprite->m_PenY, sprite->m_PenHeight));
            }
            break;
        case Listed::Brush:
            if (whole)
                FillRectangle(sprite->m_Brush, sprite->m_PenX, sprite->m_PenY, sprite->m_PenWidth, sprite->m_PenHeight);
            break;
        case Listed::Color:
            if (whole)
                FillRectangle(sprite->m_PenX, sprite->m_PenY, sprite->m_PenWidth, sprite->m_PenHeight,
                              sprite->m_Color->GetR(), sprite->m_Color->GetG(), sprite->m_Color->GetB());
            break;
        case Listed::Tga:
        case Listed::Bitmap: {
            CMoxTga* tga = k.kind == Listed::Tga ? k.tga : nullptr;
            CMoxBitmap* bitmap = tga ? nullptr : k.bitmap;
            const unsigned char alpha = k.alpha;
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
                blit(r.X, r.Y, k.srcX, k.srcY, r.Width, r.Height);
            } else if (r.Width >= 0 && r.Height >= 0) {
                // The dirty rectangles never meet, so each pixel is written (and blended) once.
                // A placement of negative size shows nothing whole and so nothing in part, where
                // the overlap rules would otherwise hand out pieces of the image for it.
                if (!gridBuilt) {
                    grid.Build(dirty, m_nWidth, m_nHeight);
                    gridBuilt = true;
                }
                if (!grid.MayMeetAny(r))
                    break; // the usual case: nothing dirty near this sprite
                grid.Candidates(r, &nearby);
                for (CMoxRect* d : nearby) {
                    Gdiplus::Rect o;
                    if (d->Width >= 0 && d->Height >= 0) {
                        if (!mox::ClosedOverlap(*d, r, &o))
                            continue;
                    } else {
                        CMoxRect placement(r.X, r.Y, r.Width, r.Height);
                        if (d->CheckSuperpose(placement) != 1)
                            continue;
                        o = d->GetSuperpose(placement);
                    }
                    if (o.Width > 0 && o.Height > 0)
                        blit(WrapAdd(r.X, o.X), WrapAdd(r.Y, o.Y), WrapAdd(k.srcX, o.X), WrapAdd(k.srcY, o.Y), o.Width,
                             o.Height);
                }
            }
            break;
        }
        case Listed::None:
            break;
        }
        if (k.zang != 0)
            sprite->m_Zang = 0; // a flag already 0 is left alone: the sprite need not be touched
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
    // Every rectangle's far corner, from the index's dense copy when it has one (where erased
    // rectangles read (0, 0), as an empty rectangle at the origin does: both present nothing).
    const std::list<CMoxRect>& dirty = m_ZangList.m_RectList;
    const mox::DirtyIndex* index = m_ZangList.m_Index.get();
    const std::vector<std::pair<int, int>>* dense = index ? index->FarCorners(dirty) : nullptr;
    PassScratch& scratch = ScratchOf(m_PassMemory.owner);
    std::vector<std::pair<int, int>>& corners = scratch.corners;

    // Only corners no other corner lies beyond in both directions make steps. The widest box
    // hides every corner at or above its bottom, the tallest every corner at or left of its
    // right edge; the corners beyond both are sorted. The index keeps the widest and the
    // tallest as rectangles are added; otherwise a first pass finds them.
    const std::pair<int, int> none(0, 0);
    std::pair<int, int> widest = none, tallest = none;
    bool notBox = false;
    if (dense) {
        widest = index->Widest();
        tallest = index->Tallest();
        notBox = index->AnyNotBox();
    } else {
        corners.clear();
        for (const CMoxRect& r : dirty) {
            const std::pair<int, int> c(WrapAdd(r.X, r.Width), WrapAdd(r.Y, r.Height));
            corners.push_back(c);
            if (c.first <= 0 || c.second <= 0) {
                notBox = notBox || c != none;
                continue;
            }
            widest = std::max(widest, c);
            if (mox::DirtyIndex::Taller(c, tallest))
                tallest = c;
        }
        dense = &corners;
    }
    if (notBox) {
        // Rectangles that are not boxes are passed on as they are, in the list's order.
        for (const CMoxRect& r : dirty) {
            const int cx = WrapAdd(r.X, r.Width), cy = WrapAdd(r.Y, r.Height);
            if ((cx <= 0 || cy <= 0) && (cx != 0 || cy != 0))
                BitBlt(target, 0, 0, cx, cy, source, 0, 0, SRCCOPY);
        }
    }
    if (widest == none)
        return;
    std::vector<std::pair<int, int>>& steps = dense == &corners ? scratch.steps : corners;
    steps.clear();
    for (const std::pair<int, int>& c : *dense)
        if (c.second > widest.second && c.first > tallest.first)
            steps.push_back(c);
    steps.push_back(widest);
    steps.push_back(tallest);
    std::sort(steps.begin(), steps.end(), std::greater<>());
    int covered = 0; // rows above this are copied as wide as every box still to come
    for (const auto& [cx, cy] : steps) {
        if (cy <= covered)
            continue;
        BitBlt(target, 0, covered, cx, cy - covered, source, 0, covered, SRCCOPY);
        covered = cy;
    }
}
