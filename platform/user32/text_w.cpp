// The wide forms of the window-text and message-box functions: the window keeps its text as
// UTF-8, so these convert and call the narrow forms.
#include <windows.h>

#include <string>

#include "text_convert.h"

extern "C" {

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString)
{
    return SetWindowTextA(hWnd, lpString ? moxplat::ToUtf8(lpString).c_str() : nullptr);
}

// Copies at most nMaxCount - 1 wide units and a terminator; returns the units copied.
int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = 0;
    // At most 4 UTF-8 bytes for each code point, and each code point is one wide unit here.
    std::string utf8(static_cast<std::size_t>(nMaxCount) * 4 + 1, '\0');
    const int bytes = GetWindowTextA(hWnd, utf8.data(), static_cast<int>(utf8.size()));
    utf8.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    const std::wstring wide = moxplat::ToWide(utf8);
    const std::size_t n = std::min(wide.size(), static_cast<std::size_t>(nMaxCount - 1));
    wide.copy(lpString, n);
    lpString[n] = 0;
    return static_cast<int>(n);
}

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType)
{
    const std::string text = moxplat::ToUtf8(lpText);
    const std::string caption = moxplat::ToUtf8(lpCaption);
    return MessageBoxA(hWnd, lpText ? text.c_str() : nullptr, lpCaption ? caption.c_str() : nullptr, uType);
}

} // extern "C"
