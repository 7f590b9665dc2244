// File names as Windows programs write them. Windows separates with '\' as well as '/', and its
// file systems ignore case; Linux's do neither. Every call that opens a file by name passes the
// name through ResolveWindowsPath first.
#pragma once

#include <windef.h>

#include <string>

namespace moxplat {

// The name with '\' turned into '/' and, when that does not exist, each component replaced by
// the one entry of its folder that matches it case-blind (the first in name order when several
// do). A last component found nowhere stays as written (a file about to be created, in the
// folder found); a missing folder gives the name back with only its separators changed, so
// that failing calls fail as they would have.
MOXPLAT_API std::string ResolveWindowsPath(const char* utf8Name); // exported for the tests

} // namespace moxplat
