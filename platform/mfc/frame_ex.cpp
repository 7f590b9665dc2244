// The newer AppWizard's frame and panes: CFrameWndEx's docking and user tool bars, the docking
// manager, CMFCToolBar, CMFCMenuBar, tool bar images, the context menu, keyboard and tool tip
// managers, and the customize window. Only MFC's headers and Win32 calls are used here, so a
// Windows build compiles this file as it is.
#include <afxcontrolbars.h>

#include <algorithm>
#include <cstdio>

const UINT AFX_WM_CREATETOOLBAR = ::RegisterWindowMessageA("AFX_WM_CREATETOOLBAR");

IMPLEMENT_DYNCREATE(CMFCVisualManagerOfficeXP, CMFCVisualManager)
IMPLEMENT_DYNCREATE(CMFCVisualManagerVS2005, CMFCVisualManagerOffice2003)
IMPLEMENT_DYNCREATE(CMFCVisualManagerVS2008, CMFCVisualManagerVS2005)
BOOL CMFCVisualManagerWindows::m_b3DTabsXPTheme = FALSE;

IMPLEMENT_DYNCREATE(CMFCToolBar, CToolBar)
IMPLEMENT_DYNCREATE(CMFCMenuBar, CMFCToolBar)
IMPLEMENT_DYNCREATE(CMFCToolTipCtrl, CWnd)
IMPLEMENT_DYNCREATE(CMFCStatusBar, CStatusBar)
BOOL CMFCPopupMenu::s_bForceMenuFocus = TRUE;

namespace {

CControlBar* BarOf(HWND hwnd)
{
    if (!hwnd || !::IsWindow(hwnd))
        return nullptr;
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    return wnd && wnd->IsKindOf(RUNTIME_CLASS(CControlBar)) ? static_cast<CControlBar*>(wnd) : nullptr;
}

CWinAppEx* AppEx()
{
    CWinApp* app = AfxGetApp();
    return app && app->IsKindOf(RUNTIME_CLASS(CWinAppEx)) ? static_cast<CWinAppEx*>(app) : nullptr;
}

} // namespace

// --- CFrameWndEx --------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFrameWndEx, CFrameWnd)
ON_REGISTERED_MESSAGE(AFX_WM_CREATETOOLBAR, &CFrameWndEx::OnToolbarCreateNew)
END_MESSAGE_MAP()

CFrameWndEx::~CFrameWndEx()
{
    for (CMFCToolBar* bar : m_userToolbars)
        delete bar;
    delete m_pDockManager;
}

BOOL CFrameWndEx::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    if (CWinAppEx* app = AppEx())
        app->LoadState(this);
    return TRUE;
}

BOOL CFrameWndEx::EnableDocking(DWORD dwDockStyle)
{
    CFrameWnd::EnableDocking(dwDockStyle);
    return GetDockingManager()->EnableDocking(dwDockStyle);
}

void CFrameWndEx::DockPane(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    GetDockingManager()->DockPane(pBar, nDockBarID, lpRect);
}

void CFrameWndEx::ShowPane(CControlBar* pBar, BOOL bShow, BOOL bDelay, BOOL)
{
    ShowControlBar(pBar, bShow, bDelay);
}

CDockingManager* CFrameWndEx::GetDockingManager()
{
    if (!m_pDockManager)
        m_pDockManager = new CDockingManager(this);
    return m_pDockManager;
}

BOOL CFrameWndEx::InitUserToolbars(LPCSTR, UINT uiUserToolbarFirst, UINT uiUserToolbarLast)
{
    if (uiUserToolbarFirst > uiUserToolbarLast || uiUserToolbarFirst < AFX_IDW_CONTROLBAR_FIRST ||
        uiUserToolbarLast > AFX_IDW_CONTROLBAR_LAST)
        return FALSE;
    m_uiUserToolbarFirst = uiUserToolbarFirst;
    m_uiUserToolbarLast = uiUserToolbarLast;
    return TRUE;
}

CMFCToolBar* CFrameWndEx::GetUserToolBarByIndex(int iIndex) const
{
    if (iIndex < 0 || iIndex >= static_cast<int>(m_userToolbars.size()))
        return nullptr;
    return m_userToolbars[static_cast<std::size_t>(iIndex)];
}

