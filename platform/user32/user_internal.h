// What the USER files share: text conversions between the A and W forms, frame metrics, and
// the calls that go through a window's procedure.
#pragma once

#include <string>
#include <vector>

#include "gdi_registry.h"

namespace moxplat {

// A forms take UTF-8; W forms take wchar_t (UTF-32 here). Invalid UTF-8 becomes U+FFFD.
std::string Utf8FromWide(const wchar_t* text);
std::wstring WideFromUtf8(const char* text);

// Frame metrics at 96 DPI, Windows 10's defaults (NONCLIENTMETRICS iBorderWidth 5,
// iCaptionHeight 22, iMenuHeight 19), from which AdjustWindowRectEx and GetSystemMetrics answer.
constexpr int kBorderWidth = 5;
constexpr int kCaptionHeight = 22;
constexpr int kMenuHeight = 19;
constexpr int kEdge = 2;
constexpr int kScrollBar = 17;
// WINDOWPOS flags Windows adds to WM_WINDOWPOSCHANGED when the client area kept its size or its
// place; not in the SDK's headers (Wine's user32 tests name them).
constexpr UINT kSwpNoClientSize = 0x0800;
constexpr UINT kSwpNoClientMove = 0x1000;
constexpr int kScreenWidth = 1920; // the screen of a run without a display
constexpr int kScreenHeight = 1080;

// How far a window of this style reaches beyond its client area on each side.
RECT FrameOf(DWORD style, DWORD exStyle, bool menu);

// Calls the window's procedure (outside the lock). `wide` says which form the caller used, so that
// text travels in the form the procedure expects.
LRESULT SendThroughProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wide);

// Under the lock: the class a name (UTF-8) or an atom (MAKEINTATOM) names, or null.
WindowClass* FindClassLocked(Registry& reg, const char* nameOrAtom);

// Under the lock: a DC for the window (GetDC's rules: CS_OWNDC, CS_CLASSDC, else a new one).
HDC WindowDCLocked(Registry& reg, HWND hwnd, WindowObject& w);

// Marks part of a window (client coordinates; null: all of it) as needing paint, and its
// children too unless it clips them.
void InvalidateLocked(Registry& reg, HWND hwnd, const RECT* rect, bool erase);
// The same, with RedrawWindow's choice of children: none, those a parent paints over (the
// default), or all of them.
enum class Children { None, Unclipped, All };
void InvalidateTreeLocked(Registry& reg, HWND hwnd, const RECT* rect, bool erase, Children children);
// Under the lock: a child window's outer rectangle (in its parent's client coordinates) was
// uncovered by moving, hiding or destroying it: its parent, and siblings the parent does not
// paint over, are painted there again, as Windows invalidates it.
void InvalidateUncoveredLocked(Registry& reg, HWND hwnd, const RECT& outer);
// A child's outer rectangle in its parent's client coordinates.
RECT OuterRectInParentLocked(const WindowObject& w);
// Under the lock: paints a child window's frame (the non-client area DefWindowProc draws).
void PaintChildFrameLocked(Registry& reg, HWND hwnd);

// Under the lock: gives the window a client area of this size, invalidating as its class style
// asks (CS_HREDRAW, CS_VREDRAW). False when out of memory.
bool ResizeClientLocked(Registry& reg, HWND hwnd, int width, int height);

// Controls' text messages (EM_REPLACESEL, LB_ADDSTRING, LB_GETTEXT, ...) sent across the A and
// W forms: converts and calls the procedure, true when the message was one of them.
bool SendControlTextAcross(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool procWide,
                           LRESULT* result);

// The text form (A or W) a window procedure was given to USER in: by its class's registration or
// by SetWindowLongPtr. CallWindowProc converts text for a procedure of the other form, as the
// handle GetWindowLongPtr gives for it does on Windows.
void NoteProcForm(WNDPROC proc, bool wide);
// The form noted for a procedure; false when none was.
bool KnownProcForm(WNDPROC proc, bool* wide);

// The default handling of WM_ERASEBKGND: fills the update area with the class brush.
LRESULT EraseWithClassBrush(HWND hwnd, HDC dc);

// --- Menus (menu.cpp, menu_track.cpp).

// A copy of one menu item: MF_ flags, command id, submenu, text.
struct MenuEntry {
    UINT flags = 0;
    UINT_PTR id = 0;
    HMENU popup = nullptr;
    std::wstring text;
};

// The items of a menu, copied; false when the handle is no menu.
bool MenuEntries(HMENU menu, std::vector<MenuEntry>* out);
// Whether the menu is the window's system menu.
bool IsSystemMenuOf(HWND hwnd, HMENU menu);
// Destroys a window's menu bar and system menu as the window goes. Takes no registry lock.
void ForgetWindowMenus(HWND hwnd, HMENU bar);
// Paints the menu bars of windows whose frames were redrawn since (takes the registry lock).
void RefreshMenuBars();
// DefWindowProc's part in menus: Alt, F10 and Alt+letter (WM_SYSCOMMAND SC_KEYMENU), presses
// on the menu bar, its hit test. True when the message is handled, with its result.
bool MenuDefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wide, LRESULT* result);
// The menu bar's rectangle in window coordinates (GetWindowDC's); empty when it has none.
RECT MenuBarRectLocked(const WindowObject& w);
// How many rows above the client area the menu bar takes on screen (0 without one).
int MenuBarHeightLocked(const WindowObject& w);

} // namespace moxplat

namespace moxplat {

struct ResourceKey;

// Icons and cursors (icon.cpp). The program's own from its resources (`instance` null or the
// program's module), or from an .ico / .cur file; LoadImage's rules for size and LR_SHARED.
HANDLE LoadIconOrCursorResource(HINSTANCE instance, const ResourceKey& name, bool isIcon, int cx, int cy, UINT flags);
HANDLE LoadIconOrCursorFile(const char* path, bool isIcon, int cx, int cy, UINT flags);
// Under the lock: a new handle for one of the system's icons (IDI_ ids), drawable like any other.
std::uintptr_t NewStockIconLocked(Registry& reg, std::uintptr_t id);
// Under the lock: whether the handle is a live icon or cursor made here.
bool IsIconLocked(HICON icon);
// Under the lock: an icon's pixels as straight-alpha 0xAARRGGBB, top-down (transparent where its
// mask shows the screen).
bool IconPixelsLocked(HICON icon, int* width, int* height, std::vector<std::uint32_t>* argb);
// Under the lock: shows the cursor on screen, where there is one.
void ShowCursorLocked(HCURSOR cursor);
// Under the lock: gives the window's screen its icon: WM_SETICON's big one, else its small one,
// else its class's.
void ShowWindowIconLocked(Registry& reg, WindowObject& w);

} // namespace moxplat
