// Menus on screen: the menu bar's place in the frame, popup menus driven by real keys and clicks
// (SendInput), the menu bar from the keyboard and the mouse, the messages the owner hears, and the
// system menu. Written against Windows' own names only, so it runs against the real USER too.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace {

#ifndef _WIN32
// Tests never open on-screen windows, whatever the environment offers.
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> g_seen;
std::function<void(HWND popup)> g_onIdle; // runs each time the menu loop waits
LRESULT g_menuCharAnswer = 0;

bool Logged(UINT m)
{
    switch (m) {
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_UNINITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_MENUCHAR:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_CHAR: // none may be left over by the menu's own keys
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Logged(message))
        g_seen.push_back({message, wParam, lParam});
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && g_onIdle) {
        auto act = g_onIdle;
        act(reinterpret_cast<HWND>(lParam));
    }
    if (message == WM_MENUCHAR)
        return g_menuCharAnswer;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const wchar_t* OwnerClass()
{
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MoxMenuOwner";
        RegisterClassW(&wc);
        return L"MoxMenuOwner";
    }();
    return name;
}

HWND MakeOwner(HMENU bar, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0)
{
    return CreateWindowExW(exStyle, OwnerClass(), L"menus", style, 100, 100, 420, 300, nullptr, bar,
                           GetModuleHandleW(nullptr), nullptr);
}

// Every pending message delivered, so posted commands arrive.
void Pump()
{
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void Reset()
{
    Pump();
    g_seen.clear();
    g_onIdle = nullptr;
    g_menuCharAnswer = 0;
}

std::vector<UINT_PTR> Commands(UINT which = WM_COMMAND)
{
    std::vector<UINT_PTR> out;
    for (const Seen& s : g_seen)
        if (s.message == which)
            out.push_back(which == WM_COMMAND ? LOWORD(s.wParam) : s.wParam);
    return out;
}

struct Key {
    UINT message;
    WPARAM wParam;
};
constexpr Key Down(WPARAM vk)
{
    return {WM_KEYDOWN, vk};
}
constexpr Key Char(wchar_t c)
{
    return {WM_CHAR, static_cast<WPARAM>(c)};
}
constexpr Key AltChar(wchar_t c)
{
    return {WM_SYSCHAR, static_cast<WPARAM>(c)};
}

void Stroke(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

void Press(WORD vk)
{
    Stroke(vk, false);
    Stroke(vk, true);
}

// A letter's key, with Shift for a capital.
void Letter(wchar_t c)
{
    const bool capital = c >= L'A' && c <= L'Z';
    if (capital)
        Stroke(VK_SHIFT, false);
    Press(static_cast<WORD>(c == L' ' ? VK_SPACE : (capital ? c : c - L'a' + L'A')));
    if (capital)
        Stroke(VK_SHIFT, true);
}

// Types the keys as real input (SendInput) into `hwnd`, made the foreground window: a menu's
// modal loop reads the input queue (under Wine 8.0 posted arrows and Enter choose nothing where
// the same keys from SendInput do). A menu still open once they are read is closed by EndMenu
// when its loop next waits.
void Type(HWND hwnd, const std::vector<Key>& keys)
{
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    for (const Key& k : keys) {
        switch (k.message) {
        case WM_KEYDOWN:
            Press(static_cast<WORD>(k.wParam));
            break;
        case WM_CHAR:
            Letter(static_cast<wchar_t>(k.wParam));
            break;
        case WM_SYSCHAR:
            Stroke(VK_MENU, false);
            Letter(static_cast<wchar_t>(k.wParam));
            Stroke(VK_MENU, true);
            break;
        default: // WM_SYSKEYDOWN and WM_SYSKEYUP: Alt or F10 alone
            Stroke(static_cast<WORD>(k.wParam), k.message == WM_SYSKEYUP);
            break;
        }
    }
    g_onIdle = [](HWND) { EndMenu(); };
}

// Open, a separator, a grayed Save, Exit, and a submenu More with Alpha and Beta.
HMENU MakePopup(HMENU* more = nullptr)
{
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 20, L"&Alpha");
    AppendMenuW(sub, MF_STRING, 21, L"&Beta");
    HMENU m = CreatePopupMenu();
    AppendMenuW(m, MF_STRING, 10, L"&Open\tCtrl+O");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING | MF_GRAYED, 11, L"&Save");
    AppendMenuW(m, MF_STRING, 12, L"E&xit");
    AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"&More");
    if (more)
        *more = sub;
    return m;
}

