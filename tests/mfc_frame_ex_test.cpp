// The newer AppWizard frame's extras: registered messages and their message-map entries, the
// tool bar pane and its customize button, panes docked in order, user tool bars, the menu bar,
// the context menu manager and CWinAppEx's workspace settings.
#include <gtest/gtest.h>

#include <afxwin.h>
#include <afxcontrolbars.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/resources/frame_ex_ids.h"

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

// Windows: RegisterWindowMessage gives ids from 0xC000 to 0xFFFF, the same id for the same name
// in any case (names are atoms, which ignore case), and 0 for no name (MSDN
// RegisterWindowMessage; user32 tests/msg.c calls 0xC000 the lowest such id).
TEST(RegisteredMessages, SameNameSameIdInTheRange)
{
    const UINT a = RegisterWindowMessageA("MoxFrameExTest.Alpha");
    const UINT b = RegisterWindowMessageA("MoxFrameExTest.Beta");
    ASSERT_GE(a, 0xC000u);
    ASSERT_LE(a, 0xFFFFu);
    ASSERT_GE(b, 0xC000u);
    EXPECT_NE(a, b);
    struct Case {
        const char* name;
        UINT expected;
    } cases[] = {{"MoxFrameExTest.Alpha", a}, {"moxframeextest.ALPHA", a}, {"MoxFrameExTest.Beta", b}};
    for (const Case& c : cases)
        EXPECT_EQ(RegisterWindowMessageA(c.name), c.expected) << c.name;
    EXPECT_EQ(RegisterWindowMessageW(L"MoxFrameExTest.Alpha"), a);
    EXPECT_EQ(RegisterWindowMessageA(nullptr), 0u);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
    EXPECT_NE(AFX_WM_CREATETOOLBAR, 0u);
}

const UINT kPing = RegisterWindowMessageA("MoxFrameExTest.Ping");
const UINT kPong = RegisterWindowMessageA("MoxFrameExTest.Pong");

class CPingWnd : public CWnd {
public:
    WPARAM lastW = 0;
    LPARAM lastL = 0;
    int pings = 0;
    LRESULT OnPing(WPARAM w, LPARAM l)
    {
        ++pings;
        lastW = w;
        lastL = l;
        return 0x1234;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPingWnd, CWnd)
ON_REGISTERED_MESSAGE(kPing, &CPingWnd::OnPing)
END_MESSAGE_MAP()

class CPongWnd : public CPingWnd {
public:
    int pongs = 0;
    LRESULT OnPong(WPARAM, LPARAM)
    {
        ++pongs;
        return 7;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPongWnd, CPingWnd)
ON_REGISTERED_MESSAGE(kPong, &CPongWnd::OnPong)
END_MESSAGE_MAP()

// MSDN ON_REGISTERED_MESSAGE: the handler gets the registered message's wParam and lParam and its
// result is the message's; a base class's entries still answer.
TEST(RegisteredMessages, MessageMapDispatchesByTheVariablesId)
{
    CPongWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "ping", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(::SendMessageA(wnd.m_hWnd, kPing, 5, 6), 0x1234);
    EXPECT_EQ(wnd.pings, 1);
    EXPECT_EQ(wnd.lastW, 5u);
    EXPECT_EQ(wnd.lastL, 6);
    EXPECT_EQ(::SendMessageA(wnd.m_hWnd, kPong, 0, 0), 7);
    EXPECT_EQ(wnd.pongs, 1);
    const UINT other = RegisterWindowMessageA("MoxFrameExTest.Unhandled");
    EXPECT_EQ(::SendMessageA(wnd.m_hWnd, other, 0, 0), 0);
    EXPECT_EQ(wnd.pings, 1);
    wnd.DestroyWindow();
}

class CExFrame : public CFrameWndEx {
public:
    CMFCToolBar m_bar1, m_bar2, m_bottom;
    CWnd m_view;
    int ones = 0, customizes = 0;
    bool withBars = true;

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override
    {
        if (CFrameWndEx::OnCreate(lpCreateStruct) == -1)
            return -1;
        if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, AFX_IDW_PANE_FIRST))
            return -1;
        if (!withBars)
            return 0;
        if (!m_bar1.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(1, 1, 1, 1),
                             AFX_IDW_TOOLBAR) ||
            !m_bar1.LoadToolBar(IDR_EX_TOOLBAR))
            return -1;
        if (!m_bar2.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(1, 1, 1, 1),
                             AFX_IDW_TOOLBAR + 1) ||
            !m_bar2.LoadToolBar(IDR_EX_TOOLBAR))
            return -1;
        if (!m_bottom.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(1, 1, 1, 1),
                               AFX_IDW_TOOLBAR + 2) ||
            !m_bottom.LoadToolBar(IDR_EX_TOOLBAR))
            return -1;
        EnableDocking(CBRS_ALIGN_ANY);
        DockPane(&m_bar1);
        DockPane(&m_bar2);
        DockPane(&m_bottom, AFX_IDW_DOCKBAR_BOTTOM);
        return 0;
    }
    void OnOne() { ++ones; }
    void OnCustomize() { ++customizes; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CExFrame, CFrameWndEx)
