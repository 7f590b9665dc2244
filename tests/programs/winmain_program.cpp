// A Windows program as the SDK's project templates write one: the SDK headers in their own
// spellings, a generic-text _tWinMain, TCHAR text and the secure runtime forms. Built narrow and
// with UNICODE/_UNICODE; run as `program alpha "b c"`, it exits with 42 when its entry point got
// what Windows gives (and a code naming the first thing that differed otherwise).
#include <SDKDDKVer.h>

#define WIN32_LEAN_AND_MEAN
#include <Windows.h>

// The order the SDK needs: these stand on Windows.h.
// clang-format off
#include <tchar.h>
#include <WindowsX.h>
#include <MMSystem.h>
#include <CommCtrl.h>
// clang-format on

#include <stdio.h>
#include <string.h>

static int Check(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    if (!InitCommonControlsEx(&icc))
        return 10;
    if (!hInstance || hInstance != GetModuleHandle(NULL))
        return 11;
    if (nCmdShow != SW_SHOWDEFAULT)
        return 12;
    // The command line after the program's name, exactly as typed.
    if (_tcscmp(lpCmdLine, _T("alpha \"b c\"")) != 0)
        return 13;
    TCHAR text[64];
    _stprintf_s(text, _T("%s=%d"), _T("x"), 7);
    if (lstrcmp(text, TEXT("x=7")) != 0)
        return 14;
    TCHAR copy[4];
    if (_tcscpy_s(copy, _T("long text")) == 0 || copy[0] != 0)
        return 15;
    wsprintf(text, TEXT("%s-%u"), TEXT("w"), 300u);
    if (lstrlen(text) != 5 || _ttoi(text + 2) != 300)
        return 16;
    LPCTSTR full = GetCommandLine();
    if (!_tcsstr(full, lpCmdLine))
        return 17;
    const DWORD t0 = timeGetTime();
    LARGE_INTEGER frequency, counter;
    if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&counter) || frequency.QuadPart <= 0)
        return 18;
    Sleep(2);
    if (timeGetTime() - t0 > 60000 || GET_X_LPARAM(MAKELPARAM(-5, 9)) != -5)
        return 19;
    // A file saved and read back by fopen with Windows names: '\\' separates, case is ignored.
    CreateDirectory(_T("winmain_program_data"), NULL);
    FILE* out = fopen("winmain_program_data\\Score.TXT", "w");
    if (!out || fputs("300", out) < 0 || fclose(out) != 0)
        return 20;
    FILE* in = fopen("WINMAIN_PROGRAM_DATA\\score.txt", "r");
    char score[8] = {0};
    const bool read = in && fgets(score, sizeof score, in) && strcmp(score, "300") == 0;
    if (in)
        fclose(in);
    DeleteFile(_T("winmain_program_data\\Score.TXT"));
    RemoveDirectory(_T("winmain_program_data"));
    if (!read)
        return 21;
    return 42;
}

int APIENTRY _tWinMain(_In_ HINSTANCE hInstance, _In_opt_ HINSTANCE hPrevInstance, _In_ LPTSTR lpCmdLine,
                       _In_ int nCmdShow)
{
    UNREFERENCED_PARAMETER(hPrevInstance);
    const int result = Check(hInstance, lpCmdLine, nCmdShow);
    if (result != 42)
        printf("winmain_program: check %d failed\n", result);
    return result;
}
