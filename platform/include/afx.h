// MFC's base: CObject and its run-time class information (DECLARE_/IMPLEMENT_DYNAMIC, DYNCREATE,
// SERIAL and RUNTIME_CLASS), the diagnostic macros (ASSERT, VERIFY, ASSERT_VALID, ASSERT_KINDOF,
// TRACE, DEBUG_NEW) and CDumpContext, plus the strings and geometry afx.h brings with it.
//
// As in MFC, the diagnostics are live when _DEBUG is defined and vanish otherwise. AssertValid
// and Dump are declared whatever _DEBUG says, so a program built either way agrees with the
// library on CObject's layout. Diagnostic text goes where Windows' debug output goes: the
// debugger on Windows, standard error here. A failed assertion reports "file(line): assertion
// failed" there and ends the program, as choosing Abort in MFC's assertion box does.
#pragma once

#include <windows.h>

#include "atlstr.h"
#include <tchar.h> // _T and the _t names come with MFC's headers
#include "atltypes.h"

#include <cstddef>
#include <new>

#ifndef MOXPLAT_API
#if defined(MOXPLAT_BUILD)
#define MOXPLAT_API __declspec(dllexport)
#else
#define MOXPLAT_API __declspec(dllimport)
#endif
#endif
#ifndef PASCAL
#define PASCAL
#endif
#ifndef AFXAPI
#define AFXAPI
#endif
#ifndef AFX_CDECL
#define AFX_CDECL
#endif

class CObject;

/// A place in a collection or another sequence (a list's node, a map's pair, a document's view).
struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)
class CDumpContext;
class CArchive;

/// What a class derived from CObject knows about itself at run time: its name, size, base class
/// and, for DYNCREATE classes, how to make one.
struct MOXPLAT_API CRuntimeClass {
    /// The class's name as written in the program.
    LPCSTR m_lpszClassName;
    /// sizeof the class.
    int m_nObjectSize;
    /// The schema number of SERIAL classes; 0xFFFF otherwise.
    UINT m_wSchema;
    /// Makes an object of the class (DYNCREATE and SERIAL); null for DYNAMIC classes.
    CObject*(PASCAL* m_pfnCreateObject)();
    /// The base class's information; null for CObject.
    CRuntimeClass*(PASCAL* m_pfnGetBaseClass)();
    /// The next class made known to FromName.
    CRuntimeClass* m_pNextClass;

    /// A new object of the class, or null when the class cannot make one.
    CObject* CreateObject();
    /// TRUE when this class is pBaseClass or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    /// The class of that name among those IMPLEMENT_DYNAMIC, DYNCREATE or SERIAL made known.
    static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
    static CRuntimeClass* PASCAL FromName(LPCWSTR lpszClassName);
    /// A new object of the class of that name, or null.
    static CObject* PASCAL CreateObject(LPCSTR lpszClassName);
    static CObject* PASCAL CreateObject(LPCWSTR lpszClassName);
};

/// Makes a class known to CRuntimeClass::FromName (one static object per IMPLEMENT_ macro).
struct MOXPLAT_API AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

/// The root of MFC's classes: run-time class information and the diagnostic members.
class MOXPLAT_API CObject {
public:
    virtual ~CObject();
    /// The class of the object (its most derived class that declares one).
    virtual CRuntimeClass* GetRuntimeClass() const;
    /// TRUE when the object's class is pClass or derives from it.
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    /// TRUE for SERIAL classes.
    BOOL IsSerializable() const;
    /// Checks the object's state; a derived class asserts its own invariants and calls its base.
    virtual void AssertValid() const;
    /// Writes the object's state; the default writes "a <class> at $<address>".
    virtual void Dump(CDumpContext& dc) const;
    /// Writes the object to (ar.IsStoring()) or reads it from the archive; the default has nothing.
    virtual void Serialize(CArchive& ar);

    static CRuntimeClass classCObject;
    static CRuntimeClass* PASCAL GetThisClass();

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                      \
public:                                                  \
    static CRuntimeClass class##class_name;              \
    static CRuntimeClass* PASCAL GetThisClass();         \
    static CRuntimeClass* PASCAL _GetBaseClass();        \
    virtual CRuntimeClass* GetRuntimeClass() const;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* PASCAL CreateObject();

// SERIAL classes are read back with `ar >> pObject` (ReadObject of the class).
#define DECLARE_SERIAL(class_name)  \
    DECLARE_DYNCREATE(class_name)   \
    friend CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                                 \
    CRuntimeClass* PASCAL class_name::_GetBaseClass() { return RUNTIME_CLASS(base_class_name); }             \
    CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class_name), (wSchema), (pfnNew), \
                                                   &class_name::_GetBaseClass, nullptr};                      \
    CRuntimeClass* PASCAL class_name::GetThisClass() { return &class_name::class##class_name; }              \
    CRuntimeClass* class_name::GetRuntimeClass() const { return &class_name::class##class_name; }            \
    static const AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                     \
    CObject* PASCAL class_name::CreateObject() { return new class_name; }    \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, &class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                        \
    CObject* PASCAL class_name::CreateObject() { return new class_name; }                             \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, &class_name::CreateObject)           \
    [[maybe_unused]] CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb)                      \
    {                                                                                                 \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));                     \
        return ar;                                                                                    \
    }

/// Where Dump writes: the debug output (afxDump). Numbers are written in decimal, or in
/// hexadecimal after SetHex... as MFC's dump context does; pointers as "$" and their hex digits.
class MOXPLAT_API CDumpContext {
public:
    CDumpContext() = default;
    CDumpContext(const CDumpContext&) = delete;
    CDumpContext& operator=(const CDumpContext&) = delete;

