// MFC's control bars: CControlBar, CToolBar and CStatusBar, as child windows of a frame drawn in
// the plain classic style. Included by afxext.h; written over Win32 calls alone, so it is the
// same on every system.
//
// The frame lays its bars out (CFrameWnd::RecalcLayout through RepositionBars): bars aligned at
// the top stack downwards from the top of the client area, bars aligned at the bottom upwards
// from its bottom, and the view takes what is left. Docking places a bar at its style's side
// (top or bottom); floating, dragging and docking at the left or right are not provided.
// Buttons and panes take their state from the frame's ON_UPDATE_COMMAND_UI handlers when the
// application is idle (WM_IDLEUPDATECMDUI).
#pragma once

#ifndef WM_IDLEUPDATECMDUI
#define WM_IDLEUPDATECMDUI 0x0363 // wParam: disable items that no target handles
#endif

// Control bar styles.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// The frame's bar ids and its docking sites.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E

// The toolbar control's styles (commctrl.h's values).
#ifndef TBSTYLE_BUTTON
#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_SEP 0x0001
#define TBSTYLE_CHECK 0x0002
#define TBSTYLE_GROUP 0x0004
#define TBSTYLE_CHECKGROUP (TBSTYLE_GROUP | TBSTYLE_CHECK)
#define TBSTYLE_TOOLTIPS 0x0100
#define TBSTYLE_WRAPABLE 0x0200
#define TBSTYLE_ALTDRAG 0x0400
#define TBSTYLE_FLAT 0x0800
#define TBSTYLE_LIST 0x1000
#define TBSTYLE_TRANSPARENT 0x8000
#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define TBSTATE_INDETERMINATE 0x10
#define TBSTATE_WRAP 0x20
#endif

// A toolbar button's style (low word) and state (high word) as CToolBar reports them.
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)

// A status bar pane's style.
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS 0x0100
#define SBPS_POPOUT 0x0200
#define SBPS_OWNERDRAW 0x1000
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

// The status bar's ids for its standard panes are in afxres.h (ID_INDICATOR_...).

/// A bar along a side of its frame: a child window the frame places and asks for its size.
class MOXPLAT_API CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)

public:
    CControlBar() = default;
    ~CControlBar() override;

    /// The CBRS_ styles.
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    /// The sides the bar may dock at (CBRS_ALIGN_...); 0 keeps it where it is.
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }
    DWORD m_dwDockStyle = 0;
    /// Shown (WS_VISIBLE), whether or not its frame is.
    BOOL IsVisible() const { return m_hWnd && (GetStyle() & WS_VISIBLE); }
    /// The number of buttons or panes.
    virtual int GetCount() const = 0;
    /// The bar's size: its full length along its side (bStretch) and its thickness.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) = 0;
    /// Asks pTarget's update handlers for each item's state.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    /// The frame the bar belongs to.
    CFrameWnd* GetDockingFrame() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    /// Creates the bar's window as child nID of pParentWnd, with the bar style dwStyle.
    BOOL CreateBar(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    /// Redoes the frame's layout when the bar's size may have changed.
    void RecalcParentLayout();
    BOOL OnEraseBkgnd(CDC* pDC) override;

    DWORD m_dwStyle = 0;
    int m_cxLeftBorder = 6, m_cxRightBorder = 6, m_cyTopBorder = 2, m_cyBottomBorder = 2;
};

/// A row of buttons with images (LoadToolBar) that send WM_COMMAND with their ids to the frame
/// when clicked. Disabled and checked states come from the update handlers; TBBS_CHECKBOX
/// buttons toggle when clicked.
class MOXPLAT_API CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)

public:
    CToolBar() = default;
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    /// dwCtrlStyle: TBSTYLE_FLAT draws a button's edge only while it is pressed or checked.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = AFX_IDW_TOOLBAR);
    /// The TOOLBAR resource (button size and ids) and the BITMAP of the same name (the images,
    /// side by side); FALSE when either is missing or damaged.
    BOOL LoadToolBar(LPCSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCEA(nIDResource)); }
#ifdef UNICODE
    BOOL LoadToolBar(LPCWSTR lpszResourceName)
    {
        return IS_INTRESOURCE(lpszResourceName) ? LoadToolBar(reinterpret_cast<LPCSTR>(lpszResourceName))
                                                : LoadToolBar(static_cast<LPCSTR>(MoxWideText(lpszResourceName)));
    }
#endif
    /// The images: a bitmap resource of button images side by side; light grey (0xC0C0C0) shows
    /// as the button face.
    BOOL LoadBitmap(LPCSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
    /// The buttons' ids (ID_SEPARATOR: a separator); null makes nIDCount empty buttons.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    /// The size of a button and of its image (the default: 23 x 22 and 16 x 15).
    void SetSizes(SIZE sizeButton, SIZE sizeImage);

    int GetCount() const override { return static_cast<int>(m_buttons.size()); }
    /// The index of the button with the id, or -1.
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    /// The button's rectangle in the bar's client area (empty for a bad index).
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
    /// TBBS_ style and state bits.
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnDestroy() override;

    struct Button {
        UINT id;
        UINT style; // TBBS_ style and state
        int image;
    };
    int HitTest(CPoint point) const;
    void DrawButton(HDC hdc, int nIndex);
    void FreeImages();

    std::vector<Button> m_buttons;
    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};
    DWORD m_dwCtrlStyle = 0;
    HBITMAP m_hbmImages = nullptr;   // face colour in place of the light grey
    HBITMAP m_hbmDisabled = nullptr; // the shapes in the shadow colour
    int m_nImages = 0;
    int m_iPressed = -1; // the button held down with the mouse
    bool m_pressedInside = false;
};

/// A row of panes along the bottom of the frame: the first one (ID_SEPARATOR) stretches and shows
/// the frame's messages, the others show their string (CAP, NUM, SCRL while those keys are on).
class MOXPLAT_API CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)

public:
    CStatusBar() = default;
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = AFX_IDW_STATUS_BAR);
    /// One pane per id; each pane's text is the string of its id (the standard indicators have
    /// theirs built in), and its width fits that text. A first ID_SEPARATOR pane stretches and
    /// shows AFX_IDS_IDLEMESSAGE ("Ready"). FALSE when an id has no string.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const override { return static_cast<int>(m_panes.size()); }
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    /// The pane's text (UTF-8); FALSE for a bad index.
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
#ifdef UNICODE
    BOOL SetPaneText(int nIndex, MoxWideText lpszNewText, BOOL bUpdate = TRUE)
    {
        return SetPaneText(nIndex, static_cast<LPCSTR>(lpszNewText), bUpdate);
    }
#endif
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    void OnPaint() override;
    void OnSize(UINT nType, int cx, int cy) override;

    struct Pane {
        UINT id;
        UINT style;
        int cxText;
        CStringA text;
    };
    std::vector<Pane> m_panes;
};
