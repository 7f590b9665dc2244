// Keeps the decoder and text libraries quiet. gdk-pixbuf and pango report through GLib's log,
// whose default handler prints to standard error (a malformed image can make the decoder print
// a critical warning mid-load); the interface this stand-in imitates prints nothing. Their
// messages go to the optional diagnostics instead, or nowhere.
//
// Only the log domains of those two libraries are taken over, when the stand-in is loaded: a
// host's own GLib messages, and its writer function, stay as they were. (Setting GLib's writer
// function would catch more, but it may be set once per process, and that belongs to the host.)
// Fatal messages stay fatal: GLib aborts after any handler when a message is fatal, which is
// why hostile image headers are refused before the decoder sees them.
#include "diagnostics.h"

#include <glib.h>

namespace {

void RouteToDiagnostics(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer)
{
    const char* kind = (level & G_LOG_LEVEL_ERROR)      ? "error"
                       : (level & G_LOG_LEVEL_CRITICAL) ? "critical"
                       : (level & G_LOG_LEVEL_WARNING)  ? "warning"
                                                        : "message";
    moxplat::Diagnose("%s %s: %s", domain ? domain : "GLib", kind, message ? message : "");
}

// Installed when the stand-in is loaded, removed when it is unloaded (a host may unload it).
struct RouteLibraryMessages {
    static constexpr const char* kDomains[] = {"GdkPixbuf", "Pango"};
    guint handlers[2] = {};

    RouteLibraryMessages()
    {
        const GLogLevelFlags all = GLogLevelFlags(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION);
        for (int k = 0; k < 2; ++k)
            handlers[k] = g_log_set_handler(kDomains[k], all, RouteToDiagnostics, nullptr);
    }
    ~RouteLibraryMessages()
    {
        for (int k = 0; k < 2; ++k)
            g_log_remove_handler(kDomains[k], handlers[k]);
    }
} routeLibraryMessages;

} // namespace
