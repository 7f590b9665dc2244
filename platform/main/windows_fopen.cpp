// A Windows program opens its own files with fopen and Windows names ("Data\\Level1.txt"). The
// link flags that bring this library in make the program's own calls of fopen land here
// (-Wl,--wrap=fopen), where the name goes through the same rules as every other call that opens
// a file by name: '\' separates, and a name that does not exist as written is matched
// component by component without regard to case. Calls made inside other libraries are not
// rewritten. Its own object file, so that linking it never brings in the entry point.
#include <mox_mscrt.h>

#include <cstdio>

extern "C" FILE* __wrap_fopen(const char* name, const char* mode)
{
    return MoxFopen(name, mode);
}
