// Text in the controls' own messages crosses between the A and W forms, as Windows converts it
// when a narrow caller talks to a control whose procedure takes wchar_t (and the reverse).

#include <windows.h>

#include <string>
#include <vector>

#include "user_internal.h"

namespace moxplat {

namespace {

bool TakesText(UINT message)
{
    switch (message) {
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING:
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING:
        return true;
    default:
        return false;
    }
}

} // namespace

bool SendControlTextAcross(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool procWide,
                           LRESULT* result)
{
    if (TakesText(message) && lParam) {
        if (procWide) {
            const std::wstring t = WideFromUtf8(reinterpret_cast<const char*>(lParam));
            *result = proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(t.c_str()));
        } else {
            const std::string t = Utf8FromWide(reinterpret_cast<const wchar_t*>(lParam));
            *result = proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(t.c_str()));
        }
        return true;
    }
    const bool combo = message == CB_GETLBTEXT || message == CB_GETLBTEXTLEN;
    if (!combo && message != LB_GETTEXT && message != LB_GETTEXTLEN)
        return false;
    const UINT getLength = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
    // The item's text in the procedure's form, then its length or a copy in the caller's.
    const LRESULT length = proc(hwnd, getLength, wParam, 0);
    if (length < 0 || length > (1 << 24)) {
        *result = length < 0 ? length : LB_ERR;
        return true;
    }
    std::string narrow;
    std::wstring wide;
    if (procWide) {
        std::vector<wchar_t> buf(static_cast<std::size_t>(length) + 1, L'\0');
        proc(hwnd, getText, wParam, reinterpret_cast<LPARAM>(buf.data()));
        narrow = Utf8FromWide(buf.data());
    } else {
        std::vector<char> buf(static_cast<std::size_t>(length) + 1, '\0');
        proc(hwnd, getText, wParam, reinterpret_cast<LPARAM>(buf.data()));
        wide = WideFromUtf8(buf.data());
    }
    const std::size_t size = procWide ? narrow.size() : wide.size();
    if (message == getText && lParam) {
        if (procWide)
            std::copy(narrow.c_str(), narrow.c_str() + size + 1, reinterpret_cast<char*>(lParam));
        else
            std::copy(wide.c_str(), wide.c_str() + size + 1, reinterpret_cast<wchar_t*>(lParam));
    }
    *result = static_cast<LRESULT>(size);
    return true;
}

} // namespace moxplat
