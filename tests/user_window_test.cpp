// Windows as programs make them with USER alone: classes, CreateWindowEx's outer size and the
// frame, the messages of creation and destruction, DefWindowProc's defaults, painting, window
// DCs of each class style, window longs and subclassing, and the window tree. Written against
// Windows' own names only, so it runs against the real USER under Wine too.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

#ifndef _WIN32
// Shown windows stay headless here, whatever the environment offers.
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

// The program's instance, which Windows finds a program's classes by. Linux builds treat
// classes as one set per process.
HINSTANCE Instance()
{
#ifdef _WIN32
    return GetModuleHandleA(nullptr);
#else
    return nullptr;
#endif
}

// Every message a recording window receives, in order.
std::vector<UINT> g_seen;
LRESULT g_createAnswer = 0;
BOOL g_ncCreateAnswer = TRUE;
CREATESTRUCTA g_create{};

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seen.push_back(message);
    if (message == WM_NCCREATE && !g_ncCreateAnswer)
        return FALSE;
    if (message == WM_CREATE) {
        g_create = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
        return g_createAnswer;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Registers a class once per name; style and brush as given.
const char* Class(const char* name, UINT style = 0, HBRUSH brush = nullptr, WNDPROC proc = RecordingProc,
                  int wndExtra = 0)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = wndExtra;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = brush;
    wc.lpszClassName = name;
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(wc.hInstance, name, &existing))
        RegisterClassExA(&wc);
    return name;
}

HWND Make(const char* cls, DWORD style, int w, int h, HWND parent = nullptr, int id = 0, DWORD exStyle = 0)
{
    return CreateWindowExA(exStyle, cls, "t", style, 10, 20, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
}

RECT Frame(DWORD style, DWORD exStyle, BOOL menu)
{
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, menu, exStyle);
    return RECT{-r.left, -r.top, r.right, r.bottom};
}

std::size_t IndexOf(UINT message)
{
    for (std::size_t i = 0; i < g_seen.size(); ++i)
        if (g_seen[i] == message)
            return i;
    return g_seen.size();
}

} // namespace

