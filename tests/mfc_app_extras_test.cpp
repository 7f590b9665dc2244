// What AppWizard's InitInstance calls beyond templates: the recent-file list kept in the
// settings (LoadStdProfileSettings, AddToRecentFileList), the visual manager, and fonts of
// controls through CWnd::SetFont and GetFont.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class CExtrasApp : public CWinAppEx {
public:
    // MSDN: a name assigned to m_pszAppName is freed by CWinApp's destructor, so it is malloc'd.
    CExtrasApp()
    {
        static const char name[] = "ExtrasGame";
        char* copy = static_cast<char*>(std::malloc(sizeof name));
        std::memcpy(copy, name, sizeof name);
        m_pszAppName = copy;
    }
};

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// MSDN CWinApp::LoadStdProfileSettings and AddToRecentFileList: the most recent file first, at
// most nMaxMRU of them, one already listed moving up rather than appearing twice; the list is
// kept in the settings under "Recent File List" and read back by the next run.
TEST(MfcRecentFiles, ListKeepsTheMostRecentFirstAndPersists)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "mfc_recent_files_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
#ifdef _WIN32
    _putenv_s("APPDATA", folder.string().c_str());
#else
    setenv("XDG_CONFIG_HOME", folder.string().c_str(), 1);
#endif
    CExtrasApp app;
    app.SetRegistryKey("Maker");
    app.AddToRecentFileList("ignored.txt"); // no list before LoadStdProfileSettings
    app.LoadStdProfileSettings(3);
    ASSERT_NE(app.m_pRecentFileList, nullptr);
    EXPECT_EQ(app.m_pRecentFileList->GetSize(), 3);
    EXPECT_TRUE((*app.m_pRecentFileList)[0].IsEmpty());
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "B.TXT"})
        app.AddToRecentFileList(name);
    const char* const expected[] = {"B.TXT", "d.txt", "c.txt"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((*app.m_pRecentFileList)[i], CString(expected[i])) << i;
    app.SaveStdProfileSettings();
    EXPECT_EQ(ReadAll(folder / "Maker" / "ExtrasGame.ini"),
              "[Recent File List]\nFile1=B.TXT\nFile2=d.txt\nFile3=c.txt\n");

    app.LoadStdProfileSettings(4); // the next run
    EXPECT_EQ((*app.m_pRecentFileList)[1], CString("d.txt"));
    EXPECT_TRUE((*app.m_pRecentFileList)[3].IsEmpty());
    app.m_pRecentFileList->Remove(0);
    EXPECT_EQ((*app.m_pRecentFileList)[0], CString("d.txt"));
    app.LoadStdProfileSettings(0); // no list at all
    EXPECT_EQ(app.m_pRecentFileList, nullptr);
    std::filesystem::remove_all(folder);
}

// AppWizard: CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows)); the
// instance is then of that class, and a class that is no visual manager changes nothing.
TEST(MfcVisualManager, DefaultManagerIsMadeOfTheClassSet)
{
    CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
    CMFCVisualManager* manager = CMFCVisualManager::GetInstance();
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(manager->IsKindOf(RUNTIME_CLASS(CMFCVisualManagerWindows)));
    EXPECT_EQ(CMFCVisualManager::GetInstance(), manager);
    CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CWnd));
    EXPECT_TRUE(CMFCVisualManager::GetInstance()->IsKindOf(RUNTIME_CLASS(CMFCVisualManagerWindows)));
    CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerOffice2007));
    EXPECT_TRUE(CMFCVisualManager::GetInstance()->IsKindOf(RUNTIME_CLASS(CMFCVisualManagerOffice2007)));
    EXPECT_FALSE(CMFCVisualManager::GetInstance()->IsKindOf(RUNTIME_CLASS(CMFCVisualManagerWindows)));
}

// Windows: a button keeps the font WM_SETFONT gives it and returns it for WM_GETFONT; a window
// of a program's own class answers WM_GETFONT with null through DefWindowProc (MSDN WM_GETFONT).
TEST(MfcWndFont, SetFontReachesControlsOnly)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, _T("Fonts"), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    CWnd button;
    ASSERT_TRUE(button.CreateEx(0, _T("BUTTON"), _T("OK"), WS_CHILD | WS_VISIBLE, 5, 5, 60, 24, parent.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(1))));
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, _T("Arial")));
    EXPECT_EQ(button.GetFont(), nullptr);
    button.SetFont(&font, FALSE);
    ASSERT_NE(button.GetFont(), nullptr);
    EXPECT_EQ(button.GetFont()->m_hObject, font.m_hObject);
    parent.SetFont(&font, FALSE);
    EXPECT_EQ(parent.GetFont(), nullptr);
    button.DestroyWindow();
    parent.DestroyWindow();
}

} // namespace
