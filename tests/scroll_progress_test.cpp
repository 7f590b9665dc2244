// The scroll bar control and the progress bar: what their messages answer (previous positions,
// positions kept inside ranges and pages), the notifications the scroll bar sends its parent for
// the mouse and the keys, and MFC's CScrollBar and CProgressCtrl bound by DDX_Control with
// ON_WM_VSCROLL. Written against Windows and MFC names only, so it also runs under Wine against
// the real USER and comctl32.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <afxcmn.h>
#include <commctrl.h>

#include <cstdlib>
#include <vector>

#include "dialog_template.h"

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

struct Scroll {
    UINT message;
    WORD code;
    WORD pos;
    HWND bar;
};
std::vector<Scroll> g_scrolls;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
        g_scrolls.push_back({msg, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Controls : ::testing::Test {
    HWND parent = nullptr;

    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        static const ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = ParentProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "ScrollTestParent";
            return RegisterClassA(&wc);
        }();
        ASSERT_NE(atom, 0);
        parent = CreateWindowExA(0, "ScrollTestParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        g_scrolls.clear();
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND Child(const char* cls, DWORD style, int width, int height)
    {
        return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(7)), GetModuleHandleA(nullptr), nullptr);
    }
    static void Pump()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
};

TEST_F(Controls, ScrollBarMessagesAnswerThePreviousPositionAndKeepItInRange)
{
    HWND bar = Child("SCROLLBAR", SBS_VERT, 20, 200);
    ASSERT_NE(bar, nullptr);
    int low = -1, high = -1;
    SendMessageA(bar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    // Windows: a scroll bar control starts with an empty range (MSDN "About Scroll Bars").
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 0);
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT answer;
        int pos;
    } steps[] = {
        // Windows: SBM_SETRANGE answers the previous position when the new range moved it, else
        // 0; SBM_SETPOS answers the previous position and keeps the new one in the range (MSDN).
        {"range 0..100", SBM_SETRANGE, 0, 100, 0, 0},
        {"pos 50", SBM_SETPOS, 50, FALSE, 0, 50},
        {"pos past the end", SBM_SETPOS, 150, FALSE, 50, 100},
        {"pos before the start", SBM_SETPOS, static_cast<WPARAM>(-5), FALSE, 100, 0},
        {"pos 90", SBM_SETPOS, 90, FALSE, 0, 90},
        {"a range that moves it", SBM_SETRANGE, 10, 40, 90, 40},
        {"a range that keeps it", SBM_SETRANGEREDRAW, 0, 60, 0, 40},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(SendMessageA(bar, s.message, s.wParam, s.lParam), s.answer) << s.what;
        EXPECT_EQ(SendMessageA(bar, SBM_GETPOS, 0, 0), s.pos) << s.what;
    }
    SendMessageA(bar, SBM_GETRANGE, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 60);
}

TEST_F(Controls, ScrollInfoKeepsAWholePageInsideTheRange)
{
    HWND bar = Child("SCROLLBAR", SBS_HORZ, 200, 20);
    ASSERT_NE(bar, nullptr);
    const struct {
        const char* what;
        UINT mask;
        int min, max;
        UINT page;
        int pos;
        int answer; // SetScrollInfo's: the position after the change
        UINT pageAfter;
    } cases[] = {
        // Windows: the position stays within nMin .. nMax - max(nPage - 1, 0), and a page is at
        // most the range's size (MSDN SCROLLINFO, SetScrollInfo; user32 tests/scroll.c).
        {"range and pos", SIF_RANGE | SIF_POS, 0, 100, 0, 70, 70, 0},
        {"a page pulls it back", SIF_PAGE, 0, 0, 41, 0, 60, 41},
        {"a page wider than the range", SIF_PAGE, 0, 0, 500, 0, 0, 101},
        {"page 0 frees it", SIF_PAGE | SIF_POS, 0, 0, 0, 25, 25, 0},
        {"a negative range", SIF_RANGE, -50, -10, 0, 0, -10, 0},
    };
    for (const auto& c : cases) {
        SCROLLINFO si{sizeof si, c.mask, c.min, c.max, c.page, c.pos, 0};
        EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &si, FALSE), c.answer) << c.what;
        SCROLLINFO got{sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
        ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &got)) << c.what;
        EXPECT_EQ(got.nPos, c.answer) << c.what;
        EXPECT_EQ(got.nPage, c.pageAfter) << c.what;
    }
    // Windows: SetScrollPos answers the previous position; GetScrollInfo with nothing to
    // retrieve fails (MSDN SetScrollPos, GetScrollInfo).
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, -30, FALSE), -10);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), -30);
    int low = 0, high = 0;
    EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &low, &high));
    EXPECT_EQ(low, -50);
    EXPECT_EQ(high, -10);
    SCROLLINFO none{sizeof none, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(GetScrollInfo(bar, SB_CTL, &none));
}

