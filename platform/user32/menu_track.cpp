// Menus on screen: the menu bar in a window's frame, popup menus (windows of class "#32768"),
// and the modal loop that runs them from the mouse and the keyboard, with the messages Windows
// sends its owner on the way (WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT,
// WM_MENUCHAR, WM_UNINITMENUPOPUP, WM_EXITMENULOOP) and the command at the end.

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "user_internal.h"

using namespace moxplat;

namespace {

// Classic metrics at 96 DPI.
constexpr int kBarPadding = 6;  // either side of a bar item's text
constexpr int kItemHeight = 19; // a popup's text item
constexpr int kSeparatorHeight = 9;
constexpr int kPopupBorder = 3;  // raised edge plus one pixel inside it
constexpr int kCheckColumn = 18; // where the check mark goes, left of the text
constexpr int kArrowColumn = 16; // where a submenu's arrow goes, right of the accelerator
constexpr int kAccelGap = 16;    // between the text and the accelerator

struct Level {
    HMENU menu = nullptr;
    bool bar = false;
    HWND wnd = nullptr; // the popup's window; the owner for the bar
    std::vector<MenuEntry> items;
    std::vector<RECT> rects; // popup client coordinates; the bar's in window coordinates
    POINT origin{};          // the screen point the rectangles are relative to
    SIZE size{};
    int sel = -1;
    int parentIndex = 0; // the item that opened it in the level below
};

struct Tracker {
    HWND owner = nullptr;
    UINT flags = 0;
    bool popupMode = false; // TrackPopupMenu rather than the menu bar
    bool sysMenu = false;   // the first level is the window's system menu
    std::vector<Level> levels;
    bool done = false;
    bool chosen = false;
    UINT_PTR command = 0;
    bool buttonDown = false; // a press seen since tracking began, so a release may choose
    bool hovered = false;
};

Tracker* g_active = nullptr;

bool Notify(const Tracker& t)
{
    return !(t.flags & TPM_NONOTIFY);
}

bool Selectable(const MenuEntry& e)
{
    return !(e.flags & MF_SEPARATOR);
}

bool Enabled(const MenuEntry& e)
{
    return !(e.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR));
}

// The text before a tab, and the accelerator text after it.
std::wstring Label(const MenuEntry& e)
{
    return e.text.substr(0, e.text.find(L'\t'));
}

std::wstring Accelerator(const MenuEntry& e)
{
    const std::size_t tab = e.text.find(L'\t');
    return tab == std::wstring::npos ? std::wstring() : e.text.substr(tab + 1);
}

// The character after a single '&', upper-cased; 0 when the item has none.
wchar_t Mnemonic(const MenuEntry& e)
{
    const std::wstring label = Label(e);
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != L'&')
            continue;
        if (label[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(label[i + 1])));
    }
    return 0;
}

