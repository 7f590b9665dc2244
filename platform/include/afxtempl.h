// MFC's collection templates: CArray, CList, CMap and the typed-pointer wrappers over them.
// Indexes and positions are checked: one out of range, a null POSITION or an empty list's head
// throws CInvalidArgException* (as MFC's checked accessors do) instead of touching memory that
// is not the collection's. Elements are kept in std::vector and heap nodes, so they may be any
// copyable type; GetData points at contiguous elements, valid until the array's size changes.
#pragma once

#include "afx.h"

#include <cstring>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

/// Thrown for an argument outside what a call accepts (an index beyond a collection's end).
class MOXPLAT_API CInvalidArgException : public CException {
    DECLARE_DYNAMIC(CInvalidArgException)

public:
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
#ifdef UNICODE
    using CException::GetErrorMessage;
#endif
};

/// Throws new CInvalidArgException.
[[noreturn]] MOXPLAT_API void AFXAPI AfxThrowInvalidArgException();

// --- The element helpers a program may specialize for its own types ---------------------------

/// Equality for Find and Lookup: operator== unless specialized.
template <class TYPE, class ARG_TYPE>
inline BOOL AFXAPI CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

template <class TYPE> inline void AFXAPI CopyElements(TYPE* pDest, const TYPE* pSrc, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i)
        pDest[i] = pSrc[i];
}

/// What Serialize writes for each element: the bytes of plain data as they are, unless
/// specialized (strings and objects have their own forms below). An element type that is not
/// plain data and has no specialization cannot be written as bytes without breaking it: its
/// archive fails with CArchiveException::genericException instead.
template <class TYPE> inline void AFXAPI SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount)
{
    if (nCount <= 0)
        return;
    if constexpr (std::is_trivially_copyable<TYPE>::value) {
        const std::size_t bytes = static_cast<std::size_t>(nCount) * sizeof(TYPE);
        if (ar.IsStoring())
            ar.Write(pElements, static_cast<UINT>(bytes));
        else if (ar.Read(pElements, static_cast<UINT>(bytes)) != bytes)
            AfxThrowArchiveException(CArchiveException::endOfFile);
    } else {
        AfxThrowArchiveException(CArchiveException::genericException);
    }
}
inline void AFXAPI SerializeElements(CArchive& ar, CStringA* pElements, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i)
        ar.IsStoring() ? (void)(ar << pElements[i]) : (void)(ar >> pElements[i]);
}
inline void AFXAPI SerializeElements(CArchive& ar, CStringW* pElements, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i)
        ar.IsStoring() ? (void)(ar << pElements[i]) : (void)(ar >> pElements[i]);
}
inline void AFXAPI SerializeElements(CArchive& ar, CObject** pElements, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i)
        ar.IsStoring() ? (void)(ar << pElements[i]) : (void)(ar >> pElements[i]);
}

/// The hash of a map's key: integers, enumerations and pointers by value, text by its characters.
/// A program's own key type needs a specialization, as in MFC.
template <class ARG_KEY> inline UINT AFXAPI HashKey(ARG_KEY key)
{
    unsigned long long v = static_cast<unsigned long long>((DWORD_PTR)key);
    v ^= v >> 33; // spread the high bits and the aligned low bits of pointers
    v *= 0xFF51AFD7ED558CCDull;
    v ^= v >> 33;
    return static_cast<UINT>(v);
}
namespace moxmfc {
template <class CH> inline UINT HashText(const CH* text)
{
    UINT h = 2166136261u; // FNV-1a over the character values
    for (; text && *text; ++text) {
        h ^= static_cast<UINT>(*text);
        h *= 16777619u;
    }
    return h;
}
} // namespace moxmfc
template <> inline UINT AFXAPI HashKey<LPCSTR>(LPCSTR key)
{
    return moxmfc::HashText(key);
}
template <> inline UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key)
{
    return moxmfc::HashText(key);
}
template <> inline UINT AFXAPI HashKey<LPSTR>(LPSTR key)
{
    return moxmfc::HashText(key);
}
template <> inline UINT AFXAPI HashKey<LPWSTR>(LPWSTR key)
{
    return moxmfc::HashText(key);
}
template <> inline UINT AFXAPI HashKey<const CStringA&>(const CStringA& key)
{
    return moxmfc::HashText(key.GetString());
}
template <> inline UINT AFXAPI HashKey<const CStringW&>(const CStringW& key)
{
    return moxmfc::HashText(key.GetString());
}
template <> inline UINT AFXAPI HashKey<CStringA>(CStringA key)
{
    return moxmfc::HashText(key.GetString());
}
template <> inline UINT AFXAPI HashKey<CStringW>(CStringW key)
{
    return moxmfc::HashText(key.GetString());
}

