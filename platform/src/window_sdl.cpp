// The on-screen window backend over SDL2: shows a window's pixels and turns SDL's mouse, expose
// and close events into window messages. Without SDL2 at build time, or without a display at run
// time, there is no on-screen backend and every window stays headless.
#include "window_backend.h"

#ifdef MOXPLAT_HAVE_SDL2
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#endif

namespace moxplat {

#ifdef MOXPLAT_HAVE_SDL2
namespace {

bool HaveDisplayVariable()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// SDL video is started once, on the first window shown; later calls reuse the outcome.
bool VideoAvailable()
{
    static const bool available = [] {
        if (!HaveDisplayVariable())
            return false;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        return true;
    }();
    return available;
}

int g_openWindows = 0; // guarded by the registry lock, like every call into this file

class SdlBackend final : public WindowBackend {
public:
    explicit SdlBackend(SDL_Window* window) : window_(window) { ++g_openWindows; }
    ~SdlBackend() override
    {
        SDL_DestroyWindow(window_);
        --g_openWindows;
    }

    void Present(const PixelSurface& pixels) override
    {
        if (!pixels.bits || pixels.width <= 0 || pixels.height <= 0)
            return;
        SDL_Surface* target = SDL_GetWindowSurface(window_);
        if (!target)
            return;
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
            pixels.bits, pixels.width, pixels.height, 24, static_cast<int>(pixels.stride), SDL_PIXELFORMAT_BGR24);
        if (!source)
            return;
        SDL_BlitSurface(source, nullptr, target, nullptr);
        SDL_FreeSurface(source);
        SDL_UpdateWindowSurface(window_);
    }

    void SetVisible(bool visible) override
    {
        if (visible)
            SDL_ShowWindow(window_);
        else
            SDL_HideWindow(window_);
    }

    bool OnScreen() const override { return true; }
    std::uint32_t NativeId() const override { return SDL_GetWindowID(window_); }

private:
    SDL_Window* window_;
};

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(x, y);
}

} // namespace

std::unique_ptr<WindowBackend> CreateScreenBackend(const char* title, int width, int height)
{
    if (width <= 0 || height <= 0 || !VideoAvailable())
        return nullptr;
    SDL_Window* window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                          height, SDL_WINDOW_SHOWN);
    if (!window)
        return nullptr;
    return std::make_unique<SdlBackend>(window);
}

bool PollScreenEvents(std::vector<BackendEvent>* out)
{
    if (g_openWindows <= 0)
        return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        BackendEvent ev;
        switch (e.type) {
        case SDL_MOUSEMOTION:
            ev.nativeId = e.motion.windowID;
            ev.message = WM_MOUSEMOVE;
            ev.wParam = (e.motion.state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0;
            ev.lParam = PointParam(e.motion.x, e.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT)
                continue;
            ev.nativeId = e.button.windowID;
            ev.message = e.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            ev.wParam = e.type == SDL_MOUSEBUTTONDOWN ? MK_LBUTTON : 0;
            ev.lParam = PointParam(e.button.x, e.button.y);
            break;
        case SDL_WINDOWEVENT:
            ev.nativeId = e.window.windowID;
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
                ev.message = WM_PAINT;
            else if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                ev.message = WM_CLOSE;
            else
                continue;
            break;
        default:
            continue;
        }
        out->push_back(ev);
    }
    return true;
}

#else

std::unique_ptr<WindowBackend> CreateScreenBackend(const char*, int, int)
{
    return nullptr;
}
bool PollScreenEvents(std::vector<BackendEvent>*)
{
    return false;
}

#endif

} // namespace moxplat
