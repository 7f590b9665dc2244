// The on-screen window backend over SDL2: shows a window's pixels and turns SDL's key, text,
// mouse, wheel, focus, expose and close events into window messages. Without SDL2 at build time,
// or without a display at run time, there is no on-screen backend and every window stays
// headless.
#include "window_backend.h"

#ifdef MOXPLAT_HAVE_SDL2
#include <SDL.h>

#include <algorithm>
#include <cmath>
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

// SDL's drivers that show nothing. They are used only when SDL_VIDEODRIVER names one: then
// windows go through this backend and its input path without a screen (how the tests drive it).
bool IsInvisibleDriver(const char* name)
{
    return name && (std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0);
}

bool g_realDisplay = false; // a driver that shows windows to a user

// SDL video is started once, on the first window shown; later calls reuse the outcome.
bool VideoAvailable()
{
    static const bool available = [] {
        const bool invisibleAsked = IsInvisibleDriver(std::getenv("SDL_VIDEODRIVER"));
        if (!HaveDisplayVariable() && !invisibleAsked)
            return false;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!driver || (IsInvisibleDriver(driver) && !invisibleAsked)) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        g_realDisplay = !IsInvisibleDriver(driver);
        SDL_StartTextInput(); // characters typed arrive as SDL_TEXTINPUT
        return true;
    }();
    return available;
}

int g_openWindows = 0; // guarded by the registry lock, like every call into this file

// Windows are shown at a whole multiple of their size on a dense display, so that they are not
// tiny and their pixels stay sharp: the display's DPI over 96, rounded, at least 1.
// MOXIMAGE2_SCALE=<n> (1 to 8) sets the factor instead. Decided once, with the first window.
int Scale()
{
    static const int scale = [] {
        if (const char* env = std::getenv("MOXIMAGE2_SCALE")) {
            const int n = std::atoi(env);
            if (n >= 1 && n <= 8)
                return n;
        }
        float ddpi = 0;
        if (SDL_GetDisplayDPI(0, &ddpi, nullptr, nullptr) != 0 || !(ddpi > 0))
            return 1;
        return std::clamp(static_cast<int>(std::lround(ddpi / 96.0f)), 1, 8);
    }();
    return scale;
}

class SdlBackend final : public WindowBackend {
public:
    SdlBackend(SDL_Window* window, SDL_Renderer* renderer) : window_(window), renderer_(renderer) { ++g_openWindows; }
    ~SdlBackend() override
    {
        if (texture_)
            SDL_DestroyTexture(texture_);
        if (renderer_)
            SDL_DestroyRenderer(renderer_);
        SDL_DestroyWindow(window_);
        --g_openWindows;
    }

    void Present(const PixelSurface& pixels) override
    {
        if (!pixels.bits || pixels.width <= 0 || pixels.height <= 0)
            return;
        if (renderer_ && PresentSynced(pixels))
            return;
        SDL_Surface* target = SDL_GetWindowSurface(window_);
        if (!target)
            return;
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
            pixels.bits, pixels.width, pixels.height, 24, static_cast<int>(pixels.stride), SDL_PIXELFORMAT_BGR24);
        if (!source)
            return;
        const int scale = Scale();
        if (scale == 1) {
            SDL_BlitSurface(source, nullptr, target, nullptr);
        } else {
            // Each pixel as a scale x scale block (SDL's scaled blit takes the nearest pixel).
            SDL_Rect dst{0, 0, pixels.width * scale, pixels.height * scale};
            SDL_BlitScaled(source, nullptr, target, &dst);
        }
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
    bool ScreenPosition(int* x, int* y) const override
    {
        SDL_GetWindowPosition(window_, x, y);
        return true;
    }
    void SetTitle(const char* title) override { SDL_SetWindowTitle(window_, title ? title : ""); }
    void SetIcon(const std::uint32_t* argb, int width, int height) override
    {
        SDL_Surface* icon = argb ? SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(argb), width, height,
                                                                      32, width * 4, SDL_PIXELFORMAT_ARGB8888)
                                 : nullptr;
        if (!icon)
            return;
        SDL_SetWindowIcon(window_, icon); // SDL keeps its own copy
        SDL_FreeSurface(icon);
    }

