// The one piece of shared state behind GDI and USER handles: every live bitmap, device context
// and window, the message queue and the timers. A handle is a key into this registry and is
// never dereferenced, so a stale or made-up handle is refused instead of crashing. Handle values
// are never reused within a process.
#pragma once

#include <afxwin.h>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "gdi_objects.h"
#include "surface.h"
#include "window_backend.h"

namespace moxplat {

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};
using PixelBuffer = std::unique_ptr<std::uint8_t, FreeDeleter>;

// Bytes in one row of a 24-bit image: three bytes a pixel, padded to a multiple of four.
inline std::int64_t Stride24(std::int64_t width)
{
    return (width * 3 + 3) & ~std::int64_t{3};
}

struct BitmapObject {
    bool stock = false; // the 1x1 monochrome bitmap every new memory DC starts with
    int width = 0;
    int height = 0; // always positive
    bool topDown = false;
    std::int64_t rowBytes = 0;
    PixelBuffer bits;
    BITMAPINFOHEADER header{};
    HDC selectedInto = nullptr;
    // Depths and layouts beyond 24-bit sections.
    int bitsPerPixel = 24;
    bool dibSection = true;       // false: a device-dependent bitmap (CreateBitmap and friends)
    std::vector<RGBQUAD> colors;  // the colour table of depths 1, 4 and 8
    std::uint32_t masks[3] = {0xff0000u, 0x00ff00u, 0x0000ffu}; // 16 and 32 bits: red, green, blue
};

enum class DCKind { Memory, Window, Screen };

struct DCObject {
    DCKind kind = DCKind::Memory;
    HBITMAP bitmap = nullptr; // memory DCs
    HWND hwnd = nullptr;      // window DCs
    int stretchMode = BLACKONWHITE;
    DrawState draw;
    std::vector<DrawState> saved; // SaveDC
    bool wholeWindow = false; // GetWindowDC: the frame too, origin at the window's corner
    bool kept = false;        // a CS_OWNDC or CS_CLASSDC DC: ReleaseDC leaves it alive
    bool paintClipped = false; // BeginPaint's DC: drawing stays inside the update rectangle
    RECT paintClip{};          // client coordinates
};

// A registered window class. Names compare without regard to case, as Windows' do.
struct WindowClass {
    std::string name; // UTF-8
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    bool unicode = false; // registered with the W function: its procedure takes wchar_t text
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::string menuName;
    std::vector<BYTE> extra; // cbClsExtra bytes
    HDC classDC = nullptr;   // CS_CLASSDC
    int windows = 0;         // live windows of the class: UnregisterClass waits for none
};

struct WindowObject {
    HWND parent = nullptr; // the parent of a child window; the owner of a top-level one
    DWORD style = 0;
    DWORD exStyle = 0;
    ATOM classAtom = 0;
    UINT classStyle = 0; // CS_* of the class it was created with
    WNDPROC proc = nullptr;
    bool unicode = false;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0; // GWLP_ID: a child's id; a top-level window's menu
    LONG_PTR userData = 0;
    std::vector<BYTE> extra; // cbWndExtra bytes
    std::string title;
    int x = 0; // the client area's top-left corner: screen coordinates, or the parent's client's
    int y = 0;
    bool defaultPosition = false; // created with CW_USEDEFAULT and not yet placed by a screen
    int width = 0;                // the client area
    int height = 0;
    RECT frame{}; // how far the window reaches beyond its client area on each side (all >= 0)
    std::int64_t rowBytes = 0;
    PixelBuffer pixels; // a top-level window's, frame included: top-down, 24-bit; children draw in it
    std::uint64_t createdOrder = 0;
    std::uint64_t zOrder = 0; // among siblings, higher is nearer the top
    bool needsPaint = false;  // the update area is not empty
    RECT update{};            // client coordinates
    bool eraseNeeded = false;
    bool internalPaint = false;
    bool menuBarStale = false; // the frame was redrawn over the menu bar
    bool created = false; // WM_NCCREATE has been answered
    bool destroying = false;
    bool dirty = false; // pixels changed since the backend last showed them
    HDC ownDC = nullptr;
    std::uint64_t presents = 0;
    std::unique_ptr<WindowBackend> backend;
    HICON iconBig = nullptr; // WM_SETICON's
    HICON iconSmall = nullptr;
};

struct TimerEntry {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    std::uint64_t due = 0; // milliseconds on the monotonic clock
};

struct Registry {
    std::mutex mutex;
    std::condition_variable wake;
    std::uintptr_t nextHandle = 0x10000;
    std::uint64_t nextOrder = 1;
    std::unordered_map<std::uintptr_t, BitmapObject> bitmaps;
    std::unordered_map<std::uintptr_t, DCObject> dcs;
    std::unordered_map<std::uintptr_t, WindowObject> windows;
    HBITMAP stockBitmap = nullptr;
    HDC screenDC = nullptr;
    std::unordered_map<std::uintptr_t, GdiObject> objects; // pens, brushes, fonts, regions, palettes
    HGDIOBJ stockObjects[STOCK_LAST + 1] = {};
    HBRUSH sysColorBrushes[COLOR_MENUBAR + 1] = {};
    std::deque<MSG> queue;
    std::deque<MSG> input; // keys and the mouse: read after the posted messages, as on Windows
    bool quitPending = false;
    int quitCode = 0;
    std::vector<TimerEntry> timers;
    UINT_PTR nextTimerId = 1;
    std::vector<WindowClass> classes;
    ATOM nextAtom = 0xC000;
    HWND focus = nullptr;
    HWND capture = nullptr;
    HCURSOR cursor = nullptr;
    std::unordered_map<std::uintptr_t, std::uintptr_t> stockCursors, stockIcons; // id -> handle
    // Key state by virtual-key code: bit 0x80 down, bit 0x01 toggled. GetKeyState reads the
    // state of the messages retrieved so far, GetAsyncKeyState the state of input as it arrived.
    BYTE keyState[256] = {};
    BYTE asyncKeyState[256] = {};
    // Characters that the screen's text input produced for a key-down message, handed out by
    // TranslateMessage for that message.
    struct KeyText {
        MSG keyDown;
        std::wstring text;
    };
    std::deque<KeyText> keyTexts;

