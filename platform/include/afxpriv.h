// MFC's private messages that programs still handle: WM_KICKIDLE, which a modal MFC dialog sends
// itself while its queue is empty (ON_MESSAGE(WM_KICKIDLE, OnKickIdle), often with
// UpdateDialogControls), and WM_IDLEUPDATECMDUI.
#pragma once

#include <afxwin.h>

#ifndef WM_KICKIDLE
#define WM_KICKIDLE 0x036A
#endif
#ifndef WM_IDLEUPDATECMDUI
#define WM_IDLEUPDATECMDUI 0x0363
#endif
