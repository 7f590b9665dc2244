// CStringA (narrow: UTF-8 here, the ANSI code page on Windows), CStringW (wchar_t) and CString,
// the one of the two that TCHAR names (wide when UNICODE is defined).
#pragma once

#include "cstringt.h"

typedef CStringT<char> CStringA;
typedef CStringT<wchar_t> CStringW;
typedef CStringT<TCHAR> CString;