    std::uintptr_t NewHandle()
    {
        nextHandle += 16;
        return nextHandle;
    }
    BitmapObject* Bitmap(const void* h);
    DCObject* DC(const void* h);
    WindowObject* Window(const void* h);
    GdiObject* Object(const void* h);
};

// The registry, created on first use. Lock its mutex around every access; never hold the lock
// while calling a window procedure or a timer callback.
Registry& TheRegistry();

// Handles have 32 significant bits on 64-bit Windows, so that 32- and 64-bit processes can share
// them: the upper half is ignored (MSDN "Interprocess Communication Between 32-bit and 64-bit
// Applications"; gdi32 tests/gdiobj.c test_handles_on_win64). Keys are handed out below 2^32.
inline std::uintptr_t Key(const void* h)
{
    return reinterpret_cast<std::uintptr_t>(h) & 0xffffffffu;
}
template <class H> H HandleOf(std::uintptr_t key)
{
    return reinterpret_cast<H>(key);
}

// Under the lock: the pixels a DC reaches, without marking a window changed.
bool SurfaceLocked(Registry& reg, HDC dc, PixelSurface* out);
// Under the lock: SurfaceLocked's answer and the DC's record from one lookup of the DC, for the
// blits, which ask once per DC and call; null where SurfaceLocked answers false.
const DCObject* SurfaceAndDCLocked(Registry& reg, HDC dc, PixelSurface* out);
// Under the lock: note that a window DC's pixels were written, for the next presentation.
void MarkDrawnLocked(Registry& reg, HDC dc);
// Under the lock: the colour of the solid brush (or DC brush) a DC paints patterns of raster
// operations with; false when its brush is hatched, a pattern or null, which the blits refuse
// rather than paint in a wrong colour.
bool PatternColorOfDCLocked(Registry& reg, HDC dc, COLORREF* color);

// Under the lock: creates the stock pens, brushes, fonts and palette on first use.
void EnsureStockObjectsLocked(Registry& reg);
// Under the lock: the brush a DC paints with (PatBlt, shape interiors), resolving the default
// and DC_BRUSH; null for an unknown DC.
HBRUSH SelectedBrushLocked(Registry& reg, HDC dc);
// Under the lock: a DC deleted or released lets go of the objects it held.
void ReleaseDrawStateLocked(Registry& reg, DCObject& dc);
// Under the lock, for SelectObject, DeleteObject and GetObject on a pen, brush, font, region or
// palette (a handle for which Registry::Object answers).
HGDIOBJ SelectDrawObjectLocked(Registry& reg, HDC dc, HGDIOBJ h);
BOOL DeleteDrawObjectLocked(Registry& reg, HGDIOBJ h);
int GetDrawObjectLocked(Registry& reg, HGDIOBJ h, int c, LPVOID pv, bool wide);

// Milliseconds on a monotonic clock.
std::uint64_t NowMs();

// Destroys a window as DestroyWindow does; `announce` false leaves out WM_DESTROY, for a window
// whose WM_CREATE refused it (only WM_NCDESTROY reaches it, as under Wine's user32).
BOOL DestroyWindowOf(HWND hWnd, bool announce);
// Under the lock: key and mouse-button messages change the key state table they are applied to.
// `toggles` flips bit 0 on each press, as the queue state does.
void ApplyKeyMessage(BYTE* state, const MSG& msg, bool toggles);
// Under the lock: the top-level window a window belongs to (itself when it is one).
HWND TopLevelLocked(Registry& reg, HWND hwnd);
// Under the lock: whether the window and all its ancestors are visible.
bool ReallyVisibleLocked(Registry& reg, const WindowObject& w);
// Under the lock: the top-level window's client area with its visible children drawn over it,
// siblings in z-order, each clipped to its parent's client area. Rows top-down, 24-bit.
bool ComposeLocked(Registry& reg, HWND top, std::vector<std::uint8_t>* out, int* width, int* height,
                   std::int64_t* stride);
// Under the lock: saves frames and closes windows when the environment asks (headless runs).
void HeadlessChoresLocked(Registry& reg);
// Under the lock: milliseconds until those chores are next due (UINT64_MAX: never).
std::uint64_t HeadlessChoresDueLocked(Registry& reg);
// Under the lock: a window's client area as a surface.
PixelSurface ClientSurfaceLocked(const WindowObject& w);

// Under the lock: where a window DC draws. A child has no pixels of its own: its DC reaches the
// part of its top-level window's pixels the child covers, cut to its ancestors' client areas.
bool WindowSurfaceLocked(Registry& reg, HWND hwnd, bool whole, PixelSurface* out);
// Under the lock: the boxes of that surface a window DC may draw in (its visible region: clipped
// children and siblings left out, hidden windows empty), in the surface's coordinates.
void WindowVisibleBoxesLocked(Registry& reg, HWND hwnd, bool whole, const PixelSurface& s, std::vector<RECT>* out);
// Under the lock: the boxes of a DC's surface that drawing reaches: its clip region, and for a
// window DC its visible region and BeginPaint's update rectangle. Disjoint, inside the surface.
void DrawableBoxesLocked(Registry& reg, HDC dc, const PixelSurface& s, std::vector<RECT>* out);

} // namespace moxplat
