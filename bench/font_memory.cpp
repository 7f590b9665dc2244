// Resident memory while a host draws text in ever new font descriptions, as one that animates a
// text size does: each step makes a font of a size not used before, draws a short text with it
// and deletes it. Reports resident memory after 1,000 descriptions and then every tenth of the
// run; bounded caches keep the later figures within a few MB of the first.
//
//   font_memory [descriptions]      (default 100000; a few minutes on a busy machine)
#include <MoxImage2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long ResidentKiB()
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kib = std::atol(line + 6);
    std::fclose(f);
    return kib;
}

} // namespace

int main(int argc, char** argv)
{
    const long count = argc > 1 ? std::atol(argv[1]) : 100000;
    if (count < 1000) {
        std::fprintf(stderr, "usage: font_memory [descriptions >= 1000]\n");
        return 2;
    }
    CMoxGraphics canvas;
    canvas.GdiInit();
    if (!canvas.Init(256, 64))
        return 1;
    canvas.InitGraphics(static_cast<CPaintDC*>(nullptr));
    Gdiplus::FontFamily family(L"DejaVu Sans");
    Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF000000));
    const Gdiplus::RectF box(0, 0, 256, 64);

    long atFirstThousand = 0;
    for (long i = 1; i <= count; ++i) {
        // Sizes from 8 points up in steps of 1/1000 point (more than one of pango's size units),
        // each different from all before; above 24 points they start again a little offset.
        const double size = 8.0 + double(i % 16000) * 0.001 + double(i / 16000) * 0.0001;
        Gdiplus::Font font(&family, Gdiplus::REAL(size), Gdiplus::FontStyleRegular);
        canvas.GetGraphics()->DrawString(L"Score 1234", 10, &font, box, nullptr, &brush);
        if (i == 1000)
            atFirstThousand = ResidentKiB();
        if (i == 1000 || i % (count / 10) == 0)
            std::printf("descriptions=%ld rss_kib=%ld growth_since_1000_kib=%ld\n", i, ResidentKiB(),
                        i >= 1000 ? ResidentKiB() - atFirstThousand : 0);
        std::fflush(stdout);
    }
    return 0;
}
