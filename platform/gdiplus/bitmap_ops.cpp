// Bitmap operations beyond creation and locks: pixel writes, copies of whole images and of
// blocks, image type, bounds and resolution, loading as an Image.
#include "gdiplus_internal.h"

#include <cmath>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

using namespace Gdiplus;
using moxplat::BitmapImpl;

namespace {

bool IsImage(const GpImage* image)
{
    return image && moxplat::ToImpl(const_cast<GpImage*>(image))->tag == BitmapImpl::kTag;
}

// A new bitmap holding a copy of the block in `format`.
Status CopyBlock(const BitmapImpl& source, int x, int y, int width, int height, PixelFormat format, GpBitmap** out)
{
    Status status = Ok;
    BitmapImpl* copy = moxplat::NewBitmap(width, height, format, &status);
    if (!copy)
        return status;
    const int from = moxplat::BytesPerPixel(source.format), to = moxplat::BytesPerPixel(format);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* s = source.Row(y + row) + std::ptrdiff_t(x) * from;
        std::uint8_t* d = copy->Row(row);
        if (format == source.format) {
            std::memcpy(d, s, std::size_t(width) * std::size_t(from));
            continue;
        }
        for (int col = 0; col < width; ++col)
            moxplat::WritePixel(format, d + std::ptrdiff_t(col) * to, moxplat::ReadPixel(source.format, s + std::ptrdiff_t(col) * from));
    }
    copy->dpiX = source.dpiX;
    copy->dpiY = source.dpiY;
    *out = copy;
    return Ok;
}

} // namespace

namespace Gdiplus {
namespace DllExports {
extern "C" {

GpStatus WINGDIPAPI GdipLoadImageFromFile(GDIPCONST WCHAR* filename, GpImage** image)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(image);
    if (!image || !filename)
        return InvalidParameter; // the out-pointer left alone, as for GdipCreateBitmapFromFile
    GpBitmap* bitmap = nullptr;
    const Status status = GdipCreateBitmapFromFile(filename, &bitmap);
    *image = bitmap;
    return status;
}

GpStatus WINGDIPAPI GdipLoadImageFromFileICM(GDIPCONST WCHAR* filename, GpImage** image)
{
    return GdipLoadImageFromFile(filename, image);
}

GpStatus WINGDIPAPI GdipCreateBitmapFromFileICM(GDIPCONST WCHAR* filename, GpBitmap** bitmap)
{
    return GdipCreateBitmapFromFile(filename, bitmap);
}

// Alpha formats say so; nothing here is scalable, read-only or of another colour space
// (gdiplus tests/image.c test_GdipGetImageFlags for bitmaps made from pixels).
GpStatus WINGDIPAPI GdipGetImageFlags(GpImage* image, UINT* flags)
{
    if (!IsImage(image) || !flags)
        return InvalidParameter;
    const PixelFormat format = moxplat::ToImpl(image)->format;
    *flags = (format & (PixelFormatAlpha | PixelFormatIndexed)) ? ImageFlagsHasAlpha : ImageFlagsNone;
    return Ok;
}

GpStatus WINGDIPAPI GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi)
{
    if (!IsImage(bitmap) || !(xdpi > 0) || !(ydpi > 0) || !std::isfinite(xdpi) || !std::isfinite(ydpi))
        return InvalidParameter;
    moxplat::ToImpl(bitmap)->dpiX = xdpi;
    moxplat::ToImpl(bitmap)->dpiY = ydpi;
    return Ok;
}

GpStatus WINGDIPAPI GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color)
{
    if (!IsImage(bitmap))
        return InvalidParameter;
    BitmapImpl* b = moxplat::ToImpl(bitmap);
    if (b->lock.active)
        return WrongState;
    if (x < 0 || y < 0 || x >= b->width || y >= b->height)
        return InvalidParameter;
    moxplat::WritePixel(b->format, b->Row(y) + std::ptrdiff_t(x) * moxplat::BytesPerPixel(b->format), color);
    return Ok;
}

// A copy owns its pixels, whether or not the original was made over a caller's memory.
GpStatus WINGDIPAPI GdipCloneImage(GpImage* image, GpImage** cloneImage)
{
    if (!IsImage(image) || !cloneImage)
        return InvalidParameter;
    const BitmapImpl* b = moxplat::ToImpl(image);
    if (b->lock.active)
        return WrongState;
    GpBitmap* copy = nullptr;
    const Status status = CopyBlock(*b, 0, 0, b->width, b->height, b->format, &copy);
    *cloneImage = copy;
    return status;
}

