// CStringT for Windows builds without ATL (see atlstr.h).
#pragma once
#include "../include/cstringt.h"
