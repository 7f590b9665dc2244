// The newer AppWizard's panes and managers: CMFCToolBar, CMFCMenuBar, the docking, context
// menu, keyboard and tool tip managers, and the tool bars' customize dialog. Included by
// afxcontrolbars.h; written over Win32 calls and the classic bars (mox_afxbars.h), so the
// panes draw in this platform's one classic look whatever visual manager is chosen.
#pragma once

#include "afxext.h"

// Sent to the frame to make a user tool bar (see CFrameWndEx::OnToolbarCreateNew): an id from
// RegisterWindowMessage.
extern MOXPLAT_API const UINT AFX_WM_CREATETOOLBAR;

#define AFX_IDW_MENUBAR 0xE82F
#define AFX_DEFAULT_TOOLBAR_STYLE (WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_HIDE_INPLACE)

/// How panes dock while dragged. Panes are not dragged here: the mode is kept.
enum AFX_DOCK_TYPE { DT_UNDEFINED = 0, DT_IMMEDIATE = 1, DT_STANDARD = 2, DT_SMART = 0x80 };
enum AFX_SMARTDOCK_THEME { AFX_SDT_DEFAULT = 0, AFX_SDT_VS2005 = 1, AFX_SDT_VS2008 = 2 };

/// A frame's docked panes, in the order they were docked. Panes are kept by window handle, so a
/// pane destroyed before its frame is simply dropped.
class MOXPLAT_API CDockingManager : public CObject {
public:
    explicit CDockingManager(CFrameWnd* pFrame = nullptr) : m_pFrame(pFrame) {}
    BOOL Create(CFrameWnd* pParentWnd);
    /// The sides panes may dock at (CBRS_ALIGN_...).
    BOOL EnableDocking(DWORD dwStyle);
    DWORD GetEnabledAlignment() const { return m_dwEnabledAlignment; }
    /// Docks the pane at the top or bottom (see CFrameWndEx::DockPane), after those docked before.
    void DockPane(CControlBar* pBar, UINT nDockID = 0, LPCRECT lpRect = nullptr);
    /// The docked panes still alive, in docking order.
    int GetPaneCount() const;
    CControlBar* GetPane(int nIndex) const;
    /// Lays the frame out again.
    void AdjustDockingLayout();

    static void PASCAL SetDockingMode(AFX_DOCK_TYPE dockMode, AFX_SMARTDOCK_THEME theme = AFX_SDT_DEFAULT);
    static AFX_DOCK_TYPE PASCAL GetDockingMode();
    static AFX_SMARTDOCK_THEME PASCAL GetSmartDockingTheme();

private:
    void Prune() const;
    CFrameWnd* m_pFrame;
    DWORD m_dwEnabledAlignment = 0;
    mutable std::vector<HWND> m_panes;
};

/// An image strip for tool bar buttons: a bitmap of images side by side, each GetImageSize().
class MOXPLAT_API CMFCToolBarImages : public CObject {
public:
    CMFCToolBarImages() = default;
    ~CMFCToolBarImages() override;
    CMFCToolBarImages(const CMFCToolBarImages&) = delete;
    CMFCToolBarImages& operator=(const CMFCToolBarImages&) = delete;

    /// Loads a .bmp file (in place of what was loaded); FALSE when it cannot be read.
    BOOL Load(LPCSTR lpszBmpFileName);
#ifdef UNICODE
    BOOL Load(MoxWideText lpszBmpFileName) { return Load(static_cast<LPCSTR>(lpszBmpFileName)); }
#endif
    /// Loads the bitmap resource; FALSE when there is none.
    BOOL Load(UINT uiResID, HINSTANCE hinstRes = nullptr, BOOL bAdd = FALSE);
    BOOL IsValid() const { return m_hbm != nullptr; }
    void Clear();
    /// The number of whole images in the strip.
    int GetCount() const;
    /// The size of one image (16 x 15 unless set).
    void SetImageSize(SIZE sizeImage);
    SIZE GetImageSize() const { return m_size; }
    /// The strip, owned by this object.
    HBITMAP GetImageWell() const { return m_hbm; }
    /// Draws image iImage at (x, y); FALSE for a bad index.
    BOOL Draw(CDC* pDC, int x, int y, int iImage);

private:
    HBITMAP m_hbm = nullptr;
    CSize m_size{16, 15};
};

