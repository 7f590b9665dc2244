// The current folder, creating and removing folders and deleting files, for the Win32 calls and the C runtime's
// _getcwd family. Names pass through Windows' path rules like every file name here.
#include <windows.h>

#include <direct.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "text_convert.h"
#include "windows_path.h"

namespace {

std::string CurrentFolder()
{
    std::string path(256, '\0');
    while (!::getcwd(path.data(), path.size())) {
        if (errno != ERANGE)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(std::strlen(path.c_str()));
    return path;
}

bool FolderExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Windows tells a missing last name (ERROR_FILE_NOT_FOUND) from a missing folder on the way to
// it (ERROR_PATH_NOT_FOUND); errno has ENOENT for both.
DWORD MissingError(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return FolderExists(parent) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD ErrorOf(int error, const std::string& path)
{
    switch (error) {
    case ENOENT: return MissingError(path);
    case ENOTDIR: return ERROR_DIRECTORY;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EACCES:
    case EISDIR: // DeleteFile of a folder
    case EPERM:
    case EROFS:
    case EBUSY: return ERROR_ACCESS_DENIED;
    default: return ERROR_INVALID_NAME;
    }
}

template <typename C> DWORD CopyFolder(const std::basic_string<C>& name, DWORD size, C* out)
{
    if (!out || name.size() >= size)
        return static_cast<DWORD>(name.size() + 1); // the size needed, terminator included
    std::memcpy(out, name.c_str(), (name.size() + 1) * sizeof(C));
    return static_cast<DWORD>(name.size());
}

using FolderCall = int (*)(const char*);
int MakeFolder(const char* path) { return ::mkdir(path, 0777); }

BOOL FolderCallWin(const char* name, FolderCall call)
{
    if (!name || !*name) {
        SetLastError(!name ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string path = moxplat::ResolveWindowsPath(name);
    if (call(path.c_str()) != 0) {
        SetLastError(ErrorOf(errno, path));
        return FALSE;
    }
    return TRUE;
}

int FolderCallCrt(const char* name, FolderCall call)
{
    if (!name) {
        errno = EINVAL;
        return -1;
    }
    return call(moxplat::ResolveWindowsPath(name).c_str()) == 0 ? 0 : -1;
}

template <typename C> C* GetcwdInto(const std::basic_string<C>& name, C* buffer, int maxlen)
{
    if (buffer && maxlen <= 0) {
        errno = EINVAL;
        return nullptr;
    }
    if (name.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    const std::size_t need = name.size() + 1;
    if (!buffer) {
        const std::size_t size = std::max(need, static_cast<std::size_t>(std::max(maxlen, 0)));
        buffer = static_cast<C*>(std::malloc(size * sizeof(C)));
        if (!buffer) {
            errno = ENOMEM;
            return nullptr;
        }
    } else if (need > static_cast<std::size_t>(maxlen)) {
        errno = ERANGE;
        return nullptr;
    }
    std::memcpy(buffer, name.c_str(), need * sizeof(C));
    return buffer;
}

} // namespace

extern "C" {

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    return CopyFolder(CurrentFolder(), nBufferLength, lpBuffer);
}

DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer)
{
    return CopyFolder(moxplat::ToWide(CurrentFolder()), nBufferLength, lpBuffer);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName)
{
    return FolderCallWin(lpPathName, ::chdir);
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName)
{
    return lpPathName ? SetCurrentDirectoryA(moxplat::ToUtf8(lpPathName).c_str()) : SetCurrentDirectoryA(nullptr);
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    return FolderCallWin(lpPathName, MakeFolder);
}

BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES attributes)
{
    return lpPathName ? CreateDirectoryA(moxplat::ToUtf8(lpPathName).c_str(), attributes)
                      : CreateDirectoryA(nullptr, attributes);
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName)
{
    return FolderCallWin(lpPathName, ::rmdir);
}

BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName)
{
    return lpPathName ? RemoveDirectoryA(moxplat::ToUtf8(lpPathName).c_str()) : RemoveDirectoryA(nullptr);
}

// A folder is not a file: DeleteFile refuses it with ERROR_ACCESS_DENIED (Microsoft's
// DeleteFile: folders are removed with RemoveDirectory).
BOOL WINAPI DeleteFileA(LPCSTR lpFileName)
{
    return FolderCallWin(lpFileName, ::unlink);
}

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName)
{
    return lpFileName ? DeleteFileA(moxplat::ToUtf8(lpFileName).c_str()) : DeleteFileA(nullptr);
}

char* _getcwd(char* buffer, int maxlen)
{
    return GetcwdInto(CurrentFolder(), buffer, maxlen);
}

wchar_t* _wgetcwd(wchar_t* buffer, int maxlen)
{
    return GetcwdInto(moxplat::ToWide(CurrentFolder()), buffer, maxlen);
}

int _chdir(const char* dirname) { return FolderCallCrt(dirname, ::chdir); }
int _mkdir(const char* dirname) { return FolderCallCrt(dirname, MakeFolder); }
int _rmdir(const char* dirname) { return FolderCallCrt(dirname, ::rmdir); }

int _wchdir(const wchar_t* dirname) { return dirname ? _chdir(moxplat::ToUtf8(dirname).c_str()) : _chdir(nullptr); }
int _wmkdir(const wchar_t* dirname) { return dirname ? _mkdir(moxplat::ToUtf8(dirname).c_str()) : _mkdir(nullptr); }
int _wrmdir(const wchar_t* dirname) { return dirname ? _rmdir(moxplat::ToUtf8(dirname).c_str()) : _rmdir(nullptr); }

} // extern "C"
