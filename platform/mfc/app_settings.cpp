// CWinApp's names, settings ("profile") and command line, and CCommandLineInfo.
//
// Settings live in a UTF-8 INI file under the user's configuration folder (see afxwin.h), one
// "[section]" line per section and "entry=value" lines under it. Every write rewrites the file
// through a temporary one, so a program that stops half-way leaves the old file or the new one.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <afxwin.h>

#include <atomic>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "afx_text.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(LPCTSTR text)
{
    return text ? std::string(CStringA(text).GetString()) : std::string();
}

bool SameName(const std::string& a, const std::string& b)
{
    return CStringA(a.c_str()).CompareNoCase(b.c_str()) == 0;
}

// A name used as one path component: separators would lead out of the settings folder.
std::string Component(std::string name)
{
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    if (name == "." || name == "..")
        name = "_";
    return name;
}

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

std::vector<Section> ReadIni(const std::string& path)
{
    std::vector<Section> sections;
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == ';')
            continue;
        if (line[start] == '[') {
            const std::size_t end = line.find(']', start);
            sections.push_back({line.substr(start + 1, end == std::string::npos ? end : end - start - 1), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || sections.empty())
            continue;
        std::string key = line.substr(start, eq > start ? eq - start : 0);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
            key.pop_back();
        sections.back().entries.emplace_back(key, line.substr(eq + 1));
    }
    return sections;
}

bool WriteIni(const std::string& path, const std::vector<Section>& sections)
{
    std::error_code ec;
    const fs::path file = fs::u8path(path);
    if (file.has_parent_path())
        fs::create_directories(file.parent_path(), ec);
    fs::path temp = file;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const Section& s : sections) {
            out << '[' << s.name << "]\n";
            for (const auto& e : s.entries)
                out << e.first << '=' << e.second << '\n';
        }
        out.flush();
        if (!out)
            return false;
    }
    fs::rename(temp, file, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

// The user's configuration folder, or empty when the environment names none.
std::string ConfigFolder()
{
#ifdef _WIN32
    const char* appData = std::getenv("APPDATA");
    return appData && *appData ? appData : "";
#else
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.config" : "";
#endif
}

bool ValidName(const std::string& name)
{
    return name.find_first_of("\r\n[]=") == std::string::npos;
}

// The executable's full path, or empty.
std::string ExecutablePath()
{
#ifdef _WIN32
    char path[1024];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
#else
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
#endif
}

} // namespace

// --- Names --------------------------------------------------------------------------------------

void CWinApp::SetCurrentHandles()
{
    std::string exe = ExecutablePath();
    const std::size_t slash = exe.find_last_of("/\\");
    if (slash != std::string::npos)
        exe.erase(0, slash + 1);
    const std::size_t dot = exe.rfind('.');
    if (dot != std::string::npos && dot > 0)
        exe.erase(dot);
    if (exe.empty())
        exe = "app";
    const CString exeName(exe.c_str());
    if (!m_pszExeName)
        m_pszExeName = afx_text::Dup(exeName.GetString());
    if (!m_pszAppName)
        m_pszAppName = afx_text::Dup(exeName.GetString());
    if (!m_pszProfileName) {
        const CString ini = exeName + CString(".INI");
        m_pszProfileName = afx_text::Dup(ini.GetString());
    }
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    if (!lpszRegistryKey || !*lpszRegistryKey)
        return;
    std::free(const_cast<TCHAR*>(m_pszRegistryKey));
    m_pszRegistryKey = afx_text::Dup(lpszRegistryKey);
    // As MFC does: the settings' name becomes the application's.
    if (m_pszAppName) {
        std::free(const_cast<TCHAR*>(m_pszProfileName));
        m_pszProfileName = afx_text::Dup(m_pszAppName);
    }
}

// --- Settings -----------------------------------------------------------------------------------