// --- CArray ---------------------------------------------------------------------------------------

/// A growable array. nGrowBy is accepted for its meaning in MFC (how many elements to make room
/// for at a time); the array grows geometrically whatever it says, which only spares work.
template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject {
public:
    CArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    /// New elements are value-initialized (zero for plain data), as MFC's are.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        if (nNewSize < 0)
            AfxThrowInvalidArgException();
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        m_data.resize(static_cast<std::size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data[Checked(nIndex)] = newElement; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_data[Checked(nIndex)]; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_data[Checked(nIndex)]; }
    const TYPE* GetData() const { return m_data.data(); }
    TYPE* GetData() { return m_data.data(); }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

    /// Sets the element, growing the array when nIndex is at or past its end.
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        if (nIndex < 0)
            AfxThrowInvalidArgException();
        if (nIndex >= GetSize()) {
            TYPE copy(newElement); // newElement may refer into the array, which is about to move
            m_data.resize(static_cast<std::size_t>(nIndex) + 1);
            m_data[static_cast<std::size_t>(nIndex)] = std::move(copy);
        } else {
            m_data[static_cast<std::size_t>(nIndex)] = newElement;
        }
    }
    /// The new element's index.
    INT_PTR Add(ARG_TYPE newElement)
    {
        m_data.push_back(TYPE(newElement));
        return GetSize() - 1;
    }
    /// The index of the first element appended.
    INT_PTR Append(const CArray& src)
    {
        const INT_PTR first = GetSize();
        if (&src == this) {
            m_data.reserve(m_data.size() * 2);
            m_data.insert(m_data.end(), m_data.begin(), m_data.begin() + first);
        } else {
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return first;
    }
    void Copy(const CArray& src)
    {
        if (&src != this)
            m_data = src.m_data;
    }
    /// nCount copies at nIndex; an index past the end grows the array to reach it first.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0)
            AfxThrowInvalidArgException();
        TYPE copy(newElement);
        if (nIndex > GetSize())
            m_data.resize(static_cast<std::size_t>(nIndex));
        m_data.insert(m_data.begin() + nIndex, static_cast<std::size_t>(nCount), copy);
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
    {
        if (!pNewArray || nStartIndex < 0)
            AfxThrowInvalidArgException();
        const std::vector<TYPE> copy(pNewArray->m_data);
        if (nStartIndex > GetSize())
            m_data.resize(static_cast<std::size_t>(nStartIndex));
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount < 0 || nCount > GetSize() - nIndex)
            AfxThrowInvalidArgException();
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

    /// The count (CArchive::WriteCount) and then the elements (SerializeElements).
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_data.size()));
        } else {
            const DWORD_PTR n = ar.ReadCount();
            RemoveAll();
            // Grown as the elements arrive, so a damaged count cannot ask for more memory than the
            // archive holds data for.
            constexpr DWORD_PTR kBatch = 4096;
            for (DWORD_PTR done = 0; done < n;) {
                const DWORD_PTR part = n - done < kBatch ? n - done : kBatch;
                m_data.resize(static_cast<std::size_t>(done + part));
                SerializeElements(ar, m_data.data() + done, static_cast<INT_PTR>(part));
                done += part;
            }
            return;
        }
        SerializeElements(ar, m_data.data(), GetSize());
    }

protected:
    std::size_t Checked(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= GetSize())
            AfxThrowInvalidArgException();
        return static_cast<std::size_t>(nIndex);
    }

    std::vector<TYPE> m_data;
    INT_PTR m_nGrowBy = -1;
};

// --- CList ----------------------------------------------------------------------------------------

