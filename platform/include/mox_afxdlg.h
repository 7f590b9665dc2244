// MFC's dialogs, the control classes over the standard controls, and dialog data exchange, as
// afxwin.h declares them. Included at the end of afxwin.h.
//
// The control classes add no data and no virtual functions to CWnd: a program may cast the
// temporary CWnd that GetDlgItem gives to CButton*, CEdit*, ... and call their members, as MFC
// programs do. Their members are inline over the Win32 messages, so each program gets the A or W
// form of the text messages that its own character set names.
#pragma once

#include <tchar.h> // _T and the _t names, which MFC's headers bring with them

#include <cfloat>

// The window message ON_WM_CTLCOLOR's entries carry: every WM_CTLCOLOR... message reaches that
// one handler, with nCtlColor saying which control kind asks.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
#ifndef CTLCOLOR_MSGBOX
#define CTLCOLOR_MSGBOX 0
#define CTLCOLOR_EDIT 1
#define CTLCOLOR_LISTBOX 2
#define CTLCOLOR_BTN 3
#define CTLCOLOR_DLG 4
#define CTLCOLOR_SCROLLBAR 5
#define CTLCOLOR_STATIC 6
#define CTLCOLOR_MAX 7
#endif

class CDataExchange;

// Handler kinds of the entries below (beyond afxwin.h's AfxSig).
enum AfxSigDialog : UINT_PTR {
    AfxSig_hDWw = 0x100, // HBRUSH (CDC*, CWnd*, UINT)
    AfxSig_hv,           // HCURSOR ()
    AfxSig_vwl,          // void (UINT, LPARAM)
};

constexpr UINT_PTR AfxSig_vOWNER = 0x130; // void (int, LPDRAWITEMSTRUCT)

#define ON_WM_CTLCOLOR() AFX_WND_ENTRY(WM_CTLCOLOR, AfxSig_hDWw, HBRUSH(CDC*, CWnd*, UINT), OnCtlColor)
#define ON_WM_DRAWITEM() AFX_WND_ENTRY(WM_DRAWITEM, AfxSig_vOWNER, void(int, LPDRAWITEMSTRUCT), OnDrawItem)

// Message reflection: a control's own class handles notifications its parent would get. With
// ON_CONTROL_REFLECT the parent no longer hears the notification; with ON_CONTROL_REFLECT_EX it
// does when the handler answers FALSE. ON_WM_CTLCOLOR_REFLECT's CtlColor(CDC*, UINT) colours
// the control unless it answers null or the parent's own OnCtlColor does not call the base.
#define WM_REFLECT_BASE 0xBC00
constexpr UINT_PTR AfxSig_hDw = 0x131;  // HBRUSH (CDC*, UINT)
constexpr UINT_PTR AfxSigCmd_b = 0x132; // BOOL ()
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                                     \
    {WM_COMMAND + WM_REFLECT_BASE, (UINT)(wNotifyCode), 0, 0, AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn)},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                                                  \
    {WM_COMMAND + WM_REFLECT_BASE, (UINT)(wNotifyCode), 0, 0, AfxSigCmd_b,                                            \
     AfxStoreHandler(static_cast<BOOL (CCmdTarget::*)()>(memberFxn))},
#define ON_WM_CTLCOLOR_REFLECT() AFX_WND_ENTRY(WM_CTLCOLOR + WM_REFLECT_BASE, AfxSig_hDw, HBRUSH(CDC*, UINT), CtlColor)
#define ON_WM_QUERYDRAGICON() AFX_WND_ENTRY(WM_QUERYDRAGICON, AfxSig_hv, HCURSOR(), OnQueryDragIcon)
#define ON_WM_SYSCOMMAND() AFX_WND_ENTRY(WM_SYSCOMMAND, AfxSig_vwl, void(UINT, LPARAM), OnSysCommand)

// Control notifications, each a WM_COMMAND from the control with the code in wParam's high word.
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_DBLCLK(id, memberFxn) ON_CONTROL(BN_DBLCLK, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)

// --- Dialogs ----------------------------------------------------------------------------------------

