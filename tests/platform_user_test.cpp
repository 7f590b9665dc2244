// USER and MFC of the platform layer: windows and their pixels, synchronous and posted
// messages, timers, CDC and CPaintDC. Headless: no window reaches a screen.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>
#include <vector>

#ifndef _WIN32
#include "surface.h" // the stand-in's own view of a DC's pixels
#endif

namespace {

#ifndef _WIN32
// Tests never open on-screen windows, whatever the environment offers.
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#else
const bool kHeadless = true; // windows are created hidden
#endif

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingWnd : public CWnd {
public:
    std::vector<Seen> seen;
    std::vector<CPoint> points;
    int paints = 0;
    int destroys = 0;
    BOOL aliveDuringDestroy = FALSE;
    BOOL handleCommands = TRUE;
    int createResult = 0;

    // Pop-ups have no frame: the size given is the client area's.
    BOOL Create(int width, int height, DWORD style = WS_POPUP, HWND parent = nullptr)
    {
        return CreateEx(0, AfxRegisterWndClass(0), "test", style, 0, 0, width, height, parent, nullptr);
    }

protected:
    int OnCreate(LPCREATESTRUCT) override { return createResult; }
    BOOL OnCommand(WPARAM w, LPARAM l) override
    {
        seen.push_back({WM_COMMAND, w, l});
        return handleCommands;
    }
    void OnPaint() override
    {
        ++paints;
        CPaintDC dc(this);
    }
    void OnMouseMove(UINT flags, CPoint p) override { Record(WM_MOUSEMOVE, flags, p); }
    void OnLButtonDown(UINT flags, CPoint p) override { Record(WM_LBUTTONDOWN, flags, p); }
    void OnLButtonUp(UINT flags, CPoint p) override { Record(WM_LBUTTONUP, flags, p); }
    void OnTimer(UINT_PTR id) override { seen.push_back({WM_TIMER, id, 0}); }
    void OnDestroy() override
    {
        ++destroys;
        aliveDuringDestroy = ::IsWindow(m_hWnd);
    }
    LRESULT DefWindowProc(UINT message, WPARAM w, LPARAM l) override
    {
        if (message >= WM_USER)
            seen.push_back({message, w, l});
        return CWnd::DefWindowProc(message, w, l);
    }

private:
    void Record(UINT message, UINT flags, CPoint p)
    {
        seen.push_back({message, flags, 0});
        points.push_back(p);
    }
};

// Drains whatever is queued now, without waiting. A WM_PAINT comes back until the window is
// painted (Microsoft's PeekMessage documentation), so paints are dispatched here; the other
// messages are only collected.
std::vector<MSG> DrainQueue()
{
    std::vector<MSG> out;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT)
            DispatchMessage(&msg);
        out.push_back(msg);
    }
    return out;
}

} // namespace

TEST(Window, ClientPixelsAreReachedThroughItsDC)
{
    ASSERT_TRUE(kHeadless);
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(5, 3));
    RECT rc;
    ASSERT_TRUE(GetClientRect(wnd.m_hWnd, &rc));
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 5);
    EXPECT_EQ(rc.bottom, 3);

    HDC wdc = GetDC(wnd.m_hWnd);
    ASSERT_NE(wdc, nullptr);
    EXPECT_EQ(GetPixel(wdc, 4, 2), RGB(0, 0, 0)); // windows start black
    EXPECT_EQ(GetPixel(wdc, 5, 0), CLR_INVALID);
#ifndef _WIN32
    moxplat::PixelSurface s;
    ASSERT_TRUE(moxplat::SurfaceOfDC(wdc, &s));
    EXPECT_EQ(s.width, 5);
    EXPECT_EQ(s.height, 3);
    EXPECT_EQ(s.stride, 16);
