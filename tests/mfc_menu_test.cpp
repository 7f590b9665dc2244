// MFC's menus: CMenu's ownership and wrappers, and the frame's update pass (ON_UPDATE_COMMAND_UI,
// CCmdUI, m_bAutoMenuEnable) before a popup shows, checked through the items' states and through
// what the popup then lets the keyboard choose.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>
#include <vector>

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

enum : UINT {
    ID_OPEN = 101,   // ON_COMMAND only: stays enabled
    ID_SAVE = 102,   // update handler disables and checks it
    ID_CLOSE = 103,  // no handler at all: disabled while m_bAutoMenuEnable
    ID_MODE_A = 110, // range update handler: radio bullet on B, new text on C
    ID_MODE_B = 111,
    ID_MODE_C = 112,
    ID_SUB_FIRST = 120, // first command of a submenu, whose update disables the submenu's item
};

class CMenuFrame : public CFrameWnd {
public:
    std::vector<UINT> updated;
    void OnOpen() {}
    void OnUpdateSave(CCmdUI* pCmdUI)
    {
        updated.push_back(pCmdUI->m_nID);
        pCmdUI->Enable(FALSE);
        pCmdUI->SetCheck(1);
    }
    void OnUpdateMode(CCmdUI* pCmdUI)
    {
        updated.push_back(pCmdUI->m_nID);
        if (pCmdUI->m_nID == ID_MODE_B)
            pCmdUI->SetRadio(TRUE);
        if (pCmdUI->m_nID == ID_MODE_C)
            pCmdUI->SetText("Mode &C (on)");
    }
    void OnUpdateSub(CCmdUI* pCmdUI)
    {
        updated.push_back(pCmdUI->m_nID);
        EXPECT_NE(pCmdUI->m_pSubMenu, nullptr);
        pCmdUI->Enable(FALSE);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuFrame, CFrameWnd)
ON_COMMAND(ID_OPEN, OnOpen)
ON_UPDATE_COMMAND_UI(ID_SAVE, OnUpdateSave)
ON_UPDATE_COMMAND_UI_RANGE(ID_MODE_A, ID_MODE_C, OnUpdateMode)
ON_UPDATE_COMMAND_UI(ID_SUB_FIRST, OnUpdateSub)
END_MESSAGE_MAP()

// File: Open, Save, separator, Close, Mode A/B/C, More > (Sub).
struct Menus {
    CMenu bar, file, more;
};

void Build(Menus& m)
{
    ASSERT_TRUE(m.more.CreatePopupMenu());
    m.more.AppendMenu(MF_STRING, ID_SUB_FIRST, "&Sub");
    ASSERT_TRUE(m.file.CreatePopupMenu());
    m.file.AppendMenu(MF_STRING, ID_OPEN, "&Open");
    m.file.AppendMenu(MF_STRING, ID_SAVE, "&Save");
    m.file.AppendMenu(MF_SEPARATOR);
    m.file.AppendMenu(MF_STRING, ID_CLOSE, "&Close");
    m.file.AppendMenu(MF_STRING, ID_MODE_A, "Mode &A");
    m.file.AppendMenu(MF_STRING, ID_MODE_B, "Mode &B");
    m.file.AppendMenu(MF_STRING, ID_MODE_C, "Mode &C");
    m.file.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(m.more.Detach()), "&More");
    ASSERT_TRUE(m.bar.CreateMenu());
    m.bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(m.file.Detach()), "&File");
}

CMenuFrame* MakeFrame(CMenu& bar)
{
    auto* frame = new CMenuFrame;
    if (!frame->Create(nullptr, "menus")) {
        return nullptr;
    }
    frame->SetMenu(&bar);
    bar.Detach(); // the window owns it now
    return frame;
}

TEST(MfcMenu, UpdateHandlersSetTheItemsBeforeThePopupShows)
{
    // MFC: on WM_INITMENUPOPUP a frame runs each item's ON_UPDATE_COMMAND_UI handler (a
    // submenu's through its first command); an item with neither that nor an ON_COMMAND handler
    // is disabled while m_bAutoMenuEnable (MSDN CCmdUI, CFrameWnd::m_bAutoMenuEnable, TN021).
    struct Case {
        BOOL autoEnable;
        UINT closeState; // ID_CLOSE's MF_GRAYED bit afterwards
    } cases[] = {{TRUE, MF_GRAYED}, {FALSE, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.autoEnable);
        Menus m;
        Build(m);
        CMenuFrame* frame = MakeFrame(m.bar);
        ASSERT_NE(frame, nullptr);
        frame->m_bAutoMenuEnable = c.autoEnable;
        CMenu* file = frame->GetMenu()->GetSubMenu(0);
        ASSERT_NE(file, nullptr);
        frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->m_hMenu), 0);

        EXPECT_EQ(frame->updated, (std::vector<UINT>{ID_SAVE, ID_MODE_A, ID_MODE_B, ID_MODE_C, ID_SUB_FIRST}));
        EXPECT_EQ(file->GetMenuState(ID_OPEN, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), 0u);
        EXPECT_EQ(file->GetMenuState(ID_SAVE, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED),
                  static_cast<UINT>(MF_GRAYED | MF_CHECKED));
        EXPECT_EQ(file->GetMenuState(ID_CLOSE, MF_BYCOMMAND) & MF_GRAYED, c.closeState);
        EXPECT_EQ(file->GetMenuState(ID_MODE_B, MF_BYCOMMAND) & (MF_CHECKED | MFT_RADIOCHECK),
                  static_cast<UINT>(MF_CHECKED | MFT_RADIOCHECK));
        CString text;
        file->GetMenuString(ID_MODE_C, text, MF_BYCOMMAND);
        EXPECT_EQ(text, CString("Mode &C (on)"));
        // The submenu's own item in File is what got disabled.
        EXPECT_EQ(file->GetMenuState(7, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
        frame->DestroyWindow();
    }
}

