// The message box as a modal dialog, for MessageBox when a user is at the screen.
#pragma once

#include <windows.h>

#include <string>

namespace moxplat {

// Runs the box for owner (or none) and returns the id of the button chosen. Exported for the
// tests, which answer it headless.
MOXPLAT_API int MessageBoxDialog(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

} // namespace moxplat