#endif

    // A bottom-up back buffer copied to the window lands the right way up.
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 5, 3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(wdc);
    HGDIOBJ old = SelectObject(mem, section);
    SetPixel(mem, 0, 0, RGB(255, 0, 0));
    SetPixel(mem, 4, 2, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(wdc, 0, 0, 5, 3, mem, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(wdc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(wdc, 4, 2), RGB(0, 0, 255));
    // And back from the window into memory.
    SetPixel(wdc, 2, 1, RGB(9, 8, 7));
    ASSERT_TRUE(BitBlt(mem, 0, 0, 5, 3, wdc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mem, 2, 1), RGB(9, 8, 7));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(section);

    EXPECT_EQ(ReleaseDC(wnd.m_hWnd, wdc), 1);
    EXPECT_EQ(ReleaseDC(wnd.m_hWnd, wdc), 0);
    EXPECT_EQ(GetPixel(wdc, 0, 0), CLR_INVALID);
}

TEST(Window, SizesAreBoundedAndDefaultable)
{
    RecordingWnd def, empty, huge;
    ASSERT_TRUE(def.Create(CW_USEDEFAULT, CW_USEDEFAULT, WS_OVERLAPPEDWINDOW)); // pop-ups get no default size
    ASSERT_TRUE(empty.Create(-20, 0));
    ASSERT_TRUE(huge.Create(1 << 20, 1));
    RECT rc;
    GetClientRect(def.m_hWnd, &rc);
    EXPECT_GT(rc.right, 0);
    EXPECT_GT(rc.bottom, 0);
    empty.GetClientRect(&rc);
    EXPECT_EQ(rc.right, 0);
    EXPECT_EQ(rc.bottom, 0);
    HDC dc = GetDC(empty.m_hWnd);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    ReleaseDC(empty.m_hWnd, dc);
    huge.GetClientRect(&rc);
    EXPECT_EQ(rc.right, 32767); // clamped to what 16-bit mouse coordinates can reach
    RecordingWnd orphan;
    EXPECT_FALSE(orphan.Create(4, 4, WS_CHILD, reinterpret_cast<HWND>(0x999)));
    EXPECT_EQ(orphan.m_hWnd, nullptr);
}

TEST(Window, ScreenDCHasNoPixelsButServesAsReference)
{
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(section, nullptr);
    HDC mem = CreateCompatibleDC(screen);
    EXPECT_NE(mem, nullptr);
    EXPECT_EQ(SelectObject(screen, section), nullptr); // bitmaps go into memory DCs only
    DeleteDC(mem);
    DeleteObject(section);
    EXPECT_FALSE(DeleteDC(screen));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x777)), nullptr);
}

