// The text stack's process-wide state (pango's font map, fontconfig's configuration and caches)
// lives until the process ends unless the stand-in gives it back. GdiplusShutdown does that when
// nothing can still refer to it, so that a host which draws text and shuts GDI+ down leaves no
// leak for LeakSanitizer to report.
#pragma once

namespace moxplat {

// Called where text layouts for a font are made and released, from the thread doing it.
void NoteTextLayoutsMade();
void NoteTextLayoutsReleased();

// Releases the calling thread's text font map and fontconfig's global state when no font holds
// layouts and no other thread has laid out text (another thread's font map would still point
// into fontconfig). fontconfig is given back only once the font map is really gone, which can
// take pango's fontconfig start-up thread a moment; after half a second it is left alone. Both
// come back by themselves on the next use. True when released.
bool ReleaseTextStack();

// Gives up the calling thread's text font map (gdiplus/text.cpp); true once it is gone.
bool ReleaseThreadFontMap();

} // namespace moxplat
