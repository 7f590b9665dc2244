// The multimedia clock: the same millisecond count as GetTickCount.
#include <windows.h>

#include <mmsystem.h>

#include "gdi_registry.h"

extern "C" {

DWORD WINAPI timeGetTime(void)
{
    return static_cast<DWORD>(moxplat::NowMs());
}

// A period of 0 is refused (MSDN timeBeginPeriod: TIMERR_NOCANDO for an out-of-range period).
MMRESULT WINAPI timeBeginPeriod(UINT uPeriod)
{
    return uPeriod == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

MMRESULT WINAPI timeEndPeriod(UINT uPeriod)
{
    return uPeriod == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

} // extern "C"
