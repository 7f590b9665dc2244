// MFC's common dialogs and property sheets. None of them (CFileDialog, CColorDialog, CFontDialog,
// CPrintDialog, CPropertySheet, ...) exists on this platform yet: a program that uses one fails
// to build under its name. Programs include this header beside afxwin.h for them.
#pragma once

#include "afxwin.h"
