// A host written as an MFC program: one global application object, no main, a frame window
// whose message map takes an image button's click through ON_COMMAND. The same source builds
// against MFC on Windows.
//
// It presses and releases the mouse over the button through posted window messages; the click
// closes the main window, which ends the program with exit code 0. If the click never comes, a
// timer ends it with exit code 3.
#include <afxwin.h>

#include <MoxImage2.h>

#include <cstdio>
#include <vector>

namespace {

constexpr UINT kIdPlay = 1001;
constexpr UINT_PTR kTimerGiveUp = 1;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame()
    {
        std::vector<unsigned char> pixels(40 * 20 * 3, 0x60);
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = 40;
        bmi.bmiHeader.biHeight = 20;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 24;
        m_Look.Init(pixels.data(), static_cast<int>(pixels.size()), bmi, 0);
    }

    int m_Clicks = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        m_Play.Init(this, kIdPlay, 10, 10, &m_Look, &m_Look, &m_Look, &m_Look);
        SetTimer(kTimerGiveUp, 5000, nullptr);
        return 0;
    }
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point) { m_Play.OnMouseDown(point.x, point.y); }
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point) { m_Play.OnMouseUp(point.x, point.y); }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent == kTimerGiveUp)
            PostQuitMessage(3);
    }
    afx_msg void OnPlay()
    {
        ++m_Clicks;
        std::printf("host: button %u clicked\n", kIdPlay);
        DestroyWindow();
    }
    DECLARE_MESSAGE_MAP()

private:
    CMoxBitmap m_Look;
    CMoxButton m_Play;
};

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
ON_COMMAND(kIdPlay, OnPlay)
END_MESSAGE_MAP()

class CHostApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        CMoxGraphics canvas;
        canvas.GdiInit();
        CMainFrame* frame = new CMainFrame;
        if (!frame->Create(nullptr, "MFC host", WS_OVERLAPPEDWINDOW, CRect(0, 0, 320, 200)))
            return FALSE;
        m_pMainWnd = frame;
        frame->ShowWindow(m_nCmdShow);
        frame->UpdateWindow();
        // A click on the button, as the mouse would make it.
        frame->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
        frame->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 15));
        return TRUE;
    }
};

} // namespace

CHostApp theApp;
