// MFC's ribbons, control bars and visual managers. What this platform's MFC has is in
// afxwin.h, afxext.h and mox_afxbarsex.h; a class it lacks fails where the program uses it,
// under its own name.
#pragma once

#include "afxext.h"
// The newer panes and managers.
#include "mox_afxbarsex.h"
// CImage, which the wizard's programs get through this header (toolbar images use it).
#include <atlimage.h>

/// The object AppWizard's programs create so that the shell's folder and file views can be used
/// in dialogs. None of those views exist here, so it offers nothing beyond its existence.
class CShellManager : public CObject {
};