HFONT MenuFont(bool bold)
{
    static HFONT normal = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    static HFONT heavy = CreateFontW(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg");
    return bold && heavy ? heavy : normal;
}

SIZE TextSize(HDC dc, const std::wstring& text, bool bold)
{
    if (text.empty())
        return SIZE{0, 0};
    HGDIOBJ old = SelectObject(dc, MenuFont(bold));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// --- Layout.

void LayoutBar(Level& l, const RECT& bar)
{
    HDC dc = CreateCompatibleDC(nullptr);
    l.rects.clear();
    int x = bar.left;
    for (const MenuEntry& e : l.items) {
        const int w = TextSize(dc, Label(e), false).cx + 2 * kBarPadding;
        l.rects.push_back(RECT{x, bar.top, x + w, bar.bottom});
        x += w;
    }
    DeleteDC(dc);
}

void LayoutPopup(Level& l)
{
    HDC dc = CreateCompatibleDC(nullptr);
    int labelW = 0, accelW = 0;
    for (const MenuEntry& e : l.items) {
        if (e.flags & MF_SEPARATOR)
            continue;
        labelW = std::max<int>(labelW, TextSize(dc, Label(e), (e.flags & MF_DEFAULT) != 0).cx);
        accelW = std::max<int>(accelW, TextSize(dc, Accelerator(e), (e.flags & MF_DEFAULT) != 0).cx);
    }
    DeleteDC(dc);
    const int width = kCheckColumn + labelW + (accelW ? kAccelGap + accelW : 0) + kArrowColumn;
    l.rects.clear();
    int y = kPopupBorder;
    for (const MenuEntry& e : l.items) {
        const int h = (e.flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
        l.rects.push_back(RECT{kPopupBorder, y, kPopupBorder + width, y + h});
        y += h;
    }
    l.size = SIZE{width + 2 * kPopupBorder, y + kPopupBorder};
}

// --- Painting.

void Fill(HDC dc, int left, int top, int right, int bottom, int color)
{
    const RECT r{left, top, right, bottom};
    FillRect(dc, &r, GetSysColorBrush(color));
}

void DrawLabel(HDC dc, const std::wstring& text, RECT r, UINT format, COLORREF color, bool bold)
{
    HGDIOBJ old = SelectObject(dc, MenuFont(bold));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, old);
}

// Disabled text in the classic look: etched, a light copy one pixel down and right under the grey.
void DrawItemText(HDC dc, const std::wstring& text, const RECT& r, UINT format, bool enabled, bool selected, bool bold)
{
    if (enabled) {
        DrawLabel(dc, text, r, format, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT), bold);
        return;
    }
    if (!selected) {
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        DrawLabel(dc, text, shifted, format, GetSysColor(COLOR_3DHILIGHT), bold);
    }
    DrawLabel(dc, text, r, format, GetSysColor(COLOR_GRAYTEXT), bold);
}

void DrawCheck(HDC dc, const RECT& column, bool radio, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    const int cx = (column.left + column.right) / 2, cy = (column.top + column.bottom) / 2;
    if (radio) {
        // A bullet: a filled circle six pixels across.
        static const int rows[6][2] = {{2, 4}, {1, 5}, {0, 6}, {0, 6}, {1, 5}, {2, 4}};
        for (int y = 0; y < 6; ++y) {
            const RECT r{cx - 3 + rows[y][0], cy - 3 + y, cx - 3 + rows[y][1], cy - 2 + y};
            FillRect(dc, &r, brush);
        }
    } else {
        // A tick: seven columns, each three pixels tall, down then up.
        static const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
        for (int x = 0; x < 7; ++x) {
            const RECT r{cx - 4 + x, cy - 3 + tops[x], cx - 3 + x, cy + tops[x]};
            FillRect(dc, &r, brush);
        }
    }
    DeleteObject(brush);
}

void DrawArrow(HDC dc, const RECT& item, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    const int x = item.right - kArrowColumn + 6, cy = (item.top + item.bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        const RECT r{x + i, cy - 3 + i, x + i + 1, cy + 4 - i};
        FillRect(dc, &r, brush);
    }
    DeleteObject(brush);
}

void PaintPopup(const Level& l)
{
    if (!l.wnd)
        return;
    HDC dc = GetDC(l.wnd);
    const int w = l.size.cx, h = l.size.cy;
    Fill(dc, 0, 0, w, h, COLOR_MENU);
    // The raised edge: light top and left, dark bottom and right, two pixels each.
    Fill(dc, 0, 0, w, 1, COLOR_3DLIGHT);
    Fill(dc, 0, 0, 1, h, COLOR_3DLIGHT);
    Fill(dc, 1, 1, w - 1, 2, COLOR_3DHILIGHT);
    Fill(dc, 1, 1, 2, h - 1, COLOR_3DHILIGHT);
    Fill(dc, 0, h - 1, w, h, COLOR_3DDKSHADOW);
    Fill(dc, w - 1, 0, w, h, COLOR_3DDKSHADOW);
    Fill(dc, 1, h - 2, w - 1, h - 1, COLOR_3DSHADOW);
    Fill(dc, w - 2, 1, w - 1, h - 1, COLOR_3DSHADOW);
    for (std::size_t i = 0; i < l.items.size(); ++i) {
        const MenuEntry& e = l.items[i];
        const RECT& r = l.rects[i];
        if (e.flags & MF_SEPARATOR) {
            const int mid = (r.top + r.bottom) / 2 - 1;
            Fill(dc, r.left + 1, mid, r.right - 1, mid + 1, COLOR_3DSHADOW);
            Fill(dc, r.left + 1, mid + 1, r.right - 1, mid + 2, COLOR_3DHILIGHT);
            continue;
        }
        const bool selected = static_cast<int>(i) == l.sel;
        const bool enabled = Enabled(e);
        const bool bold = (e.flags & MF_DEFAULT) != 0;
        if (selected)
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        const COLORREF ink = GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
        if (e.flags & MF_CHECKED)
            DrawCheck(dc, RECT{r.left, r.top, r.left + kCheckColumn, r.bottom}, (e.flags & MFT_RADIOCHECK) != 0, ink);
        RECT text{r.left + kCheckColumn, r.top, r.right - kArrowColumn, r.bottom};
        DrawItemText(dc, Label(e), text, DT_LEFT, enabled, selected, bold);
        if (!Accelerator(e).empty())
            DrawItemText(dc, Accelerator(e), text, DT_RIGHT, enabled, selected, bold);
        if (e.flags & MF_POPUP)
            DrawArrow(dc, r, ink);
    }
    ReleaseDC(l.wnd, dc);
}

void PaintBar(HWND hwnd, const Level& l, bool open)
{
    RECT bar{};
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        if (!w)
            return;
        bar = MenuBarRectLocked(*w);
    }
    if (IsRectEmpty(&bar))
        return;
    HDC dc = GetWindowDC(hwnd);
    // The bar and the line under it.
    Fill(dc, bar.left, bar.top, bar.right, bar.bottom + 1, COLOR_MENU);
    for (std::size_t i = 0; i < l.items.size() && i < l.rects.size(); ++i) {
        const MenuEntry& e = l.items[i];
        RECT r = l.rects[i];
        if (r.left >= bar.right)
            break;
        const bool selected = static_cast<int>(i) == l.sel;
        if (selected && open) {
            // An open drop-down's title looks pressed in: a sunken edge, the text one pixel on.
            Fill(dc, r.left, r.top, r.right, r.top + 1, COLOR_3DSHADOW);
            Fill(dc, r.left, r.top, r.left + 1, r.bottom, COLOR_3DSHADOW);
            Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_3DHILIGHT);
            Fill(dc, r.right - 1, r.top, r.right, r.bottom, COLOR_3DHILIGHT);
            OffsetRect(&r, 1, 1);
        } else if (selected) {
            // Chosen from the keyboard: raised.
            Fill(dc, r.left, r.top, r.right, r.top + 1, COLOR_3DHILIGHT);
            Fill(dc, r.left, r.top, r.left + 1, r.bottom, COLOR_3DHILIGHT);
            Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, COLOR_3DSHADOW);
            Fill(dc, r.right - 1, r.top, r.right, r.bottom, COLOR_3DSHADOW);
        }
        DrawItemText(dc, Label(e), r, DT_CENTER, Enabled(e), false, false);
    }
    ReleaseDC(hwnd, dc);
}

