// MFC's OLE automation and control containment.
#pragma once

#include "afxwin.h"

class COccManager;

// Lets dialogs host ActiveX controls. There are no ActiveX controls on this platform, so there
// is nothing to enable: a dialog without them behaves the same either way.
inline void AfxEnableControlContainer(COccManager* = nullptr) {}

// Initialises OLE for the program. No OLE service exists here for a program to reach, so there
// is nothing that can fail: TRUE, as Windows answers when initialisation succeeds.
inline BOOL AfxOleInit()
{
    return TRUE;
}

// Ends the program's use of OLE. AfxOleInit started nothing here, so there is nothing to end.
inline void AfxOleTerm(BOOL bJustRevoke = FALSE)
{
    (void)bJustRevoke;
}
