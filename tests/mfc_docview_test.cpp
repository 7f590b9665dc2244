// The application framework as AppWizard-made programs drive it: a document template makes the
// document, the frame and the view; the view lies over the frame's client area and draws through
// OnDraw; the command line, shell commands and settings behave as MFC documents them.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class CTestDoc : public CDocument {
    DECLARE_DYNCREATE(CTestDoc)
public:
    int newDocuments = 0;
    COLORREF colour = RGB(10, 20, 30);
    BOOL OnNewDocument() override
    {
        if (!CDocument::OnNewDocument())
            return FALSE;
        ++newDocuments;
        return TRUE;
    }
};

class CTestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CTestFrame)
public:
    bool preCreateCalled = false;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        preCreateCalled = true;
        return CFrameWnd::PreCreateWindow(cs);
    }
};

class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)
public:
    int initialUpdates = 0, updates = 0, draws = 0;
    LPARAM lastHint = 0;
    CTestDoc* GetDocument() const { return static_cast<CTestDoc*>(CView::GetDocument()); }
    void OnDraw(CDC* pDC) override
    {
        ++draws;
        for (int y = 2; y < 6; ++y)
            for (int x = 3; x < 7; ++x)
                pDC->SetPixel(x, y, GetDocument()->colour);
    }
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        CView::OnInitialUpdate();
    }

protected:
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        ++updates;
        lastHint = lHint;
        CView::OnUpdate(pSender, lHint, pHint);
    }
};

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)
IMPLEMENT_DYNCREATE(CTestView, CView)

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("DocViewGame") {}
};