// Windows: the frame is the sizing border (SM_CXFRAME, plus SM_CXPADDEDBORDER on Windows 10) or
// the fixed dialog frame, the caption SM_CYCAPTION, the menu bar SM_CYMENU, client edges
// SM_CXEDGE (Microsoft's AdjustWindowRectEx and GetSystemMetrics; the same rule Wine's user32
// win.c test_AdjustWindowRect checks on Windows). Windows 10 at 96 DPI gives 8, 31, 8, 8 for
// WS_OVERLAPPEDWINDOW.
TEST(AdjustWindowRectEx, FrameFollowsTheStyleAndTheSystemMetrics)
{
    const int sizing = GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
    const int fixed = GetSystemMetrics(SM_CXFIXEDFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    const int menu = GetSystemMetrics(SM_CYMENU);
    struct Case {
        DWORD style, exStyle;
        BOOL menu;
        RECT frame;
    } cases[] = {
        {WS_OVERLAPPEDWINDOW, 0, FALSE, {sizing, sizing + caption, sizing, sizing}},
        {WS_CAPTION | WS_SYSMENU, 0, FALSE, {fixed, fixed + caption, fixed, fixed}},
        {WS_POPUP, 0, FALSE, {0, 0, 0, 0}},
        {WS_POPUP | WS_BORDER, 0, FALSE, {1, 1, 1, 1}},
        {WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, FALSE, {1 + edge, 1 + edge, 1 + edge, 1 + edge}},
        {WS_POPUP, 0, TRUE, {0, menu, 0, 0}},
        {WS_OVERLAPPEDWINDOW, 0, TRUE, {sizing, sizing + caption + menu, sizing, sizing}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style << " " << c.exStyle << " menu " << c.menu);
        const RECT f = Frame(c.style, c.exStyle, c.menu);
        EXPECT_EQ(f.left, c.frame.left);
        EXPECT_EQ(f.top, c.frame.top);
        EXPECT_EQ(f.right, c.frame.right);
        EXPECT_EQ(f.bottom, c.frame.bottom);
    }
}

// Windows: nWidth and nHeight are the window's outer size; the client area is what the frame
// leaves (Microsoft's CreateWindowEx documentation), and the coordinate calls agree.
TEST(CreateWindowEx, SizeIsTheOuterSizeAndTheClientAreaIsInsideTheFrame)
{
    const char* cls = Class("UserTestPlain");
    for (DWORD style : {DWORD(WS_OVERLAPPEDWINDOW), DWORD(WS_CAPTION | WS_SYSMENU), DWORD(WS_POPUP | WS_BORDER)}) {
        SCOPED_TRACE(style);
        HWND hwnd = Make(cls, style, 300, 200);
        ASSERT_NE(hwnd, nullptr);
        const RECT f = Frame(GetWindowLongA(hwnd, GWL_STYLE), 0, FALSE);
        RECT wr, cr;
        ASSERT_TRUE(GetWindowRect(hwnd, &wr));
        ASSERT_TRUE(GetClientRect(hwnd, &cr));
        EXPECT_EQ(wr.left, 10);
        EXPECT_EQ(wr.top, 20);
        EXPECT_EQ(wr.right - wr.left, 300);
        EXPECT_EQ(wr.bottom - wr.top, 200);
        EXPECT_EQ(cr.right, 300 - f.left - f.right);
        EXPECT_EQ(cr.bottom, 200 - f.top - f.bottom);
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        EXPECT_EQ(origin.x, 10 + f.left);
        EXPECT_EQ(origin.y, 20 + f.top);
        POINT back = origin;
        ScreenToClient(hwnd, &back);
        EXPECT_EQ(back.x, 0);
        EXPECT_EQ(back.y, 0);

        // A child's position is in its parent's client coordinates.
        HWND child = Make(cls, WS_CHILD | WS_VISIBLE, 40, 30, hwnd, 5);
        ASSERT_NE(child, nullptr);
        POINT pt{1, 2};
        const int offset = MapWindowPoints(child, hwnd, &pt, 1);
        EXPECT_EQ(pt.x, 11);
        EXPECT_EQ(pt.y, 22);
        EXPECT_EQ(LOWORD(offset), 10);
        EXPECT_EQ(HIWORD(offset), 20);
        DestroyWindow(hwnd);
        EXPECT_FALSE(IsWindow(child));
    }
}

// Windows: a class name is looked up without regard to case; a second registration of a name
// fails; a class with windows cannot be unregistered; cbSize must be set (Microsoft's
// RegisterClassEx and UnregisterClass documentation; Wine's user32 class.c tests).
TEST(WindowClass, RegistrationLookupAndUnregistration)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = Instance();
    wc.lpszClassName = "UserTestCased";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    const ATOM atom = RegisterClassExA(&wc);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    WNDCLASSEXA bad = wc;
    bad.cbSize = 0;
    bad.lpszClassName = "UserTestNoSize";
    EXPECT_EQ(RegisterClassExA(&bad), 0);

    WNDCLASSEXA found{};
    found.cbSize = sizeof found;
    EXPECT_EQ(GetClassInfoExA(wc.hInstance, "USERTESTCASED", &found), atom);
    EXPECT_EQ(found.lpfnWndProc, &RecordingProc);
    EXPECT_EQ(found.hbrBackground, wc.hbrBackground);

    HWND hwnd = Make(MAKEINTATOM(atom), WS_POPUP, 10, 10);
    ASSERT_NE(hwnd, nullptr);
    char name[32];
    EXPECT_EQ(GetClassNameA(hwnd, name, sizeof name), 13);
    EXPECT_STREQ(name, "UserTestCased");
    EXPECT_FALSE(UnregisterClassA("UserTestCased", wc.hInstance));
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassA("usertestcased", wc.hInstance));
    EXPECT_FALSE(GetClassInfoExA(wc.hInstance, "UserTestCased", &found));
    EXPECT_EQ(Make("UserTestCased", WS_POPUP, 10, 10), nullptr);
}

