// CStringA, CStringW and CString for Windows builds without ATL: the stand-in's header-only
// classes over the real SDK.
#pragma once
#include "../include/atlstr.h"
