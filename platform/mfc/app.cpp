// The application object and frame windows: CWinApp's start, message loop and exit, and the
// frame window that ends the program when it closes as the main window. Only afxwin.h and USER
// calls are used here, so a Windows build can compile this file as it is.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <afxwin.h>

#include "afx_create.h"
#include <afxext.h> // WM_IDLEUPDATECMDUI

#include "afx_text.h"

namespace {

CWinApp* g_app = nullptr; // the program's one application object, registered as it is built

} // namespace

// --- Frame windows ------------------------------------------------------------------------------

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    CREATESTRUCT cs{};
    // The frame's menu bar from the resources, when they have that menu.
    if (lpszMenuName)
        cs.hMenu = ::LoadMenuA(AfxGetInstanceHandle(), lpszMenuName);
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.dwExStyle = dwExStyle;
    cs.x = rect.left;
    cs.y = rect.top;
    // Widths in unsigned arithmetic, as Windows' 32-bit ones wrap: rectDefault's right - left is
    // CW_USEDEFAULT again, the default size.
    cs.cx = static_cast<int>(static_cast<std::uint32_t>(rect.right) - static_cast<std::uint32_t>(rect.left));
    cs.cy = static_cast<int>(static_cast<std::uint32_t>(rect.bottom) - static_cast<std::uint32_t>(rect.top));
    cs.hwndParent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs))
        return FALSE;
    if (!cs.lpszClass) // frames and views erase to the window colour, as MFC's default class does
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    m_dwCreateStyle = static_cast<DWORD>(cs.style);
    if (m_strTitle.IsEmpty() && cs.lpszName)
        m_strTitle = cs.lpszName;
    const HMENU menu = cs.hMenu;
    afx_create::PreCreateDone(this);
    if (CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                 cs.hwndParent, cs.hMenu, cs.lpCreateParams))
        return TRUE;
    if (menu && ::IsMenu(menu))
        ::DestroyMenu(menu); // no window took it
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // MFC's order: the active view, its document, the frame, the application (TN021).
    if (CView* view = GetActiveView()) {
        if (view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        if (CDocument* doc = view->GetDocument())
            if (doc->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
                return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

// --- The message loop ---------------------------------------------------------------------------

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::Run()
{
    for (LONG idle = 0;;) {
        MSG peek;
        while (!PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE))
            if (!OnIdle(idle++))
                break;
        if (!PumpMessage())
            return ExitInstance();
        idle = 0;
    }
}

BOOL CWinThread::PumpMessage()
{
    const BOOL got = GetMessageA(&m_msgCur, nullptr, 0, 0);
    if (got == 0)
        return FALSE; // WM_QUIT
    if (got < 0) {
        // Nothing can come from a queue that refuses to be read; end as if told to quit.
        m_msgCur.wParam = static_cast<WPARAM>(-1);
        return FALSE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        TranslateMessage(&m_msgCur);
        DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    if (!pMsg)
        return FALSE;
    for (HWND hwnd = pMsg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd); // no temporaries for every control
        if (wnd && wnd->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    // The first idle call after messages: the main window's bars take their buttons' and panes'
    // states from the update handlers.
    CWnd* main = GetMainWnd();
    if (lCount <= 0 && main && main->m_hWnd && main->IsWindowVisible() && !main->IsIconic()) {
        main->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

CWnd* CWinThread::GetMainWnd()
{
    return m_pMainWnd;
}

// --- The application ----------------------------------------------------------------------------

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(afx_text::Dup(lpszAppName))
{
    if (!g_app)
        g_app = this;
}

CWinApp::~CWinApp()
{
    while (m_templateCount > 0) // when ExitInstance did not run
        delete m_templates[--m_templateCount];
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    for (LPCTSTR* name : {&m_pszAppName, &m_pszExeName, &m_pszProfileName, &m_pszRegistryKey}) {
        std::free(const_cast<TCHAR*>(*name));
        *name = nullptr;
    }
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->GetMainWnd() : nullptr;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "AfxWinMain: the program has no CWinApp object\n");
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    app->SetCurrentHandles();
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    CWinApp* app = AfxGetApp();
    CWnd* main = AfxGetMainWnd();
    return ::MessageBoxA(main ? main->m_hWnd : nullptr, lpszText, app ? app->m_pszAppName : nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CStringA prompt;
    char text[1024] = {};
    if (::LoadStringA(AfxGetResourceHandle(), nIDPrompt, text, static_cast<int>(sizeof text)) > 0)
        prompt = text;
    return AfxMessageBox(prompt.GetString(), nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