// Windows: creation sends WM_NCCREATE, then WM_CREATE with the creation arguments, then WM_SIZE
// and WM_MOVE; -1 from WM_CREATE or FALSE from WM_NCCREATE fails the creation, and the window
// still gets WM_NCDESTROY (Microsoft's CreateWindowEx and WM_CREATE documentation; Wine's
// user32 msg.c sequences).
TEST(CreateWindowEx, CreationMessagesAndRefusals)
{
    const char* cls = Class("UserTestPlain");
    int cookie = 0;
    g_seen.clear();
    HWND hwnd = CreateWindowExA(0, cls, "made", WS_POPUP, 3, 4, 50, 60, nullptr, nullptr, Instance(), &cookie);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_LT(IndexOf(WM_NCCREATE), IndexOf(WM_CREATE));
    EXPECT_LT(IndexOf(WM_CREATE), IndexOf(WM_SIZE));
    EXPECT_LT(IndexOf(WM_SIZE), g_seen.size());
    EXPECT_LT(IndexOf(WM_MOVE), g_seen.size());
    EXPECT_EQ(g_create.lpCreateParams, &cookie);
    EXPECT_EQ(g_create.cx, 50);
    EXPECT_EQ(g_create.cy, 60);
    EXPECT_EQ(g_create.x, 3);
    EXPECT_EQ(g_create.y, 4);
    char title[8];
    EXPECT_EQ(GetWindowTextA(hwnd, title, sizeof title), 4); // DefWindowProc's WM_NCCREATE kept it
    EXPECT_STREQ(title, "made");
    DestroyWindow(hwnd);

    for (int refusal = 0; refusal < 2; ++refusal) {
        g_seen.clear();
        g_createAnswer = refusal == 0 ? -1 : 0;
        g_ncCreateAnswer = refusal == 0 ? TRUE : FALSE;
        EXPECT_EQ(Make(cls, WS_POPUP, 10, 10), nullptr);
        EXPECT_LT(IndexOf(WM_NCDESTROY), g_seen.size());
        EXPECT_EQ(IndexOf(WM_DESTROY), g_seen.size());
    }
    g_createAnswer = 0;
    g_ncCreateAnswer = TRUE;
    EXPECT_EQ(Make(cls, WS_CHILD, 10, 10), nullptr); // a child needs a parent
    EXPECT_EQ(Make(cls, WS_POPUP, 10, 10, reinterpret_cast<HWND>(0x7777)), nullptr);
}

namespace {

std::vector<std::pair<HWND, UINT>> g_order;

LRESULT CALLBACK OrderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY || message == WM_NCDESTROY)
        g_order.emplace_back(hwnd, message);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

