// An MFC program as the project wizard writes one: the MFC umbrella headers, an application
// object, a frame window with generic-text titles, and the library's canvas. Built narrow and
// with UNICODE/_UNICODE against the one narrow MFC; exits with 42 when every call took and gave
// back its text (a code naming the first difference otherwise).
#include <SDKDDKVer.h>

#include <afxcmn.h>
#include <afxcontrolbars.h>
#include <afxdialogex.h>
#include <afxdisp.h>
#include <afxext.h>
#include <afxwin.h>
#include <afxwinappex.h>
#include <tchar.h>

#include <MoxImage2.h>

#include <cstring>
#include <cwchar>

// A frame as programs derive one: its overrides of the virtuals whose names are the SDK's A/W
// macros (DefWindowProc) are called in either build, and the bases they call exist.
class CGameFrame : public CFrameWnd {
public:
    int m_nDefaults = 0;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        if (!CFrameWnd::PreCreateWindow(cs))
            return FALSE;
        cs.style &= ~WS_MAXIMIZEBOX;
        // The wizard's own class for its window, in either build.
        cs.lpszClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), NULL);
        return TRUE;
    }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP + 5)
            return 77 + ++m_nDefaults - 1;
        return CFrameWnd::DefWindowProc(message, wParam, lParam);
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        return CFrameWnd::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGameFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

// A command line parsed through the program's own override, in the build's characters.
class CLevelInfo : public CCommandLineInfo {
public:
    CString flags;
    void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast) override
    {
        if (bFlag)
            flags += pszParam;
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    }
};

class CGameApp : public CWinApp {
public:
    CGameApp() : CWinApp(_T("Sprite Game")) {}

    BOOL InitInstance() override
    {
        m_nResult = Check();
        if (m_nResult != 42)
            _tprintf(_T("mfc_program: check %d failed\n"), m_nResult);
        if (m_pMainWnd)
            m_pMainWnd->DestroyWindow();
        m_pMainWnd = nullptr;
        return FALSE;
    }
    int ExitInstance() override { return m_nResult; }

private:
    int Check()
    {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        if (!InitCommonControlsEx(&icc))
            return 10;
        AfxEnableControlContainer();
        if (!AfxOleInit())
            return 11;
        if (std::strcmp(m_pszAppName, "Sprite Game") != 0)
            return 12;

        CGameFrame* frame = new CGameFrame;
        m_pMainWnd = frame;
        if (!frame->Create(NULL, _T("Caf\u00e9 \u263a")))
            return 13;
        if (frame->GetStyle() & WS_MAXIMIZEBOX)
            return 20;
        if (frame->SendMessage(WM_APP + 5) != 77 || frame->m_nDefaults != 1)
            return 21;
        TCHAR title[32];
        LPCTSTR expected = _T("Caf\u00e9 \u263a"); // 6 wide units, 9 UTF-8 bytes
        if (frame->GetWindowText(title, 32) != static_cast<int>(_tcslen(expected)) || _tcscmp(title, expected) != 0)
            return 14;
        frame->SetWindowText(_T("Score: 10"));
        TCHAR small[4];
        if (frame->GetWindowText(small, 4) != 3 || _tcscmp(small, _T("Sco")) != 0)
            return 15;

        // The W functions in either build: wide units, cut to the buffer and terminated.
        wchar_t wide[3];
        if (!::SetWindowTextW(frame->m_hWnd, L"\u00e9t\u00e9") || ::GetWindowTextW(frame->m_hWnd, wide, 3) != 2 ||
            std::wcscmp(wide, L"\u00e9t") != 0)
            return 19;

        // A message with text carries the build's own characters.
        LPCTSTR sent = _T("Sent \u00e9");
        frame->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sent));
        if (frame->GetWindowText(title, 32) != static_cast<int>(_tcslen(sent)) || _tcscmp(title, sent) != 0)
            return 22;
        if (!frame->PostMessage(WM_NULL) || _tcscmp(AfxGetAppName(), _T("Sprite Game")) != 0)
            return 23;
        // CString where the SDK takes LPCTSTR, and members named by the SDK's A/W macros.
        const CString score(_T("Score \u00e9"));
        frame->SetWindowText(score);
        if (frame->GetWindowText(title, 32) != score.GetLength() || score != title)
            return 25;
        CMenu menu;
        if (menu.LoadMenu(999) || !menu.CreatePopupMenu() || !menu.AppendMenu(MF_STRING, 7, score) ||
            menu.GetMenuString(7, title, 32, MF_BYCOMMAND) != score.GetLength())
            return 26;
        CBitmap bitmap;
        BITMAP bm{};
        if (!bitmap.CreateBitmap(5, 3, 1, 1, nullptr) || bitmap.GetObject(sizeof bm, &bm) != sizeof bm ||
            bm.bmWidth != 5)
            return 24;

        LPCTSTR className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
        CWnd child;
        if (!className || !child.CreateEx(0, className, _T("view"), WS_CHILD, CRect(0, 0, 40, 30), frame, 1))
            return 16;
        CWnd other;
        if (!other.CreateEx(0, NULL, NULL, WS_POPUP, 0, 0, 8, 8, NULL, NULL))
            return 17;
        other.DestroyWindow();

        // CString forms of the title and of text drawing; a top-level window centred on the screen.
        CString read;
        if (frame->GetWindowText(read) != score.GetLength() || read != score)
            return 28;
        CClientDC dc(frame);
        if (!dc.TextOut(1, 1, score) || dc.GetTextExtent(score).cx <= 0)
            return 29;
        frame->SetWindowPos(nullptr, 0, 0, 100, 80, SWP_NOZORDER);
        frame->CenterWindow();
        CRect placed;
        frame->GetWindowRect(&placed);
        if (placed.left != (::GetSystemMetrics(SM_CXSCREEN) - 100) / 2 || placed.Width() != 100)
            return 30;

        // Run as `program /level 3`.
        CLevelInfo info;
        ParseCommandLine(info);
        if (info.flags != CString(_T("level")) || info.m_strFileName != "3")
            return 27;

        CMoxGraphics canvas;
        canvas.GdiInit();
        if (!canvas.Init(40, 30))
            return 18;
        canvas.FillRectangle(0, 0, 40, 30, 1, 2, 3);
        return 42;
    }

    int m_nResult = 0;
};

CGameApp theApp;
