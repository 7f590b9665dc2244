// MFC's files and archives: CException and its file and archive kinds, CFile over the C runtime,
// and CArchive, which Serialize reads and writes documents with. Included by afx.h; written over
// the C runtime and Win32 alone, so it is the same on every system, and the bytes an archive
// writes are the ones MFC writes on Windows (little-endian numbers, length-prefixed strings,
// class names written once and then referred to by index).
//
// Exceptions are thrown as MFC throws them, as pointers to heap objects: a program catches
// `CFileException* e` and calls e->Delete(). TRY/CATCH/END_CATCH are the C++ keywords.
#pragma once

#include <cstddef>

#include "mox_widetext.h"

class CArchive;
class CDocument;

#define TRY try
#define CATCH(class_name, e) catch (class_name * e)
#define AND_CATCH(class_name, e) catch (class_name * e)
#define END_CATCH
#define CATCH_ALL(e) catch (CException * e)
#define AND_CATCH_ALL(e) catch (CException * e)
#define END_CATCH_ALL
#define THROW(e) throw e
#define THROW_LAST() throw

/// The base of MFC's exceptions. Thrown by pointer; Delete frees one made with new.
class MOXPLAT_API CException : public CObject {
    DECLARE_DYNAMIC(CException)

public:
    CException() = default;
    explicit CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}
    /// Deletes the exception when it was made with new (the default), as a catch block ends with.
    void Delete();
    /// Copies the exception's text (cut to nMaxError - 1 bytes); FALSE when it has none.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;
#ifdef UNICODE
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const
    {
        char text[1024];
        if (!lpszError || nMaxError == 0 || !GetErrorMessage(text, sizeof text, pnHelpContext))
            return FALSE;
        MoxCopyWide(text, lpszError, static_cast<int>(nMaxError));
        return TRUE;
    }
#endif
    /// Shows the exception's text in a message box (AfxMessageBox); its answer.
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

protected:
    BOOL m_bAutoDelete = TRUE;
};

/// A file operation failed: m_cause says why, m_lOsError is Windows' error code (ERROR_...).
class MOXPLAT_API CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)

public:
    enum { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
           removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation, diskFull, endOfFile };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszArchiveName = nullptr)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
    {
    }
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
#ifdef UNICODE
    using CException::GetErrorMessage;
#endif

    int m_cause;
    LONG m_lOsError;
    /// The file's name (narrow in every build: the class's layout is the library's).
    CStringA m_strFileName;
};

/// Throws new CFileException(cause, lOsError, lpszFileName).
[[noreturn]] MOXPLAT_API void AFXAPI AfxThrowFileException(int cause, LONG lOsError = -1,
                                                           LPCSTR lpszFileName = nullptr);

/// An archive operation failed: m_cause says why.
class MOXPLAT_API CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)

public:
    enum { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema, bufferFull };

    explicit CArchiveException(int cause = none, LPCSTR lpszArchiveName = nullptr)
        : m_cause(cause), m_strFileName(lpszArchiveName)
    {
    }
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
#ifdef UNICODE
    using CException::GetErrorMessage;
#endif

    int m_cause;
    CStringA m_strFileName;
};

[[noreturn]] MOXPLAT_API void AFXAPI AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName = nullptr);

/// A file on disk, opened by name with Windows' path rules ('\' separates, and a name that does
/// not exist as written matches case-blind). Errors: Open returns FALSE and fills the exception
/// object it is given; the constructor that opens, Read, Write, Seek and the rest throw
/// CFileException*. Sharing modes are accepted and not enforced (the C runtime has no locks).
class MOXPLAT_API CFile : public CObject {
    DECLARE_DYNAMIC(CFile)

public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    CFile();
    /// Opens the file; throws CFileException* when it cannot.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
#ifdef UNICODE
    CFile(MoxWideText lpszFileName, UINT nOpenFlags) : CFile(static_cast<LPCSTR>(lpszFileName), nOpenFlags) {}
#endif
    /// Closes the file if it is open (errors are not reported from here).
    ~CFile() override;

