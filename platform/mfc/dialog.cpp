// CDialog and CDialogEx over the Win32 dialog manager. The dialog window is made from its
// template by CreateDialogIndirectParam (modal ones too: DoModal runs its own loop, so that
// PreTranslateMessage sees the dialog's input as in any MFC loop). The dialog procedure binds the
// window to its CDialog on the first message it gets, before WM_INITDIALOG; from then on the
// window's messages go through the message maps, and what they leave goes on to DefDlgProc.
// Only afxwin.h and USER calls are used here, so a Windows build can compile this file as it is.
#include <afxpriv.h>
#include <afxwin.h>

namespace {

thread_local CDialog* t_creatingDialog = nullptr; // claimed by the dialog procedure

// The top-level window that owns a dialog of pParent's (the main window's when null): a
// dialog's owner is never a child window.
HWND OwnerFor(CWnd* pParent, const CWnd* dialog)
{
    HWND owner = pParent ? pParent->GetSafeHwnd() : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != dialog)
            owner = main->GetSafeHwnd();
    }
    while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
        owner = ::GetParent(owner);
    return owner;
}

INT_PTR CALLBACK MoxDialogProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd && t_creatingDialog) {
        CDialog* dialog = t_creatingDialog;
        t_creatingDialog = nullptr;
        if (dialog->SubclassWindow(hwnd))
            wnd = dialog;
    }
    if (message == WM_INITDIALOG && wnd && wnd->IsKindOf(RUNTIME_CLASS(CDialog)))
        return static_cast<CDialog*>(wnd)->OnInitDialog();
    return FALSE;
}

} // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &ThisClass::OnOK)
ON_COMMAND(IDCANCEL, &ThisClass::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = LOWORD(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
    else if (lpszTemplateName)
        m_lpszTemplateName = MoxKeepText(std::string(lpszTemplateName));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // A modeless dialog still showing goes with its object.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

LPCDLGTEMPLATE CDialog::FindTemplate() const
{
    if (m_lpDialogTemplate)
        return m_lpDialogTemplate;
    if (!m_lpszTemplateName)
        return nullptr;
    const HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = ::FindResourceA(instance, m_lpszTemplateName, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    return loaded ? static_cast<LPCDLGTEMPLATE>(::LockResource(loaded)) : nullptr;
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndOwner)
{
    if (!lpTemplate || (m_hWnd && ::IsWindow(m_hWnd)))
        return FALSE;
    m_hWnd = nullptr;
    CDialog* const outer = t_creatingDialog;
    t_creatingDialog = this;
    const HWND hwnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), lpTemplate, hWndOwner, &MoxDialogProc, 0);
    t_creatingDialog = outer;
    if (!hwnd) {
        m_hWnd = nullptr; // a dialog that failed is already gone
        return FALSE;
    }
    if (m_hWnd != hwnd) {
        // No message reached the dialog procedure: bind now.
        if (!SubclassWindow(hwnd)) {
            ::DestroyWindow(hwnd);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = LOWORD(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
    m_lpDialogTemplate = nullptr;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return CreateFromTemplate(FindTemplate(), OwnerFor(m_pParentWnd, this));
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void*)
{
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return CreateFromTemplate(lpDialogTemplate, OwnerFor(m_pParentWnd, this));
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void*)
{
    if (!lpDialogTemplate)
        return FALSE;
    m_lpDialogTemplate = lpDialogTemplate;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    const LPCDLGTEMPLATE tmpl = FindTemplate();
    if (!tmpl || (m_hWnd && ::IsWindow(m_hWnd)))
        return -1;
    // The owner takes no input while the dialog runs.
    const HWND owner = OwnerFor(m_pParentWnd, this);
    const bool enableOwner = owner && ::IsWindowEnabled(owner);
    if (enableOwner)
        ::EnableWindow(owner, FALSE);

    m_nModalResult = -1;
    m_bContinueModal = true;
    if (!CreateFromTemplate(tmpl, owner)) {
        m_bContinueModal = false;
        if (enableOwner)
            ::EnableWindow(owner, TRUE);
        return -1;
    }
    if (m_bContinueModal) // OnInitDialog may already have ended it
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    // While nothing waits in the queue the dialog hears WM_KICKIDLE, with a count, until it
    // answers FALSE; a message other than WM_PAINT starts the idle time again. DS_NOIDLEMSG
    // turns it off (MFC's idle processing of modal dialogs).
    const bool kicks = !(GetStyle() & DS_NOIDLEMSG);
    bool idle = kicks;
    LPARAM idleCount = 0;
    while (m_bContinueModal && m_hWnd && ::IsWindow(m_hWnd)) {
        MSG msg;
        while (idle && m_bContinueModal && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            idle = SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++) != 0;
        if (!m_bContinueModal || !::IsWindow(m_hWnd))
            break;
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (msg.message != WM_PAINT && kicks) {
            idle = true;
            idleCount = 0;
        }
        if (got <= 0) {
            // WM_QUIT ends the dialog and stays for the program's own loop.
            ::PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
            break;
        }
        CWinApp* app = AfxGetApp();
        BOOL taken = FALSE;
        if (app) {
            taken = app->PreTranslateMessage(&msg);
        } else {
            for (HWND h = msg.hwnd; h && !taken; h = ::GetParent(h))
                if (CWnd* wnd = CWnd::FromHandlePermanent(h))
                    taken = wnd->PreTranslateMessage(&msg);
        }
        if (!taken) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_bContinueModal = false;
    // The owner is enabled again before the dialog goes, so that it can take the activation back.
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (enableOwner)
        ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bContinueModal) {
        m_bContinueModal = false;
        if (m_hWnd)
            ::PostMessageA(m_hWnd, WM_NULL, 0, 0); // wakes the modal loop
    }
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    // A failed exchange here still shows the dialog, as MFC's does.
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return; // the focus is on the control that failed
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl && pWndCtrl->m_hWnd)
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
}

void CDialog::SetDefID(UINT nID)
{
    ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0);
}

DWORD CDialog::GetDefID() const
{
    return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0));
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    ::MapDialogRect(m_hWnd, lpRect);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg || !m_hWnd)
        return FALSE;
    // Keyboard and mouse input only, and only the dialog's own.
    const bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    const bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!key && !mouse)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Commands from menus and accelerators (ids from 0x8000, below the system commands) go on
    // to the application; controls' notifications do not.
    if (nCode != CN_COMMAND || nID < 0x8000 || nID >= 0xF000)
        return FALSE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- CDialogEx ------------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

