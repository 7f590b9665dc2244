// CArchive: MFC's binary layout over a CFile, through a buffer of nBufSize bytes.
//
// Objects: a WORD tag before each. 0 is null; 0xFFFF a class seen for the first time, followed
// by its schema (WORD), its name's length (WORD) and its name, then the object's data; 0x8000 | n
// an object of the class numbered n; n alone a reference to the object numbered n. Classes and
// objects share one numbering from 1, in the order they first appear. A number of 0x7FFF or more
// is written as the tag 0x7FFF and a DWORD (with 0x80000000 marking a class).
#include <afxwin.h>

#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000;
constexpr WORD kWideStringMark = 0xFFFE;
constexpr std::size_t kMaxClassName = 255;

struct CArchiveMaps {
    // Storing: the number of each object and class written.
    std::unordered_map<const void*, DWORD> stored;
    // Loading: what each number stands for (index 0 is null).
    struct Entry {
        bool isClass;
        void* p;
        UINT schema;
    };
    std::vector<Entry> loaded{Entry{false, nullptr, 0}};
    DWORD count = 1;
};

CArchiveMaps& Maps(void*& p)
{
    if (!p)
        p = new CArchiveMaps;
    return *static_cast<CArchiveMaps*>(p);
}

std::string FileNameOf(CFile* file)
{
    return file ? std::string(CStringA(file->GetFilePath()).GetString()) : std::string();
}

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_nMode(nMode), m_pFile(pFile), m_buffer(nullptr), m_nBufSize(0), m_bUserBuf(FALSE), m_cur(nullptr),
      m_end(nullptr)
{
    // MFC uses at least 128 bytes; a caller's buffer is used as it is.
    m_nBufSize = static_cast<UINT>(nBufSize < 128 ? 128 : nBufSize);
    if (lpBuf && nBufSize >= 128) {
        m_buffer = static_cast<BYTE*>(lpBuf);
        m_bUserBuf = TRUE;
    } else {
        m_buffer = new BYTE[m_nBufSize];
    }
    m_cur = m_buffer;
    m_end = IsStoring() ? m_buffer + m_nBufSize : m_buffer;
}

CArchive::~CArchive()
{
    if (m_pFile && IsStoring() && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Flush();
        } catch (CException* e) {
            e->Delete();
        }
    }
    if (!m_bUserBuf)
        delete[] m_buffer;
    delete static_cast<CArchiveMaps*>(m_maps);
}

UINT CArchive::GetObjectSchema()
{
    const UINT schema = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return schema;
}

void CArchive::Flush()
{
    if (!m_pFile || !IsStoring())
        return;
    const UINT n = static_cast<UINT>(m_cur - m_buffer);
    m_cur = m_buffer;
    if (n > 0)
        m_pFile->Write(m_buffer, n);
    m_pFile->Flush();
}

void CArchive::Close()
{
    if (m_pFile && IsStoring())
        Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
    m_cur = m_buffer;
    m_end = IsStoring() ? m_buffer + m_nBufSize : m_buffer;
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (nMax == 0)
        return;
    if (!IsStoring())
        AfxThrowArchiveException(CArchiveException::readOnly, FileNameOf(m_pFile).c_str());
    if (!m_pFile || !lpBuf)
        AfxThrowArchiveException(CArchiveException::genericException);
    const BYTE* p = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0) {
        UINT room = static_cast<UINT>(m_end - m_cur);
        if (room == 0) {
            m_pFile->Write(m_buffer, static_cast<UINT>(m_cur - m_buffer));
            m_cur = m_buffer;
            room = m_nBufSize;
        }
        const UINT k = nMax < room ? nMax : room;
        std::memcpy(m_cur, p, k);
        m_cur += k;
        p += k;
        nMax -= k;
    }
}

void CArchive::FillBuffer(UINT)
{
    if (!m_pFile)
        return;
    const UINT left = static_cast<UINT>(m_end - m_cur);
    std::memmove(m_buffer, m_cur, left);
    m_cur = m_buffer;
    m_end = m_buffer + left;
    const UINT got = m_pFile->Read(m_end, m_nBufSize - left);
    m_end += got;
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (nMax == 0)
        return 0;
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, FileNameOf(m_pFile).c_str());
    if (!lpBuf)
        AfxThrowArchiveException(CArchiveException::genericException);
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_cur == m_end) {
            FillBuffer(nMax - done);
            if (m_cur == m_end)
                break;
        }
        const UINT avail = static_cast<UINT>(m_end - m_cur);
        const UINT k = nMax - done < avail ? nMax - done : avail;
        std::memcpy(out + done, m_cur, k);
        m_cur += k;
        done += k;
    }
    return done;
}