LRESULT CFrameWndEx::OnToolbarCreateNew(WPARAM, LPARAM lp)
{
    if (!m_hWnd || m_uiUserToolbarFirst == 0)
        return 0;
    UINT id = m_uiUserToolbarFirst;
    while (id <= m_uiUserToolbarLast && ::GetDlgItem(m_hWnd, static_cast<int>(id)))
        ++id;
    if (id > m_uiUserToolbarLast)
        return 0;
    auto* bar = new CMFCToolBar;
    if (!bar->CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER, CRect(1, 1, 1, 1), id)) {
        delete bar;
        return 0;
    }
    char name[32];
    std::snprintf(name, sizeof name, "Custom %d", static_cast<int>(m_userToolbars.size()) + 1);
    ::SetWindowTextA(bar->m_hWnd, lp ? reinterpret_cast<LPCSTR>(lp) : name);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    m_userToolbars.push_back(bar);
    DockPane(bar);
    return reinterpret_cast<LRESULT>(bar);
}

void CFrameWndEx::EnablePaneMenu(BOOL bEnable, UINT uiCustomizeCmd, LPCSTR strCustomizeLabel, UINT, BOOL, BOOL)
{
    m_bPaneMenu = bEnable;
    m_uiPaneMenuCustomizeCmd = bEnable ? uiCustomizeCmd : 0;
    m_strPaneMenuCustomize = bEnable && strCustomizeLabel ? strCustomizeLabel : "";
}

HMENU CFrameWndEx::CreatePaneMenu()
{
    m_paneMenuBars.clear();
    if (!m_bPaneMenu || !m_hWnd)
        return nullptr;
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return nullptr;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[128] = {};
        if (!BarOf(child) || ::GetWindowTextA(child, name, sizeof name) <= 0)
            continue;
        const bool shown = (::GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE) != 0;
        ::AppendMenuA(menu, MF_STRING | (shown ? MF_CHECKED : MF_UNCHECKED),
                      kPaneMenuFirst + m_paneMenuBars.size(), name);
        m_paneMenuBars.push_back(child);
    }
    if (m_uiPaneMenuCustomizeCmd && !m_strPaneMenuCustomize.IsEmpty()) {
        if (!m_paneMenuBars.empty())
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, m_uiPaneMenuCustomizeCmd, m_strPaneMenuCustomize.GetString());
    }
    return menu;
}

BOOL CFrameWndEx::ShowPaneMenu(CPoint ptScreen)
{
    HMENU menu = CreatePaneMenu();
    if (!menu)
        return FALSE;
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                                                           ptScreen.x, ptScreen.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (chosen >= kPaneMenuFirst && chosen - kPaneMenuFirst < m_paneMenuBars.size()) {
        if (CControlBar* bar = BarOf(m_paneMenuBars[chosen - kPaneMenuFirst]))
            ShowControlBar(bar, !(bar->GetStyle() & WS_VISIBLE), FALSE);
    } else if (chosen && chosen == m_uiPaneMenuCustomizeCmd) {
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    }
    return TRUE;
}

void CFrameWndEx::OnClose()
{
    CWinAppEx* app = AppEx();
    if (app && app->m_pMainWnd == this)
        app->SaveState(this);
    CFrameWnd::OnClose();
}

// --- CDockingManager ----------------------------------------------------------------------------

namespace {
AFX_DOCK_TYPE g_dockMode = DT_IMMEDIATE;
AFX_SMARTDOCK_THEME g_dockTheme = AFX_SDT_DEFAULT;
} // namespace

BOOL CDockingManager::Create(CFrameWnd* pParentWnd)
{
    if (!pParentWnd)
        return FALSE;
    m_pFrame = pParentWnd;
    return TRUE;
}

BOOL CDockingManager::EnableDocking(DWORD dwStyle)
{
    m_dwEnabledAlignment = dwStyle & CBRS_ALIGN_ANY;
    return TRUE;
}

