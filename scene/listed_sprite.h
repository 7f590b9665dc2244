// One entry of a composition pass: what the pass needs of a listed sprite, read once.
#pragma once

#include <MoxImage2.h>

namespace mox {

// What one composition pass needs of a listed sprite, read once in the removal step. The
// sprites themselves are large (their text buffer alone spans pages), so the later steps work
// on this compact array and touch a sprite only to draw it whole or to clear its zang flag.
struct ListedSprite {
    enum Kind : unsigned char { Text, Pen, Brush, Color, Tga, Bitmap, None };

    CMoxSprite* sprite;
    int key;
    int zang; // as the pass sees it: widening may set it
    Kind kind;
    unsigned char alpha;
    Gdiplus::Rect rect; // the new placement (a plain rectangle: cheap to copy and drop)
    int srcX, srcY;
    CMoxTga* tga;       // the image of an image sprite
    CMoxBitmap* bitmap;

    bool VectorOrText() const { return kind <= Color; }
};

// The first reference set decides how a sprite is drawn.
inline ListedSprite::Kind KindOf(const CMoxSprite& s)
{
    return s.m_Font ? ListedSprite::Text
           : s.m_Pen ? ListedSprite::Pen
           : s.m_Brush ? ListedSprite::Brush
           : s.m_Color ? ListedSprite::Color
           : s.m_Tga ? ListedSprite::Tga
           : s.m_Bitmap ? ListedSprite::Bitmap
                        : ListedSprite::None;
}

} // namespace mox
