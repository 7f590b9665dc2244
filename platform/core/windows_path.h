// File names as Windows programs write them. Windows separates with '\' as well as '/', and its
// file systems ignore case; Linux's do neither. Every call that opens a file by name passes the
// name through ResolveWindowsPath first.
#pragma once

#include <string>

namespace moxplat {

// The name with '\' turned into '/' and, when that does not exist, each component replaced by
// the one entry of its folder that matches it case-blind (the first in name order when several
// do). A name that still does not exist comes back with only its separators changed, so that
// creating a new file works and failing calls fail as they would have.
std::string ResolveWindowsPath(const char* utf8Name);

} // namespace moxplat
