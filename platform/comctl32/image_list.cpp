// Image lists (Microsoft's Image Lists and ImageList_* reference): images of one size kept by
// index, each with a monochrome mask when the list has ILC_MASK (1 = transparent), drawn with
// GDI's classic mask pair. Every image is held as three bitmaps: the colour image as added, the
// mask, and the image with its transparent pixels black, which transparent drawing ORs in.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct Image {
    HBITMAP color = nullptr;  // 32-bit
    HBITMAP mask = nullptr;   // 1-bit; null in a list without masks
    HBITMAP masked = nullptr; // 32-bit, black where the mask is set
};

struct List {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    COLORREF background = CLR_NONE;
    std::vector<Image> images;
    bool HasMask() const { return (flags & ILC_MASK) != 0; }
};

// Handles are keys into this table, never pointers the program could hand back wrongly.
std::mutex g_mutex;
std::unordered_map<std::uintptr_t, std::shared_ptr<List>> g_lists;
std::uintptr_t g_nextKey = 0x1000;

std::shared_ptr<List> Find(HIMAGELIST himl)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto it = g_lists.find(reinterpret_cast<std::uintptr_t>(himl));
    return it == g_lists.end() ? nullptr : it->second;
}

// A bitmap's pixels as top-down 0x00RRGGBB, whatever its depth (a monochrome one gives black
// for 0 and white for 1).
bool PixelsOf(HBITMAP bitmap, int* width, int* height, std::vector<std::uint32_t>* out)
{
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    out->assign(static_cast<std::size_t>(bm.bmWidth) * static_cast<std::size_t>(bm.bmHeight), 0);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), out->data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    return rows == bm.bmHeight;
}

HBITMAP NewColorBitmap(int cx, int cy, std::uint32_t** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(p);
    return b;
}

void Free(Image& image)
{
    for (HBITMAP b : {image.color, image.mask, image.masked})
        if (b)
            DeleteObject(b);
    image = Image{};
}