TEST(MfcMenu, DisabledByUpdateMeansTheKeyboardCannotChooseIt)
{
    // The update runs inside the menu's own loop, before the popup is measured: a mnemonic of
    // an item it disabled chooses nothing, one of an enabled item returns its command.
    struct Case {
        char key;
        UINT expected;
    } cases[] = {{'o', ID_OPEN}, {'s', 0}, {'c', 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Menus m;
        Build(m);
        CMenuFrame* frame = MakeFrame(m.bar);
        ASSERT_NE(frame, nullptr);
        CMenu* file = frame->GetMenu()->GetSubMenu(0);
        frame->PostMessage(WM_CHAR, static_cast<WPARAM>(c.key), 1);
        for (int i = 0; i < 3; ++i)
            frame->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_EQ(static_cast<UINT>(file->TrackPopupMenu(TPM_RETURNCMD, 50, 50, frame)), c.expected);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
        frame->DestroyWindow();
    }
}

TEST(MfcMenu, CMenuOwnsWhatItHoldsAndWrapsWhatItDoesNot)
{
    // MFC: a CMenu destroys its menu when destroyed unless detached; FromHandle gives the
    // attached object, else one temporary wrapper per handle; CWnd::GetMenu and GetSubMenu give
    // such wrappers (MSDN CMenu::FromHandle, CMenu::Detach).
    HMENU kept = nullptr;
    {
        CMenu owner;
        ASSERT_TRUE(owner.CreatePopupMenu());
        EXPECT_FALSE(owner.CreatePopupMenu()); // already holds one
        EXPECT_EQ(CMenu::FromHandle(owner.m_hMenu), &owner);
        kept = owner.m_hMenu;
    }
    EXPECT_FALSE(IsMenu(kept));

    HMENU loose = CreatePopupMenu();
    AppendMenu(loose, MF_STRING, 5, "&Five");
    CMenu* a = CMenu::FromHandle(loose);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, CMenu::FromHandle(loose));
    EXPECT_EQ(a->m_hMenu, loose);
    EXPECT_EQ(a->GetMenuItemID(0), 5u);
    EXPECT_EQ(CMenu::FromHandle(nullptr), nullptr);
    {
        CMenu holder;
        EXPECT_TRUE(holder.Attach(loose));
        EXPECT_EQ(CMenu::FromHandle(loose), &holder);
        EXPECT_EQ(holder.Detach(), loose);
    }
    EXPECT_TRUE(IsMenu(loose)); // detached, so not destroyed
    DestroyMenu(loose);

    Menus m;
    Build(m);
    CMenuFrame* frame = MakeFrame(m.bar);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetMenu()->m_hMenu, ::GetMenu(frame->m_hWnd));
    EXPECT_EQ(frame->GetMenu()->GetSubMenu(0)->m_hMenu, ::GetSubMenu(::GetMenu(frame->m_hWnd), 0));
    CMenu* sys = frame->GetSystemMenu(FALSE);
    ASSERT_NE(sys, nullptr);
    EXPECT_NE(sys->GetMenuState(SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    frame->DestroyWindow();
}

// Commands and updates go to the active view, its document, the frame, then the application.
class CRouteDoc : public CDocument {
public:
    int saves = 0;
    void OnSave() { ++saves; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRouteDoc, CDocument)
ON_COMMAND(ID_SAVE, OnSave)
END_MESSAGE_MAP()

class CRouteView : public CView {
    DECLARE_DYNCREATE(CRouteView)
public:
    void OnDraw(CDC*) override {}
    void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CRouteView, CView)
BEGIN_MESSAGE_MAP(CRouteView, CView)
ON_UPDATE_COMMAND_UI(ID_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()

TEST(MfcMenu, ViewAndDocumentTakePartInCommandsAndUpdates)
{
    // MFC: a frame routes a command to its active view, the view's document, itself and the
    // application, in that order (TN021 "Command and Message Routing").
    auto* doc = new CRouteDoc;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CRouteView);
    context.m_pCurrentDoc = doc;
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(
        frame->Create(nullptr, "routing", WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, nullptr, nullptr, 0, &context));
    ASSERT_NE(frame->GetActiveView(), nullptr);
    ASSERT_EQ(frame->GetActiveView()->GetDocument(), doc);
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, ID_OPEN, "&Open");
    popup.AppendMenu(MF_STRING, ID_SAVE, "&Save");
    popup.AppendMenu(MF_STRING, ID_CLOSE, "&Close");
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.m_hMenu), 0);
    EXPECT_EQ(popup.GetMenuState(ID_OPEN, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(popup.GetMenuState(ID_SAVE, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(popup.GetMenuState(ID_CLOSE, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_SAVE, 0), 0);
    EXPECT_EQ(doc->saves, 1);
    frame->DestroyWindow();
    delete doc;
}

} // namespace