CArchive& CArchive::WriteLE(unsigned long long value, int nBytes)
{
    BYTE bytes[8];
    for (int i = 0; i < nBytes; ++i)
        bytes[i] = static_cast<BYTE>(value >> (8 * i));
    Write(bytes, static_cast<UINT>(nBytes));
    return *this;
}

unsigned long long CArchive::ReadLE(int nBytes)
{
    BYTE bytes[8];
    if (Read(bytes, static_cast<UINT>(nBytes)) != static_cast<UINT>(nBytes))
        AfxThrowArchiveException(CArchiveException::endOfFile, FileNameOf(m_pFile).c_str());
    unsigned long long value = 0;
    for (int i = nBytes - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

CArchive& CArchive::operator<<(float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return WriteLE(bits, 4);
}

CArchive& CArchive::operator<<(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return WriteLE(bits, 8);
}

CArchive& CArchive::operator>>(float& f)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(ReadLE(4));
    std::memcpy(&f, &bits, sizeof f);
    return *this;
}

CArchive& CArchive::operator>>(double& d)
{
    const std::uint64_t bits = ReadLE(8);
    std::memcpy(&d, &bits, sizeof d);
    return *this;
}

// --- Strings ------------------------------------------------------------------------------------

namespace {

void WriteLength(CArchive& ar, std::size_t n)
{
    if (n < 0xFF) {
        ar << static_cast<BYTE>(n);
        return;
    }
    ar << static_cast<BYTE>(0xFF);
    if (n < 0xFFFE) {
        ar << static_cast<WORD>(n);
        return;
    }
    ar << static_cast<WORD>(0xFFFF);
    if (n < 0xFFFFFFFFu) {
        ar << static_cast<DWORD>(n);
        return;
    }
    ar << static_cast<DWORD>(0xFFFFFFFFu) << static_cast<ULONGLONG>(n);
}

// The length and whether the units are UTF-16.
unsigned long long ReadLength(CArchive& ar, bool& wide)
{
    wide = false;
    for (;;) {
        BYTE b;
        ar >> b;
        if (b < 0xFF)
            return b;
        WORD w;
        ar >> w;
        if (w == kWideStringMark) {
            if (wide) // the mark twice: not something MFC writes
                AfxThrowArchiveException(CArchiveException::genericException);
            wide = true;
            continue;
        }
        if (w < 0xFFFF)
            return w;
        DWORD dw;
        ar >> dw;
        if (dw < 0xFFFFFFFFu)
            return dw;
        ULONGLONG q;
        ar >> q;
        return q;
    }
}

std::u16string ToUtf16(const wchar_t* p, std::size_t n)
{
    std::u16string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned long c = static_cast<unsigned long>(p[i]);
        if (sizeof(wchar_t) > 2 && c > 0xFFFF && c <= 0x10FFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c > 0xFFFF ? 0xFFFD : c));
        }
    }
    return out;
}

std::wstring FromUtf16(const std::u16string& s)
{
    std::wstring out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (sizeof(wchar_t) > 2 && c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000) {
            out.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00)));
            ++i;
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

// Reads n units in pieces, so that a damaged length fails at the end of the file instead of
// asking for gigabytes first.
template <class Unit> std::basic_string<Unit> ReadUnits(CArchive& ar, unsigned long long n)
{
    std::basic_string<Unit> out;
    Unit chunk[512];
    while (n > 0) {
        const unsigned long long k = n < 512 ? n : 512;
        for (unsigned long long i = 0; i < k; ++i) {
            if (sizeof(Unit) == 1) {
                BYTE b;
                ar >> b;
                chunk[i] = static_cast<Unit>(b);
            } else {
                WORD w;
                ar >> w;
                chunk[i] = static_cast<Unit>(w);
            }
        }
        out.append(chunk, static_cast<std::size_t>(k));
        n -= k;
    }
    return out;
}

} // namespace

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    const unsigned long long n = dwCount;
    if (n < 0xFFFF) {
        WriteLE(n, 2);
    } else if (n < 0xFFFFFFFFull) {
        WriteLE(0xFFFF, 2).WriteLE(n, 4);
    } else {
        WriteLE(0xFFFF, 2).WriteLE(0xFFFFFFFFull, 4).WriteLE(n, 8);
    }
}

