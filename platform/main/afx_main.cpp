// The entry point of a program written the MFC way, with one global CWinApp object and no main
// of its own. It lives in a static library: the linker takes this main only when the program
// defines none, so a host with its own main may link the library as well.
#include <afxwin.h>

#include <string>

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