// A window's bar as a level: its menu's items laid out in its frame.
bool BarLevel(HWND hwnd, Level* out)
{
    RECT bar{}, window{};
    HMENU menu = GetMenu(hwnd);
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hwnd);
        if (!w || !menu)
            return false;
        bar = MenuBarRectLocked(*w);
    }
    if (IsRectEmpty(&bar) || !GetWindowRect(hwnd, &window) || !MenuEntries(menu, &out->items))
        return false;
    out->menu = menu;
    out->bar = true;
    out->wnd = hwnd;
    out->origin = POINT{window.left, window.top};
    LayoutBar(*out, bar);
    return true;
}

// --- The popup window class.

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        if (g_active)
            for (const Level& l : g_active->levels)
                if (l.wnd == hwnd && !l.bar)
                    PaintPopup(l);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool PopupClassReady()
{
    static const bool ready = [] {
        WNDCLASSW wc{};
        wc.style = CS_SAVEBITS | CS_DBLCLKS;
        wc.lpfnWndProc = PopupProc;
        wc.lpszClassName = L"#32768";
        return RegisterClassW(&wc) != 0;
    }();
    return ready;
}

// --- Tracking.

void SendMenuSelect(const Tracker& t, const Level& l, bool mouse)
{
    if (!Notify(t) || l.sel < 0)
        return;
    const MenuEntry& e = l.items[static_cast<std::size_t>(l.sel)];
    // A submenu is named by its position, a command by its id (Microsoft's WM_MENUSELECT).
    UINT flags = (e.flags & 0xFFFF) | MF_HILITE;
    if (mouse)
        flags |= MF_MOUSESELECT;
    if (t.sysMenu && !l.bar)
        flags |= MF_SYSMENU;
    const UINT item = (e.flags & MF_POPUP) ? static_cast<UINT>(l.sel) : static_cast<UINT>(e.id);
    SendMessageW(t.owner, WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(l.menu));
}

void Repaint(const Tracker& t, std::size_t level)
{
    const Level& l = t.levels[level];
    if (l.bar)
        PaintBar(l.wnd, l, t.levels.size() > 1);
    else
        PaintPopup(l);
}

void Select(Tracker& t, std::size_t level, int index, bool mouse)
{
    Level& l = t.levels[level];
    if (l.sel == index)
        return;
    l.sel = index;
    SendMenuSelect(t, l, mouse);
    Repaint(t, level);
}

// Closes the popups above a level (every one for kAll), the topmost first.
constexpr std::size_t kAll = static_cast<std::size_t>(-1);

void CloseAbove(Tracker& t, std::size_t level)
{
    while (!t.levels.empty() && (level == kAll || t.levels.size() > level + 1)) {
        Level l = std::move(t.levels.back());
        t.levels.pop_back();
        if (Notify(t))
            SendMessageW(t.owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(l.menu),
                         MAKELPARAM(0, t.sysMenu && t.levels.empty() ? MF_SYSMENU : 0));
        if (l.wnd)
            DestroyWindow(l.wnd);
    }
    if (level != kAll && level < t.levels.size())
        Repaint(t, level);
}

