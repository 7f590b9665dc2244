// MFC's message-map entry macros (ON_WM_PAINT, ON_COMMAND, ...), which programs may include
// on their own; this platform declares them with the classes they serve, in afxwin.h.
#pragma once

#include "afxwin.h"