/// A doubly linked list; a POSITION names one of its nodes until that node is removed.
template <class TYPE, class ARG_TYPE = const TYPE&> class CList : public CObject {
protected:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return NonEmpty(m_pNodeHead)->data; }
    const TYPE& GetHead() const { return NonEmpty(m_pNodeHead)->data; }
    TYPE& GetTail() { return NonEmpty(m_pNodeTail)->data; }
    const TYPE& GetTail() const { return NonEmpty(m_pNodeTail)->data; }
    /// The head's element, removed.
    TYPE RemoveHead()
    {
        CNode* node = NonEmpty(m_pNodeHead);
        TYPE value(std::move(node->data));
        Unlink(node);
        return value;
    }
    TYPE RemoveTail()
    {
        CNode* node = NonEmpty(m_pNodeTail);
        TYPE value(std::move(node->data));
        Unlink(node);
        return value;
    }
    POSITION AddHead(ARG_TYPE newElement) { return Link(new CNode{m_pNodeHead, nullptr, TYPE(newElement)}); }
    POSITION AddTail(ARG_TYPE newElement) { return Link(new CNode{nullptr, m_pNodeTail, TYPE(newElement)}); }
    /// Another list's elements, in their order, before the head or after the tail.
    void AddHead(CList* pNewList)
    {
        if (!pNewList)
            AfxThrowInvalidArgException();
        const std::vector<TYPE> copy = pNewList->Elements();
        for (auto it = copy.rbegin(); it != copy.rend(); ++it)
            AddHead(*it);
    }
    void AddTail(CList* pNewList)
    {
        if (!pNewList)
            AfxThrowInvalidArgException();
        for (const TYPE& e : pNewList->Elements())
            AddTail(e);
    }
    void RemoveAll()
    {
        while (m_pNodeHead) {
            CNode* next = m_pNodeHead->pNext;
            delete m_pNodeHead;
            m_pNodeHead = next;
        }
        m_pNodeTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return Pos(m_pNodeHead); }
    POSITION GetTailPosition() const { return Pos(m_pNodeTail); }
    /// The element at rPosition; rPosition moves to the next one (null after the tail).
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pNext);
        return node->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const { return const_cast<CList*>(this)->GetNext(rPosition); }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = Pos(node->pPrev);
        return node->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const { return const_cast<CList*>(this)->GetPrev(rPosition); }
    TYPE& GetAt(POSITION position) { return Node(position)->data; }
    const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
    void RemoveAt(POSITION position) { Unlink(Node(position)); }
    /// A null position inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        if (!position)
            return AddHead(newElement);
        CNode* at = Node(position);
        return Link(new CNode{at, at->pPrev, TYPE(newElement)});
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        if (!position)
            return AddTail(newElement);
        CNode* at = Node(position);
        return Link(new CNode{at->pNext, at, TYPE(newElement)});
    }
    /// The first node after startAfter (from the head when null) whose element equals searchValue.
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        CNode* node = startAfter ? Node(startAfter)->pNext : m_pNodeHead;
        for (; node; node = node->pNext)
            if (CompareElements(&node->data, &searchValue))
                return Pos(node);
        return nullptr;
    }
    /// The node nIndex places from the head; null when there is none.
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* node = m_pNodeHead;
        while (nIndex-- > 0)
            node = node->pNext;
        return Pos(node);
    }

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
            for (CNode* node = m_pNodeHead; node; node = node->pNext)
                SerializeElements(ar, &node->data, 1);
        } else {
            for (DWORD_PTR n = ar.ReadCount(); n > 0; --n) {
                TYPE value{};
                SerializeElements(ar, &value, 1);
                AddTail(value);
            }
        }
    }