// One image cut from column `column` of the source pixels; transparent(x, y) says where the mask
// is set.
template <class Transparent>
bool MakeImage(const List& list, const std::vector<std::uint32_t>& src, int srcWidth, int column,
               Transparent transparent, bool blackenColor, Image* out)
{
    std::uint32_t* color = nullptr;
    std::uint32_t* masked = nullptr;
    Image image;
    image.color = NewColorBitmap(list.cx, list.cy, &color);
    if (list.HasMask())
        image.masked = NewColorBitmap(list.cx, list.cy, &masked);
    const int wordsPerRow = (list.cx + 15) / 16; // CreateBitmap's rows are whole WORDs
    std::vector<std::uint8_t> maskBits(static_cast<std::size_t>(wordsPerRow) * 2 * static_cast<std::size_t>(list.cy));
    if (!image.color || (list.HasMask() && !image.masked)) {
        Free(image);
        return false;
    }
    for (int y = 0; y < list.cy; ++y)
        for (int x = 0; x < list.cx; ++x) {
            const int sx = column * list.cx + x;
            const std::uint32_t p = sx < srcWidth ? src[static_cast<std::size_t>(y) * srcWidth + sx] & 0xFFFFFFu : 0;
            const std::size_t at = static_cast<std::size_t>(y) * list.cx + x;
            const bool clear = transparent(sx, y, p);
            color[at] = clear && blackenColor ? 0 : p;
            if (!list.HasMask())
                continue;
            masked[at] = clear ? 0 : p;
            if (clear)
                maskBits[static_cast<std::size_t>(y) * wordsPerRow * 2 + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    if (list.HasMask()) {
        image.mask = CreateBitmap(list.cx, list.cy, 1, 1, maskBits.data());
        if (!image.mask) {
            Free(image);
            return false;
        }
    }
    *out = image;
    return true;
}

// The images of a strip as wide as some multiple of the list's width (at least one image), each
// masked by the mask strip, or by crMask's colour, whose pixels turn black in the images
// (Microsoft's ImageList_AddMasked), or not at all.
bool CutStrip(const List& list, HBITMAP hbmImage, HBITMAP hbmMask, const COLORREF* crMask, std::vector<Image>* out)
{
    int w = 0, h = 0, mw = 0, mh = 0;
    std::vector<std::uint32_t> src, mask;
    if (!PixelsOf(hbmImage, &w, &h, &src) || h < list.cy || w < list.cx)
        return false;
    const bool haveMask = list.HasMask() && hbmMask && PixelsOf(hbmMask, &mw, &mh, &mask);
    const std::uint32_t key = crMask ? ((GetRValue(*crMask) << 16) | (GetGValue(*crMask) << 8) | GetBValue(*crMask)) : 0;
    for (int i = 0; i < w / list.cx; ++i) {
        Image image;
        const bool made = MakeImage(list, src, w, i, [&](int sx, int y, std::uint32_t p) {
            if (crMask)
                return p == key;
            return haveMask && sx < mw && y < mh && (mask[static_cast<std::size_t>(y) * mw + sx] & 0xFFFFFFu) != 0;
        }, crMask != nullptr && list.HasMask(), &image);
        if (!made) {
            for (Image& m : *out)
                Free(m);
            out->clear();
            return false;
        }
        out->push_back(image);
    }
    return true;
}

int AddStrip(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask, const COLORREF* crMask)
{
    const std::shared_ptr<List> list = Find(himl);
    std::vector<Image> added;
    if (!list || !CutStrip(*list, hbmImage, hbmMask, crMask, &added))
        return -1;
    std::lock_guard<std::mutex> lock(g_mutex);
    const int first = static_cast<int>(list->images.size());
    list->images.insert(list->images.end(), added.begin(), added.end());
    return first;
}

// Blits one of the image's bitmaps through a memory DC.
void Blit(HDC dst, int x, int y, int w, int h, HBITMAP bitmap, DWORD rop)
{
    HDC mem = CreateCompatibleDC(dst);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(dst, x, y, w, h, mem, 0, 0, rop);
    SelectObject(mem, old);
    DeleteDC(mem);
}

} // namespace

extern "C" {

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow)
{
    (void)cInitial; // capacity hints: images are kept one by one
    (void)cGrow;
    if (cx <= 0 || cy <= 0 || cx > 32767 || cy > 32767)
        return nullptr;
    auto list = std::make_shared<List>();
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    std::lock_guard<std::mutex> lock(g_mutex);
    const std::uintptr_t key = g_nextKey++;
    g_lists[key] = list;
    return reinterpret_cast<HIMAGELIST>(key);
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST himl)
{
    std::shared_ptr<List> list;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        const auto it = g_lists.find(reinterpret_cast<std::uintptr_t>(himl));
        if (it == g_lists.end())
            return FALSE;
        list = it->second;
        g_lists.erase(it);
    }
    for (Image& image : list->images)
        Free(image);
    return TRUE;
}

int WINAPI ImageList_GetImageCount(HIMAGELIST himl)
{
    const std::shared_ptr<List> list = Find(himl);
    std::lock_guard<std::mutex> lock(g_mutex);
    return list ? static_cast<int>(list->images.size()) : 0;
}

// New images are black with a clear mask (Microsoft's ImageList_SetImageCount).
BOOL WINAPI ImageList_SetImageCount(HIMAGELIST himl, UINT uNewCount)
{
    const std::shared_ptr<List> list = Find(himl);
    if (!list || uNewCount > 100000)
        return FALSE;
    std::vector<Image> removed, added;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        while (list->images.size() > uNewCount) {
            removed.push_back(list->images.back());
            list->images.pop_back();
        }
    }
    for (Image& image : removed)
        Free(image);
    const std::vector<std::uint32_t> black(static_cast<std::size_t>(list->cx) * static_cast<std::size_t>(list->cy), 0);
    for (std::size_t n = static_cast<std::size_t>(ImageList_GetImageCount(himl)); n < uNewCount; ++n) {
        Image image;
        if (!MakeImage(*list, black, list->cx, 0, [](int, int, std::uint32_t) { return false; }, false, &image))
            return FALSE;
        std::lock_guard<std::mutex> lock(g_mutex);
        list->images.push_back(image);
    }
    return TRUE;
}

