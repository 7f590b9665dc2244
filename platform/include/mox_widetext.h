// Wide text for the platform's narrow members, in a program built with UNICODE.
//
// MFC and the library are built once, narrow: their exported members take UTF-8 (LPCSTR). A
// Unicode build of a program passes wide text (LPCTSTR is const wchar_t* there), so the headers
// add inline overloads taking MoxWideText, which converts to the narrow code page (CP_ACP:
// UTF-8 on this platform) for the length of the call. <windows.h> in angle brackets: on Windows
// the shared afxwin.h includes this header beside the real SDK.
// A narrow argument, or a null one, still goes straight to the exported member.
#pragma once

#include <windows.h>

#include <mutex>
#include <set>
#include <string>
#include <utility>

class MoxWideText {
public:
    // Anything that converts to wide text (a CStringW) in one step, as it would to LPCWSTR.
    template <typename S, typename = decltype(static_cast<const wchar_t*>(std::declval<const S&>()))>
    MoxWideText(const S& text) : MoxWideText(static_cast<const wchar_t*>(text))
    {
    }
    MoxWideText(const wchar_t* text) : null_(text == nullptr)
    {
        if (!text)
            return;
        const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (n > 1) {
            utf8_.resize(static_cast<std::size_t>(n));
            WideCharToMultiByte(CP_ACP, 0, text, -1, &utf8_[0], n, nullptr, nullptr);
            utf8_.resize(static_cast<std::size_t>(n - 1));
        }
    }
    operator LPCSTR() const { return null_ ? nullptr : utf8_.c_str(); }
    const std::string& str() const { return utf8_; }

private:
    bool null_;
    std::string utf8_;
};

// A lasting copy of text a class keeps (an application's name, a class name handed back): each
// distinct text is kept once, for the program's life.
template <typename C> inline const C* MoxKeepText(const std::basic_string<C>& text)
{
    static std::mutex lock;
    static std::set<std::basic_string<C>> kept;
    std::lock_guard<std::mutex> guard(lock);
    return kept.insert(text).first->c_str();
}

inline std::wstring MoxWiden(LPCSTR utf8)
{
    if (!utf8 || !*utf8)
        return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, utf8, -1, nullptr, 0);
    std::wstring out(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, utf8, -1, &out[0], n);
    out.resize(out.size() - 1);
    return out;
}

// Copies UTF-8 text into a wide buffer of count units, cut and zero-terminated as GetWindowTextW
// does; returns the units copied.
inline int MoxCopyWide(LPCSTR utf8, wchar_t* out, int count)
{
    if (!out || count <= 0)
        return 0;
    const std::wstring wide = MoxWiden(utf8);
    const std::size_t n =
        wide.size() < static_cast<std::size_t>(count - 1) ? wide.size() : static_cast<std::size_t>(count - 1);
    wide.copy(out, n);
    out[n] = 0;
    return static_cast<int>(n);
}
