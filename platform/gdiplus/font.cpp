// GDI+ font families, fonts and string formats. Families are found through fontconfig: a name is
// accepted when an installed font carries it, or carries one of the metric-compatible families
// fontconfig binds to it as strongly as the name itself ("Arial" -> "Liberation Sans"). The
// weak fallbacks fontconfig adds for any name do not count, or every name would be found.
#include "gdiplus_tools.h"

#include <fontconfig/fontconfig.h>

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>

using namespace Gdiplus;

namespace moxplat {

namespace {

bool IsInstalledFamily(const FcChar8* family)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    FcPatternAddString(pattern, FC_FAMILY, family);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr));
    FcFontSet* fonts = objects ? FcFontList(nullptr, pattern, objects) : nullptr;
    const bool found = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    if (objects)
        FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

// The installed family that stands for `name`, or empty when there is none.
std::string ResolveFamily(const std::string& name)
{
    if (name.empty())
        return {};
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    std::string resolved;
    FcValue value;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
        if (binding != FcValueBindingStrong || value.type != FcTypeString)
            continue;
        if (IsInstalledFamily(value.u.s)) {
            resolved = reinterpret_cast<const char*>(value.u.s);
            break;
        }
    }
    FcPatternDestroy(pattern);
    return resolved;
}

std::string Folded(const std::string& name)
{
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

// The family fontconfig picks for a generic name ("sans-serif"), or empty.
std::string GenericMatch(const char* generic)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string family;
    FcChar8* name = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
        family = reinterpret_cast<const char*>(name);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return family;
}

// Windows' own TrueType interface faces, which every Windows has and programs name without a
// fallback: without them installed they draw with the sans-serif family, as GDI's faces do. The
// bitmap-only faces stay unknown, as GDI+ does not use them.
bool IsWindowsSansFace(const std::string& folded)
{
    return folded == "tahoma" || folded == "segoe ui" || folded == "verdana" || folded == "microsoft sans serif";
}

bool IsFontUnit(Unit unit)
{
    return unit == UnitWorld || unit == UnitPixel || unit == UnitPoint || unit == UnitInch || unit == UnitDocument ||
           unit == UnitMillimeter;
}

} // namespace

namespace {

std::mutex familiesLock;
std::map<std::string, std::unique_ptr<FontFamilyImpl>> families; // by folded name
std::set<const GpFontFamily*> familySet;                           // the same, for IsFamily

} // namespace

bool IsFamily(const GpFontFamily* family)
{
    const std::lock_guard<std::mutex> hold(familiesLock);
    return family && familySet.count(family) != 0;
}

FontFamilyImpl* SharedFamily(const std::string& name)
{
    const std::lock_guard<std::mutex> hold(familiesLock);
    const std::string key = Folded(name);
    if (auto found = families.find(key); found != families.end())
        return found->second.get();
    std::string resolved = ResolveFamily(name);
    if (resolved.empty() && IsWindowsSansFace(key))
        resolved = GenericMatch("sans-serif");
    if (resolved.empty())
        return nullptr;
    auto family = std::make_unique<FontFamilyImpl>();
    family->name = std::move(resolved);
    family->displayName = name;
    FontFamilyImpl* kept = family.get();
    familySet.insert(kept);
    families.emplace(key, std::move(family));
    return kept;
}

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipCreateFontFamilyFromName(GDIPCONST WCHAR* name, GpFontCollection* fontCollection,
                                                 GpFontFamily** fontFamily)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(fontFamily);
    (void)fontCollection; // only the installed fonts exist here
    if (!fontFamily)
        return InvalidParameter;
    *fontFamily = nullptr;
    if (!name)
        return InvalidParameter;
    std::size_t length = 0;
    while (name[length] && length < 1024)
        ++length;
    moxplat::FontFamilyImpl* impl = nullptr;
    try {
        impl = moxplat::SharedFamily(moxplat::WideToUtf8(name, length));
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    if (!impl)
        return FontFamilyNotFound;
    *fontFamily = impl;
    return Ok;
}

// Families are shared (see SharedFamily): deleting one leaves it for its other holders.
GpStatus WINGDIPAPI GdipDeleteFontFamily(GpFontFamily* fontFamily)
{
    if (!moxplat::IsFamily(fontFamily))
        return InvalidParameter;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateFont(GDIPCONST GpFontFamily* fontFamily, REAL emSize, INT style, Unit unit, GpFont** font)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(font);
    if (!font)
        return InvalidParameter;
    *font = nullptr;
    if (!moxplat::IsFamily(fontFamily) || !std::isfinite(emSize) || emSize <= 0 || !moxplat::IsFontUnit(unit))
        return InvalidParameter;
    auto* impl = new (std::nothrow) moxplat::FontImpl;
    if (!impl)
        return OutOfMemory;
    impl->familyRef = const_cast<moxplat::FontFamilyImpl*>(static_cast<const moxplat::FontFamilyImpl*>(fontFamily));
    impl->family = impl->familyRef->name;
    impl->emSize = emSize;
    impl->unit = unit;
    impl->style = style & (FontStyleBoldItalic | FontStyleUnderline | FontStyleStrikeout);
    impl->pixelSize = double(emSize) * moxplat::UnitPixels(unit);
    *font = impl;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeleteFont(GpFont* font)
{
    if (!font)
        return InvalidParameter;
    moxplat::FontImpl* impl = moxplat::ToImpl(font);
    moxplat::ReleaseTextLayouts(impl);
    delete impl;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetFontSize(GpFont* font, REAL* size)
{
    if (!font || !size)
        return InvalidParameter;
    *size = moxplat::ToImpl(font)->emSize;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetFontStyle(GpFont* font, INT* style)
{
    if (!font || !style)
        return InvalidParameter;
    *style = moxplat::ToImpl(font)->style;
    return Ok;
}

GpStatus WINGDIPAPI GdipCreateStringFormat(INT formatAttributes, LANGID language, GpStringFormat** format)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(format);
    if (!format)
        return InvalidParameter;
    auto* impl = new (std::nothrow) moxplat::StringFormatImpl;
    *format = impl;
    if (!impl)
        return OutOfMemory;
    impl->flags = formatAttributes;
    impl->language = language;
    return Ok;
}

GpStatus WINGDIPAPI GdipDeleteStringFormat(GpStringFormat* format)
{
    if (!format)
        return InvalidParameter;
    if (!moxplat::ToImpl(format)->shared) // the generic formats outlive their users
        delete moxplat::ToImpl(format);
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align)
{
    if (!format || align < StringAlignmentNear || align > StringAlignmentFar)
        return InvalidParameter;
    moxplat::ToImpl(format)->align = align;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetStringFormatAlign(GpStringFormat* format, StringAlignment* align)
{
    if (!format || !align)
        return InvalidParameter;
    *align = moxplat::ToImpl(format)->align;
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