GpStatus WINGDIPAPI GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format,
                                        GpBitmap* srcBitmap, GpBitmap** dstBitmap)
{
    if (!IsImage(srcBitmap) || !dstBitmap)
        return InvalidParameter;
    for (REAL v : {x, y, width, height})
        if (!std::isfinite(v))
            return InvalidParameter;
    return GdipCloneBitmapAreaI(INT(std::floor(x)), INT(std::floor(y)), INT(std::ceil(width)), INT(std::ceil(height)),
                                format, srcBitmap, dstBitmap);
}

// The block must lie inside the bitmap (MSDN Bitmap::Clone); PixelFormatDontCare keeps the
// bitmap's own format.
GpStatus WINGDIPAPI GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* srcBitmap,
                                         GpBitmap** dstBitmap)
{
    if (!IsImage(srcBitmap) || !dstBitmap)
        return InvalidParameter;
    *dstBitmap = nullptr;
    const BitmapImpl* b = moxplat::ToImpl(srcBitmap);
    if (b->lock.active)
        return WrongState;
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x > b->width - width || y > b->height - height)
        return InvalidParameter;
    if (format == PixelFormatDontCare)
        format = b->format;
    if (!moxplat::IsStorableFormat(format))
        return InvalidParameter;
    return CopyBlock(*b, x, y, width, height, format, dstBitmap);
}

// A bitmap to draw like the target: 32-bit premultiplied ARGB.
GpStatus WINGDIPAPI GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(bitmap);
    if (!target || !bitmap)
        return InvalidParameter;
    return GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, bitmap);
}

// Turns the image clockwise by quarter turns, then mirrors it left to right when asked; the
// pixels move into memory the bitmap owns (MSDN Image::RotateFlip, RotateFlipType).
GpStatus WINGDIPAPI GdipImageRotateFlip(GpImage* image, RotateFlipType type)
{
    if (!IsImage(image) || type < RotateNoneFlipNone || type > Rotate270FlipX)
        return InvalidParameter;
    BitmapImpl* b = moxplat::ToImpl(image);
    if (b->lock.active)
        return WrongState;
    const int turns = int(type) & 3;
    const bool flip = (int(type) & 4) != 0;
    const int w = b->width, h = b->height;
    const int nw = turns % 2 ? h : w, nh = turns % 2 ? w : h;
    const std::ptrdiff_t stride = moxplat::RowStride(nw, b->format);
    const int bpp = moxplat::BytesPerPixel(b->format);
    std::vector<std::uint8_t> pixels;
    try {
        pixels.assign(std::size_t(stride) * std::size_t(nh), 0);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int dx = x, dy = y;
            switch (turns) {
            case 1:
                dx = h - 1 - y;
                dy = x;
                break;
            case 2:
                dx = w - 1 - x;
                dy = h - 1 - y;
                break;
            case 3:
                dx = y;
                dy = w - 1 - x;
                break;
            default:
                break;
            }
            if (flip)
                dx = nw - 1 - dx;
            std::memcpy(pixels.data() + std::ptrdiff_t(dy) * stride + std::ptrdiff_t(dx) * bpp,
                        b->Row(y) + std::ptrdiff_t(x) * bpp, std::size_t(bpp));
        }
    b->pixels = std::move(pixels);
    b->origin = b->pixels.data();
    b->stride = stride;
    b->width = nw;
    b->height = nh;
    if (turns % 2)
        std::swap(b->dpiX, b->dpiY);
    return Ok;
}

GpStatus WINGDIPAPI GdipGetImageType(GpImage* image, ImageType* type)
{
    if (!IsImage(image) || !type)
        return InvalidParameter;
    *type = ImageTypeBitmap;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetImageBounds(GpImage* image, GpRectF* srcRect, GpUnit* srcUnit)
{
    if (!IsImage(image) || !srcRect || !srcUnit)
        return InvalidParameter;
    const BitmapImpl* b = moxplat::ToImpl(image);
    *srcRect = RectF(0, 0, REAL(b->width), REAL(b->height));
    *srcUnit = UnitPixel;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetImageDimension(GpImage* image, REAL* width, REAL* height)
{
    if (!IsImage(image) || !width || !height)
        return InvalidParameter;
    const BitmapImpl* b = moxplat::ToImpl(image);
    *width = REAL(b->width);
    *height = REAL(b->height);
    return Ok;
}

// 96 DPI unless the program set another.
GpStatus WINGDIPAPI GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution)
{
    if (!IsImage(image) || !resolution)
        return InvalidParameter;
    *resolution = moxplat::ToImpl(image)->dpiX;
    return Ok;
}

GpStatus WINGDIPAPI GdipGetImageVerticalResolution(GpImage* image, REAL* resolution)
{
    if (!IsImage(image) || !resolution)
        return InvalidParameter;
    *resolution = moxplat::ToImpl(image)->dpiY;
    return Ok;
}

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
