// Image attributes: colour keys per adjust type.
#include "gdiplus_internal.h"

#include <new>

using namespace Gdiplus;

namespace moxplat {

const ImageAttributesImpl::ColorKey* BitmapColorKey(const GpImageAttributes* attributes)
{
    if (!attributes)
        return nullptr;
    const ImageAttributesImpl* a = ToImpl(attributes);
    // A bitmap's own category wins over the default one, as in GDI+.
    if (a->keys[ColorAdjustTypeBitmap].enabled)
        return &a->keys[ColorAdjustTypeBitmap];
    if (a->keys[ColorAdjustTypeDefault].enabled)
        return &a->keys[ColorAdjustTypeDefault];
    return nullptr;
}

bool IsKeyed(const ImageAttributesImpl::ColorKey& key, ARGB colour)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned c = (colour >> shift) & 0xff;
        if (c < ((key.low >> shift) & 0xff) || c > ((key.high >> shift) & 0xff))
            return false;
    }
    return true;
}

} // namespace moxplat

namespace Gdiplus {
namespace DllExports {

extern "C" GpStatus WINGDIPAPI GdipCreateImageAttributes(GpImageAttributes** imageattr)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(imageattr);
    if (!imageattr)
        return InvalidParameter;
    *imageattr = new (std::nothrow) moxplat::ImageAttributesImpl;
    return *imageattr ? Ok : OutOfMemory;
}

extern "C" GpStatus WINGDIPAPI GdipDisposeImageAttributes(GpImageAttributes* imageattr)
{
    if (!imageattr)
        return InvalidParameter;
    delete moxplat::ToImpl(imageattr);
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipSetImageAttributesColorKeys(GpImageAttributes* imageattr, ColorAdjustType type,
                                                               BOOL enableFlag, ARGB colorLow, ARGB colorHigh)
{
    if (!imageattr || type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount)
        return InvalidParameter;
    moxplat::ImageAttributesImpl::ColorKey& key = moxplat::ToImpl(imageattr)->keys[type];
    key.enabled = enableFlag != FALSE;
    key.low = enableFlag ? colorLow : 0;
    key.high = enableFlag ? colorHigh : 0;
    return Ok;
}

// Drops what was set for that adjustment type: here, its colour key.
extern "C" GpStatus WINGDIPAPI GdipResetImageAttributes(GpImageAttributes* imageattr, ColorAdjustType type)
{
    if (!imageattr || type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount)
        return InvalidParameter;
    moxplat::ToImpl(imageattr)->keys[type] = moxplat::ImageAttributesImpl::ColorKey();
    return Ok;
}

} // namespace DllExports
} // namespace Gdiplus
