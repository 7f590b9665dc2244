// Multimedia: the millisecond clock and its resolution, and sound playing.
#pragma once

#include "windows.h"

typedef UINT MMRESULT;
#define MMSYSERR_NOERROR 0
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

extern "C" {
// Milliseconds since the system started, wrapping every 2^32 ms (about 49.7 days).
MOXPLAT_API DWORD WINAPI timeGetTime(void);
// Windows raises the timer resolution between these calls; here the clock and the sleeps already
// have millisecond resolution, so a valid period (1 ms or more) is simply accepted.
MOXPLAT_API MMRESULT WINAPI timeBeginPeriod(UINT uPeriod);
MOXPLAT_API MMRESULT WINAPI timeEndPeriod(UINT uPeriod);

MOXPLAT_API BOOL WINAPI PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound);
MOXPLAT_API BOOL WINAPI PlaySoundW(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound);
}
#ifdef UNICODE
#define PlaySound PlaySoundW
#else
#define PlaySound PlaySoundA
#endif

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_LOOP 0x0008
#define SND_NOSTOP 0x0010
#define SND_NOWAIT 0x00002000L
#define SND_ALIAS 0x00010000L
#define SND_ALIAS_ID 0x00110000L
#define SND_FILENAME 0x00020000L
#define SND_RESOURCE 0x00040004L
#define SND_PURGE 0x0040
#define SND_APPLICATION 0x0080