/// A tool bar pane: CToolBar's buttons (LoadToolBar), docked by the frame's DockPane, with an
/// optional customize button at its end.
class MOXPLAT_API CMFCToolBar : public CToolBar {
    DECLARE_DYNCREATE(CMFCToolBar)

public:
    CMFCToolBar() = default;
    ~CMFCToolBar() override;

    /// The pane's CBRS_ styles (the bar style).
    DWORD GetPaneStyle() const { return GetBarStyle(); }
    void SetPaneStyle(DWORD dwNewStyle) { SetBarStyle(dwNewStyle); }
    /// A last button that sends iCustomizeCmd (drawn as a small arrow); bEnable FALSE removes
    /// it. strCustomizeText names the command.
    void EnableCustomizeButton(BOOL bEnable, int iCustomizeCmd, LPCSTR strCustomizeText, BOOL bQuickCustomize = TRUE);
#ifdef UNICODE
    void EnableCustomizeButton(BOOL bEnable, int iCustomizeCmd, MoxWideText strCustomizeText,
                               BOOL bQuickCustomize = TRUE)
    {
        EnableCustomizeButton(bEnable, iCustomizeCmd, static_cast<LPCSTR>(strCustomizeText), bQuickCustomize);
    }
#endif
    BOOL IsExistCustomizeButton() const { return m_iCustomizeCmd != 0; }
    const CStringA& GetCustomizeText() const { return m_strCustomizeText; }
    /// Alt + dragging a button moves it along its bar, or off the bar to remove it (the
    /// customize button stays last). Off until enabled; one setting for every tool bar.
    static void PASCAL EnableQuickCustomization(BOOL bEnable = TRUE) { s_bQuickCustomize = bEnable; }
    static BOOL PASCAL IsQuickCustomization() { return s_bQuickCustomize; }
    /// Moves button nFrom to place nTo (-1: removes it); what an Alt + drag does. FALSE for a
    /// bad index or the customize button.
    BOOL MoveButton(int nFrom, int nTo);
    /// The images user tool bars share (null until set); not owned.
    static CMFCToolBarImages* PASCAL GetUserImages() { return s_pUserImages; }
    static void PASCAL SetUserImages(CMFCToolBarImages* pUserImages) { s_pUserImages = pUserImages; }

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    /// A right click asks the frame for its pane menu (CFrameWndEx::EnablePaneMenu).
    void OnRButtonUp(UINT nFlags, CPoint point) override;

private:
    int m_iCustomizeCmd = 0;
    CStringA m_strCustomizeText;
    int m_iDragged = -1; // the button moved with Alt held
    static CMFCToolBarImages* s_pUserImages;
    static BOOL s_bQuickCustomize;
};

/// The newer frames' status bar: CStatusBar's panes.
class MOXPLAT_API CMFCStatusBar : public CStatusBar {
    DECLARE_DYNCREATE(CMFCStatusBar)
};

/// The newer menus' pop-ups. The menu bar here never holds the keyboard focus, so whether it
/// would take it (SetForceMenuFocus) is only kept.
class MOXPLAT_API CMFCPopupMenu : public CObject {
public:
    static void PASCAL SetForceMenuFocus(BOOL bValue) { s_bForceMenuFocus = bValue; }
    static BOOL PASCAL GetForceMenuFocus() { return s_bForceMenuFocus; }

private:
    static BOOL s_bForceMenuFocus;
};