TEST(Window, ActiveWindowIsTheNewestLiveOne)
{
    EXPECT_EQ(GetActiveWindow(), nullptr);
    RecordingWnd first;
    first.Create(2, 2);
    {
        RecordingWnd second;
        second.Create(2, 2);
        EXPECT_EQ(GetActiveWindow(), second.m_hWnd);
        EXPECT_EQ(CWnd::FromHandle(second.m_hWnd), &second);
    }
    EXPECT_EQ(GetActiveWindow(), first.m_hWnd);
    first.DestroyWindow();
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST(SendMessage, DispatchesSynchronouslyToTheHandlers)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(10, 10));
    EXPECT_EQ(SendMessage(wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(42, 0), 1234), 1);
    ASSERT_EQ(wnd.seen.size(), 1u); // handled before SendMessage returned
    EXPECT_EQ(wnd.seen[0].wParam, MAKEWPARAM(42, 0));
    EXPECT_EQ(wnd.seen[0].lParam, 1234);
    wnd.handleCommands = FALSE;
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, 7, 0), 0);

    wnd.seen.clear();
    SendMessage(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 7));
    SendMessage(wnd.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, -2));
    SendMessage(wnd.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(65535, 32767));
    ASSERT_EQ(wnd.points.size(), 3u);
    EXPECT_EQ(wnd.seen[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(wnd.seen[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(wnd.points[0].x, -5); // coordinates are signed 16-bit values
    EXPECT_EQ(wnd.points[0].y, 7);
    EXPECT_EQ(wnd.seen[1].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(wnd.points[1].y, -2);
    EXPECT_EQ(wnd.seen[2].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(wnd.points[2].x, -1);
    EXPECT_EQ(wnd.points[2].y, 32767);

    SendMessage(wnd.m_hWnd, WM_TIMER, 9, 0);
    SendMessage(wnd.m_hWnd, WM_USER + 1, 2, 3); // unhandled: reaches DefWindowProc
    EXPECT_EQ(wnd.seen[3].message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(wnd.seen[3].wParam, 9u);
    EXPECT_EQ(wnd.seen[4].message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(SendMessage(nullptr, WM_COMMAND, 1, 1), 0);
    EXPECT_EQ(SendMessage(reinterpret_cast<HWND>(0x5555), WM_COMMAND, 1, 1), 0);
}

TEST(DestroyWindow, SendsDestroyThenTheHandleIsDead)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.Create(4, 4));
    const HWND hwnd = wnd.m_hWnd;
    HDC dc = GetDC(hwnd);
    SetTimer(hwnd, 1, 10, nullptr);
    PostMessage(hwnd, WM_USER, 0, 0);

    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(wnd.destroys, 1);
    EXPECT_TRUE(wnd.aliveDuringDestroy);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(wnd.m_hWnd, nullptr);

    wnd.seen.clear();
    EXPECT_EQ(SendMessage(hwnd, WM_COMMAND, 1, 0), 0);
    EXPECT_TRUE(wnd.seen.empty());
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_EQ(wnd.destroys, 1);
    EXPECT_FALSE(PostMessage(hwnd, WM_USER, 0, 0));
    EXPECT_FALSE(KillTimer(hwnd, 1)); // went with the window
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetDC(hwnd), nullptr);
    RECT rc;
    EXPECT_FALSE(GetClientRect(hwnd, &rc));
    EXPECT_TRUE(DrainQueue().empty()); // its posted message was dropped
}

TEST(DestroyWindow, CloseDestructorAndFailedCreate)
{
    HWND closed = nullptr;
    {
        RecordingWnd wnd;
        wnd.Create(4, 4);
        closed = wnd.m_hWnd;
        SendMessage(closed, WM_CLOSE, 0, 0); // default handling destroys the window
        EXPECT_FALSE(IsWindow(closed));
        EXPECT_EQ(wnd.destroys, 1);
    }
    HWND dropped = nullptr;
    {
        RecordingWnd wnd;
        wnd.Create(4, 4);
        dropped = wnd.m_hWnd;
        HWND child = nullptr;
        RecordingWnd kid;
        ASSERT_TRUE(kid.Create(2, 2, WS_CHILD, dropped));
        child = kid.m_hWnd;
        EXPECT_TRUE(wnd.DestroyWindow());
        EXPECT_FALSE(IsWindow(child)); // children go with their parent
        EXPECT_EQ(kid.destroys, 1);
        EXPECT_TRUE(wnd.Create(4, 4)); // a destroyed object can make a new window
        dropped = wnd.m_hWnd;
        EXPECT_FALSE(wnd.Create(4, 4)); // but only one at a time
    }
    EXPECT_FALSE(IsWindow(dropped)); // ~CWnd destroyed it

    RecordingWnd refuses;
    refuses.createResult = -1;
    EXPECT_FALSE(refuses.Create(4, 4));
    EXPECT_EQ(refuses.m_hWnd, nullptr);
    EXPECT_EQ(refuses.destroys, 0); // WM_CREATE refused it: no WM_DESTROY (as Wine's user32 does)
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST(MessageQueue, PostedMessagesComeInOrderThenQuit)
{
    RecordingWnd a, b;
    a.Create(2, 2);
    b.Create(2, 2);
    EXPECT_TRUE(PostMessage(a.m_hWnd, WM_USER + 1, 1, 0));
    EXPECT_TRUE(PostMessage(b.m_hWnd, WM_USER + 2, 2, 0));
    EXPECT_TRUE(PostMessage(nullptr, WM_USER + 3, 3, 0)); // a thread message
    EXPECT_TRUE(a.PostMessage(WM_USER + 4, 4, 0));
    PostQuitMessage(17);
    EXPECT_TRUE(a.seen.empty()); // posting calls nothing

    MSG msg;
    // Filters: by window, and by message range.
    ASSERT_TRUE(PeekMessage(&msg, b.m_hWnd, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_USER + 3, WM_USER + 4, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 3));

    std::vector<UINT> order;
    BOOL r;
    while ((r = GetMessage(&msg, nullptr, 0, 0)) > 0) {
        order.push_back(msg.message);
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    EXPECT_EQ(r, 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 17u);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}));
    ASSERT_EQ(a.seen.size(), 2u);
    EXPECT_EQ(a.seen[1].wParam, 4u);
    ASSERT_EQ(b.seen.size(), 1u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)); // the quit was consumed
    EXPECT_EQ(GetMessage(&msg, reinterpret_cast<HWND>(0x3333), 0, 0), -1);
}

// Microsoft's GetMessage documentation: with no MSG to fill the call fails with -1, at once,
// whether or not a message is waiting.
TEST(MessageQueue, GetMessageWithoutAMessageToFillFails)
{
    EXPECT_EQ(GetMessage(nullptr, nullptr, 0, 0), -1);
}

TEST(MessageQueue, PaintIsCoalescedAndComesAfterPostedMessages)
{
    // Large enough for a client area to remain inside the frame on Windows, where CreateEx sizes
    // the whole window: an empty client area is never painted.
    RecordingWnd shown, hidden;
    shown.Create(120, 90, WS_POPUP | WS_VISIBLE);
    hidden.Create(120, 90);
    DrainQueue(); // the first paint of the visible window
    shown.paints = 0;

    InvalidateRect(shown.m_hWnd, nullptr, TRUE);
    shown.Invalidate();
    hidden.Invalidate(); // hidden windows are not painted
    PostMessage(shown.m_hWnd, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, shown.m_hWnd);
    std::vector<UINT> order;
    for (const MSG& m : DrainQueue()) {
        order.push_back(m.message);
        if (m.message != WM_PAINT)
            DispatchMessage(&m);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_PAINT}));
    EXPECT_EQ(shown.paints, 1);
    EXPECT_EQ(hidden.paints, 0);

    // UpdateWindow paints at once, and only when something is invalid.
    shown.Invalidate();
    shown.UpdateWindow();
    EXPECT_EQ(shown.paints, 2);
    shown.UpdateWindow();
    EXPECT_EQ(shown.paints, 2);
    EXPECT_TRUE(DrainQueue().empty());

    // Showing a hidden window asks it to paint.
    EXPECT_FALSE(hidden.ShowWindow(SW_SHOW));
    EXPECT_TRUE(hidden.ShowWindow(SW_SHOW));
    for (const MSG& m : DrainQueue())
        if (m.message != WM_PAINT)
            DispatchMessage(&m);
    EXPECT_EQ(hidden.paints, 1);
}

