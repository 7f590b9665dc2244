// An MFC program in the AppWizard's single-document style: an application object derived from
// CWinAppEx, a CFrameWndEx frame, a document holding the game's state and a view that owns the
// library's canvas. A timer moves a ball; the arrow keys move the paddle; the view draws the
// canvas's back buffer in OnDraw. The frame's icon, title, keys (Escape, Ctrl+Q), tool bar and
// the view's cursor and star sprite come from mfc_frame_view.rc; its menu, built in code, pauses
// the game (the check mark, on the menu and the tool bar, kept by an update handler) and exits.
// As the AppWizard writes them: a status bar with the key indicators, a document that saves its
// state through Serialize, the view's printing members, the recent-file list and the visual
// manager. The same source builds with MFC on Windows.
//
//   mfc_frame_view [/frames:N]     ends by itself after N timer ticks (for headless runs),
//                                  printing what the view last drew and what the bars show
#include <afxwin.h>
#include <afxext.h>

#include <MoxImage2.h>

#include <cstdio>
#include <cstdlib>

#include "resource.h"

namespace {

constexpr int kWidth = 320, kHeight = 200;
constexpr int kPaddleWidth = 48, kBall = 8;
constexpr UINT_PTR kTickTimer = 1;
bool g_paused = false;

// The command line: the usual MFC flags, plus /frames:N.
class CGameCommandLineInfo : public CCommandLineInfo {
public:
    int m_nFrames = 0; // 0: run until closed
    void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast) override
    {
        const CString param(pszParam);
        if (bFlag && param.Left(7).CompareNoCase(CString("frames:")) == 0) {
            m_nFrames = std::atoi(CStringA(param.Mid(7)));
            ParseLast(bLast);
            return;
        }
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    }
};

int g_framesToRun = 0;

class CGameDoc : public CDocument {
    DECLARE_DYNCREATE(CGameDoc)
public:
    int m_nPaddleX = 0, m_nBallX = 0, m_nBallY = 0, m_nStepX = 3, m_nStepY = 2, m_nBounces = 0;

    BOOL OnNewDocument() override
    {
        if (!CDocument::OnNewDocument())
            return FALSE;
        m_nPaddleX = (kWidth - kPaddleWidth) / 2;
        m_nBallX = kWidth / 2;
        m_nBallY = kHeight / 3;
        return TRUE;
    }
    void Step()
    {
        m_nBallX += m_nStepX;
        m_nBallY += m_nStepY;
        if (m_nBallX < 0 || m_nBallX + kBall > kWidth) {
            m_nStepX = -m_nStepX;
            m_nBallX += 2 * m_nStepX;
            ++m_nBounces;
        }
        if (m_nBallY < 0 || m_nBallY + kBall > kHeight - 10) {
            m_nStepY = -m_nStepY;
            m_nBallY += 2 * m_nStepY;
            ++m_nBounces;
        }
        SetModifiedFlag();
    }
    // The game's state in the document's file.
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_nPaddleX << m_nBallX << m_nBallY << m_nStepX << m_nStepY << m_nBounces;
        else
            ar >> m_nPaddleX >> m_nBallX >> m_nBallY >> m_nStepX >> m_nStepY >> m_nBounces;
    }
};
IMPLEMENT_DYNCREATE(CGameDoc, CDocument)

const UINT indicators[] = {
    ID_SEPARATOR, // the status line
    ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,
    ID_INDICATOR_SCRL,
};

