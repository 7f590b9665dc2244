#include "diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace moxplat {

bool DiagnosticsEnabled()
{
    static const bool enabled = [] {
        const char* value = std::getenv("MOXIMAGE2_LOG");
        return value && *value && std::strcmp(value, "0") != 0;
    }();
    return enabled;
}

void Diagnose(const char* format, ...)
{
    if (!DiagnosticsEnabled())
        return;
    char line[1024];
    std::va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0)
        return;
    // A single write per line keeps lines whole when the host writes to standard error too.
    std::fprintf(stderr, "MoxImage2: %s\n", line);
}

} // namespace moxplat
