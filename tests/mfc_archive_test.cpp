// CFile and CArchive as documents use them: MFC's byte layout for each value, strings and
// objects, the errors files and damaged archives give, and a document saved and opened back
// through Serialize.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
// A failed open or save tells the user in a message box: headless here, it answers at once.
constexpr bool kMessageBoxesAnswer = true;
#else
// Under Windows a message box waits for a user, so the cases that show one are left out.
constexpr bool kMessageBoxesAnswer = false;
#endif

namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;

class TempFolder {
public:
    TempFolder()
    {
        path_ = fs::temp_directory_path() / ("mox_archive_" + std::to_string(std::rand()) + "_" +
                                             std::to_string(reinterpret_cast<std::uintptr_t>(this) & 0xFFFF));
        fs::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const char* name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

Bytes ReadAll(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& name, const Bytes& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Store(const std::string& name, const std::function<void(CArchive&)>& write)
{
    {
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
        file.Close();
    }
    return ReadAll(name);
}

Bytes Repeat(BYTE b, std::size_t n)
{
    return Bytes(n, b);
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Each value's bytes, then the value read back. Windows: CArchive's operators store each type at
// its size, little-endian (MSDN CArchive::operator<<); CString's prefix is one byte, 0xFF then a
// WORD, 0xFF 0xFFFF then a DWORD, and wide text is marked 0xFF 0xFFFE (MFC's archive layout,
// widely documented; a file written on Windows reads back here).
TEST(MfcArchive, EachTypeStoresMfcBytesAndReadsBack)
{
    TempFolder dir;
    const std::string name = dir.File("values.bin");
    const std::string s254(254, 'x'), s255(255, 'y'), s65534(0xFFFE, 'z');
    struct Case {
        const char* what;
        std::function<void(CArchive&)> store;
        Bytes bytes;
        std::function<bool(CArchive&)> loadsBack;
    };
    const Case cases[] = {
        {"BYTE", [](CArchive& ar) { ar << BYTE(0xAB); }, {0xAB},
         [](CArchive& ar) { BYTE v = 0; ar >> v; return v == 0xAB; }},
        {"WORD", [](CArchive& ar) { ar << WORD(0x1234); }, {0x34, 0x12},
         [](CArchive& ar) { WORD v = 0; ar >> v; return v == 0x1234; }},
        {"LONG", [](CArchive& ar) { ar << LONG(-2); }, {0xFE, 0xFF, 0xFF, 0xFF},
         [](CArchive& ar) { LONG v = 0; ar >> v; return v == -2; }},
        {"DWORD", [](CArchive& ar) { ar << DWORD(0x89ABCDEFu); }, {0xEF, 0xCD, 0xAB, 0x89},
         [](CArchive& ar) { DWORD v = 0; ar >> v; return v == 0x89ABCDEFu; }},
        {"int", [](CArchive& ar) { ar << int(-100000); }, {0x60, 0x79, 0xFE, 0xFF},
         [](CArchive& ar) { int v = 0; ar >> v; return v == -100000; }},
        {"UINT", [](CArchive& ar) { ar << UINT(7); }, {7, 0, 0, 0},
         [](CArchive& ar) { UINT v = 0; ar >> v; return v == 7; }},
        {"long is 4 bytes", [](CArchive& ar) { ar << long(-3); }, {0xFD, 0xFF, 0xFF, 0xFF},
         [](CArchive& ar) { long v = 0; ar >> v; return v == -3; }},
        {"short", [](CArchive& ar) { ar << short(-2); }, {0xFE, 0xFF},
         [](CArchive& ar) { short v = 0; ar >> v; return v == -2; }},
        {"char", [](CArchive& ar) { ar << char('Q'); }, {'Q'},
         [](CArchive& ar) { char v = 0; ar >> v; return v == 'Q'; }},
        {"wchar_t is one UTF-16 unit", [](CArchive& ar) { ar << wchar_t(0x263A); }, {0x3A, 0x26},
         [](CArchive& ar) { wchar_t v = 0; ar >> v; return v == wchar_t(0x263A); }},
        {"bool", [](CArchive& ar) { ar << true << false; }, {1, 0},
         [](CArchive& ar) { bool a = false, b = true; ar >> a >> b; return a && !b; }},
        {"float", [](CArchive& ar) { ar << 1.5f; }, {0x00, 0x00, 0xC0, 0x3F},
         [](CArchive& ar) { float v = 0; ar >> v; return v == 1.5f; }},
        {"double", [](CArchive& ar) { ar << -2.0; }, {0, 0, 0, 0, 0, 0, 0x00, 0xC0},
         [](CArchive& ar) { double v = 0; ar >> v; return v == -2.0; }},
        {"LONGLONG", [](CArchive& ar) { ar << LONGLONG(-2); }, Cat({{0xFE}, Repeat(0xFF, 7)}),
         [](CArchive& ar) { LONGLONG v = 0; ar >> v; return v == -2; }},
        {"ULONGLONG", [](CArchive& ar) { ar << ULONGLONG(0x0102030405060708ull); }, {8, 7, 6, 5, 4, 3, 2, 1},
         [](CArchive& ar) { ULONGLONG v = 0; ar >> v; return v == 0x0102030405060708ull; }},
        {"POINT and RECT", [](CArchive& ar) { ar << CPoint(1, -1) << CRect(1, 2, 3, 4); },
         {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0},
         [](CArchive& ar) { POINT p{}; RECT r{}; ar >> p >> r; return p.x == 1 && p.y == -1 && r.left == 1 && r.bottom == 4; }},
        {"empty string", [](CArchive& ar) { ar << CStringA(); }, {0},
         [](CArchive& ar) { CStringA v("old"); ar >> v; return v.IsEmpty(); }},
        {"short string", [](CArchive& ar) { ar << CStringA("abc"); }, {3, 'a', 'b', 'c'},
         [](CArchive& ar) { CStringA v; ar >> v; return v == "abc"; }},
        {"254 characters: one length byte", [&](CArchive& ar) { ar << CStringA(s254.c_str()); },
         Cat({{0xFE}, Repeat('x', 254)}), [&](CArchive& ar) { CStringA v; ar >> v; return std::string(v.GetString()) == s254; }},
        {"255 characters: 0xFF and a WORD", [&](CArchive& ar) { ar << CStringA(s255.c_str()); },
         Cat({{0xFF, 0xFF, 0x00}, Repeat('y', 255)}),
         [&](CArchive& ar) { CStringA v; ar >> v; return std::string(v.GetString()) == s255; }},
        {"0xFFFE characters: 0xFF 0xFFFF and a DWORD", [&](CArchive& ar) { ar << CStringA(s65534.c_str()); },
         Cat({{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, Repeat('z', 0xFFFE)}),
         [&](CArchive& ar) { CStringA v; ar >> v; return std::string(v.GetString()) == s65534; }},
        {"wide string: marked, UTF-16", [](CArchive& ar) { ar << CStringW(L"ab"); },
         {0xFF, 0xFE, 0xFF, 2, 'a', 0, 'b', 0}, [](CArchive& ar) { CStringW v; ar >> v; return v == L"ab"; }},
        {"wide string read as narrow", [](CArchive& ar) { ar << CStringW(L"h\x00e9"); },
         {0xFF, 0xFE, 0xFF, 2, 'h', 0, 0xE9, 0},
         [](CArchive& ar) { CStringA v; ar >> v; return CStringW(v) == L"h\x00e9"; }},
        {"narrow string read as wide", [](CArchive& ar) { ar << CStringA("hi"); }, {2, 'h', 'i'},
         [](CArchive& ar) { CStringW v; ar >> v; return v == L"hi"; }},
        {"raw bytes and lines", [](CArchive& ar) { ar.Write("\x01\x02", 2); ar.WriteString("one\r\ntwo"); },
         {1, 2, 'o', 'n', 'e', '\r', '\n', 't', 'w', 'o'},
         [](CArchive& ar) {
             BYTE raw[2] = {};
             CStringA a, b, c;
             const bool read = ar.Read(raw, 2) == 2 && raw[1] == 2;
             const BOOL first = ar.ReadString(a), second = ar.ReadString(b), third = ar.ReadString(c);
             return read && first && a == "one" && second && b == "two" && !third;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Store(name, c.store), c.bytes);
        CFile file(name.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        EXPECT_TRUE(c.loadsBack(ar));
    }
}

// An object graph: the class is written once with its name and schema, later objects of it by
// the class's number, and a second reference to an object by the object's number.
class CShape : public CObject {
    DECLARE_SERIAL(CShape)
public:
    LONG size = 0;
    CShape* partner = nullptr;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << size << partner;
        else
            ar >> size >> partner;
    }
};
IMPLEMENT_SERIAL(CShape, CObject, 3)

class CNotShape : public CObject {
    DECLARE_SERIAL(CNotShape)
};
IMPLEMENT_SERIAL(CNotShape, CObject, 1)

class CVersioned : public CObject {
    DECLARE_SERIAL(CVersioned)
public:
    UINT schemaRead = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading())
            schemaRead = ar.GetObjectSchema();
    }
};
IMPLEMENT_SERIAL(CVersioned, CObject, VERSIONABLE_SCHEMA | 2)

const Bytes kShapeClass = {0xFF, 0xFF, 3, 0, 6, 0, 'C', 'S', 'h', 'a', 'p', 'e'};

TEST(MfcArchive, ObjectsWriteTheirClassOnceThenReferences)
{
    TempFolder dir;
    const std::string name = dir.File("objects.bin");
    CShape a, b;
    a.size = 5;
    b.size = 6;
    a.partner = &b;
    b.partner = &a;
    const Bytes bytes = Store(name, [&](CArchive& ar) { ar << &a << static_cast<CObject*>(nullptr); });
    // a: new class (number 1), object 2 = a: size, then b: class 1, object 3 = b: size, then a again: object 2.
    EXPECT_EQ(bytes, Cat({kShapeClass, {5, 0, 0, 0}, {0x01, 0x80}, {6, 0, 0, 0}, {0x02, 0x00}, {0, 0}}));

    CFile file(name.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CShape* first = nullptr;
    CObject* none = &a;
    ar >> first >> none;
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->partner, nullptr);
    EXPECT_EQ(first->size, 5);
    EXPECT_EQ(first->partner->size, 6);
    EXPECT_EQ(first->partner->partner, first);
    EXPECT_EQ(none, nullptr);
    delete first->partner;
    delete first;
}

// Damaged or unexpected archives end in a CArchiveException with MFC's cause, never in a crash.
TEST(MfcArchive, DamagedArchivesThrowWithTheirCause)
{
    TempFolder dir;
    const std::string name = dir.File("damaged.bin");
    enum Reads { kLong, kString, kShape };
    struct Case {
        const char* what;
        Bytes bytes;
        int cause;
        Reads reads = kShape;
    };
    const Case cases[] = {
        {"ends inside a value", {5, 0}, CArchiveException::endOfFile, kLong},
        {"ends inside the class name", {0xFF, 0xFF, 3, 0, 6, 0, 'C', 'S'}, CArchiveException::endOfFile},
        {"a class nobody made known", {0xFF, 0xFF, 1, 0, 3, 0, 'C', 'Z', 'Z'}, CArchiveException::badClass},
        {"another schema", {0xFF, 0xFF, 4, 0, 6, 0, 'C', 'S', 'h', 'a', 'p', 'e'}, CArchiveException::badSchema},
        {"a class that is not the one asked for", {0xFF, 0xFF, 1, 0, 9, 0, 'C', 'N', 'o', 't', 'S', 'h', 'a', 'p', 'e'},
         CArchiveException::badClass},
        {"an object number never read", {0x07, 0x00}, CArchiveException::badIndex},
        {"a class number never read", {0x05, 0x80}, CArchiveException::badIndex},
        {"a string longer than the file", {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 'a'}, CArchiveException::endOfFile,
         kString},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(name, c.bytes);
        CFile file(name.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        int cause = -1;
        try {
            if (c.reads == kString) {
                CStringA s;
                ar >> s;
            } else if (c.reads == kLong) {
                LONG v;
                ar >> v;
            } else {
                CShape* p = nullptr;
                ar >> p;
                delete p;
            }
        } catch (CArchiveException* e) {
            cause = e->m_cause;
            e->Delete();
        }
        EXPECT_EQ(cause, c.cause);
    }
    // Storing into an archive made for loading is refused too (readOnly).
    WriteAll(name, {});
    CFile file(name.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    int cause = -1;
    try {
        ar << 1;
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::readOnly);
}

TEST(MfcArchive, VersionableClassesReadAnySchema)
{
    TempFolder dir;
    const std::string name = dir.File("versioned.bin");
    WriteAll(name, {0xFF, 0xFF, 7, 0, 10, 0, 'C', 'V', 'e', 'r', 's', 'i', 'o', 'n', 'e', 'd'});
    CFile file(name.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CVersioned* v = nullptr;
    ar >> v;
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->schemaRead, 7u);
    delete v;
}

// Windows: CreateFile fails with ERROR_FILE_NOT_FOUND for a missing file and
// ERROR_PATH_NOT_FOUND for a missing folder; MFC maps them to fileNotFound and badPath (MSDN
// CFileException::m_cause, CFile::Open).
TEST(MfcFile, OpenFailuresFillTheExceptionAndTheConstructorThrows)
{
    TempFolder dir;
    struct Case {
        const char* what;
        std::string name;
        UINT flags;
        int cause;
        LONG osError;
    };
    const Case cases[] = {
        {"missing file", dir.File("absent.bin"), CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
        {"missing folder", dir.File("nowhere/absent.bin"), CFile::modeCreate | CFile::modeWrite, CFileException::badPath,
         ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.name.c_str(), c.flags, &error));
        EXPECT_EQ(error.m_cause, c.cause);
        EXPECT_EQ(error.m_lOsError, c.osError);
        EXPECT_EQ(std::string(error.m_strFileName.GetString()), c.name);
        int thrown = -1;
        try {
            CFile opened(c.name.c_str(), c.flags);
        } catch (CFileException* e) {
            thrown = e->m_cause;
            e->Delete();
        }
        EXPECT_EQ(thrown, c.cause);
    }
}

TEST(MfcFile, ModesPositionsAndErrorsOfAnOpenFile)
{
    TempFolder dir;
    const std::string name = dir.File("data.bin");
    WriteAll(name, {1, 2, 3, 4, 5});
    {
        // modeNoTruncate keeps the bytes; writing at the end makes the file longer.
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 5u);
        EXPECT_EQ(file.SeekToEnd(), 5u);
        file.Write("\x06", 1);
        EXPECT_EQ(file.GetLength(), 6u);
        EXPECT_EQ(file.Seek(-4, CFile::current), 2u);
        BYTE two[2] = {};
        EXPECT_EQ(file.Read(two, 2), 2u);
        EXPECT_EQ(two[0], 3);
        EXPECT_EQ(file.GetPosition(), 4u);
        BYTE rest[8] = {};
        EXPECT_EQ(file.Read(rest, 8), 2u); // fewer at the end, no error
        // Windows: SetFilePointer before the start fails with ERROR_NEGATIVE_SEEK (MSDN).
        int cause = -1;
        try {
            file.Seek(-1, CFile::begin);
        } catch (CFileException* e) {
            cause = e->m_cause;
            e->Delete();
        }
        EXPECT_EQ(cause, CFileException::badSeek);
        EXPECT_EQ(file.GetFileName(), CString("data.bin"));
        EXPECT_EQ(file.GetFileTitle(), CString("data"));
    }
    EXPECT_EQ(ReadAll(name), (Bytes{1, 2, 3, 4, 5, 6}));
    {
        // modeCreate alone empties it; a file opened to read refuses writes (access denied).
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
    }
    CFile reader(name.c_str(), CFile::modeRead);
    int cause = -1;
    try {
        reader.Write("x", 1);
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CFileException::accessDenied);
}

// Documents read and write through Serialize: OnSaveDocument stores, OnOpenDocument empties the
// document (DeleteContents) and loads; either leaves it unmodified.
class CListDoc : public CDocument {
public:
    CStringA name;
    std::vector<LONG> values;
    int deletes = 0;
    void DeleteContents() override
    {
        ++deletes;
        name.Empty();
        values.clear();
    }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << name << static_cast<DWORD>(values.size());
            for (LONG v : values)
                ar << v;
        } else {
            DWORD n = 0;
            ar >> name >> n;
            for (DWORD i = 0; i < n; ++i) {
                LONG v;
                ar >> v;
                values.push_back(v);
            }
        }
    }
};

TEST(MfcArchive, DocumentsSaveAndOpenThroughSerialize)
{
    TempFolder dir;
    const std::string name = dir.File("list.doc");
    CListDoc saved;
    saved.name = "pair";
    saved.values = {7, -1};
    saved.SetModifiedFlag(TRUE);
    ASSERT_TRUE(saved.OnSaveDocument(name.c_str()));
    EXPECT_FALSE(saved.IsModified());
    EXPECT_EQ(ReadAll(name), (Bytes{4, 'p', 'a', 'i', 'r', 2, 0, 0, 0, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));

    CListDoc opened;
    opened.values = {99};
    ASSERT_TRUE(opened.OnOpenDocument(name.c_str()));
    EXPECT_EQ(opened.deletes, 1);
    EXPECT_EQ(opened.name, "pair");
    EXPECT_EQ(opened.values, (std::vector<LONG>{7, -1}));
    EXPECT_FALSE(opened.IsModified());

    if (!kMessageBoxesAnswer)
        return;
    // A missing file and a truncated one fail (after a message box); the truncated one is left empty.
    CListDoc failed;
    EXPECT_FALSE(failed.OnOpenDocument(dir.File("absent.doc").c_str()));
    EXPECT_EQ(failed.deletes, 0);
    WriteAll(name, {4, 'p', 'a'});
    failed.values = {1};
    EXPECT_FALSE(failed.OnOpenDocument(name.c_str()));
    EXPECT_TRUE(failed.values.empty());
    EXPECT_FALSE(saved.OnSaveDocument(dir.File("nowhere/list.doc").c_str()));
}

} // namespace