class CMainFrame : public CFrameWndEx {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override
    {
        if (CFrameWndEx::OnCreate(lpCreateStruct) == -1)
            return -1;
        CMenu bar, game, view;
        if (!GetMenu() && bar.CreateMenu() && game.CreatePopupMenu() && view.CreatePopupMenu()) {
            game.AppendMenu(MF_STRING, ID_GAME_PAUSE, CString("&Pause"));
            game.AppendMenu(MF_STRING, ID_FILE_SAVE, CString("&Save\tCtrl+S"));
            game.AppendMenu(MF_STRING, ID_FILE_PRINT, CString("&Print...\tCtrl+P"));
            game.AppendMenu(MF_STRING, ID_FILE_PRINT_PREVIEW, CString("Print Pre&view"));
            game.AppendMenu(MF_STRING, ID_FILE_PRINT_SETUP, CString("P&rint Setup..."));
            game.AppendMenu(MF_SEPARATOR);
            game.AppendMenu(MF_STRING, ID_APP_EXIT, CString("E&xit\tAlt+F4"));
            view.AppendMenu(MF_STRING, ID_VIEW_TOOLBAR, CString("&Toolbar"));
            view.AppendMenu(MF_STRING, ID_VIEW_STATUS_BAR, CString("&Status Bar"));
            bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(game.Detach()), CString("&Game"));
            bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(view.Detach()), CString("&View"));
            SetMenu(&bar);
            bar.Detach(); // the window owns its menu
        }
        if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                                   WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                       CBRS_SIZE_DYNAMIC) ||
            !m_wndToolBar.LoadToolBar(IDR_MAINFRAME)) {
            TRACE0("Failed to create toolbar\n");
            return -1; // fail to create
        }
        if (!m_wndStatusBar.Create(this) ||
            !m_wndStatusBar.SetIndicators(indicators, sizeof(indicators) / sizeof(UINT))) {
            TRACE0("Failed to create status bar\n");
            return -1; // fail to create
        }
        m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_wndToolBar);
        // The view keeps the canvas's size: the frame grows by what the bars take.
        CRect left, window;
        RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST, reposQuery, &left);
        GetWindowRect(&window);
        SetWindowPos(nullptr, 0, 0, window.Width() + kWidth - left.Width(), window.Height() + kHeight - left.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    afx_msg void OnPause() { g_paused = !g_paused; }
    afx_msg void OnUpdatePause(CCmdUI* pCmdUI) { pCmdUI->SetCheck(g_paused ? 1 : 0); }
    DECLARE_MESSAGE_MAP()

    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        if (!CFrameWndEx::PreCreateWindow(cs))
            return FALSE;
        // The AppWizard's frame style: a title with the document's name, a sizing border.
        cs.style = WS_OVERLAPPED | WS_CAPTION | FWS_ADDTOTITLE | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                   WS_SYSMENU;
        // An outer size whose client area holds the canvas exactly.
        RECT r = {0, 0, kWidth, kHeight};
        ::AdjustWindowRectEx(&r, static_cast<DWORD>(cs.style), TRUE, cs.dwExStyle);
        cs.cx = r.right - r.left;
        cs.cy = r.bottom - r.top;
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(CMainFrame, CFrameWndEx)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWndEx)
ON_COMMAND(ID_GAME_PAUSE, OnPause)
ON_UPDATE_COMMAND_UI(ID_GAME_PAUSE, OnUpdatePause)
END_MESSAGE_MAP()