/// A dialog box from a template: modal (DoModal) or modeless (Create). Its window's messages go
/// through the message maps like any CWnd's; what no entry takes goes on to the dialog manager.
class MOXPLAT_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    /// A dialog whose template is given later (InitModalIndirect, CreateIndirect).
    CDialog();
    /// The template named or numbered, owned by pParentWnd (the main window when null).
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
#ifdef UNICODE
    explicit CDialog(const wchar_t* lpszTemplateName, CWnd* pParentWnd = nullptr)
        : CDialog(IS_INTRESOURCE(lpszTemplateName) ? reinterpret_cast<LPCSTR>(lpszTemplateName)
                                                   : MoxKeepText(MoxWideText(lpszTemplateName).str()),
                  pParentWnd)
    {
    }
#endif
    ~CDialog() override;

    /// Shows the dialog modally: the owner is disabled until EndDialog, and the answer is
    /// EndDialog's value (-1 when the template cannot be found or the dialog made).
    virtual INT_PTR DoModal();
    /// A modeless dialog from the template; FALSE when it cannot be made.
    virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
#ifdef UNICODE
    BOOL Create(const wchar_t* lpszTemplateName, CWnd* pParentWnd = nullptr)
    {
        return Create(IS_INTRESOURCE(lpszTemplateName) ? reinterpret_cast<LPCSTR>(lpszTemplateName)
                                                       : MoxKeepText(MoxWideText(lpszTemplateName).str()),
                      pParentWnd);
    }
#endif
    /// A modeless dialog from a template in memory.
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                                void* lpDialogInit = nullptr);
    /// Makes DoModal use a template in memory (which must outlive DoModal).
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, void* lpDialogInit = nullptr);

    /// Ends a modal dialog with nResult as DoModal's answer; a modeless one is hidden.
    void EndDialog(int nResult);
    /// WM_INITDIALOG: UpdateData(FALSE); TRUE gives the focus to the first tab stop.
    virtual BOOL OnInitDialog();
    /// IDOK: UpdateData(TRUE) and, when it succeeds, EndDialog(IDOK).
    virtual void OnOK();
    /// IDCANCEL (Esc, the close box): EndDialog(IDCANCEL).
    virtual void OnCancel();

    /// The focus to the next, previous or given control (WM_NEXTDLGCTL).
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    /// The default push button (DM_SETDEFID, DM_GETDEFID).
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    /// Dialog units to pixels, in place.
    void MapDialogRect(LPRECT lpRect) const;

    /// Keyboard and mouse input of the dialog and its controls goes through IsDialogMessage.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    /// The dialog's map first, then the application's for menu-style commands.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    /// The template: a name, or an id made with MAKEINTRESOURCE.
    LPCSTR m_lpszTemplateName = nullptr;
    /// The template's id, when it has one.
    UINT m_nIDHelp = 0;
    /// The owner given, or null.
    CWnd* m_pParentWnd = nullptr;

protected:
    /// A template in memory (InitModalIndirect), or null.
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    /// Makes the window from the template; the window procedure is bound to this object before
    /// WM_INITDIALOG.
    BOOL CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndOwner);
    /// The template to make: m_lpDialogTemplate, else the resource m_lpszTemplateName names.
    LPCDLGTEMPLATE FindTemplate() const;

    DECLARE_MESSAGE_MAP()

private:
    int m_nModalResult = -1;
    bool m_bContinueModal = false;
};

/// The dialog class of the newer AppWizard (afxdialogex.h): a CDialog that may fill its
/// background with a colour or a bitmap.
class MOXPLAT_API CDialogEx : public CDialog {
    DECLARE_DYNAMIC(CDialogEx)

public:
    CDialogEx() = default;
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr) : CDialog(nIDTemplate, pParentWnd) {}
    explicit CDialogEx(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr) : CDialog(lpszTemplateName, pParentWnd) {}
#ifdef UNICODE
    explicit CDialogEx(const wchar_t* lpszTemplateName, CWnd* pParentWnd = nullptr)
        : CDialog(lpszTemplateName, pParentWnd)
    {
    }
#endif
    ~CDialogEx() override;

    enum BackgroundLocation { BACKGR_TILE, BACKGR_TOPLEFT, BACKGR_TOPRIGHT, BACKGR_BOTTOMLEFT, BACKGR_BOTTOMRIGHT };

    /// Fills the background with the colour (and the dialog's labels and check boxes behind their
    /// text); bRepaint redraws now.
    void SetBackgroundColor(COLORREF color, BOOL bRepaint = TRUE);
    /// Draws the bitmap over the background at the place given (tiled with BACKGR_TILE); the
    /// dialog deletes it when bAutoDestroy. Null takes it away.
    void SetBackgroundImage(HBITMAP hBitmap, BackgroundLocation location = BACKGR_TILE, BOOL bAutoDestroy = TRUE,
                            BOOL bRepaint = TRUE);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC) override;
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    HBRUSH m_brBack = nullptr;
    COLORREF m_clrBack = CLR_INVALID;
    HBITMAP m_hBackImage = nullptr;
    BackgroundLocation m_backLocation = BACKGR_TILE;
    BOOL m_bAutoDestroyImage = FALSE;
};