struct BarMenus {
    HMENU bar, file, edit, view, zoom;
};

// File (New, Open, separator, Exit), Edit (grayed Undo, Copy), View (Status, Zoom > In, Out).
BarMenus MakeBar()
{
    BarMenus b{};
    b.file = CreatePopupMenu();
    AppendMenuW(b.file, MF_STRING, 100, L"&New\tCtrl+N");
    AppendMenuW(b.file, MF_STRING, 101, L"&Open...");
    AppendMenuW(b.file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(b.file, MF_STRING, 102, L"E&xit");
    b.edit = CreatePopupMenu();
    AppendMenuW(b.edit, MF_STRING | MF_GRAYED, 200, L"&Undo");
    AppendMenuW(b.edit, MF_STRING, 201, L"&Copy");
    b.zoom = CreatePopupMenu();
    AppendMenuW(b.zoom, MF_STRING, 310, L"&In");
    AppendMenuW(b.zoom, MF_STRING, 311, L"&Out");
    b.view = CreatePopupMenu();
    AppendMenuW(b.view, MF_STRING | MF_CHECKED, 300, L"&Status Bar");
    AppendMenuW(b.view, MF_POPUP, reinterpret_cast<UINT_PTR>(b.zoom), L"&Zoom");
    b.bar = CreateMenu();
    AppendMenuW(b.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(b.file), L"&File");
    AppendMenuW(b.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(b.edit), L"&Edit");
    AppendMenuW(b.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(b.view), L"&View");
    return b;
}

POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void MouseAt(POINT screen, DWORD buttons)
{
    // Absolute coordinates run from 0 to 65535 across the primary screen (MSDN MOUSEINPUT); the
    // middle of the pixel lands on it whatever the rounding.
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &in, sizeof in);
}

// A real click (SendInput) at a screen point. An open popup's items are found with no window
// (Microsoft's GetMenuItemRect: a null hWnd finds a popup menu's window; Wine 8.0 maps an item
// through whatever window it is given).
void Click(POINT screen)
{
    MouseAt(screen, 0);
    MouseAt(screen, MOUSEEVENTF_LEFTDOWN);
    MouseAt(screen, MOUSEEVENTF_LEFTUP);
}

// --- Geometry.

TEST(MenuBar, ClientAreaGivesUpTheBarsHeightAsAdjustWindowRectSays)
{
    // Windows: a menu adds SM_CYMENU to the frame; AdjustWindowRectEx with bMenu agrees with the
    // window's own rectangles, and SetMenu keeps the window's size while the client area changes
    // (MSDN AdjustWindowRectEx, SetMenu; user32 tests win.c, menu.c).
    struct Case {
        DWORD style, exStyle;
    } cases[] = {{WS_OVERLAPPEDWINDOW, 0},
                 {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE},
                 {WS_POPUP | WS_CAPTION | WS_SYSMENU, 0},
                 {WS_POPUP | WS_BORDER, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style << " " << c.exStyle);
        HWND hwnd = MakeOwner(MakeBar().bar, c.style, c.exStyle);
        ASSERT_NE(hwnd, nullptr);
        RECT window{}, client{};
        GetWindowRect(hwnd, &window);
        GetClientRect(hwnd, &client);
        RECT adjusted = client;
        ASSERT_TRUE(AdjustWindowRectEx(&adjusted, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)), TRUE,
                                       static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE))));
        EXPECT_EQ(adjusted.right - adjusted.left, window.right - window.left);
        EXPECT_EQ(adjusted.bottom - adjusted.top, window.bottom - window.top);
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        EXPECT_EQ(origin.y - window.top, -adjusted.top);

        // The bar's first item lies between the window's top and the client area.
        RECT item{};
        ASSERT_TRUE(GetMenuItemRect(hwnd, GetMenu(hwnd), 0, &item));
        EXPECT_GE(item.top, window.top);
        EXPECT_LE(item.bottom, origin.y);
        EXPECT_EQ(MenuItemFromPoint(hwnd, GetMenu(hwnd), Centre(item)), 0);

        const int before = client.bottom;
        EXPECT_TRUE(SetMenu(hwnd, nullptr));
        EXPECT_EQ(GetMenu(hwnd), nullptr);
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.bottom, before + GetSystemMetrics(SM_CYMENU));
        RECT after{};
        GetWindowRect(hwnd, &after);
        EXPECT_EQ(after.bottom - after.top, window.bottom - window.top);
        DestroyWindow(hwnd);
    }
}

