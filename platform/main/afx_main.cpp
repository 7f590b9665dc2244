// The entry point of a Windows program that has no main of its own: it calls the program's
// WinMain or wWinMain, or the Unicode console entry wmain, or, for an MFC program (a global
// CWinApp object), AfxWinMain. It lives in a static library: the linker takes this main only
// when the program defines none, so a host with its own main may link the library as well.
//
// The program's entry points are weak references: each is null unless the program defines it.
#include <afxwin.h>

#include <string>
#include <vector>

#ifdef _WIN32
// Windows' C runtime calls a program's WinMain itself; this main serves MFC programs only.
int main(int argc, char** argv)
{
    // m_lpCmdLine holds the arguments after the program's name, as on Windows.
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return AfxWinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT);
}
#else
extern "C" {
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) __attribute__((weak));
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) __attribute__((weak));
int wmain(int, wchar_t**) __attribute__((weak));
}

namespace {

// The command line after the program's name, as Windows hands it to WinMain: the rest of
// GetCommandLine past the name (quoted or not) and the blanks that follow it.
template <typename C> C* ArgumentsOf(C* line)
{
    C* p = line;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (wWinMain)
        return wWinMain(instance, nullptr, ArgumentsOf(GetCommandLineW()), SW_SHOWDEFAULT);
    if (WinMain)
        return WinMain(instance, nullptr, ArgumentsOf(GetCommandLineA()), SW_SHOWDEFAULT);
    if (wmain) {
        std::vector<std::wstring> args;
        std::vector<wchar_t*> pointers;
        for (int i = 0; i < argc; ++i) {
            const int n = MultiByteToWideChar(CP_UTF8, 0, argv[i], -1, nullptr, 0);
            std::wstring arg(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
            if (n > 0)
                MultiByteToWideChar(CP_UTF8, 0, argv[i], -1, arg.data(), n);
            args.push_back(std::move(arg));
        }
        for (std::wstring& arg : args)
            pointers.push_back(arg.data());
        pointers.push_back(nullptr);
        return wmain(argc, pointers.data());
    }
    return AfxWinMain(instance, nullptr, ArgumentsOf(GetCommandLineA()), SW_SHOWDEFAULT);
}
#endif
