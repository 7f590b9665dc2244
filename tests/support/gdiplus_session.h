// GDI+ started for the whole test program, before any test runs and before any image, tool or
// Graphics exists, as a Windows program must start it (calls before GdiplusStartup fail). It is
// never shut down: objects held by other static objects may outlive any point where it could be.
#pragma once

#include <windows.h> // before <gdiplus.h>, which builds on it

#include <gdiplus.h>

namespace moxtest {

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// One per program, whichever test files include this.
inline GdiplusSession gdiplusSession;

} // namespace moxtest
