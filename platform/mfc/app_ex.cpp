// CWinAppEx's managers and its workspace settings, kept in the profile GetProfileInt reads.
// Only MFC's headers and Win32 calls are used here, so a Windows build compiles it as it is.
#include <afxcontrolbars.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The profile section of a sub-section of the workspace.
CStringA SectionOf(const CStringA& base, LPCSTR lpszSubSection)
{
    if (!lpszSubSection || !*lpszSubSection)
        return base;
    CStringA section = base;
    section += "\\";
    section += lpszSubSection;
    return section;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

CWinAppEx::~CWinAppEx()
{
    delete m_pContextMenuManager;
    delete m_pKeyboardManager;
    delete m_pTooltipManager;
}

BOOL CWinAppEx::InitContextMenuManager()
{
    if (!m_pContextMenuManager)
        m_pContextMenuManager = new CContextMenuManager;
    return TRUE;
}

BOOL CWinAppEx::InitKeyboardManager()
{
    if (!m_pKeyboardManager)
        m_pKeyboardManager = new CKeyboardManager;
    return TRUE;
}

BOOL CWinAppEx::InitTooltipManager()
{
    if (!m_pTooltipManager)
        m_pTooltipManager = new CTooltipManager;
    return TRUE;
}

LPCSTR CWinAppEx::SetRegistryBase(LPCSTR lpszSectionName)
{
    m_strRegSection = lpszSectionName && *lpszSectionName ? lpszSectionName : "Workspace";
    return m_strRegSection.GetString();
}

int CWinAppEx::GetSectionInt(LPCSTR lpszSubSection, LPCSTR lpszEntry, int nDefault)
{
    if (!lpszEntry)
        return nDefault;
    return static_cast<int>(GetProfileInt(SectionOf(m_strRegSection, lpszSubSection).GetString(), lpszEntry, nDefault));
}

BOOL CWinAppEx::WriteSectionInt(LPCSTR lpszSubSection, LPCSTR lpszEntry, int nValue)
{
    if (!lpszEntry)
        return FALSE;
    return WriteProfileInt(SectionOf(m_strRegSection, lpszSubSection).GetString(), lpszEntry, nValue);
}

CStringA CWinAppEx::GetSectionString(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    if (!lpszEntry)
        return CStringA(lpszDefault ? lpszDefault : "");
    return GetProfileString(SectionOf(m_strRegSection, lpszSubSection).GetString(), lpszEntry,
                            lpszDefault ? lpszDefault : "");
}

BOOL CWinAppEx::WriteSectionString(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (!lpszEntry || !lpszValue)
        return FALSE;
    return WriteProfileString(SectionOf(m_strRegSection, lpszSubSection).GetString(), lpszEntry, lpszValue);
}

// Bytes are kept as two hexadecimal digits each.
BOOL CWinAppEx::GetSectionBinary(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    if (!ppData || !pBytes)
        return FALSE;
    *ppData = nullptr;
    *pBytes = 0;
    const CStringA text = GetSectionString(lpszSubSection, lpszEntry, "");
    const int length = text.GetLength();
    if (length == 0 || length % 2 != 0)
        return FALSE;
    std::vector<BYTE> bytes(static_cast<std::size_t>(length / 2));
    const char* p = text.GetString();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexDigit(p[2 * i]), low = HexDigit(p[2 * i + 1]);
        if (high < 0 || low < 0)
            return FALSE;
        bytes[i] = static_cast<BYTE>(high << 4 | low);
    }
    *ppData = new BYTE[bytes.size()];
    std::memcpy(*ppData, bytes.data(), bytes.size());
    *pBytes = static_cast<UINT>(bytes.size());
    return TRUE;
}

BOOL CWinAppEx::WriteSectionBinary(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (!pData && nBytes)
        return FALSE;
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(std::size_t(nBytes) * 2);
    for (UINT i = 0; i < nBytes; ++i) {
        text += digits[pData[i] >> 4];
        text += digits[pData[i] & 15];
    }
    return WriteSectionString(lpszSubSection, lpszEntry, text.c_str());
}

BOOL CWinAppEx::LoadState(CFrameWnd*)
{
    PreLoadState();
    LoadCustomState();
    return TRUE;
}

BOOL CWinAppEx::SaveState(CFrameWnd*)
{
    SaveCustomState();
    return TRUE;
}
