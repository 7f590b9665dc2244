// MFC's collections against the standard library's: random sequences of the documented
// operations on CArray, CList and CMap must leave the same elements as std::vector, std::list and
// std::map; misuse is refused with CInvalidArgException; Serialize writes the documented count
// and reads back what it wrote.
#include <gtest/gtest.h>

#include <afxtempl.h>
#include <afxwin.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <list>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

template <class T, class A> std::vector<T> Contents(const CArray<T, A>& a)
{
    return std::vector<T>(a.GetData(), a.GetData() + a.GetSize());
}

template <class T, class A> std::vector<T> Contents(const CList<T, A>& l)
{
    std::vector<T> out;
    for (POSITION pos = l.GetHeadPosition(); pos;)
        out.push_back(l.GetNext(pos));
    return out;
}

// Windows: CArray's members as MSDN documents them (SetAtGrow and InsertAt past the end grow
// the array, Append answers the first new index, Add the new element's).
TEST(MfcCollections, ArrayFollowsAVectorThroughRandomOperations)
{
    std::mt19937 rng(7);
    CArray<int, int> array;
    std::vector<int> model;
    for (int step = 0; step < 4000; ++step) {
        const int size = static_cast<int>(model.size());
        const int value = static_cast<int>(rng() % 1000);
        const int at = size ? static_cast<int>(rng() % size) : 0;
        switch (rng() % 8) {
        case 0:
        case 1:
            EXPECT_EQ(array.Add(value), size);
            model.push_back(value);
            break;
        case 2:
            array.InsertAt(at, value, 2);
            model.insert(model.begin() + at, 2, value);
            break;
        case 3:
            if (size) {
                const int n = std::min(size - at, 3);
                array.RemoveAt(at, n);
                model.erase(model.begin() + at, model.begin() + at + n);
            }
            break;
        case 4:
            array.SetAtGrow(size + 2, value); // past the end: the gap is zero-filled
            model.resize(size + 3);
            model[size + 2] = value;
            break;
        case 5:
            if (size > 40) {
                array.SetSize(size / 2);
                model.resize(size / 2);
            } else {
                EXPECT_EQ(array.Append(array), size); // appending itself doubles it
                model.insert(model.end(), model.begin(), model.end());
            }
            break;
        case 6:
            if (size) {
                array[at] += value;
                model[at] += value;
            }
            break;
        default:
            array.InsertAt(size + 1, value); // one past the end leaves a zero before it
            model.push_back(0);
            model.push_back(value);
            break;
        }
        ASSERT_EQ(Contents(array), model) << "step " << step;
        ASSERT_EQ(array.GetUpperBound(), static_cast<INT_PTR>(model.size()) - 1);
    }
    CArray<int, int> copy;
    copy.Copy(array);
    EXPECT_EQ(Contents(copy), model);
}

// Windows: CList's members as MSDN documents them (InsertBefore/After answer the new node, a
// POSITION stays valid until its node is removed, Find starts after the position given).
TEST(MfcCollections, ListFollowsAStdListThroughRandomOperations)
{
    std::mt19937 rng(11);
    CList<int, int> list;
    std::list<int> model;
    for (int step = 0; step < 3000; ++step) {
        const int value = static_cast<int>(rng() % 50);
        const int size = static_cast<int>(model.size());
        const int at = size ? static_cast<int>(rng() % size) : 0;
        POSITION pos = list.FindIndex(at);
        auto it = std::next(model.begin(), size ? at : 0);
        switch (rng() % 7) {
        case 0:
            list.AddHead(value);
            model.push_front(value);
            break;
        case 1:
            list.AddTail(value);
            model.push_back(value);
            break;
        case 2:
            if (size) {
                EXPECT_EQ(list.GetAt(list.InsertBefore(pos, value)), value);
                model.insert(it, value);
            }
            break;
        case 3:
            if (size) {
                list.InsertAfter(pos, value);
                model.insert(std::next(it), value);
            }
            break;
        case 4:
            if (size) {
                list.RemoveAt(pos);
                model.erase(it);
            }
            break;
        case 5:
            if (size) {
                EXPECT_EQ(list.RemoveHead(), model.front());
                model.pop_front();
            }
            break;
        default:
            if (size) {
                EXPECT_EQ(list.RemoveTail(), model.back());
                model.pop_back();
            }
            break;
        }
        ASSERT_EQ(list.GetCount(), static_cast<INT_PTR>(model.size()));
        ASSERT_EQ(Contents(list), std::vector<int>(model.begin(), model.end())) << "step " << step;
    }
    // Every occurrence of a value, found one after another.
    int found = 0;
    for (POSITION p = list.Find(7); p; p = list.Find(7, p))
        ++found;
    EXPECT_EQ(found, std::count(model.begin(), model.end(), 7));
    // Walking back from the tail visits the same elements in reverse.
    std::vector<int> backwards;
    for (POSITION p = list.GetTailPosition(); p;)
        backwards.push_back(list.GetPrev(p));
    EXPECT_EQ(backwards, std::vector<int>(model.rbegin(), model.rend()));
}