// AppWizard's InitInstance: AddDocTemplate, ParseCommandLine, ProcessShellCommand. The template
// makes the document, frame and view; the frame's PreCreateWindow runs; the view (child
// AFX_IDW_PANE_FIRST) covers the frame's whole client area, shows the document and draws it; the
// title is "Untitled - <app>" (MSDN CSingleDocTemplate, CFrameWnd::PreCreateWindow,
// CWinApp::ProcessShellCommand, CView::OnDraw, CDocument::UpdateAllViews).
TEST(DocView, SingleDocumentProgramLaysTheViewOverTheFrameAndDraws)
{
    CTestApp app;
    ASSERT_EQ(&app, AfxGetApp());
    app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                              RUNTIME_CLASS(CTestView)));
    CCommandLineInfo cmdInfo;
    app.ParseCommandLine(cmdInfo);
    EXPECT_EQ(CCommandLineInfo::FileNew, cmdInfo.m_nShellCommand);
    // Shown: Windows reads no pixel of a hidden window's device context (GetPixel gives
    // CLR_INVALID outside the visible region; MSDN GetPixel).
    app.m_nCmdShow = SW_SHOW;
    ASSERT_TRUE(app.ProcessShellCommand(cmdInfo));

    auto* frame = dynamic_cast<CTestFrame*>(app.m_pMainWnd);
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(frame->preCreateCalled);
    auto* view = dynamic_cast<CTestView*>(frame->GetActiveView());
    ASSERT_NE(nullptr, view);
    CTestDoc* doc = view->GetDocument();
    ASSERT_NE(nullptr, doc);
    EXPECT_EQ(doc, frame->GetActiveDocument());
    EXPECT_EQ(1, doc->newDocuments);
    EXPECT_EQ(1, view->initialUpdates);
    EXPECT_EQ(frame, view->GetParentFrame());
    EXPECT_EQ(frame, view->GetParent());

    // The view's window covers the frame's client area exactly.
    CRect client, viewRect;
    frame->GetClientRect(&client);
    EXPECT_GT(client.Width(), 0);
    frame->ClientToScreen(&client.TopLeft());
    frame->ClientToScreen(&client.BottomRight());
    view->GetWindowRect(&viewRect);
    EXPECT_EQ(client, viewRect);

    TCHAR title[64] = {};
    frame->GetWindowText(title, 64);
    EXPECT_STREQ("Untitled - DocViewGame", title);
    doc->SetTitle("level1.map");
    frame->GetWindowText(title, 64);
    EXPECT_STREQ("level1.map - DocViewGame", title);

    // A change of the document reaches the view, which paints with OnDraw.
    doc->colour = RGB(200, 100, 50);
    const int updatesBefore = view->updates;
    doc->UpdateAllViews(nullptr, 7);
    EXPECT_EQ(updatesBefore + 1, view->updates);
    EXPECT_EQ(7, view->lastHint);
    doc->UpdateAllViews(view); // the sender is not told
    EXPECT_EQ(updatesBefore + 1, view->updates);
    view->UpdateWindow();
    EXPECT_GE(view->draws, 1);
    CClientDC dc(view);
    EXPECT_EQ(RGB(200, 100, 50), dc.GetPixel(4, 3));
    EXPECT_EQ(RGB(200, 100, 50), dc.GetPixel(6, 5));

    // CWnd::GetDC hands out a CDC of the same surface until ReleaseDC.
    CDC* pDC = view->GetDC();
    ASSERT_NE(nullptr, pDC);
    EXPECT_EQ(RGB(200, 100, 50), pDC->GetPixel(3, 2));
    EXPECT_EQ(1, view->ReleaseDC(pDC));
    CDC notAWindowDC;
    EXPECT_EQ(0, view->ReleaseDC(&notAWindowDC));

    // A second File New reuses the one document and frame of a single-document program.
    app.OnFileNew();
    EXPECT_EQ(2, doc->newDocuments);
    EXPECT_EQ(frame, app.m_pMainWnd);
    EXPECT_EQ(view, frame->GetActiveView());

    POSITION pos = doc->GetFirstViewPosition();
    EXPECT_EQ(view, doc->GetNextView(pos));
    EXPECT_EQ(nullptr, pos);

    // ID_APP_EXIT reaches CWinApp's own map and closes the main window, which takes the view
    // with it; the template still owns the document (MSDN CWinApp::OnAppExit).
    EXPECT_STREQ("DocViewGame", AfxGetAppName());
    EXPECT_TRUE(app.OnCmdMsg(ID_APP_EXIT, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(nullptr, doc->GetFirstViewPosition());
    app.m_pMainWnd = nullptr;
}

// The command line is split as Microsoft's C runtime splits one (MSDN "Parsing C++ command-line
// arguments", whose examples these are) and read as CCommandLineInfo documents: a file name means
// FileOpen, /p print, /pt print to with printer, driver and port (MSDN CCommandLineInfo).
// The wizard's frame without document and view: a plain CWnd child as the view, whose
// PreCreateWindow picks its class, laid over the frame's client area by its pane id.
class CChildView : public CWnd {
public:
    int asked = 0;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        ++asked;
        if (!CWnd::PreCreateWindow(cs))
            return FALSE;
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
        cs.lpszClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
        return TRUE;
    }
};

class CPlainFrame : public CFrameWnd {
public:
    int asked = 0;
    CChildView view;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        ++asked;
        return CFrameWnd::PreCreateWindow(cs);
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        return view.Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST, nullptr)
                   ? 0
                   : -1;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPlainFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

// MFC: CreateEx asks the window's PreCreateWindow once before creating it, for a plain CWnd as
// for a frame; RecalcLayout lays the AFX_IDW_PANE_FIRST child over the client area whatever its
// class (MSDN CWnd::PreCreateWindow, CWnd::CreateEx, CFrameWnd::RecalcLayout).
TEST(DocView, PlainChildViewIsAskedOnceAndFillsTheFrame)
{
    auto* frame = new CPlainFrame; // deletes itself when its window is destroyed
    ASSERT_TRUE(frame->Create(nullptr, _T("Plain")));
    EXPECT_EQ(frame->asked, 1);
    EXPECT_EQ(frame->view.asked, 1);
    EXPECT_NE(frame->view.GetExStyle() & WS_EX_CLIENTEDGE, 0u);
    EXPECT_EQ(frame->view.GetStyle() & WS_BORDER, 0u);
    frame->RecalcLayout();
    CRect client, placed;
    frame->GetClientRect(&client);
    frame->view.GetWindowRect(&placed);
    frame->ScreenToClient(&placed);
    EXPECT_EQ(placed, client);
    frame->DestroyWindow();
}