// Windows runs a modal loop while the button is down; the release posted first ends it there,
// and ends the press here when the queue is pumped.
TEST_F(Controls, ScrollBarTellsItsParentWhatTheMouseAsksAndDoesNotMoveItself)
{
    HWND bar = Child("SCROLLBAR", SBS_VERT, 20, 200);
    ASSERT_NE(bar, nullptr);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 50, 0};
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
    const struct {
        const char* what;
        int y;
        WORD first;
    } presses[] = {
        // Windows: WM_VSCROLL with the SB_ code, the control's handle in lParam, SB_ENDSCROLL
        // when the button is released (MSDN WM_VSCROLL).
        {"top arrow", 4, SB_LINEUP},
        {"bottom arrow", 196, SB_LINEDOWN},
        {"track above the thumb", 30, SB_PAGEUP},
        {"track below the thumb", 170, SB_PAGEDOWN},
    };
    for (const auto& p : presses) {
        g_scrolls.clear();
        PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(10, p.y));
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, p.y));
        Pump();
        ASSERT_GE(g_scrolls.size(), 2u) << p.what;
        EXPECT_EQ(g_scrolls.front().message, static_cast<UINT>(WM_VSCROLL)) << p.what;
        EXPECT_EQ(g_scrolls.front().code, p.first) << p.what;
        EXPECT_EQ(g_scrolls.front().bar, bar) << p.what;
        EXPECT_EQ(g_scrolls.back().code, SB_ENDSCROLL) << p.what;
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50) << p.what;
    }
}

TEST_F(Controls, DraggingTheThumbTracksThenGivesTheFinalPosition)
{
    HWND bar = Child("SCROLLBAR", SBS_HORZ, 200, 20);
    ASSERT_NE(bar, nullptr);
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
    // The thumb starts right after the left arrow; it is dragged most of the way right.
    PostMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 10));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(150, 10));
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(24, 10));
    Pump();
    // Windows: SB_THUMBTRACK while dragging and SB_THUMBPOSITION at the release, each with the
    // position in wParam's high word, then SB_ENDSCROLL (MSDN WM_HSCROLL).
    std::vector<WORD> codes;
    WORD tracked = 0, final = 0;
    for (const Scroll& s : g_scrolls) {
        EXPECT_EQ(s.message, static_cast<UINT>(WM_HSCROLL));
        if (codes.empty() || codes.back() != s.code)
            codes.push_back(s.code);
        if (s.code == SB_THUMBTRACK)
            tracked = s.pos;
        if (s.code == SB_THUMBPOSITION)
            final = s.pos;
    }
    EXPECT_EQ(codes, (std::vector<WORD>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    EXPECT_GT(tracked, 40);
    EXPECT_LE(tracked, 91);
    EXPECT_EQ(final, tracked);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
}

TEST_F(Controls, ScrollBarKeysSendTheirCodes)
{
    HWND bar = Child("SCROLLBAR", SBS_VERT, 20, 200);
    ASSERT_NE(bar, nullptr);
    // Windows: the scroll bar's keyboard interface (MSDN "About Scroll Bars").
    const struct {
        WPARAM key;
        WORD code;
    } keys[] = {{VK_UP, SB_LINEUP},     {VK_LEFT, SB_LINEUP}, {VK_DOWN, SB_LINEDOWN}, {VK_RIGHT, SB_LINEDOWN},
                {VK_PRIOR, SB_PAGEUP},  {VK_NEXT, SB_PAGEDOWN}, {VK_HOME, SB_TOP},    {VK_END, SB_BOTTOM}};
    for (const auto& k : keys) {
        g_scrolls.clear();
        SendMessageA(bar, WM_KEYDOWN, k.key, 1);
        ASSERT_FALSE(g_scrolls.empty()) << k.key;
        EXPECT_EQ(g_scrolls.front().code, k.code) << k.key;
        EXPECT_EQ(g_scrolls.front().bar, bar) << k.key;
    }
}

TEST_F(Controls, ProgressBarAnswersWhatEachMessageReplaced)
{
    HWND bar = Child(PROGRESS_CLASSA, 0, 200, 16);
    ASSERT_NE(bar, nullptr);
    const struct {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT answer;
        int pos;
    } steps[] = {
        // Windows: the range starts at 0..100 and the step at 10; PBM_SETRANGE and
        // PBM_SETRANGE32 answer the previous range (low word: minimum), PBM_SETPOS, PBM_DELTAPOS
        // and PBM_STEPIT the previous position, PBM_SETSTEP the previous step; positions stay in
        // the range (MSDN Progress Bar messages).
        {"range 0..300", PBM_SETRANGE, 0, MAKELPARAM(0, 300), MAKELONG(0, 100), 0},
        {"pos 300", PBM_SETPOS, 300, 0, 0, 300},
        {"pos past the end", PBM_SETPOS, 400, 0, 300, 300},
        {"back 100", PBM_DELTAPOS, static_cast<WPARAM>(-100), 0, 300, 200},
        {"step -2", PBM_SETSTEP, static_cast<WPARAM>(-2), 0, 10, 200},
        {"step it", PBM_STEPIT, 0, 0, 200, 198},
        {"back past the start", PBM_DELTAPOS, static_cast<WPARAM>(-500), 0, 198, 0},
        {"range32", PBM_SETRANGE32, 10, 1000, MAKELONG(0, 300), -1},
        {"pos 900", PBM_SETPOS, 900, 0, -1, 900},
        // Windows: a bar of the default colour answers CLR_DEFAULT (MSDN PBM_SETBARCOLOR).
        {"bar colour", PBM_SETBARCOLOR, 0, RGB(255, 0, 0), static_cast<LRESULT>(CLR_DEFAULT), 900},
        {"bar colour again", PBM_SETBARCOLOR, 0, RGB(0, 255, 0), RGB(255, 0, 0), 900},
    };
    for (const auto& s : steps) {
        const LRESULT answer = SendMessageA(bar, s.message, s.wParam, s.lParam);
        if (s.answer != -1) {
            EXPECT_EQ(answer, s.answer) << s.what;
        }
        if (s.pos != -1) {
            EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), s.pos) << s.what;
        }
    }
    PBRANGE range{};
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 1000);
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 1000);

    // Windows: a step past the end starts the bar over (MSDN PBM_STEPIT).
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETSTEP, 30, 0);
    SendMessageA(bar, PBM_SETPOS, 90, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 90);
    const LRESULT wrapped = SendMessageA(bar, PBM_GETPOS, 0, 0);
    EXPECT_GE(wrapped, 0);
    EXPECT_LT(wrapped, 90);
}