TEST(MenuBar, SetMenuRefusesNonMenusAndChildWindows)
{
    HWND hwnd = MakeOwner(nullptr);
    EXPECT_FALSE(SetMenu(hwnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0xDEAD0))));
    const BarMenus b = MakeBar();
    EXPECT_TRUE(SetMenu(hwnd, b.bar));
    EXPECT_EQ(GetMenu(hwnd), b.bar);
    // Windows: a child window has no menu to set (MSDN SetMenu; GetMenu's answer for one is
    // undefined, and Wine 8.0 gives its id).
    HWND child = CreateWindowExW(0, OwnerClass(), L"", WS_CHILD, 0, 0, 10, 10, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(7)), nullptr, nullptr);
    EXPECT_FALSE(SetMenu(child, MakeBar().bar));
    // The window's menu goes with it (MSDN DestroyMenu: a menu assigned to a window is destroyed).
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsMenu(b.bar));
}

// --- Popups from the keyboard.

TEST(PopupMenu, KeySequencesChooseTheExpectedCommand)
{
    // Windows: arrows skip separators and wrap; Enter or Right opens a submenu at its first
    // item; Left and Escape close one level; a mnemonic chooses at once, whatever its case;
    // TPM_RETURNCMD returns the command, 0 for none (MSDN TrackPopupMenu, "Menus" keyboard
    // interface; user32 tests menu.c).
    struct Case {
        const char* name;
        std::vector<Key> keys;
        UINT expected;
    } cases[] = {
        {"down, enter: the first item", {Down(VK_DOWN), Down(VK_RETURN)}, 10},
        {"the separator is passed over", {Down(VK_DOWN), Down(VK_DOWN), Down(VK_DOWN), Down(VK_RETURN)}, 12},
        {"up from nothing wraps to the last; enter opens it", {Down(VK_UP), Down(VK_RETURN), Down(VK_RETURN)}, 20},
        {"down from the last wraps to the first", {Down(VK_UP), Down(VK_DOWN), Down(VK_RETURN)}, 10},
        {"right opens the submenu", {Down(VK_UP), Down(VK_RIGHT), Down(VK_DOWN), Down(VK_RETURN)}, 21},
        {"left closes only the submenu",
         {Down(VK_UP), Down(VK_RIGHT), Down(VK_LEFT), Down(VK_UP), Down(VK_RETURN)},
         12},
        {"escape closes only the submenu",
         {Down(VK_UP), Down(VK_RIGHT), Down(VK_ESCAPE), Down(VK_UP), Down(VK_RETURN)},
         12},
        {"a mnemonic chooses at once", {Char('x')}, 12},
        {"mnemonics ignore case and reach into submenus", {Char('M'), Char('b')}, 21},
        {"escape chooses nothing", {Down(VK_ESCAPE)}, 0},
        {"a letter no item has chooses nothing", {Char('q')}, 0},
    };
    HWND owner = MakeOwner(nullptr);
    HMENU menu = MakePopup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Type(owner, c.keys);
        const BOOL r = TrackPopupMenu(menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
        EXPECT_EQ(static_cast<UINT>(r), c.expected);
        Pump();
        EXPECT_TRUE(Commands().empty()); // TPM_RETURNCMD sends no WM_COMMAND
    }
    DestroyWindow(owner);
    DestroyMenu(menu);
}

