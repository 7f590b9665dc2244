// Multimedia: the millisecond clock and its resolution, PlaySound and sndPlaySound.
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
}

#define SND_SYNC 0x0000
#define SND_ASYNC 0x0001
#define SND_NODEFAULT 0x0002
#define SND_MEMORY 0x0004
#define SND_LOOP 0x0008
#define SND_NOSTOP 0x0010
#define SND_PURGE 0x0040
#define SND_APPLICATION 0x0080
#define SND_NOWAIT 0x00002000L
#define SND_ALIAS 0x00010000L
#define SND_ALIAS_ID 0x00110000L
#define SND_FILENAME 0x00020000L
#define SND_RESOURCE 0x00040004L
#define SND_SENTRY 0x00080000L
#define SND_SYSTEM 0x00200000L

// Numbers of the system sounds for SND_ALIAS_ID.
#define sndAlias(c0, c1) (((DWORD)(BYTE)(c0)) | (((DWORD)(BYTE)(c1)) << 8))
#define SND_ALIAS_SYSTEMASTERISK sndAlias('S', '*')
#define SND_ALIAS_SYSTEMQUESTION sndAlias('S', '?')
#define SND_ALIAS_SYSTEMHAND sndAlias('S', 'H')
#define SND_ALIAS_SYSTEMEXIT sndAlias('S', 'E')
#define SND_ALIAS_SYSTEMSTART sndAlias('S', 'S')
#define SND_ALIAS_SYSTEMWELCOME sndAlias('S', 'W')
#define SND_ALIAS_SYSTEMEXCLAMATION sndAlias('S', '!')
#define SND_ALIAS_SYSTEMDEFAULT sndAlias('S', 'D')

extern "C" {
// WAV data from a file, a "WAVE" resource, memory or a system sound's alias ("SystemAsterisk",
// "SystemExclamation", "SystemHand", "SystemQuestion", "SystemDefault"), played through the
// screen library's audio. Without an audio device a sound succeeds without being heard.
MOXPLAT_API BOOL WINAPI PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound);
MOXPLAT_API BOOL WINAPI PlaySoundW(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound);
MOXPLAT_API BOOL WINAPI sndPlaySoundA(LPCSTR pszSound, UINT fuSound);
MOXPLAT_API BOOL WINAPI sndPlaySoundW(LPCWSTR pszSound, UINT fuSound);
}
#ifdef UNICODE
#define PlaySound PlaySoundW
#define sndPlaySound sndPlaySoundW
#else
#define PlaySound PlaySoundA
#define sndPlaySound sndPlaySoundA
#endif

// --- The Media Control Interface's command strings (platform/winmm/mci.cpp): WAV files on the
// "waveaudio" device; other device types answer MCIERR_DEVICE_NOT_INSTALLED.
typedef DWORD MCIERROR;
typedef UINT MCIDEVICEID;

#define MM_MCINOTIFY 0x3B9
#define MCI_NOTIFY_SUCCESSFUL 0x0001
#define MCI_NOTIFY_SUPERSEDED 0x0002
#define MCI_NOTIFY_ABORTED 0x0004
#define MCI_NOTIFY_FAILURE 0x0008

#define MCIERR_BASE 256
#define MCIERR_INVALID_DEVICE_ID (MCIERR_BASE + 1)
#define MCIERR_UNRECOGNIZED_KEYWORD (MCIERR_BASE + 3)
#define MCIERR_UNRECOGNIZED_COMMAND (MCIERR_BASE + 5)
#define MCIERR_HARDWARE (MCIERR_BASE + 6)
#define MCIERR_INVALID_DEVICE_NAME (MCIERR_BASE + 7)
#define MCIERR_OUT_OF_MEMORY (MCIERR_BASE + 8)
#define MCIERR_DEVICE_OPEN (MCIERR_BASE + 9)
#define MCIERR_CANNOT_LOAD_DRIVER (MCIERR_BASE + 10)
#define MCIERR_MISSING_COMMAND_STRING (MCIERR_BASE + 11)
#define MCIERR_PARAM_OVERFLOW (MCIERR_BASE + 12)
#define MCIERR_MISSING_STRING_ARGUMENT (MCIERR_BASE + 13)
#define MCIERR_BAD_INTEGER (MCIERR_BASE + 14)
#define MCIERR_MISSING_PARAMETER (MCIERR_BASE + 17)
#define MCIERR_UNSUPPORTED_FUNCTION (MCIERR_BASE + 18)
#define MCIERR_FILE_NOT_FOUND (MCIERR_BASE + 19)
#define MCIERR_DEVICE_NOT_READY (MCIERR_BASE + 20)
#define MCIERR_EXTENSION_NOT_FOUND (MCIERR_BASE + 25)
#define MCIERR_OUTOFRANGE (MCIERR_BASE + 26)
#define MCIERR_DUPLICATE_ALIAS (MCIERR_BASE + 33)
#define MCIERR_BAD_CONSTANT (MCIERR_BASE + 34)
#define MCIERR_MISSING_DEVICE_NAME (MCIERR_BASE + 36)
#define MCIERR_BAD_TIME_FORMAT (MCIERR_BASE + 37)
#define MCIERR_NO_CLOSING_QUOTE (MCIERR_BASE + 38)
#define MCIERR_DUPLICATE_FLAGS (MCIERR_BASE + 39)
#define MCIERR_INVALID_FILE (MCIERR_BASE + 40)
#define MCIERR_NULL_PARAMETER_BLOCK (MCIERR_BASE + 41)
#define MCIERR_EXTRA_CHARACTERS (MCIERR_BASE + 49)
#define MCIERR_DEVICE_NOT_INSTALLED (MCIERR_BASE + 50)
#define MCIERR_WAVE_OUTPUTSUNSUITABLE (MCIERR_BASE + 70)

extern "C" {
// Runs one command string ("open \"x.wav\" type waveaudio alias a", "play a", "status a mode",
// ...). A result ("playing", a length, a device id) is written to lpstrReturnString when it fits
// in uReturnLength characters. 0 on success, an MCIERR_ code otherwise.
MOXPLAT_API MCIERROR WINAPI mciSendStringA(LPCSTR lpstrCommand, LPSTR lpstrReturnString, UINT uReturnLength,
                                           HWND hwndCallback);
MOXPLAT_API MCIERROR WINAPI mciSendStringW(LPCWSTR lpstrCommand, LPWSTR lpstrReturnString, UINT uReturnLength,
                                           HWND hwndCallback);
// A sentence describing an MCIERR_ code; FALSE for a code that is none.
MOXPLAT_API BOOL WINAPI mciGetErrorStringA(MCIERROR mcierr, LPSTR pszText, UINT cchText);
MOXPLAT_API BOOL WINAPI mciGetErrorStringW(MCIERROR mcierr, LPWSTR pszText, UINT cchText);
}
#ifdef UNICODE
#define mciSendString mciSendStringW
#define mciGetErrorString mciGetErrorStringW
#else
#define mciSendString mciSendStringA
#define mciGetErrorString mciGetErrorStringA
#endif
