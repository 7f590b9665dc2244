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

extern "C" FILE* MoxWfopen(const wchar_t* name, const wchar_t* mode)
{
    if (!name || !mode) {
        errno = EINVAL;
        return nullptr;
    }
    return std::fopen(moxplat::ResolveWindowsPath(moxplat::ToUtf8(name).c_str()).c_str(),
                      moxplat::ToUtf8(mode).c_str());
}
