// A dialog-based MFC program in the AppWizard's style: the application's InitInstance shows the
// main dialog with DoModal as its main window and returns FALSE, and the program ends when the
// dialog closes. The dialog draws a small game with the library's canvas in its client area
// beside its controls: a player name and a speed bound with DDX/DDV, a "Fast ball" check box, a
// Pause button, an About box (CAboutDlg, IDD_ABOUTBOX) and OK/Cancel. The same source builds
// with MFC on Windows.
//
//   mfc_dialog_game [/frames:N]    ends by itself with IDOK after N timer ticks (for headless
//                                  runs), printing what the dialog last showed
#include <afxdialogex.h>
#include <afxwin.h>

#include <MoxImage2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resource.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr int kBall = 8;
constexpr int kPaddleWidth = 40;
int g_framesToRun = 0;

// --- The About box, as the AppWizard writes it ------------------------------------------------------

class CAboutDlg : public CDialogEx {
public:
    CAboutDlg() : CDialogEx(IDD_ABOUTBOX) {}

    enum { IDD = IDD_ABOUTBOX };

protected:
    void DoDataExchange(CDataExchange* pDX) override { CDialogEx::DoDataExchange(pDX); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAboutDlg, CDialogEx)
END_MESSAGE_MAP()

// --- The main dialog --------------------------------------------------------------------------------

class CGameDlg : public CDialogEx {
public:
    explicit CGameDlg(CWnd* pParent = nullptr) : CDialogEx(IDD_MFC_DIALOG_GAME_DIALOG, pParent)
    {
        m_hIcon = ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
    }

    enum { IDD = IDD_MFC_DIALOG_GAME_DIALOG };

