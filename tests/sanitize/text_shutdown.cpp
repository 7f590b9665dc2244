// A host that draws text and shuts GDI+ down, built with AddressSanitizer and run with leak
// checking on: it must end without a leak report. It also checks that text drawn after the text
// stack was given back (a second start-up) and text drawn with a font kept across a shut-down
// come out pixel for pixel as before.
#include <MoxImage2.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const int kWidth = 160;
const int kHeight = 40;

std::vector<unsigned char> Pixels(CMoxGraphics& canvas)
{
    DIBSECTION ds;
    std::memset(&ds, 0, sizeof ds);
    if (GetObject(canvas.GetBitmap(), sizeof ds, &ds) != int(sizeof ds) || !ds.dsBm.bmBits)
        return {};
    const auto* bits = static_cast<const unsigned char*>(ds.dsBm.bmBits);
    return std::vector<unsigned char>(bits, bits + std::size_t(ds.dsBm.bmWidthBytes) * kHeight);
}

std::vector<unsigned char> DrawText(CMoxFont& font)
{
    CMoxGraphics canvas;
    canvas.Init(kWidth, kHeight);
    canvas.InitGraphics(static_cast<CPaintDC*>(nullptr));
    canvas.FillRectangle(0, 0, kWidth, kHeight, 255, 255, 255);
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, 20, 30, 40));
    canvas.Draw(L"Shut down cleanly", 4, 4, &font, &brush);
    return Pixels(canvas);
}

bool HasInk(const std::vector<unsigned char>& pixels)
{
    for (unsigned char b : pixels)
        if (b != 255)
            return true;
    return false;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "text_shutdown: %s\n", what);
    return 1;
}

} // namespace

int main()
{
    std::vector<unsigned char> first;
    for (int cycle = 0; cycle < 2; ++cycle) {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
            return Fail("start-up failed");
        std::vector<unsigned char> pixels;
        {
            CMoxFont font(14, L"DejaVu Sans", Gdiplus::FontStyleBold);
            pixels = DrawText(font);
        }
        Gdiplus::GdiplusShutdown(token);
        if (!HasInk(pixels))
            return Fail("no text was drawn");
        if (cycle == 0)
            first = pixels;
        else if (pixels != first)
            return Fail("text drawn after a shut-down differs");
    }

    // A font that outlives a shut-down keeps the text stack alive and, once GDI+ is started
    // again, still draws the same (between the two, GDI+ refuses to work, as on Windows).
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        CMoxFont kept(14, L"DejaVu Sans", Gdiplus::FontStyleBold);
        if (DrawText(kept) != first)
            return Fail("text differs before the shut-down");
        Gdiplus::GdiplusShutdown(token);
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
        if (DrawText(kept) != first)
            return Fail("text drawn with a font kept across a shut-down differs");
    }
    Gdiplus::GdiplusShutdown(token);
    std::puts("text_shutdown: ok");
    return 0;
}
