// MFC's common-control classes. What this platform's MFC has is in afxwin.h; a class it lacks
// fails where the program uses it, under its own name.
#pragma once

#include "afxwin.h"
#include "commctrl.h"