TEST(MessageQueue, TranslateMessageTurnsKeysIntoCharacters)
{
    RecordingWnd wnd;
    wnd.Create(2, 2);
    MSG key{};
    key.hwnd = wnd.m_hWnd;
    key.message = WM_KEYDOWN;
    key.wParam = 'Q';
    EXPECT_TRUE(TranslateMessage(&key));
    key.wParam = 0x70; // a function key: no character, but still a key message
    EXPECT_TRUE(TranslateMessage(&key));
    key.message = WM_USER;
    EXPECT_FALSE(TranslateMessage(&key));
    const std::vector<MSG> queued = DrainQueue();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(queued[0].wParam, static_cast<WPARAM>('q'));
    EXPECT_EQ(queued[0].hwnd, wnd.m_hWnd);
}

namespace {
std::vector<UINT_PTR> g_timerCalls;
void CALLBACK OnThreadTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    g_timerCalls.push_back(id);
}
void CALLBACK NotATimer(HWND, UINT, UINT_PTR, DWORD)
{
    g_timerCalls.push_back(999);
}
} // namespace

TEST(Timers, WindowTimersReachOnTimerAfterPostedMessages)
{
    RecordingWnd wnd;
    wnd.Create(2, 2);
    ASSERT_NE(wnd.SetTimer(7, 10, nullptr), 0u);
    Sleep(30); // the timer is due; a message posted now still comes first
    PostMessage(wnd.m_hWnd, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.hwnd, wnd.m_hWnd);
    EXPECT_EQ(msg.wParam, 7u);
    DispatchMessage(&msg);
    ASSERT_EQ(wnd.seen.back().message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(wnd.seen.back().wParam, 7u);
    // It keeps firing: GetMessage waits for it.
    ASSERT_TRUE(GetMessage(&msg, wnd.m_hWnd, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_TRUE(wnd.KillTimer(7));
    EXPECT_FALSE(wnd.KillTimer(7));
    Sleep(20);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x2222), 1, 10, nullptr), 0u);
}

