// What shows a window's pixels. Two backends stand behind this interface: headless (the pixels
// live only in memory; the first-class choice for tests and servers) and SDL2, used for windows
// shown while a display is available. USER code never sees which one it has.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
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
};

// An input event for a window, already in message form.
struct BackendEvent {
    std::uint32_t nativeId = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

std::unique_ptr<WindowBackend> CreateHeadlessBackend();

// An on-screen backend when one can be had (a display is available and its driver is a real
// one), otherwise null. Called with the registry lock held; does not call back into USER.
std::unique_ptr<WindowBackend> CreateScreenBackend(const char* title, int width, int height);

// Collects pending input of the on-screen backends; false when none is running, so the message
// loop need not poll.
bool PollScreenEvents(std::vector<BackendEvent>* out);

} // namespace moxplat
