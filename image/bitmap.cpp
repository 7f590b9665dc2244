// CMoxBitmap: an opaque picture in file form (a GDI+ bitmap) or raw form (a private copy of
// bottom-up 24-bit DIB bytes with their header), with an optional exact-match colour key.
#include <MoxImage2.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

#include "image/log.h"

namespace {

// Reaches the protected member that holds an image's last failed status, named lastResult in the
// SDK's headers. MinGW-w64's headers keep it private (as lastStatus): there is no member to
// reach, and the status is read through GetLastStatus, which clears it.
struct StatusPeek : Gdiplus::Image {
    template <class T> static auto Member(int) -> decltype(&T::lastResult) { return &T::lastResult; }
    template <class T> static std::nullptr_t Member(...) { return nullptr; }
};

// The status of an image's last failed call, read without clearing it (GetLastStatus clears it),
// so that a host asking afterwards still gets it.
Gdiplus::Status PeekStatus(const Gdiplus::Image& image)
{
    Gdiplus::Status Gdiplus::Image::*member = StatusPeek::Member<StatusPeek>(0);
    if (member)
        return image.*member;
    return const_cast<Gdiplus::Image&>(image).GetLastStatus();
}

// What GDI+'s statuses mean for a file load.
const char* LoadFailure(Gdiplus::Status status)
{
    switch (status) {
    case Gdiplus::InvalidParameter:
        return "no such file, not a file, or not readable";
    case Gdiplus::OutOfMemory:
        return "not an image this platform decodes, damaged, or too large";
    default:
        return "the platform refused it";
    }
}

void DeleteAttributes(void* p)
{
    delete static_cast<Gdiplus::ImageAttributes*>(p);
}

void DeleteGdipBitmap(void* p)
{
    delete static_cast<Gdiplus::Bitmap*>(p);
}

void DeleteBytes(void* p)
{
    delete[] static_cast<unsigned char*>(p);
}

} // namespace

CMoxBitmap::CMoxBitmap()
    : m_pImageAttributes(nullptr), m_pBitmap(nullptr), m_keyR(0), m_keyG(0), m_keyB(0), m_keyRGB(0), m_bColorKey(0),
      m_pMemBitmap(nullptr), m_nWidth(0), m_nHeight(0), m_bZoom(0)
{
    std::memset(&m_bitmapHeader, 0, sizeof m_bitmapHeader);
}

CMoxBitmap::CMoxBitmap(const unsigned char* pBits, int nBytes, BITMAPINFO& header, int bZoom) : CMoxBitmap()
{
    Init(pBits, nBytes, header, bZoom);
}

CMoxBitmap::CMoxBitmap(const wchar_t* path) : CMoxBitmap()
{
    Init(path);
}

CMoxBitmap::CMoxBitmap(const unsigned char* pBits, int nBytes, BITMAPINFO& header, unsigned char keyR,
                       unsigned char keyG, unsigned char keyB)
    : CMoxBitmap()
{
    Init(pBits, nBytes, header, keyR, keyG, keyB);
}

CMoxBitmap::CMoxBitmap(const wchar_t* path, unsigned char keyR, unsigned char keyG, unsigned char keyB) : CMoxBitmap()
{
    Init(path, keyR, keyG, keyB);
}

// Copies share the attributes, the GDI+ bitmap and the raw bytes; the owners release them once.
CMoxBitmap::CMoxBitmap(const CMoxBitmap& other) = default;
CMoxBitmap& CMoxBitmap::operator=(const CMoxBitmap& other) = default;

CMoxBitmap::~CMoxBitmap()
{
    // Release order: attributes, GDI+ bitmap, raw bytes.
    m_AttributesOwner.reset();
    m_pImageAttributes = nullptr;
    m_BitmapOwner.reset();
    m_pBitmap = nullptr;
    m_MemBitmapOwner.reset();
    m_pMemBitmap = nullptr;
}

// The blitter copies 24-bit pixels. A file whose pixels the platform keeps in another format
// (a PNG or GIF with transparency, a 32-bit BMP) would need converting on every draw, whole or
// in part; instead it is converted once, on the first draw, at the cost of three more bytes a
// pixel for as long as the image lives. Copies share the converted pixels.
struct CMoxBitmap::Pixels24 {
    enum class State { Unknown, Native, Converted } state = State::Unknown;
    std::vector<unsigned char> bytes; // rows of exactly width x 3 bytes, top row first
};

// Drops this object's share of whichever form it holds.
static void ReleaseForm(CMoxBitmap& image, std::shared_ptr<void>& memOwner, std::shared_ptr<void>& bitmapOwner,
                        int& memBytes)
{
    memOwner.reset();
    image.m_pMemBitmap = nullptr;
    memBytes = 0;
    bitmapOwner.reset();
    image.m_pBitmap = nullptr;
}

void CMoxBitmap::Init(const unsigned char* pBits, int nBytes, BITMAPINFO& header, unsigned char keyR,
                      unsigned char keyG, unsigned char keyB)
{
    Init(pBits, nBytes, header, m_bZoom); // the keyed form keeps the zoom flag it had
    SetColorKey(keyR, keyG, keyB);
}

