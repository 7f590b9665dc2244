// What lies behind the opaque GDI+ handles. Shared by the GDI+ source files of the platform.
#pragma once

#include <gdiplus.h>

#include "surface.h"

namespace moxplat {

// A Graphics draws into whatever its device context shows at the time of each call.
struct GraphicsImpl : GpGraphics {
    HDC hdc = nullptr;
};

inline GraphicsImpl* ToImpl(GpGraphics* g) { return static_cast<GraphicsImpl*>(g); }

// The surface a Graphics draws into now; false when it has none (the call then draws nothing).
inline bool TargetOf(GpGraphics* g, PixelSurface* out) { return g && SurfaceOfDC(ToImpl(g)->hdc, out); }

}  // namespace moxplat
