#include "text_stack.h"

#include <fontconfig/fontconfig.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace moxplat {

namespace {

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
    if (!ReleaseThreadFontMap())
        return false;
    // Pango finishes fontconfig work it queued on its own thread after the font map is gone,
    // still holding fontconfig's caches, and nothing reports when it is done. Giving fontconfig
    // back meanwhile fails an assertion inside it and aborts the process: measured on a loaded
    // machine, one shut-down in five without this pause, none in 60 with 50 or 100 ms. The
    // longer is a shut-down's small price.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    FcFini();
    use.used = false;
    return true;
}

} // namespace moxplat