TEST(CommandLine, SplitAndReadAsMfcDocuments)
{
    class Recorder : public CCommandLineInfo {
    public:
        std::vector<std::string> params;
        void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast) override
        {
            params.push_back(std::string(bFlag ? "/" : "") + pszParam + (bLast ? "." : ""));
            CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
        }
    };
    struct {
        const char* line;
        std::vector<std::string> params;
        int command;
        const char* file;
    } cases[] = {
        {"", {}, CCommandLineInfo::FileNew, ""},
        {"\"a b c\" d e", {"a b c", "d", "e."}, CCommandLineInfo::FileOpen, "a b c"},
        {"\"ab\\\"c\" \"\\\\\" d", {"ab\"c", "\\", "d."}, CCommandLineInfo::FileOpen, "ab\"c"},
        {"a\\\\\\b d\"e f\"g h", {"a\\\\\\b", "de fg", "h."}, CCommandLineInfo::FileOpen, "a\\\\\\b"},
        {"a\\\\\\\"b c d", {"a\\\"b", "c", "d."}, CCommandLineInfo::FileOpen, "a\\\"b"},
        {"a\\\\\\\\\"b c\" d e", {"a\\\\b c", "d", "e."}, CCommandLineInfo::FileOpen, "a\\\\b c"},
        {"  level.map  ", {"level.map."}, CCommandLineInfo::FileOpen, "level.map"},
        {"/p doc.txt", {"/p", "doc.txt."}, CCommandLineInfo::FilePrint, "doc.txt"},
        {"-PT doc.txt Printer Driver Port", {"/PT", "doc.txt", "Printer", "Driver", "Port."},
         CCommandLineInfo::FilePrintTo, "doc.txt"},
        {"/Unregserver", {"/Unregserver."}, CCommandLineInfo::AppUnregister, ""},
        {"/Embedding", {"/Embedding."}, CCommandLineInfo::FileNew, ""},
        {"\"\"", {"."}, CCommandLineInfo::FileNew, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CTestApp app;
        std::string line = c.line;
        app.m_lpCmdLine = line.data();
        Recorder info;
        app.ParseCommandLine(info);
        EXPECT_EQ(c.params, info.params);
        EXPECT_EQ(c.command, info.m_nShellCommand);
        EXPECT_STREQ(c.file, info.m_strFileName);
    }
    Recorder info;
    CTestApp app;
    std::string line = "/pt f p d o";
    app.m_lpCmdLine = line.data();
    app.ParseCommandLine(info);
    EXPECT_STREQ("p", info.m_strPrinterName);
    EXPECT_STREQ("d", info.m_strDriverName);
    EXPECT_STREQ("o", info.m_strPortName);
    std::string embedded = "/Automation";
    app.m_lpCmdLine = embedded.data();
    Recorder automation;
    app.ParseCommandLine(automation);
    EXPECT_TRUE(automation.m_bRunAutomated);
    EXPECT_FALSE(automation.m_bShowSplash);

    // Without templates File New makes no main window, so the program is told to end; a shell
    // command this platform lacks (printing) ends it too.
    CCommandLineInfo fileNew;
    EXPECT_FALSE(app.ProcessShellCommand(fileNew));
    fileNew.m_nShellCommand = CCommandLineInfo::FilePrint;
    EXPECT_FALSE(app.ProcessShellCommand(fileNew));
    fileNew.m_nShellCommand = CCommandLineInfo::FileNothing;
    EXPECT_TRUE(app.ProcessShellCommand(fileNew));
}

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void SetConfigFolder(const std::string& folder)
{
#ifdef _WIN32
    _putenv_s("APPDATA", folder.c_str());
#else
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
#endif
}

