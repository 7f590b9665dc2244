// Opening files by wide name with Windows' path rules.
#include <windows.h>

#include "text_convert.h"
#include "windows_path.h"

extern "C" FILE* MoxFopen(const char* name, const char* mode)
{
    if (!name || !mode) {
        errno = EINVAL;
        return nullptr;
    }
    return std::fopen(moxplat::ResolveWindowsPath(name).c_str(), mode);
}

// A Windows program opens its own files with fopen and Windows names ("Data\\Level1.txt"). The
// link flags that bring the entry-point library in (pkg-config's, the CMake target
// MoxPlatformMain) wrap the program's own calls of fopen (-Wl,--wrap=fopen) so that they land
// here; calls made inside other libraries, this one included, are not rewritten. It lives in the
// shared library so that every program linked with the flag finds it, whether or not the
// program itself calls fopen.
extern "C" MOXPLAT_API FILE* __wrap_fopen(const char* name, const char* mode)
{
    return MoxFopen(name, mode);
}

extern "C" FILE* MoxWfopen(const wchar_t* name, const wchar_t* mode)
{
    if (!name || !mode) {
        errno = EINVAL;
        return nullptr;
    }
    return std::fopen(moxplat::ResolveWindowsPath(moxplat::ToUtf8(name).c_str()).c_str(),
                      moxplat::ToUtf8(mode).c_str());
}
