// Shared between UpdateData and CWnd's command routing: while a window exchanges its data, the
// notifications its controls send it (EN_CHANGE of a text being set, ...) are not handled, so a
// handler that calls UpdateData does not run inside another UpdateData.
#pragma once

#include <windows.h>

namespace afx_ddx {

/// TRUE while hwnd's UpdateData runs on this thread.
bool NotificationsLockedOut(HWND hwnd);

} // namespace afx_ddx