// Windows: WM_DESTROY goes to the window, then its children are destroyed, then the window gets
// WM_NCDESTROY (Microsoft's WM_DESTROY and WM_NCDESTROY documentation). WM_CLOSE's default
// destroys the window.
TEST(DestroyWindow, ParentThenChildrenThenTheParentsLastMessage)
{
    const char* cls = Class("UserTestOrder", 0, nullptr, OrderProc);
    HWND parent = Make(cls, WS_OVERLAPPEDWINDOW, 200, 200);
    HWND child = Make(cls, WS_CHILD, 20, 20, parent, 1);
    ASSERT_NE(child, nullptr);
    g_order.clear();
    EXPECT_EQ(SendMessageA(parent, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    const std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(g_order, expected);
    EXPECT_FALSE(DestroyWindow(parent));
}

// Windows: DefWindowProc's WM_ERASEBKGND fills the client area with the class brush, which may
// be a brush or a system colour index plus one, and answers nonzero; without a brush it leaves
// the pixels and answers 0 (Microsoft's WM_ERASEBKGND and WNDCLASS documentation).
TEST(DefWindowProc, EraseBackgroundUsesTheClassBrush)
{
    const HBRUSH solid = CreateSolidBrush(RGB(10, 200, 30));
    struct Case {
        const char* name;
        HBRUSH brush;
        COLORREF expected;
    } cases[] = {
        {"UserTestEraseSys", reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), GetSysColor(COLOR_WINDOW)},
        {"UserTestEraseBtn", reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), GetSysColor(COLOR_BTNFACE)},
        {"UserTestEraseStock", static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), RGB(0, 0, 0)},
        {"UserTestEraseSolid", solid, RGB(10, 200, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = Make(Class(c.name, 0, c.brush), WS_POPUP | WS_VISIBLE, 20, 10);
        ASSERT_NE(hwnd, nullptr);
        HDC dc = GetDC(hwnd);
        SetPixel(dc, 5, 5, RGB(1, 2, 3));
        EXPECT_NE(SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
        EXPECT_EQ(GetPixel(dc, 5, 5), c.expected);
        EXPECT_EQ(GetPixel(dc, 19, 9), c.expected);
        ReleaseDC(hwnd, dc);
        DestroyWindow(hwnd);
    }
    HWND bare = Make(Class("UserTestEraseNone"), WS_POPUP | WS_VISIBLE, 20, 10);
    HDC dc = GetDC(bare);
    SetPixel(dc, 5, 5, RGB(1, 2, 3));
    EXPECT_EQ(SendMessageA(bare, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(1, 2, 3));
    ReleaseDC(bare, dc);
    DestroyWindow(bare);
    DeleteObject(solid);
}

namespace {

int g_erases = 0;
LRESULT g_eraseAnswer = -1; // -1: DefWindowProc's answer

LRESULT CALLBACK PaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND) {
        ++g_erases;
        if (g_eraseAnswer >= 0)
            return g_eraseAnswer;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

// Windows: BeginPaint hands out the update area's bounding rectangle in rcPaint, sends
// WM_ERASEBKGND first when the area was invalidated with erasing, sets fErase when that left the
// background unerased, and validates the window (Microsoft's BeginPaint and PAINTSTRUCT
// documentation; Wine's user32 msg.c test_paint_messages).
TEST(BeginPaint, UpdateAreaEraseAndValidation)
{
    HWND hwnd = Make(Class("UserTestPaint", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), PaintProc),
                     WS_POPUP | WS_VISIBLE, 100, 80);
    ASSERT_NE(hwnd, nullptr);
    UpdateWindow(hwnd);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));

    struct Case {
        BOOL erase;
        LRESULT eraseAnswer;
        int erases;
        BOOL fErase;
    } cases[] = {
        {FALSE, -1, 0, FALSE}, // not asked to erase: no WM_ERASEBKGND
        {TRUE, -1, 1, FALSE},  // DefWindowProc erased with the class brush
        {TRUE, 0, 1, TRUE},    // the procedure left it: the painter must erase
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.erase * 10 + static_cast<int>(c.eraseAnswer));
        g_erases = 0;
        g_eraseAnswer = c.eraseAnswer;
        const RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
        InvalidateRect(hwnd, &a, c.erase);
        InvalidateRect(hwnd, &b, FALSE);
        EXPECT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 5);
        EXPECT_EQ(r.right, 40);
        EXPECT_EQ(r.bottom, 20);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(ps.hdc, dc);
        EXPECT_EQ(g_erases, c.erases);
        EXPECT_EQ(ps.fErase, c.fErase);
        EXPECT_EQ(ps.rcPaint.left, 10);
        EXPECT_EQ(ps.rcPaint.right, 40);
        EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE)); // validated as painting began
        EndPaint(hwnd, &ps);
    }
    g_eraseAnswer = -1;

    // Validating all of it, or an invalid window, and an update area outside the window.
    InvalidateRect(hwnd, nullptr, TRUE);
    EXPECT_TRUE(ValidateRect(hwnd, nullptr));
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
    const RECT outside{200, 200, 300, 300};
    InvalidateRect(hwnd, &outside, TRUE);
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
    EXPECT_FALSE(InvalidateRect(reinterpret_cast<HWND>(0x4444), nullptr, TRUE));
    DestroyWindow(hwnd);
}

// Windows: a CS_OWNDC window keeps one DC for its life, and a CS_CLASSDC class one DC for all its
// windows; releasing them, even twice, succeeds; a cache DC released with another window's
// handle is released all the same, and a second release of it fails (Wine's user32 dce.c tests,
// which run on Windows).
TEST(WindowDC, ClassStylesDecideWhichDCGetDCGives)
{
    HWND own = Make(Class("UserTestOwnDC", CS_OWNDC), WS_POPUP, 10, 10);
    HWND cls1 = Make(Class("UserTestClassDC", CS_CLASSDC), WS_POPUP, 10, 10);
    HWND cls2 = Make("UserTestClassDC", WS_POPUP, 10, 10);
    HWND cache = Make(Class("UserTestPlain"), WS_POPUP, 10, 10);

    HDC o1 = GetDC(own);
    HDC o2 = GetDC(own);
    EXPECT_EQ(o1, o2);
    EXPECT_EQ(ReleaseDC(own, o1), 1);
    EXPECT_EQ(ReleaseDC(own, o1), 1);
    EXPECT_EQ(WindowFromDC(o1), own);
    EXPECT_EQ(GetDC(own), o1);

    HDC c1 = GetDC(cls1);
    HDC c2 = GetDC(cls2);
    EXPECT_EQ(c1, c2);
    EXPECT_EQ(WindowFromDC(c2), cls2);
    EXPECT_EQ(ReleaseDC(cls1, c1), 1);
    EXPECT_EQ(ReleaseDC(cls1, c1), 1);

    HDC k = GetDC(cache);
    EXPECT_EQ(WindowFromDC(k), cache);
    EXPECT_EQ(ReleaseDC(own, k), 1);
    EXPECT_EQ(ReleaseDC(cache, k), 0);
    EXPECT_EQ(ReleaseDC(cache, nullptr), 0);

    // DeleteDC frees a cache DC (GetWindowDC's too) but leaves an own or class DC alive (gdi32
    // dc.c test_DeleteDC).
    for (HDC fresh : {GetDC(cache), GetWindowDC(own)}) {
        EXPECT_TRUE(DeleteDC(fresh));
        EXPECT_EQ(GetObjectType(fresh), 0u);
        EXPECT_EQ(GetDeviceCaps(fresh, TECHNOLOGY), 0);
    }
    EXPECT_TRUE(DeleteDC(o1));
    EXPECT_EQ(GetObjectType(o1), DWORD(OBJ_DC));
    EXPECT_EQ(GetDC(own), o1);

    for (HWND h : {own, cls1, cls2, cache})
        DestroyWindow(h);
}

