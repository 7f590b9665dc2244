// CWnd's binding of windows to objects, beyond what a host's own window class shows: windows of a
// class the library did not register, windows created while another is being created, and the
// object's release of its handle. Runs against the stand-in and against the MFC part over Win32.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <memory>
#include <vector>

namespace {

class CountingWnd : public CWnd {
public:
    std::vector<WPARAM> commands;
    int creates = 0;
    int finalReleases = 0;
    HWND handleAtFinalRelease = reinterpret_cast<HWND>(1);
    std::unique_ptr<CountingWnd> child; // made from OnCreate when makeChild is set
    bool makeChild = false;

    BOOL Create(LPCTSTR className, DWORD style = WS_POPUP, HWND parent = nullptr)
    {
        return CreateEx(0, className, "mfc", style, 0, 0, 8, 8, parent, nullptr);
    }

protected:
    int OnCreate(LPCREATESTRUCT create) override
    {
        ++creates;
        if (makeChild) {
            child = std::make_unique<CountingWnd>();
            if (!child->Create(AfxRegisterWndClass(0), WS_CHILD, m_hWnd))
                return -1;
        }
        return CWnd::OnCreate(create);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        commands.push_back(wParam);
        return TRUE;
    }
    void PostNcDestroy() override
    {
        ++finalReleases;
        handleAtFinalRelease = m_hWnd;
    }
};

// A class of the program's own, with a procedure of its own that CWnd must subclass.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LPCTSTR PlainClass()
{
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "MfcTestPlain";
        return RegisterClassA(&wc);
    }();
    return atom ? "MfcTestPlain" : nullptr;
}

} // namespace

// Whatever class a window is made from, its messages reach the object, and the handle leads
// back to it until the window is gone.
TEST(CWndBinding, EveryClassRoutesToTheObjectUntilTheWindowIsGone)
{
    for (LPCTSTR className : {AfxRegisterWndClass(0), PlainClass(), static_cast<LPCTSTR>(nullptr)}) {
        SCOPED_TRACE(className ? className : "(default class)");
        CountingWnd wnd;
        ASSERT_TRUE(wnd.Create(className));
        const HWND hwnd = wnd.m_hWnd;
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(CWnd::FromHandle(hwnd), &wnd);
        EXPECT_EQ(::SendMessageA(hwnd, WM_COMMAND, 42, 0), 1);
        EXPECT_EQ(wnd.SendMessage(WM_COMMAND, 43, 0), 1);
        EXPECT_EQ(wnd.commands, (std::vector<WPARAM>{42, 43}));

        EXPECT_TRUE(wnd.DestroyWindow());
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_EQ(wnd.m_hWnd, nullptr);
        EXPECT_EQ(wnd.finalReleases, 1);
        EXPECT_EQ(wnd.handleAtFinalRelease, nullptr); // already released when told
        EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
        EXPECT_EQ(::SendMessageA(hwnd, WM_COMMAND, 44, 0), 0);
        EXPECT_EQ(wnd.commands.size(), 2u);
    }
}

// A window created from inside another's creation gets its own object; the outer one keeps its.
TEST(CWndBinding, WindowsCreatedDuringCreationBindToTheirOwnObjects)
{
    CountingWnd parent;
    parent.makeChild = true;
    ASSERT_TRUE(parent.Create(AfxRegisterWndClass(0)));
    ASSERT_TRUE(parent.child);
    ASSERT_NE(parent.child->m_hWnd, nullptr);
    EXPECT_NE(parent.child->m_hWnd, parent.m_hWnd);
    EXPECT_EQ(parent.creates, 1);
    EXPECT_EQ(parent.child->creates, 1);
    EXPECT_EQ(CWnd::FromHandle(parent.m_hWnd), &parent);
    EXPECT_EQ(CWnd::FromHandle(parent.child->m_hWnd), parent.child.get());

    ::SendMessageA(parent.child->m_hWnd, WM_COMMAND, 7, 0);
    EXPECT_EQ(parent.child->commands, std::vector<WPARAM>{7});
    EXPECT_TRUE(parent.commands.empty());

    const HWND child = parent.child->m_hWnd;
    EXPECT_TRUE(parent.DestroyWindow());
    EXPECT_FALSE(::IsWindow(child)); // children go with their parent
    EXPECT_EQ(parent.child->finalReleases, 1);
    EXPECT_EQ(parent.child->m_hWnd, nullptr);
}