    /// Opens the file; FALSE when it cannot (pError, when given, says why). modeCreate makes a
    /// new empty file, or keeps the old one's bytes with modeNoTruncate.
    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
#ifdef UNICODE
    BOOL Open(MoxWideText lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr)
    {
        return Open(static_cast<LPCSTR>(lpszFileName), nOpenFlags, pError);
    }
#endif
    /// Reads up to nCount bytes; the number read (less at the end of the file).
    virtual UINT Read(void* lpBuf, UINT nCount);
    /// Writes nCount bytes; throws CFileException* (diskFull, accessDenied...) when it cannot.
    virtual void Write(const void* lpBuf, UINT nCount);
    /// Moves the position; the new position. A position before the start throws (badSeek).
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    /// Writes what the C runtime buffers to the file.
    virtual void Flush();
    /// Closes the file; throws when the last bytes cannot be written.
    virtual void Close();
    /// Closes the file, ignoring errors.
    virtual void Abort();
    /// The name as opened, its last component, and that without its extension.
    CString GetFilePath() const { return CString(m_strFileName.GetString()); }
    CString GetFileName() const;
    CString GetFileTitle() const;
    /// Deletes or renames a file; throws CFileException* when it cannot.
    static void PASCAL Remove(LPCSTR lpszFileName);
    static void PASCAL Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);
#ifdef UNICODE
    static void PASCAL Remove(MoxWideText lpszFileName) { Remove(static_cast<LPCSTR>(lpszFileName)); }
    static void PASCAL Rename(MoxWideText lpszOldName, MoxWideText lpszNewName)
    {
        Rename(static_cast<LPCSTR>(lpszOldName), static_cast<LPCSTR>(lpszNewName));
    }
#endif

protected:
    void* m_stream = nullptr; // the C runtime's FILE
    CStringA m_strFileName;
    BOOL m_bCloseOnDelete = FALSE;
    BOOL m_readable = FALSE;
    BOOL m_writable = FALSE;
};

// A schema number with this bit lets ReadObject accept any of the class's schemas (GetObjectSchema).
#define VERSIONABLE_SCHEMA (0x80000000)

/// A stream of values to (store) or from (load) a CFile, in MFC's binary layout. Numbers are
/// little-endian at their Windows widths: long and unsigned long are 4 bytes on every system, as
/// LONG and DWORD are, and wchar_t 2 (one UTF-16 unit). Reading past the end throws
/// CArchiveException* (endOfFile); a class name no IMPLEMENT_SERIAL made known throws badClass.
class MOXPLAT_API CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    /// Writes out what is buffered (store mode, unless bNoFlushOnDelete); does not close the file.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsBufferEmpty() const { return m_cur == m_end; }
    CFile* GetFile() const { return m_pFile; }
    /// The schema of the object being read (ReadObject of a VERSIONABLE_SCHEMA class); once.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    /// Copies up to nMax bytes; the number copied (fewer at the end of the file).
    UINT Read(void* lpBuf, UINT nMax);
    /// Writes nMax bytes as they are.
    void Write(const void* lpBuf, UINT nMax);
    /// Writes the buffer to the file (store mode).
    void Flush();
    /// Flushes (store mode) and detaches from the file, which stays open.
    void Close();
    /// Detaches without flushing.
    void Abort();

    /// Text without a line end (WriteString) and a line without its "\n" or "\r\n" (ReadString;
    /// FALSE at the end of the file). Narrow text is bytes; wide text UTF-16 units.
    void WriteString(LPCSTR lpsz);
    void WriteString(LPCWSTR lpsz);
    BOOL ReadString(CStringA& rString);
    BOOL ReadString(CStringW& rString);

    /// The object: a null tag, a reference to one already written, or its class (the first time,
    /// by name and schema) followed by what its Serialize writes.
    void WriteObject(const CObject* pOb);
    /// Reads what WriteObject wrote; the object is made with its class's CreateObject. Throws
    /// badClass when it is not derived from pClassRefRequested (when not null).
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteClass(const CRuntimeClass* pClassRef);
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                             DWORD* pObTag = nullptr);

    CArchive& operator<<(bool b) { return WriteLE(b ? 1u : 0u, 1); }
    CArchive& operator<<(char ch) { return WriteLE(static_cast<unsigned char>(ch), 1); }
    CArchive& operator<<(signed char ch) { return WriteLE(static_cast<unsigned char>(ch), 1); }
    CArchive& operator<<(unsigned char by) { return WriteLE(by, 1); }
    CArchive& operator<<(wchar_t ch) { return WriteLE(static_cast<unsigned long long>(ch) & 0xFFFF, 2); }
    CArchive& operator<<(short w) { return WriteLE(static_cast<unsigned short>(w), 2); }
    CArchive& operator<<(unsigned short w) { return WriteLE(w, 2); }
    CArchive& operator<<(int i) { return WriteLE(static_cast<unsigned int>(i), 4); }
    CArchive& operator<<(unsigned int u) { return WriteLE(u, 4); }
    CArchive& operator<<(long l) { return WriteLE(static_cast<unsigned long>(l) & 0xFFFFFFFFu, 4); }
    CArchive& operator<<(unsigned long dw) { return WriteLE(dw & 0xFFFFFFFFu, 4); }
    CArchive& operator<<(long long n) { return WriteLE(static_cast<unsigned long long>(n), 8); }
    CArchive& operator<<(unsigned long long n) { return WriteLE(n, 8); }
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);

    CArchive& operator>>(bool& b) { b = ReadLE(1) != 0; return *this; }
    CArchive& operator>>(char& ch) { ch = static_cast<char>(ReadLE(1)); return *this; }
    CArchive& operator>>(signed char& ch) { ch = static_cast<signed char>(ReadLE(1)); return *this; }
    CArchive& operator>>(unsigned char& by) { by = static_cast<unsigned char>(ReadLE(1)); return *this; }
    CArchive& operator>>(wchar_t& ch) { ch = static_cast<wchar_t>(ReadLE(2)); return *this; }
    CArchive& operator>>(short& w) { w = static_cast<short>(ReadLE(2)); return *this; }
    CArchive& operator>>(unsigned short& w) { w = static_cast<unsigned short>(ReadLE(2)); return *this; }
    CArchive& operator>>(int& i) { i = static_cast<int>(static_cast<unsigned int>(ReadLE(4))); return *this; }
    CArchive& operator>>(unsigned int& u) { u = static_cast<unsigned int>(ReadLE(4)); return *this; }
    CArchive& operator>>(long& l) { l = static_cast<int>(static_cast<unsigned int>(ReadLE(4))); return *this; }
    CArchive& operator>>(unsigned long& dw) { dw = static_cast<unsigned long>(ReadLE(4)); return *this; }
    CArchive& operator>>(long long& n) { n = static_cast<long long>(ReadLE(8)); return *this; }
    CArchive& operator>>(unsigned long long& n) { n = ReadLE(8); return *this; }
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);

    /// The document being read or written (set by CDocument's OnOpenDocument and OnSaveDocument).
    CDocument* m_pDocument = nullptr;

    /// A collection's element count: 16 bits, or 0xFFFF and 32 bits, or 0xFFFFFFFF and 64 bits.
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    /// The string's length prefix (with the 0xFF 0xFFFE mark for wide text) and its units.
    void WriteStringData(const char* pch, std::size_t nLength);
    void WriteStringData(const wchar_t* pch, std::size_t nLength);
    void ReadStringData(CStringA& rString);
    void ReadStringData(CStringW& rString);