enum : WORD { kBar = 300, kProgress = 301 };

class BarsDialog : public CDialog {
public:
    CScrollBar bar;
    CProgressCtrl progress;
    std::vector<std::pair<UINT, CScrollBar*>> seen;

protected:
    BOOL OnInitDialog() override
    {
        ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 40, 10, 100, 12, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgress)), ::GetModuleHandleA(nullptr), nullptr);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, kBar, bar);
        DDX_Control(pDX, kProgress, progress);
    }
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
    {
        seen.push_back({nSBCode, pScrollBar});
        CDialog::OnVScroll(nSBCode, nPos, pScrollBar);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BarsDialog, CDialog)
ON_WM_VSCROLL()
END_MESSAGE_MAP()

TEST(MfcBars, ControlsBoundByDdxWorkThroughTheirClassesAndScrollReachesTheMap)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    DialogTemplate t(WS_POPUP | WS_CAPTION, 160, 120, u"Bars");
    t.Item(0x84, u"", kBar, SBS_VERT, 5, 5, 10, 100);
    BarsDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get()));
    ASSERT_NE(dlg.bar.m_hWnd, nullptr);
    ASSERT_NE(dlg.progress.m_hWnd, nullptr);

    dlg.bar.SetScrollRange(0, 40, FALSE);
    EXPECT_EQ(dlg.bar.SetScrollPos(15), 0);
    EXPECT_EQ(dlg.bar.SetScrollPos(60), 15);
    EXPECT_EQ(dlg.bar.GetScrollPos(), 40);
    EXPECT_EQ(dlg.bar.GetScrollLimit(), 40);
    ::SendMessageA(dlg.bar.m_hWnd, WM_KEYDOWN, VK_NEXT, 1);
    ASSERT_FALSE(dlg.seen.empty());
    EXPECT_EQ(dlg.seen.front().first, static_cast<UINT>(SB_PAGEDOWN));
    EXPECT_EQ(dlg.seen.front().second, &dlg.bar); // the bound object, not a temporary one

    dlg.progress.SetRange(0, 300);
    EXPECT_EQ(dlg.progress.SetStep(-2), 10);
    EXPECT_EQ(dlg.progress.SetPos(300), 0);
    EXPECT_EQ(dlg.progress.StepIt(), 300);
    EXPECT_EQ(dlg.progress.OffsetPos(-98), 298);
    EXPECT_EQ(dlg.progress.GetPos(), 200);
    int low = -1, high = -1;
    dlg.progress.GetRange(low, high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 300);
    dlg.DestroyWindow();
}

} // namespace
