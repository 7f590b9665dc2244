/* The header resource editors put first in a script. */
#include "winresrc.h"
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