// Windows: CMap's operator[] adds a key, Lookup and RemoveKey answer whether it was there, and an
// enumeration from GetStartPosition visits each pair once (MSDN CMap). Thousands of keys make the
// table grow well past its first 17 buckets.
TEST(MfcCollections, MapsFollowAStdMapThroughRandomOperations)
{
    std::mt19937 rng(5);
    CMap<int, int, int, int> numbers;
    CMapStringToString names;
    std::map<int, int> model;
    for (int step = 0; step < 20000; ++step) {
        const int key = static_cast<int>(rng() % 3000);
        const CString text(std::to_string(key).c_str());
        if (rng() % 3 == 0) {
            EXPECT_EQ(numbers.RemoveKey(key), model.erase(key) == 1);
            names.RemoveKey(text);
        } else {
            numbers[key] = step;
            names.SetAt(text, CString(std::to_string(step).c_str()));
            model[key] = step;
        }
    }
    ASSERT_EQ(numbers.GetCount(), static_cast<INT_PTR>(model.size()));
    ASSERT_EQ(names.GetCount(), static_cast<INT_PTR>(model.size()));
    EXPECT_GT(numbers.GetHashTableSize(), 17u);
    std::map<int, int> seen;
    for (POSITION pos = numbers.GetStartPosition(); pos;) {
        int k = 0, v = 0;
        numbers.GetNextAssoc(pos, k, v);
        EXPECT_TRUE(seen.emplace(k, v).second) << "key " << k << " twice";
    }
    EXPECT_EQ(seen, model);
    for (int key = 0; key < 3000; ++key) {
        int v = -1;
        CString s;
        const bool present = model.count(key) == 1;
        ASSERT_EQ(numbers.Lookup(key, v) != FALSE, present) << key;
        ASSERT_EQ(names.Lookup(CString(std::to_string(key).c_str()), s) != FALSE, present) << key;
        if (present) {
            EXPECT_EQ(v, model[key]);
            EXPECT_EQ(s, CString(std::to_string(model[key]).c_str()));
        }
    }
}

// Out-of-range indexes, null positions and an empty list's ends are refused with
// CInvalidArgException (MFC's checked accessors throw it) and leave the collection as it was.
TEST(MfcCollections, MisuseIsRefusedWithAnException)
{
    CArray<int, int> array;
    array.Add(1);
    CList<int, int> empty;
    CMap<int, int, int, int> map;
    map[1] = 2;
    const std::vector<std::pair<const char*, std::function<void()>>> misuses = {
        {"GetAt(-1)", [&] { array.GetAt(-1); }},
        {"GetAt(size)", [&] { array.GetAt(1); }},
        {"operator[] past the end", [&] { array[5] = 3; }},
        {"RemoveAt past the end", [&] { array.RemoveAt(0, 2); }},
        {"SetSize(-1)", [&] { array.SetSize(-1); }},
        {"InsertAt(-1)", [&] { array.InsertAt(-1, 0); }},
        {"GetHead of an empty list", [&] { empty.GetHead(); }},
        {"RemoveTail of an empty list", [&] { empty.RemoveTail(); }},
        {"GetNext(null)",
         [&] {
             POSITION none = nullptr;
             empty.GetNext(none);
         }},
        {"GetNextAssoc(null)",
         [&] {
             POSITION none = nullptr;
             int k, v;
             map.GetNextAssoc(none, k, v);
         }},
    };
    for (const auto& [name, misuse] : misuses) {
        bool refused = false;
        try {
            misuse();
        } catch (CInvalidArgException* e) {
            refused = true;
            e->Delete();
        }
        EXPECT_TRUE(refused) << name;
    }
    EXPECT_EQ(array.GetSize(), 1);
    EXPECT_EQ(array[0], 1);
    EXPECT_EQ(map.GetCount(), 1);
    // BEFORE_START_POSITION starts an enumeration as GetStartPosition does.
    POSITION pos = BEFORE_START_POSITION;
    int k = 0, v = 0;
    map.GetNextAssoc(pos, k, v);
    EXPECT_EQ(k, 1);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(pos, nullptr);
}

