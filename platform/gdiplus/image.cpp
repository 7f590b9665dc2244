// GDI+ bitmaps in memory: creation from pixels, size and format queries, pixel reads and the
// bitmap lock.
#include "gdiplus_internal.h"

#include <climits>
#include <cstring>
#include <new>

using namespace Gdiplus;

namespace moxplat {

namespace {

// Larger bitmaps are refused as out of memory rather than attempted.
constexpr std::size_t kMaxBitmapBytes = std::size_t(1) << 30;

std::uint8_t Premultiply(unsigned c, unsigned a)
{
    return std::uint8_t((c * a + 127) / 255);
}

// GDI+ divides through a 8.8 reciprocal of alpha, which lands one step below rounding for many
// values (0x62 at alpha 0x77 reads 0xd1, not 0xd2); opaque pixels come back unchanged.
std::uint8_t Unpremultiply(unsigned c, unsigned a)
{
    const unsigned v = (c * (0xff00u / a)) >> 8;
    return std::uint8_t(v > 255 ? 255 : v);
}

// Copies a width x height block between two buffers, converting pixel formats on the way.
void ConvertBlock(const std::uint8_t* src, std::ptrdiff_t srcStride, PixelFormat srcFormat, std::uint8_t* dst,
                  std::ptrdiff_t dstStride, PixelFormat dstFormat, int width, int height)
{
    const int srcBpp = BytesPerPixel(srcFormat);
    const int dstBpp = BytesPerPixel(dstFormat);
    for (int y = 0; y < height; ++y, src += srcStride, dst += dstStride) {
        if (srcFormat == dstFormat) {
            std::memcpy(dst, src, std::size_t(width) * std::size_t(srcBpp));
            continue;
        }
        for (int x = 0; x < width; ++x)
            WritePixel(dstFormat, dst + x * dstBpp, ReadPixel(srcFormat, src + x * srcBpp));
    }
}

} // namespace

bool IsStorableFormat(PixelFormat format)
{
    return format == PixelFormat24bppRGB || format == PixelFormat32bppRGB || format == PixelFormat32bppARGB ||
           format == PixelFormat32bppPARGB;
}

int BytesPerPixel(PixelFormat format)
{
    return int(GetPixelFormatSize(format) / 8);
}

std::ptrdiff_t RowStride(int width, PixelFormat format)
{
    if (width <= 0)
        return 0;
    const long long bytes = (static_cast<long long>(width) * BytesPerPixel(format) + 3) / 4 * 4;
    return bytes > INT_MAX ? 0 : std::ptrdiff_t(bytes);
}

BitmapImpl* NewBitmap(int width, int height, PixelFormat format, Status* status)
{
    const std::ptrdiff_t stride = RowStride(width, format);
    if (width <= 0 || height <= 0 || !IsStorableFormat(format) || stride == 0) {
        *status = InvalidParameter;
        return nullptr;
    }
    if (std::size_t(height) > kMaxBitmapBytes / std::size_t(stride)) {
        *status = OutOfMemory;
        return nullptr;
    }
    BitmapImpl* bitmap = new (std::nothrow) BitmapImpl;
    if (!bitmap) {
        *status = OutOfMemory;
        return nullptr;
    }
    try {
        bitmap->pixels.assign(std::size_t(stride) * std::size_t(height), 0);
    } catch (const std::bad_alloc&) {
        delete bitmap;
        *status = OutOfMemory;
        return nullptr;
    }
    bitmap->width = width;
    bitmap->height = height;
    bitmap->format = format;
    bitmap->stride = stride;
    bitmap->origin = bitmap->pixels.data();
    *status = Ok;
    return bitmap;
}

ARGB ReadPixel(PixelFormat format, const std::uint8_t* p)
{
    unsigned b = p[0], g = p[1], r = p[2], a = 255;
    if (format == PixelFormat32bppARGB) {
        a = p[3];
    } else if (format == PixelFormat32bppPARGB) {
        a = p[3];
        // A fully transparent pixel keeps its colour bytes.
        if (a != 0) {
            b = Unpremultiply(b, a);
            g = Unpremultiply(g, a);
            r = Unpremultiply(r, a);
        }
    }
    return Color::MakeARGB(BYTE(a), BYTE(r), BYTE(g), BYTE(b));
}

void WritePixel(PixelFormat format, std::uint8_t* p, ARGB argb)
{
    const unsigned a = argb >> 24;
    unsigned r = (argb >> 16) & 0xff, g = (argb >> 8) & 0xff, b = argb & 0xff;
    if (format == PixelFormat32bppPARGB) {
        r = Premultiply(r, a);
        g = Premultiply(g, a);
        b = Premultiply(b, a);
    }
    p[0] = std::uint8_t(b);
    p[1] = std::uint8_t(g);
    p[2] = std::uint8_t(r);
    if (format == PixelFormat32bppRGB)
        p[3] = 0xff;
    else if (format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB)
        p[3] = std::uint8_t(a);
}

} // namespace moxplat