private:
    static POSITION Pos(CNode* node) { return reinterpret_cast<POSITION>(node); }
    static CNode* Node(POSITION position)
    {
        if (!position)
            AfxThrowInvalidArgException();
        return reinterpret_cast<CNode*>(position);
    }
    static CNode* NonEmpty(CNode* node)
    {
        if (!node)
            AfxThrowInvalidArgException();
        return node;
    }
    // The node arrives with its neighbours set; they are pointed back at it.
    POSITION Link(CNode* node)
    {
        (node->pPrev ? node->pPrev->pNext : m_pNodeHead) = node;
        (node->pNext ? node->pNext->pPrev : m_pNodeTail) = node;
        ++m_nCount;
        return Pos(node);
    }
    void Unlink(CNode* node)
    {
        (node->pPrev ? node->pPrev->pNext : m_pNodeHead) = node->pNext;
        (node->pNext ? node->pNext->pPrev : m_pNodeTail) = node->pPrev;
        delete node;
        --m_nCount;
    }
    std::vector<TYPE> Elements() const
    {
        std::vector<TYPE> all;
        for (CNode* node = m_pNodeHead; node; node = node->pNext)
            all.push_back(node->data);
        return all;
    }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
};

// --- CMap -----------------------------------------------------------------------------------------

/// A hash table of key and value pairs. Enumeration order is the table's, not the order of
/// insertion (as MFC documents). The table starts at 17 buckets (InitHashTable sets another
/// size) and grows as it fills, so lookups stay short in a big map.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE> class CMap : public CObject {
public:
    /// A pair as PLookup and PGetFirstAssoc/PGetNextAssoc give it.
    class CPair {
    public:
        const KEY key;
        VALUE value;

    protected:
        explicit CPair(ARG_KEY keyval) : key(keyval), value() {}
    };

protected:
    class CAssoc : public CPair {
        friend class CMap;
        CAssoc* pNext = nullptr;
        UINT nHashValue = 0;

    public:
        CAssoc(ARG_KEY k, UINT hash) : CPair(k), nHashValue(hash) {}
    };

public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    explicit CMap(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const CAssoc* assoc = Find(key);
        if (!assoc)
            return FALSE;
        rValue = assoc->value;
        return TRUE;
    }
    const CPair* PLookup(ARG_KEY key) const { return Find(key); }
    CPair* PLookup(ARG_KEY key) { return Find(key); }
    /// The key's value, added (value-initialized) when the key is new.
    VALUE& operator[](ARG_KEY key)
    {
        if (CAssoc* assoc = Find(key))
            return assoc->value;
        return Insert(key)->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty())
            return FALSE;
        const UINT hash = HashKey<ARG_KEY>(key);
        for (CAssoc** link = &m_buckets[hash % m_buckets.size()]; *link; link = &(*link)->pNext) {
            CAssoc* assoc = *link;
            if (assoc->nHashValue == hash && CompareElements(&assoc->key, &key)) {
                *link = assoc->pNext;
                delete assoc;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (CAssoc*& head : m_buckets)
            while (head) {
                CAssoc* next = head->pNext;
                delete head;
                head = next;
            }
        m_nCount = 0;
    }

    /// Where enumeration starts: null for an empty map. GetNextAssoc also takes
    /// BEFORE_START_POSITION for the first pair.
    POSITION GetStartPosition() const { return m_nCount ? Pos(First(0)) : nullptr; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        const CAssoc* assoc = rNextPosition == BEFORE_START_POSITION && m_nCount ? First(0) : Assoc(rNextPosition);
        rKey = assoc->key;
        rValue = assoc->value;
        rNextPosition = Pos(Next(assoc));
    }
    const CPair* PGetFirstAssoc() const { return m_nCount ? First(0) : nullptr; }
    CPair* PGetFirstAssoc() { return m_nCount ? First(0) : nullptr; }
    const CPair* PGetNextAssoc(const CPair* pAssoc) const
    {
        if (!pAssoc)
            AfxThrowInvalidArgException();
        return Next(static_cast<const CAssoc*>(pAssoc));
    }
    CPair* PGetNextAssoc(const CPair* pAssoc)
    {
        if (!pAssoc)
            AfxThrowInvalidArgException();
        return Next(static_cast<const CAssoc*>(pAssoc));
    }

    UINT GetHashTableSize() const { return static_cast<UINT>(m_buckets.empty() ? m_nHashTableSize : m_buckets.size()); }
    /// The number of buckets (a prime a fifth larger than the expected count works well).
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        if (hashSize == 0)
            AfxThrowInvalidArgException();
        m_nHashTableSize = hashSize;
        if (bAllocNow || !m_buckets.empty())
            Rehash(hashSize);
    }

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
            for (const CAssoc* a = m_nCount ? First(0) : nullptr; a; a = Next(a)) {
                SerializeElements(ar, const_cast<KEY*>(&a->key), 1);
                SerializeElements(ar, const_cast<VALUE*>(&a->value), 1);
            }
        } else {
            for (DWORD_PTR n = ar.ReadCount(); n > 0; --n) {
                KEY key{};
                VALUE value{};
                SerializeElements(ar, &key, 1);
                SerializeElements(ar, &value, 1);
                SetAt(key, value);
            }
        }
    }

