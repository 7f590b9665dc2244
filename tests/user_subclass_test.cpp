// Subclassing across the A and W forms: a narrow procedure put in front of a control (whose
// class is wide) hands messages on with CallWindowProcA, and the control still gets its text in
// its own form; putting the previous procedure back restores the control as it was. Windows'
// names only, so it runs against the real USER under Wine too.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

WNDPROC g_previous = nullptr;
int g_seen = 0;

LRESULT CALLBACK NarrowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++g_seen;
    return CallWindowProcA(g_previous, hwnd, msg, wParam, lParam);
}

std::wstring WideText(HWND hwnd)
{
    wchar_t buffer[64] = {};
    GetWindowTextW(hwnd, buffer, 64);
    return buffer;
}

TEST(SubclassAcrossForms, CallWindowProcConvertsTextForTheProcedureBehind)
{
    // Windows: CallWindowProc converts a message's text to the form the procedure it calls
    // expects (MSDN CallWindowProc, Remarks), and GetWindowLongPtrA's procedure set back with
    // SetWindowLongPtrA restores the window (MSDN SetWindowLongPtr, GWLP_WNDPROC).
    struct Case {
        const wchar_t* className;
        UINT add;     // a message that stores text, sent narrow through the narrow procedure
        UINT get;     // the message that reads it back wide
        WPARAM index; // get's wParam
    };
    const Case cases[] = {
        {L"Edit", WM_SETTEXT, WM_GETTEXT, 64},
        {L"Button", WM_SETTEXT, WM_GETTEXT, 64},
        {L"ListBox", LB_ADDSTRING, LB_GETTEXT, 0},
        {L"ComboBox", CB_ADDSTRING, CB_GETLBTEXT, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className, c.className + std::wcslen(c.className)));
        HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        HWND control = CreateWindowExW(0, c.className, L"", WS_CHILD | WS_VISIBLE, 0, 0, 150, 100, parent, nullptr,
                                       nullptr, nullptr);
        ASSERT_NE(control, nullptr);
        g_seen = 0;
        g_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NarrowProc)));
        ASSERT_NE(g_previous, nullptr);
        SendMessageA(control, c.add, 0, reinterpret_cast<LPARAM>("Narrow text"));
        EXPECT_GT(g_seen, 0);
        wchar_t buffer[64] = {};
        SendMessageW(control, c.get, c.index, reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(std::wstring(buffer), L"Narrow text");

        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
        const int seen = g_seen;
        SendMessageW(control, c.add, 0, reinterpret_cast<LPARAM>(L"Wide again"));
        EXPECT_EQ(g_seen, seen); // no longer in front
        if (c.add == WM_SETTEXT) {
            EXPECT_EQ(WideText(control), L"Wide again");
            char narrow[64] = {};
            GetWindowTextA(control, narrow, 64);
            EXPECT_STREQ(narrow, "Wide again");
        }
        DestroyWindow(parent);
    }
}

} // namespace
