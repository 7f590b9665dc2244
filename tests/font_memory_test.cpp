// Memory stays bounded while a host draws with ever new font descriptions (a text whose size is
// animated): the text stack's caches are trimmed, so resident memory levels off after warm-up
// instead of growing by kilobytes with every new size.
#include <MoxImage2.h>

#include <gtest/gtest.h>

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

TEST(FontMemory, NewSizesLevelOffAfterWarmUp)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer holds freed memory back, so resident memory says nothing here";
#endif
    CMoxGraphics canvas;
    canvas.GdiInit();
    ASSERT_TRUE(canvas.Init(128, 32));
    canvas.InitGraphics(static_cast<CPaintDC*>(nullptr));
    Gdiplus::FontFamily family(L"DejaVu Sans");
    Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF000000));
    const Gdiplus::RectF box(0, 0, 128, 32);
    auto drawSizes = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            Gdiplus::Font font(&family, 8.0f + float(i) * 0.001f, Gdiplus::FontStyleRegular);
            ASSERT_EQ(canvas.GetGraphics()->DrawString(L"Ab 12", 5, &font, box, nullptr, &brush), Gdiplus::Ok);
        }
    };
    drawSizes(0, 600);
    const long warm = ResidentKiB();
    drawSizes(600, 2100);
    const long grown = ResidentKiB() - warm;
    std::printf("resident memory grew by %ld KiB over 1500 new font sizes\n", grown);
    // Unbounded, these sizes would add about 20 MB (some 13 KiB each).
    EXPECT_LT(grown, 4096);
}
