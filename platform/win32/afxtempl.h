// MFC's collection templates for Windows builds without MFC: the shared declarations.
#pragma once

#include "afx.h"
#include "../include/afxtempl.h"