// Microsoft's WM_TIMER documentation: lParam is the callback given to SetTimer.
TEST(Timers, ThreadTimerCallsItsProcedureOnly)
{
    g_timerCalls.clear();
    const UINT_PTR id = SetTimer(nullptr, 0, 10, OnThreadTimer);
    ASSERT_NE(id, 0u);
    const UINT_PTR other = SetTimer(nullptr, 0, 1000000, OnThreadTimer);
    EXPECT_NE(other, id); // each thread timer gets its own identifier
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, id);
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(&OnThreadTimer));
    DispatchMessage(&msg);
    EXPECT_EQ(g_timerCalls, (std::vector<UINT_PTR>{id}));

    // A forged timer message does not call arbitrary code.
    MSG forged = msg;
    forged.lParam = reinterpret_cast<LPARAM>(&NotATimer);
    DispatchMessage(&forged);
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_TRUE(KillTimer(nullptr, other));
    DispatchMessage(&msg); // its timer is gone
    EXPECT_EQ(g_timerCalls, (std::vector<UINT_PTR>{id}));
}

TEST(DeviceContextClasses, CDCOwnsAndCPaintDCBorrows)
{
    HDC created = nullptr;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        created = dc.GetSafeHdc();
        EXPECT_EQ(GetStretchBltMode(created), BLACKONWHITE);
        HDC extra = CreateCompatibleDC(nullptr);
        EXPECT_FALSE(dc.Attach(extra)); // would lose the held handle
        DeleteDC(extra);
    }
    EXPECT_EQ(GetStretchBltMode(created), 0); // ~CDC deleted it

    HDC kept = CreateCompatibleDC(nullptr);
    {
        CDC dc;
        EXPECT_TRUE(dc.Attach(kept));
        EXPECT_FALSE(dc.Attach(kept));
        EXPECT_EQ(dc.Detach(), kept);
    }
    EXPECT_TRUE(DeleteDC(kept)); // detached: still ours

    // Shown: Windows keeps neither an update area nor pixels for a hidden window.
    RecordingWnd wnd;
    wnd.Create(3, 3, WS_POPUP | WS_VISIBLE);
    ValidateRect(wnd.m_hWnd, nullptr);
    InvalidateRect(wnd.m_hWnd, nullptr, FALSE);
    HDC painted = nullptr;
    {
        CPaintDC dc(&wnd);
        painted = dc.m_hDC;
        ASSERT_NE(painted, nullptr);
        EXPECT_EQ(dc.m_ps.rcPaint.right, 3);
        EXPECT_NE(dc.SetPixel(1, 1, RGB(5, 6, 7)), CLR_INVALID);
    }
    EXPECT_EQ(GetPixel(painted, 1, 1), CLR_INVALID); // released
    EXPECT_TRUE(IsWindow(wnd.m_hWnd));
    HDC again = GetDC(wnd.m_hWnd);
    EXPECT_EQ(GetPixel(again, 1, 1), RGB(5, 6, 7)); // the pixels stayed with the window
    ReleaseDC(wnd.m_hWnd, again);

    CPaintDC screen(nullptr);
    EXPECT_NE(screen.m_hDC, nullptr);
    EXPECT_EQ(screen.GetPixel(0, 0), CLR_INVALID);
}
