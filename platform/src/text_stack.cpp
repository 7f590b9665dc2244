#include "text_stack.h"

#include <fontconfig/fontconfig.h>

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
    FcFini();
    use.used = false;
    return true;
}

} // namespace moxplat