private:
    // Through the renderer, whose present waits for the display's vertical blank, so a frame is
    // never shown half old, half new. The 24-bit pixels go into a 32-bit streaming texture (the
    // format every renderer takes natively); a scaled window is the texture drawn at the scale
    // with nearest sampling, on the GPU where there is one. False when the renderer fails, and
    // the surface path takes the frame.
    bool PresentSynced(const PixelSurface& pixels)
    {
        if (!texture_ || textureWidth_ != pixels.width || textureHeight_ != pixels.height) {
            if (texture_)
                SDL_DestroyTexture(texture_);
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                         pixels.width, pixels.height);
            if (!texture_)
                return false;
            SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
            textureWidth_ = pixels.width;
            textureHeight_ = pixels.height;
        }
        void* locked = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(texture_, nullptr, &locked, &pitch) != 0)
            return false;
        const auto* row = static_cast<const std::uint8_t*>(pixels.bits);
        auto* out = static_cast<std::uint8_t*>(locked);
        for (int y = 0; y < pixels.height; ++y, row += pixels.stride, out += pitch) {
            auto* px = reinterpret_cast<std::uint32_t*>(out);
            for (int x = 0; x < pixels.width; ++x)
                px[x] = 0xFF000000u | row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<std::uint32_t>(row[3 * x + 2]) << 16);
        }
        SDL_UnlockTexture(texture_);
        const int scale = Scale();
        const SDL_Rect dst{0, 0, pixels.width * scale, pixels.height * scale};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
        SDL_RenderPresent(renderer_);
        return true;
    }

    SDL_Window* window_;
    SDL_Renderer* renderer_; // null: the window surface path, which does not wait for the display
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
};

// Presents wait for vertical sync on a real display; MOXIMAGE2_VSYNC=0 turns that off (a program
// that times its own frames, or measuring), =1 turns it on for the invisible drivers too.
bool VsyncWanted()
{
    if (const char* env = std::getenv("MOXIMAGE2_VSYNC"))
        return std::strcmp(env, "0") != 0;
    return g_realDisplay;
}

// --- Keys ---------------------------------------------------------------------------------------

// A key's Windows virtual-key code and its scan code (set 1; 0xE0xx for extended keys), by its
// position on the keyboard.
struct KeyCodes {
    SDL_Scancode scancode;
    BYTE vk;
    WORD scan;
};