/// The frame's menu as a pane: one text button a top-level item; clicking one opens its popup
/// (TrackPopupMenu) under it, whose choice reaches the frame as WM_COMMAND. Create takes the
/// frame's menu (the bar then owns it) and removes it from the window, as the newer frames do.
class MOXPLAT_API CMFCMenuBar : public CMFCToolBar {
    DECLARE_DYNCREATE(CMFCMenuBar)

public:
    CMFCMenuBar() = default;
    ~CMFCMenuBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = AFX_DEFAULT_TOOLBAR_STYLE, UINT nID = AFX_IDW_MENUBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_TRANSPARENT,
                  DWORD dwStyle = AFX_DEFAULT_TOOLBAR_STYLE, CRect rcBorders = CRect(1, 1, 1, 1),
                  UINT nID = AFX_IDW_MENUBAR)
    {
        (void)dwCtrlStyle;
        (void)rcBorders;
        return Create(pParentWnd, dwStyle, nID);
    }
    /// Shows hMenu's top-level items; the program keeps owning hMenu. FALSE for no menu.
    BOOL CreateFromMenu(HMENU hMenu, BOOL bDefaultMenu = FALSE, BOOL bForceUpdate = FALSE);
    /// The menu shown (owned by the bar), or null.
    HMENU GetHMenu() const { return m_hMenu; }
    /// The item's label without its '&' marks.
    CStringA GetItemText(int nIndex) const;

    void GetItemRect(int nIndex, LPRECT lpRect) const override;
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;

private:
    void Measure();
    HMENU m_hMenu = nullptr;
    bool m_ownMenu = false; // taken from the frame by Create
    std::vector<CStringA> m_labels;
    std::vector<int> m_widths;
    int m_cyItem = 0;
};

/// Menus loaded by id and shown as shortcut menus.
class MOXPLAT_API CContextMenuManager : public CObject {
public:
    CContextMenuManager() = default;
    ~CContextMenuManager() override;
    /// Loads MENU resource uiMenuResId under the name; FALSE when it is missing or the name or
    /// id is taken.
    BOOL AddMenu(LPCSTR lpszName, UINT uiMenuResId);
    BOOL AddMenu(UINT uiMenuNameResId, UINT uiMenuResId);
#ifdef UNICODE
    BOOL AddMenu(MoxWideText lpszName, UINT uiMenuResId)
    {
        return AddMenu(static_cast<LPCSTR>(lpszName), uiMenuResId);
    }
#endif
    /// The loaded menu (owned by the manager), or null.
    HMENU GetMenuById(UINT nMenuResId) const;
    HMENU GetMenuByName(LPCSTR lpszName, UINT* puiOrigResID = nullptr) const;
    /// Tracks the menu's first popup at (x, y) (screen); the choice goes to pWndOwner as
    /// WM_COMMAND. FALSE when the menu was not added.
    BOOL ShowPopupMenu(UINT uiMenuResId, int x, int y, CWnd* pWndOwner, BOOL bOwnMessage = FALSE,
                       BOOL bRightAlign = FALSE);
    /// Tracks hmenuPopup and returns the chosen command (0: none) without sending it.
    UINT TrackPopupMenu(HMENU hmenuPopup, int x, int y, CWnd* pWndOwner, BOOL bRightAlign = FALSE);

private:
    struct Entry {
        CStringA name;
        UINT id;
        HMENU menu;
    };
    std::vector<Entry> m_menus;
};

/// The keyboard's accelerator customization. Only the question of printable keys is asked of it.
class MOXPLAT_API CKeyboardManager : public CObject {
public:
    /// Whether the key makes a character when typed: letters, digits, space and the symbol keys.
    static BOOL PASCAL IsKeyPrintable(const UINT nChar);
};

#define AFX_TOOLTIP_TYPE_DEFAULT 0x0001
#define AFX_TOOLTIP_TYPE_TOOLBAR 0x0002
#define AFX_TOOLTIP_TYPE_TAB 0x0004
#define AFX_TOOLTIP_TYPE_MINIFRAME 0x0008
#define AFX_TOOLTIP_TYPE_DOCKBAR 0x0010
#define AFX_TOOLTIP_TYPE_EDIT 0x0020
#define AFX_TOOLTIP_TYPE_BUTTON 0x0040
#define AFX_TOOLTIP_TYPE_TOOLBOX 0x0080
#define AFX_TOOLTIP_TYPE_PLANNER 0x0100
#define AFX_TOOLTIP_TYPE_RIBBON 0x0200
#define AFX_TOOLTIP_TYPE_CAPTIONBAR 0x0400
#define AFX_TOOLTIP_TYPES 11
#define AFX_TOOLTIP_TYPE_ALL 0xFFFF

