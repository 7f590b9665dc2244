// CException, CFileException and CFile over the C runtime's streams. On Windows the name goes
// to fopen as it is; here it goes through Windows' path rules first.
#include <afxwin.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <system_error>

#ifndef _WIN32
#include "windows_path.h"
#endif

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)
IMPLEMENT_DYNAMIC(CFile, CObject)

namespace {

#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112L
#endif
#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131L
#endif
#ifndef ERROR_GEN_FAILURE
#define ERROR_GEN_FAILURE 31L
#endif

FILE* Stream(void* p)
{
    return static_cast<FILE*>(p);
}

std::string NativeName(const char* name)
{
#ifdef _WIN32
    return name;
#else
    return moxplat::ResolveWindowsPath(name);
#endif
}

FILE* OpenStream(const char* name, const char* mode)
{
    return std::fopen(NativeName(name).c_str(), mode);
}

bool Exists(const char* name)
{
    FILE* f = OpenStream(name, "rb");
    if (f)
        std::fclose(f);
    return f != nullptr || errno != ENOENT;
}

// The folder part of a name ("." when it has none) exists.
bool FolderExists(const char* name)
{
    std::string folder(name);
    const std::size_t slash = folder.find_last_of("/\\");
    if (slash == std::string::npos)
        return true;
    folder.erase(slash == 0 ? 1 : slash);
    std::error_code ec;
    return std::filesystem::is_directory(NativeName(folder.c_str()), ec);
}

// The cause and Windows' error code for the C runtime's errno after an operation on name.
void Classify(int error, const char* name, int& cause, LONG& osError)
{
    switch (error) {
    case ENOENT:
        if (name && !FolderExists(name)) {
            cause = CFileException::badPath;
            osError = ERROR_PATH_NOT_FOUND;
        } else {
            cause = CFileException::fileNotFound;
            osError = ERROR_FILE_NOT_FOUND;
        }
        return;
    case ENOTDIR:
    case ENAMETOOLONG:
        cause = CFileException::badPath;
        osError = ERROR_PATH_NOT_FOUND;
        return;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // Windows: CreateFile on a folder fails with ERROR_ACCESS_DENIED
        cause = CFileException::accessDenied;
        osError = ERROR_ACCESS_DENIED;
        return;
    case EMFILE:
    case ENFILE:
        cause = CFileException::tooManyOpenFiles;
        osError = ERROR_TOO_MANY_OPEN_FILES;
        return;
    case ENOSPC:
        cause = CFileException::diskFull;
        osError = ERROR_DISK_FULL;
        return;
    case EINVAL:
        cause = CFileException::badPath;
        osError = ERROR_INVALID_NAME;
        return;
    default:
        cause = CFileException::genericException;
        osError = ERROR_GEN_FAILURE;
    }
}

[[noreturn]] void ThrowErrno(int error, const char* name)
{
    int cause = CFileException::genericException;
    LONG osError = -1;
    Classify(error, name, cause, osError);
    AfxThrowFileException(cause, osError, name);
}

bool Tell(FILE* f, ULONGLONG& pos)
{
#ifdef _WIN32
    const long long p = _ftelli64(f);
#else
    const off_t p = ftello(f);
#endif
    if (p < 0)
        return false;
    pos = static_cast<ULONGLONG>(p);
    return true;
}

int SeekTo(FILE* f, long long offset, int origin)
{
#ifdef _WIN32
    return _fseeki64(f, offset, origin);
#else
    return fseeko(f, static_cast<off_t>(offset), origin);
#endif
}

void CopyText(const char* text, LPSTR out, UINT nMax)
{
    const std::size_t n = std::strlen(text);
    const std::size_t k = n < nMax - 1 ? n : nMax - 1;
    std::memcpy(out, text, k);
    out[k] = '\0';
}

} // namespace

