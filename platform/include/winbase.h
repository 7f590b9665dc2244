// Kernel basics: time and sleeping.
#pragma once

#include "windef.h"

extern "C" {
WINBASEAPI DWORD WINAPI GetTickCount(void);
WINBASEAPI void WINAPI Sleep(DWORD dwMilliseconds);
}

// --- Resources: the data a program's resource script compiled into it (moximage2-rc).
#include "winnt.h"

typedef HINSTANCE HMODULE;
typedef HANDLE HGLOBAL;
DECLARE_HANDLE(HRSRC);

extern "C" {
// hModule NULL is the program itself. lpName and lpType are strings or MAKEINTRESOURCE numbers.
WINBASEAPI HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
WINBASEAPI HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
WINBASEAPI HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage);
WINBASEAPI HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
WINBASEAPI HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
WINBASEAPI LPVOID WINAPI LockResource(HGLOBAL hResData);
WINBASEAPI DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
WINBASEAPI BOOL WINAPI FreeResource(HGLOBAL hResData);
}
#ifdef UNICODE
#define FindResource FindResourceW
#define FindResourceEx FindResourceExW
#else
#define FindResource FindResourceA
#define FindResourceEx FindResourceExA
#endif
