// The part of MFC that hosts of this library use, for Windows builds without MFC (MinGW-w64).
//
// The classes are declared once, in the stand-in's afxwin.h, so that a host sees the same names
// and signatures on every system; here they sit on the real <windows.h> and are implemented
// over real Win32 calls (platform/win32/*.cpp). Only this directory is on the include path of
// a Windows build: <windows.h> and <gdiplus.h> are the SDK's.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX // the SDK's min and max macros would break std::min and std::max
#endif
#include <windows.h>
#include <windowsx.h> // GET_X_LPARAM and GET_Y_LPARAM, which hosts read mouse messages with

#if defined(UNICODE) || defined(_UNICODE)
// CWnd's members that carry Windows' A/W names (SendMessage, DefWindowProc, ...) are built
// with their ANSI names, like the rest of this library's interface.
#error "MoxImage2's MFC part is built for ANSI hosts: compile without UNICODE and _UNICODE"
#endif

#if defined(MOXPLAT_BUILD)
#define MOXPLAT_API __declspec(dllexport)
#else
#define MOXPLAT_API __declspec(dllimport)
#endif

#include "../include/afxwin.h"