namespace {

WNDPROC g_previous = nullptr;
int g_subclassed = 0;

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 7)
        ++g_subclassed;
    return CallWindowProcA(g_previous, hwnd, message, wParam, lParam);
}

} // namespace

// Windows: SetWindowLongPtr returns the previous value; GWLP_WNDPROC swaps the procedure
// (subclassing, with CallWindowProc reaching the old one); extra window bytes are addressed by
// offset within cbWndExtra and beyond them nothing is read or written (Microsoft's
// SetWindowLongPtr documentation).
TEST(WindowLong, ValuesSubclassingAndExtraBytes)
{
    HWND parent = Make(Class("UserTestExtra", 0, nullptr, RecordingProc, 16), WS_OVERLAPPEDWINDOW, 100, 100);
    HWND child = Make("UserTestExtra", WS_CHILD | WS_VISIBLE, 10, 10, parent, 42);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 42);
    EXPECT_EQ(GetDlgCtrlID(child), 42);
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(SetWindowLongPtrA(child, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(SetWindowLongPtrA(child, GWLP_USERDATA, 99), 1234);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), 99);

    EXPECT_EQ(SetWindowLongPtrA(parent, 8, 0x1122334455LL), 0);
    EXPECT_EQ(GetWindowLongPtrA(parent, 8), 0x1122334455LL);
    EXPECT_EQ(GetWindowLongA(parent, 8), 0x22334455);
    EXPECT_EQ(SetWindowLongPtrA(parent, 9, 1), 0); // 9 + 8 > 16
    EXPECT_EQ(GetWindowLongPtrA(parent, 12), 0);

    g_previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    EXPECT_EQ(g_previous, &RecordingProc);
    g_seen.clear();
    SendMessageA(parent, WM_USER + 7, 0, 0);
    EXPECT_EQ(g_subclassed, 1);
    EXPECT_EQ(g_seen, std::vector<UINT>{WM_USER + 7}); // and on to the class's procedure
    DestroyWindow(parent);
}

namespace {

BOOL CALLBACK CountChildren(HWND, LPARAM counter)
{
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

} // namespace

// Windows: children are found by id and walked in z-order, a new child going below its
// siblings; EnumChildWindows reaches grandchildren too (Microsoft's GetWindow, GetDlgItem and
// EnumChildWindows documentation; the order as Wine's user32 gives it, which its win.c tests
// check on Windows).
TEST(ChildWindows, IdsParentsAndOrder)
{
    const char* cls = Class("UserTestPlain");
    HWND top = Make(cls, WS_OVERLAPPEDWINDOW, 200, 200);
    HWND first = Make(cls, WS_CHILD | WS_VISIBLE, 50, 50, top, 101);
    HWND second = Make(cls, WS_CHILD | WS_VISIBLE, 50, 50, top, 102);
    HWND grandchild = Make(cls, WS_CHILD, 5, 5, first, 201);
    ASSERT_NE(grandchild, nullptr);
    EXPECT_EQ(GetParent(first), top);
    EXPECT_EQ(GetParent(grandchild), first);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetDlgItem(top, 102), second);
    EXPECT_EQ(GetDlgItem(top, 201), nullptr); // direct children only
    EXPECT_EQ(GetWindow(top, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(second, GW_HWNDPREV), first);
    EXPECT_TRUE(IsChild(top, grandchild));
    EXPECT_FALSE(IsChild(first, second));
    int count = 0;
    EnumChildWindows(top, CountChildren, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 3);
    // Moved to the bottom, the first child lets its sibling come first.
    SetWindowPos(first, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), second);
    SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), first);
    EXPECT_FALSE(IsWindowVisible(grandchild));
    EXPECT_TRUE(IsWindowVisible(first) == IsWindowVisible(top));
    DestroyWindow(top);
}

