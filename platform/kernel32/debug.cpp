// Debugger output. Without a debugger attached Windows shows it nowhere; MOXIMAGE2_LOG makes it
// visible on standard error for a program's own TRACE lines.
#include <windows.h>

#include <cstdio>

#include "diagnostics.h"
#include "text_convert.h"

extern "C" {

void WINAPI OutputDebugStringA(LPCSTR lpOutputString)
{
    if (lpOutputString && moxplat::DiagnosticsEnabled())
        std::fputs(lpOutputString, stderr);
}

void WINAPI OutputDebugStringW(LPCWSTR lpOutputString)
{
    if (lpOutputString && moxplat::DiagnosticsEnabled())
        std::fputs(moxplat::ToUtf8(lpOutputString).c_str(), stderr);
}

} // extern "C"