// --- Dialog data exchange -------------------------------------------------------------------------

/// The state of one UpdateData: its direction and the control last prepared, which a failed
/// validation gives the focus to.
class MOXPLAT_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    /// TRUE: from the controls into the variables (and validate); FALSE: the other way.
    BOOL m_bSaveAndValidate;
    /// The dialog.
    CWnd* m_pDlgWnd;
    /// The control last prepared, and whether it is an edit control.
    UINT m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

    /// The dialog's control nIDC, remembered for Fail; null when there is none.
    HWND PrepareCtrl(int nIDC);
    /// PrepareCtrl for an edit control (Fail then selects its text).
    HWND PrepareEditCtrl(int nIDC);
    /// Ends the exchange as failed: the focus goes to the last control, and UpdateData returns
    /// FALSE. Does not return to its caller.
    [[noreturn]] void Fail();
};

// Text and numbers: a number that does not parse (or does not fit its type) shows a message box,
// then fails the exchange.
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, CStringA& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, CStringW& value);
/// Text into a buffer of nMaxLen characters (cut to fit).
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, LPSTR value, int nMaxLen);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, LPWSTR value, int nMaxLen);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, long long& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, unsigned long long& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
MOXPLAT_API void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
/// A check box's state: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
MOXPLAT_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
/// The index of the checked radio button in the group that starts at nIDC; -1 for none.
MOXPLAT_API void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
/// Binds rControl to the control nIDC (SubclassWindow) the first time.
MOXPLAT_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
/// A list's or combo box's selected index; -1 for none.
MOXPLAT_API void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
MOXPLAT_API void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
/// The selected item's text; loading selects the first item that starts with it.
MOXPLAT_API void DDX_LBString(CDataExchange* pDX, int nIDC, CStringA& value);
MOXPLAT_API void DDX_LBString(CDataExchange* pDX, int nIDC, CStringW& value);
MOXPLAT_API void DDX_CBString(CDataExchange* pDX, int nIDC, CStringA& value);
MOXPLAT_API void DDX_CBString(CDataExchange* pDX, int nIDC, CStringW& value);
/// The same with the item's whole text.
MOXPLAT_API void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CStringA& value);
MOXPLAT_API void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CStringW& value);
MOXPLAT_API void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CStringA& value);
MOXPLAT_API void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CStringW& value);

// Validation, on saving: a value out of range shows a message box, then fails the exchange.
MOXPLAT_API void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
MOXPLAT_API void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
MOXPLAT_API void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
MOXPLAT_API void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
MOXPLAT_API void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
MOXPLAT_API void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
MOXPLAT_API void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
MOXPLAT_API void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal);
/// On saving, text longer than nChars fails; on loading, the edit control is limited to nChars.
MOXPLAT_API void DDV_MaxChars(CDataExchange* pDX, const CStringA& value, int nChars);
MOXPLAT_API void DDV_MaxChars(CDataExchange* pDX, const CStringW& value, int nChars);

// --- Controls -------------------------------------------------------------------------------------

/// A push button, check box, radio button or group box.
class CButton : public CWnd {
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(TEXT("BUTTON"), lpszCaption, dwStyle, rect, pParentWnd, nID);
    }
    int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int nCheck) { ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0); }
    UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
    void SetState(BOOL bHighlight) { ::SendMessageA(m_hWnd, BM_SETSTATE, static_cast<WPARAM>(bHighlight), 0); }
    UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE)
    {
        ::SendMessageA(m_hWnd, BM_SETSTYLE, nStyle, static_cast<LPARAM>(bRedraw));
    }
    void Click() { ::SendMessageA(m_hWnd, BM_CLICK, 0, 0); }
    /// Draws an owner-drawn (BS_OWNERDRAW) button; such a button's class overrides it.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
    {
        (void)lpDrawItemStruct;
        ASSERT(FALSE); // an owner-drawn button whose class does not draw it
    }

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message != WM_DRAWITEM)
            return CWnd::OnChildNotify(message, wParam, lParam, pResult);
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    }
};