class Sprite : public CObject {
    DECLARE_SERIAL(Sprite)

public:
    Sprite() = default;
    explicit Sprite(int x) : m_x(x) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_x;
        else
            ar >> m_x;
    }
    int m_x = 0;
};
IMPLEMENT_SERIAL(Sprite, CObject, 1)

// Windows: a collection's Serialize writes its count as CArchive::WriteCount does (a WORD below
// 0xFFFF, else 0xFFFF and a DWORD) and then each element: plain data as its bytes, strings and
// objects as << writes them; reading gives back equal collections.
TEST(MfcCollections, SerializeWritesTheCountThenTheElementsAndReadsThemBack)
{
    const std::string name =
        (std::filesystem::temp_directory_path() /
         ("mox_collections_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".bin"))
            .string();

    CDWordArray dwords;
    for (DWORD i = 0; i < 0x10000; ++i) // one past what a WORD count holds
        dwords.Add(i * 3);
    CStringArray strings;
    strings.Add(_T("one"));
    strings.Add(CString(_T("two")));
    CObArray sprites;
    Sprite shared(5);
    sprites.Add(&shared);
    sprites.Add(&shared); // the same object twice: written once, then by reference
    CList<CPoint, CPoint> points;
    points.AddTail(CPoint(1, 2));
    points.AddTail(CPoint(-3, 4));
    CMapStringToString pairs;
    pairs[_T("a")] = _T("b");
    {
        CFile file(CString(name.c_str()), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        dwords.Serialize(ar);
        strings.Serialize(ar);
        sprites.Serialize(ar);
        points.Serialize(ar);
        pairs.Serialize(ar);
        ar.Close();
    }
    {
        CFile file(CString(name.c_str()), CFile::modeRead);
        BYTE head[10] = {};
        ASSERT_EQ(file.Read(head, sizeof head), sizeof head);
        const BYTE expected[10] = {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00, 0, 0, 0, 0}; // 0x10000, then 0
        EXPECT_EQ(std::vector<BYTE>(head, head + 10), std::vector<BYTE>(expected, expected + 10));
    }
    CDWordArray dwords2;
    CStringArray strings2;
    CObArray sprites2;
    CList<CPoint, CPoint> points2;
    CMapStringToString pairs2;
    {
        CFile file(CString(name.c_str()), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        dwords2.Serialize(ar);
        strings2.Serialize(ar);
        sprites2.Serialize(ar);
        points2.Serialize(ar);
        pairs2.Serialize(ar);
    }
    std::remove(name.c_str());
    EXPECT_EQ(Contents(dwords2), Contents(dwords));
    EXPECT_EQ(Contents(strings2), Contents(strings));
    ASSERT_EQ(sprites2.GetSize(), 2);
    EXPECT_EQ(sprites2[0], sprites2[1]);
    ASSERT_TRUE(sprites2[0]->IsKindOf(RUNTIME_CLASS(Sprite)));
    EXPECT_EQ(static_cast<Sprite*>(sprites2[0])->m_x, 5);
    delete sprites2[0];
    EXPECT_EQ(Contents(points2), Contents(points));
    CString b;
    EXPECT_TRUE(pairs2.Lookup(_T("a"), b));
    EXPECT_EQ(b, CString(_T("b")));
}

// The typed wrappers give the element type back without casts.
TEST(MfcCollections, TypedPointerCollectionsHandBackTheirType)
{
    Sprite a(1), b(2);
    CTypedPtrArray<CObArray, Sprite*> array;
    array.Add(&a);
    array.Add(&b);
    EXPECT_EQ(array[1]->m_x, 2);
    CTypedPtrList<CPtrList, Sprite*> list;
    list.AddTail(&a);
    list.AddHead(&b);
    EXPECT_EQ(list.GetHead()->m_x, 2);
    EXPECT_EQ(list.GetTail()->m_x, 1);
    CTypedPtrMap<CMapWordToPtr, WORD, Sprite*> map;
    map[7] = &b;
    Sprite* found = nullptr;
    EXPECT_TRUE(map.Lookup(7, found));
    EXPECT_EQ(found, &b);
}

} // namespace