using moxplat::BitmapImpl;
using moxplat::BytesPerPixel;

namespace Gdiplus {
namespace DllExports {

// With scan0 the bitmap is made over the caller's pixels, as GDI+ does: it neither copies nor
// frees them, drawing and write locks change them in place, and the caller keeps them alive
// until the bitmap is disposed. A negative stride names a bottom-up block whose top row is at
// scan0. Without scan0 the bitmap owns new, zeroed memory.
extern "C" GpStatus WINGDIPAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format,
                                                         BYTE* scan0, GpBitmap** bitmap)
{
    if (!moxplat::GdiplusReady())
        return moxplat::NotInitialized(bitmap);
    if (!bitmap)
        return InvalidParameter;
    // A caller's block with stride 0 is refused before anything is written.
    if (scan0 && stride == 0)
        return InvalidParameter;
    *bitmap = nullptr;
    if (width <= 0 || height <= 0 || !moxplat::IsStorableFormat(format))
        return InvalidParameter;
    if (!scan0) {
        Status status = Ok;
        BitmapImpl* b = moxplat::NewBitmap(width, height, format, &status);
        if (!b)
            return status;
        *bitmap = b;
        return Ok;
    }
    // Windows takes any whole number of 32-bit words, even one shorter than a row (rows then
    // overlap, the caller's layout); drawing refuses such a bitmap as a target.
    if (stride % 4 != 0)
        return InvalidParameter;
    BitmapImpl* b = new (std::nothrow) BitmapImpl;
    if (!b)
        return OutOfMemory;
    b->width = width;
    b->height = height;
    b->format = format;
    b->stride = stride;
    b->origin = scan0;
    *bitmap = b;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipDisposeImage(GpImage* image)
{
    if (!image)
        return InvalidParameter;
    BitmapImpl* b = moxplat::ToImpl(image);
    // Anything that is not a live image is refused, not freed.
    if (b->tag != BitmapImpl::kTag)
        return ObjectBusy;
    b->tag = 0;
    delete b;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipGetImageWidth(GpImage* image, UINT* width)
{
    if (!image || !width)
        return InvalidParameter;
    *width = UINT(moxplat::ToImpl(image)->width);
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipGetImageHeight(GpImage* image, UINT* height)
{
    if (!image || !height)
        return InvalidParameter;
    *height = UINT(moxplat::ToImpl(image)->height);
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipGetImagePixelFormat(GpImage* image, PixelFormat* format)
{
    if (!image || !format)
        return InvalidParameter;
    *format = moxplat::ToImpl(image)->format;
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color)
{
    if (!bitmap || !color)
        return InvalidParameter;
    const BitmapImpl* b = moxplat::ToImpl(bitmap);
    if (b->lock.active)
        return WrongState;
    if (x < 0 || y < 0 || x >= b->width || y >= b->height)
        return InvalidParameter;
    *color = moxplat::ReadPixel(b->format, b->Row(y) + std::ptrdiff_t(x) * BytesPerPixel(b->format));
    return Ok;
}

// A lock in the bitmap's own format hands out the bitmap's own rows; any other format (or a
// buffer of the caller's, ImageLockModeUserInputBuf) gets a converted copy that a write lock
// copies back at unlock. 32bppARGB read as 24bppRGB keeps the colour channels as stored and
// drops alpha.
extern "C" GpStatus WINGDIPAPI GdipBitmapLockBits(GpBitmap* bitmap, GDIPCONST GpRect* rect, UINT flags,
                                                  PixelFormat format, BitmapData* lockedBitmapData)
{
    if (!bitmap || !lockedBitmapData)
        return InvalidParameter;
    BitmapImpl* b = moxplat::ToImpl(bitmap);
    if (b->lock.active)
        return WrongState;
    const Rect r = rect ? *rect : Rect(0, 0, b->width, b->height);
    if (r.X < 0 || r.Y < 0 || r.Width <= 0 || r.Height <= 0 || r.X > b->width - r.Width || r.Y > b->height - r.Height)
        return InvalidParameter;
    if (!(flags & (ImageLockModeRead | ImageLockModeWrite)) || !moxplat::IsStorableFormat(format))
        return InvalidParameter;

    BitmapImpl::Lock lock;
    lock.rect = r;
    lock.flags = flags;
    lock.format = format;
    const int bpp = BytesPerPixel(format);
    if (flags & ImageLockModeUserInputBuf) {
        const long long rowBytes = static_cast<long long>(r.Width) * bpp;
        const long long stride = lockedBitmapData->Stride;
        if (!lockedBitmapData->Scan0 || (stride < 0 ? -stride : stride) < rowBytes)
            return InvalidParameter;
        lock.buffer = static_cast<std::uint8_t*>(lockedBitmapData->Scan0);
        lock.bufferStride = lockedBitmapData->Stride;
    } else if (format == b->format) {
        lock.direct = true;
        lock.buffer = b->Row(r.Y) + std::ptrdiff_t(r.X) * bpp;
        lock.bufferStride = b->stride;
    } else {
        lock.bufferStride = moxplat::RowStride(r.Width, format);
        try {
            lock.converted.assign(std::size_t(lock.bufferStride) * std::size_t(r.Height), 0);
        } catch (const std::bad_alloc&) {
            return OutOfMemory;
        }
        lock.buffer = lock.converted.data();
    }
    if (!lock.direct && (flags & ImageLockModeRead))
        moxplat::ConvertBlock(b->Row(r.Y) + std::ptrdiff_t(r.X) * BytesPerPixel(b->format), b->stride, b->format,
                              lock.buffer, lock.bufferStride, format, r.Width, r.Height);

    lockedBitmapData->Width = UINT(r.Width);
    lockedBitmapData->Height = UINT(r.Height);
    lockedBitmapData->Stride = INT(lock.bufferStride);
    lockedBitmapData->PixelFormat = format;
    lockedBitmapData->Scan0 = lock.buffer;
    lockedBitmapData->Reserved = 0;
    lock.active = true;
    b->lock = std::move(lock);
    return Ok;
}

extern "C" GpStatus WINGDIPAPI GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedBitmapData)
{
    if (!bitmap || !lockedBitmapData)
        return InvalidParameter;
    BitmapImpl* b = moxplat::ToImpl(bitmap);
    BitmapImpl::Lock& lock = b->lock;
    if (!lock.active)
        return WrongState;
    if (!lock.direct && (lock.flags & ImageLockModeWrite))
        moxplat::ConvertBlock(lock.buffer, lock.bufferStride, lock.format,
                              b->Row(lock.rect.Y) + std::ptrdiff_t(lock.rect.X) * BytesPerPixel(b->format), b->stride,
                              b->format, lock.rect.Width, lock.rect.Height);
    lock = BitmapImpl::Lock();
    return Ok;
}

} // namespace DllExports
} // namespace Gdiplus