/// A label, frame, icon or bitmap.
class CStatic : public CWnd {
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF)
    {
        return CWnd::Create(TEXT("STATIC"), lpszText, dwStyle, rect, pParentWnd, nID);
    }
    HICON SetIcon(HICON hIcon)
    {
        return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0));
    }
    HICON GetIcon() const { return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_GETICON, 0, 0)); }
    HBITMAP SetBitmap(HBITMAP hBitmap)
    {
        return reinterpret_cast<HBITMAP>(
            ::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
    }
    HBITMAP GetBitmap() const
    {
        return reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
    /// Draws an owner-drawn (SS_OWNERDRAW) static control; such a control's class overrides it.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
    {
        (void)lpDrawItemStruct;
        ASSERT(FALSE); // an owner-drawn static control whose class does not draw it
    }

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message != WM_DRAWITEM)
            return CWnd::OnChildNotify(message, wParam, lParam, pResult);
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    }
};

/// A single-line edit control.
class CEdit : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(TEXT("EDIT"), static_cast<LPCTSTR>(nullptr), dwStyle, rect, pParentWnd, nID);
    }
    /// The selection's start and end, packed as EM_GETSEL answers.
    DWORD GetSel() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, EM_GETSEL, 0, 0)); }
    void GetSel(int& nStartChar, int& nEndChar) const
    {
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageA(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        nStartChar = static_cast<int>(start);
        nEndChar = static_cast<int>(end);
    }
    void SetSel(DWORD dwSelection, BOOL = FALSE)
    {
        ::SendMessageA(m_hWnd, EM_SETSEL, LOWORD(dwSelection), HIWORD(dwSelection));
    }
    void SetSel(int nStartChar, int nEndChar, BOOL = FALSE)
    {
        ::SendMessageA(m_hWnd, EM_SETSEL, static_cast<WPARAM>(nStartChar), static_cast<LPARAM>(nEndChar));
    }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE)
    {
        ::SendMessage(m_hWnd, EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
    }
    void LimitText(int nChars = 0) { ::SendMessageA(m_hWnd, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0); }
    void SetLimitText(UINT nMax) { ::SendMessageA(m_hWnd, EM_LIMITTEXT, nMax, 0); }
    UINT GetLimitText() const { return static_cast<UINT>(::SendMessageA(m_hWnd, EM_GETLIMITTEXT, 0, 0)); }
    void SetPasswordChar(TCHAR ch) { ::SendMessage(m_hWnd, EM_SETPASSWORDCHAR, static_cast<WPARAM>(ch), 0); }
    TCHAR GetPasswordChar() const { return static_cast<TCHAR>(::SendMessage(m_hWnd, EM_GETPASSWORDCHAR, 0, 0)); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE)
    {
        return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETREADONLY, static_cast<WPARAM>(bReadOnly), 0));
    }
    BOOL GetModify() const { return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_GETMODIFY, 0, 0)); }
    void SetModify(BOOL bModified = TRUE) { ::SendMessageA(m_hWnd, EM_SETMODIFY, static_cast<WPARAM>(bModified), 0); }
};

