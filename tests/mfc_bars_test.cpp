// Tool bars and status bars in a frame, as AppWizard's CMainFrame::OnCreate makes them: where the
// frame lays them out, what a button click sends, how update handlers disable and check buttons,
// and the panes' texts.
#include <gtest/gtest.h>

#include <afxwin.h>
#include <afxext.h>

#include <cstdlib>
#include <string>

#include "tests/resources/resource.h"

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

class CBarFrame : public CFrameWnd {
public:
    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    CWnd m_view;
    int ones = 0, threes = 0, nohandlers = 0;
    BOOL twoEnabled = FALSE;
    int threeCheck = 1;

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override
    {
        if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, AFX_IDW_PANE_FIRST))
            return -1;
        if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                                   WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                       CBRS_SIZE_DYNAMIC) ||
            !m_wndToolBar.LoadToolBar(IDR_TOOLBAR))
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
        if (!m_wndStatusBar.Create(this) ||
            !m_wndStatusBar.SetIndicators(indicators, sizeof(indicators) / sizeof(UINT)))
            return -1;
        m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_wndToolBar);
        return 0;
    }
    void OnOne() { ++ones; }
    void OnThree() { ++threes; }
    void OnTwo() {}
    void OnUpdateTwo(CCmdUI* pCmdUI) { pCmdUI->Enable(twoEnabled); }
    void OnUpdateThree(CCmdUI* pCmdUI) { pCmdUI->SetCheck(threeCheck); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
ON_WM_CREATE()
ON_COMMAND(ID_BAR_ONE, OnOne)
ON_COMMAND(ID_BAR_TWO, OnTwo)
ON_COMMAND(ID_BAR_THREE, OnThree)
ON_UPDATE_COMMAND_UI(ID_BAR_TWO, OnUpdateTwo)
ON_UPDATE_COMMAND_UI(ID_BAR_THREE, OnUpdateThree)
END_MESSAGE_MAP()

struct FrameFixture : ::testing::Test {
    CBarFrame* frame = new CBarFrame;
    void SetUp() override
    {
        ASSERT_TRUE(frame->Create(nullptr, _T("Bars"), WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
    }
    void TearDown() override
    {
        if (frame->m_hWnd)
            frame->DestroyWindow(); // deletes the frame
    }
    CRect ChildRect(CWnd& child)
    {
        CRect rc;
        child.GetWindowRect(&rc);
        frame->ScreenToClient(&rc.TopLeft());
        frame->ScreenToClient(&rc.BottomRight());
        return rc;
    }
    void Click(CToolBar& bar, UINT id, bool releaseInside = true)
    {
        CRect rc;
        bar.GetItemRect(bar.CommandToIndex(id), &rc);
        const LPARAM at = MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y);
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        bar.SendMessage(WM_LBUTTONUP, 0, releaseInside ? at : MAKELPARAM(rc.right + 40, rc.CenterPoint().y));
    }
};

// MFC's layout: the tool bar along the top of the client area, the status bar along its bottom,
// the view (AFX_IDW_PANE_FIRST) in between; a hidden bar gives its room back to the view.
TEST_F(FrameFixture, RecalcLayoutPlacesBarsAndTheViewBetweenThem)
{
    frame->RecalcLayout();
    CRect client;
    frame->GetClientRect(&client);
    const CRect tool = ChildRect(frame->m_wndToolBar), status = ChildRect(frame->m_wndStatusBar),
                view = ChildRect(frame->m_view);
    // LoadToolBar: buttons 7 pixels larger than the 16 x 15 images, 2-pixel borders above and below.
    EXPECT_EQ(tool, CRect(0, 0, client.right, 26));
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.right, client.right);
    EXPECT_GE(status.Height(), 20);
    EXPECT_EQ(view, CRect(0, 26, client.right, status.top));

    frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR); // View > Toolbar hides it
    EXPECT_FALSE(frame->m_wndToolBar.IsVisible());
    EXPECT_EQ(ChildRect(frame->m_view).top, 0);
    frame->ShowControlBar(&frame->m_wndToolBar, TRUE, FALSE);
    EXPECT_EQ(ChildRect(frame->m_view).top, 26);
    frame->ShowControlBar(&frame->m_wndStatusBar, FALSE, FALSE);
    EXPECT_EQ(ChildRect(frame->m_view).bottom, client.bottom);
}

