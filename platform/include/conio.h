// The console input and output calls of Windows' C runtime (platform/kernel32/conio.cpp). On a
// terminal a key is read at once, without echo and without waiting for Enter; when standard
// input is not a terminal, _kbhit answers 0 and _getch reads the next byte of standard input
// (EOF at its end).
#pragma once

#include "windef.h"

extern "C" {
// Nonzero when a key is waiting to be read.
MOXPLAT_API int _kbhit(void);
// The next key, not echoed; _getche echoes it.
MOXPLAT_API int _getch(void);
MOXPLAT_API int _getche(void);
// Puts a key back for the next _getch (one at most); EOF when one is already there.
MOXPLAT_API int _ungetch(int c);
// Write to the console: the character (EOF on failure), the text (0, or nonzero on failure),
// formatted text (the number of characters written).
MOXPLAT_API int _putch(int c);
MOXPLAT_API int _cputs(const char* str);
MOXPLAT_API int _cprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
}

// The older names without the underscore.
inline int kbhit(void) { return _kbhit(); }
inline int getch(void) { return _getch(); }
inline int getche(void) { return _getche(); }
inline int ungetch(int c) { return _ungetch(c); }
inline int putch(int c) { return _putch(c); }
inline int cputs(const char* str) { return _cputs(str); }