// --- Exceptions -------------------------------------------------------------------------------

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError > 0)
        lpszError[0] = '\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char text[1024];
    if (GetErrorMessage(text, sizeof text))
        return AfxMessageBox(text, nType);
    if (nMessageID != 0 && ::LoadStringA(AfxGetResourceHandle(), nMessageID, text, sizeof text) > 0)
        return AfxMessageBox(text, nType);
    return AfxMessageBox("An unsupported operation was attempted.", nType);
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    static const char* const kWhat[] = {
        "No error occurred.",
        "An unexpected error occurred.",
        "was not found.",
        "contains an incorrect path.",
        "could not be opened because there are too many open files.",
        "Access to %s was denied.",
        "An incorrect file handle was associated with %s.",
        "could not be removed because it is the current directory.",
        "could not be created because the directory is full.",
        "Seek failed on %s.",
        "A hardware I/O error was reported while accessing %s.",
        "A sharing violation occurred while accessing %s.",
        "A locking violation occurred while accessing %s.",
        "Disk full while accessing %s.",
        "An attempt was made to access %s past its end.",
    };
    const int cause = m_cause >= 0 && m_cause <= endOfFile ? m_cause : genericException;
    const char* name = m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString();
    std::string text;
    const char* what = kWhat[cause];
    if (const char* at = std::strstr(what, "%s"))
        text = std::string(what, at) + name + (at + 2);
    else if (cause <= genericException)
        text = what;
    else
        text = std::string(name) + " " + what;
    CopyText(text.c_str(), lpszError, nMaxError);
    return TRUE;
}

void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

BOOL CArchiveException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    static const char* const kWhat[] = {
        "No error occurred.",
        "An unexpected error occurred while reading or writing the archive.",
        "An attempt was made to write to an archive opened for loading.",
        "An attempt was made to read past the end of the archive.",
        "An attempt was made to read from an archive opened for storing.",
        "The archive has an invalid format.",
        "The archive holds an unexpected object.",
        "The archive holds an object of an unexpected version.",
        "The archive's buffer is full.",
    };
    const int cause = m_cause >= 0 && m_cause <= bufferFull ? m_cause : genericException;
    CopyText(kWhat[cause], lpszError, nMaxError);
    return TRUE;
}

void AFXAPI AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

// --- CFile ------------------------------------------------------------------------------------

CFile::CFile() = default;

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_stream)
        Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    const auto fail = [&](int cause, LONG osError) {
        if (pError) {
            pError->m_cause = cause;
            pError->m_lOsError = osError;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    };
    if (m_stream || !lpszFileName || !*lpszFileName)
        return fail(lpszFileName && *lpszFileName ? CFileException::genericException : CFileException::badPath,
                    lpszFileName && *lpszFileName ? ERROR_GEN_FAILURE : ERROR_PATH_NOT_FOUND);
    const UINT access = nOpenFlags & 3;
    if (access == 3)
        return fail(CFileException::genericException, ERROR_INVALID_PARAMETER);
    const bool create = (nOpenFlags & modeCreate) != 0;
    const bool keep = (nOpenFlags & modeNoTruncate) != 0;
    // fopen's modes: "rb" reads, "r+b" reads and writes an existing file, "w+b" makes an empty one.
    // A file opened to write only is opened to read too, which writes nothing it would not.
    const char* mode = nullptr;
    if (!create)
        mode = access == modeRead ? "rb" : "r+b";
    else if (keep && Exists(lpszFileName))
        mode = access == modeRead ? "rb" : "r+b";
    else
        mode = "w+b";
    errno = 0;
    FILE* f = OpenStream(lpszFileName, mode);
    if (!f) {
        int cause = CFileException::genericException;
        LONG osError = -1;
        Classify(errno, lpszFileName, cause, osError);
        return fail(cause, osError);
    }
    m_stream = f;
    m_strFileName = lpszFileName;
    m_bCloseOnDelete = TRUE;
    m_writable = access != modeRead;
    m_readable = access != modeWrite;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    if (!m_stream)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (!lpBuf)
        AfxThrowFileException(CFileException::genericException, ERROR_INVALID_PARAMETER, m_strFileName);
    if (!m_readable)
        AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, m_strFileName);
    FILE* f = Stream(m_stream);
    errno = 0;
    const std::size_t n = std::fread(lpBuf, 1, nCount, f);
    if (n < nCount && std::ferror(f)) {
        std::clearerr(f);
        ThrowErrno(errno ? errno : EIO, m_strFileName);
    }
    std::clearerr(f); // the end of the file is no error; the next write may follow it
    return static_cast<UINT>(n);
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (!m_stream)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (!lpBuf)
        AfxThrowFileException(CFileException::genericException, ERROR_INVALID_PARAMETER, m_strFileName);
    if (!m_writable)
        AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, m_strFileName);
    FILE* f = Stream(m_stream);
    // Between a read and a write the C runtime wants a seek.
    SeekTo(f, 0, SEEK_CUR);
    errno = 0;
    if (std::fwrite(lpBuf, 1, nCount, f) != nCount) {
        std::clearerr(f);
        ThrowErrno(errno ? errno : ENOSPC, m_strFileName);
    }
    SeekTo(f, 0, SEEK_CUR);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (!m_stream)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    if (nFrom > end)
        AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
    FILE* f = Stream(m_stream);
    // Windows: SetFilePointer before the start fails with ERROR_NEGATIVE_SEEK; past the end is allowed.
    long long base = 0;
    if (nFrom == current)
        base = static_cast<long long>(GetPosition());
    else if (nFrom == end)
        base = static_cast<long long>(GetLength());
    if (lOff < 0 && base < -lOff)
        AfxThrowFileException(CFileException::badSeek, ERROR_NEGATIVE_SEEK, m_strFileName);
    if (SeekTo(f, base + lOff, SEEK_SET) != 0)
        ThrowErrno(errno, m_strFileName);
    return GetPosition();
}