ON_COMMAND(ID_EX_ONE, &CExFrame::OnOne)
ON_COMMAND(ID_EX_CUSTOMIZE, &CExFrame::OnCustomize)
END_MESSAGE_MAP()

CExFrame* MakeFrame(bool withBars = true)
{
    auto* frame = new CExFrame;
    frame->withBars = withBars;
    if (!frame->Create(nullptr, "frame ex", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300))) {
        delete frame;
        return nullptr;
    }
    return frame;
}

CRect ChildRect(CWnd& frame, CWnd& child)
{
    CRect rc;
    child.GetWindowRect(&rc);
    frame.ScreenToClient(&rc);
    return rc;
}

void Click(CWnd& wnd, CPoint at)
{
    const LPARAM where = MAKELPARAM(at.x, at.y);
    ::SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::SendMessageA(wnd.m_hWnd, WM_LBUTTONUP, 0, where);
}

// MSDN CMFCToolBar::LoadToolBar and EnableCustomizeButton: the TOOLBAR resource gives the
// buttons (a separator included); the customize button comes last and sends its command.
TEST(MfcToolBarPane, ButtonsFromTheResourceAndTheCustomizeButton)
{
    CExFrame* frame = MakeFrame();
    ASSERT_NE(frame, nullptr);
    CMFCToolBar& bar = frame->m_bar1;
    ASSERT_EQ(bar.GetCount(), 3);
    const UINT ids[] = {ID_EX_ONE, ID_SEPARATOR, ID_EX_TWO};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar.GetItemID(i), ids[i]) << i;
    bar.EnableCustomizeButton(TRUE, ID_EX_CUSTOMIZE, CString(_T("Customize...")));
    ASSERT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.GetItemID(3), static_cast<UINT>(ID_EX_CUSTOMIZE));
    EXPECT_TRUE(bar.IsExistCustomizeButton());
    CRect rc;
    bar.GetItemRect(3, &rc);
    Click(bar, rc.CenterPoint());
    EXPECT_EQ(frame->customizes, 1);
    bar.GetItemRect(0, &rc);
    Click(bar, rc.CenterPoint());
    EXPECT_EQ(frame->ones, 1);
    bar.EnableCustomizeButton(FALSE, ID_EX_CUSTOMIZE, CString());
    EXPECT_EQ(bar.GetCount(), 3);
    bar.SetPaneStyle(bar.GetPaneStyle() | CBRS_TOOLTIPS);
    EXPECT_TRUE(bar.GetPaneStyle() & CBRS_TOOLTIPS);
    frame->DestroyWindow();
}

