/* windows.h as a resource script sees it (RC_INVOKED): constants only. */
#include "winresrc.h"