int WINAPI ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask)
{
    return AddStrip(himl, hbmImage, hbmMask, nullptr);
}

// The key colour's pixels turn black in the program's own bitmap as well as in the list's copy
// (Microsoft's ImageList_AddMasked: "each pixel of this color in the specified bitmap is changed
// to black"; Wine does the same).
int WINAPI ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask)
{
    const int first = AddStrip(himl, hbmImage, nullptr, crMask == CLR_NONE ? nullptr : &crMask);
    const std::shared_ptr<List> list = Find(himl);
    int w = 0, h = 0;
    std::vector<std::uint32_t> pixels;
    if (first < 0 || crMask == CLR_NONE || !list || !list->HasMask() || !PixelsOf(hbmImage, &w, &h, &pixels))
        return first;
    const std::uint32_t key = (GetRValue(crMask) << 16) | (GetGValue(crMask) << 8) | GetBValue(crMask);
    for (std::uint32_t& p : pixels)
        if ((p & 0xFFFFFFu) == key)
            p = 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    SetDIBits(screen, hbmImage, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return first;
}

BOOL WINAPI ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask)
{
    const std::shared_ptr<List> list = Find(himl);
    std::vector<Image> cut;
    if (!list || i < 0 || i >= ImageList_GetImageCount(himl) || !CutStrip(*list, hbmImage, hbmMask, nullptr, &cut) ||
        cut.empty())
        return FALSE;
    Image old;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        old = list->images[static_cast<std::size_t>(i)];
        list->images[static_cast<std::size_t>(i)] = cut[0];
    }
    Free(old);
    for (std::size_t n = 1; n < cut.size(); ++n)
        Free(cut[n]);
    return TRUE;
}

// i == -1 removes every image.
BOOL WINAPI ImageList_Remove(HIMAGELIST himl, int i)
{
    const std::shared_ptr<List> list = Find(himl);
    if (!list)
        return FALSE;
    std::vector<Image> removed;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (i == -1) {
            removed.swap(list->images);
        } else if (i >= 0 && i < static_cast<int>(list->images.size())) {
            removed.push_back(list->images[static_cast<std::size_t>(i)]);
            list->images.erase(list->images.begin() + i);
        } else {
            return FALSE;
        }
    }
    for (Image& image : removed)
        Free(image);
    return TRUE;
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy)
{
    const std::shared_ptr<List> list = Find(himl);
    if (!list || !cx || !cy)
        return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

COLORREF WINAPI ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk)
{
    const std::shared_ptr<List> list = Find(himl);
    if (!list)
        return CLR_NONE;
    std::lock_guard<std::mutex> lock(g_mutex);
    const COLORREF previous = list->background;
    list->background = clrBk;
    return previous;
}

COLORREF WINAPI ImageList_GetBkColor(HIMAGELIST himl)
{
    const std::shared_ptr<List> list = Find(himl);
    std::lock_guard<std::mutex> lock(g_mutex);
    return list ? list->background : CLR_NONE;
}

// The bitmaps stay the list's: the program reads them and must not delete them.
BOOL WINAPI ImageList_GetImageInfo(HIMAGELIST himl, int i, IMAGEINFO* pImageInfo)
{
    const std::shared_ptr<List> list = Find(himl);
    if (!list || !pImageInfo)
        return FALSE;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (i < 0 || i >= static_cast<int>(list->images.size()))
        return FALSE;
    const Image& image = list->images[static_cast<std::size_t>(i)];
    *pImageInfo = IMAGEINFO{};
    pImageInfo->hbmImage = image.color;
    pImageInfo->hbmMask = image.mask;
    pImageInfo->rcImage = RECT{0, 0, list->cx, list->cy};
    return TRUE;
}

