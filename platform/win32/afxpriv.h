// MFC's private messages, for Windows builds without MFC: the shared declaration.
#pragma once

#include "../include/afxpriv.h"
