// The one header that brings in the platform: the Windows SDK, GDI+ and MFC on Windows; on other
// systems the stand-in under platform/, which provides the same headers with the same names.
#pragma once

#include <afxwin.h>
#include <gdiplus.h>