DWORD_PTR CArchive::ReadCount()
{
    unsigned long long n = ReadLE(2);
    if (n == 0xFFFF)
        n = ReadLE(4);
    if (n == 0xFFFFFFFFull)
        n = ReadLE(8);
    if (n > static_cast<unsigned long long>(static_cast<DWORD_PTR>(-1)))
        AfxThrowArchiveException(CArchiveException::badIndex);
    return static_cast<DWORD_PTR>(n);
}

void CArchive::WriteStringData(const char* pch, std::size_t nLength)
{
    WriteLength(*this, nLength);
    Write(pch, static_cast<UINT>(nLength));
}

void CArchive::WriteStringData(const wchar_t* pch, std::size_t nLength)
{
    const std::u16string units = ToUtf16(pch, nLength);
    *this << static_cast<BYTE>(0xFF) << kWideStringMark;
    WriteLength(*this, units.size());
    for (char16_t u : units)
        *this << static_cast<WORD>(u);
}

void CArchive::ReadStringData(CStringA& rString)
{
    bool wide = false;
    const unsigned long long n = ReadLength(*this, wide);
    if (wide) {
        const std::wstring text = FromUtf16(ReadUnits<char16_t>(*this, n));
        rString = CStringA(CStringW(text.c_str(), static_cast<int>(text.size())));
    } else {
        const std::string text = ReadUnits<char>(*this, n);
        rString = CStringA(text.c_str(), static_cast<int>(text.size()));
    }
}

void CArchive::ReadStringData(CStringW& rString)
{
    bool wide = false;
    const unsigned long long n = ReadLength(*this, wide);
    if (wide) {
        const std::wstring text = FromUtf16(ReadUnits<char16_t>(*this, n));
        rString = CStringW(text.c_str(), static_cast<int>(text.size()));
    } else {
        const std::string text = ReadUnits<char>(*this, n);
        rString = CStringW(CStringA(text.c_str(), static_cast<int>(text.size())));
    }
}