// clang-format off
const KeyCodes kKeys[] = {
    {SDL_SCANCODE_A, 'A', 0x1E}, {SDL_SCANCODE_B, 'B', 0x30}, {SDL_SCANCODE_C, 'C', 0x2E},
    {SDL_SCANCODE_D, 'D', 0x20}, {SDL_SCANCODE_E, 'E', 0x12}, {SDL_SCANCODE_F, 'F', 0x21},
    {SDL_SCANCODE_G, 'G', 0x22}, {SDL_SCANCODE_H, 'H', 0x23}, {SDL_SCANCODE_I, 'I', 0x17},
    {SDL_SCANCODE_J, 'J', 0x24}, {SDL_SCANCODE_K, 'K', 0x25}, {SDL_SCANCODE_L, 'L', 0x26},
    {SDL_SCANCODE_M, 'M', 0x32}, {SDL_SCANCODE_N, 'N', 0x31}, {SDL_SCANCODE_O, 'O', 0x18},
    {SDL_SCANCODE_P, 'P', 0x19}, {SDL_SCANCODE_Q, 'Q', 0x10}, {SDL_SCANCODE_R, 'R', 0x13},
    {SDL_SCANCODE_S, 'S', 0x1F}, {SDL_SCANCODE_T, 'T', 0x14}, {SDL_SCANCODE_U, 'U', 0x16},
    {SDL_SCANCODE_V, 'V', 0x2F}, {SDL_SCANCODE_W, 'W', 0x11}, {SDL_SCANCODE_X, 'X', 0x2D},
    {SDL_SCANCODE_Y, 'Y', 0x15}, {SDL_SCANCODE_Z, 'Z', 0x2C},
    {SDL_SCANCODE_1, '1', 0x02}, {SDL_SCANCODE_2, '2', 0x03}, {SDL_SCANCODE_3, '3', 0x04},
    {SDL_SCANCODE_4, '4', 0x05}, {SDL_SCANCODE_5, '5', 0x06}, {SDL_SCANCODE_6, '6', 0x07},
    {SDL_SCANCODE_7, '7', 0x08}, {SDL_SCANCODE_8, '8', 0x09}, {SDL_SCANCODE_9, '9', 0x0A},
    {SDL_SCANCODE_0, '0', 0x0B},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C}, {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E}, {SDL_SCANCODE_TAB, VK_TAB, 0x0F},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39}, {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D}, {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B}, {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5, 0x2B}, {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28}, {SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33}, {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0x35}, {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0x56},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A},
    {SDL_SCANCODE_F1, VK_F1, 0x3B}, {SDL_SCANCODE_F2, VK_F2, 0x3C}, {SDL_SCANCODE_F3, VK_F3, 0x3D},
    {SDL_SCANCODE_F4, VK_F4, 0x3E}, {SDL_SCANCODE_F5, VK_F5, 0x3F}, {SDL_SCANCODE_F6, VK_F6, 0x40},
    {SDL_SCANCODE_F7, VK_F7, 0x41}, {SDL_SCANCODE_F8, VK_F8, 0x42}, {SDL_SCANCODE_F9, VK_F9, 0x43},
    {SDL_SCANCODE_F10, VK_F10, 0x44}, {SDL_SCANCODE_F11, VK_F11, 0x57}, {SDL_SCANCODE_F12, VK_F12, 0x58},
    {SDL_SCANCODE_F13, VK_F13, 0x64}, {SDL_SCANCODE_F14, VK_F14, 0x65}, {SDL_SCANCODE_F15, VK_F15, 0x66},
    {SDL_SCANCODE_F16, VK_F16, 0x67}, {SDL_SCANCODE_F17, VK_F17, 0x68}, {SDL_SCANCODE_F18, VK_F18, 0x69},
    {SDL_SCANCODE_F19, VK_F19, 0x6A}, {SDL_SCANCODE_F20, VK_F20, 0x6B}, {SDL_SCANCODE_F21, VK_F21, 0x6C},
    {SDL_SCANCODE_F22, VK_F22, 0x6D}, {SDL_SCANCODE_F23, VK_F23, 0x6E}, {SDL_SCANCODE_F24, VK_F24, 0x76},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0xE037}, {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45}, {SDL_SCANCODE_INSERT, VK_INSERT, 0xE052},
    {SDL_SCANCODE_HOME, VK_HOME, 0xE047}, {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0xE049},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0xE053}, {SDL_SCANCODE_END, VK_END, 0xE04F},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0xE051}, {SDL_SCANCODE_RIGHT, VK_RIGHT, 0xE04D},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0xE04B}, {SDL_SCANCODE_DOWN, VK_DOWN, 0xE050},
    {SDL_SCANCODE_UP, VK_UP, 0xE048},
    // Windows reports Num Lock as an extended key and Pause as a plain one, both on 0x45.
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0xE045}, {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0xE035},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37}, {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E}, {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0xE01C},
    {SDL_SCANCODE_KP_1, VK_NUMPAD1, 0x4F}, {SDL_SCANCODE_KP_2, VK_NUMPAD2, 0x50},
    {SDL_SCANCODE_KP_3, VK_NUMPAD3, 0x51}, {SDL_SCANCODE_KP_4, VK_NUMPAD4, 0x4B},
    {SDL_SCANCODE_KP_5, VK_NUMPAD5, 0x4C}, {SDL_SCANCODE_KP_6, VK_NUMPAD6, 0x4D},
    {SDL_SCANCODE_KP_7, VK_NUMPAD7, 0x47}, {SDL_SCANCODE_KP_8, VK_NUMPAD8, 0x48},
    {SDL_SCANCODE_KP_9, VK_NUMPAD9, 0x49}, {SDL_SCANCODE_KP_0, VK_NUMPAD0, 0x52},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 0x53}, {SDL_SCANCODE_APPLICATION, VK_APPS, 0xE05D},
    {SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D}, {SDL_SCANCODE_RCTRL, VK_CONTROL, 0xE01D},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A}, {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36},
    {SDL_SCANCODE_LALT, VK_MENU, 0x38}, {SDL_SCANCODE_RALT, VK_MENU, 0xE038},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0xE05B}, {SDL_SCANCODE_RGUI, VK_RWIN, 0xE05C},
};
// clang-format on

const KeyCodes* CodesOf(SDL_Scancode scancode)
{
    for (const KeyCodes& k : kKeys)
        if (k.scancode == scancode)
            return &k;
    return nullptr;
}

