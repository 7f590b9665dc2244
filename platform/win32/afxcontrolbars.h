// afxcontrolbars.h for Windows builds without MFC.
#pragma once
#include "afxext.h"
#include "../include/afxcontrolbars.h"