/// A list box.
class CListBox : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(TEXT("LISTBOX"), static_cast<LPCTSTR>(nullptr), dwStyle, rect, pParentWnd, nID);
    }
    int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0)); }
    int SetCurSel(int nSelect) { return static_cast<int>(::SendMessageA(m_hWnd, LB_SETCURSEL, nSelect, 0)); }
    int GetTopIndex() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETTOPINDEX, 0, 0)); }
    int SetTopIndex(int nIndex) { return static_cast<int>(::SendMessageA(m_hWnd, LB_SETTOPINDEX, nIndex, 0)); }
    int GetItemHeight(int nIndex) const
    {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_GETITEMHEIGHT, nIndex, 0));
    }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return static_cast<DWORD_PTR>(::SendMessageA(m_hWnd, LB_GETITEMDATA, nIndex, 0));
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_SETITEMDATA, nIndex, static_cast<LPARAM>(dwItemData)));
    }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    int GetText(int nIndex, LPTSTR lpszBuffer) const
    {
        return static_cast<int>(::SendMessage(m_hWnd, LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(lpszBuffer)));
    }
    /// The item's text; empty for an index out of range.
    void GetText(int nIndex, CString& rString) const
    {
        const int n = GetTextLen(nIndex);
        if (n < 0) {
            rString.Empty();
            return;
        }
        const int got = GetText(nIndex, rString.GetBuffer(n + 1));
        rString.ReleaseBuffer(got < 0 ? 0 : got);
    }
    int GetTextLen(int nIndex) const { return static_cast<int>(::SendMessage(m_hWnd, LB_GETTEXTLEN, nIndex, 0)); }
    int AddString(LPCTSTR lpszItem)
    {
        return static_cast<int>(::SendMessage(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem)));
    }
    int InsertString(int nIndex, LPCTSTR lpszItem)
    {
        return static_cast<int>(::SendMessage(m_hWnd, LB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(lpszItem)));
    }
    int DeleteString(UINT nIndex) { return static_cast<int>(::SendMessageA(m_hWnd, LB_DELETESTRING, nIndex, 0)); }
    void ResetContent() { ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0); }
    int FindString(int nStartAfter, LPCTSTR lpszItem) const
    {
        return static_cast<int>(
            ::SendMessage(m_hWnd, LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszItem)));
    }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
    {
        return static_cast<int>(::SendMessage(m_hWnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                                              reinterpret_cast<LPARAM>(lpszFind)));
    }
    int SelectString(int nStartAfter, LPCTSTR lpszItem)
    {
        return static_cast<int>(::SendMessage(m_hWnd, LB_SELECTSTRING, static_cast<WPARAM>(nStartAfter),
                                              reinterpret_cast<LPARAM>(lpszItem)));
    }
};

/// A combo box.
class CComboBox : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(TEXT("COMBOBOX"), static_cast<LPCTSTR>(nullptr), dwStyle, rect, pParentWnd, nID);
    }
    int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0)); }
    int SetCurSel(int nSelect) { return static_cast<int>(::SendMessageA(m_hWnd, CB_SETCURSEL, nSelect, 0)); }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return static_cast<DWORD_PTR>(::SendMessageA(m_hWnd, CB_GETITEMDATA, nIndex, 0));
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return static_cast<int>(::SendMessageA(m_hWnd, CB_SETITEMDATA, nIndex, static_cast<LPARAM>(dwItemData)));
    }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    int GetLBText(int nIndex, LPTSTR lpszText) const
    {
        return static_cast<int>(::SendMessage(m_hWnd, CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(lpszText)));
    }
    /// The item's text; empty for an index out of range.
    void GetLBText(int nIndex, CString& rString) const
    {
        const int n = GetLBTextLen(nIndex);
        if (n < 0) {
            rString.Empty();
            return;
        }
        const int got = GetLBText(nIndex, rString.GetBuffer(n + 1));
        rString.ReleaseBuffer(got < 0 ? 0 : got);
    }
    int GetLBTextLen(int nIndex) const { return static_cast<int>(::SendMessage(m_hWnd, CB_GETLBTEXTLEN, nIndex, 0)); }
    int AddString(LPCTSTR lpszString)
    {
        return static_cast<int>(::SendMessage(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
    }
    int InsertString(int nIndex, LPCTSTR lpszString)
    {
        return static_cast<int>(::SendMessage(m_hWnd, CB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(lpszString)));
    }
    int DeleteString(UINT nIndex) { return static_cast<int>(::SendMessageA(m_hWnd, CB_DELETESTRING, nIndex, 0)); }
    void ResetContent() { ::SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0); }
    int FindString(int nStartAfter, LPCTSTR lpszString) const
    {
        return static_cast<int>(::SendMessage(m_hWnd, CB_FINDSTRING, static_cast<WPARAM>(nStartAfter),
                                              reinterpret_cast<LPARAM>(lpszString)));
    }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
    {
        return static_cast<int>(::SendMessage(m_hWnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                                              reinterpret_cast<LPARAM>(lpszFind)));
    }
    int SelectString(int nStartAfter, LPCTSTR lpszString)
    {
        return static_cast<int>(::SendMessage(m_hWnd, CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter),
                                              reinterpret_cast<LPARAM>(lpszString)));
    }
    void ShowDropDown(BOOL bShowIt = TRUE) { ::SendMessageA(m_hWnd, CB_SHOWDROPDOWN, static_cast<WPARAM>(bShowIt), 0); }
    BOOL GetDroppedState() const { return static_cast<BOOL>(::SendMessageA(m_hWnd, CB_GETDROPPEDSTATE, 0, 0)); }
};