// The system menu's items reflect the window's state, as Windows keeps them.
void UpdateSystemMenu(HWND hwnd, HMENU menu)
{
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    const bool zoomed = (style & WS_MAXIMIZE) != 0, iconic = (style & WS_MINIMIZE) != 0;
    auto set = [&](UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    set(SC_RESTORE, zoomed || iconic);
    set(SC_MOVE, !zoomed);
    set(SC_SIZE, !zoomed && !iconic && (style & WS_THICKFRAME));
    set(SC_MINIMIZE, !iconic && (style & WS_MINIMIZEBOX));
    set(SC_MAXIMIZE, !zoomed && (style & WS_MAXIMIZEBOX));
}

// Shows a popup at a screen point, kept on the screen; `index` is its item in the level below.
bool OpenPopup(Tracker& t, HMENU menu, int x, int y, UINT align, int index, int flipX)
{
    const bool system = t.sysMenu && t.levels.empty();
    if (system)
        UpdateSystemMenu(t.owner, menu);
    // Sent before the popup is measured: the owner may change its items.
    if (Notify(t))
        SendMessageW(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, system ? 1 : 0));
    Level l;
    l.menu = menu;
    l.parentIndex = index;
    if (!MenuEntries(menu, &l.items) || l.items.empty() || !PopupClassReady())
        return false;
    LayoutPopup(l);
    if (align & TPM_CENTERALIGN)
        x -= l.size.cx / 2;
    else if (align & TPM_RIGHTALIGN)
        x -= l.size.cx;
    if (align & TPM_VCENTERALIGN)
        y -= l.size.cy / 2;
    else if (align & TPM_BOTTOMALIGN)
        y -= l.size.cy;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (x + l.size.cx > screenW)
        x = flipX >= 0 ? flipX - l.size.cx : screenW - l.size.cx;
    if (y + l.size.cy > screenH)
        y = screenH - l.size.cy;
    x = std::max(x, 0);
    y = std::max(y, 0);
    l.origin = POINT{x, y};
    l.wnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"#32768", L"", WS_POPUP, x, y, l.size.cx, l.size.cy,
                            t.owner, nullptr, nullptr, nullptr);
    if (!l.wnd)
        return false;
    t.levels.push_back(std::move(l));
    ShowWindow(t.levels.back().wnd, SW_SHOWNOACTIVATE);
    PaintPopup(t.levels.back());
    return true;
}

int FirstSelectable(const Level& l, int from, int step)
{
    const int n = static_cast<int>(l.items.size());
    for (int k = 0, i = from; k < n; ++k, i = (i + step + n) % n)
        if (Selectable(l.items[static_cast<std::size_t>(i)]))
            return i;
    return -1;
}

// Opens the submenu of the selected item of a level; `selectFirst` for the keyboard's way in.
void OpenSelected(Tracker& t, std::size_t level, bool selectFirst)
{
    Level& l = t.levels[level];
    if (l.sel < 0)
        return;
    const MenuEntry e = l.items[static_cast<std::size_t>(l.sel)];
    if (!(e.flags & MF_POPUP) || (e.flags & (MF_GRAYED | MF_DISABLED)))
        return;
    CloseAbove(t, level);
    const RECT r = t.levels[level].rects[static_cast<std::size_t>(l.sel)];
    const POINT o = t.levels[level].origin;
    bool opened = false;
    if (t.levels[level].bar)
        opened = OpenPopup(t, e.popup, o.x + r.left, o.y + r.bottom, 0, t.levels[level].sel, -1);
    else
        opened = OpenPopup(t, e.popup, o.x + t.levels[level].size.cx - kPopupBorder, o.y + r.top - kPopupBorder, 0,
                           t.levels[level].sel, o.x + kPopupBorder);
    if (level == 0 && t.levels[0].bar)
        Repaint(t, 0);
    if (opened && selectFirst)
        Select(t, t.levels.size() - 1, FirstSelectable(t.levels.back(), 0, 1), false);
}

void Choose(Tracker& t, const MenuEntry& e)
{
    t.done = true;
    if (Enabled(e) && !(e.flags & MF_POPUP)) {
        t.chosen = true;
        t.command = e.id;
    }
}

// Carries out the selected item of the deepest level: opens its submenu or chooses it.
void Execute(Tracker& t, std::size_t level)
{
    Level& l = t.levels[level];
    if (l.sel < 0)
        return;
    const MenuEntry e = l.items[static_cast<std::size_t>(l.sel)];
    if (e.flags & MF_POPUP)
        OpenSelected(t, level, true);
    else
        Choose(t, e);
}

// Moves along the bar, opening the new item's drop-down when one was open.
void MoveOnBar(Tracker& t, int step)
{
    Level& bar = t.levels[0];
    const bool open = t.levels.size() > 1;
    const int next = FirstSelectable(bar,
                                     (bar.sel + step + static_cast<int>(bar.items.size())) %
                                         static_cast<int>(std::max<std::size_t>(bar.items.size(), 1)),
                                     step);
    CloseAbove(t, 0);
    Select(t, 0, next, false);
    if (open)
        OpenSelected(t, 0, true);
}

bool IsNavigationKey(WPARAM key)
{
    switch (key) {
    case VK_ESCAPE:
    case VK_MENU:
    case VK_F10:
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_RETURN:
        return true;
    default:
        return false;
    }
}