TEST(PopupMenu, OwnerHearsTheMenuMessagesInOrderThenTheCommand)
{
    // Windows: WM_ENTERMENULOOP (TRUE for a popup), WM_INITMENU, WM_INITMENUPOPUP (position 0),
    // WM_MENUSELECT for the item, WM_UNINITMENUPOPUP, WM_MENUSELECT 0xFFFF with no menu,
    // WM_EXITMENULOOP, then WM_COMMAND with the id and lParam 0 (user32 tests msg.c
    // WmTrackPopupMenu; MSDN WM_COMMAND).
    HWND owner = MakeOwner(nullptr);
    HMENU menu = MakePopup();
    Reset();
    Type(owner, {Down(VK_DOWN), Down(VK_RETURN)});
    EXPECT_TRUE(TrackPopupMenu(menu, 0, 150, 150, 0, owner, nullptr));
    Pump();
    const LPARAM m = reinterpret_cast<LPARAM>(menu);
    const std::vector<Seen> expected = {{WM_ENTERMENULOOP, TRUE, 0},
                                        {WM_INITMENU, static_cast<WPARAM>(m), 0},
                                        {WM_INITMENUPOPUP, static_cast<WPARAM>(m), 0},
                                        {WM_MENUSELECT, MAKEWPARAM(10, MF_HILITE), m},
                                        {WM_UNINITMENUPOPUP, static_cast<WPARAM>(m), 0},
                                        {WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0},
                                        {WM_EXITMENULOOP, TRUE, 0},
                                        {WM_COMMAND, 10, 0}};
    ASSERT_EQ(g_seen.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g_seen[i].message, expected[i].message);
        EXPECT_EQ(g_seen[i].wParam, expected[i].wParam);
        EXPECT_EQ(g_seen[i].lParam, expected[i].lParam);
    }
    DestroyWindow(owner);
    DestroyMenu(menu);
}

TEST(PopupMenu, UnmatchedLetterAsksTheOwnerWhichMayChooseAnItem)
{
    // Windows: a letter no item has goes to the owner as WM_MENUCHAR (the letter, MF_POPUP, the
    // menu); MNC_EXECUTE with a position chooses that item (MSDN WM_MENUCHAR).
    HWND owner = MakeOwner(nullptr);
    HMENU menu = MakePopup();
    Reset();
    g_menuCharAnswer = MAKELRESULT(3, MNC_EXECUTE);
    Type(owner, {Char('q')});
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), 12);
    bool asked = false;
    for (const Seen& s : g_seen)
        if (s.message == WM_MENUCHAR) {
            asked = true;
            EXPECT_EQ(LOWORD(s.wParam), 'q');
            EXPECT_EQ(HIWORD(s.wParam), MF_POPUP);
            EXPECT_EQ(s.lParam, reinterpret_cast<LPARAM>(menu));
        }
    EXPECT_TRUE(asked);
    DestroyWindow(owner);
    DestroyMenu(menu);
}

TEST(PopupMenu, AlignmentFlagsPlaceThePopupAroundThePoint)
{
    // Windows: TPM_CENTERALIGN/RIGHTALIGN put the point at the popup's middle/right edge,
    // TPM_VCENTERALIGN/BOTTOMALIGN at its middle/bottom (MSDN TrackPopupMenuEx). The popup is a
    // window of class "#32768" (MSDN "About Window Classes", system classes).
    struct Case {
        UINT flags;
        int x, y; // where the point must be: 0 left/top, 1 middle, 2 right/bottom
    } cases[] = {{TPM_LEFTALIGN | TPM_TOPALIGN, 0, 0},
                 {TPM_CENTERALIGN | TPM_VCENTERALIGN, 1, 1},
                 {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 2, 2}};
    HWND owner = MakeOwner(nullptr);
    HMENU menu = MakePopup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        Reset();
        RECT shown{};
        wchar_t cls[32] = {};
        g_onIdle = [&](HWND popup) {
            GetWindowRect(popup, &shown);
            GetClassNameW(popup, cls, 32);
            EndMenu();
        };
        const POINT pt{400, 300};
        EXPECT_EQ(TrackPopupMenu(menu, c.flags | TPM_RETURNCMD, pt.x, pt.y, 0, owner, nullptr), 0);
        const int xs[3] = {shown.left, (shown.left + shown.right) / 2, shown.right};
        const int ys[3] = {shown.top, (shown.top + shown.bottom) / 2, shown.bottom};
        EXPECT_NEAR(xs[c.x], pt.x, 1);
        EXPECT_NEAR(ys[c.y], pt.y, 1);
        EXPECT_GT(shown.right - shown.left, 0);
        EXPECT_STREQ(cls, L"#32768");
    }
    DestroyWindow(owner);
    DestroyMenu(menu);
}

TEST(PopupMenu, RefusesBadArgumentsAndASecondMenuAtOnce)
{
    HWND owner = MakeOwner(nullptr);
    HMENU menu = MakePopup();
    Reset();
    EXPECT_FALSE(TrackPopupMenu(nullptr, TPM_RETURNCMD, 0, 0, 0, owner, nullptr));
    EXPECT_FALSE(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, nullptr, nullptr));
    // Windows: one popup menu at a time (MSDN TrackPopupMenu, ERROR_POPUP_ALREADY_ACTIVE).
    BOOL nested = TRUE;
    g_onIdle = [&](HWND) {
        nested = TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr);
        EndMenu();
    };
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, owner, nullptr);
    EXPECT_FALSE(nested);
    DestroyWindow(owner);
    DestroyMenu(menu);
}