// Modifier keys and mouse buttons as the events so far left them (SDL's own state does not
// follow events that a program pushed).
struct InputState {
    bool shift[2] = {}, control[2] = {}, alt[2] = {};
    std::uint32_t buttons = 0; // SDL_BUTTON masks
    Uint32 focused = 0;        // the window with the keyboard focus
    bool Shift() const { return shift[0] || shift[1]; }
    bool Control() const { return control[0] || control[1]; }
    bool Alt() const { return alt[0] || alt[1]; }
} g_input;

void TrackModifier(SDL_Scancode scancode, bool down)
{
    switch (scancode) {
    case SDL_SCANCODE_LSHIFT:
        g_input.shift[0] = down;
        break;
    case SDL_SCANCODE_RSHIFT:
        g_input.shift[1] = down;
        break;
    case SDL_SCANCODE_LCTRL:
        g_input.control[0] = down;
        break;
    case SDL_SCANCODE_RCTRL:
        g_input.control[1] = down;
        break;
    case SDL_SCANCODE_LALT:
        g_input.alt[0] = down;
        break;
    case SDL_SCANCODE_RALT:
        g_input.alt[1] = down;
        break;
    default:
        break;
    }
}

// A key event as WM_KEYDOWN/UP, or WM_SYSKEYDOWN/UP while Alt is held (without Control) and
// for F10, with Windows' lParam: repeat count 1, scan code, extended bit, Alt, previous state
// and transition. False for a key Windows has no code for.
bool KeyMessage(const SDL_KeyboardEvent& key, BackendEvent* ev)
{
    const bool down = key.type == SDL_KEYDOWN;
    const bool altBefore = g_input.Alt();
    TrackModifier(key.keysym.scancode, down);
    const KeyCodes* codes = CodesOf(key.keysym.scancode);
    if (!codes)
        return false;
    // Letters and digits follow the layout, as Windows' virtual keys do; the rest follows the
    // key's place.
    UINT vk = codes->vk;
    const SDL_Keycode sym = key.keysym.sym;
    if (sym >= SDLK_a && sym <= SDLK_z)
        vk = static_cast<UINT>(sym - SDLK_a + 'A');
    else if (sym >= SDLK_0 && sym <= SDLK_9 && codes->scan < 0x0C)
        vk = static_cast<UINT>(sym);
    const bool altNow = g_input.Alt();
    const bool sys = ((altBefore || altNow) && !g_input.Control()) || vk == VK_F10;
    DWORD lParam = 1;
    lParam |= static_cast<DWORD>(codes->scan & 0xFF) << 16;
    if (codes->scan & 0xFF00)
        lParam |= 1u << 24;
    if (altNow && !g_input.Control())
        lParam |= 1u << 29;
    if (!down || key.repeat)
        lParam |= 1u << 30;
    if (!down)
        lParam |= 1u << 31;
    ev->nativeId = key.windowID;
    ev->message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    ev->wParam = vk;
    ev->lParam = static_cast<LPARAM>(static_cast<std::int32_t>(lParam));
    return true;
}

// --- Mouse --------------------------------------------------------------------------------------

WPARAM MouseFlags(std::uint32_t buttons)
{
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK)
        flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK)
        flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK)
        flags |= MK_MBUTTON;
    if (g_input.Shift())
        flags |= MK_SHIFT;
    if (g_input.Control())
        flags |= MK_CONTROL;
    return flags;
}

// Left, right and middle presses and releases; an even click count is a double click (the
// queue turns it back into a press for a window whose class lacks CS_DBLCLKS).
bool ButtonMessage(const SDL_MouseButtonEvent& b, BackendEvent* ev)
{
    static const UINT kMessages[3][3] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK},
    };
    if (b.button < SDL_BUTTON_LEFT || b.button > SDL_BUTTON_RIGHT)
        return false;
    const bool down = b.type == SDL_MOUSEBUTTONDOWN;
    const std::uint32_t mask = SDL_BUTTON(b.button);
    g_input.buttons = down ? (g_input.buttons | mask) : (g_input.buttons & ~mask);
    const UINT* messages = kMessages[b.button - SDL_BUTTON_LEFT];
    ev->nativeId = b.windowID;
    ev->message = !down ? messages[1] : (b.clicks >= 2 && b.clicks % 2 == 0 ? messages[2] : messages[0]);
    ev->wParam = MouseFlags(g_input.buttons);
    ev->lParam = MAKELPARAM(b.x / Scale(), b.y / Scale());
    return true;
}