void KeyDown(Tracker& t, WPARAM key)
{
    const std::size_t top = t.levels.size() - 1;
    Level& l = t.levels[top];
    const bool onBar = l.bar;
    switch (key) {
    case VK_ESCAPE:
        // One level at a time; from the bar or a lone popup, the menu closes.
        if (top == 0)
            t.done = true;
        else
            CloseAbove(t, top - 1);
        break;
    case VK_MENU:
    case VK_F10:
        t.done = true;
        break;
    case VK_UP:
    case VK_DOWN:
        if (onBar) {
            OpenSelected(t, top, true);
        } else {
            const int step = key == VK_DOWN ? 1 : -1;
            const int n = static_cast<int>(l.items.size());
            const int from = l.sel < 0 ? (step > 0 ? 0 : n - 1) : (l.sel + step + n) % n;
            Select(t, top, FirstSelectable(l, from, step), false);
        }
        break;
    case VK_LEFT:
        if (onBar)
            MoveOnBar(t, -1);
        else if (top >= 2 || (top == 1 && !t.levels[0].bar))
            CloseAbove(t, top - 1);
        else if (top == 1)
            MoveOnBar(t, -1);
        break;
    case VK_RIGHT:
        if (onBar) {
            MoveOnBar(t, 1);
        } else if (l.sel >= 0 && (l.items[static_cast<std::size_t>(l.sel)].flags & MF_POPUP) &&
                   Enabled(l.items[static_cast<std::size_t>(l.sel)])) {
            OpenSelected(t, top, true);
        } else if (t.levels[0].bar) {
            MoveOnBar(t, 1);
        }
        break;
    case VK_RETURN:
        if (l.sel >= 0)
            Execute(t, top);
        break;
    default:
        break;
    }
}

void Character(Tracker& t, wchar_t c)
{
    if (c < 0x20)
        return;
    const std::size_t top = t.levels.size() - 1;
    Level& l = t.levels[top];
    const wchar_t key = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    std::vector<int> matches;
    for (std::size_t i = 0; i < l.items.size(); ++i)
        if (Mnemonic(l.items[i]) == key)
            matches.push_back(static_cast<int>(i));
    if (matches.size() == 1) {
        Select(t, top, matches[0], false);
        Execute(t, top);
        return;
    }
    if (matches.size() > 1) {
        // Several items share the letter: each press selects the next of them.
        auto next = std::upper_bound(matches.begin(), matches.end(), l.sel);
        Select(t, top, next == matches.end() ? matches[0] : *next, false);
        return;
    }
    // No item has the letter: the owner may name one (Microsoft's WM_MENUCHAR).
    UINT type = l.bar ? 0 : MF_POPUP;
    if (t.sysMenu && !l.bar)
        type |= MF_SYSMENU;
    const LRESULT r = SendMessageW(t.owner, WM_MENUCHAR, MAKEWPARAM(c, type), reinterpret_cast<LPARAM>(l.menu));
    const int index = LOWORD(r);
    switch (HIWORD(r)) {
    case MNC_CLOSE:
        t.done = true;
        break;
    case MNC_EXECUTE:
    case MNC_SELECT:
        if (index < static_cast<int>(l.items.size()) && Selectable(l.items[static_cast<std::size_t>(index)])) {
            Select(t, top, index, false);
            if (HIWORD(r) == MNC_EXECUTE)
                Execute(t, top);
        }
        break;
    default:
        break;
    }
}

// Which level and item a screen point falls on: the topmost popup first; -1 for none.
int HitLevel(const Tracker& t, POINT pt, int* item)
{
    for (int k = static_cast<int>(t.levels.size()) - 1; k >= 0; --k) {
        const Level& l = t.levels[static_cast<std::size_t>(k)];
        const POINT local{pt.x - l.origin.x, pt.y - l.origin.y};
        if (!l.bar) {
            const RECT all{0, 0, l.size.cx, l.size.cy};
            if (!PtInRect(&all, local))
                continue;
        }
        *item = -1;
        for (std::size_t i = 0; i < l.rects.size(); ++i)
            if (PtInRect(&l.rects[i], local))
                *item = static_cast<int>(i);
        if (!l.bar || *item >= 0)
            return k;
    }
    return -1;
}

bool IsButton(UINT m, bool down)
{
    if (down)
        return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_LBUTTONDBLCLK ||
               m == WM_RBUTTONDBLCLK || m == WM_NCLBUTTONDOWN || m == WM_NCRBUTTONDOWN;
    return m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP || m == WM_NCLBUTTONUP || m == WM_NCRBUTTONUP;
}