namespace {

std::vector<std::pair<UINT, WPARAM>> g_focus;

LRESULT CALLBACK FocusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        g_focus.emplace_back(message, wParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

// Windows: SetFocus sends WM_KILLFOCUS to the window losing the focus, then WM_SETFOCUS, each
// naming the other; a disabled window cannot take it, and disabling the focused window takes it
// away (Microsoft's SetFocus and EnableWindow documentation). SetCapture returns the previous
// capture.
TEST(Focus, MovesBetweenWindowsWithItsMessages)
{
    const char* cls = Class("UserTestFocus", 0, nullptr, FocusProc);
    HWND top = Make(cls, WS_POPUP | WS_VISIBLE, 100, 100);
    HWND a = Make(cls, WS_CHILD | WS_VISIBLE, 10, 10, top, 1);
    HWND b = Make(cls, WS_CHILD | WS_VISIBLE, 10, 10, top, 2);
    SetFocus(a);
    ASSERT_EQ(GetFocus(), a);
    g_focus.clear();
    EXPECT_EQ(SetFocus(b), a);
    const std::vector<std::pair<UINT, WPARAM>> expected = {{WM_KILLFOCUS, reinterpret_cast<WPARAM>(b)},
                                                           {WM_SETFOCUS, reinterpret_cast<WPARAM>(a)}};
    EXPECT_EQ(g_focus, expected);
    EXPECT_FALSE(EnableWindow(a, FALSE)); // was enabled
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_EQ(SetFocus(a), nullptr);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_NE(EnableWindow(a, TRUE), FALSE); // was disabled
    EnableWindow(b, FALSE);
    EXPECT_NE(GetFocus(), b);

    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(top), a);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(top);
}

namespace {

int g_sizes = 0;
POINT g_lastSize{};

LRESULT CALLBACK SizeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        ++g_sizes;
        g_lastSize = POINT{LOWORD(lParam), HIWORD(lParam)};
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

// Windows: a resize sends WM_SIZE with the new client size; CS_HREDRAW and CS_VREDRAW invalidate
// the whole client area, otherwise only what was uncovered needs painting (Microsoft's Window
// Class Styles documentation).
TEST(MoveWindow, ResizeTellsTheClientSizeAndInvalidatesByClassStyle)
{
    struct Case {
        const char* name;
        UINT style;
        RECT update;
    } cases[] = {
        {"UserTestRedraw", CS_HREDRAW | CS_VREDRAW, {0, 0, 150, 60}},
        {"UserTestNoRedraw", 0, {100, 0, 150, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = Make(Class(c.name, c.style, nullptr, SizeProc), WS_POPUP | WS_VISIBLE, 100, 60);
        ValidateRect(hwnd, nullptr);
        g_sizes = 0;
        EXPECT_TRUE(MoveWindow(hwnd, 0, 0, 150, 60, TRUE));
        EXPECT_EQ(g_sizes, 1);
        EXPECT_EQ(g_lastSize.x, 150);
        EXPECT_EQ(g_lastSize.y, 60);
        RECT r;
        EXPECT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
        EXPECT_EQ(r.left, c.update.left);
        EXPECT_EQ(r.right, c.update.right);
        EXPECT_EQ(r.bottom, c.update.bottom);
        DestroyWindow(hwnd);
    }
}

namespace {

// The position messages a window receives, with the WINDOWPOS flags each carried.
std::vector<std::pair<UINT, UINT>> g_positions;
int g_forcedWidth = 0;        // WM_WINDOWPOSCHANGING changes the width to this (0: leaves it)
bool g_keepChanged = false;   // WM_WINDOWPOSCHANGED handled without DefWindowProc

LRESULT CALLBACK PositionProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED) {
        auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        g_positions.emplace_back(message, wp->flags & (SWP_NOMOVE | SWP_NOSIZE | 0x0800 | 0x1000));
        if (message == WM_WINDOWPOSCHANGING && g_forcedWidth) {
            wp->cx = g_forcedWidth;
            wp->flags &= ~static_cast<UINT>(SWP_NOSIZE);
        }
        if (message == WM_WINDOWPOSCHANGED && g_keepChanged)
            return 0;
    } else if (message == WM_MOVE || message == WM_SIZE) {
        g_positions.emplace_back(message, 0);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

// Windows: SetWindowPos sends WM_WINDOWPOSCHANGING, then WM_WINDOWPOSCHANGED flagged 0x0800
// (client size kept) or 0x1000 (client place kept), which DefWindowProc turns into WM_MOVE and
// WM_SIZE (Wine's msg.c WmSWP_MoveSeq and WmSWP_ResizePopupSeq, recorded on Windows; MSDN
// WM_WINDOWPOSCHANGING: the handler may change the WINDOWPOS; SWP_NOSENDCHANGING skips it).
TEST(SetWindowPos, AsksWithChangingAndTellsWithChanged)
{
    using Seq = std::vector<std::pair<UINT, UINT>>;
    constexpr UINT kKeepPlace = SWP_NOZORDER | SWP_NOACTIVATE;
    struct Case {
        const char* name;
        int x, cx;
        UINT flags;
        int forcedWidth;
        bool keepChanged;
        Seq expected;
        int width; // the outer width after
    } cases[] = {
        {"move", 30, 0, kKeepPlace | SWP_NOSIZE, 0, false,
         {{WM_WINDOWPOSCHANGING, SWP_NOSIZE}, {WM_WINDOWPOSCHANGED, SWP_NOSIZE | 0x0800}, {WM_MOVE, 0}}, 100},
        {"resize", 0, 140, kKeepPlace | SWP_NOMOVE, 0, false,
         {{WM_WINDOWPOSCHANGING, SWP_NOMOVE}, {WM_WINDOWPOSCHANGED, SWP_NOMOVE | 0x1000}, {WM_SIZE, 0}}, 140},
        {"resize changed by the window", 0, 140, kKeepPlace | SWP_NOMOVE, 120, false,
         {{WM_WINDOWPOSCHANGING, SWP_NOMOVE}, {WM_WINDOWPOSCHANGED, SWP_NOMOVE | 0x1000}, {WM_SIZE, 0}}, 120},
        {"a move the window asks to be a resize", 30, 0, kKeepPlace | SWP_NOSIZE, 90, false,
         {{WM_WINDOWPOSCHANGING, SWP_NOSIZE}, {WM_WINDOWPOSCHANGED, 0}, {WM_MOVE, 0}, {WM_SIZE, 0}}, 90},
        {"changed without DefWindowProc", 0, 140, kKeepPlace | SWP_NOMOVE, 0, true,
         {{WM_WINDOWPOSCHANGING, SWP_NOMOVE}, {WM_WINDOWPOSCHANGED, SWP_NOMOVE | 0x1000}}, 140},
        {"no changing asked", 0, 140, kKeepPlace | SWP_NOMOVE | SWP_NOSENDCHANGING, 0, false,
         {{WM_WINDOWPOSCHANGED, SWP_NOMOVE | 0x1000}, {WM_SIZE, 0}}, 140},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = Make(Class("UserTestPositions", 0, nullptr, PositionProc), WS_POPUP | WS_VISIBLE, 100, 60);
        g_positions.clear();
        g_forcedWidth = c.forcedWidth;
        g_keepChanged = c.keepChanged;
        EXPECT_TRUE(SetWindowPos(hwnd, nullptr, c.x, 0, c.cx, 60, c.flags));
        g_forcedWidth = 0;
        g_keepChanged = false;
        EXPECT_EQ(g_positions, c.expected);
        RECT r;
        GetWindowRect(hwnd, &r);
        EXPECT_EQ(r.right - r.left, c.width);
        DestroyWindow(hwnd);
    }
}

namespace {

LRESULT CALLBACK WideProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

// Windows: text set through either form reads back through either, converted (Microsoft's
// SetWindowText and GetWindowText documentation); a buffer too small gets a terminated prefix.
TEST(WindowText, TravelsBetweenTheAAndWForms)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = WideProc;
    wc.hInstance = Instance();
    wc.lpszClassName = L"UserTestWide";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND hwnd = CreateWindowW(L"UserTestWide", L"Caf\u00e9 \u00fc", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    wchar_t wide[16];
    EXPECT_EQ(GetWindowTextW(hwnd, wide, 16), 6);
    EXPECT_EQ(std::wstring(wide), L"Caf\u00e9 \u00fc");
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 6);
    EXPECT_EQ(GetWindowTextW(hwnd, wide, 3), 2);
    EXPECT_EQ(std::wstring(wide), L"Ca");
    EXPECT_TRUE(SetWindowTextA(hwnd, "plain"));
    EXPECT_EQ(GetWindowTextW(hwnd, wide, 16), 5);
    EXPECT_EQ(std::wstring(wide), L"plain");
    char narrow[16];
    EXPECT_EQ(GetWindowTextA(hwnd, narrow, sizeof narrow), 5);
    EXPECT_STREQ(narrow, "plain");
    DestroyWindow(hwnd);
    EXPECT_EQ(GetWindowTextW(hwnd, wide, 16), 0);
    EXPECT_EQ(wide[0], L'\0');
}

// Windows: a thread's queue takes 10,000 posted messages; the next post fails (Microsoft's
// PostMessage documentation).
TEST(MessageQueue, PostingStopsAtTheQueueLimit)
{
    int posted = 0;
    while (posted < 20000 && PostMessageA(nullptr, WM_USER + 3, 0, 0))
        ++posted;
    EXPECT_EQ(posted, 10000);
    MSG msg;
    int drained = 0;
    while (PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE))
        ++drained;
    EXPECT_EQ(drained, 10000);
    EXPECT_TRUE(PostMessageA(nullptr, WM_USER + 3, 0, 0));
    PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE);
}

// Windows: stock cursors and icons come from a null instance and their MAKEINTRESOURCE ids, the
// same handle each time; an unknown id gives none (Microsoft's LoadCursor and LoadIcon
// documentation).
TEST(StockResources, CursorsAndIconsByTheirIds)
{
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)), arrow);
    EXPECT_NE(LoadCursorA(nullptr, IDC_CROSS), arrow);
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(12345)), nullptr);
    SetCursor(arrow);
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
}

