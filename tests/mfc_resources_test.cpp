// MFC's resource side over tests/resources/frame.rc: LoadFrame's title, class icon and
// accelerators of one id, CString's LoadString and resource-id constructor, CWinApp's LoadIcon,
// CBitmap::LoadBitmap and CImage::LoadFromResource. The Windows build runs the same cases with
// the script compiled by windres.
#include <gtest/gtest.h>

#include <afxwin.h>
#include <atlimage.h>
#include <atlstr.h>
#include <tchar.h>

#include <vector>

#include "resources/resource.h"

namespace {

class CResourceApp : public CWinApp {
public:
    CResourceApp() : CWinApp("ResourceApp") {}
};
CResourceApp theApp;

class CCommandFrame : public CFrameWnd {
public:
    std::vector<WPARAM> commands;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(MfcResources, LoadFrameTakesTitleIconAndAcceleratorsOfItsId)
{
    auto* frame = new CCommandFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    // MFC: the title is the first '\n'-separated part of the string (MSDN CFrameWnd::LoadFrame,
    // CDocTemplate::GetDocString).
    char title[64] = {};
    ::GetWindowTextA(frame->m_hWnd, title, sizeof title);
    EXPECT_STREQ("Frame Title", title);
    const HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(icon), ::GetClassLongPtrA(frame->m_hWnd, GCLP_HICON));
    ASSERT_NE(nullptr, frame->m_hAccelTable);

    // Keys of the table become WM_COMMAND with 1 in the high word (MSDN TranslateAccelerator);
    // others go on to be dispatched.
    struct Case {
        UINT message;
        WPARAM key;
        bool translated;
        WPARAM command;
    };
    const Case cases[] = {
        {WM_CHAR, 'n', true, MAKEWPARAM(ID_GAME_NEW, 1)},
        {WM_KEYDOWN, VK_F2, true, MAKEWPARAM(ID_GAME_PAUSE, 1)},
        {WM_CHAR, 'x', false, 0},
        {WM_KEYDOWN, VK_F3, false, 0},
    };
    for (const Case& c : cases) {
        frame->commands.clear();
        MSG msg{frame->m_hWnd, c.message, c.key, 1, 0, {0, 0}};
        EXPECT_EQ(c.translated, frame->PreTranslateMessage(&msg) != FALSE) << c.key;
        if (c.translated) {
            ASSERT_EQ(1u, frame->commands.size()) << c.key;
            EXPECT_EQ(c.command, frame->commands[0]) << c.key;
        } else {
            EXPECT_TRUE(frame->commands.empty()) << c.key;
        }
    }
    frame->DestroyWindow(); // the frame deletes itself
}

TEST(MfcResources, CStringLoadsStringResources)
{
    // MFC: CString(MAKEINTRESOURCE(id)) loads the string (MSDN CStringT::CStringT, "a resource
    // ID"); LoadString leaves the string as it was when there is no such resource.
    CStringA fromId(MAKEINTRESOURCEA(IDS_TITLE));
    EXPECT_STREQ("Sprite Game", fromId);
    CStringW wide(MAKEINTRESOURCEW(IDS_UNICODE));
    EXPECT_EQ(std::wstring(L"Caf\u00e9 \u2713"), std::wstring(wide));
    CStringA narrowOfWide(MAKEINTRESOURCEW(IDS_TITLE));
    EXPECT_STREQ("Sprite Game", narrowOfWide);

    CString s(_T("before"));
    EXPECT_FALSE(s.LoadString(999));
    EXPECT_EQ(CString(_T("before")), s);
    EXPECT_TRUE(s.LoadString(IDS_TITLE));
    EXPECT_EQ(CString(_T("Sprite Game")), s);
    EXPECT_TRUE(s.LoadString(AfxGetInstanceHandle(), IDR_MAINFRAME));
    EXPECT_EQ(CString(_T("Frame Title\n\nFrame\n")), s);
}

TEST(MfcResources, ApplicationBitmapsAndImagesComeFromTheResourceHandle)
{
    EXPECT_EQ(AfxGetInstanceHandle(), AfxGetResourceHandle());
    EXPECT_NE(nullptr, AfxGetResourceHandle());
    EXPECT_EQ(::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME)), theApp.LoadIcon(IDR_MAINFRAME));
    EXPECT_EQ(nullptr, theApp.LoadCursor(IDR_MAINFRAME)); // frame.rc has no cursor

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_SPRITE));
    BITMAP bm{};
    ASSERT_EQ(int(sizeof bm), bitmap.GetObject(sizeof bm, &bm));
    EXPECT_EQ(3, bm.bmWidth);
    EXPECT_EQ(2, bm.bmHeight);
    EXPECT_FALSE(bitmap.LoadBitmap(IDB_SPRITE)); // one is attached already
    CBitmap none;
    EXPECT_FALSE(none.LoadBitmap(999));

    // ATL: LoadFromResource reads BITMAP resources into a DIB section of their own depth (MSDN
    // CImage::LoadFromResource).
    CImage image;
    image.LoadFromResource(AfxGetResourceHandle(), IDB_SPRITE);
    ASSERT_FALSE(image.IsNull());
    EXPECT_EQ(3, image.GetWidth());
    EXPECT_EQ(2, image.GetHeight());
    EXPECT_EQ(8, image.GetBPP());

    // Another module's handle is kept and given back.
    const HINSTANCE own = AfxGetResourceHandle();
    AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(0x5000));
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x5000), AfxGetResourceHandle());
    AfxSetResourceHandle(own);
}

} // namespace
