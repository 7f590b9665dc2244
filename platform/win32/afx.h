// CObject, run-time classes and the diagnostic macros for Windows builds without MFC: the same
// declarations as the stand-in's, over the real SDK.
#pragma once
#ifndef NOMINMAX
#define NOMINMAX // the SDK's min and max macros would break std::min and std::max
#endif
#include "../include/afx.h"