// Vertical turns in WHEEL_DELTA units per notch, at the pointer's screen position.
bool WheelMessage(const SDL_MouseWheelEvent& w, BackendEvent* ev)
{
    float notches = w.preciseY;
    if (w.direction == SDL_MOUSEWHEEL_FLIPPED)
        notches = -notches;
    const long delta = std::lround(notches * WHEEL_DELTA);
    if (delta == 0)
        return false;
    int x = w.mouseX / Scale(), y = w.mouseY / Scale();
    if (SDL_Window* window = SDL_GetWindowFromID(w.windowID)) {
        int left = 0, top = 0;
        SDL_GetWindowPosition(window, &left, &top);
        x += left;
        y += top;
    }
    ev->nativeId = w.windowID;
    ev->message = WM_MOUSEWHEEL;
    ev->wParam = MAKEWPARAM(MouseFlags(g_input.buttons), static_cast<short>(std::clamp(delta, -32768L, 32767L)));
    ev->lParam = MAKELPARAM(x, y);
    return true;
}

bool WindowMessage(const SDL_WindowEvent& w, BackendEvent* ev)
{
    ev->nativeId = w.windowID;
    switch (w.event) {
    case SDL_WINDOWEVENT_EXPOSED:
        ev->message = WM_PAINT;
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        ev->message = WM_CLOSE;
        return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        // X11 may report the focus twice (taken, then confirmed); Windows says it once.
        if (g_input.focused == w.windowID)
            return false;
        g_input.focused = w.windowID;
        ev->message = WM_SETFOCUS;
        return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (g_input.focused != w.windowID)
            return false;
        g_input.focused = 0;
        ev->message = WM_KILLFOCUS;
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        ev->message = WM_SIZE;
        ev->wParam = SIZE_MINIMIZED;
        return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        // The user resized the window: its client area is this size now.
        ev->message = WM_SIZE;
        ev->wParam = SIZE_RESTORED;
        ev->lParam = MAKELPARAM(w.data1 / Scale(), w.data2 / Scale());
        return true;
    case SDL_WINDOWEVENT_MAXIMIZED: {
        int width = 0, height = 0;
        if (SDL_Window* window = SDL_GetWindowFromID(w.windowID))
            SDL_GetWindowSize(window, &width, &height);
        width /= Scale();
        height /= Scale();
        ev->message = WM_SIZE;
        ev->wParam = SIZE_MAXIMIZED;
        ev->lParam = MAKELPARAM(width, height);
        return true;
    }
    case SDL_WINDOWEVENT_RESTORED: {
        int width = 0, height = 0;
        if (SDL_Window* window = SDL_GetWindowFromID(w.windowID))
            SDL_GetWindowSize(window, &width, &height);
        width /= Scale();
        height /= Scale();
        ev->message = WM_SIZE;
        ev->wParam = SIZE_RESTORED;
        ev->lParam = MAKELPARAM(width, height);
        return true;
    }
    default:
        return false;
    }
}

// Typed text goes with the key-down just before it, for TranslateMessage; text without one
// (an input method's composition) becomes WM_CHAR messages of its own.
void AddText(const SDL_TextInputEvent& t, std::vector<BackendEvent>* out)
{
    const int length = static_cast<int>(strnlen(t.text, sizeof t.text));
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    text.resize(
        static_cast<std::size_t>(std::max(0, MultiByteToWideChar(CP_UTF8, 0, t.text, length, text.data(), length))));
    if (text.empty())
        return;
    if (!out->empty()) {
        BackendEvent& last = out->back();
        if (last.nativeId == t.windowID && (last.message == WM_KEYDOWN || last.message == WM_SYSKEYDOWN) &&
            last.text.empty()) {
            last.text = text;
            return;
        }
    }
    for (const wchar_t ch : text) {
        BackendEvent ev;
        ev.nativeId = t.windowID;
        ev.message = WM_CHAR;
        ev.wParam = static_cast<WPARAM>(ch);
        ev.lParam = 1;
        out->push_back(ev);
    }
}

} // namespace

