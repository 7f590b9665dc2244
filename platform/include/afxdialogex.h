// MFC's extended dialog class. What this platform's MFC has is in afxwin.h; a class it lacks
// fails where the program uses it, under its own name.
#pragma once

#include "afxwin.h"
