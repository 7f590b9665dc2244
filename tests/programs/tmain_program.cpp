// A console program with the generic-text _tmain: main narrow, wmain in a Unicode build, where
// the entry-point library hands it the arguments as wide text. Run as `program é 7`, it exits
// with 42.
#include <tchar.h>
#include <windows.h>

int __cdecl _tmain(int argc, _TCHAR* argv[])
{
    if (argc != 3)
        return 10;
    if (_tcscmp(argv[1], _T("\u00e9")) != 0)
        return 11;
    return _ttoi(argv[2]) * 6;
}