class CGameView : public CView {
    DECLARE_DYNCREATE(CGameView)
public:
    CGameDoc* GetDocument() const { return static_cast<CGameDoc*>(CView::GetDocument()); }

protected:
    CMoxGraphics m_Canvas;
    CBitmap m_Star;
    int m_nTicks = 0;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        // The view's class shows the program's own cursor.
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, AfxGetApp()->LoadCursor(IDC_CROSSHAIR),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        return CView::PreCreateWindow(cs);
    }

    void OnInitialUpdate() override
    {
        m_Canvas.GdiInit();
        m_Canvas.Init(kWidth, kHeight);
        // The back buffer in a memory device context of its own; OnDraw copies it to the view.
        m_Canvas.InitGraphics(static_cast<CPaintDC*>(nullptr));
        m_Star.LoadBitmap(IDB_STAR);
        SetTimer(kTickTimer, 16, nullptr);
        CView::OnInitialUpdate();
    }
    // Printing, as the AppWizard writes it: DoPreparePrinting asks for the printer.
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override { return DoPreparePrinting(pInfo); }
    void OnBeginPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) override {}
    void OnEndPrinting(CDC* /*pDC*/, CPrintInfo* /*pInfo*/) override {}

    void OnDraw(CDC* pDC) override
    {
        const CGameDoc* doc = GetDocument();
        if (!doc)
            return;
        m_Canvas.FillRectangle(0, 0, kWidth, kHeight, 24, 32, 64);
        if (m_Star.GetSafeHandle() && m_Canvas.GetMemDC()) {
            CDC sprites;
            sprites.CreateCompatibleDC(nullptr);
            CBitmap* old = sprites.SelectObject(&m_Star);
            m_Canvas.GetMemDC()->BitBlt(kWidth - 40, 8, 32, 32, &sprites, 0, 0, SRCCOPY);
            sprites.SelectObject(old);
        }
        m_Canvas.FillRectangle(doc->m_nPaddleX, kHeight - 8, kPaddleWidth, 6, 230, 230, 240);
        m_Canvas.FillRectangle(doc->m_nBallX, doc->m_nBallY, kBall, kBall, 250, 200, 40);
        pDC->BitBlt(0, 0, kWidth, kHeight, m_Canvas.GetMemDC(), 0, 0, SRCCOPY);
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent != kTickTimer)
            return;
        if (!g_paused)
            GetDocument()->Step();
        Invalidate(FALSE);
        if (g_framesToRun > 0 && ++m_nTicks == g_framesToRun) {
            KillTimer(kTickTimer);
            UpdateWindow();
            Report();
            GetParentFrame()->PostMessage(WM_CLOSE);
        }
    }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        CGameDoc* doc = GetDocument();
        const int step = 8 * static_cast<int>(nRepCnt ? nRepCnt : 1);
        if (nChar == VK_LEFT)
            doc->m_nPaddleX = doc->m_nPaddleX > step ? doc->m_nPaddleX - step : 0;
        else if (nChar == VK_RIGHT)
            doc->m_nPaddleX = doc->m_nPaddleX + step < kWidth - kPaddleWidth ? doc->m_nPaddleX + step
                                                                             : kWidth - kPaddleWidth;
        else
            CView::OnKeyDown(nChar, nRepCnt, nFlags);
        Invalidate(FALSE);
    }
    // What the view shows now, read back from the window: the ball's and the paddle's colours;
    // then what the bars show: the pause button's left bar and the status line.
    void Report()
    {
        const CGameDoc* doc = GetDocument();
        CClientDC dc(this);
        const COLORREF ball = dc.GetPixel(doc->m_nBallX + kBall / 2, doc->m_nBallY + kBall / 2);
        const COLORREF paddle = dc.GetPixel(doc->m_nPaddleX + 1, kHeight - 5);
        auto* frame = static_cast<CMainFrame*>(GetParentFrame());
        CRect button;
        frame->m_wndToolBar.GetItemRect(frame->m_wndToolBar.CommandToIndex(ID_GAME_PAUSE), &button);
        CClientDC toolDC(&frame->m_wndToolBar);
        // The image (16 x 15) is centred in the button; its first bar spans columns 4 to 6.
        const COLORREF pause = toolDC.GetPixel(button.left + (button.Width() - 16) / 2 + 5, button.CenterPoint().y);
        const bool barsShown = frame->m_wndToolBar.IsWindowVisible() && frame->m_wndStatusBar.IsWindowVisible();
        CString line;
        line.Format(CString("ticks=%d bounces=%d ball=%06X paddle=%06X pause=%06X status=%s bars=%s\n"), m_nTicks,
                    doc->m_nBounces, static_cast<unsigned>(ball), static_cast<unsigned>(paddle),
                    static_cast<unsigned>(pause), static_cast<LPCTSTR>(frame->m_wndStatusBar.GetPaneText(0)),
                    barsShown ? _T("shown") : _T("hidden"));
        std::fputs(CStringA(line), stdout);
        std::fflush(stdout);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CGameView, CView)

BEGIN_MESSAGE_MAP(CGameView, CView)
ON_WM_TIMER()
ON_WM_KEYDOWN()
// Standard printing commands
ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

class CGameApp : public CWinAppEx {
public:
    BOOL InitInstance() override
    {
        CWinAppEx::InitInstance();
        EnableTaskbarInteraction(FALSE);
        SetRegistryKey(CString("MoxImage2 Examples"));
        LoadStdProfileSettings(4); // Load standard INI file options (including MRU)
        CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
        AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CGameDoc), RUNTIME_CLASS(CMainFrame),
                                              RUNTIME_CLASS(CGameView)));
        CGameCommandLineInfo cmdInfo;
        ParseCommandLine(cmdInfo);
        g_framesToRun = cmdInfo.m_nFrames;
        if (!ProcessShellCommand(cmdInfo))
            return FALSE;
        m_pMainWnd->ShowWindow(SW_SHOW);
        m_pMainWnd->UpdateWindow();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGameApp, CWinAppEx)
ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
// Standard print setup command
ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
END_MESSAGE_MAP()

} // namespace

CGameApp theApp;