    CString m_strPlayer = _T("Player");
    int m_nSpeed = 3;
    BOOL m_bFast = FALSE;

protected:
    HICON m_hIcon = nullptr;
    CButton m_btnPause;
    CMoxGraphics m_Canvas;
    CRect m_rcGame; // where the game is drawn, in client pixels
    int m_nBallX = 20, m_nBallY = 20, m_nStepX = 1, m_nStepY = 1;
    int m_nPaddleX = 0;
    int m_nScore = 0;
    int m_nTicks = 0;
    bool m_bPaused = false;

    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialogEx::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_PAUSE, m_btnPause);
        DDX_Text(pDX, IDC_PLAYER, m_strPlayer);
        DDV_MaxChars(pDX, m_strPlayer, 16);
        DDX_Text(pDX, IDC_SPEED, m_nSpeed);
        DDV_MinMaxInt(pDX, m_nSpeed, 1, 9);
        DDX_Check(pDX, IDC_FAST, m_bFast);
    }

    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();

        // Add "About..." menu item to system menu.
        // IDM_ABOUTBOX must be in the system command range.
        ASSERT((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX);
        ASSERT(IDM_ABOUTBOX < 0xF000);
        CMenu* pSysMenu = GetSystemMenu(FALSE);
        if (pSysMenu != nullptr) {
            CString strAboutMenu;
            if (strAboutMenu.LoadString(IDS_ABOUTBOX) && !strAboutMenu.IsEmpty()) {
                pSysMenu->AppendMenu(MF_SEPARATOR);
                pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
            }
        }

        // Set the icon for this dialog. The framework does this automatically when the
        // application's main window is not a dialog.
        SetIcon(m_hIcon, TRUE);  // Set big icon
        SetIcon(m_hIcon, FALSE); // Set small icon

        // The game's area below its label, from dialog units to pixels. No control lies over it:
        // the dialog paints it itself.
        m_rcGame.SetRect(7, 14, 221, 163);
        MapDialogRect(&m_rcGame);
        m_Canvas.GdiInit();
        m_Canvas.Init(m_rcGame.Width(), m_rcGame.Height());
        m_Canvas.InitGraphics(static_cast<CPaintDC*>(nullptr));
        m_nPaddleX = (m_rcGame.Width() - kPaddleWidth) / 2;
        DrawGame();
        SetTimer(kTickTimer, 16, nullptr);
        return TRUE; // return TRUE unless you set the focus to a control
    }

    // The canvas's back buffer: sky, a row of bricks, the paddle and the ball.
    void DrawGame()
    {
        const int w = m_rcGame.Width();
        const int h = m_rcGame.Height();
        m_Canvas.FillRectangle(0, 0, w, h, 24, 32, 64);
        for (int i = 0; i < 8; ++i)
            m_Canvas.FillRectangle(4 + i * (w - 8) / 8, 6, (w - 8) / 8 - 3, 8, static_cast<unsigned char>(90 + i * 20),
                                   60, 160);
        m_Canvas.FillRectangle(m_nPaddleX, h - 10, kPaddleWidth, 6, 230, 230, 240);
        m_Canvas.FillRectangle(m_nBallX, m_nBallY, kBall, kBall, 250, 200, 40);
    }

    void Step()
    {
        const int w = m_rcGame.Width();
        const int h = m_rcGame.Height();
        const int speed = m_nSpeed * (m_bFast ? 2 : 1);
        for (int i = 0; i < speed; ++i) {
            m_nBallX += m_nStepX;
            m_nBallY += m_nStepY;
            if (m_nBallX <= 0 || m_nBallX + kBall >= w)
                m_nStepX = -m_nStepX;
            if (m_nBallY <= 16)
                m_nStepY = 1;
            if (m_nBallY + kBall >= h - 10) {
                m_nStepY = -1;
                ++m_nScore;
            }
        }
        // The paddle follows the ball.
        m_nPaddleX = m_nBallX + kBall / 2 - kPaddleWidth / 2;
        if (m_nPaddleX < 0)
            m_nPaddleX = 0;
        if (m_nPaddleX > w - kPaddleWidth)
            m_nPaddleX = w - kPaddleWidth;
    }

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam)
    {
        if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
            CAboutDlg dlgAbout;
            dlgAbout.DoModal();
        } else {
            CDialogEx::OnSysCommand(nID, lParam);
        }
    }

    // If you add a minimize button to your dialog, you will need the code below to draw the
    // icon; here the game is drawn instead.
    afx_msg void OnPaint()
    {
        CPaintDC dc(this); // device context for painting
        DrawGame();
        dc.BitBlt(m_rcGame.left, m_rcGame.top, m_rcGame.Width(), m_rcGame.Height(), m_Canvas.GetMemDC(), 0, 0, SRCCOPY);
    }

    // The system calls this function to obtain the cursor to display while the user drags the
    // minimized window.
    afx_msg HCURSOR OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent != kTickTimer) {
            CDialogEx::OnTimer(nIDEvent);
            return;
        }
        if (!m_bPaused) {
            Step();
            InvalidateRect(&m_rcGame, FALSE);
            CString score;
            score.Format(_T("Score: %d"), m_nScore);
            SetDlgItemText(IDC_SCORE, score);
        }
        if (g_framesToRun > 0 && ++m_nTicks == g_framesToRun) {
            KillTimer(kTickTimer);
            UpdateWindow();
            Report();
            OnOK();
        }
    }

    afx_msg void OnPause()
    {
        m_bPaused = !m_bPaused;
        m_btnPause.SetWindowText(m_bPaused ? _T("&Resume") : _T("&Pause"));
    }

    afx_msg void OnFast() { UpdateData(TRUE); }

    afx_msg void OnAbout()
    {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    }

    // What the dialog shows now, read back from its window: the ball's colour, and the face of
    // the OK button beside the game.
    void Report()
    {
        CClientDC dc(this);
        const COLORREF ball = dc.GetPixel(m_rcGame.left + m_nBallX + kBall / 2, m_rcGame.top + m_nBallY + kBall / 2);
        CRect ok;
        GetDlgItem(IDOK)->GetWindowRect(&ok);
        ScreenToClient(&ok.TopLeft());
        const COLORREF button = dc.GetPixel(ok.left + 4, ok.top + 4);
        CString line;
        line.Format(_T("ticks=%d score=%d ball=%06X button=%06X player=%s\n"), m_nTicks, m_nScore,
                    static_cast<unsigned>(ball), static_cast<unsigned>(button), static_cast<LPCTSTR>(m_strPlayer));
        std::fputs(CStringA(line), stdout);
        std::fflush(stdout);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGameDlg, CDialogEx)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_TIMER()
ON_BN_CLICKED(IDC_PAUSE, OnPause)
ON_BN_CLICKED(IDC_FAST, OnFast)
ON_BN_CLICKED(IDC_ABOUT, OnAbout)
END_MESSAGE_MAP()

// --- The application ------------------------------------------------------------------------------

class CGameApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        CWinApp::InitInstance();
        // /frames:N, for runs without a user.
        if (m_lpCmdLine && std::strncmp(m_lpCmdLine, "/frames:", 8) == 0)
            g_framesToRun = std::atoi(m_lpCmdLine + 8);

        CGameDlg dlg;
        m_pMainWnd = &dlg;
        const INT_PTR nResponse = dlg.DoModal();
        if (nResponse == IDOK) {
            // The dialog was dismissed with OK: its data is saved in dlg's members.
        } else if (nResponse == -1) {
            std::fputs("Warning: dialog creation failed, so the application is terminating unexpectedly.\n", stderr);
        }
        // Since the dialog has been closed, return FALSE so that we exit the application, rather
        // than start the application's message pump.
        return FALSE;
    }
};

} // namespace

CGameApp theApp;
