// GDI+ font families read back and listed: names, the installed-font collection, the generic
// families, and the family and unit of a font. Families are the shared objects SharedFamily
// keeps, so every way to reach one family gives the same object.
#include "gdiplus_tools.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace moxplat {

namespace {

struct FontCollectionImpl : GpFontCollection {
    std::vector<FontFamilyImpl*> families; // installed families, by name
};

// The installed families, listed once: fontconfig's family names, each taken once (a font
// that names several families counts under its first).
FontCollectionImpl* InstalledCollection()
{
    static FontCollectionImpl collection;
    static std::once_flag once;
    std::call_once(once, [] {
        std::set<std::string> names;
        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr));
        FcFontSet* fonts = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                names.insert(reinterpret_cast<const char*>(family));
        }
        if (fonts)
            FcFontSetDestroy(fonts);
        if (objects)
            FcObjectSetDestroy(objects);
        if (pattern)
            FcPatternDestroy(pattern);
        for (const std::string& name : names)
            if (FontFamilyImpl* family = SharedFamily(name))
                collection.families.push_back(family);
    });
    return &collection;
}

// The first of the names an installed font provides.
GpStatus GenericFamily(std::initializer_list<const char*> names, GpFontFamily** out)
{
    if (!GdiplusReady())
        return NotInitialized(out);
    if (!out)
        return InvalidParameter;
    *out = nullptr;
    try {
        for (const char* name : names)
            if (FontFamilyImpl* family = SharedFamily(name)) {
                *out = family;
                return Ok;
            }
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return FontFamilyNotFound;
}

} // namespace

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipNewInstalledFontCollection(GpFontCollection** fontCollection)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(fontCollection);
    if (!fontCollection)
        return InvalidParameter;
    try {
        *fontCollection = moxplat::InstalledCollection();
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipGetFontCollectionFamilyCount(GpFontCollection* fontCollection, INT* numFound)
{
    if (!fontCollection || !numFound)
        return InvalidParameter;
    *numFound = INT(static_cast<moxplat::FontCollectionImpl*>(fontCollection)->families.size());
    return Ok;
}

// Up to numSought families; the same objects on every call (gdiplus tests/font.c
// test_GdipGetFontCollectionFamilyList).
GpStatus WINGDIPAPI GdipGetFontCollectionFamilyList(GpFontCollection* fontCollection, INT numSought,
                                                    GpFontFamily* gpfamilies[], INT* numFound)
{
    if (!fontCollection || !gpfamilies || !numFound || numSought <= 0)
        return InvalidParameter;
    const auto& families = static_cast<moxplat::FontCollectionImpl*>(fontCollection)->families;
    INT n = 0;
    for (; n < numSought && std::size_t(n) < families.size(); ++n)
        gpfamilies[n] = families[std::size_t(n)];
    *numFound = n;
    return Ok;
}

// The name as a LOGFONT face name holds it: at most LF_FACESIZE - 1 characters. A null buffer
// is accepted and left alone (font.c test_fontfamily).
GpStatus WINGDIPAPI GdipGetFamilyName(GDIPCONST GpFontFamily* family, WCHAR name[LF_FACESIZE], LANGID language)
{
    (void)language; // one name per family here
    if (!moxplat::IsFamily(family))
        return InvalidParameter;
    if (!name)
        return Ok;
    const std::string& utf8 = static_cast<const moxplat::FontFamilyImpl*>(family)->displayName;
    std::size_t out = 0;
    for (std::size_t i = 0; i < utf8.size() && out < LF_FACESIZE - 1;) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t code = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += std::size_t(extra) + 1;
        name[out++] = WCHAR(code);
    }
    name[out] = 0;
    return Ok;
}

// Families are shared: the clone is the family itself (font.c test_fontfamily).
GpStatus WINGDIPAPI GdipCloneFontFamily(GpFontFamily* fontFamily, GpFontFamily** clonedFontFamily)
{
    if (!moxplat::IsFamily(fontFamily) || !clonedFontFamily)
        return InvalidParameter;
    *clonedFontFamily = fontFamily;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetFamily(GpFont* font, GpFontFamily** family)
{
    if (!font || !family)
        return InvalidParameter;
    *family = moxplat::ToImpl(font)->familyRef;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetFontUnit(GpFont* font, Unit* unit)
{
    if (!font || !unit)
        return InvalidParameter;
    *unit = moxplat::ToImpl(font)->unit;
    return Ok;
}

// Windows' generic families, or the metric-compatible ones fontconfig binds to their names.
GpStatus WINGDIPAPI GdipGetGenericFontFamilySansSerif(GpFontFamily** nativeFamily)
{
    return moxplat::GenericFamily({"Microsoft Sans Serif", "Arial"}, nativeFamily);
}

GpStatus WINGDIPAPI GdipGetGenericFontFamilySerif(GpFontFamily** nativeFamily)
{
    return moxplat::GenericFamily({"Times New Roman"}, nativeFamily);
}

GpStatus WINGDIPAPI GdipGetGenericFontFamilyMonospace(GpFontFamily** nativeFamily)
{
    return moxplat::GenericFamily({"Courier New"}, nativeFamily);
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
