// The program's module and command line, and process and thread ids.
#include <windows.h>

#include <link.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "text_convert.h"

namespace {

// The address the program's image is loaded at (its first loadable segment), which is what
// Windows hands out as the program's module handle and hInstance.
HMODULE ProgramBase()
{
    static HMODULE base = [] {
        HMODULE found = nullptr;
        dl_iterate_phdr(
            [](dl_phdr_info* info, std::size_t, void* data) -> int {
                for (int i = 0; i < info->dlpi_phnum; ++i)
                    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                        *static_cast<HMODULE*>(data) =
                            reinterpret_cast<HMODULE>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                        break;
                    }
                return 1; // the program itself is always first
            },
            &found);
        return found;
    }();
    return base;
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct ModuleMatch {
    std::string wanted;
    HMODULE found = nullptr;
    bool first = true;
};

std::string ProgramPath()
{
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}

// The command line as Windows gives it: the program's name (quoted when it holds a space) and
// the arguments, each quoted when it holds a space or a tab, joined by spaces.
std::string BuildCommandLine()
{
    std::string raw;
    if (FILE* f = std::fopen("/proc/self/cmdline", "rb")) {
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            raw.append(chunk, n);
        std::fclose(f);
    }
    std::string line;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find('\0', start);
        if (end == std::string::npos)
            end = raw.size();
        const std::string arg = raw.substr(start, end - start);
        if (!line.empty())
            line += ' ';
        if (arg.empty() || arg.find_first_of(" \t") != std::string::npos)
            line += '"' + arg + '"';
        else
            line += arg;
        start = end + 1;
    }
    return line;
}

template <typename C> DWORD CopyName(const std::basic_string<C>& name, C* out, DWORD size)
{
    if (!out || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (name.size() >= size) { // cut and terminated, as Windows does since Vista
        std::copy(name.begin(), name.begin() + (size - 1), out);
        out[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(name.begin(), name.end(), out);
    out[name.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(name.size());
}

} // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName)
{
    if (!lpModuleName)
        return ProgramBase();
    // A loaded module's file name, with or without its folder, case ignored as Windows does.
    ModuleMatch match;
    match.wanted = BaseName(lpModuleName);
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
            auto* m = static_cast<ModuleMatch*>(data);
            const bool first = m->first;
            m->first = false;
            const std::string name = first ? BaseName(ProgramPath()) : BaseName(info->dlpi_name ? info->dlpi_name : "");
            if (name.empty() || strcasecmp(name.c_str(), m->wanted.c_str()) != 0)
                return 0;
            for (int i = 0; i < info->dlpi_phnum; ++i)
                if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                    m->found = reinterpret_cast<HMODULE>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                    return 1;
                }
            return 0;
        },
        &match);
    if (!match.found)
        SetLastError(ERROR_MOD_NOT_FOUND);
    return match.found;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName)
{
    if (!lpModuleName)
        return ProgramBase();
    return GetModuleHandleA(moxplat::ToUtf8(lpModuleName).c_str());
}

// Only the program's own file name is known by handle: null or the program's handle.
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    if (hModule && hModule != ProgramBase()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return CopyName(ProgramPath(), lpFilename, nSize);
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize)
{
    if (hModule && hModule != ProgramBase()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return CopyName(moxplat::ToWide(ProgramPath()), lpFilename, nSize);
}

LPSTR WINAPI GetCommandLineA(void)
{
    static std::string line = BuildCommandLine();
    return line.data();
}

LPWSTR WINAPI GetCommandLineW(void)
{
    static std::wstring line = moxplat::ToWide(GetCommandLineA());
    return line.data();
}

DWORD WINAPI GetCurrentProcessId(void)
{
    return static_cast<DWORD>(getpid());
}

DWORD WINAPI GetCurrentThreadId(void)
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}

} // extern "C"
