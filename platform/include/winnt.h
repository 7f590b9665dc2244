// Text types that follow the build's character set, 64-bit integers, HRESULT and the memory
// macros.
//
// UNICODE selects wide text for TCHAR, LPTSTR, LPCTSTR, TEXT() and every Foo that has FooA and
// FooW forms; without it they are narrow. Narrow text is UTF-8 on this platform (see CP_ACP in
// winnls.h) and wide text is wchar_t, 32 bits, one code point per unit. The platform and the
// library are built narrow: their exported functions take char or wchar_t explicitly, never
// TCHAR, so one build serves programs compiled either way.
//
// Language identifiers: MAKELANGID and the languages and sublanguages resource scripts name.
#pragma once

#include "windef.h"

#include <cstring>

// long long, as Windows' __int64: on 64-bit Linux std::int64_t is long, which overloads by type
// (CArchive's operators) would take for Windows' 32-bit long.
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef std::int64_t INT64;
typedef std::uint64_t UINT64;
typedef std::uint64_t DWORD64;
typedef std::int64_t LONG64;
typedef std::uint64_t ULONG64;
typedef std::uintptr_t SIZE_T;
typedef std::intptr_t SSIZE_T;
typedef LONG HRESULT;
typedef BYTE BOOLEAN;

typedef char* PCHAR;
typedef char* PSTR;
typedef const char* PCSTR;
typedef char* LPCH;
typedef char* PCH;
typedef const char* LPCCH;
typedef const char* PCCH;
typedef wchar_t* PWCHAR;
typedef wchar_t* PWSTR;
typedef const wchar_t* PCWSTR;
typedef wchar_t* LPWCH;
typedef wchar_t* PWCH;
typedef const wchar_t* LPCWCH;
typedef const wchar_t* PCWCH;

#define __TEXTA(quote) quote
#define __TEXTW(quote) L##quote

#ifdef UNICODE
typedef wchar_t TCHAR;
typedef wchar_t TBYTE;
#define __TEXT(quote) L##quote
#else
typedef char TCHAR;
typedef unsigned char TBYTE;
#define __TEXT(quote) quote
#endif
#define TEXT(quote) __TEXT(quote)
typedef TCHAR* PTCHAR;
typedef TBYTE* PTBYTE;
typedef TCHAR* LPTSTR;
typedef const TCHAR* LPCTSTR;
typedef TCHAR* PTSTR;
typedef const TCHAR* PCTSTR;
typedef TCHAR* LPTCH;
typedef TCHAR* PTCH;

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    };
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

typedef union _ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    };
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
} ULARGE_INTEGER, *PULARGE_INTEGER;

#define UNREFERENCED_PARAMETER(P) (void)(P)
#define DBG_UNREFERENCED_PARAMETER(P) (void)(P)
#define DBG_UNREFERENCED_LOCAL_VARIABLE(V) (void)(V)

#define MAKEWORD(a, b) ((WORD)(((BYTE)(((DWORD_PTR)(a)) & 0xff)) | ((WORD)((BYTE)(((DWORD_PTR)(b)) & 0xff))) << 8))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))

#define RtlEqualMemory(Destination, Source, Length) (!std::memcmp((Destination), (Source), (Length)))
#define RtlMoveMemory(Destination, Source, Length) std::memmove((Destination), (Source), (Length))
#define RtlCopyMemory(Destination, Source, Length) std::memcpy((Destination), (Source), (Length))
#define RtlFillMemory(Destination, Length, Fill) std::memset((Destination), (Fill), (Length))
#define RtlZeroMemory(Destination, Length) std::memset((Destination), 0, (Length))
#define MoveMemory RtlMoveMemory
#define CopyMemory RtlCopyMemory
#define FillMemory RtlFillMemory
#define ZeroMemory RtlZeroMemory
#define EqualMemory RtlEqualMemory
#define SecureZeroMemory RtlZeroMemory

#define MAXLONG 0x7fffffff
#define MAXDWORD 0xffffffff
#define MAXWORD 0xffff
#define MAXBYTE 0xff

#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define PRIMARYLANGID(lgid) ((WORD)(lgid) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)

#define LANG_NEUTRAL 0x00
#define LANG_INVARIANT 0x7f
#define LANG_CHINESE 0x04
#define LANG_GERMAN 0x07
#define LANG_ENGLISH 0x09
#define LANG_SPANISH 0x0a
#define LANG_FRENCH 0x0c
#define LANG_ITALIAN 0x10
#define LANG_JAPANESE 0x11
#define LANG_KOREAN 0x12
#define LANG_DUTCH 0x13
#define LANG_POLISH 0x15
#define LANG_PORTUGUESE 0x16
#define LANG_RUSSIAN 0x19
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define SUBLANG_ENGLISH_US 0x01
#define SUBLANG_ENGLISH_UK 0x02
#define SUBLANG_GERMAN 0x01
#define SUBLANG_FRENCH 0x01
#define SUBLANG_CHINESE_TRADITIONAL 0x01
#define SUBLANG_CHINESE_SIMPLIFIED 0x02

// A member's byte offset in a structure, as a LONG; array elements may be named
// (FIELD_OFFSET(BITMAPINFO, bmiColors[256])).
#include <cstddef>
#define FIELD_OFFSET(type, field) ((LONG)offsetof(type, field))
