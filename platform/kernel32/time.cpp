// Clocks: milliseconds since start-up, the high-resolution counter, and the calendar time.
#include <windows.h>

#include <ctime>

#include "gdi_registry.h"

namespace {

void FillSystemTime(const std::tm& t, long milliseconds, LPSYSTEMTIME out)
{
    out->wYear = static_cast<WORD>(t.tm_year + 1900);
    out->wMonth = static_cast<WORD>(t.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(t.tm_wday);
    out->wDay = static_cast<WORD>(t.tm_mday);
    out->wHour = static_cast<WORD>(t.tm_hour);
    out->wMinute = static_cast<WORD>(t.tm_min);
    out->wSecond = static_cast<WORD>(t.tm_sec > 59 ? 59 : t.tm_sec); // SYSTEMTIME has no leap second
    out->wMilliseconds = static_cast<WORD>(milliseconds);
}

void CalendarTime(bool local, LPSYSTEMTIME out)
{
    if (!out)
        return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm t{};
    if (local)
        localtime_r(&now.tv_sec, &t);
    else
        gmtime_r(&now.tv_sec, &t);
    FillSystemTime(t, now.tv_nsec / 1000000, out);
}

} // namespace

extern "C" {

// The same clock as GetTickCount and the message queue's times, without the 49.7-day wrap.
ULONGLONG WINAPI GetTickCount64(void)
{
    return moxplat::NowMs();
}

// The counter ticks in nanoseconds of the monotonic clock; Windows documents that the calls
// always succeed on systems since XP and that the frequency is fixed while the system runs.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount)
{
    if (!lpPerformanceCount) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    lpPerformanceCount->QuadPart = static_cast<LONGLONG>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency)
{
    if (!lpFrequency) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    lpFrequency->QuadPart = 1000000000LL;
    return TRUE;
}

void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime)
{
    CalendarTime(false, lpSystemTime);
}

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    CalendarTime(true, lpSystemTime);
}

} // extern "C"