void CDockingManager::DockPane(CControlBar* pBar, UINT nDockID, LPCRECT)
{
    if (!pBar || !pBar->m_hWnd || !m_pFrame || !m_pFrame->m_hWnd)
        return;
    bool bottom;
    if (nDockID == AFX_IDW_DOCKBAR_BOTTOM)
        bottom = true;
    else if (nDockID == AFX_IDW_DOCKBAR_TOP)
        bottom = false;
    else // the left and right sites are not provided: such panes go to the top
        bottom = nDockID == 0 && (pBar->GetBarStyle() & CBRS_ALIGN_ANY) == CBRS_ALIGN_BOTTOM;
    pBar->SetBarStyle((pBar->GetBarStyle() & ~CBRS_ALIGN_ANY) | (bottom ? CBRS_ALIGN_BOTTOM : CBRS_ALIGN_TOP));
    m_panes.erase(std::remove(m_panes.begin(), m_panes.end(), pBar->m_hWnd), m_panes.end());
    m_panes.push_back(pBar->m_hWnd);
    // The frame lays its bars out in child order: the last docked goes last, innermost.
    ::SetWindowPos(pBar->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_pFrame->RecalcLayout();
}

void CDockingManager::Prune() const
{
    m_panes.erase(std::remove_if(m_panes.begin(), m_panes.end(), [](HWND h) { return !BarOf(h); }), m_panes.end());
}

int CDockingManager::GetPaneCount() const
{
    Prune();
    return static_cast<int>(m_panes.size());
}

CControlBar* CDockingManager::GetPane(int nIndex) const
{
    Prune();
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return nullptr;
    return BarOf(m_panes[static_cast<std::size_t>(nIndex)]);
}

void CDockingManager::AdjustDockingLayout()
{
    if (m_pFrame)
        m_pFrame->RecalcLayout();
}

void PASCAL CDockingManager::SetDockingMode(AFX_DOCK_TYPE dockMode, AFX_SMARTDOCK_THEME theme)
{
    g_dockMode = dockMode;
    g_dockTheme = theme;
}

AFX_DOCK_TYPE PASCAL CDockingManager::GetDockingMode()
{
    return g_dockMode;
}

AFX_SMARTDOCK_THEME PASCAL CDockingManager::GetSmartDockingTheme()
{
    return g_dockTheme;
}

// --- CMFCToolBarImages --------------------------------------------------------------------------

CMFCToolBarImages::~CMFCToolBarImages()
{
    Clear();
}

void CMFCToolBarImages::Clear()
{
    if (m_hbm)
        ::DeleteObject(m_hbm);
    m_hbm = nullptr;
}

BOOL CMFCToolBarImages::Load(LPCSTR lpszBmpFileName)
{
    if (!lpszBmpFileName)
        return FALSE;
    auto* bitmap = static_cast<HBITMAP>(
        ::LoadImageA(nullptr, lpszBmpFileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap)
        return FALSE;
    Clear();
    m_hbm = bitmap;
    return TRUE;
}

BOOL CMFCToolBarImages::Load(UINT uiResID, HINSTANCE hinstRes, BOOL bAdd)
{
    auto* bitmap = static_cast<HBITMAP>(::LoadImageA(hinstRes ? hinstRes : AfxGetResourceHandle(),
                                                     MAKEINTRESOURCEA(uiResID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        return FALSE;
    if (!bAdd || !m_hbm) {
        Clear();
        m_hbm = bitmap;
        return TRUE;
    }
    // Adding: the new images after the ones there are, in one strip.
    BITMAP a{}, b{};
    ::GetObjectA(m_hbm, sizeof a, &a);
    ::GetObjectA(bitmap, sizeof b, &b);
    HDC screen = ::GetDC(nullptr);
    HBITMAP joined = ::CreateCompatibleBitmap(screen, a.bmWidth + b.bmWidth, std::max(a.bmHeight, b.bmHeight));
    HDC to = ::CreateCompatibleDC(screen), from = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    BOOL ok = FALSE;
    if (joined && to && from) {
        HGDIOBJ oldTo = ::SelectObject(to, joined);
        HGDIOBJ oldFrom = ::SelectObject(from, m_hbm);
        ::BitBlt(to, 0, 0, a.bmWidth, a.bmHeight, from, 0, 0, SRCCOPY);
        ::SelectObject(from, bitmap);
        ::BitBlt(to, a.bmWidth, 0, b.bmWidth, b.bmHeight, from, 0, 0, SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
        ok = TRUE;
    }
    if (to)
        ::DeleteDC(to);
    if (from)
        ::DeleteDC(from);
    ::DeleteObject(bitmap);
    if (!ok) {
        if (joined)
            ::DeleteObject(joined);
        return FALSE;
    }
    Clear();
    m_hbm = joined;
    return TRUE;
}

int CMFCToolBarImages::GetCount() const
{
    BITMAP bm{};
    if (!m_hbm || m_size.cx <= 0 || !::GetObjectA(m_hbm, sizeof bm, &bm))
        return 0;
    return bm.bmWidth / m_size.cx;
}

void CMFCToolBarImages::SetImageSize(SIZE sizeImage)
{
    if (sizeImage.cx > 0 && sizeImage.cy > 0)
        m_size = sizeImage;
}

BOOL CMFCToolBarImages::Draw(CDC* pDC, int x, int y, int iImage)
{
    if (!pDC || !pDC->m_hDC || iImage < 0 || iImage >= GetCount())
        return FALSE;
    HDC memory = ::CreateCompatibleDC(pDC->m_hDC);
    HGDIOBJ old = ::SelectObject(memory, m_hbm);
    const BOOL ok = ::BitBlt(pDC->m_hDC, x, y, m_size.cx, m_size.cy, memory, iImage * m_size.cx, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return ok;
}

// --- CMFCToolBar --------------------------------------------------------------------------------

CMFCToolBarImages* CMFCToolBar::s_pUserImages = nullptr;
BOOL CMFCToolBar::s_bQuickCustomize = FALSE;

BOOL CMFCToolBar::MoveButton(int nFrom, int nTo)
{
    const int last = GetCount() - (m_iCustomizeCmd ? 1 : 0); // the customize button stays last
    if (nFrom < 0 || nFrom >= last || nTo >= last || nTo < -1)
        return FALSE;
    const Button moved = m_buttons[static_cast<std::size_t>(nFrom)];
    m_buttons.erase(m_buttons.begin() + nFrom);
    if (nTo >= 0)
        m_buttons.insert(m_buttons.begin() + nTo, moved);
    if (m_hWnd) {
        RecalcParentLayout();
        Invalidate();
    }
    return TRUE;
}

void CMFCToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (s_bQuickCustomize && ::GetKeyState(VK_MENU) < 0) {
        const int i = HitTest(point);
        if (i >= 0 && !(m_iCustomizeCmd && i == GetCount() - 1)) {
            m_iDragged = i;
            SetCapture();
        }
        return;
    }
    CToolBar::OnLButtonDown(nFlags, point);
}

void CMFCToolBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_iDragged < 0) {
        CToolBar::OnLButtonUp(nFlags, point);
        return;
    }
    const int from = m_iDragged;
    m_iDragged = -1;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        MoveButton(from, -1); // dragged off the bar
        return;
    }
    // Dropped before the first button whose middle is right of the point.
    int to = 0;
    const int last = GetCount() - (m_iCustomizeCmd ? 1 : 0);
    for (; to < last; ++to) {
        CRect rc;
        GetItemRect(to, &rc);
        if (point.x < rc.CenterPoint().x)
            break;
    }
    if (to > from)
        --to; // the place counts without the moved button
    MoveButton(from, std::min(to, last - 1));
}

void CMFCToolBar::OnRButtonUp(UINT, CPoint point)
{
    CWnd* parent = GetParent();
    if (!parent || !parent->IsKindOf(RUNTIME_CLASS(CFrameWndEx)))
        return;
    ClientToScreen(&point);
    static_cast<CFrameWndEx*>(parent)->ShowPaneMenu(point);
}

CMFCToolBar::~CMFCToolBar() = default;

void CMFCToolBar::EnableCustomizeButton(BOOL bEnable, int iCustomizeCmd, LPCSTR strCustomizeText, BOOL)
{
    if (m_iCustomizeCmd && !m_buttons.empty() && m_buttons.back().id == static_cast<UINT>(m_iCustomizeCmd) &&
        m_buttons.back().image < 0)
        m_buttons.pop_back();
    m_iCustomizeCmd = 0;
    m_strCustomizeText.Empty();
    if (bEnable && iCustomizeCmd > 0) {
        m_iCustomizeCmd = iCustomizeCmd;
        m_strCustomizeText = strCustomizeText ? strCustomizeText : "";
        m_buttons.push_back(Button{static_cast<UINT>(iCustomizeCmd), TBBS_BUTTON, -1});
    }
    if (m_hWnd) {
        RecalcParentLayout();
        Invalidate();
    }
}

void CMFCToolBar::OnPaint()
{
    CToolBar::OnPaint();
    if (!m_iCustomizeCmd || m_buttons.empty())
        return;
    // The customize button: a small arrow pointing down.
    CRect rc;
    GetItemRect(GetCount() - 1, &rc);
    HDC hdc = ::GetDC(m_hWnd);
    const COLORREF colour = ::GetSysColor(COLOR_BTNTEXT);
    const int cx = rc.left + rc.Width() / 2, cy = rc.top + rc.Height() / 2 - 1;
    for (int row = 0; row < 3; ++row)
        for (int x = cx - 2 + row; x <= cx + 2 - row; ++x)
            ::SetPixel(hdc, x, cy + row, colour);
    ::ReleaseDC(m_hWnd, hdc);
}

// --- CMFCMenuBar --------------------------------------------------------------------------------

CMFCMenuBar::~CMFCMenuBar()
{
    if (m_ownMenu && m_hMenu)
        ::DestroyMenu(m_hMenu);
}

BOOL CMFCMenuBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || !pParentWnd->m_hWnd || !CToolBar::Create(pParentWnd, dwStyle, nID))
        return FALSE;
    if (HMENU menu = ::GetMenu(pParentWnd->m_hWnd)) {
        ::SetMenu(pParentWnd->m_hWnd, nullptr);
        CreateFromMenu(menu);
        m_ownMenu = true;
    }
    return TRUE;
}

BOOL CMFCMenuBar::CreateFromMenu(HMENU hMenu, BOOL, BOOL)
{
    if (!hMenu || !::IsMenu(hMenu))
        return FALSE;
    if (m_ownMenu && m_hMenu && m_hMenu != hMenu)
        ::DestroyMenu(m_hMenu);
    m_ownMenu = false;
    m_hMenu = hMenu;
    const int count = std::max(0, ::GetMenuItemCount(hMenu));
    m_buttons.clear();
    m_labels.clear();
    for (int i = 0; i < count; ++i) {
        char label[256] = {};
        ::GetMenuStringA(hMenu, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
        m_labels.emplace_back(label);
        const UINT id = ::GetSubMenu(hMenu, i) ? 0u : ::GetMenuItemID(hMenu, i);
        m_buttons.push_back(Button{id, TBBS_BUTTON, -1});
    }
    Measure();
    if (m_hWnd) {
        RecalcParentLayout();
        Invalidate();
    }
    return TRUE;
}

void CMFCMenuBar::Measure()
{
    m_widths.clear();
    HDC hdc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(hdc, ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    ::GetTextMetricsA(hdc, &tm);
    m_cyItem = tm.tmHeight + 6;
    for (const CStringA& label : m_labels) {
        RECT rc{0, 0, 0, 0};
        ::DrawTextA(hdc, label.GetString(), label.GetLength(), &rc, DT_SINGLELINE | DT_CALCRECT);
        m_widths.push_back(rc.right - rc.left + 12);
    }
    ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
}

CStringA CMFCMenuBar::GetItemText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_labels.size()))
        return CStringA();
    CStringA text;
    const CStringA& label = m_labels[static_cast<std::size_t>(nIndex)];
    for (int i = 0; i < label.GetLength(); ++i) {
        if (label[i] == '&' && i + 1 < label.GetLength())
            ++i; // "&&" is one '&'; "&x" underlines x
        text += label[i];
    }
    return text;
}

void CMFCMenuBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!lpRect)
        return;
    *lpRect = RECT{0, 0, 0, 0};
    if (nIndex < 0 || nIndex >= static_cast<int>(m_widths.size()))
        return;
    int x = m_cxLeftBorder + ((m_dwStyle & CBRS_GRIPPER) ? 4 : 0);
    for (int i = 0; i < nIndex; ++i)
        x += m_widths[static_cast<std::size_t>(i)];
    *lpRect = RECT{x, m_cyTopBorder, x + m_widths[static_cast<std::size_t>(nIndex)], m_cyTopBorder + m_cyItem};
}

CSize CMFCMenuBar::CalcFixedLayout(BOOL bStretch, BOOL)
{
    if (m_widths.size() != m_labels.size() || m_cyItem == 0)
        Measure();
    int width = m_cxLeftBorder + m_cxRightBorder + ((m_dwStyle & CBRS_GRIPPER) ? 4 : 0);
    for (int w : m_widths)
        width += w;
    return CSize(bStretch ? 32767 : width, m_cyItem + m_cyTopBorder + m_cyBottomBorder);
}

// The popups' items get their state when opened (the frame's WM_INITMENUPOPUP), and the bar's
// own items are always enabled.
void CMFCMenuBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

void CMFCMenuBar::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    HGDIOBJ old = ::SelectObject(hdc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(hdc, TRANSPARENT);
    ::SetTextColor(hdc, ::GetSysColor(COLOR_MENUTEXT));
    for (int i = 0; i < static_cast<int>(m_labels.size()); ++i) {
        RECT rc;
        GetItemRect(i, &rc);
        const CStringA& label = m_labels[static_cast<std::size_t>(i)];
        ::DrawTextA(hdc, label.GetString(), label.GetLength(), &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    ::SelectObject(hdc, old);
    ::EndPaint(m_hWnd, &ps);
}

void CMFCMenuBar::OnLButtonDown(UINT, CPoint point)
{
    const int i = HitTest(point);
    if (i < 0 || !m_hMenu)
        return;
    HWND frame = ::GetParent(m_hWnd);
    HMENU popup = ::GetSubMenu(m_hMenu, i);
    if (!popup) {
        // A top-level command: sent as a menu item's.
        if (frame && m_buttons[static_cast<std::size_t>(i)].id)
            ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(m_buttons[static_cast<std::size_t>(i)].id, 0), 0);
        return;
    }
    RECT rc;
    GetItemRect(i, &rc);
    POINT below{rc.left, rc.bottom};
    ::ClientToScreen(m_hWnd, &below);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, below.x, below.y, 0, frame, nullptr);
}

