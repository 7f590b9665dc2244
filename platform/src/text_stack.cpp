#include "text_stack.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <mutex>
#include <thread>

namespace moxplat {

namespace {

// How long a shut-down waits for pango's fontconfig start-up thread to finish.
constexpr int kWaitMilliseconds = 500;

struct TextStackUse {
    std::mutex mutex;
    long liveLayouts = 0;
    bool used = false;
    bool otherThreads = false; // text was laid out on more than one thread
    std::thread::id thread;
};

TextStackUse& Use()
{
    static TextStackUse* use = new TextStackUse; // never destroyed: fonts may be released at exit
    return *use;
}

} // namespace

void NoteTextLayoutsMade()
{
    TextStackUse& use = Use();
    std::lock_guard<std::mutex> lock(use.mutex);
    ++use.liveLayouts;
    const std::thread::id self = std::this_thread::get_id();
    if (!use.used) {
        use.used = true;
        use.thread = self;
    } else if (use.thread != self) {
        use.otherThreads = true;
    }
}

void NoteTextLayoutsReleased()
{
    TextStackUse& use = Use();
    std::lock_guard<std::mutex> lock(use.mutex);
    if (use.liveLayouts > 0)
        --use.liveLayouts;
}

bool ReleaseTextStack()
{
    TextStackUse& use = Use();
    std::lock_guard<std::mutex> lock(use.mutex);
    if (!use.used || use.liveLayouts > 0 || use.otherThreads || use.thread != std::this_thread::get_id())
        return false;
    // Pango lays out with the thread's default font map, which holds fontconfig's configuration
    // (and may still be held by pango's own fontconfig start-up thread). fontconfig can be given
    // back only once that map is really gone.
    PangoFontMap* map = pango_cairo_font_map_get_default();
    gpointer watch = map;
    g_object_add_weak_pointer(G_OBJECT(map), &watch);
    pango_cairo_font_map_set_default(nullptr);
    // That thread lets go of the map when it has loaded the configuration; give it a moment.
    for (int waited = 0; watch && waited < kWaitMilliseconds; ++waited)
        g_usleep(1000);
    if (watch) {
        g_object_remove_weak_pointer(G_OBJECT(map), &watch);
        return false;
    }
    FcFini();
    use.used = false;
    return true;
}

} // namespace moxplat