// --- Popups from the mouse.

TEST(PopupMenu, ClicksChooseEnabledItemsOnlyAndOutsideCloses)
{
    // Windows: a click on an item chooses it; one on a grayed item or a separator does nothing
    // and the menu stays; a click outside closes it with no command (MSDN "Menus").
    struct Case {
        const char* name;
        std::vector<int> clicks; // item positions; -1 outside the popup
        UINT expected;
    } cases[] = {{"an item", {0}, 10},
                 {"grayed then an item", {2, 3}, 12},
                 {"the separator then an item", {1, 0}, 10},
                 {"outside", {-1}, 0},
                 {"the submenu's item", {4, -2}, 21}}; // -2: Beta in the opened submenu
    HWND owner = MakeOwner(nullptr);
    HMENU more = nullptr;
    HMENU menu = MakePopup(&more);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        std::size_t next = 0;
        g_onIdle = [&](HWND popup) {
            if (next >= c.clicks.size()) {
                EndMenu();
                return;
            }
            const int at = c.clicks[next++];
            RECT r{};
            RECT shown{};
            if (at == -1 && GetWindowRect(popup, &shown)) {
                Click(POINT{shown.left - 20, shown.top - 20});
            } else if (at == -2 && GetMenuItemRect(nullptr, more, 1, &r)) {
                Click(Centre(r));
            } else if (at >= 0 && GetMenuItemRect(nullptr, menu, static_cast<UINT>(at), &r)) {
                Click(Centre(r));
            } else {
                EndMenu();
            }
        };
        EXPECT_EQ(static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, 300, 300, 0, owner, nullptr)), c.expected);
    }
    DestroyWindow(owner);
    DestroyMenu(menu);
}

// --- The menu bar.

TEST(MenuBar, KeyboardSequencesSendTheExpectedCommand)
{
    // Windows: Alt+letter opens the drop-down whose title has that mnemonic, at its first item
    // (DefWindowProc: WM_SYSCHAR -> WM_SYSCOMMAND SC_KEYMENU); Alt alone or F10 selects the bar,
    // where Down or Enter opens and a plain letter picks a title; Left and Right move between
    // drop-downs and wrap; a grayed item is not chosen (MSDN WM_SYSCOMMAND, "Menus").
    struct Case {
        const char* name;
        std::vector<Key> keys;
        std::vector<UINT_PTR> expected;
    } cases[] = {
        {"Alt+F, Enter", {AltChar('f'), Down(VK_RETURN)}, {100}},
        {"Alt+F, Down, Enter", {AltChar('f'), Down(VK_DOWN), Down(VK_RETURN)}, {101}},
        {"Alt+F, Up wraps past the separator", {AltChar('f'), Down(VK_UP), Down(VK_RETURN)}, {102}},
        {"Alt+F, Right moves to Edit", {AltChar('f'), Down(VK_RIGHT), Down(VK_DOWN), Down(VK_RETURN)}, {201}},
        {"Alt+F, Left wraps to View, into Zoom",
         {AltChar('f'), Down(VK_LEFT), Down(VK_DOWN), Down(VK_RIGHT), Down(VK_DOWN), Down(VK_RETURN)},
         {311}},
        {"Alt alone then Down",
         {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYUP, VK_MENU}, Down(VK_DOWN), Down(VK_RETURN)},
         {100}},
        {"F10, Right, Enter, letter",
         {{WM_SYSKEYDOWN, VK_F10}, {WM_SYSKEYUP, VK_F10}, Down(VK_RIGHT), Down(VK_RETURN), Char('c')},
         {201}},
        {"Alt alone then a title's letter",
         {{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYUP, VK_MENU}, Char('v'), Char('s')},
         {300}},
        {"a grayed item is not chosen", {AltChar('e'), Down(VK_RETURN)}, {}},
        {"Escape twice leaves", {AltChar('f'), Down(VK_ESCAPE), Down(VK_ESCAPE), Down(VK_RETURN)}, {}},
    };
    const BarMenus b = MakeBar();
    HWND owner = MakeOwner(b.bar);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        Type(owner, c.keys);
        Pump();
        EXPECT_EQ(Commands(), c.expected);
    }
    DestroyWindow(owner);
}