/// How the newer tool tips look.
class MOXPLAT_API CMFCToolTipInfo {
public:
    BOOL m_bBoldLabel = TRUE;
    BOOL m_bDrawDescription = TRUE;
    BOOL m_bDrawIcon = TRUE;
    BOOL m_bRoundedCorners = FALSE;
    BOOL m_bDrawSeparator = FALSE;
    BOOL m_bBalloonTooltip = FALSE;
    BOOL m_bVislManagerTheme = FALSE;
    int m_nMaxDescrWidth = 200;
    int m_nGradientAngle = -1;
    COLORREF m_clrFill = (COLORREF)-1;
    COLORREF m_clrFillGradient = (COLORREF)-1;
    COLORREF m_clrText = (COLORREF)-1;
    COLORREF m_clrBorder = (COLORREF)-1;
};

/// The newer tool tip window class a program names to the tool tip manager.
class MOXPLAT_API CMFCToolTipCtrl : public CWnd {
    DECLARE_DYNCREATE(CMFCToolTipCtrl)

public:
    explicit CMFCToolTipCtrl(CMFCToolTipInfo* pParams = nullptr);
    ~CMFCToolTipCtrl() override;
    void SetParams(CMFCToolTipInfo* pParams);
    const CMFCToolTipInfo& GetParams() const { return m_Params; }

private:
    CMFCToolTipInfo m_Params;
};

/// Which tool tip class and look each kind of tool tip uses. This platform's bars show no tool
/// tips, so the settings are kept for the program to read back.
class MOXPLAT_API CTooltipManager : public CObject {
public:
    CTooltipManager() = default;
    ~CTooltipManager() override;
    /// For every AFX_TOOLTIP_TYPE_ bit of nTypes: the class (a CMFCToolTipCtrl kind; null: the
    /// default) and a copy of the parameters (null: the defaults).
    void SetTooltipParams(UINT nTypes, CRuntimeClass* pRTC = nullptr, CMFCToolTipInfo* pParams = nullptr);
    /// The class set for the one type (null: the default).
    CRuntimeClass* GetTooltipClass(UINT nType) const;
    /// The parameters set for the one type, or null.
    const CMFCToolTipInfo* GetTooltipParams(UINT nType) const;

private:
    struct Setting {
        CRuntimeClass* cls = nullptr;
        bool hasParams = false;
        CMFCToolTipInfo params;
    };
    Setting m_settings[AFX_TOOLTIP_TYPES];
};

/// The tool bars' customize window: a check box for each tool bar of the frame (checked while
/// shown; clicking shows or hides it), "New" (with EnableUserDefinedToolbars) to make a user
/// tool bar, and "Close". Made with new and shown by Create; it deletes itself when closed.
class MOXPLAT_API CMFCToolBarsCustomizeDialog : public CWnd {
public:
    explicit CMFCToolBarsCustomizeDialog(CFrameWnd* pWndParentFrame, BOOL bAutoSetFromMenus = FALSE,
                                         UINT uiFlags = 0, void* plistCustomPages = nullptr);
    ~CMFCToolBarsCustomizeDialog() override;
    void EnableUserDefinedToolbars(BOOL bEnable = TRUE) { m_bUserToolbars = bEnable; }
    /// Shows the window; FALSE when it cannot be made or the frame has no window.
    BOOL Create();
    /// The tool bars listed, in the order shown.
    int GetToolbarCount() const { return static_cast<int>(m_bars.size()); }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    void Fill();
    CFrameWnd* m_pFrame;
    BOOL m_bUserToolbars = FALSE;
    std::vector<HWND> m_bars;
    std::vector<HWND> m_checks;
};