    /// How deep Dump goes into the objects an object holds (0: not at all).
    int GetDepth() const { return m_nDepth; }
    void SetDepth(int nNewDepth) { m_nDepth = nNewDepth; }

    CDumpContext& operator<<(LPCSTR lpsz);
    CDumpContext& operator<<(LPCWSTR lpsz);
    CDumpContext& operator<<(const CStringA& s) { return *this << s.GetString(); }
    CDumpContext& operator<<(const CStringW& s) { return *this << s.GetString(); }
    CDumpContext& operator<<(const void* lp);
    CDumpContext& operator<<(const CObject* pOb);
    CDumpContext& operator<<(const CObject& ob);
    // By the C++ types, so BYTE, WORD, UINT, LONG and DWORD each find theirs on every system.
    CDumpContext& operator<<(unsigned char by) { return *this << static_cast<unsigned long long>(by); }
    CDumpContext& operator<<(unsigned short w) { return *this << static_cast<unsigned long long>(w); }
    CDumpContext& operator<<(int n) { return *this << static_cast<long long>(n); }
    CDumpContext& operator<<(unsigned int u) { return *this << static_cast<unsigned long long>(u); }
    CDumpContext& operator<<(long n) { return *this << static_cast<long long>(n); }
    CDumpContext& operator<<(unsigned long u) { return *this << static_cast<unsigned long long>(u); }
    CDumpContext& operator<<(long long n);
    CDumpContext& operator<<(unsigned long long n);
    CDumpContext& operator<<(float f);
    CDumpContext& operator<<(double d);
    CDumpContext& operator<<(HWND h) { return *this << static_cast<const void*>(h); }
    CDumpContext& operator<<(HDC h) { return *this << static_cast<const void*>(h); }

    /// Writes nBytes of pby in lines of nWidth bytes, each line starting with lpszLine.
    void HexDump(LPCSTR lpszLine, BYTE* pby, int nBytes, int nWidth);
    /// Sends what is written at once (writing is unbuffered here).
    void Flush() {}

private:
    int m_nDepth = 0;
};

/// The debug output as a dump context.
extern MOXPLAT_API CDumpContext afxDump;

// The functions behind the macros, present in every build so that debug and release programs
// link alike.
/// Reports "file(line): assertion failed" on the debug output and ends the program.
[[noreturn]] MOXPLAT_API void AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine);
/// ASSERT_VALID: asserts that pOb is not null, then calls its AssertValid.
MOXPLAT_API void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine);
/// TRACE: formats as CString::Format does and writes the text to the debug output.
MOXPLAT_API void AFX_CDECL AfxTrace(LPCSTR lpszFormat, ...);
MOXPLAT_API void AFX_CDECL AfxTrace(LPCWSTR lpszFormat, ...);
/// TRACE's entry: CStrings go on as their text (see CStringT::Format).
template <class C, class... Args> inline void AfxTraceArgs(const C* lpszFormat, const Args&... args)
{
    ::AfxTrace(lpszFormat, afx_detail::VarArg(args)...);
}
/// Writes text to the debug output as it is (TRACE0: no format).
MOXPLAT_API void AFXAPI AfxTraceText(LPCSTR lpsz);
MOXPLAT_API void AFXAPI AfxTraceText(LPCWSTR lpsz);
/// MFC no longer probes memory: TRUE when the pointer is not null.
inline BOOL AfxIsValidAddress(const void* p, UINT_PTR /*nBytes*/, BOOL /*bReadWrite*/ = TRUE)
{
    return p != nullptr;
}
inline BOOL AfxIsValidString(LPCSTR psz, int /*nLength*/ = -1)
{
    return psz != nullptr;
}
inline BOOL AfxIsValidString(LPCWSTR psz, int /*nLength*/ = -1)
{
    return psz != nullptr;
}

// DEBUG_NEW's allocation: new(file, line). The file and line name the allocation in the report
// of blocks still allocated; here they are kept by nothing, and the block is an ordinary one.
MOXPLAT_API void* AFX_CDECL operator new(std::size_t nSize, LPCSTR lpszFileName, int nLine);
MOXPLAT_API void* AFX_CDECL operator new[](std::size_t nSize, LPCSTR lpszFileName, int nLine);
MOXPLAT_API void AFX_CDECL operator delete(void* p, LPCSTR lpszFileName, int nLine) noexcept;
MOXPLAT_API void AFX_CDECL operator delete[](void* p, LPCSTR lpszFileName, int nLine) noexcept;

#ifndef THIS_FILE
#define THIS_FILE __FILE__
#endif

#ifdef _DEBUG
#define ASSERT(f) ((f) ? (void)0 : ::AfxAssertFailedLine(THIS_FILE, __LINE__))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(pOb) (::AfxAssertValidObject((pOb), THIS_FILE, __LINE__))
#define DEBUG_ONLY(f) (f)
#define TRACE ::AfxTraceArgs
#define DEBUG_NEW new (THIS_FILE, __LINE__)
#else
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(pOb) ((void)0)
#define DEBUG_ONLY(f) ((void)0)
#define TRACE(...) ((void)0)
#define DEBUG_NEW new
#endif
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#ifdef _DEBUG
#define TRACE0(sz) ::AfxTraceText(sz)
#else
#define TRACE0(sz) ((void)0)
#endif
#define TRACE1(sz, p1) TRACE(sz, p1)
#define TRACE2(sz, p1, p2) TRACE(sz, p1, p2)
#define TRACE3(sz, p1, p2, p3) TRACE(sz, p1, p2, p3)

// Exceptions, files and archives.
#include "mox_afxfile.h"
