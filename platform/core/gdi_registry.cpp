#include "gdi_registry.h"

#include <algorithm>
#include <chrono>

namespace moxplat {

namespace {
template <class Map> typename Map::mapped_type* Find(Map& map, const void* h)
{
    if (!h)
        return nullptr;
    auto it = map.find(Key(h));
    return it == map.end() ? nullptr : &it->second;
}
} // namespace

BitmapObject* Registry::Bitmap(const void* h)
{
    return Find(bitmaps, h);
}
DCObject* Registry::DC(const void* h)
{
    return Find(dcs, h);
}
WindowObject* Registry::Window(const void* h)
{
    return Find(windows, h);
}
GdiObject* Registry::Object(const void* h)
{
    return Find(objects, h);
}

Registry& TheRegistry()
{
    // Never destroyed: windows and DCs may still be released by static destructors of a host.
    static Registry* registry = [] {
        auto* reg = new Registry;
        std::uintptr_t key = reg->NewHandle();
        BitmapObject& stock = reg->bitmaps[key];
        stock.stock = true;
        stock.width = 1;
        stock.height = 1;
        stock.bitsPerPixel = 1;
        stock.dibSection = false;
        stock.colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        reg->stockBitmap = HandleOf<HBITMAP>(key);
        key = reg->NewHandle();
        reg->dcs[key].kind = DCKind::Screen;
        reg->screenDC = HandleOf<HDC>(key);
        return reg;
    }();
    return *registry;
}

namespace {

// A memory DC's bitmap as the pixels its drawing calls see: top row first.
bool BitmapSurfaceLocked(const BitmapObject* b, PixelSurface* out)
{
    if (!b || !b->bits)
        return false;
    out->bits = b->bits.get();
    out->stride = static_cast<std::ptrdiff_t>(b->rowBytes);
    out->bitsPerPixel = b->bitsPerPixel;
    out->colors = b->colors.empty() ? nullptr : b->colors.data();
    out->colorCount = static_cast<int>(b->colors.size());
    for (int i = 0; i < 3; ++i)
        out->masks[i] = b->masks[i];
    out->monochromeDDB = !b->dibSection && b->bitsPerPixel == 1;
    if (!b->topDown) {
        // Bottom-up: the top row is stored last.
        out->bits += (b->height - 1) * b->rowBytes;
        out->stride = -out->stride;
    }
    out->width = b->width;
    out->height = b->height;
    return true;
}

} // namespace

bool SurfaceLocked(Registry& reg, HDC dc, PixelSurface* out)
{
    return SurfaceAndDCLocked(reg, dc, out) != nullptr;
}

void DrawableBoxesLocked(Registry& reg, HDC dc, const PixelSurface& s, std::vector<RECT>* out)
{
    out->clear();
    const DCObject* d = reg.DC(dc);
    if (!d || s.width <= 0 || s.height <= 0)
        return;
    if (d->kind == DCKind::Window)
        WindowVisibleBoxesLocked(reg, d->hwnd, d->wholeWindow, s, out);
    else
        out->push_back(RECT{0, 0, s.width, s.height});
    // The clip region and the update rectangle cut each box; both lists are disjoint, so the
    // pieces are too.
    auto cut = [out](const std::vector<RECT>& by) {
        std::vector<RECT> kept;
        for (const RECT& a : *out)
            for (const RECT& b : by) {
                const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                             std::min(a.bottom, b.bottom)};
                if (r.left < r.right && r.top < r.bottom)
                    kept.push_back(r);
            }
        out->swap(kept);
    };
    if (d->paintClipped)
        cut(std::vector<RECT>{d->paintClip});
    if (d->draw.clipped)
        cut(d->draw.clip);
}

const DCObject* SurfaceAndDCLocked(Registry& reg, HDC dc, PixelSurface* out)
{
    const DCObject* d = reg.DC(dc);
    if (!d || !out)
        return nullptr;
    if (d->kind == DCKind::Memory)
        return BitmapSurfaceLocked(reg.Bitmap(d->bitmap), out) ? d : nullptr;
    if (d->kind == DCKind::Window)
        return WindowSurfaceLocked(reg, d->hwnd, d->wholeWindow, out) ? d : nullptr;
    return nullptr;
}

bool PatternColorOfDCLocked(Registry& reg, HDC dc, COLORREF* color)
{
    const DCObject* d = reg.DC(dc);
    const GdiObject* brush = reg.Object(SelectedBrushLocked(reg, dc));
    if (!d || !brush || brush->brushStyle != BS_SOLID)
        return false;
    *color = brush->dcColored ? d->draw.dcBrushColor : brush->color;
    return true;
}

void MarkDrawnLocked(Registry& reg, HDC dc)
{
    const DCObject* d = reg.DC(dc);
    if (d && d->kind == DCKind::Window)
        if (WindowObject* w = reg.Window(d->hwnd)) {
            w->dirty = true;
            // A child shows through its top-level window, which must be shown again.
            if (WindowObject* top = reg.Window(TopLevelLocked(reg, d->hwnd)))
                top->dirty = true;
        }
}

std::uint64_t NowMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Exported so that tests can look at the pixels behind a DC.
MOXPLAT_API bool SurfaceOfDC(HDC dc, PixelSurface* out)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (!SurfaceLocked(reg, dc, out))
        return false;
    // Whoever asks for a window's pixels may draw into them.
    MarkDrawnLocked(reg, dc);
    return true;
}

} // namespace moxplat

namespace moxplat {

MOXPLAT_API bool DrawableBoxesOfDC(HDC dc, std::vector<RECT>* out)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    out->clear();
    PixelSurface s;
    if (!SurfaceLocked(reg, dc, &s))
        return false;
    DrawableBoxesLocked(reg, dc, s, out);
    return !(out->size() == 1 && out->front().left == 0 && out->front().top == 0 && out->front().right == s.width &&
             out->front().bottom == s.height);
}

} // namespace moxplat
