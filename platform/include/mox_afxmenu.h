// MFC's menus: CMenu over an HMENU, and CCmdUI with ON_UPDATE_COMMAND_UI, through which a frame
// lets its command handlers enable, check and rename menu items before a popup shows. Included
// by afxwin.h; written over Win32 calls alone, so it is the same on every system.
#pragma once

// Notification code of the question "what state should this command's item have?"
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// Handler kinds of the entries below (see AfxSig in afxwin.h; mox_afxdlg.h has 0x100 on).
constexpr UINT_PTR AfxSigCmdUI = 0x111;       // void (CCmdUI*)
constexpr UINT_PTR AfxSig_vMwb = 0x110;       // void (CMenu*, UINT nIndex, BOOL bSysMenu)
constexpr UINT_PTR AfxSigCmdUI_RANGE = 0x112; // void (CCmdUI*), for a range of ids

#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                            \
    {WM_COMMAND,  CN_UPDATE_COMMAND_UI,                                                                                \
     (UINT)(id),  (UINT)(id),                                                                                          \
     AfxSigCmdUI, AfxStoreHandler(static_cast<void (CCmdTarget::*)(CCmdUI*)>(memberFxn))},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                              \
    {WM_COMMAND,        CN_UPDATE_COMMAND_UI,                                                                          \
     (UINT)(id),        (UINT)(idLast),                                                                                \
     AfxSigCmdUI_RANGE, AfxStoreHandler(static_cast<void (CCmdTarget::*)(CCmdUI*)>(memberFxn))},
#define ON_WM_INITMENUPOPUP() AFX_WND_ENTRY(WM_INITMENUPOPUP, AfxSig_vMwb, void(CMenu*, UINT, BOOL), OnInitMenuPopup)

/// A menu. The object destroys the menu it holds when it is destroyed (Detach first to keep it);
/// FromHandle gives a temporary wrapper for a menu the program does not own, which lives while
/// its menu does and never destroys it.
class MOXPLAT_API CMenu : public CObject {
public:
    /// The menu; null when none.
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() override;

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL operator==(const CMenu& other) const { return m_hMenu == other.m_hMenu; }
    BOOL operator!=(const CMenu& other) const { return m_hMenu != other.m_hMenu; }

    /// Takes ownership of hMenu; FALSE when it is null or one is already held.
    BOOL Attach(HMENU hMenu);
    /// Gives up the menu without destroying it.
    HMENU Detach();
    /// The wrapper for a menu: the permanent one attached to it, else a temporary one.
    static CMenu* PASCAL FromHandle(HMENU hMenu);

    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    // LoadMenu is the SDK's A/W macro: MFC is built with the A spelling, and a Unicode build's W
    // calls come back to it.
    BOOL LoadMenuA(UINT nIDResource) { return LoadMenuA(MAKEINTRESOURCEA(nIDResource)); }
    BOOL LoadMenuA(LPCSTR lpszResourceName);
    BOOL LoadMenuA(LPCWSTR lpszResourceName);
#ifdef UNICODE
    BOOL LoadMenuW(UINT nIDResource) { return LoadMenuA(nIDResource); }
    BOOL LoadMenuW(LPCSTR lpszResourceName) { return LoadMenuA(lpszResourceName); }
    BOOL LoadMenuW(LPCWSTR lpszResourceName) { return LoadMenuA(lpszResourceName); }
#endif
    BOOL LoadMenuIndirect(const void* lpMenuTemplate) { return Attach(::LoadMenuIndirectW(lpMenuTemplate)); }
    /// Destroys the menu held; FALSE when none.
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
    {
        return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    {
        return ::InsertMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
    {
        return ::InsertMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    {
        return ::ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszNewItem)
    {
        return ::ModifyMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
    BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
    {
        return static_cast<UINT>(::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck));
    }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
    {
        return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
    }
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
    {
        return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
    }
    UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    int GetMenuString(UINT nIDItem, LPSTR lpString, int nMaxCount, UINT nFlags) const
    {
        return ::GetMenuStringA(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
    }
    int GetMenuString(UINT nIDItem, LPWSTR lpString, int nMaxCount, UINT nFlags) const
    {
        return ::GetMenuStringW(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
    }
    /// The item's text into rString; its length.
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    /// The submenu at a position as a temporary wrapper; null when that item opens none.
    CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE)
    {
        return ::GetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo);
    }
    BOOL SetMenuItemInfo(UINT uItem, LPCMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE)
    {
        return ::SetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo);
    }
    BOOL InsertMenuItem(UINT uItem, LPCMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE)
    {
        return ::InsertMenuItem(m_hMenu, uItem, fByPos, lpMenuItemInfo);
    }
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
    UINT GetDefaultItem(UINT gmdiFlags, BOOL fByPos = FALSE)
    {
        return ::GetMenuDefaultItem(m_hMenu, fByPos, gmdiFlags);
    }
    /// Shows the menu as a popup at a screen point and runs it (TrackPopupMenu).
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
    BOOL TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm);
};

/// What an update handler is given: the item (or control) standing for one command, to enable,
/// check or rename. A frame fills one per item before a popup of its menu shows.
class MOXPLAT_API CCmdUI {
public:
    /// The command.
    UINT m_nID = 0;
    /// Its position in m_pMenu, and the number of items there.
    UINT m_nIndex = 0;
    UINT m_nIndexMax = 0;
    /// The menu holding the item; null for a control.
    CMenu* m_pMenu = nullptr;
    /// Set when the item opens this submenu (the update is for the submenu's first command).
    CMenu* m_pSubMenu = nullptr;
    /// The menu holding m_pMenu, when that is a submenu updated through its first command.
    CMenu* m_pParentMenu = nullptr;
    /// The control standing for the command, when it is not a menu item.
    CWnd* m_pOther = nullptr;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE);
    /// 0 unchecked, 1 checked (2, indeterminate, shows as checked in a menu).
    virtual void SetCheck(int nCheck = 1);
    /// A radio bullet instead of a check mark.
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);
    void SetText(LPCWSTR lpszText);
    /// Lets the command go on to the next target after this handler.
    void ContinueRouting() { m_bContinueRouting = TRUE; }
    /// Asks pTarget's update handler for the command; with none and bDisableIfNoHndler, the item
    /// is enabled exactly when pTarget has a command handler for it. TRUE when a handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
