// Windows base types, handles, RECT, POINT, SIZE and the word and colour macros.
//
// Names, widths and signatures are Windows' own. DWORD, LONG and ULONG keep their 32-bit Windows
// widths on LP64 systems, which keeps BITMAPINFOHEADER at 40 bytes and BITMAPINFO at 44.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>

#define MOXPLAT_API __attribute__((visibility("default")))

#define WINAPI
#define CALLBACK
#define APIENTRY WINAPI
#define WINAPIV
#define PASCAL
// Calling conventions of 32-bit Windows; x86-64 has one convention, as 64-bit Windows has.
#ifndef __stdcall
#define __stdcall
#endif
#ifndef __cdecl
#define __cdecl
#endif
#define WINGDIAPI MOXPLAT_API
#define WINUSERAPI MOXPLAT_API
#define WINBASEAPI MOXPLAT_API

#ifndef NULL
#define NULL nullptr
#endif
#define TRUE 1
#define FALSE 0

typedef int BOOL;
typedef unsigned char BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::uint32_t ULONG;
typedef std::uint32_t UINT32;
typedef std::int32_t INT32;
typedef unsigned short USHORT;
typedef short SHORT;
typedef unsigned int UINT;
typedef int INT;
typedef std::uintptr_t ULONG_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::uintptr_t DWORD_PTR;
typedef std::intptr_t LONG_PTR;
typedef std::intptr_t INT_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef void VOID;
typedef void* LPVOID;
typedef void* HANDLE;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
typedef DWORD COLORREF;
typedef WORD LANGID;

#define DECLARE_HANDLE(name) \
    struct name##__ {        \
        int unused;          \
    };                       \
    typedef struct name##__* name
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HICON);
typedef HICON HCURSOR; // one kind of handle, as in the SDK: programs cast freely between them
DECLARE_HANDLE(HPALETTE);
typedef void* HGDIOBJ;

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#define CLR_INVALID 0xFFFFFFFF

#define LANG_NEUTRAL 0x00

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;

typedef RECT* PRECT;
typedef POINT* PPOINT;
typedef SIZE *PSIZE, *LPSIZE;
typedef float FLOAT;
typedef unsigned short ATOM;
typedef BOOL* LPBOOL;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef int* LPINT;
typedef LONG* LPLONG;
typedef WORD* LPWORD;
typedef const void* LPCVOID;

// The longest path the ANSI file functions take, terminating zero included.
#define MAX_PATH 260

// TCHAR, TEXT, HRESULT, LARGE_INTEGER and the memory macros.
#include "winnt.h"