TEST(MenuBar, BarSelectionMessagesNameTheDropDownByPosition)
{
    // Windows: the bar's loop starts with WM_ENTERMENULOOP FALSE and WM_INITMENU for the bar;
    // a drop-down's WM_INITMENUPOPUP carries its position in the bar, and WM_MENUSELECT names
    // a submenu by position with MF_POPUP (MSDN WM_INITMENUPOPUP, WM_MENUSELECT).
    const BarMenus b = MakeBar();
    HWND owner = MakeOwner(b.bar);
    Reset();
    Type(owner, {AltChar('v')});
    Pump();
    // What DefWindowProc made of the key comes first.
    ASSERT_FALSE(g_seen.empty());
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(g_seen[0].wParam, static_cast<WPARAM>(SC_KEYMENU));
    EXPECT_EQ(g_seen[0].lParam, 'v');
    g_seen.erase(g_seen.begin());
    ASSERT_GE(g_seen.size(), 4u);
    EXPECT_EQ(g_seen[0].message, static_cast<UINT>(WM_ENTERMENULOOP));
    EXPECT_EQ(g_seen[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(g_seen[1].message, static_cast<UINT>(WM_INITMENU));
    EXPECT_EQ(g_seen[1].wParam, reinterpret_cast<WPARAM>(b.bar));
    bool selectedView = false, initView = false;
    for (const Seen& s : g_seen) {
        if (s.message == WM_MENUSELECT && s.lParam == reinterpret_cast<LPARAM>(b.bar)) {
            EXPECT_EQ(LOWORD(s.wParam), 2);
            EXPECT_TRUE(HIWORD(s.wParam) & MF_POPUP);
            selectedView = true;
        }
        if (s.message == WM_INITMENUPOPUP && s.wParam == reinterpret_cast<WPARAM>(b.view)) {
            EXPECT_EQ(LOWORD(s.lParam), 2);
            EXPECT_EQ(HIWORD(s.lParam), 0);
            initView = true;
        }
    }
    EXPECT_TRUE(selectedView);
    EXPECT_TRUE(initView);
    EXPECT_EQ(g_seen.back().message, static_cast<UINT>(WM_EXITMENULOOP));
    DestroyWindow(owner);
}

TEST(MenuBar, ClickOpensADropDownAndHoverMovesToTheNext)
{
    // Windows: a press on a title opens its drop-down; while one is open, moving over another
    // title opens that one instead; a click on an item sends WM_COMMAND (MSDN "Menus").
    const BarMenus b = MakeBar();
    HWND owner = MakeOwner(b.bar);
    ShowWindow(owner, SW_SHOW); // under the pointer, so the clicks reach it
    SetForegroundWindow(owner);
    Reset();
    RECT file{}, edit{};
    ASSERT_TRUE(GetMenuItemRect(owner, b.bar, 0, &file));
    ASSERT_TRUE(GetMenuItemRect(owner, b.bar, 1, &edit));
    int step = 0;
    g_onIdle = [&](HWND) {
        RECT r{};
        if (step == 0) {
            MouseAt(Centre(edit), 0);
        } else if (step == 1 && GetMenuItemRect(nullptr, b.edit, 1, &r)) {
            Click(Centre(r));
        } else {
            EndMenu();
        }
        ++step;
    };
    Click(Centre(file));
    Pump();
    EXPECT_EQ(Commands(), std::vector<UINT_PTR>{201});
    DestroyWindow(owner);
}

// --- The system menu.

TEST(SystemMenu, StandardItemsAndAnAppendedAboutItemComeBackAsSysCommands)
{
    // Windows: GetSystemMenu gives the window's own copy (Restore, Move, Size, Minimize,
    // Maximize, separator, Close); bRevert drops it and answers NULL; Alt+Space opens it and an
    // item chosen there arrives as WM_SYSCOMMAND with its id, as AppWizard's About item does
    // (MSDN GetSystemMenu, WM_SYSCOMMAND).
    HWND owner = MakeOwner(nullptr);
    HMENU sys = GetSystemMenu(owner, FALSE);
    ASSERT_NE(sys, nullptr);
    const UINT ids[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE};
    ASSERT_EQ(GetMenuItemCount(sys), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(GetMenuItemID(sys, i), ids[i]) << i;
    EXPECT_EQ(GetSystemMenu(owner, FALSE), sys);

    const UINT kAbout = 0x0010;
    AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(sys, MF_STRING, kAbout, L"&About menus...");
    Reset();
    Type(owner, {AltChar(' '), Down(VK_UP), Down(VK_RETURN)});
    Pump();
    EXPECT_EQ(Commands(WM_SYSCOMMAND), (std::vector<UINT_PTR>{SC_KEYMENU, kAbout}));

    EXPECT_EQ(GetSystemMenu(owner, TRUE), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(owner, FALSE)), 7);

    // Close from the system menu closes the window (DefWindowProc: SC_CLOSE -> WM_CLOSE).
    Reset();
    Type(owner, {AltChar(' '), Char('c')});
    Pump();
    EXPECT_FALSE(IsWindow(owner));
}

// --- Items through MENUITEMINFO and the default item.

TEST(MenuItemInfo, ReadsWritesAndInsertsWhatTheMaskNames)
{
    // Windows: GetMenuItemInfo fills only the members fMask names; with no buffer, cch learns
    // the text's length; SetMenuItemInfo changes only those members; InsertMenuItem by
    // position puts the item there (MSDN MENUITEMINFO; user32 tests menu.c).
    HMENU sub = nullptr;
    HMENU m = MakePopup(&sub);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING;
    ASSERT_TRUE(GetMenuItemInfoW(m, 2, TRUE, &info));
    EXPECT_EQ(info.wID, 11u);
    EXPECT_NE(info.fState & MF_GRAYED, 0u);
    EXPECT_EQ(info.cch, 5u); // "&Save"
    wchar_t text[16] = {};
    info.dwTypeData = text;
    info.cch = 16;
    ASSERT_TRUE(GetMenuItemInfoW(m, 11, FALSE, &info));
    EXPECT_STREQ(text, L"&Save");

    MENUITEMINFOW set{};
    set.cbSize = sizeof(set);
    set.fMask = MIIM_STATE | MIIM_DATA;
    set.fState = MFS_CHECKED;
    set.dwItemData = 1234;
    ASSERT_TRUE(SetMenuItemInfoW(m, 11, FALSE, &set));
    EXPECT_EQ(GetMenuState(m, 11, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), static_cast<UINT>(MF_CHECKED));
    MENUITEMINFOW back{};
    back.cbSize = sizeof(back);
    back.fMask = MIIM_DATA | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoW(m, 4, TRUE, &back));
    EXPECT_EQ(back.hSubMenu, sub);
    ASSERT_TRUE(GetMenuItemInfoW(m, 2, TRUE, &back));
    EXPECT_EQ(back.dwItemData, 1234u);

    MENUITEMINFOA ins{};
    ins.cbSize = sizeof(ins);
    ins.fMask = MIIM_ID | MIIM_STRING;
    ins.wID = 15;
    char label[] = "&Print";
    ins.dwTypeData = label;
    ASSERT_TRUE(InsertMenuItemA(m, 1, TRUE, &ins));
    EXPECT_EQ(GetMenuItemID(m, 1), 15u);
    EXPECT_EQ(GetMenuItemCount(m), 6);
    EXPECT_FALSE(GetMenuItemInfoW(m, 99, TRUE, &info));
    DestroyMenu(m);
}

TEST(MenuItemInfo, DefaultItemIsOnePerMenu)
{
    // Windows: one default item per menu, by command or position; -1 when there is none or it
    // is disabled and GMDI_USEDISABLED is not given (MSDN SetMenuDefaultItem, GetMenuDefaultItem).
    HMENU m = MakePopup();
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), static_cast<UINT>(-1));
    EXPECT_TRUE(SetMenuDefaultItem(m, 12, FALSE));
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), 12u);
    EXPECT_TRUE(SetMenuDefaultItem(m, 0, TRUE));
    EXPECT_EQ(GetMenuDefaultItem(m, TRUE, 0), 0u);
    EXPECT_EQ(GetMenuState(m, 12, MF_BYCOMMAND) & MF_DEFAULT, 0u);
    EXPECT_TRUE(SetMenuDefaultItem(m, 11, FALSE));
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, GMDI_USEDISABLED), 11u);
    EXPECT_FALSE(SetMenuDefaultItem(m, 999, FALSE));
    EXPECT_TRUE(SetMenuDefaultItem(m, static_cast<UINT>(-1), FALSE));
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, GMDI_USEDISABLED), static_cast<UINT>(-1));
    DestroyMenu(m);
}

} // namespace
