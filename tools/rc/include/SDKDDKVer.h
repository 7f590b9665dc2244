/* The Windows version a program targets: its targetver.h includes this. A resource script needs
   nothing from it. */
