// Code pages. The ANSI code page of this platform is UTF-8; wide characters are the native wchar_t.
//
// CP_ACP is UTF-8 here (Windows' own "UTF-8 as the ANSI code page" setting), so a program's A
// functions take UTF-8 and a Unicode build's W functions take wchar_t, 32 bits, one code point
// per unit. The platform, MFC and the library are built narrow: a program compiled with UNICODE
// reaches them through W functions and wide inline overloads that convert to UTF-8.
#pragma once

#include "windef.h"

#define CP_ACP 0
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080

extern "C" {
WINBASEAPI int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                          LPWSTR lpWideCharStr, int cchWideChar);
// CP_ACP and CP_UTF8, both UTF-8 here: as for CP_UTF8 on Windows, lpDefaultChar and
// lpUsedDefaultChar must be null, since every code point has a UTF-8 form.
WINBASEAPI int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                          LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                          LPBOOL lpUsedDefaultChar);
}
