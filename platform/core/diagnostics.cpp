#include "diagnostics.h"

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

void DiagnoseV(const char* format, std::va_list args)
{
    if (!DiagnosticsEnabled())
        return;
    char line[1024];
    const int n = std::vsnprintf(line, sizeof line, format, args);
    if (n < 0)
        return;
    // A single write per line keeps lines whole when the host writes to standard error too.
    std::fprintf(stderr, "MoxImage2: %s\n", line);
}

void Diagnose(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    DiagnoseV(format, args);
    va_end(args);
}

bool ParsePositiveCount(const char* text, unsigned long long* value)
{
    // strtoull would accept a sign, leading space, and saturate on overflow; none of those is a
    // count the host meant.
    if (!text || !*text)
        return false;
    unsigned long long n = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        const unsigned digit = unsigned(*p - '0');
        if (n > (~0ull - digit) / 10)
            return false;
        n = n * 10 + digit;
    }
    if (n == 0)
        return false;
    *value = n;
    return true;
}

unsigned long long CountSetting(const char* name, unsigned long long fallback)
{
    const char* text = std::getenv(name);
    if (!text)
        return fallback;
    unsigned long long value = 0;
    if (ParsePositiveCount(text, &value))
        return value;
    Diagnose("%s=\"%.64s\" is not a whole number from 1 to 18446744073709551615; using the default %llu", name,
             text, fallback);
    return fallback;
}

} // namespace moxplat
