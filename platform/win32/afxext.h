// MFC's extensions (control bars) for Windows builds without MFC.
#pragma once
#include "afxwin.h"
#include "../include/afxext.h"
