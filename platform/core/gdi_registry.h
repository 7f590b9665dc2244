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
};

enum class DCKind { Memory, Window, Screen };

struct DCObject {
    DCKind kind = DCKind::Memory;
    HBITMAP bitmap = nullptr; // memory DCs
    HWND hwnd = nullptr;      // window DCs
    int stretchMode = BLACKONWHITE;
    DrawState draw;
    std::vector<DrawState> saved; // SaveDC
};

struct WindowObject {
    CWnd* wnd = nullptr;
    HWND parent = nullptr;
    DWORD style = 0;
    UINT classStyle = 0; // CS_* of the class it was created with
    std::string title;
    int x = 0; // the client area's top-left corner in screen coordinates
    int y = 0;
    bool defaultPosition = false; // created with CW_USEDEFAULT and not yet placed by a screen
    int width = 0;
    int height = 0;
    std::int64_t rowBytes = 0;
    PixelBuffer pixels; // top-down, 24-bit
    std::uint64_t createdOrder = 0;
    bool needsPaint = false;
    bool destroying = false;
    bool dirty = false; // pixels changed since the backend last showed them
    std::unique_ptr<WindowBackend> backend;
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
    bool quitPending = false;
    int quitCode = 0;
    std::vector<TimerEntry> timers;
    UINT_PTR nextTimerId = 1;
    std::set<std::string> classNames;
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

inline std::uintptr_t Key(const void* h)
{
    return reinterpret_cast<std::uintptr_t>(h);
}
template <class H> H HandleOf(std::uintptr_t key)
{
    return reinterpret_cast<H>(key);
}

// Under the lock: the pixels a DC reaches, without marking a window changed.
bool SurfaceLocked(Registry& reg, HDC dc, PixelSurface* out);
// Under the lock: note that a window DC's pixels were written, for the next presentation.
void MarkDrawnLocked(Registry& reg, HDC dc);

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

// Window creation for CWnd::CreateEx: registers the window and its pixels; null when refused.
// x and y place the client area on screen; CW_USEDEFAULT lets the system choose.
HWND RegisterWindow(CWnd* wnd, LPCTSTR className, DWORD style, LPCTSTR title, HWND parent, int x, int y, int width,
                    int height);
// Destroys a window as DestroyWindow does; `announce` false leaves out WM_DESTROY, for a window
// whose WM_CREATE refused it (only WM_NCDESTROY reaches it, as under Wine's user32).
BOOL DestroyWindowOf(HWND hWnd, bool announce);
// Under the lock: the class style AfxRegisterWndClass encoded for a class name, 0 for others.
UINT ClassStyleLocked(Registry& reg, LPCTSTR className);
// Under the lock: key and mouse-button messages change the key state table they are applied to.
// `toggles` flips bit 0 on each press, as the queue state does.
void ApplyKeyMessage(BYTE* state, const MSG& msg, bool toggles);
// The window has painted: no WM_PAINT until it is invalidated again.
void ValidateWindow(HWND hwnd);

} // namespace moxplat
