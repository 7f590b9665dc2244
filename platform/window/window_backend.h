// What shows a window's pixels. Two backends stand behind this interface: headless (the pixels
// live only in memory; the first-class choice for tests and servers) and SDL2, used for windows
// shown while a display is available. USER code never sees which one it has.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "surface.h"

namespace moxplat {

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    // Show these pixels (the window's whole client area) on screen.
    virtual void Present(const PixelSurface& pixels) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool OnScreen() const = 0;
    // The backend's own id for routing its input events; 0 when it has none.
    virtual std::uint32_t NativeId() const = 0;
    // Where the client area's top-left corner is on screen; false when the backend has no
    // screen, and the window's own record of its position holds.
    virtual bool ScreenPosition(int* x, int* y) const = 0;
    virtual void SetTitle(const char* title) = 0;
    // The window's icon: straight-alpha 0xAARRGGBB pixels, top-down. A backend with no screen
    // has nowhere to show one; the window's own record (WM_GETICON) holds it.
    virtual void SetIcon(const std::uint32_t* /*argb*/, int /*width*/, int /*height*/) {}
};

// An input event for a window, already in message form. A key-down may carry the characters
// the screen's text input made of it; TranslateMessage turns those into WM_CHAR.
struct BackendEvent {
    std::uint32_t nativeId = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::wstring text;
};

std::unique_ptr<WindowBackend> CreateHeadlessBackend();

// An on-screen backend when one can be had (a display is available and its driver is a real
// one), otherwise null. x and y place the client area; CW_USEDEFAULT leaves it to the system.
// A resizable one (a window with a sizing frame) reports its new client size as WM_SIZE.
// Called with the registry lock held; does not call back into USER.
std::unique_ptr<WindowBackend> CreateScreenBackend(const char* title, int x, int y, int width, int height,
                                                   bool resizable);

// Whether windows are shown to a user who can answer them (a real display, not an invisible
// driver). Starts the screen when it has not been started yet.
bool ScreenHasUser();

// The mouse pointer over the on-screen windows: pixels as for SetIcon and the hot spot; null
// pixels hide it. Does nothing while no screen is in use. Called with the registry lock held.
void ShowScreenCursor(const std::uint32_t* argb, int width, int height, int hotX, int hotY);
// The screen's own pointer shape for one of the system's cursor ids (IDC_ARROW, IDC_IBEAM, ...).
void ShowScreenSystemCursor(int id);

// Collects pending input of the on-screen backends; false when none is running, so the message
// loop need not poll.
bool PollScreenEvents(std::vector<BackendEvent>* out);

} // namespace moxplat
