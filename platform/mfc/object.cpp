// CObject, CRuntimeClass, the dump context and the functions behind ASSERT, TRACE and DEBUG_NEW.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include <afx.h>

namespace {

// Classes made known by IMPLEMENT_ macros, newest first. They register while static objects are
// built, before main, and are never removed (their information lives as long as the program).
std::mutex g_classLock;
CRuntimeClass* g_firstClass = nullptr;

// The debug output: the debugger's on Windows, standard error elsewhere.
void DebugOutput(const char* text)
{
#ifdef _WIN32
    OutputDebugStringA(text);
#else
    std::fputs(text, stderr);
#endif
}

} // namespace

// --- Run-time classes ---------------------------------------------------------------------------

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr,
                                       nullptr};
static const AFX_CLASSINIT g_initCObject(&CObject::classCObject);

CRuntimeClass* PASCAL CObject::GetThisClass()
{
    return &classCObject;
}

CObject* CRuntimeClass::CreateObject()
{
    if (!m_pfnCreateObject)
        return nullptr;
    return m_pfnCreateObject();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    if (!pBaseClass)
        return FALSE;
    // The chain is short and acyclic by construction; the bound only guards against a class
    // information block a program filled in by hand wrongly.
    const CRuntimeClass* c = this;
    for (int depth = 0; c && depth < 1000; ++depth) {
        if (c == pBaseClass)
            return TRUE;
        c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr;
    }
    return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_classLock);
    for (CRuntimeClass* c = g_firstClass; c; c = c->m_pNextClass)
        if (c->m_lpszClassName && std::strcmp(c->m_lpszClassName, lpszClassName) == 0)
            return c;
    return nullptr;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCWSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    return FromName(CStringA(lpszClassName).GetString());
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCSTR lpszClassName)
{
    CRuntimeClass* c = FromName(lpszClassName);
    return c ? c->CreateObject() : nullptr;
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCWSTR lpszClassName)
{
    CRuntimeClass* c = FromName(lpszClassName);
    return c ? c->CreateObject() : nullptr;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    if (!pNewClass)
        return;
    std::lock_guard<std::mutex> lock(g_classLock);
    for (CRuntimeClass* c = g_firstClass; c; c = c->m_pNextClass)
        if (c == pNewClass)
            return; // listed once, however many times a program names it
    pNewClass->m_pNextClass = g_firstClass;
    g_firstClass = pNewClass;
}

// --- CObject ------------------------------------------------------------------------------------

CObject::~CObject() = default;

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

void CObject::AssertValid() const
{
}

void CObject::Dump(CDumpContext& dc) const
{
    dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this) << "\n";
}

// --- The dump context ---------------------------------------------------------------------------

CDumpContext afxDump;

CDumpContext& CDumpContext::operator<<(LPCSTR lpsz)
{
    DebugOutput(lpsz ? lpsz : "(NULL)");
    return *this;
}

CDumpContext& CDumpContext::operator<<(LPCWSTR lpsz)
{
    return *this << (lpsz ? CStringA(lpsz).GetString() : "(NULL)");
}

CDumpContext& CDumpContext::operator<<(const void* lp)
{
    CStringA s;
    s.Format("$%p", lp);
    return *this << s.GetString();
}

CDumpContext& CDumpContext::operator<<(const CObject* pOb)
{
    if (!pOb)
        return *this << "NULL";
    pOb->Dump(*this);
    return *this;
}

CDumpContext& CDumpContext::operator<<(const CObject& ob)
{
    return *this << &ob;
}

CDumpContext& CDumpContext::operator<<(long long n)
{
    CStringA s;
    s.Format("%I64d", n);
    return *this << s.GetString();
}

CDumpContext& CDumpContext::operator<<(unsigned long long n)
{
    CStringA s;
    s.Format("%I64u", n);
    return *this << s.GetString();
}

CDumpContext& CDumpContext::operator<<(float f)
{
    return *this << static_cast<double>(f);
}

CDumpContext& CDumpContext::operator<<(double d)
{
    CStringA s;
    s.Format("%f", d);
    return *this << s.GetString();
}

void CDumpContext::HexDump(LPCSTR lpszLine, BYTE* pby, int nBytes, int nWidth)
{
    if (!pby || nBytes <= 0)
        return;
    if (nWidth <= 0)
        nWidth = 16;
    for (int at = 0; at < nBytes; at += nWidth) {
        CStringA line(lpszLine ? lpszLine : "");
        line.AppendFormat("%08X:", static_cast<unsigned>(at));
        for (int i = at; i < nBytes && i < at + nWidth; ++i)
            line.AppendFormat(" %02X", pby[i]);
        line += "\n";
        *this << line.GetString();
    }
}

// --- Assertions and tracing ---------------------------------------------------------------------

void AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine)
{
    CStringA s;
    s.Format("%s(%d): assertion failed\n", lpszFileName ? lpszFileName : "?", nLine);
    DebugOutput(s.GetString());
#ifdef _WIN32
    // Standard error as well: a program run from a console shows why it stopped.
    std::fputs(s.GetString(), stderr);
#endif
    std::abort();
}

void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine)
{
    if (!pOb)
        AfxAssertFailedLine(lpszFileName, nLine);
    pOb->AssertValid();
}

void AFX_CDECL AfxTrace(LPCSTR lpszFormat, ...)
{
    if (!lpszFormat)
        return;
    std::string text;
    va_list args;
    va_start(args, lpszFormat);
    afx_detail::FormatV(text, lpszFormat, args);
    va_end(args);
    DebugOutput(text.c_str());
}

void AFX_CDECL AfxTrace(LPCWSTR lpszFormat, ...)
{
    if (!lpszFormat)
        return;
    std::wstring text;
    va_list args;
    va_start(args, lpszFormat);
    afx_detail::FormatV(text, lpszFormat, args);
    va_end(args);
    DebugOutput(afx_detail::Convert(text.data(), text.size()).c_str());
}

void AFXAPI AfxTraceText(LPCSTR lpsz)
{
    if (lpsz)
        DebugOutput(lpsz);
}

void AFXAPI AfxTraceText(LPCWSTR lpsz)
{
    if (lpsz)
        DebugOutput(CStringA(lpsz).GetString());
}

// --- DEBUG_NEW ----------------------------------------------------------------------------------

void* AFX_CDECL operator new(std::size_t nSize, LPCSTR, int)
{
    return ::operator new(nSize);
}

void* AFX_CDECL operator new[](std::size_t nSize, LPCSTR, int)
{
    return ::operator new[](nSize);
}

void AFX_CDECL operator delete(void* p, LPCSTR, int) noexcept
{
    ::operator delete(p);
}

void AFX_CDECL operator delete[](void* p, LPCSTR, int) noexcept
{
    ::operator delete[](p);
}

void CObject::Serialize(CArchive&) {}