void Mouse(Tracker& t, const MSG& msg)
{
    POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    const bool nonClient = msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCRBUTTONUP;
    if (!nonClient)
        ClientToScreen(msg.hwnd, &pt);
    int item = -1;
    const int k = HitLevel(t, pt, &item);
    const std::size_t level = static_cast<std::size_t>(k);
    const bool right = msg.message == WM_RBUTTONUP || msg.message == WM_NCRBUTTONUP;
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        if (k < 0 || item < 0)
            return;
        Level& l = t.levels[level];
        if (l.bar) {
            // Moving along the bar switches drop-downs only while one is open.
            if (t.levels.size() > 1 && item != l.sel) {
                CloseAbove(t, 0);
                Select(t, 0, item, true);
                OpenSelected(t, 0, false);
            }
            return;
        }
        if (!Selectable(l.items[static_cast<std::size_t>(item)]))
            return;
        t.hovered = true;
        if (item != l.sel) {
            CloseAbove(t, level);
            Select(t, level, item, true);
            OpenSelected(t, level, false);
        }
        return;
    }
    if (IsButton(msg.message, true)) {
        t.buttonDown = true;
        if (k < 0) {
            t.done = true; // a click outside closes the menu
            return;
        }
        Level& l = t.levels[level];
        if (item < 0)
            return;
        if (l.bar && item == l.sel && t.levels.size() > 1) {
            t.done = true; // the open drop-down's title again: closed
            return;
        }
        CloseAbove(t, level);
        Select(t, level, item, true);
        OpenSelected(t, level, false);
        return;
    }
    if (IsButton(msg.message, false)) {
        if (k < 0 || item < 0 || t.levels[level].bar || (!t.buttonDown && !t.hovered))
            return;
        if (right && t.popupMode && !(t.flags & TPM_RIGHTBUTTON))
            return;
        if (msg.message == WM_MBUTTONUP)
            return;
        const MenuEntry e = t.levels[level].items[static_cast<std::size_t>(item)];
        // A disabled item or a separator does nothing; the menu stays (Microsoft's menu docs).
        if (!(e.flags & MF_POPUP) && Enabled(e))
            Choose(t, e);
    }
}

bool IsKeyboard(UINT m)
{
    return m >= WM_KEYFIRST && m <= WM_KEYLAST;
}

bool IsMouse(UINT m)
{
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCRBUTTONUP);
}

// The modal loop: runs until an item is chosen or the menu is dismissed.
void Run(Tracker& t)
{
    while (!t.done) {
        if (!IsWindow(t.owner))
            break;
        MSG msg;
        // Idle: the owner hears of it once each time (Microsoft's WM_ENTERIDLE, MSGF_MENU).
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && Notify(t)) {
            const HWND shown = t.levels.empty() ? nullptr : t.levels.back().wnd;
            SendMessageW(t.owner, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(shown));
            if (t.done)
                break;
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT ends the menu and stays for the program's own loop.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (IsKeyboard(msg.message)) {
            if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
                // Only keys that may type a mnemonic become characters: Enter or Escape would
                // leave a stray WM_CHAR for the window once the menu has closed.
                if (IsNavigationKey(msg.wParam))
                    KeyDown(t, msg.wParam);
                else
                    TranslateMessage(&msg);
            } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
                Character(t, static_cast<wchar_t>(msg.wParam));
            }
            continue;
        }
        if (IsMouse(msg.message)) {
            Mouse(t, msg);
            continue;
        }
        DispatchMessageW(&msg);
    }
}

// Everything after the loop: popups closed, the bar plain again, the owner told, the command sent.
UINT_PTR Finish(Tracker& t, bool returnCommand)
{
    CloseAbove(t, 0);
    if (!t.levels.empty()) {
        Level& first = t.levels[0];
        if (first.bar) {
            first.sel = -1;
            PaintBar(first.wnd, first, false);
        } else {
            CloseAbove(t, kAll);
        }
    }
    t.levels.clear();
    g_active = nullptr;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        if (reg.capture == t.owner)
            reg.capture = nullptr;
    }
    if (IsWindow(t.owner)) {
        if (Notify(t)) {
            // The menu closed (Microsoft's WM_MENUSELECT: 0xFFFF and no menu).
            SendMessageW(t.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
            SendMessageW(t.owner, WM_EXITMENULOOP, t.popupMode ? TRUE : FALSE, 0);
        }
        if (t.chosen && !returnCommand) {
            if (t.sysMenu)
                PostMessageW(t.owner, WM_SYSCOMMAND, t.command, 0);
            else
                PostMessageW(t.owner, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(t.command), 0), 0);
        }
    }
    return t.chosen ? t.command : 0;
}

void Begin(Tracker& t, HMENU first)
{
    g_active = &t;
    // The loop holds the mouse, as Windows' menus do: a click anywhere, even outside every
    // window, reaches it (and closes the menu when it misses). The loop reads the mouse itself,
    // so the owner hears no WM_CAPTURECHANGED for it.
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        reg.capture = t.owner;
    }
    if (Notify(t)) {
        SendMessageW(t.owner, WM_ENTERMENULOOP, t.popupMode ? TRUE : FALSE, 0);
        SendMessageW(t.owner, WM_INITMENU, reinterpret_cast<WPARAM>(first), 0);
    }
}

// The menu bar, entered with a bar item selected; `open` shows its drop-down.
void TrackBar(HWND hwnd, int index, bool open, bool selectFirst, bool mouse)
{
    Tracker t;
    t.owner = hwnd;
    Level bar;
    if (!BarLevel(hwnd, &bar) || bar.items.empty())
        return;
    if (index < 0)
        index = FirstSelectable(bar, 0, 1);
    t.levels.push_back(std::move(bar));
    Begin(t, t.levels[0].menu);
    Select(t, 0, index, mouse);
    if (open)
        OpenSelected(t, 0, selectFirst);
    t.buttonDown = mouse;
    Run(t);
    Finish(t, false);
}

} // namespace

