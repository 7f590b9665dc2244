// Running a program headless for its own tests, without changing it:
//   MOXIMAGE2_CAPTURE=<folder>      save every visible top-level window's client area, children
//                                   drawn in, as PNG files in the folder (made if missing);
//   MOXIMAGE2_CAPTURE_MS=<n>        ... every n milliseconds (500 when neither this nor the next
//                                   is given);
//   MOXIMAGE2_CAPTURE_PRESENTS=<n>  ... or every n-th time the window was drawn and presented;
//   MOXIMAGE2_QUIT_AFTER_MS=<n>     after n milliseconds, send WM_CLOSE to the program's
//                                   top-level windows, as a user closing them would.
// Files are named w<window>-<frame>.png: the window's creation number, then a count from 1.
// The chores run from the message loop (GetMessage, PeekMessage), which every window program
// calls.
#include "gdi_registry.h"

#include <gdk-pixbuf/gdk-pixbuf.h> // after windows.h, whose TRUE and FALSE glib accepts
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace moxplat {
namespace {

constexpr std::uint64_t kDefaultCaptureMs = 500;
// Quitting is timed from when the library was loaded, close to the program's start.
const std::uint64_t g_loadedMs = NowMs();

std::uint64_t EnvNumber(const char* name)
{
    const char* v = std::getenv(name);
    if (!v || !*v)
        return 0;
    char* end = nullptr;
    const unsigned long long n = std::strtoull(v, &end, 10);
    return end && *end == '\0' ? n : 0;
}

struct Chores {
    std::string folder;
    std::uint64_t periodMs = 0;
    std::uint64_t everyPresents = 0;
    std::uint64_t quitAfterMs = 0;
    std::uint64_t startMs = 0;
    std::uint64_t nextCaptureMs = 0;
    bool quitSent = false;
    bool folderReady = false;
    struct Seen {
        std::uint64_t frames = 0;
        std::uint64_t lastPresents = 0;
    };
    std::map<std::uint64_t, Seen> windows; // by creation number
};

Chores& TheChores()
{
    static Chores chores = [] {
        Chores c;
        if (const char* folder = std::getenv("MOXIMAGE2_CAPTURE"))
            c.folder = folder;
        c.periodMs = EnvNumber("MOXIMAGE2_CAPTURE_MS");
        c.everyPresents = EnvNumber("MOXIMAGE2_CAPTURE_PRESENTS");
        if (!c.folder.empty() && !c.periodMs && !c.everyPresents)
            c.periodMs = kDefaultCaptureMs;
        c.quitAfterMs = EnvNumber("MOXIMAGE2_QUIT_AFTER_MS");
        c.startMs = g_loadedMs;
        c.nextCaptureMs = NowMs() + c.periodMs;
        return c;
    }();
    return chores;
}

bool SavePng(const std::string& path, const std::vector<std::uint8_t>& bgr, int width, int height, std::int64_t stride)
{
    // gdk-pixbuf takes red first; the window's pixels are blue first.
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
    if (!pixbuf)
        return false;
    guchar* dst = gdk_pixbuf_get_pixels(pixbuf);
    const int dstStride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = bgr.data() + y * stride;
        guchar* d = dst + static_cast<std::ptrdiff_t>(y) * dstStride;
        for (int x = 0; x < width; ++x) {
            d[x * 3 + 0] = s[x * 3 + 2];
            d[x * 3 + 1] = s[x * 3 + 1];
            d[x * 3 + 2] = s[x * 3 + 0];
        }
    }
    GError* error = nullptr;
    const gboolean saved = gdk_pixbuf_save(pixbuf, path.c_str(), "png", &error, nullptr);
    if (error) {
        std::fprintf(stderr, "MOXIMAGE2_CAPTURE: %s: %s\n", path.c_str(), error->message);
        g_error_free(error);
    }
    g_object_unref(pixbuf);
    return saved != FALSE;
}

void CaptureLocked(Registry& reg, Chores& c, std::uintptr_t key, WindowObject& w)
{
    if (!c.folderReady) {
        if (mkdir(c.folder.c_str(), 0777) != 0 && errno != EEXIST) {
            std::fprintf(stderr, "MOXIMAGE2_CAPTURE: cannot make %s\n", c.folder.c_str());
            c.folder.clear();
            return;
        }
        c.folderReady = true;
    }
    std::vector<std::uint8_t> pixels;
    int width = 0, height = 0;
    std::int64_t stride = 0;
    if (!ComposeLocked(reg, HandleOf<HWND>(key), &pixels, &width, &height, &stride))
        return;
    Chores::Seen& seen = c.windows[w.createdOrder];
    char name[64];
    std::snprintf(name, sizeof name, "/w%llu-%05llu.png", static_cast<unsigned long long>(w.createdOrder),
                  static_cast<unsigned long long>(++seen.frames));
    SavePng(c.folder + name, pixels, width, height, stride);
}

} // namespace

void HeadlessChoresLocked(Registry& reg)
{
    Chores& c = TheChores();
    const std::uint64_t now = NowMs();
    if (!c.folder.empty()) {
        const bool periodDue = c.periodMs && now >= c.nextCaptureMs;
        if (periodDue)
            c.nextCaptureMs = now + c.periodMs;
        for (auto& [key, w] : reg.windows) {
            if ((w.style & WS_CHILD) || !(w.style & WS_VISIBLE) || w.destroying)
                continue;
            Chores::Seen& seen = c.windows[w.createdOrder];
            const bool presentsDue = c.everyPresents && w.presents >= seen.lastPresents + c.everyPresents;
            if (presentsDue)
                seen.lastPresents = w.presents;
            if (periodDue || presentsDue)
                CaptureLocked(reg, c, key, w);
        }
    }
    if (c.quitAfterMs && !c.quitSent && now >= c.startMs + c.quitAfterMs) {
        c.quitSent = true;
        for (const auto& [key, w] : reg.windows) {
            if (w.style & WS_CHILD)
                continue;
            MSG m{};
            m.hwnd = HandleOf<HWND>(key);
            m.message = WM_CLOSE;
            m.time = static_cast<DWORD>(now);
            reg.queue.push_back(m);
        }
        reg.wake.notify_all();
    }
}

std::uint64_t HeadlessChoresDueLocked(Registry&)
{
    Chores& c = TheChores();
    const std::uint64_t now = NowMs();
    std::uint64_t due = UINT64_MAX;
    if (!c.folder.empty() && c.periodMs)
        due = std::min(due, c.nextCaptureMs > now ? c.nextCaptureMs - now : 0);
    if (!c.folder.empty() && c.everyPresents)
        due = std::min<std::uint64_t>(due, 10); // presents happen while the loop runs
    if (c.quitAfterMs && !c.quitSent) {
        const std::uint64_t at = c.startMs + c.quitAfterMs;
        due = std::min(due, at > now ? at - now : 0);
    }
    return due;
}

} // namespace moxplat