// Settings: after SetRegistryKey("Maker") they live in <config>/Maker/<app>.ini and the profile
// name becomes the application's (MSDN CWinApp::SetRegistryKey); integers, negative ones included,
// and strings read back; names match ignoring case; a null value removes the entry and a null
// entry the section (MSDN WriteProfileString); absent entries give the default.
TEST(Profile, SettingsRoundTripThroughTheUsersConfigFolder)
{
    const char* tmp = std::getenv("MOX_TEST_TMP");
    const std::filesystem::path folder =
        std::filesystem::path(tmp ? tmp : std::filesystem::temp_directory_path().string()) / "mfc_profile_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    SetConfigFolder(folder.string());

    CTestApp app;
    app.SetCurrentHandles();
    EXPECT_STREQ("DocViewGame", app.m_pszAppName);
    ASSERT_NE(nullptr, app.m_pszExeName);
    EXPECT_EQ(CString(app.m_pszExeName) + ".INI", CString(app.m_pszProfileName));
    app.SetRegistryKey("Maker");
    EXPECT_STREQ("Maker", app.m_pszRegistryKey);
    EXPECT_STREQ("DocViewGame", app.m_pszProfileName);
    const std::filesystem::path file = folder / "Maker" / "DocViewGame.ini";
    EXPECT_EQ(CString(file.string().c_str()), app.GetProfileFilePath());

    EXPECT_EQ(42u, app.GetProfileInt("Settings", "Speed", 42));
    EXPECT_STREQ("none", app.GetProfileString("Settings", "Name", "none"));
    EXPECT_TRUE(app.GetProfileString("Settings", "Name").IsEmpty());
    EXPECT_TRUE(app.WriteProfileInt("Settings", "Speed", 7));
    EXPECT_TRUE(app.WriteProfileInt("Settings", "Offset", -12));
    EXPECT_TRUE(app.WriteProfileString("Player", "Name", "Ada"));
    EXPECT_TRUE(app.WriteProfileString("Settings", "Speed", "9")); // replaces
    EXPECT_EQ(9u, app.GetProfileInt("settings", "SPEED", 0));
    EXPECT_EQ(-12, static_cast<int>(app.GetProfileInt("Settings", "Offset", 0)));
    EXPECT_STREQ("Ada", app.GetProfileString("player", "name"));
    EXPECT_EQ(5u, app.GetProfileInt("Player", "Name", 5)); // not a number: the default
    EXPECT_EQ("[Settings]\nSpeed=9\nOffset=-12\n[Player]\nName=Ada\n", ReadAll(file));

    EXPECT_TRUE(app.WriteProfileString("Settings", "Offset", nullptr));
    EXPECT_EQ(3u, app.GetProfileInt("Settings", "Offset", 3));
    EXPECT_TRUE(app.WriteProfileString("Player", nullptr, nullptr));
    EXPECT_STREQ("gone", app.GetProfileString("Player", "Name", "gone"));
    EXPECT_TRUE(app.WriteProfileString("Text", "Line", "first\nsecond")); // one line is kept
    EXPECT_STREQ("first", app.GetProfileString("Text", "Line"));
    EXPECT_FALSE(app.WriteProfileString("Bad]", "x", "1"));
    EXPECT_FALSE(app.WriteProfileString("Text", "a=b", "1"));
    EXPECT_FALSE(app.WriteProfileString(nullptr, "x", "1"));
    EXPECT_EQ("[Settings]\nSpeed=9\n[Text]\nLine=first\n", ReadAll(file));

    // Another application object with the same names reads what the first one wrote.
    {
        CTestApp again;
        again.SetRegistryKey("Maker");
        EXPECT_EQ(9u, again.GetProfileInt("Settings", "Speed", 0));
    }
    std::filesystem::remove_all(folder);
}

} // namespace