namespace moxplat {

void TrackMenuBarByKey(HWND hwnd, wchar_t key);
void TrackMenuBarByMouse(HWND hwnd, POINT screen);

RECT MenuBarRectLocked(const WindowObject& w)
{
    if ((w.style & WS_CHILD) || !w.id)
        return RECT{0, 0, 0, 0};
    // The frame without the bar, client edge and scroll bars ends where the bar begins.
    const RECT base = FrameOf(w.style & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL),
                              w.exStyle & ~static_cast<DWORD>(WS_EX_CLIENTEDGE), false);
    const int outerW = w.width + w.frame.left + w.frame.right;
    return RECT{base.left, base.top, std::max<int>(base.left, outerW - base.right), base.top + kMenuHeight};
}

int MenuBarHeightLocked(const WindowObject& w)
{
    const RECT bar = MenuBarRectLocked(w);
    return IsRectEmpty(&bar) ? 0 : std::max<int>(0, w.frame.top - bar.top);
}

void RefreshMenuBars()
{
    std::vector<HWND> stale;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        for (auto& [key, w] : reg.windows)
            if (w.menuBarStale && w.created && !w.destroying) {
                w.menuBarStale = false;
                stale.push_back(HandleOf<HWND>(key));
            }
    }
    for (HWND hwnd : stale)
        DrawMenuBar(hwnd);
}

void TrackMenuBarByKey(HWND hwnd, wchar_t key)
{
    if (g_active)
        return;
    if (key == L' ') {
        // Alt+Space: the system menu, under the window's top-left corner.
        if (!(GetWindowLongW(hwnd, GWL_STYLE) & WS_SYSMENU))
            return;
        RECT r{};
        GetWindowRect(hwnd, &r);
        POINT client{0, 0};
        ClientToScreen(hwnd, &client);
        const HMENU sys = GetSystemMenu(hwnd, FALSE);
        Tracker t;
        t.owner = hwnd;
        t.sysMenu = true;
        Begin(t, sys);
        if (OpenPopup(t, sys, r.left, r.top + GetSystemMetrics(SM_CYCAPTION), 0, 0, -1)) {
            Select(t, 0, FirstSelectable(t.levels[0], 0, 1), false);
            Run(t);
        }
        Finish(t, false);
        return;
    }
    Level bar;
    if (!BarLevel(hwnd, &bar) || bar.items.empty()) {
        // No menu bar: a letter is offered to the system menu's owner, which may close it
        // (Wine's user32 msg.c tests of Alt+N on Windows).
        if (key == 0 || !(GetWindowLongW(hwnd, GWL_STYLE) & WS_SYSMENU))
            return;
        Tracker t;
        t.owner = hwnd;
        t.sysMenu = true;
        const HMENU sys = GetSystemMenu(hwnd, FALSE);
        Begin(t, sys);
        SendMessageW(hwnd, WM_MENUCHAR, MAKEWPARAM(key, MF_SYSMENU), reinterpret_cast<LPARAM>(sys));
        Finish(t, false);
        return;
    }
    if (key == 0) {
        TrackBar(hwnd, -1, false, false, false);
        return;
    }
    const wchar_t upper = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(key)));
    for (std::size_t i = 0; i < bar.items.size(); ++i)
        if (Mnemonic(bar.items[i]) == upper) {
            TrackBar(hwnd, static_cast<int>(i), true, true, false);
            return;
        }
    // No title has the letter: the owner may name one (Microsoft's WM_MENUCHAR).
    const LRESULT r = SendMessageW(hwnd, WM_MENUCHAR, MAKEWPARAM(key, 0), reinterpret_cast<LPARAM>(bar.menu));
    const int index = LOWORD(r);
    if ((HIWORD(r) == MNC_EXECUTE || HIWORD(r) == MNC_SELECT) && index < static_cast<int>(bar.items.size()))
        TrackBar(hwnd, index, HIWORD(r) == MNC_EXECUTE, true, false);
}

void TrackMenuBarByMouse(HWND hwnd, POINT screen)
{
    if (g_active)
        return;
    Level bar;
    if (!BarLevel(hwnd, &bar))
        return;
    const POINT local{screen.x - bar.origin.x, screen.y - bar.origin.y};
    for (std::size_t i = 0; i < bar.rects.size(); ++i)
        if (PtInRect(&bar.rects[i], local)) {
            TrackBar(hwnd, static_cast<int>(i), true, false, true);
            return;
        }
}

namespace {

// The window that saw Alt go down with no other key since: its release then selects the menu bar.
thread_local HWND g_altAlone = nullptr;

HWND TopLevelOf(HWND hwnd)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return TopLevelLocked(reg, hwnd);
}

} // namespace