BEGIN_MESSAGE_MAP(CDialogEx, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDialogEx::~CDialogEx()
{
    if (m_brBack)
        ::DeleteObject(m_brBack);
    if (m_hBackImage && m_bAutoDestroyImage)
        ::DeleteObject(m_hBackImage);
}

void CDialogEx::SetBackgroundColor(COLORREF color, BOOL bRepaint)
{
    if (m_brBack)
        ::DeleteObject(m_brBack);
    m_brBack = color == CLR_INVALID ? nullptr : ::CreateSolidBrush(color);
    m_clrBack = color;
    if (bRepaint && m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CDialogEx::SetBackgroundImage(HBITMAP hBitmap, BackgroundLocation location, BOOL bAutoDestroy, BOOL bRepaint)
{
    if (m_hBackImage && m_bAutoDestroyImage && m_hBackImage != hBitmap)
        ::DeleteObject(m_hBackImage);
    m_hBackImage = hBitmap;
    m_backLocation = location;
    m_bAutoDestroyImage = bAutoDestroy;
    if (bRepaint && m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL CDialogEx::OnEraseBkgnd(CDC* pDC)
{
    if (!m_brBack && !m_hBackImage)
        return CDialog::OnEraseBkgnd(pDC);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    HDC dc = pDC->GetSafeHdc();
    ::FillRect(dc, &client, m_brBack ? m_brBack : ::GetSysColorBrush(COLOR_3DFACE));
    BITMAP bm{};
    if (m_hBackImage && ::GetObjectA(m_hBackImage, sizeof bm, &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
        HDC mem = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(mem, m_hBackImage);
        const int w = bm.bmWidth;
        const int h = bm.bmHeight;
        if (m_backLocation == BACKGR_TILE) {
            for (int y = 0; y < client.bottom; y += h)
                for (int x = 0; x < client.right; x += w)
                    ::BitBlt(dc, x, y, w, h, mem, 0, 0, SRCCOPY);
        } else {
            const bool right = m_backLocation == BACKGR_TOPRIGHT || m_backLocation == BACKGR_BOTTOMRIGHT;
            const bool bottom = m_backLocation == BACKGR_BOTTOMLEFT || m_backLocation == BACKGR_BOTTOMRIGHT;
            ::BitBlt(dc, right ? client.right - w : 0, bottom ? client.bottom - h : 0, w, h, mem, 0, 0, SRCCOPY);
        }
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
    }
    return TRUE;
}

HBRUSH CDialogEx::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    // Labels, buttons and the dialog itself show the background; text fields keep their own.
    if (m_brBack && (nCtlColor == CTLCOLOR_DLG || nCtlColor == CTLCOLOR_STATIC || nCtlColor == CTLCOLOR_BTN)) {
        pDC->SetBkColor(m_clrBack);
        return m_brBack;
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        if (id <= 0 || id == 0xFFFF)
            continue; // labels and other controls without a command of their own
        CCmdUI state;
        state.m_nID = static_cast<UINT>(id);
        state.m_pOther = CWnd::FromHandle(child);
        // Only push buttons issue commands; check boxes, radio buttons and the rest keep their
        // state when nothing handles their id.
        const UINT type = static_cast<UINT>(::GetWindowLongA(child, GWL_STYLE)) & BS_TYPEMASK;
        const bool pushButton = (::SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) &&
                                (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
        state.DoUpdate(pTarget, bDisableIfNoHndler && pushButton);
    }
}
