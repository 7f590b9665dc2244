// ATL's image class and what it stands on: the Windows API and GDI+.
#pragma once

#include "windows.h"

#include "gdiplus.h"
