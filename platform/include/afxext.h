// MFC's extensions (control bars, bitmap buttons, splitter windows...). What this platform's
// MFC has is in afxwin.h; a class it lacks fails where the program uses it, under its own name.
#pragma once

#include "afxwin.h"

// Control bars: tool bars and status bars.
#include "mox_afxbars.h"