void CMoxBitmap::Init(const unsigned char* pBits, int nBytes, BITMAPINFO& header, int bZoom)
{
    // A negative count or missing bytes keep nothing: the image is in raw form (its header still
    // describes it) but holds no pixels, so the readers draw nothing. At least one byte is
    // allocated so that the raw form is recognisable by its non-null pointer.
    const int keep = (pBits && nBytes > 0) ? nBytes : 0;
    if (keep == 0)
        moximage2::Log("CMoxBitmap::Init: no pixel bytes (%d bytes at %p); the image draws nothing", nBytes,
                       static_cast<const void*>(pBits));
    unsigned char* bytes = new (std::nothrow) unsigned char[keep > 0 ? keep : 1];
    // Copied before the old form is released: the caller may pass this image's own bytes.
    if (bytes && keep > 0)
        std::memcpy(bytes, pBits, static_cast<size_t>(keep));
    const BITMAPINFO copy = header;

    ReleaseForm(*this, m_MemBitmapOwner, m_BitmapOwner, m_nMemBytes);
    m_Pixels24.reset();
    if (bytes) {
        m_MemBitmapOwner.reset(bytes, DeleteBytes);
        m_pMemBitmap = bytes;
        m_nMemBytes = keep;
    }
    m_nWidth = copy.bmiHeader.biWidth;
    m_nHeight = copy.bmiHeader.biHeight;
    m_bZoom = bZoom;
    m_bitmapHeader = copy;
}

void CMoxBitmap::Init(const wchar_t* path)
{
    ReleaseForm(*this, m_MemBitmapOwner, m_BitmapOwner, m_nMemBytes);
    m_Pixels24 = std::make_shared<Pixels24>();
    // A failed load still leaves a bitmap object, whose native handle is null.
    Gdiplus::Bitmap* bitmap = new Gdiplus::Bitmap(path);
    if (bitmap) {
        m_BitmapOwner.reset(bitmap, DeleteGdipBitmap);
        m_pBitmap = bitmap;
        const Gdiplus::Status status = PeekStatus(*bitmap);
        if (status != Gdiplus::Ok)
            moximage2::Log("cannot load bitmap %s: %s (%s)", moximage2::Utf8(path).c_str(),
                           moximage2::StatusName(status).c_str(), LoadFailure(status));
    }
}

void CMoxBitmap::Init(const wchar_t* path, unsigned char keyR, unsigned char keyG, unsigned char keyB)
{
    Init(path);
    SetColorKey(keyR, keyG, keyB);
}

void CMoxBitmap::SetColorKey(unsigned char keyR, unsigned char keyG, unsigned char keyB)
{
    m_AttributesOwner.reset();
    m_pImageAttributes = nullptr;

    Gdiplus::ImageAttributes* attributes = new Gdiplus::ImageAttributes();
    if (attributes) {
        m_AttributesOwner.reset(attributes, DeleteAttributes);
        m_pImageAttributes = attributes;
        const Gdiplus::Color key(255, keyR, keyG, keyB);
        attributes->SetColorKey(key, key, Gdiplus::ColorAdjustTypeDefault);
    }
    m_keyRGB = (ULONG(keyR) << 16) | (ULONG(keyG) << 8) | ULONG(keyB);
    m_keyR = keyR;
    m_keyG = keyG;
    m_keyB = keyB;
    m_bColorKey = 1;
}

int CMoxBitmap::GetWidth()
{
    if (m_pMemBitmap)
        return m_nWidth;
    return m_pBitmap ? static_cast<int>(m_pBitmap->GetWidth()) : 0;
}

int CMoxBitmap::GetHeight()
{
    if (m_pMemBitmap)
        return m_nHeight;
    return m_pBitmap ? static_cast<int>(m_pBitmap->GetHeight()) : 0;
}

unsigned char CMoxBitmap::GetKeyR()
{
    return m_keyR;
}
unsigned char CMoxBitmap::GetKeyG()
{
    return m_keyG;
}
unsigned char CMoxBitmap::GetKeyB()
{
    return m_keyB;
}
unsigned long CMoxBitmap::GetKeyRGB()
{
    return m_keyRGB;
}
int CMoxBitmap::IsColorKey()
{
    return m_bColorKey;
}
int CMoxBitmap::IsZoom()
{
    return m_bZoom;
}
unsigned char* CMoxBitmap::GetMemBitmap()
{
    return m_pMemBitmap;
}
BITMAPINFO* CMoxBitmap::GetBitmapHeader()
{
    return &m_bitmapHeader;
}
Gdiplus::Bitmap* CMoxBitmap::GetBitmap()
{
    return m_pBitmap;
}
Gdiplus::ImageAttributes* CMoxBitmap::GetImageAttributes()
{
    return m_pImageAttributes;
}

// Null for a 24-bit image, which the blitter reads in place, and while the image cannot be
// locked (someone else holds its lock): the next draw tries again.
const unsigned char* CMoxBitmap::GetPixels24()
{
    if (!m_pBitmap || !m_Pixels24)
        return nullptr;
    Pixels24& p = *m_Pixels24;
    if (p.state == Pixels24::State::Unknown) {
        const int w = GetWidth(), h = GetHeight();
        if (m_pBitmap->GetPixelFormat() == PixelFormat24bppRGB) {
            p.state = Pixels24::State::Native;
        } else if (w > 0 && h > 0) {
            Gdiplus::Rect whole(0, 0, w, h);
            Gdiplus::BitmapData data{};
            if (m_pBitmap->LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) == Gdiplus::Ok) {
                const std::size_t rowBytes = std::size_t(w) * 3;
                if (data.Scan0 && data.Width == UINT(w) && data.Height == UINT(h)) {
                    p.bytes.resize(rowBytes * std::size_t(h));
                    const auto* row = static_cast<const unsigned char*>(data.Scan0);
                    for (int y = 0; y < h; ++y, row += data.Stride)
                        std::memcpy(&p.bytes[std::size_t(y) * rowBytes], row, rowBytes);
                    p.state = Pixels24::State::Converted;
                }
                m_pBitmap->UnlockBits(&data);
            }
        }
    }
    return p.state == Pixels24::State::Converted ? p.bytes.data() : nullptr;
}