// Docked panes stack from the frame's edge inwards in the order docked (the first docked tool
// bar outermost), and the view takes what is left; docking one again moves it innermost.
TEST(MfcDocking, PanesLaidOutInDockingOrderAndTheViewShrinks)
{
    CExFrame* frame = MakeFrame();
    ASSERT_NE(frame, nullptr);
    CRect client;
    frame->GetClientRect(&client);
    CRect one = ChildRect(*frame, frame->m_bar1), two = ChildRect(*frame, frame->m_bar2);
    CRect bottom = ChildRect(*frame, frame->m_bottom), view = ChildRect(*frame, frame->m_view);
    EXPECT_EQ(one.top, 0);
    EXPECT_GT(one.Height(), 0);
    EXPECT_EQ(two.top, one.bottom);
    EXPECT_EQ(view.top, two.bottom);
    EXPECT_EQ(bottom.bottom, client.bottom);
    EXPECT_EQ(view.bottom, bottom.top);
    EXPECT_EQ(frame->GetDockingManager()->GetPaneCount(), 3);
    EXPECT_EQ(frame->GetDockingManager()->GetPane(0), &frame->m_bar1);

    frame->DockPane(&frame->m_bar1); // now after the second
    one = ChildRect(*frame, frame->m_bar1);
    two = ChildRect(*frame, frame->m_bar2);
    EXPECT_EQ(two.top, 0);
    EXPECT_EQ(one.top, two.bottom);
    EXPECT_EQ(ChildRect(*frame, frame->m_view).top, one.bottom);

    frame->ShowPane(&frame->m_bar2, FALSE, FALSE, FALSE);
    EXPECT_EQ(ChildRect(*frame, frame->m_bar1).top, 0);
    frame->DestroyWindow();
}

// The pane menu lists the named bars, checked while shown, then the customize command; a
// tool bar's buttons move along it (Alt + drag) or leave it, the customize button staying last.
TEST(MfcDocking, PaneMenuAndMovedButtons)
{
    CExFrame* frame = MakeFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->CreatePaneMenu(), nullptr); // not enabled
    ::SetWindowTextA(frame->m_bar1.m_hWnd, "Standard");
    ::SetWindowTextA(frame->m_bar2.m_hWnd, "Extra");
    frame->ShowPane(&frame->m_bar2, FALSE, FALSE, FALSE);
    frame->EnablePaneMenu(TRUE, ID_EX_CUSTOMIZE, "Customize...", ID_VIEW_TOOLBAR);
    HMENU menu = frame->CreatePaneMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 4); // two named bars, a separator, customize
    char text[64];
    std::string names[2];
    for (int i = 0; i < 2; ++i) {
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        names[i] = text;
        const bool checked = (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
        EXPECT_EQ(checked, names[i] == "Standard") << names[i];
    }
    EXPECT_TRUE((names[0] == "Standard" && names[1] == "Extra") || (names[0] == "Extra" && names[1] == "Standard"));
    EXPECT_EQ(::GetMenuItemID(menu, 3), static_cast<UINT>(ID_EX_CUSTOMIZE));
    ::DestroyMenu(menu);

    CMFCToolBar& bar = frame->m_bar1;
    bar.EnableCustomizeButton(TRUE, ID_EX_CUSTOMIZE, CString(_T("Customize...")));
    struct Move {
        int from, to;
        BOOL ok;
        UINT ids[3]; // the buttons before the customize button afterwards
        int count;
    } moves[] = {
        {0, 2, TRUE, {ID_SEPARATOR, ID_EX_TWO, ID_EX_ONE}, 3},
        {2, 0, TRUE, {ID_EX_ONE, ID_SEPARATOR, ID_EX_TWO}, 3},
        {3, 0, FALSE, {ID_EX_ONE, ID_SEPARATOR, ID_EX_TWO}, 3}, // the customize button
        {0, 3, FALSE, {ID_EX_ONE, ID_SEPARATOR, ID_EX_TWO}, 3},
        {1, -1, TRUE, {ID_EX_ONE, ID_EX_TWO}, 2},
    };
    for (const Move& m : moves) {
        EXPECT_EQ(bar.MoveButton(m.from, m.to), m.ok) << m.from << "->" << m.to;
        ASSERT_EQ(bar.GetCount(), m.count + 1);
        for (int i = 0; i < m.count; ++i)
            EXPECT_EQ(bar.GetItemID(i), m.ids[i]) << m.from << "->" << m.to << " at " << i;
        EXPECT_EQ(bar.GetItemID(m.count), static_cast<UINT>(ID_EX_CUSTOMIZE));
    }
    frame->DestroyWindow();
}