private:
    static POSITION Pos(const CAssoc* assoc) { return reinterpret_cast<POSITION>(const_cast<CAssoc*>(assoc)); }
    static const CAssoc* Assoc(POSITION position)
    {
        if (!position || position == BEFORE_START_POSITION)
            AfxThrowInvalidArgException();
        return reinterpret_cast<const CAssoc*>(position);
    }
    CAssoc* First(std::size_t bucket) const
    {
        for (; bucket < m_buckets.size(); ++bucket)
            if (m_buckets[bucket])
                return m_buckets[bucket];
        return nullptr;
    }
    CAssoc* Next(const CAssoc* assoc) const
    {
        return assoc->pNext ? assoc->pNext : First(assoc->nHashValue % m_buckets.size() + 1);
    }
    CAssoc* Find(ARG_KEY key) const
    {
        if (m_buckets.empty())
            return nullptr;
        const UINT hash = HashKey<ARG_KEY>(key);
        for (CAssoc* a = m_buckets[hash % m_buckets.size()]; a; a = a->pNext)
            if (a->nHashValue == hash && CompareElements(&a->key, &key))
                return a;
        return nullptr;
    }
    CAssoc* Insert(ARG_KEY key)
    {
        if (m_buckets.empty())
            Rehash(m_nHashTableSize);
        else if (static_cast<std::size_t>(m_nCount) >= 2 * m_buckets.size())
            Rehash(static_cast<UINT>(4 * m_buckets.size() + 1));
        const UINT hash = HashKey<ARG_KEY>(key);
        CAssoc* assoc = new CAssoc(key, hash);
        CAssoc*& head = m_buckets[hash % m_buckets.size()];
        assoc->pNext = head;
        head = assoc;
        ++m_nCount;
        return assoc;
    }
    void Rehash(UINT size)
    {
        std::vector<CAssoc*> buckets(size, nullptr);
        for (CAssoc* head : m_buckets)
            while (head) {
                CAssoc* next = head->pNext;
                CAssoc*& into = buckets[head->nHashValue % size];
                head->pNext = into;
                into = head;
                head = next;
            }
        m_buckets.swap(buckets);
    }

    std::vector<CAssoc*> m_buckets;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
};

// --- Typed pointers over the pointer collections -------------------------------------------------

/// An array of TYPE pointers over CObArray or CPtrArray.
template <class BASE_CLASS, class TYPE> class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1)
    {
        BASE_CLASS::InsertAt(nIndex, newElement, nCount);
    }
    void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray) { BASE_CLASS::InsertAt(nStartIndex, pNewArray); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
};

/// A list of TYPE pointers over CObList or CPtrList.
template <class BASE_CLASS, class TYPE> class CTypedPtrList : public BASE_CLASS {
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    void AddHead(CTypedPtrList* pNewList) { BASE_CLASS::AddHead(pNewList); }
    void AddTail(CTypedPtrList* pNewList) { BASE_CLASS::AddTail(pNewList); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
    TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition)); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
};

/// A map whose values (and, for the pointer-keyed maps, keys) are TYPE pointers.
template <class BASE_CLASS, class KEY, class VALUE> class CTypedPtrMap : public BASE_CLASS {
public:
    explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_VALUE found{};
        if (!BASE_CLASS::Lookup(key, found))
            return FALSE;
        rValue = static_cast<VALUE>(found);
        return TRUE;
    }
    VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key)
    {
        return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key));
    }
    void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_KEY k{};
        typename BASE_CLASS::BASE_VALUE v{};
        BASE_CLASS::GetNextAssoc(rPosition, k, v);
        rKey = (KEY)k;
        rValue = static_cast<VALUE>(v);
    }
};
