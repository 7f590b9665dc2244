// The Windows SDK's umbrella header for systems other than Windows: base types, kernel, GDI,
// USER and code pages, each in the header of the SDK's name.
//
// Names, widths and signatures are Windows' own (TCHAR and the Foo names follow UNICODE), so code written
// for the Windows SDK compiles unchanged. DWORD, LONG and ULONG keep their 32-bit Windows widths
// on LP64 systems, which keeps BITMAPINFOHEADER at 40 bytes and BITMAPINFO at 44.
#pragma once

#include "windef.h"
#include "guiddef.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
#include "winnls.h"
#include "winver.h"
#include "winerror.h"
#include "mox_mscrt.h"
#ifndef WIN32_LEAN_AND_MEAN
#include "mmsystem.h" // PlaySound, as the SDK's windows.h brings it
#endif