ULONGLONG CFile::GetPosition() const
{
    if (!m_stream)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    ULONGLONG pos = 0;
    if (!Tell(Stream(m_stream), pos))
        ThrowErrno(errno, m_strFileName);
    return pos;
}

ULONGLONG CFile::GetLength() const
{
    if (!m_stream)
        AfxThrowFileException(CFileException::invalidFile, ERROR_INVALID_HANDLE, m_strFileName);
    FILE* f = Stream(m_stream);
    std::fflush(f);
#ifdef _WIN32
    struct _stat64 st;
    if (_fstat64(_fileno(f), &st) != 0)
#else
    struct stat st;
    if (fstat(fileno(f), &st) != 0)
#endif
        ThrowErrno(errno, m_strFileName);
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::Flush()
{
    if (m_stream && std::fflush(Stream(m_stream)) != 0)
        ThrowErrno(errno, m_strFileName);
}

void CFile::Close()
{
    if (!m_stream)
        return;
    FILE* f = Stream(m_stream);
    m_stream = nullptr;
    m_bCloseOnDelete = FALSE;
    if (std::fclose(f) != 0)
        ThrowErrno(errno, m_strFileName);
}

void CFile::Abort()
{
    if (!m_stream)
        return;
    std::fclose(Stream(m_stream));
    m_stream = nullptr;
    m_bCloseOnDelete = FALSE;
}

CString CFile::GetFileName() const
{
    const char* name = m_strFileName.GetString();
    const char* last = name;
    for (const char* p = name; *p; ++p)
        if (*p == '/' || *p == '\\' || *p == ':')
            last = p + 1;
    return CString(last);
}

CString CFile::GetFileTitle() const
{
    CStringA name = CStringA(GetFileName());
    const int dot = name.ReverseFind('.');
    if (dot > 0)
        name = name.Left(dot);
    return CString(name.GetString());
}

void PASCAL CFile::Remove(LPCSTR lpszFileName)
{
    if (!lpszFileName || !*lpszFileName)
        AfxThrowFileException(CFileException::badPath, ERROR_PATH_NOT_FOUND, lpszFileName);
    if (std::remove(NativeName(lpszFileName).c_str()) != 0)
        ThrowErrno(errno, lpszFileName);
}

void PASCAL CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (!lpszOldName || !*lpszOldName || !lpszNewName || !*lpszNewName)
        AfxThrowFileException(CFileException::badPath, ERROR_PATH_NOT_FOUND, lpszOldName);
    // Windows: MoveFile does not replace an existing file (ERROR_ALREADY_EXISTS); rename(2) would.
    if (!Exists(lpszOldName))
        ThrowErrno(ENOENT, lpszOldName);
    if (Exists(lpszNewName))
        AfxThrowFileException(CFileException::accessDenied, ERROR_ALREADY_EXISTS, lpszOldName);
    if (std::rename(NativeName(lpszOldName).c_str(), NativeName(lpszNewName).c_str()) != 0)
        ThrowErrno(errno, lpszOldName);
}
