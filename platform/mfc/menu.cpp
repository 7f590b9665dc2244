// CMenu, CCmdUI and the frame's update pass over a popup before it shows. Only afxwin.h and USER
// calls are used here, so a Windows build compiles this file as it is.
#include <afxwin.h>

#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The CMenu objects holding a menu (Attach), which FromHandle hands out first.
std::unordered_map<HMENU, CMenu*>& Permanent()
{
    static std::unordered_map<HMENU, CMenu*> map;
    return map;
}

// Wrappers FromHandle made for menus the program holds no CMenu for; each lives while its menu
// does and is dropped once the menu is gone.
struct Temporaries {
    std::vector<std::pair<HMENU, CMenu*>> entries;
    ~Temporaries()
    {
        for (auto& e : entries) {
            e.second->m_hMenu = nullptr;
            delete e.second;
        }
    }
};

Temporaries& TheTemporaries()
{
    static Temporaries t;
    return t;
}

constexpr std::size_t kTemporariesBeforeSweep = 64;

} // namespace

CMenu::~CMenu()
{
    DestroyMenu();
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (!hMenu || m_hMenu)
        return FALSE;
    m_hMenu = hMenu;
    Permanent()[hMenu] = this;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (h) {
        auto it = Permanent().find(h);
        if (it != Permanent().end() && it->second == this)
            Permanent().erase(it);
    }
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    auto it = Permanent().find(hMenu);
    if (it != Permanent().end())
        return it->second;
    Temporaries& t = TheTemporaries();
    for (auto& e : t.entries)
        if (e.first == hMenu)
            return e.second;
    if (t.entries.size() >= kTemporariesBeforeSweep) {
        std::vector<std::pair<HMENU, CMenu*>> live;
        for (auto& e : t.entries) {
            if (::IsMenu(e.first)) {
                live.push_back(e);
            } else {
                e.second->m_hMenu = nullptr;
                delete e.second;
            }
        }
        t.entries.swap(live);
    }
    // Not attached: a temporary never destroys the menu it wraps.
    CMenu* wrapper = new CMenu;
    wrapper->m_hMenu = hMenu;
    t.entries.emplace_back(hMenu, wrapper);
    return wrapper;
}

BOOL CMenu::LoadMenu(LPCSTR lpszResourceName)
{
    return Attach(::LoadMenuA(AfxGetInstanceHandle(), lpszResourceName));
}

BOOL CMenu::LoadMenu(LPCWSTR lpszResourceName)
{
    return Attach(::LoadMenuW(AfxGetInstanceHandle(), lpszResourceName));
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    TCHAR buffer[1024] = {};
    const int n = ::GetMenuString(m_hMenu, nIDItem, buffer, 1024, nFlags);
    rString = buffer;
    return n;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm)
{
    return ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, pWnd ? pWnd->m_hWnd : nullptr, lptpm);
}

// --- CCmdUI.

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        // By position: a submenu updated through its first command is its own item here too.
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
    } else if (m_pOther) {
        ::EnableWindow(m_pOther->m_hWnd, bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (!m_pSubMenu)
            m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        ::SendMessage(m_pOther->m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (!m_pMenu) {
        SetCheck(bOn ? 1 : 0);
        return;
    }
    if (m_pSubMenu)
        return;
    MENUITEMINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!m_pMenu->GetMenuItemInfo(m_nIndex, &info, TRUE))
        return;
    info.fType = bOn ? (info.fType | MFT_RADIOCHECK) : (info.fType & ~static_cast<UINT>(MFT_RADIOCHECK));
    info.fState = bOn ? (info.fState | MFS_CHECKED) : (info.fState & ~static_cast<UINT>(MFS_CHECKED));
    m_pMenu->SetMenuItemInfo(m_nIndex, &info, TRUE);
}

void CCmdUI::SetText(LPCSTR lpszText)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        // The item keeps its state; only the text changes.
        const UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) &
                           (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MFT_RADIOCHECK);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther) {
        ::SetWindowTextA(m_pOther->m_hWnd, lpszText);
    }
}

void CCmdUI::SetText(LPCWSTR lpszText)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        const UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) &
                           (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MFT_RADIOCHECK);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    } else if (m_pOther) {
        ::SetWindowTextW(m_pOther->m_hWnd, lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (!pTarget || m_nID == 0)
        return TRUE; // separators and nothing to ask
    m_bEnableChanged = FALSE;
    if (pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr))
        return TRUE;
    // No update handler: the item is enabled exactly when some target handles the command.
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return FALSE;
}

// --- The window's menus.

CMenu* CWnd::GetMenu() const
{
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

BOOL CWnd::SetMenu(CMenu* pMenu)
{
    return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr);
}

void CWnd::DrawMenuBar()
{
    ::DrawMenuBar(m_hWnd);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL)
{
    Default();
}

// Each item asks the frame's command targets for its state, as MFC's frame does: a command's
// item by its id, a submenu's item through the submenu's first command; items with no handler
// at all are disabled when m_bAutoMenuEnable (system commands, 0xF000 and up, are left alone).
void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || !pPopupMenu)
        return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = pPopupMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue; // a separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            state.m_pSubMenu = pPopupMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (!state.m_pSubMenu)
                continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.DoUpdate(this, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // A handler may have removed or added items: carry on from the same item.
        const UINT count = pPopupMenu->GetMenuItemCount();
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - count;
            while (state.m_nIndex < count && pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}
