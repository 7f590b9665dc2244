// The C runtime's folder functions. Names may be written the Windows way ('\' separators, any
// case), as with every file name here; _getcwd answers the folder as the system names it.
#pragma once

#include <cstddef>

#include "windef.h"

extern "C" {
// A null buffer gets one from malloc of at least maxlen characters (the caller frees it); a
// buffer too small gives NULL with errno ERANGE.
MOXPLAT_API char* _getcwd(char* buffer, int maxlen);
MOXPLAT_API wchar_t* _wgetcwd(wchar_t* buffer, int maxlen);
// 0 on success, -1 with errno set (ENOENT, EEXIST, ENOTEMPTY, EACCES ...) on failure.
MOXPLAT_API int _chdir(const char* dirname);
MOXPLAT_API int _wchdir(const wchar_t* dirname);
MOXPLAT_API int _mkdir(const char* dirname);
MOXPLAT_API int _wmkdir(const wchar_t* dirname);
MOXPLAT_API int _rmdir(const char* dirname);
MOXPLAT_API int _wrmdir(const wchar_t* dirname);
}