// Windows: rectangles exclude their right and bottom edges; an empty result is all zeros
// (Microsoft's IntersectRect, UnionRect, SubtractRect and PtInRect documentation).
TEST(Rectangles, EdgesAndEmptyResults)
{
    struct Case {
        RECT a, b;
        BOOL intersects;
        RECT intersection, uni, difference;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, TRUE, {5, 5, 10, 10}, {0, 0, 15, 15}, {0, 0, 10, 10}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}, {0, 0, 20, 10}, {0, 0, 10, 10}},
        {{0, 0, 10, 10}, {5, -1, 12, 11}, TRUE, {5, 0, 10, 10}, {0, -1, 12, 11}, {0, 0, 5, 10}},
        {{0, 0, 10, 10}, {-1, 4, 11, 20}, TRUE, {0, 4, 10, 10}, {-1, 0, 11, 20}, {0, 0, 10, 4}},
        {{0, 0, 10, 10}, {0, 0, 0, 0}, FALSE, {0, 0, 0, 0}, {0, 0, 10, 10}, {0, 0, 10, 10}},
    };
    for (const Case& c : cases) {
        RECT r;
        EXPECT_EQ(IntersectRect(&r, &c.a, &c.b), c.intersects);
        EXPECT_TRUE(EqualRect(&r, &c.intersection));
        UnionRect(&r, &c.a, &c.b);
        EXPECT_TRUE(EqualRect(&r, &c.uni));
        SubtractRect(&r, &c.a, &c.b);
        EXPECT_TRUE(EqualRect(&r, &c.difference)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    const RECT r{0, 0, 10, 10};
    EXPECT_TRUE(PtInRect(&r, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&r, POINT{10, 5}));
    EXPECT_FALSE(PtInRect(&r, POINT{5, 10}));
    RECT e{5, 5, 5, 9};
    EXPECT_TRUE(IsRectEmpty(&e));
    InflateRect(&e, 1, -2);
    const RECT inflated{4, 7, 6, 7};
    EXPECT_TRUE(EqualRect(&e, &inflated));
}
