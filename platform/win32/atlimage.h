// ATL's CImage for Windows builds without ATL (MinGW-w64): the stand-in's header, which is
// written over Win32 and GDI+ alone.
#pragma once

#include "afxwin.h"

#include "../include/atlimage.h"
