// GDI+ string formats beyond alignment: flags, line alignment, trimming, hotkey prefixes, digit
// substitution, tab stops and measurable character ranges, and the two generic formats.
#include "gdiplus_tools.h"

#include <cmath>
#include <mutex>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

// The generic formats are process-wide objects: every request hands out the same one, deleting
// it leaves it alive, and changes made through it last (stringformat.c test_getgenericdefault).
StringFormatImpl* SharedFormat(bool typographic)
{
    static StringFormatImpl defaultFormat;
    static StringFormatImpl typographicFormat;
    static std::once_flag once;
    std::call_once(once, [] {
        defaultFormat.shared = true;
        typographicFormat.shared = true;
        typographicFormat.typographic = true;
        typographicFormat.flags =
            StringFormatFlagsNoFitBlackBox | StringFormatFlagsLineLimit | StringFormatFlagsNoClip;
        typographicFormat.trimming = StringTrimmingNone;
    });
    return typographic ? &typographicFormat : &defaultFormat;
}

GpStatus HandOutShared(GpStringFormat** format, bool typographic)
{
    if (!GdiplusReady())
        return NotInitialized(format);
    if (!format)
        return InvalidParameter;
    *format = SharedFormat(typographic);
    return Ok;
}

bool IsAlignment(StringAlignment align)
{
    return align >= StringAlignmentNear && align <= StringAlignmentFar;
}

} // namespace

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipCloneStringFormat(GDIPCONST GpStringFormat* format, GpStringFormat** newFormat)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(newFormat);
    if (!format || !newFormat)
        return InvalidParameter;
    auto* copy = new (std::nothrow) moxplat::StringFormatImpl(*moxplat::ToImpl(format));
    *newFormat = copy;
    if (!copy)
        return OutOfMemory;
    copy->shared = false;
    return Ok;
}

GpStatus WINGDIPAPI GdipStringFormatGetGenericDefault(GpStringFormat** format)
{
    return moxplat::HandOutShared(format, false);
}

GpStatus WINGDIPAPI GdipStringFormatGetGenericTypographic(GpStringFormat** format)
{
    return moxplat::HandOutShared(format, true);
}

GpStatus WINGDIPAPI GdipSetStringFormatFlags(GpStringFormat* format, INT flags)
{
    if (!format)
        return InvalidParameter;
    moxplat::ToImpl(format)->flags = flags; // kept as given, unknown bits included
    return Ok;
}

GpStatus WINGDIPAPI GdipGetStringFormatFlags(GDIPCONST GpStringFormat* format, INT* flags)
{
    if (!format || !flags)
        return InvalidParameter;
    *flags = moxplat::ToImpl(format)->flags;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align)
{
    if (!format || !moxplat::IsAlignment(align))
        return InvalidParameter;
    moxplat::ToImpl(format)->lineAlign = align;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetStringFormatLineAlign(GDIPCONST GpStringFormat* format, StringAlignment* align)
{
    if (!format || !align)
        return InvalidParameter;
    *align = moxplat::ToImpl(format)->lineAlign;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatTrimming(GpStringFormat* format, StringTrimming trimming)
{
    if (!format || trimming < StringTrimmingNone || trimming > StringTrimmingEllipsisPath)
        return InvalidParameter;
    moxplat::ToImpl(format)->trimming = trimming;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetStringFormatTrimming(GDIPCONST GpStringFormat* format, StringTrimming* trimming)
{
    if (!format || !trimming)
        return InvalidParameter;
    *trimming = moxplat::ToImpl(format)->trimming;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, INT hotkeyPrefix)
{
    if (!format || hotkeyPrefix < HotkeyPrefixNone || hotkeyPrefix > HotkeyPrefixHide)
        return InvalidParameter;
    moxplat::ToImpl(format)->hotkeyPrefix = hotkeyPrefix;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetStringFormatHotkeyPrefix(GDIPCONST GpStringFormat* format, INT* hotkeyPrefix)
{
    if (!format || !hotkeyPrefix)
        return InvalidParameter;
    *hotkeyPrefix = moxplat::ToImpl(format)->hotkeyPrefix;
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatDigitSubstitution(GpStringFormat* format, LANGID language,
                                                         StringDigitSubstitute substitute)
{
    if (!format)
        return InvalidParameter;
    moxplat::ToImpl(format)->digitLanguage = language;
    moxplat::ToImpl(format)->digitSubstitute = substitute;
    return Ok;
}

// Either out-pointer may be null; only the format is required.
GpStatus WINGDIPAPI GdipGetStringFormatDigitSubstitution(GDIPCONST GpStringFormat* format, LANGID* language,
                                                         StringDigitSubstitute* substitute)
{
    if (!format)
        return InvalidParameter;
    if (language)
        *language = moxplat::ToImpl(format)->digitLanguage;
    if (substitute)
        *substitute = moxplat::ToImpl(format)->digitSubstitute;
    return Ok;
}

// A count of zero or less changes nothing (not even the first offset); a negative first offset
// is refused only when there are stops to place after it.
GpStatus WINGDIPAPI GdipSetStringFormatTabStops(GpStringFormat* format, REAL firstTabOffset, INT count,
                                                GDIPCONST REAL* tabStops)
{
    if (!format || !tabStops)
        return InvalidParameter;
    if (count <= 0)
        return Ok;
    if (!std::isfinite(firstTabOffset))
        return InvalidParameter;
    if (firstTabOffset < 0)
        return NotImplemented;
    moxplat::StringFormatImpl* impl = moxplat::ToImpl(format);
    try {
        impl->tabs.assign(tabStops, tabStops + count);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    impl->firstTab = firstTabOffset;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetStringFormatTabStopCount(GDIPCONST GpStringFormat* format, INT* count)
{
    if (!format || !count)
        return InvalidParameter;
    *count = INT(moxplat::ToImpl(format)->tabs.size());
    return Ok;
}

// Copies at most `count` stops; the first offset is written whatever the count.
GpStatus WINGDIPAPI GdipGetStringFormatTabStops(GDIPCONST GpStringFormat* format, INT count, REAL* firstTabOffset,
                                                REAL* tabStops)
{
    if (!format || !firstTabOffset || !tabStops || count < 0)
        return InvalidParameter;
    const moxplat::StringFormatImpl* impl = moxplat::ToImpl(format);
    *firstTabOffset = impl->firstTab;
    for (std::size_t i = 0; i < impl->tabs.size() && i < std::size_t(count); ++i)
        tabStops[i] = impl->tabs[i];
    return Ok;
}

GpStatus WINGDIPAPI GdipSetStringFormatMeasurableCharacterRanges(GpStringFormat* format, INT rangeCount,
                                                                 GDIPCONST CharacterRange* ranges)
{
    if (!format || rangeCount < 0 || (rangeCount > 0 && !ranges))
        return InvalidParameter;
    try {
        moxplat::ToImpl(format)->ranges.assign(ranges, ranges + rangeCount);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    return Ok;
}

GpStatus WINGDIPAPI GdipGetStringFormatMeasurableCharacterRangeCount(GDIPCONST GpStringFormat* format, INT* count)
{
    if (!format || !count)
        return InvalidParameter;
    *count = INT(moxplat::ToImpl(format)->ranges.size());
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