// --- CContextMenuManager ------------------------------------------------------------------------

CContextMenuManager::~CContextMenuManager()
{
    for (Entry& e : m_menus)
        ::DestroyMenu(e.menu);
}

BOOL CContextMenuManager::AddMenu(LPCSTR lpszName, UINT uiMenuResId)
{
    if (!lpszName)
        return FALSE;
    for (const Entry& e : m_menus)
        if (e.id == uiMenuResId || e.name.CompareNoCase(lpszName) == 0)
            return FALSE;
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(uiMenuResId));
    if (!menu)
        return FALSE;
    m_menus.push_back(Entry{CStringA(lpszName), uiMenuResId, menu});
    return TRUE;
}

BOOL CContextMenuManager::AddMenu(UINT uiMenuNameResId, UINT uiMenuResId)
{
    char name[256];
    if (::LoadStringA(AfxGetResourceHandle(), uiMenuNameResId, name, sizeof name) <= 0)
        return FALSE;
    return AddMenu(name, uiMenuResId);
}

HMENU CContextMenuManager::GetMenuById(UINT nMenuResId) const
{
    for (const Entry& e : m_menus)
        if (e.id == nMenuResId)
            return e.menu;
    return nullptr;
}

HMENU CContextMenuManager::GetMenuByName(LPCSTR lpszName, UINT* puiOrigResID) const
{
    if (!lpszName)
        return nullptr;
    for (const Entry& e : m_menus)
        if (e.name.CompareNoCase(lpszName) == 0) {
            if (puiOrigResID)
                *puiOrigResID = e.id;
            return e.menu;
        }
    return nullptr;
}