// User tool bars: AFX_WM_CREATETOOLBAR makes one with the next free id of the range given to
// InitUserToolbars, named by lParam; none without the range or once it is used up.
TEST(MfcDocking, UserToolbarsComeFromTheirIdRange)
{
    CExFrame* frame = MakeFrame(false);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(::SendMessageA(frame->m_hWnd, AFX_WM_CREATETOOLBAR, 0, 0), 0);
    const UINT first = AFX_IDW_CONTROLBAR_FIRST + 40;
    EXPECT_FALSE(frame->InitUserToolbars(nullptr, first + 1, first));
    ASSERT_TRUE(frame->InitUserToolbars(nullptr, first, first + 1));
    auto* made = reinterpret_cast<CMFCToolBar*>(
        ::SendMessageA(frame->m_hWnd, AFX_WM_CREATETOOLBAR, 0, reinterpret_cast<LPARAM>("Mine")));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(static_cast<UINT>(::GetDlgCtrlID(made->m_hWnd)), first);
    char name[32] = {};
    ::GetWindowTextA(made->m_hWnd, name, sizeof name);
    EXPECT_STREQ(name, "Mine");
    EXPECT_EQ(frame->GetUserToolBarByIndex(0), made);
    EXPECT_NE(::SendMessageA(frame->m_hWnd, AFX_WM_CREATETOOLBAR, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(frame->m_hWnd, AFX_WM_CREATETOOLBAR, 0, 0), 0); // the range is used up
    EXPECT_EQ(frame->GetUserToolBarByIndex(2), nullptr);
    EXPECT_EQ(frame->GetUserToolBarByIndex(-1), nullptr);
    frame->DestroyWindow();
}

// The menu bar takes the frame's menu off the window and shows its top-level items as buttons,
// left to right.
TEST(MfcMenuBar, ShowsTheFramesMenuAsAPane)
{
    CExFrame* frame = MakeFrame(false);
    ASSERT_NE(frame, nullptr);
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_EX_MENU));
    ASSERT_NE(menu, nullptr);
    ::SetMenu(frame->m_hWnd, menu);
    CMFCMenuBar bar;
    ASSERT_TRUE(bar.Create(frame));
    EXPECT_EQ(::GetMenu(frame->m_hWnd), nullptr);
    EXPECT_EQ(bar.GetHMenu(), menu);
    ASSERT_EQ(bar.GetCount(), 2);
    EXPECT_EQ(std::string(bar.GetItemText(0).GetString()), "File");
    EXPECT_EQ(std::string(bar.GetItemText(1).GetString()), "Edit");
    CRect file, edit;
    bar.GetItemRect(0, &file);
    bar.GetItemRect(1, &edit);
    EXPECT_GT(file.Width(), 0);
    EXPECT_EQ(edit.left, file.right);
    frame->DockPane(&bar);
    EXPECT_EQ(ChildRect(*frame, frame->m_view).top, ChildRect(*frame, bar).bottom);
    bar.DestroyWindow();
    frame->DestroyWindow();
}

// MSDN CContextMenuManager::AddMenu and GetMenuByName: a menu resource is added under a name once;
// a second menu with the same name or id, or a missing resource, is refused.
TEST(MfcContextMenus, MenusAddedByIdAndName)
{
    CContextMenuManager manager;
    struct Case {
        const char* name;
        UINT id;
        BOOL added;
    } cases[] = {{"Edit", IDR_EX_POPUP, TRUE}, {"edit", IDR_EX_MENU, FALSE}, {"Other", IDR_EX_POPUP, FALSE},
                 {"Missing", 999, FALSE}};
    for (const Case& c : cases)
        EXPECT_EQ(manager.AddMenu(c.name, c.id), c.added) << c.name;
    HMENU menu = manager.GetMenuById(IDR_EX_POPUP);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(menu, 0)), 2);
    UINT id = 0;
    EXPECT_EQ(manager.GetMenuByName("EDIT", &id), menu);
    EXPECT_EQ(id, static_cast<UINT>(IDR_EX_POPUP));
    EXPECT_EQ(manager.GetMenuByName("Missing"), nullptr);
    EXPECT_FALSE(manager.ShowPopupMenu(IDR_EX_MENU + 100, 0, 0, nullptr));
    CContextMenuManager byString;
    EXPECT_TRUE(byString.AddMenu(IDS_EX_EDIT_MENU, IDR_EX_POPUP));
    EXPECT_NE(byString.GetMenuByName("Edit"), nullptr);
}

