// MFC's ready-made collections for Windows builds without MFC: the shared declarations.
#pragma once

#include "afx.h"
#include "../include/afxcoll.h"
