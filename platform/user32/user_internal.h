// What the USER files share: text conversions between the A and W forms, frame metrics, and
// the calls that go through a window's procedure.
#pragma once

#include <string>

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

} // namespace moxplat