class CSettingsApp : public CWinAppEx {
public:
    CSettingsApp()
    {
        static const char name[] = "FrameExGame";
        char* copy = static_cast<char*>(std::malloc(sizeof name));
        std::memcpy(copy, name, sizeof name);
        m_pszAppName = copy;
    }
};

// MSDN CWinAppEx::GetInt, WriteInt, SetRegistryBase: values live under the workspace section
// ("Workspace" unless set), in the store GetProfileInt reads; an absent entry gives the default.
TEST(MfcWinAppEx, WorkspaceSettingsRoundTrip)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "mfc_frame_ex_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
#ifdef _WIN32
    _putenv_s("APPDATA", folder.string().c_str());
#else
    setenv("XDG_CONFIG_HOME", folder.string().c_str(), 1);
#endif
    CSettingsApp app;
    app.SetRegistryKey("Maker");
    EXPECT_STREQ(app.GetRegistryBase(), "Workspace");
    EXPECT_EQ(app.GetInt("ApplicationLook", 216), 216);
    ASSERT_TRUE(app.WriteInt("ApplicationLook", -5));
    EXPECT_EQ(app.GetInt("ApplicationLook", 216), -5);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Workspace", "ApplicationLook", 0)), -5);
    ASSERT_TRUE(app.WriteString("Name", "Player One"));
    EXPECT_EQ(std::string(app.GetString("Name").GetString()), "Player One");
    EXPECT_EQ(std::string(app.GetString("Absent", "none").GetString()), "none");

    BYTE bytes[] = {0x00, 0x7F, 0xA5, 0xFF};
    ASSERT_TRUE(app.WriteBinary("Blob", bytes, sizeof bytes));
    LPBYTE read = nullptr;
    UINT count = 0;
    ASSERT_TRUE(app.GetBinary("Blob", &read, &count));
    ASSERT_EQ(count, sizeof bytes);
    EXPECT_EQ(std::memcmp(read, bytes, sizeof bytes), 0);
    delete[] read;
    ASSERT_TRUE(app.WriteString("Blob", "0G"));
    EXPECT_FALSE(app.GetBinary("Blob", &read, &count));
    EXPECT_EQ(read, nullptr);
    EXPECT_EQ(count, 0u);

    EXPECT_STREQ(app.SetRegistryBase("Other"), "Other");
    EXPECT_EQ(app.GetInt("ApplicationLook", 216), 216);
    EXPECT_STREQ(app.SetRegistryBase(), "Workspace");
    EXPECT_EQ(app.GetInt("ApplicationLook", 216), -5);
    EXPECT_EQ(app.GetSectionInt("Sub", "ApplicationLook", 1), 1);
    ASSERT_TRUE(app.WriteSectionInt("Sub", "ApplicationLook", 9));
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("Workspace\\Sub", "ApplicationLook", 0)), 9);

    EXPECT_EQ(app.GetContextMenuManager(), nullptr);
    ASSERT_TRUE(app.InitContextMenuManager());
    ASSERT_TRUE(app.InitTooltipManager());
    CMFCToolTipInfo params;
    params.m_bVislManagerTheme = TRUE;
    app.GetTooltipManager()->SetTooltipParams(AFX_TOOLTIP_TYPE_ALL, RUNTIME_CLASS(CMFCToolTipCtrl), &params);
    ASSERT_NE(app.GetTooltipManager()->GetTooltipParams(AFX_TOOLTIP_TYPE_TOOLBAR), nullptr);
    EXPECT_TRUE(app.GetTooltipManager()->GetTooltipParams(AFX_TOOLTIP_TYPE_TOOLBAR)->m_bVislManagerTheme);
    EXPECT_EQ(app.GetTooltipManager()->GetTooltipClass(AFX_TOOLTIP_TYPE_TAB), RUNTIME_CLASS(CMFCToolTipCtrl));
}

} // namespace