BOOL CContextMenuManager::ShowPopupMenu(UINT uiMenuResId, int x, int y, CWnd* pWndOwner, BOOL bOwnMessage,
                                        BOOL bRightAlign)
{
    HMENU menu = GetMenuById(uiMenuResId);
    HMENU popup = menu ? ::GetSubMenu(menu, 0) : nullptr;
    if (!popup)
        return FALSE;
    // Commands go to the main window unless the owner asked for them.
    CWnd* target = pWndOwner;
    if (!bOwnMessage && AfxGetMainWnd())
        target = AfxGetMainWnd();
    if (!target || !target->m_hWnd)
        return FALSE;
    ::TrackPopupMenu(popup, (bRightAlign ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_RIGHTBUTTON, x, y, 0, target->m_hWnd,
                     nullptr);
    return TRUE;
}

UINT CContextMenuManager::TrackPopupMenu(HMENU hmenuPopup, int x, int y, CWnd* pWndOwner, BOOL bRightAlign)
{
    if (!hmenuPopup || !pWndOwner || !pWndOwner->m_hWnd)
        return 0;
    return static_cast<UINT>(::TrackPopupMenu(hmenuPopup,
                                              (bRightAlign ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_RIGHTBUTTON |
                                                  TPM_RETURNCMD | TPM_NONOTIFY,
                                              x, y, 0, pWndOwner->m_hWnd, nullptr));
}

// --- CKeyboardManager, the tool tips ------------------------------------------------------------

BOOL PASCAL CKeyboardManager::IsKeyPrintable(const UINT nChar)
{
    return (nChar >= '0' && nChar <= '9') || (nChar >= 'A' && nChar <= 'Z') || nChar == VK_SPACE ||
           (nChar >= 0x60 && nChar <= 0x6F) || // the numeric keypad's digits and operators
           (nChar >= 0xBA && nChar <= 0xC0) || (nChar >= 0xDB && nChar <= 0xDF) || nChar == 0xE2; // symbols
}

CMFCToolTipCtrl::CMFCToolTipCtrl(CMFCToolTipInfo* pParams)
{
    SetParams(pParams);
}

CMFCToolTipCtrl::~CMFCToolTipCtrl() = default;

void CMFCToolTipCtrl::SetParams(CMFCToolTipInfo* pParams)
{
    m_Params = pParams ? *pParams : CMFCToolTipInfo();
}

CTooltipManager::~CTooltipManager() = default;

void CTooltipManager::SetTooltipParams(UINT nTypes, CRuntimeClass* pRTC, CMFCToolTipInfo* pParams)
{
    if (pRTC && !pRTC->IsDerivedFrom(RUNTIME_CLASS(CMFCToolTipCtrl)))
        pRTC = nullptr; // not a tool tip class: the default one
    for (int i = 0; i < AFX_TOOLTIP_TYPES; ++i) {
        if (!(nTypes & (1u << i)))
            continue;
        m_settings[i].cls = pRTC;
        m_settings[i].hasParams = pParams != nullptr;
        m_settings[i].params = pParams ? *pParams : CMFCToolTipInfo();
    }
}

namespace {
int TypeIndex(UINT nType)
{
    for (int i = 0; i < AFX_TOOLTIP_TYPES; ++i)
        if (nType == (1u << i))
            return i;
    return -1;
}
} // namespace

CRuntimeClass* CTooltipManager::GetTooltipClass(UINT nType) const
{
    const int i = TypeIndex(nType);
    return i < 0 ? nullptr : m_settings[i].cls;
}

const CMFCToolTipInfo* CTooltipManager::GetTooltipParams(UINT nType) const
{
    const int i = TypeIndex(nType);
    return i < 0 || !m_settings[i].hasParams ? nullptr : &m_settings[i].params;
}

// --- CMFCToolBarsCustomizeDialog ----------------------------------------------------------------

namespace {
constexpr int kNewId = 3;
constexpr int kFirstCheckId = 1000;
constexpr int kRow = 22;
} // namespace

CMFCToolBarsCustomizeDialog::CMFCToolBarsCustomizeDialog(CFrameWnd* pWndParentFrame, BOOL, UINT, void*)
    : m_pFrame(pWndParentFrame)
{
}

CMFCToolBarsCustomizeDialog::~CMFCToolBarsCustomizeDialog() = default;

BOOL CMFCToolBarsCustomizeDialog::Create()
{
    if (m_hWnd || !m_pFrame || !m_pFrame->m_hWnd)
        return FALSE;
    LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT frame;
    ::GetWindowRect(m_pFrame->m_hWnd, &frame);
    if (!CreateEx(WS_EX_DLGMODALFRAME, cls, "Customize", WS_POPUP | WS_CAPTION | WS_SYSMENU, frame.left + 40,
                  frame.top + 40, 260, 120, m_pFrame->m_hWnd, nullptr))
        return FALSE;
    Fill();
    ShowWindow(SW_SHOW);
    return TRUE;
}

// One check box a tool bar of the frame (not the menu bar), then New and Close under them.
void CMFCToolBarsCustomizeDialog::Fill()
{
    for (HWND check : m_checks)
        ::DestroyWindow(check);
    m_checks.clear();
    m_bars.clear();
    for (int id : {kNewId, IDCANCEL})
        if (HWND old = ::GetDlgItem(m_hWnd, id))
            ::DestroyWindow(old);
    for (HWND child = ::GetWindow(m_pFrame->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* wnd = CWnd::FromHandlePermanent(child);
        if (wnd && wnd->IsKindOf(RUNTIME_CLASS(CToolBar)) && !wnd->IsKindOf(RUNTIME_CLASS(CMFCMenuBar)))
            m_bars.push_back(child);
    }
    HGDIOBJ font = ::GetStockObject(DEFAULT_GUI_FONT);
    int y = 10;
    for (std::size_t i = 0; i < m_bars.size(); ++i, y += kRow) {
        char name[128] = {};
        if (::GetWindowTextA(m_bars[i], name, sizeof name) <= 0)
            std::snprintf(name, sizeof name, "Toolbar %u", static_cast<unsigned>(::GetDlgCtrlID(m_bars[i])));
        HWND check = ::CreateWindowExA(0, "BUTTON", name, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, y,
                                       230, 20, m_hWnd, reinterpret_cast<HMENU>(INT_PTR(kFirstCheckId + int(i))),
                                       nullptr, nullptr);
        ::SendMessageA(check, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        const bool shown = (::GetWindowLongPtrA(m_bars[i], GWL_STYLE) & WS_VISIBLE) != 0;
        ::SendMessageA(check, BM_SETCHECK, shown ? BST_CHECKED : BST_UNCHECKED, 0);
        m_checks.push_back(check);
    }
    y += 6;
    int x = 10;
    if (m_bUserToolbars) {
        HWND add = ::CreateWindowExA(0, "BUTTON", "New", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, y, 75,
                                     24, m_hWnd, reinterpret_cast<HMENU>(INT_PTR(kNewId)), nullptr, nullptr);
        ::SendMessageA(add, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        x += 85;
    }
    HWND close = ::CreateWindowExA(0, "BUTTON", "Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, x, y,
                                   75, 24, m_hWnd, reinterpret_cast<HMENU>(INT_PTR(IDCANCEL)), nullptr, nullptr);
    ::SendMessageA(close, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    RECT client{0, 0, 260, y + 34};
    ::AdjustWindowRectEx(&client, static_cast<DWORD>(GetStyle()), FALSE, static_cast<DWORD>(GetExStyle()));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CMFCToolBarsCustomizeDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    if (id == IDCANCEL) {
        DestroyWindow();
        return TRUE;
    }
    if (id == kNewId && m_bUserToolbars) {
        if (::SendMessageA(m_pFrame->m_hWnd, AFX_WM_CREATETOOLBAR, 0, 0))
            Fill();
        return TRUE;
    }
    const int index = id - kFirstCheckId;
    if (index >= 0 && index < static_cast<int>(m_bars.size()) && HIWORD(wParam) == BN_CLICKED) {
        CControlBar* bar = BarOf(m_bars[static_cast<std::size_t>(index)]);
        if (bar) {
            const bool show = ::SendMessageA(m_checks[static_cast<std::size_t>(index)], BM_GETCHECK, 0, 0) == BST_CHECKED;
            m_pFrame->ShowControlBar(bar, show, FALSE);
        }
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CMFCToolBarsCustomizeDialog::PostNcDestroy()
{
    delete this;
}