CString CWinApp::GetProfileFilePath() const
{
    std::string profile = Utf8(m_pszProfileName ? m_pszProfileName : m_pszAppName);
    if (profile.empty())
        return CString();
    const fs::path given = fs::u8path(profile);
    if (given.is_absolute())
        return CString(profile.c_str());
    const std::string folder = ConfigFolder();
    if (folder.empty())
        return CString();
    fs::path path = fs::u8path(folder);
    if (m_pszRegistryKey)
        path = path / fs::u8path(Component(Utf8(m_pszRegistryKey))) / fs::u8path(Component(profile) + ".ini");
    else
        path /= fs::u8path(Component(profile));
    const std::string text = path.u8string();
    return CString(text.c_str());
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    const CString path = GetProfileFilePath();
    if (lpszSection && lpszEntry && !path.IsEmpty()) {
        const std::string section = Utf8(lpszSection), entry = Utf8(lpszEntry);
        for (const Section& s : ReadIni(Utf8(path)))
            if (SameName(s.name, section))
                for (const auto& e : s.entries)
                    if (SameName(e.first, entry))
                        return CString(e.second.c_str());
    }
    return CString(lpszDefault);
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    const CStringA text(GetProfileString(lpszSection, lpszEntry, nullptr));
    // Optional blanks, a sign and decimal digits, as the registry's DWORD written by
    // WriteProfileInt reads back: negative numbers survive the round trip.
    const char* p = text.GetString();
    while (*p == ' ' || *p == '\t')
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return static_cast<UINT>(nDefault);
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value < 0x100000000ULL ? value * 10 + static_cast<unsigned>(*p - '0') : value;
    const UINT low = static_cast<UINT>(value);
    return negative ? 0u - low : low;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    CString text;
    text.Format(CString("%d"), nValue);
    return WriteProfileString(lpszSection, lpszEntry, text);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    const CString path = GetProfileFilePath();
    if (!lpszSection || path.IsEmpty())
        return FALSE;
    const std::string section = Utf8(lpszSection), entry = Utf8(lpszEntry);
    std::string value = Utf8(lpszValue);
    if (!ValidName(section) || (lpszEntry && !ValidName(entry)))
        return FALSE;
    const std::size_t lineBreak = value.find_first_of("\r\n");
    if (lineBreak != std::string::npos)
        value.erase(lineBreak);

    std::vector<Section> sections = ReadIni(Utf8(path));
    auto s = sections.begin();
    while (s != sections.end() && !SameName(s->name, section))
        ++s;
    if (!lpszEntry) {
        if (s != sections.end())
            sections.erase(s);
        return WriteIni(Utf8(path), sections);
    }
    if (s == sections.end()) {
        if (!lpszValue)
            return TRUE; // nothing to remove
        sections.push_back({section, {}});
        s = sections.end() - 1;
    }
    auto e = s->entries.begin();
    while (e != s->entries.end() && !SameName(e->first, entry))
        ++e;
    if (!lpszValue) {
        if (e != s->entries.end())
            s->entries.erase(e);
    } else if (e != s->entries.end()) {
        e->second = value;
    } else {
        s->entries.emplace_back(entry, value);
    }
    return WriteIni(Utf8(path), sections);
}

// --- The command line ---------------------------------------------------------------------------

// Splits a command line as Microsoft's C runtime does: blanks separate arguments; "..." groups
// blanks into one; 2n backslashes before a quote give n and the quote delimits, 2n+1 give n and
// a literal quote; other backslashes are literal; "" inside quotes is a literal quote.
static std::vector<CString> SplitCommandLine(LPCTSTR line)
{
    std::vector<CString> args;
    if (!line)
        return args;
    const TCHAR* p = line;
    for (;;) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        CString arg;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            int slashes = 0;
            while (*p == '\\') {
                ++slashes;
                ++p;
            }
            if (*p == '"') {
                arg += CString(TCHAR('\\'), slashes / 2);
                if (slashes % 2) {
                    arg += TCHAR('"');
                    ++p;
                } else if (quoted && p[1] == '"') {
                    arg += TCHAR('"');
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
            } else {
                arg += CString(TCHAR('\\'), slashes);
                if (*p && (quoted || (*p != ' ' && *p != '\t')))
                    arg += *p++;
            }
        }
        args.push_back(arg);
    }
    return args;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    const std::vector<CString> args = SplitCommandLine(m_lpCmdLine);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const CString& arg = args[i];
        const BOOL flag = arg.GetLength() > 0 && (arg[0] == '/' || arg[0] == '-');
        const CStringW wide(flag ? arg.GetString() + 1 : arg.GetString());
        rCmdInfo.ParseParam(wide.GetString(), flag, i + 1 == args.size());
    }
}

