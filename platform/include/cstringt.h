// CStringT: MFC's string class, in its narrow (CStringA: UTF-8 here, the ANSI code page on
// Windows) and wide (CStringW: wchar_t) forms; atlstr.h names them CStringA, CStringW and CString.
//
// Text is kept in a std::basic_string, so copies are independent and every member keeps the
// string terminated. Where MFC asserts or throws on an index out of range, these members refuse
// cleanly: reads give 0, writes change nothing, ranges are clamped as Left/Mid/Right document.
// Case mapping and white space follow the C runtime's default "C" locale: only ASCII letters
// change case, and white space is space, tab, LF, VT, FF and CR.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>
#include <type_traits>

#ifndef MOXPLAT_API
#if defined(MOXPLAT_BUILD)
#define MOXPLAT_API __declspec(dllexport)
#else
#define MOXPLAT_API __declspec(dllimport)
#endif
#endif

template <class BaseType> class CStringT;

namespace afx_detail {

// printf-style formatting as Microsoft's C runtime does it, on every system: in wide text %s and
// %c take wide arguments and %S and %C narrow ones (the other way round in narrow text), %hs/%ls
// name the width outright, l and I32 are 32 bits as Windows' long is, I64 and ll 64, I pointer-
// sized; %n writes nothing. Text of the other width is converted (narrow is UTF-8 here).
MOXPLAT_API void FormatV(std::string& out, const char* format, va_list args);
MOXPLAT_API void FormatV(std::wstring& out, const wchar_t* format, va_list args);
// Between the two widths: the ANSI code page (UTF-8 here) and wchar_t.
MOXPLAT_API std::wstring Convert(const char* text, std::size_t length);
MOXPLAT_API std::string Convert(const wchar_t* text, std::size_t length);

// An argument of Format as it goes through "...": CStrings as their text.
template <class T> inline const T& VarArg(const T& value)
{
    return value;
}
template <class C> inline const C* VarArg(const CStringT<C>& value)
{
    return value.GetString();
}

template <class C> struct Other;
template <> struct Other<char> { typedef wchar_t type; };
template <> struct Other<wchar_t> { typedef char type; };

template <class C> inline bool IsSpace(C c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
template <class C> inline C ToUpper(C c)
{
    return c >= 'a' && c <= 'z' ? C(c - 'a' + 'A') : c;
}
template <class C> inline C ToLower(C c)
{
    return c >= 'A' && c <= 'Z' ? C(c - 'A' + 'a') : c;
}

} // namespace afx_detail

// Where CStringT::LoadString finds strings by default: the program's resources (afxwin.h).
MOXPLAT_API HINSTANCE AfxGetResourceHandle();

template <class BaseType> class CStringT {
public:
    typedef BaseType XCHAR;
    typedef const BaseType* PCXSTR;
    typedef BaseType* PXSTR;
    typedef typename afx_detail::Other<BaseType>::type YCHAR;
    typedef const YCHAR* PCYSTR;

    CStringT() = default;
    CStringT(const CStringT&) = default;
    CStringT(CStringT&&) noexcept = default;
    /// A copy of psz; a null pointer gives the empty string; MAKEINTRESOURCE(id) loads string
    /// resource id, as MFC's CString does.
    CStringT(PCXSTR psz)
    {
        if (psz && IS_INTRESOURCE(psz))
            LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(psz)));
        else
            SetString(psz);
    }
    /// psz converted from the other width (or the string resource MAKEINTRESOURCE names).
    CStringT(PCYSTR psz)
    {
        if (psz && IS_INTRESOURCE(psz))
            LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(psz)));
        else if (psz)
            m_s = afx_detail::Convert(psz, std::char_traits<YCHAR>::length(psz));
    }

    /// The string resource nID of the module; FALSE (and the string unchanged) when there is none.
    BOOL LoadString(HINSTANCE hInstance, UINT nID)
    {
        // LoadStringW with no buffer hands back the string in place, however long it is.
        const wchar_t* text = nullptr;
        const int n = ::LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&text), 0);
        if (n <= 0 || !text)
            return FALSE;
        if constexpr (std::is_same<BaseType, wchar_t>::value)
            m_s.assign(text, static_cast<std::size_t>(n));
        else
            m_s = afx_detail::Convert(text, static_cast<std::size_t>(n));
        return TRUE;
    }
    BOOL LoadString(UINT nID) { return LoadString(AfxGetResourceHandle(), nID); }
    /// The first nLength characters of pch.
    CStringT(PCXSTR pch, int nLength) { SetString(pch, nLength); }
    /// ch repeated nRepeat times.
    explicit CStringT(XCHAR ch, int nRepeat = 1) : m_s(nRepeat > 0 ? nRepeat : 0, ch) {}
    /// A string of the other width, converted.
    CStringT(const CStringT<YCHAR>& other) : m_s(afx_detail::Convert(other.GetString(), other.GetLength())) {}

    CStringT& operator=(const CStringT&) = default;
    CStringT& operator=(CStringT&&) noexcept = default;
    CStringT& operator=(PCXSTR psz)
    {
        SetString(psz);
        return *this;
    }
    CStringT& operator=(PCYSTR psz) { return *this = CStringT(psz); }
    CStringT& operator=(const CStringT<YCHAR>& other) { return *this = CStringT(other); }
    CStringT& operator=(XCHAR ch)
    {
        m_s.assign(1, ch);
        return *this;
    }

    // --- Length and characters

    int GetLength() const noexcept { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const noexcept { return m_s.empty(); }
    void Empty() noexcept { m_s.clear(); }
    PCXSTR GetString() const noexcept { return m_s.c_str(); }
    operator PCXSTR() const noexcept { return m_s.c_str(); }
    /// The character at iChar; 0 outside the string.
    XCHAR GetAt(int iChar) const noexcept { return InRange(iChar) ? m_s[iChar] : XCHAR(0); }
    XCHAR operator[](int iChar) const noexcept { return GetAt(iChar); }
    /// Replaces the character at iChar; nothing outside the string.
    void SetAt(int iChar, XCHAR ch) noexcept
    {
        if (InRange(iChar))
            m_s[iChar] = ch;
    }
    void SetString(PCXSTR psz)
    {
        if (psz)
            m_s.assign(psz);
        else
            m_s.clear();
    }
    /// The first nLength characters of psz (fewer when a terminator comes first).
    void SetString(PCXSTR psz, int nLength)
    {
        if (!psz || nLength <= 0) {
            m_s.clear();
            return;
        }
        int n = 0;
        while (n < nLength && psz[n])
            ++n;
        m_s.assign(psz, n);
    }

    // --- Direct access to the buffer

    /// The characters, writable; ReleaseBuffer after writing through it.
    PXSTR GetBuffer() { return &m_s[0]; }
    /// A writable buffer of at least nMinBufferLength characters plus the terminator, holding
    /// the current text; ReleaseBuffer gives the string its new length.
    PXSTR GetBuffer(int nMinBufferLength)
    {
        if (nMinBufferLength > GetLength())
            m_s.resize(nMinBufferLength, XCHAR(0));
        return &m_s[0];
    }
    /// A writable buffer of exactly nLength characters plus the terminator; the string has that
    /// length at once.
    PXSTR GetBufferSetLength(int nLength)
    {
        m_s.resize(nLength > 0 ? nLength : 0, XCHAR(0));
        return &m_s[0];
    }
    /// Ends writing through GetBuffer: the string's length becomes nNewLength, or with -1 the
    /// length up to the first terminator. Never longer than the buffer handed out.
    void ReleaseBuffer(int nNewLength = -1)
    {
        std::size_t n = nNewLength < 0 ? m_s.find(XCHAR(0)) : static_cast<std::size_t>(nNewLength);
        if (n > m_s.size())
            n = m_s.size();
        m_s.resize(n);
    }
    void ReleaseBufferSetLength(int nNewLength) { ReleaseBuffer(nNewLength < 0 ? 0 : nNewLength); }
    void Preallocate(int nLength)
    {
        if (nLength > 0)
            m_s.reserve(nLength);
    }
    void FreeExtra() { m_s.shrink_to_fit(); }
    int GetAllocLength() const noexcept { return static_cast<int>(m_s.capacity()); }

    // --- Joining

    void Append(PCXSTR psz)
    {
        if (psz)
            m_s.append(psz);
    }
    void Append(PCXSTR psz, int nLength) { Append(CStringT(psz, nLength)); }
    void Append(const CStringT& str) { m_s.append(str.m_s); }
    void AppendChar(XCHAR ch) { m_s.push_back(ch); }
    CStringT& operator+=(const CStringT& str)
    {
        Append(str);
        return *this;
    }
    CStringT& operator+=(PCXSTR psz)
    {
        Append(psz);
        return *this;
    }
    CStringT& operator+=(PCYSTR psz) { return *this += CStringT(psz); }
    CStringT& operator+=(const CStringT<YCHAR>& other) { return *this += CStringT(other); }
    CStringT& operator+=(XCHAR ch)
    {
        AppendChar(ch);
        return *this;
    }

    friend CStringT operator+(const CStringT& a, const CStringT& b) { return Join(a.m_s, b.GetString()); }
    friend CStringT operator+(const CStringT& a, PCXSTR b) { return Join(a.m_s, b); }
    friend CStringT operator+(PCXSTR a, const CStringT& b)
    {
        CStringT r(a);
        r += b;
        return r;
    }
    friend CStringT operator+(const CStringT& a, XCHAR ch)
    {
        CStringT r(a);
        r += ch;
        return r;
    }
    friend CStringT operator+(XCHAR ch, const CStringT& b)
    {
        CStringT r(ch);
        r += b;
        return r;
    }

    // --- Comparing: ordinal, by character value

    int Compare(PCXSTR psz) const { return Order(GetString(), psz, false); }
    int CompareNoCase(PCXSTR psz) const { return Order(GetString(), psz, true); }
    int Collate(PCXSTR psz) const { return Compare(psz); }
    int CollateNoCase(PCXSTR psz) const { return CompareNoCase(psz); }

    friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CStringT& a, PCXSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(PCXSTR a, const CStringT& b) { return b.Compare(a) == 0; }
    friend bool operator==(const CStringT& a, XCHAR ch) { return a.GetLength() == 1 && a.m_s[0] == ch; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, PCXSTR b) { return !(a == b); }
    friend bool operator!=(PCXSTR a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, XCHAR ch) { return !(a == ch); }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.Compare(b) < 0; }
    friend bool operator<(const CStringT& a, PCXSTR b) { return a.Compare(b) < 0; }
    friend bool operator<(PCXSTR a, const CStringT& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CStringT& a, const CStringT& b) { return a.Compare(b) > 0; }
    friend bool operator>(const CStringT& a, PCXSTR b) { return a.Compare(b) > 0; }
    friend bool operator>(PCXSTR a, const CStringT& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const CStringT& a, const CStringT& b) { return a.Compare(b) <= 0; }
    friend bool operator<=(const CStringT& a, PCXSTR b) { return a.Compare(b) <= 0; }
    friend bool operator<=(PCXSTR a, const CStringT& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const CStringT& a, const CStringT& b) { return a.Compare(b) >= 0; }
    friend bool operator>=(const CStringT& a, PCXSTR b) { return a.Compare(b) >= 0; }
    friend bool operator>=(PCXSTR a, const CStringT& b) { return b.Compare(a) <= 0; }

    // --- Pieces

    /// The first nCount characters (all of them when there are fewer; none when nCount < 0).
    CStringT Left(int nCount) const { return Mid(0, nCount); }
    /// The last nCount characters.
    CStringT Right(int nCount) const
    {
        if (nCount < 0)
            nCount = 0;
        return nCount >= GetLength() ? *this : Mid(GetLength() - nCount);
    }
    /// From iFirst to the end.
    CStringT Mid(int iFirst) const { return Mid(iFirst, GetLength()); }
    /// nCount characters from iFirst, clamped to the string: a negative start counts as 0, a
    /// start past the end gives the empty string.
    CStringT Mid(int iFirst, int nCount) const
    {
        if (iFirst < 0)
            iFirst = 0;
        if (nCount < 0 || iFirst >= GetLength())
            return CStringT();
        if (nCount > GetLength() - iFirst)
            nCount = GetLength() - iFirst;
        CStringT r;
        r.m_s.assign(m_s, iFirst, nCount);
        return r;
    }
    /// The leading characters that are all in pszCharSet.
    CStringT SpanIncluding(PCXSTR pszCharSet) const { return Left(Span(0, pszCharSet, true)); }
    /// The leading characters that are none of pszCharSet.
    CStringT SpanExcluding(PCXSTR pszCharSet) const { return Left(Span(0, pszCharSet, false)); }

    // --- Searching: an index, or -1

    int Find(XCHAR ch, int iStart = 0) const
    {
        if (iStart < 0 || iStart >= GetLength())
            return -1;
        return Index(m_s.find(ch, iStart));
    }
    int Find(PCXSTR pszSub, int iStart = 0) const
    {
        if (!pszSub || iStart < 0 || iStart > GetLength())
            return -1;
        return Index(m_s.find(pszSub, iStart));
    }
    int ReverseFind(XCHAR ch) const { return Index(m_s.rfind(ch)); }
    int FindOneOf(PCXSTR pszCharSet) const { return pszCharSet ? Index(m_s.find_first_of(pszCharSet)) : -1; }

    // --- Changing: each returns a count or the new length, as MFC's do

    /// Replaces every chOld by chNew; returns how many.
    int Replace(XCHAR chOld, XCHAR chNew)
    {
        int n = 0;
        for (XCHAR& c : m_s)
            if (c == chOld) {
                c = chNew;
                ++n;
            }
        return n;
    }
    /// Replaces every occurrence of pszOld (scanning left to right, not overlapping) by pszNew
    /// (null: nothing); returns how many. An empty pszOld replaces nothing.
    int Replace(PCXSTR pszOld, PCXSTR pszNew)
    {
        if (!pszOld || !*pszOld)
            return 0;
        const std::basic_string<XCHAR> from(pszOld), to(pszNew ? pszNew : &m_zero);
        std::basic_string<XCHAR> out;
        int n = 0;
        std::size_t at = 0;
        for (std::size_t hit; (hit = m_s.find(from, at)) != m_s.npos; at = hit + from.size(), ++n)
            out.append(m_s, at, hit - at).append(to);
        if (n) {
            out.append(m_s, at, m_s.npos);
            m_s.swap(out);
        }
        return n;
    }
    /// Removes every chRemove; returns how many.
    int Remove(XCHAR chRemove)
    {
        const std::size_t before = m_s.size();
        std::size_t w = 0;
        for (XCHAR c : m_s)
            if (c != chRemove)
                m_s[w++] = c;
        m_s.resize(w);
        return static_cast<int>(before - w);
    }
    /// Inserts before iIndex (clamped to the string); returns the new length.
    int Insert(int iIndex, XCHAR ch) { return Insert(iIndex, CStringT(ch).GetString()); }
    int Insert(int iIndex, PCXSTR psz)
    {
        if (psz)
            m_s.insert(Clamp(iIndex), psz);
        return GetLength();
    }
    /// Deletes nCount characters from iIndex, as far as the string goes; returns the new length.
    int Delete(int iIndex, int nCount = 1)
    {
        if (iIndex < 0)
            iIndex = 0;
        if (nCount > 0 && iIndex < GetLength())
            m_s.erase(iIndex, nCount);
        return GetLength();
    }

    CStringT& Trim() { return TrimRight().TrimLeft(); }
    CStringT& Trim(XCHAR chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
    CStringT& Trim(PCXSTR pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }
    CStringT& TrimLeft() { return EraseLeading([](XCHAR c) { return afx_detail::IsSpace(c); }); }
    CStringT& TrimLeft(XCHAR chTarget) { return EraseLeading([chTarget](XCHAR c) { return c == chTarget; }); }
    CStringT& TrimLeft(PCXSTR pszTargets) { return EraseLeading([pszTargets](XCHAR c) { return In(c, pszTargets); }); }
    CStringT& TrimRight() { return EraseTrailing([](XCHAR c) { return afx_detail::IsSpace(c); }); }
    CStringT& TrimRight(XCHAR chTarget) { return EraseTrailing([chTarget](XCHAR c) { return c == chTarget; }); }
    CStringT& TrimRight(PCXSTR pszTargets) { return EraseTrailing([pszTargets](XCHAR c) { return In(c, pszTargets); }); }

    CStringT& MakeUpper()
    {
        for (XCHAR& c : m_s)
            c = afx_detail::ToUpper(c);
        return *this;
    }
    CStringT& MakeLower()
    {
        for (XCHAR& c : m_s)
            c = afx_detail::ToLower(c);
        return *this;
    }
    CStringT& MakeReverse()
    {
        m_s.assign(m_s.rbegin(), m_s.rend());
        return *this;
    }

    /// The next token after iStart, skipping leading delimiters of pszTokens. iStart moves past
    /// the delimiter that ends the token; when no token is left the result is empty and iStart -1.
    CStringT Tokenize(PCXSTR pszTokens, int& iStart) const
    {
        if (iStart >= 0 && iStart < GetLength()) {
            if (!pszTokens || !*pszTokens) {
                const CStringT rest = Mid(iStart);
                iStart = GetLength();
                return rest;
            }
            const int from = Span(iStart, pszTokens, true);
            if (from < GetLength()) {
                const int until = Span(from, pszTokens, false);
                iStart = until + 1;
                return Mid(from, until - from);
            }
        }
        iStart = -1;
        return CStringT();
    }

    // --- Formatting

    // Format and AppendFormat take their arguments as a template first, so that a CString
    // passed for %s goes on as its text, as it does with Microsoft's compiler (where the object
    // is its text pointer); other arguments go on unchanged.
    template <class... Args> void Format(PCXSTR pszFormat, const Args&... args)
    {
        m_s.clear();
        AppendFormatArgs(pszFormat, afx_detail::VarArg(args)...);
    }
    template <class... Args> void AppendFormat(PCXSTR pszFormat, const Args&... args)
    {
        AppendFormatArgs(pszFormat, afx_detail::VarArg(args)...);
    }
    void FormatV(PCXSTR pszFormat, va_list args)
    {
        m_s.clear();
        AppendFormatV(pszFormat, args);
    }
    void AppendFormatV(PCXSTR pszFormat, va_list args)
    {
        if (pszFormat)
            afx_detail::FormatV(m_s, pszFormat, args);
    }

private:
    std::basic_string<XCHAR> m_s;

    void AppendFormatArgs(PCXSTR pszFormat, ...)
    {
        va_list args;
        va_start(args, pszFormat);
        AppendFormatV(pszFormat, args);
        va_end(args);
    }
    static constexpr XCHAR m_zero = 0;

    static CStringT Join(const std::basic_string<XCHAR>& a, PCXSTR b)
    {
        CStringT r;
        r.m_s = a;
        r.Append(b);
        return r;
    }
    bool InRange(int i) const noexcept { return i >= 0 && i < GetLength(); }
    std::size_t Clamp(int i) const noexcept { return i < 0 ? 0 : i > GetLength() ? m_s.size() : std::size_t(i); }
    static int Index(std::size_t at) noexcept { return at == std::basic_string<XCHAR>::npos ? -1 : int(at); }
    static bool In(XCHAR c, PCXSTR set) noexcept
    {
        if (set)
            for (; *set; ++set)
                if (*set == c)
                    return true;
        return false;
    }
    // The first index from `from` whose character is (inSet false) or is not (inSet true) in set.
    int Span(int from, PCXSTR set, bool inSet) const noexcept
    {
        int i = from;
        while (i < GetLength() && In(m_s[i], set) == inSet)
            ++i;
        return i;
    }
    static int Order(PCXSTR a, PCXSTR b, bool noCase) noexcept
    {
        if (!b)
            b = &m_zero;
        for (;; ++a, ++b) {
            XCHAR ca = *a, cb = *b;
            if (noCase) {
                ca = afx_detail::ToLower(ca);
                cb = afx_detail::ToLower(cb);
            }
            // By unsigned value, as strcmp and wcscmp order.
            typedef typename std::make_unsigned<XCHAR>::type U;
            if (ca != cb)
                return U(ca) < U(cb) ? -1 : 1;
            if (!ca)
                return 0;
        }
    }
    template <class Pred> CStringT& EraseLeading(Pred p)
    {
        std::size_t i = 0;
        while (i < m_s.size() && p(m_s[i]))
            ++i;
        m_s.erase(0, i);
        return *this;
    }
    template <class Pred> CStringT& EraseTrailing(Pred p)
    {
        std::size_t n = m_s.size();
        while (n > 0 && p(m_s[n - 1]))
            --n;
        m_s.resize(n);
        return *this;
    }
};
