// MFC's common-control classes, for Windows builds without MFC: the shared declaration over the
// SDK's commctrl.h.
#pragma once

#include "../include/afxcmn.h"
