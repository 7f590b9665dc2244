// Callbacks declared the 32-bit Windows way are accepted where a 32-bit build accepts them.
// Linux-only: a 64-bit Windows build refuses them, which is the point of the overloads.
#include <gtest/gtest.h>

#include <windows.h>

namespace {

int g_calls32 = 0;
UINT g_id32 = 0;
int g_calls64 = 0;

// A timer procedure as 32-bit programs declare it: the event id is a UINT.
void CALLBACK TimerProc32(HWND, UINT message, UINT idEvent, DWORD)
{
    if (message == WM_TIMER) {
        ++g_calls32;
        g_id32 = idEvent;
    }
}

void CALLBACK TimerProc64(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_calls64;
}

TEST(Win32Callbacks, TimerProceduresOfEitherSignatureAreCalled)
{
    // Windows: a thread timer (no window) gets a new id and calls its procedure when
    // DispatchMessage takes its WM_TIMER (MSDN SetTimer, TIMERPROC).
    const UINT_PTR id32 = SetTimer(nullptr, 0, 1, TimerProc32);
    const UINT_PTR id64 = SetTimer(nullptr, 0, 1, TimerProc64);
    ASSERT_NE(0u, id32);
    ASSERT_NE(0u, id64);
    ASSERT_NE(id32, id64);
    MSG msg;
    for (int i = 0; i < 200 && (g_calls32 == 0 || g_calls64 == 0); ++i) {
        Sleep(2);
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }
    EXPECT_TRUE(KillTimer(nullptr, id32));
    EXPECT_TRUE(KillTimer(nullptr, id64));
    EXPECT_GE(g_calls32, 1);
    EXPECT_EQ(static_cast<UINT>(id32), g_id32);
    EXPECT_GE(g_calls64, 1);
    // NULL still picks the real SetTimer: a timer without a procedure posts WM_TIMER.
    const UINT_PTR plain = SetTimer(nullptr, 0, 1, NULL);
    EXPECT_NE(0u, plain);
    EXPECT_TRUE(KillTimer(nullptr, plain));
}

} // namespace
