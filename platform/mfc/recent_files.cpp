// The recent-file list of document programs, kept in the application's settings, and the
// visual managers of the AppWizard's newer frames.
#include <afxwin.h>

#include <cstdio>

namespace {

bool SameName(const CStringA& a, const char* b)
{
    return a.CompareNoCase(b) == 0;
}

} // namespace

CRecentFileList::CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int)
    : m_nStart(nStart), m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat),
      m_nSize(nSize < 0 ? 0 : (nSize > 16 ? 16 : nSize))
{
}

CString CRecentFileList::operator[](int nIndex) const
{
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= m_names.size())
        return CString();
    return CString(m_names[static_cast<std::size_t>(nIndex)].GetString());
}

void CRecentFileList::Add(LPCSTR lpszPathName)
{
    if (!lpszPathName || !*lpszPathName || m_nSize == 0)
        return;
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (SameName(m_names[i], lpszPathName)) {
            m_names.erase(m_names.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    m_names.insert(m_names.begin(), CStringA(lpszPathName));
    if (m_names.size() > static_cast<std::size_t>(m_nSize))
        m_names.resize(static_cast<std::size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex >= 0 && static_cast<std::size_t>(nIndex) < m_names.size())
        m_names.erase(m_names.begin() + nIndex);
}

void CRecentFileList::ReadList()
{
    CWinApp* app = AfxGetApp();
    m_names.clear();
    if (!app)
        return;
    for (int i = 1; i <= m_nSize; ++i) {
        char entry[64];
        std::snprintf(entry, sizeof entry, m_strEntryFormat.GetString(), i);
        const CStringA name(app->GetProfileString(m_strSectionName.GetString(), entry));
        if (!name.IsEmpty())
            m_names.push_back(name);
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    // The section is written anew: entries past the names held are removed.
    app->WriteProfileString(m_strSectionName.GetString(), nullptr, nullptr);
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        char entry[64];
        std::snprintf(entry, sizeof entry, m_strEntryFormat.GetString(), static_cast<int>(i + 1));
        app->WriteProfileString(m_strSectionName.GetString(), entry, m_names[i].GetString());
    }
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (nMaxMRU == 0)
        return;
    m_pRecentFileList = new CRecentFileList(ID_FILE_MRU_FILE1, "Recent File List", "File%d",
                                            static_cast<int>(nMaxMRU > 16 ? 16 : nMaxMRU));
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

// --- Visual managers --------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CMFCVisualManager, CObject)
IMPLEMENT_DYNCREATE(CMFCVisualManagerOffice2003, CMFCVisualManager)
IMPLEMENT_DYNCREATE(CMFCVisualManagerWindows, CMFCVisualManagerOffice2003)
IMPLEMENT_DYNCREATE(CMFCVisualManagerOffice2007, CMFCVisualManagerOffice2003)
IMPLEMENT_DYNCREATE(CMFCVisualManagerWindows7, CMFCVisualManagerWindows)

CMFCVisualManagerOffice2007::Style CMFCVisualManagerOffice2007::s_style =
    CMFCVisualManagerOffice2007::Office2007_LunaBlue;

namespace {

struct DefaultManager {
    CRuntimeClass* cls = nullptr;
    CMFCVisualManager* made = nullptr;
    ~DefaultManager() { delete made; }
};

DefaultManager& TheDefault()
{
    static DefaultManager d;
    return d;
}

} // namespace

CMFCVisualManager::~CMFCVisualManager()
{
    if (TheDefault().made == this)
        TheDefault().made = nullptr;
}

void PASCAL CMFCVisualManager::SetDefaultManager(CRuntimeClass* pRTI)
{
    if (pRTI && !pRTI->IsDerivedFrom(RUNTIME_CLASS(CMFCVisualManager)))
        return; // not a visual manager: the one there was stays
    DefaultManager& d = TheDefault();
    delete d.made;
    d.made = nullptr;
    d.cls = pRTI;
}

CMFCVisualManager* PASCAL CMFCVisualManager::GetInstance()
{
    DefaultManager& d = TheDefault();
    if (!d.made) {
        CObject* made = (d.cls ? d.cls : RUNTIME_CLASS(CMFCVisualManager))->CreateObject();
        d.made = made ? static_cast<CMFCVisualManager*>(made) : new CMFCVisualManager;
    }
    return d.made;
}
