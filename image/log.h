// The library's optional diagnostics. The interface is silent by design, so nothing is written
// unless the host sets MOXIMAGE2_LOG=1 in the environment; then each failure the library would
// otherwise swallow (a file that does not load, a missing font family, a text sprite without a
// font, a refused argument) becomes one line on standard error. The lines go through the
// platform layer's one log (platform/core/diagnostics.h), which every build links.
#pragma once

#include <MoxImage2Platform.h>

#include <string>

#if defined(__GNUC__)
#define MOXIMAGE2_PRINTF_LIKE(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define MOXIMAGE2_PRINTF_LIKE(fmt, first)
#endif

namespace moximage2 {

// True when MOXIMAGE2_LOG is set to something other than "" or "0". Read once.
bool LogEnabled();

// Writes "MoxImage2: <formatted text>\n" to standard error in one call, when enabled.
void Log(const char* format, ...) MOXIMAGE2_PRINTF_LIKE(1, 2);

// UTF-8 of wide text (UTF-16 or UTF-32, whichever wchar_t holds), for messages; "(null)" for null.
std::string Utf8(const wchar_t* text);

// GDI+'s name for a status ("InvalidParameter"), or "status N" for one it does not name.
std::string StatusName(Gdiplus::Status status);

} // namespace moximage2
