// The view's printing members on a machine with no printer, which is what this platform is:
// the print commands reach OnPreparePrinting, DoPreparePrinting tells the user there is no
// printer and fails, and the job goes no further (OnBeginPrinting is never called).
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>
#include <string>

namespace {

TEST(MfcPrinting, PrintInfoStartsAtPageOneOfAllPages)
{
    CPrintInfo info;
    EXPECT_EQ(info.GetMinPage(), 1u);
    EXPECT_EQ(info.GetMaxPage(), 0xFFFFu);
    EXPECT_EQ(info.m_nCurPage, 1u);
    EXPECT_FALSE(info.m_bPreview);
    EXPECT_TRUE(info.m_bContinuePrinting);
    info.SetMinPage(2);
    info.SetMaxPage(5);
    EXPECT_EQ(info.GetFromPage(), 2u);
    EXPECT_EQ(info.GetToPage(), 5u);
}

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();

class CPrintView : public CView {
    DECLARE_DYNCREATE(CPrintView)
public:
    int prepared = 0, begun = 0, ended = 0;
    BOOL lastPreview = FALSE;
    BOOL prepareWith = -1; // -1: DoPreparePrinting, as AppWizard writes it; else this answer
    void OnDraw(CDC*) override {}
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        ++prepared;
        lastPreview = pInfo->m_bPreview;
        pInfo->SetMaxPage(3);
        return prepareWith == -1 ? DoPreparePrinting(pInfo) : prepareWith;
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { ++begun; }
    void OnEndPrinting(CDC*, CPrintInfo*) override { ++ended; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CPrintView, CView)

BEGIN_MESSAGE_MAP(CPrintView, CView)
ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

// Windows: with no printer installed, the print dialog and the default printer both fail, and
// MFC's DoPreparePrinting returns FALSE after its message; under Wine a message box would wait
// for a user, so this runs headless only, where the box answers at once on standard error.
TEST(MfcPrinting, PrintCommandsStopAfterTellingThereIsNoPrinter)
{
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CPrintView);
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Print", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, nullptr, 0,
                              &context));
    auto* view = static_cast<CPrintView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    struct Case {
        const char* what;
        UINT command;
        BOOL prepareWith;
        BOOL preview;
    };
    const Case cases[] = {
        {"print", ID_FILE_PRINT, -1, FALSE},
        {"print directly", ID_FILE_PRINT_DIRECT, -1, FALSE},
        {"preview", ID_FILE_PRINT_PREVIEW, -1, TRUE},
        {"a view that prepares without DoPreparePrinting", ID_FILE_PRINT, TRUE, FALSE},
        {"a view that refuses", ID_FILE_PRINT, FALSE, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view->prepared = view->begun = view->ended = 0;
        view->prepareWith = c.prepareWith;
        testing::internal::CaptureStderr();
        frame->SendMessage(WM_COMMAND, c.command);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(view->prepared, 1);
        EXPECT_EQ(view->lastPreview, c.preview);
        EXPECT_EQ(view->begun, 0);
        EXPECT_EQ(view->ended, 0);
        // The user hears of the missing printer unless the view itself refused.
        EXPECT_EQ(said.find("No printers") != std::string::npos, c.prepareWith != FALSE) << said;
    }
    frame->DestroyWindow();
}
#endif

} // namespace
