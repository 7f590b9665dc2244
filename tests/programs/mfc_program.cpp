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

        CFrameWnd* frame = new CFrameWnd;
        m_pMainWnd = frame;
        if (!frame->Create(NULL, _T("Caf\u00e9 \u263a")))
            return 13;
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

        LPCTSTR className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
        CWnd child;
        if (!className || !child.CreateEx(0, className, _T("view"), WS_CHILD, CRect(0, 0, 40, 30), frame, 1))
            return 16;
        CWnd other;
        if (!other.CreateEx(0, NULL, NULL, WS_POPUP, 0, 0, 8, 8, NULL, NULL))
            return 17;
        other.DestroyWindow();

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
