// GDI+ start-up and memory. Start-ups are counted: while none is active, the functions that make
// objects fail with GdiplusNotInitialized as on Windows, so that a program loading its images too
// early sees the failure it relies on to load them again later.
#include "gdiplus_internal.h"
#include "gdiplus_tools.h"
#include "text_stack.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<ULONG_PTR> g_nextToken{1};
std::atomic<int> g_activeStartups{0};

Gdiplus::Status WINAPI NotificationHook(ULONG_PTR* token)
{
    if (!token)
        return Gdiplus::InvalidParameter;
    *token = g_nextToken++;
    return Gdiplus::Ok;
}

VOID WINAPI NotificationUnhook(ULONG_PTR) {}

} // namespace

namespace moxplat {

bool GdiplusReady()
{
    return g_activeStartups.load() > 0;
}

} // namespace moxplat

namespace Gdiplus {

extern "C" Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                                        GdiplusStartupOutput* output)
{
    if (!token || !input)
        return InvalidParameter;
    // Version 1 and its 1.1 successor (2) share this interface.
    if (input->GdiplusVersion != 1 && input->GdiplusVersion != 2)
        return UnsupportedGdiplusVersion;
    // Without a background thread the host must be able to hook notifications, so it has to
    // ask for the hooks.
    if (input->SuppressBackgroundThread && !output)
        return InvalidParameter;
    if (output) {
        output->NotificationHook = input->SuppressBackgroundThread ? NotificationHook : nullptr;
        output->NotificationUnhook = input->SuppressBackgroundThread ? NotificationUnhook : nullptr;
    }
    *token = g_nextToken++;
    ++g_activeStartups;
    return Ok;
}

// Gives the text stack's process-wide state back when that is safe (text_stack.h), so that a
// host which shuts GDI+ down after drawing text ends without leaks.
extern "C" VOID WINAPI GdiplusShutdown(ULONG_PTR)
{
    int active = g_activeStartups.load();
    while (active > 0 && !g_activeStartups.compare_exchange_weak(active, active - 1)) {
    }
    // Text drawn after a new start-up is laid out again: a string whose coverage was kept would
    // otherwise draw without the text stack, which then would not know to give fontconfig back.
    moxplat::ForgetStringMasks();
    moxplat::ReleaseTextStack();
}

namespace DllExports {

extern "C" void* WINGDIPAPI GdipAlloc(size_t size)
{
    return std::malloc(size ? size : 1);
}

extern "C" void WINGDIPAPI GdipFree(void* ptr)
{
    std::free(ptr);
}

} // namespace DllExports
} // namespace Gdiplus
