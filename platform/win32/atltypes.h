// CPoint, CSize and CRect for Windows builds without ATL: the same header-only classes the
// stand-in uses, over the real SDK.
#pragma once
#include "afxwin.h"
