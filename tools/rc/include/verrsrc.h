/* The version-resource constants (VS_FF_*, VOS_*, VFT_*), as a resource script sees them. */
#include "winresrc.h"