bool MenuDefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wide, LRESULT* result)
{
    *result = 0;
    switch (message) {
    case WM_SYSCHAR:
        // Alt with a letter opens the menu it names, Alt+Space the system menu (Microsoft's
        // WM_SYSCHAR and WM_SYSCOMMAND SC_KEYMENU).
        if ((HIWORD(lParam) & KF_ALTDOWN) && wParam != VK_RETURN && wParam != VK_ESCAPE)
            SendThroughProc(TopLevelOf(hwnd), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam), wide);
        return true;
    case WM_SYSKEYDOWN:
        if (wParam != VK_MENU)
            g_altAlone = nullptr;
        else if (!(HIWORD(lParam) & KF_REPEAT))
            g_altAlone = hwnd;
        return false; // Alt+F4 and the rest stay DefWindowProc's
    case WM_SYSKEYUP:
        // Alt pressed and released alone, or F10, selects the menu bar.
        if (wParam == VK_F10 || (wParam == VK_MENU && g_altAlone == hwnd)) {
            g_altAlone = nullptr;
            SendThroughProc(TopLevelOf(hwnd), WM_SYSCOMMAND, SC_KEYMENU, 0, wide);
        }
        return true;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_KEYMENU)
            return false;
        TrackMenuBarByKey(hwnd, static_cast<wchar_t>(lParam));
        return true;
    case WM_NCLBUTTONDOWN:
        if (wParam != HTMENU)
            return false;
        TrackMenuBarByMouse(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return true;
    case WM_NCHITTEST: {
        RECT bar{}, window{};
        {
            Registry& reg = TheRegistry();
            std::lock_guard<std::mutex> lock(reg.mutex);
            const WindowObject* w = reg.Window(hwnd);
            if (!w)
                return false;
            bar = MenuBarRectLocked(*w);
        }
        if (IsRectEmpty(&bar) || !GetWindowRect(hwnd, &window))
            return false;
        OffsetRect(&bar, window.left, window.top);
        if (!PtInRect(&bar, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return false;
        *result = HTMENU;
        return true;
    }
    default:
        return false;
    }
}

} // namespace moxplat

extern "C" {

BOOL WINAPI DrawMenuBar(HWND hWnd)
{
    if (!IsWindow(hWnd))
        return FALSE;
    if (g_active && !g_active->levels.empty() && g_active->levels[0].bar && g_active->levels[0].wnd == hWnd) {
        // Items may have changed under the open menu.
        Level& l = g_active->levels[0];
        MenuEntries(l.menu, &l.items);
        Level fresh;
        if (BarLevel(hWnd, &fresh))
            l.rects = fresh.rects;
        PaintBar(hWnd, l, g_active->levels.size() > 1);
        return TRUE;
    }
    Level bar;
    if (BarLevel(hWnd, &bar))
        PaintBar(hWnd, bar, false);
    return TRUE;
}

BOOL WINAPI TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS)
{
    // One menu at a time (Microsoft's TrackPopupMenu; ERROR_POPUP_ALREADY_ACTIVE).
    if (!IsMenu(hMenu) || !IsWindow(hwnd) || g_active)
        return FALSE;
    Tracker t;
    t.owner = hwnd;
    t.flags = uFlags;
    t.popupMode = true;
    t.sysMenu = IsSystemMenuOf(hwnd, hMenu);
    Begin(t, hMenu);
    if (!OpenPopup(t, hMenu, x, y, uFlags & (TPM_CENTERALIGN | TPM_RIGHTALIGN | TPM_VCENTERALIGN | TPM_BOTTOMALIGN), 0,
                   -1)) {
        Finish(t, true);
        return FALSE;
    }
    Run(t);
    const UINT_PTR command = Finish(t, (uFlags & TPM_RETURNCMD) != 0);
    // With TPM_RETURNCMD the command itself (0 for none); otherwise success.
    if (uFlags & TPM_RETURNCMD)
        return static_cast<BOOL>(command);
    return TRUE;
}

BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*)
{
    return TrackPopupMenuEx(hMenu, uFlags, x, y, hWnd, nullptr);
}

BOOL WINAPI EndMenu(void)
{
    if (!g_active)
        return FALSE;
    g_active->done = true;
    // Wakes the loop should it be waiting.
    PostMessageW(g_active->owner, WM_NULL, 0, 0);
    return TRUE;
}

// Screen coordinates of an item of the window's menu bar, or of an open popup.
BOOL WINAPI GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem)
{
    if (!lprcItem)
        return FALSE;
    if (g_active)
        for (const Level& l : g_active->levels)
            if (l.menu == hMenu && uItem < l.rects.size()) {
                *lprcItem = l.rects[uItem];
                OffsetRect(lprcItem, l.origin.x, l.origin.y);
                return TRUE;
            }
    Level bar;
    if (!hWnd || GetMenu(hWnd) != hMenu || !BarLevel(hWnd, &bar) || uItem >= bar.rects.size())
        return FALSE;
    *lprcItem = bar.rects[uItem];
    OffsetRect(lprcItem, bar.origin.x, bar.origin.y);
    return TRUE;
}

int WINAPI MenuItemFromPoint(HWND hWnd, HMENU hMenu, POINT ptScreen)
{
    const int count = GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (GetMenuItemRect(hWnd, hMenu, static_cast<UINT>(i), &r) && PtInRect(&r, ptScreen))
            return i;
    }
    return -1;
}

} // extern "C"