protected:
    CArchive& WriteLE(unsigned long long value, int nBytes);
    unsigned long long ReadLE(int nBytes);
    void FillBuffer(UINT nWanted);

    UINT m_nMode;
    CFile* m_pFile;
    BYTE* m_buffer;
    UINT m_nBufSize;
    BOOL m_bUserBuf;
    BYTE* m_cur;
    BYTE* m_end;
    UINT m_nObjectSchema = static_cast<UINT>(-1);
    void* m_maps = nullptr; // the objects and classes written or read so far
};

/// CStrings in MFC's length-prefixed layout.
inline CArchive& operator<<(CArchive& ar, const CStringA& s)
{
    ar.WriteStringData(s.GetString(), static_cast<std::size_t>(s.GetLength()));
    return ar;
}
inline CArchive& operator<<(CArchive& ar, const CStringW& s)
{
    ar.WriteStringData(s.GetString(), static_cast<std::size_t>(s.GetLength()));
    return ar;
}
inline CArchive& operator>>(CArchive& ar, CStringA& s)
{
    ar.ReadStringData(s);
    return ar;
}
inline CArchive& operator>>(CArchive& ar, CStringW& s)
{
    ar.ReadStringData(s);
    return ar;
}
/// Objects of SERIAL classes (WriteObject, ReadObject).
inline CArchive& operator<<(CArchive& ar, const CObject* pOb)
{
    ar.WriteObject(pOb);
    return ar;
}
inline CArchive& operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}
inline CArchive& operator>>(CArchive& ar, const CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}
/// Points, sizes and rectangles as their LONG members, in order.
inline CArchive& operator<<(CArchive& ar, POINT pt) { return ar << pt.x << pt.y; }
inline CArchive& operator<<(CArchive& ar, SIZE sz) { return ar << sz.cx << sz.cy; }
inline CArchive& operator<<(CArchive& ar, const RECT& rc) { return ar << rc.left << rc.top << rc.right << rc.bottom; }
inline CArchive& operator>>(CArchive& ar, POINT& pt) { return ar >> pt.x >> pt.y; }
inline CArchive& operator>>(CArchive& ar, SIZE& sz) { return ar >> sz.cx >> sz.cy; }
inline CArchive& operator>>(CArchive& ar, RECT& rc) { return ar >> rc.left >> rc.top >> rc.right >> rc.bottom; }