void CArchive::WriteString(LPCSTR lpsz)
{
    if (lpsz)
        Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

void CArchive::WriteString(LPCWSTR lpsz)
{
    if (!lpsz)
        return;
    std::size_t n = 0;
    while (lpsz[n])
        ++n;
    for (char16_t u : ToUtf16(lpsz, n))
        *this << static_cast<WORD>(u);
}

BOOL CArchive::ReadString(CStringA& rString)
{
    std::string line;
    bool any = false;
    BYTE b;
    while (Read(&b, 1) == 1) {
        any = true;
        if (b == '\n')
            break;
        line.push_back(static_cast<char>(b));
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    rString = CStringA(line.c_str(), static_cast<int>(line.size()));
    return any ? TRUE : FALSE;
}

BOOL CArchive::ReadString(CStringW& rString)
{
    std::u16string line;
    bool any = false;
    BYTE unit[2];
    while (Read(unit, 2) == 2) {
        any = true;
        const char16_t u = static_cast<char16_t>(unit[0] | (unit[1] << 8));
        if (u == u'\n')
            break;
        line.push_back(u);
    }
    if (!line.empty() && line.back() == u'\r')
        line.pop_back();
    const std::wstring text = FromUtf16(line);
    rString = CStringW(text.c_str(), static_cast<int>(text.size()));
    return any ? TRUE : FALSE;
}

// --- Objects ------------------------------------------------------------------------------------

namespace {

void WriteIndex(CArchive& ar, DWORD index, bool isClass)
{
    if (index < kBigObjectTag)
        ar << static_cast<WORD>(isClass ? (kClassTag | index) : index);
    else
        ar << kBigObjectTag << static_cast<DWORD>(isClass ? (kBigClassTag | index) : index);
}

} // namespace

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    if (!pClassRef)
        AfxThrowArchiveException(CArchiveException::badClass);
    if (!IsStoring())
        AfxThrowArchiveException(CArchiveException::readOnly);
    CArchiveMaps& maps = Maps(m_maps);
    const auto found = maps.stored.find(pClassRef);
    if (found != maps.stored.end()) {
        WriteIndex(*this, found->second, true);
        return;
    }
    const std::size_t nameLength = std::strlen(pClassRef->m_lpszClassName);
    if ((pClassRef->m_wSchema & 0xFFFF) == 0xFFFF || nameLength > kMaxClassName)
        AfxThrowArchiveException(CArchiveException::badClass); // not a SERIAL class
    *this << kNewClassTag << static_cast<WORD>(pClassRef->m_wSchema & 0xFFFF) << static_cast<WORD>(nameLength);
    Write(pClassRef->m_lpszClassName, static_cast<UINT>(nameLength));
    maps.stored[pClassRef] = maps.count++;
}

void CArchive::WriteObject(const CObject* pOb)
{
    if (!IsStoring())
        AfxThrowArchiveException(CArchiveException::readOnly);
    if (!pOb) {
        *this << kNullTag;
        return;
    }
    CArchiveMaps& maps = Maps(m_maps);
    const auto found = maps.stored.find(pOb);
    if (found != maps.stored.end()) {
        WriteIndex(*this, found->second, false);
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    maps.stored[pOb] = maps.count++;
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly);
    CArchiveMaps& maps = Maps(m_maps);
    WORD tag;
    *this >> tag;
    DWORD obTag;
    if (tag == kBigObjectTag) {
        *this >> obTag;
    } else if (tag == kNewClassTag) {
        obTag = kNewClassTag;
    } else {
        obTag = (tag & kClassTag) ? (kBigClassTag | (tag & ~kClassTag)) : tag;
    }
    if (pObTag)
        *pObTag = obTag;
    CRuntimeClass* cls = nullptr;
    UINT schema = 0;
    if (tag == kNewClassTag) {
        WORD storedSchema, nameLength;
        *this >> storedSchema >> nameLength;
        if (nameLength > kMaxClassName)
            AfxThrowArchiveException(CArchiveException::badClass);
        char name[kMaxClassName + 1];
        if (Read(name, nameLength) != nameLength)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        name[nameLength] = '\0';
        cls = CRuntimeClass::FromName(name);
        if (!cls || (cls->m_wSchema & 0xFFFF) == 0xFFFF)
            AfxThrowArchiveException(CArchiveException::badClass);
        // A versionable class reads any schema; others only the one they write.
        if (!(cls->m_wSchema & VERSIONABLE_SCHEMA) && storedSchema != (cls->m_wSchema & 0xFFFF))
            AfxThrowArchiveException(CArchiveException::badSchema);
        schema = storedSchema;
        maps.loaded.push_back({true, cls, schema});
        maps.count++;
    } else if (obTag & kBigClassTag) {
        const DWORD index = obTag & ~kBigClassTag;
        if (index == 0 || index >= maps.loaded.size() || !maps.loaded[index].isClass)
            AfxThrowArchiveException(CArchiveException::badIndex);
        cls = static_cast<CRuntimeClass*>(maps.loaded[index].p);
        schema = maps.loaded[index].schema;
    } else {
        return nullptr; // an object's number, or null
    }
    if (pClassRefRequested && !cls->IsDerivedFrom(pClassRefRequested))
        AfxThrowArchiveException(CArchiveException::badClass);
    if (pSchema)
        *pSchema = schema;
    return cls;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    UINT schema = 0;
    DWORD obTag = 0;
    CRuntimeClass* cls = ReadClass(pClassRefRequested, &schema, &obTag);
    CArchiveMaps& maps = Maps(m_maps);
    if (!cls) {
        if (obTag == 0)
            return nullptr;
        if (obTag >= maps.loaded.size() || maps.loaded[obTag].isClass || !maps.loaded[obTag].p)
            AfxThrowArchiveException(CArchiveException::badIndex);
        CObject* pOb = static_cast<CObject*>(maps.loaded[obTag].p);
        if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            AfxThrowArchiveException(CArchiveException::badClass);
        return pOb;
    }
    CObject* pOb = cls->CreateObject();
    if (!pOb)
        AfxThrowArchiveException(CArchiveException::badClass);
    const std::size_t index = maps.loaded.size();
    maps.loaded.push_back({false, pOb, 0});
    maps.count++;
    const UINT saved = m_nObjectSchema;
    m_nObjectSchema = schema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        maps.loaded[index].p = nullptr;
        delete pOb;
        throw;
    }
    m_nObjectSchema = saved;
    return pOb;
}