TEST_F(FrameFixture, ToolBarButtonsComeFromTheResourceInOrder)
{
    CToolBar& bar = frame->m_wndToolBar;
    ASSERT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.GetItemID(0), static_cast<UINT>(ID_BAR_ONE));
    EXPECT_EQ(bar.GetButtonStyle(1) & TBBS_SEPARATOR, static_cast<UINT>(TBBS_SEPARATOR));
    EXPECT_EQ(bar.CommandToIndex(ID_BAR_THREE), 3);
    EXPECT_EQ(bar.CommandToIndex(ID_BAR_NOHANDLER), -1);
    CRect one, sep, two;
    bar.GetItemRect(0, &one);
    bar.GetItemRect(1, &sep);
    bar.GetItemRect(2, &two);
    EXPECT_EQ(one.Size(), CSize(23, 22));
    EXPECT_EQ(sep.left, one.right);
    EXPECT_EQ(two.left, sep.right);
    EXPECT_GT(sep.Width(), 0);
    EXPECT_LT(sep.Width(), one.Width());
}

// The TOOLBAR resource as either resource compiler writes it: Microsoft's 16-bit words after a
// version of 1 (the layout MFC reads) and MinGW's windres 32-bit words with no version (what the
// Windows build of these tests carries). A count beyond the data, or no resource, is refused.
TEST_F(FrameFixture, ToolBarResourcesOfEitherCompilerLoad)
{
    struct Case {
        UINT id;
        BOOL loads;
    };
    const Case cases[] = {{IDR_TOOLBAR_WORDS, TRUE}, {IDR_TOOLBAR_DWORDS, TRUE}, {IDR_TOOLBAR_SHORT, FALSE}, {999, FALSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CToolBar bar;
        ASSERT_TRUE(bar.Create(frame, WS_CHILD | CBRS_TOP, AFX_IDW_CONTROLBAR_FIRST + 40));
        EXPECT_EQ(bar.LoadToolBar(c.id), c.loads);
        if (!c.loads)
            continue;
        ASSERT_EQ(bar.GetCount(), 3);
        EXPECT_EQ(bar.GetItemID(0), static_cast<UINT>(ID_BAR_THREE));
        EXPECT_EQ(bar.GetButtonStyle(1) & TBBS_SEPARATOR, static_cast<UINT>(TBBS_SEPARATOR));
        EXPECT_EQ(bar.GetItemID(2), static_cast<UINT>(ID_BAR_ONE));
        CRect rc;
        bar.GetItemRect(0, &rc);
        EXPECT_EQ(rc.Size(), CSize(19, 22)); // 12 x 15 images
    }
}

// A click is a command to the frame (WM_COMMAND with the button's id) when the button goes down
// and comes up over the same enabled button.
TEST_F(FrameFixture, ClickingAButtonSendsItsCommand)
{
    CToolBar& bar = frame->m_wndToolBar;
    Click(bar, ID_BAR_ONE);
    EXPECT_EQ(frame->ones, 1);
    Click(bar, ID_BAR_ONE, false); // released elsewhere: no command
    EXPECT_EQ(frame->ones, 1);
    Click(bar, ID_BAR_THREE);
    EXPECT_EQ(frame->threes, 1);
    EXPECT_EQ(::GetCapture(), nullptr);
}

// Idle time asks the update handlers: OnUpdateTwo disables ID_BAR_TWO (and its clicks), the
// check state shows, and a button no target handles stays enabled only without auto-disable.
TEST_F(FrameFixture, UpdateHandlersDisableAndCheckButtons)
{
    CToolBar& bar = frame->m_wndToolBar;
    const int two = bar.CommandToIndex(ID_BAR_TWO), three = bar.CommandToIndex(ID_BAR_THREE);
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    EXPECT_TRUE(bar.GetButtonStyle(two) & TBBS_DISABLED);
    EXPECT_TRUE(bar.GetButtonStyle(three) & TBBS_CHECKED);
    EXPECT_FALSE(bar.GetButtonStyle(bar.CommandToIndex(ID_BAR_ONE)) & TBBS_DISABLED);

    frame->twoEnabled = TRUE;
    frame->threeCheck = 0;
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    EXPECT_FALSE(bar.GetButtonStyle(two) & TBBS_DISABLED);
    EXPECT_FALSE(bar.GetButtonStyle(three) & TBBS_CHECKED);

    // A button whose command nobody handles is disabled by the idle update.
    bar.SetButtonInfo(0, ID_BAR_NOHANDLER, TBBS_BUTTON, 0);
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    EXPECT_TRUE(bar.GetButtonStyle(0) & TBBS_DISABLED);
    frame->ones = 0;
    bar.SetButtonInfo(0, ID_BAR_ONE, TBBS_DISABLED, 0);
    Click(bar, ID_BAR_ONE);
    EXPECT_EQ(frame->ones, 0);
}

// The panes: the message pane shows "Ready" (the framework's idle message) and stretches; the
// indicators' texts come from the string table (NUM here) or the framework's own (CAP, SCRL).
// MFC: the key indicators' update handlers enable a pane exactly while its key is on.
TEST_F(FrameFixture, StatusBarPanesShowTheirTexts)
{
    CStatusBar& bar = frame->m_wndStatusBar;
    ASSERT_EQ(bar.GetCount(), 4);
    struct Case {
        int index;
        UINT id;
        const char* text;
    };
    const Case cases[] = {{0, ID_SEPARATOR, "Ready"},
                          {1, ID_INDICATOR_CAPS, "CAP"},
                          {2, ID_INDICATOR_NUM, "NUMERIC"},
                          {3, ID_INDICATOR_SCRL, "SCRL"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(bar.GetItemID(c.index), c.id);
        EXPECT_EQ(bar.GetPaneText(c.index), CString(c.text));
        if (c.id != ID_SEPARATOR) {
            EXPECT_EQ(bar.CommandToIndex(c.id), c.index);
        }
    }
    frame->SetMessageText(_T("Saving"));
    EXPECT_EQ(bar.GetPaneText(0), CString("Saving"));
    frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(bar.GetPaneText(0), CString("Ready"));
    EXPECT_TRUE(bar.SetPaneText(2, _T("x")));
    EXPECT_EQ(bar.GetPaneText(2), CString("x"));
    EXPECT_FALSE(bar.SetPaneText(9, _T("x")));

    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    const bool capsOn = (::GetKeyState(VK_CAPITAL) & 1) != 0;
    EXPECT_EQ((bar.GetPaneStyle(1) & SBPS_DISABLED) == 0, capsOn);

    // Panes from left to right inside the bar, the message pane taking the spare width.
    frame->RecalcLayout();
    CRect client, previous;
    bar.GetClientRect(&client);
    for (int i = 0; i < bar.GetCount(); ++i) {
        CRect rc;
        bar.GetItemRect(i, &rc);
        EXPECT_FALSE(rc.IsRectEmpty()) << i;
        EXPECT_LE(rc.right, client.right) << i;
        if (i > 0) {
            EXPECT_GE(rc.left, previous.right) << i;
        }
        previous = rc;
    }
    CRect message, caps;
    bar.GetItemRect(0, &message);
    bar.GetItemRect(1, &caps);
    EXPECT_GT(message.Width(), caps.Width());

    // An id with no string fails, as MFC's does.
    static const UINT unknown[] = {ID_SEPARATOR, 0x7123};
    EXPECT_FALSE(bar.SetIndicators(unknown, 2));
}

} // namespace
