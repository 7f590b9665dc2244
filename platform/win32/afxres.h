// The framework's standard identifiers for Windows builds without MFC.
#pragma once
#include "../include/afxres.h"