CCommandLineInfo::~CCommandLineInfo() = default;

void CCommandLineInfo::ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
        ParseParamFlag(CStringA(pszParam));
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast)
{
    const CStringA narrow(pszParam);
    ParseParam(narrow.GetString(), bFlag, bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam)
{
    const CStringA flag(pszParam);
    if (flag.CompareNoCase("pt") == 0)
        m_nShellCommand = FilePrintTo;
    else if (flag.CompareNoCase("p") == 0)
        m_nShellCommand = FilePrint;
    else if (flag.CompareNoCase("Register") == 0 || flag.CompareNoCase("Regserver") == 0)
        m_nShellCommand = AppRegister;
    else if (flag.CompareNoCase("Unregister") == 0 || flag.CompareNoCase("Unregserver") == 0)
        m_nShellCommand = AppUnregister;
    else if (flag.CompareNoCase("dde") == 0)
        m_nShellCommand = FileDDE;
    else if (flag.CompareNoCase("Embedding") == 0)
        m_bRunEmbedded = TRUE;
    else if (flag.CompareNoCase("Automation") == 0)
        m_bRunAutomated = TRUE;
}

void CCommandLineInfo::ParseParamNotFlag(const TCHAR* pszParam)
{
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (!bLast)
        return;
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
    m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated;
}

// --- Commands the application handles itself ----------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
ON_COMMAND(ID_APP_EXIT, &ThisClass::OnAppExit)
END_MESSAGE_MAP()

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnHelp()
{
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    ::MessageBoxA(owner, "Help cannot be shown: there is no help viewer on this system.",
                  m_pszAppName ? m_pszAppName : "", MB_OK | MB_ICONEXCLAMATION);
}

LPCSTR AfxGetAppName()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pszAppName : nullptr;
}

// The program's module when no application object says otherwise, as the resources are its.
HINSTANCE AfxGetInstanceHandle()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : ::GetModuleHandleA(nullptr);
}

namespace {
std::atomic<HINSTANCE> g_resourceHandle{nullptr};
}

HINSTANCE AfxGetResourceHandle()
{
    const HINSTANCE chosen = g_resourceHandle.load();
    return chosen ? chosen : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_resourceHandle.store(hInstResource);
}

// --- Shell commands and documents ---------------------------------------------------------------

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, 0, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr && m_pMainWnd != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:
        // Printing, registering the application and DDE do not exist here; the program ends, as it
        // would after doing them.
        std::fprintf(stderr, "ProcessShellCommand: shell command %d is not available here\n",
                     rCmdInfo.m_nShellCommand);
        return FALSE;
    }
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!pTemplate)
        return;
    if (m_templateCount == static_cast<int>(sizeof m_templates / sizeof m_templates[0])) {
        delete pTemplate; // the application owns what it is given, even what it cannot keep
        return;
    }
    m_templates[m_templateCount++] = pTemplate;
}

int CWinApp::GetDocTemplateCount() const
{
    return m_templateCount;
}

void CWinApp::OnFileNew()
{
    if (m_templateCount > 0)
        m_templates[0]->OpenDocumentFile(nullptr);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    return m_templateCount > 0 ? m_templates[0]->OpenDocumentFile(lpszFileName) : nullptr;
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    while (m_templateCount > 0)
        delete m_templates[--m_templateCount];
    return CWinThread::ExitInstance();
}