std::unique_ptr<WindowBackend> CreateScreenBackend(const char* title, int x, int y, int width, int height,
                                                   bool resizable)
{
    if (width <= 0 || height <= 0 || !VideoAvailable())
        return nullptr;
    const int left = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
    const int top = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
    const int scale = Scale();
    if (width > 32767 / scale || height > 32767 / scale)
        return nullptr;
    SDL_Window* window = SDL_CreateWindow(title ? title : "", left, top, width * scale, height * scale,
                                          SDL_WINDOW_SHOWN | (resizable ? SDL_WINDOW_RESIZABLE : 0));
    if (!window)
        return nullptr;
    SDL_Renderer* renderer = VsyncWanted() ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
    return std::make_unique<SdlBackend>(window, renderer);
}

void ShowScreenCursor(const std::uint32_t* argb, int width, int height, int hotX, int hotY)
{
    static SDL_Cursor* shown = nullptr; // freed once the next one is in place
    if (g_openWindows <= 0 || !VideoAvailable())
        return;
    if (!argb) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(argb), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Cursor* cursor = image ? SDL_CreateColorCursor(image, hotX, hotY) : nullptr;
    if (image)
        SDL_FreeSurface(image);
    if (!cursor)
        return;
    SDL_SetCursor(cursor);
    SDL_ShowCursor(SDL_ENABLE);
    if (shown)
        SDL_FreeCursor(shown);
    shown = cursor;
}

void ShowScreenSystemCursor(int id)
{
    struct Shape {
        int id;
        SDL_SystemCursor shape;
    };
    static const Shape kShapes[] = {
        {32512, SDL_SYSTEM_CURSOR_ARROW},    {32513, SDL_SYSTEM_CURSOR_IBEAM},     {32514, SDL_SYSTEM_CURSOR_WAIT},
        {32515, SDL_SYSTEM_CURSOR_CROSSHAIR}, {32642, SDL_SYSTEM_CURSOR_SIZENWSE}, {32643, SDL_SYSTEM_CURSOR_SIZENESW},
        {32644, SDL_SYSTEM_CURSOR_SIZEWE},   {32645, SDL_SYSTEM_CURSOR_SIZENS},    {32646, SDL_SYSTEM_CURSOR_SIZEALL},
        {32648, SDL_SYSTEM_CURSOR_NO},       {32649, SDL_SYSTEM_CURSOR_HAND},      {32650, SDL_SYSTEM_CURSOR_WAITARROW},
    };
    static SDL_Cursor* made[sizeof kShapes / sizeof kShapes[0]] = {}; // one each, kept
    if (g_openWindows <= 0 || !VideoAvailable())
        return;
    std::size_t i = 0;
    while (i < sizeof kShapes / sizeof kShapes[0] && kShapes[i].id != id)
        ++i;
    if (i == sizeof kShapes / sizeof kShapes[0])
        i = 0; // the others (up arrow, help) as the arrow
    if (!made[i])
        made[i] = SDL_CreateSystemCursor(kShapes[i].shape);
    if (made[i]) {
        SDL_SetCursor(made[i]);
        SDL_ShowCursor(SDL_ENABLE);
    }
}

bool ScreenHasUser()
{
    return VideoAvailable() && g_realDisplay;
}

bool PollScreenEvents(std::vector<BackendEvent>* out)
{
    if (g_openWindows <= 0)
        return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        BackendEvent ev;
        bool made = false;
        switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            made = KeyMessage(e.key, &ev);
            break;
        case SDL_TEXTINPUT:
            AddText(e.text, out);
            break;
        case SDL_MOUSEMOTION:
            ev.nativeId = e.motion.windowID;
            ev.message = WM_MOUSEMOVE;
            ev.wParam = MouseFlags(e.motion.state);
            ev.lParam = MAKELPARAM(e.motion.x / Scale(), e.motion.y / Scale());
            made = true;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            made = ButtonMessage(e.button, &ev);
            break;
        case SDL_MOUSEWHEEL:
            made = WheelMessage(e.wheel, &ev);
            break;
        case SDL_WINDOWEVENT:
            made = WindowMessage(e.window, &ev);
            break;
        default:
            break;
        }
        if (made)
            out->push_back(std::move(ev));
    }
    return true;
}

#else

std::unique_ptr<WindowBackend> CreateScreenBackend(const char*, int, int, int, int, bool)
{
    return nullptr;
}
void ShowScreenCursor(const std::uint32_t*, int, int, int, int) {}
void ShowScreenSystemCursor(int) {}
bool ScreenHasUser()
{
    return false;
}
bool PollScreenEvents(std::vector<BackendEvent>*)
{
    return false;
}

#endif

} // namespace moxplat
