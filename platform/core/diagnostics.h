// The one log and the one reader of numeric environment settings, shared by the library and the
// platform layer. Compiled into MoxPlatform on every system (on Windows the small MFC DLL), the
// one place both reach, so a setting is read once and the log is switched in one place.
//
// The log is optional: the Windows interface is silent, so nothing is written unless the host
// asks for it with MOXIMAGE2_LOG=1 in the environment; then each failure that would otherwise
// be swallowed (a file that does not load, a missing font family, a message from a library
// underneath, a setting that cannot be read) becomes one line on standard error.
#pragma once

#include <cstdarg>

#if defined(_WIN32)
#if defined(MOXPLAT_BUILD)
#define MOXPLAT_CORE_API __declspec(dllexport)
#else
#define MOXPLAT_CORE_API __declspec(dllimport)
#endif
#else
#define MOXPLAT_CORE_API __attribute__((visibility("default")))
#endif

#if defined(__GNUC__)
#define MOXPLAT_PRINTF_LIKE(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define MOXPLAT_PRINTF_LIKE(fmt, first)
#endif

namespace moxplat {

// True when MOXIMAGE2_LOG is set to something other than "" or "0". Read once.
MOXPLAT_CORE_API bool DiagnosticsEnabled();

// Writes "MoxImage2: <formatted text>\n" to standard error as one write, when enabled.
MOXPLAT_CORE_API void Diagnose(const char* format, ...) MOXPLAT_PRINTF_LIKE(1, 2);
MOXPLAT_CORE_API void DiagnoseV(const char* format, std::va_list args);

// Reads a positive decimal count: digits only (no sign, space or suffix), at least 1, at most
// 2^64 - 1. False for anything else, including null and "".
MOXPLAT_CORE_API bool ParsePositiveCount(const char* text, unsigned long long* value);

// The environment variable `name` read with ParsePositiveCount; `fallback` when it is unset or
// unreadable, and an unreadable value is reported in the log.
MOXPLAT_CORE_API unsigned long long CountSetting(const char* name, unsigned long long fallback);

// The largest image, in pixels, that a load accepts: the library's TGA loader and the platform's
// image-file decoder read the same value. MOXIMAGE2_MAX_PIXELS sets it at start-up.
MOXPLAT_CORE_API void SetMaxImagePixels(unsigned long long pixels);
MOXPLAT_CORE_API unsigned long long GetMaxImagePixels();

} // namespace moxplat
