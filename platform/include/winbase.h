// Kernel basics: time and sleeping.
#pragma once

#include "windef.h"

extern "C" {
WINBASEAPI DWORD WINAPI GetTickCount(void);
WINBASEAPI void WINAPI Sleep(DWORD dwMilliseconds);
}
