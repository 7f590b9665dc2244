// MFC's extended dialog class: CDialogEx is declared with CDialog (mox_afxdlg.h, which afxwin.h
// includes).
#pragma once

#include "afxwin.h"
