// Multimedia: PlaySound and sndPlaySound.
#pragma once

#include "windef.h"
#include "winbase.h"

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
