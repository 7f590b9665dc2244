// MFC's extended dialog class, for Windows builds without MFC: declared with the other dialog
// classes in the shared afxwin.h.
#pragma once

#include "afxwin.h"