BOOL WINAPI ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle)
{
    return ImageList_DrawEx(himl, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}

// dx, dy of 0 draw the whole image, else its top-left part. Without ILD_TRANSPARENT a masked image
// shows its background colour under the mask (rgbBk, CLR_DEFAULT for the list's own), and is
// drawn transparently when that colour is CLR_NONE; ILD_MASK draws the mask, ILD_IMAGE the image
// alone (Microsoft's ImageList_DrawEx and IMAGELISTDRAWPARAMS).
BOOL WINAPI ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                             COLORREF rgbFg, UINT fStyle)
{
    (void)rgbFg; // the blend colour of the ILD_BLEND styles, which are not provided
    const std::shared_ptr<List> list = Find(himl);
    if (!list || !hdcDst)
        return FALSE;
    Image image;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (i < 0 || i >= static_cast<int>(list->images.size()))
            return FALSE;
        image = list->images[static_cast<std::size_t>(i)];
    }
    const int w = dx > 0 ? std::min(dx, list->cx) : list->cx;
    const int h = dy > 0 ? std::min(dy, list->cy) : list->cy;
    const COLORREF background = rgbBk == CLR_DEFAULT ? ImageList_GetBkColor(himl) : rgbBk;
    // A monochrome mask blits onto colour as the destination's text colour (0) and background
    // colour (1).
    const COLORREF oldText = SetTextColor(hdcDst, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(hdcDst, RGB(255, 255, 255));
    if (!image.mask || (fStyle & ILD_IMAGE)) {
        Blit(hdcDst, x, y, w, h, image.color, SRCCOPY);
    } else if (fStyle & ILD_MASK) {
        Blit(hdcDst, x, y, w, h, image.mask, SRCCOPY);
    } else if ((fStyle & ILD_TRANSPARENT) || background == CLR_NONE) {
        Blit(hdcDst, x, y, w, h, image.mask, SRCAND);
        Blit(hdcDst, x, y, w, h, image.masked, SRCPAINT);
    } else {
        Blit(hdcDst, x, y, w, h, image.masked, SRCCOPY);
        SetBkColor(hdcDst, background);
        Blit(hdcDst, x, y, w, h, image.mask, SRCPAINT);
    }
    SetTextColor(hdcDst, oldText);
    SetBkColor(hdcDst, oldBack);
    return TRUE;
}

HIMAGELIST WINAPI ImageList_LoadImageW(HINSTANCE hi, LPCWSTR lpbmp, int cx, int cGrow, COLORREF crMask, UINT uType,
                                       UINT uFlags)
{
    if (uType != IMAGE_BITMAP || !lpbmp)
        return nullptr;
    auto bitmap = static_cast<HBITMAP>(LoadImageW(hi, lpbmp, IMAGE_BITMAP, 0, 0, uFlags | LR_CREATEDIBSECTION));
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    HIMAGELIST list = ImageList_Create(cx > 0 ? cx : bm.bmHeight, bm.bmHeight,
                                       ILC_COLOR32 | (crMask != CLR_NONE ? ILC_MASK : 0), 0, cGrow);
    if (list && ImageList_AddMasked(list, bitmap, crMask) < 0) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    DeleteObject(bitmap);
    return list;
}

HIMAGELIST WINAPI ImageList_LoadImageA(HINSTANCE hi, LPCSTR lpbmp, int cx, int cGrow, COLORREF crMask, UINT uType,
                                       UINT uFlags)
{
    if (IS_INTRESOURCE(lpbmp))
        return ImageList_LoadImageW(hi, reinterpret_cast<LPCWSTR>(lpbmp), cx, cGrow, crMask, uType, uFlags);
    const int n = MultiByteToWideChar(CP_ACP, 0, lpbmp, -1, nullptr, 0);
    if (n <= 0)
        return nullptr;
    std::vector<wchar_t> name(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, lpbmp, -1, name.data(), n);
    return ImageList_LoadImageW(hi, name.data(), cx, cGrow, crMask, uType, uFlags);
}

} // extern "C"
